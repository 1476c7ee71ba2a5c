// Best and worst finishes without visiting every outcome: a depth-first search over the remaining
// games in game order that keeps, per participant, the points earned so far and how many more
// the undecided games could still add or take away. A subtree is left out when even its most
// favourable completion cannot beat the finish already found.
#include <algorithm>
#include <memory>

#include "outlook/outlook_model.h"

namespace outlook::detail {
namespace {

// Per participant: points so far, and the most the undecided games could add (pos) or take away
// (neg, only with negative round values).
struct Bounds {
    std::vector<std::int32_t> cur, pos, neg;
    explicit Bounds(std::size_t n) : cur(n), pos(n), neg(n) {}
};

struct Prepared {
    // [level * n + j]: what participant j loses of pos and neg when the team it picked at that
    // level loses there: the values of its picks of that team from there on.
    std::vector<std::int32_t> chainPos, chainNeg;
    Bounds root;
    explicit Prepared(const Model& m) : root(std::size_t(m.n))
    {
        const auto n = std::size_t(m.n);
        chainPos.assign(std::size_t(m.levelCount) * n, 0);
        chainNeg.assign(std::size_t(m.levelCount) * n, 0);
        for (std::size_t j = 0; j < n; ++j) {
            root.cur[j] = std::int32_t(m.base[j]);
            for (int k = 0; k < m.levelCount; ++k) {
                const TeamCode p = m.column(k)[j];
                if (p < 0) continue;
                const std::int64_t v = m.levels[std::size_t(k)].trueValue[SeedOfCode(p)];
                root.pos[j] += std::int32_t(std::max<std::int64_t>(v, 0));
                root.neg[j] += std::int32_t(std::min<std::int64_t>(v, 0));
            }
            for (int k = 0; k < m.levelCount; ++k) {
                const TeamCode p = m.column(k)[j];
                if (p < 0) continue;
                std::int64_t up = 0, down = 0;
                for (int l = k; l >= 0; l = m.levels[std::size_t(l)].nextLevel) {
                    if (m.column(l)[j] != p) continue;
                    const std::int64_t v = m.levels[std::size_t(l)].trueValue[SeedOfCode(p)];
                    up += std::max<std::int64_t>(v, 0);
                    down += std::min<std::int64_t>(v, 0);
                }
                chainPos[std::size_t(k) * n + j] = std::int32_t(up);
                chainNeg[std::size_t(k) * n + j] = std::int32_t(down);
            }
        }
    }
};

class Search final {
public:
    Search(const Model& m, const Prepared& prepared, const OutlookOptions& options)
        : m_model(m), m_prepared(prepared), m_options(options), m_winners(std::size_t(m.levelCount), 0)
    {
        for (int d = 0; d <= m.levelCount; ++d) m_bounds.emplace_back(std::size_t(m.n));
    }

    // Fewest (best) or most (worst) participants strictly above participant i; found: a count
    // known to be reachable. False when cancelled.
    bool run(int participant, bool best, std::int32_t& found)
    {
        m_i = participant;
        m_best = best;
        m_found = found;
        m_stop = false;
        m_bounds[0] = m_prepared.root;
        walk(0);
        found = m_found;
        return !m_stop;
    }

private:
    bool done() const { return m_best ? m_found == 0 : m_found == m_model.n - 1; }

    void walk(int k)
    {
        const Bounds& b = m_bounds[std::size_t(k)];
        const int n = m_model.n;
        const std::size_t i = std::size_t(m_i);
        const std::int32_t* cur = b.cur.data();
        if (k == m_model.levelCount) {
            const std::int32_t mine = cur[i];
            std::int32_t above = 0;
            for (int j = 0; j < n; ++j) above += cur[j] > mine;
            m_found = m_best ? std::min(m_found, above) : std::max(m_found, above);
            return;
        }
        if ((++m_nodes & 255) == 0 && stopped(m_options)) m_stop = true;
        if (m_stop) return;
        if (m_best) {
            // Participants above i even if i gains everything it still can and they gain nothing.
            const std::int32_t mine = cur[i] + b.pos[i];
            const std::int32_t* neg = b.neg.data();
            std::int32_t above = 0;
            for (int j = 0; j < n; ++j) above += cur[j] + neg[j] > mine;
            if (above >= m_found) return;
        } else {
            const std::int32_t mine = cur[i] + b.neg[i];
            const std::int32_t* pos = b.pos.data();
            std::int32_t above = -std::int32_t(b.pos[i] + cur[i] > mine);
            for (int j = 0; j < n; ++j) above += cur[j] + pos[j] > mine;
            if (above <= m_found) return;
        }
        const Level& level = m_model.levels[std::size_t(k)];
        const int choices = std::max(1, level.choices);
        // For the best finish, try first the winner participant i picked; for the worst, the other.
        const TeamCode mineAt = m_model.column(k)[i];
        int order[2] = {0, 1};
        if (choices == 2 && (choiceWinner(m_model, k, 0, m_winners.data()) == mineAt) != m_best)
            std::swap(order[0], order[1]);
        for (int o = 0; o < choices && !m_stop && !done(); ++o) {
            const int c = order[o];
            const TeamCode w = choiceWinner(m_model, k, c, m_winners.data());
            const TeamCode l = choices == 2 ? choiceWinner(m_model, k, 1 - c, m_winners.data()) : 0;
            m_winners[std::size_t(k)] = w;
            decide(k, w, l);
            walk(k + 1);
        }
    }

    // Bounds of depth k + 1 from those of depth k, with level k won by w over l.
    void decide(int k, TeamCode w, TeamCode l)
    {
        const Bounds& from = m_bounds[std::size_t(k)];
        Bounds& to = m_bounds[std::size_t(k) + 1];
        const Level& level = m_model.levels[std::size_t(k)];
        const std::int32_t v = w == 0 ? 0 : std::int32_t(level.trueValue[SeedOfCode(w)]);
        const std::int32_t vPos = std::max(v, 0), vNeg = std::min(v, 0);
        const TeamCode lost = l == 0 ? -2 : l;  // -2 matches no pick
        const std::int32_t* picks = m_model.column(k);
        const std::size_t offset = std::size_t(k) * std::size_t(m_model.n);
        const std::int32_t* chainPos = m_prepared.chainPos.data() + offset;
        const std::int32_t* chainNeg = m_prepared.chainNeg.data() + offset;
        const int n = m_model.n;
        for (int j = 0; j < n; ++j) {
            const std::int32_t won = -std::int32_t(picks[j] == w);
            const std::int32_t gone = -std::int32_t(picks[j] == lost);
            to.cur[std::size_t(j)] = from.cur[std::size_t(j)] + (won & v);
            to.pos[std::size_t(j)] = from.pos[std::size_t(j)] - (won & vPos) - (gone & chainPos[j]);
            to.neg[std::size_t(j)] = from.neg[std::size_t(j)] - (won & vNeg) - (gone & chainNeg[j]);
        }
    }

    const Model& m_model;
    const Prepared& m_prepared;
    const OutlookOptions& m_options;
    std::vector<Bounds> m_bounds;
    std::vector<TeamCode> m_winners;
    int m_i = 0;
    bool m_best = true;
    std::int32_t m_found = 0;
    bool m_stop = false;
    std::uint64_t m_nodes = 0;
};

}  // namespace

bool searchFinishes(const Model& model, const OutlookOptions& options, std::vector<std::int32_t>& best,
                    std::vector<std::int32_t>& worst)
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
            searches[std::size_t(w)]->run(i, true, b);
            searches[std::size_t(w)]->run(i, false, o);
        },
        0.0, 1.0);
}

}  // namespace outlook::detail
