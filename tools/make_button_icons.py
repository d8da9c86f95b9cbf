#!/usr/bin/env python3
"""Writes the button and tab icons of the main dialog and its pages into a folder (16x16, 24-bit with
mask): simple glyphs, each in a colour of its own so a test can find an icon on the screen by that
colour. Run by hand after a change; the .ico files are kept in app/res/icons and
tools/tests/skin_bitmaps_test.sh checks they are what this script writes.
    make_button_icons.py OUT_FOLDER"""
import os, struct, sys

S = 16

def tri_right(x, y):   # a play triangle
    return 4 <= x <= 12 and abs(y - 7.5) <= (12 - x) * 0.6 + 0.5

def square(x, y):
    return 4 <= x <= 11 and 4 <= y <= 11

def bars(x, y):
    return 4 <= y <= 11 and (4 <= x <= 6 or 9 <= x <= 11)

def arrows(x, y):      # two chevrons to the right: converting
    for ox in (2, 8):
        d = x - ox
        if 0 <= d <= 4 and abs(y - 7.5) <= 4.5 - d and abs(y - 7.5) >= 3.0 - d:
            return True
    return False

def screen(x, y):      # a picture frame
    return (2 <= x <= 13 and 3 <= y <= 11) and (x in (2, 13) or y in (3, 11) or (5 <= x <= 10 and 6 <= y <= 8))

def speaker(x, y):
    body = 2 <= x <= 5 and 6 <= y <= 9
    cone = 6 <= x <= 9 and abs(y - 7.5) <= (x - 4) * 0.9
    wave = (x - 9) ** 2 + (y - 7.5) ** 2
    return body or cone or (x >= 11 and 9 <= wave <= 20)

def scissors(x, y):
    ring = lambda cx, cy: 3 <= (x - cx) ** 2 + (y - cy) ** 2 <= 6
    blade = abs((x - 4) - (y - 2)) <= 0.6 and 2 <= y <= 9 or abs((11 - x) - (y - 2)) <= 0.6 and 2 <= y <= 9
    return ring(4, 12) or ring(11, 12) or blade

def equaliser(x, y):
    heights = {3: 6, 4: 6, 6: 10, 7: 10, 9: 4, 10: 4, 12: 8, 13: 8}
    return x in heights and 14 - heights[x] <= y <= 13

def letter_i(x, y):    # an "i" in a circle: about
    d = (x - 7.5) ** 2 + (y - 7.5) ** 2
    return (36 <= d <= 56) or (7 <= x <= 8 and (y in (4, 5) or 7 <= y <= 11))

def question(x, y):
    arc = 5 <= (x - 7.5) ** 2 + (y - 5.5) ** 2 <= 12 and not (x < 7 and y > 5)
    return arc or (7 <= x <= 8 and (8 <= y <= 9 or 11 <= y <= 12))

def globe(x, y):
    d = (x - 7.5) ** 2 + (y - 7.5) ** 2
    return (30 <= d <= 49) or (d < 49 and (x in (7, 8) or y in (7, 8)))

def envelope(x, y):
    box = 2 <= x <= 13 and 4 <= y <= 11 and (x in (2, 13) or y in (4, 11))
    flap = 4 <= y <= 8 and abs(abs(x - 7.5) - (8 - y) * 1.4) <= 0.8
    return box or flap

def door(x, y):        # exit: a door and an arrow out
    frame = 3 <= x <= 8 and 2 <= y <= 13 and (x in (3, 8) or y in (2, 13))
    arrow = (9 <= x <= 14 and y in (7, 8)) or (11 <= x <= 13 and abs(y - 7.5) <= (13.5 - x) * 1.0 and abs(y - 7.5) >= (12.5 - x))
    return frame or arrow

def pencil(x, y):
    return abs((x + y) - 15) <= 1.0 and 2 <= x <= 13

def bracket_left(x, y):
    return (4 <= x <= 5 and 3 <= y <= 12) or (6 <= x <= 9 and y in (3, 12)) or (8 <= x <= 12 and 7 <= y <= 8)

def bracket_right(x, y):
    return bracket_left(15 - x, y)

def tick(x, y):
    return abs(y - (x + 5)) <= 0.8 and 2 <= x <= 6 or abs(y - (17 - x)) <= 0.8 and 6 <= x <= 13

def film(x, y):
    body = 2 <= x <= 13 and 3 <= y <= 12
    holes = y in (4, 11) and x % 3 == 0
    return body and not holes and not (5 <= x <= 10 and 6 <= y <= 9)

def plus(x, y):
    return (7 <= x <= 8 and 3 <= y <= 12) or (3 <= x <= 12 and 7 <= y <= 8)

def cross(x, y):
    return (abs(x - y) <= 0.8 or abs(x + y - 15) <= 0.8) and 3 <= x <= 12

def disk(x, y):        # save: a floppy
    body = 2 <= x <= 13 and 2 <= y <= 13
    label = 5 <= x <= 10 and 2 <= y <= 6
    return body and not label or (8 <= x <= 9 and 3 <= y <= 5)

def disc(x, y):        # refresh the disc drives: a disc
    d = (x - 7.5) ** 2 + (y - 7.5) ** 2
    return 4 <= d <= 42

def folder(x, y):
    tab = 2 <= x <= 6 and 3 <= y <= 4
    return tab or (2 <= x <= 13 and 5 <= y <= 12)

def back(x, y):        # return: an arrow to the left
    return (4 <= x <= 13 and 7 <= y <= 8) or (2 <= x <= 6 and abs(y - 7.5) <= (x - 1.5) and abs(y - 7.5) >= (x - 3.0))

def letters(x, y, glyph):   # three 3x5 letters, twice as tall, for the output-kind tabs
    rows = glyph.split('/')
    gx, gy = x - 2, (y - 3) // 2
    if not (0 <= gy < len(rows) and 0 <= gx < len(rows[0])):
        return False
    return rows[gy][gx] == '#'

TAB_3GP = '###.###.###/..#.#...#.#/.##.#.#.###/..#.#.#.#../###.###.#..'
TAB_MP4 = '#.#.###.#.#/###.#.#.#.#/#.#.###.###/#.#.#.....#/#.#.#.....#'
TAB_AVI = '###.#.#.###/#.#.#.#..#./###.#.#..#./#.#.#.#..#./#.#..#..###'

# id: (file name, glyph, signature colour R,G,B)
ICONS = {
    155: ('back', back, (40, 200, 232)),
    166: ('save', disk, (32, 96, 224)),
    167: ('add', plus, (24, 184, 56)),
    168: ('delete', cross, (216, 40, 40)),
    171: ('disc', disc, (176, 120, 232)),
    175: ('folder', folder, (232, 184, 40)),
    230: ('play', tri_right, (16, 200, 96)),
    231: ('stop', square, (200, 24, 48)),
    232: ('pause', bars, (240, 160, 16)),
    233: ('convert', arrows, (24, 144, 248)),
    234: ('video', screen, (112, 64, 224)),
    235: ('audio', speaker, (8, 168, 168)),
    236: ('trim', scissors, (168, 104, 40)),
    237: ('effects', equaliser, (224, 64, 160)),
    238: ('about', letter_i, (48, 112, 200)),
    239: ('help', question, (56, 160, 72)),
    240: ('visit', globe, (40, 128, 176)),
    241: ('contact', envelope, (200, 136, 56)),
    242: ('exit', door, (184, 48, 88)),
    243: ('range_edit', pencil, (216, 112, 24)),
    244: ('range_start', bracket_left, (88, 176, 40)),
    245: ('range_end', bracket_right, (176, 56, 40)),
    246: ('range_done', tick, (40, 168, 120)),
    250: ('tab_files', film, (96, 80, 200)),
    251: ('tab_3gp', lambda x, y: letters(x, y, TAB_3GP), (232, 96, 24)),
    252: ('tab_mp4', lambda x, y: letters(x, y, TAB_MP4), (24, 120, 232)),
    253: ('tab_avi', lambda x, y: letters(x, y, TAB_AVI), (200, 40, 136)),
}

def ico(glyph, colour):
    pixels = [[colour if glyph(x, y) else None for x in range(S)] for y in range(S)]
    header = struct.pack('<IiiHHIIiiII', 40, S, S * 2, 1, 24, 0, 0, 0, 0, 0, 0)
    xor = b''
    for row in reversed(pixels):
        xor += b''.join(bytes((c[2], c[1], c[0])) if c else b'\0\0\0' for c in row)
    mask = b''
    for row in reversed(pixels):
        bits = 0
        line = b''
        for i, c in enumerate(row):
            bits = (bits << 1) | (0 if c else 1)
            if i % 8 == 7:
                line += bytes((bits,))
                bits = 0
        mask += line + b'\0' * ((4 - len(line) % 4) % 4)
    image = header + xor + mask
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', S, S, 0, 0, 1, 24, len(image), 22) + image

def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for number, (name, glyph, colour) in sorted(ICONS.items()):
        with open(os.path.join(out, name + '.ico'), 'wb') as f:
            f.write(ico(glyph, colour))

if __name__ == '__main__':
    main()
