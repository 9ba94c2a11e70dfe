// Hosting and joining a network game, and the session messages.
#include <algorithm>
#include <cstdio>
#include <iterator>

#include "engine/deal.h"
#include "engine/table.h"
#include "net/session.h"

namespace {

constexpr int SEATING_TO_RULES_PAUSE_MS = 500;
constexpr int SECOND_READY_PAUSE_MS = 100;

std::string cutName(const std::string& name) { return name.substr(0, MSG_NAME_MAX); }

}  // namespace

void Session::abandonSession(const std::string& why)
{
    // Back into the pack while the seats still hold them: the next game
    // deals from a whole pack, as every other copy does.
    gatherCards(game_);
    for (Seat& seat : game_.seats) clearSeatName(seat);
    leaveSession();
    resetGame(game_);
    game_.sessionMode = MODE_SETUP;
    // Only now: the box runs an event loop of its own, and what it reads
    // (the host's close after its last word, say) finds no session left to
    // end a second time.
    game_.table->showError("Network error", why);
    ui_.scheduleSetupDialog();
}

bool Session::hostNetworkGame()
{
    if (game_.turn != TURN_IDLE) return false;
    game_.sessionMode = MODE_HOSTING;
    game_.hosting = true;
    // The rules chosen for the next game are the ones sent to the joiners.
    game_.rules = game_.pendingRules;
    resetSeating(game_);
    configureTable(game_, game_.seatCount);
    ui_.relayoutTable();
    // Joiners always call the port asked for: a listener that found it
    // taken at start-up takes it now if it has come free.
    transport_.listenWhereAsked();
    game_.seats[0].connection = connectToSelf();
    if (game_.seats[0].connection == -1) {
        abandonSession("Could not connect to this program's own port, so no game can be hosted.");
        return false;
    }
    setup_.seatedCount = game_.localPlayers;
    setup_.readyCount = game_.localPlayers;
    // Joiners that came before: the host's own players have their names now.
    for (int slot = 0; slot < NET_CONNECTION_COUNT; ++slot)
        if (joiners_[slot] && transport_.isOpen(slot) && nameTaken(slot)) refuseTakenName(slot);
    setup_.addingPlayers = true;
    const bool filled = ui_.runAddPlayers();
    setup_.addingPlayers = false;
    if (!filled) {
        // Closed before every seat was taken: the joiners seated so far
        // would wait for ever, so the session ends here.
        for (Seat& seat : game_.seats) clearSeatName(seat);
        leaveSession();
        resetGame(game_);
        game_.sessionMode = MODE_SETUP;
        ui_.scheduleSetupDialog();
        return false;
    }
    sendSeatingAndRules();
    return true;
}

std::string Session::reachNote() const
{
    if (transport_.listenPort() == transport_.askedPort()) return std::string();
    return "Joiners cannot reach this machine while another program holds port " +
           std::to_string(transport_.askedPort()) + ".";
}

bool Session::isListableJoiner(int slot) const
{
    if (slot < 0 || slot >= NET_CONNECTION_COUNT || !joiners_[slot] || !transport_.isOpen(slot)) return false;
    if (slot == self_.clientSlot || slot == self_.acceptedSlot) return false;
    for (const Seat& seat : game_.seats)
        if (seat.inPlay() && seat.connection == slot) return false;
    return true;
}

std::string Session::joinerText(int slot) const
{
    const auto& join = transport_.joinInfo(slot);
    if (!join) return std::string();
    const std::string where = transport_.isSealed(slot) ? " (internet)" : "";
    if (!join->partner) return join->name + where;
    char text[132];
    std::snprintf(text, sizeof text, "%s & %s", join->name.c_str(), join->partner->c_str());
    return text + where;
}

void Session::seatJoiner(int seat, int slot, const std::string& name)
{
    setSeatName(game_.seats[seat], name);
    game_.seats[seat].connection = slot;
    game_.seats[seat].kind = REMOTE;
}

SeatingResult Session::addTeamPlayer(int slot)
{
    if (!setup_.addingPlayers || !isListableJoiner(slot) || game_.seatCount != 4 || game_.seats[1].inPlay())
        return NOT_A_JOINER;
    const JoinInfo& join = *transport_.joinInfo(slot);
    if (join.players == 2) return TEAM_FULL;
    seatJoiner(1, slot, join.name);
    setup_.seatedCount += 1;
    ui_.unlistJoiner(slot);
    return setup_.seatedCount == game_.seatCount ? SEATS_FULL : SEATED;
}

SeatingResult Session::addOtherPlayer(int slot)
{
    if (!setup_.addingPlayers || !isListableJoiner(slot)) return NOT_A_JOINER;
    const JoinInfo& join = *transport_.joinInfo(slot);
    const bool pair = join.players == 2;
    if (!game_.seats[2].inPlay()) {
        // Two seats have only one opponent's place to fill.
        if (pair && game_.seatCount == 2) return OTHER_TEAM_FULL;
        seatJoiner(2, slot, join.name);
        setup_.seatedCount += 1;
        if (pair) {
            seatJoiner(3, -1, join.partner.value_or(std::string()));
            setup_.seatedCount += 1;
        }
    } else {
        if (pair) return OTHER_TEAM_FULL;
        if (game_.seatCount != 4 || game_.seats[3].inPlay()) return NOT_A_JOINER;
        seatJoiner(3, slot, join.name);
        setup_.seatedCount += 1;
    }
    ui_.unlistJoiner(slot);
    return setup_.seatedCount == game_.seatCount ? SEATS_FULL : SEATED;
}

SeatingResult Session::addComputer(bool hostTeam)
{
    if (!setup_.addingPlayers) return NOT_A_JOINER;
    const int first = hostTeam ? 0 : 2;
    int seat = -1;
    for (int i = first; i < first + 2 && seat == -1; ++i)
        if (!game_.seats[i].inPlay() && (game_.seatCount == 4 || i % 2 == 0)) seat = i;
    if (seat == -1) return NO_FREE_SEAT;
    seatComputer(seat);
    setup_.seatedCount += 1;
    // It is ready as soon as it sits: this process plays it.
    setup_.readyCount += 1;
    return setup_.seatedCount == game_.seatCount ? SEATS_FULL : SEATED;
}

Seating Session::buildSeating() const
{
    Seating seating;
    for (int i = 0; i < 4; ++i) {
        const Seat& seat = game_.seats[i];
        SeatRecord& record = seating[i];
        record.name = seat.inPlay() ? cutName(seat.name) : std::string();
        record.seat = i;
        record.team = i / 2;
        if (i > 0 && seat.inPlay() && seat.connection != -1) {
            if (const auto& join = transport_.joinInfo(seat.connection)) record.addr = join->addr;
        }
    }
    return seating;
}

void Session::sendSeatingAndRules()
{
    // The joiners left over would wait for a seat for ever: the close
    // sends them back to their setup.
    for (int slot = 0; slot < NET_CONNECTION_COUNT; ++slot)
        if (isListableJoiner(slot)) transport_.closeConnection(slot);
    for (int i = 1; i < 4; ++i)
        if (game_.seats[i].inPlay() && game_.seats[i].connection != -1)
            transport_.sendSeating(game_.seats[i].connection, seatingFor(game_.seats[i].connection));
    steps_.seated = true;
    if (starGame()) game_.actionRoute = self_.clientSlot;
    game_.table->pauseDisplay(SEATING_TO_RULES_PAUSE_MS);
    for (int i = 1; i < 4; ++i)
        if (game_.seats[i].inPlay() && game_.seats[i].connection != -1)
            transport_.sendRules(game_.seats[i].connection, game_.rules);
    steps_.rulesKnown = true;
    game_.table->showBegButton(true);
    game_.table->setBegEnabled(false);
    game_.table->drawTable(true);
    ui_.setChatOpen(true);
    startWait(WAIT_READY, waits_.ready);
    startWhenAllReady();
}

void Session::startWhenAllReady()
{
    // Readies that came in before the rules went out are counted already;
    // the dealer is chosen only once the rules are on their way.
    if (game_.sessionMode != MODE_HOSTING || !steps_.rulesKnown || setup_.readyCount != game_.seatCount) return;
    setup_.readyCount = -1;  // the game starts once
    stopWait();
    game_.turn = TURN_DEALING;
    chooseDealer(game_);
}

bool Session::joinNetworkGame(const std::string& host, uint16_t port, std::function<void(bool)> connected)
{
    if (!game_.seats[0].inPlay() || game_.turn != TURN_IDLE || connectingToHost()) return false;
    const auto addr = resolveHost(host, port);
    if (!addr) return false;
    const int connect = transport_.startConnect(*addr, [this, host](int socket) { onHostConnected(host, socket); });
    if (connect == -1) return false;
    enterJoinedMode();
    joinedTo_.connects[0] = connect;
    joinedTo_.hostConnected = std::move(connected);
    ui_.showStatus("Connecting to " + host + "...");
    return true;
}

void Session::enterJoinedMode()
{
    game_.sessionMode = MODE_JOINED;
    game_.turn = TURN_IDLE;
    game_.hosting = false;
    resetSeating(game_);
}

void Session::cancelJoin()
{
    if (!connectingToHost()) return;
    leaveSession();
    game_.sessionMode = MODE_SETUP;
}

void Session::onHostConnected(const std::string& host, int socket)
{
    joinedTo_.connects[0] = -1;
    const std::function<void(bool)> connected = std::move(joinedTo_.hostConnected);
    joinedTo_.hostConnected = nullptr;
    if (!announceJoin(transport_.allocConnection(socket), host)) {
        // Nothing was sent: the person may try another address.
        leaveSession();
        game_.sessionMode = MODE_SETUP;
        if (connected) connected(false);
        return;
    }
    if (connected) connected(true);
}

bool Session::announceJoin(int slot, const std::string& host)
{
    joinedTo_.hostSlot = slot;
    if (joinedTo_.hostSlot == -1) return false;
    const auto local = transport_.localAddress(joinedTo_.hostSlot);
    JoinRecord record;
    record.name = cutName(game_.seats[0].name);
    if (game_.localPlayers == 2) record.partner = cutName(game_.seats[1].name);
    record.players = game_.localPlayers;
    record.addr.ipv4 = local ? local->ipv4 : 0;
    record.addr.port = transport_.listenPort();
    joinedTo_.ownAddr = record.addr;
    game_.seats[0].connection = joinedTo_.hostSlot;
    transport_.sendJoin(joinedTo_.hostSlot, record);
    ui_.showStatus("Waiting for the host at " + host + " to seat you...");
    return true;
}

void Session::onJoin(int slot, const JoinRecord&)
{
    if (slot == self_.clientSlot || slot == self_.acceptedSlot) return;
    if (hostGameStarted()) {
        offerSeatBack(slot);
        return;
    }
    // A joiner may come before the host opens Add Players: it is listed
    // when the dialog opens.
    const bool hostingLater = game_.sessionMode == MODE_SETUP || game_.sessionMode == MODE_LOCAL;
    if (game_.sessionMode == MODE_HOSTING && steps_.seated) {
        // Every seat is taken and the game about to start.
        transport_.closeConnection(slot);
        return;
    }
    if (!hostingLater && game_.sessionMode != MODE_HOSTING) return;
    const auto& join = transport_.joinInfo(slot);
    if (!join || (join->players != 1 && join->players != 2)) return;
    if (nameTaken(slot)) {
        refuseTakenName(slot);
        return;
    }
    joiners_[slot] = true;
    if (setup_.addingPlayers && isListableJoiner(slot)) ui_.listJoiner(slot);
}

bool Session::nameTaken(int slot) const
{
    const auto& join = transport_.joinInfo(slot);
    std::vector<std::string> names{join->name};
    if (join->partner) names.push_back(*join->partner);
    if (names.size() == 2 && names[0] == names[1]) return true;
    const auto taken = [&names](const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    // Before a hosted session the seats hold whatever the last game left.
    if (game_.sessionMode == MODE_HOSTING)
        for (const Seat& seat : game_.seats)
            if (seat.inPlay() && taken(seat.name)) return true;
    for (int other = 0; other < NET_CONNECTION_COUNT; ++other) {
        const auto& listed = transport_.joinInfo(other);
        if (other == slot || !joiners_[other] || !transport_.isOpen(other) || !listed) continue;
        if (taken(listed->name) || (listed->partner && taken(*listed->partner))) return true;
    }
    return false;
}

void Session::refuseTakenName(int slot)
{
    transport_.sendNameTaken(slot);
    transport_.closeConnection(slot);
}

void Session::onNameTaken(int slot)
{
    if (!fromHost(slot) || steps_.seated) return;
    std::vector<std::string> names{game_.seats[0].name};
    if (game_.localPlayers == 2 && game_.seats[1].name != names[0]) names.push_back(game_.seats[1].name);
    const std::string called = names.size() == 1 ? names[0] : names[0] + " or " + names[1];
    abandonSession("The host's game already has a player called " + called +
                   ". Join again under another name.");
}

void Session::onSeating(int slot, const Seating& seating)
{
    if (!fromHost(slot) || steps_.seated) return;
    int own = -1;
    int count = 0;
    for (const SeatRecord& record : seating) {
        if (record.name.empty()) continue;
        ++count;
        if (own == -1 && record.addr == joinedTo_.ownAddr) own = record.seat;
    }
    if (own < 1 || own > 3 || (count != 2 && count != 4) || (count == 2 && own != 2)) {
        abandonSession("The host's seating has no place for the players at this machine.");
        return;
    }
    steps_.seated = true;
    joinedTo_.readySent = false;
    joinedTo_.seating = seating;
    if (starGame()) game_.actionRoute = joinedTo_.hostSlot;
    configureTable(game_, count);
    for (int i = 0; i < 4; ++i) {
        const SeatRecord& record = seating[i];
        if (record.name.empty()) continue;
        setSeatName(game_.seats[i], record.name);
        game_.seats[i].kind = record.addr == joinedTo_.ownAddr ? LOCAL_HUMAN : REMOTE;
    }
    game_.localSeat = own;
    game_.partnerSeat = count > 2 ? PARTNER_SEAT[own] : -1;
    if (game_.localPlayers == 2 && game_.partnerSeat != -1) game_.seats[game_.partnerSeat].kind = LOCAL_HUMAN;
    const int partner = PARTNER_SEAT[own];
    if (count == 4) {
        game_.tablePosition = {own, partner, game_.nextSeat[partner], game_.nextSeat[own]};
    } else {
        // Two seats: the opponent sits at the left, as in a local game.
        const int opponent = game_.nextSeat[own];
        game_.tablePosition = {own, partner, opponent, PARTNER_SEAT[opponent]};
    }
    ui_.relayoutTable();

    game_.seats[own].connection = connectToSelf();
    for (int i = own - 1; i >= 1; --i) {
        if (!connectToPeer(i)) {
            peerUnreached(i);
            return;
        }
    }
    ui_.setChatOpen(true);
    startWait(WAIT_PEERS, waits_.peers);
    game_.turn = TURN_DEALING;
    game_.table->showBegButton(true);
    game_.table->setBegEnabled(false);
    game_.table->drawTable(true);
    sendReadyWhenConnected();
}

std::vector<std::string> Session::missingPeers() const
{
    std::vector<std::string> missing;
    for (int i = game_.localSeat + 1; i < 4; ++i) {
        const SeatRecord& record = joinedTo_.seating[i];
        if (!record.name.empty() && record.addr.port != 0 && record.addr != joinedTo_.ownAddr && game_.seats[i].connection == -1)
            missing.push_back(record.name);
    }
    return missing;
}

bool Session::connectToPeer(int i)
{
    const SeatRecord& record = joinedTo_.seating[i];
    game_.seats[i].connection = -1;
    if (record.name.empty() || record.addr.port == 0) return true;
    joinedTo_.connects[i] = transport_.startConnect(record.addr, [this, i](int socket) { onPeerConnected(i, socket); });
    return joinedTo_.connects[i] != -1;
}

void Session::onPeerConnected(int i, int socket)
{
    joinedTo_.connects[i] = -1;
    Seat& seat = game_.seats[i];
    seat.connection = transport_.allocConnection(socket);
    if (seat.connection == -1) {
        peerUnreached(i);
        return;
    }
    SeatRecord mine;
    mine.name = cutName(game_.seats[game_.localSeat].name);
    mine.seat = game_.localSeat;
    mine.team = game_.localSeat / 2;
    transport_.sendSeat(seat.connection, mine);
    sendReadyWhenConnected();
}

void Session::peerUnreached(int i)
{
    // That peer would wait for us in vain, and our actions would never
    // reach it.
    abandonSession("Could not connect to the program of " + joinedTo_.seating[i].name + ", so the game cannot start.");
}

void Session::sendReadyWhenConnected()
{
    // Ready only once every peer above us has connected and said who it is:
    // the host starts the game on our word, and an action sent before then
    // would never reach that peer.
    if (joinedTo_.readySent) return;
    for (int i = 1; i < 4; ++i) {
        if (joinedTo_.connects[i] == -1) continue;
        ui_.showStatus("Connecting to the program of " + joinedTo_.seating[i].name + "...");
        return;
    }
    const std::vector<std::string> missing = missingPeers();
    if (!missing.empty()) {
        ui_.showStatus("Waiting for " + listOfNames(missing) + " to connect...");
        return;
    }
    stopWait();
    ui_.showStatus(std::string());
    joinedTo_.readySent = true;
    transport_.sendReady(joinedTo_.hostSlot);
    if (game_.localPlayers == 2) {
        game_.table->pauseDisplay(SECOND_READY_PAUSE_MS);
        transport_.sendReady(joinedTo_.hostSlot);
    }
}

void Session::onSeat(int slot, const SeatRecord& record)
{
    // Only a joined peer of our seating, one that sits above us and so
    // opens the connection to us, and only over a connection it opened.
    if (game_.sessionMode != MODE_JOINED || !steps_.seated || !game_.isSeat(record.seat)) return;
    if (joinedTo_.readySent) {
        onSeatClaim(slot, record);
        return;
    }
    const int seat = record.seat;
    if (seat <= game_.localSeat || !game_.seats[seat].inPlay() || game_.seats[seat].kind != REMOTE) return;
    if (joinedTo_.seating[seat].addr.port == 0 || game_.seats[seat].connection != -1) return;
    if (slot == joinedTo_.hostSlot || slot == self_.clientSlot || slot == self_.acceptedSlot) return;
    const auto peer = transport_.peerAddress(slot);
    if (!peer || peer->ipv4 != joinedTo_.seating[seat].addr.ipv4) return;
    game_.seats[seat].connection = slot;
    sendReadyWhenConnected();
}

void Session::onReady(int slot)
{
    if (hostGameStarted()) {
        for (int i = 0; i < 4; ++i)
            if (hosted_.returnSlot[i] == slot && slot != -1) hosted_.returnReady[i] = true;
        return;
    }
    if (game_.sessionMode != MODE_HOSTING || !steps_.seated || setup_.readyCount < 0) return;
    bool seatedJoiner = false;
    for (int i = 1; i < 4; ++i)
        seatedJoiner = seatedJoiner || (game_.seats[i].inPlay() && game_.seats[i].connection == slot);
    if (!seatedJoiner) return;
    setup_.readies[slot] += 1;
    setup_.readyCount += 1;
    startWhenAllReady();
}

void Session::onRules(int slot, const RuleSettings& rules)
{
    if (!fromHost(slot) || !steps_.seated || steps_.rulesKnown) return;
    if (!rulesAreOffered(rules)) {
        abandonSession("The host asked for rule settings this program does not offer.");
        return;
    }
    steps_.rulesKnown = true;
    game_.rules = rules;
}

void Session::onClosed(int slot)
{
    if (slot < 0 || slot >= NET_CONNECTION_COUNT) return;
    joiners_[slot] = false;
    if (setup_.addingPlayers) {
        ui_.unlistJoiner(slot);
        freeSeatsOf(slot);
    }
    const bool waitingForReady = game_.sessionMode == MODE_HOSTING && steps_.seated && setup_.readyCount >= 0;
    if (waitingForReady && !namesOnSlot(slot).empty()) startWait(WAIT_READY, 0);
    // Ended here, before the transport would report the loss under the
    // name seat 0 has before the seating: our own.
    if (fromHost(slot) && !steps_.seated)
        abandonSession("The host closed the connection before seating the players at this machine.");
    noteLostConnection(slot);
    if (slot == self_.acceptedSlot) self_.acceptedSlot = -1;
    if (slot == self_.clientSlot) self_.clientSlot = -1;
}

void Session::freeSeatsOf(int slot)
{
    const std::vector<std::string> names = namesOnSlot(slot);
    if (names.empty()) return;
    std::vector<int> seats;
    for (int i = 1; i < 4; ++i) {
        const Seat& seat = game_.seats[i];
        if (seat.kind != REMOTE || !seat.inPlay()) continue;
        const bool partnerOnSlot = seat.connection == -1 && game_.seats[PARTNER_SEAT[i]].connection == slot;
        if (seat.connection == slot || partnerOnSlot) seats.push_back(i);
    }
    for (int i : seats) {
        Seat& seat = game_.seats[i];
        clearSeatName(seat);
        seat.kind = LOCAL_HUMAN;
        seat.connection = -1;
        setup_.seatedCount -= 1;
    }
    ui_.seatsChanged();
    game_.table->showInformation("Player left", listOfNames(names) + " left. The seat is free again.");
}

void Session::startWait(Wait wait, int ms)
{
    waiting_ = wait;
    ui_.startWait(ms);
}

void Session::stopWait()
{
    if (waiting_ == WAIT_NONE) return;
    waiting_ = WAIT_NONE;
    ui_.stopWait();
}

std::string Session::missingReadies() const
{
    std::vector<std::string> left;
    std::vector<std::string> notReady;
    for (int slot : peerSlots()) {
        const std::vector<std::string> names = namesOnSlot(slot);
        if (!transport_.isOpen(slot)) {
            left.insert(left.end(), names.begin(), names.end());
        } else if (setup_.readies[slot] < static_cast<int>(names.size())) {
            notReady.insert(notReady.end(), names.begin(), names.end());
        }
    }
    std::string text;
    if (!left.empty()) text = listOfNames(left) + (left.size() == 1 ? " has" : " have") + " left. ";
    if (!notReady.empty()) text += listOfNames(notReady) + (notReady.size() == 1 ? " is" : " are") + " not ready in time. ";
    return text;
}

void Session::waitOver()
{
    const Wait wait = waiting_;
    waiting_ = WAIT_NONE;
    switch (wait) {
    case WAIT_PEERS:
        if (game_.sessionMode != MODE_JOINED || joinedTo_.readySent) return;
        abandonSession("No connection came from " + listOfNames(missingPeers()) +
                       " in time, so the game cannot start.");
        break;
    case WAIT_READY:
        if (game_.sessionMode != MODE_HOSTING || setup_.readyCount < 0) return;
        abandonSession(missingReadies() + "The game cannot start.");
        break;
    case WAIT_TAKEOVER: {
        std::vector<std::string> names;
        for (int i : cutOffSeats()) names.push_back(game_.seats[i].name);
        if (game_.sessionMode != MODE_JOINED || names.empty()) return;
        abandonSession("The connection to " + listOfNames(names) + "'s program was lost while the host still has it, " +
                       "so the game cannot go on.");
        break;
    }
    case WAIT_RELAY:
        if (game_.sessionMode != MODE_JOINED || joinedTo_.hostSlot != -1 || !internet_.relay) return;
        abandonSession(relayNoPartnerText(*internet_.relay));
        break;
    case WAIT_NONE: break;
    }
}
