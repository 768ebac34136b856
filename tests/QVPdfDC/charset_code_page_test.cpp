#include "QVPdfDC/charset_code_page.h"

#include <gtest/gtest.h>

#include <map>

namespace vellora {
namespace {

TEST(CharsetToCodePage, MapsTheTableAndDefaultsTo1252) {
  const std::map<int, std::uint32_t> special = {
      {128, 932},  {129, 949},  {134, 936},  {136, 950},  {161, 1253}, {162, 1254}, {163, 1258},
      {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}};
  for (int charset = -1; charset <= 300; ++charset) {
    const auto it = special.find(charset);
    EXPECT_EQ(CharsetToCodePage(charset), it == special.end() ? 1252u : it->second) << charset;
  }
}

}  // namespace
}  // namespace vellora
