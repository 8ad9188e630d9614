#pragma once
// The online stages of one channel as the channel store and the acquisition
// windows reach them, and the factory that makes the channel store create them.
//
// RegisterOnlineStages() installs the factory with the channel store's hook; the
// acquisition program calls it at start (and UnregisterOnlineStages() before it
// goes). The planning program never does, and its channels have no stages.
// User-interface thread only.

#include "profiledata/channel_hooks.h"
#include "radar/online_data.h"
#include "radar/plugins_online.h"
#include "radar/plugins_online_calibration.h"

#include <QString>

#include <memory>

class TOnlineStageSet : public IOnlineStages {
public:
  // Creates every stage for the channel (owner may be nullptr) and initialises the
  // wavelet stage.
  explicit TOnlineStageSet(T2Dview* owner);

  // Stage names the settings window passes with a dialog's record.
  static const QString WaveletName;     // "Wavelet Filter"
  static const QString BackgroundName;  // "Background Remover with Window"
  static const QString GainName;        // "TVGC"

  // Hands P to the stage of that name; any other name changes nothing. True when
  // a stage was addressed.
  bool SetOnlineParameters(const QString& stageName, const TOnlineParametrs& P);
  // Init of the comparator and of the three chain stages (start of a recording).
  void InitChain();
  // The chain on one trace copy: wavelet, background removal, gain.
  void ExecuteChain(int32_t* ArrayLastTrace, int32_t lenArrayLastTrace);

  PluginsOnline::TDeviceOffset DeviceOffset;
  PluginsOnline::TComparator Comparator;
  PluginsOnline::TWindowedBackgroundRemoval WindowedBackgroundRemoval;
  PluginsOnline::TTVGC TVGC;
  PluginsOnline::TWavelet Wavelet;
  TGainCalibration GainCalibration;
  TOnlineData OnlineData;

  // ---- IOnlineStages ---------------------------------------------------------------
  int32_t ComparatorThreshold() const override { return Comparator.Threshold; }
  void SetComparatorThreshold(int32_t value) override { Comparator.Threshold = value; }
  bool ComparatorApplay() const override { return Comparator.Applay; }
  void SetComparatorApplay(bool value) override { Comparator.Applay = value; }
  int32_t WidthWindow() const override { return WindowedBackgroundRemoval.WidthWindow; }
  void SetWidthWindow(int32_t value) override;
  bool WindowedBackgroundRemovalApplay() const override { return WindowedBackgroundRemoval.Applay; }
  void SetWindowedBackgroundRemovalApplay(bool value) override { WindowedBackgroundRemoval.Applay = value; }
  long double WaveletTimescale() const override { return Wavelet.Timescale; }
  void SetWaveletTimescale(long double value) override { Wavelet.Timescale = value; }
  bool WaveletApplay() const override { return Wavelet.Applay; }
  void SetWaveletApplay(bool value) override { Wavelet.Applay = value; }
  void InitWavelet() override { Wavelet.Init(); }
  bool TVGCApplay() const override { return TVGC.Applay; }
  void SetTVGCApplay(bool value) override { TVGC.Applay = value; }
  TListOfDots& ListofBaseDots() override { return TVGC.ListofBaseDots; }
};

class TOnlineStagesFactory : public IOnlineStagesFactory {
public:
  std::unique_ptr<IOnlineStages> CreateOnlineStages(T2Dview& store) override;
};

// Installs (or removes) the radar library's factory with the channel store's hook.
void RegisterOnlineStages();
void UnregisterOnlineStages();
