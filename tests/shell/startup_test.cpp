#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "pool/team_files.h"
#include "settings/settings.h"
#include "shell/main_window.h"
#include "shell/prompts.h"
#include "shell/single_instance.h"
#include "shell/splash.h"
#include "shell/startup.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"

namespace {
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestPrompts().clear();
        previous = &SettingsStore();
        SetSettingsStore(&store);
    }
    void TearDown() override { SetSettingsStore(previous); }
    MemorySettings store;
    ISettingsBackend* previous = nullptr;
};
}  // namespace

TEST_F(StartupTest, WithNoDataFilesBothQuickTipsShowThenTheEmptyPool)
{
    TempDir dir;
    TfrmSplash splash;
    QStringList splashLines;
    auto main = CreateAndLoad(QString::fromStdString(dir.path()), &splash);
    ASSERT_EQ(TestPrompts().boxes.size(), 2u);
    EXPECT_EQ(TestPrompts().boxes[0].text.toStdString(), TeamsQuickTip);
    EXPECT_EQ(TestPrompts().boxes[1].text.toStdString(), PlayersQuickTip);
    EXPECT_EQ(TestPrompts().beeps, 2);
    EXPECT_EQ(main->pnlCount->text(), QStringLiteral("Players: 0"));
    EXPECT_EQ(splash.lblStatus->text(), QStringLiteral("Loading Players Picks..."));
    EXPECT_EQ(ApplicationTitleText(), QStringLiteral("Corvanta: NCAA Tournament Manager"));
}

TEST_F(StartupTest, TheSmallScreenQuestionIsAskedOncePerUser)
{
    EXPECT_TRUE(CheckResolution(800, 800, "800x600"));
    EXPECT_TRUE(TestPrompts().boxes.empty());
    EXPECT_TRUE(store.values.empty()) << "a wide screen writes nothing";

    TestPrompts().answers = {PromptAnswer::No};
    EXPECT_FALSE(CheckResolution(640, 800, "800x600"));
    ASSERT_EQ(TestPrompts().boxes.size(), 1u);
    EXPECT_EQ(TestPrompts().boxes[0].kind, PromptKind::Warning);
    EXPECT_EQ(TestPrompts().boxes[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(TestPrompts().boxes[0].text,
              "The recommended screen resolution for this application is 800x600 or higher. You can change this "
              "setting in the Display Settings under Control Panel. Continue anyway?");
    EXPECT_EQ((store.values[{"Other", "Checked Resolution"}]), "1");

    EXPECT_TRUE(CheckResolution(640, 800, "800x600"));
    EXPECT_EQ(TestPrompts().boxes.size(), 1u) << "not asked again";
}

// A store that refuses the answer does not stop the program: the failure is shown, and the
// answer counts.
TEST_F(StartupTest, AnAnswerThatCannotBeStoredIsReportedAndStillCounts)
{
    store.refuseWrites = true;
    for (const PromptAnswer answer : {PromptAnswer::Yes, PromptAnswer::No}) {
        TestPrompts().clear();
        TestPrompts().answers = {answer};
        EXPECT_EQ(CheckResolution(640, 800, "800x600"), answer == PromptAnswer::Yes);
        ASSERT_EQ(TestPrompts().boxes.size(), 2u);
        EXPECT_EQ(TestPrompts().boxes[1].kind, PromptKind::Error);
        EXPECT_EQ(TestPrompts().boxes[1].text, QStringLiteral("Failed to set data for 'Checked Resolution'"));
    }
    EXPECT_TRUE(store.values.empty());
}

TEST(SingleInstanceTest, ALaterCopyFindsTheFirstAndAsksItForward)
{
    TempDir dir;
    const QString name = QStringLiteral("HoopfallTest%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(QString::fromStdString(dir.path()), name);
    ASSERT_EQ(first.Check(1000), SingleInstance::Outcome::First);

    // While the first still starts up (it holds the lock), a second copy gives up silently.
    SingleInstance early(QString::fromStdString(dir.path()), name);
    EXPECT_EQ(early.Check(100), SingleInstance::Outcome::AlreadyStarting);

    QSignalSpy raised(&first, &SingleInstance::raiseRequested);
    first.Listen();
    first.ReleaseLock();
    SingleInstance later(QString::fromStdString(dir.path()), name);
    EXPECT_EQ(later.Check(1000), SingleInstance::Outcome::AlreadyRunning);
    EXPECT_TRUE(raised.wait(2000));
}

TEST(SplashTest, VersionTextAndTheRoundWindow)
{
    EXPECT_EQ(FormatVersion(1, 6, 0), QStringLiteral("1.60"));
    EXPECT_EQ(FormatVersion(2, 1, 3), QStringLiteral("2.13"));
    EXPECT_EQ(GetFileVersionText("/no/such/program"), QStringLiteral("File not found"));

    TfrmSplash splash;
    EXPECT_EQ(splash.size(), QSize(278, 278));
    EXPECT_FALSE(splash.mask().contains(QPoint(2, 2))) << "the corners are cut away";
    EXPECT_TRUE(splash.mask().contains(QPoint(139, 139)));
    EXPECT_TRUE(splash.lblLegal->text().startsWith("Version " + ProgramVersion + " "));
    EXPECT_EQ(ProgramVersion, FormatVersion(HOOP_VERSION_MAJOR, HOOP_VERSION_MINOR, HOOP_VERSION_PATCH));
    EXPECT_TRUE(splash.lblStatus->text().isEmpty());
}

TEST(SplashTest, AClickClosesTheAboutBoxButNotTheStartUpSplash)
{
    TfrmSplash startup;
    startup.show();
    QTest::mouseClick(&startup, Qt::LeftButton, {}, QPoint(139, 60));
    EXPECT_TRUE(startup.isVisible());

    TfrmSplash about;
    QTimer::singleShot(0, &about, [&about] { QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(139, 240)); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}
