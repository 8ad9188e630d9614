#include "tools/dq_tool.h"

#include "platform/ui/application.h"
#include "tools/dq_form.h"
#include "tools/dq_kernel.h"
#include "tools/tool_host.h"
#include "tools/tool_strings.h"
#include "tools/worker_pool.h"

#include <algorithm>

namespace {
// Traces per thread of a frequency run's block: its envelopes are made ahead
// together, then its frequencies one by one with a yield after each.
constexpr int64_t TracesPerThread = 64;
// Traces a thread takes at a time.
constexpr int64_t EnvelopeChunk = 4;

void EnvelopesInParallel(const int32_t* in, int32_t* out, int64_t first, int64_t end, int longTrace,
                         TOutputType mode) {
  TWorkerPool::Instance().RunChunked(first, end, EnvelopeChunk, [&](int64_t a, int64_t b) {
    DQEnvelopeTraces(in, out, a, b, longTrace, mode);
  });
}
}  // namespace

TDQ::TDQ(uint16_t w) : TInstantaneousTool(w) {
  SetCaption(LoadResString(SDQCaption));
  AToolName = QString::fromUtf16(SDQToolName.english);
  AToolDscr = LoadResString(SDQDescription);
  LoadIcons(QStringLiteral("DQ_ICON1"), QStringLiteral("DQ_ICON2"));
}

TRunPolicy TDQ::RunPolicy() const {
  if (OutputType == otFreq) return {TKernelKind::WholeChannel, TYieldPolicy::PerTrace, TBreakPolicy::InputApplyOff};
  return {TKernelKind::WholeChannel, TYieldPolicy::None, TBreakPolicy::NoBreak};
}

int64_t TDQ::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) {
  // The mode of the whole run: a dialog change reached through a yield re-runs it.
  const TOutputType mode = OutputType;
  const double timeWindow = RunSpanWidth();
  Host().Yield();

  if (mode != otFreq) {
    EnvelopesInParallel(in, out, 0, traces, longTrace, mode);
    return traces;
  }
  const int64_t round = TracesPerThread * TWorkerPool::Instance().ThreadCount();
  TPhaseHistory history;
  for (int64_t done = 0; done < traces;) {
    const int64_t end = std::min(traces, done + round);
    EnvelopesInParallel(in, out, done, end, longTrace, mode);
    for (; done < end; ++done) {
      const int64_t at = done * longTrace;
      DQFrequencyTrace(out + at, in + at, longTrace, timeWindow, history, out + at);
      if (!yield.Continue()) return done + 1;
    }
  }
  return traces;
}

TToolForm* TDQ::CreateForm() { return TComponent::Create<TDQForm>(Application); }
