// The topographic correction without the window: the antenna path, the tilt of
// a record, the calibration rules, the corrected image (the pruned build against
// the full loop) and the relief line.

#include "radargram/topo_correction.h"

#include "profiledata/inclinometer_table.h"
#include "profiledata/setting_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <vector>

namespace topo_correction_test {

namespace tc = topo_correction;

// A synthetic tilted profile: its path, margins and the image input over it.
struct TProfile {
  int64_t traces = 0;
  int32_t samples = 0;
  std::vector<int32_t> data;
  std::vector<double> tilt, DX, DY;
  tc::TTopoExtents ext;
  tc::TTopoImageInput in;
};

// Tilts follow a slow wave of the given amplitude (0: flat); every trace holds
// a few reflectors and some texture.
TProfile MakeProfile(int64_t traces, int32_t samples, double tiltAmplitude, int32_t nullShift = 4) {
  TProfile p;
  p.traces = traces;
  p.samples = samples;
  p.data.resize(static_cast<size_t>(traces * samples));
  for (int64_t i = 0; i < traces; ++i)
    for (int32_t s = 0; s < samples; ++s) {
      const double a = std::sin(s * 0.37 + i * 0.05) * 900 + ((s * 7 + i * 13) % 17 - 8) * 40;
      const double reflector = (s % 40 == 20) ? 20000 : 0;
      p.data[static_cast<size_t>(i * samples + s)] = static_cast<int32_t>(a + reflector);
    }
  p.tilt.resize(static_cast<size_t>(traces));
  for (int64_t i = 0; i < traces; ++i) p.tilt[static_cast<size_t>(i)] = tiltAmplitude * std::sin(i * 0.021);
  tc::TPathInput path;
  path.NumTraces = traces;
  path.NumIncl = traces;
  // 50 mm per sample in depth and along the track: one pixel is square.
  path.StepDistance = 50;
  path.SpeedLight = 100;
  path.SpanWidth = samples;
  path.LongTrace = samples;
  // Trace step over sample depth, as the channel's proportional coefficient.
  path.Proportion = path.StepDistance / (path.SpeedLight * path.SpanWidth / (2.0 * samples));
  const auto sine = [&](int64_t t) -> long double {
    return t < traces ? p.tilt[static_cast<size_t>(t)] : 0.0;
  };
  tc::BuildAntennaPath(path, sine, p.ext, p.DX, p.DY);
  p.in.Height = samples + p.ext.IdentYtopPx + p.ext.IdentYBottomPx;
  p.in.Width = static_cast<int32_t>(traces) + p.ext.IdentXLeftPx + p.ext.IdentXrightPx;
  p.in.NumTraces = traces;
  p.in.LongTrace = samples;
  p.in.NullShift = nullShift;
  p.in.SpeedLight = path.SpeedLight;
  p.in.SpanWidth = path.SpanWidth;
  p.in.StepDistance = path.StepDistance;
  p.in.IdentXLeftM = p.ext.IdentXLeftM;
  p.in.IdentYtopM = p.ext.IdentYtopM;
  p.in.DX = p.DX.data();
  p.in.DY = p.DY.data();
  p.in.Tilt = p.tilt.data();
  p.in.Samples = p.data.data();
  return p;
}

TEST(TopoPath, AFlatProfileStepsStraightAndPutsColumnQUnderTraceQ) {
  TProfile p = MakeProfile(9, 64, 0.0);
  ASSERT_EQ(p.DX.size(), 10u);  // max(NumTraces, NumIncl + 1)
  for (size_t t = 0; t < p.DX.size(); ++t) {
    EXPECT_EQ(p.DY[t], 0.0);
    EXPECT_DOUBLE_EQ(p.DX[t], (t + 1) * 50.0);
  }
  EXPECT_EQ(p.ext.IdentYtopPx, 0);
  EXPECT_EQ(p.ext.IdentYBottomPx, 0);
  EXPECT_EQ(p.in.Width, 9);
  EXPECT_EQ(p.in.Height, 64);

  // Only trace 4 holds a signal. The cells it reaches lie within 60 degrees of
  // the vertical under column 4, the others average zeros only: index 127.
  std::fill(p.data.begin(), p.data.end(), 0);
  for (int32_t s = 0; s < 64; ++s) p.data[static_cast<size_t>(4 * 64 + s)] = 1000;
  std::vector<uint8_t> image;
  ASSERT_EQ(tc::BuildTopoImage(p.in, image, {}, 2), tc::tbDone);
  EXPECT_GT(image[4], 127);  // the antenna's own cell
  for (int r = 1; r < 4; ++r)
    for (int q = 0; q < 9; ++q) {
      const bool reached = std::abs(q - 4) < r * std::sqrt(3.0);
      EXPECT_EQ(image[static_cast<size_t>(r * 9 + q)] > 127, reached) << r << ' ' << q;
      EXPECT_EQ(image[static_cast<size_t>(r * 9 + q)], image[static_cast<size_t>(r * 9 + 8 - q)]) << r << ' ' << q;
    }
}

TEST(TopoPath, ArraysFollowTheLargerOfTracesAndRecordsAndAreWrittenOnlyThatFar) {
  tc::TPathInput path{.NumTraces = 20, .NumIncl = 5, .StepDistance = 10, .SpeedLight = 100, .SpanWidth = 50,
                      .LongTrace = 100, .Proportion = 1};
  std::vector<double> DX(3, 7.0), DY(3, 7.0);
  tc::TTopoExtents ext;
  int64_t calls = 0;
  tc::BuildAntennaPath(path, [&](int64_t) -> long double { ++calls; return 0.5L; }, ext, DX, DY);
  EXPECT_EQ(DX.size(), 20u);
  EXPECT_EQ(calls, 6);
  EXPECT_DOUBLE_EQ(DY[5], 30.0);
  EXPECT_EQ(DX[6], 0.0);
  EXPECT_DOUBLE_EQ(ext.IdentYtopM, 30.0);
  EXPECT_EQ(ext.IdentYBottomM, 0.0);
  // A profile going down: the bottom margin grows, the top stays 0.
  path.NumIncl = 40;
  tc::BuildAntennaPath(path, [](int64_t) -> long double { return -0.5L; }, ext, DX, DY);
  EXPECT_EQ(DX.size(), 41u);
  EXPECT_EQ(ext.IdentYtopPx, 0);
  EXPECT_EQ(ext.IdentYBottomPx, static_cast<int32_t>(std::ceil(205.0 / 25.0)));
}

TEST(TopoTilt, ReadingsMapOntoTheCalibrationRange) {
  struct TCase {
    int16_t reading;
    double max, min;
    bool negated;
    double tilt;
  };
  const TCase cases[] = {
      {1000, 1500, 500, false, 0.0},   // the middle of the range
      {1250, 1500, 500, false, 0.5},
      {3000, 1500, 500, false, 1.0},   // beyond the limits: +-90 degrees
      {100, 1500, 500, false, -1.0},
      {1000, 700, 700, false, 0.0},    // no range: no tilt
      {-1, 70000, 60000, false, 0.107},  // the reading is unsigned: 65535
      {1000, -500, -1500, true, 0.0},  // negated reading -1000 at the middle
  };
  for (const TCase& c : cases) {
    TInclRecord record;
    record.Values[1] = c.reading;
    EXPECT_NEAR(tc::TiltOfRecord(&record, c.max, c.min, c.negated), c.tilt, 1e-12) << c.reading;
  }
  EXPECT_EQ(tc::TiltOfRecord(nullptr, 1500, 500, false), 0.0);
  EXPECT_TRUE(tc::TiltNegated(Unit09) && tc::TiltNegated(Unit15) && tc::TiltNegated(Unit17) && tc::TiltNegated(Unit19));
  EXPECT_FALSE(tc::TiltNegated(Unit10));
}

TEST(TopoCalibration, TheButtonAndThePathHaveTheirOwnThresholds) {
  TSettingData s(nullptr);
  s.SetTopoType(ttWheel);
  s.SetWheelStep(10);
  s.SetWheelMult(1);
  s.Topocorrection = true;
  struct TCase {
    uint8_t version;
    double quality;
    bool accepted, path;
  };
  const TCase cases[] = {{42, 1.0, true, true}, {42, 1.15, true, false}, {42, 0.75, false, false},
                         {17, 0.5, true, false}, {18, 0.5, false, false}, {17, 0.95, true, true}};
  for (const TCase& c : cases) {
    s.SetVersion(c.version);
    s.CalibrationQuality = c.quality;
    EXPECT_EQ(tc::CalibrationAccepted(s), c.accepted) << int(c.version) << ' ' << c.quality;
    EXPECT_EQ(tc::PathApplies(s), c.path) << int(c.version) << ' ' << c.quality;
  }
  s.CalibrationQuality = 1;
  s.SetTopoType(ttNil);
  EXPECT_FALSE(tc::PathApplies(s));
}

TEST(TopoImage, ACellNoTraceReachesStaysAtTheMiddleIndex) {
  TProfile p = MakeProfile(12, 48, 0.0);
  // Room to the right that no beam reaches near the top.
  p.in.Width += 30;
  std::vector<uint8_t> image;
  ASSERT_EQ(tc::BuildTopoImage(p.in, image, {}, 1), tc::tbDone);
  EXPECT_EQ(image[static_cast<size_t>(2 * p.in.Width + p.in.Width - 1)], 127);
  // Under the profile the reflector rows differ from the middle index.
  EXPECT_NE(image[static_cast<size_t>((20 + 4) * p.in.Width + 6)], 127);
}

TEST(TopoImage, TheBeamStopsAtSixtyDegreesAndFollowsTheTilt) {
  // One trace, all samples 100000, no zero shift: a cell is reached exactly when
  // it lies within 60 degrees of the (tilted) beam axis.
  TProfile p = MakeProfile(1, 64, 0.0, 0);
  std::fill(p.data.begin(), p.data.end(), 100000);
  p.in.Width = 41;
  p.in.IdentXLeftM = 20 * 50.0 - p.DX[0];  // the antenna above column 20
  for (double tilt : {0.0, 0.5, -0.7}) {
    p.tilt[0] = tilt;
    std::vector<uint8_t> image;
    ASSERT_EQ(tc::BuildTopoImage(p.in, image, {}, 1), tc::tbDone);
    const double axis = std::numbers::pi / 2 - std::asin(tilt);
    const double ds = 50;
    for (int r = 1; r < 40; ++r)
      for (int q = 0; q < 41; ++q) {
        const double L = 50.0 * (q - 20), E = ds * r;
        const double angle = std::fabs(std::atan2(E, L) - axis);
        if (std::fabs(angle - std::numbers::pi / 3) < 0.02) continue;  // too close to the edge to tell
        const bool inside = angle < std::numbers::pi / 3 && std::hypot(L, E) / ds < 64;
        EXPECT_EQ(image[static_cast<size_t>(r * 41 + q)] != 127, inside) << tilt << ' ' << r << ' ' << q;
      }
  }
}

TEST(TopoImage, ThePrunedBuildEqualsTheFullLoopForAnyThreadCount) {
  TProfile p = MakeProfile(600, 256, 0.8);
  ASSERT_GT(p.ext.IdentYtopPx + p.ext.IdentYBottomPx, 0);
  std::vector<uint8_t> reference;
  ASSERT_EQ(tc::BuildTopoImageReference(p.in, reference, {}), tc::tbDone);
  for (int threads : {1, 3, 8}) {
    std::vector<uint8_t> pruned;
    ASSERT_EQ(tc::BuildTopoImage(p.in, pruned, {}, threads), tc::tbDone);
    ASSERT_EQ(pruned.size(), reference.size());
    size_t differing = 0;
    for (size_t k = 0; k < pruned.size(); ++k) differing += pruned[k] != reference[k];
    EXPECT_EQ(differing, 0u) << threads;
  }
}

TEST(TopoImage, CancelStopsTheBuild) {
  TProfile p = MakeProfile(40, 64, 0.3);
  int calls = 0;
  std::vector<uint8_t> image;
  EXPECT_EQ(tc::BuildTopoImage(p.in, image, [&](int32_t, int32_t) { return ++calls < 2; }, 2), tc::tbCancelled);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(tc::BuildTopoImageReference(p.in, image, [](int32_t r, int32_t) { return r < 3; }), tc::tbCancelled);
}

TEST(TopoRelief, TheLineFollowsThePathAndRunsBackwardsWhenFlipped) {
  const std::vector<double> DX{40, 80, 120}, DY{0, 10, -20};
  tc::TReliefInput in{.NumTraces = 3, .MinNumTraces = 2, .StepDistance = 40, .StartDeviceXShift = 50000,
                      .SpeedLight = 100, .IdentYtopM = 10, .Flipped = false};
  std::vector<tc::TReliefPoint> line = tc::ReliefLine(in, DX, DY);
  ASSERT_EQ(line.size(), 3u);
  EXPECT_DOUBLE_EQ(line[1].X, 0.08 + 0.08 + 0.5);
  EXPECT_DOUBLE_EQ(line[1].Y, 0.0);
  EXPECT_DOUBLE_EQ(line[2].Y, 0.6);
  in.Flipped = true;
  line = tc::ReliefLine(in, DX, DY);
  EXPECT_DOUBLE_EQ(line[0].X, -0.08 + 0.0 - 0.5);
  EXPECT_DOUBLE_EQ(line[2].X, -0.08 - 0.08 - 0.5);
  EXPECT_DOUBLE_EQ(line[0].Y, 0.2);
}

// 50 mm steps, 10 mm per sample (100 m/us over 100 ns in 500 samples): one
// sample down a beam tilted by sine 0.5 moves 0.1 of a column along and
// 0.866 of a row down. The path is level but for trace 7, 30 mm below the
// start; the highest point is 20 mm above it.
TEST(TopoMarks, AMarkSitsWhereTheCorrectedImageShowsItsTraceAndSample) {
  std::vector<double> DX, DY(20, 0.0);
  for (int t = 0; t < 20; ++t) DX.push_back((t + 1) * 50.0);
  DY[7] = -30;
  struct Case {
    const char* what;
    int64_t index;
    int32_t sample;
    long double sine;
    bool turn;
    bool flipped;
    double leftM;
    int32_t nullShift;
    tc::TTopoMarkPlace place;
  };
  const Case cases[] = {
      {"level trace, 5 rows below the top", 7, 40, 0, true, false, -50, 0, {7, 5 + 40}},
      {"the beam reaches 100 mm left of the start", 7, 40, 0, true, false, 100, 0, {10, 45}},
      {"down a tilted beam", 7, 40, 0.5L, true, false, -50, 0, {7 + 4, 5 + 35}},
      {"mirrored in a 50-column image", 7, 40, 0.5L, true, true, -50, 0, {50 - 11, 40}},
      {"a surface mark is not turned", 7, 40, 0.5L, false, false, -50, 0, {7, 5}},
      {"a trace past the path takes its end", 99, 40, 0, true, false, -50, 0, {19, 2 + 40}},
      {"depth counts from the time zero", 3, 40, 0, true, false, -50, 10, {3, 2 + 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    tc::TTopoMarkInput in{.DX = &DX, .DY = &DY, .NumTraces = 20, .IdentXLeftM = c.leftM, .IdentYtopM = 20,
                          .StepDistance = 50, .SpeedLight = 100, .SpanWidth = 100, .LongTrace = 500,
                          .NullShift = c.nullShift, .Width = 50, .Flipped = c.flipped};
    const std::optional<tc::TTopoMarkPlace> place = tc::TopoMarkPlace(in, c.index, c.sample, c.sine, c.turn);
    ASSERT_TRUE(place.has_value());
    EXPECT_EQ(place->Column, c.place.Column);
    EXPECT_EQ(place->Row, c.place.Row);
  }
  const std::vector<double> none;
  tc::TTopoMarkInput empty{.DX = &none, .DY = &none, .NumTraces = 20, .StepDistance = 50, .SpeedLight = 100,
                           .SpanWidth = 100, .LongTrace = 500};
  EXPECT_FALSE(tc::TopoMarkPlace(empty, 3, 40, 0, true).has_value());
}

TEST(TopoZero, TheTracePositionBecomesTheOrigin) {
  EXPECT_EQ(tc::TopoZeroDeviceX(50, 200), -1000000);
  EXPECT_EQ(tc::TopoZeroDeviceX(0, 200), 0);
  EXPECT_EQ(tc::TopoZeroDeviceX(1e6, 1000000), -2147483647 - 1);
}

}  // namespace topo_correction_test
