// The settings window's group "Tools online": the switches of the channels'
// online stages, the stages' dialogs, the gain calibration and the copies
// between the stages and the radargram window's tool chain. The work on the
// channels and the chain is in settings_online.cpp.

#include "acquisition/settings_form.h"

#include "acquisition/main_form.h"
#include "acquisition/settings_online.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/check_list_box.h"
#include "platform/ui/image.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/online_background_removal_form.h"
#include "radar/online_gain_form.h"
#include "radar/online_stages.h"
#include "radar/online_wavelet_form.h"
#include "radargram/view2d_form.h"

#include <algorithm>
#include <array>


namespace so = settings_online;

namespace {

constexpr int kOnlineItemHeight = 29;

// The stage dialog the program keeps for its whole run (made when missing).
template <typename T>
T* LongLivedDialog() {
  for (int i = 0; i < Application->ComponentCount(); ++i)
    if (auto* form = dynamic_cast<T*>(Application->Components(i))) return form;
  T* form = nullptr;
  Application->CreateForm(form);
  return form;
}

so::TOnlineMarks MarksOf(const TCheckListBox& list) {
  return {list.Checked(OnlinePluginWaveletItem), list.Checked(OnlinePluginBackgroundItem),
          list.Checked(OnlinePluginGainItem)};
}

void ShowMarks(TCheckListBox& list, const so::TOnlineMarks& marks) {
  for (int i = 0; i < static_cast<int>(marks.size()); ++i) list.SetChecked(i, marks[static_cast<size_t>(i)]);
}

}  // namespace

// ---- Controls -----------------------------------------------------------------------------------

void TSettingsForm::BuildOnlineControls() {
  GroupBoxPluginOnline = new TGroupBox(this);
  GroupBoxPluginOnline->SetParent(Panel2);
  GroupBoxPluginOnline->SetBounds(0, Panel2->Height() - 112, Panel2->Width(), 112);
  GroupBoxPluginOnline->SetAlign(alBottom);
  GroupBoxPluginOnline->SetCaption(LoadResString(SSettingsToolsOnline));

  OnlinePluginCheckListBox = new TCheckListBox(this);
  OnlinePluginCheckListBox->SetParent(GroupBoxPluginOnline);
  OnlinePluginCheckListBox->SetBounds(8, 16, 260, 3 * kOnlineItemHeight + 4);
  OnlinePluginCheckListBox->SetItemHeight(kOnlineItemHeight);
  ShowOnlineStageNames();
  OnlinePluginCheckListBox->OnClickCheck = [this](TObject*) { OnlinePluginCheckListBoxClickCheck(); };
  OnlinePluginCheckListBox->OnDblClick = [this](TObject*) { OnlinePluginCheckListBoxDblClick(); };

  const auto button = [this](int row, const TResourceString& hint, void (TSettingsForm::*click)()) {
    auto* b = new TSpeedButton(this);
    b->SetParent(GroupBoxPluginOnline);
    b->SetBounds(272, 18 + row * kOnlineItemHeight, 25, 25);
    b->SetCaption(QStringLiteral("..."));
    b->SetHint(LoadResString(hint));
    b->OnClick = [this, click](TObject*) { (this->*click)(); };
    return b;
  };
  sbWavelet = button(OnlinePluginWaveletItem, SSettingsOnlineWaveletHint, &TSettingsForm::sbWaveletClick);
  sbWindowedBackgroundRemoval = button(OnlinePluginBackgroundItem, SSettingsOnlineBackgroundHint,
                                       &TSettingsForm::sbWindowedBackgroundRemovalClick);
  sbGain = button(OnlinePluginGainItem, SSettingsOnlineGainHint, &TSettingsForm::sbGainClick);

  // A toggle of its own group that may be up.
  StartCalibrationSpeedButton->SetGroupIndex(2);
  StartCalibrationSpeedButton->SetAllowAllUp(true);
  StartCalibrationSpeedButton->OnClick = [this](TObject*) { StartCalibrationSpeedButtonClick(); };

  ProgressPanel->SetCaption(QString());
  GainCalibrLabel = new TLabel(this);
  GainCalibrLabel->SetParent(ProgressPanel);
  GainCalibrLabel->SetBounds(8, 6, 184, 16);
  GainCalibrLabel->SetCaption(LoadResString(SSettingsMoveAntenna));
  ProgressImage = new TImage(this);
  ProgressImage->SetParent(ProgressPanel);
  ProgressImage->SetBounds(8, 26, 32, 32);
  ProgressImage->SetFrames(RunningBarFrames(32, 32));
  TracesCalibrationLabel = new TLabel(this);
  TracesCalibrationLabel->SetParent(ProgressPanel);
  TracesCalibrationLabel->SetBounds(48, 34, 144, 16);
  TracesCalibrationLabel->SetCaption(QStringLiteral("0"));

  SetOnlineDialogHost(this);
}

void TSettingsForm::ShowOnlineStageNames() {
  TCheckListBox& list = *OnlinePluginCheckListBox;
  std::array<bool, 3> marks{};
  for (int i = 0; i < list.Count() && i < 3; ++i) marks[static_cast<size_t>(i)] = list.Checked(i);
  list.SetItems({LoadResString(SWaveletCaption), LoadResString(SWindowedBackgroundRemovalCaption),
                 LoadResString(SGainCaption)});
  for (int i = 0; i < 3; ++i) list.SetChecked(i, marks[static_cast<size_t>(i)]);
}

void TSettingsForm::ShowCalibrationState() {
  StartCalibrationSpeedButton->SetDown(StartCalibrationGain);
  StartCalibrationSpeedButton->SetCaption(
      LoadResString(StartCalibrationGain ? SSettingsStopCalibration : SSettingsStartCalibration));
  // The preview belongs to the calibration while it runs.
  SpeedButtonSwitchOn->SetVisible(!StartCalibrationGain);
  ProgressPanel->SetVisible(StartCalibrationGain);
  ProgressImage->SetAnimate(StartCalibrationGain);
}

// ---- Switches -------------------------------------------------------------------------------------

void TSettingsForm::SetOnlinePluginChecked() {
  const so::TOnlineMarks marks = so::MarksFromStages(Channel(0));
  ShowMarks(*OnlinePluginCheckListBox, marks);
  for (int i = 0; i < static_cast<int>(marks.size()); ++i) SetApplayAllOnlinePlugin(i, marks[static_cast<size_t>(i)]);
}

void TSettingsForm::SetOnlinePluginChecked(int item, bool checked) { OnlinePluginCheckListBox->SetChecked(item, checked); }

void TSettingsForm::SetApplayAllOnlinePlugin(int TypePlugin, bool aApplay) {
  so::SetApplayAll(so::ChannelsOf(View()), TypePlugin, aApplay);
}

void TSettingsForm::ApplyOnlineSwitch() {
  const so::TOnlineMarks marks = MarksOf(*OnlinePluginCheckListBox);
  if (TOnlineStageSet* stages = so::StagesOf(Channel(SelectNumRadar))) {
    const TSettingData* settings = st ? st : Channel(SelectNumRadar)->Settings();
    so::SwitchStages(*stages, marks, settings_window::SamplesFromOverStep(settings->GetOverStep()));
  }
  for (int i = 0; i < static_cast<int>(marks.size()); ++i) SetApplayAllOnlinePlugin(i, marks[static_cast<size_t>(i)]);
  so::WriteOnlineParameters(so::ChannelsOf(View()));
  flChangeOnLineFilter = true;
}

void TSettingsForm::OnlinePluginCheckListBoxClickCheck() { ApplyOnlineSwitch(); }

void TSettingsForm::OnlinePluginCheckListBoxDblClick() {
  TOnlineStageSet* stages = so::StagesOf(Channel(SelectNumRadar));
  if (!stages) return;
  so::SetStageFlags(*stages, MarksOf(*OnlinePluginCheckListBox));
  switch (OnlinePluginCheckListBox->ItemIndex()) {
    case OnlinePluginBackgroundItem:
      sbWindowedBackgroundRemovalClick();
      return;
    case OnlinePluginGainItem:
      sbGainClick();
      return;
    default:
      sbWaveletClick();
      return;
  }
}

// ---- Stage dialogs ---------------------------------------------------------------------------------

void TSettingsForm::sbWaveletClick() {
  const TOnlineStageSet* stages = so::StagesOf(Channel(SelectNumRadar));
  if (!stages) return;
  TOnlineWaveletForm* dialog = LongLivedDialog<TOnlineWaveletForm>();
  dialog->FParametrsWavelet.pTimescale = stages->Wavelet.Timescale;
  dialog->FParametrsWavelet.pApplay = stages->Wavelet.Applay;
  dialog->CorLength = stages->Wavelet.CorLength;
  dialog->CorFunc = stages->Wavelet.CorFunc;
  dialog->ShowModal();
  flChangeOnLineFilter = true;
}

void TSettingsForm::sbWindowedBackgroundRemovalClick() {
  const TOnlineStageSet* stages = so::StagesOf(Channel(SelectNumRadar));
  if (!stages) return;
  auto* dialog = LongLivedDialog<TOnlineWindowedBackgroundRemovalForm>();
  dialog->FParametrsWindowedBackgroundRemoval.pWidthWindow = stages->WindowedBackgroundRemoval.WidthWindow;
  dialog->FParametrsWindowedBackgroundRemoval.pApplay = stages->WindowedBackgroundRemoval.Applay;
  if (dialog->ShowModal() == mrOk) flChangeOnLineFilter = true;
}

void TSettingsForm::sbGainClick() {
  TOnlineStageSet* stages = so::StagesOf(Channel(SelectNumRadar));
  if (!stages) return;
  TOnlineTVGCForm* dialog = LongLivedDialog<TOnlineTVGCForm>();
  dialog->FParametrsGain.pListOfBaseDots.Assign(stages->TVGC.ListofBaseDots);
  dialog->FParametrsGain.pApplay = stages->TVGC.Applay;
  if (dialog->ShowModal() != mrOk) return;
  // The dialog may have closed the window's channels meanwhile.
  stages = so::StagesOf(Channel(SelectNumRadar));
  if (!stages) return;
  const TSettingData* settings = Channel(SelectNumRadar)->Settings();
  stages->TVGC.ListofBaseDots.SetHeight(settings_window::SamplesFromOverStep(settings->GetOverStep()));
  stages->TVGC.ListofBaseDots.PrepaerValues();
  OnlinePluginCheckListBox->SetChecked(OnlinePluginGainItem, stages->TVGC.Applay);
  flChangeOnLineFilter = true;
}

// ---- IOnlineDialogHost ------------------------------------------------------------------------------

void TSettingsForm::SetParamOnlinePlugin(const QString& NamePlugin, const TOnlineParametrs& P) {
  if (TOnlineStageSet* stages = so::StagesOf(Channel(SelectNumRadar))) stages->SetOnlineParameters(NamePlugin, P);
}

TPoint TSettingsForm::ChartAmpClientOrigin() const { return ChartAmp->ClientToScreen(TPoint{0, 0}); }

int TSettingsForm::ChartAmpHeight() const { return ChartAmp->Height(); }

int TSettingsForm::ChartAmpPlotHeight() const { return ChartAmp->ChartRect().Height(); }

const TSettingData* TSettingsForm::CurrentSettings() const {
  const T2Dview* store = Channel(SelectNumRadar);
  return store ? store->Settings() : nullptr;
}

// ---- Stages and chain ---------------------------------------------------------------------------------

void TSettingsForm::CopyOnlineToTools() {
  if (TView2DForm* view = View()) so::CopyOnlineToTools(*view, MarksOf(*OnlinePluginCheckListBox));
}

void TSettingsForm::Sinchronize3ToolsToOnline(TView2DForm& window, bool OnAll) {
  window.CopyChainToOnlineStages();
  if (OnAll) ShowMarks(*OnlinePluginCheckListBox, so::MarksFromStages(window.GetView2DByIndx(0)));
}

// ---- Preview chain and gain calibration -------------------------------------------------------------

void TSettingsForm::ProcessPreviewTrace(int32_t* trace, int32_t n, int c) {
  T2Dview* store = Channel(c);
  TOnlineStageSet* stages = so::StagesOf(store);
  if (!stages || !trace || n <= 0) return;
  const bool calibrating = StartCalibrationGain;
  if (calibrating) so::CollectCalibrationTrace(*store, trace, n);
  stages->ExecuteChain(trace, n);
  if (!calibrating) return;
  TGainCalibration& calibration = stages->GainCalibration;
  calibration.AddTraceForGain(trace, n);
  if (Shown()) TracesCalibrationLabel->SetCaption(calibration.ProgressText());
  if (!calibration.Running()) {
    // Finished by itself: as if the button had been pressed.
    StartCalibrationSpeedButton->SetDown(false);
    StartCalibrationSpeedButtonClick();
  }
}

void TSettingsForm::StartCalibrationSpeedButtonClick() {
  if (!CurrentRadar()) {
    StartCalibrationSpeedButton->SetDown(false);
    return;
  }
  // Switching the preview waits for the radars' replies and serves queued
  // traces meanwhile: the flag is set only once the preview runs and cleared
  // before it stops, so that no trace is collected or measured while the
  // calibration starts or ends.
  if (!StartCalibrationGain) {
    TracesCalibrationLabel->SetCaption(QStringLiteral("0"));
    if (SpeedButtonSwitchOn->Down()) SpeedButtonSwitchOnClick(nullptr);
    ShowMarks(*OnlinePluginCheckListBox, {true, true, false});
    ApplyOnlineSwitch();
    so::PrepareCalibration(so::ChannelsOf(View()));
    SpeedButtonSwitchOnClick(nullptr);
    StartCalibrationGain = true;
  } else {
    StartCalibrationGain = false;
    StopGainCalibration();
  }
  ShowCalibrationState();
}

void TSettingsForm::StopGainCalibration() {
  if (SpeedButtonSwitchOn->Down()) SpeedButtonSwitchOnClick(nullptr);
  TView2DForm* view = View();
  if (!view) return;
  const TControlRadar* set = Main() ? Main()->ControlRadar() : nullptr;
  const int radars = std::clamp(set ? set->GetCountPluginRadars() : 0, 0, ChannelCount);
  for (int c = 0; c < radars; ++c) so::FinishCalibration(*view, c);
  // Channels without a radar collected nothing worth keeping.
  for (int c = radars; c < ChannelCount; ++c)
    if (T2Dview* store = Channel(c)) so::ReleaseCollectedTraces(*store);
  CopyOnlineToTools();
  OnlinePluginCheckListBox->SetChecked(OnlinePluginGainItem, true);
  ApplyOnlineSwitch();
  StartCalibrationSpeedButton->SetDown(false);
  view->SaveToolsSTCL();
}

void TSettingsForm::AbandonGainCalibration() {
  for (int c = 0; c < ChannelCount; ++c)
    if (T2Dview* store = Channel(c)) so::ReleaseCollectedTraces(*store);
  StartCalibrationGain = false;
  ShowCalibrationState();
}
