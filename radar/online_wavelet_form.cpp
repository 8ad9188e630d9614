#include "radar/online_wavelet_form.h"

#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "profiledata/form_charset.h"
#include "profiledata/setting_data.h"
#include "radar/online_dialog_hooks.h"
#include "radar/online_form_strings.h"
#include "radar/online_stages.h"

#include <cmath>
#include <numbers>

namespace {
// Samples shown on each side of the wavelet's centre.
constexpr int kHalfSpan = 150;
// The range of the time axis before the first drawing.
constexpr double kInitialTime = 12;
}  // namespace

// line has the stage's 1024 entries; the wavelet fills the first 900.
TOnlineWaveletForm::TOnlineWaveletForm(TComponent* AOwner) : TForm(AOwner), line(1024, 0.0L) {
  SetBorderStyle(bsToolWindow);
  SetCaption(LoadResString(SOnlineWaveletFormCaption));
  SetClientWidth(286);
  SetClientHeight(319);

  Chart1 = new TChart(this);
  Chart1->SetParent(this);
  Chart1->SetBounds(0, 0, 286, 240);
  TChartAxis* time = Chart1->LeftAxis();
  time->SetTitle(LoadResString(STimeNsCaption));
  time->SetInverted(true);
  time->SetMinMax(-kInitialTime, kInitialTime);
  time->SetLabelFormat(QStringLiteral("##0.###"));
  // The amplitude runs along the top; nothing is drawn on the bottom axis.
  Chart1->TopAxis()->SetVisible(true);
  Chart1->TopAxis()->SetLabelFormat(QStringLiteral("##0.###"));
  Chart1->BottomAxis()->SetVisible(false);

  Series1 = new TLineSeries(this);
  Series1->SetSeriesColor(clBlue);
  Series1->LinePen()->SetWidth(2);
  Series1->SetHorizAxis(aTopAxis);
  Series1->SetParentChart(Chart1);
  // On the wavelet's axis, so that it marks its zero amplitude.
  Series2 = new TLineSeries(this);
  Series2->SetSeriesColor(clGray);
  Series2->LinePen()->SetStyle(psDot);
  Series2->SetHorizAxis(aTopAxis);
  Series2->SetParentChart(Chart1);

  Label1 = new TLabel(this);
  Label1->SetParent(this);
  Label1->SetLeft(8);
  Label1->SetTop(252);
  Label1->SetCaption(LoadResString(STimeScaleNsCaption));

  DigitEditTimescale = new TDigitEdit(this);
  DigitEditTimescale->SetParent(this);
  DigitEditTimescale->SetBounds(120, 248, 65, 21);
  DigitEditTimescale->SetMinVal(0.1L);
  DigitEditTimescale->SetMaxVal(20);
  DigitEditTimescale->SetAvailableDecimal(true);
  DigitEditTimescale->SetStep(0.1L);
  DigitEditTimescale->SetValueReal(FParametrsWavelet.pTimescale);
  DigitEditTimescale->SetEnabled(false);
  DigitEditTimescale->SetReadOnly(true);

  ExecCheckBox = new TCheckBox(this);
  ExecCheckBox->SetParent(this);
  ExecCheckBox->SetBounds(8, 290, 97, 17);
  ExecCheckBox->SetCaption(LoadResString(SOnlineApplyCaption));

  OKBitBtn = new TBitBtn(this);
  OKBitBtn->SetParent(this);
  OKBitBtn->SetBounds(203, 286, 75, 25);
  OKBitBtn->SetCaption(LoadResString(SOnlineOkCaption));
  OKBitBtn->SetModalResult(mrOk);

  OnCreate = [this](TObject* sender) { FormCreate(sender); };
  OnShow = [this](TObject* sender) { FormShow(sender); };
  ExecCheckBox->OnClick = [this](TObject* sender) { ExecCheckBoxClick(sender); };
  DigitEditTimescale->OnChangeFinish = [this](TObject* sender) { DigitEditTimescaleChangeFinish(sender); };
}

void TOnlineWaveletForm::FormCreate(TObject*) {
  SetFormCharsetForLanguage(*this, ResourceLanguage());
  Series2->Clear();
  Series2->AddXY(0, -kInitialTime);
  Series2->AddXY(0, kInitialTime);
}

void TOnlineWaveletForm::FormShow(TObject*) {
  flnoStart = false;
  PlaceAtChart();
  DigitEditTimescale->SetValueReal(FParametrsWavelet.pTimescale);
  DrawWavelet();
  SetCaption(LoadResString(SWaveletCaption));
  ExecCheckBox->SetChecked(FParametrsWavelet.pApplay);
  flnoStart = true;
}

void TOnlineWaveletForm::PlaceAtChart() { PlaceBesideChartAmp(*this); }

// The online stage's wavelet, computed for the dialog's time scale and the
// settings window's sample interval (the stage reads both from its channel).
void TOnlineWaveletForm::PrepareLine() {
  const IOnlineDialogHost* host = OnlineDialogHost();
  const TSettingData* settings = host ? host->CurrentSettings() : nullptr;
  if (!settings) return;
  PluginsOnline::PrepareWaveletTaps(FParametrsWavelet.pTimescale, settings, line, start, stop, CorLength, CorFunc);
}

void TOnlineWaveletForm::DrawWavelet() {
  PrepareLine();
  const IOnlineDialogHost* host = OnlineDialogHost();
  const TSettingData* settings = host ? host->CurrentSettings() : nullptr;
  // Without a sample interval there is no time scale to draw on; the chart
  // keeps what it shows.
  if (!settings || settings->GetLongTrace() <= 0) return;
  const double a = settings->GetSpanWidth() / settings->GetLongTrace();  // ns per sample
  Series2->Clear();
  Series2->AddXY(0, -kHalfSpan * a);
  Series2->AddXY(0, kHalfSpan * a);
  Chart1->LeftAxis()->SetMinMax(-kHalfSpan * a, kHalfSpan * a);
  Series1->Clear();
  for (int i = start; i <= stop; ++i)
    Series1->AddXY(static_cast<double>(line[i]), a * (i - PluginsOnline::TWavelet::LineCentre));
}

void TOnlineWaveletForm::ExecCheckBoxClick(TObject*) {
  FParametrsWavelet.pApplay = ExecCheckBox->Checked();
  if (IOnlineDialogHost* host = OnlineDialogHost())
    host->SetOnlinePluginChecked(OnlinePluginWaveletItem, ExecCheckBox->Checked());
  ApplyWavelet();
}

void TOnlineWaveletForm::DigitEditTimescaleChangeFinish(TObject*) {
  FParametrsWavelet.pTimescale = DigitEditTimescale->ValueReal();
  DrawWavelet();
  ApplyWavelet();
}

void TOnlineWaveletForm::ApplyWavelet() {
  if (!flnoStart) return;
  if (IOnlineDialogHost* host = OnlineDialogHost())
    host->SetParamOnlinePlugin(TOnlineStageSet::WaveletName, FParametrsWavelet);
}
