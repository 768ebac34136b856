// The demonstration program with the real engine: loading metafiles into the picture, and the
// exported PDF as independent readers see it.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPixmap>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "QVRasterDC/render_metafile.h"
#include "demo_test_support.h"
#include "pdf_tools.h"
#include "tool_run.h"

namespace brenlow_test {
namespace {

using namespace brenlow;
namespace fs = std::filesystem;

QSize ShownSize(TForm1& form) { return form.findChild<QLabel*>("Image1")->pixmap().size(); }

QSize OwnSize(const std::string& file) {
  const std::string bytes = vellora_test::ReadFile(file);
  if (bytes.empty()) return {};
  std::int32_t w = 0, h = 0;
  vellora::MetafilePixelSize(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), 96,
                             w, h);
  return {w, h};
}

std::string PdfInfo(const std::string& pdf) { return vellora_test::RunTool({"pdfinfo", pdf}).out; }

// The file's document checks clean by qpdf.
void ExpectSound(const std::string& pdf) {
  const std::string bytes = vellora_test::ReadFile(pdf);
  EXPECT_TRUE(vellora_test::QpdfCheck(bytes).Succeeded()) << vellora_test::QpdfProblems(bytes);
}

const std::string kSample = VELLORA_SOURCE_DIR "/examples/sample.emf";

TEST_F(DemoFormTest, TheStoredPictureShowsAtItsOwnSize) {
  StartForm();
  EXPECT_EQ(ShownSize(Form()), OwnSize(kSample));
  EXPECT_GE(OwnSize(kSample).width(), 599);
}

TEST_F(DemoFormTest, CorpusMetafilesShowAtTheirSizeAndBadFilesKeepThePicture) {
  StartForm();
  const std::string text = folder_.File("notes.emf").string();
  vellora_test::WriteFile(text, "just some text, not a metafile\n");
  Load(text);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find("notes.emf"), std::string::npos) << messages_[0];
  EXPECT_EQ(ShownSize(Form()), OwnSize(kSample));

  const fs::path corpus = fs::path(VELLORA_CORPUS_DIR) / "emf";
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(corpus))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  int shown = 0;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    messages_.clear();
    const QSize before = ShownSize(Form());
    Load(file.string());
    if (messages_.empty()) {
      EXPECT_EQ(ShownSize(Form()), OwnSize(file.string()));
      ++shown;
    } else {
      EXPECT_EQ(ShownSize(Form()), before) << messages_[0];
    }
  }
  EXPECT_GT(shown, 0);
}

TEST_F(DemoFormTest, TheRealEngineWritesTheShownPicture) {
  StartForm();
  Export(REAL_ENGINE);
  ASSERT_TRUE(messages_.empty()) << messages_.front();
  const std::string pdf = ProgramFolder() + "folvio_fontembed.pdf";
  EXPECT_EQ(launched_, std::vector<std::string>{pdf});
  ExpectSound(pdf);
  const std::string info = PdfInfo(pdf);
  EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Creator:         Marlisk"), std::string::npos) << info;
  // The page has the picture's size at 96 dpi, to a pixel (0.75 point).
  double width = 0, height = 0;
  const std::size_t at = info.find("Page size:");
  ASSERT_NE(at, std::string::npos) << info;
  ASSERT_EQ(std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &width, &height), 2) << info;
  const QSize picture = OwnSize(kSample);
  EXPECT_NEAR(width, picture.width() * 0.75, 0.76);
  EXPECT_NEAR(height, picture.height() * 0.75, 0.76);
  const std::string text = vellora_test::PdfToText(vellora_test::ReadFile(pdf)).out;
  EXPECT_NE(text.find("vellora sample"), std::string::npos) << text;
  EXPECT_NE(text.find("a gradient and text in Arial."), std::string::npos) << text;
}

TEST_F(DemoFormTest, APictureWithoutAMetafileExportsAnEmptyOne) {
  StartForm().Picture().Clear();
  Export(REAL_ENGINE);
  ASSERT_TRUE(messages_.empty()) << messages_.front();
  const std::string pdf = ProgramFolder() + "folvio_fontembed.pdf";
  ExpectSound(pdf);
  EXPECT_NE(PdfInfo(pdf).find("Pages:           1\n"), std::string::npos);
}

TEST_F(DemoFormTest, AnUnwritableOutputIsShownAndTheNextExportWorks) {
  TQVPDFPrinter& p = StartForm().QVPDFPrinter1();
  p.SetFilename(folder_.File("missing-folder/out.pdf").string());
  Export(REAL_ENGINE);
  EXPECT_EQ(messages_, std::vector<std::string>{"Error in BeginDoc!"});
  EXPECT_TRUE(launched_.empty());

  messages_.clear();
  Box("CheckBox1").click();  // a file name in the program folder again
  Export(REAL_ENGINE);
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  const std::string pdf = ProgramFolder() + "folvio_cid.pdf";
  ExpectSound(pdf);
  EXPECT_EQ(launched_, std::vector<std::string>{pdf});
}

}  // namespace
}  // namespace brenlow_test
