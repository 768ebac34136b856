#include "QVPDFDev/fonts/pdf_font_stream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "QVPDFDev/objects/pdf_object_owner.h"
#include "QVPDFDev/truetype/truetype_subset.h"
#include "synthetic_font.h"
#include "truetype_test_support.h"

namespace vellora {
namespace {

class Owner : public TQVPDFObjectOwner {
 public:
  Owner() { writer.Sink().OpenMemory(); }
  TQVPDFFileWriter& Output() override { return writer; }
  const TQVPDFWriterSettings& WriterSettings() const override { return settings; }
  TQVPDFResource* SharedResources() override { return nullptr; }

  std::string Bytes() {
    const auto& bytes = writer.Sink().MemoryBytes();
    return std::string(bytes.begin(), bytes.end());
  }

  TQVPDFFileWriter writer;
  TQVPDFWriterSettings settings;
};

class Descriptor : public TQVFontStreamDescriptor {
 public:
  std::uint8_t GetCIDKind() const override { return kind; }
  bool IsWholeFont() const override { return whole; }
  std::string GetFontName() const override { return "TORVAN+LiberationSans"; }
  std::uint8_t kind = 0;
  bool whole = false;
};

class Reporter : public TQVFontStreamReporter {
 public:
  void FontSubsetFailed(const std::string& fontName, const std::string& reason) override {
    reports.push_back(fontName + ": " + reason);
  }
  std::vector<std::string> reports;
};

struct Written {
  std::string dictionary;  // from "<<" to " >>"
  std::vector<uint8_t> data;
  long length1 = -1;
};

// Splits the written object into its dictionary and its stream data.
Written Parse(const std::string& pdf) {
  Written w;
  const size_t open = pdf.find("<<");
  const size_t close = pdf.find(" >>\r\nstream\n");
  const size_t end = pdf.rfind("\nendstream\r\nendobj\n");
  if (open == std::string::npos || close == std::string::npos || end == std::string::npos) return w;
  w.dictionary = pdf.substr(open, close + 3 - open);
  const size_t start = close + 12;
  w.data.assign(pdf.begin() + static_cast<long>(start), pdf.begin() + static_cast<long>(end));
  if (const size_t at = w.dictionary.find("/Length1 "); at != std::string::npos)
    w.length1 = std::stol(w.dictionary.substr(at + 9));
  return w;
}

long Length(const std::string& dictionary) {
  return std::stol(dictionary.substr(dictionary.find("/Length ") + 8));
}

std::vector<uint8_t> Inflate(const std::vector<uint8_t>& data, size_t size) {
  std::vector<uint8_t> out(size);
  uLongf got = static_cast<uLongf>(size);
  if (uncompress(out.data(), &got, data.data(), static_cast<uLong>(data.size())) != Z_OK) return {};
  out.resize(got);
  return out;
}

struct Fixture {
  Owner owner;
  Descriptor descriptor;
  Reporter reporter;
  TQVPDFFontStream stream{&owner, &descriptor, &reporter};

  // Loads a font and marks text as pages would; CID kind 2 numbers glyphs in order of use.
  bool Load(const std::filesystem::path& path, std::u32string_view text) {
    stream.FontData() = vellora_test::FontBytes(path);
    if (stream.FontData().empty() || !stream.LoadTables()) return false;
    uint16_t cid = 0;
    for (char32_t code : text) {
      stream.MarkGlyph(static_cast<int32_t>(code), false);
      const int32_t glyph = stream.Tables()->GetGlyphIndex(static_cast<int32_t>(code));
      uint16_t& number = stream.Tables()->newNumber[static_cast<size_t>(glyph)];
      if (glyph > 0 && number == 0)
        number = descriptor.kind == 1 ? static_cast<uint16_t>(glyph) : ++cid;
    }
    return true;
  }
};

// Driven directly with compression off: the data is the subset of the pure subsetter, and
// /Length1 and /Length are its size; with Flate /Length1 stays the uncompressed size.
TEST(PDFFontStream, WritesSubsetWithLength1) {
  for (const uint8_t kind : {uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
    for (bool flate : {false, true}) {
      SCOPED_TRACE(std::to_string(kind) + (flate ? " flate" : ""));
      Fixture f;
      f.descriptor.kind = kind;
      f.stream.SetEmbed(true);
      if (flate) f.owner.settings.compression = qvCompressFlate;
      if (!f.Load(vellora_test::LiberationSans(), U"Äpfel, Öl & Ω")) GTEST_SKIP() << "no font";
      const std::vector<uint8_t> original = f.stream.FontData();
      TQVSubsetResult expected;
      ASSERT_TRUE(BuildTrueTypeSubset(
          {original, f.stream.Tables()->used, f.stream.Tables()->newNumber, kind}, expected));

      f.stream.WriteStream();
      const Written w = Parse(f.owner.Bytes());
      ASSERT_FALSE(w.dictionary.empty()) << f.owner.Bytes().substr(0, 200);
      EXPECT_EQ(w.length1, static_cast<long>(expected.data.size()));
      EXPECT_EQ(Length(w.dictionary), static_cast<long>(w.data.size()));
      const std::vector<uint8_t> font = flate ? Inflate(w.data, expected.data.size()) : w.data;
      EXPECT_EQ(font, expected.data);
      EXPECT_EQ(vellora_test::FreeTypeCheck(font, expected.glyphCount), "");
      EXPECT_EQ(f.stream.FontData(), original);
      EXPECT_FALSE(f.stream.WholeFont());
      EXPECT_FALSE(f.stream.NeedsCIDToGIDMap());
      EXPECT_TRUE(f.reporter.reports.empty());
    }
  }
}

// A font whose used glyph is damaged cannot be subset: the whole font goes in, the failure is
// reported, and a CID font of kind above 1 gets the map from its CIDs to the glyphs.
TEST(PDFFontStream, FailedSubsetEmbedsWholeFont) {
  if (vellora_test::BuiltFonts().empty()) GTEST_SKIP() << "no python3 with fontTools";
  for (const uint8_t kind : {uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
    SCOPED_TRACE(kind);
    Fixture f;
    f.descriptor.kind = kind;
    ASSERT_TRUE(f.Load(vellora_test::BuiltFonts() / "broken.ttf", U"BA"));
    f.stream.PrepareData();
    EXPECT_TRUE(f.stream.WholeFont());
    EXPECT_EQ(f.stream.Data(), f.stream.FontData());
    ASSERT_EQ(f.reporter.reports.size(), 1u);
    EXPECT_EQ(f.reporter.reports[0], "TORVAN+LiberationSans: glyph 2 lies outside glyf");
    EXPECT_EQ(f.stream.NeedsCIDToGIDMap(), kind == 2);
    if (kind == 2) {
      // CID 1 is "B" (glyph 2), CID 2 is "A" (glyph 1).
      EXPECT_EQ(f.stream.CIDToGIDMap(), std::vector<uint8_t>({0, 0, 0, 2, 0, 1}));
    }
    f.stream.WriteStream();
    const Written w = Parse(f.owner.Bytes());
    EXPECT_EQ(w.data, f.stream.FontData());
    EXPECT_EQ(w.length1, static_cast<long>(f.stream.FontData().size()));
    EXPECT_EQ(f.reporter.reports.size(), 1u);
  }
}

TEST(PDFFontStream, WholeFontsAndMissingData) {
  const std::vector<uint8_t> sans = vellora_test::FontBytes(vellora_test::LiberationSans());
  if (sans.empty()) GTEST_SKIP() << "Liberation Sans absent";
  {
    // The descriptor asks for the whole font.
    Fixture f;
    f.descriptor.whole = true;
    ASSERT_TRUE(f.Load(vellora_test::LiberationSans(), U"abc"));
    f.stream.WriteStream();
    EXPECT_EQ(Parse(f.owner.Bytes()).data, sans);
    EXPECT_TRUE(f.reporter.reports.empty());
  }
  {
    // Tables that cannot be parsed: none are kept and the bytes go in whole.
    Fixture f;
    f.stream.FontData() = {0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 'c', 'm', 'a', 'p'};
    EXPECT_FALSE(f.stream.LoadTables());
    EXPECT_EQ(f.stream.Tables(), nullptr);
    f.stream.MarkGlyph('A', false);
    f.stream.WriteStream();
    EXPECT_EQ(Parse(f.owner.Bytes()).data, f.stream.FontData());
  }
  {
    // No font bytes at all: an empty stream without /Length1.
    Fixture f;
    EXPECT_TRUE(f.stream.LoadTables());
    f.stream.WriteStream();
    const Written w = Parse(f.owner.Bytes());
    EXPECT_TRUE(w.data.empty());
    EXPECT_EQ(w.length1, -1);
    EXPECT_NE(w.dictionary.find("/Length 0"), std::string::npos);
  }
  {
    // Marking: nothing for codes <= 0; the Ohm sign comes with the Omega.
    Fixture f;
    ASSERT_TRUE(f.Load(vellora_test::LiberationSans(), U""));
    f.stream.MarkGlyph(0, false);
    f.stream.MarkGlyph(-3, false);
    EXPECT_FALSE(f.stream.Tables()->hasVisibleGlyph);
    f.stream.MarkGlyph(0x03A9, false);
    const TQV_TTF_CMAP& t = *f.stream.Tables();
    EXPECT_EQ(t.used[static_cast<size_t>(t.GetGlyphIndex(0x2126))], 1);
    EXPECT_TRUE(t.hasVisibleGlyph);
  }
}

}  // namespace
}  // namespace vellora
