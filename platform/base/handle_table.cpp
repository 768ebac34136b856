#include "qvplatform/handle_table.h"

#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace qvplatform {

namespace {

// Handles start well above small integers so that an object-table index or a count passed
// where a handle belongs is not taken for one.
constexpr std::uint64_t kFirstHandle = 0x00010000;
constexpr std::uint64_t kHandleLimit = 0x100000000ULL;

struct Entry {
  HandleKind kind;
  std::shared_ptr<void> object;
  bool stock = false;
};

}  // namespace

struct HandleTable::State {
  mutable std::shared_mutex mutex;
  std::unordered_map<HANDLE32, Entry> entries;
  std::uint64_t next = kFirstHandle;
};

HandleTable::HandleTable() : state_(std::make_unique<State>()) {}
HandleTable::~HandleTable() = default;

HandleTable& HandleTable::Instance() {
  // Never destroyed: handles may still be released by static destructors of other parts.
  static HandleTable* table = new HandleTable();
  return *table;
}

HANDLE32 HandleTable::Add(HandleKind kind, std::shared_ptr<void> object) {
  if (!object) return 0;
  std::unique_lock lock(state_->mutex);
  if (state_->next >= kHandleLimit) return 0;
  const auto handle = static_cast<HANDLE32>(state_->next++);
  state_->entries.emplace(handle, Entry{kind, std::move(object)});
  return handle;
}

std::shared_ptr<void> HandleTable::Find(HANDLE32 handle, HandleKind kind) const {
  std::shared_lock lock(state_->mutex);
  const auto it = state_->entries.find(handle);
  if (it == state_->entries.end() || it->second.kind != kind) return nullptr;
  return it->second.object;
}

bool HandleTable::KindOf(HANDLE32 handle, HandleKind* kind) const {
  std::shared_lock lock(state_->mutex);
  const auto it = state_->entries.find(handle);
  if (it == state_->entries.end()) return false;
  if (kind) *kind = it->second.kind;
  return true;
}

bool HandleTable::Remove(HANDLE32 handle, HandleKind kind) {
  std::shared_ptr<void> released;  // destroyed after the lock is dropped
  {
    std::unique_lock lock(state_->mutex);
    const auto it = state_->entries.find(handle);
    if (it == state_->entries.end() || it->second.kind != kind || it->second.stock) return false;
    released = std::move(it->second.object);
    state_->entries.erase(it);
  }
  return true;
}

bool HandleTable::MarkStock(HANDLE32 handle) {
  std::unique_lock lock(state_->mutex);
  const auto it = state_->entries.find(handle);
  if (it == state_->entries.end()) return false;
  it->second.stock = true;
  return true;
}

bool HandleTable::IsStock(HANDLE32 handle) const {
  std::shared_lock lock(state_->mutex);
  const auto it = state_->entries.find(handle);
  return it != state_->entries.end() && it->second.stock;
}

std::size_t HandleTable::Count() const {
  std::shared_lock lock(state_->mutex);
  return state_->entries.size();
}

void HandleTable::SetNextForTesting(std::uint64_t next) {
  std::unique_lock lock(state_->mutex);
  if (next > state_->next) state_->next = next;
}

}  // namespace qvplatform
