#pragma once
// IToolShell: the acquisition program's main window as the processing tools see
// it: the interface language and the views of its current radargram window.
//
// The main window registers itself once it exists and unregisters (nullptr)
// before it goes; without one the null shell answers: English (1033) and no
// current window. All calls run on the user-interface thread.

#include "radargram/post_proc_overlays.h"

#include <array>
#include <cstdint>

class T2Dview;

// The values the post-processing overlays of the next radargram window start
// with (the settings file's sections "Comparator", "Hilbert", "FreqHilbert");
// each overlay uses only the fields it has.
struct TPostProcDefaults {
  int32_t PosLevel = 40;
  int32_t AlphaBlend = 128;
  int32_t Color = 0;
  int32_t MinPnt = 3;
  int32_t WinAmpSizeW = 3;  // Hilbert
  int32_t WinAmpSizeH = 3;  // Hilbert
  int32_t WinFreqSize = 3;  // FreqHilbert
  bool operator==(const TPostProcDefaults&) const = default;
};

// The values without a main window: level 40, alpha 128, colour 255 for the
// comparator and $FF0000 for the other two, windows 3, minimum size 3.
TPostProcDefaults NullPostProcDefaults(TPostProcKind kind);

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
  // The main window's overlay fields of a kind (ComparatorPostProc_PosLevel
  // ...): read by a new window's overlays, written by every change in a frame.
  virtual TPostProcDefaults PostProcDefaults(TPostProcKind kind) const { return NullPostProcDefaults(kind); }
  virtual void SetPostProcDefaults(TPostProcKind /*kind*/, const TPostProcDefaults& /*values*/) {}
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
