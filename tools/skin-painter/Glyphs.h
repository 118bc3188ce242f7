#pragma once

#include <QPainterPath>
#include <QRectF>

// The button symbols as filled outlines, so that one shape serves the plain, glowing and
// engraved drawings of a button.
namespace skin {

enum class Glyph {
    Play,
    Pause,
    Stop,
    Previous,
    Next,
    Speaker,       // sound on: speaker with waves
    SpeakerMuted,  // speaker with a cross instead of waves
    Minimise,
    Maximise,
    Close,
    Playlist,  // list lines with bullets
    ListMenu,  // list lines with a drop-down mark
    Lyrics,    // the letters LRC
    About,     // "i" in a ring
    Pin,       // stay on top
    Note,      // the skin's emblem
};

// The glyph scaled to fit `box` (keeping its proportions) and centred in it.
QPainterPath GlyphPath(Glyph glyph, const QRectF& box);

}  // namespace skin
