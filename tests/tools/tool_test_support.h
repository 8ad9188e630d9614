#pragma once
// What the tool tests share: a fake radargram window (records the messages posted
// and sent to it, counts yields, raises its break flag at a chosen yield), real
// channel stores filled with traces, and scopes that register the fake and set
// the worker pool's thread count for one test.

#include "platform/ui/application.h"
#include "platform/ui/messages.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tools/saved_copies.h"
#include "tools/tool_host.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

struct TRecordedMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  bool operator==(const TRecordedMessage&) const = default;
};

class FakeToolHost : public IToolHost {
public:
  FakeToolHost() {
    wnd = AllocateHWnd([this](TMessage& m) { messages.push_back({m.Msg, m.WParam, m.LParam}); });
  }
  ~FakeToolHost() override { DeallocateHWnd(wnd); }

  HWND Handle() const override { return wnd; }
  bool Br() const override { return br; }
  void ClearCurTool() override { ++curToolCleared; }
  int32_t ZoomFactor() const override { return zoom; }
  int ChannelIndexOf(const T2Dview* view) const override {
    for (size_t i = 0; i < views.size(); ++i)
      if (views[i] == view) return static_cast<int>(i);
    return 0;
  }
  int ProgressFullWidth() const override { return 300; }
  void SetProgressWidth(int channel, int width) override { progress.push_back({channel, width}); }
  TRect ChartScreenRect(int) const override { return {100, 50, 600, 450}; }
  TPoint ChartClientOrigin(int channel) const override {
    ++chartOriginAsked[static_cast<size_t>(std::clamp(channel, 0, 4))];
    return chartOrigin;
  }
  TPoint PanelClientOrigin(int) const override { return panelOrigin; }
  int PanelHeight(int) const override { return panelHeight; }
  TRect ChartPlotArea(int) const override { return plotArea; }
  void Yield() override {
    ++yields;
    if (yields == breakAtYield) br = true;
    if (onYield) onYield(yields);
    Application->ProcessMessages();
  }
  void ShowSurfaceLine(const std::vector<double>& timesNs) override { surfaceLines.push_back(timesNs); }
  void PrepareBmp(int channel) override { preparedBmps.push_back(channel); }

  HWND wnd = nullptr;
  bool br = false;
  int breakAtYield = -1;
  int yields = 0;
  int curToolCleared = 0;
  int32_t zoom = 1000;
  std::vector<T2Dview*> views;
  std::vector<std::pair<int, int>> progress;
  std::vector<TRecordedMessage> messages;
  // The messages posted until the queue is empty, taken out of the record.
  std::vector<TRecordedMessage> DrainMessages() {
    Application->ProcessMessages();
    std::vector<TRecordedMessage> drained;
    drained.swap(messages);
    return drained;
  }
  std::function<void(int)> onYield;
  // Every surface line shown, in order.
  std::vector<std::vector<double>> surfaceLines;
  // Every channel whose display bitmap a tool had rebuilt, in order.
  std::vector<int> preparedBmps;
  TPoint chartOrigin{400, 120};
  TPoint panelOrigin{380, 100};
  int panelHeight = 2000;
  TRect plotArea{20, 30, 520, 430};
  mutable std::array<int, 5> chartOriginAsked{};
};

// Every tool's window is `host` for the length of a test.
class HostScope {
public:
  explicit HostScope(IToolHost& host) {
    SetToolHostResolver([&host](T2Dview*) { return &host; });
  }
  ~HostScope() { SetToolHostResolver({}); }
  HostScope(const HostScope&) = delete;
  HostScope& operator=(const HostScope&) = delete;
};

class PoolThreadsScope {
public:
  explicit PoolThreadsScope(int threads) : old_(TWorkerPool::Instance().ThreadCount()) {
    TWorkerPool::Instance().SetThreadCount(threads);
  }
  ~PoolThreadsScope() { TWorkerPool::Instance().SetThreadCount(old_); }

private:
  int old_;
};

class BudgetScope {
public:
  explicit BudgetScope(int64_t bytes) : old_(TSavedCopyStore::Instance().Budget()) {
    TSavedCopyStore::Instance().SetBudget(bytes);
  }
  ~BudgetScope() { TSavedCopyStore::Instance().SetBudget(old_); }

private:
  int64_t old_;
};

// A channel store without a window holding `traces` traces of `longTrace` samples.
inline std::unique_ptr<T2Dview> MakeChannel(int64_t traces, int longTrace) {
  auto view = std::make_unique<T2Dview>(nullptr);
  view->Settings()->RestoreLongTrace(longTrace);
  view->SetMinNumTraces(0);
  view->SetMaxNumTraces(traces);
  view->SetSizeDat(traces * longTrace * 4);
  view->dezoData.Allocate(traces * longTrace * 4);
  return view;
}

inline std::vector<int32_t> Samples(const T2Dview& view) {
  const int32_t* p = view.dezoData.Data();
  return p ? std::vector<int32_t>(p, p + view.dezoData.Samples()) : std::vector<int32_t>{};
}

inline void SetSamples(T2Dview& view, const std::vector<int32_t>& samples) {
  std::memcpy(view.dezoData.Data(), samples.data(), samples.size() * sizeof(int32_t));
}

// Sample k of trace t: distinct, both signs, the int32 extremes among them.
inline int32_t TestSample(int64_t t, int k) {
  if ((t * 31 + k) % 97 == 5) return INT32_MIN;
  if ((t * 31 + k) % 89 == 7) return INT32_MAX;
  return static_cast<int32_t>((t * 7919 + k * 104729) % 200001 - 100000);
}

inline std::vector<int32_t> TestTraces(int64_t traces, int longTrace) {
  std::vector<int32_t> v;
  for (int64_t t = 0; t < traces; ++t)
    for (int k = 0; k < longTrace; ++k) v.push_back(TestSample(t, k));
  return v;
}
