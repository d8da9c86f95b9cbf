#!/usr/bin/env python3
"""Writes the skin bitmaps of controls/res (the window frame's and the skinned list's), and the two libraries' frame bitmaps of soundfx/res and
videofx/res (with the video panel's icons, list strip and cursor), at the sizes and depths the skin expects: plain 40-byte BITMAPINFOHEADER, full palettes
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

def write_ico(path, images):
    """images: [(size, pixels)] with pixels[y][x] = (r, g, b) or None (transparent); 24-bit with mask."""
    blobs = []
    for size, px in images:
        header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 24, 0, 0, 0, 0, 0, 0)
        xor = b''
        andm = b''
        for row in reversed(px):
            line = b''.join(bytes((c[2], c[1], c[0])) if c else b'\0\0\0' for c in row)
            xor += line + b'\0' * ((4 - len(line) % 4) % 4)
            bits = 0; mline = b''
            for i, c in enumerate(row):
                bits = (bits << 1) | (0 if c else 1)
                if i % 8 == 7: mline += bytes((bits,)); bits = 0
            andm += mline + b'\0' * ((4 - len(mline) % 4) % 4)
        blobs.append(header + xor + andm)
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, _), data in zip(images, blobs):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 24, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(blobs))

def write_cur(path, size, shape, hot):
    """A monochrome cursor: shape(x, y) is 'b' black, 'w' white or None (transparent)."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    pal = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    stride = (size + 31) // 32 * 4
    xor = b''; andm = b''
    for y in range(size - 1, -1, -1):
        xb = 0; ab = 0; xl = b''; al = b''
        for x in range(size):
            c = shape(x, y)
            xb = (xb << 1) | (1 if c == 'w' else 0)
            ab = (ab << 1) | (1 if c is None else 0)
            if x % 8 == 7: xl += bytes((xb,)); al += bytes((ab,)); xb = 0; ab = 0
        xor += xl + b'\0' * (stride - len(xl)); andm += al + b'\0' * (stride - len(al))
    data = header + pal + xor + andm
    out = struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', size, size, 0, 0, hot[0], hot[1], len(data), 22)
    with open(path, 'wb') as f:
        f.write(out + data)

def panel_icon(size, face, symbol):
    """A rounded tile of colour `face` with a white symbol(x, y) drawn on a 20 x 20 design grid."""
    r = size // 6
    px = []
    for y in range(size):
        row = []
        for x in range(size):
            cx = min(max(x, r), size - 1 - r); cy = min(max(y, r), size - 1 - r)
            if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
                row.append(None); continue
            shade = 0.75 + 0.25 * (size - y) / size
            col = tuple(clamp(c * shade) for c in face)
            if symbol(x * 20 // size, y * 20 // size):
                col = (255, 255, 255)
            row.append(col)
        px.append(row)
    return px

def brisvane_panel(out):
    """The panel's icons (tabs, page buttons, about), the chain list's on/off strip and the move cursor."""
    cross = lambda x, y: 5 <= x <= 15 and 5 <= y <= 15 and (abs(x - y) <= 1 or abs(x + y - 20) <= 1)
    tick = lambda x, y: (4 <= x <= 8 and abs(y - (x + 6)) <= 1) or (8 <= x <= 16 and abs(y - (22 - x)) <= 1)
    ring = lambda x, y: 16 <= (x - 10) ** 2 + (y - 10) ** 2 <= 36
    dot = lambda x, y: (x - 10) ** 2 + (y - 10) ** 2 <= 20
    bars = lambda x, y: 4 <= y <= 16 and x in (4, 5, 9, 10, 14, 15)
    lines = lambda x, y: 4 <= x <= 16 and y in (5, 6, 10, 11, 15)
    frame = lambda x, y: (x in (4, 16) and 4 <= y <= 16) or (y in (4, 16) and 4 <= x <= 16)
    letter_t = lambda x, y: (4 <= y <= 5 and 4 <= x <= 16) or (9 <= x <= 11 and 4 <= y <= 16)
    letter_a = lambda x, y: (abs(x - 10) * 2 <= (y - 3) and 3 <= y <= 16 and abs(x - 10) * 2 >= (y - 3) - 3) or (y == 12 and 6 <= x <= 14)
    mountain = lambda x, y: (y >= 16 - abs(x - 8) * 0 - (8 - abs(x - 8)) and y <= 16 and 2 <= x <= 17) or (x - 14) ** 2 + (y - 5) ** 2 <= 4
    star = lambda x, y: abs(x - 10) + abs(y - 10) <= 3 or (abs(x - 10) <= 1 and 3 <= y <= 17) or (abs(y - 10) <= 1 and 3 <= x <= 17)
    icons = {
        11002: ((40, 160, 60), tick), 11003: ((190, 50, 40), cross), 11009: ((60, 40, 170), star),
        11010: ((200, 60, 40), cross), 11012: ((40, 120, 180), mountain), 11014: ((120, 60, 160), letter_a),
        11015: ((30, 150, 150), letter_t), 11016: ((170, 120, 30), dot), 11017: ((90, 90, 90), frame),
        11018: ((50, 110, 200), bars), 11019: ((200, 140, 30), lines), 11020: ((40, 150, 90), frame),
        11021: ((30, 130, 170), mountain), 11022: ((160, 50, 120), letter_t),
    }
    for number, (face, symbol) in icons.items():
        write_ico(os.path.join(out, 'brisvane_%d.ico' % number),
                  [(32, panel_icon(32, face, symbol)), (16, panel_icon(16, face, symbol))])
    # Two 16 x 16 row images on magenta (the key colour): 0 on (green tick), 1 off (red cross).
    key = (255, 0, 255)
    strip = [[key] * 32 for _ in range(16)]
    for y in range(16):
        for x in range(16):
            if tick(x * 20 // 16, y * 20 // 16): strip[y][x] = (30, 170, 40)
            if cross(x * 20 // 16, y * 20 // 16): strip[y][16 + x] = (210, 40, 30)
    write_bmp(os.path.join(out, 'brisvane_rows.bmp'), 32, 16, 24, strip)
    def move(x, y):
        # A four-way arrow with a black outline, the hot spot in its middle.
        d = abs(x - 15) + abs(y - 15)
        shaft = (abs(x - 15) <= 1 and 4 <= y <= 26) or (abs(y - 15) <= 1 and 4 <= x <= 26)
        heads = any(abs(x - 15) <= k and y == 3 + k or abs(x - 15) <= k and y == 27 - k or
                    abs(y - 15) <= k and x == 3 + k or abs(y - 15) <= k and x == 27 - k for k in range(4))
        if shaft or heads: return 'w'
        near = any((abs(x + dx - 15) <= 1 and 4 <= y + dy <= 26) or (abs(y + dy - 15) <= 1 and 4 <= x + dx <= 26)
                   for dx in (-1, 0, 1) for dy in (-1, 0, 1))
        return 'b' if near and d < 14 else None
    write_cur(os.path.join(out, 'brisvane_move.cur'), 32, move, (15, 15))

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
    brisvane_panel(os.path.join(root, 'videofx', 'res'))

if __name__ == '__main__':
    main()
