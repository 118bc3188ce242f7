#pragma once

#include <QImage>

// The seek and volume bars: each is a background strip, a filled strip laid over it and clipped
// from the left as the value grows, and a thumb.
namespace skin {

// `groove` is the backdrop under the strip. The filled strip is one bright bar, the same in every
// column after its rounded start, so any clipped width ends cleanly under the thumb.
QImage PaintStrip(const QImage& groove, bool filled);

enum class ThumbState { Normal, Active };

// The seek thumb has a transparent surround (it becomes a GIF); antialiased edge pixels keep their
// partial alpha here.
QImage PaintSeekThumb(ThumbState state);

// The volume thumb is an opaque picture lying on the volume bar just where the fill ends, so its
// surround is cut from the two strips: fill on its left edge, empty track elsewhere.
QImage PaintVolumeThumb(const QImage& emptyStrip, const QImage& filledStrip, QSize size, int topInStrip,
                        ThumbState state);

}  // namespace skin
