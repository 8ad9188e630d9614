// TForm::ShowModal: the modal loop, the disabled windows and the scripted path.

#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/disabled_windows.h"
#include "platform/ui/forms.h"

#include <QEventLoop>
#include <QWidget>

void TForm::SetModalResult(TModalResult value) {
  modalResult_ = value;
  if (modal_ && value != mrNone && modalLoop_) modalLoop_->exit(0);
}

void TForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone)
    modalResult_ = mrNone;
  else if (action == caFree)
    Release();
}

TModalResult TForm::ShowModal() {
  if (Visible() || !Enabled() || modal_ || formStyle_ == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  modal_ = true;
  struct TModalEnd {
    TForm& form;
    ~TModalEnd() {
      form.Hide();
      form.modal_ = false;
    }
  };
  TDisabledWindows disabled(BoundsWidget()->window());
  TModalEnd end{*this};
  return TDialogScript::Enabled() ? RunScriptedModal() : RunModalLoop();
}

TModalResult TForm::RunModalLoop() {
  QWidget* frame = BoundsWidget();
  frame->setWindowModality(Qt::ApplicationModal);
  Show();
  // What OnShow put into ModalResult does not end the loop.
  modalResult_ = mrNone;
  QEventLoop loop;
  modalLoop_ = &loop;
  if (Application) Application->PushLoop(&loop);
  for (;;) {
    if (Application && Application->Terminated()) {
      modalResult_ = mrCancel;
      break;
    }
    if (modalResult_ != mrNone) {
      CloseModal();
      if (modalResult_ != mrNone) break;
      continue;
    }
    loop.exec();
  }
  if (Application) Application->PopLoop(&loop);
  modalLoop_ = nullptr;
  const TModalResult result = modalResult_;
  Hide();
  frame->setWindowModality(Qt::NonModal);
  return result;
}

TModalResult TForm::RunScriptedModal() {
  Show();
  modalResult_ = mrNone;
  TShownDialog shown;
  shown.Kind = dkModal;
  shown.Caption = Caption();
  shown.FormClass = WindowClassName();
  if (auto work = TDialogScript::TakeModal(shown)) {
    work(*this);
    if (modalResult_ != mrNone) CloseModal();
  }
  if (modalResult_ == mrNone) modalResult_ = mrCancel;
  return modalResult_;
}
