#pragma once
// What the band filter's and the low/high-pass filter's tests share: channels
// with an antenna unit and a time window, and record bodies read back as the
// chain reader hands them over.

#include "platform/rtl/streams.h"
#include "profiledata/channel_store.h"
#include "profiledata/gpr_constants.h"
#include "profiledata/setting_data.h"
#include "tools/common_tool.h"

#include <QByteArray>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace frequency_filter_test_support {

// A channel of `traces` traces of `longTrace` samples over `spanWidth` ns, for
// the antenna unit `unit`; samples from `samples` when given (else zeros).
inline std::unique_ptr<T2Dview> MakeFilterChannel(int64_t traces, int longTrace, double spanWidth,
                                                  TTypeGPR unit = unknown, const std::vector<int32_t>& samples = {}) {
  auto view = std::make_unique<T2Dview>(nullptr);
  view->Settings()->SetTypeGPR(unit);
  view->Settings()->RestoreLongTrace(longTrace);
  view->Settings()->RestoreSpanWidth(spanWidth);
  view->SetMinNumTraces(0);
  view->SetMaxNumTraces(traces);
  view->SetSizeDat(traces * longTrace * 4);
  view->dezoData.Allocate(traces * longTrace * 4);
  if (!samples.empty()) std::memcpy(view->dezoData.Data(), samples.data(), samples.size() * sizeof(int32_t));
  return view;
}

inline std::vector<int32_t> Repeat(const std::vector<int32_t>& trace, int times) {
  std::vector<int32_t> all;
  for (int i = 0; i < times; ++i) all.insert(all.end(), trace.begin(), trace.end());
  return all;
}

inline std::vector<int32_t> ChannelSamples(const T2Dview& view) {
  const int32_t* p = view.dezoData.Data();
  return std::vector<int32_t>(p, p + view.dezoData.Samples());
}

inline std::vector<int32_t> BlockSamples(const TSampleBlock* block) {
  return block ? std::vector<int32_t>(block->Data(), block->Data() + block->Samples()) : std::vector<int32_t>{};
}

// A tool's record written and positioned after its end offset and name.
inline TMemoryStream WrittenBody(TCommonTool& tool) {
  TMemoryStream stream;
  tool.SaveToStream(stream);
  stream.SetPosition(4);
  TCommonTool::ReadShortString(stream);
  return stream;
}

inline QByteArray Utf16Bytes(const QString& s) {
  return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

}  // namespace frequency_filter_test_support
