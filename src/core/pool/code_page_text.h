#pragma once
#include <string>
#include <string_view>

#include "core/pool/cp1252.h"

// Text in the files' code page (Windows-1252): the bytes of a name, a team or a tiebreaker as
// the data files hold them. The program's own messages are UTF-8, because they carry file paths
// and the system's reasons, which the code page cannot always hold; keeping stored text in its
// own type means it enters a message, or a window, only through a conversion that says so.
struct CodePageText {
    std::string bytes;

    bool empty() const { return bytes.empty(); }
    friend bool operator==(const CodePageText&, const CodePageText&) = default;
};

// The text as UTF-8, to put into a message; every byte keeps its character.
inline std::string toUtf8(const CodePageText& text)
{
    std::string out;
    appendUtf8FromCp1252(out, text.bytes);
    return out;
}
