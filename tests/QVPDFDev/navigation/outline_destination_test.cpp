// Destinations: the writer's modes, resolutions and flip, the lookup of local named
// destinations, and outline entries with their titles and destinations as qpdf reads them.
#include <gtest/gtest.h>

#include <string>

#include "QVPDFDev/navigation/destination_writer.h"
#include "QVPDFDev/navigation/outline_node.h"
#include "QVPDFDev/navigation/pdf_outline.h"
#include "info_test_document.h"

namespace vellora {
namespace {

using vellora_test::DocumentOwner;
using vellora_test::TestDocument;

TEST(OutlineDestination, ModesResolutionsAndFlip) {
  TestDocument doc;
  DocumentOwner& host = doc.owner;
  TQVPDFPage* page = doc.pages[0];
  page->SetFlipHeight(700);
  const std::string ref = page->GetReference();
  struct Case {
    std::int32_t resolution;
    bool withPage;
    std::int32_t mode;
    bool bare;
    const char* text;
  };
  const Case cases[] = {
      {72, true, 0, false, "/Dest [ R /XYZ 10 680 3]"},
      {72, true, 0, true, "R /XYZ 10 680 3"},
      {72, true, 1, false, "/Dest [ R /Fit ]"},
      {72, true, 2, false, "/Dest [ R /FitV 10]"},
      {72, true, 3, false, "/Dest [ R /FitH 680]"},
      {72, true, 4, false, "/Dest [ R /FitR 10 580 60 680]"},
      {72, true, 5, false, "/Dest [ R /FitB ]"},
      {72, true, 6, false, "/Dest [ R /FitBV 10]"},
      {72, true, 7, false, "/Dest [ R /FitBH 680]"},
      {72, true, 8, false, "/Dest [ R /FitB ]"},
      {72, true, -1, false, "/Dest [ R /FitB ]"},
      // Device units of 1/144 inch: halved; without a page flipped by the current height.
      {144, true, 4, false, "/Dest [ R /FitR 5 640 30 690]"},
      {144, false, 0, false, "/Dest [ /XYZ 5 782 3]"},
      {0, false, 0, true, "/XYZ 10 772 3"},  // an unusable resolution counts as 72
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    host.xResolution = host.yResolution = c.resolution;
    std::string expected = c.text;
    if (const std::size_t r = expected.find("R "); r != std::string::npos)
      expected.replace(r, 1, ref);
    EXPECT_EQ(
        WriteDestination(host, c.withPage ? page : nullptr, c.mode, 10, 20, 50, 100, 3, "", c.bare),
        expected);
  }
  host.xResolution = 96;
  host.yResolution = 96;
  EXPECT_EQ(WriteDestination(host, page, 0, 96, 96, 0, 0, 0, "", true), ref + " /XYZ 72 628 0");
  EXPECT_TRUE(host.messages.empty());
}

TEST(OutlineDestination, LocalNamesResolveCaseInsensitivelyToTheFirstEntry) {
  TestDocument doc(2);
  DocumentOwner& host = doc.owner;
  host.locals.Add("Chapter", {doc.pages[1], 30, 40});
  host.locals.Add("CHAPTER", {doc.pages[0], 1, 2});  // kept, but the first one wins
  host.locals.Add("nowhere", {nullptr, 5, 6});
  EXPECT_EQ(host.locals.Count(), 3u);
  const std::string second = doc.pages[1]->GetReference();
  // Mode and zoom of the caller give way to the destination's: XYZ with zoom 0.
  EXPECT_EQ(WriteDestination(host, doc.pages[0], 4, 0, 0, 9, 9, 7, "chapter", false),
            "/Dest [ " + second + " /XYZ 30 752 0]");
  EXPECT_EQ(WriteDestination(host, doc.pages[0], 0, 0, 0, 0, 0, 0, "NOWHERE", true),
            "/XYZ 5 786 0");
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(WriteDestination(host, doc.pages[0], 0, 0, 0, 0, 0, 0, "Appendix", false), "");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].first, 1);
  EXPECT_EQ(host.messages[0].second, "Appendix");
  host.locals.Clear();
  EXPECT_EQ(host.locals.Find("chapter"), nullptr);
}

TEST(OutlineDestination, EntriesWithTitlesAndDestinationsAsQpdfReadsThem) {
  TestDocument doc(2);
  DocumentOwner& host = doc.owner;
  host.locals.Add("target", {doc.pages[1], 100, 200});
  host.locals.Add("unplaced", {nullptr, 0, 0});
  TQVPDFOutline& tree = doc.catalog.Outline();
  auto add = [&](std::unique_ptr<TQVPDFOutlineNode> node, TQVPDFPage* page) {
    tree.AddOutline(std::move(node), 0, 0, page);
  };
  add(TQVPDFOutlineNode::Create(&host, 0, "Tab\there", {.destName = {}, .left = 10, .top = 20}),
      doc.pages[0]);
  add(TQVPDFOutlineNode::Create(&host, 65001, "Caf\xC3\xA9 \xF0\x9F\x98\x80", {}), doc.pages[1]);
  add(TQVPDFOutlineNode::Create(&host, 204, "\xCF\xF0\xE8\xE2\xE5\xF2", {}), doc.pages[0]);
  add(TQVPDFOutlineNode::Create(&host, 0, "(named)", {.destName = "TARGET", .top = 999}),
      doc.pages[0]);
  add(TQVPDFOutlineNode::Create(&host, 0, "missing", {.destName = "gone"}), doc.pages[0]);
  add(TQVPDFOutlineNode::Create(&host, 0, "no page", {}), nullptr);
  add(TQVPDFOutlineNode::Create(&host, 0, "unplaced", {.destName = "unplaced"}), doc.pages[0]);
  add(TQVPDFOutlineNode::CreateWide(
          &host, 0, u"fit \\ r",
          {.destName = {}, .mode = 4, .left = 100, .top = 100, .right = 300, .bottom = 400}),
      doc.pages[1]);
  const std::string file = doc.Finish();
  EXPECT_NE(file.find("/Title(\\376\\377\\000T\\000a\\000b\\000 \\000h\\000e\\000r\\000e)"),
            std::string::npos);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].first, 1);
  EXPECT_EQ(host.messages[0].second, "gone");

  if (!vellora_test::HaveTool("qpdf") || !vellora_test::HaveTool("python3"))
    GTEST_SKIP() << "qpdf or python3 missing";
  const auto check = vellora_test::QpdfCheck(file);
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_EQ(check.out.find("WARNING"), std::string::npos) << check.out;
  EXPECT_EQ(vellora_test::QpdfJsonQuery(file, R"(
pages = get(get(trailer['/Root'])['/Pages'])['/Kids']
ref = get(get(trailer['/Root'])['/Outlines'])['/First']
while ref:
    e = get(ref)
    d = e.get('/Dest')
    if d: d = [pages.index(d[0]) + 1] + d[1:]
    print(e['/Title'], d)
    ref = e.get('/Next')
)"),
            "u:Tab here [1, '/XYZ', 10, 772, 0]\n"
            "u:Caf\xC3\xA9 \xF0\x9F\x98\x80 [2, '/XYZ', 0, 792, 0]\n"
            "u:\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 [1, '/XYZ', 0, 792, 0]\n"
            "u:(named) [2, '/XYZ', 100, 592, 0]\n"
            "u:missing None\n"
            "u:no page None\n"
            "u:unplaced None\n"
            "u:fit \\ r [2, '/FitR', 100, 392, 300, 692]\n");
}

TEST(OutlineDestination, EntryWithoutDestinationHostRaises) {
  vellora_test::TestOwner plain;
  TQVPDFOutline tree(&plain);
  tree.AddOutline(TQVPDFOutlineNode::Create(&plain, 0, "x", {}), 0, 0, nullptr);
  EXPECT_THROW(tree.WriteObject(), std::runtime_error);
  TQVPDFOutline orphan(nullptr);
  orphan.AddOutline(TQVPDFOutlineNode::Create(nullptr, 0, "x", {}), 0, 0, nullptr);
  try {
    orphan.First()->WriteObject();
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Object has no owner");
  }
}

}  // namespace
}  // namespace vellora
