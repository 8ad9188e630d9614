#pragma once
// Running a radargram window's tool chain, without the window.
//
// TChainRunner is the one scheduler shared by all radargram windows: one channel's
// chain runs at a time (the tools process messages while they run, so a message
// handler, a tool preview or another window may ask for a recomputation in the
// middle of one). Such a request is remembered per window and channel, with the
// lowest tool index asked for, and carried out once after the running one ends;
// any number of requests for one window and channel collapse into one repetition.
//
// RunChain runs the tools of one channel in chain order through IChainRunView,
// which the window implements (its tree, progress panel and message loop).
//
// Threads: user-interface thread only.

#include <QString>

#include <functional>
#include <vector>

class IChainTool;

class TChainRunner {
public:
  static TChainRunner& Instance();

  // A channel's chain runs now (ChainRunning).
  bool Running() const { return running_; }
  // Requests wait for the running recomputation (ChainRerunRequested).
  bool RerunRequested() const { return !deferred_.empty(); }
  // The tool being executed, nullptr between tools.
  IChainTool* ExecutingTool() const { return executing_; }
  void SetExecutingTool(IChainTool* tool) { executing_ = tool; }

  // Remembers a recomputation of owner's channel (-1: every channel) from tool
  // index, to be carried out by rerun(index) once nothing runs. A request for the
  // same owner and channel keeps the lowest index and the first rerun.
  using TRerun = std::function<void(int index)>;
  void Defer(const void* owner, int channel, int index, TRerun rerun);
  // Forgets owner's requests and its executing tool (the window is going).
  void Forget(const void* owner, const std::vector<IChainTool*>& ownerTools = {});

  // Marks a run of one channel's chain for its lifetime.
  class TRunScope {
  public:
    TRunScope();
    ~TRunScope();
    TRunScope(const TRunScope&) = delete;
    TRunScope& operator=(const TRunScope&) = delete;
  };
  // Marks a batch of runs (all channels of a window, or one channel); when the
  // outermost batch ends the remembered requests are carried out, each once.
  class TBatchScope {
  public:
    TBatchScope();
    ~TBatchScope();
    TBatchScope(const TBatchScope&) = delete;
    TBatchScope& operator=(const TBatchScope&) = delete;
  };

private:
  struct TRequest {
    const void* owner = nullptr;
    int channel = 0;
    int index = 0;
    TRerun rerun;
  };
  TChainRunner() = default;
  void RunDeferred();

  bool running_ = false;
  int batches_ = 0;
  bool draining_ = false;
  IChainTool* executing_ = nullptr;
  std::vector<TRequest> deferred_;
};

// What a chain run shows and asks of its window.
class IChainRunView {
public:
  virtual ~IChainRunView() = default;
  virtual int NodeCount() const = 0;
  // The tool of node index (chain order); nullptr for a node without one.
  virtual IChainTool* ToolAt(int index) const = 0;
  // All progress panels hidden, the channel's centred on its chart and shown with
  // its image at width 1.
  virtual void ShowProgress(int channel) = 0;
  virtual int ProgressPanelWidth(int channel) const = 0;
  virtual void SetProgressImageWidth(int channel, int width) = 0;
  virtual void HideProgress() = 0;
  // The node's state picture: 1 while its tool runs, none (-1) otherwise.
  virtual void SetNodeState(int index, int state) = 0;
  virtual void ProcessMessages() = 0;
  // Br := false.
  virtual void ClearBreak() = 0;
  // A tool threw: the window reports it (tool caption, error text).
  virtual void ReportToolError(const QString& caption, const QString& error) = 0;
};

// The node a recomputation from index really starts at, and how: the first node
// from index on that holds a tool; -1 when none. When that tool has no saved input
// of the channel's current size, the channel must be recomputed from the top:
// restartFromTop is then set.
struct TChainStart {
  int Node = -1;
  bool RestartFromTop = false;
};
TChainStart FindChainStart(const IChainRunView& view, int index, int channel);

// Runs nodes start..last on the channel: the first tool executed gets `first`,
// every later one false. Progress and node states as the window shows them. A tool
// that throws is reported and ends the run (false); the channel then holds that
// tool's input.
bool RunChain(IChainRunView& view, int start, bool first, int channel);
