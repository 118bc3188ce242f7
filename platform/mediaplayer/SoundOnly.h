#pragma once

typedef struct _GstElement GstElement;

namespace mediaplayer {

// Sets a playbin up to play only the sound of a media: the player shows no pictures, and a video
// file then costs no more than its soundtrack. Picture streams are demuxed and dropped undecoded.
void decodeSoundOnly(GstElement* playbin);

}  // namespace mediaplayer
