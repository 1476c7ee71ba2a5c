#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/pool/code_page_text.h"
#include "core/transfer/csv_reader.h"

// A refused row of an import, or (line 0) a fault of the file as a whole.
struct TransferProblem {
    int line = 0;
    std::string column;   // the column's name; empty when the fault is not one cell's
    CodePageText reason;  // quotes the cell, as the code page holds it
    friend bool operator==(const TransferProblem&, const TransferProblem&) = default;
};
// "Line 7, column "Game 34": reason", "Line 7: reason", or the reason alone.
CodePageText problemText(const TransferProblem& problem);

// The problems of an import as it keeps them: the first thousand in order, and how many in all,
// so that a file of junk costs no more than its first thousand lines.
struct TransferProblems {
    static constexpr std::size_t Listed = 1000;
    std::vector<TransferProblem> listed;
    std::size_t total = 0;
    void add(TransferProblem problem);
    bool empty() const { return total == 0; }
    std::size_t unlisted() const { return total - listed.size(); }
};
// The line that stands for the problems not listed: "... and 123456 more lines refused".
std::string unlistedText(std::size_t count);

// A value quoted for a reason: "Duke", cut when it is long.
std::string quotedValue(std::string_view value);
// An import's cell quoted so: a character the code page does not have (NotInCodePage) shows as '?'.
std::string quotedCell(std::string_view cell);

// Why a text holding a character the code page does not have is refused: ""Ann ?" holds a
// character (shown as ?) that ...". Stored with a '?' in its place, a name could be another's.
std::string notInCodePageText(std::string_view value);

// A column an import knows, by the name its header gives it.
struct ColumnRule {
    std::string name;  // "Game 34": matched without regard to case or blanks
    bool required = true;
};

// The rows of a separated file under a header line that names the columns; columns are found by
// name, in any order, and columns of other names are passed over. Rows are read one at a time.
// What an import says of a file that is not separated text.
inline constexpr const char* WorkbookMessage =
    "This is a spreadsheet workbook (or not text): save it as CSV (comma-separated) and import that.";

class ImportTable {
public:
    // Reads the header. A file that cannot be read as a table (a workbook or no text at all, an
    // empty file, a header without a needed column, a read that failed) throws a HoopError saying
    // so. Cells hold NotInCodePage for each character the code page does not have.
    ImportTable(ByteSource& source, std::vector<ColumnRule> columns);

    // The next row that is not blank; false at the end. A row that cannot be read as the header
    // lays out (more fields, an open quote, a cell of more than a thousand characters) comes back
    // with its problem set. A read that fails part-way throws a HoopError: nothing of the file
    // may be taken then.
    bool next(std::optional<TransferProblem>& problem);
    int line() const { return m_record.line; }
    // The cell of the k-th column given to the constructor: blanks kept; empty when the column or the field is absent.
    std::string_view cell(std::size_t column) const;
    // A text cell as the program stores text: control characters become blanks, and the
    // apostrophe a spreadsheet export puts before a formula-like text is taken off.
    std::string textCell(std::size_t column) const;
    // The cell without that apostrophe, as it stands otherwise.
    std::string_view sheetTextView(std::size_t column) const;
    const std::string& columnName(std::size_t column) const { return m_columns[column].name; }
    // Whether the header names the k-th column given to the constructor.
    bool hasColumn(std::size_t column) const { return m_fieldOf[column] >= 0; }

private:
    StorageTextReader m_text;
    CsvReader m_reader;
    std::vector<ColumnRule> m_columns;
    std::vector<int> m_fieldOf;        // field index of each column; -1 when absent
    std::vector<int> m_columnOfField;  // column of each header field; -1 for an unknown one
    std::size_t m_headerFields = 0;
    CsvRecord m_record;
};

// A text as a spreadsheet must read it: with an apostrophe before it when it would otherwise be
// taken as a formula (the standings export does the same); the import takes it off again.
void appendSheetText(std::string& out, std::string_view text);
