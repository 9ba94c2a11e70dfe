// Writes the seed inputs of the reader fuzz target into the folder given:
// one valid message of each type, the cases the reader must stay in step
// through, and the opening of a game played by the rules; and, into a
// second folder when given, those of the session fuzz target: a session of
// each mode going as it should.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

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

// Sets the dealer and plays the first legal card of whoever's turn it is,
// applying each action to a model of the fuzzed game to know the hands.
Bytes gameOpening()
{
    FuzzGame model;
    Bytes out;
    auto play = [&](int seat, int card, int code) {
        appendAction(out, seat, card, code);
        GameAction a;
        a.seat = seat;
        a.card = card;
        a.action = code;
        applyAction(model.game, a);
        model.loopback.deliverAll(model.game);
    };
    play(0, NO_CARD, ACTION_SET_DEALER);
    for (int n = 0; n < 40 && model.game.isSeat(model.game.turn); ++n) {
        const int seat = model.game.turn;
        Card* card = model.game.seats[seat].hand;
        while (card && !isLegalPlay(model.game, seat, card)) card = card->next;
        if (!card) break;
        play(seat, cardIndex(card), ACTION_PLAY);
    }
    return out;
}

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

bool writeSessionSeeds(const std::string& dir)
{
    Bytes chatter;
    appendMessage(chatter, MSG_DIGEST, encodeRoundDigest(RoundDigest{1, 42}).data());
    appendMessage(chatter, MSG_TEXT, encodeTextMessage(TextMessage{"hi\tthere", "Jo"}).data());
    Bytes ready;
    appendMessage(ready, MSG_READY, nullptr);

    // A local game, and a stranger who talks to it.
    Bytes local = {0x00};
    appendSends(local, 1, joinOf("Jo", ""));
    appendSends(local, 1, chatter);
    appendSends(local, 0, gameOpening());

    // Jo on the host's team, Kit and Lee on the other; both ready, then a
    // lost wait.
    Bytes hosting = {0x01};
    appendSends(hosting, 0, joinOf("Jo", ""));
    appendSends(hosting, 1, joinOf("Kit", "Lee"));
    hosting.push_back(2 | 4);       // " On my team " for Jo
    hosting.push_back(2 | 1 << 3);  // " On other team " for Kit and Lee
    appendSends(hosting, 0, ready);
    appendSends(hosting, 1, ready);
    appendSends(hosting, 1, ready);
    appendSends(hosting, 0, chatter);
    hosting.push_back(3);

    Bytes waiting = {0x02};
    appendSends(waiting, 0, chatter);
    waiting.push_back(3);

    // Seated at seat 2; the host deals and talks.
    Bytes playing = {0x03 | 1 << 4};
    appendSends(playing, 0, gameOpening());
    appendSends(playing, 0, chatter);
    playing.push_back(3);

    bool ok = true;
    const std::pair<const char*, const Bytes*> seeds[] = {
        {"seed-local", &local}, {"seed-hosting", &hosting}, {"seed-waiting", &waiting}, {"seed-playing", &playing}};
    for (const auto& seed : seeds) {
        std::ofstream file(dir + "/" + seed.first, std::ios::binary);
        file.write(reinterpret_cast<const char*>(seed.second->data()), static_cast<std::streamsize>(seed.second->size()));
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
