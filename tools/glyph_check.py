#!/usr/bin/env python3
"""Checks that a crop of a screenshot shows a line of distinct glyphs, not the same box repeated.

usage: glyph_check.py CROP.png CELLS
Splits the dark ink of the crop into character cells at blank columns and checks that the first CELLS
cells (the caller chooses a text whose first CELLS characters all differ) are pairwise different.
A missing font draws every character as one identical box or question mark, which this catches."""
import subprocess, sys

def read_gray(path):
    pgm = subprocess.run(['convert', path, '-colorspace', 'gray', '-depth', '8', 'pgm:-'],
                         check=True, capture_output=True).stdout
    # P5 header: magic, width, height, maxval, each separated by white space
    fields, pos = [], 0
    while len(fields) < 4:
        while pgm[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not pgm[end:end + 1].isspace():
            end += 1
        fields.append(pgm[pos:end]); pos = end
    pos += 1
    w, h = int(fields[1]), int(fields[2])
    data = pgm[pos:pos + w * h]
    return w, h, [data[y * w:(y + 1) * w] for y in range(h)]

def cells(w, h, rows):
    # Text is darker than the background: threshold halfway between the two extremes.
    lo = min(min(r) for r in rows); hi = max(max(r) for r in rows)
    if hi - lo < 60:
        return []
    cut = (lo + hi) // 2
    ink = [[1 if rows[y][x] < cut else 0 for x in range(w)] for y in range(h)]
    cols = [any(ink[y][x] for y in range(h)) for x in range(w)]
    out, x = [], 0
    while x < w:
        if not cols[x]:
            x += 1; continue
        start = x
        while x < w and cols[x]:
            x += 1
        out.append(tuple(tuple(ink[y][start:x]) for y in range(h)))
    return out

def merge_narrow(found, min_width):
    # A Chinese character can have blank columns inside it (e.g. between radicals): join pieces
    # narrower than a full character with their right neighbour.
    merged = []
    for c in found:
        if merged and len(merged[-1][0]) < min_width:
            merged[-1] = tuple(a + (0,) + b for a, b in zip(merged[-1], c))
        else:
            merged.append(c)
    return merged

def main():
    path, want = sys.argv[1], int(sys.argv[2])
    w, h, rows = read_gray(path)
    raw = cells(w, h, rows)
    # The height of the ink decides how wide a whole character is.
    inked_rows = [y for y in range(h) if any(any(c[y]) for c in raw)] if raw else []
    ink_height = inked_rows[-1] - inked_rows[0] + 1 if inked_rows else 0
    found = merge_narrow(raw, max(3, ink_height * 6 // 10))
    first = found[:want]
    distinct = len(set(first))
    widths = [len(c[0]) for c in first]
    print(f'glyph_check: {len(found)} cells, first {len(first)} widths {widths}, {distinct} distinct')
    ok = len(first) == want and distinct == want
    print('glyph_check: ' + ('glyphs' if ok else 'NOT glyphs (boxes or nothing)'))
    return 0 if ok else 1

if __name__ == '__main__':
    sys.exit(main())
