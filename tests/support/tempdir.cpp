// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

ScopedWorkDir::ScopedWorkDir() : previous(fs::current_path())
{
    std::string pattern = (fs::temp_directory_path() / "kerbolt-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary directory");
    directory = pattern;
    fs::current_path(directory);
}

ScopedWorkDir::~ScopedWorkDir()
{
    std::error_code ignored;
    fs::current_path(previous, ignored);
    fs::remove_all(directory, ignored);
}

void ScopedWorkDir::writeFile(const std::string& relativePath, const std::string& contents) const
{
    const fs::path file = directory / relativePath;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << contents;
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

std::string wavFile(uint32_t frames, uint32_t rate, uint16_t channels)
{
    std::string bytes;
    auto put = [&bytes](const char* tag, uint32_t value, int size) {
        bytes += tag;
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>(value >> 8 * i);
    };
    const uint32_t samples = frames * channels;
    put("RIFF", 36 + 2 * samples, 4);
    put("WAVEfmt ", 16, 4);
    for (auto [value, size] : {std::pair{1u, 2}, {uint32_t{channels}, 2}, {rate, 4}, {rate * channels * 2u, 4},
                               {channels * 2u, 2}, {16u, 2}})
        put("", value, size); // PCM, channels, rate, bytes a second, bytes a frame, bits a sample
    put("data", 2 * samples, 4);
    for (uint32_t i = 0; i < samples; ++i)
        put("", i * 300, 2);
    return bytes;
}

void copyResources(const fs::path& from, const fs::path& to, const std::string& savegame)
{
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    fs::remove(to / "savegame.new");
    std::ofstream out(to / "savegame", std::ios::binary | std::ios::trunc);
    out << savegame;
    if (!out)
        throw std::runtime_error("cannot write the savegame in " + to.string());
}

std::string readWholeFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

std::map<std::string, std::string> treeSnapshot(const fs::path& root)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const auto status = entry.symlink_status();
        std::ostringstream facts;
        facts << static_cast<int>(status.type()) << ' ' << (fs::is_regular_file(status) ? entry.file_size() : 0)
              << ' ' << fs::last_write_time(entry.path()).time_since_epoch().count();
        entries[fs::relative(entry.path(), root).string()] = facts.str();
    }
    return entries;
}

std::string configText(const std::map<std::string, int>& overrides, const std::set<std::string>& omitted)
{
    std::map<std::string, int> values = {
        {"window_width", 640}, {"window_height", 480},      {"renderer_width", 640}, {"renderer_height", 480},
        {"fullscreen", 0},     {"audio_frequency", 44100}, {"audio_channels", 2},   {"audio_chunksize", 1024},
    };
    for (const auto& [key, value] : overrides)
        values[key] = value;
    std::ostringstream text;
    for (const auto& [key, value] : values)
        if (!omitted.count(key))
            text << key << ' ' << value << '\n';
    return text.str();
}

std::string capturedStdout(const std::function<void()>& action)
{
    ::testing::internal::CaptureStdout();
    try {
        action();
    } catch (...) {
        ::testing::internal::GetCapturedStdout();
        throw;
    }
    return ::testing::internal::GetCapturedStdout();
}

std::string thrownMessage(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "";
}
