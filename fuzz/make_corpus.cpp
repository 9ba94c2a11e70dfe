// Writes the seed inputs of the reader fuzz target into the folder given:
// one valid message of each type, the cases the reader must stay in step
// through, and the opening of a game played by the rules; and, into a
// second folder when given, those of the session fuzz target: a session of
// each mode going as it should.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "engine/digest.h"
#include "engine/tricks.h"
#include "fuzz/fuzz_game.h"
#include "net/wire.h"

namespace {

using Bytes = std::vector<uint8_t>;

void append(Bytes& out, const uint8_t* data, size_t size) { out.insert(out.end(), data, data + size); }

void appendMessage(Bytes& out, int32_t type, const uint8_t* body)
{
    const FramedMessage m = frameMessage(type, body);
    append(out, m.bytes.data(), m.size);
}

void appendAction(Bytes& out, int seat, int card, int code)
{
    GameAction a;
    a.seat = seat;
    a.card = card;
    a.action = code;
    appendMessage(out, MSG_ACTION, encodeAction(a).data());
}

void appendRaw(Bytes& out, int32_t type, uint32_t msgLen)
{
    MessageHeader h;
    h.msgType = type;
    h.msgLen = msgLen;
    const HeaderBytes head = encodeHeader(h);
    append(out, head.data(), head.size());
    out.resize(out.size() + std::min<uint32_t>(msgLen, 64), 0x41);
}

// The model's game from the dealer's choice: the first legal card of
// whoever's turn it is, for up to `plays` cards, or until the first round is
// scored when digest is given (it gets the model's digest then). Gives the
// actions the model sent, or, for a reader that deals for itself, only the
// set-dealer action and the plays.
class ModelGame : public Outbox, public GameHooks {
public:
    std::vector<GameAction> play(int plays, bool everyAction, uint64_t* digest)
    {
        everyAction_ = everyAction;
        model_.game.outbox = this;
        model_.game.hooks = this;
        act(0, nullptr, ACTION_SET_DEALER);
        for (int n = 0; n < plays && model_.game.isSeat(model_.game.turn) && !(digest && digest_); ++n) {
            const int seat = model_.game.turn;
            const Card* card = model_.game.seats[seat].hand;
            while (card && !isLegalPlay(model_.game, seat, card)) card = card->next;
            if (!card) break;
            act(seat, card, ACTION_PLAY);
        }
        if (digest) *digest = digest_.value_or(0);
        return sent_;
    }

    void sendAction(int slot, const GameAction& action) override
    {
        if (everyAction_) sent_.push_back(action);
        model_.loopback.sendAction(slot, action);
    }
    void recordGameResult(const GameState&, int) override {}
    void endSession(GameState&) override {}
    void roundScored(GameState& game) override
    {
        if (!digest_) digest_ = sharedDigest(game);
    }

private:
    void act(int seat, const Card* card, int code)
    {
        if (!everyAction_) {
            GameAction a;
            a.seat = seat;
            a.card = card ? cardIndex(card) : NO_CARD;
            a.action = code;
            sent_.push_back(a);
        }
        ::sendAction(model_.game, seat, code, card);
        model_.loopback.deliverAll(model_.game);
    }

    FuzzGame model_;
    bool everyAction_ = false;
    std::vector<GameAction> sent_;
    std::optional<uint64_t> digest_;
};

Bytes actionsOf(const std::vector<GameAction>& actions)
{
    Bytes out;
    for (const GameAction& a : actions) appendAction(out, a.seat, a.card, a.action);
    return out;
}

Bytes gameOpening() { return actionsOf(ModelGame().play(40, false, nullptr)); }

bool writeSeed(const std::string& dir, const std::string& name, const Bytes& stream)
{
    std::ofstream file(dir + "/" + name, std::ios::binary);
    const char cuts = 0;
    file.write(&cuts, 1);
    file.write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
    return static_cast<bool>(file);
}

// Session fuzz steps: a stream sent to connection 0 or 1, cut into the
// pieces of at most 64 bytes a step carries.
void appendSends(Bytes& out, int to, const Bytes& stream)
{
    for (size_t at = 0; at < stream.size(); at += 64) {
        const size_t n = std::min<size_t>(64, stream.size() - at);
        out.push_back(static_cast<uint8_t>(((n - 1) << 2) | to));
        append(out, stream.data() + at, n);
    }
}

Bytes joinOf(const char* name, const char* partner)
{
    JoinRecord join;
    join.name = name;
    join.partner = partner;
    join.players = partner[0] ? 2 : 1;
    join.addr = WireAddress{0x7F000001, 4101};
    Bytes out;
    appendMessage(out, MSG_JOIN, encodeJoinRecord(join).data());
    return out;
}

Bytes messageOf(int32_t type, const uint8_t* body)
{
    Bytes out;
    appendMessage(out, type, body);
    return out;
}

Bytes digestOf(int32_t round, uint64_t digest) { return messageOf(MSG_DIGEST, encodeRoundDigest(RoundDigest{round, digest}).data()); }

Bytes actionOf(int seat, int code)
{
    Bytes out;
    appendAction(out, seat, NO_CARD, code);
    return out;
}

// The game so far as the host sends it to a player joining again.
Bytes blocksOf(const std::vector<GameAction>& actions)
{
    Bytes out;
    for (size_t at = 0; at < actions.size() || at == 0; at += MSG_BLOCK_ACTIONS) {
        const size_t end = std::min(actions.size(), at + MSG_BLOCK_ACTIONS);
        const ActionBlock block(actions.begin() + static_cast<long>(at), actions.begin() + static_cast<long>(end));
        appendMessage(out, MSG_ACTION_BLOCK, encodeActionBlock(block).data());
    }
    return out;
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The first byte of a session seed (see session_fuzz.cpp).
enum : uint8_t {
    LOCAL = 0,
    HOSTING = 1,
    JOINED_WAITING = 2,
    JOINED_PLAYING = 3,
    HOSTING_LOST_SEAT = 4,
    SEALED_HOSTING = 5,
    SEALED_HOSTING_LOST_SEAT = 6,
    PAIR_HERE = 8,
    TWO_SEATS = 16,
    AT_SEAT_1 = 0 << 5,
    AT_SEAT_2 = 1 << 5,
    AT_SEAT_3 = 2 << 5,
    WITH_PEER = 128,
};

// Step controls.
constexpr uint8_t PERSON_PLAYS = 2;
constexpr uint8_t PERSON_BEGS = 2 | 2 << 2;
constexpr uint8_t WAIT_OVER = 3;
constexpr uint8_t CLOSE_OR_REOPEN_0 = 3 | 4;
constexpr uint8_t CLOSE_OR_REOPEN_1 = 3 | 4 | 8;
constexpr uint8_t CLOSE_OR_CALL_1 = 3 | 4 | 8 | 16;
constexpr uint8_t CLOCK_OVER = 3 | 16;

bool writeSessionSeeds(const std::string& dir)
{
    const Bytes chatter =
        digestOf(1, 42) + messageOf(MSG_TEXT, encodeTextMessage(TextMessage{"hi\tthere", "Jo"}).data());
    const Bytes ready = messageOf(MSG_READY, nullptr);
    const Bytes refused = messageOf(MSG_REJOIN_REFUSED, nullptr);
    const std::vector<GameAction> opening = ModelGame().play(12, true, nullptr);
    uint64_t digest = 0;
    const std::vector<GameAction> round = ModelGame().play(80, true, &digest);

    std::vector<std::pair<std::string, Bytes>> seeds;
    auto seed = [&](const std::string& name, uint8_t first, const std::vector<std::pair<int, Bytes>>& steps) {
        Bytes out = {first};
        for (const auto& step : steps) {
            if (step.first < 0)
                out.insert(out.end(), step.second.begin(), step.second.end());
            else
                appendSends(out, step.first, step.second);
        }
        seeds.emplace_back(name, out);
    };
    auto control = [](std::initializer_list<uint8_t> bytes) { return std::make_pair(-1, Bytes(bytes)); };

    // A local game the person plays, and a stranger who talks to it.
    seed("local", LOCAL,
         {{1, joinOf("Jo", "")},
          {1, chatter + actionOf(0, ACTION_TAKEOVER) + blocksOf(opening) + refused},
          {0, actionsOf(opening)},
          control({PERSON_BEGS, PERSON_PLAYS, PERSON_PLAYS, PERSON_PLAYS | 1 << 4, PERSON_PLAYS})});

    // Jo on the host's team, Kit and Lee on the other; all ready, the game
    // on, a lost wait.
    seed("hosting", HOSTING,
         {{0, joinOf("Jo", "")},
          {1, joinOf("Kit", "Lee")},
          control({2 | 4, 2 | 1 << 3}),
          {0, ready},
          {1, ready + ready},
          {0, chatter},
          control({WAIT_OVER, PERSON_PLAYS, PERSON_PLAYS})});

    // Kit and Lee never say they are ready.
    seed("hosting-not-ready", HOSTING,
         {{0, joinOf("Jo", "")}, {1, joinOf("Kit", "Lee")}, control({2 | 4, 2 | 1 << 3}), {0, ready},
          control({WAIT_OVER})});

    // The game under way lost Jo, who comes back: under the name, ready, and
    // the game played on so that Jo's turn comes; under another name; and
    // Kit and Lee lost and back together.
    seed("lost-seat-back", HOSTING_LOST_SEAT,
         {control({CLOSE_OR_REOPEN_0}), {0, joinOf("Jo", "") + ready},
          control({PERSON_PLAYS, PERSON_PLAYS, PERSON_PLAYS, PERSON_PLAYS}), {1, chatter}});
    seed("lost-seat-stranger", HOSTING_LOST_SEAT, {control({CLOSE_OR_REOPEN_0}), {0, joinOf("Zed", "") + ready}});
    seed("lost-seat-pair-here", HOSTING_LOST_SEAT | PAIR_HERE,
         {control({CLOSE_OR_REOPEN_0}), {0, joinOf("Jo", "") + ready}, control({PERSON_PLAYS, PERSON_PLAYS})});
    seed("lost-seat-two-seats", HOSTING_LOST_SEAT | TWO_SEATS,
         {control({CLOSE_OR_REOPEN_0}), {0, joinOf("Jo", "") + ready}, control({PERSON_PLAYS, PERSON_PLAYS})});
    seed("lost-pair-back", HOSTING_LOST_SEAT,
         {control({CLOSE_OR_REOPEN_1, CLOSE_OR_REOPEN_1}), {1, joinOf("Kit", "Lee") + ready + ready},
          control({PERSON_PLAYS, PERSON_PLAYS})});

    // Callers that say nothing, or half a header, while the host seats its
    // players; the clock runs out on them, and a joiner still gets in.
    const Bytes halfHeader(ready.begin(), ready.begin() + 6);
    seed("hosting-silent", HOSTING,
         {{0, joinOf("Jo", "")}, control({CLOSE_OR_CALL_1, CLOSE_OR_CALL_1}), {1, halfHeader}, control({CLOCK_OVER}),
          control({CLOSE_OR_CALL_1, CLOSE_OR_CALL_1, CLOCK_OVER}), {1, joinOf("Kit", "Lee")}});
    seed("lost-seat-silent-caller", HOSTING_LOST_SEAT,
         {control({CLOSE_OR_CALL_1, CLOSE_OR_CALL_1, CLOCK_OVER}), control({CLOSE_OR_REOPEN_0}),
          {0, joinOf("Jo", "") + ready}});
    // The same over sealed connections, and a stream that a stranger or the
    // relay changed.
    seed("sealed-hosting", SEALED_HOSTING,
         {{0, joinOf("Jo", "")},
          {1, joinOf("Kit", "Lee")},
          control({2 | 4, 2 | 1 << 3}),
          {0, ready},
          {1, ready + ready},
          {0, chatter},
          control({PERSON_PLAYS, PERSON_PLAYS})});
    seed("sealed-stranger", SEALED_HOSTING, {{0, Bytes{0xFF} + joinOf("Jo", "")}, {1, joinOf("Kit", "")}});
    seed("sealed-lost-seat-back", SEALED_HOSTING_LOST_SEAT,
         {control({CLOSE_OR_REOPEN_0}), {0, joinOf("Jo", "") + ready}, control({PERSON_PLAYS, PERSON_PLAYS}),
          {1, Bytes{0xFF, 0x10, 0x00, 0x01}}});

    // Waiting to be seated: the host talks, turns this player away as no
    // player who left, or sends the game before the seating.
    seed("waiting", JOINED_WAITING, {{0, chatter}, control({WAIT_OVER})});
    seed("waiting-refused", JOINED_WAITING, {{0, refused}});
    seed("waiting-block", JOINED_WAITING, {{0, blocksOf(opening) + refused}});

    // Seated at seat 2: the host deals and plays, the person plays, they
    // talk; the round's digest right, early and wrong.
    seed("playing", JOINED_PLAYING | AT_SEAT_2,
         {{0, actionsOf(opening)}, control({PERSON_PLAYS}), {0, chatter}, control({WAIT_OVER})});
    seed("playing-round", JOINED_PLAYING | AT_SEAT_2,
         {{0, actionsOf(round) + digestOf(2, 7) + digestOf(1, digest) + digestOf(0, 1)}});
    seed("playing-round-differs", JOINED_PLAYING | AT_SEAT_2, {{0, actionsOf(round) + digestOf(1, digest ^ 1)}});

    // Seats taken over and handed back: by the host, for another seat and
    // for this machine's; by a peer, which may not.
    const Bytes standIns = actionOf(1, ACTION_TAKEOVER) + actionOf(2, ACTION_TAKEOVER) + actionOf(2, ACTION_RETURN) +
                           actionOf(1, ACTION_RETURN);
    seed("playing-takeover", JOINED_PLAYING | AT_SEAT_2, {{0, actionsOf(opening) + standIns}, control({PERSON_PLAYS})});
    seed("playing-peer-below", JOINED_PLAYING | AT_SEAT_2 | WITH_PEER,
         {{0, actionsOf(opening)}, {1, standIns + chatter}, control({CLOSE_OR_REOPEN_1}), {0, standIns}});
    seed("playing-peer-above", JOINED_PLAYING | AT_SEAT_1 | WITH_PEER,
         {{0, actionsOf(opening)}, {1, standIns + chatter}, control({CLOSE_OR_REOPEN_1, PERSON_PLAYS})});

    // Joined again: the game so far in blocks, then this machine's seat
    // handed back.
    seed("playing-catch-up", JOINED_PLAYING | AT_SEAT_2 | WITH_PEER,
         {{0, blocksOf(round) + actionOf(2, ACTION_RETURN)}, {1, actionsOf(opening)}, control({PERSON_PLAYS})});
    seed("playing-catch-up-pair", JOINED_PLAYING | PAIR_HERE | AT_SEAT_3,
         {{0, blocksOf(opening) + actionOf(3, ACTION_RETURN) + actionOf(1, ACTION_RETURN)}, control({PERSON_PLAYS})});

    // Bea's program, called at seat 1, is lost and comes back: it calls us
    // after the host announced it, or before; a second caller claims the
    // seat too; and a caller the host never announced.
    SeatRecord bea;
    bea.name = "Bea";
    bea.seat = 1;
    bea.addr = WireAddress{0x7F000001, 4101};
    const Bytes announced = messageOf(MSG_SEAT_RETURNING, encodeSeatRecord(bea).data());
    const Bytes claim = messageOf(MSG_SEAT, encodeSeatRecord(bea).data());
    const Bytes lostBea = actionsOf(opening) + actionOf(1, ACTION_TAKEOVER);
    seed("playing-return-announced", JOINED_PLAYING | AT_SEAT_2 | WITH_PEER,
         {{0, lostBea}, control({CLOSE_OR_CALL_1}), {0, announced}, control({CLOSE_OR_CALL_1}), {1, claim},
          {0, actionOf(1, ACTION_RETURN)}, control({PERSON_PLAYS})});
    seed("playing-return-claimed-first", JOINED_PLAYING | AT_SEAT_2 | WITH_PEER,
         {{0, lostBea}, control({CLOSE_OR_CALL_1, CLOSE_OR_CALL_1}), {1, claim}, {0, announced},
          control({CLOSE_OR_CALL_1, CLOSE_OR_CALL_1}), {1, claim}, {0, actionOf(1, ACTION_RETURN)}});
    seed("playing-return-unannounced", JOINED_PLAYING | AT_SEAT_2 | WITH_PEER,
         {{0, lostBea}, control({CLOSE_OR_CALL_1, CLOSE_OR_CALL_1}), {1, claim}, {0, actionOf(1, ACTION_RETURN)},
          control({CLOCK_OVER})});

    bool ok = true;
    for (const auto& s : seeds) {
        std::ofstream file(dir + "/seed-" + s.first, std::ios::binary);
        file.write(reinterpret_cast<const char*>(s.second.data()), static_cast<std::streamsize>(s.second.size()));
        ok = ok && static_cast<bool>(file);
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <reader corpus folder> [<session corpus folder>]\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];

    Seating seating;
    const char* names[4] = {"Host", "", "Ann", "Bob"};
    for (int i = 0; i < 4; ++i) {
        seating[i].name = names[i];
        seating[i].seat = i;
        seating[i].team = i / 2;
    }
    seating[2].addr = WireAddress{0x7F000001, 4101};
    JoinRecord join;
    join.name = "Ann";
    join.partner = "Bob";
    join.players = 2;
    join.addr = WireAddress{0x7F000001, 4101};
    SeatRecord seat;
    seat.seat = 3;

    Bytes session;
    appendMessage(session, MSG_JOIN, encodeJoinRecord(join).data());
    appendMessage(session, MSG_SEATING, encodeSeating(seating).data());
    appendMessage(session, MSG_SEAT, encodeSeatRecord(seat).data());
    appendMessage(session, MSG_RULES, encodeRules(RuleSettings{}).data());
    appendMessage(session, MSG_READY, nullptr);
    appendMessage(session, MSG_TEXT, encodeTextMessage(TextMessage{"hello", "Ann"}).data());
    appendMessage(session, MSG_DIGEST, encodeRoundDigest(RoundDigest{1, 42}).data());
    appendMessage(session, MSG_ACTION_BLOCK, encodeActionBlock(ActionBlock(3, GameAction{})).data());
    appendMessage(session, MSG_REJOIN_REFUSED, nullptr);
    appendAction(session, 1, NO_CARD, ACTION_TAKEOVER);
    appendAction(session, 1, NO_CARD, ACTION_RETURN);

    Bytes odd;
    appendRaw(odd, 5, 20);
    appendRaw(odd, MSG_ACTION, 0);
    appendRaw(odd, MSG_SEATING, 100);
    Bytes badSignature(MSG_HEADER_SIZE, 0xA5);
    append(odd, badSignature.data(), badSignature.size());
    appendAction(odd, 0, NO_CARD, ACTION_SET_DEALER);
    appendRaw(odd, MSG_RULES, 5000);

    bool ok = writeSeed(dir, "seed-session", session);
    ok = writeSeed(dir, "seed-odd", odd) && ok;
    ok = writeSeed(dir, "seed-opening", gameOpening()) && ok;
    if (argc == 3) ok = writeSessionSeeds(argv[2]) && ok;
    return ok ? 0 : 1;
}
