// The readable metafiles of the corpus converted encrypted through the entry points, at both
// key strengths, with Flate alone and with ASCII85 armour over it: every document passes
// qpdf --check and gives the text pdftotext finds in the unencrypted one.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine_host.h"
#include "qvplatform/metafile.h"
#include "test_support.h"

namespace vellora_test {
namespace {

namespace fs = std::filesystem;

struct Encryption {
  int security = -1;  // QVPDF_SECURITY_*, -1 for none
  int armour = QVPDF_ENCODE_NONE;
};

// One A4 page with the picture stretched over it, in memory.
std::string Convert(qvplatform::HENHMETAFILE metafile, const Encryption& encryption) {
  const EngineEntries* e = Engine();
  EngineContext c;
  e->SetIProp(c, QVPDF_IPROP_COMPRESS_STREAM_METHOD, QVPDF_COMPRESS_FLATE);
  e->SetIProp(c, QVPDF_IPROP_ENCODE_STREAM_METHOD, encryption.armour);
  e->SetIProp(c, QVPDF_IPROP_MODES, QVPDF_BIT(QVPDF_MODE_CLIP_RECT_SUPPORT));
  if (encryption.security >= 0) {
    e->SetIProp(c, QVPDF_IPROP_ENCRYPTION,
                QVPDF_BIT(QVPDF_ENCRYPT_FILE) | QVPDF_BIT(QVPDF_ENABLE_COPYING));
    e->SetIProp(c, QVPDF_IPROP_SECURITY, encryption.security);
  }
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>("")), 0);
  const TQVPDFPageInit page = PageRecord(595, 842);
  e->InitializePage(c, 0, &page);
  e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr);
  TQVPDFCommand place{};
  place.Width = 595;
  place.Height = 842;
  place.Arg1 = place.Arg2 = 72;
  e->Do(c, QVPDF_CMD_DRAW_METAFILE, static_cast<int>(metafile), &place);
  e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
  return DocumentBytes(c);
}

void ConvertCorpusEncrypted(int security) {
  const fs::path corpus = CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  if (!HaveTool("qpdf") || !HaveTool("pdftotext")) GTEST_SKIP() << "qpdf or poppler missing";
  ASSERT_NE(Engine(), nullptr);
  int converted = 0;
  for (const fs::path& file : FilesBelow(corpus / "emf")) {
    const qvplatform::MetafileLoadResult r = qvplatform::LoadMetafileFile(file.c_str());
    if (r.status != qvplatform::MetafileStatus::kOk) continue;
    if (r.kind != qvplatform::HandleKind::kEnhMetaFile) {
      qvplatform::DeleteMetaFile(r.handle);
      continue;
    }
    SCOPED_TRACE(file.string());
    const std::string plainText = PdfToText(Convert(r.handle, {})).out;
    for (const int armour : {QVPDF_ENCODE_NONE, QVPDF_ENCODE_ASCII85}) {
      SCOPED_TRACE(armour == QVPDF_ENCODE_NONE ? "Flate" : "Flate and ASCII85");
      const std::string pdf = Convert(r.handle, {security, armour});
      ASSERT_NE(pdf.find("/Encrypt "), std::string::npos);
      EXPECT_EQ(QpdfProblems(pdf), "");
      const ToolResult text = PdfToText(pdf);
      EXPECT_TRUE(text.Succeeded());
      EXPECT_EQ(text.out, plainText);
    }
    qvplatform::DeleteEnhMetaFile(r.handle);
    ++converted;
  }
  EXPECT_GT(converted, 0);
}

TEST(EncryptionCorpus, FortyBitKeys) { ConvertCorpusEncrypted(QVPDF_SECURITY_40BIT); }
TEST(EncryptionCorpus, OneHundredTwentyEightBitKeys) {
  ConvertCorpusEncrypted(QVPDF_SECURITY_128BIT);
}

}  // namespace
}  // namespace vellora_test
