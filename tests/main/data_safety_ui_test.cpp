// The shell's part in never losing the pool: backups that never go backwards, closing on a
// termination signal, and the real program ending cleanly on SIGTERM.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>

#include "core/pool/file_io.h"
#include "core/pool/players.h"
#include "core/pool/team_files.h"
#include "gui/main/main_window.h"
#include "gui/main/termination.h"
#include "gui/sheet/bracket_sheet.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

namespace fs = std::filesystem;

namespace {
Player Entry(std::int32_t id)
{
    Player entry;
    entry.id = id;
    entry.name = id == ResultsId ? ResultsName : "P" + std::to_string(id);
    return entry;
}

std::string picksOf(std::initializer_list<std::int32_t> ids)
{
    std::string bytes;
    for (std::int32_t id : ids) {
        unsigned char record[PickRecordSize];
        encodePlayer(Entry(id), record);
        bytes.append(reinterpret_cast<const char*>(record), PickRecordSize);
    }
    return bytes;
}

class ShellSafety : public ::testing::Test {
protected:
    void SetUp() override { testPrompts().clear(); }
    void TearDown() override { testPrompts().clear(); }
    QString dirPath() const { return QDir::toNativeSeparators(QString::fromStdString(dir.path())) + QDir::separator(); }

    TempDir dir;
    MainWindow main{testSettings(), QString::fromStdString(dir.path())};
};
}  // namespace

TEST_F(ShellSafety, BackupNeverCopiesAListThatIsNotThePool)
{
    const std::string good = picksOf({1, 2, 3});
    dir.write("PICKS.BAK", good);
    fs::create_directory(dir.file(PicksFileName));
    main.session().players().loadPlayers();  // reported and moved aside
    testPrompts().clear();

    Find<QAction>(main, "mnuBackup")->trigger();
    EXPECT_EQ(dir.read("PICKS.BAK"), good);
    ASSERT_EQ(testPrompts().boxes.size(), 2u);
    EXPECT_EQ(testPrompts().boxes[0].kind, PromptKind::Error);
    EXPECT_EQ(testPrompts().boxes[0].text,
              "PICKS.HFD could not be read when the program started, so PICKS.BAK was left as it was.");
    EXPECT_EQ(testPrompts().boxes[1].text, "Only 0 of 1 Hoopfall data files could be copied to " + dirPath() +
                                               " with a \"BAK\" extension. The others were not backed up.");
}

// After Pool New the list is empty: replacing a backup of three participants needs a Yes.
TEST_F(ShellSafety, ABackupWithFewerParticipantsReplacesTheOldOneOnlyWhenConfirmed)
{
    const std::string good = picksOf({1, 2, ResultsId, 3});
    dir.write("PICKS.BAK", good);
    for (std::int32_t id : {1, 2, 3}) main.session().players().storeEntry(Entry(id), true);
    testPrompts().answers = {PromptAnswer::Ok};  // Pool New
    Find<QAction>(main, "mnuReset")->trigger();
    ASSERT_EQ(main.session().players().count(), 0);

    const QString question = QStringLiteral(
        "The backup PICKS.BAK holds 3 participants, but the pool now holds 0. Replace it with the backup of 0 "
        "participants?");
    for (PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Yes}) {
        testPrompts().clear();
        testPrompts().answers = {answer};
        Find<QAction>(main, "mnuBackup")->trigger();
        ASSERT_GE(testPrompts().boxes.size(), 2u);
        EXPECT_EQ(testPrompts().boxes[0].text, question);
        EXPECT_EQ(testPrompts().boxes[0].buttons, PromptButtons::YesNo);
        EXPECT_EQ(testPrompts().boxes[0].defaultAnswer, PromptAnswer::No) << "Enter keeps the larger backup";
        EXPECT_EQ(dir.read("PICKS.BAK"), answer == PromptAnswer::No ? good : "");
    }
    // The normal texts when it went through.
    EXPECT_EQ(testPrompts().boxes.back().text,
              "The Hoopfall data files have been copied and saved to " + dirPath() + " with a \"BAK\" extension.");
}

// As Exit with "No" for open sheets: no question, the typed but unsaved sheet is dropped, and the
// pool is written.
TEST_F(ShellSafety, ATerminationClosesWithoutQuestionsAndWritesThePool)
{
    main.session().players().storeEntry(Entry(7), true);
    main.show();
    main.openBracketSheet(0);
    auto* sheet = qobject_cast<BracketSheet*>(main.activeChild());
    ASSERT_NE(sheet, nullptr);
    sheet->findChild<QLineEdit*>(QStringLiteral("txtName"))->setText(QStringLiteral("Typed, never saved"));
    ASSERT_TRUE(sheet->sheetModified());

    TerminationWatcher watcher;
    QSignalSpy requested(&watcher, &TerminationWatcher::terminationRequested);
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &main, &MainWindow::closeWithoutQuestions);
    ::raise(SIGTERM);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main.isVisible(); }, 5000));
    EXPECT_EQ(requested.count(), 1);
    EXPECT_EQ(requested[0][0].toInt(), SIGTERM);
    EXPECT_TRUE(testPrompts().boxes.empty()) << testPrompts().texts().join('|').toStdString();
    EXPECT_EQ(dir.read(PicksFileName), picksOf({7}));
    EXPECT_FALSE(dir.exists(JournalFileName));
}

// The real program, in a folder of its own, sent SIGTERM while it runs and while a start-up quick
// tip is open (with a second one to come when there is no pool yet): it ends normally and
// PICKS.HFD holds the pool.
TEST(ProgramSignals, SigtermEndsTheProgramCleanly)
{
    struct Row {
        const char* name;
        bool teams, picks;
    };
    const Row rows[] = {
        {"running", true, true},
        {"at the start-up quick tip", false, true},
        {"at the first of two quick tips, with no pool yet", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const QString home = QString::fromStdString(dir.path());
        for (const char* sub : {"tmp", "config", "runtime"}) QDir(home).mkpath(QString::fromLatin1(sub));
        QFile::setPermissions(QDir(home).filePath("runtime"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QString program = QDir(home).filePath("hoopfall");
        ASSERT_TRUE(QFile::copy(QStringLiteral(HOOPFALL_BINARY), program));
        std::string teams;
        for (int i = 0; i < 64; ++i)
            teams += std::string{char(1 + i / 16), char(1 + i % 16), 1, 'T'} + std::string(17, '\0');
        if (row.teams) dir.write(TeamsFileName, teams);
        if (row.picks) dir.write(PicksFileName, picksOf({1, 2, ResultsId}));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", home);
        env.insert("XDG_CONFIG_HOME", QDir(home).filePath("config"));
        env.insert("XDG_DATA_HOME", QDir(home).filePath("data"));
        env.insert("XDG_RUNTIME_DIR", QDir(home).filePath("runtime"));
        env.insert("TMPDIR", QDir(home).filePath("tmp"));
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(home);
        process.start(program, {});
        ASSERT_TRUE(process.waitForStarted(10000));
        ASSERT_FALSE(process.waitForFinished(3000)) << "it should be running";
        process.terminate();  // SIGTERM
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        // Without a data file beside the program the pool is the user's, and new.
        const std::string pool = row.teams || row.picks ? "" : "data/Corvanta/the Hoopfall/";
        EXPECT_EQ(dir.read(pool + PicksFileName), row.picks ? picksOf({1, 2, ResultsId}) : "");
        EXPECT_TRUE(dir.exists(pool + PicksFileName));
        EXPECT_FALSE(dir.exists(pool + JournalFileName));
    }
}
