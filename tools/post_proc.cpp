#include "tools/post_proc.h"

#include "platform/rtl/rounding.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "raster/bitmap32.h"
#include "radargram/view2d_form.h"
#include "tools/post_proc_frames.h"
#include "tools/post_proc_godograph.h"
#include "tools/tool_host.h"
#include "tools/window_tool_host.h"

#include <algorithm>

namespace {

// The level a window's overlays start with before the main window's values.
constexpr int32_t kHilbertMaxlevel = 50000;
constexpr int kMaxWinFreqSize = 21;
// The first progress step of the marking.
constexpr int kProgressStart = 2;

int LongTraceOf(const T2Dview& view) {
  const TSettingData* settings = view.Settings();
  return settings ? settings->GetLongTrace() : 0;
}

// The traces the channel's working data hold.
int64_t WorkingTraces(const T2Dview& view) {
  const int L = LongTraceOf(view);
  if (L <= 0 || view.SizeDat() <= 0) return 0;
  const int64_t bytes = std::min(view.SizeDat(), view.dezoData.Bytes());
  return std::max<int64_t>(bytes / 4 / L, 0);
}

}  // namespace

// ---- TPostProc ----------------------------------------------------------------------------

TPostProc::TPostProc(IToolHost& host, TPostProcKind kind) : host_(host), kind_(kind) {
  const TPostProcDefaults values = ToolShell().PostProcDefaults(kind);
  SetPosLevel(values.PosLevel);
  SetAlphaBlend(values.AlphaBlend);
  SetColor(values.Color);
  SetMinPnt(values.MinPnt);
}

TPostProc::~TPostProc() = default;

void TPostProc::SetPosLevel(int32_t value) { PosLevel_ = std::clamp(value, 0, 100); }

void TPostProc::SetAlphaBlend(int32_t value) { AlphaBlend_ = static_cast<uint8_t>(std::clamp(value, 0, 255)); }

void TPostProc::SetMinPnt(int32_t value) { MinPnt_ = std::max(value, 1); }

void TPostProc::RunPostProcMethod(int NumRadar, int NumProcess) {
  if (Runned_ || PosLevel_ == OldPosLevel_) return;
  Runned_ = true;
  bool panelShown = false;
  struct TEnd {
    TPostProc& self;
    int channel;
    bool& panelShown;
    ~TEnd() {
      self.ArBmp_.Reset(0, 0);
      if (panelShown) self.host_.ShowProgressPanel(channel, false);
      self.Runned_ = false;
    }
  } end{*this, NumRadar, panelShown};

  const bool lastChannel = NumRadar + 1 == host_.ShownChannelCount();
  if (lastChannel && RecordsLevelFirst()) OldPosLevel_ = PosLevel_;
  T2Dview* view = host_.ChannelView(NumRadar);
  if (!view || host_.Br() || !host_.HasChart(NumRadar) || !host_.LayerBitmap(NumRadar, NumProcess)) return;
  host_.ShowProgressPanel(NumRadar, true);
  panelShown = true;
  if (lastChannel && !RecordsLevelFirst()) OldPosLevel_ = PosLevel_;

  const int64_t traces = WorkingTraces(*view);
  if (!Prepare(NumRadar, *view, traces, lastChannel)) return;
  // The bitmap may have been replaced while messages were processed.
  const TBitmap32* bitmap = host_.LayerBitmap(NumRadar, NumProcess);
  if (!bitmap) return;
  const int T = static_cast<int>(std::min<int64_t>(traces, bitmap->Width()));
  const int S = std::min(LongTraceOf(*view), bitmap->Height());
  ArBmp_.Reset(T, S);
  const int W = host_.ProgressFullWidth();
  const auto progress = [&](int width) {
    host_.SetProgressWidth(NumRadar, width);
    host_.Yield();
  };
  progress(kProgressStart);
  Mark(NumRadar, *view, ArBmp_);
  progress(RoundToInt32(static_cast<long double>(W) / 3));
  MarkRegions(ArBmp_, MinPnt_);
  progress(RoundToInt32(static_cast<long double>(W) * 2 / 3));
  if (TBitmap32* layer = host_.LayerBitmap(NumRadar, NumProcess)) {
    PaintMarks(ArBmp_, Color_, *layer);
    layer->Changed();
  }
  progress(W);
}

// ---- TComparatorPostProc ---------------------------------------------------------------------

TComparatorPostProc::TComparatorPostProc(IToolHost& host) : TPostProc(host, ppComparator) {
  EnsureGodographBitmap(GodographBmp_);
}

void TComparatorPostProc::Mark(int channel, const T2Dview& view, TMarkGrid& grid) {
  MarkComparator(view.dezoData.Data(), LongTraceOf(view),
                 PostProcThreshold(Maxlevel_[static_cast<size_t>(channel)], PosLevel_), grid);
}

// ---- THilbertPostProc ------------------------------------------------------------------------

THilbertPostProc::THilbertPostProc(IToolHost& host, TPostProcKind kind) : TPostProc(host, kind) {
  Maxlevel_.fill(kHilbertMaxlevel);
  const TPostProcDefaults values = ToolShell().PostProcDefaults(kind);
  SetWinAmpSizeW(values.WinAmpSizeW);
  SetWinAmpSizeH(values.WinAmpSizeH);
}

const int32_t* THilbertPostProc::SaveBuf(int channel) const {
  if (channel < 0 || channel >= kChannelSlots) return nullptr;
  const std::vector<int32_t>& buffer = SaveBuf_[static_cast<size_t>(channel)];
  return buffer.empty() ? nullptr : buffer.data();
}

int64_t THilbertPostProc::SaveBufSize(int channel) const {
  return SaveBuf(channel) ? SaveBufSize_[static_cast<size_t>(channel)] : 0;
}

void THilbertPostProc::GetMinMaxLevel(int NumRadar) {
  if (NumRadar < 0 || NumRadar >= kChannelSlots) return;
  Maxlevel_[static_cast<size_t>(NumRadar)] = BufferMaxLevel(SaveBuf(NumRadar), SaveBufSize(NumRadar) / 4);
}

bool THilbertPostProc::Prepare(int channel, const T2Dview& view, int64_t traces, bool lastChannel) {
  const auto c = static_cast<size_t>(channel);
  if (isRunCalc_ || SaveBuf_[c].empty()) {
    SaveBuf_[c].clear();
    SaveBufSize_[c] = 0;
    const int64_t values = std::min(view.SizeDat(), view.dezoData.Bytes()) / 4;
    if (values > 0) {
      // The layout and size of the working data; values past the last whole
      // trace stay as they are.
      std::vector<int32_t> buffer(view.dezoData.Data(), view.dezoData.Data() + values);
      const int W = Host().ProgressFullWidth();
      const auto progress = [&](int64_t done) {
        Host().SetProgressWidth(channel, RoundToInt32(static_cast<long double>(W) * done / traces));
        Host().Yield();
        return true;
      };
      if (!ComputeBuffer(view, traces, buffer.data(), progress)) return false;
      SaveBuf_[c] = std::move(buffer);
      SaveBufSize_[c] = values * 4;
    }
    GetMinMaxLevel(channel);
    if (lastChannel) isRunCalc_ = false;
  }
  return true;
}

bool THilbertPostProc::ComputeBuffer(const T2Dview& view, int64_t traces, int32_t* out,
                                     const TPostProcProgress& progress) {
  return EnvelopeBuffer(view.dezoData.Data(), LongTraceOf(view), traces, out, progress);
}

void THilbertPostProc::Mark(int channel, const T2Dview& view, TMarkGrid& grid) {
  MarkAboveThreshold(SaveBuf(channel), LongTraceOf(view),
                     PostProcThreshold(Maxlevel_[static_cast<size_t>(channel)], PosLevel_), grid);
}

// ---- TFreqHilbertPostProc --------------------------------------------------------------------

TFreqHilbertPostProc::TFreqHilbertPostProc(IToolHost& host) : THilbertPostProc(host, ppFrequency) {
  SetWinFreqSize(ToolShell().PostProcDefaults(ppFrequency).WinFreqSize);
}

void TFreqHilbertPostProc::SetWinFreqSize(int32_t value) {
  value = std::clamp(value, 1, kMaxWinFreqSize);
  WinFreqSize_ = value % 2 == 0 ? value - 1 : value;
}

bool TFreqHilbertPostProc::ComputeBuffer(const T2Dview& view, int64_t traces, int32_t* out,
                                         const TPostProcProgress& progress) {
  const TSettingData* settings = view.Settings();
  return FrequencyBuffer(view.dezoData.Data(), LongTraceOf(view), traces, settings ? settings->GetSpanWidth() : 0, out,
                         progress);
}

void TFreqHilbertPostProc::Mark(int channel, const T2Dview& view, TMarkGrid& grid) {
  MarkFrequencyBand(SaveBuf(channel), LongTraceOf(view), WinFreqSize_, PosLevel_, grid);
}

// ---- Factory ---------------------------------------------------------------------------------

std::unique_ptr<TPostProc> MakePostProc(TPostProcKind kind, IToolHost& host) {
  switch (kind) {
    case ppComparator: return std::make_unique<TComparatorPostProc>(host);
    case ppHilbert: return std::make_unique<THilbertPostProc>(host);
    case ppFrequency: return std::make_unique<TFreqHilbertPostProc>(host);
  }
  return nullptr;
}

namespace {

class TToolsPostProcFactory final : public IPostProcFactory {
public:
  std::unique_ptr<IPostProcOverlay> CreateOverlay(TPostProcKind kind, TView2DForm& window) override {
    return MakePostProc(kind, TWindowToolHost::Of(window));
  }
  std::unique_ptr<IPostProcFrame> CreateFrame(TPostProcKind, IPostProcOverlay& overlay, TView2DForm& window,
                                              TWinControl* parent) override {
    auto* own = dynamic_cast<TPostProc*>(&overlay);
    if (!own) return nullptr;
    return MakePostProcFrame(*own, parent, [&window] { window.RunPostProcess(nullptr); });
  }
  void DrawAmplitudeGodograph(int width, int height, const int32_t* data, std::unique_ptr<TBitmap32>& bitmap,
                              int32_t maxlevel, int64_t count) override {
    ::DrawAmplitudeGodograph(width, height, data, bitmap, maxlevel, count);
  }
  void DrawWindowRangeGodograph(int width, int height, const int32_t* buffer, std::unique_ptr<TBitmap32>& bitmap,
                                const T2Dview& view, int window, int32_t, int64_t size) override {
    ::DrawWindowRangeGodograph(width, height, buffer, bitmap, view, window, size);
  }
  void DrawWindowContrastGodograph(int width, int height, const int32_t* buffer, std::unique_ptr<TBitmap32>& bitmap,
                                   const T2Dview& view, int window, int32_t, int64_t size) override {
    ::DrawWindowContrastGodograph(width, height, buffer, bitmap, view, window, size);
  }
};

}  // namespace

void RegisterPostProcFactory() {
  static TToolsPostProcFactory factory;
  SetPostProcFactory(&factory);
}
