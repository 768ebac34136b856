// The record table: each drawing record makes its call, 16-bit point records make the same calls
// as their 32-bit forms, the handle map, text records, and records whose counts do not fit.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "emf_builder.h"
#include "recording_device.h"

namespace vellora_test {
namespace {

// The calls between BeginPicture and FlushPending.
std::vector<std::string> Drawn(const std::vector<BYTE>& bytes, RecordingDevice* use = nullptr) {
  RecordingDevice own;
  RecordingDevice& device = use ? *use : own;
  Play(device, bytes);
  const auto& calls = device.Calls();
  EXPECT_GE(calls.size(), 3u);
  return std::vector<std::string>(calls.begin() + 1, calls.end() - 2);
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& line : lines) s += line + "\n";
  return s;
}

std::vector<std::string> Drawn(const std::function<void(EmfBuilder&)>& build) {
  EmfBuilder b;
  build(b);
  return Drawn(b.Eof().Bytes());
}

TEST(MetafileRecords, EachDrawingRecordMakesItsCall) {
  const struct {
    std::function<void(EmfBuilder&)> build;
    std::vector<std::string> calls;
  } cases[] = {
      {[](EmfBuilder& b) {
         b.AppendFixed(EMR_SETPIXELV, EMRSETPIXELV{{}, {3, 4}, 0x123456});
       },
       {"SetPixel (3,4) 00123456"}},
      {[](EmfBuilder& b) { b.MoveTo(1, 2).LineTo(3, 4); }, {"MoveTo (1,2)", "LineTo (3,4)"}},
      {[](EmfBuilder& b) {
         b.Ellipse({1, 2, 3, 4});
       },
       {"Ellipse (1,2,3,4) fill=1"}},
      {[](EmfBuilder& b) {
         b.RoundRect({1, 2, 3, 4}, {5, 6});
       },
       {"RoundRect (1,2,3,4) 5x6"}},
      {[](EmfBuilder& b) {
         b.Arc({1, 2, 3, 4}, {0, 0}, {0, 0});
       },
       {"Ellipse (1,2,3,4) fill=0"}},
      {[](EmfBuilder& b) {
         b.Arc({1, 2, 3, 4}, {5, 0}, {0, 0});
       },
       {"Arc (1,2,3,4) (5,0) (0,0) arcTo=0"}},
      {[](EmfBuilder& b) {
         b.ArcFamily(EMR_ARCTO, {1, 2, 3, 4}, {5, 6}, {7, 8});
       },
       {"Arc (1,2,3,4) (5,6) (7,8) arcTo=1"}},
      {[](EmfBuilder& b) {
         b.ArcFamily(EMR_CHORD, {1, 2, 3, 4}, {5, 6}, {7, 8});
       },
       {"Chord (1,2,3,4) (5,6) (7,8)"}},
      {[](EmfBuilder& b) {
         b.ArcFamily(EMR_PIE, {1, 2, 3, 4}, {5, 6}, {7, 8});
       },
       {"Pie (1,2,3,4) (5,6) (7,8)"}},
      {[](EmfBuilder& b) {
         b.AngleArc({10, 20}, 5, 30.0f, 90.5f);
       },
       {"AngleArc (10,20) r=5 30 90.5"}},
      {[](EmfBuilder& b) {
         b.Append(EMR_BEGINPATH, {}).LineTo(1, 1).Append(EMR_CLOSEFIGURE, {});
         b.Append(EMR_ENDPATH, {}).Append(EMR_FILLPATH, {0, 0, 0, 0});
         b.Append(EMR_STROKEANDFILLPATH, {0, 0, 0, 0}).Append(EMR_STROKEPATH, {0, 0, 0, 0});
       },
       {"BeginPath 3", "LineTo (1,1)", "CloseFigure", "EndPath 0", "DrawPath stroke=0 fill=1",
        "DrawPath stroke=1 fill=1", "DrawPath stroke=1 fill=0"}},
      {[](EmfBuilder& b) {
         b.Append(EMR_BEGINPATH, {}).Append(EMR_BEGINPATH, {}).Append(EMR_ABORTPATH, {});
       },
       {"BeginPath 3", "BeginPath 3", "CloseFigure", "EndPath 1", "EndPath 0"}},
      {[](EmfBuilder& b) { b.Append(EMR_SELECTCLIPPATH, {5}); }, {"SelectClipPath 5"}},
      {[](EmfBuilder& b) {
         b.GdiComment({1, 2, 3});
       },
       {"GdiComment 3:56CF37AB"}},
      {[](EmfBuilder& b) {
         b.PaintRgn({{1, 2, 3, 4}});
       },
       {"PaintRegion 48:DF45DCA5"}},
      {[](EmfBuilder& b) { b.SaveDC().RestoreDC(-1); }, {"SaveDC 2", "RestoreDC -1"}},
      // Records without effect.
      {[](EmfBuilder& b) {
         b.Append(EMR_OFFSETCLIPRGN, {1, 2}).ExcludeClipRect({1, 2, 3, 4});
         b.Append(EMR_REALIZEPALETTE, {}).Append(EMR_SETMAPPERFLAGS, {1});
         b.Append(EMR_POLYDRAW16, {0, 0, 0, 0, 1, 0x00010001, 1});
         b.Append(EMR_FILLRGN, {0, 0, 0, 0, 0, 1}).Append(200, {1, 2, 3});
       },
       {}},
  };
  for (const auto& c : cases) {
    const auto calls = Drawn(c.build);
    EXPECT_EQ(calls, c.calls) << (c.calls.empty() ? "(none)" : c.calls[0]);
  }
}

// Each 32-bit point record and its 16-bit form.
TEST(MetafileRecords, SixteenBitPointRecordsMakeTheSameCallsAsThirtyTwoBitOnes) {
  const std::vector<POINTL> p32 = {{1, 2}, {-3, 4}, {32767, -32768}, {7, 8}};
  std::vector<POINTS> p16;
  for (const POINTL& p : p32) p16.push_back(POINTS{std::int16_t(p.x), std::int16_t(p.y)});
  const std::vector<std::vector<POINTL>> pp32 = {{p32[0], p32[1]}, {}, {p32[2], p32[3], p32[0]}};
  std::vector<std::vector<POINTS>> pp16;
  for (const auto& poly : pp32) {
    pp16.emplace_back();
    for (const POINTL& p : poly)
      pp16.back().push_back(POINTS{std::int16_t(p.x), std::int16_t(p.y)});
  }
  const struct {
    DWORD type32, type16;
    const char* call;
  } cases[] = {
      {EMR_POLYBEZIER, EMR_POLYBEZIER16, "PolyBezier"},
      {EMR_POLYGON, EMR_POLYGON16, "Polygon"},
      {EMR_POLYLINE, EMR_POLYLINE16, "Polyline"},
      {EMR_POLYBEZIERTO, EMR_POLYBEZIERTO16, "PolyBezier"},
      {EMR_POLYLINETO, EMR_POLYLINETO16, "Polyline"},
      {EMR_POLYPOLYLINE, EMR_POLYPOLYLINE16, "Polyline"},
      {EMR_POLYPOLYGON, EMR_POLYPOLYGON16, "Polygon"},
  };
  for (const auto& c : cases) {
    EmfBuilder b32, b16;
    if (c.type32 == EMR_POLYPOLYLINE || c.type32 == EMR_POLYPOLYGON) {
      b32.PolyPoly(c.type32, pp32);
      b16.PolyPoly16(c.type16, pp16);
    } else {
      b32.Poly(c.type32, p32);
      b16.Poly16(c.type16, p16);
    }
    const auto calls32 = Drawn(b32.Eof().Bytes());
    EXPECT_EQ(Drawn(b16.Eof().Bytes()), calls32) << c.type32;
    ASSERT_FALSE(calls32.empty());
    EXPECT_NE(Joined(calls32).find(c.call), std::string::npos) << calls32[0];
    EXPECT_NE(Joined(calls32).find("(32767,-32768)"), std::string::npos) << calls32[0];
  }
  // The continue flags and the path bracket of the groups.
  EXPECT_EQ(Drawn([&](EmfBuilder& b) { b.Poly16(EMR_POLYLINETO16, p16); })[0],
            "Polyline [(1,2) (-3,4) (32767,-32768) (7,8)] continue=1 prepare=1 stroke=1");
  EXPECT_EQ(Drawn([&](EmfBuilder& b) { b.PolyPoly16(EMR_POLYPOLYGON16, pp16); }),
            (std::vector<std::string>{"BeginPath 2", "Polygon [(1,2) (-3,4)]",
                                      "Polygon [(32767,-32768) (7,8) (1,2)]", "EndPath 0",
                                      "DrawPath stroke=1 fill=1"}));
}

TEST(MetafileRecords, PolygonGroupsWithAStyledPenOrInsideAPathAreNotPaintedThemselves) {
  const std::vector<std::vector<POINTL>> polys = {{{1, 1}, {2, 2}, {3, 1}}};
  // Pen style 6 (inside frame) makes the group an explicit path.
  EXPECT_EQ(Drawn([&](EmfBuilder& b) {
              b.SetHandles(2).CreatePen(1, 6, 1, 0).SelectObject(1).PolyPolygon(polys);
            })[0],
            "BeginPath 3");
  // Inside an open path the group only adds its figures.
  EXPECT_EQ(Drawn([&](EmfBuilder& b) { b.Append(EMR_BEGINPATH, {}).PolyPolyline(polys); }),
            (std::vector<std::string>{"BeginPath 3", "BeginPath 1",
                                      "Polyline [(1,1) (2,2) (3,1)] continue=0 prepare=1 stroke=1",
                                      "CloseFigure", "EndPath 1"}));
}

TEST(MetafileRecords, CountsThatDoNotFitTheRecordSkipItAndMarkTheMetafileDamaged) {
  const struct {
    const char* name;
    DWORD type;
    std::vector<BYTE> body;  // after the record head
  } cases[] = {
      {"polyline count beyond the record", EMR_POLYLINE, Le32({0, 0, 0, 0, 1000, 1, 2})},
      {"polyline count overflowing 32 bits", EMR_POLYLINE, Le32({0, 0, 0, 0, 0x20000000, 1, 2})},
      {"16-bit count beyond the record", EMR_POLYLINE16, Le32({0, 0, 0, 0, 3, 0x00020001})},
      {"polygon counts adding up past the points", EMR_POLYPOLYGON,
       Le32({0, 0, 0, 0, 2, 2, 0xFFFFFFFF, 3, 1, 2, 3, 4})},
      {"fixed part cut short", EMR_RECTANGLE, Le32({1, 2})},
      {"palette entries beyond the record", EMR_CREATEPALETTE, Le32({1, 0x01000300})},
      {"comment length beyond the record", EMR_GDICOMMENT, Le32({100, 1})},
      {"region rectangles beyond the region", EMR_PAINTRGN,
       Le32({0, 0, 0, 0, 48, 32, 1, 9, 144, 0, 0, 0, 0, 1, 2, 3, 4})},
      {"gradient vertices beyond the record", EMR_GRADIENTFILL, Le32({0, 0, 0, 0, 99, 1, 0})},
      {"pen handle outside the map", EMR_CREATEPEN, Le32({9, 0, 1, 0, 0})},
  };
  for (const auto& c : cases) {
    RecordingDevice device;
    EmfBuilder b;
    b.Append(c.type, c.body.data(), c.body.size()).Rectangle({5, 6, 7, 8});
    EXPECT_EQ(Drawn(b.Eof().Bytes(), &device), std::vector<std::string>{"Rectangle (5,6,7,8)"})
        << c.name;
    EXPECT_TRUE(device.metafileError) << c.name;
  }
}

TEST(MetafileRecords, HandlesMapToTableObjectsAndStockNumbers) {
  RecordingDevice device;
  const auto bytes = EmfBuilder()
                         .SetHandles(2)
                         .CreatePen(1, 0, 3, 0x0000FF)
                         .CreateBrush(2, 0, 0x00FF00)
                         .SelectObject(1)
                         .SelectObject(2)
                         .Rectangle({1, 1, 2, 2})
                         .SelectObject(0x80000004)  // stock black brush
                         .DeleteObject(1)
                         .CreateBrush(3, 0, 0xFF0000)  // handle 3 is past nHandles + 1 = 3 slots
                         .SelectObject(3)
                         .Eof()
                         .Bytes();
  device.onCall = [&device](const std::string& line) {
    if (line.rfind("Rectangle", 0) == 0) {
      EXPECT_EQ(device.CurrentDCState().penColor, 0x0000FFu);
      EXPECT_EQ(device.CurrentDCState().penWidth, 3);
      EXPECT_EQ(device.CurrentDCState().brushColor, 0x00FF00u);
    }
  };
  Play(device, bytes);
  EXPECT_EQ(device.CurrentDCState().brushColor, 0u);  // the stock brush, not handle 3's
  EXPECT_TRUE(device.metafileError);                  // the create past the map was refused
  // The deleted pen's handle no longer reaches an object: selecting it changes nothing.
  RecordingDevice again;
  Play(again, EmfBuilder()
                  .SetHandles(2)
                  .CreatePen(1, 0, 3, 0x0000FF)
                  .DeleteObject(1)
                  .CreateBrush(2, 0, 0x00FF00)  // reuses the freed table index
                  .SelectObject(1)
                  .Eof()
                  .Bytes());
  EXPECT_EQ(again.CurrentDCState().brushColor, 0xFFFFFFu);
  EXPECT_FALSE(again.metafileError);
}

TEST(MetafileRecords, TextRecordsHandOverTextAndOneAdvancePerCharacter) {
  EXPECT_EQ(Drawn([](EmfBuilder& b) {
              b.ExtTextOutW(5, 6, u"H\u00e9", {7, 8}, ETO_CLIPPED);
            }),
            std::vector<std::string>{
                "ExtTextOut (5,6) options=00000004 clip=(0,0,0,0) W\"H\\u00E9\" n=2 dx=[7,8]"});
  EXPECT_EQ(Drawn([](EmfBuilder& b) {
              b.ExtTextOutA(5, 6, "abc", {}, 0, {1, 2, 3, 4});
            }),
            std::vector<std::string>{
                "ExtTextOut (5,6) options=00000000 clip=(1,2,3,4) A\"abc\" n=3 dx=[10,10,10]"});
  // ETO_PDY: x and y advances in pairs; the x advances are handed on.
  EXPECT_EQ(Drawn([](EmfBuilder& b) {
              b.ExtTextOutW(0, 0, u"ab", {5, 1, 6, 2}, ETO_PDY);
            }),
            std::vector<std::string>{
                "ExtTextOut (0,0) options=00002000 clip=(0,0,0,0) W\"ab\" n=2 dx=[5,6]"});
  // An empty text still says which kind it is (an opaque rectangle may be all it draws).
  EXPECT_EQ(Drawn([](EmfBuilder& b) { b.ExtTextOutW(0, 0, u"", {}, ETO_OPAQUE); }),
            std::vector<std::string>{
                "ExtTextOut (0,0) options=00000002 clip=(0,0,0,0) W\"\" n=0 dx=none"});
}

TEST(MetafileRecords, TextWhoseStringDoesNotFitIsSkippedAndSpacingOutsideIsDropped) {
  EmfBuilder text;
  text.ExtTextOutW(0, 0, u"abcd");
  auto bytes = text.Eof().Bytes();
  // EMRTEXT starts 36 bytes into the record: nChars at +8, offString at +12, offDx at +36.
  const std::size_t record = 108;

  auto longText = bytes;
  std::memcpy(&longText[record + 36 + 8], "\xFF\xFF\x00\x00", 4);  // 65535 characters
  RecordingDevice device;
  EXPECT_TRUE(Drawn(longText, &device).empty());
  EXPECT_TRUE(device.metafileError);

  auto noSpacing = bytes;
  std::memcpy(&noSpacing[record + 36 + 36], "\x00\x00\x00\x00", 4);  // offDx 0: inside the head
  EXPECT_EQ(Drawn(noSpacing),
            std::vector<std::string>{"ExtTextOut (0,0) options=00000000 clip=(0,0,0,0) W\"abcd\" "
                                     "n=4 dx=none"});
}

}  // namespace
}  // namespace vellora_test
