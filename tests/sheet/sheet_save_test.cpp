// Checking and saving a sheet, closing it, printing it, and a participant's round trip through
// the picks file.
#include <QProgressBar>

#include "sheet_fixture.h"

using SheetSave = SheetTest;

TEST_F(SheetSave, NewParticipantTypedSavedEmptiedAndReadBackAfterARestart)
{
    ScriptedIds() = {501, 502};
    TmdiBrackets* sheet = Open(0);
    Type(QStringLiteral("Tess \u00C9"));
    Key(Qt::Key_Tab);
    Type(QStringLiteral("free text!"));
    Key(Qt::Key_Tab);
    Key(Qt::Key_Space);
    Key(Qt::Key_Tab);
    ASSERT_EQ(FocusName(), QStringLiteral("g1"));
    for (int n = 1; n <= 63; ++n) Key(n % 3 == 0 ? Qt::Key_Down : Qt::Key_Up);  // upsets now and then
    const PickArray typed = PicksOf(sheet);

    // Progress n x 100 / 65, reported when the whole percentage changes, under the status line.
    std::vector<int> values;
    QStringList statuses;
    QObject::connect(main->pbProgress, &QProgressBar::valueChanged, main.get(), [&](int v) {
        values.push_back(v);
        statuses << Status();
    });
    main->mnuSavePicks->trigger();
    EXPECT_EQ(main->Players().Count(), 0);  // posted: done when the sheet's queue gets to it
    QCoreApplication::sendPostedEvents();

    EXPECT_TRUE(TestPrompts().boxes.empty());  // complete: no question
    ASSERT_GT(values.size(), 3u);
    EXPECT_EQ(values.front(), 2);
    EXPECT_EQ(values[values.size() - 2], 97);
    EXPECT_EQ(values.back(), 0);
    for (std::size_t i = 1; i + 1 < values.size(); ++i) EXPECT_GT(values[i], values[i - 1]);
    EXPECT_EQ(statuses.front(), QStringLiteral("Saving picks for Tess \u00C9"));
    EXPECT_EQ(Status(), QString());
    const TPlayer* entry = Find(501);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Tiebreaker.str(), "free text!");
    EXPECT_EQ(entry->Paid, 1);
    EXPECT_EQ(entry->Complete, 1);
    EXPECT_EQ(entry->Modified, 1);
    EXPECT_EQ(entry->Total, 0);  // no standings window: scored when the standings are next shown
    EXPECT_EQ(entry->Picks, typed);
    EXPECT_EQ(main->pnlCount->text(), QStringLiteral("Players: 1"));

    // Emptied for the next participant, tiebreaker included; the next save draws another id.
    EXPECT_EQ(sheet->PlayerId, 0);
    EXPECT_EQ(sheet->Tag(), 0);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("New Player Picks"));
    EXPECT_TRUE(sheet->txtName->text().isEmpty());
    EXPECT_TRUE(sheet->txtTiebreaker->text().isEmpty());
    EXPECT_FALSE(sheet->chkPaid->isChecked());
    EXPECT_EQ(sheet->SheetModified, 0);
    EXPECT_EQ(FocusName(), QStringLiteral("txtName"));
    EXPECT_EQ(PicksOf(sheet), PickArray{});
    for (int n = 1; n <= 63; ++n) {
        EXPECT_TRUE(sheet->Cell(n)->text().isEmpty()) << n;
        EXPECT_EQ(sheet->Game(n).slotA, n <= 32 ? FirstRoundPair(n).a : 0) << n;
    }
    Type(QStringLiteral("Eve"));
    PickAll(sheet);
    Save();
    ASSERT_NE(Find(502), nullptr);
    EXPECT_EQ(Find(502)->Name.str(), "Eve");
    EXPECT_EQ(main->pnlCount->text(), QStringLiteral("Players: 2"));

    // Close the program, start again, open the sheet: the same picks.
    EXPECT_TRUE(main->close());
    main.reset();
    StartMain();
    main->Players().LoadPlayers();
    TmdiBrackets* again = Open(501);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->windowTitle(), QStringLiteral("Picks for Tess \u00C9"));
    EXPECT_EQ(again->txtTiebreaker->text(), QStringLiteral("free text!"));
    EXPECT_TRUE(again->chkPaid->isChecked());
    EXPECT_EQ(PicksOf(again), typed);
    for (int n = 1; n <= 63; ++n) EXPECT_EQ(again->Cell(n)->text(), Text(typed[std::size_t(n)])) << n;
}

TEST_F(SheetSave, EmptyNameIsRefused)
{
    TmdiBrackets* sheet = Open(0);
    PickAll(sheet);
    Save();
    ASSERT_EQ(TestPrompts().texts(), QStringList{NoName});
    EXPECT_EQ(TestPrompts().boxes[0].kind, PromptKind::Error);
    EXPECT_EQ(TestPrompts().boxes[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(FocusName(), QStringLiteral("txtName"));
    EXPECT_EQ(main->Players().Count(), 0);
    EXPECT_EQ(sheet->SheetModified, 1);  // a refused save leaves the flag alone
    EXPECT_EQ(sheet->Cell(1)->text(), Text(101));
}

TEST_F(SheetSave, StaleLaterPickIsReportedAtItsGame)
{
    TPlayer& stored = Store(31, "Hal", Favourites());
    stored.Total = 40;
    TmdiBrackets* sheet = Open(31);
    FocusCell(sheet, 1);
    Key(Qt::Key_Down);  // 116 beats 101 now: only the next slot changes, games 33 and 49 keep 101
    EXPECT_EQ(sheet->Game(33).slotA, 116);
    EXPECT_EQ(sheet->Game(33).pick, 101);
    EXPECT_EQ(sheet->Cell(33)->text(), Text(101));
    EXPECT_EQ(sheet->Game(49).slotA, 101);
    Save();
    ASSERT_EQ(TestPrompts().texts(), QStringList{Invalid(101)});
    EXPECT_EQ(FocusName(), QStringLiteral("g33"));
    EXPECT_EQ(Background(sheet->Cell(33)), Yellow);
    EXPECT_EQ(Status(), Hint(116, 108));
    EXPECT_EQ(stored.Picks, Favourites());  // nothing stored
    EXPECT_EQ(sheet->SheetModified, 1);

    // Mending game 33 moves the report on to game 49.
    TestPrompts().clear();
    Key(Qt::Key_Up);
    Save();
    EXPECT_EQ(TestPrompts().texts(), QStringList{Invalid(101)});
    EXPECT_EQ(FocusName(), QStringLiteral("g49"));
    EXPECT_EQ(Status(), Hint(116, 105));

    // Mended all the way, the stored entry is overwritten in place, and the caption keeps the
    // name it was opened with.
    TestPrompts().clear();
    Key(Qt::Key_Up);
    FocusCell(sheet, 57);
    Key(Qt::Key_Up);
    FocusCell(sheet, 61);
    Key(Qt::Key_Up);
    FocusCell(sheet, 63);
    Key(Qt::Key_Up);
    sheet->txtName->setFocus();
    sheet->txtName->selectAll();
    Type(QStringLiteral("Hally"));
    Save();
    EXPECT_TRUE(TestPrompts().boxes.empty());
    ASSERT_EQ(main->Players().Count(), 1);
    EXPECT_EQ(stored.Name.str(), "Hally");
    EXPECT_EQ(stored.Id, 31);
    EXPECT_EQ(stored.Total, 40);
    EXPECT_EQ(stored.Modified, 1);
    EXPECT_EQ(stored.Picks[63], 116);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Picks for Hal"));
    EXPECT_EQ(sheet->txtName->text(), QStringLiteral("Hally"));  // not emptied
    EXPECT_EQ(sheet->SheetModified, 0);
}

TEST_F(SheetSave, DeleteOnGameSixtyTwoAsksFirstThenReportsTheChampion)
{
    TmdiBrackets* sheet = Open(0);
    Type(QStringLiteral("Ida"));
    std::vector<Qt::Key> keys(GameCount, Qt::Key_Up);
    keys[62] = Qt::Key_Down;  // the champion comes from game 62
    PickAll(sheet, keys);
    FocusCell(sheet, 62);
    Key(Qt::Key_Delete);
    EXPECT_EQ(sheet->Game(63).slotB, 0);
    EXPECT_EQ(sheet->Game(63).pick, 301);
    EXPECT_EQ(sheet->Cell(63)->text(), Text(301));
    Save();
    EXPECT_EQ(TestPrompts().texts(), (QStringList{NoWinner, Invalid(301)}));
    EXPECT_EQ(TestPrompts().boxes[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(TestPrompts().boxes[0].kind, PromptKind::Confirmation);
    EXPECT_EQ(FocusName(), QStringLiteral("g63"));
    EXPECT_EQ(main->Players().Count(), 0);
}

TEST_F(SheetSave, TenEmptyGamesAskOnce)
{
    TmdiBrackets* sheet = Open(0);
    Type(QStringLiteral("Jo"));
    PickAll(sheet);
    // Even games feed slot B and every later pick came from slot A, so the empty games are the
    // only fault.
    for (int n : {2, 4, 20, 22, 24, 40, 42, 44, 56, 62}) {
        FocusCell(sheet, n);
        Key(Qt::Key_Delete);
    }
    TestPrompts().answers = {PromptAnswer::Cancel};
    Save();
    EXPECT_EQ(TestPrompts().texts(), QStringList{NoWinner});
    EXPECT_EQ(FocusName(), QStringLiteral("g2"));
    EXPECT_EQ(main->Players().Count(), 0);

    TestPrompts().clear();
    Save();
    EXPECT_EQ(TestPrompts().texts(), QStringList{NoWinner});
    ASSERT_EQ(main->Players().Count(), 1);
    EXPECT_EQ(main->Players()[0].Complete, 0);
    EXPECT_EQ(main->Players()[0].Picks[20], 0);
    EXPECT_EQ(main->Players()[0].Picks[63], 101);
}

TEST_F(SheetSave, PickOfANamelessTeamIsDroppedQuietly)
{
    PickArray picks = Favourites();
    picks[63] = 205;  // not a team of the championship, and a team without a name
    TeamEntry(2, 5).name = "";
    Store(44, "Kim", picks);
    TmdiBrackets* sheet = Open(44);
    EXPECT_TRUE(sheet->Cell(63)->text().isEmpty());
    Save();
    EXPECT_EQ(TestPrompts().texts(), QStringList{NoWinner});
    EXPECT_EQ(sheet->Game(63).pick, 0);
    EXPECT_EQ(Find(44)->Picks[63], 0);
    EXPECT_EQ(Find(44)->Complete, 0);
}

TEST_F(SheetSave, ResultsAreAddedOnceThenUpdatedNeverCountedAndScoredWhileStandingsShow)
{
    Store(3, "Max", Favourites());
    main->Players().UpdatePlayerCount();
    main->ShowStandings(false);
    TmdiBrackets* sheet = Open(ResultsId);
    PickAll(sheet);
    Save();
    EXPECT_TRUE(TestPrompts().boxes.empty());
    EXPECT_EQ(main->Players().HasResults, 1);
    ASSERT_NE(Find(ResultsId), nullptr);
    EXPECT_EQ(Find(ResultsId)->Name.str(), "RESULTS");
    EXPECT_EQ(main->Players().Count(), 2);
    EXPECT_EQ(main->pnlCount->text(), QStringLiteral("Players: 1"));
    EXPECT_EQ(sheet->PlayerId, ResultsId);  // the results sheet stays as it is
    EXPECT_EQ(sheet->Cell(63)->text(), Text(101));
    EXPECT_GT(Find(3)->Total, 0);  // the open standings rescored at once

    FocusCell(sheet, 63);
    Key(Qt::Key_Delete);
    TestPrompts().clear();
    Save();
    EXPECT_EQ(TestPrompts().texts(), QStringList{NoWinner});
    EXPECT_EQ(main->Players().Count(), 2);
    EXPECT_EQ(Find(ResultsId)->Picks[63], 0);
    EXPECT_EQ(main->pnlCount->text(), QStringLiteral("Players: 1"));
}

// Closing a sheet: a question while there are changes; a save that fails keeps the sheet open,
// so the picks that could not be stored are not lost.
TEST_F(SheetSave, ClosingASheet)
{
    enum Edit { None, NameAndPicks, PicksOnly };
    struct Case {
        const char* name;
        int id;
        Edit edit;
        PromptAnswer answer;
        bool closed;
        int stored;
        QStringList boxes;
    };
    const Case cases[] = {
        {"Cancel", 0, NameAndPicks, PromptAnswer::Cancel, false, 0, {SaveFirst}},
        {"No", 0, NameAndPicks, PromptAnswer::No, true, 0, {SaveFirst}},
        {"Yes", 0, NameAndPicks, PromptAnswer::Yes, true, 1, {SaveFirst}},
        {"Yes without a name", 0, PicksOnly, PromptAnswer::Yes, false, 0, {SaveFirst, NoName}},
        {"clean", 8, None, PromptAnswer::Cancel, true, 1, {}},
        {"results at once", ResultsId, None, PromptAnswer::Cancel, false, 0, {SaveFirst}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestPrompts().clear();
        main->Players().Clear();
        main->Players().HasResults = 0;
        if (c.id > 0) Store(c.id, "Pat", Favourites());
        TmdiBrackets* sheet = Open(c.id);
        QPointer<QMdiSubWindow> sub = qobject_cast<QMdiSubWindow*>(sheet->parentWidget());
        if (c.edit == NameAndPicks) Type(QStringLiteral("Oli"));
        if (c.edit != None) PickAll(sheet);
        TestPrompts().answers = {c.answer};
        EXPECT_EQ(sub->close(), c.closed);
        EXPECT_EQ(TestPrompts().texts(), c.boxes);
        if (!c.boxes.isEmpty()) {
            EXPECT_EQ(TestPrompts().boxes[0].buttons, PromptButtons::YesNoCancel);
        }
        EXPECT_EQ(main->Players().Count(), c.stored);
        if (!c.closed) {
            EXPECT_EQ(sheet->SheetModified, 1);
            TestPrompts().answers = {PromptAnswer::No};
            EXPECT_TRUE(sub->close());
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(sub.isNull());
    }
}

TEST_F(SheetSave, ProgramCloseAsksEachSheetAndCancelStopsIt)
{
    Open(0);
    Type(QStringLiteral("Quinn"));
    Open(0);
    Type(QStringLiteral("Ray"));
    TestPrompts().answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(main->close());
    EXPECT_EQ(TestPrompts().texts(), QStringList{SaveFirst});  // the second was not asked
    EXPECT_FALSE(dir.exists("PICKS.HFD"));

    TestPrompts().clear();
    TestPrompts().answers = {PromptAnswer::No, PromptAnswer::No};
    EXPECT_TRUE(main->close());
    EXPECT_EQ(TestPrompts().texts(), (QStringList{SaveFirst, SaveFirst}));
}

TEST_F(SheetSave, PrintingNeedsASavedSheet)
{
    const QStringList refused{QStringLiteral("Selections must be saved before they can be printing.")};
    Store(21, "Sam", Favourites());
    for (int id : {0, ResultsId, 21}) {
        SCOPED_TRACE(id);
        TestPrompts().clear();
        Open(id);
        main->mnuPlayerPrintPicks->trigger();
        EXPECT_TRUE(TestPrompts().boxes.empty());  // posted, not yet handled
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(TestPrompts().texts(), id == 21 ? QStringList{} : refused);
        EXPECT_EQ(TestPrompts().printDialogs, id == 21 ? 1 : 0);
    }
}
