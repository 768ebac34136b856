// The engine's built-in sRGB output profile (ICC version 2.1, display class, RGB), made by
// generate/make_srgb_profile.cpp; the bytes are constant data, so any thread may read them.
#pragma once

#include <cstdint>
#include <span>

namespace vellora {

std::span<const std::uint8_t> BuiltInSRGBProfile();

}  // namespace vellora
