#include "core/outlook/outlook_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>

#include "core/outlook/payouts.h"
#include "core/pool/players.h"
#include "core/transfer/standings_export.h"

namespace outlook {

namespace {
// A point whatever the locale: the program runs with the user's, where printf may write a comma.
std::string oneDecimal(double value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}
}  // namespace

std::string percentText(double percent) { return oneDecimal(std::clamp(percent, 0.0, 100.0)); }

namespace {
// The standings' default order: total points descending, ties in list order.
template <class Total> std::vector<std::size_t> standingsOrder(std::size_t count, Total total)
{
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return total(a) > total(b); });
    return order;
}

std::string finishText(int finish, bool exact) { return std::to_string(finish) + (exact ? "" : "*"); }

// "40 minutes": the largest unit that gives at least two of it, rounded.
std::string durationText(double seconds)
{
    static const struct {
        double seconds;
        const char* name;
    } Units[] = {{365.25 * 86400, "years"}, {86400, "days"}, {3600, "hours"}, {60, "minutes"}, {1, "seconds"}};
    for (const auto& unit : Units) {
        const double count = std::round(seconds / unit.seconds);
        if (count >= 2 || unit.seconds == 1) {
            if (count > 1e6) return "more than a million " + std::string(unit.name);
            if (count < 2) return "1 second";
            return std::to_string(std::int64_t(count)) + " " + unit.name;
        }
    }
    return {};
}

std::string summaryOf(const OutlookResult& result)
{
    const std::string left =
        std::to_string(result.remainingGames) + (result.remainingGames == 1 ? " game left" : " games left");
    if (result.method == OutlookMethod::Exact)
        return "Exact over " + std::to_string(result.outcomes) + (result.outcomes == 1 ? " outcome (" : " outcomes (") +
               left + ")";
    std::string text = "Estimated from " + std::to_string(result.tournaments) + " tournaments (" + left +
                       "): chances within " + oneDecimal(result.largestHalfInterval) + " points at 95%";
    if (result.exactSeconds > 0) text += "; exact would take about " + durationText(result.exactSeconds);
    return text;
}
}  // namespace

OutlookTable::OutlookTable(const OutlookResult& result, const std::vector<std::string>& names, bool withWinnings)
    : m_columns(withWinnings ? OutlookColumnCount : OutlookColumnCount - 1)
{
    const std::vector<std::size_t> order =
        standingsOrder(result.rows.size(), [&](std::size_t i) { return result.rows[i].finalTotal; });
    m_rows.reserve(order.size());
    for (std::size_t position = 0; position < order.size(); ++position) {
        const ParticipantOutlook& figures = result.rows[order[position]];
        m_unproven += int(!figures.bestExact) + int(!figures.worstExact);
        OutlookRow row;
        row.winPercent = figures.winPercent;
        row.cells = {std::to_string(position + 1),
                     order[position] < names.size() ? names[order[position]] : std::string(),
                     std::to_string(figures.finalTotal),
                     finishText(figures.bestFinish, figures.bestExact),
                     finishText(figures.worstFinish, figures.worstExact),
                     figures.canWin ? "Yes" : (figures.canWinExact ? "No" : "No*"),
                     percentText(figures.winPercent),
                     percentText(figures.moneyPercent),
                     withWinnings ? moneyText(figures.expectedWinnings) : std::string()};
        m_rows.push_back(std::move(row));
    }
    m_summary = summaryOf(result);
    if (m_unproven > 0)
        m_summary += "; * " + std::to_string(m_unproven) + (m_unproven == 1 ? " finish" : " finishes") + " not proven";
}

std::string outlookText(const OutlookTable& table, OutlookFormat format, std::string_view lineEnd)
{
    const TextSeparator separator = format == OutlookFormat::Comma ? TextSeparator::Comma : TextSeparator::Tab;
    std::string out;
    std::string cell;
    const auto line = [&](const std::array<std::string, OutlookColumnCount>& cells, bool header) {
        for (int column = 0; column < table.columnCount(); ++column) {
            if (column) out += separator == TextSeparator::Comma ? ',' : '\t';
            cell = cells[std::size_t(column)];
            // A name like "=HYPERLINK(...)" must stay text in a spreadsheet.
            if ((header || column == NameColumn) && startsLikeFormula(cell)) cell.insert(cell.begin(), '\'');
            appendTextField(out, cell, separator);
        }
        out += lineEnd;
    };
    line(OutlookHeaders, true);
    for (const OutlookRow& row : table.rows()) line(row.cells, false);
    return out;
}

std::string outlookHtml(const OutlookTable& table, const std::string& asOfText)
{
    std::string out =
        "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"windows-1252\">\r\n<title>Pool Outlook</title>\r\n"
        "<style>table{border-collapse:collapse}td,th{border:1px solid #808080;padding:1px 4px}"
        "td.n{text-align:right}</style>\r\n</head>\r\n<body>\r\n<h2>Pool Outlook</h2>\r\n<p>";
    appendHtmlText(out, asOfText);
    out += "<br>";
    appendHtmlText(out, table.summary());
    out += "</p>\r\n<table>\r\n<tr>";
    for (int column = 0; column < table.columnCount(); ++column) {
        const std::string& header = OutlookHeaders[std::size_t(column)];
        out += "<th>";
        appendHtmlText(out, header);
        out += "</th>";
    }
    out += "</tr>\r\n";
    for (const OutlookRow& row : table.rows()) {
        out += "<tr>";
        for (int column = 0; column < table.columnCount(); ++column) {
            out += column == NameColumn || column == CanWinColumn ? "<td>" : "<td class=\"n\">";
            appendHtmlText(out, row.cells[std::size_t(column)]);
            out += "</td>";
        }
        out += "</tr>\r\n";
    }
    out += "</table>\r\n</body>\r\n</html>\r\n";
    return out;
}

namespace {
bool isTextColumn(const PageGrid& grid, std::size_t column)
{
    return column < grid.textColumns.size() && grid.textColumns[column];
}
}  // namespace

std::string pageGridText(const PageGrid& grid, OutlookFormat format, std::string_view lineEnd)
{
    const TextSeparator separator = format == OutlookFormat::Comma ? TextSeparator::Comma : TextSeparator::Tab;
    std::string out;
    std::string cell;
    const auto line = [&](const std::vector<std::string>& cells, bool header) {
        for (std::size_t column = 0; column < cells.size(); ++column) {
            if (column) out += separator == TextSeparator::Comma ? ',' : '\t';
            cell = cells[column];
            if ((header || isTextColumn(grid, column)) && startsLikeFormula(cell)) cell.insert(cell.begin(), '\'');
            appendTextField(out, cell, separator);
        }
        out += lineEnd;
    };
    line(grid.headers, true);
    for (const std::vector<std::string>& row : grid.rows) line(row, false);
    return out;
}

std::string pageGridHtml(const PageGrid& grid, const std::string& asOfText)
{
    std::string out = "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"windows-1252\">\r\n<title>";
    appendHtmlText(out, grid.title);
    out += "</title>\r\n<style>table{border-collapse:collapse}td,th{border:1px solid #808080;padding:1px 4px}"
           "td.n{text-align:right}</style>\r\n</head>\r\n<body>\r\n<h2>";
    appendHtmlText(out, grid.title);
    out += "</h2>\r\n<p>";
    appendHtmlText(out, asOfText);
    out += "</p>\r\n<table>\r\n<tr>";
    for (const std::string& header : grid.headers) {
        out += "<th>";
        appendHtmlText(out, header);
        out += "</th>";
    }
    out += "</tr>\r\n";
    for (const std::vector<std::string>& row : grid.rows) {
        out += "<tr>";
        for (std::size_t column = 0; column < row.size(); ++column) {
            out += isTextColumn(grid, column) ? "<td>" : "<td class=\"n\">";
            appendHtmlText(out, row[column]);
            out += "</td>";
        }
        out += "</tr>\r\n";
    }
    out += "</table>\r\n</body>\r\n</html>\r\n";
    return out;
}

namespace {
// The game team plays in round, if it gets that far.
int gameOfTeam(TeamCode team, int round)
{
    int game = 0;
    for (int g = 1; g <= FirstRoundGames && game == 0; ++g) {
        const GamePair pair = firstRoundPair(g);
        if (pair.a == team || pair.b == team) game = g;
    }
    for (int r = 1; r < round && game != 0; ++r) game = nextGame(game).game;
    return game;
}
}  // namespace

PickedShares pickedShares(const OutlookInput& input)
{
    PickedShares shares;
    for (int round = 1; round <= RoundCount; ++round) {
        for (int g = 1; g <= GameCount; ++g)
            if (roundOfGame(g) == round && input.results[std::size_t(g)] == 0) {
                shares.rounds.push_back(round);
                break;
            }
    }
    const std::uint64_t out = eliminatedTeams(input.results);
    const double count = double(input.participants.size());
    for (int region = 1; region <= RegionCount; ++region) {
        for (const int seed : SeedOrder) {
            const TeamCode team = makeTeamCode(std::uint8_t(region), std::uint8_t(seed));
            if (out & teamBit(team)) continue;
            PickedRow row;
            row.team = team;
            for (const int round : shares.rounds) {
                const int game = gameOfTeam(team, round);
                std::size_t pickers = 0;
                for (const OutlookParticipant& p : input.participants)
                    if (p.picks[std::size_t(game)] == team) ++pickers;
                row.shares.push_back(count > 0 ? 100.0 * double(pickers) / count : 0.0);
            }
            shares.rows.push_back(std::move(row));
        }
    }
    return shares;
}

std::vector<ScoreRow> scoreRows(const OutlookInput& input, const std::vector<std::string>& names)
{
    const std::uint64_t eliminated = eliminatedTeams(input.results);
    std::vector<PickScore> scores;
    scores.reserve(input.participants.size());
    for (const OutlookParticipant& p : input.participants)
        scores.push_back(scorePicks(p.picks, input.results, input.values, eliminated));
    const std::vector<std::size_t> order =
        standingsOrder(scores.size(), [&](std::size_t i) { return scores[i].total; });
    std::vector<ScoreRow> rows;
    rows.reserve(order.size());
    for (std::size_t position = 0; position < order.size(); ++position) {
        const std::size_t i = order[position];
        const PickScore& score = scores[i];
        rows.push_back({{std::to_string(position + 1), i < names.size() ? names[i] : std::string(),
                         std::to_string(score.total), std::to_string(score.potential)},
                        score});
    }
    return rows;
}

std::vector<std::string> participantNames(const PlayerList& players)
{
    // As outlookInputOf: no results entry is a participant.
    std::vector<std::string> names;
    for (int i = 0; i < players.count(); ++i)
        if (players[i].id != ResultsId) names.emplace_back(players[i].name.view());
    return names;
}

}  // namespace outlook
