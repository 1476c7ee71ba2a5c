#include "core/outlook/outlook.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <numeric>
#include <thread>

#include "core/outlook/prepared_pool.h"
#include "core/pool/players.h"

namespace outlook {

double winProbability(int seedA, int seedB, bool firstRound)
{
    if (seedA == seedB) return 0.5;
    if (firstRound) {
        // How often the better seed of each first-round pairing has won: 1v16, 2v15 ... 8v9.
        static constexpr double Better[9] = {0, 0.99, 0.94, 0.85, 0.79, 0.64, 0.63, 0.61, 0.51};
        const int better = std::clamp(std::min(seedA, seedB), 1, 8);
        return seedA < seedB ? Better[better] : 1.0 - Better[better];
    }
    return double(seedB) / double(seedA + seedB);
}

namespace detail {

namespace {
constexpr int Ways = 4;  // histograms side by side, so equal totals in a row do not wait on each other

std::uint64_t teamBit(TeamCode code) { return std::uint64_t(1) << teamIndex(code); }

// The standings' value of a correct pick of w in round r, in their 32-bit unsigned arithmetic.
std::uint32_t standingsValue(const ScoringValues& values, int round, TeamCode w)
{
    return std::uint32_t(values.multiplyBySeed ? seedOfCode(w) : 1) * std::uint32_t(values.round[round]);
}
}  // namespace

std::uint32_t levelValue(const Level& level, TeamCode winner)
{
    return winner == 0 ? 0 : level.value[seedOfCode(winner)];
}

TeamCode choiceWinner(const PreparedPool& model, int level, int choice, const TeamCode* current)
{
    const Level& l = model.levels[std::size_t(level)];
    if (l.choices == 0) return 0;
    return model.winnerOfSide(level, choice == 0 ? l.firstChoice : 1, current);
}

double choiceProbability(const PreparedPool& model, int level, int choice, const TeamCode* current)
{
    const Level& l = model.levels[std::size_t(level)];
    if (l.choices < 2) return 1.0;
    const TeamCode w = model.winnerOfSide(level, choice, current);
    const TeamCode other = model.winnerOfSide(level, 1 - choice, current);
    if (w == 0 || other == 0) return w == 0 ? 0.0 : 1.0;
    return winProbability(seedOfCode(w), seedOfCode(other), l.round == 1);
}

PreparedPool preparePool(const OutlookInput& input)
{
    PreparedPool m;
    m.n = int(input.participants.size());
    m.places = std::clamp(input.places, 1, MaxPaidPlaces);
    m.prizePlaces = std::min(int(input.prizes.size()), MaxPaidPlaces);
    const PickArray& results = input.results;
    int levelOfGame[GameCount + 1];
    std::fill(std::begin(levelOfGame), std::end(levelOfGame), -1);
    for (int g = 1; g <= GameCount; ++g) {
        if (results[std::size_t(g)] != 0) continue;
        Level l;
        l.game = g;
        l.round = roundOfGame(g);
        if (g <= FirstRoundGames) {
            const GamePair pair = firstRoundPair(g);
            l.side[0].fixed = pair.a;
            l.side[1].fixed = pair.b;
        } else {
            const FeederGames f = feederGames(g);
            const int feeders[2] = {f.a, f.b};
            for (int s = 0; s < 2; ++s) {
                if (results[std::size_t(feeders[s])] != 0)
                    l.side[s].fixed = results[std::size_t(feeders[s])];
                else
                    l.side[s].level = levelOfGame[feeders[s]];
            }
        }
        for (Side& s : l.side) {
            if (s.level >= 0) {
                s.alive = m.levels[std::size_t(s.level)].choices > 0;
                l.reach |= m.levels[std::size_t(s.level)].reach;
            } else if (isValidTeamCode(s.fixed)) {
                s.alive = true;
                l.reach |= teamBit(s.fixed);
            }
        }
        l.choices = int(l.side[0].alive) + int(l.side[1].alive);
        l.firstChoice = l.side[0].alive ? 0 : 1;
        for (int seed = 1; seed <= SeedCount; ++seed) {
            l.value[seed] = standingsValue(input.values, l.round, seed);
            l.trueValue[seed] = std::int64_t(input.values.multiplyBySeed ? seed : 1) * input.values.round[l.round];
        }
        levelOfGame[g] = int(m.levels.size());
        m.levels.push_back(l);
    }
    m.levelCount = int(m.levels.size());
    for (Level& l : m.levels)
        if (l.game < GameCount) l.nextLevel = levelOfGame[nextGame(l.game).game];

    const auto n = std::size_t(m.n);
    m.picks.assign(std::size_t(m.levelCount) * n, -1);
    m.base.assign(n, 0);
    std::int64_t baseLo = std::numeric_limits<std::int64_t>::max(), baseHi = std::numeric_limits<std::int64_t>::min();
    bool fits = true;
    for (std::size_t j = 0; j < n; ++j) {
        const PickArray& picks = input.participants[j].picks;
        std::uint32_t points = 0;
        std::int64_t exact = 0;
        for (int g = 1; g <= GameCount; ++g) {
            const TeamCode w = results[std::size_t(g)];
            if (w != 0 && picks[std::size_t(g)] == w) {
                points += standingsValue(input.values, roundOfGame(g), w);
                exact +=
                    std::int64_t(input.values.multiplyBySeed ? seedOfCode(w) : 1) * input.values.round[roundOfGame(g)];
            }
        }
        m.base[j] = points;
        fits = fits && exact == std::int64_t(std::int32_t(points));
        baseLo = std::min(baseLo, exact);
        baseHi = std::max(baseHi, exact);
        for (int k = 0; k < m.levelCount; ++k) {
            const TeamCode p = picks[std::size_t(m.levels[std::size_t(k)].game)];
            // A pick that is no team, or one that cannot reach the game, never scores there.
            if (isValidTeamCode(p) && (m.levels[std::size_t(k)].reach & teamBit(p)))
                m.picks[std::size_t(k) * n + j] = p;
        }
    }
    std::int64_t lo = baseLo, hi = baseHi, divisor = 0;
    for (const Level& l : m.levels) {
        std::int64_t vmin = 0, vmax = 0;
        for (int seed = 1; seed <= SeedCount; ++seed) {
            vmin = std::min(vmin, l.trueValue[seed]);
            vmax = std::max(vmax, l.trueValue[seed]);
            divisor = std::gcd(divisor, l.trueValue[seed]);
        }
        lo += vmin;
        hi += vmax;
    }
    const bool inRange = fits && m.n > 0 && lo >= std::numeric_limits<std::int32_t>::min() &&
                         hi <= std::numeric_limits<std::int32_t>::max();
    if (inRange) {
        // Every total is then the true sum (no wrapping), so dividing keeps their order exactly.
        for (const std::uint32_t b : m.base) divisor = std::gcd(divisor, std::int64_t(std::int32_t(b)));
        if (divisor > 1) {
            m.scale = divisor;
            for (std::uint32_t& b : m.base) b = std::uint32_t(std::int32_t(b) / divisor);
            for (Level& l : m.levels)
                for (int seed = 1; seed <= SeedCount; ++seed) {
                    l.trueValue[seed] /= divisor;
                    l.value[seed] = std::uint32_t(std::int32_t(l.trueValue[seed]));
                }
            lo /= divisor;
            hi /= divisor;
        }
    }
    // The searches keep sums of up to five differences of totals in 32 bits.
    constexpr std::int64_t SearchSpan = std::int64_t(1) << 28;
    constexpr std::int64_t MaxSpan = std::int64_t(1) << 20;
    m.searchable = inRange && hi - lo < SearchSpan;
    m.narrow = inRange && hi - lo < MaxSpan;
    if (m.narrow) {
        m.histLo = std::int32_t(lo);
        m.histSpan = std::int32_t(hi - lo + 1);
    }
    return m;
}

std::vector<std::uint64_t> sideReaches(const PreparedPool& model)
{
    std::vector<std::uint64_t> reaches;
    for (const Level& l : model.levels)
        for (const Side& s : l.side) {
            std::uint64_t reach = 0;
            if (s.alive) reach = s.level >= 0 ? model.levels[std::size_t(s.level)].reach : teamBit(s.fixed);
            reaches.push_back(reach);
        }
    return reaches;
}

std::vector<std::int32_t> pickerCounts(const PreparedPool& model)
{
    std::vector<std::int32_t> pickers(std::size_t(model.levelCount) * 64, 0);
    for (int k = 0; k < model.levelCount; ++k)
        for (int j = 0; j < model.n; ++j)
            if (model.column(k)[j] >= 0) ++pickers[std::size_t(k) * 64 + std::size_t(teamIndex(model.column(k)[j]))];
    return pickers;
}

Evaluator::Evaluator(const PreparedPool& model, bool ranks) : m_model(model), m_ranks(ranks)
{
    const auto n = std::size_t(model.n);
    win.assign(n, 0);
    money.assign(n, 0);
    placeShare.assign(n * std::size_t(model.prizePlaces), 0);
    best.assign(n, std::numeric_limits<std::int32_t>::max());
    worst.assign(n, -1);
    if (model.narrow) {
        m_counts.assign(std::size_t(model.histSpan) * Ways, 0);
        m_above.assign(std::size_t(model.histSpan), 0);
        m_paid.assign(n, 0);
    } else
        m_sorted.resize(n);
}

namespace {
HOOP_HOT_LOOP void minMax(const std::int32_t* t, int n, std::int32_t& lo, std::int32_t& hi)
{
    std::int32_t a = t[0], b = t[0];
    for (int j = 0; j < n; ++j) {
        const std::int32_t v = t[j];
        a = v < a ? v : a;
        b = v > b ? v : b;
    }
    lo = a;
    hi = b;
}

// above: participants strictly above each total, indexed by total - off.
HOOP_HOT_LOOP void trackRanks(const std::int32_t* __restrict t, int n, const std::int32_t* __restrict above,
                              std::int32_t off, std::int32_t* __restrict best, std::int32_t* __restrict worst)
{
    for (int j = 0; j < n; ++j) {
        const std::int32_t r = above[t[j] - off];
        best[j] = r < best[j] ? r : best[j];
        worst[j] = r > worst[j] ? r : worst[j];
    }
}

// The participants with a total of at least x (a few: the paid places), into found.
HOOP_HOT_LOOP int atLeast(const std::int32_t* t, int n, std::int32_t x, std::int32_t* found)
{
    constexpr int Block = 32;
    int count = 0, from = 0;
    for (; from + Block <= n; from += Block) {
        std::int32_t any = 0;
        for (int j = from; j < from + Block; ++j) any |= std::int32_t(t[j] >= x);
        if (!any) continue;
        for (int j = from; j < from + Block; ++j)
            if (t[j] >= x) found[count++] = j;
    }
    for (int j = from; j < n; ++j)
        if (t[j] >= x) found[count++] = j;
    return count;
}

HOOP_HOT_LOOP void applyColumn(std::uint32_t* t, const std::int32_t* picks, int n, TeamCode winner, std::uint32_t gain,
                               TeamCode old, std::uint32_t loss)
{
    for (int j = 0; j < n; ++j)
        t[j] += ((0u - std::uint32_t(picks[j] == winner)) & gain) - ((0u - std::uint32_t(picks[j] == old)) & loss);
}
}  // namespace

void Evaluator::evaluate(const std::uint32_t* totals, std::uint64_t weight)
{
    const int n = m_model.n;
    const int places = m_model.places;
    weightSum += weight;
    if (n == 0) return;
    const auto* t = reinterpret_cast<const std::int32_t*>(totals);  // the standings compare as signed
    if (m_model.narrow) {
        std::int32_t lo, hi;
        minMax(t, n, lo, hi);
        const std::int32_t off = m_model.histLo;
        const std::int32_t first = lo - off, last = hi - off;
        // Count the totals, then turn each count into the number of participants above.
        std::int32_t* ways = m_counts.data();
        std::fill(ways + Ways * first, ways + Ways * (last + 1), 0);
        int j = 0;
        for (; j + Ways <= n; j += Ways)
            for (int w = 0; w < Ways; ++w) ++ways[Ways * (t[j + w] - off) + w];
        for (; j < n; ++j) ++ways[Ways * (t[j] - off)];
        std::int32_t* above = m_above.data();
        std::int32_t running = 0, topCount = 0;
        for (std::int32_t v = last; v >= first; --v) {
            const std::int32_t* c = ways + Ways * v;
            const std::int32_t count = c[0] + c[1] + c[2] + c[3];
            if (v == last) topCount = count;
            above[v] = running;
            running += count;
        }
        if (m_ranks) trackRanks(t, n, above, off, best.data(), worst.data());
        // Only the paid places gain; they are found by total, without a rank per participant.
        const int reach = std::max(places, m_model.prizePlaces);
        std::int32_t paidFrom = hi;
        for (std::int32_t v = last; v >= first && above[v] < reach; --v) paidFrom = v + off;
        const std::uint64_t share = weight / std::uint64_t(topCount);
        std::int32_t* paid = m_paid.data();
        const int paidCount = atLeast(t, n, paidFrom, paid);
        for (int p = 0; p < paidCount; ++p) {
            const auto k = std::size_t(paid[p]);
            const std::int32_t rank = above[t[k] - off];
            if (rank < places) money[k] += weight;
            if (t[k] == hi) win[k] += share;
            if (rank < m_model.prizePlaces) {
                const std::int32_t* c = ways + Ways * (t[k] - off);
                sharePlaces(k, rank, c[0] + c[1] + c[2] + c[3], weight);
            }
        }
        return;
    }
    std::copy(t, t + n, m_sorted.begin());
    std::sort(m_sorted.begin(), m_sorted.end());
    const std::int32_t top = m_sorted.back();
    const auto topCount = std::uint64_t(m_sorted.end() - std::lower_bound(m_sorted.begin(), m_sorted.end(), top));
    for (int j = 0; j < n; ++j) {
        const auto r = std::int32_t(m_sorted.end() - std::upper_bound(m_sorted.begin(), m_sorted.end(), t[j]));
        if (m_ranks) {
            best[std::size_t(j)] = std::min(best[std::size_t(j)], r);
            worst[std::size_t(j)] = std::max(worst[std::size_t(j)], r);
        }
        if (r < places) money[std::size_t(j)] += weight;
        if (r == 0) win[std::size_t(j)] += weight / topCount;
        if (r < m_model.prizePlaces) {
            const auto tied = std::equal_range(m_sorted.begin(), m_sorted.end(), t[j]);
            sharePlaces(std::size_t(j), r, std::int32_t(tied.second - tied.first), weight);
        }
    }
}

void Evaluator::sharePlaces(std::size_t j, std::int32_t rank, std::int32_t tied, std::uint64_t weight)
{
    // Tied at place rank + 1: an equal share of each place the tie covers.
    const auto places = std::size_t(m_model.prizePlaces);
    const std::uint64_t part = weight / std::uint64_t(tied);
    for (auto q = std::size_t(rank); q < std::min(std::size_t(rank + tied), places); ++q)
        placeShare[j * places + q] += part;
}

void Evaluator::mergeInto(Evaluator& into) const
{
    for (std::size_t j = 0; j < win.size(); ++j) {
        into.win[j] += win[j];
        into.money[j] += money[j];
        into.best[j] = std::min(into.best[j], best[j]);
        into.worst[j] = std::max(into.worst[j], worst[j]);
    }
    for (std::size_t k = 0; k < placeShare.size(); ++k) into.placeShare[k] += placeShare[k];
    into.weightSum += weightSum;
}

Totals::Totals(const PreparedPool& model) : m_model(model) { reset(); }

void Totals::reset()
{
    m_totals = m_model.base;
    m_winners.assign(std::size_t(m_model.levelCount), 0);
}

void Totals::setWinner(int level, TeamCode winner)
{
    const TeamCode old = m_winners[std::size_t(level)];
    if (old == winner) return;
    m_winners[std::size_t(level)] = winner;
    const Level& l = m_model.levels[std::size_t(level)];
    const std::uint32_t gain = levelValue(l, winner), loss = levelValue(l, old);
    applyColumn(m_totals.data(), m_model.column(level), m_model.n, winner, gain, old, loss);
}

bool stopped(const OutlookOptions& options)
{
    return options.cancel && options.cancel->load(std::memory_order_relaxed);
}

int workerCount(const OutlookOptions& options)
{
    if (options.threads > 0) return options.threads;
    return std::max(1, int(std::thread::hardware_concurrency()));
}

bool runTasks(int count, int workers, const OutlookOptions& options, const std::function<void(int, int)>& fn,
              double from, double to)
{
    std::atomic<int> next{0}, done{0};
    std::atomic<bool> failed{false};
    std::exception_ptr error;
    std::mutex errorLock;
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w) {
        threads.emplace_back([&, w] {
            try {
                for (int task; !stopped(options) && !failed && (task = next++) < count;) {
                    fn(task, w);
                    ++done;
                }
            } catch (...) {
                const std::lock_guard lock(errorLock);
                if (!error) error = std::current_exception();
                failed = true;
            }
        });
    }
    if (options.progress) {
        int reported = -1;
        while (done < count && !stopped(options) && !failed) {
            const int now = done;
            if (now != reported) options.progress(from + (to - from) * now / std::max(count, 1));
            reported = now;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    for (std::thread& t : threads) t.join();
    if (error) std::rethrow_exception(error);
    if (stopped(options)) return false;
    if (options.progress) options.progress(to);
    return true;
}

namespace {
constexpr int FixedShift = 60;  // outcome probabilities as integers: sums do not depend on order

// Depth-first over the levels: the deepest level changes at every step, the others rarely, so an
// outcome costs about two column updates.
class Enumerator final {
public:
    Enumerator(const PreparedPool& model, Evaluator& evaluator, const OutlookOptions& options)
        : m_model(model), m_totals(model), m_evaluator(evaluator), m_options(options)
    {
    }

    // Task t fixes the first split levels to the choices its bits give.
    std::uint64_t runTask(int task, int split)
    {
        m_totals.reset();
        m_outcomes = 0;
        double p = 1.0;
        for (int k = 0; k < split; ++k) {
            const int c = (task >> k) & 1;
            if (c >= std::max(1, m_model.levels[std::size_t(k)].choices)) return 0;
            p *= choiceProbability(m_model, k, c, m_totals.winners());
            m_totals.setWinner(k, choiceWinner(m_model, k, c, m_totals.winners()));
        }
        walk(split, p);
        return m_outcomes;
    }

private:
    void walk(int k, double p)
    {
        if (k == m_model.levelCount) {
            m_evaluator.evaluate(m_totals.data(), std::uint64_t(std::ldexp(p, FixedShift)));
            if ((++m_outcomes & 1023) == 0 && stopped(m_options)) m_stop = true;
            return;
        }
        const int choices = std::max(1, m_model.levels[std::size_t(k)].choices);
        for (int c = 0; c < choices && !m_stop; ++c) {
            const double pc = choiceProbability(m_model, k, c, m_totals.winners());
            m_totals.setWinner(k, choiceWinner(m_model, k, c, m_totals.winners()));
            walk(k + 1, p * pc);
        }
    }

    const PreparedPool& m_model;
    Totals m_totals;
    Evaluator& m_evaluator;
    const OutlookOptions& m_options;
    std::uint64_t m_outcomes = 0;
    bool m_stop = false;
};

// A small, fast generator; one stream per block of tournaments, so the figures do not depend on
// which thread simulated which block.
class SplitMix final {
public:
    explicit SplitMix(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return double(next() >> 11) * 0x1.0p-53; }

private:
    std::uint64_t m_state;
};

constexpr int BlockSize = 1000;
constexpr std::uint64_t SimWeight = std::uint64_t(1) << 32;

void simulateBlock(const PreparedPool& m, std::uint64_t seed, int block, std::uint64_t count, Totals& totals,
                   Evaluator& evaluator, const OutlookOptions& options)
{
    SplitMix rng(SplitMix(seed).next() ^ (std::uint64_t(block) * 0xD1B54A32D192ED03ull));
    for (std::uint64_t i = 0; i < count && !stopped(options); ++i) {
        for (int k = 0; k < m.levelCount; ++k) {
            const int c = m.levels[std::size_t(k)].choices < 2
                              ? 0
                              : (rng.uniform() < choiceProbability(m, k, 0, totals.winners()) ? 0 : 1);
            totals.setWinner(k, choiceWinner(m, k, c, totals.winners()));
        }
        evaluator.evaluate(totals.data(), SimWeight);
    }
}

double percentOf(std::uint64_t part, std::uint64_t whole) { return whole ? 100.0 * double(part) / double(whole) : 0.0; }
}  // namespace
}  // namespace detail

using namespace detail;

MethodChoice chooseMethod(int participants, int twoWayGames, std::uint64_t tournaments, std::uint64_t maxEvaluations)
{
    // Processor seconds measured on the exact path (vectorised, 2.6 GHz): an outcome costs the
    // walk, the rank count and the paid places whatever the pool; each participant adds a
    // column update and a count.
    constexpr double PerOutcome = 225e-9, PerParticipant = 1.5e-9;
    // The fallback: a simulated tournament draws every game; the searches come to a few
    // microseconds per pair of participants on pools from the game model, and stop at their
    // budgets (a step is one participant's figure moved or compared, under a nanosecond).
    constexpr double PerTournament = 1e-6, PerPair = 4e-6, PerStep = 0.5e-9;
    const double searchCap = double(OutlookOptions{}.searchBudget + OutlookOptions{}.worstSearchBudget) * PerStep;
    const auto n = double(std::max(participants, 0));
    MethodChoice choice;
    const double outcomes = std::ldexp(1.0, std::clamp(twoWayGames, 0, 1000));
    choice.exactSeconds = outcomes * (PerOutcome + n * PerParticipant);
    choice.fallbackSeconds =
        double(tournaments) * (PerTournament + n * PerParticipant) + std::min(n * n * PerPair, searchCap);
    const bool allowed = twoWayGames <= 62 && n * outcomes <= double(maxEvaluations);
    choice.method = allowed && choice.exactSeconds <= std::max(choice.fallbackSeconds, ExactAllowanceSeconds)
                        ? OutlookMethod::Exact
                        : OutlookMethod::Simulated;
    return choice;
}

OutlookResult computeOutlook(const OutlookInput& input, const OutlookOptions& options)
{
    const PreparedPool m = preparePool(input);
    OutlookResult result;
    result.remainingGames = m.levelCount;
    const auto n = std::size_t(m.n);
    const int workers = workerCount(options);

    int twoWay = 0;
    for (const Level& l : m.levels) twoWay += l.choices == 2;
    const MethodChoice choice =
        chooseMethod(m.n, twoWay, std::max<std::uint64_t>(options.tournaments, 1), options.maxExactEvaluations);
    // The tasks split the first levels by bits of an int.
    const bool exact = choice.method == OutlookMethod::Exact && twoWay <= 62;

    std::vector<Evaluator> evaluators;
    for (int w = 0; w < workers; ++w) evaluators.emplace_back(m, true);
    Evaluator total(m, true);
    if (exact) {
        const int split = std::min(m.levelCount, 6);
        std::vector<std::uint64_t> outcomes(std::size_t(1) << split, 0);
        std::vector<std::unique_ptr<Enumerator>> enumerators;
        for (int w = 0; w < workers; ++w)
            enumerators.push_back(std::make_unique<Enumerator>(m, evaluators[std::size_t(w)], options));
        const bool finished = m.n == 0 || runTasks(
                                              int(outcomes.size()), workers, options,
                                              [&](int task, int w) {
                                                  outcomes[std::size_t(task)] =
                                                      enumerators[std::size_t(w)]->runTask(task, split);
                                              },
                                              0.0, 1.0);
        if (!finished) {
            result.cancelled = true;
            return result;
        }
        result.method = OutlookMethod::Exact;
        for (std::uint64_t o : outcomes) result.outcomes += o;
        if (m.n == 0) result.outcomes = std::uint64_t(1) << twoWay;
    } else {
        const std::uint64_t count = std::max<std::uint64_t>(options.tournaments, 1);
        const auto blocks = int((count + BlockSize - 1) / BlockSize);
        std::vector<std::unique_ptr<Totals>> totals;
        for (int w = 0; w < workers; ++w) totals.push_back(std::make_unique<Totals>(m));
        const bool finished = runTasks(
            blocks, workers, options,
            [&](int block, int w) {
                const std::uint64_t first = std::uint64_t(block) * BlockSize;
                simulateBlock(m, options.seed, block, std::min<std::uint64_t>(BlockSize, count - first),
                              *totals[std::size_t(w)], evaluators[std::size_t(w)], options);
            },
            0.0, 0.5);
        if (!finished) {
            result.cancelled = true;
            return result;
        }
        result.method = OutlookMethod::Simulated;
        result.tournaments = count;
        result.exactSeconds = choice.exactSeconds / double(workers);
    }
    for (const Evaluator& e : evaluators) e.mergeInto(total);
    std::vector<std::uint8_t> bestProven(n, exact ? 1 : 0), worstProven(n, exact ? 1 : 0);
    if (!exact && m.searchable) {
        OutlookOptions later = options;
        if (options.progress) later.progress = [&options](double f) { options.progress(0.5 + 0.5 * f); };
        if (!searchFinishes(m, later, total.best, total.worst, bestProven, worstProven)) {
            result.cancelled = true;
            return result;
        }
    }

    result.rows.resize(n);
    for (std::size_t j = 0; j < n; ++j) {
        ParticipantOutlook& row = result.rows[j];
        row.id = input.participants[j].id;
        row.finalTotal = std::int32_t(std::int64_t(std::int32_t(m.base[j])) * m.scale);
        row.bestFinish = total.best[j] + 1;
        row.worstFinish = total.worst[j] + 1;
        row.canWin = total.best[j] == 0;
        row.canWinExact = exact || m.searchable || row.canWin;
        // A Can Win that is exact proves a best finish of 1, and of 2 (no outcome gives first,
        // and some outcome gives second or better).
        row.bestExact = bestProven[j] != 0 || (row.canWinExact && row.bestFinish <= 2);
        row.worstExact = worstProven[j] != 0;
        row.finishesExact = row.bestExact && row.worstExact;
        result.finishesExact = result.finishesExact && row.finishesExact;
        row.winPercent = percentOf(total.win[j], total.weightSum);
        row.moneyPercent = percentOf(total.money[j], total.weightSum);
        for (int q = 0; q < m.prizePlaces; ++q)
            row.expectedWinnings +=
                input.prizes[std::size_t(q)] *
                (total.weightSum ? double(total.placeShare[j * std::size_t(m.prizePlaces) + std::size_t(q)]) /
                                       double(total.weightSum)
                                 : 0.0);
        if (!exact) {
            for (const double pct : {row.winPercent, row.moneyPercent}) {
                const double p = pct / 100.0;
                const double half = 196.0 * std::sqrt(p * (1.0 - p) / double(result.tournaments));
                result.largestHalfInterval = std::max(result.largestHalfInterval, half);
            }
        }
    }
    return result;
}

OutlookInput outlookInputOf(const PlayerList& players, const ScoringValues& values, int places)
{
    OutlookInput input;
    input.values = values;
    input.places = places;
    const int resultsIndex = players.indexOfId(ResultsId);
    if (resultsIndex >= 0) input.results = players[resultsIndex].picks;
    for (int i = 0; i < players.count(); ++i) {
        // As in the standings: the first results entry is the results, and a second one (a
        // damaged file) is nobody's sheet.
        if (players[i].id == ResultsId) continue;
        input.participants.push_back({players[i].id, players[i].picks});
    }
    return input;
}

}  // namespace outlook
