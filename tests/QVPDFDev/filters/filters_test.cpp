// The stream filters on their own: exact forms where they are prescribed, round trips
// through independent decoders (Python's zlib and base64, a decoder of the test's own for
// run length), and damaged input.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstddef>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "QVPDFDev/filters/ascii_armour.h"
#include "QVPDFDev/filters/run_length_filter.h"
#include "QVPDFDev/filters/zlib_binding.h"
#include "pdf_test_owner.h"

namespace vellora {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }
std::string S(const Bytes& b) { return std::string(b.begin(), b.end()); }

Bytes RandomBytes(std::size_t n, unsigned seed, unsigned alphabet = 256) {
  std::mt19937 random(seed);
  Bytes out(n);
  for (auto& b : out) b = static_cast<std::uint8_t>(random() % alphabet);
  return out;
}

// Decodes with Python; "" when Python is absent or fails.
std::string PythonDecode(const char* expression, const Bytes& data) {
  vellora_test::TempFile file(S(data), ".bin");
  const std::string program = std::string(
                                  "import sys, zlib, base64; d = open(sys.argv[1], 'rb').read(); "
                                  "sys.stdout.buffer.write(") +
                              expression + ")";
  return vellora_test::RunTool({"python3", "-c", program, file.Path().string()},
                               vellora_test::ToolErrors::kDrop)
      .out;
}

// A strict run-length decoder of the test's own: a length byte of 128 before the end of
// the data is an error, and so is a run cut off.
bool StrictRunLengthDecode(const Bytes& in, Bytes& out) {
  out.clear();
  std::size_t i = 0;
  while (i < in.size()) {
    const int n = in[i++];
    if (n == 128) return i == in.size();
    if (n < 128) {
      if (in.size() - i < static_cast<std::size_t>(n) + 1) return false;
      out.insert(out.end(), in.begin() + static_cast<long>(i),
                 in.begin() + static_cast<long>(i) + n + 1);
      i += static_cast<std::size_t>(n) + 1;
    } else {
      if (i >= in.size()) return false;
      out.insert(out.end(), static_cast<std::size_t>(257 - n), in[i++]);
    }
  }
  return false;  // no end marker
}

TEST(RunLengthFilter, EncodesThePrescribedExamples) {
  EXPECT_EQ(RunLengthEncodeBytes(nullptr, 0), Bytes{});
  const Bytes abc = B("ABC");
  EXPECT_EQ(RunLengthEncodeBytes(abc.data(), abc.size()), (Bytes{2, 'A', 'B', 'C', 128}));
  const Bytes equal(300, 'x');
  EXPECT_EQ(RunLengthEncodeBytes(equal.data(), equal.size()),
            (Bytes{130, 'x', 130, 'x', 211, 'x', 128}));
}

TEST(RunLengthFilter, RoundTripsThroughAStrictDecoder) {
  std::vector<Bytes> cases = {
      B("AAB"),
      B("ABB"),
      B("A"),
      B("AA"),
      B("ABBA"),
      B("ABBCCDDE"),
      Bytes(127, 7),
      Bytes(128, 7),
      Bytes(129, 7),
      Bytes(254, 7),
      Bytes(255, 7),
      RandomBytes(128, 1),      // exactly one full literal run
      RandomBytes(129, 2),      // a literal run of 128 and one more byte
      RandomBytes(5000, 3, 3),  // short runs everywhere
      RandomBytes(5000, 4),
  };
  Bytes literalThenRun = RandomBytes(128, 5);
  literalThenRun.insert(literalThenRun.end(), 10, 0xEE);
  cases.push_back(literalThenRun);
  Bytes runThenLiteral(10, 0xEE);
  const Bytes tail = RandomBytes(300, 6);
  runThenLiteral.insert(runThenLiteral.end(), tail.begin(), tail.end());
  cases.push_back(runThenLiteral);

  for (const Bytes& input : cases) {
    const Bytes encoded = RunLengthEncodeBytes(input.data(), input.size());
    Bytes decoded;
    ASSERT_TRUE(StrictRunLengthDecode(encoded, decoded)) << "size " << input.size();
    EXPECT_EQ(decoded, input) << "size " << input.size();
    EXPECT_EQ(RunLengthDecodeBytes(encoded.data(), encoded.size(), 1 << 20), input);
  }
  const Bytes aab = B("AAB");
  EXPECT_EQ(RunLengthEncodeBytes(aab.data(), aab.size()), (Bytes{255, 'A', 0, 'B', 128}));
}

TEST(RunLengthFilter, DecodingRejectsDamagedData) {
  const Bytes cutLiteral = {5, 'a', 'b'};
  const Bytes cutRepeat = {200};
  const Bytes bomb = {129, 0, 129, 0, 129, 0};  // 384 bytes
  EXPECT_THROW(RunLengthDecodeBytes(cutLiteral.data(), cutLiteral.size(), 100), std::runtime_error);
  EXPECT_THROW(RunLengthDecodeBytes(cutRepeat.data(), cutRepeat.size(), 100), std::runtime_error);
  EXPECT_THROW(RunLengthDecodeBytes(bomb.data(), bomb.size(), 300), std::runtime_error);
  EXPECT_EQ(RunLengthDecodeBytes(bomb.data(), bomb.size(), 384).size(), 384u);
}

TEST(ASCII85Filter, EncodesThePrescribedForms) {
  const Bytes zeros(4, 0);
  EXPECT_EQ(S(ASCII85EncodeBytes(zeros.data(), zeros.size())), "z~>\n");
  EXPECT_EQ(S(ASCII85EncodeBytes(nullptr, 0)), "~>\n");
  // A final partial group of zeros is never "z".
  const Bytes three(3, 0);
  EXPECT_EQ(S(ASCII85EncodeBytes(three.data(), three.size())), "!!!!~>\n");
  // Lines of 80 characters.
  const Bytes data = RandomBytes(400, 7);
  const std::string text = S(ASCII85EncodeBytes(data.data(), data.size()));
  std::size_t start = 0, end;
  while ((end = text.find('\n', start)) != std::string::npos && end + 1 < text.size()) {
    EXPECT_EQ(end - start, 80u);
    start = end + 1;
  }
}

TEST(ASCII85Filter, RoundTripsThroughPython) {
  if (!vellora_test::HaveTool("python3")) GTEST_SKIP() << "python3 missing";
  for (std::size_t size : {0u, 1u, 2u, 3u, 4u, 5u, 7u, 8u, 9u, 1000u, 4099u}) {
    Bytes data = RandomBytes(size, static_cast<unsigned>(size) + 11);
    if (size >= 8) std::memset(data.data() + 4, 0, 4);  // one "z" group
    const Bytes encoded = ASCII85EncodeBytes(data.data(), data.size());
    EXPECT_EQ(PythonDecode("base64.a85decode(d.rstrip(b'\\n'), adobe=True)", encoded), S(data))
        << "size " << size;
    EXPECT_EQ(ASCII85DecodeBytes(encoded.data(), encoded.size(), 1 << 20), data);
  }
}

TEST(ASCII85Filter, DecodingRejectsDamagedData) {
  struct Case {
    const char* text;
    bool ok;
    const char* bytes;
  };
  const Case cases[] = {
      {"s8W-!~>", true, "\xFF\xFF\xFF\xFF"},  // 2^32 - 1
      {"s8W-\"~>", false, ""},                // 2^32: above the range
      {"uuuuu~>", false, ""},
      {"!!z!!!~>", false, ""},  // "z" inside a group
      {"!!v!!~>", false, ""},
      {"!~>", false, ""},  // a final group of one character
      {"!~x", false, ""},
      {" 8 7\n\tcW~>", true, "Hem"},
      {"87cURD]i,\"Ebo80~>", true, "Hello World!"},
      {"z", true, "\0\0\0\0"},  // the end of the data ends it too
  };
  for (const Case& c : cases) {
    const Bytes in = B(c.text);
    if (c.ok) {
      const std::string expected(c.bytes,
                                 std::string_view(c.text) == "z" ? 4 : std::strlen(c.bytes));
      EXPECT_EQ(S(ASCII85DecodeBytes(in.data(), in.size(), 100)), expected) << c.text;
    } else {
      EXPECT_THROW(ASCII85DecodeBytes(in.data(), in.size(), 100), std::runtime_error) << c.text;
    }
  }
  const Bytes many = B("zzzz~>");
  EXPECT_THROW(ASCII85DecodeBytes(many.data(), many.size(), 15), std::runtime_error);
}

TEST(ASCIIHexFilter, EncodesAndDecodes) {
  const Bytes data = RandomBytes(41, 8);
  const std::string text = S(ASCIIHexEncodeBytes(data.data(), data.size()));
  ASSERT_EQ(text.size(), 80u + 1 + 2 + 2);
  EXPECT_EQ(text[80], '\n');
  EXPECT_EQ(text.substr(83), ">\n");
  EXPECT_EQ(text.find_first_of("ABCDEF"), std::string::npos);
  const Bytes encoded = B(text);
  EXPECT_EQ(ASCIIHexDecodeBytes(encoded.data(), encoded.size()), data);

  const Bytes odd = B(" 0A ff\n7>99");
  EXPECT_EQ(ASCIIHexDecodeBytes(odd.data(), odd.size()), (Bytes{0x0A, 0xFF, 0x70}));
  const Bytes bad = B("0g>");
  EXPECT_THROW(ASCIIHexDecodeBytes(bad.data(), bad.size()), std::runtime_error);
}

TEST(ZlibBinding, LevelsByIndex) {
  const int expected[] = {-1, 0, 1, -1, 9, -1};
  for (int index = -1; index <= 4; ++index)
    EXPECT_EQ(ZCompressionLevels(index), expected[index + 1]) << index;
}

TEST(ZlibBinding, CompressesForPythonAndBack) {
  for (std::size_t size : {0u, 1u, 50000u, 300000u}) {
    const Bytes data = RandomBytes(size, 9, 16);
    for (int level = 0; level <= 3; ++level) {
      const Bytes packed = ZCompressBuffer(data.data(), data.size(), level);
      EXPECT_EQ(ZDecompressBuffer(packed.data(), packed.size(), 0), data);
      if (level == 3 && vellora_test::HaveTool("python3")) {
        EXPECT_EQ(PythonDecode("zlib.decompress(d)", packed), S(data)) << size;
      }
    }
  }
}

Bytes ZlibCompress(const Bytes& data, int level) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  Bytes out(size);
  compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), level);
  out.resize(size);
  return out;
}

// Page content as the writer makes it: operators and numbers, repeating with variations.
Bytes PageContentLike(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::string text;
  while (text.size() < n) {
    text += std::to_string(random() % 6000) + "." + std::to_string(random() % 100) + " " +
            std::to_string(random() % 8000) + (random() % 3 == 0 ? " m\r\n" : " l\r\n");
    if (random() % 17 == 0) text += "S\r\nq 0.5 0 0 0.5 0 0 cm /F1 12 Tf (Hello) Tj Q\r\n";
  }
  text.resize(n);
  return B(text);
}

TEST(ZlibBinding, NoLevelComesOutLargerThanZlibAtTheSameLevel) {
  const Bytes inputs[] = {PageContentLike(40, 1),         PageContentLike(700, 2),
                          PageContentLike(50000, 3),      PageContentLike(400000, 4),
                          RandomBytes(3000, 5, 16),       RandomBytes(200000, 6, 40),
                          Bytes(100000, std::uint8_t{7}), Bytes{}};
  for (int index = 0; index <= 3; ++index) {
    for (const Bytes& data : inputs) {
      const Bytes ours = ZCompressBuffer(data.data(), data.size(), index);
      EXPECT_LE(ours.size(), ZlibCompress(data, ZCompressionLevels(index)).size())
          << "index " << index << ", " << data.size() << " bytes";
      EXPECT_EQ(ZDecompressBuffer(ours.data(), ours.size(), 0), data);
    }
  }
}

Bytes DeflateWithDictionary(const Bytes& data, const Bytes& dictionary) {
  z_stream s{};
  deflateInit(&s, 9);
  deflateSetDictionary(&s, dictionary.data(), static_cast<uInt>(dictionary.size()));
  Bytes out(deflateBound(&s, data.size()));
  s.next_in = const_cast<Bytef*>(data.data());
  s.avail_in = static_cast<uInt>(data.size());
  s.next_out = out.data();
  s.avail_out = static_cast<uInt>(out.size());
  deflate(&s, Z_FINISH);
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

TEST(ZlibBinding, DamagedDataGivesWhatWasDecodedBeforeTheDamage) {
  const Bytes data = RandomBytes(20000, 10, 4);
  const Bytes packed = ZCompressBuffer(data.data(), data.size(), 3);
  const auto isStartOfData = [&](const Bytes& got) {
    return got.size() <= data.size() && std::equal(got.begin(), got.end(), data.begin());
  };

  const Bytes truncated(packed.begin(), packed.begin() + static_cast<long>(packed.size() / 2));
  const Bytes half = ZDecompressBuffer(truncated.data(), truncated.size(), 0);
  EXPECT_GT(half.size(), data.size() / 4);
  EXPECT_LT(half.size(), data.size());
  EXPECT_TRUE(isStartOfData(half));
  // Everything but the checksum: all the data (streams of damaged files often lack it).
  const Bytes noChecksum(packed.begin(), packed.end() - 4);
  EXPECT_EQ(ZDecompressBuffer(noChecksum.data(), noChecksum.size(), 0), data);
  Bytes corruptTail = packed;
  for (std::size_t i = packed.size() * 3 / 4; i < packed.size(); ++i) corruptTail[i] ^= 0x5A;
  // What inflate gave before it saw the damage may end in a few wrong bytes; what the intact
  // part of the stream holds comes through.
  const Bytes beforeDamage = ZDecompressBuffer(corruptTail.data(), corruptTail.size(), 0);
  ASSERT_GT(beforeDamage.size(), data.size() / 2);
  EXPECT_TRUE(isStartOfData(Bytes(
      beforeDamage.begin(), beforeDamage.begin() + static_cast<std::ptrdiff_t>(data.size() / 2))));
  // Nothing to decode: nothing, without an error.
  Bytes corrupt = packed;
  corrupt[0] = 0x12;  // not a zlib header
  EXPECT_TRUE(ZDecompressBuffer(corrupt.data(), corrupt.size(), 0).empty());
  const Bytes withDictionary = DeflateWithDictionary(data, B("a preset dictionary"));
  EXPECT_TRUE(ZDecompressBuffer(withDictionary.data(), withDictionary.size(), 0).empty());
  EXPECT_TRUE(ZDecompressBuffer(nullptr, 0, 0).empty());

  // Bytes after the end of the zlib stream (a line end before "endstream") are ignored.
  Bytes trailing = packed;
  trailing.push_back('\r');
  trailing.push_back('\n');
  EXPECT_EQ(ZDecompressBuffer(trailing.data(), trailing.size(), 1), data);
}

TEST(ZlibBinding, DecompressionIsBounded) {
  const Bytes zeros(10 << 20, 0);
  const Bytes bomb = ZCompressBuffer(zeros.data(), zeros.size(), 3);
  ASSERT_LT(bomb.size(), 20000u);
  EXPECT_THROW(ZDecompressBuffer(bomb.data(), bomb.size(), 0, 1 << 20), EZDecompressionError);
  EXPECT_THROW(ZDecompressBuffer(bomb.data(), bomb.size(), 0, zeros.size() - 1),
               EZDecompressionError);
  // Output of exactly the limit is fine, whatever the estimate.
  EXPECT_EQ(ZDecompressBuffer(bomb.data(), bomb.size(), 0, zeros.size()).size(), zeros.size());
  EXPECT_EQ(ZDecompressBuffer(bomb.data(), bomb.size(), SIZE_MAX, zeros.size()).size(),
            zeros.size());
}

}  // namespace
}  // namespace vellora
