// Team names in picks as organisers type them: the field imported with names longer than the
// team file holds, then each cell found as a person would find it, or refused with the names
// near it.
#include <gtest/gtest.h>

#include "core/pool/cp1252.h"
#include "core/transfer/field_import.h"
#include "core/transfer/team_names.h"
#include "transfer_fixture.h"

namespace {
// The field of the fixture with some of East's teams renamed (East is the second region).
std::string renamed(std::string text, const std::vector<std::pair<std::string, std::string>>& names)
{
    for (const auto& [from, to] : names) text.replace(text.find("\n" + from + ",") + 1, from.size(), to);
    return text;
}
}  // namespace

TEST(NameMatching, CellsAsTypedFindTheirTeamOrSayWhatIsNear)
{
    // UTF-8, as a spreadsheet saves it.
    const FieldImport field = readFieldImport(renamed(fieldFile(), {{"East 1", "North Carolina"},
                                                                    {"East 2", "Mississippi St"},
                                                                    {"East 3", "St Mary's CA"},
                                                                    {"East 4", "San Jos\xC3\xA9 St"},
                                                                    {"East 5", "Michigan St"},
                                                                    {"East 6", "Michigan"},
                                                                    {"East 8", "Montr\xC3\xA9"
                                                                               "al"},
                                                                    {"East 9", "Montreal"}}));
    ASSERT_TRUE(field.ok()) << field.problems.listed[0].reason.bytes;
    std::vector<std::string> cut;
    for (const TransferProblem& p : field.cutNames) cut.push_back(p.reason.bytes);
    EXPECT_EQ(cut, (std::vector<std::string>{"\"North Carolina\" is kept as \"North Caroli\"",
                                             "\"Mississippi St\" is kept as \"Mississippi \""}));
    const TeamNames names(field.teams, field.regionNames);

    const struct {
        std::string cell;  // UTF-8
        std::string found;
    } cases[] = {
        {"St Mary\xE2\x80\x99s CA", "203"},  // typographic apostrophe
        {"St Mary's CA\xC2\xA0", "203"},     // trailing non-breaking space
        {"St  Mary's CA", "203"},            // double inner space
        {"st mary\xE2\x80\x98s ca", "203"},  // case, the other quote
        {"san jose\xCC\x81 st", "204"},      // decomposed accent
        {"San Jose St", "204"},              // no accent
        {"North Carolina", "201"},           // the full name of a cut one
        {"North Caroli", "201"},             // as stored
        {"Mississippi St", "202"},
        {"Mississippian", "unknown; did you mean \"Mississippi\"?"},  // the stored start ends in a blank
        {"Michigan", "206"},
        {"Michigan St", "205"},
        {"Michgan St", "unknown; did you mean \"Michigan St\"?"},
        {"Montreal", "209"},
        {"MONTR\xC3\x89"
         "AL",
         "208"},
        {"Montr\xC3\xA8"
         "al",
         "ambiguous 208 209"},  // accents aside, two teams
        {"S\xC3\xA3o Paulo \xF0\x9F\x8F\x80", "unknown"},
        {"east 7", "207"},
    };
    for (const auto& c : cases) {
        TeamCode code = 0;
        std::vector<TeamCode> codes;
        const std::string cell = cp1252FromUtf8(c.cell, NotInCodePage);
        std::string result;
        switch (names.find(cell, code, &codes)) {
        case TeamNames::Match::Found: result = std::to_string(code); break;
        case TeamNames::Match::Ambiguous:
            result = "ambiguous";
            for (const TeamCode team : codes) result += " " + std::to_string(team);
            break;
        case TeamNames::Match::Unknown:
            result = "unknown";
            for (std::size_t k = 0; const std::string& near : names.closestNames(cell))
                result += (k++ ? " or \"" : "; did you mean \"") + near + "\"";
            if (result != "unknown") result += "?";
            break;
        }
        EXPECT_EQ(result, c.found) << c.cell;
    }
}
