#pragma once
// What a radargram window calls on the tools of its chain. The processing tools
// implement it; the window never sees more of them. All calls run on the
// user-interface thread.

#include "platform/ui/messages.h"

#include <QString>

#include <cstdint>

class T2Dview;
class TBitmap;
class TStream;

class IChainTool {
public:
  virtual ~IChainTool() = default;

  // The caption: the chain node's text.
  virtual QString GetCaption() const = 0;
  virtual void SetCaption(const QString& value) = 0;
  // The registry name of the tool; chain tools are found by it (in upper case).
  virtual QString GetToolName() const = 0;
  // The Apply flag of the working parameters.
  virtual bool GetExecuting() const = 0;
  virtual void SetExecuting(bool value) = 0;
  // The channel whose parameters the tool's dialog shows.
  virtual int32_t GetCurrentNumberView() const = 0;
  virtual void SetCurrentNumberView(int32_t value) = 0;

  // Runs the tool on one channel. first = false: the channel's display buffer is
  // the tool's input and is saved; first = true: the input saved by the last run
  // is used again (the chain restarts at this tool). Yields to the message loop
  // while it works and returns at once when called again from there. May throw
  // (std::bad_alloc and the like); the channel then holds the tool's input.
  virtual void execute(bool first, int32_t NumberView) = 0;
  // True when the tool holds a saved input of the channel's current size, so that
  // execute(true, channel) can restart there; otherwise the caller recomputes
  // the channel from the top of the chain.
  virtual bool HasSavedInput(int32_t NumberView) const = 0;

  // The tool's hidden window (the target of WM_TOOLTRACECHANGED and
  // WM_TOOLVIEWCHANGED).
  virtual HWND GetHandle() const = 0;
  // The 24 x 24 node icons while Apply is set and while it is clear; owned by the tool.
  virtual TBitmap* GetBmpIcon1() const = 0;
  virtual TBitmap* GetBmpIcon2() const = 0;

  // What the window's chain editing and chain files call; a tool without
  // parameter sets or dialog keeps the empty bodies.
  // The working parameters := channel NumberView's set.
  virtual void GetParam(int32_t /*NumberView*/) {}
  // Every channel's Apply flag := b.
  virtual void SetAllApply(bool /*b*/) {}
  // Every channel's set := channel NumberView's.
  virtual void SetAllParamAs(int32_t /*NumberView*/) {}
  // After a change of radar or settings of channel NumRadar.
  virtual void AfterChange(int32_t /*NumRadar*/) {}
  // Opens the tool's dialog (b: the tool is being added); 1 when it opened.
  virtual int SetPropertyes(bool /*b*/) { return 1; }
  // The tool's chain record with its working parameters.
  virtual void SaveToStream(TStream& /*str*/) {}
  // The channel store's online stage takes the tool's parameters of that
  // channel (the wavelet, windowed background-removal and gain tools have one).
  virtual void SetParamView(T2Dview* /*AView*/) {}
};
