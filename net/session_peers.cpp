// What the processes of a seated network game tell each other besides the
// game actions: a digest of the game after every round, so that copies that
// no longer agree stop instead of playing on with different games, and
// lines of chat.
#include <algorithm>

#include "engine/digest.h"
#include "engine/table.h"
#include "net/chat.h"
#include "net/session.h"

namespace {

// Digests of peers a round ahead wait for ours: one from each peer at most,
// and a bound on what a peer can make us keep.
constexpr size_t EARLY_DIGESTS_MAX = 8;

bool networkMode(const GameState& game) { return game.sessionMode == MODE_JOINED || game.sessionMode == MODE_HOSTING; }

}  // namespace

std::string listOfNames(const std::vector<std::string>& names)
{
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

std::vector<int> Session::peerSlots() const
{
    std::vector<int> slots;
    if (!networkMode(game_)) return slots;
    for (const Seat& seat : game_.seats) {
        const int slot = seat.connection;
        if (!seat.inPlay() || slot == -1 || slot == self_.clientSlot || slot == self_.acceptedSlot) continue;
        if (std::find(slots.begin(), slots.end(), slot) == slots.end()) slots.push_back(slot);
    }
    return slots;
}

bool Session::isPeerSlot(int slot) const
{
    const std::vector<int> slots = peerSlots();
    return std::find(slots.begin(), slots.end(), slot) != slots.end();
}

std::vector<std::string> Session::namesOnSlot(int slot) const
{
    std::vector<std::string> names;
    for (int i = 0; i < 4; ++i) {
        const Seat& seat = game_.seats[i];
        if (!seat.inPlay() || seat.kind != REMOTE) continue;
        // A partner who plays at the same machine is reached over its
        // partner's connection.
        const int partner = PARTNER_SEAT[i];
        const bool onSlot = seat.connection == slot ||
                            (seat.connection == -1 && game_.seats[partner].inPlay() && game_.seats[partner].connection == slot);
        if (onSlot) names.push_back(seat.name);
    }
    return names;
}

void Session::roundScored(GameState&)
{
    if (!networkMode(game_)) return;
    RoundDigest mine;
    mine.digest = sharedDigest(game_);
    mine.round = ++digests_.round;
    digests_.mine = mine.digest;
    for (int slot : peerSlots()) transport_.sendDigest(slot, mine);
    const std::vector<EarlyDigest> early = std::move(digests_.early);
    digests_.early.clear();
    for (const EarlyDigest& e : early) checkDigest(e.slot, e.digest);
    endIfDiverged();
}

void Session::onDigest(int slot, const RoundDigest& digest)
{
    if (!isPeerSlot(slot)) return;
    checkDigest(slot, digest);
    endIfDiverged();
}

void Session::checkDigest(int slot, const RoundDigest& digest)
{
    // A peer's digest comes right after it scored the round, and no copy
    // can score a round before the others have scored the one before it:
    // only the round scored here last, or the next, can be compared. Any
    // other would take the place of a real one for good.
    if (!digests_.divergence.empty()) return;
    if (digest.round == digests_.round + 1) {
        if (digests_.early.size() < EARLY_DIGESTS_MAX) digests_.early.push_back(EarlyDigest{slot, digest});
        return;
    }
    if (digest.round != digests_.round || digests_.round == 0 || digests_.mine == digest.digest) return;
    const int32_t round = digest.round;
    const std::vector<std::string> names = namesOnSlot(slot);
    const std::string who = names.empty() ? std::string("another player's") : listOfNames(names) + "'s";
    digests_.divergence = "After round " + std::to_string(round) + " the game on this table and the game on " + who +
                  " table are no longer the same, so the game cannot go on.";
}

void Session::endIfDiverged()
{
    // Not in the middle of an action: the session's end pulls the cards
    // from under it. The action's own handler calls again when it is done.
    if (digests_.divergence.empty() || game_.applyingAction) return;
    const std::string why = digests_.divergence;
    digests_.divergence.clear();
    abandonSession(why);
}

bool Session::sendChat(const std::string& text)
{
    const std::vector<int> slots = peerSlots();
    const std::string line = plainText(text, CHAT_LINE_MAX);
    if (slots.empty() || !steps_.seated || line.empty()) return false;
    TextMessage message;
    message.text = line;
    message.from = plainText(game_.seats[game_.localSeat].name, MSG_NAME_MAX);
    for (int slot : slots) transport_.sendText(slot, message);
    ui_.showChatLine(message.from, message.text);
    return true;
}

void Session::onText(int slot, const TextMessage& message)
{
    if (!isPeerSlot(slot)) return;
    const std::string line = plainText(message.text, CHAT_LINE_MAX);
    if (line.empty()) return;
    // Whoever the sender claims to be, the line is from the seats its
    // connection serves; in an internet game the host forwards the others'
    // lines, and names their seats itself.
    const bool forwarded = starGame() && fromHost(slot);
    const std::string from = forwarded ? message.from : listOfNames(namesOnSlot(slot));
    ui_.showChatLine(plainText(from, MSG_NAME_MAX), line);
    forwardChat(slot, message);
}
