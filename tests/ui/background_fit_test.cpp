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
        {640, 480, 640, 601, BackgroundFit::LEAVES_BLACK},  // a taller window
        {640, 480, 641, 580, BackgroundFit::LEAVES_BLACK},  // a wider one
        {640, 480, 640, 400, BackgroundFit::FITS},          // a smaller window only hides part
        {640, 460, 640, 580, BackgroundFit::FITS},          // exactly the table area
        {320, 240, 640, 580, BackgroundFit::LEAVES_BLACK},
        {1, 1, 640, 580, BackgroundFit::LEAVES_BLACK},
        {800, 600, 640, 580, BackgroundFit::CROPPED},
        {641, 100, 640, 580, BackgroundFit::CROPPED},  // beyond 640 wide, though short
        {100, 481, 640, 580, BackgroundFit::CROPPED},
        {800, 600, 1024, 768, BackgroundFit::CROPPED},  // laid out for 640x480, whatever the window
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
    EXPECT_STREQ(backgroundWarning(BackgroundFit::LEAVES_BLACK),
                 "Backgrounds should be 640x480.\nThe space outside this image will be black.");
    EXPECT_STREQ(backgroundWarning(BackgroundFit::CROPPED),
                 "Backgrounds should be 640x480.\nThis image will be cropped to fit the window.");
}

}  // namespace
