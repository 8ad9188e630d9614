// The effect of every reply and report, on the reader thread.
//
// A reply to the awaited command stops its timer first and clears TimerId only
// after its effects and log line: the sender waiting for it then finds the values
// in place when it goes on.

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

namespace {

struct TAnswer {
  TReplyWaitEnd End = rwOtherCommand;
  uint32_t Id = 0;
};

TAnswer BeginAnswer(TRadar& radar, uint8_t code, bool timerMustRun) {
  TAnswer a;
  a.End = radar.StopReplyTimerFor(code, timerMustRun, &a.Id);
  return a;
}

void FinishAnswer(TRadar& radar, const TAnswer& a) {
  if (a.End == rwEnded) radar.ReleaseReplyWait(a.Id);
}

QString CurCmdName(const TRadar& radar) { return GetCommandName(radar.curCmd); }

void LogNotKilled(TRadar& radar, const QString& label) {
  radar.WriteStrToLog(CurCmdName(radar) + u'\t' + label + QStringLiteral(", Can not  kill timer# ") +
                      QString::number(radar.TimerId));
}

void LogOtherCommand(TRadar& radar, const QString& otherLabel) {
  radar.WriteStrToLog(otherLabel + QStringLiteral("\tcurCmd=") + CurCmdName(radar));
}

// The usual lines: okText after the command's name and a tab (none when empty),
// the label when the timer could not be stopped, and otherLabel (when given) for a
// reply to another command.
void LogAnswer(TRadar& radar, const TAnswer& a, const QString& okText, const QString& label,
               const QString& otherLabel = {}) {
  switch (a.End) {
    case rwEnded:
      if (!okText.isEmpty()) radar.WriteStrToLog(CurCmdName(radar) + u'\t' + okText);
      break;
    case rwTimerNotStopped: LogNotKilled(radar, label); break;
    case rwOtherCommand:
      if (!otherLabel.isEmpty()) LogOtherCommand(radar, otherLabel);
      break;
  }
}

// A reply that only ends the wait for its command.
void PlainAnswer(TRadar& radar, uint8_t code, bool timerMustRun, const QString& okText, const QString& label,
                 const QString& otherLabel = {}) {
  const TAnswer a = BeginAnswer(radar, code, timerMustRun);
  LogAnswer(radar, a, okText, label, otherLabel);
  FinishAnswer(radar, a);
}

void PostTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window) PostMessage(window, message, wParam, lParam);
}

HWND MainWindow(const IRadarShell* shell) { return shell ? shell->MainWindowHandle() : nullptr; }
HWND CurrentChild(const IRadarShell* shell) { return shell ? shell->CurrentChildHandle() : nullptr; }
HWND Preferences(const IRadarShell* shell) { return shell ? shell->PreferencesDialogHandle() : nullptr; }

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

void ApplyStartReply(TRadar& radar, const IRadarShell* shell) {
  if (!shell || !CurrentChild(shell)) return;
  const TSettingData* channel = shell->ActiveChannelFor(radar);
  if (!channel) return;
  if (const std::optional<TCurMode> mode = StartedMode(channel->GetRunMode(), channel->GetTopoType()))
    radar.SetCurMode(*mode);
  if (!shell->PreferencesDialogExists() || shell->PreferencesDialogVisible()) return;
  const bool differs = channel->GetStacking() != radar.Stacking || channel->GetWheelMult() != radar.WheelMult ||
                       channel->GetTopoType() != radar.TopoType || channel->GetOverStep() != radar.OverStep ||
                       channel->GetSpanIndex() != radar.SpanIndex;
  // The preferences dialog loaded its own parameters: restart with the window's.
  if (differs) radar.SetPcLoading(PcLoadingNotLoaded);
}

// The calibration of the radar's inclinometer kept in the program's settings file
// under its serial number. User-interface thread.
void ReadInclinometerCalibration(TRadar& radar, uint16_t serial) {
  const IRadarShell* shell = RadarShell();
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

void TParentThread::DispatchPacket(const TFrame& frame, size_t startPos) {
  TRadar& radar = *FOwner;
  IRadarShell* shell = RadarShell();
  const uint8_t code = frame.Code();
  switch (code) {
    case bcpOKGetVersion: {
      const TAnswer a = BeginAnswer(radar, code, false);
      const std::optional<uint16_t> version = DecodeFirmwareVersion(frame);
      if (version) radar.SetFirmwareVer(*version);
      LogAnswer(radar, a, QStringLiteral("FirmwareVer=") + QString::number(radar.FirmwareVer()),
                QStringLiteral("bcpOKGetVersion"));
      FinishAnswer(radar, a);
      break;
    }
    case bcpOKGetPackRxVol:
      if (const auto volumes = DecodeRxVolumes(frame)) {
        const WPARAM channels[4] = {63, 67, 71, 75};
        for (int k = 0; k < 4; ++k) PostTo(MainWindow(shell), WM_RXVOLUME, channels[k], (*volumes)[k]);
      }
      break;
    case bcpOKSetPackRxVol: PostTo(MainWindow(shell), WM_RXVOLUME, 61, 0); break;
    case bcpOKGetRXVolChnl0:
    case bcpOKGetRXVolChnl1:
    case bcpOKGetRXVolChnl2:
    case bcpOKGetRXVolChnl3:
      if (const auto volume = DecodeRxVolume(frame)) PostTo(MainWindow(shell), WM_RXVOLUME, code, *volume);
      break;
    case bcpOKLoadData: PlainAnswer(radar, code, false, QStringLiteral("OK"), QStringLiteral("bcpOKLoadData")); break;
    case bcpOKStart: {
      const TAnswer a = BeginAnswer(radar, code, false);
      LogAnswer(radar, a, QStringLiteral("OK"), QStringLiteral("bcpOKStart"), QStringLiteral("bcpOKStart"));
      // The unit runs from here until its stop reply: a change of the channel's scan
      // settings meanwhile restarts it (SetPcLoading).
      radar.SetRuning(true);
      ApplyStartReply(radar, shell);
      FinishAnswer(radar, a);
      break;
    }
    case bcpOKStop: {
      const TAnswer a = BeginAnswer(radar, code, false);
      if (a.End == rwEnded) radar.WriteStrToLog(QStringLiteral("\tSTOP OK!!"));
      if (a.End == rwTimerNotStopped) LogNotKilled(radar, QStringLiteral("bcpOKStop"));
      if (a.End == rwOtherCommand) LogOtherCommand(radar, QStringLiteral("curCmd <> bcpStop"));
      radar.SetRuning(false);
      radar.SetCurMode(cmStop);
      FinishAnswer(radar, a);
      break;
    }
    case bcpOKGetGPSData: {
      const TAnswer a = BeginAnswer(radar, code, false);
      LogAnswer(radar, a, QStringLiteral("OK"), QStringLiteral("bcpGetGPSData"));
      const QString text = DecodeGpsText(frame);
      FCounterOn = 0;
      TakeNmeaText(text);
      radar.SetLastNMEA(text);
      PostTo(CurrentChild(shell), WM_GPSDATA, 0, 0);
      FinishAnswer(radar, a);
      break;
    }
    case bcpOKGetSlowRamp: {
      const TAnswer a = BeginAnswer(radar, code, false);
      if (const auto shift = DecodeSlowRamp(frame)) radar.SetShiftSlowRamp(*shift);
      LogAnswer(radar, a, QStringLiteral("ShiftSlowRamp=") + QString::number(radar.ShiftSlowRamp()),
                QStringLiteral("bcpOKGetSlowRamp"));
      FinishAnswer(radar, a);
      break;
    }
    case bcpOKLoadNMEICfg:
      PlainAnswer(radar, code, false, QStringLiteral("OK"), QStringLiteral("bcpLoadNMEICfg"),
                  QStringLiteral("bcpLoadNMEICfg"));
      // After the wait is over: this command waits for its own reply.
      radar.SendCommand(bcpGetNMEICfg, 0, nullptr);
      break;
    case bcpOKGetNMEICfg: {
      const TAnswer a = BeginAnswer(radar, code, false);
      LogAnswer(radar, a, QStringLiteral("OK"), QStringLiteral("bcpGetNMEICfg"), QStringLiteral("bcpGetNMEICfg"));
      if (const auto config = DecodeNmeaConfig(frame)) {
        radar.NMEISpeed = config->SpeedIndex;
        std::lock_guard guard(radar.SectPaint);
        radar.NMEIString = config->SentenceName;
      }
      FinishAnswer(radar, a);
      break;
    }
    case bcpPong2: {
      const TAnswer a = BeginAnswer(radar, code, true);
      LogAnswer(radar, a, QString(), QStringLiteral("bcpPong2"));
      if (const std::optional<TPong> pong = DecodePong(frame)) {
        const double powerBefore = radar.Power();
        radar.SetRadarType(static_cast<TTypeGPR>(pong->RadarType));
        radar.SetValid(true);
        radar.SetPower(pong->Power);
        radar.SetRadarLoading(pong->RadarLoading);
        radar.SetMaxSpeedLimit(0);
        TakeNmeaText(pong->Nmea);
        radar.SetLastNMEA(pong->Nmea.size() > GpsMinSentenceLength ? pong->Nmea : QString());
        if (radar.ModeRadar() != TRadarRole::slave) {
          PostTo(CurrentChild(shell), WM_GPSDATA, 0, 0);
          PostTo(Preferences(shell), WM_GPSDATA, 0, 0);
          if (radar.Power() != powerBefore) PostTo(MainWindow(shell), WM_GPRSTATUS, 0, 0);
        }
      }
      FinishAnswer(radar, a);
      break;
    }
    case bcpReadydata2: ParceLastTrace(startPos, frame); break;
    case bcpOKReadSerNum: {
      const TAnswer a = BeginAnswer(radar, code, false);
      LogAnswer(radar, a, QStringLiteral("OK"), QStringLiteral("bcpReadSerNum"), QStringLiteral("bcpReadSerNum"));
      const std::optional<uint16_t> serial = DecodeSerialNumber(frame);
      if (serial && *serial != radar.SerNum()) {
        radar.SetSerNum(*serial);
        // The settings file belongs to the user-interface thread.
        Synchronize([&radar, s = *serial] { ReadInclinometerCalibration(radar, s); });
      }
      FinishAnswer(radar, a);
      break;
    }
    case bcpOkWifiSettings: {
      const TAnswer a = BeginAnswer(radar, code, true);
      LogAnswer(radar, a, QString(), QStringLiteral("bcpGetWifiSettings"));
      ParceWifiSettingsResponce(frame);
      FinishAnswer(radar, a);
      break;
    }
    case bcpOKStorewifiSettings: {
      const TAnswer a = BeginAnswer(radar, code, true);
      LogAnswer(radar, a, QString(), QStringLiteral("bcpStorewifiSettings"));
      PostTo(Preferences(shell), WM_WIFISETTINGSSTORED, 0, 0);
      FinishAnswer(radar, a);
      break;
    }
    case bcpWheelRotate_Ticks: {
      if (radar.ModeRadar() == TRadarRole::slave) break;
      const std::optional<TWheelTick> tick = DecodeWheelTick(frame);
      if (!tick) break;
      if (HWND preferences = Preferences(shell)) {
        PostMessage(preferences, WM_WHEELPULSE, tick->Tick, tick->Direction);
      } else if (shell && shell->RunChild() && CurrentChild(shell) && radar.CurMode() == cmCursor) {
        radar.CurWheelTicks += tick->Backward() ? -1 : 1;
      }
      break;
    }
    case bcpWheelRotate_Start_Resp: {
      const TAnswer a = BeginAnswer(radar, code, false);
      radar.SetCurMode(cmCursor);
      LogAnswer(radar, a, QString(), QStringLiteral(" bcpWheelRotate_Start"));
      FinishAnswer(radar, a);
      break;
    }
    case bcpWheelRotate_Stop_Resp: {
      const TAnswer a = BeginAnswer(radar, code, false);
      radar.SetCurMode(cmStop);
      LogAnswer(radar, a, QString(), QStringLiteral(" bcpWheelRotate_Stop"));
      FinishAnswer(radar, a);
      break;
    }
    case bcpOKload_Steck_Curve: {
      const TAnswer a = BeginAnswer(radar, code, false);
      if (a.End == rwEnded) radar.WriteStrToLog(CurCmdName(radar) + QStringLiteral("\tOK"));
      if (a.End == rwTimerNotStopped) radar.WriteStrToLog(CurCmdName(radar) + QStringLiteral("\tCennot kill timer"));
      if (a.End == rwOtherCommand)
        radar.WriteStrToLog(QStringLiteral("Current command ") + CurCmdName(radar) +
                            QStringLiteral("\tbat reseived bcpOKload_Steck_Curve"));
      FinishAnswer(radar, a);
      break;
    }
    case bcpGetPerfomanceDelayResp:
      // The reply timer keeps running: the next command waits for its expiry.
      if (const auto delay = DecodeFirstParam(frame)) {
        radar.SetMaxPerfomanceDelay(*delay);
        radar.ConstMaxPerfomanceDelay = *delay;
      }
      break;
    case bcpOKGetMSmode: {
      std::lock_guard guard(radar.SectParse);
      const TAnswer a = BeginAnswer(radar, code, true);
      if (a.End == rwEnded) {
        radar.SetModeRadar(static_cast<TRadarRole>(DecodeFirstParam(frame).value_or(0)));
        radar.WriteStrToLog(CurCmdName(radar) + QStringLiteral(" MSmod= ") + QString::number(static_cast<int>(radar.ModeRadar())) +
                            QStringLiteral("\tOK"));
      } else if (a.End == rwTimerNotStopped) {
        LogNotKilled(radar, QStringLiteral("bcpGetMSmode"));
        radar.SetModeRadar(TRadarRole::single);
        radar.SetNumChannalRadar(0);
      }
      if (radar.ModeRadar() == TRadarRole::single) {
        NewViewChannalCount = 1;
        if (shell) shell->SetCountRadarFromMaster(1);
      } else if (radar.ModeRadar() == TRadarRole::master && shell) {
        shell->SetCountRadarFromMaster(std::max<uint8_t>(shell->CountRadarFromMaster(), 2));
      }
      FinishAnswer(radar, a);
      break;
    }
    case bcpSetMaxPerfomaceResp: break;
    case bcpGetMaxPerfomaceResp: {
      const TAnswer a = BeginAnswer(radar, code, false);
      if (a.End == rwEnded) {
        radar.SetWithoutAck(DecodeFirstParam(frame).value_or(0) != 0);
        radar.SetMaxPerfomanceDelay(50);
      }
      LogAnswer(radar, a, QStringLiteral("OK"), QStringLiteral("bcpGetMaxPerfomace"),
                QStringLiteral("bcpGetMaxPerfomace"));
      FinishAnswer(radar, a);
      break;
    }
    case bcpOKGetEepromStorage:
    case bcpResumeTransferResp: {
      const TAnswer a = BeginAnswer(radar, code, false);
      if (a.End == rwEnded) ApplyEepromStorage(radar, frame);
      LogAnswer(radar, a, QString(),
                code == bcpOKGetEepromStorage ? QStringLiteral("bcpGetEepromStorage") : QStringLiteral("bcpResumeTransfer"));
      FinishAnswer(radar, a);
      break;
    }
    case bcpOKGetMasterSlaveStt: {
      const TAnswer a = BeginAnswer(radar, code, true);
      const std::optional<TMasterSlaveState> state = DecodeMasterSlaveState(frame);
      if (a.End == rwEnded && state) {
        radar.SetCountRadarInArray(state->RadarCount);
        radar.SetXshift(100 * int32_t{state->Xoffset});
        radar.SetYshift(100 * int32_t{state->Yoffset});
        radar.SetZeroOffset(state->ZeroOffset);
        radar.WriteStrToLog(QStringLiteral("ZeroOffset= ") + QString::number(radar.ZeroOffset()));
        radar.SetNumChannalRadar(state->Channel);
      }
      LogAnswer(radar, a, QString(), QStringLiteral("bcpGetMasterSlaveStt"), QStringLiteral("bcpGetMasterSlaveStt"));
      FinishAnswer(radar, a);
      break;
    }
    case bcpReadydata3: ParceLastTrace3(startPos, frame); break;
    case bcpSpeedLimit:
      if (const auto limit = DecodeSpeedLimit(frame)) radar.SetSpeedLimit(*limit);
      break;
    case bcpGetStatusResp: {
      const TAnswer a = BeginAnswer(radar, code, false);
      const std::optional<TStatusReply> status = DecodeStatus(frame);
      if (a.End == rwEnded && status) {
        QString line = CurCmdName(radar) + QStringLiteral(" with data fields: ") + QChar(status->Marker);
        for (uint8_t b : status->Status) line += QStringLiteral(", ") + QString::number(b);
        radar.WriteStrToLog(line);
        if (auto* wifi = dynamic_cast<TRadarW*>(&radar))
          wifi->WiFiRadarState = static_cast<TWiFiRadarState>(status->WiFiRadarState());
      }
      LogAnswer(radar, a, QString(), QStringLiteral("bcpGetStatusResp"), QStringLiteral("bcpGetStatus"));
      FinishAnswer(radar, a);
      break;
    }
    case bcpOKLoadFileHeader: PlainAnswer(radar, code, false, QString(), QStringLiteral("bcpLoadFileHeader")); break;
    default: break;  // unknown codes are consumed without effect
  }
}

void TParentThread::ParceWifiSettingsResponce(const TFrame& frame) {
  TRadar& radar = *FOwner;
  const TWifiSettingsReply settings = DecodeWifiSettings(frame);
  auto toNet = [](const std::array<uint8_t, 4>& b) { return TnetRec{b[0], b[1], b[2], b[3]}; };
  if (settings.Ssid) radar.ssidStr = *settings.Ssid;
  if (settings.Password) radar.passStr = *settings.Password;
  if (settings.RadioChannel) radar.netChannel = *settings.RadioChannel;
  if (settings.Mode) radar.netJoin = *settings.Mode;
  if (settings.IpAddress) radar.netIP = toNet(*settings.IpAddress);
  if (settings.TcpPort) radar.netPort = *settings.TcpPort;
  if (settings.NetMask) radar.netMask = toNet(*settings.NetMask);
  PostTo(Preferences(RadarShell()), WM_WIFISETTINGS, 0, 0);
}
