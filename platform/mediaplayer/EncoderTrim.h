#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace mediaplayer {

// The samples an MP3 encoder added around the sound: its delay at the start and the padding of the last frame.
// LAME (and encoders built on it) records both in the tag of the file's first frame; a decoder adds a delay of its
// own. Without trimming them, two tracks cut from one recording are heard with a short silence between them.
struct EncoderTrim {
    std::int64_t skip = 0;     // decoded samples to drop at the start (encoder and decoder delay)
    std::int64_t samples = 0;  // decoded samples of sound after them
};

// Reads the LAME tag of an MP3 file (a local path); none when the file has no such tag or is not an MP3 file.
std::optional<EncoderTrim> ReadEncoderTrim(const std::string& path);

}  // namespace mediaplayer
