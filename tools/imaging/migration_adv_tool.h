#pragma once
// TMigrationAdvTool: the advanced migration. Every output sample from time zero on
// becomes the weighted mean of the input amplitudes along the diffraction
// hyperbola of a point scatterer at that trace and depth, the antenna's
// transmitter-receiver spacing taken into account (diffraction_sum.h):
//
//   dz = SampleToDepth(1) - SampleToDepth(0)    metres per sample
//   e  = DistanceRecept / dz / 2                half the spacing in samples (double)
//   h  = s - NullShift,  r = sqrt(h^2 + e^2) (double),  delta = r - h
//   u  = sqrt(r^2 + (i * XYProportional)^2)     skipped when 0
//   v  = round(NullShift + u - delta)           the arrival in trace k - i
//   w  = DiagramWeight(r / u)
//
// It works on wheel-mode profiles only: any other profile passes unchanged and
// the tool's Apply goes off. DistanceRecept comes from the antenna unit's
// spacing and XYProportional from the channel's trace step at every run. A break
// leaves the input and switches Apply off in every set and in the dialog.
//
// Threads: the user-interface thread; the sums run on the worker pool.

#include "tools/imaging/directivity_diagram.h"
#include "tools/tool_base.h"

#include <array>
#include <cstdint>

class T2Dview;

struct TMigrationAdvParam {
  bool Apply = true;
  long double XYProportional = 0;
  int32_t MinAmpSect = 0;
  int32_t SizeHyperbola = 0;
  long double DistanceRecept = 0;
};

class TMigrationAdvTool : public TToolBase<TMigrationAdvParam> {
public:
  static constexpr uint8_t RecordFormat = 33;

  explicit TMigrationAdvTool(uint16_t w = 0);

  // The directivity diagram (Wdiag, Adiagram, AdiagramIndx).
  TDirectivityDiagram Diagram;
  // Trace step in depth steps of one sample.
  long double XYProportional = 5.0L;
  // Transmitter-receiver spacing, metres.
  long double DistanceRecept = 0;
  // Carried by the sets, the dialog and the record; the computation does not
  // read them.
  int32_t MinAmpSect = 20;
  int32_t SizeHyperbola = 20;
  int32_t CurrentTrace = 0;
  int32_t PosX = 54;
  int32_t PosY = 237;
  std::array<float, 301> HyperbolaArray{};

  uint8_t GetVersion() const override { return 16; }
  // The channel's set takes the antenna unit's spacing, then the run protocol.
  void execute(bool first, int32_t NumberView) override;
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  // Every set: the creation values, XYProportional from a wheel-mode channel's
  // trace step; Apply and DistanceRecept the working ones.
  void ToolInit() override;

  // SaveParamPlugin(0), then every set := set 0.
  void SaveParamsAll();
  // Rebuilds the diagram (a double click in the dialog).
  void PaintDiagram() { Diagram.PaintDiagram(); }
  void BuildDiagramIndex() { Diagram.BuildDiagramIndex(); }
  long double DiagramWeight(long double cosine) const { return Diagram.DiagramWeight(cosine); }
  static long double GetXYhipotenuza(long double Y, long double X);

protected:
  TMigrationAdvParam PackParams() const override {
    return {AExecuting, XYProportional, MinAmpSect, SizeHyperbola, DistanceRecept};
  }
  void UnpackParams(const TMigrationAdvParam& set) override {
    AExecuting = set.Apply;
    XYProportional = set.XYProportional;
    MinAmpSect = set.MinAmpSect;
    SizeHyperbola = set.SizeHyperbola;
    DistanceRecept = set.DistanceRecept;
  }
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::PerTrace, TBreakPolicy::InputApplyOff};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // TMigrationAdvForm.
  TToolForm* CreateForm() override;

private:
  T2Dview* runView_ = nullptr;
  int32_t runChannel_ = 0;
};
