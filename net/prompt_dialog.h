// A one-line prompt: a label, a text field, " OK " and " Cancel ".
#pragma once

#include <optional>
#include <string>

#include <fx.h>

class PromptDialog : public FXDialogBox {
    FXDECLARE(PromptDialog)

protected:
    PromptDialog() {}

public:
    enum {
        ID_OK = FXDialogBox::ID_LAST,
        ID_LAST
    };

    PromptDialog(FXWindow* owner, const FXString& title, const FXString& prompt);
    // Centres the two buttons with 120 pixels between them.
    void create() override;
    // Every opening puts the keys in the field, its text selected so that
    // typing replaces it.
    void show(FXuint placement) override;

    // The field's text when " OK " was last pressed; none since clearResult().
    const std::optional<std::string>& getResult() const { return result; }
    void clearResult() { result.reset(); }

    long onKeyPress(FXObject*, FXSelector, void*);
    long onCmdOk(FXObject*, FXSelector, void*);

private:
    std::optional<std::string> result;
    FXTextField* field = nullptr;
    FXButton* okButton = nullptr;
    FXButton* cancelButton = nullptr;
};

static_assert(PromptDialog::ID_OK == 62, "numbered from FXDialogBox::ID_LAST");
