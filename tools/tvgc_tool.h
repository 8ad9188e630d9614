#pragma once
// TTVGC: the gain tool. Every sample is multiplied by the factor of its row of a
// gain curve drawn beside the radargram (gain_kernel.h has the formula): the
// curve's box is 280 pixels wide (0 dB at x = 140, 10 pixels a doubling) and as
// high as the channel's trace is on the screen, round(LongTrace x 1000 /
// ZoomFactor) rows, so that a row of the box is a row of the radargram.
//
// Each channel's set owns a copy of its curve; the working curve is loaded from
// a set (rescaled to the channel's box) and stored into one as a copy. The curve
// tables hold TListOfDots::MaxRows rows: a taller box is capped there and the
// samples' rows scaled into it.
//
// User-interface thread only; the kernel runs traces on the worker pool.

#include "profiledata/list_of_dots.h"
#include "tools/tool_base.h"
#include "tools/tool_record.h"

#include <cstdint>
#include <memory>

struct TParametrsGain;

// A curve owned by a parameter set; copies are deep, and an empty holder is a
// set whose curve was never stored.
class TGainCurveHolder {
public:
  TGainCurveHolder() = default;
  explicit TGainCurveHolder(const TListOfDots& curve) { Set(curve); }
  TGainCurveHolder(const TGainCurveHolder& other) { *this = other; }
  TGainCurveHolder& operator=(const TGainCurveHolder& other);
  TGainCurveHolder(TGainCurveHolder&&) noexcept = default;
  TGainCurveHolder& operator=(TGainCurveHolder&&) noexcept = default;

  explicit operator bool() const { return static_cast<bool>(curve_); }
  const TListOfDots* get() const { return curve_.get(); }
  TListOfDots& operator*() const { return *curve_; }
  // The holder's curve becomes a copy of curve (made when missing).
  void Set(const TListOfDots& curve);

private:
  std::unique_ptr<TListOfDots> curve_;
};

// The parameter set: the Apply flag and the curve.
struct TTVGCParam {
  bool Apply = true;
  TGainCurveHolder Curve;
};

class TTVGC : public TToolBase<TTVGCParam> {
public:
  static constexpr uint8_t RecordFormat = 32;
  static constexpr int BoxLeft = 8;
  static constexpr int BoxTop = 65;
  static constexpr int BoxWidth = 280;
  // The box height without a view.
  static constexpr int NoViewHeight = 100;

  explicit TTVGC(uint16_t w = 0);

  // ---- Fields -------------------------------------------------------------------
  TListOfDots ListofBaseDots;  // working curve
  TListOfDots MainListDots;    // copy of the working curve at show, hide and write
  // Kept as the record of the tool has them; nothing reads them.
  int32_t WindowGain = 151;
  double kBaseGausse = 1.0;
  double MultGain = 1.0;  // the main window's, which is 1.0 at every start
  double SimpleMultGain = 0.0;
  int32_t BaseVer = 10;
  // Set by the dialog's "Auto" (the mouse-up then keeps the channels' own curves).
  bool isAutoCreateGain = false;

  uint8_t GetVersion() const override { return 16; }
  void execute(bool first, int32_t NumberView) override;
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;

  using TToolBase<TTVGCParam>::SetParam;
  // The online gain stage's record: its flag and a copy of its curve as set n.
  void SetParam(int32_t NumberView, const TParametrsGain& P);
  // Curves only; set n gets an empty curve when it has none.
  void SetAllParamAs(int32_t NumberView) override;
  // Set n into the working curve: its curve (the 0 dB line when it has none)
  // fitted to channel n's box, with its tables.
  void GetParam(int32_t NumberView) override;
  // Set c of the view's channel into the channel's online gain stage.
  void SetParamView(T2Dview* AView) override;
  void AfterSetView_() override;

  // The box height of channel c: round(LongTrace x 1000 / ZoomFactor) (at least
  // 1), NoViewHeight without a view; BoxHeight is it capped at the tables' rows.
  int64_t FullBoxHeight(int32_t channel) const;
  int BoxHeight(int32_t channel) const;
  // The working curve: the straight 0 dB line in the current box.
  void ResetToZeroLine();
  // "Auto": each channel with a saved input of more than 2 traces gets the curve
  // levelling the mean envelope of that input. False (nothing done) when
  // channel 0 has no traces.
  bool AutoCurves();

protected:
  TTVGCParam PackParams() const override;
  void UnpackParams(const TTVGCParam& set) override;
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::None, TBreakPolicy::KeepProcessed};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  TToolForm* CreateForm() override;

private:
  // Reads N points into the working curve; reset first for the current form.
  void ReadCurve(TToolRecordFields& fields, bool reset);
  void FinishReading(int32_t NumberView);
  int32_t runChannel_ = 0;
};
