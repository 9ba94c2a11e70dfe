#include "net/session.h"

#include <cstdlib>

#include "engine/deal.h"
#include "engine/table.h"

const char* const COMPUTER_NAMES[COMPUTER_NAME_COUNT] = {
    "Bossman", "Mr. Anderson", "Fatboy", "Bad man", "Rastaman", "Ganja smoker", "Pie man",
    "Moko Jumbie", "2 wid slight", "Horner man", "Fire man", "Skettle", "Papa Chunks", "Saucy",
    "Conqueror", "Dread", "Horse", "Hot ting", "Bobo Shanti", "Soca King", "Tavoru I",
};

Session::Session(GameState& game, Transport& transport, SessionUi& ui) : game_(game), transport_(transport), ui_(ui) {}

int Session::pickComputerName() const
{
    for (;;) {
        const int i = std::rand() % COMPUTER_NAME_COUNT;
        bool taken = false;
        for (const Seat& seat : game_.seats) taken = taken || seat.computerName == COMPUTER_NAMES[i];
        if (!taken) return i;
    }
}

void Session::seatComputer(int index)
{
    const int nameIndex = pickComputerName();
    Seat& seat = game_.seats[index];
    setSeatName(seat, COMPUTER_NAMES[nameIndex]);
    seat.computerName = COMPUTER_NAMES[nameIndex];
    seat.kind = COMPUTER;
    seat.connection = -1;
}

void Session::onStartGame()
{
    game_.sessionMode = MODE_LOCAL;
    game_.hosting = true;
    resetSeating(game_);
    beginGame();
}

bool Session::beginGame()
{
    const bool local = game_.sessionMode == MODE_LOCAL;
    if (local && game_.seatCount == 4 && !game_.seats[1].inPlay()) seatComputer(1);
    game_.rules = game_.pendingRules;
    ui_.relayoutTable();
    configureTable(game_, game_.seatCount);
    if (!local) return true;

    seatComputer(2);
    if (game_.seatCount == 4) seatComputer(3);
    game_.seats[0].connection = connectToSelf();
    if (game_.seats[0].connection != -1) return true;

    game_.table->showError("Network error", "Could not connect to this program's own port, so the game cannot start.");
    for (Seat& seat : game_.seats) clearSeatName(seat);
    game_.sessionMode = MODE_SETUP;
    ui_.scheduleSetupDialog();
    return false;
}

int Session::connectToSelf()
{
    selfAcceptedSlot_ = -1;
    selfClientSlot_ = transport_.allocConnection(connectToHost("127.0.0.1", transport_.listenPort()));
    return selfClientSlot_;
}

void Session::startFirstDeal()
{
    game_.turn = TURN_DEALING;
    chooseDealer(game_);
    game_.table->showBegButton(true);
    game_.table->setBegEnabled(false);
    game_.table->drawTable(true);
}

void Session::newLocalGame()
{
    game_.table->closeRoundSummary();
    ui_.scheduleSetupDialog();
    gatherCards(game_);
    for (Seat& seat : game_.seats) clearSeatName(seat);
    leaveSession();
    resetGame(game_);
    game_.table->drawTable(true);
}

void Session::leaveSession()
{
    // Closing the host's connection below is our doing, not the host's.
    hostSlot_ = -1;
    if (game_.sessionMode == MODE_LOCAL) {
        // The accepted end closes itself when it reads the peer's close.
        transport_.closeConnection(selfClientSlot_);
    } else {
        transport_.closeAllConnections();
    }
    for (Seat& seat : game_.seats) seat.connection = -1;
    selfClientSlot_ = selfAcceptedSlot_ = hostSlot_ = -1;
    seated_ = rulesKnown_ = false;
    stopWait();
    ui_.showStatus(std::string());
    ui_.setChatOpen(false);
    roundDigests_.clear();
    earlyDigests_.clear();
    divergence_.clear();
}

bool Session::isGameConnection(int slot) const
{
    if (slot < 0) return false;
    if (slot == selfAcceptedSlot_) return true;
    if (game_.sessionMode == MODE_LOCAL) return false;
    for (const Seat& seat : game_.seats)
        if (seat.inPlay() && seat.connection == slot) return true;
    return false;
}

bool Session::servesSession(int slot) const
{
    if (isGameConnection(slot) || slot == selfClientSlot_) return true;
    if (game_.sessionMode == MODE_JOINED) return slot == hostSlot_;
    // A joiner waiting to be seated is part of the session being hosted.
    return game_.sessionMode == MODE_HOSTING && !seated_ && slot >= 0 && slot < NET_CONNECTION_COUNT && joined_[slot];
}

bool Session::carriesHostActions(int slot) const
{
    if (game_.sessionMode == MODE_JOINED) return slot == hostSlot_;
    return game_.sessionMode == MODE_HOSTING && slot == selfAcceptedSlot_;
}

void Session::onAction(int slot, const GameAction& action)
{
    if (!isGameConnection(slot)) return;
    const bool hostOnly = action.action == ACTION_TAKEOVER || action.action == ACTION_RETURN;
    if ((hostOnly || catchingUp_) && !carriesHostActions(slot)) return;
    actionSeen_ = true;
    if (hostGameStarted()) recordAndRelay(action);
    receiveAction(game_, action);
    endIfDiverged();
}

void Session::onAccepted(int slot)
{
    if (selfClientSlot_ == -1 || selfAcceptedSlot_ != -1) return;
    // Our own connection is the one whose far end is our client socket;
    // anything else that connects is read and ignored.
    const auto peer = transport_.peerAddress(slot);
    const auto self = transport_.localAddress(selfClientSlot_);
    if (!peer || !self || *peer != *self) return;
    selfAcceptedSlot_ = slot;
    if (game_.sessionMode == MODE_LOCAL) startFirstDeal();
}

void Session::recordGameResult(const GameState& game, int)
{
    if (recorder_) recorder_(game);
}

void Session::endSession(GameState&)
{
    if (game_.sessionMode == MODE_LOCAL) {
        ui_.scheduleSetupDialog();
    }
    leaveSession();
}
