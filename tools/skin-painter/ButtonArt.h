#pragma once

#include "Glyphs.h"

#include <QImage>

// Draws one button picture over the backdrop pixels it will cover.
namespace skin {

enum class ButtonState {
    Normal,
    Hover,    // also used for the "released" pictures
    Pressed,  // also the lasting "on" look of mute and stay-on-top
    Disabled,
};

enum class ButtonShape {
    TitleBar,     // glyph engraved in the light title strip; a soft plate appears on hover
    CloseTitle,   // as TitleBar, but the hover plate is red
    Round,        // a dark round button on the body
    RoundAccent,  // the big round play button, in the accent colour
    Square,       // a dark rounded-square button on the body
};

QImage PaintButton(const QImage& backdrop, ButtonShape shape, Glyph glyph, ButtonState state);

}  // namespace skin
