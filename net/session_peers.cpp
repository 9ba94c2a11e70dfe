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

// Digests of peers a round ahead wait for ours; a peer can be no further
// ahead than that, so a few places are plenty and bound what a peer can
// make us keep.
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
    digests_.mine.push_back(mine.digest);
    mine.round = static_cast<int32_t>(digests_.mine.size());
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
    if (digest.round < 1 || !digests_.divergence.empty()) return;
    const auto round = static_cast<size_t>(digest.round);
    if (round > digests_.mine.size()) {
        if (digests_.early.size() < EARLY_DIGESTS_MAX) digests_.early.push_back(EarlyDigest{slot, digest});
        return;
    }
    if (digests_.mine[round - 1] == digest.digest) return;
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
    if (!line.empty()) ui_.showChatLine(plainText(message.from, MSG_NAME_MAX), line);
}
