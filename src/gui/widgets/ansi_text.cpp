#include "gui/widgets/ansi_text.h"

#include "core/pool/cp1252.h"

QString toQString(const CodePageText& text) { return fromAnsi(text.bytes); }

QString fromMessage(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString fromAnsi(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) text.append(QChar(static_cast<char16_t>(cp1252ToUnicode(static_cast<unsigned char>(c)))));
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
        bytes += unicodeToCp1252(u);
    }
    return bytes;
}

std::string toAnsiKeeping(const QString& text, const QString& shown, std::string_view stored)
{
    return text == shown ? std::string(stored) : toAnsi(text);
}
