// The example host emf2pdf over the shared corpus: every readable metafile of emf/ and
// emf-ea/ becomes a PDF that qpdf --check passes; every damaged one of emf-corrupted/, and an
// empty file, becomes such a PDF or a clear error that names it; nothing crashes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine_host.h"
#include "test_support.h"
#include "tool_run.h"

namespace vellora_test {
namespace {

namespace fs = std::filesystem;

// Converts the folder's files, one document each; returns the files without an output.
std::vector<fs::path> ConvertFolder(const std::vector<fs::path>& files, const fs::path& out,
                                    ToolResult& run) {
  std::vector<std::string> args = {"-d", out.string()};
  for (const fs::path& f : files) args.push_back(f.string());
  run = RunEmf2Pdf(args);
  EXPECT_TRUE(run.exited) << run.out;
  std::vector<fs::path> missing;
  for (const fs::path& f : files) {
    const fs::path pdf = out / (f.stem().string() + ".pdf");
    if (!fs::exists(pdf)) {
      missing.push_back(f);
      continue;
    }
    SCOPED_TRACE(f.string());
    EXPECT_EQ(QpdfProblems(ReadFile(pdf)), "");
  }
  return missing;
}

TEST(Emf2PdfCorpus, ReadableMetafilesBecomeValidDocuments) {
  const fs::path corpus = CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  for (const char* folder : {"emf", "emf-ea"}) {
    SCOPED_TRACE(folder);
    const fs::path out = TempFolder(folder);
    ToolResult run;
    const std::vector<fs::path> missing = ConvertFolder(FilesBelow(corpus / folder), out, run);
    // Only an empty file cannot be read, and it is named with the reason.
    for (const fs::path& f : missing) {
      EXPECT_EQ(fs::file_size(f), 0u) << f;
      EXPECT_NE(run.out.find(f.string() + ": the file is empty"), std::string::npos);
    }
    EXPECT_EQ(run.status, missing.empty() ? 0 : 1) << run.out;
    fs::remove_all(out);
  }
}

TEST(Emf2PdfCorpus, DamagedMetafilesGiveValidDocumentsOrClearErrors) {
  const fs::path corpus = CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  const fs::path out = TempFolder("corrupted");
  std::vector<fs::path> files = FilesBelow(corpus / "emf-corrupted");
  const fs::path empty = TempFolder("empty") / "empty.emf";
  {
    std::FILE* f = std::fopen(empty.c_str(), "wb");
    std::fclose(f);
  }
  files.push_back(empty);
  ToolResult run;
  const std::vector<fs::path> missing = ConvertFolder(files, out, run);
  EXPECT_FALSE(missing.empty());  // the empty file at least
  for (const fs::path& f : missing)
    EXPECT_NE(run.out.find("emf2pdf: " + f.string() + ": "), std::string::npos) << f;
  EXPECT_EQ(run.status, 1);
  fs::remove_all(out);
  fs::remove_all(empty.parent_path());
}

TEST(Emf2PdfCorpus, SeveralInputsAsThePagesOfOneDocument) {
  const fs::path corpus = CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  std::vector<fs::path> files = FilesBelow(corpus / "emf-ea");
  ASSERT_GE(files.size(), 3u);
  const fs::path out = TempFolder("pages") / "all.pdf";
  const ToolResult run =
      RunEmf2Pdf({"-o", out.string(), files[0].string(), files[1].string(), files[2].string()});
  EXPECT_EQ(run.status, 0) << run.out;
  const std::string pdf = ReadFile(out);
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_NE(pdf.find("/Count 3"), std::string::npos);
  fs::remove_all(out.parent_path());
}

TEST(Emf2PdfCorpus, TheSampleConvertsQuietlyAndVerboseShowsNotifications) {
  const fs::path sample = SourceDir() / "examples" / "sample.emf";
  const fs::path folder = TempFolder("sample");
  const std::string out = (folder / "sample.pdf").string();
  // The notifications (a page begun, a font embedded) tell nothing went wrong: not shown.
  const ToolResult quiet = RunEmf2Pdf({sample.string(), out});
  EXPECT_EQ(quiet.status, 0) << quiet.out;
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(QpdfProblems(ReadFile(out)), "");
  const ToolResult verbose = RunEmf2Pdf({"-v", sample.string(), out});
  EXPECT_EQ(verbose.status, 0) << verbose.out;
  EXPECT_NE(verbose.out.find("engine notification 20"), std::string::npos) << verbose.out;
  EXPECT_EQ(verbose.out.find("internal error"), std::string::npos) << verbose.out;
  // The usage text names the option.
  EXPECT_NE(RunEmf2Pdf({}).out.find("-v"), std::string::npos);
  fs::remove_all(folder);
}

TEST(Emf2PdfCorpus, TheSampleConvertsEncrypted) {
  const fs::path sample = SourceDir() / "examples" / "sample.emf";
  const fs::path folder = TempFolder("sample-encrypted");
  const std::string plain = (folder / "plain.pdf").string();
  const std::string encrypted = (folder / "encrypted.pdf").string();
  ASSERT_EQ(RunEmf2Pdf({sample.string(), plain}).status, 0);
  const ToolResult run = RunEmf2Pdf({"-e", "128", sample.string(), encrypted});
  EXPECT_EQ(run.status, 0) << run.out;
  const std::string pdf = ReadFile(encrypted);
  EXPECT_EQ(QpdfProblems(pdf), "");
  const ToolResult shown = RunTool({"qpdf", "--show-encryption", encrypted});
  EXPECT_NE(shown.out.find("R = 3"), std::string::npos) << shown.out;
  EXPECT_EQ(PdfToText(pdf).out, PdfToText(ReadFile(plain)).out);
  EXPECT_EQ(RunEmf2Pdf({"-e", "64", sample.string(), encrypted}).status, 2);
  fs::remove_all(folder);
}

TEST(Emf2PdfCorpus, CommandLineErrors) {
  EXPECT_EQ(RunEmf2Pdf({}).status, 2);
  EXPECT_EQ(RunEmf2Pdf({"-o", "x.pdf"}).status, 2);
  const fs::path folder = TempFolder("args");
  const ToolResult missing =
      RunEmf2Pdf({(folder / "none.emf").string(), (folder / "none.pdf").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("none.emf: the file cannot be read"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder / "none.pdf"));
  fs::remove_all(folder);
}

}  // namespace
}  // namespace vellora_test
