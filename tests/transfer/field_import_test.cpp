// Import Field: the 64 teams and the order of the regions, checked, and written as the Options
// dialog writes them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "core/pool/errors.h"
#include "core/transfer/field_import.h"
#include "transfer_fixture.h"

void PrintTo(const TransferProblem& p, std::ostream* os);

TEST(FieldImport, ReadCheckedAndWrittenAsTheOptionsDialogWrites)
{
    TempDir dir;
    TestPool pool(dir);
    const FieldImport field = readFieldImport(fieldFile());
    ASSERT_TRUE(field.ok()) << (field.problems.empty() ? "" : field.problems.listed[0].reason.bytes);
    EXPECT_EQ(field.regionNames, (std::array<std::string, 4>{"South", "East", "Midwest", "West"}));
    storeImportedField(*pool.session, field);

    // What the program reads at its next start.
    TeamTable loaded;
    FileGuard guard;
    ASSERT_TRUE(loadTeams(dir.path(), loaded, pool.host, guard));
    EXPECT_EQ(loadRegionNames(dir.path()), field.regionNames);
    const Team& team = loaded.entry(2, 7);  // East, the second region
    EXPECT_EQ(team.name.text().bytes + "|" + team.wins.text().bytes + "|" + team.losses.text().bytes, "East 7|17|3");
    EXPECT_EQ(loaded.entry(4, 2).losses.text().bytes, "00");  // empty, as the dialog writes it
    EXPECT_EQ(pool.session->teams().entry(4, 2).losses.text().bytes, "00");
    EXPECT_EQ(loaded.entry(3, 16).region, 3);
}

TEST(FieldImport, EveryProblemKeepsTheFieldOut)
{
    const struct {
        std::string text;
        std::vector<TransferProblem> problems;
    } cases[] = {
        {fieldFile("East 7"), {{0, "", "The region \"East\" has no team for seed 7."}}},
        {fieldFile({}, {"X,99,South,1,1"}), {{66, "Seed", "\"99\" is not a seed from 1 to 16"}}},
        {fieldFile({}, {"X,5,south,1,1"}), {{66, "Seed", "South 5 is already on line "}}},
        {fieldFile({}, {"X,1,North,1,1"}), {{66, "Region", "\"North\" would be a fifth region; the bracket has four"}}},
        {fieldFile({}, {"X,1, ,1,1"}), {{66, "Region", "the region is not filled in"}}},
        // Kept to 12 characters, two names are one; seed 1 of South and East are lines 2 and 3.
        {[] {
             std::string text = fieldFile();
             text.replace(text.find("\nSouth 1,") + 1, 7, "Mississippi St");
             text.replace(text.find("\nEast 1,") + 1, 6, "mississippi");
             return text;
         }(),
         {{3, "Team",
           "\"mississippi\" and the team on line 2 both keep the name \"mississippi\" in the 12 characters a "
           "team's name can have"},
          {0, "", "The region \"East\" has no team for seed 1."}}},
        {"Region,Seed,Team\nEast,1,A\n",
         {{0, "", "The file names 1 region; the bracket has four."},
          {0, "", "The region \"East\" has no team for seed 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16."}}},
    };
    for (const auto& c : cases) {
        const FieldImport field = readFieldImport(c.text);
        EXPECT_FALSE(field.ok());
        const std::vector<TransferProblem>& found = field.problems.listed;
        ASSERT_EQ(found.size(), c.problems.size()) << c.text;
        for (std::size_t k = 0; k < c.problems.size(); ++k) {
            EXPECT_EQ(found[k].line, c.problems[k].line);
            EXPECT_EQ(found[k].column, c.problems[k].column);
            EXPECT_EQ(found[k].reason.bytes.substr(0, c.problems[k].reason.bytes.size()), c.problems[k].reason.bytes);
        }
    }
    EXPECT_THAT([] { readFieldImport("Seed,Team\n"); },
                ::testing::ThrowsMessage<HoopError>(::testing::StartsWith("The first line has no column \"Region")));
}

TEST(FieldImport, TeamFileThatCanNotBeWrittenChangesNothing)
{
    TempDir dir;
    TestPool pool(dir);
    saveTeams(dir.path(), pool.session->teams());
    std::filesystem::permissions(dir.file(TeamsFileName), std::filesystem::perms::owner_read);
    EXPECT_THROW(storeImportedField(*pool.session, readFieldImport(fieldFile())), std::exception);
    EXPECT_EQ(pool.session->teams().teamName(101).bytes, "T101");
    EXPECT_EQ(pool.session->loadRegions(1), "East");
}
