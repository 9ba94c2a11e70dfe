#include "net/setup_dialog.h"

#include <set>
#include <string>

#include <fxkeys.h>

#include "ui/typed_key.h"

namespace {

constexpr FXuint FIXED = LAYOUT_FIX_X | LAYOUT_FIX_Y;
constexpr int NAME_BOX_WIDTH = 110;
constexpr int VISIBLE_NAMES = 4;

FXComboBox* nameField(FXDialogBox* dialog, int y, FXGroupBox** group)
{
    *group = new FXGroupBox(dialog, FXString::null, FRAME_LINE | FIXED | LAYOUT_FIX_WIDTH, 104, y, NAME_BOX_WIDTH, 0,
                            0, 0, 0, 0, 0, 0);
    auto* box = new FXComboBox(*group, 1, nullptr, 0, COMBOBOX_NORMAL | LAYOUT_FILL);
    box->setNumVisible(VISIBLE_NAMES);
    return box;
}

// A combo box keeps its own text field as its first child. Focus given to
// the box itself stops at the box, and typed keys reach nothing.
FXTextField* textFieldOf(FXComboBox* box) { return static_cast<FXTextField*>(box->getFirst()); }

void appendMissing(FXComboBox* box, const std::vector<std::string>& names)
{
    std::set<std::string> listed;
    for (FXint i = 0; i < box->getNumItems(); ++i) listed.insert(box->getItemText(i).text());
    for (const std::string& name : names)
        if (listed.insert(name).second) box->appendItem(name.c_str());
}

}  // namespace

void fitToFixedChildren(FXDialogBox* dialog)
{
    dialog->resize(dialog->getDefaultWidth() + dialog->getPadRight(),
                   dialog->getDefaultHeight() + dialog->getPadBottom());
}

void NameControls::build(FXDialogBox* dialog, FXSelector duvantoId)
{
    FXGroupBox* nameGroup = nullptr;
    new FXLabel(dialog, "Your name:", nullptr, LABEL_NORMAL | FIXED, 30, 8);
    nameBox = nameField(dialog, 8, &nameGroup);
    partnerLabel = new FXLabel(dialog, "Partner: ", nullptr, LABEL_NORMAL | FIXED, 50, 42);
    partnerBox = nameField(dialog, 42, &partnerGroup);
    duvantoCheck = new FXCheckButton(dialog, "Duvanto", dialog, duvantoId, CHECKBUTTON_NORMAL | FIXED, 40, 70);
}

void NameControls::addNobody()
{
    partnerBox->appendItem(NO_PARTNER_NAME);
    partnerBox->setCurrentItem(0);
}

void NameControls::fillNameLists(const PlayerNames& names)
{
    // Appending to an empty list would put its first name in the field.
    const FXString shown = nameBox->getText();
    const std::vector<std::string> saved = names.list();
    appendMissing(nameBox, saved);
    appendMissing(partnerBox, saved);
    nameBox->setText(shown);
}

void NameControls::showLastPlayers(const PlayerNames& names)
{
    if (!nameBox->getText().empty() || names.lastName().empty()) return;
    // Selected by focusName(), so that typing replaces it.
    nameBox->setText(names.lastName().c_str());
    const std::string& partner = names.lastPartner();
    if (partner.empty()) return;
    const FXint item = partnerBox->findItem(partner.c_str());
    // A partner entry other than the first plays here even when it reads
    // "Nobody".
    if (item > 0) partnerBox->setCurrentItem(item);
    partnerBox->setText(partner.c_str());
}

void NameControls::showPartner()
{
    const bool shown = !duvantoCheck->getCheck();
    FXWindow* partnerControls[] = {partnerLabel, partnerBox, partnerGroup};
    for (FXWindow* window : partnerControls) shown ? window->show() : window->hide();
}

void NameControls::focusName()
{
    FXTextField* field = textFieldOf(nameBox);
    field->setFocus();
    field->selectAll();
}

bool NameControls::isEnterInNames(const FXEvent* event) const
{
    if (event->code != KEY_Return && event->code != KEY_KP_Enter) return false;
    return textFieldOf(nameBox)->hasFocus() || (partnerBox->shown() && textFieldOf(partnerBox)->hasFocus());
}

void NameControls::storeNames(GameState& game, PlayerNames& names) const
{
    ::storeNames(game, typedText(nameBox->getText().text()), typedText(partnerBox->getText().text()),
                 partnerBox->getCurrentItem() <= 0,
                 duvantoCheck->getCheck() == TRUE, names);
}

FXDEFMAP(GameSetup) GameSetupMap[] = {
    FXMAPFUNC(SEL_COMMAND, GameSetup::ID_START, GameSetup::onCmdStart),
    FXMAPFUNC(SEL_COMMAND, GameSetup::ID_DUVANTO, GameSetup::onCmdDuvanto),
    FXMAPFUNC(SEL_KEYPRESS, 0, GameSetup::onKeyPress),
    FXMAPFUNC(SEL_MAP, 0, GameSetup::onMap),
};
FXIMPLEMENT(GameSetup, FXDialogBox, GameSetupMap, ARRAYNUMBER(GameSetupMap))

GameSetup::GameSetup(FXWindow* ownerWindow, GameState& gameState, PlayerNames& playerNames, ComputerChoice& choice)
    : FXDialogBox(ownerWindow, "Game Setup", DECOR_TITLE | DECOR_BORDER),
      game(&gameState),
      names(&playerNames),
      computers(&choice)
{
    controls.build(this, ID_DUVANTO);
    new FXLabel(this, "Computer:", nullptr, LABEL_NORMAL | FIXED, 30, 100);
    computerBox = new FXListBox(this, nullptr, 0, FRAME_SUNKEN | FRAME_THICK | FIXED | LAYOUT_FIX_WIDTH, 104, 98,
                                NAME_BOX_WIDTH, 0);
    for (ComputerLevel level : {ComputerLevel::STANDARD, ComputerLevel::EXPERT})
        computerBox->appendItem(computerLevelName(level));
    computerBox->setNumVisible(2);
    new FXButton(this, " Start Game ", nullptr, this, ID_START, BUTTON_NORMAL | FIXED, 30, 130);
    new FXButton(this, " Quit ", nullptr, ownerWindow, ID_QUIT_GAME, BUTTON_NORMAL | FIXED, 150, 130);
}

void GameSetup::create()
{
    FXDialogBox::create();
    fitToFixedChildren(this);
    controls.addNobody();
}

void GameSetup::open()
{
    controls.fillNameLists(*names);
    computerBox->setCurrentItem(computers->level() == ComputerLevel::EXPERT ? 1 : 0);
    controls.showLastPlayers(*names);
    controls.focusName();
    show(PLACEMENT_OWNER);
}

long GameSetup::onCmdStart(FXObject*, FXSelector, void*)
{
    if (!controls.hasName()) return 1;
    controls.storeNames(*game, *names);
    computers->choose(computerBox->getCurrentItem() == 1 ? ComputerLevel::EXPERT : ComputerLevel::STANDARD);
    hide();
    getOwner()->handle(this, FXSEL(SEL_COMMAND, ID_START_GAME), nullptr);
    return 1;
}

long GameSetup::onKeyPress(FXObject* sender, FXSelector sel, void* ptr)
{
    FXEvent typed = typedKey(ptr);
    if (controls.isEnterInNames(&typed)) return onCmdStart(this, sel, &typed);
    return FXDialogBox::onKeyPress(sender, sel, &typed);
}

long GameSetup::onMap(FXObject* sender, FXSelector sel, void* ptr)
{
    FXDialogBox::onMap(sender, sel, ptr);
    // A window manager gives the keyboard to the main window that has just
    // appeared, not to this dialog opened over it a moment later, and the
    // name typed would reach nothing.
    setFocus();
    return 1;
}

long GameSetup::onCmdDuvanto(FXObject*, FXSelector, void*)
{
    controls.showPartner();
    return 1;
}
