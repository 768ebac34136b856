// The object model: frames, numbering and the cross-reference list, the simple objects, the
// output helpers and the encoding and encryption of strings.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "QVPDFDev/file/pdf_file_writer.h"
#include "QVPDFDev/file/pdf_number_text.h"
#include "QVPDFDev/objects/pdf_input_stream.h"
#include "QVPDFDev/objects/pdf_simple_objects.h"
#include "QVPDFDev/objects/pdf_text_encoding.h"
#include "pdf_test_owner.h"
#include "test_support.h"

namespace vellora {
namespace {

using vellora_test::TestOwner;

TEST(ObjectFrame, DictionaryAndRawObjectsHaveTheirExactFrames) {
  TestOwner owner;
  TQVPDFName dict(&owner, "Type/Example");
  dict.WriteObject();
  EXPECT_EQ(owner.Take(), "1 0 obj\r<<\r\n/Type/Example\r\n>> \rendobj\r\n");
  TQVPDFNull null(&owner);
  null.SetRaw(true);
  null.WriteObject();
  EXPECT_EQ(owner.Take(), "2 0 obj\r\nnull\r\nendobj\r\n");
}

TEST(ObjectFrame, NumbersAreTakenAtFirstReferenceAndOffsetsAtFirstWrite) {
  TestOwner owner;
  owner.writer.Write("0123456789");
  TQVPDFNull early(&owner), never(&owner), direct(&owner);
  EXPECT_EQ(early.GetReference(), "1 0 R");
  EXPECT_EQ(never.GetObjectNumber(), 2);
  EXPECT_EQ(owner.writer.XRef().Entry(1), "undef TQVPDFNull");
  direct.WriteObject();  // written without a reservation: the next number
  EXPECT_EQ(direct.ObjectNumber(), 3);
  EXPECT_EQ(owner.writer.XRef().Entry(3), "0000000010 00000 n");
  early.WriteObject();
  const std::string firstEntry = owner.writer.XRef().Entry(1);
  early.WriteObject();  // a second write keeps the first offset
  EXPECT_EQ(owner.writer.XRef().Entry(1), firstEntry);
  EXPECT_EQ(early.GetReference(), "1 0 R");

  owner.Take();
  const std::uint64_t xref = owner.writer.WriteXRefTable();
  const std::string table = owner.Take();
  EXPECT_EQ(xref, owner.writer.Position() - table.size());
  EXPECT_EQ(table, "xref\r\n0 4\r\n0000000000 65535 f\r\n" + firstEntry +
                       "\r\n0000000000 65535 f\r\n0000000010 00000 n\r\n");
}

TEST(ObjectFrame, XRefEntriesHaveTenDigitOffsets) {
  EXPECT_EQ(TQVPDFXRefList::InUseEntry(1234), "0000001234 00000 n");
  EXPECT_EQ(TQVPDFXRefList::InUseEntry(9999999999ull), "9999999999 00000 n");
  EXPECT_THROW(TQVPDFXRefList::InUseEntry(10000000000ull), std::runtime_error);
}

TEST(ObjectFrame, Errors) {
  TQVPDFNull orphan(nullptr);
  try {
    orphan.WriteObject();
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Object has no owner");
  }
  TestOwner owner;
  owner.writer.Sink().Close();
  try {
    owner.writer.WriteLn("x");
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Device not open");
  }
  TQVCustomPDFType base(&owner);
  EXPECT_THROW(base.AsString(), std::runtime_error);
  EXPECT_THROW(base.SetAsString("", nullptr), std::runtime_error);
}

TEST(ObjectFrame, ObjectWriterEventTakesOver) {
  struct EventOwner : TestOwner {
    bool WriteObjectEvent(TQVCustomPDFType& object) override {
      seen.push_back(&object);
      return true;
    }
    std::vector<TQVCustomPDFType*> seen;
  } owner;
  TQVPDFNull null(&owner);
  null.WriteObject();
  EXPECT_EQ(owner.Bytes(), "");
  ASSERT_EQ(owner.seen.size(), 1u);
  EXPECT_EQ(owner.seen[0], &null);
}

TEST(LiteralString, PlainAndEscapedForms) {
  TestOwner owner;
  auto body = [&](const std::string& text) { return TQVPDFString(&owner, text).AsString(); };
  EXPECT_EQ(body("Hello"), "(Hello)");
  EXPECT_EQ(body(""), "()");
  const std::string plain99(99, 'a'), plain100(100, 'a');
  EXPECT_EQ(body(plain99), "(" + plain99 + ")");
  EXPECT_EQ(body(plain100), "(" + plain100 + "\\\r\n)");
  EXPECT_EQ(body("\xC8"), "(\\310)");
  EXPECT_EQ(body("a(b)c\\"), "(a\\(b\\)c\\\\)");
  EXPECT_EQ(body("\r\n\x7F"), "(\\015\\012\x7F)");
  // Breaks never split an escape: 30 octal escapes give lines of at most 101 + 3 characters.
  const std::string escaped = body(std::string(30, '\x01'));
  EXPECT_EQ(escaped.find("\\\r\n"), 1 + 25 * 4u);
  TQVPDFString raw(&owner, "<feff>");
  raw.SetRawText(true);
  EXPECT_EQ(raw.AsString(), "<feff>");
}

TEST(SimpleObjects, NumArrayNameAndDictionaryEntries) {
  TestOwner owner;
  TQVPDFNumArray widths(&owner);
  for (int v : {10, 20, 30}) widths.Add(v);
  EXPECT_EQ(widths.AsString(), "[ 10 20 ]");
  widths.Clear();
  EXPECT_EQ(widths.AsString(), "[ ]");
  for (int v = 1; v <= 21; ++v) widths.Add(v);
  EXPECT_EQ(widths.AsString(), "[ 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19\n20 ]");

  EXPECT_EQ(TQVPDFName(&owner, "Type/Font").AsString(), "/Type/Font");

  TQVPDFNull target(&owner);
  TQVPDFArrayObj map(&owner);
  map.AddObject("My Class", &target);
  map.AddName("H#1", "Heading (1)");
  map.AddName("", "x");
  map.AddObject("k", nullptr);
  EXPECT_EQ(map.Count(), 2u);
  map.WriteObject();
  EXPECT_EQ(owner.Take(),
            "1 0 obj\r<<\r\n/My#20Class 2 0 R/H#231/Heading#20#281#29>> \rendobj\r\n");
}

TEST(SimpleObjects, ArraysAndDictionariesOfObjects) {
  TestOwner owner;
  TQVPDFNull a(&owner), b(&owner), c(&owner);
  c.SetEntryKey("Logo");
  std::vector<TQVCustomPDFType*> list = {&a, &b, &c};
  TQVPDFNull writer(&owner);
  writer.WriteObjectArray("Kids", list);
  EXPECT_EQ(owner.Take(), "/Kids [ 1 0 R\r\n2 0 R\r\n3 0 R ]\r\n");
  writer.WriteObjectDict("XObject", "/qvk", 1, list);
  EXPECT_EQ(owner.Take(), "/XObject << /qvk1 1 0 R\r\n/qvk2 2 0 R\r\n/Logo 3 0 R >>\r\n");
  writer.WriteObjectDict("Font", "", 1, list);
  EXPECT_EQ(owner.Take(), "/Font << 1 0 R\r\n2 0 R\r\n3 0 R >>\r\n");
  writer.WriteObjectArray("Kids", std::vector<TQVCustomPDFType*>{});
  EXPECT_EQ(owner.Take(), "");

  TQVPDFArray owning(&owner, false);
  owning.Add(new TQVPDFNull(&owner));  // freed by the array (the sanitizer build checks)
  TQVPDFArray refs(&owner, true);
  refs.Add(&a);
  EXPECT_EQ(refs.Count(), 1u);
}

TEST(OutputHelpers, NumbersAndHex) {
  TestOwner owner;
  for (double v :
       {612.0, 0.5, 1e7, 12345.6789, -0.0001, std::numeric_limits<double>::quiet_NaN(), HUGE_VAL}) {
    owner.writer.WriteFloat(v);
    owner.writer.Write(" ");
  }
  EXPECT_EQ(owner.Take(), "612.000 0.500 10000000.000 12345.680 0.000 0.000 0.000 ");
  owner.writer.WriteMediaBox(595.276, 841.89);
  EXPECT_EQ(owner.Take(), "/MediaBox [0 0 595.276 841.890]\r\n");

  struct Case {
    double value;
    const char* text;
  };
  for (const Case& c :
       {Case{0, "0"}, Case{1, "1"}, Case{2.0, "2"}, Case{0.25, "0.250"}, Case{0.5, "0.500"},
        Case{-3, "-3"}, Case{12345678, "12345678"}, Case{std::nan(""), "0"}, Case{0.001, "0.001"}})
    EXPECT_EQ(PDFNumberToStr(c.value), c.text) << c.value;

  const unsigned char bytes[] = {0x0A, 0xFF};
  EXPECT_EQ(TQVPDFFileWriter::HexString(bytes, 2), "<0aff>");
  const std::string sixteen(16, '\x12');
  EXPECT_EQ(TQVPDFFileWriter::HexString(sixteen.data(), 16).size(), 34u);
}

TEST(EncodeText, EightBitCodePageAndUTF16) {
  TestOwner owner;
  TQVPDFNull object(&owner);
  struct Case {
    std::u16string text;
    bool force8Bit;
    std::uint32_t codePage;
    std::string expected;
  };
  const Case cases[] = {
      {u"Plain (1)\\", false, 1252, "Plain \\(1\\)\\\\"},
      {u"Tab\tCR\r", false, 1252, "Tab\\tCR\\r"},
      {u"", false, 1252, ""},
      // Above 127: FE FF and UTF-16BE; only delimiters, CR and LF escaped.
      {u"\u00e9", false, 1252, std::string("\xFE\xFF\x00\xE9", 4)},
      {u"\u010d(", false, 1252, std::string("\xFE\xFF\x01\\r\x00\\(", 8)},
      {u"\u010a", false, 1252, "\xFE\xFF\x01\\n"},
      {u"\U0001F600", false, 1252, std::string("\xFE\xFF\xD8\x3D\xDE\x00", 6)},
      // Forced 8-bit: the code page, with "?" for what it cannot show.
      {u"\u00e9", true, 1252, "\\351"},
      {u"\u010d", true, 1250, "\\350"},
      {u"\u010d", true, 1252, "?"},
      {u"\u0416", true, 1251, "\\306"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(object.EncodeText(c.text, c.force8Bit, c.codePage), c.expected)
        << static_cast<int>(c.text.empty() ? 0 : c.text[0]);
  }
  EXPECT_EQ(object.EncodeUnicodeHex(u""), "<>");
  EXPECT_EQ(object.EncodeUnicodeHex(u"A\u00e9"), "<feff004100e9>");
}

TEST(EncodeText, UTF8ToUTF16BE) {
  EXPECT_EQ(UTF8ToUTF16BE(""), "");
  EXPECT_EQ(UTF8ToUTF16BE("A\xC3\xA9"), std::string("\xFE\xFF\x00\x41\x00\xE9", 6));
  EXPECT_EQ(UTF8ToUTF16BE("\xF0\x9F\x98\x80"), std::string("\xFE\xFF\xD8\x3D\xDE\x00", 6));
  EXPECT_EQ(UTF8ToUTF16BE("\xFF"), "\xFE\xFF\xFF\xFD");  // ill-formed: U+FFFD
}

TEST(OutputSink, FileAndMemoryGiveTheSameBytesAndOffsets) {
  vellora_test::TempFile target("", ".pdf");
  TQVPDFOutputSink file;
  file.OpenFile(target.Path().string());
  TQVPDFOutputSink memory;
  memory.OpenMemory();
  const std::string big(100000, 'b');
  for (TQVPDFOutputSink* sink : {&file, &memory}) {
    sink->Append("head", 4);
    sink->Append(big.data(), big.size());
    sink->Append("tail", 4);
    EXPECT_EQ(sink->Position(), 100008u);
  }
  std::string fromFile(100008, '\0');
  EXPECT_EQ(file.CopyTo(fromFile.data(), fromFile.size()), 100008u);  // read back while open
  EXPECT_EQ(fromFile.substr(100000), "bbbbtail");
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(vellora_test::RunTool({"wc", "-c"}, vellora_test::ToolErrors::kJoin,
                                  vellora_test::ReadFile(target.Path()))
                .out,
            "100008\n");
  // After closing, and with the name gone, the file is still read back whole.
  std::filesystem::remove(target.Path());
  std::string again(100008, '\0');
  EXPECT_EQ(file.CopyTo(again.data(), again.size()), 100008u);
  EXPECT_EQ(again, fromFile);
  std::string fromMemory(100008, '\0');
  EXPECT_EQ(memory.CopyTo(fromMemory.data(), fromMemory.size()), 100008u);
  EXPECT_EQ(fromMemory, fromFile);
  EXPECT_EQ(fromFile.substr(0, 4), "head");
  // Both save the same bytes elsewhere.
  vellora_test::TempFile savedFile("", ".pdf"), savedMemory("", ".pdf");
  file.SaveTo(savedFile.Path().string());
  memory.SaveTo(savedMemory.Path().string());
  const std::vector<unsigned char> expected(fromFile.begin(), fromFile.end());
  EXPECT_EQ(vellora_test::ReadFileBytes(savedFile.Path()), expected);
  EXPECT_EQ(vellora_test::ReadFileBytes(savedMemory.Path()), expected);

  try {
    file.OpenFile("/nonexistent-folder/x.pdf");
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Cannot create file /nonexistent-folder/x.pdf");
  }
}

TEST(Encryption, StringsAreEncryptedWithTheirObjectsNumber) {
  TestOwner owner;
  vellora_test::XorCipher cipher;
  owner.writer.SetCipher(&cipher);
  TQVPDFNull spacer(&owner);
  spacer.GetObjectNumber();
  TQVPDFString text(&owner, "AB");
  // The string's number (2) is taken when it is encrypted: every byte ^ 3.
  EXPECT_EQ(text.AsString(), "(BA)");
  ASSERT_EQ(cipher.objects, std::vector<std::int32_t>{2});
  // An encrypted CR is escaped, never left raw.
  EXPECT_EQ(text.EncodeText(u"\u010e"), std::string("\xFD\xFC\x02\\r", 5));
  EXPECT_EQ(text.EncodeUnicodeHex(u"A"), "<fdfc0342>");
  text.SetDoNotEncrypt(true);
  EXPECT_EQ(text.AsString(), "(AB)");
  owner.writer.SetCipher(nullptr);
}

TEST(ReadFromStream, CutsAfterTheFirstDictionary) {
  EXPECT_EQ(FindDictEnd("<< /A << /B 1 >> >> rest"), 19u);
  EXPECT_EQ(FindDictEnd("1 0 obj << /Type /Page >>"), 25u);
  EXPECT_EQ(FindDictEnd("<< /A 1"), 0u);

  struct Recorder : TQVCustomPDFType {
    using TQVCustomPDFType::TQVCustomPDFType;
    void SetAsString(std::string_view text, TQVPDFInputStream* stream) override {
      seen = std::string(text);
      from = stream;
    }
    std::string seen;
    TQVPDFInputStream* from = nullptr;
  };
  const std::string file =
      "%PDF\n5 0 obj\n<< /Kids [3 0 R] /X << /Y 1 >> >>\nendobj" + std::string(5000, ' ');
  TQVPDFMemoryInputStream input({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()});
  Recorder object(nullptr);
  object.ReadFromStream(input, 0);
  EXPECT_EQ(object.seen, "");
  object.ReadFromStream(input, 5);
  EXPECT_EQ(object.seen, "5 0 obj\n<< /Kids [3 0 R] /X << /Y 1 >> >>\n");
  EXPECT_EQ(object.from, &input);
  Recorder nothing(nullptr);
  nothing.ReadFromStream(input, 100);  // only blanks there
  EXPECT_EQ(nothing.seen, "");
}

}  // namespace
}  // namespace vellora
