#include "raster/backends.h"
#include "raster/device_backend.h"
#include "raster/memory_backend.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"

#include "bitmap_test_support.h"

#include <QImage>

namespace {

class Backends : public RasterTest {};

TEST_F(Backends, NewSurfacesAreOpaqueBlackInMemoryAndTransparentOnTheDevice) {
  TCustomBitmap32 memory;
  TBitmap32 device;
  EXPECT_NE(dynamic_cast<TMemoryBackend*>(memory.Backend()), nullptr);
  EXPECT_NE(dynamic_cast<TDeviceBackend*>(device.Backend()), nullptr);
  for (TCustomBitmap32* bitmap : {static_cast<TCustomBitmap32*>(&memory), static_cast<TCustomBitmap32*>(&device)}) {
    bitmap->SetSize(2, 2);
    const TColor32 fresh = bitmap == &memory ? clBlack32 : 0u;
    EXPECT_EQ(PixelsOf(*bitmap), std::vector<TColor32>(4, fresh));
    // The old pixels are not kept: a resize starts from a fresh surface.
    bitmap->Clear(0x80808080u);
    bitmap->SetSize(3, 1);
    EXPECT_EQ(PixelsOf(*bitmap), std::vector<TColor32>(3, fresh));
    EXPECT_EQ(bitmap->Bits(), bitmap->Backend()->Bits());
  }
}

TEST_F(Backends, DemandBackendSupportSwapsOnlyWhenTheInterfacesAreMissing) {
  TBitmap32 device;
  TCustomBackend* const deviceBackend = device.Backend();
  TCustomBackend* released = reinterpret_cast<TCustomBackend*>(1);
  DemandBackendSupport(&device, {IDeviceContextSupport::IID, ICanvasSupport::IID}, rqAny, false, released);
  EXPECT_EQ(released, nullptr);
  EXPECT_EQ(device.Backend(), deviceBackend);
  DemandBackendSupport(&device, {ITextSupport::IID, IFontSupport::IID}, rqAll, false, released);
  EXPECT_EQ(released, nullptr);

  for (bool destructive : {false, true}) {
    SCOPED_TRACE(destructive);
    TCustomBitmap32 memory;
    SetPixels(memory, 2, 1, {0x01020304u, 0x05060708u});
    TCustomBackend* const memoryBackend = memory.Backend();
    DemandBackendSupport(&memory, {IDeviceContextSupport::IID, ICanvasSupport::IID}, rqAny, destructive, released);
    EXPECT_EQ(released, memoryBackend);
    EXPECT_EQ(released->RefCount(), 1);  // the extra reference keeps it alive
    EXPECT_NE(dynamic_cast<TDeviceBackend*>(memory.Backend()), nullptr);
    EXPECT_NE(Supports<ICanvasSupport>(&memory), nullptr);
    if (destructive) {
      EXPECT_TRUE(memory.Empty());
      SetPixels(memory, 2, 1, {0x01020304u, 0x05060708u});
    } else {
      EXPECT_EQ(PixelsOf(memory), (std::vector<TColor32>{0x01020304u, 0x05060708u}));
    }
    RevertBackend(&memory, released);
    EXPECT_EQ(memory.Backend(), memoryBackend);
    EXPECT_EQ(memoryBackend->RefCount(), 1);
    EXPECT_EQ(PixelsOf(memory), (std::vector<TColor32>{0x01020304u, 0x05060708u}));
  }

  // An empty list never satisfies, so even the device bitmap gets a new backend.
  DemandBackendSupport(&device, {}, rqAll, false, released);
  EXPECT_EQ(released, deviceBackend);
  EXPECT_NE(device.Backend(), deviceBackend);
  RevertBackend(&device, released);
  EXPECT_EQ(device.Backend(), deviceBackend);
}

TEST_F(Backends, ABackendWithReferencesLeftCannotBeFreed) {
  auto* backend = new TMemoryBackend();
  EXPECT_EQ(backend->RefCount(), 1);
  try {
    backend->Free();
    FAIL() << "freed with a reference left";
  } catch (const ERasterError& e) {
    EXPECT_STREQ(e.what(), "Unmatched reference counting.");
  }
  EXPECT_EQ(backend->_Release(), 0);  // destroys it
}

TEST_F(Backends, MissingInterfacesRaiseExceptInDeleteCanvas) {
  TBitmap32 bitmap;
  bitmap.SetBackend(TCustomBackend::Create<TMemoryBackend>());
  EXPECT_NO_THROW(bitmap.DeleteCanvas());
  EXPECT_THROW(bitmap.Canvas(), EIntfCastError);
  EXPECT_THROW(bitmap.Font(), EIntfCastError);
  EXPECT_THROW(bitmap.Textout(0, 0, "x"), EIntfCastError);
}

TEST_F(Backends, ABackendThatCannotDrawMakesTheImportFail) {
  struct Restore {
    TBackendClass saved = PlatformBackendClass;
    ~Restore() { PlatformBackendClass = saved; }
  } restore;
  PlatformBackendClass = [] { return static_cast<TCustomBackend*>(new TMemoryBackend()); };
  TCustomBitmap32 bitmap;
  TBitmap graphic;
  graphic.SetSize(2, 2);
  try {
    bitmap.Assign(&graphic);
    FAIL() << "imported without a device context or canvas";
  } catch (const ERasterError& e) {
    EXPECT_STREQ(e.what(), "Inpropriate Backend");
  }
  EXPECT_EQ(bitmap.UpdateCount(), 0);
}

TEST_F(Backends, TheCanvasDrawsOnThePixelsAndFollowsAResize) {
  TBitmap32 bitmap;
  bitmap.SetSize(4, 4);
  int handles = 0;
  bitmap.OnHandleChanged = [&](TObject*) { ++handles; };
  NotificationRecorder rec(bitmap);
  TCanvas* canvas = bitmap.Canvas();
  EXPECT_TRUE(bitmap.CanvasAllocated());
  canvas->Brush()->SetColor(clRed);
  canvas->FillRect(Rect(1, 1, 3, 2));
  EXPECT_EQ(bitmap.Pixel(1, 1), 0xFFFF0000u);
  EXPECT_EQ(bitmap.Pixel(2, 1), 0xFFFF0000u);
  EXPECT_EQ(bitmap.Pixel(3, 1), 0u);
  EXPECT_EQ(rec.changes, 1);  // a canvas operation notifies the bitmap

  bitmap.SetSize(6, 6);
  EXPECT_EQ(handles, 1);
  EXPECT_FALSE(bitmap.CanvasAllocated());
  canvas = bitmap.Canvas();
  canvas->Brush()->SetColor(clLime);
  canvas->FillRect(Rect(5, 5, 6, 6));
  EXPECT_EQ(bitmap.Pixel(5, 5), 0xFF00FF00u);
  EXPECT_EQ(bitmap.Pixel(1, 1), 0u);
}

// Textout writes only inside the clip rectangle it is given or the bitmap's own.
TEST_F(Backends, TextStaysInsideTheClipRectangle) {
  constexpr TColor32 background = 0xFF102030u;
  for (bool explicitClip : {false, true}) {
    SCOPED_TRACE(explicitClip ? "Textout(X, Y, ClipRect, Text)" : "the bitmap's ClipRect");
    TBitmap32 bitmap;
    bitmap.SetSize(40, 30);
    bitmap.Clear(background);
    bitmap.Font()->SetSize(28);
    bitmap.Font()->SetColor(clWhite);
    const TRect clip = Rect(2, 2, 10, 10);
    NotificationRecorder rec(bitmap);
    if (explicitClip) {
      bitmap.Textout(0, -4, clip, "WWW");
    } else {
      bitmap.SetClipRect(clip);
      bitmap.Textout(0, -4, "WWW");
    }
    int changedInside = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) {
        const bool inside = x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom;
        if (inside)
          changedInside += bitmap.Pixel(x, y) != background;
        else
          ASSERT_EQ(bitmap.Pixel(x, y), background) << x << "," << y;
      }
    EXPECT_GT(changedInside, 0);
    const TSize extent = bitmap.TextExtent("WWW");
    ASSERT_EQ(rec.areas.size(), 1u);
    EXPECT_EQ(rec.areas[0], Rect(0, -4, extent.cx + 1, extent.cy - 3));
  }
}

TEST_F(Backends, MeasuringTextReportsWithoutDrawing) {
  TBitmap32 bitmap;
  bitmap.SetSize(20, 20);
  std::vector<TRect> areas;
  bitmap.BeginMeasuring([&](TObject*, const TRect& area, uint32_t) { areas.push_back(area); });
  bitmap.Textout(1, 2, "Wg");
  bitmap.Textout(Rect(0, 0, 20, 20), DT_CENTER, "Wg");
  bitmap.EndMeasuring();
  EXPECT_EQ(PixelsOf(bitmap), std::vector<TColor32>(400, 0u));
  const TSize extent = bitmap.TextExtent("Wg");
  EXPECT_EQ(areas, (std::vector<TRect>{Rect(1, 2, 2 + extent.cx, 3 + extent.cy), Rect(0, 0, 20, 20)}));
}

TEST_F(Backends, AFontChangeReachesTheNextTextout) {
  TBitmap32 bitmap;
  bitmap.SetSize(200, 60);
  std::vector<TRect> areas;
  bitmap.OnAreaChanged = [&](TObject*, const TRect& area, uint32_t) { areas.push_back(area); };
  bitmap.Font()->SetSize(8);
  bitmap.Textout(0, 0, "Wide");
  bitmap.Font()->SetSize(24);
  bitmap.Textout(0, 0, "Wide");
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_GT(areas[1].Width(), areas[0].Width() * 2);
  EXPECT_GT(areas[1].Height(), areas[0].Height() * 2);
}

TEST_F(Backends, AnEmptyBitmapStillMeasuresText) {
  TBitmap32 bitmap;
  bitmap.Font()->SetSize(16);
  const TSize empty = bitmap.TextExtent("Measure");
  EXPECT_GT(empty.cx, 0);
  EXPECT_GT(empty.cy, 0);
  bitmap.SetSize(10, 10);
  EXPECT_EQ(bitmap.TextExtent("Measure"), empty);
  EXPECT_EQ(bitmap.TextWidth("Measure"), empty.cx);
}

TEST_F(Backends, DeviceTransfersCopyThePixelsWhole) {
  TBitmap32 bitmap;
  SetPixels(bitmap, 2, 1, {0x80FF0000u, 0xFF00FF00u});
  QImage target(3, 1, QImage::Format_ARGB32);
  target.fill(0xFF0000FFu);
  auto* dc = Supports<IDeviceContextSupport>(&bitmap);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(dc->GetHandle(), bitmap.Handle());
  dc->DrawTo(&target, 1, 0);
  EXPECT_EQ(target.pixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(target.pixel(1, 0), 0x80FF0000u);  // copied, not blended
  EXPECT_EQ(target.pixel(2, 0), 0xFF00FF00u);

  QImage source(1, 1, QImage::Format_RGB32);
  source.fill(0xFF123456u);
  NotificationRecorder rec(bitmap);
  dc->Draw(Rect(0, 0, 2, 1), Rect(0, 0, 1, 1), source);
  EXPECT_EQ(PixelsOf(bitmap), std::vector<TColor32>(2, 0xFF123456u));
  EXPECT_EQ(rec.areas, (std::vector<TRect>{Rect(0, 0, 2, 1)}));
}

}  // namespace
