// Font handles: creation, deletion, stock fonts.
#include <mutex>
#include <string_view>

#include "font_codepage.h"
#include "qvplatform/font_service.h"
#include "qvplatform/handle_table.h"
#include "qvplatform/palette.h"
#include "realized_font.h"

namespace qvplatform {

using fonts::FontObject;

namespace {

HFONT AddFont(std::shared_ptr<FontObject> font) {
  return HandleTable::Instance().Add(HandleKind::kFont, std::move(font));
}

std::shared_ptr<FontObject> NewFont(const LOGFONTW& lf) {
  auto font = std::make_shared<FontObject>();
  font->lf = lf;
  font->lf.lfFaceName[LF_FACESIZE - 1] = 0;
  return font;
}

void CopyFace(const std::u16string& face, LOGFONTW* lf) {
  std::size_t n = face.size() < LF_FACESIZE - 1 ? face.size() : LF_FACESIZE - 1;
  for (std::size_t i = 0; i < n; ++i) lf->lfFaceName[i] = face[i];
  for (std::size_t i = n; i < LF_FACESIZE; ++i) lf->lfFaceName[i] = 0;
}

LOGFONTW FromArgs(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily) {
  LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = italic ? 1 : 0;
  lf.lfUnderline = underline ? 1 : 0;
  lf.lfStrikeOut = strikeOut ? 1 : 0;
  lf.lfCharSet = static_cast<BYTE>(charSet);
  lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  lf.lfQuality = static_cast<BYTE>(quality);
  lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  return lf;
}

std::u16string FaceFromAnsi(const char* face, std::size_t limit) {
  std::size_t n = 0;
  while (face && n < limit && face[n]) ++n;
  return fonts::BytesToWide(1252, std::string_view(face ? face : "", n));
}

struct StockFonts {
  HGDIOBJ system = 0;
  HGDIOBJ gui = 0;
};

const StockFonts& Stock() {
  static const StockFonts stock = [] {
    StockFonts s;
    LOGFONTW lf;
    lf.lfHeight = 16;
    lf.lfWeight = 700;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    CopyFace(u"System", &lf);
    auto system = NewFont(lf);
    s.system = AddFont(system);
    HandleTable::Instance().MarkStock(s.system);
    lf.lfHeight = -11;
    lf.lfWeight = 400;
    CopyFace(u"MS Shell Dlg", &lf);
    auto gui = NewFont(lf);
    s.gui = AddFont(gui);
    HandleTable::Instance().MarkStock(s.gui);
    return s;
  }();
  return stock;
}

}  // namespace

HFONT CreateFontIndirectW(const LOGFONTW* lf) { return lf ? AddFont(NewFont(*lf)) : 0; }

HFONT CreateFontIndirectA(const LOGFONTA* lfa) {
  if (!lfa) return 0;
  LOGFONTW lf =
      FromArgs(lfa->lfHeight, lfa->lfWidth, lfa->lfEscapement, lfa->lfOrientation, lfa->lfWeight,
               lfa->lfItalic, lfa->lfUnderline, lfa->lfStrikeOut, lfa->lfCharSet,
               lfa->lfOutPrecision, lfa->lfClipPrecision, lfa->lfQuality, lfa->lfPitchAndFamily);
  // The A record's flags are bytes: keep their values rather than 0/1.
  lf.lfItalic = lfa->lfItalic;
  lf.lfUnderline = lfa->lfUnderline;
  lf.lfStrikeOut = lfa->lfStrikeOut;
  CopyFace(FaceFromAnsi(lfa->lfFaceName, LF_FACESIZE), &lf);
  return AddFont(NewFont(lf));
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* faceName) {
  LOGFONTW lf = FromArgs(height, width, escapement, orientation, weight, italic, underline,
                         strikeOut, charSet, outPrecision, clipPrecision, quality, pitchAndFamily);
  CopyFace(FaceFromAnsi(faceName, LF_FACESIZE - 1), &lf);
  return AddFont(NewFont(lf));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const WCHAR* faceName) {
  LOGFONTW lf = FromArgs(height, width, escapement, orientation, weight, italic, underline,
                         strikeOut, charSet, outPrecision, clipPrecision, quality, pitchAndFamily);
  std::u16string face;
  for (int i = 0; faceName && i < LF_FACESIZE - 1 && faceName[i]; ++i) face.push_back(faceName[i]);
  CopyFace(face, &lf);
  return AddFont(NewFont(lf));
}

HFONT CreateFontForFile(const LOGFONTW& lf, const std::string& path, std::uint32_t index) {
  auto font = NewFont(lf);
  font->bound = true;
  font->fixedFace = CachedFontFace(path, index, &font->fixedError);
  return AddFont(std::move(font));
}

bool GetLogFont(HFONT handle, LOGFONTW* lf) {
  const auto font = fonts::FindFont(handle);
  if (!font || !lf) return false;
  *lf = font->lf;
  return true;
}

BOOL DeleteObject(HGDIOBJ object) {
  HandleKind kind;
  auto& table = HandleTable::Instance();
  if (!table.KindOf(object, &kind)) return 0;
  switch (kind) {
    case HandleKind::kFont:  // stock handles are refused by the table
    case HandleKind::kPen:
    case HandleKind::kBrush:
    case HandleKind::kBitmap:
    case HandleKind::kPalette:
    case HandleKind::kRegion:
      return table.Remove(object, kind) ? 1 : 0;
    default:
      return 0;  // device contexts and metafiles have their own delete functions
  }
}

HGDIOBJ GetStockObject(int object) {
  switch (object) {
    case SYSTEM_FONT:
      return Stock().system;
    case DEFAULT_GUI_FONT:
      return Stock().gui;
    case DEFAULT_PALETTE:
      return GetDefaultPalette();
  }
  return 0;
}

}  // namespace qvplatform
