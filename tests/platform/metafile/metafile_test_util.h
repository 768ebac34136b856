// Fixtures of the metafile handle tests: small enhanced and old-style metafiles, and a private
// folder for files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emf_builder.h"
#include "qvplatform/wintypes.h"
#include "temp_files.h"

namespace vellora_test {

// A picture with one rectangle.
inline std::vector<BYTE> SmallEmf() {
  EmfBuilder b;
  b.Rectangle({10, 10, 50, 40});
  b.Eof();
  return b.Bytes();
}

// An old-style metafile: header (9 words) and the end record (3 words), optionally behind a
// placeable header with the frame (-5, 7) - (300, 200) at 1440 units per inch.
inline std::vector<BYTE> SmallWmf(bool placeable, std::uint16_t version = 0x0300) {
  std::vector<BYTE> out;
  auto word = [&out](std::uint32_t v) {
    out.push_back(static_cast<BYTE>(v));
    out.push_back(static_cast<BYTE>(v >> 8));
  };
  if (placeable) {
    word(0xCDD7), word(0x9AC6);  // key
    word(0);                     // handle
    word(static_cast<std::uint16_t>(-5)), word(7), word(300), word(200);
    word(1440);
    word(0), word(0);  // reserved
    word(0);           // checksum (not checked)
  }
  word(1), word(9), word(version);
  word(12), word(0);          // size in words
  word(0);                    // objects
  word(3), word(0);           // largest record
  word(0);                    // parameters
  word(3), word(0), word(0);  // end record
  return out;
}

// A folder of its own for a test, removed afterwards.
using TempFolder = TempDir;

}  // namespace vellora_test
