#include <gtest/gtest.h>

#include "fixed_canvas.h"
#include "printing/print_texts.h"
#include "printing/rules_sheet.h"
#include "settings/settings.h"

namespace {
const std::string Dashes(125, '-');

struct RulesSheetTest : ::testing::Test {
    MemorySettings settings;
    void set(const std::string& section, const std::string& name, const std::string& value)
    {
        settings.values[{section, name}] = value;
    }
    std::vector<RulesLine> build()
    {
        TRegIniFile store(settings);
        return BuildRulesSheet(store);
    }
    std::vector<std::string> texts()
    {
        std::vector<std::string> list;
        for (const RulesLine& line : build()) list.push_back(line.text);
        return list;
    }
    void setAllSwitches(const std::string& value)
    {
        for (const char* name : {"PrintCost", "PrintPayout", "PrintScoring", "PrintTiebreaker", "PrintDeadline", "PrintReturnTo"})
            set("Rules", name, value);
    }
};
}  // namespace

TEST_F(RulesSheetTest, EmptyStoreGivesTheDefaultSheet)
{
    const std::vector<RulesLine> expected = {
        {10, Regular, PrintPromoLine},
        {10, Regular, Dashes},
        {18, Bold | Underline, "Rules for the Hoopfall Pool"},
        {18, Bold | Underline, ""},
        {12, Regular, "* COST PER ENTRY: $5"},
        {12, Regular, ""},
        {12, Regular, "* PAYOUT"},
        {12, Regular, ""},
        {12, Regular, "* SCORING"},
        {12, Italic, "Each round value is multiplied by the seed of the winning team."},
        {12, Italic, "For example, if a #2 seed wins in the first round, you get 2 points."},
        {12, Italic, "If a #2 seed wins in the second round, you would get 4 points and so on."},
        {12, Regular, "Round 1: 1pt(s)  X seed number."},
        {12, Regular, "Round 2: 2pt(s)  X seed number."},
        {12, Regular, "Round 3: 3pt(s)  X seed number."},
        {12, Regular, "Round 4: 4pt(s)  X seed number."},
        {12, Regular, "Round 5: 5pt(s)  X seed number."},
        {12, Regular, "Round 6: 6pt(s)  X seed number."},
        {12, Regular, ""},
        {12, Regular, "* TIEBREAKER: Total # of points in Championship game."},
        {12, Regular, ""},
        {12, Regular, "* DEADLINE: Thursday, March 13, NOON"},
        {12, Regular, ""},
        {12, Regular, "* RETURN TO: John Doe in accounting or fax to (555) 555-1234"},
        {10, Regular, ""},
        {10, Regular, Dashes},
        {10, Regular, PrintPromoLine},
    };
    const auto lines = build();
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].text, expected[i].text) << "line " << i;
        EXPECT_EQ(lines[i].points, expected[i].points) << lines[i].text;
        EXPECT_EQ(lines[i].style, expected[i].style) << lines[i].text;
    }
    // Reading leaves the values as they were: the sheet writes nothing.
    EXPECT_TRUE(settings.values.empty());
}

TEST_F(RulesSheetTest, PayoutRowsStopAtTheFirstEmptyDescription)
{
    set("Rules", "PayDesc1", "1st Place");
    set("Rules", "PayPct1", "65%");
    set("Rules", "PayDesc2", "2nd Place");  // share left empty
    set("Rules", "PayDesc3", "");
    set("Rules", "PayPct3", "10%");
    set("Rules", "PayDesc4", "4th Place");
    set("Rules", "PayPct4", "5%");
    const auto list = texts();
    const auto payout = std::find(list.begin(), list.end(), "* PAYOUT");
    ASSERT_NE(payout, list.end());
    EXPECT_EQ(*(payout + 1), "1st Place: 65%");
    EXPECT_EQ(*(payout + 2), "2nd Place: ");
    EXPECT_EQ(*(payout + 3), "");  // the scoring block's empty line follows
    EXPECT_EQ(std::count(list.begin(), list.end(), "4th Place: 5%"), 0);
}

TEST_F(RulesSheetTest, EightPayoutRowsAtMost)
{
    for (int n = 1; n <= 8; ++n) set("Rules", "PayDesc" + std::to_string(n), "Row " + std::to_string(n));
    const auto list = texts();
    EXPECT_EQ(std::count(list.begin(), list.end(), "Row 8: "), 1);
}

TEST_F(RulesSheetTest, RoundValuesAndTheSeedExample)
{
    set("Scoring", "Round1", "3");
    set("Scoring", "Round2", "abc");  // not a number: the default
    set("Scoring", "Round6", "-10");
    set("Scoring", "MultiplybySeed", "2");  // any non-zero number is true
    const auto list = texts();
    EXPECT_EQ(std::count(list.begin(), list.end(), "For example, if a #2 seed wins in the first round, you get 6 points."), 1);
    EXPECT_EQ(std::count(list.begin(), list.end(), "If a #2 seed wins in the second round, you would get 4 points and so on."), 1);
    EXPECT_EQ(std::count(list.begin(), list.end(), "Round 1: 3pt(s)  X seed number."), 1);
    EXPECT_EQ(std::count(list.begin(), list.end(), "Round 6: -10pt(s)  X seed number."), 1);
}

TEST_F(RulesSheetTest, WithoutTheSeedMultiplierNoItalicLines)
{
    set("Scoring", "MultiplybySeed", "0");
    const auto lines = build();
    for (const RulesLine& line : lines) EXPECT_EQ(line.style & Italic, 0) << line.text;
    int rounds = 0;
    for (const RulesLine& line : lines)
        if (line.text.rfind("Round ", 0) == 0) {
            ++rounds;
            EXPECT_EQ(line.text, "Round " + std::to_string(rounds) + ": " + std::to_string(rounds) +
                                     "pt(s)  for each correct game.");
        }
    EXPECT_EQ(rounds, 6);
}

TEST_F(RulesSheetTest, ScoringSwitchedOffHidesTheWholeBlock)
{
    set("Rules", "PrintScoring", "0");
    set("Scoring", "MultiplybySeed", "1");
    for (const std::string& text : texts()) {
        EXPECT_EQ(text.find("SCORING"), std::string::npos);
        EXPECT_EQ(text.rfind("Round ", 0), std::string::npos) << text;
        EXPECT_EQ(text.find("seed"), std::string::npos) << text;
    }
}

TEST_F(RulesSheetTest, EverySwitchOffLeavesTheFrame)
{
    setAllSwitches("0");
    set("Rules", "PayDesc1", "1st Place");
    EXPECT_EQ(texts(), (std::vector<std::string>{PrintPromoLine, Dashes, "Rules for the Hoopfall Pool", "", "", Dashes,
                                                 PrintPromoLine}));
}

TEST_F(RulesSheetTest, StoredTextsReplaceTheDefaults)
{
    set("Rules", "Cost", "");
    set("Rules", "Tiebreaker", "Points in the final?");
    set("Rules", "Deadline", "Friday");
    set("Rules", "ReturnTo", "Me");
    set("Rules", "PrintDeadline", "x");  // unreadable: the default, shown
    const auto list = texts();
    for (const char* line : {"* COST PER ENTRY: ", "* TIEBREAKER: Points in the final?", "* DEADLINE: Friday", "* RETURN TO: Me"})
        EXPECT_EQ(std::count(list.begin(), list.end(), line), 1) << line;
}

TEST_F(RulesSheetTest, WrittenAsOneJobWithItsFontsAndPages)
{
    set("Rules", "ReturnTo", std::string(200, 'r'));
    FixedCanvas canvas(1200, 400);  // 100 twelve-point characters a line; a short page
    WriteRulesSheet(canvas, build());
    EXPECT_EQ(canvas.events.front(), "begin");
    EXPECT_EQ(canvas.events.back(), "end");
    EXPECT_GE(std::count(canvas.events.begin(), canvas.events.end(), "page"), 1);
    EXPECT_EQ(std::count(canvas.events.begin(), canvas.events.end(), "begin"), 1);
    const auto* title = canvas.find("Rules for the Hoopfall Pool");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->points, 18);
    EXPECT_EQ(title->style, Bold | Underline);
    // The long return-to text goes on on the next line, cut at a character.
    const auto* first = canvas.find("* RETURN TO: " + std::string(87, 'r'));
    ASSERT_NE(first, nullptr);
    const auto* second = canvas.find(std::string(100, 'r'));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->x, 0);
    EXPECT_TRUE(second->page > first->page || second->y > first->y);
    EXPECT_NE(canvas.find(std::string(13, 'r')), nullptr);
    // The dashed rule (1250 pixels at 10 points) is wider than the page too.
    EXPECT_NE(canvas.find(std::string(120, '-')), nullptr);
    EXPECT_NE(canvas.find(std::string(5, '-')), nullptr);
}
