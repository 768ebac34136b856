// TQVPDFDeviceWorkBuffer: the growable text into which a drawing device writes its page
// content, and the exact text form of numbers, colours and strings in that content.
//
// Writers append at the end. Numbers come from the locale-free formatter (number_format.h),
// so the same drawing always gives the same bytes. Memory exhaustion throws std::bad_alloc
// and leaves the content written so far intact.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "QVGenDC/device_modes.h"
#include "QVPdfDC/color_record.h"

namespace vellora {

class TQVPDFDeviceWorkBuffer {
 public:
  // Hold mechanism (SetMode).
  static constexpr int kDirect = 0;    // writing straight into the content
  static constexpr int kMarking = 1;   // the length at entry is marked
  static constexpr int kHolding = 2;   // what was written since the mark is held aside
  static constexpr int kDropHeld = 3;  // forget the held text and the mark, back to direct

  // Allocates max(initialSize, 4096) bytes.
  explicit TQVPDFDeviceWorkBuffer(std::size_t initialSize = 0);
  ~TQVPDFDeviceWorkBuffer();
  TQVPDFDeviceWorkBuffer(const TQVPDFDeviceWorkBuffer&) = delete;
  TQVPDFDeviceWorkBuffer& operator=(const TQVPDFDeviceWorkBuffer&) = delete;

  // Makes room for n more bytes. Growth is by at least the step, which doubles each time it
  // is used, and at least doubles the recorded capacity, so any sequence of writes costs
  // linear copying.
  void Grow(std::size_t n);
  // Cuts the content back to length when 0 < length < Size(); otherwise nothing.
  void Truncate(std::size_t length);
  // Empties the content and returns to direct mode. The block is kept, but the recorded
  // capacity and the step drop to 256, so the next growth may give memory of a large page
  // back.
  void Reset();
  // Returns to direct mode (appending held text), then hands the content to
  // sink(const char* data, std::size_t size) in one call when there is any. The content
  // stays; callers Reset afterwards.
  template <class Sink>
  void FlushTo(Sink&& sink) {
    SetMode(kDirect);
    if (used_ > 0) sink(static_cast<const char*>(text_), used_);
  }
  // Enters a mode of the hold mechanism; setting the current mode again does nothing.
  // Marking records the length; holding (from marking) moves the text written since the mark
  // aside; direct (from holding) appends it again; kDropHeld forgets it.
  void SetMode(int mode);
  int Mode() const { return mode_; }

  // Coordinate divisor of the owning device: 0 or 1 plain units, 10 tenths.
  void SetDivisor(std::int32_t divisor) { divisor_ = divisor; }
  std::int32_t Divisor() const { return divisor_; }
  // The owner's mode set, read when colours are written (kModeColorsAsCMYK); not owned,
  // may be null.
  void SetModes(const TQVDevModes* modes) { modes_ = modes; }

  // The bytes as they are.
  void AddString(std::string_view text);
  // With the literal-string escapes \b \t \n \r \( \) \\; every other byte as it is.
  void AddEscaped(std::string_view text);
  // Decimal digits, then one blank when addBlank.
  void AddInt(std::int64_t value, bool addBlank);
  // Fixed notation with at least 5 decimals (FormatFixed), then one blank unless omitBlank.
  void AddFloat(long double value, int decimals, bool omitBlank = false);
  // value / divisor (when the divisor is neither 0 nor 1) by AddFloat with a blank.
  void AddScaledFloat(long double value);
  // value / divisor by AddFloat, or with a plain divisor value by AddInt, with a blank.
  void AddCoord(std::int32_t value);
  // Values separated by single blanks, none after the last: |v| > 32000 and exactly 1 as
  // "1", 0 and non-finite values as "0", others in fixed notation with `decimals`.
  void AddColorComponents(const long double* values, std::size_t count, int decimals);
  void AddColorComponents(std::initializer_list<long double> values, int decimals);
  // A colour and its operator. selector 0 stroking, 1 non-stroking, other values only the
  // components. The record (may be null: plain colour value) is updated in place when its
  // mode asks for a conversion or the owner's modes force CMYK. An operatorText that is not
  // empty is written after the RGB fractions of the colour value instead.
  void AddColor(std::uint32_t colorValue, TQVColorRecord* record, std::string_view operatorText,
                int selector);

  std::string_view Text() const { return {text_, used_}; }
  std::size_t Size() const { return used_; }
  // The capacity the growth test uses (never above the allocated size).
  std::size_t Capacity() const { return capacity_; }
  std::string_view HeldText() const { return held_; }

 private:
  char* End() { return text_ + used_; }

  char* text_ = nullptr;
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
  std::string held_;
  int mode_ = kDirect;
  std::size_t mark_ = 0;
  std::size_t step_ = 1024;
  std::int32_t divisor_ = 1;
  const TQVDevModes* modes_ = nullptr;
};

}  // namespace vellora
