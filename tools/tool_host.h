#pragma once
// IToolHost: what a processing tool uses of the radargram window that owns its
// channel-0 view. The window's adapter implements it; a tool whose views belong
// to no radargram window gets the null host (zoom 1000, no progress, no chart,
// never a break).
//
// A tool finds its host through the resolver registered once at start-up
// (SetToolHostResolver); without a resolver, or when the resolver knows no window
// for the view, the null host answers. All calls run on the user-interface thread.

#include "platform/ui/graphics.h"
#include "platform/ui/messages.h"

#include <cstdint>
#include <functional>
#include <vector>

class T2Dview;
class TBitmap;
class TBitmap32;

// A copy of a channel's picture for a tool dialog that draws over it.
struct TToolChannelPicture {
  int PanelWidth = 0;       // the channel's panel (channel 0's when it has none)
  double TopMinimum = 0;    // the top axis's range on the channel's chart
  double TopMaximum = 0;
  TBitmap* Bitmap = nullptr;  // receives the window's zoomed picture of the channel
};

class IToolHost {
public:
  virtual ~IToolHost() = default;
  // The window's handle (target of the tools' posted messages); nullptr for none.
  virtual HWND Handle() const = 0;
  // The break flag of the window's stop control.
  virtual bool Br() const = 0;
  // Clears the window's reference to the tool whose dialog is open.
  virtual void ClearCurTool() = 0;
  // Vertical zoom in per mille (1000 = one screen row per sample).
  virtual int32_t ZoomFactor() const = 0;
  // Channel slot 0..4 of a view in the window; 0 when no slot holds it.
  virtual int ChannelIndexOf(const T2Dview* view) const = 0;
  // The full length of a progress image (the progress panel's width); 0 for none.
  virtual int ProgressFullWidth() const = 0;
  // Sets the width of channel's progress image (nothing when it has none).
  virtual void SetProgressWidth(int channel, int width) = 0;
  // The plot area of channel's chart in screen coordinates; empty for none.
  virtual TRect ChartScreenRect(int channel) const = 0;
  // The top-left of channel's chart control (its client area) in screen
  // coordinates, where tool dialogs place themselves; (0, 0) for none.
  virtual TPoint ChartClientOrigin(int channel) const = 0;
  // The client-area origin of channel's panel (its chart's row of the window)
  // in screen coordinates; (0, 0) for none.
  virtual TPoint PanelClientOrigin(int channel) const = 0;
  // The client height of channel's panel; 0 for none.
  virtual int PanelHeight(int channel) const = 0;
  // The plot area of channel's chart in the chart's client coordinates; empty
  // for none.
  virtual TRect ChartPlotArea(int channel) const = 0;
  // Processes pending messages (the tools' yield to the message loop).
  virtual void Yield() = 0;
  // The leveler's surface line on channel 0's chart: its series number 5 made
  // active and cleared, then one red point (i, timesNs[i]) per entry.
  virtual void ShowSurfaceLine(const std::vector<double>& timesNs) = 0;
  // The display maximum of a channel's display buffer, the value the palette's
  // end stands for. Without a window: the statistic of the display pipeline at
  // its default share 0.75 of the traces; 1 for an empty channel.
  virtual int32_t GetMaxDezoData(const T2Dview* view) const;
  // Switches the window to zoom "100", trace numbers on the top axis and 1:1 in
  // samples, then copies channel's picture. False without a window (nothing done).
  virtual bool ChannelPicture(int /*channel*/, TToolChannelPicture& /*picture*/) { return false; }
  // Rebuilds channel's display bitmap (and its zoomed copy) from its display
  // buffer, after a tool rewrote the buffer in the middle of a run. Nothing
  // without a window.
  virtual void PrepareBmp(int /*channel*/) {}
  // Runs done once the window is not recomputing or repainting: at once when it
  // is idle, else when the recomputation ends (never by waiting here).
  virtual void WhenRepainted(std::function<void()> done) { done(); }

  // What a post-processing overlay's run uses of its window; without a window
  // there is nothing to run on.
  // The number of shown channels (channels 0 .. n - 1).
  virtual int ShownChannelCount() const { return 0; }
  // The channel store of a channel; nullptr for none.
  virtual T2Dview* ChannelView(int /*channel*/) const { return nullptr; }
  // The channel has a chart.
  virtual bool HasChart(int /*channel*/) const { return false; }
  // The layer bitmap (channel, layer 0 .. 4); nullptr until made.
  virtual TBitmap32* LayerBitmap(int /*channel*/, int /*layer*/) const { return nullptr; }
  // Shows or hides the channel's progress panel.
  virtual void ShowProgressPanel(int /*channel*/, bool /*visible*/) {}
};

// "Owner is not a radargram window".
class TNullToolHost final : public IToolHost {
public:
  HWND Handle() const override { return nullptr; }
  bool Br() const override { return false; }
  void ClearCurTool() override {}
  int32_t ZoomFactor() const override { return 1000; }
  int ChannelIndexOf(const T2Dview*) const override { return 0; }
  int ProgressFullWidth() const override { return 0; }
  void SetProgressWidth(int, int) override {}
  TRect ChartScreenRect(int) const override { return {}; }
  TPoint ChartClientOrigin(int) const override { return {}; }
  TPoint PanelClientOrigin(int) const override { return {}; }
  int PanelHeight(int) const override { return 0; }
  TRect ChartPlotArea(int) const override { return {}; }
  void Yield() override;
  void ShowSurfaceLine(const std::vector<double>&) override {}
};

// Gives the host of the window that owns a channel-0 view, or nullptr.
using TToolHostResolver = std::function<IToolHost*(T2Dview* view)>;
// Replaces the resolver (an empty one restores "no window").
void SetToolHostResolver(TToolHostResolver resolver);
// The host of view's window; the null host when there is none.
IToolHost& ToolHostOf(T2Dview* view);
