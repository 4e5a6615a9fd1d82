// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>

// Owns the one instance of a singleton class T. get() creates it on first use
// with its default constructor and no further set-up; destroy() deletes it.
// A get() after destroy() creates a fresh instance, so no caller can reach a
// deleted object. T befriends SingletonSlot<T> to keep its constructor private.
template <class T>
class SingletonSlot {
public:
    static T& get()
    {
        if (!instance)
            instance.reset(new T());
        return *instance;
    }
    static void destroy() { instance.reset(); }
    static bool exists() { return instance != nullptr; }

private:
    static inline std::unique_ptr<T> instance;
};
