#include "tools/frequency_filter_form.h"

#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "tools/frequency_filter_tool.h"

#include <algorithm>

RESOURCESTRING(SFrequencyFormCaption, "Filter");
RESOURCESTRING(SFilterTypeCaption, "Filter Type");
RESOURCESTRING(SFrequencyMHzCaption, "Frequency, MHz");
RESOURCESTRING(SFrequencyGHzAxisTitle, "Frequency, GHz");
RESOURCESTRING(SSpectrumInputTitle, "Input");
RESOURCESTRING(SSpectrumOutputTitle, "Output");
RESOURCESTRING(SSpectrumFilterTitle, "Filter");

namespace {
constexpr TColor FilterLineColor = 0x00AE00;

TLineSeries* AddSeries(TComponent* owner, TChart* chart, const TResourceString& title, TColor color) {
  auto* series = new TLineSeries(owner);
  series->SetTitle(LoadResString(title));
  series->SetSeriesColor(color);
  series->SetParentChart(chart);
  return series;
}

// The type buttons' captions are padded with blanks, as the bar lays them out.
QString PaddedCaption(const TResourceString& caption) {
  return QStringLiteral("    ") + LoadResString(caption) + QStringLiteral("    ");
}
}  // namespace

TFrequencyFilterForm::TFrequencyFilterForm(TComponent* AOwner, const TFrequencyFormLayout& layout)
    : TToolForm(AOwner, [] {
        TToolFormOptions options;
        options.BlockingPreview = true;
        return options;
      }()) {
  SetCaption(LoadResString(SFrequencyFormCaption));
  SetClientWidth(461);
  SetClientHeight(457);
  EditCaption->SetBounds(8, 8, 445, 21);

  TypeGroupBox = new TGroupBox(this);
  TypeGroupBox->SetParent(this);
  TypeGroupBox->SetBounds(8, 36, 445, 57);
  TypeGroupBox->SetCaption(LoadResString(SFilterTypeCaption));
  TypeToolBar = new TToolBar(this);
  TypeToolBar->SetParent(TypeGroupBox);
  TypeToolBar->SetBounds(8, 20, 429, 29);
  const TResourceString* typeCaptions[2] = {layout.FirstTypeCaption, layout.SecondTypeCaption};
  const uint8_t types[2] = {layout.FirstType, layout.SecondType};
  for (int i = 0; i < 2; ++i) {
    auto* button = new TToolButton(this);
    button->SetStyle(tbsCheck);
    button->SetGrouped(true);
    button->SetParent(TypeToolBar);
    button->SetBounds(i * 215, 0, 214, 29);
    button->SetCaption(PaddedCaption(*typeCaptions[i]));
    button->SetTag(types[i]);
    button->OnClick = [this](TObject* sender) { TypeButtonClick(sender); };
    TypeButtons[i] = button;
  }
  TypeButtons[layout.DownButton == 1 ? 1 : 0]->SetDown(true);

  FrequencyGroupBox = new TGroupBox(this);
  FrequencyGroupBox->SetParent(this);
  FrequencyGroupBox->SetBounds(8, 100, 445, 57);
  FrequencyGroupBox->SetCaption(LoadResString(SFrequencyMHzCaption));
  FrequencyDigitEdit = new TDigitEdit(this);
  FrequencyDigitEdit->SetParent(FrequencyGroupBox);
  FrequencyDigitEdit->SetBounds(8, 24, 73, 21);
  FrequencyDigitEdit->SetAvailableDecimal(true);
  FrequencyDigitEdit->SetMinVal(1);
  FrequencyDigitEdit->SetMaxVal(3000);
  FrequencyDigitEdit->SetStep(1);
  FrequencyTrackBar = new TTrackBar(this);
  FrequencyTrackBar->SetParent(FrequencyGroupBox);
  FrequencyTrackBar->SetBounds(88, 20, 349, 29);
  FrequencyTrackBar->SetRange(1, 3000);
  FrequencyTrackBar->SetPageSize(100);

  SecondGroupBox = new TGroupBox(this);
  SecondGroupBox->SetParent(this);
  SecondGroupBox->SetBounds(8, 164, 445, 57);
  SecondGroupBox->SetCaption(LoadResString(*layout.SecondCaption));
  SecondDigitEdit = new TDigitEdit(this);
  SecondDigitEdit->SetParent(SecondGroupBox);
  SecondDigitEdit->SetBounds(8, 24, 73, 21);
  SecondDigitEdit->SetMinVal(layout.SecondMin);
  SecondDigitEdit->SetMaxVal(layout.SecondMax);
  SecondDigitEdit->SetStep(1);
  SecondTrackBar = new TTrackBar(this);
  SecondTrackBar->SetParent(SecondGroupBox);
  SecondTrackBar->SetBounds(88, 20, 349, 29);
  SecondTrackBar->SetRange(layout.SecondMin, layout.SecondMax);
  SecondTrackBar->SetPageSize(4);

  Chart1 = new TChart(this);
  Chart1->SetParent(this);
  Chart1->SetBounds(8, 228, 445, 185);
  Chart1->BottomAxis()->SetTitle(LoadResString(SFrequencyGHzAxisTitle));
  Chart1->BottomAxis()->SetLabelFormat(QStringLiteral("#,##0.##"));
  Chart1->LeftAxis()->SetLabels(false);
  Chart1->RightAxis()->SetVisible(false);
  Chart1->TopAxis()->SetVisible(false);
  InputSeries = AddSeries(this, Chart1, SSpectrumInputTitle, clRed);
  OutputSeries = AddSeries(this, Chart1, SSpectrumOutputTitle, clBlue);
  FilterSeries = AddSeries(this, Chart1, SSpectrumFilterTitle, FilterLineColor);
  FilterSeries->SetVertAxis(aRightAxis);
  Chart1->OnClick = [this](TObject* sender) { Chart1Click(sender); };

  ExecCheckBox->SetBounds(8, 426, 97, 17);
  OKBitBtn->SetBounds(298, 422, 75, 25);
  CancelBitBtn->SetBounds(378, 422, 75, 25);

  FrequencyTrackBar->OnChange = [this](TObject* sender) { FrequencyTrackBarChange(sender); };
  SecondTrackBar->OnChange = [this](TObject* sender) { SecondTrackBarChange(sender); };
  FrequencyDigitEdit->OnChangeFinish = [this](TObject* sender) { FrequencyDigitEditChangeFinish(sender); };
  SecondDigitEdit->OnChangeFinish = [this](TObject* sender) { SecondDigitEditChangeFinish(sender); };
  ExecCheckBox->OnClick = [this](TObject* sender) { ApplyClick(sender); };
  KeepEnterIn(FrequencyDigitEdit);
  KeepEnterIn(SecondDigitEdit);
  // Shown: the protocol's opening, then the spectra of the shown trace.
  OnShow = [this](TObject* sender) {
    FormShow(sender);
    if (Tool) FilterTool().DrawSpectrum();
  };
}

TFrequencyFilterTool& TFrequencyFilterForm::FilterTool() const { return static_cast<TFrequencyFilterTool&>(*Tool); }

void TFrequencyFilterForm::DisplayToolParam() {
  TFrequencyFilterTool& tool = FilterTool();
  const int32_t frequency = tool.Frequency();
  const int32_t minFr = std::min(tool.MinFr, tool.MaxFr);
  FrequencyTrackBar->SetPosition(frequency);
  FrequencyTrackBar->SetRange(minFr, tool.MaxFr);
  FrequencyDigitEdit->SetMinVal(minFr);
  FrequencyDigitEdit->SetMaxVal(tool.MaxFr);
  FrequencyDigitEdit->SetValueInt(FrequencyTrackBar->Position());
  SecondTrackBar->SetPosition(SecondValue());
  SecondDigitEdit->SetValueInt(SecondTrackBar->Position());
  for (TToolButton* button : TypeButtons)
    if (button->Tag() == tool.ATypeFilter) button->SetDown(true);
}

void TFrequencyFilterForm::ShowSpectra(const std::vector<double>& axis, const std::vector<double>* input,
                                       const std::vector<double>* output, const std::vector<double>& filter) {
  InputSeries->Clear();
  OutputSeries->Clear();
  FilterSeries->Clear();
  const auto fill = [&axis](TLineSeries* series, const std::vector<double>& line) {
    const size_t n = std::min(axis.size(), line.size());
    for (size_t k = 1; k < n; ++k) series->AddXY(axis[k], line[k]);
  };
  if (input) fill(InputSeries, *input);
  if (output) fill(OutputSeries, *output);
  fill(FilterSeries, filter);
}

void TFrequencyFilterForm::FrequencyTrackBarChange(TObject* Sender) {
  FrequencyDigitEdit->SetValueInt(FrequencyTrackBar->Position());
  if (!Vsbl || !Tool) return;
  TFrequencyFilterTool& tool = FilterTool();
  tool.SetFrequency(FrequencyDigitEdit->ValueInt());
  tool.SaveParamPlugin(tool.CurrentNumberView);
  if (!tool.runing) ApplyClick(Sender);
}

void TFrequencyFilterForm::SecondTrackBarChange(TObject* Sender) {
  SecondDigitEdit->SetValueInt(SecondTrackBar->Position());
  if (!Vsbl || !Tool) return;
  SetSecondValue(SecondDigitEdit->ValueInt());
  FilterTool().SaveParamPlugin(Tool->CurrentNumberView);
  if (!Tool->runing) ApplyClick(Sender);
}

void TFrequencyFilterForm::FrequencyDigitEditChangeFinish(TObject*) {
  FrequencyTrackBar->SetPosition(FrequencyDigitEdit->ValueInt());
}

void TFrequencyFilterForm::SecondDigitEditChangeFinish(TObject*) {
  SecondTrackBar->SetPosition(SecondDigitEdit->ValueInt());
}

void TFrequencyFilterForm::TypeButtonClick(TObject* Sender) {
  if (!Vsbl || !Tool) return;
  const auto* button = dynamic_cast<const TToolButton*>(Sender);
  if (!button) return;
  SetType(static_cast<uint8_t>(button->Tag()));
  Tool->SaveParamPlugin(Tool->CurrentNumberView);
  if (adding) Tool->SetAllParamAs(0);
  ApplyClick(Sender);
}

void TFrequencyFilterForm::ApplyClick(TObject* Sender) {
  if (!Tool) return;
  TFrequencyFilterTool& tool = FilterTool();
  const T2Dview* view0 = tool.GetViewByIndx(0);
  const bool previews = Vsbl && view0 && view0->NumTraces() > 0 && (tool.AExecuting || ExecCheckBox->Checked());
  ExecCheckBoxClick(Sender);
  if (!Tool) return;  // a deferred close went through
  if (!previews && !tool.NowRunned) tool.DrawSpectrum();
}

void TFrequencyFilterForm::Chart1Click(TObject*) {
  if (Tool) FilterTool().DrawSpectrum();
}
