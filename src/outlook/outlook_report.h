#pragma once
// The Pool Outlook as text: the grid's rows in the standings' order, tab-separated (what the
// command line prints and the window copies), and a pool read for it without writing anything.
#include <string>
#include <string_view>
#include <vector>

#include "outlook/outlook.h"
#include "pool/file_io.h"
#include "pool/players.h"

namespace outlook {

inline const std::string OutlookHeader = "#\tName\tTotal Pts\tBest Finish\tWorst Finish\tCan Win\tWin %\tMoney %";

// The grid as tab-separated text: the header, then one line per participant of list (in its
// order, the results entry left out), each with lineEnd. result: computed from
// outlookInputOf(list, ...), so its rows follow the list. Names keep their stored bytes; a name
// is changed as the standings text changes it (no tab or line break, a leading ' where a
// spreadsheet would see a formula). Percentages have one decimal, a point, no % sign.
std::string outlookText(const TPlayers& list, const OutlookResult& result, std::string_view lineEnd = "\n");

// What a reader needs to know beside the grid, one line each: that Win % and Money % are
// estimated (from how many tournaments, within what), that some finishes are not proven.
std::vector<std::string> outlookNotes(const OutlookResult& result);

// The entries of the pool in dir as its files hold them now: PICKS.HFD, with the changes a
// running program (or one that did not close) keeps in its journal applied in memory, as the
// next start-up would apply them. Reads only. error: why the pool cannot be read (the folder,
// PICKS.HFD missing, unreadable or cut short, a damaged journal); entries are then empty.
struct PoolEntries {
    std::vector<TPlayer> entries;
    std::string error;
};
PoolEntries readPoolEntries(const std::string& dir, ReadFunction read = nullptr);

// The whole command: the pool read, scored and sorted as the standings open (total points,
// highest first, with their tie order), its outlook computed and written out as text.
struct OutlookReport {
    std::string text;  // empty when error is set
    std::vector<std::string> notes;
    std::string error;
};
OutlookReport poolOutlookReport(const std::string& dir, const ScoringValues& values, int places,
                                const OutlookOptions& options = {}, ReadFunction read = nullptr);

}  // namespace outlook
