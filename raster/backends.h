#pragma once
// Bitmap backends: the owner of a bitmap's pixel memory and of whatever the
// platform can do with it.
//
// TCustomBackend is the base; TMemoryBackend (raster/memory_backend.h) keeps the
// pixels on the heap, TDeviceBackend (raster/device_backend.h) in an image the
// toolkit can paint on, with a canvas, a font and text output. The optional
// abilities are interfaces a bitmap asks its backend for (Supports<I>);
// DemandBackendSupport and RevertBackend swap a backend for the length of an
// operation that needs an ability the current one lacks.
//
// Lifetime: backends are reference counted. A new backend holds one reference,
// its creator's, which SetBackend hands to the bitmap; the bitmap's DropBackend
// releases it, which destroys the backend unless someone took an extra
// reference with the bitmap's ReleaseBackend.
//
// Threads: the user-interface thread, as the bitmap.

#include "raster/geometry.h"
#include "raster/persistent.h"

#include <QString>

#include <initializer_list>

class QImage;
class QPaintDevice;
class TBitmap;
class TCanvas;
class TCustomBitmap32;
class TFont;

class TCustomBackend : public TThreadPersistent {
public:
  // Reference counting on, with the creator's reference.
  TCustomBackend();
  ~TCustomBackend() override;

  // A new backend of type T for Owner: constructed, then installed with
  // Owner->SetBackend when Owner is not nullptr (the bitmap takes the reference).
  template <class T>
  static T* Create(TCustomBitmap32* Owner = nullptr) {
    T* backend = new T();
    Install(backend, Owner);
    return backend;
  }

  PColor32 Bits() const { return FBits; }
  TCustomBitmap32* Owner() const { return FOwner; }

  // When this backend has an owner: the owner takes Source's owner's size
  // (without clearing) and, unless Source is empty, Source's pixels.
  virtual void Assign(const TCustomBackend& Source);
  // Size 0 x 0 (the owner's size when there is one).
  virtual void Clear();
  virtual bool Empty() const { return false; }
  // Changing; the surface is released; Width = Height = 0; a surface is allocated
  // when both new sizes are above 0; Width and Height take the new sizes; Changed
  // in every case, also after an exception.
  virtual void ChangeSize(int& Width, int& Height, int NewWidth, int NewHeight, bool ClearBuffer);

  TNotifyEvent OnChanging;

protected:
  // OnChanging(this).
  virtual void Changing();
  virtual void AllocateSurface(int NewWidth, int NewHeight, bool ClearBuffer);
  virtual void ReleaseSurface();

  PColor32 FBits = nullptr;
  TCustomBitmap32* FOwner = nullptr;

private:
  static void Install(TCustomBackend* Backend, TCustomBitmap32* Owner);
  friend class TCustomBitmap32;
};

// ---- Abilities ------------------------------------------------------------------

// Text in the backend's font, reported to the owner (see TDeviceBackend).
class ITextSupport {
public:
  static constexpr TGUID IID{0x225997CC, 0x958A, 0x423E, {0x8B, 0x60, 0x9E, 0xDE, 0x0D, 0x3B, 0x53, 0xB5}};
  virtual void Textout(int X, int Y, const QString& Text) = 0;
  virtual void Textout(int X, int Y, const TRect& ClipRect, const QString& Text) = 0;
  virtual void Textout(const TRect& DstRect, uint32_t Flags, const QString& Text) = 0;
  virtual TSize TextExtent(const QString& Text) = 0;

protected:
  ~ITextSupport() = default;
};

class IFontSupport {
public:
  static constexpr TGUID IID{0x67C73044, 0x1EFF, 0x4FDE, {0xAE, 0xA2, 0x56, 0xBF, 0xAD, 0xA5, 0x0A, 0x48}};
  virtual TNotifyEvent GetOnFontChange() = 0;
  virtual void SetOnFontChange(const TNotifyEvent& Handler) = 0;
  virtual TFont* GetFont() = 0;
  // Copies Font into the backend's font, then OnFontChange.
  virtual void SetFont(const TFont& Font) = 0;
  virtual void UpdateFont() = 0;

protected:
  ~IFontSupport() = default;
};

class ICanvasSupport {
public:
  static constexpr TGUID IID{0x5ACFEEC7, 0x0123, 0x4AD8, {0x8A, 0xE6, 0x14, 0x57, 0x18, 0x43, 0x8E, 0x01}};
  virtual TNotifyEvent GetCanvasChange() = 0;
  virtual void SetCanvasChange(const TNotifyEvent& Handler) = 0;
  // Created on first use.
  virtual TCanvas* GetCanvas() = 0;
  virtual void DeleteCanvas() = 0;
  virtual bool CanvasAllocated() const = 0;

protected:
  ~ICanvasSupport() = default;
};

// The "device context" is the image that holds the pixels, a paint device of the
// toolkit. Transfers copy (they do not blend), as a block copy does.
class IDeviceContextSupport {
public:
  static constexpr TGUID IID{0xDD1109DA, 0x4019, 0x4A5C, {0xA4, 0x50, 0x36, 0x31, 0xA7, 0x3C, 0xF2, 0x88}};
  // nullptr when there is no surface.
  virtual QImage* GetHandle() = 0;
  // SrcRect of Src stretched into DstRect of the pixels; DstRect is reported.
  virtual void Draw(const TRect& DstRect, const TRect& SrcRect, const QImage& Src) = 0;
  // The owner's whole picture 1:1 at (DstX, DstY) of Dst.
  virtual void DrawTo(QPaintDevice* Dst, int DstX, int DstY) = 0;
  // SrcRect of the pixels stretched into DstRect of Dst.
  virtual void DrawTo(QPaintDevice* Dst, const TRect& DstRect, const TRect& SrcRect) = 0;

protected:
  ~IDeviceContextSupport() = default;
};

// ---- Backend swapping -----------------------------------------------------------

enum TRequireMode : uint8_t { rqAll, rqAny };

// Makes the backend DemandBackendSupport installs; by default a TDeviceBackend.
using TBackendClass = TCustomBackend* (*)();
extern TBackendClass PlatformBackendClass;

// Whether TargetBitmap has the interfaces: rqAll needs every one, rqAny one of
// them; the list is walked in order up to the first entry that decides, and an
// empty list counts as no. Yes: ReleasedBackend = nullptr. No: when Destructive
// the bitmap is first resized to 0 x 0; ReleasedBackend = the old backend with
// an extra reference; a new PlatformBackendClass backend is installed (taking
// over the pixels unless the size was set to 0).
void DemandBackendSupport(TCustomBitmap32* TargetBitmap, std::initializer_list<TGUID> RequiredInterfaces,
                          TRequireMode Mode, bool Destructive, TCustomBackend*& ReleasedBackend);
// When SavedBackend is not nullptr, reinstalls it (pixels copied back, the
// temporary backend released).
void RevertBackend(TCustomBitmap32* TargetBitmap, TCustomBackend* SavedBackend);

// ---- Library state --------------------------------------------------------------

// An 8 x 8 toolkit bitmap for measuring text when a bitmap has no surface;
// between library start-up and shut-down only.
TBitmap* SharedScratchBitmap();
void CreateSharedScratchBitmap();
void FreeSharedScratchBitmap();
