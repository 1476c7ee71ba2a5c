// Where the focus is when the organiser comes back to a sheet from another window, and that the
// control with the focus is always in full view. Built for the offscreen platform and for a real
// X server.
#include <QMenu>
#include <QScrollArea>

#include "sheet_fixture.h"

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
    // The next key works on the game the organiser left.
    if (control == QLatin1String("g3")) {
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
