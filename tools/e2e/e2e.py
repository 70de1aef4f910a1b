#!/usr/bin/env python3
"""End-to-end check: the development executable against the device emulator, driven by real X
input on an X screen, every page the menu reaches opened and photographed.

Run it on an X display of 1920x1080 (scripts/run-tests.sh runs it under xvfb-run):

    python3 tools/e2e/e2e.py --build build

It starts build/tools/devapp/orvixtools-dev with a private home and settings store (the selected
mouse profile without automatic zeroing and with visual feedback) and a passive headset streaming,
then opens both submenus and every page they lead to, Help from System Status and from Devices,
the crosshair overlay once the headset is active on this computer, unplugs and plugs the dongle,
and quits with "Quit". On the way it checks what pages do (tools/e2e/content.py): a toolbar
button's command, a mouse profile slider step, the Devices page's reordered channel map and a LINK
form's step (applied, then read back onto the form) reach the dongle (the emulator's trace), the calibration bars move after Reset, Help opens at the anchor
of the page it came from and the crosshair's countdown ends in a set-zero. Then, on an X server of its own at 1366x768, once in French and once in Hungarian (unless
--small-language says otherwise), it opens every page again, photographs it into
<build>/test-artifacts/e2e/1366x768-<language>/ and checks that each page's controls stand whole inside the
window; it also photographs the boxes the Mouse Profiles page asks in (create, reset, delete "default"),
every tab of the LINK's settings and the box of their Reset. Each step prints a PASS or FAIL line; a screenshot of the screen after each page appeared
goes to <build>/test-artifacts/e2e/. The exit status is 0 when every step passed.
Every wait is on a condition (a log line, a pixel, a window) with a bounded time-out.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

# The helper modules beside this file; no byte-code is left in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import qsettings_ini  # noqa: E402
from content import Content  # noqa: E402
from x11 import Screen, close, hex_colour  # noqa: E402

# Colours of the skin (resources/styles/colors.json).
HEADER_BLACK = hex_colour("#000000")
PAGE_GREY = hex_colour("#323232")
CROSS_RED = hex_colour("#E20000")

# The main window's fixed layout: header and footer heights (PageHeader.ui, PageFooter.ui), the
# header's 48-pixel buttons inside 5-pixel margins.
HEADER_HEIGHT = 68
FOOTER_HEIGHT = 45
HEADER_BUTTON_CENTRE = 5 + 24
# The footer's buttons: at least 78 pixels wide, 11 pixels from the window's sides; a point 50
# pixels in from a side is on the button whether or not the progress wheel shows beside it.
FOOTER_BUTTON_INSET = 50

# The menu's scene is 512 by 512, fitted into the page with a 2-pixel margin; tiles are squares
# whose disc leaves 5 % of the tile's height around it.
SCENE = 512
FIT_MARGIN = 2
TILE_MARGIN = 0.05
# Tile centres in scene coordinates: four entries make a 2x2 grid of 256-pixel tiles, three
# entries the same first row and one tile centred below it.
TILES = {
    "root": {"Network": (128, 128), "Settings": (384, 128), "System Status": (128, 384),
             "Appearance": (384, 384)},
    "Settings": {"Mouse Profiles": (128, 128), "Link": (384, 128), "Calibration": (128, 384),
                 "Firmware Update": (384, 384)},
    "Network": {"Pairing": (128, 128), "Security": (384, 128), "Devices": (256, 384)},
}

START_TIMEOUT = 60
SWITCH_TIMEOUT = 25
HELP_TIMEOUT = 45
QUIT_TIMEOUT = 30
# Sampled pixels (every other one) of the status page that must differ within a second.
MODEL_MOVED_PIXELS = 200
# Sampled light pixels of the page area once the manual's text shows.
MANUAL_TEXT_PIXELS = 200


class Failure(Exception):
    pass


def wait_for(description, condition, timeout, interval=0.05):
    """Polls condition until it returns a true value; raises Failure after timeout seconds, or
    at once when wait_for.guard (if set) names a reason to stop waiting."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        reason = wait_for.guard() if wait_for.guard else None
        if reason:
            raise Failure("%s while waiting for %s" % (reason, description))
        if time.monotonic() >= deadline:
            raise Failure("timed out after %g s waiting for %s" % (timeout, description))
        time.sleep(interval)


wait_for.guard = None


class LogFile:
    """A file another process appends to, read as it grows (whole lines only)."""

    def __init__(self, path):
        self.path = path
        self._offset = 0
        self.text = ""

    def read(self):
        with open(self.path, "rb") as f:
            f.seek(self._offset)
            chunk = f.read()
        end = chunk.rfind(b"\n") + 1
        if end:
            self.text += chunk[:end].decode("utf-8", "replace")
            self._offset += end
        return self.text


class App:
    """The development executable: its standard input drives the emulated devices, its standard
    output carries the log, its standard error the emulator's frame trace."""

    def __init__(self, executable, sandbox, settings_file, artifacts):
        stdout_path = os.path.join(artifacts, "app-log.txt")
        stderr_path = os.path.join(artifacts, "app-trace.txt")
        env = dict(os.environ)
        for key, sub in (("HOME", "home"), ("XDG_DATA_HOME", "data"), ("XDG_CONFIG_HOME", "config"),
                         ("XDG_CACHE_HOME", "cache"), ("XDG_RUNTIME_DIR", "run"), ("TMPDIR", "tmp")):
            path = os.path.join(sandbox, sub)
            os.makedirs(path, mode=0o700, exist_ok=True)
            env[key] = path
        env.update(LANG="en_US.UTF-8", LC_ALL="en_US.UTF-8", LIBGL_ALWAYS_SOFTWARE="1",
                   QTWEBENGINE_DISABLE_SANDBOX="1", QT_QPA_PLATFORM="xcb")
        self._out = open(stdout_path, "wb")
        self._err = open(stderr_path, "wb")
        self.logs = {"log": LogFile(stdout_path), "trace": LogFile(stderr_path)}
        self.process = subprocess.Popen(
            [executable, "--settings", settings_file, "--trace"], stdin=subprocess.PIPE, stdout=self._out,
            stderr=self._err, env=env, cwd=sandbox)

    def send(self, command):
        self.process.stdin.write((command + "\n").encode())
        self.process.stdin.flush()

    def log(self):
        return self.logs["log"].read()

    def log_mark(self):
        return len(self.log())

    def trace_mark(self):
        return len(self.logs["trace"].read())

    def wait_log(self, pattern, since, timeout, source="log"):
        """Waits for a line matching pattern after position since; returns the whole line."""
        regex = re.compile(r"^.*(?:%s).*$" % pattern, re.MULTILINE)
        log = self.logs[source]
        match = wait_for("%s line /%s/" % (source, pattern), lambda: regex.search(log.read(), since), timeout)
        return match.group(0)

    def running(self):
        return self.process.poll() is None

    def ended(self):
        """Why waiting on the application is pointless: it has ended."""
        code = self.process.poll()
        return None if code is None else "the application ended with %d" % code

    def stop(self):
        """Ends the process this check started, if it still runs."""
        if self.running():
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(10)
        self._out.close()
        self._err.close()


class Check:
    def __init__(self, app, screen, artifacts):
        self.app = app
        self.screen = screen
        self.artifacts = artifacts
        self.failed = 0
        self.passed = 0
        self.window = None  # (x, y, width, height) of the main window
        self.shots = []

    # ---- reporting ----------------------------------------------------------------------------

    def step(self, name, action):
        started = time.monotonic()
        try:
            detail = action()
        except Failure as error:
            self.failed += 1
            print("FAIL  %-44s %s" % (name, error), flush=True)
            self.shot_failure(name)
            return False
        except (subprocess.SubprocessError, OSError) as error:
            self.failed += 1
            print("FAIL  %-44s tool error: %s" % (name, error), flush=True)
            return False
        self.passed += 1
        print("PASS  %-44s %5.1f s%s" % (name, time.monotonic() - started, "  " + detail if detail else ""),
              flush=True)
        return True

    def shot_failure(self, step):
        try:
            self.shot("FAILED-" + re.sub(r"[^A-Za-z0-9]+", "-", step).strip("-").lower())
        except (subprocess.SubprocessError, OSError, RuntimeError):
            pass  # the failure is reported already

    def shot(self, name, image=None):
        path = os.path.join(self.artifacts, name + ".png")
        (image or self.screen.grab()).save_png(path)
        self.shots.append(path)

    # ---- geometry -----------------------------------------------------------------------------

    def page_rect(self):
        x, y, w, h = self.window
        return (x, y + HEADER_HEIGHT, w, h - HEADER_HEIGHT - FOOTER_HEIGHT)

    def tile_centre(self, menu, entry):
        px, py, pw, ph = self.page_rect()
        scale = min(pw - 2 * FIT_MARGIN, ph - 2 * FIT_MARGIN) / SCENE
        sx, sy = TILES[menu][entry]
        return (px + pw / 2 + (sx - SCENE / 2) * scale, py + ph / 2 + (sy - SCENE / 2) * scale,
                scale * (SCENE / 4) * (1 - 2 * TILE_MARGIN))

    def disc_point(self, menu, entry):
        """A point on the tile's disc above its icon, where only the disc's colour shows."""
        cx, cy, radius = self.tile_centre(menu, entry)
        return cx, cy - 0.9 * radius

    def home_button(self):
        x, y, _, _ = self.window
        return x + HEADER_BUTTON_CENTRE, y + HEADER_BUTTON_CENTRE + 5

    def help_button(self):
        x, y, w, _ = self.window
        return x + w - HEADER_BUTTON_CENTRE, y + HEADER_BUTTON_CENTRE + 5

    def footer_left(self):
        x, y, _, h = self.window
        return x + FOOTER_BUTTON_INSET, y + h - FOOTER_HEIGHT / 2

    def footer_right(self):
        x, y, w, h = self.window
        return x + w - FOOTER_BUTTON_INSET, y + h - FOOTER_HEIGHT / 2

    # ---- what the screen shows ----------------------------------------------------------------

    def tile_enabled(self, image, menu, entry):
        # An enabled disc is black; a disabled one is drawn at a quarter opacity over the grey.
        return close(image.pixel(*self.disc_point(menu, entry)), HEADER_BLACK, 8)

    def menu_level(self, image):
        """Which grid the menu shows: "Network" (three tiles), "Settings" (Firmware Update's
        disabled tile) or "root"."""
        # The top of the Devices disc lies between two tiles of a four-tile grid.
        if not close(image.pixel(*self.disc_point("Network", "Devices")), PAGE_GREY):
            return "Network"
        if not self.tile_enabled(image, "Settings", "Firmware Update"):
            return "Settings"
        return "root"

    def navigation_enabled(self, image):
        """The footer's left button writes white while the header and footer take clicks; grey
        (#808080) while a page slides in."""
        x, y = self.footer_left()
        for dy in range(-8, 9):
            for dx in range(-36, 37):
                if min(image.pixel(x + dx, y + dy)) >= 0xE0:
                    return True
        return False

    def frame_checks(self, image, page_grey=True):
        """The header is black and the page area shows the page's grey."""
        x, y, w, _ = self.window
        for point in ((x + w / 2, y + 3), (x + 3, y + 3), (x + w - 3, y + HEADER_HEIGHT - 3)):
            if not close(image.pixel(*point), HEADER_BLACK):
                raise Failure("header at %s is %s, not black" % (point, image.pixel(*point)))
        if page_grey:
            px, py, pw, ph = self.page_rect()
            for point in ((px + 2, py + 2), (px + pw - 3, py + ph - 3)):
                if not close(image.pixel(*point), PAGE_GREY):
                    raise Failure("page area at %s is %s, not #323232" % (point, image.pixel(*point)))

    # ---- steps --------------------------------------------------------------------------------

    def settled(self, page, since, check_grey=True):
        """Waits until the switch to page begun after log position since is over (its "Page shown"
        line) and the screen shows the navigation enabled again. Returns the grab that saw it."""
        self.app.wait_log(r"Page shown \[%s\]" % re.escape(page), since, SWITCH_TIMEOUT)
        image = wait_for("the navigation enabled", lambda: (lambda i: i if self.navigation_enabled(i) else None)(
            self.screen.grab()), SWITCH_TIMEOUT)
        self.frame_checks(image, check_grey)
        return image

    def switch(self, page, click_at, shot=None, check_grey=True):
        """Clicks, sees the page's "Show Page" line and the switch end, checks and photographs."""
        mark = self.app.log_mark()
        self.screen.click(*click_at)
        self.screen.park_pointer()
        self.app.wait_log(r"Show Page \[%s\]" % re.escape(page), mark, SWITCH_TIMEOUT)
        image = self.settled(page, mark, check_grey)
        if shot:
            self.shot(shot, image)
        return image

    def open_from_menu(self, menu, entry, page, shot):
        def action():
            wait_for("the %s tile enabled" % entry,
                     lambda: self.tile_enabled(self.screen.grab(), menu, entry), SWITCH_TIMEOUT)
            cx, cy, _ = self.tile_centre(menu, entry)
            self.switch(page, (cx, cy), shot)
        return action

    def back_to_menu(self, level, by_home=False):
        def action():
            self.switch("Menu", self.home_button() if by_home else self.footer_left())
            wait_for("the %s menu" % level, lambda: self.menu_level(self.screen.grab()) == level, SWITCH_TIMEOUT)
        return action

    def submenu(self, level, click_at, shot):
        def action():
            self.screen.click(*click_at)
            self.screen.park_pointer()
            image = wait_for("the %s menu" % level,
                             lambda: (lambda i: i if self.menu_level(i) == level else None)(self.screen.grab()),
                             SWITCH_TIMEOUT)
            self.frame_checks(image)
            self.shot(shot, image)
        return action


def write_settings(path, language="en"):
    # The built-in profiles; the selected one zeroes only on request (no automatic zeroing) and
    # shows the crosshair's countdown.
    profiles = [
        qsettings_ini.mouse_profile("default", auto_zero=False, visual_feedback=True, zero_interval_ms=2000),
        qsettings_ini.mouse_profile("Restricted", horizontal=0.25, vertical=0.25, speed=0.75),
        qsettings_ini.mouse_profile("Tremor", horizontal=0.75, vertical=0.75, tremor=0.75, speed=0.25),
    ]
    qsettings_ini.write(path, {"profile": {"list": profiles, "selected": "default"}, "General": {"language": language}})


# ---- the small screen -------------------------------------------------------------------------

SMALL_SCREEN = (1366, 768)
# Every page the menu reaches: the submenu to open ("root" for none), the tile, the page's name.
ALL_PAGES = [
    ("root", "System Status", "Status"), ("root", "Appearance", "Appearance"),
    ("Settings", "Mouse Profiles", "Profiles"), ("Settings", "Link", "Link"),
    ("Settings", "Calibration", "Calibration"),
    ("Network", "Pairing", "Pairing"), ("Network", "Security", "Security"), ("Network", "Devices", "Devices"),
]
PROBE_LINE = re.compile(r"Probe: page=(\S+) area=(-?\d+),(-?\d+),(\d+),(\d+) "
                        r"lowest=(?:-|(\S*):(-?\d+),(-?\d+),(\d+),(\d+)) clipped=(\S+)")


def controls_inside(check, page):
    """The page's lowest control ends inside the page area, above the footer, and is drawn there;
    no control of the page is cut off. The application reports where its controls stand; the
    screen shows whether the lowest is painted."""
    mark = check.app.log_mark()
    check.app.send("probe")
    line = check.app.wait_log(r"Probe: ", mark, SWITCH_TIMEOUT)
    match = PROBE_LINE.search(line)
    if not match or match.group(1) != page:
        raise Failure("probe of %s: %s" % (page, line.strip()))
    ax, ay, aw, ah = (int(v) for v in match.group(2, 3, 4, 5))
    if match.group(11) != "-":
        raise Failure("cut off on %s: %s" % (page, match.group(11)))
    if match.group(7) is None:
        return "no control of its own; the footer's are checked with every page"
    name = match.group(6)
    lx, ly, lw, lh = (int(v) for v in match.group(7, 8, 9, 10))
    wx, wy, ww, wh = check.window
    if wx < 0 or wy < 0 or wx + ww > check.screen.width or wy + wh > check.screen.height:
        raise Failure("the window %s is not inside the %dx%d screen" % (check.window, check.screen.width,
                                                                       check.screen.height))
    if ly + lh > ay + ah or lx + lw > ax + aw:
        raise Failure("%s ends at %d,%d, outside the page area %d,%d %dx%d" % (name, lx + lw, ly + lh, ax, ay, aw, ah))
    image = check.screen.grab()
    drawn = sum(1 for y in range(ly, ly + lh, 2) for x in range(lx, lx + lw, 2)
                if not close(image.pixel(x, y), PAGE_GREY))
    if not drawn:
        raise Failure("%s at %d,%d %dx%d shows only the page's grey" % (name, lx, ly, lw, lh))
    return "lowest %s, %d px above the footer" % (name or "control", ay + ah - (ly + lh))


def still_screen(check):
    """A grab of the screen once two grabs in a row show the window alike (drawing has ended)."""
    grabs = [check.screen.grab()]

    def still():
        grabs.append(check.screen.grab())
        return not grabs[-2].changed_pixels(grabs[-1], check.window)
    wait_for("the window to stand still", still, SWITCH_TIMEOUT, interval=0.1)
    return grabs[-1]


def box_shown(check, content, button, shot):
    """Clicks a button of the page that asks in a box, photographs the box and closes it with
    Escape, as a person who only looks would."""
    def boxes():
        return [w for w in content.widgets() if w.path.endswith(("/ProfileSelectionDialog", "/LinkProfilesDialog", "qt_msgbox_label"))]
    content.click(content.widget(button, lambda w: w.enabled, "%s enabled" % button))
    box = wait_for("the box", boxes, SWITCH_TIMEOUT, interval=0.1)[0]
    check.shot(shot, still_screen(check))
    check.screen.key("Escape")
    wait_for("the box to close", lambda: not boxes(), SWITCH_TIMEOUT, interval=0.1)
    return "%s at %d,%d" % (box.path, box.x, box.y)


def link_settings_tabs(check, content):
    """The LINK's row and "Settings": each tab of the LINK's settings photographed once the LINK's
    record is read (the footer's right button, Reset, enabled)."""
    rows = content.widget("linkListWidget", lambda w: w.value.startswith("1:"), "the LINK listed")
    check.screen.click(rows.x + rows.w / 2, rows.y + 10)
    settings = content.widget("PageFooter/rightButton", lambda w: w.enabled, "Settings enabled")
    check.switch("LinkIndoor", settings.centre())
    content.widget("PageFooter/rightButton", lambda w: w.enabled, "the LINK's record read")
    bar = "tabWidget/qt_tabwidget_tabbar"
    tabs = content.widget(bar).value.split(":", 2)[2].split("|")
    shown = 0
    for index, rect in enumerate(tabs):
        x, y, w, h, state = rect.split(",")
        if state != "enabled":
            continue  # a tab the LINK's wizard has not reached yet
        check.screen.click(int(x) + int(w) / 2, int(y) + int(h) / 2)
        check.screen.park_pointer()
        content.widget(bar, lambda wd: wd.value.split(":")[1] == str(index), "tab %d current" % (index + 1))
        check.shot("link-settings-%d" % (index + 1), still_screen(check))
        shown += 1
    return "%d of %d tabs" % (shown, len(tabs))


def off_the_task_bar(screen):
    """The toolbar asks the task bar and the pager to leave it out."""
    windows = wait_for("the toolbar", lambda: [w for w in screen.windows("^OrvixTools$")
                                              if 20 <= min(w[3], w[4]) < 400], START_TIMEOUT)
    state = subprocess.run(["xprop", "-id", windows[0][0], "_NET_WM_STATE"], capture_output=True, text=True,
                           timeout=20).stdout
    for atom in ("_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"):
        if atom not in state:
            raise Failure("the toolbar lacks %s: %s" % (atom, state.strip()))


class PrivateScreen:
    """An X server of its own at the given size, the display for as long as it lives."""

    def __init__(self, size):
        # A display number of its own: one whose server answers with this size is ours (servers of
        # other sessions may hold numbers this one cannot see).
        self.saved = None
        first = 400 + os.getpid() % 400
        for number in range(first, first + 20):
            read, write = os.pipe()
            self.process = subprocess.Popen(
                ["Xvfb", ":%d" % number, "-displayfd", str(write), "-screen", "0", "%dx%dx24" % size,
                 "-nolisten", "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(write)
            with os.fdopen(read) as pipe:
                ready = pipe.readline().strip()
            env = dict(os.environ, DISPLAY=":%d" % number)
            env.pop("XAUTHORITY", None)
            answer = subprocess.run(["xdotool", "getdisplaygeometry"], env=env, capture_output=True, text=True,
                                    timeout=20).stdout.split() if ready else []
            if self.process.poll() is None and answer == [str(v) for v in size]:
                self.saved = (os.environ.get("DISPLAY"), os.environ.get("XAUTHORITY"))
                os.environ["DISPLAY"] = ":%d" % number
                os.environ.pop("XAUTHORITY", None)
                return
            self.stop()
        raise OSError("no Xvfb display of its own started")

    def stop(self):
        if self.saved:
            for key, value in zip(("DISPLAY", "XAUTHORITY"), self.saved):
                if value is None:
                    os.environ.pop(key, None)
                else:
                    os.environ[key] = value
            self.saved = None
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(10)


def small_screen(executable, artifacts, language, deadline):
    """Every page on a 1366 by 768 screen in language: a screenshot each in
    <artifacts>/1366x768-<language>, and each page's controls inside the window. Returns (passed, failed)."""
    folder = os.path.join(artifacts, "%dx%d-%s" % (SMALL_SCREEN + (language,)))
    os.makedirs(folder, exist_ok=True)
    try:
        display = PrivateScreen(SMALL_SCREEN)
    except OSError as error:
        print("FAIL  %-44s %s" % ("small screen starts", error), flush=True)
        return 0, 1
    sandbox = tempfile.mkdtemp(prefix="orvix-e2e-small-")
    settings_file = os.path.join(sandbox, "settings.ini")
    write_settings(settings_file, language)
    app = None
    try:
        screen = Screen()
        screen.park_pointer()
        app = App(executable, sandbox, settings_file, folder)
        check = Check(app, screen, folder)
        content = Content(check, Failure, wait_for, SWITCH_TIMEOUT)
        saved_guard = wait_for.guard
        wait_for.guard = lambda: app.ended() or ("the run's limit was reached" if time.monotonic() > deadline else None)
        tag = "%dx%d %s: " % (SMALL_SCREEN + (language,))

        def main_window():
            _, x, y, w, h = wait_for("the main window", lambda: next(
                iter(w for w in screen.windows("^OrvixTools$") if w[3] >= 400 and w[4] >= 400), None), START_TIMEOUT)
            check.window = (x, y, w, h)
            app.wait_log(r'Dongle initialization .*"O[Kk]"', 0, START_TIMEOUT)  # the result's text is translated
            wait_for("the System Status tile enabled",
                     lambda: check.tile_enabled(screen.grab(), "root", "System Status"), START_TIMEOUT)
            check.shot("menu")
            return "at %d,%d %dx%d" % check.window
        if not check.step(tag + "main window shows", main_window):
            return check.passed, check.failed
        check.step(tag + "toolbar off the task bar", lambda: off_the_task_bar(screen))
        level = "root"
        for menu, entry, page in ALL_PAGES:
            if menu != level:
                if level != "root":
                    check.step(tag + "back to the main menu", lambda: check.screen.click(*check.footer_left()) or
                               wait_for("the main menu", lambda: check.menu_level(screen.grab()) == "root",
                                        SWITCH_TIMEOUT) and None)
                check.step(tag + "%s submenu" % menu, check.submenu(menu, check.tile_centre("root", menu)[:2],
                                                                  menu.lower() + "-menu"))
                level = menu
            shot = re.sub(r"[^a-z0-9]+", "-", entry.lower())
            if check.step(tag + "%s opens" % entry, check.open_from_menu(menu, entry, page, shot)):
                check.step(tag + "%s: controls inside" % entry, lambda: controls_inside(check, page))
                if page == "Profiles":
                    for button, box in (("addProfileButton", "box-create-profile"),
                                        ("resetProfileButton", "box-reset-profile"),
                                        ("removeProfileButton", "box-delete-default")):
                        check.step(tag + "Mouse Profiles: %s box" % button,
                                   lambda: box_shown(check, content, button, box))
                if page == "Link":
                    check.step(tag + "LINK settings: every tab", lambda: link_settings_tabs(check, content))
                    check.step(tag + "LINK settings: Reset's box",
                               lambda: box_shown(check, content, "PageFooter/rightButton", "box-link-reset"))
                    check.step(tag + "LINK settings: home", check.back_to_menu(level, by_home=True))
                    continue
            check.step(tag + "%s: back" % entry, check.back_to_menu(level))
        wait_for.guard = saved_guard
        return check.passed, check.failed
    finally:
        if app:
            app.stop()
        display.stop()
        shutil.rmtree(sandbox, ignore_errors=True)


def run(args):
    build = os.path.abspath(args.build)
    executable = os.path.join(build, "tools", "devapp", "orvixtools-dev")
    artifacts = os.path.join(build, "test-artifacts", "e2e")
    shutil.rmtree(artifacts, ignore_errors=True)
    os.makedirs(artifacts)
    if not os.access(executable, os.X_OK):
        print("FAIL  %-44s %s is not built" % ("start", executable))
        return 1
    for tool in ("xdotool", "import", "convert", "xprop", "Xvfb"):
        if not shutil.which(tool):
            print("FAIL  %-44s %s is missing (scripts/install-deps.sh installs it)" % ("start", tool))
            return 1

    started = time.monotonic()
    sandbox = tempfile.mkdtemp(prefix="orvix-e2e-")
    settings_file = os.path.join(sandbox, "settings.ini")
    write_settings(settings_file)
    screen = Screen()
    screen.park_pointer()
    app = App(executable, sandbox, settings_file, artifacts)
    check = Check(app, screen, artifacts)
    content = Content(check, Failure, wait_for, SWITCH_TIMEOUT)
    # However the steps go, the run ends within the hard limit.
    hard_deadline = started + args.limit
    wait_for.guard = lambda: app.ended() or (
        "the run's %d s limit was reached" % args.limit if time.monotonic() > hard_deadline else None)
    step = check.step
    try:
        def main_window():
            def found():
                windows = [w for w in screen.windows("^OrvixTools$") if w[3] >= 400 and w[4] >= 400]
                return windows[0] if windows else None
            _, x, y, w, h = wait_for("the main window", found, START_TIMEOUT)
            check.window = (x, y, w, h)
            return "at %d,%d %dx%d" % check.window

        def dongle_started():
            app.wait_log(r'Dongle initialization .*"Ok"', 0, START_TIMEOUT)
            app.wait_log(r"headseet found|headset found", 0, START_TIMEOUT)
            wait_for("the System Status tile enabled",
                     lambda: check.tile_enabled(screen.grab(), "root", "System Status"), START_TIMEOUT)
            image = screen.grab()
            check.frame_checks(image)
            check.shot("menu", image)

        def toolbar():
            # A strip at a screen edge, 46 pixels across at the default size.
            windows = wait_for("the toolbar", lambda: [w for w in screen.windows("^OrvixTools$")
                                                      if 20 <= min(w[3], w[4]) < 400], START_TIMEOUT)
            _, x, y, w, h = windows[0]
            image = screen.grab()
            if not close(image.pixel(x + 1, y + 1), HEADER_BLACK):
                raise Failure("toolbar background at %d,%d is %s" % (x + 1, y + 1, image.pixel(x + 1, y + 1)))
            check.shot("toolbar", image)
            return "at %d,%d %dx%d" % (x, y, w, h)

        if not step("main window shows", main_window):
            return 1
        if not step("dongle and headset started", dongle_started):
            return 1
        step("toolbar shows", toolbar)
        step("toolbar: Shift reaches the dongle", content.toolbar_command)

        # System Status, its 3D headset moving, and Help from it.
        step("System Status opens", check.open_from_menu("root", "System Status", "Status", "system-status"))

        def model_moves():
            # The passive headset streams a slow nod, turn and tilt: within two seconds the model
            # stands otherwise. It stands in the right half of the page; the values are at its left.
            first = screen.grab()
            px, py, pw, ph = check.page_rect()
            changed = wait_for("the model to move", lambda: (lambda n: n if n >= MODEL_MOVED_PIXELS else 0)(
                first.changed_pixels(screen.grab(), (px + pw / 2, py, pw / 2, ph))), 2.0)
            return "%d sampled pixels changed" % changed
        step("System Status: 3D headset moves", model_moves)

        def help_from(page, shot):
            def action():
                mark = app.log_mark()
                check.switch("Help", check.help_button(), check_grey=False)
                # Blank at first, then the manual at the page's own section.
                app.wait_log(r"Help jumps to page #", mark, HELP_TIMEOUT)
                # The page stays an even grey, or for a moment white, until the view shows the
                # manual's light text on its dark page: some light pixels, far from all of them.
                rect = check.page_rect()
                samples = (int(rect[2]) // 2) * (int(rect[3]) // 2)

                def manual(image):
                    light = image.bright_pixels(rect)
                    return image if MANUAL_TEXT_PIXELS < light < samples // 2 else None
                image = wait_for("the manual to show", lambda: manual(screen.grab()), HELP_TIMEOUT)
                check.shot(shot, image)
                return content.help_anchor(page, mark)
            return action

        step("Help from System Status", help_from("Status", "help-from-system-status"))
        step("Help: Back returns to System Status", lambda: check.switch("Status", check.footer_left()) and None)
        step("System Status: home returns to the menu", check.back_to_menu("root", by_home=True))

        step("Appearance opens", check.open_from_menu("root", "Appearance", "Appearance", "appearance"))
        step("Appearance: Back returns to the menu", check.back_to_menu("root"))

        # Settings.
        step("Settings submenu opens", check.submenu("Settings", check.tile_centre("root", "Settings")[:2],
                                                     "settings-menu"))

        def firmware_closed():
            if check.tile_enabled(screen.grab(), "Settings", "Firmware Update"):
                raise Failure("the Firmware Update tile is enabled")
        step("Settings: Firmware Update stays closed", firmware_closed)
        for entry, page, shot in (("Mouse Profiles", "Profiles", "mouse-profiles"), ("Link", "Link", "link"),
                                  ("Calibration", "Calibration", "calibration")):
            step("%s opens" % entry, check.open_from_menu("Settings", entry, page, shot))
            if page == "Profiles":
                step("Mouse Profiles: a slider step reaches the dongle", content.slider_reaches_dongle)
            if page == "Calibration":
                step("Calibration: bars move after Reset", content.calibration_bars_move)
            if page == "Link":
                step("Link: a form change applied and read back", content.link_form_applied)
                step("Link: home returns to Settings", check.back_to_menu("Settings", by_home=True))
                continue
            step("%s: Back returns to Settings" % entry, check.back_to_menu("Settings"))

        def menu_back(level):
            def action():
                check.screen.click(*check.footer_left())
                check.screen.park_pointer()
                wait_for("the %s menu" % level, lambda: check.menu_level(screen.grab()) == level, SWITCH_TIMEOUT)
            return action
        step("Settings: Back returns to the main menu", menu_back("root"))

        # Network.
        step("Network submenu opens", check.submenu("Network", check.tile_centre("root", "Network")[:2],
                                                   "network-menu"))
        for entry, page, shot in (("Pairing", "Pairing", "pairing"), ("Security", "Security", "security")):
            step("%s opens" % entry, check.open_from_menu("Network", entry, page, shot))
            step("%s: Back returns to Network" % entry, check.back_to_menu("Network"))
        step("Devices opens", check.open_from_menu("Network", "Devices", "Devices", "devices"))
        step("Devices: rows, and Apply writes the channel map", content.devices_apply)
        step("Help from Devices", help_from("Devices", "help-from-devices"))
        step("Help: Back returns to Devices", lambda: check.switch("Devices", check.footer_left()) and None)
        step("Devices: home returns to the menu", check.back_to_menu("Network", by_home=True))
        step("Network: Back returns to the main menu", menu_back("root"))

        # The headset takes over this computer's mouse: the crosshair counts down to zeroing.
        def crosshair():
            mark = app.log_mark()
            app.send("pc")
            app.send("active")
            app.wait_log(r"Director: headset status changed to active", mark, SWITCH_TIMEOUT)
            centre_x = screen.width // 2
            image = wait_for("the crosshair overlay",
                             lambda: (lambda i: i if close(i.pixel(centre_x, 5), CROSS_RED, 40) else None)(
                                 screen.grab()), SWITCH_TIMEOUT)
            check.shot("crosshair", image)
            mark = app.log_mark()
            app.send("passive")
            app.wait_log(r"Director: headset status changed to passive", mark, SWITCH_TIMEOUT)
            wait_for("the crosshair to go", lambda: not close(screen.grab().pixel(centre_x, 5), CROSS_RED, 40),
                     SWITCH_TIMEOUT)
        step("crosshair overlay while the headset is active", crosshair)
        step("crosshair: set zero after the countdown", lambda: content.crosshair_sets_zero(
            lambda: close(screen.grab().pixel(screen.width // 2, 5), CROSS_RED, 40)))

        # Unplugged on System Status, the dongle's pages close; plugged back in, it starts again.
        step("System Status opens again", check.open_from_menu("root", "System Status", "Status", None))

        def unplug():
            mark = app.log_mark()
            app.send("unplug")
            app.wait_log(r"Show Page \[Menu\]", mark, SWITCH_TIMEOUT)
            image = check.settled("Menu", mark)
            if check.tile_enabled(image, "root", "System Status"):
                raise Failure("the System Status tile is enabled without a dongle")
            check.shot("unplugged", image)
        step("unplugged: the menu returns", unplug)

        def plug():
            mark = app.log_mark()
            app.send("plug")
            app.wait_log(r'Dongle initialization .*"Ok"', mark, START_TIMEOUT)
            wait_for("the System Status tile enabled",
                     lambda: check.tile_enabled(screen.grab(), "root", "System Status"), START_TIMEOUT)
        step("plugged back in: the dongle starts", plug)

        def quit_app():
            trace_mark = app.trace_mark()
            wait_for.guard = lambda: (  # the application is meant to end now
                "the run's %d s limit was reached" % args.limit if time.monotonic() > hard_deadline else None)
            screen.click(*check.footer_right())
            # The mouse keeps zeroing itself once the application is gone.
            app.wait_log(r"<- app #\d+ copy \d+\s+DCP .*\[12 00 01\]", trace_mark, QUIT_TIMEOUT, source="trace")
            try:
                code = app.process.wait(QUIT_TIMEOUT)
            except subprocess.TimeoutExpired:
                raise Failure("the process still runs %d s after Quit" % QUIT_TIMEOUT)
            if code != 0:
                raise Failure("the process ended with %d" % code)
            return "auto-zero sent, exit status 0"
        step("Quit: auto-zero on, process ends with 0", quit_app)
    finally:
        app.stop()
        shutil.rmtree(sandbox, ignore_errors=True)

    for language in args.small_language.split(","):
        passed, failed = small_screen(executable, artifacts, language, hard_deadline)
        check.passed += passed
        check.failed += failed
    elapsed = time.monotonic() - started
    print("e2e: %d passed, %d failed in %.1f s; screenshots in %s" % (check.passed, check.failed, elapsed, artifacts))
    if elapsed > args.budget:
        print("FAIL  %-44s %.1f s, over the %d s budget" % ("run time", elapsed, args.budget))
        return 1
    return 1 if check.failed else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default="build", help="the build folder (default: build)")
    parser.add_argument("--small-language", default="fr,hu",
                        help="the languages of the passes on a 1366x768 screen, separated by commas: "
                             "en, fr or hu (default: fr,hu)")
    # A busy machine stretches the budget as it stretches the tests' time-outs (scripts/run-tests.sh).
    scale = max(1.0, float(os.environ.get("ORVIX_TEST_TIME_SCALE") or 1))
    parser.add_argument("--budget", type=int, default=int(120 * scale),
                        help="the run time in seconds beyond which the check fails (default: 120 times "
                             "ORVIX_TEST_TIME_SCALE)")
    parser.add_argument("--limit", type=int, default=300,
                        help="the run time in seconds after which every wait gives up (default: 300)")
    return run(parser.parse_args())


if __name__ == "__main__":
    sys.exit(main())
