#include "pdf_tools.h"

#include <cstdlib>
#include <iterator>
#include <sstream>

#include "temp_files.h"

namespace vellora_test {

ToolResult QpdfCheck(const std::string& pdf) {
  const TempFile file(pdf);
  return RunTool({"qpdf", "--check", file.Path().string()});
}

std::string QpdfProblems(const std::string& pdf) {
  if (!HaveTool("qpdf")) return "qpdf missing";
  const ToolResult check = QpdfCheck(pdf);
  if (check.Succeeded() && check.out.find("WARNING") == std::string::npos &&
      check.out.find("No syntax or stream encoding errors found") != std::string::npos)
    return {};
  if (check.out.empty()) return "qpdf failed";
  return check.out + "\n(exit status " + std::to_string(check.status) + ")";
}

std::string QpdfJson(const std::string& pdf) {
  const TempFile file(pdf);
  const ToolResult json =
      RunTool({"qpdf", "--json=2", file.Path().string()}, ToolErrors::kSeparate);
  return json.started ? json.out : std::string();
}

std::string QpdfJsonQuery(const std::string& pdf, const std::string& script) {
  static const std::string prelude = R"(
import json, sys
doc = json.load(sys.stdin)
objs = doc['qpdf'][1]
def get(ref):
    o = objs['obj:' + ref]
    return o['value'] if 'value' in o else o['stream']['dict']
trailer = objs['trailer']['value']
)";
  const TempFile py(prelude + script, ".py");
  return RunTool({"python3", py.Path().string()}, ToolErrors::kJoin, QpdfJson(pdf)).out;
}

std::string QpdfOutlineTree(const std::string& pdf) {
  static const char script[] = R"(
root = get(trailer['/Root'])
kids = get(root['/Pages'])['/Kids']
def text(s):
    return s[2:] if s.startswith('u:') else s
def walk(ref):
    out = []
    while ref:
        o = get(ref)
        d = o.get('/Dest')
        page = kids.index(d[0]) + 1 if d else 0
        inner = walk(o.get('/First'))
        out.append(text(o['/Title']) + '@' + str(page) + ('(' + inner + ')' if inner else ''))
        ref = o.get('/Next')
    return ' '.join(out)
if '/Outlines' in root:
    outlines = get(root['/Outlines'])
    print(walk(outlines.get('/First')), outlines.get('/Count'))
else:
    print('none')
)";
  return QpdfJsonQuery(pdf, script);
}

std::string QpdfFormFields(const std::string& pdf) {
  static const char script[] = R"(
import json, sys
form = json.load(sys.stdin).get('acroform', {})
if not form.get('hasacroform'):
    print('no form')
def text(v):
    v = '' if v is None else str(v)
    return v[2:] if v.startswith('u:') else v
for f in form.get('fields', []):
    kind = 'checkbox' if f.get('ischeckbox') else 'radio' if f.get('isradiobutton') else '-'
    print('|'.join([text(f.get('fullname')), text(f.get('fieldtype')), text(f.get('value')),
                    str(f.get('fieldflags')), text(f.get('alternativename')), kind,
                    text(f.get('annotation', {}).get('appearancestate'))]))
)";
  const TempFile file(pdf, ".pdf");
  const ToolResult json =
      RunTool({"qpdf", "--json", "--json-key=acroform", file.Path().string()}, ToolErrors::kDrop);
  if (json.status != 0) return {};
  const TempFile py(script, ".py");
  return RunTool({"python3", py.Path().string()}, ToolErrors::kJoin, json.out).out;
}

std::string QpdfQdf(const std::string& pdf) {
  const TempFile file(pdf);
  return RunTool({"qpdf", "--qdf", "--object-streams=disable", file.Path().string(), "-"},
                 ToolErrors::kDrop)
      .out;
}

std::string QpdfStreamData(const std::string& pdf, int objectNumber) {
  const TempFile file(pdf);
  return RunTool({"qpdf", "--show-object=" + std::to_string(objectNumber), "--filtered-stream-data",
                  file.Path().string()},
                 ToolErrors::kDrop)
      .out;
}

std::string MuPdfLinks(const std::string& pdf) {
  static const char script[] = R"(
var doc = new Document(scriptArgs[0]);
for (var p = 0; p < doc.countPages(); ++p) {
  var links = doc.loadPage(p).getLinks();
  for (var i = 0; i < links.length; ++i) {
    var l = links[i], b = l.bounds, line = (p + 1);
    for (var k = 0; k < 4; ++k) line += ' ' + Math.round(b[k]);
    line += ' ' + l.uri;
    if (l.uri.charAt(0) == '#') line += ' -> ' + (doc.resolveLink(l.uri).page + 1);
    print(line);
  }
}
)";
  const TempFile js(script, ".js");
  const TempFile file(pdf);
  return RunTool({"mutool", "run", js.Path().string(), file.Path().string()}, ToolErrors::kDrop)
      .out;
}

ToolResult PdfToText(const std::string& pdf, const std::vector<std::string>& options) {
  const TempFile file(pdf);
  std::vector<std::string> argv = {"pdftotext"};
  argv.insert(argv.end(), options.begin(), options.end());
  argv.push_back(file.Path().string());
  argv.push_back("-");
  return RunTool(argv, ToolErrors::kDrop);
}

ToolResult PdfFontsOutput(const std::string& pdf) {
  const TempFile file(pdf);
  return RunTool({"pdffonts", file.Path().string()});
}

std::vector<PdfFontRow> PdfFonts(const std::string& pdf) {
  const TempFile file(pdf);
  const ToolResult result = RunTool({"pdffonts", file.Path().string()}, ToolErrors::kDrop);
  std::vector<PdfFontRow> rows;
  std::istringstream lines(result.out);
  std::string line;
  int skip = 2;  // the heading and its underline
  while (std::getline(lines, line)) {
    if (skip > 0) {
      --skip;
      continue;
    }
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.size() < 8) continue;
    PdfFontRow row;
    row.name = w[0];
    for (std::size_t i = 1; i + 6 < w.size(); ++i) row.type += (i > 1 ? " " : "") + w[i];
    row.encoding = w[w.size() - 6];
    row.emb = w[w.size() - 5];
    row.sub = w[w.size() - 4];
    row.uni = w[w.size() - 3];
    row.object = std::atoi(w[w.size() - 2].c_str());
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::vector<std::string>> ListImages(const std::string& pdf) {
  TempFile file(pdf);
  const ToolResult run = RunTool({"pdfimages", "-list", file.Path().string()}, ToolErrors::kDrop);
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(run.out);
  std::string line;
  for (int i = 0; std::getline(lines, line); ++i) {
    if (i < 2) continue;
    std::istringstream words(line);
    rows.emplace_back(std::istream_iterator<std::string>(words),
                      std::istream_iterator<std::string>());
  }
  return rows;
}

}  // namespace vellora_test
