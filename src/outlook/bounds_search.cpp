// Best and worst finishes without visiting every outcome: a depth-first search that decides the
// winners from the championship down, so the games worth most are settled first. Choosing a
// game's winner settles its path below at once (it won every game on the way); the other side
// of the game stays open, and any team of it may still come through. Per participant the search
// keeps the points earned so far and how many more the open games could add or take away; a
// subtree is left out when even its most favourable completion cannot beat the finish found.
#include <algorithm>
#include <bit>
#include <memory>

#include "outlook/outlook_model.h"

namespace outlook::detail {
namespace {

int teamIndex(TeamCode code) { return (regionOfCode(code) - 1) * SeedCount + SeedOfCode(code) - 1; }
TeamCode teamOfIndex(int index) { return MakeTeamCode(std::uint8_t(index / SeedCount + 1), std::uint8_t(index % SeedCount + 1)); }

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
    explicit Prepared(const Model& m)
    {
        const auto n = std::size_t(m.n);
        openPos.assign(std::size_t(m.levelCount) * n, 0);
        openNeg.assign(std::size_t(m.levelCount) * n, 0);
        pickers.assign(std::size_t(m.levelCount) * 64, 0);
        for (int k = 0; k < m.levelCount; ++k) {
            for (const Side& s : m.levels[std::size_t(k)].side) {
                std::uint64_t reach = 0;
                if (s.alive) reach = s.level >= 0 ? m.levels[std::size_t(s.level)].reach : std::uint64_t(1) << teamIndex(s.fixed);
                sideReach.push_back(reach);
            }
            for (std::size_t j = 0; j < n; ++j) {
                const TeamCode p = m.column(k)[j];
                if (p < 0) continue;
                const std::int64_t v = m.levels[std::size_t(k)].trueValue[SeedOfCode(p)];
                openPos[std::size_t(k) * n + j] = std::int32_t(std::max<std::int64_t>(v, 0));
                openNeg[std::size_t(k) * n + j] = std::int32_t(std::min<std::int64_t>(v, 0));
                ++pickers[std::size_t(k) * 64 + std::size_t(teamIndex(p))];
            }
        }
        for (std::size_t j = 0; j < n; ++j) base.push_back(std::int32_t(m.base[j]));
    }
};

// The loops every search step runs over all participants, built for AVX2 as well where the
// processor has it.
#define HOOP_HOT_LOOP __attribute__((target_clones("avx2", "default")))

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
    Search(const Model& m, const Prepared& prepared, const OutlookOptions& options)
        : m_model(m), m_prepared(prepared), m_options(options)
    {
        for (int d = 0; d <= m.levelCount; ++d) m_bounds.emplace_back(std::size_t(m.n));
    }

    // Fewest (best) or most (worst) participants strictly above participant i; found: a count
    // known to be reachable. False when the node budget ran out or the run was cancelled.
    bool run(int participant, bool best, std::int32_t& found, std::uint64_t budget)
    {
        m_i = participant;
        m_best = best;
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
    bool done() const { return m_best ? m_found == 0 : m_found == m_model.n - 1; }

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
            m_found = m_best ? std::min(m_found, surely) : std::max(m_found, surely);
            return;
        }
        // Some completion reaches each bound.
        if (m_best) {
            m_found = std::min(m_found, possibly);
            if (surely >= m_found) return;
        } else {
            m_found = std::max(m_found, surely);
            if (possibly <= m_found) return;
        }
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
                // Best: i's pick first, then the teams fewest picked; worst: the other way round.
                std::int32_t order = m_prepared.pickers[std::size_t(k) * 64 + std::size_t(t)];
                if (teamOfIndex(t) == mine) order = -1;
                choices[count++] = {s, t, m_best ? order : -order};
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
        const std::int32_t v = w == 0 ? 0 : std::int32_t(level.trueValue[SeedOfCode(w)]);
        const TeamCode won = w == 0 ? -2 : w;  // -2 matches no pick
        const std::int32_t* picks = m_model.column(k);
        addPoints(picks, m_model.n, won, v, from.cur.data(), to.cur.data());
        leads(k, from, to, -1);
    }

    const Model& m_model;
    const Prepared& m_prepared;
    const OutlookOptions& m_options;
    std::vector<Bounds> m_bounds;
    int m_i = 0;
    bool m_best = true;
    std::int32_t m_found = 0;
    bool m_stop = false;
    std::uint64_t m_nodes = 0;
    std::uint64_t m_budget = 0;
};

}  // namespace

bool searchFinishes(const Model& model, const OutlookOptions& options, std::vector<std::int32_t>& best,
                    std::vector<std::int32_t>& worst, std::vector<std::uint8_t>& proven)
{
    if (model.n == 0) return true;
    const Prepared prepared(model);
    const int workers = workerCount(options);
    std::vector<std::unique_ptr<Search>> searches;
    for (int w = 0; w < workers; ++w) searches.push_back(std::make_unique<Search>(model, prepared, options));
    return runTasks(
        model.n, workers, options,
        [&](int i, int w) {
            // Start from a finish known to be reachable, or from one past the end.
            std::int32_t& b = best[std::size_t(i)];
            std::int32_t& o = worst[std::size_t(i)];
            b = std::min(b, model.n);
            o = std::max(o, -1);
            // Every step costs a pass over all participants, and every participant has searches.
            const auto n = std::uint64_t(model.n);
            const std::uint64_t budget = std::max<std::uint64_t>(options.searchBudget / n / n, 1);
            Search& search = *searches[std::size_t(w)];
            // Can Win first and to the end: a search for first place alone prunes at the first
            // rival surely ahead, so it stays quick where the full best finish would not.
            if (b > 0) {
                std::int32_t first = 1;
                search.run(i, true, first, ~std::uint64_t(0));
                if (first == 0) b = 0;
            }
            // The best finish is usually proven in far fewer steps than the worst: it gets more.
            const bool bestDone = b == 0 || search.run(i, true, b, budget * 16);
            const bool worstDone = search.run(i, false, o, budget);
            proven[std::size_t(i)] = bestDone && worstDone;
        },
        0.0, 1.0);
}

}  // namespace outlook::detail
