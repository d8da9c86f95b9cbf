#!/usr/bin/env python3
"""Writes the skin bitmaps of controls/res (the window frame's and the skinned list's), and the two libraries' frame bitmaps of soundfx/res and
videofx/res, at the sizes and depths the skin expects: plain 40-byte BITMAPINFOHEADER, full palettes
(biClrUsed 0), bottom-up rows. Black (0,0,0) is the key colour that cuts window regions and is kept out
of the images except where a corner must be cut. The libraries' strips give every column (row) of their
repeated tile a colour of its own, so that a tile drawn at the wrong place shows. Run once; the .bmp
files are kept in the tree.   usage: make_skin_bitmaps.py [output root]"""
import math, os, struct, sys

def write_bmp(path, width, height, bpp, pixels, palette=None):
    """pixels[y][x]: palette index (bpp <= 8) or (r, g, b); y = 0 is the top row."""
    colours = (1 << bpp) if bpp <= 8 else 0
    if colours:
        palette = list(palette) + [(0, 0, 0)] * (colours - len(palette))
        assert len(palette) == colours
    stride = (width * bpp + 31) // 32 * 4
    rows = []
    for y in range(height - 1, -1, -1):
        row = pixels[y]
        if bpp == 24:
            data = b''.join(bytes((b, g, r)) for (r, g, b) in row)
        elif bpp == 8:
            data = bytes(row)
        elif bpp == 4:
            data = bytes(((row[x] & 15) << 4) | ((row[x + 1] & 15) if x + 1 < width else 0) for x in range(0, width, 2))
        else:
            raise ValueError(bpp)
        rows.append(data + b'\0' * (stride - len(data)))
    bits = b''.join(rows)
    pal = b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette) if colours else b''
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, 0, len(bits), 2835, 2835, 0, 0)
    offset = 14 + len(info) + len(pal)
    header = b'BM' + struct.pack('<IHHI', offset + len(bits), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(header + info + pal + bits)

def clamp(v):
    return max(0, min(255, int(v)))

def ramp_palette(start, end, count=256):
    return [tuple(clamp(start[c] + (end[c] - start[c]) * i / (count - 1)) for c in range(3)) for i in range(count)]

def background():
    # A soft blue-grey texture with faint diagonal weave; never black.
    pal = ramp_palette((40, 62, 96), (120, 150, 190))
    seed = 12345
    px = []
    for y in range(150):
        row = []
        for x in range(150):
            seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
            noise = (seed >> 16) % 24
            weave = 60 if (x + y) % 10 < 2 or (x - y) % 10 < 1 else 0
            row.append(min(255, 90 + noise + weave))
        px.append(row)
    return pal, px

def caption():
    # Two caption states stacked (33 rows each); black cuts the rounded top corners of the window.
    pal = [(0, 0, 0)] + ramp_palette((20, 50, 120), (150, 190, 240), 255)
    px = []
    for y in range(66):
        state_y = y % 33
        row = []
        for x in range(179):
            r = 7
            corner = state_y < r and (x < r or x >= 179 - r)
            if corner:
                cx = r if x < r else 178 - r
                if (x - cx) ** 2 + (state_y - r) ** 2 > r * r:
                    row.append(0)
                    continue
            shade = 1 + int(254 * (1 - state_y / 32)) if y < 33 else 1 + int(120 * (1 - state_y / 32))
            if state_y == 0:
                shade = 250
            row.append(max(1, min(255, shade)))
        px.append(row)
    return pal, px

def side_piece(width, height, dark, light):
    pal = ramp_palette(dark, light)
    px = []
    for y in range(height):
        row = []
        for x in range(width):
            edge = x == 0 or x == width - 1
            row.append(40 if edge else 80 + int(160 * math.sin(math.pi * x / (width - 1))))
        px.append(row)
    return pal, px

def bottom_piece():
    pal = ramp_palette((25, 40, 80), (150, 175, 215), 16)
    px = [[1 if y in (0, 25) else 2 + (13 * (25 - y)) // 25 for x in range(57)] for y in range(26)]
    return pal, px

def button_strip(face, symbol):
    # Three 21x21 cells: normal, hover (lighter), pressed (darker, shifted symbol).
    px = [[None] * 63 for _ in range(21)]
    for cell, (light, shift) in enumerate(((0, 0), (45, 0), (-45, 1))):
        for y in range(21):
            for x in range(21):
                inside = 1 <= x <= 19 and 1 <= y <= 19
                base = tuple(clamp(c + light - 3 * abs(y - 10)) for c in face)
                colour = base if inside else tuple(clamp(c * 0.5) + 1 for c in face)
                if inside and symbol(x - shift, y - shift):
                    colour = (250, 250, 250)
                px[y][cell * 21 + x] = colour
    return px

# ---- the skinned list's header and scroll bars (24-bit, used by the program and both libraries) ----

def shade(colour, k):
    return tuple(clamp(c * k) for c in colour)

def header_piece(width, height, edge):
    """The header's background column (a top-lit gradient over the 16 rows the header uses) or its
    column edge (a light left column and a dark right one)."""
    base = (86, 110, 160)
    px = []
    for y in range(height):
        k = 1.35 - 0.04 * y if y < 16 else 0.5
        row = []
        for x in range(width):
            if edge:
                row.append(shade((220, 230, 250), 1.0) if x == 0 else shade((30, 40, 70), 1.0) if x == 1 else shade(base, 0.6))
            else:
                row.append(shade(base, k))
        px.append(row)
    return px

def arrow_piece(width, height, direction, face):
    """An arrow button: a bevelled face with a light triangle pointing left, right, up or down."""
    px = []
    cx, cy = (width - 1) / 2, (height - 1) / 2
    for y in range(height):
        row = []
        for x in range(width):
            edge = x == 0 or y == 0 or x == width - 1 or y == height - 1
            colour = shade(face, 0.55) if edge else shade(face, 1.15 - 0.5 * (y / height if width > height else x / width))
            dx, dy = x - cx, y - cy
            along, across = {'left': (-dx, dy), 'right': (dx, dy), 'up': (-dy, dx), 'down': (dy, dx)}[direction]
            if -3 <= along <= 3 and abs(across) <= (3 - along) * 0.9 + 0.5:
                colour = (240, 244, 250)
            row.append(colour)
        px.append(row)
    return px

def thumb_piece(width, height, face):
    """The thumb: a raised face with grip lines across its middle."""
    px = []
    for y in range(height):
        row = []
        for x in range(width):
            a, b = (x, y) if width > height else (y, x)
            length = max(width, height)
            if x in (0, width - 1) or y in (0, height - 1):
                colour = shade(face, 0.5)
            elif abs(a - length // 2) <= 4 and a % 2 == 0:
                colour = shade(face, 1.5)
            else:
                colour = shade(face, 1.2 - 0.3 * b / min(width, height))
            row.append(colour)
        px.append(row)
    return px

def track_piece(width, height, face, along_x):
    # One column (row) of the track: darker at its edges.
    return [[shade(face, 0.7 + 0.5 * (1 - abs(((y if along_x else x) - ((height if along_x else width) - 1) / 2)) /
                                   (((height if along_x else width) - 1) / 2 or 1))) for x in range(width)]
            for y in range(height)]

def list_bitmaps(out):
    hface, vface = (92, 108, 150), (88, 104, 140)
    write_bmp(os.path.join(out, 'list_header_edge.bmp'), 4, 23, 24, header_piece(4, 23, True))
    write_bmp(os.path.join(out, 'list_header_back.bmp'), 1, 23, 24, header_piece(1, 23, False))
    write_bmp(os.path.join(out, 'list_hbar_left.bmp'), 26, 12, 24, arrow_piece(26, 12, 'left', hface))
    write_bmp(os.path.join(out, 'list_hbar_right.bmp'), 26, 12, 24, arrow_piece(26, 12, 'right', hface))
    write_bmp(os.path.join(out, 'list_hbar_track.bmp'), 1, 12, 24, track_piece(1, 12, (60, 72, 104), True))
    write_bmp(os.path.join(out, 'list_hbar_thumb.bmp'), 26, 12, 24, thumb_piece(26, 12, (150, 120, 70)))
    write_bmp(os.path.join(out, 'list_vbar_corner.bmp'), 11, 11, 24,
              [[shade(vface, 0.5 if x + y >= 10 else 0.9) for x in range(11)] for y in range(11)])
    write_bmp(os.path.join(out, 'list_vbar_down.bmp'), 12, 26, 24, arrow_piece(12, 26, 'down', vface))
    write_bmp(os.path.join(out, 'list_vbar_track.bmp'), 12, 1, 24, track_piece(12, 1, (56, 68, 98), False))
    write_bmp(os.path.join(out, 'list_vbar_thumb.bmp'), 12, 26, 24, thumb_piece(12, 26, (150, 120, 70)))
    write_bmp(os.path.join(out, 'list_vbar_top.bmp'), 12, 23, 24,
              [[shade(vface, 0.6 if y < 16 and (x in (0, 11) or y == 0) else 1.0 - 0.02 * y) for x in range(12)] for y in range(23)])
    write_bmp(os.path.join(out, 'list_vbar_up.bmp'), 12, 26, 24, arrow_piece(12, 26, 'up', vface))

# ---- the libraries' frames: the program's sizes, a colour of their own, distinct tile columns ----

def library_background(dark, light):
    pal = ramp_palette(dark, light)
    px = [[(40 + (x * 7 + y * 3) % 150 + (30 if (x // 15 + y // 15) % 2 else 0)) for x in range(150)] for y in range(150)]
    return pal, px

def library_strip(width, height, along_x, start, tile_end, dark, light, corner=0):
    """A strip of two looks (halves across it). Index 1..100 shade the caps; every column (row) of the
    tile gets an index of its own from 101 on, with a colour no other index has."""
    # Tile colours differ in red one step each, near the caps' middle shade.
    mid = tuple((dark[k] + light[k]) // 2 for k in range(3))
    pal = [(0, 0, 0)] + ramp_palette(dark, light, 100) + [
        (clamp(mid[0] - 60 + i), clamp(mid[1] + (i % 3) * 6), clamp(mid[2] - (i % 5) * 4)) for i in range(155)]
    length = width if along_x else height
    thickness = (height if along_x else width) // 2
    px = []
    for y in range(height):
        row = []
        for x in range(width):
            a, b = (x, y) if along_x else (y, x)      # a along the strip, b across it
            look, depth = divmod(b, thickness) if thickness else (0, 0)
            if start <= a < tile_end:
                index = 101 + (a - start) + 40 * look
            else:
                index = 1 + (99 * depth) // max(1, thickness - 1) if look == 0 else 100 - (60 * depth) // max(1, thickness - 1)
            if corner and b % thickness < corner and (a < corner or a >= length - corner):
                cx = corner if a < corner else length - 1 - corner
                if (a - cx) ** 2 + (b % thickness - corner) ** 2 > corner * corner:
                    index = 0
            row.append(index)
        px.append(row)
    return pal, px

def library_bottom(dark, light):
    pal = [(0, 0, 0)] + ramp_palette(dark, light, 15)
    return pal, [[1 + (x * 5 + (y // 13) * 3) % 15 for x in range(57)] for y in range(26)]

def library_frame(out, prefix, dark, light, buttons):
    pal, px = library_background(dark, light); write_bmp(os.path.join(out, prefix + '_background.bmp'), 150, 150, 8, px, pal)
    pal, px = library_strip(179, 66, True, 76, 95, dark, light, corner=6); write_bmp(os.path.join(out, prefix + '_caption.bmp'), 179, 66, 8, px, pal)
    pal, px = library_strip(20, 58, False, 33, 45, dark, light); write_bmp(os.path.join(out, prefix + '_frame_left.bmp'), 20, 58, 8, px, pal)
    pal, px = library_strip(24, 56, False, 33, 43, dark, light); write_bmp(os.path.join(out, prefix + '_frame_right.bmp'), 24, 56, 8, px, pal)
    pal, px = library_bottom(dark, light); write_bmp(os.path.join(out, prefix + '_frame_bottom.bmp'), 57, 26, 4, px, pal)
    for name, face, symbol in buttons:
        write_bmp(os.path.join(out, prefix + '_' + name + '.bmp'), 63, 21, 24, button_strip(face, symbol))

def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    out = os.path.join(root, 'controls', 'res')
    pal, px = background(); write_bmp(os.path.join(out, 'skin_background.bmp'), 150, 150, 8, px, pal)
    pal, px = caption(); write_bmp(os.path.join(out, 'skin_caption.bmp'), 179, 66, 8, px, pal)
    pal, px = side_piece(20, 58, (20, 40, 90), (120, 160, 230)); write_bmp(os.path.join(out, 'skin_frame_left.bmp'), 20, 58, 8, px, pal)
    pal, px = side_piece(24, 56, (20, 40, 90), (120, 160, 230)); write_bmp(os.path.join(out, 'skin_frame_right.bmp'), 24, 56, 8, px, pal)
    pal, px = bottom_piece(); write_bmp(os.path.join(out, 'skin_frame_bottom.bmp'), 57, 26, 4, px, pal)
    cross = lambda x, y: 5 <= x <= 15 and 5 <= y <= 15 and (abs(x - y) <= 1 or abs(x + y - 20) <= 1)
    bar = lambda x, y: 5 <= x <= 15 and 13 <= y <= 15
    dot = lambda x, y: (x - 10) ** 2 + (y - 10) ** 2 <= 16
    write_bmp(os.path.join(out, 'skin_button_close.bmp'), 63, 21, 24, button_strip((200, 50, 40), cross))
    write_bmp(os.path.join(out, 'skin_button_min.bmp'), 63, 21, 24, button_strip((50, 90, 190), bar))
    write_bmp(os.path.join(out, 'skin_button_colour.bmp'), 63, 21, 24, button_strip((60, 160, 70), dot))
    list_bitmaps(out)
    library_frame(os.path.join(root, 'soundfx', 'res'), 'olumbra', (10, 60, 40), (120, 220, 170),
                  [('button_close', (200, 60, 40), cross)])
    library_frame(os.path.join(root, 'videofx', 'res'), 'brisvane', (60, 20, 80), (200, 150, 230),
                  [('button_close', (200, 60, 40), cross), ('button_1', (60, 90, 200), bar)])

if __name__ == '__main__':
    main()
