#pragma once
// TChart: a plotting control with four axes and any number of series.
//
// Each axis (left, top, right, bottom) has a range, fixed (SetMinMax) or taken
// from the series attached to it (Automatic), may run inverted, and shows ticks,
// labels in its LabelFormat (FormatFloat pictures such as "##0.###") and a
// title. A series is attached to one horizontal axis (top or bottom) for its X
// values and one vertical axis (left or right) for its Y values.
//
// Value <-> pixel: an axis maps its range linearly onto the plotting area
// (ChartRect), edge pixel to edge pixel. A vertical axis puts its minimum at the
// bottom, a horizontal one at the left; Inverted swaps the ends. An axis with an
// empty range (minimum = maximum) maps every value to its middle.
//
// Series are components of their owner (usually the form); the chart only lists
// them. A series freed first leaves its chart, a chart freed first leaves its
// series without a chart. Every change of an axis, a series or its points
// repaints the chart.
//
// PaintTo draws the chart into any canvas and rectangle (a bitmap, a page); the
// control paints itself through it. Lines are clipped to the plotting area.
//
// Threads: user-interface thread only.

#include "platform/ui/custom_control.h"

#include <QString>

#include <vector>

class TChart;
class TChartSeries;

enum TAxisKind : uint8_t { akLeft, akTop, akRight, akBottom };

class TChartAxis {
public:
  TChartAxis(TChart& chart, TAxisKind kind);
  TChartAxis(const TChartAxis&) = delete;
  TChartAxis& operator=(const TChartAxis&) = delete;

  TAxisKind Kind() const { return kind_; }
  bool Horizontal() const { return kind_ == akTop || kind_ == akBottom; }

  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  bool Inverted() const { return inverted_; }
  void SetInverted(bool value);

  // Automatic: the range is the smallest and largest value of the active series
  // on this axis (0 .. 0 without any).
  bool Automatic() const { return automatic_; }
  void SetAutomatic(bool value);
  // A fixed range (Automatic off); the ends are taken in either order.
  void SetMinMax(double min, double max);
  // The range in use, fixed or automatic.
  double Minimum() const;
  double Maximum() const;

  const QString& Title() const { return title_; }
  void SetTitle(const QString& value);
  const QString& LabelFormat() const { return labelFormat_; }
  void SetLabelFormat(const QString& value);
  bool Labels() const { return labels_; }
  void SetLabels(bool value);
  // The distance between labels; 0 picks a round step that fits the axis.
  double Increment() const { return increment_; }
  void SetIncrement(double value);
  // Dotted lines across the plotting area at the labels.
  bool Grid() const { return grid_; }
  void SetGrid(bool value);

  // The pixels of the range's ends along the axis (x for a horizontal axis, y
  // for a vertical one), first < last, for the chart's current size.
  int IStartPos() const;
  int IEndPos() const;
  // The pixel of a value (far values saturate well outside the control).
  int CalcPosValue(double value) const;
  // The value at a pixel.
  double CalcPosPoint(int pos) const;

  // The values labelled for the current range and size.
  std::vector<double> LabelValues() const;
  QString LabelText(double value) const;

private:
  friend class TChart;
  void Changed();
  void Range(double& min, double& max) const;
  std::vector<double> LabelValuesFor(int length, int spacing) const;

  TChart& chart_;
  TAxisKind kind_;
  bool visible_ = true;
  bool inverted_ = false;
  bool automatic_ = true;
  double minimum_ = 0;
  double maximum_ = 0;
  QString title_;
  QString labelFormat_ = QStringLiteral("#,##0.###");
  bool labels_ = true;
  double increment_ = 0;
  bool grid_ = true;
  // Set by the chart's layout.
  int startPos_ = 0;
  int endPos_ = 0;
  int labelExtent_ = 0;  // widest label (vertical axis) or label height
};

enum THorizAxis : uint8_t { aTopAxis, aBottomAxis };
enum TVertAxis : uint8_t { aLeftAxis, aRightAxis };

class TChartSeries : public TComponent {
public:
  explicit TChartSeries(TComponent* AOwner);
  ~TChartSeries() override;

  TChart* ParentChart() const { return chart_; }
  // Moves the series to chart (nullptr: to no chart); it is drawn after those
  // already there.
  void SetParentChart(TChart* chart);

  THorizAxis HorizAxis() const { return horizAxis_; }
  void SetHorizAxis(THorizAxis value);
  TVertAxis VertAxis() const { return vertAxis_; }
  void SetVertAxis(TVertAxis value);
  // The axes the series uses; nullptr without a chart.
  TChartAxis* GetHorizAxis() const;
  TChartAxis* GetVertAxis() const;

  TColor SeriesColor() const { return color_; }
  virtual void SetSeriesColor(TColor value);
  bool Active() const { return active_; }
  void SetActive(bool value);
  const QString& Title() const { return title_; }
  void SetTitle(const QString& value) { title_ = value; }

  // Appends a point; returns its index.
  int AddXY(double x, double y);
  void Clear();
  int Count() const { return static_cast<int>(x_.size()); }
  // Point i's values; 0 outside the series.
  double XValue(int i) const;
  double YValue(int i) const;
  // Point i's pixel on the series' axes; 0 without a chart or outside.
  int CalcXPos(int i) const;
  int CalcYPos(int i) const;

  // Draws the points into canvas inside the chart's plotting area clip.
  virtual void DrawValues(TCanvas& canvas, const TRect& clip) = 0;

protected:
  void Changed();

private:
  friend class TChart;
  TChart* chart_ = nullptr;
  THorizAxis horizAxis_ = aBottomAxis;
  TVertAxis vertAxis_ = aLeftAxis;
  TColor color_ = clRed;
  bool active_ = true;
  QString title_;
  std::vector<double> x_;
  std::vector<double> y_;
};

// The points joined in their order by lines of the series' pen.
class TLineSeries : public TChartSeries {
public:
  explicit TLineSeries(TComponent* AOwner);

  // Colour, width and style of the line; the colour follows SeriesColor.
  TPen* LinePen() { return &pen_; }
  void SetSeriesColor(TColor value) override;

  void DrawValues(TCanvas& canvas, const TRect& clip) override;

private:
  TPen pen_;
};

class TChart : public TCustomControl {
public:
  explicit TChart(TComponent* AOwner);
  ~TChart() override;

  TChartAxis* LeftAxis() { return axes_[akLeft].get(); }
  TChartAxis* TopAxis() { return axes_[akTop].get(); }
  TChartAxis* RightAxis() { return axes_[akRight].get(); }
  TChartAxis* BottomAxis() { return axes_[akBottom].get(); }
  TChartAxis* Axis(TAxisKind kind) { return axes_[kind].get(); }

  const QString& Title() const { return title_; }
  void SetTitle(const QString& value);
  // The colour of the plotting area; the control's Color is around it.
  TColor BackColor() const { return backColor_; }
  void SetBackColor(TColor value);
  // Free pixels between the control's edge and the axes' texts.
  int Margin() const { return margin_; }
  void SetMargin(int value);

  int SeriesCount() const { return static_cast<int>(series_.size()); }
  TChartSeries* Series(int index) const { return series_.at(static_cast<size_t>(index)); }

  // The plotting area inside the control's client rectangle.
  TRect ChartRect();
  // Draws the whole chart into canvas within bounds; the axes keep the layout of
  // bounds until the control's own layout is needed again.
  void PaintTo(TCanvas& canvas, const TRect& bounds);

  // Recomputes the layout and repaints; axes and series call it on every change.
  void Changed();

protected:
  void Paint() override;
  void Resize() override;

private:
  friend class TChartSeries;
  friend class TChartAxis;
  // Places the axes and the plotting area within bounds, measuring with canvas.
  void Layout(TCanvas& canvas, const TRect& bounds);
  void EnsureLayout();
  void DrawAxis(TCanvas& canvas, TChartAxis& axis);
  void AddSeries(TChartSeries* series);
  void RemoveSeries(TChartSeries* series);

  std::unique_ptr<TChartAxis> axes_[4];
  std::vector<TChartSeries*> series_;
  QString title_;
  TColor backColor_ = clWhite;
  int margin_ = 6;
  TRect chartRect_;
  TRect layoutBounds_;
  bool layoutValid_ = false;
  // While PaintTo draws, the axes keep the layout of its rectangle.
  bool layoutPinned_ = false;
};
