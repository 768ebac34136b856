// TQVPDFFontManager: the font services of a PDF device. It holds the font settings, the face
// aliases, the font file list and the reference device context; selects (and reuses) the
// font resources of the shared resource dictionary; and answers every font hook of the
// device from the current font, so that the device's overrides only forward:
//
//   slot 46 GetFontValue, 50 TextWidthA, 51 CurrentFontKind, 52 TextWidthW,
//   53 FontVerticalMetrics, 54 MeasureTextA, 55 MeasureTextW, 56 ConvertWideText,
//   62 RegisterUsedCharsA, 63 MapCharCode, 64 RegisterUsedCharsW.
//
// The manager lives as long as the device; the fonts it selects belong to the document's
// resources (owner->SharedResources()), which write them at the end of the document.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "QVPDFDev/fonts/font_aliases.h"
#include "QVPDFDev/fonts/font_file_list.h"
#include "QVPDFDev/fonts/font_settings.h"
#include "QVPDFDev/objects/pdf_object_owner.h"
#include "QVPDFDev/truetype/ttf_stream_descriptor.h"
#include "qvplatform/font_types.h"

namespace vellora {

class TQVPDFFont;
class TQVPDFResource;

class TQVPDFFontManager : public TQVFontStreamReporter {
 public:
  explicit TQVPDFFontManager(TQVPDFObjectOwner* owner);
  ~TQVPDFFontManager();
  TQVPDFFontManager(const TQVPDFFontManager&) = delete;
  TQVPDFFontManager& operator=(const TQVPDFFontManager&) = delete;

  TQVPDFFontSettings& Settings() { return settings_; }
  const TQVPDFFontSettings& Settings() const { return settings_; }
  // The font alias command (5573): the text split at its first "=" gives name and target.
  bool AddFontAlias(std::string_view name, std::string_view target) {
    return aliases_.Add(name, target);
  }
  TQVFontAliases& Aliases() { return aliases_; }

  // Receivers of the numbered messages and of failed subsets (not owned). Without one, the
  // texts are kept in RecordedMessages ("5: ...").
  void SetMessageReceiver(TQVFontMessageReceiver* receiver) { receiver_ = receiver; }
  void SetSubsetReporter(TQVFontStreamReporter* reporter) { subsetReporter_ = reporter; }
  const std::vector<std::string>& RecordedMessages() const { return recorded_; }

  // The font number n of "/Fn" for a face, a Windows character set and style bits (1 bold,
  // 2 italic); the font becomes the current font. A face that cannot be loaded is replaced
  // by "Arial" (message 5); raises when that fails too, or outside a document.
  std::int32_t SelectFont(std::string_view face, std::int32_t charset, std::uint8_t style);
  TQVPDFFont* CurrentFont() const { return current_; }
  bool CurrentFontIsCID() const { return currentIsCID_; }
  // The resolved name of the first font ever selected (empty until then).
  const std::string& FirstFontName() const { return firstFontName_; }

  // ---- The hooks ---------------------------------------------------------------------
  // Neutral answers without a current font as the comments say.
  std::int32_t GetFontValue() const;  // the average width (0)
  double TextWidthA(const char* text, std::int32_t length, float size) const;  // (0)
  std::int32_t CurrentFontKind() const;  // 1 for a standard Type1 font (0)
  double TextWidthW(const char16_t* text, std::int32_t length, float size,
                    bool wordSplitInProgress) const;  // (0)
  // first: ascent-like value, second: text height, at size (round(size * 4 / 5), round(size)).
  void FontVerticalMetrics(std::int32_t& first, std::int32_t& second, float size) const;
  // Widths in thousandths of a unit at scale (thousandths); false without a font or widths.
  bool MeasureTextA(const char* text, std::int32_t length, std::int32_t scale, std::int32_t* widths,
                    float size) const;
  bool MeasureTextW(const char16_t* text, std::int32_t length, std::int32_t scale,
                    std::int32_t* widths, float size) const;
  // Exactly length units to 8-bit text for the current font (code page 1252 without one).
  void ConvertWideText(const char16_t* text, std::int32_t length, std::string& out) const;
  // Used characters, for fonts whose program is written as a subset; nothing under font
  // mode 4 unless the font's charset is 2 (that mode marks whole charsets at load).
  void RegisterUsedCharsA(const char* text, std::int32_t length);
  // An exception of the marking goes to the debug output as "ERR: Problem with font " +
  // levelFace and is not passed on.
  void RegisterUsedCharsW(const char16_t* text, std::int32_t length, std::string_view levelFace);
  // The CID of a character of the current CID font (width in thousandths in and out); the
  // code unchanged without a current font.
  std::uint32_t MapCharCode(std::uint32_t code, std::uint32_t glyph, std::int32_t& width);

  // ---- Document lifecycle ----------------------------------------------------------------
  // After the resources were written (their fonts write the font files they embed): writes
  // any font file that a written descriptor refers to and no font wrote.
  void WriteFontFiles();
  // After the resources were written or dropped: forgets the current font and frees the font
  // files.
  void EndDocument();
  // Runs once when the first font is written: each font's final embedding decision, so that
  // the font files know every font that embeds them before one is written.
  void FinishEmbedding();

  // ---- For the fonts -----------------------------------------------------------------------
  TQVPDFObjectOwner* Owner() const { return owner_; }
  bool PdfA() const;
  qvplatform::HDC ReferenceDC();
  TQVPDFFontFileList& FontFiles() { return fontFiles_; }
  void Message(std::int32_t code, const std::string& text);
  void FontSubsetFailed(const std::string& fontName, const std::string& reason) override;

 private:
  std::int32_t Register(TQVPDFResource& resource, std::unique_ptr<TQVPDFFont> font);
  TQVPDFFont* Reuse(TQVPDFResource& resource, std::string_view name, std::int32_t charset,
                    std::uint8_t style, std::uint8_t cjkKind) const;
  bool SkipRegistration() const;

  TQVPDFObjectOwner* owner_;
  TQVPDFFontSettings settings_;
  TQVFontAliases aliases_;
  TQVPDFFontFileList fontFiles_;
  qvplatform::HDC referenceDC_ = 0;
  TQVFontMessageReceiver* receiver_ = nullptr;
  TQVFontStreamReporter* subsetReporter_ = nullptr;
  std::vector<std::string> recorded_;
  TQVPDFFont* current_ = nullptr;
  bool currentIsCID_ = false;
  std::string firstFontName_;
  TQVPDFResource* finishedFor_ = nullptr;
};

}  // namespace vellora
