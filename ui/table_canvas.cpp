// Drawing the table into the off-screen image, painting it, and the timed
// effects the engine asks for.
#include "ui/table_canvas.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include <FXJPGImage.h>

#include "net/transport.h"
#include "ui/artwork.h"
#include "ui/background_fit.h"
#include "ui/click_rules.h"

FXDEFMAP(TableCanvas) TableCanvasMap[] = {
    FXMAPFUNC(SEL_PAINT, 0, TableCanvas::onPaint),
    FXMAPFUNC(SEL_TIMEOUT, TableCanvas::ID_ANIMATION, TableCanvas::onTimeoutAnimation),
};

FXIMPLEMENT(TableCanvas, FXCanvas, TableCanvasMap, ARRAYNUMBER(TableCanvasMap))

namespace {

constexpr FXColor SOLID_CLOTH = FXRGB(0, 120, 50);
constexpr FXColor BLACK = FXRGB(0, 0, 0);
constexpr FXColor WHITE = FXRGB(255, 255, 255);
// Bright with a dark edge, so it shows on the cloth and on any picture.
constexpr FXColor TURN_MARK = FXRGB(255, 220, 0);
constexpr FXColor NOTE_TEXT = FXRGB(255, 240, 160);
constexpr const char* BEG_PROMPT = "Beg or play a card";
constexpr FXColor ANNOUNCEMENT = FXRGB(240, 10, 40);
constexpr FXColor HINT = FXRGB(255, 215, 0);
constexpr int HINT_LINE = 3;
constexpr int TRICK_SIZE_MAX = 4;
constexpr int HANG_JACK_FRAMES = 4;
constexpr int HANG_JACK_INTERVAL_MS = 400;

Rect unite(const Rect& a, const Rect& b)
{
    if (a.w <= 0 || a.h <= 0) return b;
    if (b.w <= 0 || b.h <= 0) return a;
    const int x0 = std::min(a.x, b.x);
    const int y0 = std::min(a.y, b.y);
    return {x0, y0, std::max(a.x + a.w, b.x + b.w) - x0, std::max(a.y + a.h, b.y + b.h) - y0};
}

bool isEmpty(const Rect& r) { return r.w <= 0 || r.h <= 0; }

}  // namespace

TableCanvas::TableCanvas(FXComposite* parent, FXObject* target, FXSelector sel, GameState* state, CardScale scale,
                         int width, int height)
    : FXCanvas(parent, target, sel, LAYOUT_FILL_X | LAYOUT_FILL_Y), game(state)
{
    tableImage = new FXBMPImage(getApp(), nullptr, IMAGE_SHMI | IMAGE_SHMP, width, height);
    savedTableImage = new FXBMPImage(getApp(), nullptr, IMAGE_SHMI | IMAGE_SHMP, width, height);
    useScale(scale, width, height);
}

TableCanvas::~TableCanvas()
{
    deleteArtwork();
    fonts.destroy();
    retiredFonts.destroy();
    delete fittedBackground;
    delete backgroundImage;
    delete tableImage;
    delete savedTableImage;
}

void TableCanvas::create()
{
    FXCanvas::create();
    createArtwork();
    tableImage->create();
    savedTableImage->create();
}

void TableCanvas::loadArtwork(CardScale scale)
{
    const ArtworkSet& pictures = artworkAt(scale);
    // The icon is opaque; without IMAGE_OPAQUE the GIF loader would make
    // its background colour transparent.
    icon = new FXGIFIcon(getApp(), pictures.icon, FXRGB(192, 192, 192), IMAGE_OPAQUE);
    bannerImage = new FXJPGImage(getApp(), pictures.banner, 0);
    bannerSideImage = new FXGIFImage(getApp(), pictures.bannerSide, 0);
}

void TableCanvas::loadCards()
{
    if (cardBackImage) return;
    const ArtworkSet& pictures = artworkAt(layout.scale());
    // Cards are icons: what lies outside their rounded corners is clear.
    for (int i = 0; i < CARD_COUNT; ++i) cardImages[i] = new FXGIFIcon(getApp(), pictures.cardFaces[i]);
    cardBackImage = new FXGIFIcon(getApp(), pictures.cardBack);
    if (!id()) return;
    for (FXIcon* image : cardImages) image->create();
    cardBackImage->create();
}

void TableCanvas::loadHangJack()
{
    if (hangJackPictures[0]) return;
    const ArtworkSet& pictures = artworkAt(layout.scale());
    for (size_t i = 0; i < hangJackPictures.size(); ++i) {
        hangJackPictures[i] = new FXGIFIcon(getApp(), pictures.hangJack[i]);
        hangJackPictures[i]->create();
    }
}

void TableCanvas::createArtwork()
{
    for (FXIcon* image : cardImages)
        if (image) image->create();
    if (cardBackImage) cardBackImage->create();
    icon->create();
    bannerImage->create();
    bannerSideImage->create();
}

void TableCanvas::deleteArtwork()
{
    for (FXIcon*& image : cardImages) {
        delete image;
        image = nullptr;
    }
    for (FXIcon*& picture : hangJackPictures) {
        delete picture;
        picture = nullptr;
    }
    delete cardBackImage;
    delete icon;
    delete bannerImage;
    delete bannerSideImage;
    cardBackImage = nullptr;
    icon = nullptr;
    bannerImage = nullptr;
    bannerSideImage = nullptr;
}

void TableCanvas::useScale(CardScale scale, int windowWidth, int windowHeight)
{
    const bool created = id() != 0;
    deleteArtwork();
    loadArtwork(scale);
    if (created) createArtwork();
    // The labels and the button let go of the old fonts only once the
    // window gives them the new ones: freed at the next change.
    retiredFonts.destroy();
    retiredFonts = fonts;
    fonts = TableFonts::create(getApp(), scale);
    const PixelSize card = gifSize(artworkAt(scale).cardFaces[0]);
    layout = TableLayout(CardMetrics{card.width, card.height}, windowWidth, windowHeight, scale);
}

void TableCanvas::layoutTrickSlots(int windowWidth, int windowHeight)
{
    layout = TableLayout(layout.card(), windowWidth, windowHeight, layout.scale());
}

void TableCanvas::setBackgroundImage(FXImage* image)
{
    delete fittedBackground;
    fittedBackground = nullptr;
    delete backgroundImage;
    backgroundImage = image;
}

void TableCanvas::setStatus(const std::string& text)
{
    statusNote = text;
    drawTable(true);
}

void TableCanvas::setHint(const BackgroundExpert::Advice& advice)
{
    hint = advice;
    hintView = makeSeatView(*game, advice.seat, begOpen && game->turn == advice.seat);
    hintShown = true;
    drawTable(true);
}

int TableCanvas::currentKeyPick() const
{
    if (keyPick < 0 || keyPickAt != game->appliedActions || !localHumanToAct(*game)) return -1;
    return std::min(keyPick, countCards(game->seats[game->turn].hand) - 1);
}

void TableCanvas::moveKeyPick(int step)
{
    if (!localHumanToAct(*game)) return;
    const int count = countCards(game->seats[game->turn].hand);
    if (count == 0) return;
    const int now = currentKeyPick();
    keyPick = now < 0 ? (step > 0 ? 0 : count - 1) : std::max(0, std::min(now + step, count - 1));
    keyPickAt = game->appliedActions;
    drawTable(true);
}

void TableCanvas::showLastTrick()
{
    // A running animation erases its frames from the saved copy, which the
    // view would overwrite; a second press would save the view itself.
    if (animation.running() || lastTrickShowing) return;
    copyImage(tableImage, savedTableImage);
    const std::vector<ShownCard> cards = lastTrickCards(*game);
    if (cards.empty()) return;
    {
        FXDCWindow dc(tableImage);
        for (const ShownCard& card : cards) {
            const Point slot = layout.trickSlots()[card.position];
            drawCard(dc, card.index, slot.x, slot.y, true);
        }
    }
    paintAll();
    lastTrickShowing = true;
}

void TableCanvas::restoreTable()
{
    if (!lastTrickShowing) return;
    lastTrickShowing = false;
    copyImage(savedTableImage, tableImage);
    paintAll();
}

Rect TableCanvas::noteArea() const { return layout.noteArea(static_cast<int>(NOTES_KEPT), noteLineHeight()); }

void TableCanvas::drawCard(FXDCWindow& dc, int index, int x, int y, bool faceUp)
{
    if (!isCardIndex(index)) return;
    loadCards();
    // The pictures carry their own dark edge and rounded corners, through
    // which the cloth shows.
    dc.drawIcon(faceUp ? cardImages[index] : cardBackImage, x, y);
}

void TableCanvas::drawHand(FXDCWindow& dc, int position, bool faceUp)
{
    const int seat = seatAtPosition(*game, position);
    Card* hand = game->seats[seat].hand;
    const int count = countCards(hand);
    Point at = layout.handOrigin(position, count);
    const Point step = layout.handStep(position, count);
    // The card the keys picked rises from the hand of the person to act.
    const int picked = faceUp && seat == game->turn ? currentKeyPick() : -1;
    int i = 0;
    for (const Card* card = hand; card; card = card->next, ++i) {
        if (i == picked) {
            const int rise = layout.pickedCardRise();
            drawCard(dc, cardIndex(card), at.x, at.y - rise, true);
            const int t = layout.turnMarkerWidth();
            dc.setForeground(TURN_MARK);
            dc.setLineWidth(t);
            dc.drawRectangle(at.x - t / 2 - 1, at.y - rise - t / 2 - 1, layout.card().width + t + 1,
                             layout.card().height + t + 1);
            dc.setLineWidth(0);
        } else {
            drawCard(dc, cardIndex(card), at.x, at.y, faceUp);
        }
        at.x += step.x;
        at.y += step.y;
    }
}

void TableCanvas::drawTrick(FXDCWindow& dc, const Card* trick, int offsetX, int offsetY)
{
    int drawn = 0;
    for (const Card* card = trick; card && drawn < TRICK_SIZE_MAX; card = card->next, ++drawn) {
        const Point slot = layout.trickSlots()[positionOfSeat(*game, card->holder)];
        drawCard(dc, cardIndex(card), slot.x + offsetX, slot.y + offsetY, true);
    }
}

void TableCanvas::drawOutlinedText(FXDCWindow& dc, int x, int y, const FXString& text, FXColor colour)
{
    static const int OUTLINE[][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    const int thickness = scaled(1, layout.scale());
    dc.setForeground(BLACK);
    for (const auto& d : OUTLINE) dc.drawText(x + d[0] * thickness, y + d[1] * thickness, text);
    dc.setForeground(colour);
    dc.drawText(x, y, text);
}

void TableCanvas::drawStatus(FXDCWindow& dc)
{
    if (statusNote.empty()) return;
    const FXString text = statusNote.c_str();
    const int x = (tableImage->getWidth() - fonts.table->getTextWidth(text)) / 2;
    drawOutlinedText(dc, std::max(4, x), tableImage->getHeight() / 2, text, WHITE);
}

void TableCanvas::drawNames(FXDCWindow& dc)
{
    for (int p = 0; p < 4; ++p) {
        const int seat = seatAtPosition(*game, p);
        if (!game->seatInPlay(seat)) continue;
        FXString name = game->seats[seat].name.c_str();
        if (seat == game->dealer) name += " (dealer)";
        if (game->seats[seat].standIn) name += " (computer)";
        const Point at = layout.nameOrigin(p, fonts.table->getTextWidth(name));
        drawOutlinedText(dc, at.x, at.y, name, seat == game->turn ? TURN_MARK : WHITE);
    }
}

void TableCanvas::drawBackground(FXDCWindow& dc)
{
    const int pictureWidth = backgroundImage->getWidth();
    const int pictureHeight = backgroundImage->getHeight();
    const PixelSize size = backgroundDrawnSize(pictureWidth, pictureHeight, tableImage->getWidth(), layout.bannerTop());
    if (size.width == pictureWidth && size.height == pictureHeight) {
        dc.drawImage(backgroundImage, 0, 0);
        return;
    }
    if (!fittedBackground || fittedBackground->getWidth() != size.width || fittedBackground->getHeight() != size.height) {
        delete fittedBackground;
        // Scaled once per size from a copy of the kept pixels, then only drawn.
        fittedBackground = new FXImage(getApp(), nullptr, IMAGE_OWNED, pictureWidth, pictureHeight);
        std::copy(backgroundImage->getData(), backgroundImage->getData() + pictureWidth * pictureHeight, fittedBackground->getData());
        fittedBackground->scale(size.width, size.height, 1);
        fittedBackground->create();
    }
    dc.drawImage(fittedBackground, 0, 0);
}

void TableCanvas::drawTurnMarker(FXDCWindow& dc)
{
    if (!game->isSeat(game->turn)) return;
    const int position = positionOfSeat(*game, game->turn);
    const Point slot = layout.trickSlots()[position];
    const int w = layout.card().width;
    const int h = layout.card().height;
    const int t = layout.turnMarkerWidth();
    // A bright band, edged in black inside and out, around the slot.
    dc.setForeground(BLACK);
    dc.setLineWidth(0);
    dc.drawRectangle(slot.x - t - 1, slot.y - t - 1, w + 2 * t + 1, h + 2 * t + 1);
    dc.setForeground(TURN_MARK);
    dc.fillRectangle(slot.x - t, slot.y - t, w + 2 * t, t);
    dc.fillRectangle(slot.x - t, slot.y + h, w + 2 * t, t);
    dc.fillRectangle(slot.x - t, slot.y, t, h);
    dc.fillRectangle(slot.x + w, slot.y, t, h);
    dc.setForeground(BLACK);
    dc.drawRectangle(slot.x - 1, slot.y - 1, w + 1, h + 1);
    if (begOpen && localHumanToAct(*game)) {
        const FXString prompt = BEG_PROMPT;
        const Point at = layout.promptOrigin(position, fonts.table->getTextWidth(prompt), fonts.table->getFontAscent());
        drawOutlinedText(dc, at.x, at.y, prompt, TURN_MARK);
    }
}

int TableCanvas::noteLineHeight() const { return fonts.table->getFontHeight() + 2; }

void TableCanvas::drawNotes(FXDCWindow& dc)
{
    const int lineHeight = noteLineHeight();
    for (size_t i = 0; i < notes.size(); ++i) {
        const FXString text = notes[i].c_str();
        const Point at = layout.noteOrigin(static_cast<int>(i), fonts.table->getTextWidth(text), lineHeight);
        drawOutlinedText(dc, at.x, at.y, text, NOTE_TEXT);
    }
}

void TableCanvas::addNote(const std::string& text)
{
    notes.push_back(text);
    if (notes.size() > NOTES_KEPT) notes.erase(notes.begin());
    if (!animation.running()) drawTable(true);
}

void TableCanvas::drawTable(bool refresh)
{
    // Whatever the last-trick view covered is drawn over now.
    lastTrickShowing = false;
    {
        FXDCWindow dc(tableImage);
        dc.setForeground(SOLID_CLOTH);
        dc.fillRectangle(0, 0, tableImage->getWidth(), tableImage->getHeight());
        if (backgroundImage) drawBackground(dc);

        const bool begPending = begOpen;
        for (int p = 0; p < 4; ++p) {
            const int seat = seatAtPosition(*game, p);
            if (game->seatInPlay(seat)) drawHand(dc, p, handFaceUp(*game, seat, begPending));
        }
        drawTrick(dc, game->trick, 0, 0);

        dc.setFont(fonts.table);
        if (game->kicked) {
            const Point at = layout.kickedCardOrigin();
            drawCard(dc, cardIndex(game->kicked), at.x, at.y, true);
            const Point caption = layout.kickedCaptionOrigin();
            drawOutlinedText(dc, caption.x, caption.y, "Flipped card", WHITE);
        }
        drawNames(dc);
        drawStatus(dc);
        drawHint(dc);
        drawTurnMarker(dc);
        drawNotes(dc);
    }
    if (refresh) paintAll();
}

void TableCanvas::drawHint(FXDCWindow& dc)
{
    if (!hintShown) return;
    const int seat = hint.seat;
    if (!game->seatInPlay(seat) ||
        makeSeatView(*game, seat, begOpen && game->turn == seat) != hintView) {
        hintShown = false;
        return;
    }
    const int position = positionOfSeat(*game, seat);
    const Card* hand = game->seats[seat].hand;
    const int count = countCards(hand);
    Point at = layout.handOrigin(position, count);
    const Point step = layout.handStep(position, count);
    if (hintView.begOpen) {
        // Left of the hand, clear of the player's name above it.
        const FXString text = hint.beg ? "Beg" : "Stand";
        drawOutlinedText(dc, at.x - fonts.table->getTextWidth(text) - 12, at.y + layout.card().height / 2, text, WHITE);
    }
    if (hint.beg) return;
    for (const Card* card = hand; card; card = card->next, at.x += step.x, at.y += step.y) {
        if (cardIndex(card) != hint.card) continue;
        dc.setForeground(HINT);
        dc.setLineWidth(HINT_LINE);
        dc.drawRectangle(at.x - HINT_LINE, at.y - HINT_LINE, layout.card().width + 2 * HINT_LINE - 1,
                         layout.card().height + 2 * HINT_LINE - 1);
        dc.setLineWidth(0);
    }
}

void TableCanvas::paintNow(const Rect& area)
{
    update(area.x, area.y, area.w, area.h);
    repaint(area.x, area.y, area.w, area.h);
}

void TableCanvas::paintAll() { paintNow({0, 0, tableImage->getWidth(), tableImage->getHeight()}); }

long TableCanvas::onPaint(FXObject*, FXSelector, void* ptr)
{
    auto* event = static_cast<FXEvent*>(ptr);
    FXDCWindow dc(this, event);
    const int windowWidth = tableImage->getWidth();
    const int bannerTop = layout.bannerTop();
    const int bannerHeight = bannerImage->getHeight();
    const Rect exposed{event->rect.x, event->rect.y, event->rect.w, event->rect.h};

    const Rect table = intersect(exposed, {0, 0, windowWidth, bannerTop});
    if (!isEmpty(table)) dc.drawArea(tableImage, table.x, table.y, table.w, table.h, table.x, table.y);

    // Beside a banner narrower than the window its sky and sea go on.
    const Rect strip = intersect(exposed, {0, bannerTop, windowWidth, bannerHeight});
    if (!isEmpty(strip)) {
        dc.setTile(bannerSideImage, 0, bannerTop);
        dc.setFillStyle(FILL_TILED);
        dc.fillRectangle(strip.x, strip.y, strip.w, strip.h);
        dc.setFillStyle(FILL_SOLID);
    }
    const int bannerLeft = layout.bannerLeft(bannerImage->getWidth());
    const Rect banner = intersect(exposed, {bannerLeft, bannerTop, bannerImage->getWidth(), bannerHeight});
    if (!isEmpty(banner))
        dc.drawArea(bannerImage, banner.x - bannerLeft, banner.y - bannerTop, banner.w, banner.h, banner.x, banner.y);
    dc.end();
    // What the window shows beside the table follows each paint.
    if (target) target->tryHandle(this, FXSEL(SEL_PAINT, message), ptr);
    return 1;
}

bool TableCanvas::resizeImages(int windowWidth, int windowHeight)
{
    if (windowWidth == tableImage->getWidth() && windowHeight == tableImage->getHeight()) return false;
    tableImage->resize(windowWidth, windowHeight);
    savedTableImage->resize(windowWidth, windowHeight);
    return true;
}

void TableCanvas::redrawAfterResize()
{
    if (animation.running()) {
        // The remaining frames erase from the saved copy: take it afresh.
        drawTable(false);
        copyImage(tableImage, savedTableImage);
        paintAll();
    } else {
        drawTable(true);
    }
}

void TableCanvas::copyImage(FXImage* from, FXImage* to)
{
    FXDCWindow dc(to);
    dc.drawImage(from, 0, 0);
}

void TableCanvas::showAnnouncement(const std::string& text)
{
    {
        FXDCWindow dc(tableImage);
        const FXString banner = text.c_str();
        // A banner wider than the table would lose both its ends: it gets
        // a face of the size that fits, for this once.
        FXFont* font = fonts.announce;
        const int points = font->getSize() / 10;
        const int fitting = layout.announcementPoints(points, font->getTextWidth(banner));
        std::unique_ptr<FXFont> smaller;
        if (fitting != points) {
            smaller = std::make_unique<FXFont>(getApp(), font->getName(), fitting, font->getWeight(), font->getSlant());
            smaller->create();
            font = smaller.get();
        }
        dc.setFont(font);
        dc.setForeground(ANNOUNCEMENT);
        const Point at = layout.announcementOrigin(font->getTextWidth(banner));
        dc.drawText(at.x, at.y, banner);
    }
    paintAll();
}

void TableCanvas::animate(AnimationStep step, int frameCount, int interval)
{
    // No game message may be applied while the table is in motion.
    if (transport) transport->suspendInputs();
    drawTable(false);
    copyImage(tableImage, savedTableImage);
    animation.step = std::move(step);
    animation.frameCount = frameCount;
    animation.interval = interval;
    animation.frameIndex = 0;
    animation.rect = {};
    animation.done = 0;
    getApp()->addTimeout(this, ID_ANIMATION, 0);
    getApp()->runUntil(animation.done);
    if (transport) transport->resumeInputs();
}

long TableCanvas::onTimeoutAnimation(FXObject*, FXSelector, void*)
{
    if (!animation.running()) return 1;
    const Rect bounds{0, 0, tableImage->getWidth(), tableImage->getHeight()};
    const Rect previous = intersect(animation.rect, bounds);
    {
        FXDCWindow dc(tableImage);
        if (animation.frameIndex > 0 && !isEmpty(previous))
            dc.drawArea(savedTableImage, previous.x, previous.y, previous.w, previous.h, previous.x, previous.y);
        animation.rect = animation.step(dc, animation.frameIndex);
    }
    if (animation.frameIndex == 0)
        paintAll();
    else
        paintNow(intersect(unite(previous, animation.rect), bounds));
    if (++animation.frameIndex < animation.frameCount) {
        getApp()->addTimeout(this, ID_ANIMATION, animation.interval);
    } else {
        drawTable(true);
        animation.done = 1;
    }
    return 1;
}

void TableCanvas::sweepTrickAway(Card* trick, int winnerSeat)
{
    // The beg and its answer have been seen through the first trick.
    notes.clear();
    const int position = positionOfSeat(*game, winnerSeat);
    const Point motion = layout.sweepMotion(position);
    animate(
        [this, trick, motion](FXDCWindow& dc, int frame) {
            drawTrick(dc, trick, motion.x * frame, motion.y * frame);
            return layout.sweepRect(motion, frame);
        },
        layout.sweepFrameCount(position), SWEEP_INTERVAL_MS);
}

void TableCanvas::showHangJack()
{
    loadHangJack();
    animate(
        [this](FXDCWindow& dc, int frame) {
            FXIcon* picture = hangJackPictures[std::min<size_t>(frame, hangJackPictures.size() - 1)];
            const Point at = layout.hangJackOrigin(picture->getHeight());
            dc.drawIcon(picture, at.x, at.y);
            return Rect{at.x, at.y, picture->getWidth(), picture->getHeight()};
        },
        HANG_JACK_FRAMES, HANG_JACK_INTERVAL_MS);
}
