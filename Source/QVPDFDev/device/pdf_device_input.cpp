// The input PDF of a document: read at BeginDoc, handed page by page to the host in read mode,
// or copied into the output after the header with its pages kept in the page tree (appending)
// or turned into the forms "inpage" + n that the host places under or over new pages.
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/pages/pdf_form.h"
#include "QVPDFDev/reader/imported_page.h"
#include "QVPDFDev/reader/input_import.h"
#include "QVPDFDev/reader/input_page_content.h"
#include "QVPdfDC/number_format.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

constexpr std::int32_t kAppendMode = 1;
constexpr std::int32_t kConvertToWatermarkMode = 2;
constexpr std::int32_t kUseAsWatermarkMode = 3;
constexpr std::int32_t kAppendAfterMode = 4;
// The decoded content of one page, at most.
constexpr std::size_t kMaxPageContent = std::size_t{64} << 20;

// The kind-3 record: the 32-bit layout, then the pointer (as the public header has it).
struct ReadContentRecord {
  std::int32_t dataSize = 0;
  std::int32_t number = 0;
  std::int32_t answer = 0;
  std::int32_t reserved12 = 0;
  std::int32_t one = 1;
  std::int32_t reserved20 = 0, reserved24 = 0;
  float pageWidth = 0, pageHeight = 0;
  std::int32_t reserved36 = 0, reserved40 = 0;
  std::uint32_t data32 = 0;
  std::uint8_t reserved48[44] = {};
  std::uint32_t reserved92 = 0;
  const void* data = nullptr;
};
static_assert(offsetof(ReadContentRecord, pageWidth) == 28);
static_assert(offsetof(ReadContentRecord, reserved92) == 92);
static_assert(offsetof(ReadContentRecord, data) == 96 && sizeof(ReadContentRecord) == 104);

bool IsWatermarkMode(std::int32_t mode) {
  return mode == kConvertToWatermarkMode || mode == kUseAsWatermarkMode;
}

void AppendNumber(std::string& out, double value) {
  char digits[kMaxNumberChars];
  out.append(digits, FormatFixed(digits, value, 3));
}

// The form dictionary of an input page: the page's media box as the box, moved to the origin,
// in points (its placement undoes the page's scale), and the page's resources.
std::string InputFormDictionary(const TQVInputPage& page) {
  std::string text = "\n/Type/XObject/Subtype/Form/FormType 1\n/Matrix [1 0 0 1 ";
  AppendNumber(text, -page.box[0]);
  text += ' ';
  AppendNumber(text, -page.box[1]);
  text += "]\n/BBox [";
  for (int i = 0; i < 4; ++i) {
    if (i > 0) text += ' ';
    AppendNumber(text, page.box[i]);
  }
  text += "]\n/Resources ";
  const TQVPDFValue* resources = page.Find("Resources");
  if (resources != nullptr && !resources->IsNull()) {
    AppendValue(text, *resources);
  } else {
    text += "<< >>";
  }
  text += "\n";
  return text;
}

}  // namespace

void TQVPDFDevice::ReadInputFile(const std::string& fileName) {
  input_.reset();
  inputAborted = false;
  readContentCount = 0;
  const bool readOnly = options.file.readMode != 0;
  const std::int32_t mode = options.file.inputFileMode;
  // The input's objects would stay plain in an encrypted file.
  if (!readOnly && options.security.EncryptsFile() && options.writer.pdfaMode == folvioaOff)
    throw TQVPDFInputError("an input file cannot be copied into an encrypted document");

  std::unique_ptr<TQVInputImport> import = TQVInputImport::Open(fileName);
  if (!import) {
    options.file.inputFileMode = 0;
    return;
  }
  const TQVInputPageTree& tree = import->Tree();

  if (readOnly) {
    for (const TQVInputPage& page : tree.pages) {
      if (inputAborted) break;
      ++inputPageCount;
      if (receivers.engineCallback == nullptr) continue;
      const std::vector<std::uint8_t> content =
          ReadPageContent(import->File(), page, kMaxPageContent);
      ReadContentRecord record;
      record.dataSize = static_cast<std::int32_t>(content.size());
      record.number = ++readContentCount;
      record.pageWidth = static_cast<float>(page.Width());
      record.pageHeight = static_cast<float>(page.Height());
      record.data = content.data();
      receivers.engineCallback(receivers.engineUserData, 3, record.dataSize,
                               reinterpret_cast<const char*>(&record));
      if (record.answer != 0) inputAborted = true;
    }
    return;
  }

  // Every page's content must decode before the document takes anything of the input.
  if (IsWatermarkMode(mode))
    for (const TQVInputPage& page : tree.pages)
      ReadPageContent(import->File(), page, kMaxPageContent);
  import->Plan(IsWatermarkMode(mode));

  TQVPDFXRefList& xref = Output().XRef();
  if (xref.Count() != 1)
    throw std::logic_error("objects were numbered before the input file was read");
  const std::int32_t size = import->File().Size();
  for (std::int32_t n = 1; n < size; ++n)
    xref.Add(import->IsCopied(n) ? std::string(TQVPDFXRefList::kReservedPrefix) + "TQVInputObject"
                                 : std::string(TQVPDFXRefList::kFreeEntry));
  if (import->File().Version() >= "1.4") options.security.RequestVersion14();
  if (mode >= kAppendMode && mode <= kAppendAfterMode)
    inputPageCount = static_cast<std::int32_t>(tree.pages.size());
  input_ = std::move(import);
}

void TQVPDFDevice::WriteInputObjects() {
  if (!input_) return;
  std::unique_ptr<TQVInputImport> import = std::move(input_);
  import->Copy(Output());
  const std::int32_t mode = options.file.inputFileMode;
  std::int32_t n = 0;
  for (const TQVInputPage& page : import->Tree().pages) {
    ++n;
    if (mode == kAppendMode || mode == kAppendAfterMode) {
      std::string entries;
      page.AppendEntries(entries);
      auto placeholder = std::make_unique<TQVPDFImportedPage>(this, page.number, page.generation,
                                                              std::move(entries));
      placeholder->SetSize(static_cast<float>(page.Width()), static_cast<float>(page.Height()));
      if (mode == kAppendMode) {
        catalog_->AddPage(std::move(placeholder));
      } else {
        pendingPages_.push_back(std::move(placeholder));
      }
    } else if (IsWatermarkMode(mode)) {
      const std::int32_t width = qvplatform::Round32(page.Width() * xResolution / 72.0);
      const std::int32_t height = qvplatform::Round32(page.Height() * yResolution / 72.0);
      TQVPDFForm* form = WriteFormXObject("inpage" + std::to_string(n), width, height, xResolution,
                                          yResolution, 0, 0, "<< >>", "");
      form->SetExtraEntries(InputFormDictionary(page));
      form->widthPoints = static_cast<float>(page.Width());
      form->heightPoints = static_cast<float>(page.Height());
      form->scaledPlacement = true;
      form->SetData(ReadPageContent(import->File(), page, kMaxPageContent));
      form->WriteStream();
    }
  }
}

}  // namespace vellora
