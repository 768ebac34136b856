// Pages of the PDF device: begin and end, the content streams drawing writes into, and the
// picture bracket of the metafile player.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/pages/pdf_form.h"
#include "QVPDFDev/pages/pdf_page.h"
#include "QVPDFDev/tagged/pdf_struct_tree.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

// The marked-content commands that open every page of a PDF/A-1a document with an artifact.
constexpr std::int32_t kCommandBeginArtifact = 3014;
constexpr std::int32_t kCommandArtifactKind = 3015;

std::int32_t UsableResolution(std::int32_t given, std::int32_t current) {
  if (given == 0) given = current;
  return given > 0 ? given : 72;
}

// value * numerator / denominator, rounded, clamped to 32 bits.
std::int32_t Scaled(std::int32_t value, std::int32_t numerator, std::int32_t denominator) {
  const long double r = static_cast<long double>(value) * numerator / denominator;
  return qvplatform::ClampToInt32(std::llround(r));
}

}  // namespace

void TQVPDFDevice::BeginPage(std::int32_t width, std::int32_t height, std::int32_t xRes,
                             std::int32_t yRes, std::int32_t rotation) {
  if (options.file.readMode != 0) throw std::runtime_error("PDF Engine in read-only mode!");
  if (!documentOpen_) throw std::runtime_error("Device is not open!");
  if (xformStream != nullptr) EndXForm();  // a form left open is finished, not dropped
  if (currentPage_) {
    ReportMessage(8, "");
    EndPage();
  }

  pageOpen_ = true;
  lastCjkBaseline = -1000;  // no text line is remembered on a new page
  currentPage_ = std::make_unique<TQVPDFPage>(this, rotation);
  lastPage_ = currentPage_.get();
  firstPageSizePending = false;

  xRes = UsableResolution(xRes, xResolution);
  yRes = UsableResolution(yRes, yResolution);
  // A size of 0 keeps the previous one; a negative one is taken by its magnitude.
  if (width != 0) pageWidth = static_cast<float>(std::fabs(width * 72.0L / xRes));
  if (height != 0) pageHeight = static_cast<float>(std::fabs(height * 72.0L / yRes));
  LimitPageSize();

  // y is flipped at the page height; x has no offset.
  dcStack.pageOrigin = {0, qvplatform::Round32(pageHeight)};
  xResolution = xRes;
  yResolution = yRes;
  dcStack.SetResolution(xRes, yRes);
  currentPage_->SetFlipHeight(pageHeight);
  currentPage_->SetResolution(xRes, yRes);
  BindUnplacedDestinations(currentPage_.get());

  landscape = rotation == 1 || rotation == 90 || rotation == 270;
  PrepareThumbnailRaster(rotation);
  currentContent_ = nullptr;
  xformStream = nullptr;

  ReportMessage(20, std::to_string(width) + ";" + std::to_string(height));
  if (options.writer.pdfaMode == folvioaLevelA && !modes.Has(kModeNoAutoStructureTags))
    SendPageStartCommands();
}

void TQVPDFDevice::LimitPageSize() {
  if (pageWidth <= kMaxPageSide && pageHeight <= kMaxPageSide) return;
  pageWidth = std::min(pageWidth, kMaxPageSide);
  pageHeight = std::min(pageHeight, kMaxPageSide);
  ReportMessage(11, "Page size limited to 14400 x 14400 points");
}

void TQVPDFDevice::SendPageStartCommands() {
  // Eight little-endian 32-bit values: the third 8, the fifth 80, all others 0.
  std::uint8_t parameters[32] = {};
  parameters[8] = 8;
  parameters[16] = 80;
  const RECTL none{0, 0, 0, 0};
  for (const std::int32_t code : {kCommandBeginArtifact, kCommandArtifactKind}) {
    bool handled = false;
    HandleTaggingCommand(none, code, parameters, sizeof parameters, handled);
  }
}

void TQVPDFDevice::EndPage() {
  if (currentPage_) {
    CloseOpenMarkedContent();
    CloseContentStream();
    TQVPDFPage& ended = *currentPage_;
    AttachThumbnail(ended);
    ended.SetStructParentsKey(
        catalog_->StructTreeRoot().AddPageArray(&ended, ended.MarkedContentOwners()));
    currentPage_->SetSize(pageWidth, pageHeight);
    TQVPDFPage* page = currentPage_.get();
    catalog_->AddPage(std::move(currentPage_));
    lastPage_ = page;
    page->WritePageObjects();
  } else {
    ReportMessage(7, "");
  }
  pageOpen_ = false;
}

void TQVPDFDevice::StartContent(TQVPDFStream* stream) {
  currentContent_ = stream;
  stream->BeginData();
  contentSink_.stream = stream;
  StartOutput(&contentSink_);
}

bool TQVPDFDevice::EnsureOutputOpen() {
  if (!currentPage_) return xformStream != nullptr && currentContent_ == xformStream;
  if (currentContent_ != nullptr) return true;
  StartContent(currentPage_->AddContents(std::make_unique<TQVPDFStream>(this, 'T')));
  return true;
}

void TQVPDFDevice::CloseContentStream() {
  TQVPDFStream* content = currentContent_;
  if (content == nullptr) return;
  currentContent_ = nullptr;
  struct Detach {
    ContentSink& sink;
    ~Detach() { sink.stream = nullptr; }
  } detach{contentSink_};
  contentSink_.stream = content;
  if (outputOpen) EndOutput();
  content->WriteStream();
}

void TQVPDFDevice::EndXForm() {
  if (xformStream == nullptr) return;
  if (auto* form = dynamic_cast<TQVPDFForm*>(xformStream)) form->inProgress = false;
  currentContent_ = xformStream;
  CloseContentStream();
  currentContent_ = nullptr;
  xformStream = nullptr;
  pageOpen_ = false;
}

std::int32_t TQVPDFDevice::BeginPicture(std::int32_t width, std::int32_t height, std::int32_t xRes,
                                        std::int32_t yRes) {
  const std::int32_t started = OpenPicturePage(width, height, xRes, yRes);
  DrawPictureOnThumbnail();
  return started;
}

std::int32_t TQVPDFDevice::OpenPicturePage(std::int32_t width, std::int32_t height,
                                           std::int32_t xRes, std::int32_t yRes) {
  if (!documentOpen_ || pageOpen_ || currentPage_) return 0;
  // Resolutions of 0 are replaced before they divide anything.
  xRes = UsableResolution(xRes, xResolution);
  yRes = UsableResolution(yRes, yResolution);
  if (xRes > yRes) {
    height = Scaled(height, xRes, yRes);
    yRes = xRes;
  } else if (xRes < yRes) {
    width = Scaled(width, yRes, xRes);
    xRes = yRes;
  }
  // The player has scaled the picture into the page already (its own resolutions, a target
  // size, offsets); the page keeps that scale rather than the equalised resolutions'.
  const XFORM pictureScale = dcStack.pageScale;
  BeginPage(qvplatform::ClampToInt32(std::int64_t{width} + 1), height, xRes, yRes, 0);
  dcStack.pageScale = pictureScale;
  dcStack.MarkDirty();
  transformDirty = true;
  return 1;
}

void TQVPDFDevice::EndPicture(std::int32_t started) {
  if (started != 0) EndPage();
}

}  // namespace vellora
