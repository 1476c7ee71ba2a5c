#pragma once
#include <array>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "core/pool/players.h"
#include "core/transfer/import_table.h"

class PoolSession;
class TeamNames;

// Picks from a spreadsheet: a header line naming the columns "Name", "Tiebreaker", "Paid" and
// "Game 1" to "Game 63" (in any order; other columns are passed over), then one participant per
// line. Each line is checked as a sheet is before it is stored: a name of at most 25 characters
// that the code page can hold is needed (a tiebreaker has at most 12; nothing is cut or
// replaced), and each winner must be one of its game's two teams given the line's earlier picks
// (teams found as TeamNames finds them); empty games make the entry incomplete. Names are
// compared as a person reads them (nameKey): a line repeating the name of an earlier line or of a
// participant is refused, unless it is that participant's very sheet (the same picks, tiebreaker
// and paid), which is counted and passed over, so that a pool's exported sheet with rows added
// imports the new rows alone. The file is read a line at a time: only the entries taken and the
// first refusals are kept.

inline constexpr const char* PicksNameColumn = "Name";
inline constexpr const char* PicksTiebreakerColumn = "Tiebreaker";
inline constexpr const char* PicksPaidColumn = "Paid";
std::string gameColumnName(int game);  // "Game 1" .. "Game 63"

struct PicksImport {
    std::deque<Player> entries;  // the lines that passed, in file order; ids not drawn yet (a
                                 // deque: a large file's entries are never copied to grow)
    int incomplete = 0;          // entries with games that have no winner
    TransferProblems refused;    // one per refused line, in line order
    int alreadyInPool = 0;       // lines that are a participant's sheet as the pool holds it
};

// pool: the participants already stored; a line naming one of them is refused or passed over, so
// a file imported twice does not add everyone twice. Null: no such check. A file that cannot be read as
// a table, or only part-way, throws a HoopError: nothing of it is taken.
PicksImport readPicksImport(std::string_view bytes, const TeamNames& names, const PlayerList* pool);
PicksImport readPicksImport(ByteSource& source, const TeamNames& names, const PlayerList* pool);
// The file at path against the session's field and participants; a file that cannot be opened
// throws a HoopError too.
PicksImport readPicksImportFile(const PoolSession& session, const std::string& path);

// Stores the entries as new participants, with new ids as new sheets get, in one run that waits
// for the disk once; each is marked for rescoring, and the standings are refreshed if open.
// Returns how many were stored. A refused write throws a HoopError saying how many were stored
// before it.
int storeImportedPicks(PoolSession& session, const PicksImport& import);
