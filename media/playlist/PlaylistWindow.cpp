#include "media/playlist/PlaylistWindow.h"

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QFileInfo>

#include "lorvex/include/lorvex/ListViewInterface.h"
#include "media/core/MainWindow.h"
#include "media/core/ModuleMedia.h"
#include "media/core/Skin.h"
#include "media/core/Windows.h"
#include "media/playlist/MenuWindow.h"
#include "media/playlist/PlaylistFile.h"
#include "media/playlist/PlaylistRows.h"
#include "media/windows/CjkFont.h"
#include "platform/automation/DataObject.h"
#include "platform/automation/FontObject.h"
#include "platform/forms/Twips.h"
#include "platform/mediaplayer/MediaPlayer.h"

namespace media {

using automation::Variant;

namespace {

// Pending events get a turn at least this often while a list loads.
constexpr qint64 EventTurnMilliseconds = 15;

std::string Utf8(const std::u16string& text) { return QString::fromStdU16String(text).toStdString(); }

// The design asks for "宋体"; where that face is missing a CJK face that is installed takes its place.
std::u16string GridFace() { return CjkFamily(QStringLiteral("宋体")).toStdU16String(); }

}  // namespace

automation::PropertyBag PlaylistGridDesign() {
    automation::PropertyBag bag;
    auto put = [&bag](const char16_t* key, Variant value) { bag.Write(key, value, Variant::missing()); };
    put(u"BackColor", std::int32_t(0x000000));
    put(u"ForeColor", std::int32_t(0x00FF00));
    put(u"SelectedBackColor", static_cast<std::int32_t>(0x80000001u));
    put(u"FocusRectColor", std::int32_t(0x000000));
    put(u"ColumnsAutoSize", Variant::fromBool(true));
    put(u"ColumnsVisible", Variant::fromBool(false));
    put(u"OLEDropMode", std::int32_t(lorvex::OLEDropManual));
    put(u"PictureWidth", std::int32_t(16));
    put(u"PictureHeight", std::int32_t(16));
    put(u"Font", Variant(automation::Ref<automation::Dispatch>(automation::FontObject::Create(GridFace(), 9).get())));
    return bag;
}

PlaylistWindow::PlaylistWindow() : ToolWindow(ToolWindowKind::Playlist()), ImgList(this), host_(this) {
    PlaceTitleBar();
    ConnectMenuButton();
    CreateGrid();
}

PlaylistWindow::~PlaylistWindow() { stopLoading_ = true; }

void PlaylistWindow::CreateGrid() {
    if (host_.Create(lorvex::CLSID_ListView, PlaylistGridDesign()).failed()) return;
    grid_ = GridProxy(host_.object());
    host_.Advise(lorvex::DIID_ListViewEvents,
                 [this](automation::DispId event, std::span<Variant> args) { OnGridEvent(event, args); });
}

void PlaylistWindow::ConnectMenuButton() {
    ImgList.MouseDown = [this](const forms::MouseArgs&) { ApplyButtonPicture(ImgList, QStringLiteral("list_d.bmp")); };
    ImgList.MouseMove = [this](const forms::MouseArgs&) { ApplyButtonPicture(ImgList, QStringLiteral("list_m.bmp")); };
    ImgList.MouseUp = [this](const forms::MouseArgs&) { RMe(); };
    ImgList.Click = [this] { ImgList_Click(); };
}

void PlaylistWindow::Form_Load() {
    ApplyListSkin();
    // Docked under the main window, as wide as it.
    MainWindow& main = frmMain();
    Move(main.Left(), main.Top() + main.Height(), main.Width(), Height());
    SetUpColumns(grid_);
    LoadPlayList();
}

void PlaylistWindow::ApplyListSkin() {
    ApplyFrameSkin();
    ApplyButtonPicture(ImgList, QStringLiteral("list_n.bmp"));
}

// The menu button keeps its distance from the right edge, so it never slides under the close button.
void PlaylistWindow::PlaceTitleBar() { ImgList.Move(Width() - 840, 60, 450, 285); }

void PlaylistWindow::PlaceContent() {
    host_.Move(100, 760, Width() - 200, Height() - 860);
    ApplyScrollBarRule();
}

void PlaylistWindow::ClearHoverPictures() {
    ToolWindow::ClearHoverPictures();
    ApplyButtonPicture(ImgList, QStringLiteral("list_n.bmp"));
}

void PlaylistWindow::ImgList_Click() {
    ApplyButtonPicture(ImgList, QStringLiteral("list_n.bmp"));
    frmMenu().mnuList.Popup(QCursor::pos());
}

void PlaylistWindow::Form_Unload() { stopLoading_ = true; }

void PlaylistWindow::ApplyScrollBarRule() {
    const QWidget* widget = host_.widget();
    if (!widget) return;
    grid_.SetScrolVisible(grid_.ItemCount() * 250.0 >= forms::ToTwips(widget->height()));
}

void PlaylistWindow::LoadPlayList() {
    SharedValues& shared = Shared();
    const QString path = QString::fromStdU16String(shared.PlayListFile);
    PlaylistFileReader reader;
    if (!path.isEmpty() && QFileInfo(path).isFile() && reader.open(path.toStdString())) {
        loading_ = true;
        stopLoading_ = false;
        QElapsedTimer turn;
        turn.start();
        std::int32_t number = 1;
        while (auto record = reader.next()) {
            if (turn.elapsed() >= EventTurnMilliseconds) {
                QCoreApplication::processEvents();
                turn.restart();
                if (stopLoading_) break;  // the program is closing
            }
            if (!AddRow(grid_, number, record->title, record->artist, record->time, record->location)) break;
            ++number;
        }
        loading_ = false;
        if (stopLoading_) return;
    }
    MainWindow& main = frmMain();
    main.MediaPlayer().controls().stop();
    main.MediaPlayer().setURL(grid_.ItemText(0, column::Location));
    main.ClickPlay();
    shared.CurrentIndex = 0;
    ApplyScrollBarRule();
}

bool PlaylistWindow::SavePlayList(const std::u16string& path) {
    const std::int32_t rows = grid_.ItemCount();
    return SavePlaylistFile(Utf8(path), static_cast<std::size_t>(rows), [this](std::size_t r) {
        const auto row = static_cast<std::int32_t>(r);
        return PlaylistRecord{grid_.ItemText(row, column::Title), grid_.ItemText(row, column::Artist),
                              grid_.ItemText(row, column::Time), grid_.ItemText(row, column::Location)};
    });
}

void PlaylistWindow::OnGridEvent(automation::DispId event, std::span<Variant> args) {
    switch (event) {
        case lorvex::event::Reorder: PlayList_Reorder(); break;
        case lorvex::event::DblClick: PlayList_DblClick(automation::ArgAt(args, 0).int32Or(-1)); break;
        case lorvex::event::MouseDown: PlayList_MouseDown(automation::ArgAt(args, 1).int32Or(0)); break;
        case lorvex::event::MouseMove: PlayList_MouseMove(); break;
        case lorvex::event::OLEDragDrop: PlayList_OLEDragDrop(automation::ArgAt(args, 0)); break;
        default: break;
    }
}

void PlaylistWindow::PlayList_DblClick(std::int32_t row) {
    MainWindow& main = frmMain();
    main.MediaPlayer().setURL(grid_.ItemText(row, column::Location));
    Shared().CurrentIndex = static_cast<std::int16_t>(row);
    Shared().TrackStarted = true;
    main.TimerMain.SetEnabled(true);
}

void PlaylistWindow::PlayList_Reorder() {
    const std::int32_t rows = grid_.ItemCount();
    for (std::int32_t r = 0; r < rows; ++r) {
        if (grid_.ItemTag(r) == TagCurrent) {
            Shared().PreviousIndex = static_cast<std::int16_t>(r);
            return;
        }
    }
}

void PlaylistWindow::PlayList_MouseDown(std::int32_t button) {
    if (button == forms::RightButton) frmMenu().mnuList.Popup(QCursor::pos());
}

void PlaylistWindow::PlayList_OLEDragDrop(const Variant& data) {
    auto dropped = automation::QueryAs<automation::DataObject>(data.object());
    if (!dropped || !dropped->GetFormat(automation::DataObject::FormatFiles)) return;
    for (const std::u16string& path : dropped->files()) AddFile(grid_, path);
}

}  // namespace media
