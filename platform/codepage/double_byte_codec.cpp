// Double-byte pages (932, 936, 949, 950). iconv provides the character tables, but it is
// asked only once per page: the first use builds complete decoding and encoding tables from
// it, so conversions never open a descriptor, never lock, and run by table lookup.
//
// Lead and trail ranges, the user-defined (private-use) areas and the few single bytes iconv
// leaves out follow the system's pages. Encoding keeps only round-trip mappings: iconv's
// one-way fallbacks (such as U+00A5 to 0x5C in 932) are best-fit mappings and are dropped.
#include <errno.h>
#include <iconv.h>

#include <memory>
#include <mutex>
#include <vector>

#include "codecs.h"
#include "qvplatform/codepage.h"

namespace qvplatform::codepage_detail {

namespace {

constexpr char16_t kUndefined = 0xFFFF;  // a noncharacter: no byte sequence decodes to it

struct ByteRange {
  unsigned char first, last;
};

// A block of user-defined pairs numbered consecutively from base, lead by lead, over the
// page's trail bytes in trailLo..trailHi (the block's first lead starts at firstLeadTrail).
struct EudcBlock {
  unsigned char firstLead, lastLead, trailLo, trailHi, firstLeadTrail;
  char16_t base;
};

struct SingleExtra {
  unsigned char byte;
  char16_t unit;
};

struct PageLayout {
  UINT codePage;
  const char* iconvNames[2];
  std::vector<ByteRange> leads, trails;
  std::vector<EudcBlock> eudc;
  std::vector<SingleExtra> singles;
};

const PageLayout& Layout(int index) {
  static const PageLayout layouts[] = {
      {932,
       {"CP932", "WINDOWS-31J"},
       {{0x81, 0x9F}, {0xE0, 0xFC}},
       {{0x40, 0x7E}, {0x80, 0xFC}},
       {{0xF0, 0xF9, 0x40, 0xFC, 0x40, 0xE000}},
       {{0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3}}},
      {936,
       {"CP936", "GBK"},
       {{0x81, 0xFE}},
       {{0x40, 0x7E}, {0x80, 0xFE}},
       {{0xAA, 0xAF, 0xA1, 0xFE, 0xA1, 0xE000},
        {0xF8, 0xFE, 0xA1, 0xFE, 0xA1, 0xE234},
        {0xA1, 0xA7, 0x40, 0xA0, 0x40, 0xE4C6}},
       {{0x80, 0x20AC}, {0xFF, 0xF8F5}}},
      {949,
       {"CP949", "UHC"},
       {{0x81, 0xFE}},
       {{0x41, 0x5A}, {0x61, 0x7A}, {0x81, 0xFE}},
       {{0xC9, 0xC9, 0xA1, 0xFE, 0xA1, 0xE000}, {0xFE, 0xFE, 0xA1, 0xFE, 0xA1, 0xE05E}},
       {}},
      {950,
       {"CP950", "BIG5"},
       {{0x81, 0xFE}},
       {{0x40, 0x7E}, {0xA1, 0xFE}},
       {{0xFA, 0xFE, 0x40, 0xFE, 0x40, 0xE000},
        {0x8E, 0xA0, 0x40, 0xFE, 0x40, 0xE311},
        {0x81, 0x8D, 0x40, 0xFE, 0x40, 0xEEB8},
        {0xC6, 0xC8, 0x40, 0xFE, 0xA1, 0xF6B1}},
       {{0x80, 0x0080}, {0xFF, 0xF8F8}}},
  };
  return layouts[index];
}

constexpr int kPageCount = 4;

int PageIndex(UINT codePage) {
  switch (codePage) {
    case 932:
      return 0;
    case 936:
      return 1;
    case 949:
      return 2;
    case 950:
      return 3;
    default:
      return -1;
  }
}

bool InRanges(const std::vector<ByteRange>& ranges, unsigned b) {
  for (const ByteRange& r : ranges)
    if (b >= r.first && b <= r.last) return true;
  return false;
}

// One conversion of a short input with a fresh shift state; returns the bytes produced.
std::size_t Convert(iconv_t cd, const void* in, std::size_t inLen, void* out, std::size_t outLen) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* ip = static_cast<char*>(const_cast<void*>(in));
  char* op = static_cast<char*>(out);
  std::size_t il = inLen, ol = outLen;
  if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0) return 0;
  return outLen - ol;
}

}  // namespace

class DoubleBytePage {
 public:
  bool lead[256] = {};
  bool trail[256] = {};
  char16_t single[256];
  std::vector<char16_t> pair;         // (lead - 0x80) * 256 + trail
  std::vector<std::uint16_t> encode;  // 0: none; below 0x100: one byte; else lead * 256 + trail

  char16_t Pair(unsigned l, unsigned t) const { return pair[(l - 0x80) * 256 + t]; }

  static std::unique_ptr<DoubleBytePage> Build(const PageLayout& layout);
};

std::unique_ptr<DoubleBytePage> DoubleBytePage::Build(const PageLayout& layout) {
  iconv_t toWide = reinterpret_cast<iconv_t>(-1);
  iconv_t fromWide = reinterpret_cast<iconv_t>(-1);
  for (const char* name : layout.iconvNames) {
    toWide = iconv_open("UTF-16LE", name);
    if (toWide == reinterpret_cast<iconv_t>(-1)) continue;
    fromWide = iconv_open(name, "UTF-16LE");
    if (fromWide != reinterpret_cast<iconv_t>(-1)) break;
    iconv_close(toWide);
    toWide = reinterpret_cast<iconv_t>(-1);
  }
  if (toWide == reinterpret_cast<iconv_t>(-1)) return nullptr;

  auto page = std::make_unique<DoubleBytePage>();
  page->pair.assign(0x80 * 256, kUndefined);
  for (unsigned b = 0; b < 256; ++b) {
    page->lead[b] = InRanges(layout.leads, b);
    page->trail[b] = InRanges(layout.trails, b);
    page->single[b] = b < 0x80 ? static_cast<char16_t>(b) : kUndefined;
  }

  char16_t unit[4];
  for (unsigned b = 0x80; b < 256; ++b) {
    if (page->lead[b]) continue;
    const unsigned char in = static_cast<unsigned char>(b);
    if (Convert(toWide, &in, 1, unit, sizeof unit) == 2) page->single[b] = unit[0];
  }
  for (const SingleExtra& e : layout.singles)
    if (page->single[e.byte] == kUndefined) page->single[e.byte] = e.unit;

  for (unsigned l = 0x80; l < 256; ++l) {
    if (!page->lead[l]) continue;
    for (unsigned t = 0; t < 256; ++t) {
      if (!page->trail[t]) continue;
      const unsigned char in[2] = {static_cast<unsigned char>(l), static_cast<unsigned char>(t)};
      // A pair that decodes to more than one unit has no single-unit equivalent: undefined.
      if (Convert(toWide, in, 2, unit, sizeof unit) == 2)
        page->pair[(l - 0x80) * 256 + t] = unit[0];
    }
  }
  for (const EudcBlock& block : layout.eudc) {
    char16_t next = block.base;
    for (unsigned l = block.firstLead; l <= block.lastLead; ++l) {
      const unsigned from = l == block.firstLead ? block.firstLeadTrail : block.trailLo;
      for (unsigned t = from; t <= block.trailHi; ++t) {
        if (!page->trail[t]) continue;
        char16_t& slot = page->pair[(l - 0x80) * 256 + t];
        if (slot == kUndefined) slot = next;
        ++next;
      }
    }
  }

  // Encoding: iconv's choice among duplicates where it round-trips, else the first sequence
  // that decodes to the unit.
  page->encode.assign(0x10000, 0);
  for (unsigned b = 1; b < 256; ++b)
    if (page->single[b] != kUndefined && page->encode[page->single[b]] == 0)
      page->encode[page->single[b]] = static_cast<std::uint16_t>(b);
  for (unsigned l = 0x80; l < 256; ++l) {
    if (!page->lead[l]) continue;
    for (unsigned t = 0; t < 256; ++t) {
      const char16_t u = page->Pair(l, t);
      if (u != kUndefined && page->encode[u] == 0)
        page->encode[u] = static_cast<std::uint16_t>(l << 8 | t);
    }
  }
  if (fromWide != reinterpret_cast<iconv_t>(-1)) {
    for (unsigned u = 0x80; u < 0x10000; ++u) {
      if (u >= 0xD800 && u < 0xE000) continue;
      const char16_t in = static_cast<char16_t>(u);
      unsigned char bytes[4];
      const std::size_t n = Convert(fromWide, &in, 2, bytes, sizeof bytes);
      std::uint16_t code = 0;
      if (n == 1 && !page->lead[bytes[0]] && page->single[bytes[0]] == u) code = bytes[0];
      if (n == 2 && page->lead[bytes[0]] && page->trail[bytes[1]] &&
          page->Pair(bytes[0], bytes[1]) == u)
        code = static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
      if (code != 0) page->encode[u] = code;
    }
    iconv_close(fromWide);
  }
  iconv_close(toWide);
  return page;
}

const DoubleBytePage* FindDoubleBytePage(UINT codePage) {
  const int index = PageIndex(codePage);
  if (index < 0) return nullptr;
  static std::once_flag once[kPageCount];
  static std::unique_ptr<DoubleBytePage> pages[kPageCount];
  std::call_once(once[index], [index] { pages[index] = DoubleBytePage::Build(Layout(index)); });
  return pages[index].get();
}

bool IsDoubleByteLead(const DoubleBytePage& page, unsigned char byte) { return page.lead[byte]; }

bool DecodeDoubleByte(const DoubleBytePage& page, const unsigned char* src, std::size_t n,
                      bool strict, WideOutput& out) {
  for (std::size_t i = 0; i < n;) {
    const unsigned char b = src[i];
    if (b < 0x80) {
      out.Put(b);
      ++i;
      continue;
    }
    if (!page.lead[b]) {
      const char16_t u = page.single[b];
      if (u == kUndefined && strict) return false;
      out.Put(u == kUndefined ? u'?' : u);
      ++i;
      continue;
    }
    if (i + 1 < n && page.trail[src[i + 1]]) {
      const char16_t u = page.Pair(b, src[i + 1]);
      if (u == kUndefined && strict) return false;
      out.Put(u == kUndefined ? kDbcsUnicodeDefault : u);
      i += 2;
      continue;
    }
    // A lead byte without a trail byte: the next byte, if any, is read on its own.
    if (strict) return false;
    out.Put(kDbcsUnicodeDefault);
    ++i;
  }
  return true;
}

void EncodeDoubleByte(const DoubleBytePage& page, const WCHAR* src, std::size_t n,
                      const DefaultChar& def, ByteOutput& out, bool& usedDefault) {
  for (std::size_t i = 0; i < n; ++i) {
    const WCHAR u = src[i];
    const std::uint16_t code = page.encode[u];
    if (u == 0) {
      out.Put(0);
    } else if (code == 0) {
      for (int k = 0; k < def.length; ++k) out.Put(static_cast<char>(def.bytes[k]));
      usedDefault = true;
    } else if (code < 0x100) {
      out.Put(static_cast<char>(code));
    } else {
      out.Put(static_cast<char>(code >> 8));
      out.Put(static_cast<char>(code & 0xFF));
    }
  }
}

}  // namespace qvplatform::codepage_detail
