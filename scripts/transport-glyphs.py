#!/usr/bin/env python3
# Draws the 27 glyphs of the media device's transport button bar (enabled, disabled and coloured images of play,
# pause, stop, next, previous, step, back, record and eject) as 16-colour BMP files in resources/bitmaps/.
#
#   python3 scripts/transport-glyphs.py                      rewrite the BMP files
#   python3 scripts/transport-glyphs.py --preview out.png    also write an enlarged picture of all of them
#
# The script lives outside resources/bitmaps because the build embeds every file of that folder.
# Olive is the colour the bar draws as transparent, so everything that is not the symbol is olive.

import sys

from glyphfiles import (AQUA, BLACK, BLUE, FUCHSIA, GREEN, GREY, LIME, MAROON, NAVY, OLIVE, PALETTE, PURPLE, RED,
                        TEAL, WHITE, write_glyphs, write_png)
TRANSPARENT = OLIVE


# Shapes are sets of (x, y) pixels, y counting down from the top row.

def rect(left, top, width, height):
    return {(x, y) for x in range(left, left + width) for y in range(top, top + height)}


def triangle_right(left, middle, width):
    """Base on column `left`, 2 * width - 1 rows tall, tip on row `middle`."""
    return {(left + i, y) for y in range(middle - width + 1, middle + width)
            for i in range(width - abs(y - middle))}


def triangle_left(right, middle, width):
    return {(2 * right - x, y) for x, y in triangle_right(right, middle, width)}


def triangle_up(centre, bottom, height):
    """Base on row `bottom`, 2 * height - 1 columns wide, tip on column `centre`."""
    return {(x, bottom - i) for i in range(height) for x in range(centre - (height - 1 - i), centre + height - i)}


def disc(centre_x, centre_y, radius):
    r = radius + 0.5  # a half pixel more keeps the four flat sides from being a single pixel
    return {(x, y) for x in range(int(centre_x - r), int(centre_x + r) + 1)
            for y in range(int(centre_y - r), int(centre_y + r) + 1)
            if (x - centre_x) ** 2 + (y - centre_y) ** 2 <= r * r - 0.25}


def outline(shape):
    return {(x, y) for x, y in shape
            if any(p not in shape for p in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))}


# Each glyph: the image's size, the width of its disabled image when that differs, its parts, and the fill and
# outline colours of the coloured image. The 16-row glyphs centre on row 7 so the buttons line up; the disabled
# image's white copy reaches one row and column further.
MIDDLE = 7
GLYPHS = {
    'MPPLAY': dict(size=(17, 16), colours=(LIME, GREEN), parts=[triangle_right(6, MIDDLE, 6)]),
    # The disabled image is a column narrower: the bars and their white copy just fill it.
    'MPPAUSE': dict(size=(13, 16), disabled_width=12, colours=(AQUA, TEAL),
                    parts=[rect(1, 3, 4, 9), rect(7, 3, 4, 9)]),
    'MPSTOP': dict(size=(17, 16), colours=(RED, MAROON), parts=[rect(4, 3, 9, 9)]),
    'MPNEXT': dict(size=(21, 16), colours=(BLUE, NAVY),
                   parts=[triangle_right(4, MIDDLE, 5), triangle_right(9, MIDDLE, 5), rect(15, 3, 2, 9)]),
    'MPPREV': dict(size=(20, 16), colours=(BLUE, NAVY),
                   parts=[rect(3, 3, 2, 9), triangle_left(10, MIDDLE, 5), triangle_left(15, MIDDLE, 5)]),
    # Stepping moves one frame, so it shows one triangle and a short bar; next has two and a full one.
    'MPSTEP': dict(size=(21, 16), colours=(AQUA, TEAL), parts=[triangle_right(5, MIDDLE, 6), rect(12, 5, 3, 5)]),
    'MPBACK': dict(size=(21, 16), colours=(AQUA, TEAL), parts=[rect(6, 5, 3, 5), triangle_left(15, MIDDLE, 6)]),
    'MPRECORD': dict(size=(13, 13), colours=(RED, MAROON), parts=[disc(6, 6, 4)]),
    'MPEJECT': dict(size=(19, 16), colours=(FUCHSIA, PURPLE),
                    parts=[triangle_up(9, 8, 6), rect(4, 10, 11, 3)]),
}


def blank(width, height):
    return [[TRANSPARENT] * width for _ in range(height)]


def put(image, shape, colour):
    for x, y in shape:
        if 0 <= y < len(image) and 0 <= x < len(image[0]):
            image[y][x] = colour


def images_of(glyph):
    width, height = glyph['size']
    parts = glyph['parts']
    symbol = set().union(*parts)
    enabled = blank(width, height)
    put(enabled, symbol, BLACK)
    disabled = blank(glyph.get('disabled_width', width), height)
    put(disabled, {(x + 1, y + 1) for x, y in symbol}, WHITE)
    put(disabled, symbol, GREY)
    coloured = blank(width, height)
    fill, edge = glyph['colours']
    for part in parts:
        put(coloured, part, fill)
    for part in parts:
        put(coloured, outline(part), edge)
    return {'EN': enabled, 'DI': disabled, 'CL': coloured}


def write_preview(path, images, scale=6, gap=4):
    """Rows of enabled, disabled and coloured images on button grey, each framed to show its size."""
    background, frame = (192, 192, 192), (160, 160, 160)
    cell_width = max(len(img[0]) for img in images.values()) * scale + gap * 2
    cell_height = 16 * scale + gap * 2
    canvas = [[background] * (cell_width * len(GLYPHS)) for _ in range(cell_height * 3)]
    for row, prefix in enumerate(('EN', 'DI', 'CL')):
        for column, name in enumerate(GLYPHS):
            img = images[prefix + '_' + name]
            left, top = column * cell_width + gap, row * cell_height + gap
            w, h = len(img[0]) * scale, len(img) * scale
            for x in range(left - 1, left + w + 1):
                canvas[top - 1][x] = canvas[top + h][x] = frame
            for y in range(top - 1, top + h + 1):
                canvas[y][left - 1] = canvas[y][left + w] = frame
            for y in range(h):
                for x in range(w):
                    index = img[y // scale][x // scale]
                    if index != TRANSPARENT:
                        canvas[top + y][left + x] = PALETTE[index]
    write_png(path, canvas)


def main():
    images = {}
    for name, glyph in GLYPHS.items():
        for prefix, image in images_of(glyph).items():
            images[prefix + '_' + name] = image
    write_glyphs(images, write_preview)

if __name__ == '__main__':
    main()
