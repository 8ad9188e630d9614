// The object detector on real channel stores: the bright points, the output rules
// of every mode, two ellipses that meet (checked on both curves) and two that
// cannot, the amplitude weight, the generator's hyperbola found again, any
// thread count, a long profile, the record and the dialog.

#include "platform/rtl/extended.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "radargram/tool_messages.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tools/imaging/gen_test_tool.h"
#include "tools/imaging/obj_detect_form.h"
#include "tools/imaging/obj_detect_kernel.h"
#include "tools/imaging/obj_detect_tool.h"
#include "tools/tool_icons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

namespace obj_detect_tool_test {

using imaging_test_support::MakeWheelChannel;
using imaging_test_support::TWheelChannel;

// 10 traces x 60 samples: one sample is 60 / 60 x 100 / 2000 = 0.05 m deep, a
// trace 0.2 m; time zero at sample 0.
TWheelChannel Geometry(int64_t traces = 10, int longTrace = 60, int32_t nullShift = 0) {
  TWheelChannel c;
  c.traces = traces;
  c.longTrace = longTrace;
  c.nullShift = nullShift;
  c.speed = 100;
  c.spanWidth = longTrace;
  c.wheelStep = 200;
  return c;
}

// The bright samples as the definition says: strict maxima and minima at k + 1.
std::set<std::pair<int64_t, int>> ReferenceBright(const std::vector<int32_t>& v, int64_t traces, int l) {
  std::set<std::pair<int64_t, int>> bright;
  for (int64_t t = 0; t < traces; ++t)
    for (int k = 0; k <= l - 4; ++k) {
      const int32_t a = v[static_cast<size_t>(t * l + k)], b = v[static_cast<size_t>(t * l + k + 1)],
                    c = v[static_cast<size_t>(t * l + k + 2)];
      if ((a < b && b > c) || (a > b && b < c)) bright.insert({t, k + 1});
    }
  return bright;
}

class ObjDetectToolTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{2};
  TObjDetectTool tool;

  std::vector<int32_t> Run(T2Dview& view, int32_t mode, int32_t visible = 30) {
    tool.SetView_(0, &view);
    tool.PntVisual = mode;
    TObjDetectParam set{true, 0.2L, 150, 290, visible};
    tool.SetParam(0, &set);
    tool.execute(false, 0);
    return Samples(view);
  }
  // Zeros but for the given (trace, sample, value) points.
  static std::vector<int32_t> Points(const TWheelChannel& c, std::initializer_list<std::array<int64_t, 3>> points) {
    std::vector<int32_t> v(static_cast<size_t>(c.traces * c.longTrace), 0);
    for (const auto& p : points) v[static_cast<size_t>(p[0] * c.longTrace + p[1])] = static_cast<int32_t>(p[2]);
    return v;
  }
};

TEST_F(ObjDetectToolTest, ModesZeroAndOne) {
  const TWheelChannel c = Geometry(7, 40);
  const std::vector<int32_t> in = TestTraces(c.traces, c.longTrace);
  auto view = MakeWheelChannel(c, in);
  EXPECT_EQ(Run(*view, 0), in) << "mode 0 with Apply on leaves the data";

  const auto bright = ReferenceBright(in, c.traces, c.longTrace);
  ASSERT_FALSE(bright.empty());
  int32_t nMax = INT32_MIN, nMin = INT32_MAX;
  for (const auto& [t, k] : bright) {
    nMax = std::max(nMax, in[static_cast<size_t>(t * c.longTrace + k)]);
    nMin = std::min(nMin, in[static_cast<size_t>(t * c.longTrace + k)]);
  }
  SetSamples(*view, in);
  const auto out = Run(*view, 1);
  EXPECT_EQ(tool.nMax, nMax);
  EXPECT_EQ(tool.nMin, nMin);
  for (int64_t t = 0; t < c.traces; ++t)
    for (int k = 0; k < c.longTrace; ++k) {
      const size_t i = static_cast<size_t>(t * c.longTrace + k);
      EXPECT_EQ(out[i], bright.count({t, k}) ? nMax : in[i]) << t << ", " << k;
    }
}

TEST_F(ObjDetectToolTest, TheLastThreeSamplesAndFlatTopsAreNoBrightPoints) {
  std::vector<TMaxSample> list;
  // Strict extrema only; the peak at L - 2 is beyond k = L - 4.
  const int32_t trace[] = {0, 5, 5, 0, -3, 0, 2, 0, 9, 0};
  FindBrightPoints(trace, 10, list);
  std::vector<std::pair<int32_t, int32_t>> got;
  for (const TMaxSample& s : list) got.push_back({s.NumSampleMax, s.AmplMax});
  EXPECT_EQ(got, (std::vector<std::pair<int32_t, int32_t>>{{6, 2}, {4, -3}, {7, 0}}));
  FindBrightPoints(trace, 3, list);
  EXPECT_TRUE(list.empty());
}

TEST_F(ObjDetectToolTest, WithoutIntersectionsEverySampleBecomesTwiceTheLargestPoint) {
  // One trace holds every bright point: no later trace to meet.
  const TWheelChannel c = Geometry();
  for (int32_t mode : {2, 3}) {
    auto view = MakeWheelChannel(c, Points(c, {{3, 10, 700}, {3, 20, -400}, {3, 30, 900}}));
    const auto out = Run(*view, mode);
    EXPECT_EQ(tool.nMax, 900);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int32_t v) { return v == 1800; })) << "mode " << mode;
  }
}

TEST_F(ObjDetectToolTest, ABrightPointAboveTimeZeroHasNoTimeFormEllipse) {
  TObjDetectGeometry g{0.2L, 0.05L, 60, 60, 10, 10};
  TObjDetectParams p;
  EXPECT_FALSE(TimeFormEllipse(g, p, 3, 9)) << "one sample before time zero";
  // At time zero a = 0.15 x (0.2 / 0.29) / 2 lies below c = 0.1: no ellipse either.
  EXPECT_FALSE(TimeFormEllipse(g, p, 3, 10));
  const auto deeper = TimeFormEllipse(g, p, 3, 20);
  ASSERT_TRUE(deeper);
  const long double a = 0.15L * (0.2L / 0.29L + 10) / 2;
  EXPECT_NEAR(static_cast<double>(deeper->A2), static_cast<double>(a * a), 1e-15);
  EXPECT_NEAR(static_cast<double>(deeper->B2), static_cast<double>(a * a - 0.01L), 1e-15);
  EXPECT_DOUBLE_EQ(static_cast<double>(deeper->X), 0.6);
  // Without a time axis or an air speed there is none.
  p.WaveSpeedAir = 0;
  EXPECT_FALSE(TimeFormEllipse(g, p, 3, 20));
}

TEST_F(ObjDetectToolTest, TwoDepthFormEllipsesThatMeetCountTheirCell) {
  const TWheelChannel c = Geometry();
  struct TCase {
    bool useAmpl;
    int32_t v1, v2;
  };
  // Minima only: nMax below 1 weighs every pair 1.
  for (const TCase& k :
       {TCase{false, 1000, 600}, TCase{true, 1000, 600}, TCase{true, 50, 1000}, TCase{true, -1000, -600}}) {
    auto view = MakeWheelChannel(c, Points(c, {{2, 25, k.v1}, {4, 20, k.v2}}));
    tool.UseAmpl = k.useAmpl;
    const auto out = Run(*view, 3);
    const int32_t nMax = std::max(k.v1, k.v2);
    ASSERT_EQ(tool.nMax, nMax);

    // The meeting point lies on both ellipses.
    TObjDetectGeometry g{0.2L, 0.05L, 60, 60, 0, 10};
    TObjDetectParams p;
    const auto e1 = DepthFormEllipse(g, p, 2, 25);
    const auto e2 = DepthFormEllipse(g, p, 4, 20);
    ASSERT_TRUE(e1 && e2);
    const auto at = IntersectEllipses(*e1, *e2, 0.2L * 10);
    ASSERT_TRUE(at);
    const auto [x, y] = *at;
    for (const TDetectEllipse& e : {*e1, *e2})
      EXPECT_NEAR(static_cast<double>((x - e.X) * (x - e.X) / e.A2 + y * y / e.B2), 1.0, 1e-12);
    EXPECT_GE(y, 0);
    const int64_t column = Round(x / 0.2L), row = Round(y / 0.05L);
    ASSERT_TRUE(column >= 0 && column < 10 && row >= 0 && row < 60);

    const int64_t w = k.useAmpl && nMax > 0 ? Round((static_cast<long double>(k.v1) + k.v2) * 5 / nMax) : 1;
    const int32_t hit = static_cast<int32_t>((Round(static_cast<long double>(w) * nMax / 100) + nMax) * 2);
    for (int64_t t = 0; t < c.traces; ++t)
      for (int s = 0; s < c.longTrace; ++s)
        EXPECT_EQ(out[static_cast<size_t>(t * c.longTrace + s)], t == column && s == row ? hit : 2 * nMax)
            << t << ", " << s;
  }
}

TEST_F(ObjDetectToolTest, EllipsesOfOneShapeNeverMeet) {
  const TWheelChannel c = Geometry();
  auto view = MakeWheelChannel(c, Points(c, {{2, 20, 1000}, {4, 20, 600}}));
  const auto out = Run(*view, 3);
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int32_t v) { return v == 2000; }));
}

TEST_F(ObjDetectToolTest, TheThresholdDecidesWhichCirclesShow) {
  // One bright point 20 samples deep: the circle's cells by the definition.
  const TWheelChannel c = Geometry(40, 60);
  std::set<std::pair<int64_t, int64_t>> cells;
  for (int m = -50; m <= 50; ++m) {
    const long double y = 20 * 0.05L, off = m * 0.2L;
    if (!(y * y - off * off > 0)) continue;
    const int64_t col = Round((20 * 0.2L + off) / 0.2L), row = Round(std::sqrt(y * y - off * off) / 0.05L);
    if (col >= 0 && col < 40 && row >= 0 && row < 60) cells.insert({col, row});
  }
  ASSERT_GT(cells.size(), 3u);
  struct TCase {
    int32_t visible;
    bool shown;
  };
  for (const TCase& k : {TCase{0, true}, TCase{100, false}}) {
    auto view = MakeWheelChannel(c, Points(c, {{20, 20, 800}}));
    const auto out = Run(*view, 4, k.visible);
    for (int64_t t = 0; t < c.traces; ++t)
      for (int s = 0; s < c.longTrace; ++s) {
        const bool circle = k.shown && cells.count({t, s});
        // Every cell of this circle counts once: round(1 x 800 / 100).
        EXPECT_EQ(out[static_cast<size_t>(t * c.longTrace + s)], circle ? 8 : 0)
            << "threshold " << k.visible << " at " << t << ", " << s;
      }
  }
}

TEST_F(ObjDetectToolTest, TwoChosenEllipsesAreDrawnAndAStepOfZeroPassesTheInput) {
  const TWheelChannel c = Geometry(40, 60);
  auto view = MakeWheelChannel(c, Points(c, {{5, 5, 100}}));
  tool.XElipse = 2.0L;   // trace 10
  tool.YElipse = 0.5L;   // sample 10
  tool.X2Elipse = 6.0L;  // trace 30
  tool.Y2Elipse = 0.5L;
  const auto out = Run(*view, 5);
  // Ellipses of one shape about traces 10 and 30 (a = 0.8 m, 4 traces): the
  // drawings are the same, 20 traces apart; every drawn cell counts 1000.
  int left = 0, right = 0;
  for (int64_t t = 0; t < c.traces; ++t)
    for (int s = 0; s < c.longTrace; ++s) {
      const int32_t v = out[static_cast<size_t>(t * c.longTrace + s)];
      EXPECT_TRUE(v == 200 || v == (1000 + 100) * 2) << v;
      if (v == 200) continue;
      EXPECT_TRUE((t >= 5 && t <= 15) || (t >= 25 && t <= 35)) << t << ", " << s;
      if (t < 20) {
        ++left;
        EXPECT_NE(out[static_cast<size_t>((t + 20) * c.longTrace + s)], 200) << t << ", " << s;
      } else {
        ++right;
      }
    }
  EXPECT_GT(left, 4);
  EXPECT_EQ(left, right);
  EXPECT_EQ(out[static_cast<size_t>(14 * c.longTrace + 0)], 2200) << "the widest row, x + a";

  // A profile without a trace step: the modes that need the grid pass the input.
  TWheelChannel flat = c;
  flat.wheelStep = 0;
  const std::vector<int32_t> in = TestTraces(flat.traces, flat.longTrace);
  for (int32_t mode : {2, 3, 4, 5}) {
    auto v = MakeWheelChannel(flat, in);
    EXPECT_EQ(Run(*v, mode), in) << "mode " << mode;
  }
}

// Band-limited noise: a smoothed random walk.
std::vector<int32_t> Noise(int64_t traces, int l, uint32_t seed) {
  std::vector<int32_t> v(static_cast<size_t>(traces * l));
  uint32_t s = seed;
  for (int64_t t = 0; t < traces; ++t) {
    long double a = 0, b = 0;
    for (int k = 0; k < l; ++k) {
      s = s * 1664525u + 1013904223u;
      a = 0.8L * a + (static_cast<int32_t>(s >> 8) % 2001 - 1000);
      b = 0.7L * b + a;
      v[static_cast<size_t>(t * l + k)] = static_cast<int32_t>(b);
    }
  }
  return v;
}

TEST_F(ObjDetectToolTest, AnyThreadCountGivesTheSameCounts) {
  const TWheelChannel c = Geometry(60, 80, 4);
  const std::vector<int32_t> in = Noise(c.traces, c.longTrace, 7);
  for (int32_t mode : {2, 3}) {
    for (bool ampl : {false, true}) {
      tool.UseAmpl = ampl;
      std::vector<std::vector<int32_t>> outs;
      for (int threads : {1, 2, 8}) {
        PoolThreadsScope pool(threads);
        auto view = MakeWheelChannel(c, in);
        outs.push_back(Run(*view, mode, 10));
      }
      EXPECT_EQ(outs[0], outs[1]);
      EXPECT_EQ(outs[0], outs[2]);
      // Counting on the shared grid (past the workers' budget) gives the same.
      TObjDetectGeometry g{tool.GridStepSectX, tool.GridStepSectY, c.spanWidth, c.longTrace, c.nullShift, c.traces};
      TObjDetectParams p;
      p.PntVisual = mode;
      p.UseAmpl = ampl;
      p.CountVisibleCrossSignal = 10;
      p.WorkerCountersBudget = 0;
      PoolThreadsScope pool(8);
      std::vector<int32_t> shared(in.size());
      DetectObjects(in.data(), shared.data(), g, p);
      EXPECT_EQ(shared, outs[0]);
      EXPECT_NE(std::count(outs[0].begin(), outs[0].end(), 2 * tool.nMax), static_cast<long>(outs[0].size()))
          << "some cells counted (mode " << mode << ")";
    }
  }
}

TEST_F(ObjDetectToolTest, TheGeneratorsHyperbolaFocusesNearItsApex) {
  // A reflector 30 samples deep under trace 30, spacing 0.2 m, drawn by the
  // generator; the detector's strongest depth-form cells lie about it.
  const TWheelChannel c = Geometry(60, 80);
  auto view = MakeWheelChannel(c, std::vector<int32_t>(static_cast<size_t>(c.traces * c.longTrace), 0));
  {
    TGenTestTool gen;
    gen.DistanceRecept = 0.2L;
    gen.SizeParabol1 = 25;
    gen.SizeParabol2 = 0;
    gen.SetView_(0, view.get());
    TGenTestParam set{true, 100, 0, 30, 30, 0, 0, 1000, 0, 0, 0};
    gen.SetParam(0, &set);
    gen.execute(false, 0);
  }
  const auto out = Run(*view, 3, 90);
  ASSERT_GT(tool.nMax, 0);
  std::vector<std::pair<int64_t, int>> strong;
  for (int64_t t = 0; t < c.traces; ++t)
    for (int s = 0; s < c.longTrace; ++s)
      if (out[static_cast<size_t>(t * c.longTrace + s)] > 2 * tool.nMax) strong.push_back({t, s});
  ASSERT_FALSE(strong.empty());
  for (const auto& [t, s] : strong) {
    EXPECT_LE(std::abs(t - 30), 2) << t << ", " << s;
    EXPECT_LE(std::abs(s - 30), 3) << t << ", " << s;
  }
}

TEST_F(ObjDetectToolTest, AProfileOfTwelveThousandTracesRuns) {
  const TWheelChannel c = Geometry(12000, 20);
  auto view = MakeWheelChannel(c, Points(c, {{11990, 8, 500}, {11995, 10, 300}, {3, 5, -70}}));
  const auto out = Run(*view, 1);
  EXPECT_EQ(out[static_cast<size_t>(11990 * 20 + 8)], 500);
  EXPECT_EQ(out[static_cast<size_t>(11995 * 20 + 10)], 500);
  EXPECT_EQ(out[static_cast<size_t>(3 * 20 + 5)], 500);
  SetSamples(*view, Points(c, {{11990, 8, 500}, {11991, 10, 300}}));
  const auto depth = Run(*view, 3);
  EXPECT_EQ(depth.size(), static_cast<size_t>(12000 * 20));
  EXPECT_EQ(std::count(depth.begin(), depth.end(), 1000), static_cast<long>(depth.size()) - 1)
      << "one cell where the two ellipses meet";
}

TEST_F(ObjDetectToolTest, ApplyOffAndTheDefaults) {
  EXPECT_EQ(tool.GetCaption(), "Object Detector");
  EXPECT_EQ(tool.GetToolName(), "ObjDetect");
  EXPECT_EQ(tool.typeOfPlugin, simple);
  for (const TObjDetectParam& p : tool.Param) {
    EXPECT_TRUE(p.Apply);
    EXPECT_EQ(p.DistanceTR, 0.2L);
    EXPECT_EQ(p.WaveSpeed, 150);
    EXPECT_EQ(p.WaveSpeedAir, 290);
    EXPECT_EQ(p.CountVisibleCrossSignal, 30);
  }
  EXPECT_EQ(tool.MultGrid, 1);
  TBitmap icon;
  EXPECT_TRUE(LoadToolIcon(QStringLiteral("OBJDETECT_ICON1"), icon));
  EXPECT_TRUE(LoadToolIcon(QStringLiteral("OBJDETECT_ICON2"), icon));
  const TWheelChannel c = Geometry();
  const std::vector<int32_t> in = TestTraces(c.traces, c.longTrace);
  auto view = MakeWheelChannel(c, in);
  tool.SetView_(0, view.get());
  tool.PntVisual = 1;
  TObjDetectParam off{false, 0.2L, 150, 290, 30};
  tool.SetParam(0, &off);
  tool.execute(false, 0);
  EXPECT_EQ(Samples(*view), in);
}

QByteArray Utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }

QByteArray Body(long double distance, std::initializer_list<int32_t> values) {
  TMemoryStream s;
  WriteExtended(s, distance);
  for (int32_t v : values) s.WriteValue<int32_t>(v);
  return s.Bytes();
}

TEST_F(ObjDetectToolTest, RecordRoundTripAndReaders) {
  tool.DistanceTR = 0.35L;
  tool.WaveSpeed = 120;
  tool.WaveSpeedAir = 280;
  tool.CountVisibleCrossSignal = 45;
  tool.SetCaption("Det");
  TMemoryStream stream;
  tool.SaveToStream(stream);
  QByteArray expected;
  const int32_t end = 4 + 1 + 9 + 1 + 1 + 6 + 1 + 22;
  expected.append(reinterpret_cast<const char*>(&end), 4);
  expected.append("\x09" "ObjDetect\x21\x03", 12).append(Utf16("Det")).append("\x01", 1);
  expected.append(Body(0.35L, {120, 280, 45}));
  EXPECT_EQ(stream.Bytes(), expected);

  // Any format byte; a speed that is not positive keeps the tool's.
  struct TCase {
    uint8_t format;
    int32_t speed, air;
    int32_t wantSpeed, wantAir;
  };
  for (const TCase& k : {TCase{33, 111, 222, 111, 222}, TCase{5, 0, -4, 120, 280}, TCase{200, 90, 0, 90, 280}}) {
    tool.WaveSpeed = 120;
    tool.WaveSpeedAir = 280;
    QByteArray body;
    body.append(static_cast<char>(k.format)).append("\x02", 1).append(Utf16("R2")).append("\x00", 1);
    body.append(Body(1.5L, {k.speed, k.air, 60}));
    TMemoryStream uni(body);
    uni.SetPosition(0);
    tool.ReadFromUniStream(uni, 3);
    EXPECT_EQ(uni.Position(), body.size());
    EXPECT_EQ(tool.GetCaption(), "R2");
    EXPECT_FALSE(tool.Param[3].Apply);
    EXPECT_EQ(tool.Param[3].DistanceTR, 1.5L);
    EXPECT_EQ(tool.Param[3].WaveSpeed, k.wantSpeed) << int(k.format);
    EXPECT_EQ(tool.Param[3].WaveSpeedAir, k.wantAir) << int(k.format);
    EXPECT_EQ(tool.Param[3].CountVisibleCrossSignal, 60);
  }
  EXPECT_TRUE(tool.Param[2].Apply) << "other channels' sets stay";

  QByteArray old("\x03" "Old\x01", 5);
  old.append(Body(0.5L, {100, 250, 10}));
  TMemoryStream older(old);
  older.SetPosition(0);
  tool.ReadFromStream(older, 1);
  EXPECT_EQ(tool.GetCaption(), "Old");
  EXPECT_EQ(tool.Param[1].WaveSpeedAir, 250);
  EXPECT_EQ(tool.Param[1].CountVisibleCrossSignal, 10);
}

const TRecordedMessage kRunAll{WM_TOOLSRUN, 202, 0};

TEST_F(ObjDetectToolTest, TheDialogTakesChannelZerosSpeedWhenAddingAndStoresFinishedEntries) {
  std::vector<std::unique_ptr<T2Dview>> views;
  for (int ch = 0; ch < 5; ++ch) {
    TWheelChannel c = Geometry(6, 16);
    c.speed = ch == 0 ? 120 : 80;
    views.push_back(MakeWheelChannel(c, TestTraces(6, 16)));
    tool.SetView_(ch, views.back().get());
    host.views.push_back(views.back().get());
  }
  ASSERT_EQ(tool.SetPropertyes(true), 1);
  auto* form = dynamic_cast<TObjDetectForm*>(tool.Form());
  ASSERT_NE(form, nullptr);
  Application->ProcessMessages();
  EXPECT_EQ(form->Caption(), "Object Detector");
  EXPECT_EQ(tool.WaveSpeed, 120);
  for (const TObjDetectParam& p : tool.Param) EXPECT_EQ(p.WaveSpeed, 120);
  EXPECT_EQ(form->WaveSpeedDigitEdit->ValueInt(), 120);
  EXPECT_EQ(form->PntComboBox->Items().size(), 6);
  EXPECT_EQ(form->CountVisibleCrossSignalDigitEdit->MaxVal(), 2000);
  host.DrainMessages();

  // An edit stores into the tool and channel 0's set, without a preview.
  form->WaveSpeedAirDigitEdit->SetValueInt(200);
  form->WaveSpeedAirDigitEdit->OnChangeFinish(form->WaveSpeedAirDigitEdit);
  EXPECT_EQ(tool.WaveSpeedAir, 200);
  EXPECT_EQ(tool.Param[0].WaveSpeedAir, 200);
  EXPECT_EQ(tool.Param[1].WaveSpeedAir, 290);
  EXPECT_TRUE(host.DrainMessages().empty());
  // The chosen points are stored only.
  form->YElipseDigitEdit->SetValueReal(1.25L);
  form->YElipseDigitEdit->OnChangeFinish(form->YElipseDigitEdit);
  EXPECT_EQ(tool.YElipse, 1.25L);
  // The mode box runs the Apply handler: every set while adding, and a preview.
  form->PntComboBox->SetItemIndex(3);
  form->PntComboBox->OnChange(form->PntComboBox);
  EXPECT_EQ(tool.PntVisual, 3);
  for (const TObjDetectParam& p : tool.Param) EXPECT_EQ(p.WaveSpeedAir, 200);
  const auto previews = host.DrainMessages();
  EXPECT_EQ(std::count(previews.begin(), previews.end(), kRunAll), 1);
  EXPECT_FALSE(form->OnKeyDown);
  form->CloseDialog();
  Application->ProcessMessages();
}

}  // namespace obj_detect_tool_test
