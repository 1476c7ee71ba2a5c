#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/pool/players.h"
#include "core/pool/short_string.h"

class PoolHost;

// The standings grid as text: a header row and one row per participant, in the order of the
// list's last sort. The grid window shows it and every export writes it, so what is exported is
// exactly what was shown.

constexpr int StandingsColumnCount = 12;

// Widths of the columns in pixels (96 dpi).
inline constexpr std::array<int, StandingsColumnCount> StandingsColumnWidths = {27, 129, 45, 50, 49, 48,
                                                                                50, 75,  68, 69, 68, 68};

// One participant as the last refresh saw them; later changes to the entry or the team table
// show only after the next refresh.
struct StandingsRow {
    ShortString<25> name;
    std::int32_t total = 0;
    std::int32_t potential = 0;
    std::int32_t roundPairs[3] = {};  // rounds 1-2, 3-4, 5-6
    // Picks for games 57..60 (region winners) and 63 (champion): the team's place in the table's
    // copy of the team names (1 + (region - 1) x 16 + seed - 1), 0 for none.
    std::uint8_t teams[5] = {};
};

class StandingsTable {
public:
    // regionNames: the headers of the four region columns, by position 1..4.
    explicit StandingsTable(const std::array<std::string, 4>& regionNames = {});

    // Takes the rows from the list in its current order, skipping the results entry; team names
    // from the pool's table.
    void refill(const PlayerList& players, const TeamTable& teams);
    // One participant's row taken again, a new one put in, a row moved (participant rows counted
    // from 0): a scoring pass of one sheet shown without a refill. The rows keep the team names
    // of the last refill, so these are for when teamsAsShown still holds.
    bool teamsAsShown(const TeamTable& teams) const;
    void setRow(int index, const Player& entry);
    void insertRow(int index, const Player& entry);
    void moveRow(int from, int to);

    int rowCount() const { return static_cast<int>(m_order.size()) + 1; }  // header row included
    int participantCount() const { return static_cast<int>(m_order.size()); }
    const std::string& header(int column) const { return m_headers[static_cast<std::size_t>(column)]; }
    // Row 0 is the header row; row n the n-th participant.
    std::string cell(int row, int column) const;
    void appendCell(std::string& out, int row, int column) const;
    // Whether a cell holds text from the user (a header, a name, a team) rather than a number.
    static bool isTextCell(int row, int column) { return row == 0 || column == 1 || column >= 7; }

private:
    StandingsRow& rowAt(int index) { return m_rows[m_order[static_cast<std::size_t>(index)]]; }
    const StandingsRow& rowAt(int index) const { return m_rows[m_order[static_cast<std::size_t>(index)]]; }
    void takeRow(StandingsRow& row, const Player& entry) const;

    std::array<std::string, StandingsColumnCount> m_headers;
    std::array<ShortString<12>, 1 + RegionCount * SeedCount> m_teamNames;  // [0] is no team
    // The rows in the order they were taken, and their order on the grid: a row moved is four
    // bytes moved, whatever the size of the pool.
    std::vector<StandingsRow> m_rows;
    std::vector<std::uint32_t> m_order;
};

// The status strip above the grid.
std::string sortStatusText(SortKey sortKey, bool ascending);

// The character the user's date format (LC_TIME, else LC_ALL or LANG) puts between day, month and
// year; '/' where none is set or it cannot be read.
char userDateSeparator();
// The separator of a strftime date format such as "%d.%m.%Y"; '/' when it has none.
char dateSeparatorOf(std::string_view format);

// "As of: mm/dd/yyyy", the slashes being the user's date separator.
std::string asOfText(std::chrono::year_month_day date, char separator = userDateSeparator());

// Field quoting of the text formats, and HTML escaping.
enum class TextSeparator { Tab, Comma };
void appendTextField(std::string& out, std::string_view field, TextSeparator separator);
// A spreadsheet would take a text cell starting with one of these as a formula.
bool startsLikeFormula(std::string_view text);
void appendHtmlText(std::string& out, std::string_view text);

// Text files are written as UTF-8 with a byte-order mark, which spreadsheets and editors on every
// system read right (the code page is read right only where it is the system's own); the
// clipboard takes the text as characters and needs no mark.
inline constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
// The mark, then text in the storage code page as UTF-8.
std::string utf8FileText(std::string_view codePageText);

// The exports. Progress goes to the host (only when the whole percentage changes, back to 0 after
// the rows, also when a write fails); files are written atomically and a failure throws a
// HoopError, so nothing reports success for a file that was not written.
// The text file is UTF-8 with a byte-order mark; the clipboard text and the page are in the
// storage code page (the page declares it).
void exportTextFile(const StandingsTable& table, const std::string& path, TextSeparator separator, PoolHost& host);
std::string exportClipboardText(const StandingsTable& table, PoolHost& host);
void exportHtmlFile(const StandingsTable& table, const std::string& path, const std::string& asOfText, PoolHost& host);
// The bytes of those files, handed to sink in pieces (the standard output of a command).
using StandingsSink = std::function<void(std::string_view)>;
void writeStandingsText(const StandingsTable& table, TextSeparator separator, PoolHost& host,
                        const StandingsSink& sink);
void writeStandingsHtml(const StandingsTable& table, const std::string& asOfText, PoolHost& host,
                        const StandingsSink& sink);

inline const std::string ExportSuccessPrefix = "Standings successfully exported to ";
