// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The benchmark executable, run briefly in a copy of the shipped resources:
// its JSON lines name every scene and metric with the agreed keys in order
// and figures a script can use, no frame allocates from the heap, and it
// writes nothing below resources/.
// No timing is judged: the machine is shared.

#include "tempdir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

const std::string bench = KERBOLT_BENCH;
const std::vector<std::string> levels = {"lvl1.txt",       "lvl2.txt",  "lvl3.txt", "lvlSpecial.txt",
                                         "lvl1b.txt",      "lvl2b.txt", "lvl3b.txt"};

// Runs the benchmark with these arguments, its standard output into `output`;
// answers its exit status, or -1 when it did not end normally.
int runBench(const std::vector<std::string>& arguments, const fs::path& output)
{
    std::vector<std::string> words = {bench};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = -1;
    const int spawned = posix_spawn(&child, bench.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

using Fields = std::vector<std::pair<std::string, std::string>>;

// The "key": value pairs of a one-line JSON object in order, values as
// written (strings keep their quotes); empty for any other line.
Fields fieldsOf(const std::string& line)
{
    if (line.size() < 2 || line.front() != '{' || line.back() != '}')
        return {};
    Fields fields;
    std::istringstream pairs(line.substr(1, line.size() - 2));
    for (std::string pair; std::getline(pairs, pair, ',');) {
        const std::size_t colon = pair.find("\": ");
        const std::size_t open = pair.find('"');
        if (colon == std::string::npos || open == std::string::npos || open > colon)
            return {};
        fields.emplace_back(pair.substr(open + 1, colon - open - 1), pair.substr(colon + 3));
    }
    return fields;
}

std::vector<std::string> keysOf(const Fields& fields)
{
    std::vector<std::string> keys;
    for (const auto& field : fields)
        keys.push_back(field.first);
    return keys;
}

// A JSON number, or NaN for anything else (a quoted string too).
double numberOf(const std::string& text)
{
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() ? value : std::nan("");
}

const std::vector<std::string> sceneKeys = {"scene", "frames", "median_ms", "p95_ms", "fps", "ratio_to_empty",
                                            "allocs_per_frame", "draws_per_frame"};

TEST(Bench, WritesEveryFigureAsJsonLinesAndLeavesTheResourcesAlone)
{
    ScopedWorkDir dir;
    copyResources(fs::path(KERBOLT_SOURCE_DIR) / "resources", dir.path() / "resources", "0 0 0 0 0 0 0 ");
    const auto before = treeSnapshot(dir.path() / "resources");

    ASSERT_EQ(0, runBench({"--frames", "20", "--json", "figures.json", dir.path().string()}, dir.path() / "table.txt"));
    EXPECT_EQ(before, treeSnapshot(dir.path() / "resources"));

    const std::vector<std::string> json = lines(readWholeFile(dir.path() / "figures.json"));
    ASSERT_EQ(2 + levels.size() + 1 + levels.size() + 1, json.size()) << readWholeFile(dir.path() / "figures.json");
    std::vector<std::string> scenes = {"empty", "menu"};
    for (const std::string& level : levels)
        scenes.push_back("level:" + level);
    for (std::size_t k = 0; k < scenes.size(); ++k) {
        const Fields fields = fieldsOf(json[k]);
        ASSERT_EQ(sceneKeys, keysOf(fields)) << json[k];
        EXPECT_EQ('"' + scenes[k] + '"', fields[0].second);
        EXPECT_EQ("20", fields[1].second);
        const double medianMs = numberOf(fields[2].second), p95Ms = numberOf(fields[3].second);
        const double fps = numberOf(fields[4].second), ratio = numberOf(fields[5].second);
        EXPECT_GT(medianMs, 0.0) << json[k];
        EXPECT_GE(p95Ms, medianMs) << json[k];
        EXPECT_NEAR(1000.0 / medianMs, fps, 0.01 * fps) << json[k];
        EXPECT_GT(ratio, 0.0) << json[k];
        if (k == 0) {
            EXPECT_EQ("1", fields[5].second) << "the empty frame is its own baseline";
        }
        // The menu, the rounds and the overlay allocate nothing once running,
        // and draw in a few dozen calls (a browser pays for each).
        EXPECT_EQ("0", fields[6].second) << json[k];
        const double draws = numberOf(fields[7].second);
        EXPECT_TRUE(k == 0 ? draws == 0.0 : draws > 0.0 && draws <= 100.0) << json[k];
    }

    // Line k names the metric (and the level, unless "") and a positive value.
    const auto expectMetric = [&json](std::size_t k, const std::string& name, const std::string& level) {
        const Fields fields = fieldsOf(json[k]);
        const std::vector<std::string> keys = level.empty() ? std::vector<std::string>{"metric", "value"}
                                                            : std::vector<std::string>{"metric", "level", "value"};
        ASSERT_EQ(keys, keysOf(fields)) << json[k];
        EXPECT_EQ('"' + name + '"', fields[0].second);
        if (!level.empty()) {
            EXPECT_EQ('"' + level + '"', fields[1].second);
        }
        EXPECT_GT(numberOf(fields.back().second), 0.0) << json[k];
    };
    std::size_t k = scenes.size();
    expectMetric(k++, "startup_ms", "");
    for (const std::string& level : levels)
        expectMetric(k++, "load_ms", level);
    expectMetric(k, "peak_rss_mb", "");
}

TEST(Bench, RefusesBadArgumentsBeforeStarting)
{
    ScopedWorkDir dir;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--frames", "0"}, {"--frames", "12x"}, {"--only", "level:lvl9.txt"}, {"--fast"}})
        EXPECT_EQ(2, runBench(arguments, dir.path() / "table.txt")) << arguments.front();
}

} // namespace
