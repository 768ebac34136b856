// The exception for a broken internal rule (an assertion of the engine's own code). It carries
// the system's fixed message; the device raises it and never aborts the process.
#pragma once

#include <stdexcept>
#include <string>

namespace vellora {

class EQVAssertionFailed : public std::logic_error {
 public:
  explicit EQVAssertionFailed(const std::string& message) : std::logic_error(message) {}
};

}  // namespace vellora
