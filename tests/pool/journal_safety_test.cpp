// The journal belongs to one PICKS.HFD: a journal of another is kept aside and never replayed;
// only a save cut short is dropped quietly; a torn PICKS.HFD always says so; closing never writes
// over files another program replaced; Pool New is one record.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/pool/errors.h"
#include "core/pool/journal.h"
#include "core/pool/players.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "pool_samples.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using ::testing::HasSubstr;

namespace {
std::vector<std::string> filesNamed(const std::string& dir, const std::string& prefix)
{
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(dir)) {
        const std::string name = item.path().filename().string();
        if (name.rfind(prefix, 0) == 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A run on dir that loads the pool, makes its changes and is killed (nothing written at the end).
void killedRun(const std::string& dir, const std::function<void(PlayerList&)>& changes)
{
    RecordingHost host;
    TeamTable teams;
    PlayerList run(host, dir, teams);
    run.loadPlayers();
    changes(run);
}

struct Loaded {
    RecordingHost host;
    TeamTable teams;
    PlayerList list;
    explicit Loaded(const std::string& dir) : list(host, dir, teams) { list.loadPlayers(); }
};
}  // namespace

// A journal that cannot show it extends this PICKS.HFD is moved aside whole and named; PICKS.HFD
// is folded from nothing of it.
TEST(JournalOfAnotherPool, IsMovedAsideReportedAndNeverReplayed)
{
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> make;  // leaves PICKS.HFD (ids 1, 2) and a PICKS.JNL in the folder
        const char* said;
    };
    const auto store = [](std::int32_t id) {
        return [id](PlayerList& l) { l.storeEntry(makeEntry(id, "Stranger"), true); };
    };
    const std::vector<Case> cases = {
        {"made beside another pool's PICKS.HFD",
         [&](const TempDir& d) {
             TempDir other;
             other.write(PicksFileName, records({7, 8, ResultsId}));
             killedRun(other.path(), store(9));
             d.write(PicksFileName, records({1, 2}));
             d.write(JournalFileName, other.read(JournalFileName));
         },
         "holds changes to another PICKS.HFD"},
        {"left beside a PICKS.HFD put back from a copy",
         [&](const TempDir& d) {
             d.write(PicksFileName, records({1, 2, 3}));
             killedRun(d.path(), store(9));
             d.write(PicksFileName, records({1, 2}));
         },
         "holds changes to another PICKS.HFD"},
        {"of an earlier version, without a header",
         [&](const TempDir& d) {
             d.write(PicksFileName, records({1, 2}));
             unsigned char payload[1 + PickRecordSize] = {1};
             encodePlayer(makeEntry(9, "Stranger"), payload + 1);
             d.write(JournalFileName, encodeJournalRecord(Journal::Kind::Store, payload, sizeof payload));
         },
         "was left by an earlier version"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir d;
        c.make(d);
        const std::string journal = d.read(JournalFileName);
        {
            MemorySettings settings;
            RecordingHost quiet;
            PoolSession session(quiet, d.path(), settings);
            EXPECT_THAT([&] { session.loadUnchanged(); },
                        ::testing::ThrowsMessage<HoopError>(HasSubstr("does not extend the PICKS.HFD beside it")));
        }
        Loaded next(d.path());
        EXPECT_EQ(ids(next.list), (std::vector<std::int32_t>{1, 2}));
        ASSERT_EQ(next.host.errors.size(), 1u);
        EXPECT_THAT(next.host.errors[0], HasSubstr(c.said));
        const auto kept = filesNamed(d.path(), "PICKS.JNL.foreign-");
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_THAT(next.host.errors[0], HasSubstr("moved aside unchanged as " + kept[0]));
        EXPECT_EQ(d.read(kept[0]), journal);
        EXPECT_FALSE(d.exists(JournalFileName));
        EXPECT_EQ(d.read(PicksFileName), records({1, 2}));

        // The next run's journal names this PICKS.HFD, and comes back after a kill.
        next.list.storeEntry(makeEntry(4, "Own"), true);
        Loaded again(d.path());
        EXPECT_EQ(ids(again.list), (std::vector<std::int32_t>{1, 2, 4}));
        EXPECT_TRUE(again.host.errors.empty());
    }
}

// Killed after PICKS.HFD was replaced but before its journal was removed: the journal's checkpoint
// names the new file, so nothing is reported and nothing applied twice.
TEST(JournalOfThisPool, FoldedInAlreadyIsRemovedQuietly)
{
    TempDir d;
    d.write(PicksFileName, records({1, 2}));
    {
        RecordingHost host;
        TeamTable teams;
        PlayerList run(host, d.path(), teams);
        run.loadPlayers();
        run.storeEntry(makeEntry(3, "P3"), true);
        run.deletePlayer(1);
        fs::create_hard_link(d.file(JournalFileName), d.file("journal as the kill left it"));
        run.writePicksFile();
    }
    fs::rename(d.file("journal as the kill left it"), d.file(JournalFileName));
    Loaded next(d.path());
    EXPECT_EQ(ids(next.list), (std::vector<std::int32_t>{2, 3}));
    EXPECT_TRUE(next.host.errors.empty()) << next.host.errors.at(0);
    EXPECT_TRUE(filesNamed(d.path(), "PICKS.JNL.").empty());
    EXPECT_FALSE(d.exists(JournalFileName));
}

// Only a strict prefix of one record at the very end is a save cut short. Three stores, then two
// deletions of 17 bytes each; the damage is done to the journal's bytes.
TEST(JournalDamage, OnlyASaveCutShortIsDroppedQuietly)
{
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        std::vector<std::int32_t> restored;
        bool keptAside;
    };
    const std::size_t deletion = 17;
    const std::vector<Case> cases = {
        {"the last deletion cut short", [&](std::string& j) { j.resize(j.size() - 5); }, {2, 3}, false},
        {"one bit of the first deletion, the second sound after it",
         [&](std::string& j) { j[j.size() - 2 * deletion + 6] ^= 1; },
         {1, 2, 3},
         true},
        {"one bit of the complete last record", [&](std::string& j) { j[j.size() - 3] ^= 4; }, {2, 3}, true},
        {"a stray byte before the last record",
         [&](std::string& j) { j.insert(j.size() - deletion, 1, 'x'); },
         {2, 3},
         true},
        {"junk after the last record", [](std::string& j) { j += "junk"; }, {3}, true},
        {"nothing", [](std::string&) {}, {3}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir d;
        killedRun(d.path(), [](PlayerList& l) {
            for (std::int32_t id : {1, 2, 3}) l.storeEntry(makeEntry(id, "P"), true);
            l.deletePlayer(1);
            l.deletePlayer(2);
        });
        std::string journal = d.read(JournalFileName);
        c.damage(journal);
        d.write(JournalFileName, journal);

        Loaded next(d.path());
        EXPECT_EQ(ids(next.list), c.restored);
        const auto kept = filesNamed(d.path(), "PICKS.JNL.damaged-");
        ASSERT_EQ(kept.size(), c.keptAside ? 1u : 0u);
        ASSERT_EQ(next.host.errors.size(), c.keptAside ? 1u : 0u);
        if (c.keptAside) {
            EXPECT_THAT(next.host.errors[0], HasSubstr("is damaged after its first"));
            EXPECT_THAT(next.host.errors[0], HasSubstr(kept[0]));
            EXPECT_EQ(d.read(kept[0]), journal);
        }
        EXPECT_FALSE(d.exists(JournalFileName)) << "folded into PICKS.HFD";
    }
}

// The tip is shown with or without a journal, names the copy, and the copy lies in the pool's
// folder even when PICKS.HFD is a link to a file elsewhere. A torn results entry is named.
TEST(TornPicksFile, AlwaysSaysSoAndKeepsACopyInThePoolFolder)
{
    for (const bool journal : {false, true}) {
        SCOPED_TRACE(journal ? "with a journal" : "without");
        TempDir pool, elsewhere;
        const std::string torn = records({1, 2}) + records({ResultsId}).substr(0, 100);
        elsewhere.write("picks.dat", torn);
        fs::create_symlink(elsewhere.file("picks.dat"), pool.file(PicksFileName));
        if (journal) killedRun(pool.path(), [](PlayerList& l) { l.storeEntry(makeEntry(3, "Cy"), true); });

        Loaded next(pool.path());
        const std::vector<std::int32_t> restored =
            journal ? std::vector<std::int32_t>{1, 2, 3} : std::vector<std::int32_t>{1, 2};
        EXPECT_EQ(ids(next.list), restored);
        ASSERT_EQ(next.host.information.size(), 1u);
        const std::string& tip = next.host.information[0];
        EXPECT_EQ(tip.rfind(PlayersQuickTip, 0), 0u);
        const std::size_t named = tip.find("copied as PICKS.HFD.damaged-");
        ASSERT_NE(named, std::string::npos) << tip;
        const std::string copy = tip.substr(named + 10, tip.find(' ', named + 10) - named - 10);
        EXPECT_THAT(tip, HasSubstr(copy + " in the same folder"));
        EXPECT_EQ(pool.read(copy), torn);
        EXPECT_TRUE(filesNamed(elsewhere.path(), "picks.dat.damaged-").empty());
        EXPECT_THAT(tip, HasSubstr("it held the results, which must be entered again"));
        EXPECT_EQ(next.host.beeps, 1);
    }
}

// Closing writes PICKS.HFD only over the files this run loaded and wrote; another program's
// replacement stays, this run's list is saved beside it, and its journal is kept.
TEST(ClosingOverChangedFiles, IsRefusedAndSaysSo)
{
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> change;
        const char* changed;  // the file named, or empty when closing writes
    };
    const std::vector<Case> cases = {
        {"untouched", [](const TempDir&) {}, ""},
        {"PICKS.HFD replaced",
         [](const TempDir& d) {
             d.write("new", records({5}));
             fs::rename(d.file("new"), d.file(PicksFileName));
         },
         "PICKS.HFD"},
        {"PICKS.HFD rewritten in place", [](const TempDir& d) { d.write(PicksFileName, records({5})); }, "PICKS.HFD"},
        {"PICKS.JNL replaced",
         [](const TempDir& d) {
             d.write("new", d.read(JournalFileName));
             fs::rename(d.file("new"), d.file(JournalFileName));
         },
         "PICKS.JNL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir d;
        d.write(PicksFileName, records({1, 2}));
        RecordingHost host;
        MemorySettings settings;
        PoolSession session(host, d.path(), settings);
        session.loadPlayers();
        session.players().storeEntry(makeEntry(3, "P3"), true);
        c.change(d);
        const std::string disk = d.read(PicksFileName);
        const std::string journal = d.read(JournalFileName);

        std::string said;
        try {
            session.closePool();
        } catch (const HoopError& error) {
            said = error.what();
        }
        if (*c.changed == '\0') {
            EXPECT_EQ(said, "");
            EXPECT_EQ(d.read(PicksFileName), records({1, 2, 3}));
            EXPECT_FALSE(d.exists(JournalFileName));
            continue;
        }
        EXPECT_THAT(said, HasSubstr("The file " + d.file(c.changed) + " was replaced or changed by another program"));
        EXPECT_EQ(d.read(PicksFileName), disk) << "not written over";
        EXPECT_EQ(d.read(JournalFileName), journal) << "not removed";
        const auto kept = filesNamed(d.path(), "PICKS.HFD.kept-");
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_THAT(said, HasSubstr("saved as " + kept[0]));
        EXPECT_EQ(d.read(kept[0]), records({1, 2, 3}));
        // A replaced journal takes no more of this run's saves.
        if (std::string(c.changed) == JournalFileName) {
            EXPECT_THROW(session.players().storeEntry(makeEntry(4, "Di"), true), HoopError);
        }
    }
}

// Pool New on a list with an open sheet: one box, one journal record, and after a kill the next
// start comes back to the same list.
TEST(PoolNew, IsOneRecordThatAKillDoesNotUndo)
{
    TempDir d;
    std::string picks;
    for (std::int32_t id = 1; id <= 500; ++id) picks += records({id});
    d.write(PicksFileName, picks + records({ResultsId}));
    std::size_t journalSize = 0;
    {
        RecordingHost host;
        TeamTable teams;
        PlayerList run(host, d.path(), teams);
        run.loadPlayers();
        run.deleteAllPlayers({250});  // its sheet is open
        EXPECT_EQ(ids(run), std::vector<std::int32_t>{250});
        EXPECT_EQ(host.information, std::vector<std::string>{SheetOpenMessage});
        EXPECT_EQ(host.countText, "Players: 1");
        EXPECT_FALSE(run.hasResults());
        journalSize = d.read(JournalFileName).size();
    }
    const unsigned char keptOne[8] = {1, 0, 0, 0, 250, 0, 0, 0};
    EXPECT_EQ(journalSize, JournalHeaderSize + encodeJournalRecord(Journal::Kind::Clear, keptOne, 8).size());
    Loaded next(d.path());
    EXPECT_EQ(ids(next.list), std::vector<std::int32_t>{250});
    EXPECT_FALSE(next.list.hasResults());
    EXPECT_EQ(d.read(PicksFileName), records({250}));
}
