// A key held down past the keyboard's repeat delay, typed on a real X server: the server repeats
// it as pairs of a release and a press, and Qt marks only some of them as repeats.
#include "sheet_fixture.h"
#include "support/real_keys.h"

namespace {
struct Hold {
    const char* key;  // as xdotool names it
    bool fullSheet;   // the sheet starts with every game picked
    TeamCode pick;    // game 3 afterwards (105 against 112)
};
}  // namespace

class SheetHeldKey : public SheetTest, public ::testing::WithParamInterface<Hold> {};

TEST_P(SheetHeldKey, ActsOnceWhenLetGo)
{
    ASSERT_TRUE(onRealX()) << "runs under with_xvfb.sh";
    const Hold& hold = GetParam();
    const PickArray before = hold.fullSheet ? favourites() : PickArray{};
    if (hold.fullSheet) store(7, "Ann", before);
    BracketSheet* sheet = open(hold.fullSheet ? 7 : 0);
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    focusCell(sheet, 3);

    ASSERT_TRUE(runXdotool(QStringLiteral("xdotool keydown %1; sleep 1.5; xdotool keyup %1").arg(hold.key)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet->picks().pick(3) == hold.pick; }));
    QTest::qWait(300);  // anything still to come from the hold has come

    PickArray after = before;
    after[3] = hold.pick;
    EXPECT_EQ(picksOf(sheet), after);
    EXPECT_EQ(cellTexts(sheet), textsOf(after));
    EXPECT_EQ(focusName(), QStringLiteral("g4"));
}

INSTANTIATE_TEST_SUITE_P(Keys, SheetHeldKey,
                         ::testing::Values(Hold{"Up", false, 105}, Hold{"Down", false, 112}, Hold{"Delete", true, 0}),
                         [](const ::testing::TestParamInfo<Hold>& info) { return std::string(info.param.key); });
