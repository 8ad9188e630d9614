#pragma once
// TBlurForm: the blur's dialog ("Blur"): each half size as a numeric edit and a
// track bar (1 .. 20). It follows the tool dialog protocol (tool_form.h); Enter
// in either edit is the edit's.

#include "tools/tool_form.h"

class TBlur;
class TDigitEdit;
class TLabel;
class TTrackBar;

class TBlurForm : public TToolForm {
public:
  explicit TBlurForm(TComponent* AOwner);

  TLabel* BaseHorLabel;
  TDigitEdit* BaseHorDigitEdit;
  TTrackBar* BaseHorTrackBar;
  TLabel* BaseVerLabel;
  TDigitEdit* BaseVerDigitEdit;
  TTrackBar* BaseVerTrackBar;

  // An edit's confirmed value moves its track bar.
  void BaseHorDigitEditChangeFinish(TObject* Sender);
  void BaseVerDigitEditChangeFinish(TObject* Sender);
  // A track bar's position: its edit, then the half size from the edit; unless
  // the tool runs, the protocol's handler with the mask rebuilt.
  void BaseHorTrackBarChange(TObject* Sender);
  void BaseVerTrackBarChange(TObject* Sender);

protected:
  void DisplayToolParam() override;

private:
  TBlur& Blur() const;
  void HalfSizeChanged(TObject* Sender);
};
