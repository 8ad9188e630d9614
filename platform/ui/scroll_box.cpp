#include "platform/ui/scroll_box.h"

#include <QChildEvent>
#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

namespace {

// Tells the box when its surface gets, moves or resizes a child.
class TSurfaceWatcher : public QObject {
public:
  explicit TSurfaceWatcher(TScrollBox& box) : box_(box) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::ChildAdded:
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
          child->installEventFilter(this);
        box_.UpdateSurface();
        break;
      case QEvent::ChildRemoved:
        box_.UpdateSurface();
        break;
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::Hide:
        if (watched != box_.ClientWidget()) box_.UpdateSurface();
        break;
      default:
        break;
    }
    return false;
  }

private:
  TScrollBox& box_;
};

}  // namespace

TScrollBox::TScrollBox(TComponent* AOwner) : TWinControl(AOwner, new QScrollArea) {
  QScrollArea* area = Area();
  area->setWidgetResizable(false);
  area->setFrameShape(QFrame::NoFrame);
  auto* surface = new QWidget;
  area->setWidget(surface);
  watcher_ = std::make_unique<TSurfaceWatcher>(*this);
  surface->installEventFilter(watcher_.get());
  area->resize(185, 41);
  UpdateSurface();
}

TScrollBox::~TScrollBox() {
  if (QWidget* surface = Area()->widget()) surface->removeEventFilter(watcher_.get());
}

QScrollArea* TScrollBox::Area() const { return static_cast<QScrollArea*>(Widget()); }

QWidget* TScrollBox::ClientWidget() const { return Area()->widget(); }

int TScrollBox::ViewportWidth() const { return Area()->viewport()->width(); }
int TScrollBox::ViewportHeight() const { return Area()->viewport()->height(); }
int TScrollBox::VertScrollPosition() const { return Area()->verticalScrollBar()->value(); }

void TScrollBox::UpdateSurface() {
  if (updating_) return;
  updating_ = true;
  QWidget* surface = ClientWidget();
  const int width = ViewportWidth();
  int right = width;
  int bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    if (!child->Visible()) continue;
    if (child->Align() == alTop || child->Align() == alClient) child->SetBounds(0, child->Top(), width, child->Height());
    right = std::max(right, child->Left() + child->Width());
    bottom = std::max(bottom, child->Top() + child->Height());
  }
  surface->resize(right, std::max(bottom, 1));
  updating_ = false;
}

void TScrollBox::Resize() {
  UpdateSurface();
  TWinControl::Resize();
}

TCustomFrame::TCustomFrame(TComponent* AOwner) : TPanel(AOwner) { SetCaption(QString()); }
