// Fuzz target for the structure and marked-content commands: the input is a run of steps, each
// one byte choosing the command (open element, begin or end marked content, close section, or
// ending the page and beginning the next), two bytes of length and that many payload bytes,
// handed to the PDF device; the document is finished in memory. Whatever the steps hold must
// end in a valid file without reading past a payload, with memory in proportion to the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "QVPDFDev/device/pdf_device.h"

namespace {

constexpr std::size_t kMaxInput = 1 << 20;
constexpr std::int32_t kCommands[] = {3013, 3014, 3015, 3012};

volatile std::uint64_t g_sink;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  vellora::TQVPDFDevice device;
  device.BeginDoc(576, 800, 72, 0);
  device.BeginPage(612, 792, 72, 72, 0);
  std::size_t at = 0;
  while (at + 3 <= size) {
    const std::uint8_t step = data[at];
    const std::size_t length =
        std::min<std::size_t>(data[at + 1] | std::size_t{data[at + 2]} << 8, size - at - 3);
    at += 3;
    if (step % 8 == 7) {
      // Between pages the commands find no page.
      if (device.PageOpen()) {
        device.EndPage();
      } else {
        device.BeginPage(612, 792, 72, 72, 0);
      }
    } else {
      // The payload in a block of its own size, so that a read past it is a sanitizer finding.
      const auto payload = std::make_unique<std::uint8_t[]>(std::max<std::size_t>(length, 1));
      std::copy(data + at, data + at + length, payload.get());
      bool handled = false;
      device.HandleTaggingCommand({0, 0, 0, 0}, kCommands[step % 4], payload.get(),
                                  static_cast<std::int32_t>(length), handled);
    }
    at += length;
  }
  if (device.PageOpen()) device.EndPage();
  device.EndDoc();
  std::string bytes(static_cast<std::size_t>(device.CopyToBuffer(0, nullptr)), '\0');
  device.CopyToBuffer(static_cast<std::int64_t>(bytes.size()), bytes.data());
  g_sink = g_sink + bytes.size();
  return 0;
}
