#include "qvplatform/handle_table.h"

#include <array>
#include <atomic>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace qvplatform {

namespace {

// Handles start well above small integers so that an object-table index or a count passed
// where a handle belongs is not taken for one.
constexpr std::uint64_t kFirstHandle = 0x00010000;
constexpr std::uint64_t kHandleLimit = 0x100000000ULL;

// Every document makes and drops pens, brushes, fonts and device contexts, so one lock over
// the whole table made concurrent conversions wait for each other. The table is split by
// handle value into shards with a lock of their own; consecutive handles land in different
// shards, so threads making objects at the same time rarely meet on one lock.
constexpr std::size_t kShardCount = 64;

struct Entry {
  HandleKind kind;
  std::shared_ptr<void> object;
  bool stock = false;
};

// A cache line of its own for each shard, so that locking one does not slow its neighbours.
struct alignas(64) Shard {
  mutable std::shared_mutex mutex;
  std::unordered_map<HANDLE32, Entry> entries;
};

}  // namespace

struct HandleTable::State {
  std::atomic<std::uint64_t> next{kFirstHandle};
  std::array<Shard, kShardCount> shards;

  Shard& ShardOf(HANDLE32 handle) { return shards[handle % kShardCount]; }
  const Shard& ShardOf(HANDLE32 handle) const { return shards[handle % kShardCount]; }
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
  // The counter only moves forward while below the limit, so handles are never handed out
  // twice, even when the supply runs out.
  std::uint64_t value = state_->next.load(std::memory_order_relaxed);
  do {
    if (value >= kHandleLimit) return 0;
  } while (!state_->next.compare_exchange_weak(value, value + 1, std::memory_order_relaxed));
  const auto handle = static_cast<HANDLE32>(value);
  Shard& shard = state_->ShardOf(handle);
  std::unique_lock lock(shard.mutex);
  shard.entries.emplace(handle, Entry{kind, std::move(object)});
  return handle;
}

std::shared_ptr<void> HandleTable::Find(HANDLE32 handle, HandleKind kind) const {
  const Shard& shard = state_->ShardOf(handle);
  std::shared_lock lock(shard.mutex);
  const auto it = shard.entries.find(handle);
  if (it == shard.entries.end() || it->second.kind != kind) return nullptr;
  return it->second.object;
}

bool HandleTable::KindOf(HANDLE32 handle, HandleKind* kind) const {
  const Shard& shard = state_->ShardOf(handle);
  std::shared_lock lock(shard.mutex);
  const auto it = shard.entries.find(handle);
  if (it == shard.entries.end()) return false;
  if (kind) *kind = it->second.kind;
  return true;
}

bool HandleTable::Remove(HANDLE32 handle, HandleKind kind) {
  std::shared_ptr<void> released;  // destroyed after the lock is dropped
  {
    Shard& shard = state_->ShardOf(handle);
    std::unique_lock lock(shard.mutex);
    const auto it = shard.entries.find(handle);
    if (it == shard.entries.end() || it->second.kind != kind || it->second.stock) return false;
    released = std::move(it->second.object);
    shard.entries.erase(it);
  }
  return true;
}

bool HandleTable::MarkStock(HANDLE32 handle) {
  Shard& shard = state_->ShardOf(handle);
  std::unique_lock lock(shard.mutex);
  const auto it = shard.entries.find(handle);
  if (it == shard.entries.end()) return false;
  it->second.stock = true;
  return true;
}

bool HandleTable::IsStock(HANDLE32 handle) const {
  const Shard& shard = state_->ShardOf(handle);
  std::shared_lock lock(shard.mutex);
  const auto it = shard.entries.find(handle);
  return it != shard.entries.end() && it->second.stock;
}

std::size_t HandleTable::Count() const {
  std::size_t count = 0;
  for (const Shard& shard : state_->shards) {
    std::shared_lock lock(shard.mutex);
    count += shard.entries.size();
  }
  return count;
}

void HandleTable::SetNextForTesting(std::uint64_t next) {
  std::uint64_t value = state_->next.load(std::memory_order_relaxed);
  while (next > value && !state_->next.compare_exchange_weak(value, next)) {
  }
}

}  // namespace qvplatform
