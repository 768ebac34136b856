#include "pdf_test_owner.h"

namespace vellora_test {

void XorCipher::EncryptObjectData(std::int32_t objectNumber, std::uint8_t* bytes,
                                  std::size_t count) {
  objects.push_back(objectNumber);
  for (std::size_t i = 0; i < count; ++i) bytes[i] ^= static_cast<std::uint8_t>(objectNumber + 1);
}

std::string TestOwner::Bytes() const {
  const auto& bytes = const_cast<TestOwner*>(this)->writer.Sink().MemoryBytes();
  return std::string(bytes.begin(), bytes.end());
}

std::string TestOwner::Take() {
  std::string all = Bytes();
  std::string part = all.substr(taken_);
  taken_ = all.size();
  return part;
}

void WriteTestHeader(TestOwner& owner) {
  owner.writer.WriteLn("%PDF-1.4");
  owner.writer.WriteLn("%\xE2\xE3\xCF\xD3");
}

std::string FinishTestFile(TestOwner& owner, vellora::TQVCustomPDFType& root) {
  const std::uint64_t xref = owner.writer.WriteXRefTable();
  owner.writer.Write("trailer\n<<\n/Size " + std::to_string(owner.writer.XRef().Count()) + "\r\n");
  owner.writer.WriteLn("/Root " + root.GetReference());
  owner.writer.WriteLn(">>");
  owner.writer.WriteLn("startxref");
  owner.writer.WriteLn(std::to_string(xref));
  owner.writer.WriteLn("%%EOF");
  return owner.Bytes();
}

}  // namespace vellora_test
