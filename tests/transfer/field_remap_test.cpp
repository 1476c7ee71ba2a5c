// A new field on a pool that holds picks: picks name teams by their place in the bracket, so a
// field that moves teams is refused unless the picks move with them, and then every sheet still
// names the same teams and scores the same. Every row of a field is checked before any is taken.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "core/commands/batch_commands.h"
#include "core/commands/command_line.h"
#include "core/transfer/field_import.h"
#include "pool/pool_samples.h"
#include "transfer_fixture.h"

namespace {
const std::vector<std::string> Swapped = {"Midwest", "West", "South", "East"};  // the same semi-finals

// The pool: the field of fieldFile(), 25 random sheets and the first two rounds' results, on disk.
void makePool(const TempDir& dir)
{
    TestPool pool(dir);
    storeImportedField(*pool.session, readFieldImport(fieldFile()));
    std::mt19937 rng(11);
    PlayerList& players = pool.session->players();
    for (int i = 0; i < 25; ++i)
        players.add(makeEntry(i + 1, "P" + std::to_string(i), randomBracket(rng, i == 3 ? 20 : GameCount)));
    players.add(makeEntry(ResultsId, ResultsName, randomBracket(rng, 48)));
    ASSERT_NO_THROW(pool.session->closePool());
}

// What the pool's sheets say, as the program reads the pool: each sheet's picked team names by
// round, and its points.
struct Sheets {
    std::map<std::string, std::multiset<std::string>> picks;
    std::map<std::string, std::string> points;
};
Sheets readSheets(const TempDir& dir)
{
    RecordingHost host;
    MemorySettings settings;
    PoolSession session(host, dir.path(), settings);
    session.loadTeams();
    session.loadPlayers();
    PlayerList& players = session.players();
    players.updateStandings();
    Sheets sheets;
    for (int i = 0; i < players.count(); ++i) {
        const Player& entry = players[i];
        for (int g = 1; g <= GameCount; ++g)
            if (entry.picks[std::size_t(g)] != 0)
                sheets.picks[entry.name.text().bytes].insert(
                    std::to_string(roundOfGame(g)) + " " + session.teams().teamName(entry.picks[std::size_t(g)]).bytes);
        sheets.points[entry.name.text().bytes] = std::to_string(entry.total) + "/" + std::to_string(entry.potential);
    }
    return sheets;
}

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};
CommandRun importField(const TempDir& dir, const std::string& file, bool remap)
{
    std::vector<std::string> args = {"--import-field", dir.file(file)};
    if (remap) args.push_back("--remap-picks");
    const CommandLine line = parseCommandLine(args);
    EXPECT_EQ(line.error, "");
    MemorySettings settings;
    std::ostringstream out;
    std::ostringstream err;
    const int status = runBatchCommand(line, dir.path(), settings, out, err);
    return {status, out.str(), err.str()};
}
}  // namespace

TEST(FieldRemap, MovedTeamsTakeEveryPickAlongOnlyWhenAsked)
{
    TempDir dir;
    makePool(dir);
    const Sheets before = readSheets(dir);
    ASSERT_EQ(before.picks.size(), 26u);
    const std::string picksFile = dir.read(PicksFileName);
    dir.write("swapped.csv", fieldFile({}, {}, Swapped));

    const CommandRun refused = importField(dir, "swapped.csv", false);
    EXPECT_EQ(refused.status, BatchFailed);
    const std::string file = dir.file("swapped.csv");
    EXPECT_NE(refused.err.find(file + ": \"South 1\" moves from South 1 (upper left) to South 1 (upper right)\n"),
              std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find(file + ": \"West 16\" moves from West 16 (lower right) to West 16 (lower left)\n"),
              std::string::npos);
    EXPECT_NE(
        refused.err.find("hoopfall: the field in " + file +
                         " moves 64 teams that the picks of 26 sheets name "
                         "by place; nothing was imported. --remap-picks moves every pick and result with its team.\n"),
        std::string::npos)
        << refused.err;
    EXPECT_EQ(dir.read(PicksFileName), picksFile);
    EXPECT_EQ(loadRegionNames(dir.path())[0], "South");

    const CommandRun moved = importField(dir, "swapped.csv", true);
    EXPECT_EQ(moved.status, BatchDone) << moved.err;
    EXPECT_EQ(moved.out, "Field imported from " + file + "; the picks of 26 sheets moved with their teams\n");
    EXPECT_EQ(loadRegionNames(dir.path())[0], "Midwest");
    const Sheets after = readSheets(dir);
    EXPECT_EQ(after.picks, before.picks);
    EXPECT_EQ(after.points, before.points);

    // The same field again moves nothing and imports as any field does.
    EXPECT_EQ(importField(dir, "swapped.csv", false).status, BatchDone);
    EXPECT_EQ(parseCommandLine({"--remap-picks", "--export-picks", "x.csv"}).error,
              "--remap-picks goes with --import-field");
}

TEST(FieldRemap, PicksThatCanNotFollowTheirTeamsKeepTheFieldOut)
{
    TempDir dir;
    makePool(dir);
    const std::string picksFile = dir.read(PicksFileName);
    // How many sheets pick South 1, who is replaced by a team of another name.
    int pickers = 0;
    for (const auto& [name, picks] : readSheets(dir).picks) pickers += picks.count("1 South 1") ? 1 : 0;
    ASSERT_GT(pickers, 0);
    std::string replaced = fieldFile();
    replaced.replace(replaced.find("\nSouth 1,"), 9, "\nGonzaga,");
    dir.write("replaced.csv", replaced);
    // Other semi-finals: some sheets had two of their finalists meet in the new bracket.
    dir.write("repaired.csv", fieldFile({}, {}, {"South", "Midwest", "East", "West"}));

    const CommandRun gone = importField(dir, "replaced.csv", true);
    EXPECT_EQ(gone.status, BatchFailed);
    EXPECT_NE(gone.err.find(": \"South 1\" at South 1 (upper left) is replaced: no team of the new field has its "
                            "name; " +
                            std::to_string(pickers) + " sheets pick it\n"),
              std::string::npos)
        << gone.err;
    EXPECT_NE(gone.err.find("can not follow their teams"), std::string::npos);
    const CommandRun apart = importField(dir, "repaired.csv", true);
    EXPECT_EQ(apart.status, BatchFailed);
    EXPECT_NE(apart.err.find("can not follow their teams"), std::string::npos) << apart.err;
    EXPECT_EQ(dir.read(PicksFileName), picksFile);
    EXPECT_EQ(loadRegionNames(dir.path())[0], "South");
}

TEST(FieldRemap, EveryRowIsCheckedAndNothingOfABadFieldIsTaken)
{
    // East 7 on the last line (65) in each of its forms; East is the second region.
    const struct {
        std::string line;
        TransferProblem problem;  // none: taken
        std::string record = {};  // wins|losses as stored
    } cases[] = {
        {",7,East,1,1", {65, "Team", "the team's name is not filled in"}},
        {"  ,7,East,1,1", {65, "Team", "the team's name is not filled in"}},
        {"south 1 ,7,East,1,1", {65, "Team", "\"south 1\" is already on line "}},
        {"East 7 of twelve,7,East,1,1", {}, "1|1"},  // kept as "East 7 of tw"
        {"East 7,7,East,131,1", {65, "Wins", "\"131\" is not a whole number from 0 to 99"}},
        {"East 7,7,East,thirty-one,1", {65, "Wins", "\"thirty-one\" is not a whole number from 0 to 99"}},
        {"East 7,7,East,1,-1", {65, "Losses", "\"-1\" is not a whole number from 0 to 99"}},
        {"East 7,7,East,2.5,1", {65, "Wins", "\"2.5\" is not a whole number from 0 to 99"}},
        {"East 7,7,East, ,5", {}, "|5"},
        {"East 7,7,East,99, 007 ", {}, "99|7"},
    };
    for (const auto& c : cases) {
        const FieldImport field = readFieldImport(fieldFile("East 7", {c.line}));
        if (c.problem.reason.empty()) {
            EXPECT_TRUE(field.ok()) << c.line;
            const Team& team = field.teams.entry(2, 7);
            EXPECT_EQ(team.wins.text().bytes + "|" + team.losses.text().bytes, c.record) << c.line;
            continue;
        }
        ASSERT_EQ(field.problems.total, 2u) << c.line;  // the row, and East 7 missing for it
        const TransferProblem& found = field.problems.listed[0];
        EXPECT_EQ(found.line, c.problem.line) << c.line;
        EXPECT_EQ(found.column, c.problem.column) << c.line;
        EXPECT_EQ(found.reason.bytes.substr(0, c.problem.reason.bytes.size()), c.problem.reason.bytes) << c.line;
    }
}

TEST(FieldRemap, AStepThatFailsLeavesTheFieldAndThePicksAsTheyWere)
{
    TempDir dir;
    TestPool pool(dir);
    storeImportedField(*pool.session, readFieldImport(fieldFile()));
    std::mt19937 rng(3);
    PlayerList& players = pool.session->players();
    for (int i = 0; i < 5; ++i) players.add(makeEntry(i + 1, "P" + std::to_string(i), randomBracket(rng)));
    const auto picks = [&] {
        std::vector<PickArray> all;
        for (int i = 0; i < players.count(); ++i) all.push_back(players[i].picks);
        return all;
    };
    const std::vector<PickArray> before = picks();
    const FieldImport swapped = readFieldImport(fieldFile({}, {}, Swapped));

    // The journal refuses the moved picks; then the team file refuses the field after them.
    std::filesystem::create_directory(dir.file(JournalFileName));
    EXPECT_THROW(storeImportedField(*pool.session, swapped, true), std::exception);
    EXPECT_EQ(picks(), before);
    EXPECT_EQ(pool.session->teams().teamName(101).bytes, "South 1");
    std::filesystem::remove(dir.file(JournalFileName));
    std::filesystem::permissions(dir.file(TeamsFileName), std::filesystem::perms::owner_read);
    EXPECT_THROW(storeImportedField(*pool.session, swapped, true), std::exception);
    EXPECT_EQ(picks(), before);
    EXPECT_EQ(pool.session->teams().teamName(101).bytes, "South 1");
    EXPECT_EQ(pool.session->loadRegions(1), "South");
}
