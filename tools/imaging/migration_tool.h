#pragma once
// TMigrationTool: the plain migration, in metres (diffraction_sum.h): with the
// wave speed V (mm/ns), the time window T (ns), OverStep O and the trace step M
// (mm), and no antenna spacing,
//
//   z = SamplesToNs(s - NullShift) * V / 2000     depth, m
//   x = M * i / 1000,  R = sqrt(z^2 + x^2)        skipped when 0
//   v = round(R * 2000 * 1000 / (V * T * O) + NullShift)
//   w = DiagramWeight(z / R)
//
// Wheel-mode profiles only (any other passes, Apply off); without V x T x O the
// input passes too. Only Apply is kept per channel; the record has no body. A
// break leaves the input and switches Apply off for this run only (the sets and
// the dialog keep theirs). The registry knows the name but creates the advanced
// migration for it.
//
// Threads: the user-interface thread; the sums run on the worker pool.

#include "tools/imaging/directivity_diagram.h"
#include "tools/tool_base.h"

#include <cstdint>

class T2Dview;

struct TMigrationParam {
  bool Apply = true;
};

class TMigrationTool : public TToolBase<TMigrationParam> {
public:
  static constexpr uint8_t RecordFormat = 33;

  explicit TMigrationTool(uint16_t w = 0);

  TDirectivityDiagram Diagram;
  int32_t CurrentTrace = 0;
  int32_t PosX = 54;
  int32_t PosY = 237;

  uint8_t GetVersion() const override { return 16; }
  void execute(bool first, int32_t NumberView) override;
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  // Apply := the first byte of P.
  void SetParameters(const QByteArray& NamePlugin, const void* P) override;
  void SetParam(int32_t NumberView, const void* P) override;
  // Not provided.
  void SetAllParamAs(int32_t /*NumberView*/) override {}

  void PaintDiagram() { Diagram.PaintDiagram(); }
  void BuildDiagramIndex() { Diagram.BuildDiagramIndex(); }
  long double DiagramWeight(long double cosine) const { return Diagram.DiagramWeight(cosine); }
  // x samples in nanoseconds of the run's channel: x * SpanWidth * OverStep / 1000.
  long double SamplesToNs(long double x) const;

protected:
  TMigrationParam PackParams() const override { return {AExecuting}; }
  void UnpackParams(const TMigrationParam& set) override { AExecuting = set.Apply; }
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::PerTrace, TBreakPolicy::RestoreInput};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // TMigrationForm.
  TToolForm* CreateForm() override;

private:
  T2Dview* runView_ = nullptr;
  int32_t runChannel_ = 0;
};
