// File attachments of the PDF device: an attachment record becomes file attachment
// annotations on the open page, their bodies written at once.
#include <cmath>
#include <map>
#include <stdexcept>

#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDev/document/attachment_record.h"
#include "QVPDFDev/document/embedded_files.h"
#include "QVPDFDev/pages/pdf_page.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

std::string Coordinate(long double value) {
  return std::to_string(qvplatform::ClampToInt32(std::llround(value)));
}

}  // namespace

void TQVPDFDevice::AddFileAttachment(const RECTL& rect, const std::uint8_t* data, bool utf8,
                                     std::size_t length) {
  if (!currentPage_) throw std::runtime_error("No page active!");
  // PDF/A-1 forbids embedded files.
  if (options.writer.pdfaMode != folvioaOff) return;
  const std::optional<TQVAttachmentRecord> record = ReadAttachmentRecord(data, length);
  if (!record || record->entries.empty()) return;

  const POINTL a = TransformPoint(rect.left, rect.top);
  const POINTL b = TransformPoint(rect.right, rect.bottom);
  const long double h = currentPage_->FlipHeight();
  const std::string rectangle = "/Rect [" + Coordinate(a.x) + " " + Coordinate(h - b.y) + " " +
                                Coordinate(b.x) + " " + Coordinate(h - a.y) + "]";

  // One body per file system key and annotation: the n-th body of a key goes to the n-th
  // annotation.
  std::vector<std::unique_ptr<TFolvioEmbeddedFiles>> made;
  std::map<std::string, std::size_t> bodiesOfKey;
  for (const TQVAttachmentEntry& entry : record->entries) {
    const std::size_t index = bodiesOfKey[entry.fileSystemKey]++;
    if (index == made.size()) {
      auto attachment = std::make_unique<TFolvioEmbeddedFiles>(this, utf8, &emptyAppearance_);
      attachment->SetFileName(record->fileName);
      attachment->SetIcon(record->icon);
      // The texts go with the first annotation only: copies on every further one would make
      // the output grow with texts times entries.
      if (made.empty()) attachment->SetAnnotationText(record->annotationText);
      attachment->SetRectangleText(rectangle);
      attachment->SetPage(currentPage_.get());
      made.push_back(std::move(attachment));
    }
    auto file = std::make_unique<TFolvioEmbeddedFile>(this);
    file->Describe(entry);
    file->SetData(entry.body, entry.bodySize);
    made[index]->AddFile(std::move(file));
  }
  for (auto& attachment : made) AddAnnotation(*currentPage_, std::move(attachment));
}

}  // namespace vellora
