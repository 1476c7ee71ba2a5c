#include "core/pool/sheet_picks.h"

namespace {
bool isGame(int game) { return game >= 1 && game <= GameCount; }
}  // namespace

TSheetPicks::TSheetPicks()
{
    for (int n = 1; n <= FirstRoundGames; ++n) m_slots[std::size_t(n)] = firstRoundPair(n);
}

TeamCode TSheetPicks::pick(int game) const { return isGame(game) ? m_picks[std::size_t(game)] : 0; }

GamePair TSheetPicks::teams(int game) const { return isGame(game) ? m_slots[std::size_t(game)] : GamePair{}; }

TSheetPicks::PickState TSheetPicks::check(int game) const
{
    const TeamCode p = pick(game);
    if (p == 0) return PickState::Open;
    const GamePair pair = teams(game);
    return p == pair.a || p == pair.b ? PickState::Fits : PickState::Stray;
}

void TSheetPicks::setWinner(int game, TeamCode team)
{
    if (!isGame(game)) return;
    if (!isValidTeamCode(team)) team = 0;
    m_picks[std::size_t(game)] = team;
    AdvanceWinner(game, team);
}

void TSheetPicks::AdvanceWinner(int game, TeamCode team)
{
    const NextGameInfo next = NextGame(game);
    if (next.game == 0) return;
    GamePair& slots = m_slots[std::size_t(next.game)];
    (next.slot == Slot::A ? slots.a : slots.b) = team;
}

void TSheetPicks::dropPick(int game)
{
    if (isGame(game)) m_picks[std::size_t(game)] = 0;
}

void TSheetPicks::clear() { *this = TSheetPicks(); }

void TSheetPicks::load(const PickArray& picks)
{
    // Feeders come before the games they feed, so one pass in game order sets every slot.
    for (int n = 1; n <= GameCount; ++n) setWinner(n, picks[std::size_t(n)]);
}
