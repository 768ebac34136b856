#include "QVPDFDev/fonts/pdf_font_stream.h"

#include <algorithm>
#include <exception>

#include "QVPDFDev/truetype/truetype_subset.h"

namespace vellora {

TQVPDFFontStream::TQVPDFFontStream(TQVPDFObjectOwner* owner, TQVFontStreamDescriptor* descriptor,
                                   TQVFontStreamReporter* reporter)
    : TQVPDFStream(owner), descriptor_(descriptor), reporter_(reporter) {
  if (descriptor_) wholeFont_ = descriptor_->IsWholeFont();
}

bool TQVPDFFontStream::LoadTables() { return LoadTables(fontData_.data(), fontData_.size()); }

bool TQVPDFFontStream::LoadTables(const std::uint8_t* data, std::size_t size) {
  if (!data || size == 0 || tables_) return true;
  try {
    auto tables = std::make_unique<TQV_TTF_CMAP>(data, size);
    if (tables->failed) return false;
    tables_ = std::move(tables);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void TQVPDFFontStream::MarkGlyph(std::int32_t code, bool preferByteTable) {
  if (tables_ && code > 0) tables_->MarkCode(code, preferByteTable);
}

bool TQVPDFFontStream::BuildSubset(std::span<const std::uint8_t> source,
                                   std::vector<std::uint8_t>& target,
                                   std::span<const std::uint8_t> used,
                                   std::span<const std::uint16_t> newNumbers) {
  TQVSubsetResult result;
  if (!BuildTrueTypeSubset({source, used, newNumbers, CIDKind()}, result)) {
    subsetError_ = result.error;
    return false;
  }
  subsetError_.clear();
  target = std::move(result.data);
  return true;
}

void TQVPDFFontStream::PrepareData() {
  if (prepared_) return;
  prepared_ = true;
  if (fontData_.empty()) return;
  const bool subset = tables_ && !wholeFont_ && !(descriptor_ && descriptor_->IsWholeFont());
  if (subset) {
    std::vector<std::uint8_t> target;
    bool built = false;
    try {
      built = BuildSubset(fontData_, target, tables_->used, tables_->newNumber);
    } catch (const std::exception& e) {
      subsetError_ = e.what();
    }
    if (built) {
      SetData(std::move(target));
      return;
    }
    // The document goes on with the whole font.
    wholeFont_ = true;
    needsCIDToGIDMap_ = CIDKind() > 1;
    if (reporter_) reporter_->FontSubsetFailed(FontName(), subsetError_);
  }
  SetData(fontData_);
}

std::vector<std::uint8_t> TQVPDFFontStream::CIDToGIDMap() const {
  std::vector<std::uint8_t> map;
  if (!tables_) return map;
  const size_t count = std::min(tables_->used.size(), tables_->newNumber.size());
  uint32_t highest = 0;
  for (size_t glyph = 0; glyph < count; ++glyph) {
    if (tables_->used[glyph]) highest = std::max<uint32_t>(highest, tables_->newNumber[glyph]);
  }
  map.assign(2 * (size_t{highest} + 1), 0);
  for (size_t glyph = 1; glyph < count; ++glyph) {
    const uint16_t cid = tables_->newNumber[glyph];
    if (!tables_->used[glyph] || cid == 0) continue;
    map[2 * size_t{cid}] = static_cast<std::uint8_t>(glyph >> 8);
    map[2 * size_t{cid} + 1] = static_cast<std::uint8_t>(glyph);
  }
  return map;
}

void TQVPDFFontStream::WriteStream() {
  PrepareData();
  if (!HasData()) SetData({});
  SetLength1(static_cast<std::uint32_t>(Data().size()));
  TQVPDFStream::WriteStream();
}

}  // namespace vellora
