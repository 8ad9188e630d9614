// DUvova3DuruZuza: the Run command's state as the radargram windows reach it.

#include "acquisition/main_form.h"

#include "radar/control_radar.h"

void DUvova3DuruZuza::RunActionExecute() {
  RadarPausedWithGPS = false;
  if (!RunActionChecked_) ActionsInStop();
}

void DUvova3DuruZuza::ActionsInStop() {
  if (controlRadar_) controlRadar_->StopAllRadarGetData();
  RadarStarted_ = false;
}
