// The series kinds of TChart: the common point list, lines with marks, points,
// fast lines, arrows and bubbles.

#include "platform/ui/chart.h"

#include <algorithm>
#include <cmath>

namespace {

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

bool Inside(int x, int y, const TRect& clip) { return x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom; }

int Pixel(double v) { return static_cast<int>(std::lround(v)); }

// A clipped line from (x0, y0) to (x1, y1) in the canvas's pen; the end point
// itself is drawn when last and inside.
void ClippedLine(TCanvas& canvas, double x0, double y0, double x1, double y1, bool last, const TRect& clip) {
  const bool endInside = Inside(Pixel(x1), Pixel(y1), clip);
  const int ex = Pixel(x1), ey = Pixel(y1);
  if (!ClipSegment(x0, y0, x1, y1, clip)) return;
  canvas.MoveTo(Pixel(x0), Pixel(y0));
  canvas.LineTo(Pixel(x1), Pixel(y1));
  // A line stops before its end point; the last point of a line is drawn too.
  if (last && endInside) {
    canvas.MoveTo(ex, ey);
    canvas.LineTo(ex + 1, ey);
  }
}

void UsePen(TCanvas& canvas, const TPen& pen, TColor color) {
  canvas.Pen()->SetColor(color);
  canvas.Pen()->SetWidth(pen.Width());
  canvas.Pen()->SetStyle(pen.Style());
}

void CopyPen(TPen& dest, const TPen& source) {
  dest.SetColor(source.Color());
  dest.SetWidth(source.Width());
  dest.SetStyle(source.Style());
}

// Keeps value's place among list: ascending or descending, after its equals.
bool Before(double value, double other, TChartListOrder order) {
  return order == loAscending ? value < other : value > other;
}

}  // namespace

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
  if (!chart_) return;
  // Inside an update the chart repaints once at its end, but no range measured
  // before the change may be used meanwhile.
  if (updating_ == 0) chart_->Changed();
  else chart_->DropCachedRanges();
}

void TChartSeries::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0) Changed();
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

void TChartSeries::SetColorEachPoint(bool value) {
  colorEachPoint_ = value;
  Changed();
}

void TChartSeries::SetMarksVisible(bool value) {
  marksVisible_ = value;
  Changed();
}

void TChartSeries::SetXValuesOrder(TChartListOrder value) { xOrder_ = value; }
void TChartSeries::SetYValuesOrder(TChartListOrder value) { yOrder_ = value; }

int TChartSeries::InsertIndex(double x, double y) const {
  const bool byX = xOrder_ != loNone;
  const TChartListOrder order = byX ? xOrder_ : yOrder_;
  if (order == loNone) return Count();
  const double value = byX ? x : y;
  // After the last point it does not come before.
  const auto it = std::upper_bound(points_.begin(), points_.end(), value, [&](double v, const TPointValue& p) {
    return Before(v, byX ? p.x : p.y, order);
  });
  return static_cast<int>(it - points_.begin());
}

void TChartSeries::InsertPoint(int index, TPointValue point) {
  points_.insert(points_.begin() + index, std::move(point));
}

void TChartSeries::ErasePoint(int index) { points_.erase(points_.begin() + index); }

int TChartSeries::AddXY(double x, double y, const QString& label, TColor color) {
  const int index = InsertIndex(x, y);
  InsertPoint(index, TPointValue{x, y, label, color});
  Changed();
  return index;
}

void TChartSeries::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  ErasePoint(index);
  Changed();
}

void TChartSeries::Clear() {
  while (!points_.empty()) ErasePoint(Count() - 1);
  Changed();
}

double TChartSeries::XValue(int i) const { return i >= 0 && i < Count() ? Point(i).x : 0.0; }
double TChartSeries::YValue(int i) const { return i >= 0 && i < Count() ? Point(i).y : 0.0; }
QString TChartSeries::Label(int i) const { return i >= 0 && i < Count() ? Point(i).label : QString(); }

void TChartSeries::SetXValue(int i, double value) {
  if (i < 0 || i >= Count()) return;
  points_[static_cast<size_t>(i)].x = value;
  Changed();
}

void TChartSeries::SetYValue(int i, double value) {
  if (i < 0 || i >= Count()) return;
  points_[static_cast<size_t>(i)].y = value;
  Changed();
}

TColor TChartSeries::ValueColor(int i) const {
  if (!colorEachPoint_ || i < 0 || i >= Count() || Point(i).color == clTeeColor) return color_;
  return Point(i).color;
}

void TChartSeries::SetValueColor(int i, TColor color) {
  if (i < 0 || i >= Count()) return;
  points_[static_cast<size_t>(i)].color = color;
  Changed();
}

int TChartSeries::CalcXPos(int i) const {
  const TChartAxis* axis = GetHorizAxis();
  return axis && i >= 0 && i < Count() ? axis->CalcPosValue(XValue(i)) : 0;
}

int TChartSeries::CalcYPos(int i) const {
  const TChartAxis* axis = GetVertAxis();
  return axis && i >= 0 && i < Count() ? axis->CalcPosValue(YValue(i)) : 0;
}

bool TChartSeries::ValueRange(bool horizontal, double& min, double& max) const {
  bool any = false;
  for (const TPointValue& p : points_) {
    const double v = horizontal ? p.x : p.y;
    if (!std::isfinite(v)) continue;
    min = any ? std::min(min, v) : v;
    max = any ? std::max(max, v) : v;
    any = true;
  }
  return any;
}

void TChartSeries::Assign(const TChartSeries& source) {
  if (&source == this) return;
  horizAxis_ = source.horizAxis_;
  vertAxis_ = source.vertAxis_;
  color_ = source.color_;
  active_ = source.active_;
  colorEachPoint_ = source.colorEachPoint_;
  marksVisible_ = source.marksVisible_;
  xOrder_ = source.xOrder_;
  yOrder_ = source.yOrder_;
  title_ = source.title_;
  while (!points_.empty()) ErasePoint(Count() - 1);
  for (int i = 0; i < source.Count(); ++i) InsertPoint(i, source.Point(i));
  Changed();
}

void TChartSeries::CopyEventsTo(TChartSeries& clone) const {
  clone.SetTag(Tag());
  clone.OnBeforeDrawValues = OnBeforeDrawValues;
  clone.OnAfterDrawValues = OnAfterDrawValues;
  clone.OnClick = OnClick;
  clone.OnDblClick = OnDblClick;
}

void TChartSeries::DrawMarks(TCanvas& canvas, const TRect& clip) {
  if (!marksVisible_) return;
  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->SetColor(clBlack);
  const int th = canvas.TextHeight(QStringLiteral("0"));
  for (int i = 0; i < Count(); ++i) {
    const QString& text = Point(i).label;
    if (text.isEmpty()) continue;
    const int x = CalcXPos(i), y = CalcYPos(i);
    if (!Inside(x, y, clip)) continue;
    canvas.TextOut(x - canvas.TextWidth(text) / 2, y - th - 6, text);
  }
  canvas.Brush()->SetStyle(bsSolid);
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

void TLineSeries::SetPointer(const TSeriesPointer& value) {
  pointer_ = value;
  Changed();
}

void TLineSeries::SetLineVisible(bool value) {
  lineVisible_ = value;
  Changed();
}

void TLineSeries::Assign(const TChartSeries& source) {
  TChartSeries::Assign(source);
  if (const auto* line = dynamic_cast<const TLineSeries*>(&source)) {
    CopyPen(pen_, line->pen_);
    pointer_ = line->pointer_;
    lineVisible_ = line->lineVisible_;
  }
}

TChartSeries* TLineSeries::CreateClone(TComponent* AOwner) const {
  auto* clone = new TLineSeries(AOwner);
  clone->Assign(*this);
  CopyEventsTo(*clone);
  return clone;
}

void TLineSeries::DrawLines(TCanvas& canvas, const TRect& clip) {
  if (!lineVisible_ || Count() == 0 || pen_.Style() == psClear) return;
  UsePen(canvas, pen_, pen_.Color());
  if (Count() == 1) {
    const int x = CalcXPos(0), y = CalcYPos(0);
    if (Inside(x, y, clip)) {
      canvas.Pen()->SetColor(ColorEachPoint() ? ValueColor(0) : pen_.Color());
      canvas.MoveTo(x, y);
      canvas.LineTo(x + 1, y);
    }
    return;
  }
  for (int i = 1; i < Count(); ++i) {
    if (ColorEachPoint()) canvas.Pen()->SetColor(ValueColor(i));
    ClippedLine(canvas, CalcXPos(i - 1), CalcYPos(i - 1), CalcXPos(i), CalcYPos(i), i == Count() - 1, clip);
  }
}

void TLineSeries::DrawPointers(TCanvas& canvas, const TRect& clip) {
  if (!pointer_.Visible) return;
  const int h = std::max(0, pointer_.HorizSize), v = std::max(0, pointer_.VertSize);
  canvas.Pen()->SetColor(clBlack);
  canvas.Pen()->SetWidth(1);
  canvas.Pen()->SetStyle(psSolid);
  canvas.Brush()->SetStyle(bsSolid);
  for (int i = 0; i < Count(); ++i) {
    const int x = CalcXPos(i), y = CalcYPos(i);
    if (!Inside(x, y, clip)) continue;
    canvas.Brush()->SetColor(ValueColor(i));
    switch (pointer_.Style) {
      case psRectangle:
        canvas.Rectangle(x - h, y - v, x + h + 1, y + v + 1);
        break;
      case psCircle:
        canvas.Ellipse(x - h, y - v, x + h + 1, y + v + 1);
        break;
      case psTriangle:
        canvas.Polygon({{x - h, y + v}, {x + h, y + v}, {x, y - v}});
        break;
      case psDownTriangle:
        canvas.Polygon({{x - h, y - v}, {x + h, y - v}, {x, y + v}});
        break;
      case psDiamond:
        canvas.Polygon({{x, y - v}, {x + h, y}, {x, y + v}, {x - h, y}});
        break;
    }
  }
}

void TLineSeries::DrawValues(TCanvas& canvas, const TRect& clip) {
  DrawLines(canvas, clip);
  DrawPointers(canvas, clip);
  DrawMarks(canvas, clip);
}

// ---- TPointSeries, TFastLineSeries -----------------------------------------------------------

TPointSeries::TPointSeries(TComponent* AOwner) : TLineSeries(AOwner) {
  SetLineVisible(false);
  TSeriesPointer pointer;
  pointer.Visible = true;
  SetPointer(pointer);
}

TChartSeries* TPointSeries::CreateClone(TComponent* AOwner) const {
  auto* clone = new TPointSeries(AOwner);
  clone->Assign(*this);
  CopyEventsTo(*clone);
  return clone;
}

TFastLineSeries::TFastLineSeries(TComponent* AOwner) : TLineSeries(AOwner) {}

TChartSeries* TFastLineSeries::CreateClone(TComponent* AOwner) const {
  auto* clone = new TFastLineSeries(AOwner);
  clone->Assign(*this);
  CopyEventsTo(*clone);
  return clone;
}

void TFastLineSeries::DrawValues(TCanvas& canvas, const TRect& clip) {
  if (Count() < 2 || LinePen()->Style() == psClear) return;
  UsePen(canvas, *LinePen(), LinePen()->Color());
  for (int i = 1; i < Count(); ++i)
    ClippedLine(canvas, CalcXPos(i - 1), CalcYPos(i - 1), CalcXPos(i), CalcYPos(i), i == Count() - 1, clip);
}

// ---- TArrowSeries ----------------------------------------------------------------------------

TArrowSeries::TArrowSeries(TComponent* AOwner) : TChartSeries(AOwner) {
  pen_.SetColor(SeriesColor());
  pen_.OnChange = [this](TObject*) { Changed(); };
}

int TArrowSeries::AddArrow(double x0, double y0, double x1, double y1, const QString& label, TColor color) {
  pendingEndX_ = x1;
  pendingEndY_ = y1;
  pendingEnd_ = true;
  const int index = AddXY(x0, y0, label, color);
  pendingEnd_ = false;
  return index;
}

void TArrowSeries::InsertPoint(int index, TPointValue point) {
  // A point added without an end (AddXY) is an arrow of length 0.
  const double ex = pendingEnd_ ? pendingEndX_ : point.x;
  const double ey = pendingEnd_ ? pendingEndY_ : point.y;
  TChartSeries::InsertPoint(index, std::move(point));
  endX_.insert(endX_.begin() + index, ex);
  endY_.insert(endY_.begin() + index, ey);
}

void TArrowSeries::ErasePoint(int index) {
  TChartSeries::ErasePoint(index);
  endX_.erase(endX_.begin() + index);
  endY_.erase(endY_.begin() + index);
}

double TArrowSeries::EndXValue(int i) const { return i >= 0 && i < Count() ? endX_[static_cast<size_t>(i)] : 0.0; }
double TArrowSeries::EndYValue(int i) const { return i >= 0 && i < Count() ? endY_[static_cast<size_t>(i)] : 0.0; }

void TArrowSeries::SetEndXValue(int i, double value) {
  if (i < 0 || i >= Count()) return;
  endX_[static_cast<size_t>(i)] = value;
  Changed();
}

void TArrowSeries::SetEndYValue(int i, double value) {
  if (i < 0 || i >= Count()) return;
  endY_[static_cast<size_t>(i)] = value;
  Changed();
}

void TArrowSeries::SetArrowWidth(int value) {
  arrowWidth_ = std::max(0, value);
  Changed();
}

void TArrowSeries::SetArrowHeight(int value) {
  arrowHeight_ = std::max(0, value);
  Changed();
}

bool TArrowSeries::ValueRange(bool horizontal, double& min, double& max) const {
  bool any = TChartSeries::ValueRange(horizontal, min, max);
  for (double v : horizontal ? endX_ : endY_) {
    if (!std::isfinite(v)) continue;
    min = any ? std::min(min, v) : v;
    max = any ? std::max(max, v) : v;
    any = true;
  }
  return any;
}

void TArrowSeries::Assign(const TChartSeries& source) {
  TChartSeries::Assign(source);
  if (const auto* arrows = dynamic_cast<const TArrowSeries*>(&source)) {
    endX_ = arrows->endX_;
    endY_ = arrows->endY_;
    arrowWidth_ = arrows->arrowWidth_;
    arrowHeight_ = arrows->arrowHeight_;
    CopyPen(pen_, arrows->pen_);
  }
}

TChartSeries* TArrowSeries::CreateClone(TComponent* AOwner) const {
  auto* clone = new TArrowSeries(AOwner);
  clone->Assign(*this);
  CopyEventsTo(*clone);
  return clone;
}

void TArrowSeries::DrawValues(TCanvas& canvas, const TRect& clip) {
  const TChartAxis* horiz = GetHorizAxis();
  const TChartAxis* vert = GetVertAxis();
  if (!horiz || !vert) return;
  for (int i = 0; i < Count(); ++i) {
    const TColor color = ValueColor(i);
    const double x0 = CalcXPos(i), y0 = CalcYPos(i);
    const double x1 = horiz->CalcPosValue(EndXValue(i)), y1 = vert->CalcPosValue(EndYValue(i));
    UsePen(canvas, pen_, color);
    ClippedLine(canvas, x0, y0, x1, y1, true, clip);
    // The head: a filled triangle with its tip at the end point, ArrowHeight
    // long and ArrowWidth wide at its base.
    const double dx = x1 - x0, dy = y1 - y0, length = std::hypot(dx, dy);
    if (length < 1 || !Inside(Pixel(x1), Pixel(y1), clip)) continue;
    const double ux = dx / length, uy = dy / length;
    const double bx = x1 - ux * arrowHeight_, by = y1 - uy * arrowHeight_;
    const double half = arrowWidth_ / 2.0;
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetStyle(psSolid);
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(color);
    canvas.Polygon({{Pixel(x1), Pixel(y1)},
                    {Pixel(bx - uy * half), Pixel(by + ux * half)},
                    {Pixel(bx + uy * half), Pixel(by - ux * half)}});
  }
  DrawMarks(canvas, clip);
}

// ---- TBubbleSeries ---------------------------------------------------------------------------

TBubbleSeries::TBubbleSeries(TComponent* AOwner) : TChartSeries(AOwner) {
  pen_.SetColor(clBlack);
  pen_.OnChange = [this](TObject*) { Changed(); };
  SetColorEachPoint(true);
}

int TBubbleSeries::AddBubble(double x, double y, double radius, const QString& label, TColor color) {
  pendingRadius_ = radius;
  const int index = AddXY(x, y, label, color);
  pendingRadius_ = 0;
  return index;
}

void TBubbleSeries::InsertPoint(int index, TPointValue point) {
  // A point added without a radius (AddXY) is a bubble of radius 0: one pixel.
  TChartSeries::InsertPoint(index, std::move(point));
  radius_.insert(radius_.begin() + index, std::fabs(pendingRadius_));
}

void TBubbleSeries::ErasePoint(int index) {
  TChartSeries::ErasePoint(index);
  radius_.erase(radius_.begin() + index);
}

double TBubbleSeries::RadiusValue(int i) const {
  return i >= 0 && i < Count() ? radius_[static_cast<size_t>(i)] : 0.0;
}

void TBubbleSeries::SetRadiusValue(int i, double value) {
  if (i < 0 || i >= Count()) return;
  radius_[static_cast<size_t>(i)] = std::fabs(value);
  Changed();
}

bool TBubbleSeries::ValueRange(bool horizontal, double& min, double& max) const {
  bool any = false;
  for (int i = 0; i < Count(); ++i) {
    const double v = horizontal ? XValue(i) : YValue(i), r = radius_[static_cast<size_t>(i)];
    if (!std::isfinite(v) || !std::isfinite(r)) continue;
    min = any ? std::min(min, v - r) : v - r;
    max = any ? std::max(max, v + r) : v + r;
    any = true;
  }
  return any;
}

void TBubbleSeries::Assign(const TChartSeries& source) {
  TChartSeries::Assign(source);
  if (const auto* bubbles = dynamic_cast<const TBubbleSeries*>(&source)) {
    radius_ = bubbles->radius_;
    CopyPen(pen_, bubbles->pen_);
  }
}

TChartSeries* TBubbleSeries::CreateClone(TComponent* AOwner) const {
  auto* clone = new TBubbleSeries(AOwner);
  clone->Assign(*this);
  CopyEventsTo(*clone);
  return clone;
}

void TBubbleSeries::DrawValues(TCanvas& canvas, const TRect& clip) {
  const TChartAxis* horiz = GetHorizAxis();
  const TChartAxis* vert = GetVertAxis();
  if (!horiz || !vert) return;
  for (int i = 0; i < Count(); ++i) {
    const double r = RadiusValue(i);
    const int x = CalcXPos(i), y = CalcYPos(i);
    const int rx = std::max(1, std::abs(horiz->CalcPosValue(XValue(i) + r) - x));
    const int ry = std::max(1, std::abs(vert->CalcPosValue(YValue(i) + r) - y));
    // As the marks of a point series: a bubble whose centre is outside the
    // plotting area is not drawn.
    if (!Inside(x, y, clip)) continue;
    UsePen(canvas, pen_, pen_.Color());
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(ValueColor(i));
    canvas.Ellipse(x - rx, y - ry, x + rx + 1, y + ry + 1);
  }
  DrawMarks(canvas, clip);
}
