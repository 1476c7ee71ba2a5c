#include <QDir>
#include <QLabel>
#include <filesystem>
#include <gtest/gtest.h>

#include "gui/main/main_window.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

namespace fs = std::filesystem;

namespace {
class BackupTest : public ::testing::Test {
protected:
    void SetUp() override { testPrompts().clear(); }
    QString dirPath() const { return QDir::toNativeSeparators(QString::fromStdString(dir.path())) + QDir::separator(); }

    TempDir dir;
    MainWindow main{testSettings(), QString::fromStdString(dir.path())};
};
}  // namespace

TEST_F(BackupTest, WithNoDataFilesThePicksInMemoryAreStillBackedUp)
{
    Player p;
    p.id = 42;
    p.name = "Entered today";
    main.session().players().add(p);
    Find<QAction>(main, "mnuBackup")->trigger();

    EXPECT_EQ(dir.read("PICKS.BAK").size(), PickRecordSize);
    EXPECT_FALSE(dir.exists("PICKS.HFD")) << "the picks file itself is written only on closing";
    EXPECT_EQ(Find<QLabel>(main, "pnlHint")->text(), "Data files successfully backed up to " + dirPath() + "*.BAK");
    ASSERT_EQ(testPrompts().boxes.size(), 1u);
    EXPECT_EQ(testPrompts().boxes[0].kind, PromptKind::Information);
    EXPECT_EQ(testPrompts().boxes[0].text,
              "The Hoopfall data files have been copied and saved to " + dirPath() + " with a \"BAK\" extension.");
}

TEST_F(BackupTest, EveryDataFileGetsItsOwnBackup)
{
    dir.write("TEAMS.HFD", "teams");
    dir.write("TEAMS.OLD.HFD", "old teams");
    dir.write("REGIONS.HFD", "[Regions]");
    dir.write("PICKS.HFD", "stale file on disk");
    Find<QAction>(main, "mnuBackup")->trigger();
    EXPECT_EQ(dir.read("TEAMS.BAK"), "teams");
    EXPECT_EQ(dir.read("TEAMS.OLD.BAK"), "old teams");
    EXPECT_EQ(dir.read("REGIONS.BAK"), "[Regions]");
    EXPECT_EQ(dir.read("PICKS.BAK"), "") << "the list in memory is empty";
    EXPECT_EQ(testPrompts().boxes.size(), 1u);
}

TEST_F(BackupTest, AReadOnlyBackupIsReportedAndTheOthersAreCopied)
{
    dir.write("TEAMS.HFD", "teams");
    dir.write("REGIONS.HFD", "regions");
    dir.write("REGIONS.BAK", "protected");
    fs::permissions(dir.file("REGIONS.BAK"), fs::perms::owner_read);
    Find<QAction>(main, "mnuBackup")->trigger();

    EXPECT_EQ(dir.read("REGIONS.BAK"), "protected");
    EXPECT_EQ(dir.read("TEAMS.BAK"), "teams");
    ASSERT_EQ(testPrompts().boxes.size(), 2u);
    EXPECT_EQ(testPrompts().boxes[0].kind, PromptKind::Error);
    EXPECT_EQ(testPrompts().boxes[0].text, "Invalid Destination file handle");
    // The closing lines say that not everything was backed up.
    EXPECT_EQ(Find<QLabel>(main, "pnlHint")->text(), "Backed up 2 of 3 data files to " + dirPath() + "*.BAK");
    EXPECT_EQ(testPrompts().boxes[1].text, "Only 2 of 3 Hoopfall data files could be copied to " + dirPath() +
                                               " with a \"BAK\" extension. The others were not backed up.");
}

// A good team or region backup is never replaced by a data file that is empty, torn or garbled;
// with no good backup to keep, whatever is there is copied.
TEST_F(BackupTest, AGoodTeamOrRegionBackupIsNotReplacedByADamagedFile)
{
    std::string team(21, '\0');
    team[0] = 1;
    team[1] = 1;
    team[2] = 4;
    team.replace(3, 4, "Duke");
    std::string foreignTeam = team;
    foreignTeam[0] = 9;
    const std::string regions = "[Regions]\n1=East\n";
    struct Case {
        std::string file, content, backup;
        bool kept;
    } cases[] = {
        {"TEAMS.HFD", "", team, true},
        {"TEAMS.HFD", team + "torn", team, true},
        {"TEAMS.HFD", team + foreignTeam, team, true},
        {"TEAMS.HFD", team + team, team, false},
        {"TEAMS.HFD", "", "garbage", false},
        {"REGIONS.HFD", "", regions, true},
        {"REGIONS.HFD", std::string("\x01\x02 not a region file", 20), regions, true},
        {"REGIONS.HFD", "[Regions]\n2=West\n", regions, false},
        {"REGIONS.HFD", "junk", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " holding " + std::to_string(c.content.size()) + " bytes");
        testPrompts().clear();
        TempDir pool;
        MainWindow window(testSettings(), QString::fromStdString(pool.path()));
        const std::string backup = c.file.substr(0, c.file.find('.')) + ".BAK";
        pool.write(c.file, c.content);
        pool.write(backup, c.backup);
        Find<QAction>(window, "mnuBackup")->trigger();
        EXPECT_EQ(pool.read(backup), c.kept ? c.backup : c.content);
        const QString refusal =
            QString::fromStdString(c.file + " is empty or damaged, so " + backup + " was left as it was.");
        EXPECT_EQ(testPrompts().texts().contains(refusal), c.kept);
    }
}
