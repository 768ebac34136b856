// Pages, form objects, merge pages, watermarks and the page canvas against the fake engine.
#include <cstring>
#include <filesystem>

#include "emf_builder.h"
#include "fake_engine_test.h"
#include "qvplatform/debug_output.h"
#include "qvplatform/device_context.h"

namespace brenlow_test {
namespace {

using namespace brenlow;

TQVPDFPageInit PageRecord(const fake_engine::Call& call) {
  TQVPDFPageInit page;
  EXPECT_EQ(call.bytes.size(), sizeof page);
  std::memcpy(&page, call.bytes.data(), sizeof page);
  return page;
}

std::vector<std::string> DrawnForms() {
  std::vector<std::string> names;
  for (const auto& c : CallsOf("Do"))
    if (c.key == QVPDF_CMD_DRAW_XFORM) names.push_back(c.text);
  return names;
}

class PagesTest : public FakeEngineTest {
 protected:
  void SetUp() override {
    FakeEngineTest::SetUp();
    printer_.SetInMemoryMode(true);
  }
  void TearDown() override {
    printer_.UnloadEngine();
    FakeEngineTest::TearDown();
  }
  TQVPDFPrinter printer_;
};

TEST_F(PagesTest, PageRecordsCarryTheGivenPage) {
  printer_.SetCreateThumbnails(true);
  printer_.BeginDoc();
  printer_.StartPage(600, 800, 0, 144, 90);
  printer_.EndPage();
  printer_.StartPage(10, 20, -5, -1, 3);  // a negative resolution is no resolution either
  printer_.EndPage();
  printer_.EndDoc();
  const auto pages = CallsOf("InitializePage");
  ASSERT_EQ(pages.size(), 2u);
  const TQVPDFPageInit first = PageRecord(pages[0]);
  EXPECT_EQ(first.Width, 600);
  EXPECT_EQ(first.Height, 800);
  EXPECT_EQ(first.XResolution, 72);
  EXPECT_EQ(first.YResolution, 144);
  EXPECT_EQ(first.RotationFlags, 90u);
  EXPECT_EQ(first.PageColor, 0xFF000010u);
  EXPECT_EQ(first.CreateThumbnails, 1);
  EXPECT_EQ(first.OriginX, 0);
  const TQVPDFPageInit second = PageRecord(pages[1]);
  EXPECT_EQ(second.XResolution, 72);
  EXPECT_EQ(second.YResolution, 72);
  EXPECT_EQ(second.RotationFlags, 3u);
  EXPECT_EQ(Commands(), (std::vector<int>{5558, 5560, 5561, 5560, 5561, 5559, 5580, 5564}));
  EXPECT_EQ(printer_.PageCount(), 2);
}

TEST_F(PagesTest, StartPageOutsideADocumentIsRefused) {
  try {
    printer_.StartPage(1, 1, 72, 72, 0);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "StartPage is only allowed within StartDoc and EndDoc!");
  }
  EXPECT_THROW(printer_.Canvas(), std::logic_error);
}

TEST_F(PagesTest, TheCanvasMetafileHasThePageGeometry) {
  printer_.BeginDoc();
  printer_.StartPage(827, 1169, 100, 100, 0);
  printer_.Canvas().Rectangle({10, 10, 100, 100});
  EXPECT_EQ(printer_.Canvas().GetDeviceCaps(qvplatform::LOGPIXELSX), 100);
  printer_.EndPage();
  printer_.EndDoc();
  const auto draws = CallsOf("Do");
  const auto drawn = std::find_if(draws.begin(), draws.end(),
                                  [](const auto& c) { return c.key == QVPDF_CMD_DRAW_METAFILE; });
  ASSERT_NE(drawn, draws.end());
  const qvplatform::ENHMETAHEADER& h = drawn->header;
  EXPECT_EQ(h.rclFrame.right, 21006);
  EXPECT_EQ(h.rclFrame.bottom, 29693);
  EXPECT_EQ(h.szlMillimeters.cx, 210);
  EXPECT_EQ(h.szlMillimeters.cy, 297);
  EXPECT_EQ(h.rclBounds.right, 828);
  EXPECT_EQ(h.rclBounds.bottom, 1170);
  EXPECT_EQ(h.szlDevice.cx, 827);
  EXPECT_EQ(h.szlDevice.cy, 1169);
  EXPECT_EQ(drawn->arg1, 100) << "the canvas resolution goes with the metafile";
  EXPECT_EQ(drawn->arg2, 100);
  EXPECT_EQ(drawn->width, 0);
}

TEST_F(PagesTest, DrawingOnAnOpenPageIsKeptByTheNextStartAndByEndDoc) {
  printer_.BeginDoc();
  printer_.StartPage(100, 100, 72, 72, 0);
  printer_.Canvas().LineTo(50, 50);
  printer_.StartPage(100, 100, 72, 72, 0);
  printer_.Canvas().LineTo(50, 50);
  printer_.EndDoc();
  EXPECT_EQ(Commands(), (std::vector<int>{5558, 5560, 5569, 5560, 5569, 5559, 5580, 5564}));
}

TEST_F(PagesTest, InputPagesBecomeWatermarks) {
  printer_.SetInputfileMode(qvUseInputAsWatermark);
  FakeLog().callbacks.push_back({QVPDF_CMD_BEGIN_DOC, QVPDF_CALLBACK_INPUT_PAGES, 3, ""});
  printer_.BeginDoc();
  for (int i = 0; i < 5; ++i) {
    printer_.StartPage(200, 300, 72, 72, 0);
    printer_.EndPage();
  }
  printer_.EndDoc();
  EXPECT_EQ(DrawnForms(),
            (std::vector<std::string>{"inpage1", "inpage2", "inpage3", "inpage3", "inpage3"}));
  const auto forms = CallsOf("Do");
  const auto first = std::find_if(forms.begin(), forms.end(),
                                  [](const auto& c) { return c.key == QVPDF_CMD_DRAW_XFORM; });
  EXPECT_EQ(first->width, 200);
  EXPECT_EQ(first->height, 300);
}

TEST_F(PagesTest, MergePagesBecomeOneFormEach) {
  const std::vector<qvplatform::BYTE> picture =
      vellora_test::EmfBuilder().LineTo(5, 5).Eof().Bytes();
  const std::string good = OutputFile("merge.emf");
  {
    qvplatform::TMetafile m;
    m.SetBytes(picture);
    m.SaveToFile(good);
  }
  qvplatform::TMetafile byHandle;
  byHandle.SetBytes(picture);
  struct Case {
    const char* name;
    HENHMETAFILE handle;
    std::string file;
    std::vector<std::string> forms;
    int created;
  };
  const Case cases[] = {
      {"handle", byHandle.Handle(), "", {"XQVK0", "XQVK0", "XQVK0"}, 1},
      {"file", 0, good, {"XQVK0", "XQVK0", "XQVK0"}, 1},
      {"missing file", 0, OutputFile("none.emf"), {}, 1},
      {"nothing", 0, "", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeLog().Reset();
    qvplatform::ScopedDebugCapture quiet;
    printer_.OnMergePage = [&](TQVCustomPDFExport&, int, HENHMETAFILE& handle, std::string& file) {
      handle = c.handle;
      file = c.file;
    };
    printer_.BeginDoc();
    for (int i = 0; i < 3; ++i) {
      printer_.StartPage(100, 100, 72, 72, 0);
      printer_.EndPage();
    }
    printer_.EndDoc();
    EXPECT_EQ(DrawnForms(), c.forms);
    int created = 0;
    for (const auto& call : CallsOf("Do"))
      if (call.key == QVPDF_CMD_BEGIN_XFORM) {
        ++created;
        EXPECT_EQ(call.text, "XQVK0");
      }
    EXPECT_EQ(created, c.created) << "a failed merge file is not tried again";
  }
}

TEST_F(PagesTest, FormObjectsNameTheirForm) {
  printer_.BeginDoc();
  printer_.StartXForm("Logo", 40, 30, 72, 72);
  printer_.Canvas().Ellipse({0, 0, 40, 30});
  printer_.EndXForm();
  printer_.DrawXForm("Logo", 1, 2, 3, 4);
  printer_.EndDoc();
  EXPECT_EQ(Commands(), (std::vector<int>{5558, 5570, 5569, 5571, 5572, 5559, 5580, 5564}));
  const auto calls = CallsOf("Do");
  EXPECT_EQ(calls[1].text, "Logo");
  EXPECT_EQ(calls[1].width, 40);
  EXPECT_EQ(calls[1].height, 30);
  EXPECT_EQ(calls[4].text, "Logo");
  EXPECT_EQ(calls[4].x, 1);
  EXPECT_EQ(calls[4].height, 4);
}

TEST_F(PagesTest, AMetafileTheEngineRefusesIsNoted) {
  FakeLog().results[QVPDF_CMD_DRAW_METAFILE] = -1;
  qvplatform::ScopedDebugCapture capture;
  printer_.BeginDoc();
  printer_.StartPage(10, 10, 72, 72, 0);
  printer_.Canvas().LineTo(1, 1);
  printer_.EndPage();
  EXPECT_TRUE(printer_.MetafileError());
  ASSERT_EQ(capture.Lines().size(), 1u);
  EXPECT_NE(capture.Lines()[0].find("could not be drawn"), std::string::npos);
  printer_.EndDoc();
  EXPECT_TRUE(printer_.MetafileError());
}

TEST_F(PagesTest, DebugModeDumpsEachPageMetafile) {
  std::vector<std::string> notes;
  printer_.OnError = [&](TQVCustomPDFExport&, int num, const std::string& text) {
    EXPECT_EQ(num, 0);
    notes.push_back(text);
  };
  qvplatform::TMetafile picture;
  picture.SetBytes(vellora_test::EmfBuilder().LineTo(5, 5).Eof().Bytes());
  const std::string folder =
      (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Debug").string();
  struct Case {
    std::string path, folder;
  };
  for (const Case& c :
       {Case{"", folder}, Case{OutputFile("dumps/deep"), OutputFile("dumps/deep")}}) {
    notes.clear();
    printer_.SetDebugMode(true);
    printer_.SetDebugMetafilePath(c.path);
    printer_.BeginDoc();
    printer_.DrawMetafileAt(0, 0, picture.Handle());
    printer_.StartPage(10, 10, 72, 72, 0);
    printer_.Canvas().LineTo(1, 1);
    printer_.EndPage();
    printer_.EndDoc();
    EXPECT_EQ(notes, (std::vector<std::string>{"Wrote debug file:" + c.folder + "/Page0.EMF",
                                               "Wrote debug file:" + c.folder + "/Page1.EMF"}));
    qvplatform::TMetafile dumped;
    EXPECT_TRUE(dumped.LoadFromFile(c.folder + "/Page1.EMF"));
  }
  std::filesystem::remove_all(folder);
  printer_.SetDebugMetafilePath("/proc/no-such-folder");
  printer_.BeginDoc();
  printer_.DrawMetafileAt(0, 0, picture.Handle());
  printer_.EndDoc();
  EXPECT_EQ(notes.back(), "Problem while writing debug file:/proc/no-such-folder/Page0.EMF");
}

}  // namespace
}  // namespace brenlow_test
