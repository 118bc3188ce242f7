// media-info [--why] FILE...: what the tag readers find in each file, one block of "Field: value"
// lines. With --why, a file the readers refuse gets a "Why:" line under its result saying why.
#include "media/readers/MediaInfo.h"
#include "platform/text/AnsiText.h"
#include "platform/text/FileName.h"

#include <iostream>
#include <string>
#include <string_view>

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

void PrintInfo(const std::string& path, bool explain) {
    media::MediaInfo info;
    info.FileName = text::FromFileName(path);
    media::Refusal why;
    const bool read = media::ReadMediaInfo(info, &why);
    const std::pair<const char*, const std::u16string*> texts[] = {
        {"Title", &info.Title},       {"Artist", &info.Artist},   {"Album", &info.Album},
        {"Year", &info.Year},         {"Lyrics", &info.Lyrics},   {"Writer", &info.Writer},
        {"Composer", &info.Composer}, {"BitRate", &info.BitRate}, {"SampleRate", &info.SampleRate},
    };
    std::cout << "File: " << path << '\n' << "Result: " << (read ? "True" : "False") << '\n';
    if (explain && !read) std::cout << "Why: " << media::RefusalText(why) << '\n';
    std::cout << "MediaType: " << info.MediaType << '\n';
    for (const auto& [name, value] : texts) std::cout << name << ": " << OneLine(*value) << '\n';
    std::cout << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    bool explain = false;
    // Options come before the files; "--" ends them, for a file whose name starts with "-".
    for (; first < argc && std::string_view(argv[first]).starts_with("--"); ++first) {
        const std::string_view option = argv[first];
        if (option == "--") {
            ++first;
            break;
        }
        if (option != "--why") {
            std::cerr << "media-info: unknown option " << option << '\n';
            return 2;
        }
        explain = true;
    }
    if (first >= argc) {
        std::cerr << "usage: media-info [--why] FILE...\n";
        return 2;
    }
    for (int i = first; i < argc; ++i) PrintInfo(argv[i], explain);
    return 0;
}
