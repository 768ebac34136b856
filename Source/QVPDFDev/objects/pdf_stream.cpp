#include "QVPDFDev/objects/pdf_stream.h"

#include <exception>
#include <stdexcept>

#include "QVPDFDev/filters/ascii_armour.h"
#include "QVPDFDev/filters/run_length_filter.h"

namespace vellora {
namespace {

constexpr std::size_t kInitialCapacity = 4096;
// Streams up to this size get zlib's best level; larger ones (images) the default level.
constexpr std::size_t kBestLevelLimit = 50000;
constexpr int kLevelDefault = 2;
constexpr int kLevelBest = 3;

}  // namespace

void TQVPDFStream::BeginData() {
  if (!hasData_) {
    data_.reserve(kInitialCapacity);
    hasData_ = true;
  }
  data_.clear();
  contentStarted_ = false;
  if (kind_ == 'T') {
    if (Owner() != nullptr) Owner()->MarkContentStateDirty();
    filters_.clear();
  }
}

void TQVPDFStream::WriteString(std::string_view text) {
  if (hasData_) data_.insert(data_.end(), text.begin(), text.end());
}

void TQVPDFStream::AddString(std::string_view text) {
  hasData_ = true;
  data_.insert(data_.end(), text.begin(), text.end());
}

void TQVPDFStream::WriteBytes(const void* bytes, std::size_t count) {
  if (!hasData_ || count == 0) return;
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  data_.insert(data_.end(), p, p + count);
}

void TQVPDFStream::WriteWide(std::u16string_view text) {
  if (!hasData_ || text.empty()) return;
  data_.reserve(data_.size() + 2 * text.size());
  for (char16_t unit : text) {
    data_.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    data_.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
}

void TQVPDFStream::SetData(std::vector<std::uint8_t> data) {
  data_ = std::move(data);
  hasData_ = true;
}

void TQVPDFStream::FreeData() {
  std::vector<std::uint8_t>().swap(data_);
  hasData_ = false;
}

void TQVPDFStream::SetDCTFilter(bool encode) {
  if (encode) throw std::runtime_error("Not impl.");
  PrependFilter("/DCTDecode");
  jpegData_ = true;
}

void TQVPDFStream::SetCCITTFilter(bool encode) {
  if (encode) throw std::runtime_error("Not impl.");
  PrependFilter("/CCITTFaxDecode");
}

void TQVPDFStream::FlateEncode(int levelIndex) {
  try {
    std::vector<std::uint8_t> packed = ZCompressBuffer(data_.data(), data_.size(), levelIndex);
    data_ = std::move(packed);
    hasData_ = true;
    PrependFilter("/FlateDecode");
  } catch (const std::exception&) {
    // Written uncompressed instead.
  }
  compressed_ = true;
}

void TQVPDFStream::RunLengthEncode() {
  if (data_.empty()) return;
  std::vector<std::uint8_t> packed = RunLengthEncodeBytes(data_.data(), data_.size());
  if (packed.size() >= data_.size()) return;
  data_ = std::move(packed);
  PrependFilter("/RunLengthDecode");
  compressed_ = true;
}

void TQVPDFStream::ASCII85Encode() {
  try {
    data_ = ASCII85EncodeBytes(data_.data(), data_.size());
    hasData_ = true;
    PrependFilter("/ASCII85Decode");
  } catch (const std::exception&) {
    // The data stays as it was.
  }
}

void TQVPDFStream::ASCIIHexEncode() {
  try {
    data_ = ASCIIHexEncodeBytes(data_.data(), data_.size());
    hasData_ = true;
    PrependFilter("/ASCIIHexDecode");
  } catch (const std::exception&) {
    // The data stays as it was.
  }
}

void TQVPDFStream::WriteStream() {
  TQVPDFFileWriter& out = Out();
  const TQVPDFWriterSettings& settings = Owner()->WriterSettings();
  std::string filterText;
  if (inputData_) {
    MarkWritten();
    if (!inputFilter_.empty()) filterText = "\n/Filter " + inputFilter_;
  } else {
    // Data compressed before (by its owner or an earlier write) is not compressed again.
    const bool compress =
        !jpegData_ && !compressed_ && (settings.compression != qvCompressNone || forceCompression_);
    if (compress) {
      switch (settings.compression) {
        case qvCompressFastFlate:
          FlateEncode(kLevelDefault);
          break;
        case qvCompressRunlength:
          RunLengthEncode();
          break;
        default:
          FlateEncode(data_.size() <= kBestLevelLimit ? kLevelBest : kLevelDefault);
          break;
      }
    }
    if (settings.armour == qvASCII85Encode) {
      ASCII85Encode();
    } else if (settings.armour == qvASCIIHexEncode) {
      ASCIIHexEncode();
    }
    MarkWritten();
    if (!filters_.empty()) filterText = "\n/Filter [" + filters_ + "]";
  }
  if (!hasData_) {
    data_.clear();
    hasData_ = true;
  }
  std::string head = ObjHeader();
  head += extraEntries_;
  head += "/Length ";
  head += std::to_string(data_.size());
  head += filterText;
  if (length1_ != 0) {
    head += " /Length1 ";
    head += std::to_string(length1_);
  }
  head += " >>\r\nstream\n";
  out.Write(head);
  if (!data_.empty()) {
    EncryptData(data_.data(), data_.size());
    out.Write(data_.data(), data_.size());
  }
  out.Write("\nendstream\r\nendobj\n");
  FreeData();
  filters_.clear();
}

}  // namespace vellora
