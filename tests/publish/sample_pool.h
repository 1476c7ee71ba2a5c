#pragma once
// A pool part-way through the tournament for the site's tests and the benchmark: by default rounds
// 1 and 2 decided and four games of round 3, random sheets, and round values of the test's own.
#include <memory>
#include <random>
#include <string>

#include "core/pool/players.h"
#include "core/pool/pool_host.h"
#include "core/pool/team_files.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "pool/pool_samples.h"
#include "support/temp_dir.h"

// Every pick of round n is worth RoundValue[n], whatever the seed.
inline constexpr int SampleRoundValue[RoundCount + 1] = {0, 3, 5, 7, 11, 13, 17};

struct SamplePool {
    explicit SamplePool(int participants, const std::string& extraName = {}, int played = 52)
    {
        saveRegions(dir.path(), {"East", "West", "South", "Midwest"});
        for (int r = 1; r <= RegionCount; ++r)
            for (int s = 1; s <= SeedCount; ++s) {
                Team& team = session->teams().entry(r, s);
                team.region = std::uint8_t(r);
                team.seed = std::uint8_t(s);
                team.name = "Team " + std::to_string(r * 100 + s);
            }
        SettingsFile store(settings);
        for (int r = 1; r <= RoundCount; ++r)
            store.writeInteger(settings::Scoring, settings::roundName(r), SampleRoundValue[r]);
        store.writeBool(settings::Scoring, settings::MultiplybySeed, false);
        std::mt19937 rng(7);
        PlayerList& players = session->players();
        Player results = makeEntry(ResultsId, ResultsName, randomBracket(rng, played));
        results.modified = 1;
        players.add(results);
        for (int i = 0; i < participants; ++i) {
            Player entry = makeEntry(i + 1, "Player " + std::to_string(i + 1), randomBracket(rng));
            entry.modified = 1;
            players.add(entry);
        }
        if (!extraName.empty()) {
            Player entry = makeEntry(participants + 1, extraName, randomBracket(rng));
            entry.modified = 1;
            players.add(entry);
        }
    }
    TempDir dir;
    NullPoolHost host;
    MemorySettings settings;
    std::unique_ptr<PoolSession> session = std::make_unique<PoolSession>(host, dir.path(), settings);
};
