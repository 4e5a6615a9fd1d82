// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>

// A fresh temporary directory that is the working directory while the object
// lives. The game opens everything relative to the working directory, so a
// test writes its own resources/ here. The previous working directory comes
// back and the directory is removed afterwards.
class ScopedWorkDir {
public:
    ScopedWorkDir();
    ~ScopedWorkDir();
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

    const std::filesystem::path& path() const { return directory; }
    // Writes a file below the directory, creating its folders.
    void writeFile(const std::string& relativePath, const std::string& contents) const;

private:
    std::filesystem::path directory;
    std::filesystem::path previous;
};

// A 16-bit WAV file (mono 22050 Hz unless told otherwise): the 44-byte
// header, then `frames` frames of a ramp.
std::string wavFile(uint32_t frames, uint32_t rate = 22050, uint16_t channels = 1);

std::string readWholeFile(const std::filesystem::path& file);

// Every entry below `root` (by relative path) with its kind, size and
// modification time: equal snapshots mean nothing was written there.
std::map<std::string, std::string> treeSnapshot(const std::filesystem::path& root);

// Copies the shipped resources tree below `from` (a resources/ folder) to
// `to`, over any files of the same names there, without a savegame left there
// by playing, and writes `savegame` as the copy's savegame. The shipped tree is only read.
void copyResources(const std::filesystem::path& from, const std::filesystem::path& to, const std::string& savegame);

// What `action` printed to standard output; the capture ends even when it throws.
std::string capturedStdout(const std::function<void()>& action);

// The message of the exception `action` throws, or "" when it throws none.
std::string thrownMessage(const std::function<void()>& action);

// The text of a configuration file with all eight keys (a 640 by 480 window
// and renderer, windowed, 44100 Hz stereo, chunk size 1024), with the given
// values replaced and the given keys left out.
std::string configText(const std::map<std::string, int>& overrides = {}, const std::set<std::string>& omitted = {});
