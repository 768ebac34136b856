// The record loop of the enhanced-metafile player (slot 1 of TQVGenericDevice): one
// TQVMetafilePlayer lives for one PlayMetafile call, walks the records after the header and
// turns each into a state change, an object-table change or a drawing call of the device.
//
// Every count, offset and length inside a record is checked against the record (in 64-bit
// arithmetic, through the platform's EMF reader) before anything is read; arrays reach the
// device as aligned copies in buffers that grow geometrically and are reused for every record.
// A record whose contents do not fit is skipped and marks the metafile as damaged; a record
// that cannot be walked over (size below 8, not a multiple of 4, beyond the data) stops the
// loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "QVGenDC/generic_device.h"
#include "qvplatform/emf_buffer.h"
#include "qvplatform/emf_dib.h"
#include "qvplatform/emf_reader.h"

namespace vellora {

// Raised for data that is not an enhanced metafile (also: empty, header beyond the data).
class EQVMetafileError : public std::runtime_error {
 public:
  explicit EQVMetafileError(const std::string& message) : std::runtime_error(message) {}
};

inline constexpr const char* kNotAnEnhancedMetafile = "This is not an enhanced metafile";

// The colour usage that marks a bitmap taken from a blit record (or made by the player).
constexpr std::uint32_t kBlitColorUsage = 777;

// The colour at position between low (a) and high (b), per channel; rounding halves to even.
qvplatform::COLORREF InterpolateColor(qvplatform::COLORREF a, qvplatform::COLORREF b,
                                      std::int32_t position, std::int32_t low, std::int32_t high);

// Writes the metafile to directory + "/meta" + counter + ".EMF" after raising the device's
// dump counter; creates the directory path. Failures are ignored (a diagnostic aid).
void DumpMetafile(TQVGenericDevice& device, const std::uint8_t* bits, std::size_t size);

class TQVMetafilePlayer {
 public:
  using BYTE = qvplatform::BYTE;
  using DWORD = qvplatform::DWORD;
  using EmfRecord = qvplatform::EmfRecord;

  TQVMetafilePlayer(TQVGenericDevice& device, const BYTE* data, std::size_t size,
                    const qvplatform::EmfHeader& header);

  // Plays the records after the header until EMR_EOF, the header's record count, the
  // device's abort flag or a record that cannot be walked over.
  void PlayRecords();

 private:
  // One record, through the table of record types to handlers (metafile_dispatch.cpp).
  struct RecordHandlers;
  void Dispatch(const EmfRecord& record);
  // The fixed part of a record; false (and the metafile marked damaged) when it is shorter.
  template <class T>
  bool Fixed(const EmfRecord& record, T& out) {
    if (record.Read(out)) return true;
    Damaged();
    return false;
  }

  // Handles (metafile_dispatch.cpp).
  std::int32_t LookupHandle(DWORD handle) const;
  // True when handle has a slot in the map; otherwise the record is damaged.
  bool CanStore(DWORD handle);
  void StoreHandle(DWORD handle, std::int32_t index) { handles_[handle] = index; }
  void DeleteHandle(DWORD handle);

  // Points and text (metafile_shapes.cpp). Points are copied (or widened) into the point
  // buffer.
  const qvplatform::POINTL* CopyPoints(const qvplatform::EmfArray<qvplatform::POINTL>& points);
  const qvplatform::POINTL* CopyPoints(const qvplatform::EmfArray<qvplatform::POINTS>& points);
  template <class Point>
  void PlayPoly(const EmfRecord& record);
  template <class Point>
  void PlayPolyPoly(const EmfRecord& record);
  void PlayPolyDraw(const EmfRecord& record);
  void PlayText(const EmfRecord& record);

  // Clip records (metafile_clip.cpp).
  void PlayClipRegion(const EmfRecord& record);
  void PlayIntersectClip(const EmfRecord& record);

  // Bitmaps (metafile_bitmaps.cpp). ReadBitmap marks the metafile damaged for a bitmap that
  // is there but does not fit or cannot be drawn.
  qvplatform::DibStatus ReadBitmap(const EmfRecord& record, const qvplatform::EmfDibSource& source,
                                   qvplatform::EmfDib& dib);
  void PlayBitBlt(const EmfRecord& record);
  void PlayStretchBlt(const EmfRecord& record);
  void PlayStretchDIBits(const EmfRecord& record);
  void PlayAlphaBlend(const EmfRecord& record);
  void PlayTransparentBlt(const EmfRecord& record);
  void PlayPatternBrush(const EmfRecord& record);
  // StretchDIBits with colour usage 777 and source origin 0, 0; exceptions are swallowed.
  void BlitBitmap(const qvplatform::EmfDib& dib, const qvplatform::EMRSTRETCHBLT& r,
                  std::int32_t srcWidth, std::int32_t srcHeight);

  // Gradient fill (metafile_gradient.cpp).
  void PlayGradientFill(const EmfRecord& record);

  // Clip look-ahead (metafile_clip.cpp): pushes a clip level when an
  // EMR_EXTSELECTCLIPRGN follows before the current save level is restored.
  void ClipLookAhead();

  // Marks the metafile as damaged; the first time in a call also sends the debug line.
  void Damaged();

  TQVGenericDevice& device_;
  const BYTE* data_;
  std::size_t size_;
  DWORD recordLimit_;  // the header's nRecords

  std::vector<std::int32_t> handles_;  // metafile handle -> object-table index
  qvplatform::EmfBuffer<qvplatform::POINTL> points_;
  qvplatform::EmfBuffer<qvplatform::RECTL> rects_;
  qvplatform::EmfBuffer<std::int32_t> spacing_;
  qvplatform::EmfBuffer<char16_t> wideText_;
  qvplatform::EmfBuffer<char> ansiText_;
  std::vector<std::uint8_t> gradientPixels_;

  std::size_t nextOffset_ = 0;  // where the record after the current one starts
  DWORD recordNumber_ = 0;      // of the current record, the header being 0
  bool clipPending_ = false;
  bool damageReported_ = false;
  // A look-ahead that found nothing from lookAheadFrom_ finds nothing from any later start up
  // to lookAheadTo_ (the record where it stopped) either.
  bool lookAheadFailed_ = false;
  std::size_t lookAheadFrom_ = 0;
  std::size_t lookAheadTo_ = 0;
};

}  // namespace vellora
