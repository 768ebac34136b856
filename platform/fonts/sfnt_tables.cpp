// Parsing of the fixed-layout tables of one face (head, hhea, maxp, hmtx, OS/2, post, name).
#include "qvplatform/sfnt_tables.h"

namespace qvplatform {

namespace {

constexpr std::uint32_t kHead = SfntTag("head");
constexpr std::uint32_t kHhea = SfntTag("hhea");
constexpr std::uint32_t kMaxp = SfntTag("maxp");
constexpr std::uint32_t kHmtx = SfntTag("hmtx");
constexpr std::uint32_t kOs2 = SfntTag("OS/2");
constexpr std::uint32_t kPost = SfntTag("post");
constexpr std::uint32_t kName = SfntTag("name");
constexpr std::uint32_t kCmap = SfntTag("cmap");

void ReadOs2(const ByteReader& r, Os2Table* o) {
  o->version = r.U16(0);
  o->xAvgCharWidth = r.S16(2);
  o->usWeightClass = r.U16(4);
  o->usWidthClass = r.U16(6);
  o->fsType = r.U16(8);
  o->ySubscriptXSize = r.S16(10);
  o->ySubscriptYSize = r.S16(12);
  o->ySubscriptXOffset = r.S16(14);
  o->ySubscriptYOffset = r.S16(16);
  o->ySuperscriptXSize = r.S16(18);
  o->ySuperscriptYSize = r.S16(20);
  o->ySuperscriptXOffset = r.S16(22);
  o->ySuperscriptYOffset = r.S16(24);
  o->yStrikeoutSize = r.S16(26);
  o->yStrikeoutPosition = r.S16(28);
  o->sFamilyClass = r.S16(30);
  for (std::size_t i = 0; i < 10; ++i) o->panose[i] = r.U8(32 + i);
  for (std::size_t i = 0; i < 4; ++i) o->ulUnicodeRange[i] = r.U32(42 + 4 * i);
  o->fsSelection = r.U16(62);
  o->usFirstCharIndex = r.U16(64);
  o->usLastCharIndex = r.U16(66);
  o->sTypoAscender = r.S16(68);
  o->sTypoDescender = r.S16(70);
  o->sTypoLineGap = r.S16(72);
  o->usWinAscent = r.U16(74);
  o->usWinDescent = r.U16(76);
  // Fields of later versions only when the table is long enough for them.
  if (o->version >= 1 && r.Has(78, 8)) {
    o->hasCodePageRange = true;
    o->ulCodePageRange1 = r.U32(78);
    o->ulCodePageRange2 = r.U32(82);
  }
  if (o->version >= 2 && r.Has(86, 10)) {
    o->sxHeight = r.S16(86);
    o->sCapHeight = r.S16(88);
    o->usDefaultChar = r.U16(90);
    o->usBreakChar = r.U16(92);
  }
}

std::u16string NameRecord(const ByteReader& table, std::uint64_t storage, std::uint16_t length,
                          std::uint16_t offset, bool utf16) {
  const ByteSpan bytes = table.Bytes(storage + offset, length);
  std::u16string out;
  if (utf16) {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
      out.push_back(static_cast<char16_t>(bytes[i] << 8 | bytes[i + 1]));
  } else {
    for (std::uint8_t b : bytes) out.push_back(b < 0x80 ? b : u'?');
  }
  while (!out.empty() && out.back() == 0) out.pop_back();
  return out;
}

}  // namespace

NameStrings ReadNameTable(ByteSpan data) {
  NameStrings names;
  const ByteReader r(data);
  const std::uint16_t count = r.U16(2);
  const std::uint64_t storage = r.U16(4);
  if (!r.Ok() || !r.Has(6, static_cast<std::uint64_t>(count) * 12)) return names;
  // Per wanted name: 0 Windows US English, 1 other Windows Unicode, 2 Mac Roman English.
  std::u16string* wanted[7] = {nullptr};
  wanted[1] = &names.family;
  wanted[2] = &names.subfamily;
  wanted[3] = &names.uniqueName;
  wanted[4] = &names.fullName;
  wanted[6] = &names.postscriptName;
  int quality[7] = {9, 9, 9, 9, 9, 9, 9};
  for (std::uint16_t i = 0; i < count; ++i) {
    const std::uint64_t rec = 6 + static_cast<std::uint64_t>(i) * 12;
    const std::uint16_t platform = r.U16(rec), encoding = r.U16(rec + 2), language = r.U16(rec + 4),
                        id = r.U16(rec + 6), length = r.U16(rec + 8), offset = r.U16(rec + 10);
    if (id >= 7 || !wanted[id]) continue;
    int q = 9;
    bool utf16 = true;
    if (platform == 3 && (encoding == 1 || encoding == 0 || encoding == 10))
      q = language == 0x409 ? 0 : 1;
    else if (platform == 0)
      q = 1;
    else if (platform == 1 && encoding == 0 && language == 0) {
      q = 2;
      utf16 = false;
    }
    if (q >= quality[id]) continue;
    std::u16string text = NameRecord(r, storage, length, offset, utf16);
    if (text.empty()) continue;
    *wanted[id] = std::move(text);
    quality[id] = q;
  }
  return names;
}

ByteSpan SfntFace::Table(std::uint32_t tag) const { return directory_.Table(file_, tag); }

std::unique_ptr<SfntFace> SfntFace::Parse(std::shared_ptr<const std::vector<std::uint8_t>> file,
                                          std::uint32_t index, std::string* error) {
  if (!file) {
    if (error) *error = "no font data";
    return nullptr;
  }
  const ByteSpan bytes(*file);
  return Parse(std::move(file), bytes, index, error);
}

std::unique_ptr<SfntFace> SfntFace::Parse(std::shared_ptr<const void> owner, ByteSpan file,
                                          std::uint32_t index, std::string* error) {
  if (!owner) {
    if (error) *error = "no font data";
    return nullptr;
  }
  std::unique_ptr<SfntFace> face(new SfntFace());
  face->fileOwner_ = std::move(owner);
  face->file_ = file;
  face->index_ = index;
  if (!ReadSfntDirectory(face->file_, index, &face->directory_, error)) return nullptr;
  if (!face->ParseTables(error)) return nullptr;
  return face;
}

bool SfntFace::ParseTables(std::string* error) {
  auto fail = [&](const char* why) {
    if (error) *error = why;
    return false;
  };
  const ByteReader head(Table(kHead));
  if (head.Size() < 54) return fail("head table missing or short");
  head_.unitsPerEm = head.U16(18);
  head_.xMin = head.S16(36);
  head_.yMin = head.S16(38);
  head_.xMax = head.S16(40);
  head_.yMax = head.S16(42);
  head_.macStyle = head.U16(44);
  head_.lowestRecPPEM = head.U16(46);
  head_.indexToLocFormat = head.S16(50);
  if (head_.unitsPerEm < 16 || head_.unitsPerEm > 16384) return fail("bad units per em");

  const ByteReader hhea(Table(kHhea));
  if (hhea.Size() < 36) return fail("hhea table missing or short");
  hhea_.ascender = hhea.S16(4);
  hhea_.descender = hhea.S16(6);
  hhea_.lineGap = hhea.S16(8);
  hhea_.advanceWidthMax = hhea.U16(10);
  hhea_.caretSlopeRise = hhea.S16(18);
  hhea_.caretSlopeRun = hhea.S16(20);
  hhea_.numberOfHMetrics = hhea.U16(34);

  const ByteReader maxp(Table(kMaxp));
  if (maxp.Size() < 6) return fail("maxp table missing or short");
  numGlyphs_ = maxp.U16(4);
  if (numGlyphs_ == 0) return fail("face without glyphs");

  if (!metrics_.Init(Table(kHmtx), hhea_.numberOfHMetrics, numGlyphs_))
    return fail("hmtx table missing or shorter than its long metrics");

  const ByteSpan os2 = Table(kOs2);
  if (!os2.empty()) {
    const ByteReader r(os2);
    if (r.Size() < 78) return fail("OS/2 table short");
    os2_.present = true;
    ReadOs2(r, &os2_);
  } else {
    // Stand-ins from hhea and head, as a face without OS/2 is measured.
    os2_.usWinAscent = static_cast<std::uint16_t>(hhea_.ascender > 0 ? hhea_.ascender : 0);
    os2_.usWinDescent = static_cast<std::uint16_t>(hhea_.descender < 0 ? -hhea_.descender : 0);
    os2_.sTypoAscender = hhea_.ascender;
    os2_.sTypoDescender = hhea_.descender;
    os2_.sTypoLineGap = hhea_.lineGap;
    os2_.usWeightClass = (head_.macStyle & 1) ? 700 : 400;
    os2_.fsSelection = static_cast<std::uint16_t>(((head_.macStyle & 2) ? 1 : 0) |
                                                  ((head_.macStyle & 1) ? 0x20 : 0));
    os2_.usFirstCharIndex = 0x20;
    os2_.usLastCharIndex = 0xFFFF;
  }

  const ByteReader post(Table(kPost));
  if (post.Size() >= 16) {
    post_.italicAngle = post.S32(4);
    post_.underlinePosition = post.S16(8);
    post_.underlineThickness = post.S16(10);
    post_.isFixedPitch = post.U32(12) != 0;
  }

  names_ = ReadNameTable(Table(kName));

  const ByteSpan cmap = Table(kCmap);
  if (cmap.empty()) return fail("cmap table missing");
  if (!cmap_.Init(cmap, error)) return false;

  glyf_ = directory_.Find(SfntTag("glyf")) && directory_.Find(SfntTag("loca"));
  cff_ = directory_.Find(SfntTag("CFF ")) || directory_.Find(SfntTag("CFF2"));
  if (!glyf_ && !cff_) return fail("face without sfnt outlines");
  return true;
}

bool HorizontalMetrics::Init(ByteSpan hmtx, std::uint16_t numberOfHMetrics,
                             std::uint16_t numGlyphs) {
  hmtx_ = ByteReader(hmtx);
  numGlyphs_ = numGlyphs;
  longMetrics_ = numberOfHMetrics < numGlyphs ? numberOfHMetrics : numGlyphs;
  return longMetrics_ != 0 && hmtx_.Has(0, 4ull * longMetrics_);
}

std::uint16_t HorizontalMetrics::Advance(std::uint16_t glyph) const {
  if (glyph >= numGlyphs_) glyph = 0;
  const std::uint32_t slot = glyph < longMetrics_ ? glyph : longMetrics_ - 1u;
  return hmtx_.U16(4ull * slot);
}

std::int16_t HorizontalMetrics::LeftBearing(std::uint16_t glyph) const {
  if (glyph >= numGlyphs_) glyph = 0;
  if (glyph < longMetrics_) return hmtx_.S16(4ull * glyph + 2);
  // Bearings of the remaining glyphs follow the long metrics; a short table gives 0.
  const std::uint64_t at = 4ull * longMetrics_ + 2ull * (glyph - longMetrics_);
  return hmtx_.Has(at, 2) ? hmtx_.S16(at) : 0;
}

}  // namespace qvplatform
