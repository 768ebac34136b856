#include "font_test_document.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "QVPdfDC/pdf_string_escape.h"
#include "font_test_env.h"
#include "qvplatform/codepage.h"
#include "qvplatform/device_context.h"
#include "qvplatform/font_service.h"
#include "qvplatform/text_measure.h"

namespace vellora_test::fontdoc {

using namespace vellora;

namespace {

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

std::string Hex4(std::uint32_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
  return text;
}

}  // namespace

int InkIn(const Raster& page, double left, double bottom, double right, double top) {
  int ink = 0;
  const double scale = page.width > 0 ? page.width / 612.0 : 1;
  for (int y = static_cast<int>((792 - top) * scale); y < static_cast<int>((792 - bottom) * scale);
       ++y)
    for (int x = static_cast<int>(left * scale); x < static_cast<int>(right * scale); ++x)
      if (x >= 0 && y >= 0 && x < page.width && y < page.height && page.Dark(x, y)) ++ink;
  return ink;
}

FontTestDocument::FontTestDocument(TQVPDFFontMode mode, std::uint8_t cidMode, TQVPDFAMode pdfa) {
  owner_.settings.pdfaMode = pdfa;
  owner_.settings.compression = qvCompressFlate;
  resources_ = std::make_unique<TQVPDFResource>(&owner_);
  owner_.resources = resources_.get();
  catalog_ = std::make_unique<TQVPDFCatalog>(&owner_);
  fonts_ = std::make_unique<TQVPDFFontManager>(&owner_);
  fonts_->Settings().fontMode = mode;
  fonts_->Settings().cidMode = cidMode;
  WriteTestHeader(owner_);
}

FontTestDocument::~FontTestDocument() { fonts_->EndDocument(); }

std::string FontTestDocument::Show(const std::u16string& text, double x, double y) {
  std::string out = "1 0 0 1 " + Number(x) + " " + Number(y) + " Tm ";
  TQVPDFFont* font = Current();
  if (font == nullptr) return out;
  if (fonts_->CurrentFontIsCID()) {
    // Text output takes the glyph indices from the same font service.
    const qvplatform::LOGFONTW lf = MakeLogFont(
        font->name.c_str(), -1000, (font->style & 1) ? 700 : 400, font->style & 2, font->charset);
    const qvplatform::HDC dc = qvplatform::GetDC(0);
    const qvplatform::HFONT handle = qvplatform::CreateFontIndirectW(&lf);
    qvplatform::SelectObject(dc, handle);
    std::vector<qvplatform::WORD> glyphs(text.size());
    qvplatform::GetGlyphIndicesW(dc, reinterpret_cast<const qvplatform::WCHAR*>(text.data()),
                                 static_cast<int>(text.size()), glyphs.data(), 0);
    qvplatform::ReleaseDC(0, dc);
    qvplatform::DeleteObject(handle);
    out += "<";
    const bool codesAreCharacters =
        fonts_->Settings().cidMode == qvCIDUnicode || fonts_->Settings().cidMode == qvCIDSymbolOnly;
    for (std::size_t i = 0; i < text.size(); ++i) {
      std::int32_t width = 0;
      const std::uint32_t cid = fonts_->MapCharCode(text[i], glyphs[i], width);
      out += Hex4(codesAreCharacters ? text[i] : cid);
    }
    out += "> Tj ";
    return out;
  }
  std::string bytes;
  fonts_->ConvertWideText(text.data(), static_cast<std::int32_t>(text.size()), bytes);
  fonts_->RegisterUsedCharsW(text.data(), static_cast<std::int32_t>(text.size()), font->name);
  out += "(" + EscapeBytes(bytes.data(), bytes.size()) + ") Tj ";
  return out;
}

std::string FontTestDocument::Cells(int font, const std::u16string& text, double y) {
  std::string body;
  for (std::size_t i = 0; i < text.size(); ++i)
    body += Show(text.substr(i, 1), 40 + 24.0 * static_cast<double>(i), y);
  return TextObject(font, body);
}

std::string FontTestDocument::Finish(const std::string& content) {
  auto page = std::make_unique<TQVPDFPage>(&owner_);
  TQVPDFStream* stream = page->AddContents(std::make_unique<TQVPDFStream>(&owner_, 'T'));
  stream->BeginData();
  stream->WriteString(content);
  stream->WriteStream();
  page->SetSize(612, 792);
  page->WritePageObjects();
  catalog_->AddPage(std::move(page));
  resources_->WriteObject();
  catalog_->Pages().WriteObject();
  catalog_->WriteObject();
  return FinishTestFile(owner_, *catalog_);
}

std::string TextObject(int font, const std::string& body) {
  return "BT /F" + std::to_string(font) + " 12 Tf " + body + "ET\n";
}

std::string PdfToText(const std::string& pdf) {
  return vellora_test::PdfToText(pdf, {"-enc", "UTF-8"}).out;
}

bool QpdfClean(const std::string& pdf, std::string* report) {
  const std::string problems = QpdfProblems(pdf);
  if (report) *report = problems;
  return problems.empty();
}

std::vector<int> References(const std::string& pdf, const std::string& key) {
  std::vector<int> numbers;
  for (std::size_t at = pdf.find(key); at != std::string::npos; at = pdf.find(key, at + 1)) {
    std::size_t digits = at + key.size();
    while (digits < pdf.size() && pdf[digits] == ' ') ++digits;
    if (digits < pdf.size() && pdf[digits] >= '0' && pdf[digits] <= '9')
      numbers.push_back(std::atoi(pdf.c_str() + digits));
  }
  return numbers;
}

std::string FontFileGlyphs(const std::string& pdf, int object) {
  if (FontToolsPython().empty()) return {};
  TempFile font(QpdfStreamData(pdf, object), ".ttf");
  TempFile script(
      "import sys\nfrom fontTools.ttLib import TTFont\nf = TTFont(sys.argv[1])\n"
      "order = f.getGlyphOrder()\nglyf = f['glyf']\n"
      "print('glyphs', len(order), 'outlines', "
      "sum(1 for n in order if glyf[n].numberOfContours != 0))\n",
      ".py");
  const ToolResult result =
      RunTool({FontToolsPython(), script.Path().string(), font.Path().string()}, ToolErrors::kDrop);
  std::string out = result.Succeeded() ? result.out : std::string();
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::string Units(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    char unit[12];
    std::snprintf(unit, sizeof unit, "%sU+%04X", out.empty() ? "" : " ", static_cast<unsigned>(c));
    out += unit;
  }
  return out;
}

std::u16string FromUtf8(const std::string& text) {
  if (text.empty()) return {};
  std::u16string out(text.size(), u'\0');
  const int n = qvplatform::MultiByteToWideChar(
      qvplatform::CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
      reinterpret_cast<qvplatform::WCHAR*>(out.data()), static_cast<int>(out.size()));
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return out;
}

}  // namespace vellora_test::fontdoc
