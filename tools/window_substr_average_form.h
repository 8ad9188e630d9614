#pragma once
// TWindowSubstrAverageForm: the windowed background removal's dialog
// ("Background Removal Settings"): the window as an edit and a track bar (1 ..
// 300), and the Gauss mode with its width factor (hidden controls). It follows
// the tool dialog protocol (tool_form.h); Enter in the width edit is the edit's.

#include "tools/tool_form.h"

#include <array>

class TCheckBox;
class TComboBox;
class TDigitEdit;
class TLabel;
class TTrackBar;
class TWinSubtractTrace;

class TWindowSubstrAverageForm : public TToolForm {
public:
  // The factor list's items and the Gauss factors they give.
  static constexpr std::array<const char*, 5> KoefGausseItems{"0.01", "0.15", "0.30", "0.60", "1.00"};
  static constexpr std::array<long double, 5> KoefGausseValues{1.0L, 1.5L, 2.0L, 3.0L, 10.0L};

  explicit TWindowSubstrAverageForm(TComponent* AOwner);

  TLabel* WidthWindowLabel;
  TDigitEdit* WidthWindowDigitEdit;
  TTrackBar* WidthWindowTrackBar;
  TCheckBox* cbGausse;
  TComboBox* cbKoefGausse;

  // The edit's confirmed value moves the track bar.
  void WidthWindowDigitEditChangeFinish(TObject* Sender);
  // The track bar's position: edit, then WidthWindow; unless the tool runs, the
  // protocol's handler.
  void WidthWindowTrackBarChange(TObject* Sender);
  void cbGausseClick(TObject* Sender);
  void cbKoefGausseChange(TObject* Sender);

protected:
  void DisplayToolParam() override;

private:
  TWinSubtractTrace& Subtract() const;
};
