// Building a bracket sheet: the paper layout, and how each of the three modes is filled.
#include <QCheckBox>
#include <QFrame>
#include <QRegularExpression>

#include "sheet_fixture.h"

namespace {
QLabel* TeamLabel(TmdiBrackets* sheet, TeamCode code)
{
    for (QLabel* label : sheet->findChildren<QLabel*>())
        if (label->property("tag").toInt() == code) return label;
    return nullptr;
}
}  // namespace

using SheetBuild = SheetTest;

TEST_F(SheetBuild, TeamLabelsShowSeedAndNameInBracketOrder)
{
    TeamEntry(2, 5).name = "";  // a team without a name shows only its seed
    TmdiBrackets* sheet = Open(0);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(TeamLabel(sheet, 112)->text(), QStringLiteral("12) T112"));
    EXPECT_EQ(TeamLabel(sheet, 416)->text(), QStringLiteral("16) T416"));
    EXPECT_EQ(TeamLabel(sheet, 205)->text(), QStringLiteral("5) "));

    // Down each side the labels run in the fixed seed order, one region below the other.
    const int order[16] = {1, 16, 8, 9, 5, 12, 4, 13, 6, 11, 3, 14, 7, 10, 2, 15};
    for (int r = 1; r <= 4; ++r) {
        int lastTop = -1;
        for (int seed : order) {
            QLabel* label = TeamLabel(sheet, r * 100 + seed);
            ASSERT_NE(label, nullptr) << r * 100 + seed;
            EXPECT_GT(label->y(), lastTop) << r * 100 + seed;
            EXPECT_EQ(label->x(), r <= 2 ? 8 : 706);
            EXPECT_EQ(label->size(), QSize(73, 14));
            lastTop = label->y();
        }
    }
    EXPECT_LT(TeamLabel(sheet, 115)->y(), TeamLabel(sheet, 201)->y());
    EXPECT_LT(TeamLabel(sheet, 315)->y(), TeamLabel(sheet, 401)->y());
}

TEST_F(SheetBuild, EachFirstRoundCellStandsBetweenItsTwoTeamsOnTheInnerSide)
{
    TmdiBrackets* sheet = Open(0);
    for (int n = 1; n <= 32; ++n) {
        const GamePair pair = FirstRoundPair(n);
        const QRect a = TeamLabel(sheet, pair.a)->geometry();
        const QRect b = TeamLabel(sheet, pair.b)->geometry();
        const QRect cell = sheet->Cell(n)->geometry();
        EXPECT_LT(a.top(), b.top()) << "game " << n;  // slot A is the upper team
        EXPECT_GT(cell.center().y(), a.top()) << "game " << n;
        EXPECT_LT(cell.center().y(), b.bottom()) << "game " << n;
        if (n <= 16)
            EXPECT_GE(cell.left(), a.right()) << "game " << n;
        else
            EXPECT_LE(cell.right(), a.left()) << "game " << n;
    }
}

TEST_F(SheetBuild, LaterGamesMoveInwardRoundByRound)
{
    TmdiBrackets* sheet = Open(0);
    for (int n = 1; n <= 62; ++n) {
        const int next = NextGame(n).game;
        const QRect from = sheet->Cell(n)->geometry();
        const QRect to = sheet->Cell(next)->geometry();
        const int middle = 400;
        EXPECT_LT(std::abs(to.center().x() - middle), std::abs(from.center().x() - middle)) << n << " -> " << next;
    }
    EXPECT_EQ(sheet->Cell(63)->geometry(), QRect(352, 395, 81, 17));
}

TEST_F(SheetBuild, SixtyThreeReadOnlyCellsNamedAndTaggedByGame)
{
    TmdiBrackets* sheet = Open(0);
    const auto cells = sheet->findChildren<QLineEdit*>(QRegularExpression(QStringLiteral("^g\\d+$")));
    EXPECT_EQ(cells.size(), 63);
    for (int n = 1; n <= 63; ++n) {
        QLineEdit* cell = sheet->Cell(n);
        ASSERT_NE(cell, nullptr) << n;
        EXPECT_EQ(cell->objectName(), QStringLiteral("g%1").arg(n));
        EXPECT_EQ(cell->property("tag").toInt(), n);
        EXPECT_TRUE(cell->isReadOnly());
        EXPECT_TRUE(cell->text().isEmpty());
        EXPECT_EQ(cell->size(), QSize(81, 17));
        const TmdiBrackets::GameRecord& game = sheet->Game(n);
        EXPECT_EQ(game.pick, 0);
        EXPECT_EQ(game.nextGame, n == 63 ? 0 : 33 + (n - 1) / 2);
        if (n <= 32) {
            EXPECT_EQ(game.slotA, FirstRoundPair(n).a);
            EXPECT_EQ(game.slotB, FirstRoundPair(n).b);
        } else {
            EXPECT_EQ(game.slotA, 0);
            EXPECT_EQ(game.slotB, 0);
        }
    }
    EXPECT_EQ(sheet->Cell(0), nullptr);
    EXPECT_EQ(sheet->Cell(64), nullptr);
}

TEST_F(SheetBuild, PanelRegionsNotesAndLines)
{
    TmdiBrackets* sheet = Open(0);
    EXPECT_EQ(sheet->lblRegion1->text(), QStringLiteral("East"));
    EXPECT_EQ(sheet->lblRegion2->text(), QStringLiteral("West"));
    EXPECT_EQ(sheet->lblRegion3->text(), QStringLiteral("South"));
    EXPECT_EQ(sheet->lblRegion4->text(), QStringLiteral("Midwest"));
    EXPECT_TRUE(sheet->lblRegion1->font().bold());
    EXPECT_TRUE(sheet->lblRegion1->font().italic());

    EXPECT_EQ(sheet->txtName->maxLength(), 25);
    EXPECT_EQ(sheet->txtTiebreaker->maxLength(), 12);
    EXPECT_EQ(sheet->txtTiebreaker->text(), QStringLiteral("0"));
    EXPECT_EQ(sheet->chkPaid->text(), QStringLiteral("Paid?"));
    EXPECT_EQ(sheet->chkPaid->layoutDirection(), Qt::RightToLeft);
    EXPECT_FALSE(sheet->chkPaid->isChecked());
    EXPECT_EQ(sheet->txtName->palette().color(QPalette::Text), QColor(Qt::red));

    auto* champion = sheet->findChild<QLabel*>(QStringLiteral("lblChampion"));
    ASSERT_NE(champion, nullptr);
    EXPECT_EQ(champion->text(), QStringLiteral("Champion:"));
    EXPECT_LT(champion->geometry().bottom(), sheet->Cell(63)->geometry().top());
    EXPECT_EQ(sheet->lblDir->text(),
              QStringLiteral("[Up] arrow for upper team, [Down] arrow for lower team, [Delete] to clear current game."));
    auto* tabNote = sheet->findChild<QLabel*>(QStringLiteral("lblTab"));
    ASSERT_NE(tabNote, nullptr);
    EXPECT_EQ(tabNote->text(), QStringLiteral("[Tab] for next game, [Shift]+[Tab] for previous game"));
    for (QLabel* note : {sheet->lblDir, tabNote}) {
        EXPECT_EQ(note->palette().color(QPalette::WindowText), QColor(Qt::red));
        EXPECT_TRUE(note->wordWrap());
    }

    int vertical = 0;
    int horizontal = 0;
    for (QFrame* frame : sheet->findChildren<QFrame*>()) {
        if (frame->frameShape() == QFrame::VLine) ++vertical;
        if (frame->frameShape() == QFrame::HLine) ++horizontal;
    }
    EXPECT_EQ(vertical, 13);
    EXPECT_EQ(horizontal, 1);
}

TEST_F(SheetBuild, TeamAndRegionNamesAreShownAsPlainText)
{
    TeamEntry(1, 1).name = "<b>A&M</b>";
    SaveRegions(dir.path(), {"<i>East</i>", "", "South", "Midwest"});
    TmdiBrackets* sheet = Open(0);
    EXPECT_EQ(TeamLabel(sheet, 101)->textFormat(), Qt::PlainText);
    EXPECT_EQ(TeamLabel(sheet, 101)->text(), QStringLiteral("1) <b>A&M</b>"));
    EXPECT_EQ(sheet->lblRegion1->textFormat(), Qt::PlainText);
    EXPECT_EQ(sheet->lblRegion2->text(), QString());
}

TEST_F(SheetBuild, NewParticipantSheet)
{
    TmdiBrackets* sheet = Open(0);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("New Player Picks"));
    EXPECT_EQ(sheet->PlayerId, 0);
    EXPECT_EQ(sheet->Tag(), 0);
    EXPECT_EQ(sheet->SheetModified, 0);
    EXPECT_TRUE(sheet->txtName->isEnabled());
    EXPECT_TRUE(sheet->txtName->text().isEmpty());
    EXPECT_EQ(FocusName(), QStringLiteral("txtName"));
    EXPECT_TRUE(sheet->parentWidget()->isMaximized());

    // A second New Player is a second window.
    TmdiBrackets* other = Open(0);
    EXPECT_NE(other, sheet);
    EXPECT_EQ(main->ChildWindows().size(), 2);
}

TEST_F(SheetBuild, ResultsSheetBeforeAnyResults)
{
    TmdiBrackets* sheet = Open(ResultsId);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Actual Results"));
    EXPECT_EQ(sheet->PlayerId, ResultsId);
    EXPECT_EQ(sheet->Tag(), ResultsId);
    EXPECT_EQ(sheet->txtName->text(), QStringLiteral("RESULTS"));
    EXPECT_FALSE(sheet->txtName->isEnabled());
    for (int n = 1; n <= 63; ++n) EXPECT_TRUE(sheet->Cell(n)->text().isEmpty()) << n;
    EXPECT_EQ(FocusName(), QStringLiteral("g1"));
    EXPECT_EQ(sheet->SheetModified, 1);  // writing RESULTS into the name box counts as a change
}

TEST_F(SheetBuild, StoredResultsAreShown)
{
    Store(ResultsId, "RESULTS", Favourites());
    TmdiBrackets* sheet = Open(ResultsId);
    EXPECT_EQ(sheet->Cell(63)->text(), Text(101));
    EXPECT_EQ(sheet->SheetModified, 0);
    EXPECT_EQ(FocusName(), QStringLiteral("g1"));
}

TEST_F(SheetBuild, StoredParticipantIsShownWithEveryFeederSlot)
{
    Store(77, "Alice \xE9", Favourites(), "145 pts", 1);
    TmdiBrackets* sheet = Open(77);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Picks for Alice \u00E9"));
    EXPECT_EQ(Status(), QStringLiteral("Opening picks for Alice \u00E9..."));
    EXPECT_EQ(sheet->txtName->text(), QStringLiteral("Alice \u00E9"));
    EXPECT_EQ(sheet->txtTiebreaker->text(), QStringLiteral("145 pts"));
    EXPECT_TRUE(sheet->chkPaid->isChecked());
    EXPECT_EQ(sheet->PlayerId, 77);
    EXPECT_EQ(sheet->Tag(), 77);
    EXPECT_EQ(sheet->SheetModified, 0);
    EXPECT_EQ(FocusName(), QStringLiteral("txtName"));
    const PickArray picks = Favourites();
    for (int n = 1; n <= 63; ++n) {
        EXPECT_EQ(sheet->Cell(n)->text(), Text(picks[std::size_t(n)])) << n;
        EXPECT_EQ(sheet->Game(n).pick, picks[std::size_t(n)]);
    }
    for (int n = 33; n <= 63; ++n) {
        EXPECT_EQ(sheet->Game(n).slotA, picks[std::size_t(2 * n - 65)]) << n;
        EXPECT_EQ(sheet->Game(n).slotB, picks[std::size_t(2 * n - 64)]) << n;
    }

    // Opening the same participant again brings the first sheet forward.
    Open(0);
    EXPECT_EQ(Open(77), sheet);
    EXPECT_EQ(main->ChildWindows().size(), 2);
}

TEST_F(SheetBuild, MissingAndDamagedPicksShowEmptyGames)
{
    PickArray picks = Favourites();
    picks[2] = 0;      // no pick
    picks[5] = 9999;   // no such team
    picks[6] = -3;
    Store(5, "Bob", picks);
    TmdiBrackets* sheet = Open(5);
    for (int n : {2, 5, 6}) {
        EXPECT_TRUE(sheet->Cell(n)->text().isEmpty()) << n;
        EXPECT_EQ(sheet->Game(n).pick, 0) << n;
    }
    EXPECT_EQ(sheet->Game(33).slotB, 0);
    EXPECT_EQ(sheet->Game(35).slotA, 0);
    EXPECT_EQ(sheet->Game(35).slotB, 0);
    EXPECT_EQ(sheet->Cell(33)->text(), Text(101));  // later picks stay as stored
}

TEST_F(SheetBuild, UnknownParticipantIsReportedNotOpened)
{
    EXPECT_THROW(TmdiBrackets(*main, 12345), std::exception);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the hourglass is gone after a failed build
}
