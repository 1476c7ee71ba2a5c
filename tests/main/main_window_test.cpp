#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStandardPaths>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "core/pool/errors.h"
#include "core/settings/settings.h"
#include "core/transfer/field_import.h"
#include "gui/main/main_window.h"
#include "gui/settings/qt_settings.h"
#include "gui/standings/standings_window.h"
#include "gui/widgets/guarded.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

namespace {
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { testPrompts().clear(); }
    void TearDown() override { testPrompts().clear(); }

    Player Entry(std::int32_t id, const char* name)
    {
        Player p;
        p.id = id;
        p.name = name;
        return p;
    }

    TempDir dir;
    MainWindow main{testSettings(), QString::fromStdString(dir.path())};
};

// Counts paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

struct CommandState {
    bool save, print, playersPicks, close, cascade, saveButton;
};

CommandState stateOf(MainWindow& main)
{
    return {
        Find<QAction>(main, "mnuSavePicks")->isEnabled(),       Find<QAction>(main, "mnuPlayerPrintPicks")->isEnabled(),
        Find<QAction>(main, "mnuPrintPlayerPool")->isEnabled(), Find<QAction>(main, "mnuClose")->isEnabled(),
        Find<QAction>(main, "WindowCascadeItem")->isEnabled(),  Find<QAction>(main, "btnSaveAction")->isVisible()};
}
}  // namespace

TEST_F(MainWindowTest, CommandsFollowTheActiveChildWindow)
{
    main.show();
    CommandState none = stateOf(main);
    EXPECT_FALSE(none.save || none.print || none.playersPicks || none.close || none.cascade || none.saveButton);

    main.openBracketSheet(0);
    CommandState sheet = stateOf(main);
    EXPECT_TRUE(sheet.save && sheet.print && sheet.playersPicks && sheet.close && sheet.cascade && sheet.saveButton);

    main.session().players().add(Entry(ResultsId, "RESULTS"));
    Find<QAction>(main, "mnuViewStd")->trigger();  // the standings window becomes the active child
    ASSERT_NE(main.standingsForm(), nullptr);
    CommandState standings = stateOf(main);
    EXPECT_FALSE(standings.save || standings.print || standings.playersPicks || standings.close ||
                 standings.saveButton);
    EXPECT_TRUE(standings.cascade);
}

TEST_F(MainWindowTest, EachMenuGivesEveryAccessKeyToOneItem)
{
    for (QAction* bar : main.menuBar()->actions()) {
        QStringList keys;
        for (QAction* item : bar->menu()->actions())
            if (!item->isSeparator()) keys << QKeySequence::mnemonic(item->text()).toString();
        SCOPED_TRACE(bar->text().toStdString() + ": " + keys.join(' ').toStdString());
        EXPECT_EQ(keys.removeDuplicates(), 0);
        EXPECT_FALSE(keys.contains(QString()));
    }
}

TEST_F(MainWindowTest, ToolButtonsSplitTheirHintsAtTheBar)
{
    struct Row {
        QToolButton* button;
        const char* caption;
        const char* tip;
        const char* status;
    };
    // One button shows the split: the caption, the tip before the bar, the hint after it.
    const Row rows[] = {
        {Find<QToolButton>(main, "btnNewPicks"), "New Picks", "New Player", "Enter new player's picks"},
    };
    main.show();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caption);
        EXPECT_EQ(row.button->text(), QString::fromUtf8(row.caption));
        EXPECT_EQ(row.button->toolTip(), QString::fromUtf8(row.tip));
        if (!row.button->isVisible()) continue;
        // Resting the pointer on a button puts the part after the bar into the hint panel.
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(row.button, &enter);
        EXPECT_EQ(Find<QLabel>(main, "pnlHint")->text(), QString::fromUtf8(row.status));
    }
    EXPECT_EQ(Find<QToolButton>(main, "btnPrint")->text(), QStringLiteral("Print..."));
    // Print has a picture of its own, not Save's disk.
    const QImage printIcon = Find<QToolButton>(main, "btnPrint")->icon().pixmap(20).toImage();
    EXPECT_FALSE(printIcon.isNull());
    EXPECT_NE(printIcon, Find<QToolButton>(main, "btnSave")->icon().pixmap(20).toImage());
    EXPECT_NE(printIcon, main.style()->standardIcon(QStyle::SP_DriveFDIcon).pixmap(20).toImage());
    // The Print pop-up's items show their hints as every menu item does.
    for (const auto& [item, status] : {std::pair{"mnuPrintBlankPool", "Print Blank Pool for Distribution"},
                                       std::pair{"mnuPrintPlayerPool", "Print Current Player's Picks"}}) {
        emit Find<QMenu>(main, "PopupMenu1")->hovered(Find<QAction>(main, item));
        EXPECT_EQ(Find<QLabel>(main, "pnlHint")->text(), QString::fromUtf8(status));
    }
    EXPECT_EQ(hintToolTip("Standings|Show standings"), "Standings");
    EXPECT_EQ(hintStatus("Standings|Show standings"), "Show standings");
    EXPECT_EQ(hintStatus("Player Manager"), "Player Manager");
}

// A message of the core that names a participant reads the same in every place the window shows
// it: the code page's characters arrive as themselves, not as the bytes of another encoding.
TEST_F(MainWindowTest, AMessageNamingAParticipantReadsTheSameInEveryBox)
{
    FieldChange change;
    change.sheetsStranded = 1;
    change.firstStranded = {"Ren\xE9\x99 \x80\x81"};
    const std::string message = strandedText(change);
    const QString name = QString::fromUtf8("\"René™ €\u0081\"");

    const auto lastBox = [] { return testPrompts().boxes.empty() ? QString() : testPrompts().boxes.back().text; };
    struct Path {
        const char* name;
        std::function<void()> show;
        std::function<QString()> shown;
    };
    const Path paths[] = {
        {"information", [&] { main.showInformation(message); }, lastBox},
        {"error", [&] { main.showError(message); }, lastBox},
        {"exception", [&] { guarded([&] { throw HoopError(message); })(); }, lastBox},
        {"status", [&] { main.setStatusText(message); }, [this] { return Find<QLabel>(main, "pnlHint")->text(); }},
    };
    for (const Path& path : paths) {
        testPrompts().clear();
        path.show();
        const QString shown = path.shown();
        EXPECT_TRUE(shown.startsWith(QStringLiteral("The picks of 1 sheet (") + name + QStringLiteral(") can not")))
            << path.name << ": " << shown.toStdString();
    }
}

TEST_F(MainWindowTest, StatusTextIsPaintedAtOnceInsideALoop)
{
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    PaintCounter counter;
    Find<QLabel>(main, "pnlHint")->installEventFilter(&counter);
    for (int i = 1; i <= 3; ++i) {
        main.setStatusText(std::string("Step ") + std::to_string(i));
        EXPECT_EQ(counter.paints, i) << "no event loop ran, yet the panel was painted";
    }
    EXPECT_EQ(Find<QLabel>(main, "pnlHint")->text(), QStringLiteral("Step 3"));
    main.setProgress(42);
    EXPECT_EQ(Find<QProgressBar>(main, "pbProgress")->value(), 42);
}

// The count panel is 63 pixels wide until a count needs more.
TEST_F(MainWindowTest, CountPanelGrowsToFitItsCount)
{
    auto* panel = Find<QLabel>(main, "pnlCount");
    main.setCountText("Players: 30");
    EXPECT_EQ(panel->width(), 63);
    main.setCountText("Players: 1000000");
    EXPECT_GE(panel->contentsRect().width(), panel->fontMetrics().horizontalAdvance(panel->text()));
    main.setCountText("Players: 31");
    EXPECT_EQ(panel->width(), 63);
}

TEST_F(MainWindowTest, AMinimisedStandingsWindowIsStillTheOpenOne)
{
    main.show();
    main.session().players().add(Entry(ResultsId, "RESULTS"));
    main.session().players().add(Entry(5, "Ann"));
    Find<QAction>(main, "mnuViewStd")->trigger();
    main.mdiArea()->activeSubWindow()->showMinimized();
    EXPECT_TRUE(main.isStandingsOpen());  // a save rescores at once
    Find<QAction>(main, "mnuViewStd")->trigger();
    EXPECT_EQ(main.childWindows().size(), 1);
}

TEST_F(MainWindowTest, FindSheetWindowSearchesFromTheTop)
{
    EXPECT_EQ(main.findSheetWindow(5), -1);
    main.session().players().add(Entry(5, "Ann"));
    main.session().players().add(Entry(7, "Bob"));
    main.openBracketSheet(0);
    main.openBracketSheet(5);
    main.openBracketSheet(7);
    main.openBracketSheet(0);
    EXPECT_EQ(main.childWindows().size(), 4);
    EXPECT_EQ(main.findSheetWindow(5), 1);
    EXPECT_EQ(main.findSheetWindow(7), 2);
    EXPECT_EQ(main.findSheetWindow(0), 3);  // the last of the two new sheets

    // Opening a sheet that is open brings it forward instead of a second copy.
    main.openBracketSheet(5);
    EXPECT_EQ(main.childWindows().size(), 4);
    EXPECT_EQ(main.mdiArea()->activeSubWindow(), main.childWindows()[1]);
}

TEST_F(MainWindowTest, WindowMenuListsTheOpenChildWindows)
{
    main.openBracketSheet(0);
    main.openBracketSheet(0);
    main.childWindows()[0]->setWindowTitle("First sheet");
    main.childWindows()[1]->setWindowTitle("Picks for Bob & Sue");
    emit Find<QMenu>(main, "mnuWindow")->aboutToShow();
    QStringList captions;
    for (QAction* item : Find<QMenu>(main, "mnuWindow")->actions()) captions << item->text();
    // An ampersand of a name is shown, not taken for an access key.
    EXPECT_EQ(captions.mid(captions.size() - 2),
              QStringList({QStringLiteral("&1 First sheet"), QStringLiteral("&2 Picks for Bob && Sue")}));
    EXPECT_TRUE(Find<QAction>(main, "WindowMinimizeItem")->isEnabled());
    Find<QAction>(main, "WindowMinimizeItem")->trigger();
    EXPECT_TRUE(main.childWindows()[0]->isMinimized());
}

TEST_F(MainWindowTest, NewPoolRemovesEveryEntryButThoseWithOpenSheets)
{
    for (std::int32_t id : {11, 12, 13}) main.session().players().add(Entry(id, "P"));
    main.session().players().add(Entry(ResultsId, "RESULTS"));
    main.openBracketSheet(12);
    main.openBracketSheet(ResultsId);

    testPrompts().answers = {PromptAnswer::Ok};
    Find<QAction>(main, "mnuReset")->trigger();
    ASSERT_GE(testPrompts().boxes.size(), 1u);
    EXPECT_EQ(testPrompts().boxes[0].text,
              "You are about to delete all current pool information. THIS CAN NOT BE UNDONE. Continue?");
    EXPECT_EQ(testPrompts().boxes[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(testPrompts().beeps, 1);
    // One refusal per open sheet; the other entries are gone.
    EXPECT_EQ(testPrompts().texts().count(QString::fromStdString(SheetOpenMessage)), 2);
    ASSERT_EQ(main.session().players().count(), 2);
    EXPECT_GE(main.session().players().indexOfId(12), 0);
    EXPECT_GE(main.session().players().indexOfId(ResultsId), 0);
    EXPECT_TRUE(main.session().players().hasResults());
    EXPECT_EQ(Find<QLabel>(main, "pnlCount")->text(), QStringLiteral("Players: 1"));
}

TEST_F(MainWindowTest, CancelledResetsChangeNothing)
{
    main.session().players().add(Entry(11, "P"));
    main.session().players().add(Entry(ResultsId, "RESULTS"));
    testPrompts().answers = {PromptAnswer::Cancel, PromptAnswer::Cancel};
    Find<QAction>(main, "mnuReset")->trigger();
    Find<QAction>(main, "mnuResetResults")->trigger();
    EXPECT_EQ(main.session().players().count(), 2);
    EXPECT_EQ(testPrompts().boxes.size(), 2u);
    EXPECT_EQ(
        testPrompts().boxes[1].text,
        "You are about to delete all result information. THIS CAN NOT BE UNDONE. Continue?");  // Enter keeps the pool:
                                                                                               // both questions default
                                                                                               // to Cancel.
    for (const FakePrompts::Box& box : testPrompts().boxes) EXPECT_EQ(box.defaultAnswer, PromptAnswer::Cancel);
}

TEST_F(MainWindowTest, ClearingResultsThatWereNeverEnteredReportsTheIndexError)
{
    main.session().players().add(Entry(11, "P"));
    testPrompts().answers = {PromptAnswer::Ok};
    // Through the event loop, so the error reaches the general error report.
    QMetaObject::invokeMethod(
        &main, [this] { Find<QAction>(main, "mnuResetResults")->trigger(); }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    ASSERT_EQ(testPrompts().boxes.size(), 2u);
    EXPECT_EQ(testPrompts().boxes[1].kind, PromptKind::Error);
    EXPECT_EQ(testPrompts().boxes[1].text, QStringLiteral("List index out of bounds (-1)"));
    EXPECT_EQ(main.session().players().count(), 1);
    EXPECT_FALSE(QApplication::overrideCursor()) << "the normal cursor is back";

    // The menu item itself: its handler reports the error; nothing crosses Qt's signal delivery.
    testPrompts().clear();
    testPrompts().answers = {PromptAnswer::Ok};
    EXPECT_NO_THROW(Find<QAction>(main, "mnuResetResults")->trigger());
    EXPECT_EQ(testPrompts().texts().value(1), QStringLiteral("List index out of bounds (-1)"));
}

TEST_F(MainWindowTest, ClosingWritesThePicksFile)
{
    main.session().players().add(Entry(11, "Ann"));
    EXPECT_TRUE(main.close());
    EXPECT_EQ(dir.read(PicksFileName).size(), PickRecordSize);
}

// Nothing is lost when PICKS.HFD cannot be written on closing: the journal holds every saved change
// and the next start brings them back.
TEST_F(MainWindowTest, AFailedPicksWriteClosesAndTheNextStartRestoresEverySave)
{
    main.session().players().storeEntry(Entry(11, "Ann"), true);
    std::filesystem::create_directory(dir.file(PicksFileName));  // nothing can replace a folder
    main.show();

    EXPECT_TRUE(main.close());
    ASSERT_EQ(testPrompts().boxes.size(), 1u);
    EXPECT_EQ(testPrompts().boxes[0].kind, PromptKind::Error);
    EXPECT_TRUE(testPrompts().boxes[0].text.startsWith("Cannot replace file " +
                                                       QString::fromStdString(dir.file(PicksFileName))));
    EXPECT_TRUE(testPrompts().boxes[0].text.endsWith(
        "Every saved change is kept in PICKS.JNL beside it and comes back at the next start."));

    std::filesystem::remove(dir.file(PicksFileName));
    MainWindow next{testSettings(), QString::fromStdString(dir.path())};
    next.session().players().loadPlayers();
    ASSERT_EQ(next.session().players().count(), 1);
    EXPECT_EQ(next.session().players()[0].name.text().bytes, "Ann");
}

// The file dialogs start where the user keeps files, never in the pool's folder: in the documents
// folder at first, then in the folder of the file last chosen in any of them, for as long as it is
// there. The folder is kept in a real settings file, whatever its name's characters.
TEST(FileDialogs, StartInDocumentsThenWhereTheUserLastChoseAFile)
{
    testPrompts().clear();
    TempDir dir;
    QtSettingsStore settings(QString::fromStdString(dir.file("settings.ini")));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir.file("pool"))));
    MainWindow window(settings, QString::fromStdString(dir.file("pool")));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString first = QFileInfo(documents).isDir() ? documents : QDir::homePath();
    const QString chosen = QString::fromStdString(dir.path()) + QStringLiteral("/\u0414\u043e\u043a \u00fc \u20ac");
    ASSERT_TRUE(QDir().mkpath(chosen));

    struct Step {
        const char* action;
        QString start;   // where its dialog starts
        QString choose;  // the file the "user" chooses there; empty: cancel
    };
    const Step steps[] = {
        {"mnuImportPicks", first, {}},    {"mnuExportPicks", first, chosen + "/Picks.csv"},
        {"mnuImportField", chosen, {}},   {"mnuImportPicks", chosen, {}},
        {"mnuMakeEntryPage", chosen, {}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.action);
        testPrompts().openRequests.clear();
        testPrompts().saveRequests.clear();
        auto answer = [&step](auto& request) {
            request.fileName = step.choose;
            return !step.choose.isEmpty();
        };
        testPrompts().openAnswers.push_back(answer);
        testPrompts().saveAnswers.push_back(answer);
        Find<QAction>(window, step.action)->trigger();
        const QString start = testPrompts().openRequests.empty() ? testPrompts().saveRequests.at(0).directory
                                                                 : testPrompts().openRequests.at(0).directory;
        EXPECT_EQ(start, step.start);
        testPrompts().openAnswers.clear();
        testPrompts().saveAnswers.clear();
    }
    EXPECT_TRUE(QFile::exists(chosen + "/Picks.csv"));
    ASSERT_TRUE(QDir(chosen).removeRecursively());
    testPrompts().openAnswers.push_back([](OpenFileRequest&) { return false; });
    Find<QAction>(window, "mnuImportField")->trigger();
    EXPECT_EQ(testPrompts().openRequests.back().directory, first) << "a folder that is gone is left";
    testPrompts().clear();
}
