#include "tests/radar/radar_test_support.h"

#include "profiledata/setting_data.h"

#include <QFile>

#include <bit>

TBytesBuilder& TBytesBuilder::Le64(double v) {
  const auto bits = std::bit_cast<uint64_t>(v);
  for (int i = 0; i < 8; ++i) U8(static_cast<unsigned>(bits >> (8 * i)));
  return *this;
}

TBytes FrameWithLength(uint8_t code, const TBytes& params, uint16_t length) {
  TBytes out = {'Q', 'E', 'L', '3', static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length), code};
  uint8_t checksum = code;
  for (uint8_t b : params) {
    out.push_back(b);
    checksum ^= b;
  }
  out.push_back(checksum);
  return out;
}

TBytes Frame(uint8_t code, const TBytes& params) {
  return FrameWithLength(code, params, static_cast<uint16_t>(params.size() + 2));
}

// ---- TFakeRadar --------------------------------------------------------------------------

void TFakeRadar::QueuePacket(std::span<const uint8_t> packet) {
  QueueWiFiPacket(packet);
  TBytes copy(packet.begin(), packet.end());
  {
    std::lock_guard guard(sentLock_);
    sent_.push_back(copy);
  }
  if (onQueued) onQueued(copy);
}

std::vector<TBytes> TFakeRadar::Sent() const {
  std::lock_guard guard(sentLock_);
  return sent_;
}

std::vector<uint8_t> TFakeRadar::SentCodes() const {
  std::vector<uint8_t> codes;
  for (const TBytes& packet : Sent()) codes.push_back(packet.size() > 6 ? packet[6] : 0);
  return codes;
}

TReplyWaitEnd TFakeRadar::InjectReply(const TBytes& frame) {
  AppendReceived(frame);
  return EndReplyWait(frame[6]);
}

// ---- Fakes of the neighbours ------------------------------------------------------------------

TFakeRadarShell::TFakeRadarShell() {
  window = AllocateHWnd([this](TMessage& message) { messages.push_back(message); });
}

TFakeRadarShell::~TFakeRadarShell() { DeallocateHWnd(window); }

void TFakeRadarShell::SetResultCheckingTCP(std::unique_ptr<TResultCheckingTCP> result) {
  probeResult = std::move(result);
}

std::vector<TMessage> TFakeRadarShell::Messages(UINT msg) const {
  std::vector<TMessage> out;
  for (const TMessage& m : messages)
    if (m.Msg == msg) out.push_back(m);
  return out;
}

TFakeRadarShell::TWindow::TWindow() {
  window = AllocateHWnd([this](TMessage& message) { messages.push_back(message); });
}

TFakeRadarShell::TWindow::~TWindow() { DeallocateHWnd(window); }

std::vector<TMessage> TFakeRadarShell::TWindow::Messages(UINT msg) const {
  std::vector<TMessage> out;
  for (const TMessage& m : messages)
    if (m.Msg == msg) out.push_back(m);
  return out;
}

TTraceStored TFakeRecordingWindow::PaintLastTrace(const TTraceHandOver& trace) {
  TCall call;
  call.Radar = &trace.Radar;
  call.NumCollision = trace.NumCollision;
  call.Direction = trace.Direction;
  call.NumCollisionWiFi = trace.NumCollisionWiFi;
  std::copy_n(trace.Samples.begin(), std::min(trace.Samples.size(), call.Samples.size()), call.Samples.begin());
  call.Thread = std::this_thread::get_id();
  std::lock_guard guard(lock_);
  calls_.push_back(call);
  return Unchanged(trace);
}

std::vector<TFakeRecordingWindow::TCall> TFakeRecordingWindow::Calls() const {
  std::lock_guard guard(lock_);
  return calls_;
}

size_t TFakeRecordingWindow::Count() const {
  std::lock_guard guard(lock_);
  return calls_.size();
}

void TParserUnderTest::Feed(const TBytes& bytes) {
  Owner()->AppendReceived(bytes);
  ParseHeldPackets();
}

bool TFakeRadarSet::isSlaveRunEnded() {
  for (const auto& slot : slotRadars) {
    TRadar* radar = slot.load();
    std::lock_guard guard(sect);
    if (radar && radar->ModeRadar() == TRadarRole::slave && radar->FRun) return false;
  }
  return true;
}

bool TFakeRadarSet::InChannelSet(const TRadar& radar) const {
  for (const TRadar* member : channelSet) {
    if (member == &radar) return true;
  }
  return false;
}

QStringList ReadLogLines(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QStringList lines = QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"));
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  return lines;
}

bool LogContains(const QString& fileName, const QString& text) {
  for (const QString& line : ReadLogLines(fileName)) {
    if (line.contains(text)) return true;
  }
  return false;
}

// ---- TFakeSetWindow ------------------------------------------------------------------------

TFakeSetWindow::TFakeSetWindow() = default;

TFakeSetWindow::~TFakeSetWindow() {
  for (TSettingData* channel : channels_) {
    if (channel) channel->Free();
  }
}

TSettingData& TFakeSetWindow::AddChannel(int slot) {
  TSettingData*& channel = channels_.at(static_cast<size_t>(slot));
  if (!channel) channel = new TSettingData(nullptr);
  return *channel;
}

TSettingData* TFakeSetWindow::ChannelSettings(int slot) const {
  return slot >= 0 && slot < 5 ? channels_[static_cast<size_t>(slot)] : nullptr;
}

TFakeRadar* NewAnsweringRadar(const QString& name, uint8_t mode, uint16_t serial, uint8_t channel) {
  auto* radar = new TFakeRadar;
  radar->OpenLog(name);
  radar->strComNumber = name;
  radar->SetModeRadar(static_cast<TRadarRole>(mode));
  radar->SetSerNum(serial);
  radar->SetNumChannalRadar(channel);
  radar->onQueued = [radar](const TBytes& packet) { radar->EndReplyWait(static_cast<uint8_t>(packet[6] + 1)); };
  return radar;
}
