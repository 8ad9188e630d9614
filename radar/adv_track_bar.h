#pragma once
// TadvTrackBar: a track bar whose OnChange handler is never re-entered.
//
// Handlers that preview a change run the message loop, so further position
// changes (a drag goes on) arrive while the handler runs. They are not handled
// one by one: they only mark that the position changed, and the handler runs
// once more after it returns, for the latest position, however many changes came.
// A mouse release during a run gets one more run after that, so the position
// where the drag ended is always handled. The extra runs are guarded like the
// first; changes during them give one more run each time.
//
// User-interface thread only.

#include "platform/ui/track_bar.h"

class TadvTrackBar : public TTrackBar {
public:
  explicit TadvTrackBar(TComponent* AOwner);

  bool isRuning = false;     // the change handler is running
  bool isFinished = false;   // the mouse was released while it ran
  bool isNeedChange = false; // the position changed while it ran

protected:
  void Changed() override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
};
