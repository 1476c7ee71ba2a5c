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

std::string cp1252FromUtf8(std::string_view text, char missing)
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
        if (c < 0x80)
            out += static_cast<char>(c);
        else
            appendCp1252Composed(out, c, missing);
        i += length;
    }
    return out;
}

namespace {
// The code page's letters that Unicode composes from a letter and one combining mark.
struct Composed {
    unsigned char byte;
    char base;
    char16_t mark;
};
constexpr Composed ComposedLetters[] = {
    {0x8A, 'S', 0x030C}, {0x8E, 'Z', 0x030C}, {0x9A, 's', 0x030C}, {0x9E, 'z', 0x030C}, {0x9F, 'Y', 0x0308},
    {0xC0, 'A', 0x0300}, {0xC1, 'A', 0x0301}, {0xC2, 'A', 0x0302}, {0xC3, 'A', 0x0303}, {0xC4, 'A', 0x0308},
    {0xC5, 'A', 0x030A}, {0xC7, 'C', 0x0327}, {0xC8, 'E', 0x0300}, {0xC9, 'E', 0x0301}, {0xCA, 'E', 0x0302},
    {0xCB, 'E', 0x0308}, {0xCC, 'I', 0x0300}, {0xCD, 'I', 0x0301}, {0xCE, 'I', 0x0302}, {0xCF, 'I', 0x0308},
    {0xD1, 'N', 0x0303}, {0xD2, 'O', 0x0300}, {0xD3, 'O', 0x0301}, {0xD4, 'O', 0x0302}, {0xD5, 'O', 0x0303},
    {0xD6, 'O', 0x0308}, {0xD9, 'U', 0x0300}, {0xDA, 'U', 0x0301}, {0xDB, 'U', 0x0302}, {0xDC, 'U', 0x0308},
    {0xDD, 'Y', 0x0301}, {0xE0, 'a', 0x0300}, {0xE1, 'a', 0x0301}, {0xE2, 'a', 0x0302}, {0xE3, 'a', 0x0303},
    {0xE4, 'a', 0x0308}, {0xE5, 'a', 0x030A}, {0xE7, 'c', 0x0327}, {0xE8, 'e', 0x0300}, {0xE9, 'e', 0x0301},
    {0xEA, 'e', 0x0302}, {0xEB, 'e', 0x0308}, {0xEC, 'i', 0x0300}, {0xED, 'i', 0x0301}, {0xEE, 'i', 0x0302},
    {0xEF, 'i', 0x0308}, {0xF1, 'n', 0x0303}, {0xF2, 'o', 0x0300}, {0xF3, 'o', 0x0301}, {0xF4, 'o', 0x0302},
    {0xF5, 'o', 0x0303}, {0xF6, 'o', 0x0308}, {0xF9, 'u', 0x0300}, {0xFA, 'u', 0x0301}, {0xFB, 'u', 0x0302},
    {0xFC, 'u', 0x0308}, {0xFD, 'y', 0x0301}, {0xFF, 'y', 0x0308},
};

constexpr std::array<unsigned char, 256> BaseTable = [] {
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b) table[std::size_t(b)] = static_cast<unsigned char>(b);
    for (const Composed& letter : ComposedLetters) table[letter.byte] = static_cast<unsigned char>(letter.base);
    table[0xD8] = 'O';  // O and o with a stroke: no decomposition, but read as O by anyone
    table[0xF8] = 'o';
    return table;
}();
}  // namespace

void appendCp1252Composed(std::string& out, char32_t c, char missing)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    if (c >= 0x0300 && c <= 0x036F) {  // a combining mark: joins the letter before it, or is missing
        if (!out.empty())
            for (const Composed& letter : ComposedLetters)
                if (letter.mark == c && letter.base == out.back()) {
                    out.back() = static_cast<char>(letter.byte);
                    return;
                }
        out += missing;
        return;
    }
    // The two signs that are letters of the code page once composed.
    if (c == 0x212B) c = 0xC5;  // Angstrom sign
    if (c == 0x212A) c = 'K';   // Kelvin sign
    const char byte = unicodeToCp1252(c);
    out += byte == '?' && c != '?' ? missing : byte;
}

unsigned char cp1252BaseLetter(unsigned char byte) { return BaseTable[byte]; }
