#include "tools/saved_copies.h"

#include <unistd.h>

#include <limits>

namespace {
int64_t HalfPhysicalMemory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return std::numeric_limits<int64_t>::max();
  return static_cast<int64_t>(pages) / 2 * pageSize;
}
}  // namespace

TSavedCopyStore& TSavedCopyStore::Instance() {
  static TSavedCopyStore store = [] {
    TSavedCopyStore s;
    s.budget_ = HalfPhysicalMemory();
    return s;
  }();
  return store;
}

TSampleBlock* TSavedCopyStore::Find(const void* owner, int channel) {
  const auto it = entries_.find({owner, channel});
  if (it == entries_.end() || it->second.block.Empty()) return nullptr;
  it->second.lastUse = ++tick_;
  return &it->second.block;
}

const TSampleBlock* TSavedCopyStore::Peek(const void* owner, int channel) const {
  const auto it = entries_.find({owner, channel});
  return it == entries_.end() || it->second.block.Empty() ? nullptr : &it->second.block;
}

bool TSavedCopyStore::Evictable(const TKey& key, const TEntry& entry) const {
  return !entry.pinned && !pinnedOwners_.contains(key.first);
}

void TSavedCopyStore::MakeRoom(const TKey& keep, int64_t bytes) {
  while (used_ + bytes > budget_) {
    auto victim = entries_.end();
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->first == keep || it->second.block.Empty() || !Evictable(it->first, it->second)) continue;
      if (victim == entries_.end() || it->second.lastUse < victim->second.lastUse) victim = it;
    }
    if (victim == entries_.end()) return;  // only pinned copies left: go over the budget
    used_ -= victim->second.block.Bytes();
    entries_.erase(victim);
  }
}

TSampleBlock& TSavedCopyStore::Ensure(const void* owner, int channel, int64_t bytes) {
  const TKey key{owner, channel};
  TEntry& entry = entries_[key];
  entry.lastUse = ++tick_;
  if (entry.block.Bytes() == bytes && (bytes == 0 || !entry.block.Empty())) return entry.block;
  used_ -= entry.block.Bytes();
  entry.block.Reset();
  MakeRoom(key, bytes);
  entry.block.Allocate(bytes);  // throws with the entry empty
  used_ += entry.block.Bytes();
  return entry.block;
}

void TSavedCopyStore::Release(const void* owner, int channel) {
  const auto it = entries_.find({owner, channel});
  if (it == entries_.end()) return;
  used_ -= it->second.block.Bytes();
  entries_.erase(it);
}

void TSavedCopyStore::ReleaseAll(const void* owner) {
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->first.first == owner) {
      used_ -= it->second.block.Bytes();
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
  pinnedOwners_.erase(owner);
}

void TSavedCopyStore::Pin(const void* owner, int channel, bool pinned) {
  if (pinned) {
    entries_[{owner, channel}].pinned = true;
    return;
  }
  const auto it = entries_.find({owner, channel});
  if (it == entries_.end()) return;
  if (it->second.block.Empty()) {
    entries_.erase(it);  // pinned for a run that saved nothing
  } else {
    it->second.pinned = false;
  }
}

void TSavedCopyStore::PinOwner(const void* owner, bool pinned) {
  if (pinned) {
    ++pinnedOwners_[owner];
  } else if (auto it = pinnedOwners_.find(owner); it != pinnedOwners_.end() && --it->second <= 0) {
    pinnedOwners_.erase(it);
  }
}
