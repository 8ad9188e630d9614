#include "platform/ui/custom_control.h"

#include "platform/ui/application.h"

#include <QEvent>
#include <QImage>
#include <QMouseEvent>
#include <QObject>
#include <QPainter>
#include <QWidget>

#include <functional>

// The picture behind a custom-drawn control, and the filter that shows it. The
// filter is installed after the control's event bridge, so it sees the widget's
// events first: it takes the paint events (the bridge never runs Paint for these
// controls) and notes the position of every mouse event before the bridge hands
// it on.
class TControlPicture final : public QObject, public TCanvasSurface {
public:
  TControlPicture(TControl& control, std::function<void()> paint)
      : control_(control), paint_(std::move(paint)), canvas_(*this) {
    control_.Widget()->setAttribute(Qt::WA_OpaquePaintEvent);
    control_.Widget()->installEventFilter(this);
  }
  ~TControlPicture() override {
    canvas_.Flush();
    control_.Widget()->removeEventFilter(this);
  }

  TCanvas& Canvas() { return canvas_; }
  TPoint MousePos() const { return mousePos_; }
  bool EraseBackground() const { return eraseBackground_; }
  void SetEraseBackground(bool value) { eraseBackground_ = value; }

  void PaintOn(const std::function<void(QPaintDevice*)>& paint) {
    canvas_.Flush();
    FitToWidget();
    if (picture_.isNull()) return;
    paint(&picture_);
    Changed();
  }

  void Invalidate() {
    needsPaint_ = true;
    control_.Widget()->update();
  }
  void Repaint() {
    needsPaint_ = true;
    QWidget* widget = control_.Widget();
    if (widget->isVisible()) widget->repaint();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != control_.Widget()) return false;
    switch (event->type()) {
      case QEvent::Paint:
        Show();
        return true;
      case QEvent::Resize:
      case QEvent::Show:
        needsPaint_ = true;
        return false;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove: {
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        mousePos_ = TPoint{pos.x(), pos.y()};
        return false;
      }
      default:
        return false;
    }
  }

private:
  QImage* BeginPaint() override {
    FitToWidget();
    return &picture_;
  }
  void EndPaint() override {}
  const QImage* PixelImage() override {
    FitToWidget();
    return &picture_;
  }
  void Changed() override {
    if (!painting_) control_.Widget()->update();
  }

  // The picture follows the client size; what was drawn stays where it fits.
  void FitToWidget() {
    const QSize size = control_.Widget()->size();
    if (picture_.size() == size) return;
    canvas_.Flush();
    QImage next(size, QImage::Format_RGB32);
    next.fill(Background());
    if (!picture_.isNull() && !next.isNull()) {
      QPainter painter(&next);
      painter.drawImage(0, 0, picture_);
    }
    picture_ = next;
  }

  QColor Background() const {
    const TColor color = control_.Color();
    if (color == clNone || color == clDefault) return ColorToQColor(clBtnFace);
    return ColorToQColor(color);
  }

  void Show() {
    if (needsPaint_) {
      needsPaint_ = false;
      canvas_.Flush();
      FitToWidget();
      if (eraseBackground_) picture_.fill(Background());
      painting_ = true;
      // Nothing may be thrown through Qt's event dispatch.
      try {
        paint_();
      } catch (...) {
        if (Application) Application->HandleException(std::current_exception());
      }
      painting_ = false;
    }
    canvas_.Flush();
    FitToWidget();
    QPainter painter(control_.Widget());
    painter.drawImage(0, 0, picture_);
  }

  TControl& control_;
  std::function<void()> paint_;
  TCanvas canvas_;
  QImage picture_;
  bool needsPaint_ = true;
  bool painting_ = false;
  bool eraseBackground_ = true;
  TPoint mousePos_;
};

// ---- TCustomControl ---------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
  picture_ = std::make_unique<TControlPicture>(*this, [this] { Paint(); });
  Widget()->setFocusPolicy(Qt::ClickFocus);
}

TCustomControl::~TCustomControl() {
  Destroying();
  picture_.reset();
}

TCanvas* TCustomControl::Canvas() { return &picture_->Canvas(); }
void TCustomControl::Invalidate() { picture_->Invalidate(); }
void TCustomControl::Repaint() { picture_->Repaint(); }
TPoint TCustomControl::MouseClientPos() const { return picture_->MousePos(); }

bool TCustomControl::EraseBackground() const { return picture_->EraseBackground(); }
void TCustomControl::SetEraseBackground(bool value) { picture_->SetEraseBackground(value); }

void TCustomControl::PaintOnPicture(const std::function<void(QPaintDevice* device)>& paint) {
  if (paint) picture_->PaintOn(paint);
}

void TCustomControl::SetTabStop(bool value) {
  tabStop_ = value;
  Widget()->setFocusPolicy(value ? Qt::StrongFocus : Qt::ClickFocus);
}

// ---- TGraphicControl ----------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
  picture_ = std::make_unique<TControlPicture>(*this, [this] { Paint(); });
}

TGraphicControl::~TGraphicControl() {
  Destroying();
  picture_.reset();
}

TCanvas* TGraphicControl::Canvas() { return &picture_->Canvas(); }
void TGraphicControl::Invalidate() { picture_->Invalidate(); }
void TGraphicControl::Repaint() { picture_->Repaint(); }
TPoint TGraphicControl::MouseClientPos() const { return picture_->MousePos(); }
