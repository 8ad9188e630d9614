#include "platform/ui/menus.h"

#include "platform/ui/image_list.h"
#include "platform/ui/keys.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace {

void FillActions(QWidget* container, const std::vector<TMenuItem*>& items) {
  if (!container) return;
  for (QAction* action : container->actions()) container->removeAction(action);
  for (TMenuItem* item : items) container->addAction(item->Action());
}

QKeySequence ToKeySequence(TShortCut shortCut) {
  if ((shortCut & 0xFF) == 0) return {};
  const int key = QtKeyFromVirtualKey(static_cast<WORD>(shortCut & 0xFF));
  if (key == Qt::Key_unknown) return {};
  int modifiers = 0;
  if (shortCut & scShift) modifiers |= Qt::SHIFT;
  if (shortCut & scCtrl) modifiers |= Qt::CTRL;
  if (shortCut & scAlt) modifiers |= Qt::ALT;
  return QKeySequence(key | modifiers);
}

}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift) {
  TShortCut result = key & 0xFF;
  if (shift.Contains(ssShift)) result |= scShift;
  if (shift.Contains(ssCtrl)) result |= scCtrl;
  if (shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

QString ShortCutToText(TShortCut shortCut) { return ToKeySequence(shortCut).toString(QKeySequence::PortableText); }

// ---- TMenuItem ----------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), action_(std::make_unique<QAction>()) {
  QObject::connect(action_.get(), &QAction::triggered, action_.get(), [this] {
    // Qt flips a checkable action by itself; Checked follows only AutoCheck.
    action_->setChecked(checked_);
    Click();
  });
}

TMenuItem::~TMenuItem() {
  Destroying();
  QObject::disconnect(action_.get(), nullptr, nullptr, nullptr);
  while (!items_.empty()) items_.back()->Free();
  if (parent_) parent_->Remove(this);
}

void TMenuItem::SetCaption(const QString& value) {
  caption_ = value;
  ShowState();
}

void TMenuItem::SetShortCut(TShortCut value) {
  shortCut_ = value;
  action_->setShortcut(ToKeySequence(value));
}

void TMenuItem::SetChecked(bool value) {
  checked_ = value;
  if (value && radioItem_ && parent_)
    for (TMenuItem* sibling : parent_->items_)
      if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_ && sibling->checked_) {
        sibling->checked_ = false;
        sibling->ShowState();
      }
  ShowState();
}

void TMenuItem::SetRadioItem(bool value) {
  radioItem_ = value;
  ShowState();
}

void TMenuItem::SetGroupIndex(uint8_t value) {
  groupIndex_ = value;
  if (parent_ && !parent_->parent_ && parent_->menu_) parent_->menu_->ItemsChanged();
}

void TMenuItem::SetEnabled(bool value) {
  enabled_ = value;
  action_->setEnabled(value);
}

void TMenuItem::SetVisible(bool value) {
  visible_ = value;
  action_->setVisible(value);
}

void TMenuItem::SetDefault(bool value) {
  default_ = value;
  QFont font = action_->font();
  font.setBold(value);
  action_->setFont(font);
}

void TMenuItem::SetImageIndex(int value) {
  imageIndex_ = value;
  ShowIcon();
}

void TMenuItem::SetHint(const QString& value) {
  hint_ = value;
  action_->setStatusTip(value);
  action_->setToolTip(value);
}

void TMenuItem::ShowState() {
  action_->setSeparator(IsLine());
  action_->setText(caption_);
  action_->setCheckable(checked_ || radioItem_);
  action_->setChecked(checked_);
}

void TMenuItem::ShowIcon() {
  TMenu* menu = GetParentMenu();
  TImageList* images = menu ? menu->Images() : nullptr;
  action_->setIcon(images ? images->Icon(imageIndex_) : QIcon());
  for (TMenuItem* item : items_) item->ShowIcon();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item || item == this) return;
  if (item->parent_) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  item->ShowIcon();
  ShowItems();
}

void TMenuItem::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  TMenuItem* item = items_[static_cast<size_t>(index)];
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
  ShowItems();
}

void TMenuItem::Remove(TMenuItem* item) { Delete(IndexOf(item)); }

void TMenuItem::Clear() {
  while (!items_.empty()) items_.back()->Free();
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->parent_) item = item->parent_;
  return item->menu_;
}

QWidget* TMenuItem::Container() const {
  if (menu_) return menu_->ItemContainer();
  return subMenu_.get();
}

void TMenuItem::ShowItems() {
  if (menu_) {
    menu_->ItemsChanged();
    return;
  }
  if (items_.empty()) {
    action_->setMenu(nullptr);
    subMenu_.reset();
    return;
  }
  if (!subMenu_) {
    subMenu_ = std::make_unique<QMenu>();
    action_->setMenu(subMenu_.get());
  }
  FillActions(subMenu_.get(), items_);
}

void TMenuItem::Click() {
  if (autoCheck_) SetChecked(!checked_);
  if (OnClick) OnClick(this);
}

// ---- TMenu --------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() {
  Destroying();
  WatchImages(nullptr);
  // The root frees the items; each leaves its owner as it goes.
  items_->menu_ = nullptr;
  delete items_;
}

void TMenu::SetImages(TImageList* value) {
  WatchImages(value);
  items_->ShowIcon();
}

void TMenu::WatchImages(TImageList* list) {
  if (images_) images_->UnRegisterChanges(this);
  images_ = list;
  if (images_)
    images_->RegisterChanges(this, [this] { items_->ShowIcon(); },
                             [this] {
                               images_ = nullptr;
                               items_->ShowIcon();
                             });
}

TMenuItem* TMenu::FindItemByShortCut(TShortCut shortCut) const {
  if (shortCut == scNone) return nullptr;
  std::vector<TMenuItem*> pending{items_};
  while (!pending.empty()) {
    TMenuItem* item = pending.back();
    pending.pop_back();
    if (item != items_ && (!item->Enabled() || !item->Visible())) continue;
    if (item->ShortCut() == shortCut && item != items_) return item;
    for (int i = 0; i < item->Count(); ++i) pending.push_back(item->Items(i));
  }
  return nullptr;
}

// ---- TMainMenu ----------------------------------------------------------------------

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner), bar_(new QMenuBar) {}

QMenuBar* TMainMenu::Bar() const { return bar_; }

TMainMenu::~TMainMenu() {
  Destroying();
  if (mergedInto_) mergedInto_->Unmerge(this);
  if (merged_) merged_->mergedInto_ = nullptr;
  merged_ = nullptr;
  delete bar_.data();
}

QWidget* TMainMenu::ItemContainer() const { return bar_; }

std::vector<TMenuItem*> TMainMenu::BarItems() const {
  std::vector<TMenuItem*> shown;
  for (int i = 0; i < Items()->Count(); ++i) shown.push_back(Items()->Items(i));
  if (!merged_) return shown;
  TMenuItem* added = merged_->Items();
  for (int i = 0; i < added->Count(); ++i)
    std::erase_if(shown, [&](TMenuItem* own) { return own->GroupIndex() == added->Items(i)->GroupIndex(); });
  for (int i = 0; i < added->Count(); ++i) {
    TMenuItem* item = added->Items(i);
    auto at = std::find_if(shown.begin(), shown.end(), [&](TMenuItem* own) {
      return own->GroupIndex() > item->GroupIndex() && own->GetParentMenu() == this;
    });
    shown.insert(at, item);
  }
  return shown;
}

void TMainMenu::ItemsChanged() {
  if (bar_) FillActions(bar_, BarItems());
}

void TMainMenu::Merge(TMainMenu* child) {
  if (child == this || child == merged_) return;
  if (merged_) merged_->mergedInto_ = nullptr;
  merged_ = child;
  if (child) {
    if (child->mergedInto_ && child->mergedInto_ != this) child->mergedInto_->Unmerge(child);
    child->mergedInto_ = this;
  }
  ItemsChanged();
}

void TMainMenu::Unmerge(TMainMenu* child) {
  if (!child || child != merged_) return;
  merged_ = nullptr;
  child->mergedInto_ = nullptr;
  ItemsChanged();
  // The child's items go back to its own bar.
  child->ItemsChanged();
}

// ---- TPopupMenu ---------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner), menu_(std::make_unique<QMenu>()) {}

TPopupMenu::~TPopupMenu() {
  Destroying();
  menu_->close();
}

QWidget* TPopupMenu::ItemContainer() const { return menu_.get(); }

void TPopupMenu::ItemsChanged() {
  std::vector<TMenuItem*> items;
  for (int i = 0; i < Items()->Count(); ++i) items.push_back(Items()->Items(i));
  FillActions(menu_.get(), items);
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  popupPoint_ = TPoint{x, y};
  menu_->popup(QPoint(x, y));
}
