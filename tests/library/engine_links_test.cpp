// Links and named destinations through QVPDF_Do (5566, 5567): every kind of link target read
// back with qpdf --json and with MuPDF's link list, positions in device units at 96 dpi,
// action texts that would break the file, and the failures that come back as -1.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine_host.h"

namespace vellora_test {
namespace {

constexpr char kMemory[] = "";
constexpr std::int32_t kDpi = 96;

void* Text(const char* text) { return const_cast<char*>(text); }

// Each link annotation of page 1: /Rect, then the action's /S, /URI, /F, /D, /NewWindow, or
// the /Dest (a name, or the page number and the view).
const char kLinkScript[] = R"(
root = get(trailer['/Root'])
kids = get(root['/Pages'])['/Kids']
def show(v):
    if isinstance(v, str):
        return v[2:] if v[:2] in ('u:', 'b:') else v
    if isinstance(v, list):
        return '[' + ' '.join('page%d' % (kids.index(e) + 1) if e in kids else show(e) for e in v) + ']'
    return str(v)
for ref in get(kids[0]).get('/Annots', []):
    o = get(ref)
    line = show(o['/Rect'])
    a = o.get('/A')
    if a:
        for key in ('/S', '/URI', '/F', '/D', '/NewWindow'):
            if key in a:
                line += ' ' + key[1:] + '=' + show(a[key])
    if '/Dest' in o:
        line += ' Dest=' + show(o['/Dest'])
    print(line)
)";

struct Messages {
  std::vector<std::string> texts;
  static void Callback(void* self, std::int32_t kind, std::int32_t value, const char* text) {
    if (kind == 1 && value == 1) static_cast<Messages*>(self)->texts.emplace_back(text);
  }
};

class EngineLinks : public ::testing::Test {
 protected:
  void SetUp() override {
    e_ = Engine();
    ASSERT_NE(e_, nullptr);
    ASSERT_EQ(e_->Do(c_, QVPDF_CMD_BEGIN_DOC, 0, Text(kMemory)), 0);
    const TQVPDFPageInit page = PageRecord(816, 1056, kDpi);  // 612 x 792 points
    ASSERT_EQ(e_->InitializePage(c_, 0, &page), 1);
  }

  static TQVPDFCommand Record(const std::string& name, std::int32_t x, std::int32_t y,
                              std::int32_t width = 0, std::int32_t height = 0) {
    TQVPDFCommand record{};
    std::strncpy(record.Name, name.c_str(), sizeof record.Name - 1);
    record.X = x;
    record.Y = y;
    record.Width = width;
    record.Height = height;
    return record;
  }
  std::int32_t Link(const std::string& target, std::int32_t y, const char* action = nullptr) {
    TQVPDFCommand record = Record(target, 96, y, 192, 24);
    if (action != nullptr) {
      record.TextFlags = QVPDF_TEXT_LINK_TARGET;
      record.Text = action;
    }
    return e_->Do(c_, QVPDF_CMD_ADD_LINK, 0, &record);
  }
  std::int32_t Destination(const std::string& name, std::int32_t x, std::int32_t y) {
    TQVPDFCommand record = Record(name, x, y);
    return e_->Do(c_, QVPDF_CMD_ADD_DESTINATION, 0, &record);
  }
  std::string Finish() {
    EXPECT_EQ(e_->Do(c_, QVPDF_CMD_END_DOC, 0, nullptr), 0);
    return DocumentBytes(c_);
  }

  const EngineEntries* e_ = nullptr;
  Messages messages_;
  EngineContext c_{&Messages::Callback, &messages_};
};

TEST_F(EngineLinks, TargetsBecomeActionsOrDestinations) {
  if (!HaveTool("qpdf") || !HaveTool("python3")) GTEST_SKIP() << "qpdf or python3 missing";
  ASSERT_EQ(e_->Do(c_, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  // One name made global through the drawing modes, one local; both in device units.
  ASSERT_TRUE(e_->SetIProp(c_, QVPDF_IPROP_MODES, static_cast<std::int32_t>(0x80000000u)));
  ASSERT_EQ(Destination("Glob", 96, 96), 0);
  ASSERT_TRUE(e_->SetIProp(c_, QVPDF_IPROP_MODES, 0));
  ASSERT_EQ(Destination("Local", 192, 48), 0);
  const struct {
    const char* target;
    const char* expected;  // after the rectangle
  } cases[] = {
      {"http://example.com/a", "S=/URI URI=http://example.com/a"},
      {"HTTP://EXAMPLE.COM/B", "S=/URI URI=HTTP://EXAMPLE.COM/B"},
      {"https://example.com/c?d=1", "S=/URI URI=https://example.com/c?d=1"},
      {"mailto:someone@example.com", "S=/URI URI=mailto:someone@example.com"},
      // Code page 1252 text: the URI carries its UTF-8 bytes percent-encoded, 7-bit only.
      {"http://example.com/caf\xE9 menu", "S=/URI URI=http://example.com/caf%C3%A9%20menu"},
      {"Launch://notepad.exe", "S=/Launch F=notepad.exe"},
      {"LaunchN://calc.exe", "S=/Launch F=calc.exe NewWindow=True"},
      {"file://C:\\docs\\read me.txt", "S=/Launch F=C:\\docs\\read me.txt"},
      {"GoToR://other.pdf#3", "S=/GoToR F=other.pdf D=[3 /XYZ None None None]"},
      {"GoToR://other.pdf#x", "S=/GoToR F=other.pdf D=[0 /XYZ None None None]"},
      {"GoToR://other.pdf", "S=/GoToR F=other.pdf D=[0 /XYZ None None None]"},
      // A global name is written as registered, whatever the link's letter case.
      {"GLOB", "Dest=Glob"},
      {"local", "Dest=[page1 /XYZ 144 756 0]"},
      {"Nowhere", ""},
  };
  std::string expected;
  std::int32_t y = 0;
  for (const auto& c : cases) {
    ASSERT_EQ(Link(c.target, y), 0) << c.target;
    // 96 dpi: x 96..288 is 72..216 points, y is 0.75 of the device value.
    const std::int32_t top = 792 - y * 3 / 4;
    expected += "[72 " + std::to_string(top - 18) + " 216 " + std::to_string(top) + "]";
    expected += *c.expected ? std::string(" ") + c.expected + "\n" : "\n";
    y += 32;
  }
  ASSERT_EQ(e_->Do(c_, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
  const std::string pdf = Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_EQ(QpdfJsonQuery(pdf, kLinkScript), expected);
  EXPECT_EQ(messages_.texts, std::vector<std::string>{"Bookmark \"Nowhere\" not found"});

  if (!HaveTool("mutool")) return;
  // MuPDF reads the same targets; the named ones lead to page 1, where they were put.
  const std::string links = MuPdfLinks(pdf);
  for (const char* link : {"1 72 0 216 18 http://example.com/a\n",
                           "1 72 96 216 114 http://example.com/caf%C3%A9%20menu\n",
                           "1 72 168 216 186 file://C:\\docs\\read me.txt\n",
                           "1 72 192 216 210 file://other.pdf#page=4\n",
                           "1 72 264 216 282 #page=1&zoom=100,72,72 -> 1\n",
                           "1 72 288 216 306 #page=1&zoom=100,144,36 -> 1\n"})
    EXPECT_NE(links.find(link), std::string::npos) << link << links;
}

TEST_F(EngineLinks, DestinationsInDeviceUnitsOnTheirOwnPages) {
  if (!HaveTool("pdfinfo")) GTEST_SKIP() << "pdfinfo missing";
  ASSERT_TRUE(e_->SetIProp(c_, QVPDF_IPROP_MODES, static_cast<std::int32_t>(0x80000000u)));
  // Named before any page: it goes to the first page begun.
  ASSERT_EQ(Destination("Early", 96, 96), 0);
  ASSERT_EQ(e_->Do(c_, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  ASSERT_EQ(Destination("First", 96, 192), 0);
  ASSERT_EQ(e_->Do(c_, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
  // A page of another resolution: the earlier positions keep their own scale.
  const TQVPDFPageInit page = PageRecord(612, 792, 72);
  ASSERT_EQ(e_->InitializePage(c_, 0, &page), 1);
  ASSERT_EQ(e_->Do(c_, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  ASSERT_EQ(Destination("Second", 72, 72), 0);
  ASSERT_EQ(e_->Do(c_, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
  // Named after the last page: it stays with the last page.
  ASSERT_EQ(Destination("Late", 0, 0), 0);
  const std::string pdf = Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  const TempFile file(pdf);
  const std::string dests = RunTool({"pdfinfo", "-dests", file.Path().string()}).out;
  const char* rows[] = {
      "1 [ XYZ   72  720 null      ] \"Early\"", "1 [ XYZ   72  648 null      ] \"First\"",
      "2 [ XYZ    0  792 null      ] \"Late\"", "2 [ XYZ   72  720 null      ] \"Second\""};
  for (const char* row : rows) EXPECT_NE(dests.find(row), std::string::npos) << row << dests;
}

TEST_F(EngineLinks, FailuresGiveMinusOne) {
  // No page open.
  EXPECT_EQ(Link("http://example.com/", 0), -1);
  EXPECT_EQ(e_->Do(c_, QVPDF_CMD_ADD_LINK, 0, nullptr), -1);
  EXPECT_EQ(e_->Do(c_, QVPDF_CMD_ADD_DESTINATION, 0, nullptr), -1);
  ASSERT_EQ(e_->Do(c_, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  // An action text goes into the link's dictionary, so only one that keeps the file whole is
  // taken; its strings are written again by the link (as encryption needs).
  EXPECT_EQ(Link("", 0, "/S /URI /URI (http://example.com/\\)) /Next << /S /GoTo /D [0 /Fit] >>"),
            0);
  EXPECT_EQ(Link("", 80, "/S/URI/URI<687474703A2F2F782F3f612=62>"), -1);
  EXPECT_EQ(Link("", 80, "/S/URI/URI<687474703A2F2F782F3f6>"), 0);
  for (const char* bad :
       {"/S /URI /URI (open", "/S /URI >> endobj 1 0 obj <<", "/S /Launch /F [(a)",
        "/S /URI /URI <4G>", "/S /JavaScript % comment", "/S /URI ) (", "/S stream"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(Link("", 40, bad), -1);
  }
  ASSERT_EQ(e_->Do(c_, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
  const std::string pdf = Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  if (HaveTool("python3")) {
    EXPECT_EQ(QpdfJsonQuery(pdf, kLinkScript),
              "[72 774 216 792] S=/URI URI=http://example.com/)\n"
              "[72 714 216 732] S=/URI URI=http://x/?`\n");
  }
}

}  // namespace
}  // namespace vellora_test
