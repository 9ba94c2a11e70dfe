#include "players/game_review.h"

#include <algorithm>

#include "engine/actions.h"
#include "engine/begging.h"
#include "engine/stand_in.h"
#include "players/round_model.h"

namespace {

int count(CardSet s) { return __builtin_popcountll(s); }

std::vector<int> cardsOf(CardSet set)
{
    std::vector<int> cards;
    for (; set; set &= set - 1) cards.push_back(__builtin_ctzll(set));
    return cards;
}

// The cards the seat to move may play, as the follow rule allows.
std::vector<int> legalMoves(const SeatView& view)
{
    std::array<CardSet, 4> hands{{0, 0, 0, 0}};
    hands[view.seat] = view.hand;
    RoundModel r = roundFromView(view, hands);
    r.turn = static_cast<int8_t>(view.seat);
    return cardsOf(legalCards(r));
}

}  // namespace

void DecisionCollector::before(const GameState& game, const GameAction& action, int line)
{
    bool emptyHands = true;
    for (const Seat& seat : game.seats) emptyHands = emptyHands && !seat.hand;
    if (action.action == ACTION_DEAL && emptyHands) ++round_;
    const bool answer = begAnswerDue_;
    begAnswerDue_ = action.action == ACTION_BEG;

    ReviewDecision d;
    d.round = round_;
    d.line = line;
    const int eldest = game.nextSeat[game.dealer];
    const bool begOpen = begDecisionOpen(game);
    if (begOpen && (action.action == ACTION_BEG || (action.action == ACTION_PLAY && action.seat == eldest)) &&
        seats_[eldest] && !mustBeg(game, eldest)) {
        d.kind = ReviewDecision::BEG;
        d.view = makeSeatView(game, eldest, true);
        d.trick = 1;
        d.choice = action.action == ACTION_BEG ? 1 : 0;
        decisions.push_back(d);
    }
    if (answer && seats_[game.dealer] && (action.action == ACTION_GIVE_ONE || action.action == ACTION_DEAL)) {
        d.view = makeSeatView(game, game.dealer, false);
        d.trick = 1;
        // One short of the target the beggars would win on a point given:
        // the dealer must run.
        if (game.seats[eldest].team->score != game.rules.target - 1) {
            d.kind = ReviewDecision::DEALER;
            d.choice = action.action == ACTION_DEAL ? 1 : 0;
            decisions.push_back(d);
        }
    }
    if (action.action == ACTION_PLAY && game.isSeat(action.seat) && action.seat == game.turn && seats_[action.seat]) {
        d.kind = ReviewDecision::CARD;
        d.view = makeSeatView(game, action.seat, false);
        d.trick = count(d.view.played[action.seat]) + 1;
        d.choice = action.card;
        if (legalMoves(d.view).size() > 1) decisions.push_back(d);
    }
}

ReviewGrade gradeOf(double lossPoints)
{
    if (lossPoints >= 20) return ReviewGrade::BLUNDER;
    if (lossPoints >= 10) return ReviewGrade::MISTAKE;
    if (lossPoints >= 5) return ReviewGrade::INACCURACY;
    return ReviewGrade::GOOD;
}

const char* gradeName(ReviewGrade grade)
{
    switch (grade) {
    case ReviewGrade::BLUNDER: return "blunder";
    case ReviewGrade::MISTAKE: return "mistake";
    case ReviewGrade::INACCURACY: return "inaccuracy";
    default: return "";
    }
}

std::string choiceText(ReviewDecision::Kind kind, int choice)
{
    switch (kind) {
    case ReviewDecision::BEG: return choice ? "beg" : "stand";
    case ReviewDecision::DEALER: return choice ? "run" : "give";
    default: return cardToken(choice);
    }
}

ReviewedDecision GameReviewer::review(const ReviewDecision& decision) const
{
    ReviewedDecision result;
    result.decision = decision;
    const SeatView& view = decision.view;
    std::vector<int> choices{0, 1};
    std::vector<double> worth;
    if (decision.kind == ReviewDecision::CARD) {
        choices = legalMoves(view);
        worth = search_.cardWorths(view, choices);
    } else {
        const ExpertSearch::BegWorths b = search_.begWorths(view);
        if (decision.kind == ReviewDecision::BEG) {
            // The dealer answers a beg as suits the dealer best, but one
            // short of the target the beggars would win on a point given.
            const bool dealerMustRun = view.scores[view.team()] == view.rules.target - 1;
            worth = {b.stand, dealerMustRun ? b.run : std::min(b.give, b.run)};
        } else {
            worth = {b.give, b.run};
        }
    }
    // The choice made stands as the best unless another is worth more.
    size_t chosen = 0;
    for (size_t m = 0; m < choices.size(); ++m)
        if (choices[m] == decision.choice) chosen = m;
    size_t best = chosen;
    for (size_t m = 0; m < choices.size(); ++m)
        if (worth[m] > worth[best] + 1e-9) best = m;
    result.bestChoice = choices[best];
    result.best = worth[best];
    result.chosen = worth[chosen];
    return result;
}

std::vector<ReviewedDecision> GameReviewer::reviewAll(const std::vector<ReviewDecision>& decisions,
                                                      const std::function<void(size_t, size_t)>& progress) const
{
    std::vector<ReviewedDecision> results;
    for (const ReviewDecision& d : decisions) {
        if (cancel_ && cancel_->load()) break;
        results.push_back(review(d));
        if (progress) progress(results.size(), decisions.size());
    }
    return results;
}
