// DUvova3DuruZuza: the Run command's state as the radargram windows reach it.

#include "acquisition/main_form.h"

#include "radar/control_radar.h"
#include "radargram/view2d_form.h"

void DUvova3DuruZuza::RunActionExecute() {
  RadarPausedWithGPS_ = false;
  if (!Commands.RunChecked) ActionsInStop();
}

void DUvova3DuruZuza::ActionsInStop() {
  if (TControlRadar* radars = ControlRadar()) radars->StopAllRadarGetData();
  RadarStarted_ = false;
  if (TView2DForm* window = CurChild()) window->RunPostProcess(nullptr);
}
