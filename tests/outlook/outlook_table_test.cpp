// The outlook as text: order, figures, quoting and the page, from results made by hand.
#include <gtest/gtest.h>

#include "core/outlook/outlook_table.h"

namespace {
using namespace outlook;

ParticipantOutlook Row(int total, int best, int worst, bool canWin, double win, double money, bool bestExact = true,
                       bool worstExact = true, bool canWinExact = true)
{
    ParticipantOutlook row;
    row.finalTotal = total;
    row.bestFinish = best;
    row.worstFinish = worst;
    row.canWin = canWin;
    row.winPercent = win;
    row.moneyPercent = money;
    row.bestExact = bestExact;
    row.worstExact = worstExact;
    row.canWinExact = canWinExact;
    row.finishesExact = bestExact && worstExact;
    return row;
}

OutlookResult sample()
{
    OutlookResult result;
    result.method = OutlookMethod::Exact;
    result.remainingGames = 2;
    result.outcomes = 4;
    // Each unproven figure is marked, not its row.
    result.rows = {Row(10, 3, 4, false, 0, 12.345, false, false, false), Row(30, 1, 2, true, 62.5, 100),
                   Row(30, 1, 3, true, 37.5, 87.65, true, false)};
    return result;
}

TEST(OutlookTable, RowsByTotalTiesInListOrderAsTabText)
{
    const OutlookTable table(sample(), {"Low", "=SUM(A1)", "Bob, \"Jr\""});
    EXPECT_EQ(outlookText(table, OutlookFormat::Tab, "\n"),
              "#\tName\tTotal Pts\tBest Finish\tWorst Finish\tCan Win\tWin %\tMoney %\n"
              "1\t'=SUM(A1)\t30\t1\t2\tYes\t62.5\t100.0\n"
              "2\tBob, \"Jr\"\t30\t1\t3*\tYes\t37.5\t87.7\n"
              "3\tLow\t10\t3*\t4*\tNo*\t0.0\t12.3\n");
    EXPECT_EQ(table.summary(), "Exact over 4 outcomes (2 games left); * 3 finishes not proven");
}

TEST(OutlookTable, CommaTextQuotesAndPageEscapes)
{
    const OutlookTable table(sample(), {"Low", "<b>&", "Bob, \"Jr\""});
    const std::string csv = outlookText(table, OutlookFormat::Comma, "\r\n");
    EXPECT_NE(csv.find("2,\"Bob, \"\"Jr\"\"\",30,1,3*,Yes,37.5,87.7\r\n"), std::string::npos) << csv;
    const std::string page = outlookHtml(table, "As of: 03/07/2024");
    EXPECT_NE(page.find("<meta charset=\"windows-1252\">"), std::string::npos);
    EXPECT_NE(page.find("<td>&lt;b&gt;&amp;</td>"), std::string::npos) << page;
    EXPECT_EQ(page.find("href"), std::string::npos);
    EXPECT_EQ(page.find("<b>&"), std::string::npos);
}

TEST(OutlookTable, SimulatedSummarySaysHowMany)
{
    OutlookResult result = sample();
    result.method = OutlookMethod::Simulated;
    result.tournaments = 100000;
    result.largestHalfInterval = 0.314;
    result.remainingGames = 47;
    for (auto& row : result.rows) row.bestExact = row.worstExact = row.canWinExact = true;
    EXPECT_EQ(OutlookTable(result, {"a", "b", "c"}).summary(),
              "Estimated from 100000 tournaments (47 games left): chances within 0.3 points at 95%");
    // Why not exact: the predicted time, in a unit that reads at a glance.
    for (const auto& [seconds, text] : {std::pair<double, std::string>{2410, "40 minutes"},
                                        {90, "2 minutes"},
                                        {1.2e7, "139 days"},
                                        {5400, "2 hours"},
                                        {40, "40 seconds"},
                                        {7.3e4, "20 hours"}}) {
        result.exactSeconds = seconds;
        const std::string summary = OutlookTable(result, {"a", "b", "c"}).summary();
        EXPECT_EQ(summary.substr(summary.find(';')), "; exact would take about " + text) << seconds;
    }
}

TEST(OutlookTable, WhoPickedWhom)
{
    OutlookInput input;
    // Every game but the championship played, by the better seed: the four 1 seeds' semi-final
    // winners meet in game 63.
    for (int g = 1; g < GameCount; ++g) {
        const GamePair pair = teamsOfGame(input.results, g);
        input.results[std::size_t(g)] = seedOfCode(pair.a) < seedOfCode(pair.b) ? pair.a : pair.b;
    }
    const GamePair final = teamsOfGame(input.results, 63);
    for (TeamCode champion : {final.a, final.a, final.a, final.b}) {
        OutlookParticipant p;
        p.picks = input.results;
        p.picks[63] = champion;
        input.participants.push_back(p);
    }
    const PickedShares shares = pickedShares(input);
    ASSERT_EQ(shares.rounds, std::vector<int>{6});
    ASSERT_EQ(shares.rows.size(), 2u);
    EXPECT_EQ(shares.rows[0].team, final.a);
    EXPECT_DOUBLE_EQ(shares.rows[0].shares[0], 75.0);
    EXPECT_DOUBLE_EQ(shares.rows[1].shares[0], 25.0);
}

}  // namespace
