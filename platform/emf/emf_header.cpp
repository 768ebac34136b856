#include <algorithm>
#include <cstring>

#include "qvplatform/emf_reader.h"

namespace qvplatform {

EmfHeaderStatus ReadEmfHeader(const void* data, std::size_t size, EmfHeader& header) {
  header = EmfHeader{};
  if (data == nullptr || size < sizeof(EMR)) return EmfHeaderStatus::kTooShort;
  const auto* bytes = static_cast<const BYTE*>(data);
  EMR head;
  std::memcpy(&head, bytes, sizeof(head));
  if (head.iType != EMR_HEADER) return EmfHeaderStatus::kNotEnhanced;
  if (head.nSize > size) return EmfHeaderStatus::kSizeBeyondData;
  if (head.nSize < kEmfHeaderBaseSize || head.nSize % 4 != 0) return EmfHeaderStatus::kBadSize;

  ENHMETAHEADER& h = header.fields;
  std::memcpy(&h, bytes, std::min<std::size_t>(head.nSize, sizeof(h)));
  if (h.dSignature != ENHMETA_SIGNATURE) {
    header = EmfHeader{};
    return EmfHeaderStatus::kNotEnhanced;
  }

  // Bytes that belong to the header's fields: a description or a pixel format placed right after
  // a shorter header ends them.
  DWORD fieldsEnd = h.nSize;
  if (h.nDescription != 0 && h.offDescription >= kEmfHeaderBaseSize)
    fieldsEnd = std::min(fieldsEnd, h.offDescription);
  header.hasPixelFormat = fieldsEnd >= kEmfHeaderExtension1Size;
  if (header.hasPixelFormat && h.cbPixelFormat != 0 && h.offPixelFormat >= kEmfHeaderBaseSize)
    fieldsEnd = std::min(fieldsEnd, h.offPixelFormat);
  header.hasMicrometers = fieldsEnd >= kEmfHeaderExtension2Size;

  if (!header.hasPixelFormat) {
    h.cbPixelFormat = h.offPixelFormat = h.bOpenGL = 0;
  }
  if (!header.hasMicrometers) h.szlMicrometers = SIZEL{};
  return EmfHeaderStatus::kOk;
}

const char* EmfRecordErrorText(EmfRecordError error) {
  switch (error) {
    case EmfRecordError::kNone:
      return "no error";
    case EmfRecordError::kTruncatedHead:
      return "fewer than 8 bytes left for a record";
    case EmfRecordError::kSizeTooSmall:
      return "record size below 8";
    case EmfRecordError::kSizeUnaligned:
      return "record size not a multiple of 4";
    case EmfRecordError::kSizeBeyondData:
      return "record size beyond the data";
  }
  return "unknown error";
}

}  // namespace qvplatform
