#!/usr/bin/python3
"""Checks the generated LCD font as the program and the text layer use it:
fontconfig must know it by its family name, every printable ASCII character
must map to a glyph, the digits and signs must have their own designs (not
the box), and the vertical metrics must hold every outline so no glyph is
clipped.

usage: check_lcdfont.py FONT.TTF
"""

import subprocess
import sys

from fontTools.ttLib import TTFont

FAMILY = "HP15C Simulator Font"
DESIGNED = "0123456789-+.,:% "


def check(path):
    problems = []
    scanned = subprocess.run(["fc-scan", "--format", "%{family}", path], capture_output=True, text=True)
    if scanned.returncode != 0 or scanned.stdout.strip() != FAMILY:
        problems.append(f"fc-scan sees family {scanned.stdout.strip()!r} ({scanned.stderr.strip()})")

    font = TTFont(path)
    if "glyf" not in font:
        problems.append("not a TrueType outline font")
    cmap = font["cmap"].getcmap(3, 1)
    if cmap is None or cmap.format != 4:
        problems.append("no Windows Unicode cmap of format 4")
        return problems
    names = font["name"]
    if names.getDebugName(1) != FAMILY or names.getDebugName(4) != FAMILY:
        problems.append(f"family {names.getDebugName(1)!r}, full name {names.getDebugName(4)!r}")

    mapping = cmap.cmap
    missing = [chr(c) for c in range(0x20, 0x7F) if c not in mapping]
    if missing:
        problems.append(f"unmapped characters: {''.join(missing)!r}")
    box = mapping.get(ord("A"))
    boxed = [c for c in DESIGNED if mapping.get(ord(c)) in (None, box, ".notdef")]
    if boxed:
        problems.append(f"characters without their own design: {''.join(boxed)!r}")
    designs = [mapping[ord(c)] for c in DESIGNED if ord(c) in mapping]
    if len(set(designs)) != len(designs):
        problems.append("two characters share one design")

    glyf, os2, hhea = font["glyf"], font["OS/2"], font["hhea"]
    if font["head"].unitsPerEm not in (1000, 2048):
        problems.append(f"unitsPerEm {font['head'].unitsPerEm}")
    for name in font.getGlyphOrder():
        glyph = glyf[name]
        if glyph.numberOfContours == 0:
            continue
        glyph.recalcBounds(glyf)
        if glyph.yMax > min(os2.usWinAscent, hhea.ascent) or -glyph.yMin > min(os2.usWinDescent, -hhea.descent):
            problems.append(f"{name} reaches outside the ascent/descent ({glyph.yMin}..{glyph.yMax})")
    for c in "0123456789":
        if glyf[mapping[ord(c)]].numberOfContours < 2:
            problems.append(f"digit {c} has fewer than two segments")
    return problems


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    problems = check(argv[1])
    for problem in problems:
        print(f"{argv[1]}: {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
