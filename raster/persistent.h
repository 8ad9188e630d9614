#pragma once
// The object base of the raster library: interface queries with optional
// reference counting, change notification through an update counter, a lock, and
// a map with a width and a height.
//
//   TPlainInterfacedPersistent  QueryInterface, _AddRef/_Release when RefCounted
//   TNotifiablePersistent       BeginUpdate/EndUpdate, Changed -> OnChange
//   TThreadPersistent           Lock/Unlock (re-entrant on its own thread)
//   TCustomMap                  Width, Height, SetSize, OnResize
//
// Threads: objects are used on one thread at a time (the user-interface thread
// for bitmaps); Lock/Unlock are for callers that share an object, and the
// reference counts are atomic.

#include "platform/ui/component.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <stdexcept>

// An interface identifier.
struct TGUID {
  uint32_t D1 = 0;
  uint16_t D2 = 0;
  uint16_t D3 = 0;
  std::array<uint8_t, 8> D4{};
  friend constexpr bool operator==(const TGUID&, const TGUID&) = default;
};

// The library's plain failure ("Exception" with a text).
class ERasterError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// An interface that an object was required to have and lacks.
class EIntfCastError : public ERasterError {
public:
  EIntfCastError() : ERasterError("Interface not supported") {}
};

class TPlainInterfacedPersistent : public TObject {
public:
  TPlainInterfacedPersistent() = default;
  TPlainInterfacedPersistent(const TPlainInterfacedPersistent&) = delete;
  TPlainInterfacedPersistent& operator=(const TPlainInterfacedPersistent&) = delete;

  // True with Obj pointing at the interface when the object implements IID,
  // else false (Obj untouched). Obj must be cast to the interface of IID only.
  virtual bool QueryInterface(const TGUID& IID, void*& Obj);

  // Without reference counting both return -1 and do nothing. With it they count
  // atomically, and _Release destroys the object when the count reaches 0.
  int32_t _AddRef();
  int32_t _Release();
  int32_t RefCount() const { return FRefCount.load(); }
  bool RefCounted() const { return FRefCounted; }

  // Destroys the object; "Unmatched reference counting." (ERasterError) when
  // reference counting is on and references are left.
  void Free();

protected:
  bool FRefCounted = false;
  std::atomic<int32_t> FRefCount{0};
};

// The interface I of Obj, or nullptr.
template <class I>
I* Supports(TPlainInterfacedPersistent* Obj) {
  void* p = nullptr;
  if (Obj == nullptr || !Obj->QueryInterface(I::IID, p)) return nullptr;
  return static_cast<I*>(p);
}

class TNotifiablePersistent : public TPlainInterfacedPersistent {
public:
  virtual void BeginUpdate();
  // Never calls Changed: callers that batch changes call EndUpdate, then Changed.
  // Throws EAssertionFailed "Unpaired TThreadPersistent.EndUpdate" at count 0.
  virtual void EndUpdate();
  // OnChange(this) when the update counter is 0.
  virtual void Changed();
  int32_t UpdateCount() const { return FUpdateCount; }

  TNotifyEvent OnChange;

protected:
  int32_t FUpdateCount = 0;
};

class TThreadPersistent : public TNotifiablePersistent {
public:
  void Lock();
  void Unlock();
  int32_t LockCount() const { return FLockCount.load(); }

private:
  std::atomic<int32_t> FLockCount{0};
  std::recursive_mutex FLock;
};

class TCustomBackend;

class TCustomMap : public TThreadPersistent {
public:
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetWidth(int NewWidth) { SetSize(NewWidth, FHeight); }
  void SetHeight(int NewHeight) { SetSize(FWidth, NewHeight); }

  // Negative sizes count as 0. False and nothing else when the size is
  // unchanged; otherwise ChangeSize, Changed, Resized and true.
  virtual bool SetSize(int NewWidth, int NewHeight);
  // The size of another map, of a toolkit bitmap or of a control; nullptr gives
  // 0 x 0; anything else throws "Can't set size from '<class>'" (ERasterError).
  void SetSizeFrom(TObject* Source);
  // SetSize(0, 0).
  virtual void Delete();
  virtual bool Empty() const;

  TNotifyEvent OnResize;

protected:
  // Stores the new size in Width and Height (the map's own fields).
  virtual void ChangeSize(int& Width, int& Height, int NewWidth, int NewHeight);
  // OnResize(this).
  virtual void Resized();

  int FWidth = 0;
  int FHeight = 0;

  // A backend writes the size of the bitmap it serves while it resizes.
  friend class TCustomBackend;
};

// The class name of an object as the error texts show it.
QString ClassNameOf(const TObject& Object);
