#include "pdf_device_images_records.h"

#include "pdf_device_test_util.h"

namespace vellora_test {

EmfBuilder PointPicture(int width, int height) {
  EmfBuilder b;
  b.SetBounds({0, 0, width - 1, height - 1});
  b.SetFrame({0, 0, width * 2540 / 72, height * 2540 / 72});
  b.SetDevice({720, 720});
  b.SetMillimeters({254, 254});
  return b;
}

EmfBuilder& AddStretchDIBits(EmfBuilder& b, Area dest, const FormatBitmap& bmp, RECTL source,
                             DWORD usage, DWORD rop, const std::vector<BYTE>& info) {
  std::vector<BYTE> block = info.empty() ? bmp.InfoBytes() : info;
  while (block.size() % 4 != 0) block.push_back(0);
  EMRSTRETCHDIBITS r;
  r.rclBounds = RECTL{dest.x, dest.y, dest.x + dest.cx - 1, dest.y + dest.cy - 1};
  r.xDest = dest.x;
  r.yDest = dest.y;
  r.cxDest = dest.cx;
  r.cyDest = dest.cy;
  r.xSrc = source.left;
  r.ySrc = source.top;
  r.cxSrc = source.right;
  r.cySrc = source.bottom;
  r.iUsageSrc = usage;
  r.dwRop = rop;
  r.offBmiSrc = sizeof r;
  r.cbBmiSrc = static_cast<DWORD>(block.size());
  r.offBitsSrc = static_cast<DWORD>(sizeof r + block.size());
  r.cbBitsSrc = static_cast<DWORD>(bmp.bits.size());
  block.insert(block.end(), bmp.bits.begin(), bmp.bits.end());
  return b.AppendFixed(EMR_STRETCHDIBITS, r, block);
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
