#include "qvplatform/font_data.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "qvplatform/device_context.h"
#include "qvplatform/font_service.h"
#include "qvplatform/sfnt_reader.h"
#include "screen_font_test.h"
#include "test_support.h"

namespace qvplatform {
namespace {

using vellora_test::MakeLogFont;

class FontData : public vellora_test::ScreenFontTest {
 protected:
  std::vector<std::uint8_t> Whole() {
    const DWORD size = GetFontData(dc_, 0, 0, nullptr, 0);
    EXPECT_NE(size, GDI_ERROR);
    if (size == GDI_ERROR) return {};
    std::vector<std::uint8_t> bytes(size);
    EXPECT_EQ(GetFontData(dc_, 0, 0, bytes.data(), size), size);
    return bytes;
  }
  // Writes the standalone font and lets fontTools compare it with its source face.
  void CheckWithFontTools(const std::vector<std::uint8_t>& bytes, const std::string& source,
                          int index, const char* family) {
    const auto path = vellora_test::ScratchDir() / "standalone.ttf";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    bool ok = false;
    const std::string out = vellora_test::RunPython(
        (vellora_test::SourceDir() / "tests/platform/fonts/check_standalone_font.py").string(),
        {path.string(), source, std::to_string(index)}, &ok);
    EXPECT_TRUE(ok) << out;
    EXPECT_EQ(out, std::string("ok ") + family + "\n");
  }
};

TEST_F(FontData, WholeFontIsAStandaloneSfntThatFontToolsAccepts) {
  REQUIRE_FONTTOOLS();
  const auto font = CreateFontA(-1000, 0, 0, 0, 700, 0, 0, 0, 1, 4, 16, 2, 4, "Arial");
  Select(font);
  CheckWithFontTools(Whole(), vellora_test::LiberationFont("Sans-Bold"), -1, "Liberation Sans");
}

TEST_F(FontData, EachFaceOfACollectionComesBackStandalone) {
  REQUIRE_FONTTOOLS();
  const auto dir = vellora_test::TestFontsDir();
  ASSERT_FALSE(dir.empty());
  const std::string ttc = (dir / "pair.ttc").string();
  const char* families[] = {"QV Pair One", "QV Pair Two"};
  for (int index = 0; index < 2; ++index) {
    Select(CreateFontForFile(MakeLogFont("", -1000), ttc, static_cast<std::uint32_t>(index)));
    const auto bytes = Whole();
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(SfntFaceCount(ByteSpan(bytes)), 1u);
    CheckWithFontTools(bytes, ttc, index, families[index]);
    // "ttcf" gives the collection file itself.
    const auto file = vellora_test::ReadFileBytes(ttc);
    EXPECT_EQ(GetFontData(dc_, MakeTableTag("ttcf"), 0, nullptr, 0), file.size());
  }
}

TEST_F(FontData, SingleTablesAndPartialReads) {
  Select(CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0, "DejaVu Sans"));
  const auto whole = Whole();
  SfntDirectory dir;
  std::string error;
  ASSERT_TRUE(ReadSfntDirectory(ByteSpan(whole), 0, &dir, &error)) << error;
  const SfntTableRecord* cmap = dir.Find(SfntTag("cmap"));
  ASSERT_NE(cmap, nullptr);
  const DWORD tag = MakeTableTag("cmap");
  ASSERT_EQ(GetFontData(dc_, tag, 0, nullptr, 0), cmap->length);
  std::vector<std::uint8_t> table(cmap->length);
  ASSERT_EQ(GetFontData(dc_, tag, 0, table.data(), cmap->length), cmap->length);
  EXPECT_TRUE(std::equal(table.begin(), table.end(), whole.begin() + cmap->offset));

  std::uint8_t part[8];
  ASSERT_EQ(GetFontData(dc_, tag, 4, part, 8), 8u);
  EXPECT_TRUE(std::equal(part, part + 8, table.begin() + 4));
  EXPECT_EQ(GetFontData(dc_, tag, cmap->length - 3, part, 8), 3u);  // cut at the end
  EXPECT_EQ(GetFontData(dc_, tag, cmap->length, nullptr, 0), 0u);
  EXPECT_EQ(GetFontData(dc_, tag, cmap->length + 1, part, 8), GDI_ERROR);
  EXPECT_EQ(GetFontData(dc_, MakeTableTag("XYZW"), 0, nullptr, 0), GDI_ERROR);
  EXPECT_EQ(GetFontData(0, 0, 0, nullptr, 0), GDI_ERROR);
}

}  // namespace
}  // namespace qvplatform
