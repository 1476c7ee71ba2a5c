#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include "core/pool/errors.h"
#include "core/pool/players.h"
#include "pool_samples.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace {

// The stored fields of an entry: id, name, paid, complete, tiebreaker, picks.
using Fields = std::tuple<std::int32_t, std::string, int, int, std::string, PickArray>;

Fields fieldsOf(const Player& p)
{
    return {p.id, p.name.text().bytes, p.paid, p.complete, p.tiebreaker.text().bytes, p.picks};
}

// A record built by hand from the documented layout.
std::string pickRecord(const Fields& f)
{
    const auto& [id, name, paid, complete, tiebreaker, picks] = f;
    std::string r(PickRecordSize, '\0');
    auto put = [&](std::size_t at, std::int32_t v) {
        for (int b = 0; b < 4; ++b) r[at + std::size_t(b)] = char((std::uint32_t(v) >> (8 * b)) & 0xFF);
    };
    put(0, id);
    r.replace(4, name.size() + 1, char(name.size()) + name);
    r[30] = char(paid);
    r[31] = char(complete);
    r.replace(32, tiebreaker.size() + 1, char(tiebreaker.size()) + tiebreaker);
    for (int g = 1; g <= GameCount; ++g) put(48 + 4 * std::size_t(g - 1), picks[g]);
    return r;
}
std::string pickRecord(std::int32_t id, const std::string& name) { return pickRecord({id, name, 0, 0, "", {}}); }

template <class F> auto Each(const PlayerList& list, F field)
{
    std::vector<decltype(field(list[0]))> out;
    for (int i = 0; i < list.count(); ++i) out.push_back(field(list[i]));
    return out;
}

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

class PlayerListTest : public ::testing::Test {
protected:
    void sortBy(int key, bool ascending)
    {
        players.setSort(static_cast<SortKey>(key), ascending);
        players.sort();
    }
    std::vector<std::int32_t> ids() const
    {
        return Each(players, [](const Player& p) { return p.id; });
    }
    void add(std::initializer_list<std::int32_t> idList)
    {
        for (std::int32_t id : idList) players.add(makeEntry(id, id == ResultsId ? ResultsName : "P"));
        players.updatePlayerCount();
    }
    TempDir dir;
    RecordingHost host;
    TeamTable teams;
    PlayerList players{host, dir.path(), teams};
};

// The last record holds odd bytes: they load as stored, and length bytes beyond their fields are clamped.
TEST_F(PlayerListTest, LoadedRecordsFollowTheLayoutAndClosingWritesThemBack)
{
    std::mt19937 rng(5);
    std::string bytes;
    std::vector<Fields> stored;
    for (int i = 0; i < 40; ++i) {
        stored.push_back({i == 17 ? -1 : 1000 + i * 7919, "Name " + std::to_string(i), i % 2, i % 3 == 0,
                          std::to_string(i * 3), randomBracket(rng, i % 64)});
        bytes += pickRecord(stored.back());
    }
    PickArray& odd = std::get<PickArray>(stored.back() = {9, "ABCDEFGHIJKLMNOPQRSTUVWXY", 7, 200, "123456789012", {}});
    std::tie(odd[1], odd[2], odd[33], odd[63]) = std::tuple{117, -5, 2147483647, 999};
    bytes.replace(39 * PickRecordSize, PickRecordSize, pickRecord(stored.back()));
    std::string damaged = bytes;
    std::tie(damaged[39 * PickRecordSize + 4], damaged[39 * PickRecordSize + 32]) = std::pair{char(255), char(13)};
    dir.write(PicksFileName, damaged);
    {
        PlayerList list(host, dir.path(), teams);
        EXPECT_TRUE(list.loadPlayers());
        EXPECT_EQ(Each(list, fieldsOf), stored);
        list.setSort(SortKey::Champion, false);
        EXPECT_EQ(list.comparePlayers(list[39], list[0]), 0) << "an odd champion sorts as the empty name";
        list.writePicksFile();
    }
    EXPECT_EQ(dir.read(PicksFileName), bytes);
}

TEST_F(PlayerListTest, LoadingAWholeOrPartialFileOrNone)
{
    using Loaded = std::vector<std::pair<std::int32_t, int>>;  // id, Modified
    for (int tail : {0, 1, 100, 299, -1}) {                    // -1: no file
        SCOPED_TRACE(tail);
        RecordingHost shown;
        PlayerList list(shown, dir.path(), teams);
        if (tail < 0)
            std::filesystem::remove(dir.file(PicksFileName));
        else
            dir.write(PicksFileName,
                      pickRecord(5, "Sam") + pickRecord(-1, "RESULTS") + std::string(std::size_t(tail), 7));
        EXPECT_EQ(list.loadPlayers(), tail == 0);
        EXPECT_EQ(Each(list,
                       [](const Player& p) {
                           return std::pair{p.id, int(p.modified)};
                       }),
                  (tail < 0 ? Loaded{} : Loaded{{5, 0}, {-1, 1}}));
        EXPECT_EQ(list.hasResults(), tail >= 0);
        EXPECT_EQ(shown.countText, tail < 0 ? "Players: 0" : "Players: 1");
        ASSERT_EQ(shown.information.size(), tail == 0 ? 0u : 1u);
        if (tail != 0) {
            EXPECT_EQ(shown.information[0].substr(0, PlayersQuickTip.size()),
                      "Quick Tip: To add participants, select [Player], [New Player]");
        }
        EXPECT_EQ(shown.beeps, tail != 0);
    }
}

// Every write goes to a temp file first: a failure leaves the previous file whole and names the file.
TEST_F(PlayerListTest, FailedWritesLeaveTheOldFileWhole)
{
    dir.write(PicksFileName, pickRecord(1, "Old"));
    fillRandomPool(players, 20000);  // about 6 MB
    auto expectFailure = [&](const std::string& path, const char* reason) {
        EXPECT_THAT([&] { players.savePlayersTo(path); },
                    ThrowsMessage<HoopError>(AllOf(HasSubstr(path), HasSubstr(reason))));
        EXPECT_EQ(dir.read(PicksFileName), pickRecord(1, "Old"));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "the temp file is removed";
    };
    expectFailure(dir.file("gone/" + PicksFileName), "No such file or directory");
    // A file size limit makes the write fail part way (works for root too, unlike permissions).
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit small{1 << 20, old.rlim_max};
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    expectFailure(dir.file(PicksFileName), "File too large");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
}

TEST_F(PlayerListTest, CountingAndDeleting)
{
    add({5, 6, 7});
    EXPECT_EQ(host.countText, "Players: 3");
    add({ResultsId});
    EXPECT_EQ(host.countText, "Players: 3") << "the results entry is not counted";
    const Player* removed = players.item(1);
    players.deletePlayer(6);
    EXPECT_EQ(host.countText, "Players: 2");
    players.deletePlayer(ResultsId);
    EXPECT_FALSE(players.hasResults());
    EXPECT_EQ(host.countText, "Players: 2");
    host.countText = "unchanged";
    EXPECT_THAT([&] { players.deletePlayer(ResultsId); },
                ThrowsMessage<HoopError>(::testing::StrEq("List index out of bounds (-1)")));
    EXPECT_EQ(ids(), (std::vector<std::int32_t>{5, 7}));
    EXPECT_EQ(host.countText, "unchanged");
    for (int i = 0; i < 1000; ++i) players.add(makeEntry(100 + i, "Filler"));  // growth must not move it
    players.clear();
    EXPECT_EQ(removed->id, 6) << "a removed entry stays readable";
}

// Ties stay in the order the quicksort leaves them; the missing champion is the empty name.
TEST_F(PlayerListTest, StandingsOrderByEachKeyInBothDirections)
{
    teams.entry(1, 1).name = "Bears";
    teams.entry(2, 1).name = "Aces";
    const std::tuple<int, bool, std::vector<std::string>> rows[] = {
        {0, true, {"An", "apple", "Ann", "Zed", "\xC9mile"}}, {0, false, {"\xC9mile", "Ann", "Zed", "apple", "An"}},
        {1, true, {"An", "\xC9mile", "Ann", "Zed", "apple"}}, {1, false, {"apple", "\xC9mile", "Ann", "Zed", "An"}},
        {2, true, {"An", "Ann", "Zed", "apple", "\xC9mile"}}, {2, false, {"\xC9mile", "apple", "Zed", "Ann", "An"}},
        {3, true, {"\xC9mile", "apple", "Ann", "Zed", "An"}}, {3, false, {"Zed", "An", "Ann", "\xC9mile", "apple"}},
    };
    for (const auto& [key, ascending, order] : rows) {
        players.clear();
        for (auto [name, total, potential, champion] : {std::tuple{"apple", 10, 90, 0},
                                                        {"Zed", 25, 75, 101},
                                                        {"Ann", 25, 75, 201},
                                                        {"An", 7, 60, 101},
                                                        {"\xC9mile", 30, 75, 0}}) {
            Player added = makeEntry(players.count() + 1, name);
            std::tie(added.total, added.potential, added.picks[GameCount]) = std::tuple{total, potential, champion};
            players.add(added);
        }
        sortBy(key, ascending);
        EXPECT_EQ(Each(players, [](const Player& p) { return p.name.text().bytes; }), order) << key << ascending;
    }
}

TEST_F(PlayerListTest, ALargeListEndsInOrderForEveryKeyAndIsSavedSo)
{
    std::mt19937 rng(42);
    for (int i = 0; i < 64; ++i) teams.entry(i / 16 + 1, i % 16 + 1).name = std::string(1, char('A' + rng() % 5));
    for (int i = 0; i < 3000; ++i) {
        const std::string name(1 + rng() % 3, char('a' + rng() % 3));
        Player e = makeEntry(i + 1, name, randomBracket(rng));
        std::tie(e.total, e.potential) = std::tuple{int(rng() % 7), int(rng() % 50)};  // many ties
        players.add(e);
    }
    players.add(makeEntry(ResultsId, ResultsName));  // takes part like any entry
    const std::vector<std::int32_t> before = ids();
    for (int key = 0; key < 8; ++key) {
        sortBy(key / 2, key % 2);
        const std::vector<std::int32_t> after = ids();
        EXPECT_TRUE(std::is_permutation(before.begin(), before.end(), after.begin(), after.end())) << key;
        for (int i = 1; i < players.count(); ++i)
            ASSERT_LE(players.comparePlayers(players[i - 1], players[i]), 0) << "key " << key / 2 << " at " << i;
    }
    players.savePlayersTo(dir.file(PicksFileName));
    PlayerList saved(host, dir.path(), teams);
    saved.loadPlayers();
    EXPECT_EQ(Each(saved, [](const Player& p) { return p.id; }), ids()) << "the file follows the last sort";
}

// New ids: scripted draws.
std::vector<std::int32_t> g_draws;
std::int32_t scriptedId()
{
    const std::int32_t id = g_draws.front();
    g_draws.erase(g_draws.begin());
    return id;
}

TEST_F(PlayerListTest, NewIdRedrawsOnZeroAndOnAUsedId)
{
    add({5, ResultsId});
    g_draws = {0, 5, 0, 999'999'998, 7};
    EXPECT_EQ(newPlayerId(players, &scriptedId), 999'999'998);
    EXPECT_EQ(g_draws, std::vector<std::int32_t>{7});
    const IdSource clock = clockIdSource();
    for (int i = 0; i < 100; ++i) {
        const std::int32_t id = newPlayerId(players, clock);
        EXPECT_TRUE(id > 0 && id <= 999'999'998 && id != 5) << id;
    }
}

}  // namespace
