// TChart: value <-> pixel on the four axes with and without inversion, fixed and
// automatic ranges, series on their axes, and line series drawn (clipped to the
// plotting area) into the control and into a bitmap.

#include "platform/ui/chart.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/forms.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include <memory>
#include <vector>

namespace {

class UiChart : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 400, 300);
    chart = new TChart(form);
    chart->SetParent(form);
    chart->SetBounds(0, 0, 320, 240);
    chart->LeftAxis()->SetGrid(false);
    chart->BottomAxis()->SetGrid(false);
    form->Show();
  }
  void TearDown() override { form->Free(); }

  TLineSeries* AddLine(TColor color) {
    auto* series = new TLineSeries(form);
    series->SetSeriesColor(color);
    series->SetParentChart(chart);
    return series;
  }
  QImage Grab() { return chart->Widget()->grab().toImage(); }

  TForm* form = nullptr;
  TChart* chart = nullptr;
};

TEST_F(UiChart, AxisLabelsPassThroughTheLabelHookAndClonesKeepIt) {
  chart->LeftAxis()->SetMinMax(0, 100);
  EXPECT_EQ(chart->LeftAxis()->LabelText(40), QStringLiteral("40"));
  std::vector<TAxisKind> asked;
  chart->OnGetAxisLabel = [&](TChartAxis* axis, double value, QString& text) {
    asked.push_back(axis->Kind());
    if (axis->Kind() == akLeft) text = QString::number(value / 4, 'f', 1);
  };
  EXPECT_EQ(chart->LeftAxis()->LabelText(42), QStringLiteral("10.5"));
  EXPECT_EQ(chart->BottomAxis()->LabelText(42), QStringLiteral("42"));
  EXPECT_EQ(asked, (std::vector<TAxisKind>{akLeft, akBottom}));
  std::unique_ptr<TChart> clone(chart->CreateClone(nullptr));
  EXPECT_EQ(clone->LeftAxis()->LabelText(2), QStringLiteral("0.5"));
}

TEST_F(UiChart, ValuesMapToPixelsEdgeToEdgeWithInversion) {
  chart->TopAxis()->SetVisible(true);
  chart->RightAxis()->SetVisible(true);
  enum TEdge { eTop, eBottom, eLeft, eRight };
  struct Case {
    TAxisKind kind;
    bool inverted;
    TEdge edgeOfMin;
    TEdge edgeOfMax;
  };
  const Case cases[] = {
      {akLeft, false, eBottom, eTop},  {akLeft, true, eTop, eBottom},  {akRight, false, eBottom, eTop},
      {akRight, true, eTop, eBottom},  {akBottom, false, eLeft, eRight}, {akBottom, true, eRight, eLeft},
      {akTop, false, eLeft, eRight},   {akTop, true, eRight, eLeft},
  };
  for (const Case& c : cases) {
    TChartAxis* axis = chart->Axis(c.kind);
    axis->SetMinMax(-20, 80);
    axis->SetInverted(c.inverted);
    // The labels' widths place the plotting area: read it after the range is set.
    const TRect plot = chart->ChartRect();
    ASSERT_GT(plot.Width(), 100);
    ASSERT_GT(plot.Height(), 100);
    auto pixel = [&](TEdge edge) {
      switch (edge) {
        case eTop: return plot.Top;
        case eBottom: return plot.Bottom - 1;
        case eLeft: return plot.Left;
        case eRight: return plot.Right - 1;
      }
      return -1;
    };
    const int pixelOfMin = pixel(c.edgeOfMin), pixelOfMax = pixel(c.edgeOfMax);
    EXPECT_EQ(axis->CalcPosValue(-20), pixelOfMin) << int(c.kind) << c.inverted;
    EXPECT_EQ(axis->CalcPosValue(80), pixelOfMax) << int(c.kind) << c.inverted;
    EXPECT_NEAR(axis->CalcPosValue(30), (pixelOfMin + pixelOfMax) / 2.0, 0.5) << int(c.kind) << c.inverted;
    // And back: a pixel gives the value it shows, within a pixel's worth.
    const double perPixel = 100.0 / (axis->IEndPos() - axis->IStartPos());
    for (double v : {-20.0, 0.0, 12.5, 80.0})
      EXPECT_NEAR(axis->CalcPosPoint(axis->CalcPosValue(v)), v, perPixel) << int(c.kind) << c.inverted;
    EXPECT_DOUBLE_EQ(axis->CalcPosPoint(pixelOfMin), -20.0);
  }
  // The range ends may be given in either order.
  chart->LeftAxis()->SetMinMax(5, -5);
  EXPECT_DOUBLE_EQ(chart->LeftAxis()->Minimum(), -5);
  // An empty range maps everything to the middle.
  chart->LeftAxis()->SetMinMax(3, 3);
  const TRect plot = chart->ChartRect();
  EXPECT_NEAR(chart->LeftAxis()->CalcPosValue(100), (plot.Top + plot.Bottom - 1) / 2.0, 0.5);
}

TEST_F(UiChart, AutomaticRangesComeFromTheSeriesOnTheAxis) {
  TLineSeries* bottom = AddLine(clRed);
  bottom->AddXY(-3, 10);
  bottom->AddXY(7, 40);
  TLineSeries* top = AddLine(clBlue);
  top->SetHorizAxis(aTopAxis);
  top->AddXY(100, -50);
  EXPECT_DOUBLE_EQ(chart->BottomAxis()->Minimum(), -3);
  EXPECT_DOUBLE_EQ(chart->BottomAxis()->Maximum(), 7);
  EXPECT_DOUBLE_EQ(chart->TopAxis()->Minimum(), 100);
  EXPECT_DOUBLE_EQ(chart->LeftAxis()->Minimum(), -50);
  EXPECT_DOUBLE_EQ(chart->LeftAxis()->Maximum(), 40);
  top->SetActive(false);
  EXPECT_DOUBLE_EQ(chart->LeftAxis()->Minimum(), 10);
  bottom->Clear();
  EXPECT_EQ(bottom->Count(), 0);
  EXPECT_DOUBLE_EQ(chart->BottomAxis()->Maximum(), 0);
  // A fixed range stays whatever the points.
  chart->LeftAxis()->SetMinMax(0, 1);
  bottom->AddXY(0, 500);
  EXPECT_DOUBLE_EQ(chart->LeftAxis()->Maximum(), 1);
}

// A series that counts how often an axis measures it.
class TCountingLine : public TLineSeries {
public:
  using TLineSeries::TLineSeries;
  bool ValueRange(bool horizontal, double& min, double& max) const override {
    ++measured;
    return TLineSeries::ValueRange(horizontal, min, max);
  }
  mutable int measured = 0;
};

TEST_F(UiChart, APaintMeasuresAnAutomaticRangeOnceAndAChangeMeasuresAgain) {
  auto* line = new TCountingLine(form);
  line->SetParentChart(chart);
  line->BeginUpdate();
  for (int i = 0; i < 4000; ++i) line->AddXY(i, i % 7);
  line->EndUpdate();
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(320, 240);
  line->measured = 0;
  chart->PaintTo(*bitmap.Canvas(), Rect(0, 0, 320, 240));
  // Placing 4000 points must not measure the 4000 points again for each one.
  EXPECT_GT(line->measured, 0);
  EXPECT_LE(line->measured, 8);
  // A point added while the chart draws moves the range at once.
  chart->OnAfterDraw = [&](TObject*) {
    line->AddXY(8000, 70);
    EXPECT_DOUBLE_EQ(chart->BottomAxis()->Maximum(), 8000);
    EXPECT_DOUBLE_EQ(chart->LeftAxis()->Maximum(), 70);
  };
  chart->PaintTo(*bitmap.Canvas(), Rect(0, 0, 320, 240));
  // Also inside an update of the series.
  chart->OnAfterDraw = [&](TObject*) {
    line->BeginUpdate();
    line->AddXY(9000, 80);
    EXPECT_DOUBLE_EQ(chart->BottomAxis()->Maximum(), 9000);
    line->EndUpdate();
  };
  chart->PaintTo(*bitmap.Canvas(), Rect(0, 0, 320, 240));
  chart->OnAfterDraw = nullptr;
  // Outside a paint nothing is kept.
  line->AddXY(-5, -1);
  EXPECT_DOUBLE_EQ(chart->BottomAxis()->Minimum(), -5);
  line->Clear();
  line->AddXY(1, 2);
  line->AddXY(3, 4);
  EXPECT_DOUBLE_EQ(chart->BottomAxis()->Maximum(), 3);
}

TEST_F(UiChart, LineSeriesIsDrawnOnItsAxesAndClipped) {
  chart->LeftAxis()->SetMinMax(0, 100);
  chart->LeftAxis()->SetInverted(true);
  chart->BottomAxis()->SetMinMax(0, 100);
  TLineSeries* diagonal = AddLine(clRed);
  diagonal->AddXY(0, 0);
  diagonal->AddXY(100, 100);
  TLineSeries* outside = AddLine(clLime);
  outside->AddXY(50, -40);  // above the top of the inverted axis
  outside->AddXY(50, 50);
  const TRect plot = chart->ChartRect();
  const QImage image = Grab();

  // Inverted: value 0 at the top, so the diagonal runs from top-left to bottom-right.
  EXPECT_EQ(diagonal->CalcYPos(0), plot.Top);
  EXPECT_EQ(diagonal->CalcXPos(0), plot.Left);
  for (double v : {10.0, 30.0, 90.0}) {  // not 50: the green line is drawn over it there
    const QPoint at(chart->BottomAxis()->CalcPosValue(v), chart->LeftAxis()->CalcPosValue(v));
    EXPECT_EQ(QColor(image.pixel(at)), QColor(Qt::red)) << v;
  }
  // The last point is drawn too.
  EXPECT_EQ(QColor(image.pixel(plot.Right - 1, plot.Bottom - 1)), QColor(Qt::red));
  // The clipped line stops at the plotting area's top edge.
  const int x = chart->BottomAxis()->CalcPosValue(50);
  EXPECT_EQ(QColor(image.pixel(x, plot.Top + 2)), QColor(Qt::green));
  for (int y = 0; y < plot.Top - 1; ++y) ASSERT_NE(QColor(image.pixel(x, y)), QColor(Qt::green)) << y;
  // Away from the lines the plotting area is white, around it the control's colour.
  EXPECT_EQ(QColor(image.pixel(plot.Right - 5, plot.Top + 5)), QColor(Qt::white));
}

TEST_F(UiChart, PenWidthAndDottedStyle) {
  chart->LeftAxis()->SetMinMax(0, 10);
  chart->BottomAxis()->SetMinMax(0, 10);
  TLineSeries* thick = AddLine(clBlue);
  thick->LinePen()->SetWidth(3);
  thick->AddXY(0, 8);
  thick->AddXY(10, 8);
  TLineSeries* dotted = AddLine(clGray);
  dotted->LinePen()->SetStyle(psDot);
  dotted->AddXY(5, 0);
  dotted->AddXY(5, 10);
  const QImage image = Grab();
  const TRect plot = chart->ChartRect();

  const int y = chart->LeftAxis()->CalcPosValue(8);
  int blueRows = 0;
  for (int dy = -3; dy <= 3; ++dy) blueRows += QColor(image.pixel(plot.Left + 20, y + dy)) == QColor(Qt::blue);
  EXPECT_EQ(blueRows, 3);

  const int x = chart->BottomAxis()->CalcPosValue(5);
  int grey = 0, white = 0;
  for (int py = plot.Top + 10; py < plot.Bottom - 10; ++py) {
    const QColor c(image.pixel(x, py));
    grey += c == QColor(128, 128, 128);
    white += c == QColor(Qt::white);
  }
  EXPECT_GT(grey, 10);
  EXPECT_GT(white, 10);  // gaps between the dots
}

TEST_F(UiChart, PaintsIntoABitmapAsOnTheScreen) {
  chart->LeftAxis()->SetMinMax(0, 10);
  chart->BottomAxis()->SetMinMax(0, 10);
  chart->LeftAxis()->SetTitle("Time, ns");
  TLineSeries* line = AddLine(clRed);
  line->AddXY(0, 5);
  line->AddXY(10, 5);
  const QImage screen = Grab();
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(320, 240);
  chart->PaintTo(*bitmap.Canvas(), Rect(0, 0, 320, 240));
  const QImage drawn = bitmap.Image();
  const int y = chart->LeftAxis()->CalcPosValue(5);
  EXPECT_EQ(QColor(drawn.pixel(160, y)), QColor(Qt::red));
  EXPECT_EQ(QColor(screen.pixel(160, y)), QColor(Qt::red));
  // The rotated title puts dark pixels left of the labels.
  int dark = 0;
  for (int px = 0; px < chart->ChartRect().Left - 30; ++px)
    for (int py = 0; py < 240; ++py) dark += qGray(drawn.pixel(px, py)) < 100;
  EXPECT_GT(dark, 20);
}

TEST_F(UiChart, SeriesAndChartMayGoInEitherOrder) {
  TLineSeries* line = AddLine(clRed);
  EXPECT_EQ(chart->SeriesCount(), 1);
  line->Free();
  EXPECT_EQ(chart->SeriesCount(), 0);
  auto* orphan = new TLineSeries(nullptr);
  orphan->SetParentChart(chart);
  chart->Free();
  EXPECT_EQ(orphan->ParentChart(), nullptr);
  EXPECT_EQ(orphan->CalcXPos(0), 0);
  orphan->Free();
}

TEST_F(UiChart, LabelsFollowTheFormat) {
  chart->LeftAxis()->SetMinMax(-12, 12);
  chart->LeftAxis()->SetLabelFormat("##0.###");
  const std::vector<double> values = chart->LeftAxis()->LabelValues();
  ASSERT_GE(values.size(), 3u);
  EXPECT_GE(values.front(), -12);
  EXPECT_LE(values.back(), 12);
  EXPECT_NE(std::find(values.begin(), values.end(), 0.0), values.end());
  EXPECT_EQ(chart->LeftAxis()->LabelText(-2.5), "-2.5");
  EXPECT_EQ(chart->LeftAxis()->LabelText(1.0 / 3), "0.333");
}

}  // namespace
