#pragma once
// TSearchObjectTool: looks for point reflectors. It marks the amplitude extrema of
// the channel (by the extremum mode), follows chains of marked extrema along the
// expected diffraction hyperbola from every candidate, judges each chain by its
// amplitude statistics, and draws its findings into the channel: every extremum
// a dot with the smallest sample, every detected apex a 3 x 3 square with the
// largest. With Matrix set it builds, in a rectangle about (Xup, Yup) and for the
// wave speeds SpeedLight +- dWave, a matrix of hyperbola-fit counts per speed and
// draws the block of ShowWave (or, with FilterMax, the strong cells of them all)
// instead. The computations are in search_object_kernel.h.
//
// The sets hold Apply, XYProportional, MinAmpSect, CountPointAtCurve and
// DistanceRecept; the rest is one value for the whole tool. Trial speeds are the
// run's own: the channel's SpeedLight, need-for-save flag and the tool's X/Y stay.
// The marks belong to the instance and are kept with the channel and geometry
// they were made from, so the dialog reads them only for that channel.
//
// The run has no progress display and no break. Threads: the user-interface
// thread; the marks, chains and matrix cells run on the worker pool with the same
// result for any thread count.

#include "tools/imaging/directivity_diagram.h"
#include "tools/imaging/search_object_kernel.h"
#include "tools/tool_base.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class T2Dview;

struct TSearchObjectParam {
  bool Apply = true;
  long double XYProportional = 0;
  int32_t MinAmpSect = 0;
  int32_t CountPointAtCurve = 0;
  long double DistanceRecept = 0;
};

class TSearchObjectTool : public TToolBase<TSearchObjectParam> {
public:
  static constexpr uint8_t RecordFormat = 33;
  static constexpr int WaveSpeeds = 301;
  // Matrix blocks of one run beyond this many bytes are not built.
  static constexpr int64_t DefaultMatrixMemoryCap = int64_t{1} << 30;

  explicit TSearchObjectTool(uint16_t w = 0);

  // In the sets.
  long double XYProportional = 5.0L;
  int32_t MinAmpSect = 25;
  int32_t CountPointAtCurve = 40;
  long double DistanceRecept = 0;
  // Tool-wide.
  int32_t SizeHyperbola = 50;
  int32_t MaxSumNormAmp = 50;
  int32_t typeMaxAmp = 0;
  int32_t Xup = 228;
  int32_t Yup = 153;
  int32_t Rxy = 90;
  int32_t dWave = 10;
  int32_t ShowWave = 140;
  bool Matrix = false;
  bool FilterMax = false;
  int32_t FilterMaxPorog = 50;
  bool DeleteDownPoints = false;
  int32_t AmpComparator = 25;
  int64_t MatrixMemoryCap = DefaultMatrixMemoryCap;
  // Set by the dialog for a run that only redraws the matrix.
  bool isOnlyPaintWave = false;

  // Of the last run.
  int64_t MaxAmp = 0;
  int32_t MiddleAmp = 0;
  int32_t maxCountPntAtDuga = 0;
  int32_t minCountPntAtDuga = 0;
  int32_t i1 = 0, i2 = 0, j1 = 0, j2 = 0, k1 = 0, k2 = 0;
  int32_t xMatrix = 0, yMatrix = 0;
  int64_t SizeMatrix = 0;
  // Per wave speed 0..300: the block of the last matrix at that speed, or none.
  std::array<std::unique_ptr<TWaveMatrixBlock>, WaveSpeeds> arWaveMatrix;

  TDirectivityDiagram Diagram;
  int32_t CurrentTrace = 0;
  int32_t PosX = 54;
  int32_t PosY = 237;
  THyperbolaArray HyperbolaArray{};

  uint8_t GetVersion() const override { return 16; }
  void execute(bool first, int32_t NumberView) override;
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  // While adding, the antenna spacing of the dialog's channel's unit first.
  int SetPropertyes(bool adding) override;
  // Every set: X/Y 5 (a wheel-mode channel's trace step), SizeHyperbola 50.
  void ToolInit() override;

  void SaveParamsAll();
  void PaintDiagram() { Diagram.PaintDiagram(); }

  // The chain from trace X, sample Y of channel CurrentNumberView (the dialog's):
  // on the polyline marks when useSecond, else the marks. Without marks made from
  // that channel as it is now, no chain.
  TChainResult GetSelectPolyLine(bool useSecond, int32_t X, int32_t Y, TChainPoints& points) const;
  // The verdict on an amplitude profile (101 entries, centre 50): more than
  // CountPointAtCurve nonzero values within +-SizeHyperbola.
  bool DetectDugis(const std::array<int32_t, 101>& profile) const;
  // The source and marks (or polyline marks) of channel CurrentNumberView, when
  // the marks were made from that channel as it is now.
  std::optional<TSearchPlanes> DialogPlanes(bool useSecond) const;
  // The channel the marks were made from, -1 for none.
  int32_t MarksChannel() const { return work_.Channel; }
  const std::vector<int8_t>& Marks() const { return work_.Marks; }
  const std::vector<int8_t>& PolyLineMarks() const { return work_.PolyMarks; }

protected:
  TSearchObjectParam PackParams() const override {
    return {AExecuting, XYProportional, MinAmpSect, CountPointAtCurve, DistanceRecept};
  }
  void UnpackParams(const TSearchObjectParam& set) override {
    AExecuting = set.Apply;
    XYProportional = set.XYProportional;
    MinAmpSect = set.MinAmpSect;
    CountPointAtCurve = set.CountPointAtCurve;
    DistanceRecept = set.DistanceRecept;
  }
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::None, TBreakPolicy::NoBreak};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // TSearchObjectForm.
  TToolForm* CreateForm() override;

private:
  struct TWork {
    int32_t Channel = -1;
    int64_t Traces = 0;
    int32_t LongTrace = 0;
    std::vector<int8_t> Marks;
    std::vector<int8_t> PolyMarks;
  };
  TSearchGeometry GeometryOf(const T2Dview& view, int64_t traces, int32_t longTrace) const;
  TChainSettings ChainSettings() const;
  // Builds the blocks of speeds k1..k2; false when they would pass the memory cap.
  bool BuildMatrix(const T2Dview& view, const TSearchGeometry& g, const TSearchPlanes& planes);
  void DrawMatrix(const T2Dview& view, int64_t traces, int32_t longTrace, int32_t* out);

  TWork work_;
  T2Dview* runView_ = nullptr;
  int32_t runChannel_ = 0;
};
