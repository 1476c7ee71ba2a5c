#pragma once
#include <QString>
#include <string>
#include <string_view>

// Stored text is bytes in the Windows-1252 code page; the windows convert at their edge.
QString fromAnsi(std::string_view bytes);
// Characters outside the code page become '?'.
std::string toAnsi(const QString& text);
