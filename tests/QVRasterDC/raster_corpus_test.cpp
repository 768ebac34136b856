// The rasteriser against independent readings of the same metafiles: poppler's rendering of the
// engine's own PDF of each corpus file, and poppler's text positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "font_test_env.h"
#include "page_render.h"
#include "pdf_tools.h"
#include "raster_test_support.h"
#include "test_support.h"

namespace vellora_test {
namespace {

constexpr double kAgreement = 0.8;
constexpr double kLeastAgreement = 0.6;
constexpr int kResolution = 96;
// Pages larger than this many pixels a side at that resolution are compared at a lower one:
// a poster-sized picture would cost minutes of masks in a sanitised build.
constexpr double kLongestSide = 1600;
// Share of the words poppler places whose box (widened by two pixels) holds raster ink.
constexpr double kWordsInked = 0.9;

// The words of the PDF by pdftotext -bbox, in pixels at the resolution: x0, y0, x1, y1 each.
std::vector<std::array<int, 4>> WordBoxes(const std::string& pdf, int resolution) {
  std::vector<std::array<int, 4>> boxes;
  const ToolResult r = PdfToText(pdf, {"-bbox"});
  if (!r.Succeeded()) return boxes;
  const double k = resolution / 72.0;
  std::size_t at = 0;
  while ((at = r.out.find("<word xMin=\"", at)) != std::string::npos) {
    double v[4];
    if (std::sscanf(r.out.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"",
                    &v[0], &v[1], &v[2], &v[3]) == 4)
      boxes.push_back({static_cast<int>(v[0] * k) - 2, static_cast<int>(v[1] * k) - 2,
                       static_cast<int>(v[2] * k) + 2, static_cast<int>(v[3] * k) + 2});
    ++at;
  }
  return boxes;
}

// The share of the boxes that hold ink of the mask.
double InkedShare(int width, int height, const std::vector<bool>& ink,
                  const std::vector<std::array<int, 4>>& boxes) {
  int inked = 0;
  for (const auto& b : boxes) {
    bool found = false;
    for (int y = std::max(b[1], 0); y < std::min(b[3], height) && !found; ++y)
      for (int x = std::max(b[0], 0); x < std::min(b[2], width) && !found; ++x)
        found = ink[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    inked += found;
  }
  return boxes.empty() ? 1.0 : double(inked) / double(boxes.size());
}

// The mask without the words' boxes: what is left is the drawing apart from its text.
std::vector<bool> WithoutWords(int width, int height, std::vector<bool> ink,
                               const std::vector<std::array<int, 4>>& boxes) {
  for (const auto& b : boxes)
    for (int y = std::max(b[1], 0); y < std::min(b[3], height); ++y)
      for (int x = std::max(b[0], 0); x < std::min(b[2], width); ++x)
        ink[std::size_t(y) * std::size_t(width) + std::size_t(x)] = false;
  return ink;
}

// Files whose ink agrees less closely, each with what makes the difference (seen on the two
// renderings side by side). Thin lines: poppler's stroke adjustment puts a line of about a
// pixel on one or two whole pixels where the raster smooths it across two, and lines a pixel
// apart keep only half their widened ink in common. Dotted lines: poppler widens each one-pixel
// dot of a grid drawn dot by dot, so the grid shows as a solid light line. Text: the PDF's
// glyphs stand apart from the record's spacing array, which the raster follows.
struct KnownDifference {
  const char* file;
  const char* reason;
};
constexpr KnownDifference kKnownDifferences[] = {
    {"test-004.emf", "dotted grid lines; text spacing"},
    {"test-014.emf", "thin lines (1.1 pixels) a pixel apart; rotated text spacing"},
    {"test-016.emf", "thin grid and axis lines a pixel apart; text spacing"},
    {"test-026.emf", "a picture of 54 x 38 pixels: one-pixel edges of smoothed outlines"},
    {"test-068.emf", "thin table rules a pixel apart; text a pixel lower"},
    {"test-138.emf", "dotted grid lines"},
    {"test-167.emf", "the frame's right edge line a few pixels apart; text spacing"},
    {"test-183.emf", "text spacing: the PDF runs the words together"},
};

const char* KnownReason(const std::string& name) {
  for (const auto& k : kKnownDifferences)
    if (name == k.file) return k.reason;
  return nullptr;
}

// The corpus is taken in shards, each its own test, so that a slow (sanitised) build keeps
// every one well within its time.
constexpr int kShards = 8;

class RasterCorpus : public ::testing::TestWithParam<int> {};

TEST_P(RasterCorpus, InkAgreesWithPopplerOnTheEnginesPdf) {
  const auto dir = CorpusDir();
  if (dir.empty()) GTEST_SKIP() << "no corpus";
  if (!UsePrivateFontConfig()) GTEST_SKIP() << "test fonts are not installed";
  int index = 0;
  for (const auto& path : FilesBelow(dir / "emf")) {
    if (index++ % kShards != GetParam()) continue;
    const std::vector<unsigned char> emf = ReadFileBytes(path);
    PageSize page;
    const std::string pdf = EnginePdf(emf, &page);
    if (pdf.empty()) continue;
    RenderOptions options;
    const double longest = std::max(page.width, page.height) * kResolution / 72;
    options.dpi = longest > kLongestSide
                      ? std::max(1, static_cast<int>(kResolution * kLongestSide / longest))
                      : kResolution;
    options.colour = true;
    const Raster poppler = RenderPage(pdf, options);
    if (!poppler.ok) continue;
    // The picture fills the page's own size, which need not be whole pixels.
    const double k = options.dpi / 72.0;
    const Pixels ours = RenderEmfInto(emf, poppler.width, poppler.height,
                                      cairo_rectangle_t{0, 0, page.width * k, page.height * k});
    const std::string name = path.filename().string();
    const int w = ours.width, h = ours.height;
    const std::vector<bool> ourInk = InkMask(w, h, ours.data);
    const std::vector<bool> popplerInk = InkMask(w, h, poppler.pixels);
    const double agreement = InkAgreement(w, h, ourInk, popplerInk);
    const auto words = WordBoxes(pdf, options.dpi);
    // Text: the raster's ink lies where poppler draws the PDF's words.
    EXPECT_GE(InkedShare(w, h, ourInk, words), kWordsInked) << name;
    // Every file is drawn in the right place.
    EXPECT_GE(agreement, kLeastAgreement) << name;
    const char* reason = KnownReason(name);
    if (agreement >= kAgreement) {
      if (reason)
        std::printf("  %s now agrees (%.3f): drop it from the list\n", name.c_str(), agreement);
      continue;
    }
    DumpPng(name + "-raster", w, h, ours.data);
    DumpPng(name + "-poppler", w, h, poppler.pixels);
    DumpFile(name + ".pdf", pdf);
    const double apartFromText = InkAgreement(w, h, WithoutWords(w, h, ourInk, words),
                                              WithoutWords(w, h, popplerInk, words));
    std::printf("  %s %.3f, apart from text %.3f%s%s\n", name.c_str(), agreement, apartFromText,
                reason ? ": " : "", reason ? reason : "");
    EXPECT_TRUE(reason != nullptr) << name << " agrees " << agreement << ", below " << kAgreement;
  }
}

INSTANTIATE_TEST_SUITE_P(Shards, RasterCorpus, ::testing::Range(0, kShards));

}  // namespace
}  // namespace vellora_test
