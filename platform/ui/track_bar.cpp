#include "platform/ui/track_bar.h"

#include <QSlider>

#include <algorithm>

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner, new QSlider(Qt::Horizontal)) {
  QSlider* slider = Slider();
  slider->setRange(0, 10);
  slider->setPageStep(2);
  slider->setSingleStep(1);
  slider->setTickInterval(1);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setFocusPolicy(Qt::StrongFocus);
  valueChanged_ = QObject::connect(slider, &QSlider::valueChanged, slider, [this] { Changed(); });
}

TTrackBar::~TTrackBar() { QObject::disconnect(valueChanged_); }

QSlider* TTrackBar::Slider() const { return static_cast<QSlider*>(Widget()); }

int TTrackBar::Min() const { return Slider()->minimum(); }
int TTrackBar::Max() const { return Slider()->maximum(); }
void TTrackBar::SetMin(int value) { Slider()->setMinimum(value); }
void TTrackBar::SetMax(int value) { Slider()->setMaximum(value); }
void TTrackBar::SetRange(int min, int max) { Slider()->setRange(min, std::max(min, max)); }
int TTrackBar::Position() const { return Slider()->value(); }
void TTrackBar::SetPosition(int value) { Slider()->setValue(value); }
int TTrackBar::PageSize() const { return Slider()->pageStep(); }
void TTrackBar::SetPageSize(int value) { Slider()->setPageStep(std::max(0, value)); }
int TTrackBar::LineSize() const { return Slider()->singleStep(); }
void TTrackBar::SetLineSize(int value) { Slider()->setSingleStep(std::max(0, value)); }
int TTrackBar::Frequency() const { return Slider()->tickInterval(); }
void TTrackBar::SetFrequency(int value) { Slider()->setTickInterval(std::max(0, value)); }

TTrackBarOrientation TTrackBar::Orientation() const {
  return Slider()->orientation() == Qt::Horizontal ? trHorizontal : trVertical;
}

void TTrackBar::SetOrientation(TTrackBarOrientation value) {
  Slider()->setOrientation(value == trHorizontal ? Qt::Horizontal : Qt::Vertical);
}

void TTrackBar::Changed() {
  if (OnChange) OnChange(this);
}
