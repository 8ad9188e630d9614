#include "tools/imaging/spectrum_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/panels.h"
#include "platform/ui/radio_group.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "tools/imaging/spectrum_tool.h"

RESOURCESTRING(SDlgSpectrumCaption, "Spectrum");
RESOURCESTRING(SDlgSpectrumPosition, "Position");
RESOURCESTRING(SDlgSpectrumVertical, "Vertical");
RESOURCESTRING(SDlgSpectrumHorizontal, "Horizontal");
RESOURCESTRING(SDlgSpectrumFrequency, "Frequency");
RESOURCESTRING(SDlgSpectrumDelta, "+/-");
RESOURCESTRING(SDlgSpectrumStart, "Start");
RESOURCESTRING(SDlgSpectrumStop, "Stop");
RESOURCESTRING(SDlgSpectrumStepTime, "Step Time");
RESOURCESTRING(SDlgSpectrumDiapazon, "Diapazon (+/-)");
RESOURCESTRING(SDlgSpectrumInput, "Input");
RESOURCESTRING(SDlgSpectrumFrequencyAxis, "Frequency, Hz");
RESOURCESTRING(SDlgSpectrumHarmonic4, "Harmonic 4");
RESOURCESTRING(SDlgSpectrumHarmonic8, "Harmonic 8");
RESOURCESTRING(SDlgSpectrumHarmonic16, "Harmonic 16");
RESOURCESTRING(SDlgSpectrumHarmonic32, "Harmonic 32");
RESOURCESTRING(SDlgSpectrumHarmonic64, "Harmonic 64");

namespace {
constexpr int kTopHeight = 58;
constexpr int kBottomHeight = 36;

TPanel* AddPanel(TComponent* owner, TWinControl* parent, TAlign align, int height) {
  auto* panel = new TPanel(owner);
  panel->SetParent(parent);
  panel->SetHeight(height);
  panel->SetAlign(align);
  return panel;
}

TChart* AddChart(TComponent* owner, TWinControl* parent) {
  auto* chart = new TChart(owner);
  chart->SetParent(parent);
  chart->TopAxis()->SetVisible(false);
  chart->RightAxis()->SetVisible(false);
  return chart;
}
}  // namespace

TDlgSpectrum::TDlgSpectrum(TComponent* AOwner) : TToolForm(AOwner, [] {
  TToolFormOptions options;
  // A cursor move re-runs the chain of the channel it happened on.
  options.PreviewAllChannels = false;
  return options;
}()) {
  SetCaption(LoadResString(SDlgSpectrumCaption));
  SetFormStyle(fsStayOnTop);
  SetClientWidth(820);
  SetClientHeight(308);

  TopPanel = AddPanel(this, this, alTop, kTopHeight);
  BottomPanel = AddPanel(this, this, alBottom, kBottomHeight);
  ChartPanel = AddPanel(this, this, alClient, 308 - kTopHeight - kBottomHeight);

  EditCaption->SetParent(TopPanel);
  EditCaption->SetBounds(8, 6, 200, 21);
  ExecCheckBox->SetParent(TopPanel);
  ExecCheckBox->SetBounds(8, 34, 97, 17);

  RadioGroupPosition = new TRadioGroup(this);
  RadioGroupPosition->SetParent(TopPanel);
  RadioGroupPosition->SetBounds(216, 2, 180, 52);
  RadioGroupPosition->SetText(LoadResString(SDlgSpectrumPosition));
  RadioGroupPosition->SetItems({LoadResString(SDlgSpectrumVertical), LoadResString(SDlgSpectrumHorizontal)});

  FrDiscretDigitEdit = AddEdit(TopPanel, 404, 8, LoadResString(SDlgSpectrumFrequency), 1, 300, 0.01L);
  FrDiscretDigitEdit->SetAvailableDecimal(true);
  DeltaPlusDigitEdit = AddEdit(TopPanel, 404, 32, LoadResString(SDlgSpectrumDelta), 0, 1000, 1);
  // Kept hidden: the window follows Diapazon around the cursor.
  StartDigitEdit = AddEdit(TopPanel, 580, 8, LoadResString(SDlgSpectrumStart), 0, 8000, 1);
  StopDigitEdit = AddEdit(TopPanel, 580, 32, LoadResString(SDlgSpectrumStop), 1, 64000, 1);
  StepTimeDigitEdit = AddEdit(TopPanel, 700, 8, LoadResString(SDlgSpectrumStepTime), 0.01L, 0.1L, 0.01L);
  StepTimeDigitEdit->SetAvailableDecimal(true);
  StepTimeDigitEdit->SetValueReal(0.01L);
  DiapazonDigitEdit = AddEdit(TopPanel, 700, 32, LoadResString(SDlgSpectrumDiapazon), 1, 4000, 1);
  for (TDigitEdit* hidden : {StartDigitEdit, StopDigitEdit, StepTimeDigitEdit, DiapazonDigitEdit}) hidden->Hide();

  Chart1 = AddChart(this, ChartPanel);
  Chart1->SetWidth(410);
  Chart1->SetAlign(alLeft);
  Series1 = new TLineSeries(this);
  Series1->SetTitle(LoadResString(SDlgSpectrumInput));
  Series1->SetSeriesColor(clRed);
  Series1->SetParentChart(Chart1);
  Chart2 = AddChart(this, ChartPanel);
  Chart2->SetAlign(alClient);
  Chart2->BottomAxis()->SetTitle(LoadResString(SDlgSpectrumFrequencyAxis));
  FreqSeries1 = new TLineSeries(this);
  FreqSeries1->SetTitle(LoadResString(SDlgSpectrumFrequency));
  FreqSeries1->SetSeriesColor(clBlue);
  FreqSeries1->SetParentChart(Chart2);

  HarmonicPanel = AddPanel(this, this, alNone, 120);
  HarmonicPanel->SetBounds(0, 0, 820, 120);
  HarmonicPanel->Hide();
  const TResourceString* harmonicTitles[HarmonicCount] = {&SDlgSpectrumHarmonic4, &SDlgSpectrumHarmonic8,
                                                          &SDlgSpectrumHarmonic16, &SDlgSpectrumHarmonic32,
                                                          &SDlgSpectrumHarmonic64};
  for (int i = 0; i < HarmonicCount; ++i) {
    TChart* chart = AddChart(this, HarmonicPanel);
    chart->SetBounds(i * 164, 0, 164, 120);
    chart->SetTitle(LoadResString(*harmonicTitles[i]));
    HarmonicCharts[static_cast<size_t>(i)] = chart;
    auto* kernel = new TFastLineSeries(this);
    kernel->SetSeriesColor(clBlue);
    kernel->SetParentChart(chart);
    KernelSeries[static_cast<size_t>(i)] = kernel;
    auto* correlation = new TFastLineSeries(this);
    correlation->SetSeriesColor(clRed);
    correlation->SetVertAxis(aRightAxis);
    correlation->SetParentChart(chart);
    CorFuncSeries[static_cast<size_t>(i)] = correlation;
  }

  OKBitBtn->SetParent(BottomPanel);
  OKBitBtn->SetBounds(656, 6, 75, 25);
  CancelBitBtn->SetParent(BottomPanel);
  CancelBitBtn->SetBounds(737, 6, 75, 25);
  CancelBitBtn->SetEnabled(false);

  ExecCheckBox->OnClick = [this](TObject* sender) { ApplyClick(sender); };
  RadioGroupPosition->OnClick = [this](TObject* sender) { RadioGroupPositionClick(sender); };
  FrDiscretDigitEdit->OnChangeFinish = [this](TObject* sender) { FrDiscretChangeFinish(sender); };
  DeltaPlusDigitEdit->OnChangeFinish = [this](TObject* sender) { DeltaPlusChangeFinish(sender); };
  DiapazonDigitEdit->OnChangeFinish = [this](TObject* sender) { DiapazonChangeFinish(sender); };
  StartDigitEdit->OnChangeFinish = [this](TObject* sender) { StartStopChangeFinish(sender); };
  StopDigitEdit->OnChangeFinish = [this](TObject* sender) { StartStopChangeFinish(sender); };
  KeepEnterIn(FrDiscretDigitEdit);
  KeepEnterIn(DeltaPlusDigitEdit);
  // Shown: the protocol's opening, then the window around the cursor and the
  // lines at the current trace and depth.
  OnShow = [this](TObject* sender) {
    FormShow(sender);
    if (!Tool) return;
    TSpectrum& tool = Spectrum();
    tool.GetStartStopDiapazon(true);
    tool.DispSpectrum();
    tool.Refresh();
  };
}

TDigitEdit* TDlgSpectrum::AddEdit(TWinControl* parent, int left, int top, const QString& label, long double min,
                                  long double max, long double step) {
  auto* caption = new TLabel(this);
  caption->SetParent(parent);
  caption->SetBounds(left, top + 4, 70, 13);
  caption->SetCaption(label);
  auto* edit = new TDigitEdit(this);
  edit->SetParent(parent);
  edit->SetBounds(left + 74, top, 60, 21);
  edit->SetMinVal(min);
  edit->SetMaxVal(max);
  edit->SetStep(step);
  return edit;
}

TSpectrum& TDlgSpectrum::Spectrum() const { return static_cast<TSpectrum&>(*Tool); }

bool TDlgSpectrum::Reacts() const { return Tool && Vsbl && Spectrum().flChangeDigitEdit; }

void TDlgSpectrum::DisplayToolParam() {
  TSpectrum& tool = Spectrum();
  const bool reacting = tool.flChangeDigitEdit;
  tool.flChangeDigitEdit = false;
  RadioGroupPosition->SetItemIndex(tool.PositionTrace);
  FrDiscretDigitEdit->SetValueReal(tool.FrDescret);
  DeltaPlusDigitEdit->SetValueInt(tool.DeltaPlus);
  DiapazonDigitEdit->SetValueInt(tool.Diapazon);
  StepTimeDigitEdit->SetValueReal(tool.StepTime);
  tool.flChangeDigitEdit = reacting;
}

void TDlgSpectrum::ShowWindow(int32_t start, int32_t stop, long double stepTime) {
  StartDigitEdit->SetValueInt(start);
  StopDigitEdit->SetValueInt(stop);
  StepTimeDigitEdit->SetValueReal(stepTime);
}

void TDlgSpectrum::ClearSpectrum() {
  Series1->Clear();
  FreqSeries1->Clear();
}

void TDlgSpectrum::SetStatisticsTitle(const QString& title) { Chart1->BottomAxis()->SetTitle(title); }

void TDlgSpectrum::ShowHarmonic(int i, const std::vector<double>& kernel, const std::vector<double>& correlation) {
  if (i < 0 || i >= HarmonicCount) return;
  TFastLineSeries* k = KernelSeries[static_cast<size_t>(i)];
  TFastLineSeries* c = CorFuncSeries[static_cast<size_t>(i)];
  k->Clear();
  c->Clear();
  // Only while someone can see them: the panel stays hidden.
  if (!HarmonicPanel->Visible()) return;
  for (size_t j = 0; j < kernel.size(); ++j) k->AddXY(static_cast<double>(j), kernel[j]);
  for (size_t j = 0; j < correlation.size(); ++j) c->AddXY(static_cast<double>(j), correlation[j]);
}

// ---- Handlers ------------------------------------------------------------------------

void TDlgSpectrum::ApplyClick(TObject* Sender) {
  if (!Tool) return;
  const bool live = Vsbl;
  ExecCheckBoxClick(Sender);
  // No run is asked for with Apply off: the spectrum is redrawn here.
  if (live && Tool && !Tool->AExecuting) Spectrum().DrawSpectrum();
}

void TDlgSpectrum::RadioGroupPositionClick(TObject*) {
  if (!Reacts()) return;
  TSpectrum& tool = Spectrum();
  const int32_t position = RadioGroupPosition->ItemIndex() == 1 ? 1 : 0;
  if (position == tool.PositionTrace) return;
  std::swap(tool.AreaStart, tool.oldAreaStart);
  std::swap(tool.AreaStop, tool.oldAreaStop);
  tool.flChangeDigitEdit = false;
  ShowWindow(tool.AreaStart, tool.AreaStop, tool.StepTime);
  tool.flChangeDigitEdit = true;
  tool.PositionTrace = position;
  tool.FreqAfterChange();
  tool.Refresh();
}

void TDlgSpectrum::FrDiscretChangeFinish(TObject*) {
  if (!Reacts()) return;
  TSpectrum& tool = Spectrum();
  tool.FrDescret = std::max(FrDiscretDigitEdit->ValueInt(), 1);
  tool.StepTime = 1 / tool.FrDescret;
  tool.dTime = 1000 * tool.StepTime;
  tool.FreqAfterChange();
  tool.Refresh();
}

void TDlgSpectrum::DeltaPlusChangeFinish(TObject*) {
  if (!Reacts()) return;
  Spectrum().DeltaPlus = DeltaPlusDigitEdit->ValueInt();
  Spectrum().Refresh();
}

void TDlgSpectrum::DiapazonChangeFinish(TObject*) {
  if (!Reacts()) return;
  TSpectrum& tool = Spectrum();
  tool.Diapazon = DiapazonDigitEdit->ValueInt();
  if (tool.Diapazon == 0) tool.Diapazon = 1;
  tool.GetStartStopDiapazon(true);
  tool.Refresh();
}

void TDlgSpectrum::StartStopChangeFinish(TObject*) {
  if (!Reacts()) return;
  TSpectrum& tool = Spectrum();
  tool.AreaStart = StartDigitEdit->ValueInt();
  tool.AreaStop = StopDigitEdit->ValueInt();
  tool.GetStartStopDiapazon(false);
  tool.Refresh();
}
