// The settings store over the FOX registry file, in a home folder of its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "ui/fox_settings.h"

namespace {

class FoxSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/fox-settings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home = pattern;
        const char* old = std::getenv("HOME");
        oldHome = old ? old : "";
        setenv("HOME", home.c_str(), 1);
    }
    void TearDown() override
    {
        setenv("HOME", oldHome.c_str(), 1);
        std::filesystem::remove_all(home);
    }

    // What a later run of the program reads back from the file.
    static std::optional<std::string> readBack(const char* section, const char* key)
    {
        FXRegistry registry("marvanto", "zok");
        registry.read();
        return FoxSettings(registry).readString(section, key);
    }

    std::string home;
    std::string oldHome;
};

TEST_F(FoxSettingsTest, MissingEntryIsNone)
{
    FXRegistry registry("marvanto", "zok");
    registry.read();
    FoxSettings settings(registry);
    EXPECT_FALSE(settings.readString("Display", "Background"));
    settings.writeString("Display", "Background", "");
    EXPECT_EQ(settings.readString("Display", "Background"), std::string());
}

TEST_F(FoxSettingsTest, FlushWritesTheFileOfTheApplication)
{
    {
        FXRegistry registry("marvanto", "zok");
        FoxSettings settings(registry);
        settings.writeString("Display", "Background", "/pictures/beach.jpg");
        settings.flush();
    }
    EXPECT_TRUE(std::filesystem::exists(home + "/.foxrc/zok/marvanto"));
    EXPECT_EQ(readBack("Display", "Background"), std::string("/pictures/beach.jpg"));
}

// The saved names are one value with a newline between names, and the high
// scores a scrambled text of TABs and bytes above 0x7F: both must come back
// from the file byte for byte.
TEST_F(FoxSettingsTest, ValuesComeBackByteForByte)
{
    std::string everyByte;
    for (int b = 1; b < 256; ++b)
        if (b != 0x7F) everyByte += static_cast<char>(b);
    const std::string values[] = {"Zed\nAnn\nBo", everyByte, " leading and trailing ", "a=b", "[x]", "\"quoted\""};
    for (const std::string& value : values) {
        SCOPED_TRACE(value);
        {
            FXRegistry registry("marvanto", "zok");
            registry.read();
            FoxSettings settings(registry);
            settings.writeString("Scores", "Data", value);
            settings.flush();
        }
        EXPECT_EQ(readBack("Scores", "Data"), value);
    }
}

}  // namespace
