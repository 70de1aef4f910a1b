#!/usr/bin/env python3
"""Draws the four calibration animations of the calibration page, frame by frame, and assembles
them with ImageMagick into resources/assets/calibration/{magneto,gyro,accelero,done}.gif
(539 x 300, fully opaque, looping). Deterministic: running it again gives the same pictures.

    tools/calibration/make-calibration-animations.py [output-folder]

Needs ImageMagick's `convert` (Debian package imagemagick); the build uses the committed GIFs.
"""
import math
import os
import subprocess
import sys
import tempfile

WIDTH, HEIGHT = 539, 300
BACKGROUND = "#323232"   # the page's background
SHAPE = "#F0F0F0"        # the headset
ACCENT = "#2CB5E6"       # what the user should watch
DIM = "#6A6A6A"          # guides
TABLE = "#8A6F55"
FRAMES = 32
DELAY = 8                # hundredths of a second per frame


def headset(cx, cy, angle=0.0, squeeze=1.0, size=1.0):
    """The headset seen from the front: band, ear pads and the sensor arm, turned by angle
    (degrees, in the picture plane) and squeezed horizontally (cosine of a turn about the
    vertical axis)."""
    sx = max(0.08, abs(squeeze)) * size
    return f"""
push graphic-context
  translate {cx:.2f},{cy:.2f}
  rotate {angle:.2f}
  scale {sx:.3f},{size:.3f}
  stroke-width 0
  fill {SHAPE}
  polygon {arc_points(0, 10, 77, 180, 360)} {arc_points(0, 10, 63, 360, 180)}
  roundrectangle -88,-4 -52,62 12,12
  roundrectangle 52,-4 88,62 12,12
  stroke {SHAPE}
  stroke-width 7
  line 74,52 72,72
  line 72,72 62,86
  line 62,86 44,94
  line 44,94 18,96
  stroke-width 0
  fill {ACCENT}
  circle 12,96 22,96
pop graphic-context
"""


def table(y):
    return f"""
fill {TABLE}
roundrectangle 90,{y} 449,{y + 14} 6,6
fill {DIM}
rectangle 120,{y + 14} 134,{y + 60}
rectangle 405,{y + 14} 419,{y + 60}
"""


def arc_points(cx, cy, r, start, end):
    """Points along an arc from start to end degrees (clockwise from 3 o'clock); ImageMagick
    would close an elliptic path with a chord, so arcs are drawn as polylines."""
    count = max(2, int(abs(end - start) / 8) + 2)
    return " ".join(
        f"{cx + r * math.cos(math.radians(start + (end - start) * k / (count - 1))):.2f},"
        f"{cy + r * math.sin(math.radians(start + (end - start) * k / (count - 1))):.2f}" for k in range(count))


def arc(cx, cy, r, start, end, color, width):
    if end - start < 0.5:
        return ""
    return f"""
fill none
stroke {color}
stroke-width {width}
stroke-linecap round
stroke-linejoin round
polyline {arc_points(cx, cy, r, start, end)}
stroke-width 0
"""


def magneto(t):
    """Turning in the air about every axis: the headset follows a figure of eight and turns."""
    phase = 2 * math.pi * t
    cx = 269 + 120 * math.sin(phase)
    cy = 150 + 45 * math.sin(2 * phase)
    guide = " ".join(
        f"{269 + 120 * math.sin(2 * math.pi * k / 60):.1f},{150 + 45 * math.sin(4 * math.pi * k / 60):.1f}"
        for k in range(61))
    mvg = f"fill none\nstroke {DIM}\nstroke-width 3\nstroke-dasharray 8 8\npolyline {guide}\nstroke-dasharray none\nstroke-width 0\n"
    return mvg + headset(cx, cy - 25, angle=25 * math.sin(phase * 2), squeeze=math.cos(phase), size=0.8)


def gyro(t):
    """Lying still on the table while a ring fills: nothing moves but the time."""
    mvg = table(222)
    mvg += headset(269, 120, size=1.0)
    mvg += arc(440, 70, 34, -90, 270, DIM, 8)
    mvg += arc(440, 70, 34, -90, -90 + 360 * t, ACCENT, 8)
    # a spirit level whose bubble stays in the middle
    mvg += f"fill none\nstroke {DIM}\nstroke-width 3\nroundrectangle 60,50 170,80 14,14\nstroke-width 0\n"
    mvg += f"fill {ACCENT}\ncircle 115,65 127,65\n"
    return mvg


def accelero(t):
    """Turned in steps of 45 degrees, held still after each step."""
    steps = 8
    position = t * steps
    step = int(position)
    within = position - step
    turning = min(1.0, within / 0.4)  # turn for 40 % of a step, then hold
    eased = 0.5 - 0.5 * math.cos(math.pi * turning)
    angle = 45 * (step + eased)
    cx, cy = 269, 160
    mvg = ""
    for k in range(8):
        a = math.radians(-90 + 45 * k)
        lit = k == (step + (1 if turning >= 1 else 0)) % 8 and turning >= 1
        color = ACCENT if lit else DIM
        mvg += (f"stroke {color}\nstroke-width 6\nline {cx + 118 * math.cos(a):.1f},{cy + 118 * math.sin(a):.1f} "
                f"{cx + 136 * math.cos(a):.1f},{cy + 136 * math.sin(a):.1f}\nstroke-width 0\n")
    mvg += arc(cx, cy, 127, -90 + 45 * step, -90 + angle, ACCENT, 4)
    return mvg + headset(cx, cy - 20, angle=angle, size=0.75)


def done(t):
    """A check mark drawn in a ring beside the resting headset."""
    grow = min(1.0, t / 0.6)
    cx, cy = 360, 150
    mvg = headset(150, 130, size=0.75)
    mvg += arc(cx, cy, 80, -90, -90 + 360 * grow, ACCENT, 10)
    points = [(cx - 42, cy + 2), (cx - 12, cy + 32), (cx + 44, cy - 30)]
    first = math.dist(points[0], points[1])
    second = math.dist(points[1], points[2])
    drawn = max(0.0, min(1.0, (t - 0.3) / 0.4)) * (first + second)
    if drawn > 0:
        path = [points[0]]
        if drawn <= first:
            f = drawn / first
            path.append((points[0][0] + f * (points[1][0] - points[0][0]), points[0][1] + f * (points[1][1] - points[0][1])))
        else:
            f = (drawn - first) / second
            path += [points[1], (points[1][0] + f * (points[2][0] - points[1][0]), points[1][1] + f * (points[2][1] - points[1][1]))]
        pts = " ".join(f"{x:.1f},{y:.1f}" for x, y in path)
        mvg += f"fill none\nstroke {SHAPE}\nstroke-width 16\nstroke-linecap round\nstroke-linejoin round\npolyline {pts}\nstroke-width 0\n"
    return mvg


ANIMATIONS = {"magneto": magneto, "gyro": gyro, "accelero": accelero, "done": done}


def render(name, draw, out_dir, work):
    frames = []
    for i in range(FRAMES):
        png = os.path.join(work, f"{name}-{i:02d}.png")
        subprocess.run(["convert", "-size", f"{WIDTH}x{HEIGHT}", f"xc:{BACKGROUND}", "-draw", draw(i / FRAMES),
                        "-alpha", "off", png], check=True)
        frames.append(png)
    gif = os.path.join(out_dir, f"{name}.gif")
    # No frame optimisation: every frame stays whole and opaque.
    subprocess.run(["convert", "-delay", str(DELAY), "-loop", "0", "-dispose", "None"] + frames
                   + ["-alpha", "off", "+set", "date:create", "+set", "date:modify", gif], check=True)
    return gif


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "assets", "calibration")
    os.makedirs(out_dir, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        for name, draw in ANIMATIONS.items():
            print(render(name, draw, out_dir, work))


if __name__ == "__main__":
    main()
