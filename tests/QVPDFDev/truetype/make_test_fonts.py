#!/usr/bin/env python3
"""Builds the TrueType fixtures of the truetype tests into the folder given as argument.

Small fonts are made with fontTools' FontBuilder; two are derived from the Debian fonts:
sans_short.ttf (Liberation Sans cut to its first glyphs, glyph numbers kept, short loca) and
mono_compact.ttf (Liberation Mono with one advance, so numberOfHMetrics is 1).
"""
import os
import struct
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._c_m_a_p import CmapSubtable
from fontTools import subset

LIBERATION = "/usr/share/fonts/truetype/liberation2"


def box(x0, y0, x1, y1):
    pen = TTGlyphPen(None)
    pen.moveTo((x0, y0))
    pen.lineTo((x0, y1))
    pen.lineTo((x1, y1))
    pen.lineTo((x1, y0))
    pen.closePath()
    return pen.glyph()


def triangle(x0, y0, size):
    pen = TTGlyphPen(None)
    pen.moveTo((x0, y0))
    pen.qCurveTo((x0 + size // 2, y0 + size), (x0 + size, y0))
    pen.closePath()
    return pen.glyph()


def composite(glyphs, parts):
    pen = TTGlyphPen(glyphs)
    for name, transform in parts:
        pen.addComponent(name, transform)
    return pen.glyph()


def subtable(fmt, platform, encoding, mapping):
    table = CmapSubtable.newSubtable(fmt)
    table.platformID, table.platEncID, table.language = platform, encoding, 0
    table.cmap = mapping
    return table


def build(path, order, glyphs, cmaps, advances=None):
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap({})
    fb.setupGlyf(glyphs)
    metrics = {}
    for name in order:
        glyph = fb.font["glyf"][name]
        lsb = getattr(glyph, "xMin", 0) if glyph.numberOfContours else 0
        metrics[name] = ((advances or {}).get(name, 600), lsb)
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": os.path.basename(path)[:-4], "styleName": "Regular"})
    fb.setupOS2()
    fb.setupPost()
    fb.font["cmap"].tables = cmaps
    fb.save(path)


def simple_glyphs(names):
    return {name: box(50 + 10 * i, 0, 500, 700 - 10 * i) for i, name in enumerate(names)}


def make_format0(out):
    order = [".notdef", "A", "B", "space"]
    glyphs = simple_glyphs(order[:3])
    glyphs["space"] = TTGlyphPen(None).glyph()
    build(os.path.join(out, "format0.ttf"), order, glyphs,
          [subtable(0, 1, 0, {0x41: "A", 0x42: "B", 0x20: "space", 0xC4: "B"})])


def make_symbol(out):
    # A (3,0) table at U+F0xx, and a Mac byte table that knows one more code.
    order = [".notdef", "A", "B", "C", "space"]
    glyphs = simple_glyphs(order[:4])
    glyphs["space"] = TTGlyphPen(None).glyph()
    build(os.path.join(out, "symbol.ttf"), order, glyphs,
          [subtable(0, 1, 0, {0x41: "A", 0x42: "B", 0x43: "C"}),
           subtable(4, 3, 0, {0xF041: "A", 0xF042: "B", 0xF020: "space"})])
    # The same tables with a Unicode (3,1) format 4: the byte table must not fill its gaps.
    build(os.path.join(out, "textbyte.ttf"), order, glyphs,
          [subtable(0, 1, 0, {0x41: "A", 0x42: "B", 0x43: "C"}),
           subtable(4, 3, 1, {0x41: "A", 0x42: "B", 0x20: "space"})])


def make_nested(out):
    # Composites that precede their components, nested three deep, with word arguments and
    # the three scale forms.
    order = [".notdef", "top", "twisted", "mid", "base", "ring", "dot", "space"]
    glyphs = {".notdef": box(0, 0, 500, 700), "base": box(100, 0, 400, 500),
              "ring": triangle(0, 0, 200), "dot": box(0, 0, 80, 80),
              "space": TTGlyphPen(None).glyph()}
    glyphs["mid"] = composite(glyphs, [("base", (1, 0, 0, 1, 0, 0)),
                                       ("ring", (0.5, 0, 0, 0.5, 150, 600))])
    glyphs["top"] = composite(glyphs, [("mid", (1, 0, 0, 1, 0, 0)),
                                       ("dot", (0.75, 0, 0, 1.25, 300, 900))])
    glyphs["twisted"] = composite(glyphs, [("top", (0.875, 0.125, -0.125, 0.875, 20, -10)),
                                           ("dot", (1, 0, 0, 1, -400, 0))])
    build(os.path.join(out, "nested.ttf"), order, glyphs,
          [subtable(4, 3, 1, {0x41: "top", 0x42: "twisted", 0x43: "mid", 0x44: "base",
                              0x20: "space"})], advances={"twisted": 720, "top": 650})


def make_broken(out):
    # Parses, but the last glyph's loca range leaves glyf: a subset that keeps it must fail.
    order = [".notdef", "A", "B"]
    path = os.path.join(out, "broken.ttf")
    build(path, order, simple_glyphs(order),
          [subtable(4, 3, 1, {0x41: "A", 0x42: "B"})])
    data = bytearray(open(path, "rb").read())
    count = struct.unpack(">H", data[4:6])[0]
    tables = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack(">4sLLL", data[12 + 16 * i:28 + 16 * i])
        tables[tag] = (offset, length)
    loca_at, loca_len = tables[b"loca"]
    glyf_len = tables[b"glyf"][1]
    if loca_len == 2 * (len(order) + 1):
        struct.pack_into(">H", data, loca_at + 2 * len(order), (glyf_len + 64) // 2)
    else:
        struct.pack_into(">L", data, loca_at + 4 * len(order), glyf_len + 64)
    open(path, "wb").write(bytes(data))


def make_sans_short(out):
    font = TTFont(os.path.join(LIBERATION, "LiberationSans-Regular.ttf"))
    options = subset.Options()
    options.retain_gids = True
    options.notdef_outline = True
    options.layout_closure = False
    options.hinting = True
    options.name_IDs = ["*"]
    options.drop_tables += ["FFTM"]
    subsetter = subset.Subsetter(options)
    subsetter.populate(gids=list(range(400)))
    subsetter.subset(font)
    font.save(os.path.join(out, "sans_short.ttf"))


def make_mono_compact(out):
    font = TTFont(os.path.join(LIBERATION, "LiberationMono-Regular.ttf"))
    metrics = font["hmtx"]
    for name in font.getGlyphOrder():
        metrics[name] = (1229, metrics[name][1])
    font.save(os.path.join(out, "mono_compact.ttf"))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    make_format0(out)
    make_symbol(out)
    make_nested(out)
    make_broken(out)
    if os.path.isdir(LIBERATION):
        make_sans_short(out)
        make_mono_compact(out)
        for name, fmt, hm in (("sans_short.ttf", 0, None), ("mono_compact.ttf", None, 1)):
            font = TTFont(os.path.join(out, name))
            assert fmt is None or font["head"].indexToLocFormat == fmt, name
            assert hm is None or font["hhea"].numberOfHMetrics == hm, name
    print("ok")


if __name__ == "__main__":
    main()
