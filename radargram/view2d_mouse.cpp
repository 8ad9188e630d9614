// The mouse on the radargram window's charts: cursor shapes, the read-out in the
// main window, selecting, dragging, placing and deleting markers, the hand tool,
// the wiggle trace and the clicks an open tool dialog hears of. The arithmetic is
// mouse_arithmetic.h.

#include "radargram/view2d_form.h"

#include "platform/rtl/rounding.h"
#include "platform/ui/buttons.h"
#include "platform/ui/page_control.h"
#include "platform/ui/chart.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/menus.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/panels.h"
#include "platform/ui/scroll_bar.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/markers_data.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/setting_data.h"
#include "radargram/form_controls.h"
#include "radargram/marker_frames.h"
#include "radargram/marker_texts.h"
#include "radargram/mouse_arithmetic.h"
#include "radargram/tool_messages.h"

#include <algorithm>

RESOURCESTRING(SHandTool, "Hand Tool");
RESOURCESTRING(SWiggle, "Wiggle");
RESOURCESTRING(SDeletePolyLine, "Delete PolyLine ?");

namespace ma = mouse_arithmetic;

namespace {

// Cursor ids of the main window's cursor table.
enum TChartCursor : TCursor {
  curHandOpen = 6,
  curHandClose = 7,
  curCrossPoint = 8,
  curPlus = 10,
  curDepth = 40,
  curMove = 44,
  curOverObject = 109,
  curOverSurface = 110,
  curOverPolySegment = 111,
  curOverPolyNode = 112,
  curDeleteNode = 113,
  curDelete = 114,
  curDeleteObject = 115,
  curDeleteSurface = 116,
  curDeletePoly = 117,
  curAddObject = 118,
  curAddSurface = 119,
  curAddPoly = 120,
  curAddPolyInsert = 121,
};

constexpr int kHandWiggleGroup = 5;

TTypeMarker KindOf(ma::TMarkerHitKind kind) {
  switch (kind) {
    case ma::hkObject: return tmObject;
    case ma::hkSurface: return tmSurf;
    case ma::hkPolyLine: return tmPolyLine;
    default: return tmNoObject;
  }
}

// The node of root whose marker has the group; nullptr when none.
TTreeNode* NodeOfGroup(TTreeView* tree, int root, int32_t group) {
  if (!tree || root >= tree->Items()->TopCount()) return nullptr;
  TTreeNode* parent = tree->Items()->Top(root);
  for (int i = 0; i < parent->Count(); ++i)
    if (const auto* marker = static_cast<const TMarker*>(parent->Item(i)->Data()); marker && marker->GetGroup() == group)
      return parent->Item(i);
  return nullptr;
}

}  // namespace

void TView2DForm::BuildMouseControls() {
  HandSpeedButton = NewSpeedButton(this, OperationsTabSheet, "HandSpeedButton", LoadResString(SHandTool), 8, 232, 98);
  WiggleSpeedButton = NewSpeedButton(this, OperationsTabSheet, "WiggleSpeedButton", LoadResString(SWiggle), 110, 232, 98);
  for (TSpeedButton* button : {HandSpeedButton, WiggleSpeedButton}) {
    button->SetGroupIndex(kHandWiggleGroup);
    button->SetAllowAllUp(true);
  }
  HandSpeedButton->OnClick = [this](TObject* sender) { HandSpeedButtonClick(sender); };
  WiggleSpeedButton->OnClick = [this](TObject* sender) { WiggleSpeedButtonClick(sender); };
  ChartView->OnMouseMove = [this](TObject* s, TShiftState shift, int x, int y) { ChartViewMouseMove(s, shift, x, y); };
  ChartView->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState shift, int x, int y) {
    ChartViewMouseDown(s, b, shift, x, y);
  };
  ChartView->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState shift, int x, int y) {
    ChartViewMouseUp(s, b, shift, x, y);
  };
}

// ---- Chart values ---------------------------------------------------------------------------

bool TView2DForm::ChartValues(int indx, int X, int Y, double& XValue, double& YValue) const {
  TChart* chart = GetChartByIndx(indx);
  if (!chart) return false;
  XValue = chart->TopAxis()->CalcPosPoint(X);
  YValue = chart->LeftAxis()->CalcPosPoint(Y);
  return true;
}

bool TView2DForm::DistanceModeOf(int indx) const {
  const T2Dview* store = GetView2DByIndx(indx);
  if (!store || !DistanceMenu || !DistanceMenu->Checked()) return false;
  const TSettingData& settings = *store->Settings();
  return ma::IsDistanceTopoType(settings.GetTopoType()) && settings.GetMeasureStep() > 0;
}

bool TView2DForm::CursorToTraceSample(int indx, double XValue, double YValue, int& trace, int& sample) const {
  const T2Dview* store = GetView2DByIndx(indx);
  if (indx < 0 || !store) return false;
  const TSettingData& settings = *store->Settings();
  const ma::TTracePlacement placement{DistanceModeOf(indx), deviceX_, settings.GetMeasureStep(), settings.GetWasFlip()};
  trace = ma::CursorTrace(XValue, placement);
  sample = settings.TimeToSample(YValue);
  return true;
}

// ---- Move ---------------------------------------------------------------------------------------

void TView2DForm::ChartViewMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) {
  auto* chart = dynamic_cast<TChart*>(Sender);
  const int indx = GetIndxByChart(chart);
  T2Dview* store = GetView2DByIndx(indx);
  if (indx < 0 || !store) return;
  SetProportionalCoefic(store);
  const bool left = Shift.Contains(ssLeft);

  if (!Dragging) {
    TCursor cursor = curCrossPoint;
    if (HandSpeedButton->Down())
      cursor = curHandOpen;
    else if (AddsurfaceMarkerToolButton->Down() || AddObjectMarkerToolButton->Down())
      cursor = curPlus;
    else if (DepthCheckButton->Checked())
      cursor = curDepth;
    chart->SetCursor(cursor);
  } else if (!handStepRunning_) {
    handStepRunning_ = true;
    if (Panel4->Visible())
      HorScrollBar->SetPosition(static_cast<int>(ma::HandScrollPosition(HorScrollBar->Position(), X - DragX, HorScrollBar->Max())));
    if (Panel2->Width() > 1)
      VertScrollBar->SetPosition(
          static_cast<int>(ma::HandScrollPosition(VertScrollBar->Position(), Y - DragY, VertScrollBar->Max())));
    PaintAllScreen();
    DragX = X;
    DragY = Y;
    handStepRunning_ = false;
  }

  double XValue = 0, YValue = 0;
  ChartValues(indx, X, Y, XValue, YValue);
  const TSettingData& settings = *store->Settings();
  const TRect plot = chart->ChartRect();
  ma::TReadoutInput in;
  in.inPlot = X > plot.Left && X < plot.Right && Y > plot.Top && Y < plot.Bottom;
  in.xValue = XValue;
  in.yValue = YValue;
  in.placement = {DistanceModeOf(indx), deviceX_, settings.GetMeasureStep(), settings.GetWasFlip()};
  in.distanceTopo = ma::IsDistanceTopoType(settings.GetTopoType());
  in.proportionalCoefic = ProportionalCoefic;
  in.speedLight = settings.GetSpeedLight();
  in.zeroTime = ZeroTimeOf(indx, settings.GetNullShift());
  const ma::TReadout readout = ma::Readout(in);
  if (in.inPlot) {
    PosX = static_cast<double>(readout.posX);
    if (left) PosXforWeegle = PosX;
  }

  int trace = 0, sample = 0;
  CursorToTraceSample(indx, XValue, YValue, trace, sample);
  ma::TMarkerHit hit = ma::MarkerAtCursor(settings, trace, sample);
  TTypeMarker kind = KindOf(hit.kind);
  const bool draggingItem = left && MoveObj != tmNoObject && MoveIndxProfObj >= 0 && MoveIndxSelObj >= 0;
  if (draggingItem) kind = MoveObj;

  auto* polyFrame = ShownFrame<TPolyLineMarkerPropertyFrame>();
  const TPolyLineMarkersData* hitPoly =
      kind == tmPolyLine && settings.PolyLineMarkersArray ? settings.PolyLineMarkersArray->GetPolyLineMarkersArray(hit.index)
                                                          : nullptr;
  switch (TpCursorAction) {
    case 0:
      if (kind == tmObject) {
        chart->SetCursor(curOverObject);
        if (auto* frame = ShownFrame<TObjectMarkerPropertyFrame>(); frame && draggingItem) {
          frame->MoveNode(trace, sample);
          chart->SetCursor(curMove);
        }
      } else if (kind == tmSurf) {
        chart->SetCursor(curOverSurface);
        if (auto* frame = ShownFrame<TSurfaceMarkerPropertyFrame>(); frame && draggingItem) {
          frame->MoveNode(trace, sample);
          chart->SetCursor(curMove);
        }
      } else if (kind == tmPolyLine) {
        chart->SetCursor(hit.buttonIndex == pcNode ? curOverPolyNode : curOverPolySegment);
        if (polyFrame && isSelectPoly && left && hit.buttonIndex == pcSegment) {
          const int32_t dx = trace - X_tr_Move, dy = sample - Y_sample_Move;
          X_tr_Move = trace;
          Y_sample_Move = sample;
          polyFrame->MovePolyLine(dx, dy);
          chart->SetCursor(curMove);
          PaintToScreen(indx);
          polyFrame->UpdateParameters(polyFrame->SelectPolyLineMarkersData);
          return;
        }
      }
      break;
    case 1: chart->SetCursor(curAddObject); break;
    case 3: chart->SetCursor(curAddSurface); break;
    case 2:
      chart->SetCursor(kind == tmObject ? curDeleteObject
                       : kind == tmSurf ? curDeleteSurface
                       : kind == tmPolyLine ? curDeletePoly
                                            : curDelete);
      if (polyFrame) {
        polyFrame->GetRegimeCursor(trace, sample);
        if (polyFrame->SelectDownNode >= 0) {
          polyFrame->SelectNode = -1;
          polyFrame->SetSelectDownNode();
          polyFrame->UpdateParameters(polyFrame->SelectPolyLineMarkersData);
        }
        chart->SetCursor(polyFrame->PolyLineButtonIndex == pcNode      ? curDeleteNode
                         : polyFrame->PolyLineButtonIndex == pcSegment ? curDeletePoly
                                                                       : curDelete);
      }
      break;
    case 4:
      chart->SetCursor(polyFrame && hitPoly && hitPoly == polyFrame->SelectPolyLineMarkersData &&
                               hit.buttonIndex == pcSegment
                           ? curAddPolyInsert
                           : curAddPoly);
      break;
    default: break;
  }
  X_tr_Move = trace;
  Y_sample_Move = sample;

  if (polyFrame && !DelMarkerToolButton->Down()) {
    polyFrame->GetRegimeCursor(trace, sample);
    if (polyFrame->PolyLineButtonIndex == pcNone && polyFrame->SelectDownNode >= 0) {
      polyFrame->PolyLineButtonIndex = pcNode;
      polyFrame->SelectNode = polyFrame->SelectDownNode;
    }
    if (left && polyFrame->PolyLineButtonIndex == pcNode) {
      polyFrame->MoveNode(trace, sample);
      PaintToScreen(NumActiveView);
    }
    polyFrame->UpdateParameters(polyFrame->SelectPolyLineMarkersData);
  }

  if (WiggleSpeedButton->Down() && left) DrowSlice(indx);
  if (shell_.Readout) shell_.Readout->DispInfo(readout.time, readout.depth, readout.trace, readout.distance);
}

// ---- Down and up ------------------------------------------------------------------------------

void TView2DForm::ChartViewMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
  auto* chart = dynamic_cast<TChart*>(Sender);
  const int indx = GetIndxByChart(chart);
  T2Dview* store = GetView2DByIndx(indx);
  if (indx < 0 || !store) return;
  // Keys go to the charts again, not to the tools tree or the zoom list.
  if ((ToolsTreeView && ToolsTreeView->Focused()) || (ZoomComboBox && ZoomComboBox->Focused())) {
    if (chart->CanFocus()) chart->SetFocus();
  }
  if (HandSpeedButton->Down()) {
    Dragging = true;
    chart->SetCursor(curHandClose);
    DragX = X;
    DragY = Y;
  }
  double XValue = 0, YValue = 0;
  ChartValues(indx, X, Y, XValue, YValue);
  HyperbolaX = XValue;
  HyperbolaY = YValue;
  HyperbolaMouseDown(indx, YValue);
  TSettingData& settings = *store->Settings();
  const bool flipped = settings.GetWasFlip();
  const bool masterDistance = DistanceModeOf(MasterChannal);

  if (VisibleToolWnd && CurTool) {
    const int64_t t = ma::ToolTrace(XValue, masterDistance, settings.GetStartDeviceXShift(), settings.GetMeasureStep(),
                                    flipped);
    if (t >= store->MinNumTraces() && t < store->MaxNumTraces()) {
      if (indx != NumActiveView)
        SendMessage(CurTool->GetHandle(), WM_TOOLVIEWCHANGED, static_cast<WPARAM>(indx),
                    static_cast<LPARAM>(NumActiveView));
      SendMessage(CurTool->GetHandle(), WM_TOOLTRACECHANGED, static_cast<WPARAM>(t),
                  static_cast<LPARAM>(ma::ToolTime(YValue)));
    }
  }

  int trace = 0, sample = 0;
  CursorToTraceSample(indx, XValue, YValue, trace, sample);
  const ma::TMarkerHit hit = ma::MarkerAtCursor(settings, trace, sample);
  if (TpCursorAction == 0 && hit.kind != ma::hkNone) {
    MoveObj = KindOf(hit.kind);
    MoveIndxProfObj = indx;
    MoveIndxSelObj = hit.index;
    if (hit.kind == ma::hkObject) ShowObjMarkerFrame(indx, hit.index);
    if (hit.kind == ma::hkSurface) ShowSurfMarkerFrame(indx, hit.index);
    if (hit.kind == ma::hkPolyLine) {
      auto* frame = ShownFrame<TPolyLineMarkerPropertyFrame>();
      const TPolyLineMarkersData* poly = settings.PolyLineMarkersArray->GetPolyLineMarkersArray(hit.index);
      if (!frame || frame->SelectPolyLineMarkersData != poly) {
        ShowPolyLineFrame(indx, hit.index);
        isSelectPoly = true;
      } else if (hit.buttonIndex == pcNode) {
        frame->SelectNode = hit.node;
        frame->SetSelectDownNode();
        frame->UpdateParameters(frame->SelectPolyLineMarkersData);
      }
    }
  }
  if (TpCursorAction == 4) AddPolyLineNodeAt(indx, hit, trace, sample);

  const bool recording = shell_.Recording->RunButtonDown() && Shift.Contains(ssCtrl);
  const bool inRangeDistance = [&] {
    const long double pos = ma::CursorPosX(XValue, {masterDistance, deviceX_, settings.GetMeasureStep(), flipped});
    const int64_t t = flipped ? -Round(pos) : Round(pos);
    return t >= store->MinNumTraces() && t <= store->MaxNumTraces();
  }();
  const long double plainTrace = flipped ? -static_cast<long double>(XValue) : static_cast<long double>(XValue);
  const bool inRangePlain = plainTrace >= store->MinNumTraces() && plainTrace <= store->MaxNumTraces();
  const long double metres =
      XValue + (flipped ? -1.0L : 1.0L) * static_cast<long double>(settings.GetStartXShift()) / 100000.0L;

  if (AddsurfaceMarkerToolButton->Down() || (recording && Button == mbRight)) {
    TSurfeMarkersData* marks = settings.SurfaceMarkersArray;
    const bool inRange = masterDistance ? inRangeDistance : inRangePlain;
    if (marks && inRange) {
      const QString comment = QStringLiteral("S") + QString::number(marks->Count());
      const int32_t group = masterDistance ? marks->AddInMeters(0, comment, metres)
                                           : marks->Add(0, RoundToInt32(plainTrace), comment);
      marks->Sort();
      PrepareObjectsTreeAll();
      PaintToScreen(indx);
      if (TTreeNode* node = NodeOfGroup(GetObjectsTreeViewByIndx(indx), 0, group)) {
        GetObjectsTreeViewByIndx(indx)->SetSelected(node);
        ObjectsTreeViewChange(GetObjectsTreeViewByIndx(indx), node);
      }
      GPSarrayToMetres();
    }
  }

  const bool topo = TopoCorrSpeedButton->Down();
  if ((AddObjectMarkerToolButton->Down() || (recording && Button == mbLeft)) && !topo) {
    TObjectMarkersData* marks = settings.ObjectMarkersArray;
    const bool inRange = masterDistance ? inRangeDistance : inRangePlain;
    if (marks && inRange) {
      const QString comment = QStringLiteral("M") + QString::number(marks->Count());
      const TColor color = marks->GetDefaultColor();
      const int32_t group =
          masterDistance ? marks->AddinMerters(0, color, comment, settings.TimeToDepth(YValue), metres)
                         : marks->Add(0, color, comment, settings.TimeToSample(YValue), RoundToInt32(plainTrace));
      marks->Sort();
      PrepareObjectsTreeAll();
      PaintToScreen(indx);
      if (TTreeNode* node = NodeOfGroup(GetObjectsTreeViewByIndx(indx), 1, group)) {
        GetObjectsTreeViewByIndx(indx)->SetSelected(node);
        ObjectsTreeViewChange(GetObjectsTreeViewByIndx(indx), node);
      }
    }
  }

  if (DelMarkerToolButton->Down()) {
    bool deleted = false;
    if (hit.kind == ma::hkObject && settings.ObjectMarkersArray) {
      settings.ObjectMarkersArray->DeleteMark(hit.index);
      settings.ObjectMarkersArray->Sort();
      deleted = true;
    } else if (hit.kind == ma::hkSurface && settings.SurfaceMarkersArray) {
      settings.SurfaceMarkersArray->DeleteMark(hit.index);
      settings.SurfaceMarkersArray->Sort();
      deleted = true;
    }
    if (deleted) {
      PrepareObjectsTreeAll();
      PaintToScreen(indx);
    }
  }
  if (ShownFrame<TPolyLineMarkerPropertyFrame>() || DelMarkerToolButton->Down()) DeletePolyLineAt(indx, trace, sample);

  if (WiggleSpeedButton->Down()) {
    PosXforWeegle = PosX;
    DrowSlice(indx);
  }
}

void TView2DForm::AddPolyLineNodeAt(int indx, const ma::TMarkerHit& hit, int trace, int sample) {
  T2Dview* store = GetView2DByIndx(indx);
  TPolyLineMarkersArray* polylines = store ? store->Settings()->PolyLineMarkersArray : nullptr;
  if (!polylines) return;
  auto* frame = ShownFrame<TPolyLineMarkerPropertyFrame>();
  const TPolyLineMarkersData* hitPoly =
      hit.kind == ma::hkPolyLine ? polylines->GetPolyLineMarkersArray(hit.index) : nullptr;
  const bool onShown = frame && hitPoly && hitPoly == frame->SelectPolyLineMarkersData;
  if (onShown && hit.buttonIndex == pcNode) {
    frame->SelectNode = hit.node;
    frame->SetSelectDownNode();
    MoveObj = tmPolyLine;
    MoveIndxProfObj = indx;
    MoveIndxSelObj = hit.index;
    frame->UpdateParameters(frame->SelectPolyLineMarkersData);
    return;
  }
  if (onShown && hit.buttonIndex == pcSegment) {
    frame->SelectNode = hit.node;
    frame->AddNode(trace, sample);
    frame->UpdateParameters(frame->SelectPolyLineMarkersData);
    PaintToScreen(indx);
    return;
  }
  if (hit.kind != ma::hkNone && hit.kind != ma::hkPolyLine) return;
  if (hit.kind == ma::hkNone && !frame) {
    const int item = cbMarkColor->ItemIndex();
    const TColor color = item >= 0 ? marker_texts::MarkColorOfItem(cbMarkColor->Items().at(item)) : clRed;
    polylines->AddPolyLine(color, QString::number(polylines->Count() + 1));
    PrepareObjectsTreeAll();
    ShowPolyLineFrame(indx, polylines->Count() - 1);
    frame = ShownFrame<TPolyLineMarkerPropertyFrame>();
    if (frame) frame->PolyLineButtonIndex = pcNode;
  }
  if (!frame || !frame->SelectPolyLineMarkersData || polylines->Count() == 0) return;
  frame->SelectNode = frame->SelectPolyLineMarkersData->Count() - 1;
  frame->AddNode(trace, sample);
  frame->UpdateParameters(frame->SelectPolyLineMarkersData);
  PaintToScreen(indx);
}

void TView2DForm::DeletePolyLineAt(int indx, int trace, int sample) {
  T2Dview* store = GetView2DByIndx(indx);
  TPolyLineMarkersArray* polylines = store ? store->Settings()->PolyLineMarkersArray : nullptr;
  if (!polylines) return;
  auto* frame = ShownFrame<TPolyLineMarkerPropertyFrame>();
  const bool deleting = DelMarkerToolButton->Down();
  if (deleting && frame && frame->SelectDownNode >= 0) {
    frame->SelectNode = -1;
    frame->SetSelectDownNode();
    frame->UpdateParameters(frame->SelectPolyLineMarkersData);
    PaintAllScreen();
  }
  // The shown polyline first, then all of the channel's.
  TPolyLineMarkersData* poly = nullptr;
  int32_t kind = pcNone, node = -1, index = -1;
  if (frame && frame->SelectPolyLineMarkersData) {
    frame->SelectPolyLineMarkersData->GetRegimeCursor(trace, sample, kind, node);
    if (kind != pcNone) poly = frame->SelectPolyLineMarkersData;
    for (int i = 0; poly && i < polylines->Count(); ++i)
      if (polylines->GetPolyLineMarkersArray(i) == poly) index = i;
  }
  if (!poly && (deleting || !frame)) {
    polylines->GetRegimeCursorForAll(trace, sample, kind, node, index);
    poly = polylines->GetPolyLineMarkersArray(index);
  }
  if (!deleting || !poly || index < 0) return;
  const auto deletePolyline = [&] {
    polylines->DeletePolyLineData(index);
    // The frame would edit a polyline that is no longer the channel's.
    if (frame && frame->SelectPolyLineMarkersData == poly) FreeMarkerFrame();
    PaintAllScreen();
    PrepareObjectsTreeAll();
  };
  if (kind == pcNode) {
    if (poly->Count() > 2 ||
        MessageDlg(LoadResString(SDeletePolyLine), mtConfirmation, mbYesNo, 0) != mrYes) {
      poly->DeleteMark(node);
      if (frame && frame->SelectPolyLineMarkersData == poly) frame->UpdateParameters(poly);
    } else {
      deletePolyline();
    }
  } else if (kind == pcSegment) {
    if (MessageDlg(LoadResString(SDeletePolyLine), mtConfirmation, mbYesNo, 0) == mrYes) deletePolyline();
  }
  PaintToScreen(NumActiveView);
}

void TView2DForm::ChartViewMouseUp(TObject* Sender, TMouseButton /*Button*/, TShiftState /*Shift*/, int /*X*/,
                                   int /*Y*/) {
  if (Dragging) {
    Dragging = false;
    if (auto* chart = dynamic_cast<TChart*>(Sender)) chart->SetCursor(HandSpeedButton->Down() ? curHandOpen : crDefault);
  }
  if (LeftPageControl->ActivePageIndex() == 0) {
    if (HyperbolaCheckButton->Checked() && SpeedDigitEdit && SpeedDigitEdit->CanFocus()) SpeedDigitEdit->SetFocus();
    if (DepthCheckButton->Checked() && DepthDigitEdit->CanFocus()) DepthDigitEdit->SetFocus();
  }
  // A marker dragged to a new trace also moves on the GPS track.
  if (MoveObj != tmNoObject) AddMarkersAtGPSTrek();
  MoveObj = tmNoObject;
  MoveIndxProfObj = -1;
  MoveIndxSelObj = -1;
}

// ---- Wiggle and hand ------------------------------------------------------------------------------

bool TView2DForm::WiggleShown() const { return WiggleSpeedButton && WiggleSpeedButton->Down(); }

void TView2DForm::RedrawWiggleTrace(int indx) {
  if (indx < 0 || indx >= kChannelSlots) return;
  PosXforWeegle = PosXforWeegle_[static_cast<size_t>(indx)];
  DrowSlice(indx);
}

void TView2DForm::DrowSlice(int NumRadar) {
  if (NumRadar < 0 || NumRadar >= kChannelSlots) return;
  PosXforWeegle_[static_cast<size_t>(NumRadar)] = PosXforWeegle;
  const T2Dview* store = GetView2DByIndx(NumRadar);
  if (!WiggleShown() || !store || !store->HoldsTraces()) return;
  if (TChart* chart = GetChartByIndx(NumRadar)) chart->SetCursor(curCrossPoint);
  if (ma::WiggleTraceIndex(PosXforWeegle, store->MinNumTraces(), store->MaxNumTraces(),
                           store->Settings()->GetWasFlip()) < 0) {
    PosX = 0;
    return;
  }
  PaintTrace(NumRadar);
}

void TView2DForm::PaintTrace(int indx) {
  TLineSeries* series = GetSliceSeriesByIndx(indx);
  TChart* chart = GetChartByIndx(indx);
  const T2Dview* store = GetView2DByIndx(indx);
  if (!series || !chart || !store) return;
  series->Clear();
  series->SetColorEachPoint(true);
  series->SetXValuesOrder(loNone);
  series->SetYValuesOrder(loAscending);
  chart->BottomAxis()->SetAutomatic(false);
  chart->LeftAxis()->SetAutomatic(false);
  const TSettingData& settings = *store->Settings();
  const int32_t longTrace = settings.GetLongTrace();
  const int64_t k = ma::WiggleTraceIndex(PosXforWeegle, store->MinNumTraces(), store->MaxNumTraces(), settings.GetWasFlip());
  if (k < 0 || longTrace <= 0 || (k + 1) * longTrace > store->dezoData.Samples()) return;
  ma::TWiggleScale scale;
  scale.distance = DistanceMenu->Checked();
  scale.measureStep = settings.GetMeasureStep();
  scale.deviceX = deviceX_;
  scale.flipped = settings.GetWasFlip();
  scale.proportionalCoefic = ProportionalCoefic;
  scale.spanWidth = settings.GetSpanWidth();
  scale.overStep = settings.GetOverStep();
  const std::vector<ma::TWigglePoint> curve =
      ma::WiggleCurve(store->dezoData.Data() + k * longTrace, longTrace, PosXforWeegle, scale);
  for (const ma::TWigglePoint& p : curve) series->AddXY(p.x, p.y, QString(), clRed);
}

void TView2DForm::WiggleSpeedButtonClick(TObject* /*Sender*/) {
  SetNoActiveAddMarkers();
  if (!WasPaint) Paint2D(0);
  HyperbolaCheckButton->SetChecked(false);
  for (TLineSeries* series : HyperbolaSeries_)
    if (series) series->Clear();
  if (!WiggleSpeedButton->Down())
    for (TLineSeries* series : SliceSeries_)
      if (series) series->Clear();
}

void TView2DForm::HandSpeedButtonClick(TObject* /*Sender*/) {
  SetNoActiveAddMarkers();
  for (TChart* chart : Chart_)
    if (chart) chart->SetCursor(HandSpeedButton->Down() ? curHandOpen : crDefault);
  if (!WiggleSpeedButton->Down()) {
    SetPosXforWeegleAll(0);
    for (TLineSeries* series : SliceSeries_)
      if (series) series->Clear();
  }
}
