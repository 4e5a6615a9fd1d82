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

    ScopedWorkDir dir;
};

TEST_F(ConfigTest, ReadsPairsWhereverTheLinesBreakAndLaterLoadsOverwrite)
{
    load(configText({{"renderer_width", 1024}}));
    EXPECT_EQ(640, Config::get("window_width"));
    EXPECT_EQ(1024, Config::get("renderer_width"));
    // Trailing letters of a value are read as the next key; signs count; the later value wins.
    load("window_width 800px window_height\r\n\t-17 a -0 b +2\n\na 5 WINDOW_HEIGHT 9");
    for (const auto& [key, value] : {std::pair{"window_width", 800}, {"px", 0}, {"window_height", -17}, {"a", 5},
                                     {"b", 2}, {"WINDOW_HEIGHT", 9}, {"renderer_width", 1024}})
        EXPECT_EQ(value, Config::get(key)) << key;
}

TEST_F(ConfigTest, MissingKeysAndFilesAreNamed)
{
    load("WINDOW_WIDTH 800\n");
    const std::string missing = "src/config: Configfile does not contain ";
    EXPECT_EQ(missing + "'window_width'", thrownMessage([] { Config::get("window_width"); }));
    Config::clear();
    EXPECT_EQ(missing + "'WINDOW_WIDTH'", thrownMessage([] { Config::get("WINDOW_WIDTH"); }));
    EXPECT_EQ("Cannot open or create file 'resources/absent.cfg'",
              thrownMessage([] { Config::load("resources/absent.cfg"); }));
}

} // namespace
