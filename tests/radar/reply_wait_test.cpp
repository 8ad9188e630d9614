// One reply owed at a time when two threads send: the user-interface thread's
// commands and the reader's pings on a silent line never leave the unit owing two
// replies.

#include "radar/packet_codes.h"
#include "tests/radar/radar_test_support.h"
#include "tests/support/radarsim/sim_engine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace reply_wait_test {

constexpr auto kBound = std::chrono::seconds(20);

// A reader on an in-memory link to a simulated unit: what the radar queues reaches
// the unit at once, and the reader parses what the unit puts out. After every second
// reply the line counts as silent at once, so the reader pings the moment the wait
// is free, just when the user-interface thread's next command is due; after the
// other replies it keeps quiet, so that thread gets its turn.
class TSilentLineReader : public TParentThread {
public:
  TSilentLineReader(TFakeRadar& radar, radarsim::TRadarSimEngine& unit) : TParentThread(&radar), unit_(unit) {
    radar.thread = this;
    radar.onQueued = [&unit](const TBytes& packet) { unit.OnReceived(packet); };
  }
  std::atomic<bool> pinging{true};

protected:
  void Execute() override {
    TRadar& radar = *Owner();
    bool silent = false;
    while (!Terminated()) {
      for (const radarsim::TOutChunk& chunk : unit_.TakeOutput(radarsim::TSimClock::now())) {
        radar.AppendReceived(chunk.Bytes);
        silent = !silent;
      }
      ParseHeldPackets();
      radar.noDataCounter = silent ? -1 : 0;
      SilenceStep(pinging);
      std::this_thread::yield();
    }
  }

private:
  radarsim::TRadarSimEngine& unit_;
};

class RadarReplyWait : public ::testing::Test {
protected:
  void SetUp() override {
    radar.OpenLog(QStringLiteral("W"));
    set.slotRadars[0] = &radar;
  }

  TProgramFolderScope folder;
  TFakeRadarShell shell;
  TFakeRadarSet set;
  THooksScope hooks{&shell, &set};
  TFakeRadar radar;
};

TEST_F(RadarReplyWait, CommandsOfTheUserInterfaceAndPingsOfTheReaderNeverOweTwoReplies) {
  radarsim::TSimConfig config;
  config.ReplyDelayMs = 1;  // a reply stays owed long enough for a second command to overtake it
  radarsim::TRadarSimEngine unit(config);
  TSilentLineReader reader(radar, unit);
  reader.Start();

  constexpr size_t kCommands = 200;
  for (size_t k = 0; k < kCommands; ++k) radar.SendCommand(bcpGetVersion, 0, nullptr);
  reader.pinging = false;
  EXPECT_TRUE(ProcessMessagesUntil([&] { return radar.TimerId == 0; }, kBound));
  ASSERT_TRUE(StopReaderThread(reader, ReaderStopLimit));

  EXPECT_EQ(unit.CountReceived(bcpGetVersion), kCommands);
  EXPECT_GT(unit.CountReceived(bcpPing2), 0u) << "the reader pinged between the commands";
  EXPECT_EQ(unit.MostOwedReplies(), 1) << "a command went out while the reply to another was still owed";
  EXPECT_FALSE(LogContains(radar.Log().FileName(), QStringLiteral("Not received"))) << "every reply came";
}

}  // namespace reply_wait_test
