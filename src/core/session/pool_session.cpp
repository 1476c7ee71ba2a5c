#include "core/session/pool_session.h"

#include <ctime>

#include "core/pool/errors.h"
#include "core/pool/team_files.h"
#include "core/settings/settings.h"

std::chrono::year_month_day systemToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                       std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                       std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

PoolSession::PoolSession(PoolHost& host, std::string dataDir, SettingsBackend& settings)
    : m_dataDir(std::move(dataDir)), m_settings(settings), m_host(host), m_players(host, m_dataDir, m_teams),
      m_idSource(clockIdSource()), m_dateSource(&systemToday)
{
    m_players.setScoringSource([this] { return readScoringValues(); });
    m_players.setEvents(&m_events);
}

bool PoolSession::loadTeams() { return ::loadTeams(m_dataDir, m_teams, m_host, m_teamsGuard, m_read); }

void PoolSession::checkRegionsFile() { ::checkRegionsFile(m_dataDir, m_host, m_regionsGuard, m_read); }

bool PoolSession::loadPlayers() { return m_players.loadPlayers(); }

void PoolSession::loadUnchanged()
{
    std::string bytes;
    for (const std::string& name : {RegionsFileName, TeamsFileName}) {
        const std::string path = joinPath(m_dataDir, name);
        const ReadOutcome read = readWholeFile(path, bytes, m_read);
        if (read.status == ReadStatus::Unreadable)
            throw HoopError("The file " + path + " could not be read: " + read.reason + ".");
    }
    // The team file's bytes are the last read; a torn last record is left out, as at start-up.
    loadTeamsFromBytes(m_teams, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    m_players.loadUnchanged();
}

void PoolSession::closePool()
{
    if (m_closed) return;
    m_closed = true;
    try {
        m_players.writePicksFile();
    } catch (const FileChangedError&) {
        throw;  // says itself what was kept where
    } catch (const std::exception& error) {
        throw HoopError(std::string(error.what()) + ".\n\n" + JournalKeptNote);
    }
}

void PoolSession::saveTeams() { ::saveTeams(m_dataDir, m_teams, &m_teamsGuard); }

void PoolSession::saveRegions(const std::array<std::string, 4>& names)
{
    ::saveRegions(m_dataDir, names, &m_regionsGuard);
}

std::string PoolSession::loadRegions(int position) const { return ::loadRegions(m_dataDir, position); }

std::array<std::string, 4> PoolSession::regionNames() const { return loadRegionNames(m_dataDir); }

ScoringValues PoolSession::readScoringValues()
{
    SettingsFile store(m_settings);
    return settings::readScoringValues(store);
}

std::int32_t PoolSession::newPlayerId() { return ::newPlayerId(m_players, m_idSource); }

void PoolSession::setDateSource(DateSource source) { m_dateSource = source ? std::move(source) : &systemToday; }

void PoolSession::setReadFunction(ReadFunction read)
{
    m_read = read;
    m_players.setReadFunction(read);
}
