#include "ui/table_layout.h"

#include <algorithm>

namespace {

// The side hands hang below the top hand's name line.
int sideHandTop(const CardMetrics& card) { return card.height + 49; }
int topHandTop() { return 12; }
constexpr int SIDE_MARGIN = 20;
constexpr int BOTTOM_HAND_GAP = 130;
constexpr int SWEEP_MARGIN = 16;
constexpr int ANNOUNCEMENT_BASELINE = 160;
constexpr int ANNOUNCEMENT_MARGIN = 10;
constexpr int ANNOUNCEMENT_SMALLEST_POINTS = 8;

bool isHorizontalFan(int position) { return position == POS_BOTTOM || position == POS_TOP; }

}  // namespace

TableLayout::TableLayout(const CardMetrics& card, int width, int height)
    : card_(card), width_(width), height_(height)
{
    const int cw = card.width;
    const int ch = card.height;
    Point& top = slots_[POS_TOP];
    top.x = (width - cw) / 2;
    top.y = (height - 2 * ch - BOTTOM_HAND_GAP) / 2;
    slots_[POS_BOTTOM] = {top.x, top.y + 10 + ch};
    slots_[POS_LEFT] = {(width - 3 * cw - 20) / 2, top.y + ch / 2};
    slots_[POS_RIGHT] = {slots_[POS_LEFT].x + 20 + 2 * cw, slots_[POS_LEFT].y};
}

Point TableLayout::handOrigin(int position, int cardCount) const
{
    const int fanWidth = (cardCount - 1) * card_.step() + card_.width;
    switch (position) {
    case POS_BOTTOM: return {(width_ - fanWidth) / 2, height_ - card_.height - BOTTOM_HAND_GAP};
    case POS_TOP: return {(width_ - fanWidth) / 2, topHandTop()};
    case POS_LEFT: return {SIDE_MARGIN, sideHandTop(card_)};
    default: return {width_ - card_.width - SIDE_MARGIN, sideHandTop(card_)};
    }
}

Point TableLayout::handStep(int position) const
{
    if (isHorizontalFan(position)) return {card_.step(), 0};
    return {0, card_.step() - 1};
}

int TableLayout::hitTestHand(int position, int cardCount, int x, int y) const
{
    if (cardCount <= 0) return -1;
    const Point origin = handOrigin(position, cardCount);
    const Point step = handStep(position);
    const int right = origin.x + (cardCount - 1) * step.x + card_.width;
    const int bottom = origin.y + (cardCount - 1) * step.y + card_.height;
    if (x < origin.x || x > right || y < origin.y || y > bottom) return -1;
    const int along = isHorizontalFan(position) ? (x - origin.x) / step.x : (y - origin.y) / step.y;
    return std::min(along, cardCount - 1);
}

Point TableLayout::kickedCardOrigin() const { return {SIDE_MARGIN + card_.width / 2, topHandTop() + 12}; }

Point TableLayout::nameOrigin(int position, int textWidth) const
{
    switch (position) {
    case POS_BOTTOM: return {(width_ - textWidth) / 2, handOrigin(POS_BOTTOM, 1).y - 7};
    case POS_TOP: return {(width_ - textWidth) / 2, topHandTop() + card_.height + 14};
    case POS_LEFT: return {4, sideHandTop(card_) - 7};
    default: return {width_ - textWidth - 4, sideHandTop(card_) - 7};
    }
}

Point TableLayout::announcementOrigin(int textWidth) const
{
    return {(width_ - textWidth) / 2, ANNOUNCEMENT_BASELINE};
}

int TableLayout::announcementPoints(int points, int textWidth) const
{
    const int room = width_ - 2 * ANNOUNCEMENT_MARGIN;
    if (textWidth <= room || textWidth <= 0) return points;
    return std::max(ANNOUNCEMENT_SMALLEST_POINTS, points * room / textWidth);
}

Point TableLayout::sweepMotion(int winnerPosition) const
{
    switch (winnerPosition) {
    case POS_BOTTOM: return {0, SWEEP_PIXELS_PER_FRAME};
    case POS_TOP: return {0, -SWEEP_PIXELS_PER_FRAME};
    case POS_LEFT: return {-SWEEP_PIXELS_PER_FRAME, 0};
    default: return {SWEEP_PIXELS_PER_FRAME, 0};
    }
}

int TableLayout::sweepFrameCount(int winnerPosition) const
{
    return isHorizontalFan(winnerPosition) ? height_ / 16 + 5 : width_ / 16 + 5;
}

Rect TableLayout::sweepRect(Point motion, int frame) const
{
    return {slots_[POS_LEFT].x - SWEEP_MARGIN + motion.x * frame, slots_[POS_TOP].y - SWEEP_MARGIN + motion.y * frame,
            3 * card_.width + 52, 2 * card_.height + 42};
}

int TableLayout::hangJackTop(int pictureHeight) { return (480 - pictureHeight) / 2 - 30; }

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

SummaryLayout summaryLayout(int widestHeadingWidth, int longestColumnLines)
{
    SummaryLayout summary;
    summary.width = std::max(2 * widestHeadingWidth + 30, 320);
    summary.columnWidth = summary.width / 2;
    summary.columnX = {8, summary.width / 2};
    summary.headingY = 8;
    const int lastLineY = longestColumnLines > 0 ? summary.lineY(longestColumnLines - 1) : summary.headingY;
    summary.gainedY = lastLineY + 36;
    summary.buttonY = summary.gainedY + 36;
    return summary;
}
