#include <bit>
#include <cmath>
#include <cstring>
#include <set>
#include <vector>

#include "pool/players.h"
#include "pool/pool_host.h"
#include "pool/scoring.h"

int roundPercent(double fraction) { return static_cast<int>(std::nearbyint(fraction * 100.0)); }

namespace {
// Codes that lost a game in this pass, shared by every entry of the pass: the 64 teams as bits
// of one word, and whatever else a damaged file may hold in a small set beside it.
struct EliminatedSet {
    std::uint64_t teams = 0;
    std::set<TeamCode> others;

    static std::uint64_t bitOf(TeamCode code)
    {
        return std::uint64_t(1) << ((regionOfCode(code) - 1) * SeedCount + SeedOfCode(code) - 1);
    }
    void add(TeamCode code)
    {
        if (isValidTeamCode(code))
            teams |= bitOf(code);
        else
            others.insert(code);
    }
    bool has(TeamCode code) const
    {
        return isValidTeamCode(code) ? (teams & bitOf(code)) != 0 : others.count(code) != 0;
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
void ScoreEntryByTheRules(TPlayer& entry, const TPlayer& results, const ScoringValues& values,
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

class ScoringPass {
public:
    ScoringPass(const TPlayer& results, const ScoringValues& values) : m_results(results), m_values(values)
    {
        for (int g = 1; g <= GameCount; ++g) {
            const int r = RoundOfGame(g);
            const TeamCode w = results.Picks[g];
            if (w != 0 && !isValidTeamCode(w)) m_fast = false;  // damaged results: by the rules only
            m_winner[g] = w;
            m_playedValue[g] = w == 0 ? 0 : factorOf(w) * std::uint32_t(values.round[r]);
            m_notWinner[g] = isValidTeamCode(w) ? ~EliminatedSet::bitOf(w) : ~std::uint64_t(0);
            m_openValue[g] = std::uint32_t(values.round[r]);
            if (w != 0) {  // the team the winner beat, as far as the results tell
                const GamePair pair = teamsOfGame(results.Picks, g);
                const TeamCode other = pair.a == w ? pair.b : pair.b == w ? pair.a : 0;
                m_opponent[g] = isValidTeamCode(other) ? other : 0;
            }
            if (m_runs.empty() || m_runs.back().round != r || m_runs.back().played != (w != 0))
                m_runs.push_back({g, g, r, w != 0});
            else
                m_runs.back().last = g;
        }
        for (TeamCode code = 0; code < TableSize; ++code) {
            if (isValidTeamCode(code)) {
                m_lostBit[code] = EliminatedSet::bitOf(code);
                m_liveFactor[code] = factorOf(code);
                m_codeOfBit[std::countr_zero(m_lostBit[code])] = code;
            } else if (code != 0) {
                m_odd[code] = 1;
                m_liveFactor[code] = Poison;
            }
        }
    }

    void score(TPlayer& entry)
    {
        const std::uint64_t before = m_eliminated.teams;
        if (!m_fast || !scoreFast(entry)) {
            ScoreEntryByTheRules(entry, m_results, m_values, m_eliminated);
            setLive(m_eliminated.teams & ~before, false);
        }
        if (m_eliminated.teams != before) updateKnownLosers();
    }

private:
    // Per code, indexed by its low nine bits; a pick whose other bits are set is found by or-ing
    // every pick together.
    static constexpr int TableSize = 512;
    static constexpr std::uint32_t Poison = 1u << 24;  // above any sum of real factors of a stretch

    std::uint32_t factorOf(TeamCode code) const { return m_values.multiplyBySeed ? std::uint32_t(SeedOfCode(code)) : 1; }

    // Keeps the live factors in step with the eliminated teams (a handful of times per pass).
    void setLive(std::uint64_t teams, bool live)
    {
        for (; teams; teams &= teams - 1) {
            const TeamCode code = m_codeOfBit[std::countr_zero(teams)];
            m_liveFactor[code] = live ? factorOf(code) : 0;
        }
    }

    // A played game's beaten team once it is among the eliminated (0 until then): a pick of it,
    // like one of the winner, can add nothing to the eliminated. Most sheets pick only such
    // teams in played games, and their scan of them is then vectorised.
    void updateKnownLosers()
    {
        for (int g = 1; g <= GameCount; ++g) {
            const TeamCode other = m_opponent[g];
            const bool lost = other != 0 && (m_eliminated.teams & EliminatedSet::bitOf(other)) != 0;
            m_knownLoser[g] = lost ? other : 0;
        }
    }

    // False, with nothing changed, when the entry holds a pick that is no team.
    bool scoreFast(TPlayer& entry)
    {
        const TeamCode* picks = entry.Picks.data();
        std::uint32_t points[RoundCount + 1] = {};
        std::uint32_t potential = 0;
        const std::uint64_t before = m_eliminated.teams;
        std::uint64_t lost = before;
        std::uint64_t marked = before;
        std::uint32_t odd = 0;
        std::uint32_t bits = 0;
        for (const GameRun& run : m_runs) {
            if (run.played) {
                std::uint32_t earned = 0;
                std::uint32_t known = ~0u;
                for (int g = run.first; g <= run.last; ++g) {
                    const TeamCode p = picks[g];
                    const std::uint32_t correct = 0u - std::uint32_t(p == m_winner[g]);
                    earned += m_playedValue[g] & correct;
                    known &= correct | (0u - std::uint32_t(p == m_knownLoser[g]));
                }
                points[run.round] += earned;
                if (known) continue;
                for (int g = run.first; g <= run.last; ++g) {  // a wrong pick's team has lost
                    const auto p = std::uint32_t(picks[g]);
                    bits |= p;
                    lost |= m_lostBit[p % TableSize] & m_notWinner[g];
                    odd |= m_odd[p % TableSize];
                }
                if (lost != marked) {
                    setLive(lost & ~marked, false);
                    marked = lost;
                }
            } else {
                std::uint32_t factors = 0;  // live picks, by the factor of their value
                // Two picks per step, read as one word: the order of the halves does not matter.
                std::uint64_t both = 0;
                int g = run.first;
                for (; g < run.last; g += 2) {
                    std::uint64_t two;
                    std::memcpy(&two, picks + g, sizeof two);
                    both |= two;
                    factors += m_liveFactor[two % TableSize] + m_liveFactor[(two >> 32) % TableSize];
                }
                if (g == run.last) {
                    both |= std::uint32_t(picks[g]);
                    factors += m_liveFactor[std::uint32_t(picks[g]) % TableSize];
                }
                bits |= std::uint32_t(both) | std::uint32_t(both >> 32);
                odd |= factors & ~(Poison - 1);
                potential += factors * m_openValue[run.first];
            }
        }
        if (odd || bits >= TableSize) {
            setLive(lost & ~before, true);
            return false;
        }
        m_eliminated.teams = lost;
        StorePoints(entry, points, potential);
        return true;
    }

    const TPlayer& m_results;
    ScoringValues m_values;
    EliminatedSet m_eliminated;
    bool m_fast = true;
    TeamCode m_winner[GameCount + 1] = {};
    std::uint32_t m_playedValue[GameCount + 1] = {};
    std::uint64_t m_notWinner[GameCount + 1] = {};
    std::uint32_t m_openValue[GameCount + 1] = {};
    TeamCode m_opponent[GameCount + 1] = {};
    TeamCode m_knownLoser[GameCount + 1] = {};
    std::vector<GameRun> m_runs;
    // By code: the team's bit (0 for anything else), what a pick of it adds to an open game's
    // factors (0 once eliminated; a poison for codes that are no team), and whether it is such.
    std::uint64_t m_lostBit[TableSize] = {};
    std::uint32_t m_liveFactor[TableSize] = {};
    std::uint8_t m_odd[TableSize] = {};
    TeamCode m_codeOfBit[64] = {};
};

// The progress of entry i of n, without working the percentage out for every entry: it only
// grows with i, so it is evaluated from a little before the point where it can next change.
class PassProgress {
public:
    PassProgress(IPoolHost& host, std::size_t count) : m_reporter(host), m_count(count) {}
    void entryDone(std::size_t index)
    {
        if (index + 1 < m_nextCheck) return;
        const int percent = roundPercent(static_cast<double>(index + 1) / static_cast<double>(m_count));
        m_reporter.report(percent);
        // The percentage reaches percent + 1 no earlier than (percent + 0.5) / 100 of the way;
        // two entries of margin absorb the rounding of the division.
        const double next = std::floor((percent + 0.5) * static_cast<double>(m_count) / 100.0) - 2.0;
        m_nextCheck = next > 0 ? static_cast<std::size_t>(next) : 0;
    }

private:
    ProgressReporter m_reporter;
    std::size_t m_count;
    std::size_t m_nextCheck = 0;
};
}  // namespace

bool TPlayers::UpdateStandings(bool force)
{
    if (count() == 0 || (!m_host.isStandingsOpen() && !force)) return false;
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

    ScoringPass pass(results, m_scoringSource ? m_scoringSource() : ScoringValues{});
    PassProgress progress(m_host, m_items.size());
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        TPlayer& entry = *m_items[i];
        if (&entry == &results) continue;
        if (!results.Modified && !entry.Modified) continue;
        pass.score(entry);
        progress.entryDone(i);
        entry.Modified = 0;
    }
    results.Modified = 0;
    ShowStandings(force);
    return true;
}
