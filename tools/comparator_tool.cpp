#include "tools/comparator_tool.h"

#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "tools/comparator_form.h"
#include "tools/comparator_kernel.h"
#include "tools/sample_magnitude.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <mutex>

namespace {
// Samples of one piece of the pool's work over a saved input.
constexpr int64_t kPieceSamples = 64 * 1024;
}  // namespace

TComparatorTool::TComparatorTool(uint16_t w) : TToolBase<TComparatorParam>(w) {
  SetCaption(LoadResString(SComparatorCaption));
  AToolName = QString::fromUtf16(SComparatorToolName.english);
  AToolDscr = LoadResString(SComparatorDescription);
  AExecuting = true;
  Threshold = 1;
  ThresholdMax = InitialThresholdMax;
  locBmpComp = std::make_unique<TBitmap>();
  locBmpComp->SetSize(GodographWidth, GodographHeight);
  NeedWndPaint = false;
  FillAllSets();
  typeOfPlugin = simple;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("COMPARATOR_ICON1"), QStringLiteral("COMPARATOR_ICON2"));
}

TComparatorTool::~TComparatorTool() = default;

void TComparatorTool::execute(bool first, int32_t NumberView) {
  if (runing) return;
  if (GetViewByIndx(NumberView)) {
    IToolHost& host = Host();
    host.SetProgressWidth(NumberView, host.ProgressFullWidth());
  }
  TToolBase<TComparatorParam>::execute(first, NumberView);
}

void TComparatorTool::ProcessTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end,
                                    int longTrace) const {
  const int64_t from = first * longTrace;
  ZeroBelowThreshold(in + from, out + from, (end - first) * longTrace, Threshold);
}

TBitmap* TComparatorTool::GetGodograph() {
  const int32_t* data = GetLocDataByIndx(CurrentNumberView);
  const int64_t samples = GetSizeLocDataByIndx(CurrentNumberView) / static_cast<int64_t>(sizeof(int32_t));
  if (!data || samples <= 0) return locBmpComp.get();

  TWorkerPool& pool = TWorkerPool::Instance();
  std::atomic<uint32_t> largest{0};
  pool.RunChunked(0, samples, kPieceSamples, [&](int64_t a, int64_t b) {
    const uint32_t m = LargestMagnitude(data + a, b - a);
    uint32_t seen = largest.load(std::memory_order_relaxed);
    while (m > seen && !largest.compare_exchange_weak(seen, m, std::memory_order_relaxed)) {
    }
  });
  // A field of 32 bits: a channel of -2147483648 reads 2147483647 (its samples
  // still fall into the top bin).
  const uint32_t top = std::clamp<uint32_t>(largest.load(), 1, std::numeric_limits<int32_t>::max());
  ThresholdMax = static_cast<int32_t>(top);

  TAmplitudeCounts counts{};
  std::mutex merge;
  pool.RunChunked(0, samples, kPieceSamples, [&](int64_t a, int64_t b) {
    TAmplitudeCounts part{};
    CountAmplitudes(data + a, b - a, top, part);
    std::lock_guard lock(merge);
    for (size_t i = 0; i < counts.size(); ++i) counts[i] += part[i];
  });
  const int64_t fullest = *std::max_element(counts.begin(), counts.end());

  TCanvas& canvas = *locBmpComp->Canvas();
  canvas.FillRect({0, 0, locBmpComp->Width(), locBmpComp->Height()});
  for (int i = 0; i < GodographBins; ++i) {
    // ceil(160 count / fullest); fullest > 0 as there are samples.
    const int64_t length = (int64_t{GodographWidth} * counts[static_cast<size_t>(i)] + fullest - 1) / fullest;
    canvas.MoveTo(0, GodographHeight - i);
    canvas.LineTo(static_cast<int>(length), GodographHeight - i);
  }
  return locBmpComp.get();
}

void TComparatorTool::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  str.WriteValue<int32_t>(Threshold);
}

void TComparatorTool::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  if (head.Format >= 32) fields.Read(Threshold);
  SaveParamPlugin(NumberView);
}

void TComparatorTool::ReadFromStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadOldToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  fields.Read(Threshold);
  SaveParamPlugin(NumberView);
}

TToolForm* TComparatorTool::CreateForm() { return TComponent::Create<TComparatorForm>(Application); }
