#pragma once

#include <QColor>

// The colours of the DA10 skin: deep blue-grey bodies, a near-black screen for the white status
// texts, light steel title strips (the tool windows print their captions in dark blue, which only
// reads on a light strip) and one cyan accent for everything that is active.
namespace skin::theme {

inline const QColor kStripTop(226, 232, 240);
inline const QColor kStripBottom(184, 195, 211);
inline const QColor kStripShadow(58, 66, 80);
inline const QColor kStripGlyph(62, 74, 94);

inline const QColor kBodyTop(50, 60, 77);
inline const QColor kBodyBottom(27, 32, 42);
inline const QColor kBodyEdge(12, 15, 20);
inline const QColor kBodyHighlight(78, 90, 110);

inline const QColor kScreenTop(13, 21, 32);
inline const QColor kScreenBottom(5, 9, 15);
inline const QColor kScreenRule(32, 50, 68);
inline const QColor kScreenDecor(52, 96, 132);

inline const QColor kGroove(9, 13, 19);
inline const QColor kTrack(34, 42, 56);
inline const QColor kTrackShadow(2, 4, 8);

inline const QColor kAccent(64, 196, 255);
inline const QColor kAccentDeep(20, 110, 200);
inline const QColor kAccentGlow(140, 225, 255);

inline const QColor kKnobLight(236, 241, 247);
inline const QColor kKnobDark(150, 162, 180);

inline const QColor kButtonTop(78, 92, 114);
inline const QColor kButtonBottom(36, 43, 56);
inline const QColor kButtonRim(98, 114, 138);
inline const QColor kGlyph(214, 226, 240);
inline const QColor kGlyphDisabled(92, 102, 118);

inline const QColor kCloseHover(214, 64, 60);

// Inside a tool window's border: the playlist grid and the lyric canvas are black.
inline const QColor kToolInside(4, 6, 10);

}  // namespace skin::theme
