#pragma once
// Pool Outlook: who can still win, and how likely. Plain data in, plain data out, so a window can
// copy what it needs from the participant list and run the engine on another thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/pool/bracket.h"
#include "core/pool/scoring.h"

class PlayerList;

namespace outlook {

constexpr int MaxPaidPlaces = 8;

struct OutlookParticipant {
    std::int32_t id = 0;
    PickArray picks{};
};

struct OutlookInput {
    std::vector<OutlookParticipant> participants;  // the results entry is not one of them
    PickArray results{};                           // 0 = game not played yet
    ScoringValues values;
    int places = 3;  // paid places, 1..MaxPaidPlaces (clamped)
    // The money of places 1, 2, ... (at most MaxPaidPlaces): empty for no Exp. Winnings.
    std::vector<double> prizes;
};

struct OutlookOptions {
    std::uint64_t seed = 1;  // of the simulation; the same seed gives the same figures
    int threads = 0;         // 0: every core; the figures never depend on it
    // Exact enumeration is never chosen beyond this many participants x outcomes; within it, the
    // predicted costs choose (see chooseMethod).
    std::uint64_t maxExactEvaluations = std::uint64_t(1) << 50;
    std::uint64_t tournaments = 100'000;  // simulated when enumeration is out of reach
    // Work allowed to the searches for best finishes when not enumerating, in participant-steps
    // for the whole pool, shared equally; a search that runs out keeps the finish it found (see
    // finishesExact). Can Win is always searched to the end.
    std::uint64_t searchBudget = 320'000'000'000ull;
    // The same for the worst finishes, in rival-steps (one rival's lead moved or compared once)
    // for the whole pool: handed out in rounds, each giving the rows still open an equal share
    // of what is left, so the few hard rows get what the easy ones did not use.
    std::uint64_t worstSearchBudget = 120'000'000'000ull;
    const std::atomic<bool>* cancel = nullptr;
    // Called on the thread that called computeOutlook, with the fraction done (0..1).
    std::function<void(double)> progress;
};

struct ParticipantOutlook {
    std::int32_t id = 0;
    int finalTotal = 0;  // the total now, by the standings' scoring
    int bestFinish = 0;  // 1 + participants strictly higher, at best and at worst
    int worstFinish = 0;
    bool canWin = false;
    // false: Can Win "No" is only what the simulated tournaments showed (round values so large
    // that totals leave 32 bits); "Yes" is always exact, some outcome shows it
    bool canWinExact = true;
    // false: the finish as far as the search got; some outcome reaches the best one or better,
    // and the worst one or worse
    bool bestExact = true;
    bool worstExact = true;
    bool finishesExact = true;  // both
    double winPercent = 0;
    double moneyPercent = 0;
    // Under the game model, with the input's prizes; k participants tied at place r share the
    // prizes of places r to r + k - 1 equally.
    double expectedWinnings = 0;
};

enum class OutlookMethod { Exact, Simulated };

struct OutlookResult {
    std::vector<ParticipantOutlook> rows;  // in the order of the input's participants
    OutlookMethod method = OutlookMethod::Exact;
    int remainingGames = 0;
    std::uint64_t outcomes = 0;      // Exact: outcomes enumerated
    std::uint64_t tournaments = 0;   // Simulated: tournaments simulated
    double largestHalfInterval = 0;  // Simulated: largest 95% half-interval, in percent points
    // Simulated: what exact enumeration was predicted to take, in seconds on the threads given
    double exactSeconds = 0;
    // Best and worst finishes are exact for every row, unless a search ran out of its budget, or
    // round values are so large that totals leave 32 bits (then they and Can Win are the ones
    // seen in the simulated tournaments, marked in each row). Values that differ by a common
    // factor give the same figures.
    bool finishesExact = true;
    bool cancelled = false;  // rows are then empty
};

OutlookResult computeOutlook(const OutlookInput& input, const OutlookOptions& options = {});

// The method by predicted processor time. Exact enumeration costs per outcome a fixed part and a
// part per participant, whatever the pool's size; the fallback (simulated tournaments and the
// searches for Can Win and the finishes) grows with the tournaments and with the square of the
// participants. Exact gives every column exactly, so it is taken while it is the cheaper or
// takes at most exactAllowance seconds; never beyond maxEvaluations participants x outcomes.
struct MethodChoice {
    OutlookMethod method = OutlookMethod::Exact;
    double exactSeconds = 0;     // predicted processor time of exact enumeration
    double fallbackSeconds = 0;  // and of the fallback
};
constexpr double ExactAllowanceSeconds = 20;
MethodChoice chooseMethod(int participants, int twoWayGames, std::uint64_t tournaments,
                          std::uint64_t maxEvaluations = OutlookOptions{}.maxExactEvaluations);

// Every participant of the list (not the results entry) with its picks, and the results.
OutlookInput outlookInputOf(const PlayerList& players, const ScoringValues& values, int places);

// The game model: probability that a team of seed a beats a team of seed b.
double winProbability(int seedA, int seedB, bool firstRound);

}  // namespace outlook
