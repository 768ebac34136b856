// The stream object: data collected in memory, compressed and armoured by the document's
// settings when written, with the exact frame
//   "N 0 obj" CR "<<" extra "/Length n" [LF "/Filter [...]"] [" /Length1 m"] " >>" CR LF
//   "stream" LF data LF "endstream" CR LF "endobj" LF
// and freed afterwards. Also decodes streams copied from an input PDF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "QVPDFDev/filters/zlib_binding.h"
#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

class TQVPDFStream : public TQVCustomPDFType {
 public:
  // Kind "T" marks a page-content stream.
  TQVPDFStream(TQVPDFObjectOwner* owner, char kind = 0) : TQVCustomPDFType(owner), kind_(kind) {}
  std::string_view ClassName() const override { return "TQVPDFStream"; }

  // Creates (4096 bytes reserved) or empties the data; for kind "T" also tells the owner
  // that the written drawing state is unknown and clears the filter list.
  virtual void BeginData();
  // Compresses, armours, writes the whole object and frees the data.
  virtual void WriteStream();

  // Append to the data when it exists (AddString: the caller knows it does).
  void WriteString(std::string_view text);
  void AddString(std::string_view text);
  void WriteBytes(const void* bytes, std::size_t count);
  // The UTF-16 units, two bytes each, little-endian (the units as stored).
  void WriteWide(std::u16string_view text);

  // With encode set both raise "Not impl."; else they put their filter name in front.
  void SetDCTFilter(bool encode);
  void SetCCITTFilter(bool encode);

  // The encoders transform the data in place and put their filter name in front of the list.
  // Flate: level by index (ZCompressionLevels); on a zlib failure the data stays unchanged.
  void FlateEncode(int levelIndex);
  // Replaces the data only when its run-length form is shorter.
  void RunLengthEncode();
  void ASCII85Encode();
  void ASCIIHexEncode();

  // Decodes input data by its input filter, in decoding order, as far as the filters are
  // ASCIIHex, ASCII85, Flate or RunLength (also by their short names). When every filter is
  // undone the stream is no longer input data and is written with the document's own
  // compression; otherwise the remaining filters stay its input filter. Raises
  // "Problem in input PDF file" for damaged data or output beyond maxDecodedSize bytes.
  void DecodeFilters(std::size_t maxDecodedSize = kDefaultMaxDecodedSize);

  bool HasData() const { return hasData_; }
  const std::vector<std::uint8_t>& Data() const { return data_; }
  std::vector<std::uint8_t>& MutableData() { return data_; }
  // Takes the bytes as the stream's data (creating it).
  void SetData(std::vector<std::uint8_t> data);

  char Kind() const { return kind_; }
  const std::string& FilterList() const { return filters_; }
  bool IsJPEGData() const { return jpegData_; }
  bool IsCompressed() const { return compressed_; }
  void SetCompressed(bool value) { compressed_ = value; }
  bool ForceCompression() const { return forceCompression_; }
  void SetForceCompression(bool value) { forceCompression_ = value; }
  std::uint32_t Length1() const { return length1_; }
  void SetLength1(std::uint32_t value) { length1_ = value; }
  const std::string& ExtraEntries() const { return extraEntries_; }
  void SetExtraEntries(std::string text) { extraEntries_ = std::move(text); }
  bool ContentStarted() const { return contentStarted_; }
  void SetContentStarted(bool value) { contentStarted_ = value; }
  // A stream taken from an input PDF, written as it is with its own /Filter value.
  bool IsInputData() const { return inputData_; }
  void SetInputData(bool value) { inputData_ = value; }
  const std::string& InputFilter() const { return inputFilter_; }
  void SetInputFilter(std::string filter) { inputFilter_ = std::move(filter); }

 protected:
  void PrependFilter(std::string_view name) { filters_.insert(0, name); }
  void FreeData();

 private:
  bool jpegData_ = false;
  char kind_;
  std::string filters_;
  std::string inputFilter_;
  std::uint32_t length1_ = 0;
  bool contentStarted_ = false;
  bool inputData_ = false;
  bool hasData_ = false;
  std::vector<std::uint8_t> data_;
  bool forceCompression_ = false;
  bool compressed_ = false;
  std::string extraEntries_;
};

}  // namespace vellora
