// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

// Developer tools only: the program that links alloccount.cpp replaces every
// global operator new and new[] (plain, nothrow, aligned) with a counting
// one, for its own code and every library it loads. Deletes are replaced to
// match. The count only grows; compare two readings.
std::uint64_t allocationCount();
