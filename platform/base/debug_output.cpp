// One mutex guards the capture chain and every capture's lines, so a line is either captured
// whole or not at all, and stderr lines from several threads never interleave.
#include "qvplatform/debug_output.h"

#include "qvplatform/qvplatform_c.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace qvplatform {

namespace {

std::mutex& SinkMutex() {
  static std::mutex m;
  return m;
}

ScopedDebugCapture* g_innermost = nullptr;  // guarded by SinkMutex()
QvDebugLineHandler g_handler = nullptr;     // guarded by SinkMutex()
void* g_handlerData = nullptr;              // guarded by SinkMutex()

std::string_view WithoutLineEnd(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

}  // namespace

bool DebugOutputToStderr() {
  const char* value = std::getenv("VELLORA_DEBUG");
  return value != nullptr && value[0] != '\0' && !(value[0] == '0' && value[1] == '\0');
}

void OutputDebugString(std::string_view text) {
  text = WithoutLineEnd(text);
  const bool toStderr = DebugOutputToStderr();
  std::lock_guard<std::mutex> lock(SinkMutex());
  if (g_innermost != nullptr) g_innermost->lines_.emplace_back(text);
  if (g_handler != nullptr) {
    // The handler receives a terminated copy; the text may be a view into a longer buffer.
    const std::string line(text);
    g_handler(g_handlerData, line.c_str());
  }
  if (toStderr) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
  }
}

ScopedDebugCapture::ScopedDebugCapture() {
  std::lock_guard<std::mutex> lock(SinkMutex());
  outer_ = g_innermost;
  g_innermost = this;
}

ScopedDebugCapture::~ScopedDebugCapture() {
  std::lock_guard<std::mutex> lock(SinkMutex());
  // Captures normally end in reverse order; one that ends early is unlinked where it stands.
  for (ScopedDebugCapture** p = &g_innermost; *p != nullptr; p = &(*p)->outer_) {
    if (*p == this) {
      *p = outer_;
      break;
    }
  }
}

std::vector<std::string> ScopedDebugCapture::Lines() const {
  std::lock_guard<std::mutex> lock(SinkMutex());
  return lines_;
}

void ScopedDebugCapture::Clear() {
  std::lock_guard<std::mutex> lock(SinkMutex());
  lines_.clear();
}

}  // namespace qvplatform

extern "C" void QvSetDebugLineHandler(QvDebugLineHandler handler, void* userData) {
  std::lock_guard<std::mutex> lock(qvplatform::SinkMutex());
  qvplatform::g_handler = handler;
  qvplatform::g_handlerData = userData;
}
