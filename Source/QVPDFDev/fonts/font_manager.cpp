#include "QVPDFDev/fonts/font_manager.h"

#include <stdexcept>

#include "QVPDFDev/fonts/encoding_vector.h"
#include "QVPDFDev/fonts/font_names.h"
#include "QVPDFDev/fonts/pdf_font.h"
#include "QVPDFDev/resources/pdf_resource.h"
#include "QVPdfDC/charset_code_page.h"
#include "qvplatform/debug_output.h"
#include "qvplatform/device_context.h"
#include "qvplatform/numbers.h"

namespace vellora {

TQVPDFFontManager::TQVPDFFontManager(TQVPDFObjectOwner* owner) : owner_(owner) {}

TQVPDFFontManager::~TQVPDFFontManager() {
  if (referenceDC_ != 0) qvplatform::ReleaseDC(0, referenceDC_);
}

bool TQVPDFFontManager::PdfA() const {
  return owner_ != nullptr && owner_->WriterSettings().pdfaMode != folvioaOff;
}

qvplatform::HDC TQVPDFFontManager::ReferenceDC() {
  if (referenceDC_ == 0) referenceDC_ = qvplatform::GetDC(0);
  return referenceDC_;
}

void TQVPDFFontManager::Message(std::int32_t code, const std::string& text) {
  if (receiver_ != nullptr) {
    receiver_->FontMessage(code, text);
  } else {
    recorded_.push_back(std::to_string(code) + ": " + text);
  }
}

void TQVPDFFontManager::FontSubsetFailed(const std::string& fontName, const std::string& reason) {
  if (subsetReporter_ != nullptr) {
    subsetReporter_->FontSubsetFailed(fontName, reason);
  } else {
    recorded_.push_back("subset " + fontName + ": " + reason);
  }
}

TQVPDFFont* TQVPDFFontManager::Reuse(TQVPDFResource& resource, std::string_view name,
                                     std::int32_t charset, std::uint8_t style,
                                     std::uint8_t cjkKind) const {
  for (auto& object : resource.Fonts()) {
    auto* font = dynamic_cast<TQVPDFFont*>(object.get());
    if (font == nullptr || font->cjkKind != cjkKind || font->style != style) continue;
    const TQVFontDescriptor* d = font->descriptor.get();
    if (d != nullptr && d->embedded && cjkKind != 0) continue;
    if (!(font->charset == charset || d == nullptr || (cjkKind == 0 && d->cidKind != 0))) continue;
    if (SameFontName(name, font->name) || SameFontName(name, font->requestedName) ||
        (!font->replacedName.empty() && SameFontName(name, font->replacedName)))
      return font;
  }
  return nullptr;
}

std::int32_t TQVPDFFontManager::Register(TQVPDFResource& resource,
                                         std::unique_ptr<TQVPDFFont> font) {
  TQVPDFFont* added = font.get();
  resource.Fonts().push_back(std::move(font));
  added->number = static_cast<std::int32_t>(resource.Fonts().size());
  if (firstFontName_.empty()) firstFontName_ = added->name;
  current_ = added;
  return added->number;
}

std::int32_t TQVPDFFontManager::SelectFont(std::string_view face, std::int32_t charset,
                                           std::uint8_t style) {
  TQVPDFResource* resource = owner_ != nullptr ? owner_->SharedResources() : nullptr;
  if (resource == nullptr) throw std::runtime_error("No document for the font");
  const std::string requested(face);
  std::string name(face);
  if (!aliases_.Empty())
    if (const std::string* target = aliases_.Find(name)) name = *target;
  if (PdfA() && (settings_.fontMode == qvUseTrueTypeFonts ||
                 settings_.fontMode == qvEmbedSymbolTrueTypeFonts ||
                 settings_.fontMode == qvUseBase14Type1Fonts))
    settings_.fontMode = qvEmbedSubsetTrueType_UsedChar;
  currentIsCID_ = false;
  current_ = nullptr;
  NormaliseFaceRequest(name, charset);
  const std::uint8_t cjkKind = CJKKindOfCharset(charset);

  if (TQVPDFFont* font = Reuse(*resource, name, charset, style, cjkKind)) {
    current_ = font;
    currentIsCID_ = font->IsCID();
    return font->number;
  }

  NormaliseNewFaceName(name);
  const bool noEmbed = IsNoEmbedFaceName(name) || cjkKind != 0;
  auto make = [&] {
    auto font = std::make_unique<TQVPDFFont>(this);
    font->charset = charset;
    font->style = style;
    font->codePage = CharsetToCodePage(charset);
    font->resource = resource;
    return font;
  };
  auto font = make();
  if (settings_.fontMode == qvUseBase14Type1Fonts) {
    font->MakeStandard(StandardFontName(name, style));
  } else {
    try {
      font->LoadFont(name, charset, noEmbed);
    } catch (const std::exception&) {
      const std::string failed = name;
      name = "Arial";
      font = make();
      try {
        font->LoadFont(name, charset, false);
      } catch (const std::exception&) {
        Message(kFontMessageInternal, failed + " replacement was not possibel!");
        throw;
      }
      Message(kFontMessageInternal, failed + " has been replaced with \"Arial\"");
      font->replacedName = failed;
    }
    TQVFontDescriptor& d = *font->descriptor;
    if (d.cidKind != 0) {
      currentIsCID_ = true;
    } else {
      d.SetCJKFont(cjkKind, StyleSuffix(style));
      if (cjkKind == 0) font->encodingText = EncodingFor(*resource, charset, PdfA());
    }
  }
  font->name = name;
  font->cjkKind = cjkKind;
  if (requested != name) font->requestedName = requested;
  return Register(*resource, std::move(font));
}

void TQVPDFFontManager::FinishEmbedding() {
  TQVPDFResource* resource = owner_ != nullptr ? owner_->SharedResources() : nullptr;
  if (resource == nullptr || finishedFor_ == resource) return;
  finishedFor_ = resource;
  const bool usedCharSubset = settings_.fontMode == qvEmbedSubsetTrueType_UsedChar;
  for (auto& object : resource->Fonts())
    if (auto* font = dynamic_cast<TQVPDFFont*>(object.get()); font && font->descriptor)
      font->descriptor->FinishEmbedding(usedCharSubset);
}

void TQVPDFFontManager::WriteFontFiles() {
  for (std::size_t i = 0; i < fontFiles_.Count(); ++i) {
    TQVPDFFontStream& stream = fontFiles_.At(i).Stream();
    if (stream.IsReserved() && !stream.IsWritten()) stream.WriteStream();
  }
}

void TQVPDFFontManager::EndDocument() {
  current_ = nullptr;
  currentIsCID_ = false;
  finishedFor_ = nullptr;
  fontFiles_.Clear();
}

// ---- The hooks ---------------------------------------------------------------------------

std::int32_t TQVPDFFontManager::GetFontValue() const {
  return current_ && current_->descriptor ? current_->descriptor->avgWidth : 0;
}

double TQVPDFFontManager::TextWidthA(const char* text, std::int32_t length, float size) const {
  if (!current_) return 0.0;
  return static_cast<double>(
      current_->TextWidth(reinterpret_cast<const std::uint8_t*>(text), length, size));
}

std::int32_t TQVPDFFontManager::CurrentFontKind() const {
  return current_ && current_->isStandard ? 1 : 0;
}

double TQVPDFFontManager::TextWidthW(const char16_t* text, std::int32_t length, float size,
                                     bool wordSplitInProgress) const {
  if (!current_) return 0.0;
  return static_cast<double>(current_->TextWidthW(text, length, size, wordSplitInProgress));
}

void TQVPDFFontManager::FontVerticalMetrics(std::int32_t& first, std::int32_t& second,
                                            float size) const {
  const long double s = size;
  if (current_ && current_->descriptor) {
    first = qvplatform::Round32(s * current_->descriptor->textAscent / 1000.0L);
    second = qvplatform::Round32(s * current_->descriptor->cellHeight / 1000.0L);
  } else {
    first = qvplatform::Round32(s * 4 / 5);
    second = qvplatform::Round32(s);
  }
}

bool TQVPDFFontManager::MeasureTextA(const char* text, std::int32_t length, std::int32_t scale,
                                     std::int32_t* widths, float size) const {
  return current_ && current_->GetCharWidths(reinterpret_cast<const std::uint8_t*>(text), length,
                                             scale, widths, size);
}

bool TQVPDFFontManager::MeasureTextW(const char16_t* text, std::int32_t length, std::int32_t scale,
                                     std::int32_t* widths, float size) const {
  return current_ && current_->GetCharWidthsW(text, length, scale, widths, size);
}

void TQVPDFFontManager::ConvertWideText(const char16_t* text, std::int32_t length,
                                        std::string& out) const {
  TQVPDFFont::ConvertWideText(current_, text, length, out);
}

bool TQVPDFFontManager::SkipRegistration() const {
  if (!current_ || !current_->NeedsUsedGlyphs()) return true;
  return settings_.fontMode == qvEmbedSubsetTrueType_Charsets && current_->charset != 2;
}

void TQVPDFFontManager::RegisterUsedCharsA(const char* text, std::int32_t length) {
  if (SkipRegistration()) return;
  current_->MarkUsedChars(reinterpret_cast<const std::uint8_t*>(text), length);
}

void TQVPDFFontManager::RegisterUsedCharsW(const char16_t* text, std::int32_t length,
                                           std::string_view levelFace) {
  if (SkipRegistration()) return;
  try {
    current_->MarkUsedCharsW(text, length);
  } catch (const std::exception&) {
    qvplatform::OutputDebugString("ERR: Problem with font " + std::string(levelFace));
  }
}

std::uint32_t TQVPDFFontManager::MapCharCode(std::uint32_t code, std::uint32_t glyph,
                                             std::int32_t& width) {
  if (!current_) return code;
  const std::int32_t g = glyph <= 0xFFFF ? static_cast<std::int32_t>(glyph) : -1;
  return current_->MapCID(code, g, width);
}

}  // namespace vellora
