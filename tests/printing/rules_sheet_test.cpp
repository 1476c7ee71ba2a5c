#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "fixed_canvas.h"
#include "printing/print_texts.h"
#include "printing/rules_sheet.h"
#include "settings/settings.h"

namespace {
const std::string Dashes(125, '-');
using Values = std::map<std::pair<std::string, std::string>, std::string>;

std::vector<RulesLine> Build(const Values& values)
{
    MemorySettings settings;
    settings.values = values;
    TRegIniFile store(settings);
    auto lines = BuildRulesSheet(store);
    EXPECT_EQ(settings.values, values);  // the sheet only reads
    return lines;
}
}  // namespace

TEST(RulesSheet, EmptyStoreGivesTheDefaultSheet)
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
    const auto lines = Build({});
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i << ": " << lines[i].text;
}

TEST(RulesSheet, SettingsChooseTheLines)
{
    struct Case {
        const char* what;
        Values values;
        std::vector<std::string> present;  // consecutive lines, in this order
        std::vector<std::string> absent;   // no line contains any of these
        bool whole = false;                // present is the whole sheet
        bool italic = true;                // italic lines may appear
    } cases[] = {
        {"payout rows stop at the first empty description",
         {{{"Rules", "PayDesc1"}, "1st Place"}, {{"Rules", "PayPct1"}, "65%"}, {{"Rules", "PayDesc2"}, "2nd Place"},
          {{"Rules", "PayDesc3"}, ""}, {{"Rules", "PayPct3"}, "10%"}, {{"Rules", "PayDesc4"}, "4th Place"}},
         {"* PAYOUT", "1st Place: 65%", "2nd Place: ", "", "* SCORING"},
         {"4th Place"}},
        {"eight payout rows at most",
         [] {
             Values v;
             for (int n = 1; n <= 9; ++n) v[{"Rules", "PayDesc" + std::to_string(n)}] = "Row " + std::to_string(n);
             return v;
         }(),
         {"Row 8: ", "", "* SCORING"},
         {"Row 9"}},
        {"round values feed the example; an unreadable one takes its default",
         {{{"Scoring", "Round1"}, "3"}, {{"Scoring", "Round2"}, "abc"}, {{"Scoring", "Round6"}, "-10"},
          {{"Scoring", "MultiplybySeed"}, "2"}},
         {"For example, if a #2 seed wins in the first round, you get 6 points.",
          "If a #2 seed wins in the second round, you would get 4 points and so on.", "Round 1: 3pt(s)  X seed number.",
          "Round 2: 2pt(s)  X seed number."},
         {}},
        {"without the seed multiplier",
         {{{"Scoring", "MultiplybySeed"}, "0"}},
         {"* SCORING", "Round 1: 1pt(s)  for each correct game.", "Round 2: 2pt(s)  for each correct game.",
          "Round 3: 3pt(s)  for each correct game.", "Round 4: 4pt(s)  for each correct game.",
          "Round 5: 5pt(s)  for each correct game.", "Round 6: 6pt(s)  for each correct game.", ""},
         {"seed"},
         false,
         false},
        {"scoring switched off hides the whole block",
         {{{"Rules", "PrintScoring"}, "0"}, {{"Scoring", "MultiplybySeed"}, "1"}},
         {"* PAYOUT", "", "* TIEBREAKER: Total # of points in Championship game."},
         {"SCORING", "Round ", "seed"}},
        {"stored texts replace the defaults",
         {{{"Rules", "Cost"}, ""}, {{"Rules", "Tiebreaker"}, "Points in the final?"}, {{"Rules", "Deadline"}, "Friday"},
          {{"Rules", "ReturnTo"}, "Me"}, {{"Rules", "PrintDeadline"}, "x"},  // unreadable switch: shown
          {{"Rules", "PrintPayout"}, "0"}, {{"Rules", "PrintScoring"}, "0"}},
         {"* COST PER ENTRY: ", "", "* TIEBREAKER: Points in the final?", "", "* DEADLINE: Friday", "", "* RETURN TO: Me", ""},
         {"Thursday"}},
        {"every switch off leaves the frame",
         [] {
             Values v{{{"Rules", "PayDesc1"}, "1st Place"}};
             for (const char* name :
                  {"PrintCost", "PrintPayout", "PrintScoring", "PrintTiebreaker", "PrintDeadline", "PrintReturnTo"})
                 v[{"Rules", name}] = "0";
             return v;
         }(),
         {PrintPromoLine, Dashes, "Rules for the Hoopfall Pool", "", "", Dashes, PrintPromoLine},
         {},
         true},
    };
    for (const Case& c : cases) {
        const std::vector<RulesLine> lines = Build(c.values);
        std::vector<std::string> texts;
        for (const RulesLine& line : lines) texts.push_back(line.text);
        EXPECT_NE(std::search(texts.begin(), texts.end(), c.present.begin(), c.present.end()), texts.end()) << c.what;
        for (const std::string& text : texts)
            for (const std::string& gone : c.absent) EXPECT_EQ(text.find(gone), std::string::npos) << c.what << ": " << text;
        if (c.whole) EXPECT_EQ(texts, c.present) << c.what;
        if (!c.italic)
            for (const RulesLine& line : lines) EXPECT_EQ(line.style & Italic, 0) << c.what << ": " << line.text;
    }
}

TEST(RulesSheet, WrittenAsOneJobWithItsFontsAndPages)
{
    const auto lines = Build({{{"Rules", "ReturnTo"}, std::string(200, 'r')}});
    FixedCanvas canvas(1200, 400);  // 100 twelve-point characters a line; a short page
    WriteRulesSheet(canvas, lines);
    EXPECT_EQ(std::count(canvas.events.begin(), canvas.events.end(), "begin"), 1);
    EXPECT_GE(std::count(canvas.events.begin(), canvas.events.end(), "page"), 1);
    EXPECT_EQ(canvas.events.back(), "end");
    const auto* title = canvas.find("Rules for the Hoopfall Pool");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->points, 18);
    EXPECT_EQ(title->style, Bold | Underline);
    // The long return-to text goes on on the next lines, cut at a character.
    const auto* first = canvas.find("* RETURN TO: " + std::string(87, 'r'));
    const auto* second = canvas.find(std::string(100, 'r'));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->x, 0);
    EXPECT_TRUE(second->page > first->page || second->y > first->y);
    EXPECT_NE(canvas.find(std::string(13, 'r')), nullptr);
    // The dashed rule (1250 pixels at 10 points) is wider than the page too.
    EXPECT_NE(canvas.find(std::string(120, '-')), nullptr);
    EXPECT_NE(canvas.find(std::string(5, '-')), nullptr);
}
