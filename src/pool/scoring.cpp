#include <cmath>
#include <set>
#include <vector>

#include "pool/players.h"
#include "pool/pool_host.h"
#include "settings/settings.h"

int RoundPercent(double fraction) { return static_cast<int>(std::nearbyint(fraction * 100.0)); }

namespace {
// Codes that lost a game in this pass, shared by every entry of the pass: the 64 teams as bits
// of one word, and whatever else a damaged file may hold in a small set beside it.
struct EliminatedSet {
    std::uint64_t teams = 0;
    std::set<TeamCode> others;

    static std::uint64_t bitOf(TeamCode code)
    {
        return std::uint64_t(1) << ((RegionOfCode(code) - 1) * SeedCount + SeedOfCode(code) - 1);
    }
    void add(TeamCode code)
    {
        if (IsValidTeamCode(code))
            teams |= bitOf(code);
        else
            others.insert(code);
    }
    bool has(TeamCode code) const
    {
        return IsValidTeamCode(code) ? (teams & bitOf(code)) != 0 : others.count(code) != 0;
    }
};

// Sums are unsigned so that absurd stored round values wrap instead of overflowing.
void StorePoints(TPlayer& entry, const std::uint32_t (&points)[RoundCount + 1], std::uint32_t potential)
{
    std::uint32_t total = 0;
    for (int r = 1; r <= RoundCount; ++r) {
        entry.RoundPoints[r] = std::int32_t(points[r]);
        total += points[r];
    }
    entry.Total = std::int32_t(total);
    entry.Potential = std::int32_t(potential + total);
}

// Games in increasing order: a correct pick of a played game earns its value, a wrong one puts
// the picked team among the eliminated; a live pick of an open game adds to the potential.
void ScoreEntryByTheRules(TPlayer& entry, const TPlayer& results, const settings::ScoringValues& values,
                          EliminatedSet& eliminated)
{
    std::uint32_t points[RoundCount + 1] = {};
    std::uint32_t potential = 0;
    for (int g = 1; g <= GameCount; ++g) {
        const int r = RoundOfGame(g);
        const TeamCode w = results.Picks[g];
        const TeamCode p = entry.Picks[g];
        const std::uint32_t value = std::uint32_t(values.multiplyBySeed ? SeedOfCode(w != 0 ? w : p) : 1) *
                                    std::uint32_t(values.round[r]);
        if (w != 0) {
            if (p == w)
                points[r] += value;
            else
                eliminated.add(p);
        } else if (p != 0 && !eliminated.has(p)) {
            potential += value;
        }
    }
    StorePoints(entry, points, potential);
}

// The same rules for the usual case, where every pick is 0 or a team: a pass over a large pool
// should cost little more than reading the picks. The picks are as good as random to the
// processor, so the inner loops are free of branches on them.
//
// Games are taken in stretches of one round that are all played or all open. Within a stretch
// their order does not matter (played games only add to the eliminated, open games only read
// them), so each stretch is a tight loop; the stretches themselves go in game order.
struct GameRun {
    int first = 0, last = 0;  // game numbers, inclusive
    int round = 0;
    bool played = false;
};

// What a pick tells the fast loops: its team's bit (0 for a blank pick), the factor of its
// game values, and whether it is no team at all (the entry then goes by the rules instead).
struct CodeInfo {
    std::uint64_t bit = 0;
    std::uint32_t factor = 0;
    std::uint32_t odd = 0;
};

class ScoringPlan {
public:
    ScoringPlan(const TPlayer& results, const settings::ScoringValues& values) : m_results(results), m_values(values)
    {
        for (int g = 1; g <= GameCount; ++g) {
            const int r = RoundOfGame(g);
            const TeamCode w = results.Picks[g];
            if (w != 0 && !IsValidTeamCode(w)) m_fast = false;  // damaged results: by the rules only
            m_winner[g] = w;
            m_playedValue[g] = w == 0 ? 0 : factorOf(w) * std::uint32_t(values.round[r]);
            m_notWinner[g] = IsValidTeamCode(w) ? ~EliminatedSet::bitOf(w) : ~std::uint64_t(0);
            m_openValue[g] = std::uint32_t(values.round[r]);
            if (m_runs.empty() || m_runs.back().round != r || m_runs.back().played != (w != 0))
                m_runs.push_back({g, g, r, w != 0});
            else
                m_runs.back().last = g;
        }
        for (TeamCode code = 0; code < OutOfTable; ++code) {
            CodeInfo& info = m_codes[code];
            if (IsValidTeamCode(code)) {
                info.bit = EliminatedSet::bitOf(code);
                info.factor = factorOf(code);
            } else {
                info.odd = code != 0;
            }
        }
        m_codes[OutOfTable].odd = 1;
    }

    void score(TPlayer& entry, EliminatedSet& eliminated) const
    {
        if (!m_fast || !scoreFast(entry, eliminated.teams))
            ScoreEntryByTheRules(entry, m_results, m_values, eliminated);
    }

private:
    static constexpr TeamCode OutOfTable = 500;
    static const CodeInfo& info(const CodeInfo* codes, TeamCode pick)
    {
        return codes[std::uint32_t(pick) < std::uint32_t(OutOfTable) ? pick : OutOfTable];
    }
    std::uint32_t factorOf(TeamCode code) const { return m_values.multiplyBySeed ? std::uint32_t(SeedOfCode(code)) : 1; }

    // False, with nothing changed, when the entry holds a pick that is no team.
    bool scoreFast(TPlayer& entry, std::uint64_t& eliminated) const
    {
        const TeamCode* picks = entry.Picks.data();
        std::uint32_t points[RoundCount + 1] = {};
        std::uint32_t potential = 0;
        std::uint64_t lost = eliminated;
        std::uint32_t odd = 0;
        for (const GameRun& run : m_runs) {
            if (run.played) {
                std::uint32_t earned = 0;
                for (int g = run.first; g <= run.last; ++g)
                    earned += m_playedValue[g] & (0u - std::uint32_t(picks[g] == m_winner[g]));
                points[run.round] += earned;
                for (int g = run.first; g <= run.last; ++g) {  // a wrong pick's team has lost
                    const CodeInfo& code = info(m_codes, picks[g]);
                    lost |= code.bit & m_notWinner[g];
                    odd |= code.odd;
                }
            } else {
                std::uint32_t factors = 0;  // live picks, by the factor of their value
                for (int g = run.first; g <= run.last; ++g) {
                    const CodeInfo& code = info(m_codes, picks[g]);
                    factors += code.factor & (0u - std::uint32_t((code.bit & ~lost) != 0));
                    odd |= code.odd;
                }
                potential += factors * m_openValue[run.first];
            }
        }
        if (odd) return false;
        eliminated = lost;
        StorePoints(entry, points, potential);
        return true;
    }

    const TPlayer& m_results;
    settings::ScoringValues m_values;
    bool m_fast = true;
    TeamCode m_winner[GameCount + 1] = {};
    std::uint32_t m_playedValue[GameCount + 1] = {};
    std::uint64_t m_notWinner[GameCount + 1] = {};
    std::uint32_t m_openValue[GameCount + 1] = {};
    CodeInfo m_codes[OutOfTable + 1];
    std::vector<GameRun> m_runs;
};

// The progress of entry i of n, without working the percentage out for every entry: it only
// grows with i, so it is evaluated from a little before the point where it can next change.
class PassProgress {
public:
    PassProgress(IPoolHost& host, std::size_t count) : m_reporter(host), m_count(static_cast<double>(count)) {}
    void entryDone(std::size_t index)
    {
        if (static_cast<double>(index + 1) < m_nextCheck) return;
        const int percent = RoundPercent(static_cast<double>(index + 1) / m_count);
        m_reporter.report(percent);
        // The percentage reaches percent + 1 no earlier than (percent + 0.5) / 100 of the way;
        // two entries of margin absorb the rounding of the division.
        m_nextCheck = std::floor((percent + 0.5) * m_count / 100.0) - 2.0;
    }

private:
    ProgressReporter m_reporter;
    double m_count;
    double m_nextCheck = 0;
};
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
    const ScoringPlan plan(results, settings::ReadScoringValues(store));

    EliminatedSet eliminated;
    PassProgress progress(m_host, m_items.size());
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        TPlayer& entry = *m_items[i];
        if (&entry == &results) continue;
        if (!results.Modified && !entry.Modified) continue;
        plan.score(entry, eliminated);
        progress.entryDone(i);
        entry.Modified = 0;
    }
    results.Modified = 0;
    ShowStandings(force);
    return true;
}
