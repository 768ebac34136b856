// What a font file stream needs from outside: the font descriptor that created it and a
// receiver for reports. The PDF font's TQVFontDescriptor implements the first, the PDF device
// the second (as a numbered message).
#pragma once

#include <cstdint>
#include <string>

namespace vellora {

class TQVFontStreamDescriptor {
 public:
  // 0 for a simple font; 1 for a CID font whose CIDs are glyph numbers; above 1 for a CID
  // font whose CIDs are handed out in order of first use.
  virtual std::uint8_t GetCIDKind() const = 0;
  // Embed the font file as it is, without subsetting.
  virtual bool IsWholeFont() const = 0;
  // The font's name as written in the PDF, for messages.
  virtual std::string GetFontName() const = 0;

 protected:
  ~TQVFontStreamDescriptor() = default;
};

class TQVFontStreamReporter {
 public:
  // No subset could be built; the whole font file is embedded instead. Must not throw.
  virtual void FontSubsetFailed(const std::string& fontName, const std::string& reason) = 0;

 protected:
  ~TQVFontStreamReporter() = default;
};

}  // namespace vellora
