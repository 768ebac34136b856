#include "QVPDFDev/fonts/pdf_font_descriptor.h"

#include "QVPDFDev/fonts/font_file_list.h"
#include "QVPDFDev/fonts/pdf_font.h"

namespace vellora {
namespace {

const TQVCJKFontInfo kCJKFonts[] = {
    {"HeiseiMin-W3", "/90msp-RKSJ-H", "Japan1", 2, 128},
    {"HYSMyeongJo-Medium", "/KSCms-UHC-H", "Korea1", 1, 129},
    {"AdobeSongStd-Light-Acro", "/GBK-EUC-H", "GB1", 2, 134},
    {"AdobeMingStd-Light-Acro", "/ETenms-B5-H", "CNS1", 0, 136},
};

}  // namespace

const TQVCJKFontInfo* CJKFontInfo(std::uint8_t kind) {
  return kind >= 1 && kind <= 4 ? &kCJKFonts[kind - 1] : nullptr;
}

TQV_TTF_CMAP* TQVFontDescriptor::Tables() const {
  return FontFile != nullptr ? FontFile->Stream().Tables() : nullptr;
}

bool TQVFontDescriptor::IsSubset() const {
  return Embedded && FontFile != nullptr && FontFile->Stream().Tables() != nullptr && !WholeFont &&
         !FontFile->Stream().WholeFont() && !FontFile->IsWholeFont();
}

std::string TQVFontDescriptor::GetFontName() const {
  const std::string& name = Embedded ? EmbeddedFontName : FontName;
  return IsSubset() ? std::string(kSubsetTag) + name : name;
}

void TQVFontDescriptor::FinishEmbedding(bool usedCharSubset) {
  if (CJKKind != 0) Embedded = false;
  const TQV_TTF_CMAP* tables = Tables();
  // A font that drew only blanks embeds nothing.
  if (Embedded && !WholeFont && (usedCharSubset || CIDKind != 0) && tables != nullptr &&
      !tables->HasVisibleGlyph)
    Embedded = false;
}

void TQVFontDescriptor::SetCJKFont(std::uint8_t kind, std::string_view styleSuffix) {
  if (CJKKind != 0) return;
  CJKKind = kind;
  const TQVCJKFontInfo* info = CJKFontInfo(kind);
  if (info == nullptr) return;
  GetObjectNumber();
  FontName = std::string(info->baseFont) + std::string(styleSuffix);
  Embedded = false;
  CIDSystemInfo = std::make_unique<TQVPDFName>(Owner(), std::string());
  CIDSystemInfo->GetObjectNumber();
  DescendantFont = std::make_unique<TQVPDFName>(Owner(), std::string());
}

std::string TQVFontDescriptor::AsString() {
  auto number = [](std::int32_t value) { return std::to_string(value); };
  std::string s = "/Type/FontDescriptor\n/FontName";
  AppendNameEntry(s, GetFontName());
  s += "\n/Ascent " + number(Ascent);
  s += "\n/CapHeight " + number(CapHeight);
  s += "\n/Descent " + number(Descent);
  s += "\n/Flags " + number(Flags);
  s += "\n/FontMatrix [0.001 0 0 0.001 0 0]\n";
  if (CIDKind != 0) {
    s += "/FontBBox [0 0 0 0] ";
  } else {
    s += "/FontBBox [" + number(BBoxLeft) + ' ' + number(BBoxBottom) + ' ' + number(BBoxRight) +
         ' ' + number(BBoxTop) + "]\n";
  }
  s += "/ItalicAngle " + number(ItalicAngle);
  s += "\n/StemV " + number(StemV);
  s += "\n/AvgWidth " + number(AvgWidth);
  s += "\n/Leading " + number(Leading);
  s += "\n/MaxWidth " + number(MaxWidth);
  s += "\n/XHeight " + number(XHeight);
  // A descriptor that does not embed never touches the shared file: another font may embed
  // it.
  if (CJKKind == 0 && Embedded && FontFile != nullptr)
    s += "\n/FontFile2 " + FontFile->Stream().GetReference();
  return s;
}

}  // namespace vellora
