#!/usr/bin/env python3
# Draws the glyphs of the player window's tool buttons as 16-colour BMP files in resources/bitmaps/: SBN_PLAY,
# SBN_PAUSE, SBN_STOP, SBN_PREV, SBN_NEXT, SBN_VOLUME and SBN_EXIT (20 x 20), SBN_SETENV (a 32 x 16 strip of an
# enabled and a disabled image) and SBN_ABOUT (16 x 16).
#
#   python3 scripts/tool-glyphs.py                      rewrite the BMP files
#   python3 scripts/tool-glyphs.py --preview out.png    also write an enlarged picture of all of them
#
# The script lives outside resources/bitmaps because the build embeds every file of that folder.
# A button draws the colour of its glyph's bottom-left pixel as transparent, so every glyph leaves that pixel free
# and no glyph uses that colour, fuchsia, for anything else.
#
# A button makes the disabled look of a one-image glyph from its pure black pixels alone: they become the shadow
# colour with a highlight copy one pixel to the right and below, and every other colour disappears. So each of
# these is outlined in black, and what must stay readable when disabled (the speaker's sound, the "i") is black.
# The settings glyph brings its own disabled image, drawn the classic way in white and grey only, which the button
# recolours to its highlight and shadow colours.

import sys

from glyphfiles import (AQUA, BLACK, BLUE, FUCHSIA, GREEN, GREY, LIME, MAROON, NAVY, OLIVE, PALETTE, RED, SILVER,
                        TEAL, WHITE, YELLOW, write_glyphs, write_png)
TRANSPARENT = FUCHSIA

# One character per pixel. Lower case: the dark colours; upper case: their bright partners.
COLOURS = {
    '.': TRANSPARENT, 'k': BLACK, 'm': MAROON, 'g': GREEN, 'o': OLIVE, 'n': NAVY, 't': TEAL, 's': SILVER,
    'd': GREY, 'R': RED, 'G': LIME, 'Y': YELLOW, 'B': BLUE, 'T': AQUA, 'w': WHITE,
}

# Play: a triangle pointing forward, shaded along its lower edge.
SBN_PLAY = [
    '....................',
    '....................',
    '.....kk.............',
    '.....kGkk...........',
    '.....kGGGk..........',
    '.....kGGGGkk........',
    '.....kGGGGGGk.......',
    '.....kGGGGGGGkk.....',
    '.....kGGGGGGGGGk....',
    '.....kGGGGGGGGGGk...',
    '.....kGGGGGGGGggk...',
    '.....kGGGGGGggkk....',
    '.....kGGGGGgk.......',
    '.....kGGGggkk.......',
    '.....kGGgk..........',
    '.....kGgkk..........',
    '.....kkk............',
    '....................',
    '....................',
    '....................',
]

# Pause: two upright bars.
SBN_PAUSE = [
    '....................',
    '....................',
    '....................',
    '...kkkkk....kkkkk...',
    '...kYYok....kYYok...',
    '...kYYok....kYYok...',
    '...kYYok....kYYok...',
    '...kYYok....kYYok...',
    '...kYYok....kYYok...',
    '...kYYok....kYYok...',
    '...kYYok....kYYok...',
    '...kYYok....kYYok...',
    '...kYYok....kYYok...',
    '...kYYok....kYYok...',
    '...kYYok....kYYok...',
    '...koook....koook...',
    '...kkkkk....kkkkk...',
    '....................',
    '....................',
    '....................',
]

# Stop: a square.
SBN_STOP = [
    '....................',
    '....................',
    '....................',
    '....................',
    '....kkkkkkkkkkkk....',
    '....kRRRRRRRRRmk....',
    '....kRRRRRRRRRmk....',
    '....kRRRRRRRRRmk....',
    '....kRRRRRRRRRmk....',
    '....kRRRRRRRRRmk....',
    '....kRRRRRRRRRmk....',
    '....kRRRRRRRRRmk....',
    '....kRRRRRRRRRmk....',
    '....kRRRRRRRRRmk....',
    '....kmmmmmmmmmmk....',
    '....kkkkkkkkkkkk....',
    '....................',
    '....................',
    '....................',
    '....................',
]

# Next: two triangles pointing forward against a bar.
SBN_NEXT = [
    '....................',
    '....................',
    '....................',
    '....................',
    '..kk....kk.....kkk..',
    '..kTk...kTk....kTk..',
    '..kTTk..kTTk...kTk..',
    '..kTTTk.kTTTk..kTk..',
    '..kTTTTkkTTTTk.kTk..',
    '..kTTTTTkTTTTTkkTk..',
    '..kTTTTkkTTTTk.kTk..',
    '..kTTtk.kTTtk..kTk..',
    '..kTtk..kTtk...kTk..',
    '..ktk...ktk....ktk..',
    '..kk....kk.....kkk..',
    '....................',
    '....................',
    '....................',
    '....................',
    '....................',
]


def mirrored(picture):
    return [row[::-1] for row in picture]


# Previous: the same, pointing back.
SBN_PREV = mirrored(SBN_NEXT)

# Volume: a loudspeaker sending out two waves of sound.
SBN_VOLUME = [
    '....................',
    '....................',
    '.........kk.........',
    '........kwk.....k...',
    '.......kwsk......k..',
    '......kwssk..k....k.',
    '.kkkkkwsssk...k...k.',
    '.kwwwksssdk...k...k.',
    '.kwssksssdk....k...k',
    '.kwssksssdk....k...k',
    '.kwssksssdk....k...k',
    '.kwssksssdk....k...k',
    '.kwssksssdk...k...k.',
    '.kkkkkssddk...k...k.',
    '......ksddk..k....k.',
    '.......kddk......k..',
    '........kdk.....k...',
    '.........kk.........',
    '....................',
    '....................',
]

# Settings: a gear wheel, lit from the top left. The strip's second image is its disabled look.
SBN_SETENV_ENABLED = [
    '......kkkk......',
    '......kwsk......',
    '..kk..kwdk..kk..',
    '..kwkkwssskkdk..',
    '...kwwsssssdk...',
    '...kwsskkssdk...',
    'kkkwssk..kssdkkk',
    'kwwssk....ksssdk',
    'ksdssk....kssddk',
    'kkksssk..kssdkkk',
    '...kwsskkssdk...',
    '...ksdssssddk...',
    '..kskkwssdkkdk..',
    '..kk..kwdk..kk..',
    '......kwdk......',
    '......kkkk......',
]

# The disabled settings gear looks like the other buttons' disabled glyphs: its black outline in grey, over a white
# copy one pixel to the right and below.


def classic_disabled(picture):
    width, height = len(picture[0]), len(picture)
    outline = {(x, y) for y, row in enumerate(picture) for x, c in enumerate(row) if c == 'k'}
    rows = [['.'] * width for _ in range(height)]
    for x, y in outline:
        if x + 1 < width and y + 1 < height:
            rows[y + 1][x + 1] = 'w'
    for x, y in outline:
        rows[y][x] = 'd'
    return [''.join(row) for row in rows]


SBN_SETENV_DISABLED = classic_disabled(SBN_SETENV_ENABLED)
SBN_SETENV = [a + b for a, b in zip(SBN_SETENV_ENABLED, SBN_SETENV_DISABLED)]

# About: the letter "i" in a round sign.
SBN_ABOUT = [
    '.....kkkkkk.....',
    '...kkwwwwwwkk...',
    '..kwwwwkkwwwwk..',
    '.kwwwwwkkwwwwsk.',
    '.kwwwwwwwwwwwsk.',
    'kwwwwwkkkwwwwwsk',
    'kwwwwwwkkwwwwwsk',
    'kwwwwwwkkwwwwwsk',
    'kwwwwwwkkwwwwwsk',
    'kwwwwwwkkwwwwwsk',
    'kwwwwwwkkwwwwssk',
    '.kwwwwkkkkwwwsk.',
    '.kwwwwwwwwwsssk.',
    '..kwssssssssdk..',
    '...kksssssdkk...',
    '.....kkkkkk.....',
]

# Exit: a door with an arrow leaving through it.
SBN_EXIT = [
    '....................',
    '..kkkkkkkkkk........',
    '..kmmmmmmmmk........',
    '..kmmmmmmmmk........',
    '..kmmmmmmmmk.kk.....',
    '..kmmmmmmmmk.kGk....',
    '..kmmmmmmmmk.kGGk...',
    '..kmmmmmmmmk.kGGGk..',
    '..kmmmmkkkkkkkGGGGk.',
    '..kmmmmkGGGGGGGGGGGk',
    '..kmmmmkGGGGGGGGGGgk',
    '..kmmmmkkkkkkkGGGgk.',
    '..kmmmmmmmmk.kGGgk..',
    '..kmmmmmmmmk.kGgk...',
    '..kmmmmmmmmk.kgk....',
    '..kmmmmmmmmk.kk.....',
    '..kmmmmmmmmk........',
    '..kmmmmmmmmk........',
    '..kkkkkkkkkk........',
    '....................',
]

GLYPHS = {
    'SBN_PLAY': SBN_PLAY, 'SBN_PAUSE': SBN_PAUSE, 'SBN_STOP': SBN_STOP, 'SBN_PREV': SBN_PREV,
    'SBN_NEXT': SBN_NEXT, 'SBN_VOLUME': SBN_VOLUME, 'SBN_SETENV': SBN_SETENV, 'SBN_ABOUT': SBN_ABOUT,
    'SBN_EXIT': SBN_EXIT,
}
SIZES = {name: (20, 20) for name in GLYPHS}
SIZES.update({'SBN_SETENV': (32, 16), 'SBN_ABOUT': (16, 16)})
STRIPS = {'SBN_SETENV': 2}  # glyphs that bring their own disabled image, and how many images they hold


def image_of(name):
    picture = GLYPHS[name]
    width, height = SIZES[name]
    if len(picture) != height or any(len(row) != width for row in picture):
        sys.exit(f'{name}: the picture is not {width} x {height}')
    if picture[-1][0] != '.':
        sys.exit(f'{name}: the bottom-left pixel must be transparent')
    return [[COLOURS[c] for c in row] for row in picture]


# ---- the preview: what the buttons make of the images --------------------------------------------------------

FACE, HIGHLIGHT, SHADOW, DARK = (192, 192, 192), (255, 255, 255), (128, 128, 128), (0, 0, 0)


def enabled_look(image, count):
    width = len(image[0]) // count
    return [[None if i == TRANSPARENT else PALETTE[i] for i in row[:width]] for row in image]


def disabled_look(image, count):
    """The button's disabled image: its own second image recoloured, or one made from the black pixels."""
    width = len(image[0]) // count
    if count >= 2:
        recolour = {WHITE: HIGHLIGHT, GREY: SHADOW, TRANSPARENT: None}
        return [[recolour.get(i, PALETTE[i]) for i in row[width:2 * width]] for row in image]
    black = [[i == BLACK for i in row] for row in image]
    look = []
    for y, row in enumerate(image):
        line = []
        for x in range(width):
            pixel = None
            if x > 0 and y > 0 and black[y - 1][x - 1]:
                pixel = HIGHLIGHT
            if black[y][x]:
                pixel = SHADOW
            line.append(pixel)
        look.append(line)
    return look


def write_preview(path, images, scale=8, gap=6):
    """Each glyph enlarged, enabled above disabled; below them each button, enabled and disabled, at its real size
    and three times as large, so that the pictures can be judged as the window shows them."""
    button, button_scale = 25, 3
    cell = 20 * scale + gap * 2
    canvas_height = cell * 2 + (button * button_scale + gap) * 2 + gap
    canvas = [[(96, 96, 96)] * (cell * len(GLYPHS)) for _ in range(canvas_height)]

    def place(look, left, top, size):
        for y in range(len(look) * size):
            for x in range(len(look[0]) * size):
                pixel = look[y // size][x // size]
                canvas[top + y][left + x] = FACE if pixel is None else pixel

    def place_button(look, left, top, size):
        face = [[FACE] * button for _ in range(button)]
        for i in range(button):
            face[0][i] = face[i][0] = HIGHLIGHT
            face[button - 2][i] = face[i][button - 2] = SHADOW
            face[button - 1][i] = face[i][button - 1] = DARK
        w, h = len(look[0]), len(look)
        for y in range(h):
            for x in range(w):
                if look[y][x] is not None:
                    face[(button - h) // 2 + y][(button - w) // 2 + x] = look[y][x]
        place(face, left, top, size)

    for column, (name, image) in enumerate(images.items()):
        count = STRIPS.get(name, 1)
        left = column * cell + gap
        for row, look in enumerate((enabled_look(image, count), disabled_look(image, count))):
            top = row * cell + gap
            for y in range(top - gap // 2, top + 20 * scale + gap // 2):
                for x in range(left - gap // 2, left + 20 * scale + gap // 2):
                    canvas[y][x] = FACE
            place(look, left, top, scale)
            small_top = cell * 2 + row * (button * button_scale + gap) + gap
            place_button(look, left, small_top, 1)
            place_button(look, left + button + gap, small_top, button_scale)
    write_png(path, canvas)


def main():
    write_glyphs({name: image_of(name) for name in GLYPHS}, write_preview)

if __name__ == '__main__':
    main()
