// The real program, started twice as separate processes in a folder of their own, with their
// own settings, runtime and temp folders, so nothing of the user's is touched.
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <gtest/gtest.h>

#include "gui/main/single_instance.h"
#include "support/temp_dir.h"

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
