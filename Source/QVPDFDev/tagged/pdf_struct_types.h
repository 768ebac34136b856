// The standard structure types of tagged PDF, for telling them from custom class names.
#pragma once

#include <string_view>

namespace vellora {

bool IsStandardStructureType(std::string_view type);

}  // namespace vellora
