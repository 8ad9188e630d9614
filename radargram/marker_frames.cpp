// The property frames of the Objects page (marker_frames.h).

#include "radargram/marker_frames.h"

#include "platform/rtl/paths.h"
#include "platform/ui/buttons.h"
#include "platform/ui/canvas.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/markers_data.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/setting_data.h"
#include "radargram/marker_texts.h"
#include "radargram/mouse_arithmetic.h"
#include "radargram/view2d_form.h"

namespace {

namespace mt = marker_texts;

// The polyline frame's own limits of its position edits.
constexpr int kPolyTraceLimit = 50000;
constexpr int kPolySampleLimit = 500;
constexpr int kPenWidths = 12;

TLabel* NewLabel(TComponent* owner, TWinControl* parent, int top, const QString& caption = QString()) {
  auto* label = new TLabel(owner);
  label->SetParent(parent);
  label->SetBounds(8, top, 230, 16);
  label->SetCaption(caption);
  return label;
}

TDigitEdit* NewIntEdit(TComponent* owner, TWinControl* parent, int top, const QString& hint) {
  auto* edit = new TDigitEdit(owner);
  edit->SetParent(parent);
  edit->SetBounds(8, top, 100, 22);
  edit->SetAvailableDecimal(false);
  edit->SetAvailableSign(true);
  edit->SetStep(1);
  edit->SetHint(hint);
  return edit;
}

bool IsFrnCaption(const QString& caption) { return ExtractFileExt(caption) == QStringLiteral(".frn"); }

}  // namespace

// ---- Base ------------------------------------------------------------------------------------

TMarkerFrame::TMarkerFrame(TView2DForm& window, TMarkerFrameKind kind) : TCustomFrame(&window), window_(window), kind_(kind) {
  SetBounds(0, 0, 250, 100);
}

int TMarkerFrame::Channel() const { return window_.LastNumTreeView; }
T2Dview* TMarkerFrame::Store() const { return window_.GetView2DByIndx(Channel()); }

// ---- Group frames ------------------------------------------------------------------------------

TMarkerGroupFrame::TMarkerGroupFrame(TView2DForm& window, TMarkerFrameKind kind) : TMarkerFrame(window, kind) {
  static const TResourceString titles[] = {SSurfaceMarkersTitle, SObjectMarkersTitle, SPolyLineMarkersTitle};
  TitleLabel = NewLabel(this, this, 4, LoadResString(titles[kind]));
  VisibleCheckBox = new TCheckBox(this);
  VisibleCheckBox->SetParent(this);
  VisibleCheckBox->SetBounds(8, 26, 200, 20);
  VisibleCheckBox->SetCaption(LoadResString(SVisibleBox));
  VisibleCheckBox->OnClick = [this](TObject*) { BoxClick(false); };
  ShowCommentsCheckBox = new TCheckBox(this);
  ShowCommentsCheckBox->SetParent(this);
  ShowCommentsCheckBox->SetBounds(8, 50, 200, 20);
  ShowCommentsCheckBox->SetCaption(LoadResString(SShowCommentsBox));
  ShowCommentsCheckBox->OnClick = [this](TObject*) { BoxClick(true); };
  SetHeight(76);
}

bool& TMarkerGroupFrame::VisibleSwitch() const {
  switch (Kind()) {
    case mfSurfaceGroup: return window_.ShowSurfaceMarkers;
    case mfObjectGroup: return window_.ShowObjectMarkers;
    default: return window_.ShowPolyLineMarkers;
  }
}

bool& TMarkerGroupFrame::CommentsSwitch() const {
  switch (Kind()) {
    case mfSurfaceGroup: return window_.ShowComentsSurfaceMarkers;
    case mfObjectGroup: return window_.ShowComentsObjectMarkers;
    default: return window_.ShowPolyLineComments;
  }
}

void TMarkerGroupFrame::UpdateParameters() {
  filling_ = true;
  VisibleCheckBox->SetChecked(VisibleSwitch());
  const bool always = Kind() == mfPolyLineGroup;
  ShowCommentsCheckBox->SetVisible(always || VisibleSwitch());
  ShowCommentsCheckBox->SetChecked(CommentsSwitch());
  filling_ = false;
}

void TMarkerGroupFrame::BoxClick(bool comments) {
  if (filling_) return;
  if (comments) {
    CommentsSwitch() = ShowCommentsCheckBox->Checked();
  } else {
    VisibleSwitch() = VisibleCheckBox->Checked();
    UpdateParameters();
    window_.AddMarkersAtGPSTrek();
  }
  window_.WasPaint = false;
  window_.PaintAllScreen();
}

// ---- Item frames: shared ------------------------------------------------------------------------

TMarkerItemFrame::TMarkerItemFrame(TView2DForm& window, TMarkerFrameKind kind) : TMarkerFrame(window, kind) {
  CommentEdit = new TEdit(this);
  CommentEdit->SetParent(this);
  CommentEdit->SetBounds(8, 4, 230, 22);
  CommentEdit->OnChange = [this](TObject*) {
    if (!NeedRepaint) return;
    const QString text = CommentEdit->Text();
    if (auto* self = dynamic_cast<TSurfaceMarkerPropertyFrame*>(this); self && self->curMarker)
      self->curMarker->SetComment(text);
    else if (auto* object = dynamic_cast<TObjectMarkerPropertyFrame*>(this); object && object->curMarker)
      object->curMarker->SetComment(text);
    else if (auto* poly = dynamic_cast<TPolyLineMarkerPropertyFrame*>(this); poly && poly->SelectPolyLineMarkersData)
      poly->SelectPolyLineMarkersData->SetComment(text);
    else
      return;
    RenameNode(text);
    Repaint();
  };
  PositionGroup = new TGroupBox(this);
  PositionGroup->SetParent(this);
  PositionGroup->SetCaption(LoadResString(kind == mfPolyLine ? SPositionSelectNode : SPositionGroup));
  PositionGroup->SetBounds(4, 32, 240, 170);
  TraceNumberDigitEdit = NewIntEdit(this, PositionGroup, 18, LoadResString(STraceNumberHint));
  int top = 44;
  if (kind != mfSurface) {
    NumSampleMarkDigitEdit = NewIntEdit(this, PositionGroup, top, LoadResString(SSamplesNumberHint));
    top += 26;
  }
  DistanceLabel = NewLabel(this, PositionGroup, top);
  top += 20;
  if (kind != mfSurface) {
    TimeWindowLabel = NewLabel(this, PositionGroup, top);
    DepthLabel = NewLabel(this, PositionGroup, top + 20);
    top += 40;
  }
  GPSLabel = NewLabel(this, PositionGroup, top);
  PositionGroup->SetHeight(top + 24);
  SetHeight(PositionGroup->Top() + PositionGroup->Height() + 4);
}

void TMarkerItemFrame::ShowSampleTexts(int32_t sample) {
  const T2Dview* store = Store();
  if (!store || !TimeWindowLabel) return;
  DepthLabel->SetCaption(mt::DepthText(store->Settings()->SampleToDepth(sample)));
  TimeWindowLabel->SetCaption(mt::TimeText(store->Settings()->SampleToTime(sample)));
}

void TMarkerItemFrame::ShowGps(int32_t trace) {
  const T2Dview* store = Store();
  if (!store) return;
  const TSettingData& settings = *store->Settings();
  if (settings.NMEIStrings.isEmpty()) return;
  GPSLabel->SetCaption(mt::GpsTextOfTrace(trace, settings.NMEIStrings, settings.GetDirection() == back,
                                          static_cast<int>(store->NumTraces())));
}

void TMarkerItemFrame::RenameNode(const QString& text) {
  if (TTreeView* tree = window_.GetObjectsTreeViewByIndx(Channel()))
    if (TTreeNode* node = tree->Selected(); node && node->Parent()) node->SetText(text);
}

void TMarkerItemFrame::Repaint() {
  if (NeedRepaint) window_.PaintToScreen(Channel());
}

// ---- Surface marker -----------------------------------------------------------------------------------

TSurfaceMarkerPropertyFrame::TSurfaceMarkerPropertyFrame(TView2DForm& window) : TMarkerItemFrame(window, mfSurface) {
  TraceNumberDigitEdit->OnChangeFinish = [this](TObject*) { TraceFinished(); };
}

QString TSurfaceMarkerPropertyFrame::PrepareDistanceString() const {
  const T2Dview* store = Store();
  if (!store || !curMarker) return QString();
  const TSettingData& settings = *store->Settings();
  return mt::PrepareDistanceString(curMarker->GetNumTrace(), store->MinNumTraces(), settings.GetMeasureStep(),
                                   IsFrnCaption(window_.Caption()), settings.GetStartXShift(), settings.GetWasFlip());
}

void TSurfaceMarkerPropertyFrame::UpdateParameters(TSurfaceMarker* marker) {
  NeedRepaint = false;
  const T2Dview* store = Store();
  curMarker = marker;
  if (!store || !marker) return;
  TraceNumberDigitEdit->SetMinVal(static_cast<long double>(store->MinNumTraces()));
  TraceNumberDigitEdit->SetMaxVal(static_cast<long double>(store->MaxNumTraces()));
  TraceNumberDigitEdit->SetValueInt(marker->GetNumTrace());
  DistanceLabel->SetCaption(mouse_arithmetic::IsDistanceTopoType(store->Settings()->GetTopoType())
                                ? PrepareDistanceString()
                                : QString());
  CommentEdit->SetText(marker->GetComment());
  ShowGps(marker->GetNumTrace());
  NeedRepaint = true;
}

void TSurfaceMarkerPropertyFrame::TraceFinished() {
  if (!curMarker || !NeedRepaint) return;
  curMarker->SetNumTrace(TraceNumberDigitEdit->ValueInt());
  Repaint();
  UpdateParameters(curMarker);
}

void TSurfaceMarkerPropertyFrame::MoveNode(int32_t X_tr, int32_t /*Y_sample*/) {
  if (!NeedRepaint || !curMarker) return;
  TraceNumberDigitEdit->SetValueInt(X_tr);
  curMarker->SetNumTrace(TraceNumberDigitEdit->ValueInt());
  window_.PaintToScreen(Channel());
  UpdateParameters(curMarker);
}

// ---- Object marker ------------------------------------------------------------------------------------

TObjectMarkerPropertyFrame::TObjectMarkerPropertyFrame(TView2DForm& window) : TMarkerItemFrame(window, mfObject) {
  ColorPanel = new TPanel(this);
  ColorPanel->SetParent(this);
  ColorPanel->SetBounds(8, 30, 40, 20);
  ColorPanel->OnClick = [this](TObject*) { ColorPanelClick(); };
  PositionGroup->SetTop(56);
  SetHeight(PositionGroup->Top() + PositionGroup->Height() + 4);
  TraceNumberDigitEdit->OnChangeFinish = [this](TObject*) { TraceFinished(); };
  NumSampleMarkDigitEdit->OnChangeFinish = [this](TObject*) { SampleFinished(); };
}

QString TObjectMarkerPropertyFrame::PrepareDistanceString() const {
  const T2Dview* store = Store();
  if (!store || !curMarker) return QString();
  const TSettingData& settings = *store->Settings();
  return mt::PrepareDistanceString(curMarker->GetNumTrace(), store->MinNumTraces(), settings.GetMeasureStep(),
                                   IsFrnCaption(window_.Caption()), settings.GetStartXShift(), settings.GetWasFlip());
}

void TObjectMarkerPropertyFrame::UpdateParameters(TObjectMarker* marker) {
  NeedRepaint = false;
  const T2Dview* store = Store();
  curMarker = marker;
  if (!store || !marker) return;
  TraceNumberDigitEdit->SetMinVal(static_cast<long double>(store->MinNumTraces()));
  TraceNumberDigitEdit->SetMaxVal(static_cast<long double>(store->MaxNumTraces() - 1));
  TraceNumberDigitEdit->SetValueInt(marker->GetNumTrace());
  DistanceLabel->SetCaption(mouse_arithmetic::IsDistanceTopoType(store->Settings()->GetTopoType())
                                ? PrepareDistanceString()
                                : QString());
  CommentEdit->SetText(marker->GetComment());
  NumSampleMarkDigitEdit->SetMinVal(0);
  NumSampleMarkDigitEdit->SetMaxVal(store->Settings()->GetLongTrace());
  NumSampleMarkDigitEdit->SetValueInt(marker->GetNumSample());
  ShowSampleTexts(marker->GetNumSample());
  ColorPanel->SetColor(marker->GetColor());
  ShowGps(marker->GetNumTrace());
  NeedRepaint = true;
}

void TObjectMarkerPropertyFrame::TraceFinished() {
  if (!curMarker || !NeedRepaint) return;
  curMarker->SetNumTrace(TraceNumberDigitEdit->ValueInt());
  Repaint();
  UpdateParameters(curMarker);
}

void TObjectMarkerPropertyFrame::SampleFinished() {
  if (!curMarker || !NeedRepaint) return;
  curMarker->SetNumSample(NumSampleMarkDigitEdit->ValueInt());
  Repaint();
  ShowSampleTexts(curMarker->GetNumSample());
}

void TObjectMarkerPropertyFrame::MoveNode(int32_t X_tr, int32_t Y_sample) {
  if (!NeedRepaint || !curMarker) return;
  TraceNumberDigitEdit->SetValueInt(X_tr);
  NumSampleMarkDigitEdit->SetValueInt(Y_sample);
  curMarker->SetNumTrace(TraceNumberDigitEdit->ValueInt());
  curMarker->SetNumSample(NumSampleMarkDigitEdit->ValueInt());
  window_.PaintToScreen(Channel());
  UpdateParameters(curMarker);
}

void TObjectMarkerPropertyFrame::ColorPanelClick() {
  if (!curMarker) return;
  TColor color = curMarker->GetColor();
  if (!ChooseColor(color)) return;
  curMarker->SetColor(color);
  ColorPanel->SetColor(color);
  window_.PaintToScreen(Channel());
}

// ---- Polyline -------------------------------------------------------------------------------------------

TPolyLineMarkerPropertyFrame::TPolyLineMarkerPropertyFrame(TView2DForm& window) : TMarkerItemFrame(window, mfPolyLine) {
  PropertiesGroup = new TGroupBox(this);
  PropertiesGroup->SetParent(this);
  PropertiesGroup->SetCaption(LoadResString(SPropertiesGroup));
  PropertiesGroup->SetBounds(4, 30, 240, 56);
  PenComboBox = new TComboBox(this);
  PenComboBox->SetParent(PropertiesGroup);
  PenComboBox->SetBounds(8, 22, 110, 22);
  PenComboBox->SetStyle(csOwnerDrawFixed);
  PenComboBox->SetHint(LoadResString(SColorPenHint));
  PenComboBox->SetItems(mt::MarkColorItems());
  PenComboBox->OnDrawItem = [this](TWinControl*, int index, TRect rect, TOwnerDrawState state) {
    DrawPenColorItem(*PenComboBox->Canvas(), PenComboBox->Items().value(index), rect, state.Selected);
  };
  PenComboBox->OnChange = [this](TObject*) {
    if (!SelectPolyLineMarkersData || PenComboBox->ItemIndex() < 0) return;
    SelectPolyLineMarkersData->SetMarkColor(mt::MarkColorOfItem(PenComboBox->Items().at(PenComboBox->ItemIndex())));
    Repaint();
  };
  SizePenComboBox = new TComboBox(this);
  SizePenComboBox->SetParent(PropertiesGroup);
  SizePenComboBox->SetBounds(126, 22, 100, 22);
  SizePenComboBox->SetStyle(csDropDownList);
  SizePenComboBox->SetHint(LoadResString(SSizePenHint));
  QStringList widths;
  for (int i = 0; i < kPenWidths; ++i) widths << QString::number(i);
  SizePenComboBox->SetItems(widths);
  SizePenComboBox->SetItemIndex(1);
  SizePenComboBox->OnChange = [this](TObject*) {
    if (!SelectPolyLineMarkersData || SizePenComboBox->ItemIndex() < 0) return;
    SelectPolyLineMarkersData->SetWeight(SizePenComboBox->ItemIndex());
    Repaint();
  };
  PositionGroup->SetTop(92);
  SetHeight(PositionGroup->Top() + PositionGroup->Height() + 4);
  TraceNumberDigitEdit->SetMinVal(-kPolyTraceLimit);
  TraceNumberDigitEdit->SetMaxVal(kPolyTraceLimit);
  NumSampleMarkDigitEdit->SetMinVal(-kPolySampleLimit);
  NumSampleMarkDigitEdit->SetMaxVal(kPolySampleLimit);
  TraceNumberDigitEdit->OnChangeFinish = [this](TObject*) { PositionFinished(); };
  NumSampleMarkDigitEdit->OnChangeFinish = TraceNumberDigitEdit->OnChangeFinish;
}

int TPolyLineMarkerPropertyFrame::FindColorIndex(TColor color) { return mt::FindColorIndex(color); }

QString TPolyLineMarkerPropertyFrame::PrepareDistanceString(int32_t trace) const {
  const T2Dview* store = Store();
  if (!store) return QString();
  const TSettingData& settings = *store->Settings();
  return mt::PrepareDistanceString(trace, store->MinNumTraces(), settings.GetMeasureStep(),
                                   IsFrnCaption(window_.Caption()), settings.GetStartXShift(), settings.GetWasFlip());
}

void TPolyLineMarkerPropertyFrame::UpdateParameters(TPolyLineMarkersData* polyline) {
  NeedRepaint = false;
  SelectPolyLineMarkersData = polyline;
  if (!polyline) {
    PositionGroup->Hide();
    return;
  }
  SizePenComboBox->SetItemIndex(polyline->GetWeight());
  PenComboBox->SetItemIndex(FindColorIndex(polyline->GetMarkColor()));
  CommentEdit->SetText(polyline->GetComment());
  SelectNode = SelectDownNode;
  TPoint node;
  if (SelectNode < 0 || !polyline->GetPolyLineMarker(SelectNode, node)) {
    PositionGroup->Hide();
  } else {
    PositionGroup->Show();
    TraceNumberDigitEdit->SetValueInt(node.X);
    NumSampleMarkDigitEdit->SetValueInt(node.Y);
    DistanceLabel->SetCaption(PrepareDistanceString(node.X));
    ShowSampleTexts(node.Y);
    ShowGps(node.X);
  }
  NeedRepaint = true;
}

void TPolyLineMarkerPropertyFrame::PositionFinished() {
  if (!SelectPolyLineMarkersData || SelectDownNode < 0) return;
  SelectPolyLineMarkersData->SetPolyLineMarker(SelectDownNode,
                                              TPoint{TraceNumberDigitEdit->ValueInt(), NumSampleMarkDigitEdit->ValueInt()});
  if (!NeedRepaint) return;
  Repaint();
  UpdateParameters(SelectPolyLineMarkersData);
}

void TPolyLineMarkerPropertyFrame::GetRegimeCursor(int32_t X_tr, int32_t Y_sample) {
  PolyLineButtonIndex = 0;
  if (SelectPolyLineMarkersData) {
    int32_t kind = pcNone, node = -1;
    SelectPolyLineMarkersData->GetRegimeCursor(X_tr, Y_sample, kind, node);
    PolyLineButtonIndex = kind;
    SelectNode = node;
  }
  if (window_.AddPoliLineToolButton && window_.AddPoliLineToolButton->Down()) PolyLineButtonIndex = 1;
}

void TPolyLineMarkerPropertyFrame::MoveNode(int32_t X_tr, int32_t Y_sample) {
  if (SelectPolyLineMarkersData) SelectPolyLineMarkersData->MoveNode(SelectNode, X_tr, Y_sample);
}

void TPolyLineMarkerPropertyFrame::AddNode(int32_t X_tr, int32_t Y_sample) {
  if (!SelectPolyLineMarkersData) return;
  const int after = SelectNode < 0 ? SelectPolyLineMarkersData->Count() - 1 : SelectNode;
  SelectPolyLineMarkersData->AddMark(after, X_tr, Y_sample);
  SelectNode = after + 1;
  SetSelectDownNode();
}

void TPolyLineMarkerPropertyFrame::DelNode(int32_t /*X_tr*/, int32_t /*Y_sample*/) {
  if (!SelectPolyLineMarkersData) return;
  SelectPolyLineMarkersData->DeleteMark(SelectNode < 0 ? SelectPolyLineMarkersData->Count() - 1 : SelectNode);
}

void TPolyLineMarkerPropertyFrame::MovePolyLine(int32_t dX_tr, int32_t dY_sample) {
  if (!SelectPolyLineMarkersData || (dX_tr == 0 && dY_sample == 0)) return;
  for (int i = 0; i < SelectPolyLineMarkersData->Count(); ++i) {
    TPoint node;
    SelectPolyLineMarkersData->GetPolyLineMarker(i, node);
    SelectPolyLineMarkersData->SetPolyLineMarker(i, TPoint{node.X + dX_tr, node.Y + dY_sample});
  }
}

// ---- Colour items ---------------------------------------------------------------------------------------

void DrawPenColorItem(TCanvas& canvas, const QString& item, TRect rect, bool /*selected*/) {
  canvas.FillRect(rect);
  canvas.Pen()->SetColor(mt::MarkColorOfItem(item));
  canvas.Pen()->SetWidth(7);
  const int middle = (rect.Top + rect.Bottom) / 2;
  canvas.MoveTo(rect.Left + 2, middle);
  canvas.LineTo(rect.Right - 2, middle);
  canvas.Pen()->SetWidth(1);
}

void DrawMarkColorItem(TCanvas& canvas, const QString& item, TRect rect, bool /*selected*/) {
  canvas.FillRect(rect);
  const TColor color = mt::MarkColorOfItem(item);
  canvas.Brush()->SetColor(color);
  const int middleY = (rect.Top + rect.Bottom) / 2;
  const int middleX = (rect.Left + rect.Right) / 2;
  canvas.FillRect(Rect(rect.Left + 1, middleY - 2, rect.Right - 1, middleY + 2));
  canvas.FillRect(Rect(middleX - 2, rect.Top + 6, middleX + 2, rect.Bottom - 6));
}
