// The registry's INI lookup on arbitrary text: nothing may crash, hang or read outside the
// input, and a value found is a part of the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "qvplatform/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > qvplatform::kMaxRegistryFileBytes) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const char* section : {"", "Software\\Torvane\\Folvio\\3.0", "a"}) {
    for (const char* name : {"path", "", "a"}) {
      std::string value;
      if (qvplatform::IniFindValue(text, section, name, &value) &&
          text.find(value) == std::string_view::npos)
        std::abort();
    }
  }
  return 0;
}
