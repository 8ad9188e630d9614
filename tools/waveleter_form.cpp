#include "tools/waveleter_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "radar/plugins_online.h"
#include "tools/wavelet.h"

RESOURCESTRING(SWaveleterFormCaption, "Wavelate Advanced Filter Settings");
RESOURCESTRING(SWaveleterTimeScaleCaption, "Time Scale, ns");
RESOURCESTRING(SWaveleterHarmonicCountCaption, "Number of Harmonics");
RESOURCESTRING(SWaveleterHarmonicStepCaption, "Harmonic Step, ns");
RESOURCESTRING(SWaveleterInvertCaption, "Invert");
RESOURCESTRING(SWaveleterTimeAxisCaption, "Time, ns");

namespace {
// The harmonics the chart has a series for: -4 .. 4.
constexpr int kShownHalf = 4;
// The time axis spans this many samples on each side of the centre.
constexpr double kAxisSamples = 37.5;
}  // namespace

TWaveleterForm::TWaveleterForm(TComponent* AOwner) : TToolForm(AOwner, [] {
  TToolFormOptions options;
  options.LanguageCharset = false;
  return options;
}()) {
  SetCaption(LoadResString(SWaveleterFormCaption));
  SetClientWidth(273);
  SetClientHeight(481);

  EditCaption->SetBounds(8, 8, 257, 21);

  Chart1 = new TChart(this);
  Chart1->SetParent(this);
  Chart1->SetBounds(8, 36, 257, 257);
  Chart1->LeftAxis()->SetTitle(LoadResString(SWaveleterTimeAxisCaption));
  Chart1->LeftAxis()->SetInverted(true);
  for (size_t i = 0; i < Series.size(); ++i) {
    auto* series = new TLineSeries(this);
    series->SetXValuesOrder(loNone);
    series->SetYValuesOrder(loNone);
    series->SetParentChart(Chart1);
    // Harmonic 0 in red; the others are kept but not shown.
    const bool centre = static_cast<int>(i) == kShownHalf;
    series->SetSeriesColor(centre ? clRed : clBlue);
    series->SetActive(centre);
    Series[i] = series;
  }

  TimescaleLabel = new TLabel(this);
  TimescaleLabel->SetParent(this);
  TimescaleLabel->SetBounds(8, 304, 120, 13);
  TimescaleLabel->SetCaption(LoadResString(SWaveleterTimeScaleCaption));
  DigitEditTimescale = new TDigitEdit(this);
  DigitEditTimescale->SetParent(this);
  DigitEditTimescale->SetBounds(160, 300, 105, 21);
  DigitEditTimescale->SetMinVal(0.1L);
  DigitEditTimescale->SetMaxVal(20);
  DigitEditTimescale->SetStep(0.1L);
  DigitEditTimescale->SetAvailableDecimal(true);

  HarmonicCountLabel = new TLabel(this);
  HarmonicCountLabel->SetParent(this);
  HarmonicCountLabel->SetBounds(8, 334, 120, 13);
  HarmonicCountLabel->SetCaption(LoadResString(SWaveleterHarmonicCountCaption));
  HarmonicCountLabel->SetVisible(false);
  cbHarmonicCount = new TComboBox(this);
  cbHarmonicCount->SetParent(this);
  cbHarmonicCount->SetStyle(csDropDownList);
  cbHarmonicCount->SetBounds(160, 330, 105, 21);
  cbHarmonicCount->SetItems({QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("5"), QStringLiteral("7"),
                             QStringLiteral("9")});
  cbHarmonicCount->SetVisible(false);

  DHarmonicLabel = new TLabel(this);
  DHarmonicLabel->SetParent(this);
  DHarmonicLabel->SetBounds(8, 364, 120, 13);
  DHarmonicLabel->SetCaption(LoadResString(SWaveleterHarmonicStepCaption));
  DHarmonicLabel->SetVisible(false);
  DigitEditDHarmonic = new TDigitEdit(this);
  DigitEditDHarmonic->SetParent(this);
  DigitEditDHarmonic->SetBounds(160, 360, 105, 21);
  DigitEditDHarmonic->SetMinVal(0.1L);
  DigitEditDHarmonic->SetStep(0.1L);
  DigitEditDHarmonic->SetAvailableDecimal(true);
  DigitEditDHarmonic->SetVisible(false);

  InvertCheckBox = new TCheckBox(this);
  InvertCheckBox->SetParent(this);
  InvertCheckBox->SetBounds(8, 394, 97, 17);
  InvertCheckBox->SetCaption(LoadResString(SWaveleterInvertCaption));
  InvertCheckBox->SetVisible(false);

  ExecCheckBox->SetBounds(8, 420, 97, 17);
  OKBitBtn->SetBounds(110, 448, 75, 25);
  CancelBitBtn->SetBounds(190, 448, 75, 25);
  KeepEnterIn(DigitEditTimescale);
  KeepEnterIn(cbHarmonicCount);
  KeepEnterIn(DigitEditDHarmonic);

  DigitEditTimescale->OnChangeFinish = [this](TObject* sender) { DigitEditTimescaleChangeFinish(sender); };
  DigitEditDHarmonic->OnChangeFinish = [this](TObject* sender) { DigitEditDHarmonicChangeFinish(sender); };
  cbHarmonicCount->OnChange = [this](TObject* sender) { cbHarmonicCountChange(sender); };
  InvertCheckBox->OnClick = [this](TObject* sender) { InvertCheckBoxClick(sender); };
  OKBitBtn->OnClick = [this](TObject* sender) { OKClick(sender); };
}

TWavelet& TWaveleterForm::Wavelet() const { return static_cast<TWavelet&>(*Tool); }

void TWaveleterForm::DisplayToolParam() {
  TWavelet& tool = Wavelet();
  DigitEditTimescale->SetValueReal(tool.Timescale);
  InvertCheckBox->SetChecked(tool.isInvert);
  const int count = tool.GetHarmonicCount();
  cbHarmonicCount->SetItemIndex(count % 2 == 1 && count <= 9 ? count / 2 : -1);
  DigitEditDHarmonic->SetValueReal(tool.dHarmonic);
  ApplyStepBound();
  DrawKernels();
}

void TWaveleterForm::ApplyStepBound() {
  if (!Tool) return;
  DigitEditDHarmonic->SetMinVal(0.1L);
  const long double before = Wavelet().dHarmonic;
  const long double limit = Wavelet().ApplyHarmonicStepBound();
  if (Wavelet().dHarmonic != before) DigitEditDHarmonic->SetValueReal(limit);
  DigitEditDHarmonic->SetMaxVal(limit);
}

void TWaveleterForm::DrawKernels() {
  if (!Tool) return;
  TWavelet& tool = Wavelet();
  const int32_t channel = tool.CurrentNumberView;
  tool.PrepareLine(channel);
  const double dt = static_cast<double>(tool.SampleInterval(channel));
  for (TLineSeries* series : Series) series->Clear();
  const TWaveletKernels& k = tool.Kernels;
  for (int h = -tool.HarmonicHalf(); h <= tool.HarmonicHalf(); ++h) {
    if (h < -kShownHalf || h > kShownHalf) continue;
    TLineSeries* series = Series[static_cast<size_t>(h + kShownHalf)];
    const std::vector<long double>& line = k.Line(h);
    for (int j = std::max(k.mstart, 0); j <= k.mstop && j < static_cast<int>(line.size()); ++j)
      series->AddXY(static_cast<double>(line[static_cast<size_t>(j)]),
                    (j - PluginsOnline::TWavelet::LineCentre) * dt);
  }
  if (dt > 0) Chart1->LeftAxis()->SetMinMax(-kAxisSamples * dt, kAxisSamples * dt);
}

void TWaveleterForm::Apply(TObject* Sender) {
  ExecCheckBoxClick(Sender);
  DrawKernels();
}

void TWaveleterForm::DigitEditTimescaleChangeFinish(TObject* Sender) {
  if (!Tool || !Vsbl) return;
  Wavelet().Timescale = DigitEditTimescale->ValueReal();
  ApplyStepBound();
  if (!Tool->runing) Apply(Sender);
}

void TWaveleterForm::DigitEditDHarmonicChangeFinish(TObject* Sender) {
  if (!Tool || !Vsbl) return;
  Wavelet().dHarmonic = DigitEditDHarmonic->ValueReal();
  ApplyStepBound();
  if (!Tool->runing) Apply(Sender);
}

void TWaveleterForm::cbHarmonicCountChange(TObject* Sender) {
  if (!Tool || !Vsbl) return;
  const int index = cbHarmonicCount->ItemIndex();
  if (index >= 0) Wavelet().SetHarmonicCount(2 * index + 1);
  ApplyStepBound();
  Apply(Sender);
}

void TWaveleterForm::InvertCheckBoxClick(TObject* Sender) {
  if (!Tool || !Vsbl) return;
  Wavelet().isInvert = InvertCheckBox->Checked();
  Apply(Sender);
}

void TWaveleterForm::OKClick(TObject* Sender) {
  if (!Tool) return;
  Tool->SaveParamPlugin(Tool->CurrentNumberView);
  OKBitBtnClick(Sender);
}
