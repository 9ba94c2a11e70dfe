#include "ui/table_layout.h"

#include <algorithm>
#include <cstdlib>

Rect intersect(const Rect& a, const Rect& b)
{
    const int x0 = std::max(a.x, b.x);
    const int y0 = std::max(a.y, b.y);
    const int x1 = std::min(a.x + a.w, b.x + b.w);
    const int y1 = std::min(a.y + a.h, b.y + b.h);
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

namespace {

// Distances when small; the layout scales them.
constexpr int TOP_HAND_TOP = 12;
constexpr int SIDE_HAND_BELOW_CARD = 49;  // the side hands hang below the top hand's name line
constexpr int SIDE_MARGIN = 20;
constexpr int SIDE_HAND_ABOVE_BANNER = 4;
constexpr int BOTTOM_HAND_GAP = 130;
constexpr int TRICK_GAP = 10;
constexpr int TRICK_SIDE_GAP = 20;
constexpr int KICKED_BELOW_TOP = 12;
constexpr int CAPTION_ABOVE_CARD = 8;
constexpr int NAME_ABOVE_HAND = 7;
constexpr int NAME_BELOW_TOP_HAND = 14;
constexpr int NAME_SIDE_MARGIN = 4;
constexpr int BEG_GAP = 4;
constexpr int BEG_MARGIN = 2;
constexpr int SWEEP_PIXELS_PER_FRAME = 8;
constexpr int SWEEP_MARGIN = 16;
constexpr int SWEEP_EXTRA_WIDTH = 52;
constexpr int SWEEP_EXTRA_HEIGHT = 42;
constexpr int ANNOUNCEMENT_BASELINE = 160;
constexpr int ANNOUNCEMENT_MARGIN = 10;
constexpr int ANNOUNCEMENT_SMALLEST_POINTS = 8;
constexpr int HANG_JACK_AREA_HEIGHT = 480;
constexpr int HANG_JACK_RAISE = 30;
constexpr int NOTE_MARGIN = 8;
constexpr int PLACEMENT_GAP = 8;

int overlapArea(const Rect& a, const Rect& b)
{
    const Rect common = intersect(a, b);
    return common.w * common.h;
}

Rect keptOn(Rect box, const Rect& screen)
{
    box.x = std::max(screen.x, std::min(box.x, screen.x + screen.w - box.w));
    box.y = std::max(screen.y, std::min(box.y, screen.y + screen.h - box.h));
    return box;
}

bool isHorizontalFan(int position) { return position == POS_BOTTOM || position == POS_TOP; }

}  // namespace

TableLayout::TableLayout(const CardMetrics& card, int width, int height, CardScale scale)
    : card_(card),
      scale_(scale),
      windowWidth_(width),
      windowHeight_(height),
      width_(std::min(width, tableSize(scale).width)),
      height_(std::min(height, tableSize(scale).height)),
      left_((width - width_) / 2),
      top_((height - height_) / 2)
{
    const int cw = card.width;
    const int ch = card.height;
    Point& top = slots_[POS_TOP];
    top.x = left_ + (width_ - cw) / 2;
    top.y = top_ + (height_ - 2 * ch - px(BOTTOM_HAND_GAP)) / 2;
    slots_[POS_BOTTOM] = {top.x, top.y + px(TRICK_GAP) + ch};
    slots_[POS_LEFT] = {left_ + (width_ - 3 * cw - px(TRICK_SIDE_GAP)) / 2, top.y + ch / 2};
    slots_[POS_RIGHT] = {slots_[POS_LEFT].x + px(TRICK_SIDE_GAP) + 2 * cw, slots_[POS_LEFT].y};
}

Point TableLayout::handOrigin(int position, int cardCount) const
{
    const int fanWidth = (cardCount - 1) * card_.step() + card_.width;
    const int sideTop = top_ + card_.height + px(SIDE_HAND_BELOW_CARD);
    switch (position) {
    case POS_BOTTOM: return {left_ + (width_ - fanWidth) / 2, top_ + height_ - card_.height - px(BOTTOM_HAND_GAP)};
    case POS_TOP: return {left_ + (width_ - fanWidth) / 2, top_ + px(TOP_HAND_TOP)};
    case POS_LEFT: return {left_ + px(SIDE_MARGIN), sideTop};
    default: return {left_ + width_ - card_.width - px(SIDE_MARGIN), sideTop};
    }
}

Point TableLayout::handStep(int position, int cardCount) const
{
    if (isHorizontalFan(position)) return {card_.step(), 0};
    // A long side hand closes up to stay above the banner.
    const int room = bannerTop() - px(SIDE_HAND_ABOVE_BANNER) - handOrigin(position, cardCount).y - card_.height;
    const int closest = cardCount > 1 ? room / (cardCount - 1) : room;
    return {0, std::max(1, std::min(card_.step() - 1, closest))};
}

int TableLayout::hitTestHand(int position, int cardCount, int x, int y) const
{
    if (cardCount <= 0) return -1;
    const Point origin = handOrigin(position, cardCount);
    const Point step = handStep(position, cardCount);
    const int right = origin.x + (cardCount - 1) * step.x + card_.width;
    const int bottom = origin.y + (cardCount - 1) * step.y + card_.height;
    if (x < origin.x || x > right || y < origin.y || y > bottom) return -1;
    const int along = isHorizontalFan(position) ? (x - origin.x) / step.x : (y - origin.y) / step.y;
    return std::min(along, cardCount - 1);
}

Point TableLayout::kickedCardOrigin() const
{
    return {left_ + px(SIDE_MARGIN) + card_.width / 2, top_ + px(TOP_HAND_TOP) + px(KICKED_BELOW_TOP)};
}

Point TableLayout::kickedCaptionOrigin() const
{
    const Point card = kickedCardOrigin();
    return {card.x, card.y - px(CAPTION_ABOVE_CARD)};
}

Point TableLayout::begButtonOrigin(int buttonWidth, int topBarHeight) const
{
    const Point card = kickedCardOrigin();
    return {std::max(left_ + px(BEG_MARGIN), card.x - buttonWidth - px(BEG_GAP)), topBarHeight + card.y};
}

Point TableLayout::nameOrigin(int position, int textWidth) const
{
    const int sideTop = handOrigin(POS_LEFT, 1).y;
    switch (position) {
    case POS_BOTTOM: return {left_ + (width_ - textWidth) / 2, handOrigin(POS_BOTTOM, 1).y - px(NAME_ABOVE_HAND)};
    case POS_TOP:
        return {left_ + (width_ - textWidth) / 2, handOrigin(POS_TOP, 1).y + card_.height + px(NAME_BELOW_TOP_HAND)};
    case POS_LEFT: return {left_ + px(NAME_SIDE_MARGIN), sideTop - px(NAME_ABOVE_HAND)};
    default: return {left_ + width_ - textWidth - px(NAME_SIDE_MARGIN), sideTop - px(NAME_ABOVE_HAND)};
    }
}

Point TableLayout::announcementOrigin(int textWidth) const
{
    return {left_ + (width_ - textWidth) / 2, top_ + px(ANNOUNCEMENT_BASELINE)};
}

int TableLayout::announcementPoints(int points, int textWidth) const
{
    const int room = width_ - 2 * px(ANNOUNCEMENT_MARGIN);
    if (textWidth <= room || textWidth <= 0) return points;
    return std::max(ANNOUNCEMENT_SMALLEST_POINTS, points * room / textWidth);
}

Rect TableLayout::trickArea() const
{
    const int left = slots_[POS_LEFT].x;
    const int top = slots_[POS_TOP].y;
    return {left, top, slots_[POS_RIGHT].x + card_.width - left, slots_[POS_BOTTOM].y + card_.height - top};
}

Rect TableLayout::fullHandArea(int position) const
{
    const Point origin = handOrigin(position, HAND_SIZE_MAX);
    const Point step = handStep(position, HAND_SIZE_MAX);
    return {origin.x, origin.y, (HAND_SIZE_MAX - 1) * step.x + card_.width, (HAND_SIZE_MAX - 1) * step.y + card_.height};
}

Point TableLayout::noteOrigin(int line, int textWidth, int lineHeight) const
{
    return {left_ + width_ - textWidth - px(NOTE_MARGIN), top_ + px(NOTE_MARGIN) + lineHeight * (line + 1)};
}

Rect TableLayout::noteArea(int lines, int lineHeight) const
{
    const Rect top = fullHandArea(POS_TOP);
    const int x = top.x + top.w;
    return {x, top_, left_ + width_ - x, px(NOTE_MARGIN) + lineHeight * lines + lineHeight / 2};
}

Rect TableLayout::begCorner() const
{
    const Point card = kickedCardOrigin();
    return {left_, top_, card.x + card_.width - left_, card.y + card_.height - top_};
}

Point TableLayout::promptOrigin(int position, int textWidth, int textHeight) const
{
    const Point slot = slots_[position];
    return {slot.x + (card_.width - textWidth) / 2, slot.y + (card_.height + textHeight) / 2};
}

int TableLayout::turnMarkerWidth() const { return std::max(3, card_.width / 18); }

Point TableLayout::sweepMotion(int winnerPosition) const
{
    const int step = px(SWEEP_PIXELS_PER_FRAME);
    switch (winnerPosition) {
    case POS_BOTTOM: return {0, step};
    case POS_TOP: return {0, -step};
    case POS_LEFT: return {-step, 0};
    default: return {step, 0};
    }
}

int TableLayout::sweepFrameCount(int winnerPosition) const
{
    // Counted at the small size, so a sweep lasts as long at every size.
    const int along = isHorizontalFan(winnerPosition) ? height_ : width_;
    return along * 2 / static_cast<int>(scale_) / 16 + 5;
}

Rect TableLayout::sweepRect(Point motion, int frame) const
{
    return {slots_[POS_LEFT].x - px(SWEEP_MARGIN) + motion.x * frame,
            slots_[POS_TOP].y - px(SWEEP_MARGIN) + motion.y * frame, 3 * card_.width + px(SWEEP_EXTRA_WIDTH),
            2 * card_.height + px(SWEEP_EXTRA_HEIGHT)};
}

Point TableLayout::hangJackOrigin(int pictureHeight) const
{
    return {left_, top_ + (px(HANG_JACK_AREA_HEIGHT) - pictureHeight) / 2 - px(HANG_JACK_RAISE)};
}

int TableLayout::bannerTop() const { return windowHeight_ - px(BANNER_HEIGHT); }

int TableLayout::bannerLeft(int bannerWidth) const { return std::max(0, (windowWidth_ - bannerWidth) / 2); }

int positionOfSeat(const GameState& game, int seat)
{
    for (int p = 0; p < 4; ++p)
        if (game.tablePosition[p] == seat) return p;
    return POS_BOTTOM;
}

int seatAtPosition(const GameState& game, int position) { return game.tablePosition[position]; }

bool handFaceUp(const GameState& game, int seat, bool begPending)
{
    if (!game.isSeat(seat) || game.seats[seat].kind != LOCAL_HUMAN) return false;
    if (game.turn == TURN_DEALING) return false;
    const bool decidesBeg = seat == game.dealer || seat == game.nextSeat[game.dealer];
    return !(begPending && !decidesBeg);
}

bool overlaps(const Rect& a, const Rect& b) { return overlapArea(a, b) > 0; }

Rect placeClear(const Rect& box, const std::vector<Rect>& avoid, const Rect& screen)
{
    auto covered = [&avoid](const Rect& r) {
        int area = 0;
        for (const Rect& a : avoid) area += overlapArea(r, a);
        return area;
    };
    Rect best = keptOn(box, screen);
    int bestCovered = covered(best);
    if (bestCovered == 0) return best;
    // Columns and rows beside each window to avoid; the box's own first.
    std::vector<int> xs = {box.x};
    std::vector<int> ys = {box.y};
    for (const Rect& a : avoid) {
        xs.push_back(a.x + a.w + PLACEMENT_GAP);
        xs.push_back(a.x - box.w - PLACEMENT_GAP);
        ys.push_back(a.y + a.h + PLACEMENT_GAP);
        ys.push_back(a.y - box.h - PLACEMENT_GAP);
    }
    auto consider = [&](int x, int y) {
        const Rect placed = keptOn({x, y, box.w, box.h}, screen);
        const int c = covered(placed);
        if (c < bestCovered) {
            best = placed;
            bestCovered = c;
        }
        return c == 0;
    };
    for (size_t i = 0; i < avoid.size(); ++i) {
        for (int x : {xs[1 + 2 * i], xs[2 + 2 * i]})
            if (consider(x, box.y)) return best;
        for (int y : {ys[1 + 2 * i], ys[2 + 2 * i]})
            if (consider(box.x, y)) return best;
    }
    // Moved both across and up or down: the clear place nearest the box.
    int nearest = -1;
    for (int x : xs)
        for (int y : ys) {
            const Rect placed = keptOn({x, y, box.w, box.h}, screen);
            const int moved = std::abs(placed.x - box.x) + std::abs(placed.y - box.y);
            if (covered(placed) == 0 && (nearest < 0 || moved < nearest)) {
                best = placed;
                nearest = moved;
            }
        }
    return best;
}

SummaryLayout summaryLayout(int widestTextWidth, int longestColumnLines)
{
    SummaryLayout summary;
    summary.width = std::max(2 * widestTextWidth + 30, 320);
    summary.columnWidth = summary.width / 2;
    summary.columnX = {8, summary.width / 2};
    summary.headingY = 8;
    const int lastLineY = longestColumnLines > 0 ? summary.lineY(longestColumnLines - 1) : summary.headingY;
    summary.gainedY = lastLineY + 36;
    summary.buttonY = summary.gainedY + 36;
    return summary;
}
