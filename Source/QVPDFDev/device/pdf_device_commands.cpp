// Text commands embedded in metafile comments: links, destinations, bookmarks, images, text
// settings and layout classes. Rectangles arrive in output coordinates (points, y down);
// destinations and bookmarks are kept in device units of the page.
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

#include "QVPDFDev/device/command_codes.h"
#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/navigation/outline_node.h"
#include "QVPDFDev/tagged/pdf_struct_tree.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

using namespace command_codes;

// "name=value": the name is "UNKNOWN" without "=", the value then empty.
struct NameValue {
  std::string name;
  std::string value;
};

NameValue SplitNameValue(const std::string& text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) return {"UNKNOWN", {}};
  return {text.substr(0, equals), text.substr(equals + 1)};
}

std::optional<std::int32_t> ParseInt(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::int32_t Difference(std::int32_t a, std::int32_t b) {
  return qvplatform::ClampToInt32(std::int64_t{a} - b);
}

// Hidden text is found by search and extraction but leaves no ink: render mode 3.
constexpr float kHiddenTextSize = 1.0f;
constexpr std::int32_t kInvisibleRenderMode = 3;

}  // namespace

std::int32_t TQVPDFDevice::ToDeviceX(std::int32_t x) const {
  return qvplatform::ClampToInt32(std::llround(x * static_cast<long double>(xResolution) / 72));
}

std::int32_t TQVPDFDevice::ToDeviceY(std::int32_t y) const {
  return qvplatform::ClampToInt32(std::llround(y * static_cast<long double>(yResolution) / 72));
}

void TQVPDFDevice::AddBookmark(const std::string& text, const RECTL& rect, std::int32_t code) {
  const NameValue parts = SplitNameValue(text);
  std::int32_t& level = commandState_.pendingOutlineLevel;
  const auto entry = [&] {
    TQVOutlineTarget target;
    target.destName = parts.name;
    target.left = ToDeviceX(rect.left);
    target.top = ToDeviceY(rect.top);
    return CreateOutlineNode(parts.value, std::move(target));
  };
  if (code == kBookmark) {
    if (level != 0) {
      AddOutline(entry(), 3, level);
    } else {
      AddOutline(entry(), 1, 0);
    }
    level = 0;
  } else if (code == kBookmarkDeeper) {
    if (parts.value.empty()) {
      ++level;
      return;
    }
    AddOutline(entry(), 4, 0);
    level = 0;
  } else if (text.empty()) {
    AddOutline(entry(), 2, 1);
  } else if (parts.value.empty()) {
    --level;
  } else {
    AddOutline(entry(), 2, 0);
    level = 0;
  }
}

// In the font of the current level (a font the document has), invisible rather than painted in
// white, so no colour changes; the render mode is recorded for the next text to set its own.
void TQVPDFDevice::WriteHiddenText(const std::string& text) {
  if (text.empty() || !EnsureOutputOpen()) return;
  std::int32_t x = 0, y = 0;
  BeginText(x, y);
  WriteTextState(&workBuffer, kHiddenTextSize);
  workBuffer.AddString("3 Tr 0 0 Td (");
  workBuffer.AddEscaped(text);
  workBuffer.AddString(")Tj\n");
  textState_.renderMode = kInvisibleRenderMode;
  RegisterUsedCharsA(text.data(), qvplatform::ClampToInt32(static_cast<std::int64_t>(text.size())));
}

void TQVPDFDevice::HandleEmbeddedCommand(const RECTL& rect, std::int32_t code,
                                         const std::string& text, bool& handled) {
  TQVGenericPSDevice::HandleEmbeddedCommand(rect, code, text, handled);
  if (handled || !catalog_) return;
  const std::int32_t width = Difference(rect.right, rect.left);
  const std::int32_t height = Difference(rect.bottom, rect.top);
  const bool onPage = currentPage_ != nullptr && xformStream == nullptr;
  handled = true;
  switch (code) {
    case kLink:
    case kLinkOnce:
      if (code == kLink && commandState_.skipNextLink) {
        commandState_.skipNextLink = false;
        return;
      }
      // A link needs a page; without one it is left out rather than ending the drawing.
      if (onPage) AddLinkArea(rect.left, rect.top, width, height, text, {});
      if (code == kLinkOnce) commandState_.skipNextLink = true;
      return;
    case kLocalDestination:
    case kGlobalDestination:
      AddNamedDest(text, ToDeviceX(rect.left), ToDeviceY(rect.top), code == kGlobalDestination);
      return;
    case kBookmark:
    case kBookmarkDeeper:
    case kBookmarkHigher:
      AddBookmark(text, rect, code);
      return;
    case kPlaceForm:
      // The form stands where its own placement puts it, as with the place-form command.
      if (EnsureOutputOpen()) DrawXForm(text, 0, rect.left, width, height, rect.top);
      return;
    case kBitmapName:
      pendingBitmapName = text;
      return;
    case kHiddenText:
      WriteHiddenText(text);
      return;
    case kSaveLevel:
    case kRestoreLevel:
      // Texts with "=" are the extended device's commands of the same numbers.
      if (text.find('=') != std::string::npos) break;
      if (code == kSaveLevel)
        SaveDC();
      else
        RestoreDC(-1);
      return;
    case kImageName:
      if (text.empty()) break;
      pendingImageName = text;
      return;
    case kCjkAsciiFace:
      if (!text.empty()) cjkFace = text;
      return;
    case kExactPositioningOn:
    case kExactPositioningOff:
      forceExactPositioning = code == kExactPositioningOn;
      return;
    case kForcedCharset:
      forcedCharset = ParseInt(text).value_or(0);
      return;
    case kSplitAtBlanks:
      splitAtBlanks = ParseInt(text).value_or(0) != 0;
      return;
    case kCjkIdeographCharset:
      contentOptions.SetCjkIdeographCharset(
          ParseInt(text).value_or(TQVContentOptions{}.cjkIdeographCharset));
      return;
    case kPlaceImage:
      pendingImageName = text;
      if (onPage && EnsureOutputOpen())
        images_.DrawImage(0, static_cast<float>(rect.left), static_cast<float>(rect.top),
                          static_cast<float>(width), static_cast<float>(height));
      // The name served this image only; the next new image must not take it.
      pendingImageName.clear();
      return;
    case kLayoutClass: {
      const NameValue parts = SplitNameValue(text);
      TFolvioLayoutElement* layout = catalog_->StructTreeRoot().AddLayoutClass(parts.name);
      if (layout == nullptr) return;
      layout->styleNumber = rect.left;
      const std::size_t hash = parts.value.find('#');
      if (hash != std::string::npos) {
        layout->role = parts.value.substr(0, hash);
        layout->SetAttributes(std::string_view(parts.value).substr(hash + 1));
      } else {
        layout->SetAttributes(parts.value);
      }
      return;
    }
    case kOutlineText: {
      TQVDCStackVar& level = dcStack.Current();
      level.outlineText = !text.empty();
      if (!text.empty())
        level.outlineColor = static_cast<COLORREF>(
            ParseInt(text).value_or(static_cast<std::int32_t>(level.outlineColor)));
      return;
    }
    default:
      break;
  }
  handled = false;
}

}  // namespace vellora
