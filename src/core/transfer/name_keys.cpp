#include "core/transfer/name_keys.h"

#include <algorithm>
#include <numeric>

#include "core/pool/cp1252.h"

namespace {
bool isNameBlank(char c) { return c == ' ' || c == '\t' || c == '\xA0'; }

// The plain character a typographic one stands for; the byte itself otherwise.
char plainOf(char c)
{
    switch (static_cast<unsigned char>(c)) {
    case 0x82:  // single low quote
    case 0x91:  // left and right single quotes
    case 0x92:
    case 0xB4:  // acute accent, typed for an apostrophe
    case '`': return '\'';
    case 0x84:  // double low quote
    case 0x93:  // left and right double quotes
    case 0x94: return '"';
    case 0x96:  // en and em dashes
    case 0x97: return '-';
    default: return c;
    }
}
}  // namespace

std::string_view trimName(std::string_view text)
{
    while (!text.empty() && isNameBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isNameBlank(text.back())) text.remove_suffix(1);
    return text;
}

void appendNameKey(std::string& out, std::string_view text)
{
    bool blank = false;
    for (const char c : trimName(text)) {
        if (isNameBlank(c)) {
            blank = true;
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += static_cast<char>(cp1252Lower(static_cast<unsigned char>(plainOf(c))));
    }
}

std::string nameKey(std::string_view text)
{
    std::string key;
    appendNameKey(key, text);
    return key;
}

std::string accentFreeKey(std::string_view text)
{
    std::string key = nameKey(text);
    for (char& c : key) c = static_cast<char>(cp1252BaseLetter(static_cast<unsigned char>(c)));
    return key;
}

bool holdsMissing(std::string_view text) { return text.find(NotInCodePage) != std::string_view::npos; }

std::string shownText(std::string_view text)
{
    std::string shown(text);
    std::replace(shown.begin(), shown.end(), NotInCodePage, '?');
    return shown;
}

std::size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t(0));
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}
