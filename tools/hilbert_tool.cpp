#include "tools/hilbert_tool.h"

#include "platform/ui/application.h"
#include "profiledata/hilbert.h"
#include "tools/hilbert_form.h"
#include "tools/tool_strings.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cstring>

namespace {
// Traces per thread between two yields: enough that a thread slowed down by the
// rest of the machine is made up for by the others within the round.
constexpr int64_t TracesPerThread = 4;
}  // namespace

THilbert::THilbert(uint16_t w) : TInstantaneousTool(w) {
  SetCaption(LoadResString(SHilbertCaption));
  // The registry name is the English text whatever the language: chain records
  // carry it, and the factory and the window find tools by it.
  AToolName = QString::fromUtf16(SHilbertToolName.english);
  AToolDscr = LoadResString(SHilbertDescription);
  LoadIcons(QStringLiteral("HILBERT_ICON1"), QStringLiteral("HILBERT_ICON2"));
}

int64_t THilbert::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                 TRunYield& yield) {
  // The parameters of the whole run, read by the workers: a dialog change reached
  // through a yield re-runs the tool anyway.
  const int mode = OutputType;
  const double spanWidth = RunSpanWidth();
  TWorkerPool& pool = TWorkerPool::Instance();
  const auto transform = [&](int64_t a, int64_t b) {
    for (int64_t t = a; t < b; ++t) {
      int32_t* trace = out + t * longTrace;
      std::memcpy(trace, in + t * longTrace, static_cast<size_t>(longTrace) * sizeof(int32_t));
      HilbertTransformTrace(trace, longTrace, mode, spanWidth);
    }
  };
  const int64_t round = TracesPerThread * pool.ThreadCount();
  for (int64_t done = 0; done < traces;) {
    const int64_t end = std::min(traces, done + round);
    pool.RunChunked(done, end, 1, transform);
    done = end;
    if (!yield.Continue()) return done;
  }
  return traces;
}

TToolForm* THilbert::CreateForm() { return TComponent::Create<THilbertForm>(Application); }
