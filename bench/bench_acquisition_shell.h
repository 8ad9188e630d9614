#pragma once
// The acquisition program's main window for benchmarks: only its presence
// matters (channel stores then keep their samples); it answers nothing else.

#include "profiledata/channel_hooks.h"

class TBenchAcquisitionShell : public IAcquisitionShell {
public:
  ISettingsRadar* CurrentRadar() const override { return nullptr; }
  TTopoType CurrentTopoType() const override { return ttWheel; }
  uint16_t OdometerMult() const override { return 5; }
  IChannelWindow* ActiveChannelWindow() const override { return nullptr; }
  void SetErrorLoadFile(bool) override {}
};
