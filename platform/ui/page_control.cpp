#include "platform/ui/page_control.h"

#include <QTabWidget>

#include <algorithm>

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner, new QTabWidget) {
  changed_ = QObject::connect(Tabs(), &QTabWidget::currentChanged, [this](int) {
    if (OnChange) OnChange(this);
  });
}

TPageControl::~TPageControl() {
  Destroying();
  QObject::disconnect(changed_);
  for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
  pages_.clear();
}

QTabWidget* TPageControl::Tabs() const { return static_cast<QTabWidget*>(Widget()); }

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  Tabs()->addTab(page->Widget(), page->Caption());
  page->ShowTab();
}

void TPageControl::RemovePage(TTabSheet* page) {
  const int index = Tabs()->indexOf(page->Widget());
  if (index >= 0) Tabs()->removeTab(index);
  std::erase(pages_, page);
}

TTabSheet* TPageControl::ActivePage() const {
  const int index = ActivePageIndex();
  return index >= 0 ? pages_[static_cast<size_t>(index)] : nullptr;
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->pageControl_ == this) Tabs()->setCurrentWidget(page->Widget());
}

int TPageControl::ActivePageIndex() const {
  QWidget* current = Tabs()->currentWidget();
  for (size_t i = 0; i < pages_.size(); ++i)
    if (pages_[i]->Widget() == current) return static_cast<int>(i);
  return -1;
}

void TPageControl::SetActivePageIndex(int index) {
  if (index >= 0 && index < PageCount()) SetActivePage(pages_[static_cast<size_t>(index)]);
}

void TPageControl::SetTabPosition(TTabPosition value) {
  tabPosition_ = value;
  static constexpr QTabWidget::TabPosition kPositions[] = {QTabWidget::North, QTabWidget::South, QTabWidget::West,
                                                           QTabWidget::East};
  Tabs()->setTabPosition(kPositions[value]);
}

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {}

TTabSheet::~TTabSheet() {
  Destroying();
  if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* pageControl) {
  if (pageControl == pageControl_) return;
  if (pageControl_) pageControl_->RemovePage(this);
  pageControl_ = pageControl;
  SetParent(pageControl);
  if (pageControl_) pageControl_->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  const auto& pages = pageControl_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::ShowTab() {
  if (!pageControl_) return;
  QTabWidget* tabs = pageControl_->Tabs();
  const int index = tabs->indexOf(Widget());
  if (index < 0) return;
  tabs->setTabText(index, Caption());
  tabs->setTabToolTip(index, Hint());
  tabs->setTabVisible(index, tabVisible_);
}

void TTabSheet::SetTabVisible(bool value) {
  tabVisible_ = value;
  ShowTab();
}

void TTabSheet::SetText(const QString& value) {
  TWinControl::SetText(value);
  ShowTab();
}

void TTabSheet::SetHintText(const QString& value) {
  SetHint(value);
  ShowTab();
}
