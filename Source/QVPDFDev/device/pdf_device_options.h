// The settings of a PDF device, grouped by what they decide. The host sets them through the
// engine's properties and commands before a document (or between pages where a group says
// so); the device reads them and changes none of them, except where a field says otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace vellora {

// Encryption option bits (TFolvioEncryption) and security levels.
constexpr std::uint16_t kEncryptFile = 1u << 0;  // qvEncryptFile
constexpr std::uint8_t kSecurity40Bit = 0;
constexpr std::uint8_t kSecurity128Bit = 1;

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

// Encryption and the file version it asks for.
struct TQVPDFSecurityOptions {
  std::uint16_t encryptionOptions = 0;  // kEncrypt* bits
  std::uint8_t securityLevel = kSecurity40Bit;
  // Version 1.4 whatever else the document asks for (the extended device's version flag).
  bool version14Requested = false;

  void SetEncryption(std::uint16_t optionBits) { encryptionOptions = optionBits; }
  void SetSecurityLevel(std::uint8_t level) { securityLevel = level; }
  void RequestVersion14() { version14Requested = true; }
  bool EncryptsFile() const { return (encryptionOptions & kEncryptFile) != 0; }
};

// How bitmaps are stored, and whether pages get thumbnails.
struct TQVPDFImageSettings {
  bool jpegConversion = false;  // bitmaps become JPEG images where the image road allows
  std::int32_t jpegQuality = 25;
  bool thumbnailsWanted = false;

  // The host's JPEG setting of bitmaps: 0 switches the conversion to JPEG off, 1..5 switch it
  // on with the qualities 10, 25, 50, 75 and 100, a negative value is the quality itself
  // (the conversion kept as it is), and any other value switches it on with the quality kept.
  void SetJpegSetting(std::int32_t setting);
  void SetThumbnails(bool wanted) { thumbnailsWanted = wanted; }
};

struct TQVPDFDeviceOptions {
  TQVPDFFileOptions file;
  TQVPDFSecurityOptions security;
  TQVPDFImageSettings images;
};

}  // namespace vellora
