#!/usr/bin/env python3
# Draws the folder browser's glyphs as 16-colour BMP files in resources/bitmaps/: the file list's and directory
# list's EXECUTABLE, CLOSEDFOLDER, UNKNOWNFILE, OPENFOLDER and CURRENTFOLDER (16 x 15) and the drive selector's
# FLOPPY, HARD, NETWORK, CDROM and RAM (16 x 11).
#
#   python3 scripts/browse-glyphs.py                      rewrite the BMP files
#   python3 scripts/browse-glyphs.py --preview out.png    also write an enlarged picture of all of them
#
# The script lives outside resources/bitmaps because the build embeds every file of that folder.
# The lists draw the colour of a glyph's bottom-left pixel as the line's background, so every glyph leaves that
# pixel free and no glyph uses the background colour, fuchsia, for anything else. A hole that should show the
# line (the centre of the disc) is drawn in the background colour too.
#
# Unlike the transport symbols these are small pictures rather than geometric shapes, so each is drawn as a map
# of characters, one per pixel, which shows the picture in the source.

import sys

from glyphfiles import (AQUA, BLACK, BLUE, FUCHSIA, GREEN, GREY, LIME, MAROON, NAVY, OLIVE, PALETTE, PURPLE, RED,
                        SILVER, TEAL, WHITE, YELLOW, write_glyphs, write_png)
BACKGROUND = FUCHSIA

# One character per pixel. Lower case: the dark colours; upper case: their bright partners.
COLOURS = {
    '.': BACKGROUND, 'k': BLACK, 'm': MAROON, 'g': GREEN, 'o': OLIVE, 'n': NAVY, 'p': PURPLE, 't': TEAL,
    's': SILVER, 'd': GREY, 'R': RED, 'G': LIME, 'Y': YELLOW, 'B': BLUE, 'T': AQUA, 'w': WHITE,
}

# The folders: yellow with a white edge where the light falls, olive where it does not, outlined in black.
CLOSEDFOLDER = [
    '................',
    '................',
    '..kkkkk.........',
    '.kwYYYYk........',
    'kwwwwwwwkkkkkkk.',
    'kwYYYYYYYYYYYok.',
    'kwYYYYYYYYYYYok.',
    'kwYYYYYYYYYYYok.',
    'kwYYYYYYYYYYYok.',
    'kwYYYYYYYYYYYok.',
    'kwYYYYYYYYYYYok.',
    'kwYYYYYYYYYYYok.',
    'koooooooooooook.',
    'kkkkkkkkkkkkkkk.',
    '................',
]

# The same folder with its front flap fallen forward, showing the darker inside of the back.
OPENFOLDER = [
    '................',
    '................',
    '..kkkkk.........',
    '.kwYYYYk........',
    'kwwwwwwwkkkkkk..',
    'kwooooooooooook.',
    'kwookkkkkkkkkkkk',
    'kwokwYYYYYYYYYok',
    'kwkwYYYYYYYYYok.',
    'kwkwYYYYYYYYYok.',
    'kkwYYYYYYYYYok..',
    'kkwYYYYYYYYYok..',
    'kkoooooooooook..',
    'kkkkkkkkkkkkkk..',
    '................',
]


def recoloured(picture, changes):
    return [''.join(changes.get(c, c) for c in row) for row in picture]


# The folder the directory list stands in: the open folder in aqua, so it stands out from the yellow folders above
# and below it on a light line as on a dark one.
CURRENTFOLDER = recoloured(OPENFOLDER, {'Y': 'T', 'o': 't'})

# A program: a small window with a title bar.
EXECUTABLE = [
    '................',
    '................',
    'kkkkkkkkkkkkkkk.',
    'kBBBBBBBBBBkwkk.',
    'kBBBBBBBBBBkkkk.',
    'kkkkkkkkkkkkkkk.',
    'kwwwwwwwwwwwwwk.',
    'kwwwwwwwwwwwwwk.',
    'kwwwwwwwwwwwwwk.',
    'kwwwwwwwwwwwwwk.',
    'kwwwwwwwwwwwwwk.',
    'kwwwwwwwwwwwwwk.',
    'kwwwwwwwwwwwwwk.',
    'kkkkkkkkkkkkkkk.',
    '................',
]

# Any other file: a blank page with its top right corner folded.
UNKNOWNFILE = [
    '...kkkkkkkk.....',
    '...kwwwwwwkk....',
    '...kwwwwwwksk...',
    '...kwwwwwwkssk..',
    '...kwwwwwwkkkkk.',
    '...kwwwwwwwwwwk.',
    '...kwwwwwwwwwwk.',
    '...kwwwwwwwwwwk.',
    '...kwwwwwwwwwwk.',
    '...kwwwwwwwwwwk.',
    '...kwwwwwwwwwwk.',
    '...kwwwwwwwwwwk.',
    '...kwwwwwwwwwwk.',
    '...kwwwwwwwwwwk.',
    '...kkkkkkkkkkkk.',
]

# A 3.5-inch diskette: metal shutter at the top, label below.
FLOPPY = [
    '..kkkkkkkkkkk...',
    '..kBBsssssBBk...',
    '..kBBskksBBBBk..',
    '..kBBsssssBBBk..',
    '..kBBBBBBBBBBBk.',
    '..kBwwwwwwwwwBk.',
    '..kBwwwwwwwwwBk.',
    '..kBwwwwwwwwwBk.',
    '..kBwwwwwwwwwBk.',
    '..kBBBBBBBBBBBk.',
    '..kkkkkkkkkkkkk.',
]

# A hard disk: a flat grey box seen from a little above, its light on.
HARD = [
    '................',
    '................',
    '..kkkkkkkkkkkkk.',
    '.kwwwwwwwwwwwwsk',
    'kkkkkkkkkkkkkkkk',
    'kwsssssssssssssk',
    'kwsssssssssGGssk',
    'kwsssssssssssssk',
    'kddddddddddddddk',
    'kkkkkkkkkkkkkkkk',
    '................',
]

# A network drive: the hard disk on a cable.
NETWORK = [
    '..kkkkkkkkkkkkk.',
    '.kwwwwwwwwwwwwsk',
    'kkkkkkkkkkkkkkkk',
    'kwssssssssssGGsk',
    'kddddddddddddddk',
    'kkkkkkkkkkkkkkkk',
    '.......kk.......',
    '.......Tt.......',
    '.......Tt.......',
    '.kkkkkkkkkkkkkk.',
    '.TTTTTTTTTTTTTT.',
]

# A compact disc catching the light, its centre hole showing the line.
CDROM = [
    '.....kkkkk......',
    '....ksswwwk.....',
    '...ksssswwTk....',
    '..kssssswTTsk...',
    '..ksssdddTssk...',
    '..ksssd.dsssk...',
    '..ksssdddsssk...',
    '..kssTwssssdk...',
    '...ksTwssddk....',
    '....kswsddk.....',
    '.....kkkkk......',
]

# A memory module: black chips on a green board, gold contacts along its edge.
RAM = [
    '................',
    '................',
    '.kkkkkkkkkkkkkk.',
    '.kgGGGGGGGGGGgk.',
    '.kgkkkgkkkgkkkgk',
    '.kgkkkgkkkgkkkgk',
    '.kgggggggggggggk',
    '.kYkYkYkYkYkYkYk',
    '.kYkYkYkYkYkYkYk',
    '.kkkkkkkkkkkkkkk',
    '................',
]

GLYPHS = {
    'EXECUTABLE': EXECUTABLE, 'CLOSEDFOLDER': CLOSEDFOLDER, 'UNKNOWNFILE': UNKNOWNFILE,
    'OPENFOLDER': OPENFOLDER, 'CURRENTFOLDER': CURRENTFOLDER,
    'FLOPPY': FLOPPY, 'HARD': HARD, 'NETWORK': NETWORK, 'CDROM': CDROM, 'RAM': RAM,
}
SIZES = {name: (16, 15) for name in ('EXECUTABLE', 'CLOSEDFOLDER', 'UNKNOWNFILE', 'OPENFOLDER', 'CURRENTFOLDER')}
SIZES.update({name: (16, 11) for name in ('FLOPPY', 'HARD', 'NETWORK', 'CDROM', 'RAM')})


def image_of(name):
    picture = GLYPHS[name]
    width, height = SIZES[name]
    if len(picture) != height or any(len(row) != width for row in picture):
        sys.exit(f'{name}: the picture is not {width} x {height}')
    if picture[-1][0] != '.':
        sys.exit(f'{name}: the bottom-left pixel must be background')
    return [[COLOURS[c] for c in row] for row in picture]


def write_preview(path, images, scale=6, gap=4):
    """Every glyph enlarged on a white line, on the player's navy line and on a grey one, then once more at its
    real size on the same three, each framed to show its size."""
    lines = [(255, 255, 255), (0, 0, 128), (192, 192, 192)]
    frame = (160, 160, 160)
    cell_width = 16 * scale + gap * 2
    cell_height = 15 * scale + gap * 2
    small_height = 15 + gap * 2
    canvas = [[(96, 96, 96)] * (cell_width * len(GLYPHS))
              for _ in range((cell_height + small_height) * len(lines))]

    def place(img, left, top, size, background):
        w, h = len(img[0]) * size, len(img) * size
        for x in range(left - 1, left + w + 1):
            canvas[top - 1][x] = canvas[top + h][x] = frame
        for y in range(top - 1, top + h + 1):
            canvas[y][left - 1] = canvas[y][left + w] = frame
        for y in range(h):
            for x in range(w):
                index = img[y // size][x // size]
                canvas[top + y][left + x] = background if index == BACKGROUND else PALETTE[index]

    for row, background in enumerate(lines):
        for column, name in enumerate(GLYPHS):
            left = column * cell_width + gap
            place(images[name], left, row * cell_height + gap, scale, background)
            place(images[name], left, len(lines) * cell_height + row * small_height + gap, 1, background)
    write_png(path, canvas)


def main():
    write_glyphs({name: image_of(name) for name in GLYPHS}, write_preview)

if __name__ == '__main__':
    main()
