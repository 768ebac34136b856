// The byte sink of a PDF document: a file or a memory buffer, written front to back, that
// knows its position (the byte offsets of the cross-reference table come from it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vellora {

class TQVPDFOutputSink {
 public:
  TQVPDFOutputSink() = default;
  ~TQVPDFOutputSink();
  TQVPDFOutputSink(const TQVPDFOutputSink&) = delete;
  TQVPDFOutputSink& operator=(const TQVPDFOutputSink&) = delete;

  // Starts an empty memory output (closing any open output first).
  void OpenMemory();
  // Creates or truncates the file; raises "Cannot create file " + name when it cannot.
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

  // Copies up to count bytes from offset of everything written so far (after Close too);
  // returns the number copied.
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count);
  // The bytes of a memory output.
  const std::vector<std::uint8_t>& MemoryBytes() const { return memory_; }

 private:
  void CloseFile();

  bool open_ = false;
  bool file_ = false;
  int fd_ = -1;
  std::string fileName_;
  std::uint64_t position_ = 0;
  std::vector<std::uint8_t> memory_;  // memory output, or the write buffer of a file
};

}  // namespace vellora
