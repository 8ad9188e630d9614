// The nonlinear amplifier: the curve against the formula written out, on both of
// its ways (the table over 0 .. A and the direct evaluation), the largest sample
// and the slope factor, a break, the records; its dialog's coefficient controls
// and transfer chart.

#include "platform/rtl/streams.h"
#include "platform/ui/chart.h"
#include "platform/ui/track_bar.h"
#include "profiledata/digit_edit.h"
#include "radargram/tool_messages.h"
#include "tests/tools/tool_test_support.h"
#include "tools/compressor.h"
#include "tools/compressor_form.h"
#include "tools/compressor_kernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>

namespace compressor_test {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// nearest((2A / pi) arctan(x k / A)) in extended precision, on the signed sample.
int32_t Formula(int32_t x, long double A, int32_t k) {
  const long double y = 2 * A / std::numbers::pi_v<long double> * std::atan(static_cast<long double>(x) * k / A);
  return static_cast<int32_t>(std::nearbyintl(y));
}

class CompressorTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  TCompressor tool;

  std::vector<int32_t> Run(T2Dview& view, int32_t base, bool first = false) {
    tool.SetView_(0, &view);
    TCompressorParam p{true, base};
    tool.SetParam(0, &p);
    tool.execute(first, 0);
    return Samples(view);
  }
};

TEST_F(CompressorTest, TheCurveScaledToTheLargestSample) {
  auto view = MakeChannel(1, 6);
  SetSamples(*view, {1000, 100, -500, 0, -1000, 1});
  EXPECT_EQ(Run(*view, 200), (std::vector<int32_t>{921, 430, -844, 0, -921, 5}));
}

TEST_F(CompressorTest, SlopeFactorIsBaseDiv25) {
  for (auto [base, k] : std::vector<std::pair<int32_t, int32_t>>{{50, 2}, {74, 2}, {75, 3}, {200, 8}, {1000, 40}, {24, 0}}) {
    SCOPED_TRACE(base);
    tool.Base = base;
    EXPECT_EQ(tool.SlopeFactor(), k);
    auto view = MakeChannel(1, 3);
    SetSamples(*view, {1000, -300, 7});
    EXPECT_EQ(Run(*view, base), (std::vector<int32_t>{Formula(1000, 1000, k), Formula(-300, 1000, k), Formula(7, 1000, k)}));
  }
}

TEST_F(CompressorTest, AnAllZeroChannelStaysZero) {
  auto view = MakeChannel(4, 8);
  SetSamples(*view, std::vector<int32_t>(32, 0));
  EXPECT_EQ(Run(*view, 1000), std::vector<int32_t>(32, 0));
}

// A not larger than the sample count takes the table, a larger one the direct
// way; both must give the formula, sample for sample, on any thread count.
TEST_F(CompressorTest, TableAndDirectEvaluationGiveTheFormula) {
  std::mt19937 random(7);
  struct TCase {
    const char* name;
    int32_t largest;
    int64_t traces;
  };
  for (const TCase& c : {TCase{"table", 3000, 40}, TCase{"direct", 1 << 24, 40}, TCase{"int32 extremes", kMax, 5}}) {
    std::uniform_int_distribution<int32_t> sample(-c.largest, c.largest);
    std::vector<int32_t> x;
    for (int64_t i = 0; i < c.traces * 100; ++i) x.push_back(sample(random));
    x[17] = c.largest;
    if (c.largest == kMax) x[18] = kMin;
    const long double A = c.largest == kMax ? 2147483648.0L : c.largest;
    for (int32_t base : {50, 200, 1000}) {
      std::vector<int32_t> expected;
      for (int32_t v : x) expected.push_back(Formula(v, A, base / 25));
      for (int threadCount : {1, 4}) {
        SCOPED_TRACE(testing::Message() << c.name << ", Base " << base << ", threads " << threadCount);
        PoolThreadsScope pool(threadCount);
        auto view = MakeChannel(c.traces, 100);
        SetSamples(*view, x);
        EXPECT_EQ(Run(*view, base), expected);
      }
    }
  }
}

TEST(CompressorKernel, TableOverZeroToAIsTheDirectEvaluation) {
  for (auto [largest, k] : std::vector<std::pair<uint32_t, int32_t>>{{1, 8}, {1000, 8}, {99991, 40}, {65536, 2}, {5, -3}}) {
    SCOPED_TRACE(testing::Message() << "A " << largest << ", k " << k);
    const TCompressorCurve curve(largest, k);
    std::vector<int32_t> table(largest + 1);
    FillCompressorTable(table.data(), 0, largest + 1, curve);
    std::vector<int32_t> x;
    for (int64_t v = -static_cast<int64_t>(largest); v <= largest; ++v) x.push_back(static_cast<int32_t>(v));
    std::vector<int32_t> direct(x.size()), tabled(x.size());
    CompressDirect(x.data(), direct.data(), static_cast<int64_t>(x.size()), curve);
    CompressByTable(x.data(), tabled.data(), static_cast<int64_t>(x.size()), table.data());
    EXPECT_EQ(direct, tabled);
    for (size_t i = 0; i < x.size(); ++i)
      if (direct[i] != Formula(x[i], largest, k)) {
        ADD_FAILURE() << "x " << x[i];
        break;
      }
  }
}

// Large channels put many values within the double's error of a half, where
// the extended evaluation decides: the result is still the formula's.
TEST(CompressorKernel, LargeAmplitudesNearAHalfFollowTheExtendedValue) {
  std::mt19937 random(11);
  for (auto [largest, k] : std::vector<std::pair<uint32_t, int32_t>>{{2147483648u, 40}, {123456789u, 8}, {2147483648u, -7}}) {
    SCOPED_TRACE(testing::Message() << "A " << largest << ", k " << k);
    const TCompressorCurve curve(largest, k);
    std::uniform_int_distribution<int64_t> sample(-static_cast<int64_t>(largest), static_cast<int64_t>(largest) - 1);
    const long double A = largest;
    const double scale = static_cast<double>(2 * A / std::numbers::pi_v<long double>);
    int nearHalf = 0;
    int wrong = 0;
    for (int i = 0; i < 200000; ++i) {
      const auto x = static_cast<int32_t>(sample(random));
      const double yd = scale * std::atan(std::fabs(static_cast<double>(x)) * k / static_cast<double>(A));
      nearHalf += std::fabs(yd - std::floor(yd) - 0.5) < 1e-13 * (std::fabs(yd) + 1);
      wrong += curve(x) != Formula(x, A, k);
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(nearHalf, 0) << "the extended way was taken";
  }
}

TEST(CompressorKernel, TheDialogsCurveDoesNotDependOnTheData) {
  const std::vector<TCurvePoint> points = CompressorCurvePoints(200);
  ASSERT_EQ(points.size(), 128u);
  EXPECT_EQ(points.front().X, 0);
  EXPECT_EQ(points.front().Y, 0);
  EXPECT_EQ(points.back().X, 129921);
  EXPECT_NEAR(points.back().Y, 131071, 1e-6);
  const long double a = 200.0L / 4194303;
  EXPECT_NEAR(points[10].Y, static_cast<double>(131071 / std::atan(a * 129921) * std::atan(a * 10230)), 1e-6);
  EXPECT_GT(points[10].Y, points[10].X) << "weak inputs are amplified";
  // Base 0 would divide by arctan 0: the limit, a straight line.
  const std::vector<TCurvePoint> line = CompressorCurvePoints(0);
  EXPECT_NEAR(line[64].Y, 131071.0 * 64 * 1023 / 129921, 1e-6);
  EXPECT_NEAR(line.back().Y, 131071, 1e-6);
}

TEST_F(CompressorTest, ABreakFlagLeavesTheInput) {
  auto view = MakeChannel(20, 10);
  const std::vector<int32_t> x = TestTraces(20, 10);
  SetSamples(*view, x);
  host.br = true;
  EXPECT_EQ(Run(*view, 200), x);
  host.br = false;
  EXPECT_NE(Run(*view, 200), x);
  host.br = true;
  EXPECT_EQ(Run(*view, 500, true), x) << "the restart leaves its saved input";
  EXPECT_EQ(host.yields, 0);
}

TEST_F(CompressorTest, DefaultsAndRecords) {
  EXPECT_EQ(tool.GetCaption(), "Nonlinear Amplifier");
  EXPECT_EQ(tool.AToolName, "Compressor");
  EXPECT_EQ(tool.typeOfPlugin, simple);
  for (const TCompressorParam& p : tool.Param) EXPECT_EQ(p.Base, 200);

  tool.Base = 350;
  TMemoryStream stream;
  tool.SaveToStream(stream);
  QByteArray expected;
  const int32_t end = 4 + 11 + 1 + 1 + 38 + 1 + 4;
  expected.append(reinterpret_cast<const char*>(&end), 4);
  expected.append("\x0a" "Compressor\x20\x13", 13);
  const QString caption = QStringLiteral("Nonlinear Amplifier");
  expected.append(reinterpret_cast<const char*>(caption.utf16()), caption.size() * 2);
  const int32_t base = 350;
  expected.append("\x01", 1).append(reinterpret_cast<const char*>(&base), 4);
  EXPECT_EQ(stream.Bytes(), expected);

  TCompressor other;
  stream.SetPosition(4);
  TCommonTool::ReadShortString(stream);
  other.ReadFromUniStream(stream, 2);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(other.Param[2].Base, 350);

  // Format 31 or lower: the working values are kept.
  other.Base = 90;
  TMemoryStream f31(QByteArray("\x1f\x55\x55\x55\x55", 5));
  f31.SetPosition(0);
  other.ReadFromUniStream(f31, 1);
  EXPECT_EQ(other.Param[1].Base, 90);
  EXPECT_EQ(other.GetCaption(), "Nonlinear Amplifier");

  // The older kind: 8-bit caption, Apply, Base.
  TMemoryStream old(QByteArray("\x02" "NA\x00\x2c\x01\x00\x00", 8));
  old.SetPosition(0);
  other.ReadFromStream(old, 4);
  EXPECT_EQ(other.Param[4].Base, 300);
  EXPECT_FALSE(other.Param[4].Apply);
  EXPECT_EQ(other.GetCaption(), "NA");
}

// ---- The dialog ----------------------------------------------------------------

class CompressorFormTest : public CompressorTest {
protected:
  std::vector<std::unique_ptr<T2Dview>> views;

  void SetUp() override {
    for (int c = 0; c < 5; ++c) {
      views.push_back(MakeChannel(3, 8));
      SetSamples(*views.back(), TestTraces(3, 8));
      tool.SetView_(c, views.back().get());
    }
  }
  void TearDown() override { Application->ProcessMessages(); }
};

TEST_F(CompressorFormTest, CoefficientControlsAndTheTransferChart) {
  tool.SetCurrentNumberView(0);
  tool.SetPropertyes(true);
  Application->ProcessMessages();
  host.messages.clear();
  auto& form = *dynamic_cast<TCompressorForm*>(tool.Form());
  EXPECT_EQ(form.BaseTrackBar->Min(), 50);
  EXPECT_EQ(form.BaseTrackBar->Max(), 1000);
  EXPECT_EQ(form.BaseTrackBar->PageSize(), 50);
  EXPECT_EQ(form.BaseTrackBar->Frequency(), 50);
  EXPECT_EQ(form.BaseTrackBar->Position(), 200);
  EXPECT_EQ(form.BaseDigitEdit->ValueInt(), 200);
  EXPECT_EQ(form.Chart1->BottomAxis()->Title(), "Input");
  EXPECT_EQ(form.Chart1->LeftAxis()->Title(), "Output");
  for (TChartAxis* axis : {form.Chart1->BottomAxis(), form.Chart1->LeftAxis()}) {
    EXPECT_FALSE(axis->Automatic());
    EXPECT_FALSE(axis->Labels());
    EXPECT_EQ(axis->Minimum(), 0);
    EXPECT_EQ(axis->Maximum(), 131071);
  }
  EXPECT_EQ(form.Series1->LinePen()->Width(), 2);
  EXPECT_EQ(form.Series1->SeriesColor(), 0xA36644);
  ASSERT_EQ(form.Series1->Count(), 128);
  const double y200 = form.Series1->YValue(10);

  // The track bar sets Base in every set while adding, redraws the curve and
  // previews.
  form.BaseTrackBar->SetPosition(800);
  EXPECT_EQ(form.BaseDigitEdit->ValueInt(), 800);
  for (const TCompressorParam& p : tool.Param) EXPECT_EQ(p.Base, 800);
  ASSERT_EQ(form.Series1->Count(), 128);
  EXPECT_GT(form.Series1->YValue(10), y200) << "a steeper curve";
  EXPECT_NEAR(form.Series1->YValue(127), 131071, 1e-6);
  Application->ProcessMessages();
  EXPECT_EQ(host.messages, (std::vector<TRecordedMessage>{{WM_TOOLSRUN, 202, 0}}));
  form.CloseDialog();
}

}  // namespace compressor_test
