#include "ui/chat_bar.h"

namespace {

constexpr int SHOWN_LINES = 3;
// Older lines go; the view shows only the last few anyway.
constexpr int KEPT_LINES = 100;

}  // namespace

FXIMPLEMENT(ChatBar, FXVerticalFrame, nullptr, 0)

ChatBar::ChatBar(FXComposite* window, FXObject* receiver, FXSelector sel)
    : FXVerticalFrame(window, LAYOUT_FIX_X | LAYOUT_FIX_Y | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 0, 0, 2, 2, 2, 2,
                      0, 2)
{
    lines = new FXText(this, nullptr, 0, TEXT_READONLY | TEXT_WORDWRAP | LAYOUT_FILL_X);
    lines->setVisibleRows(SHOWN_LINES);
    entry = new FXTextField(this, 40, receiver, sel, TEXTFIELD_NORMAL | LAYOUT_FILL_X);
}

void ChatBar::addLine(const std::string& from, const std::string& text)
{
    const FXString line = FXString((from + ": " + text).c_str());
    if (lines->getLength() > 0) lines->appendText("\n", 1);
    lines->appendText(line.text(), line.length());
    while (lines->countLines(0, lines->getLength()) > KEPT_LINES) lines->removeText(0, lines->nextLine(0));
    lines->makePositionVisible(lines->getLength());
}

void ChatBar::placeAtBottom(int parentWidth, int parentHeight)
{
    const int h = getDefaultHeight();
    setX(0);
    setY(parentHeight - h);
    setWidth(parentWidth);
    setHeight(h);
    raise();
}

std::string ChatBar::takeEntry()
{
    const std::string text = entry->getText().text();
    entry->setText(FXString::null);
    return text;
}
