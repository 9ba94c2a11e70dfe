#include <gtest/gtest.h>

#include "ui/table_layout.h"

namespace {

const TableLayout STANDARD(CardMetrics{71, 96}, 640, 580);

struct PointCase {
    int position;
    int x;
    int y;
};

TEST(TableLayout, CardStepFollowsTheCardWidth)
{
    EXPECT_EQ(CardMetrics{}.step(), 20);
    EXPECT_EQ((CardMetrics{80, 110}.step()), 23);
}

TEST(TableLayout, TrickSlotsOfTheDefaultWindow)
{
    const PointCase cases[] = {{POS_BOTTOM, 284, 235}, {POS_TOP, 284, 129}, {POS_LEFT, 203, 177}, {POS_RIGHT, 365, 177}};
    for (const PointCase& c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(STANDARD.trickSlots()[c.position].x, c.x);
        EXPECT_EQ(STANDARD.trickSlots()[c.position].y, c.y);
    }
}

TEST(TableLayout, TrickSlotsFollowTheWindowSize)
{
    const TableLayout wide(CardMetrics{}, 800, 700);
    EXPECT_EQ(wide.trickSlots()[POS_TOP].x, (800 - 71) / 2);
    EXPECT_EQ(wide.trickSlots()[POS_TOP].y, (700 - 192 - 130) / 2);
    EXPECT_EQ(wide.trickSlots()[POS_RIGHT].x - wide.trickSlots()[POS_LEFT].x, 20 + 2 * 71);
}

TEST(TableLayout, HandOriginsOfSixCards)
{
    // Six cards fan 5 x 20 + 71 = 171 pixels wide.
    const PointCase cases[] = {{POS_BOTTOM, 234, 354}, {POS_TOP, 234, 12}, {POS_LEFT, 20, 145}, {POS_RIGHT, 549, 145}};
    for (const PointCase& c : cases) {
        SCOPED_TRACE(c.position);
        const Point origin = STANDARD.handOrigin(c.position, 6);
        EXPECT_EQ(origin.x, c.x);
        EXPECT_EQ(origin.y, c.y);
    }
}

TEST(TableLayout, HorizontalHandsAreCentredWhateverTheirSize)
{
    for (int n = 1; n <= 12; ++n) {
        const Point origin = STANDARD.handOrigin(POS_BOTTOM, n);
        const int right = origin.x + (n - 1) * 20 + 71;
        EXPECT_LE(std::abs((640 - right) - origin.x), 1) << n << " cards";
    }
}

TEST(TableLayout, SideHandsFanDownwards)
{
    EXPECT_EQ(STANDARD.handStep(POS_BOTTOM, 6).x, 20);
    EXPECT_EQ(STANDARD.handStep(POS_TOP, 6).y, 0);
    EXPECT_EQ(STANDARD.handStep(POS_LEFT, 6).x, 0);
    EXPECT_EQ(STANDARD.handStep(POS_RIGHT, 6).y, 19);
}

TEST(TableLayout, HitTestOfTheBottomHand)
{
    // Six cards from x 234: strips of 20 pixels, the last card 234+100..+171.
    const int left = 234, top = 354, right = 234 + 171, bottom = 354 + 96;
    struct Case {
        const char* what;
        int x;
        int y;
        int expected;
    };
    const Case cases[] = {
        {"left edge of the first card", left, top, 0},
        {"end of the first strip", left + 19, top + 50, 0},
        {"strip of the third card", left + 45, top + 50, 2},
        {"start of the last card", left + 100, bottom, 5},
        {"right edge of the last card", right, top + 1, 5},
        {"one pixel left of the fan", left - 1, top + 50, -1},
        {"one pixel right of the fan", right + 1, top + 50, -1},
        {"one pixel above the fan", left + 10, top - 1, -1},
        {"one pixel below the fan", left + 10, bottom + 1, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(STANDARD.hitTestHand(POS_BOTTOM, 6, c.x, c.y), c.expected) << c.what;
}

TEST(TableLayout, HitTestOfASingleCardAndAnEmptyHand)
{
    const Point origin = STANDARD.handOrigin(POS_BOTTOM, 1);
    EXPECT_EQ(STANDARD.hitTestHand(POS_BOTTOM, 1, origin.x + 70, origin.y + 10), 0);
    EXPECT_EQ(STANDARD.hitTestHand(POS_BOTTOM, 1, origin.x + 72, origin.y + 10), -1);
    EXPECT_EQ(STANDARD.hitTestHand(POS_BOTTOM, 0, 320, 400), -1);
}

TEST(TableLayout, HitTestFollowsASideFan)
{
    // The left hand runs down in steps of 19 from (20, 145).
    EXPECT_EQ(STANDARD.hitTestHand(POS_LEFT, 6, 30, 145 + 19 * 3 + 2), 3);
    EXPECT_EQ(STANDARD.hitTestHand(POS_LEFT, 6, 30, 145 + 19 * 5 + 96), 5);
    EXPECT_EQ(STANDARD.hitTestHand(POS_LEFT, 6, 30, 145 + 19 * 5 + 97), -1);
}

TEST(TableLayout, SweepMovesTowardTheWinner)
{
    struct Case {
        int position;
        int dx;
        int dy;
        int frames;
    };
    // Vertical moves take H / 16 + 5 frames, horizontal ones W / 16 + 5.
    const Case cases[] = {{POS_BOTTOM, 0, 8, 41}, {POS_TOP, 0, -8, 41}, {POS_LEFT, -8, 0, 45}, {POS_RIGHT, 8, 0, 45}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        const Point motion = STANDARD.sweepMotion(c.position);
        EXPECT_EQ(motion.x, c.dx);
        EXPECT_EQ(motion.y, c.dy);
        EXPECT_EQ(STANDARD.sweepFrameCount(c.position), c.frames);
    }
}

TEST(TableLayout, EachSweepFrameCoversThePreviousFramesCards)
{
    const TrickSlots& slots = STANDARD.trickSlots();
    for (int p = 0; p < 4; ++p) {
        const Point motion = STANDARD.sweepMotion(p);
        for (int i = 1; i < STANDARD.sweepFrameCount(p); ++i) {
            const Rect r = STANDARD.sweepRect(motion, i);
            // The trick's cards as frame i - 1 drew them.
            const int left = slots[POS_LEFT].x + motion.x * (i - 1);
            const int top = slots[POS_TOP].y + motion.y * (i - 1);
            const int right = slots[POS_RIGHT].x + 71 + motion.x * (i - 1);
            const int bottom = slots[POS_BOTTOM].y + 96 + motion.y * (i - 1);
            ASSERT_LE(r.x, left - 1) << p << " frame " << i;
            ASSERT_LE(r.y, top - 1);
            ASSERT_GE(r.x + r.w, right + 1);
            ASSERT_GE(r.y + r.h, bottom + 1);
        }
    }
}

TEST(TableLayout, TextPositions)
{
    EXPECT_EQ(STANDARD.kickedCardOrigin().x, 55);
    EXPECT_EQ(STANDARD.kickedCardOrigin().y, 24);
    const PointCase names[] = {{POS_BOTTOM, 270, 347}, {POS_TOP, 270, 122}, {POS_LEFT, 4, 138}, {POS_RIGHT, 536, 138}};
    for (const PointCase& c : names) {
        SCOPED_TRACE(c.position);
        const Point at = STANDARD.nameOrigin(c.position, 100);
        EXPECT_EQ(at.x, c.x);
        EXPECT_EQ(at.y, c.y);
    }
    EXPECT_EQ(STANDARD.announcementOrigin(200).x, 220);
    EXPECT_EQ(STANDARD.announcementOrigin(200).y, 160);
    EXPECT_EQ(STANDARD.hangJackOrigin(408).x, 0);
    EXPECT_EQ(STANDARD.hangJackOrigin(408).y, 6);
}

// A banner keeps its size while it fits within 10 pixels of either edge;
// a wider one shrinks to fit, but not below a legible size.
TEST(TableLayout, AnnouncementShrinksOnlyWhenItWouldLoseItsEnds)
{
    struct Case {
        int textWidth;
        int points;
    };
    const Case cases[] = {{200, 72}, {620, 72}, {621, 71}, {700, 63}, {1240, 36}, {100000, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.textWidth);
        EXPECT_EQ(STANDARD.announcementPoints(72, c.textWidth), c.points);
    }
}

TEST(TableLayout, NotesAndPromptKeepClearOfTheCards)
{
    const Rect trick = STANDARD.trickArea();
    EXPECT_EQ(trick.x, 203);
    EXPECT_EQ(trick.y, 129);
    EXPECT_EQ(trick.w, 365 + 71 - 203);
    EXPECT_EQ(trick.h, 235 + 96 - 129);
    // Three note lines of the widest note there is, beside the top hand of
    // nine cards and above the right hand and its name.
    const Rect topHand{STANDARD.handOrigin(POS_TOP, 9).x, 12, 8 * 20 + 71, 96};
    for (int line = 0; line < 3; ++line) {
        SCOPED_TRACE(line);
        const Point at = STANDARD.noteOrigin(line, 190, 18);
        EXPECT_EQ(at.x + 190, 632);
        EXPECT_FALSE(overlaps({at.x, at.y - 14, 190, 18}, topHand));
        EXPECT_LT(at.y, STANDARD.nameOrigin(POS_RIGHT, 100).y - 14);
    }
    const Point prompt = STANDARD.promptOrigin(POS_BOTTOM, 51, 14);
    EXPECT_EQ(prompt.x, 284 + 10);
    EXPECT_EQ(prompt.y, 235 + 55);
    EXPECT_EQ(STANDARD.turnMarkerWidth(), 3);
    EXPECT_EQ(TableLayout(CardMetrics{142, 192}, 1280, 1160).turnMarkerWidth(), 7);
}

// The corners a window must leave clear lie apart from the trick and the
// hands, so that a place covering none of them can exist.
TEST(TableLayout, BegAndNoteCornersStandApart)
{
    const Rect notes = STANDARD.noteArea(3, 16);
    const Rect beg = STANDARD.begCorner();
    for (const Rect& corner : {notes, beg}) {
        EXPECT_FALSE(overlaps(corner, STANDARD.trickArea()));
        EXPECT_FALSE(overlaps(corner, STANDARD.fullHandArea(POS_TOP)));
        EXPECT_FALSE(overlaps(corner, STANDARD.fullHandArea(POS_BOTTOM)));
    }
    EXPECT_FALSE(overlaps(notes, beg));
    // A note as wide as a long one stands inside its corner.
    const Point lastLine = STANDARD.noteOrigin(2, 150, 16);
    EXPECT_GE(lastLine.x, notes.x);
    EXPECT_LT(lastLine.y, notes.y + notes.h);
}

// A window placed clear of others: where it would go when nothing is in the
// way, else beside what it would cover, on the screen.
TEST(PlaceClear, BesideWhatItWouldCoverAndOnTheScreen)
{
    const Rect screen{0, 0, 1024, 768};
    const Rect trick{395, 153, 233, 202};  // the trick area of a centred window
    const Rect hand{361, 402, 291, 96};
    struct Case {
        const char* what;
        Rect box;
        std::vector<Rect> avoid;
        int x;
        int y;
    };
    const std::vector<Case> cases = {
        {"nothing in the way", {20, 30, 320, 250}, {trick, hand}, 20, 30},
        {"right of the trick", {352, 32, 320, 250}, {trick, hand}, 636, 32},
        {"off the screen's edge", {-50, 700, 320, 250}, {}, 0, 518},
        {"left when the right is off the screen", {352, 32, 320, 250}, {{600, 100, 300, 300}}, 272, 32},
        {"below when neither side has room", {100, 40, 800, 100}, {{100, 100, 800, 100}}, 100, 208},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Rect placed = placeClear(c.box, c.avoid, screen);
        EXPECT_EQ(placed.x, c.x);
        EXPECT_EQ(placed.y, c.y);
        EXPECT_EQ(placed.w, c.box.w);
        for (const Rect& a : c.avoid) EXPECT_FALSE(overlaps(placed, a));
    }
    // No side of any one window is clear: right of the middle one and below
    // the corner one is.
    const Rect middle{300, 100, 200, 200};
    const Rect corner{520, 0, 200, 90};
    const Rect bottom{200, 300, 600, 300};
    const Rect across = placeClear({250, 0, 300, 150}, {middle, corner, bottom}, {200, 0, 800, 700});
    EXPECT_EQ(across.x, 508);
    EXPECT_EQ(across.y, 98);
    // Nowhere clear: the least covered place, still on the screen.
    const Rect crowded = placeClear({0, 0, 600, 600}, {{100, 100, 800, 600}}, {0, 0, 1000, 700});
    EXPECT_EQ(crowded.y, 0);
    EXPECT_LE(crowded.x + crowded.w, 1000);
}

TEST(SummaryLayout, ColumnsAndLines)
{
    const SummaryLayout narrow = summaryLayout(60, 3);
    EXPECT_EQ(narrow.width, 320);
    EXPECT_EQ(narrow.columnX[0], 8);
    EXPECT_EQ(narrow.columnX[1], 160);
    EXPECT_EQ(narrow.lineY(0), 28);
    EXPECT_EQ(narrow.lineY(2), 64);
    EXPECT_EQ(narrow.gainedY, 100);
    EXPECT_EQ(narrow.buttonY, 136);

    const SummaryLayout wide = summaryLayout(200, 0);
    EXPECT_EQ(wide.width, 430);
    EXPECT_EQ(wide.columnWidth, 215);
    // With nothing listed the gained line stands 36 below the headings.
    EXPECT_EQ(wide.gainedY, 44);
}

}  // namespace
