// Structure elements and marked content from metafile commands, as qpdf and poppler read the
// written file: the tree, the parent tree both ways, layout classes, artifacts, sequences
// left open at a page end, the automatic page-start tags, and damaged tagging records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_record.h"
#include "emf_builder.h"
#include "font_test_env.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::CommandRecord;
using vellora_test::DocumentBytes;
using vellora_test::FixedDocumentEnvironment;
using vellora_test::kCommandAnsi;
using vellora_test::QpdfJsonQuery;
using vellora_test::QpdfProblems;
using vellora_test::RecordingDevice;
using vellora_test::RunTool;
using vellora_test::TaggingPayload;
using vellora_test::TempFile;

constexpr std::uint8_t kArtifact = 4, kReuse = 8;

struct Tagger {
  RecordingDevice d;
  Tagger() {
    d.options.writer.compression = qvCompressNone;
    d.BeginDoc(576, 800, 72, 0);
  }
  void Send(std::int32_t code, const std::string& payload, qvplatform::RECTL r = {0, 0, 0, 0}) {
    const std::vector<std::uint8_t> record = CommandRecord(code, kCommandAnsi, r, payload);
    d.GdiComment({record.data(), record.size()});
  }
  void Open(std::int32_t id, std::int32_t parent, const std::string& type,
            const std::string& items = {}) {
    Send(3013, TaggingPayload(id, parent, 0, type, items));
  }
  void Mark(std::int32_t id, std::uint8_t flags = 0, const std::string& type = {}) {
    Send(3014, TaggingPayload(id, 0, flags, type));
    Send(3015, {});
  }
  std::string Finish() {
    if (d.PageOpen()) d.EndPage();
    d.EndDoc();
    return DocumentBytes(d);
  }
};

// Per page: its /StructParents and, for every MCID in its content, whether the parent tree
// names an element whose /K lists that MCID on this page; then every element's /K entry
// checked the other way.
const char kParentTreeScript[] = R"(
import re
root = get(trailer['/Root'])
tree = get(root['/StructTreeRoot'])
nums = get(tree['/ParentTree'])['/Nums']
arrays = {nums[i]: get(nums[i + 1]) for i in range(0, len(nums), 2)}
print('next', tree['/ParentTreeNextKey'], 'marked', root['/MarkInfo'])
kids = get(root['/Pages'])['/Kids']
def mcids(elem, page):
    k = elem.get('/K', [])
    k = k if isinstance(k, list) else [k]
    out = []
    for e in k:
        if isinstance(e, int) and elem.get('/Pg') == page: out.append(e)
        if isinstance(e, dict) and e.get('/Pg') == page: out.append(e['/MCID'])
    return out
for n, page in enumerate(kids):
    p = get(page)
    key = p.get('/StructParents')
    arr = arrays.get(key, [])
    ok = all(i in mcids(get(ref), page) for i, ref in enumerate(arr))
    print('page', n + 1, 'key', key, 'owners', len(arr), 'consistent', ok)
)";

std::string Script(const std::string& body) { return kParentTreeScript + body; }

TEST(PDFDeviceTagging, TreeRoundTripsThroughParentTree) {
  FixedDocumentEnvironment env;
  Tagger t;
  t.d.BeginPage(612, 792, 72, 72, 0);
  t.Send(2002, "Body=P#/TextAlign/Center", {7, 0, 0, 0});
  t.Send(2002, "Unused=/TextAlign/End", {9, 0, 0, 0});
  t.Send(2002, "H1=H2", {11, 0, 0, 0});  // a class named like a standard type
  t.Open(1, 0, "H1",
         "T=\xDC"
         "berblick");
  t.Mark(1);
  t.Open(2, 0, "P", "/StyNo 7;T=Intro;Alt=a\\;b");
  t.Mark(2);
  t.Mark(2);  // a second sequence of the same element
  t.Open(3, 0, "Figure", "Alt=Bild eines Hauses");
  t.Mark(3);
  t.Open(4, 0, "L");
  t.Open(5, 4, "LI", "/StyNo 11");
  t.Mark(5);
  t.Mark(0, kArtifact, "Pagination");
  t.Open(6, 0, "P");
  t.Mark(6);
  t.d.BeginPage(612, 792, 72, 72, 0);
  t.Mark(6);  // the element continues on page 2
  const std::string pdf = t.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");

  const std::string report = QpdfJsonQuery(pdf, Script(R"(
def text(v): return v[2:] if isinstance(v, str) and v[:2] in ('u:', 'b:') else v
for ref in sorted(objs):
    o = objs[ref].get('value')
    if not isinstance(o, dict) or o.get('/Type') != '/StructElem': continue
    k = o.get('/K')
    kinds = [('mcr' if isinstance(e, dict) else 'ref' if isinstance(e, str) else 'n')
             for e in (k if isinstance(k, list) else [k])] if k is not None else []
    print(o['/S'], text(o.get('/T')), text(o.get('/Alt')), o.get('/C'), kinds)
print('classes', sorted(get(tree['/ClassMap']).keys()), 'roles', get(tree['/RoleMap']))
)"));
  EXPECT_NE(report.find("next 2 marked {'/Marked': True}"), std::string::npos) << report;
  EXPECT_NE(report.find("page 1 key 0 owners 6 consistent True"), std::string::npos) << report;
  EXPECT_NE(report.find("page 2 key 1 owners 1 consistent True"), std::string::npos) << report;
  EXPECT_NE(report.find("/H1 Überblick None None ['n']"), std::string::npos) << report;
  EXPECT_NE(report.find("/P Intro a\\;b /Body ['n', 'n']"), std::string::npos) << report;
  EXPECT_NE(report.find("/Figure None Bild eines Hauses None ['n']"), std::string::npos) << report;
  EXPECT_NE(report.find("/L None None None ['ref']"), std::string::npos) << report;
  EXPECT_NE(report.find("/P None None None ['n', 'mcr']"), std::string::npos) << report;
  // Only used classes are listed; the standard type keeps its meaning.
  EXPECT_NE(report.find("classes ['/BODY', '/H1'] roles {'/BODY': '/P'}"), std::string::npos)
      << report;
  EXPECT_EQ(report.find("Artifact"), std::string::npos) << report;

  const TempFile file(pdf, ".pdf");
  const std::string tree = RunTool({"pdfinfo", "-struct", file.Path().string()}).out;
  EXPECT_NE(tree.find("NonStruct\n  H1"), std::string::npos) << tree;
  EXPECT_NE(tree.find("  L (block)\n    LI (block)\n  P (block)"), std::string::npos) << tree;
  EXPECT_NE(tree.find("  P \"Intro\" (block)\n  Figure\n"), std::string::npos) << tree;
}

TEST(PDFDeviceTagging, EachElementHoldsTheTextDrawnInItsSequences) {
  REQUIRE_TEST_FONTS();
  vellora_test::EmfBuilder b = vellora_test::PointPicture(400, 400);
  b.SetHandles(4);
  b.CreateFont(1, vellora_test::EmfBuilder::Font(u"Liberation Sans", -20));
  b.SelectObject(1);
  const auto command = [&](std::int32_t code, const std::string& payload) {
    b.GdiComment(CommandRecord(code, kCommandAnsi, {0, 0, 0, 0}, payload));
  };
  const auto tagged = [&](std::int32_t id, std::int32_t parent, const char* type,
                          const char16_t* text, int y) {
    command(3013, TaggingPayload(id, parent, 0, type));
    command(3014, TaggingPayload(id, 0, 0, {}));
    b.ExtTextOutWNoSpacing(20, y, text);
    command(3015, {});
  };
  tagged(1, 0, "H1", u"Heading", 20);
  tagged(2, 0, "P", u"Body", 60);
  command(3013, TaggingPayload(3, 0, 0, "L"));
  tagged(4, 3, "LI", u"Item", 100);
  b.Eof();
  const std::vector<unsigned char> emf = b.Bytes();
  Tagger t;
  t.d.BeginPage(612, 792, 72, 72, 0);
  t.d.PlayMetafile(emf.data(), emf.size(), 0, 0, 400, 400, false, 0, 0);
  const std::string pdf = t.Finish();
  ASSERT_EQ(QpdfProblems(pdf), "");
  const TempFile file(pdf, ".pdf");
  const std::string text =
      RunTool({"pdfinfo", "-struct-text", file.Path().string()}, vellora_test::ToolErrors::kDrop)
          .out;
  // Each element with its own text, the list item inside the list.
  EXPECT_NE(text.find("  H1 (block)\n    \"Heading\"\n  P (block)\n    \"Body\"\n"
                      "  L (block)\n    LI (block)\n      \"Item\"\n"),
            std::string::npos)
      << text;
}

TEST(PDFDeviceTagging, ArtifactsAndOpenSequencesStayOnTheirPage) {
  FixedDocumentEnvironment env;
  Tagger t;
  t.d.BeginPage(612, 792, 72, 72, 0);
  t.Send(3014, TaggingPayload(0, 0, kArtifact, "Layout"));
  t.Send(3014, TaggingPayload(0, 0, kArtifact, "P"));
  t.Send(3014, TaggingPayload(7, 0, kReuse, "Span"));  // left open
  t.d.BeginPage(612, 792, 72, 72, 0);
  t.Send(3015, {});  // nothing open on this page
  t.Send(3015, {});
  const std::string pdf = t.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_NE(pdf.find("/Artifact<</Type/Layout>>BDC"), std::string::npos);
  EXPECT_NE(pdf.find("/Artifact BMC"), std::string::npos);
  EXPECT_NE(pdf.find("/Span<</MCID 0>>BDC"), std::string::npos);
  std::size_t emc = 0;
  for (std::size_t at = pdf.find("EMC"); at != std::string::npos; at = pdf.find("EMC", at + 1))
    ++emc;
  EXPECT_EQ(emc, 3u);  // the three sequences of page 1 closed there, none on page 2
  const std::string report = QpdfJsonQuery(pdf, kParentTreeScript);
  EXPECT_NE(report.find("page 1 key 0 owners 1 consistent True"), std::string::npos) << report;
  EXPECT_NE(report.find("page 2 key None owners 0"), std::string::npos) << report;
}

TEST(PDFDeviceTagging, LevelAPagesOpenWithTheirStartSequence) {
  for (const bool suppressed : {false, true}) {
    SCOPED_TRACE(suppressed);
    FixedDocumentEnvironment env;
    Tagger t;
    t.d.EndDoc();
    t.d.options.writer.pdfaMode = folvioaLevelA;
    if (suppressed) t.d.modes.Include(kModeNoAutoStructureTags);
    t.d.BeginDoc(576, 800, 72, 0);
    t.d.BeginPage(612, 792, 72, 72, 0);
    t.d.BeginPage(612, 792, 72, 72, 0);
    const std::string pdf = t.Finish();
    EXPECT_EQ(QpdfProblems(pdf), "");
    const std::string report = QpdfJsonQuery(pdf, kParentTreeScript);
    if (suppressed) {
      EXPECT_NE(report.find("KeyError"), std::string::npos) << report;  // no tree
      EXPECT_EQ(pdf.find("BDC"), std::string::npos);
    } else {
      EXPECT_NE(report.find("page 1 key 0 owners 1 consistent True"), std::string::npos) << report;
      EXPECT_NE(report.find("page 2 key 1 owners 1 consistent True"), std::string::npos) << report;
      EXPECT_NE(pdf.find("/P<</MCID 0>>BDC\nEMC"), std::string::npos);
    }
  }
}

TEST(PDFDeviceTagging, DamagedRecordsWriteASoundFile) {
  FixedDocumentEnvironment env;
  Tagger t;
  t.Send(3015, {});  // no page, nothing open
  t.Send(3014, TaggingPayload(1, 0, kReuse, "P"));
  t.Send(3013, TaggingPayload(2, 0, 0, "P"));
  t.Send(3010, "x");
  t.d.BeginPage(612, 792, 72, 72, 0);
  const std::string full = TaggingPayload(3, 0, 0, "0123456789ABCDEFGH", "T=x;;Alt=y\\");
  for (std::size_t length = 0; length <= 40 && length <= full.size(); ++length) {
    t.Send(3013, full.substr(0, length));
    t.Send(3014, full.substr(0, length));
  }
  std::string items;
  for (int i = 0; i < 10000; ++i) items += "T=item" + std::to_string(i) + ";";
  t.Send(3013, TaggingPayload(4, 3, 0, "Span", items));
  t.Mark(4);
  t.Send(3013, TaggingPayload(5, 0, 0, std::string(16, 'Q')));  // no terminator
  t.Mark(5);
  const std::string pdf = t.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_NE(pdf.find("/S/QQQQQQQQQQQQQQQQ/"), std::string::npos);
  const std::string report = QpdfJsonQuery(pdf, kParentTreeScript);
  EXPECT_NE(report.find("page 1 key 0"), std::string::npos) << report;
  EXPECT_NE(report.find("consistent True"), std::string::npos) << report;
}

}  // namespace
}  // namespace vellora
