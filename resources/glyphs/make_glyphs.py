#!/usr/bin/env python3
"""Draws the button glyphs as XPM files (C arrays the X11 build includes).

Run from this folder: python3 make_glyphs.py. Every shape is a test over pixel centres;
an outlined shape is its mask grown by one pixel in the outline colour, then the mask.
"""
import math

PALETTE = {
    ' ': 'None',
    'k': '#000000',
    'w': '#FFFFFF',
    'g': '#808080',
    'l': '#C0C0C0',
    'd': '#404040',
    'Y': '#C89B2C',  # folder back
    'y': '#F5D66B',  # folder front
    'o': '#6B4E0F',  # folder outline
    'G': '#2EA043',  # play green
    'h': '#145A22',  # green outline
    'B': '#2F6FD0',  # blue
    'b': '#163A73',  # blue outline
    'P': '#2060E0',  # small-button blue
    'R': '#D42020',  # record red
    'r': '#6E0A0A',  # red outline
    'p': '#FF8A8A',  # red highlight
    'N': '#1F2A44',  # stop square
    'F': '#2B5AA8',  # floppy body
    'f': '#10264D',  # floppy outline
    'm': '#E8E8E8',  # paper
}


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[' '] * width for _ in range(height)]

    def fill(self, mask, ch):
        for y in range(self.height):
            for x in range(self.width):
                if mask(x + 0.5, y + 0.5):
                    self.pixels[y][x] = ch

    def outlined(self, mask, fill, outline):
        grown = lambda x, y: any(mask(x + dx, y + dy)
                                 for dx in (-1, 0, 1) for dy in (-1, 0, 1))
        self.fill(grown, outline)
        self.fill(mask, fill)

    def xpm(self, name):
        used = sorted({ch for row in self.pixels for ch in row})
        lines = ['/* XPM */', f'static const char* const {name}[] = {{',
                 f'"{self.width} {self.height} {len(used)} 1",']
        lines += [f'"{ch} c {PALETTE[ch]}",' for ch in used]
        rows = [f'"{"".join(row)}"' for row in self.pixels]
        lines += [row + ',' for row in rows[:-1]] + [rows[-1], '};', '']
        return '\n'.join(lines)


def rect(x0, y0, x1, y1):
    """Pixels x0..x1, y0..y1 inclusive."""
    return lambda x, y: x0 <= x < x1 + 1 and y0 <= y < y1 + 1


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def polygon(points):
    def inside(x, y):
        hit = False
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                hit = not hit
        return hit
    return inside


def arc(cx, cy, r0, r1, start, end):
    """A ring sector; angles in degrees, counter-clockwise from the right, y up."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        return r0 <= d <= r1 and start <= a <= end
    return inside


def union(*masks):
    return lambda x, y: any(m(x, y) for m in masks)


def bitmap(rows, left, top):
    """A mask from rows of '#' and '.' placed at left, top."""
    def inside(x, y):
        col, row = math.floor(x - left), math.floor(y - top)
        return 0 <= row < len(rows) and 0 <= col < len(rows[row]) and rows[row][col] == '#'
    return inside


def open_glyph():
    c = Canvas(32, 32)
    c.outlined(union(rect(3, 7, 13, 10), rect(3, 9, 27, 26)), 'Y', 'o')
    c.fill(rect(7, 5, 24, 13), 'm')
    c.outlined(polygon([(7, 14), (31, 14), (27, 27), (3, 27)]), 'y', 'o')
    return c


def play_glyph():
    c = Canvas(32, 32)
    c.outlined(polygon([(9, 4), (27, 16), (9, 28)]), 'G', 'h')
    return c


def loop_glyph():
    c = Canvas(32, 32)
    cx, cy = 16, 16
    top = union(arc(cx, cy, 7, 11, 25, 165),
                polygon([(cx + 3, cy - 3), (cx + 15, cy - 3), (cx + 9, cy + 4)]))
    bottom = union(arc(cx, cy, 7, 11, 205, 345),
                   polygon([(cx - 15, cy + 3), (cx - 3, cy + 3), (cx - 9, cy - 4)]))
    c.outlined(top, 'B', 'b')
    c.outlined(bottom, 'B', 'b')
    return c


def list_play_glyph():
    c = Canvas(32, 32)
    c.outlined(rect(4, 3, 21, 27), 'w', 'g')
    for row in (7, 11, 15, 19, 23):
        c.fill(rect(7, row, 18, row), 'd')
    c.outlined(polygon([(17, 14), (30, 22), (17, 30)]), 'G', 'h')
    return c


def record_glyph():
    c = Canvas(32, 32)
    c.outlined(circle(16, 16, 10), 'R', 'r')
    c.fill(circle(12.5, 12.5, 3), 'p')
    return c


def stop_glyph():
    c = Canvas(32, 32)
    c.outlined(rect(8, 8, 23, 23), 'N', 'k')
    c.fill(rect(9, 9, 22, 9), 'g')
    return c


def stop_disabled_glyph():
    c = Canvas(32, 32)
    c.fill(rect(9, 9, 24, 24), 'w')
    c.fill(rect(8, 8, 23, 23), 'g')
    return c


def floppy(c, size):
    s = size / 32.0
    p = lambda v: v * s
    body = polygon([(p(3), p(3)), (p(26), p(3)), (p(29), p(6)), (p(29), p(29)), (p(3), p(29))])
    c.outlined(body, 'F', 'f')
    c.fill(rect(p(9), p(4), p(22) - 1, p(12) - 1), 'l')
    c.fill(rect(p(18), p(5), p(20) - 1, p(11) - 1), 'F')
    c.fill(rect(p(7), p(16), p(25) - 1, p(28) - 1), 'w')
    if size >= 32:
        for row in (19, 22, 25):
            c.fill(rect(9, row, 22, row), 'g')
    return c


def help_glyph():
    c = Canvas(32, 32)
    c.outlined(circle(16, 16, 12), 'B', 'b')
    question = [
        '..####..',
        '.######.',
        '##....##',
        '##....##',
        '......##',
        '.....##.',
        '....##..',
        '...##...',
        '...##...',
        '........',
        '...##...',
        '...##...',
    ]
    c.fill(bitmap(question, 12, 10), 'w')
    return c


def add_glyph():
    c = Canvas(13, 13)
    c.outlined(union(rect(5, 1, 7, 11), rect(1, 5, 11, 7)), 'P', 'k')
    return c


def delete_glyph():
    c = Canvas(13, 13)
    c.outlined(rect(1, 5, 11, 7), 'P', 'k')
    return c


def expand_glyph():
    c = Canvas(9, 11)
    c.fill(rect(3, 0, 5, 3), 'k')
    c.fill(polygon([(-0.1, 4), (9.1, 4), (4.5, 8.6)]), 'k')
    c.fill(rect(0, 9, 8, 10), 'k')
    return c


def collapse_glyph():
    c = Canvas(12, 12)
    c.outlined(union(polygon([(6, 1.5), (10.5, 6.5), (1.5, 6.5)]), rect(4, 6, 7, 10)), 'g', 'k')
    return c


GLYPHS = {
    'open': open_glyph,
    'play': play_glyph,
    'loop': loop_glyph,
    'list_play': list_play_glyph,
    'record': record_glyph,
    'stop': stop_glyph,
    'stop_disabled': stop_disabled_glyph,
    'save': lambda: floppy(Canvas(32, 32), 32),
    'help': help_glyph,
    'add': add_glyph,
    'delete': delete_glyph,
    'save_list': lambda: floppy(Canvas(16, 16), 16),
    'expand': expand_glyph,
    'collapse': collapse_glyph,
}

if __name__ == '__main__':
    for name, draw in GLYPHS.items():
        with open(f'{name}.xpm', 'w') as out:
            out.write(draw().xpm(f'{name}_xpm'))
