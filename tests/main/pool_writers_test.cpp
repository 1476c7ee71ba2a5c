// One writer per pool folder, whatever the runtime folder or the path: the real program's window
// runs on a pool, and other copies of the program, as windows and as imports, try the same pool
// from another runtime folder (as after su, sudo -u, cron or ssh) and through a bind mount.
#include <QDir>
#include <QProcess>
#include <QTest>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>

#include "core/commands/batch_commands.h"
#include "pool/pool_samples.h"
#include "support/isolated_process.h"
#include "transfer/transfer_fixture.h"

namespace fs = std::filesystem;

namespace {
class PoolWriters : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* folder : {"pool", "mount", "tmp", "config", "run", "other run"})
            fs::create_directories(dir.file(folder));
        for (const char* folder : {"run", "other run"}) fs::permissions(dir.file(folder), fs::perms::owner_all);
        env = isolatedEnvironment(dir);
        saveRegions(dir.file("pool"), {"East", "West", "South", "Midwest"});
        TeamTable teams;
        nameTeams(teams);
        saveTeams(dir.file("pool"), teams);
        NullPoolHost host;
        PlayerList players(host, dir.file("pool"), teams);
        players.add(makeEntry(7, "Ann", favourites()));
        players.writePicksFile();
        dir.write("picks.csv", picksHeader() + "\n" + picksLine("Bob,1,Yes", favourites()) + "\n");
    }
    void TearDown() override
    {
        for (QProcess* p : {&window, &other})
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(10000);
            }
        if (mounted) QProcess::execute(QStringLiteral("umount"), {file("mount")});
    }

    // Starts the program with these arguments; runtime: the runtime folder's name.
    void start(QProcess& p, const char* runtime, const QStringList& args)
    {
        QProcessEnvironment e = env;
        e.insert("XDG_RUNTIME_DIR", file(runtime));
        if (!args.contains(QStringLiteral("--import-picks"))) e.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(e);
        p.start(QStringLiteral(HOOPFALL_BINARY), args);
        ASSERT_TRUE(p.waitForStarted(10000));
    }
    // Every file of the pool, by name: its size and a hash of its bytes.
    std::map<std::string, std::pair<std::size_t, std::size_t>> poolFiles() const
    {
        std::map<std::string, std::pair<std::size_t, std::size_t>> files;
        for (const auto& item : fs::directory_iterator(dir.file("pool"))) {
            const std::string bytes = dir.read("pool/" + item.path().filename().string());
            files[item.path().filename().string()] = {bytes.size(), std::hash<std::string>()(bytes)};
        }
        return files;
    }
    QString file(const char* name) const { return QString::fromStdString(dir.file(name)); }

    TempDir dir;
    QProcessEnvironment env;
    QProcess window, other;
    bool mounted = false;
};
}  // namespace

TEST_F(PoolWriters, ASecondWriterIsRefusedWhateverItsRuntimeFolderOrPath)
{
    mounted = QProcess::execute(QStringLiteral("mount"), {"--bind", file("pool"), file("mount")}) == 0;
    start(window, "run", {"--pool", file("pool")});
    // Its main window listens for later copies once it exists, long after it took the lock.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !QDir(file("run")).entryList({"*.sock"}, QDir::System).isEmpty(); }, 30000));
    const auto before = poolFiles();

    enum Expect { Raised, RefusedWindow, RefusedCommand };
    struct Row {
        const char* runtime;
        const char* path;
        bool import;
        Expect expect;
    };
    const Row rows[] = {
        {"other run", "pool", false, RefusedWindow},
        {"other run", "mount", false, RefusedWindow},
        {"run", "mount", false, Raised},  // the same user's window on the same folder is found and brought forward
        {"other run", "pool", true, RefusedCommand},
        {"run", "mount", true, RefusedCommand},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.runtime) + ", " + row.path + (row.import ? ", import" : ", window"));
        if (std::string(row.path) == "mount" && !mounted) continue;
        QStringList args{"--pool", file(row.path)};
        if (row.import) args << "--import-picks" << file("picks.csv");
        start(other, row.runtime, args);
        if (row.expect == RefusedWindow) {
            // Its error box waits for a user; the message goes to standard error as well.
            QByteArray err;
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return (err += other.readAllStandardError()).contains(" open, or a command is changing it"); },
                30000))
                << err.toStdString();
            EXPECT_EQ(other.state(), QProcess::Running);
            other.kill();
        }
        ASSERT_TRUE(other.waitForFinished(30000));
        if (row.expect != RefusedWindow) {
            EXPECT_EQ(other.exitCode(), row.expect == Raised ? 0 : BatchFailed);
            EXPECT_EQ(other.readAllStandardError().contains(" open, or another command is changing it"),
                      row.expect == RefusedCommand);
        }
        EXPECT_EQ(poolFiles(), before);
        EXPECT_EQ(window.state(), QProcess::Running);
    }

    // The lock goes with the window: now the import is done.
    window.terminate();
    ASSERT_TRUE(window.waitForFinished(30000));
    start(other, "other run", {"--pool", file(mounted ? "mount" : "pool"), "--import-picks", file("picks.csv")});
    ASSERT_TRUE(other.waitForFinished(30000));
    EXPECT_EQ(other.exitCode(), BatchDone) << other.readAllStandardError().toStdString();
    EXPECT_EQ(dir.read("pool/PICKS.HFD").size(), 2 * PickRecordSize);
    if (!mounted) GTEST_SKIP() << "mount --bind is not permitted here: the rows through a bind mount did not run";
}
