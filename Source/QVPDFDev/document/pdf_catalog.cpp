#include "QVPDFDev/document/pdf_catalog.h"

namespace vellora {

TQVPDFCatalog::TQVPDFCatalog(TQVPDFObjectOwner* owner)
    : TQVCustomPDFType(owner),
      pages_(std::make_unique<TQVPDFPages>(owner)),
      outline_(std::make_unique<TQVPDFOutline>(owner)),
      names_(std::make_unique<TQVPDFNames>(owner)),
      namedDestinations_(std::make_unique<TQVPDFNamedDest>(owner)),
      structTreeRoot_(std::make_unique<TQVPDFStructTreeRoot>(owner)),
      metadata_(std::make_unique<TQVXMPString>(owner)) {
  names_->SetDestinations(namedDestinations_.get());
}

TQVPDFCatalog::~TQVPDFCatalog() = default;

void TQVPDFCatalog::WriteObject() {
  const bool hasOutline = outline_->HasFirstNode();
  const bool hasDestinations = namedDestinations_->Count() > 0;
  const bool tagged = structTreeRoot_->TopLevelCount() > 0;
  if (hasOutline && !outline_->IsWritten()) outline_->WriteObject();
  if (hasDestinations) {
    if (!namedDestinations_->IsWritten()) namedDestinations_->WriteObject();
    if (!names_->IsWritten()) names_->WriteObject();
  }
  if (tagged && !structTreeRoot_->IsWritten()) structTreeRoot_->WriteObject();
  if (outputIntents_ && !outputIntents_->IsWritten()) outputIntents_->WriteObject();

  const TQVPDFWriterSettings& settings = Owner()->WriterSettings();
  TQVPDFFileWriter& out = Out();
  MarkWritten();
  out.WriteLn(ObjHeader());
  out.WriteLn("/Type/Catalog");
  out.WriteLn("/Pages " + pages_->GetReference());
  if (hasOutline) out.WriteLn("/Outlines " + outline_->GetReference());
  if (settings.HasOption(qvHideToolbar) || settings.HasOption(qvHideMenuBar) ||
      settings.HasOption(qvHideWindowUI)) {
    std::string line = "/ViewerPreferences<<";
    if (settings.HasOption(qvHideToolbar)) line += "/HideToolbar true";
    if (settings.HasOption(qvHideMenuBar)) line += "/HideMenubar true";
    if (settings.HasOption(qvHideWindowUI)) line += "/HideWindowUI true";
    line += ">>";
    out.WriteLn(line);
  }
  if (hasDestinations) out.WriteLn("/Names " + names_->GetReference());
  if (tagged) {
    out.WriteLn("/MarkInfo <</Marked true>>");
    out.WriteLn("/StructTreeRoot " + structTreeRoot_->GetReference());
  } else if (settings.pdfaMode == folvioaLevelA) {
    out.WriteLn("/MarkInfo <</Marked true>>");
  }
  if (metadata_->HasProperties()) out.WriteLn("/Metadata " + metadata_->GetReference());
  const std::string language = Owner()->DocumentLanguage();
  if (!language.empty()) out.WriteLn("/Lang" + LiteralString(language));
  if (outputIntents_) out.Write("/OutputIntents " + outputIntents_->GetReference());
  WriteEntries();
  switch (settings.pageMode) {
    case pwUseNone:
      out.WriteLn("/PageMode/UseNone");
      break;
    case qvUseOutlines:
      out.WriteLn("/PageMode/UseOutlines");
      break;
    case qvUseThumbs:
      out.WriteLn("/PageMode/UseThumbs");
      break;
    case qvFullScreen:
      out.WriteLn("/PageMode/FullScreen");
      break;
  }
  TQVPDFPage* first = pages_->FirstPage();
  std::string goTo;
  if (first != nullptr) {
    const char* fit = settings.zoomMode == pwZoomFitPage         ? "/Fit]"
                      : settings.zoomMode == pwZoomFitVertical   ? "/FitV]"
                      : settings.zoomMode == pwZoomFitHorizontal ? "/FitH]"
                                                                 : nullptr;
    if (fit != nullptr) goTo = "/Type/Action/S/GoTo/D[" + first->GetReference() + fit;
  }
  WriteOpenAction(goTo);
  out.WriteObjectEnd(false);
}

void TQVPDFCatalog::WriteOpenAction(const std::string& goToAction) {
  if (!goToAction.empty()) Out().WriteLn("/OpenAction <<" + goToAction + ">>");
}

}  // namespace vellora
