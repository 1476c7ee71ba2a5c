#include "core/transfer/csv_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/pool/cp1252.h"
#include "core/pool/errors.h"
#include "core/pool/file_io.h"

namespace {
constexpr std::string_view Bom = "\xEF\xBB\xBF";
constexpr std::size_t PieceSize = std::size_t(1) << 16;
// Far beyond any pool's spreadsheet; a file this large was chosen by mistake.
constexpr std::uintmax_t LargestFile = std::uintmax_t(1) << 30;

// Line breaks in a stretch of text: CR LF, LF and a lone CR each count once. previous: the
// character before the stretch, and after it the stretch's last.
int lineBreaks(std::string_view text, char& previous)
{
    int count = 0;
    for (char c : text) {
        if (c == '\r' || (c == '\n' && previous != '\r')) ++count;
        previous = c;
    }
    return count;
}

bool isCombiningMark(char32_t c) { return c >= 0x0300 && c <= 0x036F; }

// UTF-16 after its byte-order mark, little- or big-endian; a pair of surrogates is one character.
// Returns the bytes used: a piece that is not the last keeps its last character with the marks
// after it (a mark in the next piece joins it), a half unit and a lone first surrogate for the
// next. The last piece's odd byte is one missing.
std::size_t appendUtf16(std::string& text, std::string_view bytes, bool littleEndian, bool last, char missing)
{
    const auto unit = [&](std::size_t i) {
        const auto lo = static_cast<unsigned char>(bytes[littleEndian ? i : i + 1]);
        const auto hi = static_cast<unsigned char>(bytes[littleEndian ? i + 1 : i]);
        return char32_t(hi << 8 | lo);
    };
    const auto lowSurrogate = [](char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
    std::size_t end = bytes.size() & ~std::size_t(1);
    for (std::size_t k = end; !last && k >= 2;) {
        k -= 2;
        const char32_t u = unit(k);
        if (!isCombiningMark(u) && !lowSurrogate(u)) {
            end = k;
            break;
        }
    }  // a piece of marks alone is junk, not worth holding
    std::size_t i = 0;
    for (; i < end; i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 2 < end) {
                if (lowSurrogate(unit(i + 2))) i += 2;  // beyond 16 bits: not in the code page either way
            } else if (!last) {
                break;
            }
            c = 0x10000;
        }
        appendCp1252Composed(text, c, missing);
    }
    if (last && i < bytes.size()) {
        text += missing;
        i = bytes.size();
    }
    return i;
}

// Where UTF-8 text may be cut so that its two parts decode apart as they decode together: before
// a sequence that the text ends inside of.
std::size_t utf8Cut(std::string_view text)
{
    const std::size_t n = text.size();
    for (std::size_t k = std::min<std::size_t>(3, n); k >= 1; --k) {
        const auto b = static_cast<unsigned char>(text[n - k]);
        const std::size_t length = b >= 0xF0 && b <= 0xF4   ? 4
                                   : b >= 0xE0 && b <= 0xEF ? 3
                                   : b >= 0xC2 && b <= 0xDF ? 2
                                                            : 1;
        if (length > k) return n - k;
    }
    return n;
}

// Where a piece of UTF-8 text that is not the last may end: before its last character and the
// combining marks after it, which may be followed by more marks in the next piece.
std::size_t utf8PieceEnd(std::string_view text)
{
    const std::size_t cut = utf8Cut(text);
    std::size_t k = cut;
    while (k > 0) {
        do --k;
        while (k > 0 && (static_cast<unsigned char>(text[k]) & 0xC0) == 0x80);
        // U+0300..U+036F is CC 80 .. CD AF in UTF-8.
        const auto b0 = static_cast<unsigned char>(text[k]);
        const auto b1 = k + 1 < cut ? static_cast<unsigned char>(text[k + 1]) : 0;
        if (!(b0 == 0xCC || (b0 == 0xCD && b1 <= 0xAF))) return k;
    }
    return cut;  // marks alone are junk, not worth holding
}

// What a file's first bytes say it is not: a spreadsheet workbook (a zip archive, as .xlsx and
// .ods are, or an OLE compound file, as .xls is), or no text at all (a NUL byte among text).
bool workbookOrBinary(std::string_view start, TextEncoding encoding)
{
    if (start.starts_with("PK\x03\x04") || start.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) return true;
    return encoding != TextEncoding::Utf16 && start.find('\0') != std::string_view::npos;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::string storageText(std::string_view bytes, TextEncoding* found, char missing)
{
    TextEncoding encoding = TextEncoding::Windows1252;
    std::string text;
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        encoding = TextEncoding::Utf16;
        text.reserve(bytes.size() / 2);
        appendUtf16(text, bytes.substr(2), bytes[0] == '\xFF', true, missing);
    } else if (bytes.substr(0, Bom.size()) == Bom) {
        encoding = TextEncoding::Utf8WithBom;
        text = cp1252FromUtf8(bytes.substr(Bom.size()), missing);
    } else if (isValidUtf8(bytes)) {
        encoding = TextEncoding::Utf8;
        text = cp1252FromUtf8(bytes, missing);
    } else {
        text = std::string(bytes);
    }
    if (found) *found = encoding;
    return text;
}

// ---- Sources ---------------------------------------------------------------------------------

std::size_t MemorySource::read(char* buffer, std::size_t size)
{
    const std::size_t n = std::min(size, m_bytes.size() - m_pos);
    std::memcpy(buffer, m_bytes.data() + m_pos, n);
    m_pos += n;
    return n;
}

bool MemorySource::rewind()
{
    m_pos = 0;
    return true;
}

FileSource::~FileSource()
{
    if (m_fd >= 0) ::close(m_fd);
}

void FileSource::open(const std::string& path)
{
    m_path = path;
    const auto unreadable = [&](const std::string& reason) {
        return HoopError("The file " + path + " could not be read: " + reason + ".");
    };
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) throw HoopError("The file " + path + " does not exist.");
        throw unreadable(systemReason(errno));
    }
    // A folder, a pipe or a device is never opened: a pipe would block and a device may act on it.
    if (S_ISDIR(st.st_mode)) throw unreadable(systemReason(EISDIR));
    if (!S_ISREG(st.st_mode)) throw unreadable("Not a regular file");
    if (std::uintmax_t(st.st_size) > LargestFile) throw HoopError("The file " + path + " is too large to import.");
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (m_fd < 0) throw unreadable(systemReason(errno));
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) throw unreadable("Not a regular file");
}

std::size_t FileSource::read(char* buffer, std::size_t size)
{
    if (m_fd < 0 || !m_error.empty()) return 0;
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, size);
        if (n >= 0) return std::size_t(n);
        if (errno == EINTR) continue;
        m_error = "The file " + m_path + " could not be read: " + systemReason(errno) + ".";
        return 0;
    }
}

bool FileSource::rewind()
{
    if (m_fd >= 0 && ::lseek(m_fd, 0, SEEK_SET) == 0) return true;
    if (m_error.empty()) m_error = "The file " + m_path + " could not be read: " + systemReason(errno) + ".";
    return false;
}

// ---- Decoding --------------------------------------------------------------------------------

StorageTextReader::StorageTextReader(ByteSource& source, char missing) : m_source(source), m_missing(missing)
{
    constexpr std::size_t Signature = 8;
    while (m_bytes.size() < Signature && fill()) {
    }
    const std::string_view start(m_bytes);
    if (start.substr(0, 2) == "\xFF\xFE" || start.substr(0, 2) == "\xFE\xFF") {
        m_encoding = TextEncoding::Utf16;
        m_littleEndian = start[0] == '\xFF';
        m_bytes.erase(0, 2);
        return;
    }
    if (start.substr(0, Bom.size()) == Bom) {
        m_encoding = TextEncoding::Utf8WithBom;
        m_bytes.erase(0, Bom.size());
        return;
    }
    if (workbookOrBinary(start, m_encoding)) {
        m_binary = true;  // read no further: nothing of it will be taken
        m_bytes.clear();
        m_end = true;
        return;
    }
    // Without a mark the whole file decides, as it did when it was read at once: one pass to
    // learn whether it is valid UTF-8, then from the start again.
    bool valid = true;
    for (bool more = true; valid && more;) {
        more = fill();
        const std::size_t use = more ? utf8Cut(m_bytes) : m_bytes.size();
        valid = isValidUtf8(std::string_view(m_bytes).substr(0, use));
        m_bytes.erase(0, use);
    }
    m_encoding = valid ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    m_bytes.clear();
    m_end = !error().empty() || !m_source.rewind();
}

bool StorageTextReader::fill()
{
    if (m_end) return false;
    char piece[PieceSize];
    const std::size_t n = m_source.read(piece, sizeof piece);
    if (n == 0) {
        m_end = true;
        return false;
    }
    m_bytes.append(piece, n);
    return true;
}

bool StorageTextReader::read(std::string& out)
{
    for (;;) {
        const bool more = fill();
        if (!more && m_bytes.empty()) return false;
        const std::string_view bytes(m_bytes);
        std::size_t used = bytes.size();
        switch (m_encoding) {
        case TextEncoding::Windows1252: out += bytes; break;
        case TextEncoding::Utf8:
        case TextEncoding::Utf8WithBom:
            if (more) used = utf8PieceEnd(bytes);
            out += cp1252FromUtf8(bytes.substr(0, used), m_missing);
            break;
        case TextEncoding::Utf16: used = appendUtf16(out, bytes, m_littleEndian, !more, m_missing); break;
        }
        m_bytes.erase(0, used);
        if (used > 0 || !more) return true;
    }
}

// ---- Records ---------------------------------------------------------------------------------

bool CsvRecord::blank() const
{
    return blankBeyond &&
           std::all_of(fields.begin(), fields.end(), [](std::string_view f) { return trimBlanks(f).empty(); });
}

std::string_view trimBlanks(std::string_view text)
{
    std::size_t first = 0;
    std::size_t end = text.size();
    while (first < end && isBlank(text[first])) ++first;
    while (end > first && isBlank(text[end - 1])) --end;
    return text.substr(first, end - first);
}

CsvReader::CsvReader(std::string_view text) : m_text(text) { findSeparator(); }

CsvReader::CsvReader(StorageTextReader& text) : m_source(&text) { findSeparator(); }

void CsvReader::findSeparator()
{
    // The first line only, and not beyond its first megabyte: a file with no line break is junk.
    constexpr std::size_t Scanned = std::size_t(1) << 20;
    int tabs = 0;
    int commas = 0;
    int semicolons = 0;
    const auto decide = [&] {
        m_separator = commas >= semicolons && commas >= tabs ? ',' : tabs >= semicolons ? '\t' : ';';
    };
    bool quoted = false;
    for (std::size_t i = 0; i < Scanned; ++i) {
        while (i == m_text.size()) {
            if (!m_source || !m_source->read(m_window)) {
                decide();
                return;
            }
            m_text = m_window;
        }
        const char c = m_text[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\r' || c == '\n')
            break;
        else if (c == '\t')
            ++tabs;
        else if (c == ',')
            ++commas;
        else if (c == ';')
            ++semicolons;
    }
    decide();
}

bool CsvReader::more()
{
    if (m_pos < m_text.size()) return true;
    if (!m_source) return false;
    // The window is passed: what a record keeps is in m_buffer, so the next piece replaces it.
    m_window.clear();
    m_pos = 0;
    while (m_window.empty())
        if (!m_source->read(m_window)) break;
    m_text = m_window;
    return !m_window.empty();
}

void CsvReader::keep(std::string_view part)
{
    const bool kept = m_bounds.size() <= CsvRecord::MaxFields;
    std::size_t taken = 0;
    if (kept) {
        const std::size_t room = CsvRecord::LongestField + 1 - std::min(m_fieldSize, CsvRecord::LongestField + 1);
        taken = std::min(room, part.size());
        m_buffer.append(part.data(), taken);
    }
    if (!m_fieldNonBlank)
        for (char c : part.substr(taken))
            if (!isBlank(c)) {
                m_fieldNonBlank = true;
                m_nonBlankDropped = c;
                break;
            }
    m_fieldSize += part.size();
}

void CsvReader::endField(CsvRecord& record)
{
    ++record.fieldCount;
    if (m_bounds.size() > CsvRecord::MaxFields) {
        if (m_fieldNonBlank) record.blankBeyond = false;
        return;
    }
    // A field cut short reads as blank only when all of it was: its last kept byte stands for
    // the text that was not kept.
    if (m_fieldNonBlank && trimBlanks(std::string_view(m_buffer).substr(m_bounds.back())).empty())
        m_buffer.back() = m_nonBlankDropped;
    m_bounds.push_back(m_buffer.size());
}

bool CsvReader::next(CsvRecord& record)
{
    if (!more()) return false;
    record.line = m_line;
    record.unclosedQuote = false;
    record.fields.clear();
    record.fieldCount = 0;
    record.blankBeyond = true;
    m_buffer.clear();
    m_bounds.assign(1, 0);

    const char separator = m_separator;
    for (;;) {
        // One field.
        m_fieldSize = 0;
        m_fieldNonBlank = false;
        if (more() && m_text[m_pos] == '"') {
            ++m_pos;
            char previous = '"';
            for (;;) {
                if (!more()) {
                    record.unclosedQuote = true;
                    break;
                }
                const char* const text = m_text.data();
                const void* quote = std::memchr(text + m_pos, '"', m_text.size() - m_pos);
                const std::size_t end = quote ? std::size_t(static_cast<const char*>(quote) - text) : m_text.size();
                const std::string_view part = m_text.substr(m_pos, end - m_pos);
                keep(part);
                m_line += lineBreaks(part, previous);
                m_pos = end;
                if (!quote) continue;  // the field goes on in the next piece
                ++m_pos;
                if (more() && m_text[m_pos] == '"') {  // a doubled quote stands for one
                    keep("\"");
                    previous = '"';
                    ++m_pos;
                    continue;
                }
                break;
            }
        }
        // Unquoted text, or whatever follows a closing quote, up to the separator or the line end.
        while (more()) {
            const char* const text = m_text.data();
            const std::size_t size = m_text.size();
            std::size_t end = m_pos;
            while (end < size && text[end] != separator && text[end] != '\n' && text[end] != '\r') ++end;
            keep(m_text.substr(m_pos, end - m_pos));
            m_pos = end;
            if (end < size) break;
        }
        endField(record);
        if (more() && m_text[m_pos] == separator) {
            ++m_pos;
            continue;
        }
        break;
    }
    // The line end.
    if (more()) {
        const char end = m_text[m_pos++];
        if (end == '\r' && more() && m_text[m_pos] == '\n') ++m_pos;
        ++m_line;
    }
    record.fields.reserve(m_bounds.size() - 1);
    for (std::size_t k = 0; k + 1 < m_bounds.size(); ++k)
        record.fields.emplace_back(m_buffer.data() + m_bounds[k], m_bounds[k + 1] - m_bounds[k]);
    return true;
}
