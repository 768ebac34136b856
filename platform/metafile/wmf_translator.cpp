// The walk over the records, the dispatch table, the frame, the output budget and the header.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "metafile_object.h"
#include "qvplatform/emf_reader.h"
#include "wmf_translator_impl.h"

namespace qvplatform {
namespace metafile {
namespace {

using T = WmfTranslator;

struct Entry {
  WORD function;
  T::Handler handler;
};

constexpr Entry kEntries[] = {
    {META_SAVEDC, &T::SaveDC},
    {META_RESTOREDC, &T::RestoreDC},
    {META_SETMAPMODE, &T::SetMapMode},
    {META_SETBKMODE, &T::SetBkMode},
    {META_SETROP2, &T::SetROP2},
    {META_SETRELABS, &T::Ignore},
    {META_SETPOLYFILLMODE, &T::SetPolyFillMode},
    {META_SETSTRETCHBLTMODE, &T::SetStretchBltMode},
    {META_SETTEXTALIGN, &T::SetTextAlign},
    {META_SETMAPPERFLAGS, &T::SetMapperFlags},
    {META_SETLAYOUT, &T::SetLayout},
    {META_SETBKCOLOR, &T::SetBkColor},
    {META_SETTEXTCOLOR, &T::SetTextColor},
    {META_SETTEXTCHAREXTRA, &T::SetTextCharExtra},
    {META_SETTEXTJUSTIFICATION, &T::SetTextJustification},
    {META_SETWINDOWORG, &T::SetWindowOrg},
    {META_SETWINDOWEXT, &T::SetWindowExt},
    {META_OFFSETWINDOWORG, &T::OffsetWindowOrg},
    {META_SCALEWINDOWEXT, &T::ScaleWindowExt},
    // The frame owns the viewport.
    {META_SETVIEWPORTORG, &T::Ignore},
    {META_SETVIEWPORTEXT, &T::Ignore},
    {META_OFFSETVIEWPORTORG, &T::Ignore},
    {META_SCALEVIEWPORTEXT, &T::Ignore},
    {META_MOVETO, &T::MoveTo},
    {META_LINETO, &T::LineTo},
    {META_RECTANGLE, &T::Rectangle},
    {META_ELLIPSE, &T::Ellipse},
    {META_ROUNDRECT, &T::RoundRect},
    {META_ARC, &T::Arc},
    {META_PIE, &T::Pie},
    {META_CHORD, &T::Chord},
    {META_SETPIXEL, &T::SetPixel},
    {META_POLYGON, &T::Polygon},
    {META_POLYLINE, &T::Polyline},
    {META_POLYPOLYGON, &T::PolyPolygon},
    {META_FLOODFILL, &T::FloodFill},
    {META_EXTFLOODFILL, &T::ExtFloodFill},
    {META_TEXTOUT, &T::TextOut},
    {META_EXTTEXTOUT, &T::ExtTextOut},
    {META_ESCAPE, &T::Escape},
    {META_CREATEPENINDIRECT, &T::CreatePen},
    {META_CREATEBRUSHINDIRECT, &T::CreateBrush},
    {META_CREATEFONTINDIRECT, &T::CreateFont},
    {META_CREATEPALETTE, &T::CreatePalette},
    {META_CREATEREGION, &T::CreateRegion},
    {META_DIBCREATEPATTERNBRUSH, &T::CreateDibPatternBrush},
    {META_CREATEPATTERNBRUSH, &T::CreatePatternBrush},
    {META_SELECTOBJECT, &T::SelectObject},
    {META_SELECTPALETTE, &T::SelectPalette},
    {META_DELETEOBJECT, &T::DeleteObject},
    {META_REALIZEPALETTE, &T::RealizePalette},
    {META_SETPALENTRIES, &T::SetPalEntries},
    {META_ANIMATEPALETTE, &T::SetPalEntries},
    {META_RESIZEPALETTE, &T::ResizePalette},
    {META_SELECTCLIPREGION, &T::SelectClipRegion},
    {META_OFFSETCLIPRGN, &T::OffsetClipRgn},
    {META_EXCLUDECLIPRECT, &T::ExcludeClipRect},
    {META_INTERSECTCLIPRECT, &T::IntersectClipRect},
    {META_FILLREGION, &T::FillRegion},
    {META_PAINTREGION, &T::PaintRegion},
    {META_FRAMEREGION, &T::FrameRegion},
    {META_INVERTREGION, &T::InvertRegion},
    {META_PATBLT, &T::PatBlt},
    {META_BITBLT, &T::BitBlt},
    {META_STRETCHBLT, &T::StretchBlt},
    {META_DIBBITBLT, &T::DibBitBlt},
    {META_DIBSTRETCHBLT, &T::DibStretchBlt},
    {META_STRETCHDIB, &T::StretchDibRecord},
    {META_SETDIBTODEV, &T::SetDibToDev},
};

// The low byte of a function number names it; the entry holds the whole number, which a
// record must match.
using Table = std::array<Entry, 256>;
constexpr Table MakeTable() {
  Table table{};
  for (const Entry& e : kEntries) {
    // Two functions with one low byte would not compile: a throw is no constant expression.
    if (table[e.function & 0xFF].handler != nullptr) throw "two functions share a low byte";
    table[e.function & 0xFF] = e;
  }
  return table;
}
constexpr Table kTable = MakeTable();

constexpr LONG kDefaultWindow = 1000;  // a picture that gives no size at all

LONG PixelsOf(LONG hundredthsOfMm, LONG dpi) {
  const double pixels = std::round(double(hundredthsOfMm) * dpi / 2540.0);
  return static_cast<LONG>(std::clamp(pixels, 1.0, double(0x7FFFFFF)));
}
LONG HundredthsOf(std::int64_t units, std::int64_t perInch) {
  const double value = std::round(double(units) * 2540.0 / double(perInch));
  return static_cast<LONG>(std::clamp(std::fabs(value), 1.0, double(0x7FFFFFF)));
}

// The first window origin and extent the records set, if any.
void FirstWindow(const BYTE* data, std::size_t size, std::size_t start, POINTL& org, SIZEL& ext,
                 bool& hasExt) {
  WmfRecordWalk walk(data, size, start);
  WmfRecord r;
  bool hasOrg = false;
  while ((!hasOrg || !hasExt) && walk.Next(r) == WmfNext::kRecord) {
    if (r.function == META_SETWINDOWORG && !hasOrg && r.params.Has(2)) {
      org = {r.params.Short(1), r.params.Short(0)};
      hasOrg = true;
    } else if (r.function == META_SETWINDOWEXT && !hasExt && r.params.Has(2)) {
      ext = {r.params.Short(1), r.params.Short(0)};
      hasExt = ext.cx != 0 && ext.cy != 0;
    }
  }
}

WmfFrame FrameFor(const BYTE* data, std::size_t size, std::size_t start,
                  const METAFILEPICT* picture, const WmfPlaceable* placeable, SIZEL dpi) {
  WmfFrame f;
  f.dpi = dpi;
  bool hasExt = false;
  FirstWindow(data, size, start, f.windowOrg, f.windowExt, hasExt);
  const bool placed = placeable != nullptr && placeable->inch != 0 &&
                      placeable->right != placeable->left && placeable->bottom != placeable->top;
  if (placed) {
    f.windowOrg = {placeable->left, placeable->top};
    f.windowExt = {placeable->right - placeable->left, placeable->bottom - placeable->top};
    hasExt = true;
  }
  if (picture != nullptr && (picture->mm == MM_ANISOTROPIC || picture->mm == MM_ISOTROPIC) &&
      picture->xExt > 0 && picture->yExt > 0) {
    f.frame = {picture->xExt, picture->yExt};
  } else if (placed) {
    f.frame = {HundredthsOf(f.windowExt.cx, placeable->inch),
               HundredthsOf(f.windowExt.cy, placeable->inch)};
  } else {
    if (!hasExt) f.windowExt = {kDefaultWindow, kDefaultWindow};
    f.frame = {HundredthsOf(f.windowExt.cx, dpi.cx), HundredthsOf(f.windowExt.cy, dpi.cy)};
  }
  f.viewport = {PixelsOf(f.frame.cx, dpi.cx), PixelsOf(f.frame.cy, dpi.cy)};
  // Without a window of its own the picture is drawn in reference pixels.
  if (!hasExt) f.windowExt = f.viewport;
  return f;
}

}  // namespace

WmfTranslator::WmfTranslator(const BYTE* data, std::size_t size, const WmfHeader& header,
                             const WmfFrame& frame)
    : data_(data), size_(size), header_(header), frame_(frame) {
  objects_.Reset(header.objects);
  state_.windowOrg = frame.windowOrg;
  state_.windowExt = frame.windowExt;
}

void WmfTranslator::Damage(const char* what) {
  out_->damaged = true;
  if (!out_->problem.empty()) return;
  const std::size_t at = record_ != nullptr ? record_->offset : 0;
  out_->problem = "record at byte " + std::to_string(at) + ": " + what;
}

bool WmfTranslator::OverBudget() const {
  // Also within what a metafile handle may hold.
  const std::uint64_t limit = std::min<std::uint64_t>(
      std::uint64_t{size_} * kWmfOutputFactor + kWmfOutputSlack, kMaxMetafileBytes / 2);
  return writer_.Body().size() > limit;
}

void WmfTranslator::EmitValue(DWORD type, DWORD value) { Emit(type, EMRSETMAPMODE{{}, value}); }
void WmfTranslator::EmitPoint(DWORD type, LONG x, LONG y) {
  Emit(type, EMRSETWINDOWORGEX{{}, POINTL{x, y}});
}
void WmfTranslator::EmitSize(DWORD type, LONG cx, LONG cy) {
  Emit(type, EMRSETWINDOWEXTEX{{}, SIZEL{cx, cy}});
}
void WmfTranslator::EmitRect(DWORD type, const RECTL& rect) { Emit(type, EMRELLIPSE{{}, rect}); }

RECTL WmfTranslator::ReversedRect(const WmfParams& p, std::size_t i) {
  return RECTL{p.Short(i + 3), p.Short(i + 2), p.Short(i + 1), p.Short(i)};
}

void WmfTranslator::Prologue() {
  EmitValue(EMR_SETMAPMODE, MM_ANISOTROPIC);
  EmitPoint(EMR_SETWINDOWORGEX, frame_.windowOrg.x, frame_.windowOrg.y);
  EmitSize(EMR_SETWINDOWEXTEX, frame_.windowExt.cx, frame_.windowExt.cy);
  EmitPoint(EMR_SETVIEWPORTORGEX, 0, 0);
  EmitSize(EMR_SETVIEWPORTEXTEX, frame_.viewport.cx, frame_.viewport.cy);
}

void WmfTranslator::Run(WmfTranslation& out) {
  out_ = &out;
  Prologue();
  WmfRecordWalk walk(data_, size_, std::size_t{header_.headerWords} * 2);
  WmfRecord record;
  record_ = &record;
  for (;;) {
    const WmfNext next = walk.Next(record);
    if (next == WmfNext::kEnd) break;
    if (next != WmfNext::kRecord) {
      record.offset = walk.Offset();
      Damage(next == WmfNext::kCutShort   ? "the data ends without an end record"
             : next == WmfNext::kTooSmall ? "a record under 3 words"
                                          : "a record runs past the data");
      break;
    }
    const Entry& entry = kTable[record.function & 0xFF];
    if (entry.handler == nullptr || entry.function != record.function) continue;
    const EmfRecordWriter::Mark mark = writer_.Position();
    (this->*entry.handler)(record.params);
    if (OverBudget()) {
      writer_.Rewind(mark);
      Damage("the translation would pass its output limit");
      break;
    }
  }
  record_ = nullptr;

  EmfHeader check;
  if (!embeddedBroken_ && !embedded_.empty() &&
      ReadEmfHeader(embedded_.data(), embedded_.size(), check) == EmfHeaderStatus::kOk) {
    out.emf = std::move(embedded_);
    out.embedded = true;
    return;
  }
  out.emf = Finish();
}

std::vector<BYTE> WmfTranslator::Finish() const {
  const DWORD eofSize = sizeof(EMREOF) + sizeof(DWORD);
  ENHMETAHEADER h;
  h.iType = EMR_HEADER;
  h.rclBounds = {0, 0, frame_.viewport.cx - 1, frame_.viewport.cy - 1};
  h.rclFrame = {0, 0, frame_.frame.cx, frame_.frame.cy};
  h.dSignature = ENHMETA_SIGNATURE;
  h.nVersion = 0x10000;
  h.nSize = EmfHeaderRecordSize(kEmfHeaderExtension2Size, 0);
  h.nBytes = static_cast<DWORD>(h.nSize + writer_.Body().size() + eofSize);
  h.nRecords = writer_.RecordCount() + 2;
  h.nHandles = static_cast<WORD>(std::min<std::size_t>(objects_.SlotsUsed() + 1, 0xFFFF));
  // Ten inches of the reference device: its resolution exactly.
  h.szlDevice = {frame_.dpi.cx * 10, frame_.dpi.cy * 10};
  h.szlMillimeters = {254, 254};
  h.szlMicrometers = {254000, 254000};
  std::vector<BYTE> out = EmfHeaderRecord(h, kEmfHeaderExtension2Size);
  out.insert(out.end(), writer_.Body().begin(), writer_.Body().end());
  const EMREOF eof{{EMR_EOF, eofSize}, 0, sizeof(EMREOF)};
  const auto* e = reinterpret_cast<const BYTE*>(&eof);
  out.insert(out.end(), e, e + sizeof eof);
  const BYTE last[4] = {BYTE(eofSize), 0, 0, 0};
  out.insert(out.end(), last, last + 4);
  return out;
}

// ---- Escapes ----

void WmfTranslator::Escape(const WmfParams& p) {
  if (!p.Has(2)) return Damage("an escape without its head");
  const std::span<const BYTE> data = p.Bytes(2, p.Word(1));
  if (data.size() != p.Word(1)) return Damage("an escape's byte count runs past the record");
  if (p.Word(0) != MFCOMMENT) return;
  if (data.size() >= 4 && LeDword(data.data()) == kWmfEmbeddedEmfKey) return Embedded(data);
  tail_.assign(data.begin(), data.end());
  Emit(EMR_GDICOMMENT, EMRGDICOMMENT{{}, static_cast<DWORD>(data.size())}, tail_.data(),
       tail_.size());
}

// One piece of an enhanced metafile carried in comments: the pieces follow one another, each
// saying how many bytes it holds and how many are still to come.
void WmfTranslator::Embedded(std::span<const BYTE> comment) {
  if (embeddedBroken_) return;
  if (comment.size() < kWmfEmbeddedEmfHeadBytes) {
    embeddedBroken_ = true;
    return;
  }
  const BYTE* c = comment.data();
  const DWORD type = LeDword(c + 4);
  const DWORD current = LeDword(c + 22);
  const DWORD remaining = LeDword(c + 26);
  const DWORD total = LeDword(c + 30);
  const std::uint64_t have = embedded_.size();
  if (type != 1 || current > comment.size() - kWmfEmbeddedEmfHeadBytes ||
      have + current + remaining != total || total > size_) {
    embeddedBroken_ = true;
    embedded_.clear();
    return;
  }
  if (have == 0) embedded_.reserve(total);
  embedded_.insert(embedded_.end(), c + kWmfEmbeddedEmfHeadBytes,
                   c + kWmfEmbeddedEmfHeadBytes + current);
  // Complete once nothing remains; a further piece past that breaks the sequence.
  if (remaining == 0 && embedded_.size() != total) embeddedBroken_ = true;
}

// ---- Entry points ----

WmfTranslation TranslateOldStyle(const BYTE* bits, std::size_t size, const METAFILEPICT* picture,
                                 const WmfPlaceable* placeable, SIZEL dpi) {
  WmfTranslation out;
  if (bits == nullptr || size == 0 || size > kMaxMetafileBytes) return out;
  // Resolutions no device has fall back to the usual one.
  const auto usable = [](LONG v) { return v >= 1 && v <= 100000 ? v : kWmfReferenceDpi; };
  dpi = {usable(dpi.cx), usable(dpi.cy)};
  MetaFileObject object;
  if (ReadOldStyleMetafile(bits, size, object) != MetafileStatus::kOk) return out;
  if (object.hasPlaceable && placeable == nullptr) placeable = &object.placeable;
  const BYTE* data = object.hasPlaceable ? bits + (size - object.bits.size()) : bits;
  size = object.bits.size();
  WmfHeader header;
  ReadWmfHeader(data, size, header);
  const WmfFrame frame =
      FrameFor(data, size, std::size_t{header.headerWords} * 2, picture, placeable, dpi);
  WmfTranslator(data, size, header, frame).Run(out);
  return out;
}

}  // namespace metafile

WmfTranslation TranslateWinMetaFile(const BYTE* bits, std::size_t size, const METAFILEPICT* picture,
                                    const WmfPlaceable* placeable, SIZEL referenceDpi) {
  return metafile::TranslateOldStyle(bits, size, picture, placeable, referenceDpi);
}

WinMetaFileResult SetWinMetaFileBitsEx(UINT size, const BYTE* bits, const METAFILEPICT* picture,
                                       const WmfPlaceable* placeable, SIZEL referenceDpi) {
  WinMetaFileResult result;
  WmfTranslation t = TranslateWinMetaFile(bits, size, picture, placeable, referenceDpi);
  result.damaged = t.damaged;
  result.problem = std::move(t.problem);
  if (t.emf.empty()) return result;
  result.handle = SetEnhMetaFileBits(static_cast<UINT>(t.emf.size()), t.emf.data());
  return result;
}

HENHMETAFILE SetWinMetaFileBits(UINT size, const BYTE* bits, HANDLE32 referenceDC,
                                const METAFILEPICT* picture) {
  (void)referenceDC;
  return SetWinMetaFileBitsEx(size, bits, picture).handle;
}

}  // namespace qvplatform
