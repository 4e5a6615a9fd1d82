#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 the Kerbolt team
# SPDX-License-Identifier: GPL-3.0-or-later
"""The browser build played in a real headless Chromium (make test-web).

    /usr/bin/python3 tests/web/browser_test.py build-web/kerbolt [--shots docs]

Serves the folder from 127.0.0.1, drives Debian's chromium through
chromium-driver (python3-selenium) with WebGL on SwiftShader, and plays: the
loading picture as the first frame, the main screen, the level selection with
seven thumbnails, a round of Level 1 won with held keys, the result screen;
a second tab that shows how the medals are stored: an old tab's store and a
reload in the same moment keep every tab's medals, a store under way holds the
unload, a failed store says so, and the page keeps its end line after a fatal
error at start and when its script cannot be loaded; the menus and Level 1
played with a gamepad alone (a stub of the Gamepad API), the page hidden
mid-round pausing it until P; then, with the server stopped and a touch screen
emulated in a phone-sized window, a reload that shows both tabs' medals and a
round won by touches alone; the canvas fitted to windows of several sizes,
full screen, the ".quit game" and Escape endings and a fatal error's line in
the page. Judges the canvas by its pixels as the desktop end-to-end tests
judge the window, and the browser's console. Prints the first load's time and
for the main screen, the level selection and a round, the WebGL draw calls per
frame, the main thread's milliseconds per frame (median) and the frame rate;
fails when a frame anywhere draws more than MOST_DRAWS times. --shots saves
JPEG pictures of the main screen and a round there, and of the page on the
phone-sized touch screen.
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
from selenium.common.exceptions import NoSuchElementException

WIDTH, HEIGHT = 1024, 768  # the shipped window, the canvas's size
# The page's area in the browser window: a laptop's, a phone's turned on its
# side (the touch screen's), a small desktop window, and one that shows the
# canvas at one and a half times its size.
WINDOWS = [(1366, 650), (844, 390), (800, 600), (1600, 1200)]
# The game's controls in a round: the key, and the page's touch pad for it.
CONTROLS = {"right": (Keys.ARROW_RIGHT, "pad-right"), "jump": (Keys.SPACE, "pad-jump")}
RIGHT_ARROW_CODE = 39  # the browser's key code
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
# the page takes seconds on a software renderer), a picture of the very first
# frame, and a cheap watch of the left edge that notes the first frame of a
# round (its explosion band), which a picture would only see a second or two
# late. They go into every page before its own script runs, set on the
# page's Module as soon as the page makes it.
# And the frame's figures: the WebGL draw calls (the context's draw
# functions wrapped) and the main thread's time in the game's frame callback,
# the emulation's work included.
TEST_HOOKS = """
window.kerboltCapture = null;
window.kerboltFirstFrame = null;
window.kerboltWatchRound = false;
window.kerboltRoundAt = null;
window.kerboltFrameLog = {draws: [], ms: [], at: []};
window.kerboltMostDraws = 0;
var kerboltDraws = 0;
Module.postMainLoop = function () {
  if (Module.kerboltFrames === 1)
    window.kerboltFirstFrame = Module.canvas.toDataURL('image/png');
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
HOOKS_ON_EVERY_PAGE = """
(function () {
  var module;
  Object.defineProperty(window, 'Module', {
    configurable: true,
    get: function () { return module; },
    set: function (value) { module = value; %s }
  });
})();
""" % TEST_HOOKS
CAPTURE = "window.kerboltCapture = arguments[arguments.length - 1];"

# A gamepad in the browser's standard layout, as the Gamepad API shows it.
PAD_STUB = """
var pad = {id: 'test pad', index: 0, mapping: 'standard', connected: true, timestamp: 1, axes: [0, 0, 0, 0],
           buttons: Array.from({length: 17}, function () { return {pressed: false, value: 0}; })};
navigator.getGamepads = function () { return [pad, null, null, null]; };
window.kerboltPadButton = function (button, down) {
  pad.buttons[button] = {pressed: down, value: down ? 1 : 0};
  pad.timestamp++;
};
window.kerboltPadStick = function (x) { pad.axes[0] = x; pad.timestamp++; };
"""
PAD_SOUTH, PAD_DOWN, PAD_RIGHT = 0, 13, 15


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
                         "--no-sandbox", "--window-size=%d,%d" % WINDOWS[0], "--user-data-dir=" + profile,
                         "--autoplay-policy=user-gesture-required"):
            options.add_argument(argument)
        options.set_capability("goog:loggingOptions", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.set_script_timeout(SCREEN_TIMEOUT)
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": HOOKS_ON_EVERY_PAGE})
        self.url = url
        self.console = []
        self.touch_screen = False  # taps instead of clicks
        self.fingers = {}  # the touch pads held: their places

    def quit(self):
        self.driver.quit()

    def open(self):
        self.driver.get(self.url)
        self.find_canvas()
        self.script(PAD_STUB)

    def find_canvas(self):
        try:
            self.canvas = self.driver.find_element(By.ID, "canvas")
        except NoSuchElementException:
            raise Failure("the page did not load: " + self.driver.find_element(By.TAG_NAME, "body").text[:200])

    def reload(self):
        self.open()

    def start_again(self):
        """The page's own button after the game has ended."""
        self.driver.find_element(By.ID, "again").click()
        self.find_canvas()

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

    def picture(self, url=None):
        """The frame just drawn, read back at the end of the page's next frame
        (a screenshot of the page takes seconds on a software renderer)."""
        return decoded(url or self.driver.execute_async_script(CAPTURE))

    def first_frame(self):
        """The first frame the game drew, as the page showed it."""
        end = time.monotonic() + SCREEN_TIMEOUT
        while not (url := self.script("return window.kerboltFirstFrame")):
            if time.monotonic() > end:
                raise Failure("the game drew no frame")
            time.sleep(0.05)
        return decoded(url)

    # ---- The page at any size, full screen, on a touch screen, offline ----

    def set_viewport(self, width, height):
        """Makes the page's own area (the window less the browser's frame) width x height."""
        window = [width, height]
        for _ in range(20):
            self.driver.set_window_size(*window)
            time.sleep(0.25)  # the page hears of a new size a moment later
            inner = self.script("return [innerWidth, innerHeight]")
            if inner == [width, height]:
                return
            window = [window[0] + width - inner[0], window[1] + height - inner[1]]
        raise Failure(f"the page's area stays {inner[0]} x {inner[1]}, not {width} x {height}")

    def check_fit(self, what):
        """The whole canvas and the line below it in view without scrolling, the
        canvas as large as the game's area allows with its aspect ratio.
        Answers the scale."""
        (left, top, right, bottom, area_width, area_height, line_bottom, view_width, view_height, page_width,
         page_height) = self.script("""
            var c = Module.canvas.getBoundingClientRect(), s = document.getElementById('stage').getBoundingClientRect();
            var page = document.scrollingElement;
            return [c.left, c.top, c.right, c.bottom, s.width, s.height,
                    document.getElementById('bar').getBoundingClientRect().bottom,
                    innerWidth, innerHeight, page.scrollWidth, page.scrollHeight];""")
        width, height = right - left, bottom - top
        problems = []
        if page_width > view_width or page_height > view_height:
            problems.append(f"the page scrolls ({page_width} x {page_height})")
        if left < 0 or top < 0 or right > view_width + 0.5 or bottom > view_height + 0.5 or line_bottom > view_height + 0.5:
            problems.append(f"the canvas ({left:.0f}, {top:.0f}) to ({right:.0f}, {bottom:.0f}) or the line "
                            f"below it (to {line_bottom:.0f}) is not wholly in view")
        if abs(width * HEIGHT - height * WIDTH) > WIDTH:
            problems.append(f"the canvas is shown {width:.1f} x {height:.1f}, not in its aspect ratio")
        if min(area_width - width, area_height - height) > 1:
            problems.append(f"the canvas is shown {width:.0f} x {height:.0f} in an area of "
                            f"{area_width:.0f} x {area_height:.0f}")
        if problems:
            raise Failure(f"in a window of {what}: " + "; ".join(problems))
        return width / WIDTH

    def emulate_touch_screen(self, enabled):
        """A screen with touch and no mouse (from the next page on), or the mouse
        again; with touch, clicks are taps."""
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": enabled, "maxTouchPoints": 5})
        self.touch_screen = enabled

    def touch(self, kind, places):
        """The fingers on the screen after this event: one place per finger."""
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {
            "type": kind, "touchPoints": [{"x": x, "y": y, "id": finger} for finger, (x, y) in places.items()]})

    def press(self, control):
        """Holds the control down: its key, or with a touch screen its pad."""
        key, pad = CONTROLS[control]
        if not self.touch_screen:
            return self.key_down(key)
        shown, x, y = self.script("var r = document.getElementById('%s').getBoundingClientRect();"
                                  "return [r.width > 0, r.left + r.width / 2, r.top + r.height / 2]" % pad)
        if not shown:
            raise Failure("the touch screen shows no touch pads during the round")
        self.fingers[control] = (x, y)
        self.touch("touchStart", self.fingers_on_pads())

    def release(self, control):
        if not self.touch_screen:
            return self.key_up(CONTROLS[control][0])
        # Chromium's DevTools lift the first finger down when an event lists
        # fewer, whichever it lists; so all are lifted and the others put
        # back, between two frames of the game.
        del self.fingers[control]
        self.touch("touchEnd", {})
        if self.fingers:
            self.touch("touchStart", self.fingers_on_pads())

    def fingers_on_pads(self):
        return {list(CONTROLS).index(control): place for control, place in self.fingers.items()}

    def pads_shown(self):
        return self.script("return document.getElementById('pads').getBoundingClientRect().width > 0")

    def held_keys(self):
        """The key codes of the keys the game has seen pressed and not released."""
        return sorted(self.script("return Object.values(SDL.keyboardMap)"))

    def wait_until_kept(self):
        """Until the service worker has kept the game's files; answers the caches' names."""
        return self.driver.execute_async_script("""
            var done = arguments[arguments.length - 1];
            navigator.serviceWorker.ready.then(function () { return caches.keys(); })
                                         .then(done, function (error) { done(String(error)); });""")

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

    def canvas_rect(self):
        return self.script("var r = Module.canvas.getBoundingClientRect(); return [r.left, r.top, r.width, r.height]")

    def on_page(self, x, y):
        """The page's place of (x, y) in GL window coordinates, at the scale the page shows the canvas."""
        left, top, width, height = self.canvas_rect()
        return left + (x + 0.5) * width / WIDTH, top + (HEIGHT - 1 - y + 0.5) * height / HEIGHT

    def click(self, x, y, hovered):
        """A click at (x, y) in GL window coordinates, once `hovered` shows that
        the game has seen the pointer there; a tap with a touch screen."""
        page_x, page_y = self.on_page(x, y)
        if self.touch_screen:
            self.touch("touchStart", {len(CONTROLS): (page_x, page_y)})
            self.wait_for(f"tap at ({x}, {y})", hovered)
            time.sleep(CLICK_HOLD)
            self.touch("touchEnd", {})
            return
        left, top, width, height = self.canvas_rect()
        ActionChains(self.driver).move_to_element_with_offset(
            self.canvas, round(page_x - left - width / 2), round(page_y - top - height / 2)).perform()
        self.wait_for(f"hover at ({x}, {y})", hovered)
        ActionChains(self.driver).click_and_hold().pause(CLICK_HOLD).release().perform()

    def click_main_button(self, bottom):
        self.click(WIDTH - 250 + 128, bottom + 18,
                   lambda picture: count(picture, caption_box(bottom), hover_like) >= 25)

    def click_level(self, slot):
        _, left, below_top = slot
        frame = Box(left, HEIGHT - below_top + 32, 6, 64)  # the frame's left edge, beside the thumbnail
        self.click(left + 64, HEIGHT - below_top + 64, lambda picture: count(picture, frame, hover_like) >= 64)

    def pad_tap(self, button, shows=None):
        """A pad button pressed until the game has drawn `shows` (or two frames), then let go."""
        self.script(f"kerboltPadButton({button}, true)")
        if shows:
            self.wait_for(f"the pad's button {button} seen", shows)
        else:
            self.wait_frames(2)
        self.script(f"kerboltPadButton({button}, false)")

    def wait_frames(self, frames):
        end, last = time.monotonic() + SCREEN_TIMEOUT, self.frames() + frames
        while self.frames() < last:
            if time.monotonic() > end:
                raise Failure("the page stopped drawing")
            time.sleep(0.01)

    def key_down(self, key):
        ActionChains(self.driver).key_down(key).perform()

    def key_up(self, key):
        ActionChains(self.driver).key_up(key).perform()

    def wait_until(self, what, condition):
        end = time.monotonic() + SCREEN_TIMEOUT
        while not self.script(condition):
            if time.monotonic() > end:
                raise Failure(f"never: {what}")
            time.sleep(0.1)

    def wait_for_end(self, expected):
        end = time.monotonic() + SCREEN_TIMEOUT
        while self.status() != expected:
            if time.monotonic() > end:
                raise Failure(f"the page never said {expected!r}; it says {self.status()!r}")
            time.sleep(0.2)
        if not self.driver.find_element(By.ID, "again").is_displayed():
            raise Failure("the page offers no way to start again")


def decoded(url):
    """A canvas's picture from its data URL."""
    picture = np.asarray(Image.open(io.BytesIO(base64.b64decode(url.split(",", 1)[1]))).convert("RGB"))
    if picture.shape[:2] != (HEIGHT, WIDTH):
        raise Failure(f"the canvas is {picture.shape[1]} x {picture.shape[0]}, not {WIDTH} x {HEIGHT}")
    return picture


def shows_loading_picture(picture):
    """The loading picture stretched over the whole canvas."""
    expected = Image.open(os.path.join(RESOURCES, "textures/loading.png")).convert("RGB").resize(
        (WIDTH, HEIGHT), Image.BILINEAR)
    return float(np.abs(picture.astype(int) - np.asarray(expected, dtype=int)).mean()) <= 6.0


def check_first_frame(browser, when):
    if not shows_loading_picture(browser.first_frame()):
        raise Failure(f"the first frame of {when} is not the loading picture")


def won_medal(browser, what):
    medals = browser.script("return FS.readFile('/kerbolt/resources/savegame', {encoding: 'utf8'})")
    if medals.split()[0] not in ("1", "2", "3"):
        raise Failure(f"{what} won no medal: the savegame reads {medals!r}")
    return medals.split()[0]


def frame_rate(browser, seconds):
    first, start = browser.frames(), time.monotonic()
    time.sleep(seconds)
    return (browser.frames() - first) / (time.monotonic() - start)


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
HIDDEN_SECONDS = 4
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
// The time a hidden page's frames stand still still passes, as on the wall clock.
document.addEventListener('visibilitychange', function () {
  if (document.hidden) window.kerboltHiddenAt = performance.now();
  else now += performance.now() - window.kerboltHiddenAt;
});
""" % FRAME_MS


def run_to(browser, frame):
    """Lets the page draw until its frame count reaches `frame`, then holds it."""
    browser.script("window.kerboltGate = %d" % frame)
    end = time.monotonic() + SCREEN_TIMEOUT
    while browser.frames() < frame:
        if time.monotonic() > end:
            raise Failure(f"the page stopped drawing before frame {frame}")
        time.sleep(0.01)


def play_level_one(browser, shots, walk=None, jump=None, away=None):
    """Walks right and jumps before each pit: with keys or touches as the
    browser has them, or with the controls given (each takes True to hold,
    False to let go); `away(browser, frame)` is called before the second jump
    and answers how many frames it kept the round still. Answers the round's
    frame rate while the page draws freely (real time)."""
    as_keys = walk is None
    walk = walk or (lambda on: (browser.press if on else browser.release)("right"))
    jump = jump or (lambda on: (browser.press if on else browser.release)("jump"))
    browser.script("window.kerboltGate = Module.kerboltFrames; window.kerboltDrawn.frames = 0;"
                   "window.kerboltDrawn.ms = 0")
    walk_frame = browser.frames()  # the next frame is the first that walks
    step = WALKING_SPEED * FRAME_MS
    walk(True)
    try:
        if shots:  # early, while the view still shows the player: the next frame drawn
            run_to(browser, walk_frame + 12)
            if browser.touch_screen:
                browser.driver.get_screenshot_as_file(os.path.join(shots, "browser-phone.png"))
            else:
                browser.script("window.kerboltCapture = function (url) { window.kerboltShot = url; }")
        for n, take_off in enumerate(TAKE_OFFS):
            if away and n == 1:
                walk_frame += away(browser, browser.frames() + 15)  # in the air
            # After frame f the player stands at START_X + step (f - walk_frame).
            jump_frame = walk_frame + math.ceil((take_off - START_X) / step)
            run_to(browser, jump_frame)
            if as_keys and browser.held_keys() != [RIGHT_ARROW_CODE]:  # the last jump was let go, the run was not
                raise Failure(f"before the jump at {take_off} the game holds the keys {browser.held_keys()}")
            jump(True)
            run_to(browser, jump_frame + 1)
            jump(False)  # released long before the landing, or the next jump would follow
        run_to(browser, walk_frame + math.ceil((LEVEL_END - START_X) / step) + 20)
    finally:
        walk(False)
        browser.script("window.kerboltGate = Infinity")
    if shots and browser.touch_screen:
        Image.open(os.path.join(shots, "browser-phone.png")).convert("RGB").save(
            os.path.join(shots, "browser-phone.jpg"), quality=80)
        os.remove(os.path.join(shots, "browser-phone.png"))
    elif shots:
        shot = browser.script("return window.kerboltShot")
        Image.open(io.BytesIO(base64.b64decode(shot.split(",", 1)[1]))).convert("RGB").save(
            os.path.join(shots, "browser-round.jpg"), quality=80)
    frames, ms = browser.script("return [window.kerboltDrawn.frames, window.kerboltDrawn.ms]")
    return 1000.0 * frames / ms if ms else 0.0


# ---- The medals' storage, seen from a second tab ---------------------------

STORE_FAILED = "Your medals could not be stored in this browser: "
FATAL_AT_START = "Error: Cannot open or create file 'resources/config.cfg'"


def wait_until(what, condition, timeout=SCREEN_TIMEOUT, browser=None):
    end = time.monotonic() + timeout
    while True:
        try:
            if condition():
                return
        except Exception:  # the page is between two documents
            pass
        if time.monotonic() > end:
            raise Failure(f"no {what} within {timeout:.0f} s"
                          + (f"; the page says {browser.status()!r}" if browser else ""))
        time.sleep(0.05)


def wait_for_new_page(browser):
    """After a reload the page marked with window.kerboltOld: the new one's
    game has drawn a frame."""
    wait_until("new page", lambda: browser.script("return !window.kerboltOld && window.Module !== undefined"
                                                  " && Module.kerboltFrames > 0"))


def store_as_the_game(browser, savegame, then=""):
    """What the game does after a won round: writes its savegame and has the
    page store it; `then` runs in the same moment."""
    browser.script("window.kerboltOld = true;"
                   f"FS.writeFile('/kerbolt/resources/savegame', '{savegame}');"
                   "Module.kerboltStoreSavegame();" + then)


def savegame_of(browser):
    return browser.script("return FS.readFile('/kerbolt/resources/savegame', {encoding: 'utf8'})")


# Holds the page's store back behind a transaction of the test that stays
# open until window.kerboltRelease() is called.
HOLD_STORE = """
var open = indexedDB.open('/kerbolt/resources', 21);
open.onsuccess = function () {
  var held = true, store = open.result.transaction(['FILE_DATA'], 'readwrite').objectStore('FILE_DATA');
  (function spin() { store.get('none').onsuccess = function () { if (held) spin(); }; })();
  window.kerboltRelease = function () { held = false; };
  window.kerboltHolding = true;
};
"""
# The browser ends the page's store before it commits, as on a full disk.
ABORT_STORES = """
var put = IDBObjectStore.prototype.put;
IDBObjectStore.prototype.put = function () {
  var request = put.apply(this, arguments);
  this.transaction.abort();
  return request;
};
"""
# The player's configuration is gone when the game starts: the page's own
# start-up (onRuntimeInitialized) runs, then the file is removed.
NO_CONFIGURATION = """
Object.defineProperty(window, 'Module', { configurable: true, set: function (page) {
  Object.defineProperty(window, 'Module', { value: page, writable: true, configurable: true });
  var ready;
  Object.defineProperty(page, 'onRuntimeInitialized', { configurable: true,
    set: function (then) { ready = then; },
    get: function () { return function () { ready(); FS.unlink('/kerbolt/resources/config.cfg'); }; } });
} });
"""


def second_tab_steps(browser, first_medal):
    """In a tab opened before the first tab's round: its savegame still says
    no medal. Its steps end with the tab closed."""
    # A store that is held back holds the unload and "Start again" too.
    browser.script(HOLD_STORE)
    wait_until("held store", lambda: browser.script("return window.kerboltHolding"))
    store_as_the_game(browser, "0 2 0 0 0 0 0 ")
    time.sleep(0.5)
    held_unload = browser.script("var leave = new Event('beforeunload', {cancelable: true});"
                                 "window.dispatchEvent(leave); return leave.defaultPrevented")
    browser.script("document.getElementById('again').click()")
    time.sleep(0.5)
    if not browser.script("return window.kerboltOld === true && Module.kerboltStoring()"):
        raise Failure("'Start again' did not wait for the store under way")
    if not held_unload:
        raise Failure("the page let itself be left while a store was under way")
    browser.script("window.kerboltRelease()")
    wait_for_new_page(browser)  # "Start again" went on once the store had ended
    medals = savegame_of(browser).split()
    if medals[:2] != [first_medal, "2"]:
        raise Failure(f"the old tab's store took medals away: its savegame reads {medals}")

    # A store and a reload in the same moment: the medal is kept.
    store_as_the_game(browser, "0 2 0 0 0 3 0 ", "location.reload();")
    wait_for_new_page(browser)
    medals = savegame_of(browser).split()
    if medals[:2] != [first_medal, "2"] or medals[5] != "3":
        raise Failure(f"a reload at the moment of the save lost the medal: the savegame reads {medals}")

    # A store that the browser ends before it commits is reported in the page.
    browser.script(ABORT_STORES)
    store_as_the_game(browser, "0 2 0 0 0 3 1 ")
    wait_until("store failure in the page",
               lambda: browser.status().startswith(STORE_FAILED)
               and not browser.script("return Module.kerboltStoring()"), browser=browser)

    # A fatal error before the first frame keeps its line.
    no_configuration = browser.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                                      {"source": NO_CONFIGURATION})
    browser.driver.refresh()
    browser.wait_for_end(FATAL_AT_START)
    time.sleep(1.0)
    if browser.status() != FATAL_AT_START:
        raise Failure(f"the fatal error's line did not stay; the page says {browser.status()!r}")
    browser.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", no_configuration)

    # A script that cannot be loaded ends the page with an error.
    browser.driver.execute_cdp_cmd("Network.enable", {})
    browser.driver.execute_cdp_cmd("Network.setBlockedURLs", {"urls": ["*/kerbolt.js"]})
    browser.driver.refresh()
    wait_until("error line for the missing script",
               lambda: browser.status().startswith("Error: the game could not be loaded")
               and browser.driver.find_element(By.ID, "again").is_displayed(), timeout=20, browser=browser)
    browser.driver.execute_cdp_cmd("Network.setBlockedURLs", {"urls": []})
    browser.collect_console()
    browser.driver.close()


def picture_at(browser, frame):
    """The picture of the page's frame number `frame` (the page held before it)."""
    browser.script("window.kerboltShot = null;"
                   "window.kerboltCapture = function (url) { window.kerboltShot = url; }")
    run_to(browser, frame)
    return browser.picture(browser.script("return window.kerboltShot"))


def hide_during_round(browser, frame):
    """Another tab in front of the page for some seconds after frame `frame`
    (the page draws nothing meanwhile, and its clock runs on): the round must
    stand still under its notice, not be lost, until P. Answers the frames it
    stood still."""
    run_to(browser, frame)
    page = browser.driver.current_window_handle
    browser.driver.switch_to.new_window("tab")
    time.sleep(HIDDEN_SECONDS)
    browser.driver.close()
    browser.driver.switch_to.window(page)
    first, later = picture_at(browser, frame + 2), picture_at(browser, frame + 5)
    if not (shows_round(later) and np.array_equal(first[60:], later[60:])):  # all but the overlay's counters
        raise Failure("after the page was hidden the round did not stand still")
    if count(later, Box(WIDTH // 2 - 50, HEIGHT // 2, 110, 30), text_like) < 100:
        raise Failure('the paused round does not say "Paused"')
    browser.key_down("p")
    run_to(browser, frame + 6)  # this frame still stands; the next moves
    browser.key_up("p")
    return 6


def check_console(entries):
    # Failures the test caused on purpose.
    expected = (STORE_FAILED, "kerbolt.js - Failed to load resource", FATAL_AT_START,
                "'beforeunload' confirmation panel for a frame that never had a user gesture")
    entries = [e for e in entries if not any(text in e["message"] for text in expected)]
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
        browser.set_viewport(*WINDOWS[0])
        browser.open()
        main = browser.wait_for("main screen", shows_main_screen)
        load_ms = browser.script("return Module.kerboltFirstFrameAt")
        check_first_frame(browser, "the first visit")
        scales = [browser.check_fit("%d x %d" % WINDOWS[0])]
        if not shows_island(main):
            raise Failure("the main screen shows no island (the terrain's shader path draws nothing)")
        if shots:
            Image.fromarray(main).save(os.path.join(shots, "browser-main.jpg"), quality=80)
        figures = [scene_figures(browser, "main screen", 5.0)]

        # A second tab, open from here on with no medals, draws no frames.
        first_tab = browser.driver.current_window_handle
        browser.driver.switch_to.new_window("tab")
        browser.driver.get(browser.url)
        wait_until("second tab", lambda: browser.frames() > 0)
        browser.script("Module.preMainLoop = function () { return false; }")
        second_tab = browser.driver.current_window_handle
        browser.driver.switch_to.window(first_tab)

        browser.click_main_button(START_GAME)
        levels = browser.wait_for("level selection with seven thumbnails", shows_level_selection)
        if any(medal_pixels(levels, slot) >= 30 for slot in LEVEL_SLOTS):
            raise Failure("a first visit shows medals; it should start with none")
        figures.append(scene_figures(browser, "level selection", 3.0))
        browser.script("window.kerboltWatchRound = true;" + GAME_CLOCK)
        browser.click_level(LEVEL_SLOTS[0])
        browser.wait_for_round()
        if browser.pads_shown():
            raise Failure("a desktop browser with a mouse shows the touch pads")
        browser.script(TAKE_FRAME_LOG)
        round_fps = play_level_one(browser, shots)
        figures.append(scene_figures(browser, "round, Level 1", fps=round_fps))
        browser.wait_for("result screen", shows_result_screen)
        most_draws = browser.script("return window.kerboltMostDraws")
        if most_draws > MOST_DRAWS:
            raise Failure(f"a frame between the screens draws {most_draws} times, more than {MOST_DRAWS}")
        medals = won_medal(browser, "the round played with keys")
        wait_until("end of the store", lambda: not browser.script("return Module.kerboltStoring()"))
        if browser.status():
            raise Failure(f"after the store the page says {browser.status()!r}")
        browser.collect_console()

        browser.driver.switch_to.window(second_tab)
        second_tab_steps(browser, medals)
        browser.driver.switch_to.window(first_tab)

        browser.reload()  # the medals must come back from the browser's storage
        browser.wait_for("main screen after the reload", shows_main_screen)
        # The pad alone: down lights ".start game", its bottom button presses it.
        browser.pad_tap(PAD_DOWN, lambda p: count(p, caption_box(START_GAME), hover_like) >= 25)
        browser.pad_tap(PAD_SOUTH, shows_level_selection)
        levels = browser.wait_for("level selection after the reload", shows_level_selection)
        if medal_pixels(levels, LEVEL_SLOTS[0]) < 30:
            raise Failure("after the reload Level 1 shows no medal")
        browser.script("FS.writeFile('/kerbolt/resources/savegame', '0 0 0 0 0 0 0 ')")
        browser.script("window.kerboltWatchRound = true;" + GAME_CLOCK)
        browser.pad_tap(PAD_RIGHT, lambda p: count(p, Box(50, HEIGHT - 250 + 32, 6, 64), hover_like) >= 64)
        browser.pad_tap(PAD_SOUTH)
        browser.wait_for_round()
        play_level_one(browser, False, lambda on: browser.script("kerboltPadStick(%d)" % on),
                       lambda on: browser.script("kerboltPadButton(%d, %s)" % (PAD_SOUTH, str(on).lower())),
                       hide_during_round)
        browser.wait_for("result screen after the pad's round", shows_result_screen)
        won_medal(browser, "the pad's round")

        # Offline on a phone: the page and the game from the service worker's
        # cache, the medal from the browser's storage, a round won by touch.
        caches = browser.wait_until_kept()
        if not any(name.startswith("kerbolt-") for name in caches):
            raise Failure(f"the service worker keeps no cache of the game's files: {caches!r}")
        server.terminate()
        server.wait()
        browser.emulate_touch_screen(True)
        browser.set_viewport(*WINDOWS[1])
        browser.reload()
        browser.wait_for("main screen after an offline reload", shows_main_screen)
        check_first_frame(browser, "the offline reload")
        scales.append(browser.check_fit("%d x %d" % WINDOWS[1]))
        browser.click_main_button(START_GAME)  # taps from here on
        levels = browser.wait_for("level selection after the reload", shows_level_selection)
        if medal_pixels(levels, LEVEL_SLOTS[0]) < 30:
            raise Failure("after the reload Level 1 shows no medal")
        if medal_pixels(levels, LEVEL_SLOTS[1]) < 30 or medal_pixels(levels, LEVEL_SLOTS[5]) < 30:
            raise Failure("after the reload Level 2 or Level 5 shows no medal from the second tab")
        browser.script("FS.writeFile('/kerbolt/resources/savegame', '0 0 0 0 0 0 0 ')")  # so the next medal shows
        browser.script("window.kerboltWatchRound = true;" + GAME_CLOCK)
        browser.click_level(LEVEL_SLOTS[0])
        browser.wait_for_round()
        play_level_one(browser, shots)
        browser.wait_for("result screen after the round played by touch", shows_result_screen)
        won_medal(browser, "the round played by touch")
        if browser.pads_shown() or browser.held_keys():
            raise Failure(f"after the round the touch pads are shown ({browser.pads_shown()}) "
                          f"or the game holds keys ({browser.held_keys()})")

        # The menus with the mouse at other scales.
        browser.emulate_touch_screen(False)
        for window in WINDOWS[2:]:
            browser.set_viewport(*window)
            scales.append(browser.check_fit("%d x %d" % window))
            browser.click_main_button(START_GAME)
            browser.wait_for(f"level selection in a window of {window}", shows_level_selection)
            browser.click_main_button(QUIT_GAME)  # ".main menu"
            browser.wait_for("main screen", shows_main_screen)

        # Full screen, and Escape leaves it without ending the game.
        browser.driver.find_element(By.ID, "fullscreen").click()
        browser.wait_until("the game's area is full screen",
                           "return document.fullscreenElement === document.getElementById('stage')")
        browser.check_fit("full screen")
        browser.key_down(Keys.ESCAPE)
        browser.key_up(Keys.ESCAPE)
        browser.wait_until("full screen is left", "return !document.fullscreenElement")
        browser.wait_for("main screen after leaving full screen", shows_main_screen)
        browser.click_main_button(QUIT_GAME)  # ".quit game"
        browser.wait_for_end("The game has ended.")
        browser.collect_console()

        browser.start_again()
        browser.wait_for("main screen after starting again", shows_main_screen)
        browser.key_down(Keys.ESCAPE)  # held until seen: a tap can fall between two slow frames
        browser.wait_for_end("The game has ended.")
        browser.key_up(Keys.ESCAPE)
        browser.collect_console()
        check_console(browser.console)

        # A fatal error: without its savegame the level selection cannot open.
        browser.start_again()
        browser.wait_for("main screen before the fatal error", shows_main_screen)
        browser.script("FS.unlink('/kerbolt/resources/savegame')")
        browser.click_main_button(START_GAME)
        browser.wait_for_end("Error: Cannot open or create file 'resources/savegame'")
        print(f"browser_test: passed; Level 1 won with medal {medals}; first frame "
              f"{load_ms / 1000:.2f} s after the page was requested (headless Chromium, SwiftShader); canvas "
              "shown at " + ", ".join(f"{scale:.2f}" for scale in scales) + " of its size")
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
