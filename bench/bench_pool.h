#pragma once
// The participants the window benchmarks share: "Participant" and a number (a long shared start,
// so a sort cannot decide on the first letters), drawn from one fixed generator, with the results
// entry in the middle of the list.
#include <cstdint>
#include <string>

#include "core/pool/players.h"

// fill(entry, next) sets what a benchmark needs beyond id and name, drawing from next().
template <class Fill> void addBenchParticipants(PlayerList& players, int n, Fill fill)
{
    std::uint32_t state = 12345;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (int i = 0; i < n; ++i) {
        Player entry;
        entry.id = i + 1;
        entry.name = "Participant " + std::to_string(next() % 1000000);
        fill(entry, next);
        players.add(entry);
        if (i == n / 2) {
            Player results;
            results.id = ResultsId;
            results.name = ResultsName;
            players.add(results);
        }
    }
}
