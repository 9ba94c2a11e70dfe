// The table at each of its sizes: the choice of size, and a layout that
// keeps every element apart and inside the window whatever the size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/card_scale.h"
#include "ui/table_layout.h"

namespace {

struct SizeCase {
    CardScale scale;
    CardMetrics card;  // the pictures drawn at that size
};

const SizeCase SIZES[] = {
    {CardScale::SMALL, {71, 96}},
    {CardScale::MEDIUM, {107, 144}},
    {CardScale::LARGE, {142, 192}},
};

// A window or screen size, and the table size chosen for it.
struct ChoiceCase {
    int w;
    int h;
    CardScale expected;
};

TEST(CardScale, FittingScaleIsTheLargestTableThatFits)
{
    const ChoiceCase cases[] = {
        {640, 580, CardScale::SMALL},    {959, 870, CardScale::SMALL},   {960, 869, CardScale::SMALL},
        {960, 870, CardScale::MEDIUM},   {1279, 2000, CardScale::MEDIUM}, {1280, 1160, CardScale::LARGE},
        {4000, 3000, CardScale::LARGE},  {300, 200, CardScale::SMALL},
    };
    for (const ChoiceCase& c : cases)
        EXPECT_EQ(fittingScale(c.w, c.h), c.expected) << c.w << " x " << c.h;
}

TEST(CardScale, FirstStartTakesAtMost85PercentOfTheScreen)
{
    const ChoiceCase cases[] = {
        {1024, 768, CardScale::SMALL},   {1366, 768, CardScale::SMALL},  {1280, 1024, CardScale::MEDIUM},
        {1920, 1080, CardScale::MEDIUM}, {1920, 1200, CardScale::MEDIUM}, {2560, 1440, CardScale::LARGE},
        {3840, 2160, CardScale::LARGE},  {800, 600, CardScale::SMALL},
    };
    for (const ChoiceCase& c : cases)
        EXPECT_EQ(firstStartScale(c.w, c.h), c.expected) << c.w << " x " << c.h;
}

// A size is offered only where its window, title bar and border included,
// fits the screen's work area; a size chosen on a larger screen gives way to
// the largest that fits.
TEST(CardScale, OnlyASizeThatFitsTheWorkAreaIsTaken)
{
    struct Case {
        int w, h;
        CardScale wanted;
        bool fits;
        CardScale taken;
    } cases[] = {
        {1280, 1024, CardScale::LARGE, false, CardScale::MEDIUM}, {1280, 1024, CardScale::MEDIUM, true, CardScale::MEDIUM},
        {1600, 1300, CardScale::LARGE, true, CardScale::LARGE},   {1291, 1194, CardScale::LARGE, false, CardScale::MEDIUM},
        {1292, 1193, CardScale::LARGE, false, CardScale::MEDIUM}, {1292, 1194, CardScale::LARGE, true, CardScale::LARGE},
        {1024, 768, CardScale::LARGE, false, CardScale::SMALL},   {1024, 768, CardScale::SMALL, true, CardScale::SMALL},
        {600, 500, CardScale::MEDIUM, false, CardScale::SMALL},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fitsWorkArea(c.wanted, {c.w, c.h}), c.fits) << c.w << " x " << c.h;
        EXPECT_EQ(largestFitting(c.wanted, {c.w, c.h}), c.taken) << c.w << " x " << c.h;
    }
}

TEST(CardScale, StoredNamesReadBackAndAnythingElseIsNoChoice)
{
    for (CardScale scale : CARD_SCALES) EXPECT_EQ(parseCardScale(std::string(cardScaleName(scale))), scale);
    for (const char* stored : {"", "Large", "large ", "2x", "4"})
        EXPECT_FALSE(parseCardScale(std::string(stored)).has_value()) << '"' << stored << '"';
    EXPECT_FALSE(parseCardScale(std::nullopt).has_value());
}

// Everything the table shows, as rectangles, for hands of n cards. Text is
// taken at the size of the table font (11 points at 96 dpi when small) for
// a long name; the BEG button at the size its letters give it.
struct Shown {
    std::string what;
    Rect area;
};

std::vector<Shown> tableAt(const TableLayout& layout, int n)
{
    const CardScale scale = layout.scale();
    const CardMetrics& card = layout.card();
    const int ascent = scaled(14, scale);
    const int nameWidth = scaled(160, scale);
    std::vector<Shown> shown;
    const char* positions[] = {"bottom", "top", "left", "right"};
    for (int p = 0; p < 4; ++p) {
        const Point origin = layout.handOrigin(p, n);
        const Point step = layout.handStep(p, n);
        shown.push_back({std::string(positions[p]) + " hand",
                         {origin.x, origin.y, (n - 1) * step.x + card.width, (n - 1) * step.y + card.height}});
        const Point slot = layout.trickSlots()[p];
        shown.push_back({std::string(positions[p]) + " trick card", {slot.x, slot.y, card.width, card.height}});
        const Point name = layout.nameOrigin(p, nameWidth);
        shown.push_back({std::string(positions[p]) + " name", {name.x, name.y - ascent, nameWidth, ascent}});
    }
    const Point kicked = layout.kickedCardOrigin();
    shown.push_back({"kicked card", {kicked.x, kicked.y, card.width, card.height}});
    const Point caption = layout.kickedCaptionOrigin();
    shown.push_back({"caption", {caption.x, caption.y - ascent, scaled(80, scale), ascent}});
    // The button's size at the small table, grown with it; the top bar is
    // left out, as the table's own coordinates start below it.
    const Point beg = layout.begButtonOrigin(scaled(30, scale), 0);
    shown.push_back({"BEG button", {beg.x, beg.y, scaled(30, scale), scaled(76, scale)}});
    return shown;
}

bool overlap(const Rect& a, const Rect& b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

TEST(TableAtEachSize, NothingOverlapsAndEverythingIsAboveTheBanner)
{
    for (const SizeCase& size : SIZES) {
        const PixelSize window = tableSize(size.scale);
        const TableLayout layout(size.card, window.width, window.height, size.scale);
        for (int n : {1, 6, 9, 12}) {
            SCOPED_TRACE(std::string(cardScaleName(size.scale)) + ", hands of " + std::to_string(n));
            const std::vector<Shown> shown = tableAt(layout, n);
            for (size_t i = 0; i < shown.size(); ++i) {
                const Rect& r = shown[i].area;
                EXPECT_GE(r.x, 0) << shown[i].what;
                EXPECT_GE(r.y, 0) << shown[i].what;
                EXPECT_LE(r.x + r.w, window.width) << shown[i].what;
                EXPECT_LE(r.y + r.h, layout.bannerTop()) << shown[i].what;
                for (size_t j = i + 1; j < shown.size(); ++j)
                    EXPECT_FALSE(overlap(r, shown[j].area)) << shown[i].what << " and " << shown[j].what;
            }
        }
    }
}

// Each card of a fan is hit where it shows: on its uncovered strip, and the
// last card wherever it lies.
TEST(TableAtEachSize, HitTestsFindTheCardDrawnThere)
{
    for (const SizeCase& size : SIZES) {
        const PixelSize window = tableSize(size.scale);
        const TableLayout layout(size.card, window.width, window.height, size.scale);
        for (int p = 0; p < 4; ++p) {
            for (int n = 1; n <= HAND_SIZE_MAX; ++n) {
                SCOPED_TRACE(std::string(cardScaleName(size.scale)) + ", position " + std::to_string(p) + ", " +
                             std::to_string(n) + " cards");
                const Point origin = layout.handOrigin(p, n);
                const Point step = layout.handStep(p, n);
                for (int i = 0; i < n; ++i) {
                    const int x = origin.x + i * step.x;
                    const int y = origin.y + i * step.y;
                    // The strip a card keeps uncovered, or the whole last card.
                    const int w = i + 1 < n && step.x ? step.x : size.card.width;
                    const int h = i + 1 < n && step.y ? step.y : size.card.height;
                    EXPECT_EQ(layout.hitTestHand(p, n, x, y), i);
                    EXPECT_EQ(layout.hitTestHand(p, n, x + w - 1, y + h - 1), i);
                    EXPECT_EQ(layout.hitTestHand(p, n, x + w / 2, y + h / 2), i);
                }
                const int right = origin.x + (n - 1) * step.x + size.card.width;
                const int bottom = origin.y + (n - 1) * step.y + size.card.height;
                EXPECT_EQ(layout.hitTestHand(p, n, origin.x - 1, origin.y), -1);
                EXPECT_EQ(layout.hitTestHand(p, n, right + 1, bottom), -1);
                EXPECT_EQ(layout.hitTestHand(p, n, origin.x, bottom + 1), -1);
            }
        }
    }
}

TEST(TableAtEachSize, TheSweepCoversItsLastFrameAndTakesAsLongAtEverySize)
{
    const TableLayout small(SIZES[0].card, 640, 580);
    for (const SizeCase& size : SIZES) {
        const PixelSize window = tableSize(size.scale);
        const TableLayout layout(size.card, window.width, window.height, size.scale);
        const TrickSlots& slots = layout.trickSlots();
        for (int p = 0; p < 4; ++p) {
            SCOPED_TRACE(std::string(cardScaleName(size.scale)) + ", position " + std::to_string(p));
            EXPECT_EQ(layout.sweepFrameCount(p), small.sweepFrameCount(p));
            const Point motion = layout.sweepMotion(p);
            for (int i = 1; i < layout.sweepFrameCount(p); ++i) {
                const Rect r = layout.sweepRect(motion, i);
                ASSERT_LE(r.x, slots[POS_LEFT].x + motion.x * (i - 1) - 1) << i;
                ASSERT_LE(r.y, slots[POS_TOP].y + motion.y * (i - 1) - 1) << i;
                ASSERT_GE(r.x + r.w, slots[POS_RIGHT].x + size.card.width + motion.x * (i - 1) + 1) << i;
                ASSERT_GE(r.y + r.h, slots[POS_BOTTOM].y + size.card.height + motion.y * (i - 1) + 1) << i;
            }
        }
    }
}

// A window larger than the table keeps the table's layout, centred in it;
// the banner stays along the window's bottom edge.
TEST(TableAtEachSize, ALargerWindowCentresTheTable)
{
    for (const SizeCase& size : SIZES) {
        SCOPED_TRACE(cardScaleName(size.scale));
        const PixelSize table = tableSize(size.scale);
        const TableLayout fitted(size.card, table.width, table.height, size.scale);
        const TableLayout roomy(size.card, table.width + 200, table.height + 101, size.scale);
        EXPECT_EQ(roomy.origin().x, 100);
        EXPECT_EQ(roomy.origin().y, 50);
        for (int p = 0; p < 4; ++p) {
            EXPECT_EQ(roomy.handOrigin(p, 6).x, fitted.handOrigin(p, 6).x + 100);
            EXPECT_EQ(roomy.handOrigin(p, 6).y, fitted.handOrigin(p, 6).y + 50);
            EXPECT_EQ(roomy.trickSlots()[p].x, fitted.trickSlots()[p].x + 100);
        }
        EXPECT_EQ(roomy.bannerTop(), table.height + 101 - scaled(BANNER_HEIGHT, size.scale));
        EXPECT_EQ(roomy.bannerLeft(scaled(640, size.scale)), 100);
        // The hand nearest the banner keeps clear of it.
        EXPECT_LT(roomy.handOrigin(POS_BOTTOM, 6).y + size.card.height, roomy.bannerTop());
    }
}

}  // namespace
