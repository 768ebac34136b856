// The nine entry points of libvellora.so: each finds its context, checks the host's
// arguments and forwards; one trap turns whatever is thrown into the entry point's failure
// value and a line on the debug sink.
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "QVK2PDFDLL/element_painter.h"
#include "QVK2PDFDLL/engine_operations.h"
#include "qvplatform/debug_output.h"
#include "vellora/vellora.h"

namespace {

using vellora::TQVContextUse;

// The debug line of a failure: the message, then " (" + where + ")".
void ReportFailure(const char* message, std::string_view where) noexcept {
  try {
    std::string line = message;
    line += " (";
    line += where;
    line += ')';
    qvplatform::OutputDebugString(line);
  } catch (...) {
    // Out of memory while reporting: the failure value still reaches the host.
  }
}

template <class Result, class Body>
Result Trap(Result failure, std::string_view where, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::exception& e) {
    ReportFailure(e.what(), where);
  } catch (...) {
    ReportFailure("Unknown exception", where);
  }
  return failure;
}

}  // namespace

extern "C" {

QVPDF_API TQVPDFEngineContext* QVPDF_Initialize(int32_t version, TQVPDFEngineCallback callback,
                                                void* userData) {
  return Trap<TQVPDFEngineContext*>(nullptr, "QVPDF_Initialize", [&]() -> TQVPDFEngineContext* {
    if (version > QVPDF_INTERFACE_VERSION_MAX) return nullptr;
    return vellora::RegisterContext(
        std::make_unique<vellora::TQVPDFEngineContext>(callback, userData));
  });
}

QVPDF_API void QVPDF_Finalize(TQVPDFEngineContext* context) {
  Trap(0, "QVPDF_Finalize", [&] {
    vellora::FinalizeContext(context);
    return 0;
  });
}

QVPDF_API bool QVPDF_SetSProp(TQVPDFEngineContext* context, int32_t key, const char* text) {
  return Trap(false, "QVPDF_SetSProp", [&] {
    TQVContextUse c(context);
    return c && vellora::SetStringProperty(*c, key, text);
  });
}

QVPDF_API bool QVPDF_SetIProp(TQVPDFEngineContext* context, int32_t key, int32_t value) {
  return Trap(false, "QVPDF_SetIProp", [&] {
    TQVContextUse c(context);
    return c && vellora::SetIntegerProperty(*c, key, value);
  });
}

QVPDF_API int32_t QVPDF_Do(TQVPDFEngineContext* context, int32_t command, int32_t value,
                           void* record) {
  return Trap<int32_t>(-1, std::to_string(command), [&]() -> int32_t {
    TQVContextUse c(context);
    if (!c) return -1;
    return vellora::RunCommand(*c, command, value, record);
  });
}

QVPDF_API int32_t QVPDF_InitializePage(TQVPDFEngineContext* context, int32_t unused,
                                       const TQVPDFPageInit* page) {
  (void)unused;
  return Trap<int32_t>(0, "QVPDF_InitializePage", [&]() -> int32_t {
    TQVContextUse c(context);
    if (!c || page == nullptr) return 0;
    vellora::InitializePage(*c, *page);
    return 1;
  });
}

// Always 0, whatever the element did: hosts go on with the next element.
QVPDF_API int32_t QVPDF_QVKEXEC(TQVPDFEngineContext* context, TQVPDFElement* element,
                                const TQVPDFElementRect* rect, const char* text, int32_t reserved1,
                                int32_t reserved2) {
  (void)reserved1, (void)reserved2;
  Trap(0, QVPDF_SYMBOL_QVKEXEC, [&] {
    TQVContextUse c(context);
    if (c) vellora::PaintElement(*c, element, rect, text);
    return 0;
  });
  return 0;
}

QVPDF_API int32_t QVPDF_XPOS(TQVPDFEngineContext* context, int32_t x) {
  return Trap(x, "QVPDF_XPOS", [&] {
    TQVContextUse c(context);
    return c ? vellora::PageX(*c, x) : x;
  });
}

QVPDF_API int32_t QVPDF_YPOS(TQVPDFEngineContext* context, int32_t y) {
  return Trap(y, "QVPDF_YPOS", [&] {
    TQVContextUse c(context);
    return c ? vellora::PageY(*c, y) : y;
  });
}

}  // extern "C"
