#include "acquisition/calibration_host.h"

#include "acquisition/main_form.h"

TRadar* TMainCalibrationHost::CurrentRadar() const { return main_.CurrentRadar(); }
TControlRadar* TMainCalibrationHost::ControlRadar() const { return main_.ControlRadar(); }
TCustomIniFile* TMainCalibrationHost::MainIni() const { return main_.MainIni(); }
TTopoType TMainCalibrationHost::LastTopoType() const { return main_.Settings.TopoType; }
void TMainCalibrationHost::SetLastTopoType(TTopoType type) { main_.Settings.TopoType = type; }
