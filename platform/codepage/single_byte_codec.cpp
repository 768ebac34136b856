// Single-byte pages: decoding reads the table directly; encoding uses a 64K reverse table per
// page, built on first use (std::call_once makes the build and its publication thread-safe).
#include <array>
#include <memory>
#include <mutex>

#include "codecs.h"
#include "single_byte_tables.h"

namespace qvplatform::codepage_detail {
namespace {

constexpr UINT kPages[] = {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};
constexpr std::size_t kPageCount = sizeof(kPages) / sizeof(kPages[0]);

// byteOf[u] is the byte that shows u, 0 when none does (U+0000 is handled by the caller).
struct ReverseTable {
  std::array<unsigned char, 0x10000> byteOf{};
};

int PageIndex(UINT codePage) {
  for (std::size_t i = 0; i < kPageCount; ++i)
    if (kPages[i] == codePage) return static_cast<int>(i);
  return -1;
}

const ReverseTable& Reverse(int index) {
  static std::once_flag once[kPageCount];
  static std::unique_ptr<ReverseTable> tables[kPageCount];
  std::call_once(once[index], [index] {
    auto table = std::make_unique<ReverseTable>();
    for (unsigned b = 1; b < 0x80; ++b) table->byteOf[b] = static_cast<unsigned char>(b);
    const char16_t* upper = SingleByteUpperHalf(kPages[index]);
    for (unsigned b = 0x80; b < 0x100; ++b) {
      unsigned char& slot = table->byteOf[upper[b - 0x80]];
      if (slot == 0) slot = static_cast<unsigned char>(b);  // the first byte wins
    }
    tables[index] = std::move(table);
  });
  return *tables[index];
}

}  // namespace

bool DecodeSingleByte(const char16_t* upperHalf, const unsigned char* src, std::size_t n,
                      WideOutput& out) {
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char b = src[i];
    out.Put(b < 0x80 ? static_cast<WCHAR>(b) : upperHalf[b - 0x80]);
  }
  return true;
}

bool EncodeSingleByte(UINT codePage, const WCHAR* src, std::size_t n, const DefaultChar& def,
                      ByteOutput& out, bool& usedDefault) {
  const int index = PageIndex(codePage);
  if (index < 0) return false;
  const ReverseTable& table = Reverse(index);
  for (std::size_t i = 0; i < n; ++i) {
    const WCHAR u = src[i];
    const unsigned char b = table.byteOf[u];
    if (b != 0 || u == 0) {
      out.Put(static_cast<char>(b));
    } else {
      out.Put(static_cast<char>(def.bytes[0]));
      usedDefault = true;
    }
  }
  return true;
}

}  // namespace qvplatform::codepage_detail
