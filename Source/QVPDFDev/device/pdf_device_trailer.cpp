// The file frame of the PDF device: the header with the objects written right after it, and
// the end of the file (the objects left, cross-reference table, trailer).
#include <string>

#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/metadata/info_dictionary.h"
#include "QVPDFDev/resources/pdf_resource.h"
#include "QVPDFDev/security/encrypt_info.h"

namespace vellora {

void TQVPDFDevice::WriteHeader() {
  TQVPDFFileWriter& out = Output();
  if (out.Position() == 0) {
    const bool encrypt128 = encryption_ && encryption_->Uses128Bit();
    if (options.writer.pdfaMode != folvioaOff || contentOptions.cidFontMode != 0 ||
        options.security.version14Requested || encrypt128)
      out.WriteLn("%PDF-1.4");
    else if (modes.Has(qvAllowTransparentBit))
      out.WriteLn("%PDF-1.3");
    else
      out.WriteLn("%PDF-1.2");
  }
  // Four bytes above 127 mark the file as binary.
  out.WriteLn("%\xE2\xE3\xCF\xD3");
  out.WriteLn("%");
  std::string producer = "%Folvio by Torvane GmbH V3.54[" + std::to_string(modes.Bits()) + "]";
  if (options.writer.pdfaMode == folvioaLevelA) producer += " #PDF/A-1a";
  if (options.writer.pdfaMode == folvioaLevelB) producer += " #PDF/A-1b";
  out.WriteLn(producer);
  out.WriteLn("%");
  out.WriteLn("%");
  // The encryption dictionary comes before every other object: the document key it fixes
  // encrypts all that follows (itself excepted).
  if (encryption_) {
    encryption_->SetFileIdentifier(fileId_);
    encryption_->WriteObject();
  }
  out.SetCipher(encryption_.get());
  AfterWriteHeader();
  info_ = WriteDocumentInformation(this, options.info, catalog_->Metadata(), documentTime, fileId_);
}

void TQVPDFDevice::WriteXRefAndTrailer() {
  TQVPDFFileWriter& out = Output();
  // Written objects stay in the list: an object may add another while being written.
  for (std::size_t i = 0; i < pendingObjects_.size(); ++i)
    if (!pendingObjects_[i]->IsWritten()) pendingObjects_[i]->WriteObject();
  // Positions named while no page was open lead to the last page when none followed.
  BindUnplacedDestinations(lastPage_);
  for (auto& annotation : annotations_)
    if (!annotation->IsWritten()) annotation->WriteObject();
  WriteExtraObjects();
  resources_->WriteObject();
  WriteFontFiles();
  catalog_->Pages().WriteObject();
  catalog_->WriteObject();

  const std::uint64_t xref = out.WriteXRefTable();
  const std::string id = TQVPDFFileWriter::HexString(fileId_.data(), fileId_.size());
  out.Write("trailer\n<<\n/Size " + std::to_string(out.XRef().Count()) + "\r\n");
  out.WriteLn("/Root " + catalog_->GetReference());
  out.WriteLn("/ID[" + id + id + "]");
  if (info_) out.WriteLn("/Info " + info_->GetReference());
  if (encryption_) out.WriteLn("/Encrypt " + encryption_->GetReference());
  out.WriteLn(">>");
  out.WriteLn("startxref");
  out.WriteLn(std::to_string(xref));
  out.WriteLn("%%EOF");
  ClearTempObjects();
}

}  // namespace vellora
