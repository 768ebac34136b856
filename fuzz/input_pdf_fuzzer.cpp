// Fuzz target for the input PDF reader: the last byte picks the road the device takes with an
// input (read mode, appending, the forms of the watermark modes), the bytes before it are
// the file. Damaged files must end in the reader's error, never in a crash, a hang or memory
// out of proportion to the input.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "QVPDFDev/file/pdf_file_writer.h"
#include "QVPDFDev/reader/input_import.h"
#include "QVPDFDev/reader/input_page_content.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > (std::size_t{1} << 20)) return 0;
  const int road = data[size - 1] % 3;
  vellora::TQVPDFMemoryInputStream stream(std::span<const std::uint8_t>(data, size - 1));
  try {
    vellora::TQVInputImport import(stream);
    if (road != 1) {
      for (const vellora::TQVInputPage& page : import.Tree().pages)
        vellora::ReadPageContent(import.File(), page, std::size_t{4} << 20);
    }
    if (road != 0) {
      import.Plan(road == 2);
      vellora::TQVPDFFileWriter out;
      out.Sink().OpenMemory();
      for (std::int32_t n = 1; n < import.File().Size(); ++n) out.XRef().Add("undef input");
      import.Copy(out);
      std::string entries;
      for (const vellora::TQVInputPage& page : import.Tree().pages) page.AppendEntries(entries);
    }
  } catch (const vellora::TQVPDFInputError&) {
    // The expected end of a damaged file.
  }
  return 0;
}
