#include "tools/imaging/gen_test_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "tools/imaging/gen_test_tool.h"

RESOURCESTRING(SGenTestFormCaption, "Generation Test");
RESOURCESTRING(SGenTestMultInput, "Mult Input Signal, %");
RESOURCESTRING(SGenTestSetRandom, "Set Random");
RESOURCESTRING(SGenTestDistance, "Distance Trns/Reciv");
RESOURCESTRING(SGenTestParabol1, "Points at Parabol 1 (sample)");
RESOURCESTRING(SGenTestParabol2, "Points at Parabol 2 (sample)");
RESOURCESTRING(SGenTestX, "X");
RESOURCESTRING(SGenTestY, "Y");
RESOURCESTRING(SGenTestTopAmp, "Amplitude at Top");
RESOURCESTRING(SGenTestDecAmp, "Decrise Amplitude, %");
RESOURCESTRING(SGenTestSize, "Size Parabol");

namespace {
constexpr int kRow = 24;
}  // namespace

TGenTestForm::TGenTestForm(TComponent* AOwner) : TToolForm(AOwner, [] {
  TToolFormOptions options;
  options.PreviewOnShow = false;
  return options;
}()) {
  SetCaption(LoadResString(SGenTestFormCaption));
  SetClientWidth(220);
  SetClientHeight(492);
  // No Enter, Esc or space of its own.
  SetKeyPreview(false);
  OnKeyDown = nullptr;

  EditCaption->SetBounds(8, 8, 204, 21);
  ExecCheckBox->SetBounds(8, 34, 97, 17);
  int top = 58;
  MultInputSignalDigitEdit = AddEdit(this, top, LoadResString(SGenTestMultInput), 0, 10000, 1, 0,
                                     &TGenTestTool::MultInputSignal);
  SetRandomDigitEdit = AddEdit(this, top += kRow, LoadResString(SGenTestSetRandom), 0, 100000, 1, 29,
                               &TGenTestTool::SetRandom);
  DistanceTRDigitEdit = AddEdit(this, top += kRow, LoadResString(SGenTestDistance), -10, 10, 0.01L, 0, nullptr);
  DistanceTRDigitEdit->SetAvailableDecimal(true);
  DistanceTRDigitEdit->SetAvailableSign(true);
  DistanceTRDigitEdit->OnChangeFinish = [this](TObject* sender) {
    if (!Tool || !Vsbl) return;
    GenTool().DistanceRecept = DistanceTRDigitEdit->ValueReal();
    ExecCheckBoxClick(sender);
  };

  struct TGroupEdits {
    TGroupBox*& Box;
    const TResourceString& Caption;
    TDigitEdit*& X;
    TDigitEdit*& Y;
    TDigitEdit*& Amp;
    TDigitEdit*& Dec;
    TDigitEdit*& Size;
    int32_t TGenTestTool::*FX;
    int32_t TGenTestTool::*FY;
    int32_t TGenTestTool::*FAmp;
    int32_t TGenTestTool::*FDec;
    int32_t TGenTestTool::*FSize;
    long double ShownX, ShownY;
  };
  const TGroupEdits groups[] = {
      {Parabol1GroupBox, SGenTestParabol1, X1DigitEdit, Y1DigitEdit, TopAmp1DigitEdit, DecAmpPercent1DigitEdit,
       SizeParabol1DigitEdit, &TGenTestTool::X1, &TGenTestTool::Y1, &TGenTestTool::TopAmp1,
       &TGenTestTool::DecAmpPercent1, &TGenTestTool::SizeParabol1, 6, 1},
      {Parabol2GroupBox, SGenTestParabol2, X2DigitEdit, Y2DigitEdit, TopAmp2DigitEdit, DecAmpPercent2DigitEdit,
       SizeParabol2DigitEdit, &TGenTestTool::X2, &TGenTestTool::Y2, &TGenTestTool::TopAmp2,
       &TGenTestTool::DecAmpPercent2, &TGenTestTool::SizeParabol2, 10, 2},
  };
  top += kRow + 8;
  for (const TGroupEdits& g : groups) {
    g.Box = new TGroupBox(this);
    g.Box->SetParent(this);
    g.Box->SetBounds(8, top, 204, 140);
    g.Box->SetCaption(LoadResString(g.Caption));
    int y = 18;
    g.X = AddEdit(g.Box, y, LoadResString(SGenTestX), 0, 10000, 1, g.ShownX, g.FX);
    g.Y = AddEdit(g.Box, y += kRow, LoadResString(SGenTestY), 0, 10000, 1, g.ShownY, g.FY);
    g.Amp = AddEdit(g.Box, y += kRow, LoadResString(SGenTestTopAmp), 0, 10000, 1, 6, g.FAmp);
    g.Dec = AddEdit(g.Box, y += kRow, LoadResString(SGenTestDecAmp), 0, 99, 1, 10, g.FDec);
    g.Size = AddEdit(g.Box, y += kRow, LoadResString(SGenTestSize), 0, 10000, 1, 6, g.FSize);
    top += 148;
  }
  OKBitBtn->SetBounds(56, 458, 75, 25);
  CancelBitBtn->SetBounds(137, 458, 75, 25);
}

TDigitEdit* TGenTestForm::AddEdit(TWinControl* parent, int top, const QString& label, long double min,
                                  long double max, long double step, long double shown,
                                  int32_t TGenTestTool::*field) {
  auto* caption = new TLabel(this);
  caption->SetParent(parent);
  caption->SetBounds(8, top + 4, 120, 13);
  caption->SetCaption(label);
  auto* edit = new TDigitEdit(this);
  edit->SetParent(parent);
  edit->SetBounds(parent == this ? 136 : 128, top, 68, 21);
  edit->SetMinVal(min);
  edit->SetMaxVal(max);
  edit->SetStep(step);
  edit->SetValueReal(shown);
  if (field) {
    edit->OnChangeFinish = [this, edit, field](TObject* sender) {
      if (!Tool || !Vsbl) return;
      GenTool().*field = edit->ValueInt();
      ExecCheckBoxClick(sender);
    };
  }
  return edit;
}

TGenTestTool& TGenTestForm::GenTool() const { return static_cast<TGenTestTool&>(*Tool); }

void TGenTestForm::DisplayToolParam() {
  const TGenTestTool& t = GenTool();
  MultInputSignalDigitEdit->SetValueInt(t.MultInputSignal);
  SetRandomDigitEdit->SetValueInt(t.SetRandom);
  DistanceTRDigitEdit->SetValueReal(t.DistanceRecept);
  X1DigitEdit->SetValueInt(t.X1);
  Y1DigitEdit->SetValueInt(t.Y1);
  TopAmp1DigitEdit->SetValueInt(t.TopAmp1);
  DecAmpPercent1DigitEdit->SetValueInt(t.DecAmpPercent1);
  SizeParabol1DigitEdit->SetValueInt(t.SizeParabol1);
  X2DigitEdit->SetValueInt(t.X2);
  Y2DigitEdit->SetValueInt(t.Y2);
  TopAmp2DigitEdit->SetValueInt(t.TopAmp2);
  DecAmpPercent2DigitEdit->SetValueInt(t.DecAmpPercent2);
  SizeParabol2DigitEdit->SetValueInt(t.SizeParabol2);
}
