// The document lifecycle of the PDF device: BeginDoc opens the output and creates the
// document's objects, EndDoc writes what is left and frees them.
#include <mutex>
#include <stdexcept>

#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/metadata/info_dictionary.h"
#include "QVPDFDev/objects/pdf_simple_objects.h"
#include "QVPDFDev/reader/input_import.h"
#include "QVPDFDev/resources/pdf_resource.h"
#include "QVPDFDev/security/encrypt_info.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

// Guards the creation of output files across the devices of the process.
std::mutex& OutputFileLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

void TQVPDFDevice::OpenOutput() {
  TQVPDFOutputSink& sink = output_->Sink();
  outputFileNameUsed.clear();
  if (options.file.outputFileName.empty() || options.file.readMode != 0) {
    sink.OpenMemory();
  } else {
    bool created = false;
    {
      std::lock_guard<std::mutex> lock(OutputFileLock());
      try {
        sink.OpenFile(options.file.outputFileName);
        created = true;
      } catch (const std::exception&) {
      }
    }
    if (!created) {
      ReportMessage(3, options.file.outputFileName);
      throw std::runtime_error("Cannot create file " + options.file.outputFileName);
    }
    outputFileNameUsed = options.file.outputFileName;
  }
  hasOutput_ = true;
}

bool TQVPDFDevice::BeginDoc(std::int32_t width, std::int32_t height, std::int32_t resolution,
                            std::int32_t reserved) {
  (void)reserved;
  FreeDocument();  // a document that was begun and never ended

  // Encryption is decided once, before anything is created: a handler that cannot be made
  // (no random bytes) stops the document here. PDF/A forbids encryption, so such a document
  // is written as PDF/A and the host hears why it is not encrypted; read mode writes nothing.
  std::unique_ptr<TFolvioEncryptInfo> encryption;
  if (options.security.EncryptsFile() && options.file.readMode == 0) {
    if (options.writer.pdfaMode != folvioaOff)
      ReportMessage(11, kEncryptionNotAllowedInPDFA);
    else
      encryption = std::make_unique<TFolvioEncryptInfo>(this, options.security);
  }

  documentTime = TQVDocumentTime::Now();
  CloseOutputStream();
  OpenOutput();

  try {
    documentOpen_ = true;
    pageOpen_ = false;
    Reset();
    dcStack.Clear();
    ClearTempObjects();
    lostCharacterReported = false;

    fileId_ = NewFileIdentifier();

    if (resolution <= 0) resolution = 72;
    xResolution = yResolution = resolution;
    pageWidth = static_cast<float>(qvplatform::MulDiv(width, 72, resolution));
    pageHeight = static_cast<float>(qvplatform::MulDiv(height, 72, resolution));
    firstPageSizePending = true;

    localDestinations_.Clear();
    annotations_.clear();
    formFieldCounter = 1;
    currentPage_.reset();
    lastPage_ = nullptr;
    currentContent_ = nullptr;
    xformStream = nullptr;
    lastForm = nullptr;
    output_->XRef().Reset();
    encryption_ = std::move(encryption);

    // Numbers are taken when the objects are first referenced or written.
    catalog_ = CreateCatalog();
    nullObjects_[0] = std::make_unique<TQVPDFNull>(this);
    nullObjects_[1] = std::make_unique<TQVPDFNull>(this);
    resources_ = std::make_unique<TQVPDFResource>(this);

    contentOptions.pdfAConformance = options.writer.pdfaMode != folvioaOff;
    if (contentOptions.pdfAConformance) {
      auto intents = std::make_unique<TQVPDFOutputIntents>(this);
      catalog_->SetOutputIntents(std::move(intents));
      AddICCColorSpace("C1", 1, nullptr, 0, 3, "");
    }

    inputPageCount = 0;
    if (!options.file.inputFileName.empty() && options.file.inputFileMode >= 1 &&
        options.file.inputFileMode <= 5) {
      const std::string& name = options.file.inputFileName;
      try {
        ReadInputFile(name);
        if (receivers.notifyCallback != nullptr)
          receivers.notifyCallback(receivers.callbackUserData, 4, name.c_str(), inputPageCount);
      } catch (const std::exception& e) {
        // The document goes on as if no input had been given.
        input_.reset();
        inputPageCount = 0;
        ReportMessage(6, name + ": " + e.what());
        options.file.inputFileMode = 0;
      }
    }
    if (receivers.engineCallback != nullptr)
      receivers.engineCallback(receivers.engineUserData, 2, inputPageCount, "");

    if (options.file.readMode == 0) {
      WriteHeader();
      WriteInputObjects();
    }
  } catch (...) {
    FreeDocument();
    throw;
  }
  return true;
}

void TQVPDFDevice::EndDoc() {
  if (!documentOpen_) return;
  if (xformStream != nullptr) EndXForm();
  if (currentPage_) {
    try {
      EndPage();
    } catch (...) {
      // The file is closed whatever the page did.
    }
    // A page that could not be ended still belongs to the document: links, outline entries
    // and destinations may name it.
    if (currentPage_) {
      try {
        currentPage_->SetSize(pageWidth, pageHeight);
        catalog_->AddPage(std::move(currentPage_));
      } catch (...) {
      }
    }
  }
  pageOpen_ = false;

  for (auto& page : pendingPages_) catalog_->AddPage(std::move(page));
  pendingPages_.clear();

  // A memory output keeps its bytes for CopyToBuffer and SaveToFile; a file is closed and
  // read back from its name.
  TQVPDFOutputSink& sink = output_->Sink();
  try {
    if (options.file.readMode == 0) WriteXRefAndTrailer();
  } catch (...) {
    try {
      sink.Close();
    } catch (...) {
      // The first failure is the one reported.
    }
    FreeDocument();
    throw;
  }
  try {
    sink.Close();
  } catch (...) {
    FreeDocument();
    throw;
  }
  FreeDocument();
}

void TQVPDFDevice::FreeDocument() {
  documentOpen_ = false;
  pageOpen_ = false;
  // Drawing that was under way has nowhere to go.
  if (outputOpen) {
    while (PopWriterState()) {
    }
    workBuffer.Reset();
    outputOpen = false;
    outputStream = nullptr;
    openObject = kOpenNothing;
  }
  currentContent_ = nullptr;
  contentSink_.stream = nullptr;
  xformStream = nullptr;
  lastForm = nullptr;
  lastPage_ = nullptr;
  localDestinations_.Clear();
  currentPage_.reset();
  pendingPages_.clear();
  // Pages list annotations by pointer: the pages go with the catalog below.
  annotations_.clear();
  emptyAppearance_.reset();
  // Image names map to image numbers of this document's XObject list.
  imageAliases.Clear();
  pendingImageName.clear();
  pendingBitmapName.clear();
  commandState_.Clear();
  input_.reset();
  ClearTempObjects();
  output_->SetCipher(nullptr);
  encryption_.reset();
  info_.reset();
  catalog_.reset();
  nullObjects_[0].reset();
  nullObjects_[1].reset();
  ReleaseFonts();
  resources_.reset();
}

void TQVPDFDevice::ClearTempObjects() { pendingObjects_.clear(); }

}  // namespace vellora
