// The real program with no display at all, as from a terminal without one, cron or ssh: every
// mistake of the command line, and a folder that holds no pool, end it with status 2 and one line
// on standard error that names it, never with an abort; --version answers without a display too.
#include <QProcess>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>

#include "core/commands/command_line.h"
#include "support/isolated_process.h"
#include "support/temp_dir.h"
#include "version.h"

namespace fs = std::filesystem;

TEST(CommandLineProcess, EveryMistakeEndsWithStatus2WithoutADisplay)
{
    TempDir dir;
    for (const char* folder : {"pool", "empty", "tmp", "config", "run"}) fs::create_directories(dir.file(folder));
    fs::permissions(dir.file("run"), fs::perms::owner_all);
    dir.write("pool/TEAMS.HFD", "");
    dir.write("empty/REGIONS.HFD", "[Regions]\n");  // a region file alone is no pool
    QProcessEnvironment env = isolatedEnvironment(dir);
    const QString pool = QString::fromStdString(dir.file("pool"));
    const QString empty = QString::fromStdString(dir.file("empty"));
    const QString out = QString::fromStdString(dir.file("out.csv"));

    struct Row {
        QStringList args;
        std::string mistake;  // followed by where to read more; else the whole of standard error
        std::string err;
    };
    const Row rows[] = {
        {{"--pool", pool, "--export-standing", out}, "unknown option '--export-standing'", ""},
        {{"--export-standings", "-", "--format", "xml"}, "--format needs csv, tsv or html, not 'xml'", ""},
        {{"-p", pool}, "unknown option '-p'", ""},
        {{"--pool", pool, "-platform"}, "-platform needs a value", ""},
        {{"-platform", "offscreen", "--pool", pool, "--outlook"},
         "--outlook runs without a window: leave out the window system's options",
         ""},
        {{"--pool", empty, "--export-picks", out}, "", "hoopfall: " + dir.file("empty") + " holds no pool\n"},
        {{"--pool", empty, "--export-standings", out}, "", "hoopfall: " + dir.file("empty") + " holds no pool\n"},
        {{"--outlook", "--pool", empty}, "", "hoopfall: " + dir.file("empty") + " holds no pool\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(HOOPFALL_BINARY), row.args);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), UsageExitCode);
        EXPECT_EQ(p.readAllStandardOutput().toStdString(), "");
        EXPECT_EQ(p.readAllStandardError().toStdString(),
                  row.mistake.empty() ? row.err
                                      : "hoopfall: " + row.mistake + "\nTry 'hoopfall --help' for more information.\n");
        EXPECT_FALSE(dir.exists("out.csv"));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("empty")), fs::directory_iterator()), 1)
        << "a folder that holds no pool gets nothing";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("pool")), fs::directory_iterator()), 1);
}

TEST(CommandLineProcess, VersionIsOneLineOnStandardOutput)
{
    TempDir dir;
    QProcess p;
    p.setProcessEnvironment(isolatedEnvironment(dir));
    p.start(QStringLiteral(HOOPFALL_BINARY), {"--version"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput().toStdString(), std::string("hoopfall ") + version::Package + "\n");
    EXPECT_EQ(p.readAllStandardError().toStdString(), "");
}
