// A PDF tool fills the fields: qpdf sets a text field's value and unchecks a box through
// --update-from-json, regenerates the appearances, and poppler shows the result.
#include <gtest/gtest.h>

#include <string>

#include "ex_test_document.h"
#include "page_render.h"
#include "pdf_tools.h"
#include "temp_files.h"
#include "tool_run.h"

namespace vellora {
namespace {

using vellora_test::RunTool;
using vellora_test::TempFile;

// Writes the changes of the fields into qpdf's JSON of the file and applies them.
const char kFillScript[] = R"(
import json, subprocess, sys
src, changes, out = sys.argv[1:4]
doc = json.loads(subprocess.run(['qpdf', '--json-output', src], capture_output=True,
                                check=True).stdout)
for o in doc['qpdf'][1].values():
    v = o.get('value')
    if not isinstance(v, dict):
        continue
    if v.get('/T') == 'u:Name':
        v['/V'] = 'u:Filled in'
    if v.get('/T') == 'u:Agree':
        v['/V'] = '/Off'
        v['/AS'] = '/Off'
    if '/Fields' in v:
        v['/NeedAppearances'] = True
json.dump(doc, open(changes, 'w'))
subprocess.run(['qpdf', '--update-from-json=' + changes, src, out + '.tmp'], check=True)
subprocess.run(['qpdf', '--generate-appearances', out + '.tmp', out], check=True)
)";

TEST(FormFilling, QpdfFillsTextAndUnchecksTheBox) {
  vellora_test::ExDocument doc;
  doc.Command(519, "@Name=Typed by hand", {20, 20, 220, 45});
  doc.Command(511, "003/Ff 0/FT/Btn/V/Yes/AS/Yes/T(Agree)", {20, 60, 40, 80});
  const TempFile source(doc.Finish(), ".pdf");
  const TempFile changes("", ".json");
  const TempFile filled("", ".pdf");
  const TempFile script(kFillScript, ".py");
  const vellora_test::ToolResult run =
      RunTool({"python3", script.Path().string(), source.Path().string(), changes.Path().string(),
               filled.Path().string()});
  ASSERT_EQ(run.status, 0) << run.out;
  const std::string pdf = vellora_test::ReadFile(filled.Path());
  EXPECT_EQ(vellora_test::QpdfProblems(pdf), "");
  const std::string text = vellora_test::PdfToText(pdf).out;
  EXPECT_NE(text.find("Filled in"), std::string::npos) << text;
  EXPECT_EQ(text.find("Typed by hand"), std::string::npos) << text;
  const vellora_test::Raster page = vellora_test::RenderPage(pdf);
  ASSERT_TRUE(page.ok) << page.diagnostics;
  EXPECT_FALSE(page.Dark(30, 70));  // the cross is gone, the frame stays
  EXPECT_TRUE(page.Dark(20, 70));
}

}  // namespace
}  // namespace vellora
