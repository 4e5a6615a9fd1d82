// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The benchmark executable, run briefly in a copy of the shipped resources:
// no frame of any scene allocates from the heap, and it writes nothing below
// resources/. No timing is judged: the machine is shared.

#include "tempdir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;

TEST(Bench, NoSceneAllocatesPerFrameAndTheResourcesAreLeftAlone)
{
    ScopedWorkDir dir;
    copyResources(fs::path(KERBOLT_SOURCE_DIR) / "resources", dir.path() / "resources", "0 0 0 0 0 0 0 ");
    const auto before = treeSnapshot(dir.path() / "resources");

    const std::string command = std::string(KERBOLT_BENCH) + " --frames 20 --json figures.json . > table.txt";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << readWholeFile(dir.path() / "table.txt");
    EXPECT_EQ(before, treeSnapshot(dir.path() / "resources"));

    // The empty frame, the menu and the seven levels.
    const std::string json = readWholeFile(dir.path() / "figures.json");
    std::istringstream in(json);
    int scenes = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.find("\"scene\"") == std::string::npos)
            continue;
        ++scenes;
        const std::size_t at = line.find("\"allocs_per_frame\": 0");
        EXPECT_TRUE(at != std::string::npos && std::string_view(",}").find(line[at + 21]) != std::string_view::npos)
            << line;
    }
    EXPECT_EQ(9, scenes) << json;
}

} // namespace
