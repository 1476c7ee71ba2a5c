#pragma once
#include <string>
#include <string_view>
#include <vector>

// Names compared as a person reads them. Text arrives composed already (the decoders compose
// decomposed letters); the key then takes typographic quotes and apostrophes as plain ones,
// dashes as hyphens, a non-breaking space or a tab as a space and a run of spaces as one, drops
// the spaces at either end, and ignores case. All on the code page's bytes.

// The name without the blanks (spaces, tabs, non-breaking spaces) at either end.
std::string_view trimName(std::string_view text);

// The key of a name, appended to out.
void appendNameKey(std::string& out, std::string_view text);
std::string nameKey(std::string_view text);
// The key with the accents taken off the letters as well ("San José St" and "San Jose St" meet).
std::string accentFreeKey(std::string_view text);

// Whether text holds a character the code page does not have (an import's decoder marks each).
bool holdsMissing(std::string_view text);
// The text to show in a message: each such character as '?'.
std::string shownText(std::string_view text);

// How many letters must be typed, dropped or changed to make a into b.
std::size_t editDistance(std::string_view a, std::string_view b);
