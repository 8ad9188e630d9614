// The normalisation: small channels worked out by hand, the peaks shortcut
// against the window maximum written out over every sample, the window maxima's
// double screening and the vector scaling against the extended formula, the
// window setter,
// a break, the chain records with the percentage form, and the dialog's Apply
// box that changes its own channel only.

#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/buttons.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/digit_edit.h"
#include "radargram/tool_messages.h"
#include "tests/tools/tool_test_support.h"
#include "tools/normalization_form.h"
#include "tools/normalization_kernel.h"
#include "tools/normalization_tool.h"
#include "tools/tool_protocol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace normalization_tool_test {

// The rule as written: M(t) from every sample of the window, weighted.
std::vector<int32_t> Reference(const std::vector<int32_t>& x, int64_t N, int L, int W) {
  int64_t G = 1;
  for (int32_t v : x) G = std::max<int64_t>(G, std::abs(int64_t{v}));
  const int64_t Wn = std::min<int64_t>(W, N);
  const long double sigma = (Wn + 1) / 3.0L;
  std::vector<int32_t> y(x.size());
  for (int64_t t = 0; t < N; ++t) {
    int64_t M = 1;
    for (int64_t i = std::max<int64_t>(0, t - Wn); i <= std::min(N - 1, t + Wn); ++i) {
      const long double w = std::exp(-static_cast<long double>((i - t) * (i - t)) / (2 * sigma * sigma));
      for (int j = 0; j < L; ++j)
        M = std::max(M, std::abs(Round(x[static_cast<size_t>(i * L + j)] * w)));
    }
    for (int j = 0; j < L; ++j)
      y[static_cast<size_t>(t * L + j)] =
          RoundToInt32(G * (static_cast<long double>(x[static_cast<size_t>(t * L + j)]) / M));
  }
  return y;
}

class NormalizationToolTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  TNormalizationTrace tool;

  std::vector<int32_t> RunOn(const std::vector<int32_t>& x, int64_t N, int L, int W) {
    auto view = MakeChannel(N, L);
    SetSamples(*view, x);
    tool.SetView_(0, view.get());
    const TNormalizationParam set{true, W};
    tool.SetParam(0, &set);
    tool.execute(false, 0);
    return Samples(*view);
  }
};

TEST_F(NormalizationToolTest, HandWorkedChannels) {
  struct TCase {
    const char* what;
    std::vector<int32_t> x;
    int64_t N;
    int L, W;
    std::vector<int32_t> expected;
  };
  const TCase cases[] = {
      // w(1) = exp(-9 / 8): M(1) = nearest(100 w(1)) = 32; 62.5 rounds to 62.
      {"W = 1", {100, -50, 10, 20}, 2, 2, 1, {100, -50, 31, 62}},
      {"W = 0: every peak becomes G, a zero trace stays", {7, -2, 0, 0, 1, -40}, 3, 2, 0, {40, -11, 0, 0, 1, -40}},
      {"all zero", {0, 0, 0, 0}, 2, 2, 5, {0, 0, 0, 0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RunOn(c.x, c.N, c.L, c.W), c.expected);
    EXPECT_EQ(Reference(c.x, c.N, c.L, c.W), c.expected) << "the reference agrees";
  }
}

TEST_F(NormalizationToolTest, PeaksGiveTheWindowMaximumOfEverySample) {
  const int64_t N = 61;
  const int L = 17;
  std::vector<int32_t> x = TestTraces(N, L);
  // Quiet traces beside loud ones, and both extremes.
  for (int64_t t = 20; t < 30; ++t)
    for (int j = 0; j < L; ++j) x[static_cast<size_t>(t * L + j)] /= 1000;
  for (int W : {0, 1, 2, 5, 60, 300}) {
    const std::vector<int32_t> expected = Reference(x, N, L, W);
    for (int count : {1, 4}) {
      SCOPED_TRACE(testing::Message() << "W " << W << " threads " << count);
      PoolThreadsScope pool(count);
      const std::vector<int32_t> y = RunOn(x, N, L, W);
      ASSERT_EQ(y, expected);
      int64_t G = 0;
      for (int32_t v : x) G = std::max<int64_t>(G, std::abs(int64_t{v}));
      for (int32_t v : y) ASSERT_LE(std::abs(int64_t{v}), G) << "no output beyond G";
    }
  }
}

// Every (G, M) of the table against every sample of a trace built to land on and
// beside halves and at the 32-bit limits: each vector form the processor has gives
// the extended formula's output, in place too.
TEST(NormalizationKernelTest, VectorScalingIsTheExtendedFormula) {
  using TScale = void (*)(const int32_t*, int32_t*, int, int64_t, int64_t);
  std::vector<std::pair<const char*, TScale>> kernels{{"SSE2", ScaleTraceSse2}};
  if (NormalizationKernelHasAvx2()) kernels.emplace_back("AVX2", ScaleTraceAvx2);
  constexpr int32_t Lo = std::numeric_limits<int32_t>::min(), Hi = std::numeric_limits<int32_t>::max();
  const std::pair<int64_t, int64_t> ratios[] = {
      {3, 2},                              // odd x: exact halves
      {5, 4},                              // quarters and halves
      {int64_t{1} << 31, Hi},              // G = 2^31 over the largest positive: saturates at +2^31
      {int64_t{1} << 31, int64_t{1} << 31},
      {Hi, 1},                             // far beyond 32 bits for every x but 0
      {1, 1},
      {1000003, 999983},
      {2147480000, 3},
      {7, 6},
  };
  std::mt19937 random(7);
  for (const auto& [G, M] : ratios) {
    std::vector<int32_t> x{0, 1, -1, 2, -2, 3, -3, Lo, Hi, Lo + 1, Hi - 1};
    // Inputs whose exact quotient is next to k + 1/2, on both sides of 0.
    for (int k = 0; k < 40; ++k) {
      const long double half = (std::uniform_int_distribution<int64_t>(0, 1 << 30)(random) + 0.5L) *
                               static_cast<long double>(M) / static_cast<long double>(G);
      for (int64_t d = -1; d <= 1; ++d) {
        const long double v = std::floor(half) + d;
        if (v > Hi) continue;
        x.push_back(static_cast<int32_t>(v));
        x.push_back(static_cast<int32_t>(-v));
      }
    }
    x.push_back(5);  // a length past the groups of four
    std::vector<int32_t> expected(x.size());
    ScaleTraceExtended(x.data(), expected.data(), static_cast<int>(x.size()), G, M);
    for (size_t j = 0; j < x.size(); ++j) {
      const long double r = __builtin_rintl(static_cast<long double>(G) * (static_cast<long double>(x[j]) / M));
      const int32_t saturated = r >= Hi ? Hi : r <= Lo ? Lo : static_cast<int32_t>(r);
      ASSERT_EQ(expected[j], saturated) << "the reference is the formula";
    }
    for (const auto& [name, scale] : kernels) {
      SCOPED_TRACE(testing::Message() << name << " G " << G << " M " << M);
      std::vector<int32_t> y(x.size());
      scale(x.data(), y.data(), static_cast<int>(x.size()), G, M);
      EXPECT_EQ(y, expected);
      std::vector<int32_t> inPlace = x;
      scale(inPlace.data(), inPlace.data(), static_cast<int>(inPlace.size()), G, M);
      EXPECT_EQ(inPlace, expected);
    }
  }
}

// The window maxima screened by double products against every extended product of
// the window: equal peaks, neighbours that differ by one, the extremes.
TEST(NormalizationKernelTest, WindowMaximaAreTheLargestExtendedProduct) {
  const int64_t top = int64_t{1} << 31;
  std::vector<std::vector<int64_t>> channels{
      {0, 0, 0, 0},
      std::vector<int64_t>(50, top),
      {top, top - 1, top, 1, 0, top - 1, 2, top},
  };
  std::vector<int64_t> steps;
  for (int64_t i = 0; i < 200; ++i) steps.push_back(1000000 + (i % 7 == 0 ? 1 : 0) + i / 13);
  channels.push_back(steps);
  std::mt19937 random(11);
  std::vector<int64_t> mixed;
  for (int i = 0; i < 400; ++i) mixed.push_back(std::uniform_int_distribution<int64_t>(0, top)(random) >> (i % 5 * 7));
  channels.push_back(mixed);
  for (const std::vector<int64_t>& peak : channels) {
    const int64_t N = static_cast<int64_t>(peak.size());
    for (int W : {0, 1, 3, 40, 300}) {
      const std::vector<long double> w = WindowWeights(N, W);
      const int64_t Wn = static_cast<int64_t>(w.size()) - 1;
      const std::vector<int64_t> M = WindowMaxima(peak, W, false);
      if (NormalizationKernelHasAvx2()) {
        ASSERT_EQ(WindowMaxima(peak, W, true), M) << "AVX2 as the baseline";
      }
      for (int64_t t = 0; t < N; ++t) {
        int64_t m = 1;
        for (int64_t i = std::max<int64_t>(0, t - Wn); i <= std::min(N - 1, t + Wn); ++i)
          m = std::max(m, static_cast<int64_t>(
                              __builtin_rintl(static_cast<long double>(peak[static_cast<size_t>(i)]) *
                                              w[static_cast<size_t>(std::abs(i - t))])));
        ASSERT_EQ(M[static_cast<size_t>(t)], m) << "N " << N << " W " << W << " t " << t;
      }
    }
  }
}

TEST_F(NormalizationToolTest, ABreakLeavesTheInputAndApplyOn) {
  const int64_t N = 20000;
  auto view = MakeChannel(N, 64);
  const std::vector<int32_t> x = TestTraces(N, 64);
  SetSamples(*view, x);
  tool.SetView_(0, view.get());
  int64_t now = 0;
  SetToolSliceClock([&] { return now += 100; });
  host.breakAtYield = 1;
  tool.execute(false, 0);
  SetToolSliceClock({});
  EXPECT_TRUE(host.br);
  EXPECT_EQ(Samples(*view), x);
  EXPECT_TRUE(tool.Param[0].Apply);
}

TEST_F(NormalizationToolTest, NamesSetterAndSets) {
  EXPECT_EQ(tool.GetCaption(), "Normalization");
  EXPECT_EQ(tool.AToolName, "Normalization with window");
  EXPECT_EQ(tool.GetVersion(), 16);
  for (const TNormalizationParam& set : tool.Param) EXPECT_EQ(set.WidthWindow, 0);
  tool.SetWidthWindow(-5);
  EXPECT_EQ(tool.WidthWindow(), 0);
  tool.SetWidthWindow(500);
  EXPECT_EQ(tool.WidthWindow(), 300);
  const TNormalizationParam set{false, 1000};
  tool.SetParam(1, &set);
  tool.GetParam(1);
  EXPECT_EQ(tool.WidthWindow(), 300);
  EXPECT_FALSE(tool.AExecuting);
}

QByteArray Utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }
QByteArray I32(int32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); }

TEST_F(NormalizationToolTest, RecordsAndThePercentageForm) {
  tool.SetWidthWindow(44);
  TMemoryStream stream;
  tool.SaveToStream(stream);
  QByteArray expected = I32(static_cast<int32_t>(stream.Size()));
  expected.append("\x19" "Normalization with window\x21\x0d", 28).append(Utf16("Normalization")).append("\x01", 1);
  expected.append(I32(44));
  EXPECT_EQ(stream.Bytes(), expected);

  auto view = MakeChannel(1000, 1);
  tool.SetView_(2, view.get());
  QByteArray f32("\x20\x01", 2);
  f32.append(Utf16("N")).append("\x01", 1).append(I32(10));
  TMemoryStream s32(f32);
  s32.SetPosition(0);
  tool.ReadFromUniStream(s32, 2);
  EXPECT_EQ(tool.Param[2].WidthWindow, 100) << "10 % of 1000 traces";

  QByteArray f33("\x21\x01", 2);
  f33.append(Utf16("N")).append("\x00", 1).append(I32(-9));
  TMemoryStream s33(f33);
  s33.SetPosition(0);
  tool.ReadFromUniStream(s33, 2);
  EXPECT_EQ(tool.Param[2].WidthWindow, 0);
  EXPECT_FALSE(tool.Param[2].Apply);

  QByteArray old("\x01" "N\x01", 3);
  old.append(I32(25));
  TMemoryStream sOld(old);
  sOld.SetPosition(0);
  tool.ReadFromStream(sOld, 2);
  EXPECT_EQ(tool.Param[2].WidthWindow, 250);
}

using TMessages = std::vector<TRecordedMessage>;

TEST_F(NormalizationToolTest, DialogsApplyBoxChangesItsOwnChannelOnly) {
  std::vector<std::unique_ptr<T2Dview>> views;
  for (int c = 0; c < 5; ++c) {
    views.push_back(MakeChannel(10, 8));
    tool.SetView_(c, views.back().get());
  }
  tool.SetCurrentNumberView(3);
  tool.GetParam(3);
  tool.SetPropertyes(false);
  auto* form = dynamic_cast<TNormalizationForm*>(tool.Form());
  ASSERT_NE(form, nullptr);
  Application->ProcessMessages();
  EXPECT_EQ(form->Caption(), "Normalization");
  EXPECT_EQ(form->WidthWindowLabel->Caption(), "Width of Window, traces");
  EXPECT_EQ(form->WidthWindowTrackBar->Max(), 300);

  form->ExecCheckBox->SetChecked(false);
  for (int c = 0; c < 5; ++c) EXPECT_EQ(tool.Param[static_cast<size_t>(c)].Apply, c != 3) << c;
  form->WidthWindowDigitEdit->SetValueInt(120);
  form->WidthWindowDigitEdit->OnChangeFinish(form->WidthWindowDigitEdit);
  EXPECT_EQ(form->WidthWindowTrackBar->Position(), 120);
  EXPECT_EQ(tool.Param[3].WidthWindow, 120);
  EXPECT_EQ(tool.Param[0].WidthWindow, 0);
  form->CloseDialog();
  Application->ProcessMessages();
}

}  // namespace normalization_tool_test
