#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "core/printing/print_texts.h"
#include "core/printing/rules_sheet.h"
#include "core/settings/settings.h"
#include "fixed_canvas.h"

namespace {
const std::string Dashes(125, '-');
using Values = std::map<std::pair<std::string, std::string>, std::string>;
using Texts = std::vector<std::string>;

std::vector<RulesLine> build(const Values& values)
{
    MemorySettings settings;
    settings.values = values;
    SettingsFile store(settings);
    auto lines = buildRulesSheet(store);
    EXPECT_EQ(settings.values, values);  // the sheet only reads
    return lines;
}

Texts roundLines(const std::string& ending)
{
    Texts lines;
    for (int n = 1; n <= 6; ++n)
        lines.push_back("Round " + std::to_string(n) + ": " + std::to_string(n) + "pt(s) " + ending);
    return lines;
}
}  // namespace

TEST(RulesSheet, EmptyStoreGivesTheDefaultSheet)
{
    std::vector<RulesLine> expected = {
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
        {12, Italic, "If a #2 seed wins in the second round, you would get 4 points and so on."}};
    for (const std::string& text : roundLines(" X seed number.")) expected.push_back({12, Regular, text});
    for (const char* text :
         {"", "* TIEBREAKER: Total # of points in Championship game.", "", "* DEADLINE: Thursday, March 13, NOON", "",
          "* RETURN TO: John Doe in accounting or fax to (555) 555-1234"})
        expected.push_back({12, Regular, text});
    for (const std::string& text : {std::string(), Dashes, PrintPromoLine}) expected.push_back({10, Regular, text});
    EXPECT_EQ(build({}), expected);
}

TEST(RulesSheet, SettingsChooseTheLines)
{
    Values rows, allOff{{{"Rules", "PayDesc1"}, "1st Place"}};
    for (int n = 1; n <= 9; ++n) rows[{"Rules", "PayDesc" + std::to_string(n)}] = "Row " + std::to_string(n);
    for (const char* name :
         {"PrintCost", "PrintPayout", "PrintScoring", "PrintTiebreaker", "PrintDeadline", "PrintReturnTo"})
        allOff[{"Rules", name}] = "0";
    const Values noSeed{{{"Scoring", "MultiplybySeed"}, "0"}};
    Texts noSeedLines = roundLines(" for each correct game.");
    noSeedLines.insert(noSeedLines.begin(), "* SCORING");
    struct Case {
        const char* what;
        Values values;
        Texts present;      // consecutive lines, in this order (with whole: the whole sheet)
        Texts absent = {};  // no line contains any of these
        bool whole = false;
    } cases[] = {
        {"payout rows stop at the first empty description",
         {{{"Rules", "PayDesc1"}, "1st Place"},
          {{"Rules", "PayPct1"}, "65%"},
          {{"Rules", "PayDesc2"}, "2nd Place"},
          {{"Rules", "PayDesc3"}, ""},
          {{"Rules", "PayPct3"}, "10%"},
          {{"Rules", "PayDesc4"}, "4th Place"}},
         {"* PAYOUT", "1st Place: 65%", "2nd Place: ", "", "* SCORING"},
         {"4th Place"}},
        {"eight payout rows at most", rows, {"Row 8: ", "", "* SCORING"}, {"Row 9"}},
        {"round values feed the example; an unreadable one takes its default",
         {{{"Scoring", "Round1"}, "3"}, {{"Scoring", "Round2"}, "abc"}, {{"Scoring", "MultiplybySeed"}, "2"}},
         {"For example, if a #2 seed wins in the first round, you get 6 points.",
          "If a #2 seed wins in the second round, you would get 4 points and so on.", "Round 1: 3pt(s)  X seed number.",
          "Round 2: 2pt(s)  X seed number."}},
        {"without the seed multiplier", noSeed, noSeedLines, {"seed"}},
        {"scoring switched off hides the whole block",
         {{{"Rules", "PrintScoring"}, "0"}, {{"Scoring", "MultiplybySeed"}, "1"}},
         {"* PAYOUT", "", "* TIEBREAKER: Total # of points in Championship game."},
         {"SCORING", "Round ", "seed"}},
        {"stored texts replace the defaults",
         {{{"Rules", "Cost"}, ""},
          {{"Rules", "Tiebreaker"}, "Points?"},
          {{"Rules", "Deadline"}, "Friday"},
          {{"Rules", "ReturnTo"}, "Me"},
          {{"Rules", "PrintDeadline"}, "x"},  // unreadable switch: shown
          {{"Rules", "PrintPayout"}, "0"},
          {{"Rules", "PrintScoring"}, "0"}},
         {"* COST PER ENTRY: ", "", "* TIEBREAKER: Points?", "", "* DEADLINE: Friday", "", "* RETURN TO: Me", ""},
         {"Thursday"}},
        {"every switch off leaves the frame",
         allOff,
         {PrintPromoLine, Dashes, "Rules for the Hoopfall Pool", "", "", Dashes, PrintPromoLine},
         {},
         true},
    };
    for (const Case& c : cases) {
        Texts texts;
        bool italic = false;
        for (const RulesLine& line : build(c.values)) texts.push_back(line.text), italic |= (line.style & Italic) != 0;
        EXPECT_NE(std::search(texts.begin(), texts.end(), c.present.begin(), c.present.end()), texts.end()) << c.what;
        for (const std::string& text : texts)
            for (const std::string& gone : c.absent)
                EXPECT_EQ(text.find(gone), std::string::npos) << c.what << ": " << text;
        EXPECT_EQ(c.whole ? texts : c.present, c.present) << c.what;
        EXPECT_FALSE(c.values == noSeed && italic) << c.what;
    }
}

TEST(RulesSheet, WrittenAsOneJobInItsFontsOverMorePages)
{
    FixedCanvas canvas(1200, 400);  // 100 twelve-point characters a line; a short page
    writeRulesSheet(canvas, build({{{"Rules", "ReturnTo"}, std::string(200, 'r')}}));
    EXPECT_EQ(canvas.events, (Texts{"begin", "page", "page", "end"}));
    const auto* title = canvas.find("Rules for the Hoopfall Pool");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ((std::vector<int>{title->points, title->style}), (std::vector<int>{18, Bold | Underline}));
    // The long return-to text and the dashed rule (1250 pixels at 10 points) go on on the next
    // lines, cut at a character.
    for (const std::string& piece : {"* RETURN TO: " + std::string(87, 'r'), std::string(100, 'r'),
                                     std::string(13, 'r'), std::string(120, '-'), std::string(5, '-')})
        EXPECT_NE(canvas.find(piece), nullptr) << piece;
}
