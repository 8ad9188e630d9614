#include "radargram/chain_runner.h"

#include "platform/rtl/rounding.h"
#include "radargram/chain_tool.h"

#include <algorithm>
#include <exception>
#include <new>
#include <stdexcept>

TChainRunner& TChainRunner::Instance() {
  static TChainRunner runner;
  return runner;
}

void TChainRunner::Defer(const void* owner, int channel, int index, TRerun rerun) {
  for (TRequest& request : deferred_) {
    if (request.owner != owner || request.channel != channel) continue;
    request.index = std::min(request.index, index);
    return;
  }
  deferred_.push_back(TRequest{owner, channel, index, std::move(rerun)});
}

void TChainRunner::Forget(const void* owner, const std::vector<IChainTool*>& ownerTools) {
  std::erase_if(deferred_, [owner](const TRequest& r) { return r.owner == owner; });
  if (std::find(ownerTools.begin(), ownerTools.end(), executing_) != ownerTools.end()) executing_ = nullptr;
}

TChainRunner::TRunScope::TRunScope() { Instance().running_ = true; }
TChainRunner::TRunScope::~TRunScope() { Instance().running_ = false; }

TChainRunner::TBatchScope::TBatchScope() { ++Instance().batches_; }
TChainRunner::TBatchScope::~TBatchScope() {
  TChainRunner& runner = Instance();
  if (--runner.batches_ > 0) return;
  try {
    runner.RunDeferred();
  } catch (...) {
    // A destructor must not throw; what a repetition threw is the next request's
    // business, and the request itself is gone.
  }
}

void TChainRunner::RunDeferred() {
  // One drain at a time: a repetition's own batch ends inside this loop.
  if (draining_ || running_) return;
  draining_ = true;
  struct TDrainGuard {
    bool& flag;
    ~TDrainGuard() { flag = false; }
  } guard{draining_};
  while (!deferred_.empty() && !running_) {
    TRequest request = std::move(deferred_.front());
    deferred_.erase(deferred_.begin());
    if (request.rerun) request.rerun(request.index);
  }
}

// ---- One channel's chain ---------------------------------------------------------------

TChainStart FindChainStart(const IChainRunView& view, int index, int channel) {
  TChainStart start;
  for (int k = std::max(index, 0); k < view.NodeCount(); ++k) {
    if (!view.ToolAt(k)) continue;
    start.Node = k;
    break;
  }
  // A restart needs the tool's saved input; the tools' memory budget may have
  // dropped it, or the channel changed size since.
  if (index > 0 && start.Node >= 0) start.RestartFromTop = !view.ToolAt(start.Node)->HasSavedInput(channel);
  return start;
}

namespace {
// Clears the node state and the executing tool however the tool's run ends.
class TToolRunScope {
public:
  TToolRunScope(IChainRunView& view, int node, IChainTool* tool) : view_(view), node_(node) {
    TChainRunner::Instance().SetExecutingTool(tool);
    view_.SetNodeState(node_, 1);
  }
  ~TToolRunScope() {
    view_.ClearBreak();
    view_.SetNodeState(node_, -1);
    TChainRunner::Instance().SetExecutingTool(nullptr);
  }
  TToolRunScope(const TToolRunScope&) = delete;
  TToolRunScope& operator=(const TToolRunScope&) = delete;

private:
  IChainRunView& view_;
  int node_;
};

class TProgressScope {
public:
  TProgressScope(IChainRunView& view, int channel) : view_(view) { view_.ShowProgress(channel); }
  ~TProgressScope() { view_.HideProgress(); }
  TProgressScope(const TProgressScope&) = delete;
  TProgressScope& operator=(const TProgressScope&) = delete;

private:
  IChainRunView& view_;
};

QString ErrorText(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    return QStringLiteral("Out of memory");
  } catch (const std::exception& e) {
    return QString::fromLocal8Bit(e.what());
  } catch (...) {
    return QStringLiteral("Unknown error");
  }
}
}  // namespace

bool RunChain(IChainRunView& view, int start, bool first, int channel) {
  const int count = view.NodeCount();
  if (start < 0 || start >= count) return true;
  TProgressScope progress(view, channel);
  view.ProcessMessages();
  const int panel = view.ProgressPanelWidth(channel);
  view.SetProgressImageWidth(channel, static_cast<int>(Round(panel * 0.5L / count)));
  bool firstTool = true;
  for (int k = start; k < count; ++k) {
    IChainTool* tool = view.ToolAt(k);
    if (!tool) continue;
    if (!firstTool) view.SetProgressImageWidth(channel, static_cast<int>(Round(static_cast<long double>(k + 1) * panel / count)));
    std::exception_ptr error;
    {
      TToolRunScope running(view, k, tool);
      view.ProcessMessages();
      try {
        tool->execute(firstTool && first, channel);
      } catch (...) {
        error = std::current_exception();
      }
    }
    if (error) {
      view.ReportToolError(tool->GetCaption(), ErrorText(error));
      return false;
    }
    if (firstTool) view.SetProgressImageWidth(channel, count > 0 ? panel / count : 0);
    view.ProcessMessages();
    firstTool = false;
  }
  return true;
}
