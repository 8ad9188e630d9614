#include "raster/backends.h"

#include "raster/bitmap32.h"
#include "raster/low_level.h"

TCustomBackend::TCustomBackend() {
  FRefCounted = true;
  FRefCount = 1;
}

// A derived backend releases its own surface in its destructor: by the time this
// one runs, ReleaseSurface no longer reaches the derived form.
TCustomBackend::~TCustomBackend() = default;

void TCustomBackend::Install(TCustomBackend* Backend, TCustomBitmap32* Owner) {
  Backend->FOwner = Owner;
  if (Owner == nullptr) return;
  try {
    Owner->SetBackend(Backend);
  } catch (...) {
    if (Owner->Backend() != Backend) Backend->_Release();
    throw;
  }
}

void TCustomBackend::Assign(const TCustomBackend& Source) {
  if (FOwner == nullptr) return;
  TCustomMap& owner = *FOwner;
  const int width = Source.FOwner ? Source.FOwner->Width() : 0;
  const int height = Source.FOwner ? Source.FOwner->Height() : 0;
  ChangeSize(owner.FWidth, owner.FHeight, width, height, false);
  if (!Source.Empty() && FBits != nullptr && Source.FBits != nullptr)
    MoveDwords(Source.FBits, FBits, static_cast<int32_t>(int64_t{owner.FWidth} * owner.FHeight));
}

void TCustomBackend::Clear() {
  if (FOwner != nullptr) {
    TCustomMap& owner = *FOwner;
    ChangeSize(owner.FWidth, owner.FHeight, 0, 0, false);
  } else {
    int width = 0;
    int height = 0;
    ChangeSize(width, height, 0, 0, false);
  }
}

void TCustomBackend::ChangeSize(int& Width, int& Height, int NewWidth, int NewHeight, bool ClearBuffer) {
  Changing();
  try {
    ReleaseSurface();
    Width = 0;
    Height = 0;
    if (NewWidth > 0 && NewHeight > 0) AllocateSurface(NewWidth, NewHeight, ClearBuffer);
    Width = NewWidth;
    Height = NewHeight;
  } catch (...) {
    Changed();
    throw;
  }
  Changed();
}

void TCustomBackend::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCustomBackend::AllocateSurface(int, int, bool) {}

void TCustomBackend::ReleaseSurface() {}

namespace {

bool HasInterface(TCustomBitmap32* bitmap, const TGUID& iid) {
  void* obj = nullptr;
  return bitmap->QueryInterface(iid, obj);
}

}  // namespace

void DemandBackendSupport(TCustomBitmap32* TargetBitmap, std::initializer_list<TGUID> RequiredInterfaces,
                          TRequireMode Mode, bool Destructive, TCustomBackend*& ReleasedBackend) {
  bool supported = false;
  if (RequiredInterfaces.size() != 0) {
    // rqAll is decided by the first missing interface, rqAny by the first present one.
    supported = Mode == rqAll;
    for (const TGUID& iid : RequiredInterfaces) {
      if (HasInterface(TargetBitmap, iid) != (Mode == rqAll)) {
        supported = !supported;
        break;
      }
    }
  }
  if (supported) {
    ReleasedBackend = nullptr;
    return;
  }
  // At 0 x 0 the new backend has no pixels to take over.
  if (Destructive) TargetBitmap->SetSize(0, 0);
  ReleasedBackend = TargetBitmap->ReleaseBackend();
  TargetBitmap->SetBackend(PlatformBackendClass());
}

void RevertBackend(TCustomBitmap32* TargetBitmap, TCustomBackend* SavedBackend) {
  if (SavedBackend != nullptr) TargetBitmap->SetBackend(SavedBackend);
}
