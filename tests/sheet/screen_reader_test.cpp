// What a screen reader says for the bracket sheet's controls and the Player Properties boxes.
#include <QAccessible>

#include "gui/players/player_list_model.h"
#include "gui/players/player_properties.h"
#include "sheet_fixture.h"

namespace {
QString spoken(QWidget* control)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face ? face->text(QAccessible::Name) : QStringLiteral("(no interface)");
}

using ScreenReader = SheetTest;

TEST_F(ScreenReader, NamesTheSheetsGamesAndBoxesAndThePropertiesBoxes)
{
    PickArray real{};
    real[1] = 101;
    store(ResultsId, ResultsName, real);
    store(7, "Kim", {});

    BracketSheet* sheet = open(7);
    ASSERT_TRUE(sheet);
    const auto game = [&sheet](int n) { return spoken(gameCell(sheet, n)); };
    EXPECT_EQ(spoken(nameBox(sheet)), QStringLiteral("Name:"));
    EXPECT_EQ(spoken(tiebreakerBox(sheet)), QStringLiteral("Tiebreaker:"));
    EXPECT_EQ(game(1), QStringLiteral("Game 1, East: T101 or T116, no pick"));
    EXPECT_EQ(game(9), QStringLiteral("Game 9, West: T201 or T216, no pick"));
    EXPECT_EQ(game(33), QStringLiteral("Game 33, East: not yet known"));
    EXPECT_EQ(game(61), QStringLiteral("Game 61, Semi-final: not yet known"));
    EXPECT_EQ(game(63), QStringLiteral("Game 63, Championship: not yet known"));
    focusCell(sheet, 1);
    key(Qt::Key_Down);
    EXPECT_EQ(game(1), QStringLiteral("Game 1, East: T101 or T116, picked T116"));
    EXPECT_EQ(game(33), QStringLiteral("Game 33, East: T116 or not yet known, no pick"));
    focusCell(sheet, 1);
    key(Qt::Key_Delete);
    EXPECT_EQ(game(1), QStringLiteral("Game 1, East: T101 or T116, no pick"));

    // The What If sheet says in words which winners are real and which are chosen there.
    sheet->discardChanges();
    main->openWhatIf();
    QCoreApplication::processEvents();
    sheet = qobject_cast<BracketSheet*>(main->activeChild());
    ASSERT_TRUE(sheet && sheet->isWhatIf());
    focusCell(sheet, 2);
    key(Qt::Key_Up);
    EXPECT_EQ(game(1), QStringLiteral("Game 1, East: T101 or T116, won by T101"));
    EXPECT_EQ(game(2), QStringLiteral("Game 2, East: T108 or T109, what-if winner T108"));
    EXPECT_EQ(game(33), QStringLiteral("Game 33, East: T101 or T108, no winner yet"));

    // Each points box by its own label, not by the group around them.
    PlayerProperties properties(nullptr, main->session().players(), 7);
    QStringList names;
    for (const char* box : {"txtR1", "txtR2", "txtR3", "txtR4", "txtR5", "txtR6", "txtTotal", "txtPot"})
        names << spoken(::Find<QLineEdit>(properties, box));
    EXPECT_EQ(names, (QStringList{"Round 1:", "Round 2:", "Round 3:", "Round 4:", "Round 5:", "Round 6:", "Total Pts:",
                                  "Potential Pts:"}));
    // The Player Manager's list shows paid and complete by icon and colour; the reader says them.
    PlayerListModel list;
    list.fill(main->session().players(), AllPlayers);
    EXPECT_EQ(list.index(0).data(Qt::AccessibleDescriptionRole), QStringLiteral("Not paid, picks not complete"));
}
}  // namespace
