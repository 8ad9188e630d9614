#include "platform/ui/chart.h"

#include "platform/rtl/format_float.h"
#include "platform/rtl/streams.h"
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

TColor SolidColor(TColor color) { return color == clNone || color == clDefault ? clBtnFace : color; }

// Selects font into canvas for the scope and puts the canvas's own back.
class TFontScope {
public:
  TFontScope(TCanvas& canvas, const TFont& font) : canvas_(canvas) {
    saved_.Assign(*canvas.Font());
    canvas.Font()->Assign(font);
  }
  ~TFontScope() { canvas_.Font()->Assign(saved_); }
  TFontScope(const TFontScope&) = delete;
  TFontScope& operator=(const TFontScope&) = delete;

private:
  TCanvas& canvas_;
  TFont saved_;
};

}  // namespace

// ---- TChartAxis ------------------------------------------------------------------------

TChartAxis::TChartAxis(TChart& chart, TAxisKind kind) : chart_(chart), kind_(kind) {
  titleFont_.OnChange = [this](TObject*) { Changed(); };
  labelsFont_.OnChange = [this](TObject*) { Changed(); };
  axisPen_.OnChange = [this](TObject*) { Changed(); };
}

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
  if (rangeCached_) {
    min = cachedMin_;
    max = cachedMax_;
    return;
  }
  bool any = false;
  for (TChartSeries* series : chart_.series_) {
    if (!series->Active()) continue;
    const bool onThis = Horizontal() ? series->GetHorizAxis() == this : series->GetVertAxis() == this;
    if (!onThis) continue;
    double smin, smax;
    if (!series->ValueRange(Horizontal(), smin, smax)) continue;
    min = any ? std::min(min, smin) : smin;
    max = any ? std::max(max, smax) : smax;
    any = true;
  }
  if (!any) min = max = 0;
  if (chart_.cacheRanges_) {
    cachedMin_ = min;
    cachedMax_ = max;
    rangeCached_ = true;
  }
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

void TChartAxis::SetAutomaticLabels(bool value) {
  automaticLabels_ = value;
  Changed();
}

void TChartAxis::SetLabelsSize(int value) {
  labelsSize_ = std::max(0, value);
  Changed();
}

void TChartAxis::SetLabelsSeparation(int value) {
  labelsSeparation_ = std::max(0, value);
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

void TChartAxis::Assign(const TChartAxis& source) {
  if (&source == this) return;
  visible_ = source.visible_;
  inverted_ = source.inverted_;
  automatic_ = source.automatic_;
  minimum_ = source.minimum_;
  maximum_ = source.maximum_;
  title_ = source.title_;
  labelFormat_ = source.labelFormat_;
  labels_ = source.labels_;
  automaticLabels_ = source.automaticLabels_;
  labelsSize_ = source.labelsSize_;
  labelsSeparation_ = source.labelsSeparation_;
  increment_ = source.increment_;
  grid_ = source.grid_;
  labelsFont_.Assign(source.labelsFont_);
  titleFont_.Assign(source.titleFont_);
  axisPen_.SetColor(source.axisPen_.Color());
  axisPen_.SetWidth(source.axisPen_.Width());
  axisPen_.SetStyle(source.axisPen_.Style());
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

int TChartAxis::PosAxis() const {
  chart_.EnsureLayout();
  return posAxis_;
}

int TChartAxis::LabelBand() const { return kTickLength + kLabelGap; }

int TChartAxis::PosLabels() const {
  chart_.EnsureLayout();
  const bool outwardsIsLess = kind_ == akTop || kind_ == akLeft;
  return outwardsIsLess ? posAxis_ - LabelBand() : posAxis_ + LabelBand();
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

QString TChartAxis::LabelText(double value) const {
  QString text = FormatFloat(labelFormat_, value);
  if (chart_.OnGetAxisLabel) chart_.OnGetAxisLabel(const_cast<TChartAxis*>(this), value, text);
  return text;
}

std::vector<double> TChartAxis::LabelValuesFor(int length, int spacing) const {
  double min, max;
  Range(min, max);
  if (!std::isfinite(min) || !std::isfinite(max)) return {};
  if (!(max > min)) return {min};
  double step = increment_;
  // A given increment is kept unless its labels would overlap: then its
  // multiples 2, 5, 10, ... as for a free step.
  const int count = std::max(1, length / std::max(1, spacing));
  const double raw = (max - min) / count;
  if (!(step > 0) || step < raw) {
    const double base = step > 0 ? step : std::pow(10.0, std::floor(std::log10(raw)));
    double magnitude = base;
    for (int guard = 0; guard < 400 && magnitude * 10 < raw; ++guard) magnitude *= 10;
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
  TFontScope font(canvas, labelsFont_);
  const int textHeight = canvas.TextHeight(QStringLiteral("0"));
  const int length = endPos_ - startPos_ + 1;
  if (!Horizontal()) return LabelValuesFor(length, textHeight + std::max(textHeight, textHeight * labelsSeparation_ / 100));
  double min, max;
  Range(min, max);
  const int widest = std::max(canvas.TextWidth(LabelText(min)), canvas.TextWidth(LabelText(max)));
  return LabelValuesFor(length, widest + std::max(textHeight, widest * labelsSeparation_ / 100));
}

// ---- TChart ------------------------------------------------------------------------------

TChart::TChart(TComponent* AOwner) : TCustomControl(AOwner), backImage_(std::make_unique<TBitmap>()) {
  for (int kind = akLeft; kind <= akBottom; ++kind)
    axes_[kind] = std::make_unique<TChartAxis>(*this, static_cast<TAxisKind>(kind));
  // Only the left and bottom axes show until a program asks for the others.
  axes_[akTop]->visible_ = false;
  axes_[akRight]->visible_ = false;
  backImage_->SetPixelFormat(pf32bit);
  backImage_->OnChange = [this](TObject*) {
    if (!BackImageLocked()) Invalidate();
  };
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

void TChart::RemoveAllSeries() {
  while (!series_.empty()) series_.back()->SetParentChart(nullptr);
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

void TChart::SetBackImageMode(TBackImageMode value) {
  backImageMode_ = value;
  Changed();
}

void TChart::SetBackImageInside(bool value) {
  backImageInside_ = value;
  Changed();
}

void TChart::ClearBackImage() {
  if (backImage_->Empty()) return;
  backImage_->Canvas()->FillRect(Rect(0, 0, backImage_->Width(), backImage_->Height()));
}

bool TChart::TryLockBackImage() {
  if (BackImageLocked()) return false;
  ++backImageLocks_;
  return true;
}

void TChart::UnlockBackImage() {
  if (backImageLocks_ > 0) --backImageLocks_;
}

void TChart::Changed() {
  DropCachedRanges();
  if (layoutPinned_) return;
  layoutValid_ = false;
  Invalidate();
}

void TChart::DropCachedRanges() {
  for (auto& axis : axes_) axis->rangeCached_ = false;
}

void TChart::Resize() {
  layoutValid_ = false;
  TCustomControl::Resize();
}

TRect TChart::ChartRect() {
  EnsureLayout();
  return chartRect_;
}

TCanvas* TChart::DrawCanvas() { return drawCanvas_ ? drawCanvas_ : Canvas(); }

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

  auto titleDepth = [&canvas](TChartAxis& axis) {
    if (axis.title_.isEmpty()) return 0;
    TFontScope font(canvas, axis.titleFont_);
    return canvas.TextHeight(axis.title_) + kTitleGap;
  };
  const int estimatedHeight = std::max(1, r.Height() - 2 * th);
  int halfWidest = 0;
  int labelHeight = th;
  for (TChartAxis* axis : {axes_[akLeft].get(), axes_[akRight].get()}) {
    axis->labelExtent_ = 0;
    if (!axis->visible_) continue;
    if (axis->labels_) {
      TFontScope font(canvas, axis->labelsFont_);
      labelHeight = std::max(labelHeight, canvas.TextHeight(QStringLiteral("0")));
      if (axis->labelsSize_ > 0) {
        axis->labelExtent_ = axis->labelsSize_;
      } else if (axis->automaticLabels_) {
        for (double v : axis->LabelValuesFor(estimatedHeight, 2 * th))
          axis->labelExtent_ = std::max(axis->labelExtent_, canvas.TextWidth(axis->LabelText(v)));
      }
    }
    const int size = axis->LabelBand() + axis->labelExtent_ + titleDepth(*axis);
    if (axis->kind_ == akLeft)
      r.Left += size;
    else
      r.Right -= size;
  }
  for (TChartAxis* axis : {axes_[akTop].get(), axes_[akBottom].get()}) {
    axis->labelExtent_ = 0;
    if (!axis->visible_) continue;
    if (axis->labels_) {
      TFontScope font(canvas, axis->labelsFont_);
      axis->labelExtent_ = axis->labelsSize_ > 0 ? axis->labelsSize_ : canvas.TextHeight(QStringLiteral("0"));
      if (axis->automaticLabels_) {
        double min, max;
        axis->Range(min, max);
        halfWidest = std::max({halfWidest, canvas.TextWidth(axis->LabelText(min)) / 2,
                               canvas.TextWidth(axis->LabelText(max)) / 2});
      }
    }
    const int size = axis->LabelBand() + axis->labelExtent_ + titleDepth(*axis);
    if (axis->kind_ == akTop)
      r.Top += size;
    else
      r.Bottom -= size;
  }
  // Labels centred on the ends of an axis reach beyond the plotting area.
  const auto centredLabels = [](const TChartAxis& axis) {
    return axis.visible_ && axis.labels_ && axis.automaticLabels_;
  };
  if (centredLabels(*axes_[akLeft]) || centredLabels(*axes_[akRight])) {
    r.Top = std::max(r.Top, bounds.Top + margin_ + labelHeight / 2);
    r.Bottom = std::min(r.Bottom, bounds.Bottom - margin_ - labelHeight / 2);
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
  axes_[akLeft]->posAxis_ = r.Left - 1;
  axes_[akRight]->posAxis_ = r.Right;
  axes_[akTop]->posAxis_ = r.Top - 1;
  axes_[akBottom]->posAxis_ = r.Bottom;
}

void TChart::Paint() {
  PaintTo(*Canvas(), Rect(0, 0, ClientWidth(), ClientHeight()));
  TCustomControl::Paint();
}

void TChart::DrawBackImage(TCanvas& canvas, const TRect& bounds) {
  if (backImage_->Empty()) return;
  const TRect area = backImageInside_ ? chartRect_ : bounds;
  if (area.Width() <= 0 || area.Height() <= 0) return;
  if (backImageMode_ == pbmStretch) {
    canvas.StretchDraw(area, *backImage_);
    return;
  }
  // Unscaled from the area's top-left, cut at the area's edges.
  const int w = std::min(backImage_->Width(), area.Width());
  const int h = std::min(backImage_->Height(), area.Height());
  canvas.CopyRect(Bounds(area.Left, area.Top, w, h), *backImage_->Canvas(), Rect(0, 0, w, h));
}

void TChart::PaintTo(TCanvas& canvas, const TRect& bounds) {
  Layout(canvas, bounds);
  // Drawing must not move the axes back to the control's own layout, and the
  // events draw on this canvas.
  layoutPinned_ = true;
  ++backImageLocks_;
  TCanvas* const outerCanvas = drawCanvas_;
  drawCanvas_ = &canvas;
  struct TUnpin {
    TChart& chart;
    TCanvas* outerCanvas;
    const TRect client;
    ~TUnpin() {
      chart.cacheRanges_ = false;
      chart.DropCachedRanges();
      chart.drawCanvas_ = outerCanvas;
      --chart.backImageLocks_;
      chart.layoutPinned_ = false;
      if (!(chart.layoutBounds_ == client)) chart.layoutValid_ = false;
    }
  } unpin{*this, outerCanvas, Rect(0, 0, ClientWidth(), ClientHeight())};

  if (OnBeforeDrawChart) OnBeforeDrawChart(this);
  cacheRanges_ = true;
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(SolidColor(Color()));
  canvas.FillRect(bounds);
  canvas.Brush()->SetColor(backColor_);
  canvas.FillRect(chartRect_);
  DrawBackImage(canvas, bounds);

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

  if (OnBeforeDrawAxes) OnBeforeDrawAxes(this);
  for (auto& axis : axes_)
    if (axis->visible_) DrawAxis(canvas, *axis);

  // The series list may change under a handler: walk a copy, skipping those
  // that left meanwhile.
  const std::vector<TChartSeries*> series = series_;
  for (TChartSeries* s : series) {
    if (std::find(series_.begin(), series_.end(), s) == series_.end() || !s->Active()) continue;
    if (s->OnBeforeDrawValues) s->OnBeforeDrawValues(s);
    s->DrawValues(canvas, chartRect_);
    if (s->OnAfterDrawValues) s->OnAfterDrawValues(s);
  }

  if (!title_.isEmpty()) {
    canvas.Brush()->SetStyle(bsClear);
    canvas.TextOut((bounds.Left + bounds.Right - canvas.TextWidth(title_)) / 2, bounds.Top + margin_, title_);
  }
  if (OnAfterDraw) OnAfterDraw(this);
}

void TChart::DrawAxis(TCanvas& canvas, TChartAxis& axis) {
  const TRect r = chartRect_;
  canvas.Pen()->SetColor(axis.axisPen_.Color());
  canvas.Pen()->SetWidth(axis.axisPen_.Width());
  canvas.Pen()->SetStyle(axis.axisPen_.Style());
  canvas.Brush()->SetStyle(bsClear);
  const bool values = axis.labels_ && axis.automaticLabels_;
  const std::vector<double> labels = values ? axis.LabelValues() : std::vector<double>{};
  const TColor around = SolidColor(Color());
  int titleHeight = 0;
  if (!axis.title_.isEmpty()) {
    TFontScope font(canvas, axis.titleFont_);
    titleHeight = canvas.TextHeight(axis.title_);
  }
  const int x0 = axis.posAxis_;
  switch (axis.kind_) {
    case akBottom:
    case akTop: {
      const bool bottom = axis.kind_ == akBottom;
      const int y = x0;
      canvas.MoveTo(r.Left - 1, y);
      canvas.LineTo(r.Right + 1, y);
      {
        TFontScope font(canvas, axis.labelsFont_);
        const int th = canvas.TextHeight(QStringLiteral("0"));
        const int labelTop = bottom ? y + kTickLength + kLabelGap : y - kTickLength - kLabelGap - th;
        for (double v : labels) {
          const int x = axis.CalcPosValue(v);
          canvas.MoveTo(x, y);
          canvas.LineTo(x, bottom ? y + kTickLength + 1 : y - kTickLength - 1);
          const QString text = axis.LabelText(v);
          canvas.TextOut(x - canvas.TextWidth(text) / 2, labelTop, text);
        }
      }
      if (!axis.title_.isEmpty()) {
        TFontScope font(canvas, axis.titleFont_);
        const int x = (r.Left + r.Right - canvas.TextWidth(axis.title_)) / 2;
        const int outer = axis.LabelBand() + axis.labelExtent_ + kTitleGap;
        canvas.TextOut(x, bottom ? y + outer : y - outer - titleHeight, axis.title_);
      }
      break;
    }
    case akLeft:
    case akRight: {
      const bool left = axis.kind_ == akLeft;
      const int x = x0;
      canvas.MoveTo(x, r.Top - 1);
      canvas.LineTo(x, r.Bottom + 1);
      {
        TFontScope font(canvas, axis.labelsFont_);
        const int th = canvas.TextHeight(QStringLiteral("0"));
        for (double v : labels) {
          const int y = axis.CalcPosValue(v);
          canvas.MoveTo(x, y);
          canvas.LineTo(left ? x - kTickLength - 1 : x + kTickLength + 1, y);
          const QString text = axis.LabelText(v);
          const int w = canvas.TextWidth(text);
          canvas.TextOut(left ? x - kTickLength - kLabelGap - w : x + kTickLength + kLabelGap, y - th / 2, text);
        }
      }
      if (!axis.title_.isEmpty()) {
        TFontScope font(canvas, axis.titleFont_);
        const int outer = axis.LabelBand() + axis.labelExtent_ + kTitleGap;
        const int tx = left ? x - outer - titleHeight : x + outer;
        const int ty = (r.Top + r.Bottom - canvas.TextWidth(axis.title_)) / 2;
        TextOutTurned(canvas, tx, ty, axis.title_, around);
      }
      break;
    }
  }
}

void TChart::TextOutTurned(TCanvas& canvas, int x, int y, const QString& text, TColor background) {
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

void TChart::SaveToBitmapFile(const QString& fileName) {
  TBitmap picture;
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(ClientWidth(), ClientHeight());
  PaintTo(*picture.Canvas(), Rect(0, 0, ClientWidth(), ClientHeight()));
  TFileStream file(fileName, fmCreate);
  picture.SaveToStream(file);
}

void TChart::Assign(const TChart& source) {
  if (&source == this) return;
  for (int kind = akLeft; kind <= akBottom; ++kind) axes_[kind]->Assign(*source.axes_[kind]);
  title_ = source.title_;
  backColor_ = source.backColor_;
  margin_ = source.margin_;
  backImageMode_ = source.backImageMode_;
  backImageInside_ = source.backImageInside_;
  backImage_->Assign(*source.backImage_);
  backImage_->Canvas()->Brush()->SetColor(source.backImage_->Canvas()->Brush()->Color());
  backImage_->Canvas()->Brush()->SetStyle(source.backImage_->Canvas()->Brush()->Style());
  SetColor(source.Color());
  Changed();
}

TChart* TChart::CreateClone(TComponent* AOwner) const {
  auto* clone = new TChart(AOwner);
  clone->AssignControl(*this);
  clone->Assign(*this);
  clone->OnBeforeDrawChart = OnBeforeDrawChart;
  clone->OnBeforeDrawAxes = OnBeforeDrawAxes;
  clone->OnAfterDraw = OnAfterDraw;
  clone->OnGetAxisLabel = OnGetAxisLabel;
  return clone;
}
