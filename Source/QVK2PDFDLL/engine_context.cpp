// The engine context and the registry of live contexts. The registry's lock is held only
// while a pointer is looked up or a use is counted, never while the engine works or calls
// the host back, so a callback may enter the exports again.
#include "QVK2PDFDLL/engine_context.h"

#include <exception>
#include <mutex>
#include <new>
#include <string>
#include <unordered_map>

#include "qvplatform/debug_output.h"

namespace vellora {
namespace {

struct LiveContext {
  std::unique_ptr<TQVPDFEngineContext> context;
  std::int32_t uses = 0;
  bool finalized = false;  // removed for the host; freed when the last use ends
};

// Hosts get tokens rather than addresses: a token is never handed out twice, so a stale
// pointer can never reach a context made later at the same address.
struct Registry {
  std::mutex lock;
  std::unordered_map<std::uintptr_t, LiveContext> live;
  std::uintptr_t lastToken = 0;
};

std::uintptr_t TokenOf(const ::TQVPDFEngineContext* handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}

// Never destroyed, since exports may still run at exit; its storage is the library's own, so a
// host that unloads the library gets it back.
alignas(Registry) unsigned char g_registryStorage[sizeof(Registry)];

Registry& Contexts() {
  static Registry* registry = new (g_registryStorage) Registry;
  return *registry;
}

// When the library is unloaded (or the process ends) with no context left, the table's memory
// is given back; the emptied table stays usable.
__attribute__((destructor)) void ReleaseEmptyRegistry() {
  Registry& r = Contexts();
  std::lock_guard<std::mutex> hold(r.lock);
  if (r.live.empty()) std::unordered_map<std::uintptr_t, LiveContext>().swap(r.live);
}

}  // namespace

TQVPDFEngineContext::TQVPDFEngineContext(::TQVPDFEngineCallback callback, void* userData)
    : callback(callback), userData(userData) {
  PassCallbackToDevice();
}

TQVPDFEngineContext::~TQVPDFEngineContext() {
  // A document still open when the host lets the context go is ended, so that its file is
  // complete; a document in memory has no reader left and is dropped with the device.
  if (!device.DocumentOpen() || device.outputFileNameUsed.empty()) return;
  try {
    device.EndDoc();
  } catch (const std::exception& failure) {
    qvplatform::OutputDebugString(std::string("QVPDF_Finalize: ") + failure.what());
  } catch (...) {
    qvplatform::OutputDebugString("QVPDF_Finalize: the open document could not be ended");
  }
}

void TQVPDFEngineContext::PassCallbackToDevice() {
  device.receivers.SetEngineCallback(callback, userData);
}

std::int32_t TQVPDFEngineContext::PageRotation() const {
  if ((rotationFlags & 3u) == 3u) return 270;
  if ((rotationFlags & 1u) != 0) return 90;
  return static_cast<std::int32_t>(rotationFlags);
}

TQVContextUse::TQVContextUse(::TQVPDFEngineContext* handle)
    : context_(nullptr), token_(TokenOf(handle)) {
  if (handle == nullptr) return;
  Registry& r = Contexts();
  std::lock_guard<std::mutex> hold(r.lock);
  const auto it = r.live.find(token_);
  if (it == r.live.end() || it->second.finalized) return;
  ++it->second.uses;
  context_ = it->second.context.get();
}

TQVContextUse::~TQVContextUse() {
  if (context_ == nullptr) return;
  std::unique_ptr<TQVPDFEngineContext> doomed;
  {
    Registry& r = Contexts();
    std::lock_guard<std::mutex> hold(r.lock);
    const auto it = r.live.find(token_);
    if (it == r.live.end()) return;
    if (--it->second.uses == 0 && it->second.finalized) {
      doomed = std::move(it->second.context);
      r.live.erase(it);
    }
  }
  // Freed outside the lock.
}

::TQVPDFEngineContext* RegisterContext(std::unique_ptr<TQVPDFEngineContext> context) {
  Registry& r = Contexts();
  std::lock_guard<std::mutex> hold(r.lock);
  // Multiples of 16, like addresses of allocations; 2^60 contexts are never made.
  const std::uintptr_t token = (++r.lastToken) << 4;
  r.live[token].context = std::move(context);
  return reinterpret_cast<::TQVPDFEngineContext*>(token);
}

void FinalizeContext(::TQVPDFEngineContext* handle) {
  if (handle == nullptr) return;
  std::unique_ptr<TQVPDFEngineContext> doomed;
  {
    Registry& r = Contexts();
    std::lock_guard<std::mutex> hold(r.lock);
    const auto it = r.live.find(TokenOf(handle));
    if (it == r.live.end() || it->second.finalized) return;
    it->second.finalized = true;
    if (it->second.uses == 0) {
      doomed = std::move(it->second.context);
      r.live.erase(it);
    }
  }
}

}  // namespace vellora
