#include "tools/compressor.h"

#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "tools/compressor_form.h"
#include "tools/compressor_kernel.h"
#include "tools/sample_magnitude.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <vector>

namespace {
// Samples of one piece of the pool's work: large enough that the hand-over is
// noise, small enough to stay in the caches.
constexpr int64_t kCompressorPieceSamples = 64 * 1024;
// Traces of one round between looks at the break flag, in bytes.
constexpr int64_t kRoundBytes = 4 * 1024 * 1024;
}  // namespace

TCompressor::TCompressor(uint16_t w) : TToolBase<TCompressorParam>(w) {
  SetCaption(LoadResString(SCompressorCaption));
  // A fixed name, not a text of the language.
  AToolName = QString::fromUtf16(SCompressorToolName.english);
  AToolDscr = LoadResString(SCompressorDescription);
  AExecuting = true;
  Base = 200;
  FillAllSets();
  typeOfPlugin = simple;
  NeedWndPaint = false;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("COMPRESSOR_ICON1"), QStringLiteral("COMPRESSOR_ICON2"));
}

void TCompressor::execute(bool first, int32_t NumberView) {
  if (runing) return;
  if (GetViewByIndx(NumberView)) {
    IToolHost& host = Host();
    host.SetProgressWidth(NumberView, host.ProgressFullWidth());
  }
  TToolBase<TCompressorParam>::execute(first, NumberView);
  PrepareCurve();
}

int64_t TCompressor::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                    TRunYield& yield) {
  if (traces <= 0 || longTrace <= 0) return traces;
  if (!yield.Continue()) return 0;
  TWorkerPool& pool = TWorkerPool::Instance();
  const int64_t samples = traces * longTrace;

  std::atomic<uint32_t> largest{0};
  pool.RunChunked(0, samples, kCompressorPieceSamples, [&](int64_t a, int64_t b) {
    const uint32_t m = LargestMagnitude(in + a, b - a);
    uint32_t seen = largest.load(std::memory_order_relaxed);
    while (m > seen && !largest.compare_exchange_weak(seen, m, std::memory_order_relaxed)) {
    }
  });
  const TCompressorCurve curve(largest.load(), SlopeFactor());

  // A table costs A + 1 arctangents, the direct way one a sample.
  std::vector<int32_t> table;
  if (static_cast<int64_t>(curve.Largest()) <= samples) {
    table.resize(static_cast<size_t>(curve.Largest()) + 1);
    pool.RunChunked(0, static_cast<int64_t>(table.size()), 4096,
                    [&](int64_t a, int64_t b) { FillCompressorTable(table.data(), a, b, curve); });
  }
  const auto part = [&](int64_t a, int64_t b) {
    const int64_t from = a * longTrace;
    const int64_t n = (b - a) * longTrace;
    if (table.empty()) {
      CompressDirect(in + from, out + from, n, curve);
    } else {
      CompressByTable(in + from, out + from, n, table.data());
    }
  };
  const int64_t round =
      std::max<int64_t>(1, kRoundBytes / (static_cast<int64_t>(longTrace) * 4)) * pool.ThreadCount();
  int64_t done = 0;
  while (done < traces) {
    const int64_t end = std::min(traces, done + round);
    pool.RunChunked(done, end, std::max<int64_t>(1, kCompressorPieceSamples / longTrace), part);
    done = end;
    if (!yield.Continue()) break;
  }
  return done;
}

void TCompressor::PrepareCurve() {
  if (auto* form = dynamic_cast<TCompressorForm*>(Form())) form->DrawCurve(CompressorCurvePoints(Base));
}

void TCompressor::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  str.WriteValue<int32_t>(Base);
}

void TCompressor::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  if (head.Format >= 32) fields.Read(Base);
  SaveParamPlugin(NumberView);
}

void TCompressor::ReadFromStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadOldToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  fields.Read(Base);
  SaveParamPlugin(NumberView);
}

TToolForm* TCompressor::CreateForm() { return TComponent::Create<TCompressorForm>(Application); }
