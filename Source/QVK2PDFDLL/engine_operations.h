// What the entry points forward to, once they have found the context. Each may throw; the
// entry points catch everything.
#pragma once

#include <cstdint>

#include "QVK2PDFDLL/engine_context.h"

namespace vellora {

// Property keys (engine_properties.cpp): true when the key is known. A text longer than
// kMaxHostText is refused (false, nothing changes).
bool SetStringProperty(TQVPDFEngineContext& context, std::int32_t key, const char* text);
bool SetIntegerProperty(TQVPDFEngineContext& context, std::int32_t key, std::int32_t value);

// QVPDF_Do (engine_commands.cpp): the command's result; raises for a failure.
std::int32_t RunCommand(TQVPDFEngineContext& context, std::int32_t command, std::int32_t value,
                        void* record);

// The page record and the page coordinates (engine_page.cpp).
void InitializePage(TQVPDFEngineContext& context, const TQVPDFPageInit& page);
std::int32_t PageX(const TQVPDFEngineContext& context, std::int32_t x);
std::int32_t PageY(const TQVPDFEngineContext& context, std::int32_t y);

}  // namespace vellora
