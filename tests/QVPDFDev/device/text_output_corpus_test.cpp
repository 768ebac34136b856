// The corpus metafiles that draw text give back their words through pdftotext: every word of
// the text records that go the text road (not glyph indices, symbol fonts or path brackets)
// and lie unrotated on the page is found in the page's text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "font_test_env.h"
#include "pdf_device_test_util.h"
#include "pdf_test_owner.h"
#include "qvplatform/codepage.h"
#include "qvplatform/emf_parts.h"
#include "qvplatform/emf_reader.h"
#include "test_support.h"
#include "text_engine_records.h"

namespace vellora {
namespace {

using namespace qvplatform;

std::string Utf8(const WCHAR* text, std::size_t n) {
  std::string out(n * 3 + 1, '\0');
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(n), out.data(),
                                       static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(static_cast<std::size_t>(std::max(size, 0)));
  return out;
}

// The words (runs of letters and digits, at least three) of a text, in UTF-8.
void AddWords(const std::string& text, std::vector<std::string>& words) {
  std::string word;
  const auto flush = [&] {
    if (word.size() >= 3) words.push_back(word);
    word.clear();
  };
  for (const char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c)))
      word += c;
    else
      flush();
  }
  flush();
}

// One document of the corpus file with subset fonts; a file that is no metafile keeps an
// empty document.
void PlayAsDocument(vellora_test::RecordingDevice& d, const std::filesystem::path& path) {
  const auto bytes = vellora_test::ReadFileBytes(path);
  d.FontSettings().fontMode = qvEmbedSubsetTrueType_UsedChar;
  d.BeginDoc(576, 800, 72, 0);
  try {
    d.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 0, 0, false, 0, 0);
  } catch (const std::exception&) {
  }
  d.EndDoc();
}

// Collects the words of the text records that go the text road (no glyph indices, path
// brackets or symbol fonts) and start on the page, then draws them.
class WordDevice : public vellora_test::RecordingDevice {
 public:
  std::vector<std::string> words;
  void ExtTextOut(std::int32_t x, std::int32_t y, std::uint32_t options, const RECTL& clip,
                  const char16_t* wide, const char* ansi, std::int32_t length,
                  const std::int32_t* spacing) override {
    const TQVDCStackVar& v = CurrentDCState();
    // Unrotated text that lies on the page whichever way it is aligned (pdftotext reads
    // neither what lies beyond the page nor text at odd angles reliably).
    std::int64_t width = 0;
    for (std::int32_t i = 0; spacing && i < length; ++i) width += std::abs(spacing[i]);
    const std::int32_t w = static_cast<std::int32_t>(std::min<std::int64_t>(width, 1 << 30));
    const std::int32_t h = std::min(std::abs(v.font.lfHeight), 1 << 28) * 2;
    const auto inside = [&](std::int32_t px, std::int32_t py) {
      const POINTL at = TransformPoint(px, py);
      return at.x >= 0 && at.y >= 0 && static_cast<float>(at.x) <= pageWidth &&
             static_cast<float>(at.y) <= pageHeight;
    };
    const XFORM& m = dcStack.Matrix();
    const bool onPage = spacing && inside(x - w, y - h) && inside(x + w, y + h) &&
                        v.font.lfEscapement == 0 && m.eM12 == 0 && m.eM21 == 0;
    if (onPage && length > 0 && !(options & ETO_GLYPH_INDEX) && pathNesting <= 0 &&
        v.font.lfCharSet != 2 && v.faceName.find("ing") == std::string::npos) {
      if (wide) {
        AddWords(Utf8(wide, static_cast<std::size_t>(length)), words);
      } else if (ansi) {
        std::u16string units(static_cast<std::size_t>(length) + 1, u'\0');
        const int n = MultiByteToWideChar(1252, 0, ansi, length, units.data(),
                                          static_cast<int>(units.size()));
        AddWords(Utf8(units.data(), static_cast<std::size_t>(std::max(n, 0))), words);
      }
    }
    TQVPDFDevice::ExtTextOut(x, y, options, clip, wide, ansi, length, spacing);
  }
};

TEST(TextOutputCorpus, MetafilesThatDrawTextGiveBackTheirWords) {
  const auto corpus = vellora_test::CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "corpus absent";
  REQUIRE_TEST_FONTS();
  if (!vellora_test::HaveTool("pdftotext")) GTEST_SKIP() << "pdftotext missing";
  int files = 0, wordsTotal = 0, wordsFound = 0;
  for (const auto& path : vellora_test::FilesBelow(corpus / "emf")) {
    WordDevice d;
    PlayAsDocument(d, path);
    const std::vector<std::string>& words = d.words;
    if (words.empty()) continue;
    const std::string pdf = vellora_test::DocumentBytes(d);
    const vellora_test::TempFile file(pdf);
    const auto text = vellora_test::RunTool({"pdftotext", file.Path().string(), "-"},
                                            vellora_test::ToolErrors::kDrop);
    // Labels drawn against each other come back as one word: a word may lie inside another.
    int missing = 0;
    std::string which;
    for (const std::string& w : words) {
      if (text.out.find(w) != std::string::npos) continue;
      ++missing;
      if (which.size() < 200) which += w + " ";
    }
    ++files;
    wordsTotal += static_cast<int>(words.size());
    wordsFound += static_cast<int>(words.size()) - missing;
    EXPECT_EQ(missing, 0) << path.filename() << ": " << missing << " of " << words.size()
                          << " words missing: " << which;
  }
  EXPECT_GT(files, 0);
  RecordProperty("files_with_text", files);
  RecordProperty("words", wordsTotal);
  RecordProperty("words_found", wordsFound);
}

// Where each unrotated, left-aligned text record of the text road should put its ink: from
// its first to its last non-blank character by the spacing array, in points from the page's
// top left.
struct ExpectedSpan {
  double x0 = 0, x1 = 0, baseline = 0, size = 0;
};

class SpanDevice : public vellora_test::RecordingDevice {
 public:
  std::vector<ExpectedSpan> spans;
  void ExtTextOut(std::int32_t x, std::int32_t y, std::uint32_t options, const RECTL& clip,
                  const char16_t* wide, const char* ansi, std::int32_t length,
                  const std::int32_t* spacing) override {
    const TQVDCStackVar& v = CurrentDCState();
    const XFORM& m = dcStack.Matrix();
    const auto blank = [&](std::int32_t i) {
      return wide ? wide[i] <= 32 : static_cast<unsigned char>(ansi[i]) <= 32;
    };
    std::int32_t first = 0, last = length - 1;
    while (spacing && first < length && blank(first)) ++first;
    while (spacing && last >= first && blank(last)) --last;
    const bool plain = spacing && last - first >= 2 && (wide || ansi) &&
                       !(options & ETO_GLYPH_INDEX) && pathNesting <= 0 && v.font.lfCharSet != 2 &&
                       v.font.lfEscapement == 0 && m.eM12 == 0 && m.eM21 == 0 && m.eM11 > 0 &&
                       (v.textAlignFlags & (kAlignRight | kAlignCenter | kAlignUpdateCP)) == 0 &&
                       (v.textAlignFlags & kAlignBaseline) != 0 &&
                       v.faceName.find("ing") == std::string::npos;
    if (plain) {
      double before = 0, through = 0;
      for (std::int32_t i = 0; i <= last; ++i) (i < first ? before : through) += spacing[i];
      ExpectedSpan span;
      span.x0 = (x + before) * m.eM11 + m.eDx;
      span.x1 = (x + before + through) * m.eM11 + m.eDx;
      span.baseline = y * double{m.eM22} + m.eDy + yOffset;
      span.size = std::abs(v.font.lfHeight * double{m.eM22});
      if (span.size >= 4 && span.x0 >= 0 && span.x1 <= pageWidth && span.baseline >= 0 &&
          span.baseline <= pageHeight)
        spans.push_back(span);
    }
    TQVPDFDevice::ExtTextOut(x, y, options, clip, wide, ansi, length, spacing);
  }
};

// For each record alone on its line, how far the extent poppler reads for its words lies from
// the extent its spacing array gives: the measure of how closely text follows the metafile.
TEST(TextOutputCorpus, TextWidthsFollowTheSpacingArrays) {
  const auto corpus = vellora_test::CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "corpus absent";
  REQUIRE_TEST_FONTS();
  if (!vellora_test::HaveTool("pdftotext")) GTEST_SKIP() << "pdftotext missing";
  std::vector<double> errors, relative;
  for (const auto& path : vellora_test::FilesBelow(corpus / "emf")) {
    SpanDevice d;
    PlayAsDocument(d, path);
    if (d.spans.empty()) continue;
    const std::vector<vellora_test::Word> words =
        vellora_test::WordsOf(vellora_test::DocumentBytes(d));
    for (std::size_t i = 0; i < d.spans.size(); ++i) {
      const ExpectedSpan& s = d.spans[i];
      // Alone on its line: no other record's extent meets it.
      bool alone = true;
      for (std::size_t j = 0; j < d.spans.size() && alone; ++j) {
        const ExpectedSpan& o = d.spans[j];
        alone = j == i || std::abs(o.baseline - s.baseline) > s.size || o.x1 < s.x0 - s.size ||
                o.x0 > s.x1 + s.size;
      }
      if (!alone) continue;
      double x0 = 1e9, x1 = -1e9;
      for (const auto& w : words) {
        if (w.yMin > s.baseline || w.yMax < s.baseline - 0.3 * s.size) continue;
        if (w.xMin < s.x0 - 0.3 * s.size || w.xMin > s.x1) continue;
        x0 = std::min(x0, w.xMin);
        x1 = std::max(x1, w.xMax);
      }
      if (x1 < x0) continue;
      const double error = std::abs((x1 - x0) - (s.x1 - s.x0));
      errors.push_back(error);
      relative.push_back(error / std::max(1.0, s.x1 - s.x0));
    }
  }
  if (errors.empty()) GTEST_SKIP() << "no text records alone on their lines";
  std::sort(errors.begin(), errors.end());
  std::sort(relative.begin(), relative.end());
  const auto at = [](const std::vector<double>& v, double q) {
    return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
  };
  const auto within = [&](double points) {
    return static_cast<double>(std::upper_bound(errors.begin(), errors.end(), points) -
                               errors.begin()) /
           static_cast<double>(errors.size());
  };
  std::printf(
      "records %zu, error median %.3f pt, p90 %.3f pt, p99 %.3f pt, max %.3f pt; "
      "within 0.25 pt %.1f%%, within 1 pt %.1f%%; relative median %.4f, p90 %.4f\n",
      errors.size(), at(errors, 0.5), at(errors, 0.9), at(errors, 0.99), errors.back(),
      100 * within(0.25), 100 * within(1), at(relative, 0.5), at(relative, 0.9));
  RecordProperty("records", static_cast<int>(errors.size()));
  EXPECT_LT(at(errors, 0.5), 0.05);
  EXPECT_GT(within(1), 0.97);
}

}  // namespace
}  // namespace vellora
