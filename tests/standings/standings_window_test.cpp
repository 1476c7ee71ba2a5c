// The standings window driven for real inside the main window: right-clicks on the grid, the
// pop-up menu's keys and clicks, the export dialog answered through the prompts fake.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

#include "core/pool/brand.h"
#include "core/pool/team_files.h"
#include "core/transfer/standings_export.h"
#include "gui/main/main_window.h"
#include "gui/standings/standings_model.h"
#include "gui/standings/standings_window.h"
#include "pool/pool_samples.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

// Readable failure output for texts.
void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {
QString sortedStatus(const char* middle)
{
    return QStringLiteral("Standings sorted by ") + middle +
           "...right-click for more options. Right-click to save as HTML.";
}

std::chrono::year_month_day fixedDay() { return std::chrono::year{2024} / std::chrono::March / std::chrono::day{7}; }

class StandingsWindowTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<MainWindow> main;

    void SetUp() override
    {
        testPrompts().clear();
        saveRegions(dir.path(), {"East", "West", "South", "Midwest"});
        main = std::make_unique<MainWindow>(testSettings(), QString::fromStdString(dir.path()));
        main->session().setDateSource(&fixedDay);
        main->session().teams().entry(1, 1).name = "Hawks";
        main->session().teams().entry(3, 3).name = "Cats";
        main->show();
    }
    void TearDown() override
    {
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    PlayerList& players() { return main->session().players(); }
    Player& add(const std::string& name, std::int32_t total = 0, std::int32_t potential = 0, TeamCode champion = 0)
    {
        Player entry;
        entry.id = players().count() + 100;
        entry.name = name;
        entry.total = total;
        entry.potential = potential;
        entry.picks[63] = champion;
        players().add(entry);
        return players().unjournaledEntry(players().count() - 1);
    }
    // The results and the given participants, then the View Standings command: a scoring pass
    // that opens or raises the window.
    StandingsWindow& view(const std::vector<std::string>& names = {})
    {
        if (!players().hasResults()) {
            Player results;
            results.id = ResultsId;
            results.name = ResultsName;
            players().add(results);
        }
        for (const std::string& name : names) add(name, 2);
        Find<QAction>(*main, "mnuViewStd")->trigger();
        StandingsWindow* form = main->standingsForm();
        if (!form) throw std::runtime_error("no standings window");
        return *form;
    }
    // A control or menu item of the window, by its name.
    template <class T> static T& part(StandingsWindow& form, const char* name)
    {
        T* found = form.findChild<T*>(QLatin1String(name));
        if (!found) throw std::runtime_error(std::string("the window has no ") + name);
        return *found;
    }
    static QTableView& grid(StandingsWindow& form) { return part<QTableView>(form, "grdStandings"); }
    static QMenu& popUpMenu(StandingsWindow& form) { return part<QMenu>(form, "mnuPopUp"); }
    static QMenu& sortByMenu(StandingsWindow& form) { return part<QMenu>(form, "mnuSortBy"); }
    static QAction* item(StandingsWindow& form, const char* name) { return &part<QAction>(form, name); }
    static QString status(StandingsWindow& form) { return part<QLabel>(form, "pnlStatus").text(); }
    static QStringList column(StandingsWindow& form, int column)
    {
        QStringList texts;
        for (int row = 0; row < grid(form).model()->rowCount(); ++row)
            texts << grid(form).model()->index(row, column).data().toString();
        return texts;
    }
    static QString header(StandingsWindow& form, int column)
    {
        return grid(form).model()->headerData(column, Qt::Horizontal).toString();
    }
    // A right-click in the grid opens the pop-up menu.
    static void popUp(StandingsWindow& form, QWidget* where = nullptr)
    {
        if (!where) where = grid(form).viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 5), where->mapToGlobal(QPoint(20, 5)));
        QApplication::sendEvent(where, &event);
        if (!popUpMenu(form).isVisible()) throw std::runtime_error("the pop-up menu did not open");
    }
    // Then the underlined letter of an item, and of one in the Sort By menu.
    static void press(StandingsWindow& form, Qt::Key key, Qt::Key sortKey = Qt::Key_unknown)
    {
        popUp(form);
        QTest::keyClick(&popUpMenu(form), key);
        if (sortKey == Qt::Key_unknown) return;
        if (!sortByMenu(form).isVisible()) throw std::runtime_error("the Sort By menu did not open");
        QTest::keyClick(&sortByMenu(form), sortKey);
    }
    // The export command, the dialog answered with this name and type (none: cancelled).
    static void exportAs(StandingsWindow& form, const std::string& path = {}, int type = 0)
    {
        if (type)
            testPrompts().saveAnswers.push_back([path, type](SaveFileRequest& request) {
                request.fileName = QString::fromStdString(path);
                request.filterIndex = type;
                return true;
            });
        press(form, Qt::Key_E);
    }
    // The name and type the last export dialog offered.
    static QString offered()
    {
        const SaveFileRequest& request = testPrompts().saveRequests.back();
        EXPECT_TRUE(request.suffixFollowsType) << "a bare name must take the chosen type's suffix";
        return request.fileName + "|" + QString::number(request.filterIndex);
    }
    QString hint() const { return Find<QLabel>(*main, "pnlHint")->text(); }
};
}  // namespace

// ---- Opening and sorting -----------------------------------------------------------------------

TEST_F(StandingsWindowTest, OpensMaximisedWithOnlyTheHeaderRowAndItsMenu)
{
    Find<QAction>(*main, "mnuViewStd")->trigger();  // no results yet: no window
    EXPECT_EQ(main->standingsForm(), nullptr);
    StandingsWindow& form = view();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Standings"));
    EXPECT_TRUE(main->isStandingsOpen());
    EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(form.parentWidget())->isMaximized());

    QTableView& grid = StandingsWindowTest::grid(form);
    EXPECT_EQ(grid.model()->rowCount(), 0);
    QStringList headers;
    std::vector<int> widths;
    for (int c = 0; c < grid.model()->columnCount(); ++c) {
        headers << header(form, c);
        widths.push_back(grid.columnWidth(c));
    }
    EXPECT_EQ(headers, (QStringList{"#", "Name", "Total Pts", "Potential", "Rnds 1-2", "Rnds 3-4", "Rnds 5-6", "East",
                                    "West", "South", "Midwest", "Champion"}));
    EXPECT_EQ(widths, (std::vector<int>{27, 129, 45, 50, 49, 48, 50, 75, 68, 69, 68, 68}));
    EXPECT_EQ(status(form), sortedStatus("total points, descending"));
    EXPECT_EQ(part<QLabel>(form, "pnlStatus").palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(grid.toolTip(), QStringLiteral("Right-click for options"));
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(grid.selectionMode(), QAbstractItemView::ContiguousSelection);
    EXPECT_EQ(grid.horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);

    QStringList items;
    for (QAction* action : popUpMenu(form).actions() + sortByMenu(form).actions())
        items << (action->isSeparator()
                      ? QStringLiteral("-")
                      : action->text() + (action->isChecked() ? "*" : "") + " " + action->statusTip());
    EXPECT_EQ(items,
              (QStringList{"Sort &Ascending Sort standings from lowest to highest (1 to 10, A to Z, etc.)", "&Sort By ",
                           "-", "&Copy Copy standings to clipboard.", "&Export... Export standings to a file.",
                           "&Total Points* ", "&Potential Points ", "&Name ", "&Champion "}));
    popUp(form, grid.horizontalHeader()->viewport());  // the header row is part of the grid
    popUpMenu(form).hide();
    // Hovering an item shows its hint in the main window's hint panel.
    popUp(form);
    const QPoint at = popUpMenu(form).actionGeometry(item(form, "mnuCopy")).center();
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(popUpMenu(form).mapToGlobal(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&popUpMenu(form), &move);
    EXPECT_EQ(hint(), QStringLiteral("Copy standings to clipboard."));
    popUpMenu(form).hide();
}

// Each case: participants, then pop-up commands with the rows, the strip and the ticks they leave.
// Restored, the window is 640 by 316 with its frame; rows and the header row are 16 pixels, and a
// name too long for its cell is cut at the cell's edge rather than shortened with an ellipsis.
TEST_F(StandingsWindowTest, RestoredSizeRowsAndLongTexts)
{
    StandingsWindow& form = view({"Bartholomew Wolfenschmidt"});
    auto* frame = qobject_cast<QMdiSubWindow*>(form.parentWidget());
    frame->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->width(), 640);
    EXPECT_EQ(frame->height(), 316);
    QTableView& grid = StandingsWindowTest::grid(form);
    EXPECT_EQ(grid.rowHeight(0), 16);
    EXPECT_EQ(grid.horizontalHeader()->height(), 16);
    EXPECT_EQ(grid.textElideMode(), Qt::ElideNone);
    EXPECT_EQ(grid.horizontalHeader()->textElideMode(), Qt::ElideNone);
    // Tiled beside five sheets in a frame of 1280 pixels, the window takes its share: its long
    // status text must not widen the frame past the screen.
    main->showNormal();
    main->resize(1280, 800);
    for (int n = 0; n < 5; ++n) Find<QAction>(*main, "mnuEnterPicks")->trigger();
    Find<QAction>(*main, "WindowTileItem")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(main->width(), 1280);
}

TEST_F(StandingsWindowTest, SortOrdersTicksAndStatusStrip)
{
    struct Person {
        const char* name;
        int total, potential;
        TeamCode champion;
    };
    struct Step {
        Qt::Key key, sortKey;
        QStringList names;
        const char* status;
        const char* ticked;
    };
    const auto none = Qt::Key_unknown;
    const std::vector<std::pair<std::vector<Person>, std::vector<Step>>> cases = {
        // Ties are positions, not shared ranks.
        {{{"Ten", 10, 0, 0}, {"Tie", 25, 0, 0}, {"Tie", 25, 0, 0}},
         {{none, none, {"Tie", "Tie", "Ten"}, "total points, descending", "mnuSortTotal"}}},
        // Byte order: upper case before lower case, a prefix before its extensions.
        {{{"apple", 0, 0, 0}, {"Zed", 0, 0, 0}, {"Ann", 0, 0, 0}, {"An", 0, 0, 0}},
         {{Qt::Key_S, Qt::Key_N, {"apple", "Zed", "Ann", "An"}, "name, descending", "mnuSortName"},
          {Qt::Key_A, none, {"An", "Ann", "Zed", "apple"}, "name, ascending", "mnuSortName"},
          {Qt::Key_A, none, {"apple", "Zed", "Ann", "An"}, "name, descending", "mnuSortName"}}},
        // A missing champion is empty: last descending, first ascending.
        {{{"Cat fan", 0, 0, 303}, {"No pick", 0, 0, 0}, {"Hawk fan", 0, 0, 101}},
         {{Qt::Key_S, Qt::Key_C, {"Hawk fan", "Cat fan", "No pick"}, "selected champions, descending", "mnuSortChamp"},
          {Qt::Key_A, none, {"No pick", "Cat fan", "Hawk fan"}, "selected champions, ascending", "mnuSortChamp"}}},
        {{{"Low", 9, 3, 0}, {"High", 1, 30, 0}, {"Mid", 5, 12, 0}},
         {{Qt::Key_S, Qt::Key_P, {"High", "Mid", "Low"}, "potential points, descending", "mnuSortPotential"},
          {Qt::Key_S, Qt::Key_T, {"Low", "Mid", "High"}, "total points, descending", "mnuSortTotal"}}},
    };
    for (std::size_t c = 0; c < cases.size(); ++c) {
        TearDown();
        SetUp();
        for (const Person& p : cases[c].first) add(p.name, p.total, p.potential, p.champion);
        StandingsWindow& form = view();
        for (std::size_t s = 0; s < cases[c].second.size(); ++s) {
            const Step& step = cases[c].second[s];
            SCOPED_TRACE(testing::Message() << "case " << c << " step " << s);
            if (step.key != none) press(form, step.key, step.sortKey);
            QStringList numbers, listed;
            for (int n = 1; n <= step.names.size(); ++n) numbers << QString::number(n);
            EXPECT_EQ(column(form, 0) + column(form, 1), numbers + step.names);
            // The shared list itself is left in this order, the results entry sorted with the rest.
            for (int i = 0; i < players().count(); ++i)
                if (players()[i].id != ResultsId) listed << QString::fromStdString(players()[i].name.text().bytes);
            EXPECT_EQ(listed, step.names);
            EXPECT_EQ(status(form), sortedStatus(step.status));
            EXPECT_EQ(item(form, "mnuSortMethod")->isChecked(), QString(step.status).endsWith("ascending"));
            for (QAction* action : sortByMenu(form).actions())
                EXPECT_EQ(action->isChecked(), action == item(form, step.ticked)) << action->text().toStdString();
        }
    }
}

// An open window is refreshed in place by a save (not raised) and by View Standings (raised),
// its headers as they were; a reopened one starts on total points with the direction kept, reads
// the region names again and offers the export dialog afresh.
TEST_F(StandingsWindowTest, AReopenedWindowStartsOnTotalsWithTheDirectionKept)
{
    add("b", 1);
    add("a", 2);
    StandingsWindow& first = view();
    popUp(first);  // ascending, with the mouse
    QTest::mouseClick(&popUpMenu(first), Qt::LeftButton, {},
                      popUpMenu(first).actionGeometry(item(first, "mnuSortMethod")).center());
    press(first, Qt::Key_S, Qt::Key_N);
    ASSERT_EQ(column(first, 1), (QStringList{"a", "b"}));
    exportAs(first, dir.file("a.csv"), 2);
    saveRegions(dir.path(), {"North", "West", "South", "Midwest"});
    auto* other = main->mdiArea()->addSubWindow(new QWidget);
    other->show();
    main->mdiArea()->setActiveSubWindow(other);
    add("c", 3).modified = 1;  // saved as the bracket sheet saves
    EXPECT_TRUE(players().updateStandings());
    EXPECT_EQ(column(first, 1), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(main->mdiArea()->activeSubWindow(), other);
    EXPECT_EQ(&view(), &first);
    EXPECT_EQ(main->mdiArea()->activeSubWindow(), first.parentWidget());
    EXPECT_EQ(header(first, 7), QStringLiteral("East"));
    ASSERT_TRUE(qobject_cast<QMdiSubWindow*>(first.parentWidget())->close());
    EXPECT_FALSE(main->isStandingsOpen()) << "closed at once, deleted later";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main->standingsForm(), nullptr);

    // This time through the tool bar's Standings button.
    QTest::mouseClick(Find<QToolButton>(*main, "btnStandings"), Qt::LeftButton);
    StandingsWindow* second = main->standingsForm();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(second->parentWidget())->isMaximized());
    EXPECT_TRUE(main->isStandingsOpen());
    EXPECT_TRUE(item(*second, "mnuSortTotal")->isChecked() && item(*second, "mnuSortMethod")->isChecked());
    EXPECT_EQ(column(*second, 1), (QStringList{"c", "b", "a"}));  // the scoring pass gave c no points
    EXPECT_EQ(status(*second), sortedStatus("total points, ascending"));
    EXPECT_EQ(header(*second, 7), QStringLiteral("North"));
    exportAs(*second);
    EXPECT_EQ(offered(), QStringLiteral("Standing|1"));
}

// ---- Copy and export ---------------------------------------------------------------------------

TEST_F(StandingsWindowTest, CopyPutsTabTextOnTheClipboardAndBeeps)
{
    add("Al\tTab", 2, 0, 101);
    StandingsWindow& form = view();
    main->setStatusText(QString());
    press(form, Qt::Key_C);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("#\tName\tTotal Pts\tPotential\tRnds 1-2\tRnds 3-4\tRnds 5-6\tEast\tWest\tSouth\t"
                             "Midwest\tChampion\r\n1\tAl Tab\t2\t0\t0\t0\t0\t\t\t\t\tHawks\r\n") +
                  brand::Slogan + "\r\nVisit us on the web at " + brand::MakerAddress);
    EXPECT_EQ(testPrompts().beeps, 1);
    EXPECT_TRUE(hint().isEmpty());  // no status text for the clipboard
    EXPECT_TRUE(testPrompts().saveRequests.empty());
}

// A failed write shows its error and no success; the dialog offers the last name and type; the
// type, not the name, chooses the separator; cancelling writes and says nothing.
TEST_F(StandingsWindowTest, ExportDialogKeepsNameAndTypeAndTheTypeChoosesTheSeparator)
{
    add("Smith, Jo", 3);
    StandingsWindow& form = view({"Bo"});
    const std::string failing = dir.file("no such folder/s.htm");
    for (int type : {1, 2}) {
        testPrompts().boxes.clear();
        exportAs(form, failing, type);
        EXPECT_EQ(testPrompts().texts(),
                  QStringList{QString::fromStdString("Cannot create file " + failing + ": No such file or directory")});
        EXPECT_EQ(testPrompts().boxes.at(0).kind, PromptKind::Error);
        EXPECT_TRUE(hint().isEmpty()) << type;
    }
    testPrompts().boxes.clear();
    exportAs(form, dir.file("picked.txt"), 2);
    const SaveFileRequest& request = testPrompts().saveRequests.at(0);
    EXPECT_EQ(
        QStringList({request.title, request.fileName, request.defaultSuffix, QString::number(request.filterIndex)}) +
            request.filters,
        QStringList({"Export Standings", "Standing", "htm", "1", "HTML (*.htm)", "Comma Separated (*.csv)",
                     "Tab Separated (*.txt)"}));
    EXPECT_NE(request.directory, QString::fromStdString(main->session().dataDir()))
        << "the pool's folder is the program's";
    EXPECT_TRUE(request.confirmOverwrite);
    EXPECT_TRUE(dir.read("picked.txt")
                    .starts_with("\xEF\xBB\xBF#,Name,Total Pts,Potential,Rnds 1-2,Rnds 3-4,Rnds 5-6,East,West,"
                                 "South,Midwest,Champion\r\n1,\"Smith, Jo\",3,0,0,0,0,,,,,\r\n"));
    EXPECT_EQ(hint(),
              QStringLiteral("Standings successfully exported to ") + QString::fromStdString(dir.file("picked.txt")));

    exportAs(form, dir.file("tabs.csv"), 3);
    EXPECT_EQ(offered(), QString::fromStdString(dir.file("picked.txt")) + "|2");
    EXPECT_TRUE(dir.read("tabs.csv").starts_with("\xEF\xBB\xBF#\tName\tTotal Pts\t"));

    main->setStatusText(QString());
    exportAs(form);
    EXPECT_EQ(offered(), QString::fromStdString(dir.file("tabs.csv")) + "|3");
    EXPECT_TRUE(hint().isEmpty());
    EXPECT_TRUE(testPrompts().boxes.empty());
}

// ---- The page in a real browser ----------------------------------------------------------------

TEST_F(StandingsWindowTest, ExportedPageReadsRightInABrowser)
{
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty()) GTEST_SKIP() << "chromium is not installed";

    add("<b>Bob & Co", 50);
    StandingsWindow& form = view({"Ren\xE9", "Cy", "Di", "Ed"});
    const std::string page = dir.file("standing.htm");
    exportAs(form, page, 1);

    // A profile of its own in the temp folder: the browser never touches the user's.
    TempDir profile;
    QProcess browser;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), QString::fromStdString(profile.path()));
    browser.setProcessEnvironment(env);
    browser.start(chromium, {"--headless", "--no-sandbox", "--disable-gpu",
                             "--user-data-dir=" + QString::fromStdString(profile.file("data")), "--dump-dom",
                             QUrl::fromLocalFile(QString::fromStdString(page)).toString()});
    ASSERT_TRUE(browser.waitForFinished(120000)) << "the browser did not finish";
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
    ASSERT_FALSE(dom.isEmpty()) << browser.readAllStandardError().toStdString();

    // The standings table is the last one on the page; the browser writes each row back on one line.
    static const QRegularExpression rowPattern(QStringLiteral("<tr([^>]*)>(.*?)</tr>"));
    QStringList classes, rows;
    for (auto it = rowPattern.globalMatch(dom.mid(dom.lastIndexOf(QStringLiteral("<table")))); it.hasNext();) {
        const auto row = it.next();
        classes << row.captured(1).trimmed();
        rows << row.captured(2);
        EXPECT_EQ(row.captured(2).count(QRegularExpression(QStringLiteral("<t[hd]>"))), 12)
            << row.captured(2).toStdString();
    }
    EXPECT_EQ(classes,
              (QStringList{"", "class=\"contrastrow\"", "", "class=\"contrastrow\"", "", "class=\"contrastrow\""}));
    ASSERT_EQ(rows.size(), 6);
    EXPECT_TRUE(rows[0].contains(QStringLiteral("<th>Name</th>")));
    // The name is text in its own cell, not markup: the browser writes it back escaped.
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("<td>1</td><td>&lt;b&gt;Bob &amp; Co</td><td>50</td>")))
        << rows[1].toStdString();
    EXPECT_TRUE(rows.join('|').contains(QStringLiteral("<td>Ren\u00e9</td>")));
    EXPECT_TRUE(dom.contains(QStringLiteral("NCAA Office Pool Standings - As of: 03/07/2024")));
}

// ---- Listening to the pool -------------------------------------------------------------------

namespace {
// A frame that is not the main window, so whatever reaches the standings comes from the pool.
class BareFrame final : public Frame {
public:
    void setStatusText(const std::string&) override {}
    void setStatusText(const QString&) override {}
    void setProgress(int) override {}
    void setCountText(const std::string&) override {}
    void showInformation(const std::string&) override {}
    void showError(const std::string&) override {}
    void beep() override {}
    int findSheetWindow(int) override { return -1; }
    std::vector<int> openSheetTags() override { return {}; }
    void openBracketSheet(int) override {}
    void openWhatIf() override {}
    QPrinter& printer() override { return m_printer; }
    int& printCopies() override { return m_copies; }
    QWidget* frameWidget() override { return nullptr; }

private:
    QPrinter m_printer;
    int m_copies = 1;
};
}  // namespace

// A saved sheet is scored and shown at once while the window is open; a corrected name waits
// for the next pass; once the window is closed a save waits for the standings to be asked for.
TEST(StandingsListening, AStoreIsScoredAndShownOnlyWhileTheWindowIsOpen)
{
    TempDir dir;
    testSettings().values.clear();
    BareFrame frame;
    PoolSession session(frame, dir.path(), testSettings());
    PickArray results{};
    results[1] = makeTeamCode(1, 1);
    session.players().add(makeEntry(ResultsId, ResultsName, results));
    auto window = std::make_unique<StandingsWindow>(session, frame);
    window->show();
    const auto rows = [&] {
        const QAbstractItemModel& grid = *Find<QTableView>(*window, "grdStandings")->model();
        QStringList texts;
        for (int r = 0; r < grid.rowCount(); ++r)
            texts << grid.index(r, 1).data().toString() + " " + grid.index(r, 2).data().toString();
        return texts;
    };
    PlayerList& players = session.players();
    players.storeEntry(makeEntry(7, "Kim", results), true);
    EXPECT_EQ(rows(), QStringList{"Kim 1"});
    players.storeEntry(makeEntry(7, "Kit", results), false);
    EXPECT_EQ(rows(), QStringList{"Kim 1"});
    ASSERT_TRUE(window->close());
    players.storeEntry(makeEntry(8, "Lou", results), true);
    EXPECT_EQ(players[players.indexOfId(8)].modified, 1);
    EXPECT_EQ(rows(), QStringList{"Kim 1"});
}

// A sheet saved with the standings open moves its one row: the list and the grid end as a stable
// sort of the list as it stood would leave them (equal entries keep their order, the sheet on the
// side it came from), the results entry sorted with the rest but shown nowhere.
TEST(StandingsFollow, OneSavedSheetEndsWhereAStableSortPutsIt)
{
    struct Sheet {
        const char* name;
        int points;  // correct first-round picks, a point each
    };
    struct Edit {
        SortKey key;
        bool ascending;
        std::vector<Sheet> start;
        int edited;  // into start; -1 a new sheet
        Sheet saved;
    };
    const std::vector<Sheet> pool = {{"Ann", 3}, {"Bob", 5}, {"Cy", 5}, {"Dee", 1}, {"Zed", 0}, {"Sue", 5}};
    const std::vector<Edit> edits = {
        {SortKey::Total, false, pool, 3, {"Dee", 5}},   // up into a tie: after it
        {SortKey::Total, false, pool, 1, {"Bob", 1}},   // down into a tie: before it
        {SortKey::Total, false, pool, 2, {"Cy", 5}},    // unchanged, inside its tie
        {SortKey::Total, false, pool, 4, {"Zed", 9}},   // bottom to top, past the results
        {SortKey::Total, true, pool, 0, {"Ann", 0}},    // to the top, tied with the results
        {SortKey::Total, true, pool, -1, {"New", 5}},   // a new sheet: after its tie
        {SortKey::Total, false, pool, -1, {"New", 0}},  // a new sheet at the very end
        {SortKey::Name, true, pool, 0, {"Zz", 3}},      // past the results to the end
        {SortKey::Name, true, pool, 4, {"Al", 0}},      // to the top, a prefix of none
        {SortKey::Name, false, pool, 1, {"Cy", 5}},     // a twin's name: next to it, from below
        {SortKey::Name, false, pool, -1, {"An", 2}},    // a prefix of another name
        {SortKey::Potential, true, pool, 5, {"Sue", 2}},
    };
    RecordingHost host;
    TeamTable teams;
    for (std::size_t c = 0; c < edits.size(); ++c) {
        const Edit& edit = edits[c];
        SCOPED_TRACE(testing::Message() << "edit " << c);
        TempDir dir;  // for the journal of the save
        PlayerList players(host, dir.path(), teams);
        players.setScoringSource([] { return ScoringValues{{0, 1, 1, 1, 1, 1, 1}, false}; });
        const auto sheet = [](std::int32_t id, const Sheet& s) {
            Player entry = makeEntry(id, s.name);
            for (int g = 1; g <= 32; ++g) entry.picks[g] = g <= s.points ? firstRoundPair(g).a : firstRoundPair(g).b;
            return entry;
        };
        Player results = makeEntry(ResultsId, ResultsName);
        for (int g = 1; g <= 32; ++g) results.picks[g] = firstRoundPair(g).a;
        for (std::size_t i = 0; i < edit.start.size(); ++i) {
            players.add(sheet(static_cast<std::int32_t>(i + 1), edit.start[i]));
            if (i == 2) players.add(results);
        }
        players.updateStandings();
        players.setSort(edit.key, edit.ascending);
        players.sort();
        StandingsModel model({"East", "West", "South", "Midwest"});
        model.refill(players, teams);

        std::vector<const Player*> expected;
        for (int i = 0; i < players.count(); ++i) expected.push_back(players.item(i));
        const Player* stored = players.storeEntry(sheet(edit.edited < 0 ? 99 : edit.edited + 1, edit.saved), true);
        if (edit.edited < 0) expected.push_back(stored);
        ASSERT_TRUE(players.updateStandings());
        std::stable_sort(expected.begin(), expected.end(),
                         [&](const Player* a, const Player* b) { return players.comparePlayers(*a, *b) < 0; });

        ASSERT_TRUE(model.followPass(players, teams));
        std::vector<const Player*> order;
        for (int i = 0; i < players.count(); ++i) order.push_back(players.item(i));
        EXPECT_EQ(order, expected);
        StandingsTable full({"East", "West", "South", "Midwest"});
        full.refill(players, teams);
        ASSERT_EQ(model.table().rowCount(), full.rowCount());
        for (int row = 1; row < full.rowCount(); ++row)
            for (int column = 0; column < StandingsColumnCount; ++column)
                EXPECT_EQ(model.table().cell(row, column), full.cell(row, column)) << row << "," << column;
    }
}
