// The device-wide list of font files. One file serves every embedding font resource whose
// font program has the same key (the PostScript-style name of the face the platform matched,
// upper case), for example one face under two character sets; it is read once, when the
// first font that embeds it is loaded, and written once.
//
// A file whose CIDs are handed out by use (CID kind above 1) renumbers its glyphs, so those
// fonts never share a file with simple fonts or CID kind 1, which keep glyph numbers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "QVPDFDev/fonts/pdf_font_stream.h"
#include "QVPDFDev/truetype/ttf_stream_descriptor.h"

namespace vellora {

class TQVFontDescriptor;

// One font file and the descriptors that embed it. As the stream's descriptor it answers for
// all of them: subset as a simple font while any simple font embeds it (the subset then keeps
// the character map), whole when any of them wants the whole file.
class TQVPDFFontFile : public TQVFontStreamDescriptor {
 public:
  TQVPDFFontFile(TQVPDFObjectOwner* owner, std::string key, TQVFontStreamReporter* reporter);

  std::uint8_t GetCIDKind() const override;
  bool IsWholeFont() const override;
  std::string GetFontName() const override;

  TQVPDFFontStream& Stream() { return stream_; }
  const TQVPDFFontStream& Stream() const { return stream_; }
  const std::string& Key() const { return key_; }
  const std::vector<const TQVFontDescriptor*>& Sharers() const { return sharers_; }
  void AddSharer(const TQVFontDescriptor* descriptor);

  // Reading: done once; Unreadable when the platform gave no bytes.
  bool Read() const { return read_; }
  bool Unreadable() const { return unreadable_; }
  void SetRead(bool unreadable) {
    read_ = true;
    unreadable_ = unreadable;
  }

 private:
  std::string key_;
  std::vector<const TQVFontDescriptor*> sharers_;
  TQVPDFFontStream stream_;
  bool read_ = false;
  bool unreadable_ = false;
};

class TQVPDFFontFileList {
 public:
  // The key of a font program: the trimmed name in upper case, marked for CID kinds above 1.
  static std::string KeyFor(std::string_view fontName, std::uint8_t cidKind);

  TQVPDFFontFile* Find(std::string_view key) const;
  TQVPDFFontFile& Add(TQVPDFObjectOwner* owner, std::string key, TQVFontStreamReporter* reporter);
  std::size_t Count() const { return files_.size(); }
  TQVPDFFontFile& At(std::size_t index) const { return *files_.at(index); }
  void Clear() { files_.clear(); }

 private:
  std::vector<std::unique_ptr<TQVPDFFontFile>> files_;
};

}  // namespace vellora
