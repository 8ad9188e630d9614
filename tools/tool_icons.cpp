#include "tools/tool_icons.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/control_types.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <vector>

namespace {
// A rectified sine over the picture's width: two humps above a base line.
void DrawRectifiedWave(TCanvas& canvas, TColor color) {
  canvas.Pen()->SetColor(clGray);
  canvas.MoveTo(2, 19);
  canvas.LineTo(22, 19);
  std::vector<TPoint> points;
  for (int x = 2; x <= 21; ++x) {
    const double phase = (x - 2) / 19.0 * 2 * std::numbers::pi;
    points.push_back({x, 19 - static_cast<int>(std::lround(std::fabs(std::sin(phase)) * 14))});
  }
  canvas.Pen()->SetColor(color);
  canvas.Pen()->SetWidth(2);
  canvas.Polyline(points);
}

// One period of a sine around the middle row, halves kept as a rectifier mode
// keeps them: full wave (both up), positive (the upper half only), negative (the
// lower half turned up).
enum class TWaveHalves { Full, Positive, Negative };

void DrawRectifierMode(TCanvas& canvas, TWaveHalves halves) {
  canvas.Pen()->SetColor(clGray);
  canvas.MoveTo(2, 12);
  canvas.LineTo(22, 12);
  std::vector<TPoint> points;
  for (int x = 2; x <= 21; ++x) {
    double v = std::sin((x - 2) / 19.0 * 2 * std::numbers::pi);
    if (halves == TWaveHalves::Full) v = std::fabs(v);
    if (halves == TWaveHalves::Positive) v = std::max(v, 0.0);
    if (halves == TWaveHalves::Negative) v = std::max(-v, 0.0);
    points.push_back({x, 12 - static_cast<int>(std::lround(v * 9))});
  }
  canvas.Pen()->SetColor(clNavy);
  canvas.Pen()->SetWidth(2);
  canvas.Polyline(points);
}

// A gain curve: flat near the top, then bending right (more gain deeper).
void DrawGainCurve(TCanvas& canvas, TColor color) {
  canvas.Pen()->SetColor(clGray);
  canvas.MoveTo(8, 2);
  canvas.LineTo(8, 22);
  std::vector<TPoint> points;
  for (int y = 2; y <= 21; ++y) {
    const double t = (y - 2) / 19.0;
    points.push_back({8 + static_cast<int>(std::lround(t * t * 13)), y});
  }
  canvas.Pen()->SetColor(color);
  canvas.Pen()->SetWidth(2);
  canvas.Polyline(points);
}

// A frequency response over the picture's width: a peak (band pass) or a falling
// edge (low pass).
enum class TResponseShape { Peak, LowPass };

void DrawResponse(TCanvas& canvas, TResponseShape shape, TColor color) {
  canvas.Pen()->SetColor(clGray);
  canvas.MoveTo(2, 20);
  canvas.LineTo(22, 20);
  std::vector<TPoint> points;
  for (int x = 2; x <= 21; ++x) {
    const double u = (x - 11.5) / 3.0;
    const double v = shape == TResponseShape::Peak ? 1 / (1 + u * u) : 1 / (1 + std::exp(2 * u));
    points.push_back({x, 19 - static_cast<int>(std::lround(v * 15))});
  }
  canvas.Pen()->SetColor(color);
  canvas.Pen()->SetWidth(2);
  canvas.Polyline(points);
}

// A base line with the correlator's three-point kernel (-1, 2, -1) as bars.
void DrawThreePointKernel(TCanvas& canvas, TColor color) {
  canvas.Pen()->SetColor(clGray);
  canvas.MoveTo(2, 14);
  canvas.LineTo(22, 14);
  canvas.Brush()->SetColor(color);
  canvas.FillRect({4, 14, 8, 19});
  canvas.FillRect({10, 4, 14, 14});
  canvas.FillRect({16, 14, 20, 19});
}

// An arctangent transfer curve through the centre (the nonlinear amplifier).
void DrawArctangentCurve(TCanvas& canvas, TColor color) {
  canvas.Pen()->SetColor(clGray);
  canvas.MoveTo(2, 12);
  canvas.LineTo(22, 12);
  canvas.MoveTo(12, 2);
  canvas.LineTo(12, 22);
  std::vector<TPoint> points;
  for (int x = 2; x <= 21; ++x)
    points.push_back({x, 12 - static_cast<int>(std::lround(std::atan((x - 11.5) / 2.5) * 6.5))});
  canvas.Pen()->SetColor(color);
  canvas.Pen()->SetWidth(2);
  canvas.Polyline(points);
}

// A curve y = f(u) over the picture's width (u from 0 to 1, y from 0 at the
// base line to 1 at the top) on a grey base line.
void DrawCurve(TCanvas& canvas, TColor color, const std::function<double(double)>& f) {
  canvas.Pen()->SetColor(clGray);
  canvas.MoveTo(2, 20);
  canvas.LineTo(22, 20);
  std::vector<TPoint> points;
  for (int x = 2; x <= 21; ++x) points.push_back({x, 19 - static_cast<int>(std::lround(f((x - 2) / 19.0) * 15))});
  canvas.Pen()->SetColor(color);
  canvas.Pen()->SetWidth(2);
  canvas.Polyline(points);
}

// A wave whose small swings are cut to the base line (the comparator).
void DrawThresholdedWave(TCanvas& canvas, TColor color) {
  canvas.Pen()->SetColor(clGray);
  canvas.MoveTo(2, 12);
  canvas.LineTo(22, 12);
  std::vector<TPoint> points;
  for (int x = 2; x <= 21; ++x) {
    const double phase = (x - 2) / 19.0 * 3 * std::numbers::pi;
    const double v = std::sin(phase) * (0.3 + 0.7 * (x - 2) / 19.0);
    points.push_back({x, 12 - static_cast<int>(std::lround(std::fabs(v) < 0.4 ? 0 : v * 9))});
  }
  canvas.Pen()->SetColor(color);
  canvas.Pen()->SetWidth(2);
  canvas.Polyline(points);
}

// A diffraction hyperbola opening downwards; focused: its energy gathered into
// a dot at the apex, as a migration does.
void DrawHyperbola(TCanvas& canvas, TColor color, bool focused) {
  std::vector<TPoint> points;
  for (int x = 2; x <= 21; ++x) {
    const double i = (x - 11.5) / 2.5;
    points.push_back({x, 6 + static_cast<int>(std::lround(std::sqrt(1 + i * i) * 4 - 4))});
  }
  canvas.Pen()->SetColor(focused ? clSilver : color);
  canvas.Pen()->SetWidth(focused ? 1 : 2);
  canvas.Polyline(points);
  if (!focused) return;
  canvas.Brush()->SetColor(color);
  canvas.Pen()->SetColor(color);
  canvas.Ellipse(8, 3, 16, 11);
}
// Smoothing tools: a noisy run with its spike cut (median), a Gauss bump (blur),
// equal humps (normalisation), a line brought level (leveler).
double MedianShape(double u) { return 0.4 + 0.1 * std::sin(u * 19); }
double BlurShape(double u) { return std::exp(-std::pow((u - 0.5) / 0.18, 2)); }
double NormalizationShape(double u) { return 0.5 + 0.45 * std::sin(u * 4 * std::numbers::pi); }
double LevelerShape(double u) { return u < 0.5 ? 0.2 + 0.6 * std::sin(u * 2 * std::numbers::pi) : 0.2; }
// An amplitude spectrum: one broad peak over a low floor.
double SpectrumShape(double u) { return 0.1 + 0.8 * std::exp(-std::pow((u - 0.35) / 0.15, 2)); }

using TPainter = std::function<void(TCanvas&)>;

const std::map<QString, TPainter>& Pictures() {
  static const std::map<QString, TPainter> pictures{
      {QStringLiteral("ABS_ICON1"), [](TCanvas& c) { DrawRectifiedWave(c, clGreen); }},
      {QStringLiteral("ABS_ICON2"), [](TCanvas& c) { DrawRectifiedWave(c, clSilver); }},
      {QStringLiteral("TVGC_ICON1"), [](TCanvas& c) { DrawGainCurve(c, clRed); }},
      {QStringLiteral("TVGC_ICON2"), [](TCanvas& c) { DrawGainCurve(c, clSilver); }},
      {QStringLiteral("BANDPASS_ICON1"), [](TCanvas& c) { DrawResponse(c, TResponseShape::Peak, clGreen); }},
      {QStringLiteral("BANDPASS_ICON2"), [](TCanvas& c) { DrawResponse(c, TResponseShape::Peak, clSilver); }},
      {QStringLiteral("FILTER_ICON1"), [](TCanvas& c) { DrawResponse(c, TResponseShape::LowPass, clGreen); }},
      {QStringLiteral("FILTER_ICON2"), [](TCanvas& c) { DrawResponse(c, TResponseShape::LowPass, clSilver); }},
      {QStringLiteral("MigrationAdv_ICON1"), [](TCanvas& c) { DrawHyperbola(c, clMaroon, true); }},
      {QStringLiteral("MigrationAdv_ICON2"), [](TCanvas& c) { DrawHyperbola(c, clSilver, true); }},
      {QStringLiteral("MIGRATION_ICON1"), [](TCanvas& c) { DrawHyperbola(c, clNavy, true); }},
      {QStringLiteral("MIGRATION_ICON2"), [](TCanvas& c) { DrawHyperbola(c, clSilver, true); }},
      {QStringLiteral("GENTEST_ICON1"), [](TCanvas& c) { DrawHyperbola(c, clPurple, false); }},
      {QStringLiteral("GENTEST_ICON2"), [](TCanvas& c) { DrawHyperbola(c, clSilver, false); }},
      {QStringLiteral("SPECTRUM_ICON1"), [](TCanvas& c) { DrawCurve(c, clBlue, SpectrumShape); }},
      {QStringLiteral("SPECTRUM_ICON2"), [](TCanvas& c) { DrawCurve(c, clSilver, SpectrumShape); }},
      {QStringLiteral("SearchObject_ICON1"), [](TCanvas& c) { DrawHyperbola(c, clTeal, true); }},
      {QStringLiteral("SearchObject_ICON2"), [](TCanvas& c) { DrawHyperbola(c, clSilver, true); }},
      {QStringLiteral("RealView_ICON1"), [](TCanvas& c) { DrawHyperbola(c, clOlive, false); }},
      {QStringLiteral("RealView_ICON2"), [](TCanvas& c) { DrawHyperbola(c, clSilver, false); }},
      {QStringLiteral("OBJDETECT_ICON1"), [](TCanvas& c) { DrawHyperbola(c, clFuchsia, true); }},
      {QStringLiteral("OBJDETECT_ICON2"), [](TCanvas& c) { DrawHyperbola(c, clSilver, true); }},
      {QStringLiteral("Median_ICON1"), [](TCanvas& c) { DrawCurve(c, clGreen, MedianShape); }},
      {QStringLiteral("Median_ICON2"), [](TCanvas& c) { DrawCurve(c, clSilver, MedianShape); }},
      {QStringLiteral("BLUR_ICON1"), [](TCanvas& c) { DrawCurve(c, clGreen, BlurShape); }},
      {QStringLiteral("BLUR_ICON2"), [](TCanvas& c) { DrawCurve(c, clSilver, BlurShape); }},
      {QStringLiteral("NORMALIZATION_ICON1"), [](TCanvas& c) { DrawCurve(c, clGreen, NormalizationShape); }},
      {QStringLiteral("NORMALIZATION_ICON2"), [](TCanvas& c) { DrawCurve(c, clSilver, NormalizationShape); }},
      {QStringLiteral("LEVELER_ICON1"), [](TCanvas& c) { DrawCurve(c, clRed, LevelerShape); }},
      {QStringLiteral("LEVELER_ICON2"), [](TCanvas& c) { DrawCurve(c, clSilver, LevelerShape); }},
      {QStringLiteral("RECTIFIER_FULL"), [](TCanvas& c) { DrawRectifierMode(c, TWaveHalves::Full); }},
      {QStringLiteral("RECTIFIER_POSITIVE"), [](TCanvas& c) { DrawRectifierMode(c, TWaveHalves::Positive); }},
      {QStringLiteral("RECTIFIER_NEGATIVE"), [](TCanvas& c) { DrawRectifierMode(c, TWaveHalves::Negative); }},
      {QStringLiteral("CORELATOR_ICON1"), [](TCanvas& c) { DrawThreePointKernel(c, clGreen); }},
      {QStringLiteral("CORELATOR_ICON2"), [](TCanvas& c) { DrawThreePointKernel(c, clSilver); }},
      {QStringLiteral("COMPRESSOR_ICON1"), [](TCanvas& c) { DrawArctangentCurve(c, clGreen); }},
      {QStringLiteral("COMPRESSOR_ICON2"), [](TCanvas& c) { DrawArctangentCurve(c, clSilver); }},
      {QStringLiteral("COMPARATOR_ICON1"), [](TCanvas& c) { DrawThresholdedWave(c, clGreen); }},
      {QStringLiteral("COMPARATOR_ICON2"), [](TCanvas& c) { DrawThresholdedWave(c, clSilver); }},
  };
  return pictures;
}
}  // namespace

bool LoadToolIcon(const QString& resourceName, TBitmap& bitmap) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(ToolIconSize, ToolIconSize);
  TCanvas& canvas = *bitmap.Canvas();
  canvas.Brush()->SetColor(clWhite);
  canvas.FillRect({0, 0, ToolIconSize, ToolIconSize});
  const auto it = Pictures().find(resourceName);
  if (it == Pictures().end()) {
    canvas.Brush()->SetColor(clSilver);
    canvas.FillRect({4, 4, ToolIconSize - 4, ToolIconSize - 4});
    return false;
  }
  it->second(canvas);
  return true;
}
