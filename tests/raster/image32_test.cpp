// The paint box and image controls: paint stages, buffer sizing, bitmap
// placement and coordinate mapping, PaintTo, the repaint modes, update
// pairing, mouse routing to layers, and a screenshot with a rubber band.

#include "raster/image32.h"

#include "raster/perf_timer.h"
#include "raster/repaint_optimizer.h"
#include "raster/rubberband_layer.h"

#include "platform/ui/application.h"
#include "platform/ui/cursors.h"
#include "platform/ui/forms.h"
#include "tests/support/ui_test_support.h"

#include "raster_test_support.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr TColor kBackground = 0x00403020;       // the control's Color
constexpr TColor32 kBackground32 = 0xFF203040u;  // the same as a TColor32

// A form with one image control on it.
class Image32 : public RasterTest {
protected:
  void SetUp() override {
    RasterTest::SetUp();
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 640, 480);
    image = new TImage32(form);
    image->SetParent(form);
    image->SetColor(kBackground);
    image->OnGDIOverlay = [this](TObject*) { ++paints; };
  }
  void TearDown() override {
    form->Free();
    Screen->SetCursor(crDefault);
  }

  void ShowAndPaint() {
    form->Show();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return paints > 0; }));
  }
  // Waits for the next Paint of the control.
  bool NextPaint() {
    const int before = paints;
    return ProcessMessagesUntil([&] { return paints > before; });
  }
  QImage Screenshot() { return image->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
  // A bitmap whose every pixel differs: $FF, x, y, 0x55.
  void FillDistinct(int w, int h) {
    image->Bitmap()->SetSize(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        image->Bitmap()->SetPixel(x, y, 0xFF000000u | (uint32_t(x & 0xFF) << 16) | (uint32_t(y & 0xFF) << 8) | 0x55u);
    image->Bitmap()->Changed();
  }

  TForm* form = nullptr;
  TImage32* image = nullptr;
  int paints = 0;
};

TEST_F(Image32, PaintStagesListAndTheStandardStages) {
  TPaintStages* stages = image->PaintStages();
  struct Expected {
    uint32_t stage;
    bool runTime;
    uint32_t parameter;
  };
  const Expected standard[] = {{stageClearBackground, true, 0},
                               {stageControlFrame, false, 0},
                               {stageDrawBitmap, true, 0},
                               {stageBitmapFrame, false, 0},
                               {stageDrawLayers, true, LOB_VISIBLE}};
  ASSERT_EQ(stages->Count(), 5);
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(stages->Items(i).DsgnTime);
    EXPECT_EQ(stages->Items(i).Stage, standard[i].stage);
    EXPECT_EQ(stages->Items(i).RunTime, standard[i].runTime);
    EXPECT_EQ(stages->Items(i).Parameter, standard[i].parameter);
  }

  TPaintStages list;
  TPaintStage* first = list.Add();
  EXPECT_FALSE(first->DsgnTime);
  EXPECT_TRUE(first->RunTime);
  EXPECT_EQ(first->Stage, 0u);
  first->Stage = 1;
  list.Insert(-3)->Stage = 2;  // limited to the front
  list.Insert(99)->Stage = 3;  // and to the end
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Items(0).Stage, 2u);
  EXPECT_EQ(list.Items(1).Stage, 1u);
  EXPECT_EQ(list.Items(2).Stage, 3u);
  for (int bad : {-1, 3}) {
    try {
      list.Delete(bad);
      FAIL() << "deleted stage " << bad;
    } catch (const EListError& e) {
      EXPECT_STREQ(e.what(), "Invalid stage index");
    }
  }
  list.Delete(1);
  EXPECT_EQ(list.Items(1).Stage, 3u);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(Image32, BufferFollowsTheControlWithAMargin) {
  image->SetBounds(0, 0, 100, 80);
  ShowAndPaint();
  EXPECT_EQ(image->Buffer()->Width(), 140);
  EXPECT_EQ(image->Buffer()->Height(), 120);
  struct Step {
    int width;
    int buffer;
  };
  // Grows with the margin, shrinks only when more than the margin too large.
  const Step steps[] = {{130, 140}, {150, 190}, {160, 190}, {120, 120}, {121, 161}};
  for (const Step& s : steps) {
    image->SetWidth(s.width);
    EXPECT_EQ(image->Buffer()->Width(), s.buffer) << "control " << s.width;
    EXPECT_EQ(image->Buffer()->Height(), 120);
  }
  image->SetBufferOversize(-5);
  EXPECT_EQ(image->BufferOversize(), 0);
  image->SetBounds(0, 0, 125, 30);
  EXPECT_EQ(image->Buffer()->Width(), 125);
  EXPECT_EQ(image->Buffer()->Height(), 30);
}

TEST_F(Image32, BitmapPlacementByScaleModeAndAlignment) {
  image->SetBounds(0, 0, 500, 300);
  struct Case {
    const char* what;
    int bw, bh;
    TScaleMode mode;
    TBitmapAlign align;
    float scale;
    TRect expected;
  };
  const Case cases[] = {
      {"large, resize", 1000, 600, smResize, baTopLeft, 1, Rect(0, 0, 500, 300)},
      {"large, optimal", 1000, 600, smOptimal, baTopLeft, 1, Rect(0, 0, 500, 300)},
      {"small, optimal", 100, 60, smOptimal, baTopLeft, 1, Rect(0, 0, 100, 60)},
      {"small, optimal, centred", 100, 60, smOptimal, baCenter, 1, Rect(200, 120, 300, 180)},
      {"small, resize", 100, 60, smResize, baTopLeft, 1, Rect(0, 0, 500, 300)},
      {"wide, resize keeps the ratio", 200, 100, smResize, baTopLeft, 1, Rect(0, 0, 500, 250)},
      {"tall, resize keeps the ratio", 100, 200, smResize, baCenter, 1, Rect(175, 0, 325, 300)},
      {"stretch", 100, 60, smStretch, baTopLeft, 1, Rect(0, 0, 500, 300)},
      {"normal, larger than the control", 1000, 600, smNormal, baTopLeft, 1, Rect(0, 0, 1000, 600)},
      {"scale", 100, 60, smScale, baTopLeft, 1.5f, Rect(0, 0, 150, 90)},
      {"optimal scaled, fits", 1000, 600, smOptimalScaled, baTopLeft, 0.25f, Rect(0, 0, 250, 150)},
      {"optimal scaled, too large", 1000, 600, smOptimalScaled, baTopLeft, 1, Rect(0, 0, 500, 300)},
      {"tile keeps the origin", 100, 60, smNormal, baTile, 1, Rect(0, 0, 100, 60)},
      // 300 / 72 as a single is just below 25/6: 9 x it is 37.4999986, not 37.5.
      {"resize rounds with the single ratio, width", 9, 72, smResize, baTopLeft, 1, Rect(0, 0, 37, 300)},
      {"resize rounds with the single ratio, up", 7, 840, smResize, baTopLeft, 1, Rect(0, 0, 3, 300)},
      {"empty bitmap", 0, 0, smStretch, baCenter, 1, Rect(0, 0, 0, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    image->Bitmap()->SetSize(c.bw, c.bh);
    image->SetScaleMode(c.mode);
    image->SetBitmapAlign(c.align);
    image->SetScale(c.scale);
    EXPECT_EQ(image->GetBitmapRect(), c.expected);
  }

  // Custom offsets round half to even.
  image->Bitmap()->SetSize(100, 60);
  image->SetScaleMode(smNormal);
  image->SetBitmapAlign(baCustom);
  image->SetOffsetHorz(10.5f);
  image->SetOffsetVert(7.5f);
  EXPECT_EQ(image->GetBitmapRect(), Rect(10, 8, 110, 68));

  // A control without width shows nothing.
  image->SetBounds(0, 0, 0, 300);
  EXPECT_EQ(image->GetBitmapSize(), (TSize{0, 0}));
}

TEST_F(Image32, ScaleIsLimitedAndReported) {
  int scaleChanges = 0;
  image->OnScaleChange = [&](TObject*) { ++scaleChanges; };
  image->SetScale(0);
  EXPECT_FLOAT_EQ(image->Scale(), 0.001f);
  EXPECT_FLOAT_EQ(image->ScaleY(), 0.001f);
  image->SetScale(-4);
  EXPECT_EQ(scaleChanges, 1);  // unchanged after the limit
  image->SetScaleX(2);
  EXPECT_FLOAT_EQ(image->Scale(), 2);
  EXPECT_FLOAT_EQ(image->ScaleY(), 0.001f);
  image->SetScaleY(0);
  EXPECT_FLOAT_EQ(image->ScaleY(), 0.001f);
  EXPECT_EQ(scaleChanges, 2);
}

TEST_F(Image32, ControlAndBitmapCoordinatesMapBothWays) {
  image->SetBounds(0, 0, 500, 300);
  image->Bitmap()->SetSize(1000, 600);
  image->SetScaleMode(smResize);
  // Scale 0.5: a control point and back stay within one control pixel.
  for (TPoint p : {TPoint{0, 0}, TPoint{101, 51}, TPoint{499, 299}, TPoint{250, 7}}) {
    const TPoint b = image->ControlToBitmap(p);
    const TPoint back = image->BitmapToControl(b);
    EXPECT_LE(std::abs(back.X - p.X), 1) << p.X;
    EXPECT_LE(std::abs(back.Y - p.Y), 1) << p.Y;
  }
  EXPECT_EQ(image->ControlToBitmap(TPoint{101, 51}), (TPoint{202, 102}));
  EXPECT_EQ(image->BitmapToControl(TPoint{202, 102}), (TPoint{101, 51}));
  EXPECT_EQ(image->ControlToBitmap(FloatPoint(100.5f, 50.25f)), FloatPoint(201, 100.5f));
  EXPECT_EQ(image->BitmapToControl(FloatPoint(201, 100.5f)), FloatPoint(100.5f, 50.25f));
  // Left of the bitmap is a negative bitmap column, floored.
  image->SetBitmapAlign(baCustom);
  image->SetOffsetHorz(10);
  EXPECT_EQ(image->ControlToBitmap(TPoint{9, 0}).X, -2);

  // A scale a single cannot hold (1/3): 5 x 0.333333343 + 5 = 6.6666667163
  // is rounded to a single once, giving 6.66666651 (not 6.66666698).
  image->SetBounds(0, 0, 100, 100);
  image->Bitmap()->SetSize(300, 300);
  image->SetOffsetHorz(5);
  EXPECT_EQ(image->BitmapToControl(FloatPoint(5, 0)).X, 6.66666651f);

  // A bitmap shown without size has no pixel under any point.
  image->SetBounds(0, 0, 0, 0);
  EXPECT_EQ(image->ControlToBitmap(TPoint{3, 3}).X, std::numeric_limits<int>::max());
  EXPECT_EQ(image->ControlToBitmap(FloatPoint(3, 3)).Y, 2147483648.0f);
}

TEST_F(Image32, ThePixelUnderAControlPointIsTheMappedBitmapPixel) {
  image->SetBounds(0, 0, 300, 200);
  FillDistinct(60, 40);
  image->SetScaleMode(smScale);
  image->SetScale(3);
  image->SetBitmapAlign(baCenter);  // 180 x 120 at (60, 40)
  ShowAndPaint();
  for (TPoint p : {TPoint{60, 40}, TPoint{62, 42}, TPoint{63, 40}, TPoint{150, 101}, TPoint{239, 159}}) {
    const TPoint b = image->ControlToBitmap(p);
    ASSERT_TRUE(b.X >= 0 && b.X < 60 && b.Y >= 0 && b.Y < 40) << p.X << ", " << p.Y;
    EXPECT_EQ(image->Buffer()->Pixel(p.X, p.Y), image->Bitmap()->Pixel(b.X, b.Y)) << p.X << ", " << p.Y;
  }
  EXPECT_EQ(image->Buffer()->Pixel(59, 40), kBackground32);
  EXPECT_EQ(image->Buffer()->Pixel(240, 100), kBackground32);
}

TEST_F(Image32, PaintToDrawsEveryStageScaledIntoTheDestination) {
  image->SetBounds(0, 0, 300, 300);
  image->Bitmap()->SetSize(50, 50);
  image->Bitmap()->Clear(0xFFFF0000u);
  auto* layer = image->Layers()->Add<TPositionedLayer>();
  layer->SetScaled(true);
  layer->SetLocation(FloatRect(0, 0, 25, 25));
  layer->OnPaint = [layer](TObject*, TBitmap32* buffer) {
    const TRect r = RectFromFloat(layer->GetAdjustedLocation(), rdNearest);
    buffer->FillRectS(r, 0xFF0000FFu);
  };
  image->SetRepaintMode(rmOptimizer);

  TBitmap32 dest;
  dest.SetSize(200, 100);
  dest.Clear(0xFF00FF00u);
  image->PaintTo(&dest, Rect(0, 0, 100, 100));
  EXPECT_EQ(image->RepaintMode(), rmOptimizer);
  EXPECT_EQ(dest.Pixel(10, 10), 0xFF0000FFu);   // the layer, scaled x 2
  EXPECT_EQ(dest.Pixel(49, 49), 0xFF0000FFu);
  EXPECT_EQ(dest.Pixel(50, 50), 0xFFFF0000u);   // the bitmap
  EXPECT_EQ(dest.Pixel(99, 99), 0xFFFF0000u);
  EXPECT_EQ(dest.Pixel(100, 10), kBackground32);  // the background beside it
  EXPECT_EQ(dest.Pixel(199, 99), kBackground32);
  // The control's own placement is untouched.
  EXPECT_EQ(image->BitmapToControl(TPoint{10, 10}), (TPoint{10, 10}));

  // A custom stage gets the destination and its index; unknown codes and
  // design-time-only stages are skipped.
  std::vector<uint32_t> stageNums;
  image->OnPaintStage = [&](TObject*, TBitmap32* buffer, uint32_t num) {
    EXPECT_EQ(buffer, &dest);
    stageNums.push_back(num);
  };
  image->PaintStages()->Add()->Stage = stageCustom;  // index 5
  image->PaintStages()->Add()->Stage = 42;
  TPaintStage* designOnly = image->PaintStages()->Add();
  designOnly->Stage = stageCustom;
  designOnly->RunTime = false;
  image->PaintTo(&dest, Rect(0, 0, 200, 100));
  EXPECT_EQ(stageNums, std::vector<uint32_t>{5});
  image->PaintTo(nullptr, Rect(0, 0, 1, 1));
  EXPECT_EQ(stageNums.size(), 1u);
}

TEST_F(Image32, OptimizerRepaintsOnlyTheAreaUnderADrawnLine) {
  image->SetBounds(0, 0, 256, 256);
  image->Bitmap()->SetSize(256, 256);
  image->Bitmap()->Clear(0xFFFFFFFFu);
  ShowAndPaint();
  image->SetRepaintMode(rmOptimizer);
  auto* optimizer = dynamic_cast<TMicroTilesRepaintOptimizer*>(image->RepaintOptimizer());
  ASSERT_NE(optimizer, nullptr);
  optimizer->SetAdaptiveMode(false);  // exact tiles, whatever the timing
  ASSERT_TRUE(NextPaint());

  // Marks in the buffer far from the line: a repaint there would remove them.
  image->Buffer()->SetPixel(200, 200, 0xFF123456u);
  image->Buffer()->SetPixel(40, 30, 0xFF123456u);
  std::vector<TRect> clips;
  image->PaintStages()->Add()->Stage = stageCustom;
  image->OnPaintStage = [&](TObject*, TBitmap32* buffer, uint32_t) { clips.push_back(buffer->ClipRect()); };

  // A slanted line reports its end points (an axis-parallel one reports the
  // whole bitmap).
  image->Bitmap()->LineS(20, 90, 60, 110, 0xFF000000u);
  ASSERT_TRUE(NextPaint());
  ASSERT_FALSE(clips.empty());
  for (const TRect& c : clips) {
    // The end points grown by the resampler's reach (2), with room to spare.
    EXPECT_GE(c.Left, 20 - 6);
    EXPECT_LE(c.Right, 60 + 7);
    EXPECT_GE(c.Top, 90 - 6);
    EXPECT_LE(c.Bottom, 110 + 7);
  }
  EXPECT_EQ(image->Buffer()->Pixel(200, 200), 0xFF123456u);
  EXPECT_EQ(image->Buffer()->Pixel(40, 30), 0xFF123456u);
  EXPECT_EQ(image->Buffer()->Pixel(40, 100), 0xFF000000u);
  EXPECT_EQ(Screenshot().pixel(40, 100), qRgb(0, 0, 0));
  EXPECT_EQ(Screenshot().pixel(40, 104), qRgb(255, 255, 255));

  // A moved layer repaints where it was and where it is now.
  auto* layer = image->Layers()->Add<TPositionedLayer>();
  layer->OnPaint = [layer](TObject*, TBitmap32* buffer) {
    buffer->FillRectS(RectFromFloat(layer->GetAdjustedLocation(), rdNearest), 0xFF00FF00u);
  };
  layer->SetLocation(FloatRect(100, 10, 120, 20));
  ASSERT_TRUE(NextPaint());
  EXPECT_EQ(Screenshot().pixel(110, 15), qRgb(0, 255, 0));
  clips.clear();
  layer->SetLocation(FloatRect(150, 10, 170, 20));
  ASSERT_TRUE(NextPaint());
  EXPECT_EQ(Screenshot().pixel(110, 15), qRgb(255, 255, 255));
  EXPECT_EQ(Screenshot().pixel(160, 15), qRgb(0, 255, 0));
  for (const TRect& c : clips) EXPECT_LE(c.Bottom, 32) << "only the tiles the layer touched";
  EXPECT_EQ(image->Buffer()->Pixel(200, 200), 0xFF123456u);

  // Marking and unmarking the layer for the optimizer starts no further
  // repaints.
  const int settled = paints;
  ProcessMessagesUntil([] { return false; }, std::chrono::milliseconds(150));
  EXPECT_EQ(paints, settled);
}

TEST_F(Image32, OptimizerRepaintsTheChangedAreaGrownByTheResamplersReach) {
  image->SetBounds(0, 0, 256, 256);
  ShowAndPaint();
  image->SetRepaintMode(rmOptimizer);
  auto* optimizer = dynamic_cast<TMicroTilesRepaintOptimizer*>(image->RepaintOptimizer());
  ASSERT_NE(optimizer, nullptr);
  optimizer->SetAdaptiveMode(false);  // exact tiles, whatever the timing
  std::vector<TRect> clips;
  image->PaintStages()->Add()->Stage = stageCustom;
  image->OnPaintStage = [&](TObject*, TBitmap32* buffer, uint32_t) { clips.push_back(buffer->ClipRect()); };

  struct Case {
    const char* what;
    int size;            // the bitmap's side
    TScaleMode mode;
    TBitmapAlign align;
    void (*draw)(TBitmap32*);
    TRect expected;      // the bounds of the repainted rectangles
  };
  // The nearest resampler reaches 1 pixel: areas grow by trunc(1) + 1 = 2
  // bitmap pixels on every side; a line's reported width adds nothing.
  const Case cases[] = {
      {"line", 256, smNormal, baTopLeft, [](TBitmap32* b) { b->LineS(20, 90, 60, 110, 0xFF000000u); },
       Rect(18, 88, 62, 112)},
      {"line drawn backwards", 256, smNormal, baTopLeft, [](TBitmap32* b) { b->LineS(60, 110, 20, 90, 0xFF000000u); },
       Rect(18, 88, 62, 112)},
      {"rectangle", 256, smNormal, baTopLeft, [](TBitmap32* b) { b->FillRectS(100, 100, 110, 120, 0xFF000000u); },
       Rect(98, 98, 112, 122)},
      {"line, bitmap shown twice as large", 128, smScale, baTopLeft,
       [](TBitmap32* b) { b->LineS(10, 20, 30, 40, 0xFF000000u); }, Rect(16, 36, 64, 84)},
      {"rectangle, tiled", 64, smNormal, baTile, [](TBitmap32* b) { b->FillRectS(10, 10, 20, 20, 0xFF000000u); },
       Rect(8, 8, 4 * 64 + 22, 4 * 64 + 22)},  // tiles 0 .. 296 div 64 of the buffer
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    image->Bitmap()->SetSize(c.size, c.size);
    image->Bitmap()->Clear(0xFFFFFFFFu);
    image->SetScaleMode(c.mode);
    image->SetScale(2);
    image->SetBitmapAlign(c.align);
    ASSERT_TRUE(NextPaint());
    // The whole area the changes above forced stays with the optimizer until
    // a repaint asks it for rectangles.
    image->Update(Rect(0, 0, 1, 1));
    image->Invalidate();
    ASSERT_TRUE(NextPaint());
    clips.clear();
    c.draw(image->Bitmap());
    ASSERT_TRUE(NextPaint());
    ASSERT_FALSE(clips.empty());
    TRect bounds = clips.front();
    for (const TRect& r : clips) {
      bounds = TRect{std::min(bounds.Left, r.Left), std::min(bounds.Top, r.Top), std::max(bounds.Right, r.Right),
                     std::max(bounds.Bottom, r.Bottom)};
    }
    EXPECT_EQ(bounds, c.expected);
  }
}

TEST_F(Image32, DirectModeShowsTheChangedPartAtOnce) {
  image->SetBounds(0, 0, 100, 100);
  image->Bitmap()->SetSize(50, 50);
  image->Bitmap()->Clear(0xFFFFFFFFu);
  image->SetScaleMode(smStretch);
  ShowAndPaint();
  image->SetRepaintMode(rmDirect);
  ASSERT_TRUE(NextPaint());
  image->Buffer()->SetPixel(90, 90, 0xFF123456u);
  int changes = 0;
  image->OnChange = [&](TObject*) { ++changes; };
  const int before = paints;
  // Drawn right to left: the area's corners come reversed.
  image->Bitmap()->LineS(30, 10, 5, 14, 0xFFFF0000u);
  EXPECT_GT(paints, before);  // at once, not at the next screen update
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(image->Buffer()->Pixel(61, 21), 0xFFFF0000u);  // bitmap (30, 10) is control 60..61, 20..21
  EXPECT_EQ(image->Buffer()->Pixel(90, 90), 0xFF123456u);  // nothing else repainted
  Application->ProcessMessages();
  EXPECT_EQ(Screenshot().pixel(60, 20), qRgb(255, 0, 0));
}

TEST_F(Image32, AutoSizeAndSetupBitmapFollowTheOtherSize) {
  int resizes = 0;
  image->OnBitmapResize = [&](TObject*) { ++resizes; };
  image->SetAutoSize(true);
  image->Bitmap()->SetSize(120, 80);
  EXPECT_EQ(image->Width(), 120);
  EXPECT_EQ(image->Height(), 80);
  image->SetScaleMode(smScale);
  image->SetScale(2.5f);
  image->Bitmap()->SetSize(30, 11);
  EXPECT_EQ(image->Width(), 75);
  EXPECT_EQ(image->Height(), 28);  // 27.5 to even
  EXPECT_EQ(resizes, 2);

  image->SetAutoSize(false);
  image->SetBounds(0, 0, 64, 48);
  image->SetupBitmap(true, 0xFF0000FFu);
  EXPECT_EQ(image->Bitmap()->Width(), 64);
  EXPECT_EQ(image->Bitmap()->Height(), 48);
  EXPECT_EQ(image->Bitmap()->Pixel(63, 47), 0xFF0000FFu);

  // Switching AutoSize on sizes the control at once, each side by its scale.
  image->SetScaleY(0.5f);
  image->SetAutoSize(true);
  EXPECT_EQ(image->Width(), 160);  // 64 x 2.5
  EXPECT_EQ(image->Height(), 24);  // 48 x 0.5
}

// A plain paint box: its owner draws into the buffer.
class PaintBox32 : public Image32 {
protected:
  void SetUp() override {
    Image32::SetUp();
    box = new TCustomPaintBox32(form);
    box->SetParent(form);
    box->SetBounds(300, 0, 100, 80);
    box->OnGDIOverlay = [this](TObject*) { ++boxPaints; };
  }
  TCustomPaintBox32* box = nullptr;
  int boxPaints = 0;
};

TEST_F(PaintBox32, FlushAndDirectModeShowTheBuffer) {
  ShowAndPaint();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return boxPaints > 0; }));
  EXPECT_EQ(box->Buffer()->Width(), 140);
  auto shown = [&](int x, int y) { return box->Widget()->grab().toImage().pixel(x, y); };

  // rmFull: drawing into the buffer shows after Flush, without a Paint.
  const int before = boxPaints;
  box->Buffer()->FillRectS(0, 0, 100, 80, 0xFF00FF00u);
  box->Flush();
  Application->ProcessMessages();
  EXPECT_EQ(shown(50, 40), qRgb(0, 255, 0));
  box->Buffer()->FillRectS(10, 10, 20, 20, 0xFFFF0000u);
  box->Flush(Rect(10, 10, 15, 15));
  Application->ProcessMessages();
  EXPECT_EQ(shown(12, 12), qRgb(255, 0, 0));
  EXPECT_EQ(shown(17, 17), qRgb(0, 255, 0));
  EXPECT_EQ(boxPaints, before);

  // rmDirect: every reported area is copied at once, and only it.
  box->SetRepaintMode(rmDirect);
  ASSERT_TRUE(ProcessMessagesUntil([&] { return boxPaints > before; }));
  const int painted = boxPaints;
  box->Buffer()->BeginUpdate();
  box->Buffer()->FillRectS(0, 0, 100, 80, 0xFF0000FFu);  // not reported
  box->Buffer()->EndUpdate();
  box->Buffer()->LineS(90, 10, 30, 40, 0xFFFFFFFFu);  // reported with reversed corners
  EXPECT_EQ(boxPaints, painted + 1);
  Application->ProcessMessages();
  EXPECT_EQ(shown(35, 15), qRgb(0, 0, 255));  // inside the line's rectangle
  EXPECT_EQ(shown(60, 25), qRgb(255, 255, 255));
  EXPECT_EQ(shown(5, 70), qRgb(0, 255, 0));  // outside it: still the old picture
}

// Draws a green square on the window canvas.
class TOverlayLayer : public TCustomLayer {
public:
  using TCustomLayer::TCustomLayer;
  int paints = 0;
  void PaintToDeviceContext(TCanvas* Canvas) override {
    ++paints;
    Canvas->Brush()->SetColor(0x0000FF00);
    Canvas->FillRect(Rect(5, 5, 15, 15));
  }
};

TEST_F(Image32, OverlayLayersPaintOnTheWindowAfterTheBuffer) {
  image->SetBounds(0, 0, 50, 50);
  auto* overlay = image->Layers()->Add<TOverlayLayer>();
  overlay->SetLayerOptions(LOB_GDI_OVERLAY);  // invisible to the layer stage
  ShowAndPaint();
  EXPECT_GE(overlay->paints, 1);
  EXPECT_EQ(Screenshot().pixel(10, 10), qRgb(0, 255, 0));
  EXPECT_EQ(Screenshot().pixel(20, 20), qRgb(0x20, 0x30, 0x40));
  // A change of the invisible overlay repaints the window, not the buffer.
  const int before = overlay->paints;
  overlay->Changed();
  EXPECT_EQ(overlay->paints, before + 1);
  EXPECT_TRUE(image->BufferValid());
}

TEST_F(Image32, UpdatesPairAndBatchChanges) {
  int changes = 0;
  image->OnChange = [&](TObject*) { ++changes; };
  image->BeginUpdate();
  image->SetBitmapAlign(baCenter);
  image->Changed();
  EXPECT_EQ(changes, 0);
  image->EndUpdate();
  EXPECT_EQ(changes, 0);  // EndUpdate leaves Changed to the caller
  image->Changed();
  EXPECT_EQ(changes, 1);
  try {
    image->EndUpdate();
    FAIL() << "no assertion";
  } catch (const EAssertionFailed& e) {
    EXPECT_NE(std::string(e.what()).find("Unpaired EndUpdate call"), std::string::npos);
  }
  // A layer's change is the control's change.
  image->Layers()->Add<TPositionedLayer>()->SetLocation(FloatRect(1, 1, 5, 5));
  EXPECT_GT(changes, 1);
}

// Mouse events as the window system delivers them.
void SendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, int x, int y) {
  const QPointF pos(x, y);
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                : type == QEvent::MouseMove && button == Qt::NoButton
                                    ? Qt::NoButton
                                    : Qt::MouseButtons(button);
  QMouseEvent event(type, pos, widget->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

// A rubber band at (50, 40, 250, 160) over a grey bitmap filling a 300 x 200
// image control.
class Image32Rubberband : public Image32 {
protected:
  void SetUp() override {
    Image32::SetUp();
    image->SetBounds(0, 0, 300, 200);
    image->Bitmap()->SetSize(300, 200);
    image->Bitmap()->Clear(0xFF336699u);
    band = image->Layers()->Add<TRubberbandLayer>();
    band->SetLocation(FloatRect(50, 40, 250, 160));
    image->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState, int x, int y, TCustomLayer* l) {
      log.push_back("down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y) + Name(l));
    };
    image->OnMouseMove = [this](TObject*, TShiftState, int x, int y, TCustomLayer* l) {
      log.push_back("move " + std::to_string(x) + "," + std::to_string(y) + Name(l));
    };
    image->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState, int x, int y, TCustomLayer* l) {
      log.push_back("up " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y) + Name(l));
    };
  }
  std::string Name(TCustomLayer* l) const { return l == nullptr ? "" : l == band ? " band" : " other"; }

  TRubberbandLayer* band = nullptr;
  std::vector<std::string> log;
};

TEST_F(Image32Rubberband, ScreenshotShowsFrameAndHandlesAndFollowsADrag) {
  ShowAndPaint();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = QDir(dir.path()).filePath("image32_rubberband.png");
  ASSERT_TRUE(Screenshot().save(path, "PNG"));
  const QImage shot(path);
  ASSERT_EQ(shot.size(), QSize(300, 200));

  const QRgb bitmap = qRgb(0x33, 0x66, 0x99);
  const QRgb black = qRgb(0, 0, 0);
  const QRgb white = qRgb(255, 255, 255);
  // Eight handles: 6 x 6 squares with a black border and a white inside.
  const TPoint handles[] = {{50, 40}, {250, 40}, {50, 160}, {250, 160}, {150, 40}, {50, 100}, {250, 100}, {150, 160}};
  for (const TPoint& h : handles) {
    SCOPED_TRACE(testing::Message() << "handle " << h.X << ", " << h.Y);
    EXPECT_EQ(shot.pixel(h.X - 3, h.Y - 3), black);
    EXPECT_EQ(shot.pixel(h.X + 2, h.Y + 2), black);
    EXPECT_EQ(shot.pixel(h.X - 1, h.Y), white);
    EXPECT_EQ(shot.pixel(h.X + 3, h.Y + 3), bitmap);
  }
  // The stippled outline: two white, two black along the top edge.
  EXPECT_EQ(shot.pixel(70, 40), white);
  EXPECT_EQ(shot.pixel(71, 40), white);
  EXPECT_EQ(shot.pixel(72, 40), black);
  EXPECT_EQ(shot.pixel(73, 40), black);
  const QRgb right = shot.pixel(249, 70);
  EXPECT_TRUE(right == white || right == black);
  EXPECT_EQ(shot.pixel(100, 70), bitmap);  // inside
  EXPECT_EQ(shot.pixel(20, 20), bitmap);   // outside

  // Drag the band 20 pixels right and 10 down by its inside.
  QWidget* widget = image->Widget();
  SendMouse(widget, QEvent::MouseMove, Qt::NoButton, 100, 70);
  SendMouse(widget, QEvent::MouseButtonPress, Qt::LeftButton, 100, 70);
  SendMouse(widget, QEvent::MouseMove, Qt::LeftButton, 120, 80);
  SendMouse(widget, QEvent::MouseButtonRelease, Qt::LeftButton, 120, 80);
  EXPECT_EQ(band->Location(), FloatRect(70, 50, 270, 170));
  ASSERT_TRUE(ProcessMessagesUntil([&] { return Screenshot().pixel(70 - 3, 50 - 3) == black; }));
  const QImage moved = Screenshot();
  EXPECT_EQ(moved.pixel(50 - 3, 40 - 3), bitmap);  // the old corner handle is gone
  EXPECT_EQ(moved.pixel(270 + 2, 170 + 2), black);

  // The same with the optimizer: the band's old and new places are repainted.
  image->SetRepaintMode(rmOptimizer);
  dynamic_cast<TMicroTilesRepaintOptimizer*>(image->RepaintOptimizer())->SetAdaptiveMode(false);
  ASSERT_TRUE(NextPaint());
  SendMouse(widget, QEvent::MouseButtonPress, Qt::LeftButton, 120, 80);
  SendMouse(widget, QEvent::MouseMove, Qt::LeftButton, 90, 75);
  SendMouse(widget, QEvent::MouseButtonRelease, Qt::LeftButton, 90, 75);
  EXPECT_EQ(band->Location(), FloatRect(40, 45, 240, 165));
  ASSERT_TRUE(ProcessMessagesUntil([&] { return Screenshot().pixel(40 - 3, 45 - 3) == black; }));
  const QImage optimized = Screenshot();
  EXPECT_EQ(optimized.pixel(270 + 2, 170 + 2), bitmap);
  EXPECT_EQ(optimized.pixel(70 - 3, 50 - 3), bitmap);
  EXPECT_EQ(optimized.pixel(240 + 2, 165 + 2), black);
  EXPECT_EQ(optimized.pixel(140 - 1, 45), white);  // top middle handle
}

TEST_F(Image32Rubberband, MouseEventsNameTheLayerThatTookThem) {
  ShowAndPaint();
  QWidget* widget = image->Widget();
  SendMouse(widget, QEvent::MouseButtonPress, Qt::LeftButton, 250, 160);  // bottom-right handle
  EXPECT_EQ(image->Layers()->MouseListener(), band);
  SendMouse(widget, QEvent::MouseMove, Qt::LeftButton, 280, 190);
  SendMouse(widget, QEvent::MouseButtonRelease, Qt::LeftButton, 280, 190);
  EXPECT_EQ(image->Layers()->MouseListener(), nullptr);
  EXPECT_EQ(band->Location(), FloatRect(50, 40, 280, 190));
  SendMouse(widget, QEvent::MouseButtonPress, Qt::RightButton, 10, 10);
  SendMouse(widget, QEvent::MouseButtonRelease, Qt::RightButton, 10, 10);
  EXPECT_EQ(log, (std::vector<std::string>{"down 0 250,160 band", "move 280,190 band", "up 0 280,190 band",
                                           "down 1 10,10", "up 1 10,10"}));

  // Without mouse events on the layers nothing is routed to them.
  log.clear();
  image->Layers()->SetMouseEvents(false);
  SendMouse(widget, QEvent::MouseButtonPress, Qt::LeftButton, 100, 100);
  SendMouse(widget, QEvent::MouseButtonRelease, Qt::LeftButton, 100, 100);
  EXPECT_EQ(log, (std::vector<std::string>{"down 0 100,100", "up 0 100,100"}));
  EXPECT_EQ(band->Location(), FloatRect(50, 40, 280, 190));
}

TEST_F(Image32Rubberband, MouseEnterAndLeave) {
  ShowAndPaint();
  int enters = 0, leaves = 0;
  image->OnMouseEnter = [&](TObject*) { ++enters; };
  image->OnMouseLeave = [&](TObject*) { ++leaves; };
  QWidget* widget = image->Widget();
  const QPointF pos(150, 100);
  QEnterEvent enter(pos, pos, widget->mapToGlobal(pos));
  QApplication::sendEvent(widget, &enter);
  EXPECT_TRUE(image->MouseInControl());
  SendMouse(widget, QEvent::MouseMove, Qt::NoButton, 150, 100);
  band->SetCursor(crHandPoint);
  SendMouse(widget, QEvent::MouseMove, Qt::NoButton, 151, 100);
  EXPECT_EQ(Screen->Cursor(), crHandPoint);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(widget, &leave);
  EXPECT_FALSE(image->MouseInControl());
  EXPECT_EQ(Screen->Cursor(), crDefault);  // a band's cursor does not linger
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(leaves, 1);
}

}  // namespace
