#pragma once
// TSavedCopyStore: the saved input copies of all chain tools (one per tool and
// channel: the channel's display buffer as it reached the tool in its last run),
// kept within one byte budget.
//
// Past the budget the least recently used copy goes, never a pinned one: the copy
// a tool is running on, and every copy of a tool whose dialog is open. A tool
// whose copy went reports it (IChainTool::HasSavedInput); the chain's caller then
// recomputes the channel from the top, which gives the same result.
//
// User-interface thread only (the tools run there).

#include "profiledata/sample_block.h"

#include <cstdint>
#include <map>
#include <utility>

class TSavedCopyStore {
public:
  // The process-wide store; its budget starts at half the physical memory.
  static TSavedCopyStore& Instance();

  int64_t Budget() const { return budget_; }
  // Takes effect at the next allocation.
  void SetBudget(int64_t bytes) { budget_ = bytes; }
  int64_t UsedBytes() const { return used_; }

  // The copy of (owner, channel), nullptr when there is none (or it is empty);
  // marks it used.
  TSampleBlock* Find(const void* owner, int channel);
  const TSampleBlock* Peek(const void* owner, int channel) const;
  // The copy of (owner, channel) with exactly `bytes` bytes: kept when it has that
  // size, else made anew (zeros). Unpinned copies go first as the budget needs.
  // std::bad_alloc when memory cannot be had: the old copy is then gone.
  TSampleBlock& Ensure(const void* owner, int channel, int64_t bytes);
  void Release(const void* owner, int channel);
  void ReleaseAll(const void* owner);

  // A running tool pins the copy it works on.
  void Pin(const void* owner, int channel, bool pinned);
  // An open dialog pins every copy of its tool.
  void PinOwner(const void* owner, bool pinned);

private:
  struct TEntry {
    TSampleBlock block;
    uint64_t lastUse = 0;
    bool pinned = false;
  };
  using TKey = std::pair<const void*, int>;

  bool Evictable(const TKey& key, const TEntry& entry) const;
  void MakeRoom(const TKey& keep, int64_t bytes);

  std::map<TKey, TEntry> entries_;
  std::map<const void*, int> pinnedOwners_;
  int64_t budget_ = 0;
  int64_t used_ = 0;
  uint64_t tick_ = 0;
};

// RAII pin of one copy for the length of a run.
class TSavedCopyPin {
public:
  TSavedCopyPin(const void* owner, int channel) : owner_(owner), channel_(channel) {
    TSavedCopyStore::Instance().Pin(owner_, channel_, true);
  }
  ~TSavedCopyPin() { TSavedCopyStore::Instance().Pin(owner_, channel_, false); }
  TSavedCopyPin(const TSavedCopyPin&) = delete;
  TSavedCopyPin& operator=(const TSavedCopyPin&) = delete;

private:
  const void* owner_;
  int channel_;
};
