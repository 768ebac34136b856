// The corpus metafiles that draw text give back their words through pdftotext: every word of
// the text records that go the text road (not glyph indices, symbol fonts or path brackets)
// and lie unrotated on the page is found in the page's text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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
    const auto bytes = vellora_test::ReadFileBytes(path);
    WordDevice d;
    d.FontSettings().fontMode = qvEmbedSubsetTrueType_UsedChar;
    d.BeginDoc(576, 800, 72, 0);
    try {
      d.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 0, 0, false, 0, 0);
    } catch (const std::exception&) {
      // A file that is no metafile keeps an empty document.
    }
    d.EndDoc();
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

}  // namespace
}  // namespace vellora
