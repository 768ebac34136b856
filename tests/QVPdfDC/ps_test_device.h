// A page-content device for tests: content goes to memory, the hooks that the PDF device
// overrides record their calls, and helpers return exactly what one drawing step wrote.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "QVPdfDC/ps_device.h"

namespace vellora_test {

class TestPSDevice : public vellora::TQVGenericPSDevice {
 public:
  struct Command {
    RECTL rect;
    std::int32_t code = 0;
    std::string text;
    std::vector<std::uint8_t> data;
    bool tagging = false;
  };
  struct DibCall {
    bool hasColorTable = false;
    std::int32_t srcX = 0, srcY = 0, srcWidth = 0, srcHeight = 0;
    float dstX = 0, dstY = 0, dstWidth = 0, dstHeight = 0;
    bool crop = false;
    bool transparent = false;  // the device's transparent-blit flag during the call
    std::vector<std::uint8_t> bits, header, colors;
  };

  void HandleEmbeddedCommand(const RECTL& rect, std::int32_t code, const std::string& text,
                             bool& handled) override {
    commands.push_back({rect, code, text, {}, false});
    (void)handled;
  }
  void HandleTaggingCommand(const RECTL& rect, std::int32_t code, const std::uint8_t* data,
                            std::int32_t length, bool& handled) override {
    commands.push_back({rect, code, {}, std::vector<std::uint8_t>(data, data + length), true});
    (void)handled;
  }
  std::int32_t DrawDIBits(bool hasColorTable, std::int32_t srcX, std::int32_t srcY,
                          std::int32_t srcWidth, std::int32_t srcHeight, float dstX, float dstY,
                          float dstWidth, float dstHeight, bool crop, Bytes bits,
                          Bytes bitmapHeader, Bytes colorTable) override {
    dibs.push_back({hasColorTable, srcX, srcY, srcWidth, srcHeight, dstX, dstY, dstWidth, dstHeight,
                    crop, transparentBlit, std::vector<std::uint8_t>(bits.begin(), bits.end()),
                    std::vector<std::uint8_t>(bitmapHeader.begin(), bitmapHeader.end()),
                    std::vector<std::uint8_t>(colorTable.begin(), colorTable.end())});
    return static_cast<std::int32_t>(dibs.size());
  }
  void SelectBrushColorSpace(vellora::TQVPDFDeviceWorkBuffer* buffer, std::int32_t hatch,
                             COLORREF color) override {
    brushSpaces.push_back({hatch, color});
    // What a pattern colour space looks like in content, without the resources behind it.
    buffer->AddString(hatch < 0 ? std::string("/DeviceRGB cs ")
                                : "/Pattern cs /P" + std::to_string(hatch) + " scn ");
  }

  // Starts output into `stream` (owned by the device).
  void Open() { StartOutput(&stream); }
  // Ends output and returns the whole content.
  std::string Close() {
    EndOutput();
    return stream.bytes;
  }
  // The bytes that one step appends to the open content.
  std::string Step(const std::function<void()>& draw) {
    const std::size_t before = workBuffer.Size();
    draw();
    return std::string(workBuffer.Text().substr(before));
  }
  // Selects a new pen or brush made by the device's own handlers.
  void UsePen(std::uint32_t styleFlags, std::int32_t width, COLORREF color) {
    SelectObject(CreatePen(styleFlags, width, color));
  }
  void UseBrush(std::uint32_t style, COLORREF color, std::uint32_t hatch = 0) {
    SelectObject(CreateBrush(style, color, hatch));
  }

  vellora::TQVStringOutputStream stream;
  std::vector<Command> commands;
  std::vector<DibCall> dibs;
  std::vector<std::pair<std::int32_t, COLORREF>> brushSpaces;
};

// A device whose content maps logical units 1:1 to points with the y origin at `pageHeight`
// (y' = pageHeight - y), output open and the first pen and brush state already written, so
// that a step shows only the operators of the primitive.
inline void PrepareForSteps(TestPSDevice& d, std::int32_t pageHeight = 100) {
  d.yOriginMode = true;
  d.dcStack.pageOrigin.y = pageHeight;
  d.Open();
  d.PrepareDraw();
  d.WritePenState(true, true, &d.workBuffer);
}

}  // namespace vellora_test
