// Import Field in the window on a pool that holds picks: the question before the picks move with
// their teams, and the report of a file of junk, held to a thousand rows and a count.
#include <QApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <set>

#include "core/transfer/field_import.h"
#include "gui/main/main_window.h"
#include "gui/transfer/import_dialog.h"
#include "gui/transfer/transfer_commands.h"
#include "pool/pool_samples.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/test_settings.h"
#include "transfer_fixture.h"

namespace {
class FieldRemapWindow : public ::testing::Test {
protected:
    FieldRemapWindow()
    {
        testPrompts().clear();
        main = std::make_unique<MainWindow>(testSettings(), QString::fromStdString(dir.path()));
        testPrompts().clear();
    }
    ~FieldRemapWindow() override
    {
        main.reset();
        testPrompts().clear();
    }

    // Clicks Import in the report once its modal loop runs, noting its rows.
    void acceptReport()
    {
        QTimer::singleShot(0, [this] {
            auto* report = qobject_cast<ImportDialog*>(QApplication::activeModalWidget());
            if (!report) return;
            auto* grid = Find<QTableWidget>(*report, "grdRefused");
            rows.clear();
            for (int row = 0; row < grid->rowCount(); ++row)
                rows << grid->item(row, 0)->text() + "|" + grid->item(row, 2)->text();
            QTest::mouseClick(Find<QPushButton>(*report, "cmdImport"), Qt::LeftButton);
            if (report->isVisible()) report->reject();
        });
    }
    // Each sheet's picked team names by round.
    std::multiset<std::string> Picks()
    {
        std::multiset<std::string> picks;
        const PlayerList& players = main->session().players();
        for (int i = 0; i < players.count(); ++i)
            for (int g = 1; g <= GameCount; ++g)
                if (const TeamCode team = players[i].picks[std::size_t(g)])
                    picks.insert(players[i].name.text().bytes + " " + std::to_string(roundOfGame(g)) + " " +
                                 main->session().teams().teamName(team).bytes);
        return picks;
    }
    QString Path(const char* name) const { return QString::fromStdString(dir.file(name)); }

    TempDir dir;
    std::unique_ptr<MainWindow> main;
    QStringList rows;
};
}  // namespace

TEST_F(FieldRemapWindow, AsksBeforeThePicksMoveWithTheirTeams)
{
    storeImportedField(main->session(), readFieldImport(fieldFile()));
    std::mt19937 rng(5);
    PlayerList& players = main->session().players();
    for (int i = 0; i < 3; ++i) players.add(makeEntry(i + 1, "P" + std::to_string(i), randomBracket(rng)));
    players.add(makeEntry(ResultsId, ResultsName, randomBracket(rng, 40)));
    const std::multiset<std::string> before = Picks();
    dir.write("swapped.csv", fieldFile({}, {}, {"Midwest", "West", "South", "East"}));

    // An open sheet holds its picks by place: it is closed first.
    main->openBracketSheet(2);
    acceptReport();
    EXPECT_EQ(importFieldInteractive(main->session(), *main, Path("swapped.csv")), TransferOutcome::Failed);
    ASSERT_EQ(testPrompts().boxes.size(), 1u);
    EXPECT_TRUE(testPrompts().boxes[0].text.contains("Close every bracket sheet first"));
    EXPECT_EQ(main->session().loadRegions(1), "South");
    for (QMdiSubWindow* sheet : main->childWindows()) delete sheet;
    testPrompts().clear();

    testPrompts().answers = {PromptAnswer::No};
    acceptReport();
    EXPECT_EQ(importFieldInteractive(main->session(), *main, Path("swapped.csv")), TransferOutcome::Cancelled);
    ASSERT_EQ(testPrompts().boxes.size(), 1u);
    const FakePrompts::Box& asked = testPrompts().boxes[0];
    EXPECT_EQ(asked.kind, PromptKind::Confirmation);
    EXPECT_EQ(asked.buttons, PromptButtons::YesNo);
    EXPECT_EQ(asked.defaultAnswer, PromptAnswer::No) << "Enter leaves the picks where they are";
    EXPECT_TRUE(asked.text.startsWith("The new field moves 64 of the pool's teams to other places in the bracket:\n"
                                      "\"South 1\" moves from South 1 (upper left) to South 1 (upper right)\n"))
        << asked.text.toStdString();
    EXPECT_TRUE(asked.text.endsWith("... and 56 more\n\nImporting it moves the picks of 4 sheets (the results among "
                                    "them) with their teams, so that every pick still names the same team. Import "
                                    "the field and move the picks?"))
        << asked.text.toStdString();
    EXPECT_EQ(main->session().loadRegions(1), "South");
    EXPECT_EQ(Picks(), before);

    testPrompts().clear();
    testPrompts().answers = {PromptAnswer::Yes};
    acceptReport();
    EXPECT_EQ(importFieldInteractive(main->session(), *main, Path("swapped.csv")), TransferOutcome::Done);
    EXPECT_EQ(testPrompts().boxes.size(), 1u);
    EXPECT_EQ(main->session().loadRegions(1), "Midwest");
    EXPECT_EQ(Picks(), before);
}

TEST_F(FieldRemapWindow, AReportOfJunkHoldsAThousandRowsAndACount)
{
    std::string text = picksHeader() + "\n";
    for (int i = 0; i < 1500; ++i) text += "junk,1,maybe\n";
    dir.write("junk.csv", text);
    QTimer::singleShot(0, [this] {
        auto* report = qobject_cast<ImportDialog*>(QApplication::activeModalWidget());
        if (!report) return;
        auto* grid = Find<QTableWidget>(*report, "grdRefused");
        rows << QString::number(grid->rowCount()) << grid->item(0, 0)->text()
             << grid->item(grid->rowCount() - 1, 2)->text() << Find<QLabel>(*report, "lblSummary")->text();
        report->reject();
    });
    EXPECT_EQ(importPicksInteractive(main->session(), *main, Path("junk.csv")), TransferOutcome::Cancelled);
    EXPECT_EQ(rows, (QStringList{"1001", "2", "... and 500 more lines refused",
                                 "No line can be imported. 1500 lines were refused:"}));
}
