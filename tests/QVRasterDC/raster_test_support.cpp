#include "raster_test_support.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "QVRasterDC/render_metafile.h"
#include "qvplatform/metafile.h"
#include "temp_files.h"
#include "vellora/vellora.h"

namespace vellora_test {

int Pixels::Grey(int x, int y) const {
  const std::uint32_t p = At(x, y);
  return static_cast<int>((((p >> 16) & 0xFF) * 299 + ((p >> 8) & 0xFF) * 587 + (p & 0xFF) * 114) /
                          1000);
}

Pixels RenderEmf(const std::vector<std::uint8_t>& emf, int width, int height, int resolution) {
  if (width == 0) {
    if (!vellora::MetafilePixelSize(emf.data(), emf.size(), resolution, width, height)) return {};
    width = std::min(width, 1000);
    height = std::min(height, 1000);
  }
  return RenderEmfInto(emf, width, height, cairo_rectangle_t{0, 0, double(width), double(height)});
}

Pixels RenderEmfInto(const std::vector<std::uint8_t>& emf, int width, int height,
                     const cairo_rectangle_t& destination) {
  Pixels out;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_destroy(cr);
  out.ok = vellora::RenderMetafile(emf.data(), emf.size(), surface, destination, &out.stats);
  out.width = width;
  out.height = height;
  out.data.resize(std::size_t(width) * std::size_t(height));
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint32_t p;
      std::memcpy(&p, data + std::size_t(stride) * std::size_t(y) + std::size_t(x) * 4, 4);
      out.data[std::size_t(y) * std::size_t(width) + std::size_t(x)] = p & 0xFFFFFF;
    }
  cairo_surface_destroy(surface);
  return out;
}

std::string EnginePdf(const std::vector<std::uint8_t>& emf, PageSize* size) {
  const qvplatform::HENHMETAFILE metafile =
      qvplatform::SetEnhMetaFileBits(static_cast<qvplatform::UINT>(emf.size()), emf.data());
  if (metafile == 0) return {};
  qvplatform::ENHMETAHEADER h{};
  qvplatform::GetEnhMetaFileHeader(metafile, sizeof h, &h);
  const double w = (double(h.rclFrame.right) - h.rclFrame.left) * 72 / 2540;
  const double hh = (double(h.rclFrame.bottom) - h.rclFrame.top) * 72 / 2540;
  TQVPDFEngineContext* c = QVPDF_Initialize(QVPDF_INTERFACE_VERSION, nullptr, nullptr);
  QVPDF_SetIProp(c, QVPDF_IPROP_MODES, QVPDF_BIT(QVPDF_MODE_CLIP_RECT_SUPPORT));
  const std::filesystem::path file = ScratchDir() / "engine.pdf";
  std::string name = file.string();
  QVPDF_Do(c, QVPDF_CMD_BEGIN_DOC, 0, name.data());
  TQVPDFPageInit page{};
  // The page of the frame's own size to a hundredth of a point: a picture fitted to it is not
  // stretched by a page rounded to whole points.
  constexpr std::int32_t kUnitsPerPoint = 100;
  const auto units = [](double points, double otherwise) {
    return static_cast<std::int32_t>(
        std::lround((points >= 3 && points <= 14400 ? points : otherwise) * kUnitsPerPoint));
  };
  page.Width = units(w, 595);
  page.Height = units(hh, 842);
  if (size)
    *size = PageSize{double(page.Width) / kUnitsPerPoint, double(page.Height) / kUnitsPerPoint};
  page.XResolution = page.YResolution = 72 * kUnitsPerPoint;
  page.PageColor = QVPDF_COLOR_NONE;
  TQVPDFCommand place{};
  place.Width = page.Width;
  place.Height = page.Height;
  place.RecordForm = QVPDF_COMMAND_LONG_FORM;
  place.Metafile = metafile;
  QVPDF_InitializePage(c, 0, &page);
  QVPDF_Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr);
  QVPDF_Do(c, QVPDF_CMD_DRAW_METAFILE, 0, &place);
  QVPDF_Do(c, QVPDF_CMD_END_PAGE, 0, nullptr);
  QVPDF_Do(c, QVPDF_CMD_END_DOC, 0, nullptr);
  QVPDF_Do(c, QVPDF_CMD_CLOSE_OUTPUT_STREAM, 0, nullptr);
  QVPDF_Finalize(c);
  qvplatform::DeleteEnhMetaFile(metafile);
  return std::filesystem::exists(file) ? ReadFile(file) : std::string();
}

namespace {

const char* DumpFolder() {
  const char* folder = std::getenv("VELLORA_RASTER_DUMP");
  return folder != nullptr && *folder != 0 ? folder : nullptr;
}

}  // namespace

void DumpFile(const std::string& name, const std::string& bytes) {
  if (const char* folder = DumpFolder()) WriteFile(std::filesystem::path(folder) / name, bytes);
}

void DumpPng(const std::string& name, int width, int height,
             const std::vector<std::uint32_t>& pixels) {
  const char* folder = DumpFolder();
  if (folder == nullptr || width <= 0 || height <= 0) return;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < height; ++y)
    std::memcpy(data + std::size_t(stride) * std::size_t(y),
                pixels.data() + std::size_t(y) * std::size_t(width), std::size_t(width) * 4);
  cairo_surface_mark_dirty(s);
  cairo_surface_write_to_png(s, (std::filesystem::path(folder) / (name + ".png")).c_str());
  cairo_surface_destroy(s);
}

}  // namespace vellora_test
