// Faces of one render: the platform resolves the font, FreeType faces of the render's own draw it.
#include "QVRasterDC/raster_fonts.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>

#include "qvplatform/device_context.h"
#include "qvplatform/font_mapper.h"
#include "qvplatform/font_service.h"

namespace vellora {

namespace {

using qvplatform::LOGFONTW;

// What cairo needs alive as long as it holds the face: a FreeType library used by this face
// alone, the face, and the font bytes it reads from.
struct OwnedFace {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  std::shared_ptr<const qvplatform::FontFace> bytesOwner;
};

const cairo_user_data_key_t kOwnedFaceKey{};

void DestroyOwnedFace(void* data) {
  auto* owned = static_cast<OwnedFace*>(data);
  if (owned->face) FT_Done_Face(owned->face);
  if (owned->library) FT_Done_FreeType(owned->library);
  delete owned;
}

// The fields of a logical font that choose its face.
LOGFONTW RequestOf(const LOGFONTW& font) {
  LOGFONTW r{};
  r.lfWeight = font.lfWeight;
  r.lfItalic = font.lfItalic;
  r.lfCharSet = font.lfCharSet;
  r.lfPitchAndFamily = font.lfPitchAndFamily;
  std::memcpy(r.lfFaceName, font.lfFaceName, sizeof r.lfFaceName);
  r.lfHeight = -100;
  return r;
}

bool SameRequest(const LOGFONTW& a, const LOGFONTW& b) {
  return a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic && a.lfCharSet == b.lfCharSet &&
         a.lfPitchAndFamily == b.lfPitchAndFamily &&
         std::memcmp(a.lfFaceName, b.lfFaceName, sizeof a.lfFaceName) == 0;
}

cairo_font_face_t* MakeCairoFace(const std::shared_ptr<const qvplatform::FontFace>& face, bool bold,
                                 bool italic) {
  auto* owned = new OwnedFace;
  owned->bytesOwner = face;
  const qvplatform::ByteSpan bytes = face->Sfnt().File();
  if (FT_Init_FreeType(&owned->library) != 0 ||
      FT_New_Memory_Face(owned->library, bytes.data(), static_cast<FT_Long>(bytes.size()),
                         static_cast<FT_Long>(face->Index()), &owned->face) != 0) {
    DestroyOwnedFace(owned);
    return nullptr;
  }
  cairo_font_face_t* cairoFace = cairo_ft_font_face_create_for_ft_face(owned->face, 0);
  if (cairo_font_face_set_user_data(cairoFace, &kOwnedFaceKey, owned, DestroyOwnedFace) !=
      CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(cairoFace);
    DestroyOwnedFace(owned);
    return nullptr;
  }
  unsigned synthesize = 0;
  if (bold) synthesize |= CAIRO_FT_SYNTHESIZE_BOLD;
  if (italic) synthesize |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
  if (synthesize != 0) cairo_ft_font_face_set_synthesize(cairoFace, synthesize);
  return cairoFace;
}

}  // namespace

TQVRasterFonts::TQVRasterFonts() : dc_(qvplatform::CreateCompatibleDC(0)) {
  fonts_.reserve(kMaxFonts);
}

TQVRasterFonts::~TQVRasterFonts() {
  for (TQVRasterFont& f : fonts_) Release(f);
  if (dc_ != 0) qvplatform::DeleteDC(dc_);
}

void TQVRasterFonts::Release(TQVRasterFont& entry) {
  if (entry.cairoFace) cairo_font_face_destroy(entry.cairoFace);
  if (entry.handle != 0) qvplatform::DeleteObject(entry.handle);
  entry = TQVRasterFont{};
}

void TQVRasterFonts::Load(TQVRasterFont& entry) {
  entry.handle = qvplatform::CreateFontIndirectW(&entry.request);
  const qvplatform::FontMatch match = qvplatform::MatchFont(entry.request);
  if (!match.found) return;
  std::string error;
  entry.face = qvplatform::CachedFontFace(match.path, match.index, &error);
  if (!entry.face) return;
  const qvplatform::SfntFace& sfnt = entry.face->Sfnt();
  const double em = std::max<double>(sfnt.Head().unitsPerEm, 16);
  entry.unitsPerEm = em;
  const auto& os2 = sfnt.Os2();
  const double winAscent = os2.usWinAscent, winDescent = os2.usWinDescent;
  if (winAscent + winDescent > 0) {
    entry.ascent = winAscent / em;
    entry.descent = winDescent / em;
  }
  // The width a logical font's lfWidth asks for is GDI's average character width: by the
  // letter-frequency weights where the face has those letters.
  const std::int32_t average = entry.face->LowercaseAverageWidth() > 0
                                   ? entry.face->LowercaseAverageWidth()
                                   : entry.face->AverageWidth();
  if (average > 0) entry.averageWidth = average / em;
  const auto& post = sfnt.Post();
  if (post.underlineThickness > 0) {
    entry.underlinePosition = post.underlinePosition / em;
    entry.underlineThickness = post.underlineThickness / em;
  }
  if (os2.yStrikeoutSize > 0) {
    entry.strikeoutPosition = os2.yStrikeoutPosition / em;
    entry.strikeoutThickness = os2.yStrikeoutSize / em;
  }
  // The mapper's face may lack the weight or slant asked for: GDI then simulates them.
  entry.syntheticBold = entry.request.lfWeight >= 600 && entry.face->Weight() < 600;
  entry.syntheticItalic = entry.request.lfItalic != 0 && !entry.face->IsItalic();
  entry.cairoFace = MakeCairoFace(entry.face, entry.syntheticBold, entry.syntheticItalic);
}

const TQVRasterFont* TQVRasterFonts::Select(const LOGFONTW& font) {
  if (dc_ == 0) return nullptr;
  const LOGFONTW request = RequestOf(font);
  TQVRasterFont* found = nullptr;
  for (TQVRasterFont& f : fonts_) {
    if (SameRequest(f.request, request)) {
      found = &f;
      break;
    }
  }
  if (found == nullptr) {
    if (fonts_.size() < kMaxFonts) {
      found = &fonts_.emplace_back();
    } else {
      found = &fonts_[next_];
      next_ = (next_ + 1) % kMaxFonts;
      Release(*found);
    }
    found->request = request;
    Load(*found);
  }
  if (found->handle == 0 || found->cairoFace == nullptr) return nullptr;
  qvplatform::SelectObject(dc_, found->handle);
  return found;
}

}  // namespace vellora
