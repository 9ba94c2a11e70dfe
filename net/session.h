// Who sits where, which process drives which seat and over which connection
// each seat is reached: the local game, and hosting or joining a network
// game. The session also decides which connections may change the game.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "net/invitation.h"
#include "net/transport.h"

constexpr int COMPUTER_NAME_COUNT = 21;
extern const char* const COMPUTER_NAMES[COMPUTER_NAME_COUNT];

// What the session asks of the desktop beyond the table.
class SessionUi {
public:
    virtual ~SessionUi() = default;
    // Opens the game setup dialog once the event loop runs again.
    virtual void scheduleSetupDialog() = 0;
    // Recomputes the table layout for the window's current size.
    virtual void relayoutTable() = 0;
    // The host's Add Players dialog: runs until the session says every seat
    // is filled (Session::addTeamPlayer / addOtherPlayer return SEATS_FULL)
    // or the player closes it; true when every seat was filled.
    virtual bool runAddPlayers() = 0;
    // A joiner to offer in the open Add Players dialog, or to take out of it.
    virtual void listJoiner(int slot) = 0;
    virtual void unlistJoiner(int slot) = 0;
    // The open Add Players dialog: a seated joiner left and its seat is free.
    virtual void seatsChanged() {}
    // A note on the table while the session waits for someone; empty for none.
    virtual void showStatus(const std::string&) {}
    // The chat of a seated network game: whether it is open, and a line.
    virtual void setChatOpen(bool) {}
    virtual void showChatLine(const std::string&, const std::string&) {}
    // The session's one clock: Session::waitOver() once ms have passed,
    // unless stopped or started again first. A UI without a clock never
    // ends a wait.
    virtual void startWait(int) {}
    virtual void stopWait() {}
};

// "Ann", "Ann and Bo", "Ann, Bo and Cy".
std::string listOfNames(const std::vector<std::string>& names);

// How long the session waits, in milliseconds: for the connections of a
// joiner's peers after the seating, and for the host's seated joiners to be
// ready.
struct SessionWaits {
    int peers = 15000;
    int ready = 30000;
    // Joined: for the host to take over the seat of a peer whose link to us
    // broke; the host may still have that peer.
    int takeover = 10000;
    // Joining an internet game: for the relay to pair us with the host.
    int relay = 10000;
};

// The outcome of seating a joiner from the Add Players dialog.
enum SeatingResult {
    SEATED,           // seated; more seats to fill
    SEATS_FULL,       // seated, and that was the last seat
    NOT_A_JOINER,     // no open connection with join information
    TEAM_FULL,        // "You team only needs one more player."
    OTHER_TEAM_FULL,  // "The other team only needs one more player."
    NO_FREE_SEAT,     // a computer was asked for a team that is complete
};

class Session : public MessageHandler, public GameHooks {
public:
    Session(GameState& game, Transport& transport, SessionUi& ui);

    // Offers each finished game to the high score table.
    void setResultRecorder(std::function<void(const GameState&)> recorder) { recorder_ = std::move(recorder); }

    // "Start Game" of the setup dialog, after the names and seat count are stored.
    void onStartGame();
    // Seats the computer players and connects to this process's own
    // listener; false when that connection failed (the player was told).
    bool beginGame();
    // "New Local Game", once the player has said yes.
    void newLocalGame();
    // An entry of COMPUTER_NAMES that no computer seat uses yet.
    int pickComputerName() const;

    // Hosting: the own connection, then the Add Players dialog, then the
    // seating and the rules to every joined process. False when no session
    // was started (the player was told why).
    bool hostNetworkGame();
    // The dialog's two buttons, for the joiner on a slot.
    SeatingResult addTeamPlayer(int slot);
    SeatingResult addOtherPlayer(int slot);
    // A computer player, driven by this process, in the team's next free
    // seat: the host's team (seats 0 and 1) or the other (2 and 3).
    SeatingResult addComputer(bool hostTeam);
    // What Add Players says when joiners cannot reach this machine; empty
    // when they can.
    std::string reachNote() const;
    // The text the Add Players list shows for a joiner.
    std::string joinerText(int slot) const;
    // Whether a slot holds a joiner that can still be seated.
    bool isListableJoiner(int slot) const;

    // Joining: looks the host up and connects to it at port 4100 (or the
    // port given, for tests) without waiting: the table says so while it
    // tries. False when the host has no address or no connect could begin.
    // Once the connect has ended, connected hears whether this machine's
    // players were announced to the host; false sends this process back to
    // the setup, and the person may try again.
    bool joinNetworkGame(const std::string& host, uint16_t port = NET_LISTEN_PORT,
                         std::function<void(bool)> connected = nullptr);
    bool connectingToHost() const { return joinedTo_.connects[0] != -1; }
    // Gives up the connect to the host under way; connected is not called.
    void cancelJoin();

    // Internet games (session_internet.cpp). Hosting: an invitation at the
    // relay, then hostNetworkGame; false when no session was started (the
    // player was told why). Joining: through the relay with the code; false
    // when the relay cannot be reached (relayError says why), otherwise the
    // session goes on once the relay pairs us, or ends with a message.
    bool hostInternetGame(const RelayAddress& relay);
    bool joinByInvitation(const std::string& code, const RelayAddress& relay);
    const std::string& relayError() const { return transport_.relayError(); }
    // The code and the whole invitation ("K7QX-M9TA@relay:4001") of the
    // game being hosted; empty for a LAN game.
    const std::string& invitationCode() const { return internet_.code; }
    std::string invitationText() const;

    // Whether game actions arriving on this slot belong to the game.
    bool isGameConnection(int slot) const;

    void setWaits(const SessionWaits& waits) { waits_ = waits; }
    // The wait started last has run out: the session ends, naming who is
    // missing.
    void waitOver();
    // Sends a line of chat to every other process of the seated network
    // game and shows it here; false when there is nobody to send it to.
    bool sendChat(const std::string& text);

    // MessageHandler
    void onAction(int slot, const GameAction& action) override;
    void onSeating(int slot, const Seating& seating) override;
    void onSeat(int slot, const SeatRecord& record) override;
    void onJoin(int slot, const JoinRecord& record) override;
    void onReady(int slot) override;
    void onRules(int slot, const RuleSettings& rules) override;
    void onAccepted(int slot) override;
    void onClosed(int slot) override;
    bool servesSession(int slot) const override;
    void onDigest(int slot, const RoundDigest& digest) override;
    void onText(int slot, const TextMessage& message) override;
    void onActionBlock(int slot, const ActionBlock& actions) override;
    void onRejoinRefused(int slot) override;
    void onNameTaken(int slot) override;
    void onSeatReturning(int slot, const SeatRecord& record) override;
    void onConnectionLost(int slot, bool midMessage) override;
    void onRelayJoined(int slot) override;
    void onRelayFailed(const std::string& why) override;

    // GameHooks
    void recordGameResult(const GameState& game, int winnerTeam) override;
    void roundScored(GameState& game) override;
    void endSession(GameState& game) override;
    void seatTakenOver(GameState& game, int seat) override;
    void seatReturned(GameState& game, int seat) override;
    bool handSeatBack(GameState& game, int seat) override;

private:
    // Connects to this process's own listener; the client end's slot, or -1.
    int connectToSelf();
    // Joining: the session's state before a connection to the host exists,
    // and the announcement once it does; host names the host in the note.
    void enterJoinedMode();
    bool announceJoin(int slot, const std::string& host);
    // An internet game: the joiners reach the host alone, and the host
    // forwards what they must see.
    bool starGame() const;
    // The seating as sent to the joiner on slot: in a star game only its
    // own seats carry an address, so it calls no one.
    Seating seatingFor(int slot) const;
    // Hosting a star game: a joiner's line of chat to the other joiners.
    void forwardChat(int fromSlot, const TextMessage& message);
    void startFirstDeal();
    void leaveSession();
    // Ends a network session that cannot go on, telling the player why.
    void abandonSession(const std::string& why);
    void seatJoiner(int seat, int slot, const std::string& name);
    // Whether a joiner's name, or its partner's, is one a seat or another
    // joiner has already, or the two are one name.
    bool nameTaken(int slot) const;
    // Tells a joiner that and closes its connection.
    void refuseTakenName(int slot);
    void seatComputer(int seat);
    void sendSeatingAndRules();
    void startWhenAllReady();
    void sendReadyWhenConnected();
    bool fromHost(int slot) const { return game_.sessionMode == MODE_JOINED && slot == joinedTo_.hostSlot; }
    // The connections to the other processes of a seated network game, each
    // once.
    std::vector<int> peerSlots() const;
    bool isPeerSlot(int slot) const;
    // The names of the seats whose process is reached over slot.
    std::vector<std::string> namesOnSlot(int slot) const;
    void checkDigest(int slot, const RoundDigest& digest);
    // Ends the session over differing copies once no action is being applied.
    void endIfDiverged();
    void freeSeatsOf(int slot);
    enum Wait { WAIT_NONE, WAIT_PEERS, WAIT_READY, WAIT_TAKEOVER, WAIT_RELAY };
    // Joined: the seats whose program's link to us broke and that the host
    // has not taken over yet.
    std::vector<int> cutOffSeats() const;
    void startWait(Wait wait, int ms);
    void stopWait();
    // Hosting: the seated joiners that left or are not ready yet.
    std::string missingReadies() const;
    // Joined: the peers above this seat that have not connected yet.
    std::vector<std::string> missingPeers() const;
    // Whether the slot carries the host's own actions: in the host, its
    // connection to itself.
    bool carriesHostActions(int slot) const;
    bool hostGameStarted() const { return game_.sessionMode == MODE_HOSTING && steps_.seated && setup_.readyCount < 0; }
    Seating buildSeating() const;
    // Starts the connect to the program of a seat's player; false when none
    // could begin.
    bool connectToPeer(int seat);
    void onHostConnected(const std::string& host, int socket);
    void onPeerConnected(int seat, int socket);
    void peerUnreached(int seat);

    // Keeping a game going without a lost player (takeover.cpp).
    void noteLostConnection(int slot);
    void takeOverLostSeats();

    // A lost player joining again (rejoin.cpp).
    void offerSeatBack(int slot);
    // Hosting a game under way: keeps the action for a player who joins
    // again, and sends it to those who follow the game through the host.
    void recordAndRelay(int fromSlot, const GameAction& action);
    void catchUp(const ActionBlock& actions);
    // A connection that claims a stood-in seat in a game under way.
    void onSeatClaim(int slot, const SeatRecord& record);
    // Takes the seat's pending claim if the host announced it from there,
    // or closes it once the announcement says otherwise.
    void settleSeatClaim(int seat);

    GameState& game_;
    Transport& transport_;
    SessionUi& ui_;
    std::function<void(const GameState&)> recorder_;

    // Every way out of a session resets these, each with = {}
    // (resetSessionState), so nothing of one session reaches the next.
    // This process's connection to itself: the end it writes on and the end
    // the listener accepted, which carries its own actions back.
    struct SelfLink {
        int clientSlot = -1;
        int acceptedSlot = -1;
    };
    // Hosting: seated means the seating was sent, rulesKnown the rules;
    // joined: the seating and the rules were received.
    struct Steps {
        bool seated = false;
        bool rulesKnown = false;
    };
    // Hosting: the Add Players dialog and the readies before the game.
    struct HostSetup {
        bool addingPlayers = false;
        int seatedCount = 0;
        int readyCount = 0;  // -1 once the game has started
        std::array<int, NET_CONNECTION_COUNT> readies{};  // MSG_READY counted per connection
    };
    // Hosting a game under way: every action since the first set-dealer
    // action, for a player who joins again; seats whose connection closed
    // and wait for their takeover; per stood-in seat, the connection of its
    // returning person (-1 for none) and whether that one is ready.
    struct HostedGame {
        std::vector<GameAction> stream;
        std::array<bool, 4> lostSeats{};
        std::array<int, 4> returnSlot{{-1, -1, -1, -1}};
        std::array<bool, 4> returnReady{};
    };
    // Joined: the host, this machine's address and seating, and per stood-in
    // seat the connection its returning person opened to us, which carries
    // the game once the seat is back. Per seat, the connect under way to its
    // program (seat 0: the host's) and who hears how the host's ended.
    struct JoinedTo {
        std::array<int, 4> connects{{-1, -1, -1, -1}};
        std::function<void(bool)> hostConnected;
        int hostSlot = -1;
        WireAddress ownAddr;
        Seating seating;
        bool readySent = false;
        bool hostLost = false;
        std::array<int, 4> returningPeer{{-1, -1, -1, -1}};
        // Per stood-in seat, where the host said its returning program is,
        // and the first connection that claimed the seat, until the host's
        // word comes: that may be read after the claim.
        std::array<std::optional<WireAddress>, 4> returnAnnounced{};
        std::array<int, 4> pendingClaim{{-1, -1, -1, -1}};
        std::array<bool, 4> cutOff{};
    };
    // Joined again: catching up from the host's blocks; the seats of this
    // machine that are still played by the host's computer. Until they are
    // back only the host's connection is believed.
    struct Rejoin {
        bool catchingUp = false;
        bool actionSeen = false;
        std::array<bool, 4> seatsComingBack{};
    };
    // Network games: this copy's digest of the round it scored last, and
    // those of peers that have scored the next one already; why the copies
    // differ, until the session ends.
    struct EarlyDigest {
        int slot;
        RoundDigest digest;
    };
    struct Digests {
        int32_t round = 0;
        uint64_t mine = 0;
        std::vector<EarlyDigest> early;
        std::string divergence;
    };
    // An internet game: the relay, and when hosting the invitation's code.
    struct Internet {
        std::string code;
        std::optional<RelayAddress> relay;
    };
    void resetSessionState();

    SelfLink self_;
    Steps steps_;
    HostSetup setup_;
    HostedGame hosted_;
    JoinedTo joinedTo_;
    Rejoin rejoin_;
    Digests digests_;
    Internet internet_;

    // Per connection: a MSG_JOIN came on it while it is open. Joiners may
    // come before a session, so this follows the connections, not sessions.
    std::array<bool, NET_CONNECTION_COUNT> joiners_{};

    SessionWaits waits_;
    Wait waiting_ = WAIT_NONE;
};
