#include "players/expert_search.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "engine/deal.h"
#include "players/round_model.h"

namespace {

// Horizons tried in turn, in tricks: the whole round, then fewer tricks
// while a sample's search runs over its budget.
constexpr int DEPTHS[] = {99, 4, 3, 2, 1};
constexpr int TABLE_BITS = 16;
// Attempts at a deal that honours the suits seats showed they lack, before
// those are ignored (a player who reneged may still hold such a suit).
constexpr int VOID_ATTEMPTS = 24;
constexpr int DEAL_ATTEMPTS = 32;

uint64_t splitmix(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

uint64_t mix(uint64_t h, uint64_t v) { return splitmix(h ^ splitmix(v)); }

// The Expert's own generator: the shuffle's rand() is never touched.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next() { return splitmix(state_++); }
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }

private:
    uint64_t state_;
};

int highest(CardSet s) { return 63 - __builtin_clzll(s); }
int lowest(CardSet s) { return __builtin_ctzll(s); }
int count(CardSet s) { return __builtin_popcountll(s); }
int rankOf(int card) { return card % 13 + 2; }

uint64_t viewSeed(const SeatView& v, uint64_t seed)
{
    uint64_t h = mix(seed, static_cast<uint64_t>(v.seat * 16 + v.turn));
    h = mix(h, v.hand);
    h = mix(h, v.kicked);
    for (CardSet p : v.played) h = mix(h, p);
    for (int t = 0; t < 2; ++t) h = mix(h, static_cast<uint64_t>(v.scores[t] + 64) << (8 * t));
    return mix(h, static_cast<uint64_t>(v.dealer * 2 + (v.begOpen ? 1 : 0)));
}

CardSet pickRandom(CardSet from, int n, Rng& rng)
{
    int cards[CARD_COUNT];
    int size = 0;
    for (CardSet s = from; s; s &= s - 1) cards[size++] = lowest(s);
    CardSet picked = 0;
    for (int i = 0; i < n; ++i) {
        const int j = i + rng.below(size - i);
        std::swap(cards[i], cards[j]);
        picked |= cardBit(cards[i]);
    }
    return picked;
}

struct Deal {
    std::array<CardSet, 4> hands{{0, 0, 0, 0}};
    CardSet deck = 0;
};

CardSet unseenCards(const SeatView& v)
{
    CardSet pool = ALL_CARDS & ~v.hand & ~v.kicked;
    for (CardSet p : v.played) pool &= ~p;
    return pool;
}

// A deal of the unseen cards that fits what the view shows: the hand sizes
// and the suits seats have shown they lack.
bool sampleDeal(const SeatView& v, Rng& rng, Deal& deal)
{
    const CardSet pool = unseenCards(v);
    if (v.allHandsKnown) {
        deal.hands = v.hands;
        deal.deck = pool & ~(v.hands[0] | v.hands[1] | v.hands[2] | v.hands[3]);
        return true;
    }
    int order[4];
    int seats = 0;
    for (int s = 0; s < 4; ++s)
        if (s != v.seat && v.handSizes[s] > 0) order[seats++] = s;
    // The most constrained seats choose first.
    for (int i = 1; i < seats; ++i)
        for (int j = i; j > 0 && count(v.voids[order[j]]) > count(v.voids[order[j - 1]]); --j)
            std::swap(order[j], order[j - 1]);
    for (int attempt = 0; attempt < DEAL_ATTEMPTS; ++attempt) {
        CardSet left = pool;
        deal.hands = {{0, 0, 0, 0}};
        deal.hands[v.seat] = v.hand;
        bool fits = true;
        for (int i = 0; i < seats && fits; ++i) {
            const int s = order[i];
            CardSet allowed = left;
            if (attempt < VOID_ATTEMPTS)
                for (int suit = 0; suit < 4; ++suit)
                    if (v.voids[s] & (1u << suit)) allowed &= ~suitCards(suit);
            if (count(allowed) < v.handSizes[s]) {
                fits = false;
                break;
            }
            deal.hands[s] = pickRandom(allowed, v.handSizes[s], rng);
            left &= ~deal.hands[s];
        }
        if (fits) {
            deal.deck = left;
            return true;
        }
    }
    return false;
}

// How likely a hand was to stand, or as the dealer's to give one rather
// than run the pack, by a plain rule of thumb: the more trumps, and the
// higher, the likelier. Mixed with an even chance, so that a player who
// judges otherwise never makes a deal impossible.
double keepsTrumpLikelihood(CardSet hand, int trump)
{
    constexpr double EVEN_SHARE = 0.3;
    const CardSet trumps = hand & suitCards(trump);
    const CardSet high = trumps & (SUIT_MASK << (13 * trump + 8));  // ten and up
    const double strength = count(trumps) + count(high);
    const double keen = 1.0 / (1.0 + std::exp(-1.5 * (strength - 2.5)));
    return EVEN_SHARE * 0.5 + (1 - EVEN_SHARE) * keen;
}

// How well a sampled deal explains what everyone saw of the beg: the eldest
// stood, or begged, and the dealer gave one. The hands then held are the
// ones now held and the cards played since. A pack that was run dealt new
// cards, so nothing is read from a beg answered that way.
double dealWeight(const SeatView& v, const Deal& deal)
{
    if (v.kicked != cardBit(v.trumpCard)) return 1.0;
    const int trump = v.trumpSuit();
    const int eldest = v.nextSeat[v.dealer];
    auto heldAtBeg = [&](int s) { return deal.hands[s] | v.played[s]; };
    double weight = 1.0;
    const bool begged = v.gaveOne || v.turn == TURN_BEGGING;
    const bool stood = !begged && v.played[eldest] != 0;
    if (eldest != v.seat && (begged || stood)) {
        const double stands = keepsTrumpLikelihood(heldAtBeg(eldest), trump);
        weight *= stood ? stands : 1 - stands;
    }
    if (v.gaveOne && v.dealer != v.seat) weight *= keepsTrumpLikelihood(heldAtBeg(v.dealer), trump);
    return weight;
}

// Scores below this count as this: they are rare and far from the target.
constexpr int LOWEST_SCORE = -16;
constexpr int SCORE_SPAN = 14 - LOWEST_SCORE;

// Team 0's chance of winning from scores short of the target, before the
// next deal turns up its first card, which scores for the dealer's team and
// may end the game at once.
double worthBeforeKick(int score0, int score1, int dealerTeam, const RuleSettings& rules)
{
    using Table = std::array<float, 2 * SCORE_SPAN * SCORE_SPAN>;
    // For each target the rules offer (7, 14), without and with Tobago rules.
    static const std::array<Table, 4> tables = [] {
        std::array<Table, 4> all{};
        for (int t = 0; t < 4; ++t) {
            RuleSettings offered;
            offered.target = t < 2 ? 7 : 14;
            offered.tobagoRules = t % 2;
            for (int team = 0; team < 2; ++team)
                for (int a = 0; a < SCORE_SPAN; ++a)
                    for (int b = 0; b < SCORE_SPAN; ++b) {
                        double sum = 0;
                        for (int rank = 2; rank <= 14; ++rank) {
                            int s[2] = {a + LOWEST_SCORE, b + LOWEST_SCORE};
                            if (const KickScore* k = kickScore(offered, rank)) s[team] += k->points;
                            sum += s[team] >= offered.target ? (team == 0 ? 1.0 : 0.0)
                                                             : winChance(s[0], s[1], offered.target);
                        }
                        all[t][(team * SCORE_SPAN + a) * SCORE_SPAN + b] = static_cast<float>(sum / 13);
                    }
        }
        return all;
    }();
    const bool shortGame = rules.target == 7;
    const Table& table = tables[(shortGame ? 0 : 2) + (rules.tobagoRules ? 1 : 0)];
    const int top = (shortGame ? 7 : 14) - 1;
    const int a = std::clamp(score0, LOWEST_SCORE, top) - LOWEST_SCORE;
    const int b = std::clamp(score1, LOWEST_SCORE, top) - LOWEST_SCORE;
    return table[(dealerTeam * SCORE_SPAN + a) * SCORE_SPAN + b];
}

// Team 0's worth of scores at the end of a round or a deal: a win, a loss,
// or the chance of winning once the next dealer's team has turned a card.
double worthOfScores(const RoundModel& r, int reached, int nextDealerTeam)
{
    if (reached == 0) return 1.0;
    if (reached == 1) return 0.0;
    return worthBeforeKick(r.scores[0], r.scores[1], nextDealerTeam, r.rules);
}

// Team 0's worth of a finished round.
double leafWorth(const RoundModel& r)
{
    RoundModel scored = r;
    const int reached = scoreRound(scored);
    return worthOfScores(scored, reached, r.nextDealerTeam);
}

int currentBest(const RoundModel& r);
bool beats(int card, int best, int trump);

// The cheapest of a set of cards: fewest card points, then lowest rank.
int cheapest(CardSet cards)
{
    int best = lowest(cards);
    for (CardSet c = cards; c; c &= c - 1) {
        const int card = lowest(c);
        const int pc = cardPointsOf(cardBit(card));
        const int pb = cardPointsOf(cardBit(best));
        if (pc < pb || (pc == pb && rankOf(card) < rankOf(best))) best = card;
    }
    return best;
}

// A quick player for the tricks past the search's horizon: lead the top
// trump while holding it, else a cheap plain card; win a trick as cheaply
// as possible; give points to a partner who holds the trick; else throw
// the cheapest card.
int playoutCard(const RoundModel& r)
{
    const CardSet moves = sensibleCards(r);
    const CardSet trumps = r.trumps();
    if (r.trickLength == 0) {
        const CardSet liveTrumps = (r.hands[0] | r.hands[1] | r.hands[2] | r.hands[3]) & trumps;
        if (liveTrumps && (moves & cardBit(highest(liveTrumps)))) return highest(liveTrumps);
        return cheapest(moves & ~trumps ? moves & ~trumps : moves);
    }
    const int best = currentBest(r);
    int holder = 0;
    for (int i = 0; i < r.trickLength; ++i)
        if (r.trickCards[i] == best) holder = r.trickSeats[i];
    if (RoundModel::teamOf(holder) == RoundModel::teamOf(r.turn)) {
        int richest = cheapest(moves);
        for (CardSet c = moves & ~trumps; c; c &= c - 1)
            if (cardPointsOf(cardBit(lowest(c))) > cardPointsOf(cardBit(richest))) richest = lowest(c);
        return richest;
    }
    CardSet winners = 0;
    for (CardSet c = moves; c; c &= c - 1)
        if (beats(lowest(c), best, r.trump)) winners |= cardBit(lowest(c));
    if (winners & ~trumps) return lowest(winners & ~trumps);
    if (winners) return lowest(winners);
    return cheapest(moves);
}

// Where the search stops early, the round is played out by the quick player.
double horizonWorth(const RoundModel& r)
{
    RoundModel rest = r;
    // A model forced to another seat's turn (a beg weighed after plays) can
    // leave the seat to move empty-handed before the others: stop there.
    while (!rest.over() && rest.hands[rest.turn]) playCard(rest, playoutCard(rest));
    return leafWorth(rest);
}

// Cards of one hand that differ in nothing that can matter: neighbours in
// rank, with no live card between them, both worth no card points. Only
// the lowest of each such run is kept.
CardSet withoutTwins(CardSet moves, CardSet live)
{
    CardSet kept = moves;
    for (CardSet m = moves; m; m &= m - 1) {
        const int card = lowest(m);
        if (rankOf(card) > 9) continue;
        const CardSet below = live & suitCards(card / 13) & (cardBit(card) - 1);
        if (!below) continue;
        const int next = highest(below);
        if ((moves & cardBit(next)) && rankOf(next) <= 9) kept &= ~cardBit(card);
    }
    return kept;
}

int currentBest(const RoundModel& r)
{
    int best = 0;
    for (int i = 1; i < r.trickLength; ++i) {
        const int suit = r.trickCards[i] / 13;
        const int bestSuit = r.trickCards[best] / 13;
        if (suit == r.trump ? (bestSuit != r.trump || r.trickCards[i] > r.trickCards[best])
                            : (suit == bestSuit && r.trickCards[i] > r.trickCards[best]))
            best = i;
    }
    return r.trickCards[best];
}

bool beats(int card, int best, int trump)
{
    if (card / 13 == trump) return best / 13 != trump || card > best;
    return card / 13 == best / 13 && card > best;
}

// Moves in the order most likely to cut the search short: a lead tries high
// cards first; a follower tries the cheapest winning cards, then the rest
// from the lowest up.
int orderedMoves(const RoundModel& r, int* out)
{
    CardSet live = r.hands[0] | r.hands[1] | r.hands[2] | r.hands[3];
    for (int i = 0; i < r.trickLength; ++i) live |= cardBit(r.trickCards[i]);
    const CardSet moves = withoutTwins(sensibleCards(r), live);
    int n = 0;
    if (r.trickLength == 0) {
        for (CardSet m = moves; m; m &= ~cardBit(highest(m))) out[n++] = highest(m);
        std::stable_sort(out, out + n, [](int a, int b) { return rankOf(a) > rankOf(b); });
        return n;
    }
    const int best = currentBest(r);
    for (CardSet m = moves; m; m &= m - 1)
        if (beats(lowest(m), best, r.trump)) out[n++] = lowest(m);
    for (CardSet m = moves; m; m &= m - 1)
        if (!beats(lowest(m), best, r.trump)) out[n++] = lowest(m);
    return n;
}

// Exact alpha-beta over the round model, to a horizon in tricks, with a
// table of positions at trick boundaries. Worths are team 0's.
class Solver {
public:
    explicit Solver(const std::atomic<bool>* cancel) : table_(size_t{1} << TABLE_BITS), cancel_(cancel) {}

    // Team 0's worth of the position, searching `tricks` more tricks (the
    // one under way counts); false when the node limit ran out first.
    bool solve(const RoundModel& r, int tricks, long limit, double& worth)
    {
        limit_ = limit;
        worth = search(r, tricks, 0.0, 1.0);
        return !overLimit_;
    }
    // Nodes searched since the solver was made.
    long spent() const { return spent_ + nodes_; }
    // Forgets the table and the count, for a new deal or a new horizon.
    void restart()
    {
        ++generation_;
        spent_ += nodes_;
        nodes_ = 0;
        overLimit_ = false;
    }
    bool cancelled() const { return cancelled_; }

private:
    struct Entry {
        uint64_t key = 0;
        float lower = 0;
        float upper = 1;
        int8_t tricks = 0;
    };

    uint64_t keyOf(const RoundModel& r) const { return mix(generation_, positionKey(r)); }

    double search(const RoundModel& r, int tricks, double alpha, double beta)
    {
        if ((++nodes_ & 1023) == 0) {
            if (cancel_ && cancel_->load(std::memory_order_relaxed)) cancelled_ = true;
            if (limit_ > 0 && nodes_ > limit_) overLimit_ = true;
        }
        if (cancelled_ || overLimit_) return 0.5;
        if (r.over()) return leafWorth(r);
        Entry* entry = nullptr;
        uint64_t key = 0;
        const double alpha0 = alpha;
        const double beta0 = beta;
        if (r.trickLength == 0) {
            if (tricks <= 0) {
                // A play-out costs about a node per card left.
                nodes_ += count(r.hands[0] | r.hands[1] | r.hands[2] | r.hands[3]);
                return horizonWorth(r);
            }
            key = keyOf(r);
            entry = &table_[key & ((size_t{1} << TABLE_BITS) - 1)];
            if (entry->key == key && entry->tricks >= tricks) {
                if (entry->lower >= beta) return entry->lower;
                if (entry->upper <= alpha) return entry->upper;
                alpha = std::max(alpha, double(entry->lower));
                beta = std::min(beta, double(entry->upper));
                if (alpha >= beta) return entry->lower;
            }
        }
        int moves[13 * 4];
        const int n = orderedMoves(r, moves);
        const bool maximising = RoundModel::teamOf(r.turn) == 0;
        double best = maximising ? -1.0 : 2.0;
        for (int i = 0; i < n; ++i) {
            RoundModel next = r;
            playCard(next, moves[i]);
            const int left = next.trickLength == 0 ? tricks - 1 : tricks;
            const double v = search(next, left, alpha, beta);
            if (maximising) {
                best = std::max(best, v);
                alpha = std::max(alpha, v);
            } else {
                best = std::min(best, v);
                beta = std::min(beta, v);
            }
            if (alpha >= beta) break;
        }
        if (entry && !overLimit_ && !cancelled_) {
            Entry e;
            e.key = key;
            e.tricks = static_cast<int8_t>(std::min(tricks, 127));
            e.lower = best > alpha0 ? float(best) : 0.0f;
            e.upper = best < beta0 ? float(best) : 1.0f;
            *entry = e;
        }
        return best;
    }

    std::vector<Entry> table_;
    const std::atomic<bool>* cancel_;
    uint64_t generation_ = 0;
    long nodes_ = 0;
    long spent_ = 0;
    long limit_ = 0;
    bool overLimit_ = false;
    bool cancelled_ = false;
};

// Team 0's worth of each position, all searched to the same horizon: the
// full round when the budget allows, fewer tricks otherwise.
// `horizon` indexes DEPTHS: the first horizon tried, and on return the one
// that held. A decision passes it from sample to sample, which are alike in
// size, so that a search that ran over its budget is not tried again.
void solveAll(Solver& solver, const RoundModel* positions, int n, long budget, double* worths, int& horizon)
{
    constexpr int LAST = sizeof DEPTHS / sizeof DEPTHS[0] - 1;
    for (; horizon <= LAST; ++horizon) {
        solver.restart();
        bool within = true;
        for (int i = 0; i < n && within; ++i)
            within = solver.solve(positions[i], DEPTHS[horizon], horizon == LAST ? 0 : budget, worths[i]);
        if (within || solver.cancelled()) return;
    }
}

// Whether a decision takes another sampled deal: up to `least` always, then
// while it has spent fewer nodes than `nodes`, up to `most`. Small
// positions cost little, so they get more samples at no cost to the pace.
bool wantsSample(int taken, int least, int most, long spent, long nodes)
{
    return taken < least || (taken < most && spent < nodes);
}

double forTeam(double worth0, int team) { return team == 0 ? worth0 : 1.0 - worth0; }

// The moves the seat may sensibly make, after dropping cards that cannot
// differ whatever the hidden hands hold.
int rootMoves(const SeatView& v, int* out)
{
    std::array<CardSet, 4> hands{{0, 0, 0, 0}};
    hands[v.seat] = v.hand;
    RoundModel r = roundFromView(v, hands);
    r.turn = static_cast<int8_t>(v.seat);
    CardSet live = unseenCards(v) | v.hand;
    for (int i = 0; i < v.trickLength; ++i) live |= cardBit(v.trickCards[i]);
    const CardSet moves = withoutTwins(sensibleCards(r), live);
    int n = 0;
    for (CardSet m = moves; m; m &= m - 1) out[n++] = lowest(m);
    return n;
}

// Runs the pack in a sampled deal: three more cards each and a kick, again
// while the suit stays, until a new suit is turned. Returns false when the
// kicks ended the game or a re-deal follows; then `worth` is team 0's.
bool runPack(const SeatView& v, const Deal& deal, Rng& rng, RoundModel& round, double& worth)
{
    std::vector<int> deck;
    for (CardSet d = deal.deck; d; d &= d - 1) deck.push_back(lowest(d));
    for (size_t i = deck.size(); i > 1; --i) std::swap(deck[i - 1], deck[rng.below(static_cast<int>(i))]);

    std::array<CardSet, 4> hands = deal.hands;
    std::array<int16_t, 2> scores{{static_cast<int16_t>(v.scores[0]), static_cast<int16_t>(v.scores[1])}};
    const int dealerTeam = SeatView::teamOf(v.dealer);
    const int target = v.rules.target;
    int previousSuit = v.trumpSuit();
    size_t next = 0;
    auto settle = [&](int reached) {
        RoundModel r;
        r.rules = v.rules;
        r.scores = scores;
        // A deal thrown in is dealt again by the same dealer.
        worth = worthOfScores(r, reached, dealerTeam);
        return false;
    };
    for (;;) {
        for (int k = 0; k < 3; ++k)
            for (int s : {0, 2, 1, 3}) {
                if (v.handSizes[s] == 0) continue;
                if (next >= deck.size()) return settle(-1);
                hands[s] |= cardBit(deck[next++]);
            }
        if (next >= deck.size()) return settle(-1);
        const int kick = deck[next++];
        const KickScore* score = kickScore(v.rules, rankOf(kick));
        const int points = score ? score->points : 0;
        scores[dealerTeam] = static_cast<int16_t>(std::min(scores[dealerTeam] + points, target));
        if (scores[dealerTeam] >= target) return settle(dealerTeam);
        if (kick / 13 != previousSuit) {
            round = RoundModel();
            round.seatCount = static_cast<int8_t>(v.seatCount);
            for (int s = 0; s < 4; ++s) round.nextSeat[s] = static_cast<int8_t>(v.nextSeat[s]);
            round.trump = static_cast<int8_t>(kick / 13);
            round.turn = static_cast<int8_t>(v.nextSeat[v.dealer]);
            round.nextDealerTeam = static_cast<int8_t>(SeatView::teamOf(round.turn));
            round.hands = hands;
            round.scores = scores;
            round.rules = v.rules;
            return true;
        }
        if (count(hands[0]) > 11) return settle(-1);
        previousSuit = kick / 13;
    }
}

struct BegBranches {
    double stand = 0;  // the best card, as the eldest
    double give = 0;   // the dealer gives one
    double run = 0;    // the dealer runs the pack
};

// The worth to `team` of each answer to a beg, averaged over sampled deals;
// `eldestMoves` > 0 also weighs standing, the eldest's best lead averaged.
BegBranches weighBeg(const SeatView& v, const ExpertSettings& settings, const std::atomic<bool>* cancel, int team,
                     const int* eldestMoves, int moveCount)
{
    Rng rng(viewSeed(v, settings.seed));
    Solver solver(cancel);
    const int eldest = v.nextSeat[v.dealer];
    const int beggars = SeatView::teamOf(eldest);
    std::array<double, CARD_COUNT> stand{};
    std::array<double, CARD_COUNT> give{};
    double giveRoot = 0;
    BegBranches b;
    double weights = 0;
    int standHorizon = 0, giveHorizon = 0, runHorizon = 0;
    for (int i = 0; wantsSample(i, settings.begSamples, settings.maxBegSamples, solver.spent(), settings.decisionNodes);
         ++i) {
        Deal deal;
        if (!sampleDeal(v, rng, deal)) continue;
        const double weight = dealWeight(v, deal);
        weights += weight;
        RoundModel r = roundFromView(v, deal.hands);
        r.turn = static_cast<int8_t>(eldest);
        RoundModel given = r;
        given.scores[beggars] = static_cast<int16_t>(given.scores[beggars] + 1);
        const bool giveWins = given.scores[beggars] >= v.rules.target;
        if (moveCount > 0) {
            RoundModel positions[2 * CARD_COUNT];
            for (int m = 0; m < moveCount; ++m) {
                positions[m] = r;
                playCard(positions[m], eldestMoves[m]);
                positions[moveCount + m] = given;
                playCard(positions[moveCount + m], eldestMoves[m]);
            }
            double worths[2 * CARD_COUNT];
            solveAll(solver, positions, giveWins ? moveCount : 2 * moveCount, settings.nodeBudget, worths, standHorizon);
            for (int m = 0; m < moveCount; ++m) {
                stand[m] += weight * forTeam(worths[m], team);
                give[m] += weight * (giveWins ? forTeam(beggars == 0 ? 1.0 : 0.0, team)
                                              : forTeam(worths[moveCount + m], team));
            }
        } else {
            double worth = beggars == 0 ? 1.0 : 0.0;
            if (!giveWins) solveAll(solver, &given, 1, settings.nodeBudget, &worth, giveHorizon);
            giveRoot += weight * forTeam(worth, team);
        }
        RoundModel ran;
        double worth = 0;
        if (runPack(v, deal, rng, ran, worth)) solveAll(solver, &ran, 1, settings.nodeBudget, &worth, runHorizon);
        b.run += weight * forTeam(worth, team);
        if (solver.cancelled()) break;
    }
    if (weights == 0) weights = 1;
    b.run /= weights;
    if (moveCount > 0) {
        b.stand = *std::max_element(stand.begin(), stand.begin() + moveCount) / weights;
        b.give = *std::max_element(give.begin(), give.begin() + moveCount) / weights;
    } else {
        b.give = giveRoot / weights;
    }
    return b;
}

}  // namespace

bool cardIsForced(const SeatView& v)
{
    int moves[CARD_COUNT];
    return rootMoves(v, moves) <= 1;
}

bool begIsForced(const SeatView& v) { return v.rules.forceBeg && !(v.hand & suitCards(v.trumpSuit())); }

bool runIsForced(const SeatView& v) { return v.scores[1 - v.team()] == v.rules.target - 1; }

uint64_t positionKey(const RoundModel& r)
{
    uint64_t h = 0;
    for (CardSet hand : r.hands) h = mix(h, hand);
    h = mix(h, r.playedBy[0]);
    const uint64_t small = static_cast<uint64_t>(r.turn) | static_cast<uint64_t>(r.cardPoints[0]) << 4 |
                           static_cast<uint64_t>(r.jackPoints[0]) << 12 | static_cast<uint64_t>(r.jackPoints[1]) << 16 |
                           static_cast<uint64_t>(r.scores[0] + 64) << 24 | static_cast<uint64_t>(r.scores[1] + 64) << 32;
    return mix(h, small);
}

double winChance(int score0, int score1, int target)
{
    const double to0 = std::max(1, target - score0);
    const double to1 = std::max(1, target - score1);
    // A race: each round brings each team about two points, give or take.
    return 1.0 / (1.0 + std::exp(-1.5 * (to1 - to0) / std::sqrt(to0 + to1)));
}

double ExpertSearch::weighMoves(const SeatView& v, const int* moves, int n, double* total) const
{
    double weights = 0;
    Rng rng(viewSeed(v, settings_.seed));
    Solver solver(cancel_);
    int horizon = 0;
    for (int i = 0; v.allHandsKnown ? i < 1 : wantsSample(i, settings_.samples, settings_.maxSamples, solver.spent(),
                                                          settings_.decisionNodes);
         ++i) {
        Deal deal;
        if (!sampleDeal(v, rng, deal)) continue;
        const RoundModel r = roundFromView(v, deal.hands);
        RoundModel positions[CARD_COUNT];
        for (int m = 0; m < n; ++m) {
            positions[m] = r;
            positions[m].turn = static_cast<int8_t>(v.seat);
            playCard(positions[m], moves[m]);
        }
        double worths[CARD_COUNT];
        solveAll(solver, positions, n, settings_.nodeBudget, worths, horizon);
        const double weight = dealWeight(v, deal);
        weights += weight;
        for (int m = 0; m < n; ++m) total[m] += weight * forTeam(worths[m], v.team());
        if (solver.cancelled()) break;
    }
    return weights;
}

int ExpertSearch::chooseCard(const SeatView& v) const
{
    int moves[CARD_COUNT];
    const int n = rootMoves(v, moves);
    if (n <= 1) return n == 1 ? moves[0] : (v.hand ? lowest(v.hand) : NO_CARD);
    std::array<double, CARD_COUNT> total{};
    weighMoves(v, moves, n, total.data());
    int best = 0;
    for (int m = 1; m < n; ++m)
        if (total[m] > total[best] + 1e-9) best = m;
    return moves[best];
}

std::vector<double> ExpertSearch::cardWorths(const SeatView& v, const std::vector<int>& cards) const
{
    const int n = static_cast<int>(std::min<size_t>(cards.size(), CARD_COUNT));
    std::array<double, CARD_COUNT> total{};
    const double weights = weighMoves(v, cards.data(), n, total.data());
    std::vector<double> worths(cards.size(), 0);
    for (int m = 0; m < n; ++m) worths[m] = weights > 0 ? total[m] / weights : 0;
    return worths;
}

bool ExpertSearch::begs(const SeatView& v) const
{
    if (begIsForced(v)) return true;
    int moves[CARD_COUNT];
    const int n = rootMoves(v, moves);
    const BegBranches b = weighBeg(v, settings_, cancel_, v.team(), moves, n);
    const bool dealerMustRun = v.scores[v.team()] == v.rules.target - 1;
    // The dealer answers as suits the dealer best.
    const double begged = dealerMustRun ? b.run : std::min(b.give, b.run);
    return begged > b.stand;
}

bool ExpertSearch::runsPack(const SeatView& v) const
{
    if (runIsForced(v)) return true;
    const BegBranches b = weighBeg(v, settings_, cancel_, v.team(), nullptr, 0);
    return b.run > b.give;
}

ExpertSearch::BegWorths ExpertSearch::begWorths(const SeatView& v) const
{
    int moves[CARD_COUNT];
    const bool eldest = v.begOpen && v.seat == v.nextSeat[v.dealer];
    const int n = eldest ? rootMoves(v, moves) : 0;
    const BegBranches b = weighBeg(v, settings_, cancel_, v.team(), moves, n);
    return {b.stand, b.give, b.run};
}
