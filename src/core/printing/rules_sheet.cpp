#include "core/printing/rules_sheet.h"

#include "core/pool/bracket.h"
#include "core/printing/page_layout.h"
#include "core/printing/print_texts.h"
#include "core/settings/settings.h"

using namespace settings;

std::vector<RulesLine> buildRulesSheet(TRegIniFile& store)
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
    if (store.ReadBool(Rules, PrintCost, DefaultPrintSwitch))
        line("* COST PER ENTRY: " + store.ReadString(Rules, Cost, DefaultCost));
    if (store.ReadBool(Rules, PrintPayout, DefaultPrintSwitch)) {
        line({});
        line("* PAYOUT");
        // Rows end at the first empty description, whatever the later rows hold.
        for (int n = 1; n <= PayoutRows; ++n) {
            const std::string desc = store.ReadString(Rules, payDescName(n), {});
            if (desc.empty()) break;
            line(desc + ": " + store.ReadString(Rules, payPctName(n), {}));
        }
    }
    if (store.ReadBool(Rules, PrintScoring, DefaultPrintSwitch)) {
        line({});
        line("* SCORING");
        std::string ending = " for each correct game.";
        if (store.ReadBool(Scoring, MultiplybySeed, DefaultMultiplyBySeed)) {
            font(12, Italic);
            line("Each round value is multiplied by the seed of the winning team.");
            line("For example, if a #2 seed wins in the first round, you get " +
                 std::to_string(2LL * store.ReadInteger(Scoring, roundName(1), defaultRoundValue(1))) + " points.");
            line("If a #2 seed wins in the second round, you would get " +
                 std::to_string(2LL * store.ReadInteger(Scoring, roundName(2), defaultRoundValue(2))) +
                 " points and so on.");
            font(12, Regular);
            ending = " X seed number.";
        }
        for (int n = 1; n <= RoundCount; ++n)
            line("Round " + std::to_string(n) + ": " +
                 std::to_string(store.ReadInteger(Scoring, roundName(n), defaultRoundValue(n))) + "pt(s) " + ending);
    }
    if (store.ReadBool(Rules, PrintTiebreaker, DefaultPrintSwitch)) {
        line({});
        line("* TIEBREAKER: " + store.ReadString(Rules, Tiebreaker, DefaultTiebreaker));
    }
    if (store.ReadBool(Rules, PrintDeadline, DefaultPrintSwitch)) {
        line({});
        line("* DEADLINE: " + store.ReadString(Rules, Deadline, DefaultDeadline));
    }
    if (store.ReadBool(Rules, PrintReturnTo, DefaultPrintSwitch)) {
        line({});
        line("* RETURN TO: " + store.ReadString(Rules, ReturnTo, DefaultReturnTo));
    }
    font(10, Regular);
    line({});
    line(RulesDashedRule);
    line(PrintPromoLine);
    return lines;
}

void writeRulesSheet(IPageCanvas& canvas, const std::vector<RulesLine>& lines)
{
    PrinterLineWriter writer(canvas);
    for (const RulesLine& line : lines) {
        canvas.setFont(line.points, line.style);
        writer.writeLine(line.text);
    }
    writer.close();
}
