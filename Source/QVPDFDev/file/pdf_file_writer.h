// The document output of the PDF writer: the output sink, the cross-reference list with the
// object numbering, the object frame and the output helpers every object writer uses. The
// PDF device owns one; the objects reach it through their owner (pdf_object_owner.h).
//
// Encryption: every string and stream body of an object passes through EncryptObjectData
// with the object's number before it is escaped or written; without a cipher that is a no-op.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "QVPDFDev/file/pdf_output_sink.h"
#include "QVPDFDev/file/pdf_xref_list.h"

namespace vellora {

// Implemented by the security handler: encrypts in place with the key of the given object
// (generation 0), from the start of a fresh key stream.
class TQVPDFObjectCipher {
 public:
  virtual void EncryptObjectData(std::int32_t objectNumber, std::uint8_t* bytes,
                                 std::size_t count) = 0;

 protected:
  ~TQVPDFObjectCipher() = default;
};

class TQVPDFFileWriter {
 public:
  TQVPDFOutputSink& Sink() { return sink_; }
  bool IsOpen() const { return sink_.IsOpen(); }
  std::uint64_t Position() const { return sink_.Position(); }

  // The output helpers; all raise "Device not open" without an open output.
  void Write(std::string_view text);
  void Write(const void* bytes, std::size_t count);
  // text followed by CR LF.
  void WriteLn(std::string_view text);
  // Fixed notation with three decimals: 612 gives "612.000"; NaN and infinities give "0.000".
  void WriteFloat(double value);
  // "/MediaBox [0 0 w h]" with both numbers by WriteFloat, then CR LF.
  void WriteMediaBox(double width, double height);
  // "<" + two lower-case hex digits per byte + ">".
  static std::string HexString(const void* bytes, std::size_t count);

  // Object numbering. Reserve appends "undef " + className and returns the new number.
  TQVPDFXRefList& XRef() { return xref_; }
  std::int32_t ReserveNumber(std::string_view className);
  // Stores the in-use entry for the current position under number (a reserved one), or
  // under a new number when number is 0; returns the number.
  std::int32_t RecordOffset(std::int32_t number);

  // The object frame: "N 0 obj", then CR "<<" unless raw; and its end.
  static std::string ObjHeader(std::int32_t number, bool raw);
  // ">> " CR "endobj" CR LF, or "endobj" CR LF for raw objects.
  void WriteObjectEnd(bool raw);

  // Writes "xref" CR LF "0 N" CR LF and the N entries (reservations as free entries), and
  // returns the offset of "xref" for startxref.
  std::uint64_t WriteXRefTable();

  void SetCipher(TQVPDFObjectCipher* cipher) { cipher_ = cipher; }
  bool Encrypting() const { return cipher_ != nullptr; }
  void EncryptObjectData(std::int32_t objectNumber, std::uint8_t* bytes, std::size_t count);

 private:
  void CheckOpen() const;

  TQVPDFOutputSink sink_;
  TQVPDFXRefList xref_;
  TQVPDFObjectCipher* cipher_ = nullptr;
};

}  // namespace vellora
