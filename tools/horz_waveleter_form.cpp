#include "tools/horz_waveleter_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "tools/horz_wavelet.h"

#include <algorithm>

RESOURCESTRING(SHorzWaveleterFormCaption, "Wavelate Advanced Filter Settings");
RESOURCESTRING(SHorzWidthOfWindowCaption, "Width of Window, traces");
RESOURCESTRING(SHorzTracesAxisCaption, "Traces");
RESOURCESTRING(SHorzHarmonicAxisCaption, "Harmonic");

THorzWaveleterForm::THorzWaveleterForm(TComponent* AOwner) : TToolForm(AOwner, [] {
  TToolFormOptions options;
  options.LanguageCharset = false;
  return options;
}()) {
  SetCaption(LoadResString(SHorzWaveleterFormCaption));
  SetClientWidth(273);
  SetClientHeight(391);

  EditCaption->SetBounds(8, 8, 257, 21);

  Chart1 = new TChart(this);
  Chart1->SetParent(this);
  Chart1->SetBounds(8, 36, 257, 257);
  Chart1->LeftAxis()->SetTitle(LoadResString(SHorzTracesAxisCaption));
  Chart1->TopAxis()->SetTitle(LoadResString(SHorzHarmonicAxisCaption));
  for (size_t i = 0; i < Series.size(); ++i) {
    auto* series = new TLineSeries(this);
    series->SetXValuesOrder(loNone);
    series->SetYValuesOrder(loNone);
    series->SetParentChart(Chart1);
    series->SetSeriesColor(i == 4 ? clRed : clBlue);
    Series[i] = series;
  }

  WidthWindowLabel = new TLabel(this);
  WidthWindowLabel->SetParent(this);
  WidthWindowLabel->SetBounds(8, 304, 140, 13);
  WidthWindowLabel->SetCaption(LoadResString(SHorzWidthOfWindowCaption));
  DigitEditWidthWindow = new TDigitEdit(this);
  DigitEditWidthWindow->SetParent(this);
  DigitEditWidthWindow->SetBounds(160, 300, 105, 21);
  DigitEditWidthWindow->SetMinVal(THorzWavelet::MinWidthWindow / 2);
  DigitEditWidthWindow->SetMaxVal(THorzWavelet::MaxWidthWindow / 2);
  DigitEditWidthWindow->SetStep(1);
  DigitEditWidthWindow->SetAvailableDecimal(false);

  ExecCheckBox->SetBounds(8, 330, 97, 17);
  OKBitBtn->SetBounds(110, 358, 75, 25);
  CancelBitBtn->SetBounds(190, 358, 75, 25);
  KeepEnterIn(DigitEditWidthWindow);

  DigitEditWidthWindow->OnChangeFinish = [this](TObject* sender) { DigitEditWidthWindowChangeFinish(sender); };
  OKBitBtn->OnClick = [this](TObject* sender) { OKClick(sender); };
}

THorzWavelet& THorzWaveleterForm::Horz() const { return static_cast<THorzWavelet&>(*Tool); }

void THorzWaveleterForm::DisplayToolParam() {
  DigitEditWidthWindow->SetValueInt(Horz().WidthWindow / 2);
  DrawKernel();
}

void THorzWaveleterForm::DrawKernel() {
  if (!Tool) return;
  THorzWavelet& tool = Horz();
  for (TLineSeries* series : Series) series->Clear();
  tool.PrepareLine(tool.CurrentNumberView);
  const TWaveletKernels& k = tool.Kernels;
  const int a = tool.KernelCentre();
  const std::vector<long double>& line = k.Line(0);
  for (int j = std::max(k.mstart, 0); j <= k.mstop && j < static_cast<int>(line.size()); ++j)
    Series[4]->AddXY(static_cast<double>(line[static_cast<size_t>(j)]), j - a);
  Chart1->LeftAxis()->SetMinMax(-a, a);
}

void THorzWaveleterForm::DigitEditWidthWindowChangeFinish(TObject* Sender) {
  if (!Tool || !Vsbl) return;
  Horz().WidthWindow = std::clamp(2 * DigitEditWidthWindow->ValueInt(), THorzWavelet::MinWidthWindow,
                                  THorzWavelet::MaxWidthWindow);
  if (Tool->runing) return;
  ExecCheckBoxClick(Sender);
  DrawKernel();
}

void THorzWaveleterForm::OKClick(TObject* Sender) {
  if (!Tool) return;
  Tool->SaveParamPlugin(Tool->CurrentNumberView);
  OKBitBtnClick(Sender);
}
