#pragma once
// A pool on a temp folder whose teams are called "T" and their code, except two that share the
// name "Tech" (East 5 and West 12), with the regions East, West, South and Midwest.
#include <algorithm>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/pool/bracket.h"
#include "core/pool/team_files.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "core/transfer/picks_import.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

inline void nameTeams(TeamTable& teams)
{
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s) {
            Team& team = teams.entry(r, s);
            team.region = std::uint8_t(r);
            team.seed = std::uint8_t(s);
            team.name = "T" + std::to_string(r * 100 + s);
        }
    teams.entry(1, 5).name = "Tech";
    teams.entry(2, 12).name = "tech ";
}

struct TestPool {
    explicit TestPool(const TempDir& folder) : dir(folder)
    {
        saveRegions(dir.path(), {"East", "West", "South", "Midwest"});
        nameTeams(session->teams());
        session->setIdSource([this] { return nextId++; });
    }
    const TempDir& dir;
    RecordingHost host;
    MemorySettings settings;
    std::unique_ptr<PoolSession> session = std::make_unique<PoolSession>(host, dir.path(), settings);
    std::int32_t nextId = 1001;
};

// The header line of a picks file, and a line of cells in its column order.
inline std::string picksHeader()
{
    std::string header = "Name,Tiebreaker,Paid";
    for (int game = 1; game <= GameCount; ++game) header += "," + gameColumnName(game);
    return header;
}

// The cell of a team by its name, or by region and seed for the two called "Tech".
inline std::string cellOf(TeamCode code)
{
    if (code == 0) return {};
    if (code == 105) return "East 5";
    if (code == 212) return "West 12";
    return "T" + std::to_string(code);
}

// A line: start (name, tiebreaker, paid), then a cell per pick; game's cell replaced by cell.
inline std::string picksLine(const std::string& start, const PickArray& picks, int game = 0,
                             const std::string& cell = {})
{
    std::string line = start;
    for (int g = 1; g <= GameCount; ++g) line += "," + (g == game ? cell : cellOf(picks[std::size_t(g)]));
    return line;
}

// A consistent bracket: the upper team wins every game of the first `played` games.
inline PickArray favourites(int played = GameCount)
{
    PickArray picks{};
    for (int g = 1; g <= played; ++g) picks[std::size_t(g)] = teamsOfGame(picks, g).a;
    return picks;
}

// Columns in another order than the documented one; the regions first appear as given (South,
// East, Midwest, West unless told), and each team is called by its region and seed ("East 7").
// skip: a region and seed left out; extra: lines added at the end.
inline std::string fieldFile(const std::string& skip = {}, const std::vector<std::string>& extra = {},
                             const std::vector<std::string>& regions = {"South", "East", "Midwest", "West"})
{
    std::vector<std::string> lines;
    for (int s = 1; s <= SeedCount; ++s)
        for (const std::string& region : regions) {
            const std::string key = region + " " + std::to_string(s);
            if (key == skip) continue;
            lines.push_back(key + "," + std::to_string(s) + "," + region + "," + std::to_string(10 + s) + "," +
                            (s == 2 ? "" : "3"));
        }
    std::mt19937 rng(3);
    std::shuffle(lines.begin() + 4, lines.end(), rng);  // the first four keep the regions' order
    lines.insert(lines.end(), extra.begin(), extra.end());
    std::string text = "Team,Seed,Region,Wins,Losses\n";
    for (const std::string& line : lines) text += line + "\n";
    return text;
}
