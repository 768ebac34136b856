// The sample metafile shipped in examples/ (the README's main job converts it): a sound
// enhanced metafile whose records walk cleanly to its end and hold what the sample promises.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "qvplatform/emf_reader.h"
#include "qvplatform/metafile.h"
#include "test_support.h"

namespace qvplatform {
namespace {

TEST(SampleMetafile, WalksCleanlyAndHoldsEveryPromisedRecord) {
  const std::string path = (vellora_test::SourceDir() / "examples" / "sample.emf").string();
  const MetafileLoadResult loaded = LoadMetafileFile(path.c_str());
  ASSERT_EQ(loaded.status, MetafileStatus::kOk) << path;
  ASSERT_EQ(loaded.kind, HandleKind::kEnhMetaFile);
  std::vector<BYTE> bits(GetEnhMetaFileBits(loaded.handle, 0, nullptr));
  GetEnhMetaFileBits(loaded.handle, static_cast<UINT>(bits.size()), bits.data());
  DeleteEnhMetaFile(loaded.handle);
  EXPECT_LT(bits.size(), 8192u);  // kept small in the tree

  EmfHeader header;
  ASSERT_EQ(ReadEmfHeader(bits.data(), bits.size(), header), EmfHeaderStatus::kOk);
  EXPECT_EQ(header.fields.nBytes, bits.size());
  EmfRecordIterator it = RecordsAfterHeader(bits.data(), bits.size(), header);
  EmfRecord record;
  std::set<DWORD> types;
  DWORD count = 1, last = 0;
  bool arial = false, dashedPen = false;
  while (it.Next(record) == EmfNext::kRecord) {
    ++count;
    last = record.Type();
    types.insert(last);
    EXPECT_GE(record.Size(), EmfMinRecordSize(last)) << EmfRecordName(last);
    if (last == EMR_EXTCREATEFONTINDIRECTW) {
      EMREXTCREATEFONTINDIRECTW font;
      ASSERT_TRUE(record.Read(font));
      arial |= std::u16string(font.elfw.lfFaceName) == u"Arial";
    } else if (last == EMR_EXTCREATEPEN) {
      EMREXTCREATEPEN pen;
      ASSERT_TRUE(record.Read(pen));
      dashedPen |= (pen.elp.elpPenStyle & 0xF) == 1;  // PS_DASH
    }
  }
  EXPECT_EQ(it.Error(), EmfRecordError::kNone) << EmfRecordErrorText(it.Error());
  EXPECT_EQ(count, header.fields.nRecords);
  EXPECT_EQ(last, EMR_EOF);
  for (DWORD type : {EMR_RECTANGLE, EMR_ELLIPSE, EMR_ROUNDRECT, EMR_POLYLINE16, EMR_POLYGON16,
                     EMR_INTERSECTCLIPRECT, EMR_GRADIENTFILL, EMR_EXTTEXTOUTW}) {
    EXPECT_TRUE(types.count(type)) << EmfRecordName(type);
  }
  EXPECT_TRUE(arial);
  EXPECT_TRUE(dashedPen);
}

}  // namespace
}  // namespace qvplatform
