// The translator behind TranslateWinMetaFile: one pass over the old-style records, each turned
// into the enhanced-metafile records of the same drawing through the one EMF record writer.
// Records are dispatched by a table from function number to handler; the handlers live by
// concern in wmf_translate_*.cpp. Scratch buffers are members that only grow, so a record
// allocates nothing once the largest of its kind has been met.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "qvplatform/emf_records.h"
#include "qvplatform/emf_writer.h"
#include "qvplatform/wmf_translator.h"
#include "wmf_object_table.h"
#include "wmf_reader.h"

namespace qvplatform {
namespace metafile {

// Where the picture lies: its frame in 0.01 mm, its size on the reference device and the
// window the records start with.
struct WmfFrame {
  SIZEL dpi;       // of the reference device
  SIZEL frame;     // 0.01 mm
  SIZEL viewport;  // reference pixels
  POINTL windowOrg;
  SIZEL windowExt;
};

class WmfTranslator {
 public:
  WmfTranslator(const BYTE* data, std::size_t size, const WmfHeader& header, const WmfFrame& frame);
  void Run(WmfTranslation& out);

  using Handler = void (WmfTranslator::*)(const WmfParams&);

 private:
  // The device-context state the translation itself needs, saved and restored with the DC.
  struct DcState {
    POINTL windowOrg;
    SIZEL windowExt;
    std::int32_t charExtra = 0;
  };

  void Damage(const char* what);
  bool OverBudget() const;
  std::vector<BYTE> Finish() const;
  void Prologue();

  template <class T>
  void Emit(DWORD type, const T& fixed, const void* tail = nullptr, std::size_t tailSize = 0) {
    writer_.AppendFixed(type, fixed, tail, tailSize);
  }
  void EmitValue(DWORD type, DWORD value);
  void EmitPoint(DWORD type, LONG x, LONG y);
  void EmitSize(DWORD type, LONG cx, LONG cy);
  void EmitRect(DWORD type, const RECTL& rect);

  // Reading helpers: a rectangle stored bottom, right, top, left from word i on.
  static RECTL ReversedRect(const WmfParams& p, std::size_t i);
  // The slot of word i when it holds an object of the kind; damage (and false) otherwise.
  bool SlotOf(const WmfParams& p, std::size_t i, WmfObjectKind kind, std::size_t& slot);
  bool NewSlot(WmfObjectKind kind, std::size_t& slot);
  static DWORD Handle(std::size_t slot) { return static_cast<DWORD>(slot + 1); }

  // Regions: the rectangles of a region record (logical units) into rects_; false when the
  // record is damaged.
  bool RegionRects(const WmfParams& region);
  void FillRects(std::size_t count);  // a filled path of the first count rectangles of rects_
  void DeviceRegionData();            // rects_ as device-unit region data in tail_
  POINTL ToDevice(LONG x, LONG y) const;
  // A bitmap of a blit record: a packed DIB, or a device-dependent bitmap of the old blits,
  // split into its info block and pixels in bitmap_; false when it does not fit its record.
  bool PackedDib(std::span<const BYTE> bytes, DWORD usage);
  bool OldBitmap(const WmfParams& p, std::size_t head, std::size_t bits);
  void EmitPatternBrush(DWORD usage);
  void StretchDib(LONG xDest, LONG yDest, LONG cxDest, LONG cyDest, LONG xSrc, LONG ySrc,
                  LONG cxSrc, LONG cySrc, DWORD usage, DWORD rop);
  void BlitWithoutSource(LONG x, LONG y, LONG cx, LONG cy, DWORD rop);
  bool BlitBitmap(const WmfParams& p, bool dib, std::size_t at);
  void UnstretchedBlit(const WmfParams& p, WORD function, bool dib);
  void StretchedBlit(const WmfParams& p, WORD function, bool dib);
  void Text(LONG x, LONG y, std::span<const BYTE> text, DWORD options, const RECTL& clip,
            const WmfParams* dx, std::size_t dxWord);
  void Embedded(std::span<const BYTE> comment);

 public:
  // Handlers, one per function (wmf_translate_*.cpp).
  void SaveDC(const WmfParams& p);
  void RestoreDC(const WmfParams& p);
  void SetMapMode(const WmfParams& p);
  void SetBkMode(const WmfParams& p);
  void SetROP2(const WmfParams& p);
  void SetPolyFillMode(const WmfParams& p);
  void SetStretchBltMode(const WmfParams& p);
  void SetTextAlign(const WmfParams& p);
  void SetMapperFlags(const WmfParams& p);
  void SetLayout(const WmfParams& p);
  void SetBkColor(const WmfParams& p);
  void SetTextColor(const WmfParams& p);
  void SetTextCharExtra(const WmfParams& p);
  void SetTextJustification(const WmfParams& p);
  void SetWindowOrg(const WmfParams& p);
  void SetWindowExt(const WmfParams& p);
  void OffsetWindowOrg(const WmfParams& p);
  void ScaleWindowExt(const WmfParams& p);
  void Ignore(const WmfParams& p);

  void MoveTo(const WmfParams& p);
  void LineTo(const WmfParams& p);
  void Rectangle(const WmfParams& p);
  void Ellipse(const WmfParams& p);
  void RoundRect(const WmfParams& p);
  void Arc(const WmfParams& p);
  void Pie(const WmfParams& p);
  void Chord(const WmfParams& p);
  void SetPixel(const WmfParams& p);
  void Polygon(const WmfParams& p);
  void Polyline(const WmfParams& p);
  void PolyPolygon(const WmfParams& p);
  void FloodFill(const WmfParams& p);
  void ExtFloodFill(const WmfParams& p);
  void TextOut(const WmfParams& p);
  void ExtTextOut(const WmfParams& p);
  void Escape(const WmfParams& p);

  void CreatePen(const WmfParams& p);
  void CreateBrush(const WmfParams& p);
  void CreateFont(const WmfParams& p);
  void CreatePalette(const WmfParams& p);
  void CreateRegion(const WmfParams& p);
  void CreateDibPatternBrush(const WmfParams& p);
  void CreatePatternBrush(const WmfParams& p);
  void SelectObject(const WmfParams& p);
  void SelectPalette(const WmfParams& p);
  void DeleteObject(const WmfParams& p);
  void RealizePalette(const WmfParams& p);
  void SetPalEntries(const WmfParams& p);
  void ResizePalette(const WmfParams& p);

  void SelectClipRegion(const WmfParams& p);
  void OffsetClipRgn(const WmfParams& p);
  void ExcludeClipRect(const WmfParams& p);
  void IntersectClipRect(const WmfParams& p);
  void FillRegion(const WmfParams& p);
  void PaintRegion(const WmfParams& p);
  void FrameRegion(const WmfParams& p);
  void InvertRegion(const WmfParams& p);

  void PatBlt(const WmfParams& p);
  void BitBlt(const WmfParams& p);
  void StretchBlt(const WmfParams& p);
  void DibBitBlt(const WmfParams& p);
  void DibStretchBlt(const WmfParams& p);
  void StretchDibRecord(const WmfParams& p);
  void SetDibToDev(const WmfParams& p);

 private:
  const BYTE* data_;
  std::size_t size_;
  WmfHeader header_;
  WmfFrame frame_;
  EmfRecordWriter writer_;
  WmfObjectTable objects_;
  std::size_t selectedPalette_ = SIZE_MAX;
  DcState state_;
  std::vector<DcState> saved_;
  const WmfRecord* record_ = nullptr;  // the record being translated
  WmfTranslation* out_ = nullptr;

  // Scratch, grown and kept.
  std::vector<RECTL> rects_;
  std::vector<BYTE> tail_;
  std::vector<BYTE> bitmap_;
  std::size_t bitmapInfoSize_ = 0;
  std::vector<BYTE> embedded_;
  bool embeddedBroken_ = false;
};

}  // namespace metafile
}  // namespace qvplatform
