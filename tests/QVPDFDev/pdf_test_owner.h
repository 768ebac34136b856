// A small owner for PDF objects in tests: memory output, settings, a cipher that marks
// encrypted bytes, and helpers that finish a file. The test toolkit (tools, temporary files,
// qpdf) comes with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "QVPDFDev/objects/pdf_object.h"
#include "pdf_tools.h"
#include "temp_files.h"
#include "tool_run.h"

namespace vellora_test {

// XORs every byte with (object number + 1): visible, reversible, and different per object.
class XorCipher : public vellora::TQVPDFObjectCipher {
 public:
  void EncryptObjectData(std::int32_t objectNumber, std::uint8_t* bytes,
                         std::size_t count) override;
  std::vector<std::int32_t> objects;  // numbers seen, in order
};

class TestOwner : public vellora::TQVPDFObjectOwner {
 public:
  TestOwner() { writer.Sink().OpenMemory(); }
  vellora::TQVPDFFileWriter& Output() override { return writer; }
  const vellora::TQVPDFWriterSettings& WriterSettings() const override { return settings; }
  vellora::TQVPDFResource* SharedResources() override { return resources; }
  void MarkContentStateDirty() override { ++dirtyCalls; }
  std::string DocumentLanguage() const override { return language; }

  // Everything written so far, and what was written since the last call.
  std::string Bytes() const;
  std::string Take();

  vellora::TQVPDFFileWriter writer;
  vellora::TQVPDFWriterSettings settings;
  vellora::TQVPDFResource* resources = nullptr;
  std::string language;
  int dirtyCalls = 0;

 private:
  std::size_t taken_ = 0;
};

// Writes the header of a test file ("%PDF-1.4" and a binary comment line).
void WriteTestHeader(TestOwner& owner);
// Writes the cross-reference table and a trailer with /Root root (the minimal frame of a
// test file) and returns the whole file.
std::string FinishTestFile(TestOwner& owner, vellora::TQVCustomPDFType& root);

}  // namespace vellora_test
