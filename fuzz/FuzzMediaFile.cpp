// Reads one fuzz input as a media file named FUZZ_FILE_NAME, whose extension picks the reader.
#include "fuzz/FuzzInput.h"
#include "media/readers/MediaInfo.h"
#include "platform/text/AnsiText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzInputFile kInput(FUZZ_FILE_NAME);
    kInput.Write(data, size);
    media::MediaInfo info;
    info.FileName = text::FromUtf8(kInput.Path());
    media::ReadMediaInfo(info);
    return 0;
}
