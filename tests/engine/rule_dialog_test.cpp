// The rule variations dialog's widgets. Needs an X display (xvfb-run).
#include "engine/rule_dialog.h"

#include <fxkeys.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/rule_choices.h"

// Acts inside the dialog's modal loop, as a person would, from a timer. It
// stays outside the anonymous namespace, where FXDECLARE's unused friend
// operators would warn.
class DialogUser : public FXObject {
    FXDECLARE(DialogUser)
public:
    enum { ID_ACT = 1 };

    long onAct(FXObject*, FXSelector, void*)
    {
        auto* dialog = dynamic_cast<RuleDialog*>(FXApp::instance()->getModalWindow());
        if (dialog && act) act(dialog);
        return 1;
    }

    void (*act)(RuleDialog*) = nullptr;
};

FXDEFMAP(DialogUser) DialogUserMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, DialogUser::ID_ACT, DialogUser::onAct),
};
FXIMPLEMENT(DialogUser, FXObject, DialogUserMap, ARRAYNUMBER(DialogUserMap))

namespace {

FXApp* app = nullptr;
FXMainWindow* window = nullptr;

// The dialog's controls, found in the order they were built.
struct Controls {
    std::vector<FXLabel*> labels;
    FXOptionMenu* reneed = nullptr;
    FXOptionMenu* follow = nullptr;
    FXOptionMenu* underTrump = nullptr;
    FXOptionMenu* length = nullptr;
    FXOptionMenu* hangJack = nullptr;
    FXCheckButton* noGamePoint = nullptr;
    FXCheckButton* tobago = nullptr;
    FXCheckButton* forceBeg = nullptr;
    FXButton* ok = nullptr;
    std::vector<FXWindow*> all;

    explicit Controls(FXDialogBox* dialog)
    {
        std::vector<FXOptionMenu*> menus;
        std::vector<FXCheckButton*> checks;
        for (FXWindow* child = dialog->getFirst(); child; child = child->getNext()) {
            all.push_back(child);
            if (auto* menu = dynamic_cast<FXOptionMenu*>(child)) {
                menus.push_back(menu);
            } else if (auto* check = dynamic_cast<FXCheckButton*>(child)) {
                checks.push_back(check);
            } else if (auto* button = dynamic_cast<FXButton*>(child)) {
                ok = button;
            } else if (auto* label = dynamic_cast<FXLabel*>(child)) {
                labels.push_back(label);
            }
        }
        if (menus.size() == 5) {
            reneed = menus[0];
            follow = menus[1];
            underTrump = menus[2];
            length = menus[3];
            hangJack = menus[4];
        }
        if (checks.size() == 3) {
            noGamePoint = checks[0];
            tobago = checks[1];
            forceBeg = checks[2];
        }
    }
};

std::vector<FXOption*> items(FXOptionMenu* menu)
{
    std::vector<FXOption*> options;
    for (FXWindow* child = menu->getMenu()->getFirst(); child; child = child->getNext())
        options.push_back(dynamic_cast<FXOption*>(child));
    return options;
}

std::vector<bool> itemsEnabled(FXOptionMenu* menu)
{
    std::vector<bool> enabled;
    for (FXOption* option : items(menu)) enabled.push_back(option->isEnabled());
    return enabled;
}

// Opens the menu's pane and clicks the item, as a person does.
void choose(FXOptionMenu* menu, int item)
{
    menu->handle(menu, FXSEL(SEL_COMMAND, FXWindow::ID_POST), nullptr);
    app->runWhileEvents();
    FXOption* option = items(menu).at(item);
    FXEvent event;
    event.code = LEFTBUTTON;
    event.win_x = event.win_y = 2;
    option->handle(option, FXSEL(SEL_LEFTBUTTONPRESS, 0), &event);
    option->handle(option, FXSEL(SEL_LEFTBUTTONRELEASE, 0), &event);
    app->runWhileEvents();
}

void click(FXWindow* widget)
{
    FXEvent event;
    event.code = LEFTBUTTON;
    event.win_x = event.win_y = 2;
    widget->handle(widget, FXSEL(SEL_LEFTBUTTONPRESS, 0), &event);
    widget->handle(widget, FXSEL(SEL_LEFTBUTTONRELEASE, 0), &event);
}

void pressEscape(FXWindow* dialog)
{
    FXEvent event;
    event.code = KEY_Escape;
    dialog->handle(dialog, FXSEL(SEL_KEYPRESS, 0), &event);
    dialog->handle(dialog, FXSEL(SEL_KEYRELEASE, 0), &event);
}

class RuleDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!app) GTEST_SKIP() << "no X display";
        dialog = new RuleDialog(window, settings);
        dialog->create();
        dialog->show(PLACEMENT_SCREEN);
        app->runWhileEvents();
    }

    void TearDown() override { delete dialog; }

    RuleSettings settings;
    RuleDialog* dialog = nullptr;
};

TEST_F(RuleDialogTest, ControlsSitWhereTheyBelong)
{
    EXPECT_STREQ(dialog->getTitle().text(), "Rule Variations");
    EXPECT_EQ(dialog->getDecorations(), FXuint(DECOR_TITLE | DECOR_BORDER));
    const Controls c(dialog);
    ASSERT_TRUE(c.reneed && c.noGamePoint && c.ok);

    struct Placed {
        FXWindow* widget;
        const char* text;
        FXint x, y;
    };
    ASSERT_EQ(c.labels.size(), 6u);
    const Placed placed[] = {
        {c.labels[0], "Reneed rules:", 20, 15},
        {c.reneed, "No Reneed", 110, 15},
        {c.noGamePoint, "No game point if reneed", 20, 41},
        {c.labels[1], "Force follow suit:", 20, 68},
        {c.follow, "Always", 154, 68},
        {c.labels[2], "Under trump penalty:", 20, 93},
        {c.underTrump, "None", 154, 93},
        {c.labels[3], "Game length:", 20, 118},
        {c.length, "14 points", 154, 118},
        {c.labels[4], "Hang jack:", 20, 143},
        {c.hangJack, "3 points", 154, 143},
        {c.tobago, "Tobago rules", 20, 167},
        {c.forceBeg, "Force beg if no trumps", 20, 192},
    };
    for (const Placed& p : placed) {
        SCOPED_TRACE(p.text);
        auto* label = dynamic_cast<FXLabel*>(p.widget);
        EXPECT_STREQ(label->getText().text(), p.text);
        if (dynamic_cast<FXOptionMenu*>(p.widget)) {
            EXPECT_GE(label->getX(), p.x) << "a menu moves only right, where its label needs the room";
        } else {
            EXPECT_EQ(label->getX(), p.x);
        }
        EXPECT_EQ(label->getY(), p.y);
        EXPECT_EQ(label->getPadLeft() + label->getPadRight() + label->getPadTop() + label->getPadBottom(), 8);
        EXPECT_LE(label->getX() + label->getWidth(), dialog->getWidth());  // sized from its contents
    }

    // Below the controls, when the choices take effect; OK under it.
    const FXLabel* note = c.labels[5];
    EXPECT_STREQ(note->getText().text(), RULES_TAKE_EFFECT);
    EXPECT_EQ(note->getX(), 20);
    EXPECT_GE(note->getY(), 192 + c.forceBeg->getHeight());
    EXPECT_LE(note->getX() + note->getWidth(), dialog->getWidth());
    EXPECT_STREQ(c.ok->getText().text(), "OK");
    EXPECT_GE(c.ok->getY(), note->getY() + note->getHeight());
    EXPECT_NEAR(c.ok->getX() + c.ok->getWidth() / 2, dialog->getWidth() / 2, 1);
    EXPECT_TRUE(c.ok->getButtonStyle() & BUTTON_INITIAL);
    EXPECT_EQ(c.ok->getTarget(), dialog);
    EXPECT_EQ(c.ok->getSelector(), FXSelector(FXDialogBox::ID_ACCEPT));
    for (FXWindow* child : c.all) EXPECT_FALSE(dynamic_cast<FXButton*>(child) && child != c.ok) << "one button only";
}

// Measured in the fonts in use: no label runs into the menu beside it, the
// menus of one column line up, and every menu stays inside the dialog.
TEST_F(RuleDialogTest, NoLabelRunsIntoItsMenu)
{
    const Controls c(dialog);
    ASSERT_EQ(c.labels.size(), 6u);
    ASSERT_TRUE(c.reneed && c.hangJack);
    const FXOptionMenu* menus[] = {c.reneed, c.follow, c.underTrump, c.length, c.hangJack};
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(c.labels[i]->getText().text());
        EXPECT_EQ(c.labels[i]->getY(), menus[i]->getY());
        EXPECT_LT(c.labels[i]->getX() + c.labels[i]->getWidth(), menus[i]->getX());
        EXPECT_LE(menus[i]->getX() + menus[i]->getWidth(), dialog->getWidth());
    }
    for (const FXOptionMenu* menu : {c.underTrump, c.length, c.hangJack}) EXPECT_EQ(menu->getX(), c.follow->getX());
}

TEST_F(RuleDialogTest, MenusOfferTheirItemsAndTwoOfThemReport)
{
    const Controls c(dialog);
    struct Menu {
        FXOptionMenu* menu;
        std::vector<const char*> texts;
        FXSelector message;
    };
    const Menu menus[] = {
        {c.reneed, {RENEED_ITEMS.begin(), RENEED_ITEMS.end()}, RuleDialog::ID_RENEED_RULE},
        {c.follow, {FOLLOW_ITEMS.begin(), FOLLOW_ITEMS.end()}, RuleDialog::ID_FORCE_FOLLOW},
        {c.underTrump, {UNDER_TRUMP_ITEMS.begin(), UNDER_TRUMP_ITEMS.end()}, 0},
        {c.length, {LENGTH_ITEMS.begin(), LENGTH_ITEMS.end()}, 0},
        {c.hangJack, {HANG_JACK_ITEMS.begin(), HANG_JACK_ITEMS.end()}, 0},
    };
    EXPECT_EQ(RuleDialog::ID_FORCE_FOLLOW, 63);
    EXPECT_EQ(RuleDialog::ID_RENEED_RULE, 64);
    for (const Menu& m : menus) {
        const std::vector<FXOption*> options = items(m.menu);
        ASSERT_EQ(options.size(), m.texts.size());
        for (std::size_t i = 0; i < options.size(); ++i) {
            SCOPED_TRACE(m.texts[i]);
            EXPECT_STREQ(options[i]->getText().text(), m.texts[i]);
            EXPECT_EQ(options[i]->getTarget(), m.message ? dialog : nullptr);
            EXPECT_EQ(options[i]->getSelector(), m.message);
        }
    }
}

TEST_F(RuleDialogTest, FirstOpeningShowsTheDefaultsWithTheReneedRulesGreyed)
{
    const Controls c(dialog);
    EXPECT_EQ(c.reneed->getCurrentNo(), 0);
    EXPECT_EQ(c.follow->getCurrentNo(), 0);
    EXPECT_EQ(c.underTrump->getCurrentNo(), 0);
    EXPECT_EQ(c.length->getCurrentNo(), 0);
    EXPECT_EQ(c.hangJack->getCurrentNo(), 0);
    EXPECT_EQ(c.noGamePoint->getCheck(), FALSE);
    EXPECT_EQ(c.tobago->getCheck(), FALSE);
    EXPECT_EQ(c.forceBeg->getCheck(), FALSE);
    EXPECT_FALSE(c.reneed->isEnabled());
    EXPECT_FALSE(c.noGamePoint->isEnabled());
    EXPECT_TRUE(c.follow->isEnabled());
}

TEST_F(RuleDialogTest, ForceFollowAndReneedChoicesEnableTheReneedControls)
{
    const Controls c(dialog);
    const std::vector<bool> all(6, true);
    const std::vector<bool> trumpOnly = {true, true, false, false, false, true};
    struct Step {
        FXOptionMenu* menu;
        int item;
        bool reneedMenu, noGamePoint;
        std::vector<bool> reneedItems;
    };
    const Step steps[] = {
        {c.follow, 2, true, false, all},  // "Never": the check waits for a rule
        {c.reneed, 3, true, true, all},
        {c.reneed, 0, true, false, all},
        {c.reneed, 5, true, true, all},
        {c.follow, 1, true, true, trumpOnly},  // "Only for trump"
        {c.follow, 0, false, false, all},      // "Always"
        {c.follow, 1, true, true, trumpOnly},
        {c.follow, 2, true, true, all},
    };
    for (const Step& s : steps) {
        choose(s.menu, s.item);
        SCOPED_TRACE(testing::Message() << (s.menu == c.follow ? "follow " : "reneed ") << s.item);
        EXPECT_EQ(s.menu->getCurrentNo(), s.item);
        EXPECT_EQ(c.reneed->isEnabled(), s.reneedMenu);
        EXPECT_EQ(c.noGamePoint->isEnabled(), s.noGamePoint);
        EXPECT_EQ(itemsEnabled(c.reneed), s.reneedItems);
        // Every greyed control says why in its tooltip, and only a greyed one.
        std::vector<FXLabel*> controls = {c.reneed, c.noGamePoint};
        for (FXOption* option : items(c.reneed)) controls.push_back(option);
        for (FXLabel* control : controls) {
            SCOPED_TRACE(control->getText().text());
            EXPECT_EQ(control->getTipText().empty(), control->isEnabled() == TRUE);
        }
    }
}

TEST_F(RuleDialogTest, OnlyForTrumpKeepsAGreyedItemThatIsShown)
{
    const Controls c(dialog);
    choose(c.follow, 2);
    choose(c.reneed, 2);  // "Trump Reneed is Bullseye"
    choose(c.follow, 1);
    EXPECT_EQ(c.reneed->getCurrentNo(), 2);
    EXPECT_FALSE(items(c.reneed)[2]->isEnabled());
    EXPECT_TRUE(c.noGamePoint->isEnabled());
    dialog->storeSettings();
    EXPECT_EQ(settings.reneedRule, RENEED_TRUMP_BULLSEYE);
}

// The mouse wheel changes an option menu without clicking an item.
TEST_F(RuleDialogTest, WheelingTheForceFollowMenuAlsoEnablesTheReneedRules)
{
    const Controls c(dialog);
    FXEvent event;
    event.code = -120;
    c.follow->handle(c.follow, FXSEL(SEL_MOUSEWHEEL, 0), &event);
    ASSERT_EQ(c.follow->getCurrentNo(), 1);
    EXPECT_TRUE(c.reneed->isEnabled());
    EXPECT_FALSE(items(c.reneed)[3]->isEnabled());
}

TEST_F(RuleDialogTest, StoredValuesAreShownAgainWhenLoaded)
{
    const Controls c(dialog);
    const std::vector<std::array<int32_t, 8>> blocks = {
        {0, 0, 0, 14, 3, 0, 0, 0},
        {0, 0, 2, 7, 1, 1, 2, 1},
        {5, 1, 1, 7, 1, 0, 1, 1},
        {3, 1, 2, 14, 3, 1, 0, 0},  // greyed under "Always", stored as shown
    };
    for (const auto& fields : blocks) {
        const RuleSettings loaded = rulesFromFields(fields);
        settings = loaded;
        dialog->loadSettings();
        settings = RuleSettings{};
        dialog->storeSettings();
        EXPECT_EQ(rulesFields(settings), fields);
    }

    settings = RuleSettings{};
    dialog->loadSettings();
    choose(c.length, 1);
    choose(c.hangJack, 1);
    click(c.tobago);
    click(c.forceBeg);
    dialog->storeSettings();
    EXPECT_EQ(settings.target, 7);
    EXPECT_EQ(settings.hangJackPoints, 1);
    EXPECT_EQ(settings.tobagoRules, 1);
    EXPECT_EQ(settings.forceBeg, 1);
}

// A force-follow choice left with Escape is not kept, and neither are the
// reneed items it greyed.
TEST_F(RuleDialogTest, LoadingGreysTheReneedItemsForTheValueShown)
{
    const Controls c(dialog);
    choose(c.follow, 1);
    dialog->loadSettings();
    EXPECT_EQ(c.follow->getCurrentNo(), 0);
    EXPECT_EQ(itemsEnabled(c.reneed), std::vector<bool>(6, true));

    settings.forceFollow = FOLLOW_ONLY_TRUMP;
    dialog->loadSettings();
    EXPECT_FALSE(items(c.reneed)[4]->isEnabled());
}

struct RunCase {
    const char* name;
    void (*act)(RuleDialog*);
    int32_t target;  // what pendingRules holds afterwards
};

const RunCase RUN_CASES[] = {
    {"OK stores",
     [](RuleDialog* d) {
         const Controls c(d);
         choose(c.length, 1);
         click(c.ok);
     },
     7},
    {"Return stores",
     [](RuleDialog* d) {
         choose(Controls(d).length, 1);
         FXEvent event;
         event.code = KEY_Return;
         d->handle(d, FXSEL(SEL_KEYPRESS, 0), &event);
         d->handle(d, FXSEL(SEL_KEYRELEASE, 0), &event);
     },
     7},
    {"Escape keeps",
     [](RuleDialog* d) {
         choose(Controls(d).length, 1);
         pressEscape(d);
     },
     14},
};

TEST(RunRuleDialog, MakesTheDialogOnceAndStoresOnlyOnOk)
{
    if (!app) GTEST_SKIP() << "no X display";
    RuleSettings pending;
    RuleDialog* dialog = nullptr;
    RuleDialog* first = nullptr;
    for (const RunCase& run : RUN_CASES) {
        SCOPED_TRACE(run.name);
        pending = RuleSettings{};
        DialogUser user;
        user.act = run.act;
        DialogUser closer;  // in case the run did not close the dialog
        closer.act = [](RuleDialog* d) {
            ADD_FAILURE() << "the dialog stayed open";
            FXApp::instance()->stopModal(d, 0);
        };
        app->addTimeout(&user, DialogUser::ID_ACT, 200);
        app->addTimeout(&closer, DialogUser::ID_ACT, 5000);
        runRuleDialog(dialog, window, pending);
        app->removeTimeout(&closer, DialogUser::ID_ACT);
        if (!first) first = dialog;
        EXPECT_EQ(dialog, first);
        EXPECT_EQ(pending.target, run.target);
        EXPECT_FALSE(dialog->shown());
        EXPECT_NEAR(dialog->getX(), (app->getRootWindow()->getWidth() - dialog->getWidth()) / 2, 1);
    }
    delete dialog;
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (std::getenv("DISPLAY")) {
        app = new FXApp("marvanto_test", "zok");
        app->init(argc, argv);
        window = new FXMainWindow(app, "main", nullptr, nullptr, DECOR_ALL, 0, 0, 200, 100);
        app->create();
    }
    const int result = RUN_ALL_TESTS();
    // The program leaves its kept dialog to the end of the application.
    static RuleSettings keptRules;
    if (app) new RuleDialog(window, keptRules);
    delete app;
    return result;
}
