// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The shader source reader: every line ends in one line feed.

#include "fuzzinput.h"
#include "resources/hlslshader.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    TokenReader reader = readerOf(data, size, "resources/shaders/fuzz.fx");
    const std::string source = HLSLShader::sourceText(reader);
    FUZZ_CHECK(source.find('\r') == std::string::npos);
    FUZZ_CHECK(source.empty() == (size == 0));
    FUZZ_CHECK(source.empty() || source.back() == '\n');
    // Text read once is already in that form.
    TokenReader again = TokenReader::fromText(source, "again.fx");
    FUZZ_CHECK(HLSLShader::sourceText(again) == source);
    return 0;
}
