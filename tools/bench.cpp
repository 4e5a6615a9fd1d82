// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Developer tool, not part of the game: the frame-time benchmark.
//
//     kerbolt-bench [--json FILE] [--frames N] [--only SCENE] [<folder holding resources/>]
//
// Runs the real code path in one process and times every frame with a real
// clock (steady_clock), from the start of the frame's drawing to the end of
// the engine's tasks: buffer swap, event poll, the next frame's clear, timer.
// The game's own clock advances exactly 16 ms a frame, so every run plays
// the same frames however fast the machine is. Scenes:
//   empty           the engine's frame alone (swap and clear): the baseline;
//   menu            the application on its main screen over the turning island,
//                   the overlay included;
//   level:<file>    each shipped level played by the level checker's runner,
//                   a round (Game::update) and the overlay each frame. A round
//                   that ends starts again, untimed and with its terrain kept
//                   loaded, so every timed frame is a frame in play.
// Each scene runs 30 warm-up frames (shader compilation, first uploads), then
// N timed ones (default 400). Per scene: median and 95th percentile frame
// time, frames per second (1000 / median), the ratio to the empty frame's
// median, the heap allocations (operator new) and the draw calls per timed
// frame. Also the
// start-up time (process start to the first frame that shows the main
// screen), each level's load time (Game::start) and the peak resident memory.
// Prints a table; --json writes the same figures as JSON lines. --only runs
// one scene besides the empty baseline. Nothing is written below resources/:
// no round reaches a result screen, so the savegame is never touched.
//
// Needs an X display (xvfb-run works) and an audio driver (SDL_AUDIODRIVER=dummy).

#include "alloccount.h"
#include "app/application.h"
#include "resources/fontwriter.h"
#include "world/game.h"
#include "world/heightmap.h"
#include "engine/input.h"
#include "levelrunner.h"
#include "menu/menue.h"
#include "world/player.h"
#include "engine/quenor.h"
#include "resources/resourcemanager.h"
#include "engine/timer.h"

#include <GL/gl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// The game's draw calls, counted where they reach OpenGL: this tool is
// linked with the GL entry points that draw wrapped (--wrap in
// CMakeLists.txt), so every call from the game library comes here first.
// A begin/end pair is one draw, as is each array draw; in the browser each
// of them becomes one WebGL draw call.
namespace {
std::uint64_t drawCalls = 0;
}

extern "C" {
void __real_glEnd();
void __real_glDrawArrays(GLenum mode, GLint first, GLsizei count);
void __real_glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices);

void __wrap_glEnd()
{
    ++drawCalls;
    __real_glEnd();
}

void __wrap_glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    ++drawCalls;
    __real_glDrawArrays(mode, first, count);
}

void __wrap_glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices)
{
    ++drawCalls;
    __real_glDrawElements(mode, count, type, indices);
}
}

namespace {

using Clock = std::chrono::steady_clock;
using levelrunner::frameMs;

constexpr int defaultFrames = 400;
constexpr int warmUpFrames = 30;
// The main screen appears in the application's second frame; more means
// something is wrong.
constexpr int startupFrameLimit = 10;

// The order of the level selection screen.
const char* const levelFiles[] = {"lvl1.txt",  "lvl2.txt",  "lvl3.txt", "lvlSpecial.txt",
                                  "lvl1b.txt", "lvl2b.txt", "lvl3b.txt"};
constexpr const char* levelFolder = "resources/lvls/";
constexpr const char* levelPrefix = "level:";

// The game's clock after start-up: the tools advance it frameMs a frame.
uint32_t clockNow = 0;

double millisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// How long this process has existed when called: the kernel's record of its
// start (field 22 of /proc/self/stat, in clock ticks on the boot-time clock)
// against the boot-time clock now. The record is truncated to a clock tick
// (10 ms at the usual 100 Hz), so the answer is at most one tick too long.
// Called first thing in main, it gives the time before main (exec, dynamic
// linking, static initialisation); everything later is timed with
// steady_clock. 0 when the record cannot be read.
double processAgeMs()
{
    std::ifstream file("/proc/self/stat");
    std::string text;
    std::getline(file, text);
    // The command name in field 2 may hold spaces; it ends at the last ')'.
    const std::size_t nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos)
        return 0.0;
    std::istringstream fields(text.substr(nameEnd + 1));
    std::string field;
    for (int number = 3; number <= 22; ++number)
        if (!(fields >> field))
            return 0.0;
    unsigned long long ticks = 0;
    if (std::from_chars(field.data(), field.data() + field.size(), ticks).ec != std::errc{})
        return 0.0;
    timespec now{};
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0 || ticksPerSecond <= 0)
        return 0.0;
    const double nowMs = static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
    const double startMs = static_cast<double>(ticks) * 1000.0 / static_cast<double>(ticksPerSecond);
    return std::max(0.0, nowMs - startMs);
}

struct Options {
    std::string json;
    int frames = defaultFrames;
    std::string only;
    std::string root = ".";
};

// What one scene's timed frames took.
struct SceneTimes {
    std::string scene;
    std::vector<double> frameMs;
    std::uint64_t allocations = 0;
    std::uint64_t draws = 0;
    int rounds = 0; // rounds played, levels only
};

struct SceneFigures {
    std::string scene;
    int frames = 0;
    double medianMs = 0.0;
    double p95Ms = 0.0;
    double fps = 0.0;
    double ratioToEmpty = 0.0;
    double allocsPerFrame = 0.0;
    double drawsPerFrame = 0.0;
    int rounds = 0;
};

struct LevelLoad {
    std::string level;
    double ms = 0.0;
};

struct Report {
    std::string renderer;
    int frames = 0;
    std::vector<SceneFigures> scenes;
    double startupMs = 0.0;
    std::vector<LevelLoad> loads;
    double peakRssMb = 0.0;
    std::vector<std::string> notes;
};

// The median of the sorted times (the mean of the middle two for an even count).
double median(const std::vector<double>& sorted)
{
    const std::size_t n = sorted.size();
    return n % 2 == 1 ? sorted[n / 2] : 0.5 * (sorted[n / 2 - 1] + sorted[n / 2]);
}

// Nearest rank: the smallest time that at least 95% of the frames do not exceed.
double percentile95(const std::vector<double>& sorted)
{
    const auto rank = static_cast<std::size_t>(std::ceil(0.95 * static_cast<double>(sorted.size())));
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

SceneFigures figuresOf(SceneTimes times, double emptyMedianMs)
{
    std::sort(times.frameMs.begin(), times.frameMs.end());
    SceneFigures figures;
    figures.scene = times.scene;
    figures.frames = static_cast<int>(times.frameMs.size());
    figures.medianMs = median(times.frameMs);
    figures.p95Ms = percentile95(times.frameMs);
    figures.fps = figures.medianMs > 0.0 ? 1000.0 / figures.medianMs : 0.0;
    const double baseline = emptyMedianMs > 0.0 ? emptyMedianMs : figures.medianMs;
    figures.ratioToEmpty = baseline > 0.0 ? figures.medianMs / baseline : 0.0;
    figures.allocsPerFrame = static_cast<double>(times.allocations) / static_cast<double>(figures.frames);
    figures.drawsPerFrame = static_cast<double>(times.draws) / static_cast<double>(figures.frames);
    figures.rounds = times.rounds;
    return figures;
}

// Runs the warm-up and the timed frames. Before each frame `prepare` does
// the untimed work (the clock, the runner's keys); `frame` is timed, and
// the operator new calls during it are counted, other threads' included.
template <class Prepare, class Frame>
SceneTimes measure(const std::string& scene, int frames, Prepare&& prepare, Frame&& frame)
{
    SceneTimes times;
    times.scene = scene;
    times.frameMs.reserve(static_cast<std::size_t>(frames));
    for (int k = 0; k < warmUpFrames + frames; ++k) {
        prepare();
        const std::uint64_t allocationsBefore = allocationCount();
        const std::uint64_t drawsBefore = drawCalls;
        const Clock::time_point start = Clock::now();
        frame();
        const Clock::time_point end = Clock::now();
        const std::uint64_t allocationsAfter = allocationCount();
        if (k < warmUpFrames)
            continue;
        times.frameMs.push_back(millisecondsBetween(start, end));
        times.allocations += allocationsAfter - allocationsBefore;
        times.draws += drawCalls - drawsBefore;
    }
    return times;
}

void advanceClock()
{
    clockNow += frameMs;
}

// One level played over and over by the scripted runner, the way the level
// checker plays it: the runner decides from the player's last position, its
// keys reach the input task before the frame, the round and the overlay draw.
class LevelRound {
public:
    explicit LevelRound(std::string file)
        : file(std::move(file))
    {
    }
    LevelRound(const LevelRound&) = delete;
    LevelRound& operator=(const LevelRound&) = delete;

    // Starts the first round; answers Game::start's wall time in milliseconds.
    double start()
    {
        levelrunner::releaseAllKeys();
        keys = levelrunner::HeldKeys{};
        const Clock::time_point begin = Clock::now();
        game.start(levelFolder + file);
        const double loadMs = millisecondsBetween(begin, Clock::now());
        const Player& player = *game.getPlayer();
        const float y = player.getY();
        runner.emplace(*game.getTerrain(), y, levelrunner::findPits(*game.getTerrain(), y));
        ++rounds;
        return loadMs;
    }

    // Untimed: a round that has ended starts again; then the runner's keys.
    void prepare()
    {
        if (game.getState() != GAME_STATE::RUNNING) {
            if (game.getState() != GAME_STATE::GOLD)
                roundsWithoutGold.push_back(gameStateName(game.getState()));
            restart();
        }
        keys.set(true, !keys.spaceHeld() && runner->wantsJump(*game.getPlayer()));
        Input::getInstance().update();
        advanceClock();
    }

    // The terrain is held over the restart: loaded anew, it would build a new
    // shader program, which the driver compiles in the next, timed frame.
    void restart()
    {
        const Held<Heightmap> hold(game.getTerrain()->getName());
        game.stop();
        start();
    }

    // Timed: the round's frame as the application plays it.
    void frame(Quenor& engine)
    {
        game.update();
        Application::drawOverlay();
        engine.update();
    }

    int roundCount() const { return rounds; }
    // How the rounds that ended without gold ended: the runner wins gold
    // everywhere in the level checker, so anything here is worth a look.
    const std::vector<std::string>& failedRounds() const { return roundsWithoutGold; }

private:
    std::string file;
    Game game;
    std::optional<levelrunner::Runner> runner;
    levelrunner::HeldKeys keys;
    int rounds = 0;
    std::vector<std::string> roundsWithoutGold;
};

bool wanted(const Options& options, const std::string& scene)
{
    return options.only.empty() || options.only == scene;
}

// The application from engine start to the first presented frame that shows
// the main screen: the first update opens the screen, which draws from the
// second; the frame counts once the engine's update has swapped it in.
// Answers the steady_clock reading then.
Clock::time_point startToMenu(Quenor& engine, Application& application)
{
    engine.start();
    application.start();
    for (int frame = 0; frame < startupFrameLimit; ++frame) {
        const bool screenOpen = application.getMenue() != nullptr && application.getMenue()->getScreen() != nullptr;
        if (!application.update())
            break;
        engine.update();
        if (screenOpen)
            return Clock::now();
    }
    throw std::runtime_error("the main screen did not appear");
}

// From here on every frame lasts exactly frameMs on the game's clock.
void fixTheClock()
{
    clockNow = 0;
    Timer::getInstance().setTickSource([] { return clockNow; });
    Timer::getInstance().restartFrame();
}

void playLevels(const Options& options, Quenor& engine, Report& report, std::vector<SceneTimes>& scenes)
{
    // The application is gone; the overlay needs the fonts it held.
    FontWriter::getInstance().load();
    for (const char* file : levelFiles) {
        const std::string scene = std::string(levelPrefix) + file;
        if (!wanted(options, scene))
            continue;
        LevelRound round(file); // its round stops as it goes
        report.loads.push_back({file, round.start()});
        scenes.push_back(measure(
            scene, options.frames, [&round] { round.prepare(); }, [&round, &engine] { round.frame(engine); }));
        scenes.back().rounds = round.roundCount();
        for (const std::string& ending : round.failedRounds())
            report.notes.push_back(scene + ": a round ended " + ending + ", not GOLD");
    }
    levelrunner::releaseAllKeys();
    FontWriter::getInstance().unload();
}

double peakResidentMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

Report runBenchmark(const Options& options, double preMainMs, Clock::time_point mainEntry)
{
    std::filesystem::current_path(options.root);
    Quenor engine;
    Application& application = Application::getInstance();
    Report report;
    report.frames = options.frames;
    report.startupMs = preMainMs + millisecondsBetween(mainEntry, startToMenu(engine, application));
    if (const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER)))
        report.renderer = renderer;
    fixTheClock();

    std::vector<SceneTimes> scenes;
    scenes.push_back(measure("empty", options.frames, advanceClock, [&engine] { engine.update(); }));
    if (wanted(options, "menu"))
        scenes.push_back(measure("menu", options.frames, advanceClock, [&application, &engine] {
            if (!application.update())
                throw std::runtime_error("the application ended in the menu");
            engine.update();
        }));
    // The menu's island and the fonts go back, as when the game starts a round.
    application.stop();
    SingletonSlot<Application>::destroy();
    playLevels(options, engine, report, scenes);
    report.peakRssMb = peakResidentMb();

    Timer::getInstance().setTickSource({});
    engine.stop();

    const double emptyMedian = figuresOf(scenes.front(), 0.0).medianMs;
    for (const SceneTimes& times : scenes)
        report.scenes.push_back(figuresOf(times, emptyMedian));
    return report;
}

// Fixed-point with at most `decimals` places, trailing zeros dropped: a JSON number.
std::string number(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string result = text;
    if (result.find('.') != std::string::npos) {
        result.erase(result.find_last_not_of('0') + 1);
        if (result.back() == '.')
            result.pop_back();
    }
    return result == "-0" ? "0" : result;
}

std::string jsonLines(const Report& report)
{
    std::ostringstream out;
    for (const SceneFigures& s : report.scenes)
        out << "{\"scene\": \"" << s.scene << "\", \"frames\": " << s.frames << ", \"median_ms\": "
            << number(s.medianMs, 3) << ", \"p95_ms\": " << number(s.p95Ms, 3) << ", \"fps\": " << number(s.fps, 1)
            << ", \"ratio_to_empty\": " << number(s.ratioToEmpty, 2) << ", \"allocs_per_frame\": "
            << number(s.allocsPerFrame, 2) << ", \"draws_per_frame\": " << number(s.drawsPerFrame, 1) << "}\n";
    out << "{\"metric\": \"startup_ms\", \"value\": " << number(report.startupMs, 1) << "}\n";
    for (const LevelLoad& load : report.loads)
        out << "{\"metric\": \"load_ms\", \"level\": \"" << load.level << "\", \"value\": " << number(load.ms, 2)
            << "}\n";
    out << "{\"metric\": \"peak_rss_mb\", \"value\": " << number(report.peakRssMb, 1) << "}\n";
    return out.str();
}

void printTable(const Report& report)
{
    std::cout << "kerbolt-bench: " << report.frames << " timed frames per scene after " << warmUpFrames
              << " warm-up frames, game clock " << frameMs << " ms a frame, renderer " << report.renderer << "\n\n";
    std::cout << std::left << std::setw(22) << "scene" << std::right << std::setw(7) << "frames" << std::setw(11)
              << "median ms" << std::setw(9) << "p95 ms" << std::setw(9) << "fps" << std::setw(9) << "x empty"
              << std::setw(14) << "allocs/frame" << std::setw(13) << "draws/frame" << std::setw(8) << "rounds" << '\n';
    std::cout << std::fixed;
    for (const SceneFigures& s : report.scenes)
        std::cout << std::left << std::setw(22) << s.scene << std::right << std::setw(7) << s.frames
                  << std::setprecision(3) << std::setw(11) << s.medianMs << std::setw(9) << s.p95Ms
                  << std::setprecision(1) << std::setw(9) << s.fps << std::setprecision(2) << std::setw(9)
                  << s.ratioToEmpty << std::setw(14) << s.allocsPerFrame << std::setprecision(1) << std::setw(13)
                  << s.drawsPerFrame << std::setw(8)
                  << (s.rounds > 0 ? std::to_string(s.rounds) : "-") << '\n';
    std::cout << std::setprecision(1) << "\nstart-up to the first menu frame: " << report.startupMs << " ms\n";
    for (const LevelLoad& load : report.loads)
        std::cout << std::setprecision(2) << "load " << load.level << ": " << load.ms << " ms\n";
    std::cout << std::setprecision(1) << "peak resident memory: " << report.peakRssMb << " MB\n";
    for (const std::string& note : report.notes)
        std::cout << "note: " << note << '\n';
}

std::vector<std::string> sceneNames()
{
    std::vector<std::string> names = {"empty", "menu"};
    for (const char* file : levelFiles)
        names.push_back(std::string(levelPrefix) + file);
    return names;
}

std::optional<int> positiveInt(const std::string& text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value <= 0)
        return std::nullopt;
    return value;
}

// Throws std::invalid_argument with the reason.
Options parseOptions(int argc, char** argv)
{
    Options options;
    bool rootGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--json" && hasValue) {
            options.json = std::filesystem::absolute(argv[++i]).string();
        } else if (argument == "--frames" && hasValue) {
            const std::optional<int> frames = positiveInt(argv[++i]);
            if (!frames)
                throw std::invalid_argument("--frames wants a positive whole number, not '" + std::string(argv[i]) + "'");
            options.frames = *frames;
        } else if (argument == "--only" && hasValue) {
            options.only = argv[++i];
            const std::vector<std::string> names = sceneNames();
            if (std::find(names.begin(), names.end(), options.only) == names.end())
                throw std::invalid_argument("no scene is called '" + options.only + "'");
        } else if (!argument.starts_with("--") && !rootGiven) {
            options.root = argument;
            rootGiven = true;
        } else {
            throw std::invalid_argument("unexpected argument '" + argument + "'");
        }
    }
    return options;
}

void printUsage()
{
    std::cerr << "usage: kerbolt-bench [--json FILE] [--frames N] [--only SCENE] [<folder holding resources/>]\n"
                 "scenes:";
    for (const std::string& name : sceneNames())
        std::cerr << ' ' << name;
    std::cerr << '\n';
}

} // namespace

int main(int argc, char** argv)
{
    const double preMainMs = processAgeMs();
    const Clock::time_point mainEntry = Clock::now();
    Options options;
    try {
        options = parseOptions(argc, argv);
    } catch (const std::invalid_argument& error) {
        std::cerr << "kerbolt-bench: " << error.what() << '\n';
        printUsage();
        return 2;
    }
    try {
        const Report report = runBenchmark(options, preMainMs, mainEntry);
        printTable(report);
        if (!options.json.empty()) {
            std::ofstream json(options.json);
            json << jsonLines(report);
            if (!json.flush())
                throw std::runtime_error("cannot write '" + options.json + "'");
        }
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << std::endl;
        return 1;
    }
}
