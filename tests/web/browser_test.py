#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 the Kerbolt team
# SPDX-License-Identifier: GPL-3.0-or-later
"""The browser build played in a real headless Chromium (make test-web).

    /usr/bin/python3 tests/web/browser_test.py build-web/kerbolt [--shots docs]

Serves the folder from 127.0.0.1, drives Debian's chromium through
chromium-driver (python3-selenium) with WebGL on SwiftShader, and plays: the
main screen, the level selection with seven thumbnails, a round of Level 1
won with held keys, the result screen, a reload that shows the medal, the
".quit game" and Escape endings and a fatal error's line in the page. Judges
the canvas by its pixels as the desktop end-to-end tests judge the window, and
the browser's console. Prints the first load's time and, for the main screen,
the level selection and a round, the WebGL draw calls per frame, the main
thread's milliseconds per frame (median) and the frame rate; fails when a
frame anywhere draws more than MOST_DRAWS times. --shots saves JPEG pictures of the main screen and a
round there.
Exits 0 when everything held, 1 with the reasons otherwise."""

import argparse
import base64
import io
import math
import statistics
import os
import socket
import subprocess
import sys
import tempfile
import time

import numpy as np
from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

WIDTH, HEIGHT = 1024, 768  # the shipped window, the canvas's size
SCREEN_TIMEOUT = 60.0      # seconds; software WebGL on a busy machine
CLICK_HOLD = 0.3           # long enough for the game to see the button down and up
RESOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources")

# ---- What the canvas shows (the same tests as tests/endtoend_test.cpp) -----


class Box:
    """A rectangle in GL window coordinates: from the bottom-left corner, y up."""

    def __init__(self, left, bottom, width, height):
        self.left, self.bottom, self.width, self.height = left, bottom, width, height

    def pixels(self, picture):
        top_row = HEIGHT - (self.bottom + self.height)
        return picture[max(top_row, 0):HEIGHT - self.bottom, max(self.left, 0):self.left + self.width]


def channels(pixels):
    return pixels[..., 0].astype(int), pixels[..., 1].astype(int), pixels[..., 2].astype(int)


def text_like(p):  # the menu's text is near white; nothing in its backdrop is
    r, g, b = channels(p)
    return (r > 190) & (g > 190) & (b > 190)


def hover_like(p):  # the orange of a widget under the pointer
    r, g, b = channels(p)
    return (r > 235) & (g > 140) & (b < 160)


def flame_like(p):  # the explosion at the left edge of a round
    r, g, b = channels(p)
    return (r > 200) & (b < 120) & (r - b > 120)


def medal_like(p):  # gold, silver and bronze discs
    r, g, b = channels(p)
    gold = (r > 200) & (g > 140) & (b < 90)
    silver = (r > 185) & (g > 185) & (b > 185) & (abs(r - b) < 25)
    bronze = (r > 160) & (g > 80) & (g < 150) & (b < 90)
    return gold | silver | bronze


def count(picture, box, test):
    return int(test(box.pixels(picture)).sum())


START_GAME, COPYRIGHTS, QUIT_GAME = 220, 170, 120  # button bottoms; QUIT_GAME is ".main menu" on the level selection


def caption_box(bottom):
    right = WIDTH - 250 + 256
    return Box(right - 122, bottom + 6, 110, 22)


def shows_caption(picture, bottom):
    return count(picture, caption_box(bottom), lambda p: text_like(p) | hover_like(p)) >= 25


def shows_main_buttons(picture):
    return all(shows_caption(picture, bottom) for bottom in (START_GAME, COPYRIGHTS, QUIT_GAME))


def shows_result_text(picture):
    return count(picture, Box(WIDTH // 2 - 100, HEIGHT // 2 - 40, 260, 50), text_like) >= 150


def shows_main_screen(picture):
    welcome_title_end = Box(310, HEIGHT - 145, 130, 25)  # "2008!"
    return (shows_main_buttons(picture) and count(picture, welcome_title_end, text_like) >= 100
            and not shows_result_text(picture))


def shows_island(picture):
    """The turning island drawn by the terrain's shader: green and sand below the text."""
    r, g, b = channels(Box(0, 100, 760, 300).pixels(picture))
    return int(((g > r + 10) & (g > b + 10)).sum()) > 760 * 300 // 4


def shows_round(picture):
    band = Box(3, 0, 8, HEIGHT - 80)
    return (count(picture, band, flame_like) > band.width * band.height * 8 // 10
            and not shows_caption(picture, QUIT_GAME))


def shows_result_screen(picture):
    return shows_main_buttons(picture) and shows_result_text(picture)


# Thumbnail file, left edge and the top edge's distance below the window's top.
LEVEL_SLOTS = [("lvl1_thumb.png", 50, 250), ("lvl2_thumb.png", 250, 250), ("lvl3_thumb.png", 450, 250),
               ("lvl4_thumb.png", 250, 650), ("lvl5_thumb.png", 50, 450), ("lvl6_thumb.png", 250, 450),
               ("lvl7_thumb.png", 450, 450)]


def thumbnail_difference(picture, slot):
    """Mean difference per channel between a level button's middle and its
    thumbnail, which the button shows mirrored left to right."""
    name, left, below_top = slot
    thumbnail = np.asarray(Image.open(os.path.join(RESOURCES, "textures/lvls", name)).convert("RGB"), dtype=int)
    shown = picture[below_top - 128 + 24:below_top - 128 + 96, left + 12:left + 116].astype(int)
    expected = thumbnail[24:96, 127 - 12:127 - 116:-1]
    return float(np.abs(shown - expected).mean())


def shows_level_selection(picture):
    return (all(thumbnail_difference(picture, slot) <= 4.0 for slot in LEVEL_SLOTS)
            and shows_caption(picture, QUIT_GAME) and not shows_caption(picture, START_GAME))


def medal_pixels(picture, slot):
    _, left, below_top = slot
    return count(picture, Box(left + 128, HEIGHT - below_top, 32, 32), medal_like)


# ---- The browser -----------------------------------------------------------


# Hooks of the test, run after each of the game's frames while the drawing
# buffer still holds it: a picture of the frame on request (a screenshot of
# the page takes seconds on a software renderer), and a cheap watch of the
# left edge that notes the first frame of a round (its explosion band), which
# a picture would only see a second or two late. And the frame's figures:
# the WebGL draw calls (the context's draw functions wrapped) and the main
# thread's time in the game's frame callback, the emulation's work included.
TEST_HOOKS = """
window.kerboltCapture = null;
window.kerboltWatchRound = false;
window.kerboltRoundAt = null;
window.kerboltFrameLog = {draws: [], ms: [], at: []};
window.kerboltMostDraws = 0;
var kerboltDraws = 0;
Module.postMainLoop = function () {
  var counted = window.GLctx && GLctx.kerboltCounted, log = window.kerboltFrameLog;
  if (counted) {
    log.draws.push(kerboltDraws);
    log.ms.push(performance.now() - Module.kerboltFrameAt);
    log.at.push(Module.kerboltFrameAt);
    window.kerboltMostDraws = Math.max(window.kerboltMostDraws, kerboltDraws);
  } else if (window.GLctx) {
    ['drawArrays', 'drawElements'].forEach(function (name) {
      var draw = GLctx[name];
      GLctx[name] = function () { ++kerboltDraws; return draw.apply(GLctx, arguments); };
    });
    GLctx.kerboltCounted = true;
  }
  kerboltDraws = 0;
  if (window.kerboltCapture) {
    var done = window.kerboltCapture;
    window.kerboltCapture = null;
    done(Module.canvas.toDataURL('image/png'));
  }
  if (window.kerboltWatchRound && window.GLctx) {
    var band = new Uint8Array(8 * 600 * 4), flames = 0;
    GLctx.readPixels(3, 0, 8, 600, GLctx.RGBA, GLctx.UNSIGNED_BYTE, band);
    for (var i = 0; i < band.length; i += 4)
      if (band[i] > 200 && band[i + 2] < 120 && band[i] - band[i + 2] > 120) ++flames;
    if (flames > 8 * 600 * 0.8) {
      window.kerboltWatchRound = false;
      window.kerboltRoundAt = Module.kerboltFrameAt;
    }
  }
};
"""
CAPTURE = "window.kerboltCapture = arguments[arguments.length - 1];"


class Failure(Exception):
    pass


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Browser:
    def __init__(self, url, profile):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in ("--headless=new", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
                         "--no-sandbox", "--window-size=1200,1000", "--user-data-dir=" + profile,
                         "--autoplay-policy=user-gesture-required"):
            options.add_argument(argument)
        options.set_capability("goog:loggingOptions", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.set_script_timeout(SCREEN_TIMEOUT)
        self.url = url
        self.console = []

    def quit(self):
        self.driver.quit()

    def open(self):
        self.driver.get(self.url)
        self.canvas = self.driver.find_element(By.ID, "canvas")
        self.script(TEST_HOOKS)

    def reload(self):
        self.open()

    def start_again(self):
        """The page's own button after the game has ended."""
        self.driver.find_element(By.ID, "again").click()
        self.canvas = self.driver.find_element(By.ID, "canvas")
        self.script(TEST_HOOKS)

    def wait_for_round(self):
        end = time.monotonic() + SCREEN_TIMEOUT
        while not self.script("return window.kerboltRoundAt"):
            if time.monotonic() > end:
                raise Failure("no round began (no explosion band at the left edge)")
            time.sleep(0.01)

    def script(self, code):
        return self.driver.execute_script(code)

    def frames(self):
        return self.script("return window.Module ? Module.kerboltFrames || 0 : 0")

    def collect_console(self):
        self.console += self.driver.get_log("browser")

    def picture(self):
        """The frame just drawn, read back at the end of the page's next frame
        (a screenshot of the page takes seconds on a software renderer)."""
        url = self.driver.execute_async_script(CAPTURE)
        png = base64.b64decode(url.split(",", 1)[1])
        picture = np.asarray(Image.open(io.BytesIO(png)).convert("RGB"))
        if picture.shape[:2] != (HEIGHT, WIDTH):
            raise Failure(f"the canvas is {picture.shape[1]} x {picture.shape[0]}, not {WIDTH} x {HEIGHT}")
        return picture

    def wait_for(self, what, shows, timeout=SCREEN_TIMEOUT):
        end = time.monotonic() + timeout
        while True:
            picture = self.picture()
            if shows(picture):
                return picture
            if time.monotonic() > end:
                keep = os.path.join(tempfile.gettempdir(), f"kerbolt-browser-{what}.png")
                Image.fromarray(picture).save(keep)
                raise Failure(f"no {what} within {timeout:.0f} s; the canvas showed {keep}; page status: "
                              + repr(self.status()))
            time.sleep(0.2)

    def status(self):
        return self.driver.find_element(By.ID, "status").text

    def click(self, x, y, hovered):
        """A click at (x, y) in GL window coordinates, once `hovered` shows that
        the game has seen the pointer there."""
        ActionChains(self.driver).move_to_element_with_offset(
            self.canvas, x - WIDTH // 2, (HEIGHT - 1 - y) - HEIGHT // 2).perform()
        self.wait_for(f"hover at ({x}, {y})", hovered)
        ActionChains(self.driver).click_and_hold().pause(CLICK_HOLD).release().perform()

    def click_main_button(self, bottom):
        self.click(WIDTH - 250 + 128, bottom + 18,
                   lambda picture: count(picture, caption_box(bottom), hover_like) >= 25)

    def click_level(self, slot):
        _, left, below_top = slot
        frame = Box(left, HEIGHT - below_top + 32, 6, 64)  # the frame's left edge, beside the thumbnail
        self.click(left + 64, HEIGHT - below_top + 64, lambda picture: count(picture, frame, hover_like) >= 64)

    def key_down(self, key):
        ActionChains(self.driver).key_down(key).perform()

    def key_up(self, key):
        ActionChains(self.driver).key_up(key).perform()

    def wait_for_end(self, expected):
        end = time.monotonic() + SCREEN_TIMEOUT
        while self.status() != expected:
            if time.monotonic() > end:
                raise Failure(f"the page never said {expected!r}; it says {self.status()!r}")
            time.sleep(0.2)
        if not self.driver.find_element(By.ID, "again").is_displayed():
            raise Failure("the page offers no way to start again")


# The most WebGL draw calls a frame may take: each costs the emulation a
# dozen calls into WebGL and the page's main thread its time.
MOST_DRAWS = 100
TAKE_FRAME_LOG = """
var log = window.kerboltFrameLog;
window.kerboltFrameLog = {draws: [], ms: [], at: []};
return [log.draws, log.ms, log.at];
"""


def scene_figures(browser, scene, seconds=None, fps=None):
    """Most draws per frame, median main-thread ms and frames per second of the
    frames since the log was last taken (or of `seconds` from now)."""
    if seconds:
        browser.script(TAKE_FRAME_LOG)
        time.sleep(seconds)
    draws, ms, at = browser.script(TAKE_FRAME_LOG)
    if len(at) < 2:
        raise Failure(f"{scene}: fewer than two frames drawn")
    if max(draws) > MOST_DRAWS:
        raise Failure(f"{scene}: a frame draws {max(draws)} times, more than {MOST_DRAWS}")
    return (scene, max(draws), statistics.median(ms), fps or 1000.0 * (len(at) - 1) / (at[-1] - at[0]))


# Level 1 (tools/levels.py): the player starts at x 45 and walks right at
# 0.08 units a millisecond of the game's clock; a jump covers some 76 units
# over level ground. Each jump starts near the middle of the stretch of
# take-off points that clear its pit (pits at 210, 410, 574 and 692, 10 to 22
# wide) and land on level ground.
#
# Software WebGL on a busy machine draws a few frames a second, and each call
# into the page takes a frame or more: too coarse to time jumps by the wall
# clock. So the round runs on a clock of the page's that advances FRAME_MS a
# frame (the game reads SDL_GetTicks, which reads Date.now), as the level
# checker's runner does with 16 ms, and the page draws a frame only while the
# test lets it (a hook before each frame that answers false skips it): the
# keys reach the game in exactly the frames the test means. 50 ms is 20
# frames a second of game time, three times the checker's step, which also
# shows that the round's moves do not depend on the frame rate.
START_X, WALKING_SPEED, LEVEL_END = 45.0, 0.08, 760.0
FRAME_MS = 50
TAKE_OFFS = (188.0, 388.0, 556.0, 678.0)

GAME_CLOCK = """
var now = Date.now();
Date.now = function () { return now; };
window.kerboltGate = Infinity;
window.kerboltDrawn = {frames: 0, ms: 0, last: null};
Module.preMainLoop = function () {
  var drawn = window.kerboltDrawn, at = performance.now();
  if (Module.kerboltFrames >= window.kerboltGate) {
    drawn.last = null;
    return false;
  }
  if (drawn.last !== null) {
    drawn.frames += 1;
    drawn.ms += at - drawn.last;
  }
  drawn.last = at;
  now += %d;
};
""" % FRAME_MS


def run_to(browser, frame):
    """Lets the page draw until its frame count reaches `frame`, then holds it."""
    browser.script("window.kerboltGate = %d" % frame)
    end = time.monotonic() + SCREEN_TIMEOUT
    while browser.frames() < frame:
        if time.monotonic() > end:
            raise Failure(f"the page stopped drawing before frame {frame}")
        time.sleep(0.01)


def play_level_one(browser, shots):
    """Holds the right arrow and jumps before each pit; answers the round's
    frame rate while the page draws freely (real time)."""
    browser.script("window.kerboltGate = Module.kerboltFrames; window.kerboltDrawn.frames = 0;"
                   "window.kerboltDrawn.ms = 0")
    walk_frame = browser.frames()  # the next frame is the first that walks
    step = WALKING_SPEED * FRAME_MS
    browser.key_down(Keys.ARROW_RIGHT)
    try:
        if shots:  # early, while the view still shows the player: the next frame drawn
            run_to(browser, walk_frame + 12)
            browser.script("window.kerboltCapture = function (url) { window.kerboltShot = url; }")
        for take_off in TAKE_OFFS:
            # After frame f the player stands at START_X + step (f - walk_frame).
            jump_frame = walk_frame + math.ceil((take_off - START_X) / step)
            run_to(browser, jump_frame)
            browser.key_down(Keys.SPACE)
            run_to(browser, jump_frame + 1)
            browser.key_up(Keys.SPACE)  # released long before the landing, or the next jump would follow
        run_to(browser, walk_frame + math.ceil((LEVEL_END - START_X) / step) + 20)
    finally:
        browser.key_up(Keys.ARROW_RIGHT)
        browser.script("window.kerboltGate = Infinity")
    if shots:
        shot = browser.script("return window.kerboltShot")
        Image.open(io.BytesIO(base64.b64decode(shot.split(",", 1)[1]))).convert("RGB").save(
            os.path.join(shots, "browser-round.jpg"), quality=80)
    frames, ms = browser.script("return [window.kerboltDrawn.frames, window.kerboltDrawn.ms]")
    return 1000.0 * frames / ms if ms else 0.0


def check_console(entries):
    problems = [e["message"] for e in entries if e["level"] == "SEVERE"]
    problems += [e["message"] for e in entries if "Loading standardfile instead..." in e["message"]]
    if problems:
        raise Failure("the browser console holds:\n  " + "\n  ".join(problems))


def run(site, shots):
    port = free_port()
    server = subprocess.Popen([sys.executable, "-m", "http.server", "--bind", "127.0.0.1", "--directory", site,
                               str(port)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    profile = tempfile.TemporaryDirectory(prefix="kerbolt-browser-")  # a first visit: empty IndexedDB
    browser = None
    try:
        time.sleep(0.5)
        browser = Browser(f"http://127.0.0.1:{port}/index.html", profile.name)
        browser.open()
        main = browser.wait_for("main screen", shows_main_screen)
        load_ms = browser.script("return Module.kerboltFirstFrameAt")
        if not shows_island(main):
            raise Failure("the main screen shows no island (the terrain's shader path draws nothing)")
        if shots:
            Image.fromarray(main).save(os.path.join(shots, "browser-main.jpg"), quality=80)
        figures = [scene_figures(browser, "main screen", 5.0)]

        browser.click_main_button(START_GAME)
        levels = browser.wait_for("level selection with seven thumbnails", shows_level_selection)
        if any(medal_pixels(levels, slot) >= 30 for slot in LEVEL_SLOTS):
            raise Failure("a first visit shows medals; it should start with none")
        figures.append(scene_figures(browser, "level selection", 3.0))
        browser.script("window.kerboltWatchRound = true;" + GAME_CLOCK)
        browser.click_level(LEVEL_SLOTS[0])
        browser.wait_for_round()
        browser.script(TAKE_FRAME_LOG)
        round_fps = play_level_one(browser, shots)
        figures.append(scene_figures(browser, "round, Level 1", fps=round_fps))
        browser.wait_for("result screen", shows_result_screen)
        most_draws = browser.script("return window.kerboltMostDraws")
        if most_draws > MOST_DRAWS:
            raise Failure(f"a frame between the screens draws {most_draws} times, more than {MOST_DRAWS}")
        medals = browser.script("return FS.readFile('/kerbolt/resources/savegame', {encoding: 'utf8'})")
        if medals.split()[0] not in ("1", "2", "3"):
            raise Failure(f"the round won no medal: the savegame reads {medals!r}")
        browser.collect_console()

        browser.reload()  # the medal must come back from the browser's storage
        browser.wait_for("main screen after the reload", shows_main_screen)
        browser.click_main_button(START_GAME)
        levels = browser.wait_for("level selection after the reload", shows_level_selection)
        if medal_pixels(levels, LEVEL_SLOTS[0]) < 30:
            raise Failure("after the reload Level 1 shows no medal")
        browser.click_main_button(QUIT_GAME)  # ".main menu"
        browser.wait_for("main screen", shows_main_screen)
        browser.click_main_button(QUIT_GAME)  # ".quit game"
        browser.wait_for_end("The game has ended.")
        browser.collect_console()

        browser.start_again()
        browser.wait_for("main screen after starting again", shows_main_screen)
        # Held over a few frames: the game ends on a held Escape, and a page
        # that draws fast could see the press and the release in one frame.
        browser.key_down(Keys.ESCAPE)
        time.sleep(CLICK_HOLD)
        browser.key_up(Keys.ESCAPE)
        browser.wait_for_end("The game has ended.")
        browser.collect_console()
        check_console(browser.console)

        # A fatal error: without its savegame the level selection cannot open.
        browser.start_again()
        browser.wait_for("main screen before the fatal error", shows_main_screen)
        browser.script("FS.unlink('/kerbolt/resources/savegame')")
        browser.click_main_button(START_GAME)
        browser.wait_for_end("Error: Cannot open or create file 'resources/savegame'")
        print(f"browser_test: passed; Level 1 won with medal {medals.split()[0]}; first frame "
              f"{load_ms / 1000:.2f} s after the page was requested (headless Chromium, SwiftShader)")
        print(f"  {'scene':<16} {'WebGL draws/frame':>17} {'main thread ms/frame':>20} {'fps':>6}")
        for scene, draws, ms, fps in figures:
            print(f"  {scene:<16} {draws:>17} {ms:>20.1f} {fps:>6.1f}")
        return 0
    except Failure as failure:
        print(f"browser_test: FAILED: {failure}", file=sys.stderr)
        if browser:
            browser.collect_console()
            for entry in browser.console:
                print(f"  console {entry['level']}: {entry['message']}", file=sys.stderr)
        return 1
    finally:
        if browser:
            browser.quit()
        server.terminate()
        server.wait()
        profile.cleanup()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("site", help="the built folder (build-web/kerbolt)")
    parser.add_argument("--shots", help="save browser-main.jpg and browser-round.jpg in this folder")
    arguments = parser.parse_args()
    return run(arguments.site, arguments.shots)


if __name__ == "__main__":
    sys.exit(main())
