"""The X screen as the end-to-end check sees it: grabs (ImageMagick's import), real pointer input
(xdotool) and the windows on the screen."""

import os
import subprocess
import tempfile
import time


def _run(*args, timeout=20):
    return subprocess.run(args, check=True, capture_output=True, text=True, timeout=timeout).stdout


class Image:
    """One grab of the whole screen, 8-bit RGB."""

    def __init__(self, width, height, data):
        self.width = width
        self.height = height
        self.data = data

    def pixel(self, x, y):
        x, y = int(round(x)), int(round(y))
        if not (0 <= x < self.width and 0 <= y < self.height):
            return (-1, -1, -1)
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def changed_pixels(self, other, rect, step=2):
        """How many pixels (sampled every step pixels) of rect differ from those of other."""
        x0, y0, w, h = (int(v) for v in rect)
        count = 0
        for y in range(y0, y0 + h, step):
            row = (y * self.width) * 3
            for x in range(x0, x0 + w, step):
                i = row + x * 3
                if self.data[i:i + 3] != other.data[i:i + 3]:
                    count += 1
        return count

    def bright_pixels(self, rect, step=2, level=0xC0):
        """How many pixels (sampled every step pixels) of rect are light in every channel."""
        x0, y0, w, h = (int(v) for v in rect)
        count = 0
        for y in range(y0, y0 + h, step):
            row = (y * self.width) * 3
            for x in range(x0, x0 + w, step):
                i = row + x * 3
                if min(self.data[i:i + 3]) >= level:
                    count += 1
        return count

    def save_png(self, path):
        with tempfile.NamedTemporaryFile(suffix=".rgb") as raw:
            raw.write(self.data)
            raw.flush()
            _run("convert", "-size", "%dx%d" % (self.width, self.height), "-depth", "8", "rgb:" + raw.name, path)


def close(colour, expected, tolerance=6):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def hex_colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


class Screen:
    def __init__(self):
        width, height = _run("xdotool", "getdisplaygeometry").split()
        self.width, self.height = int(width), int(height)
        self._raw = os.path.join(tempfile.mkdtemp(prefix="orvix-e2e-grab-"), "screen.rgb")

    def grab(self):
        _run("import", "-silent", "-window", "root", "-depth", "8", "rgb:" + self._raw)
        with open(self._raw, "rb") as f:
            data = f.read()
        if len(data) != self.width * self.height * 3:
            raise RuntimeError("screen grab of %d bytes" % len(data))
        return Image(self.width, self.height, data)

    def click(self, x, y):
        x, y = int(round(x)), int(round(y))
        # xdotool's --sync waits for the pointer to move: one already there would wait in vain.
        where = dict(v.split("=", 1) for v in _run("xdotool", "getmouselocation", "--shell").split() if "=" in v)
        if (int(where["X"]), int(where["Y"])) != (x, y):
            _run("xdotool", "mousemove", "--sync", str(x), str(y))
        # A press and a release at rest, as a hand on a mouse makes them.
        time.sleep(0.05)
        _run("xdotool", "click", "1")

    def drag(self, x0, y0, x1, y1, steps=8):
        """Presses at (x0, y0), moves to (x1, y1) in a few steps, as a hand does, and lets go there."""
        points = [(int(round(x0 + (x1 - x0) * i / steps)), int(round(y0 + (y1 - y0) * i / steps)))
                  for i in range(steps + 1)]
        _run("xdotool", "mousemove", "--sync", str(points[0][0]), str(points[0][1]))
        time.sleep(0.05)
        _run("xdotool", "mousedown", "1")
        try:
            for x, y in points[1:]:
                time.sleep(0.02)
                _run("xdotool", "mousemove", str(x), str(y))
            time.sleep(0.05)
        finally:
            _run("xdotool", "mouseup", "1")

    def key(self, name):
        """Presses and releases a key (an xdotool key name) in the window that has the focus."""
        _run("xdotool", "key", name)

    def park_pointer(self):
        """Moves the pointer out of every window (hover marks would change the pixels)."""
        _run("xdotool", "mousemove", "--sync", str(self.width - 1), str(self.height - 1))

    def windows(self, name):
        """The visible windows whose name matches name: [(id, x, y, width, height)]."""
        try:
            ids = _run("xdotool", "search", "--onlyvisible", "--name", name).split()
        except subprocess.CalledProcessError:
            return []  # none yet
        found = []
        for wid in ids:
            try:
                shell = _run("xdotool", "getwindowgeometry", "--shell", wid)
            except subprocess.CalledProcessError:
                continue  # gone meanwhile
            values = dict(line.split("=", 1) for line in shell.split() if "=" in line)
            found.append((wid, int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])))
        return found
