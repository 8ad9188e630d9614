#pragma once
// Automatic gain calibration of a channel: after the background removal has
// settled (its window width in traces), up to 60 processed traces are collected
// until the mean trace changes by 0.05 % or less on average; the gain curve and
// the display normalisation are then built from them.
//
// States: idle -> Init (running, waiting StartNumTrace traces) -> collecting ->
// ended (converged or MaxNumTrace traces). User-interface thread only.

#include "profiledata/geometry_gpr.h"
#include "radar/trace_capacity.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class T2Dview;

namespace PluginsOnline {
class TTVGC;
class TWindowedBackgroundRemoval;
}  // namespace PluginsOnline

class TGainCalibration {
public:
  static constexpr int32_t SamplesMax = LastArrayLength;

  // owner may be nullptr (no channel: CreateGainOnline does nothing); the stages
  // are the channel's own and outlive the calibration.
  TGainCalibration(T2Dview* owner, const PluginsOnline::TWindowedBackgroundRemoval& background,
                   PluginsOnline::TTVGC& gain);
  ~TGainCalibration();
  TGainCalibration(const TGainCalibration&) = delete;
  TGainCalibration& operator=(const TGainCalibration&) = delete;

  // Starts a calibration: StartNumTrace := the background window width.
  void Init();
  // Takes one processed trace of n samples while running.
  void AddTraceForGain(const int32_t* ArrayLastTrace, int32_t lenArrayLastTrace);
  // Builds the gain curve and the display normalisation from what was collected.
  void CreateGainOnline() { GetAutoListBaseDots(); }
  void GetAutoListBaseDots();
  // The NumTraces x KoefArrMax-th smallest of the collected traces' largest |sample|.
  int32_t GetMaxDezoData() const;

  bool Running() const { return runing; }
  // The settings window's calibration label: "<count> (<percent>%)".
  QString ProgressText() const;

  long double MaxSrOtkl = 0.0005L;
  int32_t NumTraces = 0;
  int32_t StartNumTrace = 0;
  int32_t MaxNumTrace = 60;
  int32_t CountLATraces = 0;
  long double SrOtkl = 1.0L;
  int32_t LongTrace = 0;
  std::vector<long double> arOtkl, MiddleSum, MiddleSumNew;
  // Collected trace i at i x SamplesMax.
  std::vector<int32_t> locData;

private:
  // Envelopes of the collected traces (the "DQ" tool's amplitude envelope).
  void DQ_Execute(std::vector<int32_t>& block, int samples, int traces) const;

  T2Dview* FOwner;
  const PluginsOnline::TWindowedBackgroundRemoval& FBackground;
  PluginsOnline::TTVGC& FGain;
  std::unique_ptr<TarMax2InTraces> arMax2InTraces;
  bool runing = false;
};
