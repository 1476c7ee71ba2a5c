#include "transfer/csv_reader.h"

#include <algorithm>
#include <cstring>

#include "pool/cp1252.h"

namespace {
constexpr std::string_view Bom = "\xEF\xBB\xBF";

// Line breaks in a stretch of text: CR LF, LF and a lone CR each count once.
int lineBreaks(std::string_view text)
{
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') ++count;
        else if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) ++count;
    }
    return count;
}

// UTF-16 after its byte-order mark, little- or big-endian; a pair of surrogates is one character.
std::string fromUtf16(std::string_view bytes, bool littleEndian)
{
    std::string text;
    text.reserve(bytes.size() / 2);
    const auto unit = [&](std::size_t i) {
        const auto lo = static_cast<unsigned char>(bytes[littleEndian ? i : i + 1]);
        const auto hi = static_cast<unsigned char>(bytes[littleEndian ? i + 1 : i]);
        return char32_t(hi << 8 | lo);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF)
            i += 2;  // beyond 16 bits: not in the code page either way
        text += unicodeToCp1252(c);
    }
    if (bytes.size() % 2) text += '?';
    return text;
}
}  // namespace

std::string storageText(std::string_view bytes, TextEncoding* found)
{
    TextEncoding encoding = TextEncoding::Windows1252;
    std::string text;
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        encoding = TextEncoding::Utf16;
        text = fromUtf16(bytes.substr(2), bytes[0] == '\xFF');
    } else if (bytes.substr(0, Bom.size()) == Bom) {
        encoding = TextEncoding::Utf8WithBom;
        text = cp1252FromUtf8(bytes.substr(Bom.size()));
    } else if (isValidUtf8(bytes)) {
        encoding = TextEncoding::Utf8;
        text = cp1252FromUtf8(bytes);
    } else {
        text = std::string(bytes);
    }
    if (found) *found = encoding;
    return text;
}

bool CsvRecord::blank() const
{
    return std::all_of(fields.begin(), fields.end(), [](std::string_view f) { return trimBlanks(f).empty(); });
}

std::string_view trimBlanks(std::string_view text)
{
    std::size_t first = 0;
    std::size_t end = text.size();
    while (first < end && (text[first] == ' ' || text[first] == '\t')) ++first;
    while (end > first && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    return text.substr(first, end - first);
}

CsvReader::CsvReader(std::string_view text) : m_text(text)
{
    int tabs = 0;
    int commas = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        else if (quoted) continue;
        else if (c == '\r' || c == '\n') break;
        else if (c == '\t') ++tabs;
        else if (c == ',') ++commas;
    }
    m_separator = tabs > commas ? '\t' : ',';
}

bool CsvReader::next(CsvRecord& record)
{
    if (m_pos >= m_text.size()) return false;
    record.line = m_line;
    record.unclosedQuote = false;
    record.fields.clear();
    m_buffer.clear();
    m_bounds.assign(1, 0);

    const std::size_t size = m_text.size();
    const char* const text = m_text.data();
    const char separator = m_separator;
    for (;;) {
        // One field.
        if (m_pos < size && text[m_pos] == '"') {
            ++m_pos;
            for (;;) {
                const void* quote = std::memchr(text + m_pos, '"', size - m_pos);
                const std::size_t end = quote ? std::size_t(static_cast<const char*>(quote) - text) : size;
                const std::string_view part = m_text.substr(m_pos, end - m_pos);
                m_buffer += part;
                m_line += lineBreaks(part);
                if (!quote) {
                    m_pos = size;
                    record.unclosedQuote = true;
                    break;
                }
                m_pos = end + 1;
                if (m_pos < size && text[m_pos] == '"') {  // a doubled quote stands for one
                    m_buffer += '"';
                    ++m_pos;
                    continue;
                }
                break;
            }
        }
        // Unquoted text, or whatever follows a closing quote, up to the separator or the line end.
        std::size_t end = m_pos;
        while (end < size && text[end] != separator && text[end] != '\n' && text[end] != '\r') ++end;
        m_buffer.append(text + m_pos, end - m_pos);
        m_pos = end;
        m_bounds.push_back(m_buffer.size());
        if (m_pos < size && text[m_pos] == separator) {
            ++m_pos;
            continue;
        }
        break;
    }
    // The line end.
    if (m_pos < size) {
        if (text[m_pos] == '\r' && m_pos + 1 < size && text[m_pos + 1] == '\n') ++m_pos;
        ++m_pos;
        ++m_line;
    }
    record.fields.reserve(m_bounds.size() - 1);
    for (std::size_t k = 0; k + 1 < m_bounds.size(); ++k)
        record.fields.emplace_back(m_buffer.data() + m_bounds[k], m_bounds[k + 1] - m_bounds[k]);
    return true;
}
