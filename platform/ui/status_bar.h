#pragma once
// TStatusBar: a bar along the bottom of its parent, divided left to right into
// panels of fixed widths. A text panel shows its text; an owner-drawn panel is
// drawn by OnDrawPanel on the bar's Canvas inside the panel's rectangle. With a
// parent the bar asks it to draw the panel (WM_DRAWITEM, item: the panel's
// index, CtlType left 0) and draws it when the parent hands it back
// (CN_DRAWITEM); without one it draws it at once.
//
// Threads: user-interface thread only.

#include "platform/ui/custom_control.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

enum TStatusPanelStyle : uint8_t { psText, psOwnerDraw };

struct TStatusPanel {
  int Width = 50;
  TStatusPanelStyle Style = psText;
  QString Text;
};

class TStatusBar : public TCustomControl {
public:
  explicit TStatusBar(TComponent* AOwner);

  // Appends a panel; returns its index.
  int AddPanel(int width, TStatusPanelStyle style);
  int PanelCount() const { return static_cast<int>(panels_.size()); }
  const TStatusPanel& Panel(int index) const { return panels_.at(static_cast<size_t>(index)); }
  // Repaints when the text changed.
  void SetPanelText(int index, const QString& text);
  // The panel's rectangle in client coordinates: the widths of the panels
  // before it, the bar's full height.
  TRect PanelRect(int index) const;

  // Draws an owner-drawn panel: the bar's Canvas, the panel's index and rectangle.
  std::function<void(TStatusBar& bar, int index, const TRect& rect)> OnDrawPanel;

  void DefaultHandler(TMessage& message) override;

protected:
  void Paint() override;

private:
  std::vector<TStatusPanel> panels_;
};
