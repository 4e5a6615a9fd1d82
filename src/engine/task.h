// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// A subsystem driven once per frame: the engine's tasks and the application.
class Task {
public:
    virtual ~Task();
    virtual void start() = 0;
    virtual void stop() = 0;
    // One frame of work. Engine tasks answer false and nobody reads it; the
    // application answers true to keep the program running.
    virtual bool update() = 0;
};
