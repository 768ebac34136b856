// Stream objects: the exact frame, the choice of compression and armour, the filter order,
// input streams and their decoding, and encryption of the data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QVPDFDev/filters/zlib_binding.h"
#include "QVPDFDev/objects/pdf_simple_objects.h"
#include "QVPDFDev/objects/pdf_stream.h"
#include "pdf_test_owner.h"

namespace vellora {
namespace {

using vellora_test::TestOwner;
using Bytes = std::vector<std::uint8_t>;

std::string Written(TestOwner& owner, const std::string& data, TQVPDFStream& stream) {
  owner.Take();
  stream.BeginData();
  stream.WriteString(data);
  stream.WriteStream();
  return owner.Take();
}

// The data between "stream" LF and LF "endstream".
std::string Body(const std::string& object) {
  const std::size_t start = object.find(">>\r\nstream\n") + 11;
  const std::size_t end = object.rfind("\nendstream\r\nendobj\n");
  return object.substr(start, end - start);
}

Bytes Inflate(const std::string& data) { return ZDecompressBuffer(data.data(), data.size(), 0); }

TEST(StreamFrame, EmptyAndPlainStreams) {
  TestOwner owner;
  TQVPDFStream empty(&owner);
  empty.WriteStream();  // no data buffer at all
  EXPECT_EQ(owner.Take(), "1 0 obj\r<</Length 0 >>\r\nstream\n\nendstream\r\nendobj\n");

  TQVPDFStream plain(&owner);
  plain.SetExtraEntries("/Type/XObject");
  plain.SetLength1(1234);
  EXPECT_EQ(Written(owner, "q Q", plain),
            "2 0 obj\r<</Type/XObject/Length 3 /Length1 1234 >>\r\nstream\nq Q\nendstream\r\n"
            "endobj\n");
  EXPECT_FALSE(plain.HasData());
  plain.WriteString("ignored after writing");
  EXPECT_FALSE(plain.HasData());
}

TEST(StreamFrame, FiltersStandInDecodingOrder) {
  TestOwner owner;
  owner.settings.compression = qvCompressFlate;
  owner.settings.armour = qvASCII85Encode;
  TQVPDFStream stream(&owner);
  const std::string data(2000, 'a');
  const std::string object = Written(owner, data, stream);
  const std::string body = Body(object);
  EXPECT_TRUE(object.starts_with("1 0 obj\r<</Length " + std::to_string(body.size()) + "\n/Fi"));
  EXPECT_NE(object.find("\n/Filter [/ASCII85Decode/FlateDecode] >>\r\nstream\n"),
            std::string::npos);
  EXPECT_EQ(stream.FilterList(), "");  // cleared once written

  owner.settings.armour = qvASCIIHexEncode;
  owner.settings.compression = qvCompressRunlength;
  TQVPDFStream hex(&owner);
  EXPECT_NE(Written(owner, data, hex).find("/Filter [/ASCIIHexDecode/RunLengthDecode] >>"),
            std::string::npos);
}

TEST(StreamCompression, LevelBySizeAndMethod) {
  TestOwner owner;
  // The second byte of a zlib header tells the level: 0xDA best, 0x9C default.
  auto levelByte = [&](std::size_t size, TQVCompressStreamMethod method, bool force = false) {
    owner.settings.compression = method;
    TQVPDFStream stream(&owner);
    stream.SetForceCompression(force);
    const std::string body = Body(Written(owner, std::string(size, 'z'), stream));
    EXPECT_EQ(Inflate(body).size(), size);
    return static_cast<unsigned char>(body[1]);
  };
  EXPECT_EQ(levelByte(50000, qvCompressFlate), 0xDA);
  EXPECT_EQ(levelByte(50001, qvCompressFlate), 0x9C);
  EXPECT_EQ(levelByte(100, qvCompressFastFlate), 0x9C);
  EXPECT_EQ(levelByte(100, qvCompressNone, true), 0xDA);

  owner.settings.compression = qvCompressRunlength;
  TQVPDFStream abc(&owner);
  EXPECT_TRUE(Written(owner, "ABC", abc)
                  .ends_with(" 0 obj\r<</Length 3 >>\r\nstream\nABC\nendstream\r\nendobj\n"))
      << "kept: its run-length form is not shorter";
  TQVPDFStream runs(&owner);
  const std::string object = Written(owner, std::string(300, 'x'), runs);
  EXPECT_EQ(Body(object), "\x82x\x82x\xD3x\x80");
  EXPECT_NE(object.find("/Filter [/RunLengthDecode]"), std::string::npos);
}

TEST(StreamCompression, CompressedDataIsNotCompressedAgain) {
  TestOwner owner;
  owner.settings.compression = qvCompressFlate;
  TQVPDFStream stream(&owner);
  stream.BeginData();
  stream.WriteString(std::string(1000, 'q'));
  stream.FlateEncode(3);
  const std::string once(stream.Data().begin(), stream.Data().end());
  stream.WriteStream();
  const std::string object = owner.Take();
  EXPECT_EQ(Body(object), once);
  EXPECT_NE(object.find("/Filter [/FlateDecode] >>"), std::string::npos);

  // JPEG data is never compressed; the armour still applies.
  owner.settings.armour = qvASCIIHexEncode;
  TQVPDFStream jpeg(&owner);
  jpeg.BeginData();
  jpeg.WriteString("\xFF\xD8");
  jpeg.SetDCTFilter(false);
  jpeg.WriteStream();
  EXPECT_NE(
      owner.Take().find("/Length 6\n/Filter [/ASCIIHexDecode/DCTDecode] >>\r\nstream\nffd8>\n\n"),
      std::string::npos);
  EXPECT_THROW(jpeg.SetDCTFilter(true), std::runtime_error);
  EXPECT_THROW(jpeg.SetCCITTFilter(true), std::runtime_error);
}

TEST(StreamData, KindTBeginsPageContent) {
  TestOwner owner;
  TQVPDFStream content(&owner, 'T');
  content.SetContentStarted(true);
  content.BeginData();
  EXPECT_EQ(owner.dirtyCalls, 1);
  EXPECT_FALSE(content.ContentStarted());
  content.WriteWide(u"A\u20ac");
  EXPECT_EQ(content.Data(), (Bytes{'A', 0, 0xAC, 0x20}));
  TQVPDFStream other(&owner, 'X');
  other.BeginData();
  EXPECT_EQ(owner.dirtyCalls, 1);
}

TEST(InputStreams, WrittenAsTheyAreOrDecoded) {
  TestOwner owner;
  owner.settings.compression = qvCompressFlate;
  const std::string text = "BT /F1 12 Tf (input page) Tj ET";
  const Bytes packed = ZCompressBuffer(text.data(), text.size(), 3);

  TQVPDFStream copied(&owner);
  copied.SetData(packed);
  copied.SetInputData(true);
  copied.SetInputFilter("/FlateDecode");
  copied.WriteStream();
  const std::string object = owner.Take();
  EXPECT_TRUE(object.starts_with("1 0 obj\r<</Length " + std::to_string(packed.size()) +
                                 "\n/Filter /FlateDecode >>\r\nstream\n"));
  EXPECT_EQ(Body(object), std::string(packed.begin(), packed.end()));

  // Decoded, then written with the document's own compression.
  TQVPDFStream decoded(&owner);
  decoded.SetData(packed);
  decoded.SetInputData(true);
  decoded.SetInputFilter("/FlateDecode");
  decoded.DecodeFilters();
  EXPECT_EQ(std::string(decoded.Data().begin(), decoded.Data().end()), text);
  EXPECT_FALSE(decoded.IsInputData());
  EXPECT_EQ(decoded.InputFilter(), "");
  decoded.WriteStream();
  const std::string rewritten = owner.Take();
  EXPECT_NE(rewritten.find("/Filter [/FlateDecode]"), std::string::npos);
  const Bytes again = Inflate(Body(rewritten));
  EXPECT_EQ(std::string(again.begin(), again.end()), text);
}

TEST(InputStreams, DecodingChainsAndFailures) {
  TestOwner owner;
  const std::string text = "0 0 m 10 10 l S";
  const Bytes packed = ZCompressBuffer(text.data(), text.size(), 3);
  // ASCIIHex over Flate: decoded in the order of the array.
  std::string hex;
  for (std::uint8_t b : packed) {
    static const char* digits = "0123456789ABCDEF";
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  hex += '>';
  struct Case {
    std::string filter;
    std::string data;
    bool ok;
    std::string rest;
  };
  const Case cases[] = {
      {"[/AHx /Fl]", hex, true, ""},
      {"[ /ASCIIHexDecode/FlateDecode ]", hex, true, ""},
      {"/RunLengthDecode",
       std::string("\x02"
                   "abc\x80",
                   5),
       true, ""},
      {"[/FlateDecode /DCTDecode]", std::string(packed.begin(), packed.end()), true, "/DCTDecode"},
      {"/LZWDecode", "xyz", true, "/LZWDecode"},
      {"/ASCII85Decode", "ab{cd~>", false, ""},
  };
  for (const Case& c : cases) {
    TQVPDFStream stream(&owner);
    stream.SetData(Bytes(c.data.begin(), c.data.end()));
    stream.SetInputData(true);
    stream.SetInputFilter(c.filter);
    if (!c.ok) {
      try {
        stream.DecodeFilters();
        ADD_FAILURE() << c.filter;
      } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Problem in input PDF file");
      }
      continue;
    }
    stream.DecodeFilters();
    EXPECT_EQ(stream.InputFilter(), c.rest) << c.filter;
    EXPECT_EQ(stream.IsInputData(), !c.rest.empty()) << c.filter;
    if (c.rest.empty()) {
      const std::string expected = c.filter == "/RunLengthDecode" ? "abc" : text;
      EXPECT_EQ(std::string(stream.Data().begin(), stream.Data().end()), expected) << c.filter;
    }
  }

  // Data that is no zlib stream decodes to nothing, as a damaged stream's readable part.
  TQVPDFStream damaged(&owner);
  damaged.SetData(Bytes{'n', 'o', 't', ' ', 'z', 'l', 'i', 'b'});
  damaged.SetInputData(true);
  damaged.SetInputFilter("/FlateDecode");
  damaged.DecodeFilters();
  EXPECT_TRUE(damaged.Data().empty());
  EXPECT_FALSE(damaged.IsInputData());

  // A decompression bomb in an input stream stops at the bound.
  const Bytes zeros(4 << 20, 0);
  TQVPDFStream bomb(&owner);
  bomb.SetData(ZCompressBuffer(zeros.data(), zeros.size(), 3));
  bomb.SetInputData(true);
  bomb.SetInputFilter("/FlateDecode");
  EXPECT_THROW(bomb.DecodeFilters(1 << 20), std::runtime_error);
}

TEST(StreamEncryption, DataIsEncryptedWithTheStreamsNumber) {
  TestOwner owner;
  vellora_test::XorCipher cipher;
  owner.writer.SetCipher(&cipher);
  TQVPDFNull first(&owner);
  first.GetObjectNumber();
  TQVPDFStream stream(&owner);
  const std::string object = Written(owner, "ab", stream);
  EXPECT_EQ(Body(object), "ba");  // each byte ^ (2 + 1)
  EXPECT_EQ(cipher.objects, std::vector<std::int32_t>{2});
  TQVPDFStream exempt(&owner);
  exempt.SetDoNotEncrypt(true);
  EXPECT_EQ(Body(Written(owner, "ab", exempt)), "ab");
  owner.writer.SetCipher(nullptr);
}

}  // namespace
}  // namespace vellora
