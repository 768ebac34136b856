// The output bracket: what a page's content starts and ends with, and the balance of "q"/"Q"
// through save/restore, clips, text objects and resets in the middle of a page.
#include <gtest/gtest.h>

#include <stdexcept>

#include "QVGenDC/assertion_failed.h"
#include "content_checker.h"
#include "ps_test_device.h"

namespace vellora {
namespace {

using vellora_test::CheckContent;
using vellora_test::TestPSDevice;

TEST(PSDeviceOutput, EmptyPageIsOneBracket) {
  TestPSDevice d;
  EXPECT_TRUE(d.modes.Empty());  // the generic default mode is cleared
  EXPECT_TRUE(d.StartOutput(&d.stream));
  EXPECT_TRUE(d.stream.bytes.empty());  // nothing reaches the stream before the end
  EXPECT_EQ(d.Close(), "q Q ");
  // The device can start over with a new page.
  d.stream.bytes.clear();
  d.Open();
  EXPECT_EQ(d.Close(), "q Q ");
}

TEST(PSDeviceOutput, MisuseRaisesTheFixedErrors) {
  TestPSDevice d;
  EXPECT_THROW(d.EndOutput(), std::runtime_error);
  try {
    d.EndOutput();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Output is not open!");
  }
  try {
    d.StartOutput(nullptr);
    FAIL();
  } catch (const EQVAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "OutputStream must not be nil!");
  }
  try {
    d.PrepareDraw();
    FAIL();
  } catch (const EQVAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "Output is not open!");
  }
  d.Open();
  d.LineTo(1, 1);
  const std::size_t written = d.workBuffer.Size();
  EXPECT_THROW(d.StartOutput(&d.stream), std::runtime_error);
  EXPECT_EQ(d.workBuffer.Size(), written);  // state unchanged
  EXPECT_TRUE(d.outputOpen);
}

TEST(PSDeviceOutput, SaveRestoreClipAndTextKeepTheBracketsBalanced) {
  TestPSDevice d;
  d.Open();
  d.SaveDC();
  d.SaveDC();
  d.LineTo(5, 5);
  d.RestoreDC(-1);
  std::int32_t x = 10, y = 10;
  d.BeginText(x, y);
  d.PushClip();  // ends the text object before "q "
  d.BeginText(x, y);
  d.PopClip();
  // More restores than saves never pop the content's own level.
  d.RestoreDC(-1);
  d.RestoreDC(-1);
  d.RestoreDC(-1);
  d.LineTo(7, 7);
  d.SaveDC();  // left open: the end closes it
  const std::string content = d.Close();
  const auto report = CheckContent(content);
  EXPECT_TRUE(report.errors.empty()) << report.Summary() << "\n" << content;
  EXPECT_EQ(report.maxDepth, 3);
}

TEST(PSDeviceOutput, ResetWhileOpenFlushesABalancedPartAndStartsAgain) {
  TestPSDevice d;
  d.Open();
  d.SaveDC();
  d.LineTo(5, 5);
  std::int32_t x = 0, y = 0;
  d.BeginText(x, y);
  d.Reset();  // page set-up in the middle of a page
  // The first part went to the stream, closed.
  const std::string first = d.stream.bytes;
  EXPECT_TRUE(CheckContent(first).errors.empty()) << first;
  EXPECT_EQ(first.substr(first.size() - 4), "Q Q ");
  EXPECT_TRUE(d.outputOpen);
  EXPECT_EQ(d.WriterDepth(), 1);
  d.LineTo(8, 8);
  d.Reset();
  d.BeginPath(3);
  d.LineTo(3, 3);  // a bracket left open at the end is ended without painting
  const std::string all = d.Close();
  const auto report = CheckContent(all);
  EXPECT_TRUE(report.errors.empty()) << report.Summary() << "\n" << all;
  EXPECT_EQ(report.saves, 4);
}

TEST(PSDeviceOutput, FlushPendingEndsTextAndPathObjects) {
  TestPSDevice d;
  d.Open();
  std::int32_t x = 0, y = 0;
  d.BeginText(x, y);
  d.FlushPending();
  EXPECT_EQ(d.openObject, TQVGenericPSDevice::kOpenNothing);
  d.BeginPath(3);
  d.LineTo(4, 4);
  d.FlushPending();
  EXPECT_EQ(d.openObject, TQVGenericPSDevice::kOpenNothing);
  EXPECT_TRUE(d.transformDirty);
  const std::string content = d.Close();
  EXPECT_TRUE(CheckContent(content).errors.empty()) << content;
}

TEST(PSDeviceOutput, BaseWideTextConversionUsesTheSystemCodePage) {
  TestPSDevice d;
  std::string out;
  d.ConvertWideText(u"\u00e9\u20ac\u4e00", 3, out);
  EXPECT_EQ(out, "\xE9\x80?");  // what 1252 lacks becomes "?"
  d.ConvertWideText(nullptr, 3, out);
  EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace vellora
