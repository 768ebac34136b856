#!/usr/bin/env python3
"""Checks a TrueType subset against its source font with fontTools.

Usage: check_subset.py SOURCE SUBSET GLYPHCOUNT LISTS
  LISTS  a text file of two lines: the comma-separated source glyph ids the document used,
         then comma-separated old:new pairs, the subsetter's numbering of every glyph it kept

Checks: the directory (table count, sorted tags, binary-search fields, alignment), every
table checksum (checkChecksums=2) and head's checkSumAdjustment, the glyph count, that every
used glyph and all its components (at any depth, read from the source) were kept, and that
each kept glyph's outline (components resolved), instructions and horizontal metrics equal
the source's. Prints "ok" and exits 0, or prints the faults and exits 1.
"""
import struct
import sys

from fontTools.ttLib import TTFont

faults = []


def fault(text):
    faults.append(text)


def check_directory(data):
    version, count, search, selector, shift = struct.unpack(">LHHHH", data[:12])
    if version != 0x00010000:
        fault("sfnt version %08x" % version)
    power = 1
    while power * 2 <= count:
        power *= 2
    if (search, selector, shift) != (16 * power, power.bit_length() - 1, 16 * count - 16 * power):
        fault("binary-search fields %d %d %d for %d tables" % (search, selector, shift, count))
    tags = []
    for i in range(count):
        tag, _, offset, length = struct.unpack(">4sLLL", data[12 + 16 * i:28 + 16 * i])
        tags.append(tag)
        if offset % 4 or offset + length > len(data):
            fault("table %s at %d+%d" % (tag, offset, length))
    if tags != sorted(tags) or len(set(tags)) != len(tags):
        fault("tags not sorted and unique: %s" % tags)
    words = data + b"\0" * (-len(data) % 4)
    total = sum(struct.unpack(">%dL" % (len(words) // 4), words)) & 0xFFFFFFFF
    if total != 0xB1B0AFBA:
        fault("whole-font checksum %08x (checkSumAdjustment wrong)" % total)


def outline(font, gid):
    glyf = font["glyf"]
    glyph = glyf[font.getGlyphOrder()[gid]]
    coords, ends, flags = glyph.getCoordinates(glyf)
    program = b""
    if not glyph.isComposite() and hasattr(glyph, "program"):
        program = glyph.program.getBytecode()
    return list(coords), list(ends), [f & 1 for f in flags], program


def components(font, gid):
    glyph = font["glyf"][font.getGlyphOrder()[gid]]
    if not glyph.isComposite():
        return []
    return [font.getGlyphID(c.glyphName) for c in glyph.components]


def main():
    source_path, subset_path, count, lists = sys.argv[1:5]
    used, pairs = (open(lists).read().split("\n") + ["", ""])[:2]
    data = open(subset_path, "rb").read()
    check_directory(data)
    source = TTFont(source_path)
    sub = TTFont(subset_path, checkChecksums=2)
    for tag in sub.keys():
        if tag != "GlyphOrder":
            sub[tag]  # reading verifies the table's checksum
    if sub["maxp"].numGlyphs != int(count):
        fault("glyph count %d, expected %s" % (sub["maxp"].numGlyphs, count))
    position = {}
    for pair in filter(None, pairs.split(",")):
        old, new = map(int, pair.split(":"))
        position[old] = new

    # Closure from the source: every component of a used glyph, at any depth, must be kept.
    work = [int(g) for g in filter(None, used.split(","))]
    seen = set()
    while work:
        gid = work.pop()
        if gid in seen:
            continue
        seen.add(gid)
        if gid not in position:
            fault("glyph %d (used or a component) missing from the subset" % gid)
            continue
        work.extend(components(source, gid))

    metrics_src, metrics_sub = source["hmtx"], sub["hmtx"]
    for old, new in sorted(position.items()):
        if new >= sub["maxp"].numGlyphs:
            fault("glyph %d placed at %d, past the glyph count" % (old, new))
            continue
        if outline(source, old) != outline(sub, new):
            fault("glyph %d (at %d): outline differs" % (old, new))
        expected = [position.get(c, -1) for c in components(source, old)]
        if components(sub, new) != expected:
            fault("glyph %d (at %d): components %s, expected %s"
                  % (old, new, components(sub, new), expected))
        name_src, name_sub = source.getGlyphOrder()[old], sub.getGlyphOrder()[new]
        if metrics_src[name_src] != metrics_sub[name_sub]:
            fault("glyph %d (at %d): metrics %s, expected %s"
                  % (old, new, metrics_sub[name_sub], metrics_src[name_src]))
    if faults:
        print("\n".join(faults[:40]))
        sys.exit(1)
    print("ok")


if __name__ == "__main__":
    main()
