// Where things lie on the card table, and which hands show their faces.
// Plain geometry without FOX, so the window code only draws what this says.
// W and H are the main window's size; the canvas sits a top bar lower, so
// its lowest rows lie under the bottom edge. The table is laid out for the
// window of its size (640 x 580 when small) and centred in a larger one.
#pragma once

#include <array>
#include <vector>

#include "engine/game_state.h"
#include "ui/card_scale.h"

enum TablePosition : int { POS_BOTTOM = 0, POS_TOP = 1, POS_LEFT = 2, POS_RIGHT = 3 };

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// The part two rectangles share; empty (all zero) when they do not meet.
Rect intersect(const Rect& a, const Rect& b);

struct CardMetrics {
    int width = 71;
    int height = 96;
    // Uncovered strip of each card but the last in a fanned hand.
    int step() const { return width / 3 - 3; }
};

using TrickSlots = std::array<Point, 4>;

class TableLayout {
public:
    TableLayout(const CardMetrics& card, int width, int height, CardScale scale = CardScale::SMALL);

    const CardMetrics& card() const { return card_; }
    CardScale scale() const { return scale_; }
    // Top left of the area the table is laid out in.
    Point origin() const { return {left_, top_}; }

    // Top left of the first card of a hand of cardCount cards.
    Point handOrigin(int position, int cardCount) const;
    // Offset from one card of a hand of cardCount cards to the next.
    Point handStep(int position, int cardCount) const;
    // Index of the card under (x, y) in a fan of cardCount cards, or -1.
    // Every card but the last owns its uncovered strip, the last one all of it.
    int hitTestHand(int position, int cardCount, int x, int y) const;

    const TrickSlots& trickSlots() const { return slots_; }
    Point kickedCardOrigin() const;
    // Baseline start of the caption above the kicked card.
    Point kickedCaptionOrigin() const;
    // Top left of a BEG button buttonWidth wide, in the window below a top
    // bar of topBarHeight: left of the flipped card and level with it, clear
    // of the left hand's name.
    Point begButtonOrigin(int buttonWidth, int topBarHeight) const;
    // Baseline start of a name of textWidth pixels beside its hand.
    Point nameOrigin(int position, int textWidth) const;
    // Baseline start of an announcement of textWidth pixels.
    Point announcementOrigin(int textWidth) const;
    // The size, in points, at which an announcement that is textWidth
    // pixels wide at points fits across the table.
    int announcementPoints(int points, int textWidth) const;

    // The four trick slots together.
    Rect trickArea() const;
    // Where the hand at a position lies when it is as full as hands get.
    Rect fullHandArea(int position) const;
    // Baseline start of note line `line` (from 0) of textWidth pixels: the
    // notes stand right-aligned in the top right corner, above the right hand.
    Point noteOrigin(int line, int textWidth, int lineHeight) const;
    // The top right corner that `lines` notes of lineHeight take up, from
    // the end of the top hand to the table's edge.
    Rect noteArea(int lines, int lineHeight) const;
    // The top left corner the beg is decided in: the BEG button beside the
    // flipped card, and the card's caption.
    Rect begCorner() const;
    // Baseline start of a prompt of textWidth pixels centred in a trick slot.
    Point promptOrigin(int position, int textWidth, int textHeight) const;
    // Thickness of the box marking the seat to play; it grows with the cards.
    int turnMarkerWidth() const;
    // How far a card picked with the keyboard rises from its hand.
    int pickedCardRise() const { return card_.height / 8; }

    // The finished trick slides toward its winner's position.
    Point sweepMotion(int winnerPosition) const;
    int sweepFrameCount(int winnerPosition) const;
    // Area redrawn by frame i of the sweep: the whole trick with a margin
    // wider than one frame's move, so it also covers the previous frame.
    Rect sweepRect(Point motion, int frame) const;

    // Top left of a hang-jack picture of the given height.
    Point hangJackOrigin(int pictureHeight) const;

    // The banner strip runs along the window's bottom edge, the banner
    // centred in it (cut at the right in a window narrower than it).
    int bannerTop() const;
    int bannerLeft(int bannerWidth) const;

private:
    int px(int smallPixels) const { return scaled(smallPixels, scale_); }

    CardMetrics card_;
    CardScale scale_;
    int windowWidth_;
    int windowHeight_;
    // The table's own area: its size at this scale, or the window where
    // that is smaller.
    int width_;
    int height_;
    int left_;
    int top_;
    TrickSlots slots_;
};

constexpr int SWEEP_INTERVAL_MS = 15;
// The banner strip's height when small.
constexpr int BANNER_HEIGHT = 120;

// The display position showing a seat (tablePosition maps positions to seats).
int positionOfSeat(const GameState& game, int seat);
int seatAtPosition(const GameState& game, int position);

// Whether a seat's hand is drawn face up. begPending: the eldest hand's beg
// decision is open, during which a person who is neither dealer nor eldest
// must not see their cards.
bool handFaceUp(const GameState& game, int seat, bool begPending);

constexpr int HAND_SIZE_MAX = 12;

bool overlaps(const Rect& a, const Rect& b);
// Where a window of box's size goes on the screen: at box itself when it
// covers none of `avoid`, else beside one of them (right, left, below, above,
// in that order of preference), else beside one of them across and another
// up or down (the nearest such place), kept on the screen. When nothing is
// clear, the place that covers the least of them.
Rect placeClear(const Rect& box, const std::vector<Rect>& avoid, const Rect& screen);

// The round summary window: two columns, one per team, each headed by the
// team's name and listing what it scored, with the points gained below.
// Each column is half the window, wide enough for the widest text of
// either column, headings and lines alike, so the two never meet.
struct SummaryLayout {
    int width = 0;
    int columnWidth = 0;
    std::array<int, 2> columnX{};
    int headingY = 0;
    int lineY(int line) const { return 28 + 18 * line; }
    int gainedY = 0;  // 36 below the last line of the longer column
    int buttonY = 0;  // 36 below the gained line
};
SummaryLayout summaryLayout(int widestTextWidth, int longestColumnLines);
