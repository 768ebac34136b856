#include "QVPDFDev/navigation/destination_writer.h"

#include "QVPDFDev/pages/pdf_page.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

constexpr std::int32_t kPointsPerInch = 72;

// value in points; the resolution of 72 (or an unusable one) leaves it as it is.
std::int32_t ToPoints(std::int32_t value, std::int32_t resolution) {
  if (resolution == kPointsPerInch || resolution <= 0) return value;
  return qvplatform::MulDiv(value, kPointsPerInch, resolution);
}

// The first usable resolution of the position's own, its page's and the device's.
std::int32_t ResolutionOf(std::int32_t own, std::int32_t page, std::int32_t device) {
  if (own > 0) return own;
  return page > 0 ? page : device;
}

void AppendNumber(std::string& out, std::int64_t value) {
  out += std::to_string(qvplatform::ClampToInt32(value));
}

}  // namespace

std::optional<TQVDestination> ResolveDestination(TQVDestinationHost& host,
                                                 const TQVDestination& given,
                                                 std::string_view name) {
  if (name.empty()) return given;
  const TFolvioDestName* local = host.LocalDestinations().Find(name);
  if (local == nullptr) {
    host.ReportMessage(1, name);
    return std::nullopt;
  }
  TQVDestination dest = PositionDestination(*local);
  dest.width = given.width;
  dest.height = given.height;
  return dest;
}

TQVDestination PositionDestination(const TFolvioDestName& position) {
  TQVDestination dest;
  dest.page = position.page;
  dest.x = position.x;
  dest.y = position.y;
  dest.xResolution = position.xResolution;
  dest.yResolution = position.yResolution;
  return dest;
}

std::string FormatDestination(const TQVDestinationHost& host, const TQVDestination& dest,
                              bool bare) {
  std::string out;
  if (!bare) out = "/Dest [ ";
  if (dest.page != nullptr) {
    out += dest.page->GetReference();
    out += ' ';
  }
  const std::int32_t xRes = ResolutionOf(dest.xResolution, dest.page ? dest.page->XResolution() : 0,
                                         host.DestinationXResolution());
  const std::int32_t yRes = ResolutionOf(dest.yResolution, dest.page ? dest.page->YResolution() : 0,
                                         host.DestinationYResolution());
  const std::int64_t x = ToPoints(dest.x, xRes);
  const std::int64_t width = ToPoints(dest.width, xRes);
  const std::int64_t y = ToPoints(dest.y, yRes);
  const std::int64_t height = ToPoints(dest.height, yRes);
  const double flip = dest.page != nullptr ? dest.page->FlipHeight() : host.CurrentPageHeight();
  const std::int64_t top = qvplatform::Round32(static_cast<long double>(flip) - y);
  switch (dest.mode) {
    case 0:
      out += "/XYZ ";
      AppendNumber(out, x);
      out += ' ';
      AppendNumber(out, top);
      out += ' ';
      AppendNumber(out, dest.zoom);
      break;
    case 1:
      out += "/Fit ";
      break;
    case 2:
      out += "/FitV ";
      AppendNumber(out, x);
      break;
    case 3:
      out += "/FitH ";
      AppendNumber(out, top);
      break;
    case 4:
      // left bottom right top: the rectangle hangs down from y, as y grows downwards.
      out += "/FitR ";
      AppendNumber(out, x);
      out += ' ';
      AppendNumber(out, top - height);
      out += ' ';
      AppendNumber(out, x + width);
      out += ' ';
      AppendNumber(out, top);
      break;
    case 6:
      out += "/FitBV ";
      AppendNumber(out, x);
      break;
    case 7:
      out += "/FitBH ";
      AppendNumber(out, top);
      break;
    default:  // 5 and any other mode
      out += "/FitB ";
      break;
  }
  if (!bare) out += ']';
  return out;
}

std::string WriteDestination(TQVDestinationHost& host, TQVPDFPage* page, std::int32_t mode,
                             std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, std::int32_t zoom, std::string_view name,
                             bool bare) {
  const std::optional<TQVDestination> dest =
      ResolveDestination(host, {page, mode, x, y, width, height, zoom}, name);
  return dest ? FormatDestination(host, *dest, bare) : std::string();
}

}  // namespace vellora
