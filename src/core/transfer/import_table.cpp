#include "core/transfer/import_table.h"

#include "core/pool/cp1252.h"
#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "core/transfer/name_keys.h"
#include "core/transfer/standings_export.h"

namespace {
// A header name as compared: lower case, no blanks.
std::string headerKey(std::string_view name)
{
    std::string key;
    for (char c : name)
        if (c != ' ' && c != '\t') key += static_cast<char>(cp1252Lower(static_cast<unsigned char>(c)));
    return key;
}

// The apostrophes of a formula guard: one or more, then a text that starts like a formula.
bool guardedFormula(std::string_view text)
{
    const std::size_t first = text.find_first_not_of('\'');
    return first != std::string_view::npos && startsLikeFormula(text.substr(first));
}
}  // namespace

CodePageText problemText(const TransferProblem& problem)
{
    if (problem.line <= 0) return problem.reason;
    std::string text = "Line " + std::to_string(problem.line);
    if (!problem.column.empty()) text += ", column \"" + problem.column + "\"";
    return {text + ": " + problem.reason.bytes};
}

void TransferProblems::add(TransferProblem problem)
{
    ++total;
    if (listed.size() < Listed) listed.push_back(std::move(problem));
}

std::string unlistedText(std::size_t count)
{
    return "... and " + std::to_string(count) + (count == 1 ? " more line refused" : " more lines refused");
}

std::string quotedValue(std::string_view value)
{
    constexpr std::size_t Longest = 30;
    std::string text = "\"";
    text += value.substr(0, Longest);
    if (value.size() > Longest) text += "...";
    return text + "\"";
}

std::string quotedCell(std::string_view cell) { return quotedValue(shownText(cell)); }

std::string notInCodePageText(std::string_view value)
{
    return quotedCell(value) +
           " holds a character (shown as ?) that the pool's files, in the Windows-1252 code page, cannot hold";
}

void appendSheetText(std::string& out, std::string_view text)
{
    if (guardedFormula(text) || startsLikeFormula(text)) out += '\'';
    out += text;
}

ImportTable::ImportTable(ByteSource& source, std::vector<ColumnRule> columns)
    : m_text(source, NotInCodePage), m_reader(m_text), m_columns(std::move(columns)), m_fieldOf(m_columns.size(), -1)
{
    if (m_text.binary()) throw HoopError(WorkbookMessage);
    CsvRecord header;
    while (m_reader.next(header) && header.blank()) {
    }
    if (!m_text.error().empty()) throw HoopError(m_text.error());
    if (header.fields.empty() || header.blank()) throw HoopError("The file is empty.");
    if (header.fieldCount > header.fields.size())
        throw HoopError("The first line has more than " + std::to_string(CsvRecord::MaxFields) + " columns.");
    m_headerFields = header.fields.size();
    m_columnOfField.assign(m_headerFields, -1);
    for (std::size_t f = 0; f < m_headerFields; ++f) {
        const std::string key = headerKey(header.fields[f]);
        for (std::size_t k = 0; k < m_columns.size(); ++k) {
            if (headerKey(m_columns[k].name) != key) continue;
            if (m_fieldOf[k] >= 0)
                throw HoopError("The first line names the column \"" + m_columns[k].name + "\" twice.");
            m_fieldOf[k] = int(f);
            m_columnOfField[f] = int(k);
        }
    }
    for (std::size_t k = 0; k < m_columns.size(); ++k) {
        if (m_fieldOf[k] >= 0 || !m_columns[k].required) continue;
        std::string text = "The first line has no column \"" + m_columns[k].name + "\". It must name the columns: ";
        for (std::size_t j = 0; j < m_columns.size(); ++j) {
            if (j) text += ", ";
            text += m_columns[j].name;
        }
        throw HoopError(text + '.');
    }
}

bool ImportTable::next(std::optional<TransferProblem>& problem)
{
    problem.reset();
    do {
        if (!m_reader.next(m_record)) {
            if (!m_text.error().empty()) throw HoopError(m_text.error());
            return false;
        }
    } while (m_record.blank() && !m_record.unclosedQuote);

    const auto columnOf = [this](std::size_t field) {
        const int k = field < m_headerFields ? m_columnOfField[field] : -1;
        return k >= 0 ? m_columns[std::size_t(k)].name : std::string();
    };
    if (m_record.unclosedQuote) {
        const std::size_t last = m_record.fieldCount - 1;
        problem = TransferProblem{m_record.line, columnOf(last),
                                  CodePageText{"a quoted text is not closed before the end of the file"}};
        return true;
    }
    bool extra = !m_record.blankBeyond;
    for (std::size_t f = m_headerFields; f < m_record.fields.size() && !extra; ++f)
        extra = !trimBlanks(m_record.fields[f]).empty();
    if (extra) {
        std::string reason = "the line has " + std::to_string(m_record.fieldCount) + " fields but the first line has " +
                             std::to_string(m_headerFields);
        if (m_reader.separator() == ',') reason += "; a text holding a comma must be in double quotes";
        if (m_reader.separator() == ';') reason += "; a text holding a semicolon must be in double quotes";
        problem = TransferProblem{m_record.line, std::string(), CodePageText{reason}};
        return true;
    }
    // A cell this long is no import's; the reader kept only its start.
    for (std::size_t k = 0; k < m_columns.size(); ++k)
        if (cell(k).size() > CsvRecord::LongestField) {
            problem = TransferProblem{
                m_record.line, m_columns[k].name,
                CodePageText{"the text is longer than " + std::to_string(CsvRecord::LongestField) + " characters"}};
            return true;
        }
    return true;
}

std::string_view ImportTable::cell(std::size_t column) const
{
    const int field = m_fieldOf[column];
    if (field < 0 || std::size_t(field) >= m_record.fields.size()) return {};
    return m_record.fields[std::size_t(field)];
}

std::string_view ImportTable::sheetTextView(std::size_t column) const
{
    std::string_view text = cell(column);
    if (!text.empty() && text.front() == '\'' && guardedFormula(text)) text.remove_prefix(1);
    return text;
}

std::string ImportTable::textCell(std::size_t column) const
{
    const std::string_view text = sheetTextView(column);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // a line break is one blank
        out += c < 0x20 || c == 0x7F ? ' ' : text[i];
    }
    return out;
}
