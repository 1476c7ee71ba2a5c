// The import report and the three commands, driven offscreen with real clicks.
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "gui/main/main_window.h"
#include "gui/standings/standings_window.h"
#include "gui/transfer/import_dialog.h"
#include "gui/transfer/transfer_commands.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/test_settings.h"
#include "transfer_fixture.h"

namespace {
// What the report shows: its summary, then a line per row of its list.
struct Shown {
    QString summary;
    QStringList rows;
    QString note;  // below the list, when shown
    bool canImport = false;
};

class ImportCommands : public ::testing::Test {
protected:
    ImportCommands()
    {
        testPrompts().clear();
        saveRegions(dir.path(), {"East", "West", "South", "Midwest"});
        main = std::make_unique<MainWindow>(testSettings(), QString::fromStdString(dir.path()));
        nameTeams(main->session().teams());
        main->session().setIdSource([this] { return nextId++; });
        testPrompts().clear();
    }
    ~ImportCommands() override
    {
        main.reset();
        testPrompts().clear();
    }

    // Once the report's modal loop runs: notes what it shows and clicks the button.
    void answerReport(const char* button)
    {
        QTimer::singleShot(0, [this, button] {
            auto* report = qobject_cast<ImportDialog*>(QApplication::activeModalWidget());
            if (!report) return;
            shown.summary = Find<QLabel>(*report, "lblSummary")->text();
            auto* grid = Find<QTableWidget>(*report, "grdRefused");
            for (int row = 0; row < grid->rowCount(); ++row) {
                QStringList cells;
                for (int column = 0; column < grid->columnCount(); ++column) cells << grid->item(row, column)->text();
                shown.rows << cells.join(QLatin1Char('|'));
            }
            auto* note = Find<QLabel>(*report, "lblNote");
            shown.note = note->isHidden() ? QString() : note->text();
            auto* import = Find<QPushButton>(*report, "cmdImport");
            shown.canImport = import->isEnabled();
            QTest::mouseClick(Find<QPushButton>(*report, button), Qt::LeftButton);
            if (report->isVisible()) report->reject();  // a disabled button took no click
        });
    }
    QString Path(const char* name) const { return QString::fromStdString(dir.file(name)); }
    QString status() const { return Find<QLabel>(*main, "pnlHint")->text(); }

    TempDir dir;
    std::unique_ptr<MainWindow> main;
    std::int32_t nextId = 500;
    Shown shown;
};
}  // namespace

TEST_F(ImportCommands, ReportListsRefusedLinesAndNothingIsStoredUntilImportIsChosen)
{
    const PickArray all = favourites();
    dir.write("picks.csv", picksHeader() + "\n" + picksLine("Bob,1,Yes", all) + "\n" + picksLine("Carl,1,maybe", all) +
                               "\n" + picksLine("Zo\xC3\xAB,2,No", favourites(40)) + "\n" +
                               picksLine("Fay,1,No", all, 34, "T101") + "\n");
    answerReport("cmdCancel");
    EXPECT_EQ(importPicksInteractive(main->session(), *main, Path("picks.csv")), TransferOutcome::Cancelled);
    EXPECT_EQ(shown.summary, "2 lines can be imported as new participants (1 with games that have no winner). "
                             "2 lines were refused:");
    EXPECT_EQ(shown.rows, (QStringList{"3|Paid|\"maybe\" is not Yes, No, TRUE, FALSE, x, 1 or 0",
                                       "5|Game 34|\"T101\" is not one of the game's two teams"}));
    EXPECT_TRUE(shown.canImport);
    EXPECT_EQ(main->session().players().count(), 0);
    EXPECT_FALSE(dir.exists(JournalFileName));

    answerReport("cmdImport");
    EXPECT_EQ(importPicksInteractive(main->session(), *main, Path("picks.csv")), TransferOutcome::Done);
    ASSERT_EQ(main->session().players().count(), 2);
    EXPECT_EQ(main->session().players()[1].name.text().bytes, "Zo\xEB");
    EXPECT_EQ(main->session().players()[1].id, 501);
    EXPECT_EQ(status(), "2 participants imported from " + Path("picks.csv"));
    EXPECT_EQ(Find<QLabel>(*main, "pnlCount")->text(), "Players: 2");
    EXPECT_TRUE(testPrompts().boxes.empty());

    // Again: the two now in the pool are counted below the refusals, not refused.
    shown = {};
    answerReport("cmdCancel");
    EXPECT_EQ(importPicksInteractive(main->session(), *main, Path("picks.csv")), TransferOutcome::Cancelled);
    EXPECT_EQ(shown.summary, "No line can be imported. 2 lines were refused:");
    EXPECT_EQ(shown.rows.size(), 2);
    EXPECT_EQ(shown.note, "2 lines are already in the pool (the same name and sheet) and will be skipped.");
    EXPECT_FALSE(shown.canImport);
}

TEST_F(ImportCommands, FieldWithAProblemOffersNothingAndAGoodOneIsWritten)
{
    dir.write("field.csv", fieldFile("East 7"));
    answerReport("cmdImport");
    EXPECT_EQ(importFieldInteractive(main->session(), *main, Path("field.csv")), TransferOutcome::Cancelled);
    EXPECT_EQ(shown.summary, "The field can not be imported. 1 problem was found:");
    EXPECT_EQ(shown.rows, QStringList{"||The region \"East\" has no team for seed 7."});
    EXPECT_FALSE(shown.canImport);
    EXPECT_FALSE(dir.exists(TeamsFileName));

    shown = {};
    std::string field = fieldFile();
    field.replace(field.find("\nSouth 1,") + 1, 7, "North Carolina");
    dir.write("field.csv", field);
    answerReport("cmdImport");
    EXPECT_EQ(importFieldInteractive(main->session(), *main, Path("field.csv")), TransferOutcome::Done);
    EXPECT_EQ(shown.summary, "64 teams in four regions, placed in the bracket in this order: South, East, Midwest, "
                             "West. Importing replaces the pool's teams and regions.");
    EXPECT_TRUE(shown.rows.isEmpty());
    EXPECT_EQ(shown.note, "The team file keeps 12 characters of a team's name: this name is kept as its first 12, "
                          "and picks may still give it in full:\nLine 2, column \"Team\": \"North Carolina\" is kept "
                          "as \"North Caroli\"");
    EXPECT_EQ(main->session().loadRegions(1), "South");
    EXPECT_EQ(main->session().teams().teamName(101).bytes, "North Caroli");
    EXPECT_TRUE(dir.exists(TeamsFileName));
    EXPECT_EQ(status(), "Field imported from " + Path("field.csv"));
}

TEST_F(ImportCommands, FailuresAreReportedAndNeverAsSuccess)
{
    EXPECT_EQ(importPicksInteractive(main->session(), *main, Path("missing.csv")), TransferOutcome::Failed);
    EXPECT_EQ(testPrompts().texts(), QStringList{"The file " + Path("missing.csv") + " does not exist."});

    testPrompts().clear();
    const QString nowhere = Path("no folder/picks.htm");
    EXPECT_EQ(exportPicksInteractive(main->session(), *main, nowhere), TransferOutcome::Failed);
    ASSERT_EQ(testPrompts().boxes.size(), 1u);
    EXPECT_TRUE(testPrompts().boxes[0].text.contains("no folder")) << testPrompts().boxes[0].text.toStdString();
    EXPECT_NE(status(), "Picks successfully exported to " + nowhere);

    EXPECT_EQ(exportPicksInteractive(main->session(), *main, Path("picks.htm")), TransferOutcome::Done);
    EXPECT_EQ(status(), "Picks successfully exported to " + Path("picks.htm"));
    EXPECT_EQ(dir.read("picks.htm").rfind("<html>", 0), 0u);
}

TEST_F(ImportCommands, MenusChooseTheFileAndRunTheCommands)
{
    // The standings are open, so the imported participant shows there at once.
    main->session().players().add(Player{.id = ResultsId, .name = std::string_view(ResultsName), .tiebreaker = {}});
    Find<QAction>(*main, "mnuViewStd")->trigger();
    ASSERT_NE(main->standingsForm(), nullptr);
    const QAbstractItemModel* grid = Find<QTableView>(*main->standingsForm(), "grdStandings")->model();
    ASSERT_EQ(grid->rowCount(), 0);
    main->show();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));

    dir.write("picks.csv", picksHeader() + "\n" + picksLine("Bob,1,Yes", favourites()) + "\n");
    testPrompts().openAnswers.push_back([this](OpenFileRequest& request) {
        request.fileName = Path("picks.csv");
        return true;
    });
    answerReport("cmdImport");
    QTest::keyClick(main.get(), Qt::Key_L, Qt::AltModifier);  // Player, Import Picks
    ASSERT_TRUE(QTest::qWaitFor([&] { return Find<QMenu>(*main, "mnuPlayer")->isVisible(); }));
    QTest::keyClick(Find<QMenu>(*main, "mnuPlayer"), Qt::Key_I);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Find<QLabel>(*main, "pnlCount")->text() == QStringLiteral("Players: 1"); }));
    ASSERT_EQ(testPrompts().openRequests.size(), 1u);
    const OpenFileRequest& asked = testPrompts().openRequests[0];
    EXPECT_EQ(asked.title, "Import Picks");
    EXPECT_EQ(asked.filters, (QStringList{"Comma Separated (*.csv)", "Tab Separated (*.txt)", "All Files (*)"}));
    EXPECT_EQ(shown.summary, "1 line can be imported as new participants.");
    ASSERT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(grid->index(0, 1).data().toString(), "Bob");

    testPrompts().saveAnswers.push_back([this](SaveFileRequest& request) {
        EXPECT_EQ(request.filters, (QStringList{"Comma Separated (*.csv)", "HTML (*.htm)"}));
        EXPECT_TRUE(request.confirmOverwrite && request.suffixFollowsType);
        request.fileName = Path("everyone.htm");
        return true;
    });
    Find<QAction>(*main, "mnuExportPicks")->trigger();
    EXPECT_EQ(testPrompts().saveRequests.at(0).directory.toStdString(), dir.path()) << "where a file was chosen last";
    EXPECT_NE(dir.read("everyone.htm").find("<td class=name>Bob</td>"), std::string::npos);

    // Without picks in the pool a new field takes no question.
    main->session().players().deletePlayer(500);
    dir.write("field.csv", fieldFile());
    testPrompts().openAnswers.push_back([this](OpenFileRequest& request) {
        EXPECT_EQ(request.title, "Import Field");
        request.fileName = Path("field.csv");
        return true;
    });
    answerReport("cmdImport");
    Find<QAction>(*main, "mnuImportField")->trigger();
    EXPECT_EQ(main->session().loadRegions(1), "South");
    EXPECT_TRUE(testPrompts().boxes.empty());
}

// The entry pages come back one file each: several through the menu's dialog or by a drop, in
// one report that names the file of each refused line; and the page is made from the menu.
TEST_F(ImportCommands, SeveralFilesMakeOneReportAndThePageIsMadeFromTheMenu)
{
    const PickArray all = favourites();
    dir.write("a.csv",
              picksHeader() + "\n" + picksLine("Bob,1,No", all) + "\n" + picksLine("Carl,1,maybe", all) + "\n");
    dir.write("b.csv", picksHeader() + "\n" + picksLine("Bob,1,No", all) + "\n" + picksLine("Dee,1,No", all) + "\n");
    testPrompts().openAnswers.push_back([this](OpenFileRequest& request) {
        EXPECT_TRUE(request.several);
        request.fileNames = {Path("a.csv"), Path("b.csv")};
        request.fileName = request.fileNames.front();
        return true;
    });
    answerReport("cmdImport");
    Find<QAction>(*main, "mnuImportPicks")->trigger();
    EXPECT_EQ(shown.summary, "From 2 files: 2 lines can be imported as new participants. 1 line was refused:");
    EXPECT_EQ(shown.rows, QStringList{"a.csv|3|Paid|\"maybe\" is not Yes, No, TRUE, FALSE, x, 1 or 0"});
    EXPECT_EQ(shown.note, "1 line is already in the pool (the same name and sheet) and will be skipped.");
    EXPECT_EQ(main->session().players().count(), 2);
    EXPECT_EQ(status(), "2 participants imported from 2 files");

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path("b.csv"))});
    main->show();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main.get(), &drop);
    answerReport("cmdImport");  // the import runs once the drop has ended
    QApplication::processEvents();
    EXPECT_EQ(shown.summary, "No line can be imported.");
    EXPECT_EQ(shown.note, "2 lines are already in the pool (the same name and sheet) and will be skipped.");
    EXPECT_FALSE(shown.canImport);
    EXPECT_EQ(main->session().players().count(), 2);

    testPrompts().saveAnswers.push_back([this](SaveFileRequest& request) {
        EXPECT_TRUE(request.fileName.endsWith(QStringLiteral("/entry-page.htm"))) << request.fileName.toStdString();
        request.fileName = Path("page.htm");
        return true;
    });
    Find<QAction>(*main, "mnuMakeEntryPage")->trigger();
    EXPECT_NE(dir.read("page.htm").find(R"("cell":"T101")"), std::string::npos);
    EXPECT_EQ(status(), "Entry page made: " + Path("page.htm"));
    EXPECT_TRUE(testPrompts().boxes.empty());
}
