#include "recording_device.h"

#include <cstdio>
#include <sstream>

namespace vellora_test {
namespace {

using qvplatform::POINTL;
using qvplatform::RECTL;

std::string Pt(POINTL p) { return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")"; }

std::string Rc(const RECTL& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

std::string Points(const POINTL* p, std::int32_t n) {
  std::string s = "[";
  for (std::int32_t i = 0; i < n; ++i) {
    if (i) s += ' ';
    s += Pt(p[i]);
  }
  return s + "]";
}

std::string B(bool v) { return v ? "1" : "0"; }

std::string Hex(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof(buf), "%08X", v);
  return buf;
}

std::string Num(float v) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << v;
  return out.str();
}

// Size and an FNV-1a hash of every byte, so the whole span is read.
std::string Span(vellora::TQVGenericDevice::Bytes b) {
  std::uint32_t h = 2166136261u;
  for (std::uint8_t c : b) h = (h ^ c) * 16777619u;
  return std::to_string(b.size()) + ":" + Hex(h);
}

}  // namespace

RecordingDevice::RecordingDevice() = default;

std::string RecordingDevice::Log() const {
  std::string s;
  for (const std::string& line : calls_) {
    s += line;
    s += '\n';
  }
  return s;
}

std::vector<std::string> RecordingDevice::CallsStartingWith(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const std::string& line : calls_)
    if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
  return out;
}

void RecordingDevice::Add(std::string line) {
  if (keepLog) calls_.push_back(line);
  if (onCall) onCall(line);
}

std::int32_t RecordingDevice::BeginPicture(std::int32_t width, std::int32_t height,
                                           std::int32_t xResolution, std::int32_t yResolution) {
  Add("BeginPicture " + std::to_string(width) + "x" + std::to_string(height) +
      " res=" + std::to_string(xResolution) + "," + std::to_string(yResolution));
  if (onBeginPicture) onBeginPicture(*this);
  return beginPictureResult;
}

void RecordingDevice::EndPicture(std::int32_t playResult) {
  Add("EndPicture " + std::to_string(playResult));
}

void RecordingDevice::FlushPending() { Add("FlushPending"); }

std::int32_t RecordingDevice::DrawDIBits(bool hasColorTable, std::int32_t srcX, std::int32_t srcY,
                                         std::int32_t srcWidth, std::int32_t srcHeight, float dstX,
                                         float dstY, float dstWidth, float dstHeight, bool crop,
                                         Bytes bits, Bytes bitmapHeader, Bytes colorTable) {
  Add("DrawDIBits table=" + B(hasColorTable) + " src=(" + std::to_string(srcX) + "," +
      std::to_string(srcY) + " " + std::to_string(srcWidth) + "x" + std::to_string(srcHeight) +
      ") dst=(" + Num(dstX) + "," + Num(dstY) + " " + Num(dstWidth) + "x" + Num(dstHeight) +
      ") crop=" + B(crop) + " bits=" + Span(bits) + " header=" + Span(bitmapHeader) +
      " colors=" + Span(colorTable));
  return drawDIBitsResult;
}

void RecordingDevice::PolyBezier(const POINTL* points, std::int32_t count, bool cont) {
  Add("PolyBezier " + Points(points, count) + " continue=" + B(cont));
}

void RecordingDevice::Polygon(const POINTL* points, std::int32_t count) {
  Add("Polygon " + Points(points, count));
}

void RecordingDevice::Polyline(const POINTL* points, std::int32_t count, bool cont, bool prepare,
                               bool stroke) {
  Add("Polyline " + Points(points, count) + " continue=" + B(cont) + " prepare=" + B(prepare) +
      " stroke=" + B(stroke));
}

void RecordingDevice::SetPixel(std::int32_t x, std::int32_t y, COLORREF color) {
  Add("SetPixel " + Pt({x, y}) + " " + Hex(color));
}

void RecordingDevice::MoveTo(std::int32_t x, std::int32_t y, POINTL* previous) {
  Add("MoveTo " + Pt({x, y}) + (previous ? " previous" : ""));
}

std::int32_t RecordingDevice::SaveDC() {
  const std::int32_t depth = StubDevice::SaveDC();
  Add("SaveDC " + std::to_string(depth));
  return depth;
}

void RecordingDevice::RestoreDC(std::int32_t level) {
  Add("RestoreDC " + std::to_string(level));
  StubDevice::RestoreDC(level);
}

void RecordingDevice::PopClip() { Add("PopClip"); }
void RecordingDevice::PushClip() { Add("PushClip"); }
void RecordingDevice::PrepareDraw() { Add("PrepareDraw"); }
void RecordingDevice::ObjectSelected() { Add("ObjectSelected"); }

void RecordingDevice::AngleArc(std::int32_t cx, std::int32_t cy, std::int32_t radius,
                               float startAngle, float sweepAngle) {
  Add("AngleArc " + Pt({cx, cy}) + " r=" + std::to_string(radius) + " " + Num(startAngle) + " " +
      Num(sweepAngle));
}

void RecordingDevice::Ellipse(const RECTL& box, bool fill) {
  Add("Ellipse " + Rc(box) + " fill=" + B(fill));
}

void RecordingDevice::Rectangle(const RECTL& box) { Add("Rectangle " + Rc(box)); }

void RecordingDevice::FillSolidRect(std::int32_t x, std::int32_t y, std::int32_t width,
                                    std::int32_t height, COLORREF color) {
  Add("FillSolidRect " + Pt({x, y}) + " " + std::to_string(width) + "x" + std::to_string(height) +
      " " + Hex(color));
}

void RecordingDevice::FillSolidRectF(COLORREF color, float x, float y, float width, float height) {
  Add("FillSolidRectF " + Hex(color) + " " + Num(x) + "," + Num(y) + " " + Num(width) + "x" +
      Num(height));
}

void RecordingDevice::RoundRect(const RECTL& box, std::int32_t cw, std::int32_t ch) {
  Add("RoundRect " + Rc(box) + " " + std::to_string(cw) + "x" + std::to_string(ch));
}

void RecordingDevice::Arc(const RECTL& box, POINTL start, POINTL end, bool arcTo) {
  Add("Arc " + Rc(box) + " " + Pt(start) + " " + Pt(end) + " arcTo=" + B(arcTo));
}

void RecordingDevice::Chord(const RECTL& box, POINTL start, POINTL end) {
  Add("Chord " + Rc(box) + " " + Pt(start) + " " + Pt(end));
}

void RecordingDevice::Pie(const RECTL& box, POINTL start, POINTL end) {
  Add("Pie " + Rc(box) + " " + Pt(start) + " " + Pt(end));
}

void RecordingDevice::LineTo(std::int32_t x, std::int32_t y) { Add("LineTo " + Pt({x, y})); }

void RecordingDevice::PolyDraw(const POINTL* points, const std::uint8_t* types,
                               std::int32_t count) {
  std::string t;
  for (std::int32_t i = 0; i < count; ++i) t += (i ? "," : "") + std::to_string(types[i]);
  Add("PolyDraw " + Points(points, count) + " types=" + t);
}

void RecordingDevice::BeginPath(std::int32_t mode) {
  Add("BeginPath " + std::to_string(mode));
  StubDevice::BeginPath(mode);
}

bool RecordingDevice::EndPath() {
  const bool open = StubDevice::EndPath();
  Add("EndPath " + B(open));
  return open;
}

void RecordingDevice::DrawPath(bool stroke, bool fill) {
  Add("DrawPath stroke=" + B(stroke) + " fill=" + B(fill));
}

void RecordingDevice::CloseFigure() { Add("CloseFigure"); }

void RecordingDevice::SelectClipPath(std::int32_t mode) {
  Add("SelectClipPath " + std::to_string(mode));
}

void RecordingDevice::SelectClipRegion(std::int32_t mode, const RECTL& bounds, std::int32_t count,
                                       const RECTL* rects) {
  std::string s =
      "SelectClipRegion " + std::to_string(mode) + " " + Rc(bounds) + " n=" + std::to_string(count);
  if (rects == nullptr) {
    s += " none";
  } else {
    for (std::int32_t i = 0; i < count; ++i) s += " " + Rc(rects[i]);
  }
  Add(s);
}

void RecordingDevice::GdiComment(Bytes data) { Add("GdiComment " + Span(data)); }

void RecordingDevice::PaintRegion(Bytes regionData) { Add("PaintRegion " + Span(regionData)); }

void RecordingDevice::BitBlt(std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, std::uint32_t rop) {
  Add("BitBlt " + Pt({x, y}) + " " + std::to_string(width) + "x" + std::to_string(height) +
      " rop=" + Hex(rop));
}

std::int32_t RecordingDevice::StretchDIBits(std::int32_t dstX, std::int32_t dstY, std::uint32_t rop,
                                            std::uint32_t colorUsage, Bytes bitmapInfo, Bytes bits,
                                            std::int32_t srcX, std::int32_t srcY,
                                            std::int32_t srcWidth, std::int32_t srcHeight,
                                            std::int32_t dstWidth, std::int32_t dstHeight) {
  lastBitmapInfo.assign(bitmapInfo.begin(), bitmapInfo.end());
  lastBits.assign(bits.begin(), bits.end());
  transparentDuringBlit = transparentBlit;
  transparentColorDuringBlit = transparentColor;
  Add("StretchDIBits dst=" + Pt({dstX, dstY}) + " " + std::to_string(dstWidth) + "x" +
      std::to_string(dstHeight) + " rop=" + Hex(rop) + " usage=" + std::to_string(colorUsage) +
      " src=" + Pt({srcX, srcY}) + " " + std::to_string(srcWidth) + "x" +
      std::to_string(srcHeight) + " info=" + Span(bitmapInfo) + " bits=" + Span(bits));
  return 0;
}

void RecordingDevice::ExtTextOut(std::int32_t x, std::int32_t y, std::uint32_t options,
                                 const RECTL& clip, const char16_t* wideText, const char* ansiText,
                                 std::int32_t length, const std::int32_t* spacing) {
  std::string s = "ExtTextOut " + Pt({x, y}) + " options=" + Hex(options) + " clip=" + Rc(clip);
  if (wideText) {
    s += " W\"";
    for (std::int32_t i = 0; i < length; ++i) {
      const char16_t c = wideText[i];
      if (c >= 32 && c < 127) {
        s += static_cast<char>(c);
      } else {
        char buf[8];
        std::snprintf(buf, sizeof(buf), "\\u%04X", static_cast<unsigned>(c));
        s += buf;
      }
    }
    s += "\"";
  }
  if (ansiText) s += " A\"" + std::string(ansiText, static_cast<std::size_t>(length)) + "\"";
  s += " n=" + std::to_string(length);
  if (spacing) {
    s += " dx=[";
    for (std::int32_t i = 0; i < length; ++i) s += (i ? "," : "") + std::to_string(spacing[i]);
    s += "]";
  } else {
    s += " dx=none";
  }
  Add(s);
}

}  // namespace vellora_test
