#include "qvplatform/debug_output.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <thread>
#include <vector>

namespace qvplatform {
namespace {

TEST(DebugOutput, CaptureCollectsLinesAndNests) {
  ScopedDebugCapture outer;
  OutputDebugString("first\r\n");
  {
    ScopedDebugCapture inner;
    OutputDebugString(std::string("second\n"));
    OutputDebugString(static_cast<const char*>(nullptr));
    EXPECT_EQ(inner.Lines(), (std::vector<std::string>{"second", ""}));
  }
  OutputDebugString("multi\nline");  // one call is one line, inner line ends kept
  EXPECT_EQ(outer.Lines(), (std::vector<std::string>{"first", "multi\nline"}));
  outer.Clear();
  EXPECT_TRUE(outer.Lines().empty());
}

TEST(DebugOutput, StderrOnlyWhenAsked) {
  ScopedDebugCapture capture;
  unsetenv("VELLORA_DEBUG");
  ::testing::internal::CaptureStderr();
  OutputDebugString("quiet");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

  setenv("VELLORA_DEBUG", "0", 1);
  EXPECT_FALSE(DebugOutputToStderr());
  setenv("VELLORA_DEBUG", "1", 1);
  ::testing::internal::CaptureStderr();
  OutputDebugString("PDF engine detected problem");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "PDF engine detected problem\n");
  unsetenv("VELLORA_DEBUG");
  EXPECT_EQ(capture.Lines().size(), 2u);  // the capture sees both either way
}

TEST(DebugOutput, ConcurrentWritersLoseNoLine) {
  ScopedDebugCapture capture;
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < 500; ++i) OutputDebugString("t" + std::to_string(t));
    });
  for (auto& th : threads) th.join();
  const auto lines = capture.Lines();
  ASSERT_EQ(lines.size(), 4000u);
  int perThread[8] = {};
  for (const auto& l : lines) ++perThread[l[1] - '0'];
  for (int n : perThread) EXPECT_EQ(n, 500);
}

}  // namespace
}  // namespace qvplatform
