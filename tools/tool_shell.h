#pragma once
// IToolShell: the acquisition program's main window as the processing tools see
// it: the interface language and the views of its current radargram window.
//
// The main window registers itself once it exists and unregisters (nullptr)
// before it goes; without one the null shell answers: English (1033) and no
// current window. All calls run on the user-interface thread.

#include <array>
#include <cstdint>

class T2Dview;

class IToolShell {
public:
  virtual ~IToolShell() = default;
  // The locale id of the interface language (1033 English, 25 Russian, ...).
  virtual int32_t Language() const = 0;
  // The five channel views of the current radargram window; all nullptr when
  // there is none (or for channels it does not have).
  virtual std::array<T2Dview*, 5> CurrentViews() const = 0;
  // The program runs in simple mode (the wavelet filter then follows the
  // antenna's time scale).
  virtual bool SimpleMode() const { return false; }
};

class TNullToolShell final : public IToolShell {
public:
  int32_t Language() const override { return 1033; }
  std::array<T2Dview*, 5> CurrentViews() const override { return {}; }
};

// Registers the main window (nullptr: none). Not owned.
void SetToolShell(IToolShell* shell);
// The registered main window, else the null shell.
IToolShell& ToolShell();
