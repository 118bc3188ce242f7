#include "media/core/MainWindow.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QWindowStateChangeEvent>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "media/core/PlayerKeys.h"
#include "media/core/PlaylistPlace.h"
#include "media/core/ProgramIdentity.h"
#include "media/core/RemoteControl.h"
#include "media/core/Skin.h"
#include "media/core/Windows.h"
#include "media/lyrics/LyricSource.h"
#include "media/lyrics/LyricsWindow.h"
#include "media/playlist/AtomicFile.h"
#include "media/playlist/MenuWindow.h"
#include "media/playlist/PlaylistFile.h"
#include "media/playlist/PlaylistRows.h"
#include "media/playlist/PlaylistWindow.h"
#include "media/windows/AboutWindow.h"
#include "media/windows/Mpris.h"
#include "media/windows/Tray.h"
#include "media/windows/WebWindow.h"
#include "platform/forms/Application.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/forms/InstanceChannel.h"
#include "platform/forms/Twips.h"
#include "platform/mediaplayer/MediaPlayer.h"
#include "platform/text/FileName.h"

namespace media {

namespace {
// The volume thumb's travel, in twips.
constexpr double kVolumeLeftMin = 2400;
constexpr double kVolumeLeftMax = 3250;
}  // namespace

MainWindow::MainWindow()
    : Form(QString::fromUtf8(kDisplayName)),
      ImgMain(this),
      ImgLrc(this, QStringLiteral("lrc")),
      ImgWindow(this, QStringLiteral("voduz")),
      ImgMin(this, QStringLiteral("min")),
      ImgMax(this, QStringLiteral("max")),
      ImgClose(this, QStringLiteral("close")),
      EchoTitle(this),
      EchoTimer(this),
      EchoAllTimer(this),
      EchoState(this),
      ImgPlayProNone(this),
      ImgPlayProFill(this),
      ImgPlayPro(this, QStringLiteral("playpro"), QStringLiteral(".gif")),
      ImgPlay(this, QStringLiteral("play")),
      ImgStop(this, QStringLiteral("stop")),
      ImgPrev(this, QStringLiteral("prev")),
      ImgNext(this, QStringLiteral("next")),
      ImgMute(this, QStringLiteral("mute")),
      ImgVolumeNone(this),
      ImgVolumeFill(this),
      ImgVolume(this, QStringLiteral("volume")),
      ImgList(this, QStringLiteral("window")),
      transport_(*this, Shared(), player_),
      opener_(
          transport_, [] { return !frmListExists() || !frmList().Loaded(); },
          [] {
              if (frmListExists()) frmList().ApplyScrollBarRule();
          }) {
    setWindowIcon(ProgramIcon());
    // Each start of a track brings its lyric from the top, or none.
    transport_.TrackPlaying = [](const std::u16string& location) { Lyrics().Install(FindLyrics(location)); };
    PlaceControls();
    ConnectHandlers();
    WatchPlayerKeys(*this);
    // A first place on the screen: centred, in the upper part, but high enough for the playlist docked under it
    // where the screen has the room (a small screen, a large scale).
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const int docked = height() + forms::ToPixels(ToolWindowKind::Playlist().designSize.height());
        move(area.x() + (area.width() - width()) / 2,
             area.y() + std::max(0, std::min(area.height() / 5, area.height() - docked)));
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::PlaceControls() {
    Resize(4050, 2520);
    ImgMain.Move(0, 0, 4050, 2520);
    ImgLrc.Move(2100, 60, 450, 285);
    ImgWindow.Move(2620, 60, 450, 285);
    ImgMin.Move(3200, 60, 255, 285);
    ImgMin.SetToolTipText(QStringLiteral("最小化"));
    ImgMax.Move(3460, 60, 255, 285);
    ImgMax.SetToolTipText(QStringLiteral("最大化"));
    ImgClose.Move(3730, 60, 255, 285);
    ImgClose.SetToolTipText(QStringLiteral("关闭"));
    EchoTitle.Move(120, 480, 3735, 180);
    EchoTimer.Move(2640, 840, 1215, 255);
    EchoAllTimer.Move(2640, 1100, 1215, 180);
    EchoState.Move(2640, 1370, 1215, 255);
    ImgPlayProNone.Move(80, 1680, 3900, 150);
    ImgPlayProFill.Move(75, 1680, 3900, 150);
    ImgPlayPro.Move(80, 1680, 300, 150);
    ImgPlay.Move(150, 1950, 450, 450);
    ImgStop.Move(650, 2010, 330, 330);
    ImgPrev.Move(1140, 2010, 330, 330);
    ImgNext.Move(1500, 2010, 330, 330);
    ImgMute.Move(1980, 2010, 330, 330);
    ImgVolumeNone.Move(2400, 2040, 1065, 210);
    ImgVolumeFill.Move(2400, 2040, 1065, 210);
    ImgVolume.Move(3250, 2060, 180, 195);
    ImgList.Move(3480, 1980, 390, 390);

    // White status texts in a small CJK-capable face.
    auto styleLabel = [](forms::Label& label, int pixels, bool bold) {
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPixelSize(pixels);
        font.setBold(bold);
        label.setFont(font);
        label.SetForeColor(Qt::white);
    };
    styleLabel(EchoTitle, 11, false);
    styleLabel(EchoTimer, 15, true);
    styleLabel(EchoAllTimer, 11, false);
    styleLabel(EchoState, 12, false);
    EchoTimer.SetCaption(QStringLiteral("00:00"));

    ImgStop.SetEnabled(false);
    ImgPrev.SetEnabled(false);
    ImgNext.SetEnabled(false);
    ImgPlay.SetBaseNameForTag(QStringLiteral("s"), QStringLiteral("pause"));
    // Muted, the mute button stays pressed whatever the pointer does.
    ImgMute.SetHeldWhile([this] { return MediaPlayer().settings().mute(); });
}

void MainWindow::ConnectHandlers() {
    ImgMain.MouseDown = [this](const forms::MouseArgs& a) { ImgMain_MouseDown(a); };
    ImgMain.MouseMove = [this](const forms::MouseArgs& a) { ImgMain_MouseMove(a); };

    // The caption buttons' hover pictures show once per visit; only the background ends a visit. Moving onto the
    // minimise button puts the other two back to normal, their visits going on.
    ImgMin.MouseMove = [this](const forms::MouseArgs&) {
        ImgMin.HoverOnce();
        ImgMax.ShowLook(ButtonLook::Normal);
        ImgClose.ShowLook(ButtonLook::Normal);
    };
    ImgMax.MouseMove = [this](const forms::MouseArgs&) { ImgMax.HoverOnce(); };
    ImgClose.MouseMove = [this](const forms::MouseArgs&) { ImgClose.HoverOnce(); };
    for (SkinnedButton* button : {&ImgMin, &ImgMax, &ImgClose}) {
        button->MouseDown = [button](const forms::MouseArgs&) { button->ShowLook(ButtonLook::Pressed); };
        button->MouseUp = [button](const forms::MouseArgs&) { button->ShowLook(ButtonLook::Released); };
    }
    ImgMin.Click = [this] { ImgMin_Click(); };
    ImgClose.Click = [this] { ImgClose_Click(); };

    // Hover and press pictures; a disabled or held button keeps its picture (SkinnedButton::ShowLook).
    for (SkinnedButton* button : {&ImgLrc, &ImgWindow, &ImgList, &ImgPlay, &ImgStop, &ImgPrev, &ImgNext, &ImgMute})
        button->MouseMove = [button](const forms::MouseArgs&) { button->ShowLook(ButtonLook::Hover); };
    for (SkinnedButton* button : {&ImgLrc, &ImgWindow, &ImgMute})
        button->MouseDown = [button](const forms::MouseArgs&) { button->ShowLook(ButtonLook::Pressed); };
    ImgWindow.MouseUp = [this](const forms::MouseArgs&) { ImgWindow.ShowLook(ButtonLook::Normal); };
    ImgLrc.Click = [this] { ImgLrc_Click(); };
    ImgWindow.Click = [this] { ImgWindow_Click(); };
    ImgList.Click = [this] { ImgList_Click(); };
    ImgPlay.Click = [this] { ImgPlay_Click(); };
    ImgStop.Click = [this] { ImgStop_Click(); };
    ImgPrev.Click = [this] { ImgPrev_Click(); };
    ImgNext.Click = [this] { ImgNext_Click(); };

    ImgMute.Click = [this] { ImgMute_Click(); };

    ImgPlayPro.MouseDown = [this](const forms::MouseArgs& a) { ImgPlayPro_MouseDown(a); };
    ImgPlayPro.MouseMove = [this](const forms::MouseArgs& a) { ImgPlayPro_MouseMove(a); };
    ImgPlayPro.MouseUp = [this](const forms::MouseArgs& a) { ImgPlayPro_MouseUp(a); };
    ImgPlayProFill.MouseDown = [this](const forms::MouseArgs& a) { SeekStrip_MouseDown(ImgPlayProFill, a); };
    ImgPlayProNone.MouseDown = [this](const forms::MouseArgs& a) { SeekStrip_MouseDown(ImgPlayProNone, a); };

    ImgVolume.MouseDown = [this](const forms::MouseArgs& a) { ImgVolume_MouseDown(a); };
    ImgVolume.MouseMove = [this](const forms::MouseArgs& a) { ImgVolume_MouseMove(a); };
    ImgVolumeFill.MouseDown = [this](const forms::MouseArgs& a) { VolumeStrip_MouseDown(a); };
    ImgVolumeNone.MouseDown = [this](const forms::MouseArgs& a) { VolumeStrip_MouseDown(a); };
}

// ---------------------------------------------------------------- skin

void MainWindow::LoadSkin() {
    ApplyButtonPicture(ImgMain, QStringLiteral("player_skin.bmp"));
    ApplyButtonPicture(ImgPlayProFill, QStringLiteral("play_pro.bmp"));
    ApplyButtonPicture(ImgPlayProNone, QStringLiteral("play_none.bmp"));
    ApplyButtonPicture(ImgVolumeFill, QStringLiteral("volume_pro.bmp"));
    ApplyButtonPicture(ImgVolumeNone, QStringLiteral("volume_none.bmp"));
    for (SkinnedButton* button : {&ImgLrc, &ImgWindow, &ImgMin, &ImgMax, &ImgClose, &ImgPlay, &ImgStop, &ImgPrev,
                                  &ImgNext, &ImgPlayPro, &ImgVolume, &ImgList, &ImgMute})
        button->ShowResting();
}

void MainWindow::RMe() {
    const int w = static_cast<int>(std::lround(Width() / forms::kTwipsPerPixel));
    const int h = static_cast<int>(std::lround(Height() / forms::kTwipsPerPixel));
    QRegion region(QRect(QPoint(0, 6), QPoint(w - 1, h - 1)));
    region += QRect(QPoint(7, 0), QPoint(w - 6 - 1, h - 1));
    region += QRect(QPoint(23, 52), QPoint(w - 1, h - 52 - 1));
    region += QRect(QPoint(52, 52), QPoint(w - 6 - 1, h - 1));
    region += QRegion(0, 0, 14, 14, QRegion::Ellipse);
    region += QRegion(w - 14, 0, 15, 14, QRegion::Ellipse);
    SetRegion(region);
}

// The pointer over the background ends every hover and press picture; the volume thumb keeps its pressed picture.
void MainWindow::ImgMain_MouseMove(const forms::MouseArgs&) {
    for (SkinnedButton* button : {&ImgMin, &ImgMax, &ImgClose}) button->EndHover();
    for (SkinnedButton* button :
         {&ImgPlay, &ImgStop, &ImgPrev, &ImgNext, &ImgMute, &ImgPlayPro, &ImgList, &ImgWindow, &ImgLrc})
        button->ShowLook(ButtonLook::Normal);
}

void MainWindow::ShowPlayOffer(PlayOffer offer) {
    // The picture of the offer, whatever the Tag says now: the tag may follow it only later.
    ApplyButtonPicture(
        ImgPlay,
        ImgPlay.PictureName(ButtonLook::Normal, offer == PlayOffer::Pause ? QStringLiteral("s") : QStringLiteral("p")));
}

void MainWindow::SetTransportButtonsEnabled(bool enabled) {
    for (SkinnedButton* button : {&ImgStop, &ImgPrev, &ImgNext}) {
        button->SetEnabled(enabled);
        button->ShowResting();
    }
}

// ---------------------------------------------------------------- window behaviours

void MainWindow::ImgMain_MouseDown(const forms::MouseArgs& a) {
    if (a.button != forms::kLeftButton) return;
    const double bottomBefore = std::round(Top() + Height());
    RunMoveLoop();
    if (frmListExists() && frmList().Top() == bottomBefore) frmList().Move(Left(), Top() + Height());
    // Reading the web window's place loads it (hidden) the first time.
    WebWindow& web = frmWindow();
    web.Load();
    if (std::abs(Top() - web.Top()) < 1000 || std::abs(Left() + Width() - web.Left()) < 1000)
        web.Move(Left() + Width(), Top());
}

void MainWindow::ImgMin_Click() {
    ImgMin.ShowLook(ButtonLook::Normal);
    // Without a notification area nothing could bring a hidden window back: minimise instead.
    if (Tray::Available() && mdlNotify().Installed()) {
        mdlNotify().HideToTray();  // the playlist window with it
    } else {
        showMinimized();
        if (frmListExists()) frmList().Hide();
    }
}

void MainWindow::ImgWindow_Click() { AboutWindow::ShowModal(this); }

void MainWindow::Restore() {
    showNormal();
    raise();
    activateWindow();
    if (isList) frmList().Show();
    if (isLrc) frmLrc().Show();  // hidden with the main window into the tray
}

void MainWindow::changeEvent(QEvent* event) {
    Form::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    const bool wasMinimized = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
    if (isMinimized()) {
        // Minimised by the window manager: what the minimise button does, the playlist window going too; the main
        // window leaves the taskbar for the notification area, if there is one.
        if (frmListExists()) frmList().Hide();
        if (Tray::Available() && mdlNotify().Installed())
            QMetaObject::invokeMethod(
                this, [] { mdlNotify().HideToTray(); }, Qt::QueuedConnection);
    } else if (wasMinimized && isList) {
        // Restored from the taskbar: the playlist window comes back with it, as from the tray.
        frmList().Show();
    }
}

// The list and lyrics buttons follow their flags, not the windows: a window closed by its own button clears its flag.
static void ToggleWindow(forms::Form& window, bool& shown) {
    if (shown)
        window.Hide();
    else
        window.Show();
    shown = !shown;
}

void MainWindow::ImgList_Click() { ToggleWindow(frmList(), isList); }

void MainWindow::ImgLrc_Click() { ToggleWindow(frmLrc(), isLrc); }

void MainWindow::ImgMute_Click() {
    auto& settings = MediaPlayer().settings();
    settings.setMute(!settings.mute());
    ImgMute.ShowResting();  // pressed while muted
}

// ---------------------------------------------------------------- seek and volume

void MainWindow::SeekTo(double thumbLeft) {
    const double duration = MediaPlayer().currentMedia().duration();
    MediaPlayer().controls().setCurrentPosition((thumbLeft - 120) * duration / Transport::kSeekLeftMax);
    if (mpris_) mpris_->AnnounceSeek();
}

void MainWindow::ImgPlayPro_MouseDown(const forms::MouseArgs& a) {
    if (a.button == forms::kLeftButton) {
        dragStartX_ = static_cast<std::int16_t>(std::lround(a.x));
        seekDragging_ = true;
    }
    ImgPlayPro.ShowLook(ButtonLook::Pressed);
}

void MainWindow::ImgPlayPro_MouseMove(const forms::MouseArgs& a) {
    if (MediaPlayer().playState() != mediaplayer::Playing) return;
    ImgPlayPro.ShowLook(ButtonLook::Pressed);
    double left = ImgPlayPro.Left();
    if (!(a.button & forms::kLeftButton) || left < Transport::kSeekLeftMin || left > Transport::kSeekLeftMax) return;
    left = std::clamp(left - dragStartX_ + a.x, Transport::kSeekLeftMin, Transport::kSeekLeftMax);
    ImgPlayPro.SetLeft(left);
    ImgPlayProFill.SetWidth(left + 10 - Transport::kSeekLeftMin);
}

void MainWindow::ImgPlayPro_MouseUp(const forms::MouseArgs&) {
    seekDragging_ = false;
    if (MediaPlayer().playState() == mediaplayer::Playing) SeekTo(ImgPlayPro.Left());
}

void MainWindow::SeekStrip_MouseDown(forms::Image&, const forms::MouseArgs& a) {
    const double left = ImgPlayPro.Left();
    if (a.button != forms::kLeftButton || left < Transport::kSeekLeftMin || left > Transport::kSeekLeftMax) return;
    ImgPlayProFill.SetWidth(a.x);
    const double thumb =
        std::clamp(ImgPlayProFill.Left() + ImgPlayProFill.Width(), Transport::kSeekLeftMin, Transport::kSeekLeftMax);
    ImgPlayPro.SetLeft(thumb);
    SeekTo(thumb);
}

void MainWindow::SetVolumeFromThumb() {
    MediaPlayer().settings().setVolume(static_cast<int>(std::floor((ImgVolume.Left() - kVolumeLeftMin) * 0.125)));
}

void MainWindow::SetVolume(int volume) {
    volume = std::clamp(volume, 0, 100);
    // The thumb's whole last stretch reads 100; full volume shows it at its end, as at start-up.
    ImgVolume.SetLeft(volume == 100 ? kVolumeLeftMax : kVolumeLeftMin + volume / 0.125);
    ImgVolumeFill.SetWidth(ImgVolume.Left() + 10 - kVolumeLeftMin);
    SetVolumeFromThumb();
}

void MainWindow::ImgVolume_MouseDown(const forms::MouseArgs& a) {
    ImgVolume.ShowLook(ButtonLook::Pressed);
    dragStartX_ = static_cast<std::int16_t>(std::lround(a.x));
}

void MainWindow::ImgVolume_MouseMove(const forms::MouseArgs& a) {
    ImgVolume.ShowLook(ButtonLook::Pressed);
    const double left = ImgVolume.Left();
    if (!(a.button & forms::kLeftButton) || left < kVolumeLeftMin || left > kVolumeLeftMax) return;
    ImgVolume.SetLeft(std::clamp(left - dragStartX_ + a.x, kVolumeLeftMin, kVolumeLeftMax));
    ImgVolumeFill.SetWidth(ImgVolume.Left() + 10 - kVolumeLeftMin);
    SetVolumeFromThumb();
}

void MainWindow::VolumeStrip_MouseDown(const forms::MouseArgs& a) {
    const double left = ImgVolume.Left();
    if (a.button != forms::kLeftButton || left < kVolumeLeftMin || left > kVolumeLeftMax) return;
    ImgVolumeFill.SetWidth(a.x);
    ImgVolume.SetLeft(std::clamp(ImgVolumeFill.Left() + ImgVolumeFill.Width(), kVolumeLeftMin, kVolumeLeftMax));
    SetVolumeFromThumb();
}

// ---------------------------------------------------------------- start-up and shut-down

void MainWindow::ListenForLaterStarts() {
    laterStarts_ = std::make_unique<forms::InstanceServer>();
    laterStarts_->Received = [this](std::vector<std::string> names) {
        if (names.empty()) {  // a start without files: the user looks for the player, which may be in the tray
            Restore();
            return true;
        }
        std::vector<std::u16string> locations;
        locations.reserve(names.size());
        for (const std::string& name : names) locations.push_back(text::FromFileName(name));
        return OpenLocations(std::move(locations));
    };
    if (!laterStarts_->Listen(QStringLiteral("media")))
        std::fprintf(stderr, "media: cannot listen for later starts; files given to them will not open here\n");
}

void MainWindow::Form_Load() {
    // A later start hands the files it was given to the copy that runs, and ends; without files it asks that copy to
    // show its windows, and ends.
    if (const std::optional<int> status = ExitStatusOfLaterStart(opener_)) std::_Exit(*status);
    ListenForLaterStarts();
    Shared().SkinName = u"DA10";
    LoadSkin();
    ImgPlay.Tag = QStringLiteral("p");
    ImgPlayProFill.SetWidth(0);
    isList = true;
    const PlaylistPlace place = PlaylistPlaceOfThisProgram();
    Shared().PlayListFile = place.file;
    RemoveLeftoverTemporaries(text::ToFileName(place.file));
    frmList().StartFrom(place.startFrom);
    transport_.SetGrid(frmList().PlayList());  // the playlist is the grid's rows
    frmList().Show();
    frmList().SetTop(Top() + Height());
    frmList().KeepWithinScreen();
    auto& menu = frmMenu();
    for (int i = 0; i < MenuWindow::kPlayModeCount; ++i)
        if (menu.mnuPlayMode(i).Checked()) Shared().PlayMode = static_cast<std::int16_t>(i);
    Shared().TrackStarted = true;
    mdlNotify().SetTrayIcon(this, nullptr, &menu.mnuList, false, QStringLiteral("Morvane1.0播放版"), QString(), 0,
                            15000);
    remote_ = std::make_unique<RemoteControl>(*this);
    mpris_ = std::make_unique<Mpris>(*remote_);
    // The list's name counts as an edit: a list opened or saved under another name goes elsewhere.
    listKeeper_ = std::make_unique<ListSnapshotKeeper>(
        EndingListSnapshot(),
        [] { return frmList().PlayList().Edits() + std::hash<std::u16string>{}(Shared().PlayListFile); },
        [this] { return EndingCopy(); });
    opener_.ListLoaded();
}

void MainWindow::Form_Resize() { RMe(); }

void MainWindow::EndProgram() {
    endingUnattended_ = true;
    if (frmListExists()) frmList().StopLoading();
    // A dialog already open (a close that asks for the list's name) would hold the ending until the system kills the
    // program, and the list with it.
    forms::CloseModalDialogs();
    Unload();
}

void MainWindow::SaveListAtEnd(bool mayAsk, bool tellInABox) {
    const std::u16string& file = Shared().PlayListFile;
    if (file.empty()) {
        if (mayAsk) frmMenu().PlayListSave();
        // Nobody to ask, or the question was cancelled by an ending that cannot wait for its answer.
        if (!mayAsk || (endingUnattended_ && Shared().PlayListFile.empty())) SaveUnnamedList();
        return;
    }
    if (!frmListExists()) return;
    PlaylistWindow& list = frmList();
    if (list.MayWriteBack(file)) {
        // The user's data folder may not be there yet.
        const std::string localPath = text::ToFileName(file);
        forms::MakeUserFolder(localPath.substr(0, localPath.find_last_of('/')));
        MenuWindow::SaveListTelling(file, tellInABox);
        return;
    }
    std::fprintf(stderr, "media: the playlist %s was not read whole, so it is not written over\n",
                 text::ToFileName(file).c_str());
}

void MainWindow::SaveUnnamedList() {
    // An empty list without a name holds nothing to keep.
    if (!frmListExists() || frmList().PlayList().ItemCount() <= 0) return;
    // One file for every save of this run that cannot ask (the session's save, then the signal that ends it), while
    // the data folder stays the same.
    const std::u16string folder = UnnamedListFolder();
    forms::MakeUserFolder(text::ToFileName(folder));
    if (!unnamedListFile_.starts_with(folder + u'/')) unnamedListFile_ = NewUnnamedListFile(folder, std::time(nullptr));
    if (MenuWindow::SaveListTelling(unnamedListFile_, false))
        std::fprintf(stderr, "media: the playlist had no name; it was saved to %s\n",
                     text::ToFileName(unnamedListFile_).c_str());
}

ListCopy MainWindow::EndingCopy() {
    ListCopy copy;
    copy.file = Shared().PlayListFile;
    copy.unnamedFolder = UnnamedListFolder();
    if (!frmListExists()) return copy;
    PlaylistWindow& list = frmList();
    copy.content = list.EncodeRows(copy.file);
    copy.hasRows = list.PlayList().ItemCount() > 0;
    copy.mayWriteBack = list.MayWriteBack(copy.file);
    copy.seen = list.SeenVersionOf(copy.file);
    return copy;
}

void MainWindow::Form_Unload() {
    // Later starts from now on find nobody listening and wait to run as the copy that follows this one, instead of
    // handing files to a list that has been saved already.
    if (laterStarts_) laterStarts_->Close();
    // The close button, the window manager's close, a remote quit: someone is there to ask and to tell.
    SaveListAtEnd(!endingUnattended_, !endingUnattended_);
    listKeeper_.reset();
    EndingListSnapshot().Retire();  // saved here; a signal from now on has nothing left to save
    if (frmListExists()) frmList().Unload();
    if (frmWindowExists()) frmWindow().Unload();
    if (frmLrcExists()) frmLrc().Unload();
    if (frmMenuExists()) frmMenu().Unload();
    transport_.TimerMain.SetEnabled(false);
    mpris_.reset();
    QCoreApplication::quit();
}

}  // namespace media
