#include <gtest/gtest.h>

#include "ui/background_fit.h"

namespace {

struct FitCase {
    int pictureWidth;
    int pictureHeight;
    int windowWidth;
    int windowHeight;
    BackgroundFit fit;
};

TEST(BackgroundFit, WarningsForPictureAndWindowSizes)
{
    const FitCase cases[] = {
        {640, 480, 640, 580, BackgroundFit::FITS},          // 480 is not below 580 - 120
        {640, 480, 640, 601, BackgroundFit::ENLARGED},  // a taller window
        {640, 480, 641, 580, BackgroundFit::ENLARGED},  // a wider one
        {640, 480, 640, 400, BackgroundFit::FITS},          // a smaller window only hides part
        {640, 460, 640, 580, BackgroundFit::FITS},          // exactly the table area
        {320, 240, 640, 580, BackgroundFit::ENLARGED},
        {1, 1, 640, 580, BackgroundFit::ENLARGED},
        {800, 600, 640, 580, BackgroundFit::CROPPED},
        {800, 460, 640, 580, BackgroundFit::CROPPED},   // covers the area, wider than 640
        // Short of the area on one side: enlarged, however far the other reaches.
        {641, 100, 640, 580, BackgroundFit::ENLARGED},
        {100, 481, 640, 580, BackgroundFit::ENLARGED},
        {800, 300, 640, 580, BackgroundFit::ENLARGED},
        {800, 600, 1024, 768, BackgroundFit::ENLARGED},  // a window made larger by hand
        {1100, 700, 1024, 768, BackgroundFit::CROPPED},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pictureWidth << "x" << c.pictureHeight << " in " << c.windowWidth << "x"
                                        << c.windowHeight);
        EXPECT_EQ(backgroundFit(c.pictureWidth, c.pictureHeight, c.windowWidth, c.windowHeight), c.fit);
    }
}

TEST(BackgroundFit, WarningTexts)
{
    EXPECT_EQ(backgroundWarning(BackgroundFit::FITS), nullptr);
    EXPECT_STREQ(backgroundWarning(BackgroundFit::ENLARGED),
                 "Backgrounds should be 640x480.\nThis image will be enlarged to fill the window.");
    EXPECT_STREQ(backgroundWarning(BackgroundFit::CROPPED),
                 "Backgrounds should be 640x480.\nThis image will be cropped to fit the window.");
}

TEST(BackgroundFit, DrawnSizeCoversTheTableArea)
{
    struct Case {
        int pictureWidth;
        int pictureHeight;
        int areaWidth;
        int areaHeight;
        int width;
        int height;
    };
    const Case cases[] = {
        {640, 480, 640, 460, 640, 480},    // covers already: its own size, cut below
        {800, 600, 640, 460, 800, 600},    // larger still: cut at both edges
        {640, 480, 960, 690, 960, 720},    // the middle table: enlarged by the width
        {640, 480, 1280, 1040, 1387, 1040}, // a tall window: enlarged by the height
        {320, 240, 640, 460, 640, 480},
        {800, 300, 640, 460, 1227, 460},   // wide but short: the height sets the factor
        {1, 1, 640, 460, 640, 640},
        {0, 0, 640, 460, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pictureWidth << "x" << c.pictureHeight << " over " << c.areaWidth << "x"
                                        << c.areaHeight);
        const PixelSize drawn = backgroundDrawnSize(c.pictureWidth, c.pictureHeight, c.areaWidth, c.areaHeight);
        EXPECT_EQ(drawn.width, c.width);
        EXPECT_EQ(drawn.height, c.height);
    }
}

}  // namespace
