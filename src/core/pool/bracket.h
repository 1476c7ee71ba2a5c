#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "core/pool/short_string.h"

// A team: region position x 100 + seed (101..116, 201..216, 301..316, 401..416); 0 = no team.
using TeamCode = std::int32_t;

constexpr int RegionCount = 4;
constexpr int SeedCount = 16;
constexpr int GameCount = 63;
constexpr int RoundCount = 6;
constexpr int FirstRoundGames = 32;  // games 1..32; every later game is fed by two earlier ones

TeamCode makeTeamCode(std::uint8_t region, std::uint8_t seed);
int seedOfCode(TeamCode code);
int regionOfCode(TeamCode code);
bool isValidTeamCode(TeamCode code);

// One team entry; the layout is the 21-byte record of TEAMS.HFD.
struct Team {
    std::uint8_t region = 0;
    std::uint8_t seed = 0;
    ShortString<12> name;
    ShortString<2> wins;
    ShortString<2> losses;
};

// The team table, [region position 1..4][seed 1..16]; the pool session owns the program's one.
class TeamTable {
public:
    Team& entry(int region, int seed) { return m_teams[region - 1][seed - 1]; }
    const Team& entry(int region, int seed) const { return m_teams[region - 1][seed - 1]; }
    // Name of a team; empty for 0 and for anything that is not a valid code.
    CodePageText teamName(TeamCode code) const { return {std::string(nameView(code))}; }
    std::string_view nameView(TeamCode code) const;
    void clear();

private:
    Team m_teams[RegionCount][SeedCount];
};

// Round 1..6 of game 1..63 (0 outside).
int roundOfGame(int game);

enum class Slot { A, B };
struct NextGameInfo {
    int game = 0;  // 0 for game 63
    Slot slot = Slot::A;
};
NextGameInfo nextGame(int game);

// The fixed teams of first-round game 1..32 (slot A first).
struct GamePair {
    TeamCode a = 0;
    TeamCode b = 0;
};
GamePair firstRoundPair(int game);

// Top-to-bottom seed order of a region's sixteen teams (1, 16, 8, 9, ... 2, 15).
extern const std::array<int, 16> SeedOrder;

// Picks or results: index 1..63 = game (index 0 unused).
using PickArray = std::array<TeamCode, GameCount + 1>;

// The two games whose winners meet in game 33..63, slot A's first; {0, 0} for any other game.
struct FeederGames {
    int a = 0;
    int b = 0;
};
FeederGames feederGames(int game);

// The two teams game 1..63 is played between by these picks: a first-round game's fixed pair,
// a later game's two feeder picks; {0, 0} outside.
GamePair teamsOfGame(const PickArray& picks, int game);
