#pragma once
// Online stages of a channel as plain parameter holders, made by a factory that
// counts what it made and what was freed; FactoryScope registers a factory for one
// test and always unregisters it. The stages start with the values the real ones
// are created with, which differ from the settings file's defaults, so a value
// that is not read shows.

#include "profiledata/channel_hooks.h"
#include "profiledata/list_of_dots.h"

#include <memory>

struct FakeStageLog {
  int created = 0;
  int destroyed = 0;
  int waveletInits = 0;
  const T2Dview* lastStore = nullptr;
};

class FakeOnlineStages : public IOnlineStages {
public:
  explicit FakeOnlineStages(FakeStageLog& log) : log_(log) {
    ++log_.created;
    dots.SetLeft(10);
    dots.SetTop(10);
    dots.SetWidth(280);
    dots.SetHeight(450);
    dots.SetPoint(0, 140, 0);
    dots.SetPoint(1, 207, 450);
  }
  ~FakeOnlineStages() override { ++log_.destroyed; }

  int32_t threshold = 30000;
  bool comparatorApplay = false;
  int32_t widthWindow = 100;
  bool backgroundApplay = false;
  long double timescale = 1.0L;
  bool waveletApplay = false;
  bool gainApplay = false;
  TListOfDots dots;

  int32_t ComparatorThreshold() const override { return threshold; }
  void SetComparatorThreshold(int32_t value) override { threshold = value; }
  bool ComparatorApplay() const override { return comparatorApplay; }
  void SetComparatorApplay(bool value) override { comparatorApplay = value; }
  int32_t WidthWindow() const override { return widthWindow; }
  void SetWidthWindow(int32_t value) override { widthWindow = value; }
  bool WindowedBackgroundRemovalApplay() const override { return backgroundApplay; }
  void SetWindowedBackgroundRemovalApplay(bool value) override { backgroundApplay = value; }
  long double WaveletTimescale() const override { return timescale; }
  void SetWaveletTimescale(long double value) override { timescale = value; }
  bool WaveletApplay() const override { return waveletApplay; }
  void SetWaveletApplay(bool value) override { waveletApplay = value; }
  void InitWavelet() override { ++log_.waveletInits; }
  bool TVGCApplay() const override { return gainApplay; }
  void SetTVGCApplay(bool value) override { gainApplay = value; }
  TListOfDots& ListofBaseDots() override { return dots; }

private:
  FakeStageLog& log_;
};

class FakeStagesFactory : public IOnlineStagesFactory {
public:
  FakeStageLog log;
  std::unique_ptr<IOnlineStages> CreateOnlineStages(T2Dview& store) override {
    log.lastStore = &store;
    return std::make_unique<FakeOnlineStages>(log);
  }
};

class FactoryScope {
public:
  explicit FactoryScope(IOnlineStagesFactory* factory) { SetOnlineStagesFactory(factory); }
  ~FactoryScope() { SetOnlineStagesFactory(nullptr); }
  FactoryScope(const FactoryScope&) = delete;
  FactoryScope& operator=(const FactoryScope&) = delete;
};
