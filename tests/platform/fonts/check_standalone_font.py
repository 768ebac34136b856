"""Checks a standalone font written by the font service against the face it came from:
sfnt version 1.0, directory in ascending tag order with 4-byte aligned offsets and correct
checksums (fontTools asserts them), every table's bytes equal to the original's (head apart
from checkSumAdjustment), and the file checksum. Prints "ok" and the family name.
Usage: check_standalone_font.py STANDALONE ORIGINAL FACE_INDEX"""
import struct
import sys

from fontTools.ttLib import TTFont


def main(standalone, original, index):
    data = open(standalone, "rb").read()
    version, count = struct.unpack(">IH", data[:6])
    assert version == 0x00010000, hex(version)
    records = [struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i]) for i in range(count)]
    tags = [r[0] for r in records]
    assert tags == sorted(tags), tags
    assert all(r[2] % 4 == 0 for r in records)
    font = TTFont(standalone, checkChecksums=2)
    source = TTFont(original, fontNumber=index)
    assert sorted(font.reader.keys()) == sorted(source.reader.keys())
    for tag in source.reader.keys():
        mine, theirs = font.reader[tag], source.reader[tag]
        if tag == "head":
            mine, theirs = mine[:8] + mine[12:], theirs[:8] + theirs[12:]
        assert mine == theirs, tag
    total = sum(struct.unpack(">%dI" % (len(data) // 4), data)) & 0xFFFFFFFF
    assert total == 0xB1B0AFBA, hex(total)
    font["glyf"][font.getGlyphOrder()[-1]]  # glyph data decodes
    print("ok", font["name"].getDebugName(1))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], int(sys.argv[3]))
