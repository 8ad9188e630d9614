#include "raster/containers.h"

#include <algorithm>
#include <cstring>
#include <string>

void ThrowListIndexError(int Index) { throw EListError("List index out of bounds (" + std::to_string(Index) + ")"); }

// ---- TPointerMap ------------------------------------------------------------------------

namespace {

[[noreturn]] void ThrowItemNotFound(const void* Item) {
  // The address as the formatter's %x gives it: upper-case hex, no padding.
  const QString hex = QString::number(static_cast<qulonglong>(reinterpret_cast<uintptr_t>(Item)), 16).toUpper();
  throw EListError(("Item not found ($0" + hex + ")").toStdString());
}

}  // namespace

TPointerMap::~TPointerMap() { Clear(); }

bool TPointerMap::FindEntry(const void* Item, int& BucketIndex, int& ItemIndex) const {
  BucketIndex = BucketIndexOf(Item);
  const TPointerBucket& bucket = FBuckets[static_cast<size_t>(BucketIndex)];
  for (int i = 0; i < bucket.Count; ++i)
    if (bucket.Items[static_cast<size_t>(i)].Item == Item) {
      ItemIndex = i;
      return true;
    }
  ItemIndex = -1;
  return false;
}

PData TPointerMap::Add(void* NewItem) {
  bool isNew;
  return Add(NewItem, nullptr, isNew);
}

PData TPointerMap::Add(void* NewItem, bool& IsNew) { return Add(NewItem, nullptr, IsNew); }

PData TPointerMap::Add(void* NewItem, void* NewData) {
  bool isNew;
  return Add(NewItem, NewData, isNew);
}

PData TPointerMap::Add(void* NewItem, void* NewData, bool& IsNew) {
  int b, i;
  if (FindEntry(NewItem, b, i)) {
    IsNew = false;
    return &FBuckets[static_cast<size_t>(b)].Items[static_cast<size_t>(i)].Data;
  }
  TPointerBucket& bucket = FBuckets[static_cast<size_t>(b)];
  const size_t capacity = bucket.Items.size();
  if (static_cast<size_t>(bucket.Count) == capacity)
    bucket.Items.resize(capacity + (capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4));
  TPointerBucketItem& entry = bucket.Items[static_cast<size_t>(bucket.Count)];
  entry = TPointerBucketItem{NewItem, NewData};
  ++bucket.Count;
  ++FCount;
  IsNew = true;
  return &entry.Data;
}

void* TPointerMap::Remove(void* Item) {
  int b, i;
  if (!FindEntry(Item, b, i)) return nullptr;
  return Delete(b, i);
}

void* TPointerMap::Delete(int BucketIndex, int ItemIndex) {
  TPointerBucket& bucket = FBuckets[static_cast<size_t>(BucketIndex)];
  void* data = bucket.Items[static_cast<size_t>(ItemIndex)].Data;
  if (FCount > 0) {
    --bucket.Count;
    if (bucket.Count == 0) {
      TPointerBucketItemArray().swap(bucket.Items);
    } else {
      std::move(bucket.Items.begin() + ItemIndex + 1, bucket.Items.begin() + bucket.Count + 1,
                bucket.Items.begin() + ItemIndex);
    }
    --FCount;
  }
  return data;
}

void TPointerMap::Clear() {
  // Count first: Delete then only hands each entry's data over.
  FCount = 0;
  for (int b = 0; b < 256; ++b) {
    TPointerBucket& bucket = FBuckets[static_cast<size_t>(b)];
    for (int i = bucket.Count - 1; i >= 0; --i) Delete(b, i);
    bucket.Count = 0;
    TPointerBucketItemArray().swap(bucket.Items);
  }
}

bool TPointerMap::Contains(void* Item) const {
  int b, i;
  return FindEntry(Item, b, i);
}

bool TPointerMap::Find(void* Item, PData& Data) const {
  int b, i;
  if (!FindEntry(Item, b, i)) return false;
  Data = const_cast<PData>(&FBuckets[static_cast<size_t>(b)].Items[static_cast<size_t>(i)].Data);
  return true;
}

void* TPointerMap::Data(void* Item) const {
  PData slot;
  if (!Find(Item, slot)) ThrowItemNotFound(Item);
  return *slot;
}

void TPointerMap::SetData(void* Item, void* NewData) {
  PData slot;
  if (!Find(Item, slot)) ThrowItemNotFound(Item);
  *slot = NewData;
}

// ---- TPointerMapIterator ---------------------------------------------------------------

bool TPointerMapIterator::Next() {
  if (FCurItemIndex > 0) {
    --FCurItemIndex;
  } else {
    FCurItemIndex = -1;
    while (FCurItemIndex < 0 && FCurBucketIndex < 255) {
      ++FCurBucketIndex;
      FCurItemIndex = FSrcPointerMap.Buckets()[static_cast<size_t>(FCurBucketIndex)].Count - 1;
    }
    if (FCurItemIndex < 0) return false;
  }
  const TPointerBucketItem& entry =
      FSrcPointerMap.Buckets()[static_cast<size_t>(FCurBucketIndex)].Items[static_cast<size_t>(FCurItemIndex)];
  FItem = entry.Item;
  FData = entry.Data;
  return true;
}

// ---- TRectList ------------------------------------------------------------------------------

TRectList::~TRectList() {
  FCount = 0;
  FList.reset();
  FCapacity = 0;
}

void TRectList::CheckIndex(int Index, int Limit) const {
  if (Index < 0 || Index > Limit) ThrowListIndexError(Index);
}

void TRectList::Grow() {
  SetCapacity(FCapacity + (FCapacity > 128 ? FCapacity / 4 : FCapacity > 8 ? 32 : 8));
}

void TRectList::SetCapacity(int Value) {
  if (Value < FCount) throw EListError("List capacity out of bounds (" + std::to_string(Value) + ")");
  if (Value == FCapacity) return;
  std::unique_ptr<TRect[]> list = Value > 0 ? std::make_unique<TRect[]>(static_cast<size_t>(Value)) : nullptr;
  std::copy(FList.get(), FList.get() + FCount, list.get());
  FList = std::move(list);
  FCapacity = Value;
}

void TRectList::SetCount(int Value) {
  if (Value < 0) throw EListError("List count out of bounds (" + std::to_string(Value) + ")");
  if (Value > FCapacity) SetCapacity(Value);
  if (Value > FCount)
    std::fill(FList.get() + FCount, FList.get() + Value, TRect{});
  else
    for (int i = FCount - 1; i >= Value; --i) Delete(i);
  FCount = Value;
}

int TRectList::Add(const TRect& Rect) {
  if (FCount == FCapacity) Grow();
  FList[static_cast<size_t>(FCount)] = Rect;
  return FCount++;
}

void TRectList::Insert(int Index, const TRect& Rect) {
  CheckIndex(Index, FCount);
  if (FCount == FCapacity) Grow();
  std::copy_backward(FList.get() + Index, FList.get() + FCount, FList.get() + FCount + 1);
  FList[static_cast<size_t>(Index)] = Rect;
  ++FCount;
}

void TRectList::Delete(int Index) {
  CheckIndex(Index, FCount - 1);
  std::copy(FList.get() + Index + 1, FList.get() + FCount, FList.get() + Index);
  --FCount;
}

int TRectList::IndexOf(const TRect& Rect) const {
  for (int i = 0; i < FCount; ++i)
    if (FList[static_cast<size_t>(i)] == Rect) return i;
  return -1;
}

int TRectList::Remove(const TRect& Rect) {
  const int i = IndexOf(Rect);
  if (i >= 0) Delete(i);
  return i;
}

void TRectList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1, FCount - 1);
  CheckIndex(Index2, FCount - 1);
  std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
}

void TRectList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex, FCount - 1);
  CheckIndex(NewIndex, FCount - 1);
  const TRect rect = FList[static_cast<size_t>(CurIndex)];
  Delete(CurIndex);
  Insert(NewIndex, rect);
}

void TRectList::Clear() {
  FCount = 0;
  SetCapacity(10);
}

TRect* TRectList::Items(int Index) const {
  if (Index < 0 || Index >= FCount) return nullptr;
  return &FList[static_cast<size_t>(Index)];
}
