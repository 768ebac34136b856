// CID fonts: CID allocation, the /W array against the font's own hmtx (fontTools), the
// CIDToGIDMap, the ToUnicode CMap, and the Helvetica stand-in of a font that drew only blanks.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "font_test_document.h"
#include "font_test_env.h"

namespace vellora {
namespace {

namespace fontdoc = vellora_test::fontdoc;

using fontdoc::FontTestDocument;

// The text of object n between "n 0 obj" and "endobj".
std::string ObjectText(const std::string& pdf, int n) {
  const std::string head = "\n" + std::to_string(n) + " 0 obj";
  const std::size_t at = pdf.find(head);
  if (at == std::string::npos) return {};
  const std::size_t end = pdf.find("endobj", at);
  return pdf.substr(at + head.size(), end - at - head.size());
}

// The /W array as key -> width.
std::map<std::uint32_t, std::int32_t> ParseW(const std::string& text) {
  std::map<std::uint32_t, std::int32_t> widths;
  std::string body = text.substr(text.find('[') + 1);
  body = body.substr(0, body.rfind(']'));
  for (char& c : body)
    if (c == '[' || c == ']') c = c == '[' ? '{' : '}';
  std::istringstream in(body);
  std::vector<std::string> tokens;
  std::string all((std::istreambuf_iterator<char>(in)), {});
  std::string token;
  for (char c : all) {
    if (c == '{' || c == '}' || c == ' ' || c == '\r' || c == '\n') {
      if (!token.empty()) tokens.push_back(token);
      token.clear();
      if (c == '{' || c == '}') tokens.push_back(std::string(1, c));
    } else {
      token += c;
    }
  }
  if (!token.empty()) tokens.push_back(token);
  for (std::size_t i = 0; i < tokens.size();) {
    const std::uint32_t first = static_cast<std::uint32_t>(std::stoul(tokens[i]));
    if (tokens[i + 1] == "{") {
      std::uint32_t key = first;
      std::size_t j = i + 2;
      for (; tokens[j] != "}"; ++j) {
        EXPECT_EQ(widths.count(key), 0u) << "key " << key << " twice";
        widths[key++] = std::stoi(tokens[j]);
      }
      i = j + 1;
    } else {
      const std::uint32_t last = static_cast<std::uint32_t>(std::stoul(tokens[i + 1]));
      for (std::uint32_t key = first; key <= last; ++key) {
        EXPECT_EQ(widths.count(key), 0u) << "key " << key << " twice";
        widths[key] = std::stoi(tokens[i + 2]);
      }
      i += 3;
    }
  }
  return widths;
}

// fontTools: glyph id and width at em 1000 (rounded half up) of each code, "code gid width".
std::map<std::uint32_t, std::pair<int, int>> FontToolsWidths(const std::string& font,
                                                             const std::u16string& codes) {
  vellora_test::TempFile script(
      "import sys\nfrom fontTools.ttLib import TTFont\nf = TTFont(sys.argv[1])\n"
      "cmap = f.getBestCmap()\nupem = f['head'].unitsPerEm\n"
      "order = f.getGlyphOrder()\n"
      "for c in sys.argv[2:]:\n"
      "    name = cmap.get(int(c), '.notdef')\n"
      "    adv = f['hmtx'][name][0]\n"
      "    print(c, order.index(name), (adv * 1000 * 2 + upem) // (2 * upem))\n",
      ".py");
  std::vector<std::string> argv = {vellora_test::FontToolsPython(), script.Path().string(), font};
  for (char16_t c : codes) argv.push_back(std::to_string(static_cast<unsigned>(c)));
  const auto result = vellora_test::RunTool(argv, vellora_test::ToolErrors::kDrop);
  std::map<std::uint32_t, std::pair<int, int>> out;
  std::istringstream in(result.out);
  unsigned code;
  int gid, width;
  while (in >> code >> gid >> width) out[code] = {gid, width};
  return out;
}

const std::u16string kText = u"Hello, World! Ärger über Öl – 10 € ΑΩ";

TEST(FontCID, WidthsAgreeWithTheFontsHmtx) {
  REQUIRE_TEST_FONTS();
  REQUIRE_FONTTOOLS();
  const auto expected = FontToolsWidths(vellora_test::LiberationFont("Sans-Regular"), kText);
  ASSERT_FALSE(expected.empty());
  for (std::uint8_t cidMode : {std::uint8_t{1}, std::uint8_t{3}}) {
    SCOPED_TRACE(cidMode);
    FontTestDocument doc(qvUseTrueTypeFonts, cidMode);
    const int font = doc.Fonts().SelectFont("Arial", 0, 0);
    std::map<std::uint32_t, std::uint32_t> cidOf;
    for (char16_t c : kText) {
      std::int32_t width = 0;
      cidOf[c] =
          doc.Fonts().MapCharCode(c, static_cast<std::uint32_t>(expected.at(c).first), width);
      EXPECT_EQ(width, expected.at(c).second) << "U+" << std::hex << unsigned(c);
    }
    const std::string pdf = doc.Finish(fontdoc::TextObject(font, doc.Show(kText, 40, 700)));
    const std::vector<int> w = fontdoc::References(pdf, "/W ");
    ASSERT_EQ(w.size(), 1u);
    const auto widths = ParseW(ObjectText(pdf, w[0]));
    for (char16_t c : kText) {
      const std::uint32_t key = cidMode == 1 ? c : cidOf[c];
      const int want = expected.at(c).second;
      if (want == 1000) {
        EXPECT_TRUE(widths.count(key) == 0 || widths.at(key) == 1000);
      } else {
        ASSERT_EQ(widths.count(key), 1u) << "U+" << std::hex << unsigned(c);
        EXPECT_EQ(widths.at(key), want) << "U+" << std::hex << unsigned(c);
      }
    }
    if (cidMode == 1) {
      // The map gives each code (the CID in the content) its glyph.
      const std::vector<int> maps = fontdoc::References(pdf, "/CIDToGIDMap");
      ASSERT_EQ(maps.size(), 1u);
      const std::string map = vellora_test::QpdfStreamData(pdf, maps[0]);
      for (char16_t c : kText) {
        ASSERT_LT(2u * c + 1, map.size());
        const int glyph = (static_cast<unsigned char>(map[2u * c]) << 8) |
                          static_cast<unsigned char>(map[2u * c + 1]);
        EXPECT_EQ(glyph, expected.at(c).first) << "U+" << std::hex << unsigned(c);
      }
      EXPECT_EQ(map.size(), 2u * (0x20AC + 1));  // up to the highest code, the euro sign
    }
    std::string text;
    for (char c : fontdoc::PdfToText(pdf))
      if (c != '\n' && c != '\f') text += c;
    EXPECT_EQ(fontdoc::FromUtf8(text), kText);
  }
}

TEST(FontCID, AGlyphKeepsItsCIDAndEveryNewGlyphGetsItsOwn) {
  REQUIRE_TEST_FONTS();
  FontTestDocument doc(qvUseTrueTypeFonts, 3);
  const int first = doc.Fonts().SelectFont("Arial", 0, 0);
  TQVPDFFont* latin = doc.Current();
  std::int32_t width = 0;
  const std::uint32_t a = doc.Fonts().MapCharCode('A', 36, width);
  EXPECT_EQ(a, 1u);
  // A glyph that was marked used before it got a CID still gets one of its own.
  doc.Fonts().Settings().fontMode = qvEmbedSubsetTrueType_UsedChar;
  latin->MarkUsedCharsW(u"B", 1);
  const std::uint32_t b = doc.Fonts().MapCharCode('B', 37, width);
  EXPECT_EQ(b, 2u);
  // Another code with the same glyph shares its CID.
  EXPECT_EQ(doc.Fonts().MapCharCode(0xE041, 36, width), a);
  // A CID font serves every charset; another face name that the platform matches to the same
  // face is another font resource of the same font file, which continues the file's counter.
  EXPECT_EQ(doc.Fonts().SelectFont("Arial", 161, 0), first);
  ASSERT_NE(doc.Fonts().SelectFont("Liberation Sans", 0, 0), first);
  EXPECT_EQ(doc.Current()->descriptor->fontFile, latin->descriptor->fontFile);
  EXPECT_EQ(doc.Fonts().MapCharCode('A', 36, width), a);
  EXPECT_EQ(doc.Fonts().MapCharCode('C', 38, width), 3u);
  EXPECT_EQ(doc.Fonts().MapCharCode(0xFFFD, 0, width), 0u) << "glyph 0 keeps CID 0";

  // One /W entry and one ToUnicode mapping for the CID that two codes share.
  EXPECT_EQ(latin->wArray->EntriesText(false), "1 2 667 ");
}

// When no subset can be built the whole file is embedded; CIDs handed out by use then reach
// their glyphs through a /CIDToGIDMap, and the name carries no subset tag.
TEST(FontCID, AFailedSubsetEmbedsTheWholeFileWithAMap) {
  REQUIRE_TEST_FONTS();
  if (!vellora_test::HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
  FontTestDocument doc(qvUseTrueTypeFonts, 3);
  const int font = doc.Fonts().SelectFont("Arial", 0, 0);
  // The subsetter takes only version 1.0; readers also take the tag "true".
  std::vector<std::uint8_t>& data = doc.Current()->descriptor->fontFile->Stream().FontData();
  ASSERT_GT(data.size(), 4u);
  std::copy_n("true", 4, data.begin());
  const std::string pdf = doc.Finish(doc.Cells(font, u"Hello", 700));
  ASSERT_EQ(doc.Fonts().RecordedMessages().size(), 1u);
  EXPECT_EQ(doc.Fonts().RecordedMessages()[0].rfind("subset LiberationSans: ", 0), 0u);
  EXPECT_EQ(fontdoc::References(pdf, "/CIDToGIDMap").size(), 1u);
  const auto rows = vellora_test::PdfFonts(pdf);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].name + " " + rows[0].emb + rows[0].sub, "LiberationSans yesno");
  const vellora_test::Raster page = vellora_test::RenderPage(pdf);
  for (int i = 0; i < 5; ++i)
    EXPECT_GT(fontdoc::InkIn(page, 38 + 24.0 * i, 697, 54 + 24.0 * i, 712), 3) << "glyph " << i;
  std::string text;
  for (char c : fontdoc::PdfToText(pdf))
    if (static_cast<unsigned char>(c) > 32) text += c;
  EXPECT_EQ(text, "Hello");
}

TEST(FontCID, BlankOnlyFontStandsInAsHelvetica) {
  REQUIRE_TEST_FONTS();
  FontTestDocument doc(qvUseTrueTypeFonts, qvCIDUnicode);
  const int font = doc.Fonts().SelectFont("Arial", 0, 0);
  const std::string pdf = doc.Finish(fontdoc::TextObject(font, doc.Show(u"  ", 40, 700)));
  std::string report;
  EXPECT_TRUE(fontdoc::QpdfClean(pdf, &report)) << report;
  EXPECT_EQ(pdf.find("/FontFile2"), std::string::npos);
  EXPECT_EQ(pdf.find("/CIDFontType2"), std::string::npos);
  const auto rows = vellora_test::PdfFonts(pdf);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].name, "Helvetica");
  EXPECT_EQ(rows[0].type, "Type 1");
}

}  // namespace
}  // namespace vellora
