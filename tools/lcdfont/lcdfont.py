#!/usr/bin/python3
"""Writes the panel's LCD-style TrueType font: a seven-segment design.

Digits, "-", "+", ".", ",", ":", "%" and the space have their own glyphs;
every other printable ASCII character (and .notdef) is an outlined box, so
text the font cannot show is visibly marked rather than silently dropped.

Usage: lcdfont.py OUTPUT.TTF
"""

import math
import os
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen

FAMILY = "HP15C Simulator Font"
STYLE = "Regular"
PS_NAME = "HP15CSimulatorFont-Regular"
VERSION = "1.000"

UNITS_PER_EM = 1000
ASCENT = 800
DESCENT = 200  # below the baseline; the comma's tail reaches 130

# The digit cell: a 460 x 720 frame drawn from x = 50, slanted to the right
# like a calculator display. Digits share one advance so columns of numbers
# line up; punctuation is narrow so "-12.5" does not look spaced out.
DIGIT_ADVANCE = 640
NARROW_ADVANCE = 240
CELL_LEFT = 50
CELL_WIDTH = 460
CELL_HEIGHT = 720
STROKE = 90  # segment thickness
GAP = 12  # the light gap between neighbouring segments
SLANT = math.tan(math.radians(5))

# Fixed time stamps keep the file byte-for-byte reproducible between builds.
TIMESTAMP = int(os.environ.get("SOURCE_DATE_EPOCH", "1577836800"))

Polygon = list  # [(x, y), ...]


def horizontal_segment(x0, x1, yc):
    """A segment lying along y = yc from x0 to x1, with pointed ends."""
    h = STROKE / 2
    return [(x0, yc), (x0 + h, yc + h), (x1 - h, yc + h), (x1, yc), (x1 - h, yc - h), (x0 + h, yc - h)]


def vertical_segment(xc, y0, y1):
    """A segment standing along x = xc from y0 to y1, with pointed ends."""
    h = STROKE / 2
    return [(xc, y0), (xc - h, y0 + h), (xc - h, y1 - h), (xc, y1), (xc + h, y1 - h), (xc + h, y0 + h)]


def rectangle(x0, y0, x1, y1):
    return [(x0, y0), (x0, y1), (x1, y1), (x1, y0)]


def seven_segments():
    """The seven segments of the digit cell, named a (top) clockwise to f, g the middle."""
    h = STROKE / 2
    left, right = CELL_LEFT + h, CELL_LEFT + CELL_WIDTH - h
    bottom, middle, top = h, CELL_HEIGHT / 2, CELL_HEIGHT - h
    return {
        "a": horizontal_segment(left + GAP, right - GAP, top),
        "b": vertical_segment(right, middle + GAP, top - GAP),
        "c": vertical_segment(right, bottom + GAP, middle - GAP),
        "d": horizontal_segment(left + GAP, right - GAP, bottom),
        "e": vertical_segment(left, bottom + GAP, middle - GAP),
        "f": vertical_segment(left, middle + GAP, top - GAP),
        "g": horizontal_segment(left + GAP, right - GAP, middle),
    }


DIGIT_SEGMENTS = {
    "0": "abcdef",
    "1": "bc",
    "2": "abdeg",
    "3": "abcdg",
    "4": "bcfg",
    "5": "acdfg",
    "6": "acdefg",
    "7": "abc",
    "8": "abcdefg",
    "9": "abcdfg",
}


def plus_sign():
    # The middle segment with short vertical bars above and below, kept apart
    # by the segment gap so no contours overlap.
    segs = seven_segments()
    centre_x = CELL_LEFT + CELL_WIDTH / 2
    middle = CELL_HEIGHT / 2
    arm = CELL_WIDTH / 2 - STROKE / 2 - GAP
    return [
        segs["g"],
        vertical_segment(centre_x, middle + GAP, middle + arm),
        vertical_segment(centre_x, middle - arm, middle - GAP),
    ]


def dot(x0, y0):
    return rectangle(x0, y0, x0 + STROKE, y0 + STROKE)


def comma():
    return [[(75, 90), (165, 90), (165, -10), (105, -130), (55, -130), (105, 0), (75, 0)]]


def percent_sign():
    square = 120
    left, right = CELL_LEFT + 20, CELL_LEFT + CELL_WIDTH - 20
    return [
        rectangle(left, CELL_HEIGHT - 60 - square, left + square, CELL_HEIGHT - 60),
        rectangle(right - square, 60, right, 60 + square),
        [(left, 0), (left + 80, 0), (right, CELL_HEIGHT), (right - 80, CELL_HEIGHT)],
    ]


def box():
    """The outlined box that stands for every character without a design."""
    width = 60
    x0, x1 = CELL_LEFT + 20, CELL_LEFT + CELL_WIDTH - 20
    outer = rectangle(x0, 0, x1, CELL_HEIGHT)
    inner = rectangle(x0 + width, width, x1 - width, CELL_HEIGHT - width)
    return [outer, list(reversed(inner))]  # the reversed inner contour is the hole


def signed_area(polygon):
    return sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(polygon, polygon[1:] + polygon[:1])) / 2


def filled(polygon):
    """TrueType fills clockwise contours (negative area with y up)."""
    return polygon if signed_area(polygon) < 0 else list(reversed(polygon))


def draw(contours, slant, holes=False):
    pen = TTGlyphPen(None)
    for index, contour in enumerate(contours):
        if not (holes and index > 0):
            contour = filled(contour)
        points = [(round(x + y * slant), round(y)) for x, y in contour]
        pen.moveTo(points[0])
        for point in points[1:]:
            pen.lineTo(point)
        pen.closePath()
    return pen.glyph()


def build_glyphs():
    """Returns (glyph order, {name: glyph}, {name: advance}, {code point: name})."""
    segs = seven_segments()
    designs = {}  # name -> (character, contours, advance)
    for digit, lit in DIGIT_SEGMENTS.items():
        designs["digit_" + digit] = (digit, [segs[s] for s in lit], DIGIT_ADVANCE)
    designs["minus"] = ("-", [segs["g"]], DIGIT_ADVANCE)
    designs["plus"] = ("+", plus_sign(), DIGIT_ADVANCE)
    designs["period"] = (".", [dot(75, 0)], NARROW_ADVANCE)
    designs["comma"] = (",", comma(), NARROW_ADVANCE)
    designs["colon"] = (":", [dot(75, 130), dot(75, 470)], NARROW_ADVANCE)
    designs["percent"] = ("%", percent_sign(), DIGIT_ADVANCE)
    designs["space"] = (" ", [], DIGIT_ADVANCE)

    glyphs = {".notdef": draw(box(), 0, holes=True), "box": draw(box(), 0, holes=True)}
    advances = {".notdef": DIGIT_ADVANCE, "box": DIGIT_ADVANCE}
    cmap = {}
    for name, (char, contours, advance) in designs.items():
        glyphs[name] = draw(contours, SLANT)
        advances[name] = advance
        cmap[ord(char)] = name
    for code in range(0x20, 0x7F):
        cmap.setdefault(code, "box")
    order = [".notdef", "box"] + list(designs)
    return order, glyphs, advances, cmap


def build_font():
    order, glyphs, advances, cmap = build_glyphs()
    fb = FontBuilder(UNITS_PER_EM, isTTF=True)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(glyphs)
    glyf = fb.font["glyf"]
    metrics = {}
    for name in order:
        glyph = glyf[name]
        glyph.recalcBounds(glyf)
        metrics[name] = (advances[name], getattr(glyph, "xMin", 0))
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT, lineGap=0)
    fb.setupNameTable(
        {
            "familyName": FAMILY,
            "styleName": STYLE,
            "uniqueFontIdentifier": f"{PS_NAME};{VERSION}",
            "fullName": FAMILY,
            "psName": PS_NAME,
            "version": f"Version {VERSION}",
        }
    )
    fb.setupOS2(
        version=4,
        usWeightClass=400,
        usWidthClass=5,
        fsType=0,  # installable: the program registers the file at run time
        achVendID="NONE",
        sTypoAscender=ASCENT,
        sTypoDescender=-DESCENT,
        sTypoLineGap=0,
        usWinAscent=ASCENT,
        usWinDescent=DESCENT,
        sxHeight=CELL_HEIGHT // 2,
        sCapHeight=CELL_HEIGHT,
        fsSelection=0x40 | 0x80,  # REGULAR, USE_TYPO_METRICS
        ulUnicodeRange1=1,  # Basic Latin
        ulCodePageRange1=1,  # Latin 1
    )
    fb.setupPost(isFixedPitch=0, underlinePosition=-100, underlineThickness=50)
    fb.setupHead(unitsPerEm=UNITS_PER_EM, fontRevision=float(VERSION), lowestRecPPEM=8)
    head = fb.font["head"]
    # fontTools counts head times from 1904, the TrueType epoch.
    head.created = head.modified = TIMESTAMP + 2082844800
    fb.setupMaxp()
    fb.font.recalcTimestamp = False
    return fb.font


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    output = argv[1]
    folder = os.path.dirname(output)
    if folder:
        os.makedirs(folder, exist_ok=True)
    # Written beside the target and renamed, so an interrupted build never
    # leaves a truncated font where the program looks for it.
    temporary = output + ".tmp"
    build_font().save(temporary)
    os.replace(temporary, output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
