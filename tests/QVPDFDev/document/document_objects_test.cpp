// The catalog, the page tree and the page dictionaries as written bytes, and the page tree's
// shape as qpdf sees it.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/resources/pdf_resource.h"
#include "pdf_test_owner.h"

namespace vellora {
namespace {

using vellora_test::TestOwner;

// The numbers n of every "n 0 <tag>" in text (tag "obj" or "R").
std::vector<std::pair<int, std::size_t>> Numbered(const std::string& text, const std::string& tag) {
  std::vector<std::pair<int, std::size_t>> found;
  const std::string marker = " 0 " + tag;
  for (std::size_t at = text.find(marker); at != std::string::npos;
       at = text.find(marker, at + 1)) {
    std::size_t start = at;
    while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9') --start;
    if (start < at)
      found.emplace_back(std::stoi(text.substr(start, at - start)), at + marker.size());
  }
  return found;
}

// Object number -> the text between "N 0 obj" and "endobj".
std::map<int, std::string> Objects(const std::string& file) {
  std::map<int, std::string> objects;
  for (const auto& [number, start] : Numbered(file, "obj"))
    objects[number] = file.substr(start, file.find("endobj", start) - start);
  return objects;
}

std::vector<int> References(const std::string& text) {
  std::vector<int> numbers;
  for (const auto& found : Numbered(text, "R")) numbers.push_back(found.first);
  return numbers;
}

// A document of n pages with one content stream each, written as the device will write it:
// pages' objects when they end, then resources, page tree and catalog.
struct Document {
  explicit Document(std::size_t pages) {
    owner.resources = &resources;
    vellora_test::WriteTestHeader(owner);
    for (std::size_t i = 0; i < pages; ++i) {
      auto page = std::make_unique<TQVPDFPage>(&owner);
      TQVPDFStream* content = page->AddContents(std::make_unique<TQVPDFStream>(&owner, 'T'));
      content->BeginData();
      content->WriteString("0 0 m 100 100 l S");
      page->SetSize(612, 792);
      page->WritePageObjects();
      catalog.AddPage(std::move(page));
    }
  }
  std::string Finish() {
    resources.WriteObject();
    catalog.Pages().WriteObject();
    catalog.WriteObject();
    return vellora_test::FinishTestFile(owner, catalog);
  }
  TestOwner owner;
  TQVPDFResource resources{&owner};
  TQVPDFCatalog catalog{&owner};
};

// The page counts of the root's kids (0 for a kid that is a page), and the root's /Count.
std::pair<std::vector<int>, int> TreeShape(const std::string& file, int root) {
  const auto objects = Objects(file);
  const std::string& body = objects.at(root);
  const std::string kids = body.substr(body.find("/Kids ["), body.find(']') - body.find("/Kids ["));
  std::vector<int> shape;
  for (int kid : References(kids)) {
    const std::string& kidBody = objects.at(kid);
    EXPECT_NE(kidBody.find("/Parent " + std::to_string(root) + " 0 R"), std::string::npos);
    if (kidBody.find("/Type/Pages") == std::string::npos) {
      shape.push_back(0);
    } else {
      const std::size_t count = kidBody.find("/Count ");
      shape.push_back(std::stoi(kidBody.substr(count + 7)));
    }
  }
  return {shape, std::stoi(body.substr(body.find("/Count ") + 7))};
}

TEST(PageTree, SplitsLargeDocumentsIntoNodes) {
  const bool qpdf = vellora_test::HaveTool("qpdf");
  struct Case {
    std::size_t pages;
    std::vector<int> nodes;  // empty: the root holds the pages
  };
  for (const Case& c :
       {Case{110, {}}, Case{111, {100, 11}}, Case{205, {100, 105}}, Case{206, {100, 100, 6}}}) {
    Document doc(c.pages);
    const std::string file = doc.Finish();
    const auto [shape, count] = TreeShape(file, doc.catalog.Pages().ObjectNumber());
    EXPECT_EQ(count, static_cast<int>(c.pages));
    if (c.nodes.empty()) {
      EXPECT_EQ(shape, std::vector<int>(c.pages, 0));
    } else {
      EXPECT_EQ(shape, c.nodes) << c.pages;
    }
    if (qpdf) {
      const auto check = vellora_test::QpdfCheck(file);
      EXPECT_EQ(check.status, 0) << check.out;
      EXPECT_NE(check.out.find("No syntax or stream encoding errors"), std::string::npos);
      vellora_test::TempFile temp(file);
      EXPECT_EQ(vellora_test::RunTool({"qpdf", "--show-npages", temp.Path().string()}).out,
                std::to_string(c.pages) + "\n");
    }
  }
}

TEST(PageTree, EmptyTreeStillHasKids) {
  Document doc(0);
  const std::string file = doc.Finish();
  const std::string root = Objects(file).at(doc.catalog.Pages().ObjectNumber());
  EXPECT_EQ(root, "\r<<\r\n/Type/Pages\r\n/Kids [ ]\r\n/Count 0\r\n>> \r");
  EXPECT_EQ(doc.catalog.Pages().FirstPage(), nullptr);
  if (vellora_test::HaveTool("qpdf")) {
    const auto check = vellora_test::QpdfCheck(file);
    EXPECT_EQ(check.status, 0) << check.out;
  }
}

TEST(Catalog, EntriesBySettings) {
  Document doc(120);
  doc.owner.settings.options = 1 << qvHideMenuBar;
  doc.owner.settings.zoomMode = pwZoomFitVertical;
  doc.owner.settings.pageMode = qvUseThumbs;
  doc.owner.settings.pdfaMode = folvioaLevelA;
  doc.owner.language = "de-DE (x)";
  const std::string file = doc.Finish();
  const std::string catalog = Objects(file).at(doc.catalog.ObjectNumber());
  const std::string firstPage = doc.catalog.Pages().FirstPage()->GetReference();
  EXPECT_EQ(catalog, "\r<<\r\n/Type/Catalog\r\n/Pages " + doc.catalog.Pages().GetReference() +
                         "\r\n/ViewerPreferences<</HideMenubar true>>\r\n"
                         "/MarkInfo <</Marked true>>\r\n/Lang(de-DE \\(x\\))\r\n"
                         "/PageMode/UseThumbs\r\n/OpenAction <</Type/Action/S/GoTo/D[" +
                         firstPage + "/FitV]>>\r\n>> \r");
  // The destination is a page, not an intermediate node.
  EXPECT_NE(Objects(file).at(doc.catalog.Pages().FirstPage()->ObjectNumber()).find("/Type/Page\r"),
            std::string::npos);
}

TEST(Catalog, OutputIntentsAndNoOpenActionWithoutPages) {
  Document doc(0);
  doc.owner.settings.zoomMode = pwZoomFitPage;
  doc.owner.settings.pageMode = static_cast<TQVPDFPageModes>(7);
  doc.resources.AddICCColorSpace("C1", 1, nullptr, 0, 3, "");
  doc.catalog.SetOutputIntents(std::make_unique<TQVPDFOutputIntents>(&doc.owner));
  const std::string file = doc.Finish();
  const auto objects = Objects(file);
  const std::string& catalog = objects.at(doc.catalog.ObjectNumber());
  const std::string intents = doc.catalog.OutputIntents()->GetReference();
  EXPECT_TRUE(catalog.ends_with("/OutputIntents " + intents + ">> \r")) << catalog;
  EXPECT_EQ(catalog.find("/OpenAction"), std::string::npos);
  EXPECT_EQ(catalog.find("/PageMode"), std::string::npos);
}

TEST(PageDictionary, ContentsAnnotationsAndRotation) {
  TestOwner owner;
  TQVPDFResource resources(&owner);
  owner.resources = &resources;
  TQVPDFPages tree(&owner);
  auto page = std::make_unique<TQVPDFPage>(&owner, 90);
  TQVPDFPage* p = page.get();
  EXPECT_THROW(p->WriteObject(), std::runtime_error);  // "Page has no parent!"
  tree.AddPage(std::move(page));
  for (int i = 0; i < 9; ++i) {
    TQVPDFStream* s = p->AddContents(std::make_unique<TQVPDFStream>(&owner, 'T'));
    s->BeginData();
  }
  TQVPDFNull link1(&owner), link2(&owner);
  p->AddAnnotation(&link1);
  p->AddAnnotation(&link2);
  p->SetSize(100, 50.5f);
  p->SetExtraDictionaryText("/UserUnit 1");
  owner.Take();
  p->WriteObject();
  const std::string written = owner.Take();
  const std::string dict = written.substr(written.rfind(" 0 obj\r<<"));
  EXPECT_EQ(dict,
            " 0 obj\r<<\r\n/Type/Page\r\n/UserUnit 1\r\n/Parent 11 0 R\r\n/Rotate 90\r\n"
            "/Resources 12 0 R\r\n/MediaBox [0 0 100.000 50.500]\r\n"
            "/Annots [13 0 R 14 0 R ]\n/Count 9\r\n"
            "/Contents [ 1 0 R 2 0 R 3 0 R 4 0 R 5 0 R 6 0 R 7 0 R 8 0 R \n9 0 R ]\r\n"
            ">> \rendobj\r\n");
  EXPECT_TRUE(p->Contents().empty());

  struct Case {
    int rotation;
    const char* entry;
  };
  for (const Case& c :
       {Case{0, nullptr}, Case{1, nullptr}, Case{2, nullptr}, Case{270, "/Rotate 270"},
        Case{-90, "/Rotate -90"}, Case{450, "/Rotate 90"}}) {
    auto rotated = std::make_unique<TQVPDFPage>(&owner, c.rotation);
    TQVPDFPage* r = rotated.get();
    tree.AddPage(std::move(rotated));
    r->AddContents(std::make_unique<TQVPDFStream>(&owner))->BeginData();
    r->SetStructParentsKey(c.rotation == 0 ? 3 : -1);
    owner.Take();
    r->WriteObject();
    const std::string text = owner.Take();
    EXPECT_EQ(text.find("/Rotate") != std::string::npos, c.entry != nullptr) << c.rotation;
    if (c.entry) {
      EXPECT_NE(text.find(std::string(c.entry) + "\r\n"), std::string::npos);
    }
    EXPECT_EQ(text.find("/StructParents 3\r\n") != std::string::npos, c.rotation == 0);
    EXPECT_NE(text.find("/Contents "), std::string::npos);
    EXPECT_EQ(text.find("/Count"), std::string::npos);
  }
}

}  // namespace
}  // namespace vellora
