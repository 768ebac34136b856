// TMetafileCanvas: a recording device context. Every call appends the matching enhanced-
// metafile record (the layouts of emf_records.h); closing the canvas (Close or the destructor)
// adds the end record and the header and hands the bytes to its TMetafile.
//
// The reference device is the page: its size in pixels and its resolution, which
// GetDeviceCaps reports (LOGPIXELSX/Y, HORZRES/VERTRES, HORZSIZE/VERTSIZE). Logical units are
// device pixels (MM_TEXT). Pens, brushes and fonts go as the host library's canvas handles
// them: setting one creates the object in a free slot of the metafile's object table, selects
// it, and deletes the one it replaces (kept while a saved state might restore it). Text is
// recorded with the advances the font service gives the font, so players place each character
// where the page was measured.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "qvplatform/emf_writer.h"
#include "qvplatform/font_types.h"
#include "qvplatform/metafile_class.h"

namespace qvplatform {

constexpr UINT PS_SOLID = 0;
constexpr UINT PS_NULL = 5;
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr DWORD TRANSPARENT = 1;
constexpr DWORD OPAQUE = 2;

class TMetafileCanvas {
 public:
  // Records into target for a page of width x height pixels at xRes x yRes pixels per inch
  // (values below 1 are taken as 1 and 72).
  TMetafileCanvas(TMetafile& target, LONG width, LONG height, LONG xRes, LONG yRes);
  ~TMetafileCanvas();
  TMetafileCanvas(const TMetafileCanvas&) = delete;
  TMetafileCanvas& operator=(const TMetafileCanvas&) = delete;

  // Finishes the recording and hands it to the metafile; later calls record nothing.
  void Close();
  bool Closed() const { return closed_; }
  int GetDeviceCaps(int index) const;

  void SaveDC();
  void RestoreDC(LONG relative);
  void SetPen(UINT style, LONG width, COLORREF color);
  void SetBrush(UINT style, COLORREF color, DWORD hatch = 0);
  void SetFont(const LOGFONTW& font);
  void SetTextColor(COLORREF color);
  void SetBkColor(COLORREF color);
  void SetBkMode(DWORD mode);
  void SetTextAlign(UINT align);

  void MoveTo(LONG x, LONG y);
  void LineTo(LONG x, LONG y);
  void Polyline(const std::vector<POINTL>& points);
  void Polygon(const std::vector<POINTL>& points);
  void Rectangle(RECTL box);
  void Ellipse(RECTL box);
  void IntersectClipRect(RECTL clip);
  void ExcludeClipRect(RECTL clip);

  // The text at (x, y) in the current font; dx null takes the font's advances.
  void ExtTextOutW(LONG x, LONG y, UINT options, const RECTL* clip, std::u16string_view text,
                   const INT* dx = nullptr);
  // A device-independent bitmap (its BITMAPINFO block and its pixels) stretched from the
  // source rectangle to the destination.
  void StretchDIBits(RECTL dest, RECTL source, const void* info, std::size_t infoSize,
                     const void* bits, std::size_t bitsSize, DWORD usage, DWORD rop);
  void GdiComment(const void* data, std::size_t size);

 private:
  HDC MeasureDC();
  DWORD NewObjectSlot();
  void ReplaceSelected(DWORD& selected, DWORD slot);
  void AddBounds(RECTL box);
  void AddPointBounds(const std::vector<POINTL>& points);
  template <class T>
  void Record(DWORD type, const T& fixed, const void* tail = nullptr, std::size_t tailSize = 0);

  TMetafile& target_;
  EmfRecordWriter writer_;
  LONG width_, height_, xRes_, yRes_;
  std::vector<bool> slotsInUse_{true};  // slot 0 is reserved
  std::vector<DWORD> kept_;             // replaced while a saved state may need them
  DWORD pen_ = 0, brush_ = 0, font_ = 0;
  int savedLevels_ = 0;
  HDC measure_ = 0;  // a screen DC holding the current font, for text advances
  HFONT measureFont_ = 0;
  RECTL bounds_{0, 0, -1, -1};
  std::vector<BYTE> scratch_;  // variable parts of a record, reused from call to call
  std::vector<INT> advances_;
  bool closed_ = false;
};

}  // namespace qvplatform
