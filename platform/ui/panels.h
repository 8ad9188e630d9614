#pragma once
// TPanel: a rectangle in its Color with a centred caption that holds other
// controls; TDrawPanel: a panel whose OnPaint draws on its Canvas after the
// panel's own painting.
//
// Threads: user-interface thread only.

#include "platform/ui/custom_control.h"

class TPanel : public TCustomControl {
public:
  explicit TPanel(TComponent* AOwner);

  void SetText(const QString& value) override;
  TPanel* CreateClone(TComponent* AOwner) const override;

protected:
  // The background in Color, the caption in the middle, then OnPaint.
  void Paint() override;
};

class TDrawPanel : public TPanel {
public:
  using TPanel::TPanel;
  TDrawPanel* CreateClone(TComponent* AOwner) const override;
};
