#pragma once

typedef struct _GstElement GstElement;

namespace mediaplayer {

// The program's name and icon as the sound server shows them; the program gives them once, before its first media.
void SetSoundServerIdentity(const char* applicationName, const char* iconName);

// Tells the sound server what the player's sound is, for its mixers and policies: music from
// the program named by SetSoundServerIdentity, with its icon. Call it on a new audio sink, before it starts: a sink
// with stream-properties and client-name properties (pulsesink; pipewiresink alike) is named at once; in a bin such as
// autoaudiosink, so is each sink it holds or adds later (autoaudiosink adds the real one as it starts, before opening
// it). Other elements are left as they are.
void IntroduceToSoundServer(GstElement* sink);

}  // namespace mediaplayer
