#!/usr/bin/env python3
"""Prints what fontTools reads from a font, for comparison with the table reader:
"glyphs N", "em N", "bbox xMin yMin xMax yMax", "hmetrics N", "cmap platform encoding format"
per encoding record, then one "metric advance lsb" line per glyph."""
import sys

from fontTools.ttLib import TTFont

font = TTFont(sys.argv[1])
head = font["head"]
print("glyphs", font["maxp"].numGlyphs)
print("em", head.unitsPerEm)
print("bbox", head.xMin, head.yMin, head.xMax, head.yMax)
print("hmetrics", font["hhea"].numberOfHMetrics)
for table in font["cmap"].tables:
    print("cmap", table.platformID, table.platEncID, table.format)
metrics = font["hmtx"]
for name in font.getGlyphOrder():
    print("metric", *metrics[name])
