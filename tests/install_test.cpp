// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The game as a player's system has it: installed into a temporary prefix
// whose path holds a blank, started through the installed launcher under the
// test's X server with a temporary XDG_DATA_HOME, and built as a Debian package.

#include "program.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path buildDirectory = KERBOLT_BINARY_DIR;

// A path as one word for the shell.
std::string quoted(const fs::path& path)
{
    std::string word = "'";
    for (const char c : path.string())
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

// Runs a shell command line and answers its exit status; both its streams go to `output`.
int runCommand(const std::string& command, const fs::path& output)
{
    const int status = std::system((command + " > " + quoted(output) + " 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class InstalledGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, runCommand(quoted(KERBOLT_CMAKE_COMMAND) + " --install " + quoted(buildDirectory) + " --prefix "
                                    + quoted(prefix), "install.txt"))
            << readWholeFile("install.txt");
    }

    // Starts the installed launcher (or `launcher`), waits for the game's
    // window, closes it and expects a clean end.
    void play(const fs::path& launcher)
    {
        SCOPED_TRACE("started as " + launcher.string());
        RunningProgram game(launcher.string(), dir.path(),
                            {{"XDG_DATA_HOME", dataHome.string()}, {"SDL_AUDIODRIVER", "dummy"}});
        const unsigned long window = xwindows::waitForWindow(game.pid(), "Quenor", 30s);
        ASSERT_NE(0u, window) << game.standardError();
        xwindows::requestClose(window);
        EXPECT_EQ(0, game.waitForExit(30s));
        EXPECT_EQ("", game.standardError());
    }

    ScopedWorkDir dir;
    const fs::path prefix = dir.path() / "usr with blank";
    const fs::path launcher = prefix / "games/kerbolt";
    const fs::path shipped = prefix / "share/games/kerbolt/resources";
    const fs::path dataHome = dir.path() / "data home";
    const fs::path mine = dataHome / "kerbolt/resources";
};

TEST_F(InstalledGame, TheLauncherKeepsThePlayersFilesAndLinksEveryShippedEntry)
{
    auto installed = treeSnapshot(prefix);
    // Two first starts at once on a fresh folder, 20 times; the games end at once for want of a display.
    const std::map<std::string, std::string> noDisplay{
        {"XDG_DATA_HOME", dataHome.string()}, {"DISPLAY", ""}, {"SDL_VIDEODRIVER", "x11"}};
    fs::create_directories(dir.path() / "second");
    for (int pair = 0; pair < 20; ++pair) {
        fs::remove_all(dataHome);
        RunningProgram first(launcher.string(), dir.path(), noDisplay);
        RunningProgram second(launcher.string(), dir.path() / "second", noDisplay);
        for (RunningProgram* launch : {&first, &second}) // the game's line, none of the launcher
            EXPECT_TRUE(launch->waitForExit(20s) == 1 && launch->standardError().rfind("Error: src/window: ", 0) == 0)
                << launch->standardError();
    }
    play(launcher);
    EXPECT_EQ(installed, treeSnapshot(prefix)) << "the game wrote into the installed tree";
    EXPECT_EQ(readWholeFile(shipped / "savegame.default"), readWholeFile(mine / "savegame"));
    for (const char* own : {"savegame", "config.cfg"})
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(mine / own))) << own;
    EXPECT_EQ(shipped / "textures", fs::read_symlink(mine / "textures"));

    // The player has won medals and changed the window; an update then ships
    // a new file and removes one that an earlier version linked.
    const std::string medals = "3 2 0 0 0 0 0 ";
    dir.writeFile("data home/kerbolt/resources/savegame", medals);
    dir.writeFile("data home/kerbolt/resources/config.cfg", configText());
    dir.writeFile("usr with blank/share/games/kerbolt/resources/news.txt", "shipped later");
    fs::create_symlink(shipped / "gone.txt", mine / "gone.txt");
    // Started through a link elsewhere, as a menu might.
    fs::create_directories(dir.path() / "elsewhere");
    fs::create_symlink(launcher, dir.path() / "elsewhere/kerbolt");
    installed = treeSnapshot(prefix);

    play(dir.path() / "elsewhere/kerbolt");
    EXPECT_EQ(installed, treeSnapshot(prefix)) << "the game wrote into the installed tree";
    EXPECT_EQ(medals, readWholeFile(mine / "savegame"));
    EXPECT_EQ(configText(), readWholeFile(mine / "config.cfg"));
    EXPECT_EQ("shipped later", readWholeFile(mine / "news.txt"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(mine / "gone.txt")));
}

TEST_F(InstalledGame, AGameFolderThatCannotBeMadeEndsTheLauncherWithItsName)
{
    dir.writeFile("data home", "a file where the folder should be");
    RunningProgram launch(launcher.string(), dir.path(), {{"XDG_DATA_HOME", dataHome.string()}});
    EXPECT_EQ(1, launch.waitForExit(20s));
    EXPECT_NE(std::string::npos, launch.standardError().find("'" + mine.string() + "'")) << launch.standardError();
}

// (lintian judges the packaged entry and man page: CTest package_lintian.)
TEST_F(InstalledGame, TheDesktopEntryNamesTheLauncherByItsFullPathQuotedForTheBlank)
{
    const fs::path entry = prefix / "share/applications/org.example.kerbolt.desktop";
    EXPECT_NE(std::string::npos, readWholeFile(entry).find("\nExec=\"" + launcher.string() + "\"\n"));
}

// The package that the CTest fixture kerbolt_package built from the shipped
// tree (lintian, hardening-check, appstreamcli and reuse judge it as tests of their own).
TEST(Package, TheDebianPackageHoldsTheGameAndItsRuntimeLibrariesButNoPlayersFiles)
{
    const fs::path deb = buildDirectory / "package" / ("kerbolt_" KERBOLT_VERSION "_amd64.deb");
    ASSERT_TRUE(fs::exists(deb));
    const ScopedWorkDir dir;
    const auto field = [&](const std::string& name) {
        runCommand("dpkg-deb -f " + quoted(deb) + " " + name, "field.txt");
        const std::string value = readWholeFile("field.txt");
        return value.substr(0, value.find_last_not_of('\n') + 1);
    };
    EXPECT_EQ("kerbolt", field("Package"));
    EXPECT_EQ(KERBOLT_VERSION, field("Version"));
    std::string depends = " " + field("Depends") + " "; // each name between blanks
    std::replace(depends.begin(), depends.end(), ',', ' ');
    for (const char* runtime : {"libsdl1.2debian", "libsdl-image1.2", "libsdl-mixer1.2", "libglew2.2", "libgl1",
                                "libglu1-mesa", "libc6", "libstdc++6"})
        EXPECT_NE(std::string::npos, depends.find(std::string(" ") + runtime + " ")) << runtime << " missing from: " << depends;
    EXPECT_EQ(std::string::npos, depends.find("libsdl1.2-compat")) << depends;

    runCommand("dpkg-deb -c " + quoted(deb), "contents.txt");
    const std::string contents = readWholeFile("contents.txt");
    for (const char* file : {" ./usr/share/icons/hicolor/48x48/apps/kerbolt.png\n",
                             " ./usr/share/icons/hicolor/128x128/apps/kerbolt.png\n",
                             " ./usr/share/icons/hicolor/256x256/apps/kerbolt.png\n",
                             " ./usr/share/games/kerbolt/resources/config.cfg\n",
                             " ./usr/share/games/kerbolt/resources/savegame.default\n",
                             " ./usr/share/games/kerbolt/resources/textures/gui.png\n"})
        EXPECT_NE(std::string::npos, contents.find(file)) << file << " missing from:\n" << contents;
    // A developer's savegame and the game's temporary one are never shipped.
    for (const char* unshipped : {"/resources/savegame\n", "/resources/savegame.new\n"})
        EXPECT_EQ(std::string::npos, contents.find(unshipped)) << unshipped;
}

} // namespace
