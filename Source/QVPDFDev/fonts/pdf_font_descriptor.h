// The /FontDescriptor of a TrueType font resource: its metrics at an em of 1000, its flags,
// the glyph of each byte, and whether and how its font file is embedded. It also owns the
// descendant font dictionary of a CID font and the CIDSystemInfo of a predefined CJK font.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "QVPDFDev/objects/pdf_object.h"
#include "QVPDFDev/objects/pdf_simple_objects.h"
#include "QVPDFDev/truetype/ttf_stream_descriptor.h"

namespace vellora {

class TQVPDFFont;
class TQVPDFFontFile;
class TQVPDFFontStream;
class TQV_TTF_CMAP;

// The tag that marks a subset font program in /BaseFont and /FontName.
constexpr std::string_view kSubsetTag = "TORVAN+";

class TQVFontDescriptor : public TQVCustomPDFType, public TQVFontStreamDescriptor {
 public:
  TQVFontDescriptor(TQVPDFObjectOwner* owner, TQVPDFFont* owningFont)
      : TQVCustomPDFType(owner), font(owningFont) {}
  std::string_view ClassName() const override { return "TQVFontDescriptor"; }

  // The descriptor body. Valid once FinishEmbedding has run (the font's writer calls it).
  std::string AsString() override;

  // The name written as /FontName and /BaseFont: the name of the embedded font program when
  // the font is embedded, else the PostScript-style name of the requested face; with the
  // subset tag when the program is written as a subset (CID fonts always are, unless their
  // subset failed).
  std::string GetFontName() const override;
  std::uint8_t GetCIDKind() const override { return cidKind; }
  bool IsWholeFont() const override { return wholeFont; }

  // The end-of-document embedding decision, before any name is written: a font that drew only
  // blanks under font mode 5 or as a CID font is not embedded (unless whole); an embedded
  // font's file data is prepared (subset or whole), so the subset tag is known.
  void FinishEmbedding(bool usedCharSubset);

  // For a descriptor without a CJK kind: stores kind 1..4 and the predefined CJK font name
  // (base font + style suffix), and makes the CIDSystemInfo and descendant objects.
  void SetCJKFont(std::uint8_t kind, std::string_view styleSuffix);

  // The parsed tables of the embedded font file, or null.
  TQV_TTF_CMAP* Tables() const;
  // The font program is written as a subset.
  bool IsSubset() const;

  TQVPDFFont* font;
  std::string fontName;          // PostScript-style name of the requested face (+ ",Bold" ...)
  std::string embeddedFontName;  // the same of the face the platform matched
  std::int32_t ascent = 0;
  std::int32_t cellHeight = 0;  // the first vertical value: text height at em 1000
  std::int32_t textAscent = 0;  // the second: ascent-like value
  std::int32_t capHeight = 0;
  std::int32_t descent = 0;
  std::int32_t flags = 32;
  std::int32_t bboxLeft = 0, bboxTop = 0, bboxRight = 0, bboxBottom = 0;
  std::int32_t italicAngle = 0;
  std::int32_t stemV = 0;
  std::int32_t avgWidth = 0;
  std::int32_t leading = 0;
  std::int32_t maxWidth = 0;
  std::int32_t xHeight = 0;
  TQVPDFFontFile* fontFile = nullptr;  // shared through the font file list; not owned
  bool embedded = false;
  std::array<std::int32_t, 258> glyphMap{};  // glyph index of codes 1..255 (simple fonts)
  bool wholeFont = false;
  std::uint8_t cjkKind = 0;
  std::unique_ptr<TQVPDFName> descendantFont;
  std::unique_ptr<TQVPDFName> cidSystemInfo;
  std::uint8_t cidKind = 0;  // 0 simple, 1 Identity-H with /CIDToGIDMap, above 1 CIDs by use
};

// The predefined CJK fonts by CJK kind 1..4.
struct TQVCJKFontInfo {
  const char* baseFont;
  const char* encoding;  // with its "/"
  const char* ordering;
  int supplement;
  int charset;
};
const TQVCJKFontInfo* CJKFontInfo(std::uint8_t kind);

}  // namespace vellora
