#include "acquisition/calibration_host.h"

#include "acquisition/main_form.h"

TRadar* TMainCalibrationHost::CurrentRadar() const { return main_ ? main_->CurrentRadar() : nullptr; }
TControlRadar* TMainCalibrationHost::ControlRadar() const { return main_ ? main_->ControlRadar() : nullptr; }
TCustomIniFile* TMainCalibrationHost::MainIni() const { return main_ ? main_->MainIni() : nullptr; }
TTopoType TMainCalibrationHost::LastTopoType() const { return main_ ? main_->Settings.TopoType : ttNil; }
void TMainCalibrationHost::SetLastTopoType(TTopoType type) {
  if (main_) main_->Settings.TopoType = type;
}
