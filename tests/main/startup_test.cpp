#include <QFileInfo>
#include <QLabel>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include "core/pool/team_files.h"
#include "core/settings/settings.h"
#include "gui/main/main_window.h"
#include "gui/main/single_instance.h"
#include "gui/main/splash.h"
#include "gui/main/startup.h"
#include "gui/widgets/prompts.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/temp_dir.h"
#include "version.h"

namespace {
QString labelText(const QWidget& window, const char* name)
{
    const auto* label = window.findChild<QLabel*>(QLatin1String(name));
    EXPECT_NE(label, nullptr) << name;
    return label ? label->text() : QString();
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { testPrompts().clear(); }
    MemorySettings store;
};
}  // namespace

TEST_F(StartupTest, WithNoDataFilesBothQuickTipsShowThenTheEmptyPool)
{
    TempDir dir;
    SplashWindow splash;
    QStringList splashLines;
    auto main = createAndLoad(store, QString::fromStdString(dir.path()), &splash);
    ASSERT_EQ(testPrompts().boxes.size(), 2u);
    EXPECT_EQ(testPrompts().boxes[0].text.toStdString(), TeamsQuickTip);
    EXPECT_EQ(testPrompts().boxes[1].text.toStdString(), PlayersQuickTip);
    EXPECT_EQ(testPrompts().beeps, 2);
    EXPECT_EQ(Find<QLabel>(*main, "pnlCount")->text(), QStringLiteral("Players: 0"));
    EXPECT_EQ(labelText(splash, "lblStatus"), QStringLiteral("Loading Players Picks..."));
    EXPECT_EQ(applicationTitleText(), QStringLiteral("Corvanta: NCAA Tournament Manager"));
}

TEST_F(StartupTest, TheSmallScreenQuestionIsAskedOncePerUser)
{
    EXPECT_TRUE(checkResolution(store, 800, 800, "800x600"));
    EXPECT_TRUE(testPrompts().boxes.empty());
    EXPECT_TRUE(store.values.empty()) << "a wide screen writes nothing";

    testPrompts().answers = {PromptAnswer::No};
    EXPECT_FALSE(checkResolution(store, 640, 800, "800x600"));
    ASSERT_EQ(testPrompts().boxes.size(), 1u);
    EXPECT_EQ(testPrompts().boxes[0].kind, PromptKind::Warning);
    EXPECT_EQ(testPrompts().boxes[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(testPrompts().boxes[0].text,
              "The recommended screen resolution for this application is 800x600 or higher. You can change this "
              "setting in the Display Settings under Control Panel. Continue anyway?");
    EXPECT_EQ((store.values[{"Other", "Checked Resolution"}]), "1");

    EXPECT_TRUE(checkResolution(store, 640, 800, "800x600"));
    EXPECT_EQ(testPrompts().boxes.size(), 1u) << "not asked again";
}

// A store that refuses the answer does not stop the program: the failure is shown, and the
// answer counts.
TEST_F(StartupTest, AnAnswerThatCannotBeStoredIsReportedAndStillCounts)
{
    store.refuseWrites = true;
    for (const PromptAnswer answer : {PromptAnswer::Yes, PromptAnswer::No}) {
        testPrompts().clear();
        testPrompts().answers = {answer};
        EXPECT_EQ(checkResolution(store, 640, 800, "800x600"), answer == PromptAnswer::Yes);
        ASSERT_EQ(testPrompts().boxes.size(), 2u);
        EXPECT_EQ(testPrompts().boxes[1].kind, PromptKind::Error);
        EXPECT_EQ(testPrompts().boxes[1].text, QStringLiteral("Failed to set data for 'Checked Resolution'"));
    }
    EXPECT_TRUE(store.values.empty());
}

TEST(SingleInstanceTest, ALaterCopyFindsTheFirstAndAsksItForward)
{
    TempDir dir;
    const QString name = QStringLiteral("HoopfallTest%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(QString::fromStdString(dir.path()), name);
    ASSERT_EQ(first.check(1000), SingleInstance::Outcome::First);

    // While the first still starts up (it holds the lock), a second copy gives up silently.
    SingleInstance early(QString::fromStdString(dir.path()), name);
    EXPECT_EQ(early.check(100), SingleInstance::Outcome::AlreadyStarting);

    QSignalSpy raised(&first, &SingleInstance::raiseRequested);
    first.listen();
    first.releaseLock();
    SingleInstance later(QString::fromStdString(dir.path()), name);
    EXPECT_EQ(later.check(1000), SingleInstance::Outcome::AlreadyRunning);
    EXPECT_TRUE(raised.wait(2000));
}

namespace {
// XDG_RUNTIME_DIR, TMPDIR and HOME point into a temp folder for one test, so none of the user's
// own folders is touched.
class PrivateFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = {qgetenv("XDG_RUNTIME_DIR"), qgetenv("TMPDIR"), qgetenv("HOME")};
        std::filesystem::create_directories(dir.file("run"));
        std::filesystem::create_directories(dir.file("tmp"));
        std::filesystem::permissions(dir.file("run"), std::filesystem::perms::owner_all);
        qputenv("XDG_RUNTIME_DIR", dir.file("run").c_str());
        qputenv("TMPDIR", dir.file("tmp").c_str());
        qputenv("HOME", dir.file("home").c_str());
    }
    void TearDown() override
    {
        for (const auto& [name, value] :
             {std::pair{"XDG_RUNTIME_DIR", saved[0]}, {"TMPDIR", saved[1]}, {"HOME", saved[2]}})
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    QString folder(const std::string& name) const { return QString::fromStdString(dir.file(name)); }

    TempDir dir;
    std::array<QByteArray, 3> saved;
    const QString name = QString::fromLatin1(StartupLockName);
};
}  // namespace

// The runtime folder is used when it is a real folder of the user's with mode 0700. When it is
// not, and Qt's own stand-in cannot be had either, a folder of the user's own is made in the temp
// folder, and when something else sits there, in the user's cache folder.
TEST_F(PrivateFolders, TheLockAndTheSocketLiveInTheUsersOwnFolder)
{
    const std::string uid = std::to_string(::geteuid());
    std::filesystem::create_directory_symlink(dir.file("run"), dir.file("link"));
    dir.write("tmp/runtime-" + std::string(::getpwuid(::geteuid())->pw_name), "");  // Qt's stand-in is blocked
    struct Case {
        std::string runtime;
        std::function<void()> prepare;
        std::string expected;
    };
    for (const Case& c : std::vector<Case>{{"run", [] {}, dir.file("run")},
                                           {"link", [] {}, dir.file("tmp/hoopfall-" + uid)},
                                           {"link",
                                            [&] {
                                                std::filesystem::remove(dir.file("tmp/hoopfall-" + uid));
                                                std::filesystem::create_directory_symlink(
                                                    dir.file("run"), dir.file("tmp/hoopfall-" + uid));
                                            },
                                            dir.file("home/.qttest/cache/hoopfall")}}) {
        c.prepare();
        qputenv("XDG_RUNTIME_DIR", dir.file(c.runtime).c_str());
        EXPECT_EQ(privateLockFolder().toStdString(), c.expected) << c.runtime;
        EXPECT_EQ(std::filesystem::symlink_status(c.expected).permissions(), std::filesystem::perms::owner_all);
    }

    qputenv("XDG_RUNTIME_DIR", folder("run").toLocal8Bit());
    SingleInstance first(privateLockFolder(), name, folder("pool"));
    ASSERT_EQ(first.check(1000), SingleInstance::Outcome::First);
    first.listen();
    EXPECT_EQ(QFileInfo(first.lockFileName()).absolutePath(), folder("run"));
    EXPECT_EQ(QFileInfo(first.socketPath()).absolutePath(), folder("run"));
    EXPECT_TRUE(QFileInfo::exists(first.socketPath()));
    EXPECT_EQ(QFile::permissions(first.socketPath()) &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions{});

    // A copy on another pool has a lock of its own.
    SingleInstance other(privateLockFolder(), name, folder("other pool"));
    EXPECT_EQ(other.check(100), SingleInstance::Outcome::First);
    EXPECT_NE(other.lockFileName(), first.lockFileName());
}

// Connections that send nothing are closed after a second, a flood of them does not tie the
// program up, and a message that is not exactly "raise" raises nothing.
TEST_F(PrivateFolders, IdleFloodAndMalformedMessagesAreClosedAndRaiseStillWorks)
{
    SingleInstance first(privateLockFolder(), name, folder("pool"));
    ASSERT_EQ(first.check(1000), SingleInstance::Outcome::First);
    first.listen();
    first.releaseLock();
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);

    std::vector<std::unique_ptr<QLocalSocket>> flood;
    for (int i = 0; i < 100; ++i) {
        flood.push_back(std::make_unique<QLocalSocket>());
        flood.back()->connectToServer(first.socketPath());
    }
    const auto allClosed = [](const std::vector<std::unique_ptr<QLocalSocket>>& sockets) {
        return std::all_of(sockets.begin(), sockets.end(),
                           [](const auto& s) { return s->state() == QLocalSocket::UnconnectedState; });
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return allClosed(flood); }, 20000));

    std::vector<std::unique_ptr<QLocalSocket>> senders;
    for (const QByteArray& message :
         {QByteArray("raise"), QByteArray("raise\r\n"), QByteArray("RAISE\n"), QByteArray("raisefoo\n"),
          QByteArray("raise\nraise\n"), QByteArray("\n"), QByteArray(100000, 'x'), QByteArray("\0raise\n", 7)}) {
        senders.push_back(std::make_unique<QLocalSocket>());
        senders.back()->connectToServer(first.socketPath());
        ASSERT_TRUE(senders.back()->waitForConnected(5000));
        senders.back()->write(message);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return allClosed(senders); }, 20000));
    EXPECT_EQ(raised.count(), 0);

    SingleInstance later(privateLockFolder(), name, folder("pool"));
    EXPECT_EQ(later.check(1000), SingleInstance::Outcome::AlreadyRunning);
    EXPECT_TRUE(raised.wait(5000));
}

TEST(SplashTest, VersionTextAndTheRoundWindow)
{
    EXPECT_EQ(formatVersion(1, 6, 0), QStringLiteral("1.60"));
    EXPECT_EQ(formatVersion(2, 1, 3), QStringLiteral("2.13"));
    EXPECT_EQ(getFileVersionText("/no/such/program"), QStringLiteral("File not found"));

    SplashWindow splash;
    EXPECT_EQ(splash.size(), QSize(278, 278));
    EXPECT_FALSE(splash.mask().contains(QPoint(2, 2))) << "the corners are cut away";
    EXPECT_TRUE(splash.mask().contains(QPoint(139, 139)));
    EXPECT_TRUE(labelText(splash, "lblLegal")
                    .startsWith("Version " + formatVersion(version::Major, version::Minor, version::Patch) + " "));
    EXPECT_EQ(QString::fromLatin1(version::Text), formatVersion(version::Major, version::Minor, version::Patch));
    EXPECT_TRUE(labelText(splash, "lblStatus").isEmpty());
}

TEST(SplashTest, AClickClosesTheAboutBoxButNotTheStartUpSplash)
{
    SplashWindow startup;
    startup.show();
    QTest::mouseClick(&startup, Qt::LeftButton, {}, QPoint(139, 60));
    EXPECT_TRUE(startup.isVisible());

    SplashWindow about;
    QTimer::singleShot(0, &about, [&about] { QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(139, 240)); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}
