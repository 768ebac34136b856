// Outline trees from filing sequences, read back by qpdf: the shape, every entry's page, and
// the consistency of /Parent, /Prev, /Next, /First, /Last and /Count.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "QVPDFDev/navigation/outline_node.h"
#include "QVPDFDev/navigation/pdf_outline.h"
#include "info_test_document.h"

namespace vellora {
namespace {

using vellora_test::TestDocument;

constexpr std::size_t kPages = 3;

// The tree as "e1@1(e2@2 e3@3) e4@1": titles, "@" and the page of the destination, children
// in parentheses, "_" for an entry without title or destination; then "ok" or the links that
// disagree.
const char* kTreeScript = R"(
pages = get(get(trailer['/Root'])['/Pages'])['/Kids']
root = get(trailer['/Root'])
errors = []
def walk(parent_ref, node):
    items, count = [], 0
    ref, prev, last = node.get('/First'), None, None
    while ref:
        entry = get(ref)
        if entry.get('/Parent') != parent_ref: errors.append('parent of ' + ref)
        if entry.get('/Prev') != prev: errors.append('prev of ' + ref)
        text = entry['/Title'][2:] or '_'
        if '/Dest' in entry:
            text += '@' + str(pages.index(entry['/Dest'][0]) + 1)
        sub, below = walk(ref, entry)
        if sub: text += '(' + sub + ')'
        if below and entry.get('/Count') != -below: errors.append('count of ' + ref)
        if not below and '/Count' in entry: errors.append('count without children ' + ref)
        items.append(text)
        count += 1 + below
        prev, last, ref = ref, ref, entry.get('/Next')
    if node.get('/Last') != last: errors.append('last')
    return ' '.join(items), count
if '/Outlines' in root:
    outlines = get(root['/Outlines'])
    shape, total = walk(root['/Outlines'], outlines)
    if outlines.get('/Count') != total: errors.append('root count')
    print(shape)
else:
    print('no outline')
print(' '.join(errors) or 'ok')
)";

struct Step {
  std::int32_t kind;
  std::int32_t n;
};

// Files entries e1, e2, ... (entry i on page (i - 1) % 3 + 1) by the steps.
struct OutlineDocument {
  explicit OutlineDocument(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
      const std::size_t i = doc.catalog.Outline().ListCount() + 1;
      auto node = TQVPDFOutlineNode::Create(&doc.owner, 0, "e" + std::to_string(i), {});
      numbers.push_back(doc.catalog.Outline().AddOutline(std::move(node), step.kind, step.n,
                                                         doc.pages[(i - 1) % kPages]));
    }
  }
  TestDocument doc{kPages};
  std::vector<std::int32_t> numbers;
};

struct FilingCase {
  const char* name;
  std::vector<Step> steps;
  const char* tree;
};

TEST(OutlineFiling, SequencesGiveTheirTrees) {
  if (!vellora_test::HaveTool("qpdf") || !vellora_test::HaveTool("python3"))
    GTEST_SKIP() << "qpdf or python3 missing";
  const FilingCase cases[] = {
      {"4, 4, 0: two levels, then a sibling of the second",
       {{4, 0}, {4, 0}, {0, 0}},
       "e1@1(e2@2 e3@3)"},
      {"kind 1 like 0", {{1, 0}, {1, 0}}, "e1@1 e2@2"},
      {"unknown kinds like 0", {{0, 0}, {4, 0}, {9, 0}, {-3, 0}}, "e1@1(e2@2 e3@3 e4@1)"},
      {"3 with n = 3: two empty entries between", {{0, 0}, {3, 3}}, "e1@1(_(_(e2@2)))"},
      {"3 with n = 2 (codes 504, 504, 503)", {{0, 0}, {3, 2}}, "e1@1(_(e2@2))"},
      {"3 with n = 1 is a child", {{0, 0}, {3, 1}}, "e1@1(e2@2)"},
      {"3 with n = -1 goes one level up",
       {{0, 0}, {4, 0}, {4, 0}, {3, -1}},
       "e1@1(e2@2(e3@3) e4@1)"},
      {"3 stops at the top level", {{4, 0}, {4, 0}, {3, -9}}, "e1@1(e2@2) e3@3"},
      {"3 on an empty tree", {{3, 2}}, "_(e1@1)"},
      {"2 with n = 0 goes one level up", {{0, 0}, {4, 0}, {2, 0}}, "e1@1(e2@2) e3@3"},
      {"2 on an empty tree", {{2, 0}, {2, 0}}, "e1@1 e2@2"},
      {"2 with n = 1 lists but does not file", {{0, 0}, {4, 0}, {2, 1}, {1, 0}}, "e1@1(e2@2) e4@1"},
      {"5 after an earlier entry", {{0, 0}, {4, 0}, {4, 0}, {5, 2}}, "e1@1(e2@2(e3@3) e4@1)"},
      {"5 with its own number follows the current entry",
       {{0, 0}, {4, 0}, {5, 3}},
       "e1@1(e2@2 e3@3)"},
      {"5 beyond the list follows the current entry", {{0, 0}, {4, 0}, {5, 99}}, "e1@1(e2@2 e3@3)"},
      {"5 with n = -2 goes two levels up",
       {{0, 0}, {4, 0}, {4, 0}, {5, -2}},
       "e1@1(e2@2(e3@3)) e4@1"},
      {"5 with n = 0 ends the top level", {{4, 0}, {4, 0}, {5, 0}}, "e1@1(e2@2) e3@3"},
      {"5 to an unfiled entry stands where it would have",
       {{0, 0}, {4, 0}, {4, 0}, {2, 5}, {4, 0}, {5, 4}},
       "e1@1(e2@2(e3@3 e5@2) e6@3)"},
      {"6 below an earlier entry", {{0, 0}, {0, 0}, {6, 1}}, "e1@1(e3@3) e2@2"},
      {"6 with its own number below the current entry", {{0, 0}, {6, 2}}, "e1@1(e2@2)"},
      {"6 with n = 0 ends the top level", {{4, 0}, {4, 0}, {6, 0}}, "e1@1(e2@2) e3@3"},
      {"6 to an unfiled entry stands where it would have",
       {{0, 0}, {4, 0}, {4, 0}, {2, 5}, {4, 0}, {6, 4}},
       "e1@1(e2@2(e3@3 e5@2 e6@3))"},
      {"only unfiled entries", {{2, 1}, {2, 7}}, "no outline"},
  };
  for (const FilingCase& c : cases) {
    SCOPED_TRACE(c.name);
    OutlineDocument outline(c.steps);
    for (std::size_t i = 0; i < outline.numbers.size(); ++i)
      EXPECT_EQ(outline.numbers[i], static_cast<std::int32_t>(i + 1));
    const std::string file = outline.doc.Finish();
    const auto check = vellora_test::QpdfCheck(file);
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_EQ(check.out.find("WARNING"), std::string::npos) << check.out;
    EXPECT_EQ(vellora_test::QpdfJsonQuery(file, kTreeScript), std::string(c.tree) + "\nok\n");
  }
}

TEST(OutlineFiling, CountsOfClosedEntriesAndRoot) {
  // e1 has two children and one grandchild.
  OutlineDocument outline({{0, 0}, {4, 0}, {4, 0}, {3, -1}});
  TQVPDFOutline& tree = outline.doc.catalog.Outline();
  EXPECT_EQ(tree.Count(), 4u);
  EXPECT_EQ(tree.GetLastNode(), tree.First());
  EXPECT_EQ(tree.Current(), tree.Entry(4));
  const std::string file = outline.doc.Finish();
  const std::string e1 = std::to_string(tree.Entry(1)->ObjectNumber()) + " 0 obj";
  const std::size_t at = file.find(e1);
  ASSERT_NE(at, std::string::npos);
  const std::string body = file.substr(at, file.find("endobj", at) - at);
  EXPECT_NE(body.find(" /Count -3\r\n"), std::string::npos) << body;
  const std::string root = std::to_string(tree.ObjectNumber()) + " 0 obj\r<<\r\n/Count 4\n";
  EXPECT_NE(file.find(root), std::string::npos);
}

TEST(OutlineFiling, NegativeKind6RaisesBeforeAnythingChanges) {
  OutlineDocument outline({{0, 0}, {4, 0}});
  TQVPDFOutline& tree = outline.doc.catalog.Outline();
  TQVPDFOutlineNode* current = tree.Current();
  try {
    tree.AddOutline(TQVPDFOutlineNode::Create(&outline.doc.owner, 0, "x", {}), 6, -1,
                    outline.doc.pages[0]);
    FAIL() << "no exception";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
  }
  EXPECT_EQ(tree.ListCount(), 2u);
  EXPECT_EQ(tree.Count(), 2u);
  EXPECT_EQ(tree.Current(), current);
  // The next entry gets the next number.
  EXPECT_EQ(tree.AddOutline(TQVPDFOutlineNode::Create(&outline.doc.owner, 0, "y", {}), 0, 0,
                            outline.doc.pages[0]),
            3);
}

TEST(OutlineFiling, Kind3DescendsAtMostTheCap) {
  OutlineDocument outline({{0, 0}, {3, 1000000000}});
  TQVPDFOutline& tree = outline.doc.catalog.Outline();
  EXPECT_EQ(tree.Count(), 2u + (TQVPDFOutline::kMaxLevelStep - 1));
  int depth = 0;
  for (TQVPDFOutlineNode* node = tree.Entry(2); node->Parent() != nullptr; node = node->Parent())
    ++depth;
  EXPECT_EQ(depth, TQVPDFOutline::kMaxLevelStep);
  // Far up from the deep entry, stopping at the top.
  tree.AddOutline(TQVPDFOutlineNode::Create(&outline.doc.owner, 0, "up", {}), 3, INT32_MIN,
                  outline.doc.pages[0]);
  EXPECT_EQ(tree.Entry(3)->Parent(), nullptr);
  EXPECT_EQ(tree.GetLastNode(), tree.Entry(3));
}

TEST(OutlineFiling, DeepChainsAreWrittenAndFreedWithoutRecursion) {
  constexpr int kDepth = 50000;
  TestDocument doc;
  TQVPDFOutline& tree = doc.catalog.Outline();
  for (int i = 0; i < kDepth; ++i)
    tree.AddOutline(TQVPDFOutlineNode::Create(&doc.owner, 0, "d", {}), 4, 0, doc.pages[0]);
  const std::string file = doc.Finish();
  EXPECT_NE(file.find("/Count -49999\r\n"), std::string::npos);
  EXPECT_NE(file.find("/Count 50000\n"), std::string::npos);
}

}  // namespace
}  // namespace vellora
