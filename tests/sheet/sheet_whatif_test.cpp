// The What If sheet: the real results, winners chosen for the games still open, never stored.
#include <QPushButton>

#include "core/pool/journal.h"
#include "sheet_fixture.h"

namespace {
class SheetWhatIf : public SheetTest {
protected:
    // The results with the first four rounds played (games 1 to 48), the upper teams winning.
    PickArray real = [] {
        PickArray picks = favourites();
        for (int n = 49; n <= GameCount; ++n) picks[std::size_t(n)] = 0;
        return picks;
    }();

    BracketSheet* openWhatIf()
    {
        ::Find<QAction>(*main, "mnuWhatIf")->trigger();
        QCoreApplication::processEvents();
        return qobject_cast<BracketSheet*>(main->activeChild());
    }
    static TeamCode pick(BracketSheet* sheet, int n) { return sheet->picks().pick(n); }
};

TEST_F(SheetWhatIf, ShowsTheResultsAndChoosesWinnersOfOpenGamesOnly)
{
    store(ResultsId, ResultsName, real).tiebreaker = "141";
    store(Frame::WhatIfId, "Odd", {});  // a damaged file may hold any id
    BracketSheet* sheet = openWhatIf();
    ASSERT_TRUE(sheet && sheet->isWhatIf());
    EXPECT_EQ(State(sheet), (QStringList{"What If", "WHAT IF", "141", "0", "0", "-3/-3", "g49"}));
    EXPECT_EQ(cellTexts(sheet), textsOf(real));
    EXPECT_FALSE(nameBox(sheet)->isEnabled() || tiebreakerBox(sheet)->isEnabled() || paidBox(sheet)->isEnabled());
    EXPECT_FALSE(::Find<QAction>(*main, "mnuSavePicks")->isEnabled());
    EXPECT_FALSE(::Find<QAction>(*main, "btnSaveAction")->isVisible());
    EXPECT_TRUE(::Find<QAction>(*main, "mnuPlayerPrintPicks")->isEnabled());

    // The keys choose as on any sheet, passing each winner on.
    const GamePair g49 = sheet->picks().teams(49);
    key(Qt::Key_Up);
    EXPECT_EQ(focusName(), "g50");
    key(Qt::Key_Down);
    EXPECT_EQ(status(), hint(real[37], real[38]));  // g51's teams
    focusCell(sheet, 57);
    key(Qt::Key_Up);
    EXPECT_EQ((std::vector{pick(sheet, 49), pick(sheet, 50), pick(sheet, 57)}), (std::vector{g49.a, real[36], g49.a}));
    EXPECT_EQ(sheet->whatIf().decided, 3);

    // A winner no longer in its game goes, so the what-if stays a possible tournament.
    focusCell(sheet, 49);
    key(Qt::Key_Down);
    EXPECT_EQ(sheet->picks().teams(57).a, g49.b);
    EXPECT_EQ(pick(sheet, 57), 0);
    EXPECT_EQ(gameCell(sheet, 57)->text(), "");
    EXPECT_EQ(sheet->whatIf().decided, 2);
    key(Qt::Key_Delete);  // in g50
    EXPECT_EQ(sheet->whatIf().decided, 1);

    // Played games take no focus and no key: Shift+Tab from g49 wraps round to g63.
    focusCell(sheet, 49);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(focusName(), "g63");
    const PickArray before = picksOf(sheet);
    QTest::keyClick(gameCell(sheet, 1), Qt::Key_Down);
    EXPECT_EQ(testPrompts().beeps, 1);
    EXPECT_EQ(picksOf(sheet), before);
    EXPECT_EQ(gameCell(sheet, 1)->text(), Text(real[1]));

    // A second command brings the same sheet forward. A participant with the What If sheet's
    // id has a sheet of its own.
    EXPECT_EQ(main->findSheetWindow(Frame::WhatIfId), -1);
    BracketSheet* odd = open(Frame::WhatIfId);
    EXPECT_EQ(odd->windowTitle(), "Picks for Odd");
    EXPECT_EQ(main->findSheetWindow(Frame::WhatIfId), 1);
    EXPECT_EQ(openWhatIf(), sheet);
    EXPECT_EQ(open(Frame::WhatIfId), odd);
    EXPECT_EQ(main->childWindows().size(), 2);
}

TEST_F(SheetWhatIf, NeverStoredAndClosesWithoutAQuestion)
{
    store(ResultsId, ResultsName, real);
    store(7, "Ann", favourites());
    main->session().players().writePicksFile();
    const std::string file = dir.read(PicksFileName);
    const std::string list = main->session().players().picksBytes();
    ASSERT_EQ(file.size(), 2 * PickRecordSize);

    BracketSheet* sheet = openWhatIf();
    for (int n = 49; n <= GameCount; ++n) key(n % 2 ? Qt::Key_Up : Qt::Key_Down);
    EXPECT_EQ(sheet->whatIf().decided, 15);
    // Save, whatever sends it, stores nothing; Print asks for a printer (the test's answers no).
    QCoreApplication::postEvent(sheet, new QEvent(SaveCommand));
    QCoreApplication::sendPostedEvents();
    ::Find<QAction>(*main, "mnuPlayerPrintPicks")->trigger();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(testPrompts().printDialogs, 1);
    EXPECT_TRUE(main->activeChild()->close());
    EXPECT_TRUE(testPrompts().boxes.empty());

    EXPECT_EQ(dir.read(PicksFileName), file);
    EXPECT_FALSE(dir.exists(JournalFileName));
    EXPECT_EQ(main->session().players().picksBytes(), list);
    EXPECT_EQ(main->session().players()[0].picks, real);
}

TEST_F(SheetWhatIf, FollowsNewRealResults)
{
    Player results = store(ResultsId, ResultsName, real);
    BracketSheet* sheet = openWhatIf();
    const GamePair g49 = sheet->picks().teams(49);
    key(Qt::Key_Up);    // g49
    key(Qt::Key_Up);    // g50
    key(Qt::Key_Down);  // g51
    focusCell(sheet, 57);
    key(Qt::Key_Up);  // g57: the winner of g49

    // Game 49 goes the other way, game 51 is played as chosen: the chosen winner of g57 is out
    // of its game, those of g50 stay; results taken back leave their games open.
    results.picks[49] = g49.b;
    results.picks[51] = pick(sheet, 51);
    results.picks[48] = 0;
    main->session().players().storeEntry(results, true);
    QCoreApplication::processEvents();
    EXPECT_EQ((std::vector{pick(sheet, 48), pick(sheet, 49), pick(sheet, 50), pick(sheet, 51), pick(sheet, 57)}),
              (std::vector<TeamCode>{0, g49.b, real[35], results.picks[51], 0}));
    EXPECT_EQ(sheet->whatIf().decided, 1);
    EXPECT_EQ(gameCell(sheet, 49)->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(gameCell(sheet, 48)->focusPolicy(), Qt::StrongFocus);
    focusCell(sheet, 48);
    key(Qt::Key_Up);
    EXPECT_EQ(pick(sheet, 48), real[48]);
}
}  // namespace
