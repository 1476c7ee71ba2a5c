#include "core/transfer/picks_export.h"

#include <algorithm>
#include <vector>

#include "core/pool/brand.h"
#include "core/pool/cp1252.h"
#include "core/pool/file_io.h"
#include "core/pool/players.h"
#include "core/pool/scoring.h"
#include "core/session/pool_session.h"
#include "core/transfer/import_table.h"
#include "core/transfer/picks_import.h"
#include "core/transfer/standings_export.h"
#include "core/transfer/team_names.h"

namespace {
constexpr std::string_view LineEnd = "\r\n";
constexpr std::size_t ChunkSize = 1 << 16;

// Collects text and hands it on in chunks.
class Chunks {
public:
    explicit Chunks(const TextSink& sink) : m_sink(sink) {}
    std::string& text() { return m_text; }
    void line(std::string_view text)
    {
        m_text += text;
        m_text += LineEnd;
        ready();
    }
    void ready()
    {
        if (m_text.size() >= ChunkSize) flush();
    }
    void flush()
    {
        if (!m_text.empty()) m_sink(m_text);
        m_text.clear();
    }

private:
    const TextSink& m_sink;
    std::string m_text;
};

void appendCsvField(std::string& line, std::string& scratch, std::string_view text)
{
    scratch.clear();
    appendSheetText(scratch, text);
    appendTextField(line, scratch, TextSeparator::Comma);
}

// How each pick fared against the results entered so far, with the scoring's rule for which
// teams are out.
class PickOutcomes {
public:
    enum Outcome { Open, Won, Lost };
    explicit PickOutcomes(const PlayerList& players)
    {
        const int index = players.indexOfId(ResultsId);
        if (index < 0) return;
        m_results = players[index].picks;
        m_out = eliminatedTeams(m_results);
    }
    Outcome of(int game, TeamCode pick) const
    {
        if (!isValidTeamCode(pick)) return Open;
        const TeamCode winner = m_results[std::size_t(game)];
        if (winner != 0) return pick == winner ? Won : Lost;
        return m_out & teamBit(pick) ? Lost : Open;  // its team is out already
    }

private:
    PickArray m_results{};
    std::uint64_t m_out = 0;
};

constexpr const char* RoundNames[RoundCount + 1] = {
    "", "First Round", "Second Round", "Third Round", "Fourth Round", "Semi-Finals", "Championship"};
}  // namespace

PicksFileFormat picksFormatForPath(const std::string& path)
{
    const std::string extension = lowerExtension(path);
    return extension == ".htm" || extension == ".html" ? PicksFileFormat::Html : PicksFileFormat::Csv;
}

void writePicksCsv(const PlayerList& players, const TeamNames& names, const TextSink& sink)
{
    Chunks out(sink);
    std::string line(Utf8Bom);
    line += std::string(PicksNameColumn) + "," + PicksTiebreakerColumn + "," + PicksPaidColumn;
    for (int game = 1; game <= GameCount; ++game) line.append(",").append(gameColumnName(game));
    out.line(line);

    std::string scratch;
    // The 64 team cells as they are written, made once.
    std::vector<std::string> teamCells(RegionCount * 100 + SeedCount + 1);
    for (TeamCode code = 0; code < TeamCode(teamCells.size()); ++code)
        if (isValidTeamCode(code)) appendCsvField(teamCells[std::size_t(code)], scratch, names.cellText(code));
    for (int i = 0; i < players.count(); ++i) {
        const Player& entry = players[i];
        if (entry.id == ResultsId) continue;
        line.clear();
        appendCsvField(line, scratch, entry.name.view());
        line += ',';
        appendCsvField(line, scratch, entry.tiebreaker.view());
        line += entry.paid ? ",Yes" : ",No";
        for (int game = 1; game <= GameCount; ++game) {
            line += ',';
            const TeamCode pick = entry.picks[std::size_t(game)];
            if (isValidTeamCode(pick)) line += teamCells[std::size_t(pick)];
        }
        appendUtf8FromCp1252(out.text(), line);
        out.text() += LineEnd;
        out.ready();
    }
    out.flush();
}

void writePicksHtml(const PlayerList& players, const TeamNames& names, const std::string& asOf, const TextSink& sink)
{
    Chunks out(sink);
    // Self-contained: no style sheet, script, image or link it would have to fetch.
    out.line(R"(<html><head><meta http-equiv="Content-Type" content="text/html; charset=windows-1252" />)");
    out.line(R"(<meta name="viewport" content="width=device-width, initial-scale=1" />)");
    out.line(std::string("<title>") + brand::ProductName + ": Picks</title>");
    out.line("<STYLE><!--");
    out.line(
        "FONT.header {COLOR: #336699; FONT-FAMILY: Arial, Helvetica, sans-serif; FONT-SIZE: 16px; FONT-WEIGHT: bold;}");
    out.line("TH {BACKGROUND-COLOR: #336699; COLOR: white; FONT-FAMILY: Verdana, Arial, Helvetica; FONT-SIZE: 11px; "
             "FONT-WEIGHT: bold}");
    out.line("TD {FONT-FAMILY: Verdana, Arial, Helvetica, Sans-Serif; FONT-SIZE: 11px; WHITE-SPACE: nowrap}");
    // The names stay in view while the 63 games scroll by.
    out.line("TD.name {POSITION: sticky; LEFT: 0; BACKGROUND-COLOR: white}");
    out.line("TH.name {POSITION: sticky; LEFT: 0; Z-INDEX: 1}");
    out.line("TD.won {BACKGROUND-COLOR: #a8e0a8}");
    out.line("TD.lost {BACKGROUND-COLOR: #f0a8a8}");
    out.line("P {FONT-FAMILY: Verdana, Arial, Helvetica, SansSerif; FONT-SIZE: 12px}");
    out.line("--></STYLE></head><body bgcolor=WHITE>");
    out.line(R"(<p><font class="header">NCAA Office Pool Picks - )" + asOf + "</font></p>");
    out.line("<p>Green: the pick won. Red: the pick lost, or its team is out. Plain: still to be played.</p>");
    out.line(R"(<table cellSpacing="0" cellPadding="2" border="1" bordercolor="black">)");
    std::string line = "<tr><th rowspan=2 class=name>Name</th>";
    for (int round = 1, first = 1; round <= RoundCount; ++round) {
        int games = 0;
        while (first + games <= GameCount && roundOfGame(first + games) == round) ++games;
        line += "<th colspan=" + std::to_string(games) + ">" + RoundNames[round] + "</th>";
        first += games;
    }
    out.line(line + "</tr>");
    line = "<tr>";
    for (int game = 1; game <= GameCount; ++game) line += "<th>" + std::to_string(game) + "</th>";
    out.line(line + "</tr>");

    const PickOutcomes outcomes(players);
    for (int i = 0; i < players.count(); ++i) {
        const Player& entry = players[i];
        if (entry.id == ResultsId) continue;
        std::string& text = out.text();
        text += "<tr><td class=name>";
        appendHtmlText(text, entry.name.view());
        text += "</td>";
        for (int game = 1; game <= GameCount; ++game) {
            const TeamCode pick = entry.picks[std::size_t(game)];
            static constexpr const char* Open[3] = {"<td>", "<td class=won>", "<td class=lost>"};
            text += Open[outcomes.of(game, pick)];
            appendHtmlText(text, names.cellText(pick));
            text += "</td>";
        }
        text += "</tr>";
        text += LineEnd;
        out.ready();
    }
    out.line("</table>");
    out.line(std::string("<p>") + brand::Slogan + "</p></body></html>");
    out.flush();
}

void exportPicksFile(const PoolSession& session, const std::string& path, PicksFileFormat format)
{
    const TeamNames names(session.teams(), session.regionNames());
    AtomicFile file(path);
    const TextSink sink = [&file](std::string_view text) { file.write(text); };
    if (format == PicksFileFormat::Html)
        writePicksHtml(session.players(), names, asOfText(session.today()), sink);
    else
        writePicksCsv(session.players(), names, sink);
    file.commit();
}
