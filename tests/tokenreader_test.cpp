// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The game's text formats: the token reader every text file goes through, and the configuration.

#include "engine/config.h"
#include "engine/tokenreader.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using namespace std::string_literals;

// Reads `text` with one call per letter of `calls` (i: readInt, f: readFloat,
// s: readString, l: readLine, n: lastNumberFound) and lists the answers,
// strings in brackets, then whether the reader is at the end.
std::string readBack(const std::string& text, const std::string& calls)
{
    ScopedWorkDir dir;
    dir.writeFile("input.txt", text);
    TokenReader reader("input.txt");
    std::string answers;
    for (const char call : calls) {
        char number[32] = "";
        if (call == 'i')
            answers += std::to_string(reader.readInt());
        else if (call == 'f')
            std::snprintf(number, sizeof number, "%g", static_cast<double>(reader.readFloat()));
        else if (call == 's' || call == 'l')
            answers += '[' + (call == 's' ? reader.readString() : reader.readLine()) + ']';
        else
            answers += reader.lastNumberFound() ? "yes" : "no";
        answers += number + " "s;
    }
    return answers + (reader.atEnd() ? "end" : "more");
}

TEST(TokenReader, ReadsEachKindOfToken)
{
    const std::string cases[][3] = {
        // Signs, and a number stops at the first character that cannot continue it.
        {"  -12\n+7 -0 42px 007", "iiiisi", "-12 7 0 42 [px] 7 end"},
        // Without digits: 0, and only the white space is consumed (the sign too stays).
        {"   word -x +", "isisis", "0 [word] 0 [-x] 0 [+] end"},
        // Long digit strings wrap through unsigned arithmetic instead of overflowing.
        {"2147483647 2147483648 -2147483648 4294967297 99999999999999999999", "iiiii",
         "2147483647 -2147483648 -2147483648 1 1661992959 end"},
        // An exponent without digits is not part of the number.
        {"1.5 -2.25e2 .5 5. +3E-1 1e 7e+x 0.15,", "ffffffsfsfs", "1.5 -225 0.5 5 0.3 1 [e] 7 [e+x] 0.15 [,] end"},
        {" .x nan 1e999 -1e999 1e-999", "fsfsfff", "0 [.x] 0 [nan] inf -inf 0 end"},
        // Only the six white-space characters separate strings.
        {"a\tb\vc\rd\ne\ff g\x01h\0i "s, "ssssssss", "[a] [b] [c] [d] [e] [f] [g\x01h\0i] [] end"s},
        {"first\r\nsecond\rthird\n\n  indented\n\r last", "llllllll",
         "[first] [second] [third] [] [  indented] [] [ last] [] end"},
        {"", "nifs", "no 0 0 [] end"},
        // Strings leave the found flag alone.
        {"0 word -.5 .e3", "ninfnsnfnfnsin", "no 0 yes 0 no [word] no -0.5 yes 0 no [.e3] 0 no end"},
    };
    for (const auto& [text, calls, answers] : cases)
        EXPECT_EQ(answers, readBack(text, calls)) << text;
}

// Config reads through the token reader, whose open error it passes on.
TEST(Config, ReadsPairsWhereverTheLinesBreakLaterLoadsOverwriteAndMissingKeysAreNamed)
{
    ScopedWorkDir dir;
    const auto load = [&](const std::string& text) {
        dir.writeFile("resources/config.cfg", text);
        Config::load("resources/config.cfg");
    };
    load(configText({{"renderer_width", 1024}}));
    EXPECT_EQ(640, Config::get("window_width"));
    // Trailing letters of a value are read as the next key; signs count; the later value wins.
    load("window_width 800px window_height\r\n\t-17 a -0 b +2\n\na 5 WINDOW_HEIGHT 9");
    for (const auto& [key, value] : {std::pair{"window_width", 800}, {"px", 0}, {"window_height", -17}, {"a", 5},
                                     {"b", 2}, {"WINDOW_HEIGHT", 9}, {"renderer_width", 1024}})
        EXPECT_EQ(value, Config::get(key)) << key;

    const std::string missing = "src/config: Configfile does not contain ";
    EXPECT_EQ(missing + "'window_Width'", thrownMessage([] { Config::get("window_Width"); }));
    Config::clear();
    EXPECT_EQ(missing + "'WINDOW_HEIGHT'", thrownMessage([] { Config::get("WINDOW_HEIGHT"); }));
    EXPECT_EQ("Cannot open or create file 'resources/absent.cfg'",
              thrownMessage([] { Config::load("resources/absent.cfg"); }));
}

} // namespace
