#include "ui/card_scale.h"

namespace {

constexpr int SMALL_TABLE_WIDTH = 640;
constexpr int SMALL_TABLE_HEIGHT = 580;
constexpr int SCREEN_SHARE_PERCENT = 85;

bool fits(CardScale scale, int width, int height)
{
    const PixelSize table = tableSize(scale);
    return table.width <= width && table.height <= height;
}

}  // namespace

const char* const CARD_SIZE_SECTION = "Display";
const char* const CARD_SIZE_KEY = "CardSize";

PixelSize tableSize(CardScale scale)
{
    return {scaled(SMALL_TABLE_WIDTH, scale), scaled(SMALL_TABLE_HEIGHT, scale)};
}

CardScale fittingScale(int windowWidth, int windowHeight)
{
    CardScale best = CardScale::SMALL;
    for (CardScale scale : CARD_SCALES)
        if (fits(scale, windowWidth, windowHeight)) best = scale;
    return best;
}

bool fitsWorkArea(CardScale scale, PixelSize workArea)
{
    return fits(scale, workArea.width - 2 * WINDOW_BORDER, workArea.height - WINDOW_TITLE_HEIGHT - WINDOW_BORDER);
}

CardScale largestFitting(CardScale wanted, PixelSize workArea)
{
    CardScale best = CardScale::SMALL;
    for (CardScale scale : CARD_SCALES)
        if (static_cast<int>(scale) <= static_cast<int>(wanted) && fitsWorkArea(scale, workArea)) best = scale;
    return best;
}

CardScale firstStartScale(int screenWidth, int screenHeight)
{
    return fittingScale(screenWidth * SCREEN_SHARE_PERCENT / 100, screenHeight * SCREEN_SHARE_PERCENT / 100);
}

const char* cardScaleName(CardScale scale)
{
    switch (scale) {
    case CardScale::MEDIUM: return "medium";
    case CardScale::LARGE: return "large";
    case CardScale::SMALL: break;
    }
    return "small";
}

std::optional<CardScale> parseCardScale(const std::optional<std::string>& stored)
{
    if (!stored) return std::nullopt;
    for (CardScale scale : CARD_SCALES)
        if (*stored == cardScaleName(scale)) return scale;
    return std::nullopt;
}
