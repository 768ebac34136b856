// The codes of the extended device's commands in metafile comments (8-bit records and record
// 291102). 520 to 522 mean other things to the PDF device, which claims them only when their
// text fits its own meaning.
#pragma once

#include <cstdint>

namespace vellora::field_command_codes {

enum : std::int32_t {
  kFieldNamed = 510,
  kField = 511,
  kCheckBox = 515,
  kFieldFont = 516,
  kFieldAlignment = 517,
  kFieldSettings = 518,
  kTextField = 519,
  kJavaScript = 520,
  kOpenAction = 521,
  kSplitAtBlanks = 522,
  kExactPositioning = 523,
  kPageText = 524,
  kFieldTrueTypeFont = 530,
  kFieldCharset = 531,
  kTextFieldOutput = 2519,
};

}  // namespace vellora::field_command_codes
