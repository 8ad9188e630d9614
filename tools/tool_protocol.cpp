#include "tools/tool_protocol.h"

#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tools/saved_copies.h"
#include "tools/tool_host.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {
std::function<int64_t()>& SliceClock() {
  static std::function<int64_t()> clock;
  return clock;
}

int64_t NowMs() {
  if (const auto& clock = SliceClock()) return clock();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Bytes of one thread's block of traces when the yield policy allows more than
// one trace between yields: large enough that the pool's hand-over is noise,
// small enough to stay in the caches and to stop soon after a break.
constexpr int64_t BlockBytes = 256 * 1024;

void CopySamples(int32_t* out, const int32_t* in, int64_t from, int64_t to) {
  if (to > from) std::memcpy(out + from, in + from, static_cast<size_t>(to - from) * sizeof(int32_t));
}

}  // namespace

// The run flag for the length of execute, cleared on every way out; then the
// dialog requests that came during the run.
class TToolProtocol::TRunScope {
public:
  explicit TRunScope(TToolProtocol& tool) : tool_(tool) { tool_.BeginRun(); }
  ~TRunScope() {
    tool_.EndRun();
    tool_.FinishDeferredRequests();
  }
  TRunScope(const TRunScope&) = delete;
  TRunScope& operator=(const TRunScope&) = delete;

private:
  TToolProtocol& tool_;
};

void SetToolSliceClock(std::function<int64_t()> clock) { SliceClock() = std::move(clock); }

TRunYield::TRunYield(IToolHost& host, TYieldPolicy policy, bool breakable)
    : host_(host), policy_(policy), breakable_(breakable), lastYield_(NowMs()) {}

bool TRunYield::Continue() {
  if (policy_ == TYieldPolicy::None) return true;
  if (breakable_ && host_.Br()) {
    broke_ = true;
    return false;
  }
  if (policy_ == TYieldPolicy::BreakOnly) return true;
  if (policy_ == TYieldPolicy::PerSlice) {
    const int64_t now = NowMs();
    if (now - lastYield_ < ToolYieldSliceMs) return true;
    lastYield_ = now;
  }
  host_.Yield();
  return true;
}

int64_t RunTracesInRounds(int64_t traces, int64_t chunk, int64_t perRound,
                          const std::function<void(int64_t, int64_t)>& part, TRunYield& yield) {
  TWorkerPool& pool = TWorkerPool::Instance();
  chunk = std::max<int64_t>(chunk, 1);
  const int64_t round = std::max<int64_t>(chunk * pool.ThreadCount() * perRound, 1);
  int64_t done = 0;
  while (done < traces) {
    const int64_t end = std::min(traces, done + round);
    pool.RunChunked(done, end, chunk, part);
    done = end;
    if (!yield.Continue()) break;
  }
  return done;
}

void TToolProtocol::ProcessTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end, int longTrace) const {
  CopySamples(out, in, first * longTrace, end * longTrace);
}

int64_t TToolProtocol::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield&) {
  CopySamples(out, in, 0, traces * longTrace);
  return traces;
}

void TToolProtocol::execute(bool first, int32_t NumberView) {
  if (runing) return;
  TRunScope running(*this);
  T2Dview* view = GetViewByIndx(NumberView);
  if (!view) return;
  GetParam(NumberView);

  const int64_t bytes = view->SizeDat();
  if (bytes <= 0 || view->dezoData.Bytes() < bytes) return;
  auto& store = TSavedCopyStore::Instance();
  TSavedCopyPin pin(CopyOwner(), NumberView);
  const TSampleBlock* input = nullptr;
  int32_t* out = view->dezoData.Data();
  if (!first) {
    // An allocation failure here leaves the display buffer, the input, as it was.
    TSampleBlock& copy = store.Ensure(CopyOwner(), NumberView, bytes);
    std::memcpy(copy.Data(), out, static_cast<size_t>(bytes));
    input = &copy;
  } else {
    input = store.Find(CopyOwner(), NumberView);
    if (!input || input->Empty() || input->Bytes() != bytes) return;
  }

  const int64_t samples = input->Samples();
  if (!AExecuting) {
    std::memcpy(out, input->Data(), static_cast<size_t>(bytes));
  } else {
    const int longTrace = view->Settings() ? view->Settings()->GetLongTrace() : 0;
    const int64_t traces = longTrace > 0 ? std::min<int64_t>(view->NumTraces(), bytes / 4 / longTrace) : 0;
    try {
      RunKernel(input->Data(), out, samples, std::max<int64_t>(traces, 0), longTrace);
    } catch (...) {
      std::memcpy(out, input->Data(), static_cast<size_t>(bytes));
      throw;
    }
  }
  if (DialogLive()) GetParam(CurrentNumberView);
}

void TToolProtocol::RunKernel(const int32_t* in, int32_t* out, int64_t samples, int64_t traces, int longTrace) {
  const TRunPolicy policy = RunPolicy();
  TRunYield yield(Host(), policy.Yield, policy.Break != TBreakPolicy::NoBreak);
  int64_t done = 0;
  if (policy.Kernel == TKernelKind::WholeChannel) {
    done = std::clamp<int64_t>(ProcessChannel(in, out, traces, longTrace, yield), 0, traces);
  } else {
    TWorkerPool& pool = TWorkerPool::Instance();
    const int64_t perThread = policy.Yield == TYieldPolicy::PerTrace
                                  ? 1
                                  : std::max<int64_t>(1, BlockBytes / (static_cast<int64_t>(longTrace) * 4));
    const int64_t round = perThread * pool.ThreadCount();
    const auto part = [&](int64_t a, int64_t b) { ProcessTraces(in, out, a, b, longTrace); };
    while (done < traces) {
      const int64_t end = std::min(traces, done + round);
      pool.Run(done, end, part);
      done = end;
      if (!yield.Continue()) break;
    }
  }
  // Samples past the last whole trace are no trace's: they pass unchanged.
  CopySamples(out, in, traces * static_cast<int64_t>(std::max(longTrace, 0)), samples);
  if (!yield.Broke()) return;
  switch (policy.Break) {
    case TBreakPolicy::KeepProcessed:
      CopySamples(out, in, done * longTrace, traces * static_cast<int64_t>(longTrace));
      break;
    case TBreakPolicy::InputApplyOff:
      SetAllApply(false);
      AExecuting = false;
      RefreshPropertyes();
      [[fallthrough]];
    case TBreakPolicy::RestoreInput:
      CopySamples(out, in, 0, samples);
      break;
    case TBreakPolicy::NoBreak:
      break;
  }
}
