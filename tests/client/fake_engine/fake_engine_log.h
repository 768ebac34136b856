// What the fake engine records and what the test scripts for it. The log lives in the test
// program (FakeEngineLogHook), so it survives the fake library being unloaded and loaded again.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "qvplatform/emf_records.h"

namespace fake_engine {

struct Call {
  std::string entry;     // "Initialize", "Finalize", "SetIProp", "SetSProp", "Do", "InitializePage"
  std::int32_t key = 0;  // property key or command
  std::int32_t value = 0;
  std::string text;                 // string value; file or form name of a command
  std::vector<std::uint8_t> bytes;  // the page record
  std::int32_t x = 0, y = 0, width = 0, height = 0, arg1 = 0, arg2 = 0;  // command record
  qvplatform::ENHMETAHEADER header;  // the metafile of DRAW_METAFILE
  const void* context = nullptr;
};

// A callback the fake sends while a command runs.
struct CallbackStep {
  std::int32_t command = 0;
  std::int32_t kind = 0;
  std::int32_t value = 0;
  std::string text;
};

struct Log {
  std::mutex mutex;
  std::vector<Call> calls;
  std::map<std::int32_t, std::int32_t> results;  // QVPDF_Do results by command (else 0)
  std::int32_t copyShortBy = 0;                  // COPY_TO_BUFFER copies this much less
  std::vector<CallbackStep> callbacks;
  std::vector<std::int32_t> readAnswers;  // Answer of each read-content record afterwards
  std::string document = "%PDF-1.4 fake\n%%EOF\n";
  bool initializeFails = false;

  void Reset() {
    std::lock_guard<std::mutex> lock(mutex);
    calls.clear();
    results.clear();
    copyShortBy = 0;
    callbacks.clear();
    readAnswers.clear();
    initializeFails = false;
  }
  std::vector<Call> Calls() {
    std::lock_guard<std::mutex> lock(mutex);
    return calls;
  }
};

}  // namespace fake_engine

// Defined by the test program, found by the fake through the program's exported symbols.
extern "C" fake_engine::Log* FakeEngineLogHook();
