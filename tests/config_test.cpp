#include "config.h"

#include "tempdir.h"

#include <gtest/gtest.h>

namespace {

class ConfigTest : public ::testing::Test {
protected:
    void TearDown() override { Config::clear(); }

    void load(const std::string& text)
    {
        dir.writeFile("resources/config.cfg", text);
        Config::load("resources/config.cfg");
    }

    static std::string missingKeyMessage(const std::string& key)
    {
        try {
            Config::get(key);
        } catch (const std::runtime_error& error) {
            return error.what();
        }
        return "no exception";
    }

    ScopedWorkDir dir;
};

TEST_F(ConfigTest, ReadsEveryKeyOfAWellFormedFile)
{
    load(configText({{"renderer_width", 1024}, {"fullscreen", 1}}));
    EXPECT_EQ(640, Config::get("window_width"));
    EXPECT_EQ(480, Config::get("window_height"));
    EXPECT_EQ(1024, Config::get("renderer_width"));
    EXPECT_EQ(1, Config::get("fullscreen"));
    EXPECT_EQ(44100, Config::get("audio_frequency"));
    EXPECT_EQ(1024, Config::get("audio_chunksize"));
}

TEST_F(ConfigTest, EntriesMayShareALineAndLineBreaksCarryNoMeaning)
{
    load("window_width 800 window_height 600\r\n\tfullscreen\n\n2");
    EXPECT_EQ(800, Config::get("window_width"));
    EXPECT_EQ(600, Config::get("window_height"));
    EXPECT_EQ(2, Config::get("fullscreen"));
}

TEST_F(ConfigTest, AValueWithTrailingLettersLeavesThemAsTheNextKey)
{
    load("window_width 800px window_height 600\n");
    EXPECT_EQ(800, Config::get("window_width"));
    EXPECT_EQ(0, Config::get("px"));
    EXPECT_EQ(600, Config::get("window_height"));
}

TEST_F(ConfigTest, SignsAndRepeatedKeys)
{
    load("a -0 b +2 c -17 a 5");
    EXPECT_EQ(5, Config::get("a")); // the later value wins
    EXPECT_EQ(2, Config::get("b"));
    EXPECT_EQ(-17, Config::get("c"));
}

TEST_F(ConfigTest, KeysAreCaseSensitive)
{
    load("WINDOW_WIDTH 800\n");
    EXPECT_EQ(800, Config::get("WINDOW_WIDTH"));
    EXPECT_EQ("src/config: Configfile does not contain 'window_width'", missingKeyMessage("window_width"));
}

TEST_F(ConfigTest, EmptyFileLoadsNoKeyAndClearForgetsAll)
{
    load("");
    EXPECT_EQ("src/config: Configfile does not contain 'fullscreen'", missingKeyMessage("fullscreen"));

    load(configText());
    Config::clear();
    EXPECT_EQ("src/config: Configfile does not contain 'window_width'", missingKeyMessage("window_width"));
}

TEST_F(ConfigTest, LoadingAgainOverwritesAndKeepsOtherKeys)
{
    load("window_width 800 extra 3");
    load("window_width 1024");
    EXPECT_EQ(1024, Config::get("window_width"));
    EXPECT_EQ(3, Config::get("extra"));
}

TEST_F(ConfigTest, MissingFileNamesIt)
{
    try {
        Config::load("resources/absent.cfg");
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ("Cannot open or create file 'resources/absent.cfg'", error.what());
    }
}

} // namespace
