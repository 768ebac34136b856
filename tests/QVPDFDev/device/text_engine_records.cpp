#include "text_engine_records.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "pdf_device_test_util.h"
#include "qvplatform/codepage.h"
#include "qvplatform/device_context.h"
#include "qvplatform/emf_record_types.h"
#include "qvplatform/font_service.h"
#include "qvplatform/text_measure.h"
#include "qvplatform/text_placement.h"
#include "temp_files.h"

namespace vellora_test {

std::vector<Word> WordsOf(const std::string& pdf) {
  const TempFile file(pdf);
  const auto run = RunTool({"pdftotext", "-bbox", file.Path().string(), "-"}, ToolErrors::kDrop);
  std::vector<Word> words;
  std::istringstream lines(run.out);
  const auto value = [](const std::string& line, const char* key) {
    const std::size_t at = line.find(std::string(key) + "=\"");
    return at == std::string::npos ? 0.0 : std::atof(line.c_str() + at + std::strlen(key) + 2);
  };
  for (std::string line; std::getline(lines, line);) {
    const std::size_t open = line.find("<word ");
    if (open == std::string::npos) continue;
    const std::size_t start = line.find('>', open) + 1;
    Word w;
    w.xMin = value(line, "xMin");
    w.yMin = value(line, "yMin");
    w.xMax = value(line, "xMax");
    w.yMax = value(line, "yMax");
    w.text = line.substr(start, line.find("</word>") - start);
    words.push_back(w);
  }
  return words;
}

qvplatform::LOGFONTW Font(const char16_t* face, std::int32_t height, std::int32_t escapement,
                          std::uint8_t charset) {
  qvplatform::LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfWeight = 400;
  lf.lfEscapement = lf.lfOrientation = escapement;
  lf.lfCharSet = charset;
  for (int i = 0; face[i] != 0 && i < 31; ++i) lf.lfFaceName[i] = face[i];
  return lf;
}

std::vector<qvplatform::INT> Advances(const qvplatform::LOGFONTW& lf, const std::u16string& text,
                                      double stretch) {
  const qvplatform::HDC dc = qvplatform::GetDC(0);
  const qvplatform::HFONT font = qvplatform::CreateFontIndirectW(&lf);
  const qvplatform::HGDIOBJ old = qvplatform::SelectObject(dc, font);
  std::vector<qvplatform::INT> dx;
  const bool rightToLeft =
      std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x0590 && c <= 0x06FF; });
  if (rightToLeft) {
    // A producer records the advances of the shaped glyphs, each with its character.
    const std::size_t n = text.size();
    std::vector<qvplatform::UINT> order(n);
    std::vector<qvplatform::INT> visual(n);
    qvplatform::GCP_RESULTSW results;
    results.lpOrder = order.data();
    results.lpDx = visual.data();
    results.nGlyphs = static_cast<qvplatform::UINT>(n);
    qvplatform::GetCharacterPlacementW(dc, text.data(), static_cast<int>(n), 0, &results,
                                       qvplatform::GCP_REORDER | qvplatform::GCP_GLYPHSHAPE);
    for (std::size_t i = 0; i < n; ++i)
      dx.push_back(static_cast<qvplatform::INT>(std::lround(visual[order[i]] * stretch)));
  }
  for (std::size_t i = rightToLeft ? text.size() : 0; i < text.size(); ++i) {
    qvplatform::INT w = 0;
    qvplatform::GetCharWidth32W(dc, text[i], text[i], &w);
    dx.push_back(static_cast<qvplatform::INT>(std::lround(w * stretch)));
  }
  qvplatform::SelectObject(dc, old);
  qvplatform::DeleteObject(font);
  qvplatform::ReleaseDC(0, dc);
  return dx;
}

std::string Utf8(const std::u16string& text) {
  std::string out(text.size() * 3 + 1, '\0');
  const int n = qvplatform::WideCharToMultiByte(qvplatform::CP_UTF8, 0, text.data(),
                                                static_cast<int>(text.size()), out.data(),
                                                static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(static_cast<std::size_t>(std::max(n, 0)));
  return out;
}

EmfBuilder TextPicture() {
  EmfBuilder b = PointPicture(kTextPageWidth, kTextPageHeight);
  b.SetHandles(64);
  b.Append(qvplatform::EMR_SETTEXTALIGN, {24});  // baseline
  return b;
}

std::string Played(const std::vector<Record>& records, FontModes modes,
                   const std::function<void(EmfBuilder&)>& more) {
  EmfBuilder b = TextPicture();
  qvplatform::DWORD handle = 1;
  if (!records.empty()) {
    b.SetMapMode(8);
    b.SetWindowExt(kTextPageWidth * kTextUnits, kTextPageHeight * kTextUnits);
    b.SetViewportExt(kTextPageWidth, kTextPageHeight);
  }
  for (const Record& r : records) {
    const auto lf = Font(r.face, r.height * kTextUnits, r.escapement, r.charset);
    b.CreateFont(handle, lf);
    b.SelectObject(handle);
    const auto dx = Advances(lf, r.text, r.stretch);
    const LONG x = r.x * kTextUnits, y = r.y * kTextUnits;
    if (r.ansi) {
      std::string bytes(r.text.size() * 2, '\0');
      const int n = qvplatform::WideCharToMultiByte(qvplatform::CodePageFromCharset(r.charset), 0,
                                                    r.text.data(), static_cast<int>(r.text.size()),
                                                    bytes.data(), static_cast<int>(bytes.size()),
                                                    nullptr, nullptr);
      bytes.resize(static_cast<std::size_t>(n));
      b.ExtTextOutA(x, y, bytes, dx);
    } else if (r.stretch == 0) {
      b.ExtTextOutWNoSpacing(x, y, r.text);
    } else {
      b.ExtTextOutW(x, y, r.text, dx);
    }
    ++handle;
  }
  if (more) more(b);
  b.Eof();
  RecordingDevice d;
  d.FontSettings().fontMode = static_cast<vellora::TQVPDFFontMode>(modes.fontMode);
  d.contentOptions.cidFontMode = modes.cidMode;
  d.BeginDoc(576, 800, 72, 0);
  const auto bytes = b.Bytes();
  d.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 0, 0, false, 0, 0);
  d.EndDoc();
  return DocumentBytes(d);
}

}  // namespace vellora_test
