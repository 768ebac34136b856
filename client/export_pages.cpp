// Pages and form objects: starting them with their page record, the page canvas and its
// hand-over to the engine, merge pages and watermarks, metafiles and their debug dump.
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "brenlow/custom_pdf_export.h"
#include "qvplatform/debug_output.h"
#include "qvplatform/device_context.h"

namespace brenlow {

namespace {

TQVPDFCommand CommandWithName(const std::string& name) {
  TQVPDFCommand c{};
  std::strncpy(c.Head.Name.Text, name.c_str(), sizeof c.Head.Name.Text - 1);
  return c;
}

// The folder of the running program ("" when it cannot be found).
std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.parent_path().string();
}

}  // namespace

void TQVCustomPDFExport::StartPage(std::int32_t width, std::int32_t height, std::int32_t xRes,
                                   std::int32_t yRes, std::int32_t rotation) {
  pageWidth_ = width;
  pageHeight_ = height;
  const bool ready = pageInitReady_;
  pageInitReady_ = false;
  try {
    StartPageEx(true, "", width, height, xRes, yRes, rotation);
  } catch (...) {
    pageInitReady_ = ready;
    throw;
  }
  pageInitReady_ = ready;
}

void TQVCustomPDFExport::StartXForm(const std::string& name, std::int32_t width,
                                    std::int32_t height, std::int32_t xRes, std::int32_t yRes) {
  if (!inDocument_) return;
  const bool ready = pageInitReady_;
  pageInitReady_ = false;
  try {
    StartPageEx(false, name, width, height, xRes, yRes, 0);
  } catch (...) {
    pageInitReady_ = ready;
    throw;
  }
  pageInitReady_ = ready;
}

void TQVCustomPDFExport::StartPageEx(bool isPage, const std::string& name, std::int32_t width,
                                     std::int32_t height, std::int32_t xRes, std::int32_t yRes,
                                     std::int32_t rotation) {
  if (!inDocument_)
    throw std::runtime_error("StartPage is only allowed within StartDoc and EndDoc!");
  if (isPage && inPage_) FlushPage();  // the open page keeps what was drawn on it
  const std::string mergeForm = isPage ? GetMergePage(width, height, xRes, yRes) : std::string();
  inPage_ = true;
  // A resolution of 0 or below would reach the page record and the canvas header.
  if (xRes <= 0) xRes = 72;
  if (yRes <= 0) yRes = 72;
  canvasWidth_ = width;
  canvasHeight_ = height;
  canvasXRes_ = xRes;
  canvasYRes_ = yRes;
  if (!pageInitReady_) {
    pageInit_ = TQVPDFPageInit{};
    pageInit_.Width = width;
    pageInit_.Height = height;
    pageInit_.XResolution = xRes;
    pageInit_.YResolution = yRes;
    pageInit_.RotationFlags = static_cast<std::uint32_t>(rotation);
    pageInit_.PageColor = pageColor_;
    pageInit_.CreateThumbnails = createThumbnails_ ? 1 : 0;
    InitializePage(pageInit_);
    if (isPage) {
      ++pageCount_;
      Do(QVPDF_CMD_BEGIN_PAGE, 0, nullptr);
      if (inputPageCount_ > 0 && inputfileMode_ == qvUseInputAsWatermark) {
        const int n = pageCount_ < inputPageCount_ ? pageCount_ : inputPageCount_;
        DrawInputPage("inpage" + std::to_string(n));
      }
    } else {
      TQVPDFCommand c = CommandWithName(name);
      c.Width = width;
      c.Height = height;
      Do(QVPDF_CMD_BEGIN_XFORM, 0, &c);
    }
  }
  CloseCanvas();
  FreePageMetafile();
  if (!mergeForm.empty()) DrawInputPage(mergeForm);
}

std::string TQVCustomPDFExport::GetMergePage(std::int32_t width, std::int32_t height,
                                             std::int32_t xRes, std::int32_t yRes) {
  if (!OnMergePage) return {};
  HENHMETAFILE handle = 0;
  std::string fileName;
  OnMergePage(*this, pageCount_ + 1, handle, fileName);
  const std::string key = handle != 0        ? std::to_string(handle)
                          : fileName.empty() ? std::string()
                                             : fileName;
  if (key.empty()) return {};
  if (const int known = mergeCache_.IndexOf(key); known >= 0) {
    // A merge file that failed once is not tried again.
    const auto form = mergeCache_.Objects(known);
    return form < 0 ? std::string() : "XQVK" + std::to_string(form);
  }
  const int form = mergeForms_++;
  const std::string name = "XQVK" + std::to_string(form);
  bool drawn = true;
  StartXForm(name, width, height, xRes, yRes);
  if (handle != 0) {
    DrawMetafileAt(0, 0, handle);
  } else {
    try {
      qvplatform::TMetafile file;
      if (!file.LoadFromFile(fileName) || file.Handle() == 0)
        throw std::runtime_error("cannot load " + fileName);
      DrawMetafileAt(0, 0, file.Handle());
    } catch (const std::exception& e) {
      qvplatform::OutputDebugString(std::string("PDF Engine - merge page: ") + e.what());
      drawn = false;
    }
  }
  EndXForm();
  mergeCache_.AddObject(key, drawn ? form : -1);
  return drawn ? name : std::string();
}

void TQVCustomPDFExport::EndXForm() {
  if (!inDocument_) return;
  CloseCanvas();
  if (pageMetafile_ && pageMetafile_->Handle() != 0) {
    try {
      DrawMetafileAt(0, 0, pageMetafile_->Handle());
    } catch (...) {
    }
  }
  FreePageMetafile();
  inPage_ = false;
  Do(QVPDF_CMD_END_XFORM, 0, nullptr);
}

void TQVCustomPDFExport::DrawXForm(const std::string& name, std::int32_t x, std::int32_t y,
                                   std::int32_t w, std::int32_t h) {
  if (!inDocument_) return;
  TQVPDFCommand c = CommandWithName(name);
  c.X = x;
  c.Y = y;
  c.Width = w;
  c.Height = h;
  Do(QVPDF_CMD_DRAW_XFORM, 0, &c);
}

void TQVCustomPDFExport::DrawInputPage(const std::string& name) {
  DrawXForm(name, 0, 0, pageWidth_, pageHeight_);
}

void TQVCustomPDFExport::DrawMetafile(std::int32_t x, std::int32_t y, std::int32_t w,
                                      std::int32_t h, HENHMETAFILE handle, std::int32_t xRes,
                                      std::int32_t yRes) {
  if (!inDocument_) return;
  TQVPDFCommand c{};
  c.X = x;
  c.Y = y;
  c.Width = w;
  c.Height = h;
  c.Arg1 = xRes;
  c.Arg2 = yRes;
  if (Do(QVPDF_CMD_DRAW_METAFILE, static_cast<std::int32_t>(handle), &c) == -1) {
    metafileError_ = true;
    qvplatform::OutputDebugString("PDF Engine - the metafile " + std::to_string(handle) +
                                  " could not be drawn");
  }
  if (debugMode_) DumpMetafile(handle);
}

void TQVCustomPDFExport::DrawMetafileAt(std::int32_t x, std::int32_t y, HENHMETAFILE handle) {
  DrawMetafile(x, y, 0, 0, handle, 0, 0);
}

void TQVCustomPDFExport::DumpMetafile(HENHMETAFILE handle) {
  const std::string folder =
      !debugMetafilePath_.empty() ? debugMetafilePath_ : ProgramFolder() + "/Debug";
  const std::string file = folder + "/Page" + std::to_string(pageCount_) + ".EMF";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const HENHMETAFILE copy = qvplatform::CopyEnhMetaFile(handle, file.c_str());
  if (copy != 0) qvplatform::DeleteEnhMetaFile(copy);
  if (!OnError) return;
  try {
    OnError(*this, 0,
            (copy != 0 ? "Wrote debug file:" : "Problem while writing debug file:") + file);
  } catch (...) {
  }
}

qvplatform::TMetafileCanvas& TQVCustomPDFExport::Canvas() {
  if (!inPage_) throw std::logic_error("The page canvas exists only between StartPage and EndPage");
  if (!pageMetafile_) pageMetafile_ = std::make_unique<TFolvioEnhMetafile>();
  if (qvplatform::TMetafileCanvas* open = pageMetafile_->DrawCanvas()) return *open;
  return pageMetafile_->BeginDraw(canvasWidth_, canvasHeight_, canvasXRes_, canvasYRes_);
}

void TQVCustomPDFExport::CloseCanvas() {
  if (!pageMetafile_) return;
  if (canvasReference_ == qvrefPrinter) {
    pageMetafile_->CloseDrawCanvas();
  } else {
    pageMetafile_->EndDraw();
  }
}

void TQVCustomPDFExport::FlushPage() {
  std::int32_t xRes = 0, yRes = 0;
  if (pageMetafile_ && pageMetafile_->DrawCanvas() != nullptr) {
    xRes = pageMetafile_->DrawCanvas()->GetDeviceCaps(qvplatform::LOGPIXELSX);
    yRes = pageMetafile_->DrawCanvas()->GetDeviceCaps(qvplatform::LOGPIXELSY);
    Lock();
    try {
      CloseCanvas();
    } catch (...) {
      Unlock();
      FreePageMetafile();
      throw;
    }
    Unlock();
  }
  std::unique_ptr<TFolvioEnhMetafile> page = std::move(pageMetafile_);
  if (page && page->Handle() != 0) DrawMetafile(0, 0, 0, 0, page->Handle(), xRes, yRes);
}

void TQVCustomPDFExport::EndPage() {
  std::exception_ptr failure;
  try {
    BeforeEndPage();
    FlushPage();
  } catch (...) {
    failure = std::current_exception();
  }
  inPage_ = false;
  if (inDocument_ && engineContext_ != nullptr) Do(QVPDF_CMD_END_PAGE, 0, nullptr);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace brenlow
