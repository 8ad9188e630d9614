#pragma once
// TToolForm: the base of every tool dialog and the modeless protocol they share.
//
//  - Opened by the tool's SetPropertyes (the tool posts WM_TOOLFORMSHOWN first and
//    makes its saved copies): Start binds the tool, titles the dialog with the
//    tool's caption, captions the buttons ("Add" / "Cancel" while adding, "Yes" /
//    a disabled "Restore" while editing), takes the undo copy of the five sets
//    and shows the dialog modeless.
//  - Created with the font character set of the interface language; shown beside
//    a channel's chart; filled from the working parameters; live (Vsbl) from then
//    on; while adding it previews at once.
//  - Every control change ends in ExecCheckBoxClick: while live the values go to
//    the working parameters and to channel 0's set when that is the dialog's
//    channel, then to every set while adding (the new tool gets the same
//    parameters everywhere) or to the dialog's channel's set while editing; a
//    changed Apply goes to all sets; the cancel button offers "Restore"; the
//    window re-runs its chain. A close or delete requested while the tool ran
//    is carried out there too (and by the run's end).
//  - OK / Enter close (deferred while the tool runs); "Restore" gives back the
//    sets of the opening; "Cancel" and Esc (with "Cancel" shown) close and have
//    the window delete the tool being added. Closing clears the window's CurTool
//    and posts WM_TOOLFORMCLOSED to the tool, which frees the dialog
//    (AfterFormClose) and posts WM_TOOLFORMHIDDEN to the window.
//
// Dialogs that deviate say so through TToolFormOptions; a dialog supplies its
// controls and DisplayToolParam / StoreToolParam.
//
// Ownership: owned by the application object; the tool frees it. Threads: the
// user-interface thread only.

#include "platform/ui/forms.h"
#include "platform/ui/keys.h"

#include <cstdint>
#include <vector>

class TBitBtn;
class TCheckBox;
class TCommonTool;
class TEdit;

struct TToolFormOptions {
  // A change of Apply goes to all five sets (SetAllApply).
  bool SpreadApply = true;
  // While adding the cancel button keeps "Cancel" after a change.
  bool KeepCancelWhileAdding = false;
  // Shown while adding, the dialog previews at once.
  bool PreviewOnShow = true;
  // The preview waits until the window has handled it (a blocking send).
  bool BlockingPreview = false;
  // Placed beside channel 0's chart rather than the dialog's channel's.
  bool PlaceBesideChannel0 = false;
  // The top goes to the chart's top (at least 2); otherwise only the left moves.
  bool TopAtChart = true;
  // Created with the font character set of the interface language.
  bool LanguageCharset = true;
  // With Apply unchanged the preview re-runs every channel; off: only while
  // adding, else the dialog's channel alone.
  bool PreviewAllChannels = true;
  // Every change re-runs the chain with the tool applied, Apply on or off (a
  // dialog whose picture shows the tool's working data).
  bool PreviewAlwaysApplied = false;
};

class TToolForm : public TForm {
public:
  TToolForm(TComponent* AOwner, const TToolFormOptions& options = {});
  ~TToolForm() override;

  // ---- The protocol's fields and controls ------------------------------------
  TCommonTool* Tool = nullptr;
  // Live: control changes are taken over only while set.
  bool Vsbl = false;
  bool adding = false;
  TEdit* EditCaption = nullptr;
  TCheckBox* ExecCheckBox = nullptr;  // "Apply"
  TBitBtn* OKBitBtn = nullptr;
  TBitBtn* CancelBitBtn = nullptr;

  // Binds the tool, captions, undo copy, shows the dialog modeless.
  void Start(TCommonTool& tool, bool adding);
  // Caption edit, Apply box and the tool's controls from the working parameters
  // (never taken for the user's changes).
  void DisplayParam();
  // Left of the chart: left := max(2, chart's client left - width), top :=
  // max(2, chart's client top); a channel without a chart counts as (0, 0).
  void PlaceBesideChart();
  // The dialog's channel changed (the window's active channel, while live): from
  // now on changes go to that channel only.
  void ChangeNumView(int32_t NumView);
  // Closes the dialog as the protocol does (no Esc semantics for the close).
  void CloseDialog();
  // Enter in this control is the control's, not OK.
  void KeepEnterIn(TWinControl* control) { enterKeptIn_.push_back(control); }
  bool CancelShowsCancel() const { return cancelShowsCancel_; }
  const TToolFormOptions& Options() const { return options_; }

  // ---- Handlers ---------------------------------------------------------------
  void FormShow(TObject* Sender);
  void EditCaptionChange(TObject* Sender);
  void ExecCheckBoxClick(TObject* Sender);
  void OKBitBtnClick(TObject* Sender);
  void CancelBitBtnClick(TObject* Sender);
  void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);

protected:
  // The tool's own controls from / into the working parameters.
  virtual void DisplayToolParam() {}
  virtual void StoreToolParam() {}
  // The window re-runs the chain when the tool holds traces and apply is set.
  void Preview(bool toAll, bool apply);

  // The cancel button as "Cancel" (deletes the tool being added) or "Restore".
  void ShowCancel();
  void ShowRestore();

private:
  void Restore();
  // Closes the dialog and posts WM_TOOLFORMCLOSED to the tool; with deleteTool
  // WM_TOOLDELETE to the window too.
  void CloseAndNotify(bool deleteTool);
  void EscapePressed();

  TToolFormOptions options_;
  bool cancelShowsCancel_ = false;
  // Set while the protocol itself closes the dialog.
  bool closing_ = false;
  std::vector<TWinControl*> enterKeptIn_;
};
