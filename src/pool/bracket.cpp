#include "pool/bracket.h"

namespace {
// Slot A seed of first-round pair k (1..8); slot B is 17 minus it.
constexpr int TopSeed[8] = {1, 8, 5, 4, 6, 3, 7, 2};
}  // namespace

const std::array<int, 16> SeedOrder = {1, 16, 8, 9, 5, 12, 4, 13, 6, 11, 3, 14, 7, 10, 2, 15};

TeamCode MakeTeamCode(std::uint8_t region, std::uint8_t seed)
{
    return TeamCode(region) * 100 + TeamCode(seed);
}

int SeedOfCode(TeamCode code) { return code - (code / 100) * 100; }

int regionOfCode(TeamCode code) { return code / 100; }

bool isValidTeamCode(TeamCode code)
{
    const int region = regionOfCode(code);
    const int seed = SeedOfCode(code);
    return region >= 1 && region <= RegionCount && seed >= 1 && seed <= SeedCount;
}

void TTeamTable::clear()
{
    for (auto& region : m_teams)
        for (auto& team : region) team = TTeam{};
}

std::string_view TTeamTable::nameView(TeamCode code) const
{
    if (!isValidTeamCode(code)) return {};
    return entry(regionOfCode(code), SeedOfCode(code)).name.view();
}

int RoundOfGame(int game)
{
    if (game < 1) return 0;
    if (game <= 32) return 1;
    if (game <= 48) return 2;
    if (game <= 56) return 3;
    if (game <= 60) return 4;
    if (game <= 62) return 5;
    if (game == 63) return 6;
    return 0;
}

NextGameInfo NextGame(int game)
{
    if (game < 1 || game >= GameCount) return {};
    return {33 + (game - 1) / 2, game % 2 == 1 ? Slot::A : Slot::B};
}

GamePair firstRoundPair(int game)
{
    if (game < 1 || game > 32) return {};
    const int region = (game - 1) / 8 + 1;
    const int top = TopSeed[(game - 1) % 8];
    return {MakeTeamCode(std::uint8_t(region), std::uint8_t(top)),
            MakeTeamCode(std::uint8_t(region), std::uint8_t(17 - top))};
}

SlotArray deriveFeeders(const PickArray& picks)
{
    SlotArray slots{};
    for (int n = 1; n <= 32; ++n) slots[n] = firstRoundPair(n);
    for (int n = 1; n < GameCount; ++n) {
        const NextGameInfo next = NextGame(n);
        (next.slot == Slot::A ? slots[next.game].a : slots[next.game].b) = picks[n];
    }
    return slots;
}
