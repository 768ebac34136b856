#include "pdf_device_images_records.h"

#include "pdf_device_test_util.h"

namespace vellora_test {

EmfBuilder& AddStretchDIBits(EmfBuilder& b, Area dest, const FormatBitmap& bmp, RECTL source,
                             DWORD usage, DWORD rop, const std::vector<BYTE>& info) {
  return b.StretchDIBits(dest, source, info.empty() ? bmp.InfoBytes() : info, bmp.bits, usage, rop);
}

EmfBuilder& AddStretchDIBits(EmfBuilder& b, Area dest, const FormatBitmap& bmp) {
  const LONG h = bmp.header.biHeight < 0 ? -bmp.header.biHeight : bmp.header.biHeight;
  return AddStretchDIBits(b, dest, bmp, RECTL{0, 0, bmp.header.biWidth, h});
}

TestDib BuilderDib(const FormatBitmap& bmp) {
  TestDib dib;
  dib.width = bmp.header.biWidth;
  dib.height = bmp.header.biHeight;
  dib.bitCount = bmp.header.biBitCount;
  dib.compression = bmp.header.biCompression;
  dib.masks = bmp.masks;
  dib.colors = bmp.colors;
  dib.bits = bmp.bits;
  return dib;
}

std::string PlayAlone(vellora::TQVPDFDevice& device, const std::vector<BYTE>& emf) {
  device.BeginDoc(576, 800, 72, 0);
  device.PlayMetafile(emf.data(), emf.size(), 0, 0, 0, 0, false, 0, 0);
  device.EndDoc();
  return DocumentBytes(device);
}

}  // namespace vellora_test
