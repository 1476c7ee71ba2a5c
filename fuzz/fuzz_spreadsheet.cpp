// The spreadsheet imports: any bytes read without harm as picks and as a field. Every entry
// taken has a name and picks that fit their games; refused lines come in line order; a field
// is taken only whole.
#include <cstdlib>

#include "core/pool/bracket.h"
#include "core/pool/cp1252.h"
#include "core/pool/errors.h"
#include "core/transfer/field_import.h"
#include "core/transfer/picks_import.h"
#include "core/transfer/team_names.h"

namespace {
const TeamNames& namesIn()
{
    static const TeamNames names = [] {
        TeamTable teams;
        for (int r = 1; r <= RegionCount; ++r)
            for (int s = 1; s <= SeedCount; ++s) teams.entry(r, s).name = "T" + std::to_string(r * 100 + s);
        teams.entry(2, 3).name = "t101";  // a name two teams share
        return TeamNames(teams, {"East", "West", "South", ""});
    }();
    return names;
}

void checkPicks(const PicksImport& picks)
{
    for (const Player& entry : picks.entries) {
        if (entry.name.empty()) std::abort();
        // A character the code page does not have is refused, never stored.
        if (entry.name.view().find(NotInCodePage) != std::string_view::npos) std::abort();
        bool complete = true;
        for (int g = 1; g <= GameCount; ++g) {
            const TeamCode pick = entry.picks[std::size_t(g)];
            const GamePair pair = teamsOfGame(entry.picks, g);
            if (pick != 0 && pick != pair.a && pick != pair.b) std::abort();
            complete = complete && pick != 0;
        }
        if (entry.complete != (complete ? 1 : 0)) std::abort();
    }
    const std::vector<TransferProblem>& refused = picks.refused.listed;
    if (refused.size() > TransferProblems::Listed || picks.refused.total < refused.size()) std::abort();
    for (std::size_t k = 1; k < refused.size(); ++k)
        if (refused[k].line <= refused[k - 1].line) std::abort();
}

void checkField(const FieldImport& field)
{
    if (field.ok())
        for (int r = 1; r <= RegionCount; ++r)
            for (int s = 1; s <= SeedCount; ++s)
                if (field.teams.entry(r, s).region != r || field.teams.entry(r, s).seed != s) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // A file that cannot be read as a table is refused with a HoopError; anything else escaping is a bug.
    try {
        checkPicks(readPicksImport(bytes, namesIn(), nullptr));
    } catch (const HoopError&) {
    }
    try {
        checkField(readFieldImport(bytes));
    } catch (const HoopError&) {
    }
    return 0;
}
