// Creation of the radars of a set: the query sequences that learn each unit's
// identity and place in the set, and the slot of its channel.

#include "radar/active_radar.h"

#include "platform/ui/application.h"
#include "radar/packet_codes.h"
#include "radar/parent_thread.h"
#include "radar/radar.h"
#include "radar/radar_hooks.h"
#include "radar/radar_link_state.h"
#include "radar/radar_set_param_reserving.h"
#include "radar/radar_usb.h"
#include "radar/radar_w.h"
#include "radar/tcp_probe.h"
#include "radar/wifi_thread.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>
#include <vector>

namespace {

// The channel number of a radar whose place in the set is not known yet.
constexpr uint8_t kNoChannel = 255;
constexpr int kChannelChecks = 100;
constexpr int kChannelCheckMs = 5;
constexpr std::array<uint8_t, 3> kEepromStorageParams = {0x00, 0x04, 0x00};

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Sends the commands one after the other (each after the reply to the one before);
// false when the radar went while a send served messages.
bool SendAll(TRadar& radar, std::initializer_list<uint8_t> codes) {
  const std::shared_ptr<const std::atomic<bool>> alive = radar.LifeToken();
  for (uint8_t code : codes) {
    if (code == bcpGetEepromStorage) {
      radar.SendCommand(code, static_cast<uint8_t>(kEepromStorageParams.size()), kEepromStorageParams.data());
    } else {
      radar.SendCommand(code, 0, nullptr);
    }
    if (!*alive) return false;
  }
  return true;
}

// The queries a TCP radar shares from the mode on: one unit alone on its link.
bool QueryTcpPlace(TRadar& radar, IAcquisitionFlags* flags) {
  radar.SetModeRadar(TRadarRole::single);
  Pause(100);
  radar.SetCountRadarInArray(1);
  if (flags) flags->SetCountRadarFromMaster(1);
  radar.SetModeRadar(TRadarRole::single);
  radar.SetNumChannalRadar(kNoChannel);
  return SendAll(radar, {bcpGetMasterSlaveStt, bcpGetMaxPerfomace, bcpGetEepromStorage, bcpPing2});
}

}  // namespace

TActiveRadar::TActiveRadar(TControlRadar* controlRadar) : controlRadar_(controlRadar) {}

TActiveRadar::~TActiveRadar() { RadarFree(); }

void TActiveRadar::RadarFree() {
  std::vector<TRadar*> radars;
  for (int k = 0; k < MaxCountChannal; ++k) {
    TRadar* radar = SlotRadar(k);
    if (radar && std::find(radars.begin(), radars.end(), radar) == radars.end()) radars.push_back(radar);
  }
  // Every reader ends first: a master's reader may still hand a trace to a slave.
  for (TRadar* radar : radars) {
    if (TParentThread* reader = radar->GetCommThread()) StopReaderThread(*reader, ReaderStopLimit);
  }
  {
    std::lock_guard guard(RadarSect);
    RadarNil();
  }
  if (controlRadar_) controlRadar_->RadarNil();
  if (Shell().Set) Shell().Set->SetCurrentRadar(nullptr);
  for (TRadar* radar : radars) radar->Free();
}

void TActiveRadar::FreeRadar(TRadar* radar) {
  if (!radar) return;
  {
    std::lock_guard guard(RadarSect);
    RemoveRadar(radar);
  }
  if (controlRadar_) controlRadar_->RemoveRadar(radar);
  IRadarSetShell* shell = Shell().Set;
  if (shell && shell->CurrentRadar() == radar) shell->SetCurrentRadar(SlotRadar(0));
  radar->Free();
}

void TActiveRadar::RadarAddToChannal(TRadar*& NewRadar) {
  if (!NewRadar) return;
  RemoveRadar(NewRadar);
  const uint8_t channel = NewRadar->NumChannalRadar();
  if (channel < MaxCountChannal && !SlotRadar(channel)) {
    SetSlot(channel, NewRadar);
    UpdateActive();
    return;
  }
  // A channel that is taken already, or none of the set's: the later radar goes.
  FreeRadar(NewRadar);
  NewRadar = nullptr;
}

bool TActiveRadar::CreateRadar(const QString& strComNumberIn) {
  WiFiTracesLost = false;
  MasterHandOverRunning = false;
  IRadarSetShell* shell = Shell().Set;
  const bool tcp = strComNumberIn == WiFiRadarName || strComNumberIn == RaspRadarName;
  const QString comNumber = tcp ? TcpRadarComNumber : strComNumberIn;
  if (tcp && shell) shell->SetStrComNumber(TcpRadarComNumber);
  if (isPresentComNumber(comNumber)) return true;

  bool opened = false;
  TRadar* created = nullptr;
  if (strComNumberIn == WiFiRadarName) {
    created = CreateWiFiRadar(opened);
  } else if (strComNumberIn == RaspRadarName) {
    created = CreateRaspRadar(opened);
  } else {
    created = CreateUSBRadar(strComNumberIn, opened);
  }
  if (!opened) return false;

  const std::shared_ptr<const std::atomic<bool>> alive = created ? created->LifeToken() : nullptr;
  if (Application) Application->ProcessMessages();
  if (alive && !*alive) created = nullptr;
  TRadar* current = SlotRadar(0) ? SlotRadar(0) : created;
  if (shell) shell->SetCurrentRadar(current);
  if (TRadar* logOn = created ? created : current)
    logOn->WriteStrToLog((tcp ? QStringLiteral("Create WiFiRadar: ") : QStringLiteral("Create USBRadar: ")) +
                         comNumber);
  return true;
}

void TActiveRadar::ApplySingleMasterRule(TRadar& radar) {
  if (radar.ModeRadar() == TRadarRole::single) {
    radar.SetNumChannalRadar(0);
  } else if (radar.ModeRadar() == TRadarRole::master) {
    if (Shell().Flags) Shell().Flags->SetCountRadarFromMaster(radar.CountRadarInArray());
  }
}

TRadar* TActiveRadar::CreateUSBRadar(const QString& strComNumberIn, bool& opened) {
  TRadar* radar = new TRadarUsb(nullptr, strComNumberIn);
  opened = radar->f != -1;
  if (!opened) {
    radar->Free();
    return nullptr;
  }
  RadarAdd(radar);
  radar->ready = true;
  // A unit still streaming from an earlier session stops first; its last traces
  // drain during the pause.
  if (!SendAll(*radar, {bcpStop, bcpStop})) return nullptr;
  Pause(600);
  if (!SendAll(*radar, {bcpReadSerNum, bcpPing2, bcpGetVersion, bcpGetSlowRamp, bcpGetMaxPerfomace})) return nullptr;

  radar->SetModeRadar(TRadarRole::single);
  radar->SetNumChannalRadar(kNoChannel);
  if (!SendAll(*radar, {bcpGetMasterSlaveStt, bcpGetEepromStorage, bcpGetPerfomanceDelay, bcpPing2})) return nullptr;
  // The channel comes with the reply to the channel query (or its expiry), on the
  // reader thread.
  int checks = 0;
  while (radar->NumChannalRadar() == kNoChannel && checks < kChannelChecks) {
    Pause(kChannelCheckMs);
    ++checks;
  }
  const QString waited = QString::number(kChannelCheckMs * checks);
  if (radar->NumChannalRadar() == kNoChannel) {
    radar->WriteStrToLog(QStringLiteral("Error: No return NumChannalRadar Time Out=") + waited + QStringLiteral("ms"));
    radar->SetNumChannalRadar(0);
    radar->SetCountRadarInArray(1);
  } else {
    radar->WriteStrToLog(QStringLiteral("NumChannalRadar=") + QString::number(radar->NumChannalRadar()) +
                         QStringLiteral(" Time=") + waited + QStringLiteral("ms"));
  }

  if (!SendAll(*radar, {bcpGetMSmode, bcpPing2})) return nullptr;
  ApplySingleMasterRule(*radar);
  RadarAddToChannal(radar);
  return radar;
}

TRadar* TActiveRadar::NewTcpRadar() {
  const ITcpLinkShell* tcp = Shell().Tcp;
  auto* radar = new TRadarW(nullptr, tcp ? tcp->WiFiAddress() : QString(), tcp ? tcp->WiFiPort() : 0);
  // The connection is the probe's: without one there is no radar to talk to.
  if (!radar->WiFiThreadOf() || !radar->WiFiThreadOf()->HasClient()) {
    radar->Free();
    return nullptr;
  }
  return radar;
}

TRadar* TActiveRadar::CreateWiFiRadar(bool& opened) {
  TRadar* radar = NewTcpRadar();
  opened = radar != nullptr;
  if (!radar) return nullptr;
  RadarAdd(radar);
  radar->ready = true;
  if (!SendAll(*radar, {bcpStop, bcpStop, bcpReadSerNum, bcpPing2, bcpGetVersion, bcpGetSlowRamp})) return nullptr;
  if (!QueryTcpPlace(*radar, Shell().Flags)) return nullptr;
  ApplySingleMasterRule(*radar);
  RadarAddToChannal(radar);
  return radar;
}

TRadar* TActiveRadar::CreateRaspRadar(bool& opened) {
  TRadar* radar = NewTcpRadar();
  opened = radar != nullptr;
  if (!radar) return nullptr;
  RadarAdd(radar);
  const ITcpLinkShell* tcp = Shell().Tcp;
  const TResultCheckingTCP* probe = tcp ? tcp->ResultCheckingTCP() : nullptr;
  const TRadarParamReserving* saved = tcp ? tcp->ReserverRadarParam() : nullptr;
  IRadarSetWindow* window = CurrentWindow();
  // The unit still records what the lost connection interrupted: it keeps that
  // recording's parameters, and asking it would disturb the recording.
  const bool resumes = probe && saved && window && probe->RadarStatus == crsInPprogress &&
                       probe->TimeStampValue() == tcp->PCLoading();
  if (resumes) {
    saved->RestoreParam(*radar);
    SetTypeGPRDevice(saved->ReservTypeGPRDevice);
    SetSerNumDevice(saved->ReservSerNumDevice);
    if (controlRadar_) {
      controlRadar_->SetTypeGPRDevice(saved->ReservTypeGPRDevice);
      controlRadar_->SetSerNumDevice(saved->ReservSerNumDevice);
    }
    ApplySingleMasterRule(*radar);
    radar->ready = true;
    window->SetCountChannalView(NewViewChannalCount);
  } else {
    radar->ready = true;
    if (!SendAll(*radar, {bcpGetStatus, bcpReadSerNum, bcpPing2, bcpGetVersion, bcpGetSlowRamp})) return nullptr;
    if (!QueryTcpPlace(*radar, Shell().Flags)) return nullptr;
    ApplySingleMasterRule(*radar);
  }
  RadarAddToChannal(radar);
  return radar;
}
