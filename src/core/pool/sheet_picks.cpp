#include "core/pool/sheet_picks.h"

namespace {
bool isGame(int game) { return game >= 1 && game <= GameCount; }
}  // namespace

SheetPicks::SheetPicks()
{
    for (int n = 1; n <= FirstRoundGames; ++n) m_slots[std::size_t(n)] = firstRoundPair(n);
}

TeamCode SheetPicks::pick(int game) const { return isGame(game) ? m_picks[std::size_t(game)] : 0; }

GamePair SheetPicks::teams(int game) const { return isGame(game) ? m_slots[std::size_t(game)] : GamePair{}; }

SheetPicks::PickState SheetPicks::check(int game) const
{
    const TeamCode p = pick(game);
    if (p == 0) return PickState::Open;
    const GamePair pair = teams(game);
    return p == pair.a || p == pair.b ? PickState::Fits : PickState::Stray;
}

void SheetPicks::setWinner(int game, TeamCode team)
{
    if (!isGame(game)) return;
    if (!isValidTeamCode(team)) team = 0;
    m_picks[std::size_t(game)] = team;
    advanceWinner(game, team);
}

void SheetPicks::advanceWinner(int game, TeamCode team)
{
    const NextGameInfo next = nextGame(game);
    if (next.game == 0) return;
    GamePair& slots = m_slots[std::size_t(next.game)];
    (next.slot == Slot::A ? slots.a : slots.b) = team;
}

void SheetPicks::dropPick(int game)
{
    if (isGame(game)) m_picks[std::size_t(game)] = 0;
}

void SheetPicks::clear() { *this = SheetPicks(); }

void SheetPicks::load(const PickArray& picks)
{
    // Feeders come before the games they feed, so one pass in game order sets every slot.
    for (int n = 1; n <= GameCount; ++n) setWinner(n, picks[std::size_t(n)]);
}
