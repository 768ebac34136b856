// Independent readers of PDF files: qpdf (structure, JSON, decoded streams) and poppler's
// pdftotext and pdffonts, each run on the bytes of a document.
#pragma once

#include <string>
#include <vector>

#include "tool_run.h"

namespace vellora_test {

// qpdf --check: its exit status and output (standard error joined).
ToolResult QpdfCheck(const std::string& pdf);
// What is wrong with the file by qpdf --check: empty when it checks clean, without warnings;
// "qpdf missing" when qpdf is not installed; else qpdf's words (with its exit status).
std::string QpdfProblems(const std::string& pdf);
// qpdf --json=2 of the file (empty when qpdf fails).
std::string QpdfJson(const std::string& pdf);
// Runs a Python script with the file's qpdf --json=2 document as `doc` and its objects as
// `objs`, with get(ref) giving an object's value (a stream's dictionary); its output, with
// the script's standard error.
std::string QpdfJsonQuery(const std::string& pdf, const std::string& script);
// The outline tree as qpdf --json gives it, one line: each entry's title ("u:" dropped), "@"
// and the 1-based page of its destination (0: none), its children in parentheses, entries
// separated by blanks; then the root's /Count. "none" without an outline.
std::string QpdfOutlineTree(const std::string& pdf);
// qpdf's view of the form fields (--json-key=acroform), one line each: fullname, fieldtype,
// value, fieldflags, alternativename, "checkbox", "radio" or "-", and appearancestate,
// separated by "|". Empty when qpdf fails; "no form" for a file without one.
std::string QpdfFormFields(const std::string& pdf);

// The file rewritten by qpdf --qdf: every stream decoded, objects one by one (empty when qpdf
// fails).
std::string QpdfQdf(const std::string& pdf);
// The decoded data of object n, by qpdf (empty when qpdf fails).
std::string QpdfStreamData(const std::string& pdf, int objectNumber);

// MuPDF's links of every page, one line each: 1-based page, the bounds (points, y down from
// the top, rounded), the URI as MuPDF gives it ("#page=..." for links inside the document,
// "file://" for launch and remote targets), and for links inside the document "-> " and the
// 1-based page they resolve to. Empty when mutool fails.
std::string MuPdfLinks(const std::string& pdf);

// pdftotext of the file with the options given before the file name, written to standard
// output (standard error dropped).
ToolResult PdfToText(const std::string& pdf, const std::vector<std::string>& options = {});

// One row of pdffonts.
struct PdfFontRow {
  std::string name, type, encoding, emb, sub, uni;
  int object = 0;
};
// pdffonts' output as it stands, and parsed into rows.
ToolResult PdfFontsOutput(const std::string& pdf);
std::vector<PdfFontRow> PdfFonts(const std::string& pdf);

// The rows of `pdfimages -list`, split at blanks, without the two heading lines.
std::vector<std::vector<std::string>> ListImages(const std::string& pdf);

}  // namespace vellora_test
