#!/usr/bin/env python3
"""Writes the headset model of the status page's 3D view into resources/3D/:
headset.obj, headset.mtl, headset.png (the active look) and headset_off.png (the inactive look).

The model: a headband arc over the head, two ear pads with cushions, and a strap round the front
carrying the sensor box on the forehead, so that a nod, a turn and a tilt all show. Front towards -z, y up, centred, about 5.5 units across. Every corner has a
position and a normal index; faces wind counter-clockwise seen from outside. One material is
textured ("shell", two map_Kd lines: active look first, inactive second); the others have a diffuse
colour only. The texel at uv (0, 0), the bottom-left pixel of each image, is black: untextured
parts add it to their colour.

    tools/make-headset-model.py [OUTPUT_DIR]
"""
import math
import os
import struct
import sys
import zlib

TEX = 128


class Model:
    def __init__(self):
        self.v, self.vt, self.vn = [], [], []
        self.index = ({}, {}, {})
        self.faces = []  # (material, [(p, t or None, n)] * 3)

    def _add(self, kind, value):
        value = tuple(round(c, 5) for c in value)
        table, lst = self.index[kind], (self.v, self.vt, self.vn)[kind]
        if value not in table:
            lst.append(value)
            table[value] = len(lst)
        return table[value]

    def tri(self, material, corners):
        """corners: three (position, uv or None, normal); reordered to wind counter-clockwise
        around the normals."""
        a, b, c = (corner[0] for corner in corners)
        n = cross(sub(b, a), sub(c, a))
        mean = [sum(corner[2][i] for corner in corners) for i in range(3)]
        if dot(n, mean) < 0:
            corners = [corners[0], corners[2], corners[1]]
        self.faces.append((material, [(self._add(0, p), None if t is None else self._add(1, t),
                                       self._add(2, normalize(nn))) for p, t, nn in corners]))

    def quad(self, material, corners):
        self.tri(material, [corners[0], corners[1], corners[2]])
        self.tri(material, [corners[0], corners[2], corners[3]])


def sub(a, b):
    return [a[i] - b[i] for i in range(3)]


def dot(a, b):
    return sum(a[i] * b[i] for i in range(3))


def cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def normalize(a):
    length = math.sqrt(dot(a, a)) or 1.0
    return [c / length for c in a]


def lerp(a, b, t):
    return a + (b - a) * t


BAND_UV = (0.20, 0.55, 0.95, 0.95)    # u0, v0, u1, v1
CUP_UV = (0.20, 0.20, 0.45, 0.45)
SENSOR_UV = (0.55, 0.20, 0.95, 0.45)


def headband(m, cy=-0.55, r_in=2.2, r_out=2.45, half_width=0.42, segments=16, start=-14, end=194):
    u0, v0, u1, v1 = BAND_UV
    def point(phi, r, z):
        return [r * math.cos(phi), cy + r * math.sin(phi), z]
    for i in range(segments):
        a = math.radians(lerp(start, end, i / segments))
        b = math.radians(lerp(start, end, (i + 1) / segments))
        ua, ub = lerp(u0, u1, i / segments), lerp(u0, u1, (i + 1) / segments)
        ra, rb = [math.cos(a), math.sin(a), 0], [math.cos(b), math.sin(b), 0]
        for r, sign in ((r_out, 1), (r_in, -1)):
            na, nb = [sign * c for c in ra], [sign * c for c in rb]
            m.quad("shell", [(point(a, r, -half_width), (ua, v0), na), (point(b, r, -half_width), (ub, v0), nb),
                             (point(b, r, half_width), (ub, v1), nb), (point(a, r, half_width), (ua, v1), na)])
        for z, sign in ((-half_width, -1), (half_width, 1)):
            vv = v0 if sign < 0 else v1
            n = [0, 0, sign]
            m.quad("shell", [(point(a, r_in, z), (ua, vv), n), (point(b, r_in, z), (ub, vv), n),
                             (point(b, r_out, z), (ub, vv), n), (point(a, r_out, z), (ua, vv), n)])
    return cy + r_out


def ear_cup(m, side, cy=-1.35, radius=0.85, x_inner=2.05, x_outer=2.65, segments=16):
    u0, v0, u1, v1 = CUP_UV
    inner, outer = side * x_inner, side * x_outer
    cushion = side * (x_inner - 0.15)
    def ring(x, phi, r=radius):
        return [x, cy + r * math.sin(phi), r * math.cos(phi)]
    for i in range(segments):
        a, b = 2 * math.pi * i / segments, 2 * math.pi * (i + 1) / segments
        na, nb = [0, math.sin(a), math.cos(a)], [0, math.sin(b), math.cos(b)]
        ua, ub = lerp(u0, u1, i / segments), lerp(u0, u1, (i + 1) / segments)
        # The cup's shell: its side and its outer cap.
        m.quad("shell", [(ring(inner, a), (ua, v0), na), (ring(outer, a), (ua, v1), na),
                         (ring(outer, b), (ub, v1), nb), (ring(inner, b), (ub, v0), nb)])
        centre_uv = ((u0 + u1) / 2, (v0 + v1) / 2)
        m.tri("shell", [([outer, cy, 0], centre_uv, [side, 0, 0]), (ring(outer, a), (ua, v1), [side, 0, 0]),
                        (ring(outer, b), (ub, v1), [side, 0, 0])])
        # The cushion towards the ear: a ring from the cup to a slightly smaller pad.
        m.quad("cushion", [(ring(inner, a), None, na), (ring(cushion, a, radius * 0.92), None, na),
                           (ring(cushion, b, radius * 0.92), None, nb), (ring(inner, b), None, nb)])
        m.tri("cushion", [([cushion, cy, 0], None, [-side, 0, 0]), (ring(cushion, a, radius * 0.92), None, [-side, 0, 0]),
                          (ring(cushion, b, radius * 0.92), None, [-side, 0, 0])])


def front_strap(m, cy=-0.25, a=2.3, b=2.0, thickness=0.18, half_height=0.3, segments=16):
    """Half an ellipse in the x-z plane from one ear pad round the forehead to the other."""
    u0, v0, u1, v1 = BAND_UV
    def point(phi, grow, y):
        return [(a + grow) * math.cos(phi), y, -(b + grow) * math.sin(phi)]
    def radial(phi):
        return normalize([math.cos(phi) / a, 0, -math.sin(phi) / b])
    for i in range(segments):
        p, q = math.pi * i / segments, math.pi * (i + 1) / segments
        up, uq = lerp(u0, u1, i / segments), lerp(u0, u1, (i + 1) / segments)
        for grow, sign in ((thickness, 1), (0, -1)):
            np_, nq = [sign * c for c in radial(p)], [sign * c for c in radial(q)]
            m.quad("shell", [(point(p, grow, cy - half_height), (up, v0), np_),
                             (point(q, grow, cy - half_height), (uq, v0), nq),
                             (point(q, grow, cy + half_height), (uq, v1), nq),
                             (point(p, grow, cy + half_height), (up, v1), np_)])
        for y, sign in ((cy - half_height, -1), (cy + half_height, 1)):
            vv = v0 if sign < 0 else v1
            n = [0, sign, 0]
            m.quad("shell", [(point(p, 0, y), (up, vv), n), (point(q, 0, y), (uq, vv), n),
                             (point(q, thickness, y), (uq, vv), n), (point(p, thickness, y), (up, vv), n)])
    return cy, -(b + thickness)


def sensor_box(m, cy, front, half=(0.6, 0.42, 0.22)):
    cx, cz = 0.0, front - half[2] + 0.05
    u0, v0, u1, v1 = SENSOR_UV
    for axis in range(3):
        for sign in (-1, 1):
            n = [0, 0, 0]
            n[axis] = sign
            others = [i for i in range(3) if i != axis]
            corners = []
            for s, t in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
                p = [cx, cy, cz]
                p[axis] += sign * half[axis]
                p[others[0]] += s * half[others[0]]
                p[others[1]] += t * half[others[1]]
                corners.append(p)
            if axis == 2 and sign == -1:  # the face towards the front carries the light
                uvs = [(u1 if p[0] < 0 else u0, v0 if p[1] < cy else v1) for p in corners]
                m.quad("shell", [(corners[i], uvs[i], n) for i in range(4)])
            else:
                m.quad("sensor", [(c, None, n) for c in corners])


def centre(m):
    lo = [min(p[i] for p in m.v) for i in range(3)]
    hi = [max(p[i] for p in m.v) for i in range(3)]
    mid = [(lo[i] + hi[i]) / 2 for i in range(3)]
    m.v = [tuple(round(p[i] - mid[i], 5) for i in range(3)) for p in m.v]
    return [hi[i] - lo[i] for i in range(3)]


def write_obj(m, path):
    with open(path, "w") as f:
        f.write("# OrvixTools headset model, written by tools/make-headset-model.py\n")
        f.write("mtllib headset.mtl\n")
        f.write("o headset\n")
        for p in m.v:
            f.write("v %.5f %.5f %.5f\n" % p)
        for t in m.vt:
            f.write("vt %.5f %.5f\n" % t)
        for n in m.vn:
            f.write("vn %.5f %.5f %.5f\n" % n)
        current = None
        for material, corners in m.faces:
            if material != current:
                f.write("usemtl %s\n" % material)
                current = material
            f.write("f " + " ".join("%d/%s/%d" % (p, "" if t is None else t, n) for p, t, n in corners) + "\n")


def write_mtl(path):
    with open(path, "w") as f:
        f.write("# OrvixTools headset materials: \"shell\" shows headset.png while a headset is heard,\n")
        f.write("# headset_off.png otherwise.\n")
        for name, kd in (("shell", (0.0, 0.0, 0.0)), ("cushion", (0.09, 0.09, 0.10)), ("sensor", (0.16, 0.16, 0.18))):
            f.write("newmtl %s\nillum 4\nKd %.2f %.2f %.2f\nKa 0.00 0.00 0.00\nTf 1.00 1.00 1.00\nNi 1.00\n"
                    % ((name,) + kd))
            if name == "shell":
                f.write("map_Kd headset.png 0\nmap_Kd headset_off.png 1\n")
            f.write("\n")


def inside(u, v, box):
    return box[0] <= u <= box[2] and box[1] <= v <= box[3]


def texture(active):
    band, stripe = ((30, 136, 229), (100, 181, 246)) if active else ((118, 118, 118), (150, 150, 150))
    cup = (21, 101, 192) if active else (96, 96, 96)
    panel = (38, 40, 46) if active else (58, 58, 58)
    light = (60, 230, 110) if active else (88, 88, 88)
    rows = []
    for row in range(TEX):
        line = bytearray()
        for col in range(TEX):
            u, v = (col + 0.5) / TEX, 1 - (row + 0.5) / TEX
            colour = (0, 0, 0)  # black round the corner at uv (0, 0)
            if inside(u, v, (0.15, 0.5, 1, 1)):
                mid = (BAND_UV[1] + BAND_UV[3]) / 2
                colour = stripe if abs(v - mid) < 0.05 else band
            elif inside(u, v, (0.15, 0.15, 0.5, 0.5)):
                colour = cup
            elif inside(u, v, (0.5, 0.15, 1, 0.5)):
                cu, cv = (SENSOR_UV[0] + SENSOR_UV[2]) / 2, (SENSOR_UV[1] + SENSOR_UV[3]) / 2
                colour = light if (u - cu) ** 2 + ((v - cv) * 1.6) ** 2 < 0.0035 else panel
            line += bytes(colour) + b"\xff"
        rows.append(bytes(line))
    return rows


def write_png(path, rows):
    raw = b"".join(b"\x00" + r for r in rows)
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", TEX, TEX, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "3D")
    os.makedirs(out, exist_ok=True)
    m = Model()
    headband(m)
    ear_cup(m, 1)
    ear_cup(m, -1)
    sensor_box(m, *front_strap(m))
    size = centre(m)
    write_obj(m, os.path.join(out, "headset.obj"))
    write_mtl(os.path.join(out, "headset.mtl"))
    write_png(os.path.join(out, "headset.png"), texture(True))
    write_png(os.path.join(out, "headset_off.png"), texture(False))
    print("headset: %d triangles, size %.2f x %.2f x %.2f" % ((len(m.faces),) + tuple(size)))


if __name__ == "__main__":
    main()
