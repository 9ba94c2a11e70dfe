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
    // Enter in the entry sends SEL_COMMAND with sel to receiver.
    ChatBar(FXComposite* window, FXObject* receiver, FXSelector sel);

    // Across the bottom of a parent of that size.
    void placeAtBottom(int parentWidth, int parentHeight);
    void addLine(const std::string& from, const std::string& text);
    // What was typed, and an empty entry for the next line.
    std::string takeEntry();

private:
    FXText* lines = nullptr;
    FXTextField* entry = nullptr;
};
