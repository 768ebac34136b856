// Form XObjects of the PDF device: opening one for drawing, its stream and dictionary, and
// placing a closed form (and the forms linked behind it) into the current content.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDev/pages/pdf_form.h"
#include "QVPDFDev/resources/pdf_resource.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

using TQVXObjectList = TQVNamedObjectList<TQVPDFStream>;

// Whether the XObject list already answers to the name: an entry key, or "qvk" + position for
// the entries listed without one.
bool NameInUse(const TQVXObjectList& list, const std::string& name) {
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const std::string& key = list.At(i)->EntryKey();
    if (TQVXObjectList::SameName(key.empty() ? "qvk" + std::to_string(i + 1) : key, name))
      return true;
  }
  return false;
}

// The first form listed under the name, ignoring case.
TQVPDFForm* FindForm(const TQVXObjectList& list, const std::string& name) {
  for (std::size_t i = 0; i < list.Count(); ++i) {
    auto* form = dynamic_cast<TQVPDFForm*>(list.At(i));
    if (form != nullptr && TQVXObjectList::SameName(form->EntryKey(), name)) return form;
  }
  return nullptr;
}

}  // namespace

void TQVPDFDevice::BeginXForm(const std::string& name, std::int32_t width, std::int32_t height,
                              std::int32_t xRes, std::int32_t yRes, std::int32_t option) {
  if (lastForm != nullptr) EndXForm();
  if (xRes == 0) xRes = xResolution;
  if (yRes == 0) yRes = yResolution;
  if (currentPage_ || pageOpen_ || xformStream != nullptr)
    throw std::runtime_error("Stream is active - XForm may not be created!");
  if (!documentOpen_) throw std::runtime_error("Device is not open!");
  if (xRes <= 0 || yRes <= 0 || width < 0 || height < 0)
    throw std::runtime_error("XForm size or resolution is invalid");

  TQVPDFForm* form =
      WriteFormXObject(name, width, height, xRes, yRes, option, 0, std::string(), std::string());
  Reset();  // before the form's resolution and height are set: a reset forgets them
  pageWidth = form->widthPoints;
  pageHeight = form->heightPoints;
  xResolution = xRes;
  yResolution = yRes;
  dcStack.SetResolution(xRes, yRes);
  dcStack.pageOrigin = {0, qvplatform::Round32(pageHeight)};

  xformStream = form;
  lastForm = form;
  form->inProgress = true;
  pageOpen_ = true;
  StartContent(form);
}

TQVPDFForm* TQVPDFDevice::WriteFormXObject(const std::string& name, std::int32_t width,
                                           std::int32_t height, std::int32_t xRes,
                                           std::int32_t yRes, std::int32_t /*option*/,
                                           std::int32_t resourcesNumber,
                                           const std::string& resourcesText,
                                           const std::string& boundingBox) {
  TQVNamedObjectList<TQVPDFStream>& list = resources_->XObjects();
  const std::string key = name.empty() ? "qvk" + std::to_string(list.Count() + 1) : name;
  if (key.size() > kMaxFormNameLength || key.find('\0') != std::string::npos)
    throw std::runtime_error("XForm name too long");
  if (NameInUse(list, key)) throw std::runtime_error("XForm name already used: " + key);

  auto form = std::make_unique<TQVPDFForm>(this);
  form->SetEntryKey(key);
  std::string resources = resourcesText;
  if (resources.empty())
    resources = resourcesNumber != 0 ? std::to_string(resourcesNumber) + " 0 R"
                                     : resources_->GetReference();
  form->xResolution = xRes;
  form->yResolution = yRes;
  form->widthPoints = static_cast<float>(qvplatform::MulDiv(width, 72, xRes));
  form->heightPoints = static_cast<float>(qvplatform::MulDiv(height, 72, yRes));
  form->SetExtraEntries(FormDictionaryText(width, height, xRes, yRes, resources, boundingBox));
  TQVPDFForm* made = form.get();
  list.Add(key, std::move(form));
  made->BeginData();
  return made;
}

bool TQVPDFDevice::DrawXForm(const std::string& name, std::int32_t /*linkOption*/,
                             std::int32_t /*x*/, std::int32_t /*width*/, std::int32_t /*height*/,
                             std::int32_t /*y*/) {
  if (resources_ == nullptr) return false;
  TQVPDFForm* form = FindForm(resources_->XObjects(), name);
  if (form == nullptr) {
    ReportMessage(2, "no form XObject named " + name);
    return false;
  }
  const bool savedInsideForm = insideForm;
  ++formDepth;
  struct Restore {
    TQVPDFDevice& d;
    bool inside;
    ~Restore() {
      d.insideForm = inside;
      --d.formDepth;
    }
  } restore{*this, savedInsideForm};
  insideForm = true;
  textStateResetPending = true;
  PrepareDraw();

  // A form and the forms linked behind it, each once: a form never invokes itself.
  std::vector<TQVPDFForm*> placed;
  for (TQVPDFForm* f = form; f != nullptr && placed.size() < kMaxLinkedForms; f = f->linkedForm) {
    if (f->inProgress || f == xformStream ||
        std::find(placed.begin(), placed.end(), f) != placed.end())
      break;
    placed.push_back(f);
    std::string text;
    const bool bracketed = f->scaledPlacement || f->heightPoints != 0;
    if (f->scaledPlacement) {
      // The form is in points: undo the DC's scale, and stand it below the DC's origin (the
      // page's top) by its height, so that an input page covers the page it came from.
      text = " q ";
      const XFORM& m = dcStack.Matrix();
      if (!std::isfinite(m.eM11) || !std::isfinite(m.eM22) || m.eM11 == 0 || m.eM22 == 0) break;
      // Six decimals: at 300 dpi three would move a page's content by a fifth of a point.
      workBuffer.AddString(text);
      workBuffer.AddFloat(1.0L / m.eM11, 6);
      workBuffer.AddString("0 0 ");
      workBuffer.AddFloat(1.0L / m.eM22, 6);
      workBuffer.AddString("0 ");
      workBuffer.AddFloat(-f->heightPoints / m.eM22, 6);
      text = "cm ";
    } else if (f->heightPoints != 0) {
      // The content stands in the DC's frame (origin at the page's top, y up, m points per
      // unit); the form's matrix scales its points by its resolution and its drawing stands
      // above its origin by its own height: undo both, so that it shows at its size in points.
      const XFORM& m = dcStack.Matrix();
      const long double mx = std::fabs(m.eM11), my = std::fabs(m.eM22);
      if (!std::isfinite(mx) || !std::isfinite(my) || mx < 1e-9L || my < 1e-9L) break;
      workBuffer.AddString(" q ");
      workBuffer.AddFloat(72.0L / (mx * f->xResolution), 3);
      workBuffer.AddString("0 0 ");
      workBuffer.AddFloat(72.0L / (my * f->yResolution), 3);
      workBuffer.AddString("0 ");
      workBuffer.AddFloat(-f->heightPoints / my, 3);
      text = "cm ";
    }
    AppendNameEntry(text, f->EntryKey());
    text += bracketed ? " Do Q\n" : " Do\n";
    workBuffer.AddString(text);
  }
  return true;
}

}  // namespace vellora
