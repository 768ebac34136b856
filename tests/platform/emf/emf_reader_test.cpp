// The record view, the iterator and the header check against records written byte by byte
// (Le32), independently of the structs they are read into.
#include "qvplatform/emf_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "emf_builder.h"

namespace vellora_test {
namespace {

std::vector<BYTE> Cat(std::initializer_list<std::vector<BYTE>> parts) {
  std::vector<BYTE> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// EMR_POLYLINE with bounds (1, 2, 30, 40) and two points.
std::vector<BYTE> PolylineBytes() { return Le32({4, 44, 1, 2, 30, 40, 2, 1, 2, 30, 40}); }

TEST(EmfRecord, ReadsFixedPartAtAnyAlignment) {
  for (std::size_t shift : {0u, 1u, 2u, 3u}) {
    std::vector<BYTE> storage(shift, 0xEE);
    const std::vector<BYTE> bytes = PolylineBytes();
    storage.insert(storage.end(), bytes.begin(), bytes.end());
    const EmfRecord rec = EmfRecord::FromBytes(storage.data() + shift, bytes.size());
    ASSERT_TRUE(rec.Valid());
    EXPECT_EQ(rec.Type(), EMR_POLYLINE);
    EMRPOLYLINE fixed;
    ASSERT_TRUE(rec.Read(fixed));
    EXPECT_EQ(fixed.rclBounds.right, 30);
    EXPECT_EQ(fixed.cptl, 2u);
    const EmfArray<POINTL> pts = rec.Array<POINTL>(sizeof(fixed), fixed.cptl);
    ASSERT_TRUE(pts.Valid());
    EXPECT_EQ(pts[1].x, 30);
    EXPECT_EQ(pts[1].y, 40);
    EXPECT_EQ(pts.Aligned() != nullptr, shift == 0) << shift;
  }
}

TEST(EmfRecord, ShortRecordFailsFixedReadAndZeroes) {
  const std::vector<BYTE> bytes = Le32({4, 20, 1, 2, 3});  // too short for EMRPOLYLINE (28)
  const EmfRecord rec = EmfRecord::FromBytes(bytes.data(), bytes.size());
  ASSERT_TRUE(rec.Valid());
  EMRPOLYLINE fixed;
  fixed.cptl = 99;
  EXPECT_FALSE(rec.Read(fixed));
  EXPECT_EQ(fixed.cptl, 0u);
  EXPECT_EQ(fixed.rclBounds.left, 0);
  EMRSELECTOBJECT select;  // 12 bytes fit
  EXPECT_TRUE(rec.Read(select));
  EXPECT_EQ(select.ihObject, 1u);
}

TEST(EmfRecord, ArraysAreCheckedAgainstTheRecordIn64Bits) {
  const std::vector<BYTE> bytes = Cat({Le32({70, 64}), std::vector<BYTE>(56, 0)});
  const EmfRecord rec = EmfRecord::FromBytes(bytes.data(), bytes.size());
  struct Case {
    std::uint64_t offset, count, minOffset;
    bool valid;
  };
  const Case cases[] = {
      {12, 13, 0, true},                   // 12 + 13 * 4 = 64: ends exactly at the end
      {12, 14, 0, false},                  // one element past the end
      {64, 0, 0, true},                    // empty at the end
      {1000, 0, 0, true},                  // empty arrays are never read
      {65, 1, 0, false},                   // offset past the end
      {8, 0xFFFFFFFF, 0, false},           // a count whose byte size overflows 32 bits
      {0xFFFFFFFC, 1, 0, false},           // an offset that wraps in 32 bits
      {0xFFFFFFFFFFFFFFF0u, 4, 0, false},  // and one that would wrap in 64 bits
      {0, 2, 12, false},                   // inside the fixed part
      {12, 2, 12, true},
  };
  for (const Case& c : cases) {
    const EmfArray<DWORD> a = rec.Array<DWORD>(c.offset, c.count, c.minOffset);
    EXPECT_EQ(a.Valid(), c.valid) << c.offset << " " << c.count;
    if (!c.valid) {
      EXPECT_TRUE(a.Empty());
    }
  }
  EXPECT_TRUE(rec.Holds(0, 64, 1));
  EXPECT_FALSE(rec.Holds(0, 65, 1));
  EXPECT_FALSE(rec.Holds(4, 0xFFFFFFFF, 0xFFFFFFFF));
}

TEST(EmfRecordIterator, WalksRecordsToTheEnd) {
  const std::vector<BYTE> bytes = Cat({Le32({33, 8}), PolylineBytes(), Le32({14, 20, 0, 16, 20})});
  EmfRecordIterator it(bytes.data(), bytes.size(), 0);
  EmfRecord rec;
  std::vector<DWORD> types;
  while (it.Next(rec) == EmfNext::kRecord) types.push_back(rec.Type());
  EXPECT_EQ(types, (std::vector<DWORD>{EMR_SAVEDC, EMR_POLYLINE, EMR_EOF}));
  EXPECT_EQ(it.Error(), EmfRecordError::kNone);
  EXPECT_EQ(it.Offset(), bytes.size());
  EXPECT_EQ(it.Next(rec), EmfNext::kEnd);
}

TEST(EmfRecordIterator, StopsAtARecordThatCannotBeWalked) {
  struct Case {
    const char* name;
    std::vector<BYTE> bad;
    EmfRecordError error;
  };
  const Case cases[] = {
      {"size 0 would never advance", Le32({27, 0, 1, 2}), EmfRecordError::kSizeTooSmall},
      {"size 4 is inside the head", Le32({27, 4, 1, 2}), EmfRecordError::kSizeTooSmall},
      {"size not a multiple of 4", Le32({27, 14, 1, 2}), EmfRecordError::kSizeUnaligned},
      {"size beyond the data", Le32({27, 20, 1, 2}), EmfRecordError::kSizeBeyondData},
      {"huge size", Le32({27, 0xFFFFFFFC, 1, 2}), EmfRecordError::kSizeBeyondData},
      {"4 bytes left", Le32({27}), EmfRecordError::kTruncatedHead},
  };
  for (const Case& c : cases) {
    const std::vector<BYTE> good = Le32({27, 16, 5, 6});
    const std::vector<BYTE> bytes = Cat({good, c.bad});
    EmfRecordIterator it(bytes.data(), bytes.size(), 0);
    EmfRecord rec;
    ASSERT_EQ(it.Next(rec), EmfNext::kRecord) << c.name;
    EXPECT_EQ(rec.Size(), 16u);
    EXPECT_EQ(it.Next(rec), EmfNext::kError) << c.name;
    EXPECT_EQ(it.Error(), c.error) << c.name;
    EXPECT_EQ(it.Offset(), good.size()) << c.name;
    EXPECT_EQ(it.Next(rec), EmfNext::kError) << c.name << ": the error stays";
    EXPECT_FALSE(EmfRecord::FromBytes(c.bad.data(), c.bad.size()).Valid()) << c.name;
  }
}

TEST(EmfRecordIterator, CopiesWalkIndependently) {
  const std::vector<BYTE> bytes = Cat({Le32({33, 8}), Le32({34, 12, 0xFFFFFFFF}), Le32({14, 8})});
  EmfRecordIterator it(bytes.data(), bytes.size(), 0);
  EmfRecord rec;
  ASSERT_EQ(it.Next(rec), EmfNext::kRecord);
  EmfRecordIterator ahead = it;
  while (ahead.Next(rec) == EmfNext::kRecord) {
  }
  ASSERT_EQ(it.Next(rec), EmfNext::kRecord);
  EXPECT_EQ(rec.Type(), EMR_RESTOREDC);
}

// A header of nSize bytes: the 88 bytes of fields, then zeros.
std::vector<BYTE> HeaderBytes(DWORD type, DWORD nSize, DWORD signature, std::size_t length) {
  std::vector<BYTE> h = Le32({type,    nSize, 0, 0, 99, 99, 0, 0,   2645, 2645, signature,
                              0x10000, 0,     1, 1, 0,  0,  0, 960, 960,  254,  254});
  h.resize(length, 0);
  return h;
}

TEST(EmfHeader, RejectsWhatIsNotAnEnhancedMetafile) {
  struct Case {
    const char* name;
    std::vector<BYTE> bytes;
    EmfHeaderStatus status;
  };
  const Case cases[] = {
      {"empty", {}, EmfHeaderStatus::kTooShort},
      {"7 bytes", std::vector<BYTE>(7, 0), EmfHeaderStatus::kTooShort},
      {"type 2", HeaderBytes(2, 88, ENHMETA_SIGNATURE, 88), EmfHeaderStatus::kNotEnhanced},
      {"signature", HeaderBytes(1, 88, 0x464D4521, 88), EmfHeaderStatus::kNotEnhanced},
      {"nSize past the data", HeaderBytes(1, 108, ENHMETA_SIGNATURE, 100),
       EmfHeaderStatus::kSizeBeyondData},
      {"only the head", HeaderBytes(1, 88, ENHMETA_SIGNATURE, 8), EmfHeaderStatus::kSizeBeyondData},
      {"nSize below the fields", HeaderBytes(1, 84, ENHMETA_SIGNATURE, 88),
       EmfHeaderStatus::kBadSize},
      {"nSize unaligned", HeaderBytes(1, 90, ENHMETA_SIGNATURE, 92), EmfHeaderStatus::kBadSize},
      {"nSize 0", HeaderBytes(1, 0, ENHMETA_SIGNATURE, 88), EmfHeaderStatus::kBadSize},
  };
  for (const Case& c : cases) {
    EmfHeader header;
    header.fields.nRecords = 7;
    EXPECT_EQ(ReadEmfHeader(c.bytes.data(), c.bytes.size(), header), c.status) << c.name;
    EXPECT_EQ(header.fields.nRecords, 0u) << c.name;
  }
  EmfHeader header;
  EXPECT_EQ(ReadEmfHeader(nullptr, 100, header), EmfHeaderStatus::kTooShort);
}

TEST(EmfHeader, ReadsExtensionsOnlyWhereTheHeaderHoldsThem) {
  struct Case {
    DWORD nSize, offDescription, nDescription;
    bool pixelFormat, micrometers;
  };
  const Case cases[] = {
      {88, 0, 0, false, false},    {100, 0, 0, true, false},
      {108, 0, 0, true, true},     {128, 108, 10, true, true},  // description after the extensions
      {148, 88, 30, false, false},  // description right after the 88 bytes of fields
      {112, 100, 6, true, false},
  };
  for (const Case& c : cases) {
    std::vector<BYTE> bytes = HeaderBytes(1, c.nSize, ENHMETA_SIGNATURE, c.nSize);
    const std::vector<BYTE> desc = Le32({c.nDescription, c.offDescription});
    std::copy(desc.begin(), desc.end(), bytes.begin() + 60);
    if (c.nSize >= 108) {
      const std::vector<BYTE> micro = Le32({254000, 254000});
      if (c.offDescription == 0 || c.offDescription >= 108)
        std::copy(micro.begin(), micro.end(), bytes.begin() + 100);
    }
    EmfHeader header;
    ASSERT_EQ(ReadEmfHeader(bytes.data(), bytes.size(), header), EmfHeaderStatus::kOk) << c.nSize;
    EXPECT_EQ(header.hasPixelFormat, c.pixelFormat) << c.nSize;
    EXPECT_EQ(header.hasMicrometers, c.micrometers) << c.nSize;
    EXPECT_EQ(header.fields.szlMicrometers.cx, c.micrometers ? 254000 : 0) << c.nSize;
    EXPECT_EQ(header.fields.szlMillimeters.cx, 254);
    EXPECT_EQ(EmfHeaderDescription(bytes.data(), header).Count(), c.nDescription) << c.nSize;
    EXPECT_EQ(RecordsAfterHeader(bytes.data(), bytes.size(), header).Offset(), c.nSize);
  }
}

TEST(EmfHeader, DescriptionPastTheHeaderIsInvalid) {
  std::vector<BYTE> bytes = HeaderBytes(1, 108, ENHMETA_SIGNATURE, 108);
  const std::vector<BYTE> desc = Le32({20, 100});  // 40 bytes from 100: past 108
  std::copy(desc.begin(), desc.end(), bytes.begin() + 60);
  EmfHeader header;
  ASSERT_EQ(ReadEmfHeader(bytes.data(), bytes.size(), header), EmfHeaderStatus::kOk);
  EXPECT_FALSE(EmfHeaderDescription(bytes.data(), header).Valid());
}

}  // namespace
}  // namespace vellora_test
