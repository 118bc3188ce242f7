#pragma once

#include <optional>
#include <string>

namespace mediaplayer {

// A part of a file to play instead of all of it (a track of a one-file album), in seconds of the file.
struct MediaSpan {
    double start = 0;
    std::optional<double> end;  // to the file's end when absent
};

// What the host hands the component as a location: a local path or a web address. A local path may end in a
// media fragment, "<path>#t=<start>[,<end>]" (seconds, decimals allowed), naming the part of the file to play; a
// path that exists as written, "#" and all, is always that whole file.
class MediaLocation {
public:
    explicit MediaLocation(std::u16string text);

    const std::u16string& Text() const { return text_; }
    // "scheme://..." (http, https, mms, rtsp, file, ...). A drive-letter path such as "C:\a.mp3"
    // is not one: a scheme has at least two characters.
    bool IsWebAddress() const;
    // The URI GStreamer opens: a web address as it stands, a local path as an absolute file URI.
    // Empty when the path cannot be expressed as one.
    std::string Uri() const;
    // The file name without its extension, the name a media shows when it carries no title.
    std::u16string DisplayName() const;
    // The part of the file the location names; none for a whole file or a web address.
    const std::optional<MediaSpan>& Span() const { return span_; }

private:
    std::u16string text_;
    std::u16string path_;  // the text without the fragment that names a span
    std::optional<MediaSpan> span_;
};

// True when GStreamer can open `uri` without holding up the calling thread: a network address, or
// a file URI naming a regular file or a block device (a disc may hold media). A FIFO is not (the
// file source would wait for a writer that may never come), nor a character device (a terminal
// waits for a key, /dev/zero never ends), a socket, a folder or a missing path; such a location
// counts as one that cannot be opened. stat() itself does not wait on a FIFO.
bool OpensPromptly(const std::string& uri);

}  // namespace mediaplayer
