#include "raster/persistent.h"

#include "raster/perf_timer.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/controls.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <typeinfo>

bool TPlainInterfacedPersistent::QueryInterface(const TGUID&, void*&) { return false; }

int32_t TPlainInterfacedPersistent::_AddRef() {
  if (!FRefCounted) return -1;
  return FRefCount.fetch_add(1) + 1;
}

int32_t TPlainInterfacedPersistent::_Release() {
  if (!FRefCounted) return -1;
  const int32_t count = FRefCount.fetch_sub(1) - 1;
  if (count == 0) delete this;
  return count;
}

void TPlainInterfacedPersistent::Free() {
  if (FRefCounted && FRefCount.load() != 0) throw ERasterError("Unmatched reference counting.");
  delete this;
}

void TNotifiablePersistent::BeginUpdate() { ++FUpdateCount; }

void TNotifiablePersistent::EndUpdate() {
  if (FUpdateCount <= 0)
    throw EAssertionFailed("Unpaired TThreadPersistent.EndUpdate (raster/persistent.cpp, line " +
                           std::to_string(__LINE__) + ")");
  --FUpdateCount;
}

void TNotifiablePersistent::Changed() {
  if (FUpdateCount == 0 && OnChange) OnChange(this);
}

void TThreadPersistent::Lock() {
  FLockCount.fetch_add(1);
  FLock.lock();
}

void TThreadPersistent::Unlock() {
  FLock.unlock();
  FLockCount.fetch_sub(1);
}

bool TCustomMap::SetSize(int NewWidth, int NewHeight) {
  if (NewWidth < 0) NewWidth = 0;
  if (NewHeight < 0) NewHeight = 0;
  if (NewWidth == FWidth && NewHeight == FHeight) return false;
  ChangeSize(FWidth, FHeight, NewWidth, NewHeight);
  Changed();
  Resized();
  return true;
}

void TCustomMap::SetSizeFrom(TObject* Source) {
  if (Source == nullptr) {
    SetSize(0, 0);
  } else if (auto* map = dynamic_cast<TCustomMap*>(Source)) {
    SetSize(map->Width(), map->Height());
  } else if (auto* graphic = dynamic_cast<TBitmap*>(Source)) {
    SetSize(graphic->Width(), graphic->Height());
  } else if (auto* control = dynamic_cast<TControl*>(Source)) {
    SetSize(control->Width(), control->Height());
  } else {
    throw ERasterError(("Can't set size from '" + ClassNameOf(*Source) + "'").toStdString());
  }
}

void TCustomMap::Delete() { SetSize(0, 0); }

bool TCustomMap::Empty() const { return FWidth == 0 || FHeight == 0; }

void TCustomMap::ChangeSize(int& Width, int& Height, int NewWidth, int NewHeight) {
  Width = NewWidth;
  Height = NewHeight;
}

void TCustomMap::Resized() {
  if (OnResize) OnResize(this);
}

QString ClassNameOf(const TObject& Object) {
  const char* mangled = typeid(Object).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> plain(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  QString name = QString::fromLatin1(status == 0 && plain ? plain.get() : mangled);
  // Only the class's own name, without the namespaces around it.
  const qsizetype colons = name.lastIndexOf(QLatin1String("::"));
  return colons < 0 ? name : name.mid(colons + 2);
}
