// The string and integer property keys of an engine context.
#include <cstdint>
#include <string>

#include "QVGenDC/process_settings.h"
#include "QVK2PDFDLL/engine_operations.h"
#include "QVK2PDFDLL/host_input.h"
#include "QVPdfDC/text_output.h"

namespace vellora {
namespace {

std::uint8_t LowByte(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

}  // namespace

bool SetStringProperty(TQVPDFEngineContext& c, std::int32_t key, const char* text) {
  if (key < QVPDF_SPROP_FIRST || key > QVPDF_SPROP_LAST || key == 8) return false;
  std::string value;
  if (!HostText(text, kMaxHostText, value)) return false;

  TQVPDFDeviceEX& d = c.device;
  TQVDeviceInfoBlock& info = d.options.info;
  TQVEngineStoredSettings& s = c.stored;
  switch (key) {
    case QVPDF_SPROP_AUTHOR:
      info.SetText(TQVInfoText::author, std::move(value));
      break;
    case QVPDF_SPROP_CREATION_DATE:
      info.SetText(TQVInfoText::creationDate, std::move(value));
      break;
    case QVPDF_SPROP_MOD_DATE:
      info.SetText(TQVInfoText::modificationDate, std::move(value));
      break;
    // The producer is always the engine's own name: the host's text names the creator.
    case QVPDF_SPROP_CREATOR:
      info.SetText(TQVInfoText::creator, std::move(value));
      break;
    case QVPDF_SPROP_TITLE:
      info.SetText(TQVInfoText::title, std::move(value));
      break;
    case QVPDF_SPROP_SUBJECT:
      info.SetText(TQVInfoText::subject, std::move(value));
      break;
    case QVPDF_SPROP_KEYWORDS:
      info.SetText(TQVInfoText::keywords, std::move(value));
      break;
    case QVPDF_SPROP_EXCLUDED_FONTS:
      d.FontSettings().SetExcludedFonts(value);
      break;
    case QVPDF_SPROP_OWNER_PASSWORD:
      d.options.security.SetOwnerPassword(std::move(value));
      break;
    case QVPDF_SPROP_USER_PASSWORD:
      d.options.security.SetUserPassword(std::move(value));
      break;
    case QVPDF_SPROP_INPUT_FILE:
      d.options.file.SetInputFile(std::move(value));
      break;
    case QVPDF_SPROP_EMBED_ONLY_FONTS:
      d.FontSettings().SetEmbedOnlyFonts(value);
      break;
    case QVPDF_SPROP_MERGE_START:
      s.mergeStart = std::move(value);
      break;
    case QVPDF_SPROP_MERGE_TEXT:
      s.mergeText = std::move(value);
      break;
    case QVPDF_SPROP_INFO_STRINGS:
      info.SetExtraEntries(value);
      break;
  }
  return true;
}

bool SetIntegerProperty(TQVPDFEngineContext& c, std::int32_t key, std::int32_t value) {
  TQVPDFDeviceEX& d = c.device;
  TQVPDFWriterSettings& w = d.options.writer;
  TQVDeviceInfoBlock& info = d.options.info;
  TQVEngineStoredSettings& s = c.stored;
  const std::uint8_t byte = LowByte(value);
  switch (key) {
    case QVPDF_IPROP_ENCODE_STREAM_METHOD:
      w.SetArmour(TQVEncodeStreamMethod(byte));
      break;
    case QVPDF_IPROP_COMPRESS_STREAM_METHOD:
    case QVPDF_IPROP_COMPRESSION:
      w.SetCompression(TQVCompressStreamMethod(byte));
      break;
    case QVPDF_IPROP_PAGE_MODE:
      w.SetPageMode(TQVPDFPageModes(byte));
      break;
    case QVPDF_IPROP_FONT_MODE:
      d.FontSettings().SetFontMode(TQVPDFFontMode(byte));
      break;
    case QVPDF_IPROP_FAST_FLATE:
      w.SetFastFlate(value != 0);
      break;
    case QVPDF_IPROP_CONVERT_JPEG_DATA:
      s.convertJpegData = value != 0;
      break;
    case QVPDF_IPROP_ENCRYPTION:
      d.options.security.SetEncryption(static_cast<std::uint16_t>(value & 0xFFFF));
      break;
    case QVPDF_IPROP_INPUTFILE_MODE:
      d.options.file.SetInputFileMode(value);
      break;
    case QVPDF_IPROP_READ_MODE:
      d.options.file.SetReadMode(value);
      break;
    case QVPDF_IPROP_ELEMENT_RESOLUTION:
      c.elementResolution = value;
      break;
    case QVPDF_IPROP_THUMBNAIL_MONOCHROME:
      d.SetThumbnailMonochrome(value != 0);
      break;
    case QVPDF_IPROP_JPEG_QUALITY:
      d.options.images.SetJpegSetting(value);
      break;
    case QVPDF_IPROP_ZOOM_MODE:
      w.SetZoomMode(TQVPDFZoomModes(byte));
      break;
    case QVPDF_IPROP_SECURITY:
      d.options.security.SetSecurityLevel(byte);
      break;
    case QVPDF_IPROP_EXTRA_MESSAGES:
      d.FontSettings().SetReportEmbeddedFonts(value != 0);
      break;
    case QVPDF_IPROP_TEXT_SCALING:
      d.options.text.SetTextScalingPercent(value);
      break;
    case QVPDF_IPROP_OUTLINE_CHARSET:
      d.options.text.SetOutlineCharset(value);
      break;
    case QVPDF_IPROP_CREATE_THUMBNAILS:
      d.options.images.SetThumbnails(value != 0);
      break;
    case QVPDF_IPROP_MODES:
      d.SetModes(TQVDevModes(static_cast<std::uint32_t>(value)));
      break;
    case QVPDF_IPROP_OPTIONS:
      w.SetOptionBits(byte);
      break;
    case QVPDF_IPROP_HOST_FLAG:
      c.hostFlag = true;
      break;
    case QVPDF_IPROP_CJK_CHARSET:
      d.contentOptions.SetCjkIdeographCharset(value);
      break;
    case QVPDF_IPROP_PDFA_MODE:
      w.SetPdfaMode(TQVPDFAMode(byte));
      break;
    case QVPDF_IPROP_CID_FONT_MODE:
      d.contentOptions.SetCidFontMode(byte);
      break;
    // The one byte setting of the generic device that its owner sets: the player keeps the
    // picture's own size.
    case QVPDF_IPROP_DEVICE_BYTE:
      d.playerOptions.KeepPictureSize(byte != 0);
      break;
    case QVPDF_IPROP_INFO_UTF8:
      info.SetUtf8(value != 0);
      break;
    case QVPDF_IPROP_DEFAULT_DIVISOR:
      SetDefaultCoordinateDivisor(value);
      break;
    case QVPDF_IPROP_NO_HIGH_RES:
      SetNoHighResolution(value != 0);
      break;
    case QVPDF_IPROP_ITALIC_AS_ARIAL:
      SetItalicAsArial(value != 0);
      break;
    default:
      return false;
  }
  return true;
}

}  // namespace vellora
