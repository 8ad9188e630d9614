#pragma once
// What the calibration tabs of the general preferences dialog (the topo device
// tab, topo_device_tab.h, and the inclinometer tab, inclinometer_calibration.h)
// take from the program: the main window's current radar and radar set, its
// settings file and the topo device last chosen. The main window gives them
// through TMainCalibrationHost. User-interface thread.

#include "profiledata/gpr_constants.h"

class DUvova3DuruZuza;
class TControlRadar;
class TCustomIniFile;
class TRadar;

class ICalibrationHost {
public:
  virtual ~ICalibrationHost() = default;
  // The main window's current radar (`radar`); nullptr when none.
  virtual TRadar* CurrentRadar() const = 0;
  // The radar set the inclinometer calibration starts and stops; nullptr when none.
  virtual TControlRadar* ControlRadar() const = 0;
  // The main settings file; nullptr when there is none.
  virtual TCustomIniFile* MainIni() const = 0;
  // LastTopoType.
  virtual TTopoType LastTopoType() const = 0;
  virtual void SetLastTopoType(TTopoType type) = 0;
};

// Without a main window (nullptr) there is no radar, no settings file and no
// topo device (ttNil).
class TMainCalibrationHost final : public ICalibrationHost {
public:
  explicit TMainCalibrationHost(DUvova3DuruZuza& main) : main_(&main) {}
  explicit TMainCalibrationHost(DUvova3DuruZuza* main) : main_(main) {}
  TRadar* CurrentRadar() const override;
  TControlRadar* ControlRadar() const override;
  TCustomIniFile* MainIni() const override;
  TTopoType LastTopoType() const override;
  void SetLastTopoType(TTopoType type) override;

private:
  DUvova3DuruZuza* main_;
};
