// A radar without a link whose traces and last trace a benchmark sets itself.
#pragma once

#include "radar/radar.h"

#include <cstdint>
#include <span>

class TBenchRadar : public TRadar {
public:
  TBenchRadar() : TRadar(nullptr) {}
  void SendCommand(uint8_t, uint8_t, const void*) override {}
  void QueuePacket(std::span<const uint8_t>) override {}
  int32_t GetNumCollision() override { return 1; }
  int32_t GetSumCollision() override { return 0; }
  void ClearSumCollision() override {}
  void SetWhillParamFromMaster(int32_t, TDirectForCart) override {}
  TDirectForCart GetRadarDirection() override { return dForward; }
  TParentThread* GetCommThread() override { return nullptr; }
};
