#pragma once
#include "core/pool/bracket.h"

// The 63 picks of one bracket sheet and the two teams each game is played between (its slots A
// and B). A first-round game's slots are its fixed pair; a later game's slots hold what was last
// picked in its two feeder games. A pick is passed on to the next game's slot only: later picks
// stay as they are, so while a sheet is being edited a pick may stop fitting its game, which
// the check before saving finds.
class SheetPicks final {
public:
    // A pick against its game's two teams: none, one of them, or neither.
    enum class PickState { Open, Fits, Stray };

    SheetPicks();  // every game open, the slots of later games empty

    // 0 and {0, 0} for a game outside 1..63.
    TeamCode pick(int game) const;
    GamePair teams(int game) const;
    const PickArray& picks() const { return m_picks; }
    PickState check(int game) const;

    // The pick of a game becomes the team (0: none), which moves into its slot of the next game.
    // A code that is no team counts as none; a game outside 1..63 is ignored.
    void setWinner(int game, TeamCode team);
    // The pick becomes none, but the next game's slot keeps the team: what the check before
    // saving does with a pick it cannot name.
    void dropPick(int game);
    // Every pick none and every later slot empty; the first-round pairs stay.
    void clear();
    // The picks of a stored entry, game by game; a damaged code shows as an open game.
    void load(const PickArray& picks);

private:
    void advanceWinner(int game, TeamCode team);

    PickArray m_picks{};
    std::array<GamePair, GameCount + 1> m_slots{};  // index 1..63
};
