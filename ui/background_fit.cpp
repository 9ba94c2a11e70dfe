#include "ui/background_fit.h"

#include "ui/table_layout.h"

namespace {

constexpr int PICTURE_WIDTH = 640;
constexpr int PICTURE_HEIGHT = 480;

}  // namespace

BackgroundFit backgroundFit(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight)
{
    if (pictureWidth > PICTURE_WIDTH || pictureHeight > PICTURE_HEIGHT) return BackgroundFit::CROPPED;
    if (pictureWidth < windowWidth || pictureHeight < windowHeight - BANNER_HEIGHT) return BackgroundFit::LEAVES_BLACK;
    return BackgroundFit::FITS;
}

const char* backgroundWarning(BackgroundFit fit)
{
    switch (fit) {
    case BackgroundFit::LEAVES_BLACK: return "Backgrounds should be 640x480.\nThe space outside this image will be black.";
    case BackgroundFit::CROPPED: return "Backgrounds should be 640x480.\nThis image will be cropped to fit the window.";
    case BackgroundFit::FITS: break;
    }
    return nullptr;
}
