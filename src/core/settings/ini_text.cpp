#include "core/settings/ini_text.h"

#include <cstring>

namespace ini {
namespace {
// The writer's escapes of control characters by letter; other control characters and a hex digit
// right after one of those are written as "\x" and their code.
constexpr char EscapeLetters[] = "abfnrtv";
constexpr char EscapedControls[] = "\a\b\f\n\r\t\v";

std::string hex(unsigned code)
{
    static const char digits[] = "0123456789abcdef";
    return code >= 16 ? std::string{digits[code / 16], digits[code % 16]} : std::string{digits[code]};
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

void appendUtf8(std::string& out, unsigned code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A key or section name as written: "%20" and "%U0416" stand for characters, "\" for "/".
std::string keyName(std::string_view written)
{
    std::string name;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const char c = written[i];
        if (c == '\\') {
            name += '/';
        } else if (c == '%' && i + 2 < written.size() && isHexDigit(written[i + 1]) && isHexDigit(written[i + 2])) {
            appendUtf8(name, unsigned(hexValue(written[i + 1]) * 16 + hexValue(written[i + 2])));
            i += 2;
        } else if (c == '%' && i + 5 < written.size() && written[i + 1] == 'U' && isHexDigit(written[i + 2]) &&
                   isHexDigit(written[i + 3]) && isHexDigit(written[i + 4]) && isHexDigit(written[i + 5])) {
            unsigned code = 0;
            for (std::size_t k = 2; k <= 5; ++k) code = code * 16 + unsigned(hexValue(written[i + k]));
            appendUtf8(name, code);
            i += 5;
        } else {
            name += c;
        }
    }
    return name;
}

// Undoes the writer's escapes; what is not one of them is kept as it stands (the caller checks
// that escaping the result gives the written text back).
std::string unescaped(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (const char* control = std::strchr(EscapeLetters, c); control && c != '\0') {
            out += EscapedControls[control - EscapeLetters];
        } else if (c == '0') {
            out += '\0';
        } else if (c == 'x') {
            unsigned code = 0;
            for (std::size_t digits = 0; digits < 4 && i + 1 < text.size() && isHexDigit(text[i + 1]); ++digits)
                code = code * 16 + unsigned(hexValue(text[++i]));
            appendUtf8(out, code);
        } else {
            out += c;  // a quote or a backslash
        }
    }
    return out;
}
}  // namespace

std::optional<std::string> valueText(std::string_view file, std::string_view section, std::string_view name)
{
    std::optional<std::string> found;
    bool inSection = false;
    while (!file.empty()) {
        const std::size_t end = file.find_first_of("\r\n");
        std::string_view line = trimmed(file.substr(0, end));
        file.remove_prefix(end == std::string_view::npos ? file.size() : end + 1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close != std::string_view::npos) inSection = keyName(trimmed(line.substr(1, close - 1))) == section;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) continue;
        if (keyName(trimmed(line.substr(0, equals))) == name) found = std::string(trimmed(line.substr(equals + 1)));
    }
    return found;
}

std::string escaped(std::string_view text)
{
    // A text that begins with '@' gets a second one, so it cannot pass for a value of another
    // type, and one holding a NUL is marked as a text.
    std::string source(text);
    if (source.find('\0') != std::string::npos)
        source = "@String(" + source + ")";
    else if (!source.empty() && source.front() == '@')
        source.insert(0, 1, '@');
    std::string out;
    bool quoted = false;
    bool hexFollows = false;  // a hex digit after "\x.." would be read as part of it
    for (const char c : source) {
        const auto u = static_cast<unsigned char>(c);
        if (c == ';' || c == ',' || c == '=') quoted = true;
        const void* control = u <= 0x1F ? std::memchr(EscapedControls, c, sizeof(EscapedControls)) : nullptr;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (control && c != '\0') {
            out += '\\';
            out += EscapeLetters[static_cast<const char*>(control) - EscapedControls];
        } else if (u <= 0x1F || (hexFollows && isHexDigit(c))) {
            out += c == '\0' ? "\\0" : "\\x" + hex(u);
            hexFollows = true;
            continue;
        } else {
            out += c;
        }
        hexFollows = false;
    }
    if (quoted || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) out = '"' + out + '"';
    return out;
}

std::string plainText(std::string_view written)
{
    const bool wrapped = written.size() >= 2 && written.front() == '"' && written.back() == '"';
    const std::string_view inner = wrapped ? written.substr(1, written.size() - 2) : written;
    std::string text = unescaped(inner);
    const std::string_view marked = "@String(";
    if (text.starts_with(marked) && text.ends_with(')'))
        text = text.substr(marked.size(), text.size() - marked.size() - 1);
    else if (text.starts_with("@@"))
        text.erase(0, 1);
    if (escaped(text) == written) return text;
    // Quotes around a whole value typed by hand are taken as its delimiters.
    if (wrapped && inner.find_first_of("\"\\") == std::string_view::npos) return std::string(inner);
    return std::string(written);
}
}  // namespace ini
