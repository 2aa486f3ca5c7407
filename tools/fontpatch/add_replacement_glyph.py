#!/usr/bin/python3
"""Writes the game's font: a TrueType font with a replacement character (U+FFFD) added.

The game draws a character its font lacks with the font's U+FFFD glyph; a font without one shows
a blank gap instead. This copies the U+FFFD outline of a donor font into the base font, scaled to
the base font's units, and renames the result (the base font's licence reserves its name for
unmodified copies). The donor's hinting instructions call its own font program, so they are left
behind: the glyph is drawn unhinted.

usage: add_replacement_glyph.py BASE.ttf DONOR.ttf OUT.ttf FAMILY
"""
import logging
import sys

from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._g_l_y_f import GlyphCoordinates
from fontTools.ttLib.tables import ttProgram

REPLACEMENT = 0xFFFD


def fail(message):
    print("ERROR: " + message, file=sys.stderr)
    sys.exit(1)


def main(argv):
    if len(argv) != 5:
        fail("usage: add_replacement_glyph.py BASE.ttf DONOR.ttf OUT.ttf FAMILY")
    base_path, donor_path, out_path, family = argv[1:]
    # The donor's creation date upsets fontTools' sanity check; it is not copied.
    logging.getLogger("fontTools").setLevel(logging.ERROR)
    base = TTFont(base_path, recalcTimestamp=False)
    donor = TTFont(donor_path)
    if "glyf" not in base or "glyf" not in donor:
        fail("both fonts must have TrueType outlines")
    if REPLACEMENT in base.getBestCmap():
        fail(base_path + " already has U+FFFD")
    donor_name = donor.getBestCmap().get(REPLACEMENT)
    if donor_name is None:
        fail(donor_path + " has no U+FFFD")

    donor_glyph = donor["glyf"][donor_name]
    if donor_glyph.isComposite():
        fail("the donor's U+FFFD is made of other glyphs")
    donor_glyph.expand(donor["glyf"])
    scale = base["head"].unitsPerEm / donor["head"].unitsPerEm

    # Decompile what refers to glyphs by name before the glyph order grows.
    glyf = base["glyf"]
    hmtx = base["hmtx"]
    cmap = base["cmap"]
    order = base.getGlyphOrder()
    name = "uniFFFD"
    order.append(name)
    base.setGlyphOrder(order)

    glyph = donor_glyph.__class__()
    glyph.numberOfContours = donor_glyph.numberOfContours
    glyph.endPtsOfContours = list(donor_glyph.endPtsOfContours)
    glyph.flags = list(donor_glyph.flags)
    glyph.coordinates = GlyphCoordinates([(round(x * scale), round(y * scale)) for x, y in donor_glyph.coordinates])
    glyph.program = ttProgram.Program()
    glyph.program.fromBytecode(b"")
    glyf.glyphs[name] = glyph
    glyf.glyphOrder = order
    glyph.recalcBounds(glyf)
    advance, _ = donor["hmtx"][donor_name]
    hmtx[name] = (round(advance * scale), glyph.xMin)

    for table in cmap.tables:
        if table.isUnicode() and table.format in (4, 12):
            table.cmap[REPLACEMENT] = name

    names = base["name"]
    for record in list(names.names):
        if record.nameID in (1, 16):
            names.setName(family, record.nameID, record.platformID, record.platEncID, record.langID)
        elif record.nameID in (3, 4):
            style = names.getDebugName(17) or names.getDebugName(2) or ""
            full = family + (" " + style if record.nameID == 4 and style not in ("", "Regular") else "")
            names.setName(full if record.nameID == 4 else family + "-" + style, record.nameID,
                          record.platformID, record.platEncID, record.langID)
        elif record.nameID == 6:
            style = names.getDebugName(17) or names.getDebugName(2) or ""
            names.setName((family + "-" + style).replace(" ", ""), 6, record.platformID, record.platEncID,
                          record.langID)
    base.save(out_path)


if __name__ == "__main__":
    main(sys.argv)
