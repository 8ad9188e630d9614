#pragma once
// The property frames of the post-processing overlays, shown one at a time in
// the radargram window's scroll box: level track bar and edit, colour panel,
// "Run processing", alpha bar, the Hilbert overlay's window lists, the
// frequency overlay's window size and the minimum region size, with the
// overlay's godograph on top.
//
// Every value a control changes goes to the overlay and to the main window's
// field of the same overlay and name (IToolShell::SetPostProcDefaults). Which
// controls run the window's overlays ("Run"): finishing the level edit, the
// colour, the frequency window, the alpha bar (a blend only: the level being
// unchanged, nothing is recomputed) and "Run processing"; the level track bar,
// the minimum size and the amplitude windows do not (the last two make the
// next run recompute).
//
// Threads: user-interface thread only.

#include "radargram/post_proc_overlays.h"

#include <QString>

#include <functional>
#include <memory>

class TButton;
class TComboBox;
class TDigitEdit;
class TImage;
class TPanel;
class TPostProc;
class TTrackBar;

class TPostProcPropertyFrame : public IPostProcFrame {
public:
  // run is the window's RunPostProcess.
  TPostProcPropertyFrame(TPostProc& overlay, TWinControl* parent, std::function<void()> run);
  ~TPostProcPropertyFrame() override;

  TImage* GodographImage() override { return GodographImage_; }
  void UpdateParameters() override;
  bool RunEnabled() const override;
  void SetRunEnabled(bool value) override;

  bool NeedRepaint = false;
  bool isRunPaint = false;

  TPanel* Frame = nullptr;
  TImage* GodographImage_ = nullptr;
  TTrackBar* LevelTrackBar = nullptr;
  TDigitEdit* LevelDE = nullptr;
  TPanel* ColorPanel = nullptr;
  TButton* RunButton = nullptr;  // sbRunComparator / sbRunHilbert
  TTrackBar* MasterAlphaBar = nullptr;
  TComboBox* cbMinPnt = nullptr;

  void LevelTrackBarChange();
  void LevelDEChangeFinish();
  void MasterAlphaBarChange();
  void ColorPanelClick();
  void cbMinPntChange();
  void RunClick();

protected:
  // Adds a labelled list at row y of the frame; returns the box.
  TComboBox* AddList(int y, const QString& caption, const QStringList& items, bool pickOnly);
  // Integer of a list's text; reports the conversion error and returns false
  // when it is none.
  static bool ListInteger(const TComboBox& box, int32_t& value);
  // Stores the overlay's values as the main window's.
  void StoreDefaults();

  TPostProc& overlay_;
  std::function<void()> run_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  int nextRow_ = 0;
};

class TComparatorPropertyFrame final : public TPostProcPropertyFrame {
public:
  TComparatorPropertyFrame(TPostProc& overlay, TWinControl* parent, std::function<void()> run);
};

class THilbertPropertyFrame final : public TPostProcPropertyFrame {
public:
  THilbertPropertyFrame(TPostProc& overlay, TWinControl* parent, std::function<void()> run);
  void UpdateParameters() override;
  void cbWinSizeChange();

  TComboBox* cbWinSizeW = nullptr;
  TComboBox* cbWinSizeH = nullptr;
};

class TFreqHilbertPropertyFrame final : public TPostProcPropertyFrame {
public:
  TFreqHilbertPropertyFrame(TPostProc& overlay, TWinControl* parent, std::function<void()> run);
  void cbWinFreqSizeChange();

  TComboBox* cbWinFreqSize = nullptr;
};

// The frame of an overlay's kind.
std::unique_ptr<IPostProcFrame> MakePostProcFrame(TPostProc& overlay, TWinControl* parent, std::function<void()> run);
