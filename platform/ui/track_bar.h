#pragma once
// TTrackBar: a slider over a range of integer positions (over a QSlider).
//
// Every change of Position, dragged, keyed, clicked or set by the program (also
// one forced by new limits), runs Changed once, which runs OnChange. Subclasses
// override Changed to decide how OnChange is run, and MouseUp to learn that a
// drag ended.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"

#include <QMetaObject>

class QSlider;

enum TTrackBarOrientation : uint8_t { trHorizontal, trVertical };

class TTrackBar : public TWinControl {
public:
  explicit TTrackBar(TComponent* AOwner);
  ~TTrackBar() override;

  int Min() const;
  int Max() const;
  // Min above Max moves Max up to it, and the other way round; Position is kept
  // inside.
  void SetMin(int value);
  void SetMax(int value);
  void SetRange(int min, int max);
  int Position() const;
  // Clamped to Min .. Max.
  void SetPosition(int value);
  // The step of Page Up / Page Down and of a click beside the thumb.
  int PageSize() const;
  void SetPageSize(int value);
  // The step of the arrow keys.
  int LineSize() const;
  void SetLineSize(int value);
  // A tick every Frequency positions.
  int Frequency() const;
  void SetFrequency(int value);
  TTrackBarOrientation Orientation() const;
  void SetOrientation(TTrackBarOrientation value);

  TNotifyEvent OnChange;

protected:
  QSlider* Slider() const;
  // Runs OnChange.
  virtual void Changed();

private:
  QMetaObject::Connection valueChanged_;
};
