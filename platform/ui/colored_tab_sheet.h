#pragma once
// TColoredTabSheet: a tab sheet in a colour of its own, the button face until
// it is given another. Setting the colour repaints the sheet only when it
// changes. WM_ERASEBKGND (WParam: the TCanvas* to erase) fills the sheet's
// client rectangle with the colour and reports the background erased (1).
//
// Threads: user-interface thread only.

#include "platform/ui/page_control.h"

class TColoredTabSheet : public TTabSheet {
public:
  explicit TColoredTabSheet(TComponent* AOwner);
  void SetColor(TColor value);
  void DefaultHandler(TMessage& message) override;
};
