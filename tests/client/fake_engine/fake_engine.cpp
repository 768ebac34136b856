// A stand-in for the engine library: it exports the entry points (built in variants with the
// optional "QVPDF_ProcessPDF" and without "QVPDF_Do"), records every call into the test's log,
// answers with the scripted results and sends the scripted callbacks.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

#include "fake_engine_log.h"
#include "qvplatform/metafile.h"
#include "vellora/vellora.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

struct TQVPDFEngineContext {
  TQVPDFEngineCallback callback = nullptr;
  void* userData = nullptr;
};

namespace {

using fake_engine::Call;

fake_engine::Log& TheLog() {
  using Hook = fake_engine::Log* (*)();
  static Hook hook = reinterpret_cast<Hook>(dlsym(RTLD_DEFAULT, "FakeEngineLogHook"));
  return *hook();
}

Call NewCall(const char* entry, const void* context, std::int32_t key = 0, std::int32_t value = 0) {
  Call call;
  call.entry = entry;
  call.context = context;
  call.key = key;
  call.value = value;
  return call;
}

void Record(Call call) {
  fake_engine::Log& log = TheLog();
  std::lock_guard<std::mutex> lock(log.mutex);
  log.calls.push_back(std::move(call));
}

[[maybe_unused]] void SendCallbacks(TQVPDFEngineContext* c, std::int32_t command) {
  std::vector<fake_engine::CallbackStep> steps;
  {
    fake_engine::Log& log = TheLog();
    std::lock_guard<std::mutex> lock(log.mutex);
    for (const auto& step : log.callbacks)
      if (step.command == command) steps.push_back(step);
  }
  for (const auto& step : steps) {
    if (c->callback == nullptr) continue;
    if (step.kind == QVPDF_CALLBACK_READ_CONTENT) {
      TQVPDFReadContent record{};
      record.Number = step.value;
      record.One = 1;
      c->callback(c->userData, step.kind, 0, reinterpret_cast<const char*>(&record));
      fake_engine::Log& log = TheLog();
      std::lock_guard<std::mutex> lock(log.mutex);
      log.readAnswers.push_back(record.Answer);
    } else {
      c->callback(c->userData, step.kind, step.value, step.text.c_str());
    }
  }
}

}  // namespace

FAKE_EXPORT TQVPDFEngineContext* QVPDF_Initialize(std::int32_t version,
                                                  TQVPDFEngineCallback callback, void* userData) {
  Record(NewCall("Initialize", nullptr, 0, version));
  if (TheLog().initializeFails) return nullptr;
  return new TQVPDFEngineContext{callback, userData};
}

FAKE_EXPORT void QVPDF_Finalize(TQVPDFEngineContext* c) {
  Record(NewCall("Finalize", c));
  delete c;
}

FAKE_EXPORT bool QVPDF_SetSProp(TQVPDFEngineContext* c, std::int32_t key, const char* text) {
  Call call = NewCall("SetSProp", c, key);
  call.text = text != nullptr ? text : "";
  Record(call);
  return true;
}

FAKE_EXPORT bool QVPDF_SetIProp(TQVPDFEngineContext* c, std::int32_t key, std::int32_t value) {
  Record(NewCall("SetIProp", c, key, value));
  return true;
}

#ifndef FAKE_ENGINE_WITHOUT_DO
FAKE_EXPORT std::int32_t QVPDF_Do(TQVPDFEngineContext* c, std::int32_t command, std::int32_t value,
                                  void* record) {
  Call call = NewCall("Do", c, command, value);
  const auto* r = static_cast<const TQVPDFCommand*>(record);
  switch (command) {
    case QVPDF_CMD_BEGIN_DOC:
    case QVPDF_CMD_SAVE_TO_FILE:
      if (record != nullptr) call.text = static_cast<const char*>(record);
      break;
    case QVPDF_CMD_BEGIN_XFORM:
    case QVPDF_CMD_DRAW_XFORM:
    case QVPDF_CMD_DRAW_METAFILE:
      if (r == nullptr) break;
      call.text = r->Head.Name.Text;
      call.x = r->X, call.y = r->Y, call.width = r->Width, call.height = r->Height;
      call.arg1 = r->Arg1, call.arg2 = r->Arg2;
      if (command == QVPDF_CMD_DRAW_METAFILE)
        qvplatform::GetEnhMetaFileHeader(static_cast<qvplatform::HENHMETAFILE>(value),
                                         sizeof call.header, &call.header);
      break;
    default:
      break;
  }
  Record(call);
  SendCallbacks(c, command);
  fake_engine::Log& log = TheLog();
  std::lock_guard<std::mutex> lock(log.mutex);
  const auto scripted = log.results.find(command);
  if (scripted != log.results.end()) return scripted->second;
  const auto size = static_cast<std::int32_t>(log.document.size());
  if (command == QVPDF_CMD_COPY_TO_BUFFER) {
    if (record == nullptr) return size;
    const std::int32_t count = std::min(size, value) - log.copyShortBy;
    std::memcpy(record, log.document.data(), static_cast<std::size_t>(std::max(count, 0)));
    return count;
  }
  if (command == QVPDF_CMD_SAVE_TO_FILE && record != nullptr) {
    std::FILE* f = std::fopen(static_cast<const char*>(record), "wb");
    if (f == nullptr) return -1;
    std::fwrite(log.document.data(), 1, log.document.size(), f);
    std::fclose(f);
  }
  return 0;
}
#endif

FAKE_EXPORT std::int32_t QVPDF_InitializePage(TQVPDFEngineContext* c, std::int32_t,
                                              const TQVPDFPageInit* page) {
  Call call = NewCall("InitializePage", c);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(page);
  call.bytes.assign(bytes, bytes + sizeof(TQVPDFPageInit));
  Record(call);
  return 1;
}

FAKE_EXPORT std::int32_t QVPDF_QVKEXEC(TQVPDFEngineContext*, TQVPDFElement*,
                                       const TQVPDFElementRect*, const char*, std::int32_t,
                                       std::int32_t) {
  return 0;
}

#ifdef FAKE_ENGINE_WITH_PROCESS_PDF
FAKE_EXPORT std::int32_t QVPDF_ProcessPDF() { return 0; }
#endif
