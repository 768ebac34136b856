// The finished document leaves the device: file and memory output give the same bytes,
// CopyToBuffer copies what fits, SaveToFile creates or truncates its target and never
// destroys the output file when the target names it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "pdf_device_test_util.h"

namespace vellora {
namespace {

namespace fs = std::filesystem;
using vellora_test::DocumentBytes;
using vellora_test::FixedDocumentEnvironment;
using vellora_test::QpdfProblems;
using vellora_test::ReadFile;
using vellora_test::RecordingDevice;
using vellora_test::WriteFile;

class PDFDeviceOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("pdfdev-output-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // Two pages with a rectangle each; the output is memory unless the device names a file.
  static void Write(TQVPDFDevice& d) {
    d.BeginDoc(576, 800, 72, 0);
    for (int i = 0; i < 2; ++i) {
      d.BeginPage(612, 792, 72, 72, 0);
      d.Rectangle({10 * i, 10, 100, 100});
      d.EndPage();
    }
    d.EndDoc();
  }

  fs::path dir_;
};

TEST_F(PDFDeviceOutput, FileAndMemoryGiveTheSameBytes) {
  FixedDocumentEnvironment fixed;
  RecordingDevice memory, file;
  Write(memory);
  file.options.file.outputFileName = Path("out.pdf");
  Write(file);
  EXPECT_EQ(file.outputFileNameUsed, Path("out.pdf"));
  const std::string bytes = DocumentBytes(memory);
  EXPECT_EQ(QpdfProblems(bytes), "");
  EXPECT_EQ(ReadFile(Path("out.pdf")), bytes);
  // Read back from the written file, as the host fetches a document.
  EXPECT_EQ(DocumentBytes(file), bytes);
  // And again: a second document of the device under the fixed identifier and clock.
  Write(memory);
  EXPECT_EQ(DocumentBytes(memory), bytes);
}

TEST_F(PDFDeviceOutput, CopyToBufferCopiesWhatFits) {
  RecordingDevice d;
  EXPECT_EQ(d.CopyToBuffer(0, nullptr), 0);  // no document yet
  Write(d);
  const std::string all = DocumentBytes(d);
  ASSERT_GT(all.size(), 100u);
  std::string part(100, '\0');
  EXPECT_EQ(d.CopyToBuffer(40, part.data()), 40);
  EXPECT_EQ(part.substr(0, 40), all.substr(0, 40));
  EXPECT_EQ(part.substr(40), std::string(60, '\0'));
  EXPECT_EQ(d.CopyToBuffer(0, part.data()), 0);
  EXPECT_EQ(d.CopyToBuffer(-5, part.data()), 0);
  EXPECT_EQ(d.CopyToBuffer(-5, nullptr), static_cast<std::int64_t>(all.size()));
  // Closed output: nothing left to copy.
  d.CloseOutputStream();
  EXPECT_EQ(d.CopyToBuffer(0, nullptr), 0);
  EXPECT_EQ(d.CopyToBuffer(100, part.data()), 0);
  EXPECT_THROW(d.SaveToFile(Path("closed.pdf")), std::runtime_error);

  // A file output is copied from the written file, also when its name has since gone to
  // another file.
  d.options.file.outputFileName = Path("copied.pdf");
  Write(d);
  const std::string written = ReadFile(Path("copied.pdf"));
  EXPECT_EQ(DocumentBytes(d), written);
  fs::remove(Path("copied.pdf"));
  WriteFile(Path("copied.pdf"), std::string(written.size(), 'x'));
  EXPECT_EQ(DocumentBytes(d), written);
}

TEST_F(PDFDeviceOutput, SaveFromMemoryCreatesOrTruncates) {
  RecordingDevice d;
  Write(d);
  const std::string bytes = DocumentBytes(d);
  d.SaveToFile(Path("new.pdf"));  // does not exist yet
  EXPECT_EQ(ReadFile(Path("new.pdf")), bytes);
  // A longer file in the way loses its tail (no second startxref survives).
  WriteFile(Path("old.pdf"), bytes + std::string(5000, 'z') + "startxref\r\n1\r\n%%EOF\r\n");
  d.SaveToFile(Path("old.pdf"));
  EXPECT_EQ(ReadFile(Path("old.pdf")), bytes);
  EXPECT_EQ(QpdfProblems(ReadFile(Path("old.pdf"))), "");
  try {
    d.SaveToFile(Path("missing-folder/x.pdf"));
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file " + Path("missing-folder/x.pdf"));
  }
}

TEST_F(PDFDeviceOutput, SaveFromFileOutput) {
  RecordingDevice d;
  d.options.file.outputFileName = Path("out.pdf");
  Write(d);
  const std::string bytes = ReadFile(Path("out.pdf"));
  ASSERT_EQ(QpdfProblems(bytes), "");
  // After EndDoc, as the host saves: from the written file, to a new and to a longer file.
  d.SaveToFile(Path("copy.pdf"));
  EXPECT_EQ(ReadFile(Path("copy.pdf")), bytes);
  WriteFile(Path("longer.pdf"), std::string(bytes.size() * 2, 'q'));
  d.SaveToFile(Path("longer.pdf"));
  EXPECT_EQ(ReadFile(Path("longer.pdf")), bytes);
  // Other names of the output file itself leave it as it is.
  fs::create_symlink(Path("out.pdf"), Path("link.pdf"));
  for (const std::string& same :
       {Path("out.pdf"), (dir_ / "." / "out.pdf").string(), Path("link.pdf")}) {
    SCOPED_TRACE(same);
    d.SaveToFile(same);
    EXPECT_EQ(ReadFile(Path("out.pdf")), bytes);
  }
  // The output file's name is gone: the document is still saved.
  fs::remove(Path("out.pdf"));
  d.SaveToFile(Path("out.pdf"));
  EXPECT_EQ(ReadFile(Path("out.pdf")), bytes);
}

TEST_F(PDFDeviceOutput, SaveWhileTheDocumentIsOpen) {
  RecordingDevice d;
  d.options.file.outputFileName = Path("open.pdf");
  d.BeginDoc(576, 800, 72, 0);
  d.BeginPage(612, 792, 72, 72, 0);
  d.SaveToFile(Path("partial.pdf"));  // what is written so far: the header and information
  const std::string partial = ReadFile(Path("partial.pdf"));
  EXPECT_EQ(partial.substr(0, 8), "%PDF-1.2");
  EXPECT_EQ(static_cast<std::int64_t>(partial.size()), d.CopyToBuffer(0, nullptr));
  d.EndDoc();
  EXPECT_EQ(QpdfProblems(ReadFile(Path("open.pdf"))), "");
}

TEST_F(PDFDeviceOutput, NextDocumentReplacesTheFinishedOne) {
  RecordingDevice d;
  Write(d);
  const std::int64_t first = d.CopyToBuffer(0, nullptr);
  d.BeginDoc(576, 800, 72, 0);
  EXPECT_LT(d.CopyToBuffer(0, nullptr), first);  // the new header only
  d.EndDoc();
  EXPECT_EQ(QpdfProblems(DocumentBytes(d)), "");
}

}  // namespace
}  // namespace vellora
