#!/usr/bin/env python3
"""Draw the tray program's pictures from code and write the files hushpane.rc names.

    draw_resources.py [OUTDIR]      (default: the directory of this script)

Every picture is built from shapes given as signed distance functions in a
32-unit design square, rendered with 4x4 supersampling, so each size is drawn
afresh rather than scaled. Output is deterministic: same script, same bytes.
Standard library only.
"""

import math
import os
import struct
import sys

# ---------------------------------------------------------------- shapes
# A shape is f(x, y) -> signed distance in design units, negative inside.


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ellipse(cx, cy, rx, ry):
    m = min(rx, ry)
    return lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1.0) * m


def box(x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return f


def seg(ax, ay, bx, by, w):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy or 1e-9

    def f(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / ll))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - w / 2
    return f


def poly(pts):
    n = len(pts)

    def f(x, y):
        d = float('inf')
        inside = False
        for i in range(n):
            ax, ay = pts[i]
            bx, by = pts[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            ll = ex * ex + ey * ey or 1e-9
            t = max(0.0, min(1.0, ((x - ax) * ex + (y - ay) * ey) / ll))
            d = min(d, math.hypot(x - ax - t * ex, y - ay - t * ey))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / (by - ay):
                inside = not inside
        return -d if inside else d
    return f


def polyline(pts, w):
    parts = [seg(*pts[i], *pts[i + 1], w) for i in range(len(pts) - 1)]
    return union(*parts)


def vwave(x, y0, y1, amp, periods, w, steps=16):
    """A rising wisp: a vertical stroke swaying sideways."""
    pts = [(x + amp * math.sin(2 * math.pi * periods * i / steps),
            y0 + (y1 - y0) * i / steps) for i in range(steps + 1)]
    return polyline(pts, w)


def union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def inter(*fs):
    return lambda x, y: max(f(x, y) for f in fs)


def diff(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def moved(layers, dx, dy=0.0):
    return [(lambda x, y, f=l[0]: f(x - dx, y - dy),) + tuple(l[1:]) for l in layers]


def grow(f, d):
    return lambda x, y: f(x, y) - d


def ring(f, w):
    """A band of width w just inside f's edge: the outline."""
    return lambda x, y: max(f(x, y), -(f(x, y) + w))


# ---------------------------------------------------------------- colours

def vgrad(y0, c0, y1, c1):
    def c(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(c0, c1))
    return c


def hgrad(x0, c0, x1, c1):
    def c(x, y):
        t = max(0.0, min(1.0, (x - x0) / (x1 - x0)))
        return tuple(a + (b - a) * t for a, b in zip(c0, c1))
    return c


# ---------------------------------------------------------------- renderer
# A picture is a list of layers, bottom first: (shape, colour[, opacity]).

SS = 4  # samples per pixel along each axis


def render(layers, size, design=32.0):
    """-> rows of (r, g, b, coverage) floats, colours not premultiplied."""
    k = design / size
    top = list(reversed(layers))
    offs = [(i + 0.5) / SS for i in range(SS)]
    out = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for oy in offs:
                y = (py + oy) * k
                for ox in offs:
                    x = (px + ox) * k
                    # Front to back until the sample is opaque.
                    sr = sg = sb = sa = 0.0
                    for layer in top:
                        if layer[0](x, y) < 0:
                            col = layer[1]
                            if callable(col):
                                col = col(x, y)
                            op = layer[2] if len(layer) > 2 else 1.0
                            w = (1 - sa) * op
                            sr += col[0] * w
                            sg += col[1] * w
                            sb += col[2] * w
                            sa += w
                            if sa > 0.999:
                                break
                    r += sr
                    g += sg
                    b += sb
                    a += sa
            n = SS * SS
            if a > 0:
                row.append((r / a, g / a, b / a, a / n))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        out.append(row)
    return out


def opaque_pixels(img, ground=None):
    """Bytes per pixel (r, g, b) and a mask (True = transparent).

    Icon masks are one bit, so a pixel is either shape or ground: half covered
    pixels count as shape with their own colour; anti-aliasing shows inside the
    picture, between its parts. With a ground colour the edge is blended onto it
    instead and nothing is transparent (button faces)."""
    px, mask = [], []
    for row in img:
        prow, mrow = [], []
        for r, g, b, a in row:
            if ground is not None:
                r, g, b = (c * a + gc * (1 - a) for c, gc in zip((r, g, b), ground))
                a = 1.0
            clear = a < 0.5
            prow.append((0, 0, 0) if clear else tuple(int(round(max(0, min(255, c)))) for c in (r, g, b)))
            mrow.append(clear)
        px.append(prow)
        mask.append(mrow)
    return px, mask


# ---------------------------------------------------------------- file formats

def dib_rows(px, bpp, palette_index=None):
    """Bottom-up DIB pixel rows padded to 4 bytes."""
    data = bytearray()
    for row in reversed(px):
        line = bytearray()
        for p in row:
            if bpp == 24:
                line += bytes((p[2], p[1], p[0]))
            else:
                line.append(palette_index[p])
        line += b'\0' * (-len(line) % 4)
        data += line
    return bytes(data)


def mask_rows(mask):
    data = bytearray()
    for row in reversed(mask):
        line = bytearray((len(row) + 7) // 8)
        for i, clear in enumerate(row):
            if clear:
                line[i // 8] |= 0x80 >> (i % 8)
        line += b'\0' * (-len(line) % 4)
        data += line
    return bytes(data)


def build_palette(px):
    """At most 256 colours; rarely used near neighbours are merged."""
    counts = {}
    for row in px:
        for p in row:
            counts[p] = counts.get(p, 0) + 1
    colours = sorted(counts, key=lambda c: (-counts[c], c))
    if len(colours) <= 256:
        palette = sorted(colours)
        return palette, {c: palette.index(c) for c in colours}
    keep = sorted(colours[:256])
    index = {}
    for c in colours:
        if c in keep:
            index[c] = keep.index(c)
        else:
            best = min(range(len(keep)), key=lambda i: (sum((a - b) ** 2 for a, b in zip(c, keep[i])), i))
            index[c] = best
    return keep, index


def icon_image(px, mask, bpp):
    size = len(px)
    if bpp == 8:
        palette, index = build_palette(px)
        pal = b''.join(bytes((c[2], c[1], c[0], 0)) for c in palette)
        pal += b'\0' * (4 * (256 - len(palette)))
        xor = dib_rows(px, 8, index)
        ncol = 256
    else:
        pal, xor, ncol = b'', dib_rows(px, 24), 0
    andm = mask_rows(mask)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bpp, 0,
                         len(xor) + len(andm), 0, 0, 0, 0)
    return header + pal + xor + andm, ncol


def write_ico(path, images):
    """images: list of (px, mask, bpp), written largest first."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for px, mask, bpp in images:
        blob, ncol = icon_image(px, mask, bpp)
        size = len(px)
        entries.append(struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, bpp, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, len(images)) + b''.join(entries) + b''.join(blobs))


def write_bmp(path, px):
    h, w = len(px), len(px[0])
    data = dib_rows(px, 24)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 14 + 40 + len(data), 0, 0, 54) + info + data)


def chunk(fourcc, data):
    return fourcc + struct.pack('<I', len(data)) + data + (b'\0' if len(data) % 2 else b'')


def riff_list(kind, fourcc, data):
    return kind + struct.pack('<I', len(data) + 4) + fourcc + data


def write_avi(path, frames, usec_per_frame):
    """One uncompressed 24-bit video stream, no sound, every frame a key frame."""
    h, w = len(frames[0]), len(frames[0][0])
    fsize = len(dib_rows(frames[0], 24))
    n = len(frames)
    rate = 1000000 // usec_per_frame
    avih = struct.pack('<IIIIIIIIII4I', usec_per_frame, fsize * rate, 0, 0x10, n, 0, 1,
                       fsize, w, h, 0, 0, 0, 0)
    strh = b'vids' + b'DIB ' + struct.pack('<IHHIIIIIIIIhhhh', 0, 0, 0, 0, 1, rate, 0, n,
                                           fsize, 0xFFFFFFFF, 0, 0, 0, w, h)
    strf = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, fsize, 0, 0, 0, 0)
    hdrl = riff_list(b'LIST', b'hdrl', chunk(b'avih', avih) +
                     riff_list(b'LIST', b'strl', chunk(b'strh', strh) + chunk(b'strf', strf)))
    movi_data, idx = b'', b''
    for fr in frames:
        # Index offsets count from the 'movi' type code, as readers expect.
        idx += b'00db' + struct.pack('<III', 0x10, 4 + len(movi_data), fsize)
        movi_data += chunk(b'00db', dib_rows(fr, 24))
    body = hdrl + riff_list(b'LIST', b'movi', movi_data) + chunk(b'idx1', idx)
    with open(path, 'wb') as f:
        f.write(riff_list(b'RIFF', b'AVI ', body))


# ---------------------------------------------------------------- pictures
# Drawing functions take px, the design units per output pixel, so strokes
# can stay at least one pixel wide in small sizes.

INK = (40, 40, 48)


def notched_shape():
    """The program's mark: a half oval, flat side left, with a notch in it."""
    body = inter(ellipse(6, 16, 21, 14), box(6, 0, 32, 32))
    notch = poly([(4, 11.5), (12, 16), (4, 20.5)])
    return diff(body, notch)


def program_icon(px):
    shape = notched_shape()
    edge = max(1.0, 1.1 * px)
    return [
        (shape, (176, 74, 8)),
        (grow(shape, -edge), vgrad(2, (246, 122, 18), 29, (255, 242, 170))),
    ] + ([
        # A soft sheen gives the mark some volume where there are pixels for it.
        (inter(grow(shape, -edge), ellipse(16, 8.5, 8.5, 4.5)), (255, 255, 255), 0.28),
    ] if px < 0.9 else [])


def tray_icon(fill, px):
    shape = notched_shape()
    edge = max(1.6, 1.1 * px)
    return [
        (shape, (22, 30, 96)),
        (grow(shape, -edge), fill),
    ]


TRAY_RED = vgrad(2, (238, 52, 40), 30, (196, 18, 18))
TRAY_WHITE = (255, 255, 255)
TRAY_YELLOW = vgrad(2, (255, 236, 60), 30, (250, 204, 20))


def magnifier_icon(px):
    rim = circle(13, 13, 10)
    return [
        (seg(20.5, 20.5, 28, 28, 6.2), INK),
        (seg(21, 21, 27.6, 27.6, 4.2), vgrad(20, (150, 92, 46), 29, (96, 52, 22))),
        (seg(18.5, 18.5, 21.5, 21.5, 4.6), (120, 124, 134)),
        (rim, INK),
        (grow(rim, -1.0), vgrad(3, (214, 218, 228), 23, (128, 134, 150))),
        (grow(rim, -3.0), INK),
        (grow(rim, -3.8), vgrad(6, (206, 236, 255), 20, (132, 190, 238))),
        (seg(8.6, 11, 11.4, 7.6, 1.8), (255, 255, 255), 0.85),
    ]


def bin_icon(px):
    body = poly([(7, 9), (25, 9), (23, 29.5), (9, 29.5)])
    lid = box(5, 5.5, 27, 9.5, 1.0)
    handle = box(12.5, 2.5, 19.5, 6, 1.2)
    ribs = union(*[seg(x0, 12, x1, 27, 1.3) for x0, x1 in ((11.5, 12.3), (16, 16), (20.5, 19.7))])
    metal = hgrad(7, (206, 212, 222), 25, (120, 128, 146))
    return [
        (handle, INK),
        (grow(handle, -1.0), (200, 200, 210)),
        (box(14, 4, 18, 6), INK),
        (body, INK),
        (grow(body, -1.0), metal),
        (inter(ribs, grow(body, -1.5)), (92, 98, 116)),
        (lid, INK),
        (grow(lid, -1.0), hgrad(5, (226, 230, 238), 27, (140, 148, 164))),
    ]


def browser_stop_icon(px):
    frame = box(1.5, 3, 28, 26, 1.5)
    octa = [(21.5 + 7.4 * math.cos(math.pi / 8 + i * math.pi / 4),
             21.5 + 7.4 * math.sin(math.pi / 8 + i * math.pi / 4)) for i in range(8)]
    stop = poly(octa)
    return [
        (frame, INK),
        (grow(frame, -1.0), (236, 238, 244)),
        (box(2.5, 4, 27, 8.5), hgrad(2, (30, 76, 200), 27, (96, 150, 236))),
        (box(23.5, 5, 26, 7.5), (236, 238, 244)),
        (box(2.5, 8.5, 27, 9.5), INK),
        (box(4.5, 12, 17, 13.5), (150, 156, 172)),
        (box(4.5, 16, 14, 17.5), (150, 156, 172)),
        (box(4.5, 20, 12, 21.5), (150, 156, 172)),
        (stop, (110, 6, 6)),
        (grow(stop, -1.0), vgrad(14, (240, 50, 40), 29, (192, 16, 16))),
        (box(17, 20.2, 26, 22.8, 0.4), (255, 255, 255)),
    ]


def person(cx, top, scale, shirt, skin=(246, 200, 160)):
    head = circle(cx, top + 3.6 * scale, 3.6 * scale)
    body = inter(ellipse(cx, top + 15 * scale, 7 * scale, 7.2 * scale), box(cx - 8 * scale, 0, cx + 8 * scale, top + 15.5 * scale))
    body = union(body, box(cx - 7 * scale, top + 12 * scale, cx + 7 * scale, top + 15.5 * scale, 1.0))
    light = tuple(min(255, c + 50) for c in shirt)
    return [
        (body, INK),
        (grow(body, -1.0), vgrad(top + 8 * scale, light, top + 15 * scale, shirt)),
        (grow(head, 1.0), INK),
        (head, vgrad(top, (252, 222, 190), top + 7 * scale, skin)),
    ]


def people_icon(px):
    return (person(8, 6, 0.92, (40, 150, 70)) + person(24, 6, 0.92, (220, 120, 30)) +
            person(16, 11.5, 1.18, (40, 90, 200)))


def tooltip_icon(px):
    bubble = union(box(2, 4, 30, 22, 3.5), poly([(7, 20), (15.5, 20), (5.5, 29.5)]))
    return [
        (bubble, INK),
        (grow(bubble, -1.0), vgrad(4, (255, 255, 236), 24, (255, 238, 170))),
        (box(6, 8.5, 26, 10), (70, 74, 90)),
        (box(6, 12.5, 23, 14), (70, 74, 90)),
        (box(6, 16.5, 18, 18), (70, 74, 90)),
    ]


def cup_icon(px):
    saucer = ellipse(15, 27.2, 13.5, 3.3)
    cup = union(inter(ellipse(14, 13, 9.5, 13.5), box(0, 13, 32, 32)), box(4.5, 12, 23.5, 13.5))
    handle = diff(ellipse(23.5, 17.5, 5, 4.6), ellipse(23.2, 17.5, 2.4, 2.1))
    rim = ellipse(14, 12.2, 9.5, 2.4)
    steam = union(vwave(10, 9, 1.5, 1.1, 1.0, 1.5), vwave(14.5, 9, 1, 1.1, 1.0, 1.5),
                  vwave(19, 9, 1.5, 1.1, 1.0, 1.5))
    white = hgrad(4, (255, 255, 255), 25, (168, 180, 204))
    return [
        (steam, (226, 64, 44)),
        (saucer, INK),
        (grow(saucer, -1.0), hgrad(2, (250, 250, 252), 29, (166, 176, 198))),
        (handle, INK),
        (grow(handle, -1.0), white),
        (cup, INK),
        (grow(cup, -1.0), white),
        (inter(grow(cup, -1.0), box(0, 17.5, 32, 20)), (38, 92, 196)),
        (rim, INK),
        (grow(rim, -1.0), (116, 62, 24)),
    ]


def projector_icon(px):
    # Kept off the right-hand column, where the group box's frame runs past it.
    return moved(projector_layers(), -1.5)


def projector_layers():
    reel1, reel2 = circle(9.5, 8.5, 6.2), circle(21, 8.5, 6.2)
    body = box(3, 14, 24, 26.5, 1.5)
    lens = box(23, 16, 29.5, 24.5, 1.0)
    holes = []
    for c in ((9.5, 8.5), (21, 8.5)):
        holes += [circle(c[0] + 3.3 * math.cos(a), c[1] + 3.3 * math.sin(a), 1.25)
                  for a in (math.pi / 2, math.pi / 2 + 2.094, math.pi / 2 + 4.189)]
    spokes = union(*holes)
    steel = vgrad(14, (112, 120, 138), 27, (58, 62, 76))
    return [
        (reel1, INK),
        (grow(reel1, -1.0), (176, 182, 196)),
        (reel2, INK),
        (grow(reel2, -1.0), (176, 182, 196)),
        (spokes, INK),
        (circle(9.5, 8.5, 1.0), INK),
        (circle(21, 8.5, 1.0), INK),
        (seg(5, 29.5, 8, 25, 1.8), INK),
        (seg(22, 29.5, 19, 25, 1.8), INK),
        (lens, INK),
        (grow(lens, -1.0), vgrad(16, (150, 158, 176), 25, (80, 86, 104))),
        (ellipse(29, 20.25, 1.5, 3.2), (250, 240, 170)),
        (body, INK),
        (grow(body, -1.0), steel),
        (box(6, 17, 15, 18.5), (150, 158, 178)),
        (circle(19, 21.5, 1.6), (250, 214, 60)),
    ]


# ---------------------------------------------------------------- button faces
# A small hand-set bold face, cap height 8 px, so the words are crisp at 1:1.

GLYPHS = {
    'O': [".#####.", "##...##", "##...##", "##...##", "##...##", "##...##", "##...##", ".#####."],
    'K': ["##...##", "##..##.", "##.##..", "####...", "####...", "##.##..", "##..##.", "##...##"],
    'R': ["######.", "##...##", "##...##", "##...##", "######.", "##.##..", "##..##.", "##...##"],
    'H': ["##...##", "##...##", "##...##", "#######", "##...##", "##...##", "##...##", "##...##"],
    'Q': [".#####.", "##...##", "##...##", "##...##", "##...##", "##...##", "##..###", ".######",
          ".....##"],
    'e': ["", "", ".####.", "##..##", "######", "##....", "##..##", ".####."],
    's': ["", "", ".####", "##...", "####.", ".####", "...##", "####."],
    't': ["", ".##..", "#####", ".##..", ".##..", ".##..", ".##..", "..###"],
    'l': ["##"] * 8,
    'p': ["", "", "#####.", "##..##", "##..##", "##..##", "##..##", "#####.", "##....", "##...."],
    'u': ["", "", "##..##", "##..##", "##..##", "##..##", "##.###", ".##.##"],
    'i': ["##", "", "##", "##", "##", "##", "##", "##"],
}

FACE = (212, 208, 200)
FACE_HI = (255, 255, 255)
FACE_LO = (128, 128, 128)
TEXT = (0, 0, 0)


def glyph_width(ch):
    return max(len(r) for r in GLYPHS[ch])


def button_face(word, w, h):
    px = [[FACE] * w for _ in range(h)]
    # A flat face: one light line at the top and left, one dark at the bottom and right.
    for x in range(w):
        px[0][x] = FACE_HI
        px[h - 1][x] = FACE_LO
    for y in range(h):
        px[y][0] = FACE_HI
        px[y][w - 1] = FACE_LO
    tw = sum(glyph_width(c) for c in word) + len(word) - 1
    x = (w - tw) // 2
    top = (h - 8) // 2
    for ch in word:
        for dy, row in enumerate(GLYPHS[ch]):
            for dx, cell in enumerate(row):
                if cell == '#':
                    px[top + dy][x + dx] = TEXT
        x += glyph_width(ch) + 1
    return px


# ---------------------------------------------------------------- output

KEY = (255, 0, 255)  # the clip's see-through colour; the tray shape never uses it


def icon_images(draw, sizes, bpp):
    images = []
    for size in sizes:
        px, mask = opaque_pixels(render(draw(32.0 / size), size))
        images.append((px, mask, bpp))
    return images


def clip_frame(draw):
    px, mask = opaque_pixels(render(draw(1.0), 32))
    return [[KEY if m else p for p, m in zip(prow, mrow)] for prow, mrow in zip(px, mask)]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out, exist_ok=True)

    def p(name):
        return os.path.join(out, name)

    write_ico(p('program.ico'), icon_images(program_icon, (96, 48, 32, 16), 24))

    rest = lambda k: tray_icon(TRAY_RED, k)
    white = lambda k: tray_icon(TRAY_WHITE, k)
    yellow = lambda k: tray_icon(TRAY_YELLOW, k)
    write_ico(p('tray_rest.ico'), icon_images(rest, (32, 16), 8))
    write_ico(p('tray_white.ico'), icon_images(white, (32, 16), 8))
    write_ico(p('tray_yellow.ico'), icon_images(yellow, (32, 16), 8))

    for name, draw in (('magnifier.ico', magnifier_icon), ('delete.ico', bin_icon),
                       ('browser_block.ico', browser_stop_icon), ('messenger.ico', people_icon),
                       ('tooltip.ico', tooltip_icon), ('applet.ico', cup_icon),
                       ('flash.ico', projector_icon)):
        write_ico(p(name), icon_images(draw, (32,), 8))

    for name, word, w in (('ok.bmp', 'OK', 35), ('reset.bmp', 'Reset', 51),
                          ('help.bmp', 'Help', 42), ('quit.bmp', 'Quit', 40)):
        write_bmp(p(name), button_face(word, w, 25))

    # 2.8 s loop: the icon at rest, one white flash on frame 16.
    at_rest, flash = clip_frame(rest), clip_frame(white)
    write_avi(p('flashing.avi'), [flash if i == 16 else at_rest for i in range(28)], 100000)


if __name__ == '__main__':
    main()
