#include "ui/chat_bar.h"

#include "net/chat.h"
#include "net/utf8_text.h"

namespace {

constexpr int SHOWN_LINES = 3;
// Older lines go; the view shows only the last few anyway.
constexpr int KEPT_LINES = 100;

}  // namespace

FXDEFMAP(ChatBar) ChatBarMap[] = {
    FXMAPFUNC(SEL_COMMAND, ChatBar::ID_ENTRY, ChatBar::onCmdEntry),
    FXMAPFUNC(SEL_CHANGED, ChatBar::ID_ENTRY, ChatBar::onChangedEntry),
};
FXIMPLEMENT(ChatBar, FXVerticalFrame, ChatBarMap, ARRAYNUMBER(ChatBarMap))

ChatBar::ChatBar(FXComposite* window, FXObject* receiver, FXSelector sel)
    : FXVerticalFrame(window, LAYOUT_FIX_X | LAYOUT_FIX_Y | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 0, 0, 2, 2, 2, 2,
                      0, 2)
{
    lines = new FXText(this, nullptr, 0, TEXT_READONLY | TEXT_WORDWRAP | LAYOUT_FILL_X);
    lines->setVisibleRows(SHOWN_LINES);
    // Without ENTER_ONLY a half-typed line would go out when the entry
    // loses the keys.
    entry = new FXTextField(this, 40, this, ID_ENTRY, TEXTFIELD_NORMAL | TEXTFIELD_ENTER_ONLY | LAYOUT_FILL_X);
    setTarget(receiver);
    setSelector(sel);
}

long ChatBar::onCmdEntry(FXObject*, FXSelector, void* ptr)
{
    return target ? target->tryHandle(this, FXSEL(SEL_COMMAND, message), ptr) : 0;
}

long ChatBar::onChangedEntry(FXObject*, FXSelector, void*)
{
    const std::string text = typedText(entry->getText().text());
    if (text.size() <= CHAT_LINE_MAX) return 1;
    // What goes out is cut to this anyway; the entry shows no more.
    entry->setText(plainText(text, CHAT_LINE_MAX).c_str());
    entry->setCursorPos(entry->getText().length());
    return 1;
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

void ChatBar::clear()
{
    lines->removeText(0, lines->getLength());
    entry->setText(FXString::null);
}

std::string ChatBar::takeEntry()
{
    const std::string text = typedText(entry->getText().text());
    entry->setText(FXString::null);
    return text;
}
