#include "tools/compressor_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/digit_edit.h"
#include "tools/compressor.h"

RESOURCESTRING(SCompressorFormCaption, "Nonlinear Amplifier");
RESOURCESTRING(SCompressCoefficientCaption, "Compress Coefficient");
RESOURCESTRING(SCompressorInputAxisCaption, "Input");
RESOURCESTRING(SCompressorOutputAxisCaption, "Output");

namespace {
constexpr double kAxisTop = 131071;
constexpr TColor kCurveColor = 0xA36644;
constexpr TColor kPointColor = 0xFF0000;
}  // namespace

TCompressorForm::TCompressorForm(TComponent* AOwner) : TToolForm(AOwner) {
  SetCaption(LoadResString(SCompressorFormCaption));
  SetClientWidth(257);
  SetClientHeight(409);

  EditCaption->SetBounds(8, 8, 241, 21);

  Chart1 = new TChart(this);
  Chart1->SetParent(this);
  Chart1->SetBounds(8, 36, 241, 225);
  for (TChartAxis* axis : {Chart1->LeftAxis(), Chart1->BottomAxis()}) {
    axis->SetAutomatic(false);
    axis->SetMinMax(0, kAxisTop);
    axis->SetLabels(false);
  }
  Chart1->BottomAxis()->SetTitle(LoadResString(SCompressorInputAxisCaption));
  Chart1->LeftAxis()->SetTitle(LoadResString(SCompressorOutputAxisCaption));
  Series1 = new TLineSeries(this);
  Series1->SetXValuesOrder(loNone);
  Series1->SetParentChart(Chart1);
  Series1->SetSeriesColor(kCurveColor);
  Series1->LinePen()->SetWidth(2);

  BaseGroupBox = new TGroupBox(this);
  BaseGroupBox->SetParent(this);
  BaseGroupBox->SetBounds(8, 268, 241, 85);
  BaseGroupBox->SetCaption(LoadResString(SCompressCoefficientCaption));

  BaseTrackBar = new TTrackBar(this);
  BaseTrackBar->SetParent(BaseGroupBox);
  BaseTrackBar->SetBounds(8, 18, 225, 33);
  BaseTrackBar->SetRange(TCompressor::MinBase, TCompressor::MaxBase);
  BaseTrackBar->SetPageSize(50);
  BaseTrackBar->SetFrequency(50);

  BaseDigitEdit = new TDigitEdit(this);
  BaseDigitEdit->SetParent(BaseGroupBox);
  BaseDigitEdit->SetBounds(8, 56, 65, 21);
  BaseDigitEdit->SetMinVal(TCompressor::MinBase);
  BaseDigitEdit->SetMaxVal(TCompressor::MaxBase);
  BaseDigitEdit->SetAvailableDecimal(false);
  BaseDigitEdit->SetStep(1);

  ExecCheckBox->SetBounds(8, 358, 97, 17);
  OKBitBtn->SetBounds(94, 378, 75, 25);
  CancelBitBtn->SetBounds(174, 378, 75, 25);
  KeepEnterIn(BaseDigitEdit);

  BaseDigitEdit->OnChangeFinish = [this](TObject* sender) { BaseDigitEditChangeFinish(sender); };
  BaseTrackBar->OnChange = [this](TObject* sender) { BaseTrackBarChange(sender); };
}

TCompressor& TCompressorForm::Compressor() const { return static_cast<TCompressor&>(*Tool); }

void TCompressorForm::DisplayToolParam() {
  BaseDigitEdit->SetValueInt(Compressor().Base);
  BaseTrackBar->SetPosition(Compressor().Base);
  Compressor().PrepareCurve();
}

void TCompressorForm::StoreToolParam() {
  // Moving the track bar here is not a change of its own (no second preview).
  const int before = BaseTrackBar->Position();
  storing_ = true;
  BaseTrackBar->SetPosition(BaseDigitEdit->ValueInt());
  storing_ = false;
  if (BaseTrackBar->Position() != before) Compressor().Base = BaseTrackBar->Position();
  Compressor().PrepareCurve();
}

void TCompressorForm::DrawCurve(const std::vector<TCurvePoint>& points) {
  Series1->Clear();
  for (const TCurvePoint& p : points) Series1->AddXY(p.X, p.Y, QString(), kPointColor);
}

void TCompressorForm::BaseDigitEditChangeFinish(TObject*) { BaseTrackBar->SetPosition(BaseDigitEdit->ValueInt()); }

void TCompressorForm::BaseTrackBarChange(TObject* Sender) {
  if (!Tool) return;
  BaseDigitEdit->SetValueInt(BaseTrackBar->Position());
  if (!Vsbl || storing_) return;
  Compressor().Base = BaseTrackBar->Position();
  if (!Tool->runing) ExecCheckBoxClick(Sender);
}
