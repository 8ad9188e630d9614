#include "tools/tvgc_tool.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "profiledata/channel_hooks.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/online_parameters.h"
#include "tools/gain_kernel.h"
#include "tools/tool_host.h"
#include "tools/tool_strings.h"
#include "tools/tvgc_form.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cstring>

namespace {

// Traces of one round on the worker pool between looks at the break flag.
constexpr int64_t kRoundBytes = 4 * 1024 * 1024;

// to := the box and the points of from, point by point in row order; a point on
// a row taken already is dropped (Assign would pad the list with (0, 0) points
// after a refused one).
void CopyCurve(TListOfDots& to, const TListOfDots& from) {
  to.Clear();
  to.SetTop(from.GetTop());
  to.SetLeft(from.GetLeft());
  to.SetWidth(from.Getwidth());
  to.SetHeight(from.GetHeight());
  for (int i = 0; i < from.GetCount(); ++i) to.SetVal(to.GetCount(), from.GetVal(i));
}

}  // namespace

TGainCurveHolder& TGainCurveHolder::operator=(const TGainCurveHolder& other) {
  if (this == &other) return *this;
  if (other.curve_)
    Set(*other.curve_);
  else
    curve_.reset();
  return *this;
}

void TGainCurveHolder::Set(const TListOfDots& curve) {
  if (!curve_) curve_ = std::make_unique<TListOfDots>();
  if (curve_.get() == &curve) return;
  CopyCurve(*curve_, curve);
}

TTVGC::TTVGC(uint16_t w) : TToolBase<TTVGCParam>(w) {
  SetCaption(LoadResString(STVGCCaption));
  AToolName = QString::fromUtf16(STVGCToolName.english);
  AToolDscr = LoadResString(STVGCDescription);
  AExecuting = true;
  typeOfPlugin = simple;
  CurrentNumberView = 0;
  // The five sets: Apply and no curve (the defaults of TTVGCParam).
  ListofBaseDots.SetLeft(BoxLeft);
  ListofBaseDots.SetTop(BoxTop);
  ListofBaseDots.SetWidth(BoxWidth);
  ListofBaseDots.SetHeight(NoViewHeight);
  ResetToZeroLine();
  MainListDots.Assign(ListofBaseDots);
  LoadIcons(QStringLiteral("TVGC_ICON1"), QStringLiteral("TVGC_ICON2"));
}

int64_t TTVGC::FullBoxHeight(int32_t channel) const {
  const T2Dview* view = GetViewByIndx(channel);
  if (!view || !view->Settings()) return NoViewHeight;
  int32_t zoom = Host().ZoomFactor();
  if (zoom <= 0) zoom = 1000;
  const int64_t h = Round(static_cast<long double>(view->Settings()->GetLongTrace()) * 1000 / zoom);
  return std::max<int64_t>(h, 1);
}

int TTVGC::BoxHeight(int32_t channel) const {
  return static_cast<int>(std::min<int64_t>(FullBoxHeight(channel), TListOfDots::MaxRows));
}

void TTVGC::ResetToZeroLine() {
  const int centre = static_cast<int>(Round(ListofBaseDots.Getwidth() / 2.0L));
  ListofBaseDots.Clear();
  ListofBaseDots.SetPoint(0, centre, 0);
  ListofBaseDots.SetPoint(1, centre, ListofBaseDots.GetHeight());
}

TTVGCParam TTVGC::PackParams() const { return {AExecuting, TGainCurveHolder(ListofBaseDots)}; }

void TTVGC::UnpackParams(const TTVGCParam& set) {
  AExecuting = set.Apply;
  if (set.Curve) {
    CopyCurve(ListofBaseDots, *set.Curve);
  }
  if (!set.Curve || ListofBaseDots.GetCount() < 2) ResetToZeroLine();
}

void TTVGC::GetParam(int32_t NumberView) {
  if (!Valid(NumberView)) return;
  UnpackParams(Param[static_cast<size_t>(NumberView)]);
  ListofBaseDots.SetLeft(BoxLeft);
  ListofBaseDots.SetTop(BoxTop);
  ListofBaseDots.SetWidth(BoxWidth);
  ListofBaseDots.SetHeight(BoxHeight(NumberView));
  ListofBaseDots.PrepaerValues();
}

void TTVGC::SetParam(int32_t NumberView, const TParametrsGain& P) {
  const TTVGCParam set{P.pApplay, TGainCurveHolder(P.pListOfBaseDots)};
  SetParam(NumberView, &set);
}

void TTVGC::SetAllParamAs(int32_t NumberView) {
  if (!Valid(NumberView)) return;
  TTVGCParam& source = Param[static_cast<size_t>(NumberView)];
  if (!source.Curve) source.Curve.Set(TListOfDots());
  for (int c = 0; c < ToolChannels; ++c)
    if (c != NumberView) Param[static_cast<size_t>(c)].Curve = source.Curve;
}

void TTVGC::SetParamView(T2Dview* view) {
  if (!view) return;
  const auto it = std::find(AView.begin(), AView.end(), view);
  if (it == AView.end()) return;
  GetParam(static_cast<int32_t>(it - AView.begin()));
  IOnlineStages* stages = view->OnlineStages();
  if (!stages) return;
  TListOfDots& online = stages->ListofBaseDots();
  CopyCurve(online, ListofBaseDots);
  stages->SetTVGCApplay(AExecuting);
  online.SetHeight(ListofBaseDots.GetHeight());
  online.PrepaerValues();
}

void TTVGC::AfterSetView_() {
  if (CurrentNumberView < 0) CurrentNumberView = 0;
  ListofBaseDots.SetLeft(BoxLeft);
  ListofBaseDots.SetTop(BoxTop);
  ListofBaseDots.SetWidth(BoxWidth);
  ListofBaseDots.SetHeight(BoxHeight(CurrentNumberView));
  ResetToZeroLine();
  MainListDots.Assign(ListofBaseDots);
  if (GetViewByIndx(0)) ListofBaseDots.PrepaerValues();
}

void TTVGC::execute(bool first, int32_t NumberView) {
  if (runing) return;
  if (GetViewByIndx(NumberView)) {
    IToolHost& host = Host();
    host.SetProgressWidth(NumberView, host.ProgressFullWidth());
  }
  runChannel_ = NumberView;
  TToolBase<TTVGCParam>::execute(first, NumberView);
}

int64_t TTVGC::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield&) {
  if (traces <= 0 || longTrace <= 0) return traces;
  // GetParam of the run fitted the curve to this channel's box and made its tables.
  const int32_t zoom = Host().ZoomFactor();
  const TSampleGains gains = SampleGains(ListofBaseDots, longTrace, zoom, FullBoxHeight(runChannel_));
  const long double* g = gains.Gain.data();
  const double* gd = gains.GainD.data();
  const auto L = static_cast<int64_t>(longTrace);
  const auto part = [&](int64_t a, int64_t b) {
    for (int64_t t = a; t < b; ++t) ApplyGainToTrace(in + t * L, out + t * L, longTrace, g, gd);
  };
  TWorkerPool& pool = TWorkerPool::Instance();
  const int64_t round = std::max<int64_t>(pool.ThreadCount(), kRoundBytes / (L * 4));
  IToolHost& host = Host();
  int64_t done = 0;
  while (done < traces) {
    const int64_t end = std::min(traces, done + round);
    pool.Run(done, end, part);
    done = end;
    // No message processing inside the run; a stop keeps the traces processed.
    if (done < traces && host.Br()) {
      std::memcpy(out + done * L, in + done * L, static_cast<size_t>((traces - done) * L) * sizeof(int32_t));
      break;
    }
  }
  return done;
}

// ---- Records ------------------------------------------------------------------------

void TTVGC::SaveToStream(TStream& str) {
  {
    TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
    const int n = ListofBaseDots.GetCount();
    str.WriteValue<int32_t>(n);
    for (int i = 0; i < n; ++i) {
      const TPoint p = ListofBaseDots.GetVal(i);
      str.WriteValue<int32_t>(p.X);
      str.WriteValue<int32_t>(p.Y);
    }
  }
  MainListDots.Assign(ListofBaseDots);
}

void TTVGC::ReadCurve(TToolRecordFields& fields, bool reset) {
  int32_t n = 0;
  if (!fields.Read(n)) return;
  if (reset) {
    // The box stays; the points become the 0 dB line, then the record's.
    ResetToZeroLine();
  }
  // A curve holds at most MaxDots points: further ones are not read (the chain
  // reader goes on at the record's end). Positions out of the box are clamped:
  // columns into the box, rows to the tables' reach (the rows are those of the
  // writer's box and are fitted to this one afterwards).
  const int count = std::clamp(n, 0, TListOfDots::MaxDots);
  for (int i = 0; i < count; ++i) {
    int32_t x = 0, y = 0;
    if (!fields.Read(x) || !fields.Read(y)) break;
    x = std::clamp(x, 0, ListofBaseDots.Getwidth());
    y = std::clamp(y, 0, static_cast<int32_t>(TListOfDots::MaxRows));
    ListofBaseDots.SetPoint(i, x, y);
  }
}

void TTVGC::FinishReading(int32_t NumberView) {
  if (ListofBaseDots.GetCount() < 2) ResetToZeroLine();
  ListofBaseDots.Resize();
  ListofBaseDots.PrepaerValues();
  SaveParamPlugin(NumberView);
}

void TTVGC::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadToolRecordHead(fields);
  if (head.Format < RecordFormat) return;
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  ReadCurve(fields, true);
  FinishReading(NumberView);
}

void TTVGC::ReadFromStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadOldToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  ReadCurve(fields, false);
  FinishReading(NumberView);
}

// ---- Auto ---------------------------------------------------------------------------

bool TTVGC::AutoCurves() {
  const T2Dview* first = GetViewByIndx(0);
  if (!first || first->NumTraces() < 1) return false;
  isAutoCreateGain = true;
  for (int c = 0; c < ToolChannels; ++c) {
    GetParam(c);
    const T2Dview* view = GetViewByIndx(c);
    const int32_t* input = GetLocDataByIndx(c);
    if (!view || !input || !view->Settings()) continue;
    const int L = view->Settings()->GetLongTrace();
    if (L <= 0) continue;
    const int64_t traces = std::min<int64_t>(view->NumTraces(), GetSizeLocDataByIndx(c) / 4 / L);
    if (traces <= 2) continue;
    const std::vector<double> mean = MeanEnvelope(input, traces, L);
    ListofBaseDots.GenBaseDots(mean.data(), L);
    SaveParamPlugin(c);
  }
  GetParam(CurrentNumberView);
  return true;
}

TToolForm* TTVGC::CreateForm() { return TComponent::Create<TTVGCForm>(Application); }
