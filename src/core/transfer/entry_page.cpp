#include "core/transfer/entry_page.h"

#include <string_view>

#include "core/pool/cp1252.h"
#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "core/printing/print_texts.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "core/transfer/entry_page_template.h"
#include "core/transfer/team_names.h"

namespace {
// A text of the code page as a JSON string that may stand inside a script element: "<" and ">"
// escaped, so no name can close the element.
void appendJsonString(std::string& out, std::string_view cp1252)
{
    std::string utf8;
    appendUtf8FromCp1252(utf8, cp1252);
    static constexpr char Hex[] = "0123456789abcdef";
    out += '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || c == '<' || c == '>' || c == '&') {
            out += "\\u00";
            out += Hex[byte >> 4];
            out += Hex[byte & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string pageData(const EntryPageContent& content)
{
    const TeamNames names(content.teams, content.regionNames);
    std::string out = "{\"fingerprint\":";
    appendJsonString(out, names.fingerprint());
    out += ",\"regions\":[";
    for (std::size_t r = 0; r < content.regionNames.size(); ++r) {
        if (r) out += ',';
        appendJsonString(out, content.regionNames[r]);
    }
    // Each team by its code: the name shown, the cell the saved file names it by (what Import
    // Picks finds it by), and its record.
    out += "],\"teams\":{";
    bool first = true;
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s) {
            const TeamCode code = makeTeamCode(std::uint8_t(r), std::uint8_t(s));
            const Team& team = content.teams.entry(r, s);
            out += first ? "\"" : ",\"";
            first = false;
            out += std::to_string(code) + "\":{\"name\":";
            appendJsonString(out, team.name.view());
            out += ",\"cell\":";
            appendJsonString(out, names.cellText(code));
            std::string record;
            if (!team.wins.view().empty() || !team.losses.view().empty())
                record = std::string(team.wins.view()) + "-" + std::string(team.losses.view());
            out += ",\"record\":";
            appendJsonString(out, record);
            out += '}';
        }
    out += "},\"firstRound\":[";
    for (int game = 1; game <= FirstRoundGames; ++game) {
        const GamePair pair = firstRoundPair(game);
        // Appended piece by piece: g++ 12 at -O3 takes "text" + a temporary string for an overlap.
        out += game > 1 ? ",[" : "[";
        out += std::to_string(pair.a);
        out += ',';
        out += std::to_string(pair.b);
        out += ']';
    }
    out += "],\"rounds\":[";
    for (int round = 1; round <= RoundCount; ++round) {
        if (round > 1) out += ',';
        out += std::to_string(content.scoring.round[round]);
    }
    out += "],\"multiplyBySeed\":";
    out += content.scoring.multiplyBySeed ? "true" : "false";
    out += ",\"tiebreaker\":";
    appendJsonString(out, content.tiebreaker);
    // The rules sheet as printed, without the promotional lines and dashed rules around it.
    out += ",\"rules\":[";
    first = true;
    for (const RulesLine& line : content.rules) {
        if (line.text == PrintPromoLine || line.text == RulesDashedRule) continue;
        out += first ? "{\"size\":" : ",{\"size\":";
        first = false;
        out += std::to_string(line.points) + ",\"italic\":" + ((line.style & Italic) ? "true" : "false") + ",\"text\":";
        appendJsonString(out, line.text);
        out += '}';
    }
    return out + "]}";
}
}  // namespace

EntryPageContent entryPageContent(PoolSession& session)
{
    EntryPageContent content;
    content.teams = session.teams();
    content.regionNames = session.regionNames();
    SettingsFile store(session.settings());
    content.scoring = settings::readScoringValues(store);
    content.tiebreaker = store.readString(settings::Rules, settings::Tiebreaker, settings::DefaultTiebreaker);
    content.rules = buildRulesSheet(store);
    return content;
}

std::string entryPageHtml(const EntryPageContent& content)
{
    std::string page = EntryPageTemplate;
    const std::string_view marker = EntryPageDataMarker;
    const std::size_t at = page.find(marker);
    if (at == std::string::npos) throw HoopError("The entry page's template has no place for the pool's data.");
    page.replace(at, marker.size(), pageData(content));
    return page;
}

void makeEntryPageFile(PoolSession& session, const std::string& path)
{
    const std::string page = entryPageHtml(entryPageContent(session));
    AtomicFile file(path);
    file.write(page);
    file.commit();
}
