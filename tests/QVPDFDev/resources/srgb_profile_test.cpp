// The built-in sRGB profile: Little CMS reads it as a version 2 RGB display profile that
// maps colours as its own sRGB does, and it is exactly what its generator makes.
#include <gtest/gtest.h>
#include <lcms2.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "QVPDFDev/resources/srgb_profile.h"
#include "pdf_test_owner.h"

namespace vellora {
namespace {

TEST(SRGBProfile, LoadsAsAVersion2RGBDisplayProfile) {
  const std::span<const std::uint8_t> bytes = BuiltInSRGBProfile();
  ASSERT_GT(bytes.size(), 128u);
  cmsHPROFILE profile =
      cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size()));
  ASSERT_NE(profile, nullptr);
  EXPECT_GE(cmsGetProfileVersion(profile), 2.0);
  EXPECT_LT(cmsGetProfileVersion(profile), 3.0);
  EXPECT_EQ(cmsGetDeviceClass(profile), cmsSigDisplayClass);
  EXPECT_EQ(cmsGetColorSpace(profile), cmsSigRgbData);
  EXPECT_EQ(cmsGetPCS(profile), cmsSigXYZData);
  char description[64] = {};
  cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", description, sizeof description);
  EXPECT_STREQ(description, "sRGB IEC61966-2.1");
  // The declared size matches the data.
  const std::uint32_t declared =
      static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
      static_cast<std::uint32_t>(bytes[2]) << 8 | static_cast<std::uint32_t>(bytes[3]);
  EXPECT_EQ(declared, bytes.size());

  cmsHPROFILE reference = cmsCreate_sRGBProfile();
  cmsHTRANSFORM transform = cmsCreateTransform(profile, TYPE_RGB_8, reference, TYPE_RGB_8,
                                               INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE);
  ASSERT_NE(transform, nullptr);
  const std::uint8_t colours[][3] = {{0, 0, 0},   {255, 255, 255}, {255, 0, 0},   {0, 255, 0},
                                     {0, 0, 255}, {128, 128, 128}, {10, 200, 90}, {250, 240, 5}};
  for (const auto& in : colours) {
    std::uint8_t out[3];
    cmsDoTransform(transform, in, out, 1);
    for (int c = 0; c < 3; ++c) EXPECT_LE(std::abs(in[c] - out[c]), 1) << int(in[0]) << " " << c;
  }
  cmsDeleteTransform(transform);
  cmsCloseProfile(reference);
  cmsCloseProfile(profile);
}

TEST(SRGBProfile, IsWhatItsGeneratorMakes) {
  // The committed bytes were made with Little CMS 2.14; another version may write them
  // differently without either being wrong.
  if (LCMS_VERSION != 2140) GTEST_SKIP() << "made with another Little CMS";
  vellora_test::TempFile output("", ".icc");
  const auto result = vellora_test::RunTool({MAKE_SRGB_PROFILE, "--raw", output.Path().string()});
  ASSERT_EQ(result.status, 0) << result.out;
  std::ifstream in(output.Path(), std::ios::binary);
  const std::vector<std::uint8_t> made((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
  const std::span<const std::uint8_t> embedded = BuiltInSRGBProfile();
  EXPECT_EQ(made, std::vector<std::uint8_t>(embedded.begin(), embedded.end()))
      << "regenerate srgb_profile_data.cpp with make_srgb_profile";
}

}  // namespace
}  // namespace vellora
