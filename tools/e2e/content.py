"""What the pages show and send, beyond their having appeared: controls found by name through the
development executable's "widgets" command, their effect read from the screen and from the
emulator's frame trace (what reached the dongle)."""

import re
import time

WIDGET_LINE = re.compile(r"Widget (\S+) (\S+) (-?\d+),(-?\d+) (\d+)x(\d+) (enabled|disabled) \[(.*)\]$")
# What a person drags inside a widget (a slider's handle, a head-angle marker), and the focus.
HANDLE_LINE = re.compile(r"Handle (\S+) (-?\d+),(-?\d+) (\d+)x(\d+)$")
FOCUS_LINE = re.compile(r"Focus (\S+)$")

# Anchors of the manual that Help opens at, by the page it was opened from.
HELP_ANCHORS = {"Status": "status_anchor", "Devices": "devices_anchor"}

# Commands as the dongle receives them (the trace's hex payload of a DCP frame).
SET_ZERO = r"\[09 00 00\]"
SHIFT_PRESS = r"\[11 81 01\]"
# The tremor filter: its percentage after 03 00.
TREMOR_FILTER = r"\[03 00 (?!%02X)[0-9A-F]{2}\]"

# A LINK's parameter frame from the LINK at address 3 (to) or to it (from): its bytes 12 and 13
# hold the tremor filter, 65500 for 100 %.
LINK_RECORD = r"LPP .*%s=3 .*\[(?:[0-9A-F]{2} ){12}%s\b"
TREMOR_FULL = 65500

# Sampled pixels of the calibration bars that must change once a calibration runs.
BARS_MOVED_PIXELS = 20


class Widget:
    def __init__(self, match):
        self.path, self.cls = match.group(1), match.group(2)
        self.x, self.y, self.w, self.h = (int(match.group(i)) for i in range(3, 7))
        self.enabled = match.group(7) == "enabled"
        self.value = match.group(8)

    def centre(self):
        return self.x + self.w / 2, self.y + self.h / 2

    def rect(self):
        return self.x, self.y, self.w, self.h


class Content:
    def __init__(self, check, failure, wait_for, timeout):
        self.check, self.app, self.screen = check, check.app, check.screen
        self.Failure, self.wait_for, self.timeout = failure, wait_for, timeout
        self.handles, self.focus = {}, None  # from the last listing: {path: (x, y, w, h)}, a path

    # ---- reading ------------------------------------------------------------------------------

    def widgets(self):
        """Every named widget on screen, as the application lists it now."""
        mark = self.app.log_mark()
        self.app.send("widgets")
        self.app.wait_log(r"Widgets end", mark, self.timeout)
        found = []
        self.handles, self.focus = {}, None
        for line in self.app.log()[mark:].splitlines():
            match = WIDGET_LINE.search(line)
            if match:
                found.append(Widget(match))
            match = HANDLE_LINE.search(line)
            if match:
                self.handles[match.group(1)] = tuple(int(match.group(i)) for i in range(2, 6))
            match = FOCUS_LINE.search(line)
            if match:
                self.focus = match.group(1)
        return found

    def widget(self, suffix, condition=None, description=None):
        """Waits for the one widget whose path ends in suffix (and meets condition)."""
        def find():
            for w in self.widgets():
                if (w.path == suffix or w.path.endswith("/" + suffix)) and (condition is None or condition(w)):
                    return w
            return None
        return self.wait_for(description or "the widget %s" % suffix, find, self.timeout, interval=0.1)

    def sent(self, pattern, since, what):
        """Waits for a frame the application wrote to the dongle after trace position since."""
        return self.app.wait_log(r"<- app #\d+ copy \d+\s+.*%s" % pattern, since, self.timeout, source="trace")

    def click(self, widget):
        self.screen.click(*widget.centre())
        self.screen.park_pointer()

    # ---- checks -------------------------------------------------------------------------------

    def help_anchor(self, page, log_since):
        """The manual opened at the section of the page Help came from."""
        anchors = re.findall(r"Help jumps to page #(\S+)", self.app.log()[log_since:])
        expected = HELP_ANCHORS[page]
        if not anchors or anchors[-1] != expected:
            raise self.Failure("Help from %s opened at #%s, not #%s" % (page, anchors[-1] if anchors else "?", expected))
        return "section #%s" % expected

    def toolbar_command(self):
        """The toolbar's Shift button presses Shift on the dongle."""
        shift = self.widget("shiftButton", lambda w: w.enabled, "the toolbar's Shift button enabled")
        since = self.app.trace_mark()
        self.click(shift)
        self.sent(SHIFT_PRESS, since, "Shift pressed")
        return "Shift press on the wire"

    def calibration_bars_move(self):
        """Reset starts a calibration: the sensors' bars fill."""
        bars = [self.widget(name + "Progress") for name in ("magneto", "gyro", "accelero")]
        reset = self.widget("PageFooter/rightButton", lambda w: w.value == "Reset", "the Reset button")
        before = self.screen.grab()
        self.click(reset)

        def moved():
            image = self.screen.grab()
            return sum(before.changed_pixels(image, bar.rect()) for bar in bars) >= BARS_MOVED_PIXELS
        self.wait_for("the calibration bars to move", moved, self.timeout, interval=0.05)
        return "bars moved"

    def slider_reaches_dongle(self):
        """A step of the tremor filter, applied, is written to the dongle."""
        slider = "pointAndClickPage/tremorFilter_pac"
        before = self.widget(slider)
        self.click(self.widget(slider + "/increase_button"))
        after = self.widget(slider, lambda w: w.value != before.value, "the tremor filter to change")
        since = self.app.trace_mark()
        self.click(self.widget("PageFooter/rightButton", lambda w: w.value == "Apply" and w.enabled, "Apply"))
        self.sent(TREMOR_FILTER % int(before.value), since, "the tremor filter")
        return "tremor filter %s -> %s, sent" % (before.value, after.value)

    def link_form_applied(self):
        """The LINK's row and "Settings": a step of the General form's tremor filter, applied,
        reaches the LINK in its parameter frame, and the form shows what the LINK gives back."""
        rows = self.widget("linkListWidget", lambda w: w.value.startswith("1:"), "the LINK listed")
        self.screen.click(rows.x + rows.w / 2, rows.y + 10)
        self.check.switch("LinkIndoor", self.widget("PageFooter/rightButton", lambda w: w.value == "Settings"
                                                    and w.enabled, "Settings").centre())
        self.widget("PageFooter/rightButton", lambda w: w.value == "Reset" and w.enabled, "the LINK's record read")
        before = self.widget("tfSlider")
        self.click(self.widget("tfSlider/increase_button"))
        after = self.widget("tfSlider", lambda w: w.value != before.value, "the tremor filter to change")
        raw = round(int(after.value) / 100 * TREMOR_FULL)
        wire = "%02X %02X" % (raw & 0xFF, raw >> 8)
        since = self.app.trace_mark()
        self.click(self.widget("PageFooter/rightButton", lambda w: w.value == "Apply" and w.enabled, "Apply"))
        try:
            self.sent(LINK_RECORD % ("D", wire), since, "the LINK's record")
        except self.Failure:
            written = re.findall(r"<- app .*LPP .*D=3 .*\[((?:[0-9A-F]{2} ){13}[0-9A-F]{2})",
                                 self.app.logs["trace"].read()[since:])
            raise self.Failure("the LINK's record with tremor filter %s %% (bytes 12-13 %s) never went out; "
                               "written: %s" % (after.value, wire, [w[-5:] for w in written] or "nothing"))
        self.app.wait_log(r"-> app #\d+\s+" + LINK_RECORD % ("S", wire), since, self.timeout, source="trace")
        self.widget("PageFooter/rightButton", lambda w: w.value == "Reset" and w.enabled, "the record applied")
        shown = self.widget("tfSlider").value
        if shown != after.value:
            raise self.Failure("the form shows tremor filter %s after the read-back, not %s" % (shown, after.value))
        return "tremor filter %s -> %s, [.. %s ..] written and read back" % (before.value, after.value, wire)

    def devices_apply(self):
        """The Devices page lists the headset's channel map; a row moved and applied writes it."""
        rows = self.widget("listWidget", lambda w: w.value.startswith("2:"), "two devices listed")
        # The first row selected, moved down: the order changes and Apply shows.
        self.screen.click(rows.x + rows.w / 2, rows.y + 10)
        self.click(self.widget("downButton", lambda w: w.enabled, "the down arrow enabled"))
        since = self.app.trace_mark()
        self.click(self.widget("PageFooter/rightButton", lambda w: w.value == "Apply" and w.enabled, "Apply"))
        self.sent(r"CMAP", since, "the channel map")
        self.wait_for("Apply gone once stored", lambda: not any(
            w.path.endswith("PageFooter/rightButton") and w.value == "Apply" for w in self.widgets()), self.timeout)
        return "2 rows, channel map written"

    def crosshair_sets_zero(self, centre_red):
        """Active on this computer, the crosshair counts down and the dongle is set to zero."""
        since = self.app.trace_mark()
        self.app.send("pc")
        self.app.send("active")
        self.wait_for("the crosshair overlay", centre_red, self.timeout)
        started = time.monotonic()
        self.sent(SET_ZERO, since, "set zero")
        self.wait_for("the crosshair to go", lambda: not centre_red(), self.timeout)
        self.app.send("passive")
        return "set zero %.1f s after the overlay" % (time.monotonic() - started)
