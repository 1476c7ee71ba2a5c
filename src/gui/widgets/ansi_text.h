#pragma once
#include <QString>
#include <string>
#include <string_view>

#include "core/pool/code_page_text.h"

// Stored text is bytes in the Windows-1252 code page; the windows convert at their edge, here.
QString toQString(const CodePageText& text);
// The same for stored bytes held without their type (a table's cells, a printed line).
QString fromAnsi(std::string_view bytes);
// A message of the core (an error, a box, a status line): UTF-8, names converted into it already.
QString fromMessage(std::string_view utf8);
// Characters outside the code page become '?'.
std::string toAnsi(const QString& text);
// The bytes to store for a box's text: the stored bytes themselves while the box still shows the
// text it was given, even bytes the code page has no character for or a text the box cut.
std::string toAnsiKeeping(const QString& text, const QString& shown, std::string_view stored);
