#pragma once
// The behaviour of a radar unit, apart from its link: it answers the query
// commands, streams traces at a set rate after the start command until the stop
// command (or a set number of traces), and produces faults on demand. The link
// classes (sim_links.h) feed it the program's bytes and write what it puts out.
//
// Threads: every member may be called from any thread (a test changes the
// configuration and reads the record while the link's thread runs the unit).

#include "tests/support/radarsim/sim_frames.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>

namespace radarsim {

using TSimClock = std::chrono::steady_clock;

struct TSimConfig {
  uint16_t Firmware = 19;
  uint8_t RadarType = 2;
  uint8_t SupplyCode = 0x25;  // 10.5 V
  uint16_t SerialNumber = 4242;
  uint16_t SlowRamp = 31000;
  uint8_t MasterSlaveMode = 0;  // answer to 0xB8: 0 single, 1 master, 2 slave
  uint8_t Channel = 0;          // answer to 0xC8
  uint8_t RadarCount = 1;
  int16_t Xoffset = 0;
  int16_t Yoffset = 0;
  uint16_t ZeroOffset = 0;
  // Answer to 0xC4 and 0xE2: device-box type (raw byte), box serial, inclinometer mounting.
  uint8_t DeviceType = 2;
  uint16_t DeviceSerial = 12345;
  uint8_t InclinometerMounting = 1;
  uint8_t WithoutAck = 0;       // answer to 0xC0
  uint8_t PerformanceDelay = 30;
  TTraceFormat Format = tfReadydata2;
  int SamplesPerTrace = 0;      // 0: the window codes of the last load-data command (500 before one)
  int TraceIntervalMs = 5;
  uint32_t TraceLimit = 0;      // traces per start (or resume); 0 streams until the stop command
  std::string Nmea;             // in traces and in the ping answer
  std::string GpsText = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
  // Answer to 0x6B: the Wi-Fi module's (tag, length, value) elements.
  TBytes WifiSettings = {1, 4, 'u', 'n', 'i', 't', 16, 2, 0x13, 0x88};
  // Collision count of trace `index`; 1 when empty.
  std::function<uint8_t(uint32_t index)> CollisionOf;
  // The four accelerometer values of trace `index` (entries 1..3 the X, Y and Z
  // axes); a pattern of the index when empty.
  std::function<std::array<int16_t, 4>(uint32_t index)> AccelerometerOf;
  std::set<uint8_t> Unanswered;  // commands the unit leaves without a reply
  // A slow unit: each reply goes out this long after its command arrived (traces wait
  // behind it). The reply is owed meanwhile.
  int ReplyDelayMs = 0;
};

// Bytes to write, then a pause before the next write (a packet split across reads).
struct TOutChunk {
  TBytes Bytes;
  int PauseAfterMs = 0;
};

// What waits to go out: a reply (owed until it is taken) or other bytes.
struct TQueuedOutput {
  TOutChunk Chunk;
  TSimClock::time_point Due{};
  bool Reply = false;
};

class TRadarSimEngine {
public:
  explicit TRadarSimEngine(TSimConfig config = {});

  // ---- the link ----
  void OnReceived(std::span<const uint8_t> bytes);
  // What is due now: replies, then the traces whose time has come.
  std::vector<TOutChunk> TakeOutput(TSimClock::time_point now);

  // ---- configuration and faults ----
  void Configure(const std::function<void(TSimConfig&)>& change);
  // Raw bytes out at once (garbage, a greeting inside the stream).
  void InjectBytes(TBytes bytes);
  // These bytes go out before every trace.
  void SetGarbageBeforeTraces(TBytes bytes);
  // The next n traces carry a wrong checksum.
  void CorruptNextTraces(int n);
  // Trace number k (counted from the call on, from 0) goes out in two writes, split
  // after byte 1 + k mod (size - 1): a run of size - 1 traces covers every position.
  void SplitTracesAtEveryPosition(bool on, int pauseMs = 4);
  // A silent unit records what it receives but neither answers nor streams.
  void SetSilent(bool silent);
  // Starts streaming as if a start command had arrived.
  void StartStreaming();
  // The wheel turned: `count` wheel reports (0x84) go out at once, byte 7 a
  // running tick number, byte 8 the direction (0 forward, 1 backward).
  void TurnWheel(int count, bool backward);

  // ---- what happened ----
  std::vector<TSimCommand> Received() const;
  std::vector<uint8_t> ReceivedCodes() const;
  size_t CountReceived(uint8_t code) const;
  std::vector<uint8_t> Acks() const;  // parameter of every 0x91
  std::vector<int8_t> DelaySteps() const;  // parameter byte 0 of every 0xCF
  uint32_t TracesSent() const;        // trace packets put out, corrupted ones included
  // Replies owed: commands answered whose reply has not gone out yet. A program that
  // awaits one reply at a time never has more than one owed.
  int OwedReplies() const;
  int MostOwedReplies() const;
  std::vector<uint32_t> CorruptedTraces() const;
  bool Streaming() const;
  int SamplesPerTrace() const;
  TSimConfig Config() const;
  // The trace the unit sent as number `index` (for expected samples).
  TTraceSpec TraceSpecOf(uint32_t index) const;
  // Waits until condition holds (checked whenever the unit changes) or limit passes.
  bool WaitUntil(const std::function<bool(const TRadarSimEngine&)>& condition,
                 std::chrono::milliseconds limit = std::chrono::seconds(10)) const;

private:
  void Answer(const TSimCommand& command);
  void Reply(uint8_t code, TBytes params = {});
  TTraceSpec TraceSpecLocked(uint32_t index) const;
  void Changed() { changed_.notify_all(); }

  mutable std::mutex lock_;
  mutable std::condition_variable changed_;
  TSimConfig config_;
  TCommandReader reader_;
  std::vector<TSimCommand> received_;
  std::vector<TQueuedOutput> pending_;
  int owed_ = 0;
  int mostOwed_ = 0;
  TBytes garbage_;
  int corruptNext_ = 0;
  bool split_ = false;
  int splitPause_ = 4;
  uint32_t splitCount_ = 0;
  bool silent_ = false;
  bool streaming_ = false;
  uint32_t streamedThisRun_ = 0;
  uint32_t nextIndex_ = 1;
  uint32_t tracesSent_ = 0;
  std::vector<uint32_t> corrupted_;
  TSimClock::time_point nextTrace_{};
  int windowCodes_ = 500;
  double loadingTime_ = 0;
  uint8_t wheelTick_ = 0;
};

}  // namespace radarsim
