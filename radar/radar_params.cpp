// The acquisition parameters a radar sends: the load-data, stacking-curve and
// file-header blocks, and their re-send when the channel settings change.

#include "radar/radar.h"

#include "platform/rtl/date_time.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/rounding.h"
#include "platform/ui/threads.h"
#include "profiledata/setting_data.h"
#include "radar/command_blocks.h"
#include "radar/packet_codes.h"
#include "radar/radar_hooks.h"

#include <QFile>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

TSettingData* ActiveChannelOf(const TRadar& radar) {
  const IRadarUnitShell* shell = radar.Shell().Unit;
  return shell ? shell->ActiveChannelFor(radar) : nullptr;
}

// The settings container the file header carries: "bstt" in the program folder.
QByteArray ReadSettingsContainer() {
  QFile file(ProgramFolder() + QStringLiteral("bstt"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace

void TRadar::LoadDataBlock(TPacketWriter& packet) {
  const IAcquisitionFlags* shell = shell_.Flags;
  const TSettingData* channel = ActiveChannelOf(*this);
  const bool preferencesExist = shell && shell->PreferencesDialogExists();
  // The preferences dialog shows raw traces of its own rate: no stacking, every pulse.
  const bool preferencesVisible = shell && shell->PreferencesDialogVisible();

  TLoadDataBlock block;
  block.PcTime = Now();
  block.ShiftSlowRamp = ShiftSlowRamp();
  uint8_t overStep = 2;
  uint8_t spanIndex = 1;
  int32_t longTrace = block.WindowCount;
  TTopoType topoType = ttNil;
  if (channel) {
    block.Stacking = preferencesVisible ? 10 : channel->GetStacking();
    block.WheelMult = preferencesVisible ? 1 : channel->GetWheelMult();
    block.DistanceSource = LoadDataDistanceSource(channel->GetTopoType());
    overStep = std::max<uint8_t>(channel->GetOverStep(), 1);
    spanIndex = std::min<uint8_t>(channel->GetSpanIndex(), 3);
    block.WindowCount = static_cast<int>(Round(1000.0L / overStep));
    block.WindowStep = WindowStep(UnitParams(RadarType()).Coef[spanIndex], overStep);
    longTrace = channel->GetLongTrace();
    topoType = channel->GetTopoType();
  } else {
    block.DistanceSource = preferencesExist ? 1 : 0;
    if (preferencesExist) {
      const IAcquisitionShell* program = AcquisitionShell();
      topoType = program ? program->CurrentTopoType() : ttNil;
    }
  }
  AppendLoadDataBlock(packet, block);

  Stacking = block.Stacking;
  WheelMult = block.WheelMult;
  TopoType = topoType;
  OverStep = overStep;
  LengthLastArray = longTrace;
  SpanIndex = spanIndex;
  FPcLoading = block.PcTime;
  if (shell_.Unit) shell_.Unit->SetPCLoading(block.PcTime);
}

void TRadar::LoadSteckingCurve(TPacketWriter& packet) {
  if (const TSettingData* channel = ActiveChannelOf(*this)) {
    const size_t runs = std::min<size_t>(channel->GetSteckingLength(), channel->SteckingArray.size());
    AppendSteckingCurveBlock(packet, std::span(channel->SteckingArray).first(runs));
    return;
  }
  const TSteckingRun entry = DefaultSteckingEntry;
  AppendSteckingCurveBlock(packet, std::span(&entry, 1));
}

void TRadar::LoadFileHeader(TPacketWriter& packet) {
  const QByteArray file = ReadSettingsContainer();
  AppendFileHeaderBlock(packet, std::span(reinterpret_cast<const uint8_t*>(file.constData()),
                                          static_cast<size_t>(file.size())));
}

// ---- Parameter re-send -------------------------------------------------------------------

void TRadar::SetPcLoading(double) {
  FPcLoading = PcLoadingNotLoaded;
  if (IsMainThread()) {
    ResendParameters();
    return;
  }
  // The restart sends commands that wait for replies, which this (reader) thread
  // would have to decode itself; the user-interface thread does it instead.
  TThread::ForceQueue(nullptr, [this, alive = LifeToken()] {
    if (*alive) ResendParameters();
  });
}

void TRadar::ResendParameters() {
  const IRadarSetView* set = RadarSetView();
  if (!set || !set->InChannelSet(*this)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return;
  }
  if (!Runing() || !NotBlocked) return;
  const TSettingData* channel = ActiveChannelOf(*this);
  if (!channel) return;  // no active window of this radar: nothing to restart with
  const std::shared_ptr<const std::atomic<bool>> alive = alive_;
  NotBlocked = false;
  const uint8_t runMode = channel->GetRunMode();
  SendCommand(bcpStop, 0, nullptr);
  if (!*alive) return;
  // The wait served messages: the window may have gone with its channel.
  if ((channel = ActiveChannelOf(*this))) {
    const double range = static_cast<double>(channel->GetStacking()) * 131071.0;
    if (shell_.Unit) shell_.Unit->SetAmpChartRange(-range, range);
  }
  SendCommand(bcpLoadData, 0, nullptr);
  if (!*alive) return;
  SendCommand(bcpStart, 1, &runMode);
  if (!*alive) return;
  NotBlocked = true;
}
