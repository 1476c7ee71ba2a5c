#include "core/publish/site_pages.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <map>
#include <string_view>
#include <vector>

#include "core/outlook/outlook_table.h"
#include "core/pool/bracket.h"
#include "core/pool/cp1252.h"
#include "core/pool/players.h"
#include "core/pool/scoring.h"
#include "core/publish/site_folder.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "core/transfer/standings_export.h"

namespace {
constexpr std::string_view UpArrow = "\xE2\x96\xB2";    // ▲
constexpr std::string_view DownArrow = "\xE2\x96\xBC";  // ▼
constexpr std::string_view Dash = "\xE2\x80\x93";       // –
constexpr int TopLabelled = 10;
constexpr int SmallPool = 12;  // up to this many, the chart shows every participant's points

const char* const Style =
    "body{font:15px/1.4 system-ui,-apple-system,'Segoe UI',Roboto,'DejaVu Sans',Arial,sans-serif;margin:0 auto;"
    "padding:8px 12px;max-width:1200px;color:#1d2733;background:#fff}"
    "nav{display:flex;flex-wrap:wrap;gap:4px 16px;padding:6px 0;border-bottom:2px solid #336699;margin-bottom:6px}"
    "nav a{color:#336699;font-weight:600;text-decoration:none}"
    "a{color:#1f5a96}"
    "h1{font-size:1.35em;margin:8px 0 2px;overflow-wrap:anywhere}"
    "h2{font-size:1.1em;margin:14px 0 4px}"
    ".asof{color:#555;margin:0 0 10px}"
    ".scroll{overflow-x:auto;max-width:100%}"
    "table{border-collapse:collapse}"
    "th{background:#336699;color:#fff;font-weight:600;padding:4px 6px;text-align:left}"
    "td{padding:4px 6px;border-bottom:1px solid #e1e5ea}"
    ".n{text-align:right;font-variant-numeric:tabular-nums}"
    ".name{overflow-wrap:anywhere}"
    ".up{color:#1d7a32}.down{color:#b3261e}.same{color:#888}"
    "footer{color:#777;font-size:.85em;margin:18px 0 6px}"
    "@media(max-width:640px){body{font-size:14px;padding:6px 8px}.rd{display:none}th,td{padding:4px 3px}}";

// The bracket's grid: a region's sixteen rows, a column for the field and one for each of its
// first three rounds; then the last three rounds in a grid of their own.
const char* const BracketStyle =
    ".regions{display:grid;grid-template-columns:repeat(auto-fit,minmax(min(100%,460px),1fr));gap:6px 28px}"
    ".region,.final{display:grid;grid-template-columns:repeat(4,minmax(0,1fr));grid-template-rows:repeat(16,auto);"
    "gap:2px 4px;font-size:13px}"
    ".final{grid-template-columns:repeat(3,minmax(0,1fr));grid-template-rows:repeat(4,auto);max-width:640px}"
    ".region div,.final div{align-self:center;white-space:nowrap;overflow:hidden;text-overflow:ellipsis;"
    "padding:2px 4px;border-left:3px solid #c5ced8;border-radius:2px}"
    ".region .t{border-left-color:#e6e9ed;color:#444}"
    ".w{background:#cdeccd;border-left-color:#2e8b3a!important}"
    ".l{background:#f7cccc;border-left-color:#c0392b!important}"
    ".o{background:#e4e4e4;color:#777;border-left-color:#999!important;text-decoration:line-through}"
    ".key span{display:inline-block;padding:1px 6px;margin:0 6px 4px 0;border-radius:2px}"
    "@media(max-width:640px){.region,.final{font-size:12px;gap:2px 3px}.region div,.final div{padding:2px 3px}}";

std::string utf8(std::string_view text)
{
    std::string out;
    appendUtf8FromCp1252(out, text);
    return out;
}

// Text of the pool (Windows-1252 bytes) as escaped UTF-8.
void appendText(std::string& out, std::string_view bytes) { appendHtmlText(out, utf8(bytes)); }

void appendNumber(std::string& out, std::int64_t value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// A number as text, joined to strings by appending: "x" + std::string&& would insert at the
// front, which GCC 12 at -O3 warns about wrongly (-Wrestrict).
struct Number {
    char text[24];
    std::size_t size;
    operator std::string_view() const { return {text, size}; }
};

Number number(std::int64_t value)
{
    Number n;
    n.size = std::size_t(std::to_chars(n.text, n.text + sizeof n.text, value).ptr - n.text);
    return n;
}

std::string operator+(std::string text, const Number& n) { return std::move(text.append(n.text, n.size)); }
std::string operator+(const char* text, const Number& n) { return std::string(text) + n; }
std::string operator+(const Number& n, const char* text) { return std::string(n).append(text); }

// Everything a page needs of the pool, worked out once.
struct Site {
    const PlayerList* players = nullptr;
    const TeamTable* teams = nullptr;
    std::array<std::string, 4> regionNames;
    ScoringValues values;
    PickArray results{};
    std::string asOf;
    int played = 0;
    int completedRounds = 0;  // rounds 1..this have every game decided
    // The participants in standings order, with their page and the points each round brought
    // them as the results of the completed rounds stand.
    struct Entry {
        const Player* player = nullptr;
        std::string page;
        int rank = 0;                                           // 1 + participants strictly higher, now
        int previousRank = 0;                                   // the same when the last completed round ended
        std::array<int, RoundCount + 1> after{};                // rank after each completed round
        std::array<std::int64_t, RoundCount + 1> cumulative{};  // points after each completed round
    };
    std::vector<Entry> entries;
    int baselineRound = 0;  // the round the moves are measured from; 0: no moves to show
    // Each team's game in each round of its path, and the round in which the results put it out.
    std::array<std::array<int, RoundCount + 1>, RegionCount * 100 + SeedCount + 1> path{};
    std::array<int, RegionCount * 100 + SeedCount + 1> outInRound{};
};

void beginPage(std::string& out, const Site& site, std::string_view title, const char* extraStyle = "")
{
    out += "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    appendHtmlText(out, title);
    out += "</title>\n<style>";
    out += Style;
    out += extraStyle;
    out += "</style></head><body>\n<nav><a href=\"index.html\">Standings</a><a href=\"outlook.html\">Outlook</a>"
           "<a href=\"results.html\">Results</a><a href=\"picked.html\">Who Picked Whom</a>"
           "<a href=\"chart.html\">Chart</a></nav>\n<h1>";
    appendHtmlText(out, title);
    out += "</h1>\n<p class=\"asof\">";
    appendHtmlText(out, site.asOf);
    out += " &middot; ";
    appendNumber(out, site.played);
    out += " of 63 games played</p>\n";
}

void endPage(std::string& out) { out += "<footer>Published with the Hoopfall.</footer>\n</body></html>\n"; }

// 1 + the number of totals strictly higher, for each total.
std::vector<int> ranksOf(const std::vector<std::int64_t>& totals)
{
    std::vector<std::int64_t> sorted = totals;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    std::vector<int> ranks;
    ranks.reserve(totals.size());
    for (std::int64_t total : totals)
        ranks.push_back(1 +
                        int(std::lower_bound(sorted.begin(), sorted.end(), total, std::greater<>()) - sorted.begin()));
    return ranks;
}

void prepare(Site& site)
{
    const PlayerList& players = *site.players;
    const int resultsIndex = players.indexOfId(ResultsId);
    if (resultsIndex >= 0) site.results = players[resultsIndex].picks;
    for (auto& game : site.results)
        if (!isValidTeamCode(game)) game = 0;
    site.results[0] = 0;
    for (int game = 1; game <= GameCount; ++game) site.played += site.results[std::size_t(game)] != 0;

    std::array<bool, RoundCount + 1> complete{};
    complete.fill(true);
    for (int game = 1; game <= GameCount; ++game)
        if (!site.results[std::size_t(game)]) complete[std::size_t(roundOfGame(game))] = false;
    while (site.completedRounds < RoundCount && complete[std::size_t(site.completedRounds + 1)]) ++site.completedRounds;
    // Moves since the last round that was completed before the games played now: the one before
    // the last completed round when nothing later was played yet.
    bool laterPlayed = false;
    for (int game = 1; game <= GameCount; ++game)
        if (site.results[std::size_t(game)] && roundOfGame(game) > site.completedRounds) laterPlayed = true;
    site.baselineRound = laterPlayed ? site.completedRounds : site.completedRounds - 1;

    // Each team's path through the bracket, and where the results put it out.
    for (int game = 1; game <= FirstRoundGames; ++game) {
        const GamePair pair = firstRoundPair(game);
        for (TeamCode team : {pair.a, pair.b}) {
            if (!isValidTeamCode(team)) continue;
            for (int g = game; g != 0; g = nextGame(g).game)
                site.path[std::size_t(team)][std::size_t(roundOfGame(g))] = g;
        }
    }
    for (TeamCode team = 0; team < TeamCode(site.path.size()); ++team) {
        if (!isValidTeamCode(team)) continue;
        for (int round = 1; round <= RoundCount; ++round) {
            const TeamCode winner = site.results[std::size_t(site.path[std::size_t(team)][std::size_t(round)])];
            if (winner != 0 && winner != team) {
                site.outInRound[std::size_t(team)] = round;
                break;
            }
        }
    }

    // The completed rounds' results alone score each round as it ended.
    PickArray completed{};
    for (int game = 1; game <= GameCount; ++game)
        if (roundOfGame(game) <= site.completedRounds) completed[std::size_t(game)] = site.results[std::size_t(game)];
    const std::uint64_t out = eliminatedTeams(completed);
    std::map<std::int32_t, int> pagesOfId;
    std::vector<std::int64_t> totals;
    for (int i = 0; i < players.count(); ++i) {
        const Player& player = players[i];
        if (player.id == ResultsId) continue;
        Site::Entry& entry = site.entries.emplace_back();
        entry.player = &player;
        const int repeat = pagesOfId[player.id]++;
        entry.page = participantPageName(player.id);
        if (repeat) entry.page.insert(entry.page.size() - 5, std::string("-").append(number(repeat + 1)));
        const PickScore score = scorePicks(player.picks, completed, site.values, out);
        for (int round = 1; round <= site.completedRounds; ++round)
            entry.cumulative[std::size_t(round)] = entry.cumulative[std::size_t(round - 1)] + score.roundPoints[round];
        totals.push_back(player.total);
    }
    std::vector<int> ranks = ranksOf(totals);
    for (std::size_t i = 0; i < ranks.size(); ++i) site.entries[i].rank = ranks[i];
    for (int round = 1; round <= site.completedRounds; ++round) {
        for (std::size_t i = 0; i < site.entries.size(); ++i)
            totals[i] = site.entries[i].cumulative[std::size_t(round)];
        ranks = ranksOf(totals);
        for (std::size_t i = 0; i < ranks.size(); ++i) site.entries[i].after[std::size_t(round)] = ranks[i];
    }
    if (site.baselineRound > 0)
        for (Site::Entry& entry : site.entries) entry.previousRank = entry.after[std::size_t(site.baselineRound)];
}

// ---- Standings ------------------------------------------------------------------------------

std::string standingsPage(const Site& site, const StandingsTable& table)
{
    std::string out;
    out.reserve(4096 + site.entries.size() * 300);
    beginPage(out, site, "Pool Standings");
    if (site.baselineRound > 0)
        out += "<p>Arrows: the move in rank since the end of round " + number(site.baselineRound) + ".</p>\n";
    out += "<table style=\"width:100%\"><thead><tr><th class=\"n\">#</th><th></th><th>Name</th>";
    for (int round = 1; round <= RoundCount; ++round) out += "<th class=\"n rd\">R" + number(round) + "</th>";
    out += "<th class=\"n\">Total</th><th class=\"n\">Potential</th></tr></thead><tbody>\n";
    std::string cell;
    for (std::size_t i = 0; i < site.entries.size(); ++i) {
        const Site::Entry& entry = site.entries[i];
        const Player& player = *entry.player;
        const int row = int(i) + 1;
        out += "<tr><td class=\"n\">";
        cell.clear();
        table.appendCell(cell, row, 0);  // the standings export's own figures
        out += cell;
        out += "</td><td>";
        if (site.baselineRound > 0) {
            const int move = entry.previousRank - entry.rank;
            if (move > 0) {
                out += "<span class=\"up\" title=\"up " + number(move) + "\">";
                out += UpArrow;
                appendNumber(out, move);
            } else if (move < 0) {
                out += "<span class=\"down\" title=\"down " + number(-move) + "\">";
                out += DownArrow;
                appendNumber(out, -move);
            } else {
                out += "<span class=\"same\" title=\"no change\">";
                out += Dash;
            }
            out += "</span>";
        }
        out += "</td><td class=\"name\"><a href=\"" + entry.page + "\">";
        appendText(out, player.name.view());
        out += "</a></td>";
        for (int round = 1; round <= RoundCount; ++round) {
            out += "<td class=\"n rd\">";
            appendNumber(out, player.roundPoints[round]);
            out += "</td>";
        }
        for (int column : {2, 3}) {
            cell.clear();
            table.appendCell(cell, row, column);
            out += "<td class=\"n\">" + cell + "</td>";
        }
        out += "</tr>\n";
    }
    out += "</tbody></table>\n";
    if (site.entries.empty()) out += "<p>No participants yet.</p>\n";
    endPage(out);
    return out;
}

// ---- Outlook --------------------------------------------------------------------------------

std::string outlookPage(const Site& site, const outlook::OutlookResult& result, const outlook::OutlookTable& table,
                        bool estimated)
{
    std::string out;
    beginPage(out, site, "Pool Outlook");
    out += "<p>";
    if (estimated) out += "<b>Estimated.</b> ";
    appendHtmlText(out, utf8(table.summary()));
    out += ".</p>\n";
    if (result.rows.empty()) {
        out += "<p>No participants yet.</p>\n";
        endPage(out);
        return out;
    }
    out += "<div class=\"scroll\"><table><thead><tr>";
    for (int column = 0; column < table.columnCount(); ++column) {
        out += column == outlook::NameColumn || column == outlook::CanWinColumn ? "<th>" : "<th class=\"n\">";
        appendHtmlText(out, outlook::OutlookHeaders[std::size_t(column)]);
        out += "</th>";
    }
    out += "</tr></thead><tbody>\n";
    for (const outlook::OutlookRow& row : table.rows()) {
        out += "<tr>";
        for (int column = 0; column < table.columnCount(); ++column) {
            out += column == outlook::NameColumn     ? "<td class=\"name\">"
                   : column == outlook::CanWinColumn ? "<td>"
                                                     : "<td class=\"n\">";
            appendText(out, row.cells[std::size_t(column)]);
            out += "</td>";
        }
        out += "</tr>\n";
    }
    out += "</tbody></table></div>\n";
    if (table.unprovenFinishes() > 0)
        out += "<p>* A finish the search could not prove: some outcome reaches it or better (best) or worse "
               "(worst).</p>\n";
    endPage(out);
    return out;
}

// ---- Brackets -------------------------------------------------------------------------------

// The bracket's layout: for each region position, its games of rounds 1-3 top to bottom; and the
// order of the last three rounds' games.
struct BracketLayout {
    std::array<std::array<std::vector<int>, 5>, RegionCount + 1> regionGames;  // [position][round 1..4]
    std::array<int, RegionCount> regionOrder{};                                // positions, as the final meets them
    std::array<int, 4> eliteGames{};                                           // round 4, top to bottom
    std::array<int, 2> semiGames{};
};

const BracketLayout& bracketLayout()
{
    static const BracketLayout layout = [] {
        BracketLayout result;
        std::array<int, GameCount + 1> regionOfGame{};
        for (int position = 1; position <= RegionCount; ++position)
            for (int k = 0; k < SeedCount; k += 2) {
                const TeamCode team = makeTeamCode(std::uint8_t(position), std::uint8_t(SeedOrder[std::size_t(k)]));
                for (int game = 1; game <= FirstRoundGames; ++game) {
                    const GamePair pair = firstRoundPair(game);
                    if (pair.a != team && pair.b != team) continue;
                    for (int g = game; g != 0; g = nextGame(g).game) {
                        const int round = roundOfGame(g);
                        if (round > 4) break;
                        regionOfGame[std::size_t(g)] = position;
                        auto& games = result.regionGames[std::size_t(position)][std::size_t(round)];
                        if (std::find(games.begin(), games.end(), g) == games.end()) games.push_back(g);
                    }
                }
            }
        const FeederGames left = feederGames(GameCount);
        result.semiGames = {left.a, left.b};
        std::size_t k = 0;
        for (int semi : result.semiGames) {
            const FeederGames feeders = feederGames(semi);
            for (int game : {feeders.a, feeders.b}) {
                result.eliteGames[k] = game;
                result.regionOrder[k] = regionOfGame[std::size_t(game)];
                ++k;
            }
        }
        return result;
    }();
    return layout;
}

void appendTeam(std::string& out, const Site& site, TeamCode team)
{
    if (!isValidTeamCode(team)) {
        out += Dash;
        return;
    }
    appendNumber(out, seedOfCode(team));
    out += ' ';
    appendText(out, site.teams->nameView(team));
}

// A pick's cell: green when it won, grey when its team was out before the game, red when it lost,
// plain while open. picksAreResults: the results bracket, plain throughout.
void appendPick(std::string& out, const Site& site, const PickArray& picks, int game, const std::string& place,
                bool picksAreResults)
{
    const TeamCode pick = picks[std::size_t(game)];
    const int round = roundOfGame(game);
    const char* state = "";
    if (!picksAreResults && isValidTeamCode(pick)) {
        const TeamCode winner = site.results[std::size_t(game)];
        const int out = site.outInRound[std::size_t(pick)];
        if (winner == pick)
            state = " w";
        else if (out != 0 && out < round)
            state = " o";
        else if (winner != 0)
            state = " l";
    }
    out += "<div class=\"" + place + state + "\" data-r=\"" + number(round) + "\">";
    appendTeam(out, site, pick);
    out += "</div>";
}

// Grid places: "g{column}_{index}" in a region, "h{column}_{index}" in the final rounds.
std::string bracketPlaces()
{
    std::string css;
    for (int column = 0; column < 4; ++column)
        for (int k = 0; k < (16 >> column); ++k)
            css += ".g" + number(column) + "_" + number(k) + "{grid-column:" + number(column + 1) +
                   ";grid-row:" + number(k * (1 << column) + 1) + "/span " + number(1 << column) + "}";
    for (int column = 0; column < 3; ++column)
        for (int k = 0; k < (4 >> column); ++k)
            css += ".h" + number(column) + "_" + number(k) + "{grid-column:" + number(column + 1) +
                   ";grid-row:" + number(k * (1 << column) + 1) + "/span " + number(1 << column) + "}";
    return css;
}

void appendBracket(std::string& out, const Site& site, const PickArray& picks, bool picksAreResults)
{
    const BracketLayout& layout = bracketLayout();
    out += "<div class=\"regions\">\n";
    for (int position : layout.regionOrder) {
        out += "<section><h2>";
        appendText(out, site.regionNames[std::size_t(position - 1)]);
        if (site.regionNames[std::size_t(position - 1)].empty()) out += "Region " + number(position);
        out += "</h2><div class=\"region\">";
        for (int k = 0; k < SeedCount; ++k) {
            out += "<div class=\"t g0_" + number(k) + "\">";
            appendTeam(out, site, makeTeamCode(std::uint8_t(position), std::uint8_t(SeedOrder[std::size_t(k)])));
            out += "</div>";
        }
        for (int round = 1; round <= 3; ++round) {
            const auto& games = layout.regionGames[std::size_t(position)][std::size_t(round)];
            for (std::size_t k = 0; k < games.size(); ++k)
                appendPick(out, site, picks, games[k], "g" + number(round) + "_" + number(int(k)), picksAreResults);
        }
        out += "</div></section>\n";
    }
    out += "</div>\n<section><h2>Final rounds</h2><div class=\"final\">";
    for (std::size_t k = 0; k < layout.eliteGames.size(); ++k)
        appendPick(out, site, picks, layout.eliteGames[k], "h0_" + number(int(k)), picksAreResults);
    for (std::size_t k = 0; k < layout.semiGames.size(); ++k)
        appendPick(out, site, picks, layout.semiGames[k], "h1_" + number(int(k)), picksAreResults);
    appendPick(out, site, picks, GameCount, "h2_0", picksAreResults);
    out += "</div></section>\n";
}

std::string participantPage(const Site& site, const Site::Entry& entry, const std::string& bracketStyle)
{
    const Player& player = *entry.player;
    std::string out;
    out.reserve(12000);
    beginPage(out, site, utf8(player.name.view()), bracketStyle.c_str());
    out += "<p><a href=\"index.html\">&larr; Standings</a></p>\n<p>Rank <b>";
    appendNumber(out, entry.rank);
    out += "</b> of ";
    appendNumber(out, std::int64_t(site.entries.size()));
    out += " &middot; Total <b>";
    appendNumber(out, player.total);
    out += "</b> &middot; Potential <b>";
    appendNumber(out, player.potential);
    out += "</b></p>\n<p>Points by round:";
    for (int round = 1; round <= RoundCount; ++round) {
        out += " R" + number(round) + " ";
        appendNumber(out, player.roundPoints[round]);
    }
    out += "</p>\n<p class=\"key\"><span class=\"w\">won</span><span class=\"l\">lost</span>"
           "<span class=\"o\">team already out</span><span>still open</span></p>\n";
    appendBracket(out, site, player.picks, false);
    endPage(out);
    return out;
}

std::string resultsPage(const Site& site, const std::string& bracketStyle)
{
    std::string out;
    beginPage(out, site, "Results", bracketStyle.c_str());
    appendBracket(out, site, site.results, true);
    endPage(out);
    return out;
}

// ---- Who picked whom ------------------------------------------------------------------------

std::string pickedPage(const Site& site, const outlook::PickedShares& shares)
{
    std::string out;
    beginPage(out, site, "Who Picked Whom");
    if (shares.rows.empty() || shares.rounds.empty()) {
        out += "<p>No games left to pick.</p>\n";
        endPage(out);
        return out;
    }
    out += "<p>The share of participants who picked each team still in the tournament to win its game in each "
           "round still to play.</p>\n<div class=\"scroll\"><table><thead><tr><th>Team</th><th>Region</th>";
    for (int round : shares.rounds) out += "<th class=\"n\">R" + number(round) + "</th>";
    out += "</tr></thead><tbody>\n";
    for (const outlook::PickedRow& row : shares.rows) {
        out += "<tr><td>";
        appendTeam(out, site, row.team);
        out += "</td><td>";
        appendText(out, site.regionNames[std::size_t(regionOfCode(row.team) - 1)]);
        out += "</td>";
        for (double share : row.shares) {
            char shade[64];
            std::snprintf(shade, sizeof shade, "background:rgba(51,102,153,%.2f)%s", share / 100.0,
                          share > 55 ? ";color:#fff" : "");
            out += std::string("<td class=\"n\" style=\"") + shade + "\">" + outlook::percentText(share) + "%</td>";
        }
        out += "</tr>\n";
    }
    out += "</tbody></table></div>\n";
    endPage(out);
    return out;
}

// ---- Chart ----------------------------------------------------------------------------------

constexpr const char* LineColours[TopLabelled] = {"#1f77b4", "#d62728", "#2ca02c", "#ff7f0e", "#9467bd",
                                                  "#8c564b", "#e377c2", "#17becf", "#bcbd22", "#393b79"};

std::string chartPage(const Site& site)
{
    std::string out;
    beginPage(out, site, "Chart");
    const int rounds = site.completedRounds;
    const int count = int(site.entries.size());
    if (rounds == 0 || count == 0) {
        out += "<p>The chart starts once the first round is complete.</p>\n";
        endPage(out);
        return out;
    }
    const bool points = count <= SmallPool;
    constexpr int Width = 640, Height = 400, Left = 56, Right = 150, Top = 16, Bottom = 48;
    const int plotWidth = Width - Left - Right, plotHeight = Height - Top - Bottom;
    // Points: from the start to each completed round; ranks: after each completed round.
    const int first = points ? 0 : 1;
    std::int64_t most = 1;
    for (const Site::Entry& entry : site.entries) most = std::max(most, entry.cumulative[std::size_t(rounds)]);
    const int worst = std::max(2, count);
    auto x = [&](int round) {
        return rounds == first ? Left + plotWidth / 2 : Left + plotWidth * (round - first) / (rounds - first);
    };
    auto y = [&](const Site::Entry& entry, int round) {
        if (points) return Top + int(plotHeight - plotHeight * entry.cumulative[std::size_t(round)] / most);
        return Top + plotHeight * (entry.after[std::size_t(round)] - 1) / (worst - 1);
    };

    out += points ? "<p>Each participant's points after each completed round.</p>\n"
                  : "<p>Each participant's rank after each completed round; the current top ten in colour.</p>\n";
    out += "<svg viewBox=\"0 0 " + number(Width) + " " + number(Height) +
           "\" style=\"width:100%;max-width:900px;height:auto;font:13px sans-serif\" role=\"img\" "
           "aria-label=\"Chart\">\n";
    // Axes, with the rounds below and the ranks or points at the left.
    out += "<g stroke=\"#999\"><line x1=\"" + number(Left) + "\" y1=\"" + number(Top) + "\" x2=\"" + number(Left) +
           "\" y2=\"" + number(Top + plotHeight) + "\"/><line x1=\"" + number(Left) + "\" y1=\"" +
           number(Top + plotHeight) + "\" x2=\"" + number(Left + plotWidth) + "\" y2=\"" + number(Top + plotHeight) +
           "\"/></g>\n<g fill=\"#333\" text-anchor=\"middle\">";
    for (int round = first; round <= rounds; ++round)
        out += "<text x=\"" + number(x(round)) + "\" y=\"" + number(Top + plotHeight + 18) + "\">" +
               (round == 0 ? std::string("Start") : "R" + number(round)) + "</text>";
    out += "<text x=\"" + number(Left + plotWidth / 2) + "\" y=\"" + number(Height - 8) + "\">" +
           (points ? "Round" : "After round") + "</text></g>\n<g fill=\"#333\" text-anchor=\"end\">";
    for (int tick = 0; tick <= 4; ++tick) {
        const int yy = Top + plotHeight * tick / 4;
        const std::int64_t value = points ? most - most * tick / 4 : 1 + std::int64_t(worst - 1) * tick / 4;
        out += "<text x=\"" + number(Left - 6) + "\" y=\"" + number(yy + 4) + "\">" + number(value) + "</text>";
    }
    out += "</g>\n<text transform=\"translate(14 " + number(Top + plotHeight / 2) +
           ") rotate(-90)\" text-anchor=\"middle\" fill=\"#333\">" + (points ? "Points" : "Rank (1 at the top)") +
           "</text>\n";

    auto polyline = [&](const Site::Entry& entry, const char* colour, const char* width) {
        std::string line =
            "<polyline fill=\"none\" stroke=\"" + std::string(colour) + "\" stroke-width=\"" + width + "\" points=\"";
        for (int round = first; round <= rounds; ++round)
            line += number(x(round)) + "," + number(y(entry, round)) + " ";
        line.back() = '"';
        return line + "/>";
    };
    const int labelled = points ? count : std::min(count, TopLabelled);
    // The others first, faint, so the labelled lines are drawn over them.
    if (labelled < count) {
        out += "<g>";
        for (int i = labelled; i < count; ++i) out += polyline(site.entries[std::size_t(i)], "#d4d9df", "1");
        out += "</g>\n";
    }
    // Labels at the right end, pushed apart where lines end together.
    std::vector<std::pair<int, int>> labels;  // y, entry
    for (int i = 0; i < labelled; ++i) labels.emplace_back(y(site.entries[std::size_t(i)], rounds), i);
    std::sort(labels.begin(), labels.end());
    for (std::size_t k = 1; k < labels.size(); ++k)
        labels[k].first = std::max(labels[k].first, labels[k - 1].first + 14);
    for (int i = labelled - 1; i >= 0; --i) {
        const Site::Entry& entry = site.entries[std::size_t(i)];
        const char* colour = LineColours[i % TopLabelled];
        out += polyline(entry, colour, "2.5");
        for (int round = first; round <= rounds; ++round)
            out += "<circle cx=\"" + number(x(round)) + "\" cy=\"" + number(y(entry, round)) + "\" r=\"3\" fill=\"" +
                   colour + "\"/>";
        out += "\n";
    }
    for (const auto& [labelY, i] : labels) {
        out += "<text x=\"" + number(x(rounds) + 8) + "\" y=\"" + number(labelY + 4) + "\" fill=\"" +
               LineColours[i % TopLabelled] + "\">";
        std::string name = utf8(site.entries[std::size_t(i)].player->name.view());
        appendHtmlText(out, name);
        out += "</text>";
    }
    out += "\n</svg>\n<ol style=\"padding-left:1.6em\">";
    for (int i = 0; i < labelled; ++i) {
        const Site::Entry& entry = site.entries[std::size_t(i)];
        out += "<li><span style=\"display:inline-block;width:14px;height:4px;vertical-align:middle;margin-right:6px;"
               "background:" +
               std::string(LineColours[i % TopLabelled]) + "\"></span><a href=\"" + entry.page + "\">";
        appendText(out, entry.player->name.view());
        out += "</a> &middot; ";
        if (points)
            out += number(entry.cumulative[std::size_t(rounds)]) + " points";
        else
            out += "rank " + number(entry.after[std::size_t(rounds)]);
        out += "</li>";
    }
    out += "</ol>\n";
    endPage(out);
    return out;
}
}  // namespace

std::string participantPageName(std::int32_t id) { return "p" + number(id) + ".html"; }

std::string timeOfDayText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local)) return {};
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d", local.tm_hour, local.tm_min);
    return buffer;
}

std::string publishedText(const std::string& outDir, const PublishSummary& summary)
{
    return "Site published to " + outDir + ": " + number(summary.pages) + (summary.pages == 1 ? " page." : " pages.");
}

PublishSummary publishPool(PoolSession& pool, const std::string& outDir, const PublishOptions& options)
{
    SiteFolder folder(outDir);  // refuses a folder of someone else's before any work is done

    PlayerList& players = pool.players();
    players.updateStandings();
    players.setSort(SortKey::Total, false);
    players.sort();

    Site site;
    site.players = &players;
    site.teams = &pool.teams();
    site.regionNames = pool.regionNames();
    site.values = pool.readScoringValues();
    site.asOf = options.asOf;
    prepare(site);

    StandingsTable table(site.regionNames);
    table.refill(players, pool.teams());
    folder.write("index.html", standingsPage(site, table));

    const outlook::OutlookInput input = outlook::outlookInputOf(players, site.values, options.places);
    outlook::OutlookResult result;
    if (!input.participants.empty()) result = outlook::computeOutlook(input, options.outlook);
    const outlook::OutlookTable outlookTable(result, outlook::participantNames(players));
    PublishSummary summary;
    summary.outlookEstimated = result.method == outlook::OutlookMethod::Simulated || !result.finishesExact;
    folder.write("outlook.html", outlookPage(site, result, outlookTable, summary.outlookEstimated));

    const std::string bracketStyle = std::string(BracketStyle) + bracketPlaces();
    for (const Site::Entry& entry : site.entries) folder.write(entry.page, participantPage(site, entry, bracketStyle));
    folder.write("results.html", resultsPage(site, bracketStyle));
    folder.write("picked.html", pickedPage(site, outlook::pickedShares(input)));
    folder.write("chart.html", chartPage(site));
    folder.commit();
    summary.pages = folder.fileCount();
    summary.bytes = folder.byteCount();
    return summary;
}
