#pragma once
// TAbsForm: the rectifier's dialog ("Rectifier"): the protocol's controls and the
// three modes as grouped check buttons. It follows the tool dialog protocol
// without deviation (tool_form.h).

#include "tools/tool_form.h"

class TAbsTool;
class TGroupBox;
class TImageList;
class TToolBar;
class TToolButton;

class TAbsForm : public TToolForm {
public:
  explicit TAbsForm(TComponent* AOwner);

  TGroupBox* RectifierModeGroupBox;
  TToolBar* RectifierModeToolBar;
  TToolButton* FullToolButton;
  TToolButton* PositiveToolButton;
  TToolButton* NegativeToolButton;
  TImageList* ModeImages;

  // Each mode button: RectifierMode := its mode, then the protocol's handler.
  void ModeButtonClick(TObject* Sender);

protected:
  void DisplayToolParam() override;

private:
  TAbsTool& AbsTool() const;
};
