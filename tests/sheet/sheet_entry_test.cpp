// Entering picks with the keyboard: highlight and hint, the three keys, the focus order.
#include "sheet_fixture.h"

using SheetEntry = SheetTest;

TEST_F(SheetEntry, FocusHighlightsAndHintsTheGame)
{
    TmdiBrackets* sheet = Open(0);
    EXPECT_EQ(Background(sheet->txtName), Yellow);
    EXPECT_EQ(Status(), QString());  // the name box has no hint
    Key(Qt::Key_Tab);
    EXPECT_EQ(Background(sheet->txtTiebreaker), Yellow);
    EXPECT_NE(Background(sheet->txtName), Yellow);

    FocusCell(sheet, 1);
    EXPECT_EQ(Background(sheet->Cell(1)), Yellow);
    EXPECT_EQ(Status(), Hint(101, 116));
    Key(Qt::Key_Tab);
    EXPECT_NE(Background(sheet->Cell(1)), Yellow);
    EXPECT_EQ(Background(sheet->Cell(2)), Yellow);
    EXPECT_EQ(Status(), Hint(108, 109));
    FocusCell(sheet, 33);  // feeders without a pick hint at empty names
    EXPECT_EQ(Status(), QStringLiteral("Up arrow for  or Down arrow for "));

    // The paid box gets no colour, and leaving a cell empties the hint.
    sheet->chkPaid->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(Status(), QString());
    EXPECT_NE(Background(sheet->Cell(33)), Yellow);
    EXPECT_NE(sheet->chkPaid->palette().color(QPalette::Base), Yellow);
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
    const bool acts = c.pick >= 0;
    EXPECT_EQ(sheet->Game(2).pick, acts ? c.pick : 0);
    EXPECT_EQ(sheet->Cell(2)->text(), acts ? Text(c.pick) : QString());
    EXPECT_EQ(sheet->Game(33).slotB, acts ? c.pick : 0);  // game 2 is even: slot B of game 33
    EXPECT_EQ(sheet->Game(33).slotA, 0);
    EXPECT_EQ(FocusName(), acts ? QStringLiteral("g3") : QStringLiteral("g2"));
    EXPECT_EQ(Status(), acts ? Hint(105, 112) : Hint(108, 109));
    EXPECT_EQ(sheet->SheetModified, acts ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SheetKeys,
    ::testing::Values(KeyCase{"Up", Qt::Key_Up, Qt::NoModifier, 108}, KeyCase{"Down", Qt::Key_Down, Qt::NoModifier, 109},
                      KeyCase{"Delete", Qt::Key_Delete, Qt::NoModifier, 0},
                      KeyCase{"ShiftUp", Qt::Key_Up, Qt::ShiftModifier, 108},
                      KeyCase{"CtrlDown", Qt::Key_Down, Qt::ControlModifier, 109},
                      KeyCase{"Letter", Qt::Key_A, Qt::NoModifier, -1}, KeyCase{"Left", Qt::Key_Left, Qt::NoModifier, -1},
                      KeyCase{"Space", Qt::Key_Space, Qt::NoModifier, -1},
                      KeyCase{"Backspace", Qt::Key_Backspace, Qt::NoModifier, -1}),
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

    // In the name box the arrows are the edit's own.
    sheet->txtName->setFocus();
    Type(QStringLiteral("Ann"));
    Key(Qt::Key_Up);
    Key(Qt::Key_Down);
    EXPECT_EQ(FocusName(), QStringLiteral("txtName"));
    EXPECT_EQ(sheet->txtName->text(), QStringLiteral("Ann"));
    EXPECT_EQ(sheet->Game(3).pick, 0);
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

TEST_F(SheetEntry, FocusOrderRunsThroughThePanelAndTheGamesAndWraps)
{
    TmdiBrackets* sheet = Open(0);
    for (const char* next : {"txtTiebreaker", "chkPaid", "g1"}) {
        Key(Qt::Key_Tab);
        EXPECT_EQ(FocusName(), QLatin1String(next));
    }
    FocusCell(sheet, 63);
    Key(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), QStringLiteral("txtName"));
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(FocusName(), QStringLiteral("g63"));
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(FocusName(), QStringLiteral("g62"));
    EXPECT_EQ(sheet->SheetModified, 0);  // moving about changes nothing
    EXPECT_EQ(PicksOf(sheet), PickArray{});

    // A pick in g63 also goes round to the panel; the results sheet skips its disabled name box.
    PickAll(sheet);
    EXPECT_EQ(PicksOf(sheet), Favourites());
    EXPECT_EQ(FocusName(), QStringLiteral("txtName"));
    TmdiBrackets* results = Open(ResultsId);
    FocusCell(results, 63);
    Key(Qt::Key_Up);
    EXPECT_EQ(FocusName(), QStringLiteral("txtTiebreaker"));
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(FocusName(), QStringLiteral("g63"));
}

TEST_F(SheetEntry, NameTiebreakerAndPaidMarkTheSheetAndKeepTheirWidth)
{
    TmdiBrackets* sheet = Open(0);
    Type(QStringLiteral("Abcdefghijklmnopqrstuvwxyz0123"));
    EXPECT_EQ(sheet->txtName->text(), QStringLiteral("Abcdefghijklmnopqrstuvwxy"));
    EXPECT_EQ(sheet->SheetModified, 1);
    sheet->SheetModified = 0;
    Key(Qt::Key_Tab);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(sheet->SheetModified, 1);
    Type(QStringLiteral("about 150 points"));
    EXPECT_EQ(sheet->txtTiebreaker->text(), QStringLiteral("about 150 po"));
    sheet->SheetModified = 0;
    QTest::mouseClick(sheet->chkPaid, Qt::LeftButton, {}, sheet->chkPaid->rect().center());
    EXPECT_TRUE(sheet->chkPaid->isChecked());
    EXPECT_EQ(sheet->SheetModified, 1);
}
