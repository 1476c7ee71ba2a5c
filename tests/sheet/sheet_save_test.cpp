// Checking and saving a sheet, closing it, printing it, and a participant's round trip through
// the picks file.
#include <QCheckBox>
#include <QProgressBar>

#include "sheet_fixture.h"
#include "standings/standings_window.h"

using SheetSave = SheetTest;

namespace {
const QString NoName = QStringLiteral("Can not save picks. Players name not filled in.");
const QString NoWinner = QStringLiteral("One or more games do not have a winner. Save anyway?");
const QString SaveFirst = QStringLiteral("Changes have been made. Save before closing?");
QString Invalid(TeamCode code)
{
    return QStringLiteral("Invalid selection. T%1 can not be the winner of the highlighted game. Can not save picks.")
        .arg(code);
}
}  // namespace

TEST_F(SheetSave, CompleteSheetIsStoredWithoutAQuestionAndTheSheetEmptied)
{
    ScriptedIds() = {501, 502};
    TmdiBrackets* sheet = Open(0);
    Type(QStringLiteral("Dana"));
    Key(Qt::Key_Tab);
    Type(QStringLiteral("free text!"));
    Key(Qt::Key_Tab);
    Key(Qt::Key_Space);
    PickAll(sheet, AllUp());
    Save();

    EXPECT_TRUE(TestPrompts().boxes.empty());
    const TPlayer* entry = Find(501);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Name.str(), "Dana");
    EXPECT_EQ(entry->Tiebreaker.str(), "free text!");
    EXPECT_EQ(entry->Paid, 1);
    EXPECT_EQ(entry->Complete, 1);
    EXPECT_EQ(entry->Modified, 1);
    EXPECT_EQ(entry->Total, 0);  // no standings window: scored when the standings are next shown
    EXPECT_EQ(entry->Picks, Favourites());
    EXPECT_EQ(main->pnlCount->text(), QStringLiteral("Players: 1"));
    EXPECT_EQ(Status(), QString());
    EXPECT_EQ(main->pbProgress->value(), 0);

    // Emptied for the next participant.
    EXPECT_EQ(sheet->PlayerId, 0);
    EXPECT_EQ(sheet->Tag(), 0);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("New Player Picks"));
    EXPECT_TRUE(sheet->txtName->text().isEmpty());
    EXPECT_TRUE(sheet->txtTiebreaker->text().isEmpty());
    EXPECT_FALSE(sheet->chkPaid->isChecked());
    EXPECT_EQ(sheet->SheetModified, 0);
    EXPECT_EQ(FocusName(), QStringLiteral("txtName"));
    for (int n = 1; n <= 63; ++n) {
        EXPECT_TRUE(sheet->Cell(n)->text().isEmpty()) << n;
        EXPECT_EQ(sheet->Game(n).pick, 0);
        if (n <= 32) EXPECT_EQ(sheet->Game(n).slotA, FirstRoundPair(n).a);
        if (n > 32) EXPECT_EQ(sheet->Game(n).slotA, 0);
    }

    // The next participant gets another id.
    Type(QStringLiteral("Eve"));
    PickAll(sheet, AllUp());
    Save();
    ASSERT_NE(Find(502), nullptr);
    EXPECT_EQ(Find(502)->Name.str(), "Eve");
    EXPECT_EQ(main->Players().Count(), 2);
    EXPECT_EQ(main->pnlCount->text(), QStringLiteral("Players: 2"));
}

TEST_F(SheetSave, TheSaveCommandRunsWhenTheQueueReachesIt)
{
    TmdiBrackets* sheet = Open(0);
    Type(QStringLiteral("Flo"));
    PickAll(sheet, AllUp());
    main->mnuSavePicks->trigger();
    EXPECT_EQ(main->Players().Count(), 0);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(main->Players().Count(), 1);
}

TEST_F(SheetSave, ProgressCountsTheGamesAndStopsShortOfTheEnd)
{
    TmdiBrackets* sheet = Open(0);
    Type(QStringLiteral("Gus"));
    PickAll(sheet, AllUp());
    std::vector<int> values;
    QObject::connect(main->pbProgress, &QProgressBar::valueChanged, main.get(), [&values](int v) { values.push_back(v); });
    QStringList statuses;
    TestPrompts().onBox = nullptr;
    // The status line is repainted at once; catch what each repaint shows.
    struct Watch : QObject {
        QStringList* seen;
        QLabel* label;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint && (seen->isEmpty() || seen->last() != label->text())) seen->append(label->text());
            return false;
        }
    } watch;
    watch.seen = &statuses;
    watch.label = main->pnlHint;
    main->pnlHint->installEventFilter(&watch);
    Save();
    main->pnlHint->removeEventFilter(&watch);

    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.front(), 2);  // 1 x 100 / 65 rounded
    EXPECT_EQ(values.back(), 0);
    EXPECT_EQ(values[values.size() - 2], 97);
    for (std::size_t i = 1; i + 1 < values.size(); ++i) EXPECT_GT(values[i], values[i - 1]);
    EXPECT_TRUE(statuses.contains(QStringLiteral("Saving picks for Gus"))) << statuses.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(Status(), QString());
}

TEST_F(SheetSave, EmptyNameIsRefused)
{
    TmdiBrackets* sheet = Open(0);
    PickAll(sheet, AllUp());
    Save();
    ASSERT_EQ(TestPrompts().boxes.size(), 1u);
    EXPECT_EQ(TestPrompts().boxes[0].text, NoName);
    EXPECT_EQ(TestPrompts().boxes[0].kind, PromptKind::Error);
    EXPECT_EQ(TestPrompts().boxes[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(FocusName(), QStringLiteral("txtName"));
    EXPECT_EQ(main->Players().Count(), 0);
    EXPECT_EQ(sheet->SheetModified, 1);  // a refused save leaves the flag alone
    EXPECT_EQ(sheet->Cell(1)->text(), Text(101));
}

TEST_F(SheetSave, StaleLaterPickIsReportedAtItsGame)
{
    Store(31, "Hal", Favourites());
    TmdiBrackets* sheet = Open(31);
    FocusCell(sheet, 1);
    Key(Qt::Key_Down);  // 116 beats 101 now, but games 33 and 49 still name 101
    Save();
    ASSERT_EQ(TestPrompts().texts(), QStringList{Invalid(101)});
    EXPECT_EQ(FocusName(), QStringLiteral("g33"));
    EXPECT_EQ(sheet->Cell(33)->palette().color(QPalette::Base), QColor(255, 255, 0));
    EXPECT_EQ(Status(), QStringLiteral("Up arrow for T116 or Down arrow for T108"));
    EXPECT_EQ(Find(31)->Picks, Favourites());  // nothing stored
    EXPECT_EQ(sheet->SheetModified, 1);

    // Mending game 33 moves the report on to game 49.
    TestPrompts().clear();
    Key(Qt::Key_Up);
    EXPECT_EQ(sheet->Game(33).pick, 116);
    Save();
    EXPECT_EQ(TestPrompts().texts(), QStringList{Invalid(101)});
    EXPECT_EQ(FocusName(), QStringLiteral("g49"));
    EXPECT_EQ(Status(), QStringLiteral("Up arrow for T116 or Down arrow for T105"));
}

TEST_F(SheetSave, DeleteOnGameSixtyTwoAsksFirstThenReportsTheChampion)
{
    TmdiBrackets* sheet = Open(0);
    Type(QStringLiteral("Ida"));
    std::vector<Qt::Key> keys = AllUp();
    keys[62] = Qt::Key_Down;  // the champion comes from game 62
    PickAll(sheet, keys);
    EXPECT_EQ(sheet->Game(63).pick, 301);
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
    PickAll(sheet, AllUp());
    for (int n : {2, 4, 20, 22, 24, 40, 42, 44, 56, 62}) {  // even games feed slot B, so later picks stay valid
        FocusCell(sheet, n);
        Key(Qt::Key_Delete);
    }
    // Every later pick came from slot A, so the ten empty games are the only fault.
    for (int n = 33; n <= 63; ++n)
        if (sheet->Game(n).pick != 0 && sheet->Game(n).pick != sheet->Game(n).slotA &&
            sheet->Game(n).pick != sheet->Game(n).slotB)
            ADD_FAILURE() << "game " << n;

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

TEST_F(SheetSave, StoredParticipantIsOverwrittenInPlaceAndKeepsItsCaption)
{
    TPlayer& stored = Store(12, "Lee", Favourites());
    stored.Total = 40;
    stored.RoundPoints[1] = 40;
    main->Players().UpdatePlayerCount();
    TmdiBrackets* sheet = Open(12);
    sheet->txtName->setFocus();
    sheet->txtName->selectAll();
    Type(QStringLiteral("Leona"));
    Save();
    EXPECT_TRUE(TestPrompts().boxes.empty());
    ASSERT_EQ(main->Players().Count(), 1);
    EXPECT_EQ(stored.Name.str(), "Leona");
    EXPECT_EQ(stored.Id, 12);
    EXPECT_EQ(stored.Total, 40);
    EXPECT_EQ(stored.Modified, 1);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Picks for Lee"));
    EXPECT_EQ(sheet->txtName->text(), QStringLiteral("Leona"));  // not emptied
    EXPECT_EQ(sheet->PlayerId, 12);
    EXPECT_EQ(sheet->SheetModified, 0);
    EXPECT_EQ(main->pnlCount->text(), QStringLiteral("Players: 1"));
}

TEST_F(SheetSave, ResultsAreAddedOnceThenUpdatedAndNeverCounted)
{
    Store(3, "Max", Favourites());
    main->Players().UpdatePlayerCount();
    TmdiBrackets* sheet = Open(ResultsId);
    PickAll(sheet, AllUp());
    Save();
    EXPECT_TRUE(TestPrompts().boxes.empty());
    EXPECT_EQ(main->Players().HasResults, 1);
    ASSERT_NE(Find(ResultsId), nullptr);
    EXPECT_EQ(Find(ResultsId)->Name.str(), "RESULTS");
    EXPECT_EQ(main->Players().Count(), 2);
    EXPECT_EQ(main->pnlCount->text(), QStringLiteral("Players: 1"));
    EXPECT_EQ(sheet->PlayerId, ResultsId);  // the results sheet stays as it is
    EXPECT_EQ(sheet->Cell(63)->text(), Text(101));

    FocusCell(sheet, 63);
    Key(Qt::Key_Delete);
    TestPrompts().clear();
    Save();
    EXPECT_EQ(TestPrompts().texts(), QStringList{NoWinner});
    EXPECT_EQ(main->Players().Count(), 2);
    EXPECT_EQ(Find(ResultsId)->Picks[63], 0);
    EXPECT_EQ(main->pnlCount->text(), QStringLiteral("Players: 1"));
}

TEST_F(SheetSave, OpenStandingsScoreTheSavedEntryAtOnce)
{
    Store(ResultsId, "RESULTS", Favourites());
    main->ShowStandings(false);
    ASSERT_NE(main->Players().StandingsWindow, nullptr);
    TmdiBrackets* sheet = Open(0);
    Type(QStringLiteral("Ned"));
    PickAll(sheet, AllUp());
    Save();
    const TPlayer* entry = Find(4242);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Modified, 0);
    EXPECT_GT(entry->Total, 0);
}

TEST_F(SheetSave, ClosingAsksWhileThereAreChanges)
{
    struct Case {
        PromptAnswer answer;
        bool closed;
        bool stored;
    };
    for (const Case& c : {Case{PromptAnswer::Cancel, false, false}, Case{PromptAnswer::No, true, false},
                          Case{PromptAnswer::Yes, true, true}}) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        TestPrompts().clear();
        main->Players().Clear();
        TmdiBrackets* sheet = Open(0);
        QPointer<QMdiSubWindow> sub = qobject_cast<QMdiSubWindow*>(sheet->parentWidget());
        Type(QStringLiteral("Oli"));
        PickAll(sheet, AllUp());
        TestPrompts().answers = {c.answer};
        EXPECT_EQ(sub->close(), c.closed);
        EXPECT_EQ(TestPrompts().texts(), QStringList{SaveFirst});
        EXPECT_EQ(TestPrompts().boxes[0].buttons, PromptButtons::YesNoCancel);
        EXPECT_EQ(main->Players().Count(), c.stored ? 1 : 0);
        if (!c.closed) {
            EXPECT_EQ(sheet->SheetModified, 1);
            sheet->SheetModified = 0;
            sub->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(sub.isNull());
    }
}

TEST_F(SheetSave, CleanSheetClosesWithoutAsking)
{
    Store(8, "Pat", Favourites());
    QPointer<QWidget> sub = Open(8)->parentWidget();
    main->mnuClose->trigger();
    EXPECT_TRUE(TestPrompts().boxes.empty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sub.isNull());
}

TEST_F(SheetSave, ResultsClosedAtOnceAskToSave)
{
    Open(ResultsId);
    TestPrompts().answers = {PromptAnswer::Cancel};
    main->mnuClose->trigger();
    EXPECT_EQ(TestPrompts().texts(), QStringList{SaveFirst});
    EXPECT_EQ(main->FindSheetWindow(ResultsId), 0);
}

TEST_F(SheetSave, YesWithAnEmptyNameReportsAndKeepsTheSheetOpen)
{
    TmdiBrackets* sheet = Open(0);
    QPointer<QMdiSubWindow> sub = qobject_cast<QMdiSubWindow*>(sheet->parentWidget());
    FocusCell(sheet, 1);
    Key(Qt::Key_Up);
    TestPrompts().answers = {PromptAnswer::Yes};
    EXPECT_FALSE(sub->close()) << "closing would lose the picks that could not be saved";
    EXPECT_EQ(TestPrompts().texts(), (QStringList{SaveFirst, NoName}));
    EXPECT_EQ(main->Players().Count(), 0);
    EXPECT_EQ(sheet->SheetModified, 1);

    // Answering No then closes without saving.
    TestPrompts().clear();
    TestPrompts().answers = {PromptAnswer::No};
    EXPECT_TRUE(sub->close());
}

TEST_F(SheetSave, ProgramCloseAsksEachSheetAndCancelStopsIt)
{
    TmdiBrackets* first = Open(0);
    Type(QStringLiteral("Quinn"));
    TmdiBrackets* second = Open(0);
    Type(QStringLiteral("Ray"));
    ASSERT_NE(first, second);
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
    Open(0);
    main->mnuPlayerPrintPicks->trigger();
    EXPECT_TRUE(TestPrompts().boxes.empty());  // posted, not yet handled
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(TestPrompts().texts(), QStringList{QStringLiteral("Selections must be saved before they can be printing.")});

    TestPrompts().clear();
    Open(ResultsId);
    main->mnuPlayerPrintPicks->trigger();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(TestPrompts().texts(), QStringList{QStringLiteral("Selections must be saved before they can be printing.")});

    TestPrompts().clear();
    Store(21, "Sam", Favourites());
    Open(21);
    main->mnuPlayerPrintPicks->trigger();
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(TestPrompts().texts().filter(QStringLiteral("Selections")).isEmpty());
}

TEST_F(SheetSave, RoundTripThroughThePicksFile)
{
    ScriptedIds() = {777};
    TmdiBrackets* sheet = Open(0);
    Type(QStringLiteral("Tess \u00C9"));
    Key(Qt::Key_Tab);
    Type(QStringLiteral("128"));
    Key(Qt::Key_Tab);
    Key(Qt::Key_Space);
    Key(Qt::Key_Tab);
    ASSERT_EQ(FocusName(), QStringLiteral("g1"));
    // A mixed bracket: upsets in every other game, typed as the organiser would.
    std::vector<Qt::Key> keys;
    for (int n = 1; n <= 63; ++n) keys.push_back(n % 3 == 0 ? Qt::Key_Down : Qt::Key_Up);
    for (Qt::Key key : keys) Key(key);
    PickArray typed{};
    for (int n = 1; n <= 63; ++n) typed[std::size_t(n)] = sheet->Game(n).pick;
    main->mnuSavePicks->trigger();
    QCoreApplication::sendPostedEvents();
    ASSERT_TRUE(TestPrompts().boxes.empty()) << TestPrompts().texts().join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(main->close());
    EXPECT_TRUE(dir.exists("PICKS.HFD"));
    main.reset();

    StartMain();
    main->Players().LoadPlayers();
    ASSERT_EQ(main->Players().Count(), 1);
    TmdiBrackets* again = Open(777);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->windowTitle(), QStringLiteral("Picks for Tess \u00C9"));
    EXPECT_EQ(again->txtTiebreaker->text(), QStringLiteral("128"));
    EXPECT_TRUE(again->chkPaid->isChecked());
    for (int n = 1; n <= 63; ++n) {
        EXPECT_EQ(again->Game(n).pick, typed[std::size_t(n)]) << n;
        EXPECT_EQ(again->Cell(n)->text(), Text(typed[std::size_t(n)])) << n;
    }
    EXPECT_EQ(main->Players()[0].Complete, 1);
    EXPECT_EQ(again->SheetModified, 0);
}
