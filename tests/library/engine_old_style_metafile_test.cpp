// Old-style (WMF) metafiles drawn through QVPDF_Do 5569: each kind of record gives the pixels
// of the same drawing as an enhanced metafile; a placeable header sizes a page of its own; the
// embedded enhanced metafile and damaged files draw without a finding, damage reported by 5580.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine_host.h"
#include "page_render.h"
#include "qvplatform/metafile.h"
#include "wmf_builder.h"
#include "wmf_twin_pictures.h"

namespace vellora_test {
namespace {

class Handle {
 public:
  explicit Handle(const std::vector<BYTE>& bytes)
      : result_(LoadMetafileBytes(bytes.data(), bytes.size())) {}
  ~Handle() {
    if (result_.kind == HandleKind::kMetaFile)
      DeleteMetaFile(result_.handle);
    else
      DeleteEnhMetaFile(result_.handle);
  }
  int get() const { return static_cast<int>(result_.handle); }

 private:
  MetafileLoadResult result_;
};

struct Drawn {
  std::string pdf;
  int error = -1;  // 5580 after the drawing
};

// The metafile drawn by 5569 onto a page of the given size (none: no page open), placed over
// the whole page when asked.
Drawn Draw(const std::vector<BYTE>& bytes, int pageWidth, int pageHeight, bool place = true) {
  const EngineEntries* e = Engine();
  EngineContext c;
  Drawn out;
  if (e == nullptr) return out;
  e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>(""));
  const Handle metafile(bytes);
  const bool page = pageWidth > 0;
  if (page) {
    const TQVPDFPageInit init = PageRecord(pageWidth, pageHeight);
    e->InitializePage(c, 0, &init);
    e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr);
  }
  TQVPDFCommand r{};
  r.Width = pageWidth;
  r.Height = pageHeight;
  r.Arg1 = r.Arg2 = 72;
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_METAFILE, metafile.get(), place ? &r : nullptr), 0);
  out.error = e->Do(c, QVPDF_CMD_METAFILE_ERROR, 0, nullptr);
  if (page) e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr);
  e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr);
  out.pdf = DocumentBytes(c);
  return out;
}

// Pixels of one raster that no pixel of the other matches within a pixel's distance: edges
// that the two drawings place a pixel apart do not count.
int Unmatched(const Raster& a, const Raster& b) {
  const auto matched = [](const Raster& from, const Raster& in, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (std::abs(from.Grey(x, y) - in.Grey(x + dx, y + dy)) <= 80) return true;
    return false;
  };
  int count = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      if (!matched(a, b, x, y) || !matched(b, a, x, y)) ++count;
  return count;
}

int Inked(const Raster& r) {
  int n = 0;
  for (int y = 0; y < r.height; ++y)
    for (int x = 0; x < r.width; ++x) n += r.Grey(x, y) < 192;
  return n;
}

TEST(EngineOldStyleMetafile, EachRecordKindDrawsAsTheSameEnhancedMetafile) {
  const std::filesystem::path folder = TempFolder("wmf-twins");
  for (const TwinPicture& twin : TwinPictures()) {
    SCOPED_TRACE(twin.name);
    const Drawn old = Draw(twin.wmf, kTwinPictureSize, kTwinPictureSize);
    const Drawn enhanced = Draw(twin.emf, kTwinPictureSize, kTwinPictureSize);
    EXPECT_EQ(old.error, 0);
    EXPECT_EQ(QpdfProblems(old.pdf), "");
    const Raster a = RenderPage(old.pdf), b = RenderPage(enhanced.pdf);
    ASSERT_TRUE(a.ok && b.ok) << a.diagnostics << b.diagnostics;
    ASSERT_EQ(a.width, b.width);
    EXPECT_GT(Inked(b), 100);  // the drawing shows
    const int unmatched = Unmatched(a, b);
    EXPECT_LE(unmatched, a.width * a.height / 500);
    if (unmatched > a.width * a.height / 500) {
      std::ofstream(folder / (twin.name + ".wmf.pdf"), std::ios::binary) << old.pdf;
      std::ofstream(folder / (twin.name + ".emf.pdf"), std::ios::binary) << enhanced.pdf;
      ADD_FAILURE() << "kept in " << folder;
    }
  }
}

TEST(EngineOldStyleMetafile, WithoutAPageThePlaceableHeaderSizesThePage) {
  WmfBuilder b;
  b.SetPlaceable({0, 0, 288, 144}, 144);  // 2 x 1 inches
  b.SetMapMode(MM_ANISOTROPIC).SetWindowExt(288, 144);
  b.CreatePen(5, 0, 0).SelectObject(0).CreateBrush(0, 0).SelectObject(1);
  b.Rectangle({0, 0, 144, 144}).Eof();
  const Drawn own = Draw(b.Bytes(), 0, 0, false);
  EXPECT_EQ(QpdfProblems(own.pdf), "");
  const Raster page = RenderPage(own.pdf);
  ASSERT_TRUE(page.ok);
  // The picture bracket's page is one reference pixel wider than the frame.
  EXPECT_NEAR(page.width, 144, 1);
  EXPECT_NEAR(page.height, 72, 1);
  EXPECT_GT(page.DarkShare(2, 2, 70, 70), 0.99);
  EXPECT_LT(page.DarkShare(74, 0, 144, 72), 0.01);

  // On an open page it is fitted to the page.
  const Drawn placed = Draw(b.Bytes(), 300, 100, false);
  const Raster onPage = RenderPage(placed.pdf);
  ASSERT_TRUE(onPage.ok);
  EXPECT_GT(onPage.DarkShare(2, 2, 148, 98), 0.99);
  EXPECT_LT(onPage.DarkShare(152, 0, 300, 100), 0.01);
}

TEST(EngineOldStyleMetafile, EmbeddedEnhancedMetafileIsDrawn) {
  const std::vector<unsigned char> inner = HalfBlackPicture(100, 100);
  WmfBuilder b;
  b.EmbedEmf(std::vector<BYTE>(inner.begin(), inner.end()), 200).Eof();
  const Drawn d = Draw(b.Bytes(), 100, 100);
  EXPECT_EQ(d.error, 0);
  const Raster page = RenderPage(d.pdf);
  ASSERT_TRUE(page.ok);
  EXPECT_GT(page.DarkShare(2, 2, 48, 98), 0.99);
  EXPECT_LT(page.DarkShare(52, 0, 100, 100), 0.01);
}

TEST(EngineOldStyleMetafile, DamageDrawsWithoutAFindingAndIsReported) {
  const auto base = [] {
    WmfBuilder b;
    b.SetObjects(2).CreatePen(0, 4, 0).SelectObject(0).Rectangle({10, 10, 90, 90});
    return b;
  };
  std::vector<std::vector<BYTE>> damaged;
  damaged.push_back(base().Bytes());  // cut short: no end record
  damaged.push_back(base().AppendBytes({0, 0, 0, 0, 0x1B, 4}).Eof().Bytes());
  damaged.push_back(base().AppendBytes({0xFF, 0xFF, 0, 0, 0x1B, 4}).Bytes());
  damaged.push_back(base().Record(META_POLYGON, {500, 1, 1}).Eof().Bytes());
  damaged.push_back(base().SelectObject(9).DeleteObject(1).Eof().Bytes());
  damaged.push_back(base().Record(META_EXTTEXTOUT, {10, 10, 900, 0}).Eof().Bytes());
  for (const std::vector<BYTE>& bytes : damaged) {
    const Drawn d = Draw(bytes, 100, 100);
    EXPECT_EQ(d.error, 1);
    EXPECT_EQ(QpdfProblems(d.pdf), "");
    EXPECT_GT(RenderPage(d.pdf).DarkShare(8, 8, 92, 92), 0.02);  // the rectangle before it
  }
  WmfBuilder clean = base();
  EXPECT_EQ(Draw(clean.Eof().Bytes(), 100, 100).error, 0);
}

// Real old-style files, where an installed package ships some.
TEST(EngineOldStyleMetafile, InstalledWmfFilesDraw) {
  std::vector<std::filesystem::path> files;
  for (const char* root : {"/usr/share", "/usr/lib"}) {
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(
             root, std::filesystem::directory_options::skip_permission_denied, ec);
         it != std::filesystem::recursive_directory_iterator() && files.size() < 20;
         it.increment(ec)) {
      if (ec) break;
      const std::string ext = it->path().extension().string();
      if ((ext == ".wmf" || ext == ".WMF") && it->is_regular_file(ec)) files.push_back(it->path());
    }
  }
  if (files.empty()) GTEST_SKIP() << "no .wmf file installed";
  for (const std::filesystem::path& file : files) {
    SCOPED_TRACE(file.string());
    std::ifstream in(file, std::ios::binary);
    const std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), {});
    const MetafileLoadResult probe = LoadMetafileBytes(bytes.data(), bytes.size());
    if (probe.status != MetafileStatus::kOk) continue;
    DeleteMetaFile(probe.handle);
    EXPECT_EQ(QpdfProblems(Draw(bytes, 300, 300).pdf), "");
  }
}

}  // namespace
}  // namespace vellora_test
