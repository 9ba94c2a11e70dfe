// The table's three sizes. Every picture exists at each of them, and every
// distance of the table layout is given at the smallest and grows with it.
#pragma once

#include <array>
#include <optional>
#include <string>

enum class CardScale : int { SMALL = 2, MEDIUM = 3, LARGE = 4 };  // in halves

constexpr std::array<CardScale, 3> CARD_SCALES = {CardScale::SMALL, CardScale::MEDIUM, CardScale::LARGE};

// A distance given at the smallest size, at this one.
constexpr int scaled(int pixels, CardScale scale) { return pixels * static_cast<int>(scale) / 2; }
// A distance at this size, as it would be at the smallest.
constexpr int unscaled(int pixels, CardScale scale) { return pixels * 2 / static_cast<int>(scale); }

// A width and height in pixels.
struct PixelSize {
    int width = 0;
    int height = 0;
};

// The window the table is laid out for at this size.
PixelSize tableSize(CardScale scale);

// The largest size whose table fits a window of this size; the smallest
// when none does.
CardScale fittingScale(int windowWidth, int windowHeight);

// About what a window manager's title bar and border add round a window.
constexpr int WINDOW_TITLE_HEIGHT = 28;
constexpr int WINDOW_BORDER = 6;

// Whether the window of this size, with its title bar and border, fits a
// work area (the screen less its panels) of that size.
bool fitsWorkArea(CardScale scale, PixelSize workArea);
// The size wanted, or the largest smaller one that fits the work area; the
// smallest when none does.
CardScale largestFitting(CardScale wanted, PixelSize workArea);

// The size a first start chooses: the largest whose window takes at most
// 85% of the screen's width and height.
CardScale firstStartScale(int screenWidth, int screenHeight);

// The choice in the settings store: "Display" / "CardSize".
extern const char* const CARD_SIZE_SECTION;
extern const char* const CARD_SIZE_KEY;
const char* cardScaleName(CardScale scale);
// Nothing for a missing or unknown value, which a first start's choice replaces.
std::optional<CardScale> parseCardScale(const std::optional<std::string>& stored);
