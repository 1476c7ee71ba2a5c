#include <filesystem>
#include <gtest/gtest.h>

#include "shell/backup_copy.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

TEST(BackupCopy, BackupNameDropsOnlyTheLastExtension)
{
    const std::pair<const char*, const char*> rows[] = {
        {"PICKS.HFD", "PICKS.BAK"},
        {"TEAMS.HFD", "TEAMS.BAK"},
        {"TEAMS.OLD.HFD", "TEAMS.OLD.BAK"},  // never the same backup as TEAMS.HFD
        {"x.hfd", "x.BAK"},
    };
    for (const auto& [name, backup] : rows) EXPECT_EQ(BackupName(name), backup) << name;
}

TEST(BackupCopy, ErrorTextsByCode)
{
    EXPECT_EQ(CopyErrorText(-1), "Invalid Source file handle");
    EXPECT_EQ(CopyErrorText(-2), "Invalid Destination file handle");
    EXPECT_EQ(CopyErrorText(-3), "Source file format is not valid");
    EXPECT_EQ(CopyErrorText(-4), "There is insufficient space for the output file");
    EXPECT_EQ(CopyErrorText(-8), "The Source file was compressed with an unrecognized compression algorithm");
    EXPECT_EQ(CopyErrorText(-9), "Unknown error");
}

TEST(BackupCopy, FindsOnlyVisibleDataFiles)
{
    TempDir dir;
    dir.write("TEAMS.HFD", "t");
    dir.write("PICKS.hfd", "p");
    dir.write(".HIDDEN.HFD", "h");
    dir.write("NOTES.TXT", "n");
    fs::create_directory(dir.file("FOLDER.HFD"));
    EXPECT_EQ(FindDataFiles(dir.path()), (std::vector<std::string>{"PICKS.hfd", "TEAMS.HFD"}));
}

TEST(BackupCopy, CopiesBytesAndReportsEachFailure)
{
    TempDir dir;
    const std::string bytes("a\0b\xff", 4);
    dir.write("A.HFD", bytes);
    EXPECT_EQ(CopyFileBytes(dir.file("A.HFD"), dir.file("A.BAK")), 4);
    EXPECT_EQ(dir.read("A.BAK"), bytes);

    EXPECT_EQ(CopyFileBytes(dir.file("MISSING.HFD"), dir.file("M.BAK")), CopyBadSource);
    EXPECT_FALSE(dir.exists("M.BAK"));

    dir.write("R.BAK", "old");
    fs::permissions(dir.file("R.BAK"), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(CopyFileBytes(dir.file("A.HFD"), dir.file("R.BAK")), CopyBadDestination);
    EXPECT_EQ(dir.read("R.BAK"), "old");

    EXPECT_EQ(CopyFileBytes(dir.file("A.HFD"), dir.file("NO/SUCH/FOLDER.BAK")), CopyBadDestination);
    EXPECT_EQ(WriteBackupBytes("xyz", dir.file("W.BAK")), 3);
    EXPECT_EQ(dir.read("W.BAK"), "xyz");
}
