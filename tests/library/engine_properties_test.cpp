// Property keys through the exports: which keys the engine knows, what a null context and a
// key outside the tables give, and keys whose effect shows in the written document.
#include <gtest/gtest.h>

#include <string>

#include "emf_builder.h"
#include "engine_host.h"
#include "qvplatform/metafile.h"

namespace vellora_test {
namespace {

bool Known(int key, const std::initializer_list<int>& refused) {
  for (int r : refused)
    if (r == key) return false;
  return true;
}

TEST(EngineProperties, EveryKeyOfTheTablesIsKnownAndNoOther) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  EngineContext c;
  ASSERT_NE(c.get(), nullptr);
  for (int key = -2; key <= 20; ++key) {
    SCOPED_TRACE("string key " + std::to_string(key));
    const bool known = key >= 1 && key <= 16 && key != 8;
    EXPECT_EQ(e->SetSProp(c, key, "x"), known);
    EXPECT_FALSE(e->SetSProp(nullptr, key, "x"));
  }
  for (int key = -2; key <= 60; ++key) {
    SCOPED_TRACE("integer key " + std::to_string(key));
    // Keys 54 to 56 are process-wide: they are set back to their defaults below.
    const bool known =
        key >= 1 && key <= 56 && Known(key, {16, 17, 18, 19, 20, 23, 30, 31, 32, 33, 34, 35, 36,
                                             37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49});
    const int value = key == 7 ? 0 : 1;  // no encryption: documents must still begin below
    EXPECT_EQ(e->SetIProp(c, key, value), known);
    EXPECT_FALSE(e->SetIProp(nullptr, key, value));
  }
  EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_DEFAULT_DIVISOR, 1));
  EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_NO_HIGH_RES, 0));
  EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_ITALIC_AS_ARIAL, 0));
  // A null text is the empty text; a pointer that is no context is refused.
  EXPECT_TRUE(e->SetSProp(c, QVPDF_SPROP_TITLE, nullptr));
  // A text without a terminator within 16 MiB is refused before anything is read past it.
  std::string endless((std::size_t{1} << 24) + 1, 'a');
  EXPECT_FALSE(e->SetSProp(c, QVPDF_SPROP_TITLE, endless.data()));
  int notAContext = 0;
  EXPECT_FALSE(e->SetSProp(reinterpret_cast<TQVPDFEngineContext*>(&notAContext), 5, "x"));
  EXPECT_FALSE(e->SetIProp(reinterpret_cast<TQVPDFEngineContext*>(&notAContext), 1, 0));
}

// A document written to memory after the given settings: one page with a picture.
std::string OnePageDocument(TQVPDFEngineContext* c) {
  const EngineEntries* e = Engine();
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>("")), 0);
  const TQVPDFPageInit page = PageRecord(200, 100);
  EXPECT_EQ(e->InitializePage(c, 0, &page), 1);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  const std::vector<unsigned char> emf = HalfBlackPicture(200, 100);
  const qvplatform::MetafileLoadResult picture =
      qvplatform::LoadMetafileBytes(emf.data(), emf.size());
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_METAFILE, static_cast<int>(picture.handle), nullptr), 0);
  qvplatform::DeleteEnhMetaFile(picture.handle);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
  return DocumentBytes(c);
}

TEST(EngineProperties, InformationTextsAndWriterSettingsReachTheFile) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  EngineContext c;
  EXPECT_TRUE(e->SetSProp(c, QVPDF_SPROP_AUTHOR, "Ann Author"));
  EXPECT_TRUE(e->SetSProp(c, QVPDF_SPROP_TITLE, "A Title"));
  // Key 4 names the creator; the producer stays the engine's own.
  EXPECT_TRUE(e->SetSProp(c, QVPDF_SPROP_CREATOR, "Host Program"));
  EXPECT_TRUE(e->SetSProp(c, QVPDF_SPROP_INFO_STRINGS, "Company=Example Ltd"));
  EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_PAGE_MODE, 0x100 | QVPDF_PAGE_MODE_FULL_SCREEN));
  const std::string pdf = OnePageDocument(c);
  EXPECT_EQ(pdf.rfind("%PDF-1.4", 0), 0u);
  EXPECT_NE(pdf.find("/Author(Ann Author)"), std::string::npos);
  EXPECT_NE(pdf.find("/Title(A Title)"), std::string::npos);
  EXPECT_NE(pdf.find("/Creator(Host Program)"), std::string::npos);
  EXPECT_NE(pdf.find("/Producer(Folvio3 by Torvane GmbH)"), std::string::npos);
  EXPECT_NE(pdf.find("/Company(Example Ltd)"), std::string::npos);
  // The low byte of the value: full screen.
  EXPECT_NE(pdf.find("/PageMode/FullScreen"), std::string::npos);
  EXPECT_EQ(QpdfProblems(pdf), "");
}

TEST(EngineProperties, EachInformationKeyFillsItsOwnEntry) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  static const struct {
    int key;
    const char* entry;
  } kCases[] = {{QVPDF_SPROP_AUTHOR, "/Author"},
                {QVPDF_SPROP_CREATOR, "/Creator"},
                {QVPDF_SPROP_TITLE, "/Title"},
                {QVPDF_SPROP_SUBJECT, "/Subject"},
                {QVPDF_SPROP_KEYWORDS, "/Keywords"}};
  EngineContext c;
  for (const auto& k : kCases)
    EXPECT_TRUE(e->SetSProp(c, k.key, ("text of key " + std::to_string(k.key)).c_str()));
  const std::string pdf = OnePageDocument(c);
  for (const auto& k : kCases) {
    SCOPED_TRACE(k.entry);
    EXPECT_NE(pdf.find(std::string(k.entry) + "(text of key " + std::to_string(k.key) + ")"),
              std::string::npos);
  }
}

// A page with a line of text in the face, written after the given settings.
std::string TextDocument(TQVPDFEngineContext* c, const std::u16string& face) {
  const EngineEntries* e = Engine();
  EmfBuilder b;
  b.SetHandles(2);
  b.CreateFont(1, EmfBuilder::Font(face, -20));
  b.SelectObject(1);
  b.ExtTextOutW(10, 40, u"Hello");
  b.Eof();
  const std::vector<unsigned char> emf = b.Bytes();
  const qvplatform::MetafileLoadResult picture =
      qvplatform::LoadMetafileBytes(emf.data(), emf.size());
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>("")), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_METAFILE, static_cast<int>(picture.handle), nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
  qvplatform::DeleteEnhMetaFile(picture.handle);
  return DocumentBytes(c);
}

TEST(EngineProperties, FontModeExcludedFontsAndAliasesReachTheFonts) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  struct Case {
    const char* name;
    int fontMode;
    const char* excluded;  // key 9, or nullptr
    const char* alias;     // command 5573, or nullptr
    std::u16string face;
    const char* expected;  // in the file
    const char* absent;    // not in the file
  };
  const Case cases[] = {
      {"standard fonts", QVPDF_FONT_MODE_USE_BASE14, nullptr, nullptr, u"Arial",
       "/BaseFont/Helvetica", "/FontFile2"},
      {"an alias", QVPDF_FONT_MODE_USE_BASE14, nullptr, "Host Face=Courier New", u"Host Face",
       "/BaseFont/Courier", "Helvetica"},
      {"embedded", QVPDF_FONT_MODE_EMBED_TRUETYPE, nullptr, nullptr, u"Arial", "/FontFile2",
       "/BaseFont/Helvetica"},
      {"embedding excluded", QVPDF_FONT_MODE_EMBED_TRUETYPE, "Times New Roman,Arial", nullptr,
       u"Arial", "/BaseFont/Arial", "/FontFile2"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    EngineContext c;
    EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_FONT_MODE, k.fontMode));
    if (k.excluded != nullptr) {
      EXPECT_TRUE(e->SetSProp(c, QVPDF_SPROP_EXCLUDED_FONTS, k.excluded));
    }
    if (k.alias != nullptr) {
      EXPECT_EQ(e->Do(c, QVPDF_CMD_FONT_ALIAS, QVPDF_FONT_ALIAS_ADD, const_cast<char*>(k.alias)),
                -1);
    }
    const std::string pdf = TextDocument(c, k.face);
    EXPECT_NE(pdf.find(k.expected), std::string::npos);
    EXPECT_EQ(pdf.find(k.absent), std::string::npos);
    EXPECT_EQ(QpdfProblems(pdf), "");
  }
}

TEST(EngineProperties, JpegKeySwitchesTheConversionOfBitmaps) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  EmfBuilder b;
  b.StretchDIBits({0, 0, 40, 40}, TestDib::Filled(40, 40, 24, 0x80));
  b.Eof();
  const std::vector<unsigned char> emf = b.Bytes();
  const qvplatform::MetafileLoadResult picture =
      qvplatform::LoadMetafileBytes(emf.data(), emf.size());
  struct Case {
    std::vector<int> values;  // key 12, in this order
    bool jpeg;
  };
  for (const Case& k : {Case{{}, false}, Case{{3}, true}, Case{{3, 0}, false}, Case{{-40}, true},
                        Case{{0, -40}, true}, Case{{6}, true}}) {
    SCOPED_TRACE(::testing::PrintToString(k.values));
    EngineContext c;
    for (int v : k.values) EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_JPEG_QUALITY, v));
    EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>("")), 0);
    EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_METAFILE, static_cast<int>(picture.handle), nullptr), 0);
    EXPECT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
    const std::string pdf = DocumentBytes(c);
    EXPECT_NE(pdf.find("/Subtype/Image"), std::string::npos);
    EXPECT_EQ(pdf.find("/DCTDecode") != std::string::npos, k.jpeg);
    EXPECT_EQ(QpdfProblems(pdf), "");
  }
  qvplatform::DeleteEnhMetaFile(picture.handle);
}

TEST(EngineProperties, CompressionKeysAndFastFlate) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  {
    EngineContext c;
    EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_COMPRESS_STREAM_METHOD, QVPDF_COMPRESS_NONE));
    EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_FAST_FLATE, 0));  // 0 changes nothing
    EXPECT_EQ(OnePageDocument(c).find("/FlateDecode"), std::string::npos);
  }
  {
    EngineContext c;
    EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_FAST_FLATE, 1));
    EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_ENCODE_STREAM_METHOD, QVPDF_ENCODE_ASCIIHEX));
    const std::string pdf = OnePageDocument(c);
    EXPECT_NE(pdf.find("/ASCIIHexDecode"), std::string::npos);
    EXPECT_NE(pdf.find("/FlateDecode"), std::string::npos);
    EXPECT_EQ(QpdfProblems(pdf), "");
  }
}

// Keys 7 (the permission set), 15 (the key strength), 10 and 11 (the passwords) make an
// encrypted document that 5558 begins; only the low 16 bits of key 7 count.
TEST(EngineProperties, EncryptionThroughTheEntryPoints) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  if (!HaveTool("qpdf") || !HaveTool("pdfinfo")) GTEST_SKIP() << "qpdf or poppler missing";
  {
    EngineContext c;
    EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_ENCRYPTION, 0x10000));
    const std::string pdf = OnePageDocument(c);
    EXPECT_EQ(pdf.find("/Encrypt"), std::string::npos);
  }
  EngineContext c;
  EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_ENCRYPTION,
                          QVPDF_BIT(QVPDF_ENCRYPT_FILE) | QVPDF_BIT(QVPDF_ENABLE_PRINTING)));
  EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_SECURITY, QVPDF_SECURITY_128BIT));
  EXPECT_TRUE(e->SetSProp(c, QVPDF_SPROP_OWNER_PASSWORD, "engine-owner"));
  EXPECT_TRUE(e->SetSProp(c, QVPDF_SPROP_USER_PASSWORD, "engine-user"));
  EXPECT_TRUE(e->SetSProp(c, QVPDF_SPROP_TITLE, "Engine Zebra Title"));
  const std::string pdf = OnePageDocument(c);  // 5558 answers 0 there
  EXPECT_EQ(pdf.find("Engine Zebra Title"), std::string::npos);
  const TempFile file(pdf);
  const std::string path = file.Path().string();
  const ToolResult owner = RunTool({"qpdf", "--show-encryption", "--password=engine-owner", path});
  EXPECT_NE(owner.out.find("Supplied password is owner password"), std::string::npos) << owner.out;
  EXPECT_NE(owner.out.find("R = 3"), std::string::npos) << owner.out;
  EXPECT_NE(owner.out.find("P = -1852"), std::string::npos) << owner.out;
  EXPECT_EQ(RunTool({"qpdf", "--check", "--password=engine-user", path}).status, 0);
  EXPECT_NE(RunTool({"qpdf", "--check", "--password=nobody", path}).status, 0);
  EXPECT_NE(RunTool({"pdfinfo", "-upw", "engine-user", path}).out.find("Engine Zebra Title"),
            std::string::npos);
}

}  // namespace
}  // namespace vellora_test
