#!/usr/bin/python3
"""The game as a player meets it: a real window on an X server (Xvfb, with the openbox window
manager), driven by xdotool and wmctrl and photographed with ImageMagick's import; the game
installed into a temporary prefix; and its Debian package's licences. ctest runs one case per
test:

    desktop_test.py --game BIN --data DIR --build DIR --version V --scratch DIR CASE

Exit status 77 (ctest's skip) only when a program these tests need is not installed;
scripts/packages.txt lists them all. Waits poll for what they wait for, with a deadline.
"""

import argparse
import configparser
import glob
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
import xml.etree.ElementTree as ElementTree

from PIL import Image, ImageChops, ImageStat

SKIP = 77
FRAME_W, FRAME_H = 800, 600
TITLE = "Save Quibbet!"
# Escape held over frame 0 ends the intro; released at once, it lets the game scene run.
SKIP_INTRO = "0 key down 27\n1 key up 27\n"

X_TOOLS = ["Xvfb", "openbox", "xdotool", "wmctrl", "import", "xwininfo", "xmessage"]
INSTALL_TOOLS = ["desktop-file-validate", "appstreamcli", "man", "groff"]
PACKAGE_TOOLS = ["cpack", "dpkg-deb"]
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# openbox with no key bindings of its own, so every key goes to the game, and new windows
# take the focus as on a usual desktop.
OPENBOX_RC = """<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy></placement>
  <desktops><number>1</number></desktops>
  <keyboard></keyboard>
  <mouse></mouse>
</openbox_config>
"""


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(condition, what, timeout=60.0, interval=0.05):
    """Polls `condition` until it returns something true; returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            stuck = "".join("\n" + game.stacks() for game in Game.live)
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}{stuck}")
        time.sleep(interval)


def hold_for(seconds):
    """A stretch of real time that the game must spend in some state; only for checks that
    something does NOT happen, which no event announces."""
    time.sleep(seconds)


# ---- The X server ----------------------------------------------------------------------


class Desktop:
    """Xvfb with openbox on a free display number."""

    def __init__(self, scratch, width, height):
        self.width, self.height = width, height
        self.scratch = scratch
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_fd], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        check(number, "Xvfb did not start")
        # SDL's dummy sound device plays at the real pace into nothing: the game's sound runs
        # as on a desktop, where a machine without a sound card would only say it has none.
        # The player's settings, records and screenshots go to the test's own folders.
        self.env = dict(os.environ, DISPLAY=":" + number, SDL_AUDIODRIVER="dummy",
                        XDG_CONFIG_HOME=os.path.join(scratch, "config"),
                        XDG_DATA_HOME=os.path.join(scratch, "data"),
                        XDG_PICTURES_DIR=os.path.join(scratch, "pictures"))
        for name in ("WAYLAND_DISPLAY", "SDL_VIDEODRIVER"):
            self.env.pop(name, None)
        rc = os.path.join(scratch, "openbox-rc.xml")
        with open(rc, "w") as f:
            f.write(OPENBOX_RC)
        self.wm = subprocess.Popen(["openbox", "--config-file", rc], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: self.run(["wmctrl", "-m"], check_rc=False).returncode == 0,
                   "the window manager")

    def close(self):
        for process in (self.wm, self.xvfb):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()

    def run(self, args, check_rc=True):
        result = subprocess.run(args, env=self.env, capture_output=True, text=True)
        if check_rc and result.returncode != 0:
            raise Failure(f"{' '.join(args)} failed: {result.stderr.strip()}")
        return result

    def xdotool(self, *args):
        return self.run(["xdotool", *map(str, args)]).stdout

    def pointer(self):
        fields = dict(item.split(":") for item in self.xdotool("getmouselocation").split())
        return int(fields["x"]), int(fields["y"])

    def move_pointer(self, x, y):
        self.xdotool("mousemove", x, y)

    def geometry(self, window):
        """Position on the screen, size and map state of a window."""
        info = {}
        for line in self.run(["xwininfo", "-id", str(window)]).stdout.splitlines():
            key, _, value = line.strip().partition(":")
            info[key] = value.strip()
        return {"x": int(info["Absolute upper-left X"]), "y": int(info["Absolute upper-left Y"]),
                "w": int(info["Width"]), "h": int(info["Height"]),
                "mapped": info["Map State"] == "IsViewable"}

    def windows(self, pid, name):
        """Visible windows by name, of one process or (pid None) of any."""
        owner = ["--pid", str(pid)] if pid is not None else []
        result = self.run(["xdotool", "search", "--all", "--onlyvisible", *owner, "--name", name],
                          check_rc=False)
        return [int(line) for line in result.stdout.split()]

    def managed(self, title):
        """Windows the window manager keeps with this title, shown or not. (xdotool misses
        titles set in UTF-8, as SDL's message boxes set theirs.)"""
        found = []
        # A window that goes while wmctrl reads the list fails the listing: ask again.
        def listing():
            result = self.run(["wmctrl", "-l"], check_rc=False)
            return [result.stdout] if result.returncode == 0 else None

        for line in wait_until(listing, "the window list", interval=0.02)[0].splitlines():
            fields = line.split(None, 3)
            if len(fields) == 4 and fields[3] == title:
                found.append(int(fields[0], 16))
        return found

    def screenshot(self, window, path):
        self.run(["import", "-silent", "-window", str(window), path])
        return Image.open(path).convert("RGB")


# ---- The game --------------------------------------------------------------------------


class Game:
    count = 0
    live = []  # every game started, for stacks when a wait times out

    def __init__(self, ctx, desktop, args):
        Game.count += 1
        self.ctx = ctx
        self.desktop = desktop
        self.name = f"game{Game.count}"
        self.summary_path = os.path.join(ctx.scratch, self.name + ".json")
        self.err_path = os.path.join(ctx.scratch, self.name + ".err")
        command = [ctx.game, "--summary", self.summary_path, *map(str, args)]
        # Unless the case records frames itself, the first frame tells that the intro runs.
        self.first_frame = None
        if "--record" not in args:
            record = os.path.join(ctx.scratch, self.name + "-start")
            os.makedirs(record)
            command += ["--record", record, "--record-frames", "0"]
            self.first_frame = os.path.join(record, "frame_000000.png")
        if "--data" not in args:
            command += ["--data", ctx.data]
        with open(self.err_path, "w") as err:
            self.process = subprocess.Popen(command, env=desktop.env, stdin=subprocess.DEVNULL,
                                            stdout=subprocess.DEVNULL, stderr=err)
        self.window = None
        Game.live.append(self)

    def wait_window(self):
        def shown():
            for window in self.desktop.windows(self.process.pid, f"^{TITLE}$"):
                try:
                    return window, self.desktop.geometry(window)
                except Failure:
                    pass  # gone again while being looked at
            return None

        self.window, geometry = wait_until(shown, "the game's window")
        return geometry

    def wait_playing(self):
        """Until the intro shows its first frame: a window closed before that still runs
        every scene for a frame."""
        wait_until(lambda: os.path.exists(self.first_frame), "the intro's first frame")

    def running(self):
        return self.process.poll() is None

    def finish(self, timeout=120):
        try:
            code = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            stacks = self.stacks()
            self.process.kill()
            raise Failure(f"the game did not end within {timeout} s\n{stacks}")
        return code

    def stacks(self):
        """Where a game that does not get on is, for the failure message."""
        if not self.running() or shutil.which("gdb") is None:
            return ""
        result = subprocess.run(["gdb", "-p", str(self.process.pid), "-batch", "-ex",
                                 "thread apply all bt"], capture_output=True, text=True)
        return "\n".join(line for line in result.stdout.splitlines() if line.startswith("#"))

    def stop(self):
        if self.running():
            self.process.kill()
            self.process.wait()

    def summary(self):
        with open(self.summary_path) as f:
            return json.load(f)

    def errors(self):
        with open(self.err_path) as f:
            return f.read()

    def scene_ends(self):
        return {scene["name"]: scene["end"] for scene in self.summary()["scenes"]}

    def size(self):
        window = self.desktop.geometry(self.window)
        return window["w"], window["h"]

    def focus(self):
        self.desktop.xdotool("windowactivate", "--sync", self.window)

    def close_by_window_manager(self):
        self.desktop.run(["wmctrl", "-i", "-c", hex(self.window)])


def script(ctx, name, text):
    path = os.path.join(ctx.scratch, name + ".txt")
    with open(path, "w") as f:
        f.write(text)
    return path


def headless_frame(ctx, name, script_text, frames, extra=()):
    """The frame with index frames - 1 of a headless run, as the reference of a real one."""
    record = os.path.join(ctx.scratch, name)
    os.makedirs(record, exist_ok=True)
    subprocess.run([ctx.game, "--headless", "--turbo", "--seed", "1", "--data", ctx.data,
                    "--input", script(ctx, name, script_text), "--max-frames", str(frames),
                    "--record", record, "--record-frames", str(frames - 1), *extra],
                   check=True, stdout=subprocess.DEVNULL)
    return Image.open(os.path.join(record, f"frame_{frames - 1:06d}.png")).convert("RGB")


def recorded(directory):
    return sorted(glob.glob(os.path.join(directory, "frame_*.png")))


def recorded_count(directory):
    # A frame counts once its file is complete: the newest one may still be being written.
    return max(0, len(recorded(directory)) - 1)


def photograph(desktop, window, record, path):
    """A screenshot taken while the game records every frame, and the indices of the frames it
    can show: from the last one fully written before it to the first one not written after."""
    before = len(recorded(record))
    shot = desktop.screenshot(window, path)
    after = len(recorded(record))
    return shot, range(max(0, before - 2), after + 2)


def frame(record, index):
    return Image.open(os.path.join(record, f"frame_{index:06d}.png")).convert("RGB")


def shown_frame(record, picture, candidates, measure, shrink=Image.NEAREST):
    """Which of the candidate frames `picture` shows (enlarged by a whole multiple, or
    smoothed), as (measure, index); compared at frame size, then once more at full size."""
    small = picture.resize((FRAME_W, FRAME_H), shrink)
    present = [i for i in candidates if os.path.exists(os.path.join(record, f"frame_{i:06d}.png"))]
    check(present, f"none of the frames {list(candidates)} was recorded")
    score, index = min((measure(small, frame(record, i)), i) for i in present)
    resample = Image.NEAREST if shrink == Image.NEAREST else Image.BILINEAR
    full = measure(picture, frame(record, index).resize(picture.size, resample))
    return max(score, full), index


def other_frame_differs(record, picture, index, measure, limit, shrink=Image.NEAREST):
    """A frame half a second away does not pass for the one shown, or the match says nothing."""
    other = index - 10 if index >= 10 else index + 10
    return measure(picture.resize((FRAME_W, FRAME_H), shrink), frame(record, other)) > limit


def largest_difference(a, b):
    return max(high for _, high in ImageChops.difference(a, b).getextrema())


def mean_difference(a, b):
    return sum(ImageStat.Stat(ImageChops.difference(a, b)).mean) / 3


def is_black(image):
    return all(high <= 2 for _, high in image.getextrema())


# ---- Cases: the window ------------------------------------------------------------------


def WindowOpensAtTheRequestedScaleAndTheBusFollowsTheMouse(ctx):
    desktop = ctx.desktop(2560, 1600)
    for scale, (fx, fy) in ((1, (400, 200)), (2, (400, 333))):
        record = os.path.join(ctx.scratch, f"bus{scale}")
        os.makedirs(record)
        game = ctx.game_on(desktop, ["--window", "--scale", scale, "--seed", 1, "--input",
                                     script(ctx, "skip", SKIP_INTRO), "--max-frames", 60,
                                     "--record", record, "--record-frames", 59])
        window = game.wait_window()
        check((window["w"], window["h"]) == (FRAME_W * scale, FRAME_H * scale),
              f"a window of {window['w']} x {window['h']} at scale {scale}")
        # The last screen pixel of frame pixel (fx, fy), so that rounding is tested too.
        desktop.move_pointer(window["x"] + 10, window["y"] + 10)
        desktop.move_pointer(window["x"] + fx * scale + scale - 1,
                             window["y"] + fy * scale + scale - 1)
        check(game.finish() == 0, game.errors())
        shown = Image.open(os.path.join(record, "frame_000059.png")).convert("RGB")
        expected = headless_frame(ctx, f"bus_ref{scale}", SKIP_INTRO + f"1 mouse move {fx} {fy}\n",
                                  60)
        unmoved = headless_frame(ctx, f"bus_unmoved{scale}", SKIP_INTRO, 60)
        check(largest_difference(expected, unmoved) > 0, "the reference frames do not differ")
        check(largest_difference(shown, expected) == 0,
              f"at scale {scale} the bus is not where a pointer at frame y {fy} puts it")


def ScreenshotOfTheWindowMatchesARecordedFrame(ctx):
    desktop = ctx.desktop(2560, 1600)
    for scale in (1, 2):
        record = os.path.join(ctx.scratch, f"shots{scale}")
        os.makedirs(record)
        game = ctx.game_on(desktop, ["--window", "--scale", scale, "--seed", 1, "--input",
                                     script(ctx, "skip", SKIP_INTRO), "--max-frames", 40,
                                     "--record", record])
        game.wait_window()
        wait_until(lambda: recorded_count(record) >= 15, "15 recorded frames")
        shot, candidates = photograph(desktop, game.window, record,
                                      os.path.join(ctx.scratch, f"shot{scale}.png"))
        check(game.finish() == 0, game.errors())
        check(shot.size == (FRAME_W * scale, FRAME_H * scale), f"a screenshot of {shot.size}")
        # Whole multiples are nearest-neighbour: every screen pixel is its frame pixel, up to
        # the rounding of 5 and 6 bits to 8 that the renderer does its own way.
        difference, index = shown_frame(record, shot, candidates, largest_difference)
        check(difference <= 2, f"none of the frames {list(candidates)} is the window at scale "
                               f"{scale}: closest {index}, by {difference}")
        check(other_frame_differs(record, shot, index, largest_difference, 2),
              "another frame matches as well: the comparison tells nothing")


def fullscreen_run(ctx, desktop, name, extra):
    record = os.path.join(ctx.scratch, name)
    os.makedirs(record)
    game = ctx.game_on(desktop, ["--seed", 1, "--input", script(ctx, "skip", SKIP_INTRO),
                                 "--max-frames", 40, "--record", record, *extra])
    window = game.wait_window()
    check((window["w"], window["h"]) == (desktop.width, desktop.height),
          f"full screen is {window['w']} x {window['h']}")
    return game, record


def FullScreenFitsTheFrameWithBlackBordersAndTheBorderMovesTheBus(ctx):
    desktop = ctx.desktop(2560, 1600)
    game, record = fullscreen_run(ctx, desktop, "sharp", [])
    # 1600 / 600 is 2.67: enlarged twice by whole pixels, then smoothed to 2133 x 1600,
    # 213 pixels of black on either side. The pointer in the left border is at frame y 300.
    desktop.move_pointer(10, 10)
    desktop.move_pointer(50, 800)
    wait_until(lambda: recorded_count(record) >= 15, "15 recorded frames")
    shot, candidates = photograph(desktop, "root", record, os.path.join(ctx.scratch, "sharp.png"))
    check(game.finish() == 0, game.errors())
    check(is_black(shot.crop((0, 0, 213, 1600))), "the left border is not black")
    check(is_black(shot.crop((2346, 0, 2560, 1600))), "the right border is not black")
    # Smoothing blurs the pixels' edges, so the whole picture is compared on average.
    picture = shot.crop((213, 0, 2346, 1600))
    difference, index = shown_frame(record, picture, candidates, mean_difference, Image.BOX)
    check(difference < 3, f"the picture is not a smoothed frame: closest {index}, by "
                          f"{difference:.2f} on average")
    check(other_frame_differs(record, picture, index, mean_difference, 3, Image.BOX),
          "another frame matches as well: the comparison tells nothing")
    expected = headless_frame(ctx, "border_ref", SKIP_INTRO + "1 mouse move 0 300\n", 40)
    shown = frame(record, 39)
    check(largest_difference(shown, expected) == 0,
          "the pointer in the border did not put the bus at frame y 300")


def IntegerScaleShowsWholePixelsOnly(ctx):
    desktop = ctx.desktop(2560, 1600)
    game, record = fullscreen_run(ctx, desktop, "integer", ["--integer-scale"])
    wait_until(lambda: recorded_count(record) >= 15, "15 recorded frames")
    shot, candidates = photograph(desktop, "root", record,
                                  os.path.join(ctx.scratch, "integer.png"))
    check(game.finish() == 0, game.errors())
    # Twice the frame, 1600 x 1200, in the middle; black all round.
    picture = (480, 200, 2080, 1400)
    outside = shot.copy()
    outside.paste((0, 0, 0), picture)
    check(is_black(outside), "black borders around the picture")
    difference, index = shown_frame(record, shot.crop(picture), candidates, largest_difference)
    check(difference <= 2, f"the picture is not the frame at 2x: closest {index}, by "
                           f"{difference}")


def AltEnterTogglesFullScreenAndAltKeysStayOutOfTheGame(ctx):
    desktop = ctx.desktop(1920, 1080)
    game = ctx.game_on(desktop, ["--window", "--seed", 1])
    game.wait_window()
    game.focus()
    desktop.xdotool("key", "alt+Return")
    wait_until(lambda: game.size() == (1920, 1080), "full screen after Alt+Enter")
    desktop.xdotool("key", "alt+Return")
    wait_until(lambda: game.size() == (800, 600), "the window back after Alt+Enter")
    # Held with Alt, Escape is a system key: the intro must go on.
    desktop.xdotool("keydown", "alt", "keydown", "Escape")
    hold_for(0.6)
    desktop.xdotool("keyup", "Escape", "keyup", "alt")
    hold_for(0.6)
    check(game.running(), "Alt+Escape reached the game and ended it")
    # Escape alone ends the intro and, still held, the game and the credits.
    desktop.xdotool("keydown", "Escape")
    code = game.finish()
    desktop.xdotool("keyup", "Escape")
    check(code == 0, game.errors())
    ends = game.scene_ends()
    check(ends.get("intro") == "escape", f"scenes ended {ends}")


def PointerIsConfinedWhilePlayingAndFreeWithoutFocus(ctx):
    desktop = ctx.desktop(1920, 1080)
    record = os.path.join(ctx.scratch, "focus")
    os.makedirs(record)
    game = ctx.game_on(desktop, ["--window", "--seed", 1, "--input",
                                 script(ctx, "skip", SKIP_INTRO), "--record", record])
    window = game.wait_window()
    game.focus()

    def inside():
        x, y = desktop.pointer()
        return (window["x"] <= x < window["x"] + window["w"]
                and window["y"] <= y < window["y"] + window["h"])

    def pointer_goes_to(x, y):
        desktop.move_pointer(x, y)
        return desktop.pointer() == (x, y)

    wait_until(lambda: desktop.move_pointer(0, 0) or inside(), "the pointer kept in the window")
    # Another program takes the focus: the pointer is free and the game plays on.
    other = subprocess.Popen(["xmessage", "-geometry", "+0+0", "another program"],
                             env=desktop.env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    try:
        wait_until(lambda: pointer_goes_to(5, 5),
                   "the pointer free while another window has the focus")
        frames = recorded_count(record)
        wait_until(lambda: recorded_count(record) >= frames + 10,
                   "the game going on without the focus")
    finally:
        other.terminate()
        other.wait()
    game.focus()
    wait_until(lambda: desktop.move_pointer(0, 0) or inside(), "the pointer kept in again")
    game.close_by_window_manager()
    check(game.finish() == 0, game.errors())


def MinimizingPausesTheGame(ctx):
    desktop = ctx.desktop(1920, 1080)
    record = os.path.join(ctx.scratch, "minimize")
    os.makedirs(record)
    game = ctx.game_on(desktop, ["--window", "--seed", 1, "--record", record])
    game.wait_window()
    wait_until(lambda: recorded_count(record) >= 5, "5 recorded frames")
    desktop.xdotool("windowminimize", "--sync", game.window)
    hold_for(0.3)  # a frame under way when the window went is finished
    paused_at = recorded_count(record)
    hold_for(1.0)
    check(recorded_count(record) == paused_at, "frames went on while the window was minimized")
    desktop.xdotool("windowactivate", "--sync", game.window)
    wait_until(lambda: recorded_count(record) >= paused_at + 5, "the game going on when restored")
    game.close_by_window_manager()
    check(game.finish() == 0, game.errors())


def WindowManagerCloseEndsTheRunCleanly(ctx):
    desktop = ctx.desktop(1920, 1080)
    for extra in ([], ["--window"]):
        game = ctx.game_on(desktop, ["--seed", 1, *extra])
        game.wait_window()
        game.wait_playing()
        game.close_by_window_manager()
        check(game.finish() == 0, game.errors())
        # The scenes after the intro still run, for a frame each, as with any closed window.
        check(set(game.scene_ends().values()) == {"closed"}, f"scenes ended {game.scene_ends()}")
        check(not game.errors(), f"the run complained: {game.errors()}")
    check(is_free(desktop), "the pointer stays held after the run")


def is_free(desktop):
    desktop.move_pointer(3, 3)
    return desktop.pointer() == (3, 3)


def SignalsEndTheRunLikeAClosedWindow(ctx):
    desktop = ctx.desktop(1920, 1080)
    for sig, minimized in ((signal.SIGTERM, False), (signal.SIGINT, False),
                           (signal.SIGTERM, True)):
        game = ctx.game_on(desktop, ["--seed", 1, *(["--window"] if minimized else [])])
        game.wait_window()
        game.wait_playing()
        if minimized:  # the run then waits inside the platform for the window to come back
            desktop.xdotool("windowminimize", "--sync", game.window)
        game.process.send_signal(sig)
        check(game.finish() == 0, f"{sig.name}: {game.errors()}")
        check(set(game.scene_ends().values()) == {"closed"}, f"scenes ended {game.scene_ends()}")
        check(is_free(desktop), f"the pointer is held after {sig.name}")


def FatalBoxReleasesTheScreenAndThePointer(ctx):
    desktop = ctx.desktop(1920, 1080)
    empty = os.path.join(ctx.scratch, "no-data")
    os.makedirs(empty)
    game = ctx.game_on(desktop, ["--data", empty])
    box = wait_until(lambda: desktop.managed("I/O ERROR"), "the error box")[0]
    # While the box waits for the player, nothing of the game holds the screen or the pointer.
    window = desktop.managed(TITLE)[0]
    wait_until(lambda: not desktop.geometry(window)["mapped"],
               "the full-screen window out of the way of the error box")
    check(is_free(desktop), "the pointer is held while the error box is up")
    desktop.run(["wmctrl", "-i", "-c", hex(box)])
    check(game.finish() == 1, game.errors())
    check("were looked for in" in game.errors() and empty in game.errors(),
          f"the places searched are not named: {game.errors()}")


# ---- Cases: the player's controls ------------------------------------------------------


def KeysSteerTheBusAndFire(ctx):
    desktop = ctx.desktop(1920, 1080)
    record = os.path.join(ctx.scratch, "keys")
    os.makedirs(record)
    saved = os.path.join(ctx.scratch, "keys-saved.txt")
    game = ctx.game_on(desktop, ["--window", "--seed", 1, "--input",
                                 script(ctx, "skip", SKIP_INTRO), "--save-input", saved,
                                 "--record", record])
    window = game.wait_window()
    game.focus()
    wait_until(lambda: recorded_count(record) >= 5, "the game scene")
    # The keys steer on from where the pointer put the bus.
    desktop.move_pointer(window["x"] + 400, window["y"] + 100)

    def hold(key, frames):
        start = recorded_count(record)
        desktop.xdotool("keydown", key)
        wait_until(lambda: recorded_count(record) >= start + frames, f"{frames} frames of {key}")
        desktop.xdotool("keyup", key)

    hold("Down", 15)
    hold("Up", 4)
    hold("ctrl", 10)
    game.close_by_window_manager()
    check(game.finish() == 0, game.errors())

    with open(saved) as f:
        events = [line.split(None, 1) for line in f.read().splitlines() if line[:1] != "#"]
    moves = [(int(when), *map(int, event.split()[2:])) for when, event in events
             if event.startswith("mouse move")]
    # From the pointer's move on, only the keys moved it: down, then up.
    start = [(x, y) for _, x, y in moves].index((400, 100))
    moves = [(when, y) for when, _, y in moves[start:]]
    steps = [b - a for (_, a), (_, b) in zip(moves, moves[1:])]
    down = steps.index(-12) if -12 in steps else len(steps)
    check(steps == [12] * down + [-12] * (len(steps) - down) and down >= 14
          and len(steps) - down >= 3, f"Down then Up moved the pointer by {steps}")
    for run in (moves[1:down + 1], moves[down + 1:]):
        check([when for when, _ in run] == list(range(run[0][0], run[0][0] + len(run))),
              f"not a step a frame: {run}")
    buttons = [event for _, event in events if event.startswith("mouse left")]
    check(buttons == ["mouse left down", "mouse left up"], f"Ctrl made {buttons}")
    # The only keys saved are the script's own Escape that skipped the intro.
    keys = [f"{when} {event}\n" for when, event in events if event.startswith("key")]
    check("".join(keys) == SKIP_INTRO, f"the control keys reached the game as keys: {keys}")
    # The bus itself: its picture before Down is found as far down after it as the pointer went.
    before, after = frame(record, moves[1][0]), frame(record, moves[down][0] + 1)
    drop = moves[down][1] - 100
    bus = (15, 100, 155, 170)  # most of the bus, drawn at x 5, y 100
    moved = ImageChops.difference(before.crop(bus),
                                  after.crop((15, 100 + drop, 155, 170 + drop)))
    same = moved.convert("L").histogram()[0]
    check(same > 0.75 * 140 * 70, f"the bus is not {drop} pixels lower after Down: "
                                  f"{same} of its pixels are found there")


# The top of the frame, where the pause's menu writes its word above the items.
PAUSE_WORD = (250, 10, 550, 90)
# Left of the menu's panel, below the game's figures: the frame there is only dimmed.
BESIDE_MENU = (0, 100, 240, 520)


def paused_word(picture):
    """How many pixels of the top of a picture are the pause's yellow."""
    return sum(1 for r, g, b in picture.crop(PAUSE_WORD).getdata()
               if r > 230 and g > 230 and b < 40)


def PauseStopsTheFramesAndShowsTheWordThenGoesOn(ctx):
    desktop = ctx.desktop(1920, 1080)
    record = os.path.join(ctx.scratch, "pause")
    os.makedirs(record)
    game = ctx.game_on(desktop, ["--window", "--seed", 1, "--input",
                                 script(ctx, "skip", SKIP_INTRO), "--record", record])
    game.wait_window()
    game.focus()
    wait_until(lambda: recorded_count(record) >= 10, "10 recorded frames")
    desktop.xdotool("key", "p")
    hold_for(0.3)  # a frame under way when the key came is finished
    paused = recorded(record)
    hold_for(1.5)
    check(recorded(record) == paused, "frames went on while paused")
    last = Image.open(paused[-1]).convert("RGB")
    shot = desktop.screenshot(game.window, os.path.join(ctx.scratch, "paused.png"))
    check(paused_word(shot) > 1000 and paused_word(last) < 100,
          f"no word at the top: {paused_word(shot)} yellow pixels there, "
          f"{paused_word(last)} in the last frame")
    # Beside the menu the last frame at half brightness, up to halving 5 and 6 bits and not 8.
    halved = Image.eval(last, lambda v: v // 2)
    difference = largest_difference(shot.crop(BESIDE_MENU), halved.crop(BESIDE_MENU))
    check(difference <= 6, f"the picture is not the last frame dimmed: by {difference}")

    desktop.xdotool("key", "F12")
    path = wait_until(lambda: re.search(r"screenshot saved as (.*)\n", game.errors()),
                      "the screenshot")[1]
    folder = os.path.join(desktop.env["XDG_PICTURES_DIR"], "quibbet")
    check(re.fullmatch(re.escape(folder) + r"/quibbet-\d{4}-\d\d-\d\d-\d{6}\.png", path),
          f"the screenshot is {path}")
    # The game's frame, not the dimmed picture on the screen.
    with open(path, "rb") as taken, open(paused[-1], "rb") as recorded_last:
        check(taken.read() == recorded_last.read(),
              f"the screenshot is not {os.path.basename(paused[-1])}")
    check(recorded(record) == paused, "F12 ended the pause")
    desktop.xdotool("key", "p")
    wait_until(lambda: recorded_count(record) >= len(paused) + 5, "frames again after P")
    game.close_by_window_manager()
    check(game.finish() == 0, game.errors())
    check(game.summary()["frames"] == len(recorded(record)),
          "the paused picture counted as frames")


def F11TogglesFullScreen(ctx):
    desktop = ctx.desktop(1920, 1080)
    game = ctx.game_on(desktop, ["--window", "--seed", 1])
    game.wait_window()
    game.focus()

    def kept():
        settings = configparser.ConfigParser(interpolation=None)
        settings.read(os.path.join(desktop.env["XDG_CONFIG_HOME"], "quibbet", "settings.ini"))
        return settings.get("display", "full-screen", fallback=None)

    desktop.xdotool("key", "F11")
    wait_until(lambda: game.size() == (1920, 1080), "full screen after F11")
    desktop.xdotool("key", "F11")
    wait_until(lambda: game.size() == (800, 600), "the window back after F11")
    # The switch is the player's choice and kept at once; --window counted for this run only.
    wait_until(lambda: kept() == "no", "full-screen = no in the settings")
    desktop.xdotool("key", "F11")
    wait_until(lambda: game.size() == (1920, 1080), "full screen after a third F11")
    game.close_by_window_manager()
    check(game.finish() == 0, game.errors())
    check(kept() == "yes", f"the settings say full-screen = {kept()} after the run")


# ---- Cases: the pause's menu -------------------------------------------------------------

# Where the top page's items are drawn on the frame, and so in a window at scale 1.
MENU_X = 400
QUIT_Y = 382  # the fourth item: Resume, Options, Records, Quit


def settings_path(desktop):
    """Where the game keeps the settings on this desktop; its folder made."""
    path = os.path.join(desktop.env["XDG_CONFIG_HOME"], "quibbet", "settings.ini")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return path


def kept_setting(desktop, section, key):
    settings = configparser.ConfigParser(interpolation=None)
    settings.read(settings_path(desktop))
    return settings.get(section, key, fallback=None)


def open_menu(desktop, game):
    """P, and the menu on the screen."""
    desktop.xdotool("key", "p")
    shot = os.path.join(desktop.scratch, "menu.png")
    wait_until(lambda: paused_word(desktop.screenshot(game.window, shot)) > 1000, "the menu")


def MenuOpensWithPAndItsQuitEndsTheRunLikeAClosedWindow(ctx):
    desktop = ctx.desktop(1920, 1080)
    for how in ("keys", "mouse"):
        game = ctx.game_on(desktop, ["--window", "--scale", 1, "--seed", 1])
        window = game.wait_window()
        game.focus()
        game.wait_playing()
        open_menu(desktop, game)
        if how == "keys":
            desktop.xdotool("key", "Up", "key", "Return")  # round from Resume to Quit
        else:
            desktop.move_pointer(window["x"] + MENU_X, window["y"] + QUIT_Y)
            desktop.xdotool("click", 1)
        check(game.finish() == 0, f"Quit by {how}: {game.errors()}")
        check(set(game.scene_ends().values()) == {"closed"},
              f"Quit by {how}: scenes ended {game.scene_ends()}")


def VolumeChangedInTheMenuIsWhatTheSettingsFileHolds(ctx):
    desktop = ctx.desktop(1920, 1080)
    path = settings_path(desktop)
    hand_written = (b"# mine\n[sound]\nvolume = 100\nmute = no  ; not yet\n\n[elsewhere]\nkey = 1\n"
                    b"[display]\nfit = sharpp\n")
    with open(path, "wb") as f:
        f.write(hand_written)
    game = ctx.game_on(desktop, ["--window", "--scale", 1, "--seed", 1])
    game.wait_window()
    game.focus()
    game.wait_playing()
    open_menu(desktop, game)
    # Options, Sound, then the volume a step down; kept at once.
    desktop.xdotool("key", "Down", "key", "Return", "key", "Return", "key", "Left")
    wait_until(lambda: kept_setting(desktop, "sound", "volume") == "90", "volume = 90 kept")
    desktop.xdotool("key", "p")
    game.close_by_window_manager()
    check(game.finish() == 0, game.errors())
    with open(path, "rb") as f:
        kept = f.read()
    check(kept == hand_written.replace(b"volume = 100", b"volume = 90"),
          f"the file is not the hand-written one with only the volume changed: {kept!r}")


def AFireKeyBoundInTheMenuFires(ctx):
    desktop = ctx.desktop(1920, 1080)
    saved = os.path.join(ctx.scratch, "played.txt")
    record = os.path.join(ctx.scratch, "bound")
    os.makedirs(record)
    game = ctx.game_on(desktop, ["--window", "--scale", 1, "--seed", 1, "--input",
                                 script(ctx, "skip", SKIP_INTRO), "--save-input", saved,
                                 "--record", record])
    game.wait_window()
    game.focus()
    wait_until(lambda: recorded_count(record) >= 5, "the game scene")
    open_menu(desktop, game)
    # Options, Controls, Keys, Fire (the third action), then B; back to the top, and P.
    desktop.xdotool("key", "Down", "key", "Return", "key", "Down", "key", "Down", "key", "Return",
                    "key", "Return", "key", "Down", "key", "Down", "key", "Return", "key", "b")
    wait_until(lambda: kept_setting(desktop, "controls", "fire") == "B", "fire = B kept")
    desktop.xdotool("key", "Escape", "key", "Escape", "key", "Escape", "key", "p")
    start = recorded_count(record)
    wait_until(lambda: recorded_count(record) >= start + 5, "the game again after P")
    desktop.xdotool("keydown", "b")
    wait_until(lambda: recorded_count(record) >= start + 15, "10 frames of B")
    desktop.xdotool("keyup", "b")
    game.close_by_window_manager()
    check(game.finish() == 0, game.errors())
    with open(saved) as f:
        buttons = [line.split(None, 1)[1] for line in f.read().splitlines()
                   if line[:1] != "#" and " mouse left " in line]
    check(buttons == ["mouse left down", "mouse left up"], f"B made {buttons}")


def ReplayOfARealGameIsTheSameGame(ctx):
    desktop = ctx.desktop(1920, 1080)
    saved = os.path.join(ctx.scratch, "played.txt")
    played, replayed = (os.path.join(ctx.scratch, name) for name in ("played", "replayed"))
    os.makedirs(played)
    game = ctx.game_on(desktop, ["--window", "--save-input", saved, "--record", played,
                                 "--record-every", 50])
    window = game.wait_window()
    game.focus()
    wait_until(lambda: recorded(played), "the intro's first frame")
    # Escape in the pause resumes and reaches the game at once, so the intro ends at a known
    # moment; let go 20 ms later, it is up before the game scene's first frame (50 ms on),
    # which it would end as well.
    desktop.xdotool("key", "p")
    shot = os.path.join(ctx.scratch, "paused.png")
    wait_until(lambda: paused_word(desktop.screenshot(game.window, shot)) > 1000, "the pause")
    desktop.xdotool("keydown", "Escape", "sleep", 0.02, "keyup", "Escape")

    def at(x, y):
        return window["x"] + x, window["y"] + y

    def play(*actions):
        """Some of the player's input, then 50 frames of the game."""
        count = len(recorded(played))
        desktop.xdotool(*actions)
        wait_until(lambda: len(recorded(played)) > count, "the next recorded frame")

    play("mousemove", *at(400, 150), "mousedown", 1)
    play("mouseup", 1, "keydown", "s")
    play("keyup", "s", "keydown", "z", "mousemove", *at(300, 400))
    play("keyup", "z", "click", 1, "key", "x", "mousemove", *at(500, 250))
    # A button pressed in a pause and still held after it fires, in the game and the replay.
    desktop.xdotool("key", "p")
    wait_until(lambda: paused_word(desktop.screenshot(game.window, shot)) > 1000, "a pause")
    desktop.xdotool("mousedown", 1, "key", "p")
    play("mousemove", *at(350, 300))
    play("mouseup", 1)
    desktop.xdotool("keydown", "Escape")  # held, it ends the game scene and the credits
    code = game.finish()
    desktop.xdotool("keyup", "Escape")
    check(code == 0, game.errors())
    ran = {scene["name"]: scene["frames"] for scene in game.summary()["scenes"]}
    check(ran.get("game", 0) >= 150, f"the game scene was not what was played: {ran}")

    # No --seed: the replay takes the seed from the saved input's note.
    replay = subprocess.run([ctx.game, "--headless", "--turbo", "--data", ctx.data, "--input",
                             saved, "--record", replayed, "--record-every", "50", "--summary",
                             "-"], capture_output=True, text=True)
    check(replay.returncode == 0 and not replay.stderr, f"the replay failed: {replay.stderr}")
    check(json.loads(replay.stdout) == game.summary(),
          f"the replay's summary {replay.stdout.strip()} is not the game's {game.summary()}")
    names = [os.path.basename(path) for path in recorded(played)]
    check(names == [os.path.basename(path) for path in recorded(replayed)],
          f"the replay recorded other frames: {os.listdir(replayed)}")

    def content(folder, name):
        with open(os.path.join(folder, name), "rb") as f:
            return f.read()

    differ = [name for name in names if content(played, name) != content(replayed, name)]
    check(not differ, f"the replay's frames differ from the game's: {differ}")


def SettingsFileIsLeftAsItIsUnlessThePlayerChangesIt(ctx):
    desktop = ctx.desktop(1920, 1080)
    path = settings_path(desktop)
    hand_written = (b"# mine\r\n[sound]\nvolume = 1OO   ; a typo\n\n[elsewhere]\nkey = 1\n"
                    b"[display]\nfull-screen = no\n")

    def run(text, *actions):
        with open(path, "wb") as f:
            f.write(text)
        game = ctx.game_on(desktop, ["--window", "--seed", 1])
        game.wait_window()
        game.focus()
        game.wait_playing()
        for action in actions:
            desktop.xdotool("key", action)
            wait_until(lambda: game.size() == (1920, 1080), "full screen after F11")
        game.close_by_window_manager()
        check(game.finish() == 0, game.errors())
        with open(path, "rb") as f:
            return f.read(), game.errors()

    kept, said = run(hand_written)
    check(kept == hand_written, f"a run that changed nothing rewrote the file: {kept!r}")
    # Read only in part (past its size limit), it is not rewritten even for a change.
    oversized = hand_written + b"#" * (64 * 1024) + b"\n"
    kept, said = run(oversized, "F11")
    check(kept == oversized, "a file read in part was rewritten")
    check("not read whole" in said, f"the game did not say why the change is not kept: {said}")


def LiveGameIsKeptInTheRecordsAndWatchedAgain(ctx):
    desktop = ctx.desktop(1920, 1080)
    played = os.path.join(ctx.scratch, "played")
    os.makedirs(played)
    game = ctx.game_on(desktop, ["--window", "--record", played, "--record-every", 10])
    game.wait_window()
    game.focus()
    wait_until(lambda: recorded(played), "the intro's first frame")

    def frames_on(count):
        start = len(recorded(played))
        wait_until(lambda: len(recorded(played)) >= start + count, f"{count * 10} more frames")

    # Escape in the pause resumes and ends the intro at once; let go before the game's first
    # frame, which it would end as well (as in ReplayOfARealGameIsTheSameGame).
    desktop.xdotool("key", "p")
    shot = os.path.join(ctx.scratch, "paused.png")
    wait_until(lambda: paused_word(desktop.screenshot(game.window, shot)) > 1000, "the pause")
    desktop.xdotool("keydown", "Escape", "sleep", 0.02, "keyup", "Escape")
    frames_on(2)
    desktop.xdotool("mousedown", 1)
    frames_on(3)
    # Keys held a while, as a frame reads what is down when it starts.
    desktop.xdotool("mouseup", 1, "keydown", "space")  # gives up; the game ends 100 frames on
    frames_on(1)
    desktop.xdotool("keyup", "space")
    frames_on(11)
    desktop.xdotool("keydown", "Escape")  # the credits
    code = game.finish()
    desktop.xdotool("keyup", "Escape")
    check(code == 0, game.errors())
    scene = next(s for s in game.summary()["scenes"] if s["name"] == "game")
    check(scene["ending"] == "space" and scene["crosses_fired"] > 0, f"the game was {scene}")

    def quibbet(*args):
        run = subprocess.run([ctx.game, "--data", ctx.data, *args], env=desktop.env,
                             capture_output=True, text=True)
        check(run.returncode == 0, f"quibbet {' '.join(args)} failed: {run.stderr}")
        return run.stdout

    table = quibbet("--records")
    check(re.search(r"^ *1 .*gave up", table, re.MULTILINE), f"the game is not listed:\n{table}")
    watched = quibbet("--watch", "1", "--headless", "--turbo", "--summary", "-")
    check(json.loads(watched) == game.summary(),
          f"watching gave {watched.strip()}, not the game's {game.summary()}")
    # Neither watching, nor the pilot, a script, a virtual clock or no screen adds a game.
    quibbet("--headless", "--turbo", "--autoplay", "--seed", "1")
    quibbet("--headless", "--turbo", "--input",
            script(ctx, "space", SKIP_INTRO + "3 key down 32\n"))
    listed = json.loads(quibbet("--records", "--json"))
    check(listed["games"] == 1, f"other runs were kept: {listed}")


# ---- Cases: installation ----------------------------------------------------------------


def InstalledGameRunsFromAnotherDirectory(ctx):
    prefix = os.path.join(ctx.scratch, "prefix")
    subprocess.run(["cmake", "--install", ctx.build, "--prefix", prefix], check=True,
                   stdout=subprocess.DEVNULL)
    app_id = None
    for path in glob.glob(os.path.join(prefix, "share", "applications", "*.desktop")):
        app_id = os.path.basename(path)[:-len(".desktop")]
    check(app_id, "no desktop entry installed")
    for part in ["bin/quibbet", "bin/mpk", "bin/pcxconv", "share/quibbet/SPRITES.MPK",
                 "share/quibbet/FONTS.MPK", "share/quibbet/TEXTS.MPK",
                 f"share/metainfo/{app_id}.metainfo.xml", "share/man/man6/quibbet.6.gz",
                 "share/icons/hicolor/scalable/apps/quibbet.svg",
                 "share/icons/hicolor/256x256/apps/quibbet.png"]:
        check(os.path.isfile(os.path.join(prefix, part)), f"{part} is not installed")
    icon = Image.open(os.path.join(prefix, "share/icons/hicolor/48x48/apps/quibbet.png"))
    check(icon.size == (48, 48), f"the 48 pixel icon is {icon.size}")

    def quiet(args, what):
        result = subprocess.run(args, capture_output=True, text=True)
        check(result.returncode == 0, f"{what}: {result.stdout}{result.stderr}")
        return result

    quiet(["desktop-file-validate",
           os.path.join(prefix, "share", "applications", app_id + ".desktop")], "desktop entry")
    quiet(["appstreamcli", "validate", "--no-net",
           os.path.join(prefix, "share", "metainfo", app_id + ".metainfo.xml")], "metadata")
    manual = os.path.join(ctx.scratch, "quibbet.6")
    subprocess.run(f"gzip -dc '{prefix}/share/man/man6/quibbet.6.gz' > '{manual}'", shell=True,
                   check=True)
    warnings = quiet(["groff", "-man", "-ww", "-z", manual], "manual page")
    check(not warnings.stderr, f"the manual page has warnings: {warnings.stderr}")
    page = quiet(["man", "-l", manual], "manual page").stdout
    for part in ("--integer-scale", "XDG_DATA_HOME", "XDG_DATA_DIRS", "DATA SEARCH ORDER"):
        check(part in page.replace("\u2010", "-"), f"the manual page lacks {part}")

    # From elsewhere, with nothing in the XDG folders: the data beside the program is found.
    elsewhere = os.path.join(ctx.scratch, "elsewhere")
    os.makedirs(elsewhere)
    env = dict(os.environ, HOME=os.path.join(ctx.scratch, "home"), XDG_DATA_HOME="",
               XDG_DATA_DIRS="/nowhere")
    run = subprocess.run([os.path.join(prefix, "bin", "quibbet"), "--headless", "--turbo",
                          "--seed", "1", "--max-frames", "950", "--summary", "-"],
                         cwd=elsewhere, env=env, capture_output=True, text=True)
    check(run.returncode == 0, f"the installed game failed: {run.stderr}")
    ends = {scene["name"]: scene["end"] for scene in json.loads(run.stdout)["scenes"]}
    check(ends == {"intro": "finished", "game": "max-frames"}, f"scenes ended {ends}")
    version = quiet([os.path.join(prefix, "bin", "quibbet"), "--version"], "--version").stdout
    check(version.splitlines()[0] == f"quibbet (Save Quibbet!) {ctx.version}",
          f"--version says {version.splitlines()[0]}")


def dep5(text):
    """The paragraphs of a machine-readable copyright file, as dictionaries of fields whose
    values keep their continuation lines."""
    paragraphs = []
    for block in re.split(r"\n\s*\n", text.strip("\n")):
        fields, name = {}, None
        for line in block.split("\n"):
            if line[:1] in (" ", "\t"):
                check(name, f"a continuation line opens a paragraph: {line!r}")
                fields[name] += "\n" + line.strip()
            else:
                name, colon, value = line.partition(":")
                check(colon and name not in fields, f"not a new field: {line!r}")
                fields[name] = value.strip()
        paragraphs.append(fields)
    return paragraphs


def words(text):
    return " ".join(text.split())


def DebianPackageCarriesTheLicences(ctx):
    # The package as scripts/build-deb.sh makes it, from this build's install rules.
    out = os.path.join(ctx.scratch, "package")
    subprocess.run(["cpack", "-G", "DEB", "--config", os.path.join(ctx.build, "CPackConfig.cmake"),
                    "-B", out], check=True, stdout=subprocess.DEVNULL)
    debs = glob.glob(os.path.join(out, "quibbet_*.deb"))
    check(len(debs) == 1, f"cpack made {debs}")
    root = os.path.join(ctx.scratch, "root")
    subprocess.run(["dpkg-deb", "-x", debs[0], root], check=True)
    path = os.path.join(root, "usr/share/doc/quibbet/copyright")
    check(os.path.isfile(path), "the package has no /usr/share/doc/quibbet/copyright")
    with open(path, encoding="utf-8") as f:
        paragraphs = dep5(f.read())

    def source(name):
        with open(os.path.join(SOURCE, name), encoding="utf-8") as f:
            return f.read()

    header, rest = paragraphs[0], paragraphs[1:]
    check(header.get("Format") ==
          "https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/",
          f"not a machine-readable copyright file: {header}")
    files = [p for p in rest if "Files" in p]
    texts = {p["License"].split("\n")[0]: p["License"] for p in rest if "Files" not in p}
    check(len(texts) == len(rest) - len(files), "a licence has two standalone paragraphs")
    named = set()
    for paragraph in files:
        check("Copyright" in paragraph and "License" in paragraph,
              f"a Files paragraph lacks Copyright or License: {paragraph}")
        for pattern in paragraph["Files"].split():
            check(glob.glob(os.path.join(SOURCE, pattern)), f"{pattern} matches no file")
        names, _, own_text = paragraph["License"].partition("\n")
        for name in re.split(r" and | or ", names):
            named.add(name)
            check(own_text or name in texts, f"the licence {name} has no text")
    check(set(texts) <= named, f"licences no file is under: {set(texts) - named}")
    check(files[0]["Files"] == "*" and files[0]["License"] == "MIT",
          "the code is not under the MIT licence")
    copyright_line = source("LICENSE").split("\n")[2]
    check(copyright_line == f"Copyright (c) {files[0]['Copyright']}",
          f"LICENSE says {copyright_line!r}, the copyright file {files[0]['Copyright']!r}")
    check({"MIT", "CC-BY-4.0", "OFL-1.1", "Adobe-DEC-75dpi"} <= named,
          f"the licences named are {sorted(named)}")
    # Each folder of data has its own licence, not the code's that covers the rest.
    assets = os.path.join(SOURCE, "assets")
    folders = {name for name in os.listdir(assets)
               if os.path.isdir(os.path.join(assets, name)) and name != "tools"}
    covered = {pattern.split("/")[1] for paragraph in files[1:]
               for pattern in paragraph["Files"].split() if pattern.startswith("assets/")}
    check(folders <= covered, f"assets/ folders under the code's licence: {folders - covered}")
    # The texts are the ones the source tree carries.
    text = {name: words(re.sub(r"^\.$", "", body.partition("\n")[2], flags=re.MULTILINE))
            for name, body in texts.items()}
    check(text["MIT"] == words(source("LICENSE").split("\n", 3)[3]),
          "the MIT text differs from LICENSE")
    check(text["OFL-1.1"] == words(source("assets/fonts/OFL-1.1.txt")),
          "the OFL-1.1 text differs from assets/fonts/OFL-1.1.txt")
    check(text["Adobe-DEC-75dpi"] in words(source("assets/LICENSE.md")),
          "the Adobe-DEC-75dpi text is not the one in assets/LICENSE.md")

    metainfo = glob.glob(os.path.join(root, "usr/share/metainfo/*.metainfo.xml"))
    check(len(metainfo) == 1, f"the package has the metadata files {metainfo}")
    project = ElementTree.parse(metainfo[0]).getroot().findtext("project_license") or ""
    check({"MIT", "CC-BY-4.0", "OFL-1.1"} <= set(project.split(" AND ")),
          f"the metadata's project_license is {project!r}")

    # Lintian, where Debian's is installed (scripts/packages.txt lists it): every tag about
    # the copyright file or a licence fails the case; the others (no changelog, and the like
    # of a package not built by Debian's tools) are not this case's concern.
    if shutil.which("lintian") is None:
        print("lintian is not installed: its copyright checks are left out")
        return
    run = subprocess.run(["lintian", "--display-info", "--pedantic", "--fail-on", "none",
                          debs[0]], capture_output=True, text=True)
    check(run.returncode == 0, f"lintian failed: {run.stderr}")
    tags = re.findall(r"^[A-Z]: quibbet[^:]*: (\S+)", run.stdout, re.MULTILINE)
    found = sorted({tag for tag in tags if re.search(r"copyright|licen[cs]e", tag)})
    check(not found, f"lintian: {found}\n{run.stdout}")


# ---- Running one case ---------------------------------------------------------------------


class Context:
    def __init__(self, options, scratch):
        self.game = options.game
        self.data = options.data
        self.build = options.build
        self.version = options.version
        self.scratch = scratch
        self.desktops = []
        self.games = []

    def desktop(self, width, height):
        desktop = Desktop(self.scratch, width, height)
        self.desktops.append(desktop)
        return desktop

    def game_on(self, desktop, args):
        game = Game(self, desktop, args)
        self.games.append(game)
        return game

    def close(self):
        for game in self.games:
            game.stop()
        for desktop in self.desktops:
            desktop.close()


CASES = {f.__name__: f for f in [
    WindowOpensAtTheRequestedScaleAndTheBusFollowsTheMouse,
    ScreenshotOfTheWindowMatchesARecordedFrame,
    FullScreenFitsTheFrameWithBlackBordersAndTheBorderMovesTheBus,
    IntegerScaleShowsWholePixelsOnly,
    AltEnterTogglesFullScreenAndAltKeysStayOutOfTheGame,
    PointerIsConfinedWhilePlayingAndFreeWithoutFocus,
    MinimizingPausesTheGame,
    WindowManagerCloseEndsTheRunCleanly,
    SignalsEndTheRunLikeAClosedWindow,
    FatalBoxReleasesTheScreenAndThePointer,
    KeysSteerTheBusAndFire,
    PauseStopsTheFramesAndShowsTheWordThenGoesOn,
    F11TogglesFullScreen,
    MenuOpensWithPAndItsQuitEndsTheRunLikeAClosedWindow,
    VolumeChangedInTheMenuIsWhatTheSettingsFileHolds,
    AFireKeyBoundInTheMenuFires,
    ReplayOfARealGameIsTheSameGame,
    SettingsFileIsLeftAsItIsUnlessThePlayerChangesIt,
    LiveGameIsKeptInTheRecordsAndWatchedAgain,
    InstalledGameRunsFromAnotherDirectory,
    DebianPackageCarriesTheLicences,
]}


def main():
    parser = argparse.ArgumentParser()
    for name in ("--game", "--data", "--build", "--version", "--scratch"):
        parser.add_argument(name, required=True)
    parser.add_argument("case", choices=sorted(CASES))
    options = parser.parse_args()
    for name in ("game", "data", "build", "scratch"):
        setattr(options, name, os.path.abspath(getattr(options, name)))

    needed = {"InstalledGameRunsFromAnotherDirectory": INSTALL_TOOLS,
              "DebianPackageCarriesTheLicences": PACKAGE_TOOLS}.get(options.case, X_TOOLS)
    missing = [tool for tool in needed if shutil.which(tool) is None]
    if missing:
        print(f"skipped: {', '.join(missing)} not installed (see scripts/packages.txt)")
        return SKIP

    os.makedirs(options.scratch, exist_ok=True)
    scratch = tempfile.mkdtemp(prefix=options.case + ".", dir=options.scratch)
    ctx = Context(options, scratch)
    try:
        CASES[options.case](ctx)
    except Failure as failure:
        print(f"FAILED {options.case}: {failure}\n(files in {scratch})")
        return 1
    except Exception:
        traceback.print_exc()
        print(f"(files in {scratch})")
        return 1
    finally:
        ctx.close()
    shutil.rmtree(scratch, ignore_errors=True)
    print(f"passed {options.case}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
