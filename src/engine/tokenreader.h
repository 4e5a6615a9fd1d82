// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Reads the game's plain-text files token by token: configuration, savegame,
// level and height-field descriptions, meshes and shader sources.
//
// White space is exactly blank, tab, vertical tab, carriage return, line feed
// and form feed; every token read skips it first. A number ends at the first
// character that cannot continue it, and that character stays unread.
// The whole file is read when the reader opens, so a reader never holds a
// file handle and end of file means "position equals file size".
class TokenReader {
public:
    // Throws std::runtime_error("Cannot open or create file '<name>'").
    explicit TokenReader(const std::string& fileName);

    // A reader over text already in memory; `name` stands for the file name
    // in getFileName() and hence in the callers' messages.
    static TokenReader fromText(std::string text, std::string name);

    // Optional sign, then decimal digits. No digits: 0, and only the white
    // space is consumed. Values beyond 32 bits wrap (two's complement).
    int32_t readInt();

    // Optional sign, digits, optional fraction, optional exponent (".5" and
    // "5." count). No digits: 0, and only the white space is consumed.
    float readFloat();

    // Every character up to the next white space; empty at end of file.
    std::string readString();

    // From the current position to the next LF, CR or CR LF, which is
    // consumed but not returned. Leading white space is kept.
    std::string readLine();

    bool atEnd() const { return position == text.size(); }
    // The next unread character, or NUL at the end of the file.
    char peek() const { return atEnd() ? '\0' : text[position]; }
    // Whether the latest readInt or readFloat found digits, so that a real 0
    // can be told from a word or the end of the file; false before any.
    bool lastNumberFound() const { return numberFound; }
    // The file's size in bytes, and how many of them have been read.
    std::size_t getSize() const { return text.size(); }
    std::size_t getPosition() const { return position; }
    const std::string& getFileName() const { return fileName; }

    static bool isWhiteSpace(char c);

private:
    TokenReader() = default;

    void skipWhiteSpace();
    bool atDigit(std::size_t at) const;
    std::size_t skipDigits(std::size_t from) const;
    std::size_t skipSign(std::size_t from) const;

    std::string fileName;
    std::string text;
    std::size_t position = 0;
    bool numberFound = false;
};
