// TChart's drawing events, back image, label bands and fonts, point, fast-line,
// arrow and bubble series with per-point colours and value orders, copies of charts
// and series, and the chart saved as a bitmap file.

#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/chart.h"
#include "platform/ui/forms.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include <string>
#include <vector>

namespace {

class UiChartDraw : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 500, 400);
    chart = new TChart(form);
    chart->SetParent(form);
    chart->SetBounds(0, 0, 400, 300);
    for (TAxisKind kind : {akLeft, akTop, akRight, akBottom}) chart->Axis(kind)->SetGrid(false);
    chart->LeftAxis()->SetMinMax(0, 100);
    chart->BottomAxis()->SetMinMax(0, 100);
    form->Show();
  }
  void TearDown() override { form->Free(); }

  QImage Grab() { return chart->Widget()->grab().toImage(); }
  static QColor Rgb(TColor c) { return ColorToQColor(c); }

  TForm* form = nullptr;
  TChart* chart = nullptr;
};

TEST_F(UiChartDraw, EventsRunInDrawingOrderOnTheCanvasBeingPainted) {
  std::vector<std::string> log;
  TBitmap page;
  page.SetPixelFormat(pf32bit);
  page.SetSize(400, 300);
  auto* empty = new TLineSeries(form);
  empty->SetParentChart(chart);
  auto* inactive = new TLineSeries(form);
  inactive->SetParentChart(chart);
  inactive->SetActive(false);
  chart->OnBeforeDrawChart = [&](TObject*) { log.push_back("chart"); };
  TCanvas* drawnOn = nullptr;
  chart->OnBeforeDrawAxes = [&](TObject*) {
    log.push_back("axes");
    drawnOn = chart->DrawCanvas();
  };
  empty->OnBeforeDrawValues = [&](TObject* sender) {
    // Fires for an active series without points, while the back image is locked.
    log.push_back(sender == empty ? "values" : "?");
    EXPECT_TRUE(chart->BackImageLocked());
    EXPECT_FALSE(chart->TryLockBackImage());
  };
  empty->OnAfterDrawValues = [&](TObject*) { log.push_back("after values"); };
  inactive->OnBeforeDrawValues = [&](TObject*) { log.push_back("inactive"); };
  chart->OnAfterDraw = [&](TObject*) { log.push_back("after"); };

  chart->PaintTo(*page.Canvas(), Rect(0, 0, 400, 300));
  EXPECT_EQ(log, (std::vector<std::string>{"chart", "axes", "values", "after values", "after"}));
  EXPECT_EQ(drawnOn, page.Canvas());
  EXPECT_FALSE(chart->BackImageLocked());
  EXPECT_EQ(chart->DrawCanvas(), chart->Canvas());
  ASSERT_TRUE(chart->TryLockBackImage());
  EXPECT_TRUE(chart->BackImageLocked());
  chart->UnlockBackImage();
  EXPECT_FALSE(chart->BackImageLocked());

  // The screen paint runs them too.
  log.clear();
  Grab();
  EXPECT_EQ(log, (std::vector<std::string>{"chart", "axes", "values", "after values", "after"}));
}

TEST_F(UiChartDraw, BackImageSitsUnscaledAtThePlotsTopLeftOrStretched) {
  chart->SetBackImageMode(pbmCustom);
  chart->SetBackImageInside(true);
  TBitmap* back = chart->BackImage();
  back->SetSize(1000, 1000);  // larger than the plotting area: cut at its edges
  back->Canvas()->Brush()->SetColor(clBlue);
  chart->ClearBackImage();
  back->Canvas()->Brush()->SetColor(clRed);
  back->Canvas()->FillRect(Rect(0, 0, 10, 10));
  back->Canvas()->Brush()->SetColor(clBlue);  // the brush ClearBackImage uses from now on
  const TRect plot = chart->ChartRect();
  QImage image = Grab();
  EXPECT_EQ(image.pixelColor(plot.Left, plot.Top), Rgb(clRed));
  EXPECT_EQ(image.pixelColor(plot.Left + 9, plot.Top + 9), Rgb(clRed));
  EXPECT_EQ(image.pixelColor(plot.Left + 10, plot.Top + 10), Rgb(clBlue));
  EXPECT_EQ(image.pixelColor(plot.Right - 1, plot.Bottom - 1), Rgb(clBlue));
  // Nothing of it outside the plotting area.
  EXPECT_NE(image.pixelColor(plot.Right + 2, plot.Top + 20), Rgb(clBlue));
  EXPECT_NE(image.pixelColor(plot.Left + 20, plot.Bottom + 3), Rgb(clBlue));

  // Outside the frame: from the control's top-left.
  chart->SetBackImageInside(false);
  image = Grab();
  EXPECT_EQ(image.pixelColor(0, 0), Rgb(clRed));
  EXPECT_EQ(image.pixelColor(12, 0), Rgb(clBlue));

  // Cleared with its brush.
  chart->SetBackImageInside(true);
  chart->ClearBackImage();
  image = Grab();
  EXPECT_EQ(image.pixelColor(plot.Left, plot.Top), Rgb(clBlue));

  // Stretched over the plotting area: a 2 x 1 picture fills its halves.
  back->SetSize(2, 1);
  back->Canvas()->SetPixels(0, 0, clLime);
  back->Canvas()->SetPixels(1, 0, clFuchsia);
  chart->SetBackImageMode(pbmStretch);
  image = Grab();
  EXPECT_EQ(image.pixelColor(plot.Left + 2, plot.Bottom - 2), Rgb(clLime));
  EXPECT_EQ(image.pixelColor(plot.Right - 2, plot.Top + 2), Rgb(clFuchsia));
}

TEST_F(UiChartDraw, FixedLabelBandTakesHookDrawnTurnedLabels) {
  TChartAxis* top = chart->TopAxis();
  top->SetVisible(true);
  top->SetMinMax(0, 100);
  const int plotTopMeasured = chart->ChartRect().Top;
  top->SetAutomaticLabels(false);
  top->SetLabelsSize(150);
  const TRect plot = chart->ChartRect();
  EXPECT_GT(plot.Top, plotTopMeasured + 100);
  EXPECT_EQ(top->PosAxis(), plot.Top - 1);
  EXPECT_LT(top->PosLabels(), top->PosAxis());
  EXPECT_GE(top->PosLabels() - 150, 0);

  // Without automatic labels the band stays empty.
  QImage image = Grab();
  int dark = 0;
  for (int y = top->PosLabels() - 150; y < top->PosLabels(); ++y)
    for (int x = plot.Left; x < plot.Right; ++x) dark += qGray(image.pixel(x, y)) < 100;
  EXPECT_EQ(dark, 0);

  // A hook draws a label turned by 90 degrees, standing on the label line.
  const QString text = QStringLiteral("$GPGGA,123519,4807.038");
  int textWidth = 0, textHeight = 0;
  const int x = top->CalcPosValue(50);
  chart->OnBeforeDrawAxes = [&](TObject*) {
    TCanvas* canvas = chart->DrawCanvas();
    textWidth = canvas->TextWidth(text);
    textHeight = canvas->TextHeight(text);
    TChart::TextOutTurned(*canvas, x + 5, top->PosLabels() - textWidth, text, clWhite);
  };
  chart->Invalidate();
  image = Grab();
  ASSERT_GT(textWidth, 3 * textHeight);
  int minX = 1 << 20, maxX = -1, minY = 1 << 20, maxY = -1;
  for (int y = 0; y < top->PosAxis(); ++y)
    for (int px = plot.Left; px < plot.Right; ++px)
      if (qGray(image.pixel(px, y)) < 100) {
        minX = std::min(minX, px);
        maxX = std::max(maxX, px);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
      }
  // The ink is taller than wide (turned), inside the text's turned box.
  ASSERT_GE(maxX, 0);
  EXPECT_GE(minX, x + 5);
  EXPECT_LT(maxX, x + 5 + textHeight);
  EXPECT_GE(minY, top->PosLabels() - textWidth);
  EXPECT_LT(maxY, top->PosLabels());
  EXPECT_GT(maxY - minY, 2 * (maxX - minX));
}

TEST_F(UiChartDraw, AxisFontsColourAndEmboldenTheirTexts) {
  TChartAxis* left = chart->LeftAxis();
  left->SetTitle(QStringLiteral("#0 Time, ns"));
  left->TitleFont()->SetColor(clRed);
  left->LabelsFont()->SetColor(clBlue);
  const TRect plot = chart->ChartRect();
  QImage image = Grab();
  auto count = [&](const QImage& img, TColor c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < plot.Left; ++x) {
        const QColor p = img.pixelColor(x, y);
        // Text edges are blended: count the pixels that are mostly the colour.
        const int own = c == clRed ? p.red() : p.blue();
        const int others = c == clRed ? std::max(p.green(), p.blue()) : std::max(p.red(), p.green());
        n += own > 150 && others < 110;
      }
    return n;
  };
  const int redRegular = count(image, clRed);
  EXPECT_GT(redRegular, 10);
  EXPECT_GT(count(image, clBlue), 10);
  left->TitleFont()->SetStyle(TFontStyles{fsBold});
  image = Grab();
  EXPECT_GT(count(image, clRed), redRegular);
}

TEST_F(UiChartDraw, PointSeriesKeepsItsOrderAndColoursEachPoint) {
  auto* points = new TPointSeries(form);
  points->SetParentChart(chart);
  points->SetXValuesOrder(loAscending);
  points->SetColorEachPoint(true);
  points->AddXY(70, 50, "c", clLime);
  points->AddXY(20, 50, "a", clRed);
  points->AddXY(45, 50, "b", clTeeColor);  // the series colour
  points->AddXY(20, 80, "a2", clBlue);     // after its equal
  ASSERT_EQ(points->Count(), 4);
  EXPECT_EQ((std::vector<double>{points->XValue(0), points->XValue(1), points->XValue(2), points->XValue(3)}),
            (std::vector<double>{20, 20, 45, 70}));
  EXPECT_EQ(points->Label(1), "a2");
  points->SetSeriesColor(clFuchsia);
  EXPECT_EQ(points->ValueColor(2), clFuchsia);

  TSeriesPointer pointer = points->Pointer();
  pointer.Style = psDownTriangle;
  pointer.HorizSize = 6;
  pointer.VertSize = 6;
  points->SetPointer(pointer);
  QImage image = Grab();
  for (int i = 0; i < points->Count(); ++i)
    EXPECT_EQ(image.pixelColor(points->CalcXPos(i), points->CalcYPos(i)), Rgb(points->ValueColor(i))) << i;
  // Point down: wide at the top, narrow at the bottom.
  const int x = points->CalcXPos(3), y = points->CalcYPos(3);
  EXPECT_EQ(image.pixelColor(x - 4, y - 4), Rgb(clLime));
  EXPECT_NE(image.pixelColor(x - 4, y + 4), Rgb(clLime));

  // Unordered: kept as added; one colour for all without ColorEachPoint.
  auto* loose = new TPointSeries(form);
  loose->SetParentChart(chart);
  loose->AddXY(90, 10, "", clLime);
  loose->AddXY(10, 10);
  EXPECT_EQ(loose->XValue(0), 90);
  EXPECT_EQ(loose->ValueColor(0), loose->SeriesColor());
  // Descending Y as a wiggle trace orders its samples.
  auto* wiggle = new TLineSeries(form);
  wiggle->SetYValuesOrder(loDescending);
  for (double v : {3.0, 9.0, 1.0, 5.0}) wiggle->AddXY(0, v);
  EXPECT_EQ((std::vector<double>{wiggle->YValue(0), wiggle->YValue(1), wiggle->YValue(2), wiggle->YValue(3)}),
            (std::vector<double>{9, 5, 3, 1}));

  // Diamonds: a point at each corner of the drawn shape.
  pointer.Style = psDiamond;
  points->SetPointer(pointer);
  image = Grab();
  EXPECT_EQ(image.pixelColor(x, y - 4), Rgb(clLime));
  EXPECT_NE(image.pixelColor(x - 5, y - 5), Rgb(clLime));
}

TEST_F(UiChartDraw, LineSegmentsTakeTheirEndPointsColour) {
  auto* line = new TLineSeries(form);
  line->SetParentChart(chart);
  line->SetColorEachPoint(true);
  line->AddXY(0, 50);
  line->AddXY(50, 50, "", clBlue);
  line->AddXY(100, 50, "", clLime);
  const QImage image = Grab();
  const int y = chart->LeftAxis()->CalcPosValue(50);
  EXPECT_EQ(image.pixelColor(chart->BottomAxis()->CalcPosValue(25), y), Rgb(clBlue));
  EXPECT_EQ(image.pixelColor(chart->BottomAxis()->CalcPosValue(75), y), Rgb(clLime));
}

TEST_F(UiChartDraw, ArrowsReachTheirEndsWithAHead) {
  chart->BottomAxis()->SetAutomatic(true);
  chart->LeftAxis()->SetAutomatic(true);
  auto* arrows = new TArrowSeries(form);
  arrows->SetParentChart(chart);
  arrows->SetColorEachPoint(true);
  arrows->SetArrowWidth(9);
  arrows->SetArrowHeight(12);
  arrows->ArrowPen()->SetWidth(2);
  arrows->AddArrow(0, 0, 10, 0, "", clRed);
  arrows->AddArrow(5, -4, 5, 6, "", clBlue);
  // The ranges include the ends.
  EXPECT_DOUBLE_EQ(chart->BottomAxis()->Maximum(), 10);
  EXPECT_DOUBLE_EQ(chart->LeftAxis()->Maximum(), 6);
  EXPECT_DOUBLE_EQ(chart->LeftAxis()->Minimum(), -4);
  EXPECT_DOUBLE_EQ(arrows->EndYValue(1), 6);

  const QImage image = Grab();
  const int xEnd = chart->BottomAxis()->CalcPosValue(10), y0 = chart->LeftAxis()->CalcPosValue(0);
  // The head is wider than the shaft a few pixels before the tip.
  int headRows = 0, shaftRows = 0;
  for (int dy = -6; dy <= 6; ++dy) {
    headRows += image.pixelColor(xEnd - 8, y0 + dy) == Rgb(clRed);
    shaftRows += image.pixelColor(xEnd - 40, y0 + dy) == Rgb(clRed);
  }
  EXPECT_GE(headRows, 5);
  EXPECT_LE(shaftRows, 3);
  EXPECT_GE(shaftRows, 1);
  const int x5 = chart->BottomAxis()->CalcPosValue(5);
  EXPECT_EQ(image.pixelColor(x5, chart->LeftAxis()->CalcPosValue(3)), Rgb(clBlue));
}

TEST_F(UiChartDraw, FastLineIsOnePenThroughThePoints) {
  auto* track = new TFastLineSeries(form);
  track->SetParentChart(chart);
  track->SetSeriesColor(clRed);
  track->LinePen()->SetWidth(2);
  track->AddXY(10, 10);
  track->AddXY(90, 10);
  track->AddXY(90, 90);
  const QImage image = Grab();
  EXPECT_EQ(image.pixelColor(chart->BottomAxis()->CalcPosValue(50), chart->LeftAxis()->CalcPosValue(10)),
            Rgb(clRed));
  EXPECT_EQ(image.pixelColor(chart->BottomAxis()->CalcPosValue(90), chart->LeftAxis()->CalcPosValue(50)),
            Rgb(clRed));
}

TEST_F(UiChartDraw, BubblesSpanTheirRadiusInAxisUnits) {
  auto* bubbles = new TBubbleSeries(form);
  bubbles->SetParentChart(chart);
  bubbles->SetMarksVisible(true);
  // Radius 10 in axis units on both axes, in its own colour; one point taken
  // without a radius; one centred outside the plotting area.
  bubbles->AddBubble(30, 50, 10, "12", clRed);
  bubbles->AddXY(70, 20, "", clBlue);
  bubbles->AddBubble(150, 50, 40, "", clGreen);
  EXPECT_DOUBLE_EQ(bubbles->RadiusValue(0), 10);
  EXPECT_DOUBLE_EQ(bubbles->RadiusValue(1), 0);
  EXPECT_EQ(bubbles->Label(0), "12");
  double min = 0, max = 0;
  ASSERT_TRUE(bubbles->ValueRange(true, min, max));
  EXPECT_DOUBLE_EQ(min, 20);
  EXPECT_DOUBLE_EQ(max, 190);

  const QImage image = Grab();
  const TChartAxis& h = *chart->BottomAxis();
  const TChartAxis& v = *chart->LeftAxis();
  EXPECT_EQ(image.pixelColor(h.CalcPosValue(30), v.CalcPosValue(50)), Rgb(clRed));
  // Inside the radius on both axes, outside beyond it.
  EXPECT_EQ(image.pixelColor(h.CalcPosValue(37), v.CalcPosValue(50)), Rgb(clRed));
  EXPECT_EQ(image.pixelColor(h.CalcPosValue(30), v.CalcPosValue(57)), Rgb(clRed));
  EXPECT_NE(image.pixelColor(h.CalcPosValue(43), v.CalcPosValue(50)), Rgb(clRed));
  EXPECT_NE(image.pixelColor(h.CalcPosValue(30), v.CalcPosValue(37)), Rgb(clRed));
  // The label above the bubble: dark pixels over its centre.
  int dark = 0;
  for (int y = v.CalcPosValue(50) - 30; y < v.CalcPosValue(50) - 4; ++y)
    for (int x = h.CalcPosValue(30) - 8; x <= h.CalcPosValue(30) + 8; ++x) dark += qGray(image.pixel(x, y)) < 80;
  EXPECT_GT(dark, 3);
  EXPECT_EQ(image.pixelColor(h.CalcPosValue(70), v.CalcPosValue(20)), Rgb(clBlue)) << "radius 0: one pixel";
  // The bubble centred beyond the axis leaves the plotting area untouched.
  EXPECT_NE(image.pixelColor(chart->ChartRect().Right - 3, v.CalcPosValue(50)), Rgb(clGreen));

  bubbles->Delete(0);
  EXPECT_DOUBLE_EQ(bubbles->RadiusValue(0), 0);
  EXPECT_DOUBLE_EQ(bubbles->RadiusValue(1), 40);
  auto* copy = dynamic_cast<TBubbleSeries*>(bubbles->CreateClone(form));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Count(), 2);
  EXPECT_DOUBLE_EQ(copy->RadiusValue(1), 40);
  EXPECT_EQ(copy->ValueColor(1), clGreen);
}

TEST_F(UiChartDraw, CopiesShareNothingWithTheirSource) {
  chart->LeftAxis()->SetTitle("Time, ns");
  chart->LeftAxis()->SetInverted(true);
  chart->TopAxis()->SetVisible(true);
  chart->SetBackImageMode(pbmCustom);
  chart->BackImage()->SetSize(20, 20);
  chart->BackImage()->Canvas()->Brush()->SetColor(clYellow);
  int clicks = 0;
  chart->OnClick = [&](TObject*) { ++clicks; };

  TChart* copy = chart->CreateClone(form);
  copy->SetParent(form);
  EXPECT_EQ(copy->LeftAxis()->Title(), "Time, ns");
  EXPECT_TRUE(copy->LeftAxis()->Inverted());
  EXPECT_TRUE(copy->TopAxis()->Visible());
  EXPECT_EQ(copy->BackImageMode(), pbmCustom);
  EXPECT_EQ(copy->BackImage()->Width(), 20);
  EXPECT_EQ(copy->BackImage()->Canvas()->Brush()->Color(), clYellow);
  EXPECT_EQ(copy->Width(), chart->Width());
  EXPECT_EQ(copy->SeriesCount(), 0);
  copy->Click();
  EXPECT_EQ(clicks, 1);

  copy->LeftAxis()->SetTitle("Depth");
  copy->TopAxis()->SetVisible(false);
  copy->BackImage()->SetSize(5, 5);
  copy->LeftAxis()->TitleFont()->SetStyle(TFontStyles{fsBold});
  EXPECT_EQ(chart->LeftAxis()->Title(), "Time, ns");
  EXPECT_TRUE(chart->TopAxis()->Visible());
  EXPECT_EQ(chart->BackImage()->Width(), 20);
  EXPECT_FALSE(chart->LeftAxis()->TitleFont()->Style().Contains(fsBold));

  auto* zero = new TLineSeries(form);
  zero->SetSeriesColor(clBlue);
  zero->LinePen()->SetWidth(3);
  zero->AddXY(0, 1);
  zero->AddXY(5, 1);
  int drawn = 0;
  zero->OnBeforeDrawValues = [&](TObject*) { ++drawn; };
  TChartSeries* seriesCopy = zero->CreateClone(form);
  auto* lineCopy = dynamic_cast<TLineSeries*>(seriesCopy);
  ASSERT_NE(lineCopy, nullptr);
  EXPECT_EQ(lineCopy->ParentChart(), nullptr);
  EXPECT_EQ(lineCopy->Count(), 2);
  EXPECT_EQ(lineCopy->LinePen()->Width(), 3);
  EXPECT_EQ(lineCopy->SeriesColor(), clBlue);
  lineCopy->SetParentChart(copy);
  lineCopy->AddXY(9, 9);
  lineCopy->LinePen()->SetWidth(1);
  EXPECT_EQ(zero->Count(), 2);
  EXPECT_EQ(zero->LinePen()->Width(), 3);
  copy->PaintTo(*copy->Canvas(), Rect(0, 0, copy->ClientWidth(), copy->ClientHeight()));
  EXPECT_EQ(drawn, 1);

  // Assign takes the properties and points of another kind's series.
  auto* arrows = new TArrowSeries(form);
  arrows->Assign(*zero);
  EXPECT_EQ(arrows->Count(), 2);
  EXPECT_EQ(arrows->EndXValue(1), 5);
}

TEST_F(UiChartDraw, SavedBitmapHoldsTheAxes) {
  chart->LeftAxis()->SetTitle("Time, ns");
  chart->TopAxis()->SetVisible(true);
  chart->TopAxis()->SetMinMax(0, 100);
  auto* line = new TLineSeries(form);
  line->SetParentChart(chart);
  line->AddXY(0, 50);
  line->AddXY(100, 50);
  QTemporaryDir dir;
  const QString name = dir.filePath("chart.bmp");
  chart->SaveToBitmapFile(name);
  TFileStream file(name, fmOpenRead);
  TBitmap saved;
  saved.LoadFromStream(file);
  ASSERT_EQ(saved.Width(), chart->ClientWidth());
  ASSERT_EQ(saved.Height(), chart->ClientHeight());
  const QImage image = saved.Image();
  const QImage screen = Grab();
  const TRect plot = chart->ChartRect();
  // The axis lines, the labels beside them and the series, as on the screen.
  EXPECT_EQ(image.pixelColor(chart->LeftAxis()->PosAxis(), (plot.Top + plot.Bottom) / 2), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor((plot.Left + plot.Right) / 2, chart->TopAxis()->PosAxis()), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(plot.Left + 30, chart->LeftAxis()->CalcPosValue(50)), QColor(Qt::red));
  int differences = 0, darkBesideAxis = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      differences += image.pixel(x, y) != screen.pixel(x, y);
      if (x < plot.Left - 1) darkBesideAxis += qGray(image.pixel(x, y)) < 100;
    }
  // Blended text edges may differ by a shade in the file's 24 bits.
  EXPECT_LT(differences, image.width() * image.height() / 500);
  EXPECT_GT(darkBesideAxis, 50);
}

}  // namespace
