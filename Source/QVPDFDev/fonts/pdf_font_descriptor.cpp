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
  return fontFile != nullptr ? fontFile->Stream().Tables() : nullptr;
}

bool TQVFontDescriptor::IsSubset() const {
  return embedded && fontFile != nullptr && fontFile->Stream().Tables() != nullptr && !wholeFont &&
         !fontFile->Stream().WholeFont() && !fontFile->IsWholeFont();
}

std::string TQVFontDescriptor::GetFontName() const {
  const std::string& name = embedded ? embeddedFontName : fontName;
  return IsSubset() ? std::string(kSubsetTag) + name : name;
}

void TQVFontDescriptor::FinishEmbedding(bool usedCharSubset) {
  if (cjkKind != 0) embedded = false;
  const TQV_TTF_CMAP* tables = Tables();
  // A font that drew only blanks embeds nothing.
  if (embedded && !wholeFont && (usedCharSubset || cidKind != 0) && tables != nullptr &&
      !tables->hasVisibleGlyph)
    embedded = false;
}

void TQVFontDescriptor::SetCJKFont(std::uint8_t kind, std::string_view styleSuffix) {
  if (cjkKind != 0) return;
  cjkKind = kind;
  const TQVCJKFontInfo* info = CJKFontInfo(kind);
  if (info == nullptr) return;
  GetObjectNumber();
  fontName = std::string(info->baseFont) + std::string(styleSuffix);
  embedded = false;
  cidSystemInfo = std::make_unique<TQVPDFName>(Owner(), std::string());
  cidSystemInfo->GetObjectNumber();
  descendantFont = std::make_unique<TQVPDFName>(Owner(), std::string());
}

std::string TQVFontDescriptor::AsString() {
  auto number = [](std::int32_t value) { return std::to_string(value); };
  std::string s = "/Type/FontDescriptor\n/FontName";
  AppendNameEntry(s, GetFontName());
  s += "\n/Ascent " + number(ascent);
  s += "\n/CapHeight " + number(capHeight);
  s += "\n/Descent " + number(descent);
  s += "\n/Flags " + number(flags);
  s += "\n/FontMatrix [0.001 0 0 0.001 0 0]\n";
  if (cidKind != 0) {
    s += "/FontBBox [0 0 0 0] ";
  } else {
    s += "/FontBBox [" + number(bboxLeft) + ' ' + number(bboxBottom) + ' ' + number(bboxRight) +
         ' ' + number(bboxTop) + "]\n";
  }
  s += "/ItalicAngle " + number(italicAngle);
  s += "\n/StemV " + number(stemV);
  s += "\n/AvgWidth " + number(avgWidth);
  s += "\n/Leading " + number(leading);
  s += "\n/MaxWidth " + number(maxWidth);
  s += "\n/XHeight " + number(xHeight);
  // A descriptor that does not embed never touches the shared file: another font may embed
  // it.
  if (cjkKind == 0 && embedded && fontFile != nullptr)
    s += "\n/FontFile2 " + fontFile->Stream().GetReference();
  return s;
}

}  // namespace vellora
