// What a listener of the pool session hears for each kind of change: each change once, nothing
// for a change that did not happen, and nothing once its subscription is gone.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "core/transfer/picks_import.h"
#include "pool/pool_samples.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

void PrintTo(const PoolEvent& event, std::ostream* out)
{
    *out << '{' << int(event.change) << ' ' << event.id << (event.scoringDue ? " due" : "") << '}';
}

namespace {

using Events = std::vector<PoolEvent>;

// A pool of two participants (5 and 6) and the results, as loaded.
struct Pool {
    explicit Pool(const std::string& dir) : session(host, dir, settings)
    {
        for (std::int32_t id : {5, 6, ResultsId}) session.players().add(makeEntry(id, "P"));
        heard = session.subscribe([this](const PoolEvent& event) { events.push_back(event); });
    }
    RecordingHost host;
    MemorySettings settings;
    PoolSession session;
    Events events;
    PoolEvents::Subscription heard;
};

TEST(PoolEvents, EachChangeIsHeardOnceAndOnlyWhenItHappened)
{
    const auto store = [](std::int32_t id, bool rescore) {
        return [=](PoolSession& s) { s.players().storeEntry(makeEntry(id, "Q"), rescore); };
    };
    const struct {
        const char* change;
        std::function<void(PoolSession&)> make;
        Events heard;
        bool unwritable = false;  // the pool's folder takes no journal
    } rows[] = {
        {"a new sheet saved", store(7, true), {{PoolChange::EntryStored, 7, true}}},
        {"a name corrected", store(5, false), {{PoolChange::EntryStored, 5, false}}},
        {"the results saved",
         store(ResultsId, true),
         {{PoolChange::EntryStored, ResultsId, true}, {PoolChange::ResultsChanged}}},
        {"a participant deleted", [](PoolSession& s) { s.players().deletePlayer(6); }, {{PoolChange::EntryDeleted, 6}}},
        {"the results cleared",
         [](PoolSession& s) { s.players().deletePlayer(ResultsId); },
         {{PoolChange::EntryDeleted, ResultsId}, {PoolChange::ResultsChanged}}},
        {"pool new beside an open sheet",
         [](PoolSession& s) { s.players().deleteAllPlayers({5}); },
         {{PoolChange::ListChanged}, {PoolChange::ResultsChanged}}},
        {"pool new beside the results' open sheet",
         [](PoolSession& s) { s.players().deleteAllPlayers({ResultsId}); },
         {{PoolChange::ListChanged}}},
        {"pool new with every sheet open",
         [](PoolSession& s) {
             s.players().deleteAllPlayers({5, 6, ResultsId});
         },
         {}},
        {"three participants imported",
         [](PoolSession& s) {
             PicksImport import;
             import.entries = {makeEntry(0, "A"), makeEntry(0, "B"), makeEntry(0, "C")};
             storeImportedPicks(s, import);
         },
         {{PoolChange::ListChanged, 0, true}}},
        {"a batch of one store",
         [](PoolSession& s) {
             PlayerList::Batch batch(s.players());
             s.players().storeEntry(makeEntry(8, "Q"), false);
             batch.finish();
         },
         {{PoolChange::EntryStored, 8, false}}},
        {"a held command of many kinds",
         [](PoolSession& s) {
             PoolEvents::Hold outer(&s.events());
             s.optionsChanged();
             s.players().storeEntry(makeEntry(ResultsId, "R"), true);
             {
                 PoolEvents::Hold inner(&s.events());
                 s.players().deletePlayer(5);
             }
             s.optionsChanged();
             s.players().storeEntry(makeEntry(6, "Q"), false);
         },
         {{PoolChange::ListChanged, 0, true}, {PoolChange::ResultsChanged}, {PoolChange::OptionsChanged}}},
        {"a scoring pass", [](PoolSession& s) { s.players().updateStandings(); }, {{PoolChange::Rescored}}},
        {"a scoring pass without results",
         [](PoolSession& s) {
             s.players().deletePlayer(ResultsId);
             s.players().updateStandings();
         },
         {{PoolChange::EntryDeleted, ResultsId}, {PoolChange::ResultsChanged}}},
        {"options saved", [](PoolSession& s) { s.optionsChanged(); }, {{PoolChange::OptionsChanged}}},
        {"a what-if changed", [](PoolSession& s) { s.whatIfChanged(); }, {{PoolChange::WhatIfChanged}}},
        {"a save the disk refuses",
         [](PoolSession& s) { EXPECT_ANY_THROW(s.players().storeEntry(makeEntry(7, "Q"), true)); },
         {},
         true},
        {"a deletion the disk refuses",
         [](PoolSession& s) { EXPECT_ANY_THROW(s.players().deletePlayer(5)); },
         {},
         true},
    };
    for (const auto& row : rows) {
        TempDir dir;
        Pool pool(row.unwritable ? dir.file("missing/folder") : dir.path());
        row.make(pool.session);
        EXPECT_EQ(pool.events, row.heard) << row.change;
    }
}

// A window closed while the others are told of a change is not told, not even of the change
// under way; a destroyed subscription hears nothing, also when it outlives the session.
TEST(PoolEvents, ADroppedSubscriptionHearsNothing)
{
    TempDir dir;
    auto pool = std::make_unique<Pool>(dir.path());
    int heardByLater = 0;
    PoolEvents::Subscription later;
    const PoolEvents::Subscription closing = pool->session.subscribe([&](const PoolEvent&) { later.reset(); });
    later = pool->session.subscribe([&](const PoolEvent&) { ++heardByLater; });
    pool->session.optionsChanged();
    EXPECT_EQ(heardByLater, 0);
    pool->heard = {};
    pool->session.optionsChanged();
    EXPECT_EQ(pool->events.size(), 1u);
    PoolEvents::Subscription outliving = pool->session.subscribe([&](const PoolEvent&) { ++heardByLater; });
    pool.reset();
    outliving.reset();
    EXPECT_EQ(heardByLater, 0);
}

}  // namespace
