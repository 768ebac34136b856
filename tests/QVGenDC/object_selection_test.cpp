// Selecting table objects into the current DC level.
#include <gtest/gtest.h>

#include "stub_device.h"

namespace vellora {
namespace {

// Counts the font selections the device announces.
struct CountingDevice : vellora_test::StubDevice {
  void ObjectSelected() override { ++selected; }
  int selected = 0;
};

TEST(ObjectSelection, CopiesAttributesAndReturnsThePreviousIndex) {
  CountingDevice device;
  const std::int32_t pen = device.CreatePen(0x2001, 7, 0x0000FF);
  const std::int32_t brush = device.CreateBrush(2, 0x00FF00, 3);
  EXPECT_EQ(device.SelectObject(pen), 0);
  EXPECT_EQ(device.SelectObject(brush), 0);
  EXPECT_EQ(device.SelectObject(device.objects.StockObject(7)), pen);
  device.SelectObject(pen);

  const auto& level = device.CurrentDCState();
  EXPECT_EQ(level.selectedPen, pen);
  EXPECT_EQ(level.penWidth, 7);
  EXPECT_EQ(level.penStyle, 1);
  EXPECT_EQ(level.penColor, 0x0000FFu);
  EXPECT_EQ(level.penJoin, kPenJoinMiter);
  EXPECT_EQ(level.brushStyle, 2);
  EXPECT_EQ(level.brushColor, 0x00FF00u);
  EXPECT_EQ(level.brushHatch, 3u);
  EXPECT_EQ(device.selected, 0);  // only fonts are announced
}

TEST(ObjectSelection, FontCopiesTheLogicalFontAndAnnouncesIt) {
  CountingDevice device;
  qvplatform::LOGFONTW logFont;
  logFont.lfHeight = -24;
  logFont.lfItalic = 1;
  const char16_t face[] = u"Times New Roman";
  std::copy(std::begin(face), std::end(face), logFont.lfFaceName);
  const std::int32_t font = device.CreateFont(logFont);
  device.CurrentDCState().escapementChanged = true;

  EXPECT_EQ(device.SelectObject(font), 0);
  const auto& level = device.CurrentDCState();
  EXPECT_EQ(level.selectedFont, font);
  EXPECT_EQ(level.font.lfHeight, -24);
  EXPECT_EQ(level.font.lfItalic, 1);
  EXPECT_EQ(level.faceName, "Times New Roman");
  EXPECT_EQ(level.font.lfFaceName[6], u'N');
  EXPECT_FALSE(level.escapementChanged);
  EXPECT_EQ(device.selected, 1);

  // A font without a face name is selected as "Arial".
  device.SelectObject(device.CreateFont(qvplatform::LOGFONTW{}));
  EXPECT_EQ(device.CurrentDCState().faceName, "Arial");
  EXPECT_EQ(device.CurrentDCState().font.lfFaceName[0], u'A');
}

TEST(ObjectSelection, NothingToSelectReturnsZeroAndChangesNothing) {
  CountingDevice device;
  const std::int32_t pen = device.CreatePen(0, 9, 0xFF);
  device.SelectObject(pen);
  const std::int32_t gone = device.CreatePen(0, 1, 0);
  device.DeleteObject(gone);
  for (std::int32_t index : {gone, -5, 1000, device.objects.StockObject(14), 0}) {
    EXPECT_EQ(device.SelectObject(index), 0) << index;
    EXPECT_EQ(device.CurrentDCState().selectedPen, pen) << index;
    EXPECT_EQ(device.CurrentDCState().penWidth, 9) << index;
  }
}

TEST(ObjectSelection, PalettesOnlyThroughSelectPalette) {
  vellora_test::StubDevice device;
  const std::uint8_t entry[] = {1, 2, 3, 0};
  const std::int32_t palette = device.CreatePalette(1, entry);
  const std::int32_t pen = device.CreatePen(0, 1, 0);
  EXPECT_EQ(device.SelectPalette(pen), 0);
  EXPECT_EQ(device.CurrentDCState().selectedPen, 0);
  EXPECT_EQ(device.SelectPalette(palette), 0);
  EXPECT_EQ(device.CurrentDCState().selectedPalette, palette);
  EXPECT_EQ(device.SelectObject(palette), palette);
}

TEST(ObjectSelection, PenMarksTheWrittenLevelWithoutCreatingOne) {
  vellora_test::StubDevice device;
  const std::int32_t pen = device.CreatePen(0, 1, 0);
  device.SelectObject(pen);
  EXPECT_EQ(device.WriterDepth(), 0);  // a level made here would get no matching "q "

  device.PushWriterState();
  device.WriterState().rewritePen = false;
  device.SelectObject(pen);
  EXPECT_TRUE(device.WriterState().rewritePen);
  EXPECT_EQ(device.WriterDepth(), 1);
}

}  // namespace
}  // namespace vellora
