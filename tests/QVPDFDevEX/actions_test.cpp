// JavaScript actions and open actions: scripts bound to a field and to a page as poppler
// lists them, and the catalog's /OpenAction as qpdf reads it.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ex_test_document.h"
#include "pdf_tools.h"
#include "temp_files.h"
#include "tool_run.h"

namespace vellora {
namespace {

using vellora_test::ExDocument;
using vellora_test::QpdfJsonQuery;
using vellora_test::QpdfProblems;

std::string Ref(std::int32_t number) { return std::to_string(number) + " 0 R"; }

TEST(Actions, ScriptsOfFieldsAndPagesAreListed) {
  ExDocument doc;
  const std::int32_t calc = doc.device.AddJavaScriptAction("calc", u"event.value = 6 * 7;");
  const std::int32_t opened = doc.device.AddJavaScriptAction("opened", u"console.println('p1');");
  ASSERT_GT(calc, 0);
  ASSERT_GT(opened, 0);
  doc.Command(511, "000/FT/Tx/T(Total)/AA<</C " + Ref(calc) + ">>", {20, 20, 120, 40});
  doc.Command(524, "/AA<</O " + Ref(opened) + ">>");
  const std::string pdf = doc.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  const vellora_test::TempFile file(pdf, ".pdf");
  const std::string js = vellora_test::RunTool({"pdfinfo", "-js", file.Path().string()}).out;
  EXPECT_NE(js.find("event.value = 6 * 7;"), std::string::npos) << js;
  EXPECT_NE(js.find("console.println('p1');"), std::string::npos) << js;
}

// The catalog's /OpenAction: "none", or the action's type and script, then "->" and the
// scripts of its /Next actions; "form" when the catalog has an /AcroForm.
std::string OpenActionOf(const std::string& pdf) {
  return QpdfJsonQuery(pdf, R"(
cat = get(trailer['/Root'])
def load(a):
    return get(a) if isinstance(a, str) else a
def script(a):
    js = a.get('/JS', '')
    return js[2:] if js.startswith('u:') else js
oa = cat.get('/OpenAction')
if oa is None:
    line = 'none'
else:
    a = load(oa)
    line = a['/S'][1:] + ':' + script(a)
    if '/Next' in a:
        line += ' -> ' + ' '.join(script(load(n)) for n in a['/Next'])
print(line + (' form' if '/AcroForm' in cat else ''))
)");
}

TEST(Actions, OpenActionsTakeOneKey) {
  struct Case {
    const char* name;
    std::function<void(ExDocument&)> commands;
    bool zoom;
    const char* expected;
  };
  const Case cases[] = {
      {"nothing", [](ExDocument&) {}, false, "none\n"},
      {"zoom only", [](ExDocument&) {}, true, "GoTo:\n"},
      {"one action", [](ExDocument& d) { d.Command(520, "a=one()").Command(521, "openaction=a"); },
       false, "JavaScript:one()\n"},
      {"two names",
       [](ExDocument& d) {
         d.Command(520, "a=one()").Command(520, "b=two()");
         d.Command(521, "OpenAction=A").Command(521, "openaction=b");
       },
       false, "JavaScript: -> one() two()\n"},
      {"bound twice",
       [](ExDocument& d) {
         d.Command(520, "a=one()").Command(521, "openaction=a").Command(521, "openaction=a");
       },
       false, "JavaScript: -> one() one()\n"},
      {"one name, two actions, zoom",
       [](ExDocument& d) {
         d.Command(520, "a=one()").Command(520, "a=two()").Command(521, "openaction=a");
       },
       true, "GoTo: -> one() two()\n"},
      {"another event", [](ExDocument& d) { d.Command(520, "a=one()").Command(521, "close=a"); },
       false, "none\n"},
      {"UTF-16 script",
       [](ExDocument& d) {
         d.Unicode(520, u"g=app.alert('\u03A9\u03BC\u03AD\u03B3\u03B1')");
         d.Unicode(521, u"openaction=g");
       },
       false, "JavaScript:app.alert('\u03A9\u03BC\u03AD\u03B3\u03B1')\n"},
      {"a field",
       [](ExDocument& d) {
         d.Command(519, "@F=x", {0, 0, 50, 20});
       },
       false, "none form\n"},
  };
  for (const Case& c : cases) {
    ExDocument doc;
    if (c.zoom) doc.device.options.writer.SetZoomMode(pwZoomFitPage);
    c.commands(doc);
    const std::string pdf = doc.Finish();
    EXPECT_EQ(QpdfProblems(pdf), "") << c.name;
    EXPECT_EQ(OpenActionOf(pdf), c.expected) << c.name;
  }
}

TEST(Actions, NoJavaScriptInPdfA) {
  vellora_test::FixedDocumentEnvironment env;
  TQVPDFDeviceEX d;
  d.options.writer.SetPdfaMode(folvioaLevelA);
  d.BeginDoc(576, 800, 72, 0);
  EXPECT_EQ(d.AddJavaScriptAction("a", u"one()"), -1);
  EXPECT_TRUE(d.Actions().empty());
  d.EndDoc();
}

}  // namespace
}  // namespace vellora
