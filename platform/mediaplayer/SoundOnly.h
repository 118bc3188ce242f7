#pragma once

typedef struct _GstElement GstElement;

namespace mediaplayer {

// Sets a uridecodebin up to decode only the sound of a media: the player shows no pictures, and a
// video file then costs no more than its soundtrack. Picture streams are demuxed and left undecoded.
void DecodeSoundOnly(GstElement* uridecodebin);

}  // namespace mediaplayer
