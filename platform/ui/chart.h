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
// Drawing order (PaintTo): OnBeforeDrawChart, the control's colour and the
// plotting area's back colour, the back image, the grids, OnBeforeDrawAxes, the
// axes, then every active series (its OnBeforeDrawValues first, also when it
// has no points, then its points, then OnAfterDrawValues), the title, and
// OnAfterDraw. The events draw on DrawCanvas(), which is the canvas being
// painted (a bitmap's when PaintTo draws into one). Lines are clipped to the
// plotting area; the back image's canvas is locked while the chart paints.
//
// Threads: user-interface thread only.

#include "platform/ui/custom_control.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TBitmap;
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
  // Labels off: neither labels nor their band.
  bool Labels() const { return labels_; }
  void SetLabels(bool value);
  // Automatic labels off: the band stays (for labels a program draws itself in
  // OnBeforeDrawAxes) but the axis draws no values or ticks in it.
  bool AutomaticLabels() const { return automaticLabels_; }
  void SetAutomaticLabels(bool value);
  // The depth of the label band in pixels (width beside a vertical axis, height
  // beside a horizontal one); 0 measures the labels.
  int LabelsSize() const { return labelsSize_; }
  void SetLabelsSize(int value);
  // The least free space between two labels, in percent of the widest label.
  int LabelsSeparation() const { return labelsSeparation_; }
  void SetLabelsSeparation(int value);
  // The distance between labels; 0 picks a round step that fits the axis.
  double Increment() const { return increment_; }
  void SetIncrement(double value);
  // Dotted lines across the plotting area at the labels.
  bool Grid() const { return grid_; }
  void SetGrid(bool value);
  // The fonts of the labels and of the title (style, colour); a change repaints.
  TFont* LabelsFont() { return &labelsFont_; }
  TFont* TitleFont() { return &titleFont_; }
  // The axis line and its ticks.
  TPen* AxisPen() { return &axisPen_; }

  // The pixels of the range's ends along the axis (x for a horizontal axis, y
  // for a vertical one), first < last, for the chart's current size.
  int IStartPos() const;
  int IEndPos() const;
  // The pixel line the axis is drawn on (y for a horizontal axis, x for a
  // vertical one), just outside the plotting area.
  int PosAxis() const;
  // Where the label band starts: the labels lie between PosAxis and PosLabels.
  int PosLabels() const;
  // The pixel of a value (far values saturate well outside the control).
  int CalcPosValue(double value) const;
  // The value at a pixel.
  double CalcPosPoint(int pos) const;

  // The values labelled for the current range and size.
  std::vector<double> LabelValues() const;
  QString LabelText(double value) const;

  // Copies every property (not the chart it belongs to).
  void Assign(const TChartAxis& source);

private:
  friend class TChart;
  void Changed();
  void Range(double& min, double& max) const;
  std::vector<double> LabelValuesFor(int length, int spacing) const;
  // Pixels between the axis line and the outer edge of its labels.
  int LabelBand() const;

  TChart& chart_;
  TAxisKind kind_;
  bool visible_ = true;
  bool inverted_ = false;
  bool automatic_ = true;
  double minimum_ = 0;
  double maximum_ = 0;
  // While the chart paints, an automatic range is measured once instead of for
  // every point placed; any change to the chart drops it.
  mutable bool rangeCached_ = false;
  mutable double cachedMin_ = 0, cachedMax_ = 0;
  QString title_;
  QString labelFormat_ = QStringLiteral("#,##0.###");
  bool labels_ = true;
  bool automaticLabels_ = true;
  int labelsSize_ = 0;
  int labelsSeparation_ = 10;
  double increment_ = 0;
  bool grid_ = true;
  TFont labelsFont_;
  TFont titleFont_;
  TPen axisPen_;
  // Set by the chart's layout.
  int startPos_ = 0;
  int endPos_ = 0;
  int labelExtent_ = 0;  // label band (vertical axis: widest label; horizontal: label height)
  int posAxis_ = 0;
};

enum THorizAxis : uint8_t { aTopAxis, aBottomAxis };
enum TVertAxis : uint8_t { aLeftAxis, aRightAxis };
// The order a value list keeps its points in: loNone keeps the order they were
// added in; an ordered list inserts each new point at its place.
enum TChartListOrder : uint8_t { loNone, loAscending, loDescending };
enum TSeriesPointerStyle : uint8_t { psRectangle, psCircle, psTriangle, psDownTriangle, psDiamond };

// A point without a colour of its own takes the series colour.
constexpr TColor clTeeColor = clDefault;

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
  // Each point in its own colour (ValueColor) instead of the series colour.
  bool ColorEachPoint() const { return colorEachPoint_; }
  void SetColorEachPoint(bool value);
  // Each point's label drawn beside it.
  bool MarksVisible() const { return marksVisible_; }
  void SetMarksVisible(bool value);

  // The orders of the X and Y lists. With an ordered X list a new point goes
  // to its place by X (after its equals); else with an ordered Y list by Y.
  TChartListOrder XValuesOrder() const { return xOrder_; }
  void SetXValuesOrder(TChartListOrder value);
  TChartListOrder YValuesOrder() const { return yOrder_; }
  void SetYValuesOrder(TChartListOrder value);

  // Adds a point at its place (see the orders); returns its index.
  int AddXY(double x, double y, const QString& label = QString(), TColor color = clTeeColor);
  void Delete(int index);
  void Clear();
  // Between BeginUpdate and EndUpdate point changes do not reach the chart;
  // EndUpdate reports them once (a whole refill then costs one repaint request).
  // Calls nest.
  void BeginUpdate() { ++updating_; }
  void EndUpdate();
  int Count() const { return static_cast<int>(points_.size()); }
  // Point i's values; 0 outside the series.
  double XValue(int i) const;
  double YValue(int i) const;
  void SetXValue(int i, double value);
  void SetYValue(int i, double value);
  QString Label(int i) const;
  // The colour point i is drawn in: its own, or the series colour when it has
  // none or ColorEachPoint is off.
  TColor ValueColor(int i) const;
  void SetValueColor(int i, TColor color);
  // Point i's pixel on the series' axes; 0 without a chart or outside.
  int CalcXPos(int i) const;
  int CalcYPos(int i) const;

  // The smallest and largest value the series puts on its horizontal (or
  // vertical) axis; false without finite values.
  virtual bool ValueRange(bool horizontal, double& min, double& max) const;

  // Copies the properties and the points of source (not its chart, name or
  // events); a source of another kind gives what the two have in common.
  virtual void Assign(const TChartSeries& source);
  // A series of this kind with this one's properties, points and events, owned
  // by AOwner and on no chart, unnamed.
  TChartSeries* CreateClone(TComponent* AOwner) const override = 0;

  // Draws the points into canvas inside the chart's plotting area clip.
  virtual void DrawValues(TCanvas& canvas, const TRect& clip) = 0;

  TNotifyEvent OnBeforeDrawValues;
  TNotifyEvent OnAfterDrawValues;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;

protected:
  struct TPointValue {
    double x = 0;
    double y = 0;
    QString label;
    TColor color = clTeeColor;
  };
  void Changed();
  const TPointValue& Point(int i) const { return points_[static_cast<size_t>(i)]; }
  // The index a new point (x, y) is inserted at.
  int InsertIndex(double x, double y) const;
  // Inserts the point at index; kinds with more values per point keep theirs
  // in step.
  virtual void InsertPoint(int index, TPointValue point);
  virtual void ErasePoint(int index);
  void CopyEventsTo(TChartSeries& clone) const;
  // Draws the point labels (MarksVisible) above their points.
  void DrawMarks(TCanvas& canvas, const TRect& clip);

private:
  friend class TChart;
  TChart* chart_ = nullptr;
  THorizAxis horizAxis_ = aBottomAxis;
  TVertAxis vertAxis_ = aLeftAxis;
  TColor color_ = clRed;
  bool active_ = true;
  bool colorEachPoint_ = false;
  bool marksVisible_ = false;
  TChartListOrder xOrder_ = loNone;
  TChartListOrder yOrder_ = loNone;
  int updating_ = 0;
  QString title_;
  std::vector<TPointValue> points_;
};

// The marks a line or point series puts at its points.
struct TSeriesPointer {
  bool Visible = false;
  TSeriesPointerStyle Style = psRectangle;
  // Half extents in pixels: a mark covers 2 x HorizSize + 1 by 2 x VertSize + 1.
  int HorizSize = 4;
  int VertSize = 4;
};

// The points joined in their order by lines of the series' pen, with optional
// marks at the points. With ColorEachPoint a segment takes its end point's colour.
class TLineSeries : public TChartSeries {
public:
  explicit TLineSeries(TComponent* AOwner);

  // Colour, width and style of the line; the colour follows SeriesColor.
  TPen* LinePen() { return &pen_; }
  void SetSeriesColor(TColor value) override;
  // The marks at the points (drawn in the point's colour with a frame).
  const TSeriesPointer& Pointer() const { return pointer_; }
  void SetPointer(const TSeriesPointer& value);
  // Off: only the marks are drawn.
  bool LineVisible() const { return lineVisible_; }
  void SetLineVisible(bool value);

  void Assign(const TChartSeries& source) override;
  TChartSeries* CreateClone(TComponent* AOwner) const override;
  void DrawValues(TCanvas& canvas, const TRect& clip) override;

protected:
  void DrawLines(TCanvas& canvas, const TRect& clip);
  void DrawPointers(TCanvas& canvas, const TRect& clip);

private:
  TPen pen_;
  TSeriesPointer pointer_;
  bool lineVisible_ = true;
};

// Marks at the points, no line.
class TPointSeries : public TLineSeries {
public:
  explicit TPointSeries(TComponent* AOwner);
  TChartSeries* CreateClone(TComponent* AOwner) const override;
};

// A line in one pen for long series (tracks): no marks, no per-point colours.
class TFastLineSeries : public TLineSeries {
public:
  explicit TFastLineSeries(TComponent* AOwner);
  TChartSeries* CreateClone(TComponent* AOwner) const override;
  void DrawValues(TCanvas& canvas, const TRect& clip) override;
};

// Arrows from (X, Y) to (EndX, EndY), each with its head at the end point.
class TArrowSeries : public TChartSeries {
public:
  explicit TArrowSeries(TComponent* AOwner);

  // Adds an arrow at the place of its start; returns its index.
  int AddArrow(double x0, double y0, double x1, double y1, const QString& label = QString(),
               TColor color = clTeeColor);
  double EndXValue(int i) const;
  double EndYValue(int i) const;
  void SetEndXValue(int i, double value);
  void SetEndYValue(int i, double value);
  // The head: its base width and its length along the arrow, in pixels.
  int ArrowWidth() const { return arrowWidth_; }
  void SetArrowWidth(int value);
  int ArrowHeight() const { return arrowHeight_; }
  void SetArrowHeight(int value);
  TPen* ArrowPen() { return &pen_; }

  bool ValueRange(bool horizontal, double& min, double& max) const override;
  void Assign(const TChartSeries& source) override;
  TChartSeries* CreateClone(TComponent* AOwner) const override;
  void DrawValues(TCanvas& canvas, const TRect& clip) override;

protected:
  void InsertPoint(int index, TPointValue point) override;
  void ErasePoint(int index) override;

private:
  std::vector<double> endX_;
  std::vector<double> endY_;
  // The end of the arrow being added, taken by InsertPoint.
  double pendingEndX_ = 0;
  double pendingEndY_ = 0;
  bool pendingEnd_ = false;
  int arrowWidth_ = 4;
  int arrowHeight_ = 4;
  TPen pen_;
};

// Filled circles about (X, Y) of a radius in axis units: the radius reaches
// Radius along the horizontal axis and Radius along the vertical axis (round on
// the screen only when both axes have the same scale), at least one pixel. Each
// bubble in its point colour (ColorEachPoint is on from the start) with a frame
// of the series pen, drawn when its centre lies in the plotting area; the labels
// (MarksVisible) above them.
class TBubbleSeries : public TChartSeries {
public:
  explicit TBubbleSeries(TComponent* AOwner);

  // Adds a bubble at the place of its centre; returns its index.
  int AddBubble(double x, double y, double radius, const QString& label = QString(), TColor color = clTeeColor);
  // Bubble i's radius; 0 outside the series.
  double RadiusValue(int i) const;
  void SetRadiusValue(int i, double value);
  TPen* BubblePen() { return &pen_; }

  // The ranges include every bubble's extent.
  bool ValueRange(bool horizontal, double& min, double& max) const override;
  void Assign(const TChartSeries& source) override;
  TChartSeries* CreateClone(TComponent* AOwner) const override;
  void DrawValues(TCanvas& canvas, const TRect& clip) override;

protected:
  void InsertPoint(int index, TPointValue point) override;
  void ErasePoint(int index) override;

private:
  std::vector<double> radius_;
  // The radius of the bubble being added, taken by InsertPoint.
  double pendingRadius_ = 0;
  TPen pen_;
};

// How the back image is placed: pbmCustom unscaled with its top-left at the
// plotting area's (inside) or the control's top-left, pbmStretch over that area.
enum TBackImageMode : uint8_t { pbmStretch, pbmCustom };

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

  // The back image: a picture of its own size drawn under the series (its
  // brush clears it; see TBackImageMode). Empty draws nothing.
  TBitmap* BackImage() { return backImage_.get(); }
  TBackImageMode BackImageMode() const { return backImageMode_; }
  void SetBackImageMode(TBackImageMode value);
  bool BackImageInside() const { return backImageInside_; }
  void SetBackImageInside(bool value);
  // Clears the whole back image with its canvas brush.
  void ClearBackImage();
  // The back image's canvas is locked while the chart paints; code that draws
  // into the back image from elsewhere (the online painter) skips its drawing
  // while it is locked. TryLock fails while locked; every successful TryLock
  // needs an Unlock.
  bool BackImageLocked() const { return backImageLocks_ > 0; }
  bool TryLockBackImage();
  void UnlockBackImage();

  int SeriesCount() const { return static_cast<int>(series_.size()); }
  TChartSeries* Series(int index) const { return series_.at(static_cast<size_t>(index)); }
  // Takes every series off the chart (they stay with their owner).
  void RemoveAllSeries();

  // The plotting area inside the control's client rectangle.
  TRect ChartRect();
  // Draws the whole chart into canvas within bounds (a bitmap, a page); the
  // axes keep the layout of bounds until the control's own layout is needed
  // again.
  void PaintTo(TCanvas& canvas, const TRect& bounds);
  // The canvas the chart is painting on; its own canvas outside painting.
  TCanvas* DrawCanvas();
  // Writes the chart as drawn on the screen, axes and all, as a 24-bit bitmap
  // file of the control's client size.
  void SaveToBitmapFile(const QString& fileName);

  // Copies the chart's own properties: colours, title, margins, the four axes
  // and the back image with its placement (not the series, bounds or events).
  void Assign(const TChart& source);
  // A chart with this one's properties, events and bounds, owned by AOwner, no
  // series and no parent, unnamed.
  TChart* CreateClone(TComponent* AOwner) const override;

  // Text turned a quarter to the left (read from bottom to top) with the top-left
  // of its box at (x, y): the box is TextHeight wide and TextWidth high, filled
  // with background.
  static void TextOutTurned(TCanvas& canvas, int x, int y, const QString& text, TColor background);

  // Recomputes the layout and repaints; axes and series call it on every change.
  void Changed();

  TNotifyEvent OnBeforeDrawChart;
  TNotifyEvent OnBeforeDrawAxes;
  TNotifyEvent OnAfterDraw;
  // Every axis label passes through it: value is the label's axis value,
  // LabelText the text of the axis's LabelFormat, which the handler may replace.
  std::function<void(TChartAxis* Sender, double value, QString& LabelText)> OnGetAxisLabel;

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
  void DrawBackImage(TCanvas& canvas, const TRect& bounds);
  void AddSeries(TChartSeries* series);
  void RemoveSeries(TChartSeries* series);
  void DropCachedRanges();

  std::unique_ptr<TChartAxis> axes_[4];
  std::vector<TChartSeries*> series_;
  QString title_;
  TColor backColor_ = clWhite;
  int margin_ = 6;
  std::unique_ptr<TBitmap> backImage_;
  TBackImageMode backImageMode_ = pbmStretch;
  bool backImageInside_ = false;
  int backImageLocks_ = 0;
  TCanvas* drawCanvas_ = nullptr;
  TRect chartRect_;
  TRect layoutBounds_;
  bool layoutValid_ = false;
  // While PaintTo draws, the axes keep the layout of its rectangle.
  bool layoutPinned_ = false;
  bool cacheRanges_ = false;  // painting: automatic axes keep the range they measured
};
