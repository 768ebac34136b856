#include "QVPDFDev/filters/run_length_filter.h"

#include <algorithm>
#include <stdexcept>

namespace vellora {
namespace {

constexpr std::size_t kMaxRepeat = 127;
constexpr std::size_t kMaxLiteral = 128;

}  // namespace

std::vector<std::uint8_t> RunLengthEncodeBytes(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> out;
  if (size == 0) return out;
  out.reserve(size + size / 128 + 2);
  std::size_t literalStart = 0;  // start of the pending literal run
  std::size_t i = 0;
  auto flushLiteral = [&](std::size_t end) {
    while (literalStart < end) {
      const std::size_t n = std::min(end - literalStart, kMaxLiteral);
      out.push_back(static_cast<std::uint8_t>(n - 1));
      out.insert(out.end(), data + literalStart, data + literalStart + n);
      literalStart += n;
    }
  };
  while (i < size) {
    std::size_t run = 1;
    while (i + run < size && run < kMaxRepeat && data[i + run] == data[i]) ++run;
    // Inside a literal run, two equal bytes cost as much literal as repeated, and a repeat
    // would make the bytes after it start a new literal run.
    const bool repeat = run >= 3 || (run == 2 && literalStart == i);
    if (repeat) {
      flushLiteral(i);
      out.push_back(static_cast<std::uint8_t>(257 - run));
      out.push_back(data[i]);
      i += run;
      literalStart = i;
    } else {
      i += run;
    }
  }
  flushLiteral(size);
  out.push_back(128);
  return out;
}

std::vector<std::uint8_t> RunLengthDecodeBytes(const std::uint8_t* data, std::size_t size,
                                               std::size_t maxOutput) {
  std::vector<std::uint8_t> out;
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t n = data[i++];
    if (n == 128) break;
    if (n < 128) {
      const std::size_t count = std::size_t{n} + 1;
      if (size - i < count) throw std::runtime_error("run-length data ends inside a run");
      if (maxOutput - out.size() < count)
        throw std::runtime_error("decoded data exceeds the size limit");
      out.insert(out.end(), data + i, data + i + count);
      i += count;
    } else {
      if (i >= size) throw std::runtime_error("run-length data ends inside a run");
      const std::size_t count = 257 - std::size_t{n};
      if (maxOutput - out.size() < count)
        throw std::runtime_error("decoded data exceeds the size limit");
      out.insert(out.end(), count, data[i++]);
    }
  }
  return out;
}

}  // namespace vellora
