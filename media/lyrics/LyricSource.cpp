#include "media/lyrics/LyricSource.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "media/lyrics/LrcParser.h"
#include "media/readers/MediaInfo.h"
#include "platform/text/FileName.h"

namespace fs = std::filesystem;

namespace media {
namespace {

// Lyric files are small; a larger file is not a lyric.
constexpr std::uintmax_t kMaxLyricBytes = 1 << 20;

bool IsLrcExtension(const fs::path& extension) {
    const std::string e = extension.string();
    return e.size() == 4 && e[0] == '.' && (e[1] | 0x20) == 'l' && (e[2] | 0x20) == 'r' && (e[3] | 0x20) == 'c';
}

}  // namespace

std::string SidecarLrcPath(const std::string& mediaPath) {
    std::error_code ec;
    const fs::path media(mediaPath);
    const fs::path exact = fs::path(media).replace_extension(".lrc");
    if (fs::is_regular_file(exact, ec)) return exact.string();
    const fs::path folder = media.has_parent_path() ? media.parent_path() : fs::path(".");
    const fs::path stem = media.stem();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& candidate = it->path();
        if (candidate.stem() == stem && IsLrcExtension(candidate.extension()) && it->is_regular_file(ec))
            return candidate.string();
    }
    return {};
}

std::vector<LyricLine> FindLyrics(const std::u16string& location) {
    const std::string path = text::ToFileName(location);
    if (path.empty() || path.find("://") != std::string::npos) return {};
    const std::string sidecar = SidecarLrcPath(path);
    std::error_code ec;
    if (!sidecar.empty() && fs::file_size(sidecar, ec) <= kMaxLyricBytes && !ec) {
        std::ifstream in(sidecar, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto lines = ParseLrc(DecodeLyricBytes(bytes));
        if (!lines.empty()) return lines;
    }
    MediaInfo info;
    info.FileName = location;
    if (ReadMediaInfo(info) && !info.Lyrics.empty()) return ParseLrc(info.Lyrics);
    return {};
}

}  // namespace media
