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
void addButton(QList<Picture>& set, const QString& stem, const QImage& under, ButtonShape shape, Glyph glyph,
               std::initializer_list<StateFile> states) {
    for (const StateFile& file : states)
        set.append(
            {stem + QLatin1String(file.suffix) + QStringLiteral(".bmp"), paintButton(under, shape, glyph, file.state)});
}

constexpr StateFile kNormal{"_n", ButtonState::Normal};
constexpr StateFile kHover{"_m", ButtonState::Hover};
constexpr StateFile kPressed{"_d", ButtonState::Pressed};
constexpr StateFile kReleased{"_u", ButtonState::Hover};
constexpr StateFile kDisabled{"_s", ButtonState::Disabled};

void addMainWindowButtons(QList<Picture>& set, const QImage& backdrop) {
    using namespace main_window;
    auto under = [&](const QRect& place) { return backdropUnder(backdrop, place); };
    addButton(set, "play", under(kPlay), ButtonShape::RoundAccent, Glyph::Play, {kNormal, kHover});
    addButton(set, "pause", under(kPlay), ButtonShape::RoundAccent, Glyph::Pause, {kNormal, kHover});
    addButton(set, "stop", under(kStop), ButtonShape::Round, Glyph::Stop, {kNormal, kHover, kDisabled});
    addButton(set, "prev", under(kPrevious), ButtonShape::Round, Glyph::Previous, {kNormal, kHover, kDisabled});
    addButton(set, "next", under(kNext), ButtonShape::Round, Glyph::Next, {kNormal, kHover, kDisabled});
    addButton(set, "mute", under(kMute), ButtonShape::Round, Glyph::Speaker, {kNormal, kHover});
    // The pressed mute picture stays up while muted, so it shows the muted speaker.
    addButton(set, "mute", under(kMute), ButtonShape::Round, Glyph::SpeakerMuted, {kPressed});
    addButton(set, "window", under(kPlaylistToggle), ButtonShape::Square, Glyph::Playlist, {kNormal, kHover});
    addButton(set, "lrc", under(kLyrics), ButtonShape::TitleBar, Glyph::Lyrics, {kNormal, kHover, kPressed});
    addButton(set, "voduz", under(kAbout), ButtonShape::TitleBar, Glyph::About, {kNormal, kHover, kPressed});
    addButton(set, "min", under(kMinimise), ButtonShape::TitleBar, Glyph::Minimise,
              {kNormal, kHover, kPressed, kReleased});
    addButton(set, "max", under(kMaximise), ButtonShape::TitleBar, Glyph::Maximise,
              {kNormal, kHover, kPressed, kReleased});
    addButton(set, "close", under(kClose), ButtonShape::CloseTitle, Glyph::Close,
              {kNormal, kHover, kPressed, kReleased});
}

void addToolWindowButtons(QList<Picture>& set, const QImage& frame) {
    using namespace tool_window;
    const QRect stayOnTop(QPoint(frame.width() - kStayOnTopFromRight, kButtonTop), kStayOnTop);
    const QRect menu(QPoint(frame.width() - kMenuFromRight, kButtonTop), kMenuButton);
    addButton(set, "top", backdropUnder(frame, stayOnTop), ButtonShape::TitleBar, Glyph::Pin,
              {kNormal, kHover, kPressed});
    addButton(set, "list", backdropUnder(frame, menu), ButtonShape::TitleBar, Glyph::ListMenu,
              {kNormal, kHover, kPressed});
}

void addBars(QList<Picture>& set, const QImage& backdrop) {
    using namespace main_window;
    const QImage seekGroove = backdropUnder(backdrop, kSeekStrip);
    set.append({"play_none.bmp", paintStrip(seekGroove, false)});
    set.append({"play_pro.bmp", paintStrip(seekGroove, true)});
    set.append({"playpro_n.gif", flattenAlpha(paintSeekThumb(ThumbState::Normal), theme::kGroove)});
    set.append({"playpro_d.gif", flattenAlpha(paintSeekThumb(ThumbState::Active), theme::kGroove)});

    const QImage volumeGroove = backdropUnder(backdrop, kVolumeStrip);
    const QImage empty = paintStrip(volumeGroove, false), filled = paintStrip(volumeGroove, true);
    set.append({"volume_none.bmp", empty});
    set.append({"volume_pro.bmp", filled});
    const int thumbTop = kVolumeThumb.top() - kVolumeStrip.top();
    set.append({"volume_n.bmp", paintVolumeThumb(empty, filled, kVolumeThumb.size(), thumbTop, ThumbState::Normal)});
    set.append({"volume_d.bmp", paintVolumeThumb(empty, filled, kVolumeThumb.size(), thumbTop, ThumbState::Active)});
}

}  // namespace

QList<Picture> paintSkinSet() {
    QList<Picture> set;
    const QImage backdrop = paintPlayerBackdrop();
    const QImage frame = paintToolFrameBitmap();
    set.append({"player_skin.bmp", backdrop});
    set.append({"playlist_skin.bmp", frame});
    addMainWindowButtons(set, backdrop);
    addToolWindowButtons(set, frame);
    addBars(set, backdrop);
    return set;
}

}  // namespace skin
