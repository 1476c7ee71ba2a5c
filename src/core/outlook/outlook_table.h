#pragma once
// The outlook as the window, its copy, its files and the command line show it: one row per
// participant in the standings' default order, every figure as text.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/outlook/outlook.h"

class PlayerList;

namespace outlook {

// The last column is there only when the pool has an entry fee (OutlookTable::columnCount).
constexpr int OutlookColumnCount = 9;
inline const std::array<std::string, OutlookColumnCount> OutlookHeaders = {
    "#", "Name", "Total Pts", "Best Finish", "Worst Finish", "Can Win", "Win %", "Money %", "Exp. Winnings"};
enum OutlookColumn {
    PositionColumn,
    NameColumn,
    TotalColumn,
    BestColumn,
    WorstColumn,
    CanWinColumn,
    WinColumn,
    MoneyColumn,
    WinningsColumn
};

struct OutlookRow {
    std::array<std::string, OutlookColumnCount> cells;
    double winPercent = 0;  // for the bar drawn in its cell
};

class OutlookTable {
public:
    // names: the participants' names (Windows-1252 bytes), in the order of the result's rows.
    // Rows follow the standings' default order: total points descending, ties in list order.
    // withWinnings: the pool has an entry fee, and the result's expected winnings are shown.
    OutlookTable(const OutlookResult& result, const std::vector<std::string>& names, bool withWinnings = false);
    OutlookTable() = default;

    const std::vector<OutlookRow>& rows() const { return m_rows; }
    // The columns shown: Exp. Winnings only when the result has prizes.
    int columnCount() const { return m_columns; }
    // What was computed, for the status strip ("" while nothing was).
    const std::string& summary() const { return m_summary; }
    // Best and worst finishes the search could not prove (each marked with a "*"), counted
    // one by one: a row may have two.
    int unprovenFinishes() const { return m_unproven; }

private:
    std::vector<OutlookRow> m_rows;
    std::string m_summary;
    int m_unproven = 0;
    int m_columns = OutlookColumnCount - 1;
};

enum class OutlookFormat { Tab, Comma };
// The header row, then one line per row, each ending in lineEnd; text cells that a spreadsheet
// would take for a formula get a leading apostrophe, fields are quoted as the standings export
// quotes them.
std::string outlookText(const OutlookTable& table, OutlookFormat format, std::string_view lineEnd);
// A self-contained page: the grid and the summary, escaped as the standings page is.
std::string outlookHtml(const OutlookTable& table, const std::string& asOfText);

// Any of the window's other pages the same way: headers, then rows of cells; textColumns[c]
// marks the columns that hold text (left aligned on the page, guarded against formulas).
struct PageGrid {
    std::string title;
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
    std::vector<bool> textColumns;
};
std::string pageGridText(const PageGrid& grid, OutlookFormat format, std::string_view lineEnd);
std::string pageGridHtml(const PageGrid& grid, const std::string& asOfText);

// "45.3": one decimal, a point, no sign.
std::string percentText(double percent);

// Who picked whom: for each team still alive, the share of participants who picked it to win its
// game of each round that still has games to play.
struct PickedRow {
    TeamCode team = 0;
    std::vector<double> shares;  // percent, one per round of PickedShares::rounds
};
struct PickedShares {
    std::vector<int> rounds;  // the rounds with an unplayed game, 1..6
    std::vector<PickedRow> rows;
};
PickedShares pickedShares(const OutlookInput& input);

// The standings against the input's results (the real ones, or with a what-if's winners), from
// copies of the picks: the stored entries keep their points. Rows in the outlook's order.
constexpr int ScoreColumnCount = 4;
inline const std::array<std::string, ScoreColumnCount> ScoreHeaders = {"#", "Name", "Total Pts", "Potential"};
struct ScoreRow {
    std::array<std::string, ScoreColumnCount> cells;
    PickScore score;
};
// names: as for OutlookTable, in the order of the input's participants.
std::vector<ScoreRow> scoreRows(const OutlookInput& input, const std::vector<std::string>& names);

// The names of outlookInputOf's participants, in its order.
std::vector<std::string> participantNames(const PlayerList& players);

}  // namespace outlook
