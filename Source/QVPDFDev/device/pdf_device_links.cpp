// Links, widgets and named destinations of the PDF device. Annotations are kept in the
// device's list and written at the end of the document, when every destination name is known.
#include <cmath>
#include <stdexcept>

#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/navigation/link_target.h"
#include "QVPDFDev/navigation/pdf_link.h"
#include "QVPDFDev/pages/pdf_page.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

std::string Coordinate(long double value) {
  return std::to_string(qvplatform::ClampToInt32(std::llround(value)));
}

// "/Rect [left bottom right top]" in PDF space: y flipped at the page's height.
std::string RectEntry(const TQVPDFRect& rect, float flipHeight) {
  const long double h = flipHeight;
  return "/Rect [" + Coordinate(rect.left) + " " + Coordinate(h - rect.bottom) + " " +
         Coordinate(rect.right) + " " + Coordinate(h - rect.top) + "]";
}

std::int32_t Sum(std::int32_t a, std::int32_t b) {
  return qvplatform::ClampToInt32(std::int64_t{a} + b);
}

}  // namespace

void TQVPDFDevice::AddLinkArea(std::int32_t x, std::int32_t y, std::int32_t width,
                               std::int32_t height, const std::string& target,
                               const std::string& action) {
  if (!currentPage_) {
    if (playDepth_ > 0) return;
    throw std::runtime_error("No page active!");
  }
  AddLink(*currentPage_, {x, y, Sum(x, width), Sum(y, height)}, target, action);
}

std::int32_t TQVPDFDevice::PlayMetafile(const std::uint8_t* bits, std::size_t size,
                                        std::int32_t xOffset, std::int32_t yOffset,
                                        std::int32_t targetWidth, std::int32_t targetHeight,
                                        bool measureOnly, std::int32_t xRes, std::int32_t yRes) {
  struct Count {
    std::int32_t& depth;
    explicit Count(std::int32_t& d) : depth(d) { ++depth; }
    ~Count() { --depth; }
  } count{playDepth_};
  // The outermost picture is drawn on the thumbnail raster too, once BeginPicture has the page
  // it lands on; its own drawing marks the raster only after it has played.
  if (playDepth_ == 1 && !measureOnly)
    thumbnailPicture_ = {bits,
                         size,
                         {xOffset, yOffset, targetWidth, targetHeight, xRes, yRes, xResolution,
                          yResolution, modes, playerOptions.metafileIsSized}};
  struct Done {
    TQVPDFDevice& device;
    bool outermost;
    ~Done() {
      if (!outermost) return;
      device.thumbnailPicture_ = {};
      device.thumbnailRaster.renderedDirectly = false;
    }
  } done{*this, playDepth_ == 1};
  return TQVGenericPSDevice::PlayMetafile(bits, size, xOffset, yOffset, targetWidth, targetHeight,
                                          measureOnly, xRes, yRes);
}

TQVPDFLink* TQVPDFDevice::AddLink(TQVPDFPage& page, const TQVPDFRect& rect, std::string_view target,
                                  std::string_view action) {
  if (options.writer.pdfaMode != folvioaOff && IsLaunchTarget(target)) return nullptr;
  auto link = std::make_unique<TQVPDFLink>(this, this, &catalog_->NamedDestinations());
  // The text goes into the dictionary: it must not end the dictionary early.
  std::optional<std::string> actionText;
  if (!action.empty()) {
    actionText = RewrittenActionText(*link, action);
    if (!actionText) throw std::runtime_error("Invalid link action");
  }
  std::string text =
      "/Type/Annot/Subtype/Link\n/F 4" + RectEntry(rect, page.FlipHeight()) + "\n/Border [0 0 0]\n";
  if (actionText) {
    text += "/A << ";
    text += *actionText;
    text += " >>";
  } else {
    const std::string entry = LinkActionEntry(*link, target);
    if (entry.empty())
      link->SetDestinationName(std::string(target));
    else
      text += entry;
  }
  link->SetDictionaryText(std::move(text));
  TQVPDFLink* made = link.get();
  AddAnnotation(page, std::move(link));
  return made;
}

TQVPDFLink* TQVPDFDevice::AddWidget(const TQVPDFRect& rect, std::string_view dictionaryText) {
  if (!currentPage_) throw std::runtime_error("No page active!");
  TQVPDFPage& page = *currentPage_;
  auto widget = std::make_unique<TQVPDFLink>(this, this, &catalog_->NamedDestinations());
  std::string text = "/Type /Annot \r/Subtype /Widget \r" + RectEntry(rect, page.FlipHeight()) +
                     "\n/P " + page.GetReference() + " \r/F 4 \r";
  text += dictionaryText;
  widget->SetDictionaryText(std::move(text));
  widget->GetObjectNumber();
  ++formFieldCounter;
  TQVPDFLink* made = widget.get();
  AddAnnotation(page, std::move(widget));
  return made;
}

void TQVPDFDevice::AddAnnotation(TQVPDFPage& page, std::unique_ptr<TQVCustomPDFType> annotation) {
  page.AddAnnotation(annotation.get());
  annotations_.push_back(std::move(annotation));
}

void TQVPDFDevice::AddNamedDest(std::string_view name, std::int32_t x, std::int32_t y,
                                bool global) {
  if (!catalog_) throw std::runtime_error("Device is not open!");
  const TFolvioDestName position{currentPage_.get(), x, y, xResolution, yResolution};
  if (global || modes.Has(kModeGlobalDestinations))
    catalog_->NamedDestinations().AddDest(name, position);
  else
    localDestinations_.Add(name, position);
}

void TQVPDFDevice::BindUnplacedDestinations(TQVPDFPage* page) {
  if (page == nullptr || !catalog_) return;
  localDestinations_.BindUnplaced(page);
  catalog_->NamedDestinations().BindUnplaced(page);
}

}  // namespace vellora
