// What a person's clicks on the table amount to, decided from the game state
// alone; the window shows the refusals and sends the accepted moves.
#pragma once

#include <vector>

#include "engine/game_state.h"
#include "ui/table_layout.h"

enum class ClickOutcome {
    IGNORED,
    FORCED_TO_BEG,   // "Forced to Beg" / "You have no trumps and must beg."
    MUST_FOLLOW,     // "Pick Again" / "You must follow suit."
    PLAY,
};

struct CardClick {
    ClickOutcome outcome = ClickOutcome::IGNORED;
    Card* card = nullptr;  // the card to play when outcome is PLAY
};

// A click at (x, y) in canvas coordinates; the checks run in a fixed order,
// so a forced beg is reported even for a click that misses the cards.
CardClick decideCardClick(GameState& game, const TableLayout& layout, int x, int y);
// The same checks for the card at index of the hand to act (a key's pick);
// index -1 picks nothing.
CardClick decideCardPlay(GameState& game, int index);

// The seat to act is a person at this machine.
bool localHumanToAct(const GameState& game);

// A round is under way from its first kick until its cards are gathered;
// only then can a reneed be called.
bool roundInPlay(const GameState& game);

struct ShownCard {
    int position;
    int index;
};
// The cards of the last completed trick at the positions of their players;
// empty before the first trick is complete.
std::vector<ShownCard> lastTrickCards(const GameState& game);
