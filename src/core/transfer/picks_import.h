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
// is needed (a tiebreaker has at most 12; nothing is cut), and each winner must be one of its
// game's two teams given the line's earlier picks; empty games make the entry incomplete. The
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
    TransferProblems alreadyIn;  // lines passed over: the same participant, picks and all, is
                                 // in the pool already (not an error)
};

// One file of an import of several: its path as given, and what was read from it.
struct PicksFileImport {
    std::string path;
    PicksImport import;
};

// The participants an import is checked against: the stored ones, and those read from the files
// before the current one in the same import.
class KnownEntries {
public:
    explicit KnownEntries(const PlayerList* pool);
    enum class Match { New, AlreadyIn, NameTaken };
    // AlreadyIn when a known participant has the entry's name and picks (the same entry come
    // back: a file imported twice, a page saved twice); NameTaken when the name is known with
    // other picks, as a name may not stand for two participants.
    Match match(const Player& entry) const;
    bool nameTaken(std::string_view name) const { return m_picksByName.count(std::string(name)) > 0; }
    void add(const Player& entry);

private:
    std::unordered_multimap<std::string, const PickArray*> m_picksByName;
    std::deque<PickArray> m_added;  // picks of the entries read before, kept where the map points
};

// pool: the participants already stored; a line naming one of them is refused, so a file
// imported twice does not add everyone twice. Null: no such check. A file that cannot be read as
// a table, or only part-way, throws a HoopError: nothing of it is taken.
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
