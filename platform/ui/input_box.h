#pragma once
// The input box: a small modal form with a caption, a prompt, one edit line and
// OK / Cancel buttons. Enter in the edit line answers OK, Escape cancels.
//
// Tests answer it through TDialogScript::QueueModal: the callback gets the shown
// TInputBoxForm (window class "TInputBoxForm"), may read Prompt and Edit, type into
// Edit and end the form with mrOk or mrCancel (or leave it, which cancels).
//
// Threads: user-interface thread only.

#include "platform/ui/forms.h"

#include <QString>

class TButton;
class TEdit;
class TLabel;

class TInputBoxForm : public TForm {
public:
  explicit TInputBoxForm(TComponent* AOwner);
  QString WindowClassName() const override { return QStringLiteral("TInputBoxForm"); }

  TLabel* Prompt = nullptr;
  TEdit* Edit = nullptr;
  TButton* OkButton = nullptr;
  TButton* CancelButton = nullptr;
};

// Shows the box with value in the edit line. After OK: true, and value holds the
// edited text. Otherwise false and value is unchanged.
bool InputQuery(const QString& caption, const QString& prompt, QString& value);
// The edited text after OK, else defaultValue.
QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue);
