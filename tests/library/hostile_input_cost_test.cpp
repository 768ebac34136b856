// Small metafiles that claim far more than they hold: each converts through emf2pdf, as a
// server would convert an upload, to a PDF that qpdf accepts, with the engine's message where
// something is refused, and within a fixed memory allowance above a trivial conversion.
// The CPU time of each is printed for the record, never asserted.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "emf_builder.h"
#include "engine_host.h"
#include "pdf_tools.h"
#include "temp_files.h"
#include "tool_run.h"

namespace vellora_test {
namespace {

namespace fs = std::filesystem;

constexpr long kAllowanceKiB = 64 * 1024;

struct Conversion {
  ToolResult run;
  std::string pdf;
  long peakKiB = 0;  // of emf2pdf alone, as /usr/bin/time measures it
  double cpuSeconds = 0;
};

Conversion Convert(const std::vector<BYTE>& emf, const TempDir& dir, const std::string& name) {
  const fs::path in = dir.Path() / (name + ".emf");
  const fs::path out = dir.Path() / (name + ".pdf");
  const fs::path usage = dir.Path() / (name + ".usage");
  std::ofstream(in, std::ios::binary)
      .write(reinterpret_cast<const char*>(emf.data()), static_cast<std::streamsize>(emf.size()));
  Conversion c;
  // time forks the converter from its own small image, so that the peak is the converter's
  // and not that of this process, which holds the fixtures.
  c.run = RunTool({"/usr/bin/time", "-f", "%M %U %S", "-o", usage.string(),
                   (EngineLibraryPath().parent_path() / ".." / "bin" / "emf2pdf").string(),
                   in.string(), out.string()});
  std::ifstream file(out, std::ios::binary);
  c.pdf.assign(std::istreambuf_iterator<char>(file), {});
  double user = 0, system = 0;
  std::ifstream(usage) >> c.peakKiB >> user >> system;
  c.cpuSeconds = user + system;
  return c;
}

// A bitmap record whose header claims width x height pixels over the given pixel bytes.
std::vector<BYTE> ClaimedBitmap(LONG width, LONG height, WORD bitCount, DWORD compression,
                                std::vector<BYTE> bits) {
  TestDib dib;
  dib.width = width;
  dib.height = height;
  dib.bitCount = bitCount;
  dib.compression = compression;
  if (bitCount <= 8) dib.colors.assign(std::size_t{1} << bitCount, RGBQUAD{0, 0, 255, 0});
  dib.bits = std::move(bits);
  return EmfBuilder().StretchDIBits(Area{0, 0, 100, 100}, dib).Bytes();
}

// A PAINTRGN whose region header counts rectangles the record does not hold.
std::vector<BYTE> ClaimedRegion(DWORD count) {
  // rclBounds, cbRgnData, then the region: its header and the one rectangle it holds.
  const RECTL bounds{0, 0, 50, 50};
  std::vector<BYTE> body(20 + 32 + 16, 0);
  std::memcpy(body.data(), &bounds, sizeof bounds);
  const DWORD claimed = 32 + 16 * count;
  std::memcpy(body.data() + 16, &claimed, sizeof claimed);
  const DWORD head[4] = {32, 1, count, count * 16};
  std::memcpy(body.data() + 20, head, sizeof head);
  std::memcpy(body.data() + 36, &bounds, sizeof bounds);
  std::memcpy(body.data() + 52, &bounds, sizeof bounds);
  return EmfBuilder().Append(EMR_PAINTRGN, body.data(), body.size()).Bytes();
}

std::vector<BYTE> NestedSaves(int depth) {
  EmfBuilder b;
  for (int i = 0; i < depth; ++i) b.SaveDC();
  for (int i = 0; i < depth; ++i) b.RestoreDC(-1);
  return b.Rectangle(RECTL{10, 10, 60, 60}).Bytes();
}

std::vector<BYTE> OnePointPolylines(int count) {
  EmfBuilder b;
  for (int i = 0; i < count; ++i) b.Polyline({POINTL{i % 100, i % 77}});
  return b.Bytes();
}

std::vector<BYTE> LongText(std::size_t chars) {
  std::u16string text(chars, u'x');
  return EmfBuilder().ExtTextOutW(0, 50, text, std::vector<INT>(chars, 1)).Bytes();
}

struct Hostile {
  const char* name;
  std::vector<BYTE> emf;
  bool refusesBitmap;  // message 2 "Invalid bitmap" expected
};

TEST(HostileInputCost, ConvertsWithinTheMemoryAllowance) {
  const TempDir dir;
  const Conversion baseline =
      Convert(EmfBuilder().Rectangle(RECTL{0, 0, 5, 5}).Bytes(), dir, "baseline");
  ASSERT_TRUE(baseline.run.Succeeded()) << baseline.run.out;

  const std::vector<BYTE> endOfBitmap = {0, 1};
  const Hostile cases[] = {
      {"rle4", ClaimedBitmap(10000, 10000, 4, BI_RLE4, endOfBitmap), true},
      {"rle8", ClaimedBitmap(10000, 10000, 8, BI_RLE8, endOfBitmap), true},
      {"rle8-skips", ClaimedBitmap(4000, 4000, 8, BI_RLE8, {0, 2, 255, 255, 0, 2, 255, 255, 0, 1}),
       true},
      {"rgb24", ClaimedBitmap(30000, 30000, 24, BI_RGB, std::vector<BYTE>(1024, 0x80)), true},
      {"savedc", NestedSaves(10000), false},
      {"polylines", OnePointPolylines(100000), false},
      {"region", ClaimedRegion(1000000), false},
      {"text", LongText(1000000), false},
  };
  for (const Hostile& h : cases) {
    SCOPED_TRACE(h.name);
    const Conversion c = Convert(h.emf, dir, h.name);
    ASSERT_TRUE(c.run.exited) << c.run.out;
    EXPECT_TRUE(QpdfCheck(c.pdf).Succeeded());
    EXPECT_EQ(c.run.out.find("engine message 2: Invalid bitmap") != std::string::npos,
              h.refusesBitmap)
        << c.run.out;
    EXPECT_GT(c.peakKiB, 0);
    EXPECT_LT(c.peakKiB - baseline.peakKiB, kAllowanceKiB);
    std::cout << "[ cost ] " << h.name << ": " << h.emf.size() << " bytes, " << c.cpuSeconds
              << " s, " << (c.peakKiB - baseline.peakKiB) << " KiB above the baseline\n";
  }
}

// The deepest "q" nesting of the page content, counted in the uncompressed file.
int DeepestNesting(const std::string& pdf) {
  const TempFile file(pdf);
  const ToolResult qdf =
      RunTool({"qpdf", "--qdf", "--object-streams=disable", file.Path().string(), "-"});
  int depth = 0, deepest = 0;
  std::size_t at = 0;
  const std::string& text = qdf.out;
  while ((at = text.find_first_of("qQ", at)) != std::string::npos) {
    const bool alone = (at == 0 || text[at - 1] == ' ' || text[at - 1] == '\n') &&
                       (at + 1 == text.size() || text[at + 1] == ' ' || text[at + 1] == '\n');
    if (alone) depth += text[at] == 'q' ? 1 : -1;
    deepest = std::max(deepest, depth);
    ++at;
  }
  return deepest;
}

// Saves beyond the cap are refused and so are their restores: the levels below still pair,
// the content stays balanced and bounded, and what is drawn after the last restore is drawn
// in the state of the first level.
TEST(HostileInputCost, DeepSavesStayBalancedAndBounded) {
  const TempDir dir;
  EmfBuilder b;
  b.CreateBrush(1, 0, 0x000000).SelectObject(1);  // black, chosen before the saves
  for (int i = 0; i < 2000; ++i) b.SaveDC().SetViewportOrg(i, i);
  for (int i = 0; i < 2000; ++i) b.RestoreDC(-1);
  const std::vector<BYTE> emf = b.Rectangle(RECTL{0, 0, 100, 100}).Bytes();
  const Conversion c = Convert(emf, dir, "deep");
  ASSERT_TRUE(c.run.Succeeded()) << c.run.out;
  ASSERT_TRUE(QpdfCheck(c.pdf).Succeeded());
  const int deepest = DeepestNesting(c.pdf);
  EXPECT_GT(deepest, 200);
  EXPECT_LT(deepest, 300);
  // The rectangle covers the picture: unshifted after the restores.
  EXPECT_GT(DarkShare(c.pdf, 10, 10, 60, 60), 0.9);
}

}  // namespace
}  // namespace vellora_test
