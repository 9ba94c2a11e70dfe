// The main window in-process under Xvfb, with no event loop running, as in a
// game whose socket is always ready: what reaches the screen is read back
// from the canvas, and what a click sends is caught by a recording outbox.
#include <gtest/gtest.h>

#include <fx.h>
#include <fxkeys.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <map>
#include <memory>
#include <vector>

#include <sys/socket.h>

#include "engine/actions.h"
#include "players/computer.h"
#include "net/player_names.h"
#include "net/transport.h"
#include "tests/engine/fixture.h"
#include "tests/support/map_store.h"
#include "net/chat.h"
#include "ui/artwork.h"
#include "ui/chat_bar.h"
#include "ui/frame.h"

namespace {

FXApp* application = nullptr;
Frame* frame = nullptr;
GameState* game = nullptr;

constexpr FXColor CLOTH = FXRGB(0, 120, 50);

class RecordingOutbox : public Outbox {
public:
    void sendAction(int, const GameAction& action) override { sent.push_back(action); }
    std::vector<GameAction> sent;
};

// The canvas as the X server shows it, in canvas coordinates.
class Screen {
public:
    explicit Screen(FXWindow* window = canvas())
        : image(application, nullptr, IMAGE_KEEP, window->getWidth(), window->getHeight())
    {
        image.create();
        {
            FXDCWindow dc(&image);
            dc.drawArea(window, 0, 0, image.getWidth(), image.getHeight(), 0, 0);
        }
        image.restore();
    }
    FXColor at(int x, int y) const { return image.getPixel(x, y) | FXRGBA(0, 0, 0, 255); }
    bool sameAs(const Screen& other) const
    {
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                if (at(x, y) != other.at(x, y)) return false;
        return true;
    }
    static FXWindow* canvas() { return frame->getLast(); }

private:
    FXImage image;
};

FXColor opaque(FXColor c) { return c | FXRGBA(0, 0, 0, 255); }

// The window's own children by what they are: the bar that holds the menus
// and the score labels, and the BEG button (the first button among them).
FXWindow* topBar()
{
    for (FXWindow* w = frame->getFirst(); w; w = w->getNext())
        if (w->getFirst() && w->getFirst()->isMemberOf(FXMETACLASS(FXMenuBar))) return w;
    return nullptr;
}

FXWindow* begButton()
{
    for (FXWindow* w = frame->getFirst(); w; w = w->getNext())
        if (w->isMemberOf(FXMETACLASS(FXButton))) return w;
    return nullptr;
}

// Looks at the screen once, from a timer, while an animation runs.
class ScreenProbe : public FXObject {
    FXDECLARE(ScreenProbe)

public:
    enum { ID_LOOK = 1 };
    long onLook(FXObject*, FXSelector, void*)
    {
        shot.reset(new Screen);
        return 1;
    }
    void lookAfter(int ms) { application->addTimeout(this, ID_LOOK, ms); }
    std::unique_ptr<Screen> shot;
};

FXDEFMAP(ScreenProbe) ScreenProbeMap[] = {FXMAPFUNC(SEL_TIMEOUT, ScreenProbe::ID_LOOK, ScreenProbe::onLook)};
FXIMPLEMENT(ScreenProbe, FXObject, ScreenProbeMap, ARRAYNUMBER(ScreenProbeMap))

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        initGame(*game);
        configureTable(*game, 4);
        for (int s = 0; s < 4; ++s) {
            setSeatName(game->seats[s], "P" + std::to_string(s));
            game->seats[s].kind = s == 0 ? LOCAL_HUMAN : COMPUTER;
        }
        game->seats[0].connection = 0;
        game->outbox = &outbox;
        game->dealer = 2;
        frame->setBegEnabled(false);
    }
    void TearDown() override
    {
        game->outbox = nullptr;
        frame->closeRoundSummary();
    }

    Card* card(const char* text) { return cardOf(*game, text); }
    Card* take(const char* text)
    {
        Card* c = card(text);
        game->deck = removeCard(game->deck, c);
        return c;
    }
    void give(int seat, std::initializer_list<const char*> cards)
    {
        for (const char* text : cards) game->seats[seat].hand = insertSorted(take(text), game->seats[seat].hand);
    }
    void play(int seat, const char* text)
    {
        Card* c = take(text);
        c->holder = seat;
        c->next = game->trick;
        game->trick = c;
    }
    void send(FXSelector type, int id, void* ptr = nullptr) { frame->handle(frame, FXSEL(type, id), ptr); }
    // Attaches the transport to the window with a connected pair of
    // entries; what is sent on the returned slot arrives on the other.
    int connectedPair(Transport& transport, MessageHandler& handler)
    {
        transport.setHandler(&handler);
        frame->setTransport(&transport);
        int ends[2];
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        const int writer = transport.allocConnection(ends[0]);
        transport.allocConnection(ends[1]);
        return writer;
    }
    void releaseAt(int x, int y)
    {
        FXEvent event{};
        event.win_x = x;
        event.win_y = y;
        send(SEL_LEFTBUTTONRELEASE, Frame::ID_CANVAS, &event);
    }
    Point slot(int position) const { return frame->tableLayout().trickSlots()[position]; }

    RecordingOutbox outbox;
};

// The widest scores of a game keep every label of the top bar whole,
// clear of the next one and inside the window.
TEST_F(FrameTest, ScoreLabelsStayApartAndInsideTheWindowWithTheWidestScores)
{
    Team* us = game->seats[0].team;
    for (Team* team : {us, us->opponent}) {
        team->score = -14;
        team->cardPoints = 88;
    }
    frame->updateScoreLabels();
    std::vector<FXWindow*> labels;
    for (FXWindow* w = topBar()->getFirst(); w; w = w->getNext())
        if (w->isMemberOf(FXMETACLASS(FXLabel))) labels.push_back(w);
    ASSERT_EQ(labels.size(), 4u);
    for (size_t i = 0; i + 1 < labels.size(); ++i)
        EXPECT_LE(labels[i]->getX() + labels[i]->getWidth(), labels[i + 1]->getX()) << "label " << i;
    EXPECT_LE(labels.back()->getX() + labels.back()->getWidth(), 640);
}

// A kick or a bullseye pushes a score past the target while the engine
// still pauses on its banner; the labels never show more than the target.
TEST_F(FrameTest, ScoreLabelsShowNoScoreAboveTheTarget)
{
    Team* us = game->seats[0].team;
    us->score = 24;
    us->opponent->score = 15;
    frame->updateScoreLabels();
    std::vector<FXString> texts;
    for (FXWindow* w = topBar()->getFirst(); w; w = w->getNext())
        if (w->isMemberOf(FXMETACLASS(FXLabel))) texts.push_back(static_cast<FXLabel*>(w)->getText());
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_STREQ(texts[0].text(), "Score: 14");
    EXPECT_STREQ(texts[2].text(), "Opponent Score: 14");
}

// Game points that shrink from two digits to one, and a score label that
// narrows again, leave nothing of the wider texts behind in the top bar,
// though no event loop runs between the changes (as in a game).
TEST_F(FrameTest, ScoreBarKeepsNoTraceOfAWiderText)
{
    FXWindow* bar = topBar();
    Team* us = game->seats[0].team;
    us->score = -12;
    us->cardPoints = 48;
    us->opponent->cardPoints = 80;
    frame->updateScoreLabels();
    application->runWhileEvents();
    us->score = 3;
    us->cardPoints = 0;
    us->opponent->cardPoints = 0;
    frame->updateScoreLabels();
    std::vector<FXWindow*> labels;
    for (FXWindow* w = bar->getFirst(); w; w = w->getNext())
        if (w->isMemberOf(FXMETACLASS(FXLabel))) labels.push_back(w);
    ASSERT_EQ(labels.size(), 4u);
    const Screen screen(bar);
    // Right of each game label up to the next label or the window's edge,
    // where only the bar itself paints: only the bar's own colour.
    for (size_t i : {1u, 3u}) {
        const int from = labels[i]->getX() + labels[i]->getWidth();
        const int to = i + 1 < labels.size() ? labels[i + 1]->getX() : bar->getWidth();
        int inked = 0;
        for (int x = from; x < to; ++x)
            for (int y = 2; y < bar->getHeight() - 2; ++y)
                if (screen.at(x, y) == opaque(FXRGB(0, 0, 0))) ++inked;
        EXPECT_EQ(inked, 0) << "right of label " << i;
    }
    us->score = 0;
    frame->updateScoreLabels();
    application->runWhileEvents();
}

TEST_F(FrameTest, TableReachesTheScreenWithoutAnEventLoop)
{
    give(0, {"2D", "7H"});
    give(3, {"KS"});
    game->turn = 0;
    frame->drawTable(true);
    const Screen screen;
    const TableLayout& layout = frame->tableLayout();
    const Point mine = layout.handOrigin(POS_BOTTOM, 2);
    const Point theirs = layout.handOrigin(POS_RIGHT, 1);
    // The middle of a face and of a back differ; the cloth shows elsewhere.
    EXPECT_NE(screen.at(mine.x + 60, mine.y + 48), screen.at(theirs.x + 35, theirs.y + 48));
    EXPECT_EQ(screen.at(320, 5), opaque(CLOTH));
    // The turn marker frames the bottom slot.
    EXPECT_EQ(screen.at(slot(POS_BOTTOM).x + 30, slot(POS_BOTTOM).y - 2), opaque(FXRGB(255, 220, 0)));
}

// A network game's chat lies over the banner strip along the bottom, where
// no card lies, and the table keeps its size.
TEST_F(FrameTest, ChatBarCoversOnlyTheBannerStrip)
{
    FXWindow* canvas = Screen::canvas();
    FXWindow* bar = canvas->getPrev();
    const int canvasHeight = canvas->getHeight();
    ASSERT_FALSE(bar->shown());
    frame->sessionUi().setChatOpen(true);
    frame->sessionUi().showChatLine("Jo", "hello");
    EXPECT_TRUE(bar->shown());
    EXPECT_EQ(bar->getY() + bar->getHeight(), frame->getHeight());
    EXPECT_GE(bar->getY(), frame->getHeight() - BANNER_HEIGHT);
    EXPECT_EQ(bar->getWidth(), frame->getWidth());
    EXPECT_EQ(canvas->getHeight(), canvasHeight);
    frame->sessionUi().setChatOpen(false);
    EXPECT_FALSE(bar->shown());
}

namespace {

// Counts what the chat entry sends.
class ChatReceiver : public FXObject {
    FXDECLARE(ChatReceiver)

public:
    long onCmd(FXObject*, FXSelector, void*)
    {
        ++sent;
        return 1;
    }
    int sent = 0;
};
FXDEFMAP(ChatReceiver) ChatReceiverMap[] = {FXMAPFUNC(SEL_COMMAND, 1, ChatReceiver::onCmd)};
FXIMPLEMENT(ChatReceiver, FXObject, ChatReceiverMap, ARRAYNUMBER(ChatReceiverMap))

void typeInto(FXWindow* window, FXuint code, const char* text)
{
    FXEvent event{};
    event.code = code;
    event.text = text;
    window->handle(window, FXSEL(SEL_KEYPRESS, 0), &event);
}

}  // namespace

// Under a locale that is not UTF-8 a key brings its Latin-1 byte; the
// table's window gives the text field UTF-8.
TEST_F(FrameTest, TypedLatin1ReachesTheChatAsUtf8)
{
    frame->sessionUi().setChatOpen(true);
    auto* entry = static_cast<FXTextField*>(Screen::canvas()->getPrev()->getFirst()->getNext());
    entry->setFocus();
    typeInto(frame, KEY_N, "N");
    typeInto(frame, KEY_Ntilde, "\xd1");
    typeInto(frame, KEY_uacute, "\xfa");
    EXPECT_EQ(std::string(entry->getText().text()), "N\xc3\x91\xc3\xba");
    entry->setText(FXString::null);
    frame->sessionUi().setChatOpen(false);
}

// Only Enter sends the line; the entry holds what a line carries, no more;
// a new session shows none of the last one's lines.
TEST_F(FrameTest, ChatEntrySendsOnEnterOnlyAndHoldsOneLine)
{
    ChatReceiver receiver;
    auto* bar = new ChatBar(frame, &receiver, 1);
    bar->create();
    bar->show();
    auto* lines = static_cast<FXText*>(bar->getFirst());
    auto* entry = static_cast<FXTextField*>(lines->getNext());
    entry->setFocus();
    typeInto(entry, KEY_h, "h");
    typeInto(entry, KEY_i, "i");
    entry->killFocus();
    EXPECT_EQ(receiver.sent, 0) << "a half-typed line stays when the entry loses the keys";
    typeInto(entry, KEY_Return, "\r");
    EXPECT_EQ(receiver.sent, 1);
    EXPECT_EQ(bar->takeEntry(), "hi");

    for (int i = 0; i < 100; ++i) typeInto(entry, KEY_eacute, "\xc3\xa9");
    EXPECT_EQ(entry->getText().length(), int(CHAT_LINE_MAX)) << "64 two-byte letters";
    std::string held;
    for (int i = 0; i < 64; ++i) held += "\xc3\xa9";
    EXPECT_EQ(bar->takeEntry(), held);

    bar->addLine("Jo", "hello");
    typeInto(entry, KEY_a, "a");
    bar->clear();
    EXPECT_EQ(lines->getLength(), 0);
    EXPECT_EQ(bar->takeEntry(), "");
    delete bar;
}

// At every size the window takes the table's size and the pictures drawn
// for it; the cloth shows through a card's rounded corner, and a click on
// a card plays that card.
TEST_F(FrameTest, EachCardSizeShowsItsPicturesAndPlaysTheClickedCard)
{
    give(0, {"2D", "7H"});
    game->turn = 0;
    for (CardScale scale : CARD_SCALES) {
        SCOPED_TRACE(cardScaleName(scale));
        frame->setCardScale(scale);
        application->runWhileEvents();
        EXPECT_EQ(frame->getWidth(), tableSize(scale).width);
        EXPECT_EQ(frame->getHeight(), tableSize(scale).height);
        FXGIFIcon face(application, artworkAt(scale).cardFaces[0]);
        const CardMetrics& card = frame->tableLayout().card();
        EXPECT_EQ(card.width, face.getWidth());
        EXPECT_EQ(card.height, face.getHeight());

        frame->drawTable(true);
        const Screen screen;
        const Point first = frame->tableLayout().handOrigin(POS_BOTTOM, 2);
        EXPECT_EQ(screen.at(first.x, first.y), opaque(CLOTH));
        EXPECT_EQ(screen.at(first.x, first.y + card.height - 1), opaque(CLOTH));
        EXPECT_NE(screen.at(first.x + card.step() / 2, first.y + card.height / 2), opaque(CLOTH));

        outbox.sent.clear();
        releaseAt(first.x + card.step() / 2, first.y + card.height / 2);
        ASSERT_EQ(outbox.sent.size(), 1u);
        EXPECT_EQ(outbox.sent[0].card, indexOf("2D"));
    }
    frame->setCardScale(CardScale::SMALL);
    application->runWhileEvents();
}

// Whichever way the table changes size, by the menu or by hand, the BEG
// button stands where the layout of the new size puts it, clear of every
// card on the table.
TEST_F(FrameTest, BegButtonFollowsEveryChangeOfSize)
{
    FXWindow* beg = begButton();
    ASSERT_TRUE(beg->isMemberOf(FXMETACLASS(FXButton)));
    auto expectPlaced = [&](const std::string& what) {
        SCOPED_TRACE(what);
        const TableLayout& layout = frame->tableLayout();
        const int barHeight = topBar()->getHeight();
        const Point wanted = layout.begButtonOrigin(beg->getWidth(), barHeight);
        EXPECT_EQ(beg->getX(), wanted.x);
        EXPECT_EQ(beg->getY(), wanted.y);
        // In the canvas's coordinates, a top bar higher than the window's.
        const Rect button{beg->getX(), beg->getY() - barHeight, beg->getWidth(), beg->getHeight()};
        EXPECT_FALSE(overlaps(button, layout.trickArea()));
        for (int p = 0; p < 4; ++p) EXPECT_FALSE(overlaps(button, layout.fullHandArea(p))) << "hand " << p;
        const Point kicked = layout.kickedCardOrigin();
        EXPECT_FALSE(overlaps(button, {kicked.x, kicked.y, layout.card().width, layout.card().height}));
    };
    for (CardScale from : CARD_SCALES)
        for (CardScale to : CARD_SCALES) {
            frame->setCardScale(from);
            application->runWhileEvents();
            frame->setCardScale(to);
            application->runWhileEvents();
            expectPlaced(std::string(cardScaleName(from)) + " to " + cardScaleName(to) + " by the menu");
        }
    const PixelSize small = tableSize(CardScale::SMALL);
    for (const PixelSize& bySize : {PixelSize{small.width + 150, small.height + 40}, small}) {
        frame->resize(bySize.width, bySize.height);
        application->runWhileEvents();
        expectPlaced("resized by hand to " + std::to_string(bySize.width) + "x" + std::to_string(bySize.height));
    }
    frame->setCardScale(CardScale::SMALL);
    application->runWhileEvents();
}

// The widest banners of the game lose neither end: the cloth shows at both
// edges of the banner's band, and the banner's red close inside them.
TEST_F(FrameTest, AnnouncementsStayWithinTheTable)
{
    const FXColor red = opaque(FXRGB(240, 10, 40));
    for (const char* text : {"Jack kicked!", "Under Trump!", "Bullseye!"}) {
        SCOPED_TRACE(text);
        frame->drawTable(false);
        frame->showAnnouncement(text);
        const Screen screen;
        int left = screen.canvas()->getWidth(), right = -1;
        for (int y = 90; y < 170; ++y)
            for (int x = 0; x < screen.canvas()->getWidth(); ++x)
                if (screen.at(x, y) == red) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_GE(right, 0) << "no banner";
        EXPECT_GE(left, 5);
        EXPECT_LE(right, screen.canvas()->getWidth() - 6);
    }
}

TEST_F(FrameTest, SweptTrickLeavesNoTrace)
{
    play(0, "4H");
    play(3, "9H");
    play(1, "QH");
    play(2, "2H");
    game->turn = TURN_IDLE;
    Card* trick = game->trick;
    game->trick = nullptr;
    frame->drawTable(true);
    const Screen bare;
    // Seats 2 and 3 sit left and right: the trick slides away from the
    // other side's slot, whose middle it leaves after five frames.
    for (int winner : {2, 3}) {
        const Point behind = slot(winner == 2 ? POS_RIGHT : POS_LEFT);
        ScreenProbe probe;
        // Well past the fifth frame and before the 45th and last.
        probe.lookAfter(400);
        frame->sweepTrickAway(trick, winner);
        ASSERT_TRUE(probe.shot) << "winner " << winner;
        EXPECT_EQ(probe.shot->at(behind.x + 35, behind.y + 48), bare.at(behind.x + 35, behind.y + 48))
            << "winner " << winner;
        EXPECT_FALSE(probe.shot->sameAs(bare));
        EXPECT_TRUE(Screen().sameAs(bare)) << "winner " << winner;
    }
}

TEST_F(FrameTest, LastTrickShowsUntilTheNextClick)
{
    give(0, {"2D", "7H"});
    game->turn = 0;
    game->lastTrick = {indexOf("AS"), indexOf("KS"), indexOf("QS"), indexOf("JS")};
    frame->drawTable(true);
    const Screen before;
    send(SEL_COMMAND, Frame::ID_LAST_TRICK);
    const Screen shown;
    EXPECT_NE(shown.at(slot(POS_TOP).x + 35, slot(POS_TOP).y + 48), before.at(slot(POS_TOP).x + 35, slot(POS_TOP).y + 48));

    // A click on a card only restores the table.
    const Point mine = frame->tableLayout().handOrigin(POS_BOTTOM, 2);
    releaseAt(mine.x + 5, mine.y + 5);
    EXPECT_TRUE(outbox.sent.empty());
    EXPECT_TRUE(Screen().sameAs(before));
    releaseAt(mine.x + 5, mine.y + 5);
    ASSERT_EQ(outbox.sent.size(), 1u);
    EXPECT_EQ(outbox.sent[0].action, ACTION_PLAY);
    EXPECT_EQ(outbox.sent[0].card, indexOf("2D"));
}

// While a finished trick waits to be swept, its winning card is marked and
// the winner's name lit; the last-trick view marks the winner too and says
// who it was.
TEST_F(FrameTest, TheTricksWinnerIsShown)
{
    const FXColor white = opaque(FXRGB(255, 255, 255));
    const FXColor note = opaque(FXRGB(255, 240, 160));
    game->kicked = take("3D");
    play(1, "4C");
    play(2, "KC");
    play(3, "2D");  // the only trump wins
    play(0, "AC");
    game->turn = TURN_IDLE;
    frame->drawTable(true);
    const Screen paused;
    const Point won = slot(positionOfSeat(*game, 3));
    const Point lost = slot(positionOfSeat(*game, 2));
    EXPECT_EQ(paused.at(won.x + 30, won.y - 2), white);
    EXPECT_NE(paused.at(lost.x + 30, lost.y - 2), white);

    for (Card* c = game->trick; c; c = c->next) game->lastTrick[c->holder] = cardIndex(c);
    game->lastTrickWinner = 3;
    game->trick = nullptr;
    game->turn = 0;
    frame->drawTable(true);
    send(SEL_COMMAND, Frame::ID_LAST_TRICK);
    const Screen view;
    EXPECT_EQ(view.at(won.x + 30, won.y - 2), white);
    const Rect notes = frame->tableLayout().noteArea(4, 16);
    int told = 0;
    for (int y = notes.y; y < notes.y + notes.h + 20; ++y)
        for (int x = notes.x; x < notes.x + notes.w; ++x) told += view.at(x, y) == note;
    EXPECT_GT(told, 30) << "who won it is said";
    frame->table().restoreTable();
    game->kicked = nullptr;
    game->lastTrickWinner = -1;
}

// The hinted card is drawn over its neighbours, its outline whole on both
// sides, in a colour apart from the keys' yellow pick.
TEST_F(FrameTest, TheHintedCardStandsOutWhole)
{
    const FXColor hint = opaque(FXRGB(0, 210, 255));
    give(0, {"2D", "7D", "9D", "KD"});
    game->kicked = take("3C");
    game->turn = 0;
    BackgroundExpert::Advice advice;
    advice.seat = 0;
    advice.card = indexOf("7D");
    frame->table().setHint(advice);
    const Screen screen;
    const TableLayout& layout = frame->tableLayout();
    const Point first = layout.handOrigin(POS_BOTTOM, 4);
    const Point step = layout.handStep(POS_BOTTOM, 4);
    const int x = first.x + step.x;  // the second card
    const int middle = first.y + layout.card().height / 2;
    EXPECT_EQ(screen.at(x - 2, middle), hint) << "left edge";
    EXPECT_EQ(screen.at(x + layout.card().width + 1, middle), hint) << "right edge, over the next card";
    EXPECT_NE(hint, opaque(FXRGB(255, 220, 0)));
    frame->table().moveKeyPick(1);  // the keys' pick is another card
    game->kicked = nullptr;
}

TEST_F(FrameTest, LastTrickBeforeAnyTrickShowsNothing)
{
    game->lastTrick = {NO_CARD, NO_CARD, NO_CARD, NO_CARD};
    frame->drawTable(true);
    const Screen before;
    send(SEL_COMMAND, Frame::ID_LAST_TRICK);
    EXPECT_TRUE(Screen().sameAs(before));
    give(0, {"5C"});
    game->turn = 0;
    frame->drawTable(true);
    const Point mine = frame->tableLayout().handOrigin(POS_BOTTOM, 1);
    releaseAt(mine.x + 5, mine.y + 5);
    EXPECT_EQ(outbox.sent.size(), 1u);  // nothing to restore: the click plays
}

TEST_F(FrameTest, TableRedrawEndsTheLastTrickView)
{
    give(0, {"5C"});
    game->turn = 0;
    game->lastTrick = {indexOf("AS"), indexOf("KS"), indexOf("QS"), indexOf("JS")};
    send(SEL_COMMAND, Frame::ID_LAST_TRICK);
    frame->drawTable(true);  // an action arrived meanwhile
    const Point mine = frame->tableLayout().handOrigin(POS_BOTTOM, 1);
    releaseAt(mine.x + 5, mine.y + 5);
    EXPECT_EQ(outbox.sent.size(), 1u);
}

TEST_F(FrameTest, BegButtonBegsOnlyForAPersonHere)
{
    give(0, {"5C"});
    game->turn = 3;  // a computer eldest is deciding
    frame->setBegEnabled(true);
    send(SEL_COMMAND, Frame::ID_BEG);
    EXPECT_TRUE(outbox.sent.empty());
    EXPECT_TRUE(frame->begEnabled());

    game->turn = 0;
    send(SEL_COMMAND, Frame::ID_BEG);
    ASSERT_EQ(outbox.sent.size(), 1u);
    EXPECT_EQ(outbox.sent[0].action, ACTION_BEG);
    EXPECT_FALSE(frame->begEnabled());
}

// The button's look follows the game itself: a beg that becomes the
// person's (a seat given back) lights it with no further call.
TEST_F(FrameTest, BegButtonStandsOutOnlyWhileTheDecisionIsThePersons)
{
    auto* beg = static_cast<FXButton*>(begButton());
    struct Case {
        bool open;
        int turn;
        bool enabled;
        bool lit;
    } cases[] = {{false, 0, false, false}, {true, 3, true, false}, {true, 0, true, true}, {false, 0, false, false}};
    frame->setBegEnabled(false);
    for (const Case& c : cases) {
        if (c.open != frame->begEnabled()) frame->setBegEnabled(c.open);
        game->turn = c.turn;
        application->forceRefresh();
        EXPECT_EQ(beg->isEnabled(), c.enabled) << "open " << c.open << " turn " << c.turn;
        EXPECT_EQ(beg->getBackColor() != application->getBaseColor(), c.lit) << "open " << c.open << " turn " << c.turn;
    }
}

// The menu entry is greyed out whenever the call would do nothing.
TEST_F(FrameTest, ReneedCallOnlyDuringARound)
{
    FXMenuPane pane(frame);
    FXMenuCommand entry(&pane, "Call Reneed");
    auto offered = [&] {
        frame->handle(&entry, FXSEL(SEL_UPDATE, Frame::ID_CALL_RENEED), nullptr);
        return entry.isEnabled();
    };
    EXPECT_FALSE(offered());
    send(SEL_COMMAND, Frame::ID_CALL_RENEED);
    EXPECT_TRUE(outbox.sent.empty());
    game->kicked = take("9D");
    game->localSeat = 0;
    EXPECT_TRUE(offered());
    send(SEL_COMMAND, Frame::ID_CALL_RENEED);
    ASSERT_EQ(outbox.sent.size(), 1u);
    EXPECT_EQ(outbox.sent[0].action, ACTION_CALL_RENEED);
    EXPECT_EQ(outbox.sent[0].seat, 0);
}

TEST_F(FrameTest, HangJackEndsOnTheTable)
{
    frame->drawTable(true);
    const Screen before;
    frame->showHangJack();
    EXPECT_TRUE(Screen().sameAs(before));
}

// Counts the game actions that the transport hands on.
class CountingHandler : public MessageHandler {
public:
    void onAction(int, const GameAction&) override { ++actions; }
    void onSeating(int, const Seating&) override {}
    void onSeat(int, const SeatRecord&) override {}
    void onJoin(int, const JoinRecord&) override {}
    void onReady(int) override {}
    void onRules(int, const RuleSettings&) override {}
    void onAccepted(int) override {}
    void onClosed(int) override {}
    int actions = 0;
};

TEST_F(FrameTest, NoMessageIsHandledWhileTheTrickSlides)
{
    Transport transport(*frame, *game);
    CountingHandler handler;
    const int writer = connectedPair(transport, handler);
    play(0, "4H");
    transport.sendActionMessage(writer, GameAction{});

    Card* trick = game->trick;
    game->trick = nullptr;
    // The animation's nested loop would otherwise read the waiting message.
    frame->sweepTrickAway(trick, 1);
    EXPECT_EQ(handler.actions, 0);
    application->runWhileEvents();
    EXPECT_EQ(handler.actions, 1);
    frame->setTransport(nullptr);
}

// The round summary window among the top windows of the application.
Rect rootRect(const FXWindow* window)
{
    FXint x = 0;
    FXint y = 0;
    window->translateCoordinatesTo(x, y, application->getRootWindow(), 0, 0);
    return {x, y, window->getWidth(), window->getHeight()};
}

// A rectangle of the table on the screen.
Rect onScreen(Rect r)
{
    const Rect canvas = rootRect(Screen::canvas());
    r.x += canvas.x;
    r.y += canvas.y;
    return r;
}

FXTopWindow* findSummary()
{
    for (FXWindow* w = application->getRootWindow()->getFirst(); w; w = w->getNext())
        if (w->shown() && w->isMemberOf(FXMETACLASS(FXDialogBox)) &&
            static_cast<FXTopWindow*>(w)->getTitle() == "Round summary")
            return static_cast<FXTopWindow*>(w);
    return nullptr;
}

TEST_F(FrameTest, RoundSummaryReplacesTheLastAndCloses)
{
    RoundSummary summary;
    summary.teams[0] = {"P0 && P1", {"Played high", "Played low", "Hung jack"}, "Gained 3 points"};
    summary.teams[1] = {"P2 && P3", {"Won game point"}, "Gained 1 point"};
    frame->showRoundSummary(summary);
    frame->showRoundSummary(summary);
    application->runWhileEvents();
    int shown = 0;
    for (FXWindow* w = application->getRootWindow()->getFirst(); w; w = w->getNext())
        if (w->shown() && w->isMemberOf(FXMETACLASS(FXDialogBox))) ++shown;
    EXPECT_EQ(shown, 1);
    FXTopWindow* box = findSummary();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getWidth(), 320);
    // Out of the way of the trick, where the next round's cards land, of
    // the person's hand, however full, and, on a screen with room, of the
    // corners where the next beg is decided and told.
    const Rect placed = rootRect(box);
    const TableLayout& layout = frame->tableLayout();
    for (const Rect& r : {layout.trickArea(), layout.fullHandArea(POS_BOTTOM), layout.begCorner(), layout.noteArea(3, 16)})
        EXPECT_FALSE(overlaps(placed, onScreen(r)));
    frame->closeRoundSummary();
    EXPECT_EQ(findSummary(), nullptr);
}

// Measured in the fonts in use: no line of one column runs into a line of
// the other, and every line stays inside the window.
TEST_F(FrameTest, RoundSummaryColumnsStandApart)
{
    const std::vector<std::string> everyLine = {
        "Played high", "Played low", "Played jack safely", "Hung jack", "Took one", "Kicked 2 aces",
        "Kicked 2 jacks", "Kicked 2 sixes", "Kicked 2 twos", "41 points towards game", "Won game point"};
    const std::vector<std::string> fewLines = {"Played high", "Played low", "Hung jack", "0 points towards game"};
    struct Case {
        RoundSummaryColumn left, right;
    };
    const Case cases[] = {
        {{"P0 && P1", everyLine, "Gained 14 points"}, {"P2 && P3", everyLine, "Gained -14 points"}},
        {{"P0 && P1", everyLine, "Gained 3 points"}, {"P2 && P3", fewLines, "Gained 1 point"}},
        {{"Bossman && Mr. Anderson", fewLines, "Gained 0 points"}, {"Ganja smoker && Moko Jumbie", everyLine, "Gained 1 point"}},
        {{"Kim", everyLine, "Gained 2 points"}, {"Horse", everyLine, "Gained -1 points"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.left.heading + " / " + c.right.heading);
        RoundSummary summary;
        summary.teams[0] = c.left;
        summary.teams[1] = c.right;
        frame->showRoundSummary(summary);
        application->runWhileEvents();
        FXTopWindow* box = findSummary();
        ASSERT_NE(box, nullptr);
        EXPECT_GE(box->getWidth(), 320);
        std::vector<FXWindow*> labels;
        for (FXWindow* w = box->getFirst(); w; w = w->getNext())
            if (w->isMemberOf(FXMETACLASS(FXLabel))) labels.push_back(w);
        for (size_t i = 0; i < labels.size(); ++i) {
            const FXWindow* a = labels[i];
            EXPECT_GE(a->getX(), 0);
            EXPECT_LE(a->getX() + a->getWidth(), box->getWidth()) << static_cast<const FXLabel*>(a)->getText().text();
            for (size_t j = i + 1; j < labels.size(); ++j) {
                const FXWindow* b = labels[j];
                const bool sameRow = a->getY() < b->getY() + b->getHeight() && b->getY() < a->getY() + a->getHeight();
                const bool apart = a->getX() + a->getWidth() <= b->getX() || b->getX() + b->getWidth() <= a->getX();
                EXPECT_TRUE(!sameRow || apart) << static_cast<const FXLabel*>(a)->getText().text() << " and "
                                               << static_cast<const FXLabel*>(b)->getText().text();
            }
        }
        frame->closeRoundSummary();
    }
}

TEST_F(FrameTest, QuitButtonClosesItsDialogFirst)
{
    auto* dialog = new FXDialogBox(frame, "Setup");
    auto* row = new FXHorizontalFrame(dialog);
    auto* quit = new FXButton(row, " Quit ", nullptr, frame, Frame::ID_QUIT_GAME);
    dialog->create();
    dialog->show(PLACEMENT_OWNER);
    game->sessionMode = MODE_LOCAL;
    frame->handle(quit, FXSEL(SEL_COMMAND, Frame::ID_QUIT_GAME), nullptr);
    EXPECT_FALSE(dialog->shown());
    EXPECT_EQ(game->sessionMode, MODE_QUITTING);
    delete dialog;
}

FXTopWindow* shownDialog(const FXString& title)
{
    for (FXWindow* w = application->getRootWindow()->getFirst(); w; w = w->getNext())
        if (w->shown() && w->isMemberOf(FXMETACLASS(FXDialogBox)) && static_cast<FXTopWindow*>(w)->getTitle() == title)
            return static_cast<FXTopWindow*>(w);
    return nullptr;
}

TEST_F(FrameTest, SetupTimerOpensOneSetupDialogAndHidesTheBegButton)
{
    MapStore store;
    PlayerNames names(store);
    ComputerChoice computers(store);
    frame->attach({nullptr, &names, nullptr, &store, &computers});
    frame->showBegButton(true);
    for (int opening = 0; opening < 2; ++opening) {
        game->sessionMode = MODE_LOCAL;
        send(SEL_TIMEOUT, Frame::ID_SETUP_TIMER);
        EXPECT_EQ(game->sessionMode, MODE_SETUP);
        EXPECT_FALSE(begButton()->shown());
        FXTopWindow* setup = shownDialog("Game Setup");
        ASSERT_NE(setup, nullptr);
        setup->hide();
        EXPECT_EQ(shownDialog("Game Setup"), nullptr);
    }
    int setups = 0;
    for (FXWindow* w = application->getRootWindow()->getFirst(); w; w = w->getNext())
        if (w->isMemberOf(FXMETACLASS(FXDialogBox)) && static_cast<FXTopWindow*>(w)->getTitle() == "Game Setup")
            ++setups;
    EXPECT_EQ(setups, 1) << "made once and kept";
    frame->attach({});
}

TEST_F(FrameTest, SolidBackgroundIsDrawnAndStoredAtOnce)
{
    MapStore store;
    frame->attach({nullptr, nullptr, nullptr, &store});
    auto* picture = new FXImage(application, nullptr, IMAGE_KEEP | IMAGE_OWNED, 640, 480);
    picture->fill(FXRGB(200, 40, 40));
    picture->create();
    frame->setBackgroundImage(picture);
    frame->drawTable(true);
    EXPECT_EQ(Screen().at(320, 200), opaque(FXRGB(200, 40, 40)));
    send(SEL_COMMAND, Frame::ID_BACKGROUND_SOLID);
    EXPECT_EQ(Screen().at(320, 200), opaque(CLOTH));
    EXPECT_EQ(store.flushed["Display/Background"], "solid");
    frame->attach({});
}

// Asks the frame to begin a new game from inside the delivery of an action,
// as a menu command can arrive while the engine pauses or animates.
class NewGameMidAction : public CountingHandler {
public:
    void onAction(int slot, const GameAction& action) override
    {
        CountingHandler::onAction(slot, action);
        applying = true;
        frame->handle(frame, FXSEL(SEL_COMMAND, Frame::ID_NEW_LOCAL_GAME), nullptr);
        applying = false;
    }
    bool applying = false;
};

// Answers the first modal box (with No unless told otherwise), noting its
// title and whether an action was being applied when it came.
class BoxAnswerer : public FXObject {
    FXDECLARE(BoxAnswerer)

public:
    enum { ID_LOOK = 1 };
    explicit BoxAnswerer(const NewGameMidAction* h = nullptr, FXuint button = MBOX_CLICKED_NO)
        : handler(h), answer(button)
    {
        look();
    }
    ~BoxAnswerer() override { application->removeTimeout(this, ID_LOOK); }
    long onLook(FXObject*, FXSelector, void*)
    {
        FXWindow* modal = application->getModalWindow();
        if (!modal) {
            look();
            return 1;
        }
        title = static_cast<FXTopWindow*>(modal)->getTitle();
        whileApplying = handler && handler->applying;
        FXint x = 0;
        FXint y = 0;
        modal->translateCoordinatesTo(x, y, application->getRootWindow(), 0, 0);
        where = {x, y, modal->getWidth(), modal->getHeight()};
        application->stopModal(modal, answer);
        return 1;
    }
    FXString title;
    bool whileApplying = false;
    Rect where;  // on the screen

private:
    void look() { application->addTimeout(this, ID_LOOK, 10); }
    const NewGameMidAction* handler;
    FXuint answer;
};

FXDEFMAP(BoxAnswerer) BoxAnswererMap[] = {FXMAPFUNC(SEL_TIMEOUT, BoxAnswerer::ID_LOOK, BoxAnswerer::onLook)};
FXIMPLEMENT(BoxAnswerer, FXObject, BoxAnswererMap, ARRAYNUMBER(BoxAnswererMap))

TEST_F(FrameTest, NewGameWaitsUntilTheActionIsApplied)
{
    Transport transport(*frame, *game);
    NewGameMidAction handler;
    const int writer = connectedPair(transport, handler);
    BoxAnswerer answerer(&handler);
    transport.sendActionMessage(writer, GameAction{});
    // The answerer looks every 10 ms, so no wait blocks for long.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (answerer.title.empty() && std::chrono::steady_clock::now() < giveUp) application->runOneEvent(true);
    EXPECT_EQ(handler.actions, 1);
    EXPECT_STREQ(answerer.title.text(), "New Game");
    EXPECT_FALSE(answerer.whileApplying);
    frame->setTransport(nullptr);
}

// Escape (or closing the box) is no No: "Play again?" and the dealer's
// question take every answer but No as yes.
TEST_F(FrameTest, EveryAnswerButNoIsYes)
{
    const struct {
        FXuint button;
        bool yes;
    } cases[] = {{MBOX_CLICKED_YES, true}, {MBOX_CLICKED_NO, false}, {MBOX_CLICKED_CANCEL, true}};
    for (const auto& c : cases) {
        BoxAnswerer answerer(nullptr, c.button);
        EXPECT_EQ(frame->askQuestion("Game over", "Play again?"), c.yes) << c.button;
        EXPECT_STREQ(answerer.title.text(), "Game over");
    }
}

TEST_F(FrameTest, ABoxOpenedWhileTheSummaryShowsStandsClearOfIt)
{
    RoundSummary summary;
    summary.teams[0] = {"P0 && P1", {"Played high"}, "Gained 1 point"};
    summary.teams[1] = {"P2 && P3", {}, "Gained 0 points"};
    frame->showRoundSummary(summary);
    FXTopWindow* box = findSummary();
    ASSERT_NE(box, nullptr);
    // Where a box centred on the main window would open.
    box->move(frame->getX() + frame->getWidth() / 2 - box->getWidth() / 2,
              frame->getY() + frame->getHeight() / 2 - box->getHeight() / 2);
    application->runWhileEvents();
    BoxAnswerer answerer(nullptr, MBOX_CLICKED_OK);
    frame->showInformation("Take One", "P3 begged, take one!");
    EXPECT_STREQ(answerer.title.text(), "Take One");
    EXPECT_FALSE(overlaps(answerer.where, rootRect(box)));
}

// Sends each action straight back into the game, as the loopback would,
// noting when it went out.
class ApplyingOutbox : public Outbox {
public:
    void sendAction(int, const GameAction& action) override
    {
        sentAt.push_back(std::chrono::steady_clock::now());
        receiveAction(*game, action);
    }
    std::vector<std::chrono::steady_clock::time_point> sentAt;
};

long long msBetween(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count();
}

// Two computer cards in a row: the second waits as long as the first, by a
// timer, and the chosen speed is what the next start reads.
TEST_F(FrameTest, ComputerCardsWaitAsTheSpeedSaysAndTheSpeedIsKept)
{
    struct Case {
        Frame::Ids entry;
        GameSpeed speed;
        const char* stored;
        int waitMs;
    };
    const Case cases[] = {
        {Frame::ID_SPEED_FAST, GameSpeed::FAST, "Fast", 0},
        {Frame::ID_SPEED_NORMAL, GameSpeed::NORMAL, "Normal", 450},
        {Frame::ID_SPEED_SLOW, GameSpeed::SLOW, "Slow", 900},
    };
    MapStore store;
    frame->attach({nullptr, nullptr, nullptr, &store});
    EXPECT_EQ(frame->gameSpeed(), GameSpeed::NORMAL) << "the default";
    ComputerStrategy computers;
    computers.setPace(frame);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        initGame(*game);
        SetUp();
        ApplyingOutbox applying;
        game->outbox = &applying;
        game->computers = &computers;
        game->kicked = take("4S");
        // Seat 1 leads, seat 2 follows, then it is the person's turn.
        give(1, {"5D", "6C"});
        give(2, {"7D", "8C"});
        give(0, {"9D"});
        game->turn = 1;
        send(SEL_COMMAND, c.entry);
        EXPECT_EQ(store.flushed["Display/Speed"], c.stored);

        const auto start = std::chrono::steady_clock::now();
        computers.runComputerTurn(*game);
        if (c.waitMs == 0) {
            EXPECT_EQ(applying.sentAt.size(), 2u) << "both at once, without the event loop";
        } else {
            EXPECT_TRUE(applying.sentAt.empty()) << "nothing before the wait";
            const auto giveUp = start + std::chrono::seconds(5);
            while (applying.sentAt.size() < 2 && std::chrono::steady_clock::now() < giveUp)
                application->runOneEvent(true);
            ASSERT_EQ(applying.sentAt.size(), 2u);
            EXPECT_GE(msBetween(start, applying.sentAt[0]), c.waitMs);
            EXPECT_GE(msBetween(applying.sentAt[0], applying.sentAt[1]), c.waitMs);
        }
        EXPECT_EQ(countCards(game->trick), 2);
        EXPECT_EQ(game->turn, 0);

        frame->attach({nullptr, nullptr, nullptr, &store});
        EXPECT_EQ(frame->gameSpeed(), c.speed);
        game->computers = nullptr;
        game->outbox = &outbox;
    }
    frame->attach({});
}

int countNear(const Screen& screen, const Rect& area, FXColor colour)
{
    int count = 0;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x) {
            const FXColor c = screen.at(x, y);
            if (std::abs(int(FXREDVAL(c)) - int(FXREDVAL(colour))) < 24 &&
                std::abs(int(FXGREENVAL(c)) - int(FXGREENVAL(colour))) < 24 &&
                std::abs(int(FXBLUEVAL(c)) - int(FXBLUEVAL(colour))) < 24)
                ++count;
        }
    return count;
}

TEST_F(FrameTest, TurnMarkerPromptAndNotesShowOnTheTable)
{
    constexpr FXColor MARK = FXRGB(255, 220, 0);
    constexpr FXColor NOTE = FXRGB(255, 240, 160);
    give(0, {"5C"});
    const Point bottom = slot(POS_BOTTOM);
    const Rect slotArea{bottom.x - 40, bottom.y, 71 + 80, 96};
    const Rect noteArea{640 - 220, 0, 220, 70};

    game->turn = 1;
    frame->drawTable(true);
    EXPECT_EQ(countNear(Screen(), slotArea, MARK), 0);

    game->turn = 0;
    frame->setBegEnabled(true);
    frame->drawTable(true);
    const Screen begOpen;
    // A bright band outside the slot, black at its edges.
    EXPECT_EQ(begOpen.at(bottom.x - 2, bottom.y + 10), opaque(MARK));
    EXPECT_EQ(begOpen.at(bottom.x - 1, bottom.y + 10), opaque(FXRGB(0, 0, 0)));
    EXPECT_EQ(begOpen.at(bottom.x - 4, bottom.y + 10), opaque(FXRGB(0, 0, 0)));
    const int withPrompt = countNear(begOpen, {bottom.x - 40, bottom.y + 2, 151, 92}, MARK);
    frame->setBegEnabled(false);
    frame->drawTable(true);
    EXPECT_GT(withPrompt, countNear(Screen(), {bottom.x - 40, bottom.y + 2, 151, 92}, MARK) + 50)
        << "\"Beg or play a card\" while the beg is the person's";

    EXPECT_EQ(countNear(Screen(), noteArea, NOTE), 0);
    frame->showNote("P3 begs.");
    frame->showNote("P2 runs the pack.");
    EXPECT_GT(countNear(Screen(), noteArea, NOTE), 50) << "shown at once";
    play(0, "4H");
    Card* trick = game->trick;
    game->trick = nullptr;
    frame->sweepTrickAway(trick, 0);
    EXPECT_EQ(countNear(Screen(), noteArea, NOTE), 0) << "gone with the first trick";
}

TEST_F(FrameTest, KeysTypedIntoATextFieldAreNoPlays)
{
    game->sessionMode = MODE_LOCAL;
    give(0, {"5H"});
    game->turn = 0;
    frame->setBegEnabled(true);
    auto* field = new FXTextField(frame, 10);
    field->create();
    field->setFocus();
    for (FXuint key : {KEY_b, KEY_Right, KEY_Return}) {
        FXEvent event{};
        event.code = key;
        send(SEL_KEYPRESS, 0, &event);
    }
    EXPECT_TRUE(outbox.sent.empty());
    delete field;
    game->sessionMode = MODE_QUITTING;
}

TEST_F(FrameTest, QuittingAGameInProgressAsksFirst)
{
    struct Case {
        const char* what;
        SessionMode mode;
        FXSelector type;
        FXSelector id;
        FXuint answer;
        bool asked;
        bool quits;
    };
    const Case cases[] = {
        {"Quit in a game, No", MODE_LOCAL, SEL_COMMAND, Frame::ID_QUIT, MBOX_CLICKED_NO, true, false},
        {"window closed in a game, No", MODE_JOINED, SEL_CLOSE, 0, MBOX_CLICKED_NO, true, false},
        {"Quit in a game, Yes", MODE_LOCAL, SEL_COMMAND, Frame::ID_QUIT, MBOX_CLICKED_YES, true, true},
        {"Quit from the setup dialog", MODE_SETUP, SEL_COMMAND, Frame::ID_QUIT, MBOX_CLICKED_NO, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game->sessionMode = c.mode;
        BoxAnswerer answerer(nullptr, c.answer);
        send(c.type, c.id);
        EXPECT_EQ(answerer.title == "Quit", c.asked);
        EXPECT_EQ(game->sessionMode == MODE_QUITTING, c.quits);
    }
}

// What the keys send, as a click on the same card would.
TEST_F(FrameTest, KeysPickAndPlayThroughTheSameChecksAsClicks)
{
    struct Case {
        const char* what;
        std::vector<FXuint> keys;
        int turn;
        bool begOpen;
        std::vector<std::string> sent;  // "play" and the card, or "beg"
        const char* box;                // a refusal shown, or nothing
    };
    const std::vector<Case> cases = {
        {"Right twice picks the second card", {KEY_Right, KEY_Right, KEY_Return}, 0, false, {"play 5H"}, nullptr},
        {"Left first picks the last card", {KEY_Left, KEY_space}, 0, false, {"play 9S"}, nullptr},
        {"Right stops at the last card", {KEY_Left, KEY_Right, KEY_KP_Enter}, 0, false, {"play 9S"}, nullptr},
        {"a card that does not follow", {KEY_Right, KEY_Return}, 0, false, {}, "Pick Again"},
        {"nothing picked", {KEY_Return}, 0, false, {}, nullptr},
        {"B begs while the beg is open", {KEY_b}, 0, true, {"beg"}, nullptr},
        {"B with no beg open", {KEY_b}, 0, false, {}, nullptr},
        {"not the person's turn", {KEY_Right, KEY_Return, KEY_b}, 3, true, {}, nullptr},
    };
    game->sessionMode = MODE_LOCAL;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        game->kicked = take("4S");
        give(0, {"2C", "5H", "9S"});
        play(1, "3H");
        game->turn = c.turn;
        frame->setBegEnabled(c.begOpen);
        outbox.sent.clear();
        BoxAnswerer answerer(nullptr, MBOX_CLICKED_OK);
        for (FXuint key : c.keys) {
            FXEvent event{};
            event.code = key;
            send(SEL_KEYPRESS, 0, &event);
        }
        std::vector<std::string> sent;
        for (const GameAction& a : outbox.sent)
            sent.push_back(a.action == ACTION_BEG ? "beg" : "play " + std::to_string(a.card));
        std::vector<std::string> expected;
        for (const std::string& e : c.sent)
            expected.push_back(e == "beg" ? e : "play " + std::to_string(indexOf(e.substr(5))));
        EXPECT_EQ(sent, expected);
        EXPECT_STREQ(answerer.title.text(), c.box ? c.box : "");
        initGame(*game);
        // A pick lasts until the next action comes back.
        ++game->appliedActions;
    }
    game->sessionMode = MODE_QUITTING;
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    GameState state;  // the window points into it
    FXApp app("marvanto-test", "zok");
    app.init(argc, argv);
    application = &app;
    initGame(state);
    game = &state;
    frame = new Frame(&app, game, CardScale::SMALL);
    app.create();
    frame->show(PLACEMENT_SCREEN);
    app.runWhileEvents();
    return RUN_ALL_TESTS();
}
