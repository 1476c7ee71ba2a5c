// Entering picks with the keyboard: highlight and hint, the three keys, the focus order.
#include <QApplication>
#include <QClipboard>

#include "sheet_fixture.h"

using SheetEntry = SheetTest;

TEST_F(SheetEntry, FocusHighlightsAndHintsTheGame)
{
    BracketSheet* sheet = open(0);
    // Where the focus goes, what is yellow afterwards and the hint it leaves.
    const std::vector<std::tuple<std::function<void()>, QWidget*, QString>> steps = {
        {[] {}, nameBox(sheet), QString()},  // the name box has no hint
        {[] { key(Qt::Key_Tab); }, tiebreakerBox(sheet), QString()},
        {[&] { focusCell(sheet, 1); }, gameCell(sheet, 1), hint(101, 116)},
        {[&] { focusCell(sheet, 33); }, gameCell(sheet, 33), hint(0, 0)},  // feeders without a pick: empty names
        {[&] { paidBox(sheet)->setFocus(Qt::TabFocusReason); }, nullptr, QString()},  // the paid box gets no colour
    };
    QList<QWidget*> colourable{nameBox(sheet), tiebreakerBox(sheet), paidBox(sheet)};
    for (int n = 1; n <= 63; ++n) colourable << gameCell(sheet, n);
    for (const auto& [move, yellow, hint] : steps) {
        move();
        QList<QWidget*> highlighted;
        for (QWidget* widget : colourable)
            if (background(widget) == Yellow) highlighted << widget;
        EXPECT_EQ(highlighted, yellow ? QList<QWidget*>{yellow} : QList<QWidget*>{}) << focusName().toStdString();
        EXPECT_EQ(status(), hint);
    }
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
    BracketSheet* sheet = open(0);
    focusCell(sheet, 2);
    key(c.key, c.modifiers);
    const bool acts = c.pick >= 0;
    const TeamCode pick = acts ? c.pick : 0;
    // Game 2 is even: its winner goes to slot B of game 33.
    const SheetPicks& picks = sheet->picks();
    EXPECT_EQ((std::vector<int>{picks.pick(2), picks.teams(33).a, picks.teams(33).b, sheet->sheetModified()}),
              (std::vector<int>{pick, 0, pick, acts}));
    EXPECT_EQ((QStringList{gameCell(sheet, 2)->text(), focusName(), status()}),
              (QStringList{Text(pick), acts ? "g3" : "g2", acts ? hint(105, 112) : hint(108, 109)}));
}

INSTANTIATE_TEST_SUITE_P(Keys, SheetKeys,
                         ::testing::Values(KeyCase{"Up", Qt::Key_Up, Qt::NoModifier, 108},
                                           KeyCase{"Down", Qt::Key_Down, Qt::NoModifier, 109},
                                           KeyCase{"Delete", Qt::Key_Delete, Qt::NoModifier, 0},
                                           KeyCase{"ShiftUp", Qt::Key_Up, Qt::ShiftModifier, 108},
                                           KeyCase{"CtrlDown", Qt::Key_Down, Qt::ControlModifier, 109},
                                           KeyCase{"Letter", Qt::Key_A, Qt::NoModifier, -1},
                                           KeyCase{"Left", Qt::Key_Left, Qt::NoModifier, -1},
                                           KeyCase{"Backspace", Qt::Key_Backspace, Qt::NoModifier, -1}),
                         [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(SheetEntry, ThePickHappensOnReleaseNotOnPress)
{
    BracketSheet* sheet = open(0);
    focusCell(sheet, 1);
    QTest::keyPress(gameCell(sheet, 1), Qt::Key_Down);
    EXPECT_EQ(sheet->picks().pick(1), 0);
    QTest::keyRelease(gameCell(sheet, 1), Qt::Key_Down);
    EXPECT_EQ((std::vector<int>{sheet->picks().pick(1), sheet->picks().teams(33).a}), (std::vector<int>{116, 116}));
    // A held key repeats its press, but acts once, when it is let go.
    QTest::keyPress(gameCell(sheet, 2), Qt::Key_Up);
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(gameCell(sheet, 2), &repeat);
    EXPECT_EQ(sheet->picks().pick(2), 0);
    QTest::keyRelease(gameCell(sheet, 2), Qt::Key_Up);
    EXPECT_EQ(sheet->picks().pick(2), 108);

    // In the name box the arrows are the edit's own.
    nameBox(sheet)->setFocus();
    type(QStringLiteral("Ann"));
    key(Qt::Key_Up);
    key(Qt::Key_Down);
    EXPECT_EQ((QStringList{nameBox(sheet)->text(), focusName()}), (QStringList{"Ann", "txtName"}));
    EXPECT_EQ(sheet->picks().pick(3), 0);
}

TEST_F(SheetEntry, AnUnmarkedReleaseFollowedByItsPressIsARepeat)
{
    // A held key as X11 delivers it when Qt misses the repeat mark: pairs of a release and a press
    // with one time each, then the release of letting go.
    BracketSheet* sheet = open(0);
    focusCell(sheet, 1);
    auto send = [](QEvent::Type type, Qt::Key key, ulong time) {
        QKeyEvent event(type, key, Qt::NoModifier);
        event.setTimestamp(time);
        QApplication::sendEvent(QApplication::focusWidget(), &event);
    };
    send(QEvent::KeyPress, Qt::Key_Up, 1000);
    for (ulong time : {1250, 1283, 1316}) {
        send(QEvent::KeyRelease, Qt::Key_Up, time);
        send(QEvent::KeyPress, Qt::Key_Up, time);
    }
    send(QEvent::KeyRelease, Qt::Key_Up, 1400);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet->picks().pick(1) == 101; }));
    PickArray picks{};
    picks[1] = 101;
    EXPECT_EQ(picksOf(sheet), picks);
    EXPECT_EQ(focusName(), QStringLiteral("g2"));

    // A release still waiting for its pair acts before the next key, however soon that comes.
    send(QEvent::KeyPress, Qt::Key_Down, 2000);
    send(QEvent::KeyRelease, Qt::Key_Down, 2090);
    key(Qt::Key_Tab);
    EXPECT_EQ((std::vector<int>{sheet->picks().pick(2), sheet->picks().teams(33).b}), (std::vector<int>{109, 109}));
    EXPECT_EQ(focusName(), QStringLiteral("g4"));
}

TEST_F(SheetEntry, UpInGameThirtyThreeBeforeItsFeedersClearsIt)
{
    PickArray picks{};
    picks[33] = 101;  // stored without the games that feed it
    store(9, "Cy", picks);
    BracketSheet* sheet = open(9);
    EXPECT_EQ(gameCell(sheet, 33)->text(), Text(101));
    focusCell(sheet, 33);
    key(Qt::Key_Up);
    EXPECT_EQ((std::vector<int>{sheet->picks().pick(33), sheet->picks().teams(49).a, sheet->sheetModified()}),
              (std::vector<int>{0, 0, 1}));
    EXPECT_EQ((QStringList{gameCell(sheet, 33)->text(), focusName()}), (QStringList{"", "g34"}));
}

TEST_F(SheetEntry, FocusOrderRunsThroughThePanelAndTheGamesAndWraps)
{
    BracketSheet* sheet = open(0);
    auto visit = [](std::initializer_list<Qt::Key> keys) {
        QStringList seen;
        for (Qt::Key k : keys) {
            key(k, k == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            seen << focusName();
        }
        return seen;
    };
    EXPECT_EQ(visit({Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab}), (QStringList{"txtTiebreaker", "chkPaid", "g1"}));
    focusCell(sheet, 63);
    EXPECT_EQ(visit({Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Backtab}), (QStringList{"txtName", "g63", "g62"}));
    EXPECT_FALSE(sheet->sheetModified());  // moving about changes nothing
    EXPECT_EQ(picksOf(sheet), PickArray{});

    // A pick in g63 also goes round to the panel; the results sheet skips its disabled name box.
    pickAll(sheet);
    EXPECT_EQ(picksOf(sheet), favourites());
    EXPECT_EQ(focusName(), QStringLiteral("txtName"));
    focusCell(open(ResultsId), 63);
    EXPECT_EQ(visit({Qt::Key_Up, Qt::Key_Backtab}), (QStringList{"txtTiebreaker", "g63"}));
}

TEST_F(SheetEntry, NameTiebreakerAndPaidMarkTheSheetAndKeepTheirWidth)
{
    BracketSheet* sheet = open(0);
    std::vector<int> marked;
    auto step = [&](const std::function<void()>& change) {
        sheet->discardChanges();
        change();
        marked.push_back(sheet->sheetModified());
    };
    step([] { type(QStringLiteral("Abcdefghijklmnopqrstuvwxyz0123")); });
    step([] { key(Qt::Key_Tab), key(Qt::Key_Backspace); });
    step([] { type(QStringLiteral("about 150 points")); });
    step([&] { QTest::mouseClick(paidBox(sheet), Qt::LeftButton, {}, paidBox(sheet)->rect().center()); });
    EXPECT_EQ(marked, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ((QStringList{nameBox(sheet)->text(), tiebreakerBox(sheet)->text()}),
              (QStringList{"Abcdefghijklmnopqrstuvwxy", "about 150 po"}));
    EXPECT_TRUE(paidBox(sheet)->isChecked());

    // A pasted cell brings its tab and line end; the boxes hold one line.
    for (QLineEdit* box : {nameBox(sheet), tiebreakerBox(sheet)}) {
        box->clear();
        QApplication::clipboard()->setText(QStringLiteral("Bob\tSm\r\nith\r\n"));
        box->paste();
        EXPECT_EQ(box->text(), "Bob Sm ith");
    }
}
