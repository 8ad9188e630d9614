#pragma once
// While a modal window runs, every other visible top-level window is disabled;
// the same windows are enabled again when it ends.

#include <QPointer>
#include <QWidget>

#include <vector>

class TDisabledWindows {
public:
  // modal: the window that stays enabled (may be nullptr when it does not exist yet).
  explicit TDisabledWindows(const QWidget* modal);
  ~TDisabledWindows();
  TDisabledWindows(const TDisabledWindows&) = delete;
  TDisabledWindows& operator=(const TDisabledWindows&) = delete;

private:
  std::vector<QPointer<QWidget>> disabled_;
};
