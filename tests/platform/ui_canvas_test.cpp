// TCanvas on a 32-bit bitmap: the platform's drawing rules (end points left out,
// exclusive right and bottom edges), focus frames, bitmaps drawn and stretched.

#include "platform/ui/bitmap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr TColor kBack = 0x000000;
constexpr TColor kPen = 0xFFFFFF;
constexpr TColor kFill = 0x0000FF;

class UiCanvas : public ::testing::Test {
protected:
  void SetUp() override {
    bitmap_.SetPixelFormat(pf32bit);
    bitmap_.SetSize(16, 12);
    canvas_ = bitmap_.Canvas();
    canvas_->Pen()->SetColor(kPen);
    canvas_->Brush()->SetColor(kFill);
  }

  // One character per pixel of row y from x0 to x1 inclusive: '.' background,
  // 'P' pen, 'F' fill, '?' other.
  std::string Row(int y, int x0, int x1) {
    std::string s;
    for (int x = x0; x <= x1; ++x) {
      const TColor c = canvas_->Pixels(x, y);
      s += c == kBack ? '.' : c == kPen ? 'P' : c == kFill ? 'F' : '?';
    }
    return s;
  }

  TBitmap bitmap_;
  TCanvas* canvas_ = nullptr;
};

TEST_F(UiCanvas, LinesLeaveOutTheirEndPoint) {
  canvas_->MoveTo(2, 3);
  canvas_->LineTo(8, 3);
  EXPECT_EQ(Row(3, 1, 9), ".PPPPPP..");
  EXPECT_EQ(canvas_->PenPos(), (TPoint{8, 3}));
  // Continuing from there: the corner is drawn once by the second line.
  canvas_->LineTo(8, 6);
  EXPECT_EQ(Row(3, 8, 8), "P");
  EXPECT_EQ(Row(5, 8, 8), "P");
  EXPECT_EQ(Row(6, 8, 8), ".");
  canvas_->MoveTo(4, 9);
  canvas_->LineTo(4, 9);
  EXPECT_EQ(Row(9, 4, 4), ".") << "a line of no length draws nothing";
}

TEST_F(UiCanvas, RectanglesCoverLeftToRightMinusOne) {
  canvas_->Rectangle(2, 2, 7, 6);
  EXPECT_EQ(Row(1, 1, 8), "........");
  EXPECT_EQ(Row(2, 1, 8), ".PPPPP..");
  EXPECT_EQ(Row(3, 1, 8), ".PFFFP..");
  EXPECT_EQ(Row(4, 1, 8), ".PFFFP..");
  EXPECT_EQ(Row(5, 1, 8), ".PPPPP..");
  EXPECT_EQ(Row(6, 1, 8), "........");

  canvas_->FillRect(Rect(10, 2, 13, 4));
  EXPECT_EQ(Row(2, 9, 14), ".FFF..");
  EXPECT_EQ(Row(3, 9, 14), ".FFF..");
  EXPECT_EQ(Row(4, 9, 14), "......");

  canvas_->Brush()->SetColor(kPen);
  canvas_->FrameRect(Rect(9, 7, 13, 11));
  EXPECT_EQ(Row(7, 9, 13), "PPPP.");
  EXPECT_EQ(Row(8, 9, 13), "P..P.");
  EXPECT_EQ(Row(10, 9, 13), "PPPP.");

  canvas_->Brush()->SetStyle(bsClear);
  canvas_->FillRect(Rect(0, 0, 16, 12));
  EXPECT_EQ(Row(0, 0, 3), "....") << "a clear brush fills nothing";
}

TEST_F(UiCanvas, PolygonsAreOutlinedAndFilled) {
  canvas_->Polygon({{5, 1}, {1, 5}, {1, 9}, {9, 9}, {9, 5}});
  EXPECT_EQ(Row(1, 4, 6), ".P.");
  EXPECT_EQ(Row(7, 0, 10), ".PFFFFFFFP.");
  EXPECT_EQ(Row(9, 0, 10), ".PPPPPPPPP.");
}

TEST_F(UiCanvas, FocusFrameInvertsEveryOtherBorderPixelAndUndoesItself) {
  canvas_->FillRect(Rect(0, 0, 16, 12));
  canvas_->DrawFocusRect(Rect(0, 0, 6, 4));
  // kFill inverted is 0xFFFF00.
  std::string top;
  for (int x = 0; x < 7; ++x) top += canvas_->Pixels(x, 0) == 0xFFFF00 ? 'I' : canvas_->Pixels(x, 0) == kFill ? 'F' : '?';
  EXPECT_EQ(top, "IFIFIFF");
  EXPECT_EQ(canvas_->Pixels(0, 2), 0xFFFF00);
  EXPECT_EQ(canvas_->Pixels(5, 1), 0xFFFF00);
  EXPECT_EQ(canvas_->Pixels(2, 2), kFill) << "the inside stays";
  canvas_->DrawFocusRect(Rect(0, 0, 6, 4));
  for (int y = 0; y < 4; ++y) EXPECT_EQ(Row(y, 0, 6), "FFFFFFF");
}

TEST_F(UiCanvas, PixelsOutsideTheSurfaceAreInvalid) {
  EXPECT_EQ(canvas_->Pixels(-1, 0), -1);
  EXPECT_EQ(canvas_->Pixels(16, 0), -1);
  EXPECT_EQ(canvas_->Pixels(0, 12), -1);
  canvas_->SetPixels(40, 40, kPen);  // clipped, no harm
  EXPECT_EQ(canvas_->Pixels(15, 11), kBack);
}

TEST_F(UiCanvas, StretchDrawRepeatsEachSourcePixel) {
  TBitmap strip;
  strip.SetPixelFormat(pf8bit);
  strip.SetSize(4, 1);
  TMaxLogPalette log;
  log.palNumEntries = 4;
  log.palPalEntry[0] = {10, 0, 0, 0};
  log.palPalEntry[1] = {20, 0, 0, 0};
  log.palPalEntry[2] = {30, 0, 0, 0};
  log.palPalEntry[3] = {40, 0, 0, 0};
  strip.SetPalette(CreatePalette(log));
  for (int i = 0; i < 4; ++i) strip.ScanLine(0)[i] = static_cast<uint8_t>(i);

  canvas_->StretchDraw(Bounds(2, 3, 8, 2), strip);
  for (int y : {3, 4}) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(canvas_->Pixels(2 + x, y), RGB(static_cast<uint8_t>(10 * (1 + x / 2)), 0, 0));
  }
  EXPECT_EQ(canvas_->Pixels(10, 3), kBack);
  EXPECT_EQ(canvas_->Pixels(2, 5), kBack);

  canvas_->Draw(0, 10, strip);
  EXPECT_EQ(canvas_->Pixels(3, 10), RGB(40, 0, 0));
  EXPECT_EQ(canvas_->Pixels(4, 10), kBack);
}

TEST_F(UiCanvas, CopyRectScalesAPartOfAnotherCanvas) {
  TBitmap other;
  other.SetPixelFormat(pf24bit);
  other.SetSize(4, 4);
  other.Canvas()->SetPixels(1, 1, kPen);
  canvas_->CopyRect(Rect(0, 0, 4, 4), *other.Canvas(), Rect(1, 1, 3, 3));
  EXPECT_EQ(Row(0, 0, 4), "PP...");
  EXPECT_EQ(Row(1, 0, 4), "PP...");
  EXPECT_EQ(Row(2, 0, 4), ".....");
}

TEST_F(UiCanvas, TextOutFillsItsBoxWithTheBrushAndMovesThePen) {
  const int width = canvas_->TextWidth("Wg");
  const int height = canvas_->TextHeight("Wg");
  ASSERT_GT(width, 0);
  ASSERT_GT(height, 0);
  bitmap_.SetSize(width + 4, height + 4);
  canvas_->TextOut(1, 1, "Wg");
  EXPECT_EQ(canvas_->PenPos(), (TPoint{1 + width, 1}));
  EXPECT_EQ(canvas_->Pixels(1, 1), kFill) << "the box starts with the brush colour";
  EXPECT_EQ(canvas_->Pixels(0, 1), kBack);
  EXPECT_EQ(canvas_->Pixels(1 + width, 1), kBack);
  EXPECT_EQ(canvas_->Pixels(1, 1 + height), kBack);
  bool inked = false;
  for (int y = 1; y < 1 + height && !inked; ++y)
    for (int x = 1; x < 1 + width && !inked; ++x) inked = canvas_->Pixels(x, y) != kFill;
  EXPECT_TRUE(inked) << "the glyphs are drawn over the box";
}

}  // namespace
