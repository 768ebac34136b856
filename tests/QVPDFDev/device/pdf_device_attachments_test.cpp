// File attachments of the PDF device, from attachment records made here: what poppler's
// pdfdetach lists and saves (every body byte-exact, also under ASCII85 armour), the
// annotation's texts, icons and /Filespec dictionary as qpdf reads them, bodies under the
// other file system keys, and damaged records swept field by field.
#include <gtest/gtest.h>

#include <zlib.h>

#include <climits>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "attachment_record_builder.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::AttachmentBody;
using vellora_test::AttachmentRecordFields;
using vellora_test::Body;
using vellora_test::BuildAttachmentRecord;
using vellora_test::DocumentBytes;
using vellora_test::HaveTool;
using vellora_test::QpdfJsonQuery;
using vellora_test::QpdfProblems;
using vellora_test::Record;
using vellora_test::RecordingDevice;
using vellora_test::RunTool;
using vellora_test::TempFile;

struct Attachment {
  AttachmentRecordFields fields;
  bool utf8;
};

std::string Attach(const std::vector<Attachment>& attachments,
                   TQVEncodeStreamMethod armour = qvEncodeNone) {
  RecordingDevice d;
  d.options.writer.armour = armour;
  d.BeginDoc(576, 800, 72, 0);
  d.BeginPage(612, 792, 72, 72, 0);
  for (const Attachment& a : attachments) {
    const std::vector<std::uint8_t> record = BuildAttachmentRecord(a.fields);
    d.AddFileAttachment({10, 10, 40, 50}, record.data(), a.utf8, record.size());
  }
  d.EndDoc();
  return DocumentBytes(d);
}

// "TOBEORNOTTOBEORTOBEORNOT" as LZW codes (clear first, end last).
const std::string kLzw =
    "\x80\x15\x09\xE4\x22\x29\x3C\xA4\x4E\x27\x95\x20\x50\x48\x34\x2E\x0B\x07\x84\xC0\x40";

std::string Deflated(const std::string& text) {
  uLongf size = compressBound(static_cast<uLong>(text.size()));
  std::string out(size, '\0');
  compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
           static_cast<uLong>(text.size()));
  out.resize(size);
  return out;
}

// Every annotation of page 1: subtype, /T, /Contents, /Name or whether /AP is there, the
// /Filespec dictionary's /F, /UF and the keys of /EF.
const char kAnnotScript[] = R"(
kids = get(get(trailer['/Root'])['/Pages'])['/Kids']
def text(v):
    return v[2:] if isinstance(v, str) and v[:2] in ('u:', 'b:') else v
for ref in get(kids[0]).get('/Annots', []):
    o = get(ref)
    fs = o['/FS']
    print(o['/Subtype'], text(o.get('/T')), text(o.get('/Contents')), o.get('/Name'),
          '/AP' in o, text(fs.get('/F')), text(fs.get('/UF')), sorted(fs['/EF'].keys()))
)";

TEST(PDFDeviceAttachments, BodiesComeBackByteExact) {
  if (!HaveTool("pdfdetach") || !HaveTool("qpdf")) GTEST_SKIP() << "poppler or qpdf missing";
  std::string big(1 << 20, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7919 >> 3);
  const std::vector<std::pair<std::string, AttachmentBody>> files = {
      {"plain.txt", Body("plain text body\n", 0, 0, "text-plain")},
      {"stored.bin", Body(std::string("\0\xFF stored\r\n", 11), 1)},
      {"flate.txt", Body(Deflated("deflated before"), 2)},
      {"damaged.txt", Body("no zlib data", 2)},  // written as plain data instead
      {"lzw.txt", Body(kLzw, 3)},
      {"badlzw.txt", Body("\xFF\xFF\xFF", 3)},  // a code beyond the table: plain data
      {"state9.txt", Body("a state outside 0..3 is plain", 9)},
      {"empty.txt", Body("")},
      {"big.bin", Body(big, 0, 0, "application-octet-stream")},
  };
  const std::vector<std::string> expected = {"plain text body\n",
                                             std::string("\0\xFF stored\r\n", 11),
                                             "deflated before",
                                             "no zlib data",
                                             "TOBEORNOTTOBEORTOBEORNOT",
                                             "\xFF\xFF\xFF",
                                             "a state outside 0..3 is plain",
                                             "",
                                             big};
  std::vector<Attachment> attachments;
  for (const auto& [name, body] : files) attachments.push_back({Record(name, {body}), false});
  for (const TQVEncodeStreamMethod armour : {qvEncodeNone, qvASCII85Encode}) {
    SCOPED_TRACE(armour == qvEncodeNone ? "plain" : "ASCII85");
    const std::string pdf = Attach(attachments, armour);
    ASSERT_EQ(QpdfProblems(pdf), "");
    const TempFile file(pdf);
    const std::string list = RunTool({"pdfdetach", "-list", file.Path().string()}).out;
    EXPECT_NE(list.find(std::to_string(files.size()) + " embedded files"), std::string::npos)
        << list;
    const vellora_test::TempDir folder("attachments");
    RunTool({"pdfdetach", "-saveall", "-o", folder.Path().string(), file.Path().string()});
    for (std::size_t i = 0; i < files.size(); ++i) {
      SCOPED_TRACE(files[i].first);
      EXPECT_NE(list.find(files[i].first), std::string::npos) << list;
      EXPECT_TRUE(vellora_test::ReadFile(folder.File(files[i].first)) == expected[i]);
    }
  }
}

TEST(PDFDeviceAttachments, TextsIconsAndFilespecDictionaries) {
  if (!HaveTool("qpdf") || !HaveTool("python3")) GTEST_SKIP() << "qpdf or python3 missing";
  const AttachmentBody body = Body("x");
  std::vector<Attachment> attachments;
  for (std::uint8_t icon = 0; icon <= 4; ++icon)
    attachments.push_back({Record("icon" + std::to_string(icon), {body}, "", icon), false});
  attachments.push_back(
      {Record("report.txt", {body}, "Title=Report,Contents=Figures,Other=x"), false});
  attachments.push_back(
      {Record("report.txt", {body}, "\"title=Annual report\",\"CONTENTS=Q1, Q2\""), false});
  // Code page 1252: the euro sign and the quotes become text-string characters. An unquoted
  // blank ends an entry.
  attachments.push_back(
      {Record("caf\xE9.txt", {body}, "\"Contents=\x80 \x93q\x94\" Title=a b"), false});
  attachments.push_back({Record("Bericht-\xC3\xBC.txt", {body}, "Title=\xC3\xBC"), true});
  const std::string pdf = Attach(attachments);
  ASSERT_EQ(QpdfProblems(pdf), "");
  EXPECT_EQ(QpdfJsonQuery(pdf, kAnnotScript),
            "/FileAttachment None icon0 None True icon0 None ['/F']\n"
            "/FileAttachment None icon1 /PushPin False icon1 None ['/F']\n"
            "/FileAttachment None icon2 /Graph False icon2 None ['/F']\n"
            "/FileAttachment None icon3 /Paperclip False icon3 None ['/F']\n"
            "/FileAttachment None icon4 /Tag False icon4 None ['/F']\n"
            "/FileAttachment Report Figures /PushPin False report.txt None ['/F']\n"
            "/FileAttachment Annual report Q1, Q2 /PushPin False report.txt None ['/F']\n"
            "/FileAttachment a \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D /PushPin False "
            "caf\xC3\xA9.txt None ['/F']\n"
            "/FileAttachment \xC3\xBC None /PushPin False Bericht-\xC3\x83\xC2\xBC.txt "
            "Bericht-\xC3\xBC.txt ['/F']\n");
  // The icon-0 attachments share one empty appearance.
  EXPECT_EQ(QpdfJsonQuery(pdf, R"(
kids = get(get(trailer['/Root'])['/Pages'])['/Kids']
a = get(get(kids[0])['/Annots'][0])['/AP']
print(a['/N'] == a['/D'], get(a['/N'])['/Subtype']))"),
            "True /Form\n");
}

TEST(PDFDeviceAttachments, FileSystemKeysSubtypesAndDates) {
  if (!HaveTool("qpdf") || !HaveTool("python3")) GTEST_SKIP() << "qpdf or python3 missing";
  AttachmentRecordFields fields =
      Record("keys.txt", {Body("dos", 0, 3, "text-plain"), Body("mac", 0, 4, "a b(c)"),
                          Body("unix", 0, 5), Body("second unix", 0, 5), Body("f", 0, 7)});
  fields.bodies[0].modified = -1.25;   // 1899-12-29 06:00
  fields.bodies[0].created = -657434;  // 0100-01-01: four digits
  fields.bodies[1].modified = 3e6;     // beyond 9999: left out
  fields.bodies[1].created = 45322.5;
  const std::string pdf =
      Attach({{fields, false}, {Record("dos.txt", {Body("only dos", 0, 3)}), false}});
  ASSERT_EQ(QpdfProblems(pdf), "");
  // One body per key: the second Unix body is an attachment of its own. Without an /F body the
  // first body is also /F, so readers that look only there find it.
  EXPECT_EQ(QpdfJsonQuery(pdf, R"(
kids = get(get(trailer['/Root'])['/Pages'])['/Kids']
def text(v):
    return v[2:] if isinstance(v, str) and v[:2] in ('u:', 'b:') else v
for ref in get(kids[0])['/Annots']:
    fs = get(ref)['/FS']
    names = [text(fs.get(k)) for k in ('/F', '/DOS', '/Mac', '/Unix')]
    out = []
    for k, v in sorted(fs['/EF'].items()):
        s = get(v)
        p = s.get('/Params', {})
        out.append(k + ':' + str(s.get('/Subtype')) + ':' + str(text(p.get('/ModDate'))) + ':' +
                   str(text(p.get('/CreationDate'))))
    print(names, out)
)"),
            "['keys.txt', 'keys.txt', 'keys.txt', 'keys.txt'] ['/DOS:/text/plain:D:18991229060000:"
            "D:01000101000000', '/F:None:D:20240131120000:D:20240131060000', "
            "'/Mac:/a b(c):None:D:20240131120000', "
            "'/Unix:None:D:20240131120000:D:20240131060000']\n"
            "['keys.txt', None, None, 'keys.txt'] ['/F:None:D:20240131120000:D:20240131060000', "
            "'/Unix:None:D:20240131120000:D:20240131060000']\n"
            "['dos.txt', 'dos.txt', None, None] ['/DOS:None:D:20240131120000:D:20240131060000', "
            "'/F:None:D:20240131120000:D:20240131060000']\n");
  // Bodies under the other keys come back byte-exact.
  const std::string refs = QpdfJsonQuery(pdf, R"(
kids = get(get(trailer['/Root'])['/Pages'])['/Kids']
fs = get(get(kids[0])['/Annots'][0])['/FS']['/EF']
print(' '.join(fs[k].split()[0] for k in ('/DOS', '/Mac', '/Unix'))))");
  std::istringstream numbers(refs);
  for (const char* body : {"dos", "mac", "unix"}) {
    int number = 0;
    numbers >> number;
    EXPECT_EQ(vellora_test::QpdfStreamData(pdf, number), body);
  }
}

TEST(PDFDeviceAttachments, NoneInPdfaNoneWithoutAPage) {
  const std::vector<std::uint8_t> record = BuildAttachmentRecord(Record("a.txt", {Body("a")}));
  RecordingDevice d;
  d.options.writer.pdfaMode = folvioaLevelB;
  d.BeginDoc(576, 800, 72, 0);
  EXPECT_THROW(d.AddFileAttachment({0, 0, 10, 10}, record.data(), false, record.size()),
               std::runtime_error);
  d.BeginPage(612, 792, 72, 72, 0);
  d.AddFileAttachment({0, 0, 10, 10}, record.data(), false, record.size());
  EXPECT_TRUE(d.Annotations().empty());
  d.EndDoc();
}

TEST(PDFDeviceAttachments, DamagedRecordsStayBounded) {
  const AttachmentRecordFields fields =
      Record("report.txt", {Body(std::string(40, 'a')), Body("zz", 2, 3)}, "Title=T");
  const std::vector<std::uint8_t> valid = BuildAttachmentRecord(fields);
  std::vector<std::vector<std::uint8_t>> records;
  for (std::size_t length = 0; length <= valid.size(); ++length)
    records.emplace_back(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(length));
  // Long texts and many bodies under one key: the texts are written once, not once per body.
  records.push_back(BuildAttachmentRecord(Record(
      "many.txt", std::vector<AttachmentBody>(500, Body("")), "Title=" + std::string(65536, 't'))));
  for (const std::size_t field : vellora_test::AttachmentLengthFields(fields)) {
    for (const std::int32_t value : {0, -1, 87, 88, INT_MIN, INT_MAX}) {
      std::vector<std::uint8_t> record = valid;
      for (int i = 0; i < 4; ++i)
        record[field + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
      records.push_back(record);
    }
  }
  const bool check = HaveTool("qpdf");
  for (const auto& record : records) {
    RecordingDevice d;
    d.BeginDoc(576, 800, 72, 0);
    d.BeginPage(612, 792, 72, 72, 0);
    // A copy of exactly the record's bytes, so that a read past them is a sanitizer finding.
    const auto bytes = std::make_unique<std::uint8_t[]>(record.size() + 1);
    std::copy(record.begin(), record.end(), bytes.get());
    d.AddFileAttachment({0, 0, 10, 10}, bytes.get(), false, record.size());
    d.EndDoc();
    const std::string pdf = DocumentBytes(d);
    EXPECT_LT(pdf.size(), 4000 + 4 * record.size());
    // qpdf on a sample: every truncation point of the entries, every damaged field.
    if (check && (record.size() % 8 == 0 || record.size() == valid.size())) {
      EXPECT_EQ(QpdfProblems(pdf), "") << record.size();
    }
  }
}

}  // namespace
}  // namespace vellora
