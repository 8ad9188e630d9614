// The axes, scroll bars, zoom steps and fits of the radargram window without the
// window.

#include "radargram/axes_arithmetic.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace axes_arithmetic_test {

namespace aa = axes_arithmetic;

TEST(AxesZoom, StepsInAndOutRoundHalvesToEven) {
  std::vector<int> in{1000};
  for (int i = 0; i < 3; ++i) in.push_back(aa::ZoomStep(in.back(), true));
  EXPECT_EQ(in, (std::vector<int>{1000, 800, 640, 512}));
  EXPECT_EQ(aa::ZoomStep(1000, false), 1250);
  EXPECT_EQ(aa::ZoomStep(1250, false), 1562);  // 1562.5
}

TEST(AxesZoom, EachDirectionStepsOncePastItsLimit) {
  EXPECT_EQ(aa::ZoomStep(101, true), 81);
  EXPECT_EQ(aa::ZoomStep(81, true), 81);
  EXPECT_EQ(aa::ZoomStep(100, true), 100);
  EXPECT_EQ(aa::ZoomStep(99999, false), 124999);
  EXPECT_EQ(aa::ZoomStep(124999, false), 124999);
}

TEST(AxesZoom, ListTextsAndPercent) {
  struct Case {
    const char* text;
    std::optional<int> factor;
  };
  const Case cases[] = {{"25", 4000},   {"400", 250}, {"12", 8333}, {" 100 ", 1000}, {"75", 1333},
                        {"0", {}},      {"-50", {}},  {"abc", {}},  {"", {}},        {"1e9", {}},
                        {"200000", {}}, {"nan", {}}};
  for (const Case& c : cases) EXPECT_EQ(aa::ZoomFactorOfPercentText(QString::fromLatin1(c.text)), c.factor) << c.text;
  EXPECT_EQ(aa::ZoomPercent(4000), 25);
  EXPECT_EQ(aa::ZoomPercent(1562), 64);
  EXPECT_EQ(aa::ZoomPercent(800), 125);
  EXPECT_EQ(aa::ZoomPercent(0), 0);
}

TEST(AxesProportion, CoeficientsOfEveryMode) {
  const long double c = 4;
  EXPECT_EQ(aa::ProportionalCoefic(PropInSamples11, c), 1);
  EXPECT_EQ(aa::ProportionalCoefic(PropInSamples13, c), 3);
  EXPECT_EQ(aa::ProportionalCoefic(PropInSamples15, c), 5);
  EXPECT_EQ(aa::ProportionalCoefic(PropInM21, c), 2);
  EXPECT_EQ(aa::ProportionalCoefic(PropInM11, c), 4);
  EXPECT_EQ(aa::ProportionalCoefic(PropInM12, c), 8);
  EXPECT_EQ(aa::ProportionalCoefic(PropInM31, c), 4);
  EXPECT_EQ(aa::WidthLimitFactor(PropInM41, c), 0);
  EXPECT_TRUE(aa::TooWideForMode(10000, aa::WidthLimitFactor(PropInSamples15, c)));
  EXPECT_FALSE(aa::TooWideForMode(6400, 5));
  EXPECT_TRUE(aa::TooWideForMode(6401, 5));
}

aa::TVerticalInput BaseVertical() {
  aa::TVerticalInput in;
  in.ChartHeight = 600;
  in.TopAxisHeight = 34;
  in.ZoomFactor = 1000;
  in.Scale = {100, 2, 0, 100};
  return in;
}

TEST(AxesRanges, LeftAndRightFromTheVerticalScroll) {
  aa::TVerticalInput in = BaseVertical();
  aa::TVerticalRanges r = aa::VerticalRanges(in);
  EXPECT_EQ(r.BottomRow, 566);
  ASSERT_TRUE(r.LeftSet);
  EXPECT_NEAR(static_cast<double>(r.LeftMin), 0, 1e-12);
  EXPECT_NEAR(static_cast<double>(r.LeftMax), 113.2, 1e-9);
  EXPECT_NEAR(static_cast<double>(r.RightMax), 5.66, 1e-9);

  // Scrolled 50 rows down at twice the magnification, time zero at sample 10.
  in.VertPosition = 5000;
  in.ZoomFactor = 500;
  in.Scale.NullShift = 10;
  r = aa::VerticalRanges(in);
  EXPECT_EQ(r.BottomRow, 616);
  EXPECT_NEAR(static_cast<double>(r.LeftMin), 5.0, 1e-9);    // 25 samples
  EXPECT_NEAR(static_cast<double>(r.LeftMax), 61.6, 1e-9);    // 308 samples
  EXPECT_NEAR(static_cast<double>(r.RightMin), 0.15, 1e-9);   // (5 - 2) x 100 / 2000
  EXPECT_NEAR(static_cast<double>(r.RightMax), 2.98, 1e-9);
}

TEST(AxesRanges, AChartNoHigherThanItsTopAxisCountsHundredRows) {
  aa::TVerticalInput in = BaseVertical();
  in.ChartHeight = 34;
  EXPECT_EQ(aa::VerticalRanges(in).BottomRow, 100);
  in.ChartHeight = 20;
  in.VertPosition = 90000;
  const aa::TVerticalRanges r = aa::VerticalRanges(in);
  EXPECT_EQ(r.BottomRow, 100);
  EXPECT_NEAR(static_cast<double>(r.LeftMax), 20, 1e-9);
}

TEST(AxesRanges, BottomAboveTheLeftMinimumSetsOnlyTheRightAxis) {
  aa::TVerticalInput in = BaseVertical();
  in.LeftMinimum = 1000;
  in.LeftMaximum = 1200;
  const aa::TVerticalRanges r = aa::VerticalRanges(in);
  EXPECT_FALSE(r.LeftSet);
  EXPECT_NEAR(static_cast<double>(r.RightMin), 1000 * 0.2 * 100 / 2000.0, 1e-9);
  EXPECT_NEAR(static_cast<double>(r.RightMax), 1200 * 0.2 * 100 / 2000.0, 1e-9);
}

aa::THorizontalInput BaseHorizontal() {
  aa::THorizontalInput in;
  in.ChartWidth = 508;
  in.AxisWidth = 108;
  in.ZoomFactor = 1000;
  in.MinNumTraces = 20;
  in.MaxNumTraces = 1020;
  in.SettingsVersion = 42;
  return in;
}

TEST(AxesRanges, TopAxisInTraces) {
  aa::THorizontalInput in = BaseHorizontal();
  in.HorPosition = 5000;  // 50 columns
  in.ZoomFactor = 2000;   // half size
  aa::TTopRange r = aa::TopRange(in);
  EXPECT_EQ(r.RightColumn, 450);
  EXPECT_NEAR(static_cast<double>(r.Min), 120, 1e-9);   // 50 x 2 + 20
  EXPECT_NEAR(static_cast<double>(r.Max), 920, 1e-9);   // 900 + 20

  in.Flipped = true;
  r = aa::TopRange(in);
  EXPECT_NEAR(static_cast<double>(r.Min), 100 - 1020, 1e-9);
  EXPECT_NEAR(static_cast<double>(r.Max), 900 - 1020, 1e-9);

  // Three columns per trace and a dual-frequency channel at half the master's depth.
  in.Flipped = false;
  in.Proportion = 3;
  in.ZoomToMaster = 0.5L;
  r = aa::TopRange(in);
  EXPECT_NEAR(static_cast<double>(r.Max), 450 * 2000 / 1500.0 + 20, 1e-9);
}

TEST(AxesRanges, WhileRecordingTheTopAxisShowsTheLastTraces) {
  aa::THorizontalInput in = BaseHorizontal();
  in.Recording = true;
  aa::TTopRange r = aa::TopRange(in);  // 400 columns = 400 traces
  EXPECT_NEAR(static_cast<double>(r.Min), 1020 - 400 + 20, 1e-9);
  EXPECT_NEAR(static_cast<double>(r.Max), 1020, 1e-9);
  in.MaxNumTraces = 300;
  r = aa::TopRange(in);
  EXPECT_NEAR(static_cast<double>(r.Min), 20, 1e-9);
  EXPECT_NEAR(static_cast<double>(r.Max), 420, 1e-9);
}

TEST(AxesRanges, TopAxisInDistance) {
  aa::THorizontalInput in = BaseHorizontal();
  in.Distance = true;
  in.MeasureStep = 50;     // mm
  in.DeviceX = 150000;     // 1.5 m
  in.HorPosition = 10000;  // 100 columns
  aa::TTopRange r = aa::TopRange(in);
  EXPECT_NEAR(static_cast<double>(r.Min), 1.5 + 1.0 + 5.0, 1e-9);
  EXPECT_NEAR(static_cast<double>(r.Max), 1.5 + 1.0 + 25.0, 1e-9);

  in.Flipped = true;
  r = aa::TopRange(in);
  EXPECT_NEAR(static_cast<double>(r.Min), 5.0 - 51.0 - 1.5, 1e-9);
  EXPECT_NEAR(static_cast<double>(r.Max), 25.0 - 51.0 - 1.5, 1e-9);

  // Settings older than 7 convert the columns through the sample time.
  in.Flipped = false;
  in.SettingsVersion = 6;
  in.Scale = {100, 2, 0, 100};
  r = aa::TopRange(in);
  EXPECT_NEAR(static_cast<double>(r.Min), 1.5 + 50 * (100 * 0.2) / 1000.0, 1e-9);
  EXPECT_NEAR(static_cast<double>(r.Max), 1.5 + 50 * (500 * 0.2) / 1000.0, 1e-9);
}

TEST(AxesRanges, NarrowChartCountsHundredColumns) {
  aa::THorizontalInput in = BaseHorizontal();
  in.ChartWidth = 100;
  in.HorPosition = 777700;
  EXPECT_EQ(aa::TopRange(in).RightColumn, 100);
}

TEST(AxesRanges, PositionLine) {
  EXPECT_EQ(aa::PositionLineX(50, 0, 100, false), 50);
  EXPECT_EQ(aa::PositionLineX(150, 0, 100, true), 100);
  EXPECT_EQ(aa::PositionLineX(-5, 0, 100, true), 0);
  EXPECT_EQ(aa::PositionLineX(150, 10, 100, false), 0);
}

TEST(AxesScroll, ZoomLargerThanTheChartGivesBothBars) {
  aa::TScrollInput in;
  in.ZoomWidth = 1400;
  in.ZoomHeight = 900;
  in.DrawWidth = 700;
  in.ChartHeight = 600;
  in.VertStripShown = true;
  in.VertPosition = 99999;
  in.HorPosition = 1234;
  const aa::TScrollLayout r = aa::ScrollLayout(in);
  ASSERT_TRUE(r.Vert.Shown);
  EXPECT_EQ(r.Vert.Max, 30000);
  EXPECT_EQ(r.Vert.Position, 30000);
  EXPECT_EQ(r.Vert.LargeChange, 3000);
  EXPECT_EQ(r.Vert.SmallChange, 300);
  ASSERT_TRUE(r.Hor.Shown);
  EXPECT_EQ(r.Hor.Max, 70000);
  EXPECT_EQ(r.Hor.Position, 1234);
  EXPECT_EQ(r.Hor.LargeChange, 7000);
  EXPECT_EQ(r.Hor.SmallChange, 700);
}

TEST(AxesScroll, ZoomSmallerThanTheChartHidesBoth) {
  aa::TScrollInput in;
  in.ZoomWidth = 600;
  in.ZoomHeight = 500;
  in.DrawWidth = 700;
  in.ChartHeight = 600;
  in.VertPosition = 500;
  in.HorPosition = 500;
  const aa::TScrollLayout r = aa::ScrollLayout(in);
  EXPECT_FALSE(r.Vert.Shown);
  EXPECT_FALSE(r.Hor.Shown);
  EXPECT_EQ(r.Vert.Position, 0);
  EXPECT_EQ(r.Hor.Max, 0);
}

TEST(AxesScroll, StripsChangeTheRoomOfTheOtherBar) {
  aa::TScrollInput in;
  in.ZoomWidth = 710;
  in.ZoomHeight = 590;
  in.DrawWidth = 700;
  in.ChartHeight = 600;
  in.HorStripVisible = false;  // the bottom strip comes and takes 18 rows
  aa::TScrollLayout r = aa::ScrollLayout(in);
  EXPECT_EQ(r.Dy, 8);
  EXPECT_TRUE(r.Vert.Shown);
  EXPECT_EQ(r.Dx, 28);  // the right strip comes and takes 18 columns
  // A maximised window: the strip takes 20.
  in.Maximised = true;
  r = aa::ScrollLayout(in);
  EXPECT_EQ(r.Dx, 30);
  // A maximised window loses the strip: its drawing grows by 20.
  in.ZoomHeight = 100;
  in.ZoomWidth = 715;
  in.VertStripShown = true;
  r = aa::ScrollLayout(in);
  EXPECT_FALSE(r.Vert.Shown);
  EXPECT_FALSE(r.Hor.Shown);
  EXPECT_EQ(r.Dx, -5);
}

TEST(AxesScroll, MaximaStayWithin32Bits) {
  EXPECT_EQ(aa::ScrollValue(21474836), 2147483600);
  EXPECT_EQ(aa::ScrollValue(21474837), std::numeric_limits<int>::max());
  EXPECT_EQ(aa::ScrollValue(int64_t{1} << 40), std::numeric_limits<int>::max());
  aa::TScrollInput in;
  in.ZoomWidth = std::numeric_limits<int>::max();
  in.ZoomHeight = 1 << 28;
  const aa::TScrollLayout r = aa::ScrollLayout(in);
  EXPECT_EQ(r.Hor.Max, std::numeric_limits<int>::max());
  EXPECT_EQ(r.Vert.Max, std::numeric_limits<int>::max());
  EXPECT_GE(r.Hor.SmallChange, 0);
}

TEST(AxesScroll, PositionOfTraceJumpsToTheEndWithinFivePixels) {
  EXPECT_EQ(aa::PositionOfTrace(0, 100000, 550, 50, 1000), 50000);
  EXPECT_EQ(aa::PositionOfTrace(0, 100000, 1044, 50, 1000), 99400);
  EXPECT_EQ(aa::PositionOfTrace(0, 100000, 1046, 50, 1000), 100000);  // 99600: within 500
  EXPECT_EQ(aa::PositionOfTrace(0, 100000, 10, 50, 1000), 0);          // before the first trace
  EXPECT_EQ(aa::PositionOfTrace(0, 100000, 10, 50, 0), 0);
  EXPECT_EQ(aa::PositionOfTrace(0, 0, 10, 50, 1000), 0);
}

TEST(AxesFit, WidthAndHeight) {
  EXPECT_EQ(aa::FitWidthFactor(1768, 1, 884), 2000);
  EXPECT_EQ(aa::FitWidthFactor(1768, 1, 0), 1768000);
  EXPECT_EQ(aa::FitWidthFactor(1768, 1, -3), std::nullopt);
  EXPECT_EQ(aa::FitWidthFactor(0, 1, 884), std::nullopt);
  // LongTrace 512 over a room of 600 - 30 + (-8) frame: 512000 / 562.
  EXPECT_EQ(aa::FitHeightFactor(512, 600, -8, 30), 911);
  EXPECT_EQ(aa::FitHeightFactor(512, 30, -8, 30), std::nullopt);
  EXPECT_EQ(aa::FitHeightFactor(512, 10, -8, 2), std::nullopt);
  EXPECT_EQ(aa::ShareOfHeight(601, 3), 401);
  EXPECT_EQ(aa::ShareOfHeight(601, 2), 300);  // 300.5
  EXPECT_EQ(aa::ShareOfHeight(601, 1), 601);
}

}  // namespace axes_arithmetic_test
