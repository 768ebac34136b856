// Metafiles written by the test builder read back through the reader field by field.
#include "emf_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qvplatform/emf_buffer.h"
#include "qvplatform/emf_dib.h"
#include "qvplatform/emf_parts.h"
#include "qvplatform/emf_reader.h"

namespace vellora_test {
namespace {

// All records of a metafile that ReadEmfHeader accepts.
std::vector<EmfRecord> Records(const std::vector<BYTE>& file, EmfRecordError* error = nullptr) {
  EmfHeader header;
  EXPECT_EQ(ReadEmfHeader(file.data(), file.size(), header), EmfHeaderStatus::kOk);
  EmfRecordIterator it = RecordsAfterHeader(file.data(), file.size(), header);
  std::vector<EmfRecord> out;
  EmfRecord rec;
  while (it.Next(rec) == EmfNext::kRecord) out.push_back(rec);
  if (error) *error = it.Error();
  return out;
}

TEST(EmfBuilder, HeaderFieldsRoundTrip) {
  EmfBuilder b;
  b.SetBounds({1, 2, 300, 400})
      .SetFrame({0, 0, 21000, 29700})
      .SetDevice({2480, 3508})
      .SetMillimeters({210, 297})
      .SetHandles(7)
      .SetDescription(std::u16string(u"vellora\0test\0\0", 14))
      .Eof();
  const std::vector<BYTE> file = b.Bytes();
  EmfHeader header;
  ASSERT_EQ(ReadEmfHeader(file.data(), file.size(), header), EmfHeaderStatus::kOk);
  const ENHMETAHEADER& h = header.fields;
  EXPECT_EQ(h.rclBounds.right, 300);
  EXPECT_EQ(h.rclFrame.bottom, 29700);
  EXPECT_EQ(h.szlDevice.cy, 3508);
  EXPECT_EQ(h.szlMillimeters.cx, 210);
  EXPECT_EQ(h.szlMicrometers.cx, 210000);
  EXPECT_EQ(h.nHandles, 7);
  EXPECT_EQ(h.nBytes, file.size());
  EXPECT_EQ(h.nRecords, 2u);
  EXPECT_TRUE(header.hasMicrometers);
  const EmfArray<WCHAR> description = EmfHeaderDescription(file.data(), header);
  ASSERT_TRUE(description.Valid());
  EXPECT_EQ(description.Count(), 14u);
  EXPECT_EQ(description[8], u't');

  EmfBuilder shortHeader;
  shortHeader.SetHeaderSize(88).Eof();
  const std::vector<BYTE> shortFile = shortHeader.Bytes();
  ASSERT_EQ(ReadEmfHeader(shortFile.data(), shortFile.size(), header), EmfHeaderStatus::kOk);
  EXPECT_EQ(header.fields.nSize, 88u);
  EXPECT_FALSE(header.hasPixelFormat);
  EXPECT_EQ(Records(shortFile).size(), 1u);
}

TEST(EmfBuilder, DrawingRecordsRoundTrip) {
  EmfBuilder b;
  b.Polyline({{1, 2}, {30, 40}, {-5, 6}})
      .Polygon16({{1, -2}, {300, 4}})
      .PolyPolygon({{{0, 0}, {1, 1}}, {{2, 2}, {3, 3}, {4, 4}}})
      .PolyPoly16(EMR_POLYPOLYLINE16, {{{5, 5}}, {{6, 6}}})
      .MoveTo(7, 8)
      .LineTo(9, 10)
      .Rectangle({1, 2, 3, 4})
      .ArcFamily(EMR_PIE, {0, 0, 10, 10}, {10, 5}, {5, 0})
      .IntersectClipRect({-10, -10, 40000, 5})
      .ExtSelectClipRgn(RGN_COPY, {{0, 0, 5, 5}, {5, 5, 10, 10}})
      .ExtSelectClipRgn(RGN_COPY, {})
      .GradientFill({{0, 0, 0xFF00, 0, 0, 0}, {1000, 20, 0, 0, 0xFF00, 0}}, {{0, 1}},
                    GRADIENT_FILL_RECT_H)
      .Eof();
  const std::vector<BYTE> file = b.Bytes();
  EmfRecordError error;
  const std::vector<EmfRecord> recs = Records(file, &error);
  EXPECT_EQ(error, EmfRecordError::kNone);
  std::vector<DWORD> types;
  for (const EmfRecord& r : recs) types.push_back(r.Type());
  EXPECT_EQ(types, (std::vector<DWORD>{EMR_POLYLINE, EMR_POLYGON16, EMR_POLYPOLYGON,
                                       EMR_POLYPOLYLINE16, EMR_MOVETOEX, EMR_LINETO, EMR_RECTANGLE,
                                       EMR_PIE, EMR_INTERSECTCLIPRECT, EMR_EXTSELECTCLIPRGN,
                                       EMR_EXTSELECTCLIPRGN, EMR_GRADIENTFILL, EMR_EOF}));
  EXPECT_EQ(b.RecordCount(), recs.size() + 1);

  const auto line = ReadPolyPoints<POINTL>(recs[0]);
  ASSERT_TRUE(line.ok);
  EXPECT_EQ(line.points.Count(), 3u);
  EXPECT_EQ(line.points[2].x, -5);
  EXPECT_EQ(line.bounds.left, -5);
  EXPECT_EQ(line.bounds.bottom, 40);

  const auto poly16 = ReadPolyPoints<POINTS>(recs[1]);
  ASSERT_TRUE(poly16.ok);
  EmfBuffer<POINTL> buffer;
  const POINTL* wide = WidenPoints(poly16.points, buffer);
  EXPECT_EQ(wide[0].y, -2);
  EXPECT_EQ(wide[1].x, 300);

  const auto pp = ReadPolyPolyPoints<POINTL>(recs[2]);
  ASSERT_TRUE(pp.ok);
  EXPECT_EQ(pp.counts.Count(), 2u);
  EXPECT_EQ(pp.counts[1], 3u);
  EXPECT_EQ(pp.points[4].y, 4);
  EXPECT_TRUE(ReadPolyPolyPoints<POINTS>(recs[3]).ok);

  EMRLINETO to;
  ASSERT_TRUE(recs[5].Read(to));
  EXPECT_EQ(to.ptl.y, 10);
  EMRPIE pie;
  ASSERT_TRUE(recs[7].Read(pie));
  EXPECT_EQ(pie.ptlStart.x, 10);
  EXPECT_EQ(pie.ptlEnd.y, 0);
  EMRINTERSECTCLIPRECT clip;
  ASSERT_TRUE(recs[8].Read(clip));
  EXPECT_EQ(clip.rclClip.right, 40000);

  EMREXTSELECTCLIPRGN sel;
  const EmfRegion region = ReadClipRegion(recs[9], sel);
  ASSERT_TRUE(region.ok);
  EXPECT_EQ(sel.iMode, RGN_COPY);
  EXPECT_EQ(region.rects.Count(), 2u);
  EXPECT_EQ(region.rects[1].left, 5);
  EXPECT_EQ(region.header.rcBound.right, 10);
  EXPECT_FALSE(ReadClipRegion(recs[10], sel).ok);
  EXPECT_EQ(sel.cbRgnData, 0u);

  const EmfGradient g = ReadGradientFill(recs[11]);
  ASSERT_TRUE(g.ok);
  EXPECT_EQ(g.vertices.Count(), 2u);
  EXPECT_EQ(g.vertices[1].x, 1000);
  EXPECT_EQ(g.vertices[1].Blue, 0xFF00);
  EXPECT_EQ(g.rects[0].LowerRight, 1u);
}

TEST(EmfBuilder, ObjectTextAndBitmapRecordsRoundTrip) {
  EmfBuilder b;
  b.CreatePen(1, 0x100, 5, RGB(1, 2, 3))
      .ExtCreatePen(2, 0x7, 9, RGB(4, 5, 6), 0, 0, {3, 1})
      .CreateBrush(3, 2, RGB(7, 8, 9), 5)
      .CreateFont(4, EmfBuilder::Font(u"Arial", -12, 700))
      .CreatePalette(5, {{1, 2, 3, 0}, {4, 5, 6, 0}})
      .SelectObject(0x80000004)
      .ExtTextOutW(10, 20, u"Hi!", {5, 6, 7}, ETO_CLIPPED, {0, 0, 50, 10})
      .ExtTextOutA(1, 2, "abcde")
      .GdiComment({'C', 'h', 'K', 'L', 9})
      .StretchDIBits({0, 0, 20, 20}, TestDib::Filled(3, -2, 8, 0x01))
      .BitBlt({1, 1, 5, 5}, PATCOPY)
      .BitBlt({1, 1, 5, 5}, SRCCOPY, TestDib::Filled(1, 1, 32, 0xAA))
      .CreateDibPatternBrush(6, TestDib::Filled(8, 8, 1, 0x55))
      .Eof();
  const std::vector<BYTE> file = b.Bytes();
  const std::vector<EmfRecord> recs = Records(file);
  ASSERT_EQ(recs.size(), 14u);

  EMRCREATEPEN pen;
  ASSERT_TRUE(recs[0].Read(pen));
  EXPECT_EQ(pen.ihPen, 1u);
  EXPECT_EQ(pen.lopn.lopnStyle, 0x100u);
  EXPECT_EQ(pen.lopn.lopnWidth.x, 5);
  EXPECT_EQ(pen.lopn.lopnColor, RGB(1, 2, 3));
  const EmfExtPen ext = ReadExtCreatePen(recs[1]);
  ASSERT_TRUE(ext.ok && ext.styleEntries.Valid());
  EXPECT_EQ(ext.fixed.elp.elpWidth, 9u);
  EXPECT_EQ(ext.styleEntries[0], 3u);
  EMRCREATEBRUSHINDIRECT brush;
  ASSERT_TRUE(recs[2].Read(brush));
  EXPECT_EQ(brush.lb.lbHatch, 5u);
  EMREXTCREATEFONTINDIRECTW font;
  ASSERT_TRUE(recs[3].Read(font));
  EXPECT_EQ(recs[3].Size(), 332u);
  EXPECT_EQ(font.elfw.lfHeight, -12);
  EXPECT_EQ(font.elfw.lfWeight, 700);
  EXPECT_EQ(font.elfw.lfFaceName[4], u'l');
  EXPECT_EQ(font.elfw.lfFaceName[5], 0);
  const EmfPalette pal = ReadCreatePalette(recs[4]);
  ASSERT_TRUE(pal.ok);
  EXPECT_EQ(pal.entries[1].peGreen, 5);
  EMRSELECTOBJECT select;
  ASSERT_TRUE(recs[5].Read(select));
  EXPECT_EQ(select.ihObject, ENHMETA_STOCK_OBJECT | 4);

  const EmfText w = ReadExtTextOut(recs[6]);
  ASSERT_TRUE(w.ok && w.chars16.Valid() && w.dx.Valid());
  EXPECT_EQ(w.fixed.emrtext.ptlReference.y, 20);
  EXPECT_EQ(w.fixed.emrtext.rcl.right, 50);
  EXPECT_EQ(w.chars16[2], u'!');
  EXPECT_EQ(w.dx[2], 7);
  const EmfText a = ReadExtTextOut(recs[7]);
  ASSERT_TRUE(a.ok && a.chars8.Valid() && a.dx.Valid());
  EXPECT_EQ(a.chars8[4], 'e');
  EXPECT_EQ(a.dx.Count(), 5u);

  const EmfComment comment = ReadGdiComment(recs[8]);
  ASSERT_TRUE(comment.ok);
  EXPECT_EQ(comment.cbData, 5u);
  EXPECT_EQ(comment.data[4], 9);

  EMRSTRETCHDIBITS sdib;
  ASSERT_TRUE(recs[9].Read(sdib));
  EXPECT_EQ(sdib.cxDest, 20);
  EXPECT_EQ(sdib.cxSrc, 3);
  EXPECT_EQ(sdib.cySrc, 2);
  EmfDib dib;
  ASSERT_EQ(ReadDib(recs[9], DibSourceOf(sdib), dib), DibStatus::kOk);
  EXPECT_TRUE(dib.TopDown());
  EXPECT_EQ(dib.ColorCount(), 256u);
  EXPECT_EQ(dib.Color(255).rgbGreen, 255);
  EXPECT_EQ(dib.Stride(), 4u);

  EMRBITBLT blt;
  ASSERT_TRUE(recs[10].Read(blt));
  EXPECT_EQ(recs[10].Size(), sizeof(EMRBITBLT));
  EXPECT_EQ(blt.dwRop, PATCOPY);
  EXPECT_EQ(ReadDib(recs[10], DibSourceOf(blt), dib), DibStatus::kAbsent);
  ASSERT_TRUE(recs[11].Read(blt));
  ASSERT_EQ(ReadDib(recs[11], DibSourceOf(blt), dib), DibStatus::kOk);
  EXPECT_EQ(dib.Bits()[3], 0xAA);

  EMRCREATEDIBPATTERNBRUSHPT pattern;
  ASSERT_TRUE(recs[12].Read(pattern));
  ASSERT_EQ(ReadDib(recs[12], DibSourceOf(pattern), dib), DibStatus::kOk);
  EXPECT_EQ(dib.ColorCount(), 2u);
  EXPECT_EQ(dib.RequiredBitsSize(), 32u);
}

TEST(EmfBuilder, BrokenRecordsStopTheWalkWhereTheyAre) {
  struct Case {
    const char* name;
    std::vector<BYTE> body;
    DWORD size;
    EmfRecordError error;
  };
  const Case cases[] = {
      {"size 0", {}, 0, EmfRecordError::kSizeTooSmall},
      {"size 6", {}, 6, EmfRecordError::kSizeTooSmall},
      {"size 18", Le32({1, 2, 3}), 18, EmfRecordError::kSizeUnaligned},
      {"size past the end", Le32({1, 2}), 40, EmfRecordError::kSizeBeyondData},
  };
  for (const Case& c : cases) {
    EmfBuilder b;
    b.SaveDC();
    const std::size_t badAt = b.Offset();
    b.AppendRaw(EMR_LINETO, c.size, c.body);
    const std::vector<BYTE> file = b.Bytes();
    EmfHeader header;
    ASSERT_EQ(ReadEmfHeader(file.data(), file.size(), header), EmfHeaderStatus::kOk);
    EXPECT_EQ(header.fields.nRecords, 3u) << c.name;
    EmfRecordIterator it = RecordsAfterHeader(file.data(), file.size(), header);
    EmfRecord rec;
    ASSERT_EQ(it.Next(rec), EmfNext::kRecord) << c.name;
    EXPECT_EQ(it.Next(rec), EmfNext::kError) << c.name;
    EXPECT_EQ(it.Error(), c.error) << c.name;
    EXPECT_EQ(it.Offset(), badAt) << c.name;
  }

  EmfBuilder cut;
  cut.SaveDC().AppendBytes({14, 0, 0}).ForceRecordCount(9).ForceByteCount(4096);
  const std::vector<BYTE> file = cut.Bytes();
  EmfHeader header;
  ASSERT_EQ(ReadEmfHeader(file.data(), file.size(), header), EmfHeaderStatus::kOk);
  EXPECT_EQ(header.fields.nRecords, 9u);
  EXPECT_EQ(header.fields.nBytes, 4096u);
  EmfRecordError error;
  EXPECT_EQ(Records(file, &error).size(), 1u);
  EXPECT_EQ(error, EmfRecordError::kTruncatedHead);
}

}  // namespace
}  // namespace vellora_test
