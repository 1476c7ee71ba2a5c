#include <gtest/gtest.h>

#include <filesystem>

#include "core/pool/bracket.h"
#include "core/pool/team_files.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace {

std::string teamRecord(int region, int seed, const std::string& name, const std::string& wins = "",
                       const std::string& losses = "")
{
    std::string r(TeamRecordSize, '\0');
    r[0] = char(region);
    r[1] = char(seed);
    for (auto [at, text] : {std::pair{2, &name}, {15, &wins}, {18, &losses}})
        r.replace(std::size_t(at), text->size() + 1, char(text->size()) + *text);
    return r;
}

std::string teamLabel(int r, int s) { return "Team " + std::to_string(r * 100 + s); }

// The whole table in file order, one "region seed name/wins/losses" line per team.
std::vector<std::string> table(const TeamTable& teams)
{
    std::vector<std::string> out;
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s) {
            const Team& t = teams.entry(r, s);
            out.push_back(std::to_string(t.region) + " " + std::to_string(t.seed) + " " + t.name.text().bytes + "/" +
                          t.wins.text().bytes + "/" + t.losses.text().bytes);
        }
    return out;
}
const std::vector<std::string> EmptyTable(64, "0 0 //");

class TeamFile : public ::testing::Test {
protected:
    TeamTable teams;
    FileGuard guard;
    TempDir dir;
    RecordingHost host;
};

TEST_F(TeamFile, SavedFileIsSixtyFourRecordsByteForByteAndLoadsBack)
{
    std::string expected;
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s) {
            Team& t = teams.entry(r, s);
            t.region = std::uint8_t(r);
            t.seed = std::uint8_t(s);
            t.name = teamLabel(r, s);
            t.wins = s == 3 ? "" : std::to_string(30 - s);  // seed 3 without a record yet
            t.losses = s == 3 ? "" : std::to_string(s % 10);
            expected += teamRecord(r, s, teamLabel(r, s), s == 3 ? "00" : t.wins.text().bytes,
                                   s == 3 ? "00" : t.losses.text().bytes);
        }
    saveTeams(dir.path(), teams);
    EXPECT_EQ(dir.read(TeamsFileName), expected);
    const std::vector<std::string> saved = table(teams);
    EXPECT_EQ(saved[2], "1 3 Team 103/00/00") << "the fill is made in the table too";
    teams.clear();
    EXPECT_TRUE(loadTeams(dir.path(), teams, host, guard));
    EXPECT_EQ(table(teams), saved);
}

TEST_F(TeamFile, RecordsInAnyOrderThenAPartialOneOrNoFileShowTheQuickTipOnce)
{
    std::string bytes;
    std::vector<std::string> loaded(64);
    for (int r = RegionCount; r >= 1; --r)
        for (int s = SeedCount; s >= 1; --s) {
            bytes += teamRecord(r, s, teamLabel(r, s), "1", "2");
            loaded[std::size_t((r - 1) * SeedCount + s - 1)] =
                std::to_string(r) + " " + std::to_string(s) + " " + teamLabel(r, s) + "/1/2";
        }
    bytes += teamRecord(3, 5, "Replaced");  // a later record for the same team wins
    loaded[2 * SeedCount + 4] = "3 5 Replaced//";
    for (bool present : {false, true}) {
        SCOPED_TRACE(present);
        RecordingHost shown;
        if (present) dir.write(TeamsFileName, bytes + std::string(6, '\x01'));  // a partial record
        EXPECT_FALSE(loadTeams(dir.path(), teams, shown, guard));
        EXPECT_EQ(table(teams), present ? loaded : EmptyTable);
        // With the file, also the word that the replaced record is left out.
        EXPECT_EQ(shown.information.size(), present ? 2u : 1u);
        EXPECT_EQ(shown.information.back(), "Quick Tip: To enter the tournament teams select [Pool], [Options...]. "
                                            "Remember to select the region matchups first.");
        EXPECT_EQ(shown.beeps, 1);
    }
}

// A record without a place is skipped; length bytes larger than their field are clamped.
TEST_F(TeamFile, OddRecords)
{
    std::string clamped = teamRecord(2, 2, "ABCDEFGHIJKL", "12", "34");
    std::tie(clamped[2], clamped[15], clamped[18]) = std::tuple{char(255), char(9), char(3)};
    std::vector<std::string> expected = EmptyTable;
    expected[SeedCount + 1] = "2 2 ABCDEFGHIJKL/12/34";
    for (auto [region, seed] : {std::pair{0, 1}, {5, 1}, {1, 0}, {1, 17}, {255, 255}, {0, 0}}) {
        teams.clear();
        dir.write(TeamsFileName, teamRecord(region, seed, "Nowhere") + clamped);
        EXPECT_TRUE(loadTeams(dir.path(), teams, host, guard));
        EXPECT_EQ(table(teams), expected) << region << "/" << seed;
    }
}

// Records the table cannot hold are left out with a word, and the file is copied aside once
// before the next save replaces it; records that lose nothing change nothing.
TEST_F(TeamFile, RecordsTheTableCannotHoldAreSaidAndKeptBeforeTheNextSave)
{
    std::string field, renamed;
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s) {
            field += teamRecord(r, s, teamLabel(r, s), "1", "2");
            renamed += teamRecord(r, s, "Other " + teamLabel(r, s));
        }
    const struct {
        const char* what;
        std::string bytes;
        std::size_t dropped;
    } rows[] = {
        {"the field", field, 0},
        {"region 9", field + teamRecord(9, 1, "Nine"), 1},
        {"seed 40", teamRecord(1, 40, "Forty") + field, 1},
        {"region and seed 0 with a name", field + teamRecord(0, 0, "Nobody"), 1},
        {"128 records", field + renamed, 64},
        {"the same 64 records twice", field + field, 0},
        {"empty records", field + std::string(3 * TeamRecordSize, '\0'), 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir d;
        d.write(TeamsFileName, row.bytes);
        RecordingHost shown;
        FileGuard fileGuard;
        teams.clear();
        loadTeams(d.path(), teams, shown, fileGuard);
        saveTeams(d.path(), teams, &fileGuard);
        saveTeams(d.path(), teams, &fileGuard);

        std::vector<std::string> copies;
        for (const auto& item : std::filesystem::directory_iterator(d.path()))
            if (item.path().filename().string().rfind(TeamsFileName + ".damaged-", 0) == 0)
                copies.push_back(item.path().filename().string());
        ASSERT_EQ(copies.size(), row.dropped ? 1u : 0u);
        ASSERT_EQ(shown.information.size(), row.dropped ? 1u : 0u);
        EXPECT_TRUE(shown.errors.empty());
        if (!row.dropped) continue;
        EXPECT_EQ(d.read(copies[0]), row.bytes);
        EXPECT_NE(
            shown.information[0].find(d.file(TeamsFileName) + " holds " + std::to_string(row.dropped) + " team record"),
            std::string::npos)
            << shown.information[0];
        EXPECT_NE(shown.information[0].find(" as " + copies[0] + " "), std::string::npos) << "names the copy";
    }
}

// Region file: initialisation-file rules.
TEST(RegionFile, ReadsLikeAnInitialisationFile)
{
    const std::tuple<const char*, int, const char*> rows[] = {
        {"[Regions]\r\n1=East\r\n2=West\r\n3=South\r\n4=Midwest\r\n", 4, "Midwest"},
        {"[Regions]\n1=East\n2=West\n", 2, "West"},
        {"[regions]\r\n1=East\r\n", 1, "East"},
        {"[REGIONS]\r\n1=East\r\n", 1, "East"},
        {"[Regions]\r\n  3  =  South Side  \r\n", 3, "South Side"},
        {"[Other]\r\n1=Wrong\r\n[Regions]\r\n1=Right\r\n", 1, "Right"},
        {"[Other]\r\n1=Wrong\r\n", 1, ""},
        {"[Regions]\r\n1=East\r\n", 2, ""},
        {"[Regions]\r\n2=\r\n", 2, ""},
        {"", 1, ""},
    };
    for (auto [text, position, name] : rows) EXPECT_EQ(loadRegionsFromText(text, position), name) << text;
}

TEST(RegionFile, WritesOneLinePerRegionAndKeepsOtherSectionsAndKeys)
{
    TempDir dir;
    EXPECT_EQ(loadRegions(dir.path(), 1), "") << "no file yet";
    saveRegions(dir.path(), {"East", "West", "South", "Midwest"});
    EXPECT_EQ(dir.read(RegionsFileName), "[Regions]\r\n1=East\r\n2=West\r\n3=South\r\n4=Midwest\r\n");
    EXPECT_EQ(loadRegions(dir.path(), 1) + loadRegions(dir.path(), 4), "EastMidwest");

    dir.write(RegionsFileName, "[Colors]\r\nHome=Blue\r\n[REGIONS]\r\nNote=kept\r\n1=Old East\r\n");
    saveRegions(dir.path(), {"East", "West", "South", "Midwest"});
    std::string text = dir.read(RegionsFileName);
    for (std::size_t blank; (blank = text.find("\r\n\r\n")) != std::string::npos;) text.erase(blank, 2);
    EXPECT_EQ(text, "[Colors]\r\nHome=Blue\r\n[REGIONS]\r\nNote=kept\r\n1=East\r\n2=West\r\n3=South\r\n4=Midwest\r\n");
}

}  // namespace
