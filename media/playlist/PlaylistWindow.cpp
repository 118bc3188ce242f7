#include "media/playlist/PlaylistWindow.h"

#include <sys/stat.h>
#include <QCursor>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>

#include "lorvex/include/lorvex/ListViewInterface.h"
#include "media/core/MainWindow.h"
#include "media/core/ModuleMedia.h"
#include "media/core/PlayerKeys.h"
#include "media/core/Windows.h"
#include "media/playlist/AtomicFile.h"
#include "media/playlist/ForeignLists.h"
#include "media/playlist/ListWriteBack.h"
#include "media/playlist/MenuWindow.h"
#include "media/playlist/PlaylistFile.h"
#include "media/playlist/PlaylistRows.h"
#include "media/windows/CjkFont.h"
#include "platform/automation/DataObject.h"
#include "platform/automation/FontObject.h"
#include "platform/forms/EventTurns.h"
#include "platform/forms/Twips.h"
#include "platform/text/FileName.h"

namespace media {

using automation::Variant;

namespace {

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

PlaylistWindow::PlaylistWindow()
    : ToolWindow(ToolWindowKind::Playlist()), ImgList(this, QStringLiteral("list")), host_(this) {
    PlaceTitleBar();
    ConnectMenuButton();
    CreateGrid();
    WatchPlayerKeys(*this);
}

PlaylistWindow::~PlaylistWindow() { stopLoading_ = true; }

void PlaylistWindow::CreateGrid() {
    if (host_.Create(lorvex::CLSID_ListView, PlaylistGridDesign()).Failed()) return;
    grid_ = GridProxy(host_.Object());
    // However rows come or go (an add command, a drop, a later start's files, a link of the web window, a removal,
    // a clear), the scroll bar is decided again once the change is over: rows that overflow the grid must be
    // reachable. Once per turn of events, so that a long add does not decide it for every row.
    scrollRule_.setSingleShot(true);
    scrollRule_.setInterval(0);
    connect(&scrollRule_, &QTimer::timeout, this, &PlaylistWindow::ApplyScrollBarRule);
    grid_.SetRowsChanged([this] {
        if (!scrollRule_.isActive()) scrollRule_.start();
        if (findBox_) findBox_->RowsChanged();
    });
    host_.Advise(lorvex::DIID_ListViewEvents,
                 [this](automation::DispId event, std::span<Variant> args) { OnGridEvent(event, args); });
}

void PlaylistWindow::ConnectMenuButton() {
    ImgList.MouseDown = [this](const forms::MouseArgs&) { ImgList.ShowLook(ButtonLook::Pressed); };
    ImgList.MouseMove = [this](const forms::MouseArgs&) { ImgList.ShowLook(ButtonLook::Hover); };
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
    ImgList.ShowLook(ButtonLook::Normal);
}

// The menu button keeps its distance from the right edge, so it never slides under the close button.
void PlaylistWindow::PlaceTitleBar() { ImgList.Move(Width() - 840, 60, 450, 285); }

void PlaylistWindow::PlaceContent() {
    host_.Move(100, 760, Width() - 200, Height() - 860);
    ApplyScrollBarRule();
}

void PlaylistWindow::ClearHoverPictures() {
    ToolWindow::ClearHoverPictures();
    ImgList.ShowLook(ButtonLook::Normal);
}

void PlaylistWindow::ImgList_Click() {
    ImgList.ShowLook(ButtonLook::Normal);
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
    // Taken before the reading, so that a change made while it reads counts as someone else's.
    seen_ = {shared.PlayListFile, StampOf(text::ToFileName(shared.PlayListFile)), std::nullopt};
    const bool whole = ReadListFile(source);
    if (stopLoading_) return;
    if (whole) heldWhole_ = shared.PlayListFile;
    frmMain().Transport().StartLoadedList();
    ApplyScrollBarRule();
}

bool PlaylistWindow::ReadListFile(const std::u16string& path) {
    readProblem_.clear();
    if (path.empty()) return true;
    const std::string localPath = text::ToFileName(path);
    struct stat info {};
    // No file yet is an empty list, which the exit save may create.
    if (::stat(localPath.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) return true;
    if (IsForeignList(ListFormatOf(path))) return ReadForeignListFile(localPath);
    PlaylistFileReader reader;
    const bool isFile = S_ISREG(info.st_mode);
    if (!isFile || !reader.Open(localPath)) {
        const char* why = isFile ? std::strerror(errno) : "not a file";
        readProblem_ = std::string("it could not be read (") + why + ")";
        std::fprintf(stderr, "media: cannot read the playlist %s (%s); it is kept as it is\n", localPath.c_str(), why);
        return false;
    }
    loading_ = true;
    stopLoading_ = false;
    forms::EventTurns turns;
    std::int32_t number = 1;
    while (auto record = reader.Next()) {
        if (turns.Take() && stopLoading_) break;  // the program is ending
        if (!AddRow(grid_, number, record->title, record->artist, record->time, record->location)) {
            readProblem_ = "it holds more rows than the list can show; only the first " + std::to_string(number - 1) +
                           " are shown";
            break;
        }
        ++number;
    }
    if (readProblem_.empty() && reader.Failed()) readProblem_ = "it could not be read to its end";
    // A list the reading could not take apart cleanly would be written back as the reading understood it, and
    // what it did not understand would be lost for good: the file stays as it is for its owner to mend.
    if (readProblem_.empty() && !reader.Damage().empty()) readProblem_ = "it was read with damage: " + reader.Damage();
    if (!readProblem_.empty())
        std::fprintf(stderr, "media: the playlist %s: %s; it is kept as it is\n", localPath.c_str(),
                     readProblem_.c_str());
    loading_ = false;
    return readProblem_.empty() && !stopLoading_;
}

// Another player's list adds the songs it names, as files added by hand are: its own texts are not the program's.
bool PlaylistWindow::ReadForeignListFile(const std::string& localPath) {
    const std::optional<std::vector<std::u16string>> entries = ReadListEntries(localPath);
    if (!entries) {
        readProblem_ = "it could not be read";
        std::fprintf(stderr, "media: cannot read the playlist %s\n", localPath.c_str());
        return false;
    }
    loading_ = true;
    stopLoading_ = false;
    forms::EventTurns turns;
    for (const std::u16string& location : *entries) {
        if (turns.Take() && stopLoading_) break;  // the program is ending
        if (!AddFile(grid_, location)) break;     // the grid is full
    }
    loading_ = false;
    return !stopLoading_;
}

bool PlaylistWindow::MayWriteBack(const std::u16string& path) const {
    return !loading_ && !path.empty() && path == heldWhole_;
}

std::string PlaylistWindow::EncodeRows(const std::u16string& path) {
    const std::int32_t rows = grid_.ItemCount();
    const auto rowAt = [this](std::size_t r) {
        const auto row = static_cast<std::int32_t>(r);
        return PlaylistRecord{grid_.ItemText(row, column::kTitle), grid_.ItemText(row, column::kArtist),
                              grid_.ItemText(row, column::kTime), grid_.ItemText(row, column::kLocation)};
    };
    // A name chosen as ".m3u8" is written as one, for other players; every other name as the program's own list.
    return ListFormatOf(path) == ListFormat::M3u8 ? EncodeM3u8(static_cast<std::size_t>(rows), rowAt)
                                                  : EncodePlaylist(static_cast<std::size_t>(rows), rowAt);
}

SeenVersion PlaylistWindow::SeenVersionOf(const std::u16string& path) const {
    return seen_.path == path ? SeenVersion{true, seen_.stamp} : SeenVersion{};
}

bool PlaylistWindow::SavePlayList(const std::u16string& path) {
    const std::string content = EncodeRows(path);
    const std::string localPath = text::ToFileName(path);
    const std::size_t contentHash = std::hash<std::string>{}(content);
    const std::optional<FileStamp> before = StampOf(localPath);
    // The session's save and the ending that follows it must not write the same list twice.
    if (seen_.path == path && seen_.contentHash == contentHash && before && before == seen_.stamp) return true;
    if (!WriteListOverSeenVersion(localPath, content, SeenVersionOf(path))) return false;
    heldWhole_ = path;
    readProblem_.clear();
    seen_ = {path, StampOf(localPath), contentHash};
    return true;
}

void PlaylistWindow::OnGridEvent(automation::DispId event, std::span<Variant> args) {
    switch (event) {
        case lorvex::event::Reorder: PlayList_Reorder(); break;
        case lorvex::event::DblClick: PlayList_DblClick(automation::ArgAt(args, 0).Int32Or(-1)); break;
        case lorvex::event::MouseDown: PlayList_MouseDown(automation::ArgAt(args, 1).Int32Or(0)); break;
        case lorvex::event::MouseMove: PlayList_MouseMove(); break;
        case lorvex::event::KeyDown: PlayList_KeyDown(args); break;
        case lorvex::event::OLEDragDrop: PlayList_OLEDragDrop(automation::ArgAt(args, 0)); break;
        default: break;
    }
}

void PlaylistWindow::PlayList_DblClick(std::int32_t row) { frmMain().Transport().StartChosenRow(row); }

// The player's keys work in the grid too; a key they take is cancelled for the grid's own handling.
void PlaylistWindow::PlayList_KeyDown(std::span<Variant> args) {
    if (args.empty()) return;
    if (RunGridKey(args[0].Deref().Int32Or(0), automation::ArgAt(args, 1).Deref().Int32Or(0)))
        args[0].Assign(Variant(std::int16_t{0}));
}

void PlaylistWindow::PlaySelectedRow() {
    const std::int32_t row = grid_.SelectedItem();
    if (row >= 0 && row < grid_.ItemCount() && grid_.ItemSelected(row)) PlayList_DblClick(row);
}

void PlaylistWindow::OpenFindBox() {
    if (!findBox_)
        findBox_ = std::make_unique<FindBox>(grid_, [this](std::int32_t row) {
            PickRow(row);
            frmMain().Transport().StartChosenRow(row);
        });
    findBox_->Open(isVisible() ? static_cast<QWidget&>(*this) : static_cast<QWidget&>(frmMain()));
}

// A row played from the find box is the one picked in the list, and in view there, where the user looks for it next.
void PlaylistWindow::PickRow(std::int32_t row) {
    automation::Call(grid_.Object(), lorvex::dispid::UnSelectAll, automation::InvokeKind::Method, {});
    grid_.SetSelectedItem(row);
    grid_.SetItemSelected(row, true);
    automation::Call(grid_.Object(), lorvex::dispid::MakeSureVisible, automation::InvokeKind::Method, {Variant(row)});
}

void PlaylistWindow::PlayList_Reorder() {
    grid_.NoteEdit();                       // the grid moved the rows itself
    if (findBox_) findBox_->RowsChanged();  // the rows it found have moved
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
    for (const std::u16string& path : WithListsOpened(dropped->Files())) AddFile(grid_, path);
}

}  // namespace media
