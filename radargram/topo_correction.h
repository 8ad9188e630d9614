#pragma once
// Topographic correction without the window: the antenna path rebuilt from the
// per-trace tilt, the margins of the corrected image, the tilt of an
// inclinometer record, the corrected image itself and the relief line.
//
// Lengths are mm unless named otherwise; SpeedLight is m/us (= mm/ns), SpanWidth
// ns. The depth per sample is d_s = SpeedLight x SpanWidth / (2 x LongTrace), the
// window depth D = SpeedLight x SpanWidth / 2.
//
// Every routine is pure; BuildTopoImage runs its rows on worker threads and
// calls its progress callback on the calling thread only.

#include "profiledata/gpr_constants.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class TSettingData;
struct TInclRecord;

namespace topo_correction {

// The beam factor: a trace adds to the cells within pi / (2 x 1.5) = 60 degrees
// of its beam.
constexpr double kBeamFactor = 1.5;

// The button accepts the master's calibration within 0.2 of 1, or any
// calibration of a file older than version 18.
bool CalibrationAccepted(const TSettingData& master);
// A channel gets a path (and the corrected image) only with its Topocorrection
// flag, a calibration within 0.1 of 1, a distance device and a trace step.
bool PathApplies(const TSettingData& settings);

// The device types whose inclinometer reading is negated.
bool TiltNegated(TTypeGPR type);
// The tilt of a record in -1 .. 1: X = the unsigned 16-bit reading at byte 2
// (negated when `negated`), (X - (GXmax + GXmin) / 2) x 2 / (GXmax - GXmin)
// clamped to -1 .. 1; 0 without record and without a calibration range.
double TiltOfRecord(const TInclRecord* record, double GXmax, double GXmin, bool negated);

// The extents of the path, in mm and in image pixels.
struct TTopoExtents {
  double Ysum = 0, Xsum = 0;
  double IdentYtopM = 0, IdentYBottomM = 0;
  double IdentXLeftM = -1000000, IdentXrightM = -1000000;
  int32_t IdentYtopPx = 0, IdentYBottomPx = 0, IdentXLeftPx = 0, IdentXrightPx = 0;
  // Everything back to its start: margins 0, horizontal reach -1000000.
  void Reset() { *this = TTopoExtents{}; }
};

struct TPathInput {
  int64_t NumTraces = 0;
  int64_t NumIncl = 0;
  double StepDistance = 0;  // mm per trace
  double SpeedLight = 0;    // m/us
  double SpanWidth = 0;     // ns
  int32_t LongTrace = 0;
  long double Proportion = 1;  // the channel's proportional coefficient
};

// The antenna path of one channel: for t = 0 .. NumIncl, with s = sine(t) and
// c = sqrt(1 - s^2), Ysum += step x s, Xsum += step x c; DY[t] = Ysum, DX[t] =
// Xsum; the vertical extents and margins are reset first, the horizontal reach
// only grows (it spans the channels of one preparation). DX and DY are sized to
// max(NumTraces, NumIncl + 1) entries first, so the loop never writes past them.
// Margins: Ceil(top / d_s), Ceil(bottom / d_s), Ceil(left / d_s / k) and
// Ceil((right - NumTraces x step) / d_s / k); a margin that cannot be had (no
// depth per sample, no proportion) stays 0.
void BuildAntennaPath(const TPathInput& in, const std::function<long double(int64_t)>& sine, TTopoExtents& ext,
                      std::vector<double>& DX, std::vector<double>& DY);

// What the corrected image is computed from.
struct TTopoImageInput {
  int32_t Height = 0;  // LongTrace + IdentYtopPx + IdentYBottomPx
  int32_t Width = 0;   // NumTraces + IdentXLeftPx + IdentXrightPx
  int64_t NumTraces = 0;
  int32_t LongTrace = 0;
  int32_t NullShift = 0;
  double SpeedLight = 0;
  double SpanWidth = 0;
  double StepDistance = 0;
  double IdentXLeftM = 0;
  double IdentYtopM = 0;
  const double* DX = nullptr;     // NumTraces entries at least
  const double* DY = nullptr;     // NumTraces entries at least
  const double* Tilt = nullptr;   // NumTraces tilts (TiltOfRecord)
  const int32_t* Samples = nullptr;  // sample s of trace i at i x LongTrace + s
};

enum TTopoBuild : uint8_t { tbDone, tbCancelled, tbNoMemory };

// progress(rowsDone, height) is called between bands of rows; false cancels.
using TTopoProgress = std::function<bool(int32_t rowsDone, int32_t height)>;

// The corrected image, Height rows of Width palette indices (row-major). For
// cell (r, q) and trace i: L = step x q - (IdentXLeftM + DX[i]), E = SpeedLight
// x r x SpanWidth / (2 LongTrace) - (IdentYtopM - DY[i]); M the angle of (L, E);
// theta = pi/2 - M - arcsin(Tilt[i]) brought into -pi .. pi; when |theta| < 60
// degrees and P = sqrt(L^2 + E^2) x 2 LongTrace / (SpeedLight x SpanWidth) +
// NullShift lies in 0 .. LongTrace, the cell sums round(cos(1.5 theta)^2 x
// sample[i, trunc P]) and counts it. Each cell becomes sum / count (0 without a
// count), m the largest |cell| (at least 1), the pixel round(255 / (m / 5) x cell
// + 127) within 0 .. 255: a cell no trace reaches is 127.
// Each trace visits only the cells its beam can reach; the sums are integers,
// so the image is the same for any thread count and the same as the full loop
// over every cell and trace (BuildTopoImageReference). threads < 1: the
// display pipeline's thread count.
TTopoBuild BuildTopoImage(const TTopoImageInput& in, std::vector<uint8_t>& image, const TTopoProgress& progress,
                          int threads = 0);
// The full loop over every row, column and trace: Height x Width x NumTraces
// beam tests. The oracle of the pruned build's tests and benchmark.
TTopoBuild BuildTopoImageReference(const TTopoImageInput& in, std::vector<uint8_t>& image,
                                   const TTopoProgress& progress);

// One point of the relief line: x in metres along the top axis, y in ns.
struct TReliefPoint {
  double X = 0;
  double Y = 0;
};
struct TReliefInput {
  int64_t NumTraces = 0;
  int64_t MinNumTraces = 0;
  double StepDistance = 0;      // mm
  int32_t StartDeviceXShift = 0;  // 1e-5 m
  double SpeedLight = 0;
  double IdentYtopM = 0;
  bool Flipped = false;
};
// One point per trace: x = MinNumTraces x step / 1000 + DX[i] / 1000 + shift /
// 100000, y = 2 x (IdentYtopM - DY[i]) / SpeedLight; a flipped channel runs x
// backwards: -MinNumTraces x step / 1000 + (DX[N-1-i] - DX[N-1]) / 1000 - shift
// / 100000. Traces beyond the path arrays get no point.
std::vector<TReliefPoint> ReliefLine(const TReliefInput& in, const std::vector<double>& DX,
                                     const std::vector<double>& DY);

// Where a mark of the channel sits on its corrected image.
struct TTopoMarkInput {
  const std::vector<double>* DX = nullptr;  // the antenna path (mm)
  const std::vector<double>* DY = nullptr;
  int64_t NumTraces = 0;
  double IdentXLeftM = 0;  // the extents the image was built with
  double IdentYtopM = 0;
  double StepDistance = 0;  // mm
  double SpeedLight = 0;    // m/us
  double SpanWidth = 0;     // ns
  int32_t LongTrace = 0;
  int32_t NullShift = 0;
  int64_t Width = 0;  // the corrected image's width in columns
  bool Flipped = false;
};
// Column and row of a mark in the display bitmap of the corrected image.
struct TTopoMarkPlace {
  int64_t Column = 0;
  int64_t Row = 0;
  friend bool operator==(const TTopoMarkPlace&, const TTopoMarkPlace&) = default;
};
// The image puts trace i, with d_s the depth per sample, at column (IdentXLeftM
// + DX[i]) / step and its antenna at row (IdentYtopM - DY[i]) / d_s; a sample s
// lies d = s - NullShift samples down the beam turned by the tilt sine, so
//   column = r((IdentXLeftM + DX[i]) / step) + r(d x sine / (step / d_s)),
//   row    = r((IdentYtopM - DY[i]) / d_s) + r(d x sqrt(1 - sine^2)).
// A flipped channel shows the image mirrored: column = Width - the column
// above (the plain display's Mx - t). Without `turn` (surface marks) the tilt
// term is left out. i is kept within the path and the traces; no path, no
// step or no depth per sample gives nothing (the mark keeps its plain place).
std::optional<TTopoMarkPlace> TopoMarkPlace(const TTopoMarkInput& in, int64_t index, int32_t sample, long double sine,
                                            bool turn);

// The device offset (1e-5 m) that makes the trace position the origin:
// -round(step x position x 100), saturated to 32 bits.
int32_t TopoZeroDeviceX(double measureStepMm, int64_t posTraces);

}  // namespace topo_correction
