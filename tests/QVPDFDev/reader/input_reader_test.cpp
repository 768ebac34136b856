// The input PDF reader on files written byte by byte: cross-reference sections with several
// subsections and updates, the page tree with inheritance, content arrays, indirect lengths,
// generations, and damaged files that must end in a clear reason.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QVPDFDev/filters/zlib_binding.h"
#include "QVPDFDev/reader/input_import.h"
#include "QVPDFDev/reader/input_page_content.h"
#include "input_pdf_builder.h"

namespace vellora {
namespace {

using vellora_test::InputPdfBuilder;
using vellora_test::MarkedPageContent;
using vellora_test::MarkedPdf;

// An input held in memory with its reader.
struct Input {
  explicit Input(std::string text)
      : bytes(text.begin(), text.end()), stream(bytes), import(stream) {}
  std::string Content(std::size_t page) {
    const std::vector<std::uint8_t> data =
        ReadPageContent(import.File(), import.Tree().pages.at(page), 1 << 20);
    return std::string(data.begin(), data.end());
  }
  std::vector<std::uint8_t> bytes;
  TQVPDFMemoryInputStream stream;
  TQVInputImport import;
};

// The reason the input is refused; empty when it reads and every page's content decodes.
std::string Refusal(const std::string& text) {
  try {
    Input input(text);
    for (std::size_t i = 0; i < input.import.Tree().pages.size(); ++i) input.Content(i);
    input.import.Plan(false);
  } catch (const TQVPDFInputError& e) {
    return e.what();
  }
  return {};
}

std::string Flate(std::string_view text) {
  std::vector<std::uint8_t> z = ZCompressBuffer(text.data(), text.size(), 3);
  return std::string(z.begin(), z.end());
}

const std::string kCatalog = "<< /Type /Catalog /Pages 2 0 R >>";
const std::string kFont = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>";

TEST(InputReader, ReadsMarkedPagesInOrder) {
  Input input(MarkedPdf(3, 300, 400));
  const TQVInputPageTree& tree = input.import.Tree();
  ASSERT_EQ(tree.pages.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(input.Content(i), MarkedPageContent(static_cast<int>(i + 1)));
    EXPECT_EQ(tree.pages[i].Width(), 300);
    EXPECT_EQ(tree.pages[i].Height(), 400);
    // Inherited from the node, so that the page stands on its own when it moves.
    EXPECT_NE(tree.pages[i].Find("Resources"), nullptr);
    EXPECT_EQ(tree.pages[i].dictionary.Find("Parent"), nullptr);
  }
}

// An update whose older section has several subsections; the update replaces page 2's
// content and frees an object; the newest entries win.
TEST(InputReader, IncrementalUpdateWithSubsectionsWins) {
  InputPdfBuilder b;
  b.Object(1, kCatalog);
  b.Object(
      2,
      "<< /Type /Pages /Kids [10 0 R 12 0 R] /Count 2 /Resources << /Font << /F1 3 0 R >> >> >>");
  b.Object(3, kFont);
  b.Object(10, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 11 0 R >>");
  b.Stream(11, "", "BT /F1 12 Tf (one) Tj ET");
  b.Object(12, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 13 0 R >>");
  b.Stream(13, "", "BT /F1 12 Tf (two) Tj ET");
  b.EndSection(" /Root 1 0 R");  // subsections 0-3 and 10-13
  b.Stream(14, "", "BT /F1 12 Tf (changed) Tj ET");
  b.Object(12, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 14 0 R >>");
  b.Free(13, 1);
  b.EndSection(" /Root 1 0 R");
  Input input(b.Bytes());
  EXPECT_EQ(input.import.File().SectionOffsets().size(), 2u);
  EXPECT_EQ(input.Content(0), "BT /F1 12 Tf (one) Tj ET");
  EXPECT_EQ(input.Content(1), "BT /F1 12 Tf (changed) Tj ET");
  EXPECT_EQ(input.import.File().FindObjectOffset(13), 0u);
  EXPECT_EQ(input.import.File().Size(), 15);
}

// A nested tree whose /Count numbers lie; the walk follows /Kids, inherits from the nearest
// node, and reads real and non-zero-origin boxes as sizes.
TEST(InputReader, NestedTreeInheritsAndIgnoresCount) {
  InputPdfBuilder b;
  b.Object(1, kCatalog);
  b.Object(
      2,
      "<< /Type /Pages /Kids [3 0 R 6 0 R] /Count 99 /MediaBox [0 0 612 792] /Resources 9 0 R >>");
  b.Object(3,
           "<< /Type /Pages /Parent 2 0 R /Kids [4 0 R 5 0 R] /Count 1 /MediaBox [-10.5 20 +289.5 "
           "420.25] >>");
  b.Object(4, "<< /Type /Page /Parent 3 0 R >>");
  b.Object(5, "<< /Type /Page /Parent 3 0 R /MediaBox [100 100 0 0] /Resources << >> >>");
  b.Object(6, "<< /Type /Page /Parent 2 0 R /Contents [] >>");
  b.Object(9, "<< /Font << >> >>");
  b.EndSection(" /Root 1 0 R");
  Input input(b.Bytes());
  const auto& pages = input.import.Tree().pages;
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_DOUBLE_EQ(pages[0].Width(), 300);
  EXPECT_DOUBLE_EQ(pages[0].Height(), 400.25);
  EXPECT_DOUBLE_EQ(pages[0].box[0], -10.5);
  EXPECT_DOUBLE_EQ(pages[1].Width(), 100);
  EXPECT_DOUBLE_EQ(pages[2].Width(), 612);
  EXPECT_TRUE(pages[0].Find("Resources")->IsReference());
  EXPECT_TRUE(pages[1].Find("Resources")->IsDictionary());
  EXPECT_EQ(input.Content(0), "");  // no /Contents: a blank page
  EXPECT_EQ(input.Content(2), "");
  EXPECT_EQ(input.import.Tree().nodes, (std::vector<std::int32_t>{2, 3}));
}

// A text object split between two Flate streams, an indirect /Length, the same stream on
// two pages, and a generation above 0 named by "n 1 R".
TEST(InputReader, ContentArraysJoinDecodedStreamsOnce) {
  InputPdfBuilder b;
  b.Object(1, kCatalog);
  b.Object(2, "<< /Type /Pages /Kids [4 0 R 5 1 R] /Count 2 /MediaBox [0 0 200 200] >>");
  b.Object(4, "<< /Type /Page /Parent 2 0 R /Contents [6 0 R 7 0 R] >>");
  b.Object(5, "<< /Type /Page /Parent 2 0 R /Contents 8 0 R >>", 1);
  b.Stream(6, " /Filter /FlateDecode", Flate("BT /F1 12 Tf 10 10 Td"));
  b.Stream(7, " /Filter [/FlateDecode]", Flate("(split) Tj ET\n"), 9);
  b.Object(8, "[7 0 R 6 0 R]");
  b.Free(3, 2);
  b.EndSection(" /Root 1 0 R");
  Input input(b.Bytes());
  EXPECT_EQ(input.Content(0), "BT /F1 12 Tf 10 10 Td\n(split) Tj ET\n");
  EXPECT_EQ(input.Content(1), "(split) Tj ET\nBT /F1 12 Tf 10 10 Td");
  EXPECT_EQ(input.import.Tree().pages[1].generation, 1);
}

// Line ends, junk after "%%EOF" and a marker that lies across two of the reader's windows.
TEST(InputReader, FindsTheLastEndMarker) {
  for (std::string_view eol : {"\n", "\r\n", "\r"}) {
    InputPdfBuilder b;
    b.Object(1, kCatalog);
    b.Object(2, "<< /Type /Pages /Kids [] /Count 0 >>");
    b.EndSection(" /Root 1 0 R", eol);
    EXPECT_EQ(Refusal(b.Bytes()), "") << "line end " << eol.size();
    EXPECT_EQ(Refusal(b.Bytes() + std::string("\r\n\r\n%junk\0\x01 after", 17)), "");
  }
  for (std::size_t cut = 1; cut < 5; ++cut) {
    std::string text = MarkedPdf(1);
    // The marker's first `cut` bytes in one 1024-byte window, the rest in the next.
    text += std::string(1024 - (5 - cut), ' ');
    EXPECT_EQ(Refusal(text), "") << cut;
  }
}

TEST(InputReader, NamesStringsAndCommentsAreTokensNotText) {
  InputPdfBuilder b;
  b.Object(1,
           "<< /Type /Catalog % /Pages 9 0 R in a comment\n /Note (a /Pages 9 0 R \\) (nested) >>) "
           "/Pages 2 0 R >>");
  b.Object(2, "<< /Type /Pages /Kids [4 0 R] /Count 1 /Length1 7 >>");
  b.Object(4,
           "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 50 50] /P#61ges <3c3c> /Contents 5 0 R >>");
  b.Stream(5, " /Comment (endstream >> <<)", "BT (>> endobj) Tj ET");
  b.EndSection(" /Root 1 0 R");
  Input input(b.Bytes());
  ASSERT_EQ(input.import.Tree().pages.size(), 1u);
  EXPECT_EQ(input.import.Tree().root, 2);
  EXPECT_EQ(input.Content(0), "BT (>> endobj) Tj ET");
  EXPECT_NE(input.import.Tree().pages[0].dictionary.Find("Pages"), nullptr);
}

// A node with a large inline resource dictionary above many small pages: written out with
// every page, the dictionary would be far larger than the file.
std::string InheritedBlowUp() {
  InputPdfBuilder b;
  b.Object(1, kCatalog);
  std::string kids;
  for (int k = 0; k < 3000; ++k) kids += std::to_string(3 + k) + " 0 R ";
  b.Object(2, "<< /Type /Pages /Kids [" + kids + "] /Resources << /Big (" +
                  std::string(20000, 'x') + ") >> >>");
  for (int k = 0; k < 3000; ++k) b.Object(3 + k, "<< /Type /Page >>");
  b.EndSection(" /Root 1 0 R");
  return b.Bytes();
}

// A tree of depth levels of nodes above one page.
std::string DeepTree(int depth) {
  InputPdfBuilder b;
  b.Object(1, kCatalog);
  for (int level = 0; level < depth; ++level)
    b.Object(2 + level, "<< /Type /Pages /Kids [" + std::to_string(3 + level) + " 0 R] >>");
  b.Object(2 + depth, "<< /Type /Page >>");
  b.EndSection(" /Root 1 0 R");
  return b.Bytes();
}

// An update whose /Prev names its own section.
std::string WithPrevLoop() {
  const std::string text = MarkedPdf(1);
  const std::string at = std::to_string(text.size());
  return text + "xref\n0 1\n0000000000 65535 f\r\ntrailer\n<< /Size 6 /Root 1 0 R /Prev " + at +
         " >>\nstartxref\n" + at + "\n%%EOF\n";
}

// One page whose content is object 4 with that body, or a stream of the entries and data.
std::string OnePage(std::string_view entries, std::string_view data, std::string_view body = "") {
  InputPdfBuilder b;
  b.Object(1, kCatalog);
  b.Object(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  b.Object(3, "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>");
  if (body.empty()) {
    b.Stream(4, entries, data);
  } else {
    b.Object(4, body);
  }
  b.EndSection(" /Root 1 0 R");
  return b.Bytes();
}

std::string Replace(std::string text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(InputReader, DamagedFilesEndWithTheirReason) {
  const std::string good = MarkedPdf(2);
  struct Case {
    const char* name;
    std::string text;
    const char* reason;
  };
  const Case cases[] = {
      {"no end marker", Replace(good, "%%EOF", "%%EOX"), "Invalid File"},
      {"empty", "", "Invalid File"},
      {"startxref past the end", Replace(good, "startxref\n", "startxref\n9"),
       "startxref lies outside"},
      {"xref stream", Replace(good, "xref\n0 ", "1 0 obj\n0 "), "xref not found"},
      {"no trailer", Replace(good, "trailer", "trailor"), "trailer not found"},
      {"count past the file", Replace(good, "xref\n0 8", "xref\n0 99999"),
       "xref count past the end"},
      {"number above /Size", Replace(good, "/Size 8", "/Size 5"), "not below the trailer's /Size"},
      {"huge first number", Replace(good, "xref\n0 8", "xref\n8388601 8"), "beyond object 8388607"},
      {"encrypted", Replace(good, "/Root 1 0 R", "/Root 1 0 R /Encrypt 3 0 R"), "encrypted input"},
      {"hybrid", Replace(good, "/Root 1 0 R", "/Root 1 0 R /XRefStm 3"), "/XRefStm"},
      {"/Prev loop", WithPrevLoop(), "loop in the /Prev chain"},
      {"/Kids loop", Replace(good, "/Kids [4 0 R 6 0 R ]", "/Kids [4 0 R 2 0 R ]"),
       "loop in the page tree"},
      {"page listed twice", Replace(good, "/Kids [4 0 R 6 0 R ]", "/Kids [4 0 R 4 0 R ]"),
       "loop in the page tree"},
      {"tree too deep", DeepTree(257), "deeper than 256"},
      {"inherited blow-up", InheritedBlowUp(), "out of proportion to the file"},
      {"length past the end", OnePage("", "", "<< /Length 9999 >>\nstream\nq Q\nendstream"),
       "/Length runs past"},
      {"wrong length", Replace(good, "/Length 44", "/Length 40"), "does not end at endstream"},
      {"object moved", Replace(good, "4 0 obj", "4 0 ojb"), "not at its xref offset"},
      {"box of three", Replace(good, "/MediaBox [0 0 612 792]", "/MediaBox [0 0 612    ]"),
       "/MediaBox"},
      {"unknown filter", OnePage(" /Filter /LZWDecode", "x"), "cannot undo the filter"},
      // Damaged Flate data reads as far as it decodes, as viewers show it.
      {"bad flate", OnePage(" /Filter /FlateDecode", "not flate"), ""},
      {"predictor", OnePage(" /Filter /FlateDecode /DecodeParms << /Predictor 12 >>", Flate("q Q")),
       "predictors"},
      {"stream without /Length", Replace(OnePage("", "q Q"), "/Length 3", "/Lengte 3"),
       "has no /Length"},
      {"no /Root", Replace(good, "/Root 1 0 R", "/Rook 1 0 R"), "no /Root"},
      {"unterminated string", Replace(good, "(Marker page 1)", "(Marker page 1 "), ""},
  };
  EXPECT_EQ(Refusal(DeepTree(255)), "");
  for (const Case& c : cases) {
    const std::string reason = Refusal(c.text);
    if (*c.reason == 0) continue;  // read as well as it can be: only no crash
    EXPECT_NE(reason.find(c.reason), std::string::npos) << c.name << ": " << reason;
  }
}

// Every prefix and a byte flipped at every position: a reason or a read, never a crash or a
// read outside the bytes (the sanitizer build watches).
TEST(InputReader, EveryCutAndFlippedByteEndsCleanly) {
  const std::string good = MarkedPdf(2);
  for (std::size_t n = 0; n < good.size(); n += 7) Refusal(good.substr(0, n));
  for (std::size_t i = 0; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] = static_cast<char>(bad[i] ^ 0x5A);
    Refusal(bad);
  }
}

}  // namespace
}  // namespace vellora
