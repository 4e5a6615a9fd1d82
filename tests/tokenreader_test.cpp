#include "tokenreader.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

TokenReader readerOver(const ScopedWorkDir& dir, const std::string& text)
{
    dir.writeFile("input.txt", text);
    return TokenReader("input.txt");
}

TEST(TokenReader, MissingFileThrowsTheOpenMessage)
{
    ScopedWorkDir dir;
    try {
        TokenReader reader("resources/nothing.txt");
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ("Cannot open or create file 'resources/nothing.txt'", error.what());
    }
}

TEST(TokenReader, IntegersTakeSignsAndStopAtTheFirstNonDigit)
{
    ScopedWorkDir dir;
    TokenReader reader = readerOver(dir, "  -12\n+7 -0 42px 007");
    EXPECT_EQ(-12, reader.readInt());
    EXPECT_EQ(7, reader.readInt());
    EXPECT_EQ(0, reader.readInt());
    EXPECT_EQ(42, reader.readInt());
    EXPECT_EQ("px", reader.readString());
    EXPECT_EQ(7, reader.readInt());
    EXPECT_TRUE(reader.atEnd());
}

TEST(TokenReader, AnIntegerWithoutDigitsIsZeroAndConsumesOnlyWhiteSpace)
{
    ScopedWorkDir dir;
    TokenReader reader = readerOver(dir, "   word -x +");
    EXPECT_EQ(0, reader.readInt());
    EXPECT_EQ("word", reader.readString());
    EXPECT_EQ(0, reader.readInt());
    EXPECT_EQ("-x", reader.readString()); // the sign stays unread too
    EXPECT_EQ(0, reader.readInt());
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ("+", reader.readString());
    EXPECT_TRUE(reader.atEnd());
}

TEST(TokenReader, LongDigitStringsWrapThroughUnsignedArithmetic)
{
    ScopedWorkDir dir;
    TokenReader reader = readerOver(dir, "2147483647 2147483648 -2147483648 4294967297 99999999999999999999");
    EXPECT_EQ(INT32_MAX, reader.readInt());
    EXPECT_EQ(INT32_MIN, reader.readInt());
    EXPECT_EQ(INT32_MIN, reader.readInt());
    EXPECT_EQ(1, reader.readInt());
    EXPECT_EQ(1661992959, reader.readInt()); // (10^20 - 1) modulo 2^32
    EXPECT_TRUE(reader.atEnd());
}

TEST(TokenReader, FloatsTakeFractionAndExponent)
{
    ScopedWorkDir dir;
    TokenReader reader = readerOver(dir, "1.5 -2.25e2 .5 5. +3E-1 1e 7e+x 0.15,");
    EXPECT_FLOAT_EQ(1.5f, reader.readFloat());
    EXPECT_FLOAT_EQ(-225.0f, reader.readFloat());
    EXPECT_FLOAT_EQ(0.5f, reader.readFloat());
    EXPECT_FLOAT_EQ(5.0f, reader.readFloat());
    EXPECT_FLOAT_EQ(0.3f, reader.readFloat());
    // An exponent without digits is not part of the number.
    EXPECT_FLOAT_EQ(1.0f, reader.readFloat());
    EXPECT_EQ("e", reader.readString());
    EXPECT_FLOAT_EQ(7.0f, reader.readFloat());
    EXPECT_EQ("e+x", reader.readString());
    EXPECT_FLOAT_EQ(0.15f, reader.readFloat());
    EXPECT_EQ(",", reader.readString());
}

TEST(TokenReader, FloatsWithoutDigitsAndOutOfRangeGetDefinedValues)
{
    ScopedWorkDir dir;
    TokenReader reader = readerOver(dir, " .x nan 1e999 -1e999 1e-999");
    EXPECT_EQ(0.0f, reader.readFloat());
    EXPECT_EQ(".x", reader.readString());
    EXPECT_EQ(0.0f, reader.readFloat());
    EXPECT_EQ("nan", reader.readString());
    EXPECT_EQ(HUGE_VALF, reader.readFloat());
    EXPECT_EQ(-HUGE_VALF, reader.readFloat());
    EXPECT_EQ(0.0f, reader.readFloat());
}

TEST(TokenReader, OnlyTheSixWhiteSpaceCharactersSeparateStrings)
{
    ScopedWorkDir dir;
    TokenReader reader = readerOver(dir, std::string("a\tb\vc\rd\ne\ff g\x01h\0i ", 18));
    for (const char* expected : {"a", "b", "c", "d", "e", "f"})
        EXPECT_EQ(expected, reader.readString());
    EXPECT_EQ(std::string("g\x01h\0i", 5), reader.readString());
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ("", reader.readString());
    EXPECT_TRUE(reader.atEnd());
}

TEST(TokenReader, LinesEndAtLfCrOrCrLfAndKeepLeadingBlanks)
{
    ScopedWorkDir dir;
    TokenReader reader = readerOver(dir, "first\r\nsecond\rthird\n\n  indented\n\r last");
    for (const char* expected : {"first", "second", "third", "", "  indented", "", " last"})
        EXPECT_EQ(expected, reader.readLine());
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ("", reader.readLine());
}

TEST(TokenReader, EmptyFileIsAtItsEndAtOnce)
{
    ScopedWorkDir dir;
    TokenReader reader = readerOver(dir, "");
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(0, reader.readInt());
    EXPECT_EQ(0.0f, reader.readFloat());
    EXPECT_EQ("", reader.readString());
}

TEST(TokenReader, ReportsWhetherTheLastNumberHadDigitsAndTheFileSize)
{
    ScopedWorkDir dir;
    TokenReader reader = readerOver(dir, "0 word -.5 .e3");
    EXPECT_EQ(14u, reader.getSize());
    EXPECT_FALSE(reader.lastNumberFound());
    reader.readInt();
    EXPECT_TRUE(reader.lastNumberFound());
    reader.readFloat();
    EXPECT_FALSE(reader.lastNumberFound());
    EXPECT_EQ("word", reader.readString());
    EXPECT_FALSE(reader.lastNumberFound()); // strings leave the flag alone
    EXPECT_EQ(-0.5f, reader.readFloat());
    EXPECT_TRUE(reader.lastNumberFound());
    EXPECT_EQ(0.0f, reader.readFloat());
    EXPECT_FALSE(reader.lastNumberFound());
    EXPECT_EQ(".e3", reader.readString());
    reader.readInt(); // at the end
    EXPECT_FALSE(reader.lastNumberFound());
}

} // namespace
