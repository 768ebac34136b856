// Binary embedded commands of the PDF device: JPEG data, file attachments, structure
// elements and marked-content sequences. Elements and sequences belong to the open page;
// between pages and while a form is recorded they get none, and nothing is written.
#include <string>

#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDev/device/tagging_record.h"
#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/objects/pdf_name_escape.h"
#include "QVPDFDev/pages/pdf_page.h"
#include "QVPDFDev/tagged/pdf_struct_tree.h"
#include "qvplatform/codepage.h"

namespace vellora {
namespace {

constexpr std::int32_t kCommandJpegData = 3001;
constexpr std::int32_t kCommandAttachment = 3010;
constexpr std::int32_t kCommandAttachmentUtf8 = 3011;
constexpr std::int32_t kCommandCloseSection = 3012;
constexpr std::int32_t kCommandOpenElement = 3013;
constexpr std::int32_t kCommandBeginMarkedContent = 3014;
constexpr std::int32_t kCommandEndMarkedContent = 3015;
constexpr qvplatform::UINT kSystemCodePage = 1252;

std::u16string SystemText(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::u16string wide(text.size(), u'\0');
  const int written =
      qvplatform::MultiByteToWideChar(kSystemCodePage, 0, text.data(), size, wide.data(), size);
  wide.resize(static_cast<std::size_t>(written > 0 ? written : 0));
  return wide;
}

void TakeTexts(TQVPDFStructElement& element, const TQVTaggingRecord& record) {
  element.SetType(record.type);
  element.title = SystemText(record.title);
  element.alternateText = SystemText(record.alternateText);
  element.actualText = SystemText(record.actualText);
  element.language = record.language;
  element.commandIdentifier = record.identifier;
}

// The class a "/StyNo" item of this record selects, marked used.
void ApplyLayoutClass(TQVPDFStructTreeRoot& tree, TQVPDFStructElement& element,
                      const TQVTaggingRecord& record) {
  if (!record.styleNumber) return;
  TFolvioLayoutElement* layout = tree.FindLayoutClassByStyle(*record.styleNumber);
  if (layout == nullptr) return;
  layout->used = true;
  element.layoutClass = layout;
  element.className = layout->name;
}

bool IsArtifactKind(std::string_view type) {
  return type == "Pagination" || type == "Layout" || type == "Page";
}

}  // namespace

void TQVPDFDevice::HandleTaggingCommand(const RECTL& rect, std::int32_t code,
                                        const std::uint8_t* data, std::int32_t length,
                                        bool& handled) {
  const std::size_t size = data != nullptr && length > 0 ? static_cast<std::size_t>(length) : 0;
  switch (code) {
    case kCommandJpegData:
      pendingImageName = "MarliskJIF_" + std::to_string(rect.left);
      if (documentOpen_) images_.AddImageData(0, data, size, rect.top, rect.right, rect.bottom);
      handled = true;
      return;
    case kCommandAttachment:
    case kCommandAttachmentUtf8:
      if (currentPage_ && xformStream == nullptr)
        AddFileAttachment(rect, data, code == kCommandAttachmentUtf8, size);
      handled = true;
      return;
    case kCommandCloseSection:
      if (catalog_) catalog_->StructTreeRoot().CloseSection();
      return;
    case kCommandOpenElement:
      OpenStructElement(data, size);
      return;
    case kCommandBeginMarkedContent:
      BeginMarkedContent(data, size);
      return;
    case kCommandEndMarkedContent:
      EndMarkedContent();
      return;
    default:
      TQVGenericPSDevice::HandleTaggingCommand(rect, code, data, length, handled);
  }
}

void TQVPDFDevice::OpenStructElement(const std::uint8_t* data, std::size_t length) {
  if (!catalog_) return;
  const TQVTaggingRecord record = ReadTaggingRecord(data, length);
  auto& open = commandState_.openElements;
  if (record.Has(TQVTaggingRecord::kReuse) && record.identifier != 0 &&
      open.count(record.identifier) > 0)
    return;
  TQVPDFStructTreeRoot& tree = catalog_->StructTreeRoot();
  const auto parent =
      record.parentIdentifier != 0 ? open.find(record.parentIdentifier) : open.end();
  TQVPDFPage* page = currentPage_ && xformStream == nullptr ? currentPage_.get() : nullptr;
  TQVPDFStructElement* element =
      parent != open.end() ? parent->second->AddChild(page) : tree.AddElement();
  TakeTexts(*element, record);
  ApplyLayoutClass(tree, *element, record);
  if (record.identifier != 0) open[record.identifier] = element;
}

void TQVPDFDevice::BeginMarkedContent(const std::uint8_t* data, std::size_t length) {
  if (!catalog_) return;
  const TQVTaggingRecord record = ReadTaggingRecord(data, length);
  TQVPDFPage* page = currentPage_ && xformStream == nullptr ? currentPage_.get() : nullptr;

  std::string operators;
  if (record.Has(TQVTaggingRecord::kArtifact)) {
    // Artifacts are no structure: no element, no marked-content number.
    if (page == nullptr) return;
    operators = IsArtifactKind(record.type) ? "/Artifact<</Type/" + record.type + ">>BDC\n"
                                            : std::string("/Artifact BMC\n");
  } else {
    auto& open = commandState_.openElements;
    TQVPDFStructElement* element = nullptr;
    if (record.identifier != 0) {
      const auto found = open.find(record.identifier);
      if (found != open.end()) element = found->second;
    }
    TQVPDFStructTreeRoot& tree = catalog_->StructTreeRoot();
    if (element == nullptr && record.Has(TQVTaggingRecord::kReuse)) {
      element = tree.AddElement();
      TakeTexts(*element, record);
      if (record.identifier != 0) open[record.identifier] = element;
    }
    if (element == nullptr) return;
    ApplyLayoutClass(tree, *element, record);
    if (page == nullptr) return;
    const std::int32_t number = element->AddMarkedContent(page, page->MarkedContentOwners());
    operators = "/";
    AppendEscapedName(operators,
                      element->Type().empty() ? std::string_view("NonStruct") : element->Type());
    operators += "<</MCID " + std::to_string(number) + ">>BDC\n";
  }
  if (!EnsureOutputOpen()) return;
  EndText();
  PrepareDraw();
  workBuffer.AddString(operators);
  ++commandState_.markedContentDepth;
}

void TQVPDFDevice::EndMarkedContent() {
  if (commandState_.markedContentDepth < 1) return;
  --commandState_.markedContentDepth;
  FlushPending();
  workBuffer.AddString("EMC ");
}

void TQVPDFDevice::CloseOpenMarkedContent() {
  if (commandState_.markedContentDepth < 1) return;
  if (outputOpen) {
    EndText();
    FlushPending();
    while (commandState_.markedContentDepth > 0) {
      workBuffer.AddString("EMC ");
      --commandState_.markedContentDepth;
    }
  }
  commandState_.markedContentDepth = 0;
}

}  // namespace vellora
