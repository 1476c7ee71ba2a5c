// The worst finish of one participant i: the most rivals that can finish strictly above i in the
// same outcome. Each rival's lead over i is a sum over the remaining games, and on its own almost
// every rival can get ahead; what limits the count is that rivals need different outcomes. The
// search is a branch and bound over outcomes whose bound on the count is exact for one part of
// the bracket at a time:
//
// - Given the winner of a game, the games below it are settled independently of everything else,
//   so each (game, winner) has an exact range of every rival's lead change inside its part of the
//   bracket (one pass over all rivals per pair, once per participant). A node counts the rivals
//   whose lead can still be positive (the bound) and those whose lead is positive whatever
//   happens (reached in every completion).
// - In a small part of the bracket (a region once the round of 16 is over) most completions are
//   of no use: one that moves every rival's lead by no more than another one does never puts a
//   rival above i that the other would not. Of a region's 16 completions per champion typically
//   3 to 8 remain; such a part is chosen as a whole among those.
// - For every such part, the count after each of its completions is made with the ranges of
//   everything else: no outcome of the node does better than the best completion of any one
//   part. This catches what the ranges miss, rivals who need different completions of the same
//   part, and it is made before a child is built, so most children are ruled out by a few
//   passes. The part whose best completion is lowest is the next one to choose.
//
// Winners are chosen from the championship down (the games worth most first), then the parts;
// children go most promising first, so a high count is reached early. Leads are kept in 16-bit
// lanes when every total fits, so one vector instruction handles sixteen rivals. A run that runs
// out of budget tells where it stopped, and the next run with more budget goes on from there.
#include <algorithm>
#include <bit>
#include <memory>
#include <numeric>

#include "core/outlook/prepared_pool.h"

namespace outlook::detail {
namespace {

// The rivals that would be above after adding add to their leads. Counted in the lanes' own
// width, a block at a time, so 16-bit lanes are not widened first.
constexpr int CountBlock = 4096;  // below the largest 16-bit count

template <class Lane> HOOP_HOT_LOOP int countAdded(const Lane* __restrict from, const Lane* __restrict add, int n)
{
    int count = 0;
    for (int at = 0; at < n; at += CountBlock) {
        const int end = std::min(n, at + CountBlock);
        Lane part = 0;
        for (int j = at; j < end; ++j) part = Lane(part + (Lane(from[j] + add[j]) > 0));
        count += part;
    }
    return count;
}

template <class Lane>
HOOP_HOT_LOOP int countAdded2(const Lane* __restrict from, const Lane* __restrict a, const Lane* __restrict b, int n)
{
    int count = 0;
    for (int at = 0; at < n; at += CountBlock) {
        const int end = std::min(n, at + CountBlock);
        Lane part = 0;
        for (int j = at; j < end; ++j) part = Lane(part + (Lane(from[j] + a[j] + b[j]) > 0));
        count += part;
    }
    return count;
}

template <class Lane>
HOOP_HOT_LOOP int added(const Lane* __restrict from, const Lane* __restrict add, int n, Lane* __restrict to)
{
    int count = 0;
    for (int j = 0; j < n; ++j) {
        to[j] = Lane(from[j] + add[j]);
        count += to[j] > 0;
    }
    return count;
}

template <class Lane>
HOOP_HOT_LOOP void difference(const Lane* __restrict a, const Lane* __restrict b, int n, Lane* __restrict to)
{
    for (int j = 0; j < n; ++j) to[j] = Lane(a[j] - b[j]);
}

// to[j] = base[j] + v * ((picks[j] == team) - mine), the lead change when team wins a game worth v.
template <class Lane>
HOOP_HOT_LOOP void addGame(const Lane* __restrict base, const std::int32_t* __restrict picks, int n, TeamCode team,
                           Lane v, Lane mine, Lane* __restrict to)
{
    for (int j = 0; j < n; ++j) to[j] = Lane(base[j] + (-Lane(picks[j] == team) & v) - mine);
}

template <class Lane> HOOP_HOT_LOOP void addInto(const Lane* __restrict b, int n, Lane* __restrict to)
{
    for (int j = 0; j < n; ++j) to[j] = Lane(to[j] + b[j]);
}

template <class Lane> HOOP_HOT_LOOP void keepMax(const Lane* __restrict a, int n, Lane* __restrict to)
{
    for (int j = 0; j < n; ++j) to[j] = a[j] > to[j] ? a[j] : to[j];
}

template <class Lane> HOOP_HOT_LOOP void keepMin(const Lane* __restrict a, int n, Lane* __restrict to)
{
    for (int j = 0; j < n; ++j) to[j] = a[j] < to[j] ? a[j] : to[j];
}

// True when every lane of b is at least a's.
template <class Lane> HOOP_HOT_LOOP bool covers(const Lane* __restrict b, const Lane* __restrict a, int n)
{
    constexpr int Block = 64;
    for (int from = 0; from < n; from += Block) {
        const int to = std::min(n, from + Block);
        int below = 0;
        for (int j = from; j < to; ++j) below |= b[j] < a[j];
        if (below) return false;
    }
    return true;
}

constexpr int NoTeam = -1;
// Completions of one part of the bracket that are compared for dominance; a part with more is
// searched game by game.
constexpr int MaxCandidates = 256;

}  // namespace

class WorstSearch::Impl {
public:
    virtual ~Impl() = default;
    virtual bool run(int participant, std::int32_t& found, std::uint64_t budget, std::vector<int>& place) = 0;
    virtual std::uint64_t steps() const = 0;
};

namespace {

// The search in lanes of type Lane: 16 bits where every lead fits, 32 otherwise.
template <class Lane> class Engine final : public WorstSearch::Impl {
public:
    Engine(const PreparedPool& model, const OutlookOptions& options);
    bool run(int participant, std::int32_t& found, std::uint64_t budget, std::vector<int>& place) override;
    std::uint64_t steps() const override { return m_steps; }

private:
    struct Component {
        int level = 0;
        int team = NoTeam;  // the winner, when it is already decided
        int first = -1;     // a decided part's counts in its node's table, once counted
    };
    // One way to go on from a node: what it adds to the upper and lower leads.
    struct Child {
        const Lane* upper;
        const Lane* lower;
        int team;  // the winner chosen, or NoTeam for a kept completion
        int possibly;
        int order;
    };
    struct Part {
        std::size_t comp, from, choices;
        int unknown;
    };

    int slot(int level, int team) const { return m_slotOf[std::size_t(level) * 64 + std::size_t(team)]; }
    Lane* hiOf(int s) { return m_hi.data() + std::size_t(s) * m_stride; }
    Lane* loOf(int s) { return m_lo.data() + std::size_t(s) * m_stride; }
    Lane* hiAll(int level) { return m_hiAll.data() + std::size_t(level) * m_stride; }
    Lane* loAll(int level) { return m_loAll.data() + std::size_t(level) * m_stride; }
    Lane* stepHi(int s) { return m_step.data() + std::size_t(s) * 2 * m_stride; }
    Lane* stepLo(int s) { return stepHi(s) + m_stride; }
    Lane* vectorOf(int id) { return m_vectors.data() + std::size_t(id) * m_stride; }
    Lane* branchHi(int id) { return m_branchLanes.data() + std::size_t(id) * 2 * m_stride; }
    Lane* branchLo(int id) { return branchHi(id) + m_stride; }
    const std::vector<int>& choicesOf(const Component& comp) const
    {
        return comp.team == NoTeam ? m_levelBranches[std::size_t(comp.level)]
                                   : m_branches[std::size_t(slot(comp.level, comp.team))];
    }
    // A part chosen among its kept completions as a whole: a decided winner's, or an open one
    // kept whole (any winner).
    bool isPart(const Component& comp) const { return comp.team != NoTeam || m_whole[std::size_t(comp.level)]; }
    int newVector();

    void prepare();
    void materialize(int level);
    void prepareBranches();
    void pushDecided(std::vector<Component>& comps, int level, int team) const;
    int sideOf(int level, int team) const;
    void walk(int depth, const std::vector<Component>& comps, int possibly, int surely);
    int partCounts(int depth, std::vector<Component>& comps, const Lane* add, std::vector<int>& above);

    const PreparedPool& m_model;
    const std::atomic<bool>* m_cancel;  // of the options: kept, not the options themselves
    int m_n = 0;
    std::size_t m_stride = 0;
    std::vector<int> m_slotOf;               // [level * 64 + team]: slot, or -1
    std::vector<std::uint64_t> m_sideReach;  // [level * 2 + side]
    std::vector<std::int32_t> m_pickers;     // [level * 64 + team]
    int m_slots = 0;

    // Per participant: the exact range of every rival's lead change below each (level, winner)
    // and over every winner of a level, what choosing a winner does to those ranges, and the
    // kept completions of the small parts with what choosing each of them does (for a decided
    // winner, and for any winner).
    int m_i = 0;
    std::vector<Lane> m_hi, m_lo, m_hiAll, m_loAll, m_step;
    std::vector<std::uint8_t> m_whole;     // per level: its completions are kept
    std::vector<std::vector<int>> m_sets;  // per slot: kept completions (vector ids)
    std::vector<Lane> m_vectors;
    int m_vectorCount = 0;
    std::vector<std::vector<int>> m_branches;       // per slot: the kept completions to branch on
    std::vector<std::vector<int>> m_levelBranches;  // per level: the same for any winner
    std::vector<Lane> m_branchLanes;
    std::vector<Lane> m_zero;

    // Per depth: every rival's lead with the most and the least the open parts can still do,
    // the rivals above at most after each choice of each decided part, and the ways on.
    std::vector<std::vector<Lane>> m_upper, m_lower;
    std::vector<std::vector<int>> m_above;
    std::vector<std::vector<Child>> m_children;
    std::vector<Part> m_parts;

    std::int32_t m_found = 0;
    std::uint64_t m_steps = 0, m_budget = 0;
    bool m_stop = false;
    // Where the search stands: the child taken at each depth, and when going on from an
    // earlier run, the place it stopped at.
    std::vector<int> m_path, m_resume;
    bool m_resuming = false;
};

template <class Lane>
Engine<Lane>::Engine(const PreparedPool& model, const OutlookOptions& options)
    : m_model(model), m_cancel(options.cancel)
{
    m_n = model.n;
    m_stride = (std::size_t(m_n) + 15) & ~std::size_t(15);
    m_slotOf.assign(std::size_t(model.levelCount) * 64, -1);
    for (int k = 0; k < model.levelCount; ++k)
        for (std::uint64_t r = model.levels[std::size_t(k)].reach; r; r &= r - 1)
            m_slotOf[std::size_t(k) * 64 + std::size_t(std::countr_zero(r))] = m_slots++;
    m_sideReach = sideReaches(model);
    m_pickers = pickerCounts(model);
    m_hi.assign(std::size_t(m_slots) * m_stride, 0);
    m_lo.assign(std::size_t(m_slots) * m_stride, 0);
    m_step.assign(std::size_t(m_slots) * 2 * m_stride, 0);
    m_hiAll.assign(std::size_t(model.levelCount) * m_stride, 0);
    m_loAll.assign(std::size_t(model.levelCount) * m_stride, 0);
    m_zero.assign(m_stride, 0);
    m_whole.assign(std::size_t(model.levelCount), 0);
    m_sets.resize(std::size_t(m_slots));
    m_branches.resize(std::size_t(m_slots));
    m_levelBranches.resize(std::size_t(model.levelCount));
    // A node decides one part; every level is decided at most twice (its winner, then its
    // completion), so the depth stays below twice the levels.
    const std::size_t depths = std::size_t(model.levelCount) * 2 + 2;
    m_upper.resize(depths);
    m_lower.resize(depths);
    m_above.resize(depths);
    m_children.resize(depths);
    for (std::size_t d = 0; d < depths; ++d) {
        m_upper[d].assign(m_stride, 0);
        m_lower[d].assign(m_stride, 0);
    }
}

template <class Lane> int Engine<Lane>::newVector()
{
    if (std::size_t(m_vectorCount + 1) * m_stride > m_vectors.size())
        m_vectors.resize(std::max(m_vectors.size() * 2, 64 * m_stride));
    return m_vectorCount++;
}

template <class Lane> int Engine<Lane>::sideOf(int level, int team) const
{
    return (m_sideReach[std::size_t(level) * 2] >> team) & 1 ? 0 : 1;
}

template <class Lane> void Engine<Lane>::prepare()
{
    const int n = m_n;
    const auto i = std::size_t(m_i);
    m_vectorCount = 0;
    for (int k = 0; k < m_model.levelCount; ++k) {
        const Level& l = m_model.levels[std::size_t(k)];
        const std::int32_t* picks = m_model.column(k);
        bool first = true;
        for (std::uint64_t r = l.reach; r; r &= r - 1) {
            const int t = std::countr_zero(r);
            const int s = sideOf(k, t);
            const Side& own = l.side[s];
            const Side& other = l.side[1 - s];
            const TeamCode code = teamOfIndex(t);
            const Lane v = Lane(l.trueValue[seedOfCode(code)]);
            const Lane mine = picks[i] == code ? v : 0;
            const int at = slot(k, t);
            addGame(own.level >= 0 ? hiOf(slot(own.level, t)) : m_zero.data(), picks, n, code, v, mine, hiOf(at));
            addGame(own.level >= 0 ? loOf(slot(own.level, t)) : m_zero.data(), picks, n, code, v, mine, loOf(at));
            if (other.level >= 0) {
                addInto(hiAll(other.level), n, hiOf(at));
                addInto(loAll(other.level), n, loOf(at));
            }
            if (first) {
                std::copy(hiOf(at), hiOf(at) + n, hiAll(k));
                std::copy(loOf(at), loOf(at) + n, loAll(k));
                first = false;
            } else {
                keepMax(hiOf(at), n, hiAll(k));
                keepMin(loOf(at), n, loAll(k));
            }
        }
        if (first) {
            std::fill(hiAll(k), hiAll(k) + n, 0);
            std::fill(loAll(k), loAll(k) + n, 0);
        }
        for (std::uint64_t r = l.reach; r; r &= r - 1) {
            const int at = slot(k, std::countr_zero(r));
            difference(hiOf(at), hiAll(k), n, stepHi(at));
            difference(loOf(at), loAll(k), n, stepLo(at));
        }
        materialize(k);
    }
    prepareBranches();
    // About the passes over the rivals made above, so the budget counts them too.
    m_steps += (std::uint64_t(m_slots) * 8 + std::uint64_t(m_vectorCount) * 2) * std::uint64_t(n);
}

// Keeps the completions of the level's part of the bracket, per winner, that no other completion
// with the same winner dominates, when the parts below are kept and there are few enough.
template <class Lane> void Engine<Lane>::materialize(int k)
{
    const Level& l = m_model.levels[std::size_t(k)];
    m_whole[std::size_t(k)] = 0;
    if (l.reach == 0) return;
    // The completions of a side: its kept ones (any winner), or one doing nothing for a fixed team.
    const auto sideSets = [&](const Side& s, int team, std::vector<int>& out) {
        out.clear();
        if (s.level < 0) {
            out.push_back(-1);
            return true;
        }
        if (!m_whole[std::size_t(s.level)]) return false;
        const std::uint64_t reach = m_model.levels[std::size_t(s.level)].reach;
        if (reach == 0) {
            out.push_back(-1);
            return true;
        }
        for (std::uint64_t r = reach; r; r &= r - 1) {
            const int t = std::countr_zero(r);
            if (team != NoTeam && t != team) continue;
            const auto& set = m_sets[std::size_t(slot(s.level, t))];
            out.insert(out.end(), set.begin(), set.end());
        }
        return true;
    };
    std::vector<int> own, other;
    std::size_t candidates = 0;
    for (std::uint64_t r = l.reach; r; r &= r - 1) {
        const int t = std::countr_zero(r);
        const int s = sideOf(k, t);
        if (!sideSets(l.side[s], t, own) || !sideSets(l.side[1 - s], NoTeam, other)) return;
        candidates += own.size() * other.size();
    }
    if (candidates > std::size_t(MaxCandidates)) return;
    const int n = m_n;
    const std::int32_t* picks = m_model.column(k);
    for (std::uint64_t r = l.reach; r; r &= r - 1) {
        const int t = std::countr_zero(r);
        const int s = sideOf(k, t);
        sideSets(l.side[s], t, own);
        sideSets(l.side[1 - s], NoTeam, other);
        const TeamCode code = teamOfIndex(t);
        const Lane v = Lane(l.trueValue[seedOfCode(code)]);
        const Lane mine = picks[std::size_t(m_i)] == code ? v : 0;
        std::vector<int> built;
        for (const int a : own)
            for (const int b : other) {
                const int id = newVector();
                Lane* to = vectorOf(id);
                addGame(a < 0 ? m_zero.data() : vectorOf(a), picks, n, code, v, mine, to);
                if (b >= 0) addInto(vectorOf(b), n, to);
                built.push_back(id);
            }
        // Drop every completion another one covers (of equal ones, all but the first).
        std::vector<int>& kept = m_sets[std::size_t(slot(k, t))];
        kept.clear();
        for (std::size_t x = 0; x < built.size(); ++x) {
            bool dominated = false;
            for (std::size_t y = 0; y < built.size() && !dominated; ++y) {
                if (x == y || !covers(vectorOf(built[y]), vectorOf(built[x]), n)) continue;
                dominated = y < x || !covers(vectorOf(built[x]), vectorOf(built[y]), n);
            }
            if (!dominated) kept.push_back(built[x]);
        }
    }
    m_whole[std::size_t(k)] = 1;
}

// The kept parts the search can meet (the largest ones) get what choosing each completion does
// to the ranges of their (level, winner).
template <class Lane> void Engine<Lane>::prepareBranches()
{
    int count = 0;
    for (int k = 0; k < m_model.levelCount; ++k) {
        const Level& l = m_model.levels[std::size_t(k)];
        const bool top = m_whole[std::size_t(k)] && (l.nextLevel < 0 || !m_whole[std::size_t(l.nextLevel)]);
        m_levelBranches[std::size_t(k)].clear();
        for (std::uint64_t r = l.reach; r; r &= r - 1) {
            const int at = slot(k, std::countr_zero(r));
            m_branches[std::size_t(at)].clear();
            if (!top) continue;
            for (std::size_t b = 0; b < m_sets[std::size_t(at)].size(); ++b) {
                m_branches[std::size_t(at)].push_back(count++);
                m_levelBranches[std::size_t(k)].push_back(count++);
            }
        }
    }
    if (m_branchLanes.size() < std::size_t(count) * 2 * m_stride)
        m_branchLanes.resize(std::size_t(count) * 2 * m_stride);
    for (int k = 0; k < m_model.levelCount; ++k) {
        std::size_t atLevel = 0;
        for (std::uint64_t r = m_model.levels[std::size_t(k)].reach; r; r &= r - 1) {
            const int s = slot(k, std::countr_zero(r));
            for (std::size_t b = 0; b < m_branches[std::size_t(s)].size(); ++b) {
                const Lane* v = vectorOf(m_sets[std::size_t(s)][b]);
                difference(v, hiOf(s), m_n, branchHi(m_branches[std::size_t(s)][b]));
                difference(v, loOf(s), m_n, branchLo(m_branches[std::size_t(s)][b]));
                if (atLevel < m_levelBranches[std::size_t(k)].size()) {
                    const int id = m_levelBranches[std::size_t(k)][atLevel++];
                    difference(v, hiAll(k), m_n, branchHi(id));
                    difference(v, loAll(k), m_n, branchLo(id));
                }
            }
        }
    }
}

// A decided winner of a level whose part is not kept whole wins its way up from its own side:
// the games on that path are decided with it and the other sides become open parts.
template <class Lane> void Engine<Lane>::pushDecided(std::vector<Component>& comps, int level, int team) const
{
    while (!m_whole[std::size_t(level)]) {
        const Level& l = m_model.levels[std::size_t(level)];
        const int s = sideOf(level, team);
        const Side& other = l.side[1 - s];
        if (other.level >= 0 && m_model.levels[std::size_t(other.level)].reach != 0)
            comps.push_back({other.level, NoTeam});
        if (l.side[s].level < 0) return;
        level = l.side[s].level;
    }
    comps.push_back({level, team});
}

template <class Lane>
bool Engine<Lane>::run(int participant, std::int32_t& found, std::uint64_t budget, std::vector<int>& place)
{
    m_i = participant;
    m_found = found;
    m_steps = 0;
    m_budget = budget;
    m_stop = false;
    m_resume = place;
    m_resuming = !place.empty();
    m_path.assign(m_upper.size(), 0);
    if (m_n == 0) return true;
    prepare();

    // The root: every rival's lead now, and its range over the open parts of the bracket.
    std::vector<Component> comps;
    Lane* upper = m_upper[0].data();
    Lane* lower = m_lower[0].data();
    const auto mine = std::int32_t(m_model.base[std::size_t(m_i)]);
    for (int j = 0; j < m_n; ++j) upper[j] = lower[j] = Lane(std::int32_t(m_model.base[std::size_t(j)]) - mine);
    for (int k = 0; k < m_model.levelCount; ++k) {
        const Level& l = m_model.levels[std::size_t(k)];
        if (l.nextLevel >= 0 || l.reach == 0) continue;
        comps.push_back({k, NoTeam});
        addInto(hiAll(k), m_n, upper);
        addInto(loAll(k), m_n, lower);
    }
    m_above[0].clear();
    const int possibly = countAdded(upper, m_zero.data(), m_n);
    std::vector<int> above;
    if (partCounts(0, comps, m_zero.data(), above) <= m_found) {
        found = m_found;
        place.clear();
        return true;
    }
    m_above[0].swap(above);
    walk(0, comps, possibly, countAdded(lower, m_zero.data(), m_n));
    found = m_found;
    if (!m_stop)
        place.clear();
    else
        place = m_resume;
    return !m_stop;
}

template <class Lane> void Engine<Lane>::walk(int depth, const std::vector<Component>& comps, int possibly, int surely)
{
    m_found = std::max(m_found, surely);
    if (possibly <= m_found || comps.empty()) return;
    const auto d = std::size_t(depth);
    const Lane* upper = m_upper[d].data();
    const Lane* lower = m_lower[d].data();
    const std::vector<int>& counted = m_above[d];
    m_steps += std::uint64_t(m_n);
    if (m_steps > m_budget || (m_cancel && m_cancel->load(std::memory_order_relaxed))) {
        // The next run goes on from here: every child before the one taken at each depth is done.
        m_stop = true;
        m_resume.assign(m_path.begin(), m_path.begin() + depth);
        return;
    }
    // The place an earlier run stopped at is reached: from here on everything is new.
    const bool resuming = m_resuming && d < m_resume.size();
    m_resuming = resuming;

    // Open games first, from the top down, since their winners matter most; then the part whose
    // best completion is lowest: no outcome here does better, and it cuts the most children.
    std::size_t pick = comps.size(), limiting = comps.size();
    int lowest = possibly, bestScore = -1;
    for (std::size_t c = 0; c < comps.size(); ++c) {
        const Component& comp = comps[c];
        if (isPart(comp)) {
            const auto from = counted.begin() + comp.first;
            const int most = *std::max_element(from, from + std::ptrdiff_t(choicesOf(comp).size()));
            if (most < lowest || limiting == comps.size()) {
                lowest = std::min(lowest, most);
                limiting = c;
            }
            continue;
        }
        const Level& l = m_model.levels[std::size_t(comp.level)];
        const int score = l.round * 64 + std::popcount(l.reach);
        if (score > bestScore) {
            bestScore = score;
            pick = c;
        }
    }
    if (lowest <= m_found) return;
    if (pick == comps.size()) pick = limiting;
    const Component split = comps[pick];
    const int k = split.level;
    auto& children = m_children[d];
    children.clear();
    if (!isPart(split)) {
        const TeamCode mine = m_model.column(k)[std::size_t(m_i)];
        for (std::uint64_t r = m_model.levels[std::size_t(k)].reach; r; r &= r - 1) {
            const int t = std::countr_zero(r);
            const int s = slot(k, t);
            // Among equals: i's pick last, then the teams most picked first.
            const int order = (teamOfIndex(t) == mine ? 1 << 20 : 0) - m_pickers[std::size_t(k) * 64 + std::size_t(t)];
            children.push_back({stepHi(s), stepLo(s), t, countAdded(upper, stepHi(s), m_n), order});
        }
        m_steps += std::uint64_t(m_n) * children.size();
    } else {
        const auto& ids = choicesOf(split);
        for (std::size_t b = 0; b < ids.size(); ++b)
            children.push_back(
                {branchHi(ids[b]), branchLo(ids[b]), NoTeam, counted[std::size_t(split.first) + b], int(b)});
    }
    std::stable_sort(children.begin(), children.end(), [](const Child& a, const Child& b) {
        return a.possibly != b.possibly ? a.possibly > b.possibly : a.order < b.order;
    });

    std::vector<Component> rest;
    std::vector<int> above;
    const std::size_t start = resuming ? std::min(children.size(), std::size_t(m_resume[d])) : 0;
    for (std::size_t c = start; c < children.size() && !m_stop; ++c) {
        m_path[d] = int(c);
        m_resuming = resuming && c == start;  // only the child the earlier run was in
        const Child child = children[c];
        if (child.possibly <= m_found) break;
        rest.assign(comps.begin(), comps.end());
        rest.erase(rest.begin() + std::ptrdiff_t(pick));
        if (child.team != NoTeam) pushDecided(rest, k, child.team);
        if (rest.empty()) {  // every game decided: the count is exact, and the first is the most
            m_found = std::max(m_found, child.possibly);
            break;
        }
        // The child's decided parts are counted here: a child no better than the found count
        // in its most limiting part is never built.
        if (partCounts(depth, rest, child.upper, above) <= m_found) continue;
        const int up = added(upper, child.upper, m_n, m_upper[d + 1].data());
        const int sure = added(lower, child.lower, m_n, m_lower[d + 1].data());
        m_steps += 2 * std::uint64_t(m_n);
        m_above[d + 1].swap(above);
        walk(depth + 1, rest, up, sure);
        m_above[d + 1].swap(above);
    }
}

// For every choice of every decided part of comps (in their order, each part's first set to
// where its choices start): the rivals above at most after this node's upper leads, add and
// that choice. Returns the lowest of the parts' best choices. Adding never raises a count, so a
// choice this node already counted at or below the found count keeps that count as its bound;
// and once one part has no choice above the found count, the child is done with and nothing
// more is counted (the result is then at most the found count, and above is incomplete).
template <class Lane>
int Engine<Lane>::partCounts(int depth, std::vector<Component>& comps, const Lane* add, std::vector<int>& above)
{
    const Lane* upper = m_upper[std::size_t(depth)].data();
    const std::vector<int>& counted = m_above[std::size_t(depth)];
    constexpr int Unknown = -1;
    above.clear();
    m_parts.clear();
    for (std::size_t c = 0; c < comps.size(); ++c) {
        Component& comp = comps[c];
        if (!isPart(comp)) continue;
        const std::size_t choices = choicesOf(comp).size();
        Part part{c, above.size(), choices, 0};
        for (std::size_t b = 0; b < choices; ++b) {
            const int before = comp.first >= 0 ? counted[std::size_t(comp.first) + b] : m_found + 1;
            above.push_back(before <= m_found ? before : Unknown);
            part.unknown += before > m_found;
        }
        if (part.unknown == 0) return m_found;
        m_parts.push_back(part);
    }
    const auto countOne = [&](const Part& part, std::size_t b) {
        const Component& comp = comps[part.comp];
        m_steps += std::uint64_t(m_n);
        return above[part.from + b] = countAdded2(upper, add, branchHi(choicesOf(comp)[b]), m_n);
    };
    // The parts with fewest choices left to count first: the cheapest to rule the child out.
    std::sort(m_parts.begin(), m_parts.end(), [](const Part& x, const Part& y) { return x.unknown < y.unknown; });
    for (const Part& part : m_parts) {
        bool over = false;
        for (std::size_t b = 0; b < part.choices && !over; ++b)
            if (above[part.from + b] == Unknown) over = countOne(part, b) > m_found;
        if (!over) return m_found;
    }
    int lowest = 1 << 30;
    for (const Part& part : m_parts) {
        int most = 0;
        for (std::size_t b = 0; b < part.choices; ++b)
            most = std::max(most, above[part.from + b] == Unknown ? countOne(part, b) : above[part.from + b]);
        lowest = std::min(lowest, most);
        comps[part.comp].first = int(part.from);
    }
    return lowest;
}

}  // namespace

WorstSearch::WorstSearch(const PreparedPool& model, const OutlookOptions& options)
{
    // Every number the search keeps is a difference of totals, or a sum of at most five of them
    // (see the count loops), so 16 bits do while totals span less than a fifth of their range.
    constexpr std::int32_t NarrowSpan = 6000;
    if (model.narrow && model.histSpan <= NarrowSpan)
        m_impl = std::make_unique<Engine<std::int16_t>>(model, options);
    else
        m_impl = std::make_unique<Engine<std::int32_t>>(model, options);
}

WorstSearch::~WorstSearch() = default;

bool WorstSearch::run(int participant, std::int32_t& found, std::uint64_t budget, std::vector<int>& place)
{
    return m_impl->run(participant, found, budget, place);
}

std::uint64_t WorstSearch::steps() const { return m_impl->steps(); }

}  // namespace outlook::detail
