#!/usr/bin/python3
# Finds a menu that a tray host drew in a screenshot of the session: the light rectangle on the
# dark desktop, and in it the rows that hold ink (a label, an icon), in order. Separators are
# lighter than any label and so belong to no row.
#
#   menu-rows.py SHOT.png [X Y W H]    X Y W H: a rectangle to leave out (an open parent menu)
#
# Prints "menu X Y W H", then "row CENTRE TOP BOTTOM" and "submenu" when the row ends with an
# arrow; prints nothing when no menu is there.
import subprocess
import sys

MIN_WIDTH = 60
MIN_HEIGHT = 20
LIGHT = 200  # a menu's background and separators
INK = 200  # darker than a separator, lighter than a greyed-out label
ARROW_ZONE = 22  # the right end of a row, where a submenu's arrow is drawn
ARROW_GAP = 8  # wider than the space between two words of a label
BORDER = 3


def gray_pixels(path):
    pgm = subprocess.run(["convert", path, "-colorspace", "gray", "-depth", "8", "pgm:-"],
                         check=True, capture_output=True).stdout
    # P5, width, height, maxval, each followed by one whitespace byte
    fields, offset = [], 0
    while len(fields) < 4:
        while pgm[offset:offset + 1].isspace():
            offset += 1
        start = offset
        while not pgm[offset:offset + 1].isspace():
            offset += 1
        fields.append(pgm[start:offset])
    width, height = int(fields[1]), int(fields[2])
    return width, height, pgm[offset + 1:]


def main():
    width, height, pixels = gray_pixels(sys.argv[1])
    left_out = [int(v) for v in sys.argv[2:6]] if len(sys.argv) >= 6 else [0, 0, 0, 0]

    def outside(x, y):
        lx, ly, lw, lh = left_out
        return not (lx <= x < lx + lw and ly <= y < ly + lh)

    def light(x, y):
        return pixels[y * width + x] >= LIGHT and outside(x, y)

    def longest_run(flags):
        best, start = (0, -1), None
        for i, flag in enumerate(flags + [False]):
            if flag and start is None:
                start = i
            elif not flag and start is not None:
                if i - start > best[1] - best[0] + 1:
                    best = (start, i - 1)
                start = None
        return best

    # The menu is the tallest band of rows mostly light, then the widest band of columns light in
    # most of those rows: the tray icon's highlights and the pointer are neither.
    y0, y1 = longest_run([sum(light(x, y) for x in range(width)) >= MIN_WIDTH
                          for y in range(height)])
    if y1 - y0 < MIN_HEIGHT:
        return
    x0, x1 = longest_run([sum(light(x, y) for y in range(y0, y1 + 1)) * 2 > y1 - y0
                          for x in range(width)])
    print(f"menu {x0} {y0} {x1 - x0 + 1} {y1 - y0 + 1}")

    def ink(y, first, last):
        return any(pixels[y * width + x] < INK for x in range(first, last) if outside(x, y))

    rows, top = [], None
    for y in range(y0 + BORDER, y1 - BORDER + 1):
        inked = ink(y, x0 + BORDER, x1 - BORDER)
        if inked and top is None:
            top = y
        elif not inked and top is not None:
            rows.append((top, y - 1))
            top = None
    if top is not None:
        rows.append((top, y1 - BORDER))
    def arrow(top, bottom):
        inked = [x for x in range(x0 + BORDER, x1 - BORDER)
                 if any(pixels[y * width + x] < INK for y in range(top, bottom + 1))]
        if not inked or inked[-1] < x1 - ARROW_ZONE:
            return False
        # The arrow stands apart from the label: the last blob of ink, with a wide gap before it.
        start = len(inked) - 1
        while start > 0 and inked[start - 1] == inked[start] - 1:
            start -= 1
        return start == 0 or inked[start] - inked[start - 1] > ARROW_GAP

    for top, bottom in rows:
        print(f"row {(top + bottom) // 2} {top} {bottom}" + (" submenu" if arrow(top, bottom) else ""))


main()
