// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/tokenreader.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

TokenReader::TokenReader(const std::string& name) : fileName(name)
{
    const std::runtime_error cannotOpen("Cannot open or create file '" + name + "'");
    std::ifstream file(name, std::ios::binary);
    if (!file)
        throw cannotOpen;
    // A directory opens like a file, and the stream buffer throws its own
    // error on the first read; the caller gets the message naming the file.
    try {
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        throw cannotOpen;
    }
    if (file.bad())
        throw cannotOpen;
}

TokenReader TokenReader::fromText(std::string text, std::string name)
{
    TokenReader reader;
    reader.fileName = std::move(name);
    reader.text = std::move(text);
    return reader;
}

bool TokenReader::isWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\r' || c == '\n' || c == '\f';
}

void TokenReader::skipWhiteSpace()
{
    while (position < text.size() && isWhiteSpace(text[position]))
        ++position;
}

bool TokenReader::atDigit(std::size_t at) const
{
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
}

std::size_t TokenReader::skipDigits(std::size_t from) const
{
    while (atDigit(from))
        ++from;
    return from;
}

std::size_t TokenReader::skipSign(std::size_t from) const
{
    if (from < text.size() && (text[from] == '+' || text[from] == '-'))
        ++from;
    return from;
}

int32_t TokenReader::readInt()
{
    skipWhiteSpace();
    const std::size_t digitsBegin = skipSign(position);
    const std::size_t digitsEnd = skipDigits(digitsBegin);
    numberFound = digitsEnd != digitsBegin;
    if (!numberFound)
        return 0;

    // Unsigned arithmetic wraps where a signed accumulator would overflow.
    uint32_t magnitude = 0;
    for (std::size_t i = digitsBegin; i < digitsEnd; ++i)
        magnitude = magnitude * 10u + static_cast<uint32_t>(text[i] - '0');
    const bool negative = text[position] == '-';
    position = digitsEnd;
    return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

float TokenReader::readFloat()
{
    skipWhiteSpace();
    const std::size_t mantissaBegin = skipSign(position);
    std::size_t end = skipDigits(mantissaBegin);
    bool hasDigits = end > mantissaBegin;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fractionEnd = skipDigits(end + 1);
        hasDigits = hasDigits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    numberFound = hasDigits;
    if (!hasDigits)
        return 0.0f;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        const std::size_t exponentDigits = skipSign(end + 1);
        const std::size_t exponentEnd = skipDigits(exponentDigits);
        if (exponentEnd > exponentDigits)
            end = exponentEnd;
    }
    // strtof sees exactly the scanned number; out-of-range values come back
    // as infinity or zero. The program never changes the C locale.
    const std::string number = text.substr(position, end - position);
    position = end;
    return std::strtof(number.c_str(), nullptr);
}

std::string TokenReader::readString()
{
    skipWhiteSpace();
    const std::size_t begin = position;
    while (position < text.size() && !isWhiteSpace(text[position]))
        ++position;
    return text.substr(begin, position - begin);
}

std::string TokenReader::readLine()
{
    const std::size_t begin = position;
    while (position < text.size() && text[position] != '\n' && text[position] != '\r')
        ++position;
    std::string line = text.substr(begin, position - begin);
    if (position < text.size()) {
        const bool carriageReturn = text[position] == '\r';
        ++position;
        if (carriageReturn && position < text.size() && text[position] == '\n')
            ++position;
    }
    return line;
}
