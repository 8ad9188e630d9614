#include "radar/adv_track_bar.h"

TadvTrackBar::TadvTrackBar(TComponent* AOwner) : TTrackBar(AOwner) {}

void TadvTrackBar::Changed() {
  if (isRuning) {
    isNeedChange = true;
    return;
  }
  isRuning = true;
  // A handler that throws still ends the run.
  struct TRunEnd {
    bool& running;
    ~TRunEnd() { running = false; }
  } end{isRuning};
  TTrackBar::Changed();
  for (;;) {
    if (isNeedChange) {
      isNeedChange = false;
      TTrackBar::Changed();
    } else if (isFinished) {
      isFinished = false;
      TTrackBar::Changed();
    } else {
      break;
    }
  }
}

void TadvTrackBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TTrackBar::MouseUp(button, shift, x, y);
  if (isRuning) isFinished = true;
}
