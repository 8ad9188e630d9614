#pragma once
// TWheelToolForm: the base of the migrations' dialogs, tools that work on
// wheel-mode profiles only. Beside the protocol's controls (tool_form.h) it holds
// the red notice "This tool applies only to profiles obtained with the measuring
// wheel", hidden at first, and the wheel-mode rule: when channel 0 is not a
// wheel-mode profile, Apply goes off, the box is cleared and the notice shown.
//
// Deviations from the protocol: no preview when shown while adding; on show,
// after the protocol's filling, pending messages are processed and the rule
// applied; the Apply handler stores the sets as the protocol does, then on a
// profile that is not in wheel mode processes pending messages and applies the
// rule. A double click on the dialog rebuilds the tool's diagram.

#include "tools/tool_form.h"

#include <functional>

class TLabel;

class TWheelToolForm : public TToolForm {
public:
  TWheelToolForm(TComponent* AOwner, TToolFormOptions options);

  TLabel* StaticText = nullptr;
  // Rebuilds the tool's directivity diagram (the double click).
  std::function<void()> RebuildDiagram;

  void ApplyWheelModeRule();
  void WheelFormShow(TObject* Sender);
  void WheelApplyClick(TObject* Sender);
};
