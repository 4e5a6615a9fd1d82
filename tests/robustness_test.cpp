// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Bad input and faults that the other test programs leave out: grey
// pictures, damaged sounds and levels in-process, and configurations and
// missing devices through the real executable.
// docs/robustness.md lists every case tried and the test that covers it.

#include <GL/glew.h>

#include "world/game.h"
#include "world/heightmap.h"
#include "resources/image.h"
#include "resources/resourcemanager.h"
#include "resources/sound.h"
#include "resources/surfacepixels.h"
#include "resources/texture2d.h"

#include "engineenvironment.h"
#include "glcapture.h"
#include "program.h"
#include "roundfixture.h"
#include "tempdir.h"
#include "testpicture.h"

#include <gtest/gtest.h>
#include <png.h>

#include <regex>
#include <cstdio>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string executable = KERBOLT_EXECUTABLE;
const std::string fallback = "\nLoading standardfile instead...\n";

// ---- Pictures ----------------------------------------------------------------

// A grey PNG, `depth` bits a sample, with sample(i, j) at column i, row j;
// with `keyed` the largest sample is the transparent grey value (tRNS).
void writeGreyPng(const std::string& file, int depth, bool interlaced, bool keyed, int width, int height,
                  const std::function<int(int, int)>& sample)
{
    FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(nullptr, out);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, out);
    png_set_IHDR(png, info, width, height, depth, PNG_COLOR_TYPE_GRAY,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color_16 key{};
    key.gray = static_cast<png_uint_16>((1 << depth) - 1);
    if (keyed)
        png_set_tRNS(png, info, nullptr, 0, &key);
    png_write_info(png, info);
    if (depth < 8)
        png_set_packing(png); // one sample a byte here, packed in the file
    const int bytes = depth == 16 ? 2 : 1;
    std::vector<std::vector<png_byte>> rows(static_cast<std::size_t>(height),
                                            std::vector<png_byte>(static_cast<std::size_t>(width * bytes)));
    std::vector<png_bytep> rowPointers;
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const int value = sample(i, j); // 16-bit samples are big-endian in a PNG
            rows[j][i * bytes] = static_cast<png_byte>(bytes == 2 ? value >> 8 : value);
            if (bytes == 2)
                rows[j][i * bytes + 1] = static_cast<png_byte>(value);
        }
        rowPointers.push_back(rows[j].data());
    }
    png_write_image(png, rowPointers.data()); // passes over the rows as often as the interlacing needs
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(out);
}

// Grey PNGs of every bit depth, plain and interlaced, with and without a
// transparent grey value: grey stays grey, and only the keyed value turns
// transparent, in the texture and in the surface the loaders read.
TEST(RobustPictures, GreyPngsKeepTheirGreyAndTheirTransparentValue)
{
    ScopedWorkDir dir;
    ResourceManager& manager = ResourceManager::getInstance();
    struct Row {
        int depth;
        bool interlaced, keyed;
        int width, height;
    };
    std::vector<Row> rows = {{8, false, true, 1, 1}, {16, true, false, 1, 1}};
    for (const int depth : {1, 2, 4, 8, 16})
        for (const bool interlaced : {false, true})
            for (const bool keyed : {true, false})
                rows.push_back({depth, interlaced, keyed, 3, 2});
    for (const auto& [depth, interlaced, keyed, width, height] : rows) {
        const std::string file = "grey" + std::to_string(depth) + (interlaced ? "i" : "") + (keyed ? "t" : "") +
                                 std::to_string(width) + ".png";
        SCOPED_TRACE(file);
        // White (the transparent value when keyed), two thirds and black; one bit has no middle.
        const int maximum = (1 << depth) - 1;
        const int samples[3] = {maximum, depth == 1 ? 0 : maximum * 2 / 3, 0};
        const auto sample = [&](int i, int j) { return samples[(i + 2 * j) % 3]; };
        ASSERT_NO_FATAL_FAILURE(writeGreyPng(file, depth, interlaced, keyed, width, height, sample));
        std::vector<Rgba> expected;
        for (int j = 0; j < height; ++j) {
            for (int i = 0; i < width; ++i) {
                const int s = sample(i, j);
                const auto grey = static_cast<uint8_t>(depth == 16 ? s >> 8 : s * 255 / maximum);
                expected.push_back({grey, grey, grey, static_cast<uint8_t>(keyed && s == maximum ? 0 : 255)});
            }
        }

        Held<Image> image(file);
        EXPECT_EQ(file, image->getName());
        EXPECT_EQ(keyed ? GLenum{GL_RGBA} : GLenum{GL_RGB}, image->getInternalFormat());
        for (std::size_t k = 0; k < expected.size(); ++k) { // as the height fields and fonts read it
            const Rgba8 got = colourAt(*image->getSurface(), k % width, k / width);
            EXPECT_EQ(expected[k], (Rgba{got.r, got.g, got.b, got.a})) << "pixel " << k;
        }
        image.reset();
        EXPECT_EQ(expected, textureTexels(Held<Texture2D>(file)->getId()));
    }
    EXPECT_EQ(0u, manager.getResourceCount());
}

// ---- Sounds ----------------------------------------------------------------

// The mixer plays at 44100 Hz and converts a sound's rate step by step in a
// chain it never checks; rates far off used to crash the program here.
TEST(RobustSounds, BrokenFilesFallBackToTheDefaultSound)
{
    ScopedWorkDir dir;
    dir.writeFile(Sound::defaultFile, wavFile(50));
    const std::string whole = wavFile(441);
    const auto tooFar = [](uint32_t rate) {
        return ". Its rate of " + std::to_string(static_cast<int32_t>(rate)) +
               " Hz is too far from the mixer's 44100 Hz.";
    };
    const struct { const char* file; std::string contents, problem; } rows[] = {
        {"gone.wav", "", ""},
        {"noise.wav", "RIFF but not a wave", ""},
        {"header-cut.wav", whole.substr(0, 30), ""},
        {"data-cut.wav", whole.substr(0, 144), ""},
        {"rate0.wav", wavFile(100, 0), tooFar(0)},
        {"rate1.wav", wavFile(100, 1, 2), tooFar(1)},
        {"rate2756.wav", wavFile(100, 2756), tooFar(2756)},
        {"rate705601.wav", wavFile(100, 705601, 2), tooFar(705601)},
        {"rate2147483647.wav", wavFile(100, 2147483647), tooFar(2147483647)},
        {"rate4294967295.wav", wavFile(100, 4294967295u), tooFar(4294967295u)},
    };
    const bool compat = onSdl12Compat();
    for (const auto& [file, contents, problem] : rows) {
        if (!contents.empty())
            dir.writeFile(file, contents);
        const std::string name = file;
        if (compat && name == "data-cut.wav") {
            // SDL 2's loader, under sdl12-compat, keeps the whole frames of a cut data chunk.
            const Held<Sound> own(file);
            EXPECT_TRUE(own->getName() == name && own->getChunk());
            continue;
        }
        // The game reads the rate from the header itself, so both runtimes refuse the same files.
        Held<Sound> sound;
        EXPECT_EQ("src/sound: Cannot load Resource " + name + problem + fallback,
                  capturedStdout([&] { sound = Held<Sound>(file); }));
        EXPECT_TRUE(sound->getName() == Sound::defaultFile && sound->getChunk()) << file;
    }
    // Within a factor of 16 of the mixer's rate, both ways, a sound is its own.
    for (const uint32_t rate : {2757u, 8000u, 705600u}) {
        dir.writeFile("fine.wav", wavFile(100, rate, 2));
        Held<Sound> sound;
        EXPECT_EQ("", capturedStdout([&] { sound = Held<Sound>("fine.wav"); })) << rate;
        EXPECT_TRUE(sound->getName() == "fine.wav" && sound->getChunk()) << rate;
    }
}

// ---- Levels ----------------------------------------------------------------

// The files named by the fallback messages in printed output, in order.
std::vector<std::string> fellBack(const std::string& printed)
{
    static const std::regex named("Cannot load Resource (.*?)\\. |Cannot open or create file '(.*?)'");
    std::vector<std::string> names;
    for (auto m = std::sregex_iterator(printed.begin(), printed.end(), named); m != std::sregex_iterator(); ++m)
        names.push_back((*m)[(*m)[1].matched ? 1 : 2]);
    return names;
}

// Level files and terrain descriptions naming what is not there, or sizes
// that leave no ground: each is refused by name, or plays until it ends.
// A terrain that fails to load stays in the resource table with one hold,
// as the manager keeps every failed load; every other hold goes back.
TEST(RobustLevels, DamagedLevelsAreRefusedByNameOrPlayWithoutCrashing)
{
    RoundFixture round;
    const ScopedWorkDir& dir = round.dir();
    const auto flat = [](int, int) { return HeightPixel{200}; };
    round.writeTerrain("resources/heightmaps/flat.txt", 60, 2, 10.0f, 33.0f, flat);
    round.writeTerrain("resources/heightmaps/dot.txt", 1, 1, 10.0f, 33.0f, flat);
    round.writeTerrain("resources/heightmaps/row.txt", 500, 1, 10.0f, 33.0f, flat);
    dir.writeFile("resources/heightmaps/short.txt", "resources/heightmaps/flat.txt.bmp\n"); // no scales
    // A description with the given first line (image and scales) and decoration mesh.
    const auto describe = [&](const std::string& name, const std::string& firstLine,
                              const std::string& mesh = "resources/meshes/defaultmesh.zms") {
        std::string text = firstLine + "\n";
        for (int unit = 0; unit < 4; ++unit)
            text += "resources/textures/ground.png ";
        dir.writeFile("resources/heightmaps/" + name, text + "\n1 1 1\n" + mesh + " 0.1\n");
        return "resources/heightmaps/" + name;
    };
    const std::string image = "resources/heightmaps/flat.txt.bmp", bg = " resources/textures/bg.png";
    const bool glsl = GLEW_ARB_multitexture && GLEW_ARB_shader_objects;
    const std::string unusable = "src/game: Level file 'resources/lvls/t.txt' names a terrain without usable size: '";
    const std::string noSpeed = "src/game: Level file 'resources/lvls/t.txt' gives no scroll speed";
    const std::string vertexShader = "resources/shaders/vertexshader_terrain.fx";
    const std::string fragmentShader = "resources/shaders/fragmentshader_terrain.fx";
    const std::string notCompiling =
        "src/hlslshader: HLSLShader error: There is an error in the 'Fragment' Shader Source.";
    // Each level names a terrain description and a background.
    const struct Row {
        std::string what, level;
        std::vector<std::string> fellBack;
        std::string refusal, outcome;
        std::string damagedFile = "", damagedContents = ""; // for this row only; no contents: no file
    } rows[] = {
        {"speed a word", "resources/heightmaps/flat.txt" + bg + " fast", {}, noSpeed, ""},
        {"speed beyond float", "resources/heightmaps/flat.txt" + bg + " 1e39", {}, noSpeed, ""},
        // Its four textures and its mesh, named by nothing, fall back first.
        {"description ends before its scales", "resources/heightmaps/short.txt" + bg, {"", "", "", "", ""},
         unusable + "resources/heightmaps/short.txt'", ""},
        {"missing description", "resources/heightmaps/none.txt" + bg, {},
         "Cannot open or create file 'resources/heightmaps/none.txt'", ""},
        {"missing height image", describe("noimage.txt", "resources/heightmaps/none.bmp 10 33 0.1") + bg,
         {"resources/heightmaps/none.bmp"}, "", "GOLD"},
        {"missing background", "resources/heightmaps/flat.txt resources/textures/none.png",
         {"resources/textures/none.png"}, "", "LOST"},
        {"missing decoration mesh", describe("nomesh.txt", image + " 10 33 0.1", "resources/meshes/none.zms") + bg,
         {"resources/meshes/none.zms"}, "", "LOST"},
        {"scale x 0", describe("x0.txt", image + " 0 33 0.1") + bg, {}, unusable + "resources/heightmaps/x0.txt'", ""},
        // "nan" is a word, not a number: the reads after it shift by one word.
        {"scale x nan", describe("xnan.txt", image + " nan 33 0.1") + bg,
         {"nan", "33", "0.1", "resources/textures/ground.png"}, unusable + "resources/heightmaps/xnan.txt'", ""},
        {"scale y 0", describe("y0.txt", image + " 10 0 0.1") + bg, {}, "", "LOST"},
        {"height scale 0", describe("h0.txt", image + " 10 33 0") + bg, {}, "", "LOST"},
        {"height scale nan", describe("hnan.txt", image + " 10 33 nan") + bg, {"nan", "resources/textures/ground.png"},
         unusable + "resources/heightmaps/hnan.txt'", ""},
        {"1 x 1 image", "resources/heightmaps/dot.txt" + bg, {}, "", "GOLD"},
        {"500 x 1 image", "resources/heightmaps/row.txt" + bg, {}, "", "LOST"},
        // Only the terrain's GLSL path reads the shader sources; without them it draws with one texture.
        {"missing shader", describe("noshader.txt", image + " 10 33 0.1") + bg,
         glsl ? std::vector{vertexShader} : std::vector<std::string>{}, "", "LOST", vertexShader},
        {"shader not compiling", describe("badshader.txt", image + " 10 33 0.1") + bg, {}, "", "LOST", fragmentShader,
         "void main() { gl_FragColor = ; }\n"},
    };
    ResourceManager& manager = ResourceManager::getInstance();
    const auto table = [&manager] { return capturedStdout([&manager] { manager.print(); }); };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        dir.writeFile("resources/lvls/t.txt", "A damaged level\n" + row.level + " 1\n");
        const std::string undamaged = row.damagedFile.empty() ? "" : readWholeFile(row.damagedFile);
        if (!row.damagedFile.empty())
            row.damagedContents.empty() ? (void)fs::remove(row.damagedFile)
                                        : dir.writeFile(row.damagedFile, row.damagedContents);
        const std::string before = table();
        Game game;
        std::string refusal;
        const std::string printed =
            capturedStdout([&] { refusal = thrownMessage([&] { game.start("resources/lvls/t.txt"); }); });
        EXPECT_EQ(row.fellBack, fellBack(printed));
        EXPECT_EQ(row.refusal, refusal);
        if (!row.damagedFile.empty() && glsl) {
            const std::string cause = row.damagedContents.empty() ? "Cannot open or create file '" + vertexShader + "'"
                                                                  : notCompiling;
            EXPECT_NE(std::string::npos, printed.find(cause + "\n" + Heightmap::oneTextureNotice + "\n")) << printed;
            EXPECT_TRUE(game.getTerrain() && !game.getTerrain()->getShader()) << "drawn with one texture";
        }
        std::string outcome;
        if (refusal.empty()) {
            GAME_STATE state = GAME_STATE::RUNNING;
            for (int frame = 0; frame < 600 && state == GAME_STATE::RUNNING; ++frame) {
                round.frame(16);
                state = game.update();
            }
            outcome = gameStateName(state);
        }
        EXPECT_EQ(row.outcome, outcome);
        game.stop();
        if (!refusal.empty() && refusal.rfind("src/game: ", 0) != 0) { // the terrain itself failed to load
            const Resource& failed = manager.getResourceAt(manager.getResourceCount() - 1);
            EXPECT_TRUE(failed.getName() == row.level.substr(0, row.level.find(' ')) && failed.getRefCount() == 1);
            manager.releaseResource(&failed);
        }
        EXPECT_EQ(before, table());
        if (!row.damagedFile.empty())
            dir.writeFile(row.damagedFile, undamaged);
    }
}

// ---- The real executable ---------------------------------------------------

// The configuration file's text with `key` given as `value` word for word.
std::string configWith(const std::string& key, const std::string& value)
{
    return configText({}, {key}) + key + ' ' + value + '\n';
}

// Configurations, devices and resources the game cannot start with: status
// 1 and one line on standard error. Nothing but the configuration is there,
// so a game that gets past its checks ends at its loading picture.
TEST(RobustProgram, UnusableConfigurationsAndMissingDevicesEndWithOneErrorLine)
{
    const std::string videoMode = "src/window: Could not Set Video Mode. Error in SDL_SetVideoMode().";
    const std::string mixer = "src/audio: Could not init Audio Mode. ";
    struct Row {
        std::string what, config;
        std::map<std::string, std::string> environment;
        std::string error;
    };
    std::vector<Row> rows = {
        {"no configuration", "<none>", {}, "Cannot open or create file 'resources/config.cfg'"},
        {"empty configuration", "", {}, "src/config: Configfile does not contain 'window_width'"},
        {"configuration is a directory", "<directory>", {}, "Cannot open or create file 'resources/config.cfg'"},
        {"window width wraps", configWith("window_width", "99999999999"), {}, videoMode},
        {"negative window height", configWith("window_height", "-1"), {}, videoMode},
        {"huge channel count", configWith("audio_channels", "2147483647"), {}, mixer + "Error in Mix_OpenAudio()."},
        {"huge audio rate", configWith("audio_frequency", "2147483647"), {},
         mixer + "The configured rate of 2147483647 Hz is too far from the sounds' 44100 Hz."},
        {"negative audio rate", configWith("audio_frequency", "-1"), {},
         mixer + "The configured rate of -1 Hz is too far from the sounds' 44100 Hz."},
        {"no display for X11", configText(), {{"DISPLAY", ""}, {"SDL_VIDEODRIVER", "x11"}},
         "src/window: Could not init Video Mode. Error in SDL_Init()."},
        // sdl12-compat refuses an unknown audio driver at SDL_Init already,
        // the original SDL 1.2 only when the mixer opens the device.
        {"no audio device", configText(), {{"SDL_AUDIODRIVER", "no-such-driver"}},
         mixer + "Error in " + (onSdl12Compat() ? "SDL_Init()." : "Mix_OpenAudio().")},
        {"no picture at all", configText(), {},
         "src/image: Cannot load Resource resources/textures/standardpic.png. Cannot find that file."},
    };
    // Every key is asked for: the last one the game reads missing is named.
    rows.push_back({"without audio_chunksize", configText({}, {"audio_chunksize"}), {},
                    "src/config: Configfile does not contain 'audio_chunksize'"});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ScopedWorkDir dir;
        if (row.config == "<directory>")
            fs::create_directories("resources/config.cfg");
        else if (row.config != "<none>")
            dir.writeFile("resources/config.cfg", row.config);
        expectFatalRun(executable, dir.path(), row.error, row.environment);
    }
}

// Odd values the game can live with: it opens its window, loads the main
// screen without a fallback and ends cleanly when the window is closed.
// (Terrain shaders the driver rejects are tried in-process: RobustLevels.)
TEST(RobustProgram, OddConfigurationsStartAndCloseCleanly)
{
    const std::pair<std::string, std::string> rows[] = {
        {"window_width", "800px"}, {"window_height", "2147483647"}, {"renderer_width", "0"},
        {"audio_frequency", "0"},  {"audio_channels", "0"},        {"audio_chunksize", "2147483647"},
        {"audio_chunksize", "-1"},
    };
    for (const auto& [key, value] : rows) {
        SCOPED_TRACE(key + " " + value);
        ScopedWorkDir dir;
        copyResources(fs::path(KERBOLT_SOURCE_DIR) / "resources", dir.path() / "resources", "0 0 0 0 0 0 0 ");
        dir.writeFile("resources/config.cfg", configWith(key, value));
        RunningProgram program(executable, dir.path());
        const unsigned long window = xwindows::waitForWindow(program.pid(), "Quenor", 30s);
        ASSERT_NE(0ul, window) << program.standardError();
        xwindows::requestClose(window);
        EXPECT_EQ(0, program.waitForExit(30s));
        EXPECT_EQ("", program.standardOutput());
        EXPECT_EQ("", program.standardError());
    }
}

} // namespace
