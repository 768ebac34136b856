// Encrypted documents of the PDF device as qpdf and poppler read them: each key strength with
// user and owner passwords, with only an owner password and with none; the document key that
// qpdf derives; the permissions of each option set; everything given back by decryption
// (text, information, XMP, outline, links, destinations, attachments); nothing readable in
// the file itself; PDF/A, which is never encrypted; and a document that cannot get the
// random bytes it needs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "QVPDFDev/security/encrypt_info.h"
#include "attachment_record_builder.h"
#include "emf_builder.h"
#include "font_test_env.h"
#include "pdf_device_test_util.h"
#include "qvplatform/emf_record_types.h"

namespace vellora {
namespace {

using vellora_test::DocumentBytes;
using vellora_test::FixedDocumentEnvironment;
using vellora_test::HaveTool;
using vellora_test::QpdfJsonQuery;
using vellora_test::QpdfProblems;
using vellora_test::RecordingDevice;
using vellora_test::RunTool;
using vellora_test::TempDir;
using vellora_test::TempFile;
using vellora_test::ToolErrors;
using vellora_test::ToolResult;

constexpr char kTitle[] = "Quarterly Zebra Report";
constexpr char kAuthor[] = "Ann Author";
// "Kapitel Ωμέγα" in UTF-8, the outline charset of the document.
constexpr char kOutlineTitle[] = "Kapitel \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1";
constexpr char kUri[] = "http://example.com/zebra-target";
constexpr char kDestName[] = "ZebraIntro";
constexpr char kAttachmentBody[] = "Attachment body: zebra stripes\n";

struct Protection {
  std::uint8_t level = kSecurity40Bit;
  std::string owner, user;
};

struct Written {
  std::string pdf;
  std::string key;  // the document key as lower-case hex, empty when not encrypted
};

std::string HexOf(std::span<const std::uint8_t> bytes) {
  const std::string h = TQVPDFFileWriter::HexString(bytes.data(), bytes.size());
  return h.substr(1, h.size() - 2);
}

// One page of played text with a link over it, an outline entry with a non-Latin title, a
// named destination and an attachment; information and XMP from the information block.
Written RichDocument(const Protection* protection,
                     TQVCompressStreamMethod compression = qvCompressFlate,
                     TQVEncodeStreamMethod armour = qvEncodeNone) {
  RecordingDevice d;
  d.options.info.SetText(TQVInfoText::title, kTitle);
  d.options.info.SetText(TQVInfoText::author, kAuthor);
  d.options.text.outlineCharset = 65001;
  d.options.writer.compression = compression;
  d.options.writer.armour = armour;
  if (protection != nullptr) {
    d.options.security.SetEncryption(kEncryptFile | kEnablePrinting | kEnableCopying);
    d.options.security.SetSecurityLevel(protection->level);
    d.options.security.SetOwnerPassword(protection->owner);
    d.options.security.SetUserPassword(protection->user);
  }
  Written written;
  d.BeginDoc(576, 800, 72, 0);
  if (d.EncryptionObject() != nullptr) written.key = HexOf(d.EncryptionObject()->DocumentKey());
  d.BeginPage(600, 400, 72, 72, 0);

  vellora_test::EmfBuilder b = vellora_test::PointPicture(600, 400);
  b.SetHandles(2);
  b.Append(qvplatform::EMR_SETTEXTALIGN, {24});  // baseline
  b.CreateFont(1, vellora_test::EmfBuilder::Font(u"Arial", -20));
  b.SelectObject(1);
  b.ExtTextOutW(40, 60, u"Striped words on the page");
  b.ExtTextOutW(40, 120, u"Caf\u00E9 \u0141\u00F3d\u017A");
  b.Eof();
  const std::vector<std::uint8_t> emf = b.Bytes();
  d.PlayMetafile(emf.data(), emf.size(), 0, 0, 0, 0, false, 0, 0);

  d.AddLinkArea(40, 40, 200, 25, kUri, "");
  d.AddNamedDest(kDestName, 0, 100, true);
  TQVOutlineTarget target;
  target.destName = kDestName;
  d.AddOutline(d.CreateOutlineNode(kOutlineTitle, target), 0, 0);
  const std::vector<std::uint8_t> record = vellora_test::BuildAttachmentRecord(
      vellora_test::Record("zebra.txt", {vellora_test::Body(kAttachmentBody)}));
  d.AddFileAttachment({300, 200, 330, 240}, record.data(), false, record.size());
  d.EndPage();
  d.EndDoc();
  written.pdf = DocumentBytes(d);
  return written;
}

// qpdf with the arguments, then the file.
ToolResult Qpdf(const std::string& pdf, std::vector<std::string> args) {
  const TempFile file(pdf);
  args.insert(args.begin(), "qpdf");
  args.push_back(file.Path().string());
  return RunTool(args);
}

ToolResult PdfToText(const std::string& pdf, const std::vector<std::string>& options = {}) {
  return vellora_test::PdfToText(pdf, options);
}

// The fields of qpdf's --json --json-key=encrypt that a case decides, on one line.
std::string EncryptJson(const std::string& pdf, const std::string& password) {
  const ToolResult json = Qpdf(pdf, {"--json", "--json-key=encrypt", "--password=" + password});
  const char* script = R"(
import json, sys
e = json.load(sys.stdin)['encrypt']
p = e['parameters']
caps = ' '.join(k for k, v in sorted(e['capabilities'].items()) if v)
print(e['encrypted'], e['userpasswordmatched'], e['ownerpasswordmatched'], p['P'], p['R'],
      p['V'], p['bits'], p['method'], caps, sep='|')
)";
  return RunTool({"python3", "-c", script}, ToolErrors::kJoin, json.out).out;
}

bool HaveReaders() {
  return HaveTool("qpdf") && HaveTool("python3") && HaveTool("pdftotext") && HaveTool("pdfinfo") &&
         HaveTool("pdfdetach");
}

TEST(PDFDeviceEncryption, OpensWithItsPasswordsAtBothStrengths) {
  REQUIRE_TEST_FONTS();
  if (!HaveReaders()) GTEST_SKIP() << "qpdf, python3 or poppler missing";
  FixedDocumentEnvironment fixed;
  const std::string plainText = PdfToText(RichDocument(nullptr).pdf).out;
  ASSERT_NE(plainText.find("Striped words on the page"), std::string::npos) << plainText;

  const struct {
    Protection protection;
    const char* bits;  // R|V|bits as qpdf reports them
  } cases[] = {
      {{kSecurity40Bit, "owner-40", "user-40"}, "2|1|40"},
      {{kSecurity40Bit, "owner-40", ""}, "2|1|40"},
      {{kSecurity40Bit, "", ""}, "2|1|40"},
      {{kSecurity128Bit, "owner-128", "user-128"}, "3|2|128"},
      {{kSecurity128Bit, "owner-128", ""}, "3|2|128"},
      {{kSecurity128Bit, "", ""}, "3|2|128"},
  };
  for (const auto& c : cases) {
    const Protection& p = c.protection;
    SCOPED_TRACE("level " + std::to_string(p.level) + " owner '" + p.owner + "' user '" + p.user +
                 "'");
    const Written w = RichDocument(&p);
    ASSERT_EQ(w.key.size(), p.level == kSecurity128Bit ? 32u : 10u);
    const std::string rv = std::string("|") + c.bits + "|RC4|";

    // The user password (empty ones included) opens it as the user; the owner's as the owner.
    const std::string asUser = EncryptJson(w.pdf, p.user);
    EXPECT_EQ(asUser.rfind("True|True|", 0), 0u) << asUser;
    EXPECT_NE(asUser.find(rv), std::string::npos) << asUser;
    EXPECT_NE(Qpdf(w.pdf, {"--show-encryption", "--password=" + p.user})
                  .out.find("Supplied password is user password"),
              std::string::npos);
    if (!p.owner.empty()) {
      EXPECT_EQ(EncryptJson(w.pdf, p.owner).rfind("True|False|True|", 0), 0u);
      EXPECT_NE(Qpdf(w.pdf, {"--show-encryption", "--password=" + p.owner})
                    .out.find("Supplied password is owner password"),
                std::string::npos);
    }
    // The key qpdf derives is the document key.
    const ToolResult key =
        Qpdf(w.pdf, {"--show-encryption-key", "--show-encryption", "--password=" + p.user});
    EXPECT_NE(key.out.find("Encryption key = " + w.key), std::string::npos) << key.out;

    // Clean with the right password, refused with a wrong one (when a password is needed).
    for (const std::string& right : {p.user, p.owner.empty() ? p.user : p.owner}) {
      const ToolResult check = Qpdf(w.pdf, {"--check", "--password=" + right});
      EXPECT_EQ(check.status, 0) << check.out;
      EXPECT_EQ(check.out.find("WARNING"), std::string::npos) << check.out;
    }
    EXPECT_EQ(PdfToText(w.pdf, {"-upw", p.user}).out, plainText);
    if (!p.owner.empty()) {
      EXPECT_EQ(PdfToText(w.pdf, {"-opw", p.owner}).out, plainText);
    }
    if (!p.user.empty()) {
      EXPECT_NE(Qpdf(w.pdf, {"--check", "--password=wrong"}).status, 0);
      EXPECT_FALSE(PdfToText(w.pdf, {"-upw", "wrong"}).Succeeded());
      EXPECT_FALSE(PdfToText(w.pdf).Succeeded());
    }

    // Passwords and a fixed identifier make the bytes repeatable; without any password the
    // owner value is random, so two runs differ in /O alone (and in what depends on it).
    const Written again = RichDocument(&p);
    if (!p.owner.empty()) {
      EXPECT_EQ(again.pdf, w.pdf);
    } else {
      EXPECT_NE(again.key, w.key);
      const std::size_t o = w.pdf.find("/O<");
      ASSERT_NE(o, std::string::npos);
      EXPECT_NE(w.pdf.substr(o, 68), again.pdf.substr(o, 68));
      EXPECT_EQ(PdfToText(again.pdf).out, plainText);
    }
  }
}

// What the owner password gives back by decryption is the unencrypted document: text,
// information, XMP, outline titles, link targets, named destinations and attachment bodies
// byte for byte; in the encrypted file none of them stands in clear, while the trailer's
// identifier does.
TEST(PDFDeviceEncryption, DecryptionGivesEverythingBack) {
  REQUIRE_TEST_FONTS();
  if (!HaveReaders()) GTEST_SKIP() << "qpdf, python3 or poppler missing";
  FixedDocumentEnvironment fixed;
  const char* navigation = R"(
root = get(trailer['/Root'])
print(get(root['/Outlines'])['/First'] and get(get(root['/Outlines'])['/First'])['/Title'])
print(get(get(root['/Names'])['/Dests'])['/Names'][0])
page = get(get(root['/Pages'])['/Kids'][0])
for ref in page.get('/Annots', []):
    o = get(ref)
    print(o['/Subtype'], o.get('/A', {}).get('/URI'), o.get('/Contents'), o.get('/FS', {}).get('/F'))
)";
  const Written plain = RichDocument(nullptr);
  const std::string plainNavigation = QpdfJsonQuery(plain.pdf, navigation);
  ASSERT_NE(plainNavigation.find("u:Kapitel \xCE\xA9\xCE\xBC"), std::string::npos)
      << plainNavigation;
  ASSERT_NE(plainNavigation.find(kUri), std::string::npos) << plainNavigation;
  const std::string plainText = PdfToText(plain.pdf).out;
  const TempFile plainFile(plain.pdf);
  const std::string plainInfo = RunTool({"pdfinfo", plainFile.Path().string()}).out;
  const std::string plainXmp = RunTool({"pdfinfo", "-meta", plainFile.Path().string()}).out;
  ASSERT_NE(plainXmp.find(kTitle), std::string::npos);

  const struct {
    std::uint8_t level;
    TQVCompressStreamMethod compression;
    TQVEncodeStreamMethod armour;
  } cases[] = {{kSecurity40Bit, qvCompressRunlength, qvASCIIHexEncode},
               {kSecurity128Bit, qvCompressFlate, qvASCII85Encode}};
  for (const auto& c : cases) {
    SCOPED_TRACE("level " + std::to_string(c.level));
    const Protection p{c.level, "the-owner", "the-user"};
    const Written w = RichDocument(&p, c.compression, c.armour);
    EXPECT_EQ(PdfToText(w.pdf, {"-opw", p.owner}).out, plainText);

    for (const char* known :
         {kTitle, kAuthor, "Kapitel", "zebra-target", kDestName, "zebra stripes", "zebra.txt"})
      EXPECT_EQ(w.pdf.find(known), std::string::npos) << known;
    const std::string id = HexOf(vellora_test::kDeviceFileId);
    EXPECT_NE(w.pdf.find("/ID[<" + id + "><" + id + ">]\r\n"), std::string::npos);
    EXPECT_NE(w.pdf.find("/Encrypt 1 0 R\r\n"), std::string::npos);

    const TempDir dir("encrypted");
    const std::string encrypted = dir.File("encrypted.pdf").string();
    const std::string decrypted = dir.File("decrypted.pdf").string();
    vellora_test::WriteFile(encrypted, w.pdf);
    const ToolResult decrypt =
        RunTool({"qpdf", "--decrypt", "--password=" + p.owner, encrypted, decrypted});
    ASSERT_EQ(decrypt.status, 0) << decrypt.out;
    const std::string clear = vellora_test::ReadFile(decrypted);
    EXPECT_EQ(QpdfProblems(clear), "");
    EXPECT_EQ(PdfToText(clear).out, plainText);
    EXPECT_EQ(QpdfJsonQuery(clear, navigation), plainNavigation);

    const std::string info = RunTool({"pdfinfo", "-upw", p.user, encrypted}).out;
    for (const char* line : {"Title:", "Author:", "Producer:", "CreationDate:"}) {
      auto lineOf = [line](const std::string& text) {
        const std::size_t at = text.find(line);
        return at == std::string::npos ? std::string() : text.substr(at, text.find('\n', at) - at);
      };
      EXPECT_EQ(lineOf(info), lineOf(plainInfo)) << line;
      EXPECT_FALSE(lineOf(info).empty()) << line;
    }
    EXPECT_EQ(RunTool({"pdfinfo", "-meta", "-upw", p.user, encrypted}).out, plainXmp);

    const std::filesystem::path saved = dir.File("saved");
    std::filesystem::create_directories(saved);
    const ToolResult detach =
        RunTool({"pdfdetach", "-saveall", "-o", saved.string(), "-upw", p.user, encrypted});
    EXPECT_EQ(detach.status, 0) << detach.out;
    EXPECT_EQ(vellora_test::ReadFile(saved / "zebra.txt"), kAttachmentBody);
  }
}

// /P of each option set as qpdf reads it, with the capabilities it grants.
TEST(PDFDeviceEncryption, PermissionsAsQpdfReadsThem) {
  if (!HaveTool("qpdf") || !HaveTool("python3")) GTEST_SKIP() << "qpdf or python3 missing";
  FixedDocumentEnvironment fixed;
  const struct {
    std::uint8_t level;
    std::uint16_t options;
    const char* expected;  // P|R|V|bits|method|capabilities
  } cases[] = {
      {kSecurity40Bit, 0, "-3904|2|1|40|RC4|"},
      {kSecurity40Bit, kEnablePrinting | kEnableCopying,
       "-3884|2|1|40|RC4|accessibility extract printhigh printlow"},
      {kSecurity40Bit, kEnablePrinting | kEnableChanging | kEnableCopying | kEnableForms,
       "-3844|2|1|40|RC4|accessibility extract modify modifyannotations modifyassembly "
       "modifyforms modifyother printhigh printlow"},
      {kSecurity40Bit, kEnableFormFieldFillIn | kEnableAccessibilityOp | kEnableDocAssembly,
       "-3904|2|1|40|RC4|"},
      {kSecurity128Bit, kEnablePrinting, "-1852|3|2|128|RC4|printhigh printlow"},
      {kSecurity128Bit, kEnablePrinting | kLowQualityPrintOnly, "-3900|3|2|128|RC4|printlow"},
      {kSecurity128Bit, kEnableFormFieldFillIn, "-3648|3|2|128|RC4|modifyforms"},
      {kSecurity128Bit, 0x1FF & ~kLowQualityPrintOnly,
       "-4|3|2|128|RC4|accessibility extract modify modifyannotations modifyassembly modifyforms "
       "modifyother printhigh printlow"},
      {kSecurity128Bit, 0x1FF,
       "-2052|3|2|128|RC4|accessibility extract modify modifyannotations modifyassembly "
       "modifyforms modifyother printlow"},
  };
  for (const auto& c : cases) {
    RecordingDevice d;
    d.options.security.SetEncryption(kEncryptFile | c.options);
    d.options.security.SetSecurityLevel(c.level);
    d.BeginDoc(576, 800, 72, 0);
    d.BeginPage(612, 792, 72, 72, 0);
    d.EndPage();
    d.EndDoc();
    const std::string pdf = DocumentBytes(d);
    std::string line = EncryptJson(pdf, "");
    ASSERT_EQ(line.rfind("True|True|False|", 0), 0u) << line;
    line = line.substr(16);
    while (!line.empty() && line.back() == '\n') line.pop_back();
    EXPECT_EQ(line, c.expected) << std::hex << c.options;
  }
}

// A PDF/A document that asks for encryption is written as PDF/A, unencrypted, and the host
// hears why at BeginDoc; switching PDF/A on after BeginDoc changes nothing of what was
// decided, and the file still ends with its trailer.
TEST(PDFDeviceEncryption, PdfAIsNeverEncrypted) {
  if (!HaveTool("qpdf")) GTEST_SKIP() << "qpdf missing";
  FixedDocumentEnvironment fixed;
  RecordingDevice d;
  d.options.security.SetEncryption(kEncryptFile | kEnablePrinting);
  d.options.security.SetSecurityLevel(kSecurity128Bit);
  d.options.security.SetOwnerPassword("owner");
  d.options.writer.pdfaMode = folvioaLevelB;
  d.BeginDoc(576, 800, 72, 0);
  EXPECT_EQ(d.EncryptionObject(), nullptr);
  ASSERT_FALSE(d.messages.empty());
  EXPECT_EQ(d.messages[0], std::make_pair(11, std::string(kEncryptionNotAllowedInPDFA)));
  d.BeginPage(612, 792, 72, 72, 0);
  d.EndPage();
  d.EndDoc();
  const std::string pdf = DocumentBytes(d);
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_NE(Qpdf(pdf, {"--show-encryption"}).out.find("File is not encrypted"), std::string::npos);
  EXPECT_NE(pdf.find("#PDF/A-1b\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("<pdfaid:part>1</pdfaid:part>"), std::string::npos);
  EXPECT_NE(pdf.find("/OutputIntents"), std::string::npos);

  RecordingDevice late;
  late.options.security.SetEncryption(kEncryptFile);
  late.options.security.SetOwnerPassword("owner");
  late.BeginDoc(576, 800, 72, 0);
  late.options.writer.pdfaMode = folvioaLevelB;
  late.BeginPage(612, 792, 72, 72, 0);
  late.EndPage();
  EXPECT_NO_THROW(late.EndDoc());
  const std::string encrypted = DocumentBytes(late);
  EXPECT_EQ(QpdfProblems(encrypted), "");
  EXPECT_NE(Qpdf(encrypted, {"--show-encryption"}).out.find("R = 2"), std::string::npos);
  EXPECT_NE(encrypted.rfind("%%EOF\r\n"), std::string::npos);
}

bool NoRandomBytes(void*, std::size_t) { return false; }

// Without passwords the owner value needs the system's random bytes: when there are none the
// document does not begin, and nothing is created. Read mode writes nothing to encrypt.
TEST(PDFDeviceEncryption, NoRandomBytesNoDocument) {
  const std::string name = (std::filesystem::temp_directory_path() /
                            ("pdfdev-no-random-" + std::to_string(::getpid()) + ".pdf"))
                               .string();
  std::filesystem::remove(name);
  RecordingDevice d;
  d.options.security.SetEncryption(kEncryptFile);
  d.options.security.randomSource = NoRandomBytes;
  d.options.file.outputFileName = name;
  try {
    d.BeginDoc(576, 800, 72, 0);
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), kNoRandomBytes);
  }
  EXPECT_FALSE(d.DocumentOpen());
  EXPECT_FALSE(d.HasOutput());
  EXPECT_FALSE(std::filesystem::exists(name));

  // With a password nothing random is needed.
  d.options.security.SetUserPassword("user");
  d.options.file.outputFileName.clear();
  ASSERT_TRUE(d.BeginDoc(576, 800, 72, 0));
  EXPECT_NE(d.EncryptionObject(), nullptr);
  d.EndDoc();
  EXPECT_EQ(d.EncryptionObject(), nullptr);  // freed with the document

  d.options.security.SetUserPassword("");
  d.options.file.readMode = 1;
  ASSERT_TRUE(d.BeginDoc(576, 800, 72, 0));
  EXPECT_EQ(d.EncryptionObject(), nullptr);
  d.EndDoc();
}

}  // namespace
}  // namespace vellora
