// Closes the clip level a text request opened (TQVTextOutput::BoxAndBackground) when the request
// ends early or by an exception; a request that ends normally closes it itself, and the guard
// then finds nothing open.
#pragma once

#include "QVPdfDC/text_output.h"

namespace vellora {

class TQVTextClipGuard {
 public:
  TQVTextClipGuard(TQVTextOutput& out, bool& open) : out_(out), open_(open) {}
  ~TQVTextClipGuard() {
    try {
      out_.CloseClip(open_);
    } catch (...) {
      // Unwinding already: the content is abandoned with the exception.
    }
  }
  TQVTextClipGuard(const TQVTextClipGuard&) = delete;
  TQVTextClipGuard& operator=(const TQVTextClipGuard&) = delete;

 private:
  TQVTextOutput& out_;
  bool& open_;
};

}  // namespace vellora
