#include "ex_test_document.h"

#include "command_record.h"

namespace vellora_test {

ExDocument::ExDocument() : picture_(PointPicture(kPageWidth, kPageHeight)) {
  device.BeginDoc(576, 800, 72, 0);
}

ExDocument& ExDocument::Command(std::int32_t code, const std::string& text, qvplatform::RECTL r) {
  picture_.GdiComment(CommandRecord(code, kCommandAnsi, r, text));
  return *this;
}

ExDocument& ExDocument::Unicode(std::int32_t code, const std::u16string& text,
                                qvplatform::RECTL r) {
  picture_.GdiComment(UnicodeCommandRecord(code, r, text));
  return *this;
}

ExDocument& ExDocument::Comment(const std::vector<std::uint8_t>& data) {
  picture_.GdiComment(data);
  return *this;
}

void ExDocument::Play() {
  const std::vector<unsigned char> emf = picture_.Bytes();
  device.PlayMetafile(emf.data(), emf.size(), 0, 0, 0, 0, false, 0, 0);
  played_ = true;
}

std::string ExDocument::Finish() {
  if (!played_) Play();
  device.EndDoc();
  return DocumentBytes(device);
}

}  // namespace vellora_test
