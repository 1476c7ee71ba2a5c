#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/pool/players.h"
#include "core/pool/pool_host.h"
#include "core/pool/scoring.h"

int roundPercent(double fraction) { return static_cast<int>(std::nearbyint(fraction * 100.0)); }

std::uint64_t teamBit(TeamCode code)
{
    return std::uint64_t(1) << ((regionOfCode(code) - 1) * SeedCount + seedOfCode(code) - 1);
}

std::uint64_t eliminatedTeams(const PickArray& results)
{
    std::uint64_t part[GameCount + 1] = {};  // the first-round teams that can reach each game
    std::uint64_t eliminated = 0;
    for (int g = 1; g <= GameCount; ++g) {
        if (g <= FirstRoundGames) {
            const GamePair pair = firstRoundPair(g);
            part[g] = teamBit(pair.a) | teamBit(pair.b);
        } else {
            const FeederGames feeders = feederGames(g);
            part[g] = part[feeders.a] | part[feeders.b];
        }
        const TeamCode w = results[std::size_t(g)];
        if (w != 0) eliminated |= part[g] & ~(isValidTeamCode(w) ? teamBit(w) : 0);
    }
    return eliminated;
}

namespace {
// Sums are unsigned so that absurd stored round values wrap instead of overflowing.
PickScore scoreOf(const std::uint32_t (&points)[RoundCount + 1], std::uint32_t potential)
{
    PickScore score;
    std::uint32_t total = 0;
    for (int r = 1; r <= RoundCount; ++r) {
        score.roundPoints[r] = std::int32_t(points[r]);
        total += points[r];
    }
    score.total = std::int32_t(total);
    score.potential = std::int32_t(potential + total);
    return score;
}

void storePoints(Player& entry, const PickScore& score)
{
    for (int r = 1; r <= RoundCount; ++r) entry.roundPoints[r] = score.roundPoints[r];
    entry.total = score.total;
    entry.potential = score.potential;
}
}  // namespace

// Game by game: a correct pick of a played game earns its value; a pick of an open game adds its
// value to the potential while the picked team is still in. A pick that is no team (a damaged
// file) can win nothing more.
PickScore scorePicks(const PickArray& picks, const PickArray& results, const ScoringValues& values,
                     std::uint64_t eliminated)
{
    std::uint32_t points[RoundCount + 1] = {};
    std::uint32_t potential = 0;
    for (int g = 1; g <= GameCount; ++g) {
        const int r = roundOfGame(g);
        const TeamCode w = results[g];
        const TeamCode p = picks[g];
        const std::uint32_t value =
            std::uint32_t(values.multiplyBySeed ? seedOfCode(w != 0 ? w : p) : 1) * std::uint32_t(values.round[r]);
        if (w != 0) {
            if (p == w) points[r] += value;
        } else if (isValidTeamCode(p) && (eliminated & teamBit(p)) == 0) {
            potential += value;
        }
    }
    return scoreOf(points, potential);
}

namespace {
// The same rules for the usual case, where every pick of an open game is 0 or a team: a pass over
// a large pool should cost little more than reading the picks. The picks are as good as random to
// the processor, so the inner loops are free of branches on them.
//
// Games are taken in stretches of one round that are all played or all open, each a tight loop.
struct GameRun {
    int first = 0, last = 0;  // game numbers, inclusive
    int round = 0;
    bool played = false;
};

class ScoringPass {
public:
    ScoringPass(const Player& results, const ScoringValues& values)
        : m_results(results), m_values(values), m_eliminated(eliminatedTeams(results.picks))
    {
        for (int g = 1; g <= GameCount; ++g) {
            const int r = roundOfGame(g);
            const TeamCode w = results.picks[g];
            m_winner[g] = w;
            m_playedValue[g] = w == 0 ? 0 : factorOf(w) * std::uint32_t(values.round[r]);
            m_openValue[g] = std::uint32_t(values.round[r]);
            if (m_runs.empty() || m_runs.back().round != r || m_runs.back().played != (w != 0))
                m_runs.push_back({g, g, r, w != 0});
            else
                m_runs.back().last = g;
        }
        for (TeamCode code = 0; code < TableSize; ++code)
            if (isValidTeamCode(code) && (m_eliminated & teamBit(code)) == 0) m_liveFactor[code] = factorOf(code);
    }

    void score(Player& entry)
    {
        if (!scoreFast(entry)) storePoints(entry, scorePicks(entry.picks, m_results.picks, m_values, m_eliminated));
    }

private:
    // Per code below this, indexed by the code; a pick beyond it is found by or-ing the picks.
    static constexpr int TableSize = 512;

    std::uint32_t factorOf(TeamCode code) const
    {
        return m_values.multiplyBySeed ? std::uint32_t(seedOfCode(code)) : 1;
    }

    // False, with nothing changed, when an open game's pick is beyond the table.
    bool scoreFast(Player& entry) const
    {
        const TeamCode* picks = entry.picks.data();
        std::uint32_t points[RoundCount + 1] = {};
        std::uint32_t potential = 0;
        std::uint32_t bits = 0;
        for (const GameRun& run : m_runs) {
            if (run.played) {
                std::uint32_t earned = 0;
                for (int g = run.first; g <= run.last; ++g)
                    earned += m_playedValue[g] & (0u - std::uint32_t(picks[g] == m_winner[g]));
                points[run.round] += earned;
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
                potential += factors * m_openValue[run.first];
            }
        }
        if (bits >= TableSize) return false;
        storePoints(entry, scoreOf(points, potential));
        return true;
    }

    const Player& m_results;
    ScoringValues m_values;
    std::uint64_t m_eliminated;
    TeamCode m_winner[GameCount + 1] = {};
    std::uint32_t m_playedValue[GameCount + 1] = {};
    std::uint32_t m_openValue[GameCount + 1] = {};
    std::vector<GameRun> m_runs;
    // By code: what a pick of it adds to an open game's factors (0 for a team that is out and
    // for anything that is no team).
    std::uint32_t m_liveFactor[TableSize] = {};
};

// The progress of entry i of n, without working the percentage out for every entry: it only
// grows with i, so it is evaluated from a little before the point where it can next change.
class PassProgress {
public:
    PassProgress(PoolHost& host, std::size_t count) : m_reporter(host), m_count(count) {}
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

bool PlayerList::updateStandings()
{
    if (count() == 0) return false;
    struct Finish {  // clears the hint panel and the bar also when a step fails
        PoolHost& host;
        ~Finish()
        {
            host.setStatusText("");
            host.setProgress(0);
        }
    } finish{m_host};

    m_host.setStatusText(UpdatingStandingsText);
    const int resultsIndex = indexOfId(ResultsId);
    if (resultsIndex < 0) return false;
    Player& results = *m_items[static_cast<std::size_t>(resultsIndex)];

    ScoringPass pass(results, m_scoringSource ? m_scoringSource() : ScoringValues{});
    PassProgress progress(m_host, m_items.size());
    m_lastPass.clear();
    // An entry handed out for set-up may be marked or changed at any time behind the list's back:
    // then every pass counts as one that may have moved every entry.
    m_lastPassWhole = results.modified != 0 || m_handedOut;
    // A sheet saved while the standings are open is scored without walking a million entries;
    // more of them, or any the list did not mark itself, are found by the walk.
    constexpr std::size_t FewEntries = 4;
    if (m_lastPassWhole || m_due.size() > FewEntries) {
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            Player& entry = *m_items[i];
            if (&entry == &results) continue;
            if (!results.modified && !entry.modified) continue;
            pass.score(entry);
            progress.entryDone(i);
            entry.modified = 0;
            if (!m_lastPassWhole) m_lastPass.push_back(&entry);
        }
    } else {
        std::vector<std::pair<int, Player*>> due;  // in list order, as the walk would score them
        for (Player* entry : m_due)
            if (const int index = indexOfEntry(entry); index >= 0 && entry != &results && entry->modified)
                due.emplace_back(index, entry);
        std::sort(due.begin(), due.end());
        due.erase(std::unique(due.begin(), due.end()), due.end());
        for (const auto& [index, entry] : due) {
            pass.score(*entry);
            progress.entryDone(static_cast<std::size_t>(index));
            entry->modified = 0;
            m_lastPass.push_back(entry);
        }
    }
    m_due.clear();
    results.modified = 0;
    if (m_lastPassWhole) ++m_orderRevision;  // every entry may have moved
    tell({PoolChange::Rescored});
    return true;
}
