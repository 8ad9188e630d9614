#include "tools/tool_form.h"

#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "profiledata/form_charset.h"
#include "radargram/tool_messages.h"
#include "tools/common_tool.h"
#include "tools/tool_host.h"
#include "tools/tool_shell.h"
#include "tools/tool_strings.h"

#include <algorithm>

TToolForm::TToolForm(TComponent* AOwner, const TToolFormOptions& options) : TForm(AOwner), options_(options) {
  SetBorderStyle(bsSingle);
  SetFormStyle(fsStayOnTop);
  SetKeyPreview(true);
  if (options_.LanguageCharset) SetFormCharsetForLanguage(*this, ToolShell().Language());

  EditCaption = new TEdit(this);
  EditCaption->SetParent(this);
  ExecCheckBox = new TCheckBox(this);
  ExecCheckBox->SetParent(this);
  ExecCheckBox->SetCaption(LoadResString(SToolApplyCaption));
  OKBitBtn = new TBitBtn(this);
  OKBitBtn->SetParent(this);
  OKBitBtn->SetCaption(LoadResString(SToolOkCaption));
  CancelBitBtn = new TBitBtn(this);
  CancelBitBtn->SetParent(this);
  CancelBitBtn->SetEnabled(false);

  OnShow = [this](TObject* sender) { FormShow(sender); };
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  EditCaption->OnChange = [this](TObject* sender) { EditCaptionChange(sender); };
  ExecCheckBox->OnClick = [this](TObject* sender) { ExecCheckBoxClick(sender); };
  OKBitBtn->OnClick = [this](TObject* sender) { OKBitBtnClick(sender); };
  CancelBitBtn->OnClick = [this](TObject* sender) { CancelBitBtnClick(sender); };
}

TToolForm::~TToolForm() {
  if (Tool) Tool->FormGone(this);
}

void TToolForm::Start(TCommonTool& tool, bool addingTool) {
  Vsbl = false;
  Tool = &tool;
  SetCaption(tool.GetCaption());
  adding = addingTool;
  if (adding) {
    OKBitBtn->SetCaption(LoadResString(SToolAddCaption));
    ShowCancel();
  } else {
    OKBitBtn->SetCaption(LoadResString(SToolYesCaption));
    CancelBitBtn->SetCaption(LoadResString(SToolRestoreCaption));
    CancelBitBtn->SetEnabled(false);
    cancelShowsCancel_ = false;
  }
  tool.SaveUndoSets();
  Show();
}

void TToolForm::ShowCancel() {
  CancelBitBtn->SetCaption(LoadResString(SToolCancelCaption));
  CancelBitBtn->SetEnabled(true);
  cancelShowsCancel_ = true;
}

void TToolForm::ShowRestore() {
  CancelBitBtn->SetCaption(LoadResString(SToolRestoreCaption));
  CancelBitBtn->SetEnabled(true);
  cancelShowsCancel_ = false;
}

void TToolForm::PlaceBesideChart() {
  if (!Tool) return;
  const int channel = options_.PlaceBesideChannel0 ? 0 : Tool->CurrentNumberView;
  const TPoint origin = Tool->Host().ChartClientOrigin(channel);
  SetLeft(std::max(2, origin.X - Width()));
  if (options_.TopAtChart) SetTop(std::max(2, origin.Y));
}

void TToolForm::DisplayParam() {
  if (!Tool) return;
  // Filling the controls runs their handlers; none of it is the user's change.
  const bool live = Vsbl;
  Vsbl = false;
  EditCaption->SetText(Tool->GetCaption());
  ExecCheckBox->SetChecked(Tool->AExecuting);
  DisplayToolParam();
  Vsbl = live;
}

void TToolForm::FormShow(TObject*) {
  PlaceBesideChart();
  DisplayParam();
  Vsbl = true;
  if (adding && options_.PreviewOnShow && Tool) Preview(true, Tool->AExecuting);
}

void TToolForm::Preview(bool toAll, bool apply) {
  if (!Tool) return;
  if (options_.BlockingPreview) {
    Tool->PaintPreviewAndWait(toAll, apply);
  } else {
    Tool->PaintPreview(toAll, apply);
  }
}

void TToolForm::EditCaptionChange(TObject*) {
  if (!Vsbl || !Tool) return;
  Tool->SetCaption(EditCaption->Text());
  ShowRestore();
  Tool->ChangeTreeView();
}

void TToolForm::ExecCheckBoxClick(TObject*) {
  if (!Tool) return;
  if (Vsbl) {
    const bool wasApplied = Tool->AExecuting;
    StoreToolParam();
    Tool->AExecuting = ExecCheckBox->Checked();
    const bool applyChanged = Tool->AExecuting != wasApplied;
    if (Tool->CurrentNumberView == 0) Tool->SaveParamPlugin(0);
    if (adding) {
      Tool->SetAllParamAs(0);
    } else {
      Tool->SaveParamPlugin(Tool->CurrentNumberView);
    }
    if (applyChanged && options_.SpreadApply) Tool->SetAllApply(Tool->AExecuting);
    if (!(adding && options_.KeepCancelWhileAdding)) ShowRestore();
    Preview(applyChanged || adding || options_.PreviewAllChannels,
            applyChanged || options_.PreviewAlwaysApplied ? true : Tool->AExecuting);
  }
  Tool->FinishDeferredRequests();
}

void TToolForm::OKBitBtnClick(TObject*) {
  if (!Tool) return;
  if (Tool->runing) {
    Tool->NeedToClose = true;
    return;
  }
  CloseAndNotify(false);
}

void TToolForm::Restore() {
  Vsbl = false;
  Tool->RestoreUndoSets();
  Tool->GetParam(Tool->CurrentNumberView);
  DisplayParam();
  Vsbl = true;
  ExecCheckBoxClick(nullptr);
  if (!Tool) return;  // a deferred request closed the dialog meanwhile
  if (adding) {
    ShowCancel();
  } else {
    CancelBitBtn->SetEnabled(false);
  }
}

void TToolForm::CancelBitBtnClick(TObject*) {
  if (!Tool) return;
  if (!cancelShowsCancel_) {
    Restore();
    return;
  }
  if (Tool->runing) {
    Tool->NeedToDel = true;
    return;
  }
  CloseAndNotify(true);
}

void TToolForm::EscapePressed() {
  if (!Tool) return;
  // Deferred or not, Esc deletes only the tool being added ("Cancel" shown);
  // while editing it closes the dialog and keeps the tool.
  if (Tool->runing) {
    if (cancelShowsCancel_) {
      Tool->NeedToDel = true;
    } else {
      Tool->NeedToClose = true;
    }
    return;
  }
  CloseAndNotify(cancelShowsCancel_);
}

void TToolForm::FormKeyDown(TObject*, WORD& Key, TShiftState) {
  if (Key == VK_RETURN) {
    for (TWinControl* control : enterKeptIn_)
      if (control->Focused()) return;
    Key = 0;
    OKBitBtnClick(this);
  } else if (Key == VK_ESCAPE) {
    Key = 0;
    EscapePressed();
  }
}

void TToolForm::CloseDialog() {
  closing_ = true;
  Close();
  closing_ = false;
}

void TToolForm::CloseAndNotify(bool deleteTool) {
  TCommonTool* tool = Tool;
  CloseDialog();
  PostMessage(tool->handle, WM_TOOLFORMCLOSED, 0, 0);
  if (deleteTool) PostMessage(tool->Host().Handle(), WM_TOOLDELETE, 0, 0);
}

void TToolForm::FormCloseQuery(TObject*, bool& CanClose) {
  if (closing_ || !Tool) return;
  // Closed by its frame: as Esc, which closes the dialog itself (or defers).
  CanClose = false;
  EscapePressed();
}

void TToolForm::FormClose(TObject*, TCloseAction& Action) {
  Vsbl = false;
  if (Tool) Tool->Host().ClearCurTool();
  Action = caHide;
}

void TToolForm::ChangeNumView(int32_t NumView) {
  if (!Tool || !Vsbl) return;
  adding = false;
  Tool->SaveParamPlugin(Tool->CurrentNumberView);
  Tool->CurrentNumberView = NumView;
  Tool->GetParam(NumView);
  Tool->RefreshPropertyes();
}
