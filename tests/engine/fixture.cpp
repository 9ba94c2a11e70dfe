#include "fixture.h"

#include <cstdlib>

#include "engine/tricks.h"

int indexOf(const std::string& text)
{
    const std::string rank = text.substr(0, text.size() - 1);
    const char suit = text.back();
    int r = 0;
    if (rank == "J") r = 11;
    else if (rank == "Q") r = 12;
    else if (rank == "K") r = 13;
    else if (rank == "A") r = 14;
    else r = std::atoi(rank.c_str());
    return suitNumber(suit) * 13 + (r - 2);
}

std::string nameOf(const Card* card)
{
    static const char* ranks[] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};
    return std::string(ranks[card->rank - 2]) + card->suit;
}

std::vector<std::string> names(const Card* list)
{
    std::vector<std::string> out;
    for (; list; list = list->next) out.push_back(nameOf(list));
    return out;
}

Card* cardOf(GameState& game, const std::string& text)
{
    const int index = indexOf(text);
    for (Card& c : game.cards)
        if (cardIndex(&c) == index) return &c;
    return nullptr;
}

void SimpleComputers::runComputerTurn(GameState& game)
{
    game.table->processPendingEvents();
    const bool begOpen = game.table->begEnabled();
    if (!active || !game.isSeat(game.turn) || game.seats[game.turn].kind != COMPUTER) return;
    if (begOpen && begWhenAsked) {
        sendBeg(game, game.turn);
        return;
    }
    for (Card* c = game.seats[game.turn].hand; c; c = c->next) {
        if (isLegalPlay(game, game.turn, c)) {
            sendPlay(game, game.turn, c);
            return;
        }
    }
}

GameFixture::GameFixture()
{
    std::srand(7);
    initGame(game);
    game.table = &table;
    game.outbox = &loop;
    game.computers = &computers;
    game.hooks = &hooks;
    game.hosting = true;
    game.sessionMode = MODE_LOCAL;
}

void GameFixture::seatPlayers(int seatCount, SeatKind kind)
{
    configureTable(game, seatCount);
    for (int s = 0; s < 4; ++s) {
        if (seatCount == 2 && (s == 1 || s == 3)) continue;
        setSeatName(game.seats[s], "P" + std::to_string(s));
        game.seats[s].kind = kind;
    }
    game.seats[0].connection = 0;
}

// Unlinks a card from whichever list holds it.
static void detach(GameState& game, Card* card)
{
    auto take = [card](CardList& list) {
        for (Card* c = list; c; c = c->next) {
            if (c == card) {
                list = removeCard(list, card);
                return true;
            }
        }
        return false;
    };
    if (take(game.deck) || take(game.kicked) || take(game.trick)) return;
    for (Seat& s : game.seats)
        if (take(s.hand)) return;
    for (Team& t : game.teams)
        if (take(t.pile)) return;
}

void GameFixture::stackDeck(std::initializer_list<const char*> cards)
{
    std::vector<Card*> order;
    for (const char* text : cards) {
        Card* c = cardOf(game, text);
        detach(game, c);
        order.push_back(c);
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        (*it)->next = game.deck;
        game.deck = *it;
    }
}

void GameFixture::reserveAtBottom(std::initializer_list<const char*> cards)
{
    for (const char* text : cards) {
        Card* c = cardOf(game, text);
        detach(game, c);
        if (!game.deck) {
            game.deck = c;
            continue;
        }
        lastCard(game.deck)->next = c;
    }
}

void GameFixture::giveHand(int seat, std::initializer_list<const char*> cards)
{
    for (const char* text : cards) {
        Card* c = cardOf(game, text);
        detach(game, c);
        game.seats[seat].hand = insertSorted(c, game.seats[seat].hand);
    }
}

void GameFixture::setTrump(const char* card)
{
    Card* c = cardOf(game, card);
    detach(game, c);
    c->next = game.kicked;
    game.kicked = c;
}

void GameFixture::apply(int code, int seat, int card)
{
    GameAction a;
    a.seat = seat;
    a.card = card;
    a.action = code;
    applyAction(game, a);
}
