// Fuzz target for the old-style metafile translator: translates the input with a page's frame
// and with its own, checks the output limit and that the output is an enhanced metafile whose
// records walk cleanly to its end, and plays it into the tests' stub device.
#include <cstddef>
#include <cstdint>

#include "QVGenDC/metafile_player.h"
#include "qvplatform/emf_reader.h"
#include "qvplatform/wmf_translator.h"
#include "stub_device.h"

namespace {

using namespace qvplatform;

constexpr std::size_t kMaxInput = 1 << 20;

void TranslateOnce(const std::uint8_t* data, std::size_t size, const METAFILEPICT* picture) {
  const WmfTranslation t = TranslateWinMetaFile(data, size, picture);
  if (t.emf.empty()) return;
  if (t.emf.size() > size * kWmfOutputFactor + kWmfOutputSlack) __builtin_trap();
  EmfHeader header;
  if (ReadEmfHeader(t.emf.data(), t.emf.size(), header) != EmfHeaderStatus::kOk) __builtin_trap();
  if (!t.embedded) {
    // What the translator writes itself walks to its end record.
    EmfRecordIterator it = RecordsAfterHeader(t.emf.data(), t.emf.size(), header);
    EmfRecord record;
    DWORD last = 0;
    while (it.Next(record) == EmfNext::kRecord) last = record.Type();
    if (it.Error() != EmfRecordError::kNone || last != EMR_EOF) __builtin_trap();
  }
  vellora_test::StubDevice device;
  device.PlayMetafile(t.emf.data(), t.emf.size(), 0, 0, 400, 300, false, 0, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  const METAFILEPICT page{MM_ANISOTROPIC, 21000, 29700, 0};
  TranslateOnce(data, size, &page);
  TranslateOnce(data, size, nullptr);
  return 0;
}
