// Building a bracket sheet: the paper layout, and how each of the three modes is filled.
#include <QFrame>

#include "sheet_fixture.h"

using SheetBuild = SheetTest;

TEST_F(SheetBuild, PaperLayout)
{
    saveRegions(dir.path(), {"<i>East</i>", "", "South", "Midwest"});  // region names are data, never markup
    main->session().teams().entry(2, 5).name = "";
    BracketSheet* sheet = open(0);
    // Down each side the labels run in the fixed seed order, one region below the other, each
    // "seed) name" in plain text; a team without a name shows only its seed.
    const int order[16] = {1, 16, 8, 9, 5, 12, 4, 13, 6, 11, 3, 14, 7, 10, 2, 15};
    for (int side = 0, lastTop = -1; side < 2; ++side, lastTop = -1)
        for (int r = side * 2 + 1; r <= side * 2 + 2; ++r)
            for (int seed : order) {
                QLabel* label = sheet->findChild<QLabel*>(QStringLiteral("lblTeam%1").arg(r * 100 + seed));
                ASSERT_NE(label, nullptr);
                EXPECT_GT(label->y(), lastTop) << r * 100 + seed;
                EXPECT_EQ(label->geometry(), QRect(r <= 2 ? 8 : 706, lastTop = label->y(), 73, 14)) << r * 100 + seed;
                EXPECT_EQ(label->property("tag").toInt(), r * 100 + seed);
                EXPECT_EQ(label->text(), r == 2 && seed == 5 ? QStringLiteral("5) ")
                                                             : QStringLiteral("%1) T%2").arg(seed).arg(r * 100 + seed));
                EXPECT_EQ(label->textFormat(), Qt::PlainText);
            }
    // Each first-round cell stands between its two teams on their inner side; later games move
    // inward round by round.
    auto labelOf = [sheet](TeamCode code) {
        return sheet->findChild<QLabel*>(QStringLiteral("lblTeam%1").arg(code))->geometry();
    };
    for (int n = 1; n <= 63; ++n) {
        const QRect cell = gameCell(sheet, n)->geometry();
        EXPECT_EQ(cell.size(), QSize(81, 17)) << n;
        if (n <= 32) {
            const QRect a = labelOf(firstRoundPair(n).a), b = labelOf(firstRoundPair(n).b);
            EXPECT_TRUE(a.top() < cell.center().y() && cell.center().y() < b.bottom()) << n;
            EXPECT_TRUE(n <= 16 ? cell.left() >= a.right() : cell.right() <= a.left()) << n;
        }
        const QRect next = n < 63 ? gameCell(sheet, nextGame(n).game)->geometry() : QRect(400, 0, 0, 0);
        EXPECT_LT(std::abs(next.center().x() - 400), std::abs(cell.center().x() - 400)) << n;
    }
    QLabel* lblRegion1 = Control<QLabel>(sheet, QStringLiteral("lblRegion1"));
    QLabel* lblDir = Control<QLabel>(sheet, QStringLiteral("lblDir"));
    QLineEdit* txtName = nameBox(sheet);
    EXPECT_EQ(lblRegion1->textFormat(), Qt::PlainText);
    // Fonts and colours: bold champion and name, bold italic 12-point regions, red notes.
    const QFont region = lblRegion1->font();
    EXPECT_TRUE(region.pixelSize() == 16 && region.bold() && region.italic());  // 12 points at 96 dpi
    EXPECT_TRUE(sheet->findChild<QLabel*>(QStringLiteral("lblChampion"))->font().bold() && txtName->font().bold());
    EXPECT_EQ(paidBox(sheet)->layoutDirection(), Qt::RightToLeft);  // caption left of the box
    for (QWidget* red : {static_cast<QWidget*>(txtName), static_cast<QWidget*>(lblDir)})
        EXPECT_EQ(red->palette().color(red == txtName ? QPalette::Text : QPalette::WindowText), QColor(Qt::red));
    EXPECT_TRUE(lblDir->wordWrap());

    // Fourteen raised etched lines: a light and a dark line side by side.
    QList<QRect> lines;
    for (QFrame* frame : sheet->findChildren<QFrame*>())
        if (frame->frameShape() == QFrame::VLine || frame->frameShape() == QFrame::HLine) {
            EXPECT_EQ(frame->frameShadow(), QFrame::Raised);
            lines << frame->geometry();
        }
    EXPECT_EQ(lines.size(), 14);
    EXPECT_TRUE(lines.contains(QRect(440, 323, 2, 153)) && lines.contains(QRect(381, 307, 25, 2)));
}

// A team's name is the organiser's: its label widens to show it whole. On the left the rest of
// the bracket moves right to make room; on the right the label grows outward.
TEST_F(SheetBuild, ALongTeamNameWidensItsLabel)
{
    main->session().teams().entry(1, 16).name = "WWWWWWWWWWWW";
    main->session().teams().entry(3, 15).name = "WWWWWWWWWWWW";
    BracketSheet* sheet = open(0);
    auto* left = Control<QLabel>(sheet, QStringLiteral("lblTeam116"));
    auto* right = Control<QLabel>(sheet, QStringLiteral("lblTeam315"));
    for (QLabel* label : {left, right})
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
            << label->objectName().toStdString();
    const int shift = gameCell(sheet, 1)->x() - 88;
    EXPECT_GT(shift, 0);
    EXPECT_EQ(left->x(), 8);
    EXPECT_EQ(gameCell(sheet, 1)->x(), left->geometry().right() + 1);  // the name ends where the cell begins
    EXPECT_EQ(right->x(), 706 + shift);
    EXPECT_EQ(Control<QWidget>(sheet, QStringLiteral("pnlName"))->x(), 272 + shift);
    EXPECT_EQ(Control<QLabel>(sheet, QStringLiteral("lblTeam101"))->geometry(), QRect(8, 8, 73, 14));  // a short name
}

TEST_F(SheetBuild, GameRecords)
{
    BracketSheet* sheet = open(0);
    for (int n = 1; n <= 63; ++n) {
        QLineEdit* cell = gameCell(sheet, n);
        ASSERT_NE(cell, nullptr) << n;
        EXPECT_TRUE(cell->property("tag").toInt() == n && cell->isReadOnly()) << n;
        const GamePair pair = n <= 32 ? firstRoundPair(n) : GamePair{}, teams = sheet->picks().teams(n);
        EXPECT_EQ((std::vector<int>{sheet->picks().pick(n), teams.a, teams.b}), (std::vector<int>{0, pair.a, pair.b}))
            << n;
    }
}

// How each mode starts: caption, name box, where the focus is, and whether closing would ask.
TEST_F(SheetBuild, ModesAsOpened)
{
    const std::tuple<int, bool, QStringList> cases[] = {
        // id, stored first, state
        {0, false, {"New Player Picks", "", "0", "0", "0", "0/0", "txtName"}},
        {ResultsId, false, {"Actual Results", "RESULTS", "0", "0", "1", "-1/-1", "g1"}},  // writing RESULTS is a change
        {ResultsId, true, {"Actual Results", "RESULTS", "0", "0", "0", "-1/-1", "g1"}},
        {7, true, {"Picks for Ann", "Ann", "0", "0", "0", "7/7", "txtName"}},
    };
    for (const auto& [id, stored, state] : cases) {
        main->session().players().clear();
        if (stored) store(id, id == ResultsId ? "RESULTS" : "Ann", favourites());
        BracketSheet* sheet = open(id);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(State(sheet), state);
        EXPECT_EQ(nameBox(sheet)->isEnabled(), id != ResultsId);
        EXPECT_EQ(cellTexts(sheet), textsOf(stored ? favourites() : PickArray{})) << state[0].toStdString();
        EXPECT_TRUE(sheet->parentWidget()->isMaximized());
        sheet->discardChanges();
        ::Find<QAction>(*main, "mnuClose")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(SheetBuild, StoredParticipantFillsEveryFeederSlot)
{
    store(77, "Alice \xE9", favourites());
    BracketSheet* first = open(0);
    focusCell(first, 3);  // another sheet working in a game must not wipe the opening's status line
    BracketSheet* sheet = open(77);
    EXPECT_EQ(status(), QStringLiteral("Opening picks for Alice \u00E9..."));
    const PickArray picks = favourites();
    for (int n = 1; n < 63; ++n) {  // each game's pick stands in its slot of the next game
        const NextGameInfo next = nextGame(n);
        const GamePair teams = sheet->picks().teams(next.game);
        EXPECT_EQ(next.slot == Slot::A ? teams.a : teams.b, picks[std::size_t(n)]) << n;
    }
    // Back in the first sheet one control is highlighted, the one with the focus.
    main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
    QCoreApplication::processEvents();
    ASSERT_TRUE(first->isAncestorOf(QApplication::focusWidget()));
    int highlighted = 0;
    for (int n = 1; n <= 63; ++n) highlighted += background(gameCell(first, n)) == Yellow ? 1 : 0;
    EXPECT_EQ(highlighted, 1);
    EXPECT_EQ(background(QApplication::focusWidget()), Yellow);
}

TEST_F(SheetBuild, MissingAndDamagedPicksShowEmptyGames)
{
    PickArray picks = favourites();
    picks[2] = 0;     // no pick
    picks[5] = 9999;  // no such team
    picks[6] = -3;
    store(5, "Bob", picks);
    BracketSheet* sheet = open(5);
    for (int n : {2, 5, 6}) EXPECT_TRUE(gameCell(sheet, n)->text().isEmpty() && sheet->picks().pick(n) == 0) << n;
    EXPECT_EQ((std::vector<int>{sheet->picks().teams(33).b, sheet->picks().teams(35).a, sheet->picks().teams(35).b}),
              (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(gameCell(sheet, 33)->text(), Text(101));  // later picks stay as stored
}

TEST_F(SheetBuild, UnknownParticipantIsReportedNotOpened)
{
    EXPECT_THROW(BracketSheet(main->session(), *main, 12345), std::exception);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the hourglass is gone after a failed build
}
