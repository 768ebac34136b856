#include "QVPDFDev/resources/pdf_color_space.h"

#include "QVPDFDev/resources/pdf_resource.h"

namespace vellora {
namespace {

std::string_view AlternateSpace(std::int32_t components) {
  switch (components) {
    case 1:
      return "/Alternate/DeviceGray";
    case 3:
      return "/Alternate/DeviceRGB";
    case 4:
      return "/Alternate/DeviceCMYK";
    default:
      return {};  // no device space of that size: /Alternate is optional
  }
}

TQVPDFColorSpaceStream* IntentProfile(TQVPDFObjectOwner* owner, bool& second) {
  TQVPDFResource* resources = owner ? owner->SharedResources() : nullptr;
  second = false;
  if (resources == nullptr) return nullptr;
  if (TQVPDFColorSpaceStream* profile = resources->SecondProfile()) {
    second = true;
    return profile;
  }
  return resources->OutputIntentProfile();
}

}  // namespace

void TQVPDFColorSpaceStream::WriteStream() {
  std::string extra(AlternateSpace(components_));
  extra += "/N ";
  extra += std::to_string(components_);
  SetExtraEntries(std::move(extra));
  TQVPDFStream::WriteStream();
}

std::string TQVPDFOutputIntents::AsString() {
  bool second = false;
  TQVPDFColorSpaceStream* profile = IntentProfile(Owner(), second);
  if (profile == nullptr) return "[]";
  if (second) {
    // Without intent entries of its own the profile still gets the required /S.
    const std::string& intent =
        profile->IntentText().empty() ? std::string("/S/GTS_PDFA1") : profile->IntentText();
    return "[<<" + intent +
           "/OutputConditionIdentifier(Custom)/OutputCondition()/DestOutputProfile  " +
           profile->GetReference() + "/Type/OutputIntent/RegistryName()>>]";
  }
  return "[<</Info(sRGB IEC61966-2.1)/S/GTS_PDFA1/OutputConditionIdentifier(Custom)"
         "/OutputCondition()/DestOutputProfile " +
         profile->GetReference() + "/Type/OutputIntent/RegistryName()>>]";
}

void TQVPDFOutputIntents::WriteObject() {
  TQVCustomPDFType::WriteObject();
  bool second = false;
  TQVPDFColorSpaceStream* profile = IntentProfile(Owner(), second);
  if (profile != nullptr && !profile->IsWritten()) profile->WriteStream();
}

}  // namespace vellora
