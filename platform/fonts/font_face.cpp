#include "qvplatform/font_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <filesystem>

#include <map>

#include "qvplatform/file_descriptor.h"
#include "qvplatform/font_data.h"

namespace qvplatform {

namespace {

// Font files larger than this are refused rather than read into memory.
constexpr std::uintmax_t kMaxFontFile = 256u << 20;

// Faces kept for later requests; a system has a few hundred, a document uses a handful.
constexpr std::size_t kMaxCachedFaces = 512;

// One FreeType library for the process. FreeType needs creating and destroying faces
// serialised on a library; each face has its own lock for glyph loading.
std::mutex& LibraryMutex() {
  static std::mutex mutex;
  return mutex;
}

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

std::u16string Widen(const std::string& ascii) {
  std::u16string out;
  for (const char ch : ascii) {
    const auto c = static_cast<unsigned char>(ch);
    out.push_back(c < 0x80 ? c : u'?');
  }
  return out;
}

}  // namespace

struct FontFace::FreeTypeFace {
  FT_Face face = nullptr;
  std::mutex mutex;  // FT_Face is not safe for concurrent use
  ~FreeTypeFace() {
    if (face) {
      std::lock_guard lock(LibraryMutex());
      FT_Done_Face(face);
    }
  }
};

FontFace::~FontFace() = default;

namespace {

// A font file mapped read-only: the faces read their tables from the page cache, and only
// the pages they touch count in the process's memory, instead of a heap copy per file.
class MappedFontFile {
 public:
  MappedFontFile(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  MappedFontFile(const MappedFontFile&) = delete;
  MappedFontFile& operator=(const MappedFontFile&) = delete;
  ~MappedFontFile() { ::munmap(const_cast<std::uint8_t*>(data_), size_); }
  ByteSpan Bytes() const { return ByteSpan(data_, size_); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

using FileBytes = std::shared_ptr<const MappedFontFile>;

FileBytes MapFontFile(const std::string& path, std::string* error) {
  auto fail = [&](const char* why) {
    if (error) *error = why;
    return nullptr;
  };
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
    return fail("cannot read font file");
  const auto size = static_cast<std::uintmax_t>(info.st_size);
  if (size > kMaxFontFile) return fail("font file too large");
  if (size == 0) return fail("font file is empty");
  void* data = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, fd.Get(), 0);
  if (data == MAP_FAILED) return fail("cannot read font file");
  return std::make_shared<const MappedFontFile>(static_cast<const std::uint8_t*>(data),
                                                static_cast<std::size_t>(size));
}

// The faces of one collection share one mapping of the file while any of them is alive.
FileBytes SharedFontFile(const std::string& path, std::string* error) {
  static std::mutex mutex;
  static std::map<std::string, std::weak_ptr<const MappedFontFile>> files;
  std::lock_guard lock(mutex);
  // Forget files whose faces are all gone, so that the map stays as small as the face cache.
  std::erase_if(files, [](const auto& entry) { return entry.second.expired(); });
  auto& slot = files[path];
  if (FileBytes bytes = slot.lock()) return bytes;
  FileBytes bytes = MapFontFile(path, error);
  slot = bytes;
  return bytes;
}

}  // namespace

std::shared_ptr<const FontFace> FontFace::Load(const std::string& path, std::uint32_t index,
                                               std::string* error) {
  FileBytes file = SharedFontFile(path, error);
  if (!file) return nullptr;
  const ByteSpan bytes = file->Bytes();
  return Make(std::move(file), bytes, index, path, error);
}

std::shared_ptr<const FontFace> FontFace::FromBytes(std::vector<std::uint8_t> bytes,
                                                    std::uint32_t index, std::string* error) {
  auto owned = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
  const ByteSpan span(*owned);
  return Make(std::move(owned), span, index, std::string(), error);
}

std::shared_ptr<FontFace> FontFace::Make(std::shared_ptr<const void> owner, ByteSpan file,
                                         std::uint32_t index, const std::string& path,
                                         std::string* error) {
  std::shared_ptr<FontFace> face(new FontFace());
  face->path_ = path;
  face->sfnt_ = SfntFace::Parse(std::move(owner), file, index, error);
  if (!face->sfnt_ || !face->Init(error)) return nullptr;
  return face;
}

bool FontFace::Init(std::string* error) {
  auto fail = [&](const char* why) {
    if (error) *error = why;
    return false;
  };
  ft_ = std::make_unique<FreeTypeFace>();
  {
    std::lock_guard lock(LibraryMutex());
    FT_Library lib = Library();
    if (!lib) return fail("FreeType unavailable");
    const auto& file = sfnt_->File();
    if (FT_New_Memory_Face(lib, file.data(), static_cast<FT_Long>(file.size()),
                           static_cast<FT_Long>(sfnt_->Index()), &ft_->face) != 0) {
      ft_->face = nullptr;
      return fail("FreeType cannot open the face");
    }
  }
  // FreeType reads the same tables; a disagreement means the file is not what it claims.
  if (!FT_IS_SFNT(ft_->face) || !FT_IS_SCALABLE(ft_->face) ||
      ft_->face->num_glyphs != sfnt_->NumGlyphs() ||
      ft_->face->units_per_EM != sfnt_->Head().unitsPerEm)
    return fail("FreeType and the face's tables disagree");

  family_ = sfnt_->Names().family;
  if (family_.empty())
    family_ = path_.empty() ? u"Font" : Widen(std::filesystem::path(path_).stem().string());
  const Os2Table& os2 = sfnt_->Os2();
  averageWidth_ = os2.xAvgCharWidth;
  if (averageWidth_ <= 0) {
    std::int64_t sum = 0, count = 0;
    for (std::uint32_t g = 0; g < sfnt_->NumGlyphs(); ++g)
      if (const auto a = sfnt_->Advance(static_cast<std::uint16_t>(g))) sum += a, ++count;
    averageWidth_ = count ? static_cast<std::int32_t>(sum / count) : 0;
  }
  lowercaseAverageWidth_ = LowercaseAverage();
  capHeight_ = os2.version >= 2 && os2.sCapHeight > 0 ? os2.sCapHeight : GlyphTop('H');
  xHeight_ = os2.version >= 2 && os2.sxHeight > 0 ? os2.sxHeight : GlyphTop('x');
  return true;
}

std::int32_t FontFace::LowercaseAverage() const {
  // Weights per thousand of "a" to "z", then the space.
  static constexpr std::int32_t kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63,
                                                3,  6,  35, 20, 56,  56, 17, 4,  49,
                                                56, 71, 31, 10, 18,  3,  18, 2,  166};
  std::int64_t sum = 0;
  for (std::uint32_t i = 0; i < 27; ++i) {
    const std::uint16_t glyph = GlyphOf(i < 26 ? 'a' + i : ' ');
    if (glyph == 0) return 0;
    sum += std::int64_t{sfnt_->Advance(glyph)} * kWeights[i];
  }
  return static_cast<std::int32_t>(sum / 1000);
}

std::int32_t FontFace::GlyphTop(std::uint32_t code) {
  const std::uint16_t glyph = GlyphOf(code);
  if (!glyph) return 0;
  std::lock_guard lock(ft_->mutex);
  if (FT_Load_Glyph(ft_->face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP))
    return 0;
  if (ft_->face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return 0;
  FT_BBox box;
  FT_Outline_Get_CBox(&ft_->face->glyph->outline, &box);
  return box.yMax > 0 && box.yMax < 0x8000 ? static_cast<std::int32_t>(box.yMax) : 0;
}

bool FontFace::IsFixedPitch() const {
  return sfnt_->Post().isFixedPitch || sfnt_->Os2().panose[3] == 9;  // panose: monospaced
}

bool FontFace::IsItalic() const {
  return (sfnt_->Os2().fsSelection & 1) || (sfnt_->Head().macStyle & 2);
}

std::uint16_t FontFace::Weight() const {
  const std::uint16_t w = sfnt_->Os2().usWeightClass;
  if (w >= 1 && w <= 1000) return w;
  return (sfnt_->Head().macStyle & 1) ? 700 : 400;
}

std::uint16_t FontFace::GlyphOf(std::uint32_t code) const {
  const std::uint16_t glyph = sfnt_->Cmap().Glyph(code);
  return glyph < sfnt_->NumGlyphs() ? glyph : 0;
}

namespace {

struct Collector {
  std::vector<OutlineSegment>* out;
};

int MoveTo(const FT_Vector* to, void* user) {
  static_cast<Collector*>(user)->out->push_back(
      {OutlineSegment::kMove, {double(to->x), 0, 0}, {double(to->y), 0, 0}});
  return 0;
}
int LineTo(const FT_Vector* to, void* user) {
  static_cast<Collector*>(user)->out->push_back(
      {OutlineSegment::kLine, {double(to->x), 0, 0}, {double(to->y), 0, 0}});
  return 0;
}
int ConicTo(const FT_Vector* c, const FT_Vector* to, void* user) {
  static_cast<Collector*>(user)->out->push_back(
      {OutlineSegment::kConic, {double(c->x), double(to->x), 0}, {double(c->y), double(to->y), 0}});
  return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  static_cast<Collector*>(user)->out->push_back({OutlineSegment::kCubic,
                                                 {double(c1->x), double(c2->x), double(to->x)},
                                                 {double(c1->y), double(c2->y), double(to->y)}});
  return 0;
}

}  // namespace

bool FontFace::Outline(std::uint16_t glyph, const OutlineStyle& style,
                       std::vector<OutlineSegment>* out) const {
  out->clear();
  if (glyph >= sfnt_->NumGlyphs()) return false;
  std::lock_guard lock(ft_->mutex);
  if (FT_Load_Glyph(ft_->face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP))
    return false;
  FT_GlyphSlot slot = ft_->face->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
  FT_Outline& outline = slot->outline;
  if (style.embolden) {
    const FT_Pos strength = sfnt_->Head().unitsPerEm / 32;
    FT_Outline_EmboldenXY(&outline, strength, strength);
  }
  if (style.oblique) {
    FT_Matrix shear = {0x10000, 0x0366A, 0, 0x10000};  // x += 0.2126 y
    FT_Outline_Transform(&outline, &shear);
  }
  static const FT_Outline_Funcs funcs = {MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
  Collector collector{out};
  return FT_Outline_Decompose(&outline, &funcs, &collector) == 0;
}

const std::vector<std::uint8_t>& FontFace::StandaloneSfnt() const {
  std::call_once(standaloneOnce_, [this] { standalone_ = BuildStandaloneSfnt(*sfnt_); });
  return standalone_;
}

std::shared_ptr<const FontFace> CachedFontFace(const std::string& path, std::uint32_t index,
                                               std::string* error) {
  struct Slot {
    std::shared_ptr<const FontFace> face;
    std::string error;
  };
  static std::mutex mutex;
  static std::map<std::pair<std::string, std::uint32_t>, Slot> cache;
  const auto key = std::make_pair(path, index);
  {
    std::lock_guard lock(mutex);
    if (const auto it = cache.find(key); it != cache.end()) {
      if (!it->second.face && error) *error = it->second.error;
      return it->second.face;
    }
  }
  // Loaded outside the lock; two threads loading the same face keep the first result.
  Slot slot;
  slot.face = FontFace::Load(path, index, &slot.error);
  std::lock_guard lock(mutex);
  // Bounded: faces in use stay alive through their holders, and a mapping lives only as long
  // as one of its faces does.
  if (cache.size() >= kMaxCachedFaces && cache.find(key) == cache.end()) cache.clear();
  const auto& kept = cache.emplace(key, std::move(slot)).first->second;
  if (!kept.face && error) *error = kept.error;
  return kept.face;
}

}  // namespace qvplatform
