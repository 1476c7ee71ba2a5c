#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/pool/bracket.h"
#include "core/pool/errors.h"
#include "core/pool/id_index.h"
#include "core/pool/journal.h"
#include "core/pool/pool_events.h"
#include "core/pool/scoring.h"
#include "core/pool/short_string.h"

class PoolHost;

constexpr std::int32_t ResultsId = -1;
constexpr std::size_t PickRecordSize = 300;
inline const std::string PicksFileName = "PICKS.HFD";
inline const std::string ResultsName = "RESULTS";
inline const std::string PlayersQuickTip = "Quick Tip: To add participants, select [Player], [New Player]";
inline const std::string SheetOpenMessage =
    "Can not delete this sheet, it is currently open. Close it first and try again.";
inline const std::string UpdatingStandingsText = "Updating pool standings...";

// One participant's sheet, or the results (id -1).
struct Player {
    std::int32_t id = 0;
    ShortString<25> name;
    std::int32_t roundPoints[RoundCount + 1] = {};  // index 1..6
    PickArray picks{};                              // index 1..63
    std::int32_t total = 0;
    std::int32_t potential = 0;
    ShortString<12> tiebreaker;
    std::uint8_t modified = 0;  // the points wait for the next scoring pass
    std::uint8_t paid = 0;
    std::uint8_t complete = 0;
};

// The standings' sort orders.
enum class SortKey : std::uint8_t { Total, Potential, Name, Champion };

// The participant list. Entries live in stable storage: a removed entry stays readable until the
// list is destroyed, so windows that still show it can go on reading it. Entries are read-only
// outside the list: every change goes through a member that journals it and tells the listeners.
class PlayerList {
public:
    // dir: the folder of PICKS.HFD; host: the frame (status bar, count panel, boxes); teams: the
    // pool's team table (the champion sort names the picked team). Destroying the list writes
    // nothing: its owner closes it with writePicksFile. Every change not yet in PICKS.HFD is in
    // the journal, which the next start replays.
    PlayerList(PoolHost& host, std::string dir, const TeamTable& teams);
    PlayerList(const PlayerList&) = delete;
    PlayerList& operator=(const PlayerList&) = delete;

    int count() const { return static_cast<int>(m_items.size()); }
    const Player& operator[](int index) const { return *m_items.at(static_cast<std::size_t>(index)); }
    const Player* item(int index) const { return m_items[static_cast<std::size_t>(index)]; }
    // In memory only, neither journaled nor told to the listeners (loading, benchmarks and tests'
    // set-up); the commands use storeEntry and deletePlayer. An entry's Id never changes once it
    // is in the list.
    const Player* add(const Player& entry);  // appends a copy and returns it
    void clear();                            // removes every entry (they stay readable)
    // The entry to change in memory the same way, bypassing the journal and the listeners: tests'
    // and benchmarks' set-up only. From then on the list no longer knows which entries wait for
    // scoring nor that it is in standings order: every scoring pass walks and counts as whole.
    Player& unjournaledEntry(int index);

    // Where the changes are told (the pool session's listeners); none tells nobody.
    void setEvents(PoolEvents* events) { m_events = events; }

    // Loads PICKS.HFD, then replays the journal of changes a run that ended without closing left,
    // and folds them into PICKS.HFD. True when PICKS.HFD was read in full. A file that exists but
    // could not be read is reported and kept (see keepUnreadableFile); a missing file shows the
    // quick tip; a torn last record always shows it too, naming the copy of the file kept in the
    // pool's folder. A journal of another PICKS.HFD is moved aside and reported, never replayed.
    bool loadPlayers();
    bool loadPlayersFromBytes(const unsigned char* data, std::size_t size);
    // For a run that only reads the pool: PICKS.HFD and the changes its journal holds, in memory,
    // with no file written, moved or cut and nothing shown; the list is never written back.
    // Throws a HoopError saying why the pool cannot be read so (a file that cannot be read, a
    // damaged journal).
    void loadUnchanged();
    // written: set to what the new file holds (for the journal's header); beforeCommit: told the
    // same just before the new file replaces the old one.
    bool savePlayersTo(const std::string& path, FileGuard* guard = nullptr, JournalBase* written = nullptr,
                       const std::function<void(const JournalBase&)>& beforeCommit = {}) const;
    std::string picksBytes() const;  // the file content for the current list
    // Writes the program's PICKS.HFD now and removes the journal: how the list is closed. When PICKS.HFD or PICKS.JNL
    // is no longer the file this run loaded or last wrote (another program replaced or changed it), neither is touched:
    // the list is saved to a new file beside them and a FileChangedError says so.
    void writePicksFile();
    const std::string& dataDir() const { return m_dir; }
    std::string picksPath() const;
    // How PICKS.HFD was found at start-up: Unreadable means the list does not hold the pool's
    // participants, so nothing may be backed up from it.
    ReadStatus picksLoadStatus() const { return m_loadStatus; }
    void setReadFunction(ReadFunction read) { m_read = read; }  // the file-reading seam (tests)
    // The settings of each scoring pass; without one the defaults score.
    void setScoringSource(std::function<ScoringValues()> source) { m_scoringSource = std::move(source); }

    // Changes that reach the disk (the journal) before they return; a failure throws a HoopError
    // and leaves the list as it was.
    // Stores a sheet: the first entry with its id gets its name, tiebreaker, flags and picks (its
    // points stay until it is rescored), or it is added at the end. rescore marks it Modified, and
    // the listeners hear that its points are due for a scoring pass.
    const Player* storeEntry(const Player& entry, bool rescore);
    // A run of changes that waits for the disk once, at its end, and is told to the listeners
    // once, as one change of the list (an import).
    class Batch {
    public:
        explicit Batch(PlayerList& players) : m_players(players), m_hold(players.m_events)
        {
            m_players.m_journal.beginBatch();
        }
        ~Batch();
        void finish();  // throws when the disk refused the batch
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        PlayerList& m_players;
        PoolEvents::Hold m_hold;  // released after the journal's batch ends
        bool m_finished = false;
    };

    int indexOfId(std::int32_t id) const;
    int indexOfEntry(const Player* entry) const;  // -1 when it is no longer in the list
    // Deletes the entry with this id; an open sheet of it is the caller's to check first. Throws
    // when there is none.
    void deletePlayer(std::int32_t id);
    // Pool, New: removes every entry but those whose ids are in keep, the sheets open in the
    // windows (one box for each entry kept), as one journal record and one pass over the list.
    void deleteAllPlayers(const std::vector<std::int32_t>& keep = {});
    void updatePlayerCount();
    int participantCount() const { return count() - (hasResults() ? 1 : 0); }
    // Whether the list holds the results entry; follows the entries.
    bool hasResults() const { return m_resultsCount > 0; }

    ::SortKey sortKey() const { return m_sortKey; }
    bool sortAscending() const { return m_sortAscending; }
    void setSort(::SortKey key, bool ascending)
    {
        m_sortKey = key;
        m_sortAscending = ascending;
        ++m_orderRevision;
    }
    int comparePlayers(const Player& a, const Player& b) const;
    void sort();  // in place, by comparePlayers

    // After sort(), the list stays in standings order but for the entries stored for scoring
    // since, until something else changes an entry, the order or the sort; orderRevision() then
    // changes. Such an entry, once rescored, is put in its place by placeEntry.
    std::uint64_t orderRevision() const { return m_orderRevision; }
    // Moves the entry at index to where a stable sort of the list would put it: after the entries
    // that come before it, before those that come after it, and among its equals on the side it
    // came from. Every other entry must be in order. Returns its new index.
    int placeEntry(int index);
    // What the last scoring pass scored: every entry (whole), or only these, in list order.
    bool lastPassWasWhole() const { return m_lastPassWhole; }
    const std::vector<const Player*>& lastPassEntries() const { return m_lastPass; }

    // A scoring pass: scores the entries marked Modified (every one when the results were), then
    // tells the listeners. False, with nothing scored or told, when the list is empty or holds no
    // results. Scoring is lazy: the standings window asks for a pass when stored points are due,
    // the View Standings command when the organiser asks.
    bool updateStandings();

private:
    Player& append();                         // a new empty entry at the end of the list
    Player& insertCopy(const Player& entry);  // appends a copy, indexed
    Player* applyStore(const Player& entry, bool rescore);
    void tell(const PoolEvent& event) const
    {
        if (m_events) m_events->publish(event);
    }
    void applyDelete(int index);
    void applyClear(const std::unordered_set<std::int32_t>& kept);
    void replayJournal(const JournalBase& base);
    void notePicksOnDisk(const JournalBase& base);  // PICKS.HFD as this run loaded or wrote it
    void savePicksFile();                           // PICKS.HFD from the list; the journal then goes
    std::string changedOnDisk() const;              // the file another program changed, if any
    [[noreturn]] void refuseToWrite(const std::string& changed);
    void applyJournalRecord(const Journal::Record& record);

    // Entries live in blocks that never move, so a removed entry stays readable. Blocks grow
    // with the list, from a few entries to a thousand.
    static constexpr std::size_t MaxBlockSize = 1024;

    void counted(Player& entry, int change);  // keeps the id index and the results count
    void markDue(Player& entry);              // its points wait for the next scoring pass
    void reindex();                           // the id index and results count from the entries
    template <class Key> void sortByKey(std::size_t keyOffset, Key key);

    PoolHost& m_host;
    PoolEvents* m_events = nullptr;
    std::string m_dir;
    const TeamTable& m_teams;
    std::vector<std::unique_ptr<Player[]>> m_blocks;
    std::size_t m_blockUsed = 0;
    std::size_t m_blockSize = 0;
    std::vector<Player*> m_items;
    ReadStatus m_loadStatus = ReadStatus::Missing;
    FileGuard m_picksGuard;
    FileGuard m_journalGuard;
    ReadFunction m_read = nullptr;
    std::function<ScoringValues()> m_scoringSource;
    Journal m_journal;
    FileStamp m_picksStamp;  // PICKS.HFD as this run loaded or last wrote it
    bool m_picksStampKnown = false;
    int m_resultsCount = 0;
    ::SortKey m_sortKey = ::SortKey::Total;  // descending by total, the standings' start
    bool m_sortAscending = false;
    IdIndex m_index;  // kept up to date with every change, loading included
    // The entries marked for scoring by the list since the last pass. Once an entry was handed
    // out for set-up, anything may have been marked or changed, so every pass walks them all.
    std::vector<Player*> m_due;
    bool m_handedOut = false;
    std::vector<const Player*> m_lastPass;
    bool m_lastPassWhole = true;
    std::uint64_t m_orderRevision = 0;
};

inline const std::string JournalKeptNote =
    "Every saved change is kept in PICKS.JNL beside it and comes back at the next start.";

// Closing refused to write over a data file that another program replaced or changed.
class FileChangedError : public HoopError {
public:
    using HoopError::HoopError;
};

// Record layout of PICKS.HFD.
void encodePlayer(const Player& entry, unsigned char* record);
void decodePlayer(const unsigned char* record, Player& entry);

// A new participant id from source (uniformly 0..999,999,998), drawn again while it is 0 or
// already used.
using IdSource = std::function<std::int32_t()>;
std::int32_t newPlayerId(const PlayerList& players, const IdSource& source);
// The program's source: a generator seeded from the clock.
IdSource clockIdSource();
