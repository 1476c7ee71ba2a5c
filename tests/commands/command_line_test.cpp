#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <regex>

#include "core/commands/command_line.h"

namespace {
// Parses each row's arguments (named in the trace): the error must be the row's, and check sees
// what was read when there is none.
template <class Row, std::size_t N, class Check> void parseRows(const Row (&rows)[N], Check check)
{
    for (const Row& row : rows) {
        std::string joined;
        for (const std::string& arg : row.args) joined += "[" + arg + "]";
        SCOPED_TRACE(joined);
        const CommandLine line = parseCommandLine(row.args);
        EXPECT_EQ(line.error, row.error);
        if (row.error.empty()) check(row, line);
    }
}
}  // namespace

TEST(CommandLineTest, ReadsThePoolFolderAndRefusesWhatItDoesNotKnow)
{
    struct Row {
        std::vector<std::string> args;
        std::optional<std::string> pool;
        bool help;
        std::string error;
        bool version = false;
    };
    const Row rows[] = {
        {{}, std::nullopt, false, ""},
        {{"--version", "--pool", "a"}, "a", false, "", true},
        {{"--pool", "/srv/office pool"}, "/srv/office pool", false, ""},
        {{"--pool=/srv/family"}, "/srv/family", false, ""},
        {{"--pool=-odd"}, "-odd", false, ""},
        {{"--pool", "a", "--pool=a"}, "a", false, ""},
        {{"-h"}, std::nullopt, true, ""},
        {{"--pool", "a", "--help"}, "a", true, ""},
        {{"--pool"}, std::nullopt, false, "--pool needs a folder: --pool DIR"},
        {{"--pool", ""}, std::nullopt, false, "--pool needs a folder: --pool DIR"},
        {{"--pool", "--help"}, std::nullopt, false, "--pool needs a folder: --pool DIR"},
        {{"--pool", "-"}, std::nullopt, false, "--pool needs a folder: --pool DIR"},  // "-" is no folder
        {{"--pool="}, std::nullopt, false, "--pool needs a folder: --pool=DIR"},
        {{"--pool", "a", "--pool", "b"}, "a", false, "--pool given twice"},
        {{"--pools=a"}, std::nullopt, false, "unknown option '--pools=a'"},
        {{"-p", "a"}, std::nullopt, false, "unknown option '-p'"},
        {{"/srv/pool"}, std::nullopt, false, "unexpected argument '/srv/pool'"},
    };
    parseRows(rows, [](const Row& row, const CommandLine& line) {
        EXPECT_EQ(line.poolDir, row.pool);
        EXPECT_EQ(line.help, row.help);
        EXPECT_EQ(line.version, row.version);
    });
}

TEST(CommandLineTest, ReadsOneCommandWithItsFile)
{
    struct Row {
        std::vector<std::string> args;
        BatchCommand command;
        std::string file;
        std::string error;
        std::optional<OutputFormat> format = std::nullopt;
    };
    const Row rows[] = {
        {{"--pool", "p", "--import-picks", "form.csv"}, BatchCommand::ImportPicks, "form.csv", ""},
        // "-" is the standard input or output; --format says what to write where no name does.
        {{"--import-picks", "-"}, BatchCommand::ImportPicks, "-", ""},
        {{"--import-field=-"}, BatchCommand::ImportField, "-", ""},
        {{"--export-standings", "-", "--format", "html"}, BatchCommand::ExportStandings, "-", "", OutputFormat::Html},
        {{"--format=csv", "--export-picks", "-"}, BatchCommand::ExportPicks, "-", "", OutputFormat::Csv},
        {{"--outlook"}, BatchCommand::Outlook, "-", ""},
        {{"--outlook=o.htm", "--format", "tsv"}, BatchCommand::Outlook, "o.htm", "", OutputFormat::Tsv},
        {{"--outlook="}, BatchCommand::None, "", "--outlook needs a file: --outlook=FILE"},
        {{"--outlook", "o.txt"}, BatchCommand::None, "", "unexpected argument 'o.txt'"},
        {{"--export-picks", "-", "--format", "tsv"},
         BatchCommand::None,
         "",
         "--export-picks writes csv or html, not tsv"},
        {{"--export-picks", "-", "--format", "xls"},
         BatchCommand::None,
         "",
         "--format needs csv, tsv or html, not 'xls'"},
        {{"--export-picks", "-", "--format", "csv", "--format=html"}, BatchCommand::None, "", "--format given twice"},
        {{"--import-picks", "-", "--format", "csv"},
         BatchCommand::None,
         "",
         "--format goes with --export-picks, --export-standings or --outlook"},
        {{"--export-picks=all picks.htm", "--pool=p"}, BatchCommand::ExportPicks, "all picks.htm", ""},
        {{"--export-standings", "./-odd.txt"}, BatchCommand::ExportStandings, "./-odd.txt", ""},
        {{"--import-field=field.csv"}, BatchCommand::ImportField, "field.csv", ""},
        {{"--import-picks"}, BatchCommand::None, "", "--import-picks needs a file: --import-picks FILE"},
        {{"--import-field", "--pool", "p"}, BatchCommand::None, "", "--import-field needs a file: --import-field FILE"},
        {{"--import-picks", "a.csv", "--export-picks", "b.csv"},
         BatchCommand::None,
         "",
         "one command at a time: --import-picks and --export-picks"},
        {{"--export-standing", "s.htm"}, BatchCommand::None, "", "unknown option '--export-standing'"},
        {{"--publish", "web site"}, BatchCommand::Publish, "web site", ""},
        {{"--publish", "--pool", "p"}, BatchCommand::None, "", "--publish needs a folder: --publish OUTDIR"},
        {{"--outlook", "--publish=web"}, BatchCommand::None, "", "one command at a time: --outlook and --publish"},
    };
    parseRows(rows, [](const Row& row, const CommandLine& line) {
        EXPECT_EQ(line.command, row.command);
        EXPECT_EQ(line.commandFile, row.file);
        EXPECT_EQ(line.format, row.format);
    });
}

// The returned entry pages come back as many files for one import; other commands take one.
TEST(CommandLineTest, ImportsPicksFromSeveralFiles)
{
    struct Row {
        std::vector<std::string> args;
        BatchCommand command;
        std::vector<std::string> files;
        std::string error;
    };
    const Row rows[] = {
        {{"--import-picks", "a.csv", "b c.csv", "--pool", "p", "d.csv"},
         BatchCommand::ImportPicks,
         {"a.csv", "b c.csv", "d.csv"},
         ""},
        {{"--make-entry-page", "entry-page.htm"}, BatchCommand::MakeEntryPage, {}, ""},
        {{"--import-picks", "-", "b.csv"},
         BatchCommand::None,
         {},
         "--import-picks reads the standard input only as its one FILE"},
        {{"--export-picks", "a.csv", "b.csv"}, BatchCommand::None, {}, "unexpected argument 'b.csv'"},
        {{"a.csv", "--import-picks", "b.csv"}, BatchCommand::None, {}, "unexpected argument 'a.csv'"},
    };
    parseRows(rows, [](const Row& row, const CommandLine& line) {
        EXPECT_EQ(line.command, row.command);
        EXPECT_EQ(line.importFiles, row.files);
    });
}

// Only the window system's own options pass for the application object, taken as it takes them;
// anything else is a mistake found here, before anything needs a display.
TEST(CommandLineTest, LetsOnlyTheWindowSystemsOptionsThrough)
{
    struct Row {
        std::vector<std::string> args;
        bool windowSystem;
        std::optional<std::string> pool;
        std::string error;
    };
    const Row rows[] = {
        {{"--pool", "p"}, false, "p", ""},
        {{"-platform", "offscreen", "--pool", "p"}, true, "p", ""},
        {{"--platform", "xcb"}, true, std::nullopt, ""},
        {{"-style=fusion", "-reverse", "-display", ":0", "--pool=p"}, true, "p", ""},
        {{"-qwindowtitle", "--pool", "-stylesheet", "a.qss"}, true, std::nullopt, ""},  // the title as Qt takes it
        {{"-platform"}, false, std::nullopt, "-platform needs a value"},
        {{"-platform=offscreen"}, false, std::nullopt, "unknown option '-platform=offscreen'"},
        {{"---platform", "offscreen"}, false, std::nullopt, "unknown option '---platform'"},
        {{"-reverse=yes"}, false, std::nullopt, "unknown option '-reverse=yes'"},
        {{"-platform", "offscreen", "--outlook"},
         false,
         std::nullopt,
         "--outlook runs without a window: leave out the window system's options"},
        {{"--export-picks=a.csv", "-style", "fusion"},
         false,
         std::nullopt,
         "--export-picks runs without a window: leave out the window system's options"},
    };
    parseRows(rows, [](const Row& row, const CommandLine& line) {
        EXPECT_EQ(line.windowSystemOptions, row.windowSystem);
        EXPECT_EQ(line.poolDir, row.pool);
    });
}

TEST(CommandLineTest, ReadsTheOutlookAndItsPaidPlaces)
{
    struct Row {
        std::vector<std::string> args;
        BatchCommand command;
        int places;
        std::string error;
    };
    const Row rows[] = {
        {{"--pool", "p", "--outlook"}, BatchCommand::Outlook, 3, ""},
        {{"--outlook", "--places", "8"}, BatchCommand::Outlook, 8, ""},
        {{"--places=1", "--outlook", "--places", "1", "--outlook"}, BatchCommand::Outlook, 1, ""},
        {{"--pool", "p", "--places", "2"}, BatchCommand::None, 3, "--places goes with --outlook"},
        {{"--outlook", "--places", "0"}, BatchCommand::None, 3, "--places needs a number from 1 to 8, not '0'"},
        {{"--outlook", "--places=9"}, BatchCommand::None, 3, "--places needs a number from 1 to 8, not '9'"},
        {{"--outlook", "--places", "2x"}, BatchCommand::None, 3, "--places needs a number from 1 to 8, not '2x'"},
        {{"--outlook", "--places", "-1"}, BatchCommand::None, 3, "--places needs a number: --places N"},
        {{"--outlook", "--places="}, BatchCommand::None, 3, "--places needs a number: --places=N"},
        {{"--outlook", "--places=2", "--places=3"}, BatchCommand::None, 3, "--places given twice"},
        {{"--outlook", "--fee", "5", "--payouts=50,30,20,fee"}, BatchCommand::Outlook, 3, ""},
        {{"--pool", "p", "--fee", "5"}, BatchCommand::None, 3, "--fee goes with --outlook"},
        {{"--outlook", "--fee", "5x"}, BatchCommand::None, 3, "--fee needs a sum such as 5 or 12.50, not '5x'"},
        {{"--outlook", "--payouts", "60,x"},
         BatchCommand::None,
         3,
         "--payouts needs percentages or 'fee' by place, such as 60,30,10 or 50,30,20,fee; not '60,x'"},
        {{"--outlook", "--export-picks", "b.csv"},
         BatchCommand::None,
         3,
         "one command at a time: --outlook and --export-picks"},
        {{"--export-picks", "b.csv", "--outlook"},
         BatchCommand::None,
         3,
         "one command at a time: --export-picks and --outlook"},
    };
    parseRows(rows, [](const Row& row, const CommandLine& line) {
        EXPECT_EQ(line.command, row.command);
        EXPECT_EQ(line.places, row.places);
    });
}

// The manual page follows the usage: every option --help names, the page names too.
TEST(CommandLineTest, TheManualPageNamesEveryOptionOfTheUsage)
{
    std::ifstream file(HOOP_MAN_PAGE);
    ASSERT_TRUE(file) << HOOP_MAN_PAGE;
    std::string page(std::istreambuf_iterator<char>(file), {});
    // roff writes a hyphen of an option as "\-".
    page = std::regex_replace(page, std::regex(R"(\\-)"), "-");
    const std::string usage = UsageText;
    const std::regex option(R"(--[a-z-]+)");
    int options = 0;
    for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option); it != std::sregex_iterator(); ++it) {
        ++options;
        EXPECT_NE(page.find(it->str()), std::string::npos) << it->str();
    }
    EXPECT_GT(options, 10);
}
