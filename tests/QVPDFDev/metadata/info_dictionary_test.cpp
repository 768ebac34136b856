// The information dictionary: dates in UTC whatever the local offset, the standard entries
// decoded from their encoding, extra entries as escaped keys; read back by qpdf and pdfinfo.
#include <gtest/gtest.h>

#include <string>

#include "info_test_document.h"
#include "qvplatform/clock.h"

namespace vellora {
namespace {

using vellora_test::TestDocument;

std::string InfoBody(TestDocument& doc) {
  const std::string file = doc.owner.Bytes();
  const std::string header = std::to_string(doc.infoObject->ObjectNumber()) + " 0 obj\r<<\r\n";
  const std::size_t start = file.find(header);
  if (start == std::string::npos) return {};
  const std::size_t body = start + header.size();
  return file.substr(body, file.find("\r\n>> \rendobj", body) - body);
}

struct DateCase {
  int year, month, day, hour, minute;
  int offset;  // minutes east of UTC
  const char* pdf;
  const char* iso;
};

TEST(InfoDictionary, DatesAreUTCWhateverTheLocalOffset) {
  const DateCase cases[] = {
      {2024, 1, 31, 14, 0, 120, "D:20240131120000Z", "2024-01-31T12:00:00Z"},
      {2024, 1, 31, 12, 0, 0, "D:20240131120000Z", "2024-01-31T12:00:00Z"},
      // West of UTC, across the end of a (leap) year.
      {2023, 12, 31, 22, 30, -300, "D:20240101033000Z", "2024-01-01T03:30:00Z"},
      // Half-hour and 45-minute offsets, back across a day and a leap day.
      {2024, 3, 1, 3, 15, 330, "D:20240229214500Z", "2024-02-29T21:45:00Z"},
      {2024, 7, 1, 0, 0, 765, "D:20240630111500Z", "2024-06-30T11:15:00Z"},
  };
  const bool havePdfinfo = vellora_test::HaveTool("pdfinfo");
  for (const DateCase& c : cases) {
    SCOPED_TRACE(c.pdf);
    TestDocument doc;
    const TQVDocumentTime time{qvplatform::EncodeDateTime(c.year, c.month, c.day, c.hour, c.minute),
                               c.offset};
    doc.WriteInformation(time);
    const std::string file = doc.Finish();
    const std::string body = InfoBody(doc);
    EXPECT_NE(body.find(std::string("/CreationDate(") + c.pdf + ")"), std::string::npos) << body;
    EXPECT_NE(body.find(std::string("/ModDate(") + c.pdf + ")"), std::string::npos) << body;
    const std::string packet = vellora_test::XMPPacket(file);
    for (const char* key : {"xmp:CreateDate", "xmp:ModifyDate", "xmp:MetadataDate"}) {
      const std::string element = std::string("<") + key + ">" + c.iso + "</" + key + ">";
      EXPECT_NE(packet.find(element), std::string::npos) << key;
    }
    if (havePdfinfo) {
      auto fields = vellora_test::Pdfinfo(file, "-isodates");
      EXPECT_EQ(fields["CreationDate"], c.iso);
      EXPECT_EQ(fields["ModDate"], c.iso);
    }
  }
}

TEST(InfoDictionary, TimeNowTakesTheClockAndItsOffset) {
  qvplatform::ScopedClockOverride clock(qvplatform::EncodeDateTime(2025, 6, 1, 0, 30), 60);
  const TQVDocumentTime now = TQVDocumentTime::Now();
  EXPECT_EQ(now.utcOffsetMinutes, 60);
  EXPECT_EQ(PDFDateText(now), "D:20250531233000Z");
  EXPECT_EQ(XMPDateText(now), "2025-05-31T23:30:00Z");
}

TEST(InfoDictionary, PDFDatesRearrangeIntoXMPDates) {
  EXPECT_EQ(PDFDateToXMPDate("D:20240131120000Z"), "2024-01-31T12:00:00Z");
  EXPECT_EQ(PDFDateToXMPDate("D:20240131120000+05'30'"), "2024-01-31T12:00:00+05:30");
  EXPECT_EQ(PDFDateToXMPDate("D:20240131120000"), "2024-01-31T12:00:00");
  EXPECT_EQ(PDFDateToXMPDate("D:2024013112"), "");
  EXPECT_EQ(PDFDateToXMPDate("D:2024O131120000Z"), "");
  EXPECT_EQ(PDFDateToXMPDate("D:20240131120000Q"), "");
}

TEST(InfoDictionary, StandardAndExtraEntries) {
  TestDocument doc;
  doc.info.author = "Ann (Smith)";
  doc.info.title = "Report\\2024";
  doc.info.creator = "Writer";
  doc.info.producerName = "ignored";
  doc.info.extraEntries.SetText(
      "Company Name=ACME\n"
      "A/B(c)#=delims\n"
      "Title=a second title\n"  // a key the dictionary has already
      "company_name=other case\n"
      "Company Name=again\n"
      "creator=skipped\n"
      "PRODUCER=skipped\n"
      "_Lang=de\n"
      " =empty name\n"
      "no equals sign\n"
      "Euro=\x80 5\n");
  doc.WriteInformation(vellora_test::FixedTime());
  const std::string file = doc.Finish();
  const std::string body = InfoBody(doc);
  EXPECT_EQ(body.substr(0, body.find("/Euro(")),
            "/Creator(Writer)\n/Author(Ann \\(Smith\\))\n/Title(Report\\\\2024)\n/Subject()\n"
            "/Keywords()\n/CreationDate(D:20240131120000Z)\n/ModDate(D:20240131120000Z)\n"
            "/Producer(Folvio3 by Torvane GmbH)\n"
            "/Company_Name(ACME)\n/A#2FB#28c#29#23(delims)\n/company_name(other case)\n");
  EXPECT_EQ(doc.info.writtenCreator, "Writer");
  EXPECT_EQ(doc.info.writtenProducer, "Folvio3 by Torvane GmbH");
  EXPECT_EQ(doc.info.writtenTitle, "Report\\2024");
  EXPECT_EQ(doc.info.Language(), "de");

  if (!vellora_test::HaveTool("qpdf")) GTEST_SKIP() << "qpdf missing";
  const auto check = vellora_test::QpdfCheck(file);
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_EQ(check.out.find("WARNING"), std::string::npos) << check.out;
  EXPECT_EQ(vellora_test::QpdfJsonQuery(file, R"(
info = get(trailer['/Info'])
for k in sorted(info): print(k, info[k])
)"),
            "/A/B(c)# u:delims\n/Author u:Ann (Smith)\n/Company_Name u:ACME\n"
            "/CreationDate u:D:20240131120000Z\n/Creator u:Writer\n/Euro u:\u20AC 5\n"
            "/Keywords u:\n/ModDate u:D:20240131120000Z\n/Producer u:Folvio3 by Torvane GmbH\n"
            "/Subject u:\n/Title u:Report\\2024\n/company_name u:other case\n");
}

TEST(InfoDictionary, UTF8TextsBecomeUnicodeStrings) {
  TestDocument doc;
  doc.info.utf8 = true;
  doc.info.title = "Caf\xC3\xA9 \xF0\x9F\x98\x80";
  doc.info.author = "plain";
  doc.info.extraEntries.SetText("Ort=K\xC3\xB6ln");
  doc.WriteInformation(vellora_test::FixedTime());
  const std::string file = doc.Finish();
  if (!vellora_test::HaveTool("pdfinfo")) GTEST_SKIP() << "pdfinfo missing";
  auto fields = vellora_test::Pdfinfo(file, "");
  EXPECT_EQ(fields["Title"], "Caf\xC3\xA9 \xF0\x9F\x98\x80");
  EXPECT_EQ(fields["Author"], "plain");
  auto custom = vellora_test::Pdfinfo(file, "-custom");
  EXPECT_EQ(custom["Ort"], "K\xC3\xB6ln");
}

TEST(InfoDictionary, NoInformationObjectMeansNoPacket) {
  TestDocument doc;
  doc.info.noInformationObject = true;
  doc.info.title = "x";
  doc.WriteInformation(vellora_test::FixedTime());
  EXPECT_EQ(doc.infoObject, nullptr);
  const std::string file = doc.Finish();
  EXPECT_FALSE(doc.catalog.Metadata().HasProperties());
  EXPECT_EQ(file.find("/Metadata"), std::string::npos);
  EXPECT_EQ(file.find("xpacket"), std::string::npos);
}

TEST(InfoDictionary, AssignCopiesTheSettingsNotTheWrittenCopies) {
  TQVDeviceInfoBlock a;
  a.author = "A";
  a.title = "T";
  a.utf8 = true;
  a.noInformationObject = true;
  a.extraEntries.Add("x=1");
  a.writtenTitle = "old";
  TQVDeviceInfoBlock b;
  b.Assign(a);
  EXPECT_EQ(b.author, "A");
  EXPECT_EQ(b.title, "T");
  EXPECT_TRUE(b.utf8);
  EXPECT_TRUE(b.noInformationObject);
  EXPECT_EQ(b.extraEntries.Text(), "x=1\r\n");
  EXPECT_EQ(b.writtenTitle, "");
}

}  // namespace
}  // namespace vellora
