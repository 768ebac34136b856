// TQVPDFFont: one font resource /Fn of the shared resources. It loads a face through the
// platform's font service (metrics, widths, the font file), answers width queries, records
// the characters and glyphs used while pages are drawn, and at the end of the document
// writes its font dictionary in one of four shapes: standard Type1, simple TrueType, Type0
// with an Identity-H CIDFontType2 descendant, or predefined CJK Type0.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "QVPDFDev/fonts/cid_to_gid_map.h"
#include "QVPDFDev/fonts/cid_unicode_cmap.h"
#include "QVPDFDev/fonts/cid_width_array.h"
#include "QVPDFDev/fonts/pdf_font_descriptor.h"
#include "QVPDFDev/objects/pdf_simple_objects.h"

namespace vellora {

class TQVPDFFontManager;
class TQVPDFResource;

class TQVPDFFont : public TQVPDFName {
 public:
  // manager: the font services of the device (settings, font files, reference DC).
  explicit TQVPDFFont(TQVPDFFontManager* manager);
  ~TQVPDFFont() override;
  std::string_view ClassName() const override { return "TQVPDFFont"; }

  // "/F" + number + " " + the reference.
  std::string GetEntryString() override;
  // Writes the font dictionary and the objects only it refers to (pdf_font_writer.cpp).
  void WriteObject() override;

  // Loads the face (pdf_font_loader.cpp): metrics, widths, the CID decision, the names, the
  // embedding decision and the font file. face loses a leading "@". Raises
  // std::runtime_error("Cannot load font data  (dc=..)!") when the face has no metrics.
  void LoadFont(std::string& face, std::int32_t requestedCharset, bool noEmbed);
  // A standard Type1 font (font mode 3) with its standard name.
  void MakeStandard(std::string baseName);

  // Width queries (pdf_font_metrics.cpp): from the font file's tables when present, else
  // from widths. outWidths get round(scale * size * advance / em) per code; codes outside the
  // font's range are left untouched. False when the font has neither.
  bool GetCharWidths(const std::uint8_t* codes, std::int32_t count, long double scale,
                     std::int32_t* outWidths, float size) const;
  bool GetCharWidthsW(const char16_t* codes, std::int32_t count, long double scale,
                      std::int32_t* outWidths, float size) const;
  // The sum of size * advance / em, unrounded; skipBlanks leaves out codes up to 32.
  long double TextWidth(const std::uint8_t* codes, std::int32_t count, float size) const;
  long double TextWidthW(const char16_t* codes, std::int32_t count, float size,
                         bool skipBlanks) const;

  // Record used glyphs for subsetting (embedded fonts with parsed tables only). 8-bit text is
  // read in the font's code page, or byte by byte for charset 2.
  void MarkUsedChars(const std::uint8_t* codes, std::int32_t count);
  void MarkUsedCharsW(const char16_t* codes, std::int32_t count);

  // The CID of a character of a CID font, allotted on first use: the glyph index for CID
  // kind 1, else the glyph's own number, a new one from the font file's counter when the
  // glyph has none yet (glyph 0 keeps CID 0). width receives the width recorded for the code.
  // 0 for a font that is not embedded or has no parsed tables (width unchanged).
  std::uint16_t MapCID(std::uint32_t code, std::int32_t glyph, std::int32_t& width);

  // 8-bit text for a font: the low bytes for charset 2; else the font's code page, "?" for
  // characters it lacks (and the low bytes when all of those lie in U+0000-U+00FF or
  // U+F000-U+F0FF). Converts exactly count units.
  static void ConvertWideText(const TQVPDFFont* font, const char16_t* text, std::int32_t count,
                              std::string& out);

  // The font program is written as a subset, so the glyphs used must be registered.
  bool NeedsUsedGlyphs() const;
  bool IsCID() const { return descriptor && descriptor->cidKind != 0; }
  TQVPDFFontManager* Manager() const { return manager_; }

  std::string name;           // the requested face after normalisation
  std::string requestedName;  // the face as requested, when it differs
  std::string replacedName;   // the face that failed to load and was replaced by "Arial"
  std::string matchedName;    // the face the platform matched ("Liberation Sans" for "Arial")
  bool isStandard = false;
  std::string standardName;
  std::uint8_t style = 0;
  std::int32_t charset = 0;
  std::int32_t actualCharset = 0;
  std::uint32_t codePage = 1252;
  std::int32_t number = 0;
  std::int32_t firstChar = 0;
  std::int32_t lastChar = 0;
  std::unique_ptr<TQVPDFNumArray> widths;  // one spare entry after lastChar
  std::unique_ptr<TQVFontDescriptor> descriptor;
  std::unique_ptr<TQVCMapString> toUnicode;
  std::unique_ptr<TQVPDFWArray> wArray;
  std::unique_ptr<TQVCIDToGID> cidToGid;
  std::uint8_t cjkKind = 0;
  std::string encodingText;  // the /Encoding value of a simple TrueType font
  TQVPDFResource* resource = nullptr;

 private:
  // Steps of LoadFont (pdf_font_loader.cpp).
  void ReadMatchedName();
  // The code range (a symbol face's U+F0xx range as bytes) and each byte's character.
  void ReadCodes(std::int32_t firstChar, std::int32_t lastChar, bool symbolCharset);
  void DecideCID(std::string_view face, std::int32_t requestedCharset, bool noEmbed);
  void AddSimpleToUnicode();
  void AttachFontFile();
  void FallBackToSimple();
  void BuildGlyphMap();
  void WidthsFromTable(const std::vector<std::int32_t>& table);
  void WidthsFromFontFile();
  bool IsExcluded(std::string_view face) const;
  // Steps of WriteObject (pdf_font_writer.cpp).
  std::string SimpleBody();
  std::string CIDBody();
  std::string CJKBody();
  void WriteStandard();
  void WriteStandIn();

  TQVPDFFontManager* manager_;
  std::vector<std::int32_t> charWidths_;     // the platform's widths of firstChar..lastChar
  std::array<char16_t, 256> byteUnicode_{};  // the code page's character of each byte (0: none)
  mutable std::string scratch_;              // conversions while measuring, reused
  bool symbolInCID_ = false;
  bool noCID_ = false;
  bool unicodeReferenced_ = false;
};

}  // namespace vellora
