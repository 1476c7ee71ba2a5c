// PICKS.HFD reader: any bytes load without harm; the loaded list scores, sorts by every key,
// deletes and re-encodes, and its encoding reads back to the same bytes. A partial tail, when
// there is one, doubles as the stored scoring settings.
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/pool/errors.h"
#include "core/pool/players.h"
#include "core/pool/pool_host.h"
#include "core/settings/settings.h"

namespace {
void storeScoring(MemorySettings& store, const unsigned char* tail, std::size_t size)
{
    // Seven texts separated by ';': Round1..Round6, then MultiplybySeed.
    std::string text(reinterpret_cast<const char*>(tail), size);
    for (int i = 1; i <= 7 && !text.empty(); ++i) {
        const std::size_t cut = text.find(';');
        const std::string value = text.substr(0, cut);
        store.values[{settings::Scoring, i <= 6 ? settings::roundName(i) : settings::MultiplybySeed}] = value;
        text = cut == std::string::npos ? std::string() : text.substr(cut + 1);
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    MemorySettings store;
    const std::size_t whole = size - size % PickRecordSize;
    storeScoring(store, data + whole, size - whole);

    NullPoolHost host;
    TeamTable teams;
    PlayerList players(host, "/nonexistent", teams);
    players.setScoringSource([&store] {
        SettingsFile ini(store);
        return settings::readScoringValues(ini);
    });
    if (players.loadPlayersFromBytes(data, size) != (size == whole)) std::abort();
    if (players.count() != int(size / PickRecordSize)) std::abort();

    players.updateStandings();
    for (std::uint8_t key = 0; key < 4; ++key)
        for (std::uint8_t ascending = 0; ascending < 2; ++ascending) {
            players.setSort(static_cast<SortKey>(key), ascending != 0);
            players.sort();
            for (int i = 1; i < players.count(); ++i)
                if (players.comparePlayers(players[i - 1], players[i]) > 0) std::abort();
        }

    const std::string bytes = players.picksBytes();
    PlayerList again(host, "/nonexistent", teams);
    if (!again.loadPlayersFromBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) std::abort();
    if (again.picksBytes() != bytes) std::abort();

    // The folder cannot take a journal: the deletion is refused and changes nothing.
    if (players.count() > 0) {
        const int count = players.count();
        const bool hadResults = players.hasResults();
        try {
            players.deletePlayer(players[0].id);
            std::abort();
        } catch (const HoopError&) {
            if (players.count() != count || players.hasResults() != hadResults) std::abort();
        }
    }
    return 0;
}
