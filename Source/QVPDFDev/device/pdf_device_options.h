// The settings of a PDF device, grouped by what they decide. The host sets them through the
// engine's properties and commands, each group through its own operations; the device reads
// them and changes none of them, except where a field says otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "QVPDFDev/file/pdf_writer_settings.h"
#include "QVPDFDev/metadata/info_block.h"
#include "QVPDFDev/security/security_options.h"

namespace vellora {

// Where the document is written and what it reads.
struct TQVPDFFileOptions {
  std::string outputFileName;  // empty: memory output
  std::string inputFileName;
  // 1..5 load the input file at BeginDoc; BeginDoc clears it when the file is not loaded.
  std::int32_t inputFileMode = 0;
  std::int32_t readMode = 0;  // non-zero: only an input PDF is read; nothing is written

  void SetOutputFile(std::string name) { outputFileName = std::move(name); }
  void SetInputFile(std::string name) { inputFileName = std::move(name); }
  void SetInputFileMode(std::int32_t mode) { inputFileMode = mode; }
  void SetReadMode(std::int32_t mode) { readMode = mode; }
};

// The JPEG qualities of the host's JPEG settings 1..5.
inline constexpr std::int32_t kJpegSettingQualities[] = {10, 25, 50, 75, 100};
inline constexpr std::int32_t kMaxJpegQuality = 100;

// How bitmaps are stored, and whether pages get thumbnails.
struct TQVPDFImageSettings {
  bool jpegConversion = false;  // bitmaps become JPEG images where the image road allows
  std::int32_t jpegQuality = 25;
  bool thumbnailsWanted = false;

  // The host's JPEG setting of bitmaps: 0 switches the conversion to JPEG off, 1..5 switch it
  // on with the qualities 10, 25, 50, 75 and 100, a negative value switches it on with the
  // quality itself (at most 100), and any other value switches it on with the quality kept.
  void SetJpegSetting(std::int32_t setting);
  void SetThumbnails(bool wanted) { thumbnailsWanted = wanted; }
};

// How text is sized, and the code page of 8-bit outline titles.
struct TQVPDFTextSettings {
  float fontScale = 1.0f;            // multiplies the size written with "Tf" (0 counts as 1)
  float horizontalTextScale = 0.0f;  // text scaling factor, 0 for none
  std::int32_t outlineCharset = 0;   // of 8-bit outline titles (65001: UTF-8)

  // The host's text scaling in percent (90: text 90 % as wide).
  void SetTextScalingPercent(std::int32_t percent) {
    horizontalTextScale = static_cast<float>(percent / 100.0);
  }
  void SetOutlineCharset(std::int32_t charset) { outlineCharset = charset; }
};

struct TQVPDFDeviceOptions {
  TQVPDFWriterSettings writer;  // compression, armour, page and zoom mode, PDF/A, options
  TQVPDFFileOptions file;
  TQVPDFSecurityOptions security;  // encryption (security/security_options.h)
  TQVPDFImageSettings images;
  TQVPDFTextSettings text;
  TQVDeviceInfoBlock info;
};

}  // namespace vellora
