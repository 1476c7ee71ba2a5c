// The commands of the command line, run as the real program without any display, on a pool in a
// folder of their own with their own settings, runtime and temp folders.
#include <QAction>
#include <QDir>
#include <QProcess>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sstream>

#include "core/commands/batch_commands.h"
#include "core/commands/pool_lock.h"
#include "core/outlook/outlook_table.h"
#include "core/pool/journal.h"
#include "gui/main/main_window.h"
#include "gui/standings/standings_window.h"
#include "pool/pool_samples.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/isolated_process.h"
#include "support/test_settings.h"
#include "transfer/transfer_fixture.h"

namespace fs = std::filesystem;

namespace {
struct Ran {
    int code = -1;
    std::string out, err;
};

class BatchCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* folder : {"pool", "tmp", "config/Corvanta", "run"}) fs::create_directories(dir.file(folder));
        fs::permissions(dir.file("run"), fs::perms::owner_all);
        env = isolatedEnvironment(dir);
        // A field, and one participant already in the pool.
        saveRegions(pool, {"East", "West", "South", "Midwest"});
        TeamTable teams;
        nameTeams(teams);
        saveTeams(pool, teams);
        NullPoolHost host;
        PlayerList players(host, pool, teams);
        players.add(makeEntry(7, "Ann", favourites()));
        players.writePicksFile();
    }

    // input: what the command finds on its standard input.
    Ran run(const QStringList& args, const std::string& input = {})
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(HOOPFALL_BINARY), QStringList{"--pool", QString::fromStdString(pool)} + args);
        p.write(input.data(), qint64(input.size()));
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput().toStdString(),
                p.readAllStandardError().toStdString()};
    }
    // Every file of the pool's folder, by name, but the lock every command that changes the pool
    // leaves there.
    std::map<std::string, std::string> poolFiles() const
    {
        std::map<std::string, std::string> files;
        for (const auto& item : fs::directory_iterator(pool))
            if (item.path().filename() != PoolLockFileName)
                files[item.path().filename().string()] =
                    item.is_directory() ? "(folder)" : dir.read("pool/" + item.path().filename().string());
        return files;
    }
    QString file(const char* name) const { return QString::fromStdString(dir.file(name)); }

    TempDir dir;
    std::string pool = dir.file("pool");
    QProcessEnvironment env;
};
}  // namespace

// The same file given twice is imported once: its second copy is passed over line by line, and
// the summary counts each file's own.
TEST_F(BatchCommands, SeveralFilesAreOneImportWithASummaryPerFile)
{
    dir.write("picks.csv", picksHeader() + "\n" + picksLine("Bob,1,Yes", favourites()) + "\n" +
                               picksLine("Dee,2,No", favourites(40)) + "\n");
    const std::string path = dir.file("picks.csv");
    const Ran ran = run({"--import-picks", file("picks.csv"), file("picks.csv")});
    EXPECT_EQ(ran.code, BatchDone) << ran.err;
    EXPECT_EQ(ran.out, path + ": Line 2, column \"Name\": \"Bob\" is already in the pool\n" + path +
                           ": Line 3, column \"Name\": \"Dee\" is already in the pool\n2 participants imported from " +
                           path + ": 1 complete, 1 incomplete\n0 participants imported from " + path + "\n");
    EXPECT_EQ(ran.err, "hoopfall: 2 lines of " + path + " are already in the pool and skipped\n");
}

TEST_F(BatchCommands, ExitStatusSaysWhetherAllSomeOrNothingWasDone)
{
    const PickArray all = favourites();
    dir.write("picks.csv", picksHeader() + "\n" + picksLine("Bob,1,Yes", all) + "\n" +
                               picksLine("Carl,1,maybe \xC3\xA9", all) + "\n" + picksLine("Dee,2,No", favourites(40)) +
                               "\n");
    Ran ran = run({"--import-picks", file("picks.csv")});
    EXPECT_EQ(ran.code, BatchRowsRefused);
    EXPECT_EQ(ran.out, "2 participants imported from " + dir.file("picks.csv") + ": 1 complete, 1 incomplete\n");
    EXPECT_EQ(ran.err, dir.file("picks.csv") +
                           ": Line 3, column \"Paid\": \"maybe \xC3\xA9\" is not Yes, No, TRUE, FALSE, x, 1 or 0\n" +
                           "hoopfall: 1 line of " + dir.file("picks.csv") + " was refused\n");
    const std::string picks = dir.read("pool/" + PicksFileName);
    EXPECT_EQ(picks.size(), 3 * PickRecordSize);
    EXPECT_NE(picks.find("\3Dee", 2 * PickRecordSize), std::string::npos);
    EXPECT_FALSE(dir.exists("pool/" + JournalFileName)) << "PICKS.HFD is written as the program writes it on closing";

    // Everyone is in the pool now, picks and all: passed over, and with the refused line nothing
    // can be done, and nothing is touched.
    const auto before = poolFiles();
    ran = run({"--import-picks", file("picks.csv")});
    EXPECT_EQ(ran.code, BatchFailed);
    EXPECT_NE(ran.err.find("hoopfall: 2 lines of " + dir.file("picks.csv") + " are already in the pool and skipped\n"),
              std::string::npos)
        << ran.err;
    EXPECT_NE(ran.out.find(": Line 2, column \"Name\": \"Bob\" is already in the pool"), std::string::npos) << ran.out;
    EXPECT_EQ(poolFiles(), before);

    dir.write("field.csv", fieldFile("East 7"));
    ran = run({"--import-field", file("field.csv")});
    EXPECT_EQ(ran.code, BatchFailed);
    EXPECT_EQ(ran.err, dir.file("field.csv") +
                           ": The region \"East\" has no team for seed 7.\nhoopfall: the field in " +
                           dir.file("field.csv") + " can not be imported\n");
    EXPECT_EQ(poolFiles(), before);
    // The new field replaces every team the pool's picks name: refused, and the picks can not follow.
    dir.write("field.csv", fieldFile());
    ran = run({"--import-field", file("field.csv")});
    EXPECT_EQ(ran.code, BatchFailed);
    EXPECT_NE(ran.err.find("--remap-picks moves every pick"), std::string::npos) << ran.err;
    ran = run({"--import-field", file("field.csv"), "--remap-picks"});
    EXPECT_EQ(ran.code, BatchFailed);
    EXPECT_NE(ran.err.find("\"T101\" at East 1 (upper left) is replaced: no team of the new field has its name; "
                           "3 sheets pick it"),
              std::string::npos)
        << ran.err;
    EXPECT_EQ(poolFiles(), before);
    pool = dir.file("no picks");
    ran = run({"--import-field", file("field.csv")});
    EXPECT_EQ(ran.code, BatchDone) << ran.err;
    EXPECT_EQ(loadRegionNames(pool)[0], "South");

    ran = run({"--import-picks"});
    EXPECT_EQ(ran.code, UsageExitCode);
    EXPECT_EQ(ran.err.rfind("hoopfall: --import-picks needs a file: --import-picks FILE\n", 0), 0u) << ran.err;
    ran = run({"--help"});
    EXPECT_EQ(ran.code, 0);
    EXPECT_EQ(ran.out, UsageText);
}

TEST_F(BatchCommands, ExportsLeaveThePoolFolderAsItWas)
{
    // A change of a run that did not close is only in the journal; the exports see it.
    Journal(dir.file("pool/" + JournalFileName)).appendStore(makeEntry(9, "Jo <&>"), true);
    const auto before = poolFiles();
    for (const char* name : {"picks.csv", "picks.htm", "standings.htm", "standings.csv", "standings.txt"}) {
        SCOPED_TRACE(name);
        const bool picks = std::string(name).rfind("picks", 0) == 0;
        const Ran ran = run({picks ? "--export-picks" : "--export-standings", file(name)});
        EXPECT_EQ(ran.code, BatchDone) << ran.err;
        EXPECT_NE(dir.read(name).find(std::string(name).ends_with("htm") ? "Jo &lt;&amp;&gt;" : "Jo <&>"),
                  std::string::npos);
    }
    // The site, from the same pool; a folder of someone else's is refused and left as it was.
    Ran ran = run({"--publish", file("site")});
    EXPECT_EQ(ran.code, BatchDone) << ran.err;
    EXPECT_EQ(ran.out.rfind("Site published to ", 0), 0u) << ran.out;
    EXPECT_NE(dir.read("site/index.html").find("Jo &lt;&amp;&gt;"), std::string::npos);
    fs::create_directory(dir.file("mine"));
    dir.write("mine/index.html", "mine");
    ran = run({"--publish", file("mine")});
    EXPECT_EQ(ran.code, BatchFailed);
    EXPECT_NE(ran.err.find("did not publish"), std::string::npos) << ran.err;
    EXPECT_EQ(dir.read("mine/index.html"), "mine");
    EXPECT_EQ(poolFiles(), before);
    EXPECT_EQ(run({"--export-standings", file("standings.xls")}).code, BatchFailed);

    fs::remove(dir.file("pool/PICKS.HFD"));
    fs::create_directory(dir.file("pool/PICKS.HFD"));  // exists, and cannot be read
    const auto unreadable = poolFiles();
    for (const char* command : {"--export-picks", "--import-picks"}) {
        const Ran ran = run({command, file("picks.csv")});
        EXPECT_EQ(ran.code, BatchFailed) << command;
        EXPECT_NE(ran.err.find("PICKS.HFD could not be read"), std::string::npos) << ran.err;
        EXPECT_EQ(poolFiles(), unreadable);
    }
}

// "-" is the standard output of an export, which gets the bytes its file would hold, and the
// standard input of an import; with no name to tell, --format or the command's own default says
// what is written.
TEST_F(BatchCommands, DashIsTheStandardInputAndOutput)
{
    struct Row {
        QStringList toFile, toOutput;
        const char* file;
    };
    const Row rows[] = {
        {{"--export-picks", file("p.csv")}, {"--export-picks", "-"}, "p.csv"},
        {{"--export-standings", file("s.txt")}, {"--export-standings", "-"}, "s.txt"},
        {{"--export-standings", file("s.csv")}, {"--export-standings", "-", "--format", "csv"}, "s.csv"},
        {{"--export-standings", file("s.dat"), "--format=csv"},
         {"--export-standings", "-", "--format", "csv"},
         "s.dat"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.toOutput.join(' ').toStdString());
        const Ran written = run(row.toFile);
        ASSERT_EQ(written.code, BatchDone) << written.err;
        const Ran printed = run(row.toOutput);
        EXPECT_EQ(printed.code, BatchDone) << printed.err;
        EXPECT_EQ(printed.err, "");
        EXPECT_EQ(printed.out, dir.read(row.file));
    }

    const std::string picks = run({"--export-picks", "-"}).out;
    pool = dir.file("field");
    Ran ran = run({"--import-field", "-"}, fieldFile());
    EXPECT_EQ(ran.code, BatchDone) << ran.err;
    EXPECT_EQ(ran.out, "Field imported from standard input\n");
    // What --export-picks printed is read back from the standard input, into a copy of the pool
    // without its participants.
    fs::create_directories(dir.file("copy"));
    for (const std::string& name : {TeamsFileName, RegionsFileName})
        fs::copy_file(dir.file("pool/" + name), dir.file("copy/" + name));
    pool = dir.file("copy");
    ran = run({"--import-picks", "-"}, picks);
    EXPECT_EQ(ran.code, BatchDone) << ran.err;
    EXPECT_EQ(ran.out, "1 participant imported from standard input: 1 complete, 0 incomplete\n");
    EXPECT_EQ(run({"--export-picks", "-"}).out, picks);
    ran = run({"--import-picks", "-"}, picks);  // everyone is in the pool now: passed over
    EXPECT_EQ(ran.code, BatchDone) << ran.err;
    EXPECT_EQ(ran.err, "hoopfall: 1 line of standard input is already in the pool and skipped\n");
    EXPECT_EQ(ran.out.rfind("standard input: Line 2", 0), 0u) << ran.out;
}

TEST_F(BatchCommands, AnImportIsRefusedWhileTheProgramHasThePoolOpen)
{
    QProcess window;
    QProcessEnvironment shown = env;
    shown.insert("QT_QPA_PLATFORM", "offscreen");
    window.setProcessEnvironment(shown);
    window.start(QStringLiteral(HOOPFALL_BINARY), {"--pool", QString::fromStdString(pool)});
    ASSERT_TRUE(window.waitForStarted(10000));
    // Its main window listens for later copies once it exists.
    const QDir runtime(file("run"));
    // (QTRY_VERIFY would only return from the test when it fails: Google Test would not know.)
    ASSERT_TRUE(QTest::qWaitFor([&] { return !runtime.entryList({"*.sock"}, QDir::System).isEmpty(); }, 30000));

    dir.write("picks.csv", picksHeader() + "\n" + picksLine("Bob,1,Yes", favourites()) + "\n");
    const auto before = poolFiles();
    Ran ran = run({"--import-picks", file("picks.csv")});
    EXPECT_EQ(ran.code, BatchFailed);
    EXPECT_NE(ran.err.find(" open, or another command is changing it; close it there"), std::string::npos) << ran.err;
    EXPECT_EQ(poolFiles(), before);
    EXPECT_EQ(run({"--export-standings", file("standings.csv")}).code, BatchDone);
    EXPECT_EQ(window.state(), QProcess::Running) << "the open program was not asked to come forward and end";
    window.kill();
    window.waitForFinished(10000);
}

TEST_F(BatchCommands, StandingsExportWritesWhatTheWindowsSaveAsWrites)
{
    // Scores that differ, a tie, names a page and a spreadsheet must escape, and a round value of
    // the user's settings.
    testSettings().values.clear();
    testSettings().values[{settings::Scoring, settings::roundName(1)}] = "7";
    dir.write("config/Corvanta/the Hoopfall.conf", "[Scoring]\nRound1=7\n");
    {
        NullPoolHost host;
        TeamTable teams;
        PlayerList players(host, pool, teams);
        PickArray results = favourites(40);
        players.add(makeEntry(ResultsId, ResultsName, results));
        PickArray other = favourites();
        for (int game = 1; game <= 32; game += 3) other[std::size_t(game)] = teamsOfGame(other, game).b;
        const char* names[] = {"Lee, \"the\" <Champ> & co", "=SUM(A1)", "Zo\xEB", "Ann"};
        for (int i = 0; i < 4; ++i) players.add(makeEntry(20 + i, names[i], i % 2 ? favourites() : other));
        players.writePicksFile();
    }
    const char* types[] = {"", "s.htm", "s.csv", "s.txt"};  // by the window's type number
    const auto day = systemToday();
    for (int type = 1; type <= 3; ++type) ASSERT_EQ(run({"--export-standings", file(types[type])}).code, BatchDone);

    MainWindow main(testSettings(), QString::fromStdString(pool));
    main.session().loadTeams();
    main.session().loadPlayers();
    Find<QAction>(main, "mnuViewStd")->trigger();
    StandingsWindow* standings = main.standingsForm();
    ASSERT_NE(standings, nullptr);
    if (systemToday() != day) GTEST_SKIP() << "the date of the page changed meanwhile";
    for (int type = 1; type <= 3; ++type) {
        SCOPED_TRACE(types[type]);
        testPrompts().saveAnswers.push_back([&, type](SaveFileRequest& request) {
            request.fileName = file("window") + "." + QString::fromLatin1(types[type]).section('.', 1);
            request.filterIndex = type;
            return true;
        });
        Find<QAction>(*standings, "mnuExport")->trigger();
        const std::string written =
            dir.read("window." + QString::fromLatin1(types[type]).section('.', 1).toStdString());
        EXPECT_NE(written.find("Ann"), std::string::npos);
        EXPECT_EQ(dir.read(types[type]), written);
    }
    testPrompts().clear();
    testSettings().values.clear();
}

// The outlook: the outlook window's table as its Copy gives it, rows in the order the standings
// open in, of the pool with the changes of a copy still running on it; nothing in the pool's
// folder changes, and a locale that writes decimal commas changes nothing. A damaged PICKS.HFD
// or places out of range end it with status 2.
TEST_F(BatchCommands, OutlookPrintsTheOutlookAndWritesNothing)
{
    std::mt19937 rng(3);
    {
        NullPoolHost host;
        TeamTable teams;
        PlayerList players(host, pool, teams);
        for (int i = 0; i < 9; ++i) players.add(makeEntry(10 + i, "P" + std::to_string(i), randomBracket(rng)));
        players.add(makeEntry(30, "Twin", players[2].picks));  // tied with P2 whatever happens
        players.add(makeEntry(ResultsId, ResultsName, randomBracket(rng, 54)));
        players.writePicksFile();
    }
    Journal(dir.file("pool/" + JournalFileName)).appendStore(makeEntry(40, "Late", randomBracket(rng)), true);
    const auto before = poolFiles();

    NullPoolHost host;
    TeamTable teams;
    PlayerList players(host, pool, teams);
    ASSERT_NO_THROW(players.loadUnchanged());
    players.updateStandings();
    players.sort();
    const outlook::OutlookResult result = outlook::computeOutlook(outlook::outlookInputOf(players, ScoringValues{}, 2));
    ASSERT_EQ(result.method, outlook::OutlookMethod::Exact);
    const std::string expected = outlook::outlookText(outlook::OutlookTable(result, outlook::participantNames(players)),
                                                      outlook::OutlookFormat::Tab, "\n");
    Ran ran = run({"--outlook", "--places", "2"});
    EXPECT_EQ(ran.code, BatchDone) << ran.err;
    EXPECT_EQ(ran.out, expected);
    EXPECT_NE(ran.out.find("\tLate\t"), std::string::npos);
    EXPECT_EQ(ran.err, "");  // every figure exact: nothing to say
    // In a file, what the window's Save As writes: the same lines, ending as a Windows text's do.
    ran = run({"--outlook=" + file("outlook.txt"), "--places", "2"});
    EXPECT_EQ(ran.code, BatchDone) << ran.err;
    EXPECT_EQ(QString::fromStdString(dir.read("outlook.txt")).remove('\r').toStdString(), expected);
    EXPECT_EQ(poolFiles(), before);

    // A German locale made here, where the system has only C: its numbers have decimal commas.
    fs::create_directories(dir.file("locale"));
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"), {"-i", "de_DE", "-f", "UTF-8", file("locale/de_DE.UTF-8")});
    if (localedef.waitForFinished(60000) && localedef.error() != QProcess::FailedToStart) {
        EXPECT_EQ(localedef.exitCode(), 0) << localedef.readAllStandardError().toStdString();
        env.insert("LOCPATH", file("locale"));
        env.insert("LC_ALL", "de_DE.UTF-8");
        EXPECT_EQ(run({"--outlook", "--places", "2"}).out, expected);
        env.remove("LOCPATH");
        env.remove("LC_ALL");
    }

    // An entry fee adds Exp. Winnings, last, with two decimals.
    ran = run({"--outlook", "--fee", "5", "--payouts", "50,30,20,fee"});
    EXPECT_EQ(ran.code, BatchDone) << ran.err;
    std::istringstream lines(ran.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "#\tName\tTotal Pts\tBest Finish\tWorst Finish\tCan Win\tWin %\tMoney %\tExp. Winnings");
    int rows = 0;
    for (; std::getline(lines, line); ++rows) {
        const std::string last = line.substr(line.rfind('\t') + 1);
        EXPECT_TRUE(last.size() >= 4 && last[last.size() - 3] == '.' &&
                    last.find_first_not_of("0123456789.") == std::string::npos)
            << line;
    }
    EXPECT_EQ(rows, 11);

    fs::remove(dir.file("pool/" + JournalFileName));  // it extends the file as it was, not the torn one
    dir.write("pool/" + PicksFileName, dir.read("pool/" + PicksFileName) + "x");
    const auto torn = poolFiles();
    ran = run({"--outlook"});
    EXPECT_EQ(ran.code, BatchFailed);
    EXPECT_EQ(ran.err, "hoopfall: The file " + dir.file("pool/" + PicksFileName) +
                           " is damaged: its last record is cut short.\n");
    EXPECT_EQ(ran.out, "");
    EXPECT_EQ(poolFiles(), torn);

    ran = run({"--outlook", "--places", "9"});
    EXPECT_EQ(ran.code, UsageExitCode);
    EXPECT_EQ(ran.err.rfind("hoopfall: --places needs a number from 1 to 8, not '9'\n", 0), 0u) << ran.err;
}
