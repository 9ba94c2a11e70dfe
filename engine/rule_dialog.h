// The modal "Rule Variations" dialog of the Game menu. It edits the rules
// waiting for the next game, never the rules of the game in progress.
#pragma once

#include <fx.h>

#include "engine/rules.h"

class RuleDialog : public FXDialogBox {
    FXDECLARE(RuleDialog)
protected:
    RuleDialog() = default;

public:
    enum {
        ID_FORCE_FOLLOW = 63,
        ID_RENEED_RULE = 64,
        ID_LAST,
    };
    static_assert(int{ID_FORCE_FOLLOW} > int{FXDialogBox::ID_LAST}, "ids follow those of FXDialogBox");

    RuleDialog(FXWindow* mainWindow, RuleSettings& rules);
    ~RuleDialog() override;

    void loadSettings();
    void storeSettings();

    long onCmdReneedRule(FXObject*, FXSelector, void*);
    long onCmdForceFollow(FXObject*, FXSelector, void*);

private:
    void updateEnabling();

    FXLabel* reneedLabel = nullptr;
    FXLabel* followLabel = nullptr;
    FXOptionMenu* reneedMenu = nullptr;
    FXOptionMenu* followMenu = nullptr;
    FXOptionMenu* lengthMenu = nullptr;
    FXOptionMenu* underTrumpMenu = nullptr;
    FXOptionMenu* hangJackMenu = nullptr;
    FXMenuPane* reneedPane = nullptr;
    FXMenuPane* followPane = nullptr;
    FXCheckButton* tobagoCheck = nullptr;
    FXCheckButton* noGamePointCheck = nullptr;
    FXCheckButton* forceBegCheck = nullptr;
    RuleSettings* settings = nullptr;
};

// The Game menu's "Rule variations..." command: creates the dialog on first
// use and keeps it; each time shows pendingRules and stores them on OK.
void runRuleDialog(RuleDialog*& dialog, FXWindow* owner, RuleSettings& pendingRules);
