#include "ui/click_rules.h"

#include "engine/begging.h"
#include "engine/tricks.h"

namespace {

// Two cards of one suit turned in a row: the dealer runs the pack again and
// nobody may play yet.
bool packBeingRun(const GameState& game)
{
    return game.kicked && game.kicked->next && game.kicked->suit == game.kicked->next->suit;
}

}  // namespace

bool localHumanToAct(const GameState& game)
{
    return game.seatInPlay(game.turn) && game.seats[game.turn].kind == LOCAL_HUMAN;
}

CardClick decideCardClick(GameState& game, const TableLayout& layout, int x, int y)
{
    if (!localHumanToAct(game)) return {};
    const int seat = game.turn;
    return decideCardPlay(game, layout.hitTestHand(positionOfSeat(game, seat), countCards(game.seats[seat].hand), x, y));
}

CardClick decideCardPlay(GameState& game, int index)
{
    CardClick click;
    if (packBeingRun(game) || !localHumanToAct(game)) return click;
    const int seat = game.turn;
    if (mustBeg(game, seat)) {
        click.outcome = ClickOutcome::FORCED_TO_BEG;
        return click;
    }
    if (index < 0) return click;
    Card* card = nthCard(game.seats[seat].hand, index);
    if (!card) return click;
    click.card = card;
    click.outcome = isLegalPlay(game, seat, card) ? ClickOutcome::PLAY : ClickOutcome::MUST_FOLLOW;
    return click;
}

bool roundInPlay(const GameState& game) { return game.kicked != nullptr && game.seatInPlay(game.localSeat); }

std::vector<ShownCard> lastTrickCards(const GameState& game)
{
    std::vector<ShownCard> shown;
    if (game.lastTrick[0] == NO_CARD) return shown;
    for (int p = 0; p < 4; ++p) {
        const int seat = seatAtPosition(game, p);
        if (game.seatCount == 2 && p != POS_BOTTOM && p != POS_LEFT) continue;
        // An entry never filled (a seat that sat out every trick so far) has
        // nothing to show.
        if (!game.isSeat(seat) || !isCardIndex(game.lastTrick[seat])) continue;
        shown.push_back({p, game.lastTrick[seat]});
    }
    return shown;
}
