#include "media/playlist/PlaylistWindow.h"

#include <sys/stat.h>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>

#include "lorvex/include/lorvex/ListViewInterface.h"
#include "media/core/MainWindow.h"
#include "media/core/ModuleMedia.h"
#include "media/core/Skin.h"
#include "media/core/Windows.h"
#include "media/playlist/AtomicFile.h"
#include "media/playlist/MenuWindow.h"
#include "media/playlist/PlaylistFile.h"
#include "media/playlist/PlaylistRows.h"
#include "media/windows/CjkFont.h"
#include "platform/automation/DataObject.h"
#include "platform/automation/FontObject.h"
#include "platform/forms/Twips.h"
#include "platform/text/FileName.h"

namespace media {

using automation::Variant;

namespace {

// Pending events get a turn at least this often while a list loads.
constexpr qint64 kEventTurnMilliseconds = 15;

// A file's size and last change, read through the name's own bytes.
struct FileStamp {
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0;
};

std::optional<FileStamp> StampOf(const std::string& localPath) {
    struct stat info {};
    if (::stat(localPath.c_str(), &info) != 0) return std::nullopt;
    return FileStamp{info.st_size, std::int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

// The design asks for "宋体"; where that face is missing a CJK face that is installed takes its place.
std::u16string GridFace() { return CjkFamily(QStringLiteral("宋体")).toStdU16String(); }

}  // namespace

automation::PropertyBag PlaylistGridDesign() {
    automation::PropertyBag bag;
    auto put = [&bag](const char16_t* key, Variant value) { bag.Write(key, value, Variant::Missing()); };
    put(u"BackColor", std::int32_t(0x000000));
    put(u"ForeColor", std::int32_t(0x00FF00));
    put(u"SelectedBackColor", static_cast<std::int32_t>(0x80000001u));
    put(u"FocusRectColor", std::int32_t(0x000000));
    put(u"ColumnsAutoSize", Variant::FromBool(true));
    put(u"ColumnsVisible", Variant::FromBool(false));
    put(u"OLEDropMode", std::int32_t(lorvex::OLEDropManual));
    put(u"PictureWidth", std::int32_t(16));
    put(u"PictureHeight", std::int32_t(16));
    put(u"Font", Variant(automation::Ref<automation::Dispatch>(automation::FontObject::Create(GridFace(), 9).Get())));
    return bag;
}

PlaylistWindow::PlaylistWindow() : ToolWindow(ToolWindowKind::Playlist()), ImgList(this), host_(this) {
    PlaceTitleBar();
    ConnectMenuButton();
    CreateGrid();
}

PlaylistWindow::~PlaylistWindow() { stopLoading_ = true; }

void PlaylistWindow::CreateGrid() {
    if (host_.Create(lorvex::CLSID_ListView, PlaylistGridDesign()).Failed()) return;
    grid_ = GridProxy(host_.Object());
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
    const QWidget* widget = host_.Widget();
    if (!widget) return;
    grid_.SetScrolVisible(grid_.ItemCount() * 250.0 >= forms::ToTwips(widget->height()));
}

void PlaylistWindow::LoadPlayList() {
    SharedValues& shared = Shared();
    heldWhole_.clear();
    const std::u16string source = startFrom_.empty() ? shared.PlayListFile : std::exchange(startFrom_, {});
    const bool whole = ReadListFile(source);
    if (stopLoading_) return;
    if (whole) heldWhole_ = shared.PlayListFile;
    frmMain().Transport().StartLoadedList();
    ApplyScrollBarRule();
}

bool PlaylistWindow::ReadListFile(const std::u16string& path) {
    if (path.empty()) return true;
    const std::string localPath = text::ToFileName(path);
    struct stat info {};
    // No file yet is an empty list, which the exit save may create.
    if (::stat(localPath.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) return true;
    PlaylistFileReader reader;
    const bool isFile = S_ISREG(info.st_mode);
    if (!isFile || !reader.Open(localPath)) {
        std::fprintf(stderr, "media: cannot read the playlist %s (%s); it is kept as it is\n", localPath.c_str(),
                     isFile ? std::strerror(errno) : "not a file");
        return false;
    }
    loading_ = true;
    stopLoading_ = false;
    QElapsedTimer turn;
    turn.start();
    std::int32_t number = 1;
    bool whole = true;
    while (auto record = reader.Next()) {
        if (turn.elapsed() >= kEventTurnMilliseconds) {
            QCoreApplication::processEvents();
            turn.restart();
            if (stopLoading_) break;  // the program is ending
        }
        if (!AddRow(grid_, number, record->title, record->artist, record->time, record->location)) {
            std::fprintf(stderr,
                         "media: the playlist %s holds more rows than the list can show; only the first %d "
                         "are shown and the file is kept as it is\n",
                         localPath.c_str(), number - 1);
            whole = false;
            break;
        }
        ++number;
    }
    if (reader.Failed()) {
        std::fprintf(stderr, "media: the playlist %s could not be read to its end; it is kept as it is\n",
                     localPath.c_str());
        whole = false;
    }
    loading_ = false;
    return whole && !stopLoading_;
}

bool PlaylistWindow::MayWriteBack(const std::u16string& path) const {
    return !loading_ && !path.empty() && path == heldWhole_;
}

bool PlaylistWindow::SavePlayList(const std::u16string& path) {
    const std::int32_t rows = grid_.ItemCount();
    const std::string content = EncodePlaylist(static_cast<std::size_t>(rows), [this](std::size_t r) {
        const auto row = static_cast<std::int32_t>(r);
        return PlaylistRecord{grid_.ItemText(row, column::kTitle), grid_.ItemText(row, column::kArtist),
                              grid_.ItemText(row, column::kTime), grid_.ItemText(row, column::kLocation)};
    });
    const std::string localPath = text::ToFileName(path);
    // The session's save and the ending that follows it must not write the same list twice; a file someone else
    // has changed since is written again.
    const std::size_t contentHash = std::hash<std::string>{}(content);
    const std::optional<FileStamp> before = StampOf(localPath);
    if (lastWrite_.path == path && lastWrite_.contentHash == contentHash && before && before->size == lastWrite_.size &&
        before->modifiedNs == lastWrite_.modifiedNs)
        return true;
    if (!WriteFileAtomically(localPath, content)) return false;
    heldWhole_ = path;
    const FileStamp written = StampOf(localPath).value_or(FileStamp{});
    lastWrite_ = {path, contentHash, written.size, written.modifiedNs};
    return true;
}

void PlaylistWindow::OnGridEvent(automation::DispId event, std::span<Variant> args) {
    switch (event) {
        case lorvex::event::Reorder: PlayList_Reorder(); break;
        case lorvex::event::DblClick: PlayList_DblClick(automation::ArgAt(args, 0).Int32Or(-1)); break;
        case lorvex::event::MouseDown: PlayList_MouseDown(automation::ArgAt(args, 1).Int32Or(0)); break;
        case lorvex::event::MouseMove: PlayList_MouseMove(); break;
        case lorvex::event::OLEDragDrop: PlayList_OLEDragDrop(automation::ArgAt(args, 0)); break;
        default: break;
    }
}

void PlaylistWindow::PlayList_DblClick(std::int32_t row) { frmMain().Transport().StartChosenRow(row); }

void PlaylistWindow::PlayList_Reorder() {
    const std::int32_t rows = grid_.ItemCount();
    for (std::int32_t r = 0; r < rows; ++r) {
        if (grid_.ItemTag(r) == kTagCurrent) {
            Shared().PreviousIndex = static_cast<std::int16_t>(r);
            return;
        }
    }
}

void PlaylistWindow::PlayList_MouseDown(std::int32_t button) {
    if (button == forms::kRightButton) frmMenu().mnuList.Popup(QCursor::pos());
}

void PlaylistWindow::PlayList_OLEDragDrop(const Variant& data) {
    auto dropped = automation::QueryAs<automation::DataObject>(data.Object());
    if (!dropped || !dropped->GetFormat(automation::DataObject::FormatFiles)) return;
    for (const std::u16string& path : dropped->Files()) AddFile(grid_, path);
}

}  // namespace media
