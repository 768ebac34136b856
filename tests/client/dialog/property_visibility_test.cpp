// Which sheets and controls the dialog shows or disables, the confirm button's caption, and
// Execute without a component.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QtTest/QTest>

#include "dialog_test_support.h"

namespace brenlow_test {
namespace {

using namespace brenlow;

bool FontModeEnabled(const QWidget& form) {
  return Control<QComboBox>(form, "FontMode").isEnabled();
}

TEST(PropertyFormVisibility, PdfAModeHidesSecurityAndDisablesFontModes) {
  TQVPDFPrinter p;
  p.SetPDFAMode(folvioaLevelA);
  auto form = ShownForm(p);
  EXPECT_FALSE(TabShown(*form, "TabSheet4"));
  EXPECT_FALSE(FontModeEnabled(*form));
  EXPECT_TRUE(TabShown(*form, "TabSheet1"));
  EXPECT_TRUE(TabShown(*form, "TabSheet3"));
}

TEST(PropertyFormVisibility, EitherBoxDisablesFontModesAndOnlyPdfAHidesSecurity) {
  TQVPDFPrinter p;
  p.SetCidFontMode(qvCIDUnicode);
  auto form = ShownForm(p);
  EXPECT_FALSE(FontModeEnabled(*form));
  EXPECT_TRUE(TabShown(*form, "TabSheet4"));

  QCheckBox& cid = Control<QCheckBox>(*form, "CIDFonts");
  QCheckBox& pdfa = Control<QCheckBox>(*form, "PDFAMode");
  struct Step {
    QCheckBox* box;
    bool fontModes, security;
  } steps[] = {
      {&pdfa, false, false}, {&cid, false, false}, {&pdfa, true, true}, {&cid, false, true}};
  for (const Step& s : steps) {
    Toggle(*s.box);
    EXPECT_EQ(FontModeEnabled(*form), s.fontModes) << s.box->objectName().toStdString();
    EXPECT_EQ(TabShown(*form, "TabSheet4"), s.security) << s.box->objectName().toStdString();
  }
}

TEST(PropertyFormVisibility, HiddenBoxesShowOnlyForTheExportClass) {
  class TQVPDFExport : public TQVPDFPrinter {
   public:
    std::string ClassName() const override { return "tqvpdfexport"; }
  };
  TQVPDFPrinter printer;
  TQVPDFExport exporter;
  for (TQVCustomPDFExport* p :
       {static_cast<TQVCustomPDFExport*>(&printer), static_cast<TQVCustomPDFExport*>(&exporter)}) {
    auto form = ShownForm(*p);
    const bool shown = p == &exporter;
    EXPECT_EQ(Control<QCheckBox>(*form, "ConvJPEG").isVisible(), shown);
    EXPECT_EQ(Control<QCheckBox>(*form, "CheckBox2").isVisible(), shown);
  }
}

TEST(PropertyFormVisibility, ExecuteShowsReadingOnlyWithInputModesAndCaptionsTheButton) {
  TQVPDFPrinter p;
  TQVPDFProperties properties;
  properties.SetPDFPrinter(&p);
  for (bool inputModes : {false, true}) {
    for (bool start : {false, true}) {
      properties.SetShowInputModes(inputModes);
      properties.SetShowStartButton(start);
      const bool confirmed = ExecuteAndClose(
          properties,
          [&](QWidget& dialog) {
            EXPECT_EQ(TabShown(dialog, "TabSheet2"), inputModes);
            EXPECT_TRUE(TabShown(dialog, "TabSheet4"));
            EXPECT_EQ(Control<QPushButton>(dialog, "Button4").text(), start ? "Start" : "OK");
          },
          start ? "Button4" : "Button5");
      EXPECT_EQ(confirmed, start);
    }
  }
}

TEST(PropertyFormVisibility, ExecuteWithoutAComponentRaises) {
  TQVPDFProperties properties;
  EXPECT_THROW(
      {
        try {
          properties.Execute();
        } catch (const std::runtime_error& e) {
          EXPECT_STREQ(e.what(), "PDFPrinter was not assigned");
          throw;
        }
      },
      std::runtime_error);
  // A component destroyed after being assigned leaves none behind.
  {
    TQVPDFPrinter p;
    properties.SetPDFPrinter(&p);
  }
  EXPECT_EQ(properties.PDFPrinter(), nullptr);
  EXPECT_THROW(properties.Execute(), std::runtime_error);
}

}  // namespace
}  // namespace brenlow_test
