// The radargram window's Properties page: the property list of a channel, its
// comment, the wave speed and the refresh while recording; the GPS page's list
// before a position arrives. Which rows the list holds is property_rows.h.

#include "radargram/view2d_form.h"

#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/memo.h"
#include "platform/ui/page_control.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/radar.h"
#include "radargram/property_rows.h"

namespace {

// A sentence shorter than this is no position worth showing.
constexpr int kShownNmeaLength = 40;
// Offsets and angles are stored in 10^-5 m and 10^-5 degree.
constexpr long double kFieldScale = 100000.0L;
constexpr TTypeGPRDevice kNoDeviceBox = static_cast<TTypeGPRDevice>(255);
// Cells drawn by the window itself sit on this background.
constexpr TColor kHighlightedRowColor = clBtnFace;
constexpr int kCellMargin = 2;

void ShowRows(TValueListEditor& list, const std::vector<TPropertyRow>& rows) {
  list.Clear();
  for (const TPropertyRow& row : rows) list.InsertRow(row.Key, row.Value, true);
}

TValueListEditor* NewValueList(TComponent* owner, TWinControl* parent, const char* name, int top) {
  auto* list = new TValueListEditor(owner);
  list->SetName(QString::fromLatin1(name));
  list->SetParent(parent);
  list->SetBounds(4, top, 226, 460);
  list->SetColWidths(0, 120);
  list->SetColWidths(1, 100);
  return list;
}

}  // namespace

void TView2DForm::BuildPropertyControls() {
  ValueListEditor = NewValueList(this, PropertyTabSheet, "ValueListEditor", 4);
  ValueListEditor->OnDrawCell = [this](TObject* sender, int col, int row, const TRect& rect, TGridDrawState state) {
    ValueListEditorDrawCell(sender, col, row, rect, state);
  };
  MemoComments = new TMemo(this);
  MemoComments->SetName(QStringLiteral("MemoComments"));
  MemoComments->SetParent(PropertyTabSheet);
  MemoComments->SetBounds(4, 470, 226, 60);
  MemoComments->SetScrollBars(ssVertical);
  MemoComments->OnChange = [this](TObject* sender) { MemoCommentsChange(sender); };
  SpeedDigitEdit = new TDigitEdit(this);
  SpeedDigitEdit->SetName(QStringLiteral("SpeedDigitEdit"));
  SpeedDigitEdit->SetParent(PropertyTabSheet);
  SpeedDigitEdit->SetBounds(4, 536, 80, 22);
  for (TDigitEdit* edit : {SpeedDigitEdit, SimpleSpeedDigitEdit}) {
    edit->SetMinVal(10);
    edit->SetMaxVal(299);
    edit->OnChangeFinish = [this](TObject* sender) { SpeedDigitEditChangeFinish(sender); };
  }
  GPSValueListEditor = NewValueList(this, GPSTabSheet, "GPSValueListEditor", 40);
  GPSValueListEditor->SetHeight(100);
}

void TView2DForm::FilValueList(int NumRadar) {
  T2Dview* store = GetView2DByIndx(NumRadar);
  if (!store || !ValueListEditor) return;
  TSettingData& c = *store->Settings();
  TControlRadar* set = shell_.Radars->ControlRadar();
  const TRadar* masterRadar = set ? set->GetMasterRadar() : nullptr;

  if (!store->WasOpen) {
    const bool single =
        shell_.ActiveChild->isActiveMDIChild_OneChannal() && !IsMultiChannelGPRDevice(TypeGPRDevice);
    SetCaption(CaptionForFileKind(Caption(), single));
  }

  if (TypeGPRDevice == kNoDeviceBox) TypeGPRDevice = tdUnknown;
  const T2Dview* activeStore = GetView2DByIndx(NumActiveView);
  const TSettingData& a = activeStore ? *activeStore->Settings() : c;
  const T2Dview* master = GetView2DByIndx(MasterChannal);
  TPropertySource source;
  source.Channel = &c;
  source.Active = &a;
  source.NumTraces = store->NumTraces();
  source.TypeGPRDevice = TypeGPRDevice;
  source.SerNumDevice = SerNumDevice;
  source.ShowDeviceOffsets =
      DeviceOffsetRowsShown(masterRadar && masterRadar->GPSstate() != gpsNone,
                            master ? master->Settings()->GetTopoType() : ttNil,
                            master ? master->Settings()->NMEIStrings.size() : 0);
  source.DeviceX = deviceX_;
  source.DeviceY = deviceY_;
  source.DeviceZ = deviceZ_;
  source.HasActiveWindow = shell_.ActiveChild->HasActiveMDIChild();
  ShowRows(*ValueListEditor, PropertyRows(source));

  if (TChart* chart = GetChartByIndx(MasterChannal))
    for (TChartAxis* axis : {chart->LeftAxis(), chart->RightAxis()})
      axis->LabelsFont()->SetStyle(axis->LabelsFont()->Style() | fsBold);

  {
    fillingProperties_ = true;
    MemoComments->SetText(c.GetComments());
    fillingProperties_ = false;
  }
  FlipSpeedButton->SetDown(c.GetWasFlip());
  const T2Dview* first = View2D_[0];
  const int32_t speed = first ? first->Settings()->GetSpeedLight() : c.GetSpeedLight();
  for (TDigitEdit* edit : {SpeedDigitEdit, SimpleSpeedDigitEdit}) {
    edit->SetValueInt(speed);
    edit->SetColor(clWindow);
    edit->Font()->SetColor(clWindowText);
  }
  AngleDigitEdit->SetValueReal(a.GetAngle() / kFieldScale);
  XOffsetDigitEdit->SetValueReal(deviceX_ / kFieldScale);
  YOffsetDigitEdit->SetValueReal(deviceY_ / kFieldScale);
  ZOffsetDigitEdit->SetValueReal(deviceZ_ / kFieldScale);

  ShowRows(*GPSValueListEditor, EmptyGpsRows());
  GetLocationDataButton->SetEnabled(!store->WasOpen && set && set->isPresentRadarNotNil());
  SetTitleTopAxes();
}

void TView2DForm::EditValueList() {
  const T2Dview* store = GetView2DByIndx(NumActiveView < 0 ? 0 : NumActiveView);
  if (!store || !ValueListEditor) return;
  for (const TPropertyRow& row : RecordingRows(*store->Settings(), store->NumTraces()))
    ValueListEditor->SetValues(row.Key, row.Value);
  TControlRadar* set = shell_.Radars->ControlRadar();
  const TRadar* master = set ? set->GetMasterRadar() : nullptr;
  if (!master) return;
  const QString nmea = master->LastNMEA();
  if (nmea.size() > kShownNmeaLength) ShowGPSData(nmea);
}

void TView2DForm::MemoCommentsChange(TObject* /*Sender*/) {
  if (fillingProperties_) return;
  if (T2Dview* store = GetView2DByIndx(NumActiveView)) store->Settings()->SetComments(MemoComments->Text());
}

void TView2DForm::SpeedDigitEditChangeFinish(TObject* /*Sender*/) {
  if (LeftPageControl->ActivePage() == SimpleTabSheet) SpeedDigitEdit->SetValueReal(SimpleSpeedDigitEdit->ValueReal());
  const int32_t speed = SpeedDigitEdit->ValueInt();
  for (T2Dview* store : View2D_)
    if (store) store->Settings()->SetSpeedLight(speed);
  UpdateWindowDepth();
  ResizeAxis();
  HyperbolaScroll();
  SaveDefault();
}

void TView2DForm::UpdateWindowDepth() {
  ApplyProportional(false);
  const T2Dview* store = GetView2DByIndx(NumActiveView);
  if (!store || !ValueListEditor) return;
  ValueListEditor->SetValues(LoadResString(SPropWindowDepth),
                             store->Settings()->GetSpanDepth() + LoadResString(SSuffixMetres));
}

void TView2DForm::ValueListEditorDrawCell(TObject* Sender, int ACol, int ARow, const TRect& Rect,
                                          TGridDrawState /*State*/) {
  auto* list = dynamic_cast<TValueListEditor*>(Sender);
  if (!list) return;
  if (ARow != 0 && list->Keys(ARow) != LoadResString(SPropChannelModel)) return;
  TCanvas& canvas = *list->Canvas();
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(kHighlightedRowColor);
  canvas.FillRect(Rect);
  canvas.Font()->SetStyle(canvas.Font()->Style() | fsBold);
  canvas.TextOut(Rect.Left + kCellMargin, Rect.Top + kCellMargin, list->Cells(ACol, ARow));
}
