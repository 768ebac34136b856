#include "QVK2PDFDLL/command_images.h"

#include <stdexcept>
#include <string>

#include "QVK2PDFDLL/host_input.h"

namespace vellora {

std::int32_t DrawImageCommand(TQVPDFEngineContext& c, TQVPDFCommand* record) {
  if (record == nullptr) throw std::runtime_error("Wrong Arguments for QVPDF_EXBITMAP");
  TQVPDFDeviceEX& d = c.device;
  TQVPDFImageHead& image = record->Head.Image;
  bool drawnAsDib = false;
  if (image.ImageNumber < 1) {
    if (image.Bitmap != 0) {
      image.ImageNumber = d.Images().AddBitmap(image.Bitmap);
    } else if (record->DibBits != nullptr && record->DibInfo != nullptr) {
      image.ImageNumber =
          d.DrawHostDIB(record->DibInfo, record->DibBits, static_cast<float>(record->X),
                        static_cast<float>(record->Y), static_cast<float>(record->Width),
                        static_cast<float>(record->Height));
      drawnAsDib = true;
    } else if (record->ImageData != nullptr) {
      // A negative length is no length: the image writer refuses the data.
      const std::size_t length =
          image.DataLength > 0 ? static_cast<std::size_t>(image.DataLength) : 0;
      image.ImageNumber =
          d.Images().AddImageData(0, static_cast<const std::uint8_t*>(record->ImageData), length,
                                  image.Format, image.PixelWidth, image.PixelHeight);
    } else {
      throw std::runtime_error("Wrong Arguments for QVPDF_EXBITMAP");
    }
  }
  if (!drawnAsDib && image.ImageNumber > 0)
    d.Images().DrawImage(image.ImageNumber, static_cast<float>(image.X),
                         static_cast<float>(image.Y), static_cast<float>(image.Width),
                         static_cast<float>(image.Height));
  return 0;
}

std::int32_t AddColorSpaceCommand(TQVPDFEngineContext& c, const TQVPDFCommand* record) {
  if (record == nullptr) throw std::runtime_error("The colour space command needs a record");
  const TQVPDFColorSpaceHead& head = record->Head.ColorSpace;
  const auto* profile = static_cast<const std::uint8_t*>(record->IccProfile);
  const bool given = profile != nullptr && head.ProfileLength > 0;
  if (given && head.Components != 1 && head.Components != 3 && head.Components != 4)
    throw std::runtime_error("An ICC profile has 1, 3 or 4 components, not " +
                             std::to_string(head.Components));
  c.device.AddICCColorSpace(std::string(FieldText(head.Name)), 0, given ? profile : nullptr,
                            given ? head.ProfileLength : 0, head.Components,
                            std::string(FieldText(head.Alternate)));
  return 0;
}

}  // namespace vellora
