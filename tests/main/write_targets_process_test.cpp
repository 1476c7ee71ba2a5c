// The real program on the command line, with targets that are not regular files: an export to a
// named pipe or a device, and a named pipe or a device where its settings file should be. It must
// refuse or go on, never wait and never replace the node. Runs as root (CI does) to make devices.
#include <QDir>
#include <QProcess>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "core/commands/batch_commands.h"
#include "pool/pool_samples.h"
#include "support/isolated_process.h"
#include "support/temp_dir.h"
#include "transfer/transfer_fixture.h"

namespace fs = std::filesystem;

namespace {
class WriteTargetsProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0) GTEST_SKIP() << "mknod of a device needs root";
        for (const char* folder : {"pool", "tmp", "config/Corvanta", "run", "out"})
            fs::create_directories(dir.file(folder));
        fs::permissions(dir.file("run"), fs::perms::owner_all);
        env = isolatedEnvironment(dir);
        env.insert("XDG_CONFIG_DIRS", QString::fromStdString(dir.file("system")));
        TeamTable teams;
        nameTeams(teams);
        saveTeams(pool, teams);
        NullPoolHost host;
        PlayerList players(host, pool, teams);
        players.add(makeEntry(7, "Ann", favourites()));
        players.writePicksFile();
    }

    // Exit code, or -1 when the program had to be stopped.
    int run(const QStringList& args, std::string& err)
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(HOOPFALL_BINARY), QStringList{"--pool", QString::fromStdString(pool)} + args);
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished(5000);
            return -1;
        }
        err = p.readAllStandardError().toStdString();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    TempDir dir;
    std::string pool = dir.file("pool");
    QProcessEnvironment env;
};

enum class Node { Pipe, Device };
void plant(Node node, const std::string& path)
{
    const int made = node == Node::Pipe ? ::mkfifo(path.c_str(), 0666)
                                        : ::mknod(path.c_str(), S_IFCHR | 0666, ::makedev(1, 3));  // as /dev/null
    ASSERT_EQ(made, 0) << path;
}

struct stat StatOf(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}
}  // namespace

TEST_F(WriteTargetsProcess, AnExportToAPipeOrADeviceIsRefusedAndLeavesIt)
{
    for (const auto& [node, kind] : {std::pair{Node::Pipe, "a named pipe"}, {Node::Device, "a device"}})
        for (const char* command : {"--export-picks", "--export-standings"}) {
            SCOPED_TRACE(std::string(kind) + " " + command);
            fs::remove_all(dir.file("out"));
            fs::create_directory(dir.file("out"));
            const std::string target = dir.file("out/export.csv");
            plant(node, target);
            const struct stat before = StatOf(target);
            std::string err;
            EXPECT_EQ(run({command, QString::fromStdString(target)}, err), BatchFailed);
            EXPECT_NE(err.find("Cannot write file " + target + ": it is " + kind + ", not a regular file"),
                      std::string::npos)
                << err;
            const struct stat after = StatOf(target);
            EXPECT_EQ(after.st_ino, before.st_ino);
            EXPECT_EQ(after.st_mode, before.st_mode);
            EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("out")), {}), 1) << "nothing beside it";
        }
}

TEST_F(WriteTargetsProcess, APipeOrADeviceAsTheSettingsFileIsReportedAndTheCommandRuns)
{
    const std::string settings = dir.file("config/Corvanta/the Hoopfall.conf");
    for (const auto& [node, kind] : {std::pair{Node::Pipe, "a named pipe"}, {Node::Device, "a device"}}) {
        SCOPED_TRACE(kind);
        fs::remove(settings);
        plant(node, settings);
        const struct stat before = StatOf(settings);
        std::string err;
        // The outlook reads the payouts from the settings.
        EXPECT_EQ(run({"--outlook"}, err), BatchDone) << err;
        EXPECT_NE(err.find("The settings file " + settings + " cannot be read: it is " + kind + ", not a regular file"),
                  std::string::npos)
            << err;
        const struct stat after = StatOf(settings);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
    }
}
