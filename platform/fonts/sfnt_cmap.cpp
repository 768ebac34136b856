// Character map: choice of the subtable and bounds-checked lookups in formats 0, 4, 6, 12.
#include "qvplatform/sfnt_tables.h"

namespace qvplatform {

namespace {

struct Candidate {
  std::uint16_t platform, encoding, format;
  std::uint32_t offset;
};

// Lower is better; -1 for subtables that cannot serve.
int Rank(const Candidate& c) {
  const bool unicode =
      c.platform == 0 || (c.platform == 3 && (c.encoding == 1 || c.encoding == 10));
  if (unicode && c.format == 12) return 0;
  if (unicode && c.format == 4) return 1;
  if (c.platform == 3 && c.encoding == 0 && (c.format == 4 || c.format == 12)) return 2;
  if (unicode && (c.format == 0 || c.format == 6)) return 3;
  if (c.platform == 3 && c.encoding == 0 && (c.format == 0 || c.format == 6)) return 4;
  if (c.platform == 1 && c.encoding == 0 && (c.format == 0 || c.format == 6)) return 5;
  return -1;
}

}  // namespace

bool CharMap::Init(ByteSpan cmapTable, std::string* error) {
  const ByteReader table(cmapTable);
  auto fail = [&](const char* why) {
    if (error) *error = why;
    return false;
  };
  const std::uint16_t records = table.U16(2);
  if (!table.Ok() || !table.Has(4, static_cast<std::uint64_t>(records) * 8))
    return fail("cmap: damaged header");

  Candidate best{};
  int bestRank = -1;
  for (std::uint16_t i = 0; i < records; ++i) {
    const std::uint64_t rec = 4 + static_cast<std::uint64_t>(i) * 8;
    Candidate c{table.U16(rec), table.U16(rec + 2), 0, table.U32(rec + 4)};
    if (!table.Has(c.offset, 2)) continue;  // a record pointing outside is skipped
    c.format = table.U16(c.offset);
    const int rank = Rank(c);
    if (rank >= 0 && (bestRank < 0 || rank < bestRank)) {
      best = c;
      bestRank = rank;
    }
  }
  if (bestRank < 0) return fail("cmap: no usable subtable");

  platform_ = best.platform;
  encoding_ = best.encoding;
  format_ = best.format;
  symbol_ = best.platform == 3 && best.encoding == 0;
  asciiOnly_ = best.platform == 1;

  // The subtable's own length, clipped to what the cmap table holds.
  const std::uint64_t avail = cmapTable.size() - best.offset;
  std::uint64_t length = 0;
  if (format_ == 12) {
    length = table.U32(best.offset + 4);
  } else {
    length = table.U16(best.offset + 2);
  }
  if (!table.Ok()) return fail("cmap: damaged subtable");
  if (length > avail) length = avail;
  sub_ = ByteReader(cmapTable.subspan(best.offset, length));

  switch (format_) {
    case 0:
      if (!sub_.Has(6, 256)) return fail("cmap: short format 0 subtable");
      break;
    case 4: {
      const std::uint16_t segX2 = sub_.U16(6);
      count_ = segX2 / 2u;
      // end codes, pad, start codes, deltas, range offsets
      if (!sub_.Ok() || (segX2 & 1) || count_ == 0 ||
          !sub_.Has(14, static_cast<std::uint64_t>(count_) * 8 + 2))
        return fail("cmap: damaged format 4 subtable");
      break;
    }
    case 6:
      first_ = sub_.U16(6);
      count_ = sub_.U16(8);
      if (!sub_.Ok() || !sub_.Has(10, static_cast<std::uint64_t>(count_) * 2))
        return fail("cmap: damaged format 6 subtable");
      break;
    case 12:
      count_ = sub_.U32(12);
      if (!sub_.Ok() || !sub_.Has(16, static_cast<std::uint64_t>(count_) * 12))
        return fail("cmap: damaged format 12 subtable");
      break;
  }
  return true;
}

std::uint16_t CharMap::Lookup(std::uint32_t code) const {
  switch (format_) {
    case 0:
      return code < 256 ? sub_.U8(6 + code) : 0;
    case 6:
      return code >= first_ && code - first_ < count_ ? sub_.U16(10 + 2ull * (code - first_)) : 0;
    case 4: {
      if (code > 0xFFFF) return 0;
      // Binary search for the first segment whose end code is at least the code.
      std::uint32_t lo = 0, hi = count_;
      while (lo < hi) {
        const std::uint32_t mid = (lo + hi) / 2;
        if (sub_.U16(14 + 2ull * mid) < code)
          lo = mid + 1;
        else
          hi = mid;
      }
      if (lo >= count_) return 0;
      const std::uint64_t seg = lo;
      const std::uint64_t starts = 16 + 2ull * count_;
      const std::uint64_t deltas = starts + 2ull * count_;
      const std::uint64_t ranges = deltas + 2ull * count_;
      const std::uint16_t start = sub_.U16(starts + 2 * seg);
      if (start > code) return 0;
      const std::uint16_t delta = sub_.U16(deltas + 2 * seg);
      const std::uint16_t range = sub_.U16(ranges + 2 * seg);
      if (range == 0) return static_cast<std::uint16_t>(code + delta);
      // The range offset counts from its own slot in the range offset array.
      const std::uint64_t at = ranges + 2 * seg + range + 2ull * (code - start);
      if (!sub_.Has(at, 2)) return 0;
      const std::uint16_t glyph = sub_.U16(at);
      return glyph == 0 ? 0 : static_cast<std::uint16_t>(glyph + delta);
    }
    case 12: {
      std::uint32_t lo = 0, hi = count_;
      while (lo < hi) {
        const std::uint32_t mid = (lo + hi) / 2;
        if (sub_.U32(16 + 12ull * mid + 4) < code)
          lo = mid + 1;
        else
          hi = mid;
      }
      if (lo >= count_) return 0;
      const std::uint64_t group = 16 + 12ull * lo;
      const std::uint32_t start = sub_.U32(group);
      if (start > code) return 0;
      const std::uint64_t glyph = static_cast<std::uint64_t>(sub_.U32(group + 8)) + (code - start);
      return glyph <= 0xFFFF ? static_cast<std::uint16_t>(glyph) : 0;
    }
  }
  return 0;
}

std::uint16_t CharMap::Glyph(std::uint32_t code) const {
  if (asciiOnly_ && code >= 0x80) return 0;
  if (symbol_ && code <= 0xFF) {
    const std::uint16_t glyph = Lookup(0xF000 | code);
    if (glyph) return glyph;
  }
  return Lookup(code);
}

}  // namespace qvplatform
