// The encodings of simple TrueType fonts: every byte of each charset's code page names, through
// the Differences table over WinAnsiEncoding, the standard glyph of the code page's character;
// poppler reads every character back; vectors are shared per charset.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "QVPDFDev/fonts/encoding_tables.h"
#include "QVPDFDev/fonts/encoding_vector.h"
#include "QVPDFDev/fonts/font_text_convert.h"
#include "QVPdfDC/charset_code_page.h"
#include "QVPdfDC/pdf_string_escape.h"
#include "font_glyph_list.h"
#include "font_test_document.h"
#include "font_test_env.h"

namespace vellora {
namespace {

namespace fontdoc = vellora_test::fontdoc;

using fontdoc::FontTestDocument;

const std::int32_t kCharsets[] = {0, 161, 162, 163, 177, 178, 186, 204, 222, 238};

std::string_view BodyFor(std::int32_t charset) {
  const std::string_view body = CharsetEncodingBody(charset);
  return body.empty() ? kEuroEncodingBody : body;
}

// The glyph names of a /Differences array by byte.
std::map<int, std::string> Differences(std::string_view body) {
  std::map<int, std::string> names;
  const std::size_t open = body.find('['), close = body.find(']');
  EXPECT_TRUE(open != std::string_view::npos && close != std::string_view::npos);
  int code = -1;
  std::size_t i = open + 1;
  while (i < close) {
    const char c = body[i];
    if (c >= '0' && c <= '9') {
      code = 0;
      while (i < close && body[i] >= '0' && body[i] <= '9') code = code * 10 + (body[i++] - '0');
    } else if (c == '/') {
      std::size_t end = i + 1;
      while (end < close && body[end] != '/' && body[end] > ' ') ++end;
      EXPECT_GE(code, 0) << "a name before any code";
      names[code++] = std::string(body.substr(i + 1, end - i - 1));
      i = end;
    } else {
      ++i;
    }
  }
  return names;
}

// The Unicode values of a glyph name.
std::set<char16_t> GlyphUnicode(const std::string& name) {
  std::set<char16_t> values;
  if (name.size() == 7 && name.compare(0, 3, "uni") == 0) {
    values.insert(static_cast<char16_t>(std::stoul(name.substr(3), nullptr, 16)));
    return values;
  }
  for (const auto& entry : vellora_test::kGlyphList)
    if (name == entry.name) values.insert(entry.unicode);
  return values;
}

char16_t CodePageCharacter(std::uint8_t byte, std::uint32_t codePage) {
  const std::u16string u = FontCodePageToUtf16(&byte, 1, codePage);
  return u.size() == 1 ? u[0] : 0;
}

// Characters that the code page leaves undefined come back as C1 controls or private use.
bool Defined(char16_t c) {
  return c != 0 && !(c >= 0x80 && c < 0xA0) && !(c >= 0xE000 && c < 0xF900);
}

TEST(FontEncoding, EveryByteNamesTheGlyphOfItsCharacter) {
  for (std::int32_t charset : kCharsets) {
    const std::uint32_t codePage = CharsetToCodePage(charset);
    const std::map<int, std::string> differences = Differences(BodyFor(charset));
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
      const char16_t c = CodePageCharacter(static_cast<std::uint8_t>(byte), codePage);
      if (!Defined(c)) continue;
      const auto named = differences.find(byte);
      const std::string name =
          named != differences.end() ? named->second : vellora_test::kWinAnsiHigh[byte - 0x80];
      // WinAnsiEncoding itself names the no-break space "space" and the soft hyphen "hyphen".
      if ((c == 0xA0 && name == "space") || (c == 0xAD && name == "hyphen")) continue;
      const std::set<char16_t> unicode = GlyphUnicode(name);
      char where[64];
      std::snprintf(where, sizeof where, "charset %d byte %02X code page U+%04X", charset, byte,
                    static_cast<unsigned>(c));
      EXPECT_TRUE(unicode.count(c) == 1) << where << " has /" << name;
    }
  }
}

TEST(FontEncoding, GlyphListAgreesWithFontTools) {
  REQUIRE_FONTTOOLS();
  std::string pairs;
  for (const auto& entry : vellora_test::kGlyphList) {
    char line[64];
    std::snprintf(line, sizeof line, "%s %04X\n", entry.name, entry.unicode);
    pairs += line;
  }
  vellora_test::TempFile list(pairs, ".txt");
  vellora_test::TempFile script(
      "import sys\nfrom fontTools import agl\nbad = [l for l in open(sys.argv[1]) "
      "if int(l.split()[1], 16) not in agl.LEGACY_AGL2UV.get(l.split()[0], [])]\n"
      "print(''.join(bad), end='')\nsys.exit(1 if bad else 0)\n",
      ".py");
  const auto result = vellora_test::RunTool(
      {vellora_test::FontToolsPython(), script.Path().string(), list.Path().string()});
  EXPECT_EQ(result.status, 0) << result.out;
}

// poppler maps each glyph name back to a character: every defined character of the code page
// (the blanks and the zero-width controls aside, which text extraction drops) comes back.
TEST(FontEncoding, PopplerReadsEveryCharacterBack) {
  REQUIRE_TEST_FONTS();
  if (!vellora_test::HaveTool("pdftotext")) GTEST_SKIP() << "pdftotext missing";
  for (std::int32_t charset : kCharsets) {
    FontTestDocument doc(qvEmbedSubsetTrueType_UsedChar);
    const int font = doc.Fonts().SelectFont("Arial", charset, 0);
    const std::uint32_t codePage = doc.Current()->codePage;
    std::string body;
    std::u16string expected;
    for (int row = 0; row < 8; ++row) {
      std::string bytes;
      for (int column = 0; column < 16; ++column) {
        const auto byte = static_cast<std::uint8_t>(0x80 + row * 16 + column);
        const char16_t c = CodePageCharacter(byte, codePage);
        if (!Defined(c) || c == 0xA0 || c == 0xAD || (c >= 0x200B && c <= 0x200F)) continue;
        bytes += static_cast<char>(byte);
        bytes += ' ';
        expected += c;
      }
      doc.Fonts().RegisterUsedCharsA(bytes.data(), static_cast<std::int32_t>(bytes.size()));
      body += "1 0 0 1 40 " + std::to_string(700 - 30 * row) + " Tm (" +
              EscapeBytes(bytes.data(), bytes.size()) + ") Tj ";
    }
    const std::string pdf = doc.Finish(fontdoc::TextObject(font, body));
    std::u16string got;
    for (char16_t c : fontdoc::FromUtf8(fontdoc::PdfToText(pdf)))
      if (c > 32 && !(c >= 0x202A && c <= 0x202E) && c != 0x200E && c != 0x200F) got += c;
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(fontdoc::Units(got), fontdoc::Units(expected)) << "charset " << charset;
  }
}

TEST(FontEncoding, VectorsArePerCharsetAndSharedWithinOne) {
  vellora_test::TestOwner owner;
  TQVPDFResource resource(&owner);
  EXPECT_EQ(EncodingFor(resource, 2, false), "/WinAnsiEncoding");
  const std::string ce = EncodingFor(resource, 238, false);
  EXPECT_EQ(EncodingFor(resource, 238, false), ce);
  const std::string ansi = EncodingFor(resource, 0, false);
  const std::string fallback = EncodingFor(resource, 1, false);
  EXPECT_NE(ansi, fallback);
  ASSERT_EQ(resource.Encodings().size(), 3u);
  EXPECT_EQ(resource.Encodings()[1]->AsString(),
            "/Type/Encoding/Differences\n[128 /Euro]/BaseEncoding/WinAnsiEncoding");

  vellora_test::TestOwner pdfaOwner;
  pdfaOwner.settings.pdfaMode = folvioaLevelB;
  TQVPDFResource pdfa(&pdfaOwner);
  EXPECT_EQ(EncodingFor(pdfa, 0, true), "/WinAnsiEncoding");
  EXPECT_NE(EncodingFor(pdfa, 161, true), "/WinAnsiEncoding");
  EXPECT_EQ(pdfa.Encodings().size(), 1u);
}

}  // namespace
}  // namespace vellora
