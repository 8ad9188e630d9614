#pragma once
// TCompressorForm: the nonlinear amplifier's dialog ("Nonlinear Amplifier"): the
// compression coefficient as an edit and a track bar (50 .. 1000) and a chart of
// the transfer curve. It follows the tool dialog protocol (tool_form.h); before
// each preview the track bar follows the edit and the curve is redrawn. Enter in
// the edit is the edit's.

#include "tools/compressor_kernel.h"
#include "tools/tool_form.h"

#include <vector>

class TChart;
class TCompressor;
class TDigitEdit;
class TGroupBox;
class TLineSeries;
class TTrackBar;

class TCompressorForm : public TToolForm {
public:
  explicit TCompressorForm(TComponent* AOwner);

  TGroupBox* BaseGroupBox;
  TDigitEdit* BaseDigitEdit;
  TTrackBar* BaseTrackBar;
  TChart* Chart1;
  TLineSeries* Series1;

  // The edit's confirmed value moves the track bar.
  void BaseDigitEditChangeFinish(TObject* Sender);
  // The track bar's position: edit, then Base; unless the tool runs, the
  // protocol's handler.
  void BaseTrackBarChange(TObject* Sender);
  // The series := the points, each in the points' colour.
  void DrawCurve(const std::vector<TCurvePoint>& points);

protected:
  void DisplayToolParam() override;
  void StoreToolParam() override;

private:
  TCompressor& Compressor() const;
  bool storing_ = false;
};
