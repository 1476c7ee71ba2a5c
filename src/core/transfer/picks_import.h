#pragma once
#include <array>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
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
// known participant is refused, unless it is that participant's very sheet (the same picks,
// tiebreaker and paid), which is listed apart and passed over, so that a pool's exported sheet
// with rows added imports the new rows alone. A file with a Field column comes from the entry
// page, which never says whether its participant paid: its lines are compared without paid. The
// file is read a line at a time: only the entries taken and the first refusals are kept.

inline constexpr const char* PicksNameColumn = "Name";
inline constexpr const char* PicksTiebreakerColumn = "Tiebreaker";
inline constexpr const char* PicksPaidColumn = "Paid";
std::string gameColumnName(int game);  // "Game 1" .. "Game 63"

struct PicksImport {
    std::deque<Player> entries;  // the lines that passed, in file order; ids not drawn yet (a
                                 // deque: a large file's entries are never copied to grow)
    int incomplete = 0;          // entries with games that have no winner
    TransferProblems refused;    // one per refused line, in line order
    TransferProblems alreadyIn;  // lines passed over: the participant's very sheet is known
                                 // already, in the pool or from an earlier file (not an error)
};

// One file of an import of several: its path as given, and what was read from it.
struct PicksFileImport {
    std::string path;
    PicksImport import;
};

// The participants an import is checked against: the stored ones, and those read from the files
// before the current one in the same import, by the keys of their names (nameKey).
class KnownEntries {
public:
    explicit KnownEntries(const PlayerList* pool);
    // The known participants whose names have this key; null when there are none.
    const std::vector<const Player*>* withKey(const std::string& key) const;
    void add(const Player& entry);

private:
    std::unordered_map<std::string, std::vector<const Player*>> m_byKey;
    std::deque<Player> m_added;  // the entries read before, kept where the map points
};

// pool: the participants already stored; a line naming one of them is refused or passed over, so
// a file imported twice does not add everyone twice. Null: no such check. A file that cannot be
// read as a table, or only part-way, throws a HoopError: nothing of it is taken.
PicksImport readPicksImport(std::string_view bytes, const TeamNames& names, const PlayerList* pool);
PicksImport readPicksImport(ByteSource& source, const TeamNames& names, const PlayerList* pool);
PicksImport readPicksImport(ByteSource& source, const TeamNames& names, const KnownEntries& known);
// The file at path against the session's field and participants; a file that cannot be opened
// throws a HoopError too.
PicksImport readPicksImportFile(const PoolSession& session, const std::string& path);
// Several files in one import, in the order given: a participant of an earlier file counts as in
// the pool for the later ones, so the same file given twice is taken once. A file that cannot be
// read throws a HoopError naming it: nothing of any file is taken then.
std::vector<PicksFileImport> readPicksImportFiles(const PoolSession& session, const std::vector<std::string>& paths);

// Stores the entries as new participants, with new ids as new sheets get, in one run that waits
// for the disk once; each is marked for rescoring, and the standings are refreshed if open.
// Returns how many were stored. A refused write throws a HoopError saying how many were stored
// before it.
int storeImportedPicks(PoolSession& session, const PicksImport& import);
