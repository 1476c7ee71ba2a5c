#include <gtest/gtest.h>

#include "pool/bracket.h"
#include "pool/team_files.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace {

std::string TeamRecord(int region, int seed, const std::string& name, const std::string& wins = "",
                       const std::string& losses = "")
{
    std::string r(TeamRecordSize, '\0');
    r[0] = char(region);
    r[1] = char(seed);
    r[2] = char(name.size());
    r.replace(3, name.size(), name);
    r[15] = char(wins.size());
    r.replace(16, wins.size(), wins);
    r[18] = char(losses.size());
    r.replace(19, losses.size(), losses);
    return r;
}

std::string TeamLabel(int r, int s) { return "Team " + std::to_string(r * 100 + s); }

class TeamFile : public ::testing::Test {
protected:
    void SetUp() override { ClearTeams(); }
    void TearDown() override { ClearTeams(); }
    void fillTable()
    {
        for (int r = 1; r <= RegionCount; ++r)
            for (int s = 1; s <= SeedCount; ++s) {
                TTeam& t = TeamEntry(r, s);
                t.region = std::uint8_t(r);
                t.seed = std::uint8_t(s);
                t.name = TeamLabel(r, s);
                t.wins = s == 3 ? "" : std::to_string(30 - s);  // seed 3 without a record yet
                t.losses = s == 3 ? "" : std::to_string(s % 10);
            }
    }
    TempDir dir;
    RecordingHost host;
};

TEST_F(TeamFile, SavedFileIsSixtyFourRecordsByteForByte)
{
    fillTable();
    SaveTeams(dir.path());
    const std::string bytes = dir.read(TeamsFileName);
    ASSERT_EQ(bytes.size(), 1344u);
    std::string expected;
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s)
            expected += s == 3 ? TeamRecord(r, s, TeamLabel(r, s), "00", "00")
                               : TeamRecord(r, s, TeamLabel(r, s), std::to_string(30 - s), std::to_string(s % 10));
    EXPECT_EQ(bytes, expected);
    // The "00" fill is made in the table too, and the file loads back to the same table.
    EXPECT_EQ(TeamEntry(2, 3).wins.str(), "00");
    ClearTeams();
    EXPECT_TRUE(LoadTeams(dir.path(), host));
    EXPECT_EQ(TeamEntry(2, 3).losses.str(), "00");
    SaveTeams(dir.path());
    EXPECT_EQ(dir.read(TeamsFileName), expected);
}

TEST_F(TeamFile, RecordsGoToTheirOwnPlaceInAnyOrder)
{
    std::string bytes;
    for (int r = RegionCount; r >= 1; --r)
        for (int s = SeedCount; s >= 1; --s) bytes += TeamRecord(r, s, TeamLabel(r, s), "1", "2");
    bytes += TeamRecord(3, 5, "Replaced");  // a later record for the same team wins
    dir.write(TeamsFileName, bytes);
    EXPECT_TRUE(LoadTeams(dir.path(), host));
    EXPECT_EQ(TeamName(101), TeamLabel(1, 1));
    EXPECT_EQ(TeamName(416), TeamLabel(4, 16));
    EXPECT_EQ(TeamName(305), "Replaced");
    EXPECT_EQ(TeamEntry(2, 7).region, 2);
    EXPECT_EQ(TeamEntry(2, 7).seed, 7);
}

TEST_F(TeamFile, PartialLastRecordLoadsTheRestThenShowsTheQuickTip)
{
    std::string bytes;
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s) bytes += TeamRecord(r, s, TeamLabel(r, s));
    bytes += std::string(6, '\x01');
    ASSERT_EQ(bytes.size(), 1350u);
    dir.write(TeamsFileName, bytes);
    EXPECT_FALSE(LoadTeams(dir.path(), host));
    EXPECT_EQ(TeamName(416), TeamLabel(4, 16));
    EXPECT_EQ(TeamName(101), TeamLabel(1, 1));
    EXPECT_EQ(host.information, std::vector<std::string>{TeamsQuickTip});
    EXPECT_EQ(host.beeps, 1);
}

TEST_F(TeamFile, MissingFileShowsTheQuickTipOnce)
{
    EXPECT_FALSE(LoadTeams(dir.path(), host));
    EXPECT_EQ(host.information, std::vector<std::string>{
                                    "Quick Tip: To enter the tournament teams select [Pool], [Options...]. Remember "
                                    "to select the region matchups first."});
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(TeamName(101), "");
}

TEST_F(TeamFile, RecordsWithoutAPlaceAreSkipped)
{
    const std::pair<int, int> bad[] = {{0, 1}, {5, 1}, {1, 0}, {1, 17}, {255, 255}, {0, 0}};
    for (auto [region, seed] : bad) {
        SCOPED_TRACE(::testing::Message() << region << "/" << seed);
        ClearTeams();
        dir.write(TeamsFileName, TeamRecord(region, seed, "Nowhere") + TeamRecord(2, 2, "After"));
        EXPECT_TRUE(LoadTeams(dir.path(), host));
        EXPECT_EQ(TeamName(202), "After");
        int named = 0;
        for (int r = 1; r <= RegionCount; ++r)
            for (int s = 1; s <= SeedCount; ++s) named += !TeamEntry(r, s).name.empty();
        EXPECT_EQ(named, 1);
    }
}

TEST_F(TeamFile, LengthBytesLargerThanTheFieldAreClamped)
{
    std::string r = TeamRecord(1, 4, "ABCDEFGHIJKL", "12", "34");
    r[2] = char(255);
    r[15] = char(9);
    r[18] = char(3);
    dir.write(TeamsFileName, r);
    EXPECT_TRUE(LoadTeams(dir.path(), host));
    EXPECT_EQ(TeamName(104), "ABCDEFGHIJKL");
    EXPECT_EQ(TeamEntry(1, 4).wins.str(), "12");
    EXPECT_EQ(TeamEntry(1, 4).losses.str(), "34");
}

// Region file: initialisation-file rules.
TEST(RegionFile, ReadsLikeAnInitialisationFile)
{
    struct Row {
        const char* text;
        int position;
        const char* expected;
    };
    const Row rows[] = {
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
    for (const Row& r : rows) EXPECT_EQ(LoadRegionsFromText(r.text, r.position), r.expected) << r.text;
}

TEST(RegionFile, NewFileHoldsOneLinePerRegion)
{
    TempDir dir;
    EXPECT_EQ(LoadRegions(dir.path(), 1), "") << "no file yet";
    SaveRegions(dir.path(), {"East", "West", "South", "Midwest"});
    EXPECT_EQ(dir.read(RegionsFileName), "[Regions]\r\n1=East\r\n2=West\r\n3=South\r\n4=Midwest\r\n");
    EXPECT_EQ(LoadRegions(dir.path(), 1), "East");
    EXPECT_EQ(LoadRegions(dir.path(), 4), "Midwest");
}

TEST(RegionFile, WriteKeepsOtherSectionsAndKeys)
{
    TempDir dir;
    dir.write(RegionsFileName, "[Colors]\r\nHome=Blue\r\n[REGIONS]\r\nNote=kept\r\n1=Old East\r\n");
    SaveRegions(dir.path(), {"East", "West", "South", "Midwest"});
    const std::string text = dir.read(RegionsFileName);
    EXPECT_NE(text.find("Home=Blue\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Note=kept\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Old East"), std::string::npos) << text;
    EXPECT_EQ(text.find("[Regions]"), std::string::npos) << "the existing section is reused: " << text;
    EXPECT_EQ(LoadRegions(dir.path(), 1), "East");
    EXPECT_EQ(LoadRegions(dir.path(), 3), "South");
}

}  // namespace
