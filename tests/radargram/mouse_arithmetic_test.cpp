// The mouse on a radargram chart without the window: cursor trace and sample, the
// hit rules between markers, the read-out texts, the tool-dialog trace, the
// wiggle curve and the hand tool's step.

#include "radargram/mouse_arithmetic.h"

#include "platform/ui/component.h"
#include "profiledata/markers_data.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/setting_data.h"

#include <gtest/gtest.h>

#include <QString>

#include <vector>

namespace mouse_arithmetic_test {

namespace ma = mouse_arithmetic;

class MarkerHit : public ::testing::Test {
protected:
  TComponent owner{nullptr};
  TSettingData* settings = new TSettingData(&owner);
};

TEST_F(MarkerHit, ObjectMarkerReachesFourTracesAndEightSamples) {
  settings->ObjectMarkersArray->Add(0, clRed, QStringLiteral("M0"), 100, 50);
  struct Case {
    int32_t trace, sample;
    bool hit;
  };
  const Case cases[] = {{54, 108, true}, {46, 92, true}, {55, 100, false}, {45, 100, false},
                        {50, 109, false}, {50, 91, false}, {50, 100, true}};
  for (const Case& c : cases) {
    const ma::TMarkerHit hit = ma::MarkerAtCursor(*settings, c.trace, c.sample);
    EXPECT_EQ(hit.kind == ma::hkObject, c.hit) << c.trace << "," << c.sample;
    if (c.hit) {
      EXPECT_EQ(hit.index, 0);
    }
  }
}

TEST_F(MarkerHit, PolylineWinsOverSurfaceWhichWinsOverObjectNearTheTop) {
  settings->ObjectMarkersArray->Add(0, clRed, QStringLiteral("far"), 500, 10);
  settings->ObjectMarkersArray->Add(0, clRed, QStringLiteral("M1"), 25, 50);
  settings->SurfaceMarkersArray->Add(0, 48, QStringLiteral("S0"));
  // Object and surface marker both in reach: the surface marker.
  ma::TMarkerHit hit = ma::MarkerAtCursor(*settings, 50, 18);
  EXPECT_EQ(hit.kind, ma::hkSurface);
  EXPECT_EQ(hit.index, 0);
  // From sample 20 on the surface marker is out of reach.
  hit = ma::MarkerAtCursor(*settings, 50, 20);
  EXPECT_EQ(hit.kind, ma::hkObject);
  EXPECT_EQ(hit.index, 1);
  hit = ma::MarkerAtCursor(*settings, 50, 12);
  EXPECT_EQ(hit.kind, ma::hkSurface);
  // A polyline through the same place wins.
  TPolyLineMarkersData* line = settings->PolyLineMarkersArray->AddPolyLine(clBlue, QStringLiteral("1"));
  line->AddMark(-1, 50, 12);
  line->AddMark(0, 90, 12);
  hit = ma::MarkerAtCursor(*settings, 50, 12);
  EXPECT_EQ(hit.kind, ma::hkPolyLine);
  EXPECT_EQ(hit.index, 0);
  EXPECT_EQ(hit.buttonIndex, pcNode);
  EXPECT_EQ(hit.node, 0);
  hit = ma::MarkerAtCursor(*settings, 70, 12);
  EXPECT_EQ(hit.buttonIndex, pcSegment);
  EXPECT_EQ(hit.node, 0);
}

TEST(CursorTrace, DistanceModeFlipAndTraces) {
  ma::TTracePlacement p;
  EXPECT_EQ(ma::CursorTrace(12.5, p), 12);  // half to even
  EXPECT_EQ(ma::CursorTrace(13.5, p), 14);
  p.flipped = true;
  EXPECT_EQ(ma::CursorTrace(-13.5, p), 14);
  p = {true, 50000, 20.0, false};  // 0.5 m offset, 20 mm per trace
  EXPECT_DOUBLE_EQ(static_cast<double>(ma::CursorPosX(1.5, p)), 50.0);
  EXPECT_EQ(ma::CursorTrace(1.5, p), 50);
  p.flipped = true;
  EXPECT_EQ(ma::CursorTrace(-1.5, p), 50);  // (-1.5 + 0.5) x 50 = -50, negated
  p.measureStep = 0;
  EXPECT_EQ(ma::CursorTrace(-7.0, p), 7);
}

TEST(ToolTrace, MasterDistanceModeUsesTheClickedChannelsShiftAndStep) {
  EXPECT_EQ(ma::ToolTrace(17.5, false, 50000, 20, false), 18);
  EXPECT_EQ(ma::ToolTrace(1.5, true, 50000, 20, false), 50);
  EXPECT_EQ(ma::ToolTrace(-1.5, true, 50000, 20, true), 50);
  EXPECT_EQ(ma::ToolTime(12.3456), 12346);
}

TEST(Readout, TextsWithTwoDecimalsAndBlanksOutside) {
  ma::TReadoutInput in;
  in.inPlot = true;
  in.xValue = 10.4;
  in.yValue = 25;
  in.speedLight = 100;
  in.zeroTime = 5;
  ma::TReadout r = ma::Readout(in);
  EXPECT_EQ(r.time, "25.00");
  EXPECT_EQ(r.depth, "1.00");
  EXPECT_EQ(r.trace, "10");
  EXPECT_EQ(r.distance, "");
  // Traces placed by distance: the distance from the measuring step and the coefficient.
  in.distanceTopo = true;
  in.placement.measureStep = 50;
  in.proportionalCoefic = 2;
  EXPECT_EQ(ma::Readout(in).distance, "0.26");
  // Distance mode: the distance is the axis value, the trace from it.
  in.placement = {true, 0, 50, false};
  in.xValue = 2.0;
  r = ma::Readout(in);
  EXPECT_EQ(r.distance, "2.00");
  EXPECT_EQ(r.trace, "40");
  in.inPlot = false;
  r = ma::Readout(in);
  for (const QString& text : {r.time, r.depth, r.trace, r.distance}) EXPECT_EQ(text, " ");
}

TEST(Wiggle, ZeroTraceIsAStraightLineAtTheTrace) {
  const std::vector<int32_t> zero(16, 0);
  EXPECT_EQ(ma::WiggleAmplitude(zero.data(), 16), 1);
  ma::TWiggleScale s;
  s.spanWidth = 100;
  s.overStep = 2;
  const auto curve = ma::WiggleCurve(zero.data(), 16, 7.0, s);
  ASSERT_EQ(curve.size(), 16u);
  for (size_t e = 0; e < curve.size(); ++e) {
    EXPECT_EQ(curve[e].x, 7.0);
    EXPECT_DOUBLE_EQ(curve[e].y, e * 0.2);
  }
}

TEST(Wiggle, LargestSwingIsSixtyOverTheCoefficient) {
  const std::vector<int32_t> trace{0, 300, -600, 150};
  ma::TWiggleScale s;
  s.proportionalCoefic = 3;
  s.spanWidth = 10;
  auto curve = ma::WiggleCurve(trace.data(), 4, 100.0, s);
  EXPECT_DOUBLE_EQ(curve[2].x, 100.0 - 20.0);
  EXPECT_DOUBLE_EQ(curve[1].x, 100.0 + 10.0);
  // Distance: metres, MeasureStep / (20 x coefficient) at the largest swing.
  s.distance = true;
  s.measureStep = 60;
  s.deviceX = 100000;
  curve = ma::WiggleCurve(trace.data(), 4, 100.0, s);
  EXPECT_NEAR(curve[2].x, 6.0 + 1.0 - 1.0, 1e-12);
  s.flipped = true;
  curve = ma::WiggleCurve(trace.data(), 4, 100.0, s);
  EXPECT_NEAR(curve[0].x, 6.0 - 1.0, 1e-12);
}

TEST(Wiggle, TraceIndexInsideTheRangeOnly) {
  EXPECT_EQ(ma::WiggleTraceIndex(10.7, 10, 20, false), 0);
  EXPECT_EQ(ma::WiggleTraceIndex(19.99, 10, 20, false), 9);
  EXPECT_EQ(ma::WiggleTraceIndex(20, 10, 20, false), -1);
  EXPECT_EQ(ma::WiggleTraceIndex(9.9, 10, 20, false), -1);
  EXPECT_EQ(ma::WiggleTraceIndex(-10, 10, 20, true), 0);
  EXPECT_EQ(ma::WiggleTraceIndex(-19.5, 10, 20, true), 9);
  EXPECT_EQ(ma::WiggleTraceIndex(-20, 10, 20, true), -1);
}

TEST(HandTool, DragMovesTheBarAHundredPerPixelWithinItsRange) {
  EXPECT_EQ(ma::HandScrollPosition(5000, 10, 9000), 4000);
  EXPECT_EQ(ma::HandScrollPosition(500, 10, 9000), 0);
  EXPECT_EQ(ma::HandScrollPosition(8500, -10, 9000), 9000);
}

}  // namespace mouse_arithmetic_test
