// Best finishes without visiting every outcome: a depth-first search that decides the winners from
// the championship down, so the games worth most are settled first. Choosing a
// game's winner settles its path below at once (it won every game on the way); the other side
// of the game stays open, and any team of it may still come through. Per participant the search
// keeps the points earned so far and how many more the open games could add or take away; a
// subtree is left out when even its most favourable completion cannot beat the finish found.
#include <algorithm>
#include <bit>
#include <memory>
#include <numeric>

#include "core/outlook/prepared_pool.h"

namespace outlook::detail {
namespace {

// The share of the progress bar the best finishes take; the worst finishes take the rest.
constexpr double BestPhase = 0.3;
// The first round of worst-finish searches gives each row this fraction of an equal share.
constexpr std::uint64_t FirstWorstRound = 16;
// ... but never fewer passes over the participants than this.
constexpr std::uint64_t MinWorstShare = 4096;
// No row's worst-finish search gets more than this many times the median row's work.
constexpr std::uint64_t MedianShares = 64;

// Per participant j, against the participant i searched for: points so far, and the most the
// open games could still add to i's lead over j (up) or to j's lead over i (down). Games where
// both picked the same team change neither lead, which is what makes the bound tight in pools
// where most sheets agree on the favourites.
struct Bounds {
    std::vector<std::int32_t> cur, up, down;
    explicit Bounds(std::size_t n) : cur(n), up(n), down(n) {}
};

struct Prepared {
    // [level * n + j]: what participant j could still gain or lose at that level.
    std::vector<std::int32_t> openPos, openNeg;
    std::vector<std::uint64_t> sideReach;  // [level * 2 + side]
    std::vector<std::int32_t> pickers;     // [level * 64 + team]: participants who picked it there
    std::vector<std::int32_t> base;
    explicit Prepared(const PreparedPool& m)
    {
        const auto n = std::size_t(m.n);
        openPos.assign(std::size_t(m.levelCount) * n, 0);
        openNeg.assign(std::size_t(m.levelCount) * n, 0);
        sideReach = sideReaches(m);
        pickers = pickerCounts(m);
        for (int k = 0; k < m.levelCount; ++k) {
            for (std::size_t j = 0; j < n; ++j) {
                const TeamCode p = m.column(k)[j];
                if (p < 0) continue;
                const std::int64_t v = m.levels[std::size_t(k)].trueValue[seedOfCode(p)];
                openPos[std::size_t(k) * n + j] = std::int32_t(std::max<std::int64_t>(v, 0));
                openNeg[std::size_t(k) * n + j] = std::int32_t(std::min<std::int64_t>(v, 0));
            }
        }
        for (std::size_t j = 0; j < n; ++j) base.push_back(std::int32_t(m.base[j]));
    }
};

// Participants surely above the one with points mine, and those possibly above.
HOOP_HOT_LOOP void countAbove(const std::int32_t* __restrict cur, const std::int32_t* __restrict up,
                              const std::int32_t* __restrict down, int n, std::int32_t mine, std::int32_t& surely,
                              std::int32_t& possibly)
{
    std::int32_t a = 0, b = 0;
    for (int j = 0; j < n; ++j) {
        a += cur[j] - mine > up[j];
        b += cur[j] - mine + down[j] > 0;
    }
    surely = a;
    possibly = b;
}

// Adds to the leads what one game can still do where a rival's pick differs from mine.
HOOP_HOT_LOOP void addLeads(const std::int32_t* __restrict picks, const std::int32_t* __restrict openPos,
                            const std::int32_t* __restrict openNeg, int n, TeamCode mine, std::int32_t sign,
                            std::int32_t minePos, std::int32_t mineNeg, const std::int32_t* __restrict upFrom,
                            const std::int32_t* __restrict downFrom, std::int32_t* __restrict upTo,
                            std::int32_t* __restrict downTo)
{
    for (int j = 0; j < n; ++j) {
        const std::int32_t differ = -std::int32_t(picks[j] != mine || mine < 0);
        upTo[j] = upFrom[j] + (differ & (minePos - sign * openNeg[j]));
        downTo[j] = downFrom[j] + (differ & (sign * openPos[j] - mineNeg));
    }
}

HOOP_HOT_LOOP void addPoints(const std::int32_t* __restrict picks, int n, TeamCode won, std::int32_t v,
                             const std::int32_t* __restrict from, std::int32_t* __restrict to)
{
    for (int j = 0; j < n; ++j) to[j] = from[j] + (-std::int32_t(picks[j] == won) & v);
}

// A game still to decide: its winner already known (forced, from the game above) or open.
struct Pending {
    int level = 0;
    int forced = -1;  // team index
};

class Search final {
public:
    Search(const PreparedPool& m, const Prepared& prepared, const OutlookOptions& options)
        : m_model(m), m_prepared(prepared), m_options(options)
    {
        for (int d = 0; d <= m.levelCount; ++d) m_bounds.emplace_back(std::size_t(m.n));
    }

    // Fewest participants strictly above participant i; found: a count known to be reachable.
    // False when the node budget ran out or the run was cancelled.
    bool run(int participant, std::int32_t& found, std::uint64_t budget)
    {
        m_i = participant;
        m_found = found;
        m_stop = false;
        m_nodes = 0;
        m_budget = budget;
        Bounds& root = m_bounds[0];
        root.cur = m_prepared.base;
        std::fill(root.up.begin(), root.up.end(), 0);
        std::fill(root.down.begin(), root.down.end(), 0);
        for (int k = 0; k < m_model.levelCount; ++k) leads(k, root, root, +1);
        std::vector<Pending> pending;
        // The top of every remaining part of the bracket: a level whose winner goes nowhere open.
        for (int k = 0; k < m_model.levelCount; ++k)
            if (m_model.levels[std::size_t(k)].nextLevel < 0) pending.push_back({k, -1});
        walk(0, pending);
        found = m_found;
        return !m_stop;
    }

private:
    bool done() const { return m_found == 0; }

    // Participants surely above i, and possibly above i, in every completion from here.
    std::pair<std::int32_t, std::int32_t> ranks(const Bounds& b) const
    {
        std::int32_t surely = 0, possibly = 0;
        countAbove(b.cur.data(), b.up.data(), b.down.data(), m_model.n, b.cur[std::size_t(m_i)], surely, possibly);
        return {surely, possibly};
    }

    void walk(int depth, std::vector<Pending> pending)
    {
        const Bounds& b = m_bounds[std::size_t(depth)];
        if ((++m_nodes & 255) == 0 && stopped(m_options)) m_stop = true;
        if (m_nodes > m_budget) m_stop = true;
        if (m_stop) return;
        const auto [surely, possibly] = ranks(b);
        if (pending.empty() || surely == possibly) {  // every completion gives the same count
            m_found = std::min(m_found, surely);
            return;
        }
        // Some completion reaches the bound.
        m_found = std::min(m_found, possibly);
        if (surely >= m_found) return;
        const Pending next = pending.back();
        pending.pop_back();
        const int k = next.level;
        const Level& level = m_model.levels[std::size_t(k)];
        struct Choice {
            int side;
            int team;
            std::int32_t order;
        };
        Choice choices[64];
        int count = 0;
        const TeamCode mine = m_model.column(k)[std::size_t(m_i)];
        for (int s = 0; s < 2; ++s) {
            std::uint64_t reach = m_prepared.sideReach[std::size_t(k) * 2 + std::size_t(s)];
            if (next.forced >= 0) reach &= std::uint64_t(1) << next.forced;
            for (; reach; reach &= reach - 1) {
                const int t = std::countr_zero(reach);
                // i's pick first, then the teams fewest picked.
                std::int32_t order = m_prepared.pickers[std::size_t(k) * 64 + std::size_t(t)];
                if (teamOfIndex(t) == mine) order = -1;
                choices[count++] = {s, t, order};
            }
        }
        std::stable_sort(choices, choices + count, [](const Choice& a, const Choice& c) { return a.order < c.order; });
        if (count == 0) {  // no team can come through: the game has no winner
            decide(depth, k, 0);
            walk(depth + 1, pending);
            return;
        }
        for (int c = 0; c < count && !m_stop && !done(); ++c) {
            const Choice& choice = choices[c];
            decide(depth, k, teamOfIndex(choice.team));
            std::vector<Pending> after = pending;
            const Side& other = level.side[1 - choice.side];
            const Side& own = level.side[choice.side];
            if (other.level >= 0 && other.alive) after.push_back({other.level, -1});
            if (own.level >= 0) after.push_back({own.level, choice.team});  // its path, first
            walk(depth + 1, std::move(after));
        }
    }

    // Adds (sign +1) or removes (-1) what open level k can still do to the leads.
    void leads(int k, const Bounds& from, Bounds& to, std::int32_t sign) const
    {
        const std::size_t offset = std::size_t(k) * std::size_t(m_model.n);
        const std::int32_t* picks = m_model.column(k);
        const std::int32_t* openPos = m_prepared.openPos.data() + offset;
        const std::int32_t* openNeg = m_prepared.openNeg.data() + offset;
        const std::size_t i = std::size_t(m_i);
        const TeamCode mine = picks[i];
        const std::int32_t minePos = sign * openPos[i], mineNeg = sign * openNeg[i];
        if (&from == &to) {  // the root, built in place
            for (int j = 0; j < m_model.n; ++j) {
                const std::int32_t differ = -std::int32_t(picks[j] != mine || mine < 0);
                to.up[std::size_t(j)] += differ & (minePos - sign * openNeg[j]);
                to.down[std::size_t(j)] += differ & (sign * openPos[j] - mineNeg);
            }
            return;
        }
        addLeads(picks, openPos, openNeg, m_model.n, mine, sign, minePos, mineNeg, from.up.data(), from.down.data(),
                 to.up.data(), to.down.data());
    }

    // Bounds of depth + 1 from those of depth, with level k won by w.
    void decide(int depth, int k, TeamCode w)
    {
        const Bounds& from = m_bounds[std::size_t(depth)];
        Bounds& to = m_bounds[std::size_t(depth) + 1];
        const Level& level = m_model.levels[std::size_t(k)];
        const std::int32_t v = w == 0 ? 0 : std::int32_t(level.trueValue[seedOfCode(w)]);
        const TeamCode won = w == 0 ? -2 : w;  // -2 matches no pick
        const std::int32_t* picks = m_model.column(k);
        addPoints(picks, m_model.n, won, v, from.cur.data(), to.cur.data());
        leads(k, from, to, -1);
    }

    const PreparedPool& m_model;
    const Prepared& m_prepared;
    const OutlookOptions& m_options;
    std::vector<Bounds> m_bounds;
    int m_i = 0;
    std::int32_t m_found = 0;
    bool m_stop = false;
    std::uint64_t m_nodes = 0;
    std::uint64_t m_budget = 0;
};

}  // namespace

bool searchFinishes(const PreparedPool& model, const OutlookOptions& options, std::vector<std::int32_t>& best,
                    std::vector<std::int32_t>& worst, std::vector<std::uint8_t>& bestProven,
                    std::vector<std::uint8_t>& worstProven)
{
    if (model.n == 0) return true;
    const Prepared prepared(model);
    const int workers = workerCount(options);
    std::vector<std::unique_ptr<Search>> searches;
    std::vector<std::unique_ptr<WorstSearch>> worstSearches;
    for (int w = 0; w < workers; ++w) {
        searches.push_back(std::make_unique<Search>(model, prepared, options));
        worstSearches.push_back(std::make_unique<WorstSearch>(model, options));
    }
    const auto n = std::size_t(model.n);
    // Each phase reports its own share of the progress, so the whole only moves forward.
    OutlookOptions part = options;
    double from = 0;
    const auto phase = [&](double to) {
        if (options.progress)
            part.progress = [&options, from, to](double f) { options.progress(from + (to - from) * f); };
        from = to;
    };
    phase(BestPhase);
    const bool bestFinished = runTasks(
        model.n, workers, part,
        [&](int i, int w) {
            // Start from a finish known to be reachable, or from one past the end.
            std::int32_t& b = best[std::size_t(i)];
            b = std::min(b, model.n);
            // Every step costs a pass over all participants, and every participant has a search.
            const std::uint64_t budget = std::max<std::uint64_t>(options.searchBudget / n / n, 1);
            Search& search = *searches[std::size_t(w)];
            // Can Win first and to the end: a search for first place alone prunes at the first
            // rival surely ahead, so it stays quick where the full best finish would not.
            if (b > 0) {
                std::int32_t first = 1;
                search.run(i, first, ~std::uint64_t(0));
                if (first == 0) b = 0;
            }
            bestProven[std::size_t(i)] = b == 0 || search.run(i, b, budget);
        },
        0.0, 1.0);
    if (!bestFinished) return false;

    // The worst finishes in rounds, each giving the rows still open an equal share of the budget
    // left, the first round a small one: most rows are done with little, and the few hard ones
    // share what the others left, each going on where it stopped. Once half the rows are done,
    // no row gets more than MedianShares times the work of the median row: the rare rows that
    // need thousands of times more (a proof that the last one or two rivals can never all pass)
    // would take everything. Every share follows from the rows' own searches, so the figures do
    // not depend on the threads.
    std::vector<int> open(n);
    std::iota(open.begin(), open.end(), 0);
    for (std::int32_t& o : worst) o = std::max(o, -1);
    std::fill(worstProven.begin(), worstProven.end(), 1);  // until a row's search stops short
    std::uint64_t left = options.worstSearchBudget;
    // A share must also pay for preparing the search and for finding the place it stopped at.
    std::uint64_t allowance = std::max<std::uint64_t>(left / n / FirstWorstRound, MinWorstShare * n);
    std::uint64_t cap = ~std::uint64_t(0);
    std::vector<std::uint64_t> spent(n, 0), used, finishedWork;
    std::vector<std::uint8_t> done;
    std::vector<std::vector<int>> places(n);  // where each row's search stopped
    double share = 1.0 - BestPhase;
    while (!open.empty() && left >= open.size()) {
        const std::uint64_t budget = std::min(allowance, left / open.size());
        done.assign(open.size(), 0);
        used.assign(open.size(), 0);
        share /= 2;
        phase(1.0 - share);
        const bool finished = runTasks(
            int(open.size()), workers, part,
            [&](int t, int w) {
                WorstSearch& search = *worstSearches[std::size_t(w)];
                const auto i = std::size_t(open[std::size_t(t)]);
                const std::uint64_t given = std::min(budget, cap - spent[i]);
                done[std::size_t(t)] = search.run(int(i), worst[i], given, places[i]);
                used[std::size_t(t)] = std::min(search.steps(), given);
            },
            0.0, 1.0);
        if (!finished) return false;
        std::size_t kept = 0;
        for (std::size_t t = 0; t < open.size(); ++t) {
            const auto i = std::size_t(open[t]);
            spent[i] += used[t];
            left -= used[t];
            if (done[t])
                finishedWork.push_back(spent[i]);
            else if (spent[i] < cap)
                open[kept++] = open[t];
            else
                worstProven[i] = 0;
        }
        open.resize(kept);
        // Half the rows done: the median row is one of them (the others have used more).
        const std::size_t median = (n - 1) / 2;
        if (cap == ~std::uint64_t(0) && finishedWork.size() > median) {
            std::nth_element(finishedWork.begin(), finishedWork.begin() + std::ptrdiff_t(median), finishedWork.end());
            cap = MedianShares * std::max<std::uint64_t>(finishedWork[median], 1);
        }
        allowance *= 4;
    }
    for (const int i : open) worstProven[std::size_t(i)] = 0;
    if (options.progress) options.progress(1.0);
    return true;
}

}  // namespace outlook::detail
