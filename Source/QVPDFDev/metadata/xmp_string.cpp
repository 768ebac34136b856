#include "QVPDFDev/metadata/xmp_string.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "QVPDFDev/metadata/xmp_escape.h"
#include "QVPDFDev/objects/host_text.h"
#include "qvplatform/codepage.h"

namespace vellora {
namespace {

constexpr std::size_t kPDFAPadding = 512;

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

TQVXMPString::TQVXMPString(TQVPDFObjectOwner* owner) : TQVPDFStream(owner) {
  packet_ = u"<?xpacket begin=\"\uFEFF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n";
  AddText("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\" x:xmptk=\"3.1-701\">\n");
  AddText("<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n");
}

void TQVXMPString::AddText(std::u16string_view text) { packet_ += text; }

void TQVXMPString::AddText(std::string_view asciiText) { packet_ += Widen(asciiText); }

void TQVXMPString::OpenDescription(std::string_view element, std::string_view prefix,
                                   std::string_view nameSpace) {
  if (!openElement_.empty() && element == openElement_ && prefix == openPrefix_) return;
  CloseDescription();
  openElement_ = element;
  openPrefix_ = prefix;
  std::string tag = "<" + openElement_ + " rdf:about=\"\"";
  if (!prefix.empty()) {
    tag += "\n xmlns:";
    tag += prefix;
    tag += "=\"";
    tag += nameSpace;
    tag += '"';
  }
  tag += ">\n";
  AddText(tag);
}

void TQVXMPString::CloseDescription() {
  if (openElement_.empty()) return;
  AddText("</" + openElement_ + ">\n");
  openElement_.clear();
  openPrefix_.clear();
}

void TQVXMPString::AppendQualifiedName(std::u16string_view name) {
  if (!openPrefix_.empty()) {
    packet_ += Widen(openPrefix_);
    packet_ += u':';
  }
  packet_ += XMLPropertyName(name);
}

void TQVXMPString::AddProperty(std::u16string_view name, std::u16string_view value,
                               TQVXMPPropertyKind kind) {
  if (openElement_.empty()) throw std::runtime_error("XMP - no property defined!");
  ++propertyCount_;
  packet_ += u" <";
  AppendQualifiedName(name);
  if (value.empty() && kind == xmpPlain) {
    packet_ += u"/>\n";
    return;
  }
  packet_ += u'>';
  switch (kind) {
    case xmpBag: {
      packet_ += u"\n <rdf:Bag>\n";
      if (value.empty()) {
        packet_ += u"  <rdf:li/>\n";
      } else {
        std::size_t start = 0;
        for (;;) {
          const std::size_t comma = value.find(u',', start);
          packet_ += u"  <rdf:li>";
          AppendXMLText(packet_, value.substr(start, comma - start));
          packet_ += u"</rdf:li>\n";
          if (comma == std::u16string_view::npos) break;
          start = comma + 1;
        }
      }
      packet_ += u" </rdf:Bag>\n";
      break;
    }
    case xmpSeq:
    case xmpAlt: {
      const std::u16string_view kindName = kind == xmpSeq ? u"Seq" : u"Alt";
      if (value.empty()) {
        packet_ += u"<rdf:";
        packet_ += kindName;
        packet_ += u">\n  <rdf:li xml:lang=\"x-default\"/>\n</rdf:";
        packet_ += kindName;
        packet_ += u'>';
      } else {
        packet_ += kind == xmpSeq ? u"\n<rdf:Seq>\n  <rdf:li>"
                                  : u"\n <rdf:Alt>\n  <rdf:li xml:lang=\"x-default\">";
        AppendXMLText(packet_, value);
        packet_ += u"</rdf:li>\n </rdf:";
        packet_ += kindName;
        packet_ += u'>';
      }
      break;
    }
    default:
      AppendXMLText(packet_, value);
      break;
  }
  packet_ += u"</";
  AppendQualifiedName(name);
  packet_ += u">\n";
}

void TQVXMPString::AddProperty(std::u16string_view name, std::string_view value,
                               TQVXMPPropertyKind kind) {
  AddProperty(name, DecodeHostText(value, utf8_), kind);
}

void TQVXMPString::AddDateProperty(std::u16string_view name, std::string_view xmpDate) {
  AddProperty(name, Widen(xmpDate), xmpPlain);
}

void TQVXMPString::ConvertToUTF8() {
  if (converted_) return;
  converted_ = true;
  std::vector<std::uint8_t> bytes(3 * packet_.size());
  int n = 0;
  if (!packet_.empty()) {
    if (packet_.size() > INT_MAX / 3) throw std::runtime_error("XMP packet too long");
    n = qvplatform::WideCharToMultiByte(
        qvplatform::CP_UTF8, 0, packet_.data(), static_cast<int>(packet_.size()),
        reinterpret_cast<char*>(bytes.data()), static_cast<int>(bytes.size()), nullptr, nullptr);
  }
  bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  SetData(std::move(bytes));
  std::u16string().swap(packet_);
}

void TQVXMPString::WriteStream() {
  TQVPDFFileWriter& out = Out();
  ConvertToUTF8();
  std::string tail;
  if (!openElement_.empty()) tail += "</" + openElement_ + ">\n";
  openElement_.clear();
  openPrefix_.clear();
  tail += "</rdf:RDF>\n</x:xmpmeta>\n";
  if (Owner()->WriterSettings().pdfaMode != folvioaOff) tail.append(kPDFAPadding, ' ');
  tail += "<?xpacket end=\"w\"?>";
  std::vector<std::uint8_t>& data = MutableData();
  data.insert(data.end(), tail.begin(), tail.end());

  // Metadata stays readable to tools that do not decode streams: no filter of any kind.
  MarkWritten();
  std::string head = ObjHeader();
  head += "/Type/Metadata/Subtype/XML/Length ";
  head += std::to_string(data.size());
  head += " >>\r\nstream\n";
  out.Write(head);
  EncryptData(data.data(), data.size());
  out.Write(data.data(), data.size());
  out.Write("\nendstream\r\nendobj\n");
  FreeData();
}

}  // namespace vellora
