#include "info_test_document.h"

#include <sstream>

#include "qvplatform/clock.h"

namespace vellora_test {

using namespace vellora;

TestDocument::TestDocument(std::size_t pageCount, TQVPDFAMode pdfa) {
  owner.resources = &resources;
  owner.settings.pdfaMode = pdfa;
  WriteTestHeader(owner);
  for (std::size_t i = 0; i < pageCount; ++i) {
    auto page = std::make_unique<TQVPDFPage>(&owner);
    page->SetSize(612, 792);
    page->SetFlipHeight(792);
    TQVPDFStream* content = page->AddContents(std::make_unique<TQVPDFStream>(&owner, 'T'));
    content->BeginData();
    content->WriteString("0 0 m 100 100 l S");
    pages.push_back(page.get());
    pendingPages.push_back(std::move(page));
  }
}

void TestDocument::WriteInformation(const TQVDocumentTime& time) {
  infoObject = WriteDocumentInformation(&owner, info, catalog.Metadata(), time, kFileId);
}

std::string TestDocument::Finish() {
  for (auto& page : pendingPages) {
    page->WritePageObjects();
    catalog.AddPage(std::move(page));
  }
  pendingPages.clear();
  resources.WriteObject();
  catalog.Pages().WriteObject();
  catalog.WriteObject();
  TQVPDFFileWriter& out = owner.writer;
  const std::uint64_t xref = out.WriteXRefTable();
  out.Write("trailer\n<<\n/Size " + std::to_string(out.XRef().Count()) + "\r\n");
  out.WriteLn("/Root " + catalog.GetReference());
  const std::string id = TQVPDFFileWriter::HexString(kFileId.data(), kFileId.size());
  out.WriteLn("/ID[" + id + id + "]");
  if (infoObject) out.WriteLn("/Info " + infoObject->GetReference());
  out.WriteLn(">>");
  out.WriteLn("startxref");
  out.WriteLn(std::to_string(xref));
  out.WriteLn("%%EOF");
  return owner.Bytes();
}

TQVDocumentTime FixedTime() { return {qvplatform::EncodeDateTime(2024, 1, 31, 14, 0, 0), 120}; }

std::map<std::string, std::string> Pdfinfo(const std::string& pdf, const std::string& options) {
  std::map<std::string, std::string> fields;
  TempFile file(pdf);
  std::vector<std::string> argv = {"pdfinfo", "-enc", "UTF-8"};
  std::istringstream words(options);
  for (std::string word; words >> word;) argv.push_back(word);
  argv.push_back(file.Path().string());
  const ToolResult result = RunTool(argv, ToolErrors::kDrop);
  if (!result.Succeeded()) return fields;
  std::size_t start = 0;
  while (start < result.out.size()) {
    std::size_t end = result.out.find('\n', start);
    if (end == std::string::npos) end = result.out.size();
    const std::string line = result.out.substr(start, end - start);
    start = end + 1;
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::size_t value = colon + 1;
    while (value < line.size() && line[value] == ' ') ++value;
    fields.emplace(line.substr(0, colon), line.substr(value));
  }
  return fields;
}

std::string XMPPacket(const std::string& pdf) {
  const std::size_t begin = pdf.find("<?xpacket begin");
  const std::string endTag = "<?xpacket end=\"w\"?>";
  const std::size_t end = pdf.find(endTag);
  if (begin == std::string::npos || end == std::string::npos) return {};
  return pdf.substr(begin, end + endTag.size() - begin);
}

}  // namespace vellora_test
