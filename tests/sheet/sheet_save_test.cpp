// Checking and saving a sheet, closing it, printing it, and a participant's round trip through
// the picks file.
#include <QProgressBar>

#include "gui/widgets/ansi_text.h"
#include "sheet_fixture.h"

using SheetSave = SheetTest;

namespace {
// What a save stores besides the picks: name, tiebreaker, paid, complete, modified, id, total.
QStringList Fields(const Player* entry)
{
    if (!entry) return {};
    return {fromAnsi(entry->name.text().bytes), fromAnsi(entry->tiebreaker.text().bytes), QString::number(entry->paid),
            QString::number(entry->complete),   QString::number(entry->modified),         QString::number(entry->id),
            QString::number(entry->total)};
}
}  // namespace

TEST_F(SheetSave, NewParticipantTypedSavedEmptiedAndReadBackAfterARestart)
{
    ScriptedIds = {501, 502};
    BracketSheet* sheet = open(0);
    type(QStringLiteral("Tess \u00C9"));
    key(Qt::Key_Tab);
    type(QStringLiteral("free text!"));
    key(Qt::Key_Tab);
    key(Qt::Key_Space);
    key(Qt::Key_Tab);
    ASSERT_EQ(focusName(), QStringLiteral("g1"));
    for (int n = 1; n <= 63; ++n) key(n % 3 == 0 ? Qt::Key_Down : Qt::Key_Up);  // upsets now and then
    const PickArray typed = picksOf(sheet);

    // Progress n x 100 / 65, reported when the whole percentage changes, under the status line.
    std::vector<int> values, expected;
    QStringList statuses;
    QObject::connect(::Find<QProgressBar>(*main, "pbProgress"), &QProgressBar::valueChanged, main.get(), [&](int v) {
        values.push_back(v);
        statuses << status();
    });
    for (int n = 1; n <= 63; ++n)
        if (const int percent = (n * 200 + 65) / 130; expected.empty() || expected.back() != percent)
            expected.push_back(percent);
    expected.push_back(0);
    ::Find<QAction>(*main, "mnuSavePicks")->trigger();
    EXPECT_EQ(main->session().players().count(), 0);  // posted: done when the sheet's queue gets to it
    QCoreApplication::sendPostedEvents();

    EXPECT_TRUE(testPrompts().boxes.empty());  // complete: no question
    EXPECT_EQ(values, expected);
    EXPECT_EQ((QStringList{statuses.front(), status()}),
              (QStringList{QStringLiteral("Saving picks for Tess \u00C9"), ""}));
    // Not scored: no standings window is open.
    EXPECT_EQ(Fields(Find(501)), (QStringList{QStringLiteral("Tess \u00C9"), "free text!", "1", "1", "1", "501", "0"}));
    EXPECT_EQ(Find(501)->picks, typed);
    EXPECT_EQ(::Find<QLabel>(*main, "pnlCount")->text(), QStringLiteral("Players: 1"));

    // Emptied for the next participant, tiebreaker included; the next save draws another id.
    EXPECT_EQ(State(sheet), (QStringList{"New Player Picks", "", "", "0", "0", "0/0", "txtName"}));
    EXPECT_EQ(picksOf(sheet), PickArray{});
    EXPECT_EQ(cellTexts(sheet), textsOf({}));
    for (int n = 1; n <= 63; ++n) EXPECT_EQ(sheet->picks().teams(n).a, n <= 32 ? firstRoundPair(n).a : 0) << n;
    type(QStringLiteral("Eve"));
    pickAll(sheet);
    save();
    EXPECT_EQ(Fields(Find(502)).mid(0, 1), QStringList{"Eve"});
    EXPECT_EQ(::Find<QLabel>(*main, "pnlCount")->text(), QStringLiteral("Players: 2"));

    // Close the program, start again, open the sheet: the same picks.
    EXPECT_TRUE(main->close());
    main.reset();
    startMain();
    main->session().players().loadPlayers();
    BracketSheet* again = open(501);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(State(again), (QStringList{QStringLiteral("Picks for Tess \u00C9"), QStringLiteral("Tess \u00C9"),
                                         "free text!", "1", "0", "501/501", "txtName"}));
    EXPECT_EQ(picksOf(again), typed);
    EXPECT_EQ(cellTexts(again), textsOf(typed));
}

TEST_F(SheetSave, StaleLaterPickIsReportedAtItsGame)
{
    Player& stored = store(31, "Hal", favourites());
    stored.total = 40;
    BracketSheet* sheet = open(31);
    focusCell(sheet, 1);
    key(Qt::Key_Down);  // 116 beats 101 now: only the next slot changes, games 33 and 49 keep 101
    EXPECT_EQ((std::vector<int>{sheet->picks().teams(33).a, sheet->picks().pick(33), sheet->picks().teams(49).a}),
              (std::vector<int>{116, 101, 101}));
    EXPECT_EQ(gameCell(sheet, 33)->text(), Text(101));
    save();
    EXPECT_EQ((QStringList{testPrompts().texts().join('|'), focusName(), status()}),
              (QStringList{invalid(101), "g33", hint(116, 108)}));
    EXPECT_EQ(background(gameCell(sheet, 33)), Yellow);
    EXPECT_EQ(stored.picks, favourites());  // nothing stored
    EXPECT_TRUE(sheet->sheetModified());

    // Mending game 33 moves the report on to game 49.
    testPrompts().clear();
    key(Qt::Key_Up);
    save();
    EXPECT_EQ((QStringList{testPrompts().texts().join('|'), focusName(), status()}),
              (QStringList{invalid(101), "g49", hint(116, 105)}));

    // Mended all the way, the stored entry is overwritten in place, and the caption keeps the
    // name it was opened with.
    testPrompts().clear();
    key(Qt::Key_Up);
    for (int n : {57, 61, 63}) focusCell(sheet, n), key(Qt::Key_Up);
    nameBox(sheet)->setFocus();
    nameBox(sheet)->selectAll();
    type(QStringLiteral("Hally"));
    save();
    EXPECT_TRUE(testPrompts().boxes.empty());
    ASSERT_EQ(main->session().players().count(), 1);
    EXPECT_EQ(Fields(&stored), (QStringList{"Hally", "0", "0", "1", "1", "31", "40"}));
    EXPECT_EQ(stored.picks[63], 116);
    EXPECT_EQ(State(sheet), (QStringList{"Picks for Hal", "Hally", "0", "0", "0", "31/31", "txtName"}));
}

TEST_F(SheetSave, DeleteOnGameSixtyTwoAsksFirstThenReportsTheChampion)
{
    BracketSheet* sheet = open(0);
    type(QStringLiteral("Ida"));
    std::vector<Qt::Key> keys(GameCount, Qt::Key_Up);
    keys[62] = Qt::Key_Down;  // the champion comes from game 62
    pickAll(sheet, keys);
    focusCell(sheet, 62);
    key(Qt::Key_Delete);
    EXPECT_EQ((std::vector<int>{sheet->picks().teams(63).b, sheet->picks().pick(63)}), (std::vector<int>{0, 301}));
    EXPECT_EQ(gameCell(sheet, 63)->text(), Text(301));
    save();
    EXPECT_EQ(testPrompts().texts(), (QStringList{NoWinner, invalid(301)}));
    EXPECT_EQ(testPrompts().boxes[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(testPrompts().boxes[0].kind, PromptKind::Confirmation);
    EXPECT_EQ(focusName(), QStringLiteral("g63"));
    EXPECT_EQ(main->session().players().count(), 0);
}

TEST_F(SheetSave, TenEmptyGamesAskOnce)
{
    BracketSheet* sheet = open(0);
    type(QStringLiteral("Jo"));
    pickAll(sheet);
    // Even games feed slot B and every later pick came from slot A, so the empty games are the
    // only fault.
    for (int n : {2, 4, 20, 22, 24, 40, 42, 44, 56, 62}) focusCell(sheet, n), key(Qt::Key_Delete);
    testPrompts().answers = {PromptAnswer::Cancel};
    save();
    EXPECT_EQ(testPrompts().texts(), QStringList{NoWinner});
    EXPECT_EQ(focusName(), QStringLiteral("g2"));
    EXPECT_EQ(main->session().players().count(), 0);

    testPrompts().clear();
    save();
    EXPECT_EQ(testPrompts().texts(), QStringList{NoWinner});
    ASSERT_EQ(main->session().players().count(), 1);
    const Player& entry = main->session().players()[0];
    EXPECT_EQ((std::vector<int>{entry.complete, entry.picks[20], entry.picks[63]}), (std::vector<int>{0, 0, 101}));
}

TEST_F(SheetSave, PickOfANamelessTeamIsDroppedQuietly)
{
    PickArray picks = favourites();
    picks[63] = 205;  // not a team of the championship, and a team without a name
    main->session().teams().entry(2, 5).name = "";
    store(44, "Kim", picks);
    BracketSheet* sheet = open(44);
    EXPECT_TRUE(gameCell(sheet, 63)->text().isEmpty());
    save();
    EXPECT_EQ(testPrompts().texts(), QStringList{NoWinner});
    EXPECT_EQ((std::vector<int>{sheet->picks().pick(63), Find(44)->picks[63], Find(44)->complete}),
              (std::vector<int>{0, 0, 0}));
}

TEST_F(SheetSave, ResultsAreAddedOnceThenUpdatedNeverCountedAndScoredWhileStandingsShow)
{
    store(3, "Max", favourites());
    main->session().players().updatePlayerCount();
    main->showStandings(false);
    BracketSheet* sheet = open(ResultsId);
    pickAll(sheet);
    save();
    EXPECT_TRUE(testPrompts().boxes.empty());
    EXPECT_EQ(Fields(Find(ResultsId)).mid(0, 1), QStringList{"RESULTS"});
    EXPECT_EQ((std::vector<int>{int(main->session().players().hasResults()), main->session().players().count()}),
              (std::vector<int>{1, 2}));
    // The results sheet stays as it is.
    EXPECT_EQ(State(sheet), (QStringList{"Actual Results", "RESULTS", "0", "0", "0", "-1/-1", "txtTiebreaker"}));
    EXPECT_EQ(gameCell(sheet, 63)->text(), Text(101));
    EXPECT_EQ(::Find<QLabel>(*main, "pnlCount")->text(), QStringLiteral("Players: 1"));
    EXPECT_GT(Find(3)->total, 0);  // the open standings rescored at once

    focusCell(sheet, 63);
    key(Qt::Key_Delete);
    testPrompts().clear();
    save();
    EXPECT_EQ(testPrompts().texts(), QStringList{NoWinner});
    EXPECT_EQ((std::vector<int>{main->session().players().count(), Find(ResultsId)->picks[63]}),
              (std::vector<int>{2, 0}));
    EXPECT_EQ(::Find<QLabel>(*main, "pnlCount")->text(), QStringLiteral("Players: 1"));
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
    } cases[] = {
        {"Cancel", 0, NameAndPicks, PromptAnswer::Cancel, false, 0, {SaveFirst}},
        {"No", 0, NameAndPicks, PromptAnswer::No, true, 0, {SaveFirst}},
        {"Yes", 0, NameAndPicks, PromptAnswer::Yes, true, 1, {SaveFirst}},
        {"Yes without a name", 0, PicksOnly, PromptAnswer::Yes, false, 0, {SaveFirst, NoName}},
        {"clean", 8, None, PromptAnswer::Cancel, true, 1, {}},
        {"results at once", ResultsId, None, PromptAnswer::Cancel, false, 0, {SaveFirst}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testPrompts().clear();
        main->session().players().clear();
        if (c.id > 0) store(c.id, "Pat", favourites());
        BracketSheet* sheet = open(c.id);
        QPointer<QMdiSubWindow> sub = qobject_cast<QMdiSubWindow*>(sheet->parentWidget());
        if (c.edit == NameAndPicks) type(QStringLiteral("Oli"));
        if (c.edit != None) pickAll(sheet);
        testPrompts().answers = {c.answer};
        EXPECT_EQ(sub->close(), c.closed);
        EXPECT_EQ(testPrompts().texts(), c.boxes);
        std::vector<std::pair<PromptKind, PromptButtons>> kinds, expected;
        for (const auto& box : testPrompts().boxes) kinds.push_back({box.kind, box.buttons});
        for (const QString& text : c.boxes)
            expected.push_back(text == NoName ? std::pair{PromptKind::Error, PromptButtons::Ok}
                                              : std::pair{PromptKind::Confirmation, PromptButtons::YesNoCancel});
        EXPECT_EQ(kinds, expected);
        EXPECT_EQ(main->session().players().count(), c.stored);
        if (!c.closed) {
            // A refused save leaves the flag alone; an empty name takes the focus to the name box.
            EXPECT_TRUE(sheet->sheetModified());
            if (c.edit == PicksOnly) {
                EXPECT_EQ(focusName(), QStringLiteral("txtName"));
            }
            testPrompts().answers = {PromptAnswer::No};
            EXPECT_TRUE(sub->close());
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(sub.isNull());
    }
}

TEST_F(SheetSave, ProgramCloseAsksEachSheetAndCancelStopsIt)
{
    for (const char* name : {"Quinn", "Ray"}) open(0), type(QLatin1String(name));
    testPrompts().answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(main->close());
    EXPECT_EQ(testPrompts().texts(), QStringList{SaveFirst});  // the second was not asked
    EXPECT_FALSE(dir.exists("PICKS.HFD"));

    testPrompts().clear();
    testPrompts().answers = {PromptAnswer::No, PromptAnswer::No};
    EXPECT_TRUE(main->close());
    EXPECT_EQ(testPrompts().texts(), (QStringList{SaveFirst, SaveFirst}));
}

// A new sheet, and results never stored, have nothing to print yet (the stored participant is
// there to show the results sheet does not print another's entry).
TEST_F(SheetSave, PrintingNeedsASavedSheet)
{
    store(21, "Sam", favourites());
    for (int id : {0, ResultsId}) {
        testPrompts().clear();
        open(id);
        ::Find<QAction>(*main, "mnuPlayerPrintPicks")->trigger();
        EXPECT_TRUE(testPrompts().boxes.empty());  // posted, not yet handled
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(testPrompts().texts(),
                  QStringList{QStringLiteral("Selections must be saved before they can be printing.")})
            << id;
        EXPECT_EQ(testPrompts().printDialogs, 0);
    }
}
