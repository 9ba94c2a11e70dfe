#include "ui/background_fit.h"

#include "ui/table_layout.h"

namespace {

constexpr int PICTURE_WIDTH = 640;
constexpr int PICTURE_HEIGHT = 480;

int divideRoundingUp(long long a, long long b) { return static_cast<int>((a + b - 1) / b); }

}  // namespace

BackgroundFit backgroundFit(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight)
{
    // A picture short of the table area on either side is enlarged to
    // cover it, however far its other side reaches.
    if (pictureWidth < windowWidth || pictureHeight < windowHeight - BANNER_HEIGHT) return BackgroundFit::ENLARGED;
    if (pictureWidth > PICTURE_WIDTH || pictureHeight > PICTURE_HEIGHT) return BackgroundFit::CROPPED;
    return BackgroundFit::FITS;
}

const char* backgroundWarning(BackgroundFit fit)
{
    switch (fit) {
    case BackgroundFit::ENLARGED: return "Backgrounds should be 640x480.\nThis image will be enlarged to fill the window.";
    case BackgroundFit::CROPPED: return "Backgrounds should be 640x480.\nThis image will be cropped to fit the window.";
    case BackgroundFit::FITS: break;
    }
    return nullptr;
}

PixelSize backgroundDrawnSize(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0) return {};
    if (pictureWidth >= areaWidth && pictureHeight >= areaHeight) return {pictureWidth, pictureHeight};
    // Whichever side falls shorter in proportion sets the factor.
    if (static_cast<long long>(areaWidth) * pictureHeight >= static_cast<long long>(areaHeight) * pictureWidth)
        return {areaWidth, divideRoundingUp(static_cast<long long>(pictureHeight) * areaWidth, pictureWidth)};
    return {divideRoundingUp(static_cast<long long>(pictureWidth) * areaHeight, pictureHeight), areaHeight};
}
