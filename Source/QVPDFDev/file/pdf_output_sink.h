// The byte sink of a PDF document: a file or a memory buffer, written front to back, that
// knows its position (the byte offsets of the cross-reference table come from it). The
// finished document is read back from it, for a host's buffer or another file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "qvplatform/file_descriptor.h"

namespace vellora {

class TQVPDFOutputSink {
 public:
  TQVPDFOutputSink() = default;
  ~TQVPDFOutputSink();
  TQVPDFOutputSink(const TQVPDFOutputSink&) = delete;
  TQVPDFOutputSink& operator=(const TQVPDFOutputSink&) = delete;

  // Starts an empty memory output (closing any open output first).
  void OpenMemory();
  // Creates or truncates the file; raises "Cannot create file " + name when it cannot. A
  // second descriptor, opened at once, reads the file back for CopyTo and SaveTo, also after
  // Close and whatever later happens to the name.
  void OpenFile(const std::string& fileName);
  // Writes what is buffered and closes a file; a memory output keeps its bytes (IsOpen false).
  void Close();

  bool IsOpen() const { return open_; }
  bool IsMemory() const { return !file_; }
  const std::string& FileName() const { return fileName_; }

  // Bytes written so far: the offset of the next byte.
  std::uint64_t Position() const { return position_; }
  void Append(const void* bytes, std::size_t count);
  // Hands buffered file bytes to the system (memory output: nothing to do).
  void Flush();

  // Copies the first count bytes written (count at most Position()) into buffer; returns the
  // number copied, 0 for a file that could not be opened for reading.
  std::size_t CopyTo(void* buffer, std::size_t count);
  // Writes everything written so far into the file fileName. Raises "Cannot create file " +
  // name or "Stream write error" for the target, "Cannot open file " + this output's name when
  // the output file cannot be read back. A target that is the output file itself (another
  // name for it) is left as it is.
  void SaveTo(const std::string& fileName);
  // The bytes of a memory output.
  const std::vector<std::uint8_t>& MemoryBytes() const { return memory_; }

 private:
  void CloseFile();
  void SaveFileTo(const std::string& fileName);

  bool open_ = false;
  bool file_ = false;
  qvplatform::UniqueFd writeFd_;
  qvplatform::UniqueFd readFd_;
  std::string fileName_;
  std::uint64_t position_ = 0;
  std::vector<std::uint8_t> memory_;  // memory output, or the write buffer of a file
};

}  // namespace vellora
