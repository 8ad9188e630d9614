#include "tools/tvgc_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/custom_control.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/keys.h"
#include "platform/ui/std_controls.h"
#include "profiledata/gain_curve_editing.h"
#include "radargram/tool_messages.h"
#include "tools/tool_host.h"
#include "tools/tool_strings.h"
#include "tools/tvgc_tool.h"

#include <algorithm>
#include <iterator>

RESOURCESTRING(STVGCFormCaption, "Gain Settings");
RESOURCESTRING(STVGCGainDbCaption, "Gain, dB");
RESOURCESTRING(STVGCAutoCaption, "Auto");
RESOURCESTRING(STVGCNullCaption, "Null");

namespace {

constexpr int kGap = 5;
constexpr int kButtonHeight = 25;
constexpr int kScaleTextTop = 34;
constexpr int kScaleLineY = 62;
constexpr int kScaleTickTop = 56;
constexpr const char* kScaleTexts[] = {"-80", "-60", "-40", "-20", "0", "+20", "+40", "+60", "+80"};
constexpr int kScaleTickX[] = {8, 47, 81, 115, 148, 181, 215, 249, 288};

}  // namespace

TTVGCForm::TTVGCForm(TComponent* AOwner) : TToolForm(AOwner, TToolFormOptions{.TopAtChart = false}) {
  SetCaption(LoadResString(STVGCFormCaption));
  SetClientWidth(TTVGC::BoxLeft * 2 + TTVGC::BoxWidth + 1);
  SetClientHeight(TTVGC::BoxTop + TTVGC::NoViewHeight + 2 * kGap + kButtonHeight);

  // The surface spans the scale and the box, between the caption row and the
  // buttons, so that it covers no other control.
  GainSurface = new TCustomControl(this);
  GainSurface->SetParent(this);

  EditCaption->SetBounds(8, 4, 200, 21);
  ExecCheckBox->SetBounds(216, 6, 70, 17);

  GainLabel = new TLabel(this);
  GainLabel->SetParent(this);
  GainLabel->SetLeft(122);
  GainLabel->SetTop(kScaleTextTop - 16);
  GainLabel->SetCaption(LoadResString(STVGCGainDbCaption));

  AutoBitBtn = new TBitBtn(this);
  AutoBitBtn->SetParent(this);
  AutoBitBtn->SetCaption(LoadResString(STVGCAutoCaption));
  BitBtn1 = new TBitBtn(this);
  BitBtn1->SetParent(this);
  BitBtn1->SetCaption(LoadResString(STVGCNullCaption));
  const int width = 68;
  OKBitBtn->SetBounds(8, 0, width, kButtonHeight);
  AutoBitBtn->SetBounds(8 + (width + 4), 0, width, kButtonHeight);
  BitBtn1->SetBounds(8 + 2 * (width + 4), 0, width, kButtonHeight);
  CancelBitBtn->SetBounds(8 + 3 * (width + 4), 0, width, kButtonHeight);
  PlaceSurface();

  LoadGainCurveCursors();

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
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { GainKeyDown(sender, key, shift); };
  OnKeyUp = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyUp(sender, key, shift); };
  OnHide = [this](TObject*) {
    NumDragPoint = -1;
    if (Tool) Gain().MainListDots.Assign(Gain().ListofBaseDots);
  };
  BitBtn1->OnClick = [this](TObject* sender) { BitBtn1Click(sender); };
  AutoBitBtn->OnClick = [this](TObject* sender) { AutoBitBtnClick(sender); };
  OKBitBtn->OnClick = [this](TObject* sender) { GainOKClick(sender); };
}

TTVGC& TTVGCForm::Gain() const { return static_cast<TTVGC&>(*Tool); }

void TTVGCForm::Resize() {
  TToolForm::Resize();
  PlaceSurface();
}

void TTVGCForm::PlaceSurface() {
  GainSurface->SetBounds(0, SurfaceTop, ClientWidth(), std::max(1, OKBitBtn->Top() - SurfaceTop));
}

void TTVGCForm::SetHightBAseDots() {
  if (!Tool) return;
  TTVGC& tool = Gain();
  TListOfDots& dots = tool.ListofBaseDots;
  dots.SetLeft(TTVGC::BoxLeft);
  dots.SetTop(TTVGC::BoxTop);
  dots.SetHeight(tool.BoxHeight(tool.CurrentNumberView));
  const int buttons = dots.GetTop() + dots.GetHeight() + kGap;
  for (TControl* c : {static_cast<TControl*>(OKBitBtn), static_cast<TControl*>(AutoBitBtn),
                      static_cast<TControl*>(BitBtn1), static_cast<TControl*>(CancelBitBtn)})
    c->SetTop(buttons);
  SetClientHeight(buttons + kButtonHeight + kGap);
  PlaceSurface();
  IToolHost& host = tool.Host();
  const int channel = tool.CurrentNumberView;
  SetTop(host.PanelClientOrigin(channel).Y + host.ChartPlotArea(channel).Top + ClientHeight() - TTVGC::BoxTop -
         Height() + 8);
}

void TTVGCForm::SetHeightWin() {
  SetHightBAseDots();
  if (!Tool) return;
  IToolHost& host = Gain().Host();
  if (host.PanelHeight(Gain().CurrentNumberView) < Height()) {
    SendMessage(host.Handle(), WM_ZOOMTOHEIGHT, 0, 0);
    SetHightBAseDots();
  }
}

void TTVGCForm::DisplayToolParam() {
  SetHeightWin();
  TTVGC& tool = Gain();
  tool.ListofBaseDots.PrepaerValues();
  tool.MainListDots.Assign(tool.ListofBaseDots);
  Redraw();
}

void TTVGCForm::DrawScale() {
  TCanvas& c = *GainSurface->Canvas();
  c.Brush()->SetStyle(bsClear);
  c.Font()->SetColor(clWindowText);
  for (size_t i = 0; i < std::size(kScaleTexts); ++i) {
    const QString text = QString::fromLatin1(kScaleTexts[i]);
    c.TextOut(kScaleTickX[i] - c.TextWidth(text) / 2, kScaleTextTop - SurfaceTop, text);
  }
  c.Pen()->SetColor(clBlack);
  c.Pen()->SetStyle(psSolid);
  c.Pen()->SetWidth(1);
  c.MoveTo(kScaleTickX[0], kScaleLineY - SurfaceTop);
  c.LineTo(kScaleTickX[std::size(kScaleTickX) - 1] + 1, kScaleLineY - SurfaceTop);
  for (int x : kScaleTickX) {
    c.MoveTo(x, kScaleLineY - SurfaceTop);
    c.LineTo(x, kScaleTickTop - SurfaceTop);
  }
  c.Brush()->SetStyle(bsSolid);
}

void TTVGCForm::FormPaint(TObject*) {
  DrawScale();
  if (!Tool) return;
  TListOfDots& dots = Gain().ListofBaseDots;
  GainSurface->Canvas()->Draw(dots.GetLeft(), dots.GetTop() - SurfaceTop, *dots.GetImg(NumDragPoint));
}

void TTVGCForm::Redraw() { GainSurface->Repaint(); }

void TTVGCForm::MarkEdited() {
  if (!adding) ShowRestore();
  CancelBitBtn->SetEnabled(true);
}

void TTVGCForm::FormMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!Tool || !Vsbl) return;
  TTVGC& tool = Gain();
  SetHightBAseDots();
  TListOfDots& dots = tool.ListofBaseDots;
  const int x = X - dots.GetLeft();
  const int y = Y + SurfaceTop - dots.GetTop();
  const int hit = GainCurvePointAt(dots, x, y);
  if (Button == mbRight && hit < 0) {
    NumDragPoint = -1;
    AddGainCurvePoint(dots, x, y);
  } else if (Shift.Contains(ssCtrl)) {
    DeleteGainCurvePoint(dots, hit);
  }
  NumOverPoint = NumDragPoint = GainCurvePointAt(dots, x, y);
  xPos = x;
  yPos = y;
  dots.PrepaerValues();
  tool.SaveParamPlugin(tool.CurrentNumberView);
  if (tool.AExecuting) Preview(adding, tool.AExecuting);
  Redraw();
  MarkEdited();
}

void TTVGCForm::FormMouseMove(TObject*, TShiftState Shift, int X, int Y) {
  if (!Tool) return;
  TTVGC& tool = Gain();
  TListOfDots& dots = tool.ListofBaseDots;
  const int x = X - dots.GetLeft();
  const int y = Y + SurfaceTop - dots.GetTop();
  NumOverPoint = GainCurvePointAt(dots, x, y);
  GainSurface->SetCursor(GainCurveCursor(NumOverPoint, Shift.Contains(ssCtrl)));
  if (!Vsbl || NumDragPoint < 0 || !Shift.Contains(ssLeft) || (x == xPos && y == yPos)) return;
  SetHightBAseDots();
  if (NumDragPoint >= dots.GetCount()) return;
  DragGainCurvePoint(dots, NumDragPoint, x, y);
  dots.PrepaerValues();
  tool.SaveParamPlugin(tool.CurrentNumberView);
  Redraw();
  MarkEdited();
  if (ExecCheckBox->Checked()) ExecCheckBoxClick(this);
  xPos = x;
  yPos = y;
}

void TTVGCForm::FormMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  xPos = -1;
  yPos = -1;
  if (!Tool || !Vsbl) return;
  TTVGC& tool = Gain();
  tool.SaveParamPlugin(tool.CurrentNumberView);
  if (adding && !tool.isAutoCreateGain) tool.SetAllParamAs(0);
}

void TTVGCForm::GainKeyDown(TObject* Sender, WORD& Key, TShiftState Shift) {
  if (Key == VK_CONTROL && NumOverPoint >= 0) GainSurface->SetCursor(crGainMoveDel);
  FormKeyDown(Sender, Key, Shift);
}

void TTVGCForm::FormKeyUp(TObject*, WORD&, TShiftState) {
  GainSurface->SetCursor(NumOverPoint >= 0 ? crGainMove : crDefault);
}

void TTVGCForm::BitBtn1Click(TObject*) {
  if (!Tool) return;
  TTVGC& tool = Gain();
  SetHightBAseDots();
  tool.ResetToZeroLine();
  tool.ListofBaseDots.PrepaerValues();
  tool.SaveParamPlugin(tool.CurrentNumberView);
  if (adding) {
    tool.SaveParamPlugin(0);
    tool.SetAllParamAs(0);
  }
  Preview(adding, tool.AExecuting);
  Redraw();
  CancelBitBtn->SetEnabled(true);
}

void TTVGCForm::AutoBitBtnClick(TObject*) {
  if (!Tool) return;
  TTVGC& tool = Gain();
  if (!tool.AutoCurves()) return;
  Preview(true, tool.AExecuting);
  SetHightBAseDots();
  Redraw();
  CancelBitBtn->SetEnabled(true);
  tool.GetParam(tool.CurrentNumberView);
}

void TTVGCForm::GainOKClick(TObject* Sender) {
  if (Tool && !Tool->runing) Tool->SaveParamPlugin(Tool->CurrentNumberView);
  OKBitBtnClick(Sender);
}
