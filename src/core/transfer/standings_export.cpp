#include "core/transfer/standings_export.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <clocale>
#include <cstddef>
#include <cstdio>
#include <ctime>
#include <langinfo.h>

#include "core/pool/bracket.h"
#include "core/pool/brand.h"
#include "core/pool/cp1252.h"
#include "core/pool/file_io.h"
#include "core/pool/pool_host.h"
#include "core/pool/scoring.h"

namespace {
constexpr const char* FixedHeaders[StandingsColumnCount] = {
    "#", "Name", "Total Pts", "Potential", "Rnds 1-2", "Rnds 3-4", "Rnds 5-6", "", "", "", "", "Champion"};
constexpr int RegionGames[5] = {57, 58, 59, 60, 63};
constexpr std::string_view LineEnd = "\r\n";

// Stored points are 32-bit; a sum of two absurd values wraps instead of overflowing.
std::int32_t addPoints(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// A pick's place in the table's copy of the team names: 1 + (region - 1) x 16 + seed - 1, 0 for
// anything that is not a team. Looked up, since a refill asks five times per participant.
std::uint8_t teamPlace(TeamCode code)
{
    constexpr TeamCode Codes = 100 * (RegionCount + 1);
    static const auto places = [] {
        std::array<std::uint8_t, Codes> table{};
        for (TeamCode c = 0; c < Codes; ++c)
            if (isValidTeamCode(c))
                table[static_cast<std::size_t>(c)] =
                    static_cast<std::uint8_t>(1 + (regionOfCode(c) - 1) * SeedCount + seedOfCode(c) - 1);
        return table;
    }();
    return code >= 0 && code < Codes ? places[static_cast<std::size_t>(code)] : 0;
}

// The parts of an entry a row is taken from, asked for ahead of time: the refill reads the
// entries in standings order, scattered over memory.
void prefetchRowParts(const Player* entry)
{
    const auto* bytes = reinterpret_cast<const char*>(entry);
    __builtin_prefetch(bytes);
    __builtin_prefetch(bytes + offsetof(Player, picks) + RegionGames[0] * sizeof(TeamCode));
    __builtin_prefetch(bytes + offsetof(Player, potential));
}

void appendNumber(std::string& out, std::int64_t value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// Progress over the rows of one pass: whole-percentage changes only, and back to 0 when the pass
// ends, whether it ran through or a write failed.
class RowProgress {
public:
    // The pass starts by setting the bar to 0 for the header row, as each row sets it.
    RowProgress(PoolHost& host, int rows) : m_host(host), m_reporter(host, -1), m_rows(rows) {}
    ~RowProgress() { m_host.setProgress(0); }
    RowProgress(const RowProgress&) = delete;
    RowProgress& operator=(const RowProgress&) = delete;
    void row(int index) { m_reporter.report(roundPercent(static_cast<double>(index) / m_rows)); }

private:
    PoolHost& m_host;
    ProgressReporter m_reporter;
    int m_rows;
};

std::string visitUsText() { return std::string(brand::VisitUsPrefix) + brand::MakerAddress; }

// The cells of one row with the separator between them; scratch is reused for each cell.
void appendTextLine(std::string& line, std::string& scratch, const StandingsTable& table, int row,
                    TextSeparator separator)
{
    for (int column = 0; column < StandingsColumnCount; ++column) {
        if (column) line += separator == TextSeparator::Comma ? ',' : '\t';
        scratch.clear();
        // A spreadsheet opening the file must show a name like "=HYPERLINK(...)" as text, not
        // run it; the apostrophe marks it as text. Numbers keep their sign.
        table.appendCell(scratch, row, column);
        if (StandingsTable::isTextCell(row, column) && startsLikeFormula(scratch))
            scratch.insert(scratch.begin(), '\'');
        appendTextField(line, scratch, separator);
    }
}

// Writes every row as separated text, each line followed by a line end.
template <class Sink>
void writeTextRows(const StandingsTable& table, TextSeparator separator, PoolHost& host, Sink& sink)
{
    RowProgress progress(host, table.rowCount());
    std::string line;
    std::string cell;
    for (int row = 0; row < table.rowCount(); ++row) {
        line.clear();
        appendTextLine(line, cell, table, row, separator);
        line += LineEnd;
        progress.row(row);
        sink(line);
    }
}
}  // namespace

// ---- The table ------------------------------------------------------------------------------

StandingsTable::StandingsTable(const std::array<std::string, 4>& regionNames)
{
    for (int column = 0; column < StandingsColumnCount; ++column) m_headers[column] = FixedHeaders[column];
    for (int position = 0; position < 4; ++position) m_headers[7 + position] = regionNames[position];
}

void StandingsTable::refill(const PlayerList& players, const TeamTable& teams)
{
    for (int region = 1; region <= RegionCount; ++region)
        for (int seed = 1; seed <= SeedCount; ++seed)
            m_teamNames[static_cast<std::size_t>(1 + (region - 1) * SeedCount + seed - 1)] =
                teams.entry(region, seed).name;
    // The buffers are kept from one refill to the next, so a refresh allocates nothing, with room
    // for the sheets saved until the next one.
    const auto count = static_cast<std::size_t>(players.participantCount());
    m_rows.reserve(count + count / 64 + 16);
    m_order.reserve(count + count / 64 + 16);
    m_rows.resize(count);
    m_order.resize(count);
    std::size_t n = 0;
    constexpr int Ahead = 16;
    for (int i = 0; i < players.count() && n < count; ++i) {
        if (i + Ahead < players.count()) prefetchRowParts(players.item(i + Ahead));
        const Player& entry = *players.item(i);
        if (entry.id == ResultsId) continue;
        takeRow(m_rows[n], entry);
        m_order[n] = static_cast<std::uint32_t>(n);
        ++n;
    }
    m_rows.resize(n);
    m_order.resize(n);
}

void StandingsTable::takeRow(StandingsRow& row, const Player& entry) const
{
    row.name = entry.name;
    row.total = entry.total;
    row.potential = entry.potential;
    for (int pair = 0; pair < 3; ++pair)
        row.roundPairs[pair] = addPoints(entry.roundPoints[2 * pair + 1], entry.roundPoints[2 * pair + 2]);
    for (int k = 0; k < 5; ++k) row.teams[k] = teamPlace(entry.picks[RegionGames[k]]);
}

bool StandingsTable::teamsAsShown(const TeamTable& teams) const
{
    for (int region = 1; region <= RegionCount; ++region)
        for (int seed = 1; seed <= SeedCount; ++seed)
            if (!(m_teamNames[static_cast<std::size_t>(1 + (region - 1) * SeedCount + seed - 1)] ==
                  teams.entry(region, seed).name))
                return false;
    return true;
}

void StandingsTable::setRow(int index, const Player& entry) { takeRow(rowAt(index), entry); }

void StandingsTable::insertRow(int index, const Player& entry)
{
    takeRow(m_rows.emplace_back(), entry);
    m_order.insert(m_order.begin() + index, static_cast<std::uint32_t>(m_rows.size() - 1));
}

void StandingsTable::moveRow(int from, int to)
{
    const auto at = m_order.begin();
    if (to < from)
        std::rotate(at + to, at + from, at + from + 1);
    else if (to > from)
        std::rotate(at + from, at + from + 1, at + to + 1);
}

void StandingsTable::appendCell(std::string& out, int row, int column) const
{
    if (row == 0) {
        out += header(column);
        return;
    }
    const StandingsRow& r = rowAt(row - 1);
    switch (column) {
    case 0: appendNumber(out, row); break;
    case 1: out += r.name.view(); break;
    case 2: appendNumber(out, r.total); break;
    case 3: appendNumber(out, r.potential); break;
    case 4:
    case 5:
    case 6: appendNumber(out, r.roundPairs[column - 4]); break;
    default: out += m_teamNames[r.teams[column - 7]].view(); break;
    }
}

std::string StandingsTable::cell(int row, int column) const
{
    std::string text;
    appendCell(text, row, column);
    return text;
}

// ---- Texts ----------------------------------------------------------------------------------

std::string sortStatusText(SortKey sortKey, bool ascending)
{
    static constexpr const char* KeyTexts[4] = {"total points, ", "potential points, ", "name, ",
                                                "selected champions, "};
    const auto key = static_cast<std::size_t>(sortKey);
    return std::string("Standings sorted by ") + KeyTexts[key] + (ascending ? "ascending" : "descending") + "..." +
           "right-click for more options. Right-click to save as HTML.";
}

std::string asOfText(std::chrono::year_month_day date, char separator)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "As of: %02u%c%02u%c%04d", static_cast<unsigned>(date.month()), separator,
                  static_cast<unsigned>(date.day()), separator, static_cast<int>(date.year()));
    return buffer;
}

char dateSeparatorOf(std::string_view format)
{
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '%') {
            if (++i < format.size() && (format[i] == 'E' || format[i] == 'O')) ++i;  // a modifier
            if (i >= format.size()) break;
            if (format[i] == 'D') return '/';  // %m/%d/%y
            if (format[i] == 'F') return '-';  // %Y-%m-%d
            continue;
        }
        // A letter of another script (年) would be half a character in the page's text.
        if (static_cast<unsigned char>(c) < 0x80 && std::ispunct(static_cast<unsigned char>(c))) return c;
    }
    return '/';
}

char userDateSeparator()
{
    // The user's own locale without changing the program's: numbers in files stay as they are.
    locale_t user = newlocale(LC_TIME_MASK, "", locale_t{});
    if (user == locale_t{}) return '/';
    const char separator = dateSeparatorOf(nl_langinfo_l(D_FMT, user));
    freelocale(user);
    return separator;
}

void appendTextField(std::string& out, std::string_view field, TextSeparator separator)
{
    if (separator == TextSeparator::Comma) {
        // Quoted only when it must be, so plain fields read as they always did.
        if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
            out += field;
            return;
        }
        out += '"';
        for (char c : field) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
        return;
    }
    // Tab text has no quoting: a tab or line break inside a cell would split it, so it becomes a space.
    for (char c : field) out += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
}

bool startsLikeFormula(std::string_view text)
{
    return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

void appendHtmlText(std::string& out, std::string_view text)
{
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c; break;
        }
    }
}

// ---- Exports --------------------------------------------------------------------------------

std::string utf8FileText(std::string_view codePageText)
{
    std::string text(Utf8Bom);
    appendUtf8FromCp1252(text, codePageText);
    return text;
}

void writeStandingsText(const StandingsTable& table, TextSeparator separator, PoolHost& host, const StandingsSink& sink)
{
    // UTF-8 with a byte-order mark, as spreadsheets read it, handed on in pieces.
    std::string utf8(Utf8Bom);
    auto convert = [&sink, &utf8](std::string_view text) {
        appendUtf8FromCp1252(utf8, text);
        if (utf8.size() < (1 << 16)) return;
        sink(utf8);
        utf8.clear();
    };
    writeTextRows(table, separator, host, convert);
    std::string trailer = brand::Slogan;
    trailer += LineEnd;
    trailer += visitUsText();
    trailer += LineEnd;
    appendUtf8FromCp1252(utf8, trailer);
    sink(utf8);
}

void exportTextFile(const StandingsTable& table, const std::string& path, TextSeparator separator, PoolHost& host)
{
    AtomicFile file(path);
    writeStandingsText(table, separator, host, [&file](std::string_view text) { file.write(text); });
    file.commit();
}

std::string exportClipboardText(const StandingsTable& table, PoolHost& host)
{
    std::string text;
    auto sink = [&text](std::string_view line) { text += line; };
    writeTextRows(table, TextSeparator::Tab, host, sink);
    text += brand::Slogan;
    text += LineEnd;
    text += visitUsText();  // no line end after the last line
    return text;
}

void exportHtmlFile(const StandingsTable& table, const std::string& path, const std::string& asOfText, PoolHost& host)
{
    AtomicFile file(path);
    writeStandingsHtml(table, asOfText, host, [&file](std::string_view text) { file.write(text); });
    file.commit();
}

void writeStandingsHtml(const StandingsTable& table, const std::string& asOfText, PoolHost& host,
                        const StandingsSink& sink)
{
    std::string out;
    auto line = [&out](std::string_view text) {
        out += text;
        out += LineEnd;
    };
    auto flush = [&out, &sink] {
        sink(out);
        out.clear();
    };

    std::string keywords, description;
    appendHtmlText(keywords, brand::Keywords);
    appendHtmlText(description, brand::Description);
    const std::string maker = brand::MakerAddress;

    // The page loads nothing from anywhere (no frames, scripts or images) and links only to full
    // addresses, so it reads the same wherever it is mailed or posted. Its bytes are the
    // program's single-byte text, which the head declares.
    line(std::string("<html><head><title>") + brand::ProductName + ": Standings</title>");
    line(R"(<meta http-equiv="Content-Type" content="text/html; charset=windows-1252" />)");
    line(R"(<meta name="viewport" content="width=device-width, initial-scale=1" />)");
    line(R"(<meta NAME="KEYWORDS" CONTENT=")" + keywords + R"(" />)");
    line(R"(<meta NAME="DESCRIPTION" CONTENT=")" + description + R"(" />)");
    line("<STYLE><!--");
    line("FONT.header {COLOR: #336699; FONT-FAMILY: Arial, Helvetica, sans-serif; FONT-SIZE: 16px;    FONT-WEIGHT: "
         "bold;}");
    line("A:link {COLOR: #0000cc; TEXT-DECORATION: underline}");
    line("A:visited {COLOR: #0000cc;TEXT-DECORATION: underline}");
    line("A:hover {COLOR: #ff6028; TEXT-DECORATION: underline}");
    line("TH {BACKGROUND-COLOR: #336699;COLOR: white; FONT-FAMILY: Verdana, Arial, helvetica;    FONT-SIZE: 11px;    "
         "FONT-WEIGHT: bold}");
    line("TR.contrastrow {BACKGROUND-COLOR: #eeeeee}");
    line("FONT.smallbody {FONT-FAMILY: Arial, Helvetica, sans-serif;FONT-SIZE: 11px}");
    line("TD {FONT-FAMILY: Verdana, Arial, Helvetica, Sans-Serif;FONT-SIZE: 11px}");
    line("P {FONT-FAMILY: Verdana, Arial, Helvetica, SansSerif;FONT-SIZE: 12px}");
    line("-->");
    line("</STYLE></head><body bkgcolor=WHITE>");
    line(R"(<table border=0 width="100%" cellpadding=0 cellspacing=0><tr><td>)");
    line(R"(<font class="header">NCAA Office Pool Standings - )" + asOfText +
         R"(</font><br><font class="smallbody">Results produced by <a href=")" + maker + R"(">")" + brand::ProductName +
         R"("</a> office pool manager</font></p></td>)");
    line("<td align=right>");
    line("</td></tr></table><br>");
    line(R"(<table width="100%" cellpadding=1 cellspacing=2 border=0 bgcolor=#EEEEEE><tr>)");
    for (int k = 0; k < 4; ++k) {
        std::string bar = k == 0 ? R"(<td><font class="smallbody"><b>Options:&nbsp;</b></font></td>)" : "";
        bar += std::string(R"(<td>&nbsp;<a target="_new" href=")") + brand::OptionLinks[k].address + R"(">)" +
               brand::OptionLinks[k].text + "</a></td>";
        if (k == 3) bar += "</tr></table><hr>";
        line(bar);
    }
    line(
        R"(<table cellSpacing="0" cellPadding="2" width="100%" border="1" bgcolor="palegoldenrod" bordercolor="black">)");
    flush();

    {
        RowProgress progress(host, table.rowCount());
        std::string cell;
        for (int row = 0; row < table.rowCount(); ++row) {
            out += row % 2 == 0 ? "<tr>" : R"(<tr class="contrastrow">)";
            const char* open = row == 0 ? "<th>" : "<td>";
            const char* close = row == 0 ? "</th>" : "</td>";
            for (int column = 0; column < StandingsColumnCount; ++column) {
                cell.clear();
                table.appendCell(cell, row, column);
                out += open;
                appendHtmlText(out, cell);
                out += close;
            }
            out += "</tr>";
            out += LineEnd;
            progress.row(row);
            if (out.size() >= 1 << 16) flush();
        }
        line("</table>");
        flush();
    }

    line("<br><p align=center>" + std::string(brand::Slogan) + "<br><b>" + brand::VisitUsPrefix + "<a href=\"" + maker +
         "\">" + maker + "</a></center></body></html>");
    flush();
}
