// Logical fonts: creation, deletion and the stock fonts. A font is matched to a face (see
// font_mapper.h) when it is first selected into a device context; the text functions of
// text_metrics.h, text_measure.h, font_data.h, text_placement.h and device_context.h then
// answer from that face. Every function is thread-safe.
#pragma once

#include <cstdint>
#include <string>

#include "qvplatform/font_types.h"

namespace qvplatform {

// A font handle for a logical font; 0 for a null argument. The request is kept as given
// (face names longer than 31 characters are cut).
HFONT CreateFontIndirectW(const LOGFONTW* lf);
// As above; the face name is text in the system code page (1252).
HFONT CreateFontIndirectA(const LOGFONTA* lf);

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* faceName);
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const WCHAR* faceName);

// A font bound to face `index` of a font file instead of a mapped face (fonts that travel
// with a document, tests). The handle is valid even when the file cannot be used; the text
// functions then fail as for a damaged face.
HFONT CreateFontForFile(const LOGFONTW& lf, const std::string& path, std::uint32_t index);

// The logical font of a font handle; false for any other handle.
bool GetLogFont(HFONT font, LOGFONTW* lf);

// Removes a font or another drawing object (pen, brush, bitmap, palette, region); 0 for
// stock objects (see HandleTable::MarkStock), device contexts, metafiles and unknown
// handles. A DC that still has the font selected keeps using it.
BOOL DeleteObject(HGDIOBJ object);

// SYSTEM_FONT: "System", cell height 16, weight 700, ANSI, variable pitch, FF_SWISS (mapped
// like any unknown face: to the "Arial" substitute). DEFAULT_GUI_FONT: "MS Shell Dlg", em
// 11 pixels. DEFAULT_PALETTE (palette.h): GetDefaultPalette(). Other numbers give 0. Stock handles
// are made once and never deleted.
HGDIOBJ GetStockObject(int object);

}  // namespace qvplatform
