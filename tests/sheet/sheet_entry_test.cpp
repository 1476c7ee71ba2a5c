// Entering picks with the keyboard: highlight and hint, the three keys, the focus order.
#include <QCheckBox>

#include "sheet_fixture.h"

using SheetEntry = SheetTest;

namespace {
QColor Background(QWidget* widget) { return widget->palette().color(QPalette::Base); }
const QColor Yellow(255, 255, 0);
}  // namespace

TEST_F(SheetEntry, FocusHighlightsAndHintsTheGame)
{
    TmdiBrackets* sheet = Open(0);
    EXPECT_EQ(Background(sheet->txtName), Yellow);
    EXPECT_EQ(Status(), QString());  // the name box has no hint

    FocusCell(sheet, 1);
    EXPECT_EQ(Background(sheet->Cell(1)), Yellow);
    EXPECT_NE(Background(sheet->txtName), Yellow);
    EXPECT_EQ(Status(), QStringLiteral("Up arrow for T101 or Down arrow for T116"));

    Key(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), QStringLiteral("g2"));
    EXPECT_NE(Background(sheet->Cell(1)), Yellow);
    EXPECT_EQ(Background(sheet->Cell(2)), Yellow);
    EXPECT_EQ(Status(), QStringLiteral("Up arrow for T108 or Down arrow for T109"));

    // A game whose feeders have no pick yet hints at empty names.
    FocusCell(sheet, 33);
    EXPECT_EQ(Status(), QStringLiteral("Up arrow for  or Down arrow for "));

    // The paid box gets no colour, and leaving a cell empties the hint.
    sheet->chkPaid->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(Status(), QString());
    EXPECT_NE(sheet->chkPaid->palette().color(QPalette::Base), Yellow);
    sheet->txtTiebreaker->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(Background(sheet->txtTiebreaker), Yellow);
}

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    TeamCode pick;  // of game 2 (108 against 109), -1 = the key does nothing
};

class SheetKeys : public SheetTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(SheetKeys, KeyInGameTwo)
{
    const KeyCase& c = GetParam();
    TmdiBrackets* sheet = Open(0);
    FocusCell(sheet, 2);
    Key(c.key, c.modifiers);
    if (c.pick < 0) {
        EXPECT_EQ(FocusName(), QStringLiteral("g2"));
        EXPECT_TRUE(sheet->Cell(2)->text().isEmpty());
        EXPECT_EQ(sheet->Game(2).pick, 0);
        EXPECT_EQ(sheet->SheetModified, 0);
        return;
    }
    EXPECT_EQ(sheet->Game(2).pick, c.pick);
    EXPECT_EQ(sheet->Cell(2)->text(), c.pick ? Text(c.pick) : QString());
    EXPECT_EQ(sheet->Game(33).slotB, c.pick);  // game 2 is even: slot B of game 33
    EXPECT_EQ(sheet->Game(33).slotA, 0);
    EXPECT_EQ(FocusName(), QStringLiteral("g3"));
    EXPECT_EQ(Status(), QStringLiteral("Up arrow for T105 or Down arrow for T112"));
    EXPECT_EQ(sheet->SheetModified, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SheetKeys,
    ::testing::Values(KeyCase{"Up", Qt::Key_Up, Qt::NoModifier, 108}, KeyCase{"Down", Qt::Key_Down, Qt::NoModifier, 109},
                      KeyCase{"Delete", Qt::Key_Delete, Qt::NoModifier, 0},
                      KeyCase{"ShiftUp", Qt::Key_Up, Qt::ShiftModifier, 108},
                      KeyCase{"CtrlDown", Qt::Key_Down, Qt::ControlModifier, 109},
                      KeyCase{"Letter", Qt::Key_A, Qt::NoModifier, -1}, KeyCase{"Left", Qt::Key_Left, Qt::NoModifier, -1},
                      KeyCase{"Space", Qt::Key_Space, Qt::NoModifier, -1},
                      KeyCase{"Backspace", Qt::Key_Backspace, Qt::NoModifier, -1},
                      KeyCase{"Shift", Qt::Key_Shift, Qt::NoModifier, -1}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(SheetEntry, ThePickHappensOnReleaseNotOnPress)
{
    TmdiBrackets* sheet = Open(0);
    FocusCell(sheet, 1);
    QTest::keyPress(sheet->Cell(1), Qt::Key_Down);
    EXPECT_EQ(sheet->Game(1).pick, 0);
    EXPECT_EQ(FocusName(), QStringLiteral("g1"));
    QTest::keyRelease(sheet->Cell(1), Qt::Key_Down);
    EXPECT_EQ(sheet->Game(1).pick, 116);
    EXPECT_EQ(sheet->Game(33).slotA, 116);
    EXPECT_EQ(FocusName(), QStringLiteral("g2"));

    // A held key repeats its press, but acts once, when it is let go.
    QTest::keyPress(sheet->Cell(2), Qt::Key_Up);
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(sheet->Cell(2), &repeat);
    EXPECT_EQ(sheet->Game(2).pick, 0);
    QTest::keyRelease(sheet->Cell(2), Qt::Key_Up);
    EXPECT_EQ(sheet->Game(2).pick, 108);
}

TEST_F(SheetEntry, ArrowsDoNothingInTheNameBoxes)
{
    TmdiBrackets* sheet = Open(0);
    Type(QStringLiteral("Ann"));
    Key(Qt::Key_Up);
    Key(Qt::Key_Down);
    EXPECT_EQ(FocusName(), QStringLiteral("txtName"));
    EXPECT_EQ(sheet->txtName->text(), QStringLiteral("Ann"));
    for (int n = 1; n <= 63; ++n) EXPECT_EQ(sheet->Game(n).pick, 0);
}

TEST_F(SheetEntry, ChangingAPickMovesItIntoTheNextSlotOnly)
{
    TmdiBrackets* sheet = Open(0);
    PickAll(sheet, AllUp());
    EXPECT_EQ(sheet->Game(1).pick, 101);
    EXPECT_EQ(sheet->Game(33).pick, 101);
    EXPECT_EQ(sheet->Game(49).pick, 101);
    EXPECT_EQ(sheet->Cell(63)->text(), Text(101));

    FocusCell(sheet, 1);
    Key(Qt::Key_Down);
    EXPECT_EQ(sheet->Game(1).pick, 116);
    EXPECT_EQ(sheet->Game(33).slotA, 116);
    EXPECT_EQ(sheet->Game(33).pick, 101);  // later picks stay as they were, and keep showing
    EXPECT_EQ(sheet->Cell(33)->text(), Text(101));
    EXPECT_EQ(sheet->Game(49).slotA, 101);
    EXPECT_EQ(sheet->Game(49).pick, 101);
}

TEST_F(SheetEntry, UpInGameThirtyThreeBeforeItsFeedersClearsIt)
{
    PickArray picks{};
    picks[33] = 101;  // stored without the games that feed it
    Store(9, "Cy", picks);
    TmdiBrackets* sheet = Open(9);
    EXPECT_EQ(sheet->Cell(33)->text(), Text(101));
    FocusCell(sheet, 33);
    Key(Qt::Key_Up);
    EXPECT_EQ(sheet->Game(33).pick, 0);
    EXPECT_TRUE(sheet->Cell(33)->text().isEmpty());
    EXPECT_EQ(sheet->Game(49).slotA, 0);
    EXPECT_EQ(FocusName(), QStringLiteral("g34"));
    EXPECT_EQ(sheet->SheetModified, 1);
}

TEST_F(SheetEntry, TheChampionshipPassesNothingOn)
{
    TmdiBrackets* sheet = Open(0);
    PickAll(sheet, AllUp());
    for (int n = 1; n <= 63; ++n) EXPECT_NE(sheet->Game(n).pick, 0) << n;
    EXPECT_EQ(sheet->Game(63).pick, 101);
    EXPECT_EQ(FocusName(), QStringLiteral("txtName"));  // after g63 round to the panel
}

TEST_F(SheetEntry, TabOrderRunsThroughThePanelAndTheGamesAndWraps)
{
    TmdiBrackets* sheet = Open(0);
    EXPECT_EQ(FocusName(), QStringLiteral("txtName"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), QStringLiteral("txtTiebreaker"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), QStringLiteral("chkPaid"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), QStringLiteral("g1"));
    FocusCell(sheet, 63);
    Key(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), QStringLiteral("txtName"));
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(FocusName(), QStringLiteral("g63"));
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(FocusName(), QStringLiteral("g62"));
    EXPECT_EQ(sheet->SheetModified, 0);  // moving about changes nothing
    for (int n = 1; n <= 63; ++n) EXPECT_EQ(sheet->Game(n).pick, 0);
}

TEST_F(SheetEntry, ResultsSheetSkipsItsDisabledNameBox)
{
    TmdiBrackets* sheet = Open(ResultsId);
    FocusCell(sheet, 63);
    Key(Qt::Key_Up);
    EXPECT_EQ(FocusName(), QStringLiteral("txtTiebreaker"));
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(FocusName(), QStringLiteral("g63"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), QStringLiteral("txtTiebreaker"));
}

TEST_F(SheetEntry, ChangesOfNameTiebreakerAndPaidMarkTheSheet)
{
    TmdiBrackets* sheet = Open(0);
    Type(QStringLiteral("A"));
    EXPECT_EQ(sheet->SheetModified, 1);
    sheet->SheetModified = 0;
    Key(Qt::Key_Tab);
    Type(QStringLiteral("7"));
    EXPECT_EQ(sheet->SheetModified, 1);
    sheet->SheetModified = 0;
    QTest::mouseClick(sheet->chkPaid, Qt::LeftButton, {}, sheet->chkPaid->rect().center());
    EXPECT_TRUE(sheet->chkPaid->isChecked());
    EXPECT_EQ(sheet->SheetModified, 1);
}

TEST_F(SheetEntry, NameAndTiebreakerCannotBeTypedPastTheirWidth)
{
    TmdiBrackets* sheet = Open(0);
    Type(QStringLiteral("Abcdefghijklmnopqrstuvwxyz0123"));
    EXPECT_EQ(sheet->txtName->text(), QStringLiteral("Abcdefghijklmnopqrstuvwxy"));
    Key(Qt::Key_Tab);
    Key(Qt::Key_Backspace);
    Type(QStringLiteral("about 150 points"));
    EXPECT_EQ(sheet->txtTiebreaker->text(), QStringLiteral("about 150 po"));
}
