#include "tools/imaging/obj_detect_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "tools/imaging/obj_detect_tool.h"

RESOURCESTRING(SObjDetectFormCaption, "Object Detector");
RESOURCESTRING(SObjDetectDistance, "Distance Trns/Reciv");
RESOURCESTRING(SObjDetectWaveSpeedAir, "Wave speed Air");
RESOURCESTRING(SObjDetectWaveSpeed, "Wave speed");
RESOURCESTRING(SObjDetectVisible, "Visible count cross, %");
RESOURCESTRING(SObjDetectVisibleHint, "Visible >");
RESOURCESTRING(SObjDetectUseAmpl, "Use Amlitude");
RESOURCESTRING(SObjDetectVisualization, "Visulization");
RESOURCESTRING(SObjDetectPoints, "Points at Elipse (Y to UP BMP) ( m )");

namespace {
constexpr int kObjDetectRow = 24;
}  // namespace

TObjDetectForm::TObjDetectForm(TComponent* AOwner) : TToolForm(AOwner, [] {
  TToolFormOptions options;
  options.PreviewAllChannels = false;
  return options;
}()) {
  SetCaption(LoadResString(SObjDetectFormCaption));
  SetBorderStyle(bsSingle);
  SetFormStyle(fsStayOnTop);
  SetClientWidth(230);
  SetClientHeight(400);
  // No Enter, Esc or space of its own.
  SetKeyPreview(false);
  OnKeyDown = nullptr;

  EditCaption->SetBounds(8, 8, 214, 21);
  ExecCheckBox->SetBounds(8, 34, 97, 17);
  int top = 58;
  DistanceTRDigitEdit = AddEdit(this, 8, top, 140, LoadResString(SObjDetectDistance), -10, 10, 0.01L, true);
  WaveSpeedAirDigitEdit = AddEdit(this, 8, top += kObjDetectRow, 140, LoadResString(SObjDetectWaveSpeedAir), 1, 299, 1, false);
  WaveSpeedDigitEdit = AddEdit(this, 8, top += kObjDetectRow, 140, LoadResString(SObjDetectWaveSpeed), 1, 299, 1, false);
  CountVisibleCrossSignalDigitEdit =
      AddEdit(this, 8, top += kObjDetectRow, 140, LoadResString(SObjDetectVisible), 0, 2000, 1, false);
  CountVisibleCrossSignalDigitEdit->SetHint(LoadResString(SObjDetectVisibleHint));

  DistanceTRDigitEdit->OnChangeFinish = [this](TObject*) {
    StoreAndSave([](TObjDetectTool& t, TDigitEdit& e) { t.DistanceTR = e.ValueReal(); }, DistanceTRDigitEdit);
  };
  WaveSpeedAirDigitEdit->OnChangeFinish = [this](TObject*) {
    StoreAndSave([](TObjDetectTool& t, TDigitEdit& e) { t.WaveSpeedAir = e.ValueInt(); }, WaveSpeedAirDigitEdit);
  };
  WaveSpeedDigitEdit->OnChangeFinish = [this](TObject*) {
    StoreAndSave([](TObjDetectTool& t, TDigitEdit& e) { t.WaveSpeed = e.ValueInt(); }, WaveSpeedDigitEdit);
  };
  CountVisibleCrossSignalDigitEdit->OnChangeFinish = [this](TObject*) {
    StoreAndSave([](TObjDetectTool& t, TDigitEdit& e) { t.CountVisibleCrossSignal = e.ValueInt(); },
                 CountVisibleCrossSignalDigitEdit);
  };

  UseAmlCheckBox = new TCheckBox(this);
  UseAmlCheckBox->SetParent(this);
  UseAmlCheckBox->SetBounds(8, top += kObjDetectRow + 2, 150, 17);
  UseAmlCheckBox->SetCaption(LoadResString(SObjDetectUseAmpl));
  UseAmlCheckBox->OnClick = [this](TObject*) {
    if (Tool && Vsbl) DetectTool().UseAmpl = UseAmlCheckBox->Checked();
  };

  auto* modeLabel = new TLabel(this);
  modeLabel->SetParent(this);
  modeLabel->SetBounds(8, (top += kObjDetectRow) + 4, 80, 13);
  modeLabel->SetCaption(LoadResString(SObjDetectVisualization));
  PntComboBox = new TComboBox(this);
  PntComboBox->SetParent(this);
  PntComboBox->SetStyle(csDropDownList);
  PntComboBox->SetBounds(96, top, 126, 21);
  PntComboBox->SetItems({QStringLiteral("No point"), QStringLiteral("Max point"), QStringLiteral("Sect point A"),
                         QStringLiteral("Sect point B"), QStringLiteral("SectHiperbols"), QStringLiteral("Two ellipse")});
  PntComboBox->OnChange = [this](TObject* sender) {
    if (!Tool || !Vsbl) return;
    DetectTool().PntVisual = PntComboBox->ItemIndex();
    ExecCheckBoxClick(sender);
  };

  ElipseGroupBox = new TGroupBox(this);
  ElipseGroupBox->SetParent(this);
  ElipseGroupBox->SetBounds(8, top += kObjDetectRow + 8, 214, 72);
  ElipseGroupBox->SetCaption(LoadResString(SObjDetectPoints));
  XElipseDigitEdit = AddEdit(ElipseGroupBox, 8, 18, 16, QStringLiteral("X"), -10000, 10000, 0.05L, true);
  YElipseDigitEdit = AddEdit(ElipseGroupBox, 110, 18, 16, QStringLiteral("Y"), -10000, 10000, 0.001L, true);
  X2ElipseDigitEdit = AddEdit(ElipseGroupBox, 8, 44, 16, QStringLiteral("X"), -10000, 10000, 0.05L, true);
  Y2ElipseDigitEdit = AddEdit(ElipseGroupBox, 110, 44, 16, QStringLiteral("Y"), -10000, 10000, 0.001L, true);
  const std::pair<TDigitEdit*, long double TObjDetectTool::*> points[] = {
      {XElipseDigitEdit, &TObjDetectTool::XElipse},
      {YElipseDigitEdit, &TObjDetectTool::YElipse},
      {X2ElipseDigitEdit, &TObjDetectTool::X2Elipse},
      {Y2ElipseDigitEdit, &TObjDetectTool::Y2Elipse},
  };
  for (const auto& [edit, field] : points) {
    edit->OnChangeFinish = [this, edit, field](TObject*) {
      if (Tool && Vsbl) DetectTool().*field = edit->ValueReal();
    };
  }
  top += 80;
  OKBitBtn->SetBounds(66, top, 75, 25);
  CancelBitBtn->SetBounds(147, top, 75, 25);
  SetClientHeight(top + 33);
}

TDigitEdit* TObjDetectForm::AddEdit(TWinControl* parent, int left, int top, int labelWidth, const QString& label,
                                    long double min, long double max, long double step, bool decimal) {
  auto* caption = new TLabel(this);
  caption->SetParent(parent);
  caption->SetBounds(left, top + 4, labelWidth, 13);
  caption->SetCaption(label);
  auto* edit = new TDigitEdit(this);
  edit->SetParent(parent);
  edit->SetBounds(left + labelWidth + 4, top, parent == this ? 68 : 76, 21);
  edit->SetMinVal(min);
  edit->SetMaxVal(max);
  edit->SetStep(step);
  edit->SetAvailableDecimal(decimal);
  edit->SetAvailableSign(min < 0);
  return edit;
}

void TObjDetectForm::StoreAndSave(void (*store)(TObjDetectTool&, TDigitEdit&), TDigitEdit* edit) {
  if (!Tool || !Vsbl) return;
  store(DetectTool(), *edit);
  Tool->SaveParamPlugin(0);
}

TObjDetectTool& TObjDetectForm::DetectTool() const { return static_cast<TObjDetectTool&>(*Tool); }

void TObjDetectForm::DisplayToolParam() {
  const TObjDetectTool& t = DetectTool();
  DistanceTRDigitEdit->SetValueReal(t.DistanceTR);
  WaveSpeedDigitEdit->SetValueInt(t.WaveSpeed);
  WaveSpeedAirDigitEdit->SetValueInt(t.WaveSpeedAir);
  CountVisibleCrossSignalDigitEdit->SetValueInt(t.CountVisibleCrossSignal);
  UseAmlCheckBox->SetChecked(t.UseAmpl);
  PntComboBox->SetItemIndex(t.PntVisual);
  XElipseDigitEdit->SetValueReal(t.XElipse);
  YElipseDigitEdit->SetValueReal(t.YElipse);
  X2ElipseDigitEdit->SetValueReal(t.X2Elipse);
  Y2ElipseDigitEdit->SetValueReal(t.Y2Elipse);
}
