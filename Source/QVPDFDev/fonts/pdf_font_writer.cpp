// TQVPDFFont: the font dictionary in its four shapes and the objects only it refers to.
#include <stdexcept>

#include "QVPDFDev/fonts/font_file_list.h"
#include "QVPDFDev/fonts/font_manager.h"
#include "QVPDFDev/fonts/font_names.h"
#include "QVPDFDev/fonts/pdf_font.h"

namespace vellora {
namespace {

std::string PdfName(std::string_view name) {
  std::string out;
  AppendNameEntry(out, name);
  return out;
}

}  // namespace

TQVPDFFont::TQVPDFFont(TQVPDFFontManager* manager)
    : TQVPDFName(manager->Owner(), std::string()), manager_(manager) {}

TQVPDFFont::~TQVPDFFont() = default;

std::string TQVPDFFont::GetEntryString() {
  return "/F" + std::to_string(Number) + " " + GetReference();
}

void TQVPDFFont::MakeStandard(std::string standardName) {
  IsStandard = true;
  StandardName = std::move(standardName);
}

std::string TQVPDFFont::SimpleBody() {
  std::string body = "Type/Font\n/Subtype/TrueType\n/BaseFont" + PdfName(Descriptor->GetFontName());
  body += "\n/Encoding " + EncodingText + "\n";
  if (ToUnicode && unicodeReferenced_) body += "/ToUnicode " + ToUnicode->GetReference();
  return body;
}

std::string TQVPDFFont::CIDBody() {
  TQVFontDescriptor& d = *Descriptor;
  const std::string name = PdfName(d.GetFontName());
  const bool map = d.CIDKind == 1 || d.FontFile->Stream().NeedsCIDToGIDMap();
  if (!d.DescendantFont) d.DescendantFont = std::make_unique<TQVPDFName>(Owner(), std::string());
  TQVPDFName& descendant = *d.DescendantFont;
  std::string text = "Type/Font/Subtype/CIDFontType2\n/W " + WArray->GetReference() + "/DW " +
                     std::to_string(WArray->DefaultWidth()) + "/BaseFont" + name + "\n";
  if (map) text += "/CIDToGIDMap " + CIDToGID->GetReference() + "\n";
  text += "/CIDSystemInfo <</Registry" + descendant.LiteralString("Adobe") + "/Ordering" +
          descendant.LiteralString("Identity") + "/Supplement 0>>\n";
  text += "/FontDescriptor " + d.GetReference();
  descendant.SetText(std::move(text));
  return "Type/Font\n/Subtype/Type0\n/BaseFont" + name + "\n/Encoding/Identity-H\n" +
         "/DescendantFonts[" + descendant.GetReference() + "]\n/ToUnicode " +
         ToUnicode->GetReference();
}

std::string TQVPDFFont::CJKBody() {
  TQVFontDescriptor& d = *Descriptor;
  const TQVCJKFontInfo& info = *CJKFontInfo(d.CJKKind);
  TQVPDFName& system = *d.CIDSystemInfo;
  const std::string registry = system.EncryptString("Adobe");
  const std::string ordering = system.EncryptString(info.ordering);
  system.SetText("Registry " + TQVPDFFileWriter::HexString(registry.data(), registry.size()) +
                 " /Ordering " + TQVPDFFileWriter::HexString(ordering.data(), ordering.size()) +
                 " /Supplement " + std::to_string(info.supplement));
  d.DescendantFont->SetText("Type/Font\n/Subtype/CIDFontType2\n/BaseFont" + PdfName(d.FontName) +
                            "\n/WinCharSet " + std::to_string(info.charset) + "\n/CIDSystemInfo " +
                            system.GetReference() + "\n/FontDescriptor " + d.GetReference() + " ");
  return "Type/Font\n/Subtype/Type0\n/BaseFont" + PdfName(d.FontName) + "\n/Encoding " +
         info.encoding + "\n/DescendantFonts[" + d.DescendantFont->GetReference() + "]\n";
}

void TQVPDFFont::WriteStandard() {
  std::string body = "Type/Font/Subtype/Type1/BaseFont" + PdfName(StandardName);
  // Symbol and ZapfDingbats name their glyphs by their own encoding.
  if (!StandardFontHasOwnEncoding(StandardName)) body += "\n/Encoding/WinAnsiEncoding";
  SetText(std::move(body));
  TQVPDFFileWriter& out = Out();
  MarkWritten();
  out.WriteLn(ObjHeader());
  out.WriteLn(AsString());
  out.WriteObjectEnd(false);
}

void TQVPDFFont::WriteStandIn() {
  // Its companion objects stay unwritten: their numbers remain free entries.
  TQVPDFFileWriter& out = Out();
  MarkWritten();
  out.WriteLn(ObjHeader());
  out.Write("/Type/Font/Subtype/Type1/BaseFont/Helvetica\n");
  out.WriteObjectEnd(false);
  Widths.reset();
}

void TQVPDFFont::WriteObject() {
  if (Owner() == nullptr) throw std::runtime_error("Object has no owner");
  if (IsWritten() || Owner()->WriteObjectEvent(*this)) return;
  manager_->FinishEmbedding();
  if (IsStandard || !Descriptor) return WriteStandard();
  TQVFontDescriptor& d = *Descriptor;
  if (d.CIDKind != 0) {
    // A CID font that drew only blanks, or whose file has no tables, stands in as Helvetica.
    const TQV_TTF_CMAP* tables = d.Tables();
    if (!d.Embedded || tables == nullptr || !tables->HasVisibleGlyph) return WriteStandIn();
  }
  // The file decides between subset and whole font before any name is written.
  TQVPDFFontStream* file = d.Embedded && d.FontFile ? &d.FontFile->Stream() : nullptr;
  if (file) file->PrepareData();

  std::string body = d.CJKKind != 0 ? CJKBody() : d.CIDKind != 0 ? CIDBody() : SimpleBody();
  const bool simple = d.CJKKind == 0 && d.CIDKind == 0;
  if (simple && Widths) Widths->WriteObject();
  if (d.CIDSystemInfo) d.CIDSystemInfo->WriteObject();
  if (d.DescendantFont) d.DescendantFont->WriteObject();
  d.WriteObject();
  if (ToUnicode && unicodeReferenced_ && !ToUnicode->IsWritten())
    ToUnicode->WriteCMap(d.CIDKind > 1 ? WArray.get() : nullptr);
  if (d.CIDKind != 0) {
    WArray->WriteWidths(d.CIDKind == 1 ? CIDToGID.get() : nullptr);
    if (d.CIDKind > 1 && file->NeedsCIDToGIDMap()) CIDToGID->SetData(file->CIDToGIDMap());
    if (d.CIDKind == 1 || file->NeedsCIDToGIDMap()) CIDToGID->WriteStream();
  }
  if (file && !file->IsWritten()) file->WriteStream();

  TQVPDFFileWriter& out = Out();
  SetText(std::move(body));
  MarkWritten();
  out.WriteLn(ObjHeader());
  out.Write(AsString());
  if (simple) {
    if (Widths) {
      out.WriteLn("/FirstChar " + std::to_string(FirstChar));
      out.WriteLn("/LastChar " + std::to_string(LastChar));
      out.WriteLn("/Widths " + Widths->GetReference());
    }
    out.WriteLn("/FontDescriptor " + d.GetReference());
  }
  out.WriteObjectEnd(false);
  Widths.reset();
}

}  // namespace vellora
