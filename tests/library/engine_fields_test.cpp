// Form fields and actions through QVPDF_Do (5575, 5577, 5578): fields in device units at two
// resolutions, their names and values as qpdf reads them, the results of the action
// commands, and the calls that come back as -1.
#include <gtest/gtest.h>

#include <string>

#include "engine_host.h"

namespace vellora_test {
namespace {

void* Text(const char* text) { return const_cast<char*>(text); }

TQVPDFCommand Field(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  TQVPDFCommand record{};
  record.Head.Field.X = x;
  record.Head.Field.Y = y;
  record.Head.Field.Width = width;
  record.Head.Field.Height = height;
  return record;
}

// Each widget: its name and /Rect.
const char kRectScript[] = R"(
for key, o in sorted(objs.items()):
    v = o.get('value')
    if isinstance(v, dict) and v.get('/Subtype') == '/Widget':
        print(v['/T'][2:], v['/Rect'])
)";

TEST(EngineFields, FieldsCoverTheirRectangleAtEachResolution) {
  if (!HaveTool("qpdf") || !HaveTool("python3")) GTEST_SKIP() << "qpdf or python3 missing";
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  for (const std::int32_t dpi : {72, 300}) {
    EngineContext c;
    ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, Text("")), 0);
    const TQVPDFPageInit page = PageRecord(612 * dpi / 72, 792 * dpi / 72, dpi);
    ASSERT_EQ(e->InitializePage(c, 0, &page), 1);
    ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
    // One inch from the left, two from the top, two inches wide and half an inch high.
    TQVPDFCommand text = Field(dpi, 2 * dpi, 2 * dpi, dpi / 2);
    text.Head.Field.Flags = QVPDF_FIELD_RIGHT_ALIGNED | QVPDF_FIELD_UTF8;
    text.FieldValue = "\xCE\xA9 (a)";
    text.Tooltip = "Tip";
    EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_FORM_FIELD, 0, &text), 0);
    TQVPDFCommand checked = Field(dpi, 3 * dpi, dpi / 4, dpi / 4);
    checked.Head.Field.Kind = QVPDF_FIELD_CHECK_BOX;
    checked.Head.Field.Checked = 1;
    EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_FORM_FIELD, 0, &checked), 0);
    TQVPDFCommand unchecked = Field(2 * dpi, 3 * dpi, dpi / 4, dpi / 4);
    unchecked.Head.Field.Kind = QVPDF_FIELD_CHECK_BOX;
    EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_FORM_FIELD, 0, &unchecked), 0);
    ASSERT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
    const std::string pdf = DocumentBytes(c);
    EXPECT_EQ(QpdfProblems(pdf), "") << dpi;
    const std::string fields = QpdfFormFields(pdf);
    EXPECT_NE(fields.find("Field2|/Tx|\u03A9 (a)|0|Tip|-|\n"), std::string::npos) << fields;
    EXPECT_NE(fields.find("Field4|/Btn|/Yes|0|Field4|checkbox|/Yes\n"), std::string::npos)
        << fields;
    EXPECT_NE(fields.find("Field6|/Btn|/Off|0|Field6|checkbox|/Off\n"), std::string::npos)
        << fields;
    const std::string rects = QpdfJsonQuery(pdf, kRectScript);
    EXPECT_NE(rects.find("Field2 [72, 612, 216, 648]"), std::string::npos) << dpi << rects;
    EXPECT_NE(rects.find("Field4 [72, 558, 90, 576]"), std::string::npos) << dpi << rects;
  }
}

TEST(EngineFields, ActionResultsAndRefusals) {
  if (!HaveTool("qpdf") || !HaveTool("python3")) GTEST_SKIP() << "qpdf or python3 missing";
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  EngineContext c;
  // No document yet: nothing to add to, and no crash.
  EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_JAVASCRIPT, 0, Text("a=one()")), -1);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BIND_DOC_ACTION, 0, Text("openaction=a")), -1);
  TQVPDFCommand field = Field(10, 10, 50, 20);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_FORM_FIELD, 0, &field), -1);

  ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, Text("")), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_FORM_FIELD, 0, &field), -1);  // no page open
  EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_FORM_FIELD, 0, nullptr), -1);
  const std::int32_t action = e->Do(c, QVPDF_CMD_ADD_JAVASCRIPT, 0, Text("start=app.beep(0)"));
  EXPECT_GT(action, 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_JAVASCRIPT, 0, Text("no equals sign")), -1);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_JAVASCRIPT, 0, nullptr), -1);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BIND_DOC_ACTION, 0, Text("OpenAction=Start")), -1);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BIND_DOC_ACTION, 0, nullptr), -1);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
  const std::string pdf = DocumentBytes(c);
  EXPECT_EQ(QpdfProblems(pdf), "");
  // The open action is the action object whose number 5577 gave.
  EXPECT_EQ(QpdfJsonQuery(pdf, "print(get(trailer['/Root'])['/OpenAction'])"),
            std::to_string(action) + " 0 R\n");
}

}  // namespace
}  // namespace vellora_test
