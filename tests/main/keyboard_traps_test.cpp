// Tab and Shift+Tab leave every read-only grid, so the controls after it can be reached by keyboard.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <utility>

#include "../pool/pool_samples.h"
#include "core/pool/team_files.h"
#include "gui/main/main_window.h"
#include "gui/outlook/outlook_window.h"
#include "gui/standings/standings_window.h"
#include "gui/transfer/import_dialog.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

namespace {
class KeyboardTraps : public ::testing::Test {
protected:
    void SetUp() override
    {
        testPrompts().clear();
        testSettings().values.clear();
        saveRegions(dir.path(), {"East", "West", "South", "Midwest"});
        main = std::make_unique<MainWindow>(testSettings(), QString::fromStdString(dir.path()));
        std::mt19937 rng{3};
        PlayerList& players = main->session().players();
        players.add(makeEntry(ResultsId, ResultsName, randomBracket(rng, 48)));
        for (int id = 1; id <= 3; ++id) players.add(makeEntry(id, "P" + std::to_string(id), randomBracket(rng)));
        main->show();
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    }
    void TearDown() override
    {
        import.reset();
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        testSettings().values.clear();
    }

public:  // the windows the cases open
    QWidget& standings()
    {
        Find<QAction>(*main, "mnuViewStd")->trigger();
        if (!main->standingsForm()) throw std::runtime_error("no standings window");
        return *main->standingsForm();
    }
    QWidget& outlook()
    {
        QTest::keyClick(main.get(), Qt::Key_U, Qt::ControlModifier);
        QMdiSubWindow* sub = main->mdiArea()->activeSubWindow();
        auto* window = sub ? qobject_cast<OutlookWindow*>(sub->widget()) : nullptr;
        if (!window) throw std::runtime_error("Ctrl+U opened no outlook");
        QSignalSpy computed(window, &OutlookWindow::computed);
        if (window->isComputing()) {
            EXPECT_TRUE(computed.wait(60000));
        }
        return *window;
    }
    QWidget& importReport()
    {
        TransferProblems refused;
        refused.add({3, "Game 2", CodePageText{"not a team"}});
        refused.add({5, "", CodePageText{"too short"}});
        import = std::make_unique<ImportDialog>(nullptr, QStringLiteral("Import Picks"), QStringLiteral("2 of 4"),
                                                refused, true);
        import->show();
        return *import;
    }

protected:
    TempDir dir;
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<ImportDialog> import;
};

TEST_F(KeyboardTraps, TabLeavesEveryReadOnlyGrid)
{
    // The controls Tab and Shift+Tab go to from the grid's first cell. The standings grid is the
    // only control of its window, so the focus stays there, but Tab must not walk its cells.
    struct Case {
        const char* grid;
        std::function<QWidget&(KeyboardTraps&)> open;
        const char* afterTab;
        const char* afterShiftTab;
    };
    const Case cases[] = {
        {"grdRefused", &KeyboardTraps::importReport, "cmdImport", "cmdCancel"},
        {"grdStandings", &KeyboardTraps::standings, "grdStandings", "grdStandings"},
        {"grdOutlook", &KeyboardTraps::outlook, "qt_tabwidget_tabbar", "txtPlaces"},
        {"grdPicked", &KeyboardTraps::outlook, "qt_tabwidget_tabbar", "txtPlaces"},
        {"grdWhatIfStandings", &KeyboardTraps::outlook, "qt_tabwidget_tabbar", "txtPlaces"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grid);
        QWidget& window = c.open(*this);
        window.window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.window()));
        auto* grid = Find<QAbstractItemView>(window, c.grid);
        if (auto* pages = window.findChild<QTabWidget*>()) pages->setCurrentWidget(grid);
        ASSERT_GT(grid->model()->rowCount(), 1);  // cells to walk, were Tab to walk them
        const QModelIndex first = grid->model()->index(0, 0);
        for (const bool backwards : {false, true}) {
            grid->setFocus(Qt::OtherFocusReason);
            grid->setCurrentIndex(first);
            ASSERT_TRUE(grid->hasFocus());
            QTest::keyClick(grid, Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
            QWidget* now = QApplication::focusWidget();
            EXPECT_EQ(now ? now->objectName().toStdString() : "", backwards ? c.afterShiftTab : c.afterTab);
            EXPECT_EQ(std::pair(grid->currentIndex().row(), grid->currentIndex().column()), std::pair(0, 0));
        }
    }
}
}  // namespace
