#!/usr/bin/env python3
"""Draws the 64 LED images (16 shapes x 4 looks) as 13x13, 4-bit device-independent bitmaps.

The images are checked in under src/led/images/; run this only to change the pixel art:

    python3 tools/ledimages/make_led_images.py            # writes src/led/images/*.dib
    python3 tools/ledimages/make_led_images.py --show AMRNDLED3DUP

Every image uses the four colours whose roles the LED relies on when it paints:
olive (index 3) is the background, silver (7) the lens that takes the LED's colour,
gray (8) the outline and the dark half of the lens checkerboard, white (15) the light.
"""

import argparse
import pathlib
import struct
import sys

SIZE = 13
C = SIZE // 2  # centre row and column

OLIVE, SILVER, GRAY, WHITE = 3, 7, 8, 15

# The standard 16-colour palette, as (R, G, B), in index order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def disc(x, y):
    # Pixel centres within 6.5 of the centre give rows 5, 9, 11, 11, 13 x 5, 11, 11, 9, 5 wide.
    return (x - C) ** 2 + (y - C) ** 2 <= 6.5 ** 2


def ellipse(x, y, rx, ry):
    return ((x - C) / rx) ** 2 + ((y - C) / ry) ** 2 <= 1.0


def triangle_down(x, y):
    # Each side runs 6 columns over 12 rows; rows pair up so the apex is a single pixel.
    half = (SIZE - y) // 2
    return C - half <= x <= C + half


def parallel_back(x, y):
    left = round(y / 3)  # 0 on the top row, 4 on the bottom row
    return left <= x <= left + 8


# Sampled polygons lose a star's points at 13 pixels, so this one is drawn by hand: one point up,
# the side points on the left and right edges, the two lower points on the bottom row.
STAR = [
    "......#......",
    ".....###.....",
    ".....###.....",
    "....#####....",
    "#############",
    ".###########.",
    "..#########..",
    "...#######...",
    "...#######...",
    "..#########..",
    "..####.####..",
    ".####...####.",
    ".##.......##.",
]


def star(x, y):
    return STAR[y][x] == "#"


def moon_left(x, y):
    slot = 5 <= y <= 7 and x >= C + 1
    return disc(x, y) and not slot


SHAPES = [
    ("AMDMDLED", lambda x, y: abs(x - C) + abs(y - C) <= C),
    ("AMLPSLEDHRZ", lambda x, y: ellipse(x, y, 6.5, 3.5)),
    ("AMLPSLEDVRT", lambda x, y: ellipse(x, y, 3.5, 6.5)),
    ("AMMONLEDLEFT", moon_left),
    ("AMMONLEDRIGHT", lambda x, y: moon_left(SIZE - 1 - x, y)),
    ("AMPRLLEDBCK", parallel_back),
    ("AMPRLLEDFWT", lambda x, y: parallel_back(SIZE - 1 - x, y)),
    ("AMPNTLED", star),
    ("AMRNDLED", disc),
    ("AMRCTLEDHRZ", lambda x, y: 3 <= y <= 9),
    ("AMRCTLEDVRT", lambda x, y: 3 <= x <= 9),
    ("AMSQRLED", lambda x, y: True),
    ("AMTRILEDDWN", triangle_down),
    ("AMTRILEDLEFT", lambda x, y: triangle_down(y, SIZE - 1 - x)),
    ("AMTRILEDRIGHT", lambda x, y: triangle_down(y, x)),
    ("AMTRILEDUP", lambda x, y: triangle_down(x, SIZE - 1 - y)),
]

LOOKS = ["", "3DUP", "3DDWN", "FLAT"]


def mask_of(inside):
    return [[bool(inside(x, y)) for x in range(SIZE)] for y in range(SIZE)]


def in_mask(mask, x, y):
    return 0 <= x < SIZE and 0 <= y < SIZE and mask[y][x]


def facing(mask, x, y):
    """Which sides of a shape pixel border the outside: (up, left, down, right)."""
    return (not in_mask(mask, x, y - 1), not in_mask(mask, x - 1, y),
            not in_mask(mask, x, y + 1), not in_mask(mask, x + 1, y))


def centre_of(mask):
    xs = [x for y in range(SIZE) for x in range(SIZE) if mask[y][x]]
    ys = [y for y in range(SIZE) for x in range(SIZE) if mask[y][x]]
    return (min(xs) + max(xs)) / 2, (min(ys) + max(ys)) / 2


def lit_from_upper_left(mask, x, y, cx, cy):
    # An edge is lit when it faces up or left; one that faces both ways (a corner) goes by
    # the diagonal through the shape's centre.
    up, left, down, right = facing(mask, x, y)
    if (up or left) and not (down or right):
        return True
    if (down or right) and not (up or left):
        return False
    return (x - cx) + (y - cy) < 0


def rings(mask):
    """Each shape pixel's distance in steps from the outside: 0 for the outline, 1 just inside it..."""
    depth = [[-1] * SIZE for _ in range(SIZE)]
    frontier = [(x, y) for y in range(SIZE) for x in range(SIZE) if mask[y][x] and any(facing(mask, x, y))]
    for x, y in frontier:
        depth[y][x] = 0
    level = 0
    while frontier:
        level += 1
        nxt = []
        for x, y in frontier:
            for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                if in_mask(mask, nx, ny) and depth[ny][nx] < 0:
                    depth[ny][nx] = level
                    nxt.append((nx, ny))
        frontier = nxt
    return depth


def highlight(mask, cx, cy, upper_left):
    """A small corner-shaped glint (up to five pixels) in the lens, towards the light.

    It starts at the lens pixel nearest the lit corner, one ring in from the outline where the shape
    is wide enough so that it stays clear of the bevel, and runs two pixels along each axis away
    from the light, but never past the diagonal through the shape's centre.
    """
    sign = -1 if upper_left else 1
    depth = rings(mask)
    corner = (0, 0) if upper_left else (SIZE - 1, SIZE - 1)

    def in_quarter(x, y):
        return sign * (x - cx) > 0 and sign * (y - cy) > 0

    for ring in (2, 1):
        anchors = [(x, y) for y in range(SIZE) for x in range(SIZE) if depth[y][x] == ring and in_quarter(x, y)]
        if anchors:
            break
    else:
        anchors = [(x, y) for y in range(SIZE) for x in range(SIZE) if depth[y][x] >= 1]
    ax, ay = min(anchors, key=lambda p: ((p[0] - corner[0]) ** 2 + (p[1] - corner[1]) ** 2, p))
    step = -sign
    cells = [(ax, ay)] + [(ax + step * k, ay) for k in (1, 2)] + [(ax, ay + step * k) for k in (1, 2)]
    glint = {(x, y) for x, y in cells
             if 0 <= x < SIZE and 0 <= y < SIZE and depth[y][x] >= 1 and sign * ((x - cx) + (y - cy)) > 0}
    if len(glint) < 2:
        # Too thin for a corner: take the next lens pixels towards the light instead.
        rest = sorted((p for p in anchors if p not in glint),
                      key=lambda p: (p[0] - ax) ** 2 + (p[1] - ay) ** 2)
        glint |= set(rest[: 2 - len(glint)])
    return glint


def draw(inside, look):
    mask = mask_of(inside)
    outline = [[mask[y][x] and any(facing(mask, x, y)) for x in range(SIZE)] for y in range(SIZE)]
    lens = [[mask[y][x] and not outline[y][x] for x in range(SIZE)] for y in range(SIZE)]
    cx, cy = centre_of(mask)

    pixels = [[OLIVE] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if outline[y][x]:
                pixels[y][x] = GRAY
                if look == "3DUP" and lit_from_upper_left(mask, x, y, cx, cy):
                    pixels[y][x] = WHITE
                if look == "3DDWN" and not lit_from_upper_left(mask, x, y, cx, cy):
                    pixels[y][x] = WHITE
            elif lens[y][x]:
                pixels[y][x] = SILVER if (x + y) % 2 == 0 else GRAY
    if look != "FLAT":
        for x, y in highlight(mask, cx, cy, upper_left=look != "3DDWN"):
            pixels[y][x] = WHITE
    return pixels


def dib_bytes(pixels):
    row_bytes = 8  # 13 pixels at 4 bits, padded to a whole 32-bit word
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 4, 0, row_bytes * SIZE, 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up
        row = pixels[y] + [0] * (2 * row_bytes - SIZE)
        rows.append(bytes((row[i] << 4) | row[i + 1] for i in range(0, 2 * row_bytes, 2)))
    data = header + palette + b"".join(rows)
    assert len(data) == 208
    return data


SHOW = {OLIVE: ".", SILVER: "o", GRAY: "#", WHITE: "W"}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    default_out = pathlib.Path(__file__).resolve().parents[2] / "src" / "led" / "images"
    parser.add_argument("--out", type=pathlib.Path, default=default_out, help="folder for the .dib files")
    parser.add_argument("--show", metavar="NAME", help="print one image as text instead of writing files")
    args = parser.parse_args()

    images = {base + look: draw(inside, look) for base, inside in SHAPES for look in LOOKS}
    if args.show:
        for row in images[args.show]:
            print(" ".join(SHOW[p] for p in row))
        return 0
    args.out.mkdir(parents=True, exist_ok=True)
    for name, pixels in images.items():
        (args.out / f"{name}.dib").write_bytes(dib_bytes(pixels))
    print(f"wrote {len(images)} images to {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
