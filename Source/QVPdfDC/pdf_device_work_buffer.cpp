#include "QVPdfDC/pdf_device_work_buffer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "QVPdfDC/number_format.h"

namespace vellora {

namespace {

constexpr std::size_t kMinimumBlock = 4096;
constexpr std::size_t kResetBound = 256;
constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();

// Literal-string escape letter of a byte, or 0 when it passes as it is.
char EscapeLetter(unsigned char b) {
  switch (b) {
    case '\b':
      return 'b';
    case '\t':
      return 't';
    case '\n':
      return 'n';
    case '\r':
      return 'r';
    case '(':
    case ')':
    case '\\':
      return static_cast<char>(b);
    default:
      return 0;
  }
}

}  // namespace

TQVPDFDeviceWorkBuffer::TQVPDFDeviceWorkBuffer(std::size_t initialSize) {
  const std::size_t size = std::max(initialSize, kMinimumBlock);
  text_ = static_cast<char*>(std::malloc(size));
  if (text_ == nullptr) throw std::bad_alloc();
  capacity_ = size;
}

TQVPDFDeviceWorkBuffer::~TQVPDFDeviceWorkBuffer() { std::free(text_); }

void TQVPDFDeviceWorkBuffer::Grow(std::size_t n) {
  // One spare byte always remains after the test.
  if (n < capacity_ - used_) return;
  if (n > kMax / 2 - used_) throw std::bad_alloc();
  std::size_t extra = n;
  if (n < step_) {
    extra = step_;
    if (step_ < kMax / 4) step_ *= 2;
  }
  // Doubling the capacity as well keeps repeated writes larger than the step linear.
  const std::size_t size = std::max(used_ + extra, std::min(capacity_, kMax / 4) * 2);
  char* block = static_cast<char*>(std::realloc(text_, size));
  if (block == nullptr) throw std::bad_alloc();
  text_ = block;
  capacity_ = size;
}

void TQVPDFDeviceWorkBuffer::Truncate(std::size_t length) {
  if (length > 0 && length < used_) used_ = length;
}

void TQVPDFDeviceWorkBuffer::Reset() {
  used_ = 0;
  capacity_ = std::min(capacity_, kResetBound);
  step_ = kResetBound;
  mode_ = kDirect;
  mark_ = 0;
  held_.clear();
}

void TQVPDFDeviceWorkBuffer::SetMode(int mode) {
  if (mode == mode_) return;
  switch (mode) {
    case kDirect:
      if (mode_ == kHolding) AddString(held_);
      held_.clear();
      mode_ = kDirect;
      break;
    case kMarking:
      mark_ = used_;
      held_.clear();
      mode_ = kMarking;
      break;
    case kHolding:
      if (mode_ == kMarking) {
        // A Truncate below the mark leaves nothing to hold.
        const std::size_t mark = std::min(mark_, used_);
        held_.assign(text_ + mark, used_ - mark);
        used_ = mark;
        mark_ = 0;
      }
      mode_ = kHolding;
      break;
    case kDropHeld:
      held_.clear();
      mark_ = 0;
      mode_ = kDirect;
      break;
    default:
      break;  // not a mode
  }
}

void TQVPDFDeviceWorkBuffer::AddString(std::string_view text) {
  if (text.empty()) return;
  Grow(text.size());
  std::memcpy(End(), text.data(), text.size());
  used_ += text.size();
}

void TQVPDFDeviceWorkBuffer::AddEscaped(std::string_view text) {
  if (text.empty()) return;
  if (text.size() > kMax / 2) throw std::bad_alloc();
  Grow(2 * text.size());
  char* o = End();
  for (const char c : text) {
    const char letter = EscapeLetter(static_cast<unsigned char>(c));
    if (letter != 0) {
      *o++ = '\\';
      *o++ = letter;
    } else {
      *o++ = c;
    }
  }
  used_ = static_cast<std::size_t>(o - text_);
}

void TQVPDFDeviceWorkBuffer::AddInt(std::int64_t value, bool addBlank) {
  Grow(kMaxNumberChars + 1);
  used_ += FormatInt(End(), value);
  if (addBlank) text_[used_++] = ' ';
}

void TQVPDFDeviceWorkBuffer::AddFloat(long double value, int decimals, bool omitBlank) {
  Grow(kMaxNumberChars + 1);
  used_ += FormatFixed(End(), value, std::max(decimals, 5));
  if (!omitBlank) text_[used_++] = ' ';
}

void TQVPDFDeviceWorkBuffer::AddScaledFloat(long double value) {
  if (divisor_ != 0 && divisor_ != 1) value /= divisor_;
  AddFloat(value, 3);
}

void TQVPDFDeviceWorkBuffer::AddCoord(std::int32_t value) {
  if (divisor_ != 0 && divisor_ != 1) {
    AddFloat(static_cast<long double>(value) / divisor_, 3);
  } else {
    AddInt(value, true);
  }
}

void TQVPDFDeviceWorkBuffer::AddColorComponents(const long double* values, std::size_t count,
                                                int decimals) {
  for (std::size_t i = 0; i < count; ++i) {
    Grow(kMaxNumberChars + 1);
    if (i > 0) text_[used_++] = ' ';
    const long double v = values[i];
    if (!std::isfinite(v) || v == 0) {
      text_[used_++] = '0';
    } else if (v == 1 || v > 32000 || v < -32000) {
      text_[used_++] = '1';
    } else {
      used_ += FormatFixed(End(), v, decimals);
    }
  }
}

void TQVPDFDeviceWorkBuffer::AddColorComponents(std::initializer_list<long double> values,
                                                int decimals) {
  AddColorComponents(values.begin(), values.size(), decimals);
}

}  // namespace vellora
