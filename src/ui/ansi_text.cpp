#include "ui/ansi_text.h"

namespace {
// 0x80..0x9F of Windows-1252; 0 where the code page has no character.
constexpr char16_t HighTable[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
}  // namespace

QString fromAnsi(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b < 0xA0)
            text.append(QChar(HighTable[b - 0x80] ? HighTable[b - 0x80] : char16_t(b)));
        else
            text.append(QChar(char16_t(b)));
    }
    return text;
}

std::string toAnsi(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;  // one character outside the code page, one '?'
            bytes += '?';
            continue;
        }
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes += static_cast<char>(u);
            continue;
        }
        char out = '?';
        for (int k = 0; k < 32; ++k)
            if (HighTable[k] == u) out = static_cast<char>(0x80 + k);
        bytes += out;
    }
    return bytes;
}

std::string toAnsiKeeping(const QString& text, const QString& shown, std::string_view stored)
{
    return text == shown ? std::string(stored) : toAnsi(text);
}
