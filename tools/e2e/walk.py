#!/usr/bin/env python3
"""Random walk: the development executable against the device emulator, a person and the devices
doing many things in an unplanned order. Run it on an X display of 1920x1080:

    python3 tools/e2e/walk.py --build build --seed 7 --steps 300

Each step is a device command or a burst of them (mostly unplug/plug, headset off/on,
active/passive, a new LINK, refused channel-map writes), a real click on a random enabled control
on screen (buttons, list rows, tabs, sliders, menu tiles, the header's buttons), a real drag of a
slider's handle or a head-angle marker, a key, or a page opened as its menu tile opens it (the LINK
pages and the firmware wizard, whose tile stays disabled, are visited often). After each step the
application must answer "widgets" within a bounded time; at the end "quit" must end it with status
0. A LINK parameter record goes out to a LINK only after an Apply (a click on "Apply", or a key on
it while it has the focus): a record written after any other step fails the walk. The seed and
every step are printed; --replay repeats a printed step list exactly, --start takes given steps (to
reach a page) before the random ones.
The exit status is 0 when the walk passed.
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from content import Content  # noqa: E402
from e2e import (App, Failure, FIT_MARGIN, FOOTER_HEIGHT, HEADER_HEIGHT, SCENE, START_TIMEOUT,  # noqa: E402
                 TILES, wait_for, write_settings)
from x11 import Screen  # noqa: E402

SCALE = max(1.0, float(os.environ.get("ORVIX_TEST_TIME_SCALE") or 1))
ANSWER_TIMEOUT = 15 * SCALE  # "widgets" answered
QUIT_TIMEOUT = 30 * SCALE
# Steps in a row a box may stay open although Escape was pressed on it meanwhile, or a page
# may show without a way back (a calibration or an upload under way takes a while).
STUCK_STEPS = 40

DEVICE_COMMANDS = [("unplug", 6), ("plug", 8), ("headset off", 4), ("headset on", 6), ("active", 3),
                   ("passive", 4), ("new link", 2), ("cmap error", 2), ("cmap ok", 2), ("link", 1), ("pc", 1),
                   ("battery 5", 1), ("battery 80", 1), ("new headset", 1)]
# Controls a walk clicks (a DeviceWidget is a list row); the footer's Quit ends the run and is left to the end.
CLICKABLE = re.compile(r"Button|Slider|ListWidget|DeviceWidget|TabBar|CheckBox|ComboBox|SpinBox")
SKIPPED = re.compile(r"keyboardButton$")  # starts an on-screen keyboard outside the application
WAYS_OUT = re.compile(r"PageHeader/(home|help)Button$|PageFooter/leftButton$")
BOXES = re.compile(r"(qt_msgbox_label|Dialog)$")
# A LINK parameter record the application wrote (each attempt is a burst of copies), and one a
# LINK stored.
LINK_WRITE = re.compile(
    r"^\s*([\d.]+) ms  <- app #\d+ copy (\d+)(?: \(cable\))?\s+LPP .*?\bD=(\d+)\b.*?(\[[0-9A-F ]*\])", re.MULTILINE)
LINK_STORED = re.compile(r"LINK (\d+): parameter record stored")
APPLY_STARTED = re.compile(r"changed to \[Applying parameters\]")
# Attempts of one write of a record follow each other after the send time-out (3 s), with room
# for a loaded machine.
ATTEMPT_GAP_MS = 8000
# Time after the last step for what it set going to reach the devices.
SETTLE = 2 * SCALE
# How long an Apply may wait behind the requests queued before it (a search of every device).
APPLY_WINDOW = 60 * SCALE
# Pages the walk goes to through their menu entry, by weight; the LINK pages and the firmware
# wizard are deep, so steps there keep to their own controls more often.
PAGES = [("link", 5), ("firmware", 3), ("devices", 1), ("profiles", 1), ("calibration", 1), ("status", 1)]
# Now and then the walk sets out for a deep page (from step ERRAND_START, every ERRAND_EVERY steps,
# in turn) and takes a step on the way with ERRAND_CHANCE, giving up after ERRAND_STEPS.
ERRANDS = [("link", ("LinkIndoor", "LinkOutdoor")), ("firmware", ("Firmware",))]
ERRAND_START, ERRAND_EVERY, ERRAND_STEPS, ERRAND_CHANCE = 5, 30, 20, 0.6
# Steps on another page after which the walk heads back to the menu more often.
WANDER_STEPS = 10
DEEP_PAGES = {"Link", "LinkIndoor", "LinkOutdoor", "Firmware"}
# On the way into the deep pages: the controls a person there goes for, by page, taken instead of
# any control with the given chance: groups of (path, value) patterns, the first group on screen
# where "first" is set (the LINK's "Settings" once a row is chosen), else any group.
FOOTER_RIGHT = r"PageFooter/(rightButton|actionButton)$"
# On the LINK's settings "Next" more often than the rest: each setting page shown opens the next.
LINK_SETTINGS_LEADS = (0.6, False, [
    [(FOOTER_RIGHT, r"^(Apply|Revert|Reset|Restore)$")], [(r"qt_tabwidget_tabbar$", r"")],
    [(r"LinkPage/nextButton$", r"")], [(r"LinkPage/nextButton$", r"")], [(r"LinkPage/prevButton$", r"")],
    [(r"stackedwidget/(drive|turn)/", r"")], [(r"stackedwidget/general/", r"")]])
LEADS = {
    "Link": (0.7, True, [[(FOOTER_RIGHT, r"^Settings$")], [(r"linkListWidget/.*DeviceWidget$", r"")]]),
    "LinkIndoor": LINK_SETTINGS_LEADS,
    "LinkOutdoor": LINK_SETTINGS_LEADS,
    "Firmware": (0.5, False, [[(r"navigator/(next|prev)Button$", r"")], [(r"OX__FirmwarePage/", r"")]]),
}
KEYS = ["Escape", "Return"]
DEEP_KEYS = ["Escape", "Return", "space", "Tab", "Left", "Right", "Up", "Down", "Page_Up", "Page_Down",
             "Home", "End", "ctrl+s"]
FATAL = re.compile(r"ERROR: (Address|Leak)Sanitizer|LeakSanitizer has encountered|runtime error:|ASSERT failure|Fatal:")


def weighted(rng, table):
    return rng.choices([name for name, _ in table], [weight for _, weight in table])[0]


class Walk:
    def __init__(self, app, screen):
        self.app, self.screen = app, screen
        self.content = Content(self, Failure, wait_for, ANSWER_TIMEOUT)
        self.widgets = []
        self.box_steps = self.stuck_steps = 0
        self.page = "Menu"  # the page the main window shows
        self.applying = False  # the step taken last was an Apply
        self.on_page = 0  # steps taken on the page shown
        self.steps = self.goal_steps = 0  # steps chosen; steps of the errand under way
        self.goal = None  # the errand under way: (menu entry, the pages it leads to)

    def answer(self):
        started = time.monotonic()
        self.widgets = self.content.widgets()
        return time.monotonic() - started

    def find(self, path):
        return next((w for w in self.widgets if w.path == path and w.enabled), None)

    def errand(self, rng):
        """A step on the way to the page of the errand under way (the LINK's settings, the firmware
        wizard), or None: from the menu its entry, on the LINK list its row and "Settings",
        elsewhere the way back to the menu."""
        self.steps += 1
        if self.steps % ERRAND_EVERY == ERRAND_START:
            self.goal, self.goal_steps = ERRANDS[(self.steps // ERRAND_EVERY) % len(ERRANDS)], 0
        if not self.goal or self.page in self.goal[1]:
            self.goal = None
            return None
        self.goal_steps += 1
        if self.goal_steps > ERRAND_STEPS:
            self.goal = None  # given up: the devices may not allow it now
            return None
        if rng.random() > ERRAND_CHANCE:
            return None
        if self.page == "Menu" and self.find("MainWindow"):
            return "page:" + self.goal[0]
        ways = ([(FOOTER_RIGHT, r"^Settings$")], [(r"linkListWidget/.*DeviceWidget$", r"")]) \
            if self.page == "Link" and self.goal[0] == "link" else ([(r"PageHeader/homeButton$", r"")],)
        for group in ways:
            found = [w for w in self.widgets if w.enabled and w.w > 4 and w.h > 4 and
                     any(re.search(p, w.path) and re.search(v, w.value) for p, v in group)]
            if found:
                return "click:%s@%.2f,%.2f" % (rng.choice(found).path, rng.uniform(-0.2, 0.2), rng.uniform(-0.2, 0.2))
        return None

    def choose(self, rng):
        """The next step as text: "cmd:<command>[|<command>...]", "click:<path>@<dx>,<dy>",
        "drag:<handle path>@<dx>,<dy>", "tile:<x>,<y>", "page:<name>" or "key:<name>"."""
        step = self.errand(rng)
        if step:
            return step
        deep = self.page in DEEP_PAGES
        applies = [w for w in self.widgets if w.enabled and w.value == "Apply" and re.search(FOOTER_RIGHT, w.path)]
        if deep and applies and rng.random() < 0.2:
            return "click:%s@%.2f,%.2f" % (applies[0].path, rng.uniform(-0.2, 0.2), rng.uniform(-0.2, 0.2))
        kind = weighted(rng, [("cmd", 2 if deep else 3), ("burst", 1), ("click", 6), ("key", 2 if deep else 1),
                              ("drag", 3 if deep else 1), ("page", 3 if self.page == "Menu" else 0)])
        if kind == "page":
            return "page:" + weighted(rng, PAGES)
        if kind == "drag":
            handles = sorted(path for path, (_, _, w, h) in self.content.handles.items() if w > 0 and h > 0)
            if handles:
                return "drag:%s@%d,%d" % (rng.choice(handles), rng.randint(-120, 120), rng.randint(-120, 120))
            kind = "click"
        if kind == "cmd":
            return "cmd:" + weighted(rng, DEVICE_COMMANDS)
        if kind == "burst":  # device changes within a few milliseconds of each other
            return "cmd:" + "|".join(weighted(rng, DEVICE_COMMANDS) for _ in range(rng.randint(2, 4)))
        if kind == "key":
            return "key:" + rng.choice(DEEP_KEYS if deep else KEYS)
        main = self.find("MainWindow")
        if main and rng.random() < (0.7 if self.page == "Menu" else 0.05 if deep else 0.1):  # a tile, or a point
            menu = TILES[rng.choice(sorted(TILES))]
            sx, sy = menu[rng.choice(sorted(menu))]
            return "tile:%d,%d" % (sx, sy)
        targets = [w for w in self.widgets if w.enabled and CLICKABLE.search(w.cls) and not SKIPPED.search(w.path)
                   and w.value != "Quit" and w.w > 4 and w.h > 4]
        if not main and rng.random() < 0.5:  # the main window hidden: its status button brings it back
            targets = [w for w in targets if w.path.endswith("statusButton")] or targets
        elif rng.random() < 0.8:  # the toolbar's many buttons would crowd out the pages' own
            targets = [w for w in targets if not w.path.startswith("SidebarDialog")] or targets
        if self.page != "Menu" and not deep and self.on_page > WANDER_STEPS and rng.random() < 0.5:
            targets = [w for w in targets if WAYS_OUT.search(w.path)] or targets  # on to the deep pages
        elif self.page != "Menu" and rng.random() < (0.8 if deep else 0.5):  # deeper into a page rather than out
            targets = [w for w in targets if not WAYS_OUT.search(w.path)] or targets
        chance, first, groups = LEADS.get(self.page, (0, False, []))
        if rng.random() < chance:
            found = [[w for w in targets if any(re.search(p, w.path) and re.search(v, w.value) for p, v in group)]
                     for group in groups]
            found = [group for group in found if group]
            targets = (found[0] if first else rng.choice(found)) if found else targets
        if not targets:
            return "key:Escape"
        w = rng.choice(targets)
        tabs = [t for t in w.value.split(":")[-1].split("|") if t.endswith(",enabled")] if "TabBar" in w.cls else []
        if tabs:  # a tab that takes a click, in its middle
            x, y, tw, th = (int(v) for v in rng.choice(tabs).split(",")[:4])
            return "click:%s@%.2f,%.2f" % (w.path, (x + tw / 2 - w.x) / w.w - 0.5, (y + th / 2 - w.y) / w.h - 0.5)
        # Lists and sliders take a click anywhere in them; a button in its middle half.
        spread = 0.45 if re.search(r"Slider|ListWidget|TabBar", w.cls) else 0.25
        return "click:%s@%.2f,%.2f" % (w.path, rng.uniform(-spread, spread), rng.uniform(-spread, spread))

    def do(self, step):
        """Takes the step; returns a note on it. Sets self.applying when the step is a person's
        Apply: a click on a control reading "Apply", or Return or space on it while it has the focus."""
        kind, _, what = step.partition(":")
        focused = self.find(self.content.focus) if self.content.focus else None
        self.applying = kind == "key" and what in ("Return", "space") and bool(focused) and focused.value == "Apply"
        if kind == "cmd":
            for command in what.split("|"):
                self.app.send(command)
        elif kind == "page":
            self.app.send("page " + what)
        elif kind == "key":
            self.screen.key(what)
        elif kind == "drag":
            path, _, offset = what.partition("@")
            handle = self.content.handles.get(path)
            if not handle:
                return "gone"
            x, y = handle[0] + handle[2] / 2, handle[1] + handle[3] / 2
            dx, dy = (int(v) for v in offset.split(","))
            if not (0 <= x < self.screen.width and 0 <= y < self.screen.height):
                return "off the screen"
            self.screen.drag(x, y, min(max(x + dx, 0), self.screen.width - 1),
                             min(max(y + dy, 0), self.screen.height - 1))
        elif kind == "tile":
            main = self.find("MainWindow")
            if not main:
                return "no main window"
            sx, sy = (int(v) for v in what.split(","))
            ph = main.h - HEADER_HEIGHT - FOOTER_HEIGHT
            scale = (min(main.w, ph) - 2 * FIT_MARGIN) / SCENE
            self.screen.click(main.x + main.w / 2 + (sx - SCENE / 2) * scale,
                              main.y + HEADER_HEIGHT + ph / 2 + (sy - SCENE / 2) * scale)
        else:
            path, _, offset = what.partition("@")
            w = self.find(path)
            if not w:
                return "gone"
            dx, dy = (float(v) for v in offset.split(","))
            x, y = w.x + w.w * (0.5 + dx), w.y + w.h * (0.5 + dy)
            if not (0 <= x < self.screen.width and 0 <= y < self.screen.height):
                return "off the screen"  # a page sliding out
            self.applying = w.value == "Apply"
            self.screen.click(x, y)
            return '"%s"' % w.value if w.value and "Button" in w.cls else ""
        return ""

    def check(self, step):
        """The application still answers; a box pressed Escape on does not stay for ever; a page
        shown without a box keeps a way back (the header's home or the footer's left button)."""
        took = self.answer()
        boxes = [w for w in self.widgets if BOXES.search(w.path) and not w.path.startswith("SidebarDialog")]
        self.box_steps = self.box_steps + 1 if boxes and (step == "key:Escape" or self.box_steps) else 0
        if self.box_steps > STUCK_STEPS:
            raise Failure("the box %s stays open %d steps after Escape" % (boxes[0].path, STUCK_STEPS))
        back = any(self.find("MainWindow/centralWidget/" + b)
                   for b in ("PageHeader/homeButton", "PageFooter/leftButton"))
        stuck = self.find("MainWindow") and not boxes and not back and self.page != "Menu"
        self.stuck_steps = self.stuck_steps + 1 if stuck else 0
        if self.stuck_steps > STUCK_STEPS:
            raise Failure("the page %s has had no way back for %d steps" % (self.page, STUCK_STEPS))
        return took


class LinkWrites:
    """A LINK's parameter record goes out only after an Apply. Each Apply that the LINK settings
    page started ("Applying parameters") allows one write of a record, with its attempts, within
    APPLY_WINDOW; an unplugged dongle drops what it had queued. Any other write is a fault."""

    def __init__(self):
        self.allowed = []  # the times of the applies not yet written
        self.last = None  # (record, emulator ms) of the last attempt seen
        self.after_apply = 0  # steps in which an Apply's start may still be logged

    def check(self, step, applying, log, trace):
        """Raises Failure for a write that no Apply allows; returns a note on what was written."""
        now = time.monotonic()
        self.allowed = [t for t in self.allowed if now - t <= APPLY_WINDOW]
        # The click and the listing after it reach the application on two ways: the start of an
        # apply may be logged a step later.
        self.after_apply = 2 if applying else max(0, self.after_apply - 1)
        if self.after_apply:
            self.allowed += [now] * len(APPLY_STARTED.findall(log))
        written = set()
        for ms, copy, to, record in LINK_WRITE.findall(trace):
            written.add(to)
            if copy != "1":
                continue
            ms = float(ms)
            again = self.last and self.last[0] == (to, record) and ms - self.last[1] <= ATTEMPT_GAP_MS
            self.last = ((to, record), ms)
            if again:
                continue
            if not self.allowed:
                raise Failure("a LINK parameter record %s went out to address %s after the step %s, which was "
                              "no Apply" % (record, to, step))
            self.allowed.pop(0)
        if step.startswith("cmd:") and "unplug" in step[4:].split("|"):
            self.allowed = []
        stored = sorted(set(LINK_STORED.findall(trace)))
        return (" LINK record written to %s%s" % (",".join(sorted(written)),
                                                   ", stored by LINK " + ",".join(stored) if stored else "")
                if written else "")


def fatal_report(app):
    text = app.logs["trace"].read() + app.logs["log"].read()
    match = FATAL.search(text)
    return text[max(0, match.start() - 200):match.start() + 4000] if match else None


def run(args):
    executable = os.path.join(os.path.abspath(args.build), "tools", "devapp", "orvixtools-dev")
    sandbox = tempfile.mkdtemp(prefix="orvix-walk-")
    artifacts = os.path.join(sandbox, "out")
    os.makedirs(artifacts)
    settings_file = os.path.join(sandbox, "settings.ini")
    write_settings(settings_file)
    screen = Screen()
    screen.park_pointer()
    app = App(executable, sandbox, settings_file, artifacts)
    walk = Walk(app, screen)
    writes = LinkWrites()
    rng = random.Random(args.seed)
    replay = args.replay.split(";") if args.replay else None
    wait_for.guard = app.ended
    print("walk: seed %d, %s" % (args.seed, "replay of %d steps" % len(replay) if replay else
                                 "%d steps" % args.steps if not args.seconds else "%d s" % args.seconds), flush=True)
    done, status, seen = [], 1, set()
    read = {"log": 0, "trace": 0}

    def watched():
        """The log and the trace written since the last call: the trace first, for a write's apply
        is logged before the write goes out."""
        trace, log = app.logs["trace"].read(), app.log()
        parts = (log[read["log"]:], trace[read["trace"]:])
        read.update(log=len(log), trace=len(trace))
        return parts

    try:
        app.wait_log(r"Dongle initialization", 0, START_TIMEOUT)
        walk.answer()
        begun = time.monotonic()
        deadline = begun + args.seconds - SETTLE if args.seconds else None  # the settling within the time
        start = args.start.split(";") if args.start else []
        count = len(replay) if replay else len(start) + args.steps
        for index in range(count):
            if deadline and time.monotonic() > deadline:
                break
            step = replay[index] if replay else start[index] if index < len(start) else walk.choose(rng)
            note = walk.do(step)
            done.append(step)
            time.sleep(rng.uniform(0, 0.4) if not replay else 0.2)  # some steps land mid-change
            took = walk.check(step)
            pages = re.findall(r"Show Page \[(\w+)\]", app.log())
            seen.update(pages)
            walk.on_page = 0 if pages and pages[-1] != walk.page else walk.on_page + 1
            walk.page = pages[-1] if pages else walk.page
            # A LINK's parameters written: only an Apply writes them.
            try:
                note += writes.check(step, walk.applying, *watched())
            finally:
                print("%4d %6.1f %-60s %4.1f s %-12s %s"
                      % (index + 1, time.monotonic() - begun, step, took, walk.page, note), flush=True)
        if done:  # what the last steps set going still goes out
            time.sleep(SETTLE)
            writes.check(done[-1], False, *watched())
        mark = app.log_mark()
        app.send("quit")
        try:
            code = app.process.wait(QUIT_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failure("the process still runs %d s after quit" % QUIT_TIMEOUT)
        if code != 0:
            raise Failure("the process ended with %d after quit: %s" % (code, app.log()[mark:][-2000:]))
        status = 0
    except (Failure, subprocess.SubprocessError, OSError) as error:
        print("FAIL  %s" % error, flush=True)
    finally:
        app.stop()
        report = fatal_report(app)
        if report:
            status = 1
            print("FAIL  the application reported:\n%s" % report, flush=True)
        print("walk: seed %d, %d steps, %s; pages shown: %s\nsteps: %s" % (
            args.seed, len(done), "PASS" if status == 0 else "FAIL", " ".join(sorted(seen)), ";".join(done)),
            flush=True)
        if status == 0 or not args.keep:
            shutil.rmtree(sandbox, ignore_errors=True)
        else:
            print("logs kept in %s" % artifacts)
    return status


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default="build", help="the build folder (default: build)")
    parser.add_argument("--seed", type=int, default=1, help="the random seed (default: 1)")
    parser.add_argument("--steps", type=int, default=200, help="the number of steps (default: 200)")
    parser.add_argument("--seconds", type=float, help="stop taking steps after this many seconds")
    parser.add_argument("--replay", help="a step list a walk printed, separated by ';'")
    parser.add_argument("--start", help="steps to take first (to reach a page), separated by ';'")
    parser.add_argument("--keep", action="store_true", help="keep the logs of a failed walk")
    return run(parser.parse_args())


if __name__ == "__main__":
    sys.exit(main())
