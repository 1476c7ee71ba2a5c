// The Pool Outlook window inside the main window: opened with its shortcut, computed on its own
// thread, recomputed when the list or the paid places change, copied and saved.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <sstream>

#include "../pool/pool_samples.h"
#include "core/pool/team_files.h"
#include "core/settings/settings.h"
#include "core/transfer/standings_export.h"
#include "gui/main/main_window.h"
#include "gui/outlook/outlook_window.h"
#include "gui/sheet/bracket_sheet.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {
using namespace outlook;

class OutlookWindowTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<MainWindow> main;
    std::mt19937 rng{7};

    void SetUp() override
    {
        testPrompts().clear();
        testSettings().values.clear();
        saveRegions(dir.path(), {"East", "West", "South", "Midwest"});
        main = std::make_unique<MainWindow>(testSettings(), QString::fromStdString(dir.path()));
        main->show();
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    }
    void TearDown() override
    {
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        testSettings().values.clear();
    }

    PlayerList& players() { return main->session().players(); }
    // The results with all but the last `open` games played, and `count` random sheets.
    void fill(int count, int open)
    {
        players().add(makeEntry(ResultsId, ResultsName, randomBracket(rng, GameCount - open)));
        for (int i = 0; i < count; ++i)
            players().add(makeEntry(i + 1, "Player " + std::to_string(i + 1), randomBracket(rng)));
    }
    OutlookWindow& open()
    {
        QTest::keyClick(main.get(), Qt::Key_U, Qt::ControlModifier);
        QMdiSubWindow* sub = main->mdiArea()->activeSubWindow();
        auto* outlook = sub ? qobject_cast<OutlookWindow*>(sub->widget()) : nullptr;
        if (!outlook) throw std::runtime_error("Ctrl+U opened no outlook");
        waitComputed(*outlook);
        return *outlook;
    }
    static void waitComputed(OutlookWindow& outlook)
    {
        QSignalSpy computed(&outlook, &OutlookWindow::computed);
        if (outlook.isComputing()) {
            EXPECT_TRUE(computed.wait(60000));
        }
    }
    // Runs change and waits for the computation it starts.
    template <class F> static void recomputed(OutlookWindow& outlook, F change)
    {
        QSignalSpy computed(&outlook, &OutlookWindow::computed);
        change();
        EXPECT_TRUE(computed.wait(60000));
    }
    // What the engine says for the list as it stands, as the window should show it.
    // (results: in place of the real ones, as a what-if gives them)
    OutlookTable expected(int places = 3, const PickArray* results = nullptr)
    {
        OutlookInput input = outlookInputOf(players(), ScoringValues{}, places);
        if (results) input.results = *results;
        return OutlookTable(computeOutlook(input), names());
    }
    // The participants' names: every entry but the results entries, as the standings count.
    std::vector<std::string> names()
    {
        std::vector<std::string> list;
        for (int i = 0; i < players().count(); ++i)
            if (players()[i].id != ResultsId) list.emplace_back(players()[i].name.view());
        return list;
    }
    // The standings page as scorePicks scores the participants against these results.
    QString scoresText(const PickArray& results)
    {
        const OutlookInput input = outlookInputOf(players(), ScoringValues{}, 3);
        std::vector<std::pair<PickScore, std::string>> scored;
        for (std::size_t i = 0; i < input.participants.size(); ++i)
            scored.emplace_back(scorePicks(input.participants[i].picks, results, ScoringValues{}), names()[i]);
        std::stable_sort(scored.begin(), scored.end(),
                         [](const auto& a, const auto& b) { return a.first.total > b.first.total; });
        QString text;
        for (std::size_t i = 0; i < scored.size(); ++i)
            text += QStringLiteral("%1\t%2\t%3\t%4\n")
                        .arg(i + 1)
                        .arg(QString::fromStdString(scored[i].second))
                        .arg(scored[i].first.total)
                        .arg(scored[i].first.potential);
        return text;
    }
    static QString gridText(const QTableView& grid)
    {
        QString text;
        for (int row = 0; row < grid.model()->rowCount(); ++row) {
            for (int column = 0; column < grid.model()->columnCount(); ++column)
                text += (column ? "\t" : "") + grid.model()->index(row, column).data().toString();
            text += "\n";
        }
        return text;
    }
    static QString rowsText(const OutlookTable& table)
    {
        const QString all = QString::fromStdString(outlookText(table, OutlookFormat::Tab, "\n"));
        return all.mid(all.indexOf('\n') + 1);
    }
};

TEST_F(OutlookWindowTest, ShortcutOpensTheGridCopyGivesTheText)
{
    fill(5, 3);
    OutlookWindow& outlook = open();
    EXPECT_EQ(outlook.windowTitle(), "Pool Outlook");
    EXPECT_EQ(Find<QLabel>(outlook, "pnlStatus")->text(), "Exact over 8 outcomes (3 games left)");
    EXPECT_FALSE(Find<QPushButton>(outlook, "btnCancel")->isVisible());
    const OutlookTable table = expected();
    EXPECT_EQ(gridText(*Find<QTableView>(outlook, "grdOutlook")), rowsText(table));

    QApplication::clipboard()->clear();
    Find<QAction>(outlook, "mnuCopy")->trigger();
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith("#\tName\tTotal Pts\tBest Finish\tWorst Finish\tCan Win\tWin %\tMoney %\r\n"))
        << copied.toStdString();
    EXPECT_EQ(copied, QString::fromStdString(outlookText(table, OutlookFormat::Tab, "\r\n")));

    // Three games left: the 1 + 2 + 4 teams' games are those of the last three rounds.
    auto* picked = Find<QTableView>(outlook, "grdPicked");
    EXPECT_EQ(picked->model()->columnCount(), 3);
    EXPECT_EQ(picked->model()->rowCount(), 4);
    EXPECT_EQ(picked->model()->headerData(1, Qt::Horizontal).toString(), "Final 4");

    // The other pages copy what they show, from the same pop-up menu.
    Find<QTabWidget>(outlook, "pcOutlook")->setCurrentWidget(picked);
    Find<QAction>(outlook, "mnuCopy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text().replace("\r\n", "\n"),
              "Team\tFinal 4\tChampionship\n" + gridText(*picked))
        << QApplication::clipboard()->text().toStdString();

    // Tab leaves a grid.
    picked->setFocus();
    QTest::keyClick(picked, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), picked);
}

TEST_F(OutlookWindowTest, RecomputesWhenTheListOrThePlacesChange)
{
    fill(4, 2);
    OutlookWindow& outlook = open();
    auto* grid = Find<QTableView>(outlook, "grdOutlook");
    ASSERT_EQ(grid->model()->rowCount(), 4);

    recomputed(outlook, [&] { players().storeEntry(makeEntry(77, "Late Sheet", randomBracket(rng)), true); });
    EXPECT_EQ(gridText(*grid), rowsText(expected()));
    EXPECT_TRUE(gridText(*grid).contains("Late Sheet"));

    recomputed(outlook, [&] { players().deletePlayer(77); });
    EXPECT_EQ(grid->model()->rowCount(), 4);

    // The paid places are kept in the settings store and change Money %.
    auto* places = Find<QSpinBox>(outlook, "txtPlaces");
    EXPECT_EQ(places->value(), 3);
    places->setFocus();
    recomputed(outlook, [&] {
        QTest::keyClick(places, Qt::Key_Down);
        QTest::keyClick(places, Qt::Key_Down);
    });
    const auto stored = testSettings().values.find({settings::Other, settings::OutlookPlaces});
    ASSERT_NE(stored, testSettings().values.end());
    EXPECT_EQ(stored->second, "1");
    EXPECT_EQ(gridText(*grid), rowsText(expected(1)));
}

TEST_F(OutlookWindowTest, SaveAsWritesTheChosenType)
{
    fill(3, 1);
    OutlookWindow& outlook = open();
    const std::string path = dir.path() + "/outlook.csv";
    testPrompts().saveAnswers.push_back([&](SaveFileRequest& request) {
        request.fileName = QString::fromStdString(path);
        request.filterIndex = 2;
        return true;
    });
    Find<QAction>(outlook, "mnuSaveAs")->trigger();
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), utf8FileText(outlookText(expected(), OutlookFormat::Comma, "\r\n")));
    EXPECT_EQ(testPrompts().saveRequests.at(0).title, "Save Pool Outlook");
}

TEST_F(OutlookWindowTest, CancelStopsALongComputation)
{
    fill(3000, 40);
    QTest::keyClick(main.get(), Qt::Key_U, Qt::ControlModifier);
    QMdiSubWindow* sub = main->mdiArea()->activeSubWindow();
    ASSERT_NE(sub, nullptr);
    auto* outlook = qobject_cast<OutlookWindow*>(sub->widget());
    ASSERT_NE(outlook, nullptr);
    ASSERT_TRUE(outlook->isComputing());
    EXPECT_TRUE(Find<QPushButton>(*outlook, "btnCancel")->isVisible());
    QTest::mouseClick(Find<QPushButton>(*outlook, "btnCancel"), Qt::LeftButton);
    waitComputed(*outlook);
    EXPECT_EQ(Find<QLabel>(*outlook, "pnlStatus")->text(),
              "Cancelled; the figures shown are from before the last change.");
    EXPECT_EQ(Find<QTableView>(*outlook, "grdOutlook")->model()->rowCount(), 0);

    // Nothing computed yet: F5 and Compute start again.
    auto* compute = Find<QPushButton>(*outlook, "btnCompute");
    EXPECT_TRUE(compute->isVisible());
    for (const bool key : {true, false}) {
        if (key)
            QTest::keyClick(Find<QTableView>(*outlook, "grdOutlook"), Qt::Key_F5);
        else
            QTest::mouseClick(compute, Qt::LeftButton);
        EXPECT_TRUE(outlook->isComputing()) << key;
        EXPECT_FALSE(compute->isVisible());
        QTest::mouseClick(Find<QPushButton>(*outlook, "btnCancel"), Qt::LeftButton);
        waitComputed(*outlook);
    }
}

TEST_F(OutlookWindowTest, WhatIfKeysRecomputeAndClosingGoesBackToTheResults)
{
    fill(4, 3);
    // A second results entry (a damaged file) is no participant, as in the standings.
    players().add(makeEntry(ResultsId, ResultsName, randomBracket(rng)));
    players().add(makeEntry(9, "After", randomBracket(rng)));
    const PickArray real = players()[0].picks;
    OutlookWindow& outlook = open();
    auto* status = Find<QLabel>(outlook, "pnlStatus");
    auto* grid = Find<QTableView>(outlook, "grdOutlook");
    auto* standings = Find<QTableView>(outlook, "grdWhatIfStandings");
    EXPECT_EQ(gridText(*grid), rowsText(expected()));
    EXPECT_EQ(grid->model()->rowCount(), 5);
    EXPECT_FALSE(gridText(*grid).contains(QStringLiteral("RESULTS")));
    EXPECT_EQ(gridText(*standings), scoresText(real));
    EXPECT_EQ(standings->model()->headerData(3, Qt::Horizontal).toString(), "Potential");

    QTest::mouseClick(Find<QPushButton>(outlook, "btnWhatIf"), Qt::LeftButton);
    auto* sheet = qobject_cast<BracketSheet*>(main->activeChild());
    ASSERT_TRUE(sheet && sheet->isWhatIf());
    ASSERT_EQ(QApplication::focusWidget()->objectName(), "g61");
    PickArray whatIf = real;
    whatIf[61] = sheet->picks().teams(61).a;
    recomputed(outlook, [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up); });
    EXPECT_EQ(status->text(), "What if: 1 game decided. Exact over 4 outcomes (2 games left)");
    EXPECT_EQ(gridText(*grid), rowsText(expected(3, &whatIf)));
    EXPECT_EQ(gridText(*standings), scoresText(whatIf));

    // From the outlook again: the same sheet, and its next key counts too.
    QMdiSubWindow* outlookSub = main->childWindows()[0];
    main->mdiArea()->setActiveSubWindow(outlookSub);
    QTest::mouseClick(Find<QPushButton>(outlook, "btnWhatIf"), Qt::LeftButton);
    ASSERT_EQ(main->activeChild(), sheet);
    EXPECT_EQ(main->childWindows().size(), 2);
    whatIf[62] = sheet->picks().teams(62).b;
    recomputed(outlook, [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); });
    EXPECT_EQ(status->text(), "What if: 2 games decided. Exact over 2 outcomes (1 game left)");
    EXPECT_EQ(gridText(*standings), scoresText(whatIf));

    recomputed(outlook, [&] { sheet->parentWidget()->close(); });
    EXPECT_EQ(status->text(), "Exact over 8 outcomes (3 games left)");
    EXPECT_EQ(gridText(*grid), rowsText(expected()));
    EXPECT_EQ(gridText(*standings), scoresText(real));
    for (int i = 0; i < players().count(); ++i) EXPECT_EQ(players()[i].total + players()[i].potential, 0);
}

}  // namespace
