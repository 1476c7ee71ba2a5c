#include "core/pool/bracket.h"

const std::array<int, 16> SeedOrder = {1, 16, 8, 9, 5, 12, 4, 13, 6, 11, 3, 14, 7, 10, 2, 15};

TeamCode makeTeamCode(std::uint8_t region, std::uint8_t seed) { return TeamCode(region) * 100 + TeamCode(seed); }

int seedOfCode(TeamCode code) { return code - (code / 100) * 100; }

int regionOfCode(TeamCode code) { return code / 100; }

bool isValidTeamCode(TeamCode code)
{
    const int region = regionOfCode(code);
    const int seed = seedOfCode(code);
    return region >= 1 && region <= RegionCount && seed >= 1 && seed <= SeedCount;
}

void TeamTable::clear()
{
    for (auto& region : m_teams)
        for (auto& team : region) team = Team{};
}

std::string_view TeamTable::nameView(TeamCode code) const
{
    if (!isValidTeamCode(code)) return {};
    return entry(regionOfCode(code), seedOfCode(code)).name.view();
}

int roundOfGame(int game)
{
    if (game < 1) return 0;
    if (game <= FirstRoundGames) return 1;
    if (game <= 48) return 2;
    if (game <= 56) return 3;
    if (game <= 60) return 4;
    if (game <= 62) return 5;
    if (game == 63) return 6;
    return 0;
}

NextGameInfo nextGame(int game)
{
    if (game < 1 || game >= GameCount) return {};
    return {FirstRoundGames + 1 + (game - 1) / 2, game % 2 == 1 ? Slot::A : Slot::B};
}

GamePair firstRoundPair(int game)
{
    constexpr int gamesPerRegion = SeedCount / 2;
    if (game < 1 || game > FirstRoundGames) return {};
    // A region's games run down its seed order, two neighbouring labels each.
    const auto region = std::uint8_t((game - 1) / gamesPerRegion + 1);
    const std::size_t top = std::size_t((game - 1) % gamesPerRegion) * 2;
    return {makeTeamCode(region, std::uint8_t(SeedOrder[top])), makeTeamCode(region, std::uint8_t(SeedOrder[top + 1]))};
}

FeederGames feederGames(int game)
{
    if (game <= FirstRoundGames || game > GameCount) return {};
    // The inverse of nextGame: games 2n - 65 and 2n - 64 feed game n.
    const int a = 2 * (game - FirstRoundGames) - 1;
    return {a, a + 1};
}

GamePair teamsOfGame(const PickArray& picks, int game)
{
    if (game <= FirstRoundGames) return firstRoundPair(game);
    const FeederGames feeders = feederGames(game);
    if (feeders.a == 0) return {};
    return {picks[std::size_t(feeders.a)], picks[std::size_t(feeders.b)]};
}
