#include "players/game_review.h"

#include <algorithm>
#include <random>

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

// The worth to `team` of a round model that has been played out.
double worthAtEnd(RoundModel round, int team)
{
    const int reached = scoreRound(round);
    if (reached >= 0) return reached == team ? 1.0 : 0.0;
    const double chance0 = winChance(round.scores[0], round.scores[1], round.rules.target);
    return team == 0 ? chance0 : 1.0 - chance0;
}

double worthOfScores(const std::array<int16_t, 2>& scores, const RuleSettings& rules, int team)
{
    for (int t = 0; t < 2; ++t)
        if (scores[t] >= rules.target) return t == team ? 1.0 : 0.0;
    const double chance0 = winChance(scores[0], scores[1], rules.target);
    return team == 0 ? chance0 : 1.0 - chance0;
}

// A round in play with the cards each team has won, which the Expert's view
// needs and the round model keeps only as points.
struct Position {
    RoundModel round;
    std::array<CardSet, 2> won{{0, 0}};
    // Every card turned up, and the trump card, for the view.
    CardSet kicked = 0;
    int trumpCard = NO_CARD;

    void play(int card)
    {
        int8_t cards[4];
        const int length = round.trickLength;
        std::copy(round.trickCards.begin(), round.trickCards.begin() + length, cards);
        cards[length] = static_cast<int8_t>(card);
        playCard(round, card);
        if (round.trickLength == 0)
            for (int i = 0; i <= length; ++i) won[RoundModel::teamOf(round.turn)] |= cardBit(cards[i]);
    }
};

class Evaluator {
public:
    Evaluator(const ExpertSearch& search, const std::atomic<bool>* cancel, const SeatView& view, uint64_t seed)
        : search_(search), cancel_(cancel), view_(view), rng_(seed)
    {
    }

    bool cancelled() const { return cancel_ && cancel_->load(); }

    // Hands for the other seats from the cards this seat has not seen,
    // keeping the suits each has shown it holds none of; the rest is the
    // pack. False when the view cannot be dealt (a damaged view).
    bool sample(std::array<CardSet, 4>& hands, CardSet& pack)
    {
        CardSet unseen = ALL_CARDS & ~(view_.hand | view_.kicked | view_.won[0] | view_.won[1]);
        for (CardSet p : view_.played) unseen &= ~p;
        std::vector<int> cards = cardsOf(unseen);
        std::vector<int> others;
        for (int s = 0; s < 4; ++s)
            if (s != view_.seat && view_.handSizes[s] > 0) others.push_back(s);
        // The seats with the most suits ruled out choose first.
        std::sort(others.begin(), others.end(),
                  [this](int a, int b) { return count(view_.voids[a]) > count(view_.voids[b]); });
        constexpr int TRIES = 64;
        for (int attempt = 0; attempt < TRIES; ++attempt) {
            std::shuffle(cards.begin(), cards.end(), rng_);
            hands = {{0, 0, 0, 0}};
            hands[view_.seat] = view_.hand;
            CardSet left = unseen;
            bool dealt = true;
            for (int s : others) {
                int need = view_.handSizes[s];
                for (int c : cards) {
                    if (need == 0) break;
                    const bool voided = attempt < TRIES - 1 && (view_.voids[s] >> (c / 13) & 1);
                    if (!(left & cardBit(c)) || voided) continue;
                    hands[s] |= cardBit(c);
                    left &= ~cardBit(c);
                    --need;
                }
                dealt = dealt && need == 0;
            }
            if (dealt) {
                pack = left;
                return true;
            }
        }
        return false;
    }

    Position positionOf(const std::array<CardSet, 4>& hands) const
    {
        Position p;
        p.round = roundFromView(view_, hands);
        p.won = view_.won;
        p.kicked = view_.kicked;
        p.trumpCard = view_.trumpCard;
        return p;
    }

    // The round played out by the Expert seeing every hand: the worth of
    // the position under perfect play, to `team`.
    double playOut(Position p, int team) const
    {
        while (!p.round.over() && !cancelled()) {
            const int card = search_.chooseCard(viewAt(p));
            if (card == NO_CARD) break;
            p.play(card);
        }
        return worthAtEnd(p.round, team);
    }

    // The dealer runs the pack in a sampled deal: three more cards each and
    // a kick, again while the suit stays; then the round from the eldest's
    // lead. The worth to `team`.
    double runPack(std::array<CardSet, 4> hands, CardSet pack, int team)
    {
        std::vector<int> deck = cardsOf(pack);
        std::shuffle(deck.begin(), deck.end(), rng_);
        std::array<int16_t, 2> scores{{static_cast<int16_t>(view_.scores[0]), static_cast<int16_t>(view_.scores[1])}};
        const int dealerTeam = SeatView::teamOf(view_.dealer);
        const int eldest = view_.nextSeat[view_.dealer];
        CardSet kicked = view_.kicked;
        int suit = view_.trumpSuit();
        size_t next = 0;
        for (;;) {
            for (int k = 0; k < 3; ++k)
                for (int s : {0, 2, 1, 3}) {
                    if (view_.handSizes[s] == 0 && s != view_.seat) continue;
                    if (next >= deck.size()) return worthOfScores(scores, view_.rules, team);
                    hands[s] |= cardBit(deck[next++]);
                }
            if (next >= deck.size()) return worthOfScores(scores, view_.rules, team);
            const int kick = deck[next++];
            kicked |= cardBit(kick);
            const int rank = kick % 13 + 2;
            int points = rank == 11 ? 3 : rank == 14 ? 1 : 0;
            if (rank == (view_.rules.tobagoRules ? 2 : 6)) points = 2;
            scores[dealerTeam] = static_cast<int16_t>(std::min<int>(scores[dealerTeam] + points, view_.rules.target));
            if (scores[dealerTeam] >= view_.rules.target) return worthOfScores(scores, view_.rules, team);
            if (kick / 13 != suit) {
                SeatView ran = view_;
                ran.trumpCard = kick;
                ran.kicked = kicked;
                ran.scores = {scores[0], scores[1]};
                ran.turn = eldest;
                Position p;
                p.round = roundFromView(ran, hands);
                p.kicked = kicked;
                p.trumpCard = kick;
                return playOut(p, team);
            }
            // Every hand full and the suit unchanged: dealt again.
            if (count(hands[eldest]) > 11) return worthOfScores(scores, view_.rules, team);
            suit = kick / 13;
        }
    }

private:
    SeatView viewAt(const Position& p) const
    {
        SeatView v = view_;
        const RoundModel& r = p.round;
        v.seat = v.turn = r.turn;
        v.begOpen = false;
        v.allHandsKnown = true;
        v.hands = r.hands;
        v.hand = r.hands[r.turn];
        for (int s = 0; s < 4; ++s) v.handSizes[s] = static_cast<int8_t>(count(r.hands[s]));
        // Only each team's cards played matter to the round: they are put
        // under the team's first seat.
        v.played = {{r.playedBy[0], 0, r.playedBy[1], 0}};
        v.won = p.won;
        v.kicked = p.kicked;
        v.trumpCard = p.trumpCard;
        v.trickCards = r.trickCards;
        v.trickSeats = r.trickSeats;
        v.trickLength = r.trickLength;
        for (int t = 0; t < 2; ++t) {
            v.scores[t] = r.scores[t];
            v.jackPoints[t] = r.jackPoints[t];
            v.renegeCalled[t] = r.renegeCalled[t];
        }
        return v;
    }

    const ExpertSearch& search_;
    const std::atomic<bool>* cancel_;
    SeatView view_;
    std::mt19937_64 rng_;
};

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
    d.trick = game.trickCount + 1;
    d.line = line;
    const int eldest = game.nextSeat[game.dealer];
    const bool begOpen = begDecisionOpen(game);
    if (begOpen && (action.action == ACTION_BEG || (action.action == ACTION_PLAY && action.seat == eldest)) &&
        seats_[eldest] && !mustBeg(game, eldest)) {
        d.kind = ReviewDecision::BEG;
        d.view = makeSeatView(game, eldest, true);
        d.choice = action.action == ACTION_BEG ? 1 : 0;
        decisions.push_back(d);
    }
    if (answer && seats_[game.dealer] && (action.action == ACTION_GIVE_ONE || action.action == ACTION_DEAL)) {
        d.view = makeSeatView(game, game.dealer, false);
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
    const int team = view.team();
    // Each decision's own generator: its review depends on the seed and the
    // decision only.
    const uint64_t seed = settings_.seed * 0x9E3779B97F4A7C15ull + static_cast<uint64_t>(decision.line) * 1000003u +
                          static_cast<uint64_t>(decision.kind) * 97u + static_cast<uint64_t>(decision.choice + 1);
    Evaluator eval(search_, cancel_, view, seed);
    const int samples = std::max(1, decision.kind == ReviewDecision::CARD ? settings_.samples : settings_.begSamples);
    int taken = 0;

    // The worth of each choice, summed over the samples.
    std::vector<int> choices;
    std::vector<double> worth;
    if (decision.kind == ReviewDecision::CARD) {
        choices = legalMoves(view);
        worth.assign(choices.size(), 0);
        for (int i = 0; i < samples && !eval.cancelled(); ++i) {
            std::array<CardSet, 4> hands;
            CardSet pack;
            if (!eval.sample(hands, pack)) break;
            ++taken;
            for (size_t m = 0; m < choices.size(); ++m) {
                Position p = eval.positionOf(hands);
                p.round.turn = static_cast<int8_t>(view.seat);
                p.play(choices[m]);
                worth[m] += eval.playOut(p, team);
            }
        }
    } else {
        // Begging: stand (the best lead), or beg and take what the dealer
        // answers, as suits the dealer best. The dealer: give one or run.
        const int beggars = SeatView::teamOf(view.nextSeat[view.dealer]);
        const std::vector<int> leads = decision.kind == ReviewDecision::BEG ? legalMoves(view) : std::vector<int>();
        std::vector<double> stand(leads.size(), 0), give(leads.size(), 0);
        double giveRoot = 0, run = 0;
        for (int i = 0; i < samples && !eval.cancelled(); ++i) {
            std::array<CardSet, 4> hands;
            CardSet pack;
            if (!eval.sample(hands, pack)) break;
            ++taken;
            Position given = eval.positionOf(hands);
            given.round.turn = static_cast<int8_t>(view.nextSeat[view.dealer]);
            given.round.scores[beggars] = static_cast<int16_t>(given.round.scores[beggars] + 1);
            const bool giveWins = given.round.scores[beggars] >= view.rules.target;
            const double giveWorth = giveWins ? (beggars == team ? 1.0 : 0.0) : -1;
            if (leads.empty()) {
                giveRoot += giveWins ? giveWorth : eval.playOut(given, team);
            } else {
                for (size_t m = 0; m < leads.size(); ++m) {
                    Position p = eval.positionOf(hands);
                    p.round.turn = static_cast<int8_t>(view.seat);
                    p.play(leads[m]);
                    stand[m] += eval.playOut(p, team);
                    if (giveWins) {
                        give[m] += giveWorth;
                    } else {
                        Position g = given;
                        g.play(leads[m]);
                        give[m] += eval.playOut(g, team);
                    }
                }
            }
            run += eval.runPack(hands, pack, team);
        }
        const double giveValue = leads.empty() ? giveRoot : *std::max_element(give.begin(), give.end());
        if (decision.kind == ReviewDecision::BEG) {
            const bool dealerMustRun = view.scores[team] == view.rules.target - 1;
            choices = {0, 1};
            worth = {*std::max_element(stand.begin(), stand.end()), dealerMustRun ? run : std::min(giveValue, run)};
        } else {
            choices = {0, 1};
            worth = {giveValue, run};
        }
    }
    size_t best = 0, chosen = 0;
    for (size_t m = 0; m < choices.size(); ++m) {
        if (worth[m] > worth[best] + 1e-9) best = m;
        if (choices[m] == decision.choice) chosen = m;
    }
    result.bestChoice = choices.empty() ? decision.choice : choices[best];
    taken = std::max(taken, 1);
    result.best = choices.empty() ? 0 : worth[best] / taken;
    result.chosen = choices.empty() ? 0 : worth[chosen] / taken;
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
