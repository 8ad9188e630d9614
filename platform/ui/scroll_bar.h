#pragma once
// TScrollBar: a horizontal or vertical scroll bar (over a QScrollBar).
//
// Position runs from Min to Max - PageSize + 1 (the thumb covers PageSize
// positions; with PageSize 0 up to Max). Every change of Position, by the user
// or the program, runs OnChange once. A user action runs OnScroll first with
// its scroll code and the position it leads to, which the handler may change;
// the bar then moves there. Releasing the thumb reports scPosition, then
// scEndScroll. SmallChange is the arrows' step, LargeChange the page step.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"

#include <QMetaObject>

class QScrollBar;

enum TScrollBarKind : uint8_t { sbHorizontal, sbVertical };
enum TScrollCode : uint8_t {
  scLineUp,
  scLineDown,
  scPageUp,
  scPageDown,
  scPosition,
  scTrack,
  scTop,
  scBottom,
  scEndScroll
};
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TWinControl {
public:
  explicit TScrollBar(TComponent* AOwner);
  ~TScrollBar() override;

  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind value);
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetMin(int value) { SetParams(Position(), value, max_); }
  void SetMax(int value) { SetParams(Position(), min_, value); }
  int Position() const;
  void SetPosition(int value) { SetParams(value, min_, max_); }
  // Sets all three at once; the position is kept inside the new range.
  void SetParams(int position, int min, int max);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int value);
  int SmallChange() const;
  void SetSmallChange(int value);
  int LargeChange() const;
  void SetLargeChange(int value);

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

private:
  QScrollBar* Bar() const;
  void ApplyRange();
  void UserAction(int action);

  TScrollBarKind kind_ = sbHorizontal;
  int min_ = 0;
  int max_ = 100;
  int pageSize_ = 0;
  QMetaObject::Connection changed_;
  QMetaObject::Connection action_;
  QMetaObject::Connection released_;
};
