// TEAMS.HFD reader: any bytes load without harm, every entry sits at its own region and seed,
// and every name fits its field.
#include <cstdlib>

#include "core/pool/bracket.h"
#include "core/pool/team_files.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    TeamTable teams;
    const bool whole = loadTeamsFromBytes(teams, data, size);
    if (whole != (size % TeamRecordSize == 0)) std::abort();
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s) {
            const Team& t = teams.entry(r, s);
            if (t.region != 0 && (t.region != r || t.seed != s)) std::abort();
            if (teams.teamName(makeTeamCode(std::uint8_t(r), std::uint8_t(s))).bytes.size() > 12) std::abort();
            if (t.wins.view().size() > 2 || t.losses.view().size() > 2) std::abort();
        }
    // Codes that are no team: the empty name, never a read outside the table.
    for (TeamCode code : {0, 100, 117, 500, -101}) (void)teams.teamName(code);
    return 0;
}
