// Where the focus is when the organiser comes back to a sheet from another window, and that the
// control with the focus is always in full view. Built for the offscreen platform and for a real
// X server.
#include <QMenu>
#include <QScrollArea>

#include "sheet_fixture.h"
#include "support/real_keys.h"

namespace {
struct Trip {
    const char* name;
    std::int32_t sheet;   // the sheet the organiser works in
    const char* control;  // and its control with the focus
    std::function<void(MainWindow&)> away;
    std::function<void(MainWindow&)> back;
};

// Chooses the open window with this caption from the Window menu.
void fromWindowMenu(MainWindow& main, const QString& caption)
{
    auto* menu = ::Find<QMenu>(main, "mnuWindow");
    emit menu->aboutToShow();
    for (QAction* item : menu->actions())
        if (item->text().endsWith(QLatin1Char(' ') + caption)) return item->trigger();
    ADD_FAILURE() << "no window " << caption.toStdString();
}

void trigger(MainWindow& main, const char* item) { ::Find<QAction>(main, item)->trigger(); }
void openAnn(MainWindow& main) { main.openBracketSheet(7); }
void openResults(MainWindow& main) { main.openBracketSheet(ResultsId); }
const QString Results = QStringLiteral("Actual Results");
const QString Ann = QStringLiteral("Picks for Ann");
}  // namespace

class SheetFocusTrip : public SheetTest, public ::testing::WithParamInterface<Trip> {};

TEST_P(SheetFocusTrip, ComesBackToTheSameControl)
{
    const Trip& trip = GetParam();
    store(ResultsId, "RESULTS", PickArray{});
    store(7, "Ann", PickArray{});
    BracketSheet* sheet = open(trip.sheet);
    const QString control = QString::fromLatin1(trip.control);
    Control<QWidget>(sheet, control)->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();

    trip.away(*main);
    QCoreApplication::processEvents();
    ASSERT_NE(main->activeChild(), sheet);
    trip.back(*main);
    ASSERT_TRUE(QTest::qWaitFor([&] { return main->activeChild() == sheet; }));
    QCoreApplication::processEvents();

    QStringList yellow;
    for (QLineEdit* box : sheet->findChildren<QLineEdit*>())
        if (background(box) == Yellow) yellow << box->objectName();
    EXPECT_EQ((QStringList{focusName(), yellow.join(',')}), (QStringList{control, control}));
    // The next key works on the game the organiser left, which the hint is about.
    if (control == QLatin1String("g3")) {
        const GamePair teams = sheet->picks().teams(3);
        EXPECT_EQ(status(), hint(teams.a, teams.b));
        key(Qt::Key_Up);
        EXPECT_EQ((std::vector<int>{sheet->picks().pick(3), sheet->picks().pick(4)}), (std::vector<int>{105, 0}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Trips, SheetFocusTrip,
    ::testing::Values(Trip{"WindowMenu", ResultsId, "g3", openAnn, [](MainWindow& m) { fromWindowMenu(m, Results); }},
                      Trip{"EnterResults", ResultsId, "g3", openAnn, openResults},
                      Trip{"Standings", ResultsId, "g3", [](MainWindow& m) { trigger(m, "mnuViewStd"); },
                           [](MainWindow& m) { fromWindowMenu(m, Results); }},
                      Trip{"TiledClick", ResultsId, "g3",
                           [](MainWindow& m) {
                               trigger(m, "mnuViewStd");
                               trigger(m, "WindowTileItem");
                           },
                           [](MainWindow& m) { QTest::mouseClick(m.findChild<QLineEdit*>("g3"), Qt::LeftButton); }},
                      Trip{"Outlook", ResultsId, "g3", [](MainWindow& m) { trigger(m, "mnuOutlook"); },
                           [](MainWindow& m) { fromWindowMenu(m, Results); }},
                      Trip{"NameBoxWindowMenu", 7, "txtName", openResults,
                           [](MainWindow& m) { fromWindowMenu(m, Ann); }},
                      Trip{"NameBoxOpenedAgain", 7, "txtName", openResults, openAnn}),
    [](const ::testing::TestParamInfo<Trip>& info) { return std::string(info.param.name); });

using SheetFocus = SheetTest;

TEST_F(SheetFocus, TheFocusedControlIsScrolledFullyIntoView)
{
    main->showNormal();
    main->resize(600, 450);  // the sheet is larger than the window: it scrolls
    BracketSheet* sheet = open(0);
    QWidget* viewport = sheet->findChild<QScrollArea*>()->viewport();
    const std::vector<std::tuple<int, std::function<void()>, QString>> moves = {
        {16, [] { key(Qt::Key_Tab); }, "g17"},  // top right
        {16, [] { key(Qt::Key_Up); }, "g17"},
        {41, [] { key(Qt::Key_Backtab); }, "g40"},  // bottom left
        {32, [] {}, "g32"},                         // bottom right, focused by the program
    };
    for (const auto& [from, move, to] : moves) {
        focusCell(sheet, from);
        move();
        QCoreApplication::processEvents();
        QWidget* focus = QApplication::focusWidget();
        ASSERT_EQ(focusName(), to);
        const QRect shown(focus->mapTo(viewport, QPoint(0, 0)), focus->size());
        EXPECT_TRUE(viewport->rect().contains(shown)) << to.toStdString() << " at " << shown.x() << ',' << shown.y();
    }
}

namespace {
struct Arrangement {
    const char* name;
    bool whatIf;       // the What If sheet, the first round played; else a new sheet
    int game;          // the game the organiser tabbed to
    const char* item;  // the Window menu's item
    char accessKey;    // and its key in the menu
    Qt::Key key;
};

// Keys typed as the organiser does: on a real X server from the keyboard, menus and all.
void press(Qt::Key key, int times = 1)
{
    if (onRealX()) {
        QStringList names;
        for (int i = 0; i < times; ++i) names << (key == Qt::Key_Tab ? "Tab" : key == Qt::Key_Up ? "Up" : "Down");
        ASSERT_TRUE(runXdotool(QStringLiteral("xdotool key --delay 50 ") + names.join(' ')));
    } else {
        for (int i = 0; i < times; ++i) QTest::keyClick(QApplication::focusWidget(), key);
    }
    QCoreApplication::processEvents();
}
}  // namespace

class SheetArranged : public SheetTest, public ::testing::WithParamInterface<Arrangement> {};

// Tile and Cascade take the maximised sheet back to its normal size: the game the organiser was
// in stays the one with the focus, the highlight and the hint, and the next key fills it.
TEST_P(SheetArranged, TheNextKeyFillsTheGameLeft)
{
    const Arrangement& arrangement = GetParam();
    PickArray firstRound{};
    for (int n = 1; n <= 32; ++n) firstRound[std::size_t(n)] = teamsOfGame(firstRound, n).a;
    store(ResultsId, "RESULTS", firstRound);
    BracketSheet* sheet = nullptr;
    int tabs = 0;
    if (arrangement.whatIf) {
        main->openWhatIf();
        QCoreApplication::processEvents();
        sheet = qobject_cast<BracketSheet*>(main->activeChild());
        tabs = arrangement.game - 33;  // it starts in the first game not played
    } else {
        sheet = open(0);
        nameBox(sheet)->setText(QStringLiteral("Ann"));
        tabs = arrangement.game + 2;  // past the tiebreaker and the paid box
    }
    ASSERT_NE(sheet, nullptr);
    press(Qt::Key_Tab, tabs);
    const QString cell = QStringLiteral("g%1").arg(arrangement.game);
    ASSERT_EQ(focusName(), cell);

    if (onRealX())
        ASSERT_TRUE(
            runXdotool(QStringLiteral("xdotool key alt+w; sleep 0.3; xdotool key %1").arg(arrangement.accessKey)));
    else
        ::Find<QAction>(*main, arrangement.item)->trigger();
    QCoreApplication::processEvents();

    QStringList yellow;
    for (QLineEdit* box : sheet->findChildren<QLineEdit*>())
        if (background(box) == Yellow) yellow << box->objectName();
    const GamePair teams = sheet->picks().teams(arrangement.game);
    EXPECT_EQ((QStringList{focusName(), yellow.join(','), status()}),
              (QStringList{cell, cell, hint(teams.a, teams.b)}));
    const PickArray before = picksOf(sheet);
    press(arrangement.key);
    ASSERT_TRUE(QTest::qWaitFor([&] { return picksOf(sheet) != before; }));  // a real key acts once let go
    const TeamCode chosen = arrangement.key == Qt::Key_Up ? teams.a : teams.b;
    EXPECT_EQ((QStringList{gameCell(sheet, arrangement.game)->text(), gameCell(sheet, arrangement.game + 1)->text()}),
              (QStringList{Text(chosen), QString()}));
    EXPECT_EQ(sheet->picks().pick(arrangement.game), chosen);
}

INSTANTIATE_TEST_SUITE_P(Arrangements, SheetArranged,
                         ::testing::Values(Arrangement{"TileGame3", false, 3, "WindowTileItem", 't', Qt::Key_Up},
                                           Arrangement{"TileGame7", false, 7, "WindowTileItem", 't', Qt::Key_Down},
                                           Arrangement{"TileWhatIf", true, 35, "WindowTileItem", 't', Qt::Key_Up},
                                           Arrangement{"CascadeGame3", false, 3, "WindowCascadeItem", 'c', Qt::Key_Up}),
                         [](const ::testing::TestParamInfo<Arrangement>& info) {
                             return std::string(info.param.name);
                         });
