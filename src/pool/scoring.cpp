#include <cmath>

#include "pool/players.h"
#include "pool/pool_host.h"
#include "settings/settings.h"

int RoundPercent(double fraction) { return static_cast<int>(std::nearbyint(fraction * 100.0)); }

namespace {
// Codes that lost a game in this pass; codes outside 0..499 never index it.
struct EliminatedSet {
    bool lost[500] = {};
    void add(TeamCode code)
    {
        if (code >= 0 && code < 500) lost[code] = true;
    }
    bool has(TeamCode code) const { return code >= 0 && code < 500 && lost[code]; }
};

// Unsigned arithmetic wraps instead of overflowing for absurd stored round values.
std::int32_t Add(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
std::int32_t Mul(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

void ScoreEntry(TPlayer& entry, const TPlayer& results, const settings::ScoringValues& values,
                EliminatedSet& eliminated)
{
    entry.Total = 0;
    entry.Potential = 0;
    for (int r = 1; r <= RoundCount; ++r) entry.RoundPoints[r] = 0;
    for (int g = 1; g <= GameCount; ++g) {
        const int r = RoundOfGame(g);
        const TeamCode w = results.Picks[g];
        const TeamCode p = entry.Picks[g];
        const std::int32_t v =
            values.multiplyBySeed ? Mul(SeedOfCode(w != 0 ? w : p), values.round[r]) : values.round[r];
        if (w != 0) {
            if (p == w)
                entry.RoundPoints[r] = Add(entry.RoundPoints[r], v);
            else
                eliminated.add(p);
        } else if (p != 0 && !eliminated.has(p)) {
            entry.Potential = Add(entry.Potential, v);
        }
    }
    for (int r = 1; r <= RoundCount; ++r) entry.Total = Add(entry.Total, entry.RoundPoints[r]);
    entry.Potential = Add(entry.Potential, entry.Total);
}
}  // namespace

bool TPlayers::UpdateStandings(bool force)
{
    if (Count() == 0 || (!StandingsWindow && !force)) return false;
    struct Finish {  // clears the hint panel and the bar also when a step fails
        IPoolHost& host;
        ~Finish()
        {
            host.SetStatusText("");
            host.SetProgress(0);
        }
    } finish{m_host};

    m_host.SetStatusText(UpdatingStandingsText);
    const int resultsIndex = IndexOfId(ResultsId);
    if (resultsIndex < 0) return false;
    TPlayer& results = *m_items[static_cast<std::size_t>(resultsIndex)];

    TRegIniFile store;
    const settings::ScoringValues values = settings::ReadScoringValues(store);

    EliminatedSet eliminated;
    ProgressReporter progress(m_host);
    const double n = static_cast<double>(m_items.size());
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        TPlayer& entry = *m_items[i];
        if (&entry == &results) continue;
        if (!results.Modified && !entry.Modified) continue;
        ScoreEntry(entry, results, values, eliminated);
        progress.report(RoundPercent(static_cast<double>(i + 1) / n));
        entry.Modified = 0;
    }
    results.Modified = 0;
    ShowStandings(force);
    return true;
}
