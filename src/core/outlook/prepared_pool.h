#pragma once
// The engine's prepared form of a pool: the remaining games as levels in game order, and each
// participant's picks of them as columns, so the inner loops run over participants.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/outlook/outlook.h"

namespace outlook::detail {

// The loops every outcome or search step runs over all participants, built for AVX2 as well where
// the processor has it (the choice is made once, at load time). Clang cannot clone function
// templates and other processors have no AVX2: there the loops are built once.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define HOOP_HOT_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define HOOP_HOT_LOOP
#endif

// Teams numbered 0..63, region position first, then seed: the bits of a level's reach.
inline int teamIndex(TeamCode code) { return (regionOfCode(code) - 1) * SeedCount + seedOfCode(code) - 1; }
inline TeamCode teamOfIndex(int index)
{
    return makeTeamCode(std::uint8_t(index / SeedCount + 1), std::uint8_t(index % SeedCount + 1));
}

// One side of a remaining game: a fixed team (a first-round pair, or an entered result of its
// feeder) or the winner of an earlier level.
struct Side {
    TeamCode fixed = 0;
    int level = -1;
    bool alive = false;  // a code that is no team never advances
};

struct Level {
    int game = 0;
    int round = 0;
    Side side[2];
    int choices = 0;                             // sides that can win (a level with none has winner 0)
    int firstChoice = 0;                         // side of choice 0
    std::uint32_t value[SeedCount + 1] = {};     // points for a correct pick of a winner of seed s
    std::int64_t trueValue[SeedCount + 1] = {};  // the same without 32-bit wrapping
    std::uint64_t reach = 0;                     // bits of the teams that can win this level
    int nextLevel = -1;                          // the level the winner goes on to, if it is a remaining game
};

struct PreparedPool {
    int n = 0;  // participants
    int levelCount = 0;
    int places = 3;
    int prizePlaces = 0;  // places with a prize, for the shares of each place
    std::vector<Level> levels;
    std::vector<std::int32_t> picks;  // [level * n + j]: team code, -1 where it cannot score
    std::vector<std::uint32_t> base;  // points already earned, the standings' 32-bit sums
    // When every total fits in 32 bits, values and totals are divided by their greatest common
    // divisor: the order of totals is the same, so pools that differ by a factor get the same
    // figures at the same speed. scale: that divisor (1 when nothing was divided).
    std::int64_t scale = 1;
    // Totals always fit in 32 bits, with room for the sums of a few differences the searches
    // keep: Can Win and the finishes can be searched.
    bool searchable = false;
    // Totals always fit in 32 bits and span at most histSpan values: ranks by counting.
    bool narrow = false;
    std::int32_t histLo = 0;
    std::int32_t histSpan = 0;

    const std::int32_t* column(int level) const { return picks.data() + std::size_t(level) * std::size_t(n); }
    TeamCode winnerOfSide(int level, int side, const TeamCode* current) const
    {
        const Side& s = levels[std::size_t(level)].side[side];
        if (!s.alive) return 0;
        return s.level >= 0 ? current[s.level] : s.fixed;
    }
};

PreparedPool preparePool(const OutlookInput& input);
// [level * 2 + side]: the teams that can come through each side of each level.
std::vector<std::uint64_t> sideReaches(const PreparedPool& model);
// [level * 64 + team]: how many participants picked the team to win the level's game.
std::vector<std::int32_t> pickerCounts(const PreparedPool& model);
std::uint32_t levelValue(const Level& level, TeamCode winner);
// Probability that choice c of the level wins, given the current winners of earlier levels.
double choiceProbability(const PreparedPool& model, int level, int choice, const TeamCode* current);
TeamCode choiceWinner(const PreparedPool& model, int level, int choice, const TeamCode* current);

// Rank counts and probability sums per participant over the outcomes one worker evaluated.
class Evaluator final {
public:
    Evaluator(const PreparedPool& model, bool ranks);
    // totals: every participant's total under one outcome; weight: its probability, fixed point.
    void evaluate(const std::uint32_t* totals, std::uint64_t weight);
    void mergeInto(Evaluator& into) const;

    std::vector<std::uint64_t> win, money;
    std::vector<std::uint64_t> placeShare;  // [j * prizePlaces + place]: weight of j's share of it
    std::vector<std::int32_t> best, worst;  // participants strictly higher, fewest and most
    std::uint64_t weightSum = 0;

private:
    void sharePlaces(std::size_t j, std::int32_t rank, std::int32_t tied, std::uint64_t weight);

    const PreparedPool& m_model;
    bool m_ranks;
    std::vector<std::int32_t> m_counts, m_above, m_paid;
    std::vector<std::int32_t> m_sorted;
};

// The totals of every participant, kept in step with the winners of the levels.
class Totals final {
public:
    explicit Totals(const PreparedPool& model);
    void reset();
    void setWinner(int level, TeamCode winner);
    const std::uint32_t* data() const { return m_totals.data(); }
    const TeamCode* winners() const { return m_winners.data(); }

private:
    const PreparedPool& m_model;
    std::vector<std::uint32_t> m_totals;
    std::vector<TeamCode> m_winners;
};

bool stopped(const OutlookOptions& options);

// Runs task 0..count-1 on the engine's threads (fn(task, worker)); the calling thread reports
// progress. False when cancelled.
bool runTasks(int count, int workers, const OutlookOptions& options, const std::function<void(int, int)>& fn,
              double from, double to);
int workerCount(const OutlookOptions& options);

// The most participants strictly above one participant over all outcomes, by branch and bound
// (see worst_search.cpp). One per thread; run may be called for any participant in turn. Of the
// options only the cancel flag is used, and kept: the model and the flag must outlive the search.
class WorstSearch final {
public:
    WorstSearch(const PreparedPool& model, const OutlookOptions& options);
    ~WorstSearch();
    // found: a count known to be reachable, raised to the most; false when the budget (in
    // rival-steps) ran out or the run was cancelled. place: where to go on from (empty: the
    // start), and on return where this run stopped (empty when it finished), so a search can be
    // continued with more budget without repeating its work.
    bool run(int participant, std::int32_t& found, std::uint64_t budget, std::vector<int>& place);
    // The work the last run did, in rival-steps.
    std::uint64_t steps() const;

    class Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

// Exact Can Win and best and worst finishes by branch and bound, starting from finishes known to
// be reachable (best/worst: participants strictly higher). bestProven[i], worstProven[i]: that
// search of participant i finished within the budget. False when cancelled.
bool searchFinishes(const PreparedPool& model, const OutlookOptions& options, std::vector<std::int32_t>& best,
                    std::vector<std::int32_t>& worst, std::vector<std::uint8_t>& bestProven,
                    std::vector<std::uint8_t>& worstProven);

}  // namespace outlook::detail
