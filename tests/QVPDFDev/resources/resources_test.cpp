// The shared resource dictionary, ICC colour spaces, output intents and hatch patterns.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "QVPDFDev/resources/pdf_resource.h"
#include "QVPDFDev/resources/srgb_profile.h"
#include "pdf_test_owner.h"

namespace vellora {
namespace {

using vellora_test::TestOwner;

// The dictionary alone: what follows the last "N 0 obj" of the output.
std::string Dictionary(const std::string& written) {
  return written.substr(written.rfind(" 0 obj\r<<\r\n") + 11);
}

TEST(Resources, EmptyDictionaryHasOnlyTheProcSet) {
  TestOwner owner;
  TQVPDFResource resources(&owner);
  resources.WriteObject();
  EXPECT_EQ(owner.Bytes(), "1 0 obj\r<<\r\n/ProcSet [/PDF/Text/ImageC]\r\n>> \rendobj\r\n");
}

TEST(Resources, ColourSpacesPatternsAndXObjects) {
  TestOwner owner;
  owner.resources = nullptr;
  {
    TQVPDFResource resources(&owner);
    resources.Patterns().Add("winbrush2", std::make_unique<TQVPDFPatternStream>(&owner, 1, 2));
    resources.WriteObject();
    EXPECT_EQ(Dictionary(owner.Take()),
              "/ProcSet [/PDF/Text/ImageC]\r\n/ColorSpace <<\r\n/Brush[/Pattern/DeviceRGB]>>\r\n"
              "/Pattern <</winbrush2 1 0 R >>\r\n>> \rendobj\r\n");
  }
  owner.writer.XRef().Reset();
  TQVPDFResource resources(&owner);
  resources.AddICCColorSpace("C1", 1, nullptr, 0, 3, "");
  resources.AddICCColorSpace("My Space", 0, nullptr, 0, 3, "");
  resources.Patterns().Add("winbrush5", std::make_unique<TQVPDFPatternStream>(&owner, 1, 5));
  auto logo = std::make_unique<TQVPDFStream>(&owner);
  logo->SetEntryKey("Logo");
  resources.XObjects().Add("LOGO", std::move(logo));
  EXPECT_EQ(resources.XObjects().Add("x", std::make_unique<TQVPDFStream>(&owner)), 2u);
  resources.WriteObject();
  // Streams no page wrote are written before the dictionary: 1..5, the dictionary is 6.
  EXPECT_EQ(Dictionary(owner.Take()),
            "/ProcSet [/PDF/Text/ImageC]\r\n/ColorSpace <<\r\n"
            "/C1 [/ICCBased 1 0 R]  /My#20Space [/ICCBased 2 0 R]  /Brush[/Pattern/DeviceRGB]>>\r\n"
            "/Pattern <</winbrush5 3 0 R >>\r\n"
            "/XObject << /Logo 4 0 R\r\n/qvk2 5 0 R >>\r\n>> \rendobj\r\n");
}

TEST(Resources, FontsListThemselves) {
  struct Font : TQVCustomPDFType {
    using TQVCustomPDFType::TQVCustomPDFType;
    std::string AsString() override { return "/Type/Font"; }
    std::string GetEntryString() override { return "/F3 " + GetReference(); }
  };
  TestOwner owner;
  TQVPDFResource resources(&owner);
  resources.Fonts().push_back(std::make_unique<Font>(&owner));
  resources.WriteObject();
  EXPECT_EQ(Dictionary(owner.Take()),
            "/ProcSet [/PDF/Text/ImageC]\r\n/Font << /F3 1 0 R >>\r\n>> \rendobj\r\n");
}

TEST(ColourSpaces, AddedOnceWithTheAlternateOfTheirSize) {
  TestOwner owner;
  TQVPDFResource resources(&owner);
  owner.resources = &resources;
  TQVPDFColorSpaceStream* c1 = resources.AddICCColorSpace("C1", 1, nullptr, 0, 0, "");
  EXPECT_EQ(resources.AddICCColorSpace("C1", 1, nullptr, 0, 3, ""), c1);
  EXPECT_EQ(resources.ColorSpaces().Count(), 1u);
  EXPECT_EQ(resources.OutputIntentProfile(), c1);
  EXPECT_EQ(resources.SecondProfile(), nullptr);
  EXPECT_EQ(c1->Components(), 3);
  const std::span<const std::uint8_t> srgb = BuiltInSRGBProfile();
  EXPECT_EQ(c1->Data(), std::vector<std::uint8_t>(srgb.begin(), srgb.end()));

  const std::uint8_t profile[] = {1, 2, 3, 4};
  struct Case {
    const char* name;
    int components;
    const char* entries;
  };
  for (const Case& c : {Case{"G", 1, "/Alternate/DeviceGray/N 1"},
                        Case{"K", 4, "/Alternate/DeviceCMYK/N 4"}, Case{"T", 2, "/N 2"}}) {
    TQVPDFColorSpaceStream* cs =
        resources.AddICCColorSpace(c.name, 0, profile, sizeof profile, c.components, "");
    owner.Take();
    cs->WriteStream();
    EXPECT_NE(owner.Take().find(std::string("<<") + c.entries + "/Length 4 >>"), std::string::npos)
        << c.name;
  }
  EXPECT_EQ(resources.SecondProfile(), resources.ColorSpaces().Find("g"));
}

TEST(OutputIntents, NameTheSecondProfileOrTheBuiltInOne) {
  TestOwner owner;
  TQVPDFOutputIntents intents(&owner);
  EXPECT_EQ(intents.AsString(), "[]");  // no resources at all
  TQVPDFResource resources(&owner);
  owner.resources = &resources;
  EXPECT_EQ(intents.AsString(), "[]");
  TQVPDFColorSpaceStream* c1 = resources.AddICCColorSpace("C1", 1, nullptr, 0, 3, "");
  EXPECT_EQ(intents.AsString(),
            "[<</Info(sRGB IEC61966-2.1)/S/GTS_PDFA1/OutputConditionIdentifier(Custom)"
            "/OutputCondition()/DestOutputProfile " +
                c1->GetReference() + "/Type/OutputIntent/RegistryName()>>]");
  // Writing the intents writes the profile they name.
  intents.WriteObject();
  EXPECT_TRUE(c1->IsWritten());
  EXPECT_TRUE(owner.Bytes().starts_with("2 0 obj\r\n[<</Info"));

  TQVPDFColorSpaceStream* c2 =
      resources.AddICCColorSpace("C2", 0, nullptr, 0, 3, "/S/GTS_PDFA1/Info(Press)");
  EXPECT_EQ(intents.AsString(),
            "[<</S/GTS_PDFA1/Info(Press)/OutputConditionIdentifier(Custom)"
            "/OutputCondition()/DestOutputProfile  " +
                c2->GetReference() + "/Type/OutputIntent/RegistryName()>>]");
}

TEST(HatchPatterns, CellsAndMatrices) {
  TestOwner owner;
  struct Case {
    int style;
    float scale;
    const char* cell;
    const char* matrix;
  };
  const Case cases[] = {
      {0, 7, "1 w 0 50 m 100 50 l S ", "[0.3 0.0 0.0 0.3 0.0 0.0]"},
      {1, 0.25f, "1 w 0 0 m 0 100 l S ", "[0.250 0.0 0.0 0.250 0.0 0.0]"},
      {2, 0.0005f, "1 w 0 0 m 100 100 l S ", "[0.001 0.0 0.0 0.001 0.0 0.0]"},
      {3, 2, "1 w 100 0 m 0 100 l S ", "[2 0.0 0.0 2 0.0 0.0]"},
      {4, 1, "1 w 0 50 m 100 50 l 50 0 m 50 100 l S", "[1 0.0 0.0 1 0.0 0.0]"},
      {5, 2, "1 w 0 0 m 100 100 l 100 0 m 0 100 l S ", "[0.400 0.0 0.0 0.400 0.0 0.0]"},
      // A fifth of 0.004 would be written as 0: the matrix stays invertible.
      {5, 0.004f, "1 w 0 0 m 100 100 l 100 0 m 0 100 l S ", "[0.001 0.0 0.0 0.001 0.0 0.0]"},
      {9, -1, "1 w 0 0 m 100 100 l 100 0 m 0 100 l S ", "[0.001 0.0 0.0 0.001 0.0 0.0]"},
  };
  for (const Case& c : cases) {
    TQVPDFPatternStream pattern(&owner, c.scale, c.style);
    EXPECT_EQ(pattern.Matrix(), c.matrix) << c.style;
    const std::string cell(c.cell);
    owner.Take();
    pattern.WriteStream();
    EXPECT_TRUE(owner.Take().ends_with(
        " 0 obj\r<</Type/Pattern/PatternType 1/Resources << >>/TilingType 1/PaintType 2"
        "/BBox [0 0 100 100]/XStep 100/YStep 100/Matrix " +
        std::string(c.matrix) + "/Length " + std::to_string(cell.size()) + " >>\r\nstream\n" +
        cell + "\nendstream\r\nendobj\n"))
        << c.style;
  }
}

}  // namespace
}  // namespace vellora
