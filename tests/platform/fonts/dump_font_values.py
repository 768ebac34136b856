"""Prints the values of a font's tables that the metric tests compare against, one
"name value" pair a line, read with fontTools (independently of the font service).
Usage: dump_font_values.py FONT [FACE_INDEX]"""
import sys

from fontTools.ttLib import TTFont


def main(path, index):
    font = TTFont(path, fontNumber=index)
    head, hhea, os2, post = font["head"], font["hhea"], font["OS/2"], font["post"]
    cmap = font.getBestCmap()
    hmtx = font["hmtx"]
    values = {
        "unitsPerEm": head.unitsPerEm,
        "xMin": head.xMin, "yMin": head.yMin, "xMax": head.xMax, "yMax": head.yMax,
        "hheaAscender": hhea.ascent, "hheaDescender": hhea.descent,
        "hheaLineGap": hhea.lineGap, "advanceWidthMax": hhea.advanceWidthMax,
        "winAscent": os2.usWinAscent, "winDescent": os2.usWinDescent,
        "typoAscender": os2.sTypoAscender, "typoDescender": os2.sTypoDescender,
        "typoLineGap": os2.sTypoLineGap, "xAvgCharWidth": os2.xAvgCharWidth,
        "weightClass": os2.usWeightClass, "capHeight": getattr(os2, "sCapHeight", 0),
        "xHeight": getattr(os2, "sxHeight", 0), "firstChar": os2.usFirstCharIndex,
        "lastChar": os2.usLastCharIndex, "italicAngle": post.italicAngle,
        "underlinePosition": post.underlinePosition,
        "underlineThickness": post.underlineThickness,
        "numGlyphs": font["maxp"].numGlyphs,
    }
    # xAvgCharWidth by its first definition: letter-frequency weights of "a" to "z" and space.
    weights = [64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20, 56, 56, 17, 4, 49, 56, 71,
               31, 10, 18, 3, 18, 2, 166]
    letters = "abcdefghijklmnopqrstuvwxyz "
    if all(ord(c) in cmap for c in letters):
        values["lowercaseAverage"] = sum(
            hmtx[cmap[ord(c)]][0] * w for c, w in zip(letters, weights)) // 1000
    for code in range(0x20, 0x7F):
        name = cmap.get(code)
        if name is not None:
            values["advance%d" % code] = hmtx[name][0]
            values["glyph%d" % code] = font.getGlyphID(name)
    if "glyf" in font:
        glyf = font["glyf"]
        for char in "Hx":
            name = cmap.get(ord(char))
            if name is not None:
                glyph = glyf[name]
                glyph.recalcBounds(glyf)
                values["top" + char] = glyph.yMax
    for key, value in values.items():
        print(key, value)
    print("family", font["name"].getDebugName(1))


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else -1)
