#include "tools/imaging/directivity_diagram.h"

#include "platform/rtl/rounding.h"

#include <cmath>
#include <numbers>

void TDirectivityDiagram::PaintDiagram() {
  if (Wdiag == 0) Wdiag = 1.0L;
  // The arc cosine of 0 in degrees over the width factor: the first angle at
  // which the lobe has closed.
  const int64_t b = Round(90.0L / Wdiag);
  const long double degree = std::numbers::pi_v<long double> / 180;
  for (int theta = -MaxAngle; theta <= MaxAngle; ++theta) {
    long double weight = 0;
    if (-b < theta && theta < b) {
      const long double c = std::cos(theta * Wdiag * degree);
      weight = std::sqrt(c * c);
    }
    Adiagram[static_cast<size_t>(theta + MaxAngle)] = weight;
  }
  BuildDiagramIndex();
}

void TDirectivityDiagram::BuildDiagramIndex() {
  const long double toDegrees = 180 / std::numbers::pi_v<long double>;
  for (int k = 0; k <= IndexSteps; ++k) {
    const long double c = static_cast<long double>(k) / IndexSteps;
    const int64_t theta = Round(std::acos(c) * toDegrees);
    AdiagramIndx[static_cast<size_t>(k)] = Weight(static_cast<int>(theta));
  }
}

long double TDirectivityDiagram::DiagramWeight(long double cosine) const {
  const long double scaled = cosine * IndexSteps;
  if (!(scaled >= -0.5L && scaled <= IndexSteps + 0.5L)) return 0;
  const int64_t k = Round(scaled);
  if (k < 0 || k > IndexSteps) return 0;
  return AdiagramIndx[static_cast<size_t>(k)];
}
