// Damaged bitmaps from records: every truncation and a sweep of byte mutations over a few DIBs
// go through validation and conversion without a read outside the data (run under the
// sanitizers) and without a crash.
#include <gtest/gtest.h>

#include <vector>

#include "qvplatform/dib_convert.h"

namespace qvplatform {
namespace {

struct Blob {
  std::vector<BYTE> info;
  std::vector<BYTE> bits;
  DWORD usage = DIB_RGB_COLORS;
};

void Put32(std::vector<BYTE>& v, std::size_t at, std::uint32_t x) {
  for (std::size_t i = 0; i < 4; ++i) v[at + i] = BYTE(x >> (8 * i));
}

std::vector<BYTE> Header(LONG w, LONG h, WORD bits, DWORD compression, DWORD sizeImage,
                         DWORD clrUsed, std::size_t tail) {
  std::vector<BYTE> v(40 + tail, 0);
  Put32(v, 0, 40);
  Put32(v, 4, std::uint32_t(w));
  Put32(v, 8, std::uint32_t(h));
  v[12] = 1;
  v[14] = BYTE(bits);
  Put32(v, 16, compression);
  Put32(v, 20, sizeImage);
  Put32(v, 32, clrUsed);
  for (std::size_t i = 40; i < v.size(); ++i) v[i] = BYTE(i * 37);
  return v;
}

std::vector<Blob> Blobs() {
  std::vector<Blob> b;
  b.push_back({Header(5, 3, 4, BI_RLE4, 0, 16, 64),
               {0x05, 0x12, 0x00, 0x00, 0x00, 0x03, 0x12, 0x30, 0x00, 0x02, 0x01, 0x01, 0x02, 0x33,
                0x00, 0x00, 0x00, 0x01}});
  b.push_back({Header(4, 3, 8, BI_RLE8, 0, 5, 20),
               {0x02, 0x01, 0x00, 0x02, 0x01, 0x00, 0x01, 0x03, 0x00, 0x00,
                0x00, 0x03, 0x02, 0x03, 0x04, 0x00, 0x06, 0x02, 0x00, 0x01}});
  Blob fields{Header(3, -2, 16, BI_BITFIELDS, 0, 0, 12), std::vector<BYTE>(16, 0x5A)};
  Put32(fields.info, 40, 0xF800), Put32(fields.info, 44, 0x07E0), Put32(fields.info, 48, 0x1F);
  b.push_back(fields);
  b.push_back(
      {Header(3, 2, 4, BI_RGB, 0, 0, 32), {0x12, 0x30, 0, 0, 0x33, 0x10, 0, 0}, DIB_RGB_COLORS});
  b.push_back({Header(3, 1, 8, BI_RGB, 0, 3, 6), {0, 1, 2, 0}, DIB_PAL_COLORS});
  b.push_back({Header(2, 2, 1, BI_RGB, 0, 0, 8), {0x80, 0, 0, 0, 0x40, 0, 0, 0}});
  return b;
}

// Validates and converts; the sizes are exact heap copies so that any overread is reported.
void ValidateAndConvert(const std::vector<BYTE>& info, std::size_t infoSize,
                        const std::vector<BYTE>& bits, std::size_t bitsSize, DWORD usage) {
  const std::vector<BYTE> i(info.begin(), info.begin() + static_cast<std::ptrdiff_t>(infoSize));
  const std::vector<BYTE> b(bits.begin(), bits.begin() + static_cast<std::ptrdiff_t>(bitsSize));
  EmfDib dib;
  if (ReadDibBytes(i.data(), i.size(), b.data(), b.size(), usage, dib) != DibStatus::kOk) return;
  static const PALETTEENTRY palette[4] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}, {0, 0, 0, 0}};
  DibColorTable table;
  DibView view;
  if (DibViewOf(dib, palette, 4, &table, &view) != DibError::kOk) return;
  // Mutated sizes can be legal and huge; the cap is tested elsewhere, the sweep stays fast.
  if (std::uint64_t(view.format.width) * view.format.AbsHeight() > (1u << 20)) return;
  std::vector<BYTE> out;
  for (const WORD depth : {WORD(24), WORD(1)}) {
    DibTarget target;
    target.bitCount = depth;
    const DibConvertResult r = ConvertDib(view, target, &out);
    if (r.error == DibError::kOk) {
      ASSERT_EQ(out.size(), DibTargetSize(view.format, target, view.format.AbsHeight()));
    }
  }
}

TEST(DibDamage, EveryTruncationIsSafe) {
  for (const Blob& blob : Blobs()) {
    for (std::size_t n = 0; n <= blob.info.size(); ++n)
      ValidateAndConvert(blob.info, n, blob.bits, blob.bits.size(), blob.usage);
    for (std::size_t n = 0; n <= blob.bits.size(); ++n)
      ValidateAndConvert(blob.info, blob.info.size(), blob.bits, n, blob.usage);
  }
}

TEST(DibDamage, ByteMutationsNeverCrash) {
  const BYTE values[] = {0x00, 0x01, 0x02, 0x03, 0x7F, 0x80, 0xFE, 0xFF};
  for (const Blob& blob : Blobs()) {
    for (std::size_t at = 0; at < blob.info.size() + blob.bits.size(); ++at) {
      for (const BYTE value : values) {
        Blob m = blob;
        BYTE& byte = at < m.info.size() ? m.info[at] : m.bits[at - m.info.size()];
        byte = value;
        ValidateAndConvert(m.info, m.info.size(), m.bits, m.bits.size(), m.usage);
        ASSERT_FALSE(::testing::Test::HasFatalFailure()) << "byte " << at << " = " << int(value);
      }
    }
  }
}

}  // namespace
}  // namespace qvplatform
