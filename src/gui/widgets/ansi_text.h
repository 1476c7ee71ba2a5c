#pragma once
#include <QString>
#include <string>
#include <string_view>

// Stored text is bytes in the Windows-1252 code page; the windows convert at their edge.
QString fromAnsi(std::string_view bytes);
// Characters outside the code page become '?'.
std::string toAnsi(const QString& text);
// The bytes to store for a box's text: the stored bytes themselves while the box still shows the
// text it was given, even bytes the code page has no character for or a text the box cut.
std::string toAnsiKeeping(const QString& text, const QString& shown, std::string_view stored);
