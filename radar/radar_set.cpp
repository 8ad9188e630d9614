#include "radar/radar_set.h"

TRadarSet::TRadarSet() { SetRadarSetView(this); }

TRadarSet::~TRadarSet() {
  ControlRadar.RadarNil();
  // The readers still find this set while they stop.
  ActiveRadar.RadarFree();
  if (RadarSetView() == this) SetRadarSetView(nullptr);
}

void TRadarSet::FinishSet() {
  ActiveRadar.CreateArChannalSerNum();
  ActiveRadar.CreateArControlRadar();
  ControlRadar.CreateXYZOffsetFromRadar();
}

void TRadarSet::SetDeviceBox(uint8_t typeGPRDevice, uint16_t serNumDevice) {
  for (TControlRadar* set : {static_cast<TControlRadar*>(&ActiveRadar), &ControlRadar}) {
    set->SetTypeGPRDevice(static_cast<TTypeGPRDevice>(typeGPRDevice));
    set->SetSerNumDevice(serNumDevice);
  }
}
