// What the image, level, text-setting, destination and attachment commands of metafile
// comments do to the written file, as independent readers see it: pdfimages and the rendered
// pixels for images and saved levels, the decompressed content and pdffonts for text settings,
// MuPDF's links for a local destination, pdfdetach for attachments.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "attachment_record_builder.h"
#include "command_record.h"
#include "emf_builder.h"
#include "font_test_env.h"
#include "pdf_device_images_support.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::CommandRecord;
using vellora_test::DocumentBytes;
using vellora_test::EmfBuilder;
using vellora_test::FixedDocumentEnvironment;
using vellora_test::kCommandAnsi;
using vellora_test::kCommandUtf8;
using vellora_test::QpdfProblems;
using vellora_test::Raster;
using vellora_test::RecordingDevice;
using vellora_test::RunTool;
using vellora_test::TempFile;
using vellora_test::TestDib;

constexpr qvplatform::DWORD kNullPen = 0x80000008;

using Draw = std::function<void(EmfBuilder&)>;

std::vector<unsigned char> Picture(const Draw& draw) {
  EmfBuilder b = vellora_test::PointPicture(300, 300);
  b.SetHandles(8);
  draw(b);
  b.Eof();
  return b.Bytes();
}

// Pictures of 300 points square drawn at the top left of a 72 dpi page, with the device's own
// calls between them; written uncompressed.
std::string Convert(const Draw& draw, const std::function<void(RecordingDevice&)>& between = {},
                    const Draw& after = {}) {
  FixedDocumentEnvironment env;
  RecordingDevice d;
  d.options.writer.compression = qvCompressNone;
  d.BeginDoc(576, 800, 72, 0);
  d.BeginPage(612, 792, 72, 72, 0);
  for (const Draw* picture : {&draw, &after}) {
    if (!*picture) continue;
    const std::vector<unsigned char> bytes = Picture(*picture);
    d.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 300, 300, false, 0, 0);
    if (between && picture == &draw) between(d);
  }
  d.EndPage();
  d.EndDoc();
  return DocumentBytes(d);
}

void Command(EmfBuilder& b, std::int32_t code, const std::string& text,
             qvplatform::RECTL r = {0, 0, 0, 0}, std::uint32_t magic = kCommandAnsi) {
  b.GdiComment(CommandRecord(code, magic, r, text));
}

Raster Colour(const std::string& pdf) {
  vellora_test::RenderOptions options;
  options.colour = true;
  return vellora_test::RenderPage(pdf, options);
}

// pdfimages -list: one row per image drawn, "object" its object number.
std::vector<std::string> ImageObjects(const std::string& pdf) {
  const TempFile file(pdf, ".pdf");
  const std::string list = RunTool({"pdfimages", "-list", file.Path().string()}).out;
  std::vector<std::string> objects;
  std::size_t line = list.find('\n', list.find("-----"));
  while (line != std::string::npos && line + 1 < list.size()) {
    const std::size_t end = list.find('\n', line + 1);
    std::vector<std::string> fields;
    std::string field;
    for (std::size_t i = line + 1; i < std::min(end, list.size()); ++i) {
      if (list[i] == ' ') {
        if (!field.empty()) fields.push_back(field);
        field.clear();
      } else {
        field += list[i];
      }
    }
    if (!field.empty()) fields.push_back(field);
    if (fields.size() > 10)
      objects.push_back(fields[2] + " " + fields[3] + "x" + fields[4] + " " + fields[8] + " " +
                        fields[10]);
    line = end;
  }
  return objects;
}

void Dib(EmfBuilder& b, qvplatform::RECTL r, std::uint8_t grey) {
  b.StretchDIBits({r.left, r.top, r.right - r.left, r.bottom - r.top},
                  TestDib::Filled(4, 4, 24, grey));
}

TEST(PDFDeviceCommandEffects, ImageCommandsNameStoreAndPlaceImages) {
  const std::vector<std::uint32_t> red(64, 0xE00000);
  const std::vector<std::uint8_t> jpeg = vellora_test::JpegBytes(8, 8, red);
  const std::string jpegText(jpeg.begin(), jpeg.end());
  struct Case {
    const char* name;
    Draw draw;
    std::vector<std::string> images;  // type, size and object number of each drawn image
    std::vector<std::pair<int, std::uint32_t>> greys;  // x = y of a pixel and its colour
  };
  const std::vector<Case> cases = {
      {"JPEG data stored under its number, then placed by that name",
       [&](EmfBuilder& b) {
         b.GdiComment(CommandRecord(3001, kCommandAnsi, {7, 2, 8, 8}, jpegText));
         Command(b, 2001, "MarliskJIF_7", {100, 100, 150, 150});
       },
       {"image 8x8 jpeg"},
       {{125, 0xE00000}, {50, 0xFFFFFF}}},
      {"a bitmap name makes a second bitmap of that name reuse the first",
       [](EmfBuilder& b) {
         Command(b, 512, "pic");
         Dib(b, {10, 10, 40, 40}, 0x40);
         Command(b, 512, "pic");
         Dib(b, {100, 100, 150, 150}, 0xC0);
       },
       {"image 4x4 image", "image 4x4 image"},
       {{25, 0x404040}, {125, 0x404040}}},
      {"a name with no image draws nothing, and the name is not left for the next image",
       [](EmfBuilder& b) {
         Command(b, 2001, "absent", {100, 100, 150, 150});
         Dib(b, {10, 10, 40, 40}, 0x40);
         Command(b, 2001, "absent", {200, 200, 250, 250});
       },
       {"image 4x4 image"},
       {{25, 0x404040}, {125, 0xFFFFFF}, {225, 0xFFFFFF}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string pdf = Convert(c.draw);
    ASSERT_EQ(QpdfProblems(pdf), "");
    const std::vector<std::string> images = ImageObjects(pdf);
    ASSERT_EQ(images.size(), c.images.size());
    for (std::size_t i = 0; i < images.size(); ++i)
      EXPECT_EQ(images[i].rfind(c.images[i], 0), 0u) << images[i];
    // Drawn twice, stored once.
    if (images.size() == 2) {
      EXPECT_EQ(images[0], images[1]);
    }
    const Raster page = Colour(pdf);
    ASSERT_TRUE(page.ok) << page.diagnostics;
    EXPECT_EQ(page.diagnostics, "");  // no XObject the page lacks
    for (const auto& [xy, colour] : c.greys)
      EXPECT_TRUE(vellora_test::CloseColour(page.At(xy, xy), colour, 24))
          << xy << ": " << vellora_test::HexColour(page.At(xy, xy));
  }
}

TEST(PDFDeviceCommandEffects, ImageNameServesTheNextImageAdded) {
  // The engine adds the image between two pictures; the second places it by the name.
  const std::vector<std::uint8_t> jpeg =
      vellora_test::JpegBytes(8, 8, std::vector<std::uint32_t>(64, 0xE00000));
  const std::string pdf = Convert(
      [](EmfBuilder& b) { Command(b, 522, "logo"); },
      [&](RecordingDevice& d) { d.Images().AddImageData(0, jpeg.data(), jpeg.size(), 2, 8, 8); },
      [](EmfBuilder& b) {
        Command(b, 2001, "LOGO", {100, 100, 150, 150});
        Command(b, 2001, "logo", {200, 200, 250, 250});
      });
  ASSERT_EQ(QpdfProblems(pdf), "");
  const std::vector<std::string> images = ImageObjects(pdf);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0], images[1]);
  const Raster page = Colour(pdf);
  ASSERT_TRUE(page.ok) << page.diagnostics;
  EXPECT_TRUE(vellora_test::CloseColour(page.At(125, 125), 0xE00000, 24));
  EXPECT_TRUE(vellora_test::CloseColour(page.At(225, 225), 0xE00000, 24));
}

TEST(PDFDeviceCommandEffects, LevelCommandsSaveAndRestoreTheBrush) {
  // Red selected after the save; the restore gives the black brush back. With "=" the texts
  // belong to the extended device and leave the level alone.
  for (const bool extendedText : {false, true}) {
    SCOPED_TRACE(extendedText ? "texts with =" : "plain texts");
    const std::string pdf = Convert([&](EmfBuilder& b) {
      b.CreateBrush(1, 0 /* BS_SOLID */, 0x000000);
      b.CreateBrush(2, 0 /* BS_SOLID */, 0x0000FF);
      b.SelectObject(kNullPen);
      b.SelectObject(1);
      Command(b, 520, extendedText ? "script=x" : "");
      b.SelectObject(2);
      b.Rectangle({10, 10, 50, 50});
      Command(b, 521, extendedText ? "action=y" : "");
      b.Rectangle({100, 10, 150, 50});
    });
    ASSERT_EQ(QpdfProblems(pdf), "");
    const Raster page = Colour(pdf);
    ASSERT_TRUE(page.ok) << page.diagnostics;
    EXPECT_EQ(page.At(30, 30), 0xFF0000u);
    EXPECT_EQ(page.At(125, 30), extendedText ? 0xFF0000u : 0x000000u);
  }
}

TEST(PDFDeviceCommandEffects, TextSettingCommandsChangeTheTextWritten) {
  REQUIRE_TEST_FONTS();
  struct Case {
    const char* name;
    std::vector<std::pair<std::int32_t, std::string>> commands;
    std::vector<std::string> present, absent;  // in the page content
  };
  const std::vector<Case> cases = {
      {"plain", {}, {"(two words)Tj"}, {"(t)Tj", " Tr"}},
      // Each character at its place from the spacing array.
      {"exact positioning on", {{604, ""}}, {"(t)Tj 14 0 Td(w)Tj"}, {"(two words)Tj"}},
      {"exact positioning on and off again", {{604, ""}, {605, ""}}, {"(two words)Tj"}, {"(t)Tj"}},
      {"split at blanks", {{608, "1"}}, {"(two )Tj", "(words)Tj"}, {"(two words)Tj"}},
      {"split at blanks off", {{608, "0"}}, {"(two words)Tj"}, {"(two )Tj"}},
      {"outline text in red", {{2003, "255"}}, {"1 0 0 RG", "2 Tr"}, {}},
      {"outline text on, then off", {{2003, "255"}, {2003, ""}}, {"(two words)Tj"}, {"2 Tr"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string pdf = Convert([&](EmfBuilder& b) {
      for (const auto& [code, text] : c.commands) Command(b, code, text);
      b.CreateFont(1, EmfBuilder::Font(u"Liberation Sans", -24));
      b.SelectObject(1);
      b.ExtTextOutW(20, 20, u"two words", std::vector<qvplatform::INT>(9, 14));
    });
    ASSERT_EQ(QpdfProblems(pdf), "");
    const std::string content = vellora_test::QpdfQdf(pdf);
    for (const std::string& p : c.present) EXPECT_NE(content.find(p), std::string::npos) << p;
    for (const std::string& a : c.absent) EXPECT_EQ(content.find(a), std::string::npos) << a;
  }
}

TEST(PDFDeviceCommandEffects, ForcedCharsetSelectsTheFontOfThatCharset) {
  REQUIRE_TEST_FONTS();
  // Charset 2 (symbol) makes the text take a symbol-encoded font; "0" is the font's own.
  std::vector<std::string> encodings;
  for (const char* charset : {"0", "2"}) {
    const std::string pdf = Convert([&](EmfBuilder& b) {
      Command(b, 607, charset);
      b.CreateFont(1, EmfBuilder::Font(u"Liberation Sans", -24));
      b.SelectObject(1);
      b.ExtTextOutA(20, 20, "abc", {});
    });
    ASSERT_EQ(QpdfProblems(pdf), "");
    const std::vector<vellora_test::PdfFontRow> fonts = vellora_test::PdfFonts(pdf);
    ASSERT_EQ(fonts.size(), 1u);
    encodings.push_back(fonts[0].encoding);
  }
  EXPECT_NE(encodings[0], encodings[1]) << encodings[0];
}

TEST(PDFDeviceCommandEffects, LocalDestinationIsTheTargetOfALink) {
  const std::string pdf = Convert([](EmfBuilder& b) {
    Command(b, 502, "chapter", {144, 72, 144, 72});
    Command(b, 501, "chapter", {10, 10, 60, 30});
    Command(b, 501, "elsewhere", {10, 40, 60, 60});  // names no destination: no target
  });
  ASSERT_EQ(QpdfProblems(pdf), "");
  const std::string links = vellora_test::MuPdfLinks(pdf);
  EXPECT_NE(links.find("1 10 10 60 30 #page=1"), std::string::npos) << links;
  EXPECT_NE(links.find("-> 1"), std::string::npos) << links;
  const std::string dest = vellora_test::QpdfJsonQuery(pdf, R"(
page = get(get(trailer['/Root'])['/Pages'])['/Kids'][0]
for ref in get(page)['/Annots']:
    d = get(ref).get('/Dest')
    if d: print(d[0] == page, d[1:4])
)");
  // 72 points down from the top of the 792-point page.
  EXPECT_EQ(dest, "True ['/XYZ', 144, 720]\n") << dest;
}

TEST(PDFDeviceCommandEffects, AttachmentCommandsEmbedFiles) {
  using vellora_test::Body;
  const auto record = [](const std::string& name) {
    const std::vector<std::uint8_t> bytes =
        vellora_test::BuildAttachmentRecord(vellora_test::Record(name, {Body("body of " + name)}));
    return std::string(bytes.begin(), bytes.end());
  };
  const std::string pdf = Convert([&](EmfBuilder& b) {
    b.GdiComment(CommandRecord(3010, kCommandAnsi, {10, 10, 40, 40}, record("ansi.txt")));
    b.GdiComment(CommandRecord(3011, kCommandUtf8, {50, 10, 80, 40}, record("Größe.txt")));
  });
  ASSERT_EQ(QpdfProblems(pdf), "");
  const TempFile file(pdf, ".pdf");
  const std::string list = RunTool({"pdfdetach", "-list", file.Path().string()}).out;
  EXPECT_NE(list.find("2 embedded files"), std::string::npos) << list;
  EXPECT_NE(list.find("ansi.txt"), std::string::npos) << list;
  EXPECT_NE(list.find("Größe.txt"), std::string::npos) << list;
}

}  // namespace
}  // namespace vellora
