#pragma once
// TApplication: the application object. The program (or the test main) creates
// exactly one, after the toolkit's own (TToolkitSession below); it sets the
// global `Application`, owns the forms made by CreateForm and runs the one
// message loop.
//
// Threads: user-interface thread only.

#include "platform/ui/component.h"
#include "platform/ui/messages.h"

#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

class QApplication;
class QEventLoop;
class TForm;
class TTerminationSignals;

class TApplication : public TComponent {
public:
  explicit TApplication(TComponent* AOwner = nullptr);
  ~TApplication() override;

  // Installs the handling of SIGTERM and SIGINT: each closes the main form as a
  // user would, so that Run returns and the program ends normally.
  void Initialize();

  // Creates a T owned by the application; reference is set before OnCreate runs.
  // The first form created becomes the main form.
  template <typename T>
  void CreateForm(T*& reference) {
    T* instance = new T(this);
    reference = instance;
    instance->AfterConstruction();
    if constexpr (std::is_base_of_v<TForm, T>) {
      if (!mainForm_) mainForm_ = instance;
    }
  }

  TForm* MainForm() const { return mainForm_; }
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool value) { showMainForm_ = value; }

  // Shows the main form and runs the message loop until the main form closes or
  // Terminate is called. Returns at once without a main form.
  void Run();
  // Ends Run and every modal loop.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Runs everything queued: posted messages, Synchronize and Queue calls, due
  // timers and Qt's own events, until nothing is left.
  void ProcessMessages();
  // Serves the queue, waiting for something to arrive when it is empty.
  void HandleMessage();

  // Default: the executable's name without folder, cut at its first '.', every
  // character after the first in lower case.
  const QString& Title() const { return title_; }
  void SetTitle(const QString& value) { title_ = value; }

  int MessageBox(const QString& text, const QString& caption, UINT flags = 0);
  // Milliseconds the mouse rests over a control before its hint shows.
  int HintPause() const { return hintPause_; }
  void SetHintPause(int value);
  // The hidden window of the application.
  HWND Handle() const { return handle_; }

  // What an event handler threw: OnException when set, else a message box with
  // the message and the title (ShowException). Sender is the control whose
  // handler threw, or the application when it is not known.
  std::function<void(TObject* Sender, std::exception_ptr error)> OnException;
  void HandleException(std::exception_ptr error) { HandleException(this, error); }
  void HandleException(TObject* Sender, std::exception_ptr error);
  // The default display of an exception: a message box with its message.
  void ShowException(std::exception_ptr error);

  // Modal loops register here so that Terminate can end them.
  void PushLoop(QEventLoop* loop);
  void PopLoop(QEventLoop* loop);
  // Called by a form that is going.
  void FormDestroyed(TForm* form);

  static QString DefaultTitle(const QString& executablePath);

private:
  void OnTerminationSignal();

  TForm* mainForm_ = nullptr;
  bool showMainForm_ = true;
  bool terminated_ = false;
  QString title_;
  int hintPause_ = 500;
  HWND handle_ = nullptr;
  std::vector<QEventLoop*> loops_;
  std::unique_ptr<TTerminationSignals> signals_;
};

extern TApplication* Application;

// Without a display (no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM) the programs
// run on Qt's offscreen platform. Call before the QApplication exists.
void SelectOffscreenPlatformWithoutDisplay();

// The toolkit's own application object, under TApplication. A program's main
// makes one first, from main's arguments (argc must outlive it), and keeps it
// until the end; only then may the TApplication be made. Without a display it
// picks the offscreen platform. Closing the last window does not end the
// program: the main form's closing ends Run.
class TToolkitSession {
public:
  TToolkitSession(int& argc, char** argv);
  ~TToolkitSession();
  TToolkitSession(const TToolkitSession&) = delete;
  TToolkitSession& operator=(const TToolkitSession&) = delete;

private:
  std::unique_ptr<QApplication> application_;
};
