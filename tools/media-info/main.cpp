// media-info FILE...: what the tag readers find in each file, one block of "Field: value" lines.
#include "media/readers/MediaInfo.h"
#include "platform/text/AnsiText.h"
#include "platform/text/FileName.h"

#include <iostream>
#include <string>

namespace {

// Line breaks inside a value (lyrics) are shown as \n so that every field stays on one line.
std::string OneLine(const std::u16string& value) {
    std::string line;
    const std::string utf8 = text::ToUtf8(value);
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' || utf8[i] == '\n') {
            line += "\\n";
            if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
        } else {
            line += utf8[i];
        }
    }
    return line;
}

void PrintInfo(const std::string& path) {
    media::MediaInfo info;
    info.FileName = text::FromFileName(path);
    const bool read = media::ReadMediaInfo(info);
    const std::pair<const char*, const std::u16string*> texts[] = {
        {"Title", &info.Title},       {"Artist", &info.Artist},   {"Album", &info.Album},
        {"Year", &info.Year},         {"Lyrics", &info.Lyrics},   {"Writer", &info.Writer},
        {"Composer", &info.Composer}, {"BitRate", &info.BitRate}, {"SampleRate", &info.SampleRate},
    };
    std::cout << "File: " << path << '\n'
              << "Result: " << (read ? "True" : "False") << '\n'
              << "MediaType: " << info.MediaType << '\n';
    for (const auto& [name, value] : texts) std::cout << name << ": " << OneLine(*value) << '\n';
    std::cout << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: media-info FILE...\n";
        return 2;
    }
    for (int i = 1; i < argc; ++i) PrintInfo(argv[i]);
    return 0;
}
