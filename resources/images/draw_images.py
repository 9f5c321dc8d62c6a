#!/usr/bin/env python3
"""Draws Pyravel's artwork: the 22 menu and button pictures (PNG, ids 21 to 42) and the
program icon (pyravel.ico), and the sandbox's device class pictures (sandbox/entry/class_pictures/,
listed for the resource compiler in sandbox/entry/class_pictures.rc). Pure Python; run it from anywhere:

    python3 resources/images/draw_images.py

Every picture is described in a 100 x 100 design space and rendered with 4 x 4 supersampling,
so the same drawing stays crisp at its stored size and recognisable when scaled to 20 pixels.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------- shapes (design units 0..100)


class Shape:
    def __init__(self, inside, box):
        self.inside = inside  # (x, y) -> bool
        self.box = box        # (x0, y0, x1, y1)

    def __sub__(self, other):
        a, b = self.inside, other.inside
        return Shape(lambda x, y: a(x, y) and not b(x, y), self.box)

    def __or__(self, other):
        a, b = self.inside, other.inside
        box = (min(self.box[0], other.box[0]), min(self.box[1], other.box[1]),
               max(self.box[2], other.box[2]), max(self.box[3], other.box[3]))
        return Shape(lambda x, y: a(x, y) or b(x, y), box)

    def __and__(self, other):
        a, b = self.inside, other.inside
        return Shape(lambda x, y: a(x, y) and b(x, y), self.box)


def circle(cx, cy, r):
    r2 = r * r
    return Shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r2, (cx - r, cy - r, cx + r, cy + r))


def ring(cx, cy, r, width):
    return circle(cx, cy, r) - circle(cx, cy, r - width)


def rect(x, y, w, h):
    return Shape(lambda px, py: x <= px <= x + w and y <= py <= y + h, (x, y, x + w, y + h))


def rounded(x, y, w, h, r):
    def inside(px, py):
        if not (x <= px <= x + w and y <= py <= y + h):
            return False
        dx = max(x + r - px, 0, px - (x + w - r))
        dy = max(y + r - py, 0, py - (y + h - r))
        return dx * dx + dy * dy <= r * r
    return Shape(inside, (x, y, x + w, y + h))


def polygon(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    edges = list(zip(points, points[1:] + points[:1]))

    def inside(px, py):
        hit = False
        for (x0, y0), (x1, y1) in edges:
            if (y0 > py) != (y1 > py):
                if px < x0 + (py - y0) * (x1 - x0) / (y1 - y0):
                    hit = not hit
        return hit
    return Shape(inside, (min(xs), min(ys), max(xs), max(ys)))


def line(x0, y0, x1, y1, width):
    """A stroke with round caps."""
    half = width / 2
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-9

    def inside(px, py):
        t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / length2))
        qx, qy = x0 + t * dx - px, y0 + t * dy - py
        return qx * qx + qy * qy <= half * half
    return Shape(inside, (min(x0, x1) - half, min(y0, y1) - half,
                          max(x0, x1) + half, max(y0, y1) + half))


def polyline(points, width):
    shape = line(*points[0], *points[1], width)
    for a, b in zip(points[1:], points[2:]):
        shape = shape | line(*a, *b, width)
    return shape


def arc(cx, cy, r, width, start, sweep):
    """A ring segment; angles in degrees, 0 = three o'clock, clockwise on screen."""
    band = ring(cx, cy, r + width / 2, width)

    def inside(px, py):
        if not band.inside(px, py):
            return False
        a = (math.degrees(math.atan2(py - cy, px - cx)) - start) % 360
        return a <= sweep
    return Shape(inside, band.box)


def on_circle(cx, cy, r, degrees):
    a = math.radians(degrees)
    return cx + r * math.cos(a), cy + r * math.sin(a)


def arrow_head(tip, direction_deg, size):
    """A triangle pointing along direction from its tip."""
    a = math.radians(direction_deg)
    bx, by = tip[0] - size * math.cos(a), tip[1] - size * math.sin(a)
    nx, ny = -math.sin(a) * size * 0.75, math.cos(a) * size * 0.75
    return polygon([tip, (bx + nx, by + ny), (bx - nx, by - ny)])


# ---------------------------------------------------------------- canvas


class Canvas:
    SAMPLES = 4

    def __init__(self, size, samples=SAMPLES):
        self.size = size
        self.samples = samples
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]  # premultiplied RGBA 0..1

    def fill(self, shape, colour, alpha=1.0):
        """colour: 0xRRGGBB, or a function (x, y) -> 0xRRGGBB in design units."""
        n, s = self.size, self.samples
        scale = 100.0 / n
        x0 = max(0, int(shape.box[0] / scale) - 1)
        y0 = max(0, int(shape.box[1] / scale) - 1)
        x1 = min(n, int(shape.box[2] / scale) + 2)
        y1 = min(n, int(shape.box[3] / scale) + 2)
        offsets = [(i + 0.5) / s for i in range(s)]
        inside = shape.inside
        for py in range(y0, y1):
            for px in range(x0, x1):
                hits = 0
                for oy in offsets:
                    y = (py + oy) * scale
                    for ox in offsets:
                        if inside((px + ox) * scale, y):
                            hits += 1
                if not hits:
                    continue
                c = colour((px + 0.5) * scale, (py + 0.5) * scale) if callable(colour) else colour
                a = alpha * hits / (s * s)
                r, g, b = ((c >> 16) & 255) / 255, ((c >> 8) & 255) / 255, (c & 255) / 255
                d = self.px[py * n + px]
                keep = 1 - a
                d[0] = r * a + d[0] * keep
                d[1] = g * a + d[1] * keep
                d[2] = b * a + d[2] * keep
                d[3] = a + d[3] * keep

    def rgba_rows(self):
        """Straight (not premultiplied) RGBA bytes, top row first."""
        rows = []
        for y in range(self.size):
            row = bytearray()
            for x in range(self.size):
                r, g, b, a = self.px[y * self.size + x]
                if a <= 0:
                    row += b"\0\0\0\0"
                    continue
                row += bytes((round(min(1, r / a) * 255), round(min(1, g / a) * 255),
                              round(min(1, b / a) * 255), round(a * 255)))
            rows.append(bytes(row))
        return rows


def png_bytes(canvas):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    raw = b"".join(b"\0" + row for row in canvas.rgba_rows())
    header = struct.pack(">IIBBBBB", canvas.size, canvas.size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib_bytes(canvas):
    """An icon directory image as a 32-bit DIB (colour rows bottom-up, then the AND mask)."""
    n = canvas.size
    rows = canvas.rgba_rows()
    header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(rows):
        for i in range(0, len(row), 4):
            colour += bytes((row[i + 2], row[i + 1], row[i], row[i + 3]))
    mask_stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(n):
            if row[x * 4 + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


# ---------------------------------------------------------------- palette and shared parts

BLUE, DARK_BLUE, LIGHT_BLUE = 0x2F6FD0, 0x1A3F8A, 0x9CC4F4
GREEN, DARK_GREEN = 0x2FA03A, 0x1D6E27
RED, DARK_RED = 0xD83A30, 0x8E1F19
GREY, DARK_GREY, LIGHT_GREY = 0x8A9199, 0x4A5058, 0xE4E8EE
YELLOW, ORANGE = 0xF2C14E, 0xE8862A
WHITE = 0xFFFFFF


def vertical(top, bottom, y0=0, y1=100):
    """A top-to-bottom gradient between two colours."""
    def colour(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return sum(round(((top >> s) & 255) * (1 - t) + ((bottom >> s) & 255) * t) << s
                   for s in (16, 8, 0))
    return colour


def device_box(c, x=14, y=22, w=62, h=50):
    c.fill(rounded(x, y, w, h, 7), DARK_GREY)
    c.fill(rounded(x + 4, y + 4, w - 8, h - 8, 4), vertical(0xF4F6F9, 0xC9CFD7, y, y + h))
    c.fill(rect(x + 10, y + h - 14, w - 20, 5), GREY)


def badge_x(c, cx=72, cy=72, r=22):
    c.fill(circle(cx, cy, r), DARK_RED)
    c.fill(circle(cx, cy, r - 3), vertical(0xF0665C, RED, cy - r, cy + r))
    k = r * 0.42
    c.fill(line(cx - k, cy - k, cx + k, cy + k, 7) | line(cx + k, cy - k, cx - k, cy + k, 7), WHITE)


def round_badge(c, cx, cy, r, dark, top, bottom):
    c.fill(circle(cx, cy, r), dark)
    c.fill(circle(cx, cy, r - 4), vertical(top, bottom, cy - r, cy + r))


def circular_arrow(c, cx, cy, r, width, colour, start=-60, sweep=290):
    c.fill(arc(cx, cy, r, width, start, sweep), colour)
    tip_angle = start + sweep
    tip = on_circle(cx, cy, r, tip_angle + 14)
    c.fill(arrow_head(tip, tip_angle + 90 + 14, width * 1.9), colour)


def magnifier(c, cx, cy, r, colour=DARK_GREY, glass=LIGHT_BLUE):
    c.fill(circle(cx, cy, r), glass, 0.85)
    c.fill(ring(cx, cy, r, r * 0.3), colour)
    d = r * 0.72
    c.fill(line(cx + d, cy + d, cx + r * 1.9, cy + r * 1.9, r * 0.45), colour)


def document(c, x, y, w, h, lines=True):
    fold = w * 0.3
    c.fill(polygon([(x, y), (x + w - fold, y), (x + w, y + fold), (x + w, y + h), (x, y + h)]),
           DARK_GREY)
    c.fill(polygon([(x + 3, y + 3), (x + w - fold - 1, y + 3), (x + w - 3, y + fold + 1),
                    (x + w - 3, y + h - 3), (x + 3, y + h - 3)]), WHITE)
    c.fill(polygon([(x + w - fold, y), (x + w - fold, y + fold), (x + w, y + fold)]), GREY)
    if lines:
        for i in range(4):
            ly = y + fold + 6 + i * (h - fold - 12) / 4
            c.fill(rect(x + 9, ly, w - 18 - (8 if i == 3 else 0), 3), GREY)


# ---------------------------------------------------------------- the pictures


def size_grip(c):
    for row in range(3):
        for col in range(row + 1):
            x = 84 - col * 26
            y = 84 - (row - col) * 26
            c.fill(circle(x + 3, y + 3, 8), WHITE)
            c.fill(circle(x, y, 8), GREY)


def scan(c):
    # A chip with its pins, searched by a magnifier.
    c.fill(rounded(12, 12, 56, 56, 6), DARK_BLUE)
    c.fill(rounded(18, 18, 44, 44, 4), vertical(0x5B8EE0, BLUE, 18, 62))
    for i in range(4):
        p = 20 + i * 12
        for s in (rect(p, 4, 5, 8), rect(p, 68, 5, 8), rect(4, p, 8, 5), rect(68, p, 8, 5)):
            c.fill(s, GREY)
    magnifier(c, 62, 62, 17)


def refresh(c):
    circular_arrow(c, 50, 52, 33, 14, GREEN)


def add(c):
    round_badge(c, 50, 50, 46, DARK_GREEN, 0x5CC766, GREEN)
    c.fill(rect(42, 22, 16, 56) | rect(22, 42, 56, 16), WHITE)


def view(c):
    eye = circle(50, 110, 76) & circle(50, -10, 76)
    c.fill(eye, DARK_GREY)
    c.fill(circle(50, 110, 71) & circle(50, -10, 71), WHITE)
    c.fill(circle(50, 50, 20), vertical(0x6FA8F0, DARK_BLUE, 30, 70))
    c.fill(circle(50, 50, 9), 0x10182A)
    c.fill(circle(43, 43, 5), WHITE)


def check(c):
    c.fill(polyline([(14, 52), (38, 76), (86, 24)], 18), DARK_GREEN)
    c.fill(polyline([(14, 52), (38, 76), (86, 24)], 11), 0x4CC159)


def uncheck(c):
    round_badge(c, 50, 50, 42, DARK_RED, 0xF0665C, RED)
    c.fill(rect(24, 42, 52, 16), WHITE)


def uninstall(c):
    device_box(c)
    badge_x(c)


def delete(c):
    c.fill(rounded(14, 18, 72, 12, 4), DARK_GREY)
    c.fill(rounded(38, 8, 24, 14, 4) - rect(44, 14, 12, 10), DARK_GREY)
    c.fill(polygon([(20, 32), (80, 32), (74, 94), (26, 94)]), DARK_GREY)
    c.fill(polygon([(25, 36), (75, 36), (70, 89), (30, 89)]), vertical(0xC7CED6, 0x98A1AB, 36, 90))
    for x in (37, 50, 63):
        c.fill(rounded(x - 3, 44, 6, 38, 3), DARK_GREY)


def uninstall_not_present(c):
    # A faded device outline: the ones that are gone.
    c.fill(rounded(10, 18, 62, 50, 7) - rounded(15, 23, 52, 40, 4), GREY, 0.8)
    c.fill(rounded(15, 23, 52, 40, 4), LIGHT_GREY, 0.6)
    for x in range(18, 64, 12):
        c.fill(rect(x, 52, 6, 4), GREY, 0.8)
    badge_x(c)


def update(c):
    round_badge(c, 50, 50, 46, DARK_BLUE, 0x6FA8F0, BLUE)
    c.fill(polygon([(50, 16), (78, 48), (60, 48), (60, 82), (40, 82), (40, 48), (22, 48)]), WHITE)


def properties(c):
    teeth = []
    for i in range(16):
        r = 46 if i % 2 == 0 else 34
        a = i * 22.5 - 11.25
        teeth.append(on_circle(50, 50, r, a - (6 if i % 2 == 0 else -6)))
        teeth.append(on_circle(50, 50, r, a + (6 if i % 2 == 0 else -6)))
    gear = polygon(teeth) | circle(50, 50, 36)
    c.fill(gear - circle(50, 50, 15), DARK_GREY)
    c.fill(circle(50, 50, 31) - circle(50, 50, 15), vertical(0xB8C0CA, 0x7C858F, 20, 80))


def install(c):
    c.fill(rounded(10, 60, 80, 32, 6), DARK_GREY)
    c.fill(rounded(15, 65, 70, 22, 4), vertical(0xE1E5EA, 0xA7AFB8, 65, 87))
    c.fill(rect(24, 72, 52, 6), DARK_GREY)
    c.fill(polygon([(50, 72), (80, 40), (61, 40), (61, 6), (39, 6), (39, 40), (20, 40)]),
           DARK_BLUE)
    c.fill(polygon([(50, 66), (73, 43), (57, 43), (57, 10), (43, 10), (43, 43), (27, 43)]),
           vertical(0x6FA8F0, BLUE, 10, 66))


def reinstall(c):
    c.fill(rounded(33, 34, 34, 32, 5), DARK_GREY)
    c.fill(rounded(37, 38, 26, 24, 3), LIGHT_GREY)
    c.fill(arc(50, 50, 38, 10, 200, 130), GREEN)
    c.fill(arrow_head(on_circle(50, 50, 38, 340), 340 + 90, 18), GREEN)
    c.fill(arc(50, 50, 38, 10, 20, 130), GREEN)
    c.fill(arrow_head(on_circle(50, 50, 38, 160), 160 + 90, 18), GREEN)


def folder(c):
    c.fill(polygon([(6, 22), (36, 22), (44, 30), (90, 30), (90, 86), (6, 86)]), 0xB9892B)
    c.fill(polygon([(10, 26), (34, 26), (42, 34), (86, 34), (86, 82), (10, 82)]), 0xE0B24A)
    c.fill(polygon([(6, 42), (94, 42), (88, 86), (6, 86)]), 0xB9892B)
    c.fill(polygon([(10, 46), (89, 46), (84, 82), (10, 82)]), vertical(0xFFE08A, YELLOW, 46, 82))


def updater(c):
    c.fill(rounded(6, 6, 88, 88, 18), 0xA24E10)
    c.fill(rounded(10, 10, 80, 80, 15), vertical(0xF6A85A, ORANGE, 10, 90))
    for y in (20, 46):
        c.fill(polyline([(26, y + 26), (50, y + 4), (74, y + 26)], 12), WHITE)


def power(c):
    c.fill(arc(50, 54, 34, 13, -60, 300), DARK_BLUE)
    c.fill(line(50, 8, 50, 50, 13), DARK_BLUE)
    c.fill(arc(50, 54, 34, 7, -58, 296), BLUE)
    c.fill(line(50, 10, 50, 48, 7), BLUE)


def info(c):
    round_badge(c, 50, 50, 46, DARK_BLUE, 0x6FA8F0, BLUE)
    c.fill(circle(50, 26, 8), WHITE)
    c.fill(rounded(42, 40, 16, 40, 3), WHITE)


def search(c):
    magnifier(c, 40, 40, 28)


def copy(c):
    document(c, 8, 6, 52, 64)
    document(c, 38, 30, 52, 64)


def backup(c):
    # A disk with a green arrow into it.
    c.fill(rounded(8, 44, 84, 44, 8), DARK_GREY)
    c.fill(rounded(12, 48, 76, 36, 6), vertical(0xD6DCE3, 0x9AA3AD, 48, 84))
    c.fill(circle(74, 72, 5), GREEN)
    c.fill(rect(20, 70, 36, 4), DARK_GREY)
    c.fill(polygon([(50, 56), (74, 32), (60, 32), (60, 6), (40, 6), (40, 32), (26, 32)]),
           DARK_GREEN)
    c.fill(polygon([(50, 50), (68, 35), (56, 35), (56, 10), (44, 10), (44, 35), (32, 35)]),
           0x4CC159)


def find(c):
    document(c, 8, 6, 60, 80)
    magnifier(c, 56, 54, 20)


# id: (size, painter)
IMAGES = {
    21: (32, size_grip), 22: (48, scan), 23: (44, refresh), 24: (32, add), 25: (40, view),
    26: (48, check), 27: (48, uncheck), 28: (48, uninstall), 29: (40, delete),
    30: (48, uninstall_not_present), 31: (48, update), 32: (40, properties), 33: (32, install),
    34: (48, reinstall), 35: (48, folder), 36: (48, updater), 37: (48, power), 38: (48, info),
    39: (32, search), 40: (48, copy), 41: (40, backup), 42: (40, find),
}


def program_icon(c):
    # A chip on a blue tile with a green tick: the device manager.
    c.fill(rounded(2, 2, 96, 96, 18), DARK_BLUE)
    c.fill(rounded(5, 5, 90, 90, 15), vertical(0x4F8BE6, 0x2152A8, 5, 95))
    for i in range(3):
        p = 30 + i * 15
        for s in (rect(p, 14, 7, 10), rect(p, 72, 7, 10), rect(14, p, 10, 7), rect(72, p, 10, 7)):
            c.fill(s, LIGHT_GREY)
    c.fill(rounded(24, 24, 52, 52, 6), 0x16223A)
    c.fill(polyline([(36, 50), (46, 61), (66, 38)], 10), 0x5CD66A)


# ---------------------------------------------------------------- the sandbox's class pictures
# Wine has no device class icons, so the simulated PC brings its own. They are drawn bold and
# simple: they are shown at the small icon size, 16 pixels on most screens.


def class_display(c):
    # An adapter card: a board with a fan and its gold contacts.
    c.fill(rect(6, 22, 84, 52), DARK_GREEN)
    c.fill(rect(10, 26, 76, 44), GREEN)
    c.fill(circle(38, 48, 17), DARK_GREY)
    c.fill(circle(38, 48, 7), LIGHT_GREY)
    c.fill(rect(62, 34, 18, 26), 0x16223A)
    c.fill(rect(16, 74, 56, 12), YELLOW)


def class_net(c):
    # Three linked computers.
    c.fill(line(50, 26, 22, 72, 9) | line(50, 26, 78, 72, 9) | line(22, 72, 78, 72, 9), DARK_GREEN)
    for x, y in ((50, 22), (20, 72), (80, 72)):
        c.fill(rounded(x - 19, y - 15, 38, 28, 5), DARK_BLUE)
        c.fill(rect(x - 13, y - 9, 26, 16), LIGHT_BLUE)


def class_usb(c):
    # The trident of the plug's emblem.
    c.fill(line(50, 18, 50, 84, 10), DARK_GREY)
    c.fill(polygon([(50, 2), (64, 22), (36, 22)]), DARK_GREY)
    c.fill(polyline([(50, 64), (24, 48), (24, 36)], 9), DARK_GREY)
    c.fill(circle(24, 32, 9), DARK_GREY)
    c.fill(polyline([(50, 54), (76, 40), (76, 30)], 9), DARK_GREY)
    c.fill(rect(67, 18, 18, 16), DARK_GREY)
    c.fill(circle(50, 86, 12), DARK_GREY)


def class_hid(c):
    # A joystick.
    c.fill(rounded(12, 64, 76, 28, 8), DARK_GREY)
    c.fill(rounded(16, 68, 68, 20, 6), GREY)
    c.fill(line(50, 70, 50, 30, 11), DARK_GREY)
    c.fill(circle(50, 24, 17), DARK_RED)
    c.fill(circle(50, 24, 13), RED)
    c.fill(circle(74, 78, 6), RED)


def class_processor(c):
    # A chip with pins on every side.
    for i in range(4):
        p = 22 + i * 16
        for s in (rect(p - 3, 4, 7, 14), rect(p - 3, 82, 7, 14), rect(4, p - 3, 14, 7),
                  rect(82, p - 3, 14, 7)):
            c.fill(s, GREY)
    c.fill(rounded(14, 14, 72, 72, 6), 0x16223A)
    c.fill(rect(34, 34, 32, 32), vertical(0x9AA3AD, 0x4A5058, 34, 66))


def class_disk(c):
    # A drive with its platter.
    c.fill(rounded(8, 10, 84, 80, 9), DARK_GREY)
    c.fill(rounded(12, 14, 76, 72, 7), vertical(0xD6DCE3, 0x9AA3AD, 14, 86))
    c.fill(circle(50, 44, 26), GREY)
    c.fill(circle(50, 44, 22), LIGHT_GREY)
    c.fill(circle(50, 44, 6), DARK_GREY)
    c.fill(rect(20, 76, 40, 5), DARK_GREY)
    c.fill(circle(76, 78, 4), GREEN)


def class_audio(c):
    # A loudspeaker and its sound.
    c.fill(polygon([(8, 36), (26, 36), (50, 14), (50, 86), (26, 64), (8, 64)]), DARK_GREY)
    c.fill(polygon([(12, 40), (28, 40), (46, 23), (46, 77), (28, 60), (12, 60)]), GREY)
    c.fill(arc(50, 50, 18, 9, -50, 100), BLUE)
    c.fill(arc(50, 50, 36, 9, -55, 110), BLUE)


def class_keyboard(c):
    c.fill(rounded(2, 26, 96, 50, 7), DARK_GREY)
    c.fill(rounded(6, 30, 88, 42, 5), LIGHT_GREY)
    for row in range(2):
        for col in range(6):
            c.fill(rect(11 + col * 14, 35 + row * 12, 9, 8), DARK_GREY)
    c.fill(rect(24, 60, 52, 7), DARK_GREY)


def class_mouse(c):
    c.fill(polyline([(50, 28), (50, 14), (70, 4)], 6), DARK_GREY)
    c.fill(rounded(22, 24, 56, 72, 27), DARK_GREY)
    c.fill(rounded(26, 28, 48, 64, 23), vertical(0xF4F6F9, 0xB8C0CA, 28, 92))
    c.fill(line(50, 28, 50, 54, 4) | line(26, 54, 74, 54, 4), DARK_GREY)


def class_monitor(c):
    c.fill(rounded(4, 8, 92, 64, 6), DARK_GREY)
    c.fill(rect(10, 14, 80, 52), vertical(0x6FA8F0, DARK_BLUE, 14, 66))
    c.fill(rect(42, 72, 16, 12), DARK_GREY)
    c.fill(rounded(24, 82, 52, 10, 4), DARK_GREY)


def class_ports(c):
    # A nine-pin serial connector.
    c.fill(polygon([(4, 24), (96, 24), (84, 78), (16, 78)]), DARK_GREY)
    c.fill(polygon([(11, 30), (89, 30), (79, 72), (21, 72)]), GREY)
    for i in range(5):
        c.fill(circle(22 + i * 14, 43, 5), YELLOW)
    for i in range(4):
        c.fill(circle(29 + i * 14, 60, 5), YELLOW)


def class_printer(c):
    c.fill(rect(24, 6, 52, 34), DARK_GREY)
    c.fill(rect(28, 10, 44, 30), WHITE)
    c.fill(rounded(4, 34, 92, 40, 7), DARK_GREY)
    c.fill(rounded(8, 38, 84, 32, 5), vertical(0xE1E5EA, 0xA7AFB8, 38, 70))
    c.fill(circle(80, 48, 5), GREEN)
    c.fill(rect(22, 62, 56, 34), DARK_GREY)
    c.fill(rect(26, 66, 48, 26), WHITE)
    c.fill(rect(32, 74, 36, 4) | rect(32, 82, 26, 4), GREY)


def class_system(c):
    # A computer case.
    c.fill(rounded(24, 4, 52, 92, 6), DARK_GREY)
    c.fill(rounded(28, 8, 44, 84, 4), vertical(0xB8C0CA, 0x7C858F, 8, 92))
    c.fill(rect(34, 16, 32, 8) | rect(34, 30, 32, 8), DARK_GREY)
    c.fill(circle(50, 74, 7), GREEN)


def class_bluetooth(c):
    c.fill(rounded(16, 2, 68, 96, 32), DARK_BLUE)
    c.fill(rounded(20, 6, 60, 88, 28), BLUE)
    c.fill(polyline([(32, 32), (66, 64), (50, 80), (50, 20), (66, 36), (32, 68)], 8), WHITE)


def class_battery(c):
    c.fill(rounded(4, 26, 84, 48, 7), DARK_GREY)
    c.fill(rect(88, 40, 9, 20), DARK_GREY)
    c.fill(rect(10, 32, 72, 36), WHITE)
    c.fill(rect(14, 36, 46, 28), GREEN)


def class_camera(c):
    c.fill(rounded(30, 16, 30, 16, 4), DARK_GREY)
    c.fill(rounded(4, 26, 92, 62, 9), DARK_GREY)
    c.fill(rounded(8, 30, 84, 54, 7), vertical(0x8A9199, 0x4A5058, 30, 84))
    c.fill(circle(50, 57, 23), DARK_GREY)
    c.fill(circle(50, 57, 18), vertical(0x6FA8F0, DARK_BLUE, 39, 75))
    c.fill(circle(44, 51, 5), WHITE)
    c.fill(rect(76, 36, 10, 6), YELLOW)


def class_fallback(c):
    # A device without a picture of its own: a plain box.
    device_box(c, 8, 18, 84, 64)


# Resource name: painter. sandbox/win32/class_pictures.cpp says which classes show which.
CLASS_PICTURES = {
    "DISPLAY": class_display, "NET": class_net, "USB": class_usb, "HID": class_hid,
    "PROCESSOR": class_processor, "DISK": class_disk, "AUDIO": class_audio,
    "KEYBOARD": class_keyboard, "MOUSE": class_mouse, "MONITOR": class_monitor,
    "PORTS": class_ports, "PRINTER": class_printer, "SYSTEM": class_system,
    "BLUETOOTH": class_bluetooth, "BATTERY": class_battery, "CAMERA": class_camera,
    "FALLBACK": class_fallback,
}
# The small icon size at 100, 125, 150 and 200 percent.
CLASS_PICTURE_SIZES = (16, 20, 24, 32)


ICON_SIZES = (16, 24, 32, 48, 256)


def write_icon(path, painter=program_icon, sizes=ICON_SIZES):
    images = []
    for size in sizes:
        canvas = Canvas(size, 2 if size > 64 else 4)
        painter(canvas)
        images.append((size, png_bytes(canvas) if size >= 256 else dib_bytes(canvas)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def main():
    for image_id, (size, painter) in IMAGES.items():
        canvas = Canvas(size)
        painter(canvas)
        with open(os.path.join(HERE, "%d.png" % image_id), "wb") as f:
            f.write(png_bytes(canvas))
    write_icon(os.path.join(os.path.dirname(HERE), "pyravel.ico"))
    write_class_pictures(os.path.join(os.path.dirname(os.path.dirname(HERE)), "sandbox", "entry"))


def write_class_pictures(entry):
    folder = os.path.join(entry, "class_pictures")
    os.makedirs(folder, exist_ok=True)
    lines = ["// Written by resources/images/draw_images.py: the sandbox's device class pictures.\n"]
    for name, painter in CLASS_PICTURES.items():
        file_name = name.lower() + ".ico"
        write_icon(os.path.join(folder, file_name), painter, CLASS_PICTURE_SIZES)
        lines.append('%s ICON "sandbox/entry/class_pictures/%s"\n' % (name, file_name))
    with open(os.path.join(entry, "class_pictures.rc"), "w", newline="\n") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main()
