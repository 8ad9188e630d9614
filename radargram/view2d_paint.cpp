// The radargram window's display pipeline: recomputing a channel through the
// tool chain, the palette bitmap, the zoom bitmap and painting into the charts.
// The arithmetic is in display_pipeline.h, the chain's scheduling in
// chain_runner.h; this file applies them to the window's channelSlots and controls.

#include "radargram/view2d_form.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/chart.h"
#include "platform/ui/check_list_box.h"
#include "platform/ui/image.h"
#include "platform/ui/image_list.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/scroll_bar.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/markers_data.h"
#include "profiledata/pal_maker.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/setting_data.h"
#include "radargram/marker_glyphs.h"
#include "radargram/tool_messages.h"
#include "raster/bitmap32.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace dp = display_pipeline;
namespace tc = topo_correction;

namespace {

constexpr float kDefaultKoefArrMax = 0.75f;
// Post-processing list items: the base image and the three overlays.
constexpr int kPostProcItems = 4;

TColor32 Color32Of(TColor color) {
  const TColor rgb = ColorToRGB(color);
  const uint32_t r = rgb & 0xFFu, g = (rgb >> 8) & 0xFFu, b = (rgb >> 16) & 0xFFu;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// Traces of a channel that its working data really holds.
int64_t DataTraces(const T2Dview& store) {
  const int32_t longTrace = store.Settings()->GetLongTrace();
  if (longTrace <= 0) return 0;
  const int64_t bytes = std::min(store.SizeDat(), store.dezoData.Bytes());
  return std::max<int64_t>(0, std::min(store.NumTraces(), bytes / 4 / longTrace));
}

}  // namespace

bool& IntersectionPostBmp() {
  static bool value = false;
  return value;
}

bool& PostProcBaseValid() {
  // False only while a channel's display data are being rebuilt.
  static bool value = true;
  return value;
}

// ---- The chain as the runner sees it ------------------------------------------------------

class TWindowChainView final : public IChainRunView {
public:
  explicit TWindowChainView(TView2DForm& form) : form_(form) {}
  int NodeCount() const override { return form_.ToolsTreeView->Items()->TopCount(); }
  IChainTool* ToolAt(int index) const override {
    return index >= 0 && index < NodeCount() ? TView2DForm::ToolOfNode(form_.ToolsTreeView->Items()->Top(index)) : nullptr;
  }
  void ShowProgress(int channel) override {
    form_.AllProgressPanelOff();
    TPanel* panel = form_.GetProgressPanelByIndx(channel);
    TChart* chart = form_.GetChartByIndx(channel);
    if (!panel || !chart) return;
    const TRect area = chart->ChartRect();
    panel->SetBounds(chart->Width() / 2 + area.Left - panel->Width() / 2, area.Bottom / 2, panel->Width(), panel->Height());
    if (TImage* image = form_.GetProgressImageByIndx(channel)) image->SetWidth(1);
    panel->Show();
  }
  int ProgressPanelWidth(int channel) const override {
    const TPanel* panel = form_.GetProgressPanelByIndx(channel);
    return panel ? panel->Width() : 0;
  }
  void SetProgressImageWidth(int channel, int width) override {
    if (TImage* image = form_.GetProgressImageByIndx(channel)) image->SetWidth(std::max(width, 1));
  }
  void HideProgress() override { form_.AllProgressPanelOff(); }
  void SetNodeState(int index, int state) override {
    if (index >= 0 && index < NodeCount()) form_.ToolsTreeView->Items()->Top(index)->SetStateIndex(state);
  }
  void ProcessMessages() override { Application->ProcessMessages(); }
  void ClearBreak() override { form_.Br = false; }
  void ReportToolError(const QString& caption, const QString& error) override {
    MessageDlg(Format(LoadResString(SToolRunFailed), {caption, error}), mtError, {mbOK}, 0);
  }

private:
  TView2DForm& form_;
};

// ---- Controls -------------------------------------------------------------------------------

void TView2DForm::BuildPipelineControls() {
  ToolsTreeView = new TTreeView(this);
  ToolsTreeView->SetName(QStringLiteral("ToolsTreeView"));
  ToolsTreeView->SetParent(ToolsTabSheet);
  ToolsTreeView->SetAlign(alClient);
  ToolsTreeView->OnChange = [this](TObject*, TTreeNode* node) { CurrentItem = node; };
  ToolsTreeView->SetDragMode(dmAutomatic);
  ToolsTreeView->KeysBeforeShortCuts = {VK_INSERT, VK_DELETE, VK_F1};
  ToolsTreeView->OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
    if (key == 'P') EditCurrentTool();
  };
  ToolsTreeView->OnDblClick = [this](TObject*) {
    if (ToolUnabled) EditCurrentTool();
  };
  ToolStateImages = new TImageList(this);
  ToolStateImages->SetSize(16, 16);
  for (int i = 0; i < 2; ++i) {
    TBitmap picture;
    picture.SetPixelFormat(pf32bit);
    picture.SetSize(16, 16);
    TCanvas* canvas = picture.Canvas();
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(Rect(0, 0, 16, 16));
    if (i == 1) {
      // The running tool: a green arrow.
      canvas->Brush()->SetColor(clGreen);
      canvas->Pen()->SetColor(clGreen);
      canvas->Polygon({TPoint{4, 2}, TPoint{12, 8}, TPoint{4, 14}});
    }
    ToolStateImages->AddMasked(picture, clWhite);
  }
  ToolsTreeView->SetStateImages(ToolStateImages);
  BuildToolChainControls();

  PostProcCheckListBox = new TCheckListBox(this);
  PostProcCheckListBox->SetName(QStringLiteral("PostProcCheckListBox"));
  PostProcCheckListBox->SetParent(PostProcessTabSheet);
  PostProcCheckListBox->SetBounds(4, 4, 200, 80);
  PostProcCheckListBox->SetItems({LoadResString(SPostProcBase), LoadResString(SPostProcComparator),
                                  LoadResString(SPostProcHilbert), LoadResString(SPostProcFrequency)});
  PostProcCheckListBox->SetChecked(0, true);

  HorScrollBar = new TScrollBar(this);
  HorScrollBar->SetName(QStringLiteral("HorScrollBar"));
  HorScrollBar->SetParent(Panel4);
  HorScrollBar->SetAlign(alClient);
  VertScrollBar = new TScrollBar(this);
  VertScrollBar->SetName(QStringLiteral("VertScrollBar"));
  VertScrollBar->SetKind(sbVertical);
  VertScrollBar->SetParent(Panel2);
  VertScrollBar->SetAlign(alClient);

  SetMessageHandler(WM_TOOLSRUN, [this](TMessage& message) { WMToolsRun(message.WParam); });
}

void TView2DForm::BuildZoomBitmaps() {
  for (int i = 0; i < CountChannalView; ++i)
    if (Chart_[static_cast<size_t>(i)] && Bmp_[static_cast<size_t>(i)]) MakeZoomBmp(i);
}

// ---- Chain nodes ----------------------------------------------------------------------------

TTreeNode* TView2DForm::AppendToolNode(std::unique_ptr<IChainTool> tool) {
  IChainTool* raw = tool.get();
  tools_.push_back(std::move(tool));
  TTreeNode* node = ToolsTreeView->Items()->AddChildObject(nullptr, raw ? raw->GetCaption() : QString(), raw);
  PrepareBmpForNode(node);
  return node;
}

IChainTool* TView2DForm::ToolOfNode(const TTreeNode* node) { return node ? static_cast<IChainTool*>(node->Data()) : nullptr; }

int TView2DForm::IndexOfNode(const TTreeNode* node) const {
  const TTreeNodes* items = ToolsTreeView->Items();
  for (int i = 0; i < items->TopCount(); ++i)
    if (items->Top(i) == node) return i;
  return -1;
}

void TView2DForm::PaintTreeNode() {
  IChainTool* tool = ToolOfNode(CurrentItem);
  if (!tool) return;
  CurrentItem->SetText(tool->GetCaption());
  if (const auto icons = nodeIcons_.find(CurrentItem); icons != nodeIcons_.end()) {
    const int shown = tool->GetExecuting() ? icons->second.first : icons->second.second;
    CurrentItem->SetImageIndex(shown);
    CurrentItem->SetSelectedIndex(shown);
  }
}

// ---- Recomputation ----------------------------------------------------------------------------

void TView2DForm::Paint2D(int n) {
  Br = false;
  TChainRunner& runner = TChainRunner::Instance();
  if (!wait2D) {
    // Another recomputation of this window runs: ask again once it has ended.
    runner.Defer(this, -1, n, [this](int index) { Paint2D(index); });
    return;
  }
  TChainRunner::TBatchScope batch;
  wait2D = false;
  struct TWaitGuard {
    bool& wait;
    ~TWaitGuard() { wait = true; }
  } guard{wait2D};
  for (int channel = 0; channel < kChannelSlots; ++channel) Paint2D_Radar(n, channel);
  Br = false;
  CreateBMPSectOfDeep();
}

void TView2DForm::Paint2D_Radar(int Index, int NumRadar) {
  if (!GetChartByIndx(NumRadar)) return;
  TChainRunner& runner = TChainRunner::Instance();
  if (runner.Running()) {
    runner.Defer(this, NumRadar, Index, [this, NumRadar](int index) { Paint2D_Radar(index, NumRadar); });
    return;
  }
  TChainRunner::TBatchScope batch;
  TChainRunner::TRunScope running;
  RecomputeChannel(Index, NumRadar);
}

void TView2DForm::RecomputeChannel(int Index, int NumRadar) {
  T2Dview* store = View2D_[static_cast<size_t>(NumRadar)];
  if (!store || store->SizeDat() == 0 || store->RawData.Empty()) return;
  TSettingData& settings = *store->Settings();
  TWindowChainView view(*this);

  bool first = false;
  int start = 0;
  if (Index > 0) {
    const TChainStart found = FindChainStart(view, Index, NumRadar);
    if (found.RestartFromTop) {
      Index = 0;
    } else {
      first = true;
      start = found.Node;
    }
  }
  if (Index <= 0) {
    try {
      if (store->dezoData.Bytes() != store->RawData.Bytes()) store->dezoData.Allocate(store->RawData.Bytes());
    } catch (const std::bad_alloc&) {
      view.ReportToolError(QString(), QStringLiteral("Out of memory"));
      return;
    }
    const int64_t samples = std::min(store->SizeDat(), store->RawData.Bytes()) / 4;
    dp::DivideByStacking(store->RawData.Data(), store->dezoData.Data(), samples,
                         dp::StackingDivisors(settings, settings.GetLongTrace()));
    first = false;
    start = 0;
  }

  ToolUnabled = false;
  bool finished = true;
  if (!shell_.Recording->RunButtonDown() && view.NodeCount() > 0 && start >= 0)
    finished = RunChain(view, start, first, NumRadar);
  FirstPaintAfterOpen = false;
  ToolUnabled = true;
  // A failed tool was reported; the picture keeps what it showed.
  if (!finished) return;
  if (WiggleShown()) RedrawWiggleTrace(NumRadar);

  if (topo_correction::PathApplies(settings)) {
    CreateTopoCorrectedBmp(NumRadar);
    return;
  }
  RedrawZeroLine(NumRadar);
  MarkOverlaysForRecompute();
  // A run that asked for fresh base images for all its channels keeps asking.
  const bool baseValid = PostProcBaseValid();
  PostProcBaseValid() = false;
  GetMinMaxLevelPostProcComparator();
  PrepareBmp(NumRadar);
  // With the overlays shown the zoom bitmap has run them already (the display
  // bitmap then holds their composition).
  if (const TBitmap* display = Bmp_[static_cast<size_t>(NumRadar)].get(); display && display->PixelFormat() == pf8bit)
    RunPostProcessRadar(NumRadar, -1);
  PostProcBaseValid() = baseValid;
}

void TView2DForm::WMToolsRun(WPARAM wParam) {
  if (wParam == ToolsRunAllChannels) {
    const int index = FirstPaintAfterOpen ? 0 : std::max(IndexOfNode(CurrentItem), 0);
    TChainRunner& runner = TChainRunner::Instance();
    if (runner.Running()) {
      runner.Defer(this, -1, index, [this](int i) { Paint2D(i); });
    } else if (CrossThreadSendPending()) {
      // Another thread waits for this one: serve it first (sent calls go before
      // posted messages) and take the request up again afterwards.
      PostMessage(Handle(), WM_TOOLSRUN, ToolsRunAllChannels, 0);
      return;
    } else {
      Paint2D(index);
    }
    PaintTreeNode();
  } else if (wParam == ToolsRunRepaintNode) {
    PaintTreeNode();
  } else if (wParam < static_cast<WPARAM>(kChannelSlots)) {
    Paint2D_Radar(std::max(IndexOfNode(CurrentItem), 0), static_cast<int>(wParam));
  }
}

// ---- Normalisation and the display bitmap ----------------------------------------------------

int32_t TView2DForm::GetMaxDezoData(const T2Dview* View2D) const {
  if (!View2D || View2D->dezoData.Empty()) return 1;
  const float koef = shell_.Display ? shell_.Display->KoefArrMax() : kDefaultKoefArrMax;
  return dp::DisplayMaximum(View2D->dezoData.Data(), DataTraces(*View2D), View2D->Settings()->GetLongTrace(), koef);
}

void TView2DForm::PrepareBmp(int indx) {
  T2Dview* store = GetView2DByIndx(indx);
  TBitmap* bmp = store ? Bmp_[static_cast<size_t>(indx)].get() : nullptr;
  if (!store || !GetChartByIndx(indx) || !bmp || store->SizeDat() <= 0) return;
  const int32_t longTrace = store->Settings()->GetLongTrace();
  const int64_t traces = DataTraces(*store);
  if (longTrace <= 0 || traces <= 0) return;
  bmp->SetPixelFormat(pf8bit);
  bmp->SetSize(static_cast<int>(traces), longTrace);
  // The picture keeps its indices and takes the palette's colours.
  bmp->SetPalette(PalMaker1->GetPal());
  const long double k = 127.0L / GetMaxDezoData(store);
  store->Settings()->NrmCoef = k;
  std::vector<uint8_t*> rows(static_cast<size_t>(longTrace));
  for (int s = 0; s < longTrace; ++s) rows[static_cast<size_t>(s)] = bmp->ScanLine(s);
  dp::MapToPaletteIndices(store->dezoData.Data(), traces, longTrace, static_cast<double>(k), rows);
  MakeZoomBmp(indx);
}

// ---- Zoom ----------------------------------------------------------------------------------------

long double TView2DForm::GetStartXShiftSpan(int index) const {
  std::array<dp::TShiftSlot, kChannelSlots> channelSlots{};
  for (int i = 0; i < kChannelSlots; ++i) {
    const T2Dview* store = View2D_[static_cast<size_t>(i)];
    if (!store) continue;
    channelSlots[static_cast<size_t>(i)] = {true, i < NewViewChannalCount() && store->NumTraces() >= 1,
                                     store->Settings()->GetStartXShift()};
  }
  return dp::StartXShiftSpan(channelSlots, index);
}

namespace {
long double MasterStep(const TView2DForm& form) {
  const T2Dview* master = form.GetView2DByIndx(form.MasterChannal);
  return master ? master->Settings()->GetMeasureStep() : 0;
}
}  // namespace

bool TView2DForm::MakeZoomBmp(int indx) {
  if (shell_.Layout->isCloseChild()) return true;
  if (NumChartSizeToWindow >= 0 && indx != NumChartSizeToWindow) return true;
  T2Dview* store = GetView2DByIndx(indx);
  TChart* chart = GetChartByIndx(indx);
  TBitmap* bmp = store ? Bmp_[static_cast<size_t>(indx)].get() : nullptr;
  if (!store || !chart || !bmp) return true;

  if (ShowPostProc && isPostProcCheckOn()) {
    // While the display data are being rebuilt the overlays start again from
    // the new plain image; otherwise their layers are up to date.
    if (!PostProcBaseValid()) RunPostProcessRadar(indx, -1);
    if (TBitmap32* composed = GetComposedPostProcByIndx(indx); composed && !composed->Empty()) composed->AssignTo(bmp);
  }
  SetProportionalCoefic(store);
  const long double ztm = ZoomToMasterDistance_[static_cast<size_t>(indx)];
  const dp::TZoomSize size = dp::ZoomedSize(bmp->Width(), bmp->Height(), ProportionalCoefic, ZoomFactor, ztm);
  const long double t = 1000.0L / std::max(ZoomFactor, 1);
  const long double step = MasterStep(*this);
  const int64_t v = Round(static_cast<long double>(dp::MetresToTraces(GetStartXShiftSpan(-1), step)) *
                          ProportionalCoefic * t * ztm);
  const int64_t x = Round(ProportionalCoefic * t * static_cast<long double>(dp::MetresToTraces(GetStartXShiftSpan(indx), step)) * ztm);
  const int64_t width = v + size.Width;
  if (v < 0 || x < 0 || width > std::numeric_limits<int>::max() || width * size.Height > MaxZoomBitmapPixels) return false;

  const bool flipped = store->Settings()->GetWasFlip();
  const dp::TZoomPlacement place = dp::PlaceZoomImage(size.Width, static_cast<int>(x), static_cast<int>(v), flipped);
  try {
    // A zoom bitmap of the same size is drawn over; every pixel gets written.
    TBitmap32* target = BmpAfterZoom_[static_cast<size_t>(indx)].get();
    std::unique_ptr<TBitmap32> fresh;
    if (!target || target->Width() != place.Width || target->Height() != size.Height) {
      fresh = std::make_unique<TBitmap32>();
      fresh->SetSize(place.Width, size.Height);
      if (place.Width > 0 && size.Height > 0 && fresh->Empty()) throw std::bad_alloc();
      target = fresh.get();
    }
    if (!zoomSource_) zoomSource_ = std::make_unique<TBitmap32>();
    dp::DrawZoomBitmap(*bmp, size, place, flipped, Color32Of(ChartView->Color()), *target, *zoomSource_);
    if (fresh) BmpAfterZoom_[static_cast<size_t>(indx)] = std::move(fresh);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!chart->BackImage()->Empty()) PaintToScreen(indx);
  return true;
}

// ---- Overlays -------------------------------------------------------------------------------------

bool TView2DForm::isPostProcCheckOn() const {
  // An item counts only with its overlay (none without a registered factory).
  for (int i = 1; i < kPostProcItems; ++i)
    if (PostProcCheckListBox->Checked(i) && PostProc_[static_cast<size_t>(i)]) return true;
  return false;
}

TBitmap32* TView2DForm::GetComposedPostProcByIndx(int indx) {
  if (indx < 0 || indx >= kChannelSlots) return nullptr;
  std::array<TCustomBitmap32*, 5> bitmaps{};
  for (int k = 0; k < 5; ++k) bitmaps[static_cast<size_t>(k)] = BmpPostProc_[static_cast<size_t>(indx * 5 + k)].get();
  if (!bitmaps[4]) {
    BmpPostProc_[static_cast<size_t>(indx * 5 + 4)] = std::make_unique<TBitmap32>();
    bitmaps[4] = BmpPostProc_[static_cast<size_t>(indx * 5 + 4)].get();
  }
  std::array<bool, kPostProcItems> checked{};
  for (int i = 0; i < kPostProcItems; ++i) checked[static_cast<size_t>(i)] = PostProcCheckListBox->Checked(i);
  // The overlays' frames change their colour and alpha at any time.
  for (int i = 1; i < kPostProcItems; ++i)
    if (const IPostProcOverlay* overlay = PostProc_[static_cast<size_t>(i)].get())
      OverlayLook[static_cast<size_t>(i)] = {overlay->AlphaBlend(), Color32Of(overlay->Color())};
  dp::ComposePostProcBmp(bitmaps, checked, IntersectionPostBmp(), OverlayLook);
  return BmpPostProc_[static_cast<size_t>(indx * 5 + 4)].get();
}

// ---- Painting ---------------------------------------------------------------------------------------

dp::TScreenScale TView2DForm::ScreenScaleOf(int indx) const {
  dp::TScreenScale scale;
  scale.Proportion = ProportionalCoefic;
  scale.ZoomFactor = ZoomFactor;
  scale.ZoomToMaster = indx >= 0 && indx < kChannelSlots ? ZoomToMasterDistance_[static_cast<size_t>(indx)] : 1;
  scale.HorScroll = HorScrollBar->Position();
  scale.VertScroll = VertScrollBar->Position();
  return scale;
}

long double TView2DForm::MarkShiftTraces(int indx) const {
  const T2Dview* store = GetView2DByIndx(indx);
  if (!store) return 0;
  const long double step = MasterStep(*this);
  const long double metres =
      store->Settings()->GetWasFlip() ? GetStartXShiftSpan(-1) - GetStartXShiftSpan(indx) : GetStartXShiftSpan(indx);
  return static_cast<long double>(dp::MetresToTraces(metres, step));
}

TPoint TView2DForm::MarkScreenPoint(int indx, int32_t trace, int32_t sample, bool surface) const {
  const T2Dview* store = GetView2DByIndx(indx);
  if (!store) return TPoint{0, 0};
  const TSettingData& settings = *store->Settings();
  const bool flipped = settings.GetWasFlip();
  const dp::TScreenScale scale = ScreenScaleOf(indx);
  const long double shift = MarkShiftTraces(indx);
  long double column = static_cast<long double>(dp::MarkColumn(trace, store->MinNumTraces(), store->MaxNumTraces(), flipped));
  long double row = sample;
  // Surface marks of a flipped channel recorded backwards keep their plain column.
  const bool keepsColumn = surface && flipped && settings.GetDirection() == back;
  const TBitmap* picture = Bmp_[static_cast<size_t>(indx)].get();
  if (TopoCorrectionShown() && settings.Topocorrection && tc::PathApplies(settings) && !keepsColumn && picture) {
    tc::TTopoMarkInput in;
    in.DX = &store->DXarray;
    in.DY = &store->DYarray;
    in.NumTraces = store->NumTraces();
    in.IdentXLeftM = TopoExtents.IdentXLeftM;
    in.IdentYtopM = TopoExtents.IdentYtopM;
    in.StepDistance = settings.GetStepDistance();
    in.SpeedLight = settings.GetSpeedLight();
    in.SpanWidth = settings.GetSpanWidth();
    in.LongTrace = settings.GetLongTrace();
    in.NullShift = settings.GetNullShift();
    in.Width = picture->Width();
    in.Flipped = flipped;
    const int64_t index = int64_t{trace} - store->MinNumTraces();
    // The tilt the image turned this trace's beam by.
    const long double sine =
        surface ? 0
                : tc::TiltOfRecord(settings.IndexIncl.Entry(settings.MinNumIncl + index), settings.GXmax, settings.GXmin,
                                   tc::TiltNegated(settings.GetTypeGPR()));
    if (const auto place = tc::TopoMarkPlace(in, index, sample, sine, !surface)) {
      column = static_cast<long double>(place->Column);
      row = static_cast<long double>(place->Row);
    }
  }
  return TPoint{dp::ScreenX(column, shift, scale), surface ? 0 : dp::ScreenY(row, scale)};
}

namespace {

// The visible part of the zoom bitmap into the back image at (0, 0); the rest of
// the back image in its brush colour.
void CopyZoomToBack(const TCustomBitmap32& zoom, TBitmap& back, int srcX, int srcY, int width, int height,
                    TColor32 fill) {
  const int bw = back.Width(), bh = back.Height();
  const int w = std::clamp(std::min(width, zoom.Width() - srcX), 0, bw);
  const int h = std::clamp(std::min(height, zoom.Height() - srcY), 0, bh);
  const bool inside = srcX >= 0 && srcY >= 0;
  for (int y = 0; y < bh; ++y) {
    auto* row = reinterpret_cast<TColor32*>(back.ScanLine(y));
    int from = 0;
    if (inside && y < h) {
      std::memcpy(row, zoom.ScanLine(y + srcY) + srcX, static_cast<size_t>(w) * sizeof(TColor32));
      from = w;
    }
    std::fill(row + from, row + bw, fill);
  }
}

// The marker selected in the channel's tree: its group (0 surface, 1 object,
// 2 polyline) and index there; -1, -1 for none.
std::pair<int, int> SelectedMarker(TTreeView* tree) {
  const TTreeNode* node = tree ? tree->Selected() : nullptr;
  if (!node || !node->Parent() || node->Parent()->Parent()) return {-1, -1};
  return {node->Parent()->Index(), node->Index()};
}

}  // namespace

void TView2DForm::PaintToScreen(int NumRadar) {
  T2Dview* store = GetView2DByIndx(NumRadar);
  TChart* chart = GetChartByIndx(NumRadar);
  if (shell_.Recording->RadarStarted()) {
    if (NumRadar >= 0 && NumRadar < kChannelSlots && arChannalVisible[static_cast<size_t>(NumRadar)])
      PaintOnlineChannel(NumRadar);
    return;
  }
  const TBitmap32* zoom = store ? BmpAfterZoom_[static_cast<size_t>(NumRadar)].get() : nullptr;
  if (!store || !chart || !zoom) return;
  SetProportionalCoefic(store);
  const int allowance = NumRadar == 0 ? HeightChartAxis : 0;
  TBitmap& back = *chart->BackImage();
  const TColor backColor = chart->Color();
  const dp::TScreenScale scale = ScreenScaleOf(NumRadar);
  CopyZoomToBack(*zoom, back, static_cast<int>(Round(scale.HorScroll / 100.0L)),
                 static_cast<int>(Round(scale.VertScroll / 100.0L)), chart->ClientWidth() - WidthChartAxis,
                 chart->ClientHeight() - allowance, Color32Of(backColor));

  const TSettingData& settings = *store->Settings();
  const std::pair<int, int> selected = SelectedMarker(GetObjectsTreeViewByIndx(NumRadar));
  TCanvas& canvas = *back.Canvas();

  if (ShowSurfaceMarkers && settings.SurfaceMarkersArray) {
    const TSurfeMarkersData& marks = *settings.SurfaceMarkersArray;
    for (int i = 0; i < marks.Count(); ++i) {
      const TSurfaceMarker* mark = marks.GetSurfaceMarker(i);
      const int X = MarkScreenPoint(NumRadar, mark->GetNumTrace(), 0, true).X;
      DrawSurfaceMarkerGlyph(canvas, X, mark->GetComment(), ShowComentsSurfaceMarkers, selected == std::pair{0, i});
    }
  }

  if (ShowObjectMarkers && settings.ObjectMarkersArray) {
    const TObjectMarkersData& marks = *settings.ObjectMarkersArray;
    for (int i = 0; i < marks.Count(); ++i) {
      const TObjectMarker* mark = marks.GetObjectMarker(i);
      const TPoint at = MarkScreenPoint(NumRadar, mark->GetNumTrace(), mark->GetNumSample(), false);
      DrawObjectMarkerGlyph(canvas, at.X, at.Y, mark->GetColor(), mark->GetComment(), ShowComentsObjectMarkers,
                            selected == std::pair{1, i});
    }
  }

  if (ShowPolyLineMarkers && settings.PolyLineMarkersArray) {
    const TPolyLineMarkersArray& lines = *settings.PolyLineMarkersArray;
    for (int i = 0; i < lines.Count(); ++i) {
      const TPolyLineMarkersData* line = lines.GetPolyLineMarkersArray(i);
      if (!line) continue;
      const bool isSelected = selected == std::pair{2, i};
      std::vector<TPoint> points;
      for (int n = 0; n < line->Count(); ++n) {
        TPoint node;
        if (!line->GetPolyLineMarker(n, node)) continue;
        points.push_back(MarkScreenPoint(NumRadar, node.X, node.Y, false));
      }
      canvas.Pen()->SetColor(line->GetMarkColor());
      canvas.Pen()->SetWidth(line->GetWeight());
      canvas.Pen()->SetStyle(isSelected ? psDash : psSolid);
      for (size_t n = 1; n < points.size(); ++n) {
        canvas.MoveTo(points[n - 1].X, points[n - 1].Y);
        canvas.LineTo(points[n].X, points[n].Y);
      }
      canvas.Pen()->SetStyle(psSolid);
      if (isSelected) {
        canvas.Pen()->SetWidth(1);
        canvas.Brush()->SetStyle(bsClear);
        for (const TPoint& p : points) canvas.Rectangle(p.X - 2, p.Y - 2, p.X + 2, p.Y + 2);
      }
      if (ShowPolyLineComments && !points.empty()) {
        canvas.Brush()->SetStyle(isSelected ? bsSolid : bsClear);
        canvas.Brush()->SetColor(static_cast<TColor>(0xC0C0C0));
        canvas.TextOut(points[0].X, points[0].Y, line->GetComment());
      }
    }
  }

  canvas.Pen()->SetWidth(1);
  canvas.Pen()->SetStyle(psSolid);
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(backColor);
  WasPaint = true;
  chart->Invalidate();
}

void TView2DForm::PaintAllScreen() {
  if (WasPaint) return;
  for (int i = 0; i < CountChannalView && i < kChannelSlots; ++i) PaintToScreen(i);
  if (Chart_SectOfDeep) CreateBMPSectOfDeep();
}

void TView2DForm::RefreshAxesAndScreen() {
  WasPaint = false;
  ResizeAxis();
  PaintAllScreen();
}
