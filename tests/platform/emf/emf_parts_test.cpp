// The readers of records with variable parts, against records written byte by byte with counts
// and offsets that lie.
#include "qvplatform/emf_parts.h"

#include <gtest/gtest.h>

#include <vector>

#include "emf_builder.h"
#include "qvplatform/emf_buffer.h"

namespace vellora_test {
namespace {

EmfRecord View(const std::vector<BYTE>& bytes) {
  return EmfRecord::FromBytes(bytes.data(), bytes.size());
}

TEST(EmfParts, PolyPointsCountMustFit) {
  // Bounds, then cptl and the points.
  EXPECT_TRUE(ReadPolyPoints<POINTL>(View(Le32({4, 44, 0, 0, 9, 9, 2, 1, 2, 3, 4}))).ok);
  EXPECT_FALSE(ReadPolyPoints<POINTL>(View(Le32({4, 44, 0, 0, 9, 9, 3, 1, 2, 3, 4}))).ok);
  EXPECT_FALSE(ReadPolyPoints<POINTL>(View(Le32({4, 44, 0, 0, 9, 9, 0x20000000, 1, 2, 3, 4}))).ok);
  EXPECT_FALSE(ReadPolyPoints<POINTL>(View(Le32({4, 24, 0, 0, 9, 9}))).ok);  // no cptl
  // The same 44 bytes hold four 16-bit points.
  const auto p16 = ReadPolyPoints<POINTS>(View(Le32({87, 44, 0, 0, 9, 9, 4, 1, 2, 3, 4})));
  ASSERT_TRUE(p16.ok);
  EXPECT_EQ(p16.points.Count(), 4u);
}

TEST(EmfParts, PolyPolyCountsMustAddUpToThePoints) {
  struct Case {
    std::vector<BYTE> bytes;
    bool ok;
  };
  // Fixed part: bounds, nPolys, cptl; then the counts and the points.
  const Case cases[] = {
      {Le32({7, 64, 0, 0, 9, 9, 2, 3, 1, 2, 1, 1, 2, 2, 3, 3}), true},
      {Le32({7, 64, 0, 0, 9, 9, 2, 3, 2, 2, 1, 1, 2, 2, 3, 3}), false},           // 4 > 3
      {Le32({7, 64, 0, 0, 9, 9, 2, 3, 0xFFFFFFFF, 4, 1, 1, 2, 2, 3, 3}), false},  // wraps in 32
      {Le32({7, 64, 0, 0, 9, 9, 2, 4, 1, 2, 1, 1, 2, 2, 3, 3}), false},  // cptl past the end
      {Le32({7, 64, 0, 0, 9, 9, 0x40000000, 1, 1, 2, 1, 1, 2, 2, 3, 3}), false},  // nPolys
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadPolyPolyPoints<POINTL>(View(c.bytes)).ok, c.ok);
  }
  const auto good = ReadPolyPolyPoints<POINTL>(View(cases[0].bytes));
  EXPECT_EQ(good.counts[1], 2u);
  EXPECT_EQ(good.points[2].x, 3);
}

TEST(EmfParts, PolyDrawTypesFollowThePoints) {
  // Two points and their two type bytes (padded).
  const std::vector<BYTE> bytes = Le32({56, 48, 0, 0, 9, 9, 2, 1, 1, 2, 2, 0x0206});
  const auto ok = ReadPolyDrawPoints<POINTL>(View(bytes));
  ASSERT_TRUE(ok.ok);
  EXPECT_EQ(ok.types[0], 6);
  EXPECT_EQ(ok.types[1], 2);
  EXPECT_FALSE(ReadPolyDrawPoints<POINTL>(View(Le32({56, 44, 0, 0, 9, 9, 2, 1, 1, 2, 2}))).ok);
}

// EMR_EXTTEXTOUTW: bounds, graphics mode, scales, then the EMRTEXT fields.
std::vector<BYTE> TextRecord(DWORD size, DWORD nChars, DWORD offString, DWORD options,
                             DWORD offDx) {
  std::vector<BYTE> r =
      Le32({84, size, 0, 0, 0, 0, 1, 0, 0, 5, 6, nChars, offString, options, 0, 0, 0, 0, offDx});
  r.resize(size, 0x41);
  return r;
}

TEST(EmfParts, TextOffsetsAndLengthsAreChecked) {
  struct Case {
    const char* name;
    std::vector<BYTE> bytes;
    bool text, dx;
  };
  const Case cases[] = {
      {"good", TextRecord(92, 2, 76, 0, 84), true, true},
      {"string past the end", TextRecord(92, 9, 76, 0, 84), false, false},
      {"string offset inside the fixed part", TextRecord(92, 2, 40, 0, 84), false, true},
      {"spacing offset 0", TextRecord(92, 2, 76, 0, 0), true, false},
      {"spacing offset past the end", TextRecord(92, 2, 76, 0, 0xFFFFFFF0), true, false},
      {"pairs of advances need twice the room", TextRecord(92, 2, 76, ETO_PDY, 84), true, false},
      {"pairs that fit", TextRecord(100, 2, 76, ETO_PDY, 84), true, true},
      {"no characters", TextRecord(76, 0, 0, 0, 0), true, true},
  };
  for (const Case& c : cases) {
    const EmfText t = ReadExtTextOut(View(c.bytes));
    ASSERT_TRUE(t.ok) << c.name;
    EXPECT_EQ(t.chars16.Valid(), c.text) << c.name;
    EXPECT_EQ(t.dx.Valid(), c.dx) << c.name;
    EXPECT_FALSE(t.chars8.Valid()) << c.name << ": a wide record has no 8-bit text";
  }
  EXPECT_FALSE(ReadExtTextOut(View(Le32({84, 72}))).ok);  // no room for the fixed part
}

TEST(EmfParts, RegionRectanglesMustFitTheRegionData) {
  // EMR_EXTSELECTCLIPRGN: cbRgnData, iMode, then RGNDATAHEADER and the rectangles.
  const auto clip = [](DWORD cbRgnData, DWORD nCount, DWORD size) {
    std::vector<BYTE> r = Le32({75, size, cbRgnData, RGN_COPY, 32, 1, nCount, 16, 0, 0, 5, 5});
    r.resize(size, 0);
    return r;
  };
  struct Case {
    DWORD cb, count, size;
    bool ok;
  };
  const Case cases[] = {
      {48, 1, 64, true},           {64, 2, 80, true},
      {48, 2, 80, false},  // rectangles past cbRgnData
      {80, 2, 64, false},  // cbRgnData past the record
      {16, 0, 64, false},  // shorter than the header
      {48, 0x10000001, 64, false},
  };
  for (const Case& c : cases) {
    EMREXTSELECTCLIPRGN fixed;
    EXPECT_EQ(ReadClipRegion(View(clip(c.cb, c.count, c.size)), fixed).ok, c.ok)
        << c.cb << " " << c.count;
  }
  EMREXTSELECTCLIPRGN fixed;
  const EmfRegion none = ReadClipRegion(View(Le32({75, 16, 0, RGN_COPY})), fixed);
  EXPECT_FALSE(none.ok);
  EXPECT_EQ(fixed.iMode, RGN_COPY);
}

TEST(EmfParts, CommentPaletteGradientAndPenCounts) {
  EXPECT_TRUE(ReadGdiComment(View(Le32({70, 20, 8, 1, 2}))).ok);
  EXPECT_FALSE(ReadGdiComment(View(Le32({70, 20, 9, 1, 2}))).ok);
  EXPECT_FALSE(ReadGdiComment(View(Le32({70, 20, 0xFFFFFFFF, 1, 2}))).ok);

  // ihPal, then palVersion and palNumEntries as 16-bit values.
  EXPECT_TRUE(ReadCreatePalette(View(Le32({49, 24, 1, 0x00020300, 1, 2}))).ok);
  EXPECT_FALSE(ReadCreatePalette(View(Le32({49, 24, 1, 0x00030300, 1, 2}))).ok);

  // Two vertices and one rectangle: 36 + 32 + 8.
  std::vector<BYTE> gradient = Le32({118, 76, 0, 0, 9, 9, 2, 1, GRADIENT_FILL_RECT_H});
  gradient.resize(76, 0);
  EXPECT_TRUE(ReadGradientFill(View(gradient)).ok);
  const std::vector<BYTE> tooManyVertices = [&] {
    std::vector<BYTE> g = gradient;
    g[24] = 5;
    return g;
  }();
  EXPECT_FALSE(ReadGradientFill(View(tooManyVertices)).ok);
  std::vector<BYTE> triangles = gradient;
  triangles[32] = GRADIENT_FILL_TRIANGLE;  // 12 bytes per triangle do not fit
  EXPECT_FALSE(ReadGradientFill(View(triangles)).ok);
  std::vector<BYTE> badMode = gradient;
  badMode[32] = 7;
  EXPECT_FALSE(ReadGradientFill(View(badMode)).ok);

  // A pen whose style-entry count lies is still a pen.
  std::vector<BYTE> pen = Le32({95, 52, 1, 52, 0, 52, 0, 0, 3, 0, 0xFF, 0, 1000});
  const EmfExtPen p = ReadExtCreatePen(View(pen));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.fixed.elp.elpWidth, 3u);
  EXPECT_FALSE(p.styleEntries.Valid());
}

TEST(EmfBuffer, WidensAndCopiesWithoutGrowingPastTheLargestRecord) {
  const std::vector<BYTE> shortLine = Le32({87, 36, 0, 0, 9, 9, 2, 0xFFFF0001, 0x7FFF8000});
  const auto p16 = ReadPolyPoints<POINTS>(View(shortLine));
  ASSERT_TRUE(p16.ok);
  EmfBuffer<POINTL> buffer;
  const POINTL* wide = WidenPoints(p16.points, buffer);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(wide[0].x, 1);
  EXPECT_EQ(wide[0].y, -1);
  EXPECT_EQ(wide[1].x, -32768);
  EXPECT_EQ(wide[1].y, 32767);
  const std::size_t capacity = buffer.Capacity();
  for (int i = 0; i < 100; ++i) EXPECT_EQ(WidenPoints(p16.points, buffer), wide);
  EXPECT_EQ(buffer.Capacity(), capacity);
  EXPECT_EQ(WidenPoints(EmfArray<POINTS>(), buffer), nullptr);

  // 32-bit points are used in place when aligned and copied when not.
  std::vector<BYTE> line = Le32({4, 44, 0, 0, 9, 9, 2, 1, 2, 3, 4});
  std::vector<BYTE> shifted(1, 0);
  shifted.insert(shifted.end(), line.begin(), line.end());
  EmfBuffer<POINTL> points;
  const auto aligned = ReadPolyPoints<POINTL>(View(line));
  EXPECT_EQ(points.View(aligned.points), reinterpret_cast<const POINTL*>(line.data() + 28));
  const auto unaligned =
      ReadPolyPoints<POINTL>(EmfRecord::FromBytes(shifted.data() + 1, line.size()));
  const POINTL* copy = points.View(unaligned.points);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy[1].y, 4);
}

}  // namespace
}  // namespace vellora_test
