#include "radar/online_gain_form.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/custom_control.h"
#include "platform/ui/keys.h"
#include "platform/ui/std_controls.h"
#include "profiledata/form_charset.h"
#include "radar/online_dialog_hooks.h"
#include "radar/online_form_strings.h"
#include "radar/online_stages.h"

#include <cstdlib>

namespace {

// The dB scale over the curve box: 35 pixels are 20 dB.
constexpr int kScaleTextTop = 42;
constexpr int kScaleLineY = 59;
constexpr int kScaleTickTop = 53;
constexpr int kScaleTextX[] = {2, 37, 72, 107, 147, 179, 214, 249, 284};
constexpr const char* kScaleTexts[] = {"-80", "-60", "-40", "-20", "0", "20", "40", "60", "80"};
constexpr int kScaleTickX[] = {9, 44, 79, 114, 149, 184, 219, 254, 289};

constexpr int kButtonGap = 5;

}  // namespace

TOnlineTVGCForm::TOnlineTVGCForm(TComponent* AOwner) : TForm(AOwner) {
  SetBorderStyle(bsToolWindow);
  SetCaption(LoadResString(SOnlineGainFormCaption));
  SetClientWidth(307);
  SetClientHeight(422);
  SetKeyPreview(true);

  GainSurface = new TCustomControl(this);
  GainSurface->SetParent(this);
  GainSurface->SetBounds(0, 0, ClientWidth(), ClientHeight());
  GainSurface->SetColor(clBtnFace);

  Label1 = new TLabel(this);
  Label1->SetParent(this);
  Label1->SetLeft(127);
  Label1->SetTop(8);
  Label1->SetCaption(LoadResString(SGainDbCaption));

  ExecCheckBox = new TCheckBox(this);
  ExecCheckBox->SetParent(this);
  ExecCheckBox->SetBounds(10, 6, 97, 17);
  ExecCheckBox->SetCaption(LoadResString(SOnlineApplyCaption));

  BitBtn1 = new TBitBtn(this);
  BitBtn1->SetParent(this);
  BitBtn1->SetBounds(10, 390, 75, 25);
  BitBtn1->SetCaption(LoadResString(SNullCaption));

  CancelBitBtn = new TBitBtn(this);
  CancelBitBtn->SetParent(this);
  CancelBitBtn->SetBounds(116, 390, 75, 25);
  CancelBitBtn->SetCaption(LoadResString(SGainCancelCaption));
  CancelBitBtn->SetVisible(false);

  OKBitBtn = new TBitBtn(this);
  OKBitBtn->SetParent(this);
  OKBitBtn->SetBounds(222, 390, 75, 25);
  OKBitBtn->SetCaption(LoadResString(SOnlineOkCaption));
  OKBitBtn->SetModalResult(mrOk);

  OnCreate = [this](TObject* sender) { FormCreate(sender); };
  OnShow = [this](TObject* sender) { FormShow(sender); };
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnKeyUp = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyUp(sender, key, shift); };
  GainSurface->OnPaint = [this](TObject* sender) { FormPaint(sender); };
  GainSurface->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    FormMouseDown(sender, button, shift, x, y);
  };
  GainSurface->OnMouseMove = [this](TObject* sender, TShiftState shift, int x, int y) {
    FormMouseMove(sender, shift, x, y);
  };
  GainSurface->OnMouseUp = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    FormMouseUp(sender, button, shift, x, y);
  };
  BitBtn1->OnClick = [this](TObject* sender) { BitBtn1Click(sender); };
  ExecCheckBox->OnClick = [this](TObject* sender) { ExecCheckBoxClick(sender); };
}

void TOnlineTVGCForm::FormCreate(TObject*) {
  SetFormCharsetForLanguage(*this, ResourceLanguage());
  LoadGainCurveCursors();
  NumDragPoint = -1;
  NumOverPoint = -1;
}

void TOnlineTVGCForm::Resize() {
  TForm::Resize();
  GainSurface->SetBounds(0, 0, ClientWidth(), ClientHeight());
}

void TOnlineTVGCForm::SendRecord() {
  if (IOnlineDialogHost* host = OnlineDialogHost())
    host->SetParamOnlinePlugin(TOnlineStageSet::GainName, FParametrsGain);
}

void TOnlineTVGCForm::SetHightBAseDots() {
  TListOfDots& dots = FParametrsGain.pListOfBaseDots;
  dots.SetTop(CurveTop);
  if (const IOnlineDialogHost* host = OnlineDialogHost()) dots.SetHeight(host->ChartAmpPlotHeight());
  SendRecord();
}

void TOnlineTVGCForm::LayoutGain() {
  SetHightBAseDots();
  const TListOfDots& dots = FParametrsGain.pListOfBaseDots;
  const int top = dots.GetTop() + dots.GetHeight() + kButtonGap;
  OKBitBtn->SetTop(top);
  BitBtn1->SetTop(top);
  CancelBitBtn->SetTop(top);
  SetClientHeight(OKBitBtn->Top() + OKBitBtn->Height() + kButtonGap);
}

void TOnlineTVGCForm::PlaceAtChart() {
  const IOnlineDialogHost* host = OnlineDialogHost();
  const TPoint origin = host ? host->ChartAmpClientOrigin() : TPoint{};
  SetLeft(KeptOnScreen(origin.X - Width()));
  // The scale sits above the chart's top, so that the curve's rows meet the chart's.
  SetTop(origin.Y >= 52 ? origin.Y - 50 : 2);
  if (host) SetHeight(host->ChartAmpHeight() + 84);
}

void TOnlineTVGCForm::FormShow(TObject*) {
  flnoStart = false;
  LayoutGain();
  PlaceAtChart();
  if (Screen->Height() > 0 && Top() + Height() > Screen->Height()) {
    // Applying the record may have changed the chart; measure once more.
    LayoutGain();
    PlaceAtChart();
  }
  FParametrsGain.pListOfBaseDots.PrepaerValues();
  GainSurface->Repaint();
  SetCaption(LoadResString(SGainCaption));
  ExecCheckBox->SetChecked(FParametrsGain.pApplay);
  flnoStart = true;
}

void TOnlineTVGCForm::DrawGainScale() {
  TCanvas& c = *GainSurface->Canvas();
  c.Brush()->SetStyle(bsClear);
  c.Font()->SetColor(clWindowText);
  for (size_t i = 0; i < std::size(kScaleTexts); ++i)
    c.TextOut(kScaleTextX[i], kScaleTextTop, QString::fromLatin1(kScaleTexts[i]));
  c.Pen()->SetColor(clBlack);
  c.Pen()->SetStyle(psSolid);
  c.Pen()->SetWidth(1);
  c.MoveTo(kScaleTickX[0], kScaleLineY);
  c.LineTo(kScaleTickX[std::size(kScaleTickX) - 1], kScaleLineY);
  for (int x : kScaleTickX) {
    c.MoveTo(x, kScaleLineY);
    c.LineTo(x, kScaleTickTop);
  }
  c.Brush()->SetStyle(bsSolid);
}

void TOnlineTVGCForm::FormPaint(TObject*) {
  DrawGainScale();
  TListOfDots& dots = FParametrsGain.pListOfBaseDots;
  dots.PrepaerValues();
  GainSurface->Canvas()->Draw(dots.GetLeft(), dots.GetTop(), *dots.GetImg(NumDragPoint));
}

void TOnlineTVGCForm::RedrawCurve() {
  FParametrsGain.pListOfBaseDots.PrepaerValues();
  GainSurface->Repaint();
}

void TOnlineTVGCForm::MarkEdited() {
  CancelBitBtn->SetCaption(LoadResString(SRestoreCaption));
  CancelBitBtn->SetEnabled(true);
}

int TOnlineTVGCForm::PointAt(int x, int y, TShiftState shift) {
  const int hit = GainCurvePointAt(FParametrsGain.pListOfBaseDots, x, y);
  if (hit >= 0) GainSurface->SetCursor(GainCurveCursor(hit, shift.Contains(ssCtrl)));
  return hit;
}

void TOnlineTVGCForm::FormMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
  TListOfDots& dots = FParametrsGain.pListOfBaseDots;
  const int x = X - dots.GetLeft();
  const int y = Y - dots.GetTop();
  LayoutGain();
  const int hit = PointAt(x, y, Shift);
  if (Button == mbRight && hit < 0) {
    AddGainCurvePoint(dots, x, y);
    NumDragPoint = -1;
  } else if (Shift.Contains(ssCtrl)) {
    DeleteGainCurvePoint(dots, hit);
  }
  NumOverPoint = NumDragPoint = PointAt(x, y, Shift);
  xPos = x;
  yPos = y;
  RedrawCurve();
  MarkEdited();
}

void TOnlineTVGCForm::FormMouseMove(TObject*, TShiftState Shift, int X, int Y) {
  GainSurface->SetCursor(crDefault);
  TListOfDots& dots = FParametrsGain.pListOfBaseDots;
  const int x = X - dots.GetLeft();
  const int y = Y - dots.GetTop();
  NumOverPoint = PointAt(x, y, Shift);
  if (NumDragPoint < 0 || !Shift.Contains(ssLeft) || (x == xPos && y == yPos)) return;
  LayoutGain();
  if (NumDragPoint >= dots.GetCount()) return;
  DragGainCurvePoint(dots, NumDragPoint, x, y);
  RedrawCurve();
  MarkEdited();
  xPos = x;
  yPos = y;
}

void TOnlineTVGCForm::FormMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  xPos = -1;
  yPos = -1;
  ApplyGain();
}

void TOnlineTVGCForm::ApplyGain() {
  if (flnoStart) SendRecord();
}

void TOnlineTVGCForm::BitBtn1Click(TObject*) {
  FParametrsGain.pListOfBaseDots.Reset();
  RedrawCurve();
  CancelBitBtn->SetEnabled(true);
  ApplyGain();
}

void TOnlineTVGCForm::ExecCheckBoxClick(TObject*) {
  FParametrsGain.pApplay = ExecCheckBox->Checked();
  if (IOnlineDialogHost* host = OnlineDialogHost())
    host->SetOnlinePluginChecked(OnlinePluginGainItem, ExecCheckBox->Checked());
  ApplyGain();
}

void TOnlineTVGCForm::FormKeyDown(TObject*, WORD& Key, TShiftState) {
  if (Key == VK_RETURN || Key == VK_ESCAPE) {
    Close();
    return;
  }
  if (Key == VK_CONTROL && NumOverPoint >= 0) GainSurface->SetCursor(crGainMoveDel);
}

void TOnlineTVGCForm::FormKeyUp(TObject*, WORD&, TShiftState) {
  GainSurface->SetCursor(NumOverPoint >= 0 ? crGainMove : crDefault);
}
