#include "ui/info_dialogs.h"

#include <fx.h>

#include "info_texts.h"
#include "ui/rules_text.h"

namespace {

const char ABOUT_TEXT[] =
    "Marvanto\n"
    "\n"
    "Marvanto is a desktop card game of high, low, jack and game as it is played in Trinidad, with the "
    "dealer's kick, begging, hang jack and reneeds. Play with a partner against two computer players, with a "
    "friend beside you at the same machine, in the two-handed Duvanto mode, or with friends over a network.\n"
    "\n"
    "Marvanto is free software: you may share it and change it under the terms of the GNU General Public "
    "License, version 3 or (at your option) any later version. It comes with no warranty.\n";

constexpr FXint PAD = 2;
// Return closes a dialog as OK does.
constexpr FXuint OK_BUTTON = BUTTON_INITIAL | BUTTON_DEFAULT | ICON_BEFORE_TEXT | FRAME_RAISED | FRAME_THICK;

struct TextBox {
    FXint y;
    FXint width;
    FXint height;
};

constexpr TextBox ABOUT_BOX = {100, 360, 175};
constexpr FXint ABOUT_OK_Y = 280;
constexpr TextBox READING_BOX = {8, 460, 240};

class InfoDialog {
public:
    InfoDialog(FXWindow* owner, const char* title, FXuint decorations = DECOR_TITLE | DECOR_BORDER)
        : dialog(owner, title, decorations, 0, 0, 0, 0, 10, 10, 10, 10, 4, 4)
    {
    }

    void addLabel(const char* text, FXint y)
    {
        new FXLabel(&dialog, text, nullptr, LAYOUT_CENTER_X | LAYOUT_FIX_Y, 0, y, 0, 0, PAD, PAD, PAD, PAD);
    }

    FXText* addTextBox(const TextBox& box)
    {
        auto* frame = new FXHorizontalFrame(
            &dialog, FRAME_RAISED | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT | LAYOUT_CENTER_X | LAYOUT_FIX_Y, 0, box.y,
            box.width, box.height, 4, 4, 4, 4, 4, 4);
        return addText(frame);
    }

    void run(FXint okY)
    {
        new FXButton(&dialog, "OK", nullptr, &dialog, FXDialogBox::ID_ACCEPT,
                     OK_BUTTON | LAYOUT_CENTER_X | LAYOUT_FIX_Y, 0, okY, 0, 0, PAD, PAD, PAD, PAD);
        dialog.execute(PLACEMENT_SCREEN);
    }

protected:
    static FXText* addText(FXComposite* frame)
    {
        return new FXText(frame, nullptr, 0, TEXT_READONLY | TEXT_WORDWRAP | VSCROLLER_ALWAYS | LAYOUT_FILL_X | LAYOUT_FILL_Y,
                          0, 0, 0, 0, 3, 3, 2, 2);
    }

    FXDialogBox dialog;
};

// How to Play and the Rules are read at length: the window can be resized,
// the text stretching with it and OK staying centred below.
class ReadingDialog : public InfoDialog {
public:
    ReadingDialog(FXWindow* owner, const char* title)
        : InfoDialog(owner, title, DECOR_TITLE | DECOR_BORDER | DECOR_RESIZE)
    {
        // Packed before the text, so that the text leaves it its room.
        new FXButton(&dialog, "OK", nullptr, &dialog, FXDialogBox::ID_ACCEPT,
                     OK_BUTTON | LAYOUT_SIDE_BOTTOM | LAYOUT_CENTER_X, 0, 0, 0, 0, PAD, PAD, PAD, PAD);
        frame = new FXHorizontalFrame(&dialog, FRAME_RAISED | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT | LAYOUT_CENTER_X, 0,
                                      0, READING_BOX.width, READING_BOX.height, 4, 4, 4, 4, 4, 4);
        text = addText(frame);
    }

    FXText* textBox() { return text; }

    void run()
    {
        // The window opens at the box's size; from then on the box fills it.
        dialog.create();
        dialog.resize(dialog.getDefaultWidth(), dialog.getDefaultHeight());
        frame->setLayoutHints(LAYOUT_FILL_X | LAYOUT_FILL_Y);
        dialog.execute(PLACEMENT_SCREEN);
    }

private:
    FXHorizontalFrame* frame = nullptr;
    FXText* text = nullptr;
};

}  // namespace

void showAbout(FXWindow* owner)
{
    InfoDialog about(owner, "About Marvanto");
    about.addLabel("Marvanto Computer Game Version " MARVANTO_VERSION, 8);
    about.addLabel("Written by the Marvanto developers", 35);
    about.addLabel("Cards and pictures drawn by Marvanto's own artwork generator", 55);
    about.addLabel("Free software under the GNU GPL, version 3 or later", 75);
    about.addTextBox(ABOUT_BOX)->setText(FXString(ABOUT_TEXT), false);
    about.run(ABOUT_OK_Y);
}

void showHowToPlay(FXWindow* owner)
{
    ReadingDialog howToPlay(owner, "How to Play");
    howToPlay.textBox()->setText(FXString(texts::help), false);
    howToPlay.run();
}

void showRules(FXWindow* owner)
{
    ReadingDialog rules(owner, "Rules of Marvanto");
    FXText* text = rules.textBox();
    text->setStyled(TRUE);
    for (const RulesLine& line : rulesLines(texts::rules))
        text->appendStyledText(line.text.data(), static_cast<FXint>(line.text.size()),
                               line.heading ? FXText::STYLE_BOLD : 0, false);
    rules.run();
}
