#pragma once
// Helpers for tests of toolkit code, provided by the UI test main.

#include "platform/ui/control_types.h"
#include "platform/ui/forms.h"
#include "platform/ui/graphics.h"

#include <QString>

#include <chrono>
#include <functional>
#include <vector>

// Forms with the MDI frame or child style from their creation, as
// Application->CreateForm makes them.
class TMdiFrameForm : public TForm {
public:
  explicit TMdiFrameForm(TComponent* owner) : TForm(owner) { SetFormStyle(fsMDIForm); }
};

class TMdiChildForm : public TForm {
public:
  explicit TMdiChildForm(TComponent* owner) : TForm(owner) { SetFormStyle(fsMDIChild); }
};

// Runs Application->ProcessMessages until condition holds or the limit passes;
// returns the condition's last value.
bool ProcessMessagesUntil(const std::function<bool()>& condition,
                          std::chrono::milliseconds limit = std::chrono::seconds(5));

// The acquisition tests' message pump: ProcessMessagesUntil with a patience for
// radar replies, then one more round for what the condition's change queued.
bool ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(30));

class TControl;
class TForm;

// The colour the screen shows at client point (x, y) of the control.
TColor ShownColor(TControl& control, int x, int y);

// While it lives, dialogs that find no scripted answer are collected instead of
// failing the test.
class TUnexpectedDialogRecorder {
public:
  TUnexpectedDialogRecorder();
  ~TUnexpectedDialogRecorder();
  TUnexpectedDialogRecorder(const TUnexpectedDialogRecorder&) = delete;
  TUnexpectedDialogRecorder& operator=(const TUnexpectedDialogRecorder&) = delete;

  const std::vector<QString>& Descriptions() const { return descriptions_; }

private:
  std::vector<QString> descriptions_;
};

// Replaces the application object by a fresh one (its forms go with the old
// one). Terminate cannot be undone, so tests that end Application->Run call this
// afterwards.
void RecreateApplication();

// The handler the test main installs: an unexpected dialog fails the test.
void InstallFailingDialogHandler();

// The toolkit's own mouse input at client point (x, y) of the control, as a user
// gives it: a press or release of button, or a move with button held (a move
// with held false holds nothing). ctrl holds the Ctrl key.
enum TTestMouseAction : uint8_t { maPress, maMove, maRelease };
void SendMouse(TControl& control, TTestMouseAction action, TMouseButton button, bool held, bool ctrl, int x, int y);

// A key pressed while the control has the focus, as Qt delivers it when a menu
// short cut might be bound to it: the control is asked first; the key comes as
// a key press only when the control takes it (the result), else the short cut
// would have it.
bool SendKeyBeforeShortCuts(TControl& control, WORD key);

// Characters typed while the control has the focus: one key press with its
// text per character.
void SendText(TControl& control, const QString& text);

// The user's double click on the title of the form's window (an MDI child's
// frame window): a normal window maximizes, another one is restored.
void UserTitleDoubleClick(TForm& form);
