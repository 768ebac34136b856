// Fuzz target for the decoding of streams from an input PDF: the first byte picks a filter
// chain, the rest is the stream data. Damaged data must end in the reader's error, never in
// a crash, a hang or unbounded memory.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "QVPDFDev/objects/pdf_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const char* const kFilters[] = {
      "/FlateDecode", "/ASCII85Decode", "/ASCIIHexDecode",  "/RunLengthDecode",
      "[/AHx /Fl]",   "[/A85 /RL]",     "[/Fl /DCTDecode]", "[/A85/Fl]",
  };
  vellora::TQVPDFStream stream(nullptr);
  stream.SetData(std::vector<std::uint8_t>(data + 1, data + size));
  stream.SetInputData(true);
  stream.SetInputFilter(kFilters[data[0] % (sizeof kFilters / sizeof kFilters[0])]);
  try {
    stream.DecodeFilters(std::size_t{4} << 20);
  } catch (const std::runtime_error&) {
    // "Problem in input PDF file": the expected end of damaged data.
  }
  return 0;
}
