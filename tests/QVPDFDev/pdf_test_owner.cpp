#include "pdf_test_owner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <random>

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

CommandResult RunCommand(const std::string& command, bool dropErrors) {
  CommandResult result;
  FILE* pipe = popen((command + (dropErrors ? " 2>/dev/null" : " 2>&1")).c_str(), "r");
  if (pipe == nullptr) return result;
  std::array<char, 4096> buffer;
  std::size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    result.out.append(buffer.data(), n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

bool HaveCommand(const char* name) {
  return RunCommand(std::string("command -v ") + name + " >/dev/null").status == 0;
}

TempFile::TempFile(const std::string& bytes, const char* suffix) {
  static std::mt19937_64 random{std::random_device{}()};
  path_ = std::filesystem::temp_directory_path() /
          ("pdfobj-test-" + std::to_string(getpid()) + "-" + std::to_string(random()) + suffix);
  std::ofstream(path_, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TempFile::~TempFile() {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

CommandResult QpdfCheck(const std::string& pdf) {
  TempFile file(pdf);
  return RunCommand("qpdf --check '" + file.Path().string() + "'");
}

std::string QpdfStreamData(const std::string& pdf, int objectNumber) {
  TempFile file(pdf);
  return RunCommand("qpdf --show-object=" + std::to_string(objectNumber) +
                        " --filtered-stream-data '" + file.Path().string() + "'",
                    true)
      .out;
}

}  // namespace vellora_test
