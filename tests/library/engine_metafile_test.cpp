// Metafiles drawn through QVPDF_Do 5569: handles of the host's platform library are drawn by
// the engine (one handle table), placed by the record, in the long record form, on a page
// of their own when none is open; old-style handles draw, invalid ones fail with the reason,
// and damaged data is reported by 5580.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "emf_builder.h"
#include "engine_host.h"
#include "qvplatform/debug_output.h"
#include "qvplatform/metafile.h"

namespace vellora_test {
namespace {

// A metafile handle of the platform library, deleted at the end of the scope.
class Metafile {
 public:
  explicit Metafile(const std::vector<unsigned char>& bytes)
      : result_(qvplatform::LoadMetafileBytes(bytes.data(), bytes.size())) {}
  ~Metafile() {
    if (result_.kind == qvplatform::HandleKind::kMetaFile) {
      qvplatform::DeleteMetaFile(result_.handle);
    } else {
      qvplatform::DeleteEnhMetaFile(result_.handle);
    }
  }
  std::uint32_t handle() const { return result_.handle; }
  qvplatform::MetafileStatus status() const { return result_.status; }

 private:
  qvplatform::MetafileLoadResult result_;
};

class EngineMetafile : public ::testing::Test {
 protected:
  void SetUp() override {
    e = Engine();
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>("")), 0);
  }
  void OpenPage(int width, int height) {
    const TQVPDFPageInit page = PageRecord(width, height);
    ASSERT_EQ(e->InitializePage(c, 0, &page), 1);
    ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  }
  std::string Finish(bool pageOpen = true) {
    if (pageOpen) {
      EXPECT_EQ(e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
    }
    EXPECT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
    return DocumentBytes(c);
  }
  // The placement record of 5569 at 72 dpi.
  static TQVPDFCommand Place(int x, int y, int width, int height) {
    TQVPDFCommand r{};
    r.X = x;
    r.Y = y;
    r.Width = width;
    r.Height = height;
    r.Arg1 = r.Arg2 = 72;
    return r;
  }

  const EngineEntries* e = nullptr;
  EngineContext c;
};

TEST_F(EngineMetafile, PlacedByTheRecordIntoTheOpenPage) {
  const Metafile picture(HalfBlackPicture(100, 100));
  ASSERT_NE(picture.handle(), 0u);
  OpenPage(400, 200);
  // The square picture stretched over the right half of the page: its black half is the
  // third quarter of the page.
  TQVPDFCommand r = Place(200, 0, 200, 200);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_METAFILE, static_cast<int>(picture.handle()), &r), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_METAFILE_ERROR, 0, nullptr), 0);
  const std::string pdf = Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_LT(DarkShare(pdf, 0, 0, 195, 200), 0.01);
  EXPECT_GT(DarkShare(pdf, 205, 5, 295, 195), 0.99);
  EXPECT_LT(DarkShare(pdf, 305, 0, 400, 200), 0.01);
}

TEST_F(EngineMetafile, LongRecordFormNullRecordAndPagesOfTheirOwn) {
  const Metafile picture(HalfBlackPicture(100, 50));
  OpenPage(100, 50);
  // The handle of the long form wins over the value.
  TQVPDFCommand r = Place(0, 0, 100, 50);
  r.RecordForm = QVPDF_COMMAND_LONG_FORM;
  r.Metafile = picture.handle();
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_METAFILE, 0, &r), 0);
  // A second picture on the same page, without a record: its own size at the origin.
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_METAFILE, static_cast<int>(picture.handle()), nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
  // Without an open page the picture gets a page of its own.
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_METAFILE, static_cast<int>(picture.handle()), nullptr), 0);
  const std::string pdf = Finish(false);
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_NE(pdf.find("/Count 2"), std::string::npos);
  EXPECT_GT(DarkShare(pdf, 2, 2, 48, 48), 0.99);
  EXPECT_LT(DarkShare(pdf, 52, 0, 100, 50), 0.01);
}

// 5570 opens a form that a metafile drawn by 5569 goes into, 5571 closes it, 5572 places it
// by its name (any case); a form begun during a page and a name without a form give -1.
TEST_F(EngineMetafile, FormObjectsHoldAMetafileAndArePlacedByName) {
  const Metafile picture(HalfBlackPicture(100, 100));
  const TQVPDFPageInit page = PageRecord(100, 100);
  ASSERT_EQ(e->InitializePage(c, 0, &page), 1);
  TQVPDFCommand form{};
  std::snprintf(form.Head.Name.Text, sizeof form.Head.Name.Text, "%s", "Mark");
  form.Width = form.Height = 100;
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_XFORM, 0, &form), 0);
  TQVPDFCommand r = Place(0, 0, 100, 100);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_METAFILE, static_cast<int>(picture.handle()), &r), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_XFORM, 0, nullptr), 0);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  TQVPDFCommand other = form;
  std::snprintf(other.Head.Name.Text, sizeof other.Head.Name.Text, "%s", "Other");
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_XFORM, 0, &other), -1);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_XFORM, 0, &other), -1);
  TQVPDFCommand place = form;
  std::snprintf(place.Head.Name.Text, sizeof place.Head.Name.Text, "%s", "MARK");
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_XFORM, 0, &place), 0);
  const std::string pdf = Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_NE(pdf.find("/Count 1"), std::string::npos);  // the metafile stayed in the form
  EXPECT_GT(DarkShare(pdf, 2, 2, 48, 98), 0.99);
  EXPECT_LT(DarkShare(pdf, 52, 0, 100, 100), 0.01);
}

TEST_F(EngineMetafile, OldStyleHandlesDrawAndInvalidOnesFailWithTheReason) {
  // An old-style metafile: its header (9 words) and the end record.
  const std::vector<unsigned char> wmf = {1, 0, 9, 0, 0, 3, 12, 0, 0, 0, 0, 0,
                                          3, 0, 0, 0, 0, 0, 3,  0, 0, 0, 0, 0};
  const Metafile old(wmf);
  ASSERT_EQ(old.status(), qvplatform::MetafileStatus::kOk);
  OpenPage(100, 100);
  qvplatform::ScopedDebugCapture debug;
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_METAFILE, static_cast<int>(old.handle()), nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_METAFILE, 0, nullptr), -1);
  const std::vector<std::string> lines = debug.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines.back(), "Cannot draw metafile 0: not a metafile handle (5569)");
  EXPECT_EQ(e->Do(c, QVPDF_CMD_METAFILE_ERROR, 0, nullptr), 0);
  EXPECT_EQ(QpdfProblems(Finish()), "");
}

TEST_F(EngineMetafile, DamagedDataIsReportedByTheErrorCommand) {
  EmfBuilder b;
  b.Rectangle({10, 10, 50, 50});
  b.ForceRecordCount(10);  // the data ends long before the tenth record
  const Metafile damaged(b.Bytes());
  ASSERT_NE(damaged.handle(), 0u);
  OpenPage(100, 100);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_METAFILE_ERROR, 0, nullptr), 0);
  qvplatform::ScopedDebugCapture debug;
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_METAFILE, static_cast<int>(damaged.handle()), nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_METAFILE_ERROR, 0, nullptr), 1);
  // The player's report names the record and the time of the drawing (not the zero date).
  ASSERT_EQ(debug.Lines().size(), 1u);
  EXPECT_EQ(debug.Lines()[0].rfind("PDF engine detected problem in EMF data [rec 2] ", 0), 0u)
      << debug.Lines()[0];
  EXPECT_EQ(debug.Lines()[0].find("1899-12-30"), std::string::npos);
  EXPECT_EQ(QpdfProblems(Finish()), "");
}

// Contexts on different threads at once: each writes its documents undisturbed.
TEST(EngineThreads, ContextsOnSeveralThreadsAtOnce) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  const Metafile picture(HalfBlackPicture(100, 100));
  std::vector<std::string> documents(8);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < documents.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 3; ++round) {
        EngineContext c;
        e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>(""));
        const TQVPDFPageInit page = PageRecord(100, 100);
        e->InitializePage(c, 0, &page);
        e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr);
        e->Do(c, QVPDF_CMD_DRAW_METAFILE, static_cast<int>(picture.handle()), nullptr);
        e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr);
        e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr);
        documents[t] = DocumentBytes(c);
      }
    });
  }
  for (std::thread& t : threads) t.join();
  for (const std::string& pdf : documents) {
    EXPECT_EQ(QpdfProblems(pdf), "");
    EXPECT_GT(DarkShare(pdf, 2, 2, 48, 98), 0.99);
  }
}

TEST(EngineDivisor, TheProcessWideDivisorWritesFinerUnitsOfTheSamePicture) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  const Metafile picture(HalfBlackPicture(100, 100));
  // Devices made after the key is set take the divisor; 0 counts as 1.
  const auto drawnWith = [&](int divisor) {
    {
      EngineContext setter;
      EXPECT_TRUE(e->SetIProp(setter, QVPDF_IPROP_DEFAULT_DIVISOR, divisor));
    }
    EngineContext c;
    EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_COMPRESS_STREAM_METHOD, QVPDF_COMPRESS_NONE));
    EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>("")), 0);
    const TQVPDFPageInit page = PageRecord(200, 200);
    EXPECT_EQ(e->InitializePage(c, 0, &page), 1);
    EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
    TQVPDFCommand r{};
    r.X = 50;
    r.Y = 50;
    r.Width = r.Height = 100;
    r.Arg1 = r.Arg2 = 72;
    EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_METAFILE, static_cast<int>(picture.handle()), &r), 0);
    EXPECT_EQ(e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
    EXPECT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
    return DocumentBytes(c);
  };
  for (const int divisor : {10, 0, 1}) {  // 1, the default, last
    SCOPED_TRACE(divisor);
    const std::string pdf = drawnWith(divisor);
    EXPECT_EQ(QpdfProblems(pdf), "");
    EXPECT_GT(DarkShare(pdf, 55, 55, 95, 145), 0.99);
    EXPECT_LT(DarkShare(pdf, 105, 55, 145, 145), 0.01);
    EXPECT_LT(DarkShare(pdf, 0, 0, 200, 45), 0.01);
    // The divisor divides the coordinates written, and the content's matrix takes it back.
    EXPECT_NE(pdf.find(divisor == 10 ? " 0 0 5 -10 re " : " 0 0 50 -100 re "), std::string::npos);
  }
}

}  // namespace
}  // namespace vellora_test
