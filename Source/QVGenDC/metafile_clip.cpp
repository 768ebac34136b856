// Clip records and the clip look-ahead. The look-ahead: a clip that an EMR_EXTSELECTCLIPRGN will
// replace later at the same save level is drawn inside a pushed clip level, which that record pops
// again (a page-content clip can only shrink). A RESTOREDC below the current level, EMR_EOF or the
// end of the walk means no push is needed.
#include "QVGenDC/metafile_player.h"
#include "qvplatform/emf_parts.h"

namespace vellora {

using qvplatform::EmfNext;

void TQVMetafilePlayer::ClipLookAhead() {
  if (clipPending_) return;
  const std::size_t from = nextOffset_;
  // Starts are visited in increasing order; a start inside the stretch that a failed walk
  // covered would meet the same records, so it fails as well without walking again.
  if (lookAheadFailed_ && from >= lookAheadFrom_ && from <= lookAheadTo_) return;

  qvplatform::EmfRecordIterator it(data_, size_, from);
  std::int64_t nesting = 0;
  EmfRecord record;
  while (true) {
    const std::size_t at = it.Offset();
    // The same size rule as the record loop: a record that cannot be walked over ends the walk.
    if (it.Next(record) != EmfNext::kRecord) {
      lookAheadTo_ = at;
      break;
    }
    const DWORD type = record.Type();
    if (type == qvplatform::EMR_SAVEDC) {
      ++nesting;
    } else if (type == qvplatform::EMR_RESTOREDC) {
      if (--nesting < 0) {
        lookAheadTo_ = at;
        break;
      }
    } else if (type == qvplatform::EMR_EOF) {
      lookAheadTo_ = at;
      break;
    } else if (type == qvplatform::EMR_EXTSELECTCLIPRGN) {
      clipPending_ = true;
      device_.PushClip();
      return;
    }
  }
  lookAheadFailed_ = true;
  lookAheadFrom_ = from;
}

void TQVMetafilePlayer::PlayClipRegion(const EmfRecord& r) {
  if (!device_.modes.Has(qvClipRectSupport)) return;
  qvplatform::EMREXTSELECTCLIPRGN f;
  if (!Fixed(r, f)) return;
  if (clipPending_) {
    device_.PopClip();
    clipPending_ = false;
  }
  if (f.cbRgnData == 0) return;  // the clip is reset: the pop was all
  const qvplatform::EmfRegion region = qvplatform::ReadClipRegion(r, f);
  if (!region.ok) return Damaged();
  ClipLookAhead();
  const qvplatform::RECTL* rects = nullptr;
  if (!region.rects.Empty()) {
    qvplatform::RECTL* out = rects_.Reserve(region.rects.Count());
    region.rects.CopyTo(out);
    rects = out;
  }
  device_.SelectClipRegion(static_cast<std::int32_t>(f.iMode), region.header.rcBound,
                           static_cast<std::int32_t>(region.rects.Count()), rects);
}

void TQVMetafilePlayer::PlayIntersectClip(const EmfRecord& r) {
  if (!device_.modes.Has(qvClipRectSupport)) return;
  qvplatform::EMRINTERSECTCLIPRECT f;
  if (!Fixed(r, f)) return;
  const qvplatform::RECTL& c = f.rclClip;
  // A rectangle reaching past the page on the left, top and right clips nothing that matters
  // (the bottom edge is not examined).
  if (c.left < 0 && c.top <= 0 && c.right >= 32000) return;
  ClipLookAhead();
  device_.SelectClipRegion(qvplatform::RGN_AND, c, 0, nullptr);
}

}  // namespace vellora
