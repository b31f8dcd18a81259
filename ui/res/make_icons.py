#!/usr/bin/env python3
"""Draws Torvane's icons and writes them as .ico files (32-bit colour with
alpha, plus the 1-bit mask older systems read). Pure Python, no imaging
library: every picture is built from a few shapes, each sampled 4x4 times
per pixel for smooth edges. Run it from anywhere; it writes into icons/
next to itself. The generated files are committed, so a build never runs it.
"""

import math
import os
import struct

SAMPLES = 4  # per axis


class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(size)] for _ in range(size)]

    def fill(self, inside, colour, alpha=1.0):
        """Composites colour over every pixel, weighted by how much of the
        pixel the shape covers. inside(x, y) takes coordinates in units of
        the canvas side (0..1), so one drawing serves every size."""
        r, g, b = colour
        n = self.size
        step = 1.0 / SAMPLES
        for j in range(n):
            for i in range(n):
                hits = 0
                for sy in range(SAMPLES):
                    y = (j + (sy + 0.5) * step) / n
                    for sx in range(SAMPLES):
                        x = (i + (sx + 0.5) * step) / n
                        if inside(x, y):
                            hits += 1
                if hits == 0:
                    continue
                a = alpha * hits / (SAMPLES * SAMPLES)
                dr, dg, db, da = self.px[j][i]
                out_a = a + da * (1 - a)
                if out_a <= 0:
                    continue
                self.px[j][i] = (
                    (r * a + dr * da * (1 - a)) / out_a,
                    (g * a + dg * da * (1 - a)) / out_a,
                    (b * a + db * da * (1 - a)) / out_a,
                    out_a,
                )


# Shapes: each returns an inside(x, y) test.

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def round_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    return inside


def circle(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def ring(cx, cy, outer, inner):
    return lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def polygon(points):
    def inside(x, y):
        result = False
        count = len(points)
        for k in range(count):
            xa, ya = points[k]
            xb, yb = points[(k + 1) % count]
            if (ya > y) != (yb > y):
                xc = xa + (y - ya) * (xb - xa) / (yb - ya)
                if x < xc:
                    result = not result
        return result
    return inside


def segment(xa, ya, xb, yb, width):
    """A stroke with round ends."""
    half = width / 2

    def inside(x, y):
        dx, dy = xb - xa, yb - ya
        length2 = dx * dx + dy * dy
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / length2))
        px, py = xa + t * dx, ya + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= half * half
    return inside


def polyline(points, width):
    parts = [segment(*points[k], *points[k + 1], width) for k in range(len(points) - 1)]
    return lambda x, y: any(p(x, y) for p in parts)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def shade(colour, factor):
    """Lighter for factor > 1 (towards white), darker below 1."""
    if factor >= 1:
        return tuple(c + (1 - c) * (factor - 1) for c in colour)
    return tuple(c * factor for c in colour)


def rgb(hex_text):
    return tuple(int(hex_text[k:k + 2], 16) / 255 for k in (0, 2, 4))


BLUE = rgb("2f6fd0")
GREY = rgb("9a9ea6")
WHITE = (1.0, 1.0, 1.0)
OUTLINE = rgb("40464f")
FOLDER = rgb("f2c14e")
FOLDER_DARK = rgb("c8962a")
RED = rgb("d63a2f")
GREEN = rgb("2e9d44")
AMBER = rgb("f4b400")
TICK_BLUE = rgb("1f66d1")


# Pictures.

def page(c, x0, y0, x1, y1, body, edge, fold=0.28, lines=None):
    """A sheet of paper with a folded top-right corner."""
    f = (x1 - x0) * fold
    outline = polygon([(x0, y0), (x1 - f, y0), (x1, y0 + f), (x1, y1), (x0, y1)])
    t = (x1 - x0) * 0.07
    inner = polygon([(x0 + t, y0 + t), (x1 - f - t * 0.4, y0 + t), (x1 - t, y0 + f + t * 0.4),
                     (x1 - t, y1 - t), (x0 + t, y1 - t)])
    c.fill(outline, edge)
    c.fill(inner, body)
    c.fill(polygon([(x1 - f, y0), (x1 - f, y0 + f), (x1, y0 + f)]), edge)
    if lines:
        colour, count = lines
        top = y0 + f + (y1 - y0) * 0.08
        gap = (y1 - top - (y1 - y0) * 0.12) / count
        for k in range(count):
            yy = top + k * gap
            right = x1 - (x1 - x0) * (0.22 if k % 2 else 0.16)
            c.fill(rect(x0 + (x1 - x0) * 0.18, yy, right, yy + gap * 0.42), colour)


def copy_picture(c, colour):
    light = shade(colour, 1.75)
    page(c, 0.10, 0.06, 0.64, 0.74, light, shade(colour, 0.8), lines=(shade(colour, 1.3), 4))
    page(c, 0.36, 0.26, 0.90, 0.94, WHITE, colour, lines=(colour, 5))


def pause_picture(c, colour):
    c.fill(circle(0.5, 0.52, 0.42), shade(colour, 0.75), 0.25)
    c.fill(circle(0.5, 0.5, 0.42), colour)
    c.fill(round_rect(0.34, 0.28, 0.45, 0.72, 0.025), WHITE)
    c.fill(round_rect(0.55, 0.28, 0.66, 0.72, 0.025), WHITE)


def resume_picture(c, colour):
    c.fill(circle(0.5, 0.52, 0.42), shade(colour, 0.75), 0.25)
    c.fill(circle(0.5, 0.5, 0.42), colour)
    c.fill(polygon([(0.40, 0.27), (0.73, 0.5), (0.40, 0.73)]), WHITE)


def small_file(c):
    page(c, 0.16, 0.04, 0.80, 0.96, WHITE, OUTLINE, fold=0.34)


def small_folder(c, x0=0.04, y0=0.14, x1=0.96, y1=0.88):
    w = x1 - x0
    c.fill(polygon([(x0, y0 + 0.06), (x0 + w * 0.06, y0), (x0 + w * 0.40, y0), (x0 + w * 0.48, y0 + 0.10),
                    (x1, y0 + 0.10), (x1, y1), (x0, y1)]), FOLDER_DARK)
    c.fill(rect(x0 + 0.06, y0 + 0.18, x1 - 0.06, y1 - 0.06), FOLDER)
    c.fill(rect(x0 + 0.06, y0 + 0.18, x1 - 0.06, y0 + 0.24), shade(FOLDER, 1.4))


def overlay_red_bar(c):
    c.fill(round_rect(0.40, 0.56, 1.0, 0.92, 0.07), WHITE)
    c.fill(round_rect(0.44, 0.62, 0.96, 0.86, 0.05), RED)


def overlay_warning(c):
    c.fill(polygon([(0.70, 0.36), (1.0, 0.98), (0.40, 0.98)]), OUTLINE)
    c.fill(polygon([(0.70, 0.44), (0.95, 0.94), (0.45, 0.94)]), AMBER)
    c.fill(rect(0.665, 0.58, 0.735, 0.80), OUTLINE)
    c.fill(rect(0.665, 0.84, 0.735, 0.90), OUTLINE)


def overlay_cross(c):
    c.fill(circle(0.70, 0.70, 0.30), WHITE)
    c.fill(circle(0.70, 0.70, 0.26), RED)
    c.fill(segment(0.58, 0.58, 0.82, 0.82, 0.09), WHITE)
    c.fill(segment(0.82, 0.58, 0.58, 0.82, 0.09), WHITE)


def overlay_tick(c):
    c.fill(polyline([(0.46, 0.70), (0.62, 0.86), (0.94, 0.46)], 0.22), WHITE)
    c.fill(polyline([(0.46, 0.70), (0.62, 0.86), (0.94, 0.46)], 0.12), TICK_BLUE)


def question_mark(c):
    c.fill(circle(0.5, 0.5, 0.47), shade(BLUE, 0.8))
    c.fill(circle(0.5, 0.5, 0.42), BLUE)
    arc = [(0.5 + 0.15 * math.cos(a), 0.36 + 0.14 * math.sin(a))
           for a in [math.pi * (1.05 + k * 0.1) for k in range(14)]]
    c.fill(polyline(arc + [(0.5, 0.56), (0.5, 0.62)], 0.12), WHITE)
    c.fill(circle(0.5, 0.77, 0.07), WHITE)


def folder_with_arrow(c, outward):
    small_folder(c, 0.0, 0.22, 0.78, 0.96)
    if outward:
        shaft = [(0.36, 0.66), (0.80, 0.22)]
        head = polygon([(0.98, 0.04), (0.94, 0.42), (0.60, 0.08)])
    else:
        shaft = [(0.98, 0.04), (0.52, 0.50)]
        head = polygon([(0.36, 0.66), (0.40, 0.28), (0.74, 0.62)])
    c.fill(polyline(shaft, 0.22), WHITE)
    c.fill(polyline(shaft, 0.12), GREEN)
    c.fill(head, GREEN)


def app_picture(c):
    copy_picture(c, BLUE)


# ICO writing.

def ico_bytes(canvases):
    header = struct.pack("<HHH", 0, 1, len(canvases))
    entries = b""
    images = []
    offset = 6 + 16 * len(canvases)
    for canvas in canvases:
        n = canvas.size
        xor = bytearray()
        for j in reversed(range(n)):  # bottom-up rows
            for i in range(n):
                r, g, b, a = canvas.px[j][i]
                xor += bytes((round(b * 255), round(g * 255), round(r * 255), round(a * 255)))
        stride = ((n + 31) // 32) * 4
        mask = bytearray()
        for j in reversed(range(n)):
            row = bytearray(stride)
            for i in range(n):
                if canvas.px[j][i][3] < 0.5:
                    row[i // 8] |= 0x80 >> (i % 8)
            mask += row
        info = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        image = info + bytes(xor) + bytes(mask)
        dim = 0 if n >= 256 else n
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
        images.append(image)
    return header + entries + b"".join(images)


def make(draw, sizes):
    canvases = []
    for size in sizes:
        c = Canvas(size)
        draw(c)
        canvases.append(c)
    return ico_bytes(canvases)


def with_overlay(base, overlay):
    def draw(c):
        base(c)
        if overlay:
            overlay(c)
    return draw


# Every picture comes in the sizes of the four display scales the program
# picks from (100%, 125%, 150%, 200%); the program loads the one that
# matches the window's DPI.
SMALL = (16, 20, 24, 32)
GO = (80, 100, 120, 160)
APP = (16, 20, 24, 32, 40, 48, 64)

ICONS = {
    # The program: window, taskbar and notification area.
    "app.ico": (app_picture, APP),
    # The Go button: copy (grey = nothing to copy), pause and resume, each
    # in a normal, a darker (pushed) and a lighter (hover) shade.
    "copy_grey.ico": (lambda c: copy_picture(c, GREY), GO),
    "copy.ico": (lambda c: copy_picture(c, BLUE), GO),
    "copy_pushed.ico": (lambda c: copy_picture(c, shade(BLUE, 0.78)), GO),
    "copy_hover.ico": (lambda c: copy_picture(c, shade(BLUE, 1.3)), GO),
    "pause.ico": (lambda c: pause_picture(c, BLUE), GO),
    "pause_pushed.ico": (lambda c: pause_picture(c, shade(BLUE, 0.78)), GO),
    "pause_hover.ico": (lambda c: pause_picture(c, shade(BLUE, 1.3)), GO),
    "resume.ico": (lambda c: resume_picture(c, BLUE), GO),
    "resume_pushed.ico": (lambda c: resume_picture(c, shade(BLUE, 0.78)), GO),
    "resume_hover.ico": (lambda c: resume_picture(c, shade(BLUE, 1.3)), GO),
    # The result list: file and folder, plain and with each mark.
    "item_file.ico": (small_file, SMALL),
    "item_folder.ico": (small_folder, SMALL),
    "item_file_bar.ico": (with_overlay(small_file, overlay_red_bar), SMALL),
    "item_folder_bar.ico": (with_overlay(small_folder, overlay_red_bar), SMALL),
    "item_file_warning.ico": (with_overlay(small_file, overlay_warning), SMALL),
    "item_folder_warning.ico": (with_overlay(small_folder, overlay_warning), SMALL),
    "item_file_cross.ico": (with_overlay(small_file, overlay_cross), SMALL),
    "item_folder_cross.ico": (with_overlay(small_folder, overlay_cross), SMALL),
    "item_file_tick.ico": (with_overlay(small_file, overlay_tick), SMALL),
    "item_folder_tick.ico": (with_overlay(small_folder, overlay_tick), SMALL),
    # The small buttons: about, browse for the source, browse for the destination.
    "about.ico": (question_mark, SMALL),
    "browse_source.ico": (lambda c: folder_with_arrow(c, True), SMALL),
    "browse_destination.ico": (lambda c: folder_with_arrow(c, False), SMALL),
}


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "icons")
    os.makedirs(folder, exist_ok=True)
    for name, (draw, sizes) in ICONS.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(make(draw, sizes))


if __name__ == "__main__":
    main()
