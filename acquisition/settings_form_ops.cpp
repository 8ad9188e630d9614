// The settings window's operations: copying the settings to the channels,
// filling the controls, the survey window, samples and stacking with the restart
// of running radars, wave speed, trigger mode, topo device and wheel step,
// direction, comments, offsets, the live preview and the trace preview.

#include "acquisition/settings_form.h"

#include "acquisition/general_pref_form.h"
#include "acquisition/main_form.h"
#include "acquisition/topo_pictures.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/adv_popup_menu.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/image.h"
#include "platform/ui/list_box.h"
#include "platform/ui/memo.h"
#include "platform/ui/menus.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/online_stages.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"
#include "radargram/view2d_form.h"

#include <algorithm>

RESOURCESTRING(SSettingsStop, "Stop");
RESOURCESTRING(SSettingsStartCaption, "Start");
RESOURCESTRING(SSettingsBackward, "Backward");
RESOURCESTRING(SSettingsForwardCaption, "Forward");

namespace sw = settings_window;

namespace {

// Clears a flag on every way out.
class TFlagGuard {
public:
  explicit TFlagGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~TFlagGuard() { flag_ = old_; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
  bool& flag_;
  bool old_;
};

}  // namespace

// ---- Where the window looks ---------------------------------------------------------------------

TView2DForm* TSettingsForm::View() const { return Main() ? Main()->CurChild() : nullptr; }

T2Dview* TSettingsForm::Channel(int index) const {
  TView2DForm* view = View();
  return view ? view->GetView2DByIndx(index) : nullptr;
}

TRadar* TSettingsForm::CurrentRadar() const { return Main() ? Main()->CurrentRadar() : nullptr; }

bool TSettingsForm::PreviewAllowed() const {
  const TRadar* radar = CurrentRadar();
  const T2Dview* first = Channel(0);
  return radar && radar->ready && first && !first->WasOpen;
}

TTopoType TSettingsForm::LastTopoType() const { return Main() ? Main()->Settings.TopoType : ttWheel; }
void TSettingsForm::SetLastTopoType(TTopoType type) {
  if (Main()) Main()->Settings.TopoType = type;
}

// ---- Copying the settings to the channels --------------------------------------------------------

void TSettingsForm::SetRadarSettings() {
  TView2DForm* view = View();
  if (!view || !st || !Main()) return;
  const bool noRadar = Main()->CurrentRadar() == nullptr;
  for (int i = 0; i < ChannelCount; ++i) {
    T2Dview* store = view->GetView2DByIndx(i);
    if (!store) continue;
    TSettingData& s = *store->Settings();
    if (noRadar) s.SetSettingRadar(nullptr);
    s.SetSpanIndex(st->GetSpanIndex());
    s.SetOverStep(st->GetOverStep());
    s.SetStacking(st->GetStacking());
    s.SetAdvanceStacking(st->GetAdvanceStacking());
    s.SetTopoType(st->GetTopoType());
    if (&s != st) s.SteckingArray = st->SteckingArray;
    s.SetWheelMult(st->GetWheelMult());
    s.SetDirection(st->GetDirection());
    s.SetRunMode(st->GetRunMode());
    s.SetComments(st->GetComments());
    s.SetWheelStep(st->GetWheelStep());
    s.SetStartXShift(st->GetStartXShift());
    s.SetStartYShift(st->GetStartYShift());
    s.SetStartZShift(st->GetStartZShift());
    s.SetSpeedLight(st->GetSpeedLight());
    s.SetStackingCurve(st->GetStackingCurve());
    s.SetStackingVolume(st->GetStackingVolume());
  }
  QString folder = FilePathMemo->Text().trimmed();
  if (!folder.isEmpty() && !folder.endsWith(u'/') && !folder.endsWith(u'\\')) folder += u'/';
  Main()->Settings.LastFolder = folder;
  view->SetFilePrefix(FilePrefixEdit->Text());
  view->SetFileCount(FileCountDigitEdit->ValueInt());
  const QString extension = Main()->CountRadarFromMaster() > 1 ? QStringLiteral(".frn") : QStringLiteral(".dezo");
  st->SetFileName(folder + FilePrefixEdit->Text() + QString::number(FileCountDigitEdit->ValueInt()) + extension);
  view->GetCaptionFromView2D_0();
  view->SaveDefault();
}

// ---- Filling the window --------------------------------------------------------------------------

void TSettingsForm::RefreshForm() {
  TFlagGuard loading(Loading);
  SpeedButtonSwitchOn->SetVisible(true);
  const T2Dview* first = Channel(0);
  st = first ? first->Settings() : nullptr;
  TView2DForm* view = View();
  if (!st || !view) return;
  SingleMenu->SetCaption(LoadResString(SSettingsSingle));
  InternalMenu->SetCaption(LoadResString(SSettingsInt));
  ExternalMenu->SetCaption(LoadResString(SSettingsExt));
  SpeedDigitEdit->SetValueInt(st->GetSpeedLight());
  SpeedDigitEdit->SetColor(clWindow);
  SpeedDigitEdit->Font()->SetColor(clWindowText);

  NumSurveyWindowSelect = std::clamp<int>(st->GetSpanIndex(), 0, 3);
  RefreshSurveyWindowCaptions();
  ApplySurveyWindow(NumSurveyWindowSelect);

  SetCaption(Format(LoadResString(SGprSettingsProfileCaption), {view->Caption()}));
  LabelNumSamples->SetCaption(QString::number(sw::SamplesFromOverStep(st->GetOverStep())));

  st->SetTopoType(LastTopoType());
  SetRadarSettings();
  const bool topo = st->GetTopoType() != ttNil;
  for (TControl* control : std::initializer_list<TControl*>{LabelOdometer, MultOdometrUp, MultOdometrDown})
    control->SetEnabled(topo);
  ShowStepLabel();
  if (topo && st->GetTopoType() < TopoTypeCount) {
    if (TMenuItem* item = TopoItems[st->GetTopoType()]) {
      item->SetChecked(true);
      DrawTopoPicture(st->GetTopoType(), *TopoTypeImage->Picture());
      TopoTitleLabel->SetCaption(item->Caption());
    }
    const bool gps = st->GetTopoType() == ttGPS;
    OdometerStaticText->SetVisible(!gps);
    GPSStaticText->SetVisible(gps);
  }
  const bool backward = st->GetDirection() == back;
  BitBtnDirection->SetCaption(LoadResString(backward ? SSettingsBackward : SSettingsForwardCaption));

  NumTriggerModeSelect = std::clamp<int>(st->GetRunMode(), 0, 2);
  TriggerModeClick(NumTriggerModeSelect);

  MemoComments->SetText(st->GetComments());
  view->FilValueList(0);
  const bool opened = first->WasOpen;
  ExternalMenu->SetEnabled(!opened);
  MenuDefault->SetEnabled(!opened);
  MenuOpenSettings->SetEnabled(!opened);
  XOffsetDigitEdit->SetValueReal(sw::StoredToOffset(view->DeviceX()));
  YOffsetDigitEdit->SetValueReal(sw::StoredToOffset(view->DeviceY()));
  ZOffsetDigitEdit->SetValueReal(sw::StoredToOffset(view->DeviceZ()));
  const bool external = st->GetRunMode() == rmWheel;
  const bool gps = st->GetTopoType() == ttGPS;
  GroupBoxOdometer->SetVisible(external);
  MaxSpeedLabel->SetVisible(external && !gps);
  Label6->SetVisible(external && !gps);
  PrepareStackingControls();
  SetOnlinePluginChecked();
  PrepareGain();
  view->InitOnlinePlugin();
}

void TSettingsForm::RefreshSurveyWindowCaptions() {
  if (!st || !Main()) return;
  const TRadar* radar = CurrentRadar();
  const int32_t speed = st->GetSpeedLight();
  const TControlRadar* set = Main()->ControlRadar();
  const bool dual = radar && Main()->ModeSystemRadars == msrDualFreqience;
  for (int i = 0; i < 4; ++i) {
    QString caption;
    if (!dual) {
      const TUnitParamExt& unit = UnitParams(radar ? radar->RadarType() : 0);
      caption = sw::SurveyWindowCaption(unit.WndWidth[static_cast<size_t>(i)], speed);
    } else {
      const TRadar* r0 = set ? set->GetRadarByIndex(0) : nullptr;
      const TRadar* r1 = set ? set->GetRadarByIndex(1) : nullptr;
      const TUnitParamExt& u0 = UnitParams(r0 ? r0->RadarType() : radar->RadarType());
      const TUnitParamExt& u1 = UnitParams(r1 ? r1->RadarType() : radar->RadarType());
      caption = sw::DualSurveyWindowCaption(u0.WndWidth[static_cast<size_t>(i)], u1.WndWidth[static_cast<size_t>(i)],
                                            speed, Main()->Settings.SettingsHorizontalLabelMode == 2);
    }
    SurveyWindow[static_cast<size_t>(i)]->SetCaption(caption);
  }
  TView2DForm* view = View();
  if (!radar) {
    LabelRadarType->SetCaption(LoadResString(SSettingsUnknown));
  } else {
    const TTypeGPRDevice device = view ? view->TypeGPRDevice : tdUnknown;
    LabelRadarType->SetCaption(device != tdUnknown ? QString::fromLatin1(DeviceParams(device).DeviceName)
                                                   : radar->RadarTypeStr());
    const auto span = static_cast<uint8_t>(NumSurveyWindowSelect);
    for (int i = 0; view && i < ChannelCount; ++i) {
      if (dual && i > 1) break;
      if (T2Dview* store = view->GetView2DByIndx(i)) store->Settings()->SetSpanIndex(span);
    }
  }
  SetSurveyCaption();
}

void TSettingsForm::SetSurveyCaption() {
  const int index = std::clamp(NumSurveyWindowSelect, 0, 3);
  TMenuItem* item = SurveyWindow[static_cast<size_t>(index)];
  item->SetChecked(true);
  WindowSurveyButton->SetCaption(LoadResString(SSettingsSurveyWindow) + QStringLiteral(":\n") + item->Caption());
}

void TSettingsForm::SetTriggerCaption() {
  const TMenuItem* items[] = {SingleMenu, InternalMenu, ExternalMenu};
  const TMenuItem* item = items[std::clamp(NumTriggerModeSelect, 0, 2)];
  TriggerModeSpeedButton->SetCaption(LoadResString(SSettingsTriggerMode) + QStringLiteral(":\n") + item->Caption());
}

// ---- Survey window, samples, stacking ------------------------------------------------------------

void TSettingsForm::SurveyWindowClick(int index) {
  if (!st || index < 0 || index > 3) return;
  ApplySurveyWindow(index);
}

void TSettingsForm::ApplySurveyWindow(int index) {
  NumSurveyWindowSelect = std::clamp(index, 0, 3);
  SetSurveyCaption();
  if (!st) return;
  st->SetSpanIndex(static_cast<uint8_t>(NumSurveyWindowSelect));
  SetRadarSettings();
  PrepareGain();
  if (st->GetAdvanceStacking()) ApplyAdvancedStacking();
  RestartRunningRadars();
}

void TSettingsForm::NumSamplesDownClick() {
  if (st) SetOverStepFromButton(sw::OverStepAfterSamplesDown(st->GetOverStep()));
}

void TSettingsForm::NumSamplesUpClick() {
  if (st) SetOverStepFromButton(sw::OverStepAfterSamplesUp(st->GetOverStep()));
}

// At a limit the button changes nothing, and the running radars are left alone.
void TSettingsForm::SetOverStepFromButton(int next) {
  if (next == st->GetOverStep()) return;
  st->SetOverStep(static_cast<uint8_t>(next));
  SetRadarSettings();
  LabelNumSamples->SetCaption(QString::number(sw::SamplesFromOverStep(st->GetOverStep())));
  PrepareGain();
  if (st->GetAdvanceStacking()) ApplyAdvancedStacking();
  ShowLimits();
  RestartRunningRadars();
}

void TSettingsForm::PrepareStackingControls() {
  if (!st || !Main()) return;
  TFlagGuard loading(Loading);
  for (int i = 1; i < ChannelCount; ++i) Series_[static_cast<size_t>(i)]->SetActive(false);
  st->SetAdvanceStacking(false);
  FlatSteckingPanel->SetBounds(2, 14, FlatSteckingPanel->Width(), FlatSteckingPanel->Height());
  FlatSteckingPanel->SetVisible(true);
  AdvancedStackingPanel->SetVisible(false);
  StackingCurveDigitEdit->SetValueInt(130);
  StackingVolumeDigitEdit->SetValueInt(20);
  TrackBarStacking->SetPosition(sw::TrackPositionFromStacking(st->GetStacking()));
  LabelStacking->SetCaption(QString::number(st->GetStacking()));
  Series->SetActive(true);
  SetAllAmpRanges();
  ShowLimits();
  ChartAmp->TopAxis()->SetTitle(Main()->ModeSystemRadars != msrSingle
                                    ? LoadResString(SSettingsAmplitude) + QStringLiteral(" #0")
                                    : LoadResString(SSettingsAmplitude));
  // The stacking mode follows the radars that are connected: flat when any of
  // them is older than firmware 7, depth-dependent otherwise (and without any).
  std::vector<uint16_t> firmwares;
  if (const TControlRadar* set = Main()->ControlRadar())
    for (int slot = 0; slot < ChannelCount; ++slot)
      if (const TRadar* radar = set->GetRadarByIndex(slot)) {
        firmwares.push_back(radar->FirmwareVer());
        Series_[static_cast<size_t>(slot)]->SetActive(true);
      }
  if (sw::UseAdvancedStacking(firmwares)) {
    const T2Dview* first = Channel(0);
    st->SetAdvanceStacking(true);
    AdvancedStackingPanel->SetTop(14);
    AdvancedStackingPanel->SetVisible(true);
    FlatSteckingPanel->SetVisible(false);
    const TSettingData* channel0 = first ? first->Settings() : st;
    StackingCurveDigitEdit->SetValueInt(channel0->GetStackingCurve());
    StackingVolumeDigitEdit->SetValueInt(channel0->GetStackingVolume());
    st->PrepareStacking();
    ApplyAdvancedStacking();
  }
  SetRadarSettings();
}

void TSettingsForm::TrackBarStackingChange() {
  if (Loading || !st) return;
  st->SetStacking(sw::StackingFromTrackPosition(TrackBarStacking->Position()));
  SetRadarSettings();
  LabelStacking->SetCaption(QString::number(st->GetStacking()));
  SetAllAmpRanges();
  ShowLimits();
  RestartRunningRadars();
}

void TSettingsForm::StackingCurveDigitEditChangeFinish() {
  if (Loading || !st) return;
  const int32_t value = sw::StackingEditValue(StackingCurveDigitEdit->ValueInt());
  StackingCurveDigitEdit->SetValueInt(value);
  st->SetStackingCurve(value);
  SetRadarSettings();
  ApplyAdvancedStacking();
  RestartRunningRadars();
}

void TSettingsForm::StackingVolumeDigitEditChangeFinish() {
  if (Loading || !st) return;
  const int32_t value = sw::StackingEditValue(StackingVolumeDigitEdit->ValueInt());
  StackingVolumeDigitEdit->SetValueInt(value);
  st->SetStackingVolume(value);
  SetRadarSettings();
  ApplyAdvancedStacking();
  RestartRunningRadars();
}

void TSettingsForm::ApplyAdvancedStacking() {
  if (!st) return;
  st->SetStacking(static_cast<uint8_t>(std::clamp(st->GetStackingVolume(), 1, 255)));
  st->PrepareStacking();
  SetRadarSettings();
  GainSeries->Clear();
  for (int i = 0; i < st->GetSteckingLength(); ++i)
    GainSeries->AddXY(st->SteckingArray[static_cast<size_t>(i)].Start, st->SteckingArray[static_cast<size_t>(i)].Count);
  ShowLimits();
  SetAllAmpRanges();
  PrepareGain();
}

void TSettingsForm::ShowLimits() {
  if (!st) return;
  long double prf = 0;
  if (st->GetAdvanceStacking()) {
    AverageStackingLabel->SetCaption(sw::LimitText(st->GetAverageStecking()));
    prf = st->GetPRF();
  } else {
    AverageStackingLabel->SetCaption(QString::number(st->GetStacking()));
    prf = sw::FlatStackingPRF(st->GetLongTrace(), st->GetStacking());
  }
  PRFLabel->SetCaption(sw::LimitText(prf));
  MaxSpeedLabel->SetCaption(sw::MaxSpeedText(prf, sw::StepDistanceMm(st->GetWheelMult(), st->GetWheelStep())));
}

void TSettingsForm::SetAmpRange(int channel, double minimum, double maximum) {
  if (channel < 0 || channel >= ChannelCount || !ChartAmp_[static_cast<size_t>(channel)]) return;
  ChartAmp_[static_cast<size_t>(channel)]->BottomAxis()->SetMinMax(minimum, maximum);
}

void TSettingsForm::SetAllAmpRanges() {
  if (!st) return;
  const auto range = static_cast<double>(sw::AmplitudeRange(st->GetStacking()));
  for (int i = 0; i < ChannelCount; ++i) SetAmpRange(i, -range, range);
}

void TSettingsForm::PrepareGain() {
  const int samples = st ? sw::SamplesFromOverStep(st->GetOverStep()) : sw::GainLength;
  for (TLineSeries* series : Series_) {
    if (!series) continue;
    series->BeginUpdate();
    series->Clear();
    for (int j = 0; j < samples; ++j) series->AddXY(0, j);
    series->EndUpdate();
  }
  if (st) sw::FillGain(Gain, st->GetAdvanceStacking(), st->GetStacking(), st->SteckingArray, st->GetSteckingLength(),
                       samples);
  else Gain.fill(1);
}

void TSettingsForm::RestartRunningRadars() {
  if (!st || !Main()) return;
  TControlRadar* set = Main()->ControlRadar();
  if (!set) return;
  const uint8_t runMode = st->GetRunMode();
  const auto range = static_cast<double>(sw::AmplitudeRange(st->GetStacking()));
  for (int slot = 0; slot < ChannelCount; ++slot) {
    TRadar* radar = set->GetRadarByIndex(slot);
    if (!radar) continue;
    // Every command waits for its reply and serves messages meanwhile: the radar
    // may have left its slot before the next one.
    const auto present = [&] { return set->GetRadarByIndex(slot) == radar; };
    // A channel's setter may just have restarted the radar itself: it reads as
    // stopped until that start is answered, and skipping it then would leave the
    // radar running without the new stacking curve.
    if (!radar->WaitForReply() || !present() || radar->CurMode() == cmStop) continue;
    radar->SendCommand(bcpStop, 0, nullptr);
    if (!present()) continue;
    SetAmpRange(slot, -range, range);
    radar->SendCommand(bcpLoadData, 0, nullptr);
    if (!present()) continue;
    if (radar->FirmwareVer() >= sw::AdvancedStackingFirmware) {
      radar->SendCommand(bcpLoad_Steck_Curve, 0, nullptr);
      if (!present()) continue;
    }
    if (TView2DForm* view = View()) view->InitOnlinePlugin();
    radar->SendCommand(bcpStart, 1, &runMode);
  }
}

// ---- Wave speed, trigger mode, topo device --------------------------------------------------------

void TSettingsForm::SpeedDigitEditChangeFinish() {
  if (Loading || !st) return;
  st->SetSpeedLight(SpeedDigitEdit->ValueInt());
  SetRadarSettings();
  RefreshSurveyWindowCaptions();
}

void TSettingsForm::MediumClick(int index) {
  if (!st || !Main() || index < 0 || index >= MediumCount) return;
  st->SetSpeedLight(Main()->ListOfMedium[static_cast<size_t>(index)].Speed);
  SetRadarSettings();
  {
    TFlagGuard loading(Loading);
    SpeedDigitEdit->SetValueInt(st->GetSpeedLight());
    SpeedDigitEdit->SetColor(clWindow);
    SpeedDigitEdit->Font()->SetColor(clWindowText);
  }
  RefreshSurveyWindowCaptions();
}

void TSettingsForm::TriggerModeClick(int index) {
  if (index < 0 || index > 2) return;
  NumTriggerModeSelect = index;
  TMenuItem* items[] = {SingleMenu, InternalMenu, ExternalMenu};
  items[index]->SetChecked(true);
  SetTriggerCaption();
  if (!st) return;
  ResetGroupColors();
  st->SetRunMode(static_cast<TRunMode>(index));
  TView2DForm* view = View();
  if (index == rmCont) {
    if (st->GetTopoType() != ttNil) SetLastTopoType(st->GetTopoType());
    st->SetTopoType(ttNil);
  } else if (index == rmWheel && st->GetTopoType() == ttNil) {
    // The topo device chosen before the trigger mode left "External" comes back.
    const TTopoType last = LastTopoType() == ttNil ? ttWheel : LastTopoType();
    st->SetTopoType(last);
    st->SetWheelStep(TopoWheelStep(last));
    SetLastTopoType(st->GetTopoType());
    FillCalibrationMenu();
    SetRadarSettings();
    if (!Loading) RefreshForm();
    if (view) view->SaveDefault();
  }
  SetRadarSettings();
  const bool external = index == rmWheel;
  GroupBoxOdometer->SetVisible(external);
  MaxSpeedLabel->SetVisible(external);
  Label6->SetVisible(external);
  if (view) {
    if (view->DistanceMenu && external) view->DistanceMenu->SetChecked(true);
    if (view->TracesMenu && !external) view->TracesMenu->SetChecked(true);
    view->SetTitleTopAxes();
    view->SaveDefault();
  }
}

void TSettingsForm::TopoItemClick(TTopoType type) {
  if (!st) return;
  SetLastTopoType(type);
  st->SetWheelStep(TopoWheelStep(type));
  st->SetTopoType(type);
  FillCalibrationMenu();
  SetRadarSettings();
  RefreshForm();
  if (TView2DForm* view = View()) view->SaveSTT();
}

void TSettingsForm::GPSMenuClick() {
  if (!st) return;
  SetLastTopoType(ttGPS);
  st->SetTopoType(ttGPS);
  st->SetWheelStep(1);
  SetRadarSettings();
  FillCalibrationMenu();
  RefreshForm();
  TopoItemClick(ttGPS);
}

void TSettingsForm::GeneralPreferencesMenuClick() {
  ShowGeneralPreferences(Main());
  if (!st) return;
  st->SetWheelStep(TopoWheelStep(LastTopoType()));
  SetRadarSettings();
  FillCalibrationMenu();
  RefreshForm();
}

void TSettingsForm::FillCalibrationMenu() {
  calibrations_ = sw::WheelCalibrations(Main() ? Main()->MainIni() : nullptr, LastTopoType());
  OdometerListBox->Clear();
  TopoCalibrationPopupMenu->Items()->Clear();
  for (size_t i = 0; i < calibrations_.size(); ++i) {
    OdometerListBox->AddItem(calibrations_[i].Text);
    auto* item = new TMenuItem(this);
    item->SetCaption(calibrations_[i].Text);
    item->SetTag(static_cast<intptr_t>(i));
    const int index = static_cast<int>(i);
    item->OnClick = [this, index](TObject*) { CalibrationItemClick(index); };
    TopoCalibrationPopupMenu->Items()->Add(item);
  }
  TopoCalibrationButton->SetVisible(calibrations_.size() >= 2);
}

void TSettingsForm::CalibrationItemClick(int index) {
  if (!st || index < 0 || index >= static_cast<int>(calibrations_.size())) return;
  st->SetWheelStep(calibrations_[static_cast<size_t>(index)].Step);
  RefreshForm();
}

void TSettingsForm::ShowStepLabel() {
  if (!st) return;
  LabelOdometer->SetCaption(st->GetTopoType() == ttGPS
                                ? QString::number(st->GetWheelMult())
                                : QString::number(sw::StepDistanceMm(st->GetWheelMult(), st->GetWheelStep())));
}

void TSettingsForm::MultOdometrUpClick(TShiftState shift) {
  if (!st) return;
  if (const auto next = sw::WheelMultUp(st->GetWheelMult(), shift.Contains(ssShift))) {
    st->SetWheelMult(*next);
    SetRadarSettings();
  }
  ShowStepLabel();
  ShowLimits();
}

void TSettingsForm::MultOdometrDownClick(TShiftState shift) {
  if (!st) return;
  if (const auto next = sw::WheelMultDown(st->GetWheelMult(), shift.Contains(ssShift))) {
    st->SetWheelMult(*next);
    SetRadarSettings();
  }
  ShowStepLabel();
  ShowLimits();
}

// ---- Direction, comments, offsets ----------------------------------------------------------------

void TSettingsForm::BitBtnDirectionClick() {
  if (!st) return;
  const bool backward = st->GetDirection() == forth;
  st->SetDirection(backward ? back : forth);
  BitBtnDirection->SetCaption(LoadResString(backward ? SSettingsBackward : SSettingsForwardCaption));
  SetRadarSettings();
  if (Main()) Main()->SetButtonDirect();
}

void TSettingsForm::MemoCommentsChange() {
  if (Loading || !st) return;
  QString text = MemoComments->Text();
  if (text.size() > 250) {
    text.truncate(250);
    TFlagGuard loading(Loading);
    MemoComments->SetText(text);
  }
  st->SetComments(text);
  SetRadarSettings();
}

void TSettingsForm::OffsetDigitEditChangeFinish(int axis) {
  TView2DForm* view = View();
  if (Loading || !st || !view) return;
  int32_t xyz[] = {view->DeviceX(), view->DeviceY(), view->DeviceZ()};
  const TDigitEdit* edits[] = {XOffsetDigitEdit, YOffsetDigitEdit, ZOffsetDigitEdit};
  xyz[axis] = sw::OffsetToStored(edits[axis]->ValueReal());
  view->SetDeviceOffsets(xyz[0], xyz[1], xyz[2]);
  SetRadarSettings();
  if (view->NumActiveView == 0) view->FilValueList(0);
}

// ---- Live preview ---------------------------------------------------------------------------------

void TSettingsForm::SetPreviewCaptions(bool running) {
  const QString caption = LoadResString(running ? SSettingsStop : SSettingsStartCaption);
  SpeedButtonSwitchOn->SetCaption(caption);
  MenuRun->SetCaption(caption);
}

void TSettingsForm::SpeedButtonSwitchOnClick(TObject* Sender) {
  if (Sender != SpeedButtonSwitchOn) {
    SpeedButtonSwitchOn->SetDown(!SpeedButtonSwitchOn->Down());
    MenuRun->SetChecked(SpeedButtonSwitchOn->Down());
  }
  TControlRadar* set = Main() ? Main()->ControlRadar() : nullptr;
  TRadar* master = set ? set->GetMasterRadar() : nullptr;
  if (!master) {
    // Nothing runs without a radar: the button does not stay down.
    SpeedButtonSwitchOn->SetDown(false);
    MenuRun->SetChecked(false);
    SetPreviewCaptions(false);
    return;
  }
  if (SpeedButtonSwitchOn->Down()) {
    if (master->CurMode() == cmStop) {
      if (TView2DForm* view = View()) view->InitOnlinePlugin();
      set->StartAllRadarGetData();
    }
    SetPreviewCaptions(true);
  } else {
    set->StopAllRadarGetData();
    SetPreviewCaptions(false);
    master->SetCurMode(cmStop);
    if (TRadar* current = CurrentRadar()) current->SetCurMode(cmStop);
  }
}

// The reader thread writes the radar's last trace under SectPaint; the copy is
// taken under the same lock.
void TSettingsForm::PaintLastTrace(int64_t n, int64_t c) {
  if (StartPaintLastTrace) return;
  if (c < 0 || c >= ChannelCount) return;
  TFlagGuard painting(StartPaintLastTrace);
  const size_t channel = static_cast<size_t>(c);
  TControlRadar* set = Main() ? Main()->ControlRadar() : nullptr;
  TRadar* radar = set ? set->GetRadarByIndex(static_cast<int>(c)) : nullptr;
  T2Dview* store = Channel(static_cast<int>(c));
  if (!radar || !store) return;
  const TLastArray trace = radar->CopyLastArray();
  const int count = sw::PreviewSampleCount(n, store->Settings()->GetLongTrace());
  TLastArray work = trace;
  if (StartCalibrationGain)
    if (auto* stages = dynamic_cast<TOnlineStageSet*>(store->OnlineStages()))
      stages->DeviceOffset.ExecuteLastTrace(work.data(), count);
  ProcessPreviewTrace(work.data(), count, static_cast<int>(c));
  std::array<int32_t, sw::GainLength> values{};
  sw::ApplyGain(std::span<const int32_t>(work.data(), static_cast<size_t>(count)), Gain, count, values);
  if (TLineSeries* series = Series_[channel]) {
    // One repaint request per trace: the toolkit merges those of a burst into one paint.
    series->BeginUpdate();
    series->Clear();
    for (int j = 0; j < count; ++j) series->AddXY(values[static_cast<size_t>(j)], j, QString(), TraceColor);
    series->EndUpdate();
  }
  ++refills_[channel];
  if (st && st->GetRunMode() == rmStep && SpeedButtonSwitchOn->Down()) SpeedButtonSwitchOnClick(nullptr);
}

// ---- Closing ---------------------------------------------------------------------------------------

void TSettingsForm::StopOnClose() {
  if (st) {
    if (const TRadar* radar = CurrentRadar()) {
      st->GXmax = radar->GXmax;
      st->GXmin = radar->GXmin;
      st->GYmax = radar->GYmax;
      st->GYmin = radar->GYmin;
      st->GZmax = radar->GZmax;
      st->GZmin = radar->GZmin;
      st->CalibrationQuality = radar->CalibrationQuality;
      st->ZeroAngle = radar->ZeroAngle;
    }
  }
  if (SpeedButtonSwitchOn->Down()) SpeedButtonSwitchOnClick(nullptr);
  SpeedButtonSwitchOn->SetDown(false);
  MenuRun->SetChecked(false);
  if (st) {
    if (st->GetRunMode() != rmWheel) st->SetTopoType(ttNil);
    SetRadarSettings();
  }
  if (TControlRadar* set = Main() ? Main()->ControlRadar() : nullptr)
    for (int slot = 0; slot < ChannelCount; ++slot)
      if (TRadar* radar = set->GetRadarByIndex(slot); radar && radar->CurMode() != cmStop)
        radar->SendCommand(bcpStop, 0, nullptr);
}
