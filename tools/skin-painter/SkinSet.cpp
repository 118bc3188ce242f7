#include "SkinSet.h"

#include "Backdrops.h"
#include "BarArt.h"
#include "ButtonArt.h"
#include "GifWriter.h"
#include "SkinGeometry.h"
#include "Theme.h"

namespace skin {
namespace {

struct StateFile {
    const char* suffix;
    ButtonState state;
};

// Hover, press, release and disabled pictures of one button, all over the same backdrop.
void AddButton(QList<Picture>& set, const QString& stem, const QImage& under, ButtonShape shape, Glyph glyph,
               std::initializer_list<StateFile> states) {
    for (const StateFile& file : states)
        set.append(
            {stem + QLatin1String(file.suffix) + QStringLiteral(".bmp"), PaintButton(under, shape, glyph, file.state)});
}

constexpr StateFile kNormal{"_n", ButtonState::Normal};
constexpr StateFile kHover{"_m", ButtonState::Hover};
constexpr StateFile kPressed{"_d", ButtonState::Pressed};
constexpr StateFile kReleased{"_u", ButtonState::Hover};
constexpr StateFile kDisabled{"_s", ButtonState::Disabled};

void AddMainWindowButtons(QList<Picture>& set, const QImage& backdrop) {
    using namespace main_window;
    auto under = [&](const QRect& place) { return BackdropUnder(backdrop, place); };
    AddButton(set, "play", under(kPlay), ButtonShape::RoundAccent, Glyph::Play, {kNormal, kHover});
    AddButton(set, "pause", under(kPlay), ButtonShape::RoundAccent, Glyph::Pause, {kNormal, kHover});
    AddButton(set, "stop", under(kStop), ButtonShape::Round, Glyph::Stop, {kNormal, kHover, kDisabled});
    AddButton(set, "prev", under(kPrevious), ButtonShape::Round, Glyph::Previous, {kNormal, kHover, kDisabled});
    AddButton(set, "next", under(kNext), ButtonShape::Round, Glyph::Next, {kNormal, kHover, kDisabled});
    AddButton(set, "mute", under(kMute), ButtonShape::Round, Glyph::Speaker, {kNormal, kHover});
    // The pressed mute picture stays up while muted, so it shows the muted speaker.
    AddButton(set, "mute", under(kMute), ButtonShape::Round, Glyph::SpeakerMuted, {kPressed});
    AddButton(set, "window", under(kPlaylistToggle), ButtonShape::Square, Glyph::Playlist, {kNormal, kHover});
    AddButton(set, "lrc", under(kLyrics), ButtonShape::TitleBar, Glyph::Lyrics, {kNormal, kHover, kPressed});
    AddButton(set, "voduz", under(kAbout), ButtonShape::TitleBar, Glyph::About, {kNormal, kHover, kPressed});
    AddButton(set, "min", under(kMinimise), ButtonShape::TitleBar, Glyph::Minimise,
              {kNormal, kHover, kPressed, kReleased});
    AddButton(set, "max", under(kMaximise), ButtonShape::TitleBar, Glyph::Maximise,
              {kNormal, kHover, kPressed, kReleased});
    AddButton(set, "close", under(kClose), ButtonShape::CloseTitle, Glyph::Close,
              {kNormal, kHover, kPressed, kReleased});
}

void AddToolWindowButtons(QList<Picture>& set, const QImage& frame) {
    using namespace tool_window;
    const QRect stayOnTop(QPoint(frame.width() - kStayOnTopFromRight, kButtonTop), kStayOnTop);
    const QRect menu(QPoint(frame.width() - kMenuFromRight, kButtonTop), kMenuButton);
    AddButton(set, "top", BackdropUnder(frame, stayOnTop), ButtonShape::TitleBar, Glyph::Pin,
              {kNormal, kHover, kPressed});
    AddButton(set, "list", BackdropUnder(frame, menu), ButtonShape::TitleBar, Glyph::ListMenu,
              {kNormal, kHover, kPressed});
}

void AddBars(QList<Picture>& set, const QImage& backdrop) {
    using namespace main_window;
    const QImage seekGroove = BackdropUnder(backdrop, kSeekStrip);
    set.append({"play_none.bmp", PaintStrip(seekGroove, false)});
    set.append({"play_pro.bmp", PaintStrip(seekGroove, true)});
    set.append({"playpro_n.gif", FlattenAlpha(PaintSeekThumb(ThumbState::Normal), theme::kGroove)});
    set.append({"playpro_d.gif", FlattenAlpha(PaintSeekThumb(ThumbState::Active), theme::kGroove)});

    const QImage volumeGroove = BackdropUnder(backdrop, kVolumeStrip);
    const QImage empty = PaintStrip(volumeGroove, false), filled = PaintStrip(volumeGroove, true);
    set.append({"volume_none.bmp", empty});
    set.append({"volume_pro.bmp", filled});
    const int thumbTop = kVolumeThumb.top() - kVolumeStrip.top();
    set.append({"volume_n.bmp", PaintVolumeThumb(empty, filled, kVolumeThumb.size(), thumbTop, ThumbState::Normal)});
    set.append({"volume_d.bmp", PaintVolumeThumb(empty, filled, kVolumeThumb.size(), thumbTop, ThumbState::Active)});
}

}  // namespace

QList<Picture> PaintSkinSet() {
    QList<Picture> set;
    const QImage backdrop = PaintPlayerBackdrop();
    const QImage frame = PaintToolFrameBitmap();
    set.append({"player_skin.bmp", backdrop});
    set.append({"playlist_skin.bmp", frame});
    AddMainWindowButtons(set, backdrop);
    AddToolWindowButtons(set, frame);
    AddBars(set, backdrop);
    return set;
}

}  // namespace skin
