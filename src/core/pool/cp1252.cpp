#include "core/pool/cp1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {
// 0x80..0x9F; the undefined five map to themselves.
constexpr char16_t HighTable[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Length of the UTF-8 sequence starting at text[i] and its character; 0 when it is not valid
// (overlong forms, surrogates and values beyond U+10FFFF included).
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& c)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char b0 = byte(0);
    std::size_t length = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        c = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        c = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        c = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(k) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}
}  // namespace

char32_t cp1252ToUnicode(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? char32_t(HighTable[byte - 0x80]) : char32_t(byte);
}

char unicodeToCp1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int k = 0; k < 32; ++k)
        if (HighTable[k] == c) return static_cast<char>(0x80 + k);
    return '?';
}

namespace {
constexpr std::array<unsigned char, 256> LowerTable = [] {
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b) {
        int lower = b;
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) lower = b + 32;
        if (b == 0x8A || b == 0x8C || b == 0x8E) lower = b + 16;  // S caron, OE, Z caron
        if (b == 0x9F) lower = 0xFF;                              // Y diaeresis
        table[std::size_t(b)] = static_cast<unsigned char>(lower);
    }
    return table;
}();
}  // namespace

unsigned char cp1252Lower(unsigned char byte) { return LowerTable[byte]; }

void appendCp1252Lower(std::string& out, std::string_view text)
{
    const std::size_t start = out.size();
    out.resize(start + text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        out[start + i] = static_cast<char>(LowerTable[static_cast<unsigned char>(text[i])]);
}

namespace {
// Length of the run of ASCII bytes at the start of text.
std::size_t asciiRun(std::string_view text)
{
    std::size_t i = 0;
    while (i + 8 <= text.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, 8);
        if (word & 0x8080808080808080ull) break;
        i += 8;
    }
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    return i;
}
}  // namespace

void appendUtf8FromCp1252(std::string& out, std::string_view bytes)
{
    const std::size_t ascii = asciiRun(bytes);
    out.append(bytes.data(), ascii);
    for (char byte : bytes.substr(ascii)) {
        const char32_t c = cp1252ToUnicode(static_cast<unsigned char>(byte));
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

bool isValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        i += asciiRun(text.substr(i));  // the bulk of any file
        if (i >= text.size()) break;
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, i, c);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string cp1252FromUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t ascii = asciiRun(text.substr(i));
        out.append(text.data() + i, ascii);
        i += ascii;
        if (i >= text.size()) break;
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, i, c);
        if (length == 0) {
            out += '?';
            ++i;
            continue;
        }
        out += c < 0x80 ? static_cast<char>(c) : unicodeToCp1252(c);
        i += length;
    }
    return out;
}
