// The setup, prompt and network dialogs on a real display (xvfb-run);
// skipped without one. Modal dialogs are driven from a timer inside their
// modal loops, as a person would press their buttons.
#include <fx.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/network_dialog.h"
#include "net/poll_loop.h"
#include "net/prompt_dialog.h"
#include "net/setup_dialog.h"
#include "tests/net/net_harness.h"
#include "tests/support/map_store.h"

// Records the commands the dialogs send to the main window.
class OwnerWindow : public FXMainWindow {
    FXDECLARE(OwnerWindow)

protected:
    OwnerWindow() {}

public:
    explicit OwnerWindow(FXApp* application) : FXMainWindow(application, "main", nullptr, nullptr, DECOR_ALL, 0, 0, 200, 100) {}

    long onCmdMain(FXObject*, FXSelector sel, void*)
    {
        commands.push_back(FXSELID(sel));
        return 1;
    }

    std::vector<FXSelector> commands;
};

FXDEFMAP(OwnerWindow) OwnerWindowMap[] = {
    FXMAPFUNCS(SEL_COMMAND, ID_START_GAME, ID_QUIT_GAME, OwnerWindow::onCmdMain),
};
FXIMPLEMENT(OwnerWindow, FXMainWindow, OwnerWindowMap, ARRAYNUMBER(OwnerWindowMap))

// Every 10 ms: runs the pump, answers an open message box (keeping
// "caption: text"), then runs the next step once its condition holds. A
// modal dialog left open with no step to come, or a step still waiting
// after five seconds, is closed and counted as a failure.
class Driver : public FXObject {
    FXDECLARE(Driver)

public:
    enum { ID_TICK = 1 };

    struct Step {
        std::function<bool()> ready;  // none: at once
        std::function<void()> act;
    };

    void add(std::function<void()> act, std::function<bool()> ready = nullptr)
    {
        steps.push_back({std::move(ready), std::move(act)});
    }

    // Runs body, which opens modal dialogs, with the timer going.
    void run(const std::function<void()>& body)
    {
        deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        FXApp::instance()->addTimeout(this, ID_TICK, 10);
        body();
        FXApp::instance()->removeTimeout(this, ID_TICK);
        EXPECT_TRUE(steps.empty()) << steps.size() << " steps did not run";
        EXPECT_EQ(failures, 0) << "a modal dialog had to be closed by force";
    }

    long onTick(FXObject*, FXSelector, void*)
    {
        FXApp* app = FXApp::instance();
        app->addTimeout(this, ID_TICK, 10);
        if (pump) pump();
        FXWindow* modal = app->getModalWindow();
        if (auto* box = dynamic_cast<FXMessageBox*>(modal)) {
            boxes.push_back(box->getTitle().text() + std::string(": ") + messageOf(box));
            app->stopModal(box, MBOX_CLICKED_OK);
            return 1;
        }
        if (busy) return 1;
        if (steps.empty() || std::chrono::steady_clock::now() > deadline) {
            if (modal) {
                ++failures;
                steps.clear();
                app->stopModal(modal, 0);
            }
            return 1;
        }
        if (steps.front().ready && !steps.front().ready()) return 1;
        const Step step = steps.front();
        steps.pop_front();
        busy = true;
        step.act();
        busy = false;
        return 1;
    }

    static std::string messageOf(FXWindow* window)
    {
        for (FXWindow* child = window->getFirst(); child; child = child->getNext()) {
            if (child->getMetaClass() == FXMETACLASS(FXLabel) && !static_cast<FXLabel*>(child)->getText().empty())
                return static_cast<FXLabel*>(child)->getText().text();
            const std::string inner = messageOf(child);
            if (!inner.empty()) return inner;
        }
        return std::string();
    }

    std::function<void()> pump;
    std::vector<std::string> boxes;

private:
    std::deque<Step> steps;
    std::chrono::steady_clock::time_point deadline;
    bool busy = false;
    int failures = 0;
};

FXDEFMAP(Driver) DriverMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, Driver::ID_TICK, Driver::onTick),
};
FXIMPLEMENT(Driver, FXObject, DriverMap, ARRAYNUMBER(DriverMap))

namespace {

template <class T>
void collect(FXWindow* root, std::vector<T*>& found)
{
    for (FXWindow* child = root->getFirst(); child; child = child->getNext()) {
        if (auto* widget = dynamic_cast<T*>(child)) found.push_back(widget);
        collect(child, found);
    }
}

template <class T>
std::vector<T*> findAll(FXWindow* root)
{
    std::vector<T*> found;
    collect(root, found);
    return found;
}

FXButton* buttonNamed(FXWindow* root, const char* text)
{
    for (FXButton* button : findAll<FXButton>(root))
        if (button->getText() == text) return button;
    ADD_FAILURE() << "no button " << text;
    return nullptr;
}

// Sends a button's or check button's command as a click would: only when
// it is enabled.
void press(FXWindow* button)
{
    ASSERT_TRUE(button && button->isEnabled());
    button->getTarget()->handle(button, FXSEL(SEL_COMMAND, button->getSelector()), nullptr);
}

template <class Box>
std::vector<std::string> itemsOf(Box* box)
{
    std::vector<std::string> items;
    for (FXint i = 0; i < box->getNumItems(); ++i) items.push_back(box->getItemText(i).text());
    return items;
}

using Items = std::vector<std::string>;

class DialogsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!std::getenv("DISPLAY")) return;
        static int argc = 1;
        static char name[] = "net_dialog_tests";
        static char* argv[] = {name, nullptr};
        app = new FXApp("marvanto_test", "zok");
        app->init(argc, argv);
        window = new OwnerWindow(app);
        app->create();
        window->show(PLACEMENT_SCREEN);
    }

    void SetUp() override
    {
        if (!app) GTEST_SKIP() << "no X display";
        window->commands.clear();
    }

    static FXApp* app;
    static OwnerWindow* window;
    MapStore store;
    Driver driver;
};

FXApp* DialogsTest::app = nullptr;
OwnerWindow* DialogsTest::window = nullptr;

// The game setup dialog runs without a modal loop, so its handlers are
// called directly.
class GameSetupTest : public DialogsTest {
protected:
    void open(const char* saved)
    {
        if (saved) store.values["SETTINGS/names"] = saved;
        names.emplace(store);
        computers.emplace(store);
        setup = new GameSetup(window, game, *names, *computers);
        setup->create();
        setup->open();
        const auto boxes = findAll<FXComboBox>(setup);
        ASSERT_EQ(boxes.size(), 2u);
        nameBox = boxes[0];
        partnerBox = boxes[1];
    }

    void TearDown() override { delete setup; }

    GameState game;
    std::optional<PlayerNames> names;
    std::optional<ComputerChoice> computers;
    GameSetup* setup = nullptr;
    FXComboBox* nameBox = nullptr;
    FXComboBox* partnerBox = nullptr;
};

TEST_F(GameSetupTest, FirstOpeningOffersOnlyNobody)
{
    open(nullptr);
    EXPECT_TRUE(setup->shown());
    EXPECT_EQ(setup->getTitle(), "Game Setup");
    EXPECT_EQ(itemsOf(nameBox), Items{});
    EXPECT_EQ(itemsOf(partnerBox), Items{"Nobody"});
    EXPECT_EQ(partnerBox->getText(), "Nobody");
    EXPECT_EQ(nameBox->getText(), "");
}

TEST_F(GameSetupTest, EverySavedNameIsListedOnceAndTheFieldsKeepTheirText)
{
    open("Ann\n\nBob\nAnn");
    EXPECT_EQ(itemsOf(nameBox), (Items{"Ann", "Bob"}));
    EXPECT_EQ(itemsOf(partnerBox), (Items{"Nobody", "Ann", "Bob"}));
    EXPECT_EQ(nameBox->getText(), "");
    nameBox->setText("Cid");
    partnerBox->setCurrentItem(2);
    press(buttonNamed(setup, " Start Game "));
    EXPECT_FALSE(setup->shown());

    setup->open();
    EXPECT_EQ(itemsOf(nameBox), (Items{"Ann", "Bob", "Cid"}));
    EXPECT_EQ(itemsOf(partnerBox), (Items{"Nobody", "Ann", "Bob", "Cid"}));
    EXPECT_EQ(nameBox->getText(), "Cid");
    EXPECT_EQ(partnerBox->getText(), "Bob");
    EXPECT_EQ(partnerBox->getCurrentItem(), 2);
}

TEST_F(GameSetupTest, WhoPlayedLastIsShownAtTheFirstOpening)
{
    struct Case {
        const char* partner;  // stored as who played last beside the player
        const char* shown;
        int item;
        int localPlayers;  // once started as shown
    };
    const Case cases[] = {
        {"Bob", "Bob", 2, 2},
        {"", "Nobody", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.partner);
        store.values["SETTINGS/last"] = "Ann";
        store.values["SETTINGS/partner"] = c.partner;
        open("Ann\nBob");
        EXPECT_EQ(nameBox->getText(), "Ann");
        auto* field = dynamic_cast<FXTextField*>(nameBox->getFirst());
        ASSERT_NE(field, nullptr);
        EXPECT_TRUE(field->isPosSelected(0) && field->isPosSelected(2)) << "typing replaces it";
        EXPECT_EQ(partnerBox->getText(), c.shown);
        EXPECT_EQ(partnerBox->getCurrentItem(), c.item);
        press(buttonNamed(setup, " Start Game "));
        EXPECT_EQ(game.localPlayers, c.localPlayers);
        delete setup;
        setup = nullptr;
    }
}

TEST_F(GameSetupTest, DuvantoHidesThePartnerControlsAndIgnoresThem)
{
    open("Bob");
    auto* check = findAll<FXCheckButton>(setup).at(0);
    FXWindow* partnerLabel = nullptr;
    for (FXLabel* label : findAll<FXLabel>(setup))
        if (label->getText() == "Partner: ") partnerLabel = label;
    ASSERT_TRUE(partnerLabel);
    FXWindow* partnerControls[] = {partnerLabel, partnerBox, partnerBox->getParent()};

    for (const bool duvanto : {true, false}) {
        check->setCheck(duvanto);
        press(check);
        for (FXWindow* control : partnerControls) EXPECT_EQ(control->shown(), !duvanto);
    }
    check->setCheck(true);
    press(check);
    partnerBox->setCurrentItem(1);
    nameBox->setText("Ann");
    press(buttonNamed(setup, " Start Game "));
    EXPECT_EQ(game.seatCount, 2);
    EXPECT_EQ(game.localPlayers, 1);
    EXPECT_FALSE(game.seats[1].inPlay());
}

TEST_F(GameSetupTest, StartNeedsANameThenSeatsThePlayersAndStartsTheGame)
{
    const struct {
        const char* what;
        int partnerItem;  // -1: left as it is
        const char* partnerText;
        std::optional<std::string> partner;
    } cases[] = {
        {"Nobody as it starts", -1, nullptr, std::nullopt},
        {"a saved partner chosen", 1, nullptr, "Bob"},
        {"Nobody typed over a chosen name", 1, "Nobody", "Nobody"},
        {"a new partner typed", -1, "Eve", "Eve"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        open("Bob");
        press(buttonNamed(setup, " Start Game "));
        EXPECT_TRUE(setup->shown()) << "an empty name starts nothing";
        EXPECT_TRUE(window->commands.empty());

        nameBox->setText("Ann");
        if (c.partnerItem >= 0) partnerBox->setCurrentItem(c.partnerItem);
        if (c.partnerText) partnerBox->setText(c.partnerText);
        press(buttonNamed(setup, " Start Game "));
        EXPECT_FALSE(setup->shown());
        EXPECT_EQ(window->commands, std::vector<FXSelector>{ID_START_GAME});
        EXPECT_EQ(game.seats[0].name, "Ann");
        EXPECT_EQ(game.seatCount, 4);
        EXPECT_EQ(game.localPlayers, c.partner ? 2 : 1);
        EXPECT_EQ(game.seats[1].inPlay(), c.partner.has_value());
        if (c.partner) {
            EXPECT_EQ(game.seats[1].name, *c.partner);
        }
        EXPECT_EQ(store.values["SETTINGS/names"], c.partner && *c.partner != "Bob" ? "Bob\nAnn\n" + *c.partner : "Bob\nAnn");

        delete setup;
        setup = nullptr;
        store.values.clear();
        window->commands.clear();
    }
}

// The level applies to the game that starts and is remembered for the next
// run; a stored value the program does not know reads as Standard.
TEST_F(GameSetupTest, ComputerLevelIsOfferedRememberedAndApplied)
{
    const struct {
        const char* what;
        std::optional<std::string> stored;
        int shown;   // the entry the dialog opens with
        int chosen;  // the entry chosen before Start Game
        const char* remembered;
    } cases[] = {
        {"nothing stored", std::nullopt, 0, 1, "Expert"},
        {"Expert stored", "Expert", 1, 0, "Standard"},
        {"an unknown level stored", "Grandmaster", 0, 0, "Standard"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        store.values.clear();
        if (c.stored) store.values["SETTINGS/computer"] = *c.stored;
        open(nullptr);
        const auto lists = findAll<FXListBox>(setup);
        ASSERT_EQ(lists.size(), 1u);
        FXListBox* level = lists[0];
        EXPECT_EQ(level->getNumItems(), 2);
        EXPECT_EQ(level->getItemText(0), "Standard");
        EXPECT_EQ(level->getItemText(1), "Expert");
        EXPECT_EQ(level->getCurrentItem(), c.shown);

        level->setCurrentItem(c.chosen);
        nameBox->setText("Ann");
        press(buttonNamed(setup, " Start Game "));
        EXPECT_EQ(computers->level(), c.chosen == 1 ? ComputerLevel::EXPERT : ComputerLevel::STANDARD);
        EXPECT_EQ(store.flushed["SETTINGS/computer"], c.remembered);
        delete setup;
        setup = nullptr;
    }
}

TEST_F(GameSetupTest, QuitGoesToTheMainWindow)
{
    open(nullptr);
    press(buttonNamed(setup, " Quit "));
    EXPECT_EQ(window->commands, std::vector<FXSelector>{ID_QUIT_GAME});
}

TEST_F(DialogsTest, PromptKeepsTheTextOfOkUntilCleared)
{
    PromptDialog prompt(window, "Connect to host (testing)", "Enter IP address: ");
    FXuint answer = 99;
    driver.add([&] {
        findAll<FXTextField>(&prompt).at(0)->setText("10.1.2.3");
        press(buttonNamed(&prompt, " OK "));
    });
    driver.run([&] { answer = prompt.execute(PLACEMENT_CURSOR); });
    EXPECT_EQ(answer, 1u);
    ASSERT_TRUE(prompt.getResult());
    EXPECT_EQ(*prompt.getResult(), "10.1.2.3");
    prompt.clearResult();
    EXPECT_FALSE(prompt.getResult());
    EXPECT_EQ(findAll<FXTextField>(&prompt).at(0)->getText(), "10.1.2.3");

    driver.add([&] { press(buttonNamed(&prompt, " Cancel ")); });
    driver.run([&] { answer = prompt.execute(PLACEMENT_CURSOR); });
    EXPECT_EQ(answer, 0u);
    EXPECT_FALSE(prompt.getResult());
}

TEST_F(DialogsTest, PromptButtonsAreCentredWithAGapBetween)
{
    PromptDialog prompt(window, "Prompt", "Enter: ");
    FXButton* ok = buttonNamed(&prompt, " OK ");
    FXButton* cancel = buttonNamed(&prompt, " Cancel ");
    driver.add([&] { press(cancel); });
    driver.run([&] { prompt.execute(PLACEMENT_CURSOR); });
    EXPECT_EQ(prompt.getWidth(), 316);
    EXPECT_EQ(prompt.getHeight(), 110);
    EXPECT_EQ(ok->getY(), 78);
    EXPECT_EQ(cancel->getY(), 78);
    EXPECT_GT(ok->getWidth(), 0);
    // Equal margins; an odd remainder goes to the gap.
    EXPECT_NEAR(cancel->getX() - (ok->getX() + ok->getWidth()), 120, 1);
    EXPECT_EQ(ok->getX(), prompt.getWidth() - cancel->getX() - cancel->getWidth());
}

// A host with a real transport and session; the joiners are real loopback
// connections of a second transport that send MSG_JOIN.
class HostUi : public SessionUi {
public:
    void scheduleSetupDialog() override { ++setupScheduled; }
    void relayoutTable() override {}
    bool runAddPlayers() override
    {
        AddPlayersDialog dialog(owner, *session, *game);
        open = &dialog;
        const bool filled = dialog.run();
        open = nullptr;
        return filled;
    }
    void listJoiner(int slot) override
    {
        if (open) open->listJoiner(slot);
    }
    void unlistJoiner(int slot) override
    {
        if (open) open->unlistJoiner(slot);
    }

    FXWindow* owner = nullptr;
    Session* session = nullptr;
    const GameState* game = nullptr;
    AddPlayersDialog* open = nullptr;
    int setupScheduled = 0;
};

class AddPlayersTest : public DialogsTest {
protected:
    AddPlayersTest()
    {
        initGame(game);
        game.table = &table;
        loop.attach(transport);
        transport.setHandler(&session);
        transport.openListener(4810);
        ui.owner = window;
        ui.session = &session;
        ui.game = &game;
        setSeatName(game.seats[0], "Host");
        initGame(joinerGame);
        joinerGame.table = &table;
        driver.pump = [this] {
            while (loop.runOnce(0) > 0) {
            }
        };
    }

    // A machine that joins with one player, or two.
    int join(const char* name, const char* partner = nullptr)
    {
        const int slot = joiners.allocConnection(connectToHost("127.0.0.1", transport.listenPort()));
        EXPECT_GE(slot, 0);
        JoinRecord record;
        record.name = name;
        record.players = partner ? 2 : 1;
        if (partner) record.partner = partner;
        joiners.sendJoin(slot, record);
        return slot;
    }

    FXList* list() const { return findAll<FXList>(ui.open).at(0); }
    FXButton* button(const char* text) const { return buttonNamed(ui.open, text); }
    bool listed(size_t count) const { return ui.open && static_cast<size_t>(list()->getNumItems()) == count; }
    void pick(const char* text)
    {
        const FXint line = list()->findItem(text);
        ASSERT_GE(line, 0) << text;
        list()->setCurrentItem(line);
    }

    GameState game;
    QuietTable table;
    PollLoop loop;
    Transport transport{loop, game};
    HostUi ui;
    Session session{game, transport, ui};
    GameState joinerGame;
    PollLoop joinerLoop;
    Transport joiners{joinerLoop, joinerGame};
};

TEST_F(AddPlayersTest, APairFillsTheOtherTeamButNotTheHostsTeam)
{
    game.seatCount = 4;
    game.localPlayers = 1;
    join("Ann", "Bob");
    join("Cid");
    join("Dee");
    Items shown;
    driver.add(
        [&] {
            shown = itemsOf(list());
            EXPECT_EQ(ui.open->getTitle(), "Add Players");
            EXPECT_TRUE(button(" On my team ")->isEnabled());
            pick("Ann & Bob");
            press(button(" On my team "));
            EXPECT_FALSE(game.seats[1].inPlay());
            EXPECT_EQ(list()->getNumItems(), 3);

            press(button(" On other team "));
            EXPECT_EQ(game.seats[2].name, "Ann");
            EXPECT_EQ(game.seats[3].name, "Bob");
            EXPECT_FALSE(button(" On other team ")->isEnabled());
            EXPECT_EQ(itemsOf(list()), (Items{"Cid", "Dee"}));

            pick("Cid");
            press(button(" On my team "));
        },
        [&] { return listed(3); });
    bool hosted = false;
    driver.run([&] { hosted = session.hostNetworkGame(); });

    EXPECT_TRUE(hosted) << "the last seat closes the dialog as accepted";
    EXPECT_EQ(shown, (Items{"Ann & Bob", "Cid", "Dee"}));
    EXPECT_EQ(driver.boxes, Items{"Pick again: You team only needs one more player."});
    EXPECT_EQ(game.seats[1].name, "Cid");
    for (int seat = 1; seat < 4; ++seat) EXPECT_EQ(game.seats[seat].kind, REMOTE);
    EXPECT_GE(game.seats[1].connection, 0);
    EXPECT_GE(game.seats[2].connection, 0);
    EXPECT_NE(game.seats[1].connection, game.seats[2].connection);
    EXPECT_EQ(game.seats[3].connection, -1) << "the partner plays at the joiner's machine";
}

TEST_F(AddPlayersTest, APairCannotTakeTheLastSeatOfTheOtherTeam)
{
    game.seatCount = 4;
    game.localPlayers = 2;
    setSeatName(game.seats[1], "Partner");
    join("Cid");
    join("Ann", "Bob");
    join("Dee");
    driver.add(
        [&] {
            EXPECT_FALSE(button(" On my team ")->isEnabled());
            pick("Cid");
            press(button(" On other team "));
            EXPECT_TRUE(button(" On other team ")->isEnabled());
            pick("Ann & Bob");
            press(button(" On other team "));
            EXPECT_EQ(list()->getNumItems(), 2);
            pick("Dee");
            press(button(" On other team "));
        },
        [&] { return listed(3); });
    bool hosted = false;
    driver.run([&] { hosted = session.hostNetworkGame(); });

    EXPECT_TRUE(hosted);
    EXPECT_EQ(driver.boxes, Items{"Pick again: The other team only needs one more player."});
    EXPECT_EQ(game.seats[1].name, "Partner");
    EXPECT_EQ(game.seats[1].kind, LOCAL_HUMAN);
    EXPECT_EQ(game.seats[2].name, "Cid");
    EXPECT_EQ(game.seats[3].name, "Dee");
}

TEST_F(AddPlayersTest, TheHostsTeamIsClosedWhenItHasNoSeatFree)
{
    const struct {
        const char* what;
        int seatCount;
        int localPlayers;
        bool teamOpen;
    } cases[] = {
        {"one player of four", 4, 1, true},
        {"two players of four", 4, 2, false},
        {"two seats", 2, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        game.seatCount = c.seatCount;
        game.localPlayers = c.localPlayers;
        setSeatName(game.seats[0], "Host");
        if (c.localPlayers == 2) setSeatName(game.seats[1], "Partner");
        driver.add([&] {
            EXPECT_EQ(button(" On my team ")->isEnabled(), c.teamOpen);
            EXPECT_EQ(button(" Computer on my team ")->isEnabled(), c.teamOpen);
            EXPECT_TRUE(button(" On other team ")->isEnabled());
            EXPECT_TRUE(button(" Computer on other team ")->isEnabled());
            ui.open->handle(ui.open, FXSEL(SEL_COMMAND, FXDialogBox::ID_CANCEL), nullptr);
        });
        bool hosted = true;
        driver.run([&] { hosted = session.hostNetworkGame(); });
        EXPECT_FALSE(hosted) << "closed before the seats were filled";
        EXPECT_FALSE(game.seats[0].inPlay());
        EXPECT_EQ(ui.setupScheduled, 1);
        ui.setupScheduled = 0;
    }
}

TEST_F(AddPlayersTest, ComputersFillTheSeatsThatNoJoinerTakes)
{
    game.seatCount = 4;
    game.localPlayers = 1;
    join("Cid");
    driver.add(
        [&] {
            pick("Cid");
            press(button(" On my team "));
            EXPECT_FALSE(button(" Computer on my team ")->isEnabled());
            press(button(" Computer on other team "));
            EXPECT_EQ(game.seats[2].kind, COMPUTER);
            EXPECT_TRUE(button(" Computer on other team ")->isEnabled()) << "seat 3 is still free";
            press(button(" Computer on other team "));
        },
        [&] { return listed(1); });
    bool hosted = false;
    driver.run([&] { hosted = session.hostNetworkGame(); });

    EXPECT_TRUE(hosted) << "the last seat, a computer's, closes the dialog as accepted";
    EXPECT_EQ(game.seats[1].name, "Cid");
    for (int seat : {2, 3}) {
        EXPECT_EQ(game.seats[seat].kind, COMPUTER);
        EXPECT_EQ(game.seats[seat].connection, -1) << "this process plays it";
        EXPECT_NE(game.seats[seat].computerName, nullptr);
    }
    EXPECT_NE(game.seats[2].name, game.seats[3].name);
}

TEST_F(AddPlayersTest, JoinersComeAndGoWhileTheDialogIsOpen)
{
    game.seatCount = 2;
    game.localPlayers = 1;
    const int ann = join("Ann", "Bob");
    driver.add([&] { join("Cid"); }, [&] { return listed(1); });
    driver.add([&] { joiners.closeConnection(ann); }, [&] { return listed(2); });
    driver.add(
        [&] {
            EXPECT_EQ(itemsOf(list()), Items{"Cid"});
            pick("Cid");
            press(button(" On other team "));
        },
        [&] { return listed(1) && list()->getItemText(0) == "Cid"; });
    bool hosted = false;
    driver.run([&] { hosted = session.hostNetworkGame(); });
    EXPECT_TRUE(hosted);
    EXPECT_EQ(game.seats[2].name, "Cid");
    EXPECT_TRUE(driver.boxes.empty());
}

TEST_F(AddPlayersTest, TheLastSeatOfATwoSeatGameRefusesAPair)
{
    game.seatCount = 2;
    game.localPlayers = 1;
    join("Ann", "Bob");
    driver.add(
        [&] {
            pick("Ann & Bob");
            press(button(" On other team "));
            EXPECT_FALSE(game.seats[2].inPlay());
            ui.open->handle(ui.open, FXSEL(SEL_COMMAND, FXDialogBox::ID_CANCEL), nullptr);
        },
        [&] { return listed(1); });
    driver.run([&] { session.hostNetworkGame(); });
    EXPECT_EQ(driver.boxes, Items{"Pick again: The other team only needs one more player."});
}

class NetworkGameTest : public DialogsTest {
protected:
    NetworkGameTest() { initGame(game); }

    NetworkChoice choose(const std::function<void(FXWindow*)>& act)
    {
        PlayerNames names(store);
        NetworkChoice choice = NETWORK_HOST;
        driver.add([&] { act(FXApp::instance()->getModalWindow()); });
        driver.run([&] { choice = chooseNetworkGame(window, game, names, &store); });
        return choice;
    }

    GameState game;
};

TEST_F(NetworkGameTest, HostOrJoinStoresTheNames)
{
    const struct {
        const char* button;
        bool duvanto;
        NetworkChoice choice;
        int seatCount;
    } cases[] = {
        {" Host ", false, NETWORK_HOST, 4},
        {" Join ", false, NETWORK_JOIN, 4},
        {" Join ", true, NETWORK_JOIN, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        store.values["SETTINGS/names"] = "Bob";
        const NetworkChoice choice = choose([&](FXWindow* dialog) {
            ASSERT_TRUE(dialog);
            EXPECT_EQ(static_cast<FXTopWindow*>(dialog)->getTitle(), "Network Game");
            const auto boxes = findAll<FXComboBox>(dialog);
            EXPECT_EQ(itemsOf(boxes.at(0)), Items{"Bob"});
            EXPECT_EQ(itemsOf(boxes.at(1)), (Items{"Nobody", "Bob"}));
            press(buttonNamed(dialog, c.button));
            EXPECT_TRUE(dialog->shown()) << "no name, no choice";
            boxes[0]->setText("Zoe");
            boxes[1]->setCurrentItem(1);
            if (c.duvanto) {
                auto* check = findAll<FXCheckButton>(dialog).at(0);
                check->setCheck(true);
                press(check);
            }
            press(buttonNamed(dialog, c.button));
        });
        EXPECT_EQ(choice, c.choice);
        EXPECT_EQ(game.seats[0].name, "Zoe");
        EXPECT_EQ(game.seatCount, c.seatCount);
        EXPECT_EQ(game.seats[1].inPlay(), !c.duvanto);
        EXPECT_EQ(store.values["SETTINGS/names"], "Bob\nZoe");
    }
}

// Host with "Invite over the internet": only with a relay named, which is
// remembered as host:port.
TEST_F(NetworkGameTest, InvitingNeedsARelayAndRemembersIt)
{
    struct Case {
        const char* relay;
        bool invite;
        NetworkChoice choice;  // NETWORK_CANCELLED: the dialog stays, with a box
        const char* stored;
        const char* box;
    } cases[] = {
        {"", true, NETWORK_CANCELLED, nullptr, "Relay: An internet game needs a relay"},
        {"relay:0", true, NETWORK_CANCELLED, nullptr, "Relay: Type the relay as host:port"},
        {" relay.example.org ", true, NETWORK_INVITE, "relay.example.org:4001", nullptr},
        {"10.0.0.5:5000", false, NETWORK_HOST, "10.0.0.5:5000", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.relay);
        store.values.clear();
        driver.boxes.clear();
        const NetworkChoice choice = choose([&](FXWindow* dialog) {
            findAll<FXComboBox>(dialog).at(0)->setText("Zoe");
            findAll<FXTextField>(dialog).back()->setText(c.relay);
            FXCheckButton* invite = findAll<FXCheckButton>(dialog).at(1);
            EXPECT_EQ(std::string(invite->getText().text()), "Invite over the internet");
            invite->setCheck(c.invite);
            press(buttonNamed(dialog, " Host "));
            if (dialog->shown()) press(buttonNamed(dialog, " Cancel "));
        });
        EXPECT_EQ(choice, c.choice);
        if (c.stored) {
            EXPECT_EQ(store.values["SETTINGS/relay"], c.stored);
            EXPECT_EQ(relayText(*relaySetting(&store)), c.stored);
        }
        if (c.box) {
            ASSERT_EQ(driver.boxes.size(), 1u);
            EXPECT_EQ(driver.boxes[0].rfind(c.box, 0), 0u) << driver.boxes[0];
        }
    }
}

TEST_F(NetworkGameTest, CancelStoresNothing)
{
    const NetworkChoice choice = choose([](FXWindow* dialog) {
        findAll<FXComboBox>(dialog).at(0)->setText("Zoe");
        press(buttonNamed(dialog, " Cancel "));
    });
    EXPECT_EQ(choice, NETWORK_CANCELLED);
    EXPECT_FALSE(game.seats[0].inPlay());
    EXPECT_TRUE(store.values.empty());
}

TEST_F(NetworkGameTest, NotOfferedWhileAGameOrSessionIsUnderWay)
{
    PlayerNames names(store);
    driver.run([&] {
        game.turn = TURN_DEALING;
        EXPECT_EQ(chooseNetworkGame(window, game, names), NETWORK_CANCELLED);
        game.turn = TURN_IDLE;
        game.seats[0].connection = 3;
        EXPECT_EQ(chooseNetworkGame(window, game, names), NETWORK_CANCELLED);
    });
}

// The joining process, and a host that starts listening only after the
// first attempt has failed.
class JoinTest : public DialogsTest {
protected:
    JoinTest()
    {
        initGame(game);
        game.table = &table;
        loop.attach(transport);
        transport.setHandler(&session);
        transport.openListener(4830);
        setSeatName(game.seats[0], "Ann");
        {
            Transport probe(hostLoop, hostGame);
            probe.openListener(4840);
            hostPort = probe.listenPort();
        }
        // The connects run on the test's loop, which the FOX loop turns.
        driver.pump = [this] { loop.runOnce(0); };
    }

    class NoUi : public SessionUi {
        void scheduleSetupDialog() override {}
        void relayoutTable() override {}
        bool runAddPlayers() override { return false; }
        void listJoiner(int) override {}
        void unlistJoiner(int) override {}
    };

    GameState game;
    QuietTable table;
    PollLoop loop;
    Transport transport{loop, game};
    NoUi ui;
    Session session{game, transport, ui};
    GameState hostGame;
    PollLoop hostLoop;
    uint16_t hostPort = 0;
};

TEST_F(JoinTest, AnUnreachableHostIsReportedAndAskedForAgain)
{
    std::optional<Transport> host;
    driver.add([&] {
        findAll<FXTextField>(FXApp::instance()->getModalWindow()).at(0)->setText("127.0.0.1");
        press(buttonNamed(FXApp::instance()->getModalWindow(), " OK "));
    });
    driver.add(
        [&] {
            auto* prompt = static_cast<PromptDialog*>(FXApp::instance()->getModalWindow());
            EXPECT_FALSE(prompt->getResult());
            EXPECT_EQ(findAll<FXTextField>(prompt).at(0)->getText(), "127.0.0.1");
            host.emplace(hostLoop, hostGame);
            host->openListener(hostPort);
            ASSERT_EQ(host->listenPort(), hostPort);
            press(buttonNamed(prompt, " OK "));
        },
        [&] { return driver.boxes.size() == 1 && dynamic_cast<PromptDialog*>(FXApp::instance()->getModalWindow()); });
    // The box that says it is connecting closes once the host answers.
    driver.add([] {}, [&] { return game.seats[0].connection >= 0; });
    bool joined = false;
    driver.run([&] { joined = joinNetworkGameWithPrompt(window, session, game, hostPort); });

    EXPECT_TRUE(joined);
    EXPECT_EQ(driver.boxes, Items{"Error: Could not connect to host.\n"});
    EXPECT_EQ(game.sessionMode, MODE_JOINED);
    EXPECT_GE(game.seats[0].connection, 0);
}

// While the connect tries, a box says so and its " Cancel " gives it up;
// here the loop that would report the connect is never turned.
TEST_F(JoinTest, AConnectUnderWayCanBeCancelled)
{
    driver.pump = nullptr;
    Transport host(hostLoop, hostGame);
    host.openListener(hostPort);
    driver.add([] {
        findAll<FXTextField>(FXApp::instance()->getModalWindow()).at(0)->setText("127.0.0.1");
        press(buttonNamed(FXApp::instance()->getModalWindow(), " OK "));
    });
    driver.add(
        [] {
            FXWindow* box = FXApp::instance()->getModalWindow();
            EXPECT_EQ(Driver::messageOf(box), "Connecting to 127.0.0.1...");
            press(buttonNamed(box, " Cancel "));
        },
        [] { return dynamic_cast<FXDialogBox*>(FXApp::instance()->getModalWindow()) &&
                    !dynamic_cast<PromptDialog*>(FXApp::instance()->getModalWindow()); });
    bool joined = true;
    driver.run([&] { joined = joinNetworkGameWithPrompt(window, session, game, hostPort); });
    EXPECT_FALSE(joined);
    EXPECT_FALSE(session.connectingToHost());
    EXPECT_EQ(game.sessionMode, MODE_SETUP);
    EXPECT_EQ(game.seats[0].connection, -1);
    EXPECT_EQ(transport.usedConnections(), 0);
    EXPECT_TRUE(driver.boxes.empty());
}

// A code in the Join field goes through a relay: the one after the code,
// or the one in the settings; without either it is told and asked again.
// The search at the relay goes on in the session once the prompt is gone.
TEST_F(JoinTest, ACodeNeedsARelay)
{
    const auto type = [](const char* text) {
        FXWindow* prompt = FXApp::instance()->getModalWindow();
        findAll<FXTextField>(prompt).at(0)->setText(text);
        press(buttonNamed(prompt, " OK "));
    };
    driver.add([&] { type("k7qx-m9ta"); });
    driver.add([&] { type("K7QX-M9TA@127.0.0.1:1"); },
               [this] { return driver.boxes.size() == 1 && dynamic_cast<PromptDialog*>(FXApp::instance()->getModalWindow()); });
    bool joined = false;
    driver.run([&] { joined = joinNetworkGameWithPrompt(window, session, game, hostPort, nullptr); });
    EXPECT_TRUE(joined);
    ASSERT_EQ(driver.boxes.size(), 1u);
    EXPECT_EQ(driver.boxes[0].rfind("Relay: An internet game needs a relay", 0), 0u) << driver.boxes[0];
    EXPECT_EQ(game.sessionMode, MODE_JOINED);
}

TEST_F(JoinTest, CancelConnectsNothing)
{
    driver.add([] { press(buttonNamed(FXApp::instance()->getModalWindow(), " Cancel ")); });
    bool joined = true;
    driver.run([&] { joined = joinNetworkGameWithPrompt(window, session, game, hostPort); });
    EXPECT_FALSE(joined);
    EXPECT_EQ(game.seats[0].connection, -1);
    EXPECT_TRUE(driver.boxes.empty());
}

TEST_F(JoinTest, NoPromptWithoutAPlayerOrWhileAGameIsUnderWay)
{
    driver.run([&] {
        game.turn = TURN_BEGGING;
        EXPECT_FALSE(joinNetworkGameWithPrompt(window, session, game, hostPort));
        game.turn = TURN_IDLE;
        clearSeatName(game.seats[0]);
        EXPECT_FALSE(joinNetworkGameWithPrompt(window, session, game, hostPort));
    });
}

}  // namespace
