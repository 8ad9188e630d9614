// The effect of every reply and report, on the reader thread: one handler per code
// in a table.
//
// A reply to the awaited command stops its timer first (TAnswer's construction) and
// clears TimerId only after its effects and log line (TAnswer's end): the sender
// waiting for it then finds the values in place when it goes on.

#include "platform/rtl/ini_files.h"
#include "profiledata/setting_data.h"
#include "radar/gps_state.h"
#include "radar/packet_codes.h"
#include "radar/parent_thread.h"
#include "radar/radar.h"
#include "radar/radar_hooks.h"
#include "radar/radar_link_state.h"
#include "radar/radar_messages.h"
#include "radar/radar_w.h"
#include "radar/replies.h"

#include <algorithm>
#include <array>

namespace {

// One packet on its way through its handler.
struct TReply {
  TParentThread& Thread;
  TRadar& Radar;
  const TFrame& Frame;
  size_t StartPos;
  IRadarWindows* Windows;
  IAcquisitionFlags* Flags;
  uint8_t Code() const { return Frame.Code(); }
};

QString CurCmdName(const TRadar& radar) { return GetCommandName(radar.curCmd); }

void LogNotKilled(TRadar& radar, const QString& label) {
  radar.WriteStrToLog(CurCmdName(radar) + u'\t' + label + QStringLiteral(", Can not  kill timer# ") +
                      QString::number(radar.TimerId));
}

void LogOtherCommand(TRadar& radar, const QString& otherLabel) {
  radar.WriteStrToLog(otherLabel + QStringLiteral("\tcurCmd=") + CurCmdName(radar));
}

// How a reply meets the awaited command, for the life of its handler: constructed,
// it stops the reply timer of the command it answers; at its end it ends that wait.
class TAnswer {
public:
  TAnswer(const TReply& reply, bool timerMustRun) : radar_(reply.Radar) {
    End = radar_.StopReplyTimerFor(reply.Code(), timerMustRun, &id_);
  }
  ~TAnswer() {
    if (End == rwEnded) radar_.ReleaseReplyWait(id_);
  }
  TAnswer(const TAnswer&) = delete;
  TAnswer& operator=(const TAnswer&) = delete;

  bool Ended() const { return End == rwEnded; }
  // The usual lines: okText after the command's name and a tab (none when empty),
  // the label when the timer could not be stopped, and otherLabel (when given) for a
  // reply to another command.
  void Log(const QString& okText, const QString& label, const QString& otherLabel = {}) const {
    switch (End) {
      case rwEnded:
        if (!okText.isEmpty()) radar_.WriteStrToLog(CurCmdName(radar_) + u'\t' + okText);
        break;
      case rwTimerNotStopped: LogNotKilled(radar_, label); break;
      case rwOtherCommand:
        if (!otherLabel.isEmpty()) LogOtherCommand(radar_, otherLabel);
        break;
    }
  }

  TReplyWaitEnd End = rwOtherCommand;

private:
  TRadar& radar_;
  uint32_t id_ = 0;
};

void PostTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window) PostMessage(window, message, wParam, lParam);
}

HWND MainWindow(const IRadarWindows* windows) { return windows ? windows->MainWindowHandle() : nullptr; }
HWND CurrentChild(const IRadarWindows* windows) { return windows ? windows->CurrentChildHandle() : nullptr; }
HWND Preferences(const IRadarWindows* windows) { return windows ? windows->PreferencesDialogHandle() : nullptr; }

// The mode a started radar reports by the run mode and distance source of its channel.
std::optional<TCurMode> StartedMode(uint8_t runMode, TTopoType topoType) {
  switch (runMode) {
    case rmStep: return cmStep;
    case rmCont: return cmCont;
    case rmWheel:
      switch (topoType) {
        case ttWheel:
        case ttOdometerB: return cmWheel;
        case ttGPS: return cmGPS;
        case ttNil:
        case ttUnitWheelB: return std::nullopt;
        default: return cmBiDirectionalWheel;
      }
    default: return std::nullopt;
  }
}

void ApplyStartReply(TRadar& radar, const IRadarWindows* windows, const IAcquisitionFlags* flags) {
  const IRadarUnitShell* unit = radar.Shell().Unit;
  if (!unit || !CurrentChild(windows)) return;
  const TSettingData* channel = unit->ActiveChannelFor(radar);
  if (!channel) return;
  if (const std::optional<TCurMode> mode = StartedMode(channel->GetRunMode(), channel->GetTopoType()))
    radar.SetCurMode(*mode);
  if (!flags || !flags->PreferencesDialogExists() || flags->PreferencesDialogVisible()) return;
  const bool differs = channel->GetStacking() != radar.Stacking || channel->GetWheelMult() != radar.WheelMult ||
                       channel->GetTopoType() != radar.TopoType || channel->GetOverStep() != radar.OverStep ||
                       channel->GetSpanIndex() != radar.SpanIndex;
  // The preferences dialog loaded its own parameters: restart with the window's.
  if (differs) radar.SetPcLoading(PcLoadingNotLoaded);
}

// The calibration of the radar's inclinometer kept in the program's settings file
// under its serial number. User-interface thread.
void ReadInclinometerCalibration(TRadar& radar, uint16_t serial) {
  const IRadarUnitShell* shell = radar.Shell().Unit;
  const TCustomIniFile* ini = shell ? shell->MainIni() : nullptr;
  if (!ini) return;
  const QString section = QStringLiteral("Inclinometer") + QString::number(serial);
  radar.GXmax = ini->ReadFloat(section, QStringLiteral("MaxX"), 0);
  radar.GXmin = ini->ReadFloat(section, QStringLiteral("MinX"), 1000);
  radar.GYmax = ini->ReadFloat(section, QStringLiteral("MaxY"), 0);
  radar.GYmin = ini->ReadFloat(section, QStringLiteral("MinY"), 1000);
  radar.GZmax = ini->ReadFloat(section, QStringLiteral("MaxZ"), 0);
  radar.GZmin = ini->ReadFloat(section, QStringLiteral("MinZ"), 1000);
  const bool calibrated = radar.GXmax != 0 && radar.GYmax != 0 && radar.GZmax != 0;
  radar.CalibrationQuality = calibrated ? ini->ReadFloat(section, QStringLiteral("CalibrationQuality"), 0) : 0;
  radar.ZeroAngle = ini->ReadFloat(section, QStringLiteral("ZeroAngle"), 0);
}

void ApplyEepromStorage(TRadar& radar, const TFrame& frame) {
  const std::optional<TEepromStorage> box = DecodeEepromStorage(frame);
  if (!box) return;
  if (IRadarSetView* set = RadarSetView()) set->SetDeviceBox(box->DeviceType, box->DeviceSerial);
  radar.SetInclinometersSett(static_cast<TInclinometersSett>(box->InclinometersSett));
}

}  // namespace

// The handlers, one per reply or report code. A friend of the reader thread: some
// hand their packet on to its decoders.
struct TReplyHandlers {
  using THandler = void (*)(TReply&);
  static const std::array<THandler, 256>& Table();

  // ---- Replies that end a wait ----
  static void Version(TReply& r) {
    const TAnswer a(r, false);
    if (const std::optional<uint16_t> version = DecodeFirmwareVersion(r.Frame)) r.Radar.SetFirmwareVer(*version);
    a.Log(QStringLiteral("FirmwareVer=") + QString::number(r.Radar.FirmwareVer()), QStringLiteral("bcpOKGetVersion"));
  }
  static void LoadData(TReply& r) { TAnswer(r, false).Log(QStringLiteral("OK"), QStringLiteral("bcpOKLoadData")); }
  static void Start(TReply& r) {
    const TAnswer a(r, false);
    a.Log(QStringLiteral("OK"), QStringLiteral("bcpOKStart"), QStringLiteral("bcpOKStart"));
    // The unit runs from here until its stop reply: a change of the channel's scan
    // settings meanwhile restarts it (SetPcLoading).
    r.Radar.SetRuning(true);
    ApplyStartReply(r.Radar, r.Windows, r.Flags);
  }
  static void Stop(TReply& r) {
    const TAnswer a(r, false);
    if (a.End == rwEnded) r.Radar.WriteStrToLog(QStringLiteral("\tSTOP OK!!"));
    if (a.End == rwTimerNotStopped) LogNotKilled(r.Radar, QStringLiteral("bcpOKStop"));
    if (a.End == rwOtherCommand) LogOtherCommand(r.Radar, QStringLiteral("curCmd <> bcpStop"));
    r.Radar.SetRuning(false);
    r.Radar.SetCurMode(cmStop);
  }
  static void GpsData(TReply& r) {
    const TAnswer a(r, false);
    a.Log(QStringLiteral("OK"), QStringLiteral("bcpGetGPSData"));
    const QString text = DecodeGpsText(r.Frame);
    r.Thread.FCounterOn = 0;
    r.Thread.TakeNmeaText(text);
    r.Radar.SetLastNMEA(text);
    PostTo(CurrentChild(r.Windows), WM_GPSDATA, 0, 0);
  }
  static void SlowRamp(TReply& r) {
    const TAnswer a(r, false);
    if (const auto shift = DecodeSlowRamp(r.Frame)) r.Radar.SetShiftSlowRamp(*shift);
    a.Log(QStringLiteral("ShiftSlowRamp=") + QString::number(r.Radar.ShiftSlowRamp()),
          QStringLiteral("bcpOKGetSlowRamp"));
  }
  static void LoadNmeaConfig(TReply& r) {
    TAnswer(r, false).Log(QStringLiteral("OK"), QStringLiteral("bcpLoadNMEICfg"), QStringLiteral("bcpLoadNMEICfg"));
    // After the wait is over: this command waits for its own reply.
    r.Radar.SendCommand(bcpGetNMEICfg, 0, nullptr);
  }
  static void NmeaConfig(TReply& r) {
    const TAnswer a(r, false);
    a.Log(QStringLiteral("OK"), QStringLiteral("bcpGetNMEICfg"), QStringLiteral("bcpGetNMEICfg"));
    if (const auto config = DecodeNmeaConfig(r.Frame)) {
      r.Radar.NMEISpeed = config->SpeedIndex;
      std::lock_guard guard(r.Radar.SectPaint);
      r.Radar.NMEIString = config->SentenceName;
    }
  }
  static void Pong(TReply& r) {
    const TAnswer a(r, true);
    a.Log(QString(), QStringLiteral("bcpPong2"));
    const std::optional<TPong> pong = DecodePong(r.Frame);
    if (!pong) return;
    TRadar& radar = r.Radar;
    const double powerBefore = radar.Power();
    radar.SetRadarType(static_cast<TTypeGPR>(pong->RadarType));
    radar.SetValid(true);
    radar.SetPower(pong->Power);
    radar.SetRadarLoading(pong->RadarLoading);
    radar.SetMaxSpeedLimit(0);
    r.Thread.TakeNmeaText(pong->Nmea);
    radar.SetLastNMEA(pong->Nmea.size() > GpsMinSentenceLength ? pong->Nmea : QString());
    if (radar.ModeRadar() == TRadarRole::slave) return;
    PostTo(CurrentChild(r.Windows), WM_GPSDATA, 0, 0);
    PostTo(Preferences(r.Windows), WM_GPSDATA, 0, 0);
    if (radar.Power() != powerBefore) PostTo(MainWindow(r.Windows), WM_GPRSTATUS, 0, 0);
  }
  static void SerialNumber(TReply& r) {
    const TAnswer a(r, false);
    a.Log(QStringLiteral("OK"), QStringLiteral("bcpReadSerNum"), QStringLiteral("bcpReadSerNum"));
    const std::optional<uint16_t> serial = DecodeSerialNumber(r.Frame);
    if (!serial || *serial == r.Radar.SerNum()) return;
    r.Radar.SetSerNum(*serial);
    // The settings file belongs to the user-interface thread.
    r.Thread.Synchronize([&radar = r.Radar, s = *serial] { ReadInclinometerCalibration(radar, s); });
  }
  static void WifiSettings(TReply& r) {
    TAnswer(r, true).Log(QString(), QStringLiteral("bcpGetWifiSettings"));
    r.Thread.ParceWifiSettingsResponce(r.Frame);
  }
  static void WifiSettingsStored(TReply& r) {
    TAnswer(r, true).Log(QString(), QStringLiteral("bcpStorewifiSettings"));
    PostTo(Preferences(r.Windows), WM_WIFISETTINGSSTORED, 0, 0);
  }
  static void WheelRotationStarted(TReply& r) {
    const TAnswer a(r, false);
    r.Radar.SetCurMode(cmCursor);
    a.Log(QString(), QStringLiteral(" bcpWheelRotate_Start"));
  }
  static void WheelRotationStopped(TReply& r) {
    const TAnswer a(r, false);
    r.Radar.SetCurMode(cmStop);
    a.Log(QString(), QStringLiteral(" bcpWheelRotate_Stop"));
  }
  static void StackingCurve(TReply& r) {
    const TAnswer a(r, false);
    TRadar& radar = r.Radar;
    if (a.End == rwEnded) radar.WriteStrToLog(CurCmdName(radar) + QStringLiteral("\tOK"));
    if (a.End == rwTimerNotStopped) radar.WriteStrToLog(CurCmdName(radar) + QStringLiteral("\tCennot kill timer"));
    if (a.End == rwOtherCommand)
      radar.WriteStrToLog(QStringLiteral("Current command ") + CurCmdName(radar) +
                          QStringLiteral("\tbat reseived bcpOKload_Steck_Curve"));
  }
  static void Role(TReply& r) {
    TRadar& radar = r.Radar;
    std::lock_guard guard(radar.SectParse);
    const TAnswer a(r, true);
    if (a.End == rwEnded) {
      radar.SetModeRadar(static_cast<TRadarRole>(DecodeFirstParam(r.Frame).value_or(0)));
      radar.WriteStrToLog(CurCmdName(radar) + QStringLiteral(" MSmod= ") +
                          QString::number(static_cast<int>(radar.ModeRadar())) + QStringLiteral("\tOK"));
    } else if (a.End == rwTimerNotStopped) {
      LogNotKilled(radar, QStringLiteral("bcpGetMSmode"));
      radar.SetModeRadar(TRadarRole::single);
      radar.SetNumChannalRadar(0);
    }
    if (radar.ModeRadar() == TRadarRole::single) {
      NewViewChannalCount = 1;
      if (r.Flags) r.Flags->SetCountRadarFromMaster(1);
    } else if (radar.ModeRadar() == TRadarRole::master && r.Flags) {
      r.Flags->SetCountRadarFromMaster(std::max<uint8_t>(r.Flags->CountRadarFromMaster(), 2));
    }
  }
  static void MaxPerformance(TReply& r) {
    const TAnswer a(r, false);
    if (a.Ended()) {
      r.Radar.SetWithoutAck(DecodeFirstParam(r.Frame).value_or(0) != 0);
      r.Radar.SetMaxPerfomanceDelay(50);
    }
    a.Log(QStringLiteral("OK"), QStringLiteral("bcpGetMaxPerfomace"), QStringLiteral("bcpGetMaxPerfomace"));
  }
  static void EepromStorage(TReply& r) {
    const TAnswer a(r, false);
    if (a.Ended()) ApplyEepromStorage(r.Radar, r.Frame);
    a.Log(QString(), QStringLiteral("bcpGetEepromStorage"));
  }
  static void TransferResumed(TReply& r) {
    const TAnswer a(r, false);
    if (a.Ended()) ApplyEepromStorage(r.Radar, r.Frame);
    a.Log(QString(), QStringLiteral("bcpResumeTransfer"));
  }
  static void MasterSlaveState(TReply& r) {
    const TAnswer a(r, true);
    TRadar& radar = r.Radar;
    const std::optional<TMasterSlaveState> state = DecodeMasterSlaveState(r.Frame);
    if (a.Ended() && state) {
      radar.SetCountRadarInArray(state->RadarCount);
      radar.SetXshift(100 * int32_t{state->Xoffset});
      radar.SetYshift(100 * int32_t{state->Yoffset});
      radar.SetZeroOffset(state->ZeroOffset);
      radar.WriteStrToLog(QStringLiteral("ZeroOffset= ") + QString::number(radar.ZeroOffset()));
      radar.SetNumChannalRadar(state->Channel);
    }
    a.Log(QString(), QStringLiteral("bcpGetMasterSlaveStt"), QStringLiteral("bcpGetMasterSlaveStt"));
  }
  static void Status(TReply& r) {
    const TAnswer a(r, false);
    TRadar& radar = r.Radar;
    const std::optional<TStatusReply> status = DecodeStatus(r.Frame);
    if (a.Ended() && status) {
      QString line = CurCmdName(radar) + QStringLiteral(" with data fields: ") + QChar(status->Marker);
      for (uint8_t b : status->Status) line += QStringLiteral(", ") + QString::number(b);
      radar.WriteStrToLog(line);
      if (auto* wifi = dynamic_cast<TRadarW*>(&radar))
        wifi->WiFiRadarState = static_cast<TWiFiRadarState>(status->WiFiRadarState());
    }
    a.Log(QString(), QStringLiteral("bcpGetStatusResp"), QStringLiteral("bcpGetStatus"));
  }
  static void FileHeader(TReply& r) { TAnswer(r, false).Log(QString(), QStringLiteral("bcpLoadFileHeader")); }

  // ---- Reports and replies that leave the wait alone ----
  static void RxVolumes(TReply& r) {
    const auto volumes = DecodeRxVolumes(r.Frame);
    if (!volumes) return;
    const WPARAM channels[4] = {63, 67, 71, 75};
    for (int k = 0; k < 4; ++k) PostTo(MainWindow(r.Windows), WM_RXVOLUME, channels[k], (*volumes)[k]);
  }
  static void RxVolumesSet(TReply& r) { PostTo(MainWindow(r.Windows), WM_RXVOLUME, 61, 0); }
  static void RxVolume(TReply& r) {
    if (const auto volume = DecodeRxVolume(r.Frame)) PostTo(MainWindow(r.Windows), WM_RXVOLUME, r.Code(), *volume);
  }
  static void Trace(TReply& r) { r.Thread.ParceLastTrace(r.StartPos, r.Frame); }
  static void NumberedTrace(TReply& r) { r.Thread.ParceLastTrace3(r.StartPos, r.Frame); }
  static void WheelTick(TReply& r) {
    TRadar& radar = r.Radar;
    if (radar.ModeRadar() == TRadarRole::slave) return;
    const std::optional<TWheelTick> tick = DecodeWheelTick(r.Frame);
    if (!tick) return;
    if (HWND preferences = Preferences(r.Windows)) {
      PostMessage(preferences, WM_WHEELPULSE, tick->Tick, tick->Direction);
    } else if (r.Windows && r.Windows->RunChild() && CurrentChild(r.Windows) && radar.CurMode() == cmCursor) {
      radar.CurWheelTicks += tick->Backward() ? -1 : 1;
    }
  }
  static void PerformanceDelay(TReply& r) {
    // The reply timer keeps running: the next command waits for its expiry.
    if (const auto delay = DecodeFirstParam(r.Frame)) {
      r.Radar.SetMaxPerfomanceDelay(*delay);
      r.Radar.ConstMaxPerfomanceDelay = *delay;
    }
  }
  static void SpeedLimit(TReply& r) {
    if (const auto limit = DecodeSpeedLimit(r.Frame)) r.Radar.SetSpeedLimit(*limit);
  }
};

const std::array<TReplyHandlers::THandler, 256>& TReplyHandlers::Table() {
  static const std::array<THandler, 256> table = [] {
    std::array<THandler, 256> t{};  // unknown codes (and 0xBF) are consumed without effect
    t[bcpOKGetVersion] = &Version;
    t[bcpOKGetPackRxVol] = &RxVolumes;
    t[bcpOKSetPackRxVol] = &RxVolumesSet;
    for (uint8_t code : {bcpOKGetRXVolChnl0, bcpOKGetRXVolChnl1, bcpOKGetRXVolChnl2, bcpOKGetRXVolChnl3})
      t[code] = &RxVolume;
    t[bcpOKLoadData] = &LoadData;
    t[bcpOKStart] = &Start;
    t[bcpOKStop] = &Stop;
    t[bcpOKGetGPSData] = &GpsData;
    t[bcpOKGetSlowRamp] = &SlowRamp;
    t[bcpOKLoadNMEICfg] = &LoadNmeaConfig;
    t[bcpOKGetNMEICfg] = &NmeaConfig;
    t[bcpPong2] = &Pong;
    t[bcpReadydata2] = &Trace;
    t[bcpOKReadSerNum] = &SerialNumber;
    t[bcpOkWifiSettings] = &WifiSettings;
    t[bcpOKStorewifiSettings] = &WifiSettingsStored;
    t[bcpWheelRotate_Ticks] = &WheelTick;
    t[bcpWheelRotate_Start_Resp] = &WheelRotationStarted;
    t[bcpWheelRotate_Stop_Resp] = &WheelRotationStopped;
    t[bcpOKload_Steck_Curve] = &StackingCurve;
    t[bcpGetPerfomanceDelayResp] = &PerformanceDelay;
    t[bcpOKGetMSmode] = &Role;
    t[bcpGetMaxPerfomaceResp] = &MaxPerformance;
    t[bcpOKGetEepromStorage] = &EepromStorage;
    t[bcpResumeTransferResp] = &TransferResumed;
    t[bcpOKGetMasterSlaveStt] = &MasterSlaveState;
    t[bcpReadydata3] = &NumberedTrace;
    t[bcpSpeedLimit] = &SpeedLimit;
    t[bcpGetStatusResp] = &Status;
    t[bcpOKLoadFileHeader] = &FileHeader;
    return t;
  }();
  return table;
}

void TParentThread::DispatchPacket(const TFrame& frame, size_t startPos) {
  TReply reply{*this, *FOwner, frame, startPos, windows_, flags_};
  if (const TReplyHandlers::THandler handler = TReplyHandlers::Table()[frame.Code()]) handler(reply);
}

void TParentThread::ParceWifiSettingsResponce(const TFrame& frame) {
  TRadar& radar = *FOwner;
  const TWifiSettingsReply settings = DecodeWifiSettings(frame);
  auto toNet = [](const std::array<uint8_t, 4>& b) { return TnetRec{b[0], b[1], b[2], b[3]}; };
  // The preferences dialog reads them under the paint lock; a second reply may
  // arrive while it does.
  const std::lock_guard lock(radar.SectPaint);
  if (settings.Ssid) radar.ssidStr = *settings.Ssid;
  if (settings.Password) radar.passStr = *settings.Password;
  if (settings.RadioChannel) radar.netChannel = *settings.RadioChannel;
  if (settings.Mode) radar.netJoin = *settings.Mode;
  if (settings.IpAddress) radar.netIP = toNet(*settings.IpAddress);
  if (settings.TcpPort) radar.netPort = *settings.TcpPort;
  if (settings.NetMask) radar.netMask = toNet(*settings.NetMask);
  PostTo(Preferences(windows_), WM_WIFISETTINGS, 0, 0);
}
