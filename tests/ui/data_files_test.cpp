#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/data_files.h"

namespace {

const std::string INSTALLED = std::string("/") + MARVANTO_DATA_FROM_BIN + "/" + BACKGROUND_DEFAULT;

struct CandidateCase {
    const char* setting;
    const char* programPath;
    std::vector<std::string> paths;
};

TEST(DataFiles, BackgroundCandidatesInTheirOrder)
{
    const CandidateCase cases[] = {
        // The working directory comes first, then the data beside the program,
        // wherever the program was installed or unpacked.
        {BACKGROUND_DEFAULT, "/usr/bin/marvanto", {BACKGROUND_DEFAULT, "/usr/bin" + INSTALLED}},
        {BACKGROUND_DEFAULT, "/tmp/x/usr/bin/marvanto", {BACKGROUND_DEFAULT, "/tmp/x/usr/bin" + INSTALLED}},
        {BACKGROUND_DEFAULT, "/marvanto", {BACKGROUND_DEFAULT, INSTALLED}},
        // Where the program's path is unknown only the working directory is tried.
        {BACKGROUND_DEFAULT, "", {BACKGROUND_DEFAULT}},
        {BACKGROUND_DEFAULT, "marvanto", {BACKGROUND_DEFAULT}},
        // A picture of the player's own is looked for nowhere else, even by a
        // relative name.
        {"/home/ann/pictures/bay.jpg", "/usr/bin/marvanto", {"/home/ann/pictures/bay.jpg"}},
        {"backgrounds/maracas-beach2.jpg", "/usr/bin/marvanto", {"backgrounds/maracas-beach2.jpg"}},
        {"backgrounds/maracas-beach1.jpg ", "/usr/bin/marvanto", {"backgrounds/maracas-beach1.jpg "}},
    };
    for (const CandidateCase& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.setting << "\" for \"" << c.programPath << '"');
        EXPECT_EQ(backgroundCandidates(c.setting, c.programPath), c.paths);
    }
}

TEST(DataFiles, OwnProgramPathNamesThisTest)
{
    const std::string path = ownProgramPath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "ui_tests");
}

}  // namespace
