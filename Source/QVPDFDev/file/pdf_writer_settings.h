// Document settings that the object writers read from their owner.
#pragma once

#include <cstdint>

namespace vellora {

enum TQVCompressStreamMethod : std::uint8_t {
  qvCompressNone = 0,
  qvCompressFlate = 1,
  qvCompressRunlength = 2,
  qvCompressFastFlate = 3,
};

enum TQVEncodeStreamMethod : std::uint8_t {
  qvEncodeNone = 0,
  qvASCII85Encode = 1,
  qvASCIIHexEncode = 2,
};

enum TQVPDFPageModes : std::uint8_t {
  pwUseNone = 0,
  qvUseOutlines = 1,
  qvUseThumbs = 2,
  qvFullScreen = 3,
};

enum TQVPDFZoomModes : std::uint8_t {
  pwZoomDefault = 0,
  pwZoomFitPage = 1,
  pwZoomFitVertical = 2,
  pwZoomFitHorizontal = 3,
};

enum TQVPDFAMode : std::uint8_t {
  folvioaOff = 0,
  folvioaLevelA = 1,
  folvioaLevelB = 2,  // PDF/A-1b
};

// TFolvioOptions: value n is bit n of the byte.
enum TFolvioOption : int {
  qvAutoLinks = 0,
  qvHideToolbar = 1,
  qvHideMenuBar = 2,
  qvHideWindowUI = 3,
};

struct TQVPDFWriterSettings {
  TQVCompressStreamMethod compression = qvCompressNone;
  TQVEncodeStreamMethod armour = qvEncodeNone;
  TQVPDFPageModes pageMode = pwUseNone;
  TQVPDFZoomModes zoomMode = pwZoomDefault;
  TQVPDFAMode pdfaMode = folvioaOff;
  std::uint8_t options = 0;  // TFolvioOptions bits

  bool HasOption(TFolvioOption option) const { return (options >> option) & 1u; }

  void SetCompression(TQVCompressStreamMethod method) { compression = method; }
  // The fast flate switch: on selects qvCompressFastFlate, off leaves the compression alone.
  void SetFastFlate(bool on) {
    if (on) compression = qvCompressFastFlate;
  }
  void SetArmour(TQVEncodeStreamMethod method) { armour = method; }
  void SetPageMode(TQVPDFPageModes mode) { pageMode = mode; }
  void SetZoomMode(TQVPDFZoomModes mode) { zoomMode = mode; }
  void SetPdfaMode(TQVPDFAMode mode) { pdfaMode = mode; }
  void SetOptionBits(std::uint8_t bits) { options = bits; }
};

}  // namespace vellora
