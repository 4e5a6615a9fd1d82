// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/singleton.h"
#include "engine/task.h"

#include <vector>

// The engine: reads the configuration and drives its five tasks (window,
// input, renderer, audio, timer) in that order, once per frame. It owns the
// task objects while they are in its list.
class Quenor : public Task {
public:
    Quenor() = default;
    Quenor(const Quenor&) = delete;
    Quenor& operator=(const Quenor&) = delete;

    // Loads resources/config.cfg, then starts every task in list order.
    // Throws std::runtime_error on a missing file, key or device.
    void start() override;
    // Stops and deletes every task in list order, then clears the configuration.
    void stop() override;
    // Swap, event poll, clear, audio (nothing), timer.
    bool update() override;

private:
    struct OwnedTask {
        Task* task;
        void (*destroy)();
    };

    template <class T>
    void adopt()
    {
        tasks.push_back({&T::getInstance(), &SingletonSlot<T>::destroy});
    }

    std::vector<OwnedTask> tasks;
};
