#include "tools/imaging/real_view_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/rtl/rounding.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/memo.h"
#include "platform/ui/panels.h"
#include "platform/ui/scroll_box.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/channel_chart_picture.h"
#include "tools/imaging/real_view_engine.h"
#include "tools/imaging/real_view_tool.h"
#include "tools/imaging/search_object_overlays.h"
#include "tools/tool_host.h"

#include <algorithm>
#include <chrono>
#include <thread>

RESOURCESTRING(SRealViewFormCaption, "Migration");
RESOURCESTRING(SRealViewHyperbola, "Hyperbola");
RESOURCESTRING(SRealViewXY, "X/Y");
RESOURCESTRING(SRealViewApplay, "Applay");
RESOURCESTRING(SRealViewdH, "dH");
RESOURCESTRING(SRealViewDistance, "Distance between transmitt and reception");
RESOURCESTRING(SRealViewTransSide, "Trans:- before, + after");
RESOURCESTRING(SRealViewAngle, "Angle transmitt");
RESOURCESTRING(SRealViewDecrise, "Decrise on, %");
RESOURCESTRING(SRealViewIteration, "Iteration");
RESOURCESTRING(SRealViewSearchHint, "Search Angle");
RESOURCESTRING(SRealViewTimeAxis, "#0 Time, ns");
RESOURCESTRING(SRealViewDepthAxis, "Depth, m");

namespace real_view_layout {
constexpr int kWidth = 1146;
constexpr int kHeight = 633;
constexpr int kPanel = 217;
constexpr int kRow = 26;
constexpr int kEditLeft = 112;
constexpr int kEditWidth = 64;
constexpr int kSearchLeft = kEditLeft + kEditWidth + 4;
// The overlay's hyperbola: offsets -100 .. 100.
constexpr int32_t kOverlaySide = 100;

TLineSeries* AddSeries(TComponent* owner, TChart* chart, TColor color) {
  auto* series = new TLineSeries(owner);
  series->SetParentChart(chart);
  series->SetSeriesColor(color);
  series->SetHorizAxis(aTopAxis);
  series->SetVertAxis(aLeftAxis);
  return series;
}

TLabel* AddLabel(TWinControl* parent, int left, int top, int width, const QString& text) {
  auto* label = new TLabel(parent);
  label->SetParent(parent);
  label->SetBounds(left, top, width, 13);
  label->SetCaption(text);
  return label;
}
}  // namespace real_view_layout

TRealViewForm::TRealViewForm(TComponent* AOwner) : TToolForm(AOwner, [] {
  TToolFormOptions options;
  // Shown, the dialog runs nothing; a change re-runs the dialog's channel (all of
  // them while adding or when Apply changes in every set).
  options.PreviewOnShow = false;
  options.PreviewAllChannels = false;
  return options;
}()) {
  using real_view_layout::AddLabel, real_view_layout::AddSeries, real_view_layout::kEditLeft,
      real_view_layout::kEditWidth, real_view_layout::kHeight, real_view_layout::kPanel, real_view_layout::kRow,
      real_view_layout::kSearchLeft, real_view_layout::kWidth;
  SetCaption(LoadResString(SRealViewFormCaption));
  SetClientWidth(kWidth);
  SetClientHeight(kHeight);

  auto* left = new TPanel(this);
  left->SetParent(this);
  left->SetBounds(0, 0, kPanel, kHeight);
  EditCaption->SetBounds(8, 8, 200, 21);
  ExecCheckBox->SetBounds(8, 36, 90, 17);
  HyperbolaCheckButton = new TCheckBox(this);
  HyperbolaCheckButton->SetParent(this);
  HyperbolaCheckButton->SetBounds(104, 36, 100, 17);
  HyperbolaCheckButton->SetCaption(LoadResString(SRealViewHyperbola));

  const auto edit = [this](int top, const QString& label, long double min, long double max, long double step,
                           bool decimals, bool sign) {
    AddLabel(this, 8, top + 4, kEditLeft - 12, label);
    auto* e = new TDigitEdit(this);
    e->SetParent(this);
    e->SetBounds(kEditLeft, top, kEditWidth, 21);
    e->SetMinVal(min);
    e->SetMaxVal(max);
    e->SetStep(step);
    e->SetAvailableDecimal(decimals);
    e->SetAvailableSign(sign);
    return e;
  };
  const auto search = [this](int top) {
    auto* b = new TBitBtn(this);
    b->SetParent(this);
    b->SetBounds(kSearchLeft, top, 28, 21);
    b->SetCaption(QStringLiteral("?"));
    b->SetHint(LoadResString(SRealViewSearchHint));
    return b;
  };

  int top = 62;
  XYProportionalDigitEdit = edit(top, LoadResString(SRealViewXY), 0.1L, 100, 0.1L, true, false);
  XYProportionalDigitEdit->SetValueReal(1);
  SearchX_YBitBtn = search(top);
  ApplayBitBtn = new TBitBtn(this);
  ApplayBitBtn->SetParent(this);
  ApplayBitBtn->SetBounds(40, top, 60, 21);
  ApplayBitBtn->SetCaption(LoadResString(SRealViewApplay));
  ApplayBitBtn->SetHint(LoadResString(SRealViewApplay));
  dHDigitEdit = edit(top += kRow, LoadResString(SRealViewdH), -1000, 1000, 1, false, true);
  dHDigitEdit->SetValueInt(0);
  SearchdHBitBtn = search(top);
  AddLabel(this, 8, top += kRow, 204, LoadResString(SRealViewDistance));
  AddLabel(this, 8, top += 16, 204, LoadResString(SRealViewTransSide));
  DistanceReceptDigitEdit = edit(top += 18, QString(), -10, 10, 0.01L, true, true);
  DistanceReceptDigitEdit->SetValueReal(0);
  SearchDistRTBitBtn = search(top);
  MinAmpDigitEdit = edit(top += kRow, LoadResString(SRealViewAngle), 1, 1000, 1, false, false);
  MinAmpDigitEdit->SetValueInt(30);
  SearchBitBtn = search(top);
  ZatuhanieDigitEdit = edit(top += kRow, LoadResString(SRealViewDecrise), 0, 99, 1, false, false);
  ZatuhanieDigitEdit->SetValueInt(75);
  SearchDecriseBitBtn = search(top);
  LEngthHiperbolaDigitEdit =
      edit(top += kRow, LoadResString(SRealViewIteration), 0, 100, 1, false, false);
  LEngthHiperbolaDigitEdit->SetValueInt(6);
  InfoMemo = new TMemo(this);
  InfoMemo->SetParent(this);
  top += kRow + 4;
  InfoMemo->SetBounds(8, top, 204, kHeight - top - 42);
  InfoMemo->SetReadOnly(true);
  InfoMemo->SetScrollBars(ssVertical);
  OKBitBtn->SetBounds(52, kHeight - 33, 75, 25);
  CancelBitBtn->SetBounds(133, kHeight - 33, 75, 25);

  auto* right = new TPanel(this);
  right->SetParent(this);
  right->SetBounds(kPanel, 0, kWidth - kPanel, kHeight);
  auto* scroll = new TScrollBox(this);
  scroll->SetParent(right);
  scroll->SetBounds(0, 0, kWidth - kPanel, kHeight);
  PanelChartMigration = new TPanel(this);
  PanelChartMigration->SetParent(scroll);
  PanelChartMigration->SetBounds(0, 0, kWidth - kPanel, kHeight);
  ChartMigration = new TChart(this);
  ChartMigration->SetParent(PanelChartMigration);
  ChartMigration->SetBounds(0, 0, kWidth - kPanel, kHeight);
  ChartMigration->SetBackImageMode(pbmCustom);
  ChartMigration->LeftAxis()->SetInverted(true);
  ChartMigration->LeftAxis()->SetTitle(LoadResString(SRealViewTimeAxis));
  ChartMigration->RightAxis()->SetTitle(LoadResString(SRealViewDepthAxis));
  ChartMigration->TopAxis()->SetVisible(true);
  SeriesNull = AddSeries(this, ChartMigration, clBlue);
  HyperbolaSeries = AddSeries(this, ChartMigration, clRed);
  SliceSeries = AddSeries(this, ChartMigration, clBlack);
  PositionSeries = AddSeries(this, ChartMigration, clBlack);
  SeriesDepth = AddSeries(this, ChartMigration, clBlack);
  SeriesDepth->SetVertAxis(aRightAxis);
  SizeSeries = AddSeries(this, ChartMigration, clBlack);

  // ---- Events ------------------------------------------------------------------
  // The edits take their values as their text changes; nothing is stored in a set
  // and nothing re-runs until Apply.
  const auto take = [this](bool overlay) {
    return [this, overlay](TObject*) {
      if (!Tool || !Vsbl) return;
      TakeEdits();
      if (overlay) RepaintOverlay();
    };
  };
  XYProportionalDigitEdit->OnChange = take(true);
  dHDigitEdit->OnChange = take(true);
  DistanceReceptDigitEdit->OnChange = take(true);
  MinAmpDigitEdit->OnChange = take(false);
  ZatuhanieDigitEdit->OnChange = take(false);
  LEngthHiperbolaDigitEdit->OnChange = take(false);
  ExecCheckBox->OnClick = [this](TObject* sender) { ApplyAndCopyPicture(sender); };
  ApplayBitBtn->OnClick = [this](TObject* sender) { ApplyAndCopyPicture(sender); };
  SearchX_YBitBtn->OnClick = [this](TObject*) { Search(0); };
  SearchdHBitBtn->OnClick = [this](TObject*) { Search(1); };
  SearchDistRTBitBtn->OnClick = [this](TObject*) { Search(2); };
  SearchBitBtn->OnClick = [this](TObject*) { Search(3); };
  SearchDecriseBitBtn->OnClick = [this](TObject*) { Search(4); };
  HyperbolaCheckButton->OnClick = [this](TObject*) {
    if (!Tool) return;
    if (!HyperbolaCheckButton->Checked()) {
      HyperbolaSeries->Clear();
      return;
    }
    SliceSeries->Clear();
    HyperbolaY = (ChartMigration->LeftAxis()->Minimum() + ChartMigration->LeftAxis()->Maximum()) / 2;
    if (const T2Dview* view = Tool->GetViewByIndx(Tool->CurrentNumberView))
      HyperbolaX = static_cast<double>(view->MinNumTraces() + view->MaxNumTraces()) / 2;
    PaintHyperbola(HyperbolaY, HyperbolaX);
  };
  ChartMigration->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int x, int y) {
    PickPoint(SizeSeries->GetHorizAxis()->CalcPosPoint(x), SizeSeries->GetVertAxis()->CalcPosPoint(y));
  };
  // Enter in these edits finishes the entry; elsewhere (the decrease included) it
  // is OK.
  for (TDigitEdit* e : {XYProportionalDigitEdit, dHDigitEdit, DistanceReceptDigitEdit, MinAmpDigitEdit,
                        LEngthHiperbolaDigitEdit})
    KeepEnterIn(e);
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) {
    // Read by a running reconstruction between its iterations.
    if (key == VK_SPACE && Tool) RealViewTool().BreakExecute = true;
    FormKeyDown(sender, key, shift);
  };
  OnShow = [this](TObject* sender) {
    FormShow(sender);
    if (Tool) GetBMPfromView(Tool->CurrentNumberView);
    Application->ProcessMessages();
  };
}

TRealViewForm::~TRealViewForm() { *alive_ = false; }

TRealViewTool& TRealViewForm::RealViewTool() const { return static_cast<TRealViewTool&>(*Tool); }

void TRealViewForm::DisplayToolParam() {
  const TRealViewTool& t = RealViewTool();
  XYProportionalDigitEdit->SetValueReal(t.XYProportional);
  MinAmpDigitEdit->SetValueInt(t.MinAmpSect);
  LEngthHiperbolaDigitEdit->SetValueInt(t.SizeHyperbola);
  DistanceReceptDigitEdit->SetValueReal(t.DistanceRecept);
  dHDigitEdit->SetValueInt(t.dH);
  ZatuhanieDigitEdit->SetValueInt(RoundToInt32(t.DecriseAmp * 100));
}

void TRealViewForm::TakeEdits() {
  if (!Tool) return;
  TRealViewTool& t = RealViewTool();
  t.XYProportional = XYProportionalDigitEdit->ValueReal();
  t.dH = dHDigitEdit->ValueInt();
  t.DistanceRecept = DistanceReceptDigitEdit->ValueReal();
  t.MinAmpSect = MinAmpDigitEdit->ValueInt();
  t.DecriseAmp = ZatuhanieDigitEdit->ValueInt() / 100.0L;
  t.SizeHyperbola = LEngthHiperbolaDigitEdit->ValueInt();
}

void TRealViewForm::ApplyAndCopyPicture(TObject* Sender) {
  ExecCheckBoxClick(Sender);
  if (!Tool || !Vsbl) return;
  const std::shared_ptr<bool> alive = alive_;
  Tool->Host().WhenRepainted([this, alive] {
    if (*alive && Tool) GetBMPfromView(Tool->CurrentNumberView);
  });
}

void TRealViewForm::Search(int32_t typePodbor) {
  if (!Tool) return;
  TRealViewTool& t = RealViewTool();
  TakeEdits();
  t.TypePodbor = typePodbor;
  if (t.CurrentNumberView == 0) t.SaveParamPlugin(0);
  if (adding) {
    t.SetAllParamAs(0);
  } else {
    t.SaveParamPlugin(t.CurrentNumberView);
  }
  const std::shared_ptr<bool> alive = alive_;
  try {
    t.SearchXYProportional();
  } catch (...) {
    // The scan leaves the scanned parameter at its last candidate, an error too.
    if (*alive) TakeEdits();
    Application->HandleException(std::current_exception());
    return;
  }
  if (*alive) TakeEdits();
}

void TRealViewForm::GetBMPfromView(int k) {
  if (!Tool) return;
  if (!ShowChannelOnChart(*Tool, k, *PanelChartMigration, *ChartMigration, *SeriesNull)) return;
  if (!HyperbolaCheckButton->Checked()) HyperbolaSeries->Clear();
}

void TRealViewForm::PaintHyperbola(double Y, double X) {
  Application->ProcessMessages();
  HyperbolaSeries->Clear();
  if (!Tool) return;
  const T2Dview* view = Tool->GetViewByIndx(Tool->CurrentNumberView);
  if (!view || !view->Settings()) return;
  const TRealViewTool& t = RealViewTool();
  TOverlayGeometry g;
  g.NullShift = view->Settings()->GetNullShift();
  g.DepthStep = view->SampleToDepth(1) - view->SampleToDepth(0);
  g.DistanceRecept = t.DistanceRecept;
  g.XYProportional = t.XYProportional;
  g.SizeHyperbola = real_view_layout::kOverlaySide;
  g.SideLimit = real_view_layout::kOverlaySide;
  for (const auto& [x, y] : HyperbolaOverlay(g, Y, X)) HyperbolaSeries->AddXY(x, y);
}

void TRealViewForm::RepaintOverlay() {
  if (HyperbolaCheckButton->Checked()) PaintHyperbola(HyperbolaY, HyperbolaX);
}

void TRealViewForm::PickPoint(double x, double y) {
  HyperbolaX = x;
  HyperbolaY = y;
  RepaintOverlay();
}

void TRealViewForm::ClearLog() { InfoMemo->Clear(); }

void TRealViewForm::AddLog(const QString& line, bool focusMemo) {
  if (focusMemo && InfoMemo->CanFocus()) InfoMemo->SetFocus();
  InfoMemo->Append(line);
}

void TRealViewForm::ShowArc(int32_t y, const TRealViewArc& arc, const T2Dview& view) {
  if (!view.Settings() || y <= view.Settings()->GetNullShift()) return;
  HyperbolaSeries->Clear();
  const double centre = static_cast<double>(view.MinNumTraces() + view.MaxNumTraces()) / 2;
  for (int32_t i = -arc.dXArc; i <= arc.dXArc; ++i)
    HyperbolaSeries->AddXY(i + centre, static_cast<double>(arc.DepthAt(i)));
  HyperbolaX = centre;
  HyperbolaY = y;
  ChartMigration->Invalidate();
  Application->ProcessMessages();
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void TRealViewForm::ShowChannel(int channel) {
  if (!Tool) return;
  Tool->Host().PrepareBmp(channel);
  GetBMPfromView(channel);
}
