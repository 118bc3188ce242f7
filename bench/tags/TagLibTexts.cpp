// taglib-texts FILE...: the title and artist TagLib reads from each file, one line a file:
// path, title and artist separated by tabs, in UTF-8. The tag accuracy comparison runs it
// beside our own media-info.
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <cstdio>
#include <string>

namespace {

// A tab or line break inside a text would split the line; they are shown as spaces.
std::string OneField(const TagLib::String& text) {
    std::string field = text.to8Bit(true);
    for (char& c : field)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return field;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const TagLib::FileRef file(argv[i], false);
        const bool read = !file.isNull() && file.tag();
        std::printf("%s\t%s\t%s\n", argv[i], read ? OneField(file.tag()->title()).c_str() : "",
                    read ? OneField(file.tag()->artist()).c_str() : "");
    }
    return 0;
}
