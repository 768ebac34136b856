// What the image writer reads of, and asks of, the device that owns it. The PDF device
// implements this; tests use a small host of their own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "QVGenDC/device_modes.h"
#include "QVPDFDev/objects/pdf_object_owner.h"
#include "QVPdfDC/pdf_device_work_buffer.h"
#include "qvplatform/bitmap_handles.h"
#include "qvplatform/string_list.h"

namespace vellora {

// Device settings at the moment of a call.
struct TQVImageOptions {
  bool jpegConversion = false;  // store bitmaps as JPEG where the road allows it
  std::int32_t jpegQuality = 25;
  bool transparent = false;            // the current raster call is transparent
  std::uint32_t transparentColor = 0;  // its colour key (a colour value; system colours too)
  TQVDevModes modes;                   // qvWhiteBrushIsTransparent, qvAllowTransparentBit
};

class TQVPDFImageHost {
 public:
  // Owner of the image streams; its SharedResources() keeps the XObject list.
  virtual TQVPDFObjectOwner& ImageOwner() = 0;
  virtual TQVImageOptions ImageOptions() const = 0;
  // The pending image name (set by commands for the next image; the writer clears it where
  // it uses it up).
  virtual std::string& PendingImageName() = 0;
  // Image alias list: name -> image number (the entry's object).
  virtual qvplatform::TStringList& ImageAliases() = 0;
  // Message code 2 ("Invalid bitmap") with the detail.
  virtual void ReportImageMessage(std::string_view detail) = 0;
  // The device context whose palette GetDIBits reads for 4- and 8-bit device-dependent
  // bitmaps (0: the default palette).
  virtual qvplatform::HDC ReferenceDC() { return 0; }

  // DrawImage: called once the image is known to be drawn, before its operators: closes an
  // open text object, prepares drawing and marks the rounded destination (device units) on
  // the thumbnail raster in 0xC0C0C0.
  virtual void PrepareImageDraw(std::int32_t x, std::int32_t y, std::int32_t width,
                                std::int32_t height) = 0;
  // The current content's work buffer (its divisor scales the placement).
  virtual TQVPDFDeviceWorkBuffer& ImageContent() = 0;
  // The device's y origin, and whether the current DC level flips the y axis.
  virtual long double ImageYOrigin() const = 0;
  virtual bool ImageYFlipped() const = 0;

 protected:
  ~TQVPDFImageHost() = default;
};

}  // namespace vellora
