#include "QVPDFDev/security/permission_value.h"

#include "QVPDFDev/security/security_options.h"

namespace vellora {

std::int32_t PermissionValue(std::uint16_t options, bool uses128Bit) {
  const auto has = [options](std::uint16_t bit) { return (options & bit) != 0; };
  std::uint32_t p = 0xFFFFF0C0u;
  if (has(kEnablePrinting)) p += uses128Bit && !has(kLowQualityPrintOnly) ? 0x804u : 4u;
  if (uses128Bit) {
    if (has(kEnableFormFieldFillIn)) p += 0x100;
    if (has(kEnableAccessibilityOp)) p += 0x200;
    if (has(kEnableDocAssembly)) p += 0x400;
  }
  if (has(kEnableChanging)) p += 8;
  if (has(kEnableCopying)) p += 0x10;
  if (has(kEnableForms)) p += 0x20;
  return static_cast<std::int32_t>(p);
}

}  // namespace vellora
