#include "platform/ui/chart.h"

#include "platform/rtl/format_float.h"
#include "platform/ui/bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kTickLength = 4;
constexpr int kLabelGap = 2;
constexpr int kTitleGap = 4;
constexpr int kMaxLabels = 1000;
// Pixels are kept this far inside the int range, so that lines to far values
// stay drawable.
constexpr double kFarPixel = 1.0e6;

int SaturatedPixel(double pos) {
  if (std::isnan(pos)) return 0;
  return static_cast<int>(std::lround(std::clamp(pos, -kFarPixel, kFarPixel)));
}

// Liang-Barsky: clips the segment to clip (edges inclusive); false when nothing
// of it is inside.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, const TRect& clip) {
  const double xmin = clip.Left, xmax = clip.Right - 1, ymin = clip.Top, ymax = clip.Bottom - 1;
  if (xmax < xmin || ymax < ymin) return false;
  double t0 = 0, t1 = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - xmin, xmax - x0, y0 - ymin, ymax - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const double nx0 = x0 + t0 * dx, ny0 = y0 + t0 * dy;
  x1 = x0 + t1 * dx;
  y1 = y0 + t1 * dy;
  x0 = nx0;
  y0 = ny0;
  return true;
}

// Text turned a quarter to the left (read from bottom to top) with the top-left
// of its box at (x, y); the box is TextHeight wide and TextWidth high.
void TextOutVertical(TCanvas& canvas, int x, int y, const QString& text, TColor background) {
  const int width = canvas.TextWidth(text);
  const int height = canvas.TextHeight(text);
  if (width <= 0 || height <= 0) return;
  TBitmap flat;
  flat.SetPixelFormat(pf32bit);
  flat.SetSize(width, height);
  TCanvas& fc = *flat.Canvas();
  fc.Font()->Assign(*canvas.Font());
  fc.Brush()->SetStyle(bsSolid);
  fc.Brush()->SetColor(background);
  fc.FillRect(Rect(0, 0, width, height));
  fc.TextOut(0, 0, text);
  fc.Flush();
  TBitmap turned;
  turned.SetPixelFormat(pf32bit);
  turned.SetSize(height, width);
  for (int row = 0; row < width; ++row) {
    auto* dest = reinterpret_cast<uint32_t*>(turned.ScanLine(row));
    // Row r of the turned picture is column width - 1 - r of the flat one.
    for (int col = 0; col < height; ++col) {
      const auto* src = reinterpret_cast<const uint32_t*>(flat.ScanLine(col));
      dest[col] = src[width - 1 - row];
    }
  }
  canvas.Draw(x, y, turned);
}

}  // namespace

// ---- TChartAxis ------------------------------------------------------------------------

TChartAxis::TChartAxis(TChart& chart, TAxisKind kind) : chart_(chart), kind_(kind) {}

void TChartAxis::Changed() { chart_.Changed(); }

void TChartAxis::SetVisible(bool value) {
  visible_ = value;
  Changed();
}

void TChartAxis::SetInverted(bool value) {
  inverted_ = value;
  Changed();
}

void TChartAxis::SetAutomatic(bool value) {
  automatic_ = value;
  Changed();
}

void TChartAxis::SetMinMax(double min, double max) {
  if (max < min) std::swap(min, max);
  minimum_ = min;
  maximum_ = max;
  automatic_ = false;
  Changed();
}

void TChartAxis::Range(double& min, double& max) const {
  if (!automatic_) {
    min = minimum_;
    max = maximum_;
    return;
  }
  bool any = false;
  for (TChartSeries* series : chart_.series_) {
    if (!series->Active()) continue;
    const bool onThis = Horizontal() ? series->GetHorizAxis() == this : series->GetVertAxis() == this;
    if (!onThis) continue;
    for (int i = 0; i < series->Count(); ++i) {
      const double v = Horizontal() ? series->XValue(i) : series->YValue(i);
      if (!std::isfinite(v)) continue;
      if (!any) {
        min = max = v;
        any = true;
      } else {
        min = std::min(min, v);
        max = std::max(max, v);
      }
    }
  }
  if (!any) min = max = 0;
}

double TChartAxis::Minimum() const {
  double min, max;
  Range(min, max);
  return min;
}

double TChartAxis::Maximum() const {
  double min, max;
  Range(min, max);
  return max;
}

void TChartAxis::SetTitle(const QString& value) {
  title_ = value;
  Changed();
}

void TChartAxis::SetLabelFormat(const QString& value) {
  labelFormat_ = value;
  Changed();
}

void TChartAxis::SetLabels(bool value) {
  labels_ = value;
  Changed();
}

void TChartAxis::SetIncrement(double value) {
  increment_ = std::isfinite(value) && value > 0 ? value : 0;
  Changed();
}

void TChartAxis::SetGrid(bool value) {
  grid_ = value;
  Changed();
}

int TChartAxis::IStartPos() const {
  chart_.EnsureLayout();
  return startPos_;
}

int TChartAxis::IEndPos() const {
  chart_.EnsureLayout();
  return endPos_;
}

int TChartAxis::CalcPosValue(double value) const {
  chart_.EnsureLayout();
  double min, max;
  Range(min, max);
  const double start = startPos_, end = endPos_;
  if (!(max > min)) return SaturatedPixel((start + end) / 2);
  const double span = (value - min) / (max - min) * (end - start);
  // Screen y grows downwards: a plain vertical axis counts from its bottom end.
  const bool fromEnd = Horizontal() ? inverted_ : !inverted_;
  return SaturatedPixel(fromEnd ? end - span : start + span);
}

double TChartAxis::CalcPosPoint(int pos) const {
  chart_.EnsureLayout();
  double min, max;
  Range(min, max);
  const double start = startPos_, end = endPos_;
  if (!(max > min) || end <= start) return min;
  const bool fromEnd = Horizontal() ? inverted_ : !inverted_;
  const double span = fromEnd ? end - pos : pos - start;
  return min + span / (end - start) * (max - min);
}

QString TChartAxis::LabelText(double value) const { return FormatFloat(labelFormat_, value); }

std::vector<double> TChartAxis::LabelValuesFor(int length, int spacing) const {
  double min, max;
  Range(min, max);
  if (!std::isfinite(min) || !std::isfinite(max)) return {};
  if (!(max > min)) return {min};
  double step = increment_;
  if (!(step > 0)) {
    const int count = std::max(1, length / std::max(1, spacing));
    const double raw = (max - min) / count;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double n = raw / magnitude;
    step = (n <= 1 ? 1 : n <= 2 ? 2 : n <= 5 ? 5 : 10) * magnitude;
  }
  // Too many labels for the axis: a coarser step.
  while ((max - min) / step > kMaxLabels) step *= 10;
  std::vector<double> values;
  const double epsilon = step * 1e-9;
  const double first = std::ceil(min / step - 1e-9) * step;
  for (int i = 0; i <= kMaxLabels; ++i) {
    double v = first + i * step;
    if (v > max + epsilon) break;
    if (std::fabs(v) < epsilon) v = 0;
    values.push_back(v);
  }
  return values;
}

std::vector<double> TChartAxis::LabelValues() const {
  chart_.EnsureLayout();
  TCanvas& canvas = *chart_.Canvas();
  const int textHeight = canvas.TextHeight(QStringLiteral("0"));
  const int length = endPos_ - startPos_ + 1;
  if (!Horizontal()) return LabelValuesFor(length, 2 * textHeight);
  double min, max;
  Range(min, max);
  const int widest = std::max(canvas.TextWidth(LabelText(min)), canvas.TextWidth(LabelText(max)));
  return LabelValuesFor(length, widest + textHeight);
}

// ---- TChartSeries -----------------------------------------------------------------------

TChartSeries::TChartSeries(TComponent* AOwner) : TComponent(AOwner) {}

TChartSeries::~TChartSeries() {
  Destroying();
  SetParentChart(nullptr);
}

void TChartSeries::SetParentChart(TChart* chart) {
  if (chart == chart_) return;
  if (chart_) chart_->RemoveSeries(this);
  chart_ = chart;
  if (chart_) chart_->AddSeries(this);
}

void TChartSeries::Changed() {
  if (chart_) chart_->Changed();
}

void TChartSeries::SetHorizAxis(THorizAxis value) {
  horizAxis_ = value;
  Changed();
}

void TChartSeries::SetVertAxis(TVertAxis value) {
  vertAxis_ = value;
  Changed();
}

TChartAxis* TChartSeries::GetHorizAxis() const {
  if (!chart_) return nullptr;
  return horizAxis_ == aTopAxis ? chart_->TopAxis() : chart_->BottomAxis();
}

TChartAxis* TChartSeries::GetVertAxis() const {
  if (!chart_) return nullptr;
  return vertAxis_ == aLeftAxis ? chart_->LeftAxis() : chart_->RightAxis();
}

void TChartSeries::SetSeriesColor(TColor value) {
  color_ = value;
  Changed();
}

void TChartSeries::SetActive(bool value) {
  active_ = value;
  Changed();
}

int TChartSeries::AddXY(double x, double y) {
  x_.push_back(x);
  y_.push_back(y);
  Changed();
  return Count() - 1;
}

void TChartSeries::Clear() {
  x_.clear();
  y_.clear();
  Changed();
}

double TChartSeries::XValue(int i) const { return i >= 0 && i < Count() ? x_[static_cast<size_t>(i)] : 0.0; }
double TChartSeries::YValue(int i) const { return i >= 0 && i < Count() ? y_[static_cast<size_t>(i)] : 0.0; }

int TChartSeries::CalcXPos(int i) const {
  const TChartAxis* axis = GetHorizAxis();
  return axis && i >= 0 && i < Count() ? axis->CalcPosValue(XValue(i)) : 0;
}

int TChartSeries::CalcYPos(int i) const {
  const TChartAxis* axis = GetVertAxis();
  return axis && i >= 0 && i < Count() ? axis->CalcPosValue(YValue(i)) : 0;
}

// ---- TLineSeries --------------------------------------------------------------------------

TLineSeries::TLineSeries(TComponent* AOwner) : TChartSeries(AOwner) {
  pen_.SetColor(SeriesColor());
  pen_.OnChange = [this](TObject*) { Changed(); };
}

void TLineSeries::SetSeriesColor(TColor value) {
  pen_.SetColor(value);
  TChartSeries::SetSeriesColor(value);
}

void TLineSeries::DrawValues(TCanvas& canvas, const TRect& clip) {
  if (Count() == 0 || pen_.Style() == psClear) return;
  canvas.Pen()->SetColor(pen_.Color());
  canvas.Pen()->SetWidth(pen_.Width());
  canvas.Pen()->SetStyle(pen_.Style());
  if (Count() == 1) {
    const int x = CalcXPos(0), y = CalcYPos(0);
    if (x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom) {
      canvas.MoveTo(x, y);
      canvas.LineTo(x + 1, y);
    }
    return;
  }
  for (int i = 1; i < Count(); ++i) {
    double x0 = CalcXPos(i - 1), y0 = CalcYPos(i - 1), x1 = CalcXPos(i), y1 = CalcYPos(i);
    const bool endInside = x1 >= clip.Left && x1 < clip.Right && y1 >= clip.Top && y1 < clip.Bottom;
    if (!ClipSegment(x0, y0, x1, y1, clip)) continue;
    canvas.MoveTo(static_cast<int>(std::lround(x0)), static_cast<int>(std::lround(y0)));
    canvas.LineTo(static_cast<int>(std::lround(x1)), static_cast<int>(std::lround(y1)));
    // The line stops before its end point; the last point of the series is drawn too.
    if (i == Count() - 1 && endInside) {
      canvas.MoveTo(static_cast<int>(x1), static_cast<int>(y1));
      canvas.LineTo(static_cast<int>(x1) + 1, static_cast<int>(y1));
    }
  }
}

// ---- TChart ------------------------------------------------------------------------------

TChart::TChart(TComponent* AOwner) : TCustomControl(AOwner) {
  for (int kind = akLeft; kind <= akBottom; ++kind)
    axes_[kind] = std::make_unique<TChartAxis>(*this, static_cast<TAxisKind>(kind));
  // Only the left and bottom axes show until a program asks for the others.
  axes_[akTop]->visible_ = false;
  axes_[akRight]->visible_ = false;
  SetColor(clBtnFace);
}

TChart::~TChart() {
  Destroying();
  for (TChartSeries* series : series_) series->chart_ = nullptr;
  series_.clear();
}

void TChart::AddSeries(TChartSeries* series) {
  series_.push_back(series);
  Changed();
}

void TChart::RemoveSeries(TChartSeries* series) {
  std::erase(series_, series);
  Changed();
}

void TChart::SetTitle(const QString& value) {
  title_ = value;
  Changed();
}

void TChart::SetBackColor(TColor value) {
  backColor_ = value;
  Changed();
}

void TChart::SetMargin(int value) {
  margin_ = std::max(0, value);
  Changed();
}

void TChart::Changed() {
  if (layoutPinned_) return;
  layoutValid_ = false;
  Invalidate();
}

void TChart::Resize() {
  layoutValid_ = false;
  TCustomControl::Resize();
}

TRect TChart::ChartRect() {
  EnsureLayout();
  return chartRect_;
}

void TChart::EnsureLayout() {
  if (layoutPinned_) return;
  const TRect client = Rect(0, 0, ClientWidth(), ClientHeight());
  if (layoutValid_ && layoutBounds_ == client) return;
  Layout(*Canvas(), client);
}

void TChart::Layout(TCanvas& canvas, const TRect& bounds) {
  layoutBounds_ = bounds;
  layoutValid_ = true;
  const int th = canvas.TextHeight(QStringLiteral("0"));
  TRect r = Rect(bounds.Left + margin_, bounds.Top + margin_, bounds.Right - margin_, bounds.Bottom - margin_);
  if (!title_.isEmpty()) r.Top += th + kTitleGap;

  const int estimatedHeight = std::max(1, r.Height() - 2 * th);
  int halfWidest = 0;
  for (TChartAxis* axis : {axes_[akLeft].get(), axes_[akRight].get()}) {
    axis->labelExtent_ = 0;
    if (!axis->visible_) continue;
    if (axis->labels_)
      for (double v : axis->LabelValuesFor(estimatedHeight, 2 * th))
        axis->labelExtent_ = std::max(axis->labelExtent_, canvas.TextWidth(axis->LabelText(v)));
    const int size = kTickLength + kLabelGap + axis->labelExtent_ + (axis->title_.isEmpty() ? 0 : th + kTitleGap);
    if (axis->kind_ == akLeft)
      r.Left += size;
    else
      r.Right -= size;
  }
  for (TChartAxis* axis : {axes_[akTop].get(), axes_[akBottom].get()}) {
    axis->labelExtent_ = 0;
    if (!axis->visible_) continue;
    if (axis->labels_) {
      axis->labelExtent_ = th;
      double min, max;
      axis->Range(min, max);
      halfWidest = std::max({halfWidest, canvas.TextWidth(axis->LabelText(min)) / 2,
                             canvas.TextWidth(axis->LabelText(max)) / 2});
    }
    const int size = kTickLength + kLabelGap + axis->labelExtent_ + (axis->title_.isEmpty() ? 0 : th + kTitleGap);
    if (axis->kind_ == akTop)
      r.Top += size;
    else
      r.Bottom -= size;
  }
  // Labels centred on the ends of an axis reach beyond the plotting area.
  const bool verticalLabels = (axes_[akLeft]->visible_ && axes_[akLeft]->labels_) ||
                              (axes_[akRight]->visible_ && axes_[akRight]->labels_);
  if (verticalLabels) {
    r.Top = std::max(r.Top, bounds.Top + margin_ + th / 2);
    r.Bottom = std::min(r.Bottom, bounds.Bottom - margin_ - th / 2);
  }
  r.Left = std::max(r.Left, bounds.Left + margin_ + halfWidest);
  r.Right = std::min(r.Right, bounds.Right - margin_ - halfWidest);
  if (r.Right <= r.Left) r.Right = r.Left + 1;
  if (r.Bottom <= r.Top) r.Bottom = r.Top + 1;
  chartRect_ = r;
  for (auto& axis : axes_) {
    if (axis->Horizontal()) {
      axis->startPos_ = r.Left;
      axis->endPos_ = r.Right - 1;
    } else {
      axis->startPos_ = r.Top;
      axis->endPos_ = r.Bottom - 1;
    }
  }
}

void TChart::Paint() {
  PaintTo(*Canvas(), Rect(0, 0, ClientWidth(), ClientHeight()));
  TCustomControl::Paint();
}

void TChart::PaintTo(TCanvas& canvas, const TRect& bounds) {
  Layout(canvas, bounds);
  // Drawing must not move the axes back to the control's own layout.
  layoutPinned_ = true;
  struct TUnpin {
    TChart& chart;
    const TRect client;
    ~TUnpin() {
      chart.layoutPinned_ = false;
      if (!(chart.layoutBounds_ == client)) chart.layoutValid_ = false;
    }
  } unpin{*this, Rect(0, 0, ClientWidth(), ClientHeight())};

  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(Color() == clNone || Color() == clDefault ? clBtnFace : Color());
  canvas.FillRect(bounds);
  canvas.Brush()->SetColor(backColor_);
  canvas.FillRect(chartRect_);

  // Grids under the series.
  for (auto& axis : axes_) {
    if (!axis->visible_ || !axis->grid_) continue;
    canvas.Pen()->SetColor(clSilver);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetStyle(psDot);
    for (double v : axis->LabelValues()) {
      const int p = axis->CalcPosValue(v);
      if (axis->Horizontal()) {
        canvas.MoveTo(p, chartRect_.Top);
        canvas.LineTo(p, chartRect_.Bottom);
      } else {
        canvas.MoveTo(chartRect_.Left, p);
        canvas.LineTo(chartRect_.Right, p);
      }
    }
  }
  for (TChartSeries* series : series_)
    if (series->Active()) series->DrawValues(canvas, chartRect_);

  canvas.Pen()->SetStyle(psSolid);
  canvas.Pen()->SetWidth(1);
  for (auto& axis : axes_)
    if (axis->visible_) DrawAxis(canvas, *axis);

  if (!title_.isEmpty()) {
    canvas.Brush()->SetStyle(bsClear);
    canvas.TextOut((bounds.Left + bounds.Right - canvas.TextWidth(title_)) / 2, bounds.Top + margin_, title_);
  }
}

void TChart::DrawAxis(TCanvas& canvas, TChartAxis& axis) {
  const TRect r = chartRect_;
  const int th = canvas.TextHeight(QStringLiteral("0"));
  canvas.Pen()->SetColor(clBlack);
  canvas.Brush()->SetStyle(bsClear);
  const std::vector<double> labels = axis.LabelValues();
  const TColor around = Color() == clNone || Color() == clDefault ? clBtnFace : Color();
  switch (axis.kind_) {
    case akBottom:
    case akTop: {
      const bool bottom = axis.kind_ == akBottom;
      const int y = bottom ? r.Bottom : r.Top - 1;
      canvas.MoveTo(r.Left - 1, y);
      canvas.LineTo(r.Right + 1, y);
      const int labelTop = bottom ? y + kTickLength + kLabelGap : y - kTickLength - kLabelGap - th;
      for (double v : labels) {
        const int x = axis.CalcPosValue(v);
        canvas.MoveTo(x, y);
        canvas.LineTo(x, bottom ? y + kTickLength + 1 : y - kTickLength - 1);
        if (axis.labels_) {
          const QString text = axis.LabelText(v);
          canvas.TextOut(x - canvas.TextWidth(text) / 2, labelTop, text);
        }
      }
      if (!axis.title_.isEmpty()) {
        const int x = (r.Left + r.Right - canvas.TextWidth(axis.title_)) / 2;
        const int titleTop = bottom ? labelTop + axis.labelExtent_ + kTitleGap
                                    : labelTop + th - axis.labelExtent_ - kTitleGap - th;
        canvas.TextOut(x, titleTop, axis.title_);
      }
      break;
    }
    case akLeft:
    case akRight: {
      const bool left = axis.kind_ == akLeft;
      const int x = left ? r.Left - 1 : r.Right;
      canvas.MoveTo(x, r.Top - 1);
      canvas.LineTo(x, r.Bottom + 1);
      for (double v : labels) {
        const int y = axis.CalcPosValue(v);
        canvas.MoveTo(x, y);
        canvas.LineTo(left ? x - kTickLength - 1 : x + kTickLength + 1, y);
        if (axis.labels_) {
          const QString text = axis.LabelText(v);
          const int w = canvas.TextWidth(text);
          canvas.TextOut(left ? x - kTickLength - kLabelGap - w : x + kTickLength + kLabelGap, y - th / 2, text);
        }
      }
      if (!axis.title_.isEmpty()) {
        const int outer = kTickLength + kLabelGap + axis.labelExtent_ + kTitleGap;
        const int tx = left ? x - outer - th : x + outer;
        const int ty = (r.Top + r.Bottom - canvas.TextWidth(axis.title_)) / 2;
        TextOutVertical(canvas, tx, ty, axis.title_, around);
      }
      break;
    }
  }
}
