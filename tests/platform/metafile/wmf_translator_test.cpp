// The old-style translator, read back through the platform's checked EMF reader: object slots,
// the frame, comments and the embedded enhanced metafile, damage and the output limit.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "qvplatform/emf_dib.h"
#include "qvplatform/emf_reader.h"
#include "qvplatform/wmf_translator.h"
#include "wmf_builder.h"

namespace vellora_test {
namespace {

struct Rec {
  DWORD type;
  std::vector<BYTE> bytes;
  template <class T>
  T As() const {
    T t;
    std::memcpy(&t, bytes.data(), std::min(sizeof t, bytes.size()));
    return t;
  }
};

// The records after the header; fails the test when the walk meets an error.
std::vector<Rec> Records(const std::vector<BYTE>& emf, EmfHeader* headerOut = nullptr) {
  EmfHeader header;
  EXPECT_EQ(ReadEmfHeader(emf.data(), emf.size(), header), EmfHeaderStatus::kOk);
  if (headerOut != nullptr) *headerOut = header;
  EXPECT_EQ(header.fields.nBytes, emf.size());
  std::vector<Rec> out;
  EmfRecordIterator it = RecordsAfterHeader(emf.data(), emf.size(), header);
  EmfRecord r;
  EmfNext next;
  while ((next = it.Next(r)) == EmfNext::kRecord)
    out.push_back({r.Type(), std::vector<BYTE>(r.Data(), r.Data() + r.Size())});
  EXPECT_EQ(next, EmfNext::kEnd);
  EXPECT_EQ(header.fields.nRecords, out.size() + 1);
  EXPECT_FALSE(out.empty());
  if (!out.empty()) {
    EXPECT_EQ(out.back().type, EMR_EOF);
  }
  return out;
}

std::vector<DWORD> Handles(const std::vector<Rec>& records, DWORD type) {
  std::vector<DWORD> out;
  for (const Rec& r : records)
    if (r.type == type) out.push_back(r.As<EMRSELECTOBJECT>().ihObject);
  return out;
}

WmfTranslation Translate(const WmfBuilder& b, const METAFILEPICT* picture = nullptr) {
  const std::vector<BYTE> bits = b.Bytes();
  return TranslateWinMetaFile(bits.data(), bits.size(), picture);
}

TEST(WmfTranslator, NewObjectsTakeTheLowestFreeSlot) {
  WmfBuilder b;
  b.CreatePen(0, 1, 0).CreateBrush(0, 0xFF).CreateFont("Arial", 20);  // slots 0, 1, 2
  b.DeleteObject(1).DeleteObject(0);
  b.CreateBrush(0, 0xFF00);         // slot 0
  b.CreatePen(0, 2, 0);             // slot 1
  b.CreatePalette({{1, 2, 3, 0}});  // slot 3
  b.SelectObject(0).SelectObject(1).SelectObject(2).SelectPalette(3).Eof();
  const WmfTranslation t = Translate(b);
  EXPECT_FALSE(t.damaged) << t.problem;
  EmfHeader header;
  const std::vector<Rec> r = Records(t.emf, &header);
  // Enhanced handles are the slots + 1; region slots aside, the tables stay in step.
  EXPECT_EQ(Handles(r, EMR_CREATEPEN), (std::vector<DWORD>{1, 2}));
  EXPECT_EQ(Handles(r, EMR_CREATEBRUSHINDIRECT), (std::vector<DWORD>{2, 1}));
  EXPECT_EQ(Handles(r, EMR_EXTCREATEFONTINDIRECTW), (std::vector<DWORD>{3}));
  EXPECT_EQ(Handles(r, EMR_DELETEOBJECT), (std::vector<DWORD>{2, 1}));
  EXPECT_EQ(Handles(r, EMR_SELECTOBJECT), (std::vector<DWORD>{1, 2, 3}));
  EXPECT_EQ(Handles(r, EMR_SELECTPALETTE), (std::vector<DWORD>{4}));
  EXPECT_EQ(header.fields.nHandles, 5);
  for (const Rec& rec : r) {
    if (rec.type != EMR_EXTCREATEFONTINDIRECTW) continue;
    const LOGFONTW f = rec.As<EMREXTCREATEFONTINDIRECTW>().elfw;
    EXPECT_EQ(f.lfHeight, 20);
    EXPECT_EQ(std::u16string(f.lfFaceName), u"Arial");
  }
}

TEST(WmfTranslator, FrameFromThePictureThePlaceableHeaderOrTheWindow) {
  WmfBuilder b;
  b.SetMapMode(MM_ANISOTROPIC).SetWindowOrg(10, 20).SetWindowExt(960, 480).Rectangle({0, 0, 9, 9});
  b.Eof();
  const std::vector<BYTE> bits = b.Bytes();
  const auto frameOf = [&](const METAFILEPICT* picture, const WmfPlaceable* placeable) {
    const WmfTranslation t = TranslateWinMetaFile(bits.data(), bits.size(), picture, placeable);
    EmfHeader h;
    EXPECT_EQ(ReadEmfHeader(t.emf.data(), t.emf.size(), h), EmfHeaderStatus::kOk);
    return h.fields.rclFrame;
  };
  const METAFILEPICT picture{MM_ANISOTROPIC, 5000, 7000, 0};
  WmfPlaceable placeable;
  placeable.right = 1440;
  placeable.bottom = 720;
  placeable.inch = 1440;
  EXPECT_EQ(frameOf(&picture, &placeable).right, 5000);
  EXPECT_EQ(frameOf(&picture, &placeable).bottom, 7000);
  EXPECT_EQ(frameOf(nullptr, &placeable).right, 2540);  // one inch
  EXPECT_EQ(frameOf(nullptr, &placeable).bottom, 1270);
  // Window units taken as 96 dpi pixels: 10 x 5 inches.
  EXPECT_EQ(frameOf(nullptr, nullptr).right, 25400);
  EXPECT_EQ(frameOf(nullptr, nullptr).bottom, 12700);
  // A fixed map mode in the picture gives no frame.
  const METAFILEPICT text{MM_TEXT, 5000, 7000, 0};
  EXPECT_EQ(frameOf(&text, nullptr).right, 25400);

  // The placeable header may also stand in front of the bits themselves.
  WmfBuilder placed;
  placed.SetPlaceable({0, 0, 720, 360}, 1440).Rectangle({0, 0, 9, 9}).Eof();
  const std::vector<BYTE> withHeader = placed.Bytes();
  const WmfTranslation t = TranslateWinMetaFile(withHeader.data(), withHeader.size(), nullptr);
  EmfHeader h;
  ASSERT_EQ(ReadEmfHeader(t.emf.data(), t.emf.size(), h), EmfHeaderStatus::kOk);
  EXPECT_EQ(h.fields.rclFrame.right, 1270);
  EXPECT_EQ(h.fields.rclFrame.bottom, 635);
}

TEST(WmfTranslator, CommentsBecomeGdiCommentsAndOtherEscapesAreDropped) {
  WmfBuilder b;
  b.Comment({'h', 'e', 'l', 'l', 'o'}).Escape(1, {1, 2, 3, 4}).Eof();
  const WmfTranslation t = Translate(b);
  EXPECT_FALSE(t.damaged);
  std::vector<std::string> comments;
  for (const Rec& r : Records(t.emf)) {
    if (r.type != EMR_GDICOMMENT) continue;
    const DWORD n = r.As<EMRGDICOMMENT>().cbData;
    comments.emplace_back(r.bytes.begin() + sizeof(EMRGDICOMMENT),
                          r.bytes.begin() + sizeof(EMRGDICOMMENT) + n);
  }
  EXPECT_EQ(comments, (std::vector<std::string>{"hello"}));
}

TEST(WmfTranslator, AnEnhancedMetafileInCommentsIsTakenAsItIs) {
  EmfBuilder emf;
  emf.Rectangle({1, 2, 30, 40}).Ellipse({5, 5, 20, 20}).Eof();
  const std::vector<BYTE> inner = emf.Bytes();
  WmfBuilder b;
  b.EmbedEmf(inner, 64).Rectangle({0, 0, 9, 9}).Eof();
  const WmfTranslation t = Translate(b);
  EXPECT_TRUE(t.embedded);
  EXPECT_EQ(t.emf, inner);

  // Comments that hold no whole enhanced metafile: the records are translated instead.
  WmfBuilder broken;
  broken.EmbedEmf(std::vector<BYTE>(inner.begin(), inner.begin() + 64), 64);
  broken.Rectangle({0, 0, 9, 9}).Eof();
  const WmfTranslation fallback = Translate(broken);
  EXPECT_FALSE(fallback.embedded);
  EXPECT_EQ(Handles(Records(fallback.emf), EMR_RECTANGLE).size(), 1u);
}

// Damage ends the translation (or skips the record) and is reported; what came before stays.
TEST(WmfTranslator, DamageIsReportedAndTheDrawingBeforeItKept) {
  struct Case {
    const char* name;
    std::function<void(WmfBuilder&)> damage;
    const char* problem;
  };
  const Case cases[] = {
      {"cut short", [](WmfBuilder&) {}, "ends without an end record"},
      {"a 0-word record",
       [](WmfBuilder& b) {
         b.AppendBytes({0, 0, 0, 0, 0x1B, 4});
       },
       "under 3 words"},
      {"past the data",
       [](WmfBuilder& b) {
         b.AppendBytes({50, 0, 0, 0, 0x1B, 4, 1, 0});
       },
       "runs past the data"},
      {"points past the record",
       [](WmfBuilder& b) {
         b.Record(META_POLYLINE, {40, 1, 2});
       },
       "point count past the record"},
      {"polygons past the record",
       [](WmfBuilder& b) {
         b.Record(META_POLYPOLYGON, {3, 2});
       },
       "polygon count"},
      {"text past the record",
       [](WmfBuilder& b) {
         b.Record(META_TEXTOUT, {200, 0x4141});
       },
       "text length"},
      {"escape past the record",
       [](WmfBuilder& b) {
         b.Record(META_ESCAPE, {15, 100, 1});
       },
       "byte count"},
      {"an unknown slot", [](WmfBuilder& b) { b.SelectObject(7); }, "holds no object"},
      {"a free slot deleted", [](WmfBuilder& b) { b.DeleteObject(0).DeleteObject(0); },
       "holds no object"},
      {"a region slot filled with a pen",
       [](WmfBuilder& b) {
         b.CreateRegion({{0, 0, 5, 5}}).FillRegion(1, 0);
       },
       "no such object"},
      {"past the object table",
       [](WmfBuilder& b) { b.CreatePen(0, 1, 0).CreatePen(0, 1, 0).CreatePen(0, 1, 0); },
       "past the object table"},
      {"a bitmap past the record",
       [](WmfBuilder& b) {
         b.Record(META_STRETCHDIB, {0, 0xCC, 0});
       },
       "bitmap past the record"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WmfBuilder b;
    b.SetObjects(2);
    b.CreatePen(0, 1, 0).Rectangle({1, 1, 9, 9});
    c.damage(b);
    if (std::string(c.name) != "cut short") b.Eof();
    const WmfTranslation t = Translate(b);
    EXPECT_TRUE(t.damaged);
    EXPECT_NE(t.problem.find(c.problem), std::string::npos) << t.problem;
    EXPECT_EQ(t.problem.rfind("record at byte ", 0), 0u) << t.problem;
    EXPECT_EQ(Handles(Records(t.emf), EMR_RECTANGLE).size(), 1u);
  }
  WmfBuilder clean;
  clean.CreatePen(0, 1, 0).Rectangle({1, 1, 9, 9}).Eof();
  EXPECT_FALSE(Translate(clean).damaged);
}

TEST(WmfTranslator, OutputStaysWithinItsLimit) {
  // A large region filled over and over: each small fill record repeats the whole region.
  std::vector<RECTL> rects;
  for (LONG i = 0; i < 2000; ++i) rects.push_back({0, 2 * i, 10, 2 * i + 1});
  WmfBuilder hostile;
  hostile.CreateBrush(0, 0).CreateRegion(rects);
  for (int i = 0; i < 5000; ++i) hostile.FillRegion(1, 0);
  hostile.Eof();
  const std::vector<BYTE> bits = hostile.Bytes();
  const WmfTranslation t = TranslateWinMetaFile(bits.data(), bits.size(), nullptr);
  EXPECT_TRUE(t.damaged);
  EXPECT_NE(t.problem.find("output limit"), std::string::npos) << t.problem;
  EXPECT_LE(t.emf.size(), bits.size() * kWmfOutputFactor + kWmfOutputSlack);
  Records(t.emf);

  // Ordinary records grow far less: many one-letter texts and blits.
  WmfBuilder busy;
  for (int i = 0; i < 20000; ++i) busy.TextOut(i % 100, i % 50, "a").PatBlt({0, 0, 2, 2}, PATCOPY);
  busy.Eof();
  const WmfTranslation ok = Translate(busy);
  EXPECT_FALSE(ok.damaged) << ok.problem;
  EXPECT_LT(ok.emf.size(), busy.Bytes().size() * 8);
}

// The old blits' device-dependent bitmaps: rows of their own width, top down, 1 bit in black
// and white.
TEST(WmfTranslator, OldBitmapsBecomeTopDownDibs) {
  WmfBuilder b;
  // Raster operation, source y, x, height, width, y, x; then type, width 3, height 2, 2 bytes
  // a row, 1 plane of 1 bit, and the rows.
  std::vector<WORD> p = Words32(SRCCOPY);
  for (int w : {0, 0, 2, 3, 10, 20, 0, 3, 2, 2, 0x0101, 0x00A0, 0x0040})
    p.push_back(static_cast<WORD>(w));
  b.Record(META_BITBLT, p).Eof();
  const WmfTranslation t = Translate(b);
  EXPECT_FALSE(t.damaged) << t.problem;
  int blits = 0;
  for (const Rec& r : Records(t.emf)) {
    if (r.type != EMR_STRETCHDIBITS) continue;
    ++blits;
    const EMRSTRETCHDIBITS f = r.As<EMRSTRETCHDIBITS>();
    EXPECT_EQ(f.xDest, 20);
    EXPECT_EQ(f.yDest, 10);
    EXPECT_EQ(f.cxDest, 3);
    EXPECT_EQ(f.cyDest, 2);
    EmfDib dib;
    ASSERT_EQ(
        ReadDib(EmfRecord(r.bytes.data(), static_cast<DWORD>(r.bytes.size())), DibSourceOf(f), dib),
        DibStatus::kOk);
    EXPECT_EQ(dib.Width(), 3);
    EXPECT_TRUE(dib.TopDown());
    EXPECT_EQ(dib.Header().biBitCount, 1);
    EXPECT_EQ(dib.Color(1).rgbRed, 255);
    EXPECT_EQ(dib.Bits()[0], 0xA0);  // the first row, padded to 4 bytes
    EXPECT_EQ(dib.Bits()[4], 0x40);
  }
  EXPECT_EQ(blits, 1);
}

TEST(WmfTranslator, NoOldStyleMetafileGivesNothing) {
  const std::vector<BYTE> junk = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  EXPECT_TRUE(TranslateWinMetaFile(junk.data(), junk.size(), nullptr).emf.empty());
  EXPECT_TRUE(TranslateWinMetaFile(nullptr, 0, nullptr).emf.empty());
  EXPECT_EQ(SetWinMetaFileBits(static_cast<UINT>(junk.size()), junk.data(), 0, nullptr), 0u);
  WmfBuilder b;
  b.Rectangle({0, 0, 5, 5}).Eof();
  const std::vector<BYTE> bits = b.Bytes();
  const HENHMETAFILE h =
      SetWinMetaFileBits(static_cast<UINT>(bits.size()), bits.data(), 0, nullptr);
  ASSERT_NE(h, 0u);
  EXPECT_GT(GetEnhMetaFileBits(h, 0, nullptr), 0u);
  DeleteEnhMetaFile(h);
}

}  // namespace
}  // namespace vellora_test
