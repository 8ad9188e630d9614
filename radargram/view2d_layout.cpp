// The radargram window's channel panels: their creation from channel 0's
// designed panel, and their layout in one or two columns, with the depth-slice
// panel, one channel shown alone and the collapsible page control.

#include "radargram/view2d_form.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/component_clone.h"
#include "platform/ui/image.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "platform/ui/tree_view.h"
#include "profiledata/digit_edit.h"

#include <algorithm>

namespace {

constexpr int kTopAxisHeight = 34;
constexpr int kPageWidthSimple = 236;
constexpr int kPageWidthGps = 463;
constexpr int kPageWidth = 270;
constexpr int kPageWidthCollapseAbove = 250;

template <typename T>
T* Named(TComponent& owner, const char* prefix, int index) {
  const QString name = QString::fromLatin1(prefix) + QString::number(index);
  auto* found = dynamic_cast<T*>(owner.FindComponent(name));
  if (!found) throw EComponentError("The copy " + name.toStdString() + " is missing");
  return found;
}

}  // namespace

bool TView2DForm::LayoutSuspended() const {
  return shell_.Layout->isCloseChild() || shell_.Layout->isActivatedClosed();
}

void TView2DForm::ResetDepthLine(int indx) {
  TLineSeries* depth = GetSeriesDepthByIndx(indx);
  TChart* chart = GetChartByIndx(indx);
  if (!depth || !chart) return;
  depth->Clear();
  depth->AddXY(chart->TopAxis()->Minimum(), chart->LeftAxis()->Minimum());
  depth->AddXY(chart->TopAxis()->Maximum(), chart->LeftAxis()->Minimum());
}

bool TView2DForm::CreateChannelControls() {
  try {
    Panel_[0] = Panel;
    Chart_[0] = ChartView;
    HyperbolaSeries_[0] = HyperbolaSeries;
    SeriesNull_[0] = SeriesNull;
    SizeSeries_[0] = SizeSeries;
    SliceSeries_[0] = SliceSeries;
    PositionSeries_[0] = PositionSeries;
    SeriesDepth_[0] = SeriesDepth;
    ObjectsTreeView_[0] = ObjectsTreeView;
    ProgressPanel_[0] = ProgressPanel;
    ProgressImage_[0] = ProgressImage;
    ResetDepthLine(0);

    for (int i = 1; i < kChannelSlots; ++i) {
      const auto s = static_cast<size_t>(i);
      if (!shell_.Layout->flNewCreate() && i >= NewViewChannalCount()) {
        Panel_[s] = nullptr;
        Chart_[s] = nullptr;
        HyperbolaSeries_[s] = SeriesNull_[s] = SizeSeries_[s] = nullptr;
        SliceSeries_[s] = PositionSeries_[s] = SeriesDepth_[s] = nullptr;
        ObjectsTreeView_[s] = nullptr;
        ProgressPanel_[s] = nullptr;
        ProgressImage_[s] = nullptr;
        continue;
      }
      Panel_[s] = dynamic_cast<TPanel*>(CloneComponentWithIndex(i, nullptr, Panel));
      Chart_[s] = Named<TChart>(*this, "ChartView_", i);
      HyperbolaSeries_[s] = Named<TLineSeries>(*this, "HyperbolaSeries_", i);
      SeriesNull_[s] = Named<TLineSeries>(*this, "SeriesNull_", i);
      SizeSeries_[s] = Named<TLineSeries>(*this, "SizeSeries_", i);
      SliceSeries_[s] = Named<TLineSeries>(*this, "SliceSeries_", i);
      PositionSeries_[s] = Named<TLineSeries>(*this, "PositionSeries_", i);
      SeriesDepth_[s] = Named<TLineSeries>(*this, "SeriesDepth_", i);
      ProgressPanel_[s] = Named<TPanel>(*this, "ProgressPanel_", i);
      ProgressImage_[s] = Named<TImage>(*this, "ProgressImage_", i);
      ObjectsTreeView_[s] = dynamic_cast<TTreeView*>(CloneComponentWithIndex(i, nullptr, ObjectsTreeView));
      ResetDepthLine(i);
    }
    CreateSliceControls();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void TView2DForm::CreateSliceControls() {
  Panel_SectOfDeep = dynamic_cast<TPanel*>(CloneComponentWithIndex(99, nullptr, Panel));
  Chart_SectOfDeep = Named<TChart>(*this, "ChartView_", 99);
  TChart& chart = *Chart_SectOfDeep;
  chart.OnBeforeDrawAxes = nullptr;
  chart.LeftAxis()->SetTitle(LoadResString(SChannalAxisTitle));
  chart.LeftAxis()->SetMinMax(0, CountChannalView);
  chart.RightAxis()->SetLabels(false);

  SectOfDeepTrackBar = new TTrackBar(this);
  SectOfDeepTrackBar->SetName(QStringLiteral("SectOfDeepTrackBar"));
  SectOfDeepTrackBar->SetParent(&chart);
  SectOfDeepTrackBar->SetOrientation(trVertical);
  SectOfDeepTrackBar->SetBounds(chart.Width() - 44, 35, 30, std::max(0, chart.Height() - 50));
  SectOfDeepTrackBar->SetRange(0, 1500);
  SectOfDeepTrackBar->SetFrequency(100);
  SectOfDeepTrackBar->SetPageSize(10);
  SectOfDeepTrackBar->SetPosition(50);

  SectOfDeepDigitEdit = new TDigitEdit(this);
  SectOfDeepDigitEdit->SetName(QStringLiteral("SectOfDeepDigitEdit"));
  SectOfDeepDigitEdit->SetParent(&chart);
  SectOfDeepDigitEdit->SetBounds(SectOfDeepTrackBar->Left(), SectOfDeepTrackBar->Top() + SectOfDeepTrackBar->Height(),
                                 40, 20);
  SectOfDeepDigitEdit->SetAvailableDecimal(true);
  SectOfDeepDigitEdit->SetMinVal(SectOfDeepTrackBar->Min() / 100.0L);
  SectOfDeepDigitEdit->SetMaxVal(SectOfDeepTrackBar->Max() / 100.0L);
  SectOfDeepDigitEdit->SetValueReal(SectOfDeepTrackBar->Position() / 100.0L);
  SectOfDeepDigitEdit->SetStep(0.02L);

  AutoDepthOnlineCheck = new TCheckBox(this);
  AutoDepthOnlineCheck->SetName(QStringLiteral("AutoDepthOnlineCheck"));
  AutoDepthOnlineCheck->SetParent(&chart);
  AutoDepthOnlineCheck->SetBounds(chart.Width() - 42, 2, 40, 20);
  AutoDepthOnlineCheck->SetCaption(LoadResString(SAuto));
  AutoDepthOnlineCheck->SetChecked(shell_.Layout->AutoDepthOnline());
  BindSliceControls();
}

void TView2DForm::PlacePanel(TPanel& panel, const TPanelPlace& place) {
  if (place.collapsed) {
    if (panel.Height() != 1) panel.SetTag(panel.Height());
    panel.SetHeight(1);
    return;
  }
  panel.SetTag(panel.Height());
  panel.SetHeight(place.height);
}

void TView2DForm::ShowTopAxis(int indx, bool visible) {
  if (TChart* chart = GetChartByIndx(indx)) chart->TopAxis()->SetVisible(visible);
  if (indx >= 0 && indx < kChannelSlots) AxisHeight_[static_cast<size_t>(indx)] = visible ? kTopAxisHeight : 0;
}

void TView2DForm::ClearBackImage(int indx) {
  if (TChart* chart = GetChartByIndx(indx)) chart->ClearBackImage();
}

void TView2DForm::StackInColumn(TPanel& column, TPanel& panel) {
  if (panel.Parent() != &column) panel.SetParent(&column);
  panel.SetAlign(alBottom);
  column.Repaint();
  panel.SetAlign(alTop);
}

void TView2DForm::ResizePanelsChart() {
  if (LayoutSuspended()) return;
  CountChannalVisible = std::max(1, CountChannalVisible);
  CountChannalView = std::clamp(CountChannalView, 1, kChannelSlots);
  if (CountChannalView == 1) arChannalVisible[0] = true;

  TChannelLayoutInput input;
  input.columnHeight = Panel5->Height();
  input.slotCount = CountChannalView;
  for (int i = 0; i < CountChannalView; ++i) {
    const auto s = static_cast<size_t>(i);
    input.shown[s] = arChannalVisible[s] && Panel_[s] && Chart_[s];
  }
  input.twoColumns = ViewTo2Col;
  input.slice = ViewSectOfDeep && Panel_SectOfDeep;
  input.alone = NumChartSizeToWindow;
  const TChannelLayout layout = LayoutChannelPanels(input);

  const int columns = Panel6->ClientWidth() - Panel2->Width();
  if (!ViewTo2Col)
    Panel5_1->SetWidth(1);
  else if (input.alone < 0)
    Panel5_1->SetWidth(columns / 2);
  else
    Panel5_1->SetWidth(layout.aloneColumn == 1 ? std::max(1, columns - 1) : 1);

  for (int i = 0; i < CountChannalView; ++i) {
    const auto s = static_cast<size_t>(i);
    if (!Panel_[s] || !Chart_[s]) continue;
    const TPanelPlace& place = layout.channels[s];
    PlacePanel(*Panel_[s], place);
    ShowTopAxis(i, place.topAxis);
    ClearBackImage(i);
    if (shell_.Layout->isActivatedClosed()) return;
  }

  if (Panel_SectOfDeep) {
    PlacePanel(*Panel_SectOfDeep, layout.slice);
    if (input.slice && input.alone < 0) {
      Panel_SectOfDeep->SetAlign(alTop);
      Chart_SectOfDeep->SetColor(clBtnFace);
      Chart_SectOfDeep->TopAxis()->SetVisible(layout.slice.topAxis);
    }
  }

  for (int i = CountChannalView; i < kChannelSlots; ++i) {
    const auto s = static_cast<size_t>(i);
    if (!Panel_[s]) continue;
    Panel_[s]->SetHeight(0);
    Panel_[s]->SetAlign(alBottom);
    ClearBackImage(i);
  }

  for (int i = 0; i < kChannelSlots; ++i) {
    ResetDepthLine(i);
    if (TLineSeries* depth = GetSeriesDepthByIndx(i)) depth->SetActive(ViewSectOfDeep);
  }
  Panel5->Repaint();
}

void TView2DForm::ReCreateViewInterface() {
  if (LayoutSuspended()) return;
  View2ColSpeedButton->SetCaption(LoadResString(ViewTo2Col ? SOneColumn : STwoColumns));
  GetCountChannalVisible();
  const bool slice = ViewSectOfDeep && Panel_SectOfDeep;
  const int inner = Panel6->ClientHeight() - Panel4->Height() - kTopAxisHeight;
  const int rows = ChannelRows(CountChannalVisible, slice, ViewTo2Col);
  const int a = inner / rows;
  const auto height = [](int h) { return std::max(0, h); };

  for (int i = 0; i < kChannelSlots; ++i) {
    ResetDepthLine(i);
    if (TLineSeries* depth = GetSeriesDepthByIndx(i)) depth->SetActive(ViewSectOfDeep);
  }
  if (Panel_SectOfDeep) Panel_SectOfDeep->SetHeight(slice ? height(a - 2) : 0);
  for (int i = 0; i < kChannelSlots; ++i)
    if (TPanel* panel = Panel_[static_cast<size_t>(i)])
      panel->SetHeight(arChannalVisible[static_cast<size_t>(i)] ? height(a - 2) : 0);
  Panel5_1->SetWidth((Panel6->ClientWidth() - Panel2->Width()) / 2);

  const auto place = [&](int i, int h, bool axis) {
    Panel_[static_cast<size_t>(i)]->SetHeight(height(h));
    ShowTopAxis(i, axis);
  };
  if (CountChannalVisible == 1) {
    for (int i = 0; i < kChannelSlots; ++i)
      if (Panel_[static_cast<size_t>(i)] && arChannalVisible[static_cast<size_t>(i)]) place(i, a + 32, true);
    if (slice) {
      if (ViewTo2Col) {
        StackInColumn(*Panel5_1, *Panel_SectOfDeep);
        Panel_SectOfDeep->SetHeight(height(a + 32));
        Chart_SectOfDeep->TopAxis()->SetVisible(true);
      } else {
        StackInColumn(*Panel5, *Panel_SectOfDeep);
        Panel_SectOfDeep->SetHeight(height(a - 2));
        Chart_SectOfDeep->TopAxis()->SetVisible(false);
      }
    }
  } else if (ViewTo2Col) {
    int position = 0;
    for (int i = 0; i < kChannelSlots; ++i) {
      TPanel* panel = Panel_[static_cast<size_t>(i)];
      if (!panel || !arChannalVisible[static_cast<size_t>(i)]) continue;
      const bool opensColumn = position == 0 || position == rows;
      place(i, opensColumn ? a + 32 : a - 2, opensColumn);
      StackInColumn(position < rows ? *Panel5 : *Panel5_1, *panel);
      ++position;
    }
    if (slice) {
      // The slice comes after the shown channels: it opens the second column
      // when they fill the first.
      const bool opensColumn = CountChannalVisible == rows;
      Panel_SectOfDeep->SetHeight(height(opensColumn ? a + 32 : a - 2));
      Chart_SectOfDeep->TopAxis()->SetVisible(opensColumn);
      StackInColumn(*Panel5_1, *Panel_SectOfDeep);
    }
  } else {
    const int b = inner / (CountChannalVisible + (slice ? 1 : 0)) - 2;
    bool first = true;
    for (int i = 0; i < kChannelSlots; ++i) {
      TPanel* panel = Panel_[static_cast<size_t>(i)];
      if (!panel || !arChannalVisible[static_cast<size_t>(i)]) continue;
      place(i, first ? b + kTopAxisHeight : b, first);
      first = false;
      StackInColumn(*Panel5, *panel);
    }
    if (slice) {
      StackInColumn(*Panel5, *Panel_SectOfDeep);
      Panel_SectOfDeep->SetHeight(height(b));
    }
    Panel5_1->SetWidth(1);
  }

  Panel5_1->SetAlign(alLeft);
  Panel6->Repaint();
  Panel5_1->SetAlign(alRight);
  Panel2->Repaint();
  WasPaint = false;
  FormResize(nullptr);
}

void TView2DForm::ChartResizeAndVisible() {
  try {
    ResizePanelsChart();
  } catch (const std::exception&) {
  }
}

void TView2DForm::ChartViewDblClick(TObject* Sender) {
  const int indx = GetIndxByChart(dynamic_cast<TChart*>(Sender));
  if (indx < 0) return;
  const TBitmap* bitmap = Bmp_[static_cast<size_t>(indx)].get();
  if (NumChartSizeToWindow == -1 && bitmap && !bitmap->Empty())
    NumChartSizeToWindow = indx;
  else
    NumChartSizeToWindow = -1;
  ChartResizeAndVisible();
  FilValueList(NumChartSizeToWindow < 0 ? NumActiveView : NumChartSizeToWindow);
  Panel5->Repaint();
}

void TView2DForm::View2ColSpeedButtonClick(TObject* /*Sender*/) {
  ViewTo2Col = View2ColSpeedButton->Down();
  ReCreateViewInterface();
  WasPaint = false;
}

void TView2DForm::FormResize(TObject* Sender) {
  IRadargramLayoutShell& layout = *shell_.Layout;
  if (layout.StartResize() || resizing_) return;
  resizing_ = true;
  // The panels are laid out again and resizing is allowed again however the
  // loop below ends.
  struct TFinish {
    TView2DForm& form;
    ~TFinish() {
      if (form.Chart_[0] && !form.shell_.Layout->isCloseChild()) form.ResizePanelsChart();
      form.shell_.Layout->SetStartResize(false);
      form.resizing_ = false;
    }
  } finish{*this};

  if (WindowState() == wsMaximized)
    SetBounds(Left(), Top(), layout.ChildAreaWidth(), std::max(0, layout.ChildAreaHeight() - 2));
  for (int i = 0; i < CountChannalView; ++i) {
    if (Sender && !layout.SlotHasRadar(i)) break;
    if (!Bmp_[static_cast<size_t>(i)] || !Chart_[static_cast<size_t>(i)]) continue;
    layout.SetStartResize(true);
    Panel5->SetAlign(alClient);
    ClearBackImage(i);
  }
}

void TView2DForm::ButtonPanelClick(TObject* /*Sender*/) {
  const bool simple = shell_.Layout->SimpleMode();
  if (simple) LeftPageControl->SetWidth(kPageWidthSimple);
  if (LeftPageControl->Width() <= kPageWidthCollapseAbove) {
    const int width = simple                                       ? kPageWidthSimple
                      : LeftPageControl->ActivePage() == GPSTabSheet ? kPageWidthGps
                                                                     : kPageWidth;
    LeftPageControl->SetWidth(width);
    ButtonPanel->SetCaption(LoadResString(SCollapsePages));
  } else {
    LeftPageControl->SetWidth(0);
    ButtonPanel->SetCaption(LoadResString(SExpandPages));
  }
  ResizePanelsChart();
}
