#include "engine/rule_dialog.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "engine/rule_choices.h"

FXDEFMAP(RuleDialog) RuleDialogMap[] = {
    FXMAPFUNC(SEL_COMMAND, RuleDialog::ID_FORCE_FOLLOW, RuleDialog::onCmdForceFollow),
    FXMAPFUNC(SEL_COMMAND, RuleDialog::ID_RENEED_RULE, RuleDialog::onCmdReneedRule),
};

FXIMPLEMENT(RuleDialog, FXDialogBox, RuleDialogMap, ARRAYNUMBER(RuleDialogMap))

namespace {

constexpr FXuint PLACED = LAYOUT_FIX_X | LAYOUT_FIX_Y;
constexpr FXint PAD = 2;

template <std::size_t N>
FXMenuPane* makePane(FXWindow* owner, const std::array<const char*, N>& items, FXObject* target = nullptr,
                     FXSelector message = 0)
{
    auto* pane = new FXMenuPane(owner);
    for (const char* item : items) new FXOption(pane, item, nullptr, target, message, JUSTIFY_HZ_APART | ICON_AFTER_TEXT);
    return pane;
}

FXOptionMenu* makeMenu(FXComposite* parent, FXPopup* pane, FXint x, FXint y)
{
    return new FXOptionMenu(parent, pane, FRAME_RAISED | FRAME_THICK | JUSTIFY_HZ_APART | ICON_AFTER_TEXT | PLACED, x, y,
                            0, 0, PAD, PAD, PAD, PAD);
}

FXLabel* makeLabel(FXComposite* parent, const char* text, FXint x, FXint y)
{
    return new FXLabel(parent, text, nullptr, JUSTIFY_LEFT | PLACED, x, y, 0, 0, PAD, PAD, PAD, PAD);
}

// A menu stands at its own place, or further right when the font in use
// makes a label of its column run into it; the menus of a column line up.
constexpr FXint LABEL_GAP = 6;

void placeColumn(std::initializer_list<std::pair<FXLabel*, FXOptionMenu*>> rows, FXint x)
{
    for (const auto& row : rows) x = std::max(x, row.first->getX() + row.first->getDefaultWidth() + LABEL_GAP);
    for (const auto& row : rows) row.second->setX(x);
}

FXCheckButton* makeCheck(FXComposite* parent, const char* text, FXint x, FXint y)
{
    return new FXCheckButton(parent, text, nullptr, 0, CHECKBUTTON_NORMAL | PLACED, x, y, 0, 0, PAD, PAD, PAD, PAD);
}

constexpr FXint NOTE_Y = 222;
constexpr FXint NOTE_GAP = 8;

// A greyed control says why in its tooltip; an enabled one has none.
void setEnabled(FXLabel* control, bool enabled, const char* why)
{
    if (enabled) {
        control->enable();
    } else {
        control->disable();
    }
    control->setTipText(enabled ? "" : why);
}

}  // namespace

RuleDialog::RuleDialog(FXWindow* mainWindow, RuleSettings& rules)
    : FXDialogBox(mainWindow, "Rule Variations", DECOR_TITLE | DECOR_BORDER, 0, 0, 0, 0, 10, 10, 10, 10, 4, 4),
      settings(&rules)
{
    reneedPane = makePane(this, RENEED_ITEMS, this, ID_RENEED_RULE);
    reneedLabel = makeLabel(this, "Reneed rules:", 20, 15);
    reneedMenu = makeMenu(this, reneedPane, 110, 15);
    // The mouse wheel changes an option menu without clicking an item.
    reneedMenu->setTarget(this);
    reneedMenu->setSelector(ID_RENEED_RULE);
    noGamePointCheck = makeCheck(this, "No game point if reneed", 20, 41);

    followPane = makePane(this, FOLLOW_ITEMS, this, ID_FORCE_FOLLOW);
    followLabel = makeLabel(this, "Force follow suit:", 20, 68);
    followMenu = makeMenu(this, followPane, 154, 68);
    followMenu->setTarget(this);
    followMenu->setSelector(ID_FORCE_FOLLOW);

    FXMenuPane* underTrumpPane = makePane(this, UNDER_TRUMP_ITEMS);
    FXLabel* underTrumpLabel = makeLabel(this, "Under trump penalty:", 20, 93);
    underTrumpMenu = makeMenu(this, underTrumpPane, 154, 93);

    FXMenuPane* lengthPane = makePane(this, LENGTH_ITEMS);
    FXLabel* lengthLabel = makeLabel(this, "Game length:", 20, 118);
    lengthMenu = makeMenu(this, lengthPane, 154, 118);

    FXMenuPane* hangJackPane = makePane(this, HANG_JACK_ITEMS);
    FXLabel* hangJackLabel = makeLabel(this, "Hang jack:", 20, 143);
    hangJackMenu = makeMenu(this, hangJackPane, 154, 143);

    placeColumn({{reneedLabel, reneedMenu}}, 110);
    placeColumn({{followLabel, followMenu},
                 {underTrumpLabel, underTrumpMenu},
                 {lengthLabel, lengthMenu},
                 {hangJackLabel, hangJackMenu}},
                154);

    tobagoCheck = makeCheck(this, "Tobago rules", 20, 167);
    forceBegCheck = makeCheck(this, "Force beg if no trumps", 20, 192);

    FXLabel* note = makeLabel(this, RULES_TAKE_EFFECT, 20, NOTE_Y);
    new FXButton(this, "OK", nullptr, this, ID_ACCEPT,
                 BUTTON_INITIAL | BUTTON_DEFAULT | FRAME_RAISED | FRAME_THICK | LAYOUT_CENTER_X | LAYOUT_FIX_Y, 0,
                 NOTE_Y + note->getDefaultHeight() + NOTE_GAP, 0, 0, PAD, PAD, PAD, PAD);
    loadSettings();
}

RuleDialog::~RuleDialog()
{
    // The panes are children of the root window, not of this dialog.
    delete reneedMenu->getMenu();
    delete followMenu->getMenu();
    delete underTrumpMenu->getMenu();
    delete lengthMenu->getMenu();
    delete hangJackMenu->getMenu();
}

void RuleDialog::loadSettings()
{
    const RuleChoices choices = choicesFromRules(*settings);
    reneedMenu->setCurrentNo(choices.reneedItem);
    noGamePointCheck->setCheck(choices.noGamePoint ? TRUE : FALSE);
    followMenu->setCurrentNo(choices.followItem);
    underTrumpMenu->setCurrentNo(choices.underTrumpItem);
    lengthMenu->setCurrentNo(choices.lengthItem);
    hangJackMenu->setCurrentNo(choices.hangJackItem);
    tobagoCheck->setCheck(choices.tobago ? TRUE : FALSE);
    forceBegCheck->setCheck(choices.forceBeg ? TRUE : FALSE);
    updateEnabling();
}

void RuleDialog::storeSettings()
{
    RuleChoices choices;
    choices.reneedItem = reneedMenu->getCurrentNo();
    choices.noGamePoint = noGamePointCheck->getCheck() == TRUE;
    choices.followItem = followMenu->getCurrentNo();
    choices.underTrumpItem = underTrumpMenu->getCurrentNo();
    choices.lengthItem = lengthMenu->getCurrentNo();
    choices.hangJackItem = hangJackMenu->getCurrentNo();
    choices.tobago = tobagoCheck->getCheck() == TRUE;
    choices.forceBeg = forceBegCheck->getCheck() == TRUE;
    *settings = rulesFromChoices(choices);
}

long RuleDialog::onCmdReneedRule(FXObject*, FXSelector, void*)
{
    updateEnabling();
    return 1;
}

long RuleDialog::onCmdForceFollow(FXObject*, FXSelector, void*)
{
    updateEnabling();
    return 1;
}

// Loading applies the whole rule too, so the greyed reneed items always
// match the force-follow item shown, even after a choice left with Escape.
void RuleDialog::updateEnabling()
{
    const RuleEnabling enabling = ruleEnabling(followMenu->getCurrentNo(), reneedMenu->getCurrentNo());
    setEnabled(reneedMenu, enabling.reneedMenu, enabling.reneedMenuWhy);
    setEnabled(noGamePointCheck, enabling.noGamePointCheck, enabling.noGamePointWhy);
    std::size_t item = 0;
    for (FXWindow* option = reneedPane->getFirst(); option; option = option->getNext())
        setEnabled(static_cast<FXOption*>(option), enabling.reneedItems[item++], enabling.reneedItemsWhy);
}

void runRuleDialog(RuleDialog*& dialog, FXWindow* owner, RuleSettings& pendingRules)
{
    if (!dialog) {
        dialog = new RuleDialog(owner, pendingRules);
        dialog->create();
    }
    dialog->loadSettings();
    if (dialog->execute(PLACEMENT_SCREEN)) dialog->storeSettings();
}
