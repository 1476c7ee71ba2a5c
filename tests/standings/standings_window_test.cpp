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
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>
#include <QToolButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "pool/brand.h"
#include "pool/team_files.h"
#include "shell/main_window.h"
#include "standings/export.h"
#include "standings/standings_model.h"
#include "standings/standings_window.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"

// Readable failure output for texts.
void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {
const QString StatusTail = QStringLiteral("...right-click for more options. Right-click to save as HTML.");

QString Status(const char* middle) { return QStringLiteral("Standings sorted by ") + middle + StatusTail; }

// The main window, with the progress it reports recorded.
class RecordingMain final : public TMainForm {
public:
    using TMainForm::TMainForm;
    std::vector<int> progress;
    void SetProgress(int percent) override
    {
        progress.push_back(percent);
        TMainForm::SetProgress(percent);
    }
};

std::chrono::year_month_day FixedDay() { return std::chrono::year{2024} / std::chrono::March / std::chrono::day{7}; }

class StandingsWindow : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<RecordingMain> main;

    void SetUp() override
    {
        TestPrompts().clear();
        SetDateSource(&FixedDay);
        ClearTeams();
        TeamEntry(1, 1).name = "Hawks";
        TeamEntry(2, 2).name = "Owls";
        TeamEntry(3, 3).name = "Cats";
        TeamEntry(4, 4).name = "Rams";
        SaveRegions(dir.path(), {"East", "West", "South", "Midwest"});
        main = std::make_unique<RecordingMain>(QString::fromStdString(dir.path()));
        main->Players().SetWriteOnDestroy(false);
        main->show();
    }
    void TearDown() override
    {
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetDateSource(nullptr);
        ClearTeams();
    }

    TPlayers& players() { return main->Players(); }
    TPlayer& add(const std::string& name, std::int32_t total = 0, TeamCode champion = 0)
    {
        TPlayer entry;
        entry.Id = players().Count() + 100;
        entry.Name = name;
        entry.Total = total;
        entry.Picks[63] = champion;
        return *players().Add(entry);
    }
    void addResults()
    {
        TPlayer results;
        results.Id = ResultsId;
        results.Name = ResultsName;
        players().Add(results);
        players().HasResults = 1;
    }
    // The View Standings command: a scoring pass that opens or raises the window.
    TfrmStandings& view()
    {
        main->mnuViewStd->trigger();
        TfrmStandings* form = main->StandingsForm();
        if (!form) throw std::runtime_error("no standings window");
        return *form;
    }
    static QString cell(TfrmStandings& form, int row, int column)
    {
        return form.grdStandings->model()->index(row, column).data().toString();
    }
    static QStringList column(TfrmStandings& form, int column)
    {
        QStringList texts;
        for (int row = 0; row < form.grdStandings->model()->rowCount(); ++row) texts << cell(form, row, column);
        return texts;
    }
    // A right-click in the grid opens the pop-up menu.
    static void popUp(TfrmStandings& form)
    {
        QWidget* viewport = form.grdStandings->viewport();
        const QPoint at(20, 20);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &event);
        if (!form.mnuPopUp->isVisible()) throw std::runtime_error("the pop-up menu did not open");
    }
    // Pop-up menu, then the item's underlined letter.
    static void press(TfrmStandings& form, Qt::Key key)
    {
        popUp(form);
        QTest::keyClick(form.mnuPopUp, key);
    }
    static void sortBy(TfrmStandings& form, Qt::Key key)
    {
        popUp(form);
        QTest::keyClick(form.mnuPopUp, Qt::Key_S);
        if (!form.mnuSortBy->isVisible()) throw std::runtime_error("the Sort By menu did not open");
        QTest::keyClick(form.mnuSortBy, key);
    }
    // Answers the next export dialog with a file name and a type.
    static void answerExport(const QString& path, int type)
    {
        TestPrompts().saveAnswers.push_back([path, type](SaveFileRequest& request) {
            request.fileName = path;
            request.filterIndex = type;
            return true;
        });
    }
    QString hint() const { return main->pnlHint->text(); }
};
}  // namespace

// ---- Opening and the grid --------------------------------------------------------------------

TEST_F(StandingsWindow, ResultsWithoutParticipantsShowOnlyTheHeaderRow)
{
    addResults();
    TfrmStandings& form = view();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Standings"));
    EXPECT_EQ(form.Tag(), 0);
    EXPECT_EQ(players().StandingsWindow, &form);
    auto* sub = qobject_cast<QMdiSubWindow*>(form.parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->isMaximized());
    EXPECT_TRUE(sub->testAttribute(Qt::WA_DeleteOnClose));

    QAbstractItemModel* model = form.grdStandings->model();
    EXPECT_EQ(model->rowCount(), 0);
    ASSERT_EQ(model->columnCount(), 12);
    const QStringList headers = {"#",        "Name", "Total Pts", "Potential", "Rnds 1-2", "Rnds 3-4",
                                 "Rnds 5-6", "East", "West",      "South",     "Midwest",  "Champion"};
    const int widths[12] = {27, 129, 45, 50, 49, 48, 50, 75, 68, 69, 68, 68};
    for (int c = 0; c < 12; ++c) {
        EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), headers[c]) << c;
        EXPECT_EQ(form.grdStandings->columnWidth(c), widths[c]) << c;
    }
    EXPECT_EQ(form.pnlStatus->text(), Status("total points, descending"));
    EXPECT_EQ(form.pnlStatus->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(form.grdStandings->toolTip(), QStringLiteral("Right-click for options"));
    EXPECT_EQ(form.grdStandings->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(form.grdStandings->selectionMode(), QAbstractItemView::ContiguousSelection);
    EXPECT_EQ(form.grdStandings->horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);
    EXPECT_TRUE(form.mnuSortTotal->isChecked());
    EXPECT_FALSE(form.mnuSortMethod->isChecked());
}

TEST_F(StandingsWindow, NoResultsOpensNoWindow)
{
    add("Ann", 5);
    main->mnuViewStd->trigger();
    EXPECT_EQ(main->StandingsForm(), nullptr);
    EXPECT_EQ(players().StandingsWindow, nullptr);
}

TEST_F(StandingsWindow, TiedParticipantsGetPositionsNotSharedRanks)
{
    add("Ten", 10);
    addResults();
    add("TwentyFiveA", 25);
    add("TwentyFiveB", 25);
    TfrmStandings& form = view();
    EXPECT_EQ(column(form, 0), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(column(form, 2), (QStringList{"25", "25", "10"}));
    EXPECT_EQ(cell(form, 2, 1), QStringLiteral("Ten"));
    EXPECT_TRUE(cell(form, 0, 1).startsWith("TwentyFive"));
    EXPECT_TRUE(cell(form, 1, 1).startsWith("TwentyFive"));
}

TEST_F(StandingsWindow, ScoringPassFillsPointsRegionWinnersAndChampion)
{
    addResults();
    TPlayer& results = players()[0];
    results.Picks[1] = 101;  // game 1 won by the 1 seed of position 1
    results.Modified = 1;
    TPlayer& ann = add("Ann");
    ann.Picks[1] = 101;
    ann.Picks[57] = 101;
    ann.Picks[58] = 202;
    ann.Picks[59] = 303;
    ann.Picks[60] = 404;
    ann.Picks[63] = 303;
    TfrmStandings& form = view();
    ASSERT_EQ(form.grdStandings->model()->rowCount(), 1);
    QStringList row;
    for (int c = 0; c < 12; ++c) row << cell(form, 0, c);
    // Default round values 1..6 times the seed; the live picks for games 57..60 (round 4) and 63
    // add 1x4 + 2x4 + 3x4 + 4x4 + 3x6 = 58 to the total of 1.
    EXPECT_EQ(row, (QStringList{"1", "Ann", "1", "59", "1", "0", "0", "Hawks", "Owls", "Cats", "Rams", "Cats"}));
}

TEST_F(StandingsWindow, NameOrderIsByteWiseWithPrefixFirst)
{
    addResults();
    for (const char* name : {"apple", "Zed", "Ann", "An"}) add(name);
    TfrmStandings& form = view();
    press(form, Qt::Key_A);  // ascending
    sortBy(form, Qt::Key_N);
    EXPECT_EQ(column(form, 1), (QStringList{"An", "Ann", "Zed", "apple"}));
    EXPECT_TRUE(form.mnuSortName->isChecked());
    EXPECT_FALSE(form.mnuSortTotal->isChecked());
    EXPECT_EQ(players().SortKey, 2);
    EXPECT_EQ(form.pnlStatus->text(), Status("name, ascending"));
    press(form, Qt::Key_A);  // descending
    EXPECT_EQ(column(form, 1), (QStringList{"apple", "Zed", "Ann", "An"}));
    EXPECT_EQ(column(form, 0), (QStringList{"1", "2", "3", "4"}));
    // The shared list itself is left in this order (the results entry sorts with the rest).
    QStringList listed;
    for (int i = 0; i < players().Count(); ++i)
        if (players()[i].Id != ResultsId) listed << QString::fromStdString(players()[i].Name.str());
    EXPECT_EQ(listed, column(form, 1));
}

TEST_F(StandingsWindow, MissingChampionIsEmptyAndFirstAscendingLastDescending)
{
    addResults();
    add("Cat fan", 0, 303);
    add("No pick", 0, 0);
    add("Hawk fan", 0, 101);
    TfrmStandings& form = view();
    sortBy(form, Qt::Key_C);
    EXPECT_EQ(form.pnlStatus->text(), Status("selected champions, descending"));
    EXPECT_EQ(column(form, 11), (QStringList{"Hawks", "Cats", ""}));
    EXPECT_EQ(cell(form, 2, 1), QStringLiteral("No pick"));
    press(form, Qt::Key_A);
    EXPECT_EQ(column(form, 11), (QStringList{"", "Cats", "Hawks"}));
    EXPECT_EQ(cell(form, 0, 1), QStringLiteral("No pick"));
}

TEST_F(StandingsWindow, PotentialPointsOrder)
{
    addResults();
    add("Low").Potential = 3;
    add("High").Potential = 30;
    add("Mid").Potential = 12;
    TfrmStandings& form = view();
    sortBy(form, Qt::Key_P);
    EXPECT_EQ(column(form, 1), (QStringList{"High", "Mid", "Low"}));
    EXPECT_EQ(form.pnlStatus->text(), Status("potential points, descending"));
    sortBy(form, Qt::Key_T);
    EXPECT_TRUE(form.mnuSortTotal->isChecked());
    EXPECT_FALSE(form.mnuSortPotential->isChecked());
}

TEST_F(StandingsWindow, AscendingTwiceReturnsToDescending)
{
    addResults();
    add("Ten", 10);
    add("Five", 5);
    TfrmStandings& form = view();
    // The first time with the mouse, the second with the key.
    popUp(form);
    QTest::mouseClick(form.mnuPopUp, Qt::LeftButton, {}, form.mnuPopUp->actionGeometry(form.mnuSortMethod).center());
    EXPECT_TRUE(form.mnuSortMethod->isChecked());
    EXPECT_EQ(players().SortAscending, 1);
    EXPECT_EQ(column(form, 1), (QStringList{"Five", "Ten"}));
    EXPECT_EQ(form.pnlStatus->text(), Status("total points, ascending"));
    press(form, Qt::Key_A);
    EXPECT_FALSE(form.mnuSortMethod->isChecked());
    EXPECT_EQ(players().SortAscending, 0);
    EXPECT_EQ(column(form, 1), (QStringList{"Ten", "Five"}));
    EXPECT_EQ(form.pnlStatus->text(), Status("total points, descending"));
}

TEST_F(StandingsWindow, ReopenedWindowSortsByTotalAndKeepsTheDirection)
{
    addResults();
    add("b", 1);
    add("a", 2);
    TfrmStandings& first = view();
    press(first, Qt::Key_A);
    sortBy(first, Qt::Key_N);
    ASSERT_EQ(column(first, 1), (QStringList{"a", "b"}));

    auto* sub = qobject_cast<QMdiSubWindow*>(first.parentWidget());
    ASSERT_TRUE(sub->close());
    EXPECT_EQ(players().StandingsWindow, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main->StandingsForm(), nullptr);

    // This time through the tool bar's Standings button.
    QTest::mouseClick(main->btnStandings, Qt::LeftButton);
    TfrmStandings* reopened = main->StandingsForm();
    ASSERT_NE(reopened, nullptr);
    TfrmStandings& second = *reopened;
    EXPECT_NE(&second, &first);
    EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(second.parentWidget())->isMaximized());
    EXPECT_EQ(players().StandingsWindow, &second);
    EXPECT_EQ(players().SortKey, 0);
    EXPECT_TRUE(second.mnuSortTotal->isChecked());
    EXPECT_TRUE(second.mnuSortMethod->isChecked());
    EXPECT_EQ(column(second, 1), (QStringList{"b", "a"}));
    EXPECT_EQ(second.pnlStatus->text(), Status("total points, ascending"));
}

TEST_F(StandingsWindow, RegionHeadersAreReadOnceWhenTheWindowOpens)
{
    addResults();
    TfrmStandings& first = view();
    SaveRegions(dir.path(), {"North", "West", "South", "Midwest"});
    view();  // refreshes the same window
    EXPECT_EQ(main->StandingsForm(), &first);
    EXPECT_EQ(first.grdStandings->model()->headerData(7, Qt::Horizontal).toString(), QStringLiteral("East"));
    qobject_cast<QMdiSubWindow*>(first.parentWidget())->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TfrmStandings& second = view();
    EXPECT_EQ(second.grdStandings->model()->headerData(7, Qt::Horizontal).toString(), QStringLiteral("North"));
}

TEST_F(StandingsWindow, SavedPicksRefreshTheOpenWindowInPlace)
{
    addResults();
    add("Ann", 4);
    TfrmStandings& form = view();
    ASSERT_EQ(form.grdStandings->model()->rowCount(), 1);
    // Another child in front, then a save of a new participant (as the bracket sheet does it).
    auto* other = main->MdiArea()->addSubWindow(new QWidget);
    other->show();
    main->MdiArea()->setActiveSubWindow(other);
    TPlayer entry;
    entry.Id = 555;
    entry.Name = "Bob";
    entry.Modified = 1;
    players().Add(entry);
    EXPECT_TRUE(players().UpdateStandings(false));
    EXPECT_EQ(main->StandingsForm(), &form);
    EXPECT_EQ(column(form, 1), (QStringList{"Ann", "Bob"}));
    EXPECT_EQ(main->MdiArea()->activeSubWindow(), other);  // not raised
    view();
    EXPECT_EQ(main->MdiArea()->activeSubWindow(), form.parentWidget());
}

TEST_F(StandingsWindow, PopUpMenuItemsAndHints)
{
    addResults();
    TfrmStandings& form = view();
    QStringList captions;
    for (QAction* item : form.mnuPopUp->actions()) captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
    EXPECT_EQ(captions, (QStringList{"Sort &Ascending", "&Sort By", "-", "&Copy", "&Export..."}));
    QStringList sortBy;
    for (QAction* item : form.mnuSortBy->actions()) sortBy << item->text();
    EXPECT_EQ(sortBy, (QStringList{"&Total Points", "&Potential Points", "&Name", "&Champion"}));
    EXPECT_EQ(form.mnuSortMethod->statusTip(),
              QStringLiteral("Sort standings from lowest to highest (1 to 10, A to Z, etc.)"));
    EXPECT_EQ(form.mnuCopy->statusTip(), QStringLiteral("Copy standings to clipboard."));
    EXPECT_EQ(form.mnuExport->statusTip(), QStringLiteral("Export standings to a file."));
    // Hovering an item shows its hint in the main window's hint panel.
    popUp(form);
    QMouseEvent move(QEvent::MouseMove, QPointF(form.mnuPopUp->actionGeometry(form.mnuCopy).center()),
                     QPointF(form.mnuPopUp->mapToGlobal(form.mnuPopUp->actionGeometry(form.mnuCopy).center())),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form.mnuPopUp, &move);
    EXPECT_EQ(hint(), QStringLiteral("Copy standings to clipboard."));
    form.mnuPopUp->hide();
}

// ---- Copy and export -------------------------------------------------------------------------

TEST_F(StandingsWindow, CopyPutsTabTextOnTheClipboardAndBeeps)
{
    addResults();
    add("Al\tTab", 2);
    TfrmStandings& form = view();
    main->SetStatusText(QString());
    press(form, Qt::Key_C);
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_EQ(text, QStringLiteral("#\tName\tTotal Pts\tPotential\tRnds 1-2\tRnds 3-4\tRnds 5-6\tEast\tWest\tSouth\t"
                                   "Midwest\tChampion\r\n1\tAl Tab\t2\t0\t0\t0\t0\t\t\t\t\t\r\n") +
                        brand::Slogan + "\r\nVisit us on the web at " + brand::MakerAddress);
    EXPECT_FALSE(text.endsWith('\n'));
    EXPECT_EQ(TestPrompts().beeps, 1);
    EXPECT_TRUE(hint().isEmpty());  // no status text for the clipboard
    EXPECT_TRUE(TestPrompts().saveRequests.empty());
}

TEST_F(StandingsWindow, ExportDialogAndTheFileTypeChoosingTheSeparator)
{
    addResults();
    add("Smith, Jo", 3);
    TfrmStandings& form = view();

    const QString csvPath = QString::fromStdString(dir.file("picked.txt"));
    answerExport(csvPath, 2);  // comma-separated, whatever the name ends in
    press(form, Qt::Key_E);
    ASSERT_EQ(TestPrompts().saveRequests.size(), 1u);
    const SaveFileRequest& first = TestPrompts().saveRequests[0];
    EXPECT_EQ(first.title, QStringLiteral("Export Standings"));
    EXPECT_EQ(first.fileName, QStringLiteral("Standing"));
    EXPECT_EQ(first.defaultSuffix, QStringLiteral("htm"));
    EXPECT_EQ(first.filters, (QStringList{"HTML (*.htm)", "Comma Separated (*.csv)", "Tab Separated (*.txt)"}));
    EXPECT_EQ(first.filterIndex, 1);
    EXPECT_EQ(first.directory, main->DataDir());
    EXPECT_TRUE(first.confirmOverwrite);
    const std::string csv = dir.read("picked.txt");
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "#,Name,Total Pts,Potential,Rnds 1-2,Rnds 3-4,Rnds 5-6,East,West,South,Midwest,Champion");
    EXPECT_NE(csv.find("\r\n1,\"Smith, Jo\",3,0,0,0,0,,,,,\r\n"), std::string::npos);
    EXPECT_TRUE(csv.ends_with(std::string("\r\nVisit us on the web at ") + brand::MakerAddress + "\r\n"));
    EXPECT_EQ(hint(), QStringLiteral("Standings successfully exported to ") + csvPath);

    // The next export starts from the last name and type; a tab type writes tabs into a .csv name.
    const QString tabPath = QString::fromStdString(dir.file("tabs.csv"));
    answerExport(tabPath, 3);
    press(form, Qt::Key_E);
    ASSERT_EQ(TestPrompts().saveRequests.size(), 2u);
    EXPECT_EQ(TestPrompts().saveRequests[1].fileName, csvPath);
    EXPECT_EQ(TestPrompts().saveRequests[1].filterIndex, 2);
    EXPECT_TRUE(dir.read("tabs.csv").starts_with("#\tName\tTotal Pts\t"));
    EXPECT_NE(dir.read("tabs.csv").find("\r\n1\tSmith, Jo\t3\t"), std::string::npos);

    // Cancelling writes nothing and says nothing.
    main->SetStatusText(QString());
    press(form, Qt::Key_E);
    ASSERT_EQ(TestPrompts().saveRequests.size(), 3u);
    EXPECT_EQ(TestPrompts().saveRequests[2].fileName, tabPath);
    EXPECT_EQ(TestPrompts().saveRequests[2].filterIndex, 3);
    EXPECT_TRUE(hint().isEmpty());
    EXPECT_TRUE(TestPrompts().boxes.empty());
}

TEST_F(StandingsWindow, ANewWindowStartsTheDialogAfresh)
{
    addResults();
    TfrmStandings& first = view();
    answerExport(QString::fromStdString(dir.file("a.csv")), 2);
    press(first, Qt::Key_E);
    qobject_cast<QMdiSubWindow*>(first.parentWidget())->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TfrmStandings& second = view();
    press(second, Qt::Key_E);
    ASSERT_EQ(TestPrompts().saveRequests.size(), 2u);
    EXPECT_EQ(TestPrompts().saveRequests[1].fileName, QStringLiteral("Standing"));
    EXPECT_EQ(TestPrompts().saveRequests[1].filterIndex, 1);
}

TEST_F(StandingsWindow, ExportProgressForTwoParticipants)
{
    addResults();
    add("Al", 2);
    add("Bo", 1);
    TfrmStandings& form = view();
    main->progress.clear();
    answerExport(QString::fromStdString(dir.file("s.htm")), 1);
    press(form, Qt::Key_E);
    EXPECT_EQ(main->progress, (std::vector<int>{0, 33, 67, 0}));
    EXPECT_EQ(main->pbProgress->value(), 0);
    const std::string page = dir.read("s.htm");
    EXPECT_NE(page.find("NCAA Office Pool Standings - As of: 03/07/2024</font>"), std::string::npos);
    EXPECT_NE(page.find("<tr class=\"contrastrow\"><td>1</td><td>Al</td><td>2</td>"), std::string::npos);
    EXPECT_NE(page.find("<tr><td>2</td><td>Bo</td><td>1</td>"), std::string::npos);

    main->progress.clear();
    press(form, Qt::Key_C);
    EXPECT_EQ(main->progress, (std::vector<int>{0, 33, 67, 0}));
}

TEST_F(StandingsWindow, AFailedWriteShowsTheErrorAndNoSuccess)
{
    addResults();
    add("Al", 2);
    TfrmStandings& form = view();
    main->SetStatusText(QString());
    main->progress.clear();
    const std::string path = dir.file("no such folder/s.htm");
    for (int type : {1, 2}) {
        TestPrompts().boxes.clear();
        answerExport(QString::fromStdString(path), type);
        press(form, Qt::Key_E);
        ASSERT_EQ(TestPrompts().boxes.size(), 1u) << type;
        EXPECT_EQ(TestPrompts().boxes[0].kind, PromptKind::Error);
        EXPECT_EQ(TestPrompts().boxes[0].text,
                  QString::fromStdString("Cannot create file " + path + ": No such file or directory"));
        EXPECT_TRUE(hint().isEmpty()) << type;
    }
    EXPECT_TRUE(main->progress.empty());  // the file was never created, so no pass was made
    EXPECT_EQ(main->pbProgress->value(), 0);
    EXPECT_FALSE(dir.exists("no such folder"));
}

// ---- The page in a real browser --------------------------------------------------------------

TEST_F(StandingsWindow, ExportedPageReadsRightInABrowser)
{
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty()) GTEST_SKIP() << "chromium is not installed";

    addResults();
    for (const char* name : {"<b>Bob & Co", "Ren\xE9", "Cy", "Di", "Ed"}) add(name);
    players()[1].Total = 50;  // "<b>Bob & Co" first
    TfrmStandings& form = view();
    const QString page = QString::fromStdString(dir.file("standing.htm"));
    answerExport(page, 1);
    press(form, Qt::Key_E);
    ASSERT_TRUE(dir.exists("standing.htm"));

    // A profile of its own in the temp folder: the browser never touches the user's.
    TempDir profile;
    QProcess browser;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), QString::fromStdString(profile.path()));
    browser.setProcessEnvironment(env);
    browser.start(chromium, {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                             QStringLiteral("--user-data-dir=") + QString::fromStdString(profile.file("data")),
                             QStringLiteral("--dump-dom"), QUrl::fromLocalFile(page).toString()});
    ASSERT_TRUE(browser.waitForFinished(120000)) << "the browser did not finish";
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
    ASSERT_FALSE(dom.isEmpty()) << browser.readAllStandardError().toStdString();

    // The standings table is the last one on the page.
    const qsizetype start = dom.lastIndexOf(QStringLiteral("<table"));
    const qsizetype end = dom.indexOf(QStringLiteral("</table>"), start);
    ASSERT_GE(start, 0);
    const QString table = dom.mid(start, end - start);
    static const QRegularExpression rowPattern(QStringLiteral("<tr([^>]*)>(.*?)</tr>"));
    static const QRegularExpression cellPattern(QStringLiteral("<t([hd])>(.*?)</t[hd]>"));
    QStringList rowClasses;
    std::vector<QStringList> cells;
    for (auto rows = rowPattern.globalMatch(table); rows.hasNext();) {
        const auto row = rows.next();
        rowClasses << row.captured(1).trimmed();
        QStringList texts;
        for (auto it = cellPattern.globalMatch(row.captured(2)); it.hasNext();) texts << it.next().captured(2);
        cells.push_back(texts);
    }
    ASSERT_EQ(cells.size(), 6u);
    EXPECT_EQ(rowClasses, (QStringList{"", "class=\"contrastrow\"", "", "class=\"contrastrow\"", "", "class=\"contrastrow\""}));
    for (const QStringList& texts : cells) EXPECT_EQ(texts.size(), 12);
    EXPECT_EQ(cells[0][1], QStringLiteral("Name"));
    EXPECT_EQ(cells[0][7], QStringLiteral("East"));
    // The name is text in its own cell, not markup: the browser writes it back escaped.
    EXPECT_EQ(cells[1][0], QStringLiteral("1"));
    EXPECT_EQ(cells[1][1], QStringLiteral("&lt;b&gt;Bob &amp; Co"));
    EXPECT_EQ(cells[1][2], QStringLiteral("50"));
    QStringList names;
    for (std::size_t r = 1; r < cells.size(); ++r) names << cells[r][1];
    EXPECT_TRUE(names.contains(QStringLiteral("Ren\u00e9"))) << names.join('|').toStdString();
    EXPECT_FALSE(dom.contains(QStringLiteral("<b>Bob")));
    EXPECT_FALSE(dom.contains(QStringLiteral("<iframe"), Qt::CaseInsensitive));
    EXPECT_FALSE(dom.contains(QStringLiteral("<script"), Qt::CaseInsensitive));
    EXPECT_TRUE(dom.contains(QStringLiteral("NCAA Office Pool Standings - As of: 03/07/2024")));
}
