#include "tools/imaging/reconstruction_form.h"

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
#include "tools/common_tool.h"
#include "tools/imaging/search_object_overlays.h"
#include "tools/tool_host.h"

#include <chrono>
#include <thread>

RESOURCESTRING(SReconstructionHyperbola, "Hyperbola");
RESOURCESTRING(SReconstructionXY, "X/Y");
RESOURCESTRING(SReconstructionApplay, "Applay");
RESOURCESTRING(SReconstructiondH, "dH");
RESOURCESTRING(SReconstructionDistance, "Distance between transmitt and reception");
RESOURCESTRING(SReconstructionTransSide, "Trans:- before, + after");
RESOURCESTRING(SReconstructionStartSpacing, "Start Trns/Reciv: -/+");
RESOURCESTRING(SReconstructionAngle, "Angle transmitt");
RESOURCESTRING(SReconstructionDecrise, "Decrise on, %");
RESOURCESTRING(SReconstructionIteration, "Iteration");
RESOURCESTRING(SReconstructionSearchHint, "Search Angle");
RESOURCESTRING(SReconstructionTimeAxis, "#0 Time, ns");
RESOURCESTRING(SReconstructionDepthAxis, "Depth, m");

namespace reconstruction_layout {
constexpr int kWidth = 1146;
constexpr int kHeight = 633;
constexpr int kPanel = 217;
constexpr int kEditLeft = 112;
constexpr int kEditWidth = 64;
constexpr int kSearchLeft = kEditLeft + kEditWidth + 4;
// The overlay's hyperbola: offsets -100 .. 100.
constexpr int32_t kOverlaySide = 100;

}  // namespace reconstruction_layout

TLabel* TReconstructionForm::AddPanelLabel(int left, int top, int width, const QString& text) {
  auto* label = new TLabel(this);
  label->SetParent(this);
  label->SetBounds(left, top, width, 13);
  label->SetCaption(text);
  return label;
}

TDigitEdit* TReconstructionForm::AddDigitEdit(int top, const QString& label, long double min, long double max,
                                              long double step, bool decimals, bool sign) {
  using reconstruction_layout::kEditLeft, reconstruction_layout::kEditWidth;
  if (!label.isEmpty()) AddPanelLabel(8, top + 4, kEditLeft - 12, label);
  auto* e = new TDigitEdit(this);
  e->SetParent(this);
  e->SetBounds(kEditLeft, top, kEditWidth, 21);
  e->SetMinVal(min);
  e->SetMaxVal(max);
  e->SetStep(step);
  e->SetAvailableDecimal(decimals);
  e->SetAvailableSign(sign);
  return e;
}

TReconstructionForm::TReconstructionForm(TComponent* AOwner, const TReconstructionLayout& layout)
    : TToolForm(AOwner, [&layout] {
        TToolFormOptions options;
        options.PreviewAlwaysApplied = layout.PreviewAlwaysApplied;
        // Shown, the dialog runs nothing; a change re-runs the dialog's channel (all
        // of them while adding or when Apply changes in every set).
        options.PreviewOnShow = false;
        options.PreviewAllChannels = false;
        return options;
      }()) {
  using reconstruction_layout::kHeight, reconstruction_layout::kPanel,
      reconstruction_layout::kSearchLeft, reconstruction_layout::kWidth;
  constexpr int kRow = RowHeight;
  SetCaption(layout.Caption);
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
  HyperbolaCheckButton->SetCaption(LoadResString(SReconstructionHyperbola));

  const auto search = [this, &layout](int top) -> TBitBtn* {
    if (!layout.ScanControls) return nullptr;
    auto* b = new TBitBtn(this);
    b->SetParent(this);
    b->SetBounds(kSearchLeft, top, 28, 21);
    b->SetCaption(QStringLiteral("?"));
    b->SetHint(LoadResString(SReconstructionSearchHint));
    return b;
  };

  int top = 62;
  const auto labelOr = [](const QString& own, const QString& shared) { return own.isEmpty() ? shared : own; };
  XYProportionalDigitEdit =
      AddDigitEdit(top, labelOr(layout.XYLabel, LoadResString(SReconstructionXY)), 0.1L, 100, 0.1L, true, false);
  XYProportionalDigitEdit->SetValueReal(1);
  SearchX_YBitBtn = search(top);
  ApplayBitBtn = new TBitBtn(this);
  ApplayBitBtn->SetParent(this);
  ApplayBitBtn->SetBounds(40, top, 60, 21);
  ApplayBitBtn->SetCaption(LoadResString(SReconstructionApplay));
  ApplayBitBtn->SetHint(LoadResString(SReconstructionApplay));
  dHDigitEdit = AddDigitEdit(top += kRow, labelOr(layout.dHLabel, LoadResString(SReconstructiondH)), -1000, 1000, 1,
                             false, true);
  dHDigitEdit->SetValueInt(0);
  SearchdHBitBtn = search(top);
  AddPanelLabel(8, top += kRow, 204, LoadResString(SReconstructionDistance));
  if (layout.StartSpacing) {
    DistanceReceptDigitEdit = AddDigitEdit(top += 18, QString(), -10, 10, 0.01L, true, true);
    AddPanelLabel(8, top + 4, 100, LoadResString(SReconstructionStartSpacing))->Font()->SetColor(clBlue);
  } else {
    AddPanelLabel(8, top += 16, 204, LoadResString(SReconstructionTransSide));
    DistanceReceptDigitEdit = AddDigitEdit(top += 18, QString(), -10, 10, 0.01L, true, true);
  }
  DistanceReceptDigitEdit->SetValueReal(0);
  SearchDistRTBitBtn = search(top);
  DistanceRowsTop = top + kRow;
  top += kRow * layout.RowsAfterDistance;
  if (layout.ScanControls) {
    MinAmpDigitEdit = AddDigitEdit(top += kRow, LoadResString(SReconstructionAngle), 1, 1000, 1, false, false);
    MinAmpDigitEdit->SetValueInt(30);
    SearchBitBtn = search(top);
    ZatuhanieDigitEdit = AddDigitEdit(top += kRow, LoadResString(SReconstructionDecrise), 0, 99, 1, false, false);
    ZatuhanieDigitEdit->SetValueInt(75);
    SearchDecriseBitBtn = search(top);
    LEngthHiperbolaDigitEdit =
        AddDigitEdit(top += kRow, LoadResString(SReconstructionIteration), 0, 100, 1, false, false);
    LEngthHiperbolaDigitEdit->SetValueInt(6);
  }
  IterationRowsTop = top + kRow;
  top += kRow * layout.RowsAfterIteration;
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
  ChartMigration->LeftAxis()->SetTitle(LoadResString(SReconstructionTimeAxis));
  ChartMigration->RightAxis()->SetTitle(LoadResString(SReconstructionDepthAxis));
  ChartMigration->TopAxis()->SetVisible(true);
  SeriesNull = AddPictureSeries<TLineSeries>(this, ChartMigration, clBlue);
  HyperbolaSeries = AddPictureSeries<TLineSeries>(this, ChartMigration, clRed);
  SliceSeries = AddPictureSeries<TLineSeries>(this, ChartMigration, clBlack);
  PositionSeries = AddPictureSeries<TLineSeries>(this, ChartMigration, clBlack);
  SeriesDepth = AddPictureSeries<TLineSeries>(this, ChartMigration, clBlack);
  SeriesDepth->SetVertAxis(aRightAxis);
  SizeSeries = AddPictureSeries<TLineSeries>(this, ChartMigration, clBlack);

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
  for (TDigitEdit* e : {MinAmpDigitEdit, ZatuhanieDigitEdit, LEngthHiperbolaDigitEdit})
    if (e) e->OnChange = take(false);
  ExecCheckBox->OnClick = [this](TObject* sender) { ApplyAndCopyPicture(sender); };
  ApplayBitBtn->OnClick = [this](TObject* sender) { ApplyAndCopyPicture(sender); };
  TBitBtn* const scans[] = {SearchX_YBitBtn, SearchdHBitBtn, SearchDistRTBitBtn, SearchBitBtn, SearchDecriseBitBtn};
  for (int32_t k = 0; k < 5; ++k)
    if (scans[k]) scans[k]->OnClick = [this, k](TObject*) { Search(k); };
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
    if (e) KeepEnterIn(e);
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) {
    // Read by a running reconstruction between its iterations.
    if (key == VK_SPACE && Tool) RequestStop();
    FormKeyDown(sender, key, shift);
  };
  OnShow = [this](TObject* sender) {
    FormShow(sender);
    if (Tool) GetBMPfromView(Tool->CurrentNumberView);
    Application->ProcessMessages();
  };
}

TReconstructionForm::~TReconstructionForm() { *alive_ = false; }

void TReconstructionForm::ApplyAndCopyPicture(TObject* Sender) {
  ExecCheckBoxClick(Sender);
  if (!Tool || !Vsbl) return;
  const std::shared_ptr<bool> alive = alive_;
  Tool->Host().WhenRepainted([this, alive] {
    if (*alive && Tool) GetBMPfromView(Tool->CurrentNumberView);
  });
}

void TReconstructionForm::Search(int32_t typePodbor) {
  if (!Tool) return;
  TakeEdits();
  if (Tool->CurrentNumberView == 0) Tool->SaveParamPlugin(0);
  if (adding) {
    Tool->SetAllParamAs(0);
  } else {
    Tool->SaveParamPlugin(Tool->CurrentNumberView);
  }
  const std::shared_ptr<bool> alive = alive_;
  try {
    RunScan(typePodbor);
  } catch (...) {
    // The scan leaves the scanned parameter at its last candidate, an error too.
    if (*alive) TakeEditsAfterScan();
    Application->HandleException(std::current_exception());
    return;
  }
  if (*alive) TakeEditsAfterScan();
}

void TReconstructionForm::PaintHyperbola(double Y, double X) {
  Application->ProcessMessages();
  HyperbolaSeries->Clear();
  if (!Tool) return;
  const T2Dview* view = Tool->GetViewByIndx(Tool->CurrentNumberView);
  if (!view || !view->Settings()) return;
  const TOverlayValues v = OverlayValues(*view);
  // Offset i lies i steps from the apex; the hyperbola's X/Y is per trace.
  TOverlayGeometry g;
  g.NullShift = view->Settings()->GetNullShift();
  g.DepthStep = view->SampleToDepth(1) - view->SampleToDepth(0);
  g.DistanceRecept = v.DistanceRecept;
  g.XYProportional = v.XYProportional * v.Step;
  g.SizeHyperbola = reconstruction_layout::kOverlaySide;
  g.SideLimit = reconstruction_layout::kOverlaySide;
  const TOverlayPoints points = HyperbolaOverlay(g, Y, X);
  for (size_t k = 0; k < points.size(); ++k) {
    const double x = v.Step == 1 ? points[k].first
                                 : X + (static_cast<double>(k) - reconstruction_layout::kOverlaySide) * v.Step;
    HyperbolaSeries->AddXY(x, points[k].second);
  }
}

void TReconstructionForm::RepaintOverlay() {
  if (HyperbolaCheckButton->Checked()) PaintHyperbola(HyperbolaY, HyperbolaX);
}

void TReconstructionForm::PickPoint(double x, double y) {
  HyperbolaX = x;
  HyperbolaY = y;
  RepaintOverlay();
}

void TReconstructionForm::ClearLog() { InfoMemo->Clear(); }

void TReconstructionForm::AddLog(const QString& line, bool focusMemo) {
  if (focusMemo && InfoMemo->CanFocus()) InfoMemo->SetFocus();
  InfoMemo->Append(line);
}

void TReconstructionForm::DrawArc(int32_t y, int32_t halfWidth, const std::function<double(int32_t)>& depth,
                                  const T2Dview& view) {
  HyperbolaSeries->Clear();
  const double centre = static_cast<double>(view.MinNumTraces() + view.MaxNumTraces()) / 2;
  for (int32_t i = -halfWidth; i <= halfWidth; ++i) HyperbolaSeries->AddXY(i + centre, depth(i));
  HyperbolaX = centre;
  HyperbolaY = y;
  ChartMigration->Invalidate();
  Application->ProcessMessages();
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void TReconstructionForm::ShowChannel(int channel) {
  if (!Tool) return;
  Tool->Host().PrepareBmp(channel);
  GetBMPfromView(channel);
}

void TReconstructionForm::ShowReconstructionFields(const TReconstructionFields& fields, long double decriseAmp) {
  XYProportionalDigitEdit->SetValueReal(fields.XYProportional);
  MinAmpDigitEdit->SetValueInt(fields.MinAmpSect);
  LEngthHiperbolaDigitEdit->SetValueInt(fields.SizeHyperbola);
  DistanceReceptDigitEdit->SetValueReal(fields.DistanceRecept);
  dHDigitEdit->SetValueInt(fields.dH);
  ZatuhanieDigitEdit->SetValueInt(RoundToInt32(decriseAmp * 100));
}

void TReconstructionForm::TakeReconstructionFields(TReconstructionFields& fields, long double& decriseAmp) const {
  fields.XYProportional = XYProportionalDigitEdit->ValueReal();
  fields.dH = dHDigitEdit->ValueInt();
  fields.DistanceRecept = DistanceReceptDigitEdit->ValueReal();
  fields.MinAmpSect = MinAmpDigitEdit->ValueInt();
  decriseAmp = ZatuhanieDigitEdit->ValueInt() / 100.0L;
  fields.SizeHyperbola = LEngthHiperbolaDigitEdit->ValueInt();
}
