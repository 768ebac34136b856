// The record loop of the player and the report of damaged metafile data.
#include <string>

#include "QVGenDC/metafile_player.h"
#include "qvplatform/clock.h"
#include "qvplatform/debug_output.h"

namespace vellora {

using qvplatform::EmfNext;
using qvplatform::EMR_EOF;
using qvplatform::EMR_LINETO;
using qvplatform::EMR_MOVETOEX;

TQVMetafilePlayer::TQVMetafilePlayer(TQVGenericDevice& device, const BYTE* data, std::size_t size,
                                     const qvplatform::EmfHeader& header)
    : device_(device),
      data_(data),
      size_(size),
      recordLimit_(header.fields.nRecords),
      handles_(std::size_t{header.fields.nHandles} + 1, 0),
      nextOffset_(header.fields.nSize) {}

void TQVMetafilePlayer::PlayRecords() {
  qvplatform::EmfRecordIterator it(data_, size_, nextOffset_);
  DWORD counter = 1;
  while (counter < recordLimit_ && !device_.abortRequested) {
    EmfRecord record;
    recordNumber_ = counter;
    // The end of the data before the header's count (or EMR_EOF) is damage as well: the
    // missing records ran past the data.
    if (it.Next(record) != EmfNext::kRecord) {
      Damaged();
      break;
    }
    nextOffset_ = it.Offset();
    ++counter;
    const DWORD type = record.Type();
    if (type == EMR_EOF) break;
    Dispatch(record);
    device_.lastWasLine = type == EMR_LINETO || type == EMR_MOVETOEX;
  }
}

void TQVMetafilePlayer::Damaged() {
  device_.metafileError = true;
  if (damageReported_) return;
  damageReported_ = true;
  std::string line = "PDF engine detected problem in EMF data [rec ";
  line += std::to_string(recordNumber_);
  line += "] ";
  line += qvplatform::FormatShortDate(device_.timestamp);
  line += ' ';
  line += qvplatform::FormatLongTime(device_.timestamp);
  qvplatform::OutputDebugString(line);
}

}  // namespace vellora
