#include "QVPDFDev/metadata/xmp_builder.h"

#include <set>
#include <string>
#include <vector>

#include "QVPDFDev/file/pdf_file_writer.h"
#include "QVPDFDev/metadata/xmp_escape.h"

namespace vellora {
namespace {

constexpr const char* kDescription = "rdf:Description";

// Extra entries that other schemas already carry.
constexpr std::string_view kNotPdfx[] = {"rights", "creator", "creatortool", "producertool",
                                         "producer"};

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

void AddSchema(std::u16string& out, std::string_view uri, std::string_view prefix,
               std::string_view schema) {
  out += u"  <rdf:li rdf:parseType=\"Resource\">\n   <pdfaSchema:namespaceURI>";
  out += Widen(uri);
  out += u"</pdfaSchema:namespaceURI>\n   <pdfaSchema:prefix>";
  out += Widen(prefix);
  out += u"</pdfaSchema:prefix>\n   <pdfaSchema:schema>";
  out += Widen(schema);
  out += u"</pdfaSchema:schema>\n   <pdfaSchema:property>\n    <rdf:Seq>\n";
}

void AddSchemaProperty(std::u16string& out, std::string_view category, std::string_view description,
                       std::u16string_view name, std::string_view valueType) {
  out += u"     <rdf:li rdf:parseType=\"Resource\">\n      <pdfaProperty:category>";
  out += Widen(category);
  out += u"</pdfaProperty:category>\n      <pdfaProperty:description>";
  out += Widen(description);
  out += u"</pdfaProperty:description>\n      <pdfaProperty:name>";
  out += name;
  out += u"</pdfaProperty:name>\n      <pdfaProperty:valueType>";
  out += Widen(valueType);
  out += u"</pdfaProperty:valueType>\n     </rdf:li>\n";
}

void EndSchema(std::u16string& out) {
  out += u"    </rdf:Seq>\n   </pdfaSchema:property>\n  </rdf:li>\n";
}

// The PDF/A extension schema: the media management InstanceID, the PDF/A identification
// and, when there are any, the pdfx properties.
std::u16string ExtensionSchema(const std::vector<std::u16string>& pdfxNames) {
  std::u16string out =
      u"<rdf:Description rdf:about=\"\"\n"
      u" xmlns:pdfaExtension=\"http://www.aiim.org/pdfa/ns/extension/\"\n"
      u" xmlns:pdfaSchema=\"http://www.aiim.org/pdfa/ns/schema#\"\n"
      u" xmlns:pdfaProperty=\"http://www.aiim.org/pdfa/ns/property#\">\n"
      u" <pdfaExtension:schemas>\n <rdf:Bag>\n";
  AddSchema(out, "http://ns.adobe.com/xap/1.0/mm/", "xmpMM", "XMP Media Management Schema");
  AddSchemaProperty(out, "internal", "UUID based identifier for specific incarnation of a document",
                    u"InstanceID", "URI");
  EndSchema(out);
  AddSchema(out, "http://www.aiim.org/pdfa/ns/id/", "pdfaid", "PDF/A ID Schema");
  AddSchemaProperty(out, "internal", "Part of PDF/A standard", u"part", "Integer");
  AddSchemaProperty(out, "internal", "Amendment of PDF/A standard", u"amd", "Text");
  AddSchemaProperty(out, "internal", "Conformance level of PDF/A standard", u"conformance", "Text");
  EndSchema(out);
  if (!pdfxNames.empty()) {
    AddSchema(out, "http://ns.adobe.com/pdfx/1.3/", "pdfx", "PDF Extension Schema");
    for (const std::u16string& name : pdfxNames)
      AddSchemaProperty(out, "external", "Document information entry", name, "Text");
    EndSchema(out);
  }
  out += u" </rdf:Bag>\n </pdfaExtension:schemas>\n</rdf:Description>\n";
  return out;
}

bool IsNotPdfx(std::string_view name) {
  for (std::string_view skipped : kNotPdfx)
    if (SameTextIgnoringCase(name, skipped)) return true;
  return false;
}

}  // namespace

void BuildXMP(TQVXMPString& xmp, const TQVDeviceInfoBlock& block, const TQVDocumentTime& time,
              std::span<const std::uint8_t> fileId) {
  xmp.SetUTF8(block.utf8);
  const std::string now = XMPDateText(time);

  xmp.OpenDescription(kDescription, "xmp", "http://ns.adobe.com/xap/1.0/");
  xmp.AddProperty(u"CreatorTool", block.writtenCreator);
  // The creation date is the /CreationDate text, so that both always agree.
  std::string created = PDFDateToXMPDate(block.creationDate);
  if (created.empty()) created = now;
  xmp.AddDateProperty(u"CreateDate", created);
  xmp.AddDateProperty(u"ModifyDate", now);
  xmp.AddDateProperty(u"MetadataDate", now);

  xmp.OpenDescription(kDescription, "dc", "http://purl.org/dc/elements/1.1/");
  xmp.AddProperty(u"format", std::string_view("application/pdf"));
  xmp.AddProperty(u"title", block.writtenTitle, xmpAlt);
  xmp.AddProperty(u"description", block.subject, xmpAlt);
  xmp.AddProperty(u"subject", block.keywords, xmpBag);
  xmp.AddProperty(u"creator", block.author, xmpSeq);
  for (int i = 0; i < block.extraEntries.Count(); ++i) {
    const TQVInfoEntry entry = SplitInfoEntry(block.extraEntries[i]);
    if (entry.ok && SameTextIgnoringCase(entry.name, "rights")) {
      if (!entry.value.empty()) xmp.AddProperty(u"rights", entry.value, xmpAlt);
      break;
    }
  }

  // Names as the information dictionary writes them ("Company Name" is /Company_Name there),
  // made valid XML names; a name that comes again is left out, as in /Info.
  std::vector<std::u16string> pdfxNames;
  std::set<std::u16string> seen;
  for (int i = 0; i < block.extraEntries.Count(); ++i) {
    TQVInfoEntry entry = SplitInfoEntry(block.extraEntries[i]);
    if (!entry.ok || entry.name.empty() || IsNotPdfx(entry.name)) continue;
    for (char& c : entry.name)
      if (static_cast<unsigned char>(c) < '!') c = '_';
    std::u16string name = XMLPropertyName(block.Decode(entry.name));
    if (name.empty() || !seen.insert(name).second) continue;
    xmp.OpenDescription(kDescription, "pdfx", "http://ns.adobe.com/pdfx/1.3/");
    xmp.AddProperty(name, entry.value);
    pdfxNames.push_back(std::move(name));
  }

  std::string id = "uuid:";
  const std::string hex = TQVPDFFileWriter::HexString(fileId.data(), fileId.size());
  id += hex.substr(1, hex.size() - 2);
  xmp.OpenDescription(kDescription, "xapMM", "http://ns.adobe.com/xap/1.0/mm/");
  xmp.AddProperty(u"VersionID", std::string_view("1"));
  xmp.AddProperty(u"DocumentID", std::string_view(id));
  xmp.AddProperty(u"InstanceID", std::string_view(id));

  xmp.OpenDescription(kDescription, "pdf", "http://ns.adobe.com/pdf/1.3/");
  xmp.AddProperty(u"Keywords", block.keywords);
  xmp.AddProperty(u"Producer", block.writtenProducer);

  const TQVPDFAMode pdfa =
      xmp.Owner() != nullptr ? xmp.Owner()->WriterSettings().pdfaMode : folvioaOff;
  if (pdfa != folvioaOff) {
    xmp.OpenDescription(kDescription, "pdfaid", "http://www.aiim.org/pdfa/ns/id/");
    xmp.AddProperty(u"part", std::string_view("1"));
    xmp.AddProperty(u"conformance", std::string_view(pdfa == folvioaLevelA ? "A" : "B"));
    xmp.CloseDescription();
    xmp.AddText(ExtensionSchema(pdfxNames));
  }
  xmp.ConvertToUTF8();
}

}  // namespace vellora
