// The texts of the /W array and of the ToUnicode CMap, exactly as written.
#include <gtest/gtest.h>

#include "QVPDFDev/fonts/cid_to_gid_map.h"
#include "QVPDFDev/fonts/cid_unicode_cmap.h"
#include "QVPDFDev/fonts/cid_width_array.h"
#include "pdf_test_owner.h"

namespace vellora {
namespace {

using Entries = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

TEST(FontWArray, RunsListsAndTheDefaultWidth) {
  vellora_test::TestOwner owner;
  TQVPDFWArray w(&owner);
  for (auto [code, width] :
       {std::pair{32, 278}, {33, 278}, {34, 355}, {40, 500}, {41, 1000}, {50, 1000}, {51, 600}})
    w.Set(static_cast<std::uint32_t>(code), static_cast<std::uint16_t>(code + 100),
          static_cast<std::uint16_t>(width));
  // A default-width entry inside a list is written; one that would start a group is not.
  EXPECT_EQ(w.EntriesText(true), "32 33 278 34[355]40[500 1000]51[600]");
  EXPECT_EQ(w.PageCount(), 1u);
}

TEST(FontWArray, CodesSharingACIDGiveOneEntryAndTheMapHoldsGlyphsByCode) {
  vellora_test::TestOwner owner;
  TQVPDFWArray w(&owner);
  w.Set(0x41, 7, 600);
  w.Set(0xE041, 7, 600);
  w.Set(0x42, 8, 650);
  EXPECT_EQ(w.EntriesText(false), "7[600 650]");

  TQVCIDToGID map(&owner);
  w.WriteWidths(&map);
  ASSERT_EQ(map.Data().size(), 2u * (0xE041 + 1));
  EXPECT_EQ(map.Data()[2 * 0x41 + 1], 7);
  EXPECT_EQ(map.Data()[2 * 0xE041 + 1], 7);
  EXPECT_EQ(map.Data()[2 * 0x43 + 1], 0);
  EXPECT_NE(owner.Bytes().find(" 0 obj\r\n[65[600 650]57409[600]]\r\nendobj\r\n"),
            std::string::npos)
      << owner.Bytes();
}

TEST(FontCMap, RangesNeverCrossABoundaryOf256) {
  // In the code.
  EXPECT_EQ(
      TQVCMapString::MappingText({{0xFE, 0x41}, {0xFF, 0x42}, {0x100, 0x43}, {0x101, 0x44}}, 4),
      "2 beginbfrange\n<00FE> <00FF> <0041>\n<0100> <0101> <0043>\nendbfrange\n");
  // In the value.
  EXPECT_EQ(
      TQVCMapString::MappingText({{0x10, 0xFE}, {0x11, 0xFF}, {0x12, 0x100}, {0x13, 0x101}}, 4),
      "2 beginbfrange\n<0010> <0011> <00FE>\n<0012> <0013> <0100>\nendbfrange\n");
  // A pair left alone on either side of a boundary is written as single mappings.
  EXPECT_EQ(TQVCMapString::MappingText({{0x20, 0x4FF}, {0x21, 0x500}, {0x30, 0x41}}, 2),
            "3 beginbfchar\n<20> <04FF>\n<21> <0500>\n<30> <0041>\nendbfchar\n");
}

TEST(FontCMap, OneMappingPerCodeAndBlocksOf99) {
  EXPECT_EQ(TQVCMapString::MappingText({{5, 0x61}, {5, 0x41}}, 4),
            "1 beginbfchar\n<0005> <0041>\nendbfchar\n");
  Entries singles;
  for (std::uint32_t i = 0; i < 250; ++i) singles.emplace_back(2 * i, 3 * i);
  const std::string text = TQVCMapString::MappingText(singles, 4);
  EXPECT_EQ(text.find("99 beginbfchar\n"), 0u);
  EXPECT_NE(text.find("endbfchar\n99 beginbfchar\n"), std::string::npos);
  EXPECT_NE(text.find("endbfchar\n52 beginbfchar\n"), std::string::npos);
  // A run at the start and one in the middle are ranges only.
  EXPECT_EQ(
      TQVCMapString::MappingText({{1, 0x41}, {2, 0x42}, {9, 0x30}, {20, 0x61}, {21, 0x62}}, 4),
      "1 beginbfchar\n<0009> <0030>\nendbfchar\n"
      "2 beginbfrange\n<0001> <0002> <0041>\n<0014> <0015> <0061>\nendbfrange\n");
}

TEST(FontCMap, IdentityIsOneRangePerHighByte) {
  const std::string text = TQVCMapString::IdentityRanges();
  EXPECT_EQ(text.find("<0000> <FFFF>"), std::string::npos);
  EXPECT_NE(text.find("<0000> <00FF> <0000>\n<0100> <01FF> <0100>\n"), std::string::npos);
  EXPECT_NE(text.find("<FF00> <FFFF> <FF00>\nendbfrange\n"), std::string::npos);
  EXPECT_EQ(text.find("99 beginbfrange\n"), 0u);
  EXPECT_NE(text.find("58 beginbfrange\n"), std::string::npos);
}

TEST(FontCMap, SimpleFontStreamHasOneByteCodes) {
  vellora_test::TestOwner owner;
  TQVCMapString cmap(&owner);
  cmap.firstCode = 32;
  cmap.unicodeText = u" !\u0410\u0411\u0412";
  cmap.WriteCMap(nullptr);
  const std::string bytes = owner.Bytes();
  EXPECT_NE(bytes.find("1 begincodespacerange\n<00> <FF>\nendcodespacerange\n"), std::string::npos);
  EXPECT_NE(bytes.find("2 beginbfrange\n<20> <21> <0020>\n<22> <24> <0410>\nendbfrange\n"),
            std::string::npos)
      << bytes;
  EXPECT_NE(bytes.find("CMapName currentdict /CMap defineresource pop\nend\nend\nendstream"),
            std::string::npos);
}

}  // namespace
}  // namespace vellora
