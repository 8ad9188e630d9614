#pragma once
// TDirectivityDiagram: the antenna's directivity diagram, a weight per angle of
// incidence, shared by the migrations and the object search.
//
//   Adiagram[theta] = |cos(theta * Wdiag degrees)| for -b < theta < b, else 0,
//   with b = round(90 / Wdiag), theta whole degrees -90 .. 90;
//   AdiagramIndx[k] = Adiagram[round(arccos(k / 10000) in degrees)], k = 0 .. 10000;
//   DiagramWeight(c) = AdiagramIndx[round(c * 10000)].
//
// The cosine table lets a summation make one table look-up per term instead of an
// arc cosine. Only cosines 0 .. 1 occur (the angle's cosine is a ratio of a depth
// to a distance); a cosine outside, or not a number, weighs 0.
//
// Built by the tool's constructor and again on request; read-only during a run,
// so workers may read it at the same time.

#include <array>
#include <cstddef>
#include <cstdint>

class TDirectivityDiagram {
public:
  static constexpr int MaxAngle = 90;
  static constexpr int IndexSteps = 10000;

  TDirectivityDiagram() { PaintDiagram(); }

  // Width factor of the diagram; 0 is taken as 1 whenever the diagram is built.
  long double Wdiag = 1.0L;
  // Weight by whole degree, entry theta + 90 for theta = -90 .. 90.
  std::array<long double, 2 * MaxAngle + 1> Adiagram{};
  // Weight by cosine x 10000 (0 .. 10000).
  std::array<long double, IndexSteps + 1> AdiagramIndx{};

  // Builds the weights by degree, then the cosine table.
  void PaintDiagram();
  void BuildDiagramIndex();
  long double Weight(int theta) const { return Adiagram[static_cast<size_t>(theta + MaxAngle)]; }
  long double DiagramWeight(long double cosine) const;
};
