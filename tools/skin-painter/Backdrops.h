#pragma once

#include <QImage>

// The two window backdrops. Every button picture is cut from the backdrop it will lie on, so it
// blends in without a visible box.
namespace skin {

// player_skin.bmp: the whole main window behind its buttons, bars and status texts.
QImage PaintPlayerBackdrop();

// playlist_skin.bmp: the tool windows compose their frames from pieces of it at any size, so it is
// laid out as a small complete window whose edges repeat cleanly: a title strip, a body band,
// side and bottom borders of one colour along their length, and a black inside.
QImage PaintToolFrameBitmap();

// The pixels a button sits on: the backdrop cut at the button's place.
QImage BackdropUnder(const QImage& backdrop, const QRect& place);

}  // namespace skin
