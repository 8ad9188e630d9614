// The rectifier: its modes on real channel stores, the Apply flag, the saved
// input on re-runs, its parameter sets and its chain records.

#include "platform/rtl/streams.h"
#include "tests/tools/tool_test_support.h"
#include "tools/abs_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct TAbsCase {
  uint8_t mode;
  std::vector<int32_t> out;
};

class AbsToolTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  TAbsTool tool;
  std::unique_ptr<T2Dview> view = MakeChannel(2, 4);

  void SetUp() override {
    tool.SetView_(0, view.get());
    SetSamples(*view, {3, -5, 0, 7, kMin, kMax, -1, 1});
  }
  void SetMode(uint8_t mode, bool apply = true) {
    TAbsParam p{apply, static_cast<TRectifierMode>(mode)};
    tool.SetParam(0, &p);
  }
};

TEST_F(AbsToolTest, ModesRectifyEverySampleAndSaturate) {
  const std::vector<TAbsCase> cases{
      {0, {3, 5, 0, 7, kMax, kMax, 1, 1}},
      {1, {3, 0, 0, 7, 0, kMax, 0, 1}},
      {2, {0, 5, 0, 0, kMax, 0, 1, 0}},
      {3, {3, 5, 0, 7, kMax, kMax, 1, 1}},    // any other value acts as full wave
      {255, {3, 5, 0, 7, kMax, kMax, 1, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    SetMode(c.mode);
    tool.execute(false, 0);  // the channel is the input again: refilled from it
    EXPECT_EQ(Samples(*view), c.out);
    tool.execute(true, 0);  // restart from the saved input of the run before
    EXPECT_EQ(Samples(*view), c.out);
    SetSamples(*view, {3, -5, 0, 7, kMin, kMax, -1, 1});
  }
}

// Odd trace lengths leave remainders after the vector loops; every thread count
// gives the same channel.
TEST_F(AbsToolTest, LargeChannelsMatchASampleBySampleReference) {
  auto big = MakeChannel(301, 37);
  const std::vector<int32_t> input = TestTraces(301, 37);
  tool.SetView_(1, big.get());
  for (uint8_t mode : {0, 1, 2}) {
    std::vector<int32_t> expected;
    for (int32_t x : input) {
      const int64_t v = x;
      const int64_t r = mode == 1 ? std::max<int64_t>(v, 0) : mode == 2 ? std::max<int64_t>(-v, 0) : std::abs(v);
      expected.push_back(static_cast<int32_t>(std::min<int64_t>(r, kMax)));
    }
    for (int threadCount : {1, 2, 8}) {
      SCOPED_TRACE(testing::Message() << "mode " << int{mode} << ", threads " << threadCount);
      PoolThreadsScope scope(threadCount);
      TAbsParam p{true, static_cast<TRectifierMode>(mode)};
      tool.SetParam(1, &p);
      SetSamples(*big, input);
      tool.execute(false, 1);
      EXPECT_EQ(Samples(*big), expected);
    }
  }
}

TEST_F(AbsToolTest, ApplyClearPassesTheInputAndStillSavesIt) {
  const std::vector<int32_t> input = Samples(*view);
  SetMode(0, false);
  tool.execute(false, 0);
  EXPECT_EQ(Samples(*view), input);
  ASSERT_EQ(tool.GetSizeLocDataByIndx(0), 32);
  EXPECT_EQ(std::vector<int32_t>(tool.GetLocDataByIndx(0), tool.GetLocDataByIndx(0) + 8), input);

  // The chain changed the channel behind the tool: first = true still works on
  // the saved input, first = false takes the new one.
  SetMode(0, true);
  SetSamples(*view, {-9, -9, -9, -9, -9, -9, -9, -9});
  tool.execute(true, 0);
  EXPECT_EQ(Samples(*view), (std::vector<int32_t>{3, 5, 0, 7, kMax, kMax, 1, 1}));
  SetSamples(*view, {-9, -9, -9, -9, -9, -9, -9, -9});
  tool.execute(false, 0);
  EXPECT_EQ(Samples(*view), std::vector<int32_t>(8, 9));
}

TEST_F(AbsToolTest, RestartWithoutACopyOfTheChannelsSizeChangesNothing) {
  EXPECT_FALSE(tool.HasSavedInput(0));
  const std::vector<int32_t> input = Samples(*view);
  tool.execute(true, 0);
  EXPECT_EQ(Samples(*view), input) << "no saved input yet";
  tool.execute(false, 0);
  EXPECT_TRUE(tool.HasSavedInput(0));

  // The channel grew by a trace: the old copy is no input for it.
  auto grown = MakeChannel(3, 4);
  SetSamples(*grown, std::vector<int32_t>(12, -4));
  tool.SetView_(0, grown.get());
  EXPECT_FALSE(tool.HasSavedInput(0));
  tool.execute(true, 0);
  EXPECT_EQ(Samples(*grown), std::vector<int32_t>(12, -4));
  EXPECT_FALSE(tool.HasSavedInput(1)) << "a channel without a view";
}

TEST_F(AbsToolTest, DefaultsAndParameterSets) {
  EXPECT_EQ(tool.GetCaption(), "Rectifier");
  EXPECT_EQ(tool.AToolName, "Abs");
  EXPECT_EQ(tool.AToolDscr, "1D Filter. Full-wave rectifier inverts negative half-wave of the signal to positive one");
  EXPECT_EQ(tool.GetVersion(), 16);
  EXPECT_EQ(tool.typeOfPlugin, simple);
  for (const TAbsParam& p : tool.Param) {
    EXPECT_TRUE(p.Apply);
    EXPECT_EQ(p.Mode, TRectifierMode::FullWave);
  }

  tool.RectifierMode = TRectifierMode::Negative;
  tool.SetExecuting(false);
  tool.SaveParamPlugin(3);
  tool.SetAllParamAs(3);
  for (const TAbsParam& p : tool.Param) {
    EXPECT_FALSE(p.Apply);
    EXPECT_EQ(p.Mode, TRectifierMode::Negative);
  }
  tool.SetAllApply(true);
  tool.GetParam(4);
  EXPECT_TRUE(tool.GetExecuting());
  EXPECT_EQ(tool.RectifierMode, TRectifierMode::Negative);
  tool.GetParam(5);  // no such channel: the working parameters stay
  EXPECT_EQ(tool.RectifierMode, TRectifierMode::Negative);
}

QByteArray Utf16(const QString& s) {
  return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

TEST_F(AbsToolTest, RecordOfTheDefaultToolAtAnyPosition) {
  TMemoryStream stream;
  stream.WriteBuffer("HEADER", 6);
  tool.SaveToStream(stream);
  QByteArray expected("HEADER");
  const int32_t end = 6 + 30;
  expected.append(reinterpret_cast<const char*>(&end), 4);
  expected.append("\x03" "Abs\x21\x09", 6);
  expected.append(Utf16("Rectifier"));
  expected.append("\x01\x00", 2);
  EXPECT_EQ(stream.Bytes(), expected);
  EXPECT_EQ(stream.Position(), 36);
}

// The stream positioned after a record's end offset and name, as the chain reader
// leaves it.
TMemoryStream RecordBody(const QByteArray& afterName) {
  TMemoryStream s(afterName);
  s.SetPosition(0);
  return s;
}

TEST_F(AbsToolTest, ReadersTakeEachFieldOnlyWhenTheFormatHasIt) {
  tool.RectifierMode = TRectifierMode::Positive;
  tool.SaveParamPlugin(2);

  // Format 33: caption, Apply and the mode.
  QByteArray f33("\x21\x05", 2);
  f33.append(Utf16("Abs 2")).append("\x00\x02", 2);
  auto s33 = RecordBody(f33);
  tool.ReadFromUniStream(s33, 1);
  EXPECT_EQ(tool.Param[1].Mode, TRectifierMode::Negative);
  EXPECT_FALSE(tool.Param[1].Apply);
  EXPECT_EQ(tool.GetCaption(), "Abs 2");
  EXPECT_EQ(s33.Position(), f33.size());

  // Format 32: caption and Apply; the working mode stays.
  tool.GetParam(2);
  QByteArray f32("\x20\x01", 2);
  f32.append(Utf16("R")).append("\x01", 1);
  auto s32 = RecordBody(f32);
  tool.ReadFromUniStream(s32, 3);
  EXPECT_EQ(tool.GetCaption(), "R");
  EXPECT_TRUE(tool.Param[3].Apply);
  EXPECT_EQ(tool.Param[3].Mode, TRectifierMode::Positive);
  EXPECT_EQ(s32.Position(), f32.size());

  // Below 32: only the format byte; the working values are stored.
  tool.SetExecuting(false);
  auto s31 = RecordBody(QByteArray("\x1f", 1));
  tool.ReadFromUniStream(s31, 4);
  EXPECT_EQ(tool.GetCaption(), "R");
  EXPECT_FALSE(tool.Param[4].Apply);
  EXPECT_EQ(tool.Param[4].Mode, TRectifierMode::Positive);

  // Older records: an 8-bit caption and Apply.
  auto old = RecordBody(QByteArray("\x04" "Gain\x01", 6));
  tool.ReadFromStream(old, 0);
  EXPECT_EQ(tool.GetCaption(), "Gain");
  EXPECT_TRUE(tool.Param[0].Apply);
  EXPECT_EQ(tool.Param[0].Mode, TRectifierMode::Positive);

  // A record cut short is a read error, not garbage in the set.
  auto cut = RecordBody(QByteArray("\x21\x05" "A", 3));
  const TAbsParam before = tool.Param[0];
  EXPECT_THROW(tool.ReadFromUniStream(cut, 0), EReadError);
  EXPECT_EQ(tool.Param[0].Mode, before.Mode);
}

TEST_F(AbsToolTest, WrittenRecordReadsBack) {
  tool.RectifierMode = TRectifierMode::Negative;
  tool.SetExecuting(false);
  tool.SetCaption(QStringLiteral("Выпрямитель 2"));
  TMemoryStream stream;
  tool.SaveToStream(stream);

  TAbsTool other;
  stream.SetPosition(4);
  ASSERT_EQ(TCommonTool::ReadShortString(stream), "Abs");
  other.ReadFromUniStream(stream, 2);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(other.GetCaption(), QStringLiteral("Выпрямитель 2"));
  EXPECT_FALSE(other.Param[2].Apply);
  EXPECT_EQ(other.Param[2].Mode, TRectifierMode::Negative);
}

}  // namespace
