// The real program, started twice as separate processes in a folder of their own, with their
// own settings, runtime and temp folders, so nothing of the user's is touched.
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <filesystem>
#include <map>
#include <random>

#include "outlook/outlook_report.h"
#include "pool/journal.h"
#include "shell/single_instance.h"
#include "support/temp_dir.h"
#include "../pool/pool_samples.h"

namespace {
class ProgramProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        home = QString::fromStdString(dir.path());
        QDir(home).mkpath("tmp");
        QDir(home).mkpath("config");
        QDir(home).mkpath("run");
        QFile::setPermissions(QDir(home).filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        program = QDir(home).filePath("hoopfall");
        ASSERT_TRUE(QFile::copy(QStringLiteral(HOOPFALL_BINARY), program));
        env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", home);
        env.insert("XDG_CONFIG_HOME", QDir(home).filePath("config"));
        env.insert("XDG_DATA_HOME", QDir(home).filePath("data"));
        pool = QDir(home).filePath("data/Corvanta/the Hoopfall");  // no data files beside the program
        env.insert("TMPDIR", QDir(home).filePath("tmp"));
        env.insert("XDG_RUNTIME_DIR", QDir(home).filePath("run"));
    }
    void TearDown() override
    {
        for (QProcess* p : {&first, &second})
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
    }
    void start(QProcess& p, const QStringList& args = {})
    {
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(home);
        p.start(program, args);
        ASSERT_TRUE(p.waitForStarted(10000));
    }

    TempDir dir;
    QString home, program, pool;
    QProcessEnvironment env;
    QProcess first, second;
};
}  // namespace

TEST_F(ProgramProcess, ASecondCopyFindsTheRunningOneAndEnds)
{
    // A lock planted in the shared temp folder, where the lock used to be, stops nobody.
    QLockFile planted(QDir(QDir(home).filePath("tmp")).filePath(QString::fromLatin1(StartupLockName) + ".lock"));
    ASSERT_TRUE(planted.tryLock(0));
    start(first);
    // The first copy waits at its quick tip with its main window listening; give it time to get there.
    ASSERT_FALSE(first.waitForFinished(3000));
    start(second);
    ASSERT_TRUE(second.waitForFinished(20000)) << "the second copy would have opened a window of its own";
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(ProgramProcess, ACopyStartedWhileAnotherStartsUpEndsSilently)
{
    // Another copy on the same data folder holds the start-up lock for longer than a second.
    ASSERT_TRUE(QDir().mkpath(pool));
    SingleInstance starting(QDir(home).filePath("run"), QString::fromLatin1(StartupLockName), pool);
    ASSERT_EQ(starting.check(0), SingleInstance::Outcome::First);
    start(second);
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(QDir(pool).filePath("PICKS.HFD"))) << "no main window was made, so nothing was written";
}

TEST_F(ProgramProcess, CopiesOnTwoPoolsRunSideBySide)
{
    start(first, {"--pool", QDir(home).filePath("office")});
    ASSERT_FALSE(first.waitForFinished(3000));
    start(second, {"--pool=" + QDir(home).filePath("family")});
    EXPECT_FALSE(second.waitForFinished(3000)) << "the second pool's copy opened its own window";
    EXPECT_EQ(first.state(), QProcess::Running);
}

// The outlook on the command line needs no display: the platform given here cannot start, and a
// window would end the program at once. It prints the text the core makes of the pool, and leaves
// the pool's folder as it was, byte for byte, with the journal of a copy still running on it. A
// pool it cannot read, or places out of range, end it with 2 and a message.
TEST_F(ProgramProcess, TheOutlookIsPrintedWithoutADisplayAndWritesNothing)
{
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    const std::string folder = dir.file("office");
    std::filesystem::create_directories(folder);
    std::mt19937 rng(5);
    std::string picks;
    for (int i = 0; i <= 12; ++i) {
        const TPlayer entry = i == 4 ? MakeEntry(ResultsId, ResultsName, RandomBracket(rng, 54))
                                     : MakeEntry(i + 1, "Player " + std::to_string(i + 1), RandomBracket(rng));
        picks.resize(picks.size() + PickRecordSize);
        encodePlayer(entry, reinterpret_cast<unsigned char*>(picks.data()) + picks.size() - PickRecordSize);
    }
    dir.write("office/PICKS.HFD", picks);
    TJournal(dir.file("office/PICKS.JNL")).appendStore(MakeEntry(40, "Late Entry", RandomBracket(rng)), true);
    const auto files = [&folder] {
        std::map<std::string, std::string> bytes;
        for (const auto& item : std::filesystem::directory_iterator(folder)) {
            std::ifstream in(item.path(), std::ios::binary);
            bytes[item.path().filename().string()] = {std::istreambuf_iterator<char>(in), {}};
        }
        return bytes;
    };
    const auto before = files();
    const auto run = [this](const QStringList& args) {
        QProcess p;
        start(p, args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::tuple{p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    };

    const auto [code, out, err] = run({"--pool", QString::fromStdString(folder), "--outlook", "--places", "2"});
    EXPECT_EQ(code, 0) << err.toStdString();
    EXPECT_EQ(out.toStdString(), outlook::poolOutlookReport(folder, ScoringValues{}, 2).text);
    EXPECT_TRUE(out.contains("\tLate Entry\t"));
    EXPECT_EQ(err.toStdString(), "");  // nine games left: every figure exact, nothing to note
    EXPECT_EQ(files(), before);

    std::filesystem::create_directories(dir.file("torn"));
    dir.write("torn/PICKS.HFD", std::string(PickRecordSize + 1, '\0'));
    const struct {
        QStringList args;
        int code;
        std::string err;  // its start
    } rows[] = {
        {{"--pool", QString::fromStdString(dir.file("nowhere")), "--outlook"}, 2, "hoopfall: The pool folder "},
        {{"--pool", QString::fromStdString(dir.file("torn")), "--outlook"}, 2, "hoopfall: The file "},
        {{"--outlook", "--pool", QString::fromStdString(folder), "--places", "9"}, 2,
         "hoopfall: --places needs a number from 1 to 8, not '9'\n\nUsage: hoopfall"},
        {{"--outlook"}, 2, "hoopfall: --outlook needs the pool's folder: --pool DIR --outlook\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const auto [rowCode, rowOut, rowErr] = run(row.args);
        EXPECT_EQ(rowCode, row.code);
        EXPECT_EQ(rowErr.toStdString().substr(0, row.err.size()), row.err);
        EXPECT_TRUE(rowOut.isEmpty());
    }
    EXPECT_EQ(files(), before);
}
