// The real program with no display at all, as from a terminal without one, cron or ssh: every
// mistake of the command line ends it with status 2 and the usage on standard error, never with
// an abort.
#include <QProcess>
#include <filesystem>
#include <iterator>
#include <gtest/gtest.h>

#include "shell/command_line.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

TEST(CommandLineProcess, EveryMistakeEndsWithStatus2WithoutADisplay)
{
    TempDir dir;
    for (const char* folder : {"pool", "tmp", "config", "run"}) fs::create_directories(dir.file(folder));
    fs::permissions(dir.file("run"), fs::perms::owner_all);
    dir.write("pool/TEAMS.HFD", "");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(display);
    for (const auto& [name, folder] : {std::pair{"HOME", ""}, {"XDG_CONFIG_HOME", "/config"}, {"XDG_DATA_HOME", "/data"},
                                       {"TMPDIR", "/tmp"}, {"XDG_RUNTIME_DIR", "/run"}})
        env.insert(name, QString::fromStdString(dir.path()) + folder);
    const QString pool = QString::fromStdString(dir.file("pool"));
    const QString out = QString::fromStdString(dir.file("out.csv"));

    struct Row {
        QStringList args;
        std::string mistake;  // followed by the usage; else the whole of standard error
        std::string err;
    };
    const Row rows[] = {
        {{"--pool", pool, "--export-standing", out}, "unknown option '--export-standing'", ""},
        {{"--version"}, "unknown option '--version'", ""},
        {{"-p", pool}, "unknown option '-p'", ""},
        {{"--pool", pool, "-platform"}, "-platform needs a value", ""},
        {{"-platform", "offscreen", "--pool", pool, "--outlook"},
         "--outlook runs without a window: leave out the window system's options", ""},
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
                  row.mistake.empty() ? row.err : "hoopfall: " + row.mistake + "\n\n" + UsageText);
        EXPECT_FALSE(dir.exists("out.csv"));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("pool")), fs::directory_iterator()), 1);
}
