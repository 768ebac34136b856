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
  return "/F" + std::to_string(number) + " " + GetReference();
}

void TQVPDFFont::MakeStandard(std::string baseName) {
  isStandard = true;
  standardName = std::move(baseName);
}

std::string TQVPDFFont::SimpleBody() {
  std::string body = "Type/Font\n/Subtype/TrueType\n/BaseFont" + PdfName(descriptor->GetFontName());
  body += "\n/Encoding " + encodingText + "\n";
  if (toUnicode && unicodeReferenced_) body += "/ToUnicode " + toUnicode->GetReference();
  return body;
}

std::string TQVPDFFont::CIDBody() {
  TQVFontDescriptor& d = *descriptor;
  const std::string baseFont = PdfName(d.GetFontName());
  const bool map = d.cidKind == 1 || d.fontFile->Stream().NeedsCIDToGIDMap();
  if (!d.descendantFont) d.descendantFont = std::make_unique<TQVPDFName>(Owner(), std::string());
  TQVPDFName& descendant = *d.descendantFont;
  std::string text = "Type/Font/Subtype/CIDFontType2\n/W " + wArray->GetReference() + "/DW " +
                     std::to_string(wArray->DefaultWidth()) + "/BaseFont" + baseFont + "\n";
  if (map) text += "/CIDToGIDMap " + cidToGid->GetReference() + "\n";
  text += "/CIDSystemInfo <</Registry" + descendant.LiteralString("Adobe") + "/Ordering" +
          descendant.LiteralString("Identity") + "/Supplement 0>>\n";
  text += "/FontDescriptor " + d.GetReference();
  descendant.SetText(std::move(text));
  return "Type/Font\n/Subtype/Type0\n/BaseFont" + baseFont + "\n/Encoding/Identity-H\n" +
         "/DescendantFonts[" + descendant.GetReference() + "]\n/ToUnicode " +
         toUnicode->GetReference();
}

std::string TQVPDFFont::CJKBody() {
  TQVFontDescriptor& d = *descriptor;
  const TQVCJKFontInfo& info = *CJKFontInfo(d.cjkKind);
  TQVPDFName& system = *d.cidSystemInfo;
  const std::string registry = system.EncryptString("Adobe");
  const std::string ordering = system.EncryptString(info.ordering);
  system.SetText("Registry " + TQVPDFFileWriter::HexString(registry.data(), registry.size()) +
                 " /Ordering " + TQVPDFFileWriter::HexString(ordering.data(), ordering.size()) +
                 " /Supplement " + std::to_string(info.supplement));
  d.descendantFont->SetText("Type/Font\n/Subtype/CIDFontType2\n/BaseFont" + PdfName(d.fontName) +
                            "\n/WinCharSet " + std::to_string(info.charset) + "\n/CIDSystemInfo " +
                            system.GetReference() + "\n/FontDescriptor " + d.GetReference() + " ");
  return "Type/Font\n/Subtype/Type0\n/BaseFont" + PdfName(d.fontName) + "\n/Encoding " +
         info.encoding + "\n/DescendantFonts[" + d.descendantFont->GetReference() + "]\n";
}

void TQVPDFFont::WriteStandard() {
  std::string body = "Type/Font/Subtype/Type1/BaseFont" + PdfName(standardName);
  // Symbol and ZapfDingbats name their glyphs by their own encoding.
  if (!StandardFontHasOwnEncoding(standardName)) body += "\n/Encoding/WinAnsiEncoding";
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
  widths.reset();
}

void TQVPDFFont::WriteObject() {
  if (Owner() == nullptr) throw std::runtime_error("Object has no owner");
  if (IsWritten() || Owner()->WriteObjectEvent(*this)) return;
  manager_->FinishEmbedding();
  if (isStandard || !descriptor) return WriteStandard();
  TQVFontDescriptor& d = *descriptor;
  if (d.cidKind != 0) {
    // A CID font that drew only blanks, or whose file has no tables, stands in as Helvetica.
    const TQV_TTF_CMAP* tables = d.Tables();
    if (!d.embedded || tables == nullptr || !tables->hasVisibleGlyph) return WriteStandIn();
  }
  // The file decides between subset and whole font before any name is written.
  TQVPDFFontStream* file = d.embedded && d.fontFile ? &d.fontFile->Stream() : nullptr;
  if (file) file->PrepareData();

  std::string body = d.cjkKind != 0 ? CJKBody() : d.cidKind != 0 ? CIDBody() : SimpleBody();
  const bool simple = d.cjkKind == 0 && d.cidKind == 0;
  if (simple && widths) widths->WriteObject();
  if (d.cidSystemInfo) d.cidSystemInfo->WriteObject();
  if (d.descendantFont) d.descendantFont->WriteObject();
  d.WriteObject();
  if (toUnicode && unicodeReferenced_ && !toUnicode->IsWritten())
    toUnicode->WriteCMap(d.cidKind > 1 ? wArray.get() : nullptr, wArray.get());
  if (d.cidKind != 0) {
    wArray->WriteWidths(d.cidKind == 1 ? cidToGid.get() : nullptr);
    if (d.cidKind > 1 && file->NeedsCIDToGIDMap()) cidToGid->SetData(file->CIDToGIDMap());
    if (d.cidKind == 1 || file->NeedsCIDToGIDMap()) cidToGid->WriteStream();
  }
  if (file && !file->IsWritten()) file->WriteStream();

  TQVPDFFileWriter& out = Out();
  SetText(std::move(body));
  MarkWritten();
  out.WriteLn(ObjHeader());
  out.Write(AsString());
  if (simple) {
    if (widths) {
      out.WriteLn("/FirstChar " + std::to_string(firstChar));
      out.WriteLn("/LastChar " + std::to_string(lastChar));
      out.WriteLn("/Widths " + widths->GetReference());
    }
    out.WriteLn("/FontDescriptor " + d.GetReference());
  }
  out.WriteObjectEnd(false);
  widths.reset();
}

}  // namespace vellora
