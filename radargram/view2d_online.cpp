// TView2DForm: the online display while a recording runs. The reader threads
// store traces (PaintLastTrace); the paint thread makes the user-interface
// thread paint the traces stored since its last pass (PaintOnlineThread), move
// the position cursor, show the speed indicator and stop the recording past
// 30000 traces. The arithmetic is in online_recording.h and online_strip.h.

#include "radargram/marker_glyphs.h"
#include "radargram/view2d_form.h"

#include "platform/rtl/format_float.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/chart.h"
#include "platform/ui/menus.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/scroll_bar.h"
#include "platform/ui/sound.h"
#include "profiledata/channel_store.h"
#include "profiledata/markers.h"
#include "profiledata/markers_data.h"
#include "profiledata/pal_maker.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/online_stages.h"
#include "radar/radar.h"
#include "radargram/axes_arithmetic.h"
#include "radargram/online_recording.h"
#include "radargram/online_strip.h"
#include "raster/bitmap32.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace dp = display_pipeline;
namespace os = online_strip;
namespace orec = online_recording;
namespace aa = axes_arithmetic;

RESOURCESTRING(SGpsNotSynchronized, "GPS is not synchronized with GPR\r\nDecrease Number of Samples");
RESOURCESTRING(SDistanceM, "Distance, m");
RESOURCESTRING(SStart, "Start");
RESOURCESTRING(SRecordingRangeEnded,
               "The recording stopped: channel %d has no room for more traces. The traces recorded so far are kept.");
RESOURCESTRING(SRecordingOutOfMemory,
               "The recording stopped: not enough memory for channel %d. The traces recorded so far are kept.");

namespace {

// Posted by a reader thread to the recording window.
constexpr UINT WM_ONLINESTEPEND = WM_USER + 431;  // a step-mode recording has its step
constexpr UINT WM_ONLINENMEA = WM_USER + 432;     // NMEA lines wait to be added
// WParam: the channel; LParam: 1 out of memory, 0 end of the trace range.
constexpr UINT WM_ONLINESTORESTOP = WM_USER + 433;
constexpr UINT WM_ONLINESTORED = WM_USER + 434;  // a channel took its first traces

constexpr TColor kYellow = static_cast<TColor>(0x00FFFF);
constexpr TColor kGreen = static_cast<TColor>(0x00FF00);
constexpr TColor kRed = static_cast<TColor>(0x0000FF);
constexpr int kGpsPageIndex = 5;

bool Outside(int64_t v, int64_t lo, int64_t hi) { return v < lo || v > hi; }

bool MetreMode(TProportional p) { return p == PropInM21 || p == PropInM11 || p == PropInM12; }

}  // namespace

// ---- Storing (reader threads) ---------------------------------------------------------------------

int32_t TView2DForm::Channel0LongTrace() const {
  const T2Dview* store = View2D_[0];
  return store ? store->Settings()->GetLongTrace() : 0;
}

bool TView2DForm::RunChecked() const { return shell_.Run && shell_.Run->RunActionChecked(); }

void TView2DForm::PostOnline(UINT msg) { PostMessage(Handle(), msg, 0, 0); }

TTraceStored TView2DForm::PaintLastTrace(const TTraceHandOver& trace) {
  TTraceStored out = Unchanged(trace);
  TControlRadar* set = shell_.Radars->ControlRadar();
  const int indx = set ? set->GetIndexRadar(&trace.Radar) : -1;
  T2Dview* store = GetView2DByIndx(indx);
  if (!store || !GetChartByIndx(indx)) return out;
  TSettingData& settings = *store->Settings();
  settings.SetSerNum(trace.Radar.SerNum());
  out.Direction = orec::ChannelDirection(settings, trace.Direction);
  if (!RunChecked()) return out;

  orec::TTraceIn in;
  in.Samples = trace.Samples;
  {
    std::lock_guard guard(trace.Radar.SectPaint);
    in.Record.Values = trace.Radar.AccelerometerValues;
  }
  in.NumCollision = trace.NumCollision;
  in.Direction = out.Direction;
  in.NumCollisionWiFi = trace.NumCollisionWiFi;
  const orec::TTraceOut stored = orec::StoreTrace(*store, in);

  {
    std::lock_guard guard(trace.Radar.SectPaint);
    out.LastRecived = store->PosTraces();
    out.LastDirect = out.Direction;
  }
  const QString nmea = trace.Radar.LastNMEA();
  if (!nmea.isEmpty()) {
    std::lock_guard guard(onlineLock_);
    pendingNmea_.emplace_back(indx, QString::number(store->NumTraces()) + u'=' + nmea);
  }
  if (stored.PlayBOOM) PlayBOOM = true;
  if (stored.Stored > 0 && !(storedChannels_.fetch_or(1u << indx) & (1u << indx))) {
    if (IsMainThread()) MarkRecorded(); else PostOnline(WM_ONLINESTORED);
  }

  // The user interface is touched on its own thread only.
  const bool uiThread = IsMainThread();
  if (!nmea.isEmpty()) {
    if (uiThread) TakePendingNmea(); else PostOnline(WM_ONLINENMEA);
  }
  if (stored.RangeEnded) {
    if (!storeStopPosted_.exchange(true)) PostMessage(Handle(), WM_ONLINESTORESTOP, static_cast<WPARAM>(indx), stored.OutOfMemory ? 1 : 0);
  } else if (stored.StepEnded) {
    if (uiThread) OnlineStepEnded(); else PostOnline(WM_ONLINESTEPEND);
  }
  return out;
}

void TView2DForm::TakePendingNmea() {
  std::vector<std::pair<int, QString>> lines;
  {
    std::lock_guard guard(onlineLock_);
    lines.swap(pendingNmea_);
  }
  for (auto& [indx, line] : lines)
    if (T2Dview* store = GetView2DByIndx(indx)) store->Settings()->NMEIStrings.append(std::move(line));
}

void TView2DForm::MarkRecorded() {
  const unsigned channels = storedChannels_.load();
  for (int i = 0; i < kChannelSlots; ++i) {
    T2Dview* store = GetView2DByIndx(i);
    if (!store || !(channels & (1u << i))) continue;
    store->SetNeedForSave(true);
    store->Settings()->WasStarted = true;
  }
}

void TView2DForm::OnlineStepEnded() {
  if (!shell_.Run) return;
  shell_.Run->SetRunActionChecked(false);
  shell_.Run->SetRunImage(6, LoadResString(SStart));
  shell_.Run->SetRadarStarted(false);
  shell_.Run->Updatemenu();
  UpdateInterface();
}

// ---- The painter ------------------------------------------------------------------------------

TRadar* TView2DForm::SlotRadarOf(int indx) const {
  const TControlRadar* set = shell_.Radars->ControlRadar();
  return set ? set->GetRadarByIndex(indx) : nullptr;
}

void TView2DForm::PaintOnlineThread() {
  TControlRadar* set = shell_.Radars->ControlRadar();
  if (!PaintOnlineRunning.exchange(true)) {
    PresentEmptyIndexTrace = false;
    try {
      if (PlayBOOM.exchange(false)) PlayWaveResource(QStringLiteral("BOOM"));
      if (set) {
        MasterChannal = set->GetMasterChannal();
        for (int i = 0; i < kChannelSlots; ++i) PaintOnlineThreadRadar(i);
      }
      const T2Dview* first = View2D_[0];
      if (shell_.Recording->RadarStarted() && first && first->NumTraces() > os::AutoStopTraces &&
          shell_.Recording->RunButtonDown() && shell_.Run) {
        shell_.Run->SetRunActionChecked(false);
        shell_.Run->RunActionExecute();
      }
    } catch (const std::exception&) {
      // The pass is given up; the next one starts afresh.
    }
    PresentEmptyIndexTrace = false;
    PaintOnlineRunning = false;
  }
  if (set) PaintIndicator(set->GetMasterRadar());
}

void TView2DForm::PaintOnlineThreadRadar(int indx) {
  if (shell_.Radars->isCheckDeviceRunned()) return;
  if (indx < 0 || indx >= kChannelSlots || !arChannalVisible[static_cast<size_t>(indx)]) return;
  T2Dview* store = GetView2DByIndx(indx);
  const T2Dview* master = GetView2DByIndx(MasterChannal);
  TChart* chart = GetChartByIndx(indx);
  TControlRadar* set = shell_.Radars->ControlRadar();
  if (!store || !master || !chart || !set || set->GetCountPluginRadars() == 0) return;
  TRadar* radar = set->GetRadarByIndex(indx);
  if (!radar) return;

  int64_t a = static_cast<int32_t>(radar->LastPaint.load());
  const int64_t s = static_cast<int32_t>(radar->LastRecived.load());
  const TRadar* masterRadar = set->GetMasterRadar();
  const bool gps = masterRadar && masterRadar->GPSstate() != gpsNone;
  const bool sOutsideMaster = Outside(s, master->MinNumTraces(), master->MaxNumTraces());
  if (gps && sOutsideMaster && Outside(s, store->MinNumTraces(), store->MaxNumTraces())) {
    radar->LastRecived = store->MaxNumTraces();
    ShowMessage(LoadResString(SGpsNotSynchronized));
    if (RunChecked()) {
      shell_.Run->SetRunActionChecked(false);
      shell_.Run->RunActionExecute();
    }
    return;
  }
  if (gps && sOutsideMaster && Outside(a, store->MinNumTraces(), store->MaxNumTraces())) {
    radar->LastPaint = store->MinNumTraces();
    a = store->MinNumTraces();
  }

  bool waited = false;
  if (a != s) {
    TSettingData& settings = *store->Settings();
    // The side of the range the painted position was nearest to at the last
    // pass; with no range yet (both ends alike) the way the position moved.
    const int64_t toMax = std::llabs(a - settings.GetMaxTrace());
    const int64_t toMin = std::llabs(a - settings.GetMinTrace());
    const bool backward = toMax == toMin ? s < a : toMax > toMin;
    settings.SetMinTrace(static_cast<int32_t>(store->MinNumTraces()));
    settings.SetMaxTrace(static_cast<int32_t>(store->MaxNumTraces()));
    if (!chart->BackImageLocked()) {
      const int64_t count = std::llabs(s - a + 1);
      PaintNewTraces(settings.GetLongTrace(), count, a, chart, store, radar, indx, s, backward);
      RefreshPositionSeries(indx, static_cast<int>(std::min<int64_t>(count, 1 << 30)), true);
    } else {
      waited = true;
    }
  }
  if (!PresentEmptyIndexTrace && !waited) radar->LastPaint = s;

  // A replayed backup ends once its end has unchecked Run and every stored trace
  // is painted; a painter that catches up with a replay still running waits.
  if (OnlinePaintThread && OnlinePaintThread->IsBackup && !RunChecked() && a != 0 && a == s) {
    OnlinePaintThread->IsBackup = false;
    if (shell_.Run) shell_.Run->ActionsInStop();
  }
}

void TView2DForm::ExecuteOnlinePlugins(int32_t* trace, int32_t length, T2Dview* store) {
  if (!store || !trace || length <= 0) return;
  if (auto* stages = dynamic_cast<TOnlineStageSet*>(store->OnlineStages())) stages->ExecuteChain(trace, length);
}

void TView2DForm::PaintNewTraces(int LongTrace, int64_t /*count*/, int64_t a, TChart* chart, T2Dview* store,
                                 TRadar* radar, int indx, int64_t s, bool backward) {
  if (!chart || !store || !radar || indx < 0 || indx >= kChannelSlots) return;
  SetProportionalCoefic(store);
  TSettingData& settings = *store->Settings();
  const int64_t minTrace = settings.GetMinTrace();
  const int64_t maxTrace = settings.GetMaxTrace();
  int64_t k = std::llabs(s - a - 1);
  bool inside = minTrace < s && s < maxTrace;
  if (radar->CurMode() == cmStep) {
    k = std::llabs(s - minTrace - 1);
    inside = false;
  }

  os::TStripRange range{SizeOnRunBmpFull_begin, SizeOnRunBmpFull_end};
  const os::TStripGrowth growth = os::GrowthFor(s, range);
  if (growth != os::sgNone) {
    SizeOnRunBmpFull_begin = range.Begin;
    SizeOnRunBmpFull_end = range.End;
    for (int i = 0; i < kChannelSlots; ++i)
      if (TBitmap* grown = OnRunBmpFull_[static_cast<size_t>(i)].get())
        OnRunBmpFullOrigin_[static_cast<size_t>(i)] =
            os::FitStrip(*grown, OnRunBmpFullOrigin_[static_cast<size_t>(i)], range);
  }

  int64_t first = 0, last = 0;
  FollowNewestTrace(indx, *chart, *store, s, first, last);
  if (indx == NumActiveView) EditValueList();

  TBitmap* strip = OnRunBmpFull_[static_cast<size_t>(indx)].get();
  const int L = std::clamp(std::min(LongTrace, strip ? strip->Height() : 0), 0, orec::WorkSamples);
  const int n = std::clamp(LongTrace, 0, orec::WorkSamples);
  if (!(inside && maxTrace <= a) && n > 0) {
    const os::TPaintRun run = os::PaintRun(s, k, backward);
    std::vector<uint8_t*> rows;
    if (strip) {
      rows.resize(static_cast<size_t>(L));
      for (int r = 0; r < L; ++r) rows[static_cast<size_t>(r)] = strip->ScanLine(r);
    }
    std::vector<int32_t> divisors(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) divisors[static_cast<size_t>(i)] = dp::GetStackingDivisor(i, settings);
    const bool drawn = SizeOnRunBmpFull_begin <= s && s < SizeOnRunBmpFull_end;
    const int64_t stripedTrace = backward ? run.First + run.Count - 1 : run.First;
    std::array<int32_t, orec::WorkSamples> work{};
    for (int64_t j = 0; j < run.Count; ++j) {
      const int64_t w = run.First + j;
      {
        std::lock_guard guard(radar->SectPaint);
        const int32_t* buffer = store->IndexTraces.Trace(w);
        if (!buffer) {
          if (w >= store->MinNumTraces() && w < store->MaxNumTraces()) PresentEmptyIndexTrace = true;
          break;
        }
        const int copied = std::min(n, store->IndexTraces.TraceLength(w));
        std::copy_n(buffer, copied, work.begin());
        std::fill(work.begin() + copied, work.begin() + n, 0);
      }
      const std::span<int32_t> trace(work.data(), static_cast<size_t>(n));
      if (os::HoldsSignal(trace)) {
        os::DivideByDivisors(trace, divisors);
        ExecuteOnlinePlugins(work.data(), L, store);
      }
      const int endFlag = !backward && store->PosTraces() >= store->MaxNumTraces()   ? 1
                          : backward && store->PosTraces() <= store->MinNumTraces() ? -1
                                                                                    : 0;
      AddOnlineSliceTrace(indx, work.data(), n, endFlag);
      const int64_t column = OnlineStripColumn(indx, w);
      if (!strip || !drawn || column < 0 || column >= strip->Width()) continue;
      if (w == stripedTrace && radar->GetSumCollision() > 0) {
        os::DrawStripedColumn(rows, static_cast<int>(column));
        radar->ClearSumCollision();
      } else {
        os::DrawColumn(rows, static_cast<int>(column), std::span<const int32_t>(work.data(), static_cast<size_t>(L)),
                       settings.NrmCoef);
      }
    }
  }

  if (!TopoCorrectionShown()) {
    if (TLineSeries* zero = SeriesNull_[static_cast<size_t>(indx)]) {
      const aa::TChannelScale scale{static_cast<long double>(settings.GetSpanWidth()), settings.GetOverStep(),
                                    settings.GetNullShift(), settings.GetSpeedLight()};
      const double y = static_cast<double>(aa::SampleTime(settings.GetNullShift(), scale));
      zero->Clear();
      zero->AddXY(chart->TopAxis()->Minimum(), y, QString(), clBlue);
      zero->AddXY(chart->TopAxis()->Maximum(), y, QString(), clBlue);
    }
  }
  if (ReadyTopo) AddOnlineSurfaceMarker(*store, s);
  if (arChannalVisible[static_cast<size_t>(indx)] && (RunChecked() || radar->CurMode() == cmStep))
    DrawOnlineImage(indx, *chart, *store, first, last);
}

void TView2DForm::FollowNewestTrace(int indx, TChart& chart, T2Dview& store, int64_t s, int64_t& first,
                                    int64_t& last) {
  TChartAxis* top = chart.TopAxis();
  const long double g = 1000.0L / std::max(ZoomFactor, 1);
  long double from = top->Minimum();
  long double to = top->Maximum();
  if (DistanceMenu->Checked()) {
    const long double position = TraceToDistView(s, indx, false);
    const long double span = to - from;
    if (position > to || position < from) {
      if (position > to) {
        from = position - span;
        to = position;
      } else {
        from = position;
        to = position + span;
      }
      top->SetMinMax(static_cast<double>(from), static_cast<double>(to));
      if (TControlRadar::isDualFrequenceGPRDevice(TypeGPRDevice)) ResizeAxisForDualFrequence(indx);
    }
    const long double shift = static_cast<long double>(deviceX_) / 100000.0L;
    first = DistToTraceView(indx, false, from - shift);
    last = DistToTraceView(indx, false, to - shift);
  } else {
    const long double scale = g * ProportionalCoefic;
    const long double width = scale > 0 ? (chart.ClientWidth() - WidthChartAxis) / scale : 0;
    if (static_cast<long double>(s) > to) {
      to = static_cast<long double>(s);
      from = to - width;
      top->SetMinMax(static_cast<double>(from), static_cast<double>(to));
    } else if (static_cast<long double>(s) < from) {
      from = static_cast<long double>(s);
      to = from + width;
      top->SetMinMax(static_cast<double>(from), static_cast<double>(to));
    }
    first = static_cast<int64_t>(std::floor(from));
    last = static_cast<int64_t>(std::ceil(to));
  }
  (void)store;
  first = OnlineStripColumn(indx, first);
  last = OnlineStripColumn(indx, last);
}

void TView2DForm::DrawOnlineImage(int indx, TChart& chart, T2Dview& store, int64_t first, int64_t last) {
  TBitmap* strip = OnRunBmpFull_[static_cast<size_t>(indx)].get();
  TBitmap* visible = OnRunBmp_[static_cast<size_t>(indx)].get();
  if (!strip || !visible || strip->Empty()) return;
  const int L = std::min(store.Settings()->GetLongTrace(), strip->Height());
  const int64_t offset = DistToMasterTrace(GetStartXShiftSpan(indx));
  const os::TVisibleColumns columns = os::VisibleColumns(first, last, store.NumTraces(), offset, strip->Width());
  if (columns.Width <= 0 || L <= 0) return;
  os::CopyColumns(*strip, columns.First, columns.Width, L, *visible);
  if (!chart.TryLockBackImage()) return;
  try {
    const long double g = 1000.0L / std::max(ZoomFactor, 1);
    const long double ztm = ZoomToMasterDistance_[static_cast<size_t>(indx)];
    const int x = RoundToInt32(g * ProportionalCoefic * static_cast<long double>(offset) * ztm);
    const int width = RoundToInt32(ztm * ProportionalCoefic * g * columns.Width);
    const int height = RoundToInt32(g * L * ztm);
    StretchOnlineBmp(*chart.BackImage(), x, width, height, *visible);
    PaintMarkersOnline(indx, columns.First, static_cast<double>(height) / L, static_cast<double>(width) / columns.Width,
                       L, 0, columns.First + columns.Width);
  } catch (const std::exception&) {
    // A bitmap that could not be had: this pass shows the previous image.
  }
  chart.UnlockBackImage();
  chart.Invalidate();
}

void TView2DForm::StretchOnlineBmp(TBitmap& target, int x, int width, int height, TBitmap& source) {
  if (!onlineScratch_) onlineScratch_ = std::make_unique<TBitmap32>();
  if (!onlineResampled_) onlineResampled_ = std::make_unique<TBitmap32>();
  const bool simple = shell_.Run && shell_.Run->SimpleStretchPaint();
  os::StretchOnline(source, target, x, width, height, simple, *onlineScratch_, *onlineResampled_);
}

void TView2DForm::PaintMarkersOnline(int channel, int first, double scaleY, double scaleX, int bottom, int top,
                                     int right) {
  const T2Dview* store = GetView2DByIndx(channel);
  TChart* chart = GetChartByIndx(channel);
  if (!store || !chart) return;
  const TSettingData& settings = *store->Settings();
  TCanvas& canvas = *chart->BackImage()->Canvas();
  const TColor brush = canvas.Brush()->Color();
  if (ShowSurfaceMarkers && settings.SurfaceMarkersArray && top < 10 && 10 < bottom) {
    const TSurfeMarkersData& marks = *settings.SurfaceMarkersArray;
    for (int i = 0; i < marks.Count(); ++i) {
      const TSurfaceMarker* mark = marks.GetSurfaceMarker(i);
      const int64_t t = OnlineStripColumn(channel, mark->GetNumTrace());
      if (!(first < t && t < right)) continue;
      const int X = RoundToInt32(static_cast<long double>(t - first) * scaleX);
      DrawSurfaceMarkerGlyph(canvas, X, mark->GetComment(), ShowComentsSurfaceMarkers, false);
    }
  }
  if (ShowObjectMarkers && settings.ObjectMarkersArray) {
    const TObjectMarkersData& marks = *settings.ObjectMarkersArray;
    for (int i = 0; i < marks.Count(); ++i) {
      const TObjectMarker* mark = marks.GetObjectMarker(i);
      const int64_t t = OnlineStripColumn(channel, mark->GetNumTrace());
      const int sample = mark->GetNumSample();
      if (!(first < t && t < right && top < sample && sample < bottom)) continue;
      const int X = RoundToInt32(static_cast<long double>(t - first) * scaleX);
      const int Y = RoundToInt32(static_cast<long double>(sample - top) * scaleY);
      DrawObjectMarkerGlyph(canvas, X, Y, mark->GetColor(), mark->GetComment(), ShowComentsObjectMarkers, false);
    }
  }
  canvas.Pen()->SetWidth(1);
  canvas.Pen()->SetStyle(psSolid);
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(brush);
}

void TView2DForm::AddOnlineSurfaceMarker(T2Dview& store, int64_t s) {
  TSettingData& settings = *store.Settings();
  if (settings.SurfaceMarkersArray) {
    TSurfeMarkersData& marks = *settings.SurfaceMarkersArray;
    marks.Add(0, static_cast<int32_t>(s), QStringLiteral("S") + QString::number(marks.Count()));
    marks.Sort();
  }
  GPSarrayToMetres();
  RebuildObjectsTrees();
  ReadyTopo = false;
}

// ---- Position cursor, indicator and wheel cursor ------------------------------------------------

void TView2DForm::RefreshPositionSeries(int NumRadar, int numCollision, bool PaintOnline) {
  if (shell_.Layout->isCloseChild()) return;
  if (NumRadar < 0 || NumRadar >= kChannelSlots || !arChannalVisible[static_cast<size_t>(NumRadar)]) return;
  if (const TControlRadar* set = shell_.Radars->ControlRadar()) MasterChannal = set->GetMasterChannal();
  const T2Dview* master = GetView2DByIndx(MasterChannal);
  TChart* masterChart = GetChartByIndx(MasterChannal);
  if (!master || !masterChart) return;
  const int64_t pos = master->PosTraces();
  predPosTraces = static_cast<int>(std::clamp<int64_t>(pos, INT32_MIN, INT32_MAX));

  if (numCollision == -100 && shell_.Run) {
    AutOfRange = Outside(pos, master->MinNumTraces(), master->MaxNumTraces());
    const bool runEnabled = shell_.Run->RunActionEnabled();
    TFont* left = masterChart->LeftAxis()->LabelsFont();
    TFont* right = masterChart->RightAxis()->LabelsFont();
    if (!AutOfRange && !runEnabled) {
      // The cursor has come back into the recorded range.
      const bool keepBold = Caption().endsWith(QStringLiteral(".frn"));
      for (TFont* font : {left, right}) {
        font->SetColor(clBlack);
        if (!keepBold) font->SetStyle({});
      }
    } else if (AutOfRange && runEnabled) {
      // The cursor has just left it: the axis on that side turns red.
      TFont* font = pos < master->MinNumTraces() ? left : right;
      if (font->Color() == clBlack) {
        font->SetColor(kRed);
        font->SetStyle(TFontStyles{fsBold});
        PlayWaveResource(QStringLiteral("SND2"));
      }
    }
    shell_.Run->SetRunActionEnabled(!AutOfRange);
    shell_.Run->SetBindingActionEnabled(!AutOfRange);
  }

  const int64_t o = DistToMasterTrace(static_cast<long double>(master->Settings()->GetStartXShift()) / 100000.0L);
  long double v = 0;
  if (DistanceMenu->Checked()) {
    v = TraceToDistView(pos - o, MasterChannal, false);
    if (shell_.Run) shell_.Run->DispCmCursor(FloatToStrF(v, ffFixed, 15, 2));
  } else {
    if (shell_.Run) shell_.Run->DispCmCursor(QString::number(pos));
    v = static_cast<long double>(pos - o);
  }

  TChartAxis* top = masterChart->TopAxis();
  const long double minimum = top->Minimum();
  const long double maximum = top->Maximum();
  if (v < minimum) {
    if (minimum - v < 0.1L) {
      HorScrollBar->SetPosition(std::max(HorScrollBar->Min(), HorScrollBar->Position() - 2 * HorScrollBar->SmallChange()));
    } else {
      MoveScrollBarPositionToPosTrace();
    }
    if (!PaintOnline) RunAfterChangeScrollBars();
  } else if (v > maximum) {
    if (v - maximum < 0.1L) {
      HorScrollBar->SetPosition(std::min(HorScrollBar->Max(), HorScrollBar->Position() + 2 * HorScrollBar->SmallChange()));
      if (!PaintOnline && HorScrollBar->Position() == HorScrollBar->Max()) RunAfterChangeScrollBars();
    } else {
      MoveScrollBarPositionToPosTrace();
      if (!PaintOnline) RunAfterChangeScrollBars();
    }
  }
  v = std::clamp(v, static_cast<long double>(top->Minimum()), static_cast<long double>(top->Maximum()));
  if (TLineSeries* position = PositionSeries_[static_cast<size_t>(NumRadar)]) {
    TChart* chart = GetChartByIndx(NumRadar);
    position->Clear();
    position->AddXY(static_cast<double>(v), 0);
    position->AddXY(static_cast<double>(v), chart ? chart->LeftAxis()->Maximum() : 0);
    if (chart) chart->Invalidate();
  }
  // The simple page's marker buttons follow the position.
  if (shell_.Layout->SimpleMode()) UpdateSimpleMarkerButtons(false);
}

void TView2DForm::PaintIndicator(TRadar* Radar) {
  const TControlRadar* set = shell_.Radars->ControlRadar();
  TRadar* master = set ? set->GetMasterRadar() : nullptr;
  if (!master || !Radar) return;
  switch (master->CurMode()) {
    case cmWheel:
    case cmBiDirectionalWheel:
      if (Radar->ModeRadar() != TRadarRole::slave) {
        // The speed bar: full at 14, empty at 0.
        const int unit = ButtonPanel->Height() / 14;
        IndicatorTop = (14 - std::min<int>(Radar->MaxSpeedLimit(), 14)) * unit;
        ButtonPanel->SetColor(clBtnFace);
        ButtonPanel->Invalidate();
      }
      Radar->LastMaxSpeedLimit = Radar->MaxSpeedLimit();
      Radar->SetMaxSpeedLimit(0);
      break;
    case cmCont: {
      const TColor colour = ButtonPanel->Color();
      ButtonPanel->SetColor(colour == kGreen || colour == clBtnFace ? kYellow : kGreen);
      break;
    }
    case cmCursor: WheelHandler(); break;
    default: break;
  }
}

void TView2DForm::WheelHandler() {
  if (shell_.Layout->isCloseChild()) return;
  const TControlRadar* set = shell_.Radars->ControlRadar();
  TRadar* master = set ? set->GetMasterRadar() : nullptr;
  if (!master) return;
  const int32_t t = master->CurWheelTicks.exchange(0);
  const bool held =
      !shell_.Recording->RadarStarted() && master->GPSstate() != gpsNone && !shell_.Layout->SimpleMode();
  if (!held) {
    for (int i = 0; i < kChannelSlots; ++i) {
      T2Dview* store = GetView2DByIndx(i);
      if (!arChannalVisible[static_cast<size_t>(i)] || !store || !GetChartByIndx(i)) continue;
      store->SetPosTraces(store->PosTraces() + (store->Settings()->GetDirection() == back ? -t : t));
    }
  }
  if (t != 0) RefreshAndPaintWheelHandler();
}

void TView2DForm::RefreshAndPaintWheelHandler() {
  const TControlRadar* set = shell_.Radars->ControlRadar();
  const TRadar* master = set ? set->GetMasterRadar() : nullptr;
  if (master && (master->CurMode() == cmCont || master->CurMode() == cmCursor)) {
    ButtonPanel->SetColor(ButtonPanel->Color() == kYellow ? kGreen : kYellow);
    ButtonPanel->Repaint();
  }
  for (int i = 0; i < kChannelSlots; ++i)
    if (arChannalVisible[static_cast<size_t>(i)]) RefreshPositionSeries(i, -100, false);
}

void TView2DForm::ShiftLastPaint(int indx) {
  TRadar* radar = SlotRadarOf(indx);
  const T2Dview* store = GetView2DByIndx(indx);
  if (!radar || !store) return;
  const int64_t received = radar->LastRecived;
  if (radar->LastPaint != received) return;
  const int64_t lo = store->MinNumTraces(), hi = store->MaxNumTraces();
  const int64_t preferred = GetDirection() == 1 ? received + 1 : received - 1;
  const int64_t other = GetDirection() == 1 ? received - 1 : received + 1;
  if (!Outside(preferred, lo, hi)) radar->LastPaint = preferred;
  else if (!Outside(other, lo, hi)) radar->LastPaint = other;
  else radar->LastPaint = received;
}

void TView2DForm::RefreshOnlineStrip() {
  if (!shell_.Recording->RadarStarted()) return;
  for (int i = 0; i < kChannelSlots; ++i)
    if (arChannalVisible[static_cast<size_t>(i)]) ShiftLastPaint(i);
}

// ---- Preparing a recording ------------------------------------------------------------------------

void TView2DForm::PrepareForRunning() {
  TControlRadar* set = shell_.Radars->ControlRadar();
  const bool radars = set && set->GetCountPluginRadars() > 0;
  storeStopPosted_ = false;
  storedChannels_ = 0;
  IndicatorTop = -1;
  if (radars) {
    const T2Dview* master = GetView2DByIndx(MasterChannal);
    if (master && master->Settings()->GetTopoType() == ttGPS && View2D_[0]) View2D_[0]->Settings()->SetWheelStep(25);
  }
  const TSettingData* zero = View2D_[0] ? View2D_[0]->Settings() : nullptr;
  for (int indx = 0; indx < kChannelSlots; ++indx) {
    T2Dview* store = GetView2DByIndx(indx);
    TChart* chart = GetChartByIndx(indx);
    if (!store || !chart) continue;
    TSettingData& settings = *store->Settings();
    if (TRadar* radar = SlotRadarOf(indx)) {
      radar->LastPaint = store->PosTraces();
      radar->LastRecived = store->PosTraces();
    }
    if (settings.GetRunMode() != rmWheel) settings.SetTopoType(ttNil);
    if (indx == 0) {
      const TRadar* radar = SlotRadarOf(0);
      const bool wasGpsPage = LeftPageControl->ActivePageIndex() == kGpsPageIndex;
      if (radar && radar->GPSstate() != gpsNone) {
        LeftPageControl->SetWidth(463);
        FormResize(nullptr);
        LeftPageControl->SetActivePageIndex(kGpsPageIndex);
        FitLeftPageControl();
      } else {
        LeftPageControl->SetActivePageIndex(0);
        if (wasGpsPage) FitLeftPageControl();
      }
    } else if (zero) {
      settings.SetRunMode(zero->GetRunMode());
      settings.SetTopoType(zero->GetTopoType());
      settings.SetWheelMult(zero->GetWheelMult());
      settings.SetWheelStep(zero->GetWheelStep());
      settings.SetSpanIndex(zero->GetSpanIndex());
      settings.SetSpeedLight(zero->GetSpeedLight());
      settings.SetOverStep(zero->GetOverStep());
      settings.SetDirection(zero->GetDirection());
      settings.SetComments(zero->GetComments());
    }
    auto& visible = OnRunBmp_[static_cast<size_t>(indx)];
    if (!visible) {
      visible = std::make_unique<TBitmap>();
      visible->SetPixelFormat(pf8bit);
      visible->Canvas()->Pen()->SetStyle(psClear);
      visible->Canvas()->Brush()->SetColor(static_cast<TColor>(0x7F7F7F));
    }
    auto& strip = OnRunBmpFull_[static_cast<size_t>(indx)];
    if (!strip) {
      SizeOnRunBmpFull_begin = os::TStripRange{}.Begin;
      SizeOnRunBmpFull_end = os::TStripRange{}.End;
      OnRunBmpFullOrigin_[static_cast<size_t>(indx)] = SizeOnRunBmpFull_begin;
      strip = std::make_unique<TBitmap>();
      os::ResetStrip(*strip, os::TStripRange{SizeOnRunBmpFull_begin, SizeOnRunBmpFull_end}, settings.GetLongTrace());
    }
    HorScrollBar->SetEnabled(false);
    VertScrollBar->SetEnabled(false);
    Application->ProcessMessages();
    PaintToScreen(indx);
    visible->SetSize(10, settings.GetLongTrace());
    visible->SetPalette(PalMaker1->GetPal());
    strip->SetPalette(PalMaker1->GetPal());
  }
  if (View2D_[0] && View2D_[0]->NumTraces() < 20) Zoom();
  ShowInfo();
  Panel5->SetAlign(alClient);
  const T2Dview* master = GetView2DByIndx(MasterChannal);
  const bool byDistance = master && orec::IsDistanceTopoType(master->Settings()->GetTopoType());
  DistanceMenu->SetEnabled(byDistance);
  if (TChart* masterChart = GetChartByIndx(MasterChannal)) masterChart->TopAxis()->SetTitle(LoadResString(SDistanceM));
  TracesMenu->SetChecked(!DistanceMenu->Enabled());
  InitOnlinePlugin();
  ApplySimpleStretch();
}

void TView2DForm::InitOnlinePlugin() {
  for (int i = 0; i < CountChannalView && i < kChannelSlots; ++i)
    if (T2Dview* store = GetView2DByIndx(i))
      if (auto* stages = dynamic_cast<TOnlineStageSet*>(store->OnlineStages())) stages->InitChain();
}

void TView2DForm::GetOnlinePlaginsParameters() {
  for (T2Dview* store : View2D_)
    if (store) store->ReadOnlinePlaginsParameters();
}

// ---- Conversions and small members -------------------------------------------------------------

int64_t TView2DForm::DistToMasterTrace(long double m) const {
  const T2Dview* master = GetView2DByIndx(MasterChannal);
  return master ? dp::MetresToTraces(m, master->Settings()->GetMeasureStep()) : 0;
}

long double TView2DForm::TraceToDistView(int64_t trace, int channel, bool proportional) const {
  const T2Dview* store = GetView2DByIndx(channel);
  if (!store) return 0;
  long double m = static_cast<long double>(trace) * store->Settings()->GetMeasureStep() / 1000.0L;
  if (proportional && MetreMode(proportional_) && ProportionalCoefic != 0) m /= ProportionalCoefic;
  return m + static_cast<long double>(deviceX_) / 100000.0L;
}

int64_t TView2DForm::DistToTraceView(int channel, bool proportional, long double m) const {
  const T2Dview* store = GetView2DByIndx(channel);
  if (!store) return 0;
  const long double step = store->Settings()->GetMeasureStep() / 1000.0L;
  if (!(step != 0)) return 0;
  if (proportional && MetreMode(proportional_)) m *= ProportionalCoefic;
  return Round(m / step);
}

int TView2DForm::GetDirection() const {
  const T2Dview* store = View2D_[0];
  return store ? static_cast<int>(store->Settings()->GetDirection()) : 0;
}

void TView2DForm::SetDirection(int NewDirection) {
  for (T2Dview* store : View2D_)
    if (store) store->Settings()->SetDirection(NewDirection == 1 ? back : forth);
  SaveDefault();
}

void TView2DForm::ProcessMessagesToolWnd() { Application->ProcessMessages(); }

void TView2DForm::FitLeftPageControl() {
  if (LeftPageControl->Width() <= 0) return;
  LeftPageControl->SetWidth(LeftPageControl->ActivePage() == GPSTabSheet ? 463 : 270);
  FormResize(nullptr);
  ResizeAxis();
  WasPaint = false;
  PaintAllScreen();
}

// ---- The paint thread and the reader threads' messages -----------------------------------------

void TView2DForm::WMSysCommand(TMessage& Message) {
  if (shell_.Recording->RadarStarted()) return;
  const WPARAM command = Message.WParam & 0xFFF0;
  if (command != SC_MINIMIZE && command != SC_MAXIMIZE) {
    DefaultHandler(Message);
    return;
  }
  if (!shell_.Layout->StartResize()) DefaultHandler(Message);
  if (!shell_.Layout->isCloseChild()) Zoom();
}

void TView2DForm::WMMdiDestroy(TMessage& Message) {
  if (!shell_.Layout->StartResize()) DefaultHandler(Message);
}

void TView2DForm::CreateOnlinePaint() {
  // A recording window keeps its place and size while it records.
  SetMessageHandler(WM_SYSCOMMAND, [this](TMessage& message) { WMSysCommand(message); });
  SetMessageHandler(WM_MDIDESTROY, [this](TMessage& message) { WMMdiDestroy(message); });
  SetMessageHandler(WM_ONLINESTEPEND, [this](TMessage&) { OnlineStepEnded(); });
  SetMessageHandler(WM_ONLINENMEA, [this](TMessage&) { TakePendingNmea(); });
  SetMessageHandler(WM_ONLINESTORED, [this](TMessage&) { MarkRecorded(); });
  SetMessageHandler(WM_ONLINESTORESTOP, [this](TMessage& message) {
    const int channel = static_cast<int>(message.WParam);
    ShowMessage(Format(LoadResString(message.LParam ? SRecordingOutOfMemory : SRecordingRangeEnded), {channel}));
    if (RunChecked()) {
      shell_.Run->SetRunActionChecked(false);
      shell_.Run->RunActionExecute();
    }
  });
  // The speed bar of a wheel recording: red from IndicatorTop to the bottom of
  // the "<" strip.
  ButtonPanel->OnPaint = [this](TObject*) {
    if (IndicatorTop < 0) return;
    TCanvas& canvas = *ButtonPanel->Canvas();
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(kRed);
    canvas.FillRect(Rect(0, IndicatorTop, ButtonPanel->Width(), ButtonPanel->Height()));
  };
  OnlinePaintThread.reset(new TOnlinePaintThread(this));
  OnlinePaintThread->AfterConstruction();
}

void TView2DForm::FreeOnlinePaint() {
  if (!OnlinePaintThread) return;
  OnlinePaintThread->SetOwner(nullptr);
  OnlinePaintThread->Terminate();
  OnlinePaintThread.reset();
}
