#pragma once
#include <string>
#include <string_view>
#include <vector>

// Reading comma- or tab-separated files as spreadsheets write them: fields in double quotes may
// hold separators, line breaks and doubled quotes; lines end in CR LF, LF or CR.

enum class TextEncoding { Utf8, Utf8WithBom, Utf16, Windows1252 };

// The file's bytes in the program's storage code page (Windows-1252): UTF-8 with a byte-order
// mark, else UTF-8 when the bytes are valid UTF-8, else Windows-1252 as it stands. UTF-16 with a
// byte-order mark (a spreadsheet's "Unicode text") is read too. Characters the code page does
// not have become '?'.
std::string storageText(std::string_view bytes, TextEncoding* found = nullptr);

struct CsvRecord {
    int line = 0;                         // where the record starts, from 1
    std::vector<std::string_view> fields;  // valid until the next record is read
    bool unclosedQuote = false;            // a quoted field ran to the end of the file
    bool blank() const;                    // every field empty or blanks only
};

class CsvReader {
public:
    // text: in the storage code page; the separator is a tab when the first line holds more tabs
    // than commas (outside quotes), else a comma. The reader keeps a view of text.
    explicit CsvReader(std::string_view text);
    char separator() const { return m_separator; }
    // The next record; false at the end of the text.
    bool next(CsvRecord& record);

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
    char m_separator = ',';
    std::string m_buffer;                  // the fields of the current record, unquoted
    std::vector<std::size_t> m_bounds;     // start of each field in m_buffer, and the end
};

// Surrounding blanks (spaces and tabs) removed.
std::string_view trimBlanks(std::string_view text);
