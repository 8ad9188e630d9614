// The radargram window's depth slice: the plan view of all shown channels at
// one depth, from the display bitmaps after a recomputation and from the online
// stores while recording; its track bar, edit and "Auto". The arithmetic is
// depth_slice.h.

#include "radargram/view2d_form.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/chart.h"
#include "platform/ui/scroll_bar.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/pal_maker.h"
#include "profiledata/setting_data.h"
#include "radar/online_stages.h"
#include "radargram/depth_slice.h"
#include "raster/bitmap32.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace dp = display_pipeline;
namespace ds = depth_slice;

namespace {

TOnlineData* OnlineDataOf(T2Dview* store) {
  auto* stages = store ? dynamic_cast<TOnlineStageSet*>(store->OnlineStages()) : nullptr;
  return stages ? &stages->OnlineData : nullptr;
}

}  // namespace

void TView2DForm::BindSliceControls() {
  SectOfDeepTrackBar->OnChange = [this](TObject* sender) { SliceTrackBarChange(sender); };
  SectOfDeepDigitEdit->OnChangeFinish = [this](TObject* sender) { SliceEditChangeFinish(sender); };
  AutoDepthOnlineCheck->OnClick = [this](TObject* sender) { SliceAutoClick(sender); };
}

void TView2DForm::PlaceSliceControls() {
  TChart& chart = *Chart_SectOfDeep;
  SectOfDeepTrackBar->SetBounds(chart.Width() - 46, 16, SectOfDeepTrackBar->Width(), std::max(0, chart.Height() - 36));
  SectOfDeepDigitEdit->SetBounds(SectOfDeepTrackBar->Left(), SectOfDeepTrackBar->Top() + SectOfDeepTrackBar->Height(),
                                 SectOfDeepDigitEdit->Width(), SectOfDeepDigitEdit->Height());
  AutoDepthOnlineCheck->SetBounds(chart.Width() - 42, 2, AutoDepthOnlineCheck->Width(), AutoDepthOnlineCheck->Height());
}

void TView2DForm::SetSliceDepthLines(long double AValue) {
  for (int c = 0; c < CountChannalView && c < kChannelSlots; ++c) {
    const T2Dview* store = View2D_[static_cast<size_t>(c)];
    TChart* chart = Chart_[static_cast<size_t>(c)];
    if (!store || !chart) continue;
    SectOfDeep = ds::SliceSample(*store->Settings(), AValue);
    chart->RightAxis()->SetTitle(LoadResString(SDepthAxisTitle) + QStringLiteral(" [") + QString::number(SectOfDeep) +
                                 QStringLiteral("]"));
    if (TLineSeries* depth = GetSeriesDepthByIndx(c)) {
      depth->Clear();
      depth->AddXY(chart->TopAxis()->Minimum(), static_cast<double>(AValue));
      depth->AddXY(chart->TopAxis()->Maximum(), static_cast<double>(AValue));
    }
    chart->Invalidate();
  }
  if (Chart_[0]) oldTopAxis_Minimum = Chart_[0]->TopAxis()->Minimum();
}

int TView2DForm::GetMin0forDeep() const {
  std::vector<const TSettingData*> shown;
  for (int c = 0; c < CountChannalView && c < kChannelSlots; ++c)
    if (const T2Dview* store = View2D_[static_cast<size_t>(c)]) shown.push_back(store->Settings());
  return ds::Min0forDeep(shown);
}

void TView2DForm::UpdateSliceLimits() {
  const T2Dview* first = View2D_[0];
  if (!first) return;
  sliceUpdating_ = true;
  const int lo = GetMin0forDeep();
  const int hi = std::max(lo, ds::MaxDepthCm(*first->Settings()));
  SectOfDeepTrackBar->SetRange(lo, hi);
  SectOfDeepDigitEdit->SetMinVal(lo / 100.0L);
  SectOfDeepDigitEdit->SetMaxVal(hi / 100.0L);
  SectOfDeepDigitEdit->SetValueReal(SectOfDeepTrackBar->Position() / 100.0L);
  sliceUpdating_ = false;
  SectOfDeep = ds::SliceSample(*first->Settings(), SectOfDeep_m);
}

void TView2DForm::SliceDepthFromTrackBar() {
  const long double m = SectOfDeepTrackBar->Position() / 100.0L;
  const bool scrolled = Chart_[0] && Chart_[0]->TopAxis()->Minimum() != oldTopAxis_Minimum;
  if (m != SectOfDeep_m || scrolled) {
    SectOfDeep_m = m;
    SetSliceDepthLines(m);
  }
}

std::vector<uint8_t> TView2DForm::SliceRow(long double depthOffset) const {
  const TBitmap* first = Bmp_[0].get();
  const int32_t width = first ? first->Width() : 0;
  std::vector<ds::TSliceChannel> channels;
  for (int c = 0; c < CountChannalView && c < kChannelSlots; ++c) {
    ds::TSliceChannel channel;
    const T2Dview* store = View2D_[static_cast<size_t>(c)];
    TBitmap* bmp = Bmp_[static_cast<size_t>(c)].get();
    if (store && bmp && bmp->PixelFormat() == pf8bit) {
      channel.Settings = store->Settings();
      channel.Width = bmp->Width();
      channel.Height = bmp->Height();
      channel.Row = [bmp](int32_t row) -> const uint8_t* { return bmp->ScanLine(row); };
    }
    channels.push_back(std::move(channel));
  }
  return ds::SliceRows(channels, width, SectOfDeep_m, depthOffset);
}

void TView2DForm::ShowSliceImage(const std::vector<uint8_t>& slice, int width, int rows, int64_t shift) {
  TChart& chart = *Chart_SectOfDeep;
  if (width < 1 || rows < 1) return;
  TBitmap picture;
  picture.SetPixelFormat(pf8bit);
  picture.SetSize(width, rows);
  picture.SetPalette(PalMaker1->GetPal());
  if (picture.Width() != width || picture.Height() != rows) return;
  const int64_t from = std::clamp<int64_t>(shift, 0, width);
  for (int r = 0; r < rows; ++r) {
    uint8_t* line = picture.ScanLine(r);
    const uint8_t* source = slice.data() + static_cast<size_t>(r) * static_cast<size_t>(width);
    std::memcpy(line, source + from, static_cast<size_t>(width - from));
    std::memset(line + (width - from), 127, static_cast<size_t>(from));
  }
  const bool flipped = View2D_[0] && View2D_[0]->Settings()->GetWasFlip();
  const dp::TZoomSize size{static_cast<int>(Round(ProportionalCoefic * width)), std::max(chart.ClientHeight(), 1)};
  if (size.Width < 1) return;
  try {
    const std::unique_ptr<TBitmap32> zoom =
        dp::BuildZoomBitmap(picture, size, dp::PlaceZoomImage(size.Width, 0, 0, flipped), flipped, 0xFFFFFFFFu);
    TBitmap& back = *chart.BackImage();
    back.SetPixelFormat(pf32bit);
    back.SetSize(zoom->Width(), zoom->Height());
    if (back.Width() != zoom->Width() || back.Height() != zoom->Height()) return;
    for (int y = 0; y < zoom->Height(); ++y)
      std::memcpy(back.ScanLine(y), zoom->ScanLine(y), static_cast<size_t>(zoom->Width()) * sizeof(TColor32));
  } catch (const std::bad_alloc&) {
    return;
  }
  chart.Invalidate();
}

void TView2DForm::CreateBMPSectOfDeep() {
  if (!ViewSectOfDeep || !Chart_SectOfDeep || !SectOfDeepTrackBar) return;
  PlaceSliceControls();
  SliceDepthFromTrackBar();
  T2Dview* first = View2D_[0];
  const TBitmap* bmp0 = Bmp_[0].get();
  if (!first || !bmp0 || bmp0->Width() < 1) return;
  UpdateSliceLimits();
  TChart& chart = *Chart_SectOfDeep;
  chart.LeftAxis()->SetTitle(LoadResString(SChannalAxisTitle));
  chart.LeftAxis()->SetMinMax(0, CountChannalView);
  chart.RightAxis()->SetMinMax(SectOfDeep, SectOfDeep);
  FillBitmapRect8(*chart.BackImage(), Rect(0, 0, chart.BackImage()->Width(), chart.BackImage()->Height()), 127);

  const int width = bmp0->Width();
  const int rows = std::min(CountChannalView, kChannelSlots);
  std::vector<uint8_t> slice = SliceRow(0);
  if (shell_.Slice && shell_.Slice->AlphaScanDepthOn()) {
    std::vector<std::vector<uint8_t>> slices{slice};
    for (size_t k = 1; k < ds::kAlphaOffsets.size(); ++k) slices.push_back(SliceRow(ds::kAlphaOffsets[k]));
    slice = ds::StrongestOfSlices(slices);
  }
  SetProportionalCoefic(first);
  const int64_t shift =
      ProportionalCoefic != 0 ? Round(HorScrollBar->Position() / 100.0L / ProportionalCoefic) : 0;
  ShowSliceImage(slice, width, rows, shift);
  PredScrollWidthOnline = 0;
}

void TView2DForm::SliceTrackBarChange(TObject* /*Sender*/) {
  if (sliceUpdating_) return;
  SectOfDeep_m = SectOfDeepTrackBar->Position() / 100.0L;
  SectOfDeepDigitEdit->SetValueReal(SectOfDeep_m);
  SetSliceDepthLines(SectOfDeep_m);
  if (!shell_.Recording->RadarStarted()) CreateBMPSectOfDeep();
}

void TView2DForm::SliceEditChangeFinish(TObject* /*Sender*/) {
  SectOfDeepTrackBar->SetPosition(RoundToInt32(SectOfDeepDigitEdit->ValueReal() * 100));
}

void TView2DForm::SliceAutoClick(TObject* /*Sender*/) {
  if (shell_.Slice) shell_.Slice->SetAutoDepthOnline(AutoDepthOnlineCheck->Checked());
}

// ---- While recording ---------------------------------------------------------------------------

void TView2DForm::AddOnlineSliceTrace(int indx, const int32_t* trace, int length, int endFlag) {
  if (!ViewSectOfDeep) return;
  T2Dview* store = GetView2DByIndx(indx);
  TOnlineData* data = OnlineDataOf(store);
  if (!data) return;
  data->AddTrace(trace, length, endFlag, store->Settings()->NrmCoef);
  if (data->isReadyPaint()) {
    Application->ProcessMessages();
    PaintOnlineSlice();
    data->SetReadyPaintOff();
  }
}

std::vector<uint8_t> TView2DForm::OnlineSliceRows() const {
  const int rows = std::min(CountChannalView, kChannelSlots);
  const TOnlineData* firstData = OnlineDataOf(View2D_[0]);
  const int width = firstData ? firstData->CountTraces : 0;
  if (width < 1 || rows < 1) return {};
  const bool alpha = shell_.Slice && shell_.Slice->AlphaScanDepthOn();
  // While this program records with the channels normalised together, every
  // channel's row is scaled by the common online normalisation.
  const bool commonNorm =
      shell_.Slice && shell_.Slice->NormalizationOnlineAllTraces() && shell_.Recording->RunChild() != nullptr;
  std::vector<uint8_t> slice(static_cast<size_t>(width) * static_cast<size_t>(rows), 127);
  for (int c = 0; c < rows; ++c) {
    T2Dview* store = View2D_[static_cast<size_t>(c)];
    const TOnlineData* data = OnlineDataOf(store);
    if (!data) continue;
    const std::span<uint8_t> row(slice.data() + static_cast<size_t>(c) * static_cast<size_t>(width),
                                 static_cast<size_t>(width));
    data->GetScanInDeep32(row, ds::SliceSample(*store->Settings(), SectOfDeep_m), alpha ? 2 : 0, commonNorm);
  }
  return slice;
}

void TView2DForm::PaintOnlineSlice() {
  if (!ViewSectOfDeep || !Chart_SectOfDeep || !SectOfDeepTrackBar) return;
  PlaceSliceControls();
  SliceDepthFromTrackBar();
  const int rows = std::min(CountChannalView, kChannelSlots);
  if (shell_.Layout->AutoDepthOnline() && rows > 0) {
    std::vector<long double> depths;
    for (int c = 0; c < rows; ++c) {
      T2Dview* store = View2D_[static_cast<size_t>(c)];
      if (const TOnlineData* data = OnlineDataOf(store))
        depths.push_back(store->Settings()->SampleToDepth(data->GetNumSimpleInMaxSumLastArray()));
    }
    if (!depths.empty()) {
      SectOfDeepTrackBar->SetPosition(ds::MeanDepthCm(depths));
      SectOfDeep_m = SectOfDeepTrackBar->Position() / 100.0L;
    }
  }
  T2Dview* first = View2D_[0];
  TOnlineData* firstData = OnlineDataOf(first);
  if (!first || !firstData) return;
  UpdateSliceLimits();
  TChart& chart = *Chart_SectOfDeep;
  FillBitmapRect8(*chart.BackImage(), Rect(0, 0, chart.BackImage()->Width(), chart.BackImage()->Height()), 127);
  const std::vector<uint8_t> slice = OnlineSliceRows();
  if (slice.empty()) return;
  const int width = firstData->CountTraces;
  SetProportionalCoefic(first);
  const int64_t firstColumn = ds::OnlineFirstColumn(first->PosTraces(), first->MinNumTraces(), first->MaxNumTraces(),
                                                    PredScrollWidthOnline, chart.Width(), width);
  PredScrollWidthOnline = static_cast<int>(firstColumn);
  ShowSliceImage(slice, width, rows, firstColumn);
}
