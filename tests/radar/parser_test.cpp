// The packet search of the reader threads: garbage, damaged frames, packets split
// across reads, the greeting inside the stream and the drain of a burst. Frames
// come from the simulator's own encoder.

#include "radar/packet_codes.h"
#include "radar/radar_link_state.h"
#include "tests/radar/radar_test_support.h"
#include "tests/radar/sim_expectations.h"

#include <gtest/gtest.h>

namespace {

class RadarParser : public ::testing::Test {
protected:
  void SetUp() override {
    radar.OpenLog(QStringLiteral("P"));
    radar.SetFirmwareVer(19);
    set.slotRadars[0] = &radar;
    shell.Record(&window);
  }
  QString LogName() const { return radar.Log().FileName(); }
  size_t Held() const { return radar.ReceivedBytes().size(); }

  TProgramFolderScope folder;
  TFakeRadarShell shell;
  TFakeRadarSet set;
  THooksScope hooks{&shell, &set};
  TFakeRecordingWindow window;
  TFakeRadar radar;
  TParserUnderTest parser{radar};
};

struct TTraceKind {
  const char* name;
  uint16_t firmware;
  radarsim::TTraceFormat format;
};
const TTraceKind kTraceKinds[] = {
    {"0x66, 16-bit samples", 19, radarsim::tfReadydata2},
    {"0x66, 24-bit samples", 12, radarsim::tfReadydata2},
    {"0xDA, numbered", 19, radarsim::tfReadydata3},
};

radarsim::TTraceSpec Spec(const TTraceKind& kind, uint32_t index, int samples = 40) {
  radarsim::TTraceSpec spec;
  spec.Firmware = kind.firmware;
  spec.Format = kind.format;
  spec.Index = index;
  spec.Samples = samples;
  spec.Nmea = "$GPGGA,1";
  return spec;
}

TEST_F(RadarParser, APacketSplitAtAnyByteIsDecodedOnceAfterItsLastByte) {
  for (const TTraceKind& kind : kTraceKinds) {
    SCOPED_TRACE(kind.name);
    radar.SetFirmwareVer(kind.firmware);
    const size_t before = window.Count();
    uint32_t index = 1;
    const TBytes probe = radarsim::EncodeTrace(Spec(kind, index));
    for (size_t split = 1; split < probe.size(); ++split, ++index) {
      const TBytes packet = radarsim::EncodeTrace(Spec(kind, index));
      parser.Feed(TBytes(packet.begin(), packet.begin() + static_cast<std::ptrdiff_t>(split)));
      ASSERT_EQ(Held(), split) << "nothing is consumed from an incomplete packet (split " << split << ")";
      parser.Feed(TBytes(packet.begin() + static_cast<std::ptrdiff_t>(split), packet.end()));
      ASSERT_EQ(Held(), 0u);
      const auto calls = window.Calls();
      ASSERT_EQ(calls.size(), before + split) << "split " << split;
      ExpectTraceSamples(calls.back().Samples, Spec(kind, index));
    }
  }
}

TEST_F(RadarParser, GarbageGoesWithTheNextPacketAndOffsetsCountFromTheMagic) {
  const TTraceKind kind = kTraceKinds[0];
  const TBytes garbage = {0x00, 0x51, 0x45, 0x4C, 0xFF, 0x33, 0x12};  // "QEL" without the "3"
  TBytes stream = garbage;
  const TBytes first = radarsim::EncodeTrace(Spec(kind, 1));
  const TBytes second = radarsim::EncodeTrace(Spec(kind, 2));
  stream.insert(stream.end(), first.begin(), first.end());
  stream.insert(stream.end(), garbage.begin(), garbage.end());
  stream.insert(stream.end(), second.begin(), second.end());
  parser.Feed(stream);
  EXPECT_EQ(Held(), 0u);
  const auto calls = window.Calls();
  ASSERT_EQ(calls.size(), 2u);
  ExpectTraceSamples(calls[0].Samples, Spec(kind, 1));
  ExpectTraceSamples(calls[1].Samples, Spec(kind, 2));
  EXPECT_FALSE(LogContains(LogName(), QStringLiteral("cs <> cs")));
}

TEST_F(RadarParser, DamagedFramesDropThroughTheirFirstMagicByteAndTheNextFrameDecodes) {
  const TTraceKind kind = kTraceKinds[0];
  TBytes bad = radarsim::EncodeTrace(Spec(kind, 1));
  bad.back() ^= 0x5A;
  const TBytes tooShortLength = FrameWithLength(0x31, {}, 1);  // L = 1 holds no checksum
  const TBytes good = radarsim::EncodeTrace(Spec(kind, 2));
  for (const TBytes& damaged : {bad, tooShortLength}) {
    radar.ClearReceived();
    TBytes stream = {0x01, 0x02};
    stream.insert(stream.end(), damaged.begin(), damaged.end());
    radar.AppendReceived(stream);
    ASSERT_EQ(parser.ParseProc(), 3u) << "the stray bytes and the first magic byte";
    EXPECT_EQ(Held(), damaged.size() - 1);
  }
  EXPECT_EQ(ReadLogLines(LogName()).filter(QStringLiteral("::::::::::::::::cs <> cs:::::::::::::::")).size(), 2);
  parser.Feed(good);  // behind the rest of the last damaged frame
  const auto calls = window.Calls();
  ASSERT_EQ(calls.size(), 1u) << "only the good trace";
  ExpectTraceSamples(calls[0].Samples, Spec(kind, 2));
  EXPECT_EQ(Held(), 0u);
}

TEST_F(RadarParser, AGreetingInsideTheStreamIsRemovedWithWhatPrecedesIt) {
  TBytes stream = {0x07, 'Q', 'E', 'L', '3', 'P', 'T', 'R'};
  const TBytes trace = radarsim::EncodeTrace(Spec(kTraceKinds[0], 5));
  stream.insert(stream.end(), trace.begin(), trace.end());
  parser.Feed(stream);
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("QEL3PTR")));
  ASSERT_EQ(window.Count(), 1u);
  ExpectTraceSamples(window.Calls()[0].Samples, Spec(kTraceKinds[0], 5));
}

TEST_F(RadarParser, ACycleParsesAtMostElevenPacketsAndShortRepliesBehindABurst) {
  TBytes burst;
  for (int k = 0; k < 15; ++k) {
    const TBytes unknown = Frame(0x2F, {static_cast<uint8_t>(k)});  // consumed without effect
    burst.insert(burst.end(), unknown.begin(), unknown.end());
  }
  parser.Feed(burst);
  EXPECT_EQ(Held(), 4 * 9u) << "11 of 15 nine-byte packets";
  parser.ParseHeldPackets();
  EXPECT_EQ(Held(), 0u) << "the next cycle drains the rest without new bytes";

  // A trace and the 8-byte stop reply in one read: both are handled in the cycle.
  radar.SendCommand(bcpStop, 0, nullptr);
  TBytes read = radarsim::EncodeTrace(Spec(kTraceKinds[0], 9));
  const TBytes stopped = Frame(0x57, {});
  read.insert(read.end(), stopped.begin(), stopped.end());
  parser.Feed(read);
  EXPECT_EQ(radar.TimerId, 0u) << "the stop reply ended the wait";
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("\tSTOP OK!!")));
}

}  // namespace
