#pragma once
// TRadarSet: the main window's two set objects together, ActiveRadar (owns the
// radars, slot = the radar's channel number) and ControlRadar (the channel set of
// the recording window), registered as the process's radar set (IRadarSetView) so
// that the radars and their reader threads find their set.
//
// Lifetime: the main window creates it at start-up and frees it at exit. The
// destructor makes ControlRadar forget the radars, frees them through ActiveRadar
// and then withdraws the registration. Only one set is registered at a time; a
// set does not withdraw another's registration.
//
// Threads: created, built and destroyed on the user-interface thread; the
// IRadarSetView calls marked "any thread" in radar_hooks.h are safe from readers.

#include "radar/active_radar.h"
#include "radar/control_radar.h"
#include "radar/radar_hooks.h"

class TRadarSet : public IRadarSetView {
public:
  TRadarSet();
  ~TRadarSet() override;
  TRadarSet(const TRadarSet&) = delete;
  TRadarSet& operator=(const TRadarSet&) = delete;

  // What the main window runs after it created a radar per found port:
  // CreateArChannalSerNum, CreateArControlRadar and CreateXYZOffsetFromRadar.
  void FinishSet();

  // ---- IRadarSetView ------------------------------------------------------------------
  // ActiveRadar's slot (nullptr while the main window re-checks or removes a device).
  TRadar* SlotRadar(int slot) const override { return ActiveRadar.GetRadarByIndex(slot); }
  bool InChannelSet(const TRadar& radar) const override { return ControlRadar.isPresentRadar(&radar); }
  TTypeGPRDevice TypeGPRDevice() const override { return ActiveRadar.TypeGPRDevice(); }
  // Both set objects describe the same device box.
  void SetDeviceBox(uint8_t typeGPRDevice, uint16_t serNumDevice) override;
  std::recursive_mutex& RadarSect() override { return ActiveRadar.RadarSect; }
  bool isSlaveRunEnded() override { return ActiveRadar.isSlaveRunEnded(); }

  TControlRadar ControlRadar;
  TActiveRadar ActiveRadar{&ControlRadar};
};
