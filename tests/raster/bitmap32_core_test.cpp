#include "raster/backends.h"
#include "raster/bitmap32.h"
#include "raster/gamma.h"
#include "raster/perf_timer.h"
#include "raster/resamplers.h"

#include "platform/rtl/sys_utils.h"
#include "platform/ui/bitmap.h"

#include "bitmap_test_support.h"

#include <memory>

namespace {

class Bitmap32Core : public RasterTest {};

TEST_F(Bitmap32Core, SetSizeCountsNegativeSizesAsZeroAndReportsEveryChange) {
  struct Case {
    int width, height;
    int expectWidth, expectHeight;
    bool empty;
  };
  const Case cases[] = {{-5, 3, 0, 3, true}, {4, -1, 4, 0, true}, {3, 2, 3, 2, false}, {0, 0, 0, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    TCustomBitmap32 bitmap;
    bitmap.SetSize(7, 7);
    NotificationRecorder rec(bitmap);
    EXPECT_TRUE(bitmap.SetSize(c.width, c.height));
    EXPECT_EQ(bitmap.Width(), c.expectWidth);
    EXPECT_EQ(bitmap.Height(), c.expectHeight);
    EXPECT_EQ(bitmap.Empty(), c.empty);
    EXPECT_EQ(bitmap.Bits() == nullptr, c.empty);
    EXPECT_EQ(bitmap.ClipRect(), bitmap.BoundsRect());
    EXPECT_EQ(rec.changes, 1);
    EXPECT_EQ(rec.resizes, 1);
    ASSERT_EQ(rec.areas.size(), 1u);
    EXPECT_EQ(rec.areas[0], Rect(0, 0, c.expectWidth, c.expectHeight));
    EXPECT_EQ(rec.infos[0], AreaKindRect);
  }
}

TEST_F(Bitmap32Core, UnchangedSizeAndClearOfAnEmptyBitmapSendNothing) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(-2, 4);  // 0 x 4: empty
  NotificationRecorder rec(bitmap);
  EXPECT_FALSE(bitmap.SetSize(0, 4));
  EXPECT_FALSE(bitmap.SetSize(-9, 4));
  bitmap.Clear();
  bitmap.Clear(0x12345678u);
  bitmap.SetWidth(0);
  EXPECT_EQ(rec.changes, 0);
  EXPECT_EQ(rec.resizes, 0);
  EXPECT_TRUE(rec.areas.empty());
}

TEST_F(Bitmap32Core, UpdateModeHoldsBackNotificationAndEndUpdateDoesNotSendIt) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(3, 2);
  NotificationRecorder rec(bitmap);
  bitmap.BeginUpdate();
  bitmap.BeginUpdate();
  bitmap.Clear(0xFF00FF00u);
  bitmap.SetDrawMode(dmBlend);
  bitmap.SetSize(4, 2);
  bitmap.EndUpdate();
  bitmap.EndUpdate();
  EXPECT_EQ(rec.changes, 0);
  EXPECT_TRUE(rec.areas.empty());
  EXPECT_EQ(rec.resizes, 1);  // OnResize is not held back
  bitmap.Changed();
  EXPECT_EQ(rec.changes, 1);
  ASSERT_EQ(rec.areas.size(), 1u);
  EXPECT_EQ(rec.areas[0], Rect(0, 0, 4, 2));

  rec.Reset();
  bitmap.PropertyChanged();
  EXPECT_EQ(rec.changes, 1);
  EXPECT_TRUE(rec.areas.empty());

  try {
    bitmap.EndUpdate();
    FAIL() << "an unpaired EndUpdate passed";
  } catch (const EAssertionFailed& e) {
    EXPECT_NE(std::string(e.what()).find("Unpaired TThreadPersistent.EndUpdate"), std::string::npos) << e.what();
  }
  EXPECT_EQ(bitmap.UpdateCount(), 0);
}

TEST_F(Bitmap32Core, MeasuringReportsAreasEvenWhileUpdatingButWritesAndFiresNothing) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(4, 3);
  NotificationRecorder rec(bitmap);
  std::vector<TRect> measured;
  bitmap.BeginMeasuring([&](TObject* sender, const TRect& area, uint32_t info) {
    EXPECT_EQ(sender, &bitmap);
    EXPECT_EQ(info, AreaKindRect);
    measured.push_back(area);
  });
  EXPECT_TRUE(bitmap.MeasuringMode());
  bitmap.Clear(0xFF0000FFu);
  bitmap.BeginUpdate();
  bitmap.FillRect(1, 1, 3, 2, 0xFFFFFFFFu);
  bitmap.Changed(Rect(0, 1, 2, 3));
  bitmap.EndUpdate();
  bitmap.EndMeasuring();

  EXPECT_EQ(measured, (std::vector<TRect>{Rect(0, 0, 4, 3), Rect(1, 1, 3, 2), Rect(0, 1, 2, 3)}));
  EXPECT_EQ(rec.changes, 0);
  EXPECT_TRUE(rec.areas.empty());
  EXPECT_EQ(bitmap.Pixel(0, 0), clBlack32);  // Clear wrote nothing

  // The handler from before measuring is back.
  bitmap.Changed();
  EXPECT_EQ(rec.changes, 1);
  EXPECT_EQ(rec.areas.size(), 1u);
  EXPECT_FALSE(bitmap.MeasuringMode());
}

TEST_F(Bitmap32Core, ClipRectIsCutToTheBitmapWithoutNotification) {
  struct Case {
    TRect set;
    TRect expected;
    bool clipping;
  };
  const Case cases[] = {
      {Rect(-5, -5, 4, 20), Rect(0, 0, 4, 8), true},
      {Rect(2, 1, 9, 7), Rect(2, 1, 9, 7), true},
      {Rect(20, 20, 30, 30), Rect(0, 0, 0, 0), true},  // misses: (0, 0, 0, 0), not BoundsRect
      {Rect(10, 0, 12, 8), Rect(10, 0, 10, 8), true},    // touches the right edge: zero width kept
      {Rect(0, 0, 10, 8), Rect(0, 0, 10, 8), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.set.Left << "," << c.set.Top << "," << c.set.Right << "," << c.set.Bottom);
    TCustomBitmap32 bitmap;
    bitmap.SetSize(10, 8);
    NotificationRecorder rec(bitmap);
    bitmap.SetClipRect(c.set);
    EXPECT_EQ(bitmap.ClipRect(), c.expected);
    EXPECT_EQ(bitmap.Clipping(), c.clipping);
    const TRect& e = c.expected;
    EXPECT_EQ(bitmap.FixedClipRect(), (TFixedRect{e.Left * 65536, e.Top * 65536, e.Right * 65536, e.Bottom * 65536}));
    EXPECT_EQ(bitmap.ClipRect256(), Rect(e.Left * 256, e.Top * 256, e.Right * 256, e.Bottom * 256));
    EXPECT_EQ(rec.changes, 0);
    EXPECT_TRUE(rec.areas.empty());
  }
}

TEST_F(Bitmap32Core, ClipRectGovernsClearPixelSAndPixelWAndResizeResetsIt) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(5, 4);
  for (int i = 0; i < 20; ++i) bitmap.Bits()[i] = 0xFF000000u | static_cast<TColor32>(i);
  bitmap.SetClipRect(Rect(1, 1, 4, 3));
  NotificationRecorder rec(bitmap);
  bitmap.SetOuterColor(0x00ABCDEFu);
  EXPECT_EQ(bitmap.PixelS(0, 1), 0x00ABCDEFu);
  EXPECT_EQ(bitmap.PixelS(1, 1), 0xFF000006u);
  bitmap.SetPixelS(4, 2, 0x11111111u);  // outside: nothing
  EXPECT_EQ(bitmap.Pixel(4, 2), 0xFF00000Eu);

  bitmap.SetWrapMode(wmRepeat);  // the wrap routines fold into columns 1..3, rows 1..2
  EXPECT_EQ(bitmap.PixelW(4, 3), bitmap.Pixel(1, 1));
  EXPECT_EQ(bitmap.PixelW(0, 0), bitmap.Pixel(3, 2));
  bitmap.SetWrapMode(wmClamp);
  EXPECT_EQ(bitmap.PixelW(-7, 9), bitmap.Pixel(1, 2));

  rec.Reset();
  bitmap.Clear(0xFFFFFFFFu);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) {
      const bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
      EXPECT_EQ(bitmap.Pixel(x, y) == 0xFFFFFFFFu, inside) << x << "," << y;
    }
  // FillRect reports the clip, then Clear the whole bitmap.
  EXPECT_EQ(rec.areas, (std::vector<TRect>{Rect(1, 1, 4, 3), Rect(0, 0, 5, 4)}));

  bitmap.SetSize(6, 6);
  EXPECT_EQ(bitmap.ClipRect(), Rect(0, 0, 6, 6));
  EXPECT_FALSE(bitmap.Clipping());
}

TEST_F(Bitmap32Core, SettersNotifyOnlyOnAChangeAndCombineModePicksTheBlendRoutine) {
  TCustomBitmap32 bitmap;
  EXPECT_EQ(bitmap.DrawMode(), dmOpaque);
  EXPECT_EQ(bitmap.CombineMode(), cmBlend);
  EXPECT_EQ(bitmap.WrapMode(), wmClamp);
  EXPECT_EQ(bitmap.MasterAlpha(), 255u);
  EXPECT_EQ(bitmap.OuterColor(), 0u);
  EXPECT_EQ(bitmap.PenColor(), 0xFFFFFFFFu);
  EXPECT_EQ(bitmap.StippleStep(), 1.0f);
  EXPECT_EQ(bitmap.BlendProc(), BlendPxInto);
  NotificationRecorder rec(bitmap);

  bitmap.SetCombineMode(cmBlend);
  bitmap.SetDrawMode(dmOpaque);
  bitmap.SetWrapMode(wmClamp);
  bitmap.SetMasterAlpha(255);
  EXPECT_EQ(rec.changes, 0);

  bitmap.SetCombineMode(cmMerge);
  EXPECT_EQ(bitmap.BlendProc(), MergePxInto);
  bitmap.SetDrawMode(dmTransparent);
  bitmap.SetWrapMode(wmMirror);
  bitmap.SetMasterAlpha(17);
  EXPECT_EQ(rec.changes, 4);
}

TEST_F(Bitmap32Core, ResamplerClassNameOnlyTakesRegisteredOtherNames) {
  TCustomBitmap32 bitmap;
  ASSERT_NE(bitmap.Resampler(), nullptr);
  EXPECT_EQ(bitmap.ResamplerClassName(), "TNearestResampler");
  EXPECT_EQ(bitmap.Resampler()->Bitmap(), &bitmap);
  TCustomResampler* const original = bitmap.Resampler();
  NotificationRecorder rec(bitmap);
  for (const char* name : {"", "TNearestResampler", "TNoSuchResampler", "tnearestresampler"})
    bitmap.SetResamplerClassName(name);
  EXPECT_EQ(bitmap.Resampler(), original);
  EXPECT_EQ(rec.changes, 0);

  bitmap.SetResampler(std::make_unique<TNearestResampler>());
  EXPECT_NE(bitmap.Resampler(), original);
  EXPECT_EQ(bitmap.Resampler()->Bitmap(), &bitmap);
  EXPECT_EQ(rec.changes, 1);
  // A resampler change reaches the bitmap.
  bitmap.Resampler()->SetPixelAccessMode(pamWrap);
  EXPECT_EQ(rec.changes, 2);
}

TEST_F(Bitmap32Core, AssignCopiesPixelsAndSettingsWithOneNotification) {
  TCustomBitmap32 source;
  SetPixels(source, 3, 2, {1, 2, 3, 4, 5, 6});
  source.SetDrawMode(dmBlend);
  source.SetCombineMode(cmMerge);
  source.SetWrapMode(wmRepeat);
  source.SetMasterAlpha(99);
  source.SetOuterColor(0x12345678u);
  source.Resampler()->SetPixelAccessMode(pamTransparentEdge);

  TCustomBitmap32 target;
  NotificationRecorder rec(target);
  target.Assign(&source);
  EXPECT_EQ(PixelsOf(target), PixelsOf(source));
  EXPECT_EQ(target.DrawMode(), dmBlend);
  EXPECT_EQ(target.CombineMode(), cmMerge);
  EXPECT_EQ(target.BlendProc(), MergePxInto);
  EXPECT_EQ(target.WrapMode(), wmRepeat);
  EXPECT_EQ(target.MasterAlpha(), 99u);
  EXPECT_EQ(target.OuterColor(), 0x12345678u);
  EXPECT_EQ(target.Resampler()->PixelAccessMode(), pamTransparentEdge);
  EXPECT_EQ(rec.changes, 1);
  EXPECT_EQ(rec.resizes, 1);

  target.Assign(nullptr);
  EXPECT_TRUE(target.Empty());
  EXPECT_EQ(target.Width(), 0);

  TFont notAPicture;
  rec.Reset();
  EXPECT_THROW(target.Assign(&notAPicture), EConvertError);
  EXPECT_EQ(target.UpdateCount(), 0);
  EXPECT_EQ(rec.changes, 1);  // Changed also on the way out of a failure
}

TEST_F(Bitmap32Core, SetSizeFromTakesMapsAndToolkitBitmapsAndNamesAnythingElse) {
  TCustomBitmap32 bitmap;
  TCustomBitmap32 other;
  other.SetSize(6, 2);
  bitmap.SetSizeFrom(&other);
  EXPECT_EQ(bitmap.BoundsRect(), Rect(0, 0, 6, 2));
  TBitmap graphic;
  graphic.SetSize(3, 9);
  bitmap.SetSizeFrom(&graphic);
  EXPECT_EQ(bitmap.BoundsRect(), Rect(0, 0, 3, 9));
  bitmap.SetSizeFrom(nullptr);
  EXPECT_EQ(bitmap.BoundsRect(), Rect(0, 0, 0, 0));
  TFont font;
  try {
    bitmap.SetSizeFrom(&font);
    FAIL() << "a font gave a size";
  } catch (const ERasterError& e) {
    EXPECT_STREQ(e.what(), "Can't set size from 'TFont'");
  }
}

TEST_F(Bitmap32Core, DestructionIsSilentExceptForTheResize) {
  for (int size : {0, 3}) {
    SCOPED_TRACE(size);
    int changes = 0, resizes = 0, areas = 0;
    auto bitmap = std::make_unique<TCustomBitmap32>();
    bitmap->SetSize(size, size);
    bitmap->OnChange = [&](TObject*) { ++changes; };
    bitmap->OnResize = [&](TObject*) { ++resizes; };
    bitmap->OnAreaChanged = [&](TObject*, const TRect&, uint32_t) { ++areas; };
    bitmap.reset();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(areas, 0);
    EXPECT_EQ(resizes, size > 0 ? 1 : 0);
  }
}

TEST_F(Bitmap32Core, ResetAlphaKeepsTheColourBytes) {
  TCustomBitmap32 bitmap;
  SetPixels(bitmap, 2, 1, {0x00123456u, 0x80FEDCBAu});
  bitmap.ResetAlpha();
  EXPECT_EQ(PixelsOf(bitmap), (std::vector<TColor32>{0xFF123456u, 0xFFFEDCBAu}));
  bitmap.ResetAlpha(7);
  EXPECT_EQ(PixelsOf(bitmap), (std::vector<TColor32>{0x07123456u, 0x07FEDCBAu}));
}

TEST_F(Bitmap32Core, StartupPreparesWhatBitmapsNeedAndShutdownFreesIt) {
  RasterLibraryShutdown();
  EXPECT_EQ(SharedScratchBitmap(), nullptr);
  EXPECT_TRUE(ResamplerClasses().empty());
  RasterLibraryStartup();
  ASSERT_NE(SharedScratchBitmap(), nullptr);
  EXPECT_EQ(SharedScratchBitmap()->Width(), 8);
  ASSERT_NE(FindResamplerClass("TNearestResampler"), nullptr);
  // A bitmap made right after start-up finds its routines and classes.
  TCustomBitmap32 bitmap;
  bitmap.SetSize(2, 1);
  EXPECT_EQ(bitmap.BlendProc(), BlendPxInto);
  EXPECT_EQ(bitmap.ResamplerClassName(), "TNearestResampler");
}

TEST_F(Bitmap32Core, GammaTableAfterStartup) {
  EXPECT_EQ(GammaTable[0], 0);
  EXPECT_EQ(GammaTable[255], 255);
  EXPECT_EQ(GammaTable[128], 157);  // round((128 / 255)^0.7 x 255)
  for (int i = 1; i < 256; ++i) ASSERT_GE(GammaTable[i], GammaTable[i - 1]) << i;
}

}  // namespace
