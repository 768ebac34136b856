// A small whole file (header, a page with a content stream, an image, an ICC colour space, a
// hatch pattern, output intents, catalog, cross-reference table and trailer) read back by
// qpdf under every compression and armour: the file checks clean and every stream decodes to
// what was written.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/resources/pdf_resource.h"
#include "QVPDFDev/resources/srgb_profile.h"
#include "pdf_test_owner.h"

namespace vellora {
namespace {

using vellora_test::TestOwner;

const char kContent[] =
    "q /C1 cs 0.5 0.2 0.1 sc 10 10 200 100 re f Q\n"
    "q /Brush cs 1 0 0 /winbrush2 scn 10 150 200 100 re f Q\n"
    "q 100 0 0 100 300 300 cm /qvk1 Do Q\n"
    "BT /F1 12 Tf 20 400 Td (\\(hello\\)) Tj ET";

std::string ImageData() {
  std::string pixels;
  for (int i = 0; i < 64 * 64; ++i) {
    pixels += static_cast<char>(i % 64 * 4);
    pixels += static_cast<char>(i / 64 * 4);
    pixels += static_cast<char>(128);
  }
  return pixels;
}

struct File {
  std::string bytes;
  int content = 0, image = 0, profile = 0;
};

File WriteFile(TQVCompressStreamMethod compression, TQVEncodeStreamMethod armour) {
  TestOwner owner;
  owner.settings.compression = compression;
  owner.settings.armour = armour;
  owner.settings.pdfaMode = folvioaLevelB;
  TQVPDFResource resources(&owner);
  owner.resources = &resources;
  TQVPDFCatalog catalog(&owner);
  vellora_test::WriteTestHeader(owner);

  catalog.SetOutputIntents(std::make_unique<TQVPDFOutputIntents>(&owner));
  TQVPDFColorSpaceStream* profile = resources.AddICCColorSpace("C1", 1, nullptr, 0, 3, "");
  resources.Patterns().Add("winbrush2", std::make_unique<TQVPDFPatternStream>(&owner, 0.5f, 2));
  struct Font : TQVPDFName {
    using TQVPDFName::TQVPDFName;
    std::string GetEntryString() override { return "/F1 " + GetReference(); }
  };
  resources.Fonts().push_back(
      std::make_unique<Font>(&owner, "Type/Font/Subtype/Type1/BaseFont/Helvetica"));

  auto image = std::make_unique<TQVPDFStream>(&owner);
  image->SetExtraEntries(
      "/Type/XObject/Subtype/Image/Width 64/Height 64/ColorSpace/DeviceRGB/BitsPerComponent 8");
  image->BeginData();
  image->WriteString(ImageData());
  image->WriteStream();  // images are written when they are made
  TQVPDFStream* imagePtr = image.get();
  resources.XObjects().Add("image", std::move(image));

  auto page = std::make_unique<TQVPDFPage>(&owner);
  TQVPDFStream* content = page->AddContents(std::make_unique<TQVPDFStream>(&owner, 'T'));
  content->BeginData();
  content->WriteString(kContent);
  content->WriteStream();
  page->SetSize(612, 792);
  page->WritePageObjects();
  File file;
  file.content = content->ObjectNumber();
  catalog.AddPage(std::move(page));

  resources.WriteObject();
  catalog.Pages().WriteObject();
  catalog.WriteObject();
  file.bytes = vellora_test::FinishTestFile(owner, catalog);
  file.image = imagePtr->ObjectNumber();
  file.profile = profile->ObjectNumber();
  return file;
}

TEST(WholeFile, QpdfReadsEveryCompressionAndArmour) {
  if (!vellora_test::HaveTool("qpdf")) GTEST_SKIP() << "qpdf missing";
  const std::span<const std::uint8_t> srgb = BuiltInSRGBProfile();
  const std::string profileBytes(srgb.begin(), srgb.end());
  for (auto compression :
       {qvCompressNone, qvCompressFlate, qvCompressRunlength, qvCompressFastFlate}) {
    for (auto armour : {qvEncodeNone, qvASCII85Encode, qvASCIIHexEncode}) {
      SCOPED_TRACE(testing::Message()
                   << "compression " << int(compression) << " armour " << int(armour));
      const File file = WriteFile(compression, armour);
      const auto check = vellora_test::QpdfCheck(file.bytes);
      EXPECT_EQ(check.status, 0) << check.out;
      EXPECT_NE(check.out.find("No syntax or stream encoding errors found"), std::string::npos)
          << check.out;
      EXPECT_EQ(check.out.find("WARNING"), std::string::npos) << check.out;
      EXPECT_EQ(vellora_test::QpdfStreamData(file.bytes, file.content), kContent);
      EXPECT_EQ(vellora_test::QpdfStreamData(file.bytes, file.image), ImageData());
      EXPECT_EQ(vellora_test::QpdfStreamData(file.bytes, file.profile), profileBytes);
    }
  }
}

TEST(WholeFile, QpdfJsonShowsTheStructure) {
  if (!vellora_test::HaveTool("qpdf") || !vellora_test::HaveTool("python3"))
    GTEST_SKIP() << "qpdf or python3 missing";
  const File file = WriteFile(qvCompressFlate, qvEncodeNone);
  vellora_test::TempFile pdf(file.bytes);
  // Each line: a path through the document and what qpdf finds there.
  const char* script = R"(
import json, sys
doc = json.load(sys.stdin)
objs = doc['qpdf'][1]
def get(ref):
    return objs['obj:' + ref]['value'] if 'value' in objs['obj:' + ref] else objs['obj:' + ref]['stream']['dict']
trailer = objs['trailer']['value']
root = get(trailer['/Root'])
print('type', root['/Type'])
intent = get(root['/OutputIntents'])[0]
print('intent', intent['/S'], intent['/Info'])
print('profile N', get(intent['/DestOutputProfile'])['/N'])
pages = get(root['/Pages'])
print('count', pages['/Count'], len(pages['/Kids']))
page = get(pages['/Kids'][0])
res = get(page['/Resources'])
print('colorspaces', sorted(res['/ColorSpace'].keys()))
print('brush', res['/ColorSpace']['/Brush'])
pat = get(res['/Pattern']['/winbrush2'])
print('pattern', pat['/PatternType'], pat['/PaintType'], pat['/Matrix'])
print('xobject', get(res['/XObject']['/qvk1'])['/Subtype'])
print('font', get(res['/Font']['/F1'])['/BaseFont'])
print('mediabox', page['/MediaBox'])
)";
  vellora_test::TempFile py(script, ".py");
  const auto result =
      vellora_test::RunTool({"python3", py.Path().string()}, vellora_test::ToolErrors::kJoin,
                            vellora_test::QpdfJson(vellora_test::ReadFile(pdf.Path())));
  EXPECT_EQ(result.out,
            "type /Catalog\n"
            "intent /GTS_PDFA1 u:sRGB IEC61966-2.1\n"
            "profile N 3\n"
            "count 1 1\n"
            "colorspaces ['/Brush', '/C1']\n"
            "brush ['/Pattern', '/DeviceRGB']\n"
            "pattern 1 2 [0.5, 0.0, 0.0, 0.5, 0.0, 0.0]\n"
            "xobject /Image\n"
            "font /Helvetica\n"
            "mediabox [0, 0, 612.0, 792.0]\n");
}

}  // namespace
}  // namespace vellora
