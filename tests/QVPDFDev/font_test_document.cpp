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

int GreyPage::InkIn(double left, double bottom, double right, double top) const {
  int ink = 0;
  const double scale = width > 0 ? width / 612.0 : 1;
  for (int y = static_cast<int>((792 - top) * scale); y < static_cast<int>((792 - bottom) * scale);
       ++y)
    for (int x = static_cast<int>(left * scale); x < static_cast<int>(right * scale); ++x)
      if (x >= 0 && y >= 0 && x < width && y < height &&
          pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)] < 128)
        ++ink;
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
        font->Name.c_str(), -1000, (font->Style & 1) ? 700 : 400, font->Style & 2, font->Charset);
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
  fonts_->RegisterUsedCharsW(text.data(), static_cast<std::int32_t>(text.size()), font->Name);
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

std::vector<PdfFontRow> PdfFonts(const std::string& pdf) {
  TempFile file(pdf);
  const CommandResult result = RunCommand("pdffonts '" + file.Path().string() + "'", true);
  std::vector<PdfFontRow> rows;
  std::istringstream lines(result.out);
  std::string line;
  int skip = 2;
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

std::string PdfToText(const std::string& pdf) {
  TempFile file(pdf);
  return RunCommand("pdftotext -enc UTF-8 '" + file.Path().string() + "' -", true).out;
}

GreyPage RenderPage(const std::string& pdf, int dpi) {
  TempFile file(pdf);
  const std::string base = file.Path().string() + "-page";
  RunCommand("pdftoppm -gray -r " + std::to_string(dpi) + " -singlefile '" + file.Path().string() +
                 "' '" + base + "'",
             true);
  GreyPage page;
  std::ifstream in(base + ".pgm", std::ios::binary);
  std::string magic;
  int maxValue = 0;
  in >> magic >> page.width >> page.height >> maxValue;
  in.get();
  if (magic != "P5" || page.width <= 0 || page.height <= 0) return {};
  page.pixels.resize(static_cast<std::size_t>(page.width) * static_cast<std::size_t>(page.height));
  in.read(reinterpret_cast<char*>(page.pixels.data()),
          static_cast<std::streamsize>(page.pixels.size()));
  std::remove((base + ".pgm").c_str());
  return page;
}

bool QpdfClean(const std::string& pdf, std::string* report) {
  const CommandResult check = QpdfCheck(pdf);
  if (report) *report = check.out;
  return check.status == 0 &&
         check.out.find("No syntax or stream encoding errors found") != std::string::npos &&
         check.out.find("WARNING") == std::string::npos;
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
  const CommandResult result = RunCommand(
      FontToolsPython() + " '" + script.Path().string() + "' '" + font.Path().string() + "'", true);
  std::string out = result.status == 0 ? result.out : std::string();
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
