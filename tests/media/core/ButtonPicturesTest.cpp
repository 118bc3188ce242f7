// Every picture and Tag of the main window's skinned buttons, from the loaded skin through the pointer's moves,
// presses and releases, the background that ends a hover, and the states the buttons show (disabled, muted, the
// play button offering pause).
#include <gtest/gtest.h>

#include <QStringList>
#include <map>

#include "media/core/MainWindow.h"

using namespace media;

namespace {

struct Scenario {
    const char* button;   // the control whose picture and Tag are checked
    const char* steps;    // "<control>.<action>" separated by spaces; "stop" is the transport's stop
    const char* picture;  // the file shown at the end
    const char* tag;
};

const Scenario kScenarios[] = {
    // The loaded skin.
    {"ImgMain", "", "player_skin.bmp", ""},
    {"ImgLrc", "", "lrc_n.bmp", ""},
    {"ImgWindow", "", "voduz_n.bmp", ""},
    {"ImgMin", "", "min_n.bmp", ""},
    {"ImgMax", "", "max_n.bmp", ""},
    {"ImgClose", "", "close_n.bmp", ""},
    {"ImgPlay", "", "play_n.bmp", ""},
    {"ImgStop", "", "stop_s.bmp", ""},
    {"ImgPrev", "", "prev_s.bmp", ""},
    {"ImgNext", "", "next_s.bmp", ""},
    {"ImgPlayProFill", "", "play_pro.bmp", ""},
    {"ImgPlayProNone", "", "play_none.bmp", ""},
    {"ImgPlayPro", "", "playpro_n.gif", ""},
    {"ImgVolume", "", "volume_n.bmp", ""},
    {"ImgVolumeFill", "", "volume_pro.bmp", ""},
    {"ImgVolumeNone", "", "volume_none.bmp", ""},
    {"ImgList", "", "window_n.bmp", ""},
    {"ImgMute", "", "mute_n.bmp", ""},
    // Caption buttons: the hover picture once per visit, which only the background ends.
    {"ImgMin", "ImgMin.move", "min_m.bmp", "1"},
    {"ImgMin", "ImgMin.move ImgMin.down", "min_d.bmp", "1"},
    {"ImgMin", "ImgMin.move ImgMin.down ImgMin.up", "min_u.bmp", "1"},
    {"ImgMin", "ImgMin.move ImgMain.move", "min_n.bmp", ""},
    {"ImgMax", "ImgMax.move ImgMin.move", "max_n.bmp", "1"},
    {"ImgMax", "ImgMax.move ImgMin.move ImgMax.move", "max_n.bmp", "1"},
    {"ImgClose", "ImgClose.down ImgClose.move", "close_m.bmp", "1"},
    {"ImgClose", "ImgClose.move ImgClose.down ImgClose.move", "close_d.bmp", "1"},
    // Window buttons.
    {"ImgLrc", "ImgLrc.move", "lrc_m.bmp", ""},
    {"ImgLrc", "ImgLrc.down ImgLrc.up", "lrc_d.bmp", ""},
    {"ImgLrc", "ImgLrc.down ImgMain.move", "lrc_n.bmp", ""},
    {"ImgWindow", "ImgWindow.move", "voduz_m.bmp", ""},
    {"ImgWindow", "ImgWindow.down", "voduz_d.bmp", ""},
    {"ImgWindow", "ImgWindow.down ImgWindow.up", "voduz_n.bmp", ""},
    {"ImgList", "ImgList.move", "window_m.bmp", ""},
    {"ImgList", "ImgList.move ImgMain.move", "window_n.bmp", ""},
    // The play button shows pause pictures while it offers pause.
    {"ImgPlay", "ImgPlay.move", "play_m.bmp", ""},
    {"ImgPlay", "ImgPlay.tag=s ImgPlay.move", "pause_m.bmp", "s"},
    {"ImgPlay", "ImgPlay.tag=s ImgMain.move", "pause_n.bmp", "s"},
    {"ImgPlay", "ImgPlay.tag=p ImgPlay.move ImgMain.move", "play_n.bmp", "p"},
    // Transport buttons keep their disabled pictures while disabled.
    {"ImgStop", "ImgStop.move ImgMain.move", "stop_s.bmp", ""},
    {"ImgNext", "ImgNext.enable ImgMain.move", "next_n.bmp", ""},
    {"ImgNext", "ImgNext.enable ImgNext.move", "next_m.bmp", ""},
    {"ImgPrev", "ImgPrev.enable ImgPrev.move stop", "prev_s.bmp", ""},
    // Mute: while muted the pressed picture stays.
    {"ImgMute", "ImgMute.move", "mute_m.bmp", ""},
    {"ImgMute", "ImgMute.down", "mute_d.bmp", ""},
    {"ImgMute", "ImgMute.move ImgMain.move", "mute_n.bmp", ""},
    {"ImgMute", "ImgMute.click ImgMute.move ImgMute.down ImgMain.move", "mute_d.bmp", ""},
    {"ImgMute", "ImgMute.click ImgMute.click", "mute_n.bmp", ""},
    // Thumbs of the seek and volume bars.
    {"ImgPlayPro", "ImgPlayPro.down", "playpro_d.gif", ""},
    {"ImgPlayPro", "ImgPlayPro.down ImgPlayPro.up ImgMain.move", "playpro_n.gif", ""},
    {"ImgVolume", "ImgVolume.down ImgMain.move", "volume_d.bmp", ""},
};

std::map<QString, forms::Image*> ControlsOf(MainWindow& w) {
    return {{"ImgMain", &w.ImgMain},
            {"ImgLrc", &w.ImgLrc},
            {"ImgWindow", &w.ImgWindow},
            {"ImgMin", &w.ImgMin},
            {"ImgMax", &w.ImgMax},
            {"ImgClose", &w.ImgClose},
            {"ImgPlay", &w.ImgPlay},
            {"ImgStop", &w.ImgStop},
            {"ImgPrev", &w.ImgPrev},
            {"ImgNext", &w.ImgNext},
            {"ImgMute", &w.ImgMute},
            {"ImgPlayProNone", &w.ImgPlayProNone},
            {"ImgPlayProFill", &w.ImgPlayProFill},
            {"ImgPlayPro", &w.ImgPlayPro},
            {"ImgVolumeNone", &w.ImgVolumeNone},
            {"ImgVolumeFill", &w.ImgVolumeFill},
            {"ImgVolume", &w.ImgVolume},
            {"ImgList", &w.ImgList}};
}

// Runs one step as the control's handlers see it; a handler the control lacks does nothing, as with the real event.
void RunStep(MainWindow& window, const QString& step) {
    if (step == QLatin1String("stop")) return window.Transport().Stop();
    forms::Image& control = *ControlsOf(window).at(step.section(QLatin1Char('.'), 0, 0));
    const QString action = step.section(QLatin1Char('.'), 1);
    auto run = [](const auto& handler, auto... args) {
        if (handler) handler(args...);
    };
    if (action == QLatin1String("move")) run(control.MouseMove, forms::MouseArgs{});
    if (action == QLatin1String("down")) run(control.MouseDown, forms::MouseArgs{});
    if (action == QLatin1String("up")) run(control.MouseUp, forms::MouseArgs{});
    if (action == QLatin1String("click")) run(control.Click);
    if (action == QLatin1String("enable")) control.SetEnabled(true);
    if (action.startsWith(QLatin1String("tag="))) control.Tag = action.mid(4);
}

}  // namespace

TEST(MainWindowButtonPictures, EachStepShowsTheButtonsOwnPictureAndTag) {
    for (const Scenario& s : kScenarios) {
        MainWindow window;
        window.LoadSkin();
        for (const QString& step : QString::fromLatin1(s.steps).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            RunStep(window, step);
        const forms::Image& button = *ControlsOf(window).at(QString::fromLatin1(s.button));
        const std::string where = std::string(s.button) + " after \"" + s.steps + "\"";
        EXPECT_EQ(button.PictureFile().section(QLatin1Char('/'), -1), QString::fromLatin1(s.picture)) << where;
        EXPECT_EQ(button.Tag, QString::fromLatin1(s.tag)) << where;
    }
}
