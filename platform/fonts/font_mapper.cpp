#include "qvplatform/font_mapper.h"

#include <fontconfig/fontconfig.h>

#include <cctype>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

#include "font_codepage.h"
#include "qvplatform/font_face.h"

namespace qvplatform {

namespace {

constexpr std::size_t kMaxCachedMatches = 4096;

using Key = std::tuple<std::u16string, LONG, bool, BYTE, BYTE>;

struct Mapper {
  std::mutex mutex;  // fontconfig calls and the cache
  FcConfig* config = nullptr;
  bool initialised = false;
  std::map<Key, FontMatch> cache;

  FcConfig* Config() {
    if (!initialised) {
      initialised = true;
      // Honours FONTCONFIG_FILE, so tests can run on a private configuration.
      config = FcInitLoadConfigAndFonts();
    }
    return config;
  }
};

Mapper& TheMapper() {
  static Mapper* mapper = new Mapper();  // never destroyed: used until process exit
  return *mapper;
}

// Releases the configuration at exit. fontconfig stores its patterns with pointers encoded
// as offsets, so a configuration left alive looks like leaked memory to leak checkers.
struct ConfigRelease {
  ~ConfigRelease() {
    Mapper& mapper = TheMapper();
    std::lock_guard lock(mapper.mutex);
    mapper.cache.clear();
    if (mapper.config) FcConfigDestroy(mapper.config);
    mapper.config = nullptr;
    mapper.initialised = true;  // later requests (from other exit code) find no fonts
  }
} configRelease;

// The language fontconfig checks for a character set's coverage; null for sets that do not
// steer the choice.
const char* CharsetLanguage(BYTE charset) {
  switch (charset) {
    case 128:
      return "ja";
    case 129:
    case 130:
      return "ko";
    case 134:
      return "zh-cn";
    case 136:
      return "zh-tw";
    case 161:
      return "el";
    case 162:
      return "tr";
    case 163:
      return "vi";
    case 177:
      return "he";
    case 178:
      return "ar";
    case 186:
      return "lt";
    case 204:
      return "ru";
    case 222:
      return "th";
    case 238:
      return "pl";
  }
  return nullptr;
}

struct Candidate {
  FcPattern* font;
  bool trueType;
  bool named;
  bool supports;  // covers the requested character set
};

// Family names compare as fontconfig compares them: ASCII case and blanks ignored.
bool SameFamily(const char* a, const char* b) {
  for (;;) {
    while (*a == ' ') ++a;
    while (*b == ' ') ++b;
    if (std::tolower(static_cast<unsigned char>(*a)) !=
        std::tolower(static_cast<unsigned char>(*b)))
      return false;
    if (!*a) return true;
    ++a, ++b;
  }
}

// A face with a symbol character map: fontconfig lists its codes in the U+F0xx area.
bool IsSymbolFont(FcPattern* font) {
  FcCharSet* cs = nullptr;
  if (FcPatternGetCharSet(font, FC_CHARSET, 0, &cs) != FcResultMatch || !cs) return false;
  for (FcChar32 c : {0xF020u, 0xF021u, 0xF041u, 0xF061u})
    if (FcCharSetHasChar(cs, c)) return true;
  return false;
}

FontMatch Resolve(FcConfig* config, const LOGFONTW& lf, const std::u16string& face) {
  FontMatch match;
  if (!config) return match;
  FcPattern* pattern = FcPatternCreate();
  const std::string name = fonts::WideToUtf8(face);
  if (!name.empty())
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  const BYTE pitch = lf.lfPitchAndFamily & 3, family = lf.lfPitchAndFamily & 0xF0;
  const bool mono = pitch == 1 || family == 0x30;
  const char* fallbacks[2] = {"Arial", "sans-serif"};
  if (mono)
    fallbacks[0] = "Courier New", fallbacks[1] = "monospace";
  else if (family == 0x10)
    fallbacks[0] = "Times New Roman", fallbacks[1] = "serif";
  for (const char* f : fallbacks) {
    FcValue v;
    v.type = FcTypeString;
    v.u.s = reinterpret_cast<const FcChar8*>(f);
    FcPatternAddWeak(pattern, FC_FAMILY, v, FcTrue);
  }
  const int weight = lf.lfWeight > 0 && lf.lfWeight <= 1000 ? lf.lfWeight : 400;
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, lf.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  if (mono) FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
  const char* lang = CharsetLanguage(lf.lfCharSet);
  if (lang) FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(lang));
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);

  // The strong family names after substitution: the request and its aliases.
  std::vector<std::string> strong;
  FcValue value;
  FcValueBinding binding;
  for (int i = 0; FcPatternGetWithBinding(pattern, FC_FAMILY, i, &value, &binding) == FcResultMatch;
       ++i)
    if (binding == FcValueBindingStrong && value.type == FcTypeString)
      strong.emplace_back(reinterpret_cast<const char*>(value.u.s));

  FcResult result;
  FcFontSet* sorted = FcFontSort(config, pattern, FcFalse, nullptr, &result);
  std::vector<Candidate> candidates;
  for (int i = 0; sorted && i < sorted->nfont; ++i) {
    FcPattern* font = sorted->fonts[i];
    FcChar8* format = nullptr;
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch ||
        FcPatternGetString(font, FC_FONTFORMAT, 0, &format) != FcResultMatch)
      continue;
    const std::string fmt(reinterpret_cast<const char*>(format));
    if (fmt != "TrueType" && fmt != "CFF") continue;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    FcBool variable = FcFalse;
    FcPatternGetBool(font, FC_VARIABLE, 0, &variable);
    if (index < 0 || (index >> 16) != 0 || variable) continue;  // named instances, variations
    Candidate c{font, fmt == "TrueType", false, true};
    FcChar8* fam = nullptr;
    for (int f = 0; !c.named && FcPatternGetString(font, FC_FAMILY, f, &fam) == FcResultMatch; ++f)
      for (const auto& s : strong)
        if (SameFamily(reinterpret_cast<const char*>(fam), s.c_str())) c.named = true;
    if (lang) {
      FcLangSet* langs = nullptr;
      c.supports =
          FcPatternGetLangSet(font, FC_LANG, 0, &langs) == FcResultMatch &&
          FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>(lang)) != FcLangDifferentLang;
    }
    candidates.push_back(c);
  }
  if (lf.lfCharSet == 2 && !candidates.empty() && !candidates.front().named)
    for (auto& c : candidates) c.supports = IsSymbolFont(c.font);

  // Character-set coverage first, then TrueType outlines, then fontconfig's order. A face
  // that the font service cannot load (a damaged file fontconfig still lists) is passed over.
  for (;;) {
    auto chosen = candidates.end();
    for (int pass = 0; pass < 4 && chosen == candidates.end(); ++pass)
      for (auto c = candidates.begin(); c != candidates.end(); ++c)
        if ((pass >= 2 || c->supports) && (pass % 2 == 1 || c->trueType)) {
          chosen = c;
          break;
        }
    if (chosen == candidates.end()) break;
    FcChar8* file = nullptr;
    FcChar8* fam = nullptr;
    int index = 0;
    FcPatternGetString(chosen->font, FC_FILE, 0, &file);
    FcPatternGetInteger(chosen->font, FC_INDEX, 0, &index);
    const std::string path(reinterpret_cast<const char*>(file));
    if (!CachedFontFace(path, static_cast<std::uint32_t>(index), nullptr)) {
      candidates.erase(chosen);
      continue;
    }
    if (FcPatternGetString(chosen->font, FC_FAMILY, 0, &fam) == FcResultMatch)
      match.family = reinterpret_cast<const char*>(fam);
    match.found = true;
    match.path = path;
    match.index = static_cast<std::uint32_t>(index);
    match.namedFamily = chosen->named;
    break;
  }
  if (sorted) FcFontSetDestroy(sorted);
  FcPatternDestroy(pattern);
  return match;
}

std::u16string RequestedFace(const LOGFONTW& lf) {
  std::u16string face;
  for (int i = 0; i < LF_FACESIZE && lf.lfFaceName[i]; ++i) face.push_back(lf.lfFaceName[i]);
  if (!face.empty() && face.front() == u'@') face.erase(0, 1);  // vertical-writing variant
  return face;
}

}  // namespace

FontMatch MatchFont(const LOGFONTW& lf) {
  const std::u16string face = RequestedFace(lf);
  std::u16string folded = face;
  for (auto& c : folded)
    if (c < 0x80) c = static_cast<char16_t>(std::tolower(c));
  const Key key{folded, lf.lfWeight, lf.lfItalic != 0, lf.lfCharSet, lf.lfPitchAndFamily};
  Mapper& mapper = TheMapper();
  std::lock_guard lock(mapper.mutex);
  if (const auto it = mapper.cache.find(key); it != mapper.cache.end()) return it->second;
  FontMatch match = Resolve(mapper.Config(), lf, face);
  // Bounded: a stream of distinct requests (random face names) must not grow it forever.
  if (mapper.cache.size() >= kMaxCachedMatches) mapper.cache.clear();
  mapper.cache.emplace(key, match);
  return match;
}

bool AddFontFile(const std::string& path) {
  Mapper& mapper = TheMapper();
  std::lock_guard lock(mapper.mutex);
  FcConfig* config = mapper.Config();
  if (!config) return false;
  if (!FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(path.c_str()))) return false;
  mapper.cache.clear();
  return true;
}

}  // namespace qvplatform
