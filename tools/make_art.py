#!/usr/bin/env python3
"""Draws every picture Ocellix ships: the button strips and tree strips linked into the
executable (resources/images), its icon (resources/ocellix.ico), and the blinket images with
their eye files that lie beside it (resources/blinkets).

Shapes are signed distance functions in pixel units, rendered 8x8 supersampled. Colours blend
smoothly inside a picture, but a pixel is either fully opaque or exactly the key colour: a
half-blended edge pixel would show as a purple (or green) fringe once the key is cut away.

Usage: make_art.py [repository root]
"""

import io
import os
import struct
import sys

import numpy as np
from PIL import Image

KEY = (128, 0, 128)  # transparent colour of blinkets and buttons
TREE_KEY = (0, 255, 0)  # transparent colour of the tree pictures
SUPERSAMPLE = 8


# ---------------------------------------------------------------- shapes (signed distances)

def circle(cx, cy, r):
    return lambda x, y: np.hypot(x - cx, y - cy) - r


def implicit(k):
    """Turns a level function that is 1 on the outline into an approximate distance."""
    def f(x, y):
        h = 0.01
        v = k(x, y)
        gx = (k(x + h, y) - k(x - h, y)) / (2 * h)
        gy = (k(x, y + h) - k(x, y - h)) / (2 * h)
        return (v - 1) / np.maximum(np.hypot(gx, gy), 1e-6)
    return f


def ellipse(cx, cy, rx, ry, n=2.0):
    """An ellipse, or a superellipse (rounder corners) for n above 2."""
    return implicit(lambda x, y: (np.abs((x - cx) / rx) ** n
                                  + np.abs((y - cy) / ry) ** n) ** (1 / n))


def box(x0, y0, x1, y1, r=0.0):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def f(x, y):
        qx, qy = np.abs(x - cx) - hx, np.abs(y - cy) - hy
        outside = np.hypot(np.maximum(qx, 0), np.maximum(qy, 0))
        return outside + np.minimum(np.maximum(qx, qy), 0) - r
    return f


def capsule(x0, y0, x1, y1, r):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def f(x, y):
        t = np.clip(((x - x0) * dx + (y - y0) * dy) / length2, 0, 1)
        return np.hypot(x - x0 - t * dx, y - y0 - t * dy) - r
    return f


def polygon(points):
    pts = [(float(px), float(py)) for px, py in points]

    def f(x, y):
        dist = np.full(x.shape, np.inf)
        inside = np.zeros(x.shape, bool)
        for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
            ex, ey = bx - ax, by - ay
            t = np.clip(((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey), 0, 1)
            dist = np.minimum(dist, np.hypot(x - ax - t * ex, y - ay - t * ey))
            crosses = (ay > y) != (by > y)
            with np.errstate(divide="ignore", invalid="ignore"):
                xcross = ax + (y - ay) * ex / (ey if ey else 1e-12)
            inside ^= crosses & (x < xcross)
        return np.where(inside, -dist, dist)
    return f


def union(*shapes):
    return lambda x, y: np.minimum.reduce([s(x, y) for s in shapes])


def intersect(*shapes):
    return lambda x, y: np.maximum.reduce([s(x, y) for s in shapes])


def subtract(shape, cut):
    return lambda x, y: np.maximum(shape(x, y), -cut(x, y))


def grow(shape, d):
    return lambda x, y: shape(x, y) - d


def moved(shape, dx, dy):
    return lambda x, y: shape(x - dx, y - dy)


def rotated(shape, cx, cy, degrees):
    a = np.radians(degrees)
    c, s = np.cos(a), np.sin(a)
    return lambda x, y: shape(cx + (x - cx) * c + (y - cy) * s, cy - (x - cx) * s + (y - cy) * c)


# ---------------------------------------------------------------- colours

def rgb(hex_text):
    return np.array([int(hex_text[i:i + 2], 16) for i in (1, 3, 5)], float)


def linear(c0, c1, x0, y0, x1, y1):
    """A gradient from c0 at (x0, y0) to c1 at (x1, y1)."""
    c0, c1 = rgb(c0), rgb(c1)
    dx, dy = x1 - x0, y1 - y0

    def f(x, y):
        t = np.clip(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy), 0, 1)
        return c0 + (c1 - c0) * t[..., None]
    return f


def radial(c0, c1, cx, cy, r):
    c0, c1 = rgb(c0), rgb(c1)

    def f(x, y):
        t = np.clip(np.hypot(x - cx, y - cy) / r, 0, 1)
        return c0 + (c1 - c0) * t[..., None]
    return f


def ball(light, dark, cx, cy, r, lx=-0.45, ly=-0.6):
    """Diffuse shading of a sphere seen from the front, lit from the upper left."""
    light, dark = rgb(light), rgb(dark)
    lz = np.sqrt(max(0.0, 1 - lx * lx - ly * ly))

    def f(x, y):
        nx, ny = (x - cx) / r, (y - cy) / r
        nz = np.sqrt(np.clip(1 - nx * nx - ny * ny, 0, 1))
        t = np.clip(nx * lx + ny * ly + nz * lz, 0, 1)
        return dark + (light - dark) * t[..., None]
    return f


# ---------------------------------------------------------------- canvas

class Canvas:
    """A supersampled picture. Painting replaces colour under the shape; coverage is kept."""

    def __init__(self, width, height, ss=SUPERSAMPLE):
        self.width, self.height, self.ss = width, height, ss
        xs = (np.arange(width * ss) + 0.5) / ss
        ys = (np.arange(height * ss) + 0.5) / ss
        self.x, self.y = np.meshgrid(xs, ys)
        self.colour = np.zeros((height * ss, width * ss, 3))
        self.cover = np.zeros((height * ss, width * ss), bool)
        self.dx = self.dy = 0.0
        self.tint = None

    def at(self, dx=0.0, dy=0.0, tint=None):
        """Moves what is painted next and passes its colours through a tint."""
        self.dx, self.dy, self.tint = dx, dy, tint
        return self

    def paint(self, shape, colour):
        x, y = self.x - self.dx, self.y - self.dy
        inside = shape(x, y) <= 0
        col = colour(x, y) if callable(colour) else np.broadcast_to(
            rgb(colour) if isinstance(colour, str) else np.asarray(colour, float),
            self.colour.shape)
        if self.tint:
            col = self.tint(np.asarray(col, float))
        self.colour = np.where(inside[..., None], col, self.colour)
        self.cover |= inside

    def outlined(self, shape, fill, line, width):
        self.paint(shape, line)
        self.paint(grow(shape, -width), fill)

    def cut(self, shape):
        """Makes the shape transparent again."""
        self.cover &= ~(shape(self.x - self.dx, self.y - self.dy) <= 0)

    def pixels(self, key):
        """The picture as 8-bit RGB: opaque where at least half covered, else the key."""
        h, w, s = self.height, self.width, self.ss
        cover = self.cover.reshape(h, s, w, s).astype(float)
        count = cover.sum(axis=(1, 3))
        total = (self.colour.reshape(h, s, w, s, 3) * cover[..., None]).sum(axis=(1, 3))
        colour = total / np.maximum(count, 1)[..., None]
        opaque = count >= s * s / 2
        out = np.where(opaque[..., None], np.clip(np.rint(colour), 0, 255), key)
        out = out.astype(np.uint8)
        # An opaque pixel that happens to match the key would turn transparent: nudge it.
        clash = opaque & np.all(out == key, axis=-1)
        out[clash, 1] = 1 if key[1] == 0 else key[1] - 1
        return out


def strip(*pictures):
    return np.concatenate(pictures, axis=1)


# ---------------------------------------------------------------- files

def save_bmp(path, pixels):
    Image.fromarray(pixels, "RGB").save(path, "BMP")


def save_gif(path, pixels, key):
    """A GIF whose palette entry 0 is the key colour, also named as the background. No entry is
    marked transparent: the program keys on the colour, and decoders that honour GIF
    transparency would hand it a zero alpha instead."""
    opaque = ~np.all(pixels == key, axis=-1)
    filler = pixels.copy()
    filler[~opaque] = pixels[opaque][0]  # the key must not take a slot of the art's palette
    art = Image.fromarray(filler, "RGB").quantize(colors=255, method=Image.Quantize.MEDIANCUT,
                                                  dither=Image.Dither.NONE)
    palette = art.getpalette()[:255 * 3]
    index = np.asarray(art, np.uint8) + 1
    index[~opaque] = 0
    entries = [tuple(palette[i:i + 3]) for i in range(0, len(palette), 3)]
    entries = [(e[0], e[1] ^ 1, e[2]) if e == tuple(key) else e for e in entries]
    flat = list(key) + [v for e in entries for v in e]
    flat += [0] * (768 - len(flat))
    out = Image.fromarray(index, "P")
    out.putpalette(flat)
    out.save(path, "GIF", background=0, optimize=False)


# ---------------------------------------------------------------- button pictures

def highlight(c, shape, line, colour, depth=1.3):
    """A light band along the upper and left inner edges of an outlined shape."""
    inner = grow(shape, -line)
    c.paint(subtract(inner, moved(inner, depth, depth)), colour)


def plus_icon(c, n):
    """Add: a green plus. n is the picture side (20 or 40)."""
    u = n / 20
    arm, half = 3 * u, 8 * u - (0.5 if n == 40 else 0)
    shape = union(box(n / 2 - arm, n / 2 - half, n / 2 + arm, n / 2 + half, 0.8 * u),
                  box(n / 2 - half, n / 2 - arm, n / 2 + half, n / 2 + arm, 0.8 * u))
    line = 1.0 if n == 20 else 1.6
    c.outlined(shape, linear("#8fe27a", "#2f9a3a", 0, 2 * u, 0, n - 2 * u), "#1d5e23", line)
    if n == 40:
        # The big picture has room for a highlight along the upper inner edges.
        highlight(c, shape, line, "#c9f5b6")


def cross_icon(c, n):
    """Delete: a red cross."""
    u = n / 20
    w, half = 2.3 * u, 8.2 * u
    bar = box(n / 2 - w, n / 2 - half, n / 2 + w, n / 2 + half, 0.5 * u)
    shape = union(rotated(bar, n / 2, n / 2, 45), rotated(bar, n / 2, n / 2, -45))
    line = 1.0 if n == 20 else 1.6
    c.outlined(shape, linear("#ff8a7a", "#c4261d", 0, 2 * u, 0, n - 2 * u), "#7a1410", line)
    if n == 40:
        highlight(c, shape, line, "#ffc6bd")


def arrow_icon(c, n, up):
    """Move up and Move down: a blue arrow."""
    u = n / 20
    tip, base, shaft = 2 * u, 10.5 * u, 17.5 * u
    head = polygon([(n / 2, tip), (n - 2 * u, base), (2 * u, base)])
    body = box(n / 2 - 3 * u, base - 5 * u, n / 2 + 3 * u, shaft, 0.6 * u)
    shape = union(head, body)
    if not up:
        shape = (lambda s: lambda x, y: s(x, n - y))(shape)
    line = 1.0 if n == 20 else 1.6
    top, bottom = ("#8cc4ff", "#1f63c7") if up else ("#1f63c7", "#8cc4ff")
    c.outlined(shape, linear(top, bottom, 0, 2 * u, 0, n - 2 * u), "#123d80", line)
    if n == 40:
        highlight(c, shape, line, "#d3e8ff")


def pencil_icon(c, n):
    """Edit: a yellow pencil, tip at the lower left."""
    u = n / 20
    # Drawn along the x axis in a frame of its own, then turned by -45 degrees.
    length, r = 20.5 * u, 3.0 * u
    x0 = n / 2 - length / 2
    cy = n / 2
    tip_end, wood_end, body_end, band_end = x0 + 2.2 * u, x0 + 5.6 * u, x0 + 14.6 * u, \
        x0 + 16.8 * u
    outline = polygon([(x0, cy), (wood_end, cy - r), (x0 + length - 1.2 * u, cy - r),
                       (x0 + length, cy - r + 1.2 * u), (x0 + length, cy + r - 1.2 * u),
                       (x0 + length - 1.2 * u, cy + r), (wood_end, cy + r)])
    line = 1.0 if n == 20 else 1.6
    inner = grow(outline, -line)

    def part(x_from, x_to):
        return intersect(inner, box(x_from, 0, x_to, n))

    def turn(shape):
        return rotated(shape, n / 2, n / 2, -45)

    c.paint(turn(outline), "#4a3414")
    c.paint(turn(part(wood_end - 0.01, body_end)),
            turn_gradient(n, "#ffe27a", "#e8a317", "#b97a0c", r))
    c.paint(turn(part(x0, wood_end)), "#f3d3a1")
    c.paint(turn(intersect(part(x0 - 1, tip_end), outline)), "#3b3b44")
    c.paint(turn(part(body_end, band_end)), turn_gradient(n, "#eef1f4", "#a9b2bd", "#79838f", r))
    c.paint(turn(part(band_end, x0 + length + 1)), turn_gradient(n, "#ffb3c1", "#ee7189",
                                                                 "#c24a63", r))
    if n == 40:
        # Grooves of the hexagonal body and the metal band's ribs.
        for off in (-1.1 * u, 1.1 * u):
            c.paint(turn(intersect(part(wood_end + 0.6 * u, body_end),
                                   box(0, cy + off - 0.45, n, cy + off + 0.45))), "#c98a10")
        c.paint(turn(intersect(part(body_end, band_end),
                               box((body_end + band_end) / 2 - 0.5, 0,
                                   (body_end + band_end) / 2 + 0.5, n))), "#6d7782")


def turn_gradient(n, light, mid, dark, r):
    """Shading across a pencil turned by -45 degrees: light on its upper-left flank."""
    light, mid, dark = rgb(light), rgb(mid), rgb(dark)

    def f(x, y):
        # Distance across the pencil's axis, which runs from lower left to upper right.
        t = np.clip(((x - n / 2) + (y - n / 2)) / np.sqrt(2) / r, -1, 1)
        a = np.clip(-t, 0, 1)[..., None]
        b = np.clip(t, 0, 1)[..., None]
        return mid + (light - mid) * a + (dark - mid) * b
    return f


def disabled_tint(col):
    """Grey and faded: the look of a button that cannot be pressed."""
    lum = col @ np.array([0.299, 0.587, 0.114])
    g = 128 + 0.42 * lum
    return np.repeat(g[..., None], 3, axis=-1)


def button_strip(draw, n):
    """Normal, hot (unused by the program), pressed and disabled looks of one button."""
    u = n / 20
    pictures = []
    for look in ("normal", "hot", "pressed", "disabled"):
        c = Canvas(n, n)
        plate = box(0, 0, n, n, 2.5 * u)
        if look == "hot":
            c.outlined(plate, linear("#f4f9ff", "#d6e7fb", 0, 0, 0, n), "#8fb8e8", u)
        elif look == "pressed":
            c.paint(plate, "#8d9aa8")
            c.paint(grow(moved(plate, u, u), -u), linear("#c3ccd6", "#dde3ea", 0, 0, 0, n))
        if look == "pressed":
            c.at(u, u, lambda col: col * 0.86)
        elif look == "disabled":
            c.at(tint=disabled_tint)
        draw(c, n)
        pictures.append(c.pixels(KEY))
    return strip(*pictures)


# ---------------------------------------------------------------- tree pictures

# Drawn on a 16 x 16 grid with whole-pixel edges, so that both sizes stay crisp.

def folder_back(c, u):
    back = polygon([(1 * u, 2 * u), (6 * u, 2 * u), (8 * u, 4 * u), (15 * u, 4 * u),
                    (15 * u, 14 * u), (1 * u, 14 * u)])
    c.outlined(back, linear("#f5d470", "#d4a336", 0, 2 * u, 0, 14 * u), "#8a6414", 1)


def closed_folder(c, u):
    folder_back(c, u)
    c.outlined(box(1 * u, 5 * u, 15 * u, 14 * u), linear("#ffeaa8", "#efbb48", 0, 5 * u, 0,
                                                         14 * u), "#8a6414", 1)


def open_folder(c, u):
    folder_back(c, u)
    c.outlined(box(3 * u, 4 * u, 14 * u, 9 * u), "#ffffff", "#aab3bf", 1)
    flap = polygon([(4 * u, 7 * u), (16 * u, 7 * u), (14 * u, 14 * u), (1 * u, 14 * u),
                    (1 * u, 12 * u)])
    c.outlined(flap, linear("#fff0bd", "#eeb643", 0, 7 * u, 0, 14 * u), "#8a6414", 1)


def program_window(c, u):
    c.outlined(box(1 * u, 2 * u, 15 * u, 14 * u), linear("#ffffff", "#dfe5ec", 0, 2 * u, 0,
                                                         14 * u), "#2d4f7c", 1)
    c.paint(box(1 * u + 1, 2 * u + 1, 15 * u - 1, 5 * u), linear("#5fa8f5", "#1f5fbf", 0, 2 * u,
                                                                 0, 5 * u))
    c.paint(box(12 * u, 3 * u, 14 * u - 1, 4 * u + (u - 1)), "#ff8060")
    c.paint(box(3 * u, 7 * u, 7 * u, 12 * u), "#9cc7f3")
    for row in (7, 9, 11):
        c.paint(box(8 * u, row * u, 13 * u, row * u + u), "#9aa6b4")


def handheld(c, u):
    c.outlined(box(4 * u, 0, 12 * u, 16 * u, 2 * u), linear("#8f9aa8", "#4a5562", 0, 0, 0,
                                                            16 * u), "#232a33", 1)
    screen = linear("#c4e8ff", "#4f9bd8", 0, 2 * u, 0, 10 * u)
    if u > 1:
        c.outlined(box(5 * u, 2 * u, 11 * u, 10 * u), screen, "#1b2530", 1)
    else:
        c.paint(box(6, 2, 10, 10), screen)
    c.paint(box(7 * u, 12 * u, 9 * u, 14 * u, 0.5 * u), "#d8dee5")


def document(c, u):
    page = polygon([(2 * u, 0), (10 * u, 0), (14 * u, 4 * u), (14 * u, 16 * u), (2 * u, 16 * u)])
    c.outlined(page, linear("#ffffff", "#e6ebf2", 0, 0, 0, 16 * u), "#5b6b7f", 1)
    ear = polygon([(10 * u, 0), (10 * u, 4 * u), (14 * u, 4 * u)])
    c.outlined(ear, "#d5dde7", "#5b6b7f", 1)
    for row, right in ((6, 12), (8, 12), (10, 12), (12, 9)):
        c.paint(box(4 * u, row * u, right * u, row * u + u), "#8fa0b5")


def missing_picture(c, u):
    """A photograph whose picture could not be found: a faded landscape with a red badge."""
    card = box(0.5 * u, 1.5 * u, 13 * u, 12 * u, 1.2 * u)
    inside = grow(card, -1)
    c.outlined(card, linear("#f7f9fb", "#dde2e9", 0, 2 * u, 0, 12 * u), "#6f7b8a", 1)
    c.paint(intersect(circle(9 * u, 4.8 * u, 1.5 * u), inside), "#f0c36a")
    hills = polygon([(0, 12 * u), (4.5 * u, 6 * u), (7.5 * u, 9 * u), (9.5 * u, 7.5 * u),
                     (14 * u, 12 * u)])
    c.paint(intersect(hills, inside), linear("#9fc08a", "#6f9460", 0, 6 * u, 0, 12 * u))
    badge = circle(11.5 * u, 11.5 * u, 4.3 * u)
    c.outlined(badge, ball("#ff7a66", "#b81d16", 11.5 * u, 11.5 * u, 4.3 * u), "#6e0f0b", 1)
    r = 1.55 * u
    cross = union(capsule(11.5 * u - r, 11.5 * u - r, 11.5 * u + r, 11.5 * u + r, 0.6 * u),
                  capsule(11.5 * u + r, 11.5 * u - r, 11.5 * u - r, 11.5 * u + r, 0.6 * u))
    c.paint(cross, "#ffffff")


def tree_strip(n):
    pictures = []
    for draw in (open_folder, closed_folder, program_window, handheld, document):
        c = Canvas(n, n)
        draw(c, n // 16)
        pictures.append(c.pixels(TREE_KEY))
    return strip(*pictures)


# ---------------------------------------------------------------- eyes

GAZES = ("Up", "UpLeft", "Left", "DownLeft", "Down", "DownRight", "Right", "UpRight", "Centre")


def pupil_size(width):
    if width < 10:
        return 3
    if width < 20:
        return 4
    if width < 30:
        return 5
    if width < 40:
        return 6
    return 3


def pupil_boxes(rect, s):
    """Where the program puts the pupil box for each gaze inside an eye rectangle."""
    l, t, r, b = rect
    h = s // 2
    cx, cy = l + (r - l) // 2, t + (b - t) // 2
    anchors = [(cx, t), (l, t), (l, cy), (l, b), (cx, b), (r, b), (r, cy), (r, t), (cx, cy)]
    boxes = []
    for gaze, (px, py) in zip(GAZES, anchors):
        x, y = px - h, py - h
        if gaze in ("Up", "UpLeft", "Left", "Centre"):
            x, y = min(max(x, l), r), min(max(y, t), b)
            boxes.append((x, y, x + s, y + s))
        else:
            x, y = min(max(x + s, l), r), min(max(y + s, t), b)
            boxes.append((x - s, y - s, x, y))
    return boxes


assert pupil_boxes((12, 8, 30, 22), 4) == [
    (19, 8, 23, 12), (12, 8, 16, 12), (12, 13, 16, 17), (10, 18, 14, 22), (19, 18, 23, 22),
    (26, 18, 30, 22), (26, 13, 30, 17), (26, 6, 30, 10), (19, 13, 23, 17)]


def pupil_pixels(bx):
    """Pixels the program's filled ellipse may touch in a pupil box."""
    x0, y0, x1, y1 = bx
    cells = {(x, y) for x in range(x0, x1) for y in range(y0, y1)}
    if x1 - x0 >= 4:
        cells -= {(x0, y0), (x1 - 1, y0), (x0, y1 - 1), (x1 - 1, y1 - 1)}
    return cells


def fit_eye(room, centre):
    """The largest eye rectangle all of whose pupils stay on the pixels allowed in room,
    preferring bigger pupils and a rectangle centred on the eye's centre."""
    height, width = room.shape
    ex, ey = centre
    best = None
    for w in range(39, 7, -1):
        s = pupil_size(w)
        for l in range(int(ex - w / 2) - 1, int(ex - w / 2) + 2):
            r = l + w
            for hgt in range(2, height):
                for t in range(0, height - hgt):
                    rect = (l, t, r, t + hgt)
                    ok = all(0 <= x < width and 0 <= y < height and room[y, x]
                             for bx in pupil_boxes(rect, s) for x, y in pupil_pixels(bx))
                    if not ok:
                        continue
                    mid = ((l + r) / 2 - ex) ** 2 + ((2 * t + hgt) / 2 - ey) ** 2
                    score = (s, w * hgt, -mid)
                    if best is None or score > best[0]:
                        best = (score, rect)
        if best and best[0][0] > pupil_size(w - 1):
            break
    if best is None:
        raise SystemExit(f"no eye rectangle fits the eye at {centre}")
    return best[1]


def room_for_pupils(shape, width, height, margin, others=()):
    """Pixels whose centre lies at least margin inside the shape and outside the others."""
    xs, ys = np.meshgrid(np.arange(width) + 0.5, np.arange(height) + 0.5)
    room = shape(xs, ys) <= -margin
    for other in others:
        room &= other(xs, ys) > 0.5
    return room


def write_eye_file(path, left, right):
    with open(path, "wb") as f:
        for rect in (left, right):
            f.write((",".join(str(v) for v in rect) + "\r\n").encode("ascii"))


# ---------------------------------------------------------------- blinkets

def eyes_big():
    """Two big friendly eyes side by side, the right one just over the left."""
    w, h = 62, 40
    c = Canvas(w, h)
    line, rx, ry = 2.4, 15.0, 19.0
    centres = [(16.0, 20.0), (45.0, 20.0)]
    eyes = [ellipse(cx, cy, rx, ry, 3.0) for cx, cy in centres]
    for eye, (cx, cy) in zip(eyes, centres):
        c.outlined(eye, lambda x, y, cx=cx, cy=cy: white_shading(x, y, cx, cy, rx - line,
                                                                 ry - line), "#1f2736", line)
    rooms = [room_for_pupils(grow(eyes[0], -line), w, h, 1.0, [eyes[1]]),
             room_for_pupils(grow(eyes[1], -line), w, h, 1.0)]
    rects = [fit_eye(room, (cx, cy + 1)) for room, (cx, cy) in zip(rooms, centres)]
    return c.pixels(KEY), rects


def white_shading(x, y, cx, cy, rx, ry):
    """The white of an eye: bright at the upper left, a cool shadow toward the rim."""
    nx, ny = (x - cx) / rx, (y - cy) / ry
    d = np.clip(np.hypot(nx, ny), 0, 1.3)
    light = np.clip(0.5 - 0.35 * nx - 0.45 * ny, 0, 1)
    shade = np.clip((d - 0.55) / 0.75, 0, 1) ** 1.6 * (1.0 - 0.5 * light)
    top, low = rgb("#ffffff"), rgb("#b8c6dc")
    return top + (low - top) * shade[..., None]


def globe():
    n = 48
    c = Canvas(n, n)
    cx = cy = 24.0
    r = 22.6
    sphere = circle(cx, cy, r)
    c.paint(sphere, "#0d2f63")
    inner = grow(sphere, -1.6)
    c.paint(inner, ball("#7cc8ff", "#123f8f", cx, cy, r))

    def land(points):
        return intersect(inner, polygon([(cx + px * r, cy + py * r) for px, py in points]))
    continents = [
        [(-0.78, -0.52), (-0.52, -0.74), (-0.18, -0.80), (-0.02, -0.64), (-0.12, -0.46),
         (-0.05, -0.34), (-0.24, -0.22), (-0.30, -0.02), (-0.44, -0.08), (-0.56, -0.22),
         (-0.74, -0.30)],
        [(-0.28, 0.08), (-0.06, 0.12), (0.06, 0.26), (-0.02, 0.46), (-0.16, 0.62),
         (-0.24, 0.86), (-0.34, 0.64), (-0.40, 0.36), (-0.42, 0.18)],
        [(0.30, -0.64), (0.56, -0.70), (0.72, -0.52), (0.58, -0.38), (0.66, -0.26),
         (0.84, -0.08), (0.82, 0.22), (0.66, 0.50), (0.52, 0.56), (0.42, 0.30), (0.28, 0.06),
         (0.20, -0.12), (0.32, -0.34)],
    ]
    for points in continents:
        c.paint(land(points), ball("#b5ec7a", "#2d7a2a", cx, cy, r))
    # Faint lines of longitude and latitude, the look of a web globe.
    for k in (0.0, 0.55, 0.9):
        ring = subtract(ellipse(cx, cy, max(r * k, 0.4), r), ellipse(cx, cy, max(r * k - 1, 0.1),
                                                                     r - 1))
        c.paint(intersect(inner, ring), lightened(c, 0.28))
    for k in (-0.5, 0.0, 0.5):
        c.paint(intersect(inner, box(0, cy + k * r - 0.5, n, cy + k * r + 0.5)), lightened(c, 0.28))
    c.paint(intersect(inner, ellipse(cx - 8, cy - 10, 6.5, 4.2)), lightened(c, 0.35))
    return c.pixels(KEY)


def lightened(c, k):
    """What is already painted on the canvas, moved toward white by k."""
    return lambda x, y: c.colour + (255 - c.colour) * k


def terminal():
    n = 48
    c = Canvas(n, n)
    frame = box(2, 5, 46, 43, 4)
    c.outlined(frame, linear("#556173", "#2b323d", 0, 5, 0, 43), "#12161c", 1.4)
    c.paint(box(3.4, 6.4, 44.6, 12, 2.6), linear("#6e7b8f", "#4a5566", 0, 6, 0, 12))
    for i, colour in enumerate(("#ff6159", "#ffbd2e", "#28c941")):
        c.paint(circle(8.5 + 5 * i, 9.2, 1.7), colour)
    screen = box(5, 13, 43, 40, 1.5)
    c.paint(screen, linear("#10263b", "#06111c", 0, 13, 0, 40))
    # A prompt ">" and a cursor block, bright on the dark screen, and two dim lines above.
    c.paint(box(8, 16, 25, 17.6), "#2f7d55")
    c.paint(box(8, 20, 31, 21.6), "#2f7d55")
    chevron = union(capsule(9.5, 25.5, 15.5, 30, 1.3), capsule(15.5, 30, 9.5, 34.5, 1.3))
    c.paint(chevron, "#6cf59b")
    c.paint(box(19, 32.6, 27, 35.2), "#6cf59b")
    return c.pixels(KEY)


def gear():
    n = 48
    c = Canvas(n, n)
    cx = cy = 24.0
    teeth = 8
    points = []
    for i in range(teeth):
        base = 2 * np.pi * i / teeth
        for da, rr in ((-0.245, 17.0), (-0.15, 22.8), (0.15, 22.8), (0.245, 17.0)):
            a = base + da
            points.append((cx + rr * np.cos(a), cy + rr * np.sin(a)))
    body = subtract(union(polygon(points), circle(cx, cy, 18.2)), circle(cx, cy, 6.2))
    c.outlined(body, ball("#eef2f6", "#6c7888", cx, cy, 23), "#2c3440", 1.5)
    hub = subtract(circle(cx, cy, 11.0), circle(cx, cy, 6.2))
    c.outlined(hub, ball("#c4ccd6", "#8994a3", cx, cy, 12, 0.45, 0.6), "#4a5463", 1.0)
    c.cut(circle(cx, cy, 6.2))
    c.paint(subtract(circle(cx, cy, 7.4), circle(cx, cy, 6.2)), "#2c3440")
    return c.pixels(KEY)


CRITTER_EYE_CENTRES = [(14.0, 22.0), (34.0, 22.0)]
CRITTER_EYES = [circle(cx, cy, 10.2) for cx, cy in CRITTER_EYE_CENTRES]
CRITTER_LINE = 1.8


def critter_eyes(c, fill, line):
    for eye, (cx, cy) in zip(CRITTER_EYES, CRITTER_EYE_CENTRES):
        c.outlined(eye, radial(fill[0], fill[1], cx - 2.5, cy - 2.5, 11), line, CRITTER_LINE)


def owl(c):
    head = union(ellipse(24, 26, 23, 20.5, 2.4),
                 polygon([(2.5, 3), (13, 10), (4, 18)]), polygon([(45.5, 3), (35, 10), (44, 18)]))
    c.outlined(head, linear("#b98455", "#6f4524", 0, 4, 0, 46), "#3b2210", 1.6)
    for cx in (14.0, 34.0):
        c.paint(circle(cx, 22.0, 12.6), radial("#f2dfc2", "#d2b38a", cx, 22, 13))
    for px, py in ((18, 38.5), (24, 40.5), (30, 38.5)):
        c.paint(union(capsule(px - 2.5, py, px, py + 2.5, 0.6), capsule(px, py + 2.5, px + 2.5, py,
                                                                         0.6)), "#5e3a1c")
    critter_eyes(c, ("#fff6c2", "#ffc93c"), "#4a2a12")
    c.outlined(polygon([(20.5, 28), (27.5, 28), (24, 35)]), "#f0a030", "#6b3b0c", 1.0)


def cat(c):
    ears = union(polygon([(3, 1.5), (20, 9), (5, 22)]), polygon([(45, 1.5), (28, 9), (43, 22)]))
    head = union(ellipse(24, 27, 22.5, 19.5, 2.3), ears)
    c.outlined(head, linear("#ffc27a", "#e07b25", 0, 4, 0, 46), "#5a2e0c", 1.6)
    c.paint(polygon([(6, 6), (15, 10.5), (7.5, 17)]), "#ffb3a8")
    c.paint(polygon([(42, 6), (33, 10.5), (40.5, 17)]), "#ffb3a8")
    c.paint(ellipse(24, 38, 11, 7.5), "#fff1e0")
    critter_eyes(c, ("#f2ffd0", "#b6e35b"), "#3a4a10")
    c.outlined(polygon([(21.5, 33), (26.5, 33), (24, 36)]), "#ff8fa3", "#7a2e3c", 0.9)
    mouth = union(capsule(24, 36, 24, 37.5, 0.55), capsule(24, 37.5, 22, 39.3, 0.55),
                  capsule(22, 39.3, 20, 38, 0.55), capsule(24, 37.5, 26, 39.3, 0.55),
                  capsule(26, 39.3, 28, 38, 0.55))
    c.paint(mouth, "#5a2e0c")
    for y0, y1 in ((33.5, 32.5), (36.5, 37.5)):
        c.paint(capsule(4, y1, 13.5, y0 + 1.5, 0.45), "#7a4618")
        c.paint(capsule(44, y1, 34.5, y0 + 1.5, 0.45), "#7a4618")


def frog(c):
    bumps = union(circle(14, 22, 12.8), circle(34, 22, 12.8))
    head = union(ellipse(24, 34, 23, 13.5, 2.3), bumps)
    c.outlined(head, linear("#9be36a", "#3f9a32", 0, 10, 0, 47), "#1d4d16", 1.6)
    critter_eyes(c, ("#fffbea", "#e5ddb8"), "#1d4d16")
    c.paint(union(capsule(10, 38, 24, 41.6, 0.8), capsule(24, 41.6, 38, 38, 0.8)), "#1d4d16")
    c.paint(ellipse(8.5, 37.5, 3.2, 2.0), "#f59a9a")
    c.paint(ellipse(39.5, 37.5, 3.2, 2.0), "#f59a9a")


def robot(c):
    c.paint(capsule(24, 3.5, 24, 9, 0.9), "#3a4452")
    c.outlined(circle(24, 3.2, 2.8), radial("#ffb0a0", "#e0321e", 23, 2.4, 3), "#5a140c", 0.9)
    c.outlined(box(0.8, 18, 5, 30, 1), "#8a96a6", "#2c3440", 1.0)
    c.outlined(box(43, 18, 47.2, 30, 1), "#8a96a6", "#2c3440", 1.0)
    head = box(3.5, 8, 44.5, 45, 6)
    c.outlined(head, linear("#d9e2ec", "#8a99ad", 0, 8, 0, 45), "#2c3440", 1.6)
    for cx in (14.0, 34.0):
        c.paint(circle(cx, 22.0, 12.0), "#5d6b7d")
    critter_eyes(c, ("#eafcff", "#8fe3f7"), "#1e2a36")
    grille = box(13, 35, 35, 41, 1.5)
    c.outlined(grille, "#3a4452", "#1e2a36", 1.0)
    for x in (17.5, 21.8, 26.2, 30.5):
        c.paint(box(x - 0.5, 36, x + 0.5, 40), "#9fb0c2")


def critters():
    """Four faces whose eyes lie at the same place in every frame, so that the one eye file
    of the strip fits whichever frame a blinket shows."""
    frames = []
    for draw in (owl, cat, frog, robot):
        c = Canvas(48, 48)
        draw(c)
        frames.append(c.pixels(KEY))
    rooms = [room_for_pupils(grow(eye, -CRITTER_LINE), 48, 48, 0.6) for eye in CRITTER_EYES]
    rects = [fit_eye(room, centre) for room, centre in zip(rooms, CRITTER_EYE_CENTRES)]
    return strip(*frames), rects


# ---------------------------------------------------------------- application icon

ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)


def app_icon(n):
    """The big eyes for the program's file, n pixels square, as RGBA: two eyes filling the
    square, the right one just over the left, pupils glancing down to the right. Unlike the
    blinkets an icon has a real alpha channel, so its edges blend with whatever lies beneath."""
    u = n / 32.0
    c = Canvas(n, n)
    line = max(1.15, 1.9 * u)
    rx, ry, cy = 7.4 * u, 14.3 * u, 16.4 * u
    centres = [(9.1 * u, cy), (22.9 * u, cy)]
    for cx, _ in centres:
        eye = ellipse(cx, cy, rx, ry, 3.0)
        c.outlined(eye, lambda x, y, cx=cx: white_shading(x, y, cx, cy, rx - line, ry - line),
                   "#1f2736", line)
        pr = max(1.6, 3.5 * u)
        # Small sizes keep a pixel of white beside the pupil, or it merges with the outline.
        px, py = cx + min(2.3 * u, rx - line - pr - 0.7), cy + 3.4 * u
        c.paint(intersect(ellipse(px, py, pr, pr * 1.12), grow(eye, -line)),
                ball("#3d4d6b", "#0b0f17", px, py, pr))
        if n >= 24:
            c.paint(circle(px - 0.4 * pr, py - 0.45 * pr, 0.3 * pr), "#ffffff")
    return icon_pixels(c)


def icon_pixels(c):
    """The canvas as 8-bit RGBA: each pixel's alpha is the share of it covered."""
    h, w, s = c.height, c.width, c.ss
    cover = c.cover.reshape(h, s, w, s).astype(float)
    count = cover.sum(axis=(1, 3))
    total = (c.colour.reshape(h, s, w, s, 3) * cover[..., None]).sum(axis=(1, 3))
    colour = np.clip(np.rint(total / np.maximum(count, 1)[..., None]), 0, 255)
    alpha = np.rint(255 * count / (s * s))[..., None]
    return np.concatenate([colour, alpha], axis=-1).astype(np.uint8)


def save_ico(path, pictures):
    """An icon file of RGBA pictures: 32-bit bitmaps with their AND masks, and PNG for 256
    pixels, as Windows keeps its large icons."""
    entries, blobs = [], []
    for rgba in pictures:
        n = rgba.shape[0]
        if n >= 256:
            out = io.BytesIO()
            Image.fromarray(rgba, "RGBA").save(out, "PNG", optimize=True)
            blob = out.getvalue()
        else:
            bgra = rgba[::-1, :, [2, 1, 0, 3]].tobytes()
            row = ((n + 31) // 32) * 4
            mask = bytearray()
            for y in range(n - 1, -1, -1):
                bits = np.packbits(rgba[y, :, 3] == 0)
                mask += bits.tobytes().ljust(row, b"\0")
            header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0,
                                 len(bgra) + len(mask), 0, 0, 0, 0)
            blob = header + bgra + bytes(mask)
        entries.append((n, blob))
        blobs.append(blob)
    offset = 6 + 16 * len(entries)
    data = struct.pack("<HHH", 0, 1, len(entries))
    for n, blob in entries:
        side = 0 if n >= 256 else n
        data += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(data + b"".join(blobs))


# ---------------------------------------------------------------- main

def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    images = os.path.join(root, "resources", "images")
    blinkets = os.path.join(root, "resources", "blinkets")
    os.makedirs(images, exist_ok=True)
    os.makedirs(blinkets, exist_ok=True)

    buttons = {"add": plus_icon, "edit": pencil_icon, "delete": cross_icon,
               "up": lambda c, n: arrow_icon(c, n, True),
               "down": lambda c, n: arrow_icon(c, n, False)}
    for name, draw in buttons.items():
        for n in (20, 40):
            pixels = button_strip(draw, n)
            path = os.path.join(images, f"{name}{n}")
            if name == "edit":
                save_gif(path + ".gif", pixels, KEY)
            else:
                save_bmp(path + ".bmp", pixels)
    for n in (16, 32):
        save_bmp(os.path.join(images, f"tree{n}.bmp"), tree_strip(n))
        c = Canvas(n, n)
        missing_picture(c, n // 16)
        save_bmp(os.path.join(images, f"missing{n}.bmp"), c.pixels(KEY))

    pixels, rects = eyes_big()
    save_gif(os.path.join(blinkets, "eyesbig.gif"), pixels, KEY)
    write_eye_file(os.path.join(blinkets, "eyesbig.gif.eye"), *rects)
    print("eyesbig.gif", pixels.shape[1], "x", pixels.shape[0], "eyes", rects)
    pixels, rects = critters()
    save_gif(os.path.join(blinkets, "critters.gif"), pixels, KEY)
    write_eye_file(os.path.join(blinkets, "critters.gif.eye"), *rects)
    print("critters.gif", pixels.shape[1], "x", pixels.shape[0], "eyes", rects)
    save_ico(os.path.join(root, "resources", "ocellix.ico"), [app_icon(n) for n in ICON_SIZES])
    print("ocellix.ico", *ICON_SIZES)
    for name, draw in (("globe", globe), ("terminal", terminal), ("gear", gear)):
        pixels = draw()
        save_gif(os.path.join(blinkets, name + ".gif"), pixels, KEY)
        print(name + ".gif", pixels.shape[1], "x", pixels.shape[0])


if __name__ == "__main__":
    main()
