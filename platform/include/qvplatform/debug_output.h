// The debug sink: diagnostics of the engine and the platform. A line goes to stderr when the
// environment variable VELLORA_DEBUG is set to anything but "" or "0" (read at each call), and
// to the innermost ScopedDebugCapture while one exists. Thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qvplatform {

// Sends one line; a single trailing line end ("\n" or "\r\n") of text is not part of it.
void OutputDebugString(std::string_view text);
inline void OutputDebugString(const char* text) {
  OutputDebugString(text != nullptr ? std::string_view(text) : std::string_view());
}

// True when VELLORA_DEBUG asks for stderr output.
bool DebugOutputToStderr();

// Collects the lines sent while it exists (from any thread). Captures nest: the innermost
// one receives the lines; an outer one receives them again once the inner one is gone.
class ScopedDebugCapture {
 public:
  ScopedDebugCapture();
  ~ScopedDebugCapture();
  ScopedDebugCapture(const ScopedDebugCapture&) = delete;
  ScopedDebugCapture& operator=(const ScopedDebugCapture&) = delete;

  std::vector<std::string> Lines() const;  // a copy, safe while other threads write
  void Clear();

 private:
  friend void OutputDebugString(std::string_view text);
  ScopedDebugCapture* outer_;
  std::vector<std::string> lines_;
};

}  // namespace qvplatform
