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

TEST(CommandLineTest, ReadsTheOutlookAndItsPaidPlaces)
{
    struct Row {
        std::vector<std::string> args;
        bool outlook;
        int places;
        std::string error;
    };
    const Row rows[] = {
        {{"--pool", "p"}, false, 3, ""},
        {{"--pool", "p", "--outlook"}, true, 3, ""},
        {{"--outlook", "--pool=p", "--places", "8"}, true, 8, ""},
        {{"--pool", "p", "--outlook", "--places=1", "--places", "1"}, true, 1, ""},
        {{"--outlook", "--help"}, true, 3, ""},
        {{"--outlook"}, true, 3, "--outlook needs the pool's folder: --pool DIR --outlook"},
        {{"--pool", "p", "--places", "2"}, false, 3, "--places goes with --outlook"},
        {{"--pool", "p", "--outlook", "--places", "0"}, true, 3, "--places needs a number from 1 to 8, not '0'"},
        {{"--pool", "p", "--outlook", "--places=9"}, true, 3, "--places needs a number from 1 to 8, not '9'"},
        {{"--pool", "p", "--outlook", "--places", "2x"}, true, 3, "--places needs a number from 1 to 8, not '2x'"},
        {{"--pool", "p", "--outlook", "--places", "-1"}, true, 3, "--places needs a number from 1 to 8, not '-1'"},
        {{"--pool", "p", "--outlook", "--places="}, true, 3, "--places needs a number from 1 to 8, not ''"},
        {{"--pool", "p", "--outlook", "--places"}, true, 3, "--places needs a number: --places N"},
        {{"--pool", "p", "--outlook", "--places=2", "--places=3"}, true, 3, "--places given twice"},
    };
    for (const Row& row : rows) {
        std::string joined;
        for (const std::string& arg : row.args) joined += "[" + arg + "]";
        SCOPED_TRACE(joined);
        const CommandLine line = parseCommandLine(row.args);
        EXPECT_EQ(line.error, row.error);
        if (row.error.empty()) {
            EXPECT_EQ(line.outlook, row.outlook);
            EXPECT_EQ(line.places, row.places);
        }
    }
}
