#include "platform/ui/scroll_bar.h"

#include <QScrollBar>

#include <algorithm>

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner, new QScrollBar(Qt::Horizontal)) {
  Widget()->resize(121, 17);
  Bar()->setSingleStep(1);
  Bar()->setPageStep(1);
  ApplyRange();
  changed_ = QObject::connect(Bar(), &QScrollBar::valueChanged, Bar(), [this] {
    if (OnChange) OnChange(this);
  });
  action_ = QObject::connect(Bar(), &QScrollBar::actionTriggered, Bar(), [this](int action) { UserAction(action); });
  released_ = QObject::connect(Bar(), &QScrollBar::sliderReleased, Bar(), [this] {
    int pos = Bar()->sliderPosition();
    if (OnScroll) OnScroll(this, scPosition, pos);
    Bar()->setValue(pos);
    pos = Position();
    if (OnScroll) OnScroll(this, scEndScroll, pos);
  });
}

TScrollBar::~TScrollBar() {
  QObject::disconnect(changed_);
  QObject::disconnect(action_);
  QObject::disconnect(released_);
}

QScrollBar* TScrollBar::Bar() const { return static_cast<QScrollBar*>(Widget()); }

void TScrollBar::SetKind(TScrollBarKind value) {
  if (value == kind_) return;
  kind_ = value;
  Bar()->setOrientation(value == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
  // A bar turned on its side keeps its place and swaps its sides.
  SetBounds(Left(), Top(), Height(), Width());
}

int TScrollBar::Position() const { return Bar()->value(); }

void TScrollBar::SetParams(int position, int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  ApplyRange();
  Bar()->setValue(position);
}

void TScrollBar::SetPageSize(int value) {
  pageSize_ = std::clamp(value, 0, max_ - min_ + 1);
  ApplyRange();
}

void TScrollBar::ApplyRange() {
  // A position that the new range moves is a change (OnChange runs).
  Bar()->setRange(min_, std::max(min_, max_ - std::max(0, pageSize_ - 1)));
}

int TScrollBar::SmallChange() const { return Bar()->singleStep(); }
void TScrollBar::SetSmallChange(int value) { Bar()->setSingleStep(std::max(1, value)); }
int TScrollBar::LargeChange() const { return Bar()->pageStep(); }
void TScrollBar::SetLargeChange(int value) { Bar()->setPageStep(std::max(1, value)); }

void TScrollBar::UserAction(int action) {
  TScrollCode code;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: code = scLineUp; break;
    case QAbstractSlider::SliderSingleStepAdd: code = scLineDown; break;
    case QAbstractSlider::SliderPageStepSub: code = scPageUp; break;
    case QAbstractSlider::SliderPageStepAdd: code = scPageDown; break;
    case QAbstractSlider::SliderToMinimum: code = scTop; break;
    case QAbstractSlider::SliderToMaximum: code = scBottom; break;
    case QAbstractSlider::SliderMove: code = scTrack; break;
    default: return;
  }
  int pos = Bar()->sliderPosition();
  if (OnScroll) OnScroll(this, code, pos);
  // The slider applies the (possibly changed) position after this signal.
  Bar()->setSliderPosition(std::clamp(pos, Bar()->minimum(), Bar()->maximum()));
}
