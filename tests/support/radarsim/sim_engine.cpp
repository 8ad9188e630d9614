#include "tests/support/radarsim/sim_engine.h"

#include <algorithm>
#include <bit>

namespace radarsim {

namespace {

void PutU16BE(TBytes& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

double ReadF64LE(const uint8_t* p) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | p[i];
  return std::bit_cast<double>(bits);
}

void PutF64LE(TBytes& out, double v) {
  const auto bits = std::bit_cast<uint64_t>(v);
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

}  // namespace

TRadarSimEngine::TRadarSimEngine(TSimConfig config) : config_(std::move(config)) {}

void TRadarSimEngine::OnReceived(std::span<const uint8_t> bytes) {
  std::lock_guard guard(lock_);
  reader_.Feed(bytes);
  while (std::optional<TSimCommand> command = reader_.Next()) {
    received_.push_back(*command);
    if (!silent_) Answer(*command);
  }
  Changed();
}

void TRadarSimEngine::Reply(uint8_t code, TBytes params) {
  const TSimClock::time_point due = TSimClock::now() + std::chrono::milliseconds(config_.ReplyDelayMs);
  pending_.push_back({{EncodeFrame(code, params), 0}, due, true});
  mostOwed_ = std::max(mostOwed_, ++owed_);
}

void TRadarSimEngine::Answer(const TSimCommand& command) {
  const TSimConfig& c = config_;
  if (c.Unanswered.count(command.Code)) return;
  const TBytes& p = command.Params;
  switch (command.Code) {
    case 0x30: { TBytes r; PutU16BE(r, c.Firmware); Reply(0x31, r); break; }
    case 0x52:
      // f64 time, stacking, u16 wheel multiplier, source, then one u16 code per sample.
      if (p.size() >= 12) {
        loadingTime_ = ReadF64LE(p.data());
        windowCodes_ = static_cast<int>((p.size() - 12) / 2);
      }
      Reply(0x53);
      break;
    case 0x54:
      Reply(0x55);
      streaming_ = true;
      streamedThisRun_ = 0;
      nextTrace_ = TSimClock::now();
      break;
    case 0x56:
      streaming_ = false;
      Reply(0x57);
      break;
    case 0x5B: Reply(0x5C, TBytes(c.GpsText.begin(), c.GpsText.end())); break;
    case 0x5D: { TBytes r; PutU16BE(r, c.SlowRamp); Reply(0x5E, r); break; }
    case 0x60: Reply(0x61); break;
    case 0x62: Reply(0x63, {3, 'G', 'P', 'G', 'G', 'A'}); break;
    case 0x64: {
      TBytes r = {c.RadarType, c.SupplyCode};
      PutF64LE(r, loadingTime_);
      r.insert(r.end(), c.Nmea.begin(), c.Nmea.end());
      Reply(0x65, r);
      break;
    }
    case 0x67: { TBytes r; PutU16BE(r, c.SerialNumber); Reply(0x68, r); break; }
    case 0x6B: Reply(0x6C, c.WifiSettings); break;
    case 0x6D: Reply(0x6E); break;
    case 0x85: Reply(0x86); break;
    case 0x87: Reply(0x88); break;
    case 0xA9: Reply(0xAA); break;
    case 0xB4: Reply(0xB5, {c.PerformanceDelay}); break;
    case 0xB8: Reply(0xB9, {c.MasterSlaveMode}); break;
    case 0xC0: Reply(0xC1, {c.WithoutAck}); break;
    case 0xC4:
    case 0xE2: {
      // Byte 8 the box type, bytes 9..10 its serial (LE), byte 11 the inclinometer mounting.
      const TBytes box = {0, c.DeviceType, static_cast<uint8_t>(c.DeviceSerial), static_cast<uint8_t>(c.DeviceSerial >> 8),
                          c.InclinometerMounting};
      Reply(static_cast<uint8_t>(command.Code + 1), box);
      // A resumed transfer goes on with the run's next trace; TraceLimit counts
      // from the resume.
      if (command.Code == 0xE2 && !streaming_) {
        streaming_ = true;
        streamedThisRun_ = 0;
        nextTrace_ = TSimClock::now();
      }
      break;
    }
    case 0xC8: {
      TBytes r = {c.Channel, c.RadarCount};
      PutU16BE(r, static_cast<uint16_t>(c.Xoffset));
      PutU16BE(r, static_cast<uint16_t>(c.Yoffset));
      PutU16BE(r, c.ZeroOffset);
      Reply(0xC9, r);
      break;
    }
    case 0xE0: Reply(0xE1, {'S', streaming_ ? uint8_t{2} : uint8_t{1}, 0, 0, 0, 0, 0, 0, 0, 0}); break;
    case 0xE4: Reply(0xE5); break;
    default: break;  // acknowledgements, delay steps and unknown codes get no reply
  }
}

TTraceSpec TRadarSimEngine::TraceSpecLocked(uint32_t index) const {
  TTraceSpec spec;
  spec.Firmware = config_.Firmware;
  spec.Format = config_.Format;
  spec.Index = index;
  spec.Samples = config_.SamplesPerTrace > 0 ? config_.SamplesPerTrace : windowCodes_;
  spec.Nmea = config_.Nmea;
  spec.Collision = config_.CollisionOf ? config_.CollisionOf(index) : 1;
  spec.Accelerometer = config_.AccelerometerOf
                           ? config_.AccelerometerOf(index)
                           : std::array<int16_t, 4>{static_cast<int16_t>(index % 100), -3, 7,
                                                    static_cast<int16_t>(-static_cast<int>(index % 50))};
  spec.SpeedLimit = static_cast<uint8_t>(index % 7);
  return spec;
}

TTraceSpec TRadarSimEngine::TraceSpecOf(uint32_t index) const {
  std::lock_guard guard(lock_);
  return TraceSpecLocked(index);
}

std::vector<TOutChunk> TRadarSimEngine::TakeOutput(TSimClock::time_point now) {
  std::lock_guard guard(lock_);
  std::vector<TOutChunk> out;
  // In order: a reply still held keeps back everything behind it.
  size_t due = 0;
  while (due < pending_.size() && pending_[due].Due <= now) {
    if (pending_[due].Reply) --owed_;
    out.push_back(std::move(pending_[due].Chunk));
    ++due;
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(due));
  if (!pending_.empty()) {
    if (!out.empty()) Changed();
    return out;
  }
  const auto interval = std::chrono::milliseconds(std::max(config_.TraceIntervalMs, 1));
  while (streaming_ && !silent_ && now >= nextTrace_) {
    if (config_.TraceLimit != 0 && streamedThisRun_ >= config_.TraceLimit) {
      streaming_ = false;
      break;
    }
    const uint32_t index = nextIndex_++;
    TBytes packet = EncodeTrace(TraceSpecLocked(index));
    if (corruptNext_ > 0) {
      --corruptNext_;
      packet.back() ^= 0x5A;
      corrupted_.push_back(index);
    }
    if (!garbage_.empty()) out.push_back({garbage_, 0});
    if (split_ && packet.size() > 1) {
      const size_t at = 1 + splitCount_++ % (packet.size() - 1);
      out.push_back({TBytes(packet.begin(), packet.begin() + static_cast<std::ptrdiff_t>(at)), splitPause_});
      out.push_back({TBytes(packet.begin() + static_cast<std::ptrdiff_t>(at), packet.end()), 0});
    } else {
      out.push_back({std::move(packet), 0});
    }
    ++tracesSent_;
    ++streamedThisRun_;
    nextTrace_ += interval;
    // A unit that fell far behind (a stalled link) does not burst to catch up.
    if (now - nextTrace_ > 20 * interval) nextTrace_ = now;
  }
  if (!out.empty()) Changed();
  return out;
}

void TRadarSimEngine::Configure(const std::function<void(TSimConfig&)>& change) {
  std::lock_guard guard(lock_);
  change(config_);
}

void TRadarSimEngine::InjectBytes(TBytes bytes) {
  std::lock_guard guard(lock_);
  pending_.push_back({{std::move(bytes), 0}, TSimClock::time_point{}, false});
}

void TRadarSimEngine::TurnWheel(int count, bool backward) {
  std::lock_guard guard(lock_);
  for (int i = 0; i < count; ++i) {
    const TBytes report = EncodeFrame(0x84, TBytes{wheelTick_++, backward ? uint8_t{1} : uint8_t{0}});
    pending_.push_back({{report, 0}, TSimClock::time_point{}, false});
  }
  Changed();
}

void TRadarSimEngine::SetGarbageBeforeTraces(TBytes bytes) {
  std::lock_guard guard(lock_);
  garbage_ = std::move(bytes);
}

void TRadarSimEngine::CorruptNextTraces(int n) {
  std::lock_guard guard(lock_);
  corruptNext_ = n;
}

void TRadarSimEngine::SplitTracesAtEveryPosition(bool on, int pauseMs) {
  std::lock_guard guard(lock_);
  split_ = on;
  splitPause_ = pauseMs;
  splitCount_ = 0;
}

void TRadarSimEngine::SetSilent(bool silent) {
  std::lock_guard guard(lock_);
  silent_ = silent;
  if (!silent) nextTrace_ = TSimClock::now();
}

void TRadarSimEngine::StartStreaming() {
  std::lock_guard guard(lock_);
  streaming_ = true;
  streamedThisRun_ = 0;
  nextTrace_ = TSimClock::now();
}

std::vector<TSimCommand> TRadarSimEngine::Received() const {
  std::lock_guard guard(lock_);
  return received_;
}

std::vector<uint8_t> TRadarSimEngine::ReceivedCodes() const {
  std::lock_guard guard(lock_);
  std::vector<uint8_t> codes;
  for (const TSimCommand& c : received_) codes.push_back(c.Code);
  return codes;
}

size_t TRadarSimEngine::CountReceived(uint8_t code) const {
  std::lock_guard guard(lock_);
  return static_cast<size_t>(
      std::count_if(received_.begin(), received_.end(), [code](const TSimCommand& c) { return c.Code == code; }));
}

std::vector<uint8_t> TRadarSimEngine::Acks() const {
  std::lock_guard guard(lock_);
  std::vector<uint8_t> acks;
  for (const TSimCommand& c : received_)
    if (c.Code == 0x91 && c.Params.size() == 1) acks.push_back(c.Params[0]);
  return acks;
}

std::vector<int8_t> TRadarSimEngine::DelaySteps() const {
  std::lock_guard guard(lock_);
  std::vector<int8_t> steps;
  for (const TSimCommand& c : received_)
    if (c.Code == 0xCF && !c.Params.empty()) steps.push_back(static_cast<int8_t>(c.Params[0]));
  return steps;
}

int TRadarSimEngine::OwedReplies() const {
  std::lock_guard guard(lock_);
  return owed_;
}

int TRadarSimEngine::MostOwedReplies() const {
  std::lock_guard guard(lock_);
  return mostOwed_;
}

uint32_t TRadarSimEngine::TracesSent() const {
  std::lock_guard guard(lock_);
  return tracesSent_;
}

std::vector<uint32_t> TRadarSimEngine::CorruptedTraces() const {
  std::lock_guard guard(lock_);
  return corrupted_;
}

bool TRadarSimEngine::Streaming() const {
  std::lock_guard guard(lock_);
  return streaming_;
}

int TRadarSimEngine::SamplesPerTrace() const {
  std::lock_guard guard(lock_);
  return config_.SamplesPerTrace > 0 ? config_.SamplesPerTrace : windowCodes_;
}

TSimConfig TRadarSimEngine::Config() const {
  std::lock_guard guard(lock_);
  return config_;
}

bool TRadarSimEngine::WaitUntil(const std::function<bool(const TRadarSimEngine&)>& condition,
                                std::chrono::milliseconds limit) const {
  const auto deadline = TSimClock::now() + limit;
  std::unique_lock guard(lock_);
  for (;;) {
    guard.unlock();
    if (condition(*this)) return true;
    guard.lock();
    if (TSimClock::now() >= deadline) return false;
    changed_.wait_for(guard, std::chrono::milliseconds(5));
  }
}

}  // namespace radarsim
