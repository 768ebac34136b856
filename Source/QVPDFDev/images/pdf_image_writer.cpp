// What every road of the image writer shares: the XObject list, the names, and the
// placement of an image on the page.
#include "QVPDFDev/images/pdf_image_writer.h"

#include <cmath>

#include "QVPDFDev/objects/pdf_name_escape.h"
#include "QVPDFDev/resources/pdf_resource.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

}  // namespace

std::string ImageAliasName(std::string_view name) { return "auto__" + UpperAscii(name); }

void TQVDIBImage::FitDestination(float& y, float& height) const {
  if (droppedRows >= 0 || rows <= 0) return;
  const double kept = rows;
  const double total = kept - droppedRows;
  if (droppedAtTop) y += static_cast<float>(height * (-droppedRows / total));
  height = static_cast<float>(height * (kept / total));
}

TQVPDFResource* TQVPDFImageWriter::Resources() const {
  return host_.ImageOwner().SharedResources();
}

std::unique_ptr<TQVPDFImageStream> TQVPDFImageWriter::NewStream() const {
  auto stream = std::make_unique<TQVPDFImageStream>(&host_.ImageOwner());
  stream->BeginData();
  return stream;
}

std::int32_t TQVPDFImageWriter::ListImage(std::unique_ptr<TQVPDFImageStream> stream) {
  TQVPDFImageStream* image = stream.get();
  std::string name = image->ImageName();
  const std::size_t number = Resources()->XObjects().Add(std::move(name), std::move(stream));
  image->SetImageNumber(static_cast<std::int32_t>(number));
  return image->ImageNumber();
}

std::int32_t TQVPDFImageWriter::FindEqual(const TQVImageKey& key, bool needName) const {
  const TQVNamedObjectList<TQVPDFStream>& list = Resources()->XObjects();
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const auto* image = dynamic_cast<const TQVPDFImageStream*>(list.At(i));
    if (image == nullptr || (needName && image->ImageName().empty())) continue;
    if (image->Key().Matches(key)) return static_cast<std::int32_t>(i + 1);
  }
  return 0;
}

std::string TQVPDFImageWriter::TakeImageName(TQVPDFImageStream& stream, bool usePending) {
  std::string& pending = host_.PendingImageName();
  if (usePending && !pending.empty()) {
    stream.SetEntryKey(pending);
    stream.SetImageName(pending);
    pending.clear();
  } else {
    stream.SetImageName("qvk" + std::to_string(Resources()->XObjects().Count() + 1));
  }
  return stream.ImageName();
}

void TQVPDFImageWriter::RegisterAlias(std::int32_t number) {
  std::string& pending = host_.PendingImageName();
  if (pending.empty()) return;
  qvplatform::TStringList& aliases = host_.ImageAliases();
  const std::string alias = ImageAliasName(pending);
  const int index = aliases.IndexOf(alias);
  if (index >= 0) {
    aliases.PutObject(index, number);
  } else {
    aliases.AddObject(alias, number);
  }
  pending.clear();
}

std::int32_t TQVPDFImageWriter::NumberOfResourceName(std::string_view name) const {
  TQVPDFResource* resources = Resources();
  if (resources == nullptr) return 0;
  const std::size_t count = resources->XObjects().Count();
  for (std::size_t i = 1; i <= count; ++i) {
    const std::int32_t number = qvplatform::ClampToInt32(static_cast<std::int64_t>(i));
    if (TQVNamedObjectList<TQVPDFStream>::SameName(ResourceName(number), name)) return number;
  }
  return 0;
}

std::string TQVPDFImageWriter::ResourceName(std::int32_t number) const {
  TQVPDFResource* resources = Resources();
  if (resources == nullptr || number <= 0) return {};
  const TQVNamedObjectList<TQVPDFStream>& list = resources->XObjects();
  if (static_cast<std::size_t>(number) > list.Count()) return {};
  // The resource dictionary lists each XObject under its entry key, else "qvk" + position.
  const std::string& key = list.At(static_cast<std::size_t>(number) - 1)->EntryKey();
  return key.empty() ? "qvk" + std::to_string(number) : key;
}

void TQVPDFImageWriter::DrawImage(std::int32_t number, float x, float y, float w, float h) {
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(w) || !std::isfinite(h)) return;
  if (std::fabs(w) < 0.01f || std::fabs(h) < 0.01f || Resources() == nullptr) return;
  std::string name;
  if (number > 0) {
    name = ResourceName(number);
  } else {
    name = host_.PendingImageName();  // stays pending
    if (name.empty()) return;
    const qvplatform::TStringList& aliases = host_.ImageAliases();
    const int index = aliases.IndexOf(ImageAliasName(name));
    // An alias, else an XObject listed under the name itself; a name of neither draws
    // nothing rather than invoking an XObject the resources lack.
    name = index >= 0 ? ResourceName(static_cast<std::int32_t>(qvplatform::ClampToInt32(
                            static_cast<std::int64_t>(aliases.Objects(index)))))
                      : ResourceName(NumberOfResourceName(name));
  }
  if (name.empty()) return;

  host_.PrepareImageDraw(qvplatform::Round32(x), qvplatform::Round32(y), qvplatform::Round32(w),
                         qvplatform::Round32(h));
  const long double height = host_.ImageYFlipped() ? -static_cast<long double>(h) : h;
  TQVPDFDeviceWorkBuffer& content = host_.ImageContent();
  content.AddString("q ");
  content.AddScaledFloat(w);
  content.AddString("0 0 ");
  content.AddScaledFloat(height);
  content.AddScaledFloat(x);
  content.AddScaledFloat(host_.ImageYOrigin() - y - height);
  std::string op = "cm ";
  AppendNameEntry(op, name);
  op += " Do Q\n";
  content.AddString(op);
}

std::int64_t AlignedRowBytes(std::int64_t width, std::int32_t bitCount, std::int32_t alignment) {
  const std::int64_t a = alignment;
  return ((width * bitCount + a - 1) & ~(a - 1)) / 8;
}

}  // namespace vellora
