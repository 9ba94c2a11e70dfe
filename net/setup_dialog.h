// The game setup dialog: the player's name, a partner at this machine or a
// two-handed game, then a local game. Its name controls are shared with the
// Network Game dialog.
#pragma once

#include <fx.h>

#include "net/computer_choice.h"
#include "net/player_names.h"

// The main window's commands the dialog sends.
enum : FXSelector {
    ID_START_GAME = 60,
    ID_QUIT_GAME = 64,
};

// Children at fixed places leave the right and bottom padding out of a
// dialog's default size; this puts the margins back.
void fitToFixedChildren(FXDialogBox* dialog);

// The player's name, the partner's name and the "Duvanto" check, at their
// fixed places in a dialog. The dialog owns the widgets.
struct NameControls {
    FXLabel* partnerLabel = nullptr;
    FXComboBox* nameBox = nullptr;
    FXComboBox* partnerBox = nullptr;
    FXCheckButton* duvantoCheck = nullptr;
    FXGroupBox* partnerGroup = nullptr;

    // The check button reports to the dialog under duvantoId.
    void build(FXDialogBox* dialog, FXSelector duvantoId);
    // From the dialog's create(): the partner list starts at "Nobody".
    void addNobody();
    // Offers each saved name once in both lists; what the fields show and
    // the partner list's current entry stay as they are.
    void fillNameLists(const PlayerNames& names);
    // The fields of a dialog opened for the first time show who played last,
    // the player's name selected so that typing replaces it.
    void showLastPlayers(const PlayerNames& names);
    // After the check button toggled: a two-handed game has no partner.
    void showPartner();
    bool hasName() const { return !nameBox->getText().empty(); }
    // Puts the keys into the name box's text field, its text selected so
    // that typing replaces it.
    void focusName();
    // Whether a key press is Return or Enter typed in one of the name
    // fields, which take it for themselves: the dialog answers it.
    bool isEnterInNames(const FXEvent* event) const;
    void storeNames(GameState& game, PlayerNames& names) const;
};

class GameSetup : public FXDialogBox {
    FXDECLARE(GameSetup)

protected:
    GameSetup() {}

public:
    enum {
        ID_START = FXDialogBox::ID_LAST,
        ID_DUVANTO = ID_START + 2,
        ID_LAST
    };

    // The owner is the main window: it gets ID_START_GAME and ID_QUIT_GAME.
    GameSetup(FXWindow* owner, GameState& game, PlayerNames& names, ComputerChoice& computers);
    void create() override;
    // Shows the dialog centred on its owner without a modal loop, the lists
    // refreshed, the remembered computer level chosen and the name field
    // focused.
    void open();

    long onCmdStart(FXObject*, FXSelector, void*);
    long onCmdDuvanto(FXObject*, FXSelector, void*);
    // Return in a name field starts the game.
    long onKeyPress(FXObject*, FXSelector, void*);
    // Once shown, the dialog takes the keyboard.
    long onMap(FXObject*, FXSelector, void*);

private:
    GameState* game = nullptr;
    PlayerNames* names = nullptr;
    ComputerChoice* computers = nullptr;
    NameControls controls;
    // "Standard", "Expert": the level of every computer seat of the game.
    FXListBox* computerBox = nullptr;
};

static_assert(GameSetup::ID_START == 62 && GameSetup::ID_DUVANTO == 64, "numbered from FXDialogBox::ID_LAST");
