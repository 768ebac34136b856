// Two components on two threads write their own documents through the one loaded library;
// the library stays while either holds it and goes with the last.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "fake_engine_test.h"
#include "font_test_env.h"
#include "pdf_tools.h"

namespace brenlow_test {
namespace {

using namespace brenlow;

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteDocument(TQVPDFPrinter& printer, const std::string& file, const std::string& words) {
  printer.SetFilename(file);
  printer.BeginDoc();
  printer.StartPage(400, 300, 72, 72, 0);
  qvplatform::LOGFONTW lf;
  lf.lfHeight = -20;
  const std::u16string face = u"Liberation Sans";
  std::copy(face.begin(), face.end(), lf.lfFaceName);
  printer.Canvas().SetFont(lf);
  printer.Canvas().ExtTextOutW(20, 50, 0, nullptr, std::u16string(words.begin(), words.end()));
  printer.Canvas().Rectangle({10, 10, 390, 290});
  printer.EndPage();
  printer.EndDoc();
}

class TwoThreadsTest : public FakeEngineTest, public testing::WithParamInterface<const char*> {};

TEST_P(TwoThreadsTest, ComponentsShareTheLibraryAcrossThreads) {
  const std::string library = GetParam();
  const bool real = library == REAL_ENGINE;
  if (real && !vellora_test::UsePrivateFontConfig()) GTEST_SKIP() << "test fonts missing";
  UseEngineLibrary(library);
  auto first = std::make_unique<TQVPDFPrinter>();
  auto second = std::make_unique<TQVPDFPrinter>();
  const std::string one = OutputFile("one.pdf"), two = OutputFile("two.pdf");
  std::thread a([&] { WriteDocument(*first, one, "first document"); });
  std::thread b([&] { WriteDocument(*second, two, "second document"); });
  a.join();
  b.join();
  EXPECT_EQ(EngineLibraryReferenceCount(), 2);
  first.reset();
  EXPECT_EQ(EngineLibraryReferenceCount(), 1);
  const std::string pdf = ReadFile(one);
  if (real) {
    EXPECT_EQ(vellora_test::QpdfProblems(pdf), "");
    EXPECT_NE(vellora_test::PdfToText(pdf).out.find("first document"), std::string::npos);
    EXPECT_NE(vellora_test::PdfToText(ReadFile(two)).out.find("second document"),
              std::string::npos);
  } else {
    EXPECT_EQ(pdf, FakeLog().document);
  }
  second.reset();
  EXPECT_EQ(EngineLibraryReferenceCount(), 0);
  EXPECT_FALSE(LibraryLoaded(library)) << "the last component unloads the library";
  {
    TQVPDFPrinter third;
    WriteDocument(third, OutputFile("three.pdf"), "third document");
    EXPECT_EQ(EngineLibraryReferenceCount(), 1);
    EXPECT_TRUE(LibraryLoaded(library));
  }
  UseEngineLibrary(FAKE_ENGINE);
}

INSTANTIATE_TEST_SUITE_P(Engines, TwoThreadsTest, testing::Values(REAL_ENGINE, FAKE_ENGINE));

}  // namespace
}  // namespace brenlow_test
