// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Something that holds resources for a stretch of the program: it takes them
// in load() and gives every one of them back in unload().
class Unit {
public:
    virtual ~Unit();
    virtual void load() = 0;
    virtual void unload() = 0;
};
