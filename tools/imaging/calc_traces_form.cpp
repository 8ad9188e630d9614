#include "tools/imaging/calc_traces_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/rtl/rounding.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/image.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/pal_maker.h"
#include "tools/imaging/calc_traces_tool.h"

RESOURCESTRING(SCalcTracesFormCaption, "Calc Traces");
RESOURCESTRING(SCalcTracesCalculateHint, "Calculate");
RESOURCESTRING(SCalcTracesAlongProfile, "-> profile");
RESOURCESTRING(SCalcTracesUpProfile, "^ profile");
RESOURCESTRING(SCalcTracesDecreaseAmp, "Decrease Amp with Distance");

namespace {
constexpr int kCalcTracesRow = 24;
constexpr TColor kCalcTracesBackground = 0x7F7F7F;
}  // namespace

TCalcTracesForm::TCalcTracesForm(TComponent* AOwner) : TToolForm(AOwner) {
  SetCaption(LoadResString(SCalcTracesFormCaption));
  SetFormStyle(fsStayOnTop);
  SetClientWidth(1087);
  SetClientHeight(517);
  // Keys do nothing: no Enter or Esc of its own.
  OnKeyDown = nullptr;

  Panel2 = new TPanel(this);
  Panel2->SetParent(this);
  Panel2->SetBounds(0, 0, 185, 517);
  Panel2->SetAlign(alLeft);
  Panel1 = new TPanel(this);
  Panel1->SetParent(this);
  Panel1->SetAlign(alClient);
  BufOutImage = new TImage(this);
  BufOutImage->SetParent(Panel1);
  BufOutImage->SetAlign(alClient);

  EditCaption->SetParent(Panel2);
  EditCaption->SetBounds(8, 8, 169, 21);
  ExecCheckBox->SetParent(Panel2);
  ExecCheckBox->SetBounds(8, 34, 97, 17);
  cbVector = new TComboBox(this);
  cbVector->SetParent(Panel2);
  cbVector->SetStyle(csDropDownList);
  cbVector->SetBounds(8, 58, 137, 21);
  cbVector->SetItems({QStringLiteral("Sect at X"), QStringLiteral("Sect at Y (-> Profile)"), QStringLiteral("Sect at Z")});
  cbVector->OnChange = [this](TObject*) {
    if (!Tool) return;
    static constexpr char16_t kinds[] = {u'X', u'Y', u'Z'};
    const int i = cbVector->ItemIndex();
    if (i < 0 || i > 2) return;
    CalcTool().VectorSect = kinds[i];
    CalculateClick();
  };
  Calculate = new TSpeedButton(this);
  Calculate->SetParent(Panel2);
  Calculate->SetBounds(151, 57, 25, 23);
  Calculate->SetHint(LoadResString(SCalcTracesCalculateHint));
  Calculate->OnClick = [this](TObject*) { CalculateClick(); };

  auto* along = new TLabel(this);
  along->SetParent(Panel2);
  along->SetBounds(8, 86, 80, 13);
  along->SetCaption(LoadResString(SCalcTracesAlongProfile));
  auto* up = new TLabel(this);
  up->SetParent(Panel2);
  up->SetBounds(96, 86, 80, 13);
  up->SetCaption(LoadResString(SCalcTracesUpProfile));

  struct TEditRow {
    TDigitEdit*& Edit;
    const char* Label;
    int32_t TAreaCalc::*Field;
  };
  const TEditRow rows[] = {
      {X1DigitEdit, "X1", &TAreaCalc::X1},          {Y1DigitEdit, "Y1", &TAreaCalc::Y1},
      {Z1DigitEdit, "Z1", &TAreaCalc::Z1},          {X2DigitEdit, "X2", &TAreaCalc::X2},
      {Y2DigitEdit, "Y2", &TAreaCalc::Y2},          {Z2DigitEdit, "Z2", &TAreaCalc::Z2},
      {StepXDigitEdit, "Step X", &TAreaCalc::StepX}, {StepYDigitEdit, "Step Y", &TAreaCalc::StepY},
      {StepZDigitEdit, "Step Z", &TAreaCalc::StepZ},
  };
  int top = 106;
  for (const TEditRow& row : rows) {
    auto* label = new TLabel(this);
    label->SetParent(Panel2);
    label->SetBounds(8, top + 4, 60, 13);
    label->SetCaption(QString::fromLatin1(row.Label));
    TDigitEdit* edit = new TDigitEdit(this);
    edit->SetParent(Panel2);
    edit->SetBounds(76, top, 100, 21);
    edit->SetMinVal(-1000000);
    edit->SetMaxVal(1000000);
    edit->SetStep(1);
    edit->SetAvailableSign(true);
    edit->SetAvailableDecimal(false);
    const auto field = row.Field;
    edit->OnChangeFinish = [this, edit, field](TObject*) {
      if (Tool) CalcTool().AreaCalc.*field = edit->ValueInt();
    };
    row.Edit = edit;
    top += kCalcTracesRow;
  }

  ThresholdLabel = new TLabel(this);
  ThresholdLabel->SetParent(Panel2);
  ThresholdLabel->SetBounds(8, top + 4, 169, 13);
  ThresholdLabel->SetCaption(LoadResString(SCalcTracesDecreaseAmp));
  ThresholdLabel->SetVisible(false);
  ThresholdTrackBar = new TTrackBar(this);
  ThresholdTrackBar->SetParent(Panel2);
  ThresholdTrackBar->SetBounds(8, top + 20, 169, 25);
  ThresholdTrackBar->SetRange(0, 100);
  ThresholdTrackBar->SetVisible(false);
  ThresholdTrackBar->OnChange = [this](TObject*) {
    if (Tool) CalcTool().KoefDist = static_cast<float>(ThresholdTrackBar->Position() / 100.0L);
  };
  OKBitBtn->SetParent(Panel2);
  OKBitBtn->SetBounds(20, 480, 75, 25);
  CancelBitBtn->SetParent(Panel2);
  CancelBitBtn->SetBounds(101, 480, 75, 25);
}

TCalcTracesTool& TCalcTracesForm::CalcTool() const { return static_cast<TCalcTracesTool&>(*Tool); }

void TCalcTracesForm::CalculateClick() {
  if (!Tool) return;
  CalcTool().Calculate();
  DrawImage();
}

void TCalcTracesForm::DisplayToolParam() {
  const TCalcTracesTool& t = CalcTool();
  const TAreaCalc& a = t.AreaCalc;
  X1DigitEdit->SetValueInt(a.X1);
  Y1DigitEdit->SetValueInt(a.Y1);
  Z1DigitEdit->SetValueInt(a.Z1);
  X2DigitEdit->SetValueInt(a.X2);
  Y2DigitEdit->SetValueInt(a.Y2);
  Z2DigitEdit->SetValueInt(a.Z2);
  StepXDigitEdit->SetValueInt(a.StepX);
  StepYDigitEdit->SetValueInt(a.StepY);
  StepZDigitEdit->SetValueInt(a.StepZ);
  cbVector->SetItemIndex(t.VectorSect == u'X' ? 0 : t.VectorSect == u'Z' ? 2 : 1);
  ThresholdTrackBar->SetPosition(RoundToInt32(static_cast<long double>(t.KoefDist) * 100));
  DrawImage();
}

void TCalcTracesForm::DrawImage() {
  if (!Tool) return;
  const TCalcTracesTool& t = CalcTool();
  const int w = t.BufOut_Width, h = t.BufOut_Height;
  if (w < 1 || h < 1 || t.BufOut.size() != static_cast<size_t>(w) * static_cast<size_t>(h)) return;
  TBitmap bmp;
  bmp.SetPixelFormat(pf8bit);
  // The radargram window's palette; a tool without a window keeps the grey ramp.
  if (const T2Dview* view = t.GetViewByIndx(0)) {
    if (IChannelWindow* window = view->Window()) window->PaletteControl()->SetPal(&bmp);
  }
  bmp.SetSize(w, h);
  bmp.Canvas()->Brush()->SetColor(kCalcTracesBackground);
  bmp.Canvas()->FillRect({0, 0, w, h});
  for (int r = 0; r < h; ++r) {
    uint8_t* line = bmp.ScanLine(r);
    for (int c = 0; c < w; ++c) line[c] = t.BufOut[static_cast<size_t>(c) * h + r];
  }
  BufOutImage->Picture()->Assign(bmp);
  BufOutImage->Invalidate();
}
