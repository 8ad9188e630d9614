#pragma once
// TCorelatorForm: the three-point correlator's dialog ("Corelator Settings"): the
// vertical base as an edit and a track bar (0 .. 60 samples) and the two modes as
// grouped check buttons. It follows the tool dialog protocol (tool_form.h);
// Enter in the base edit is the edit's.

#include "tools/tool_form.h"

class TCorelator;
class TDigitEdit;
class TGroupBox;
class TLabel;
class TToolBar;
class TToolButton;
class TTrackBar;

class TCorelatorForm : public TToolForm {
public:
  explicit TCorelatorForm(TComponent* AOwner);

  TGroupBox* BaseVerGroupBox;
  TDigitEdit* BaseVerDigitEdit;
  TLabel* SamplesLabel;
  TTrackBar* VertTrackBar;
  TGroupBox* ModeGroupBox;
  TToolBar* ModeToolBar;
  TToolButton* ModeToolButton1;
  TToolButton* ModeToolButton2;

  // The edit's confirmed value moves the track bar.
  void BaseVerDigitEditChangeFinish(TObject* Sender);
  // The track bar's position: edit, then BaseVer; unless the tool runs, the
  // protocol's handler.
  void VertTrackBarChange(TObject* Sender);
  // Each mode button: Mode := its mode, then the protocol's handler.
  void ModeButtonClick(TObject* Sender);

protected:
  void DisplayToolParam() override;

private:
  TCorelator& Corelator() const;
};
