#include "platform/ui/check_list_box.h"

#include "platform/ui/list_widget_support.h"

#include <QListWidget>

#include <algorithm>

namespace {


QListWidgetItem* NewItem(const QString& text, int height) {
  auto* item = new QListWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  item->setCheckState(Qt::Unchecked);
  if (height > 0) item->setSizeHint(QSize(0, height));
  return item;
}

}  // namespace

TCheckListBox::TCheckListBox(TComponent* AOwner) : TWinControl(AOwner, new QListWidget) {
  // Selection changes are the list's clicks; a press on empty space is none.
  clickEvents_ = false;
  List()->setSelectionMode(QAbstractItemView::SingleSelection);
  rowChanged_ = QObject::connect(List(), &QListWidget::currentRowChanged, List(), [this](int) {
    if (programmatic_ == 0) Click();
  });
  // The list turns a check without selecting the item; the user's check selects
  // it first (running OnClick when that moves the selection), so OnClickCheck
  // finds the item it concerns in ItemIndex.
  itemChanged_ = QObject::connect(List(), &QListWidget::itemChanged, List(), [this](QListWidgetItem* item) {
    if (programmatic_ != 0) return;
    List()->setCurrentItem(item);
    ClickCheck();
  });
}

TCheckListBox::~TCheckListBox() {
  QObject::disconnect(rowChanged_);
  QObject::disconnect(itemChanged_);
}

QListWidget* TCheckListBox::List() const { return static_cast<QListWidget*>(Widget()); }

QStringList TCheckListBox::Items() const { return ui_detail::ListWidgetTexts(*List()); }

void TCheckListBox::SetItems(const QStringList& items) {
  ui_detail::TProgramChange change(programmatic_);
  List()->clear();
  for (const QString& text : items) List()->addItem(NewItem(text, itemHeight_));
}

int TCheckListBox::Count() const { return List()->count(); }

int TCheckListBox::AddItem(const QString& text) {
  ui_detail::TProgramChange change(programmatic_);
  List()->addItem(NewItem(text, itemHeight_));
  return List()->count() - 1;
}

void TCheckListBox::Clear() {
  ui_detail::TProgramChange change(programmatic_);
  List()->clear();
}

bool TCheckListBox::Checked(int index) const {
  const QListWidgetItem* item = List()->item(index);
  return item != nullptr && item->checkState() == Qt::Checked;
}

void TCheckListBox::SetChecked(int index, bool value) {
  QListWidgetItem* item = List()->item(index);
  if (item == nullptr) return;
  ui_detail::TProgramChange change(programmatic_);
  item->setCheckState(value ? Qt::Checked : Qt::Unchecked);
}

int TCheckListBox::ItemIndex() const { return List()->currentRow(); }

void TCheckListBox::SetItemIndex(int value) {
  ui_detail::TProgramChange change(programmatic_);
  List()->setCurrentRow(value >= 0 && value < List()->count() ? value : -1);
}

int TCheckListBox::ItemAtPos(TPoint pos) const {
  const QPoint viewportPos = List()->viewport()->mapFrom(List(), QPoint(pos.X, pos.Y));
  const QModelIndex index = List()->indexAt(viewportPos);
  return index.isValid() ? index.row() : -1;
}

void TCheckListBox::SetItemHeight(int value) {
  itemHeight_ = std::max(0, value);
  for (int i = 0; i < List()->count(); ++i) List()->item(i)->setSizeHint(itemHeight_ > 0 ? QSize(0, itemHeight_) : QSize());
}

void TCheckListBox::ClickCheck() {
  if (OnClickCheck) OnClickCheck(this);
}
