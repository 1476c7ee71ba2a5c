#include <filesystem>
#include <gtest/gtest.h>

#include "core/pool/backup_copy.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

TEST(BackupCopy, BackupNames)
{
    // TEAMS.OLD.HFD never shares the backup of TEAMS.HFD.
    EXPECT_EQ((std::vector{backupName("PICKS.HFD"), backupName("TEAMS.OLD.HFD"), backupName("x.hfd")}),
              (std::vector<std::string>{"PICKS.BAK", "TEAMS.OLD.BAK", "x.BAK"}));
}

TEST(BackupCopy, FindsVisibleDataFilesCopiesThemAndReportsEachFailure)
{
    TempDir dir;
    const std::string bytes("a\0b\xff", 4);
    for (const char* name : {"TEAMS.HFD", "PICKS.hfd", ".HIDDEN.HFD", "NOTES.TXT"}) dir.write(name, bytes);
    fs::create_directory(dir.file("FOLDER.HFD"));
    EXPECT_EQ(findDataFiles(dir.path()), (std::vector<std::string>{"PICKS.hfd", "TEAMS.HFD"}));
    dir.write("R.BAK", "old");
    fs::permissions(dir.file("R.BAK"), fs::perms::owner_read | fs::perms::group_read);
    const std::pair<std::string, CopyOutcome> rows[] = {{"A.BAK", {CopyStatus::Copied, 4}},
                                                        {"NO/SUCH/FOLDER.BAK", {CopyStatus::BadDestination}},
                                                        {"R.BAK", {CopyStatus::BadDestination}}};
    for (const auto& [target, result] : rows)
        EXPECT_TRUE(copyFileBytes(dir.file("TEAMS.HFD"), dir.file(target)) == result) << target;
    EXPECT_TRUE(copyFileBytes(dir.file("MISSING.HFD"), dir.file("M.BAK")) == CopyOutcome{CopyStatus::BadSource});
    EXPECT_TRUE(writeBackupBytes("xyz", dir.file("W.BAK")) == (CopyOutcome{CopyStatus::Copied, 3}));
    EXPECT_EQ((std::vector{dir.read("A.BAK"), dir.read("R.BAK"), dir.read("W.BAK")}),
              (std::vector<std::string>{bytes, "old", "xyz"}));
    EXPECT_FALSE(dir.exists("M.BAK"));
}
