// The What If sheet: the real results, winners chosen for the games still open, never stored.
#include <QPushButton>

#include "core/pool/journal.h"
#include "sheet_fixture.h"

namespace {
class SheetWhatIf : public SheetTest {
protected:
    // The results with the first four rounds played (games 1 to 48), the upper teams winning.
    PickArray real = [] {
        PickArray picks = Favourites();
        for (int n = 49; n <= GameCount; ++n) picks[std::size_t(n)] = 0;
        return picks;
    }();

    BracketSheet* OpenWhatIf()
    {
        ::Find<QAction>(*main, "mnuWhatIf")->trigger();
        QCoreApplication::processEvents();
        return qobject_cast<BracketSheet*>(main->activeChild());
    }
    static TeamCode Pick(BracketSheet* sheet, int n) { return sheet->picks().pick(n); }
};

TEST_F(SheetWhatIf, ShowsTheResultsAndChoosesWinnersOfOpenGamesOnly)
{
    Store(ResultsId, ResultsName, real).tiebreaker = "141";
    Store(Frame::WhatIfId, "Odd", {});  // a damaged file may hold any id
    BracketSheet* sheet = OpenWhatIf();
    ASSERT_TRUE(sheet && sheet->isWhatIf());
    EXPECT_EQ(State(sheet), (QStringList{"What If", "WHAT IF", "141", "0", "0", "-3/-3", "g49"}));
    EXPECT_EQ(CellTexts(sheet), TextsOf(real));
    EXPECT_FALSE(NameBox(sheet)->isEnabled() || TiebreakerBox(sheet)->isEnabled() || PaidBox(sheet)->isEnabled());
    EXPECT_FALSE(::Find<QAction>(*main, "mnuSavePicks")->isEnabled());
    EXPECT_FALSE(::Find<QAction>(*main, "btnSaveAction")->isVisible());
    EXPECT_TRUE(::Find<QAction>(*main, "mnuPlayerPrintPicks")->isEnabled());

    // The keys choose as on any sheet, passing each winner on.
    const GamePair g49 = sheet->picks().teams(49);
    key(Qt::Key_Up);
    EXPECT_EQ(FocusName(), "g50");
    key(Qt::Key_Down);
    EXPECT_EQ(Status(), Hint(real[37], real[38]));  // g51's teams
    FocusCell(sheet, 57);
    key(Qt::Key_Up);
    EXPECT_EQ((std::vector{Pick(sheet, 49), Pick(sheet, 50), Pick(sheet, 57)}),
              (std::vector{g49.a, real[36], g49.a}));
    EXPECT_EQ(sheet->whatIf().decided, 3);

    // A winner no longer in its game goes, so the what-if stays a possible tournament.
    FocusCell(sheet, 49);
    key(Qt::Key_Down);
    EXPECT_EQ(sheet->picks().teams(57).a, g49.b);
    EXPECT_EQ(Pick(sheet, 57), 0);
    EXPECT_EQ(gameCell(sheet, 57)->text(), "");
    EXPECT_EQ(sheet->whatIf().decided, 2);
    key(Qt::Key_Delete);  // in g50
    EXPECT_EQ(sheet->whatIf().decided, 1);

    // Played games take no focus and no key: Shift+Tab from g49 wraps round to g63.
    FocusCell(sheet, 49);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(FocusName(), "g63");
    const PickArray before = PicksOf(sheet);
    QTest::keyClick(gameCell(sheet, 1), Qt::Key_Down);
    EXPECT_EQ(TestPrompts().beeps, 1);
    EXPECT_EQ(PicksOf(sheet), before);
    EXPECT_EQ(gameCell(sheet, 1)->text(), Text(real[1]));

    // A second command brings the same sheet forward. A participant with the What If sheet's
    // id has a sheet of its own.
    EXPECT_EQ(main->findSheetWindow(Frame::WhatIfId), -1);
    BracketSheet* odd = Open(Frame::WhatIfId);
    EXPECT_EQ(odd->windowTitle(), "Picks for Odd");
    EXPECT_EQ(main->findSheetWindow(Frame::WhatIfId), 1);
    EXPECT_EQ(OpenWhatIf(), sheet);
    EXPECT_EQ(Open(Frame::WhatIfId), odd);
    EXPECT_EQ(main->childWindows().size(), 2);
}

TEST_F(SheetWhatIf, NeverStoredAndClosesWithoutAQuestion)
{
    Store(ResultsId, ResultsName, real);
    Store(7, "Ann", Favourites());
    main->session().players().writePicksFile();
    const std::string file = dir.read(PicksFileName);
    const std::string list = main->session().players().picksBytes();
    ASSERT_EQ(file.size(), 2 * PickRecordSize);

    BracketSheet* sheet = OpenWhatIf();
    for (int n = 49; n <= GameCount; ++n) key(n % 2 ? Qt::Key_Up : Qt::Key_Down);
    EXPECT_EQ(sheet->whatIf().decided, 15);
    // Save, whatever sends it, stores nothing; Print asks for a printer (the test's answers no).
    QCoreApplication::postEvent(sheet, new QEvent(SaveCommand));
    QCoreApplication::sendPostedEvents();
    ::Find<QAction>(*main, "mnuPlayerPrintPicks")->trigger();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(TestPrompts().printDialogs, 1);
    EXPECT_TRUE(main->activeChild()->close());
    EXPECT_TRUE(TestPrompts().boxes.empty());

    EXPECT_EQ(dir.read(PicksFileName), file);
    EXPECT_FALSE(dir.exists(JournalFileName));
    EXPECT_EQ(main->session().players().picksBytes(), list);
    EXPECT_EQ(main->session().players()[0].picks, real);
}

TEST_F(SheetWhatIf, FollowsNewRealResults)
{
    Player results = Store(ResultsId, ResultsName, real);
    BracketSheet* sheet = OpenWhatIf();
    const GamePair g49 = sheet->picks().teams(49);
    key(Qt::Key_Up);    // g49
    key(Qt::Key_Up);    // g50
    key(Qt::Key_Down);  // g51
    FocusCell(sheet, 57);
    key(Qt::Key_Up);  // g57: the winner of g49

    // Game 49 goes the other way, game 51 is played as chosen: the chosen winner of g57 is out
    // of its game, those of g50 stay; results taken back leave their games open.
    results.picks[49] = g49.b;
    results.picks[51] = Pick(sheet, 51);
    results.picks[48] = 0;
    main->session().players().storeEntry(results, true);
    QCoreApplication::processEvents();
    EXPECT_EQ((std::vector{Pick(sheet, 48), Pick(sheet, 49), Pick(sheet, 50), Pick(sheet, 51), Pick(sheet, 57)}),
              (std::vector<TeamCode>{0, g49.b, real[35], results.picks[51], 0}));
    EXPECT_EQ(sheet->whatIf().decided, 1);
    EXPECT_EQ(gameCell(sheet, 49)->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(gameCell(sheet, 48)->focusPolicy(), Qt::StrongFocus);
    FocusCell(sheet, 48);
    key(Qt::Key_Up);
    EXPECT_EQ(Pick(sheet, 48), real[48]);
}
}  // namespace
