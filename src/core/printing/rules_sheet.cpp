#include "core/printing/rules_sheet.h"

#include "core/pool/bracket.h"
#include "core/printing/page_layout.h"
#include "core/printing/print_texts.h"
#include "core/settings/settings.h"

using namespace settings;

std::vector<RulesLine> buildRulesSheet(SettingsFile& store)
{
    std::vector<RulesLine> lines;
    int points = 10;
    int style = Regular;
    auto font = [&](int p, int s) {
        points = p;
        style = s;
    };
    auto line = [&](const std::string& text) { lines.push_back({points, style, text}); };

    font(10, Regular);
    line(PrintPromoLine);
    line(RulesDashedRule);
    font(18, Bold | Underline);
    line("Rules for the Hoopfall Pool");
    line({});
    font(12, Regular);
    if (store.readBool(Rules, PrintCost, DefaultPrintSwitch))
        line("* COST PER ENTRY: " + store.readString(Rules, Cost, DefaultCost));
    if (store.readBool(Rules, PrintPayout, DefaultPrintSwitch)) {
        line({});
        line("* PAYOUT");
        // Rows end at the first empty description, whatever the later rows hold.
        for (int n = 1; n <= PayoutRows; ++n) {
            const std::string desc = store.readString(Rules, payDescName(n), {});
            if (desc.empty()) break;
            line(desc + ": " + store.readString(Rules, payPctName(n), {}));
        }
    }
    if (store.readBool(Rules, PrintScoring, DefaultPrintSwitch)) {
        line({});
        line("* SCORING");
        std::string ending = " for each correct game.";
        if (store.readBool(Scoring, MultiplybySeed, DefaultMultiplyBySeed)) {
            font(12, Italic);
            line("Each round value is multiplied by the seed of the winning team.");
            line("For example, if a #2 seed wins in the first round, you get " +
                 std::to_string(2LL * store.readInteger(Scoring, roundName(1), defaultRoundValue(1))) + " points.");
            line("If a #2 seed wins in the second round, you would get " +
                 std::to_string(2LL * store.readInteger(Scoring, roundName(2), defaultRoundValue(2))) +
                 " points and so on.");
            font(12, Regular);
            ending = " X seed number.";
        }
        for (int n = 1; n <= RoundCount; ++n)
            line("Round " + std::to_string(n) + ": " +
                 std::to_string(store.readInteger(Scoring, roundName(n), defaultRoundValue(n))) + "pt(s) " + ending);
    }
    if (store.readBool(Rules, PrintTiebreaker, DefaultPrintSwitch)) {
        line({});
        line("* TIEBREAKER: " + store.readString(Rules, Tiebreaker, DefaultTiebreaker));
    }
    if (store.readBool(Rules, PrintDeadline, DefaultPrintSwitch)) {
        line({});
        line("* DEADLINE: " + store.readString(Rules, Deadline, DefaultDeadline));
    }
    if (store.readBool(Rules, PrintReturnTo, DefaultPrintSwitch)) {
        line({});
        line("* RETURN TO: " + store.readString(Rules, ReturnTo, DefaultReturnTo));
    }
    font(10, Regular);
    line({});
    line(RulesDashedRule);
    line(PrintPromoLine);
    return lines;
}

void writeRulesSheet(PageCanvas& canvas, const std::vector<RulesLine>& lines)
{
    PrinterLineWriter writer(canvas);
    for (const RulesLine& line : lines) {
        canvas.setFont(line.points, line.style);
        writer.writeLine(line.text);
    }
    writer.close();
}
