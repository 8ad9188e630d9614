#pragma once
// Small containers of the raster library: a hash map from object pointers to
// data pointers (per-layer records of the repaint optimizer), a growable list
// of rectangles (invalid areas of an image control) and a list of class
// references searchable by name (resampler and kernel classes).
//
// None is thread-safe: each is owned and used by one object on one thread.

#include "raster/persistent.h"

#include "platform/ui/graphics.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// A failed list operation: an index outside the list, an absent item.
class EListError : public ERasterError {
public:
  using ERasterError::ERasterError;
};

// ---- TPointerMap ------------------------------------------------------------------------

struct TPointerBucketItem {
  void* Item = nullptr;
  void* Data = nullptr;
};
using TPointerBucketItemArray = std::vector<TPointerBucketItem>;

// Items holds Count used entries; its length is the bucket's capacity.
struct TPointerBucket {
  int32_t Count = 0;
  TPointerBucketItemArray Items;
};
using TPointerBucketArray = std::array<TPointerBucket, 256>;

// The address of an entry's data slot; valid until its bucket next grows or
// loses an entry.
using PData = void**;

// Pointers hashed into 256 buckets by bits 8..15 of their address (objects of
// one allocator differ mostly there), each bucket searched linearly.
class TPointerMap : public TObject {
public:
  TPointerMap() = default;
  TPointerMap(const TPointerMap&) = delete;
  TPointerMap& operator=(const TPointerMap&) = delete;
  // Clears through this class's Delete: a derived class whose Delete releases
  // data must call Clear in its own destructor.
  ~TPointerMap() override;

  static int BucketIndexOf(const void* Item) { return static_cast<int>((reinterpret_cast<uintptr_t>(Item) >> 8) & 0xFF); }

  // An item already present keeps its data (IsNew false) and its slot is
  // returned; otherwise it is appended to its bucket with NewData (nil in the
  // forms without it). A full bucket grows by a quarter above 64 entries, by
  // 16 above 8, else by 4.
  PData Add(void* NewItem);
  PData Add(void* NewItem, bool& IsNew);
  PData Add(void* NewItem, void* NewData);
  PData Add(void* NewItem, void* NewData, bool& IsNew);
  // The item's data (nil when absent); the entry goes through Delete.
  void* Remove(void* Item);
  // Clear: Count 0, then every bucket deletes its entries from the last to the
  // first (through Delete) and releases its array.
  void Clear();
  bool Contains(void* Item) const;
  // Data is the address of the item's data slot.
  bool Find(void* Item, PData& Data) const;
  // EListError "Item not found ($0<address in hexadecimal>)" for an absent item.
  void* Data(void* Item) const;
  void SetData(void* Item, void* NewData);

  int32_t Count() const { return FCount; }
  const TPointerBucketArray& Buckets() const { return FBuckets; }

protected:
  // Removes entry ItemIndex of bucket BucketIndex and returns its data. While
  // the map holds items the bucket's count drops (an emptied bucket releases
  // its array, otherwise the following entries move up) and Count drops.
  virtual void* Delete(int BucketIndex, int ItemIndex);

private:
  bool FindEntry(const void* Item, int& BucketIndex, int& ItemIndex) const;

  TPointerBucketArray FBuckets;
  int32_t FCount = 0;
};

// Walks a map's entries: buckets 0 to 255, in each bucket from its last entry
// to its first. The map must not change during the walk.
class TPointerMapIterator : public TObject {
public:
  explicit TPointerMapIterator(const TPointerMap& SrcPointerMap) : FSrcPointerMap(SrcPointerMap) {}
  // The next entry into Item and Data; false when none is left.
  bool Next();
  void* Item() const { return FItem; }
  void* Data() const { return FData; }

private:
  const TPointerMap& FSrcPointerMap;
  void* FItem = nullptr;
  void* FData = nullptr;
  int FCurBucketIndex = -1;
  int FCurItemIndex = -1;
};

// ---- TRectList --------------------------------------------------------------------------

// A list of rectangles with an explicit capacity. Indices outside the list
// throw EListError "List index out of bounds (<index>)".
class TRectList : public TObject {
public:
  TRectList() = default;
  TRectList(const TRectList&) = delete;
  TRectList& operator=(const TRectList&) = delete;
  ~TRectList() override;

  // Stores a copy at the end (growing when full) and returns its index.
  int Add(const TRect& Rect);
  void Insert(int Index, const TRect& Rect);
  void Delete(int Index);
  // IndexOf, then Delete; the index or -1.
  int Remove(const TRect& Rect);
  // The first entry with equal sides, or -1.
  int IndexOf(const TRect& Rect) const;
  void Exchange(int Index1, int Index2);
  // Delete, then Insert at NewIndex.
  void Move(int CurIndex, int NewIndex);
  // Deletes the entries Items reports as nil: there are none within the list.
  void Pack() {}
  // Count 0, Capacity 10.
  virtual void Clear();

  // The stored rectangle, nil outside 0 .. Count - 1.
  TRect* Items(int Index) const;
  int Count() const { return FCount; }
  // A larger count grows the capacity and zero-fills the new entries; a
  // smaller one deletes entries from the end.
  void SetCount(int Value);
  int Capacity() const { return FCapacity; }
  // EListError "List capacity out of bounds (<value>)" below Count.
  void SetCapacity(int Value);

protected:
  // Capacity + Capacity div 4 above 128, + 32 above 8, else + 8.
  virtual void Grow();

private:
  void CheckIndex(int Index, int Limit) const;

  std::unique_ptr<TRect[]> FList;
  int FCount = 0;
  int FCapacity = 0;
};

// ---- TClassList -------------------------------------------------------------------------

[[noreturn]] void ThrowListIndexError(int Index);

// A list of class references: pointers to descriptors that carry the class's
// name in a ClassName member (TResamplerClass, kernel classes and the like).
template <class TClassRef>
class TClassList {
public:
  using PClass = const TClassRef*;

  int Add(PClass AClass) {
    FItems.push_back(AClass);
    return Count() - 1;
  }
  void Insert(int Index, PClass AClass) {
    if (Index < 0 || Index > Count()) ThrowListIndexError(Index);
    FItems.insert(FItems.begin() + Index, AClass);
  }
  // Removes the first occurrence and returns it; nil when absent.
  PClass Extract(PClass AClass) {
    const int i = IndexOf(AClass);
    if (i < 0) return nullptr;
    FItems.erase(FItems.begin() + i);
    return AClass;
  }
  // Removes the first occurrence; its former index or -1.
  int Remove(PClass AClass) {
    const int i = IndexOf(AClass);
    if (i >= 0) FItems.erase(FItems.begin() + i);
    return i;
  }
  int IndexOf(PClass AClass) const {
    for (int i = 0; i < Count(); ++i)
      if (FItems[static_cast<size_t>(i)] == AClass) return i;
    return -1;
  }
  PClass First() const { return Items(0); }
  PClass Last() const { return Items(Count() - 1); }
  PClass Items(int Index) const {
    if (Index < 0 || Index >= Count()) ThrowListIndexError(Index);
    return FItems[static_cast<size_t>(Index)];
  }
  void SetItems(int Index, PClass AClass) {
    if (Index < 0 || Index >= Count()) ThrowListIndexError(Index);
    FItems[static_cast<size_t>(Index)] = AClass;
  }
  int Count() const { return static_cast<int>(FItems.size()); }
  void Clear() { FItems.clear(); }

  // The first class whose name equals AClassName (case-sensitive), or nil.
  PClass Find(const QString& AClassName) const {
    for (PClass c : FItems)
      if (c != nullptr && c->ClassName == AClassName) return c;
    return nullptr;
  }
  // Appends every class name in list order.
  void GetClassNames(QStringList& Strings) const {
    for (PClass c : FItems)
      if (c != nullptr) Strings.append(c->ClassName);
  }

private:
  std::vector<PClass> FItems;
};
