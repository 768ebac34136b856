#include "QVPDFDev/resources/pdf_resource.h"

#include "QVPDFDev/objects/pdf_name_escape.h"
#include "QVPDFDev/resources/srgb_profile.h"

namespace vellora {
namespace {

template <class T>
void WriteUnwrittenStreams(const TQVNamedObjectList<T>& list) {
  for (std::size_t i = 0; i < list.Count(); ++i)
    if (!list.At(i)->IsWritten()) list.At(i)->WriteStream();
}

}  // namespace

TQVPDFColorSpaceStream* TQVPDFResource::AddICCColorSpace(std::string_view name, int kind,
                                                         const std::uint8_t* data,
                                                         std::size_t length,
                                                         std::int32_t components,
                                                         std::string intentText) {
  if (TQVPDFColorSpaceStream* existing = colorSpaces_.Find(name)) return existing;
  auto stream = std::make_unique<TQVPDFColorSpaceStream>(Owner(), 3, std::move(intentText));
  stream->BeginData();
  if (data != nullptr) {
    stream->SetComponents(components);
    stream->WriteBytes(data, length);
  } else {
    const std::span<const std::uint8_t> profile = BuiltInSRGBProfile();
    stream->WriteBytes(profile.data(), profile.size());
  }
  TQVPDFColorSpaceStream* added = stream.get();
  if (name == "C1" && kind == 1) {
    outputIntentProfile_ = added;
  } else if (secondProfile_ == nullptr) {
    secondProfile_ = added;
  }
  colorSpaces_.Add(std::string(name), std::move(stream));
  return added;
}

void TQVPDFResource::WriteObject() {
  for (auto& encoding : encodings_)
    if (!encoding->IsWritten()) encoding->WriteObject();
  for (auto& font : fonts_)
    if (!font->IsWritten()) font->WriteObject();
  WriteUnwrittenStreams(colorSpaces_);
  WriteUnwrittenStreams(patterns_);
  WriteUnwrittenStreams(xobjects_);

  TQVPDFFileWriter& out = Out();
  MarkWritten();
  out.WriteLn(ObjHeader());
  out.WriteLn("/ProcSet [/PDF/Text/ImageC]");
  WriteObjectDict("Font", "", 0, fonts_);
  if (!colorSpaces_.Empty() || !patterns_.Empty()) {
    out.WriteLn("/ColorSpace <<");
    std::string line;
    for (std::size_t i = 0; i < colorSpaces_.Count(); ++i) {
      AppendNameEntry(line, colorSpaces_.NameAt(i));
      line += " [/ICCBased " + colorSpaces_.At(i)->GetReference() + "]  ";
    }
    if (patterns_.Empty()) {
      line += ">>";
      out.WriteLn(line);
    } else {
      out.Write(line);
      // The uncoloured patterns are painted through the colour space "Brush".
      out.WriteLn("/Brush[/Pattern/DeviceRGB]>>");
      line = "/Pattern <<";
      for (std::size_t i = 0; i < patterns_.Count(); ++i) {
        AppendNameEntry(line, patterns_.NameAt(i));
        line += ' ' + patterns_.At(i)->GetReference() + ' ';
      }
      line += ">>";
      out.WriteLn(line);
    }
  }
  WriteObjectDict("XObject", "/qvk", 1, xobjects_.Objects());
  out.WriteObjectEnd(false);
}

}  // namespace vellora
