// The chat of a network game, along the bottom of the window over the
// table's lowest strip, where no cards lie: the last lines said and a
// one-line entry. Hidden outside network games, and the table keeps its
// size either way.
#pragma once

#include <string>

#include <fx.h>

class ChatBar : public FXVerticalFrame {
    FXDECLARE(ChatBar)

protected:
    ChatBar() {}

public:
    enum { ID_ENTRY = FXVerticalFrame::ID_LAST, ID_LAST };

    // Enter in the entry, and only Enter, sends SEL_COMMAND with sel to
    // receiver. The entry holds no more than a line of chat carries.
    ChatBar(FXComposite* window, FXObject* receiver, FXSelector sel);

    // Across the bottom of a parent of that size.
    void placeAtBottom(int parentWidth, int parentHeight);
    void addLine(const std::string& from, const std::string& text);
    // What was typed, and an empty entry for the next line.
    std::string takeEntry();
    // No line said and nothing typed: a session begins.
    void clear();

    long onCmdEntry(FXObject*, FXSelector, void*);
    long onChangedEntry(FXObject*, FXSelector, void*);

private:
    FXText* lines = nullptr;
    FXTextField* entry = nullptr;
};
