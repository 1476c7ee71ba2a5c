#pragma once
// Sample pools for the core tests, the fuzz seeds and the benchmarks.
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "core/pool/bracket.h"
#include "core/pool/players.h"

// A consistent bracket: each of the first `played` games won by one of its two feeders, the
// rest left open (0).
inline PickArray randomBracket(std::mt19937& rng, int played = GameCount)
{
    PickArray picks{};
    for (int g = 1; g <= played; ++g) {
        const GamePair pair = teamsOfGame(picks, g);
        picks[g] = (rng() & 1) ? pair.a : pair.b;
    }
    return picks;
}

inline Player makeEntry(std::int32_t id, std::string_view name, const PickArray& picks = {})
{
    return Player{.id = id, .name = name, .picks = picks, .tiebreaker = {}};
}

// Fills the list with `participants` random consistent sheets and a results entry with the
// first round played, in the middle of the list.
inline void fillRandomPool(PlayerList& players, int participants, unsigned seed = 1)
{
    std::mt19937 rng(seed);
    for (int i = 0; i < participants; ++i) {
        if (i == participants / 2) {
            Player results = makeEntry(ResultsId, ResultsName, randomBracket(rng, 32));
            results.modified = 1;
            players.add(results);
        }
        Player entry = makeEntry(i + 1, "Player " + std::to_string(i + 1), randomBracket(rng));
        entry.tiebreaker = std::to_string(100 + i % 90);
        entry.paid = i % 2;
        entry.complete = 1;
        players.add(entry);
    }
}

// PICKS.HFD's bytes: an entry named "P<id>" for each id, the results entry by its own name.
inline std::string records(std::initializer_list<std::int32_t> ids)
{
    std::string bytes;
    for (std::int32_t id : ids) {
        unsigned char record[PickRecordSize];
        encodePlayer(makeEntry(id, id == ResultsId ? ResultsName : "P" + std::to_string(id)), record);
        bytes.append(reinterpret_cast<const char*>(record), PickRecordSize);
    }
    return bytes;
}

// The ids of the list's entries, in its order.
inline std::vector<std::int32_t> ids(const PlayerList& list)
{
    std::vector<std::int32_t> ids;
    for (int i = 0; i < list.count(); ++i) ids.push_back(list[i].id);
    return ids;
}
