// The real program on an X server (Xvfb): its window and its open property dialog are taken
// from the screen into PNG files of the build tree, and the sample's colours must be there.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>

#include "qt_test_app.h"
#include "tool_run.h"

namespace brenlow_test {
namespace {

// Pixels within a small distance of colour.
int PixelsNear(const QImage& image, QColor colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
              std::abs(c.blue() - colour.blue()) <=
          24)
        ++count;
    }
  return count;
}

TEST(DemoScreen, TheWindowShowsTheSampleAndTheDialogOpens) {
  if (!vellora_test::HaveTool("xvfb-run")) GTEST_SKIP() << "xvfb-run is not installed";
  vellora_test::QtTestApp();
  const std::filesystem::path folder = DEMO_SCREEN_DIR;
  std::filesystem::remove_all(folder);
  const vellora_test::ToolResult run = vellora_test::RunTool(
      {"xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "env", "QT_QPA_PLATFORM=xcb",
       "LSAN_OPTIONS=suppressions=" + vellora_test::QtLeakSuppressionFile(),
       "BRENLOW_GRAB_DIR=" + folder.string(), BRENLOW_PROGRAM, REAL_ENGINE});
  ASSERT_TRUE(run.Succeeded()) << run.out;

  const QImage window(QString::fromStdString((folder / "brenlow-window.png").string()));
  ASSERT_FALSE(window.isNull()) << run.out;
  EXPECT_GE(window.width(), 600);
  // The sample's fills: yellow, green, red, blue and cyan shapes.
  const QColor fills[] = {
      {255, 221, 0}, {40, 170, 80}, {220, 30, 40}, {40, 80, 220}, {0, 190, 200}};
  for (const QColor& fill : fills)
    EXPECT_GT(PixelsNear(window, fill), 200) << fill.name().toStdString();

  const QImage dialog(QString::fromStdString((folder / "brenlow-dialog.png").string()));
  ASSERT_FALSE(dialog.isNull()) << run.out;
  EXPECT_GT(dialog.width(), 200);
  EXPECT_GT(dialog.height(), 200);
  EXPECT_EQ(PixelsNear(dialog, fills[0]), 0) << "the dialog's grab shows the picture";
}

}  // namespace
}  // namespace brenlow_test
