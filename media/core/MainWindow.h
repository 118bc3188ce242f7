#pragma once
// The compact main window: the skin background with its buttons, bars and status texts, the media-player component and
// the transport that plays through it, and the start-up and shut-down of the program.
#include <memory>

#include "media/core/MediaPlayerComponent.h"
#include "media/core/OpenLocations.h"
#include "media/core/SkinnedButton.h"
#include "media/core/Transport.h"
#include "media/playlist/ListSnapshot.h"
#include "platform/forms/Form.h"
#include "platform/forms/Image.h"
#include "platform/forms/Label.h"

namespace forms {
class InstanceServer;
}
namespace mediaplayer {
class MediaPlayer;
}

namespace media {

class ListSnapshotKeeper;
class Mpris;
class RemoteControl;

class MainWindow final : public forms::Form, private TransportView {
    Q_OBJECT
public:
    MainWindow();
    ~MainWindow() override;

    // Flags of the windows the main window shows: playlist, lyrics, web.
    bool isList = false;
    bool isLrc = false;
    bool isWindow = false;

    // Ends the program as the close button does, for an ending nobody is there to answer (a signal, the session
    // manager's end): nothing is asked and a dialog left open is cancelled, an unnamed list goes to a new file (see
    // SaveListAtEnd). A list still loading stops, and an end asked for while the window loads follows the load.
    void EndProgram();
    // Writes the list back to PlayListFile as the program ends, if it holds that file whole. An unnamed list is saved
    // under a name the user picks when `mayAsk`, else to a new file of the user's data folder, said on stderr. A save
    // that fails is said on stderr, and also in a message box when `tellInABox`.
    void SaveListAtEnd(bool mayAsk, bool tellInABox = false);
    // Brings the main window back from the taskbar or the tray, with the playlist and lyrics windows when their flags
    // are set; also what a later start without files asks for.
    void Restore();
    // Appends rows for the locations and plays the first of them, once the list has loaded: the files this start
    // was given, those a later start hands over, an address asked for on the session bus. False, and nothing opened,
    // when the list cannot take them all or the program is ending.
    bool OpenLocations(std::vector<std::u16string> locations) { return opener_.Open(std::move(locations)); }

    // Sets the volume (0..100) from outside the window, with the volume thumb and fill moved to where a drag to it
    // would leave them.
    void SetVolume(int volume);
    // Runs exactly what a click on the play/pause button does.
    void ClickPlay() { ImgPlay_Click(); }
    // Applies the window's region: the whole window with its two top corners rounded.
    void RMe();
    void LoadSkin();

    mediaplayer::MediaPlayer& MediaPlayer() { return player_.Player(); }
    media::Transport& Transport() { return transport_; }

    // Controls, by their design names, in the order they lie on one another.
    forms::Image ImgMain;
    SkinnedButton ImgLrc, ImgWindow, ImgMin, ImgMax, ImgClose;
    forms::Label EchoTitle, EchoTimer, EchoAllTimer, EchoState;
    forms::Image ImgPlayProNone, ImgPlayProFill;
    SkinnedButton ImgPlayPro;
    SkinnedButton ImgPlay, ImgStop, ImgPrev, ImgNext, ImgMute;  // ImgPlay shows pause pictures while its Tag is "s"
    forms::Image ImgVolumeNone, ImgVolumeFill;
    SkinnedButton ImgVolume, ImgList;

    bool SeekDragging() const override { return seekDragging_; }

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload() override;
    void changeEvent(QEvent* event) override;

private:
    void PlaceControls();
    void ConnectHandlers();
    // Later starts of the program hand their files over to this copy.
    void ListenForLaterStarts();

    // Handlers.
    void ImgMain_MouseDown(const forms::MouseArgs& a);
    void ImgMain_MouseMove(const forms::MouseArgs& a);
    void ImgPlay_Click() { transport_.PlayPause(); }
    void ImgStop_Click() { transport_.Stop(); }
    void ImgPrev_Click() { transport_.PlayTrack(MovePrevious); }
    void ImgNext_Click() { transport_.PlayTrack(MoveNext); }
    void ImgMin_Click();
    void ImgWindow_Click();
    void ImgClose_Click() { Unload(); }
    void ImgList_Click();
    void ImgLrc_Click();
    void ImgMute_Click();
    void ImgPlayPro_MouseDown(const forms::MouseArgs& a);
    void ImgPlayPro_MouseMove(const forms::MouseArgs& a);
    void ImgPlayPro_MouseUp(const forms::MouseArgs& a);
    void SeekStrip_MouseDown(forms::Image& strip, const forms::MouseArgs& a);
    void ImgVolume_MouseDown(const forms::MouseArgs& a);
    void ImgVolume_MouseMove(const forms::MouseArgs& a);
    void VolumeStrip_MouseDown(const forms::MouseArgs& a);
    void SeekTo(double thumbLeft);
    void SetVolumeFromThumb();
    // Keeps a list without a name in a new file of its own, for an ending that cannot ask for one.
    void SaveUnnamedList();
    // The list as the ending would write it now, for the copy written when the window thread cannot answer.
    ListCopy EndingCopy();

    // TransportView
    void SetStateText(const QString& text) override { EchoState.SetCaption(text); }
    void SetTitleText(const QString& text) override { EchoTitle.SetCaption(text); }
    void SetTimerText(const QString& text) override { EchoTimer.SetCaption(text); }
    void SetAllTimerText(const QString& text) override { EchoAllTimer.SetCaption(text); }
    QString PlayTag() const override { return ImgPlay.Tag; }
    void SetPlayTag(const QString& tag) override { ImgPlay.Tag = tag; }
    void ShowPlayOffer(PlayOffer offer) override;
    void SetTransportButtonsEnabled(bool enabled) override;
    double SeekThumbLeft() const override { return ImgPlayPro.Left(); }
    void SetSeekThumbLeft(double twips) override { ImgPlayPro.SetLeft(twips); }
    void SetSeekFillWidth(double twips) override { ImgPlayProFill.SetWidth(twips); }

    MediaPlayerComponent player_;  // made before the transport that plays through it, and ended after it
    media::Transport transport_;
    std::unique_ptr<RemoteControl> remote_;
    std::unique_ptr<Mpris> mpris_;
    std::unique_ptr<forms::InstanceServer> laterStarts_;
    std::unique_ptr<ListSnapshotKeeper> listKeeper_;
    LocationOpener opener_;
    bool seekDragging_ = false;
    bool endingUnattended_ = false;   // EndProgram: the ending asks nothing
    std::u16string unnamedListFile_;  // where this run keeps its unnamed list, once it had to
    std::int16_t dragStartX_ = 0;
};

}  // namespace media
