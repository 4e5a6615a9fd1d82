// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The savegame: reading every entry, merging a won medal, and a write that
// never leaves a torn file behind.

#include "world/savegame.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Entries = std::vector<int32_t>;
constexpr const char* openError = "Cannot open or create file 'resources/savegame'";

TEST(Savegame, ReadsEveryEntrySkipsWordsInPlaceNamesAFileItCannotOpenAndAWonMedalOnlyImprovesItsLevel)
{
    std::string huge;
    for (int i = 0; i < 100000; ++i)
        huge += std::to_string(i % 4) + ' ';
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
    dir.writeFile(Savegame::fileName, huge);
    const Entries many = Savegame::read();
    EXPECT_TRUE(many.size() == 100000 && many.back() == 3) << many.size() << " entries read";

    std::filesystem::remove(Savegame::fileName);
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

TEST(Savegame, AFailedWriteKeepsTheOldFileByteForByte)
{
    const std::string old = "0 2 0 0 1 0 0 \n# edited by hand\n";
    ScopedWorkDir dir;
    dir.writeFile(Savegame::fileName, old);
    // saveMedal in a child whose files may not grow beyond five bytes, as on a full disk.
    const pid_t child = fork();
    if (child == 0) {
        const rlimit small{5, 5};
        setrlimit(RLIMIT_FSIZE, &small);
        _exit(Savegame::saveMedal("resources/lvls/lvl1.txt", GAME_STATE::GOLD) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "refused, not saved and no crash: " << status;
    EXPECT_EQ(old, readWholeFile(Savegame::fileName));
    EXPECT_FALSE(std::filesystem::exists(Savegame::temporaryFileName));

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
