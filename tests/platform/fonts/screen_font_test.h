// Fixture of the platform's font tests: the screen device context and the one font a test has
// selected into it, both released after the test. Skips when the test fonts are missing.
#pragma once

#include <gtest/gtest.h>

#include "font_test_env.h"
#include "qvplatform/device_context.h"
#include "qvplatform/font_service.h"

namespace vellora_test {

class ScreenFontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_FONTS();
    dc_ = qvplatform::GetDC(0);
  }
  void TearDown() override {
    if (dc_) qvplatform::ReleaseDC(0, dc_);
    if (font_) qvplatform::DeleteObject(font_);
  }
  // Selects font in place of the previous one, which is deleted.
  void Select(qvplatform::HFONT font) {
    if (font_) qvplatform::DeleteObject(font_);
    font_ = font;
    ASSERT_NE(qvplatform::SelectObject(dc_, font_), 0u);
  }
  qvplatform::HDC dc_ = 0;
  qvplatform::HFONT font_ = 0;
};

}  // namespace vellora_test
