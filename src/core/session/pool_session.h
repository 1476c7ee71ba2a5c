#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "core/pool/bracket.h"
#include "core/pool/file_io.h"
#include "core/pool/players.h"
#include "core/pool/pool_events.h"
#include "core/pool/scoring.h"

class PoolHost;
class SettingsBackend;

// The one object that owns a pool: its data folder, the team table, the region file, the
// participant list with its journal, the settings access, and the sources of new ids and of
// today's date. The program holds one for its run; tests build one on a temp folder. It lives
// beside the pool and settings folders rather than in either, so neither includes the other.
//
// It publishes the pool's changes (see PoolChange): the list raises its own, the session forwards
// them, and each window that is computed from the pool subscribes when it is created and
// refreshes itself, so no window relays a change to another.
class PoolSession final {
public:
    using DateSource = std::function<std::chrono::year_month_day()>;

    // host: the frame (status bar, boxes, child windows); dataDir: the pool's folder; settings:
    // the per-user settings store.
    PoolSession(PoolHost& host, std::string dataDir, SettingsBackend& settings);
    PoolSession(const PoolSession&) = delete;
    PoolSession& operator=(const PoolSession&) = delete;

    const std::string& dataDir() const { return m_dataDir; }
    TeamTable& teams() { return m_teams; }
    const TeamTable& teams() const { return m_teams; }
    PlayerList& players() { return m_players; }
    const PlayerList& players() const { return m_players; }
    SettingsBackend& settings() { return m_settings; }

    // Calls listener with every change of the pool until the subscription is dropped.
    [[nodiscard]] PoolEvents::Subscription subscribe(PoolEvents::Listener listener)
    {
        return m_events.subscribe(std::move(listener));
    }
    // For a command of many changes: told once, as one change, when the hold ends.
    PoolEvents& events() { return m_events; }
    // The pool's options were saved (round values, payouts, teams, regions).
    void optionsChanged() { m_events.publish({PoolChange::OptionsChanged}); }
    // The What If sheet's winners changed or it closed: the outlook reads them through its frame.
    void whatIfChanged() { m_events.publish({PoolChange::WhatIfChanged}); }

    // Start-up: the team table, a look at the region file, the participants (with the journal a
    // run that did not close left). Each reports what it found through the host.
    bool loadTeams();
    void checkRegionsFile();
    bool loadPlayers();
    // For a run that only reads the pool: the teams and the participants as start-up loads them,
    // with no file written or moved and nothing shown. Throws a HoopError saying why the pool
    // cannot be read so (a data file that cannot be read, a damaged journal).
    void loadUnchanged();
    // Closing, as the program closes: writes PICKS.HFD and removes the journal. Throws a HoopError
    // saying what went wrong (every saved change then stays in the journal), also when another
    // program replaced or changed PICKS.HFD or PICKS.JNL meanwhile and neither was written over.
    // The first call closes the pool, written or not; a later one writes nothing and throws
    // nothing. Destroying the session writes nothing: an owner that does not close leaves the
    // changes in the journal, as a run that was killed does.
    void closePool();

    // The Options dialog's OK. A file that could not be read at start-up is never written over.
    void saveTeams();
    void saveRegions(const std::array<std::string, 4>& names);
    std::string loadRegions(int position) const;  // empty when the file or the name is missing
    std::array<std::string, 4> regionNames() const;

    // The scoring settings of a pass, read from the store with the scoring engine's defaults.
    ScoringValues readScoringValues();

    std::int32_t newPlayerId();
    void setIdSource(IdSource source) { m_idSource = std::move(source); }
    std::chrono::year_month_day today() const { return m_dateSource(); }
    void setDateSource(DateSource source);
    // The file-reading seam for the three data files (tests make reads fail part-way).
    void setReadFunction(ReadFunction read);

private:
    std::string m_dataDir;
    SettingsBackend& m_settings;
    PoolHost& m_host;
    PoolEvents m_events;  // before the list, which tells it
    TeamTable m_teams;
    PlayerList m_players;
    FileGuard m_teamsGuard;
    FileGuard m_regionsGuard;
    ReadFunction m_read = nullptr;
    IdSource m_idSource;
    DateSource m_dateSource;
    bool m_closed = false;
};

// The system's local date.
std::chrono::year_month_day systemToday();
