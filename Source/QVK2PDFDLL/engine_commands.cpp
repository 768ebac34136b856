// QVPDF_Do: the document, page, metafile, link, destination, outline and output commands. Commands
// whose device parts are not in this build raise, so the host gets -1 and the debug sink says why.
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>

#include "QVK2PDFDLL/command_fields.h"
#include "QVK2PDFDLL/command_images.h"
#include "QVK2PDFDLL/draw_metafile.h"
#include "QVK2PDFDLL/engine_operations.h"
#include "QVK2PDFDLL/host_input.h"
#include "QVPDFDev/navigation/outline_node.h"
#include "QVPDFDev/pages/pdf_page.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

constexpr std::int32_t kBeginDocWidth = 576, kBeginDocHeight = 800, kBeginDocResolution = 72;

// Level 4 of the outline command is filed as kind 6.
constexpr std::int32_t kOutlineLevelAsChild = 4;
constexpr std::int32_t kOutlineKindChildOf = 6;
// Kind 2 files an entry one level up only with N = 0; with another N it would be listed and
// never written.
constexpr std::int32_t kOutlineKindLevelUp = 2;
// Longest UTF-16 outline title read behind the record's pointer.
constexpr std::size_t kMaxWideTitle = 65535;

[[noreturn]] void NotAvailable() {
  throw std::runtime_error("Command not available in this build");
}

std::string FileNameOf(const void* record) {
  std::string name;
  if (!HostText(record, kMaxHostFileName, name)) throw std::runtime_error("File name too long");
  return name;
}

// A second document while one is open would cut the first one off: it is refused, and the
// open document stays as it is.
std::int32_t BeginDoc(TQVPDFEngineContext& c, const void* record) {
  if (c.device.DocumentOpen())
    throw std::runtime_error("A document is open: end it (5559) before beginning another");
  if (record != nullptr) c.device.options.file.SetOutputFile(FileNameOf(record));
  return c.device.BeginDoc(kBeginDocWidth, kBeginDocHeight, kBeginDocResolution, 0) ? 0 : 1;
}

std::int32_t CopyToBuffer(TQVPDFEngineContext& c, std::int32_t value, void* record) {
  const std::int64_t result = c.device.CopyToBuffer(value, record);
  if (result > std::numeric_limits<std::int32_t>::max())
    throw std::runtime_error("The document is too large for a 32-bit size");
  return static_cast<std::int32_t>(result);
}

std::int32_t DrawMetafileCommand(TQVPDFEngineContext& c, std::int32_t value,
                                 const TQVPDFCommand* record) {
  qvplatform::HANDLE32 handle = static_cast<qvplatform::HANDLE32>(value);
  if (record == nullptr) {
    DrawMetafile(c.device, c.metafileBuffer, handle, 0, 0, 0, 0, 0, 0);
    return 0;
  }
  if (record->RecordForm >= QVPDF_COMMAND_LONG_FORM && record->Metafile != 0)
    handle = record->Metafile;
  DrawMetafile(c.device, c.metafileBuffer, handle, record->X, record->Y, record->Width,
               record->Height, record->Arg1, record->Arg2);
  return 0;
}

std::int32_t AddOutline(TQVPDFEngineContext& c, const TQVPDFCommand* record) {
  if (record == nullptr) throw std::runtime_error("The outline command needs a record");
  if (record->Level == kOutlineKindLevelUp && record->Parent != 0)
    throw std::runtime_error("Outline kind 2 files an entry only with Parent 0");
  TQVPDFDeviceEX& d = c.device;
  TQVOutlineTarget target;
  target.destName = std::string(FieldText(record->Name));
  target.mode = record->Arg1;
  target.zoom = record->Arg2;
  // Device units: the destination writer turns them into points with the device's
  // resolution when the entry is written.
  target.left = record->X;
  target.top = record->Y;
  target.right = qvplatform::ClampToInt32(std::int64_t{record->X} + record->Width);
  target.bottom = qvplatform::ClampToInt32(std::int64_t{record->Y} + record->Height);

  std::unique_ptr<TQVPDFOutlineNode> node;
  if ((record->TextFlags & QVPDF_TEXT_WIDE_TITLE) != 0 && record->Text != nullptr) {
    std::u16string title;
    if (!HostWideText(record->Text, kMaxWideTitle, title))
      throw std::runtime_error("Outline title too long");
    node = TQVPDFOutlineNode::CreateWide(&d, d.options.text.outlineCharset, std::move(title),
                                         std::move(target));
  } else {
    node = d.CreateOutlineNode(FieldText(record->Head.Name.Text), std::move(target));
  }
  const std::int32_t kind =
      record->Level == kOutlineLevelAsChild ? kOutlineKindChildOf : record->Level;
  return d.AddOutline(std::move(node), kind, record->Parent);
}

// Device units of the record in points, with the device's resolution.
std::int32_t CommandPoints(std::int32_t value, std::int32_t resolution) {
  if (resolution <= 0 || resolution == kBeginDocResolution) return value;
  return qvplatform::MulDiv(value, kBeginDocResolution, resolution);
}

// The link command: the name field is the slot's target, the text behind the pointer (when
// the flag says it is there) its action text.
std::int32_t AddLinkCommand(TQVPDFEngineContext& c, const TQVPDFCommand* record) {
  if (record == nullptr) throw std::runtime_error("The link command needs a record");
  TQVPDFDeviceEX& d = c.device;
  std::string action;
  if ((record->TextFlags & QVPDF_TEXT_LINK_TARGET) != 0 &&
      !HostText(record->Text, kMaxHostText, action))
    throw std::runtime_error("Link action too long");
  const std::int32_t x = CommandPoints(record->X, d.xResolution);
  const std::int32_t y = CommandPoints(record->Y, d.yResolution);
  d.AddLinkArea(x, y, CommandPoints(record->Width, d.xResolution),
                CommandPoints(record->Height, d.yResolution), std::string(FieldText(record->Name)),
                action);
  return 0;
}

// The destination command: a local name (global under Modes bit 31) at a position in device
// units, which the destination writer converts when it writes the position.
std::int32_t AddDestinationCommand(TQVPDFEngineContext& c, const TQVPDFCommand* record) {
  if (record == nullptr) throw std::runtime_error("The destination command needs a record");
  c.device.AddNamedDest(FieldText(record->Name), record->X, record->Y, false);
  return 0;
}

// The form commands name the form in the text at offset 8 of the head.
std::string FormName(const TQVPDFCommand* record) {
  if (record == nullptr) throw std::runtime_error("The form command needs a record");
  return std::string(FieldText(record->Head.Name.Text));
}

std::int32_t BeginXFormCommand(TQVPDFEngineContext& c, const TQVPDFCommand* record) {
  c.device.BeginXForm(FormName(record), record->Width, record->Height, c.xResolution, c.yResolution,
                      record->Arg1);
  return 0;
}

std::int32_t DrawXFormCommand(TQVPDFEngineContext& c, const TQVPDFCommand* record) {
  TQVPDFDeviceEX& d = c.device;
  const std::string name = FormName(record);
  if (!d.PageOpen()) throw std::runtime_error("No page active!");
  return d.DrawXForm(name, record->Arg1, CommandPoints(record->X, d.xResolution),
                     CommandPoints(record->Width, d.xResolution),
                     CommandPoints(record->Height, d.yResolution),
                     CommandPoints(record->Y, d.yResolution))
             ? 0
             : -1;
}

// The host's bitmap as the open page's thumbnail; no page or a handle that is no bitmap
// raises, so the host gets -1.
std::int32_t PageThumbnailCommand(TQVPDFEngineContext& c, std::int32_t value) {
  TQVPDFPage* page = c.device.CurrentPage();
  if (page == nullptr) throw std::runtime_error("No page active!");
  std::unique_ptr<TQVPDFImageStream> thumbnail =
      c.device.Images().AddBitmapEx(static_cast<qvplatform::HBITMAP>(value), kBitmapModeThumbnail);
  if (!thumbnail) throw std::runtime_error("The thumbnail is no bitmap");
  page->SetThumbnail(std::move(thumbnail));
  return 0;
}

// Answers -1 whenever it is given an alias, added or not: hosts rely on that result.
std::int32_t FontAlias(TQVPDFDevice& device, std::int32_t value, const void* record) {
  if (value != QVPDF_FONT_ALIAS_ADD || record == nullptr) return 0;
  std::string text;
  if (!HostText(record, kMaxHostText, text)) throw std::runtime_error("Font alias too long");
  device.AddFontAlias(text);
  return -1;
}

// Counts the commands running in a context. From inside a callback only the queries may run:
// a command that changes the document would free or move what the running command still uses
// (its fonts, its metafile bytes, the open page).
class TQVCommandNesting {
 public:
  TQVCommandNesting(TQVPDFEngineContext& c, std::int32_t command) : c_(c) {
    const bool query = command == QVPDF_CMD_COPY_TO_BUFFER ||
                       command == QVPDF_CMD_INTERFACE_VERSION ||
                       command == QVPDF_CMD_METAFILE_ERROR;
    if (c.commandDepth > 0 && !query)
      throw std::runtime_error("Command not allowed from inside the engine's callback");
    ++c_.commandDepth;
  }
  ~TQVCommandNesting() { --c_.commandDepth; }
  TQVCommandNesting(const TQVCommandNesting&) = delete;
  TQVCommandNesting& operator=(const TQVCommandNesting&) = delete;

 private:
  TQVPDFEngineContext& c_;
};

}  // namespace

std::int32_t RunCommand(TQVPDFEngineContext& c, std::int32_t command, std::int32_t value,
                        void* record) {
  if (command < QVPDF_CMD_FIRST || command > QVPDF_CMD_LAST) return -1;
  const TQVCommandNesting nesting(c, command);
  c.PassCallbackToDevice();
  TQVPDFDeviceEX& d = c.device;
  const auto* commandRecord = static_cast<const TQVPDFCommand*>(record);
  switch (command) {
    case QVPDF_CMD_BEGIN_DOC:
      return BeginDoc(c, record);
    case QVPDF_CMD_END_DOC:
      d.EndDoc();
      return 0;
    case QVPDF_CMD_BEGIN_PAGE:
      d.BeginPage(c.pageWidth, c.pageHeight, c.xResolution, c.yResolution, c.PageRotation());
      return 0;
    case QVPDF_CMD_END_PAGE:
      d.EndPage();
      return 0;
    case QVPDF_CMD_COPY_TO_BUFFER:
      return CopyToBuffer(c, value, record);
    case QVPDF_CMD_SAVE_TO_FILE:
      if (record == nullptr) throw std::runtime_error("No file name to save to");
      d.SaveToFile(FileNameOf(record));
      return 0;
    case QVPDF_CMD_CLOSE_OUTPUT_STREAM:
      d.CloseOutputStream();
      return 0;
    case QVPDF_CMD_ADD_LINK:
      return AddLinkCommand(c, commandRecord);
    case QVPDF_CMD_ADD_DESTINATION:
      return AddDestinationCommand(c, commandRecord);
    case QVPDF_CMD_ADD_OUTLINE:
      return AddOutline(c, commandRecord);
    case QVPDF_CMD_DRAW_METAFILE:
      return DrawMetafileCommand(c, value, commandRecord);
    case QVPDF_CMD_PAGE_THUMBNAIL:
      return PageThumbnailCommand(c, value);
    case QVPDF_CMD_BEGIN_XFORM:
      return BeginXFormCommand(c, commandRecord);
    case QVPDF_CMD_END_XFORM:
      d.EndXForm();
      return 0;
    case QVPDF_CMD_DRAW_XFORM:
      return DrawXFormCommand(c, commandRecord);
    case QVPDF_CMD_FONT_ALIAS:
      return FontAlias(d, value, record);
    case QVPDF_CMD_DRAW_IMAGE:
      return DrawImageCommand(c, static_cast<TQVPDFCommand*>(record));
    case QVPDF_CMD_ADD_ICC_COLOR_SPACE:
      return AddColorSpaceCommand(c, commandRecord);
    case QVPDF_CMD_ADD_FORM_FIELD:
      return AddFormFieldCommand(c, commandRecord);
    case QVPDF_CMD_ADD_JAVASCRIPT:
      return AddJavaScriptCommand(c, record);
    case QVPDF_CMD_BIND_DOC_ACTION:
      return BindDocumentActionCommand(c, record);
    case QVPDF_CMD_RESET_DEVICE:
      d.Reset();
      return 0;
    case QVPDF_CMD_INTERFACE_VERSION:
      return QVPDF_ENGINE_INTERFACE_VERSION;
    case QVPDF_CMD_METAFILE_ERROR:
      return d.metafileError ? 1 : 0;
    default:
      NotAvailable();
  }
}

}  // namespace vellora
