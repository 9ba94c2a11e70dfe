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
    self_.acceptedSlot = -1;
    self_.clientSlot = transport_.allocConnection(connectToHost("127.0.0.1", transport_.listenPort()));
    return self_.clientSlot;
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
    // What the session knew goes first: the closes below are our doing, and
    // no handler may take them for a loss of this session.
    const int selfClient = self_.clientSlot;
    const bool local = game_.sessionMode == MODE_LOCAL;
    const std::array<int, 4> connects = joinedTo_.connects;
    resetSessionState();
    for (int connect : connects) transport_.cancelConnect(connect);
    if (local) {
        // The accepted end closes itself when it reads the peer's close.
        transport_.closeConnection(selfClient);
    } else {
        transport_.closeAllConnections();
    }
    for (Seat& seat : game_.seats) seat.connection = -1;
    transport_.stopRelay();
    game_.actionRoute = -1;
    stopWait();
    ui_.showStatus(std::string());
    ui_.setChatOpen(false);
}

void Session::resetSessionState()
{
    self_ = {};
    steps_ = {};
    setup_ = {};
    hosted_ = {};
    joinedTo_ = {};
    rejoin_ = {};
    digests_ = {};
    internet_ = {};
}

bool Session::isGameConnection(int slot) const
{
    if (slot < 0) return false;
    if (slot == self_.acceptedSlot) return true;
    if (game_.sessionMode == MODE_LOCAL) return false;
    for (const Seat& seat : game_.seats)
        if (seat.inPlay() && seat.connection == slot) return true;
    return false;
}

bool Session::servesSession(int slot) const
{
    if (isGameConnection(slot) || slot == self_.clientSlot) return true;
    if (game_.sessionMode == MODE_JOINED) return slot == joinedTo_.hostSlot;
    // A joiner waiting to be seated is part of the session being hosted.
    return game_.sessionMode == MODE_HOSTING && !steps_.seated && slot >= 0 && slot < NET_CONNECTION_COUNT && joiners_[slot];
}

bool Session::carriesHostActions(int slot) const
{
    if (game_.sessionMode == MODE_JOINED) return slot == joinedTo_.hostSlot;
    return game_.sessionMode == MODE_HOSTING && slot == self_.acceptedSlot;
}

void Session::onAction(int slot, const GameAction& action)
{
    if (!isGameConnection(slot)) return;
    const bool hostOnly = action.action == ACTION_TAKEOVER || action.action == ACTION_RETURN;
    if ((hostOnly || rejoin_.catchingUp) && !carriesHostActions(slot)) return;
    // A joiner seated while Add Players is still open has nothing to
    // answer yet: until the game begins only the host's own actions count.
    if (game_.sessionMode == MODE_HOSTING && !hostGameStarted() && !carriesHostActions(slot)) return;
    rejoin_.actionSeen = true;
    if (hostGameStarted()) recordAndRelay(slot, action);
    receiveAction(game_, action);
    endIfDiverged();
}

void Session::onAccepted(int slot)
{
    if (self_.clientSlot == -1 || self_.acceptedSlot != -1) return;
    // Our own connection is the one whose far end is our client socket;
    // anything else that connects is read and ignored.
    const auto peer = transport_.peerAddress(slot);
    const auto self = transport_.localAddress(self_.clientSlot);
    if (!peer || !self || *peer != *self) return;
    self_.acceptedSlot = slot;
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
