#pragma once
// TWindowToolHost: a radargram window as the host of its chain's tools. One per
// window, made on first use and owned by the window (one of its components), so
// it goes with the window. It reads and writes only the window's public members.
//
// ToolsLibraryStartup registers the resolver every tool finds its host through:
// the window that owns a channel-0 view, or none (the null host) for a view that
// belongs to no radargram window.
//
// Threads: user-interface thread only.

#include "platform/ui/component.h"
#include "tools/tool_host.h"

class TView2DForm;

class TWindowToolHost final : public TComponent, public IToolHost {
public:
  explicit TWindowToolHost(TView2DForm& window);

  // The window's host, made when it has none yet.
  static TWindowToolHost& Of(TView2DForm& window);

  HWND Handle() const override;
  bool Br() const override;
  void ClearCurTool() override;
  int32_t ZoomFactor() const override;
  int ChannelIndexOf(const T2Dview* view) const override;
  int ProgressFullWidth() const override;
  void SetProgressWidth(int channel, int width) override;
  TRect ChartScreenRect(int channel) const override;
  TPoint ChartClientOrigin(int channel) const override;
  TPoint PanelClientOrigin(int channel) const override;
  int PanelHeight(int channel) const override;
  TRect ChartPlotArea(int channel) const override;
  void Yield() override;
  void ShowSurfaceLine(const std::vector<double>& timesNs) override;
  int32_t GetMaxDezoData(const T2Dview* view) const override;
  bool ChannelPicture(int channel, TToolChannelPicture& picture) override;
  void PrepareBmp(int channel) override;
  void WhenRepainted(std::function<void()> done) override;
  int ShownChannelCount() const override;
  T2Dview* ChannelView(int channel) const override;
  bool HasChart(int channel) const override;
  TBitmap32* LayerBitmap(int channel, int layer) const override;
  void ShowProgressPanel(int channel, bool visible) override;

private:
  TView2DForm& window_;
};

// Registers the tools' host resolver and the post-processing overlays' factory;
// the acquisition program calls it once at start-up, before its first window.
void ToolsLibraryStartup();
