#pragma once

#include <string>
#include <string_view>

// Names on disk are bytes and need not be UTF-8: archives unpacked from systems whose code page is
// GBK leave GBK names behind. The program holds names as UTF-16 text, so a byte that begins no valid
// UTF-8 sequence is carried as the unpaired surrogate U+DC80..U+DCFF of its value. Valid UTF-8
// never decodes to such a unit, so the mapping is one-to-one: a name read from a folder opens,
// plays and is saved in a list as the very bytes it has on disk.
namespace text {

std::u16string FromFileName(std::string_view bytes);
std::string ToFileName(std::u16string_view name);

// Whether the name holds bytes that are not UTF-8, carried as above.
bool HoldsRawBytes(std::u16string_view name);

// The name for people to read. Raw bytes are shown as the code page that wrote them: the whole name
// as GBK where it is valid GBK, else as Windows-1252. Other names are returned as they are.
std::u16string ReadableFileName(std::u16string_view name);

}  // namespace text
