// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What needs neither window nor mixer: the token reader every text file
// goes through, the timer on a scripted clock, the
// resource manager's sharing and fallbacks, and the savegame (reading every
// entry, merging a won medal, and a write that never leaves a torn file).

#include "engine/timer.h"
#include "engine/tokenreader.h"
#include "resources/resourcemanager.h"
#include "world/savegame.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::string_literals;

// Reads `text` with one call per letter of `calls` (i: readInt, f: readFloat,
// s: readString, l: readLine, n: lastNumberFound) and lists the answers,
// strings in brackets, then whether the reader is at the end.
std::string readBack(const std::string& text, const std::string& calls)
{
    ScopedWorkDir dir;
    dir.writeFile("input.txt", text);
    TokenReader reader("input.txt");
    std::string answers;
    for (const char call : calls) {
        char number[32] = "";
        if (call == 'i')
            answers += std::to_string(reader.readInt());
        else if (call == 'f')
            std::snprintf(number, sizeof number, "%g", static_cast<double>(reader.readFloat()));
        else if (call == 's' || call == 'l')
            answers += '[' + (call == 's' ? reader.readString() : reader.readLine()) + ']';
        else
            answers += reader.lastNumberFound() ? "yes" : "no";
        answers += number + " "s;
    }
    return answers + (reader.atEnd() ? "end" : "more");
}

TEST(TokenReader, ReadsEachKindOfToken)
{
    const std::string cases[][3] = {
        // Signs, and a number stops at the first character that cannot continue it.
        {"  -12\n+7 -0 42px 007", "iiiisi", "-12 7 0 42 [px] 7 end"},
        // Without digits: 0, and only the white space is consumed (the sign too stays).
        {"   word -x +", "isisis", "0 [word] 0 [-x] 0 [+] end"},
        // Long digit strings wrap through unsigned arithmetic instead of overflowing.
        {"2147483647 2147483648 -2147483648 4294967297 99999999999999999999", "iiiii",
         "2147483647 -2147483648 -2147483648 1 1661992959 end"},
        // An exponent without digits is not part of the number.
        {"1.5 -2.25e2 .5 5. +3E-1 1e 7e+x 0.15,", "ffffffsfsfs", "1.5 -225 0.5 5 0.3 1 [e] 7 [e+x] 0.15 [,] end"},
        {" .x nan 1e999 -1e999 1e-999", "fsfsfff", "0 [.x] 0 [nan] inf -inf 0 end"},
        // Only the six white-space characters separate strings.
        {"a\tb\vc\rd\ne\ff g\x01h\0i "s, "ssssssss", "[a] [b] [c] [d] [e] [f] [g\x01h\0i] [] end"s},
        {"first\r\nsecond\rthird\n\n  indented\n\r last", "llllllll",
         "[first] [second] [third] [] [  indented] [] [ last] [] end"},
        {"", "nifs", "no 0 0 [] end"},
    };
    for (const auto& [text, calls, answers] : cases)
        EXPECT_EQ(answers, readBack(text, calls)) << text;
}

// The timer on a clock that answers scripted readings in turn: start reads it
// twice (window start, last ticks), each update twice more, restartFrame once.
// After each step the delta and the frames per second are as the row says.
TEST(Timer, DeltasRunFromThePreviousFramesEndAndTheFpsCountWholeWindows)
{
    struct Step {
        bool restart; // restartFrame instead of update
        uint32_t delta, fps;
    };
    const struct { const char* what; std::vector<uint32_t> readings; std::vector<Step> steps; } cases[] = {
        {"across the counter's wrap", {0xFFFFFF00u, 0xFFFFFFF0u, 0x10u, 0x15u, 0x25u, 0x26u},
         {{false, 0x20, 0}, {false, 0x10, 0}}},
        // 1000 ms keep the window open; the next begins at 1001.
        {"fps from a window of more than 1000 ms", {0, 0, 400, 400, 1000, 1000, 1001, 1001, 1500, 1500, 2002, 2002},
         {{false, 400, 0}, {false, 600, 0}, {false, 1, 3}, {false, 499, 3}, {false, 502, 2}}},
        // The frame already measured keeps its delta, the time before the
        // restart does not count; had the restart opened a new window, it would
        // still be open at 1100; had it counted as a frame, the count would be 4.
        {"a restarted frame", {0, 0, 400, 400, 900, 916, 916, 1100, 1100},
         {{false, 400, 0}, {true, 400, 0}, {false, 16, 0}, {false, 184, 3}}},
    };
    for (const auto& [what, readings, steps] : cases) {
        SCOPED_TRACE(what);
        std::size_t taken = 0;
        Timer& timer = Timer::getInstance();
        timer.setTickSource([&taken, &readings = readings] {
            EXPECT_LT(taken, readings.size()) << "the timer read the clock more often than scripted";
            return readings[std::min(taken++, readings.size() - 1)];
        });
        timer.start();
        EXPECT_EQ(0u, timer.getDelta());
        for (std::size_t i = 0; i < steps.size(); ++i) {
            steps[i].restart ? timer.restartFrame() : static_cast<void>(timer.update());
            EXPECT_EQ(steps[i].delta, timer.getDelta()) << "step " << i;
            EXPECT_EQ(steps[i].fps, timer.getFps()) << "step " << i;
        }
        EXPECT_EQ(readings.size(), taken);
        SingletonSlot<Timer>::destroy();
    }
}

// What the test resources did, in order: "load x", "unload x".
std::vector<std::string> journal;

// A resource with a default file: names starting with "missing" cannot load.
class FileResource : public Resource {
public:
    static constexpr const char* qualifiedName = "file.FileResource";
    static inline std::string defaultFile = "default.res";

    void loadFile(const std::string& fileName) override
    {
        name = fileName;
        if (fileName.rfind("missing", 0) == 0)
            throw UnloadableResourceException("src/file: Cannot load Resource " + fileName);
        journal.push_back("load " + fileName);
    }
    void loadDefault() override { loadFile(defaultFile); }
    void freeData() override { journal.push_back("unload " + name); }
};

using Names = std::vector<std::string>;

class ResourceManagerTest : public ::testing::Test {
protected:
    void SetUp() override { journal.clear(); }
    void TearDown() override
    {
        FileResource::defaultFile = "default.res";
        SingletonSlot<ResourceManager>::destroy();
    }

    ResourceManager& manager = ResourceManager::getInstance();
};

TEST_F(ResourceManagerTest, SameClassAndNameShareOneObjectUntilTheLastReleaseAndMissingFilesFallBack)
{
    FileResource* first = manager.getResource<FileResource>("a.res");
    FileResource* second = manager.getResource<FileResource>("a.res");
    EXPECT_EQ(first, second); // (another class of the same name is another object: an image and its texture)
    EXPECT_EQ("\nResourceManager: 1 active Resources\n\t2 file.FileResource a.res\n",
              capturedStdout([&] { manager.print(); }));
    FileResource outside;
    manager.releaseResource(nullptr); // neither is in the table: nothing changes
    manager.releaseResource(&outside);
    manager.releaseResource(first);
    EXPECT_EQ(1, second->getRefCount());
    EXPECT_EQ((Names{"load a.res"}), journal);

    manager.releaseResource(second);
    manager.releaseResource(manager.getResource<FileResource>("a.res"));
    EXPECT_EQ((Names{"load a.res", "unload a.res", "load a.res", "unload a.res"}), journal);
    EXPECT_EQ(0u, manager.getResourceCount());

    // A missing file falls back to the default; a failed default keeps one hold.
    FileResource *fellBack = nullptr, *again = nullptr;
    EXPECT_EQ("src/file: Cannot load Resource missing.res\nLoading standardfile instead...\n"
              "src/file: Cannot load Resource missing.res\nLoading standardfile instead...\n",
              capturedStdout([&] {
                  fellBack = manager.getResource<FileResource>("missing.res");
                  again = manager.getResource<FileResource>("missing.res");
              }));
    EXPECT_EQ("default.res", fellBack->getName());
    EXPECT_NE(fellBack, again); // the fallen-back resource no longer answers to the missing name
    EXPECT_EQ(1, fellBack->getRefCount());
    manager.releaseResource(fellBack);
    manager.releaseResource(again);

    FileResource::defaultFile = "missing-default.res";
    capturedStdout(
        [&] { EXPECT_THROW(manager.getResource<FileResource>("missing.res"), UnloadableResourceException); });
    ASSERT_EQ(1u, manager.getResourceCount());
    EXPECT_EQ(1, manager.getResourceAt(0).getRefCount());
    EXPECT_EQ("missing-default.res", manager.getResourceAt(0).getName());
}

using Entries = std::vector<int32_t>;
constexpr const char* openError = "Cannot open or create file 'resources/savegame'";

TEST(Savegame, ReadsEveryEntrySkipsWordsInPlaceNamesAFileItCannotOpenAndAWonMedalOnlyImprovesItsLevel)
{
    const struct { std::string text; Entries expected; } cases[] = {
        {"0 0 0 0 0 0 0 ", {0, 0, 0, 0, 0, 0, 0}}, {"0 0 0 0 0 0 0\n", {0, 0, 0, 0, 0, 0, 0}}, {"3 2 1", {3, 2, 1}},
        {"3 2 1 \n", {3, 2, 1, 0}}, // more than one blank after the last number reads one more 0
        {"", {}}, {"+7\t-1\r\n5 ", {7, -1, 5}}, {"4294967299 ", {3}}, {"3 x 2 0 0 0 0", {3, 0, 2, 0, 0, 0, 0}},
        {"-", {0}}, {"1 - 2 ", {1, 0, 2}}, {"12abc 5 ", {12, 0, 5}},
        // A word reads as a number in its place would: ended by one blank, or by the end.
        {"3x", {3, 0}}, {"3xy", {3, 0}}, {"x", {0}}, {"x ", {0}}, {"x  ", {0, 0}}, {"3  ", {3, 0}},
    };
    for (const auto& c : cases) {
        ScopedWorkDir dir;
        dir.writeFile(Savegame::fileName, c.text);
        EXPECT_EQ(c.expected, Savegame::read()) << '"' << c.text << '"';
    }
    ScopedWorkDir dir;
    std::filesystem::create_directory("resources");
    EXPECT_EQ(openError, thrownMessage([] { Savegame::read(); })) << "missing";
    EXPECT_EQ(openError, thrownMessage([] { Savegame::saveMedal("resources/lvls/lvl1.txt", GAME_STATE::GOLD); }));
    std::filesystem::create_directories(Savegame::fileName);
    EXPECT_EQ(openError, thrownMessage([] { Savegame::read(); })) << "a directory";

    // A won medal only ever improves its own level.
    const struct { const char *before, *levelFile; GAME_STATE medal; const char* after; } medals[] = {
        {"0 0 0 0 0 0 0 ", "resources/lvls/lvl2.txt", GAME_STATE::GOLD, "0 3 0 0 0 0 0 "},
        {"3 0 0 0 0 0 0 ", "resources/lvls/lvl1.txt", GAME_STATE::BRONZE, "3 0 0 0 0 0 0 "},
        {"1 0 0 0 0 0 0 ", "resources/lvls/lvl1.txt", GAME_STATE::SILVER, "2 0 0 0 0 0 0 "},
        {"0 0 0 0 0 0 0 ", "resources/lvls/lvlSpecial.txt", GAME_STATE::SILVER, "0 0 0 2 0 0 0 "},
        {"0 0 0 0 0 0 0 ", "Special Level", GAME_STATE::SILVER, "0 0 0 0 0 0 0 "},
        {"0 0 0 0 0 0 0 ", "resources/lvls/lvl3b.txt", GAME_STATE::BRONZE, "0 0 0 0 0 0 1 "},
        {"7 0 0 0 0 0 0 ", "resources/lvls/lvl1.txt", GAME_STATE::GOLD, "7 0 0 0 0 0 0 "},
        {"-4 0 0 0 0 0 0 ", "resources/lvls/lvl1.txt", GAME_STATE::BRONZE, "1 0 0 0 0 0 0 "},
        // Fewer entries count as 0; more are dropped; a word keeps its neighbours in place.
        {"1 2", "resources/lvls/lvl3.txt", GAME_STATE::BRONZE, "1 2 1 0 0 0 0 "},
        {"0 0 0 0 0 0 0 0 9 9 9 9 9 9 9 9 9 9 9", "resources/lvls/lvl1.txt", GAME_STATE::GOLD, "3 0 0 0 0 0 0 "},
        {"3 x 2 0 0 0 0", "resources/lvls/lvl1b.txt", GAME_STATE::GOLD, "3 0 2 0 3 0 0 "},
    };
    for (const auto& c : medals) {
        ScopedWorkDir dir;
        dir.writeFile(Savegame::fileName, c.before);
        EXPECT_TRUE(Savegame::saveMedal(c.levelFile, c.medal));
        EXPECT_EQ(c.after, readWholeFile(Savegame::fileName)) << c.before << " + " << c.levelFile;
        EXPECT_FALSE(std::filesystem::exists(Savegame::temporaryFileName));
    }
}

// A write cut short (a full disk, an obstacle where the temporary or the
// lock file goes, a process killed between writing and renaming) keeps the
// old savegame byte for byte. The leftover of a killed process is read by
// nobody and the next save replaces it, as it replaces a link planted there.
TEST(Savegame, AWriteCutShortKeepsTheOldFileByteForByte)
{
    const std::string old = "0 2 0 0 1 0 0 \n# edited by hand\n";
    ScopedWorkDir dir;
    dir.writeFile(Savegame::fileName, old);
    // saveMedal in a child whose files may not grow beyond five bytes, as on a
    // full disk; then one killed as soon as its new contents are on the disk.
    const std::string newer = Savegame::format(Savegame::mergeMedal(Savegame::read(), "resources/lvls/lvl1.txt",
                                                                    GAME_STATE::GOLD));
    for (const bool killed : {false, true}) {
        const pid_t child = fork();
        if (child == 0 && !killed) {
            const rlimit small{5, 5};
            setrlimit(RLIMIT_FSIZE, &small);
            _exit(Savegame::saveMedal("resources/lvls/lvl1.txt", GAME_STATE::GOLD) ? 0 : 1);
        }
        if (child == 0) {
            if (Savegame::writeTemporaryFile(newer) == nullptr)
                std::raise(SIGKILL);
            _exit(1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(killed ? WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL
                           : WIFEXITED(status) && WEXITSTATUS(status) == 1)
            << "refused, not saved and no crash: " << status;
        EXPECT_EQ(old, readWholeFile(Savegame::fileName));
        EXPECT_EQ(killed ? newer : "", readWholeFile(Savegame::temporaryFileName));
    }
    EXPECT_EQ(0, Savegame::read().at(0)) << "the leftover is read by nobody";
    EXPECT_TRUE(Savegame::saveMedal("resources/lvls/lvl3.txt", GAME_STATE::BRONZE));
    EXPECT_EQ("0 2 1 0 1 0 0 ", readWholeFile(Savegame::fileName));
    EXPECT_FALSE(std::filesystem::exists(Savegame::temporaryFileName));
    // A link planted at the temporary name: its target stays as it was.
    dir.writeFile("victim", "not the savegame\n");
    std::filesystem::create_symlink(std::filesystem::absolute("victim"), Savegame::temporaryFileName);
    EXPECT_TRUE(Savegame::saveMedal("resources/lvls/lvl3.txt", GAME_STATE::SILVER));
    EXPECT_EQ("not the savegame\n", readWholeFile("victim"));
    EXPECT_EQ("0 2 2 0 1 0 0 ", readWholeFile(Savegame::fileName));
    EXPECT_FALSE(std::filesystem::is_symlink(Savegame::fileName) ||
                 std::filesystem::exists(std::filesystem::symlink_status(Savegame::temporaryFileName)));

    dir.writeFile(Savegame::fileName, old);
    // An obstacle where the temporary file or the lock file goes.
    for (const auto& [obstacle, step] : {std::pair{Savegame::temporaryFileName, "create"},
                                         std::pair{Savegame::lockFileName, "lock"}}) {
        std::filesystem::remove(obstacle);
        std::filesystem::create_directory(obstacle);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(Savegame::saveMedal("resources/lvls/lvl1.txt", GAME_STATE::GOLD));
        const std::string complaint = testing::internal::GetCapturedStderr();
        EXPECT_EQ(old, readWholeFile(Savegame::fileName));
        EXPECT_TRUE(std::filesystem::is_directory(obstacle)) << "the obstacle is not removed";
        const std::string says = std::string("Could not save 'resources/savegame' (") + step + " of '" + obstacle;
        EXPECT_NE(std::string::npos, complaint.find(says + "' failed: ")) << complaint;
        EXPECT_EQ(1, std::count(complaint.begin(), complaint.end(), '\n')) << complaint;
    }
}

// Each save answers true, both medals are kept, and a reader meanwhile never meets a short file.
TEST(Savegame, TwoGamesSavingAtOnceBothKeepTheirMedals)
{
    ScopedWorkDir dir;
    for (int round = 0; round < 100; ++round) {
        dir.writeFile(Savegame::fileName, "0 0 0 0 0 0 0 ");
        std::vector<pid_t> games;
        for (const char* levelFile : {"resources/lvls/lvl1.txt", "resources/lvls/lvl2.txt"})
            if (games.push_back(fork()); games.back() == 0)
                _exit(Savegame::saveMedal(levelFile, GAME_STATE::GOLD) ? 0 : 1);
        for (int status = 0; !games.empty();) {
            ASSERT_EQ(7u, Savegame::read().size()) << "a reader met a short savegame";
            if (waitpid(games.back(), &status, WNOHANG) == games.back()) {
                ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save answered false";
                games.pop_back();
            }
        }
        ASSERT_EQ("3 3 0 0 0 0 0 ", readWholeFile(Savegame::fileName)) << "round " << round;
    }
}

} // namespace
