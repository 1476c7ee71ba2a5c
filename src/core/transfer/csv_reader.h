#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Reading comma-, semicolon- or tab-separated files as spreadsheets write them: fields in double quotes may
// hold separators, line breaks and doubled quotes; lines end in CR LF, LF or CR. Files are read
// piece by piece, so a file of any size costs the memory of a few pieces.

enum class TextEncoding { Utf8, Utf8WithBom, Utf16, Windows1252 };

// The file's bytes in the program's storage code page (Windows-1252): UTF-8 with a byte-order
// mark, else UTF-8 when the bytes are valid UTF-8, else Windows-1252 as it stands. UTF-16 with a
// byte-order mark (a spreadsheet's "Unicode text") is read too. Decomposed letters are composed
// (see appendCp1252Composed); characters the code page does not have become missing.
std::string storageText(std::string_view bytes, TextEncoding* found = nullptr, char missing = '?');

// Where the bytes of a file to read come from, piece by piece.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to size bytes into buffer; 0 at the end, or when the read failed (error() says why).
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    // Back to the first byte; false (error() says why) when that failed.
    virtual bool rewind() = 0;
    const std::string& error() const { return m_error; }

protected:
    std::string m_error;
};

// Bytes already in memory.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes) : m_bytes(bytes) {}
    std::size_t read(char* buffer, std::size_t size) override;
    bool rewind() override;

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

// A regular file, opened for reading.
class FileSource final : public ByteSource {
public:
    FileSource() = default;
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    // Throws a HoopError with the user's message: "The file F does not exist.", "... could not be
    // read: reason.", "... is too large to import."
    void open(const std::string& path);
    std::size_t read(char* buffer, std::size_t size) override;
    bool rewind() override;

private:
    std::string m_path;
    int m_fd = -1;
};

// The text of a source in the storage code page, piece by piece, the encoding decided as
// storageText decides it (a file without a byte-order mark is read through once first to learn
// whether it is valid UTF-8).
class StorageTextReader {
public:
    explicit StorageTextReader(ByteSource& source, char missing = '?');
    TextEncoding encoding() const { return m_encoding; }
    // The first bytes are a spreadsheet workbook's (.xlsx, .ods, .xls) or no text's; nothing is read then.
    bool binary() const { return m_binary; }
    // Appends the next piece of text to out; false at the end or on a failure (error()).
    bool read(std::string& out);
    const std::string& error() const { return m_source.error(); }

private:
    bool fill();  // more bytes into m_bytes; false at the end
    ByteSource& m_source;
    TextEncoding m_encoding = TextEncoding::Windows1252;
    bool m_littleEndian = true;
    bool m_binary = false;
    char m_missing;
    std::string m_bytes;  // read and not yet decoded
    bool m_end = false;
};

struct CsvRecord {
    // Within limits that no import's cell comes near, so that a line of junk costs little.
    static constexpr std::size_t MaxFields = 1000;     // the fields kept of a line
    static constexpr std::size_t LongestField = 1000;  // a longer field is kept to one more byte

    int line = 0;                          // where the record starts, from 1
    std::vector<std::string_view> fields;  // the first MaxFields fields; valid until the next record is read
    std::size_t fieldCount = 0;            // every field of the line, the ones not kept included
    bool blankBeyond = true;               // the fields not kept are empty or blanks only
    bool unclosedQuote = false;            // a quoted field ran to the end of the file
    bool blank() const;                    // every field empty or blanks only
};

class CsvReader {
public:
    // text: in the storage code page; the separator is the one of comma, semicolon (what
    // spreadsheets write where the comma is the decimal sign) and tab that the first line holds
    // most of (outside quotes; the first megabyte when the line is longer), a comma on a tie.
    // The reader keeps a view of text.
    explicit CsvReader(std::string_view text);
    // The text of a reader, read as it is needed.
    explicit CsvReader(StorageTextReader& text);
    char separator() const { return m_separator; }
    // The next record; false at the end of the text.
    bool next(CsvRecord& record);

private:
    void findSeparator();
    bool more();                       // true when text is available at m_pos, reading more as needed
    void keep(std::string_view part);  // appends part of the current field, within its limit
    void endField(CsvRecord& record);

    StorageTextReader* m_source = nullptr;
    std::string m_window;     // text read and not yet passed, when reading from a source
    std::string_view m_text;  // the whole text, or the window
    std::size_t m_pos = 0;
    int m_line = 1;
    char m_separator = ',';
    std::string m_buffer;               // the fields of the current record, unquoted
    std::vector<std::size_t> m_bounds;  // start of each field in m_buffer, and the end
    std::size_t m_fieldSize = 0;        // the current field's size, kept or not
    bool m_fieldNonBlank = false;       // a part of the current field not kept has a character besides blanks
    char m_nonBlankDropped = 0;         // the first such character
};

// Surrounding blanks (spaces and tabs) removed.
std::string_view trimBlanks(std::string_view text);
