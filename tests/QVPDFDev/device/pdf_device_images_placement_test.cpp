// The bitmaps of the corpus metafiles land where the metafiles put them: the bounds of each
// bitmap record, taken from the reference device to the page, are the rectangle of an image that
// mutool finds drawn on the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "pdf_device_test_util.h"
#include "pdf_test_owner.h"
#include "qvplatform/emf_dib.h"
#include "qvplatform/emf_reader.h"
#include "test_support.h"

namespace vellora {
namespace {

using namespace qvplatform;  // NOLINT: the record names read best unqualified here

// Points, y down from the top of the page (as mutool reports them).
struct PageRect {
  double left = 0, top = 0, right = 0, bottom = 0;
};

std::string Describe(const PageRect& r) {
  char text[96];
  std::snprintf(text, sizeof text, "(%.2f, %.2f)-(%.2f, %.2f)", r.left, r.top, r.right, r.bottom);
  return text;
}

// The largest distance between corresponding edges.
double EdgeDistance(const PageRect& a, const PageRect& b) {
  return std::max({std::fabs(a.left - b.left), std::fabs(a.top - b.top),
                   std::fabs(a.right - b.right), std::fabs(a.bottom - b.bottom)});
}

// How far inner reaches out of outer (0 when it lies inside).
double Overhang(const PageRect& inner, const PageRect& outer) {
  return std::max({outer.left - inner.left, outer.top - inner.top, inner.right - outer.right,
                   inner.bottom - outer.bottom, 0.0});
}

struct BitmapRecord {
  std::size_t index = 0;  // in the metafile, the header being record 0
  DWORD type = 0;
  RECTL bounds;  // reference device pixels, inclusive
  // A clip was in force: the bounds then cover only what of the image it leaves.
  bool clipped = false;
};

// The records that draw a bitmap the reader accepts and say where (non-empty bounds; writers
// that do not compute bounds leave them empty).
std::vector<BitmapRecord> BitmapRecords(const std::vector<unsigned char>& bytes,
                                        const EmfHeader& header) {
  std::vector<BitmapRecord> found;
  bool clipped = false;
  std::vector<bool> saved;  // clipped at each EMR_SAVEDC still open
  EmfRecordIterator it = RecordsAfterHeader(bytes.data(), bytes.size(), header);
  EmfRecord r;
  for (std::size_t index = 1; it.Next(r) == EmfNext::kRecord; ++index) {
    if (r.Size() < EmfMinRecordSize(r.Type())) continue;
    EmfDibSource source;
    RECTL bounds;
    switch (r.Type()) {
      case EMR_SAVEDC:
        saved.push_back(clipped);
        continue;
      case EMR_RESTOREDC: {
        EMRRESTOREDC f;
        r.Read(f);
        // Negative: counted back from the latest save; positive: the n-th save.
        const std::int64_t level =
            f.iRelative < 0 ? std::int64_t(saved.size()) + f.iRelative : f.iRelative - 1;
        if (level >= 0 && level < std::int64_t(saved.size())) {
          clipped = saved[std::size_t(level)];
          saved.resize(std::size_t(level));
        }
        continue;
      }
      case EMR_INTERSECTCLIPRECT:
      case EMR_EXCLUDECLIPRECT:
      case EMR_SELECTCLIPPATH:
        clipped = true;
        continue;
      case EMR_EXTSELECTCLIPRGN: {
        EMREXTSELECTCLIPRGN f;
        r.Read(f);
        clipped = !(f.iMode == RGN_COPY && f.cbRgnData == 0);  // that one removes the clip
        continue;
      }
      case EMR_BITBLT: {
        EMRBITBLT f;
        r.Read(f);
        source = DibSourceOf(f);
        bounds = f.rclBounds;
        break;
      }
      case EMR_STRETCHBLT:
      case EMR_ALPHABLEND:
      case EMR_TRANSPARENTBLT: {
        EMRSTRETCHBLT f;
        r.Read(f);
        source = DibSourceOf(f);
        bounds = f.rclBounds;
        break;
      }
      case EMR_STRETCHDIBITS:
      case EMR_ALPHADIBBLEND: {
        // 115 as EMR_SETLAYOUT is too short for this layout and draws nothing.
        if (r.Size() < sizeof(EMRSTRETCHDIBITS)) continue;
        EMRSTRETCHDIBITS f;
        r.Read(f);
        source = DibSourceOf(f);
        bounds = f.rclBounds;
        break;
      }
      default:
        continue;
    }
    if (bounds.right < bounds.left || bounds.bottom < bounds.top) continue;
    EmfDib dib;
    if (ReadDib(r, source, dib) != DibStatus::kOk) continue;
    found.push_back({index, r.Type(), bounds, clipped});
  }
  return found;
}

// The rectangles of the images drawn on page 1, by `mutool trace`: an image fills the unit
// square taken through its transform.
std::vector<PageRect> DrawnImages(const std::string& pdf) {
  const vellora_test::TempFile file(pdf);
  const vellora_test::ToolResult trace = vellora_test::RunTool(
      {"mutool", "trace", file.Path().string()}, vellora_test::ToolErrors::kDrop);
  static const std::regex kImage(R"(<fill_image[^>]*\stransform="([^"]+)\")");
  std::vector<PageRect> images;
  for (std::sregex_iterator m(trace.out.begin(), trace.out.end(), kImage), end; m != end; ++m) {
    double a, b, c, d, e, f;
    if (std::sscanf((*m)[1].str().c_str(), "%lf %lf %lf %lf %lf %lf", &a, &b, &c, &d, &e, &f) != 6)
      continue;
    const double xs[] = {e, e + a, e + c, e + a + c};
    const double ys[] = {f, f + b, f + d, f + b + d};
    images.push_back({*std::min_element(xs, xs + 4), *std::min_element(ys, ys + 4),
                      *std::max_element(xs, xs + 4), *std::max_element(ys, ys + 4)});
  }
  return images;
}

TEST(PDFDeviceImagesCorpus, BitmapsLandWhereTheMetafileSays) {
  const auto dir = vellora_test::CorpusDir();
  if (dir.empty()) GTEST_SKIP() << "corpus absent";
  if (!vellora_test::HaveTool("mutool")) GTEST_SKIP() << "mutool missing";
  constexpr double kTolerance = 1.5;  // points, on each edge
  int checked = 0;
  for (const auto& path : vellora_test::FilesBelow(dir / "emf")) {
    const std::vector<unsigned char> bytes = vellora_test::ReadFileBytes(path);
    EmfHeader header;
    if (ReadEmfHeader(bytes.data(), bytes.size(), header) != EmfHeaderStatus::kOk) continue;
    const std::vector<BitmapRecord> records = BitmapRecords(bytes, header);
    if (records.empty()) continue;
    SCOPED_TRACE(path.filename().string());

    // The picture placed as a host places it: its frame stretched over a rectangle of the
    // frame's size in points (72 dpi device units) at the page's top left corner.
    const ENHMETAHEADER& h = header.fields;
    const double frameWidth = h.rclFrame.right - h.rclFrame.left;  // 0.01 mm
    const double frameHeight = h.rclFrame.bottom - h.rclFrame.top;
    const auto width = std::int32_t(std::lround(frameWidth / 2540 * 72));
    const auto height = std::int32_t(std::lround(frameHeight / 2540 * 72));
    vellora_test::RecordingDevice device;
    device.BeginDoc(576, 800, 72, 0);
    device.PlayMetafile(bytes.data(), bytes.size(), 0, 0, width, height, false, 0, 0);
    device.EndDoc();
    const std::vector<PageRect> images = DrawnImages(vellora_test::DocumentBytes(device));

    // Reference device pixels to 0.01 mm by the header's device size, then frame to page.
    const double unitsPerPixelX = 100.0 * h.szlMillimeters.cx / h.szlDevice.cx;
    const double unitsPerPixelY = 100.0 * h.szlMillimeters.cy / h.szlDevice.cy;
    const auto X = [&](double px) {
      return (px * unitsPerPixelX - h.rclFrame.left) / frameWidth * width;
    };
    const auto Y = [&](double px) {
      return (px * unitsPerPixelY - h.rclFrame.top) / frameHeight * height;
    };
    std::size_t next = 0;  // the first image no record has claimed
    for (const BitmapRecord& record : records) {
      const RECTL& b = record.bounds;
      const PageRect expected{X(b.left), Y(b.top), X(b.right + 1.0), Y(b.bottom + 1.0)};
      // Under a clip the image only has to cover the bounds: the clip may cut it, not move it.
      const auto Fits = [&](const PageRect& image) {
        return (record.clipped ? Overhang(expected, image) : EdgeDistance(image, expected)) <=
               kTolerance;
      };
      // Images are drawn in record order, one for each of these records; records left out
      // above may add others in between.
      const auto found =
          std::find_if(images.begin() + static_cast<std::ptrdiff_t>(next), images.end(), Fits);
      if (found == images.end()) {
        ADD_FAILURE() << "record " << record.index << " (type " << record.type << ", bounds "
                      << b.left << "," << b.top << "," << b.right << "," << b.bottom
                      << (record.clipped ? ", clipped" : "") << ") belongs at "
                      << Describe(expected) << "; the next image drawn is at "
                      << (next < images.size() ? Describe(images[next]) : "none");
        continue;
      }
      next = std::size_t(found - images.begin()) + 1;
      ++checked;
    }
  }
  EXPECT_GT(checked, 0);
}

}  // namespace
}  // namespace vellora
