#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "font_test_env.h"
#include "qvplatform/device_context.h"
#include "qvplatform/emf_parts.h"
#include "qvplatform/emf_reader.h"
#include "qvplatform/font_service.h"
#include "qvplatform/metafile_canvas.h"
#include "qvplatform/text_measure.h"
#include "temp_files.h"

namespace {

using namespace qvplatform;

struct Played {
  EmfHeader header;
  std::vector<DWORD> types;
  std::vector<std::vector<BYTE>> records;
  std::vector<EmfRecord> views;  // into the bytes played
};

// The records as a player reads them; a failed check fails the test.
Played Play(const std::vector<BYTE>& bytes) {
  Played out;
  EXPECT_EQ(ReadEmfHeader(bytes.data(), bytes.size(), out.header), EmfHeaderStatus::kOk);
  EmfRecordIterator it = RecordsAfterHeader(bytes.data(), bytes.size(), out.header);
  EmfRecord rec;
  EmfNext next;
  while ((next = it.Next(rec)) == EmfNext::kRecord) {
    out.types.push_back(rec.Type());
    out.records.emplace_back(rec.Data(), rec.Data() + rec.Size());
    out.views.push_back(rec);
  }
  EXPECT_EQ(next, EmfNext::kEnd);
  return out;
}

LOGFONTW Font(const std::u16string& face, LONG height) {
  LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfWeight = 400;
  std::copy(face.begin(), face.end(), lf.lfFaceName);
  return lf;
}

TEST(MetafileCanvasTest, RecordsTheDrawingAndAHeaderForThePage) {
  TMetafile metafile;
  {
    TMetafileCanvas canvas(metafile, 827, 1169, 100, 100);
    EXPECT_EQ(canvas.GetDeviceCaps(LOGPIXELSX), 100);
    EXPECT_EQ(canvas.GetDeviceCaps(HORZRES), 827);
    EXPECT_EQ(canvas.GetDeviceCaps(VERTSIZE), 297);
    canvas.SetPen(PS_SOLID, 3, RGB(255, 0, 0));
    canvas.SetBrush(BS_SOLID, RGB(0, 0, 255));
    canvas.MoveTo(10, 20);
    canvas.LineTo(300, 400);
    canvas.Rectangle({5, 6, 50, 60});
    canvas.IntersectClipRect({0, 0, 500, 500});
    const BYTE comment[] = {'a', 'b', 'c'};
    canvas.GdiComment(comment, sizeof comment);
    EXPECT_TRUE(metafile.Empty()) << "the recording is handed over when the canvas closes";
  }
  const Played p = Play(metafile.Bytes());
  EXPECT_EQ(p.types, (std::vector<DWORD>{EMR_CREATEPEN, EMR_SELECTOBJECT, EMR_CREATEBRUSHINDIRECT,
                                         EMR_SELECTOBJECT, EMR_MOVETOEX, EMR_LINETO, EMR_RECTANGLE,
                                         EMR_INTERSECTCLIPRECT, EMR_GDICOMMENT, EMR_EOF}));
  EXPECT_EQ(p.header.fields.rclBounds.left, 5);
  EXPECT_EQ(p.header.fields.rclBounds.bottom, 400);
  EXPECT_EQ(p.header.fields.rclFrame.right, 21006);
  EXPECT_EQ(p.header.fields.szlDevice.cx, 827);
  EXPECT_EQ(p.header.fields.szlMillimeters.cy, 297);
  EXPECT_EQ(p.header.fields.nHandles, 3);
  EXPECT_EQ(p.header.fields.nRecords, 11u);
  EXPECT_EQ(p.header.fields.nBytes, metafile.Bytes().size());
  EXPECT_NE(metafile.Handle(), 0u);
}

TEST(MetafileCanvasTest, ReplacedObjectsAreDeletedUnlessASavedStateMayNeedThem) {
  TMetafile metafile;
  {
    TMetafileCanvas canvas(metafile, 10, 10, 72, 72);
    canvas.SetPen(PS_SOLID, 1, 0);  // slot 1
    canvas.SetPen(PS_SOLID, 2, 0);  // slot 2, deletes 1
    canvas.SaveDC();
    canvas.SetPen(PS_SOLID, 3, 0);  // slot 1, keeps 2
    canvas.RestoreDC(-1);           // deletes 2
  }
  const Played p = Play(metafile.Bytes());
  std::vector<std::pair<DWORD, DWORD>> objects;  // type and slot of the object records
  for (std::size_t i = 0; i < p.types.size(); ++i) {
    if (p.types[i] == EMR_SAVEDC || p.types[i] == EMR_RESTOREDC || p.types[i] == EMR_EOF) continue;
    DWORD slot;
    std::memcpy(&slot, p.records[i].data() + 8, 4);
    objects.emplace_back(p.types[i], slot);
  }
  const std::vector<std::pair<DWORD, DWORD>> expected = {
      {EMR_CREATEPEN, 1},    {EMR_SELECTOBJECT, 1}, {EMR_CREATEPEN, 2},    {EMR_SELECTOBJECT, 2},
      {EMR_DELETEOBJECT, 1}, {EMR_CREATEPEN, 1},    {EMR_SELECTOBJECT, 1}, {EMR_DELETEOBJECT, 2}};
  EXPECT_EQ(objects, expected);
}

TEST(MetafileCanvasTest, TextCarriesTheFontServiceAdvances) {
  if (!vellora_test::UsePrivateFontConfig()) GTEST_SKIP() << "test fonts missing";
  const LOGFONTW lf = Font(u"Liberation Sans", -40);
  const std::u16string text = u"Wave AV";
  TMetafile metafile;
  {
    TMetafileCanvas canvas(metafile, 400, 100, 96, 96);
    canvas.SetFont(lf);
    canvas.ExtTextOutW(10, 20, 0, nullptr, text);
    const INT given[] = {1, 2, 3};
    canvas.ExtTextOutW(0, 0, 0, nullptr, u"abc", given);
  }
  HDC dc = GetDC(0);
  const HFONT font = CreateFontIndirectW(&lf);
  SelectObject(dc, font);
  std::vector<INT> expected;
  for (char16_t c : text) {
    INT w = 0;
    ASSERT_TRUE(GetCharWidth32W(dc, c, c, &w));
    expected.push_back(w);
  }
  ReleaseDC(0, dc);
  DeleteObject(font);

  const Played p = Play(metafile.Bytes());
  std::vector<std::vector<INT>> advances;
  std::vector<std::u16string> strings;
  for (std::size_t i = 0; i < p.types.size(); ++i) {
    if (p.types[i] != EMR_EXTTEXTOUTW) continue;
    const EmfText t = ReadExtTextOut(p.views[i]);
    ASSERT_TRUE(t.ok && t.dx.Valid() && t.chars16.Valid());
    std::vector<INT> dx;
    std::u16string s;
    for (std::size_t k = 0; k < t.dx.Count(); ++k) dx.push_back(t.dx[k]);
    for (std::size_t k = 0; k < t.chars16.Count(); ++k) s.push_back(t.chars16[k]);
    advances.push_back(dx);
    strings.push_back(s);
  }
  ASSERT_EQ(advances.size(), 2u);
  EXPECT_EQ(strings[0], text);
  EXPECT_EQ(advances[0], expected);
  EXPECT_GT(expected[0], expected[4]) << "W is wider than a blank";
  EXPECT_EQ(advances[1], (std::vector<INT>{1, 2, 3}));

  // Before any font is set, text measures in the device context's stock font.
  TMetafile plain;
  { TMetafileCanvas(plain, 100, 100, 96, 96).ExtTextOutW(0, 0, 0, nullptr, u"ab"); }
  const Played q = Play(plain.Bytes());
  const EmfText t = ReadExtTextOut(q.views[0]);
  ASSERT_TRUE(t.ok && t.dx.Count() == 2);
  EXPECT_GT(t.dx[0], 0);
  EXPECT_GT(t.dx[1], 0);
}

TEST(MetafileCanvasTest, BitmapsKeepTheirInfoAndPixels) {
  BITMAPINFOHEADER info;
  info.biSize = 40;
  info.biWidth = 2;
  info.biHeight = 1;
  info.biPlanes = 1;
  info.biBitCount = 24;
  const BYTE pixels[8] = {0, 0, 255, 0, 255, 0, 0, 0};
  TMetafile metafile;
  {
    TMetafileCanvas canvas(metafile, 100, 100, 72, 72);
    canvas.StretchDIBits({10, 10, 30, 20}, {0, 0, 2, 1}, &info, sizeof info, pixels, sizeof pixels,
                         DIB_RGB_COLORS, SRCCOPY);
  }
  const Played p = Play(metafile.Bytes());
  ASSERT_EQ(p.types.front(), EMR_STRETCHDIBITS);
  EMRSTRETCHDIBITS r;
  std::memcpy(&r, p.records[0].data(), sizeof r);
  EXPECT_EQ(r.cxDest, 20);
  EXPECT_EQ(r.cyDest, 10);
  EXPECT_EQ(r.cxSrc, 2);
  EXPECT_EQ(r.cbBmiSrc, 40u);
  EXPECT_EQ(std::memcmp(p.records[0].data() + r.offBitsSrc, pixels, sizeof pixels), 0);
  EXPECT_EQ(p.header.fields.rclBounds.right, 29);
}

TEST(MetafileTest, OwnsItsHandleAndSavesItsBytes) {
  TMetafile metafile;
  EXPECT_EQ(metafile.Handle(), 0u);
  { TMetafileCanvas(metafile, 10, 10, 72, 72).LineTo(3, 3); }
  const HENHMETAFILE first = metafile.Handle();
  ASSERT_NE(first, 0u);
  EXPECT_EQ(metafile.Handle(), first);
  vellora_test::TempDir dir;
  const std::string file = dir.File("saved.emf").string();
  metafile.SaveToFile(file);
  TMetafile loaded;
  ASSERT_TRUE(loaded.LoadFromFile(file));
  EXPECT_EQ(loaded.Bytes(), metafile.Bytes());
  TMemoryStream stream;
  metafile.SaveToStream(stream);
  EXPECT_EQ(stream.Bytes(), metafile.Bytes());
  metafile.Clear();
  EXPECT_FALSE(DeleteEnhMetaFile(first)) << "replacing the content frees the handle";
  EXPECT_FALSE(loaded.LoadFromFile(dir.File("missing.emf").string()));
  EXPECT_THROW(metafile.SaveToFile(dir.File("no/such/dir.emf").string()), std::runtime_error);
}

}  // namespace
