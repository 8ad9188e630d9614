#include "platform/ui/message_boxes.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/disabled_windows.h"
#include "platform/ui/forms.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <array>
#include <optional>

RESOURCESTRING(SMsgDlgWarning, "Warning");
RESOURCESTRING(SMsgDlgError, "Error");
RESOURCESTRING(SMsgDlgInformation, "Information");
RESOURCESTRING(SMsgDlgConfirm, "Confirm");
RESOURCESTRING(SMsgDlgYes, "&Yes");
RESOURCESTRING(SMsgDlgNo, "&No");
RESOURCESTRING(SMsgDlgOK, "OK");
RESOURCESTRING(SMsgDlgCancel, "Cancel");
RESOURCESTRING(SMsgDlgAbort, "&Abort");
RESOURCESTRING(SMsgDlgRetry, "&Retry");
RESOURCESTRING(SMsgDlgIgnore, "&Ignore");
RESOURCESTRING(SMsgDlgAll, "&All");
RESOURCESTRING(SMsgDlgNoToAll, "N&o to All");
RESOURCESTRING(SMsgDlgYesToAll, "Yes to &All");
RESOURCESTRING(SMsgDlgHelp, "&Help");
RESOURCESTRING(SMsgDlgClose, "&Close");

namespace {

struct TButtonInfo {
  TMsgDlgBtn button;
  int result;  // the IDxxx / mrXxx value the button returns
  const TResourceString* caption;
  QMessageBox::ButtonRole role;
};

// In the order the buttons stand in a box.
constexpr std::array<TButtonInfo, 12> kButtons{{
    {mbYes, 6, &SMsgDlgYes, QMessageBox::YesRole},
    {mbNo, 7, &SMsgDlgNo, QMessageBox::NoRole},
    {mbOK, 1, &SMsgDlgOK, QMessageBox::AcceptRole},
    {mbCancel, 2, &SMsgDlgCancel, QMessageBox::RejectRole},
    {mbAbort, 3, &SMsgDlgAbort, QMessageBox::RejectRole},
    {mbRetry, 4, &SMsgDlgRetry, QMessageBox::AcceptRole},
    {mbIgnore, 5, &SMsgDlgIgnore, QMessageBox::AcceptRole},
    {mbAll, 8, &SMsgDlgAll, QMessageBox::AcceptRole},
    {mbNoToAll, 9, &SMsgDlgNoToAll, QMessageBox::NoRole},
    {mbYesToAll, 10, &SMsgDlgYesToAll, QMessageBox::YesRole},
    {mbHelp, 0, &SMsgDlgHelp, QMessageBox::HelpRole},
    {mbClose, 11, &SMsgDlgClose, QMessageBox::RejectRole},
}};

QMessageBox::Icon QtIcon(UINT icon) {
  switch (icon) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// The value a cancelled box returns: Cancel when there is such a button, else
// the only button a box without Cancel can be closed with.
int CancelResult(TMsgDlgButtons buttons) {
  if (buttons.Contains(mbCancel)) return IDCANCEL;
  if (buttons == TMsgDlgButtons{mbOK}) return IDOK;
  if (buttons.Contains(mbNo)) return IDNO;
  return IDCANCEL;
}

// Shows a real box. defaultIndex counts the buttons in box order.
int ShowBox(const QString& caption, const QString& text, UINT icon, TMsgDlgButtons buttons, int defaultIndex) {
  QWidget* parent = QApplication::activeWindow();
  if (!parent && Application && Application->MainForm() && Application->MainForm()->Visible())
    parent = Application->MainForm()->Widget();
  QMessageBox box(QtIcon(icon), caption, text, QMessageBox::NoButton, parent);
  box.setWindowModality(Qt::ApplicationModal);
  std::vector<std::pair<QAbstractButton*, int>> results;
  int index = 0;
  for (const TButtonInfo& info : kButtons) {
    if (!buttons.Contains(info.button)) continue;
    QPushButton* button = box.addButton(LoadResString(*info.caption), info.role);
    results.emplace_back(button, info.result);
    if (index++ == defaultIndex) box.setDefaultButton(button);
    if (info.button == mbCancel) box.setEscapeButton(button);
  }
  TDisabledWindows disabled(&box);
  box.exec();
  for (const auto& [button, result] : results)
    if (box.clickedButton() == button) return result;
  return CancelResult(buttons);
}

int AskOrShow(const QString& caption, const QString& text, UINT icon, TMsgDlgButtons buttons, int defaultIndex) {
  if (!TDialogScript::Enabled()) return ShowBox(caption, text, icon, buttons, defaultIndex);
  TShownDialog shown;
  shown.Kind = dkMessageBox;
  shown.Caption = caption;
  shown.Text = text;
  shown.Icon = icon;
  shown.Buttons = buttons;
  const std::optional<int> answer = TDialogScript::TakeAnswer(shown);
  return answer ? *answer : CancelResult(buttons);
}

UINT DialogIcon(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return MB_ICONWARNING;
    case mtError: return MB_ICONERROR;
    case mtInformation: return MB_ICONINFORMATION;
    case mtConfirmation: return MB_ICONQUESTION;
    default: return 0;
  }
}

QString DialogCaption(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return LoadResString(SMsgDlgWarning);
    case mtError: return LoadResString(SMsgDlgError);
    case mtInformation: return LoadResString(SMsgDlgInformation);
    case mtConfirmation: return LoadResString(SMsgDlgConfirm);
    default: return Application ? Application->Title() : QString();
  }
}

}  // namespace

TMsgDlgButtons MessageBoxButtons(UINT flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return mbOKCancel;
    case MB_ABORTRETRYIGNORE: return mbAbortRetryIgnore;
    case MB_YESNOCANCEL: return mbYesNoCancel;
    case MB_YESNO: return mbYesNo;
    case MB_RETRYCANCEL: return TMsgDlgButtons{mbRetry, mbCancel};
    default: return TMsgDlgButtons{mbOK};
  }
}

int MessageBox(const QString& text, const QString& caption, UINT flags) {
  return AskOrShow(caption, text, flags & MB_ICONMASK, MessageBoxButtons(flags),
                   static_cast<int>((flags & MB_DEFMASK) >> 8));
}

int MessageDlg(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) {
  const TMsgDlgBtn defaultButton = buttons.Contains(mbOK) ? mbOK : buttons.Contains(mbYes) ? mbYes : mbRetry;
  return MessageDlg(msg, type, buttons, helpCtx, defaultButton);
}

int MessageDlg(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int /*helpCtx*/,
               TMsgDlgBtn defaultButton) {
  int defaultIndex = 0;
  int index = 0;
  for (const TButtonInfo& info : kButtons) {
    if (!buttons.Contains(info.button)) continue;
    if (info.button == defaultButton) defaultIndex = index;
    ++index;
  }
  return AskOrShow(DialogCaption(type), msg, DialogIcon(type), buttons, defaultIndex);
}

void ShowMessage(const QString& msg) {
  AskOrShow(Application ? Application->Title() : QString(), msg, 0, TMsgDlgButtons{mbOK}, 0);
}
