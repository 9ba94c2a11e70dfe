#include "net/prompt_dialog.h"

#include "ui/typed_key.h"

namespace {

constexpr FXuint FIXED = LAYOUT_FIX_X | LAYOUT_FIX_Y;
constexpr int BUTTON_GAP = 120;
constexpr int BUTTON_Y = 78;

}  // namespace

FXDEFMAP(PromptDialog) PromptDialogMap[] = {
    FXMAPFUNC(SEL_COMMAND, PromptDialog::ID_OK, PromptDialog::onCmdOk),
    FXMAPFUNC(SEL_KEYPRESS, 0, PromptDialog::onKeyPress),
};
FXIMPLEMENT(PromptDialog, FXDialogBox, PromptDialogMap, ARRAYNUMBER(PromptDialogMap))

PromptDialog::PromptDialog(FXWindow* ownerWindow, const FXString& titleText, const FXString& promptText)
    : FXDialogBox(ownerWindow, titleText, DECOR_TITLE | DECOR_BORDER | DECOR_RESIZE, 0, 0, 316, 110)
{
    new FXLabel(this, promptText, nullptr, LABEL_NORMAL | FIXED, 16, 10);
    // The field takes Return for itself: there it presses " OK ".
    field = new FXTextField(this, 30, this, ID_OK, TEXTFIELD_NORMAL | TEXTFIELD_ENTER_ONLY | FIXED, 16, 35);
    okButton = new FXButton(this, " OK ", nullptr, this, ID_OK, BUTTON_DEFAULT | FRAME_RAISED | FIXED);
    cancelButton = new FXButton(this, " Cancel ", nullptr, this, ID_CANCEL, BUTTON_NORMAL | FIXED);
}

void PromptDialog::create()
{
    FXDialogBox::create();
    // The buttons are not laid out yet: their default widths are the ones
    // they will get.
    const int okWidth = okButton->getDefaultWidth();
    const int cancelWidth = cancelButton->getDefaultWidth();
    const int x = (getWidth() - okWidth - cancelWidth - BUTTON_GAP) / 2;
    okButton->move(x, BUTTON_Y);
    cancelButton->move(getWidth() - x - cancelWidth, BUTTON_Y);
}

void PromptDialog::show(FXuint placement)
{
    field->setFocus();
    field->selectAll();
    FXDialogBox::show(placement);
}

long PromptDialog::onKeyPress(FXObject* sender, FXSelector sel, void* ptr)
{
    FXEvent typed = typedKey(ptr);
    return FXDialogBox::onKeyPress(sender, sel, &typed);
}

long PromptDialog::onCmdOk(FXObject*, FXSelector, void*)
{
    result = typedText(field->getText().text());
    handle(this, FXSEL(SEL_COMMAND, ID_ACCEPT), nullptr);
    return 1;
}
