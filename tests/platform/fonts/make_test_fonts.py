"""Builds the fonts the font-service tests need into the folder given as argument:
symbol.ttf   a symbol font whose only character map is the (3,0) one, codes at U+F0xx
pair.ttc     a collection of two TrueType faces ("QV Pair One", "QV Pair Two")
dual.otf     "QV Dual" with CFF outlines, weight 400
dual.ttf     "QV Dual" with TrueType outlines, weight 500
broken.ttf   "QV Broken", whose hmtx table is shorter than its long metrics (fontconfig
             lists it, the font service cannot use it)
"""
import struct
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTCollection
from fontTools.ttLib.tables._c_m_a_p import cmap_format_4


def draw_box(pen, width):
    pen.moveTo((50, 0))
    pen.lineTo((50, 700))
    pen.lineTo((width - 50, 700))
    pen.lineTo((width - 50, 0))
    pen.closePath()


def draw_o(pen):
    # Quadratic contours: an outer and an inner ring.
    pen.moveTo((300, 0))
    pen.qCurveTo((550, 0), (550, 250))
    pen.qCurveTo((550, 500), (300, 500))
    pen.qCurveTo((50, 500), (50, 250))
    pen.qCurveTo((50, 0), (300, 0))
    pen.closePath()
    pen.moveTo((300, 100))
    pen.qCurveTo((150, 100), (150, 250))
    pen.qCurveTo((150, 400), (300, 400))
    pen.qCurveTo((450, 400), (450, 250))
    pen.qCurveTo((450, 100), (300, 100))
    pen.closePath()


def tt_glyphs(names, widths):
    glyphs = {}
    for name in names:
        pen = TTGlyphPen(None)
        if name == "o":
            draw_o(pen)
        elif name not in ("space",):
            draw_box(pen, widths[name])
        glyphs[name] = pen.glyph()
    return glyphs


def build_tt(family, upem, cmap, widths, weight=400, ascent=800, descent=200, symbol=False):
    names = list(widths)
    fb = FontBuilder(upem, isTTF=True)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(tt_glyphs(names, widths))
    fb.setupHorizontalMetrics({n: (widths[n], 50) for n in names})
    fb.setupHorizontalHeader(ascent=ascent, descent=-descent)
    fb.setupNameTable({"familyName": family, "styleName": "Regular"})
    os2 = dict(usWinAscent=ascent, usWinDescent=descent, sTypoAscender=ascent,
               sTypoDescender=-descent, sTypoLineGap=0, usWeightClass=weight,
               xAvgCharWidth=500, sCapHeight=700, sxHeight=500, version=4)
    if symbol:
        os2.update(ulCodePageRange1=1 << 31, ulCodePageRange2=0, usFirstCharIndex=0xF020,
                   usLastCharIndex=0xF042)
    fb.setupOS2(**os2)
    fb.setupPost()
    if symbol:
        table = cmap_format_4(4)
        table.platformID, table.platEncID, table.language = 3, 0, 0
        table.cmap = cmap
        fb.font["cmap"].tables = [table]
    return fb.font


def build_cff(family, cmap, widths, weight):
    names = list(widths)
    fb = FontBuilder(1000, isTTF=False)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap(cmap)
    charstrings = {}
    for name in names:
        pen = T2CharStringPen(widths[name], None)
        if name != "space":
            draw_box(pen, widths[name])
        charstrings[name] = pen.getCharString()
    fb.setupCFF(family.replace(" ", ""), {"FullName": family}, charstrings, {})
    fb.setupHorizontalMetrics({n: (widths[n], 50) for n in names})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": family, "styleName": "Regular"})
    fb.setupOS2(usWinAscent=800, usWinDescent=200, sTypoAscender=800, sTypoDescender=-200,
                usWeightClass=weight, xAvgCharWidth=500, version=4)
    fb.setupPost()
    return fb.font


def main(out):
    latin = {0x20: "space", 0x41: "A", 0x6F: "o"}
    build_tt("QV Symbol Test", 1000, {0xF020: "space", 0xF041: "A", 0xF042: "B"},
             {".notdef": 500, "space": 250, "A": 600, "B": 700}, symbol=True).save(
                 out + "/symbol.ttf")
    one = build_tt("QV Pair One", 1000, latin, {".notdef": 500, "space": 250, "A": 600, "o": 600})
    two = build_tt("QV Pair Two", 2048, latin,
                   {".notdef": 1000, "space": 512, "A": 1400, "o": 1200}, ascent=1600,
                   descent=448)
    collection = TTCollection()
    collection.fonts = [one, two]
    collection.save(out + "/pair.ttc", shareTables=True)
    dual = {".notdef": 500, "space": 250, "A": 600}
    build_cff("QV Dual", {0x20: "space", 0x41: "A"}, dual, 400).save(out + "/dual.otf")
    build_tt("QV Dual", 1000, {0x20: "space", 0x41: "A"}, dual, weight=500).save(
        out + "/dual.ttf")
    # Thai in CFF outlines only: the one face that covers the Thai charset.
    thai = [c for c in range(0x0E01, 0x0E5C) if not 0x0E3B <= c <= 0x0E3E]
    thai_widths = {".notdef": 500, "space": 250}
    thai_widths.update({"uni%04X" % c: 600 for c in thai})
    thai_cmap = {0x20: "space"}
    thai_cmap.update({c: "uni%04X" % c for c in thai})
    build_cff("QV Cff Thai", thai_cmap, thai_widths, 400).save(out + "/cffthai.otf")
    build_tt("QV Broken", 1000, {0x20: "space", 0x41: "A"}, dual).save(out + "/broken.ttf")
    data = bytearray(open(out + "/broken.ttf", "rb").read())
    for i in range(struct.unpack(">H", data[4:6])[0]):
        record = 12 + 16 * i
        if data[record:record + 4] == b"hmtx":
            data[record + 12:record + 16] = struct.pack(">I", 2)
    open(out + "/broken.ttf", "wb").write(bytes(data))


if __name__ == "__main__":
    main(sys.argv[1])
