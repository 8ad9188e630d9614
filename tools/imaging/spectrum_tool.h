#pragma once
// TSpectrum: an analysis tool that follows the cursor of the radargram window
// while its dialog is open. It averages the traces around the cursor's trace
// (vertical: a line along time) or the rows around the cursor's depth
// (horizontal: a line along the profile), shows the line with its mean and
// standard deviation over a window, the amplitude spectrum of that window by a
// direct transform, and with Apply on its correlation with five Ricker-type
// kernels (spectrum_kernel.h). Its place in the chain passes the data through.
//
// The line is taken from the tool's saved input of the dialog's channel (its
// input in the chain), so the display buffer is never written outside a run.
// A cursor move with Apply checked hands a copy of that input over to the next
// run of the same channel at the same size (the window re-runs the chain from
// this tool); any other run passes its input through as usual. A cursor message
// that arrives while the tool runs is taken up after the run, the last one only.
//
// The sets hold Apply only. User-interface thread; the transform and the
// correlation run on the worker pool.

#include "tools/imaging/spectrum_kernel.h"
#include "tools/tool_base.h"

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class T2Dview;
class TDlgSpectrum;
class TSampleBlock;

struct TSpectrumParam {
  bool Apply = true;
};

class TSpectrum : public TToolBase<TSpectrumParam> {
public:
  static constexpr uint8_t RecordFormat = 32;

  explicit TSpectrum(uint16_t w = 0);
  ~TSpectrum() override;

  // ---- Fields ----------------------------------------------------------------
  int32_t PositionTrace = 1;  // 0 vertical, 1 horizontal
  int32_t DeltaPlus = 10;
  int32_t CurrentTrace = 0;   // window numbering
  int32_t CurrentDeep = 0;    // sample
  int32_t CurrentDeepTime = 0;  // ns
  long double FrDescret = 60;   // traces per second (horizontal mode)
  long double StepTime = 1.0L / 60;
  long double dTime = 1000.0L / 60;
  int32_t Diapazon = 900;
  int32_t AreaStart = 0;
  int32_t AreaStop = 900;
  int32_t oldAreaStart = 0;
  int32_t oldAreaStop = 900;
  int32_t AreaCurrent = 0;
  int32_t LongMax = 0;
  int32_t MaxFr = 0;
  int32_t MinFr = 0;
  int32_t M = 0;
  double MatOzidanie = 0;
  double MiddleSqDelta = 0;
  std::vector<double> LineInput, AxisValue;
  // Entries 0 .. M, entry 0 unused.
  std::vector<double> FreqLineInput, FreqAxisValue;
  // Kernels of the harmonics 2 .. 6 at index n - 2, and their correlations.
  std::array<THarmonicKernel, HarmonicCount> Harmonics;
  std::array<std::vector<double>, HarmonicCount> HarmonicWavelet;
  int32_t mstart = 10000;
  int32_t mstop = -10000;
  // The hand-over of a cursor move: the tool's saved input of one channel, at
  // the size it had then, stands as the result of that channel's next restart.
  struct THandOver {
    int32_t Channel = -1;
    int64_t Bytes = 0;
  };
  THandOver locDataTransform;
  bool RunChangeNumTrace = false;
  bool NowDraw = false;
  bool flChangeDigitEdit = true;

  // ---- Overrides -----------------------------------------------------------------
  uint8_t GetVersion() const override { return 16; }
  void execute(bool first, int32_t NumberView) override;
  void SaveToStream(TStream& str) override;
  // Records of the older chain kinds hold nothing of the tool.
  void ReadFromStream(TStream&, int32_t) override {}
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  int SetPropertyes(bool adding) override;
  void AfterChange(int32_t NumRadar) override;
  // trace: window numbering; y: the time under the cursor in thousandths of a ns.
  void AfterChangeNumTrace(int32_t trace, int32_t y) override;

  // ---- Own operations ------------------------------------------------------------
  // The data a full run saved last (the tool's input), nullptr before one.
  const TSampleBlock* dezoDataSave() const;
  void ExecuteChangeNumTrace(bool first);
  void DrawSpectrum();
  void Draw();
  void CalcSpectrum();
  void DispSpectrum();
  void FreqAfterChange();
  void GetStartStopDiapazon(bool isRunDiapazon);
  void Wavelet_PrepareLine();
  void Wavelet_Execute(bool first);
  void Wavelet_DrowLine();
  std::vector<double> GetAverageLine() const;
  // The dialog's texts of the statistics ("Trace: …, Depth: …, …").
  QString StatisticsTitle() const;
  // The line's length: traces (horizontal) or samples (vertical) of the channel.
  int64_t LineLength() const;
  bool Horizontal() const { return PositionTrace == 1; }
  // "refresh": the cursor handling at the current trace and depth.
  void Refresh();

protected:
  TSpectrumParam PackParams() const override { return {AExecuting}; }
  void UnpackParams(const TSpectrumParam& set) override { AExecuting = set.Apply; }
  TRunPolicy RunPolicy() const override { return {TKernelKind::WholeChannel, TYieldPolicy::None, TBreakPolicy::NoBreak}; }
  TToolForm* CreateForm() override;

private:
  TDlgSpectrum* Dialog() const;
  const T2Dview* CurrentView() const;
  TSpectrumSamples InputSamples() const;
  // A cursor message that came during a run.
  std::optional<std::pair<int32_t, int32_t>> pendingCursor_;
};
