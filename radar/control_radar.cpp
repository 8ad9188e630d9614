#include "radar/control_radar.h"

#include "platform/rtl/ansi.h"
#include "profiledata/setting_data.h"
#include "radar/radar.h"
#include "radar/radar_hooks.h"
#include "radar/radar_link_state.h"

#include <chrono>
#include <thread>

std::array<uint16_t, MaxCountChannal> ArChannalSerNum{};

bool IsMultiChannelGPRDevice(uint8_t aTypeGPRDevice) {
  const uint8_t type = aTypeGPRDevice & 0x7F;
  return (type >= tdBox01 && type <= tdBox07) || type == tdBox17;
}

namespace {

QString DeviceNameOf(TTypeGPRDevice type) { return AnsiToString(QByteArray(DeviceParams(type).DeviceName)); }

}  // namespace

TControlRadar::TControlRadar() {
  MasterDirection = dForward;
  SetLastNmeaSentence(QString());
}

TControlRadar::~TControlRadar() { RadarNil(); }

bool TControlRadar::CreateRadar(const QString& strComNumberIn) {
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  TRadar* first = SlotRadar(0);
  if (shell_.Set) shell_.Set->SetCurrentRadar(first);
  if (first) first->WriteStrToLog(QStringLiteral("Create USBRadar: ") + strComNumberIn);
  return true;
}

// ---- Slots ------------------------------------------------------------------------------

TRadar* TControlRadar::SlotRadar(int slot) const {
  return slot >= 0 && slot < MaxCountChannal ? arRadar[static_cast<size_t>(slot)].load() : nullptr;
}

void TControlRadar::SetSlot(int slot, TRadar* radar) {
  if (slot >= 0 && slot < MaxCountChannal) arRadar[static_cast<size_t>(slot)] = radar;
}

void TControlRadar::RadarNil() {
  for (auto& slot : arRadar) slot = nullptr;
  UpdateActive();
}

void TControlRadar::RadarAdd(TRadar* NewRadar) {
  if (!NewRadar || isPresentRadar(NewRadar)) return;
  for (auto& slot : arRadar) {
    if (!slot.load()) {
      slot = NewRadar;
      break;
    }
  }
  UpdateActive();
}

void TControlRadar::AddRadarToChanal(int Channal, TRadar* SetRadar) {
  if (Channal >= 0 && Channal < MaxCountChannal) {
    SetSlot(Channal, SetRadar);
    if (SetRadar)
      SetRadar->WriteStrToLog(QStringLiteral("Add USBRadar : ") + QString::number(SetRadar->SerNum()) +
                              QStringLiteral(" channal: ") + QString::number(Channal));
  }
  UpdateActive();
}

void TControlRadar::RemoveRadar(const TRadar* radar) {
  for (auto& slot : arRadar) {
    if (slot.load() == radar) slot = nullptr;
  }
  UpdateActive();
}

// ---- Queries ----------------------------------------------------------------------------

bool TControlRadar::isPresentRadar(const TRadar* NewRadar) const { return GetIndexRadar(NewRadar) >= 0; }

bool TControlRadar::isPresentComNumber(const QString& strComNumberIn) const {
  for (const auto& slot : arRadar) {
    const TRadar* radar = slot.load();
    if (radar && radar->strComNumber == strComNumberIn) return true;
  }
  return false;
}

int TControlRadar::GetCountPluginRadars() const {
  int count = 0;
  for (const auto& slot : arRadar) count += slot.load() ? 1 : 0;
  return count;
}

bool TControlRadar::isPresentRadarNotNil() const { return GetPresentRadarNotNil() != nullptr; }

TRadar* TControlRadar::GetPresentRadarNotNil() const {
  for (const auto& slot : arRadar) {
    if (TRadar* radar = slot.load()) return radar;
  }
  return nullptr;
}

int TControlRadar::GetIndexRadar(const TRadar* SearchRadar) const {
  if (!SearchRadar) return -1;
  for (int k = 0; k < MaxCountChannal; ++k) {
    if (SlotRadar(k) == SearchRadar) return k;
  }
  return -1;
}

TRadar* TControlRadar::GetRadarByIndex(int indx) const {
  const IAcquisitionFlags* flags = shell_.Flags;
  if (flags && (flags->CheckDeviceRunning() || flags->DeleteDeviceRunning())) return nullptr;
  return SlotRadar(indx);
}

TRadar* TControlRadar::GetRadarByIdTimer(uint32_t id) const {
  if (id == 0) return nullptr;
  for (const auto& slot : arRadar) {
    TRadar* radar = slot.load();
    if (radar && radar->TimerId == id) return radar;
  }
  return nullptr;
}

TRadar* TControlRadar::GetMasterRadar() const { return SlotRadar(FMasterChannal); }

bool TControlRadar::isSlaveRunEnded() {
  for (const auto& slot : arRadar) {
    const TRadar* radar = slot.load();
    if (!radar || radar->ModeRadar() != TRadarRole::slave) continue;
    std::lock_guard guard(RadarSect);
    if (radar->FRun) return false;
  }
  return true;
}

void TControlRadar::ClearRadarLoading() {
  for (const auto& slot : arRadar) {
    if (TRadar* radar = slot.load()) radar->SetRadarLoading(0);
  }
}

void TControlRadar::SetAllRadarsToStopMode() {
  for (const auto& slot : arRadar) {
    if (TRadar* radar = slot.load()) radar->SetCurMode(cmStop);
  }
}

// ---- Status text and the radargram window ---------------------------------------------------

QString TControlRadar::GetListRadar() const {
  if (!CompleteList()) return {};
  const TRadar* first = SlotRadar(0);
  if (IsMultiChannelGPRDevice(TypeGPRDevice())) {
    if (!first) return {};
    return first->SerNum() != 0 ? DeviceNameOf(TypeGPRDevice()) : first->RadarTypeStr();
  }
  if (GetCountPluginRadars() != 1) return DeviceNameOf(TypeGPRDevice());
  return first ? first->RadarTypeStr() : QString();
}

bool TControlRadar::isEqualRadarTypeAndView() const {
  const IRadarSetWindow* window = CurrentWindow();
  if (!window) return true;
  for (int k = 0; k < MaxCountChannal; ++k) {
    const TSettingData* channel = window->ChannelSettings(k);
    const TRadar* radar = SlotRadar(k);
    if (channel && radar && channel->GetTypeGPR() != radar->RadarType()) return false;
  }
  return true;
}

void TControlRadar::SetEqualRadarTypeAndView() {
  const IRadarSetWindow* window = CurrentWindow();
  if (!window) return;
  for (int k = 0; k < MaxCountChannal; ++k) {
    TSettingData* channel = window->ChannelSettings(k);
    const TRadar* radar = SlotRadar(k);
    if (channel && radar && channel->GetTypeGPR() != radar->RadarType()) channel->SetTypeGPR(radar->RadarType());
  }
}

void TControlRadar::CreateXYZOffsetFromRadar() {
  IRadarSetWindow* window = CurrentWindow();
  if (!window) return;
  if (GetCountPluginRadars() < 2 && !IsMultiChannelGPRDevice(TypeGPRDevice())) return;
  window->SetDeviceBox(TypeGPRDevice(), SerNumDevice());
  const TSettingData* first = window->ChannelSettings(0);
  for (int k = 0; k < MaxCountChannal; ++k) {
    const TRadar* radar = SlotRadar(k);
    TSettingData* channel = window->ChannelSettings(k);
    if (!radar || !channel) continue;
    channel->SetStartXShift(radar->Xshift());
    channel->SetStartYShift(radar->Yshift());
    // Every antenna of a box tilts with the box: the slaves take channel 0's angle.
    if (k > 0 && first) channel->SetAngle(first->GetAngle());
  }
}
