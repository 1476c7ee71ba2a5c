#include <gtest/gtest.h>

#include "shell/command_line.h"

TEST(CommandLineTest, ReadsThePoolFolderAndRefusesWhatItDoesNotKnow)
{
    struct Row {
        std::vector<std::string> args;
        std::optional<std::string> pool;
        bool help;
        std::string error;
    };
    const Row rows[] = {
        {{}, std::nullopt, false, ""},
        {{"--pool", "/srv/office pool"}, "/srv/office pool", false, ""},
        {{"--pool=/srv/family"}, "/srv/family", false, ""},
        {{"--pool=-odd"}, "-odd", false, ""},
        {{"--pool", "a", "--pool=a"}, "a", false, ""},
        {{"-h"}, std::nullopt, true, ""},
        {{"--pool", "a", "--help"}, "a", true, ""},
        {{"--pool"}, std::nullopt, false, "--pool needs a folder: --pool DIR"},
        {{"--pool", ""}, std::nullopt, false, "--pool needs a folder: --pool DIR"},
        {{"--pool", "--help"}, std::nullopt, false, "--pool needs a folder: --pool DIR"},
        {{"--pool="}, std::nullopt, false, "--pool needs a folder: --pool=DIR"},
        {{"--pool", "a", "--pool", "b"}, "a", false, "--pool given twice"},
        {{"--pools=a"}, std::nullopt, false, "unknown option '--pools=a'"},
        {{"-p", "a"}, std::nullopt, false, "unknown option '-p'"},
        {{"/srv/pool"}, std::nullopt, false, "unexpected argument '/srv/pool'"},
    };
    for (const Row& row : rows) {
        std::string joined;
        for (const std::string& arg : row.args) joined += "[" + arg + "]";
        SCOPED_TRACE(joined);
        const CommandLine line = parseCommandLine(row.args);
        EXPECT_EQ(line.error, row.error);
        if (row.error.empty()) {
            EXPECT_EQ(line.poolDir, row.pool);
            EXPECT_EQ(line.help, row.help);
        }
    }
}
