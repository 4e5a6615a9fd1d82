// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "world/savegame.h"

#include "engine/tokenreader.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <stdio.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace Savegame {

namespace {

// The game writes each entry followed by one blank: exactly one white space
// character left after an entry ends the file.
bool onlyOneBlankLeft(const TokenReader& reader)
{
    return reader.getSize() - reader.getPosition() == 1 && TokenReader::isWhiteSpace(reader.peek());
}

} // namespace

std::vector<int32_t> read(const std::string& file)
{
    TokenReader reader(file);
    return read(reader);
}

std::vector<int32_t> read(TokenReader& reader)
{
    std::vector<int32_t> entries;
    while (!reader.atEnd()) {
        const int32_t value = reader.readInt();
        // A word that is not a number (a lone sign too), or white space up to
        // the end, reads as a number in its place would, with the value 0.
        // Skipping the word always moves on, so the loop ends.
        const bool number = reader.lastNumberFound();
        entries.push_back(number ? value : 0);
        if (!number)
            reader.readString();
        if (onlyOneBlankLeft(reader))
            break;
    }
    return entries;
}

std::array<int32_t, levels.size()> mergeMedal(const std::vector<int32_t>& entries, const std::string& levelFile,
                                             GAME_STATE medal)
{
    const auto medalValue = static_cast<int32_t>(medal);
    std::array<int32_t, levels.size()> merged{};
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const int32_t entry = i < entries.size() ? entries[i] : 0;
        merged[i] = entry < medalValue && levelFile == levels[i].levelFile ? medalValue : entry;
    }
    return merged;
}

std::string format(const std::array<int32_t, levels.size()>& entries)
{
    std::string text;
    for (const int32_t entry : entries)
        text += std::to_string(entry) + ' ';
    return text;
}

namespace {

// Writes all of text to fd; false with errno set when the system refuses.
bool writeAll(int fd, const std::string& text)
{
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// A file-size limit must make the write fail, not end the game.
class IgnoredFileSizeSignal {
public:
    IgnoredFileSizeSignal() { previous = std::signal(SIGXFSZ, SIG_IGN); }
    ~IgnoredFileSizeSignal() { std::signal(SIGXFSZ, previous); }
    IgnoredFileSizeSignal(const IgnoredFileSizeSignal&) = delete;
    IgnoredFileSizeSignal& operator=(const IgnoredFileSizeSignal&) = delete;

private:
    void (*previous)(int) = SIG_DFL;
};

// Removes the temporary file after a failed step, keeping that step's errno.
void removeTemporaryFile()
{
    const int reason = errno;
    ::unlink(temporaryFileName);
    errno = reason;
}

// A save's turn: the exclusive lock on the lock file, taken within a few
// seconds or not at all, and given back when the object goes. Another game
// holds it for the milliseconds of its own save; one that keeps it longer (a
// game stopped in a debugger) must not freeze this one, so the wait is
// bounded and a lock not taken is a failed save.
class SaveLock {
public:
    SaveLock();
    ~SaveLock()
    {
        if (fd >= 0)
            ::close(fd); // closing gives the lock back
    }
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

    // False with errno set when the lock file cannot be opened or stays locked.
    bool held() const { return fd >= 0; }

private:
    int fd = -1;
};

SaveLock::SaveLock()
{
    constexpr auto patience = std::chrono::seconds(5);
    constexpr auto retryAfter = std::chrono::milliseconds(2);
    // Never through a link planted at that name, as for the temporary file.
    const int file = ::open(lockFileName, O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (file < 0)
        return;
    const auto giveUpAt = std::chrono::steady_clock::now() + patience;
    while (::flock(file, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK || errno == EINTR;
        if (!busy || std::chrono::steady_clock::now() >= giveUpAt) {
            const int reason = busy ? EWOULDBLOCK : errno;
            ::close(file);
            errno = reason;
            return;
        }
        std::this_thread::sleep_for(retryAfter);
    }
    fd = file;
}

// One line on standard error for a save that failed at `step` of `file`.
bool saveFailed(const char* step, const char* file)
{
    std::cerr << "src/savegame: Could not save '" << fileName << "' (" << step << " of '" << file
              << "' failed: " << std::strerror(errno) << "); the old savegame is kept." << std::endl;
    return false;
}

// The rename lives in the folder's entries: until they reach the disk, a
// power cut can bring back the old savegame. Some file systems cannot sync a
// folder; the savegame is renamed all the same, so that is not a failure.
void syncFolder()
{
    const std::string folder = std::string(fileName).substr(0, std::string(fileName).rfind('/'));
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

const char* writeTemporaryFile(const std::string& text)
{
    // A save killed before its rename leaves the file behind. The new one is
    // created afresh and never through a link planted at its name, which
    // would have the link's target overwritten.
    ::unlink(temporaryFileName);
    const int fd = ::open(temporaryFileName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return "create";
    const char* failedStep = nullptr;
    if (!writeAll(fd, text))
        failedStep = "write";
    else if (::fsync(fd) != 0)
        failedStep = "sync";
    // A failed write or sync is the error to name, not what close says after it.
    const int reason = errno;
    if (::close(fd) != 0 && !failedStep)
        return "close";
    errno = reason;
    return failedStep;
}

const char* renameTemporaryFile()
{
    if (std::rename(temporaryFileName, fileName) != 0)
        return "rename";
    syncFolder();
    return nullptr;
}

bool saveMedal(const std::string& levelFile, GAME_STATE medal)
{
    const IgnoredFileSizeSignal noSignal;
    // From the read to the rename: another game's save either comes before
    // all of this one or after it.
    const SaveLock lock;
    if (!lock.held())
        return saveFailed("lock", lockFileName);
    const std::string text = format(mergeMedal(read(fileName), levelFile, medal));
    const char* failedStep = writeTemporaryFile(text);
    if (!failedStep)
        failedStep = renameTemporaryFile();
    if (failedStep) {
        removeTemporaryFile();
        return saveFailed(failedStep, temporaryFileName);
    }
    return true;
}

} // namespace Savegame
