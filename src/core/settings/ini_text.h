#pragma once
#include <optional>
#include <string>
#include <string_view>

// The text of one value in a settings file in the INI form the Qt store writes, read straight
// from the file's bytes. The store's own writer quotes and escapes some texts ("a,b" becomes
// "\"a,b\"", a backslash "\\\\"); a line typed by hand is meant as the text it shows. So a value
// that is exactly what the writer makes of some text reads as that text, and any other value
// reads as written: "Friday, March 20" stays whole, "C:\Temp" keeps its backslash.
namespace ini {
// The value of key `name` in section `section` (UTF-8, as in the file), or nothing when the
// section or key is absent. Keys and section names may be written plainly or %-encoded; the last
// of several equal keys counts; lines that are neither a section, a key nor a comment are skipped.
std::optional<std::string> valueText(std::string_view file, std::string_view section, std::string_view name);

// The form the store's writer gives a text, and the text a written value stands for.
std::string escaped(std::string_view text);
std::string plainText(std::string_view written);
}  // namespace ini
