#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include "pool/errors.h"
#include "pool/players.h"
#include "pool_samples.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace {

void PutLE(std::string& r, std::size_t at, std::int32_t v)
{
    for (int b = 0; b < 4; ++b) r[at + std::size_t(b)] = char((std::uint32_t(v) >> (8 * b)) & 0xFF);
}

// A record built by hand from the documented layout.
std::string PickRecord(std::int32_t id, const std::string& name, const PickArray& picks = {}, std::uint8_t paid = 0,
                       std::uint8_t complete = 0, const std::string& tiebreaker = "")
{
    std::string r(PickRecordSize, '\0');
    PutLE(r, 0, id);
    r[4] = char(name.size());
    r.replace(5, name.size(), name);
    r[30] = char(paid);
    r[31] = char(complete);
    r[32] = char(tiebreaker.size());
    r.replace(33, tiebreaker.size(), tiebreaker);
    for (int g = 1; g <= GameCount; ++g) PutLE(r, 48 + 4 * std::size_t(g - 1), picks[g]);
    return r;
}

class PlayerList : public ::testing::Test {
protected:
    std::vector<std::int32_t> ids() const
    {
        std::vector<std::int32_t> out;
        for (int i = 0; i < players.Count(); ++i) out.push_back(players[i].Id);
        return out;
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < players.Count(); ++i) out.push_back(players[i].Name.str());
        return out;
    }
    TempDir dir;
    RecordingHost host;
    TPlayers players{host, dir.path()};
};

TEST_F(PlayerList, SavedRecordsFollowTheLayoutByteForByte)
{
    std::mt19937 rng(11);
    const PickArray picks = RandomBracket(rng);
    TPlayer entry = MakeEntry(123456789, "Pat O'Brien", picks);
    entry.Paid = 1;
    entry.Complete = 1;
    entry.Tiebreaker = "147";
    entry.Total = 99;  // points and Modified are not stored
    entry.Modified = 1;
    players.Add(entry);
    players.Add(MakeEntry(ResultsId, ResultsName));
    ASSERT_TRUE(players.SavePlayersTo(dir.file("out.hfd")));
    EXPECT_EQ(dir.read("out.hfd"), PickRecord(123456789, "Pat O'Brien", picks, 1, 1, "147") + PickRecord(-1, "RESULTS"));
}

TEST_F(PlayerList, LoadThenSaveIsByteIdentical)
{
    std::mt19937 rng(5);
    std::string bytes;
    for (int i = 0; i < 40; ++i)
        bytes += PickRecord(i == 17 ? -1 : 1000 + i * 7919, "Name " + std::to_string(i), RandomBracket(rng, i % 64),
                            std::uint8_t(i % 2), std::uint8_t(i % 3 == 0), std::to_string(i * 3));
    dir.write(PicksFileName, bytes);
    EXPECT_TRUE(players.LoadPlayers());
    ASSERT_EQ(players.Count(), 40);
    players.SavePlayersTo(dir.file("again.hfd"));
    EXPECT_EQ(dir.read("again.hfd"), bytes);
}

TEST_F(PlayerList, DestroyingTheListWritesThePicksFile)
{
    const std::string bytes = PickRecord(8, "Zoe") + PickRecord(-1, "RESULTS") + PickRecord(3, "Al");
    dir.write(PicksFileName, bytes);
    {
        TPlayers list(host, dir.path());
        list.LoadPlayers();
        dir.write(PicksFileName, "");
    }
    EXPECT_EQ(dir.read(PicksFileName), bytes);
}

TEST_F(PlayerList, ResultsAndParticipantLoad)
{
    dir.write(PicksFileName, PickRecord(5, "Sam") + PickRecord(-1, "RESULTS"));
    EXPECT_TRUE(players.LoadPlayers());
    EXPECT_EQ(ids(), (std::vector<std::int32_t>{5, -1}));
    EXPECT_EQ(players.HasResults, 1);
    EXPECT_EQ(players[0].Modified, 0);
    EXPECT_EQ(players[1].Modified, 1);
    EXPECT_EQ(host.countText, "Players: 1");
    EXPECT_TRUE(host.information.empty());
    EXPECT_EQ(host.beeps, 0);
}

TEST_F(PlayerList, PartialTailKeepsWholeRecordsAndShowsTheQuickTip)
{
    for (std::size_t tail : {1u, 100u, 299u}) {
        SCOPED_TRACE(tail);
        TPlayers list(host, dir.path());
        list.SetWriteOnDestroy(false);
        host.information.clear();
        dir.write(PicksFileName, PickRecord(5, "Sam") + PickRecord(6, "Kim") + std::string(tail, '\x07'));
        EXPECT_FALSE(list.LoadPlayers());
        EXPECT_EQ(list.Count(), 2);
        EXPECT_EQ(list[1].Name.str(), "Kim");
        EXPECT_EQ(host.information, std::vector<std::string>{"Quick Tip: To add participants, select [Player], [New Player]"});
        EXPECT_EQ(host.countText, "Players: 2");
    }
}

TEST_F(PlayerList, MissingFileShowsTheQuickTipAndCountsNobody)
{
    EXPECT_FALSE(players.LoadPlayers());
    EXPECT_EQ(players.Count(), 0);
    EXPECT_EQ(host.information, std::vector<std::string>{PlayersQuickTip});
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(host.countText, "Players: 0");
}

TEST_F(PlayerList, OddBytesLoadAsStoredWithoutHarm)
{
    PickArray picks{};
    picks[1] = 117;
    picks[2] = -5;
    picks[33] = 2147483647;
    picks[63] = 999;
    std::string r = PickRecord(9, "ABCDEFGHIJKLMNOPQRSTUVWXY", picks, 7, 200, "123456789012");
    r[4] = char(255);  // length bytes beyond their fields
    r[32] = char(13);
    dir.write(PicksFileName, r);
    EXPECT_TRUE(players.LoadPlayers());
    const TPlayer& p = players[0];
    EXPECT_EQ(p.Name.str(), "ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_EQ(p.Tiebreaker.str(), "123456789012");
    EXPECT_EQ(p.Paid, 7);
    EXPECT_EQ(p.Picks[1], 117);
    EXPECT_EQ(p.Picks[2], -5);
    EXPECT_EQ(p.Picks[33], 2147483647);
    EXPECT_EQ(TeamName(p.Picks[63]), "");
    // An odd champion sorts as the empty name.
    players.Add(MakeEntry(10, "Other"));
    players.SortKey = 3;
    players.SortAscending = 1;
    EXPECT_EQ(players.ComparePlayers(players[0], players[1]), 0);
}

// Every write goes to a temp file first: a failure leaves the previous file whole.
class AtomicWrite : public PlayerList {
protected:
    void SetUp() override
    {
        players.SetWriteOnDestroy(false);
        m_old = PickRecord(1, "Old");
        dir.write(PicksFileName, m_old);
        FillRandomPool(players, 20000);  // about 6 MB
    }
    void expectOldFileAlone()
    {
        EXPECT_EQ(dir.read(PicksFileName), m_old);
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
        EXPECT_EQ(files, 1u) << "the temp file is removed";
    }
    std::string m_old;
};

TEST_F(AtomicWrite, FailureMidWayLeavesTheOldFileWhole)
{
    // A file size limit makes the write fail part way (works for root too, unlike permissions).
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1 << 20;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string message;
    try {
        players.SavePlayersTo(dir.file(PicksFileName));
    } catch (const HoopError& e) {
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(message.find(dir.file(PicksFileName)), std::string::npos) << message;
    EXPECT_NE(message.find("File too large"), std::string::npos) << message;
    expectOldFileAlone();
}

TEST_F(AtomicWrite, UnwritableFolderNamesTheFile)
{
    const std::string missing = dir.file("gone/" + PicksFileName);
    try {
        players.SavePlayersTo(missing);
        FAIL() << "no error";
    } catch (const HoopError& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("No such file or directory"), std::string::npos) << e.what();
    }
    expectOldFileAlone();
}

TEST_F(PlayerList, DeletingTheEntryOfAnOpenSheetIsRefused)
{
    players.Add(MakeEntry(5, "Sam"));
    players.Add(MakeEntry(6, "Kim"));
    host.openSheets = {0, 6};
    EXPECT_FALSE(players.DeletePlayer(6));
    EXPECT_EQ(host.information,
              std::vector<std::string>{"Can not delete this sheet, it is currently open. Close it first and try again."});
    EXPECT_EQ(ids(), (std::vector<std::int32_t>{5, 6}));
    host.openSheets = {0};
    EXPECT_TRUE(players.DeletePlayer(6));
    EXPECT_EQ(ids(), std::vector<std::int32_t>{5});
    EXPECT_EQ(host.countText, "Players: 1");
}

TEST_F(PlayerList, DeletingTheResultsClearsHasResults)
{
    players.Add(MakeEntry(5, "Sam"));
    players.Add(MakeEntry(ResultsId, ResultsName));
    players.HasResults = 1;
    players.UpdatePlayerCount();
    EXPECT_TRUE(players.DeletePlayer(ResultsId));
    EXPECT_EQ(players.HasResults, 0);
    EXPECT_EQ(host.countText, "Players: 1");
}

TEST_F(PlayerList, DeletingAnUnknownIdFailsWithTheListIndexError)
{
    players.Add(MakeEntry(5, "Sam"));
    players.UpdatePlayerCount();
    host.countText = "unchanged";
    try {
        players.DeletePlayer(ResultsId);
        FAIL() << "no error";
    } catch (const HoopError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
    }
    EXPECT_EQ(ids(), std::vector<std::int32_t>{5});
    EXPECT_EQ(host.countText, "unchanged");
}

TEST_F(PlayerList, RemovedEntryStaysReadable)
{
    players.Add(MakeEntry(5, "Sam"));
    const TPlayer* kept = players.Item(0);
    ASSERT_TRUE(players.DeletePlayer(5));
    for (int i = 0; i < 1000; ++i) players.Add(MakeEntry(100 + i, "Filler"));  // growth must not move it
    EXPECT_EQ(kept->Name.str(), "Sam");
    players.Clear();
    EXPECT_EQ(kept->Id, 5);
}

TEST_F(PlayerList, CountTexts)
{
    struct Row {
        int participants;
        bool results;
        const char* text;
    };
    for (const Row& r : {Row{3, true, "Players: 3"}, Row{3, false, "Players: 3"}, Row{0, true, "Players: 0"},
                         Row{0, false, "Players: 0"}}) {
        players.Clear();
        for (int i = 0; i < r.participants; ++i) players.Add(MakeEntry(i + 1, "P"));
        if (r.results) {
            players.Add(MakeEntry(ResultsId, ResultsName));
            players.HasResults = 1;
        }
        players.UpdatePlayerCount();
        EXPECT_EQ(host.countText, r.text);
    }
}

// The standings order.
class Standings : public PlayerList {
protected:
    void SetUp() override
    {
        players.SetWriteOnDestroy(false);
        ClearTeams();
    }
    void TearDown() override { ClearTeams(); }
    void addTotals(std::initializer_list<std::pair<const char*, int>> rows)
    {
        for (auto [name, total] : rows) {
            TPlayer e = MakeEntry(players.Count() + 1, name);
            e.Total = total;
            e.Potential = 100 - total;
            players.Add(e);
        }
    }
    void sortBy(int key, bool ascending)
    {
        players.SortKey = std::uint8_t(key);
        players.SortAscending = ascending;
        players.Sort();
    }
};

TEST_F(Standings, TiesAndBothDirections)
{
    addTotals({{"ten", 10}, {"first25", 25}, {"second25", 25}});
    sortBy(0, false);
    EXPECT_EQ(players[2].Name.str(), "ten");
    EXPECT_EQ(players[0].Total, 25);
    EXPECT_EQ(players[1].Total, 25);
    sortBy(0, true);
    EXPECT_EQ(players[0].Name.str(), "ten");
    sortBy(1, true);  // potential: 75, 75, 90
    EXPECT_EQ(players[2].Name.str(), "ten");
    sortBy(1, false);
    EXPECT_EQ(players[0].Name.str(), "ten");
}

TEST_F(Standings, NamesCompareByteWise)
{
    addTotals({{"apple", 0}, {"Zed", 0}, {"Ann", 0}, {"An", 0}, {"\xC9mile", 0}});
    sortBy(2, true);
    EXPECT_EQ(names(), (std::vector<std::string>{"An", "Ann", "Zed", "apple", "\xC9mile"}));
    sortBy(2, false);
    EXPECT_EQ(names(), (std::vector<std::string>{"\xC9mile", "apple", "Zed", "Ann", "An"}));
}

TEST_F(Standings, MissingChampionIsTheEmptyName)
{
    TeamEntry(1, 1).name = "Bears";
    TeamEntry(2, 1).name = "Aces";
    PickArray bears{}, aces{};
    bears[63] = 101;
    aces[63] = 201;
    players.Add(MakeEntry(1, "b", bears));
    players.Add(MakeEntry(2, "none"));
    players.Add(MakeEntry(3, "a", aces));
    sortBy(3, true);
    EXPECT_EQ(names(), (std::vector<std::string>{"none", "a", "b"}));
    sortBy(3, false);
    EXPECT_EQ(names(), (std::vector<std::string>{"b", "a", "none"}));
}

TEST_F(Standings, SortIsAPermutationInOrderForEveryKey)
{
    std::mt19937 rng(42);
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s) TeamEntry(r, s).name = std::string(1, char('A' + rng() % 5));
    for (int i = 0; i < 3000; ++i) {
        TPlayer e = MakeEntry(i + 1, std::string(1 + rng() % 3, char('a' + rng() % 3)), RandomBracket(rng));
        e.Total = int(rng() % 7);  // many ties
        e.Potential = int(rng() % 50);
        players.Add(e);
    }
    players.Add(MakeEntry(ResultsId, ResultsName));  // takes part like any entry
    for (int key = 0; key < 4; ++key)
        for (bool ascending : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "key " << key << (ascending ? " asc" : " desc"));
            sortBy(key, ascending);
            std::vector<std::int32_t> seen = ids();
            std::sort(seen.begin(), seen.end());
            EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
            EXPECT_EQ(seen.size(), 3001u);
            for (int i = 1; i < players.Count(); ++i)
                ASSERT_LE(players.ComparePlayers(players[i - 1], players[i]), 0) << "at " << i;
        }
}

TEST_F(Standings, SavedFileFollowsTheLastSort)
{
    addTotals({{"Cy", 1}, {"Al", 2}, {"Bo", 3}});
    sortBy(2, true);
    players.SavePlayersTo(dir.file(PicksFileName));
    const std::string bytes = dir.read(PicksFileName);
    EXPECT_EQ(bytes.substr(5, 2) + bytes.substr(305, 2) + bytes.substr(605, 2), "AlBoCy");
}

// New ids: scripted draws.
std::vector<std::int32_t> g_draws;
std::size_t g_next = 0;
std::int32_t ScriptedId() { return g_draws.at(g_next++); }

TEST_F(PlayerList, NewIdRedrawsOnZeroAndOnAUsedId)
{
    players.SetWriteOnDestroy(false);
    players.Add(MakeEntry(5, "Sam"));
    players.Add(MakeEntry(ResultsId, ResultsName));
    g_draws = {0, 5, 0, 999'999'998};
    g_next = 0;
    SetIdSource(&ScriptedId);
    EXPECT_EQ(NewPlayerId(players), 999'999'998);
    EXPECT_EQ(g_next, 4u);
    SetIdSource(nullptr);
    for (int i = 0; i < 100; ++i) {
        const std::int32_t id = NewPlayerId(players);
        EXPECT_TRUE(id > 0 && id <= 999'999'998 && id != 5) << id;
    }
}

}  // namespace
