// The text state written before text: exact operators, written only when they change. (Black
// comes from the work buffer as " 0 g ", with a blank of its own in front.)
#include <gtest/gtest.h>

#include "QVGenDC/face_name.h"
#include "QVPDFDev/fonts/font_text_state.h"
#include "font_test_document.h"
#include "font_test_env.h"

namespace vellora {
namespace {

namespace fontdoc = vellora_test::fontdoc;
using fontdoc::FontTestDocument;

class FontTextState : public testing::Test {
 protected:
  void SetUp() override {
    if (!vellora_test::UsePrivateFontConfig()) GTEST_SKIP() << "test fonts missing";
    AssignFaceName(level.font, level.faceName, "Arial");
    level.font.lfWeight = 400;
    input.level = &level;
    input.writer = &writer;
  }
  // What one call writes.
  std::string Write(float size) {
    buffer.Reset();
    WritePDFTextState(doc.Fonts(), record, input, &buffer, size);
    return std::string(buffer.Text());
  }

  FontTestDocument doc{qvUseTrueTypeFonts};
  TQVDCStackVar level;
  TQVWriterStackVar writer;
  TQVTextStateInput input;
  TQVTextStateRecord record;
  TQVPDFDeviceWorkBuffer buffer;
};

TEST_F(FontTextState, FontSizeRiseAndColourOnceEach) {
  EXPECT_EQ(Write(12), "/F1 12 Tf 0 Ts  0 g ");
  EXPECT_EQ(Write(12), "");
  EXPECT_EQ(Write(9.5f), "/F1 9.5 Tf 0 Ts ");
  level.textColor = 0x0000FF;
  level.superscript = true;
  EXPECT_EQ(Write(9.5f), "4.75 Ts 1 0 0 rg ");
  level.superscript = false;
  level.subscript = true;
  EXPECT_EQ(Write(9), "/F1 9 Tf -3 Ts ");
  EXPECT_EQ(record.fontResourceName, "F1");
  EXPECT_EQ(writer.fontFaceName, "Arial");
  EXPECT_FALSE(writer.fontIsCID);
  input.fontScale = 1.5f;
  input.resetPending = true;
  EXPECT_EQ(Write(9), "/F1 13.5 Tf -3 Ts 1 0 0 rg ");
}

TEST_F(FontTextState, BoldIsARealFaceOrStroked) {
  level.font.lfWeight = 700;
  input.realBoldFace = true;
  EXPECT_EQ(Write(12), "/F1 12 Tf 0 Ts  0 g ");
  EXPECT_EQ(doc.Current()->descriptor->GetFontName(), "Arial,Bold");
  // Without a bold face the text is filled and stroked with the text colour.
  input.realBoldFace = false;
  level.textColor = 0x00FF00;
  level.font.lfItalic = 1;
  EXPECT_EQ(Write(12), "/F2 12 Tf 0 J 0 j 0 1 0 RG 0.6 w [] 0 d 2 Tr 0 Ts 0 1 0 rg ");
  EXPECT_EQ(doc.Current()->descriptor->GetFontName(), "Arial,Italic");
  EXPECT_TRUE(writer.rewritePen);
  // The stroked mode ends with its font.
  level.font.lfWeight = 400;
  EXPECT_EQ(Write(12), "/F2 12 Tf 0 Ts 0 Tr ");
  // Mode value 21 strokes even when a bold face exists.
  level.font.lfWeight = 800;
  input.realBoldFace = true;
  input.strokeBoldMode = true;
  EXPECT_EQ(Write(12), "/F2 12 Tf 0 J 0 j 0.6 w [] 0 d 2 Tr 0 Ts ");
}

TEST_F(FontTextState, OutlineAndRenderFlag) {
  level.outlineText = true;
  level.outlineColor = 0xFF0000;
  EXPECT_EQ(Write(20), "/F1 20 Tf 0 J 0 j 0 0 1 RG 0.5 w [] 0 d 2 Tr 0 Ts  0 g ");
  level.renderFlag = true;
  record.dirty = true;
  EXPECT_EQ(Write(20), "/F1 20 Tf 0 J 0 j 0 0 1 RG 0.5 w [] 0 d 2 Tr 0 Ts  0 g 1 Tr ");
  level.outlineText = false;
  EXPECT_EQ(Write(20), "0 Tr ");
}

TEST_F(FontTextState, SpacingAndScale) {
  Write(12);
  level.charSpacing = 0.25f;
  level.wordSpacing = -1.0f;
  EXPECT_EQ(Write(12), "0.25 Tc -1 Tw ");
  level.charSpacing = 0.2501f;  // the same in thousandths
  EXPECT_EQ(Write(12), "");
  level.charSpacing = 0;
  level.horizontalScale = 0.8f;
  EXPECT_EQ(Write(12), "0 Tc 80 Tz ");
  input.horizontalScale = 0.5f;
  EXPECT_EQ(Write(12), "40 Tz ");
  level.horizontalScale = 0;
  EXPECT_EQ(Write(12), "50 Tz ") << "the device's scale alone";
  input.horizontalScale = 0;
  EXPECT_EQ(Write(12), "100 Tz ");
}

TEST_F(FontTextState, SpacingIsWrittenAgainAfterItsLevelIsRestored) {
  Write(12);
  const TQVWriterStackVar outer = writer;  // "q": the inner level starts as a copy
  level.charSpacing = 4;
  level.wordSpacing = 2;
  level.horizontalScale = 1.2f;
  EXPECT_EQ(Write(12), "4 Tc 2 Tw 120 Tz ");
  EXPECT_EQ(Write(12), "");
  writer = outer;  // "Q" gives back the spacing of the level below
  EXPECT_EQ(Write(12), "4 Tc 2 Tw 120 Tz ");
}

TEST_F(FontTextState, WithoutABufferOnlyTheFontIsSelected) {
  WritePDFTextState(doc.Fonts(), record, input, nullptr, 0);
  ASSERT_NE(doc.Current(), nullptr);
  EXPECT_EQ(doc.Current()->name, "Arial");
  EXPECT_EQ(Write(12), "/F1 12 Tf 0 Ts  0 g ");
}

}  // namespace
}  // namespace vellora
