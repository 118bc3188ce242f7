#pragma once

#include <cstdint>
#include <string>

namespace tagfile {

// A WAV file of CD audio (16-bit stereo, 44.1 kHz) holding `samples` samples of silence, for the encoders.
inline std::string SilentCdWav(std::uint32_t samples) {
    std::string wav = "RIFF";
    const auto le = [&wav](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) wav += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    le(36 + samples * 4, 4);
    wav += "WAVEfmt ";
    le(16, 4), le(1, 2), le(2, 2), le(44100, 4), le(44100 * 4, 4), le(4, 2), le(16, 2);
    wav += "data";
    le(samples * 4, 4);
    return wav + std::string(samples * 4, '\0');
}

}  // namespace tagfile
