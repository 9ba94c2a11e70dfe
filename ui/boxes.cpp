// The message boxes and the round summary, and where they open: clear of
// the play on the table and of each other.
#include "ui/frame.h"
#include "ui/round_summary.h"
#include "ui/screen_size.h"

void Frame::showNotice(const std::string& caption, const std::string& text)
{
    placeNextBoxClear();
    FXMessageBox::warning(this, MBOX_OK, caption.c_str(), "%s", text.c_str());
}

void Frame::showInformation(const std::string& caption, const std::string& text)
{
    placeNextBoxClear();
    FXMessageBox::information(this, MBOX_OK, caption.c_str(), "%s", text.c_str());
}

void Frame::showError(const std::string& caption, const std::string& text)
{
    placeNextBoxClear();
    FXMessageBox::error(this, MBOX_OK, caption.c_str(), "%s", text.c_str());
}

bool Frame::askQuestion(const std::string& caption, const std::string& text)
{
    placeNextBoxClear();
    // Escape and the close box answer too (as Cancel): only No means no.
    return FXMessageBox::question(this, MBOX_YES_NO, caption.c_str(), "%s", text.c_str()) != MBOX_CLICKED_NO;
}

Rect Frame::rootRectOf(const FXWindow* window) const
{
    FXint x = 0;
    FXint y = 0;
    window->translateCoordinatesTo(x, y, getRoot(), 0, 0);
    return {x, y, window->getWidth(), window->getHeight()};
}

Rect Frame::screenRect() const { return {0, 0, getRoot()->getWidth(), getRoot()->getHeight()}; }

// A window manager's title bar and border stand outside these rectangles.
static Rect withDecorations(const Rect& r)
{
    return {r.x - WINDOW_BORDER, r.y - WINDOW_TITLE_HEIGHT, r.w + 2 * WINDOW_BORDER,
            r.h + WINDOW_TITLE_HEIGHT + WINDOW_BORDER};
}

void Frame::centreOnWindow(FXWindow* box)
{
    const Rect window = rootRectOf(this);
    box->move(window.x + (window.w - box->getWidth()) / 2, window.y + (window.h - box->getHeight()) / 2);
}

void Frame::showRoundSummary(const RoundSummary& summary)
{
    closeRoundSummary();
    roundSummary = buildRoundSummary(this, summary);
    roundSummary->create();
    // It is read, not answered: the keys stay with the table, and the
    // next key closes it; one that reaches it all the same goes on to the table.
    openWithoutFocus(roundSummary);
    roundSummary->setTarget(this);
    roundSummary->setSelector(ID_SUMMARY_KEY);
    // Out of the way: neither the trick, where the next round's cards land,
    // nor the person's hand may be covered, nor, where the screen has room,
    // the corners where the next beg is decided and told.
    const Rect canvasAt = rootRectOf(canvas);
    auto onScreen = [&canvasAt](Rect r) {
        r.x += canvasAt.x;
        r.y += canvasAt.y;
        return withDecorations(r);
    };
    const TableLayout& layout = tableLayout();
    const std::vector<Rect> play = {onScreen(layout.trickArea()), onScreen(layout.fullHandArea(POS_BOTTOM))};
    std::vector<Rect> keepClear = play;
    keepClear.push_back(onScreen(canvas->noteArea()));
    keepClear.push_back(onScreen(layout.begCorner()));
    const int w = roundSummary->getWidth();
    const int h = roundSummary->getHeight();
    const Rect wanted = withDecorations({canvasAt.x + (canvasAt.w - w) / 2, canvasAt.y, w, h});
    Rect placed = placeClear(wanted, keepClear, screenRect());
    if (overlaps(placed, play[0]) || overlaps(placed, play[1])) placed = placeClear(wanted, play, screenRect());
    const Rect frameOnly = withDecorations({0, 0, 0, 0});
    roundSummary->move(placed.x - frameOnly.x, placed.y - frameOnly.y);
    roundSummary->show(PLACEMENT_DEFAULT);
}

void Frame::placeNextBoxClear()
{
    // The box is built and run inside the toolkit's call: it is moved from
    // the first turn of its own modal loop.
    if (roundSummary && roundSummary->shown()) getApp()->addTimeout(this, ID_PLACE_BOX, 0);
}

long Frame::onPlaceBoxTimer(FXObject*, FXSelector, void*)
{
    FXWindow* box = getApp()->getModalWindow();
    if (!box || box == roundSummary || !roundSummary || !roundSummary->shown()) return 1;
    const Rect boxRect = withDecorations(rootRectOf(box));
    const Rect placed = placeClear(boxRect, {withDecorations(rootRectOf(roundSummary))}, screenRect());
    const Rect frameOnly = withDecorations({0, 0, 0, 0});
    if (placed.x != boxRect.x || placed.y != boxRect.y) box->move(placed.x - frameOnly.x, placed.y - frameOnly.y);
    return 1;
}

long Frame::onSummaryKey(FXObject*, FXSelector, void* ptr)
{
    // Only hidden: the summary is the sender, deleted at the next close.
    roundSummary->hide();
    const auto* event = static_cast<const FXEvent*>(ptr);
    const bool plain = (event->state & (CONTROLMASK | ALTMASK | METAMASK)) == 0;
    if (plain && playByKey(event->code)) return 1;
    return FXMainWindow::onKeyPress(this, FXSEL(SEL_KEYPRESS, 0), ptr);
}

void Frame::closeRoundSummary()
{
    delete roundSummary;
    roundSummary = nullptr;
}
