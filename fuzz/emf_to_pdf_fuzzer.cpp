// Fuzz target for the whole conversion: plays the input into the extended PDF device (the
// engine's, with form fields and actions), with the font mode, the CID mode and JPEG
// conversion chosen by the input's last byte, and finishes the document in memory. Fonts, text
// output, images and the file frame all run on whatever the metafile holds. The only
// exception allowed out of the play is the refusal of data that is not an enhanced metafile;
// the document is finished either way.
#include <cstddef>
#include <cstdint>
#include <string>

#include "QVGenDC/metafile_player.h"
#include "QVPDFDev/fonts/font_settings.h"
#include "QVPDFDevEX/pdf_device_ex.h"

namespace {

constexpr std::size_t kMaxInput = 1 << 20;

volatile std::uint64_t g_sink;

void Convert(const std::uint8_t* data, std::size_t size, std::uint8_t choice) {
  vellora::TQVPDFDeviceEX device;
  device.FontSettings().fontMode =
      static_cast<vellora::TQVPDFFontMode>(choice % (vellora::qvEmbedSubsetTrueType_UsedChar + 1));
  device.contentOptions.cidFontMode = static_cast<std::uint8_t>((choice >> 3) % 4);
  device.options.images.jpegConversion = (choice & 0x20) != 0;
  device.BeginDoc(576, 800, 72, 0);
  try {
    device.PlayMetafile(data, size, 0, 0, 0, 0, false, 0, 0);
  } catch (const vellora::EQVMetafileError&) {
    // Not an enhanced metafile: refused before anything is drawn.
  }
  device.EndDoc();
  std::string bytes(static_cast<std::size_t>(device.CopyToBuffer(0, nullptr)), '\0');
  device.CopyToBuffer(static_cast<std::int64_t>(bytes.size()), bytes.data());
  g_sink = g_sink + bytes.size();
}

}  // namespace

// fontconfig's configuration, loaded once a process by the font mapper and kept, holds blocks
// LeakSanitizer cannot reach (left by parsing its XML files): not a leak of the conversion.
// Matched by library, since fontconfig's frames carry no frame pointers for the fast unwinder.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  static const std::uint8_t kNone = 0;
  if (data == nullptr) data = &kNone;
  // The last byte only picks the settings; the metafile is the whole input, so the corpus
  // files play as they are.
  Convert(data, size, size > 0 ? data[size - 1] : 0);
  return 0;
}
