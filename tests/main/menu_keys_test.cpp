// The main window's keys against the controls' own: menu shortcuts in text boxes, the Help
// menu's access key, and the keys that open a control's pop-up menu.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "core/pool/team_files.h"
#include "gui/main/main_window.h"
#include "gui/main/open_url.h"
#include "gui/players/player_manager.h"
#include "gui/sheet/bracket_sheet.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/real_keys.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

namespace {
// Counts the shortcut events a menu item gets, and keeps its command from running.
class ShortcutCatcher : public QObject {
public:
    int caught = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Shortcut) return false;
        ++caught;
        return true;
    }
};

class MenuKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        testPrompts().clear();
        saveRegions(dir.path(), {"East", "West", "South", "Midwest"});
        main.show();
        main.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    }
    void TearDown() override
    {
        setUrlOpener({});
        testPrompts().clear();
    }
    void viewStandings()
    {
        Player results;
        results.id = ResultsId;
        results.name = ResultsName;
        main.session().players().add(results);
        Find<QAction>(main, "mnuViewStd")->trigger();
    }
    static QWidget* openedPopup() { return QApplication::activePopupWidget(); }

    TempDir dir;
    MainWindow main{testSettings(), QString::fromStdString(dir.path())};
};
}  // namespace

TEST_F(MenuKeys, MenuShortcutsWinOverTheTextBoxesOwnKeys)
{
    main.openBracketSheet(0);
    auto* sheet = qobject_cast<BracketSheet*>(main.activeChild());
    ASSERT_NE(sheet, nullptr);
    QApplication::clipboard()->clear();  // an empty clipboard: a paste would wipe the selection
    QLineEdit* boxes[] = {Find<QLineEdit>(*sheet, "txtName"), Find<QLineEdit>(*sheet, "txtTiebreaker"),
                          Find<QLineEdit>(*sheet, "g1")};
    boxes[0]->setText(QStringLiteral("Ann"));
    boxes[2]->setText(QStringLiteral("T101"));

    QStringList items;
    QList<QAction*> menuItems;
    for (QAction* menu : main.menuBar()->actions())
        if (menu->menu()) menuItems << menu->menu()->actions();
    for (QAction* item : menuItems) {
        if (item->shortcut().isEmpty()) continue;
        items << item->objectName();
        for (QLineEdit* box : boxes) {
            SCOPED_TRACE(item->objectName().toStdString() + " in " + box->objectName().toStdString());
            ShortcutCatcher catcher;
            item->installEventFilter(&catcher);
            box->setFocus(Qt::TabFocusReason);  // which selects the box's text
            const QKeyCombination keys = item->shortcut()[0];
            QTest::keyClick(box, keys.key(), keys.keyboardModifiers());
            item->removeEventFilter(&catcher);
            EXPECT_EQ(catcher.caught, 1);
            EXPECT_EQ((QStringList{boxes[0]->text(), boxes[1]->text(), boxes[2]->text()}).join('|').toStdString(),
                      "Ann|0|T101");
        }
    }
    for (const char* name : {"mnuOptions", "mnuBackup", "mnuEnterPicks", "mnuOpenPicks", "mnuSavePicks", "mnuViewStd"})
        EXPECT_TRUE(items.contains(QLatin1String(name))) << name;
}

TEST_F(MenuKeys, AltHOpensTheHelpMenuEveryTime)
{
    QStringList opened;
    setUrlOpener([&opened](const QUrl& url) {
        opened << url.toString();
        return true;
    });
    auto* help = Find<QMenu>(main, "mnuHelp");
    int shown = 0;
    for (int press = 0; press < 2; ++press) {  // the key's two owners took turns
        QTest::keyClick(&main, Qt::Key_H, Qt::AltModifier);
        QCoreApplication::processEvents();
        shown += help->isVisible();
        help->close();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(opened.join(' ').toStdString(), "");  // the tool button's page never opened
    EXPECT_EQ(Find<QToolButton>(main, "btnHelp")->text(), QStringLiteral("&Help"));
}

// Shift+F10 opens the pop-up menu of the control with the focus: the standings grid's own, the
// Player Manager list's own, a text box's standard one.
TEST_F(MenuKeys, ShiftF10OpensTheFocusedControlsPopUpMenu)
{
    viewStandings();
    auto* grid = Find<QTableView>(main, "grdStandings");
    PlayerManager manager(main.session(), main, &main);
    manager.show();
    auto* list = Find<QListView>(manager, "lstPlayers");
    main.openBracketSheet(0);
    auto* name = Find<QLineEdit>(*main.activeChild(), "txtName");
    const std::vector<std::pair<QWidget*, QMenu*>> controls = {
        {grid, Find<QMenu>(main, "mnuPopUp")}, {list, Find<QMenu>(manager, "PopupMenu")}, {name, nullptr}};
    for (const auto& [control, menu] : controls) {
        SCOPED_TRACE(control->objectName().toStdString());
        control->window()->activateWindow();
        control->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(control, Qt::Key_F10, Qt::ShiftModifier);
        QWidget* popup = openedPopup();
        ASSERT_NE(popup, nullptr);
        if (menu) {
            EXPECT_EQ(popup, menu);
        }
        popup->close();
        QCoreApplication::processEvents();
    }
}

// What only a real keyboard sends: the Menu key, which Qt turns into a pop-up request itself.
TEST_F(MenuKeys, TheMenuKeyOpensTheStandingsMenuOnce)
{
    if (!onRealX()) GTEST_SKIP() << "the Menu key needs a real X server";
    viewStandings();
    auto* grid = Find<QTableView>(main, "grdStandings");
    grid->setFocus(Qt::OtherFocusReason);
    int opened = 0;
    QObject::connect(Find<QMenu>(main, "mnuPopUp"), &QMenu::aboutToShow, [&opened] { ++opened; });
    for (const char* keys : {"Menu", "shift+F10"}) {
        SCOPED_TRACE(keys);
        opened = 0;
        ASSERT_TRUE(runXdotool(QStringLiteral("xdotool key %1").arg(QLatin1String(keys))));
        ASSERT_TRUE(QTest::qWaitFor([&] { return openedPopup() != nullptr; }));
        QTest::qWait(100);
        EXPECT_EQ(opened, 1);
        openedPopup()->close();
        QTest::qWait(50);
    }
}
