// Fuzz target for attachment records: the first byte picks the UTF-8 flag and the stream
// armour, the rest is the record, handed to the PDF device on an open page; the document is
// finished in memory. Whatever the record holds must end in a valid file without reading
// past it and with memory in proportion to its size.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "QVPDFDev/device/pdf_device.h"

namespace {

constexpr std::size_t kMaxInput = 4 << 20;

volatile std::uint64_t g_sink;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > kMaxInput) return 0;
  const std::uint8_t choice = data[0];
  vellora::TQVPDFDevice device;
  device.options.writer.armour = static_cast<vellora::TQVEncodeStreamMethod>((choice >> 1) % 3);
  device.BeginDoc(576, 800, 72, 0);
  device.BeginPage(612, 792, 72, 72, 0);
  // The record in a block of its own size, so that a read past it is a sanitizer finding.
  const std::size_t length = size - 1;
  const auto record = std::make_unique<std::uint8_t[]>(length);
  std::copy(data + 1, data + size, record.get());
  device.AddFileAttachment({0, 0, 20, 20}, record.get(), (choice & 1) != 0, length);
  device.EndDoc();
  std::string bytes(static_cast<std::size_t>(device.CopyToBuffer(0, nullptr)), '\0');
  device.CopyToBuffer(static_cast<std::int64_t>(bytes.size()), bytes.data());
  g_sink = g_sink + bytes.size();
  return 0;
}
