// The horizontal wavelet filter: its kernel from the window width, the
// correlation along the sample rows against the rule written out (the edges of
// the profile, any thread count), a break, its sets and its records.

#include "platform/rtl/extended.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "tests/tools/tool_test_support.h"
#include "tools/horz_wavelet.h"
#include "tools/list_of_tools.h"

#include <gtest/gtest.h>

#include <cmath>

namespace horz_wavelet_test {

std::vector<int32_t> RowReference(const std::vector<int32_t>& x, int64_t N, int L, const std::vector<long double>& taps) {
  const int n = static_cast<int>(taps.size());
  const int half = static_cast<int>(std::nearbyint(n / 2.0));
  std::vector<int32_t> out(x.size());
  for (int s = 0; s < L; ++s)
    for (int64_t t = 0; t < N; ++t) {
      long double sum = 0;
      for (int l = 0; l < n; ++l) {
        int64_t q = t + l - half;
        if (q < 0) continue;
        if (q > N - 1) q = 2 * (N - 1) - q;
        if (q < 0) continue;
        sum += taps[static_cast<size_t>(l)] * x[static_cast<size_t>(q * L + s)];
      }
      out[static_cast<size_t>(t * L + s)] = RoundToInt32(sum);
    }
  return out;
}

class HorzWaveletTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  THorzWavelet tool;
};

TEST_F(HorzWaveletTest, KernelOfTheWindow) {
  tool.WidthWindow = 50;  // the dialog's 25
  tool.PrepareLine(0);
  const TWaveletKernels& k = tool.Kernels;
  EXPECT_EQ(tool.KernelCentre(), 25);
  // sigma = 50 / 9 about offset 25 of the span 0 .. 99: the span's start cuts the
  // wavelet's left tail, the right one ends where the taps fall below 0.0001.
  EXPECT_EQ(k.start, 0);
  EXPECT_EQ(k.stop, 54);
  EXPECT_GE(std::fabs(k.Line(0)[54]), 0.0001L);
  EXPECT_LT(std::fabs(k.Line(0)[55]), 0.0001L);
  EXPECT_EQ(k.TapCount(0), k.stop - k.start + 1);
  const long double c = 50 / 9.0L;
  const long double u = 3 / c;
  const long double expected = 20 * (1 - u * u) * std::exp(-u * u / 2) / std::sqrt(3 * c * std::pow(3.14159265358979323846L, 0.25L));
  EXPECT_NEAR(static_cast<double>(k.Line(0)[28]), static_cast<double>(expected), 1e-12);
  long double s = 0;
  for (long double t : k.Taps(0)) s += std::fabs(t);
  EXPECT_NEAR(static_cast<double>(s), 1.0, 1e-15);
}

TEST_F(HorzWaveletTest, RowsMatchTheRuleWrittenOut) {
  const int L = 9;
  for (int64_t N : {int64_t{120}, int64_t{7}, int64_t{1}}) {  // shorter profiles than the kernel too
    auto view = MakeChannel(N, L);
    const std::vector<int32_t> x = TestTraces(N, L);
    tool.SetView_(0, view.get());
    for (int32_t W : {2, 50, 200}) {
      THorzWaveletParam p{true, W};
      tool.Param[0] = p;
      tool.GetParam(0);
      tool.PrepareLine(0);
      const std::vector<int32_t> expected = RowReference(x, N, L, tool.Kernels.Taps(0));
      for (int count : {1, 8}) {
        SCOPED_TRACE(testing::Message() << "N " << N << ", W " << W << ", threads " << count);
        PoolThreadsScope pool(count);
        SetSamples(*view, x);
        tool.execute(false, 0);
        EXPECT_EQ(Samples(*view), expected);
      }
    }
  }
}

TEST_F(HorzWaveletTest, ABreakLeavesTheInput) {
  auto view = MakeChannel(3000, 64);
  const std::vector<int32_t> x = TestTraces(3000, 64);
  tool.SetView_(0, view.get());
  SetSamples(*view, x);
  int64_t now = 0;
  SetToolSliceClock([&] { return now += 100; });
  host.breakAtYield = 1;
  tool.execute(false, 0);
  SetToolSliceClock({});
  EXPECT_TRUE(host.br);
  EXPECT_EQ(Samples(*view), x);
}

TEST_F(HorzWaveletTest, SetsAndTheFactory) {
  EXPECT_EQ(tool.GetCaption(), "Horz Wavelet Filter");
  EXPECT_EQ(tool.AToolName, "Horz Wavelet Filter");
  EXPECT_EQ(tool.GetVersion(), 16);
  for (const auto& set : tool.Param) EXPECT_EQ(set.WidthWindow, 50);
  // SetParam keeps the width in force and takes the given Apply.
  tool.WidthWindow = 80;
  THorzWaveletParam p{false, 10};
  tool.SetParam(2, &p);
  EXPECT_EQ(tool.Param[2].WidthWindow, 80);
  EXPECT_FALSE(tool.Param[2].Apply);
  TListOfTools registry(nullptr);
  registry.Initialise(QString(), true, 1033);
  EXPECT_EQ(registry.GetTool(QStringLiteral("Horz Wavelet Filter"), {}), nullptr);
}

QByteArray Utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }

TMemoryStream Body(const QByteArray& afterName) {
  TMemoryStream s(afterName);
  s.SetPosition(0);
  return s;
}

TEST_F(HorzWaveletTest, Records) {
  tool.WidthWindow = 62;
  TMemoryStream stream;
  tool.SaveToStream(stream);
  stream.SetPosition(4);
  ASSERT_EQ(TCommonTool::ReadShortString(stream), "Horz Wavelet Filter");
  THorzWavelet other;
  other.ReadFromUniStream(stream, 1);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(other.Param[1].WidthWindow, 62);

  // Format 34 (a wavelet body) leaves WidthWindow; its values are kept aside.
  QByteArray f34("\x22\x01", 2);
  uint8_t ext[ExtendedSize];
  ExtendedToBytes(5.5L, ext);
  f34.append(Utf16("H")).append("\x01", 1).append(reinterpret_cast<const char*>(ext), ExtendedSize).append("\x01", 1);
  const int32_t count = 3;
  f34.append(reinterpret_cast<const char*>(&count), 4).append(reinterpret_cast<const char*>(ext), ExtendedSize);
  auto s34 = Body(f34);
  other.ReadFromUniStream(s34, 1);
  EXPECT_EQ(s34.Position(), f34.size());
  EXPECT_EQ(other.Param[1].WidthWindow, 62);
  EXPECT_EQ(other.Timescale, 5.5L);

  // A width past the dialog's range is clamped.
  for (const auto& [stored, kept] : {std::pair{1000, 200}, std::pair{-4, 2}}) {
    QByteArray f35("\x23\x01", 2);
    f35.append(Utf16("H")).append("\x01", 1).append(reinterpret_cast<const char*>(&stored), 4);
    auto s35 = Body(f35);
    other.ReadFromUniStream(s35, 0);
    EXPECT_EQ(other.Param[0].WidthWindow, kept);
  }
}

}  // namespace horz_wavelet_test
