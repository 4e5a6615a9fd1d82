// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Compiled into every program of the sanitizer build (KERBOLT_SANITIZE in
// CMakeLists.txt), the game's included; no other build has it.
//
// Mesa unloads its DRI driver when SDL closes the X display. LeakSanitizer
// looks for leaks later, at exit: by then it no longer scans the driver's
// globals, so the driver's own caches turn up as leaks, and it can no longer
// name the driver's frames, so no suppression can match them. Loading the
// driver once more, never to be unloaded, keeps it mapped until the check.
// (Debian's *_dri.so are hard links of one file, so this pins whichever of
// them Mesa opens.)

#include <dlfcn.h>

namespace {

[[maybe_unused]] const bool glDriverPinned = dlopen(KERBOLT_GL_DRIVER, RTLD_LAZY | RTLD_NODELETE) != nullptr;

} // namespace
