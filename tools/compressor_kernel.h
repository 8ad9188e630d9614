#pragma once
// The nonlinear amplifier's transfer function and its per-sample loops.
//
//   y = nearest((2A / pi) * arctan(x * k / A))      in extended precision,
//
// A the largest |x| of the channel (at least 1), k = Base div 25, nearest rounding
// halves to even. The function is odd, and it is evaluated as such: on |x|, the
// sign put back afterwards, so that a table over 0 .. A gives exactly the direct
// evaluation. Output stays within +-A and saturates at the int32 range.
//
// The result is the extended one's; it is found in double precision where that
// cannot round differently (far from a half, by a margin a hundred times the
// double's error), else in extended precision.

#include <cstdint>
#include <vector>

class TCompressorCurve {
public:
  // largest: A (0 is taken as 1); k: the slope factor, Base div 25.
  TCompressorCurve(uint32_t largest, int32_t k);

  uint32_t Largest() const { return largest_; }
  // y for x >= 0 (x up to 2147483648).
  int32_t OfMagnitude(uint32_t x) const;
  // y for any x.
  int32_t operator()(int32_t x) const;

private:
  uint32_t largest_;
  long double k_;
  long double scale_;  // 2A / pi
  double scaleD_;
  double kD_;
  double largestD_;
};

// n samples of `in` into `out` (which may be `in`), one arctangent each.
void CompressDirect(const int32_t* in, int32_t* out, int64_t n, const TCompressorCurve& curve);
// table[m] := curve.OfMagnitude(m) for m in [from, to).
void FillCompressorTable(int32_t* table, int64_t from, int64_t to, const TCompressorCurve& curve);
// n samples through a table over 0 .. the largest |x| of them (odd symmetry).
void CompressByTable(const int32_t* in, int32_t* out, int64_t n, const int32_t* table);

// The dialog's picture of the curve: 128 points x = 1023 i, y = g arctan(a x) with
// a = Base / 4194303 and g = 131071 / arctan(129921 a), running from (0, 0) to
// (129921, 131071) whatever the data. Base 0 (a = 0) gives the limit of the
// curve, the straight line y = 131071 x / 129921.
struct TCurvePoint {
  double X = 0;
  double Y = 0;
};
std::vector<TCurvePoint> CompressorCurvePoints(int32_t base);
