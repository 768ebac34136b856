#include "QVPDFDev/truetype/truetype_subset.h"

#include <algorithm>

#include "QVPDFDev/truetype/ttf_bytes.h"
#include "QVPDFDev/truetype/ttf_glyf.h"
#include "QVPDFDev/truetype/ttf_metrics.h"
#include "QVPDFDev/truetype/ttf_sfnt_writer.h"
#include "qvplatform/sfnt_reader.h"

namespace vellora {

namespace {

using qvplatform::ByteReader;
using qvplatform::SfntTag;

constexpr uint32_t kHead = SfntTag("head");
constexpr uint32_t kMaxp = SfntTag("maxp");
constexpr uint32_t kHhea = SfntTag("hhea");
constexpr uint32_t kHmtx = SfntTag("hmtx");
constexpr uint32_t kLoca = SfntTag("loca");
constexpr uint32_t kGlyf = SfntTag("glyf");

// Tables a CID subset keeps besides the ones it builds.
constexpr uint32_t kCIDKept[] = {kHead,           kHhea,           kMaxp,          SfntTag("OS/2"),
                                 SfntTag("fpgm"), SfntTag("cvt "), SfntTag("prep")};

class Subsetter {
 public:
  Subsetter(const TQVSubsetRequest& request, TQVSubsetResult& result)
      : request_(request), result_(result) {}

  bool Run();

 private:
  bool Fail(std::string text) {
    result_.error = std::move(text);
    result_.data.clear();
    return false;
  }
  bool Load();
  bool CloseOverComponents();
  bool AssignPositions();
  void WriteGlyphs(uint32_t count, const std::vector<int32_t>& glyphAt);
  void WriteLoca(const std::vector<uint64_t>& offsets);
  bool LoadMetrics();
  void WriteCIDMetrics(uint32_t count, const std::vector<int32_t>& glyphAt);
  std::vector<uint8_t>& Copy(uint32_t tag, std::vector<uint8_t>& into) const;

  const TQVSubsetRequest& request_;
  TQVSubsetResult& result_;
  std::span<const uint8_t> font_;
  qvplatform::SfntDirectory directory_;
  TtfGlyphLocations locations_;
  uint32_t numGlyphs_ = 0;
  bool longLoca_ = false;
  std::vector<uint8_t> kept_;
  std::vector<int32_t> advance_, bearing_;
  std::vector<int32_t>& position_ = result_.position;
  std::vector<uint8_t> glyf_, loca_, hmtx_, head_, hhea_, maxp_;
};

bool Subsetter::Load() {
  font_ = request_.font;
  if (!qvplatform::ReadStandaloneSfntDirectory(font_, &directory_))
    return Fail("damaged table directory");
  if (directory_.version != qvplatform::kSfntVersionTrueType) return Fail("not a TrueType font");
  const ByteReader head(directory_.Table(font_, kHead));
  const ByteReader maxp(directory_.Table(font_, kMaxp));
  if (!directory_.Find(kHead) || !directory_.Find(kMaxp)) return Fail("no head or maxp table");
  const int16_t format = head.S16(50);
  numGlyphs_ = maxp.U16(4);
  if (!head.Ok() || !maxp.Ok() || head.Size() < 54) return Fail("head or maxp too short");
  if (format != 0 && format != 1) return Fail("unknown loca format");
  longLoca_ = format == 1;
  if (!directory_.Find(kGlyf) || !directory_.Find(kLoca)) return Fail("no glyf or loca table");
  if (!locations_.Init(directory_.Table(font_, kLoca), directory_.Table(font_, kGlyf), numGlyphs_,
                       longLoca_))
    return Fail("loca table too short");
  if (numGlyphs_ == 0) return Fail("font without glyphs");
  return true;
}

// Keeps glyph 0, the used glyphs and, through a worklist, every component at any depth.
bool Subsetter::CloseOverComponents() {
  kept_.assign(numGlyphs_, 0);
  std::vector<uint32_t> work;
  auto keep = [&](uint32_t glyph) {
    if (!kept_[glyph]) {
      kept_[glyph] = 1;
      work.push_back(glyph);
    }
  };
  keep(0);
  const size_t marks = std::min<size_t>(request_.used.size(), numGlyphs_);
  for (size_t glyph = 0; glyph < marks; ++glyph) {
    if (request_.used[glyph]) keep(static_cast<uint32_t>(glyph));
  }
  while (!work.empty()) {
    const uint32_t glyph = work.back();
    work.pop_back();
    std::span<const uint8_t> data;
    if (!locations_.Glyph(glyph, data))
      return Fail("glyph " + std::to_string(glyph) + " lies outside glyf");
    if (!data.empty() && data.size() < 10)
      return Fail("glyph " + std::to_string(glyph) + " is damaged");
    if (!TtfIsComposite(data)) continue;
    TtfComponentIterator components(data);
    uint16_t component;
    uint32_t at;
    while (components.Next(component, at)) {
      if (component >= numGlyphs_)
        return Fail("glyph " + std::to_string(glyph) + " names a missing component");
      keep(component);
    }
    if (components.damaged()) return Fail("glyph " + std::to_string(glyph) + " is damaged");
  }
  return true;
}

bool Subsetter::AssignPositions() {
  position_.assign(numGlyphs_, -1);
  if (request_.cidKind <= 1) {
    // Glyph numbers are kept.
    for (uint32_t glyph = 0; glyph < numGlyphs_; ++glyph) {
      if (kept_[glyph]) position_[glyph] = static_cast<int32_t>(glyph);
    }
    return true;
  }
  std::vector<uint8_t> taken(65536, 0);
  position_[0] = 0;
  taken[0] = 1;
  int32_t highest = 0;
  const size_t marks = std::min(request_.used.size(), request_.newNumber.size());
  for (uint32_t glyph = 1; glyph < numGlyphs_ && glyph < marks; ++glyph) {
    const uint16_t number = request_.newNumber[glyph];
    if (request_.used[glyph] && number != 0 && !taken[number]) {
      taken[number] = 1;
      position_[glyph] = number;
      highest = std::max<int32_t>(highest, number);
    }
  }
  // Components and used glyphs that got no CID of their own follow the highest CID.
  for (uint32_t glyph = 1; glyph < numGlyphs_; ++glyph) {
    if (kept_[glyph] && position_[glyph] < 0) position_[glyph] = ++highest;
  }
  if (highest > 0xFFFE) return Fail("more than 65535 glyphs in the subset");
  return true;
}

std::vector<uint8_t>& Subsetter::Copy(uint32_t tag, std::vector<uint8_t>& into) const {
  const std::span<const uint8_t> table = directory_.Table(font_, tag);
  into.assign(table.begin(), table.end());
  return into;
}

void Subsetter::WriteGlyphs(uint32_t count, const std::vector<int32_t>& glyphAt) {
  const size_t align = longLoca_ ? 4 : 2;
  std::vector<uint64_t> offsets(count + 1);
  glyf_.clear();
  for (uint32_t slot = 0; slot < count; ++slot) {
    offsets[slot] = glyf_.size();
    if (glyphAt[slot] < 0) continue;
    std::span<const uint8_t> data;
    locations_.Glyph(static_cast<uint32_t>(glyphAt[slot]), data);  // checked by the closure
    const size_t at = glyf_.size();
    glyf_.insert(glyf_.end(), data.begin(), data.end());
    if (request_.cidKind > 1 && TtfIsComposite(data)) {
      TtfComponentIterator components(data);
      uint16_t component;
      uint32_t indexAt;
      while (components.Next(component, indexAt))
        SetU16(glyf_, at + indexAt, static_cast<uint32_t>(position_[component]));
    }
    glyf_.resize((glyf_.size() + align - 1) / align * align, 0);
  }
  offsets[count] = glyf_.size();
  // Short offsets are stored halved in 16 bits. A subset holds no more glyph data than its
  // source, so this only guards against a silent wrap.
  if (!longLoca_ && glyf_.size() > 2 * 0xFFFFu) longLoca_ = true;
  WriteLoca(offsets);
}

void Subsetter::WriteLoca(const std::vector<uint64_t>& offsets) {
  loca_.clear();
  loca_.reserve(offsets.size() * (longLoca_ ? 4 : 2));
  for (uint64_t offset : offsets) {
    if (longLoca_) {
      PutU32(loca_, static_cast<uint32_t>(offset));
    } else {
      PutU16(loca_, static_cast<uint32_t>(offset / 2));
    }
  }
  SetU16(Copy(kHead, head_), 50, longLoca_ ? 1 : 0);
}

bool Subsetter::LoadMetrics() {
  const ByteReader hhea(directory_.Table(font_, kHhea));
  hhea.U16(34);
  // numGlyphs_ is maxp's 16-bit count.
  if (!directory_.Find(kHmtx) || !hhea.Ok() ||
      ReadHorizontalMetrics(font_, directory_, static_cast<uint16_t>(numGlyphs_), advance_,
                            bearing_) < 1)
    return Fail("no usable hhea or hmtx table");
  return true;
}

// One long metric per glyph, taken from the source glyph's own advance and side bearing.
void Subsetter::WriteCIDMetrics(uint32_t count, const std::vector<int32_t>& glyphAt) {
  hmtx_.clear();
  hmtx_.reserve(4 * size_t{count});
  for (uint32_t slot = 0; slot < count; ++slot) {
    const int32_t glyph = glyphAt[slot];
    PutU16(hmtx_, glyph < 0 ? 0 : static_cast<uint32_t>(advance_[static_cast<size_t>(glyph)]));
    PutU16(hmtx_,
           glyph < 0 ? 0 : static_cast<uint32_t>(bearing_[static_cast<size_t>(glyph)]) & 0xFFFF);
  }
  SetU16(Copy(kHhea, hhea_), 34, count);
  SetU16(Copy(kMaxp, maxp_), 4, count);
}

bool Subsetter::Run() {
  result_ = {};
  if (!Load() || !CloseOverComponents() || !AssignPositions()) return false;
  const bool cid = request_.cidKind != 0;
  if (cid && !LoadMetrics()) return false;

  uint32_t count = numGlyphs_;
  if (cid) count = static_cast<uint32_t>(*std::max_element(position_.begin(), position_.end())) + 1;
  std::vector<int32_t> glyphAt(count, -1);
  for (uint32_t glyph = 0; glyph < numGlyphs_; ++glyph) {
    if (position_[glyph] >= 0)
      glyphAt[static_cast<size_t>(position_[glyph])] = static_cast<int32_t>(glyph);
  }
  WriteGlyphs(count, glyphAt);

  TtfSfntWriter writer;
  if (cid) {
    WriteCIDMetrics(count, glyphAt);
    for (uint32_t tag : kCIDKept) {
      if (directory_.Find(tag)) writer.Add(tag, directory_.Table(font_, tag));
    }
    writer.Add(kHhea, hhea_);
    writer.Add(kMaxp, maxp_);
    writer.Add(kHmtx, hmtx_);
  } else {
    for (const qvplatform::SfntTableRecord& table : directory_.tables) {
      if (table.tag != SfntTag("DSIG") && !writer.Has(table.tag))
        writer.Add(table.tag, font_.subspan(table.offset, table.length));
    }
  }
  writer.Add(kHead, head_);
  writer.Add(kGlyf, glyf_);
  writer.Add(kLoca, loca_);
  writer.Write(result_.data);
  result_.glyphCount = static_cast<int32_t>(count);
  return true;
}

}  // namespace

bool BuildTrueTypeSubset(const TQVSubsetRequest& request, TQVSubsetResult& result) {
  return Subsetter(request, result).Run();
}

}  // namespace vellora
