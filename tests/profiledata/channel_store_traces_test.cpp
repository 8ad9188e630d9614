// Recording into the channel store: the per-trace table, traces stored at both
// ends of the profile with their inclinometer records, and the packing into the
// raw block.

#include "tests/profiledata/channel_store_env.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(TraceTable, EntriesAcrossTheWholeIndexRange) {
  TTraceTable table;
  for (int64_t i : {TTraceTable::FirstIndex, int64_t{-1}, int64_t{0}, int64_t{4095}, TTraceTable::LastIndex}) {
    SCOPED_TRACE(i);
    int32_t* buffer = table.NewTrace(i, 3);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[2], 0);
    buffer[1] = static_cast<int32_t>(i);
    EXPECT_EQ(table.Trace(i), buffer);
    EXPECT_EQ(table.TraceLength(i), 3);
  }
  EXPECT_EQ(table.Count(), 5);
  EXPECT_EQ(table.Trace(1), nullptr) << "a neighbour on an allocated page";
  EXPECT_EQ(table.Trace(200000), nullptr) << "an entry on a page never allocated";
  for (int64_t outside : {TTraceTable::FirstIndex - 1, TTraceTable::LastIndex + 1}) {
    EXPECT_EQ(table.NewTrace(outside, 3), nullptr);
    EXPECT_EQ(table.Trace(outside), nullptr);
    EXPECT_EQ(table.TraceLength(outside), 0);
    table.Free(outside);
  }
  EXPECT_EQ(table.NewTrace(7, -1), nullptr);

  table.NewTrace(0, 8);  // replaces
  EXPECT_EQ(table.Count(), 5);
  EXPECT_EQ(table.TraceLength(0), 8);
  table.FreeRange(-10, 1);
  EXPECT_EQ(table.Trace(-1), nullptr);
  EXPECT_EQ(table.Trace(0), nullptr);
  EXPECT_EQ(table.Count(), 3);
  table.Clear();
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.Trace(TTraceTable::LastIndex), nullptr);
}

TEST(ChannelStoreTraces, RecordingGrowsBothWaysWithInclinometerRecords) {
  TStoreEnv env;
  T2Dview store(nullptr);
  store.Settings()->RestoreLongTrace(5);
  RecordTraces(store, -3, 7);
  EXPECT_EQ(store.MinNumTraces(), -3);
  EXPECT_EQ(store.MaxNumTraces(), 7);
  EXPECT_EQ(store.NumTraces(), 10);
  EXPECT_EQ(store.SizeDat(), 10 * 5 * 4);
  EXPECT_TRUE(store.HoldsTraces());
  EXPECT_TRUE(store.RawData.Empty()) << "the raw block comes with packing";
  const TSettingData& s = *store.Settings();
  EXPECT_EQ(s.MinNumIncl, -3);
  EXPECT_EQ(s.MaxNumIncl, 7);
  for (int64_t t = -3; t < 7; ++t) {
    SCOPED_TRACE(t);
    ASSERT_NE(store.IndexTraces.Trace(t), nullptr);
    EXPECT_EQ(store.IndexTraces.Trace(t)[4], SampleOf(t, 4));
    ASSERT_NE(s.IndexIncl.Entry(t), nullptr);
    EXPECT_EQ(s.IndexIncl.Entry(t)->Values[0], t);
  }

  store.PackTraces();
  EXPECT_EQ(RawBytes(store), ExpectedRaw(-3, 7, 5));
  EXPECT_EQ(store.dezoData.Bytes(), 200);
  EXPECT_EQ(store.SizeDat(), 200);
}

TEST(ChannelStoreTraces, ShortMissingAndZeroTracesPackAsZeros) {
  TStoreEnv env;
  T2Dview store(nullptr);
  store.Settings()->RestoreLongTrace(4);
  const int32_t two[2] = {11, 12};
  const int32_t six[6] = {21, 22, 23, 24, 25, 26};
  store.AppendTrace(two, 2, {});      // trace 0: the rest is zero
  store.AppendTrace(six, 6, {});      // trace 1: the extra samples are dropped
  store.AppendTrace(nullptr, 0, {});  // trace 2: a lost trace
  store.AppendTrace(six, 4, {});      // trace 3: freed below, as if never stored
  store.IndexTraces.Free(3);
  // A block with old values where the traces land: packing must not keep them.
  store.RawData.Allocate(64);
  for (int i = 0; i < 16; ++i) store.RawData.Data()[i] = -1;

  store.PackTraces();
  const std::vector<int32_t> expected = {11, 12, 0, 0, 21, 22, 23, 24, 0, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(store.RawData.Bytes(), 64);
  EXPECT_EQ(std::vector<int32_t>(store.RawData.Data(), store.RawData.Data() + 16), expected);
}

TEST(ChannelStoreTraces, TheEndsOfTheTraceNumbersStopTheRecording) {
  TStoreEnv env;
  T2Dview store(nullptr);
  store.Settings()->RestoreLongTrace(2);
  const int32_t samples[2] = {1, 2};
  store.SetMinNumTraces(TTraceTable::LastIndex);
  store.SetMaxNumTraces(TTraceTable::LastIndex);
  EXPECT_TRUE(store.AppendTrace(samples, 2, {}));
  EXPECT_FALSE(store.AppendTrace(samples, 2, {}));
  EXPECT_EQ(store.MaxNumTraces(), TTraceTable::LastIndex + 1);
  EXPECT_EQ(store.SizeDat(), 8);

  store.SetMinNumTraces(TTraceTable::FirstIndex);
  EXPECT_FALSE(store.PrependTrace(samples, 2, {}));
  EXPECT_EQ(store.MinNumTraces(), TTraceTable::FirstIndex);
}

TEST(ChannelStoreTraces, ReaderSeesOnlyCompleteTraces) {
  // The recorder appends while another thread reads up to the published end;
  // every trace it can see must already hold its samples.
  TStoreEnv env;
  T2Dview store(nullptr);
  store.Settings()->RestoreLongTrace(64);
  constexpr int kTraces = 3000;
  std::atomic<bool> bad{false};
  std::thread reader([&] {
    int64_t seen = 0;
    while (seen < kTraces) {
      const int64_t end = store.MaxNumTraces();
      for (; seen < end; ++seen) {
        const int32_t* trace = store.IndexTraces.Trace(seen);
        if (!trace || trace[63] != SampleOf(seen, 63)) bad = true;
      }
    }
  });
  std::vector<int32_t> samples(64);
  for (int64_t t = 0; t < kTraces; ++t) {
    for (int k = 0; k < 64; ++k) samples[static_cast<size_t>(k)] = SampleOf(t, k);
    store.AppendTrace(samples.data(), 64, {});
  }
  reader.join();
  EXPECT_FALSE(bad);
}

}  // namespace
