#include "acquisition/topo_device_tab.h"

#include "acquisition/calibration_host.h"
#include "acquisition/topo_pictures.h"
#include "acquisition/wheel_calibration.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/place_controls.h"
#include "platform/ui/adv_popup_menu.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/image.h"
#include "platform/ui/image_list.h"
#include "platform/ui/menus.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/value_list_editor.h"
#include "profiledata/digit_edit.h"
#include "profiledata/number_text.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"

#include <memory>

namespace {

namespace wc = wheel_calibration;

RESOURCESTRING(STopoSelectDevice, "Select topo device");
RESOURCESTRING(STopoStepOfWheel, "Step of wheel");
RESOURCESTRING(STopoMm, "mm");
RESOURCESTRING(STopoAddCalibration, "Add calibration");
RESOURCESTRING(STopoDeleteCalibration, "Delete calibration");
RESOURCESTRING(STopoStepTitle, "Step of Wheel, mm");
RESOURCESTRING(STopoNameTitle, "Name of Calibration ");
RESOURCESTRING(STopoDistance, "Distance for calibration");
RESOURCESTRING(STopoMetres, "m");
RESOURCESTRING(STopoCalibrationName, "Calibration Name");
RESOURCESTRING(STopoStart, "Start");
RESOURCESTRING(STopoStop, "Stop");
RESOURCESTRING(STopoCancel, "Cancel");
RESOURCESTRING(STopoCalibrationN, "Calibration ");

// Sends a command without parameters; false when the radar went while its
// reply was awaited.
bool Send(TRadar& radar, uint8_t code) {
  const std::shared_ptr<const std::atomic<bool>> alive = radar.LifeToken();
  radar.SendCommand(code, 0, nullptr);
  return *alive;
}

}  // namespace

TTopoDeviceTab::TTopoDeviceTab(TComponent* owner, TWinControl* parent, ICalibrationHost& host) : host_(host) {
  BuildMenu(owner);
  BuildControls(owner, parent);
}

void TTopoDeviceTab::BuildMenu(TComponent* owner) {
  TopoTypePopupMenu = new TAdvPopupMenu(owner);
  TopoTypeImages = new TImageList(owner);
  FillTopoPictures(*TopoTypeImages);
  TopoTypePopupMenu->SetImages(TopoTypeImages);
  for (const TTopoType type : PreferencesTopoMenuOrder) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(TopoDeviceName(type));
    item->SetRadioItem(true);
    item->SetTag(type);
    item->SetImageIndex(type);
    item->OnClick = [this, type](TObject*) { TopoItemClick(type); };
    TopoTypePopupMenu->Items()->Add(item);
    TopoItems[type] = item;
  }
}

void TTopoDeviceTab::BuildControls(TComponent* owner, TWinControl* parent) {
  TopoTypeImage = Place<TImage>(owner, parent, 8, 8, TopoPictureSize, TopoPictureSize);
  TopoTypeImage->SetHint(LoadResString(STopoSelectDevice));
  TopoTitleLabel = LabelAt(owner, parent, 48, 16, QString());
  TopoDeviceButton = Place<TBitBtn>(owner, parent, 220, 10, 24, 24);
  TopoDeviceButton->SetCaption(QStringLiteral("..."));
  TopoDeviceButton->OnClick = [this](TObject*) {
    const TPoint at = TopoDeviceButton->ClientToScreen(TPoint{20, 20});
    TopoTypePopupMenu->SetPopupComponent(TopoDeviceButton);
    TopoTypePopupMenu->Popup(at.X, at.Y);
  };

  OdometerPanel = Place<TPanel>(owner, parent, 4, 48, 390, 300);
  Label14 = LabelAt(owner, OdometerPanel, 6, 10, LoadResString(STopoStepOfWheel));
  OdometerDigitEdit = Place<TDigitEdit>(owner, OdometerPanel, 110, 6, 80, 22);
  OdometerDigitEdit->SetMinVal(0);
  OdometerDigitEdit->SetMaxVal(1000);
  OdometerDigitEdit->SetAvailableDecimal(true);
  OdometerDigitEdit->SetReadOnly(true);
  Label6 = LabelAt(owner, OdometerPanel, 196, 10, LoadResString(STopoMm));
  AddOdometer = Place<TBitBtn>(owner, OdometerPanel, 300, 4, 26, 26);
  AddOdometer->SetCaption(QStringLiteral("+"));
  AddOdometer->SetHint(LoadResString(STopoAddCalibration));
  AddOdometer->OnClick = [this](TObject*) { AddOdometerClick(); };
  delOdometer = Place<TBitBtn>(owner, OdometerPanel, 330, 4, 26, 26);
  delOdometer->SetCaption(QStringLiteral("-"));
  delOdometer->SetHint(LoadResString(STopoDeleteCalibration));
  delOdometer->SetEnabled(false);
  delOdometer->OnClick = [this](TObject*) { delOdometerClick(); };

  OdometerList = Place<TValueListEditor>(owner, OdometerPanel, 6, 36, 376, 120);
  OdometerList->SetTitleCaptions(LoadResString(STopoStepTitle), LoadResString(STopoNameTitle));
  OdometerList->SetColWidths(0, 120);
  OdometerList->SetColWidths(1, 250);
  OdometerList->SetTabStop(true);
  OdometerList->OnSelectCell = [this](TObject*, int col, int row, bool& can) { OdometerListSelectCell(col, row, can); };
  OdometerList->OnSetEditText = [this](TObject*, int col, int row, const QString& value) {
    OdometerListSetEditText(col, row, value);
  };

  MeasureOdometrPanel = Place<TPanel>(owner, OdometerPanel, 6, 160, 376, 120);
  MeasureOdometrPanel->SetVisible(false);
  Label23 = LabelAt(owner, MeasureOdometrPanel, 6, 10, LoadResString(STopoDistance));
  DistanceDigitEdit = Place<TDigitEdit>(owner, MeasureOdometrPanel, 170, 6, 70, 22);
  DistanceDigitEdit->SetMinVal(0);
  DistanceDigitEdit->SetMaxVal(200);
  DistanceDigitEdit->SetAvailableDecimal(true);
  Label4 = LabelAt(owner, MeasureOdometrPanel, 246, 10, LoadResString(STopoMetres));
  Label24 = LabelAt(owner, MeasureOdometrPanel, 6, 38, LoadResString(STopoCalibrationName));
  NameMeasurEdit = Place<TEdit>(owner, MeasureOdometrPanel, 170, 34, 196, 22);
  StepLabel = LabelAt(owner, MeasureOdometrPanel, 6, 66, QString());
  StartStopSpeedButton = Place<TSpeedButton>(owner, MeasureOdometrPanel, 170, 88, 90, 26);
  StartStopSpeedButton->SetCaption(LoadResString(STopoStart));
  StartStopSpeedButton->OnClick = [this](TObject*) { StartStopSpeedButtonClick(); };
  CancelSpeedButton = Place<TBitBtn>(owner, MeasureOdometrPanel, 270, 88, 90, 26);
  CancelSpeedButton->SetCaption(LoadResString(STopoCancel));
  CancelSpeedButton->OnClick = [this](TObject*) { CancelSpeedButtonClick(); };
}

// ---- The list -----------------------------------------------------------------------------

void TTopoDeviceTab::LoadList() {
  AddOdometer->SetEnabled(host_.CurrentRadar() != nullptr);
  const TTopoType type = host_.LastTopoType();
  if (type == ttGPS) return;
  OdometerList->Clear();
  const std::vector<wc::TStoredCalibration> entries = wc::ReadStoredCalibrations(host_.MainIni(), type);
  for (const wc::TStoredCalibration& entry : entries) OdometerList->InsertRow(wc::StepText(entry.Step), entry.Name, true);
  SetStep(static_cast<double>(StrToFloatAnySep(wc::StepText(entries.front().Step))));
  OdometerList->SelectCell(0, 1);
}

void TTopoDeviceTab::WriteList() {
  TCustomIniFile* ini = host_.MainIni();
  if (!ini) return;
  std::vector<wc::TCalibrationRow> rows;
  for (int b = 1; b < OdometerList->RowCount(); ++b) rows.push_back({OdometerList->Keys(b), OdometerList->Cells(1, b)});
  wc::WriteCalibrations(*ini, host_.LastTopoType(), rows);
}

void TTopoDeviceTab::RefreshIndicator() {
  const TTopoType type = host_.LastTopoType();
  if (type < 1 || type >= TopoTypeCount || !TopoItems[type]) return;
  TopoItems[type]->SetChecked(true);
  DrawTopoPicture(type, *TopoTypeImage->Picture());
  TopoTypeImage->Invalidate();
  TopoTitleLabel->SetCaption(TopoItems[type]->Caption());
}

void TTopoDeviceTab::TopoItemClick(TTopoType type) {
  host_.SetLastTopoType(type);
  if (type == ttGPS) {
    OdometerPanel->SetVisible(false);
  } else {
    OdometerPanel->SetVisible(true);
    SetStep(TopoWheelStep(type));
    LoadList();
  }
  RefreshIndicator();
}

void TTopoDeviceTab::SetStep(double step) { OdometerDigitEdit->SetValueReal(step); }

void TTopoDeviceTab::AppendRow(const QString& step, const QString& name) { OdometerList->InsertRow(step, name, true); }

void TTopoDeviceTab::OdometerListSelectCell(int /*ACol*/, int ARow, bool& CanSelect) {
  if (ARow < 1 || ARow >= OdometerList->RowCount()) {
    CanSelect = false;
    return;
  }
  SetStep(static_cast<double>(StrToFloatAnySep(OdometerList->Keys(ARow))));
  // The first calibration is the device's own: neither edited nor deleted.
  OdometerList->SetEditing(ARow > 1);
  delOdometer->SetEnabled(ARow > 1 && !MeasureOdometrPanel->Visible());
}

void TTopoDeviceTab::OdometerListSetEditText(int ACol, int ARow, const QString& Value) {
  if (ARow <= 1) return;
  if (ACol == 0) SetStep(static_cast<double>(StrToFloatAnySep(Value)));
  WriteList();
}

void TTopoDeviceTab::delOdometerClick() {
  const int row = OdometerList->Row();
  if (row <= 1) {
    ShowMessage(LoadResString(SWheelDefaultNotRemovable));
    return;
  }
  OdometerList->DeleteRow(row);
  WriteList();
  OdometerList->SelectCell(0, 1);
}

void TTopoDeviceTab::AddOdometerClick() {
  MeasureOdometrPanel->SetVisible(true);
  NameMeasurEdit->SetText(LoadResString(STopoCalibrationN) + IntToStr(OdometerList->RowCount()));
  StepLabel->SetCaption(QString());
  AddOdometer->SetEnabled(false);
  delOdometer->SetEnabled(false);
  WriteList();
}

// ---- The calibration run ----------------------------------------------------------------------

void TTopoDeviceTab::StartStopSpeedButtonClick() {
  if (OdometerList->CanFocus()) OdometerList->SetFocus();
  if (DistanceDigitEdit->ValueReal() == 0) {
    MessageDlg(LoadResString(SWheelEnterValidDistance), mtError, TMsgDlgButtons{mbOK}, 0);
    StartStopSpeedButton->SetDown(false);
    StartStopSpeedButton->SetCaption(LoadResString(STopoStart));
    return;
  }
  const bool down = StartStopSpeedButton->Down();
  StartStopSpeedButton->SetCaption(LoadResString(down ? STopoStop : STopoStart));
  down ? StartRun() : StopRun();
}

void TTopoDeviceTab::StartRun() {
  WheelCalibrateTraces = 0;
  CalibrateDirection = forth;
  TRadar* radar = host_.CurrentRadar();
  if (!radar) return;
  if (radar->CurMode() != cmStop && !Send(*radar, bcpWheelRotate_Stop)) return;
  if (Send(*radar, bcpLoadData)) Send(*radar, bcpWheelRotate_Start);
}

void TTopoDeviceTab::StopRun() {
  if (TRadar* radar = host_.CurrentRadar()) Send(*radar, bcpWheelRotate_Stop);
  if (WheelCalibrateTraces == 0) WheelCalibrateTraces = 1;
  StepLabel->SetCaption(LoadResString(SWheelNumberOfPulses) + IntToStr(WheelCalibrateTraces));
  const double step = wc::StepFromPulses(DistanceDigitEdit->ValueReal(), WheelCalibrateTraces);
  const QString question = wc::CompletedQuestion(step, TopoWheelStep(host_.LastTopoType()));
  if (MessageDlg(question, mtConfirmation, mbYes | mbNo, 0) != mrYes) return;
  AppendRow(wc::StepText(step), NameMeasurEdit->Text());
  SetStep(step);
  MeasureOdometrPanel->SetVisible(false);
  AddOdometer->SetEnabled(true);
  delOdometer->SetEnabled(true);
}

void TTopoDeviceTab::CancelSpeedButtonClick() {
  if (StartStopSpeedButton->Down()) {
    if (TRadar* radar = host_.CurrentRadar()) Send(*radar, bcpWheelRotate_Stop);
  }
  StartStopSpeedButton->SetDown(false);
  StartStopSpeedButton->SetCaption(LoadResString(STopoStart));
  MeasureOdometrPanel->SetVisible(false);
  AddOdometer->SetEnabled(true);
  delOdometer->SetEnabled(OdometerList->Row() > 1);
}

void TTopoDeviceTab::WheelPulse(WPARAM /*wParam*/, LPARAM lParam) {
  WheelCalibrateTraces = wc::CountAfterPulse(WheelCalibrateTraces, static_cast<uintptr_t>(lParam), CalibrateDirection);
  StepLabel->SetCaption(LoadResString(SWheelNumberOfPulses) + IntToStr(WheelCalibrateTraces));
}
